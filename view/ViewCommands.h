#pragma once

class CDbView;
class CDoc;
class QString;
class CTableWnd;

// Commands of the database view that act on the whole diagram.
namespace ViewCommands {

// File > Export Diagram: asks for a file and writes the diagram there.
bool ExportDiagram(CDbView &view);
// Where an export of the document is first proposed: beside its diagram
// file (or in the working folder), named after it, with this suffix.
QString ProposedOutputPath(const CDoc &doc, const QString &suffix);
// Edit > Find Table: the find box over the diagram.
bool FindTable(CDbView &view);
// File > Export SQL Script: the script of the picked tables, or of every
// table of the diagram, written to a file the user names.
bool ExportSqlScript(CDbView &view);
// Show SQL on a table: its script in a read-only window with Copy.
void ShowTableSql(CDbView &view, const CTableWnd &table);

} // namespace ViewCommands
