#include "view/DiagramOutput.h"

#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "document/FileWrite.h"
#include "view/DbView.h"
#include "view/DiagramPicture.h"
#include "view/DiagramPrinter.h"
#include "view/PrintSettings.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgGenerator>

namespace {

QString CannotWrite(const QString &outputPath, const QString &reason)
{
    return QStringLiteral("cannot write %1: %2").arg(outputPath, reason);
}

} // namespace

CDiagramOutput::Format CDiagramOutput::FormatOf(const QString &outputPath)
{
    const QString suffix = QFileInfo(outputPath).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return Png;
    if (suffix == QLatin1String("svg"))
        return Svg;
    if (suffix == QLatin1String("pdf"))
        return Pdf;
    return UnknownFormat;
}

QString CDiagramOutput::Refusal(const QString &outputPath)
{
    if (FormatOf(outputPath) == UnknownFormat)
        return QStringLiteral("%1: the output file must end in .png, .svg or .pdf").arg(outputPath);
    const QString refusal = FileWrite::Refusal(outputPath);
    return refusal.isEmpty() ? refusal : CannotWrite(outputPath, refusal);
}

CDiagramOutput::CDiagramOutput(CDbView &view, const QString &title) : m_view(view), m_title(title)
{
}

// Drawn in memory before it is written, so that the file is written whole
// in one step.
bool CDiagramOutput::Write(const QString &outputPath)
{
    const QString refusal = Refusal(outputPath);
    if (!refusal.isEmpty())
        return Fail(refusal);
    // A picture of nothing but its margin would pass for a diagram.
    if (!HasTables())
        return Fail(QStringLiteral("nothing to draw: %1 shows no tables").arg(m_title));
    QByteArray content;
    QBuffer buffer(&content);
    buffer.open(QIODevice::WriteOnly);
    if (!Draw(FormatOf(outputPath), buffer))
        return false;
    buffer.close();
    const FileWrite::CResult written = FileWrite::WriteWhole(outputPath, content);
    return written.written || Fail(CannotWrite(outputPath, written.reason));
}

bool CDiagramOutput::HasTables() const
{
    const CDoc *doc = m_view.GetDocument();
    for (int i = 0; doc && i < doc->TableCount(); ++i)
        if (doc->GetTable(i)->parentWidget() == m_view.Canvas())
            return true;
    return false;
}

bool CDiagramOutput::Draw(Format format, QIODevice &output)
{
    return format == Pdf ? DrawPdf(output) : DrawPicture(format, output);
}

bool CDiagramOutput::DrawPicture(Format format, QIODevice &output)
{
    const CDiagramPicture picture(m_view);
    const QSize size = picture.Area().size();
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        return Fail(QStringLiteral("the diagram is %1 x %2 pixels, too large for a picture; "
                                   "export it as a PDF")
                        .arg(size.width())
                        .arg(size.height()));
    if (format == Svg)
        return DrawSvg(picture, output);
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return Fail(QStringLiteral("not enough memory for a picture of %1 x %2 pixels")
                        .arg(size.width())
                        .arg(size.height()));
    if (!picture.Paint(image) || !image.save(&output, "PNG"))
        return Fail(QStringLiteral("cannot draw the picture of %1").arg(m_title));
    return true;
}

bool CDiagramOutput::DrawSvg(const CDiagramPicture &picture, QIODevice &output)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&output);
    svg.setSize(picture.Area().size());
    svg.setViewBox(QRect(QPoint(0, 0), picture.Area().size()));
    // One diagram unit is one pixel of a 96 dots-per-inch screen.
    svg.setResolution(96);
    svg.setTitle(m_title);
    svg.setDescription(QStringLiteral("Diagram drawn by Vellumix"));
    if (!picture.Paint(svg))
        return Fail(QStringLiteral("cannot draw the picture of %1").arg(m_title));
    return true;
}

// Paged as a printout on the current printer's paper.
bool CDiagramOutput::DrawPdf(QIODevice &output)
{
    QPdfWriter pdf(&output);
    pdf.setPageLayout(m_view.PrintSettings().Printer().pageLayout());
    pdf.setTitle(m_title);
    pdf.setCreator(QStringLiteral("Vellumix"));
    CDiagramPrinter printer(m_view);
    if (!printer.Print(pdf))
        return Fail(printer.ErrorText());
    return true;
}

bool CDiagramOutput::Fail(const QString &error)
{
    m_error = error;
    return false;
}
