#pragma once

#include <QAbstractScrollArea>
#include <QApplication>
#include <QWheelEvent>

// One notch of the mouse wheel over the middle of a scroll area's
// viewport, down or up, and the painting it causes: a user's scroll step.
inline void WheelNotch(QAbstractScrollArea &area, bool down)
{
    QWidget *viewport = area.viewport();
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, down ? -120 : 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    QApplication::processEvents();
}
