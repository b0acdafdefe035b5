// Converting and saving in the real window over the engine's own core
// (offscreen, Brune2, dialogs answered through the prompter): corpus songs
// chosen through the popups or by name, converted, saved and read back.
#include <gtest/gtest.h>

#include <QFileInfo>

#include "app/ConvertThread.h"
#include "app/MainWindow.h"
#include "tests/app/MainWindowConvertWindow.h"
#include "tests/appcore/EngineCore.h"

using namespace enginecore;

namespace {

struct EngineConvertWindow : EngineFolder, ConvertWindow {
    EngineConvertWindow() : ConvertWindow(EngineCoreHolder) {}

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
    const auto& r = w.row(0);
    w.switchOn(0);
    QTest::mousePress(r.cboAfter, Qt::LeftButton);
    QTest::mouseRelease(r.cboAfter, Qt::LeftButton);
    ASSERT_TRUE(w.window.popup(1)->isVisible());
    ClickItem(w.window.popup(1), "Other Normal Voices");
    ClickItem(w.window.popup(2), "NylonGuitar");
    ClickItem(w.window.popup(3), "NylonGuitar(Smooth)");
    ASSERT_EQ(r.txtAfter->text(), QString("NylonGuitar(Smooth)"));
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
    ASSERT_EQ(w.selector().SetTargetByName(9, "JazzBrushExpd.(HalfOpen)"), 0);
    ASSERT_EQ(w.selector().SetChannelOn(9, true), 0);
    int row = -1;
    ASSERT_EQ(w.selector().GetTarget(9, nullptr, nullptr, nullptr, &row, nullptr), 0);
    ASSERT_EQ(row, 149);

    QString program;
    ASSERT_EQ(w.selector().GetProgramName(127, 0, 0, &program), 0);
    QString expected = "Some Note will be deleted in this process. continue or not?\r\n\r\nch10 : 127-0-1 : " + program + "\r\n";
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
    EXPECT_FALSE(drums.keys.empty());
    // The saved song opens in the window again.
    w.window.openFile(output);
    EXPECT_EQ(w.window.currentSongPath(), output);
    EXPECT_TRUE(w.row(9).btnAfter->isVisibleTo(&w.window));
}
