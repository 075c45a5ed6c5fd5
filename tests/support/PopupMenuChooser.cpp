#include "tests/support/PopupMenuChooser.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>

CPopupMenuChooser::CPopupMenuChooser(const QString &entry) : m_entry(entry)
{
    connect(&m_timer, &QTimer::timeout, this, &CPopupMenuChooser::Poll);
    m_timer.start(10);
}

void CPopupMenuChooser::Poll()
{
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible())
        return;
    QStringList entries;
    QAction *wanted = nullptr;
    for (QAction *action : menu->actions()) {
        entries << (action->isSeparator() ? QString() : action->text());
        if (!action->isSeparator() && action->text() == m_entry)
            wanted = action;
    }
    menus << entries;
    positions << menu->pos();
    if (wanted) {
        const QPoint centre = menu->actionGeometry(wanted).center();
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, centre);
    } else {
        menu->close();
    }
}
