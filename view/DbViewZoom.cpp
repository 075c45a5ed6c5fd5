#include "view/DbView.h"

#include "diagram/RelationshipGeometry.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"

#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The zoom steps in percent, as Ctrl+plus and Ctrl+minus walk them.
constexpr std::array<int, 15> kSteps = {10, 15, 20, 25, 33, 50, 67, 75, 90, 100, 110, 125, 150, 175, 200};
constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 2.0;
// Zoom to Fit may go below the smallest step so that a very large diagram
// still shows whole (2,000 tables in the automatic layout's five columns
// need half a percent), but not to nothing.
constexpr double kMinFitZoom = 0.005;
// Room left around the diagram when it is fitted, in pixels.
constexpr int kFitPadding = 10;
// A wheel notch, in the eighths of a degree the wheel reports.
constexpr int kWheelNotch = 120;

double StepAbove(double zoom)
{
    for (int step : kSteps)
        if (step > std::round(zoom * 100))
            return step / 100.0;
    return kMaxZoom;
}

double StepBelow(double zoom)
{
    for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it)
        if (*it < std::round(zoom * 100))
            return *it / 100.0;
    return std::min(zoom, kMinZoom);
}

} // namespace

void CDbView::SetZoom(double zoom)
{
    ZoomAbout(std::clamp(zoom, kMinZoom, kMaxZoom), viewport()->rect().center());
}

// The diagram point under the client point stays under it: the scroll
// position follows the canvas as it grows or shrinks.
void CDbView::ZoomAbout(double zoom, const QPoint &clientPoint)
{
    if (zoom == m_zoom || zoom <= 0)
        return;
    const QPointF diagramPoint = QPointF(clientPoint + ScrollPosition()) / m_zoom;
    m_zoom = zoom;
    // The canvas is resized first, to the diagram's extent at the new zoom.
    FitCanvasToTables();
    m_rescaling = true;
    for (int i = 0; m_pDoc && i < m_pDoc->TableCount(); ++i)
        if (CTableWnd *table = m_pDoc->GetTable(i); table->parentWidget() == m_canvas)
            table->SetZoom(zoom);
    m_rescaling = false;
    const QPointF scroll = diagramPoint * zoom - QPointF(clientPoint);
    horizontalScrollBar()->setValue(qRound(scroll.x()));
    verticalScrollBar()->setValue(qRound(scroll.y()));
    ShowNearTables();
    m_canvas->update();
    emit ZoomChanged(qRound(zoom * 100));
}

void CDbView::ZoomIn() { SetZoom(StepAbove(m_zoom)); }

void CDbView::ZoomOut() { SetZoom(StepBelow(m_zoom)); }

// The zoom at which every table window fits in the viewport, no larger
// than the largest step, with the diagram's top left at the viewport's.
void CDbView::ZoomToFit()
{
    QRect extent;
    for (int i = 0; m_pDoc && i < m_pDoc->TableCount(); ++i)
        if (const CTableWnd *table = m_pDoc->GetTable(i); table->parentWidget() == m_canvas)
            extent |= table->DiagramRect();
    if (extent.isEmpty())
        return;
    // A line that joins a table to itself loops out beside it.
    using RelationshipGeometry::kStub;
    extent.adjust(-kStub, -kStub, kStub, kStub);
    const QSize room = viewport()->size() - QSize(2 * kFitPadding, 2 * kFitPadding);
    const double fit = std::min(double(room.width()) / extent.width(), double(room.height()) / extent.height());
    // Whole tenths of a percent, rounded down, so that the fit is shown
    // as it is meant and never a pixel too large.
    const double zoom = std::clamp(std::floor(fit * 1000) / 1000, kMinFitZoom, kMaxZoom);
    ZoomAbout(zoom, QPoint());
    horizontalScrollBar()->setValue(int(std::floor(extent.left() * zoom)) - kFitPadding);
    verticalScrollBar()->setValue(int(std::floor(extent.top() * zoom)) - kFitPadding);
}

void CDbView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        m_wheelZoomDelta = 0;
        CDiagramSurface::wheelEvent(event);
        return;
    }
    event->accept();
    ZoomByWheel(event->angleDelta().y(), event->position().toPoint());
}

void CDbView::ZoomByWheel(int angleDelta, const QPoint &clientPoint)
{
    m_wheelZoomDelta += angleDelta;
    while (m_wheelZoomDelta >= kWheelNotch) {
        m_wheelZoomDelta -= kWheelNotch;
        ZoomAbout(StepAbove(m_zoom), clientPoint);
    }
    while (m_wheelZoomDelta <= -kWheelNotch) {
        m_wheelZoomDelta += kWheelNotch;
        ZoomAbout(StepBelow(m_zoom), clientPoint);
    }
}
