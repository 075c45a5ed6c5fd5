#include "diagram/TableWnd.h"

#include "db/DbmsAdapter.h"
#include "db/DbSession.h"
#include "db/Dialect.h"
#include "diagram/DropStatements.h"
#include "dialogs/AddColumnDlg.h"
#include "dialogs/ForeignKeyDlg.h"
#include "dialogs/IndexDlg.h"
#include "dialogs/TriggerDlg.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "view/DbView.h"

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

// A refused statement: the database's own text under "Error", then the
// statement is closed so that the next one can run.
void ReportFailure(CTableWnd &table, int code)
{
    CDbSession &session = table.m_pDoc->GetSession();
    QMessageBox::critical(&table, QStringLiteral("Error"), Text(session.GetErrorText(code)));
    session.CloseStatement();
}

// Makes one drop through the engine's dialect; false after reporting its
// failure.
bool ApplyDrop(CTableWnd &table, const CSchemaChange &drop)
{
    const int result = ApplySchemaChange(table.m_pDoc->GetSession(), drop);
    if (result < 0) {
        ReportFailure(table, result);
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
void ReloadRelationshipsOf(const CTableWnd &table, CDbView *view)
{
    CDbSession &session = table.m_pDoc->GetSession();
    bool named = false;
    for (int i = 0; const CDbRelationship *relationship = session.GetRelationship(i); ++i)
        named = named || relationship->m_foreignTable == table.m_name
                || relationship->m_parentTable == table.m_name;
    if (!named)
        return;
    // A failed read leaves the list empty; its statement is closed so that
    // the next command can run.
    if (session.ReloadRelationships() < 0)
        session.CloseStatement();
    if (view)
        view->Canvas()->update();
}

// What dropping the selected columns takes along that is not selected
// itself: their indexes and foreign keys, from the catalog. A failed read
// leaves the lists empty and the plain question is asked; the drop that
// may follow reports its own failure.
void ReadColumnDropEffects(CTableWnd &table, const std::vector<std::string> &selected,
                           std::vector<std::string> &indexes, std::vector<std::string> &keys)
{
    std::vector<std::string> columns;
    for (int i = 0; const CTableItem *item = table.GetItem(i); ++i)
        if (item->m_kind == Column && item->m_selected)
            columns.push_back(item->m_name);
    CDbSession &session = table.m_pDoc->GetSession();
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
std::string CountRows(CTableWnd &table)
{
    CDbSession &session = table.m_pDoc->GetSession();
    CDbmsAdapter *adapter = session.GetAdapter();
    std::string rows;
    if (adapter && adapter->CountRows(session, table.m_name, rows) < 0)
        rows.clear();
    return rows;
}

// The end of a row drag: this window's table receives the key, the table
// the row was dropped on is referenced. The dialog updates both itself.
void ShowForeignKeyDialog(CTableWnd &source, CDbView *view)
{
    if (!view || !view->m_pDropTable)
        return;
    CForeignKeyDlg dialog(&source, view->m_pDropTable, view);
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

} // namespace

bool CTableWnd::OnCommand(int id)
{
    switch (id) {
    case Cmd::CreateIndex: {
        CIndexDlg dialog(this);
        dialog.exec();
        return true;
    }
    case Cmd::AddColumn: {
        CAddColumnDlg dialog(this);
        dialog.exec();
        return true;
    }
    case Cmd::CreateTrigger: {
        CTriggerDlg dialog(this);
        dialog.exec();
        return true;
    }
    case Cmd::CreateForeignKey:
        ShowForeignKeyDialog(*this, View());
        return true;
    case Cmd::Drop:
        DropSelected();
        return true;
    case Cmd::DropColumns:
        DropColumns();
        return true;
    case Cmd::DropIndexes:
        DropIndexes();
        return true;
    case Cmd::DropTriggers:
        DropTriggers();
        return true;
    case Cmd::DropTable:
        DropTable();
        return true;
    default:
        return false;
    }
}

void CTableWnd::DropSelected()
{
    // Only the caption is shown: Drop means the table.
    const int first = RowsHidden() ? -1 : FirstSelected();
    if (first == -1) {
        DropTable();
        return;
    }
    // Every selected row is named, segment rows of a selected range too.
    std::vector<std::string> names;
    for (int i = first; i < ItemCount(); ++i)
        if (GetItem(i)->m_selected)
            names.push_back(GetItem(i)->m_name);
    std::vector<std::string> indexes, keys;
    ReadColumnDropEffects(*this, names, indexes, keys);
    if (!Confirm(this, DropText::DropRowsQuestion(names, indexes, keys)))
        return;

    const std::vector<NotedObject> noted = NoteSelectedObjects(*this);
    DropColumns();
    SelectNotedObjects(*this, noted);
    DropIndexes();
    DropTriggers();
}

void CTableWnd::DropColumns()
{
    std::vector<std::string> columns;
    for (int i = 0; i < ItemCount(); ++i)
        if (GetItem(i)->m_kind == Column && GetItem(i)->m_selected)
            columns.push_back(GetItem(i)->m_name);
    if (columns.empty())
        return;
    if (!ApplyDrop(*this, CDropColumns{m_name, columns}))
        return;

    for (int i = ItemCount() - 1; i >= 0; --i)
        if (GetItem(i)->m_kind == Column && GetItem(i)->m_selected)
            RemoveItem(i);
    ApplyFocusRule();
    // A failed reload is not reported: the rows read before it stay. Its
    // statement is closed so that the drops that follow can still run.
    if (LoadSchema() < 0)
        m_pDoc->GetSession().CloseStatement();
    FitToContents();
    update();
    ReloadRelationshipsOf(*this, View());
}

void CTableWnd::DropIndexes()
{
    bool dropped = false;
    for (int i = ItemCount() - 1; i >= 0; --i) {
        const CTableItem *item = GetItem(i);
        if (!item || !item->IsIndexHeader() || !item->m_selected)
            continue;
        if (!ApplyDrop(*this, CDropIndex{m_name, item->m_name}))
            continue;
        dropped = true;
        // The header goes with every segment row that follows it.
        while (GetItem(i + 1) && GetItem(i + 1)->m_kind == IndexSegment)
            RemoveItem(i + 1);
        RemoveItem(i);
        ApplyFocusRule();
        FitToContents();
        update();
    }
    if (dropped)
        ReloadRelationshipsOf(*this, View());
}

void CTableWnd::DropTriggers()
{
    for (int i = ItemCount() - 1; i >= 0; --i) {
        const CTableItem *item = GetItem(i);
        if (!item || item->m_kind != Trigger || !item->m_selected)
            continue;
        if (!ApplyDrop(*this, CDropTrigger{m_name, item->m_name}))
            continue;
        RemoveItem(i);
        ApplyFocusRule();
        FitToContents();
        update();
    }
}

void CTableWnd::DropTable()
{
    if (!Confirm(this, DropText::DropTableQuestion(m_name, CountRows(*this))))
        return;
    if (!ApplyDrop(*this, CDropTable{m_name}))
        return;

    ReloadRelationshipsOf(*this, View());
    if (CDbView *view = View())
        view->RemoveTable(this);
    else
        m_pDoc->RemoveTable(this);
    // This runs inside one of this window's own event handlers: it goes
    // from the screen now and is deleted once control is back in the event
    // loop. Nothing touches it after this point.
    hide();
    deleteLater();
}

void CTableWnd::ApplyFocusRule() { m_focus = DropText::FocusAfterRemoval(m_focus, ItemCount()); }
