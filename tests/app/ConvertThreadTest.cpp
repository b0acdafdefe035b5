// The conversion worker over a recording core and the real channel selector:
// which channels convert, in what order and from which bytes, what the
// engine's record and script lines hold, the messages of a run, and a run
// that stops (no record, no answer from the selector) still ending the
// engine's driver and document.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QStringList>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>

#include "app/ConvertThread.h"
#include "app/CoreHolder.h"
#include "app/VexaChSelector.h"
#include "data/AlgorithmScript.h"
#include "data/AlgorithmTable.h"
#include "data/FilledVoiceTables.h"
#include "data/VexaChInfo.h"
#include "data/VexaVoiceCatalog.h"
#include "services/PHConvPrm.h"
#include "tests/app/FakePhrasorCore.h"

namespace {

const QString kConversionErrorText = QStringLiteral("Conversion Error!!");
const QString kAlgorithmLoadErrorText = QStringLiteral("Algorithm Load Error!!");
const QString kNoProcessChannelText = QStringLiteral("There is no process channel");
const QByteArray kInputSong("MThd-the-song");

// A worker whose selector answers fail from a chosen channel on.
class ConvertThreadWithFailingSelector : public ConvertThread {
public:
    using ConvertThread::ConvertThread;
    int failOnChannel = -1;
    bool failTarget = true;  // else IsChannelOn fails

protected:
    int IsChannelOn(BYTE channel, bool* on) override {
        if (!failTarget && channel == failOnChannel) return int(0x80000001);
        return ConvertThread::IsChannelOn(channel, on);
    }
    int GetTarget(BYTE channel, BYTE* bankMsb, BYTE* bankLsb, BYTE* program, int* row, bool* option) override {
        if (failTarget && channel == failOnChannel) return int(0x80000001);
        return ConvertThread::GetTarget(channel, bankMsb, bankLsb, program, row, option);
    }
};

// A fake core in a holder, a selector with every channel off, and a worker
// over both; channels are switched on with a row and a voice directly.
template <class Worker = ConvertThread>
struct WorkerBench {
    WorkerBench() {
        FillVoiceTables();
        FakePhrasorCore* made = new FakePhrasorCore;
        core = made;
        holder = std::make_shared<CoreHolder>(
            CoreHolder::CoreFactory{[made](void*) { return static_cast<CPhrasorCoreIF*>(made); },
                                    [](CPhrasorCoreIF* gone) { delete gone; }});
        selector = std::make_shared<CVexaChSelector>();
        worker = std::make_unique<Worker>(nullptr, holder, selector);
        worker->m_SongBytes = kInputSong;
    }
    void SwitchOn(int channel, int row, BYTE bankMsb = 8, BYTE bankLsb = 0, BYTE program = 0) {
        CVexaChInfo* info = selector->GetCatalog()->GetChannel(UINT(channel));
        info->m_On = 1;
        info->m_SelectedRow = row;
        info->m_TargetBankMsb = bankMsb;
        info->m_TargetBankLsb = bankLsb;
        info->m_TargetProgram = program;
    }
    void Run() {
        worker->start();
        worker->wait();
    }
    // The engine's run ended: its driver and document were deleted last.
    bool Ended() const {
        const QStringList calls = core->Calls();
        return calls.size() >= 2 && calls.at(calls.size() - 2) == "DeleteProc" && calls.last() == "DeleteDoc";
    }
    std::vector<int> ConvertedChannels() const {
        std::vector<int> channels;
        for (const auto& call : core->m_Converts) channels.push_back(call.channel);
        return channels;
    }

    FakePhrasorCore* core = nullptr;
    std::shared_ptr<CoreHolder> holder;
    std::shared_ptr<CVexaChSelector> selector;
    std::unique_ptr<Worker> worker;
};

// The first target row of a 20-category, or -1.
int FirstRowOfCategory20(int category) {
    for (int row = 0; row < kFirstGroupRow; ++row)
        if (AlgorithmTable[row].category20 == category) return row;
    return -1;
}

// The script lines as the engine should receive them.
std::vector<std::string> ScriptLines(const AlgorithmScript& script) {
    std::vector<std::string> lines;
    for (int i = 0; i < script.GetLineCount(); ++i) lines.push_back(script.GetLine(i));
    return lines;
}

}  // namespace

TEST(ConvertThreadRun, AllChannelsOffConvertNothing) {
    WorkerBench<> bench;
    bench.worker->m_Ticks = 120;
    bench.Run();
    EXPECT_EQ(bench.worker->m_Messages, QStringList({kNoProcessChannelText}));
    EXPECT_FALSE(bench.worker->m_Success);
    EXPECT_EQ(bench.worker->m_SongBytes, kInputSong);
    EXPECT_EQ(bench.core->CountOf("Convert"), 0);
    EXPECT_EQ(bench.core->Calls().mid(0, 3), QStringList({"CreateProc", "CreateDoc", "SetResolution"}));
    EXPECT_TRUE(bench.Ended());
    // The ticks reach the engine and every channel's record, off channels too.
    EXPECT_EQ(bench.core->m_Resolutions, std::vector<LONG>({120}));
    EXPECT_EQ(bench.core->m_ResolutionsSeen, std::vector<int>(16, 120));
}

TEST(ConvertThreadRun, ChannelsChainAndAFailedChannelKeepsTheBytes) {
    WorkerBench<> bench;
    bench.worker->m_Ticks = 240;
    bench.SwitchOn(3, 1, 8, 0, 24);    // NylonGuitar(Smooth), "01_1"
    bench.SwitchOn(5, 45, 8, 1, 61);   // Brass(Smooth), "57"
    bench.SwitchOn(9, 51, 8, 2, 56);   // Trumpet, "65"
    bench.core->m_FailChannels = {5};
    bench.Run();
    EXPECT_EQ(bench.worker->m_Messages, QStringList({kConversionErrorText}));
    EXPECT_TRUE(bench.worker->m_Success);
    ASSERT_EQ(bench.ConvertedChannels(), std::vector<int>({3, 5, 9}));
    const auto& calls = bench.core->m_Converts;
    const QByteArray afterThree = FakePhrasorCore::Converted(kInputSong, 3);
    EXPECT_EQ(calls[0].input, kInputSong);
    EXPECT_EQ(calls[1].input, afterThree);
    EXPECT_EQ(calls[2].input, afterThree);  // channel 5's failure left channel 3's output
    EXPECT_EQ(bench.worker->m_SongBytes, FakePhrasorCore::Converted(afterThree, 9));
    EXPECT_TRUE(bench.Ended());

    // Each channel's record as the engine saw it at its Convert.
    const struct {
        int bankMsb, bankLsb, program, kind, flag2;
        const char* script;
    } expected[] = {{8, 0, 24, 0, 1, "01_1"}, {8, 1, 61, 3, 1, "57"}, {8, 2, 56, 3, 0, "65"}};
    const AlgorithmScriptLibrary library;
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(calls[i].channel);
        EXPECT_EQ(calls[i].flag1, 1);
        EXPECT_EQ(calls[i].resolution, 240);
        EXPECT_EQ(calls[i].bankMsb, expected[i].bankMsb);
        EXPECT_EQ(calls[i].bankLsb, expected[i].bankLsb);
        EXPECT_EQ(calls[i].program, expected[i].program);
        EXPECT_EQ(calls[i].pbCtrl, 0);
        EXPECT_EQ(calls[i].kind, expected[i].kind);
        EXPECT_EQ(calls[i].flag2, expected[i].flag2);
        const AlgorithmScript* script = library.Find(expected[i].script);
        ASSERT_NE(script, nullptr);
        // Only this channel's script: the lines were cleared before it.
        EXPECT_EQ(calls[i].lines, ScriptLines(*script));
    }
}

TEST(ConvertThreadRun, EveryChannelFailingEndsWithNoProcessChannel) {
    WorkerBench<> bench;
    for (int channel : {0, 7, 15}) bench.SwitchOn(channel, 5);
    bench.core->m_FailAll = true;
    bench.Run();
    EXPECT_EQ(bench.worker->m_Messages,
              QStringList({kConversionErrorText, kConversionErrorText, kConversionErrorText, kNoProcessChannelText}));
    EXPECT_FALSE(bench.worker->m_Success);
    EXPECT_EQ(bench.worker->m_SongBytes, kInputSong);
    EXPECT_TRUE(bench.Ended());

    // The next run starts from nothing: no message or flag of this one survives.
    bench.core->m_FailAll = false;
    bench.Run();
    EXPECT_EQ(bench.worker->m_Messages, QStringList());
    EXPECT_TRUE(bench.worker->m_Success);
    EXPECT_EQ(bench.ConvertedChannels(), std::vector<int>({0, 7, 15, 0, 7, 15}));
}

TEST(ConvertThreadRun, LinesGoOverWithTheirNulCounted) {
    // A target whose script has an empty line and a line of 40 bytes.
    const AlgorithmScriptLibrary library;
    FillVoiceTables();
    int chosenRow = -1;
    for (int row = 0; row < kFirstGroupRow && chosenRow < 0; ++row) {
        const AlgorithmScript* script = library.Find(AlgorithmTable[row].algorithmId);
        if (!script) continue;
        bool empty = false, forty = false;
        for (int i = 0; i < script->GetLineCount(); ++i) {
            empty = empty || std::strlen(script->GetLine(i)) == 0;
            forty = forty || std::strlen(script->GetLine(i)) == 40;
        }
        if (empty && forty) chosenRow = row;
    }
    ASSERT_GE(chosenRow, 0);
    const int emptyRow = 125;  // RockDrumKit(ChangePC): the one-comment script
    ASSERT_STREQ(AlgorithmTable[emptyRow].algorithmId.c_str(), "Empty");

    WorkerBench<> bench;
    bench.SwitchOn(0, chosenRow);
    bench.SwitchOn(1, emptyRow);
    bench.Run();
    ASSERT_EQ(bench.ConvertedChannels(), std::vector<int>({0, 1}));
    const auto& fed = bench.core->m_Converts[0];
    const AlgorithmScript* script = library.Find(AlgorithmTable[chosenRow].algorithmId);
    ASSERT_EQ(fed.lines, ScriptLines(*script));
    std::set<LONG> lengths;
    for (size_t i = 0; i < fed.lines.size(); ++i) {
        EXPECT_EQ(fed.lengths[i], LONG(fed.lines[i].size() + 1)) << "line " << i;
        lengths.insert(fed.lengths[i]);
    }
    EXPECT_TRUE(lengths.count(41) && lengths.count(1));
    // "Empty" is one comment line, fed and converted.
    const auto& empty = bench.core->m_Converts[1];
    ASSERT_EQ(empty.lines.size(), 1u);
    EXPECT_EQ(empty.lines[0], std::string(library.Find("Empty")->GetLine(0)));
    EXPECT_EQ(bench.worker->m_Messages, QStringList());
}

TEST(ConvertThreadRun, WritesTheAlgorithmAndItsLineCountToTheDebugLog) {
    WorkerBench<> bench;
    bench.SwitchOn(2, 1);
    const AlgorithmScriptLibrary library;
    const int lines = library.Find("01_1")->GetLineCount();
    QStringList logged;
    {
        DebugLogCapture capture;
        bench.Run();
        logged = capture.Taken();
    }
    const int at = logged.indexOf("01_1");
    ASSERT_GE(at, 0) << logged.join('\n').toStdString();
    ASSERT_LT(at + 1, logged.size());
    EXPECT_EQ(logged.at(at + 1), QStringLiteral("01_1 - %1 lines").arg(lines));
}

TEST(ConvertThreadRecord, KindAndFlagFollowTheTwentyCategory) {
    FillVoiceTables();
    const struct {
        int category20, kind, flag2;
    } cases[] = {
        {0, 0, 1},  {1, 0, 1},  {2, 0, 1},  {3, 0, 1},  {4, 0, 1},  {5, 0, 1},  {6, 0, 1},
        {7, 0, 1},  {8, 0, 1},  {9, 0, 1},  {10, 2, 1}, {11, 5, 1}, {12, 3, 1}, {13, 3, 0},
        {14, 4, 1}, {15, 5, 1}, {16, 6, 1}, {17, 6, 1}, {18, 6, 1}, {19, 6, 1},
    };
    for (const auto& c : cases) {
        const int row = FirstRowOfCategory20(c.category20);
        ASSERT_GE(row, 0) << "category " << c.category20;
        CPHConvPrm prm;
        prm.Kind = 99;
        prm.Flag2 = 99;
        ConvertThread::SetRecordType(row, &prm);
        EXPECT_EQ(prm.Kind, c.kind) << "category " << c.category20 << ", row " << row;
        EXPECT_EQ(prm.Flag2, c.flag2) << "category " << c.category20 << ", row " << row;
    }
    // The group rows have no category; rows outside the table none either.
    for (int row : {-1, kOtherNormalRow, kOtherDrumRow, kAlgorithmRowCount, 1000}) {
        CPHConvPrm prm;
        prm.Kind = 99;
        prm.Flag2 = 99;
        ConvertThread::SetRecordType(row, &prm);
        EXPECT_EQ(prm.Kind, 0) << "row " << row;
        EXPECT_EQ(prm.Flag2, 1) << "row " << row;
    }
    ConvertThread::SetRecordType(1, nullptr);  // nothing to write into
}

TEST(ConvertThreadRecord, OnlyTargetRowsHaveAnAlgorithm) {
    FillVoiceTables();
    EXPECT_STREQ(ConvertThread::GetAlgorithmId(1).c_str(), "01_1");
    EXPECT_STREQ(ConvertThread::GetAlgorithmId(5).c_str(), "02");
    EXPECT_STREQ(ConvertThread::GetAlgorithmId(125).c_str(), "Empty");
    for (int row : {-1, kOtherNormalRow, kOtherDrumRow, kAlgorithmRowCount, 100000})
        EXPECT_TRUE(ConvertThread::GetAlgorithmId(row).IsEmpty()) << "row " << row;
}

TEST(ConvertThreadRun, ARowThatIsNoTargetConvertsNothingAndTheRunGoesOn) {
    // Rows outside 0..189: below the table, the two group rows, past the table.
    for (int row : {-1, kOtherNormalRow, kOtherDrumRow, kAlgorithmRowCount}) {
        SCOPED_TRACE(row);
        WorkerBench<> bench;
        bench.SwitchOn(4, row);
        bench.SwitchOn(6, 1);
        bench.Run();
        EXPECT_EQ(bench.worker->m_Messages, QStringList({kAlgorithmLoadErrorText}));
        EXPECT_TRUE(bench.worker->m_Success);
        EXPECT_EQ(bench.ConvertedChannels(), std::vector<int>({6}));
        EXPECT_EQ(bench.worker->m_SongBytes, FakePhrasorCore::Converted(kInputSong, 6));
        EXPECT_TRUE(bench.Ended());
    }
}

TEST(ConvertThreadStop, NoRecordStopsTheRunWithAMessageAndEndsIt) {
    WorkerBench<> bench;
    bench.SwitchOn(0, 1);
    bench.SwitchOn(3, 1);
    bench.core->m_NullConvPrmAtCall = 2;  // channel 2's record
    bench.Run();
    EXPECT_EQ(bench.worker->m_Messages, QStringList({kConversionErrorText}));
    EXPECT_TRUE(bench.worker->m_Success);  // channel 0's conversion stays in the bytes
    EXPECT_EQ(bench.ConvertedChannels(), std::vector<int>({0}));
    EXPECT_EQ(bench.worker->m_SongBytes, FakePhrasorCore::Converted(kInputSong, 0));
    EXPECT_TRUE(bench.Ended());
}

TEST(ConvertThreadStop, NoAnswerFromTheSelectorStopsTheRunWithAMessageAndEndsIt) {
    for (bool failTarget : {true, false}) {
        SCOPED_TRACE(failTarget ? "GetTarget fails" : "IsChannelOn fails");
        WorkerBench<ConvertThreadWithFailingSelector> bench;
        bench.SwitchOn(4, 1);
        bench.SwitchOn(5, 1);
        bench.worker->failOnChannel = 4;
        bench.worker->failTarget = failTarget;
        bench.Run();
        EXPECT_EQ(bench.worker->m_Messages, QStringList({kConversionErrorText}));
        EXPECT_FALSE(bench.worker->m_Success);
        EXPECT_EQ(bench.core->CountOf("Convert"), 0);
        EXPECT_EQ(bench.worker->m_SongBytes, kInputSong);
        EXPECT_TRUE(bench.Ended());
    }
}

TEST(ConvertThreadStop, WithoutACoreOrAHolderTheRunSaysSo) {
    FillVoiceTables();
    auto selector = std::make_shared<CVexaChSelector>();
    auto noCore = std::make_shared<CoreHolder>(CoreHolder::CoreFactory{});
    for (const auto& holder : {noCore, std::shared_ptr<CoreHolder>()}) {
        ConvertThread worker(nullptr, holder, selector);
        worker.m_SongBytes = kInputSong;
        worker.start();
        worker.wait();
        EXPECT_EQ(worker.m_Messages, QStringList({kConversionErrorText}));
        EXPECT_FALSE(worker.m_Success);
        EXPECT_EQ(worker.m_SongBytes, kInputSong);
    }
}

TEST(ConvertThreadStop, AWorkerGoingDuringARunWaitsForItsEnd) {
    WorkerBench<> bench;
    bench.SwitchOn(0, 1);
    bench.SwitchOn(1, 1);
    bench.core->m_ConvertDelayMs = 100;
    bench.worker->start();
    bench.worker.reset();  // would abort the program while the run is under way
    EXPECT_EQ(bench.core->CountOf("Convert"), 2);
    EXPECT_TRUE(bench.Ended());
}
