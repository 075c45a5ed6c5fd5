#pragma once

#include "diagram/DiagramSurface.h"
#include "view/LayoutHistory.h"

#include <QPoint>
#include <QPointer>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>

class CDoc;
class CPrintSettings;
class CRelationshipMap;
class CTableWnd;
struct CDbRelationship;
struct CRelationshipRoute;
class QPainter;
class QPaintDevice;
class QPrinter;

// The scrolling view of one document. Its content widget (the canvas) is
// the diagram, at least 10000 x 10000 diagram units and always large enough
// to scroll to every table window, shown at the zoom: canvas coordinates are
// the diagram coordinates times the zoom, and the table windows are the
// canvas's children at their scaled places. The viewport's coordinates are
// the view's client coordinates.
// The view owns the state that spans table windows: the active table, the
// selected relationship and the row drag.
class CDbView : public CDiagramSurface
{
    Q_OBJECT

public:
    static constexpr int kDiagramSize = 10000;
    // Room left beyond the farthest table window, so that it can be moved
    // further out.
    static constexpr int kDiagramMargin = 200;

    explicit CDbView(CDoc *doc, QWidget *parent = nullptr);
    ~CDbView() override;

    CDoc *GetDocument() const;
    CTableSource *Source() const override;
    QPoint ScrollPosition() const;

    // Creates and shows the document's table windows.
    void OnInitialUpdate();
    // Shows one table window created after the initial update.
    void ShowTable(CTableWnd *table) override;
    void TableContentsChanged(CTableWnd *table) override;
    bool RunTableCommand(CTableWnd &table, int id) override;
    // A table window leaves the diagram (dropped, or gone from the
    // catalog): it is neither active nor a drop target any more, the
    // document lets it go and it is hidden, while the focus stays in this
    // view. The caller deletes it.
    void RemoveTable(CTableWnd *table);
    // Reads the tables, their rows and the relationships again from the
    // catalog, keeping every window's place and the view mode: tables gone
    // from the database leave, new ones go into free space near the
    // visible area, overlapping none. A failure is shown and leaves the
    // diagram as it was; false then.
    bool Refresh();

    // Command routing: true when handled. CommandState tells whether a
    // command is available here and whether it carries a radio mark; it
    // returns false for commands the view does not know.
    bool OnCommand(int id);
    bool CommandState(int id, bool &enabled, bool &checked) const;

    // The view's drawing, the painter already mapped to diagram coordinates.
    // On screen it comes in two layers: the lines, and over them the drag
    // line and the page boundaries; of the lines and the boundaries only
    // what meets the exposed area (in diagram coordinates) is drawn, or all
    // of them without one. On a printed or previewed page or a picture:
    // every line, then the table windows themselves.
    void DrawRelationships(QPainter &painter, const QRect &exposed);
    // The canvas's two layers at the zoom: the painter and the exposed area
    // are in canvas coordinates (at 100 % those are diagram coordinates).
    void DrawCanvasRelationships(QPainter &painter, const QRect &exposed);
    void DrawScreenOverlay(QPainter &painter, const QRect &exposed);
    void DrawForPrint(QPainter &painter);
    void DrawRelationship(QPainter &painter, const CDbRelationship &relationship);
    // The route of a relationship in diagram coordinates; false when one of
    // its tables has no window in this view.
    bool RelationshipRoute(const CDbRelationship &relationship, CRelationshipRoute &route) const;
    // Hit-tests the relationships at a diagram point; the last one in list
    // order that matches, or -1. Only the lines near the point are looked
    // at.
    int HitTestRelationships(const QPoint &diagramPoint) const;
    // With culling off the screen draws every line whatever is exposed, as
    // printing does, and every table window is shown: for measuring and
    // checking the culled drawing.
    void SetCulling(bool on);

    // --- table windows near the visible area ---
    // Qt's cost for sibling widgets grows with their count on every scroll
    // step and repaint, so only the table windows that meet the visible
    // area and a margin around it are shown; the others stay hidden and
    // the canvas draws them as they would draw themselves. Far out, where
    // more than kMostWindows would be near, none is shown but the ones the
    // user works with (the active one, the drop target, the one last
    // pressed or pointed at).
    static constexpr int kMostWindows = 400;
    bool DrawnOnCanvas(const CTableWnd *table) const override;
    void EnsureShown(CTableWnd *table) override;
    // Shows and hides the table windows for the visible area as it is now.
    void ShowNearTables();
    // The topmost table the canvas draws at a canvas point, or null.
    CTableWnd *CanvasTableAt(const QPoint &canvasPoint) const;
    // Paints the tables the canvas draws that meet the exposed area (canvas
    // coordinates), in their stacking order.
    void DrawCanvasTables(QPainter &painter, const QRect &exposed);
    // Far out the canvas keeps a picture of its lines and one of the tables
    // it draws; these say when a picture is out of date. The lines' changes
    // when a route, the selection or the zoom changes; the tables' whenever
    // any of them would draw differently: place, size, stacking, name,
    // mark, colours, zoom. With culling off nothing is kept.
    // The lines of the tables the user works with (the active one, the one
    // pressed or dragged...) are left out of the lines' picture and drawn
    // on every paint, so that dragging a window far out does not make the
    // picture again at each step: DrawCanvasLines draws either part.
    bool Culling() const { return m_culling; }
    unsigned long long CanvasLinesVersion();
    unsigned long long CanvasTablesFingerprint() const;
    void DrawCanvasLines(QPainter &painter, const QRect &exposed, bool apart);

    void SetViewMode(int mode);

    // --- zoom (DbViewZoom.cpp) ---
    // The zoom as a factor, 0.1 to 2.0 in steps (Zoom to Fit may go further
    // out, so that a very large diagram still shows whole); table windows
    // and lines are shown at diagram coordinates times the zoom. SetZoom
    // keeps the point at the view's centre in place, ZoomAbout the point of
    // the viewport given.
    double Zoom() const override { return m_zoom; }
    void SetZoom(double zoom);
    void ZoomAbout(double zoom, const QPoint &clientPoint);
    void ZoomIn();
    void ZoomOut();
    void ZoomToFit();

    // --- arranging (DbViewArrange.cpp) ---
    // Places every table so that related tables stand near each other,
    // none overlapping; Arrange Selected does the same for the tables
    // picked with Ctrl+click, around where they stand.
    void ArrangeDiagram();
    void ArrangeSelected();
    // How many tables are picked for Arrange Selected.
    int PickedTableCount() const;

    // --- undo of layout (DbViewUndo.cpp) ---
    // What undo restores: every table window's place (diagram coordinates)
    // and the view mode.
    struct CLayout
    {
        int m_viewMode = 0;
        std::map<std::string, QPoint> m_places;
        bool operator==(const CLayout &other) const
        {
            return m_viewMode == other.m_viewMode && m_places == other.m_places;
        }
    };
    CLayout CurrentLayout() const;
    // Records a change of layout from `before` to now as one step, named
    // for the Edit menu ("Move" gives "Undo Move"); nothing when the layout
    // did not change.
    void RecordLayoutStep(const QString &name, const CLayout &before);
    // A caption drag moved a table window from a place (diagram
    // coordinates): one step to undo.
    void TableMoved(CTableWnd *table, const QPoint &from) override;
    bool CanUndoLayout() const;
    bool CanRedoLayout() const;
    void UndoLayout();
    void RedoLayout();
    // The Edit menu's text for Undo and Redo, naming the step ("Undo
    // Move"); false for other commands.
    bool CommandText(int id, QString &text) const;

signals:
    // The zoom changed; in whole percent.
    void ZoomChanged(int percent);

public:
    void ActivateNext(bool forward);
    void ScrollIntoSight(CTableWnd *table) override;
    void DropSelectedRelationship();
    // After a foreign key was added or dropped: the relationship list is
    // read again and the lines redrawn, then the parent table and the
    // foreign table (either may be null) reload their rows and sizes.
    void ReloadRelationship(CTableWnd *parent, CTableWnd *foreign) override;
    // The background was pressed at a point of the viewport.
    void OnBackgroundPress(const QPoint &clientPoint, Qt::MouseButton button);
    // Maps one logical unit to 1/96 inch on the painter's device.
    static void ApplyDiagramMapping(QPainter &painter, const QPaintDevice &device);
    static void ApplyDiagramMapping(QPainter &painter, int dpiX, int dpiY);

    // Printing. The print settings are the application's current printer;
    // a view without them keeps settings of its own.
    void SetPrintSettings(CPrintSettings *settings) { m_printSettings = settings; }
    CPrintSettings &PrintSettings();
    // The current printer's printable page in whole inches; (0, 0) when
    // it has none.
    QSize GetPrinterPageInches();
    // Measures the current printer's page again for the page boundaries.
    void MeasurePrinterPage();
    // Prints the whole diagram on the printer; a job that is refused or
    // fails is reported in a message box. False then.
    bool PrintDiagram(QPrinter &printer);

    int m_pageInches[2] = {0, 0};
    int m_pagesAcross = 0;
    int m_pagesDown = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Ctrl+wheel zooms a step about the mouse point, also over a table
    // window (the view filters its events); the wheel alone scrolls.
    void wheelEvent(QWheelEvent *event) override;
    // Keeps the lines and the scrollable area in step with the table
    // windows on the canvas.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowBackgroundMenu(const QPoint &globalPos);
    // A Ctrl+wheel turn at a point of the viewport, in eighths of a degree.
    void ZoomByWheel(int angleDelta, const QPoint &clientPoint);
    void ForwardToActiveTable(int id);
    bool ShowCreateTableDialog();
    void DrawPageBoundaries(QPainter &painter, const QRect &area) const;
    void DrawRelationshipsIn(QPainter &painter, const QRect &exposed);
    void DrawEveryRelationship(QPainter &painter);
    bool PullIntoReach(CTableWnd *table);
    // Grows the scrollable area to reach the margin past the rectangle (in
    // diagram coordinates).
    void CoverTable(const QRect &diagramRect);
    // The scrollable area for every table window on the canvas.
    void FitCanvasToTables();
    void PaintTablesForPrint(QPainter &painter);
    bool HasWindow(const CTableWnd *table) const;
    bool PrintToPdfFile(const QPrinter &printer);
    void OnFilePrint(bool withDialog);
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    void ReportPrintFailure(const QString &text);
    void ReportRefreshFailure(int code);
    // The table windows near the visible area are worked out again once
    // the current event is done: windows moved or resized.
    void ScheduleShowNear();
    // Qt holds back the move and resize events of a hidden widget until it
    // is shown; the lines and the reach of the canvas need them now. Our
    // own moves send them at once (CTableWnd::MoveTo); this catches a
    // window moved as a plain widget.
    void DeliverPendingMoves() const;
    void PlaceTable(CTableWnd *table);
    std::array<const CTableWnd *, 5> KeptShown() const;
    void SetShown(CTableWnd *table, bool shown);

    // The document may be destroyed before the view; the view then has no
    // tables to let go of.
    QPointer<CDoc> m_pDoc;
    CPrintSettings *m_printSettings = nullptr;
    std::unique_ptr<CPrintSettings> m_ownPrintSettings;
    std::unique_ptr<CRelationshipMap> m_lines;
    bool m_culling = true;
    double m_zoom = 1.0;
    // Wheel steps come in eighths of a degree; a notch is 120. Touchpads
    // send fractions of a notch, which add up to a zoom step.
    int m_wheelZoomDelta = 0;
    // True while the table windows are given a new zoom.
    bool m_rescaling = false;
    CLayoutHistory<CLayout> m_layoutHistory;
    // The table windows kept hidden and drawn by the canvas.
    std::unordered_set<const CTableWnd *> m_drawnOnCanvas;
    QPointer<CTableWnd> m_touched;
    bool m_showNearPending = false;
    // True while windows are shown or hidden for the visible area: that
    // changes nothing of the lines.
    bool m_showingNear = false;
};
