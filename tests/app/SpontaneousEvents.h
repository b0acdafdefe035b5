// Input as the window system delivers it. Qt passes a spontaneous event on
// to the parents when its receiver does not take it; one a test merely sends
// stays with the receiver, which would hide exactly what the tests check.
#pragma once

#include <QtTest/qtestspontaneevent.h>

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>

// One notch of the wheel towards the user, 5 pixels into the widget.
inline void TurnWheel(QWidget* w) {
    const QPoint local(5, 5);
    QWheelEvent event(QPointF(local), QPointF(w->mapToGlobal(local)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::instance()->notify(w, &event);
}
