#include "view/RelationshipIndex.h"

#include <algorithm>

void CRelationshipIndex::Clear()
{
    m_boxes.clear();
    m_cells.clear();
    m_entries = 0;
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
            const size_t before = ids.size();
            ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
            m_entries -= before - ids.size();
            if (ids.empty())
                m_cells.erase(cell);
        });
    }
    entered = box.isEmpty() ? QRect() : box;
    if (!entered.isEmpty())
        ForEachCell(entered, [&](CellKey key) {
            m_cells[key].push_back(id);
            ++m_entries;
        });
}

std::vector<int> CRelationshipIndex::Query(const QRect &area) const
{
    std::vector<int> found;
    if (area.isEmpty())
        return found;
    if (ScanIsCheaper(area)) {
        for (size_t id = 0; id < m_boxes.size(); ++id)
            if (m_boxes[id].intersects(area))
                found.push_back(static_cast<int>(id));
        return found;
    }
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

// Zoomed far out the area is the whole diagram, and a long line is listed
// in hundreds of its cells: gathering, sorting and merging those lists cost
// many times a look at every box, which already comes in increasing order.
bool CRelationshipIndex::ScanIsCheaper(const QRect &area) const
{
    if (m_cells.empty())
        return true;
    const double columns = double(CellOf(area.right())) - CellOf(area.left()) + 1;
    const double rows = double(CellOf(area.bottom())) - CellOf(area.top()) + 1;
    const double perCell = double(m_entries) / double(m_cells.size());
    return columns * rows * perCell >= double(m_boxes.size());
}
