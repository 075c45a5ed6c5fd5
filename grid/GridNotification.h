#pragma once

class CGridCtrl;

// The question a grid puts to the dialog that hosts it: is the cell at
// (item, subItem) locked? A nonzero answer means locked. It is the only
// notification a grid sends.
constexpr int GN_ISCELLLOCKED = 1000;

struct CGridNotification
{
    CGridCtrl *grid = nullptr;
    int code = 0;
    int item = 0;    // row
    int subItem = 0; // column
};
