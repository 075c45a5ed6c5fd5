#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers what a test provokes modally, from one script: message boxes
// with answers in turn (the last repeats), pop-up menus by choosing an
// entry, and other dialogs by queued handlers. It takes only the kinds its
// script names, so a fixture's answerer and a test's own never race for
// the same widget. Each kind is polled by a timer of its own: a menu entry
// that opens a dialog, or a dialog that raises a message box, runs a
// nested event loop in which the other kinds must still be answered.
class CModalAnswerer : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(QWidget *dialog)>;

    // Takes message boxes, recording title, text and icon of each.
    explicit CModalAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok);
    explicit CModalAnswerer(const QList<QMessageBox::StandardButton> &answers);
    // Takes pop-up menus only.
    static CModalAnswerer Menus(const QString &entry = QString()) { return CModalAnswerer(Kind::Menus, entry); }
    // Takes dialogs other than message boxes only.
    static CModalAnswerer Dialogs() { return CModalAnswerer(Kind::Dialogs); }

    // Also takes pop-up menus: records each menu's entries (a separator as
    // an empty text) and where it opened, then clicks the entry with this
    // text, or closes the menu when the text is empty or not among them.
    CModalAnswerer &ChooseFromMenus(const QString &entry = QString());
    // Also takes dialogs: each goes to the next queued handler, which must
    // accept or reject it. One that arrives with none queued is rejected
    // and counted, so a test never hangs on it.
    CModalAnswerer &Queue(Handler handler);

    QStringList titles;
    QStringList texts;
    QList<QMessageBox::Icon> icons;
    int Count() const { return texts.size(); }
    QString LastText() const { return texts.isEmpty() ? QString() : texts.last(); }
    QString LastTitle() const { return titles.isEmpty() ? QString() : titles.last(); }

    QList<QStringList> menus;
    QList<QPoint> positions;
    int MenuCount() const { return menus.size(); }

    int Handled() const { return m_handled; }
    int Unexpected() const { return m_unexpected; }
    int Pending() const { return static_cast<int>(m_handlers.size()); }

private:
    enum class Kind { Menus, Dialogs };
    explicit CModalAnswerer(Kind kind, const QString &entry = QString());
    void Watch(QTimer &timer, void (CModalAnswerer::*poll)());
    void PollBoxes();
    void PollMenus();
    void PollDialogs();

    QList<QMessageBox::StandardButton> m_answers;
    QString m_entry;
    QList<Handler> m_handlers;
    int m_handled = 0;
    int m_unexpected = 0;
    QTimer m_boxes;
    QTimer m_menus;
    QTimer m_dialogs;
};
