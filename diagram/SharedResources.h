#pragma once

#include <QFont>

class QCursor;
class QPixmap;
class QString;

// The resources every table window shares: the row font, the seven 16x16
// row images ("IDB_DbImages") and the drag cursor. They are made on first
// use and live as long as the application object: its destructor releases
// them, so none outlives it, and a later application object makes them
// anew.
namespace Shared {

constexpr int kImageCount = 7;
constexpr int kImageSize = 16;

// "Arial", 14 pixels high, normal weight, Swiss family.
const QFont &DiagramFont();
// A sans-serif font of the family whose character cell (ascent plus
// descent) is at most height pixels: the height a desktop font is given by.
QFont FontOfHeight(const QString &family, int height, QFont::Weight weight);
// Image number index (the row kind numbering), transparent background.
const QPixmap &DbImage(int index);
// The pointer shown while a row is dragged towards another table.
const QCursor &DragCursor();
// True while the resources exist.
bool ResourcesHeld();

} // namespace Shared
