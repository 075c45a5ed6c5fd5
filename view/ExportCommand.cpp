#include "view/ViewCommands.h"

#include "document/Doc.h"
#include "view/DbView.h"
#include "view/DiagramOutput.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

struct COutputKind
{
    const char *filter;
    const char *suffix;
};

const COutputKind kOutputKinds[] = {{"PNG Picture (*.png)", "png"},
                                    {"SVG Picture (*.svg)", "svg"},
                                    {"PDF Document (*.pdf)", "pdf"}};

QString SuffixOf(const QString &filter)
{
    for (const COutputKind &kind : kOutputKinds)
        if (filter == QLatin1String(kind.filter))
            return QLatin1String(kind.suffix);
    return QString();
}

// The diagram's name with the picture's extension, beside the diagram
// file when there is one.
// Empty when the user cancelled. A name typed without an extension takes
// that of the chosen file type; one with another extension is refused by
// the writer, with the command line's words.
QString AskOutputPath(CDbView &view, const CDoc &doc)
{
    QFileDialog dialog(&view, QStringLiteral("Export Diagram"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (const COutputKind &kind : kOutputKinds)
        filters << QLatin1String(kind.filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(SuffixOf(filters.first()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString &filter) { dialog.setDefaultSuffix(SuffixOf(filter)); });
    dialog.selectFile(ViewCommands::ProposedOutputPath(doc, QStringLiteral("png")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

} // namespace



QString ViewCommands::ProposedOutputPath(const CDoc &doc, const QString &suffix)
{
    QString name = doc.GetTitle();
    if (name.endsWith(QLatin1String(".vmx"), Qt::CaseInsensitive))
        name.chop(4);
    const QString folder = doc.GetPathName().isEmpty() ? QDir::currentPath()
                                                       : QFileInfo(doc.GetPathName()).path();
    return QDir(folder).filePath(name + QLatin1Char('.') + suffix);
}

bool ViewCommands::ExportDiagram(CDbView &view)
{
    const CDoc *doc = view.GetDocument();
    if (!doc)
        return false;
    const QString path = AskOutputPath(view, *doc);
    if (path.isEmpty())
        return true;
    CDiagramOutput output(view, doc->GetTitle());
    if (!output.Write(path)) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Vellumix"), output.ErrorText(),
                        QMessageBox::Ok, &view);
        box.exec();
    }
    return true;
}
