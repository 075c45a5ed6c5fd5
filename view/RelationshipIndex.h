#pragma once

#include <QRect>

#include <cstdint>
#include <unordered_map>
#include <vector>

// A uniform grid over the diagram that finds the relationship lines near a
// point or inside an area without looking at the others. Each line is known
// by its number (its place in the relationship list) and entered with its
// bounding box; it is listed in every grid cell the box touches. A query
// returns the numbers whose boxes meet the area, in increasing order, so
// that callers keep the list order the full scan would have.
class CRelationshipIndex
{
public:
    // Cells are squares of this many pixels: a viewport spans a few dozen,
    // a click one to four.
    static constexpr int kCellSize = 256;

    void Clear();
    // Enters the line with its box, replacing its previous box; an empty
    // box takes it out.
    void Set(int id, const QRect &box);
    void Remove(int id) { Set(id, QRect()); }
    // The line's box; an empty one when it is not entered.
    QRect Box(int id) const;
    // The lines whose boxes meet the area, in increasing order.
    std::vector<int> Query(const QRect &area) const;

private:
    using CellKey = std::uint64_t;
    static CellKey Key(int column, int row);
    static int CellOf(int coordinate);
    // Calls visit(key) for each cell the rectangle touches.
    template <typename Visit>
    static void ForEachCell(const QRect &rect, Visit visit);
    // Whether looking at every box costs less than the cells under the
    // area would: about as many entries as there are boxes.
    bool ScanIsCheaper(const QRect &area) const;

    std::vector<QRect> m_boxes;
    std::unordered_map<CellKey, std::vector<int>> m_cells;
    // How many ids the cells list in all.
    size_t m_entries = 0;
};
