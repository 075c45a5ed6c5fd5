#include "diagram/TableWnd.h"

#include <QPainter>

void CTableWnd::PaintClient(QPainter &, bool) {}
void CTableWnd::PaintFrame(QPainter &, bool) {}
void CTableWnd::paintEvent(QPaintEvent *) {}
void CTableWnd::moveEvent(QMoveEvent *) {}
void CTableWnd::resizeEvent(QResizeEvent *) {}
