#pragma once

// Command identifiers of the menus, the toolbar and the accelerators: the
// standard ones from 57600 up and the program's design commands.
namespace Cmd {

// File
constexpr int FileNew = 57600;
constexpr int FileOpen = 57601;
constexpr int FileClose = 57602;
constexpr int FileSave = 57603;
constexpr int FileSaveAs = 57604;
constexpr int FilePrintSetup = 57606;
constexpr int FilePrint = 57607;
constexpr int FilePrintDirect = 57608;
constexpr int FilePrintPreview = 57609;
constexpr int FileMru1 = 57616; // up to 57619
constexpr int AppExit = 57665;
// Edit
constexpr int EditCopy = 57634;
constexpr int EditCut = 57635;
constexpr int EditPaste = 57637;
constexpr int EditUndo = 57643;
// Window
constexpr int WindowArrange = 57649;
constexpr int WindowCascade = 57650;
constexpr int WindowTile = 57651;
constexpr int NextPane = 57680;
constexpr int PrevPane = 57681;
// Help
constexpr int AppAbout = 57664;
constexpr int HelpIndex = 57667;
constexpr int HelpUsing = 57668;
constexpr int ContextHelp = 57669;
constexpr int Help = 57670;
constexpr int DefaultHelp = 57671;
// View
constexpr int ViewToolbar = 59392;
constexpr int ViewStatusBar = 59393;
// Design commands
constexpr int Drop = 1001;
constexpr int CreateIndex = 32771;
constexpr int CreateForeignKey = 32772;
constexpr int AddColumn = 32773;
constexpr int DropColumns = 32774;
constexpr int DropIndexes = 32775;
constexpr int CreateTable = 32777;
constexpr int HideTable = 32780;
constexpr int CreateTrigger = 32781;
constexpr int DropTriggers = 32782;
constexpr int DropTable = 32784;
constexpr int ViewSchema = 32787;
constexpr int ViewAttributes = 32788;
constexpr int ViewTableDiagram = 32789;
// The statement log window (View menu).
constexpr int ViewSqlLog = 32790;
// Reads the diagram's tables and relationships again (View menu, F5).
constexpr int ViewRefresh = 32791;
// Editing what exists: a double-click on a caption, an index header or a
// trigger row, and Edit Table in the menus.
constexpr int EditTable = 32792;
constexpr int EditIndex = 32793;
constexpr int EditTrigger = 32794;
// File > Export Diagram: a picture or a PDF of the whole diagram.
constexpr int FileExport = 32795;
// Edit > Find Table: the find box over the diagram (Ctrl+F).
constexpr int EditFind = 32796;
// Edit > Redo (Ctrl+Y): undo and redo act on the diagram's layout.
constexpr int EditRedo = 32797;
// View > zoom: in, out, back to 100 %, and the whole diagram in the window.
constexpr int ViewZoomIn = 32798;
constexpr int ViewZoomOut = 32799;
constexpr int ViewZoomReset = 32800;
constexpr int ViewZoomFit = 32801;
// View > Arrange Diagram and Arrange Selected (the tables picked with
// Ctrl+click on their captions).
constexpr int ViewArrange = 32802;
constexpr int ViewArrangeSelected = 32803;
// File > Export SQL Script, and Show SQL on a table: the schema as a script.
constexpr int FileExportSql = 32804;
constexpr int ShowSql = 32805;

} // namespace Cmd

// The document's view modes.
enum ViewMode { Schema = 0, TableDiagram = 1, Attributes = 2 };
