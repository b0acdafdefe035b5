// Songs handed over by a second start reach the window as file-open events,
// in order, once nothing modal is open and the window takes them; none is
// dropped. And the application object's passing of file-open events to its
// windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileOpenEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "app/Application.h"
#include "app/HandOverQueue.h"

namespace {

// Takes file-open events while it is willing, and keeps their paths.
class FileOpenRecorder : public QObject {
public:
    bool willing = true;
    QStringList opened;

protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::FileOpen || !willing) return QObject::event(e);
        opened << static_cast<QFileOpenEvent*>(e)->file();
        e->accept();
        return true;
    }
};

// A top-level widget that takes file-open events, or lets them pass.
class FileOpenWindow : public QWidget {
public:
    explicit FileOpenWindow(bool takes) : m_Takes(takes) {}
    QStringList seen;

protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::FileOpen) return QWidget::event(e);
        seen << static_cast<QFileOpenEvent*>(e)->file();
        if (m_Takes) e->accept();
        return m_Takes;
    }

private:
    bool m_Takes;
};

}  // namespace

TEST(HandOverQueue, PathsReceivedUnderAModalBoxArriveInOrderAfterItCloses) {
    FileOpenRecorder window;
    HandOverQueue queue(&window);
    QMessageBox box(QMessageBox::Information, "Phrasor", "busy");
    QStringList seenWhileOpen{"not looked"};
    QTimer::singleShot(0, [&] {
        queue.receive({"/a.mid", "/b.mid"});
        queue.receive({"/c.mid"});
        // Kept, not dropped, while the box is open, even after retries.
        QTest::qWait(3 * HandOverQueue::kRetryMs);
        seenWhileOpen = window.opened;
        EXPECT_EQ(queue.pending(), (QStringList{"/a.mid", "/b.mid", "/c.mid"}));
        box.done(0);
    });
    box.exec();
    EXPECT_TRUE(seenWhileOpen.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.opened.size() == 3; }, 5000));
    EXPECT_EQ(window.opened, (QStringList{"/a.mid", "/b.mid", "/c.mid"}));
    EXPECT_TRUE(queue.pending().isEmpty());
}

TEST(HandOverQueue, AWindowThatRefusesKeepsThePathsUntilItTakesThem) {
    FileOpenRecorder window;
    window.willing = false;  // converting
    HandOverQueue queue(&window);
    queue.receive({"/a.mid"});
    queue.receive({"/b.mid"});
    QTest::qWait(2 * HandOverQueue::kRetryMs);
    EXPECT_TRUE(window.opened.isEmpty());
    EXPECT_EQ(queue.pending(), (QStringList{"/a.mid", "/b.mid"}));
    window.willing = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.opened.size() == 2; }, 5000));
    EXPECT_EQ(window.opened, (QStringList{"/a.mid", "/b.mid"}));
}

TEST(HandOverQueue, AMinimisedMainWindowIsRestoredAtOnce) {
    FileOpenRecorder target;
    HandOverQueue queue(&target);
    QMainWindow window;
    window.showMinimized();
    QApplication::processEvents();
    queue.receive({});
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
}

TEST(ApplicationEvents, AFileOpenEventGoesToTheWindowsUntilOneTakesIt) {
    {
        FileOpenWindow passes(false), takes(true), alsoTakes(true);
        QFileOpenEvent event("/song.mid");
        EXPECT_TRUE(Application::OfferToWindows(&event));
        // Exactly one window took it; the one that lets it pass saw it at most once.
        EXPECT_EQ(takes.seen.size() + alsoTakes.seen.size(), 1);
        EXPECT_LE(passes.seen.size(), 1);
    }
    {
        FileOpenWindow first(false), second(false);
        QFileOpenEvent event("/song.mid");
        EXPECT_FALSE(Application::OfferToWindows(&event));
        EXPECT_EQ(first.seen, QStringList{"/song.mid"});
        EXPECT_EQ(second.seen, QStringList{"/song.mid"});
    }
    QEvent other(QEvent::User);
    EXPECT_FALSE(Application::OfferToWindows(&other));
}

TEST(ApplicationArguments, ExistingFilesAfterTheFirstMadeAbsolute) {
    QTemporaryDir start;
    QFile(start.filePath("a.mid")).open(QIODevice::WriteOnly);
    QFile(start.filePath("b.txt")).open(QIODevice::WriteOnly);
    QDir(start.path()).mkdir("folder");
    const QStringList arguments{start.filePath("a.mid"), "a.mid", "missing.mid", "folder", "b.txt",
                                start.filePath("b.txt")};
    EXPECT_EQ(Application::ExistingFiles(arguments, start.path()),
              (QStringList{start.filePath("a.mid"), start.filePath("b.txt"), start.filePath("b.txt")}));
}
