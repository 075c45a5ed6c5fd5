#pragma once

#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

// Answers the modal dialogs (other than message boxes, which
// CModalAnswerer answers) that a test provokes: each time such a dialog
// becomes the active modal widget, the next queued handler gets it and must
// accept or reject it. A dialog that arrives with no handler queued is
// rejected and counted, so a test never hangs on it.
class CDialogDriver : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(QWidget *dialog)>;

    CDialogDriver();

    void Queue(Handler handler) { m_handlers << std::move(handler); }
    int Handled() const { return m_handled; }
    int Unexpected() const { return m_unexpected; }
    int Pending() const { return static_cast<int>(m_handlers.size()); }

private:
    void Poll();

    QList<Handler> m_handlers;
    QTimer m_timer;
    int m_handled = 0;
    int m_unexpected = 0;
};
