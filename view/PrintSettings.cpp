#include "view/PrintSettings.h"

#include "view/PrinterPage.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinter>
#include <QSpinBox>

#include <algorithm>

namespace {

// The dialog's part for the scale: "Fit to [N] pages wide", off for the
// size on screen. The page setup dialog offers paper, orientation and
// margins itself; this goes under them, above its buttons.
struct CScaleBox
{
    QCheckBox *fit = nullptr;
    QSpinBox *pages = nullptr;

    bool AddTo(QDialog &dialog, int pagesWide)
    {
        auto *layout = qobject_cast<QBoxLayout *>(dialog.layout());
        if (!layout)
            return false;
        auto *group = new QGroupBox(QStringLiteral("Scale"), &dialog);
        auto *row = new QHBoxLayout(group);
        fit = new QCheckBox(QStringLiteral("&Fit to"), group);
        fit->setObjectName(QStringLiteral("fitPagesWide"));
        pages = new QSpinBox(group);
        pages->setObjectName(QStringLiteral("pagesWide"));
        pages->setRange(1, CPrintSettings::kMostPagesWide);
        pages->setValue(std::max(1, pagesWide));
        row->addWidget(fit);
        row->addWidget(pages);
        row->addWidget(new QLabel(QStringLiteral("pages wide"), group));
        row->addStretch();
        fit->setChecked(pagesWide > 0);
        pages->setEnabled(pagesWide > 0);
        QObject::connect(fit, &QCheckBox::toggled, pages, &QWidget::setEnabled);
        layout->insertWidget(std::max(0, layout->count() - 1), group);
        return true;
    }
    int PagesWide() const { return fit->isChecked() ? pages->value() : 0; }
};

} // namespace

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

// Where the page setup dialog is the platform's own, it has no layout to
// add to, and the scale stays as it was.
bool CPrintSettings::RunSetupDialog(QWidget *parent)
{
    QPageSetupDialog dialog(&Printer(), parent);
    CScaleBox scale;
    const bool offered = scale.AddTo(dialog, m_fitPagesWide);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (offered)
        SetFitPagesWide(scale.PagesWide());
    return true;
}

void CPrintSettings::SetFitPagesWide(int pages)
{
    m_fitPagesWide = std::clamp(pages, 0, kMostPagesWide);
}
