#include "diagram/DiagramSurface.h"

CDiagramSurface *CDiagramSurface::Of(const QWidget *table)
{
    for (QWidget *ancestor = table ? table->parentWidget() : nullptr; ancestor;
         ancestor = ancestor->parentWidget())
        if (auto *surface = qobject_cast<CDiagramSurface *>(ancestor))
            return surface;
    return nullptr;
}
