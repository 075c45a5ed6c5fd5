#include "view/DiagramOutput.h"

#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "document/FileWrite.h"
#include "view/DbView.h"
#include "view/DiagramCells.h"
#include "view/DiagramPicture.h"
#include "view/DiagramPrinter.h"
#include "view/PrintSettings.h"
#include "view/PngRowWriter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <algorithm>

namespace {

QString CannotWrite(const QString &outputPath, const QString &reason)
{
    return QStringLiteral("cannot write %1: %2").arg(outputPath, reason);
}

QString XmlUnescaped(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&#39;"), QLatin1String("'"));
    return text.replace(QLatin1String("&amp;"), QLatin1String("&"));
}

// The SVG generator writes each drawn text as one text element, in drawing
// order, and cannot say more about it. Walking those elements along the
// whole texts the picture drew, a text that came out as a shorter start of
// its whole text was cut at its window's edge: it is put in a group whose
// title carries the whole text, which a viewer shows on hover and a search
// finds. A text cut to nothing wrote no element and is passed over.
QByteArray WithWholeTexts(const QByteArray &svg, const QStringList &wholeTexts)
{
    static const QRegularExpression element(QStringLiteral("<text [^>]*>([^<]*)</text>"));
    const QString document = QString::fromUtf8(svg);
    QString result;
    result.reserve(document.size());
    qsizetype copied = 0;
    qsizetype next = 0;
    for (auto found = element.globalMatch(document); found.hasNext();) {
        const QRegularExpressionMatch match = found.next();
        const QString drawn = XmlUnescaped(match.captured(1));
        qsizetype at = next;
        while (at < wholeTexts.size() && !wholeTexts[at].startsWith(drawn))
            ++at;
        if (at == wholeTexts.size())
            continue; // drawn by no table window: left as it is
        next = at + 1;
        const QString &whole = wholeTexts[at];
        if (whole == drawn)
            continue;
        result += QStringView(document).mid(copied, match.capturedStart() - copied);
        result += QStringLiteral("<g><title>%1</title>%2</g>")
                      .arg(whole.toHtmlEscaped(), match.captured(0));
        copied = match.capturedEnd();
    }
    result += QStringView(document).mid(copied);
    return result.toUtf8();
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
    const int tallest = format == Png ? kMaxPngHeight : kMaxPictureSide;
    if (size.width() > kMaxPictureSide || size.height() > tallest)
        return Fail(QStringLiteral("the diagram is %1 x %2 pixels, too large for a picture; "
                                   "export it as a PDF")
                        .arg(size.width())
                        .arg(size.height()));
    if (format == Svg)
        return DrawSvg(picture, output);
    return DrawPng(picture, output);
}

// Drawn band by band, each band's rows written before the next is drawn,
// and each band drawing only what meets it: a picture of thousands of
// tables held whole took gigabytes. The bands are drawn as the whole
// picture would be, shifted by whole pixels, so their pixels are the same.
bool CDiagramOutput::DrawPng(const CDiagramPicture &picture, QIODevice &output)
{
    const QRect area = picture.Area();
    const qint64 rowBytes = qint64(area.width()) * 4;
    const int bandRows = int(std::clamp<qint64>(m_bandBytes / rowBytes, 1, area.height()));
    const int bands = (area.height() + bandRows - 1) / bandRows;
    QImage band(area.width(), bandRows, QImage::Format_RGB32);
    if (band.isNull())
        return Fail(QStringLiteral("not enough memory for a picture of %1 x %2 pixels")
                        .arg(area.width())
                        .arg(area.height()));
    const CDiagramCells cells(m_view, area.topLeft(), QSizeF(area.width(), bandRows), 1, bands);
    CPngRowWriter png(output, area.width(), area.height());
    for (int i = 0; i < bands; ++i) {
        const QRect rows(area.left(), area.top() + i * bandRows, area.width(), bandRows);
        QPainter painter;
        if (!painter.begin(&band))
            return Fail(QStringLiteral("cannot draw the picture of %1").arg(m_title));
        CDbView::ApplyDiagramMapping(painter, band);
        painter.translate(-rows.topLeft());
        painter.fillRect(rows, Qt::white);
        cells.Draw(painter, i);
        painter.end();
        if (!png.WriteRows(band, std::min(bandRows, area.bottom() + 1 - rows.top())))
            return Fail(QStringLiteral("cannot draw the picture of %1").arg(m_title));
    }
    if (!png.Finish())
        return Fail(QStringLiteral("cannot draw the picture of %1").arg(m_title));
    return true;
}

bool CDiagramOutput::DrawSvg(const CDiagramPicture &picture, QIODevice &output)
{
    QByteArray drawn;
    QBuffer buffer(&drawn);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(picture.Area().size());
    svg.setViewBox(QRect(QPoint(0, 0), picture.Area().size()));
    // One diagram unit is one pixel of a 96 dots-per-inch screen.
    svg.setResolution(96);
    svg.setTitle(m_title);
    svg.setDescription(QStringLiteral("Diagram drawn by Vellumix"));
    if (!picture.Paint(svg))
        return Fail(QStringLiteral("cannot draw the picture of %1").arg(m_title));
    const QByteArray content = WithWholeTexts(drawn, picture.Texts());
    if (output.write(content) != content.size())
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
