#include "view/TableEdits.h"

#include "dialogs/EditTableDlg.h"

bool TableEdits::EditTable(CDoc &, CDbView &, CTableWnd &table)
{
    CEditTableDlg dialog(&table);
    dialog.exec();
    return true;
}
