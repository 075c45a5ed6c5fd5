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
