#include "diagram/CommandTable.h"

#include "res/Resource.h"

namespace {

const CCommandText kCommands[] = {
    {Cmd::FileNew, "&New\tCtrl+N", "Create a new document", "New", "new"},
    {Cmd::FileOpen, "&Open...\tCtrl+O", "Open an existing document", "Open", "open"},
    {Cmd::FileClose, "&Close", "Close the active document", "Close", nullptr},
    {Cmd::FileSave, "&Save\tCtrl+S", "Save the active document", "Save", "save"},
    {Cmd::FileSaveAs, "Save &As...", "Save the active document with a new name", "Save As", nullptr},
    {Cmd::FilePrintSetup, "P&rint Setup...", "Change the printer and printing options",
     "Print Setup", nullptr},
    {Cmd::FilePrint, "&Print...\tCtrl+P", "Print the active document", "Print", "print"},
    {Cmd::FilePrintPreview, "Print Pre&view", "Display full pages", "Print Preview", nullptr},
    {Cmd::FileExport, "&Export Diagram...", "Write the whole diagram as a PNG or SVG picture or a PDF",
     "Export Diagram", nullptr},
    {Cmd::FileExportSql, "Export S&QL Script...",
     "Write the tables of the diagram, or the picked ones, as an SQL script", "Export SQL Script", nullptr},
    {Cmd::AppExit, "E&xit", "Quit the application; prompts to save documents", "Exit", nullptr},

    {Cmd::EditUndo, "&Undo\tCtrl+Z", "Undo the last action", "Undo", nullptr},
    {Cmd::EditRedo, "&Redo\tCtrl+Y", "Redo the last action undone", "Redo", nullptr},
    {Cmd::EditCut, "Cu&t\tCtrl+X", "Cut the selection and put it on the Clipboard", "Cut", "cut"},
    {Cmd::EditCopy, "&Copy\tCtrl+C", "Copy the selection and put it on the Clipboard", "Copy",
     "copy"},
    {Cmd::EditPaste, "&Paste\tCtrl+V", "Insert Clipboard contents", "Paste", "paste"},
    {Cmd::EditFind, "&Find Table...\tCtrl+F", "Find a table or a column of the diagram by name",
     "Find Table", nullptr},
    {Cmd::CreateTable, "Create &Table", nullptr, nullptr, nullptr},
    {Cmd::EditTable, "&Edit Table...", nullptr, nullptr, nullptr},
    {Cmd::AddColumn, "&Add Column", nullptr, nullptr, nullptr},
    {Cmd::CreateIndex, "Create &Index", nullptr, nullptr, nullptr},
    {Cmd::CreateForeignKey, "Create &Foreign Key", nullptr, nullptr, nullptr},
    {Cmd::CreateTrigger, "Create &Trigger", nullptr, nullptr, nullptr},
    {Cmd::Drop, "&Drop", nullptr, nullptr, nullptr},
    {Cmd::HideTable, "&Hide Table", nullptr, nullptr, nullptr},
    {Cmd::ShowSql, "Show S&QL", "Show the table's script in a window", "Show SQL", nullptr},

    {Cmd::ViewToolbar, "&Toolbar", "Show or hide the toolbar", "Toggle ToolBar", nullptr},
    {Cmd::ViewStatusBar, "&Status Bar", "Show or hide the status bar", "Toggle StatusBar", nullptr},
    {Cmd::ViewSqlLog, "SQL &Log", "Show or hide the statements sent to the database",
     "Toggle SQL Log", nullptr},
    {Cmd::ViewSchema, "S&chema", nullptr, nullptr, nullptr},
    {Cmd::ViewTableDiagram, "Table &Diagram", nullptr, nullptr, nullptr},
    {Cmd::ViewAttributes, "&Attributes", nullptr, nullptr, nullptr},
    {Cmd::ViewRefresh, "&Refresh\tF5", "Read the tables and relationships again from the database",
     "Refresh", nullptr},
    {Cmd::ViewZoomIn, "Zoom &In\tCtrl++", "Show the diagram larger", "Zoom In", nullptr},
    {Cmd::ViewZoomOut, "Zoom &Out\tCtrl+-", "Show the diagram smaller", "Zoom Out", nullptr},
    {Cmd::ViewZoomReset, "Actual Si&ze\tCtrl+0", "Show the diagram at 100 %", "Actual Size", nullptr},
    {Cmd::ViewZoomFit, "Zoom to &Fit", "Show the whole diagram in the window", "Zoom to Fit", nullptr},
    {Cmd::ViewArrange, "Arrange Dia&gram",
     "Place every table so that related tables stand near each other", "Arrange Diagram", nullptr},
    {Cmd::ViewArrangeSelected, "Arrange S&elected",
     "Arrange the tables picked with Ctrl+click on their captions", "Arrange Selected", nullptr},

    {Cmd::WindowCascade, "&Cascade", "Arrange windows so they overlap", "Cascade Windows", nullptr},
    {Cmd::WindowTile, "&Tile", "Arrange windows as non-overlapping tiles", "Tile Windows", nullptr},
    {Cmd::WindowArrange, "&Arrange Icons", "Arrange icons at the bottom of the window",
     "Arrange Icons", nullptr},
    {Cmd::NextPane, nullptr, "Switch to the next window pane", "Next Pane", nullptr},
    {Cmd::PrevPane, nullptr, "Switch back to the previous window pane", "Previous Pane", nullptr},

    {Cmd::HelpIndex, "&Contents and Index\tF1", "Open the contents and index of the help",
     "Help Contents", nullptr},
    {Cmd::ContextHelp, "What's &This?\tShift+F1",
     "Show help for the next button, menu entry or window clicked", "What's This?", "whatsthis"},
    {Cmd::HelpUsing, "Using &Help", "Show how to use the help", "Using Help", nullptr},
    {Cmd::AppAbout, "&About Vellumix...", "Display the program's name and version number", "About",
     "about"},
    {Cmd::Help, nullptr, nullptr, nullptr, nullptr},
    {Cmd::DefaultHelp, nullptr, nullptr, nullptr, nullptr},
};

} // namespace

const CCommandText *FindCommandText(int id)
{
    for (const CCommandText &command : kCommands)
        if (command.m_id == id)
            return &command;
    return nullptr;
}
