#include "view/DbView.h"

void CDbView::SetZoom(double zoom)
{
    (void)zoom;
}

void CDbView::ZoomIn() {}

void CDbView::ZoomOut() {}

void CDbView::ZoomToFit() {}
