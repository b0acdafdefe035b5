#include "app/SimpleLabel.h"

#include <QKeyEvent>
#include <QWheelEvent>

SimpleLabel::SimpleLabel(QWidget* parent) : QLabel(parent) {}

void SimpleLabel::wheelEvent(QWheelEvent* event) { event->accept(); }
void SimpleLabel::keyPressEvent(QKeyEvent* event) { event->accept(); }
void SimpleLabel::keyReleaseEvent(QKeyEvent* event) { event->accept(); }

void SimpleLabel::enterEvent(QEvent*) { emit entered(); }
void SimpleLabel::leaveEvent(QEvent*) { emit leaved(); }
