#include "view/ViewCommands.h"

#include "db/DbSession.h"
#include "diagram/TableWnd.h"
#include "dialogs/ScriptDlg.h"
#include "document/Doc.h"
#include "document/FileWrite.h"
#include "model/SchemaScript.h"
#include "view/DbView.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

void ShowWarning(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Vellumix"), text, QMessageBox::Ok, parent);
    box.exec();
}

// The tables picked with Ctrl+click, or every table of the diagram when
// none is picked, in the diagram's order.
std::vector<std::string> TablesToWrite(const CDoc &doc)
{
    std::vector<std::string> picked, all;
    for (int i = 0; i < doc.TableCount(); ++i) {
        const CTableWnd *table = doc.GetTable(i);
        all.push_back(table->Name());
        if (table->m_picked)
            picked.push_back(table->Name());
    }
    return picked.empty() ? all : picked;
}

// Reads the tables' definitions from the catalog and writes their script;
// false, after telling the user why, when there is none.
bool ComposeScript(CDbView &view, CDoc &doc, const std::vector<std::string> &tables, std::string &script)
{
    std::string error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = SchemaScript::Export(doc.GetSession(), tables, nullptr, script, error);
    QApplication::restoreOverrideCursor();
    if (!written)
        ShowWarning(&view, error.empty() ? QStringLiteral("The diagram has no tables to write.")
                                         : QStringLiteral("The script cannot be written: %1")
                                               .arg(QString::fromStdString(error)));
    return written;
}

QString AskScriptPath(CDbView &view, const CDoc &doc, bool picked)
{
    QFileDialog dialog(&view, picked ? QStringLiteral("Export SQL Script of the Picked Tables")
                                     : QStringLiteral("Export SQL Script"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("SQL Script (*.sql)"), QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("sql"));
    dialog.selectFile(ViewCommands::ProposedOutputPath(doc, QStringLiteral("sql")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

} // namespace

bool ViewCommands::ExportSqlScript(CDbView &view)
{
    CDoc *doc = view.GetDocument();
    if (!doc)
        return false;
    const std::vector<std::string> tables = TablesToWrite(*doc);
    const QString path = AskScriptPath(view, *doc, view.PickedTableCount() > 0);
    if (path.isEmpty())
        return true;
    const QString refusal = FileWrite::Refusal(path);
    if (!refusal.isEmpty()) {
        ShowWarning(&view, QStringLiteral("Cannot write %1: %2").arg(path, refusal));
        return true;
    }
    std::string script;
    if (!ComposeScript(view, *doc, tables, script))
        return true;
    const FileWrite::CResult written = FileWrite::WriteWhole(path, QByteArray::fromStdString(script));
    if (!written.written)
        ShowWarning(&view, QStringLiteral("Cannot write %1: %2").arg(path, written.reason));
    return true;
}

void ViewCommands::ShowTableSql(CDbView &view, const CTableWnd &table)
{
    CDoc *doc = view.GetDocument();
    std::string script;
    if (!doc || !ComposeScript(view, *doc, {table.Name()}, script))
        return;
    CScriptDlg dialog(QString::fromStdString(table.Name()) + QStringLiteral(" - SQL"),
                      QString::fromStdString(script), &view);
    dialog.exec();
}
