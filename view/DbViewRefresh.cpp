// The database view's Refresh: the diagram read again from the catalog,
// for changes made by another diagram or another program.
#include "view/DbView.h"

#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "diagram/TableWnd.h"
#include "document/AutoLayout.h"
#include "document/Doc.h"
#include "document/LoadProgress.h"

#include <QMessageBox>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using FreshTables = std::vector<std::unique_ptr<CTableWnd>>;

// Every table of the catalog with its rows, read into windows that are not
// shown; nothing of the diagram changes here, also when the user cancels
// the reading from its progress dialog.
int ReadCatalogTables(CDoc &doc, FreshTables &fresh, CLoadProgress &progress)
{
    CDbSession &session = doc.GetSession();
    std::vector<std::string> names;
    int result = session.ReadRows(session.ListTables(), {3},
                                  [&](const CDbRow &row) {
                                      // The engine's own tables are no part of the user's diagram.
                                      if (!IsInternalTable(session, row[0]))
                                          names.push_back(row[0]);
                                  });
    if (result < 0)
        return result;
    const int total = static_cast<int>(names.size());
    for (const std::string &name : names) {
        auto table = std::make_unique<CTableWnd>(&doc, name);
        result = table->LoadSchema();
        if (result < 0)
            return result;
        fresh.push_back(std::move(table));
        if (!progress.Step(static_cast<int>(fresh.size()), total))
            return DbResult::kCancelled;
    }
    return 0;
}

// The relationship list read again; on failure the old list is put back.
int ReloadRelationshipsOrKeep(CDbSession &session)
{
    std::vector<CDbRelationship> old;
    for (int i = 0; const CDbRelationship *relationship = session.GetRelationship(i); ++i)
        old.push_back(*relationship);
    const int result = session.ReloadRelationships();
    if (result < 0) {
        session.ClearRelationships();
        for (const CDbRelationship &relationship : old)
            session.AddRelationship(std::make_unique<CDbRelationship>(relationship));
    }
    return result;
}

} // namespace

bool CDbView::Refresh()
{
    CDoc &doc = *m_pDoc;
    FreshTables fresh;
    int result = 0;
    {
        CLoadProgress progress(CLoadProgress::kDefaultDelayMs, window());
        result = ReadCatalogTables(doc, fresh, progress);
    }
    if (result >= 0)
        result = ReloadRelationshipsOrKeep(doc.GetSession());
    if (result < 0) {
        ReportRefreshFailure(result);
        return false;
    }

    std::map<std::string, CTableWnd *> byName;
    for (const auto &table : fresh)
        byName.emplace(table->m_name, table.get());

    // The standing windows keep their places (and their recorded places:
    // nothing counts as moved) and take over the rows read now.
    std::vector<CPlacedTable> standing;
    for (CTableWnd *table : std::vector<CTableWnd *>(doc.m_tables)) {
        const auto found = byName.find(table->m_name);
        if (found == byName.end()) {
            RemoveTable(table);
            delete table;
            continue;
        }
        table->TakeRowsFrom(*found->second);
        byName.erase(found);
        table->FitToContents();
        table->update();
        standing.push_back({table->GetPosition(), table->ItemCount()});
    }

    // The tables left over are new to the diagram; they follow in catalog
    // order.
    std::vector<CTableWnd *> added;
    std::vector<int> counts;
    for (auto &table : fresh) {
        if (byName.count(table->m_name) == 0)
            continue;
        counts.push_back(table->ItemCount());
        added.push_back(table.release());
    }
    const std::vector<QPoint> positions = AutoLayoutBelow(standing, counts);
    for (size_t i = 0; i < added.size(); ++i) {
        added[i]->m_savedPos = positions[i];
        doc.AppendTable(added[i]);
        ShowTable(added[i]);
    }

    m_selRelationship = -1;
    FitCanvasToTables();
    m_canvas->update();
    return true;
}

// A refresh the user cancelled is not an error: the diagram stays as it was.
void CDbView::ReportRefreshFailure(int code)
{
    CDbSession &session = m_pDoc->GetSession();
    if (code == DbResult::kCancelled) {
        session.CloseStatement();
        return;
    }
    QMessageBox error(QMessageBox::Critical, QStringLiteral("Error"),
                      QString::fromStdString(session.GetErrorText(code)), QMessageBox::Ok, this);
    error.exec();
    session.CloseStatement();
}
