#pragma once

#include "dialogs/ColumnRows.h"
#include "dialogs/DesignDialog.h"

#include <vector>

class CColumnGrid;
class CTableWnd;
class QLineEdit;

// Changes an existing table as a whole, in the layout of Create Table: the
// table's name and one grid row per column, filled as the catalog reports
// them. The user renames the table, edits any row, types new columns into
// the empty rows below and drops a column by emptying its name. OK sends it
// all as one change; afterwards the table's window shows the table read
// again, under its new name when it was renamed.
class CEditTableDlg : public CDesignDialog
{
    Q_OBJECT

public:
    explicit CEditTableDlg(CTableWnd *table);

protected:
    void FinishEditing() override;
    CComposedChange Compose() override;
    void OnApplied() override;

private:
    CTableWnd *m_table = nullptr;
    // The rows as the dialog filled them: where each edited row came from.
    std::vector<CColumnRow> m_shown;
    QLineEdit *m_tableName = nullptr;
    CColumnGrid *m_grid = nullptr;
};
