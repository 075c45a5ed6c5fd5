#include "diagram/TableWnd.h"

#include "diagram/CommandMenu.h"
#include "diagram/DropMark.h"
#include "diagram/PlatformMetrics.h"
#include "diagram/SharedResources.h"
#include "diagram/TableMetrics.h"
#include "res/Resource.h"
#include "diagram/DiagramSurface.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

#include <algorithm>

namespace {

void RepaintView(CDiagramSurface *view)
{
    view->viewport()->update();
    view->Canvas()->update();
}

// The table window at a point of the view's client area (its viewport):
// the topmost visible one of the canvas's children that contains the point,
// also one the surface draws on its canvas, which is then shown so that it
// can carry the drop mark. Widget geometry is what is drawn on the canvas,
// whatever the zoom. Null over the background; outside is set when the
// point lies outside the client area altogether.
CTableWnd *TableAt(CDiagramSurface *view, const QPoint &clientPoint, bool &outside)
{
    outside = !view->viewport()->rect().contains(clientPoint);
    if (outside)
        return nullptr;
    QWidget *canvas = view->Canvas();
    const QPoint canvasPoint = canvas->mapFrom(view->viewport(), clientPoint);
    const QObjectList &children = canvas->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        auto *table = qobject_cast<CTableWnd *>(*it);
        if (!table || !table->geometry().contains(canvasPoint))
            continue;
        if (table->isVisible())
            return table;
        if (view->DrawnOnCanvas(table)) {
            view->EnsureShown(table);
            return table;
        }
    }
    return nullptr;
}

void RemoveDropMark(CDiagramSurface *view)
{
    if (view->m_pDropTable)
        CDropMark::Remove(view->m_pDropTable);
    view->m_pDropTable = nullptr;
}

// The previous row that is not an index segment; the first row stays.
int RowAbove(const CTableWnd &table, int row)
{
    if (row == 0)
        return row;
    int above = row - 1;
    while (above > 0 && table.GetItem(above) && table.GetItem(above)->m_kind == IndexSegment)
        --above;
    return above;
}

// The next row that is not an index segment; the row stays when there is
// none.
int RowBelow(const CTableWnd &table, int row)
{
    int below = row + 1;
    while (table.GetItem(below) && table.GetItem(below)->m_kind == IndexSegment)
        ++below;
    return below < table.ItemCount() ? below : row;
}

} // namespace

// --- activation ---

void CTableWnd::ActivateFrame()
{
    CDiagramSurface *view = Surface();
    if (!view)
        return;
    // The active window takes the keys and shows the selection: it is a
    // window of its own, wherever it stands.
    view->EnsureShown(this);
    CTableWnd *old = view->m_pActiveTable;
    view->m_pActiveTable = this;
    if (old && old != this)
        old->update();
    // A selected relationship was drawn wide; it goes back to a thin line.
    if (view->m_selRelationship != -1)
        RepaintView(view);
    view->m_selRelationship = -1;
    if (old != this)
        ClearSelection();
    update();
}

void CTableWnd::DeactivateFrame() { update(); }

// --- mouse ---

void CTableWnd::mousePressEvent(QMouseEvent *event)
{
    CDiagramSurface *view = Surface();
    // While a row is dragged this window holds the mouse; other buttons
    // must not start anything on top of the drag.
    if (view && view->m_dragState == RowDragging)
        return;
    const QPoint pos = ToLocal(event->position());
    const bool inClient = !InCaption(pos);
    if (!inClient)
        ClearSelection();
    ActivateFrame();
    raise();

    if (event->button() == Qt::RightButton) {
        if (inClient)
            SelectRowForMenu(HitRow(pos.y() - ClientRect().top()));
        ShowContextMenu(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (!inClient) {
        if (event->modifiers() & Qt::ControlModifier) {
            // Ctrl+click picks the table for Arrange Selected, or lets it go.
            m_picked = !m_picked;
            update();
            return;
        }
        m_movingByCaption = true;
        m_captionGrab = event->globalPosition().toPoint();
        m_moveStart = GetPosition();
        return;
    }

    if (view) {
        view->m_dragState = RowDragArmed;
        // Until the button comes up only Escape acts (see eventFilter).
        qApp->installEventFilter(this);
    }
    const int row = HitRow(pos.y() - ClientRect().top());
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers & Qt::ControlModifier) {
        // Ctrl adds a row and never removes one; Ctrl+Space toggles.
        InvalidateRow(m_focus);
        if (CTableItem *item = GetItem(row))
            item->m_selected = true;
        InvalidateRow(row);
    } else if (modifiers & Qt::ShiftModifier) {
        SelectRange(m_anchor, row);
    } else {
        SelectRange(row, row);
        m_anchor = row;
    }
    m_focus = row;
    if (view)
        view->m_dragStart = view->viewport()->mapFromGlobal(event->globalPosition().toPoint());
}

// The menu's commands act on the selection, so they must act on the row
// the user pointed at: a row that is not selected becomes the selection
// alone. A selected row keeps the selection as it is, and a press below
// the rows changes nothing.
void CTableWnd::SelectRowForMenu(int row)
{
    const CTableItem *item = GetItem(row);
    if (!item || item->m_selected)
        return;
    InvalidateRow(m_focus);
    SelectRange(row, row);
    m_anchor = row;
    m_focus = row;
}

// The window follows the mouse by its movement since the press, divided by
// the zoom: the place is kept in diagram coordinates. Enough of it stays
// on the canvas to be dragged back.
void CTableWnd::MoveByCaption(const QPoint &mouseDelta)
{
    QPoint topLeft = m_moveStart + QPoint(qRound(mouseDelta.x() / m_zoom), qRound(mouseDelta.y() / m_zoom));
    if (const QWidget *parent = parentWidget()) {
        const int right = qRound(parent->width() / m_zoom);
        const int bottom = qRound(parent->height() / m_zoom);
        topLeft.setX(std::clamp(topLeft.x(), TableMetrics::kMinimumVisibleWidth - DiagramRect().width(),
                                right - TableMetrics::kMinimumVisibleWidth));
        topLeft.setY(std::clamp(topLeft.y(), 0, bottom - Platform::kCaptionHeight));
    }
    MoveTo(topLeft);
}

void CTableWnd::mouseMoveEvent(QMouseEvent *event)
{
    if (m_movingByCaption) {
        MoveByCaption(event->globalPosition().toPoint() - m_captionGrab);
        return;
    }

    CDiagramSurface *view = Surface();
    if (!view)
        return;
    if (view->m_dragState == RowDragArmed && (event->buttons() & Qt::LeftButton)) {
        // No distance threshold: the first move with the button held drags.
        view->m_dragState = RowDragging;
        grabMouse(Shared::DragCursor());
        return;
    }
    if (view->m_dragState != 2)
        return;

    const QPoint global = event->globalPosition().toPoint();
    const QPoint clientPoint = view->viewport()->mapFromGlobal(global);
    view->m_dragPoint = clientPoint;
    bool outside = false;
    CTableWnd *target = TableAt(view, clientPoint, outside);
    if (!target) {
        RemoveDropMark(view);
    } else if (target != this) {
        // Over the source itself a target chosen earlier stays marked.
        const QPoint targetPoint = target->ToLocal(target->mapFromGlobal(event->globalPosition()));
        const int row = target->HitRow(targetPoint.y() - target->ClientRect().top());
        if (row >= 0 && !(row == view->m_dropRow && target == view->m_pDropTable)) {
            RemoveDropMark(view);
            view->m_dropRow = row;
            view->m_pDropTable = target;
            CDropMark::Show(target, row);
        }
    }
    RepaintView(view);
}

void CTableWnd::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool moved = m_movingByCaption && GetPosition() != m_moveStart;
    m_movingByCaption = false;
    qApp->removeEventFilter(this);
    CDiagramSurface *view = Surface();
    if (!view)
        return;
    if (moved)
        view->TableMoved(this, m_moveStart);
    if (view->m_dragState == RowDragging) {
        releaseMouse();
        view->m_dragState = NoRowDrag;
        if (QPointer<CTableWnd> target = view->m_pDropTable) {
            // The mark stays on the target while the dialog is open.
            OnCommand(Cmd::CreateForeignKey);
            if (target) {
                CDropMark::Remove(target);
                target->update();
            }
            view->m_pDropTable = nullptr;
        }
        view->m_dropRow = -1;
        RepaintView(view);
    }
    view->m_dragState = NoRowDrag;
}

// A double-click edits what it meets: the caption the table, an index
// header or one of its segments the index, a trigger row the trigger. The
// press before it has made that row the current one.
void CTableWnd::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = ToLocal(event->position());
    if (InCaption(pos)) {
        OnCommand(Cmd::EditTable);
        return;
    }
    if (RowsHidden())
        return;
    const CTableItem *item = GetItem(HitRow(pos.y() - ClientRect().top()));
    if (item && item->IsIndexHeader())
        OnCommand(Cmd::EditIndex);
    else if (item && item->m_kind == Trigger)
        OnCommand(Cmd::EditTrigger);
}

// While a row is armed or dragged, keys neither move the selection nor
// reach the menus' shortcuts (Delete would drop, Enter would open the
// menu): only Escape acts, and it cancels the drag.
bool CTableWnd::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return QWidget::eventFilter(watched, event);
    event->accept();
    if (type == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        CancelDrag();
    return true;
}

void CTableWnd::CancelDrag()
{
    qApp->removeEventFilter(this);
    CDiagramSurface *view = Surface();
    if (!view)
        return;
    // Releasing the mouse also gives back the drag cursor.
    if (view->m_dragState == RowDragging)
        releaseMouse();
    view->m_dragState = NoRowDrag;
    RemoveDropMark(view);
    view->m_dropRow = -1;
    RepaintView(view);
}

void CTableWnd::contextMenuEvent(QContextMenuEvent *event)
{
    // A right press has already opened the menu; the menu key opens it at
    // the current row, as Enter does.
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard)
        ShowContextMenu(FocusMenuPoint());
}

// Where the keyboard opens the context menu: at the right end of the
// current row, or below the caption while the rows are not shown.
QPoint CTableWnd::FocusMenuPoint() const
{
    if (RowsHidden())
        return mapToGlobal(QPoint(width() - 1, height() - 1));
    return mapToGlobal(ToWidget(QRect(ClientRect().topLeft() + GetRowRect(m_focus).topRight(), QSize(1, 1)))
                           .topLeft());
}

void CTableWnd::ShowContextMenu(const QPoint &globalPos)
{
    QMenu menu(this);
    AddCommandEntries(menu, {Cmd::EditTable, 0, Cmd::CreateIndex, Cmd::AddColumn, Cmd::CreateTrigger, 0,
                             Cmd::ShowSql, 0, Cmd::Drop});
    // The command may drop this very table: nothing of this window is
    // touched after it runs.
    if (QAction *chosen = menu.exec(globalPos))
        OnCommand(chosen->data().toInt());
}

// --- keyboard ---

void CTableWnd::keyPressEvent(QKeyEvent *event)
{
    // Keys reach the active table window; the view forwards them there.
    CDiagramSurface *view = Surface();
    if (view && view->m_pActiveTable != this) {
        QWidget::keyPressEvent(event);
        return;
    }
    HandleKey(event);
    if (!event->isAccepted())
        QWidget::keyPressEvent(event);
}

void CTableWnd::HandleKey(QKeyEvent *event)
{
    const int current = m_focus;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const int key = event->key();
    int next = current;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        ShowContextMenu(FocusMenuPoint());
        return;
    }
    // Rows that are not drawn cannot be chosen: the row keys select nothing.
    if (RowsHidden()) {
        event->setAccepted((key == Qt::Key_Space && ctrl) || key == Qt::Key_Up
                           || key == Qt::Key_Down);
        return;
    }
    switch (key) {
    case Qt::Key_Space:
        if (!ctrl) {
            event->ignore();
            return;
        }
        event->accept();
        if (CTableItem *item = GetItem(current)) {
            item->m_selected = !item->m_selected;
            InvalidateRow(current);
        }
        return;
    case Qt::Key_Up:
        next = RowAbove(*this, current);
        break;
    case Qt::Key_Down:
        next = RowBelow(*this, current);
        break;
    default:
        event->ignore();
        return;
    }
    event->accept();
    if (next == current)
        return;
    InvalidateRow(current);
    if (!ctrl) {
        if (shift) {
            SelectRange(m_anchor, next);
        } else {
            // With nothing selected the first Up or Down selects the
            // current row instead of moving; below the last row there is
            // nothing to select there, so the focus moves.
            if (FirstSelected() == -1 && GetItem(current))
                next = current;
            SelectRange(next, next);
            m_anchor = next;
        }
    }
    InvalidateRow(next);
    m_focus = next;
}
