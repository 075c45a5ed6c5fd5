#pragma once

#include "dialogs/DesignDialog.h"

class CGridCtrl;
class CGridListColumn;
class CTableWnd;
class QCheckBox;
class QLineEdit;
struct CIndexInput;

// Creates one index on a table window's table. The user names it, ticks
// Unique, Modifiable and Not Null, and lists its segments in a grid of two
// columns: a column of the table, chosen from a drop-down list, and the sort
// direction, an arrow that a click turns (down means descending). The
// columns selected in the table window when the dialog opens are its first
// segments, in table order, and are not offered again in the list.
//
// Options the connected engine lacks are disabled, their tooltips saying
// so. On success the index header and its segment rows are appended to the
// table window as typed, without reading the catalog; the header becomes
// the current and only selected row.
class CIndexDlg : public CDesignDialog
{
    Q_OBJECT

public:
    explicit CIndexDlg(CTableWnd *table);

protected:
    void FinishEditing() override;
    CComposedChange Compose() override;
    void OnApplied() override;

private:
    void CreateControls();
    void CreateGrid();
    void EnterSelectedColumns();
    void OfferOtherColumns();
    bool IsCellLocked(int row, int column) const;
    CIndexInput Gather() const;

    CTableWnd *m_table;
    QLineEdit *m_indexName = nullptr;
    CGridCtrl *m_grid = nullptr;
    CGridListColumn *m_columnName = nullptr;
    QCheckBox *m_unique = nullptr;
    QCheckBox *m_modifiable = nullptr;
    QCheckBox *m_notNull = nullptr;
    // The index of the last Compose, which OnApplied shows.
    CCreateIndex m_index;
};
