#include "view/DbView.h"

#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"

#include <QString>

namespace {

// "&Undo Move\tCtrl+Z", or the plain entry when there is nothing to name:
// the menu keeps the text of the last time it was shown otherwise.
QString MenuText(const QString &verb, const QString &step, const QString &key)
{
    return (step.isEmpty() ? verb : verb + QLatin1Char(' ') + step) + QLatin1Char('\t') + key;
}

// The view mode goes first: changing it fits every window to its rows, and
// may move windows apart, before the places are put back. Tables that left
// the diagram since are skipped, and tables that came since stay where
// they are: they have no place in the layout.
void ApplyLayout(CDbView &view, const CDbView::CLayout &layout)
{
    CDoc *doc = view.GetDocument();
    if (!doc)
        return;
    if (doc->m_viewMode != layout.m_viewMode)
        view.SetViewMode(layout.m_viewMode);
    for (int i = 0; i < doc->TableCount(); ++i) {
        CTableWnd *table = doc->GetTable(i);
        const auto place = layout.m_places.find(table->Name());
        if (place != layout.m_places.end() && table->GetPosition() != place->second)
            table->MoveTo(place->second);
    }
}

} // namespace

CDbView::CLayout CDbView::CurrentLayout() const
{
    CLayout layout;
    if (!m_pDoc)
        return layout;
    layout.m_viewMode = m_pDoc->m_viewMode;
    for (int i = 0; i < m_pDoc->TableCount(); ++i) {
        const CTableWnd *table = m_pDoc->GetTable(i);
        layout.m_places[table->Name()] = table->GetPosition();
    }
    return layout;
}

void CDbView::RecordLayoutStep(const QString &name, const CLayout &before)
{
    CLayout after = CurrentLayout();
    if (after == before)
        return;
    m_layoutHistory.Record({name, before, std::move(after)});
}

void CDbView::TableMoved(CTableWnd *table, const QPoint &from)
{
    CLayout before = CurrentLayout();
    before.m_places[table->Name()] = from;
    RecordLayoutStep(QStringLiteral("Move"), before);
}

// Without a document the view has nothing to put back.
bool CDbView::CanUndoLayout() const { return m_pDoc && m_layoutHistory.CanUndo(); }

bool CDbView::CanRedoLayout() const { return m_pDoc && m_layoutHistory.CanRedo(); }

// The document notices an undone move as it notices a move: its places
// differ from those the file holds, or no longer do.
void CDbView::UndoLayout()
{
    if (CanUndoLayout())
        ApplyLayout(*this, m_layoutHistory.Undo().m_before);
}

void CDbView::RedoLayout()
{
    if (CanRedoLayout())
        ApplyLayout(*this, m_layoutHistory.Redo().m_after);
}

bool CDbView::CommandText(int id, QString &text) const
{
    if (id == Cmd::EditUndo) {
        text = MenuText(QStringLiteral("&Undo"),
                        CanUndoLayout() ? m_layoutHistory.NextUndo().m_name : QString(),
                        QStringLiteral("Ctrl+Z"));
        return true;
    }
    if (id == Cmd::EditRedo) {
        text = MenuText(QStringLiteral("&Redo"),
                        CanRedoLayout() ? m_layoutHistory.NextRedo().m_name : QString(),
                        QStringLiteral("Ctrl+Y"));
        return true;
    }
    return false;
}
