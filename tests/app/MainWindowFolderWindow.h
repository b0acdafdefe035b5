#pragma once
// The window of the folder tests: File > Convert Folder... on the song
// folder, "Skip Errors" unticked, the titles of the run (Cancel clicked at a
// chosen one) and "Error.log" read back.
#include <QFileInfo>
#include <QRegularExpression>
#include <QString>
#include <initializer_list>
#include <utility>

#include "app/ConvertThread.h"
#include "tests/app/MainWindowSongWindow.h"
#include "tests/app/SmfSongBuilder.h"

// A nylon guitar on channel 1: its recommendation switches the channel on.
inline QByteArray GuitarSong(std::initializer_list<smfsong::EventPtr> extra = {}) {
    using namespace smfsong;
    CSmf smf;
    MakeSong(smf, 1, 480);
    AddTrack(smf, {Tempo(0, 500000), Eot(0)});
    CTrk& track = AddTrack(smf, {Prog(0, 0, 24), Note(480, 0, 60), Note(960, 0, 60, 0), Eot(960)});
    InsertAll(track, extra);
    QByteArray bytes;
    EXPECT_GE(smf.ToByteArray(bytes), 0);
    return bytes;
}

inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct FolderWindow : SongWindow {
    // makeCoreHolder: see SongWindow; none: the fake core, which gives its
    // input back.
    explicit FolderWindow(MakeCoreHolder makeCoreHolder = {}) : SongWindow(std::move(makeCoreHolder)) {
        if (!folder.cores.empty()) core().m_Echo = true;
        prompter.skipErrorsTicked = false;
        QObject::connect(&window, &QWidget::windowTitleChanged, [this](const QString& title) {
            titles << title;
            cancelShown << (window.form().btnCancel->isVisibleTo(&window) &&
                            !window.form().btnConvert->isVisibleTo(&window));
            if (!cancelAt.isEmpty() && title.contains(cancelAt)) QTest::mouseClick(window.form().btnCancel, Qt::LeftButton);
        });
    }
    FakePhrasorCore& core() { return *folder.cores.front(); }
    QString path(const QString& name) const { return QFileInfo(songs.filePath(name)).absoluteFilePath(); }
    QString log() const { return QString::fromUtf8(FileBytes(songs.filePath("Error.log"))); }
    bool busy() const { return window.form().lblMask->isVisibleTo(&window); }

    // Chooses the song folder through File > Convert Folder... and waits for
    // the run's end.
    void runFolder(const QString& chosen = QString()) {
        prompter.pathAnswers.push_front(chosen.isEmpty() ? songs.path() : chosen);
        window.form().actionConvertFilder->trigger();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window.worker()->isRunning() && !busy(); }, 30000));
        QTest::qWait(10);
    }
    QStringList kinds() const {
        QStringList k;
        for (const auto& a : prompter.asked) k << a.kind;
        return k;
    }
    // The log without its time stamp.
    QString logBody() const {
        QString text = log();
        const QRegularExpression header("^\\*\\*\\* Phrasor V2\\.1\\.0 <\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}>\r\n");
        EXPECT_TRUE(header.match(text).hasMatch()) << text.toStdString();
        return text.remove(header);
    }
    QString entry(const QString& name, const QStringList& warnings) const {
        QString text = "\r\n>>> " + path(name) + "\r\n";
        for (const QString& w : warnings) text += "    Warning : " + w + "\r\n";
        return text;
    }

    QStringList titles;
    QList<bool> cancelShown;
    QString cancelAt;  // a title part at which Cancel is clicked
};
