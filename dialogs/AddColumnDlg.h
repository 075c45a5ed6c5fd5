#pragma once

#include "dialogs/DesignDialog.h"

class CColumnGrid;
class CTableWnd;

// Adds one column per grid row to the table of a table window, all of them
// or none; the window then shows the table as the catalog reads it.
class CAddColumnDlg : public CDesignDialog
{
    Q_OBJECT

public:
    explicit CAddColumnDlg(CTableWnd *table);

protected:
    void FinishEditing() override;
    CComposedChange Compose() override;
    void OnApplied() override;

private:
    CTableWnd *m_table = nullptr;
    CColumnGrid *m_grid = nullptr;
};
