// A folder run in the real window over the engine's own core (offscreen,
// Brune2, "Skip Errors" unticked, dialogs answered through the prompter):
// corpus songs, a GS song, a song whose output is already there, its output
// taken as a song of its own, and a file that is no song.
#include <gtest/gtest.h>

#include <QDir>

#include "tests/app/MainWindowFolderWindow.h"
#include "tests/app/SmfSongBuilder.h"
#include "tests/appcore/EngineCore.h"

using namespace enginecore;
using namespace smfsong;

namespace {

struct EngineFolderWindow : EngineFolder, FolderWindow {
    EngineFolderWindow() : FolderWindow(EngineCoreHolder) {}
};

}  // namespace

TEST(MainWindowFolderEngine, SixFilesWriteThreeOutputsAndLogWhatWentWrongInFileOrder) {
    EngineFolderWindow w;
    w.copySong("beat.mid");
    w.copySong("TheEntertainer.mid");
    w.writeSong("a_gs.mid", GuitarSong({GsReset(0)}));  // a GS song, a GM nylon guitar on channel 1
    w.writeSong("c.mid", CorpusSong("beat.mid"));
    const QByteArray oldOutput = CorpusSong("TheEntertainer.mid");
    w.writeSong("c_vexa.mid", oldOutput);
    w.writeSong("d_bad.mid", QByteArray("not a song"));
    // a_gs: the GS question (OK); c: the overwrite box (Yes).
    w.prompter.buttonAnswers = {QMessageBox::Ok, QMessageBox::Yes};
    w.runFolder();

    // Every file counts; the file that does not read gets no title.
    EXPECT_EQ(w.titles.join('|').toStdString(),
              QStringList({"a_gs.mid[*] (1/6) - Phrasor V2.1", "beat.mid[*] (2/6) - Phrasor V2.1",
                           "c.mid[*] (3/6) - Phrasor V2.1", "c_vexa.mid[*] (4/6) - Phrasor V2.1",
                           "TheEntertainer.mid[*] (6/6) - Phrasor V2.1"})
                  .join('|')
                  .toStdString());
    EXPECT_EQ(QDir(w.songs.path()).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase).join('|').toStdString(),
              "a_gs.mid|a_gs_vexa.mid|beat.mid|beat_vexa.mid|c.mid|c_vexa.mid|d_bad.mid|Error.log|TheEntertainer.mid");
    // c's output replaced the old one with beat's conversion: the same song, so the same bytes.
    const QByteArray beatOut = FileBytes(w.songs.filePath("beat_vexa.mid"));
    EXPECT_NE(FileBytes(w.songs.filePath("c_vexa.mid")), oldOutput);
    EXPECT_EQ(FileBytes(w.songs.filePath("c_vexa.mid")), beatOut);
    // The pop kit keeps all 390 notes of beat's drums at their starts.
    ChannelPlay drums;
    ASSERT_TRUE(ReadChannel(beatOut, 9, drums));
    EXPECT_EQ(drums.keys.size(), 390u);
    EXPECT_TRUE(KeptNotesKeepTheirStarts(CorpusSong("beat.mid"), beatOut, 9, {}));
    ChannelPlay nylon;
    ASSERT_TRUE(ReadChannel(FileBytes(w.songs.filePath("a_gs_vexa.mid")), 0, nylon));
    EXPECT_EQ(nylon.bankMsb, 8);
    EXPECT_EQ(nylon.keys, std::vector<int>{60});

    const QString noChannel = QStringLiteral("There is no process channel");
    EXPECT_EQ(w.logBody().toStdString(),
              ("\r\n>>> " + w.path("a_gs.mid") +
               "\r\n    Warning : This file may be GS song.\r\n"
               "        This application does not work well for GS song.\r\n" +
               w.entry("c.mid", {"The file \"" + w.songs.filePath("c_vexa.mid") + "\" was replaced."}) +
               w.entry("c_vexa.mid", {noChannel}) + w.entry("d_bad.mid", {"unexpected file."}) +
               w.entry("TheEntertainer.mid", {noChannel}))
                  .toStdString());
    // No drum question (the pop kit keeps beat's notes); the boxes in order.
    EXPECT_EQ(w.kinds(), (QStringList{"folder", "confirm", "message", "message", "message", "message", "message"}));
    const QStringList texts = w.messages();
    ASSERT_EQ(texts.size(), 5) << texts.join('|').toStdString();
    EXPECT_TRUE(texts[0].startsWith("This file may be GS song.")) << texts[0].toStdString();
    EXPECT_EQ(texts.mid(1).join('|').toStdString(),
              ("\"" + w.songs.filePath("c_vexa.mid") + "\" already exists. Do you want to replace it ?|" + noChannel +
               "|" + noChannel + "|Some error occurred. Please confirm in Error.log file.")
                  .toStdString());
}
