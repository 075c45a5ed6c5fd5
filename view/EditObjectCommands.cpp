#include "view/TableEdits.h"

bool TableEdits::EditIndex(CDoc &, CDbView &, CTableWnd &) { return false; }

bool TableEdits::EditTrigger(CDoc &, CDbView &, CTableWnd &) { return false; }
