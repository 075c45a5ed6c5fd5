#pragma once

#include "diagram/RelationshipGeometry.h"
#include "view/RelationshipIndex.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class CDbView;
class CTableWnd;
struct CDbRelationship;

// The relationship lines of one view as they stand on screen: each
// relationship's two table windows, its route and its bounding box, the
// boxes kept in a spatial index. Painting asks it for the lines that meet
// the exposed area and a click for the lines near the point, so neither
// looks at the lines elsewhere.
//
// It follows the diagram without being told everything: it rebuilds itself
// on first use after the session's relationship list changed or after
// Invalidate (a table window came, went, was shown or hidden), and re-routes
// only one table's lines when that table window moved, was resized or
// changed its rows (TableChanged).
class CRelationshipMap
{
public:
    explicit CRelationshipMap(const CDbView &view) : m_view(view) {}

    void Invalidate() { m_current = false; }
    void TableChanged(const CTableWnd *table);
    // Counts the changes of the routes, brought up to date first: a picture
    // of the lines made at one count is the picture at that count. The
    // lines set apart (those with an end at one of the tables given last)
    // are left out: a picture without them holds while they move. A new
    // set counts as a change.
    unsigned long long Changes();
    void SetApart(const std::vector<const CTableWnd *> &tables);
    const std::vector<const CTableWnd *> &Apart() const { return m_apart; }
    bool IsApart(int id) const;
    // The lines with an end at the table, up to date.
    std::vector<int> LinesOf(const CTableWnd *table);

    // The relationships whose lines may show in the area, in list order.
    std::vector<int> LinesIn(const QRect &area);
    // The route of a relationship; false when it is not drawn (one of its
    // tables has no window in the view).
    bool Route(int id, CRelationshipRoute &route);
    // The last relationship in list order whose drawn line is hit at the
    // point; failing that, the last whose area is hit; or -1. The point is
    // on the canvas shown at the zoom (at 1, a diagram point): the lines are
    // tested as they are drawn there.
    int HitTest(const QPoint &point, double zoom = 1.0);

    // The route between two table windows, in diagram coordinates: the
    // foreign end below its index's header row, the parent end above its
    // index's header row.
    static CRelationshipRoute RouteBetween(const CTableWnd &foreign, const CTableWnd &parent,
                                           const CDbRelationship &relationship);
    // Every table window of the view by name; of equal names the first in
    // document order, as the document finds them.
    static std::unordered_map<std::string, const CTableWnd *> WindowsByName(const CDbView &view);
    // Every relationship of the document whose two tables have windows,
    // with its index and its route routed afresh; the windows are looked
    // up by name once, not per line.
    static void ForEachRoute(const CDbView &view,
                             const std::function<void(int, const CRelationshipRoute &)> &visit);
    static QRect BoxOf(const CRelationshipRoute &route);
    // The route as drawn on a canvas shown at the zoom.
    static CRelationshipRoute Scaled(const CRelationshipRoute &route, double zoom);
    // The diagram area shown by an area of a canvas at the zoom.
    static QRect DiagramArea(const QRect &canvasArea, double zoom);

private:
    struct CLine
    {
        const CTableWnd *foreign = nullptr;
        const CTableWnd *parent = nullptr;
        CRelationshipRoute route;
    };

    void EnsureCurrent();
    void Rebuild();
    void Place(int id);

    const CDbView &m_view;
    bool m_current = false;
    unsigned long long m_version = 0;
    unsigned long long m_changes = 0;
    std::vector<const CTableWnd *> m_apart;
    std::vector<CLine> m_lines;
    std::unordered_map<const CTableWnd *, std::vector<int>> m_linesOfTable;
    CRelationshipIndex m_index;
};
