#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTimer>

// Answers the pop-up menus a test provokes: every time a QMenu becomes the
// active pop-up it records the menu's entries (a separator as an empty
// text) and where it opened, then clicks the entry with the given text, or
// closes the menu when that text is empty or not among the entries. Uses a
// polling timer so it works for menus opened from inside event handlers.
class CPopupMenuChooser : public QObject
{
    Q_OBJECT

public:
    explicit CPopupMenuChooser(const QString &entry = QString());

    QList<QStringList> menus;
    QList<QPoint> positions;
    int Count() const { return menus.size(); }

private:
    void Poll();

    QString m_entry;
    QTimer m_timer;
};
