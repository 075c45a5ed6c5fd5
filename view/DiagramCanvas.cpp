#include "view/DiagramCanvas.h"

#include "view/DbView.h"

#include "diagram/TableWnd.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

#include <cstring>

namespace {

// Below this zoom the table windows show only a box and a caption, and the
// whole diagram is likely to be on the screen at once.
constexpr double kPicturesBelow = 0.5;
// The pictures are kept for a canvas of at most this many pixels (16 MB
// each); a larger one shows only a part of itself at a time.
constexpr qint64 kMostPicturePixels = 4 * 1024 * 1024;

} // namespace

CDiagramCanvas::CDiagramCanvas(CDbView *view) : m_view(view)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(CDbView::kDiagramSize, CDbView::kDiagramSize);
}

// The background and the relationship lines are drawn into an image of the
// exposed area, where the lines are written pixel by pixel, and the image
// is copied onto the canvas; the drag line and the page boundaries are
// drawn over it.
void CDiagramCanvas::paintEvent(QPaintEvent *event)
{
    const QRect exposed = event->rect();
    if (KeepsPictures()) {
        PaintFromPictures(exposed);
        return;
    }
    m_lines = CLayer();
    m_tables = CLayer();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(qCeil(exposed.width() * ratio), qCeil(exposed.height() * ratio));
    if (pixels.isEmpty())
        return;
    QImage background = BackgroundBuffer(pixels);
    background.setDevicePixelRatio(ratio);
    background.fill(Qt::white);
    {
        QPainter painter(&background);
        CDbView::ApplyDiagramMapping(painter, *this);
        painter.translate(-exposed.topLeft());
        m_view->DrawCanvasRelationships(painter, exposed);
    }
    {
        QPainter painter(this);
        painter.drawImage(exposed.topLeft(), background);
        CDbView::ApplyDiagramMapping(painter, *this);
        m_view->DrawScreenOverlay(painter, exposed);
    }
    // The hidden table windows lie over the lines and the overlay, as
    // shown ones would.
    QPainter painter(this);
    m_view->DrawCanvasTables(painter, exposed);
}

QSize CDiagramCanvas::PicturePixels() const
{
    const qreal ratio = devicePixelRatioF();
    return {qCeil(width() * ratio), qCeil(height() * ratio)};
}

bool CDiagramCanvas::KeepsPictures() const
{
    const QSize size = PicturePixels();
    const qint64 pixels = qint64(size.width()) * size.height();
    return m_view->Culling() && m_view->Zoom() < kPicturesBelow && pixels > 0
           && pixels <= kMostPicturePixels;
}

// The layers as the direct drawing paints them: the lines, over them the
// drag line and the page boundaries, over those the tables.
void CDiagramCanvas::PaintFromPictures(const QRect &area)
{
    const QRect exposed = area.intersected(rect());
    if (exposed.isEmpty())
        return;
    UpdateLinesPicture();
    UpdateTablesPicture();
    const qreal ratio = devicePixelRatioF();
    const QRectF source(QPointF(exposed.topLeft()) * ratio, QSizeF(exposed.size()) * ratio);
    // The lines the picture leaves out are drawn into a copy of its exposed
    // part, as the direct drawing draws every line into one image.
    const QRect pixels = source.toAlignedRect().intersected(m_lines.image.rect());
    QImage lines = BackgroundBuffer(pixels.size());
    for (int y = 0; y < pixels.height(); ++y)
        std::memcpy(lines.scanLine(y), m_lines.image.constScanLine(pixels.top() + y) + pixels.left() * 4,
                    size_t(pixels.width()) * 4);
    lines.setDevicePixelRatio(ratio);
    {
        QPainter apart(&lines);
        CDbView::ApplyDiagramMapping(apart, *this);
        apart.translate(-exposed.topLeft());
        m_view->DrawCanvasLines(apart, exposed, true);
    }
    QPainter painter(this);
    painter.drawImage(exposed.topLeft(), lines);
    painter.save();
    CDbView::ApplyDiagramMapping(painter, *this);
    m_view->DrawScreenOverlay(painter, exposed);
    painter.restore();
    painter.drawImage(QRectF(exposed), m_tables.image, source);
}

// A picture made again at the same size keeps its memory: a window dragged
// far out remakes the lines' picture on every step.
void CDiagramCanvas::FitToCanvas(QImage &image, QImage::Format format) const
{
    if (image.size() != PicturePixels() || image.format() != format)
        image = QImage(PicturePixels(), format);
    image.setDevicePixelRatio(devicePixelRatioF());
}

void CDiagramCanvas::UpdateLinesPicture()
{
    const unsigned long long version = m_view->CanvasLinesVersion();
    if (version == m_lines.version && m_lines.image.size() == PicturePixels()
        && m_lines.image.devicePixelRatio() == devicePixelRatioF())
        return;
    FitToCanvas(m_lines.image, QImage::Format_RGB32);
    m_lines.image.fill(Qt::white);
    m_lines.version = version;
    QPainter painter(&m_lines.image);
    CDbView::ApplyDiagramMapping(painter, *this);
    m_view->DrawCanvasLines(painter, rect(), false);
}

void CDiagramCanvas::UpdateTablesPicture()
{
    const unsigned long long version = m_view->CanvasTablesFingerprint();
    if (version == m_tables.version && m_tables.image.size() == PicturePixels()
        && m_tables.image.devicePixelRatio() == devicePixelRatioF())
        return;
    FitToCanvas(m_tables.image, QImage::Format_ARGB32_Premultiplied);
    m_tables.image.fill(Qt::transparent);
    m_tables.version = version;
    QPainter painter(&m_tables.image);
    m_view->DrawCanvasTables(painter, rect());
}

// An image of the given size over memory kept from one paint to the next,
// so that a scroll step does not allocate a fresh image of its strip.
QImage CDiagramCanvas::BackgroundBuffer(const QSize &pixels)
{
    const qsizetype bytes = qsizetype(pixels.width()) * pixels.height() * 4;
    if (m_buffer.size() < bytes)
        m_buffer.resize(bytes);
    return QImage(reinterpret_cast<uchar *>(m_buffer.data()), pixels.width(), pixels.height(),
                  qsizetype(pixels.width()) * 4, QImage::Format_RGB32);
}

// What the user sees here is a table: it becomes a window again and the
// press goes to it, as if it had been shown all along. Qt keeps sending
// the rest of the press here; it follows the press.
void CDiagramCanvas::mousePressEvent(QMouseEvent *event)
{
    if (CTableWnd *table = m_view->CanvasTableAt(event->position().toPoint())) {
        m_view->EnsureShown(table);
        m_pressed = table;
        Forward(table, event);
        return;
    }
    const QPoint client = mapTo(m_view->viewport(), event->position().toPoint());
    m_view->OnBackgroundPress(client, event->button());
    event->accept();
}

void CDiagramCanvas::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressed)
        Forward(m_pressed, event);
}

void CDiagramCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pressed)
        Forward(m_pressed, event);
    if (event->buttons() == Qt::NoButton)
        m_pressed = nullptr;
}

void CDiagramCanvas::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (CTableWnd *table = m_view->CanvasTableAt(event->position().toPoint())) {
        m_view->EnsureShown(table);
        m_pressed = table;
    }
    if (m_pressed)
        Forward(m_pressed, event);
    else
        QWidget::mouseDoubleClickEvent(event);
}

void CDiagramCanvas::Forward(CTableWnd *table, QMouseEvent *event)
{
    QMouseEvent mapped(event->type(), table->mapFromParent(event->position()), event->scenePosition(),
                       event->globalPosition(), event->button(), event->buttons(), event->modifiers(),
                       event->pointingDevice());
    QCoreApplication::sendEvent(table, &mapped);
    event->setAccepted(mapped.isAccepted());
}

// A tooltip over a drawn table is the table's own.
bool CDiagramCanvas::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    // A table without a tooltip of its own passes the event on to here.
    CTableWnd *table = m_view->CanvasTableAt(help->pos());
    if (!table || !table->isHidden())
        return QWidget::event(event);
    m_view->EnsureShown(table);
    QHelpEvent mapped(QEvent::ToolTip, table->mapFromParent(help->pos()), help->globalPos());
    QCoreApplication::sendEvent(table, &mapped);
    return true;
}
