#include "diagram/DropMark.h"

#include "diagram/TableWnd.h"

#include <QPainter>

CDropMark::CDropMark(CTableWnd *target, int row) : QWidget(target), m_row(row)
{
    setObjectName(QStringLiteral("dropMark"));
    // Never the widget under the pointer: the drag looks for the table
    // window beneath it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const QRect client = target->ClientRect();
    setGeometry(target->ToWidget(target->GetRowRect(row).translated(client.topLeft()).intersected(client)));
    show();
}

void CDropMark::Show(CTableWnd *target, int row)
{
    Remove(target);
    new CDropMark(target, row);
}

void CDropMark::Remove(CTableWnd *target)
{
    // Deleted at once, not later: the next mark may be shown on the same
    // target within the same mouse move.
    delete Of(target);
}

CDropMark *CDropMark::Of(const CTableWnd *target)
{
    return target ? target->findChild<CDropMark *>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

void CDropMark::paintEvent(QPaintEvent *)
{
    // Difference with white turns every pixel into its inverse and keeps
    // the surface opaque, whatever the backing store's format.
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.fillRect(rect(), Qt::white);
}
