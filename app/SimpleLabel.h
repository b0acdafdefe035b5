// A label that reports when the mouse enters and leaves it and ignores the
// wheel and the keyboard.
#pragma once

#include <QLabel>

class SimpleLabel : public QLabel {
    Q_OBJECT
public:
    explicit SimpleLabel(QWidget* parent = nullptr);

signals:
    void entered();
    void leaved();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
