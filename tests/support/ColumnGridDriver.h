#pragma once

#include <QString>
#include <QStringList>

class CGridCtrl;

// Fills the column grid of the Create Table and Add Column dialogs the way
// a user does: a click makes a cell current, typed keys open its edit box,
// a type is clicked in the drop-down list, a second click flips the Null
// cell. A row is written as its seven texts joined by "|" (name, type,
// size, dec, collate, default, null); a null of "1" means one flip, "0"
// two.
class CColumnGridDriver
{
public:
    explicit CColumnGridDriver(CGridCtrl *grid) : m_grid(grid) {}

    void FillRow(int row, const QString &texts);
    void FillRows(const QStringList &rows);
    // The row's cell texts joined by "|", as FillRow takes them.
    QString RowTexts(int row) const;
    // Every row's texts down to the last row that holds any.
    QStringList FilledRows() const;

    // Makes the cell current, the grid holding the focus.
    void Select(int row, int column);
    void Type(int row, int column, const QString &text);
    void Choose(int row, int column, const QString &choice);
    void Toggle(int row, int column);

private:
    void ClickCell(int row, int column);

    CGridCtrl *m_grid;
};
