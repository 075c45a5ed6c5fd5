// The design commands of a table window: the dialogs that add to a table
// and the drops. Each change goes to the engine's dialect; on success the
// document's model follows and the windows show it, on failure the
// engine's message is shown and nothing else changes.
#include "view/TableCommands.h"

#include "db/DbmsAdapter.h"
#include "db/DbSession.h"
#include "db/Dialect.h"
#include "diagram/DropStatements.h"
#include "diagram/TableWnd.h"
#include "dialogs/AddColumnDlg.h"
#include "dialogs/ForeignKeyDlg.h"
#include "dialogs/IndexDlg.h"
#include "dialogs/TriggerDlg.h"
#include "document/Doc.h"
#include "document/ErrorReport.h"
#include "res/Resource.h"
#include "view/DbView.h"
#include "view/TableEdits.h"
#include "view/ViewCommands.h"

#include <QMessageBox>

#include <algorithm>
#include <vector>

namespace {

QString Text(const std::string &text) { return QString::fromStdString(text); }

bool Confirm(QWidget *owner, const std::string &question)
{
    return QMessageBox::warning(owner, QStringLiteral("Confirmation"), Text(question),
                                QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

// Makes one drop through the engine's dialect; false after reporting its
// failure.
bool ApplyDrop(CDoc &doc, CTableWnd &table, const CSchemaChange &drop)
{
    const int result = ApplySchemaChange(doc.GetSession(), drop);
    if (result < 0) {
        ReportDbError(&table, doc.GetSession(), result);
        return false;
    }
    return true;
}

// A drop can take foreign keys with it that nobody named: PostgreSQL and
// the SQLite table rebuild drop the keys on a dropped column, a dropped
// table goes with its keys, and a dropped index can leave a key with
// another index or none. When a relationship names the table, the list is
// read again, so that no line stays for a key that is gone or ends at an
// index that is gone.
void ReloadRelationshipsOf(CDoc &doc, const std::string &table, CDbView &view)
{
    if (!doc.Schema().IsRelated(table))
        return;
    // A failed read keeps the list as it was.
    doc.ReloadRelationships();
    view.Canvas()->update();
}

// What dropping the selected columns takes along that is not selected
// itself: their indexes and foreign keys, from the catalog. A failed read
// leaves the lists empty and the plain question is asked; the drop that
// may follow reports its own failure.
void ReadColumnDropEffects(CDoc &doc, CTableWnd &table, const std::vector<std::string> &selected,
                           std::vector<std::string> &indexes, std::vector<std::string> &keys)
{
    std::vector<std::string> columns;
    for (int i = 0; const CTableItem *item = table.GetItem(i); ++i)
        if (item->m_kind == Column && item->m_selected)
            columns.push_back(item->m_name);
    CDbSession &session = doc.GetSession();
    CDbmsAdapter *adapter = session.GetAdapter();
    if (columns.empty() || !adapter)
        return;
    if (adapter->ReadColumnDropEffects(session, table.m_name, columns, indexes, keys) < 0) {
        indexes.clear();
        keys.clear();
        return;
    }
    const auto named = [&selected](const std::string &name) {
        return std::find(selected.begin(), selected.end(), name) != selected.end();
    };
    indexes.erase(std::remove_if(indexes.begin(), indexes.end(), named), indexes.end());
}

// The rows of the table, for the question before its drop; empty when they
// cannot be counted (the drop then reports why it fails, if it does).
std::string CountRows(CDoc &doc, const CTableWnd &table)
{
    CDbSession &session = doc.GetSession();
    CDbmsAdapter *adapter = session.GetAdapter();
    std::string rows;
    if (adapter && adapter->CountRows(session, table.m_name, rows) < 0)
        rows.clear();
    return rows;
}

// The end of a row drag: this window's table receives the key, the table
// the row was dropped on is referenced. The dialog updates both itself.
void ShowForeignKeyDialog(CTableWnd &source, CDbView &view)
{
    if (!view.m_pDropTable)
        return;
    CForeignKeyDlg dialog(&source, view.m_pDropTable, &view);
    dialog.exec();
}

// The selected indexes and triggers, noted before a column drop so that
// the reload which ends it does not lose them.
struct NotedObject
{
    int kind;
    std::string name;
};

std::vector<NotedObject> NoteSelectedObjects(const CTableWnd &table)
{
    std::vector<NotedObject> noted;
    for (int i = 0; const CTableItem *item = table.GetItem(i); ++i)
        if (item->m_selected && (item->IsIndexHeader() || item->m_kind == Trigger))
            noted.push_back({item->m_kind, item->m_name});
    return noted;
}

void SelectNotedObjects(CTableWnd &table, const std::vector<NotedObject> &noted)
{
    for (int i = 0; CTableItem *item = table.GetItem(i); ++i)
        for (const NotedObject &object : noted)
            if (item->m_name == object.name
                && (item->IsIndexHeader() ? object.kind != Trigger : item->m_kind == object.kind))
                item->m_selected = true;
}

void DropColumns(CDoc &doc, CTableWnd &table, CDbView &view)
{
    std::vector<std::string> columns;
    int left = 0;
    for (int i = 0; const CTableItem *item = table.GetItem(i); ++i) {
        if (item->m_kind == Column && item->m_selected)
            columns.push_back(item->m_name);
        else
            ++left;
    }
    if (columns.empty())
        return;
    if (!ApplyDrop(doc, table, CDropColumns{table.m_name, columns}))
        return;

    table.m_focus = DropText::FocusAfterRemoval(table.m_focus, left);
    // The drop can take indexes along: the table is read again. A failed
    // read is not reported; the model then loses just the dropped columns.
    doc.Schema().ChangeTable(table.m_name, [&columns](CTableSchema &schema) {
        auto &all = schema.m_columns;
        all.erase(std::remove_if(all.begin(), all.end(),
                                 [&columns](const CSchemaColumn &column) {
                                     return std::find(columns.begin(), columns.end(), column.m_name)
                                            != columns.end();
                                 }),
                  all.end());
    });
    table.ClearSelection();
    if (doc.ReloadTable(table) < 0)
        table.ShowModel();
    ReloadRelationshipsOf(doc, table.m_name, view);
}

void DropIndexes(CDoc &doc, CTableWnd &table, CDbView &view)
{
    bool dropped = false;
    for (int i = table.ItemCount() - 1; i >= 0; --i) {
        const CTableItem *item = table.GetItem(i);
        if (!item || !item->IsIndexHeader() || !item->m_selected)
            continue;
        const std::string name = item->m_name;
        if (!ApplyDrop(doc, table, CDropIndex{table.m_name, name}))
            continue;
        dropped = true;
        doc.Schema().ChangeTable(table.m_name,
                                 [&name](CTableSchema &schema) { schema.RemoveIndex(name); });
        table.ShowModel();
        table.ApplyFocusRule();
    }
    if (dropped)
        ReloadRelationshipsOf(doc, table.m_name, view);
}

void DropTriggers(CDoc &doc, CTableWnd &table)
{
    for (int i = table.ItemCount() - 1; i >= 0; --i) {
        const CTableItem *item = table.GetItem(i);
        if (!item || item->m_kind != Trigger || !item->m_selected)
            continue;
        const std::string name = item->m_name;
        if (!ApplyDrop(doc, table, CDropTrigger{table.m_name, name}))
            continue;
        doc.Schema().ChangeTable(table.m_name,
                                 [&name](CTableSchema &schema) { schema.RemoveTrigger(name); });
        table.ShowModel();
        table.ApplyFocusRule();
    }
}

void DropTable(CDoc &doc, CTableWnd &table, CDbView &view)
{
    if (!Confirm(&table, DropText::DropTableQuestion(table.m_name, CountRows(doc, table))))
        return;
    if (!ApplyDrop(doc, table, CDropTable{table.m_name}))
        return;

    doc.Schema().RemoveTable(table.m_name);
    ReloadRelationshipsOf(doc, table.m_name, view);
    view.RemoveTable(&table);
    // This runs inside one of the window's own event handlers: it goes
    // from the screen now and is deleted once control is back in the event
    // loop. Nothing touches it after this point.
    table.hide();
    table.deleteLater();
}

void DropSelected(CDoc &doc, CTableWnd &table, CDbView &view)
{
    // Only the caption is shown: Drop means the table.
    const int first = table.RowsHidden() ? -1 : table.FirstSelected();
    if (first == -1) {
        DropTable(doc, table, view);
        return;
    }
    // Every selected row is named, segment rows of a selected range too.
    std::vector<std::string> names;
    for (int i = first; i < table.ItemCount(); ++i)
        if (table.GetItem(i)->m_selected)
            names.push_back(table.GetItem(i)->m_name);
    std::vector<std::string> indexes, keys;
    ReadColumnDropEffects(doc, table, names, indexes, keys);
    if (!Confirm(&table, DropText::DropRowsQuestion(names, indexes, keys)))
        return;

    const std::vector<NotedObject> noted = NoteSelectedObjects(table);
    DropColumns(doc, table, view);
    SelectNotedObjects(table, noted);
    DropIndexes(doc, table, view);
    DropTriggers(doc, table);
}

template <typename Dialog>
void ShowDesignDialog(CTableWnd &table)
{
    Dialog dialog(&table);
    dialog.exec();
}

} // namespace

bool TableCommands::Run(CDoc &doc, CDbView &view, CTableWnd &table, int id)
{
    switch (id) {
    case Cmd::CreateIndex: ShowDesignDialog<CIndexDlg>(table); return true;
    case Cmd::AddColumn: ShowDesignDialog<CAddColumnDlg>(table); return true;
    case Cmd::CreateTrigger: ShowDesignDialog<CTriggerDlg>(table); return true;
    case Cmd::CreateForeignKey: ShowForeignKeyDialog(table, view); return true;
    case Cmd::Drop: DropSelected(doc, table, view); return true;
    case Cmd::DropColumns: DropColumns(doc, table, view); return true;
    case Cmd::DropIndexes: DropIndexes(doc, table, view); return true;
    case Cmd::DropTriggers: DropTriggers(doc, table); return true;
    case Cmd::DropTable: DropTable(doc, table, view); return true;
    case Cmd::ShowSql: ViewCommands::ShowTableSql(view, table); return true;
    case Cmd::EditTable: return TableEdits::EditTable(doc, view, table);
    case Cmd::EditIndex: return TableEdits::EditIndex(doc, view, table);
    case Cmd::EditTrigger: return TableEdits::EditTrigger(doc, view, table);
    default: return false;
    }
}
