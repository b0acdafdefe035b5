#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "BridgeFixture.h"
#include "engine/work/WorkFixture.h"

namespace {

using bridgetest::At;
using bridgetest::BridgeSong;
using bridgetest::TestView;

constexpr DWORD kTicks = MPTIME_FORMAT_TICKS;

// A song is loaded only for its host's time conversion.
struct ConvSong : BridgeSong {
    ConvSong() { EXPECT_EQ(Load(smftest::Smf0(At(0, {0x90, 60, 100}))), 1); }
};

tagMPEVENT Short(DWORD kind, INT64 time, BYTE d1 = 0, BYTE d2 = 0, LONG duration = 0) {
    return hosttest::ShortRecord(kind, time, d1, d2, duration);
}

// A variable-data record over bytes the test keeps.
tagMPEVENT Var(DWORD kind, INT64 time, std::vector<BYTE>& bytes) {
    tagMPEVENT e;
    ResetMPEvent(e);
    e.Kind = kind;
    e.Time = time;
    e.Length = DWORD(bytes.size());
    e.Bytes = bytes.empty() ? nullptr : bytes.data();
    return e;
}

TEST(ArticEditorUtilTime, SongTicksBecomeEngineTicks) {
    ConvSong song;
    INT64 out = -1;
    EXPECT_EQ(CArticEditorUtil::TimeConvert(1920, kTicks, 0, &out, kTicks, 0), 1);
    EXPECT_EQ(out, 960);
    EXPECT_EQ(CArticEditorUtil::TimeConvert(1921, kTicks, 0, &out, kTicks, 0), 1);
    EXPECT_EQ(out, 960);
    LONG gate = -1;
    EXPECT_EQ(CArticEditorUtil::TimeConvert(LONG(961), &gate), 1);
    EXPECT_EQ(gate, 480);

    out = 7;
    song.mgr.SetClientBeatMul(0);
    EXPECT_EQ(CArticEditorUtil::TimeConvert(1920, kTicks, 0, &out, kTicks, 0), 0);
    EXPECT_EQ(CArticEditorUtil::TimeConvert(LONG(961), &gate), 0);
    song.mgr.SetClientBeatMul(2);
    song.view.failTimes = true;
    EXPECT_EQ(CArticEditorUtil::TimeConvert(1920, kTicks, 0, &out, kTicks, 0), 0);
    song.view.failTimes = false;
    CArticEditorUtil::SetView(nullptr);
    EXPECT_EQ(CArticEditorUtil::TimeConvert(1920, kTicks, 0, &out, kTicks, 0), 0);
    LONG meas = 0, beat = 0, tick = 0;
    EXPECT_EQ(CArticEditorUtil::TimeToMeas(1920, kTicks, 0, &meas, &beat, &tick), 0);
    EXPECT_EQ(out, 7);

    CArticEditorUtil::SetView(&song.view);
    EXPECT_EQ(CArticEditorUtil::TimeToMeas(3840, kTicks, 0, &meas, &beat, &tick), 1);
    EXPECT_EQ(meas, 2);  // 4/4 by default: one bar of 3840 song ticks
    INT64 at = 0;
    EXPECT_EQ(CArticEditorUtil::MeasToTime(2, 1, 0, &at, kTicks, 0), 1);
    EXPECT_EQ(at, 3840);
}

TEST(ArticEditorUtilFilter, VelocitySwitchesAndFirstNoteTime) {
    ConvSong song;
    CArticEditorUtil::SetVeloSwitches(0, 1, 10);
    tagMPEVENT soft = Short(MPEVENT_KIND_NOTE, 0, 60, 10, 240);
    tagMPEVENT loud = Short(MPEVENT_KIND_NOTE, 0, 60, 11, 240);
    EXPECT_EQ(CArticEditorUtil::IsConvWrkEvnt(&soft, 0, 1), 0);
    EXPECT_EQ(CArticEditorUtil::IsConvWrkEvnt(&loud, 0, 1), 1);
    EXPECT_EQ(loud.Data2, 11);

    CArticEditorUtil::SetVeloSwitches(1, 0, -1);
    tagMPEVENT any = Short(MPEVENT_KIND_NOTE, 0, 60, 120, 240);
    EXPECT_EQ(CArticEditorUtil::IsConvWrkEvnt(&any, 0, 1), 1);
    EXPECT_EQ(any.Data2, 64);
    CArticEditorUtil::ResetVeloSwitches();

    // First note-on at engine tick 500: song tick 998 (engine 499) in a block
    // starting at 0 is early; 1000 is not; the block start counts.
    song.mgr.SetFirstNoteOnTime(500);
    tagMPEVENT early = Short(MPEVENT_KIND_NOTE, 998, 60, 100, 10);
    tagMPEVENT onTime = Short(MPEVENT_KIND_NOTE, 1000, 60, 100, 10);
    EXPECT_EQ(CArticEditorUtil::IsConvWrkEvnt(&early, 0, 1), 0);
    EXPECT_EQ(CArticEditorUtil::IsConvWrkEvnt(&onTime, 0, 1), 1);
    EXPECT_EQ(CArticEditorUtil::IsConvWrkEvnt(&early, 1, 1), 1);
    song.view.failTimes = true;
    EXPECT_EQ(CArticEditorUtil::IsConvWrkEvnt(&onTime, 0, 1), 0);
}

TEST(ArticEditorUtilFilter, KindsKeptWithAndWithoutKeepAll) {
    ConvSong song;
    std::vector<BYTE> bendRange = {0x43, 0x10, 0x4C, 0x08, 0x00, 0x23, 0x42, 0xF7};
    std::vector<BYTE> cutoff = {0x43, 0x10, 0x4C, 0x08, 0x00, 0x18, 0x42, 0xF7};
    std::vector<BYTE> meter = {0x58, 4, 2, 24, 8};
    std::vector<BYTE> key = {0x59, 0, 0};
    std::vector<BYTE> tempo = {0x51, 0x07, 0xA1, 0x20};
    struct Case {
        const char* name;
        tagMPEVENT e;
        int keepAllClear;
        int keepAllSet;
    };
    const Case kCases[] = {
        {"RPN 0/0", Short(MPEVENT_KIND_RPN, 0, 0, 0), 1, 1},
        {"RPN 0/1", Short(MPEVENT_KIND_RPN, 0, 0, 1), 0, 1},
        {"CC 100", Short(MPEVENT_KIND_CONTROL, 0, 100, 0), 1, 1},
        {"CC 101", Short(MPEVENT_KIND_CONTROL, 0, 101, 0), 1, 1},
        {"CC 6", Short(MPEVENT_KIND_CONTROL, 0, 6, 2), 1, 1},
        {"CC 7", Short(MPEVENT_KIND_CONTROL, 0, 7, 100), 0, 1},
        {"pitch bend", Short(MPEVENT_KIND_PITCHBEND, 0, 0, 0x40), 1, 1},
        {"program", Short(MPEVENT_KIND_PROGRAM, 0, 25), 0, 1},
        {"bend range exclusive", Var(MPEVENT_KIND_SYSEX, 0, bendRange), 1, 1},
        {"cutoff exclusive", Var(MPEVENT_KIND_SYSEX, 0, cutoff), 0, 1},
        {"meter", Var(MPEVENT_KIND_META, 0, meter), 1, 1},
        {"key", Var(MPEVENT_KIND_META, 0, key), 1, 1},
        {"tempo", Var(MPEVENT_KIND_META, 0, tempo), 0, 1},
        {"note", Short(MPEVENT_KIND_NOTE, 0, 60, 100, 10), 1, 1},
        {"note off", Short(MPEVENT_KIND_NOTEOFF, 0, 60, 0), 1, 0},
    };
    for (const Case& c : kCases) {
        tagMPEVENT e = c.e;
        EXPECT_EQ(CArticEditorUtil::IsConvWrkEvnt(&e, 0, 0), c.keepAllClear) << c.name;
        e = c.e;
        EXPECT_EQ(CArticEditorUtil::IsConvWrkEvnt(&e, 0, 1), c.keepAllSet) << c.name;
    }
}

struct WorkBlock {
    CArticWrk wrk;
    CArticWrkTrk* trk = wrktest::AddTrack(wrk, 1);
    CArticWrkBlk* blk = wrktest::AddBlock(trk);
    CArticWrkEvnt evnt{blk, 1};
};

TEST(ArticEditorUtilConvert, NoteTimesGateAndVelocity) {
    ConvSong song;
    CVeloSens sens;
    sens.InsertEvnt(new CVeloSensEvnt(CVeloSensEvnt::kDepth, 100, 32));
    song.view.veloSens = &sens;
    WorkBlock w;
    tagMPEVENT note = Short(MPEVENT_KIND_NOTE, 401, 64, 100, 961);
    note.Data3 = 3;
    note.Data4 = 4;
    int skip = 7;
    EXPECT_EQ(CArticEditorUtil::ConvWrkEvnt(&note, &w.evnt, 1000, &skip), 0);
    EXPECT_EQ(skip, 0);
    EXPECT_EQ(w.evnt.GetStatus(), 0x90);
    EXPECT_EQ(w.evnt.GetTime(), 1200);
    EXPECT_EQ(w.evnt.GetGateTime(), 480);
    EXPECT_EQ(w.evnt.GetPost1(), 64);
    EXPECT_EQ(w.evnt.GetPost2(), 50);  // depth 32 at 100, before the note's 200 within the block
    EXPECT_EQ(w.evnt.GetPost3(), 3);
    EXPECT_EQ(w.evnt.GetPost4(), 4);

    // The timeline reads the time within the block: a depth at 300 is later than the note.
    CVeloSens late;
    late.InsertEvnt(new CVeloSensEvnt(CVeloSensEvnt::kDepth, 300, 32));
    song.view.veloSens = &late;
    EXPECT_EQ(CArticEditorUtil::ConvWrkEvnt(&note, &w.evnt, 1000, &skip), 0);
    EXPECT_EQ(w.evnt.GetPost2(), 100);

    song.view.failTimes = true;
    EXPECT_EQ(CArticEditorUtil::ConvWrkEvnt(&note, &w.evnt, 1000, &skip), 1);
}

TEST(ArticEditorUtilConvert, TextEventsNameTheTrack) {
    ConvSong song;
    struct Case {
        std::string text;
        LONG attr;
    };
    const Case kCases[] = {{"Bass guitar", 4}, {"Bas", 0}, {"Piano-R hand", 1}, {"Piano-L", 2},
                           {"Melody", 3},      {"Drums", 5}, {"bass", 0}};
    for (const Case& c : kCases) {
        WorkBlock w;
        std::vector<BYTE> bytes = {0x01};
        bytes.insert(bytes.end(), c.text.begin(), c.text.end());
        tagMPEVENT e = Var(MPEVENT_KIND_META, 0, bytes);
        int skip = 1;
        EXPECT_EQ(CArticEditorUtil::ConvWrkEvnt(&e, &w.evnt, 0, &skip), 0) << c.text;
        EXPECT_EQ(skip, 0);
        EXPECT_EQ(w.trk->GetTrkAttr(), c.attr) << c.text;
        const BYTE* data = nullptr;
        BYTE type = 0;
        EXPECT_EQ(w.evnt.GetMeta(&type, &data), ULONG(c.text.size()));
        EXPECT_EQ(type, 0x01);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), c.text.size()), c.text);
    }
}

TEST(ArticEditorUtilConvert, StatusOfEveryKind) {
    struct Row {
        DWORD kind;
        BYTE status;
    };
    const Row kRows[] = {
        {0x2, 0x10},     {0x4, 0x20},     {0x8, 0x30},      {0x20, 0x80},     {0x40, 0x90},    {0x80, 0xA0},
        {0x100, 0xB0},   {0x200, 0xC0},   {0x400, 0xD0},    {0x800, 0xE0},    {0x10000, 0xF0}, {0x20000, 0xF7},
        {0x40000, 0x50}, {0x100000, 0xFF}, {0x200000, 0x40}, {0x10, 0x00},
    };
    for (const Row& r : kRows) EXPECT_EQ(CArticEditorUtil::CheckStatus(r.kind), r.status) << r.kind;
    EXPECT_EQ(CArticEditorUtil::CheckStatus(0x80000), 0x00);
    EXPECT_EQ(CArticEditorUtil::CheckStatus(0x1), 0x00);
}

TEST(ArticEditorUtilConvert, UnfillableEventsAreSkips) {
    ConvSong song;
    std::vector<BYTE> none;
    std::vector<BYTE> noteSysex = {0x43, 0xF7};
    const tagMPEVENT kSkips[] = {Short(MPEVENT_KIND_SHORT_OTHER, 0, 1, 2), Var(MPEVENT_KIND_NOTE_SYSEX, 0, noteSysex),
                                 Var(MPEVENT_KIND_META, 0, none)};
    for (const tagMPEVENT& e : kSkips) {
        WorkBlock w;
        int skip = 0;
        EXPECT_EQ(CArticEditorUtil::ConvWrkEvnt(&e, &w.evnt, 0, &skip), 0) << e.Kind;
        EXPECT_EQ(skip, 1) << e.Kind;
    }
    // Exclusive data is kept whole, with meta type 0; a control change keeps its bytes.
    WorkBlock w;
    std::vector<BYTE> sysex = {0x43, 0x10, 0x4C, 0x08, 0x00, 0x23, 0x42, 0xF7};
    tagMPEVENT e = Var(MPEVENT_KIND_SYSEX, 960, sysex);
    int skip = 1;
    EXPECT_EQ(CArticEditorUtil::ConvWrkEvnt(&e, &w.evnt, 0, &skip), 0);
    EXPECT_EQ(skip, 0);
    EXPECT_EQ(w.evnt.GetStatus(), 0xF0);
    EXPECT_EQ(w.evnt.GetTime(), 480);
    const BYTE* data = nullptr;
    BYTE type = 9;
    ASSERT_EQ(w.evnt.GetMeta(&type, &data), 8u);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(std::memcmp(data, sysex.data(), 8), 0);
    tagMPEVENT cc = Short(MPEVENT_KIND_CONTROL, 2, 7, 99);
    EXPECT_EQ(CArticEditorUtil::ConvWrkEvnt(&cc, &w.evnt, 5, &skip), 0);
    EXPECT_EQ(w.evnt.GetStatus(), 0xB0);
    EXPECT_EQ(w.evnt.GetTime(), 6);
    EXPECT_EQ(w.evnt.GetPost2(), 99);
}

TEST(ArticEditorUtilRpn, LastAddressAndReset) {
    WorkBlock w;
    CArticEditorUtil::ResetLastMultiStatusEvnt();
    w.evnt.SetStatus(0xB0);
    w.evnt.SetPost1(101);
    w.evnt.SetPost2(3);
    CArticEditorUtil::CheckLastMultiStatusEvnt(&w.evnt);
    w.evnt.SetPost1(100);
    w.evnt.SetPost2(5);
    CArticEditorUtil::CheckLastMultiStatusEvnt(&w.evnt);
    w.evnt.SetStatus(0xE0);  // not a control change
    w.evnt.SetPost1(101);
    CArticEditorUtil::CheckLastMultiStatusEvnt(&w.evnt);
    EXPECT_EQ(CArticEditorUtil::GetLastRpnMsb(), 3);
    EXPECT_EQ(CArticEditorUtil::GetLastRpnLsb(), 5);
    CArticEditorUtil::ResetLastMultiStatusEvnt();
    EXPECT_EQ(CArticEditorUtil::GetLastRpnMsb(), 127);
    EXPECT_EQ(CArticEditorUtil::GetLastRpnLsb(), 127);
}

TEST(ArticEditorUtilRanges, MergeAndSort) {
    using Ranges = CArticTimeRangeList;
    auto merged = [](INT64 start, INT64 end) {
        Ranges list = {{100, 200}};
        CArticEditorUtil::SetTimeRangeList(&list, start, end);
        return list;
    };
    auto same = [](const Ranges& a, const Ranges& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i].Start != b[i].Start || a[i].End != b[i].End) return false;
        return true;
    };
    EXPECT_TRUE(same(merged(100, 200), {{100, 200}}));              // equal: ignored
    EXPECT_TRUE(same(merged(150, 300), {{100, 300}}));              // starts inside
    EXPECT_TRUE(same(merged(200, 250), {{100, 250}}));              // starts at the end
    EXPECT_TRUE(same(merged(50, 150), {{50, 200}}));                // ends inside
    EXPECT_TRUE(same(merged(50, 300), {{50, 300}}));                // covers
    EXPECT_TRUE(same(merged(300, 400), {{100, 200}, {300, 400}}));  // apart: appended

    CArticTimeList source = {30, 10, 20, 10, 30};
    CArticTimeList target = {20};
    CArticEditorUtil::SortTimeList(&source, &target);
    EXPECT_TRUE(source.empty());
    EXPECT_EQ(target, (CArticTimeList{10, 20, 30}));
}

TEST(ArticEditorUtilState, GuardClearsEveryRegistration) {
    CArticEditorUtil::Reset();
    {
        TestView view;
        CArticEditorMgr mgr;
        CArticPref pref;
        CArticBridgeGuard guard(&view, &mgr, &pref);
        EXPECT_EQ(CArticEditorUtil::GetView(), &view);
        EXPECT_EQ(CArticEditorUtil::GetEditorMgr(), &mgr);
        EXPECT_EQ(CArticEditorUtil::GetPref(), &pref);
        CArticEditorUtil::SetVeloSwitches(1, 1, 20);
    }
    EXPECT_EQ(CArticEditorUtil::GetView(), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetEditorMgr(), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetPref(), nullptr);

    // A registered driver or manager that goes away takes its registration with it.
    auto* view = new TestView();
    auto* mgr = new CArticEditorMgr();
    CArticEditorUtil::SetView(view);
    CArticEditorUtil::SetEditorMgr(mgr);
    delete view;
    delete mgr;
    EXPECT_EQ(CArticEditorUtil::GetView(), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetEditorMgr(), nullptr);
}

TEST(ArticEditorUtilState, SelectionLookups) {
    auto pos = [](uintptr_t n) { return reinterpret_cast<POSITION>(n); };
    bridgetest::PosList sel;
    sel.Add(pos(1), pos(10));
    sel.Add(pos(2), nullptr);
    sel.Add(nullptr, nullptr, nullptr);
    sel.Add(pos(3), pos(30), pos(300));
    EXPECT_EQ(CArticEditorUtil::FindSelection(&sel.list, pos(1)), 1);
    EXPECT_EQ(CArticEditorUtil::FindSelection(&sel.list, pos(2)), 0);  // no block
    EXPECT_EQ(CArticEditorUtil::FindEvnt(&sel.list, pos(3), pos(30), pos(300)), 1);
    EXPECT_EQ(CArticEditorUtil::FindEvnt(&sel.list, pos(3), pos(30), pos(301)), 0);
    EXPECT_EQ(CArticEditorUtil::FindEvnt(&sel.list, nullptr, nullptr, nullptr), 0);
}

// The set a walk makes of a selection answers every question as FindEvnt on
// the list: entries that name nothing, partial entries, repeated entries.
TEST(ArticEditorUtilState, SelectionSetAnswersAsTheList) {
    auto pos = [](uintptr_t n) { return reinterpret_cast<POSITION>(n); };
    bridgetest::PosList sel;
    sel.Add(pos(1), pos(10));
    sel.Add(pos(2), nullptr, pos(200));
    sel.Add(nullptr, nullptr, nullptr);
    sel.Add(pos(3), pos(30), pos(300));
    sel.Add(pos(3), pos(30), pos(300));
    sel.Add(nullptr, nullptr, pos(400));
    const CArticSelSet set(&sel.list);
    const CArticSelSet none(nullptr);
    const uintptr_t values[] = {0, 1, 2, 3, 10, 30, 200, 300, 301, 400};
    for (uintptr_t t : values)
        for (uintptr_t b : values)
            for (uintptr_t e : values) {
                const int expected = CArticEditorUtil::FindEvnt(&sel.list, pos(t), pos(b), pos(e));
                EXPECT_EQ(set.Find(pos(t), pos(b), pos(e)), expected) << t << ' ' << b << ' ' << e;
                EXPECT_EQ(none.Find(pos(t), pos(b), pos(e)), 0);
            }
    EXPECT_EQ(set.Find(pos(1), pos(10), nullptr), 1);
    EXPECT_EQ(set.Find(nullptr, nullptr, nullptr), 0);
}

}  // namespace
