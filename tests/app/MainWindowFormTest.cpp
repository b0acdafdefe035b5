// The main window's form: every control at its place with its class, the
// stacking order, texts, menus, the eight connections and what the mask and
// the invisible target buttons do to clicks.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <iterator>
#include <map>

#include "SpontaneousEvents.h"
#include "app/IconPushButton.h"
#include "app/MainWindowForm.h"
#include "app/SimpleLabel.h"
#include "app/TransparentPushButton.h"

// A window with the slots the form connects to; it counts the calls and
// refuses to close, so that close() can be counted as well.
class FormTestWindow : public QMainWindow {
    Q_OBJECT
public:
    std::map<QString, int> calls;
    Ui::MainWindow ui;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++calls["close"];
        event->ignore();
    }

private slots:
    void open() { ++calls["open"]; }
    void convert() { ++calls["convert"]; }
    void openFolder() { ++calls["openFolder"]; }
    void about() { ++calls["about"]; }
    void cancel() { ++calls["cancel"]; }
};

namespace {

struct RowFamilyInfo {
    const char* name;
    const char* className;
    int x, w, h;
};
const RowFamilyInfo kRowFamilies[] = {
    {"txtProgNo", "SimpleLabel", 52, 68, 26},
    {"txtProgName", "SimpleLabel", 120, 110, 26},
    {"btnAfter", "IconPushButton", 230, 30, 25},
    {"lblIcon", "SimpleLabel", 260, 39, 25},
    {"lblAfter", "SimpleLabel", 299, 171, 25},
    {"txtAfter", "SimpleLabel", 299, 151, 25},
    {"cboAfter", "TransparentPushButton", 299, 171, 25},
    {"btnRcmd", "IconPushButton", 470, 48, 25},
};

struct ControlInfo {
    const char* name;
    const char* className;
    QRect geometry;
};
const ControlInfo kOtherControls[] = {
    {"btnConvert", "IconPushButton", {585, 40, 95, 43}},  {"btnExit", "IconPushButton", {613, 84, 67, 34}},
    {"lblBeatReso", "SimpleLabel", {586, 151, 94, 13}},   {"btnNoteSelect", "IconPushButton", {613, 164, 67, 43}},
    {"lblImage", "SimpleLabel", {539, 299, 133, 196}},    {"lblNowConv", "SimpleLabel", {549, 326, 116, 16}},
    {"lblConvMovie", "SimpleLabel", {539, 371, 133, 51}}, {"lblMask", "QLabel", {0, 0, 718, 535}},
    {"btnCancel", "IconPushButton", {585, 40, 95, 43}},
};

// Every child of the background in creation order, from the tables above.
std::vector<ControlInfo> AllControls() {
    std::vector<ControlInfo> out = {{"lblModel", "SimpleLabel", {24, 33, 181, 36}}};
    for (const auto& f : kRowFamilies)
        for (int n = 1; n <= 16; ++n) out.push_back({nullptr, f.className, QRect(f.x, 90 + 26 * (n - 1), f.w, f.h)});
    for (const auto& c : kOtherControls) out.push_back(c);
    return out;
}

QStringList AllControlNames() {
    QStringList names = {"lblModel"};
    for (const auto& f : kRowFamilies)
        for (int n = 1; n <= 16; ++n) names << QString(f.name) + QString::number(n);
    for (const auto& c : kOtherControls) names << c.name;
    return names;
}

class MainWindowFormTest : public ::testing::Test {
protected:
    void SetUp() override { window.ui.setupUi(&window); }

    // Shows the window as the start-up will: the mask hidden.
    void ShowWindow() {
        window.ui.lblMask->hide();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // A click where a person would click: the window finds the widget under
    // the point, so stacking and covers count.
    void ClickAt(QWidget* over, QPoint local) {
        const QPoint inWindow = window.mapFromGlobal(over->mapToGlobal(local));
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow);
    }
    void ClickCentre(QWidget* w) { ClickAt(w, w->rect().center()); }

    template <typename T>
    T* Find(const QString& name) {
        return window.findChild<T*>(name);
    }

    FormTestWindow window;
};

TEST_F(MainWindowFormTest, EveryControlHasItsClassPlaceAndParent) {
    const auto controls = AllControls();
    const QStringList names = AllControlNames();
    ASSERT_EQ(int(controls.size()), names.size());
    ASSERT_EQ(names.size(), 1 + 8 * 16 + 9);
    for (int i = 0; i < names.size(); ++i) {
        QWidget* w = Find<QWidget>(names[i]);
        ASSERT_NE(w, nullptr) << qPrintable(names[i]);
        EXPECT_STREQ(w->metaObject()->className(), controls[i].className) << qPrintable(names[i]);
        EXPECT_EQ(w->geometry(), controls[i].geometry) << qPrintable(names[i]);
        EXPECT_EQ(w->parentWidget(), window.ui.lblBackground) << qPrintable(names[i]);
    }
    // The numbered members point at the widgets of those names.
    EXPECT_EQ(window.ui.txtProgNo1, Find<SimpleLabel>("txtProgNo1"));
    EXPECT_EQ(window.ui.cboAfter9, Find<TransparentPushButton>("cboAfter9"));
    EXPECT_EQ(window.ui.btnRcmd16, Find<IconPushButton>("btnRcmd16"));
    EXPECT_EQ(window.ui.lblAfter12->geometry(), QRect(299, 376, 171, 25));
}

TEST_F(MainWindowFormTest, FrameAndBackground) {
    EXPECT_EQ(window.objectName(), "MainWindow");
    EXPECT_EQ(window.size(), QSize(718, 555));
    EXPECT_EQ(window.centralWidget(), window.ui.centralwidget);
    EXPECT_EQ(window.ui.gridLayout->spacing(), 0);
    EXPECT_EQ(window.ui.gridLayout->contentsMargins(), QMargins(0, 0, 0, 0));
    EXPECT_EQ(window.ui.gridLayout->itemAtPosition(0, 0)->widget(), window.ui.scrollArea);
    EXPECT_EQ(window.ui.scrollArea->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(window.ui.scrollArea->widget(), window.ui.lblBackground);
    EXPECT_EQ(window.ui.lblBackground->geometry(), QRect(0, 0, 718, 535));
    EXPECT_EQ(window.ui.lblBackground->pixmap(Qt::ReturnByValue).size(), QSize(718, 535));
    EXPECT_EQ(window.ui.lblBeatReso->pixmap(Qt::ReturnByValue).size(), QSize(94, 13));
    EXPECT_EQ(window.menuBar(), window.ui.menubar);
    // Picture buttons: Off and On pictures at their natural size.
    for (auto [button, size] : {std::pair<IconPushButton*, QSize>{window.ui.btnConvert, {95, 43}},
                                {window.ui.btnExit, {67, 34}},
                                {window.ui.btnCancel, {95, 43}}}) {
        EXPECT_EQ(button->iconSize(), size) << qPrintable(button->objectName());
        const QImage off = button->icon().pixmap(size, QIcon::Normal, QIcon::Off).toImage();
        const QImage on = button->icon().pixmap(size, QIcon::Normal, QIcon::On).toImage();
        EXPECT_EQ(off.size(), size);
        EXPECT_NE(off, on) << qPrintable(button->objectName());
    }
    EXPECT_TRUE(window.ui.btnNoteSelect->icon().isNull());
}

TEST_F(MainWindowFormTest, ChildrenOfTheBackgroundInCreationOrder) {
    QStringList order;
    for (QObject* child : window.ui.lblBackground->children())
        if (child->isWidgetType()) order << child->objectName();
    EXPECT_EQ(order, AllControlNames());
}

TEST(MainWindowFormName, AWindowWithANameKeepsIt) {
    FormTestWindow named;
    named.setObjectName("ConverterWindow");
    named.ui.setupUi(&named);
    EXPECT_EQ(named.objectName(), "ConverterWindow");
}

TEST_F(MainWindowFormTest, TextsAndShortcuts) {
    struct ActionText {
        QAction* action;
        const char* text;
        const char* shortcut;
    };
    const ActionText kTexts[] = {
        {window.ui.actionOpen, "&Open", "Ctrl+O"},
        {window.ui.actionConvert, "&Convert", "Alt+C"},
        {window.ui.actionConvertFilder, "Convert &Folder...", ""},
        {window.ui.actionExit, "E&xit", "Ctrl+Q"},
        {window.ui.actionAbout, "&About Phrasro ...", ""},
    };
    for (const auto& t : kTexts) {
        EXPECT_EQ(t.action->text(), t.text);
        EXPECT_EQ(t.action->shortcut(), QKeySequence(t.shortcut)) << t.text;
        EXPECT_EQ(t.action->parent(), &window) << t.text;
    }
    EXPECT_EQ(window.windowTitle(), "Phrasor");
    EXPECT_EQ(window.ui.menuFile->title(), "&File");
    EXPECT_EQ(window.ui.menuRecentFiles->title(), "Recent Files");
    EXPECT_EQ(window.ui.menuPreference->title(), "Preference(&S)");
    EXPECT_EQ(window.ui.menuHelp->title(), "&Help");
}

TEST_F(MainWindowFormTest, Menus) {
    const Ui::MainWindow& ui = window.ui;
    EXPECT_EQ(ui.menubar->actions(),
              (QList<QAction*>{ui.menuFile->menuAction(), ui.menuPreference->menuAction(), ui.menuHelp->menuAction()}));
    const QList<QAction*> file = ui.menuFile->actions();
    ASSERT_EQ(file.size(), 6);
    EXPECT_EQ(file[0], ui.actionOpen);
    EXPECT_EQ(file[1], ui.actionConvertFilder);
    EXPECT_TRUE(file[2]->isSeparator());
    EXPECT_EQ(file[3], ui.menuRecentFiles->menuAction());
    EXPECT_TRUE(file[4]->isSeparator());
    EXPECT_EQ(file[5], ui.actionExit);
    EXPECT_EQ(ui.menuRecentFiles->parent(), ui.menuFile);
    EXPECT_TRUE(ui.menuRecentFiles->actions().isEmpty());
    EXPECT_TRUE(ui.menuPreference->actions().isEmpty());
    EXPECT_EQ(ui.menuHelp->actions(), QList<QAction*>{ui.actionAbout});
    EXPECT_TRUE(ui.actionConvert->associatedWidgets().isEmpty());  // in no menu
}

TEST_F(MainWindowFormTest, TheEightConnectionsReachTheWindowsSlots) {
    ShowWindow();
    struct Connection {
        std::function<void()> fire;
        const char* slot;
    };
    const Ui::MainWindow& ui = window.ui;
    const Connection kConnections[] = {
        {[&] { ui.actionOpen->trigger(); }, "open"},
        {[&] { ui.actionConvert->trigger(); }, "convert"},
        {[&] { ui.actionConvertFilder->trigger(); }, "openFolder"},
        {[&] { ui.actionExit->trigger(); }, "close"},
        {[&] { ui.actionAbout->trigger(); }, "about"},
        {[&] { QTest::mouseClick(ui.btnConvert, Qt::LeftButton); }, "convert"},
        {[&] { QTest::mouseClick(ui.btnCancel, Qt::LeftButton); }, "cancel"},
        {[&] { QTest::mouseClick(ui.btnExit, Qt::LeftButton); }, "close"},
    };
    for (const auto& c : kConnections) {
        window.calls.clear();
        c.fire();
        EXPECT_EQ(window.calls, (std::map<QString, int>{{c.slot, 1}})) << c.slot;
    }
}

TEST_F(MainWindowFormTest, TheMaskKeepsClicksFromEverythingButCancel) {
    ShowWindow();
    const Ui::MainWindow& ui = window.ui;
    ui.btnCancel->hide();
    QSignalSpy rowClicks(ui.cboAfter1, &QAbstractButton::clicked);
    QSignalSpy switchClicks(ui.btnAfter3, &QAbstractButton::clicked);
    QSignalSpy noteClicks(ui.btnNoteSelect, &QAbstractButton::clicked);
    auto clickAll = [&] {
        ClickCentre(ui.cboAfter1);
        ClickCentre(ui.btnAfter3);
        ClickCentre(ui.btnConvert);
        ClickCentre(ui.btnNoteSelect);
    };
    clickAll();  // without the mask every click lands
    EXPECT_EQ(rowClicks.count(), 1);
    EXPECT_EQ(switchClicks.count(), 1);
    EXPECT_EQ(noteClicks.count(), 1);
    EXPECT_EQ(window.calls["convert"], 1);

    ui.lblMask->show();
    clickAll();
    EXPECT_EQ(rowClicks.count(), 1);
    EXPECT_EQ(switchClicks.count(), 1);
    EXPECT_EQ(noteClicks.count(), 1);
    EXPECT_EQ(window.calls["convert"], 1);

    ui.btnCancel->show();  // created last: above the mask, where btnConvert is
    ClickCentre(ui.btnCancel);
    EXPECT_EQ(window.calls["cancel"], 1);
    EXPECT_EQ(window.calls["convert"], 1);
}

// A window too low for its background scrolls, but not by a wheel turned
// over a row's controls; over the bare background it does.
TEST_F(MainWindowFormTest, AWheelOverARowDoesNotScroll) {
    window.resize(718, 300);
    ShowWindow();
    QScrollBar* bar = window.ui.scrollArea->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    const Ui::MainWindow& ui = window.ui;
    for (QWidget* w : std::initializer_list<QWidget*>{ui.txtProgNo5, ui.txtProgName5, ui.btnAfter5, ui.lblIcon5,
                                                      ui.lblAfter5, ui.txtAfter5, ui.cboAfter5, ui.btnRcmd5}) {
        TurnWheel(w);
        EXPECT_EQ(bar->value(), 0) << qPrintable(w->objectName());
    }
    ui.lblMask->show();  // the cover is a plain label: the wheel passes to the scroll area
    TurnWheel(ui.lblMask);
    EXPECT_GT(bar->value(), 0);
}

TEST_F(MainWindowFormTest, TheWholeTargetFieldAnswersThroughItsInvisibleButton) {
    ShowWindow();
    const Ui::MainWindow& ui = window.ui;
    ui.txtAfter5->setText("SteelGuitar");
    ui.lblAfter5->setPixmap(QPixmap(":/res/TextBase/TextBase5OffMlt.bmp"));
    QSignalSpy clicks(ui.cboAfter5, &QAbstractButton::clicked);
    const QPoint kPoints[] = {{0, 0}, {170, 0}, {0, 24}, {170, 24}, {20, 12}, {150, 12}, {160, 12}};
    for (const QPoint& p : kPoints) ClickAt(ui.lblAfter5, p);
    EXPECT_EQ(clicks.count(), int(std::size(kPoints)));
    // Just outside: the neighbours get it.
    QSignalSpy recommend(ui.btnRcmd5, &QAbstractButton::clicked);
    ClickAt(ui.lblAfter5, QPoint(171, 12));
    QSignalSpy below(ui.cboAfter6, &QAbstractButton::clicked);
    ClickAt(ui.lblAfter5, QPoint(80, 26));
    EXPECT_EQ(clicks.count(), int(std::size(kPoints)));
    EXPECT_EQ(recommend.count(), 1);
    EXPECT_EQ(below.count(), 1);
}

}  // namespace

#include "MainWindowFormTest.moc"
