#pragma once

#include "grid/GridNotification.h"

#include <QAbstractScrollArea>

#include <functional>
#include <memory>
#include <vector>

class CGridColumn;
class CGridHeaderCtrl;
class CGridImageList;
class QStandardItemModel;

// The spreadsheet-like list the design dialogs collect their input in: a
// header row and fixed 16-pixel rows of text cells, all painted here, with
// a current cell that the arrow keys, Tab and the mouse move and that a key press
// or a second click edits through the column object that owns the column
// (CGridEditColumn, CGridListColumn, CGridToggleColumn).
//
// "Client coordinates" are the viewport's: the header lies across their top
// and the first visible row starts right below it. Rows and columns are only
// ever added. Every value is text; out-of-range rows and columns are
// ignored by every operation.
//
// A dialog answers GN_ISCELLLOCKED through SetNotifyHandler, and calls
// CommitEdit before it reads the cells, so that a value still being typed
// is not lost.
class CGridCtrl : public QAbstractScrollArea
{
    Q_OBJECT

public:
    using NotifyHandler = std::function<int(const CGridNotification &)>;

    struct Cell
    {
        int row = -1;
        int column = -1;
        bool IsValid() const { return row >= 0 && column >= 0; }
        bool operator==(const Cell &other) const { return row == other.row && column == other.column; }
    };

    explicit CGridCtrl(QWidget *parent = nullptr);
    ~CGridCtrl() override;

    // Set-up. Columns add themselves through their constructors, which call
    // AddColumn; it returns the new column's index.
    int AddColumn(CGridColumn *column, const QString &heading, int width);
    // Fills the visible height with empty rows and trims the grid's height
    // to whole rows; called once, after the columns and any rows are added.
    void InitRows();
    // Inserts a row at index row (at the end when row lies beyond it) whose
    // first cell holds text.
    void InsertRow(int row, const QString &text = QString());
    // The header stops taking the mouse: no column can be resized.
    void DisableHeader();
    void SetNotifyHandler(NotifyHandler handler) { m_notify = std::move(handler); }

    // Cells.
    int GetItemCount() const;
    QString GetItemText(int row, int column) const;
    void SetItemText(int row, int column, const QString &text);
    // Closes any open editor, its value written into its cell first.
    void CommitEdit();

    // Columns.
    int GetColumnCount() const;
    int GetColumnWidth(int column) const;
    // Goes through the same rules as a drag of the column's divider.
    void SetColumnWidth(int column, int width);
    int GetTotalColumnWidth() const;
    CGridHeaderCtrl *GetHeader() const { return m_header; }

    // Geometry, in client coordinates.
    QRect GetClientRect() const;
    int GetScrollBarWidth() const;
    QRect GetCellRect(int row, int column) const;
    Cell HitTestCell(const QPoint &point) const;
    void InvalidateCell(int row, int column);
    void InvalidateRow(int row);

    // Editing.
    bool IsCellLocked(int row, int column) const;
    bool BeginEdit(int row, int column);
    Cell GetCurrentCell() const { return {m_row, m_column}; }
    // Gives the grid the keyboard focus; any open editor closes first, its
    // value in its cell.
    void TakeFocus();

    const CGridImageList *Images() const { return m_images; }

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Tab and Shift+Tab go from cell to cell and leave the grid at its ends.
    bool focusNextPrevChild(bool next) override;

private:
    friend class CGridColumn;

    bool IsValidCell(int row, int column) const;
    int HeaderHeight() const;
    int TopRow() const;
    int ItemTop(int row) const;
    int VisibleRowCount() const;
    void UpdateScrollRange();
    void LayoutHeader();
    void FitFontToRows();
    void ClearFocusFlag() { m_focus = false; }

    // Keyboard and mouse.
    void MoveByArrow(int key);
    void MoveAcross(int step);
    void MoveDown(int step);
    void ScrollToRow(int row);
    void MakeCurrent(const Cell &cell);
    // The next (or previous) unlocked cell in reading order after the
    // current one; invalid at the grid's end (or start).
    Cell NextUnlockedCell(bool next) const;
    // Tab or Shift+Tab in the grid or in one of its editors: the next or
    // previous unlocked cell becomes current, or, past the grid's ends, the
    // focus goes on along the dialog's tab order. True when the focus moved.
    bool TabToCell(bool next);

    // Painting.
    void PaintRow(QPainter &painter, int row);

    bool m_focus = false;
    int m_row = 0;
    int m_column = 0;
    std::vector<std::unique_ptr<CGridColumn>> m_columns;
    CGridHeaderCtrl *m_header = nullptr;
    QStandardItemModel *m_model = nullptr;
    CGridImageList *m_images = nullptr;
    NotifyHandler m_notify;
};
