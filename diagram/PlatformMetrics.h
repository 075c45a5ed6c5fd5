#pragma once

// Window metrics that a classic desktop would take from the system. Qt has
// no such values for our self-painted table windows, so they are fixed here
// once; every size, layout and hit test computes from these names.
namespace Platform {

// Height of a caption bar (the system caption height).
constexpr int kCaptionHeight = 19;
// Height of a sizing frame; the table window heights count it three times.
constexpr int kSizingFrameHeight = 4;
// Width of the painted outer border: three one-pixel 3-D outlines.
constexpr int kBorderWidth = 3;
// The sunken edge below the caption bar spans three outlines, the first of
// which is drawn over the innermost border line.
constexpr int kSunkenEdgeWidth = 2;
// Resolution the diagram is laid out in; one logical unit is 1/96 inch.
constexpr int kDiagramDpi = 96;

// Dialog templates are laid out in dialog units: a horizontal unit is a
// quarter of the dialog font's average character width, a vertical unit an
// eighth of its height. These are the base units of the font the dialogs
// show (average width and height in pixels); every dialog computes its
// controls' pixels from them (dialogs/DialogUnits.h). The width is a pixel
// more than the font's letters average: the templates' labels were sized
// for a narrower font, and "Table Name:" must show whole in its 41 units.
constexpr int kDialogBaseUnitX = 8;
constexpr int kDialogBaseUnitY = 15;
// The templates are drawn for an 8-point dialog font; in the desktop's
// larger text their labels would not fit the widths the templates give them.
constexpr int kDialogFontPointSize = 8;

// The client area of a table window, as the painted frame leaves it.
constexpr int kClientLeft = kBorderWidth + kSunkenEdgeWidth;
constexpr int kClientTop = kBorderWidth + (kCaptionHeight - 1) + kSunkenEdgeWidth + 1;
constexpr int kClientRightInset = kBorderWidth + kSunkenEdgeWidth;
constexpr int kClientBottomInset = kBorderWidth + kSunkenEdgeWidth;

} // namespace Platform
