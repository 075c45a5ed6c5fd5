#include "view/DiagramPicture.h"

#include "diagram/RelationshipGeometry.h"
#include "diagram/TableItem.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "view/DbView.h"
#include "view/RelationshipMap.h"

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

} // namespace

QRect CDiagramPicture::DiagramBounds(const CDbView &view)
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
    CRelationshipMap::ForEachRoute(
        view, [&](int, const CRelationshipRoute &route) { bounds |= RouteBounds(route); });
    return bounds;
}

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

// In the order DrawForPrint paints them: the table windows in document
// order, each its caption and then its rows.
QStringList CDiagramPicture::Texts() const
{
    QStringList texts;
    const auto add = [&texts](const std::string &text) {
        if (!text.empty())
            texts << QString::fromStdString(text);
    };
    const CDoc *doc = m_view.GetDocument();
    for (int i = 0; doc && i < doc->TableCount(); ++i) {
        const CTableWnd *table = doc->GetTable(i);
        if (table->parentWidget() != m_view.Canvas())
            continue;
        add(table->Name());
        const bool attributes = doc->m_viewMode == Attributes;
        for (int row = 0; row < table->ItemCount(); ++row) {
            add(table->GetItem(row)->m_name);
            if (attributes)
                add(table->GetItem(row)->m_description);
        }
    }
    return texts;
}
