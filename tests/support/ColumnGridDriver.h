#pragma once

#include <QString>
#include <QStringList>

class CGridCtrl;
class CGridListColumn;

// Fills the column grid of the Create Table and Add Column dialogs the way
// a user does (DialogInput's clicks and keys). A row is written as its
// texts joined by "|" (name, type, size, dec, collate, default, null and,
// where the grid has it, key); a null or key of "1" means one click on the
// cell, "0" two.
class CColumnGridDriver
{
public:
    explicit CColumnGridDriver(CGridCtrl *grid);

    void FillRow(int row, const QString &texts);
    void FillRows(const QStringList &rows);
    // Types at the end of a text cell.
    void Type(int row, int column, const QString &text);
    // Picks the row's type from the drop-down list.
    void Choose(int row, const QString &type);

    // The row's cell texts joined by "|", as FillRow takes them.
    QString RowTexts(int row) const;
    // Every row's texts down to the last row that holds any.
    QStringList FilledRows() const;

private:
    CGridCtrl *m_grid;
    CGridListColumn *m_types;
};
