#pragma once

#include "diagram/TableItem.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class CDiagramSurface;
class CTableSource;
struct CTableSchema;
class QPainter;

// One table of the diagram: the small captioned child window of the
// diagram surface that shows the table's schema from the model as an
// ordered list of rows (its columns, its indexes with their segments, its
// triggers), with what belongs to the window: its place, the selected rows
// and the current one. The window paints its whole frame itself; its
// client area is the part inside the painted border and caption
// (ClientRect).
class CTableWnd : public QWidget
{
    Q_OBJECT

public:
    CTableWnd(CTableSource *source, const std::string &name);
    ~CTableWnd() override;

    // --- rows, as the model gives them ---
    // Reads the table from the catalog into the model and shows it.
    int LoadSchema();
    // Shows the table's schema: the rows are made again from it. Rows that
    // are still there stay selected; the current row is the caller's to
    // place.
    void ShowSchema(const CTableSchema &schema);
    // Shows what the model holds for this table now (nothing when it holds
    // nothing), then fits the window to its rows and repaints it.
    void ShowModel();
    void ClearItems();
    CTableItem *GetItem(int index) const;
    int ItemCount() const { return static_cast<int>(m_items.size()); }
    void AppendItem(std::unique_ptr<CTableItem> item);
    const std::string &Name() const { return m_name; }
    CTableSource *Source() const { return m_source; }

    // --- geometry ---
    void FitToContents();
    // The window's top-left corner, frame included, in diagram coordinates.
    QPoint GetPosition() const;
    // The window's place and size, frame included, in diagram coordinates
    // (as drawn at 100 %, whatever the zoom).
    QRect DiagramRect() const;
    // Moves the window's top-left corner to a point of the diagram.
    void MoveTo(const QPoint &diagramPos);
    // The zoom the window is shown at: its widget geometry is its diagram
    // rectangle times the zoom, and it paints itself scaled by it.
    double Zoom() const { return m_zoom; }
    void SetZoom(double zoom);
    // A point of the widget (as events give them) in window coordinates of
    // the diagram, and a rectangle of those back on the widget, covering
    // every pixel it touches.
    QPoint ToLocal(const QPointF &widgetPoint) const;
    QRect ToWidget(const QRect &local) const;
    // The left edge of the client area at the top of the named index's
    // header row, in diagram coordinates.
    QPoint GetIndexAnchor(const std::string &indexName) const;
    // The client area in window coordinates (of the diagram, whatever the
    // zoom).
    QRect ClientRect() const;
    // The highlight rectangle of a row in client coordinates; an index
    // header's rectangle spans its segment rows.
    QRect GetRowRect(int index) const;
    // The row under a client y coordinate, moved up onto an index header
    // when it falls on a segment row.
    int HitRow(int y) const;

    // --- selection ---
    // True in the mode that shows only the caption: no row can be selected.
    bool RowsHidden() const;
    int FirstSelected() const;
    void SelectRange(int a, int b);
    void ClearSelection();

    // --- full names on hover ---
    // The text of the tooltip at a point of the window: a row's whole name
    // (with its description in the Attributes mode), or over the caption
    // the table's name and its counts of columns, indexes and triggers.
    // Empty where there is nothing to tell.
    QString ToolTipAt(const QPoint &pos) const;

    // --- drawing, on screen and on the printer ---
    void PaintClient(QPainter &painter, bool printing);
    void PaintFrame(QPainter &painter, bool printing);
    // The window as it shows itself on screen, at its zoom, the painter's
    // origin at its top-left corner; the caller clips to the window.
    void PaintOnScreen(QPainter &painter);
    // The window as printed and exported: its frame and then its clipped
    // client area at its place in the diagram, in diagram coordinates.
    void PaintForPrint(QPainter &painter);

    // --- activation, as the view and the mouse drive it ---
    void ActivateFrame();
    void DeactivateFrame();
    void HandleKey(QKeyEvent *event);
    // Ends a row drag without a drop: capture, cursor and drop mark go.
    void CancelDrag();

    // --- commands, which the surface runs ---
    // Runs a design command of the table window; false when it has none or
    // the window is not on a surface. The command may delete the window.
    bool OnCommand(int id);
    void DropSelected();
    void DropColumns();
    void DropIndexes();
    void DropTriggers();
    void DropTable();
    // After rows went: the current row moves up when it fell off the end.
    void ApplyFocusRule();
    // The context menu at a global point.
    void ShowContextMenu(const QPoint &globalPos);

    // Picked with Ctrl+click on the caption, for Arrange Selected.
    bool m_picked = false;
    int m_anchor = 0;
    std::string m_name;
    CTableSource *m_source = nullptr;
    int m_focus = 0;
    QPoint m_savedPos;
    QPoint m_drawOrigin;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    CDiagramSurface *Surface() const;
    void Resize(const QSize &diagramSize);
    void ApplyGeometry();
    void SyncDiagramRect() const;
    void PaintSimplified(QPainter &painter);
    void MoveByCaption(const QPoint &mouseDelta);
    int ViewMode() const;
    void InvalidateRow(int index);
    void SelectRowForMenu(int row);
    QPoint FocusMenuPoint() const;
    bool InCaption(const QPoint &pos) const;

    std::vector<std::unique_ptr<CTableItem>> m_items;
    // The window's place in diagram coordinates; the widget geometry is
    // derived from it. Code that moves the widget itself (at 100 % that is
    // the same thing) is followed: the rectangle is read back from the
    // geometry whenever the two no longer agree.
    mutable QRect m_diagramRect;
    double m_zoom = 1.0;
    bool m_applyingGeometry = false;
    bool m_zooming = false;
    // Caption drag state: the global press point while the user moves the
    // window.
    bool m_movingByCaption = false;
    QPoint m_captionGrab;
    QPoint m_moveStart;
};
