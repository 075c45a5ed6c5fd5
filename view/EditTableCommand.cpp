#include "view/TableEdits.h"

bool TableEdits::EditTable(CDoc &, CDbView &, CTableWnd &) { return false; }
