#pragma once

#include <QPoint>

#include <vector>

// The automatic layout: five columns 140 pixels apart, each table placed at
// the bottom of the column that is shortest so far (the leftmost on a tie).
// Takes each table's item count in document order and returns its position.
std::vector<QPoint> AutoLayout(const std::vector<int> &itemCounts);

// The vertical space a table with this many items takes in its column.
int AutoLayoutHeight(int itemCount);
