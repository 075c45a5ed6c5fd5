#pragma once

#include "dialogs/DesignDialog.h"

class CDiagramSurface;
class CGridCtrl;
class CGridListColumn;
class CTableWnd;
class QRadioButton;

// Creates a foreign key between two tables of the diagram. The user has
// dragged a row of the referencing table A onto a row of the referenced
// table B; the grid pairs a column of A (grid column 0) with a column of B
// (grid column 1) in each row, the dragged and the target row already
// entered. OK adds the key; the relationship line appears and both tables
// reload.
class CForeignKeyDlg : public CDesignDialog
{
    Q_OBJECT

public:
    // The view (the parent) holds both table windows and knows the row of
    // B the drag ended on (m_dropRow); all three are required.
    CForeignKeyDlg(CTableWnd *referencing, CTableWnd *referenced, CDiagramSurface *surface);

protected:
    void FinishEditing() override;
    CComposedChange Compose() override;
    void OnApplied() override;

private:
    void CreateControls();
    void AddGridColumns();
    void Prefill(int column, const CTableWnd *table, int row);
    static void AddColumnChoices(CGridListColumn *list, const CTableWnd *table);
    bool IsLocked(int row, int column) const;
    std::vector<std::string> Cells(int column) const;

    CTableWnd *m_referencing = nullptr;
    CTableWnd *m_referenced = nullptr;
    CDiagramSurface *m_surface = nullptr;
    CGridCtrl *m_grid = nullptr;
    CGridListColumn *m_columnA = nullptr;
    CGridListColumn *m_columnB = nullptr;
    QRadioButton *m_cascade = nullptr;
    QRadioButton *m_restrict = nullptr;
};
