#include "app/TransparentPushButton.h"

#include <QKeyEvent>
#include <QWheelEvent>

TransparentPushButton::TransparentPushButton(QWidget* parent) : QPushButton(parent) {}

void TransparentPushButton::wheelEvent(QWheelEvent* event) { event->accept(); }
void TransparentPushButton::keyPressEvent(QKeyEvent* event) { event->accept(); }
void TransparentPushButton::keyReleaseEvent(QKeyEvent* event) { event->accept(); }

void TransparentPushButton::enterEvent(QEvent*) { emit entered(); }
void TransparentPushButton::leaveEvent(QEvent*) { emit leaved(); }

void TransparentPushButton::paintEvent(QPaintEvent*) {}
