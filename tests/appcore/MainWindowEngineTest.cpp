// Converting and saving in the real window over the engine's own core
// (offscreen, Brune2, dialogs answered through the prompter): corpus songs
// chosen through the popups or by name, converted, saved and read back.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <set>

#include "app/ConvertThread.h"
#include "app/MainWindow.h"
#include "tests/app/MainWindowConvertWindow.h"
#include "tests/appcore/EngineCore.h"
#include "tests/data/DrumSong.h"

using namespace enginecore;

namespace {

struct EngineConvertWindow : EngineFolder, ConvertWindow {
    EngineConvertWindow() : ConvertWindow(EngineCoreHolder) {}

    // Opens the row's target field and clicks the three popups' items.
    void choose(int ch, const QStringList& items) {
        QTest::mousePress(row(ch).cboAfter, Qt::LeftButton);
        QTest::mouseRelease(row(ch).cboAfter, Qt::LeftButton);
        for (int k = 0; k < 3; ++k) {
            ASSERT_TRUE(window.popup(k + 1)->isVisible()) << k + 1;
            ClickItem(window.popup(k + 1), items[k]);
        }
        EXPECT_EQ(row(ch).txtAfter->text(), items[2]);
    }
    QByteArray written(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

}  // namespace

TEST(MainWindowEngine, TheEntertainerAsANylonGuitarThroughThePopupsSavesInFormatOneAndReadsBack) {
    EngineConvertWindow w;
    const QString song = w.copySong("TheEntertainer.mid");
    w.window.openFile(song);
    ASSERT_EQ(w.window.currentSongPath(), song);
    w.switchOn(0);
    w.choose(0, {"Other Normal Voices", "NylonGuitar", "NylonGuitar(Smooth)"});
    int row = -1;
    ASSERT_EQ(w.selector().GetTarget(0, nullptr, nullptr, nullptr, &row, nullptr), 0);
    ASSERT_EQ(row, 1);

    const QString proposal = QFileInfo(song).path() + "/TheEntertainer_vexa.mid";
    w.prompter.pathAnswers = {proposal};
    w.prompter.filterAnswers = {MainWindow::saveFilters().at(1)};
    w.convertToTheEnd();
    EXPECT_TRUE(w.messages().isEmpty()) << w.messages().join("|").toStdString();
    ASSERT_EQ(w.kinds("save"), 1);
    EXPECT_EQ(w.last("save")->path, proposal);
    EXPECT_EQ(w.window.form().lblNowConv->text(), QString("COMPLETE !!"));
    EXPECT_FALSE(w.window.isWindowModified());

    const QByteArray bytes = w.written(proposal);
    ASSERT_GE(bytes.size(), 10);
    EXPECT_EQ((int(uchar(bytes[8])) << 8) | int(uchar(bytes[9])), 1);
    ChannelPlay play;
    ASSERT_TRUE(ReadChannel(bytes, 0, play));
    ASSERT_FALSE(play.velocities.empty());
    EXPECT_EQ(play.bankMsb, 8);
    EXPECT_EQ(play.bankLsb, 0);
    EXPECT_EQ(play.program, 0);
    for (int velocity : play.velocities) EXPECT_TRUE(InNylonSmoothZone(velocity)) << velocity;
    EXPECT_TRUE(play.kvSystemOnAtZero);
}

TEST(MainWindowEngine, BeatOnTheExpandedJazzBrushAsksAboutItsThreeNotesThenConvertsSavesAndReloads) {
    EngineConvertWindow w;
    const QString song = w.copySong("beat.mid");
    w.window.openFile(song);
    ASSERT_EQ(w.window.currentSongPath(), song);
    ASSERT_TRUE(w.row(9).btnAfter->isChecked());  // the recommended pop kit
    w.choose(9, {"Other Drum Kits", "JazzBrushExp", "JazzBrushExpd.(HalfOpen)"});
    int row = -1;
    BYTE msb = 0, lsb = 0, program = 0;
    ASSERT_EQ(w.selector().GetTarget(9, &msb, &lsb, &program, &row, nullptr), 0);
    ASSERT_EQ(row, 149);

    QString programName;
    ASSERT_EQ(w.selector().GetProgramName(127, 0, 0, &programName), 0);
    QString expected =
        "Some Note will be deleted in this process. continue or not?\r\n\r\nch10 : 127-0-1 : " + programName + "\r\n";
    const struct {
        BYTE key;
        const char* shown;
    } deleted[] = {{62, "D3"}, {69, "A3"}, {75, "D#4"}};
    for (const auto& d : deleted) {
        QString drum;
        ASSERT_EQ(w.selector().GetDrumVoiceName(127, 0, 0, d.key, &drum), 0);
        ASSERT_FALSE(drum.isEmpty());
        expected += QString("note[%1] : %2\r\n").arg(d.shown, drum);
    }

    const QString output = QFileInfo(song).path() + "/beat_vexa.mid";
    w.prompter.scrollAnswers = {true};
    w.prompter.pathAnswers = {output};
    w.convertToTheEnd();
    ASSERT_EQ(w.kinds("scroll"), 1);
    EXPECT_EQ(w.last("scroll")->text, expected);
    EXPECT_TRUE(w.messages().isEmpty()) << w.messages().join("|").toStdString();
    EXPECT_EQ(w.window.form().lblNowConv->text(), QString("COMPLETE !!"));
    ASSERT_EQ(w.kinds("save"), 1);
    EXPECT_EQ(w.last("save")->path, output);
    EXPECT_FALSE(w.window.isWindowModified());

    const QByteArray bytes = w.written(output);
    ChannelPlay drums;
    ASSERT_TRUE(ReadChannel(bytes, 9, drums));
    // The three keys the box named are gone (26 notes); the other 364 notes
    // keep their starts.
    EXPECT_EQ(drums.keys.size(), 364u);
    for (const auto& d : deleted) EXPECT_EQ(std::count(drums.keys.begin(), drums.keys.end(), d.key), 0) << int(d.key);
    EXPECT_TRUE(KeptNotesKeepTheirStarts(CorpusSong("beat.mid"), bytes, 9, {62, 69, 75}));
    EXPECT_EQ(drums.bankMsb, msb);
    EXPECT_EQ(drums.bankLsb, lsb);
    EXPECT_EQ(drums.program, program);
    // The saved song opens in the window again.
    w.window.openFile(output);
    EXPECT_EQ(w.window.currentSongPath(), output);
    EXPECT_TRUE(w.row(9).btnAfter->isVisibleTo(&w.window));
}

namespace {

// The key of a note name as the drum box shows it ("C3" is 60, "D#-1" 15).
int NoteKey(const QString& name) {
    static const QStringList names = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    int letters = name.size() > 1 && name[1] == '#' ? 2 : 1;
    return names.indexOf(name.left(letters)) + 12 * (name.mid(letters).toInt() + 2);
}

// The keys of the box's "note[...]" lines.
std::set<int> ListedKeys(const QString& text) {
    std::set<int> keys;
    for (const QString& line : text.split("\r\n"))
        if (line.startsWith("note[")) keys.insert(NoteKey(line.mid(5, line.indexOf(']') - 5)));
    return keys;
}

}  // namespace

// A note on every key (key k at tick 240 k) converted for a drum row: the
// keys the box lists before the conversion are exactly the keys whose notes
// are missing from the saved song; a row that deletes nothing asks nothing.
TEST(MainWindowEngine, TheDrumBoxListsExactlyTheKeysTheConversionDeletes) {
    const struct {
        int row;
        const char* target;
        bool asks;
    } cases[] = {{122, "RockDrumKit(HalfOpen)", true},
                 {144, "JazzBrushCmp(fromBrushKit)", true},
                 {145, "JazzBrushCmp(fromRealBrush)", false},
                 {149, "JazzBrushExpd.(HalfOpen)", true},
                 {125, "RockDrumKit(ChangePC)", false}};
    const drumsong::Bytes built = drumsong::Song(drumsong::KeyPerTick());
    const QByteArray song(reinterpret_cast<const char*>(built.data()), int(built.size()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        EngineConvertWindow w;
        w.openSong("keys.mid", song);
        ASSERT_EQ(w.selector().SetTargetByName(9, QString::fromLatin1(c.target)), 0);
        int row = -1;
        ASSERT_EQ(w.selector().GetTarget(9, nullptr, nullptr, nullptr, &row, nullptr), 0);
        ASSERT_EQ(row, c.row);
        if (!w.row(9).btnAfter->isChecked()) w.switchOn(9);
        const QString output = QFileInfo(w.songs.filePath("keys.mid")).path() + "/keys_vexa.mid";
        w.prompter.scrollAnswers = {true};
        w.prompter.pathAnswers = {output};
        w.convertToTheEnd();
        EXPECT_TRUE(w.messages().isEmpty()) << w.messages().join("|").toStdString();
        ASSERT_EQ(w.kinds("scroll"), c.asks ? 1 : 0);
        const std::set<int> listed = c.asks ? ListedKeys(w.last("scroll")->text) : std::set<int>();
        EXPECT_EQ(listed.empty(), !c.asks);
        ASSERT_EQ(w.kinds("save"), 1);
        const QByteArray bytes = w.written(output);
        EXPECT_TRUE(KeptNotesKeepTheirStarts(song, bytes, 9, listed));
        ChannelPlay drums;
        ASSERT_TRUE(ReadChannel(bytes, 9, drums));
        EXPECT_EQ(drums.keys.size(), 128u - listed.size());
    }
}

TEST(MainWindowEngine, APhraseFileMissingFromLibStopsTheStartWithItsBox) {
    // A Lib folder with every phrase file but one.
    QTemporaryDir program;
    ASSERT_TRUE(QDir(program.path()).mkdir("Lib"));
    const QDir shipped(QStringLiteral(VEXA_SOURCE_DIR "/data/Lib"));
    const QStringList files = shipped.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 2);
    for (const QString& name : files.mid(1))
        ASSERT_TRUE(QFile::copy(shipped.filePath(name), program.path() + "/Lib/" + name));
    const EngineFolder engine((program.path() + "/").toLocal8Bit());
    ProgramFolder folder;
    RecordingPrompter prompter;
    MainWindowSetup setup = folder.Setup(&prompter);
    setup.makeCoreHolder = EngineCoreHolder;
    EXPECT_THROW(MainWindow window(setup), StartupError);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].icon, QMessageBox::Critical);
    EXPECT_EQ(prompter.asked[0].text, QString(MainWindow::kMissingFiles));
}
