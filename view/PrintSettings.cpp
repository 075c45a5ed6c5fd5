#include "view/PrintSettings.h"

#include "view/PrinterPage.h"

#include <QLocale>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinter>

CPrintSettings::CPrintSettings() = default;

CPrintSettings::~CPrintSettings() = default;

// Qt gives a PDF printer A4 paper wherever it is; the user's locale knows
// better which paper is in the drawer.
QPrinter &CPrintSettings::Printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (m_printer->outputFormat() == QPrinter::PdfFormat)
            m_printer->setPageSize(PrinterPage::LocaleDefaultPageSize(QLocale::system()));
    }
    return *m_printer;
}

bool CPrintSettings::RunSetupDialog(QWidget *parent)
{
    QPageSetupDialog dialog(&Printer(), parent);
    return dialog.exec() == QDialog::Accepted;
}
