#include "diagram/TableWnd.h"

bool CTableWnd::OnCommand(int) { return false; }
void CTableWnd::DropSelected() {}
void CTableWnd::DropColumns() {}
void CTableWnd::DropIndexes() {}
void CTableWnd::DropTriggers() {}
void CTableWnd::DropTable() {}
void CTableWnd::ApplyFocusRule() {}
