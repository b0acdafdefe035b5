// Screenshots of the program's start: the started window, each menu open, the
// About box, the critical box of a folder without models, and a second start
// that hands a song over while the first shows its About box. Each PNG is
// kept for a person to look at and read back to check what it shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/HandOverQueue.h"
#include "app/IconPushButton.h"
#include "app/InstanceChannel.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/Prompter.h"
#include "tests/app/ProgramFolder.h"
#include "tests/ui/GalleryShots.h"

namespace {

QImage Picture(const char* path) { return QImage(path).convertToFormat(QImage::Format_RGB32); }

// Runs check on the modal box once it is up (inside its own loop).
void WhenModalBoxIsUp(const std::function<void(QMessageBox*)>& check) {
    QTimer::singleShot(0, [check] {
        QMessageBox* box = nullptr;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                return box && box->isVisible();
            },
            5000));
        if (!box) return;
        QTest::qWaitForWindowExposed(box);
        check(box);
    });
}

// Takes file-open events and keeps their paths (the opening is the window's
// own later step).
class OpenedSongs : public QObject {
public:
    QStringList paths;

protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::FileOpen) return QObject::event(e);
        paths << static_cast<QFileOpenEvent*>(e)->file();
        return true;
    }
};

class StartupGallery : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<MainWindow>(folder.Setup(&prompter));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // A point of the background picture on the window's grab.
    QPoint OnWindow(QPoint background) const { return window->form().lblBackground->mapTo(window.get(), background); }

    ProgramFolder folder;
    QtPrompter prompter;
    std::unique_ptr<MainWindow> window;
};

}  // namespace

TEST_F(StartupGallery, TheStartedWindow) {
    const QImage shot = KeepGalleryShot(window->grab().toImage(), "startup_window.png");
    ASSERT_EQ(shot.size(), window->size());
    // The Exit picture at 613, 84; Convert is hidden, so the panel shows there.
    EXPECT_EQ(shot.copy(QRect(OnWindow(QPoint(613, 84)), QSize(67, 34))), Picture(":/res/ExitBtnOff.bmp"));
    EXPECT_EQ(shot.copy(QRect(OnWindow(QPoint(585, 40)), QSize(95, 43))),
              Picture(":/res/Background.bmp").copy(585, 40, 95, 43));
    // No row pixels: the row area is the bare background.
    const QRect rows(52, 90, 466, 26 * 16);
    EXPECT_EQ(shot.copy(QRect(OnWindow(rows.topLeft()), rows.size())), Picture(":/res/Background.bmp").copy(rows));
}

TEST_F(StartupGallery, EachMenuOpen) {
    const Ui::MainWindow& ui = window->form();
    struct Case {
        QMenu* menu;
        const char* file;
        QStringList items;  // the texts of its visible actions
    };
    const Case kCases[] = {
        {ui.menuFile, "startup_menu_file.png", {"&Open", "Convert &Folder...", "Recent Files", "E&xit"}},
        {ui.menuPreference,
         "startup_menu_preference.png",
         {"Zel-305", "Zel-307", "Zel-309", "Ork-3000", "Ork-4000", "Kelda", "Brune", "Brune2"}},
        {ui.menuHelp, "startup_menu_help.png", {"&About Phrasro ..."}},
    };
    for (const Case& c : kCases) {
        QStringList items;
        for (QAction* a : c.menu->actions())
            if (!a->isSeparator() && a->isVisible()) items << a->text();
        EXPECT_EQ(items, c.items) << c.file;
        // Opened under its title, as a click on the menu bar opens it.
        const QRect title = ui.menubar->actionGeometry(c.menu->menuAction());
        c.menu->popup(ui.menubar->mapToGlobal(title.bottomLeft() + QPoint(0, 1)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(c.menu));
        const QImage menu = c.menu->grab().toImage();
        QImage shot = window->grab().toImage();
        {
            QPainter p(&shot);
            p.drawImage(window->mapFromGlobal(c.menu->pos()), menu);
        }
        const QImage back = KeepGalleryShot(shot, c.file);
        // The menu lies over the window, one line per item at least.
        const QPoint at = window->mapFromGlobal(c.menu->pos());
        EXPECT_EQ(back.copy(QRect(at, menu.size())), menu.convertToFormat(QImage::Format_RGB32)) << c.file;
        EXPECT_GE(menu.height(), 12 * c.items.size()) << c.file;
        c.menu->hide();
    }
}

TEST_F(StartupGallery, TheAboutBox) {
    QString text;
    WhenModalBoxIsUp([&](QMessageBox* box) {
        text = box->text();
        EXPECT_EQ(box->windowTitle(), QString("About Phrasor"));
        const QImage shot = KeepGalleryShot(box->grab().toImage(), "startup_about.png");
        EXPECT_EQ(shot.size(), box->size());
        box->accept();
    });
    window->form().actionAbout->trigger();
    EXPECT_TRUE(text.contains("Phrasor V2.1")) << text.toStdString();
}

TEST(StartupGalleryFailure, TheCriticalBoxOfAFolderWithoutModels) {
    ProgramFolder empty(false);
    QtPrompter prompter;
    const MainWindowSetup setup = empty.Setup(&prompter);
    bool seen = false;
    WhenModalBoxIsUp([&](QMessageBox* box) {
        seen = true;
        EXPECT_EQ(box->windowTitle(), QString("Phrasor"));
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->text(), QString(MainWindow::kMissingFiles));
        const QImage shot = KeepGalleryShot(box->grab().toImage(), "startup_missing_models.png");
        EXPECT_EQ(shot.size(), box->size());
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    EXPECT_EQ(RunProgram(setup), -1);
    EXPECT_TRUE(seen);
}

TEST_F(StartupGallery, ASecondStartWhileTheAboutBoxIsOpen) {
    QTemporaryDir runtime, songs;
    const QString song = QDir(songs.path()).filePath("handed.mid");
    QFile(song).open(QIODevice::WriteOnly);
    const QString program = QStringLiteral(VEXA_PROBE_PROGRAM);
    // The first instance's side, wired as the application object wires it.
    InstanceChannel channel(QFileInfo(program).fileName(), runtime.path());
    ASSERT_TRUE(channel.claim());
    OpenedSongs opened;
    HandOverQueue queue(&opened);
    QObject::connect(&channel, &InstanceChannel::filesReceived, &queue, &HandOverQueue::receive);

    window->lower();
    int exitCode = 0;
    QStringList keptWhileOpen, openedWhileOpen{"not looked"};
    WhenModalBoxIsUp([&](QMessageBox* box) {
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        second.setProcessEnvironment(env);
        second.start(program, {song});
        EXPECT_TRUE(second.waitForStarted());
        EXPECT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
        exitCode = second.exitCode();
        keptWhileOpen = queue.pending();
        openedWhileOpen = opened.paths;
        QTest::qWait(100);
        // The whole screen where there is one (a virtual X display), else
        // the window with the box drawn where it stands.
        QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        if (shot.isNull() || QGuiApplication::platformName() == "offscreen") {
            shot = window->grab().toImage();
            QPainter p(&shot);
            p.drawImage(window->mapFromGlobal(box->pos()), box->grab().toImage());
        }
        const QImage back = KeepGalleryShot(shot, "startup_second_start.png");
        EXPECT_FALSE(back.isNull());
        EXPECT_TRUE(window->isActiveWindow() || QApplication::activeModalWidget() == box);
        box->accept();
    });
    window->form().actionAbout->trigger();
    EXPECT_EQ(exitCode, 255);
    EXPECT_EQ(keptWhileOpen, QStringList{song});
    EXPECT_TRUE(openedWhileOpen.isEmpty());
    // Once the box is closed the song arrives.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opened.paths.isEmpty(); }, 5000));
    EXPECT_EQ(opened.paths, QStringList{song});
}
