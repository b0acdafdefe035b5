// The main window's start-up on the offscreen platform, with the fake core
// and the shipped models in a temporary program folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/IconPushButton.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/SimpleLabel.h"
#include "app/TransparentPushButton.h"
#include "tests/app/ProgramFolder.h"

namespace {

std::vector<QWidget*> RowWidgetsOf(const MainWindow::ChannelRow& r) {
    return {r.txtProgNo, r.txtProgName, r.btnAfter, r.lblIcon, r.lblAfter, r.txtAfter, r.cboAfter, r.btnRcmd};
}

// The main windows that are still about.
int MainWindowCount() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) count += qobject_cast<MainWindow*>(w) != nullptr;
    return count;
}

}  // namespace

TEST(MainWindowStart, FixedSizeTitleAndTheControlsOfAnEmptyWindow) {
    ProgramFolder folder;
    RecordingPrompter prompter;
    MainWindow window(folder.Setup(&prompter));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const Ui::MainWindow& ui = window.form();
    const QSize fixed(718, 535 + ui.menubar->sizeHint().height() + 1);
    EXPECT_EQ(window.size(), fixed);
    window.resize(900, 700);
    QApplication::processEvents();
    EXPECT_EQ(window.size(), fixed);
    EXPECT_EQ(window.windowTitle(), QString("Phrasor V2.1"));
    EXPECT_TRUE(window.acceptDrops());
    EXPECT_EQ(ui.btnExit->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(ui.menubar->focusPolicy(), Qt::NoFocus);

    for (int ch = 0; ch < 16; ++ch) {
        for (QWidget* w : RowWidgetsOf(window.row(ch))) {
            ASSERT_NE(w, nullptr);
            EXPECT_TRUE(w->objectName().endsWith(QString::number(ch + 1))) << w->objectName().toStdString();
            EXPECT_FALSE(w->isVisibleTo(&window)) << w->objectName().toStdString();
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        }
        EXPECT_TRUE(window.row(ch).btnAfter->isCheckable());
    }
    for (QWidget* hidden : std::initializer_list<QWidget*>{ui.btnConvert, ui.btnCancel, ui.lblBeatReso,
                                                           ui.btnNoteSelect, ui.lblNowConv, ui.lblConvMovie,
                                                           ui.lblMask})
        EXPECT_FALSE(hidden->isVisibleTo(&window)) << hidden->objectName().toStdString();
    EXPECT_TRUE(ui.btnExit->isVisible());

    // The note picture of index 4: the fifth 67 x 43 slice of NoteArray.
    const QImage shown = ui.btnNoteSelect->icon().pixmap(QSize(67, 43)).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage slice = QImage(":/res/NoteArray.bmp").copy(0, 172, 67, 43).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, slice);
    EXPECT_NE(shown, QImage(":/res/NoteArray.bmp").copy(0, 0, 67, 43).convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(ui.btnNoteSelect->iconSize(), ui.btnNoteSelect->size());

    // The phrase-file check ran once, inside a run of its own; nothing was asked.
    ASSERT_EQ(folder.cores.size(), 1u);
    EXPECT_EQ(folder.cores[0]->CountOf("CheckLibFiles"), 1);
    EXPECT_EQ(folder.cores[0]->CountOf("CreateProc"), folder.cores[0]->CountOf("DeleteProc"));
    EXPECT_TRUE(prompter.asked.empty());
}

TEST(MainWindowStart, TheModelMenuListsTheModelsCheckableInOneGroup) {
    ProgramFolder folder;
    RecordingPrompter prompter;
    MainWindow window(folder.Setup(&prompter));
    const QStringList expected{"Zel-305", "Zel-307", "Zel-309", "Ork-3000", "Ork-4000", "Kelda", "Brune", "Brune2"};
    QStringList listed;
    for (QAction* action : window.form().menuPreference->actions()) {
        listed << action->text();
        EXPECT_TRUE(action->isCheckable()) << action->text().toStdString();
        EXPECT_EQ(action->actionGroup(), window.modelGroup()) << action->text().toStdString();
        // A first start (empty settings store) chooses Brune2 and only it.
        EXPECT_EQ(action->isChecked(), action->text() == QString("Brune2")) << action->text().toStdString();
    }
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(window.modelGroup()->isExclusive());
    // One group: checking one model unchecks the other.
    window.modelGroup()->actions()[1]->setChecked(true);
    window.modelGroup()->actions()[6]->setChecked(true);
    EXPECT_FALSE(window.modelGroup()->actions()[1]->isChecked());
}

TEST(MainWindowStart, ShortcutsReachTheActionsWithTheMenusHidden) {
    ProgramFolder folder;
    RecordingPrompter prompter;
    MainWindow window(folder.Setup(&prompter));
    window.menuBar()->hide();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const Ui::MainWindow& ui = window.form();
    QSignalSpy convert(ui.actionConvert, &QAction::triggered);
    QSignalSpy open(ui.actionOpen, &QAction::triggered);
    QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(convert.count(), 1);
    EXPECT_EQ(open.count(), 1);
}

TEST(MainWindowStart, TheAboutBoxNamesTheProgramAndItsVersion) {
    ProgramFolder folder;
    RecordingPrompter prompter;
    MainWindow window(folder.Setup(&prompter));
    window.form().actionAbout->trigger();
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].kind, QString("about"));
    EXPECT_EQ(prompter.asked[0].title, QString("About Phrasor"));
    EXPECT_TRUE(prompter.asked[0].text.startsWith("<p>Phrasor V2.1</p><p>")) << prompter.asked[0].text.toStdString();
}

TEST(MainWindowStart, AMissingInstallationShowsTheCriticalBoxAndEndsWithMinusOne) {
    struct Case {
        const char* what;
        bool models;
        int libAnswer;
    };
    const Case kCases[] = {
        {"no model files", false, 1},
        {"phrase files missing", true, 0},
        {"both missing: the phrase files are checked first", false, 0},
    };
    for (const Case& c : kCases) {
        ProgramFolder folder(c.models);
        RecordingPrompter prompter;
        EXPECT_EQ(RunProgram(folder.Setup(&prompter, {}, c.libAnswer)), -1) << c.what;
        ASSERT_EQ(prompter.asked.size(), 1u) << c.what;
        EXPECT_EQ(prompter.asked[0].icon, QMessageBox::Critical) << c.what;
        EXPECT_EQ(prompter.asked[0].title, QString("Phrasor")) << c.what;
        EXPECT_EQ(prompter.asked[0].text, QString("Cannot find required file. \nMight not be correctly installed."))
            << c.what;
        EXPECT_EQ(prompter.asked[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok)) << c.what;
        // No window is left behind, and the engine's core went with it.
        QApplication::processEvents();
        EXPECT_EQ(MainWindowCount(), 0) << c.what;
        ASSERT_EQ(folder.cores.size(), 1u) << c.what;
    }
}

TEST(MainWindowStart, OnlyArgumentsNamingExistingMidFilesAreSongs) {
    ProgramFolder folder;
    QTemporaryDir songs;
    const auto make = [&](const QString& name) {
        QFile f(songs.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return f.fileName();
    };
    const QString upper = make("UPPER.MID"), plain = make("plain.mid"), text = make("notes.txt");
    const QString midiLike = make("song.midi");
    QDir(songs.path()).mkdir("folder.mid");
    RecordingPrompter prompter;
    MainWindow window(folder.Setup(&prompter, {songs.filePath("gone.mid"), text, upper, songs.filePath("folder.mid"),
                                               midiLike, plain, "-x"}));
    EXPECT_EQ(window.startSongs(), (QStringList{upper, plain}));
    EXPECT_TRUE(prompter.asked.empty());
}

TEST(RunProgramLoop, ShowsTheWindowWithItsIconAndReturnsTheLoopsResult) {
    ProgramFolder folder;
    RecordingPrompter prompter;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) shown |= qobject_cast<MainWindow*>(w) && w->isVisible();
        QApplication::exit(7);
    });
    EXPECT_EQ(RunProgram(folder.Setup(&prompter)), 7);
    EXPECT_TRUE(shown);
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)));
    QApplication::processEvents();
    EXPECT_EQ(MainWindowCount(), 0);
}
