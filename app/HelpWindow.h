#pragma once

#include <QWidget>

class QTextBrowser;
class QUrl;

// The help viewer: the program's HTML help pages in a browser window with
// Back, Forward and Contents buttons.
class CHelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CHelpWindow(QWidget *parent = nullptr);

    // Shows a page of the help ("index.html", "using.html", ...) and
    // brings the window to the front.
    void ShowPage(const QString &page);
    QUrl CurrentPage() const;
    QTextBrowser *Browser() const { return m_browser; }

    static QUrl PageUrl(const QString &page);

private:
    QTextBrowser *m_browser = nullptr;
};
