#pragma once

#include <QHeaderView>

#include <vector>

class CGridCtrl;
class QAbstractItemModel;

// The grid's header. It keeps the columns exactly as wide as the grid's
// client area: a column that grows takes the space from the columns to its
// right (none below the minimum width), and space a column gives up goes to
// the last column. Programmatic width changes follow the same rules as
// divider drags.
class CGridHeaderCtrl : public QHeaderView
{
    Q_OBJECT

public:
    CGridHeaderCtrl(CGridCtrl *grid, QAbstractItemModel *model, QWidget *parent);

    // Gives a new column its width as the dialog asked for it, outside the
    // rules.
    void SetInitialWidth(int column, int width);
    // Widens the last column over any free space at the right, as after the
    // grid's client area has grown.
    void FillClientWidth();

private:
    void OnSectionResized(int column, int oldWidth, int newWidth);
    std::vector<int> Widths() const;
    void ApplyWidths(const std::vector<int> &widths);

    CGridCtrl *m_grid = nullptr;
    // Set while the header itself changes widths, so that its own changes
    // are not taken for the user's.
    bool m_guard = false;
};
