// The beat-resolution picker: a press picks at once, keys move the light
// within the grid, the mouse lights the cell under it, and every cell shows
// its slice of the two grid pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include "app/BeatMapWidget.h"
#include "app/IconPushButton.h"
#include "app/Pictures.h"

namespace {

IconPushButton* BeatCell(BeatMapWidget& picker, int k) {
    return picker.findChild<IconPushButton*>(QString("btnNote%1").arg(k + 1));
}

// The picker as it should look with cell `lit` lit (-1: none).
QImage ExpectedBeatMap(int lit) {
    QImage image = QImage(":/res/BeatMap.bmp").convertToFormat(QImage::Format_RGB32);
    if (lit >= 0) {
        QPainter p(&image);
        p.drawImage(QPoint(1 + 27 * (lit / 3), 1 + 32 * (lit % 3)),
                    QImage(":/res/NoteOnArray.bmp").copy(0, 31 * lit, 26, 31));
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage BeatMapShot(BeatMapWidget& picker) { return picker.grab().toImage().convertToFormat(QImage::Format_RGB32); }

class BeatMapPicker : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPictures();
        QCursor::setPos(QPoint(780, 590));
        picker.move(100, 100);
        picker.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    }

    BeatMapWidget picker;
};

TEST_F(BeatMapPicker, FormAndGrid) {
    EXPECT_EQ(picker.objectName(), "BeatMapWidget");
    EXPECT_EQ(picker.size(), QSize(136, 97));
    EXPECT_EQ(picker.minimumSize(), QSize(136, 97));
    EXPECT_EQ(picker.maximumSize(), QSize(136, 97));
    EXPECT_TRUE(picker.windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_FALSE(picker.windowFlags() & Qt::WindowTitleHint);
    for (int k = 0; k < 15; ++k) {
        IconPushButton* cell = BeatCell(picker, k);
        ASSERT_NE(cell, nullptr) << k;
        EXPECT_EQ(cell->geometry(), QRect(1 + 27 * (k / 3), 1 + 32 * (k % 3), 26, 31)) << k;
        EXPECT_EQ(cell->iconSize(), QSize(26, 31)) << k;
    }
    EXPECT_EQ(picker.index(), -1);
}

TEST_F(BeatMapPicker, EachCellShowsItsSlicesOfTheTwoPictures) {
    EXPECT_EQ(BeatMapShot(picker), ExpectedBeatMap(-1));
    for (int k = 0; k < 15; ++k) {
        picker.setIndex(k);
        EXPECT_EQ(BeatMapShot(picker), ExpectedBeatMap(k)) << "cell " << k;
    }
    picker.resetIndex(14);
    EXPECT_EQ(BeatMapShot(picker), ExpectedBeatMap(-1));
}

TEST_F(BeatMapPicker, PressOnACellReportsItAtOnce) {
    for (int k : {0, 7, 14}) {
        picker.show();
        picker.setIndex(4);
        QSignalSpy finished(&picker, &QDialog::finished);
        QTest::mousePress(BeatCell(picker, k), Qt::LeftButton);
        ASSERT_EQ(finished.count(), 1) << k;
        EXPECT_EQ(finished.at(0).at(0).toInt(), k);
        EXPECT_FALSE(picker.isVisible());
        QTest::mouseRelease(BeatCell(picker, k), Qt::LeftButton);
        QCoreApplication::processEvents();
        EXPECT_EQ(finished.count(), 1) << "the release reports nothing more";
    }
}

struct BeatMapEndCase {
    int lit;
    Qt::Key key;
    int reported;
};

TEST_F(BeatMapPicker, ReturnReportsTheLitCellOrMinusOneAndEscapeMinusOne) {
    const BeatMapEndCase kEnds[] = {
        {-1, Qt::Key_Return, -1}, {-1, Qt::Key_Enter, -1}, {9, Qt::Key_Return, 9},
        {3, Qt::Key_Enter, 3},    {9, Qt::Key_Escape, -1}, {-1, Qt::Key_Escape, -1},
    };
    for (const auto& c : kEnds) {
        picker.resetIndex(picker.index());
        picker.setIndex(c.lit);
        picker.show();
        QSignalSpy finished(&picker, &QDialog::finished);
        QTest::keyClick(&picker, c.key);
        ASSERT_EQ(finished.count(), 1) << c.lit << " " << c.key;
        EXPECT_EQ(finished.at(0).at(0).toInt(), c.reported) << c.lit << " " << c.key;
        EXPECT_FALSE(picker.isVisible());
    }
}

struct BeatMapArrowCase {
    int from;
    Qt::Key key;
    int to;
};

// clang-format off
const BeatMapArrowCase kBeatMapArrows[] = {
    // at the edges: column 0, column 4, row 0, row 2
    {0, Qt::Key_Left, 0}, {2, Qt::Key_Left, 2}, {12, Qt::Key_Right, 12}, {14, Qt::Key_Right, 14},
    {0, Qt::Key_Up, 0}, {9, Qt::Key_Up, 9}, {2, Qt::Key_Down, 2}, {11, Qt::Key_Down, 11},
    // inside the grid
    {7, Qt::Key_Left, 4}, {7, Qt::Key_Right, 10}, {7, Qt::Key_Up, 6}, {7, Qt::Key_Down, 8},
    {3, Qt::Key_Left, 0}, {11, Qt::Key_Right, 14}, {13, Qt::Key_Up, 12}, {13, Qt::Key_Down, 14},
    // nothing lit: every arrow lights the plain quarter note
    {-1, Qt::Key_Left, 7}, {-1, Qt::Key_Right, 7}, {-1, Qt::Key_Up, 7}, {-1, Qt::Key_Down, 7},
    // other keys are swallowed
    {5, Qt::Key_Space, 5}, {5, Qt::Key_A, 5}, {5, Qt::Key_PageUp, 5}, {-1, Qt::Key_Home, -1},
};
// clang-format on

TEST_F(BeatMapPicker, ArrowsMoveTheLightWithinTheGrid) {
    for (const auto& c : kBeatMapArrows) {
        picker.resetIndex(picker.index());
        picker.setIndex(c.from);
        QSignalSpy finished(&picker, &QDialog::finished);
        QTest::keyClick(&picker, c.key);
        EXPECT_EQ(picker.index(), c.to) << c.from << " key " << c.key;
        EXPECT_EQ(finished.count(), 0) << c.from << " key " << c.key;
        EXPECT_TRUE(picker.isVisible());
        EXPECT_EQ(BeatMapShot(picker), ExpectedBeatMap(c.to)) << c.from << " key " << c.key;
    }
}

TEST_F(BeatMapPicker, SetAndResetIndexIgnoreWhatIsNotTheirs) {
    picker.setIndex(5);
    picker.setIndex(15);
    picker.setIndex(-1);
    EXPECT_EQ(picker.index(), 5);
    picker.resetIndex(4);  // leaving a cell that is not lit
    EXPECT_EQ(picker.index(), 5);
    picker.resetIndex(5);
    EXPECT_EQ(picker.index(), -1);
    EXPECT_EQ(BeatMapShot(picker), ExpectedBeatMap(-1));
}

TEST_F(BeatMapPicker, TheMouseLightsTheCellUnderIt) {
    QWindow* w = picker.windowHandle();
    auto centre = [&](int k) { return BeatCell(picker, k)->geometry().center(); };
    // Twice over the picker's own background first, so that Qt knows what is
    // under the mouse before the crossings start.
    QTest::mouseMove(w, QPoint(135, 96));
    QTest::mouseMove(w, QPoint(134, 96));
    QTest::mouseMove(w, centre(4));
    EXPECT_EQ(picker.index(), 4);
    QTest::mouseMove(w, centre(5));
    EXPECT_EQ(picker.index(), 5);
    EXPECT_EQ(BeatMapShot(picker), ExpectedBeatMap(5));
    QTest::mouseMove(w, QPoint(27, 50));  // the line between two columns
    EXPECT_EQ(picker.index(), -1);
    QTest::mouseMove(w, centre(13));
    EXPECT_EQ(picker.index(), 13);
    QTest::mouseMove(w, QPoint(135, 96));  // the last pixel, off every cell
    EXPECT_EQ(picker.index(), -1);
    EXPECT_EQ(BeatMapShot(picker), ExpectedBeatMap(-1));
}

// A click in another window takes the focus from the picker, which is
// dismissed. A bare X server has no window manager to move the focus, so
// the test activates the windows itself.
TEST_F(BeatMapPicker, FocusGoingElsewhereReportsMinusOneOnce) {
    QWidget other;
    other.setGeometry(400, 100, 200, 100);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    picker.hide();
    picker.setIndex(8);
    picker.show();
    picker.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&picker));
    QTRY_VERIFY(picker.hasFocus());
    QSignalSpy finished(&picker, &QDialog::finished);
    QTest::mouseClick(other.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 50));
    other.activateWindow();
    QTRY_COMPARE(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), -1);
    EXPECT_FALSE(picker.isVisible());

    // A pick hides the picker, and the focus it loses then reports nothing.
    picker.show();
    picker.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&picker));
    QTRY_VERIFY(picker.hasFocus());
    QSignalSpy again(&picker, &QDialog::finished);
    QTest::mousePress(BeatCell(picker, 2), Qt::LeftButton);
    QTest::mouseRelease(BeatCell(picker, 2), Qt::LeftButton);
    other.activateWindow();
    QTest::qWait(50);
    ASSERT_EQ(again.count(), 1);
    EXPECT_EQ(again.at(0).at(0).toInt(), 2);
}

}  // namespace
