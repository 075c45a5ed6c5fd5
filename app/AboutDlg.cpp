#include "app/AboutDlg.h"

#include "app/AppImages.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Vellumix"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *icon = new QLabel(this);
    icon->setPixmap(AppImages::ApplicationPixmap());
    icon->setAlignment(Qt::AlignTop);

    auto *name = new QLabel(QStringLiteral("Vellumix Version 1.0"), this);
    name->setObjectName(QStringLiteral("aboutName"));
    auto *purpose = new QLabel(QStringLiteral("Database designer for ODBC data sources"), this);
    auto *licence = new QLabel(
        QStringLiteral("Free software under the GNU General Public License,\nversion 3 or later."),
        this);
    licence->setObjectName(QStringLiteral("aboutLicence"));

    auto *texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(purpose);
    texts->addWidget(licence);
    texts->addStretch();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
