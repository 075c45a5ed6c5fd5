#pragma once

#include <QFont>

class QPixmap;
class QString;

// The resources every table window shares for the life of the program:
// the row font and the seven 16x16 row images ("IDB_DbImages").
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

} // namespace Shared
