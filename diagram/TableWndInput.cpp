#include "diagram/TableWnd.h"

#include <QKeyEvent>
#include <QMouseEvent>

void CTableWnd::ActivateFrame() {}
void CTableWnd::DeactivateFrame() {}
void CTableWnd::HandleKey(QKeyEvent *) {}
void CTableWnd::mousePressEvent(QMouseEvent *) {}
void CTableWnd::mouseMoveEvent(QMouseEvent *) {}
void CTableWnd::mouseReleaseEvent(QMouseEvent *) {}
void CTableWnd::keyPressEvent(QKeyEvent *) {}
void CTableWnd::contextMenuEvent(QContextMenuEvent *) {}
void CTableWnd::ShowContextMenu(const QPoint &) {}
