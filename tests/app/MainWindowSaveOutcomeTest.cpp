// What a save leaves behind in the real window (offscreen, fake core,
// Brune2): a status that claims completion only for a file written.
#include <gtest/gtest.h>

#include <QDir>

#include "tests/app/MainWindowConvertWindow.h"
#include "tests/app/SmfSongBuilder.h"

using namespace smfsong;

namespace {

// A format-1 song: a tempo track and a piano phrase on channel 1.
QByteArray OutcomeSong() {
    CSmf smf;
    MakeSong(smf, 1, 480);
    AddTrack(smf, {Tempo(0, 500000), Eot(0)});
    CTrk& track = AddTrack(smf, {Eot(1920)});
    InsertAll(track, {Note(480, 0, 60), Note(960, 0, 60, 0)});
    QByteArray bytes;
    EXPECT_GE(smf.ToByteArray(bytes), 0);
    return bytes;
}

int OutcomeHeaderFormat(const QByteArray& bytes) {
    return bytes.size() < 10 ? -1 : (int(uchar(bytes[8])) << 8) | int(uchar(bytes[9]));
}

QByteArray OutcomeRead(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool ShowsComplete(const MainWindow& window) {
    const auto* status = window.form().lblNowConv;
    return status->isVisibleTo(&window) && status->text() == QString("COMPLETE !!");
}

}  // namespace

TEST(MainWindowSaveOutcome, OnlyAWrittenFileLeavesCompleteInTheStatus) {
    enum class Output { Written, Cancelled, AFolder, AFailingWrite };
    struct Case {
        const char* what;
        Output output;
        bool complete;
    };
    const Case cases[] = {
        {"written", Output::Written, true},
        {"dialog cancelled: nothing failed", Output::Cancelled, true},
        {"output is a folder", Output::AFolder, false},
        {"the write fails", Output::AFailingWrite, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConvertWindow w;
        w.openSong("status.mid", OutcomeSong());
        w.switchOn(0);
        QString output = w.songs.filePath("status_vexa.mid");
        if (c.output == Output::Cancelled) output.clear();
        if (c.output == Output::AFolder) ASSERT_TRUE(QDir(w.songs.path()).mkdir("status_vexa.mid"));
        if (c.output == Output::AFailingWrite)
            w.window.setSongFileWrite([](QIODevice&, const QByteArray&) { return qint64(-1); });
        w.prompter.pathAnswers = {output};
        bool completeBehindTheBox = false;
        w.prompter.onAsk = [&] {
            if (w.prompter.asked.back().kind == "message") completeBehindTheBox = ShowsComplete(w.window);
        };
        w.convertToTheEnd();
        EXPECT_EQ(ShowsComplete(w.window), c.complete);
        if (c.complete) {
            EXPECT_TRUE(w.messages().isEmpty());
        } else {
            EXPECT_EQ(w.messages(), QStringList{"\"" + output + "\" write error."});
            EXPECT_FALSE(completeBehindTheBox);
            EXPECT_TRUE(w.window.isWindowModified());
        }
        EXPECT_EQ(OutcomeHeaderFormat(OutcomeRead(output)), c.output == Output::Written ? 1 : -1);
    }
}
