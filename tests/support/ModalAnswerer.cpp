#include "tests/support/ModalAnswerer.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTest>

CModalAnswerer::CModalAnswerer(QMessageBox::StandardButton answer)
    : CModalAnswerer(QList<QMessageBox::StandardButton>{answer})
{
}

CModalAnswerer::CModalAnswerer(const QList<QMessageBox::StandardButton> &answers) : m_answers(answers)
{
    Watch(m_boxes, &CModalAnswerer::PollBoxes);
}

CModalAnswerer::CModalAnswerer(Kind kind, const QString &entry)
{
    if (kind == Kind::Menus)
        ChooseFromMenus(entry);
    else
        Watch(m_dialogs, &CModalAnswerer::PollDialogs);
}

CModalAnswerer &CModalAnswerer::ChooseFromMenus(const QString &entry)
{
    m_entry = entry;
    Watch(m_menus, &CModalAnswerer::PollMenus);
    return *this;
}

CModalAnswerer &CModalAnswerer::Queue(Handler handler)
{
    m_handlers << std::move(handler);
    Watch(m_dialogs, &CModalAnswerer::PollDialogs);
    return *this;
}

void CModalAnswerer::Watch(QTimer &timer, void (CModalAnswerer::*poll)())
{
    if (timer.isActive())
        return;
    connect(&timer, &QTimer::timeout, this, poll);
    timer.start(10);
}

void CModalAnswerer::PollBoxes()
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

void CModalAnswerer::PollMenus()
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
    if (wanted)
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(wanted).center());
    else
        menu->close();
}

void CModalAnswerer::PollDialogs()
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
