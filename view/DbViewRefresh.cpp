// The database view's Refresh: the diagram read again from the catalog,
// for changes made by another diagram or another program.
#include "view/DbView.h"

#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "document/ErrorReport.h"
#include "document/LoadProgress.h"
#include "model/SchemaLoader.h"
#include "view/ArrangeWindows.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Every table of the catalog with its schema, in catalog order; nothing of
// the diagram changes here, also when the user cancels the reading from
// its progress dialog. The relationships are read first, as when loading.
int ReadCatalog(CDbSession &session, CSchemaModel &fresh, std::vector<std::string> &names,
                CLoadProgress &progress)
{
    int result = SchemaLoader::LoadRelationships(session, fresh);
    if (result >= 0)
        result = SchemaLoader::ListUserTables(session, names);
    if (result < 0)
        return result;
    std::vector<CTableSchema> tables;
    result = SchemaLoader::LoadTables(session, names, tables,
                                      [&progress](int read, int total) { return progress.Step(read, total); });
    if (result < 0)
        return result;
    for (CTableSchema &table : tables)
        fresh.PutTable(std::move(table));
    return 0;
}

} // namespace

bool CDbView::Refresh()
{
    CDoc &doc = *m_pDoc;
    CSchemaModel fresh;
    std::vector<std::string> names;
    int result = 0;
    {
        CLoadProgress progress(CLoadProgress::DefaultDelay(), window());
        result = ReadCatalog(doc.GetSession(), fresh, names, progress);
    }
    if (result < 0) {
        ReportRefreshFailure(result);
        return false;
    }
    doc.Schema().ReplaceWith(fresh);

    // The standing windows keep their places (and their recorded places:
    // nothing counts as moved) and show the rows read now, with nothing
    // selected.
    for (CTableWnd *table : std::vector<CTableWnd *>(doc.m_tables)) {
        if (!doc.Schema().FindTable(table->m_name)) {
            RemoveTable(table);
            delete table;
            continue;
        }
        table->ClearSelection();
        table->ShowModel();
        table->m_focus = std::clamp(table->m_focus, 0, std::max(0, table->ItemCount() - 1));
        table->m_anchor = table->m_focus;
    }

    // The tables without a window are new to the diagram; they follow in
    // catalog order, each in free space near what the user sees, and that
    // place is where the diagram read them: they have not moved.
    const QRect seen = ArrangeWindows::VisibleArea(*this);
    std::vector<CTableWnd *> added;
    for (const std::string &name : names) {
        if (doc.FindTable(name))
            continue;
        auto *table = new CTableWnd(&doc, name);
        table->ShowModel();
        doc.AppendTable(table);
        ShowTable(table);
        added.push_back(table);
    }
    ArrangeWindows::PlaceInFreeSpace(*this, added, seen);
    for (CTableWnd *table : added)
        table->m_savedPos = table->GetPosition();

    m_selRelationship = -1;
    FitCanvasToTables();
    m_canvas->update();
    return true;
}

// A refresh the user cancelled is not an error: the diagram stays as it was.
void CDbView::ReportRefreshFailure(int code)
{
    if (code != DbResult::kCancelled)
        ReportDbError(this, m_pDoc->GetSession(), code);
}
