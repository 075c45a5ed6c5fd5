#include "tests/support/DialogDriver.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

CDialogDriver::CDialogDriver()
{
    connect(&m_timer, &QTimer::timeout, this, &CDialogDriver::Poll);
    m_timer.start(10);
}

void CDialogDriver::Poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || qobject_cast<QMessageBox *>(modal))
        return;
    if (m_handlers.isEmpty()) {
        ++m_unexpected;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        return;
    }
    const Handler handler = m_handlers.takeFirst();
    ++m_handled;
    handler(modal);
}
