#pragma once

#include <QPoint>

#include <vector>

// The automatic layout: five columns 140 pixels apart, each table placed at
// the bottom of the column that is shortest so far (the leftmost on a tie).
// Takes each table's item count in document order and returns its position.
std::vector<QPoint> AutoLayout(const std::vector<int> &itemCounts);

// A table that already stands in the diagram, as the layout sees it.
struct CPlacedTable
{
    QPoint m_pos;
    int m_itemCount = 0;
};

// Places more tables under those already standing: a standing table fills
// the layout column whose left edge lies within half a column of its own,
// down to where the automatic layout would have ended it; tables elsewhere
// fill no column. The new tables then go to the shortest columns in turn.
std::vector<QPoint> AutoLayoutBelow(const std::vector<CPlacedTable> &placed,
                                    const std::vector<int> &itemCounts);

// The vertical space a table with this many items takes in its column.
int AutoLayoutHeight(int itemCount);
