#pragma once

#include <QPoint>
#include <QScrollArea>

class CTableSource;
class CTableWnd;

// Where a row drag stands: a left press on a row arms it, the first move
// with the button held starts it, the release ends it.
enum RowDragState {
    NoRowDrag = 0,
    RowDragArmed = 1,
    RowDragging = 2,
};

// The scrolling surface that table windows live on, with the state that
// spans windows: the active table, the selected relationship and the row
// drag. Its content widget (the canvas) holds the table windows, at
// diagram coordinates; its viewport's coordinates are the client
// coordinates. The database view is one; table windows find theirs among
// their ancestors.
class CDiagramSurface : public QScrollArea
{
    Q_OBJECT

public:
    using QScrollArea::QScrollArea;

    // The widget the table windows live on; its coordinates are diagram
    // coordinates times the zoom.
    QWidget *Canvas() const { return m_canvas; }
    virtual CTableSource *Source() const = 0;
    // A table window's rows changed (its size may not have): its lines
    // follow.
    virtual void TableContentsChanged(CTableWnd *table) = 0;
    // Runs a design command on a table window; false when there is no such
    // command. The command may delete the window.
    virtual bool RunTableCommand(CTableWnd &table, int id) = 0;
    // Shows a table window created after the surface was filled, and
    // scrolls it into sight.
    virtual void ShowTable(CTableWnd *table) = 0;
    virtual void ScrollIntoSight(CTableWnd *table) = 0;
    // A foreign key was added or dropped: the relationships are read again
    // and the lines redrawn, then the parent table and the foreign table
    // (either may be null) show their rows read again.
    virtual void ReloadRelationship(CTableWnd *parent, CTableWnd *foreign) = 0;
    // A caption drag moved a table window; from is where it stood, in
    // diagram coordinates.
    virtual void TableMoved(CTableWnd *table, const QPoint &from)
    {
        (void)table;
        (void)from;
    }

    // The factor the diagram is shown at: canvas pixels per diagram unit.
    virtual double Zoom() const { return 1.0; }

    // A surface may keep far table windows hidden and draw them on its
    // canvas instead; such a window looks the same but takes no events.
    // DrawnOnCanvas tells whether a window is one of them; EnsureShown
    // makes it a window again before something interacts with it.
    virtual bool DrawnOnCanvas(const CTableWnd *table) const
    {
        (void)table;
        return false;
    }
    virtual void EnsureShown(CTableWnd *table) { (void)table; }

    // The surface a table window is shown on, or null.
    static CDiagramSurface *Of(const QWidget *table);

    // Cross-table state, read and written by the table windows.
    RowDragState m_dragState = NoRowDrag;
    int m_dropRow = -1;
    QPoint m_dragStart;
    QPoint m_dragPoint;
    CTableWnd *m_pActiveTable = nullptr;
    CTableWnd *m_pDropTable = nullptr;
    int m_selRelationship = -1;

protected:
    QWidget *m_canvas = nullptr;
};
