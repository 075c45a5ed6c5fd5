#include "tests/support/DialogInput.h"

#include "grid/GridCtrl.h"
#include "grid/GridListColumn.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QtTest>

namespace DialogInput {

bool WaitActive(QWidget *dialog)
{
    // The window system reports the window active before the application
    // moves its keyboard focus there. On a loaded machine the application
    // may even keep the window behind the dialog active; asking once more
    // settles it.
    dialog->activateWindow();
    return QTest::qWaitFor([dialog] {
        const QWidget *focus = QApplication::focusWidget();
        return dialog->isActiveWindow() && focus && focus->window() == dialog;
    });
}

bool Activate(QWidget *dialog)
{
    dialog->show();
    return WaitActive(dialog);
}

void Type(QWidget *field, const QString &text)
{
    QWidget *target = field;
    Qt::KeyboardModifiers toEnd = Qt::NoModifier;
    if (auto *area = qobject_cast<QAbstractScrollArea *>(field)) {
        target = area->viewport();
        toEnd = Qt::ControlModifier;
    }
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(target->width() - 4, target->height() - 4));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, toEnd);
    for (const QChar c : text) {
        if (c == '\n')
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
}

void Press(QWidget *dialog, const QString &caption)
{
    for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
        if (button->text() == caption) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    QTest::qFail(qPrintable("no button " + caption), __FILE__, __LINE__);
}

void Tick(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

void OpenCell(CGridCtrl *grid, int row, int column)
{
    const QPoint centre = grid->GetCellRect(row, column).center();
    if (!grid->hasFocus())
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    const CGridCtrl::Cell cell{row, column};
    if (!(grid->GetCurrentCell() == cell))
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}

void Choose(CGridCtrl *grid, CGridListColumn *list, int row, const QString &text)
{
    OpenCell(grid, row, list->GetColumnIndex());
    QVERIFY2(list->isVisible(), "the list did not open");
    const QList<QListWidgetItem *> items = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!items.isEmpty(), qPrintable("the list does not offer " + text));
    list->scrollToItem(items.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(items.first()).center());
}

QStringList Choices(const CGridListColumn *list)
{
    QStringList choices;
    for (int i = 0; i < list->count(); ++i)
        choices << list->item(i)->text();
    return choices;
}

} // namespace DialogInput
