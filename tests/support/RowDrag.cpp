#include "tests/support/RowDrag.h"

#include "diagram/TableWnd.h"
#include "grid/GridCtrl.h"
#include "grid/GridHeaderCtrl.h"
#include "grid/GridListColumn.h"
#include "tests/support/TableRows.h"

#include <QtTest>

namespace RowDrag {

void Drag(CTableWnd *from, int row, CTableWnd *to, int targetRow)
{
    const QPoint start = TableRows::RowPoint(from, row);
    const QPoint target = from->mapFromGlobal(to->mapToGlobal(TableRows::RowPoint(to, targetRow)));
    QTest::mousePress(from, Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseMove(from, start + QPoint(5, 0));
    QTest::mouseMove(from, target);
    QTest::mouseRelease(from, Qt::LeftButton, Qt::NoModifier, target);
}

QStringList Cells(const QWidget *dialog, int column)
{
    QStringList cells;
    const CGridCtrl *grid = dialog->findChild<CGridCtrl *>();
    for (int row = 0; grid && !grid->GetItemText(row, column).isEmpty(); ++row)
        cells << grid->GetItemText(row, column);
    return cells;
}

QStringList Headings(const QWidget *dialog)
{
    QStringList headings;
    const CGridCtrl *grid = dialog->findChild<CGridCtrl *>();
    for (int column = 0; grid && column < grid->GetColumnCount(); ++column)
        headings << grid->GetHeader()->model()->headerData(column, Qt::Horizontal).toString();
    return headings;
}

// The list columns are the drop-downs, children of the dialog.
CGridListColumn *List(const QWidget *dialog, int column)
{
    for (CGridListColumn *list : dialog->findChildren<CGridListColumn *>())
        if (list->GetColumnIndex() == column)
            return list;
    return nullptr;
}

} // namespace RowDrag
