#include "view/RelationshipIndex.h"

#include <algorithm>

void CRelationshipIndex::Clear()
{
    m_boxes.clear();
    m_cells.clear();
}

CRelationshipIndex::CellKey CRelationshipIndex::Key(int column, int row)
{
    return (static_cast<CellKey>(static_cast<std::uint32_t>(column)) << 32)
           | static_cast<std::uint32_t>(row);
}

// Rounds towards minus infinity, so that positions left of or above the
// diagram's origin get cells of their own.
int CRelationshipIndex::CellOf(int coordinate)
{
    return coordinate >= 0 ? coordinate / kCellSize : -((-coordinate - 1) / kCellSize) - 1;
}

template <typename Visit>
void CRelationshipIndex::ForEachCell(const QRect &rect, Visit visit)
{
    const int right = CellOf(rect.right());
    const int bottom = CellOf(rect.bottom());
    for (int column = CellOf(rect.left()); column <= right; ++column)
        for (int row = CellOf(rect.top()); row <= bottom; ++row)
            visit(Key(column, row));
}

QRect CRelationshipIndex::Box(int id) const
{
    return id >= 0 && id < static_cast<int>(m_boxes.size()) ? m_boxes[static_cast<size_t>(id)]
                                                            : QRect();
}

void CRelationshipIndex::Set(int id, const QRect &box)
{
    if (id < 0)
        return;
    if (id >= static_cast<int>(m_boxes.size()))
        m_boxes.resize(static_cast<size_t>(id) + 1);
    QRect &entered = m_boxes[static_cast<size_t>(id)];
    if (entered == box)
        return;
    if (!entered.isEmpty()) {
        ForEachCell(entered, [&](CellKey key) {
            const auto cell = m_cells.find(key);
            if (cell == m_cells.end())
                return;
            std::vector<int> &ids = cell->second;
            ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
            if (ids.empty())
                m_cells.erase(cell);
        });
    }
    entered = box.isEmpty() ? QRect() : box;
    if (!entered.isEmpty())
        ForEachCell(entered, [&](CellKey key) { m_cells[key].push_back(id); });
}

std::vector<int> CRelationshipIndex::Query(const QRect &area) const
{
    std::vector<int> found;
    if (area.isEmpty())
        return found;
    ForEachCell(area, [&](CellKey key) {
        const auto cell = m_cells.find(key);
        if (cell == m_cells.end())
            return;
        for (int id : cell->second)
            if (m_boxes[static_cast<size_t>(id)].intersects(area))
                found.push_back(id);
    });
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}
