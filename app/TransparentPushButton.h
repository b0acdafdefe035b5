// A push button that draws nothing: it lies over other controls, which show
// through, and catches the clicks on them. It reports when the mouse enters
// and leaves it and ignores the wheel and the keyboard.
#pragma once

#include <QPushButton>

class TransparentPushButton : public QPushButton {
    Q_OBJECT
public:
    explicit TransparentPushButton(QWidget* parent = nullptr);

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
