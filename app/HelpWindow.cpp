#include "app/HelpWindow.h"

#include "app/AppImages.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Vellumix Help"));
    setWindowIcon(AppImages::ApplicationIcon());
    resize(640, 520);

    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(true);

    auto *back = new QPushButton(QStringLiteral("&Back"), this);
    auto *forward = new QPushButton(QStringLiteral("&Forward"), this);
    auto *contents = new QPushButton(QStringLiteral("&Contents"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(contents, &QPushButton::clicked, this,
            [this] { ShowPage(QStringLiteral("index.html")); });
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(contents);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser, 1);
}

QUrl CHelpWindow::PageUrl(const QString &page)
{
    return QUrl(QStringLiteral("qrc:/res/help/") + page);
}

void CHelpWindow::ShowPage(const QString &page)
{
    m_browser->setSource(PageUrl(page));
    show();
    raise();
    activateWindow();
}

QUrl CHelpWindow::CurrentPage() const { return m_browser->source(); }
