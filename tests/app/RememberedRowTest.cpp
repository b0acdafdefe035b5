// A remembered target row whose voice the current model lacks: the channel
// selector ignores it, so that a switched-on channel's script, target name
// and voice bytes always belong to one row the model has; through the
// selector and through the window's start-up with such settings.
#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTest>
#include <string>
#include <vector>

#include "app/IconPushButton.h"
#include "app/MainWindow.h"
#include "app/SimpleLabel.h"
#include "app/VexaChSelector.h"
#include "data/AlgLastSel.h"
#include "data/AlgorithmTable.h"
#include "data/FilledVoiceTables.h"
#include "data/VexaChInfo.h"
#include "data/VexaVoiceCatalog.h"
#include "data/VoiceAddressTable.h"
#include "tests/app/ProgramFolder.h"
#include "tests/app/RecordingPrompter.h"
#include "tests/app/SmfSongBuilder.h"

namespace {

constexpr int kRememberedStrings = 2;  // "Str"
constexpr int kRememberedKinoSmall = 91;  // a strings row of a voice Zel-305 lacks
constexpr int kRememberedSteelGuitar = 5;

ChannelFacts RememberedFacts(int program) {
    ChannelFacts facts;
    facts[ChannelFacts::kProgram] = BYTE(program);
    return facts;
}

// What a channel converts with: the row the worker takes the script of, its
// voice bytes and the name the window shows.
struct RememberedTarget {
    bool on = false;
    int row = -1;
    std::vector<int> bytes;
    QString name;
};

RememberedTarget RememberedTargetOf(CVexaChSelector& s, BYTE channel) {
    RememberedTarget t;
    BYTE msb = 0, lsb = 0, program = 0;
    s.IsChannelOn(channel, &t.on);
    s.GetTarget(channel, &msb, &lsb, &program, &t.row, nullptr);
    s.GetTargetName(channel, &t.name);
    t.bytes = {msb, lsb, program};
    return t;
}

// The row is one the model has, and the bytes and the name are that row's.
::testing::AssertionResult OneHeldRow(CVexaChSelector& s, BYTE channel) {
    const RememberedTarget t = RememberedTargetOf(s, channel);
    const CArticModel* model = s.GetCatalog()->GetCurrentModel();
    if (!CVexaChInfo::ModelHasRow(model, t.row))
        return ::testing::AssertionFailure() << "row " << t.row << " is not one the model has";
    const VoiceAddress& a = VoiceAddressTable[AlgorithmTable[t.row].voiceIndex];
    if (t.bytes != std::vector<int>{a.bankMsb, a.bankLsb, a.program})
        return ::testing::AssertionFailure() << "row " << t.row << " with bytes " << t.bytes[0] << "/" << t.bytes[1]
                                             << "/" << t.bytes[2];
    QString name;
    s.GetTargetName(channel, &name);
    const std::string expected = s.GetCatalog()->GetTargetNames()[size_t(t.row)].GetString();
    if (name.toStdString() != expected)
        return ::testing::AssertionFailure() << "row " << t.row << " named " << name.toStdString();
    return ::testing::AssertionSuccess();
}

struct ZelSelector {
    ZelSelector() {
        FillVoiceTables();
        loaded = selector.LoadModels(QStringLiteral(VEXA_SOURCE_DIR "/data/models")) == 0 &&
                 selector.SetModel("Zel-305") == 0;
    }
    CVexaChSelector selector;
    bool loaded = false;
};

}  // namespace

TEST(RememberedRow, ARowTheModelLacksIsNeverRecommendedNorConverted) {
    ZelSelector zel;
    ASSERT_TRUE(zel.loaded);
    CVexaChSelector& s = zel.selector;
    const CArticModel* model = s.GetCatalog()->GetCurrentModel();
    ASSERT_FALSE(CVexaChInfo::ModelHasRow(model, kRememberedKinoSmall));
    ASSERT_TRUE(CVexaChInfo::ModelHasRow(model, kRememberedSteelGuitar));

    // Remembered before any model judged it (what the settings gave).
    s.ResetAlgLastSel();
    SetAlgLastSel(kRememberedStrings, kRememberedKinoSmall);
    ASSERT_EQ(GetAlgLastSel(kRememberedStrings), kRememberedKinoSmall);

    // A GM 48 channel: recommended a strings row Zel-305 has, and on.
    ASSERT_EQ(s.SetChannelInfo(0, RememberedFacts(48)), 0);
    const RememberedTarget strings = RememberedTargetOf(s, 0);
    EXPECT_TRUE(strings.on);
    EXPECT_NE(strings.row, kRememberedKinoSmall);
    EXPECT_EQ(AlgorithmTable[strings.row].recommendCategory, kRememberedStrings);
    EXPECT_TRUE(OneHeldRow(s, 0));
    EXPECT_EQ(s.SetChannelOn(0, false), 0);
    EXPECT_EQ(s.SetChannelOn(0, true), 0);
    EXPECT_EQ(RememberedTargetOf(s, 0).row, strings.row);

    // A channel left on a row the model lacks switches on with the default
    // target: its row, its bytes and its name together.
    CVexaChInfo* info = s.GetCatalog()->GetChannel(1);
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(s.SetChannelInfo(1, RememberedFacts(48)), 0);
    info->SetTarget(kRememberedKinoSmall);
    ASSERT_FALSE(RememberedTargetOf(s, 1).on);
    ASSERT_EQ(RememberedTargetOf(s, 1).row, kRememberedKinoSmall);
    EXPECT_EQ(s.SetChannelOn(1, true), 0);
    const RememberedTarget fallback = RememberedTargetOf(s, 1);
    EXPECT_TRUE(fallback.on);
    EXPECT_EQ(fallback.row, kRememberedSteelGuitar);
    EXPECT_EQ(fallback.name, "SteelGuitar");
    EXPECT_TRUE(OneHeldRow(s, 1));
    QStringList same;
    ASSERT_EQ(s.GetSameCategoryNames(1, &same), 0);
    EXPECT_TRUE(same.contains("SteelGuitar"));

    // Values the model lacks are not remembered; rows it has are.
    CVexaChSelector::AlgLastSelValues values{};
    ASSERT_EQ(s.GetAlgLastSelAll(&values), 0);
    values[kRememberedStrings] = kRememberedKinoSmall;
    ASSERT_EQ(s.SetAlgLastSelAll(values), 0);
    EXPECT_EQ(GetAlgLastSel(kRememberedStrings), kRememberedKinoSmall);  // left as it was
    s.ResetAlgLastSel();
    const LONG before = GetAlgLastSel(kRememberedStrings);
    values[kRememberedStrings] = kRememberedKinoSmall;
    ASSERT_EQ(s.SetAlgLastSelAll(values), 0);
    EXPECT_EQ(GetAlgLastSel(kRememberedStrings), before);
    values[kRememberedStrings] = strings.row;
    ASSERT_EQ(s.SetAlgLastSelAll(values), 0);
    EXPECT_EQ(GetAlgLastSel(kRememberedStrings), strings.row);
}

TEST(RememberedRow, WindowStartedWithAGoneModelsRowConvertsWhatItShows) {
    ProgramFolder folder(false);
    ASSERT_TRUE(QFile::copy(QStringLiteral(VEXA_SOURCE_DIR "/data/models/Zel-305.exm"), folder.path() + "/Zel-305.exm"));
    {
        // A model that is gone, and the strings row remembered with it.
        QSettings settings(QStringLiteral("Korvet"), QStringLiteral("Phrasr2_1"));
        settings.setValue(QStringLiteral("ModelSelName/ModelSelName"), QStringLiteral("Brune2"));
        settings.setValue(QStringLiteral("AlgLastSel/Str"), kRememberedKinoSmall);
        settings.sync();
    }
    RecordingPrompter prompter;
    MainWindow window(folder.Setup(&prompter));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    CVexaChSelector& s = *window.channelSelector();
    QString model;
    s.GetModelName(&model);
    ASSERT_EQ(model, "Zel-305");
    EXPECT_NE(GetAlgLastSel(kRememberedStrings), kRememberedKinoSmall);

    using namespace smfsong;
    CSmf smf;
    MakeSong(smf, 1, 480);
    AddTrack(smf, {Tempo(0, 500000), Eot(0)});
    AddTrack(smf, {Prog(0, 0, 48), Note(480, 0, 60), Note(960, 0, 60, 0), Eot(960)});
    QByteArray bytes;
    ASSERT_GE(smf.ToByteArray(bytes), 0);
    QTemporaryDir songs;
    QFile file(songs.filePath("strings.mid"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    window.openFile(file.fileName());
    ASSERT_TRUE(prompter.asked.empty());

    EXPECT_TRUE(RememberedTargetOf(s, 0).on);
    EXPECT_TRUE(OneHeldRow(s, 0));
    EXPECT_EQ(AlgorithmTable[RememberedTargetOf(s, 0).row].recommendCategory, kRememberedStrings);
    EXPECT_EQ(window.row(0).txtAfter->text(), RememberedTargetOf(s, 0).name);
    // Off and on again with the row's button: still that row.
    const int row = RememberedTargetOf(s, 0).row;
    window.row(0).btnAfter->click();
    window.row(0).btnAfter->click();
    EXPECT_TRUE(RememberedTargetOf(s, 0).on);
    EXPECT_EQ(RememberedTargetOf(s, 0).row, row);
    EXPECT_TRUE(OneHeldRow(s, 0));
}
