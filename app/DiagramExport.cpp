#include "app/DiagramExport.h"

#include "document/Doc.h"
#include "document/FileWrite.h"
#include "view/DbView.h"
#include "view/DiagramPicture.h"
#include "view/DiagramPrinter.h"
#include "view/PrintSettings.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgGenerator>

namespace {

// Driver messages come as several lines; a reason is one.
QString OneLine(const std::string &text)
{
    return QString::fromStdString(text).simplified();
}

} // namespace

CDiagramExport::Format CDiagramExport::FormatOf(const QString &outputPath)
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

CDiagramExport::CDiagramExport(const CAdapterList &adapters) : m_adapters(adapters) {}

CDiagramExport::~CDiagramExport() = default;

// The output is checked before anything connects, and drawn in memory
// before it is written, so that the file is written whole in one step.
bool CDiagramExport::Run(const QString &diagramPath, const QString &outputPath)
{
    const Format format = FormatOf(outputPath);
    if (format == UnknownFormat)
        return Fail(QStringLiteral("%1: the output file must end in .png, .svg or .pdf")
                        .arg(outputPath));
    const QString refusal = FileWrite::Refusal(outputPath);
    if (!refusal.isEmpty())
        return FailWriting(outputPath, refusal);
    if (!Open(diagramPath))
        return false;
    QByteArray content;
    QBuffer buffer(&content);
    buffer.open(QIODevice::WriteOnly);
    if (!Write(format, buffer))
        return false;
    buffer.close();
    const FileWrite::CResult written = FileWrite::WriteWhole(outputPath, content);
    return written.written || FailWriting(outputPath, written.reason);
}

// Like File Open, except that a file without a data-source line fails
// instead of asking for a source, and every failure is a reason to return
// rather than a message box.
bool CDiagramExport::Open(const QString &diagramPath)
{
    m_diagramName = QFileInfo(diagramPath).fileName();
    QFile input(diagramPath);
    if (!input.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read %1: %2").arg(diagramPath, input.errorString()));
    m_doc = std::make_unique<CDoc>(m_adapters);
    CDbSession &session = m_doc->GetSession();
    // Nobody is there to answer: a connection string that needs the user's
    // consent or more information (see CDbSession::ConnectFromFile) ends
    // the export with the reason the chooser would have shown.
    bool asked = false;
    std::string reason;
    session.SetConnectPrompt([&asked, &reason](CDbSession &, std::string &, const std::string &why) {
        asked = true;
        reason = why;
        return false;
    });
    const int result = m_doc->LoadDiagram(input.readAll());
    session.SetConnectPrompt(nullptr);
    if (asked && !reason.empty())
        return Fail(QStringLiteral("cannot connect to the data source of %1: %2")
                        .arg(diagramPath, OneLine(reason)));
    if (asked || (result >= 0 && !session.IsConnected()))
        return Fail(QStringLiteral("%1 is not a diagram file: it names no data source (no DSN= "
                                   "line before its tables)")
                        .arg(diagramPath));
    if (result < 0) {
        const QString what = session.IsConnected() ? QStringLiteral("cannot read the tables of %1")
                                                   : QStringLiteral("cannot connect to the data "
                                                                    "source of %1");
        return Fail(what.arg(diagramPath) + QStringLiteral(": ")
                    + OneLine(session.GetErrorText(result)));
    }
    m_view = std::make_unique<CDbView>(m_doc.get());
    m_view->OnInitialUpdate();
    return true;
}

bool CDiagramExport::Write(Format format, QIODevice &output)
{
    return format == Pdf ? WritePdf(output) : WritePicture(format, output);
}

bool CDiagramExport::WritePicture(Format format, QIODevice &output)
{
    const CDiagramPicture picture(*m_view);
    const QSize size = picture.Area().size();
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        return Fail(QStringLiteral("the diagram is %1 x %2 pixels, too large for a picture; "
                                   "export it as a PDF")
                        .arg(size.width())
                        .arg(size.height()));
    if (format == Svg)
        return WriteSvg(picture, output);
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return Fail(QStringLiteral("not enough memory for a picture of %1 x %2 pixels")
                        .arg(size.width())
                        .arg(size.height()));
    if (!picture.Paint(image) || !image.save(&output, "PNG"))
        return Fail(QStringLiteral("cannot draw the picture of %1").arg(m_diagramName));
    return true;
}

bool CDiagramExport::WriteSvg(const CDiagramPicture &picture, QIODevice &output)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&output);
    svg.setSize(picture.Area().size());
    svg.setViewBox(QRect(QPoint(0, 0), picture.Area().size()));
    // One diagram unit is one pixel of a 96 dots-per-inch screen.
    svg.setResolution(96);
    svg.setTitle(m_diagramName);
    svg.setDescription(QStringLiteral("Diagram drawn by Vellumix"));
    if (!picture.Paint(svg))
        return Fail(QStringLiteral("cannot draw the picture of %1").arg(m_diagramName));
    return true;
}

// Paged as a printout on the current printer's paper.
bool CDiagramExport::WritePdf(QIODevice &output)
{
    QPdfWriter pdf(&output);
    pdf.setPageLayout(m_view->PrintSettings().Printer().pageLayout());
    pdf.setTitle(m_diagramName);
    pdf.setCreator(QStringLiteral("Vellumix"));
    CDiagramPrinter printer(*m_view);
    if (!printer.Print(pdf))
        return Fail(printer.ErrorText());
    return true;
}

bool CDiagramExport::Fail(const QString &error)
{
    m_error = error;
    return false;
}

bool CDiagramExport::FailWriting(const QString &outputPath, const QString &reason)
{
    return Fail(QStringLiteral("cannot write %1: %2").arg(outputPath, reason));
}
