#include "document/AutoLayout.h"

#include "diagram/PlatformMetrics.h"
#include "diagram/TableMetrics.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {
constexpr int kColumns = 5;
constexpr int kColumnPitch = 140;
constexpr int kMargin = 20;

using Bottoms = std::array<int, kColumns>;

int ColumnX(int column) { return kColumnPitch * column + kMargin; }

// The column a standing table fills, or -1.
int ColumnOf(const QPoint &pos)
{
    for (int c = 0; c < kColumns; ++c)
        if (2 * std::abs(pos.x() - ColumnX(c)) < kColumnPitch)
            return c;
    return -1;
}

std::vector<QPoint> PlaceInColumns(Bottoms &bottoms, const std::vector<int> &itemCounts)
{
    std::vector<QPoint> positions;
    positions.reserve(itemCounts.size());
    for (int count : itemCounts) {
        int column = 0;
        for (int c = 1; c < kColumns; ++c)
            if (bottoms[c] < bottoms[column])
                column = c;
        positions.emplace_back(ColumnX(column), bottoms[column]);
        bottoms[column] += AutoLayoutHeight(count);
    }
    return positions;
}

} // namespace

int AutoLayoutHeight(int itemCount)
{
    return Platform::kCaptionHeight + 3 * Platform::kSizingFrameHeight + TableMetrics::kRowHeight * itemCount
           + kMargin;
}

std::vector<QPoint> AutoLayout(const std::vector<int> &itemCounts)
{
    Bottoms bottoms;
    bottoms.fill(kMargin);
    return PlaceInColumns(bottoms, itemCounts);
}

std::vector<QPoint> AutoLayoutBelow(const std::vector<CPlacedTable> &placed,
                                    const std::vector<int> &itemCounts)
{
    Bottoms bottoms;
    bottoms.fill(kMargin);
    for (const CPlacedTable &table : placed) {
        const int column = ColumnOf(table.m_pos);
        if (column >= 0)
            bottoms[column] = std::max(bottoms[column],
                                       table.m_pos.y() + AutoLayoutHeight(table.m_itemCount));
    }
    return PlaceInColumns(bottoms, itemCounts);
}
