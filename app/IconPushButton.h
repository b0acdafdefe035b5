// A push button that shows only its picture: no frame, no bevel. It reports
// when the mouse enters and leaves it and ignores the wheel and the keyboard.
#pragma once

#include <QPushButton>

class IconPushButton : public QPushButton {
    Q_OBJECT
public:
    explicit IconPushButton(QWidget* parent = nullptr);

signals:
    void entered();
    void leaved();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
