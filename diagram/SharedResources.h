#pragma once

class QFont;
class QPixmap;

// The resources every table window shares for the life of the program:
// the row font and the seven 16x16 row images ("IDB_DbImages").
namespace Shared {

constexpr int kImageCount = 7;
constexpr int kImageSize = 16;

// "Arial", 14 pixels high, normal weight, Swiss family.
const QFont &DiagramFont();
// Image number index (the row kind numbering), transparent background.
const QPixmap &DbImage(int index);

} // namespace Shared
