// Converting and saving in the real window (offscreen, fake core, Brune2):
// the drum-note question, the drum-setup clean-up, the ticks, the busy state
// and the animation, the messages, the proposed name, the save dialog, the
// format change and the write.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QPixmap>

#include "app/ConvertThread.h"
#include "app/SmfAnalysis.h"
#include "app/SongFile.h"
#include "data/VoiceAddressTable.h"
#include "tests/app/MainWindowConvertWindow.h"
#include "tests/app/SmfSongBuilder.h"

using namespace smfsong;

namespace {

// A song of `format` (0: one track) with the events given on channel tracks.
QByteArray ConvertSong(std::initializer_list<EventPtr> events, WORD format = 1) {
    CSmf smf;
    MakeSong(smf, format, 480);
    if (format == 1) AddTrack(smf, {Tempo(0, 500000), Eot(0)});
    CTrk& track = AddTrack(smf, {Eot(1920)});
    InsertAll(track, events);
    QByteArray bytes;
    EXPECT_GE(smf.ToByteArray(bytes), 0);
    return bytes;
}

QByteArray PianoTune(WORD format = 1) {
    return ConvertSong({Note(480, 0, 60), Note(960, 0, 60, 0)}, format);
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The header's format field of SMF bytes.
int HeaderFormat(const QByteArray& bytes) {
    return bytes.size() < 10 ? -1 : (int(uchar(bytes[8])) << 8) | int(uchar(bytes[9]));
}

bool RowsHidden(const SongWindow& w) {
    for (int ch = 0; ch < 16; ++ch) {
        const auto& r = w.row(ch);
        if (r.btnAfter->isVisibleTo(&w.window) || r.txtAfter->isVisibleTo(&w.window) ||
            r.txtProgName->isVisibleTo(&w.window))
            return false;
    }
    return !w.window.form().btnConvert->isVisibleTo(&w.window);
}

}  // namespace

TEST(MainWindowConvert, WithoutASongNothingHappens) {
    ConvertWindow w;
    w.window.convert();
    QTest::qWait(50);
    EXPECT_TRUE(w.prompter.asked.empty());
    EXPECT_FALSE(w.window.worker()->isRunning());
    EXPECT_EQ(w.core().CountOf("Convert"), 0);
    EXPECT_FALSE(w.busy());
    EXPECT_FALSE(w.window.isWindowModified());
}

TEST(MainWindowConvert, DrumNotesTheKitDeletesAreAskedAboutAndCancelLeavesTheWindowUsable) {
    ConvertWindow w;
    DrumNoteSet rock;
    w.openSong("drums.mid", ConvertSong({Note(480, 9, 22), Note(600, 9, 22, 0), Note(720, 9, 36), Note(900, 9, 36, 0)}));
    w.setRockKit();
    ASSERT_EQ(w.selector().GetDrumNoteSet(9, &rock), 0);
    ASSERT_TRUE(rock.Contains(22));
    ASSERT_FALSE(rock.Contains(36));
    QString program, drum;
    ASSERT_EQ(w.selector().GetProgramName(127, 0, 0, &program), 0);
    ASSERT_EQ(w.selector().GetDrumVoiceName(127, 0, 0, 22, &drum), 0);
    ASSERT_FALSE(program.isEmpty());
    ASSERT_FALSE(drum.isEmpty());

    w.prompter.scrollAnswers = {false};
    w.window.convert();
    ASSERT_EQ(w.kinds("scroll"), 1);
    const auto* asked = w.last("scroll");
    EXPECT_EQ(asked->title, QString("Phrasor"));
    EXPECT_EQ(asked->text, "Some Note will be deleted in this process. continue or not?\r\n" + QString("\r\nch10 : 127-0-1 : ") +
                               program + "\r\n" + "note[A#-1] : " + drum + "\r\n");
    QTest::qWait(50);
    EXPECT_FALSE(w.window.worker()->isRunning());
    EXPECT_EQ(w.core().CountOf("Convert"), 0);
    EXPECT_FALSE(w.busy());
    EXPECT_FALSE(w.window.isWindowModified());
    EXPECT_TRUE(w.window.form().btnConvert->isVisibleTo(&w.window));
    EXPECT_TRUE(w.window.form().actionOpen->isEnabled());

    // Continue converts the same song.
    w.prompter.pathAnswers = {QString()};
    w.convertToTheEnd();
    EXPECT_EQ(w.kinds("scroll"), 2);
    EXPECT_GE(w.core().CountOf("Convert"), 1);
}

TEST(MainWindowConvert, NotesTheKitKeepsAskNothing) {
    ConvertWindow w;
    w.openSong("kept.mid", ConvertSong({Note(480, 9, 36), Note(600, 9, 36, 0), Note(720, 9, 38), Note(900, 9, 38, 0)}));
    w.setRockKit();
    w.prompter.pathAnswers = {QString()};
    w.convertToTheEnd();
    EXPECT_EQ(w.kinds("scroll"), 0);
    EXPECT_EQ(w.core().CountOf("Convert"), 1);
}

TEST(MainWindowConvert, DrumSetupEditsOfThePartModesSetupAreRemovedBeforeTheRun) {
    // The four drum setups' edits of note 36, and the channel's own NRPN edit.
    const auto setup = [](int n) {
        return QByteArray::fromHex(QByteArray("43104c3") + QByteArray::number(n) + "240040f7");
    };
    for (int mode = 0; mode <= 5; ++mode) {
        SCOPED_TRACE(mode);
        ConvertWindow w;
        w.openSong("setup.mid", ConvertSong({KvOn(0), KvPart(0, 9, 0x07, BYTE(mode)),
                                             Sysex(0, {0x43, 0x10, 0x4C, 0x30, 0x24, 0x00, 0x40, 0xF7}),
                                             Sysex(0, {0x43, 0x10, 0x4C, 0x31, 0x24, 0x00, 0x40, 0xF7}),
                                             Sysex(0, {0x43, 0x10, 0x4C, 0x32, 0x24, 0x00, 0x40, 0xF7}),
                                             Sysex(0, {0x43, 0x10, 0x4C, 0x33, 0x24, 0x00, 0x40, 0xF7}),
                                             Ctrl(0, 9, 99, 24), Ctrl(0, 9, 98, 36), Ctrl(0, 9, 6, 64),
                                             Note(480, 9, 36), Note(600, 9, 36, 0)}));
        w.setRockKit();
        BYTE partMode = 0xFF;
        ASSERT_EQ(w.selector().GetPartMode(9, &partMode), 0);
        ASSERT_EQ(partMode, mode);
        w.prompter.pathAnswers = {QString()};
        w.convertToTheEnd();
        ASSERT_EQ(w.core().m_Converts.size(), 1u);
        const QByteArray& input = w.core().m_Converts.front().input;
        for (int n = 0; n < 4; ++n)
            EXPECT_EQ(input.contains(setup(n)), mode < 2 || n != mode - 2) << "setup " << n;
        // The data entry of the drum-note NRPN (06 40).
        EXPECT_EQ(input.contains(QByteArray::fromHex("0640")), mode < 2) << "the NRPN edit";
    }
}

TEST(MainWindowConvert, TheBeatResolutionGivesTheTicks) {
    struct Case {
        int index, ticks;
    };
    for (const Case c : {Case{4, 240}, Case{14, 2880}, Case{7, 480}}) {
        SCOPED_TRACE(c.index);
        ConvertWindow w;
        w.openSong("ticks.mid", PianoTune());
        w.switchOn(0);
        ASSERT_TRUE(QMetaObject::invokeMethod(&w.window, "setBeatResolution", Q_ARG(int, c.index)));
        ASSERT_EQ(w.window.beatResolutionIndex(), c.index);
        w.prompter.pathAnswers = {QString()};
        w.convertToTheEnd();
        ASSERT_EQ(w.core().m_Converts.size(), 1u);
        EXPECT_EQ(w.core().m_Converts.front().resolution, c.ticks);
    }
    // The window keeps its index in 0..14; the table answers 240 outside.
    for (int index : {-1, 15}) EXPECT_EQ(BeatResolutionTicks(index), 240) << index;
}

TEST(MainWindowConvert, WhileTheWorkerRunsTheWindowIsBusyAndAnimated) {
    ConvertWindow w;
    w.openSong("busy.mid", PianoTune());
    w.switchOn(0);
    w.core().m_ConvertDelayMs = 1900;
    bool completeAtSave = false;
    w.prompter.onAsk = [&] {
        completeAtSave = w.window.form().lblNowConv->isVisibleTo(&w.window) &&
                         w.window.form().lblNowConv->text() == QString("COMPLETE !!") &&
                         !w.window.form().lblConvMovie->isVisibleTo(&w.window);
    };
    w.prompter.pathAnswers = {QString()};
    w.window.convert();
    const Ui::MainWindow& ui = w.window.form();
    EXPECT_TRUE(w.busy());
    EXPECT_FALSE(w.window.acceptDrops());
    EXPECT_FALSE(ui.btnConvert->isVisibleTo(&w.window));
    EXPECT_FALSE(ui.btnExit->isVisibleTo(&w.window));
    for (QMenu* menu : {ui.menuFile, ui.menuPreference, ui.menuHelp})
        for (QAction* action : menu->actions()) EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    for (QAction* action : w.window.actions()) EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    EXPECT_TRUE(w.window.isWindowModified());

    // The frames, watched while the worker runs: 1, 2, ... 30, 1, ...
    std::vector<int> frames;
    bool picturesMatch = true;
    QElapsedTimer clock;
    clock.start();
    while (w.window.worker()->isRunning() || w.window.isMovieRunning()) {
        QTest::qWait(5);
        const int frame = w.window.movieFrame();
        if (frame == 0 || (!frames.empty() && frames.back() == frame) || !w.window.isMovieRunning()) continue;
        frames.push_back(frame);
        EXPECT_EQ(ui.lblNowConv->text(), QString("NOW CONVERTING..."));
        EXPECT_TRUE(ui.lblConvMovie->isVisibleTo(&w.window));
        const QImage shown = ui.lblConvMovie->pixmap(Qt::ReturnByValue).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage expected =
            QImage(QString(":/res/Movie/MovieFrame%1.bmp").arg(frame, 2, 10, QChar('0'))).convertToFormat(QImage::Format_RGB32);
        picturesMatch = picturesMatch && !expected.isNull() && shown == expected;
        if (clock.elapsed() > 20000) break;
    }
    const qint64 elapsed = clock.elapsed();
    EXPECT_TRUE(picturesMatch);
    ASSERT_GE(frames.size(), 10u);
    int wraps = 0;
    for (size_t i = 1; i < frames.size(); ++i) {
        const int step = (frames[i] - frames[i - 1] + 30) % 30;
        EXPECT_GE(step, 1) << i;
        EXPECT_LE(step, 3) << i;  // a busy moment may hide a frame from the watcher, not from the timer
        wraps += frames[i] < frames[i - 1];
    }
    EXPECT_GE(wraps, 1);
    EXPECT_LE(*std::max_element(frames.begin(), frames.end()), 30);
    // About one frame every 50 ms.
    EXPECT_GE(elapsed, 1500);

    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.busy(); }, 5000));
    EXPECT_TRUE(completeAtSave);
    EXPECT_TRUE(w.window.acceptDrops());
    EXPECT_TRUE(ui.btnExit->isVisibleTo(&w.window));
    EXPECT_TRUE(ui.actionOpen->isEnabled());
    EXPECT_TRUE(ui.lblNowConv->isVisibleTo(&w.window));
    EXPECT_EQ(ui.lblNowConv->text(), QString("COMPLETE !!"));
}

TEST(MainWindowConvert, ARunThatConvertedNothingShowsItsMessagesNotComplete) {
    ConvertWindow w;
    w.openSong("fails.mid", PianoTune());
    w.switchOn(0);
    w.core().m_FailAll = true;
    bool labelHiddenAtMessage = false;
    w.prompter.onAsk = [&] { labelHiddenAtMessage = !w.window.form().lblNowConv->isVisibleTo(&w.window); };
    w.convertToTheEnd();
    EXPECT_EQ(w.messages(), QStringList{QString(ConvertThread::kConversionError) + "\n" +
                                        QString(ConvertThread::kNoProcessChannel)});
    EXPECT_TRUE(labelHiddenAtMessage);
    EXPECT_FALSE(w.window.form().lblNowConv->isVisibleTo(&w.window));
    EXPECT_EQ(w.kinds("save"), 0);
    EXPECT_FALSE(w.window.isWindowModified());
    EXPECT_TRUE(RowsHidden(w));
}

TEST(MainWindowConvert, TheProposedNameKeepsTheSuffixAndInnerDots) {
    struct Case {
        const char* song;
        const char* proposal;
    };
    const Case cases[] = {
        {"/songs/tune.MID", "/songs/tune_vexa.MID"},
        {"/songs/My.Song.mid", "/songs/My.Song_vexa.mid"},
        {"/songs/x", "/songs/x_vexa"},  // not "x_vexa."
        {"/a.b/x", "/a.b/x_vexa"},
    };
    for (const Case& c : cases) EXPECT_EQ(MainWindow::proposeOutputName(c.song), QString(c.proposal)) << c.song;
}

TEST(MainWindowSave, TheDialogProposesTheNameWithTheSongsFilterAndTheChosenFilterSetsTheFormat) {
    const QStringList filters = MainWindow::saveFilters();
    ASSERT_EQ(filters, (QStringList{"Standard MIDI File format0(*.mid)", "Standard MIDI File format1(*.mid)",
                                    "ZQ File(*.mid)"}));
    struct Case {
        const char* what;
        WORD format;
        bool zq;
        int preselected;  // index of the filter
        int chosen;       // -1: the preselected one
        int written;      // header format of the file written
    };
    const Case cases[] = {
        {"format 0 kept", 0, false, 0, -1, 0},
        {"format 0 saved as format 1", 0, false, 0, 1, 1},
        {"format 1 kept", 1, false, 1, -1, 1},
        {"format 1 saved as format 0", 1, false, 1, 0, 0},
        {"a ZQ song", 0, true, 2, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConvertWindow w;
        CSmf smf;
        ASSERT_EQ(smf.FromByteArray(PianoTune(c.format)), 0);
        if (c.zq) ASSERT_EQ(smf.MakeZqChunks(), 0);
        QByteArray bytes;
        ASSERT_GE(smf.ToByteArray(bytes), 0);
        const QString song = w.openSong("tune.MID", bytes);
        w.switchOn(0);
        const QString proposal = QFileInfo(song).path() + "/tune_vexa.MID";
        w.prompter.pathAnswers = {proposal};
        if (c.chosen >= 0) w.prompter.filterAnswers = {filters[c.chosen]};
        w.convertToTheEnd();
        ASSERT_EQ(w.kinds("save"), 1);
        const auto* asked = w.last("save");
        EXPECT_EQ(asked->title, QString("MIDI file"));
        EXPECT_EQ(asked->path, proposal);
        EXPECT_EQ(asked->filter, filters.join(";;"));
        EXPECT_EQ(asked->selectedFilter, filters[c.preselected]);
        const QByteArray written = ReadAll(proposal);
        EXPECT_EQ(HeaderFormat(written), c.written);
        CSmf back;
        EXPECT_EQ(back.FromByteArray(written), 0);
        if (c.zq) EXPECT_TRUE(written.contains("ZQIH"));
        EXPECT_TRUE(w.messages().isEmpty());
        EXPECT_FALSE(w.window.isWindowModified());
        EXPECT_TRUE(RowsHidden(w));
        EXPECT_EQ(w.window.currentSongPath(), song);
    }
}

TEST(MainWindowSave, TheMessagesComeInOneBoxBeforeTheDialog) {
    ConvertWindow w;
    w.openSong("two.mid", ConvertSong({Note(480, 0, 60), Note(960, 0, 60, 0), Note(480, 1, 60), Note(960, 1, 60, 0),
                                       Note(480, 2, 60), Note(960, 2, 60, 0)}));
    for (int ch : {0, 1, 2}) w.switchOn(ch);
    w.core().m_FailChannels = {1, 2};
    w.prompter.pathAnswers = {QString()};
    w.convertToTheEnd();
    ASSERT_EQ(w.prompter.asked.size(), 2u);
    EXPECT_EQ(w.prompter.asked[0].kind, QString("message"));
    EXPECT_EQ(w.prompter.asked[0].icon, QMessageBox::Warning);
    EXPECT_EQ(w.prompter.asked[0].title, QString("Phrasor"));
    EXPECT_EQ(w.prompter.asked[0].text,
              QString(ConvertThread::kConversionError) + "\n" + QString(ConvertThread::kConversionError));
    EXPECT_EQ(w.prompter.asked[1].kind, QString("save"));
}

TEST(MainWindowSave, ACancelledDialogWritesNothingAndTheNextOpenAsksToSave) {
    ConvertWindow w;
    const QString song = w.openSong("keep.mid", PianoTune());
    w.switchOn(0);
    w.prompter.pathAnswers = {QString()};
    w.convertToTheEnd();
    EXPECT_EQ(w.kinds("save"), 1);
    EXPECT_EQ(QDir(w.songs.path()).entryList(QDir::Files), QStringList{"keep.mid"});
    EXPECT_TRUE(w.window.isWindowModified());
    EXPECT_TRUE(RowsHidden(w));
    // The path still names the song, but no song is loaded: Alt+C does nothing.
    w.prompter.asked.clear();
    w.window.form().actionConvert->trigger();
    QTest::qWait(50);
    EXPECT_TRUE(w.prompter.asked.empty());
    EXPECT_EQ(w.core().CountOf("Convert"), 1);
    EXPECT_FALSE(w.busy());

    // Cancel keeps the window as it is; Yes offers the same result again.
    w.prompter.asked.clear();
    w.prompter.buttonAnswers = {QMessageBox::Cancel};
    w.window.openFile(song);
    EXPECT_EQ(w.messages(), QStringList{"Save document?"});
    EXPECT_TRUE(RowsHidden(w));
    const QString output = w.songs.filePath("keep_vexa.mid");
    w.prompter.buttonAnswers = {QMessageBox::Yes};
    w.prompter.pathAnswers = {output};
    w.window.openFile(song);
    EXPECT_EQ(w.kinds("save"), 1);
    EXPECT_EQ(w.last("save")->path, output);
    EXPECT_EQ(ReadAll(output).left(4), QByteArray("MThd"));
    EXPECT_FALSE(w.window.isWindowModified());
    EXPECT_FALSE(RowsHidden(w));  // the song opened after the save
}

TEST(MainWindowSave, AFailedWriteIsReportedKeepsTheModifiedFlagAndTheOldFile) {
    ConvertWindow w;
    w.openSong("fail.mid", PianoTune());
    w.switchOn(0);
    // An output that is a folder.
    const QString folder = w.songs.filePath("out.mid");
    ASSERT_TRUE(QDir(w.songs.path()).mkdir("out.mid"));
    w.prompter.pathAnswers = {folder};
    w.convertToTheEnd();
    EXPECT_EQ(w.messages(), QStringList{"\"" + folder + "\" write error."});
    EXPECT_TRUE(w.window.isWindowModified());
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // An existing output whose write fails keeps its bytes.
    const QString old = w.writeSong("old.mid", QByteArray("the old bytes"));
    w.window.setSongFileWrite([](QIODevice& device, const QByteArray& bytes) {
        device.write(bytes.left(5));
        return qint64(-1);
    });
    w.prompter.asked.clear();
    w.prompter.buttonAnswers = {QMessageBox::No};
    w.openSong("fail.mid", PianoTune());
    w.switchOn(0);
    w.prompter.asked.clear();
    w.prompter.pathAnswers = {old};
    w.convertToTheEnd();
    EXPECT_EQ(w.messages(), QStringList{"\"" + old + "\" write error."});
    EXPECT_EQ(ReadAll(old), QByteArray("the old bytes"));
    EXPECT_TRUE(w.window.isWindowModified());
}

TEST(SongFileWrite, WritesWholeFilesAndLeavesTheOldOneOnFailure) {
    QTemporaryDir dir;
    const QString path = dir.filePath("song.mid");
    EXPECT_EQ(WriteSongFile(path, QByteArray("new song")), 0);
    EXPECT_EQ(ReadAll(path), QByteArray("new song"));
    struct Case {
        const char* what;
        SongFileWrite write;
        int result;
    };
    const Case cases[] = {
        {"failed write", [](QIODevice&, const QByteArray&) { return qint64(-1); }, int(0x80000002)},
        {"short write", [](QIODevice& d, const QByteArray& b) { return d.write(b.left(3)); }, int(0x80000002)},
        {"nothing written", [](QIODevice&, const QByteArray&) { return qint64(0); }, int(0x80000002)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WriteSongFile(path, QByteArray("other bytes"), c.write), c.result) << c.what;
        EXPECT_EQ(ReadAll(path), QByteArray("new song")) << c.what;
    }
    EXPECT_EQ(WriteSongFile(dir.path(), QByteArray("x")), int(0x80000001));
    EXPECT_EQ(WriteSongFile(path, QByteArray()), int(0x80000002));
    EXPECT_EQ(ReadAll(path), QByteArray("new song"));
}

TEST(MainWindowConvert, ADrumChannelSwitchedOffIsNeitherAskedAboutNorCleaned) {
    ConvertWindow w;
    w.openSong("off.mid", ConvertSong({KvOn(0), Sysex(0, {0x43, 0x10, 0x4C, 0x30, 0x24, 0x00, 0x40, 0xF7}),
                                       Note(480, 9, 22), Note(600, 9, 22, 0), Note(480, 0, 60), Note(960, 0, 60, 0)}));
    w.setRockKit();
    QTest::mouseClick(w.row(9).btnAfter, Qt::LeftButton);
    bool on = true;
    ASSERT_EQ(w.selector().IsChannelOn(9, &on), 0);
    ASSERT_FALSE(on);
    w.switchOn(0);
    w.prompter.pathAnswers = {QString()};
    w.convertToTheEnd();
    EXPECT_EQ(w.kinds("scroll"), 0);
    ASSERT_EQ(w.core().m_Converts.size(), 1u);
    EXPECT_TRUE(w.core().m_Converts.front().input.contains(QByteArray::fromHex("43104c30240040f7")));
}
