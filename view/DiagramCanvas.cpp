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
