#pragma once

class CDbView;

// Commands of the database view that act on the whole diagram.
namespace ViewCommands {

// File > Export Diagram: asks for a file and writes the diagram there.
bool ExportDiagram(CDbView &view);
// Edit > Find Table: the find box over the diagram.
bool FindTable(CDbView &view);

} // namespace ViewCommands
