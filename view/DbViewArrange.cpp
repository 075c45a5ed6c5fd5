// Arrange Diagram: places tables so that related tables stand near each
// other and no two overlap.
#include "document/Arrange.h"
#include "view/ArrangeWindows.h"
#include "view/DbView.h"

#include "db/DbTypes.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "view/RelationshipMap.h"

#include <QVariant>

#include <algorithm>
#include <map>

namespace {

// The margin the automatic layout leaves too, so that the top and left
// tables do not touch the view's edge.
constexpr int kMargin = 20;

// Some of the diagram's table windows as the arranging sees them: their
// sizes as drawn now and the keys among them.
Arrange::CGraph GraphOf(const CDoc &doc, const std::vector<CTableWnd *> &tables)
{
    Arrange::CGraph graph;
    std::map<std::string, int> index;
    for (CTableWnd *table : tables) {
        index.emplace(table->m_name, static_cast<int>(graph.m_sizes.size()));
        graph.m_sizes.push_back(table->DiagramRect().size());
    }
    for (const CDbRelationship &relationship : doc.Schema().Relationships()) {
        const auto foreign = index.find(relationship.m_foreignTable);
        const auto parent = index.find(relationship.m_parentTable);
        if (foreign != index.end() && parent != index.end())
            graph.m_links.push_back({foreign->second, parent->second});
    }
    return graph;
}

QRect Bounds(const std::vector<CTableWnd *> &tables)
{
    QRect bounds;
    for (const CTableWnd *table : tables)
        bounds |= table->DiagramRect();
    return bounds;
}

// The windows shown in the view; windows being added are not shown yet or
// are left out by the caller.
std::vector<CTableWnd *> Shown(const CDbView &view)
{
    std::vector<CTableWnd *> shown;
    const CDoc &doc = *view.GetDocument();
    for (CTableWnd *table : doc.m_tables)
        if (table->parentWidget() == view.Canvas())
            shown.push_back(table);
    return shown;
}

// A window moved aside because its mode made it or a neighbour wider
// remembers where it stood: the next mode change puts it back there, so
// that going to a wide mode and back leaves the diagram as it was. A
// window the user moved since stays where it is.
const char *const kSeparatedFrom = "separatedFrom";
const char *const kSeparatedTo = "separatedTo";

void RestoreSeparated(const std::vector<CTableWnd *> &tables)
{
    for (CTableWnd *table : tables) {
        const QVariant to = table->property(kSeparatedTo);
        if (!to.isValid())
            continue;
        if (table->GetPosition() == to.toPoint())
            table->MoveTo(table->property(kSeparatedFrom).toPoint());
        table->setProperty(kSeparatedFrom, QVariant());
        table->setProperty(kSeparatedTo, QVariant());
    }
}

} // namespace

void CDbView::ArrangeDiagram()
{
    std::vector<CTableWnd *> tables(m_pDoc->m_tables);
    const Arrange::CGraph graph = GraphOf(*m_pDoc, tables);
    const std::vector<QPoint> places = Arrange::Tables(graph, QPoint(kMargin, kMargin));
    const CLayout before = CurrentLayout();
    // Routed again once afterwards rather than after every single move,
    // when lines between moved and unmoved tables span the whole diagram.
    m_lines->Invalidate();
    for (size_t i = 0; i < tables.size(); ++i)
        tables[i]->MoveTo(places[i]);
    RecordLayoutStep(QStringLiteral("Arrange"), before);
    m_pDoc->CheckMovedTables();
    FitCanvasToTables();
    m_canvas->update();
}

// The picked tables are arranged among themselves and the block they make
// goes where they stood (its top-left corner at theirs), or into the
// nearest room from there that the other tables leave free.
void CDbView::ArrangeSelected()
{
    std::vector<CTableWnd *> picked, others;
    for (CTableWnd *table : m_pDoc->m_tables)
        (table->m_picked ? picked : others).push_back(table);
    if (picked.empty())
        return;
    const Arrange::CGraph graph = GraphOf(*m_pDoc, picked);
    std::vector<QPoint> places = Arrange::Tables(graph);
    QRect block;
    for (size_t i = 0; i < places.size(); ++i)
        block |= QRect(places[i], graph.m_sizes[i]);
    std::vector<QRect> standing;
    for (const CTableWnd *table : others)
        standing.push_back(table->DiagramRect());
    const QRect was = Bounds(picked);
    const QPoint corner =
        Arrange::FreeSpace(standing, block.size(), QRect(was.topLeft(), block.size()));
    const CLayout before = CurrentLayout();
    m_lines->Invalidate();
    for (size_t i = 0; i < picked.size(); ++i)
        picked[i]->MoveTo(corner + places[i]);
    RecordLayoutStep(QStringLiteral("Arrange"), before);
    m_pDoc->CheckMovedTables();
    FitCanvasToTables();
    m_canvas->update();
}

int CDbView::PickedTableCount() const
{
    int picked = 0;
    for (int i = 0; m_pDoc && i < m_pDoc->TableCount(); ++i)
        if (m_pDoc->GetTable(i)->m_picked)
            ++picked;
    return picked;
}

namespace ArrangeWindows {

QRect VisibleArea(const CDbView &view)
{
    const double zoom = view.Zoom() > 0 ? view.Zoom() : 1.0;
    const QPoint scroll = view.ScrollPosition();
    const QSize seen = view.viewport()->size();
    return QRect(QPoint(static_cast<int>(scroll.x() / zoom), static_cast<int>(scroll.y() / zoom)),
                 QSize(static_cast<int>(seen.width() / zoom), static_cast<int>(seen.height() / zoom)));
}

void PlaceInFreeSpace(const CDbView &view, const std::vector<CTableWnd *> &added, const QRect &area)
{
    std::vector<QRect> standing;
    for (const CTableWnd *table : Shown(view))
        if (std::find(added.begin(), added.end(), table) == added.end())
            standing.push_back(table->DiagramRect());
    // The gap keeps a new window off the area's very edge.
    const QRect near = area.adjusted(Arrange::kGap, Arrange::kGap, 0, 0);
    for (CTableWnd *table : added) {
        const QSize size = table->DiagramRect().size();
        const QPoint place = Arrange::FreeSpace(standing, size, near);
        table->MoveTo(place);
        standing.emplace_back(place, size);
    }
}

void SeparateOverlapping(const CDbView &view)
{
    const std::vector<CTableWnd *> tables = Shown(view);
    RestoreSeparated(tables);
    std::vector<QRect> rects;
    for (const CTableWnd *table : tables)
        rects.push_back(table->DiagramRect());
    const std::vector<QPoint> places = Arrange::RemoveOverlaps(rects);
    for (size_t i = 0; i < tables.size(); ++i)
        if (places[i] != rects[i].topLeft()) {
            tables[i]->setProperty(kSeparatedFrom, rects[i].topLeft());
            tables[i]->setProperty(kSeparatedTo, places[i]);
            tables[i]->MoveTo(places[i]);
        }
}

} // namespace ArrangeWindows
