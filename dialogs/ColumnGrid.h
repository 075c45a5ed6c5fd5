#pragma once

#include "dialogs/ColumnRows.h"
#include "grid/GridCtrl.h"

#include <vector>

class CDbSession;

// The grid in which the Create Table, Edit Table and Add Column dialogs
// take their column definitions: Column Name, Data Type (chosen from the
// engine's types), Size, Dec, Collate, Default Value, Null and, where a
// primary key can be given, Key. It shows the rows it is given, fills its
// visible height with empty rows and answers its own lock question by the
// column rules, so each dialog only places it and reads its rows back.
class CColumnGrid : public CGridCtrl
{
    Q_OBJECT

public:
    enum KeyColumn { WithoutKey, WithKey };

    // The grid stands at geometry (in the parent's pixels) before its
    // columns are made: the Column Name column takes the width the fixed
    // columns and the scroll bar leave.
    CColumnGrid(QWidget *parent, const QRect &geometry, const CDbSession &session,
                KeyColumn key = WithoutKey, const std::vector<CColumnRow> &rows = {});

    // Every row's texts, top to bottom; an editor still open is not read
    // (CommitEdit first).
    std::vector<CColumnRow> Rows() const;
    const CTypeList &Types() const { return m_types; }
    // The engine's types as the session lists them, as a grid offers them.
    static CTypeList SessionTypes(const CDbSession &session);

private:
    CColumnRow Row(int row) const;
    void AddRows(const std::vector<CColumnRow> &rows);
    bool IsLocked(int row, int column) const;

    CTypeList m_types;
};
