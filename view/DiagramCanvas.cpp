#include "view/DiagramCanvas.h"

#include "view/DbView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

CDiagramCanvas::CDiagramCanvas(CDbView *view) : m_view(view)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(CDbView::kDiagramSize, CDbView::kDiagramSize);
}

void CDiagramCanvas::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // Qt's line rasteriser writes pixels directly only under a clip the
    // painter was given as a rectangle; under the system clip alone it
    // sends every pixel through the clipping span filler, which costs
    // several times as much. An exposed area of one rectangle is the same
    // clip either way.
    if (event->region().rectCount() == 1)
        painter.setClipRect(event->rect());
    painter.fillRect(event->rect(), Qt::white);
    CDbView::ApplyDiagramMapping(painter, *this);
    m_view->DrawDiagram(painter, false, event->rect());
}

void CDiagramCanvas::mousePressEvent(QMouseEvent *event)
{
    const QPoint client = mapTo(m_view->viewport(), event->position().toPoint());
    m_view->OnBackgroundPress(client, event->button());
    event->accept();
}
