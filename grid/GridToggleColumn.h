#pragma once

#include "grid/GridColumn.h"

// A two-state column: editing a cell flips it between "1" and "0", and the
// cell shows one image for "1" and another for any other text (a cell never
// flipped holds the empty text). An image index of -1 shows nothing.
class CGridToggleColumn : public CGridColumn
{
public:
    CGridToggleColumn(CGridCtrl *grid, const QString &heading, int width, int imageOn, int imageOff);

    void StartEdit(int row) override;
    void DrawCell(QPainter &painter, int row, bool focused) override;

private:
    int m_imageOn;
    int m_imageOff;
};
