#pragma once

#include <vector>

namespace Grid {

// The widths of all columns after column k is asked to become requested
// pixels wide in a grid whose client area is clientWidth wide. Growing a
// column takes the space from the columns to its right, visiting them from
// the last one leftwards, none giving up more than leaves it at the minimum
// width; the column grows only by what they gave. A column asked to shrink
// below the minimum width stays at the minimum. Whatever space is left free
// at the right goes to the last column, so the columns keep filling the
// grid.
std::vector<int> ResizeColumn(std::vector<int> widths, int k, int requested, int clientWidth);

// The widths with the last column widened to fill any free space at the
// right of a client area clientWidth wide.
std::vector<int> FillClientWidth(std::vector<int> widths, int clientWidth);

} // namespace Grid
