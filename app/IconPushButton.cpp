#include "app/IconPushButton.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QWheelEvent>

IconPushButton::IconPushButton(QWidget* parent) : QPushButton(parent) {}

// Swallowed and kept accepted: neither the button (no press by Space or
// Return) nor its parents (no scrolling) see them.
void IconPushButton::wheelEvent(QWheelEvent* event) { event->accept(); }
void IconPushButton::keyPressEvent(QKeyEvent* event) { event->accept(); }
void IconPushButton::keyReleaseEvent(QKeyEvent* event) { event->accept(); }

void IconPushButton::enterEvent(QEvent*) { emit entered(); }
void IconPushButton::leaveEvent(QEvent*) { emit leaved(); }

// Only the label part of a push button (icon and text). The icon's On
// picture shows while the button is toggled on, or, when it cannot be
// toggled, while it is held down.
void IconPushButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~(QStyle::State_Raised | QStyle::State_Sunken);
    const bool on = isCheckable() ? isChecked() : isDown();
    if (on)
        option.state |= QStyle::State_On;
    else
        option.state &= ~QStyle::State_On;
    painter.drawControl(QStyle::CE_PushButtonLabel, option);
}
