#pragma once

class CDbView;
class CDoc;
class CTableWnd;

// Editing what a table already has, each in its dialog filled from the
// catalog; false when there is nothing to edit there.
namespace TableEdits {

// The table as a whole: its name, its columns and its primary key.
bool EditTable(CDoc &doc, CDbView &view, CTableWnd &table);
// The index or the trigger of the table window's current row.
bool EditIndex(CDoc &doc, CDbView &view, CTableWnd &table);
bool EditTrigger(CDoc &doc, CDbView &view, CTableWnd &table);

} // namespace TableEdits
