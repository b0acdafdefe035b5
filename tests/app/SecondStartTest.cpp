// The built program started a second time while the test holds its channel:
// it hands its existing file arguments over and ends with -1 (255). A copy
// under another file name is a first instance of its own.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/InstanceChannel.h"

namespace {

// The programs that can be started: the test build of the program (the fake
// core) always, the program itself when it is built.
QStringList StartablePrograms() {
    QStringList programs{QStringLiteral(VEXA_PROBE_PROGRAM)};
#ifdef VEXA_PROGRAM
    programs << QStringLiteral(VEXA_PROGRAM);
#endif
    return programs;
}

QProcessEnvironment ChildEnvironment(const QString& runtimeFolder) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtimeFolder);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    // A process ended by the test keeps what it had: no leak report.
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    return env;
}

QString MakeFile(const QDir& folder, const QString& name) {
    QFile f(folder.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    return QFileInfo(f).absoluteFilePath();
}

}  // namespace

TEST(SecondStart, HandsItsExistingFilesOverInOrderAndEndsWithMinusOne) {
    for (const QString& program : StartablePrograms()) {
        QTemporaryDir runtime, work;
        const QDir dir(work.path());
        const QString song = MakeFile(dir, "song.mid"), notes = MakeFile(dir, "notes.txt");
        dir.mkdir("sub");
        const QString nested = MakeFile(QDir(dir.filePath("sub")), "b.MID");
        InstanceChannel running(QFileInfo(program).fileName(), runtime.path());
        ASSERT_TRUE(running.claim());
        QSignalSpy received(&running, &InstanceChannel::filesReceived);

        QProcess second;
        second.setProcessEnvironment(ChildEnvironment(runtime.path()));
        second.setWorkingDirectory(work.path());
        // Relative names count from the folder the program was started in.
        second.start(program, {"song.mid", "missing.mid", "sub", "sub/b.MID", notes});
        ASSERT_TRUE(second.waitForStarted()) << program.toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000))
            << program.toStdString();
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 255) << program.toStdString();
        ASSERT_EQ(received.count(), 1) << program.toStdString();
        EXPECT_EQ(received.at(0).at(0).toStringList(), (QStringList{song, nested, notes}));
    }
}

TEST(SecondStart, ACopyUnderAnotherNameTakesItsOwnLockAndHandsNothingOver) {
    QTemporaryDir runtime, copies;
    const QString program = QStringLiteral(VEXA_PROBE_PROGRAM);
    const QString copy = copies.filePath("phrasor-copy");
    ASSERT_TRUE(QFile::copy(program, copy));
    InstanceChannel running(QFileInfo(program).fileName(), runtime.path());
    ASSERT_TRUE(running.claim());
    QSignalSpy received(&running, &InstanceChannel::filesReceived);

    QProcess other;
    other.setProcessEnvironment(ChildEnvironment(runtime.path()));
    other.start(copy, {copy});
    ASSERT_TRUE(other.waitForStarted());
    // It starts as a first instance: its own lock, and it keeps running.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QFileInfo::exists(runtime.filePath("com.korvet.phrasor-copy.message")); }, 20000));
    EXPECT_TRUE(QFileInfo::exists(runtime.filePath("com.korvet.phrasor-copy.mutex")));
    EXPECT_EQ(other.state(), QProcess::Running);
    EXPECT_EQ(received.count(), 0);
    other.kill();
    other.waitForFinished();
}
