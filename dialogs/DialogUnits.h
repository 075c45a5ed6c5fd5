#pragma once

#include "diagram/PlatformMetrics.h"

#include <QRect>
#include <QSize>

// Dialog units to pixels, rounded to the nearest pixel, from the platform's
// dialog base units. Templates give every control's place in dialog units,
// so each dialog keeps its proportions whatever the base units are.
namespace DialogUnits {

constexpr int ToPixelsX(int units) { return (units * Platform::kDialogBaseUnitX + 2) / 4; }
constexpr int ToPixelsY(int units) { return (units * Platform::kDialogBaseUnitY + 4) / 8; }

inline QRect ToPixels(int x, int y, int width, int height)
{
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(width), ToPixelsY(height));
}

inline QSize ToPixels(int width, int height) { return QSize(ToPixelsX(width), ToPixelsY(height)); }

} // namespace DialogUnits
