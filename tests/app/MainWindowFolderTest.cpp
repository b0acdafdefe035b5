// Converting a whole folder in the real window (offscreen, fake core that
// gives its input back, Brune2): the order and titles, the overwrite
// question, "Skip Errors", cancel between files and "Error.log".
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "app/ConvertThread.h"
#include "tests/app/MainWindowFolderWindow.h"
#include "tests/app/SmfSongBuilder.h"

using namespace smfsong;

namespace {

const QString kSomeError = QStringLiteral("Some error occurred. Please confirm in Error.log file.");

}  // namespace

TEST(MainWindowFolder, ACleanRunWritesEveryOutputInNameOrderWithoutLogOrBox) {
    FolderWindow w;
    for (const char* name : {"b.mid", "A.mid", "c.MID"}) w.writeSong(name, GuitarSong());
    w.writeSong("notes.txt", "text");
    w.runFolder();
    EXPECT_EQ(w.kinds(), (QStringList{"folder", "confirm"}));
    EXPECT_EQ(w.titles, (QStringList{"A.mid[*] (1/3) - Phrasor V2.1", "b.mid[*] (2/3) - Phrasor V2.1",
                                     "c.MID[*] (3/3) - Phrasor V2.1"}));
    EXPECT_EQ(w.cancelShown, (QList<bool>{true, true, true}));
    EXPECT_EQ(w.core().CountOf("Convert"), 3);
    for (const char* name : {"A_vexa.mid", "b_vexa.mid", "c_vexa.MID"})
        EXPECT_EQ(FileBytes(w.songs.filePath(name)).left(4), QByteArray("MThd")) << name;
    EXPECT_FALSE(QFileInfo::exists(w.songs.filePath("Error.log")));
    EXPECT_FALSE(w.window.form().btnCancel->isVisibleTo(&w.window));
    EXPECT_TRUE(w.window.form().btnExit->isVisibleTo(&w.window));
    EXPECT_TRUE(w.window.acceptDrops());
}

TEST(MainWindowFolder, NothingHappensWithoutSongsOrWhenTheConfirmationIsDeclined) {
    FolderWindow w;
    w.writeSong("notes.txt", "text");
    w.runFolder();
    EXPECT_EQ(w.kinds(), QStringList{"folder"});
    w.writeSong("a.mid", GuitarSong());
    w.prompter.asked.clear();
    w.prompter.confirmAnswers = {false};
    w.runFolder();
    EXPECT_EQ(w.kinds(), (QStringList{"folder", "confirm"}));
    EXPECT_EQ(w.core().CountOf("Convert"), 0);
    EXPECT_EQ(QDir(w.songs.path()).entryList(QDir::Files), (QStringList{"a.mid", "notes.txt"}));
}

TEST(MainWindowFolder, CancelDuringTheThirdOfFiveSavesItAndLogsCanceled) {
    FolderWindow w;
    for (const char* name : {"s1.mid", "s2.mid", "s3.mid", "s4.mid", "s5.mid"}) w.writeSong(name, GuitarSong());
    w.core().m_ConvertDelayMs = 100;
    w.cancelAt = "(3/5)";
    w.runFolder();
    EXPECT_EQ(w.core().CountOf("Convert"), 3);
    for (const char* name : {"s1_vexa.mid", "s2_vexa.mid", "s3_vexa.mid"})
        EXPECT_TRUE(QFileInfo::exists(w.songs.filePath(name))) << name;
    for (const char* name : {"s4_vexa.mid", "s5_vexa.mid"}) EXPECT_FALSE(QFileInfo::exists(w.songs.filePath(name))) << name;
    EXPECT_EQ(w.logBody(), QString("\r\n>>> Canceled.\r\n"));
    EXPECT_FALSE(w.kinds().contains("message"));  // nothing went wrong: no box
}

TEST(MainWindowFolder, AskedRunLogsTheGsSongTheReplacementAndTheFailedChannel) {
    FolderWindow w;
    w.writeSong("a_gs.mid", GuitarSong({GsReset(0)}));
    w.writeSong("c.mid", GuitarSong());
    w.writeSong("c_vexa.mid", "old output");
    w.writeSong("e.mid", GuitarSong());
    // a_gs: the GS question (OK); c: the overwrite box (Yes).
    w.prompter.buttonAnswers = {QMessageBox::Ok, QMessageBox::Yes};
    bool failNow = false;
    int closedDuringRun = 0;
    w.prompter.onAsk = [&] {
        // The window cannot be closed from one of the run's boxes.
        const auto& asked = w.prompter.asked.back();
        if (asked.kind == "message" && !asked.text.startsWith("Some error")) closedDuringRun += w.window.close();
        // Once the overwrite box of c was answered, e's channel fails.
        if (w.prompter.asked.back().text.contains("already exists")) failNow = true;
    };
    QObject::connect(&w.window, &QWidget::windowTitleChanged, [&](const QString& title) {
        if (failNow && title.startsWith("e.mid")) w.core().m_FailChannels = {0};
    });
    w.runFolder();
    EXPECT_EQ(closedDuringRun, 0);
    EXPECT_EQ(w.kinds().count("message"), 4);
    EXPECT_TRUE(w.window.isVisible());
    QStringList texts = w.messages();
    ASSERT_EQ(texts.size(), 4) << texts.join("|").toStdString();
    EXPECT_TRUE(texts[0].startsWith("This file may be GS song."));
    EXPECT_EQ(texts[1], "\"" + w.songs.filePath("c_vexa.mid") + "\" already exists. Do you want to replace it ?");
    EXPECT_EQ(texts[2], QString("Conversion Error!!\nThere is no process channel"));
    EXPECT_EQ(texts[3], kSomeError);
    const auto& box = w.prompter.asked[size_t(w.kinds().indexOf("message", 3))];
    EXPECT_EQ(box.buttons, QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::Save | QMessageBox::No |
                               QMessageBox::Cancel);
    EXPECT_EQ(FileBytes(w.songs.filePath("c_vexa.mid")).left(4), QByteArray("MThd"));
    EXPECT_TRUE(QFileInfo::exists(w.songs.filePath("a_gs_vexa.mid")));
    EXPECT_FALSE(QFileInfo::exists(w.songs.filePath("e_vexa.mid")));
    // c_vexa.mid was in the list before it was replaced: the new output is
    // taken too.
    EXPECT_TRUE(QFileInfo::exists(w.songs.filePath("c_vexa_vexa.mid")));
    EXPECT_EQ(w.titles.size(), 4);
    EXPECT_EQ(w.logBody().toStdString(),
              ("\r\n>>> " + w.path("a_gs.mid") +
                  "\r\n    Warning : This file may be GS song.\r\n"
                  "        This application does not work well for GS song.\r\n" +
                  w.entry("c.mid", {"The file \"" + w.songs.filePath("c_vexa.mid") + "\" was replaced."}) +
                  w.entry("e.mid", {"Conversion Error!!", "There is no process channel"}))
                  .toStdString());
}

TEST(MainWindowFolder, SkipErrorsOverwritesWithoutAskingAndLogsEachReplacement) {
    FolderWindow w;
    w.prompter.skipErrorsTicked = true;
    w.writeSong("a_gs.mid", GuitarSong({GsReset(0)}));
    w.writeSong("b.mid", GuitarSong());
    // A kit that deletes note 22 on channel 10, chosen once the song is shown.
    w.writeSong("drums.mid", GuitarSong({Note(480, 9, 22), Note(600, 9, 22, 0)}));
    QObject::connect(&w.window, &QWidget::windowTitleChanged, [&](const QString& title) {
        if (!title.startsWith("drums.mid")) return;
        EXPECT_EQ(w.window.channelSelector()->SetTargetByName(9, "RockDrumKit(HalfOpen)"), 0);
        EXPECT_EQ(w.window.channelSelector()->SetChannelOn(9, true), 0);
    });
    const QByteArray old = GuitarSong({Note(1200, 0, 62)});
    w.writeSong("a_gs_vexa.mid", old);
    w.writeSong("b_vexa.mid", old);
    w.runFolder();
    EXPECT_EQ(w.kinds(), (QStringList{"folder", "confirm", "message"}));  // no GS, drum or overwrite question
    EXPECT_EQ(w.messages(), QStringList{kSomeError});
    EXPECT_TRUE(QFileInfo::exists(w.songs.filePath("drums_vexa.mid")));
    for (const char* name : {"a_gs_vexa.mid", "b_vexa.mid"}) EXPECT_NE(FileBytes(w.songs.filePath(name)), old) << name;
    const QString log = w.logBody();
    for (const char* name : {"a_gs_vexa.mid", "b_vexa.mid"})
        EXPECT_TRUE(log.contains("    Warning : The file \"" + w.songs.filePath(name) + "\" was replaced.\r\n")) << name;
    EXPECT_TRUE(log.contains("    Warning : This file may be GS song.\r\n"));
    // The earlier outputs are songs too: they are converted again.
    EXPECT_TRUE(QFileInfo::exists(w.songs.filePath("a_gs_vexa_vexa.mid")));
    EXPECT_TRUE(QFileInfo::exists(w.songs.filePath("b_vexa_vexa.mid")));
}

// "No" and "&Rename" answer for one file only: file 4 has no output yet and
// is written without a question or a dialog.
TEST(MainWindowFolder, NoAndRenameApplyToOneFile) {
    struct Case {
        QMessageBox::StandardButton answer;
        int saveDialogs;
    };
    for (const Case& c : {Case{QMessageBox::No, 0}, Case{QMessageBox::Save, 1}}) {
        FolderWindow w;
        for (const char* name : {"f1.mid", "f2.mid", "f3.mid", "f4.mid"}) w.writeSong(name, GuitarSong());
        w.writeSong("f2_vexa.mid", "old output");
        w.prompter.buttonAnswers = {c.answer};
        const QString renamed = w.songs.filePath("renamed.out");
        w.prompter.pathAnswers = {renamed};  // the save dialog after "&Rename"
        w.runFolder();
        EXPECT_EQ(w.kinds().count("save"), c.saveDialogs);
        EXPECT_EQ(w.messages().count(kSomeError), 1);
        EXPECT_EQ(FileBytes(w.songs.filePath("f2_vexa.mid")), QByteArray("old output"));
        EXPECT_EQ(QFileInfo::exists(renamed), c.answer == QMessageBox::Save);
        for (const char* name : {"f1_vexa.mid", "f3_vexa.mid", "f4_vexa.mid"})
            EXPECT_EQ(FileBytes(w.songs.filePath(name)).left(4), QByteArray("MThd")) << name;
        if (c.answer == QMessageBox::No)
            EXPECT_TRUE(w.logBody().contains(
                w.entry("f2.mid", {"Replacing \"" + w.songs.filePath("f2_vexa.mid") + "\" was canceled."})));
    }
}

TEST(MainWindowFolder, FiftyUnreadableFilesAreLoggedInTheChosenFolder) {
    FolderWindow w;
    // The last song read lies elsewhere: the log still goes to the chosen folder.
    QTemporaryDir other;
    QFile song(other.filePath("elsewhere.mid"));
    ASSERT_TRUE(song.open(QIODevice::WriteOnly));
    song.write(GuitarSong());
    song.close();
    w.window.openFile(song.fileName());
    ASSERT_EQ(w.window.currentSongPath(), song.fileName());
    QString expected;
    for (int n = 0; n < 50; ++n) {
        const QString name = QString("bad%1.mid").arg(n, 2, 10, QLatin1Char('0'));
        w.writeSong(name, "not a song");
        expected += w.entry(name, {"unexpected file."});
    }
    w.runFolder();
    EXPECT_EQ(w.logBody(), expected);
    EXPECT_FALSE(QFileInfo::exists(other.filePath("Error.log")));
    EXPECT_EQ(w.messages().last(), kSomeError);
    EXPECT_EQ(w.core().CountOf("Convert"), 0);
}

TEST(MainWindowFolder, ALogThatCannotBeWrittenIsShownInTheBox) {
    FolderWindow w;
    w.writeSong("bad.mid", "not a song");
    ASSERT_TRUE(QDir(w.songs.path()).mkdir("Error.log"));
    w.runFolder();
    ASSERT_EQ(w.messages().size(), 1);
    const QString shown = w.messages().front();
    EXPECT_TRUE(shown.startsWith("*** Phrasor V2.1.0 <")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(w.entry("bad.mid", {"unexpected file."}))) << shown.toStdString();
    EXPECT_TRUE(QFileInfo(w.songs.filePath("Error.log")).isDir());
}
