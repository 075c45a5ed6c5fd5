#include "tests/support/ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>

CModalAnswerer::CModalAnswerer(QMessageBox::StandardButton answer)
    : CModalAnswerer(QList<QMessageBox::StandardButton>{answer})
{
}

CModalAnswerer::CModalAnswerer(const QList<QMessageBox::StandardButton> &answers)
    : m_answers(answers)
{
    connect(&m_timer, &QTimer::timeout, this, &CModalAnswerer::Poll);
    m_timer.start(10);
}

void CModalAnswerer::Poll()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    titles << box->windowTitle();
    texts << box->text();
    icons << box->icon();
    const auto answer = m_answers.size() > 1 ? m_answers.takeFirst() : m_answers.value(0);
    QAbstractButton *button = box->button(answer);
    if (!button)
        button = box->buttons().value(0);
    if (button)
        button->click();
    else
        box->reject();
}
