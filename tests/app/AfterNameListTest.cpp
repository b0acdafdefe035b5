// The three cascading target lists wired as the main window wires them,
// driven through their windows the way the window system delivers input
// while a popup holds the grab: every mouse event goes to the list opened
// last, key events to it as well, and the filter routes them on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <memory>

#include "PopupListLook.h"
#include "SpontaneousEvents.h"
#include "app/AfterNameListWidget.h"
#include "app/AfterNameListWidgetFilter.h"

// The spies keep the item a list reports.
Q_DECLARE_METATYPE(QListWidgetItem*)

namespace {

// The window that receives pointer and key input: the popup opened last
// while one is open (it holds the grab), else the window under the point.
QWindow* PopupInputWindow(const QPoint& global) {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup->windowHandle();
    return QGuiApplication::topLevelAt(global);
}

void PopupPress(const QPoint& global) {
    QWindow* w = PopupInputWindow(global);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, w->mapFromGlobal(global));
}
void PopupRelease(const QPoint& global) {
    QWindow* w = PopupInputWindow(global);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, w->mapFromGlobal(global));
}
void PopupMove(const QPoint& global) {
    QWindow* w = PopupInputWindow(global);
    QTest::mouseMove(w, w->mapFromGlobal(global));
}
void PopupKey(Qt::Key key) {
    QWidget* popup = QApplication::activePopupWidget();
    QTest::keyClick(popup ? popup->windowHandle() : QGuiApplication::focusWindow(), key);
}

QPoint RowCentre(AfterNameListWidget* list, int row) {
    return list->viewport()->mapToGlobal(list->visualItemRect(list->item(row)).center());
}

// Lists 1, 2 and 3 side by side, and a window with a button below them.
class AfterNameLists : public ::testing::Test {
protected:
    void SetUp() override {
        qRegisterMetaType<QListWidgetItem*>();
        QCursor::setPos(QPoint(780, 590));  // away from every window
        host.setGeometry(40, 400, 300, 120);
        button = new QPushButton("Under the lists", &host);
        button->setGeometry(20, 20, 160, 40);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        host.activateWindow();
        filter = new AfterNameListWidgetFilter(&host);
        const QStringList names[3] = {
            {"NylonGuitar(Hot)", "NylonGuitar(Smooth)", "SteelGuitar", "* Other Normal Voices"},
            {"Guitar", "Bass", "Strings", "Brass", "Sax", "Drums"},
            {"CleanGuitar", "JazzGuitar", "OverdriveGuitar(Riff)", "SteelGuitar", "NylonGuitar(Hot)"},
        };
        for (int i = 0; i < 3; ++i) {
            lists[i] = new AfterNameListWidget(&host);
            lists[i]->addItems(names[i]);
            SetPopupPalette(lists[i]);
        }
        lists[2]->setParentList(lists[1]);
        for (AfterNameListWidget* l : lists) filter->addWidget(l);
        // The main window's answer to a category picked with Right: list 3
        // beside list 2, list 2 keeping the focus.
        QObject::connect(lists[1], &AfterNameListWidget::itemSelected, [this](QListWidgetItem*) { OpenList3(); });
    }

    QRect Place(int i) const { return QRect(40 + 200 * i, 40, 170, lists[i]->sizeHintForRow(0) * lists[i]->count() + 4); }

    void Show(int i) {
        lists[i]->setGeometry(Place(i));
        lists[i]->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(lists[i]));
    }

    void OpenList2(int currentRow) {
        lists[1]->setOpenerItem(nullptr);
        lists[1]->setCurrentRow(currentRow);
        Show(1);
        lists[1]->setFocus(Qt::OtherFocusReason);
    }

    void OpenList3() {
        if (lists[2]->isVisible() && lists[2]->openerItem() == lists[1]->currentItem()) {
            lists[2]->close();
            return;
        }
        lists[2]->close();
        lists[2]->setOpenerItem(lists[1]->currentItem());
        Show(2);
        lists[1]->setFocus(Qt::OtherFocusReason);
    }

    void CloseAll() {
        for (AfterNameListWidget* l : lists) l->close();
        QCoreApplication::processEvents();
    }

    QWidget host;
    QPushButton* button = nullptr;
    AfterNameListWidgetFilter* filter = nullptr;
    AfterNameListWidget* lists[3] = {};
};

TEST_F(AfterNameLists, PressOutsideEveryListClosesThemAllAndClicksNothing) {
    Show(0);
    OpenList2(1);
    OpenList3();
    ASSERT_EQ(QApplication::activePopupWidget(), lists[2]);
    QSignalSpy pressed(button, &QPushButton::pressed), clicked(button, &QPushButton::clicked);
    QSignalSpy closed1(lists[0], &AfterNameListWidget::closed), closed2(lists[1], &AfterNameListWidget::closed);
    const QPoint onButton = button->mapToGlobal(button->rect().center());
    PopupPress(onButton);
    QTRY_VERIFY(!lists[0]->isVisible() && !lists[1]->isVisible() && !lists[2]->isVisible());
    PopupRelease(onButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(pressed.count(), 0);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(closed1.count(), 1);
    EXPECT_GE(closed2.count(), 1);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(AfterNameLists, GestureOnList2WhileList3HoldsTheGrabStaysWithList2) {
    OpenList2(0);
    OpenList3();
    ASSERT_EQ(QApplication::activePopupWidget(), lists[2]);
    QSignalSpy clicked2(lists[1], &QListWidget::itemClicked), clicked3(lists[2], &QListWidget::itemClicked);
    QSignalSpy pressed3(lists[2], &QListWidget::itemPressed);

    // Hover: list 2's highlight follows the cursor although list 3 has the grab.
    PopupMove(RowCentre(lists[1], 4));
    EXPECT_EQ(lists[1]->currentRow(), 4);
    PopupMove(RowCentre(lists[1], 3));
    EXPECT_EQ(lists[1]->currentRow(), 3);

    // A press on row 2, a drag over row 5 and back, the release on row 2.
    PopupPress(RowCentre(lists[1], 2));
    EXPECT_EQ(lists[1]->currentRow(), 2);
    PopupMove(RowCentre(lists[1], 5));
    EXPECT_EQ(lists[1]->currentRow(), 5);
    // Even over list 3 the moves of the gesture belong to list 2.
    const int list3Row = lists[2]->currentRow();
    PopupMove(RowCentre(lists[2], 1));
    EXPECT_EQ(lists[2]->currentRow(), list3Row);
    PopupMove(RowCentre(lists[1], 2));
    EXPECT_EQ(lists[1]->currentRow(), 2);
    PopupRelease(RowCentre(lists[1], 2));
    ASSERT_EQ(clicked2.count(), 1);
    EXPECT_EQ(clicked2.at(0).at(0).value<QListWidgetItem*>(), lists[1]->item(2));
    EXPECT_EQ(clicked3.count(), 0);
    EXPECT_EQ(pressed3.count(), 0);
    EXPECT_TRUE(lists[2]->isVisible());

    // After the release the gesture is over: moves over list 3 are its own,
    // and entering list 3 shows its opener row as list 2's current row.
    PopupMove(RowCentre(lists[2], 3));
    EXPECT_EQ(lists[2]->currentRow(), 3);
    EXPECT_EQ(lists[1]->currentRow(), 0);
}

// List 2 with more rows than it shows, so that its scroll bar is there.
void MakeList2Scroll(AfterNameListWidget* list2) {
    for (int i = 0; i < 30; ++i) list2->addItem(QString("Category %1").arg(i + 1));
    list2->resize(list2->width(), list2->sizeHintForRow(0) * 6 + 4);
    QCoreApplication::processEvents();
}

TEST_F(AfterNameLists, PressOnList2sScrollBarScrollsItAndClosesList3) {
    OpenList2(0);
    MakeList2Scroll(lists[1]);
    OpenList3();
    ASSERT_EQ(QApplication::activePopupWidget(), lists[2]);
    QScrollBar* bar = lists[1]->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_EQ(bar->value(), 0);
    // Near the bottom of the bar, below its handle: a page down.
    const QPoint onBar = bar->mapToGlobal(QPoint(bar->width() / 2, bar->height() - bar->width() - 4));
    PopupPress(onBar);
    EXPECT_GT(bar->value(), 0);
    EXPECT_FALSE(lists[2]->isVisible());
    PopupRelease(onBar);
    const int scrolled = bar->value();
    QTest::qWait(600);  // the bar's repeat would go on while it believed itself held
    EXPECT_EQ(bar->value(), scrolled);
    EXPECT_TRUE(lists[1]->isVisible());
}

TEST_F(AfterNameLists, WheelScrollsTheOpenList) {
    OpenList2(0);
    MakeList2Scroll(lists[1]);
    QSignalSpy selected(lists[1], &AfterNameListWidget::itemSelected), clicked(lists[1], &QListWidget::itemClicked);
    TurnWheel(lists[1]->viewport());
    EXPECT_GT(lists[1]->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(lists[1]->isVisible());
    EXPECT_EQ(selected.count() + clicked.count(), 0);
}

// What a key does in one list, the others shown as the main window shows them.
struct PopupKeyCase {
    const char* what;
    int focusList;   // 0..2; list 3 implies list 2 open
    int currentRow;  // in the focused list; -1: none
    Qt::Key key;
    bool visibleAfter[3];
    int selected;   // itemSelected of the focused list
    int clicked;    // itemClicked of the focused list
    int focusAfter; // list with the focus afterwards, -1: none of them
};

// clang-format off
const PopupKeyCase kPopupKeys[] = {
    {"Left in list 3 closes it",          2, 1, Qt::Key_Left,   {false, true, false}, 0, 0, 1},
    {"Left in list 2 does nothing",       1, 1, Qt::Key_Left,   {false, true, false}, 0, 0, 1},
    {"Left in list 1 does nothing",       0, 1, Qt::Key_Left,   {true, false, false}, 0, 0, 0},
    {"Right on an item of list 2",        1, 2, Qt::Key_Right,  {false, true, true},  1, 0, 2},
    {"Right with no current item",        1, -1, Qt::Key_Right, {false, true, false}, 0, 0, 1},
    {"Return on an item of list 1",       0, 2, Qt::Key_Return, {true, false, false}, 0, 1, 0},
    {"Enter on an item of list 3",        2, 0, Qt::Key_Enter,  {false, true, true},  0, 1, 2},
    {"Return with no current item",       0, -1, Qt::Key_Return, {true, false, false}, 0, 0, 0},
    {"Escape closes list 1",              0, 1, Qt::Key_Escape, {false, false, false}, 0, 0, -1},
    {"Escape in list 3 closes only it",   2, 1, Qt::Key_Escape, {false, true, false}, 0, 0, 1},
    {"Down moves the current row",        0, 1, Qt::Key_Down,   {true, false, false}, 0, 0, 0},
};
// clang-format on

TEST_F(AfterNameLists, KeysActOnTheFocusedList) {
    for (const auto& c : kPopupKeys) {
        CloseAll();
        if (c.focusList == 0) {
            lists[0]->setCurrentRow(-1);
            Show(0);
        } else {
            OpenList2(c.focusList == 1 ? c.currentRow : 0);
            if (c.focusList == 2) OpenList3();
        }
        AfterNameListWidget* focused = lists[c.focusList];
        focused->setFocus(Qt::OtherFocusReason);
        focused->setCurrentRow(c.currentRow);
        ASSERT_TRUE(focused->hasFocus()) << c.what;
        QSignalSpy selected(focused, &AfterNameListWidget::itemSelected);
        QSignalSpy clicked(focused, &QListWidget::itemClicked);
        PopupKey(c.key);
        QCoreApplication::processEvents();
        for (int i = 0; i < 3; ++i) EXPECT_EQ(lists[i]->isVisible(), c.visibleAfter[i]) << c.what << ", list " << i + 1;
        EXPECT_EQ(selected.count(), c.selected) << c.what;
        EXPECT_EQ(clicked.count(), c.clicked) << c.what;
        if (c.selected) {
            EXPECT_EQ(selected.at(0).at(0).value<QListWidgetItem*>(), focused->item(c.currentRow));
        }
        if (c.clicked) {
            EXPECT_EQ(clicked.at(0).at(0).value<QListWidgetItem*>(), focused->item(c.currentRow));
        }
        for (int i = 0; i < 3; ++i) EXPECT_EQ(lists[i]->hasFocus(), i == c.focusAfter) << c.what << ", list " << i + 1;
    }
    // Down on row 1 made row 2 current.
    EXPECT_EQ(lists[0]->currentRow(), 2);
}

TEST_F(AfterNameLists, ClosingList2ClosesList3AndForgetsItsOpener) {
    OpenList2(3);
    OpenList3();
    EXPECT_EQ(lists[2]->openerItem(), lists[1]->item(3));
    QSignalSpy closed2(lists[1], &AfterNameListWidget::closed), closed3(lists[2], &AfterNameListWidget::closed);
    lists[1]->close();
    EXPECT_FALSE(lists[2]->isVisible());
    EXPECT_EQ(lists[2]->openerItem(), nullptr);
    EXPECT_EQ(closed2.count(), 1);
    EXPECT_EQ(closed3.count(), 1);
}

TEST_F(AfterNameLists, WaitingOnAnItemChangesNothing) {
    OpenList2(0);
    QSignalSpy selected(lists[1], &AfterNameListWidget::itemSelected), clicked(lists[1], &QListWidget::itemClicked);
    QSignalSpy closed(lists[1], &AfterNameListWidget::closed);
    PopupMove(RowCentre(lists[1], 3));
    ASSERT_EQ(lists[1]->currentRow(), 3);
    QTest::qWait(800);  // longer than the hover timer
    EXPECT_EQ(lists[1]->currentRow(), 3);
    EXPECT_TRUE(lists[1]->isVisible());
    EXPECT_FALSE(lists[2]->isVisible());
    EXPECT_EQ(selected.count() + clicked.count() + closed.count(), 0);
}

TEST_F(AfterNameLists, MembersAreAddedOnceAndLeaveWhenDestroyed) {
    AfterNameListWidgetFilter group;
    auto* once = new AfterNameListWidget(&host);
    auto* other = new AfterNameListWidget(&host);
    group.addWidget(once);
    group.addWidget(once);
    group.addWidget(nullptr);
    group.addWidget(other);
    EXPECT_EQ(group.members(), (QList<AfterNameListWidget*>{once, other}));
    // Added twice, it would be closed twice by one request.
    once->show();
    QSignalSpy closed(once, &AfterNameListWidget::closed);
    emit group.emitClose();
    QCoreApplication::processEvents();
    EXPECT_EQ(closed.count(), 1);
    delete once;
    EXPECT_EQ(group.members(), (QList<AfterNameListWidget*>{other}));
}

TEST_F(AfterNameLists, ListDestroyedMidGestureGetsNoFurtherEvents) {
    OpenList2(0);
    OpenList3();
    PopupPress(RowCentre(lists[1], 2));  // list 2 takes the gesture
    const QPoint over2 = RowCentre(lists[1], 4);
    delete lists[1];
    lists[1] = nullptr;
    EXPECT_EQ(filter->members(), (QList<AfterNameListWidget*>{lists[0], lists[2]}));
    // The rest of the gesture reaches no destroyed list (the sanitizer build
    // would stop on it); list 3 is still open and answers normally.
    PopupMove(over2);
    PopupRelease(over2);
    EXPECT_TRUE(lists[2]->isVisible());
    PopupMove(RowCentre(lists[2], 2));
    EXPECT_EQ(lists[2]->currentRow(), 2);
    lists[2]->close();
    lists[1] = lists[2];  // CloseAll and the fixture stay valid
}

// The marker of a row: a 13-pixel box at its right end holding a triangle
// of six lines pointing down, in `pen`, on the list's background.
void ExpectRowMarker(const QImage& shot, const QRect& row, const QColor& pen, const char* what) {
    const QRect box(QPoint(row.right() - 15, row.top() + 1), QPoint(row.right() - 3, row.bottom() - 1));
    ASSERT_EQ(box.width(), 13);
    const int cx = (box.left() + box.right()) / 2, cy = (box.top() + box.bottom()) / 2;
    int wrong = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const int step = y - (cy - 3);  // 0 for the widest line
            const bool onTriangle = step >= 0 && step <= 5 && qAbs(x - cx) <= 5 - step;
            const QColor want = onTriangle ? pen : kPopupBase;
            if (shot.pixelColor(x, y) != want) ++wrong;
        }
    EXPECT_EQ(wrong, 0) << what;
    // Exactly 11 + 9 + 7 + 5 + 3 + 1 pixels of the pen.
    int inPen = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) inPen += shot.pixelColor(x, y) == pen;
    EXPECT_EQ(inPen, 36) << what;
}

int CountColour(const QImage& shot, const QRect& area, const QColor& c) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += shot.pixelColor(x, y) == c;
    return n;
}

TEST_F(AfterNameLists, MarkersOnTheCurrentRowAndTheOpenerRow) {
    OpenList2(1);
    OpenList3();
    lists[1]->setCurrentRow(4);  // the mouse moved on after list 3 opened from row 1
    const QPoint origin = lists[1]->viewport()->mapTo(lists[1], QPoint(0, 0));
    auto rowOnShot = [&](int row) { return lists[1]->visualItemRect(lists[1]->item(row)).translated(origin); };

    lists[1]->setShowMarker(true);
    QImage shot = lists[1]->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ExpectRowMarker(shot, rowOnShot(4), kPopupCurrentText, "current row");
    ExpectRowMarker(shot, rowOnShot(1), kPopupText, "row list 3 was opened from");
    for (int row : {0, 2, 3, 5}) {
        const QRect r = rowOnShot(row);
        EXPECT_EQ(CountColour(shot, QRect(QPoint(r.right() - 15, r.top()), r.bottomRight()), kPopupText), 0) << row;
    }

    lists[1]->setShowMarker(false);
    shot = lists[1]->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int row : {1, 4}) {
        const QRect r = rowOnShot(row);
        const QRect box(QPoint(r.right() - 15, r.top() + 1), QPoint(r.right() - 3, r.bottom() - 1));
        EXPECT_EQ(CountColour(shot, box, kPopupText) + CountColour(shot, box, kPopupCurrentText), 0) << row;
    }
}

}  // namespace
