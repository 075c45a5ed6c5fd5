#pragma once

#include "diagram/TableItem.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class CDoc;
class CDbView;
class QPainter;

// One table of the diagram: at once the table's schema (an ordered list of
// rows: its columns, its indexes with their segments, its triggers) and the
// small captioned child window of the database view that shows them. The
// window paints its whole frame itself; its client area is the part inside
// the painted border and caption (ClientRect).
class CTableWnd : public QWidget
{
    Q_OBJECT

public:
    CTableWnd(CDoc *doc, const std::string &name);
    ~CTableWnd() override;

    // --- schema model ---
    int LoadSchema();
    void ClearItems();
    CTableItem *GetItem(int index) const;
    int ItemCount() const { return static_cast<int>(m_items.size()); }
    void AppendItem(std::unique_ptr<CTableItem> item);
    // Removes and deletes the row at index; later rows move up.
    void RemoveItem(int index);
    // Takes over the rows another table window read (the other gets these
    // rows); nothing stays selected and the current row stays within the
    // new rows.
    void TakeRowsFrom(CTableWnd &other);
    const std::string &Name() const { return m_name; }
    CDoc *Document() const { return m_pDoc; }

    // --- geometry ---
    void FitToContents();
    // The window's top-left corner, frame included, in diagram coordinates.
    QPoint GetPosition() const;
    // The left edge of the client area at the top of the named index's
    // header row, in diagram coordinates.
    QPoint GetIndexAnchor(const std::string &indexName) const;
    // The client area in window coordinates.
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

    // --- activation, as the view and the mouse drive it ---
    void ActivateFrame();
    void DeactivateFrame();
    void HandleKey(QKeyEvent *event);
    // Ends a row drag without a drop: capture, cursor and drop mark go.
    void CancelDrag();

    // --- commands ---
    // Runs a design command of the table window; false when it has none.
    bool OnCommand(int id);
    void DropSelected();
    void DropColumns();
    void DropIndexes();
    void DropTriggers();
    void DropTable();
    // The context menu at a global point.
    void ShowContextMenu(const QPoint &globalPos);

    int m_anchor = 0;
    std::string m_name;
    CDoc *m_pDoc = nullptr;
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
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    CDbView *View() const;
    int LoadColumns();
    int LoadIndexes();
    int LoadTriggers();
    void InvalidateRow(int index);
    void SelectRowForMenu(int row);
    QPoint FocusMenuPoint() const;
    void ApplyFocusRule();
    bool InCaption(const QPoint &pos) const;

    std::vector<std::unique_ptr<CTableItem>> m_items;
    // Caption drag state: the press point while the user moves the window.
    bool m_movingByCaption = false;
    QPoint m_captionGrab;
};
