#include "tests/support/RowDrag.h"

#include "diagram/TableWnd.h"
#include "grid/GridCtrl.h"
#include "grid/GridHeaderCtrl.h"
#include "grid/GridListColumn.h"
#include "tests/support/TableRows.h"

#include <QAbstractButton>
#include <QtTest>

namespace RowDrag {

namespace {

CGridCtrl *GridOf(const QWidget *dialog)
{
    return dialog->findChild<CGridCtrl *>();
}

// The list column objects are the drop-downs, children of the dialog, in
// the order the columns were added.
CGridListColumn *ListOf(const QWidget *dialog, int column)
{
    for (CGridListColumn *list : dialog->findChildren<CGridListColumn *>())
        if (list->GetColumnIndex() == column)
            return list;
    return nullptr;
}

} // namespace

bool Activate(QWidget *dialog)
{
    // The platform may report the dialog's window active while the
    // application still holds the window behind it active; focus follows
    // the application's view.
    dialog->activateWindow();
    if (QTest::qWaitFor([dialog] { return dialog->isActiveWindow(); }))
        return true;
    qWarning("the dialog is not the active window");
    return false;
}

void Drag(CTableWnd *from, int row, CTableWnd *to, int targetRow)
{
    const QPoint start = TableRows::RowPoint(from, row);
    const QPoint target = from->mapFromGlobal(to->mapToGlobal(TableRows::RowPoint(to, targetRow)));
    QTest::mousePress(from, Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseMove(from, start + QPoint(5, 0));
    QTest::mouseMove(from, target);
    QTest::mouseRelease(from, Qt::LeftButton, Qt::NoModifier, target);
}

QAbstractButton *Button(QWidget *dialog, const QString &text)
{
    for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

QStringList Cells(const QWidget *dialog, int column)
{
    QStringList cells;
    const CGridCtrl *grid = GridOf(dialog);
    for (int row = 0; grid && !grid->GetItemText(row, column).isEmpty(); ++row)
        cells << grid->GetItemText(row, column);
    return cells;
}

QStringList Headings(const QWidget *dialog)
{
    QStringList headings;
    const CGridCtrl *grid = GridOf(dialog);
    for (int column = 0; grid && column < grid->GetColumnCount(); ++column)
        headings << grid->GetHeader()->model()->headerData(column, Qt::Horizontal).toString();
    return headings;
}

bool Choose(QWidget *dialog, int row, int column, const QString &choice)
{
    CGridCtrl *grid = GridOf(dialog);
    CGridListColumn *list = ListOf(dialog, column);
    if (!grid || !list)
        return false;
    if (!Activate(dialog))
        return false;
    const QPoint cell = grid->GetCellRect(row, column).center();
    // A click on the current cell of a focused grid opens it; a click
    // elsewhere, or on a grid without the focus, first makes it current.
    for (int click = 0; click < 3 && !list->isVisible(); ++click)
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
    if (!list->isVisible()) {
        qWarning("the cell (%d, %d) did not open", row, column);
        return false;
    }
    const QList<QListWidgetItem *> found = list->findItems(choice, Qt::MatchExactly);
    if (found.isEmpty())
        return false;
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(found.first()).center());
    if (list->isVisible())
        qWarning("the list stays open: %s", qPrintable(grid->GetItemText(row, column)));
    return !list->isVisible();
}

QStringList Choices(const QWidget *dialog, int column)
{
    QStringList choices;
    if (const CGridListColumn *list = ListOf(dialog, column))
        for (int i = 0; i < list->count(); ++i)
            choices << list->item(i)->text();
    return choices;
}

} // namespace RowDrag
