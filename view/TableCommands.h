#pragma once

class CDbView;
class CDoc;
class CTableWnd;

namespace TableCommands {

// Runs a design command on a table window of the view: the dialogs that add
// to the table, and the drops. False for a command that is none of these.
// A drop of the table deletes the window later.
bool Run(CDoc &doc, CDbView &view, CTableWnd &table, int id);

} // namespace TableCommands
