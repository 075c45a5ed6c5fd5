// Edit Index and Edit Trigger: the definition is read from the catalog
// through the engine's adapter, never from the table window, whose rows
// show neither a segment's direction nor a trigger's body; the dialog then
// replaces it.
#include "view/TableEdits.h"

#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/SchemaChange.h"
#include "diagram/TableWnd.h"
#include "dialogs/IndexDlg.h"
#include "dialogs/TriggerDlg.h"
#include "document/Doc.h"
#include "document/ErrorReport.h"
#include "view/DbView.h"

#include <QDialog>

namespace {

// The index header or the trigger row the current row stands for: a
// segment row belongs to the header above it. Null when the current row
// is neither.
const CTableItem *CurrentObject(const CTableWnd &table, bool index)
{
    for (int row = table.m_focus; const CTableItem *item = table.GetItem(row); --row) {
        if (index && item->IsIndexHeader())
            return item;
        if (!index && item->m_kind == Trigger)
            return item;
        if (!index || item->m_kind != IndexSegment)
            return nullptr;
    }
    return nullptr;
}

// Reads the definition and shows the dialog on it; a failed read is shown
// and nothing opens. True when the dialog replaced the object.
template <typename Dialog, typename Definition, typename Read>
bool EditInDialog(CDoc &doc, CTableWnd &table, const std::string name, Read read)
{
    CDbSession &session = doc.GetSession();
    CDbmsAdapter *adapter = session.GetAdapter();
    if (!adapter) {
        ShowError(&table, QStringLiteral("The program knows no catalog of %1 to read the definition from.")
                              .arg(QString::fromStdString(session.GetDbmsName())));
        return false;
    }
    Definition shown;
    const int result = (adapter->*read)(session, table.m_name, name, shown);
    if (result < 0) {
        ReportDbError(&table, session, result);
        return false;
    }
    Dialog dialog(&table, shown);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

// A relationship names the indexes at its ends: when the table has one,
// the list is read again, so that no line keeps the old index's name.
bool TableEdits::EditIndex(CDoc &doc, CDbView &view, CTableWnd &table)
{
    const CTableItem *item = CurrentObject(table, true);
    if (!item)
        return false;
    if (EditInDialog<CIndexDlg, CCreateIndex>(doc, table, item->m_name, &CDbmsAdapter::ReadIndexDefinition)
        && doc.Schema().IsRelated(table.m_name)) {
        doc.ReloadRelationships();
        view.Canvas()->update();
    }
    return true;
}

bool TableEdits::EditTrigger(CDoc &doc, CDbView &, CTableWnd &table)
{
    const CTableItem *item = CurrentObject(table, false);
    if (!item)
        return false;
    EditInDialog<CTriggerDlg, CCreateTrigger>(doc, table, item->m_name, &CDbmsAdapter::ReadTriggerDefinition);
    return true;
}
