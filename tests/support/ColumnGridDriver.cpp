#include "tests/support/ColumnGridDriver.h"

#include "grid/GridCtrl.h"
#include "grid/GridListColumn.h"
#include "tests/support/DialogInput.h"

#include <QApplication>
#include <QtTest>

namespace {

constexpr int kCells = 8;
constexpr int kTypeColumn = 1;
constexpr int kNullColumn = 6;
constexpr int kKeyColumn = 7;

} // namespace

// The Data Type column's list is the dialog's only one.
CColumnGridDriver::CColumnGridDriver(CGridCtrl *grid)
    : m_grid(grid), m_types(grid->parentWidget()->findChild<CGridListColumn *>())
{
}

void CColumnGridDriver::FillRow(int row, const QString &texts)
{
    const QStringList cells = texts.split('|');
    QVERIFY2(cells.size() <= kCells, qPrintable(texts));
    for (int column = 0; column < cells.size(); ++column) {
        const QString &text = cells[column];
        if (text.isEmpty())
            continue;
        if (column == kTypeColumn) {
            Choose(row, text);
        } else if (column == kNullColumn || column == kKeyColumn) {
            DialogInput::OpenCell(m_grid, row, column);
            if (text == QLatin1String("0"))
                DialogInput::OpenCell(m_grid, row, column);
        } else {
            Type(row, column, text);
        }
    }
}

void CColumnGridDriver::FillRows(const QStringList &rows)
{
    for (int row = 0; row < rows.size(); ++row)
        FillRow(row, rows[row]);
}

void CColumnGridDriver::Type(int row, int column, const QString &text)
{
    DialogInput::OpenCell(m_grid, row, column);
    QWidget *editor = QApplication::focusWidget();
    QVERIFY2(editor && editor != m_grid, "the cell did not open");
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClicks(editor, text);
}

void CColumnGridDriver::Choose(int row, const QString &type)
{
    DialogInput::Choose(m_grid, m_types, row, type);
    QCOMPARE(m_grid->GetItemText(row, kTypeColumn), type);
}

QString CColumnGridDriver::RowTexts(int row) const
{
    QStringList cells;
    for (int column = 0; column < kCells; ++column)
        cells << m_grid->GetItemText(row, column);
    while (!cells.isEmpty() && cells.last().isEmpty())
        cells.removeLast();
    return cells.join('|');
}

QStringList CColumnGridDriver::FilledRows() const
{
    QStringList rows;
    for (int row = 0; row < m_grid->GetItemCount(); ++row)
        rows << RowTexts(row);
    while (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    return rows;
}
