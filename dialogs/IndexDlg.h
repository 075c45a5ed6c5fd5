#pragma once

#include "dialogs/DesignDialog.h"

#include <optional>
#include <string>
#include <vector>

class CGridCtrl;
class CGridListColumn;
class CTableWnd;
class QCheckBox;
class QLineEdit;
struct CIndexInput;
struct CSchemaIndex;

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
//
// Opened with an existing index, the dialog shows it filled as the catalog
// holds it, and its default button reads "Replace": what it does is drop
// that index and create the one the dialog then holds, in one transaction,
// which for a large table means building the index again. The replacement
// keeps the old index's place among the table window's rows.
class CIndexDlg : public CDesignDialog
{
    Q_OBJECT

public:
    explicit CIndexDlg(CTableWnd *table);
    CIndexDlg(CTableWnd *table, const CCreateIndex &shown);

protected:
    void FinishEditing() override;
    CComposedChange Compose() override;
    void OnApplied() override;

private:
    CIndexDlg(CTableWnd *table, std::optional<CCreateIndex> shown);
    void CreateControls();
    void CreateGrid();
    void EnterSelectedColumns();
    void EnterShownSegments();
    void OfferOtherColumns();
    void ShowInModel(CSchemaIndex index);
    bool IsCellLocked(int row, int column) const;
    CIndexInput Gather() const;

    CTableWnd *m_table;
    QLineEdit *m_indexName = nullptr;
    CGridCtrl *m_grid = nullptr;
    CGridListColumn *m_columnName = nullptr;
    QCheckBox *m_unique = nullptr;
    QCheckBox *m_modifiable = nullptr;
    QCheckBox *m_notNull = nullptr;
    // The index the dialog replaces; nothing when it creates one.
    std::optional<CCreateIndex> m_shown;
    // The columns entered in the grid when it opened, not offered again.
    std::vector<std::string> m_entered;
    // The index of the last Compose, which OnApplied shows.
    CCreateIndex m_index;
};
