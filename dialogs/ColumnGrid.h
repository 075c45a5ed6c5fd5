#pragma once

#include "dialogs/ColumnRows.h"
#include "grid/GridCtrl.h"

#include <vector>

class CDbSession;

// The grid in which the Create Table and Add Column dialogs take their
// column definitions: Column Name, Data Type (chosen from the engine's
// types), Size, Dec, Collate, Default Value and Null. It fills its visible
// height with empty rows and answers its own lock question by the column
// rules, so each dialog only places it and reads its rows back.
class CColumnGrid : public CGridCtrl
{
    Q_OBJECT

public:
    // The grid stands at geometry (in the parent's pixels) before its
    // columns are made: the Column Name column takes the width the six
    // fixed columns and the scroll bar leave.
    CColumnGrid(QWidget *parent, const QRect &geometry, const CDbSession &session);

    // Every row's texts, top to bottom; an editor still open is not read
    // (CommitEdit first).
    std::vector<CColumnRow> Rows() const;
    const CTypeList &Types() const { return m_types; }

private:
    CColumnRow Row(int row) const;
    bool IsLocked(int row, int column) const;

    CTypeList m_types;
};
