#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "BuiltinFixture.h"
#include "driver/BridgeFixture.h"
#include "engine/builtins/ArticSrchSong.h"
#include "engine/rules/RulSetFixture.h"

namespace {

using namespace bitest;
using bridgetest::At;
using smftest::Bytes;
using smftest::Cat;

// Conductor events at song ticks (960 per quarter: engine ticks x 2).
Bytes MstrTempoAt(DWORD delta, DWORD micros) {
    return At(delta, {0xFF, 0x51, 0x03, BYTE(micros >> 16), BYTE(micros >> 8), BYTE(micros)});
}
Bytes MstrMeterAt(DWORD delta, BYTE num, BYTE den) { return At(delta, {0xFF, 0x58, 0x04, num, den, 24, 8}); }
Bytes MstrKeyAt(DWORD delta, BYTE sf, BYTE mi) { return At(delta, {0xFF, 0x59, 0x02, sf, mi}); }

// The queries at a time with their defaults, which are also their failure values.
struct MstrDefault {
    const char* name;
    std::vector<double> values;
};
const MstrDefault kMstrDefaults[] = {
    {"CArticSrchMstrMeter", {0.0, 0.0}},   {"CArticSrchMstrTempo", {120.0}},
    {"CArticSrchMstrTempo2", {120.0, 0.0}}, {"CArticSrchMstrKey", {0.0, 0.0}},
    {"CArticSrchMstrChord", {0.0, 0.0, 0.0, 0.0}},
};

// A rule program over a song loaded from SMF bytes (conductor events, then a
// note on channel 3 so that the song is not empty), the song's host given to
// the program and the bridge's registrations made by the song.
struct MstrTest : BuiltinTest {
    std::unique_ptr<bridgetest::BridgeSong> song;
    CArticWrkEvnt* note = nullptr;

    void SetUp() override {
        BuiltinTest::SetUp();
        note = Note(1, 2500);
    }
    void TearDown() override {
        rul.SetCEditor(nullptr);
        song.reset();
    }
    void LoadSong(const Bytes& conductor, const Bytes& channels = At(0, {0x93, 60, 100})) {
        // The old song unregisters everything when it goes: before the new one registers.
        rul.SetCEditor(nullptr);
        song.reset();
        song = std::make_unique<bridgetest::BridgeSong>();
        ASSERT_EQ(song->Load(smftest::Smf0(Cat({conductor, channels, At(480, {0x83, 60, 0})}))), 1);
        rul.SetCEditor(song->Host());
    }
    // name(t, &_val1 ..) with outs outputs: the result and the values.
    int Query(const char* name, double t, int outs, std::vector<double>* values) {
        return RunValues(name, {t}, outs, values, note);
    }
};

TEST(ArticSrchSongLink, TheBridgeEntersItsAnswererBeforeAnyTestRuns) {
    // Linking the bridge's registrations is enough: nothing calls Enter by hand.
    EXPECT_NE(ArticSrchSong::Get(), nullptr);
}

TEST_F(MstrTest, TempoInForce) {
    std::vector<double> v;
    LoadSong({});
    // The note's own time as the argument.
    CArticRulDataVal* bpm = Val(1, -7.0);
    EXPECT_EQ(Run("CArticSrchMstrTempo", {Member(This(), kElmTime), Var(bpm)}, note), 0);
    EXPECT_EQ(bpm->GetData(), 120.0);
    EXPECT_EQ(Query("CArticSrchMstrTempo2", 2500, 2, &v), 0);
    EXPECT_EQ(v, (std::vector<double>{120.0, 0.0}));

    struct Case {
        DWORD micros;
        double bpm;
    };
    for (const Case& c : {Case{500000, 120.0}, Case{428571, 140.0}, Case{1000000, 60.0}}) {
        LoadSong(MstrTempoAt(0, c.micros));
        EXPECT_EQ(Query("CArticSrchMstrTempo", 100, 1, &v), 0) << c.micros;
        EXPECT_EQ(v[0], c.bpm) << c.micros;
    }
}

TEST_F(MstrTest, TempoEventAtTheTimeIsTakenOneTickLaterIsNot) {
    std::vector<double> v;
    LoadSong(MstrTempoAt(960, 1000000));  // engine 480
    EXPECT_EQ(Query("CArticSrchMstrTempo", 480, 1, &v), 0);
    EXPECT_EQ(v[0], 60.0);
    EXPECT_EQ(Query("CArticSrchMstrTempo", 479, 1, &v), 0);
    EXPECT_EQ(v[0], 120.0);
    // A fraction of a tick is cut off before the comparison.
    EXPECT_EQ(Query("CArticSrchMstrTempo", 480.9, 1, &v), 0);
    EXPECT_EQ(v[0], 60.0);
}

TEST_F(MstrTest, Tempo2GivesTheTimeOfTheTempoTaken) {
    std::vector<double> v;
    LoadSong(Cat({MstrTempoAt(0, 500000), MstrTempoAt(1920, 600000)}));  // engine 0 and 960
    EXPECT_EQ(Query("CArticSrchMstrTempo2", 1000, 2, &v), 0);
    EXPECT_EQ(v, (std::vector<double>{100.0, 960.0}));
    EXPECT_EQ(Query("CArticSrchMstrTempo2", 959, 2, &v), 0);
    EXPECT_EQ(v, (std::vector<double>{120.0, 0.0}));
}

TEST_F(MstrTest, TempoOfZeroMicrosecondsDividesNothing) {
    std::vector<double> v;
    LoadSong(Cat({MstrTempoAt(0, 500000), MstrTempoAt(960, 0)}));
    EXPECT_EQ(Query("CArticSrchMstrTempo", 960, 1, &v), 0);
    EXPECT_EQ(v[0], 120.0);
    EXPECT_EQ(Query("CArticSrchMstrTempo2", 960, 2, &v), 0);
    EXPECT_EQ(v, (std::vector<double>{120.0, 0.0}));
}

TEST_F(MstrTest, MeterKeyAndChordInForce) {
    std::vector<double> v;
    LoadSong(Cat({MstrMeterAt(0, 3, 2), MstrKeyAt(0, 0xFE, 1),
                  At(0, {0xFF, 0x7F, 0x07, 0x43, 0x7B, 0x01, 9, 3, 2, 1}),
                  At(960, {0xFF, 0x7F, 0x06, 0x43, 0x7B, 0x01, 4, 5, 6})}));
    EXPECT_EQ(Query("CArticSrchMstrMeter", 100, 2, &v), 0);
    EXPECT_EQ(v, (std::vector<double>{3.0, 2.0}));
    EXPECT_EQ(Query("CArticSrchMstrKey", 100, 2, &v), 0);
    EXPECT_EQ(v, (std::vector<double>{254.0, 1.0}));
    // The short chord event at engine 480 is no chord: the first stays in force.
    EXPECT_EQ(Query("CArticSrchMstrChord", 1000, 4, &v), 0);
    EXPECT_EQ(v, (std::vector<double>{9.0, 3.0, 2.0, 1.0}));

    LoadSong(At(0, {0xFF, 0x7F, 0x06, 0x43, 0x7B, 0x01, 4, 5, 6}));
    EXPECT_EQ(Query("CArticSrchMstrChord", 1000, 4, &v), 0);
    EXPECT_EQ(v, (std::vector<double>{0.0, 0.0, 0.0, 0.0}));
    EXPECT_EQ(Query("CArticSrchMstrMeter", 1000, 2, &v), 0);
    EXPECT_EQ(v, (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(Query("CArticSrchMstrKey", 1000, 2, &v), 0);
    EXPECT_EQ(v, (std::vector<double>{0.0, 0.0}));
}

TEST_F(MstrTest, NegativeTimeFailsSilentlyWithFailureValues) {
    LoadSong(Cat({MstrTempoAt(0, 1000000), MstrMeterAt(0, 3, 2)}));
    for (const MstrDefault& c : kMstrDefaults) {
        std::vector<double> v;
        EXPECT_EQ(Query(c.name, -1, int(c.values.size()), &v), 1) << c.name;
        EXPECT_EQ(v, c.values) << c.name;
        EXPECT_EQ(Recorded(), "") << c.name;
        EXPECT_EQ(ErrFlag(note), 0) << c.name;
    }
}

TEST_F(MstrTest, TimeSinceMeterOrKey) {
    double since = 0.0;
    LoadSong(Cat({MstrMeterAt(0, 4, 2), MstrMeterAt(3840, 3, 2)}));  // engine 0 and 1920
    EXPECT_EQ(RunValue("CArticSrchMstrGetTimeFromMeter", {kThis}, &since, note), 0);
    EXPECT_EQ(since, 580.0);
    EXPECT_EQ(RunValue("CArticSrchMstrGetTimeFromKey", {kThis}, &since, note), 0);
    EXPECT_EQ(since, 2500.0);  // no key: the on-time itself

    LoadSong({});
    EXPECT_EQ(RunValue("CArticSrchMstrGetTimeFromMeter", {kThis}, &since, note), 0);
    EXPECT_EQ(since, 2500.0);
}

TEST_F(MstrTest, TimeSinceKeyOfAMissingNoteLeavesTheErrorFlagSet) {
    LoadSong(MstrKeyAt(1920, 1, 0));  // engine 960
    CArticWrkEvnt* last = Fingered(2, 3000, 1);
    CArticRulDataVal* out = Val(1, -7.0);
    last->SetErr(kSetNo, 0);
    EXPECT_EQ(Run("CArticSrchMstrGetTimeFromKey", {E(This(), kElmNext), Var(out)}, last), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(ErrFlag(last), 1);
    // The same relation read by another built-in puts the flag back.
    last->SetErr(kSetNo, 0);
    EXPECT_EQ(Run("CArticSrchKeyCmp", {E(This(), kElmNext), Num(60), Var(out)}, last), 1);
    EXPECT_EQ(ErrFlag(last), 0);
}

TEST_F(MstrTest, WithoutAHostTheDefaultsComeWithResultZero) {
    LoadSong(Cat({MstrTempoAt(0, 1000000), MstrMeterAt(0, 3, 2), MstrKeyAt(0, 2, 0)}));
    rul.SetCEditor(nullptr);
    std::vector<double> v;
    for (const MstrDefault& c : kMstrDefaults) {
        EXPECT_EQ(Query(c.name, 100, int(c.values.size()), &v), 0) << c.name;
        EXPECT_EQ(v, c.values) << c.name;
    }
    for (const char* name : {"CArticSrchMstrGetTimeFromMeter", "CArticSrchMstrGetTimeFromKey"}) {
        double since = -7.0;
        EXPECT_EQ(RunValue(name, {kThis}, &since, note), 0) << name;
        EXPECT_EQ(since, 0.0) << name;
    }
}

TEST_F(MstrTest, HostThatCannotDeliverGivesDefaultsWithResultOne) {
    std::vector<double> v;
    LoadSong(Cat({MstrTempoAt(0, 1000000), MstrMeterAt(0, 3, 2)}));
    song->view.failTimes = true;  // the conductor's block cannot be placed in time
    EXPECT_EQ(Query("CArticSrchMstrTempo", 100, 1, &v), 1);
    EXPECT_EQ(v[0], 120.0);
    EXPECT_EQ(Query("CArticSrchMstrMeter", 100, 2, &v), 1);
    EXPECT_EQ(v, (std::vector<double>{0.0, 0.0}));
    double since = 0.0;
    EXPECT_EQ(RunValue("CArticSrchMstrGetTimeFromMeter", {kThis}, &since, note), 1);
    EXPECT_EQ(since, 2500.0);
    EXPECT_EQ(Recorded(), "");
}

TEST_F(MstrTest, WithoutTheBridgesAnswererAHostCannotBeAsked) {
    std::vector<double> v;
    LoadSong(MstrTempoAt(0, 1000000));
    const ArticSrchSong* entered = ArticSrchSong::Get();
    ArticSrchSong::Enter(nullptr);
    const int tempo = Query("CArticSrchMstrTempo", 100, 1, &v);
    const double bpm = v[0];
    const int meter = Query("CArticSrchMstrMeter", 100, 2, &v);
    ArticSrchSong::Enter(entered);
    EXPECT_EQ(tempo, 1);
    EXPECT_EQ(bpm, 120.0);
    EXPECT_EQ(meter, 1);
    EXPECT_EQ(v, (std::vector<double>{0.0, 0.0}));
}

// ---- Program and bank

// Channel 2 on the first port with bank 5/0 and program 48, channel 3 without
// voice events, channel 4 with program 0.
const Bytes kMstrVoiceEvents = Cat({At(0, {0xB2, 0x00, 5}), At(0, {0xB2, 0x20, 0}), At(0, {0xC2, 48}),
                                    At(0, {0xC4, 0}), At(0, {0x93, 62, 100}), At(0, {0x92, 60, 100}),
                                    At(0, {0x94, 64, 100})});

struct ProNumTest : MstrTest {
    CArticWrkEvnt* OnChannel(ULONG ch) {
        CArticWrkTrk* t = wrktest::AddTrack(wrk, 10 + ch, 1, ch, 0);
        return Note(20 + ch, 480, 60, 480, 100, wrktest::AddBlock(t));
    }
    // Selects channel 2's track, which computes the editor manager's channel tables.
    void SelectSong() {
        bridgetest::PosList sel;
        song->SelectCh(sel, 2);
        ASSERT_EQ(song->mgr.SetSelectBlkPosList(song->Host(), &sel.list), 0);
    }
};

TEST_F(ProNumTest, TheSongsVoiceOfTheNotesPortAndChannel) {
    LoadSong({}, kMstrVoiceEvents);
    SelectSong();
    std::vector<double> v;
    EXPECT_EQ(RunValues("CArticSrchProNum", {kThis}, 3, &v, OnChannel(2)), 0);
    EXPECT_EQ(v, (std::vector<double>{48.0, 5.0, 0.0}));
    // Program 0 that the song sets is a program.
    EXPECT_EQ(RunValues("CArticSrchProNum", {kThis}, 3, &v, OnChannel(4)), 0);
    EXPECT_EQ(v, (std::vector<double>{0.0, 0.0, 0.0}));
}

TEST_F(ProNumTest, NoEntryKeepsTheOutputs) {
    LoadSong({}, kMstrVoiceEvents);
    std::vector<double> v;
    // No tables computed yet, then a channel the song does not have.
    EXPECT_EQ(RunValues("CArticSrchProNum", {kThis}, 3, &v, OnChannel(2)), 1);
    EXPECT_EQ(v, (std::vector<double>{-7.0, -7.0, -7.0}));
    SelectSong();
    EXPECT_EQ(RunValues("CArticSrchProNum", {kThis}, 3, &v, OnChannel(5)), 1);
    EXPECT_EQ(v, (std::vector<double>{-7.0, -7.0, -7.0}));
    // Channel 3 plays notes but the song gives it no program or bank event:
    // "no program", not program 0.
    EXPECT_EQ(RunValues("CArticSrchProNum", {kThis}, 3, &v, OnChannel(3)), 1);
    EXPECT_EQ(v, (std::vector<double>{-7.0, -7.0, -7.0}));
    // No editor manager registered.
    CArticEditorUtil::SetEditorMgr(nullptr);
    EXPECT_EQ(RunValues("CArticSrchProNum", {kThis}, 3, &v, OnChannel(2)), 1);
    EXPECT_EQ(v, (std::vector<double>{-7.0, -7.0, -7.0}));
    // A note outside any block.
    CArticWrkEvnt loose(nullptr, 99);
    loose.SetStatus(0x90);
    CArticSrchEvnt* b = Make("CArticSrchProNum", {E(Ev(4, &loose)), Var(Val(1, -7.0)), Var(Val(2, -7.0)),
                                                  Var(Val(3, -7.0))});
    EXPECT_EQ(Run(b, note), 1);
    EXPECT_EQ(Val(1)->GetData(), -7.0);
    EXPECT_EQ(Recorded(), "");
}

TEST_F(ProNumTest, FailedArgumentReadWritesZeros) {
    LoadSong({}, kMstrVoiceEvents);
    SelectSong();
    std::vector<double> v;
    CArticRulDataVal* outs[] = {Val(1, -7.0), Val(2, -7.0), Val(3, -7.0)};
    EXPECT_EQ(Run("CArticSrchProNum", {E(Ev(4)), Var(outs[0]), Var(outs[1]), Var(outs[2])}, note), 1);
    for (CArticRulDataVal* out : outs) EXPECT_EQ(out->GetData(), 0.0);
}

TEST_F(ProNumTest, TargetVoiceOfTheRegisteredDriver) {
    LoadSong({});
    CPHConvPrm prm;
    prm.BankMsb = 5;
    prm.BankLsb = 1;
    prm.Program = 48;
    song->view.prm = &prm;
    std::vector<double> v;
    EXPECT_EQ(RunValues("CArticSrchProNumOfVexa", {}, 3, &v, note), 0);
    EXPECT_EQ(v, (std::vector<double>{48.0, 5.0, 1.0}));
    song->view.prm = nullptr;
    EXPECT_EQ(RunValues("CArticSrchProNumOfVexa", {}, 3, &v, note), 0);
    EXPECT_EQ(v, (std::vector<double>{0.0, 0.0, 0.0}));
    CArticEditorUtil::SetView(nullptr);
    EXPECT_EQ(RunValues("CArticSrchProNumOfVexa", {}, 3, &v, note), 0);
    EXPECT_EQ(v, (std::vector<double>{0.0, 0.0, 0.0}));
}

TEST_F(MstrTest, ClonesFromTheBoundListsRunLikeTheOriginals) {
    LoadSong(Cat({MstrTempoAt(0, 1000000), MstrMeterAt(0, 3, 2), MstrKeyAt(0, 0xFE, 1),
                  At(0, {0xFF, 0x7F, 0x07, 0x43, 0x7B, 0x01, 9, 3, 2, 1})}));
    for (const char* name : {"CArticSrchMstrMeter", "CArticSrchMstrTempo", "CArticSrchMstrTempo2", "CArticSrchMstrKey",
                             "CArticSrchMstrChord", "CArticSrchMstrGetTimeFromMeter", "CArticSrchMstrGetTimeFromKey",
                             "CArticSrchProNumOfVexa"}) {
        CExString n(name);
        int inNum = 0, outNum = 0, in[8], out[8];
        ASSERT_EQ(CArticSrchUtil::GetArgmentInfo(n, &inNum, in, &outNum, out), 0);
        std::vector<CArticRulElm*> args;
        if (inNum == 1) args.push_back(in[0] == CArticSrchUtil::InMask('e') ? E(This()) : Num(100));
        std::vector<CArticRulDataVal*> vars;
        for (int k = 0; k < outNum; ++k) {
            vars.push_back(Val(ULONG(k + 1), -7.0));
            args.push_back(Var(vars.back()));
        }
        CArticSrchEvnt *original = nullptr, *clone = nullptr;
        MakeWithClone(name, args, &original, &clone);
        ASSERT_TRUE(original && clone);
        EXPECT_EQ(Run(original, note), 0) << name;
        std::vector<double> want;
        for (CArticRulDataVal* var : vars) want.push_back(var->GetData()), var->SetData(-7.0);
        EXPECT_EQ(Run(clone, note), 0) << name;
        std::vector<double> got;
        for (CArticRulDataVal* var : vars) got.push_back(var->GetData());
        EXPECT_EQ(got, want) << name;
        EXPECT_NE(want[0], -7.0) << name;
    }
}

// A script line reaches the song through the program's host.
using MstrScriptTest = rultest::RulSetTest;

TEST_F(MstrScriptTest, ScriptLineReadsTheTempoOfTheSong) {
    bridgetest::BridgeSong song;
    ASSERT_EQ(song.Load(smftest::Smf0(Cat({MstrTempoAt(0, 1000000), At(0, {0x90, 60, 100}), At(480, {0x80, 60, 0})}))),
              1);
    rul.SetCEditor(song.Host());
    ASSERT_EQ(Load({"#set:4", "#func5:CArticSrchMstrTempo(_thisEvnt.Time, &_val1)", "#prob:1"}), 0);
    AddNotes({100});
    ASSERT_EQ(set->Search(notes[0]), 0);
    EXPECT_EQ(set->GetDataVal(1)->GetData(), 60.0);
    rul.SetCEditor(nullptr);
}

}  // namespace
