#include "grid/GridColumn.h"
#include "grid/GridCtrl.h"
#include "grid/GridMetrics.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace {

// Keys that keep their meaning for the dialog. Tab and Shift+Tab move
// between cells (focusNextPrevChild) and come here only with Ctrl or Alt.
bool IsDialogKey(int key)
{
    return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return || key == Qt::Key_Enter
           || key == Qt::Key_Escape;
}

// A modifier pressed on its own edits nothing: Shift on the way to Shift+Tab
// must not flip a toggle cell.
bool IsModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    default:
        return false;
    }
}

bool IsArrowKey(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

} // namespace

// Typing on a cell starts editing it with that key; the arrows only move.
void CGridCtrl::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (GetColumnCount() < 2 || IsDialogKey(key) || IsModifierKey(key)) {
        event->ignore();
        return;
    }
    if (event->modifiers() & Qt::AltModifier) {
        // Alt combinations belong to the dialog, except Alt+Down, which edits.
        if (key == Qt::Key_Down)
            BeginEdit(m_row, m_column);
        else
            event->ignore();
        return;
    }
    if (IsArrowKey(key))
        MoveByArrow(key);
    else if (BeginEdit(m_row, m_column))
        m_columns[m_column]->ForwardKey(*event);
}

void CGridCtrl::MoveByArrow(int key)
{
    if (!IsValidCell(m_row, m_column))
        return;
    switch (key) {
    case Qt::Key_Left:
        MoveAcross(-1);
        break;
    case Qt::Key_Right:
        MoveAcross(1);
        break;
    case Qt::Key_Up:
        MoveDown(-1);
        break;
    case Qt::Key_Down:
        MoveDown(1);
        break;
    }
}

// Sideways moves wrap around within the row and pass over locked cells;
// when every other cell of the row is locked the current cell stays.
void CGridCtrl::MoveAcross(int step)
{
    const int count = GetColumnCount();
    int column = m_column;
    for (int tried = 1; tried < count; ++tried) {
        column = (column + step + count) % count;
        if (!IsCellLocked(m_row, column)) {
            MakeCurrent({m_row, column});
            return;
        }
    }
}

// Up and down stop at the first and last rows and at a locked cell.
void CGridCtrl::MoveDown(int step)
{
    const int row = m_row + step;
    if (row < 0 || row >= GetItemCount() || IsCellLocked(row, m_column))
        return;
    ScrollToRow(row);
    MakeCurrent({row, m_column});
}

void CGridCtrl::ScrollToRow(int row)
{
    const int top = ItemTop(row);
    if (top + Grid::kRowHeight > GetClientRect().height())
        verticalScrollBar()->setValue(TopRow() + 1);
    else if (top < HeaderHeight())
        verticalScrollBar()->setValue(TopRow() - 1);
}

CGridCtrl::Cell CGridCtrl::NextUnlockedCell(bool next) const
{
    const int columns = GetColumnCount();
    const int step = next ? 1 : -1;
    for (int at = m_row * columns + m_column + step; at >= 0 && at < GetItemCount() * columns; at += step)
        if (!IsCellLocked(at / columns, at % columns))
            return {at / columns, at % columns};
    return {};
}

bool CGridCtrl::focusNextPrevChild(bool next)
{
    return TabToCell(next);
}

// Typing after Tab must start a new cell, not add to the one just left;
// and the grid does not trap the focus: past its ends Tab leaves it.
bool CGridCtrl::TabToCell(bool next)
{
    // From an editor the walk starts at the grid, its value in its cell.
    TakeFocus();
    const Cell cell = GetColumnCount() < 2 ? Cell() : NextUnlockedCell(next);
    if (!cell.IsValid())
        return QAbstractScrollArea::focusNextPrevChild(next);
    const int visible = std::max(1, VisibleRowCount());
    if (cell.row < TopRow())
        verticalScrollBar()->setValue(cell.row);
    else if (cell.row >= TopRow() + visible)
        verticalScrollBar()->setValue(cell.row - visible + 1);
    MakeCurrent(cell);
    return true;
}

void CGridCtrl::MakeCurrent(const Cell &cell)
{
    InvalidateCell(m_row, m_column);
    m_row = cell.row;
    m_column = cell.column;
    InvalidateCell(m_row, m_column);
}

// The first click on a grid without the focus only picks the cell; a click
// on the current cell of a focused grid edits it.
void CGridCtrl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const Cell cell = HitTestCell(event->position().toPoint());
    if (!hasFocus()) {
        if (cell.IsValid())
            MakeCurrent(cell);
        TakeFocus();
        return;
    }
    if (!cell.IsValid())
        return;
    if (cell == GetCurrentCell())
        BeginEdit(cell.row, cell.column);
    else
        MakeCurrent(cell);
}

void CGridCtrl::wheelEvent(QWheelEvent *event)
{
    if (verticalScrollBar()->isEnabled() && verticalScrollBar()->maximum() > 0)
        TakeFocus();
    QAbstractScrollArea::wheelEvent(event);
}

void CGridCtrl::focusInEvent(QFocusEvent *)
{
    m_focus = true;
    InvalidateCell(m_row, m_column);
}

void CGridCtrl::focusOutEvent(QFocusEvent *)
{
    m_focus = false;
    InvalidateCell(m_row, m_column);
}
