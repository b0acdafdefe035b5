// The hover-aware picture controls: they swallow the wheel and the keys,
// report the mouse crossing from one to the next, and draw only what they
// should (checked on grabbed pixels).
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <functional>
#include <memory>

#include "SpontaneousEvents.h"
#include "app/IconPushButton.h"
#include "app/SimpleLabel.h"
#include "app/TransparentPushButton.h"

namespace {

// Counts the key and wheel events that reach a widget.
class EventCounter : public QObject {
public:
    int keys = 0, wheels = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) ++keys;
        if (e->type() == QEvent::Wheel) ++wheels;
        return false;
    }
};

struct ControlKind {
    const char* name;
    std::function<QWidget*(QWidget*)> make;
    bool swallows;  // false: a plain Qt widget, to show that the check can fail
};

const ControlKind kKinds[] = {
    {"IconPushButton", [](QWidget* p) -> QWidget* { return new IconPushButton(p); }, true},
    {"TransparentPushButton", [](QWidget* p) -> QWidget* { return new TransparentPushButton(p); }, true},
    {"SimpleLabel", [](QWidget* p) -> QWidget* { return new SimpleLabel(p); }, true},
    {"QPushButton", [](QWidget* p) -> QWidget* { return new QPushButton(p); }, false},
    {"QLabel", [](QWidget* p) -> QWidget* { return new QLabel(p); }, false},
};

TEST(HoverControls, KeysReachNeitherControlNorParent) {
    for (const auto& kind : kKinds) {
        QWidget parent;
        parent.resize(200, 100);
        QWidget* control = kind.make(&parent);
        control->setGeometry(10, 10, 80, 30);
        EventCounter counter;
        parent.installEventFilter(&counter);
        auto* button = qobject_cast<QAbstractButton*>(control);
        std::unique_ptr<QSignalSpy> clicks(button ? new QSignalSpy(button, &QAbstractButton::clicked) : nullptr);
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down})
            QTest::keyClick(control, key);
        if (kind.swallows) {
            EXPECT_EQ(counter.keys, 0) << kind.name;
            if (clicks) {
                EXPECT_EQ(clicks->count(), 0) << kind.name;
            }
        } else {
            EXPECT_TRUE(counter.keys > 0 || (clicks && clicks->count() > 0)) << kind.name;
        }
    }
}

TEST(HoverControls, WheelDoesNotScrollTheScrollArea) {
    for (const auto& kind : kKinds) {
        QScrollArea area;
        area.resize(200, 200);
        auto* content = new QWidget;
        content->resize(180, 1000);
        QWidget* control = kind.make(content);
        control->setGeometry(10, 10, 80, 30);
        area.setWidget(content);
        area.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
        QScrollBar* bar = area.verticalScrollBar();
        ASSERT_GT(bar->maximum(), 0);
        TurnWheel(control);
        if (kind.swallows) {
            EXPECT_EQ(bar->value(), 0) << kind.name;
        } else if (!qobject_cast<QPushButton*>(control)) {
            EXPECT_GT(bar->value(), 0) << kind.name;  // a plain label passes the wheel on
        }
    }
}

struct Crossing {
    int first, second;  // indexes into kKinds
};

TEST(HoverControls, CrossingToANeighbourLeavesThenEnters) {
    const Crossing kCrossings[] = {{0, 2}, {2, 1}, {1, 0}, {0, 0}};
    for (const auto& c : kCrossings) {
        QWidget top;
        top.resize(200, 60);
        QWidget* a = kKinds[c.first].make(&top);
        QWidget* b = kKinds[c.second].make(&top);
        a->setGeometry(10, 10, 40, 30);
        b->setGeometry(50, 10, 40, 30);  // the next pixel column after a
        QStringList log;
        a->setObjectName("a");
        b->setObjectName("b");
        auto hook = [&log](QWidget* w) {
            const QString tag = w->objectName();
            if (auto* x = qobject_cast<IconPushButton*>(w)) {
                QObject::connect(x, &IconPushButton::entered, [&log, tag] { log << tag + " entered"; });
                QObject::connect(x, &IconPushButton::leaved, [&log, tag] { log << tag + " leaved"; });
            } else if (auto* y = qobject_cast<TransparentPushButton*>(w)) {
                QObject::connect(y, &TransparentPushButton::entered, [&log, tag] { log << tag + " entered"; });
                QObject::connect(y, &TransparentPushButton::leaved, [&log, tag] { log << tag + " leaved"; });
            } else if (auto* z = qobject_cast<SimpleLabel*>(w)) {
                QObject::connect(z, &SimpleLabel::entered, [&log, tag] { log << tag + " entered"; });
                QObject::connect(z, &SimpleLabel::leaved, [&log, tag] { log << tag + " leaved"; });
            }
        };
        hook(a);
        hook(b);
        top.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
        // Over the window, off both; twice, so that Qt knows the window as the
        // widget under the mouse before the crossing starts.
        QTest::mouseMove(top.windowHandle(), QPoint(151, 50));
        QTest::mouseMove(top.windowHandle(), QPoint(150, 50));
        QTest::mouseMove(top.windowHandle(), QPoint(49, 20));  // a's last column
        QTest::mouseMove(top.windowHandle(), QPoint(50, 20));  // b's first column
        QTest::mouseMove(top.windowHandle(), QPoint(150, 50));
        EXPECT_EQ(log, (QStringList{"a entered", "a leaved", "b entered", "b leaved"}))
            << kKinds[c.first].name << " -> " << kKinds[c.second].name;
    }
}

QPixmap Stripes() {
    QImage image(80, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) image.setPixel(x, y, qRgb(x * 3, y * 8, (x + y) % 2 ? 200 : 40));
    return QPixmap::fromImage(image);
}

TEST(HoverControls, TransparentButtonShowsTheLabelUnderItAndClicks) {
    QWidget top;
    top.resize(100, 50);
    auto* label = new QLabel(&top);
    label->setGeometry(10, 10, 80, 30);
    label->setPixmap(Stripes());
    const QImage alone = top.grab().toImage();

    auto* button = new TransparentPushButton(&top);
    button->setGeometry(10, 10, 80, 30);
    button->setText("hidden text");
    EXPECT_EQ(top.grab().toImage(), alone);

    QPushButton plain(&top);  // a normal button at the same place does hide it
    plain.setGeometry(10, 10, 80, 30);
    EXPECT_NE(top.grab().toImage(), alone);
    plain.hide();

    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QTest::mouseClick(top.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 20));
    EXPECT_EQ(clicks.count(), 1);
}

QPixmap Solid(QColor c) {
    QPixmap p(40, 20);
    p.fill(c);
    return p;
}

struct IconStateCase {
    bool checkable, checked, down;
    bool showsOn;
};

TEST(HoverControls, IconButtonShowsOnPictureWhenToggledOrHeld) {
    const IconStateCase kCases[] = {
        {false, false, false, false}, {false, false, true, true},  // plain: On only while held down
        {true, false, false, false},  {true, true, false, true},   // checkable: On while toggled on
        {true, false, true, false},   {true, true, true, true},    // held alone does not count
    };
    const QColor off(200, 30, 30), on(30, 200, 30), under(10, 10, 90);
    for (const auto& c : kCases) {
        QWidget top;
        top.resize(60, 40);
        top.setAutoFillBackground(true);
        QPalette palette = top.palette();
        palette.setColor(QPalette::Window, under);
        top.setPalette(palette);
        auto* button = new IconPushButton(&top);
        button->setGeometry(10, 10, 40, 20);
        QIcon icon;
        icon.addPixmap(Solid(off), QIcon::Normal, QIcon::Off);
        icon.addPixmap(Solid(on), QIcon::Normal, QIcon::On);
        button->setIcon(icon);
        button->setIconSize(QSize(40, 20));
        button->setCheckable(c.checkable);
        button->setChecked(c.checked);
        button->setDown(c.down);
        const QImage shot = top.grab().toImage();
        const QColor centre = shot.pixelColor(30, 20);
        EXPECT_EQ(centre, c.showsOn ? on : off)
            << "checkable " << c.checkable << " checked " << c.checked << " down " << c.down;
        EXPECT_EQ(shot.pixelColor(5, 5), under);  // nothing drawn around it
    }
}

TEST(HoverControls, IconButtonWithoutIconAndTextShowsNothing) {
    QWidget top;
    top.resize(60, 40);
    top.setAutoFillBackground(true);
    QPalette palette = top.palette();
    palette.setColor(QPalette::Window, QColor(10, 10, 90));
    top.setPalette(palette);
    const QImage bare = top.grab().toImage();
    auto* button = new IconPushButton(&top);
    button->setGeometry(5, 5, 50, 30);
    EXPECT_EQ(top.grab().toImage(), bare);
    button->setDown(true);
    EXPECT_EQ(top.grab().toImage(), bare);
    button->setText("Go");  // with a text it does draw
    EXPECT_NE(top.grab().toImage(), bare);
}

}  // namespace
