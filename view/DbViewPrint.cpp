// The database view's printing commands: Print, printing without a dialog,
// Print Preview and Print Setup.
#include "view/DbView.h"

#include "document/Doc.h"
#include "document/FileWrite.h"
#include "view/DiagramPrinter.h"
#include "view/PrintSettings.h"
#include "view/PrinterPage.h"

#include <QAction>
#include <QBuffer>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

namespace {

// The preview's modes by the number of pages it shows at once, and the
// dialog's own buttons for them, so that its toolbar shows the mode too.
struct CPreviewMode
{
    int pages;
    QPrintPreviewWidget::ViewMode mode;
    const char *action;
};
constexpr CPreviewMode kPreviewModes[] = {
    {1, QPrintPreviewWidget::SinglePageView, "singleModeAction"},
    {2, QPrintPreviewWidget::FacingPagesView, "facingModeAction"},
    {3, QPrintPreviewWidget::AllPagesView, "overviewModeAction"},
};

const CPreviewMode &PreviewModeForPages(int pages)
{
    for (const CPreviewMode &mode : kPreviewModes)
        if (pages <= mode.pages)
            return mode;
    return kPreviewModes[2];
}

void ShowPreviewMode(QPrintPreviewDialog &dialog, const CPreviewMode &mode)
{
    for (QAction *action : dialog.findChildren<QAction *>()) {
        if (action->objectName() == QLatin1String(mode.action)) {
            action->trigger();
            return;
        }
    }
    if (auto *preview = dialog.findChild<QPrintPreviewWidget *>())
        preview->setViewMode(mode.mode);
}

int PagesOfPreviewMode(const QPrintPreviewDialog &dialog, int previous)
{
    const auto *preview = dialog.findChild<QPrintPreviewWidget *>();
    if (!preview)
        return previous;
    for (const CPreviewMode &mode : kPreviewModes)
        if (preview->viewMode() == mode.mode)
            return mode.pages;
    return previous;
}

} // namespace

CPrintSettings &CDbView::PrintSettings()
{
    if (!m_printSettings) {
        m_ownPrintSettings = std::make_unique<CPrintSettings>();
        m_printSettings = m_ownPrintSettings.get();
    }
    return *m_printSettings;
}

QSize CDbView::GetPrinterPageInches()
{
    return PrinterPage::PrinterPageInches(PrintSettings().Printer());
}

bool CDbView::PrintDiagram(QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return PrintToPdfFile(printer);
    CDiagramPrinter job(*this);
    if (job.Print(printer))
        return true;
    ReportPrintFailure(job.ErrorText());
    return false;
}

// The printer would write its PDF file in place, so that a full disk left
// a short file where an older one stood. The same pages are drawn in
// memory on the printer's paper and resolution and then written whole
// (see FileWrite).
bool CDbView::PrintToPdfFile(const QPrinter &printer)
{
    const QString path = printer.outputFileName();
    const QString refusal = FileWrite::Refusal(path);
    if (!refusal.isEmpty()) {
        ReportPrintFailure(QStringLiteral("Cannot write %1: %2.").arg(path, refusal));
        return false;
    }
    QByteArray content;
    {
        QBuffer buffer(&content);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPdfVersion(printer.pdfVersion());
        pdf.setPageLayout(printer.pageLayout());
        pdf.setResolution(printer.resolution());
        pdf.setTitle(printer.docName());
        pdf.setCreator(printer.creator());
        CDiagramPrinter job(*this);
        if (!job.Print(pdf)) {
            ReportPrintFailure(job.ErrorText());
            return false;
        }
    }
    const FileWrite::CResult written = FileWrite::WriteWhole(path, content);
    if (!written.written) {
        ReportPrintFailure(QStringLiteral("Cannot write %1: %2.").arg(path, written.reason));
        return false;
    }
    return true;
}

void CDbView::ReportPrintFailure(const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Vellumix"), text, QMessageBox::Ok, this);
    box.exec();
}

// The Print dialog offers neither a selection nor page numbers: a diagram
// prints whole. Printing to a file stays, as on a desktop without a
// printer it is the only way to print at all.
void CDbView::OnFilePrint(bool withDialog)
{
    QPrinter &printer = PrintSettings().Printer();
    printer.setDocName(m_pDoc ? m_pDoc->GetTitle() : QString());
    if (withDialog) {
        QPrintDialog dialog(&printer, this);
        dialog.setOptions(QAbstractPrintDialog::PrintToFile
                          | QAbstractPrintDialog::PrintCollateCopies
                          | QAbstractPrintDialog::PrintShowPageSize);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    PrintDiagram(printer);
}

void CDbView::OnFilePrintPreview()
{
    QPrinter &printer = PrintSettings().Printer();
    printer.setDocName(m_pDoc ? m_pDoc->GetTitle() : QString());
    // A job that cannot print is refused before the preview opens.
    CDiagramPrinter check(*this);
    if (check.PreparePrinting(PrinterPage::DevicePageInches(printer)) == 0) {
        ReportPrintFailure(check.ErrorText());
        return;
    }
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *preview) { CDiagramPrinter(*this).Print(*preview); });
    ShowPreviewMode(dialog, PreviewModeForPages(PrintSettings().PreviewPages()));
    dialog.exec();
    PrintSettings().SetPreviewPages(PagesOfPreviewMode(dialog, PrintSettings().PreviewPages()));
}

// Whatever the user answers, the page is measured again and the page
// boundaries redrawn: the printer is the application's, and another
// window's Print Setup or a Print dialog may have changed it since.
void CDbView::OnFilePrintSetup()
{
    PrintSettings().RunSetupDialog(this);
    MeasurePrinterPage();
    m_canvas->update();
}

void CDbView::MeasurePrinterPage()
{
    const QSize inches = GetPrinterPageInches();
    m_pageInches[0] = inches.width();
    m_pageInches[1] = inches.height();
}
