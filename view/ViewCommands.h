#pragma once

class CDbView;

// Commands of the database view that act on the whole diagram.
namespace ViewCommands {

// Whether the command is offered yet (its menu entry enabled).
bool Offered(int id);
// File > Export Diagram: asks for a file and writes the diagram there.
bool ExportDiagram(CDbView &view);
// Whether File > Export Diagram is offered.
bool ExportOffered();
// Edit > Find Table: the find box over the diagram.
bool FindTable(CDbView &view);

} // namespace ViewCommands
