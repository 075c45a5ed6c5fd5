#pragma once

#include <QPoint>
#include <QScrollArea>

class CDoc;
class CTableWnd;
struct CDbRelationship;
class QPainter;
class QPaintDevice;

// The scrolling view of one document. Its content widget (the canvas) is
// the 10000 x 10000 pixel diagram: canvas coordinates are the diagram
// coordinates, and the table windows are the canvas's children at their
// positions. The viewport's coordinates are the view's client coordinates.
// The view owns the state that spans table windows: the active table, the
// selected relationship and the row drag.
class CDbView : public QScrollArea
{
    Q_OBJECT

public:
    static constexpr int kDiagramSize = 10000;

    explicit CDbView(CDoc *doc, QWidget *parent = nullptr);
    ~CDbView() override;

    CDoc *GetDocument() const { return m_pDoc; }
    // The widget the table windows live on; its coordinates are diagram
    // coordinates.
    QWidget *Canvas() const { return m_canvas; }
    QPoint ScrollPosition() const;

    // Creates and shows the document's table windows.
    void OnInitialUpdate();
    // Shows one table window created after the initial update.
    void ShowTable(CTableWnd *table);

    // Command routing: true when handled. CommandState tells whether a
    // command is available here and whether it carries a radio mark.
    bool OnCommand(int id);
    bool CommandState(int id, bool &enabled, bool &checked) const;

    // Draws lines, the drag line and (on screen) page boundaries.
    void DrawDiagram(QPainter &painter, bool printing);
    void DrawRelationship(QPainter &painter, const CDbRelationship &relationship);
    // Hit-tests every relationship at a diagram point; the last one that
    // matches, or -1.
    int HitTestRelationships(const QPoint &diagramPoint) const;

    void SetViewMode(int mode);
    void ActivateNext(bool forward);
    void ScrollIntoSight(CTableWnd *table);
    void DropSelectedRelationship();
    // The background was pressed at a point of the viewport.
    void OnBackgroundPress(const QPoint &clientPoint, Qt::MouseButton button);
    // Maps one logical unit to 1/96 inch on the painter's device.
    static void ApplyDiagramMapping(QPainter &painter, const QPaintDevice &device);

    // Cross-table state, read and written by the table windows.
    int m_dragState = 0;
    int m_dropRow = -1;
    QPoint m_dragStart;
    QPoint m_dragPoint;
    CTableWnd *m_pActiveTable = nullptr;
    int m_selRelationship = -1;
    int m_pageInches[2] = {0, 0};
    int m_pagesAcross = 0;
    int m_pagesDown = 0;
    CTableWnd *m_pDropTable = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    CDoc *m_pDoc = nullptr;
    QWidget *m_canvas = nullptr;
};
