#include "dialogs/AddColumnDlg.h"

#include "diagram/TableWnd.h"
#include "dialogs/ColumnGrid.h"
#include "dialogs/DialogUnits.h"
#include "document/Doc.h"

#include <QPushButton>

CAddColumnDlg::CAddColumnDlg(CTableWnd *table)
    : CDesignDialog(table, CDoc::Of(table->Source())->GetSession(), QStringLiteral("Add Column(s)"), 400, 156),
      m_table(table)
{
    m_grid = new CColumnGrid(this, DialogUnits::ToPixels(10, 20, 385, 90), Session());
    QPushButton *add = AddDefaultButton(QStringLiteral("Add"), 135, 130, 50, 14);
    QPushButton *cancel = AddCancelButton(215, 130, 50, 14);
    setTabOrder(m_grid, add);
    setTabOrder(add, cancel);
}

void CAddColumnDlg::FinishEditing()
{
    m_grid->CommitEdit();
}

// The table's name comes from its window, never from the user.
CComposedChange CAddColumnDlg::Compose()
{
    return ColumnRows::ComposeAddColumns(m_table->m_name, m_grid->Rows(), m_grid->Types());
}

// A failed reload is not reported: the rows shown before it stay.
void CAddColumnDlg::OnApplied()
{
    m_table->LoadSchema();
    m_table->FitToContents();
    m_table->update();
}
