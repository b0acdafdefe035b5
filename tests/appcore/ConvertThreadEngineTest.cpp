// The conversion worker over the engine's own core and the shipped Brune2
// model: corpus songs converted channel by channel, a rerun with the same
// random draws, a channel whose script does not load, and two channels of a
// song on a target whose algorithm only sets the voice.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/ConvertThread.h"
#include "app/CoreHolder.h"
#include "app/VexaChSelector.h"
#include "data/AlgorithmTable.h"
#include "data/FilledVoiceTables.h"
#include "data/VexaChInfo.h"
#include "data/VexaVoiceCatalog.h"
#include "services/PHConvPrm.h"
#include "platform/Random.h"
#include "tests/appcore/EngineCore.h"
#include "tests/driver/PhrasorCoreSmf.h"

using namespace enginecore;

namespace {

// The first target row whose algorithm is the given script, or -1.
int EngineRowOfAlgorithm(const char* id) {
    for (int row = 0; row < kFirstGroupRow; ++row)
        if (AlgorithmTable[row].algorithmId == id) return row;
    return -1;
}

// Hands the engine's core through, except that the chosen channel is fed a
// script naming an expression class that does not exist.
class UnloadableScriptCore : public CPhrasorCoreIF {
public:
    explicit UnloadableScriptCore(CPhrasorCoreIF* inner, int channel) : m_Inner(inner), m_Channel(channel) {}
    ~UnloadableScriptCore() override { DeletePhrasorCore(m_Inner); }

    void CreateProc() override { m_Inner->CreateProc(); }
    void DeleteProc() override { m_Inner->DeleteProc(); }
    void InitProc(CKPSManager* host, int flag) override { m_Inner->InitProc(host, flag); }
    void ResetPortName(int ignored) override { m_Inner->ResetPortName(ignored); }
    void CreateDoc() override { m_Inner->CreateDoc(); }
    void DeleteDoc() override { m_Inner->DeleteDoc(); }
    void SetDoc(CPhrasorDoc* doc) override { m_Inner->SetDoc(doc); }
    int CheckLibFiles() override { return m_Inner->CheckLibFiles(); }
    int Convert(BYTE** bytes, DWORD* size) override { return m_Inner->Convert(bytes, size); }
    void SetResolution(LONG ticks) override { m_Inner->SetResolution(ticks); }
    CPHConvPrm* GetConvPrm() override { return m_Inner->GetConvPrm(); }
    void ClearScriptLines() override {
        m_Inner->ClearScriptLines();
        CPHConvPrm* prm = m_Inner->GetConvPrm();
        if (!prm || prm->Channel != m_Channel) return;
        for (const std::string line : {"#set:1", "#prob:1", "#exp1:CArticExpNoSuchClass( 1{_thisEvnt}, 12)"})
            m_Inner->AddScriptLine(line.c_str(), LONG(line.size() + 1));
    }
    void AddScriptLine(const char* text, LONG length) override {
        CPHConvPrm* prm = m_Inner->GetConvPrm();
        if (prm && prm->Channel == m_Channel) return;
        m_Inner->AddScriptLine(text, length);
    }
    int GetScriptLineCount() override { return m_Inner->GetScriptLineCount(); }

private:
    CPhrasorCoreIF* m_Inner;
    int m_Channel;
};

// The engine's core in a holder, the shipped models with Brune2 chosen, and
// a worker over both. Each song's channels get their facts as the window
// gives them; targets are set by name.
struct EngineWorker : EngineFolder {
    explicit EngineWorker(int unloadableChannel = -1) {
        FillVoiceTables();
        if (unloadableChannel < 0) {
            holder = std::make_shared<CoreHolder>();
        } else {
            holder = std::make_shared<CoreHolder>(CoreHolder::CoreFactory{
                [unloadableChannel](void* module) -> CPhrasorCoreIF* {
                    CPhrasorCoreIF* inner = CreatePhrasorCore(module);
                    return inner ? new UnloadableScriptCore(inner, unloadableChannel) : nullptr;
                },
                [](CPhrasorCoreIF* core) { delete core; }});
        }
        EXPECT_TRUE(holder->HasCore());
        EXPECT_EQ(selector->LoadModels(QStringLiteral(VEXA_SOURCE_DIR "/data/models")), 0);
        EXPECT_EQ(selector->SetModel("Brune2"), 0);
        worker = std::make_unique<ConvertThread>(nullptr, holder, selector);
    }
    // The song's facts for every channel, every channel off.
    void Take(const QByteArray& song) {
        CSmf smf;
        ASSERT_EQ(smf.FromByteArray(song), 0);
        ASSERT_EQ(selector->ResetChannels(), 0);
        for (int ch = 0; ch < 16; ++ch) {
            ChannelFacts facts;
            facts.Reset(ch);
            ASSERT_GE(smf.AnalyseChannel(ch, facts), 0);
            ASSERT_GE(selector->SetChannelInfo(BYTE(ch), facts), 0);
            selector->SetChannelOn(BYTE(ch), false);  // refused where there is nothing to convert
        }
        worker->m_SongBytes = song;
    }
    void Target(int channel, const QString& name, int row) {
        ASSERT_EQ(selector->SetTargetByName(BYTE(channel), name), 0) << name.toStdString();
        ASSERT_EQ(selector->SetChannelOn(BYTE(channel), true), 0);
        int chosen = -1;
        ASSERT_EQ(selector->GetTarget(BYTE(channel), nullptr, nullptr, nullptr, &chosen, nullptr), 0);
        ASSERT_EQ(chosen, row);
    }
    void Run() {
        worker->start();
        worker->wait();
    }

    std::shared_ptr<CoreHolder> holder;
    std::shared_ptr<CVexaChSelector> selector = std::make_shared<CVexaChSelector>();
    std::unique_ptr<ConvertThread> worker;
};

// The platform's generator answers the same draws from the start of each run.
struct SameDraws {
    SameDraws() {
        SetRandomHook([this] { return int((next++ * 7919u + 13u) % 32768u); });
    }
    ~SameDraws() { SetRandomHook(nullptr); }
    void Restart() { next = 0; }
    unsigned next = 0;
};

// The song with every channel-1 event also on channel 2.
QByteArray TwoPianos(const QByteArray& song) {
    CSmf smf;
    EXPECT_EQ(smf.FromByteArray(song), 0);
    for (auto& track : smf.GetTracks()) {
        std::vector<std::unique_ptr<CEvnt>> copies;
        for (const auto& e : track->GetEvents()) {
            if (!e->IsChannelMessage() || e->GetChannel() != 0) continue;
            copies.push_back(std::make_unique<CEvnt>());
            copies.back()->CopyFrom(e.get());
            copies.back()->SetChannel(1);
        }
        for (auto& copy : copies) track->InsertSorted(std::move(copy));
    }
    QByteArray bytes;
    EXPECT_GE(smf.ToByteArray(bytes), 0);
    return bytes;
}

}  // namespace

TEST(ConvertThreadEngine, TheEntertainerOnANylonGuitarPlaysItsVoiceAndZonesAndARerunGivesTheSameBytes) {
    EngineWorker bench;
    const QByteArray song = CorpusSong("TheEntertainer.mid");
    ASSERT_FALSE(song.isEmpty());
    ChannelPlay before;
    ASSERT_TRUE(ReadChannel(song, 0, before));
    ASSERT_FALSE(before.velocities.empty());
    EXPECT_EQ(*std::min_element(before.velocities.begin(), before.velocities.end()), 49);
    EXPECT_EQ(*std::max_element(before.velocities.begin(), before.velocities.end()), 96);

    SameDraws draws;
    bench.Take(song);
    bench.Target(0, "NylonGuitar(Smooth)", 1);
    bench.Run();
    EXPECT_TRUE(bench.worker->m_Success);
    EXPECT_EQ(bench.worker->m_Messages, QStringList());
    const QByteArray first = bench.worker->m_SongBytes;
    ASSERT_NE(first, song);
    const unsigned drawn = draws.next;
    EXPECT_GT(drawn, 0u) << "the conversion drew no random number: the rerun shows nothing";
    ChannelPlay after;
    ASSERT_TRUE(ReadChannel(first, 0, after));
    EXPECT_EQ(after.bankMsb, 8);
    EXPECT_EQ(after.bankLsb, 0);
    EXPECT_EQ(after.program, 0);
    // Every note is still there (the order of a chord's notes may change); the
    // guitar script adds a few of its own (strums, fret noises).
    std::vector<int> keysBefore = before.keys, keysAfter = after.keys;
    std::sort(keysBefore.begin(), keysBefore.end());
    std::sort(keysAfter.begin(), keysAfter.end());
    EXPECT_TRUE(std::includes(keysAfter.begin(), keysAfter.end(), keysBefore.begin(), keysBefore.end()));
    EXPECT_LT(keysAfter.size(), keysBefore.size() + keysBefore.size() / 100);
    for (size_t i = 0; i < after.velocities.size(); ++i)
        EXPECT_TRUE(InNylonSmoothZone(after.velocities[i])) << "note " << i << " velocity " << after.velocities[i];

    // The same worker once more from the same song and draws.
    draws.Restart();
    bench.worker->m_SongBytes = song;
    bench.Run();
    EXPECT_TRUE(bench.worker->m_Success);
    EXPECT_EQ(draws.next, drawn);
    EXPECT_EQ(bench.worker->m_SongBytes, first);
}

TEST(ConvertThreadEngine, BeatsDrumChannelOnThePopKitConvertsAndReadsBack) {
    EngineWorker bench;
    const QByteArray song = CorpusSong("beat.mid");
    ASSERT_FALSE(song.isEmpty());
    bench.Take(song);
    bench.Target(9, "PopDrumKit(HalfOpen)", 128);
    bench.Run();
    EXPECT_TRUE(bench.worker->m_Success);
    EXPECT_EQ(bench.worker->m_Messages, QStringList());
    // The kit's voice before the first note.
    BYTE msb = 0, lsb = 0, program = 0;
    ASSERT_EQ(bench.selector->GetTarget(9, &msb, &lsb, &program, nullptr, nullptr), 0);
    ChannelPlay drums;
    ASSERT_TRUE(ReadChannel(bench.worker->m_SongBytes, 9, drums));
    // The pop kit deletes none of beat's keys (35-75): all 390 notes stay at their starts.
    EXPECT_EQ(drums.keys.size(), 390u);
    EXPECT_TRUE(KeptNotesKeepTheirStarts(song, bench.worker->m_SongBytes, 9, {}));
    EXPECT_EQ(drums.bankMsb, msb);
    EXPECT_EQ(drums.bankLsb, lsb);
    EXPECT_EQ(drums.program, program);
}

TEST(ConvertThreadEngine, AChannelWhoseScriptDoesNotLoadKeepsItsBytesAndTheNextChannelConverts) {
    // TheEntertainer with its piano played on channel 2 as well.
    EngineWorker bench(0);
    const QByteArray song = TwoPianos(CorpusSong("TheEntertainer.mid"));
    ChannelPlay firstBefore, secondBefore;
    ASSERT_TRUE(ReadChannel(song, 0, firstBefore));
    ASSERT_TRUE(ReadChannel(song, 1, secondBefore));
    ASSERT_FALSE(secondBefore.keys.empty());
    bench.Take(song);
    bench.Target(0, "NylonGuitar(Smooth)", 1);
    bench.Target(1, "NylonGuitar(Smooth)", 1);
    bench.Run();
    EXPECT_EQ(bench.worker->m_Messages, QStringList{ConvertThread::kConversionError});
    EXPECT_TRUE(bench.worker->m_Success);
    ChannelPlay first, second;
    ASSERT_TRUE(ReadChannel(bench.worker->m_SongBytes, 0, first));
    ASSERT_TRUE(ReadChannel(bench.worker->m_SongBytes, 1, second));
    // Channel 1 as it was; channel 2 on the nylon guitar's voice.
    EXPECT_EQ(first.keys, firstBefore.keys);
    EXPECT_EQ(first.velocities, firstBefore.velocities);
    EXPECT_EQ(first.bankMsb, firstBefore.bankMsb);
    EXPECT_EQ(first.program, firstBefore.program);
    // Every note of the channel is still there, with the few the guitar script adds.
    std::vector<int> keysBefore = secondBefore.keys, keysAfter = second.keys;
    std::sort(keysBefore.begin(), keysBefore.end());
    std::sort(keysAfter.begin(), keysAfter.end());
    EXPECT_TRUE(std::includes(keysAfter.begin(), keysAfter.end(), keysBefore.begin(), keysBefore.end()));
    ASSERT_LT(second.velocities.size(), secondBefore.velocities.size() + secondBefore.velocities.size() / 100);
    EXPECT_EQ(second.bankMsb, 8);
    EXPECT_EQ(second.bankLsb, 0);
    EXPECT_EQ(second.program, 0);
    for (int velocity : second.velocities) EXPECT_TRUE(InNylonSmoothZone(velocity)) << velocity;
}

// A corpus song with two channels switched on to a target whose algorithm
// only sets the voice.
TEST(ConvertThreadEngine, ASongConvertsThroughTheEnginesCore) {
    FillVoiceTables();
    const int row = EngineRowOfAlgorithm("Empty");
    ASSERT_GE(row, 0);
    QFile file(QStringLiteral(VEXA_CORPUS "/songs/bach_846.mid"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray input = file.readAll();

    auto holder = std::make_shared<CoreHolder>();  // CreatePhrasorCore
    ASSERT_TRUE(holder->HasCore());
    auto selector = std::make_shared<CVexaChSelector>();
    for (int channel : {0, 2}) {
        CVexaChInfo* info = selector->GetCatalog()->GetChannel(UINT(channel));
        info->m_On = 1;
        info->m_SelectedRow = row;
        info->m_TargetBankMsb = 8;
        info->m_TargetBankLsb = 0;
        info->m_TargetProgram = BYTE(66 + channel);
    }
    ConvertThread worker(nullptr, holder, selector);
    worker.m_SongBytes = input;
    worker.start();
    worker.wait();
    EXPECT_TRUE(worker.m_Success);
    EXPECT_TRUE(worker.m_Messages.isEmpty()) << worker.m_Messages.join("; ").toStdString();

    using namespace phrasorcoretest;
    const Smf in = ReadSmf(Bytes(input.begin(), input.end()));
    const Smf out = ReadSmf(Bytes(worker.m_SongBytes.begin(), worker.m_SongBytes.end()));
    ASSERT_TRUE(in.ok && out.ok);
    const long shift = ShiftOf(in, out, 3);
    EXPECT_TRUE(IsWholeBars(in, shift)) << shift;
    for (int channel : {0, 2, 3, 4, 5}) EXPECT_TRUE(SameNotes(in, out, channel, shift));
    // Each converted channel gets its target voice before its first note.
    for (int channel : {0, 2}) EXPECT_TRUE(TargetVoiceFirst(out, channel, 8, 0, 66 + channel));
}
