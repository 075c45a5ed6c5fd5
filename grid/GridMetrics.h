#pragma once

// The fixed geometry of the editable grid and its editors.
namespace Grid {

// Every grid row, whatever the font.
constexpr int kRowHeight = 16;
// The tallest text a cell shows whole: a cell is two pixels lower than its
// row, and its text starts one pixel below the cell's top.
constexpr int kTextHeight = kRowHeight - 3;
// No column can be dragged narrower than this.
constexpr int kMinColumnWidth = 25;
// Height of the drop-down list opened below a list cell.
constexpr int kDropDownHeight = 90;
// The drop-down button image stands this far left of a focused list cell's
// right edge.
constexpr int kDropButtonInset = 15;
// Side of every image of the shared grid image list.
constexpr int kImageSize = 16;

// The pictures of the shared grid image list ("IDB_GridImages"), by index.
enum ImageIndex {
    kNoImage = -1,
    kCheckMark = 0,
    kDropButton = 1,
    kDropButtonPressed = 2,
    kArrowUp = 3,
    kArrowDown = 4,
    kImageCount = 5,
};

} // namespace Grid
