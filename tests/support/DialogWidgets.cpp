#include "tests/support/DialogWidgets.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace DialogWidgets {

QPushButton *Button(const QWidget *dialog, const QString &text)
{
    for (QPushButton *button : dialog->findChildren<QPushButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

bool Activate(QWidget *dialog)
{
    dialog->show();
    dialog->activateWindow();
    return QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; });
}

} // namespace DialogWidgets
