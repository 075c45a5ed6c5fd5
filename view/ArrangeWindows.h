#pragma once

// Keeping table windows apart when they come or grow: the view's Refresh,
// Create Table and view-mode change use these (DbViewArrange.cpp).
#include <QRect>

#include <vector>

class CDbView;
class CTableWnd;

namespace ArrangeWindows {

// The part of the diagram the view's viewport shows, in diagram
// coordinates.
QRect VisibleArea(const CDbView &view);

// Moves each new window into room the view's other windows leave, near
// an area of the diagram (the part the user sees); each one placed counts
// as standing for the next.
void PlaceInFreeSpace(const CDbView &view, const std::vector<CTableWnd *> &added, const QRect &area);

// After windows changed size: those that now overlap others move apart,
// the rest stay. Windows moved apart by the previous call and not moved
// since go back first, so that a wide mode and back changes nothing.
void SeparateOverlapping(const CDbView &view);

} // namespace ArrangeWindows
