#include "document/AutoLayout.h"

#include "diagram/PlatformMetrics.h"
#include "diagram/TableMetrics.h"

#include <array>

namespace {
constexpr int kColumns = 5;
constexpr int kColumnPitch = 140;
constexpr int kMargin = 20;
} // namespace

int AutoLayoutHeight(int itemCount)
{
    return Platform::kCaptionHeight + 3 * Platform::kSizingFrameHeight + TableMetrics::kRowHeight * itemCount
           + kMargin;
}

std::vector<QPoint> AutoLayout(const std::vector<int> &itemCounts)
{
    std::array<int, kColumns> bottoms;
    bottoms.fill(kMargin);
    std::vector<QPoint> positions;
    positions.reserve(itemCounts.size());
    for (int count : itemCounts) {
        int column = 0;
        for (int c = 1; c < kColumns; ++c)
            if (bottoms[c] < bottoms[column])
                column = c;
        positions.emplace_back(kColumnPitch * column + kMargin, bottoms[column]);
        bottoms[column] += AutoLayoutHeight(count);
    }
    return positions;
}
