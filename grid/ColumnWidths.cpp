#include "grid/ColumnWidths.h"

#include "grid/GridMetrics.h"

#include <algorithm>
#include <numeric>

namespace Grid {

namespace {

// Takes up to wanted pixels from the columns right of k, the last one
// first; returns what was taken.
int TakeFromTheRight(std::vector<int> &widths, int k, int wanted)
{
    int taken = 0;
    for (int j = static_cast<int>(widths.size()) - 1; j > k && taken < wanted; --j) {
        const int give = std::min(wanted - taken, widths[j] - kMinColumnWidth);
        if (give > 0) {
            widths[j] -= give;
            taken += give;
        }
    }
    return taken;
}

} // namespace

std::vector<int> FillClientWidth(std::vector<int> widths, int clientWidth)
{
    if (widths.empty())
        return widths;
    const int free = clientWidth - std::accumulate(widths.begin(), widths.end(), 0);
    if (free > 0)
        widths.back() += free;
    return widths;
}

std::vector<int> ResizeColumn(std::vector<int> widths, int k, int requested, int clientWidth)
{
    if (k < 0 || k >= static_cast<int>(widths.size()))
        return widths;
    const int current = widths[k];
    if (requested > current)
        widths[k] = current + TakeFromTheRight(widths, k, requested - current);
    else if (requested < current)
        widths[k] = std::max(requested, kMinColumnWidth);
    return FillClientWidth(std::move(widths), clientWidth);
}

} // namespace Grid
