#include "tests/support/ColumnGridDriver.h"

#include "grid/GridCtrl.h"
#include "tests/support/DialogWidgets.h"

#include <QApplication>
#include <QListWidget>
#include <QtTest>

namespace {

constexpr int kCells = 7;
constexpr int kTypeColumn = 1;
constexpr int kNullColumn = 6;

} // namespace

void CColumnGridDriver::FillRow(int row, const QString &texts)
{
    const QStringList cells = texts.split('|');
    QVERIFY2(cells.size() <= kCells, qPrintable(texts));
    for (int column = 0; column < cells.size(); ++column) {
        const QString &text = cells[column];
        if (text.isEmpty())
            continue;
        if (column == kTypeColumn) {
            Choose(row, column, text);
        } else if (column == kNullColumn) {
            Toggle(row, column);
            if (text == QLatin1String("0"))
                Toggle(row, column);
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

void CColumnGridDriver::Select(int row, int column)
{
    const CGridCtrl::Cell target{row, column};
    // The offscreen platform does not give the activation back to a dialog
    // when a message box over it closes, as a window manager does.
    if (QApplication::activeWindow() != m_grid->window())
        QVERIFY(DialogWidgets::Activate(m_grid->window()));
    if (QApplication::focusWidget() != m_grid)
        ClickCell(row, column);
    if (!(m_grid->GetCurrentCell() == target))
        ClickCell(row, column);
    QVERIFY(m_grid->GetCurrentCell() == target);
}

// The first key starts the edit on the grid; the rest go to the edit box.
void CColumnGridDriver::Type(int row, int column, const QString &text)
{
    Select(row, column);
    for (const QChar c : text)
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
    QVERIFY(QApplication::focusWidget() != m_grid);
}

void CColumnGridDriver::Choose(int row, int column, const QString &choice)
{
    Select(row, column);
    QTest::keyClick(m_grid, Qt::Key_Down, Qt::AltModifier);
    auto *list = qobject_cast<QListWidget *>(QApplication::focusWidget());
    QVERIFY2(list && list->isVisible(), "the drop-down list did not open");
    const QList<QListWidgetItem *> found = list->findItems(choice, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(!found.isEmpty(), qPrintable(choice));
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(found.first()).center());
    QCOMPARE(m_grid->GetItemText(row, column), choice);
}

void CColumnGridDriver::Toggle(int row, int column)
{
    Select(row, column);
    ClickCell(row, column);
}

void CColumnGridDriver::ClickCell(int row, int column)
{
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      m_grid->GetCellRect(row, column).center());
}
