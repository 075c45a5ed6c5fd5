#include "view/DiagramCanvas.h"

#include "view/DbView.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

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
    QPainter painter(this);
    painter.drawImage(exposed.topLeft(), background);
    CDbView::ApplyDiagramMapping(painter, *this);
    m_view->DrawScreenOverlay(painter, exposed);
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

void CDiagramCanvas::mousePressEvent(QMouseEvent *event)
{
    const QPoint client = mapTo(m_view->viewport(), event->position().toPoint());
    m_view->OnBackgroundPress(client, event->button());
    event->accept();
}
