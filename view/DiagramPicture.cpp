#include "view/DiagramPicture.h"

#include "diagram/RelationshipGeometry.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "view/DbView.h"

#include <QPainter>
#include <QPolygon>

namespace {

QRect RouteBounds(const CRelationshipRoute &route)
{
    QPolygon points;
    for (const QPoint &point : route.m_line)
        points << point;
    for (const QPoint &point : route.m_marker)
        points << point;
    return points.boundingRect();
}

// The table windows and the relationship lines between them.
QRect DiagramBounds(const CDbView &view)
{
    QRect bounds;
    CDoc *doc = view.GetDocument();
    if (!doc)
        return bounds;
    for (int i = 0; i < doc->TableCount(); ++i) {
        const CTableWnd *table = doc->GetTable(i);
        if (table->parentWidget() == view.Canvas())
            bounds |= table->DiagramRect();
    }
    for (int i = 0; const CDbRelationship *relationship = doc->Schema().GetRelationship(i); ++i) {
        CRelationshipRoute route;
        if (view.RelationshipRoute(*relationship, route))
            bounds |= RouteBounds(route);
    }
    return bounds;
}

} // namespace

CDiagramPicture::CDiagramPicture(CDbView &view) : m_view(view)
{
    const QRect bounds = DiagramBounds(view);
    const QRect core = bounds.isValid() ? bounds : QRect(0, 0, 0, 0);
    m_area = core.adjusted(-kMargin, -kMargin, kMargin, kMargin);
}

bool CDiagramPicture::Paint(QPaintDevice &device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    CDbView::ApplyDiagramMapping(painter, device);
    painter.translate(-m_area.topLeft());
    painter.fillRect(m_area, Qt::white);
    m_view.DrawForPrint(painter);
    return painter.end();
}
