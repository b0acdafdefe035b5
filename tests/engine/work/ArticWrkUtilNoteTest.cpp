#include <gtest/gtest.h>

#include <vector>

#include "engine/work/ArticWrkUtil.h"
#include "UtilFixture.h"

using namespace wrktest;

namespace {

const char kPhase1[] = "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集時(第１段階)にｴﾗｰが発生しました。";

struct NoteEdits : UtilTest {
    CArticWrkBlk* measBlk = AddBlock(AddTrack(wrk, 0));
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkBlk* other = AddBlock(AddTrack(wrk, 2));
    void SetUp() override {
        UtilTest::SetUp();
        wrk.SetMeasBlk(measBlk);  // 4/4 from 0: 1920 ticks a bar
    }
    std::vector<CArticWrkEvnt*> Notes(CArticWrkBlk* b) {
        std::vector<CArticWrkEvnt*> out;
        for (POSITION p = b->GetHeadPos(); p;) out.push_back(b->GetNext(p));
        return out;
    }
    // The event the number table resolves the event's number to.
    CArticWrkEvnt* ByNumber(CArticWrkEvnt* e) { return wrk.GetEvntInEvntPosArray(e->GetEvntNo(), 1); }
};

}  // namespace

TEST_F(NoteEdits, FailuresReportOncePerExpression) {
    EXPECT_EQ(CArticWrkUtil::CreNoteTime(&wrk, nullptr, 0, 60, 100, 480), 1);
    ASSERT_EQ(exp.reports.size(), 1u);
    EXPECT_EQ(exp.reports[0].phase, kPhase1);
    EXPECT_EQ(exp.reports[0].reason, "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ（Note）を作成するための情報に誤りがある。");
    EXPECT_EQ(exp.reports[0].location, "CArticWrkUtil::CreNoteTime");
    EXPECT_EQ(exp.reports[0].detail, "");
    // Later failures of the same expression are not reported again.
    EXPECT_EQ(CArticWrkUtil::EditNoteTime(nullptr, blk, nullptr, 0, 60, 100, 480), 1);
    EXPECT_EQ(CArticWrkUtil::LimitDuration(nullptr, 30), 1);
    EXPECT_EQ(exp.reports.size(), 1u);

    // A new expression gets its own report.
    RecordingExp next;
    CArticWrkUtil::SetExpEvnt(&next);
    EXPECT_EQ(CArticWrkUtil::LimitDuration(nullptr, 30), 1);
    ASSERT_EQ(next.reports.size(), 1u);
    EXPECT_EQ(next.reports[0].reason, "Durationをﾘﾐｯﾄする際にｴﾗｰが発生しました。");
    EXPECT_EQ(next.reports[0].location, "CArticWrkUtil::LimitDuration");

    // Without a current expression nothing is reported, the failure stays.
    CArticWrkUtil::SetExpEvnt(nullptr);
    RecordingExp unused;
    EXPECT_EQ(CArticWrkUtil::EditNoteTime(&wrk, nullptr, nullptr, 0, 60, 100, 480), 1);
    EXPECT_EQ(CArticWrkUtil::DelEvnt(nullptr), 1);
    EXPECT_TRUE(unused.reports.empty());
    EXPECT_EQ(exp.reports.size(), 1u);
    EXPECT_EQ(next.reports.size(), 1u);
}

TEST_F(NoteEdits, ContextResetForgetsTheExpressionAndTheFingeringFlag) {
    CArticWrkUtil::SetFng(1);
    EXPECT_EQ(CArticWrkUtil::GetExpEvnt(), &exp);
    CArticEngineCtx::Get().Reset();
    EXPECT_EQ(CArticWrkUtil::GetExpEvnt(), nullptr);
    EXPECT_EQ(CArticWrkUtil::GetFng(), 0);
    EXPECT_EQ(CArticWrkUtil::DelEvnt(nullptr), 1);
    EXPECT_TRUE(exp.reports.empty());
}

TEST_F(NoteEdits, CreNoteTimeMakesARegisteredCreatedNote) {
    AddNote(blk, 0, 0, 60);
    ASSERT_EQ(CArticWrkUtil::CreNoteTime(&wrk, blk, 2400, 64, 90, 240), 0);
    ASSERT_EQ(blk->GetCount(), 2);
    CArticWrkEvnt* e = blk->Get(1);
    EXPECT_EQ(e->GetStatus(), 0x90);
    EXPECT_EQ(e->GetPost1(), 64);
    EXPECT_EQ(e->GetPost2(), 90);
    EXPECT_EQ(e->GetGateTime(), 240);
    EXPECT_EQ(e->GetCreate(), 1);
    EXPECT_EQ(ByNumber(e), e);
    EXPECT_NE(e->GetEvntNo(), 0u);
    ULONG meas = 0, beat = 0, tick = 0;
    e->GetMeas(&meas, &beat, &tick);
    EXPECT_EQ(meas, 2u);  // 2400 = bar 2, beat 2, tick 0
    EXPECT_EQ(beat, 2u);
    EXPECT_EQ(tick, 0u);
    // Two creations in a row get two numbers.
    ASSERT_EQ(CArticWrkUtil::CreNoteTime(&wrk, blk, 100, 62, 90, 240), 0);
    EXPECT_NE(blk->Get(1)->GetEvntNo(), e->GetEvntNo());
    EXPECT_TRUE(exp.reports.empty());
}

TEST_F(NoteEdits, CreNoteTimeWithoutTimeOrLengthMakesNothing) {
    EXPECT_EQ(CArticWrkUtil::CreNoteTime(nullptr, nullptr, kWrkNoTime, 60, 100, 480), 0);
    EXPECT_EQ(CArticWrkUtil::CreNoteTime(&wrk, blk, 0, 60, 100, 0), 0);
    EXPECT_EQ(CArticWrkUtil::CreNoteTime(&wrk, blk, 0, 60, 100, -5), 0);
    EXPECT_EQ(blk->GetCount(), 0);
    EXPECT_TRUE(exp.reports.empty());
}

TEST_F(NoteEdits, EditNoteTimeMovesANoteAndKeepsItsNumber) {
    CArticWrkEvnt* a = AddNote(blk, 0, 0, 60);
    CArticWrkEvnt* b = AddNote(blk, 1, 480, 62);
    AddNote(other, 2, 0, 40);
    AddNote(other, 3, 960, 41);
    ASSERT_EQ(CArticWrkUtil::EditNoteTime(&wrk, other, a, 480, 67, 80, 120), 0);
    EXPECT_EQ(Notes(blk), (std::vector<CArticWrkEvnt*>{b}));
    EXPECT_EQ(Keys(other), (std::vector<int>{40, 67, 41}));
    EXPECT_EQ(a->GetOwner(), other);
    EXPECT_EQ(a->GetEvntNo(), 0u);
    EXPECT_EQ(ByNumber(a), a);  // the entry follows the note into its new block
    EXPECT_EQ(a->GetCreate(), 0);
    EXPECT_EQ(a->GetGateTime(), 120);
    EXPECT_EQ(a->GetPost2(), 80);

    // No time or no length: the note is left as it is.
    EXPECT_EQ(CArticWrkUtil::EditNoteTime(&wrk, blk, a, kWrkNoTime, 1, 1, 1), 0);
    EXPECT_EQ(CArticWrkUtil::EditNoteTime(&wrk, blk, a, 0, 1, 1, 0), 0);
    EXPECT_EQ(a->GetOwner(), other);
    EXPECT_EQ(a->GetPost1(), 67);
}

TEST_F(NoteEdits, EditNoteTimeNeverTakesOverAnotherNotesEntry) {
    CArticWrkEvnt* a = AddNote(blk, 0, 0, 60);
    // A fresh event carries number 0 too: editing it into the block must
    // leave note a reachable under its number.
    auto* fresh = new CArticWrkEvnt();
    ASSERT_EQ(CArticWrkUtil::EditNoteTime(&wrk, blk, fresh, 480, 64, 100, 240), 0);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(0u, 1), a);
    EXPECT_NE(fresh->GetEvntNo(), 0u);
    EXPECT_EQ(ByNumber(fresh), fresh);
    EXPECT_EQ(blk->GetCount(), 2);
}

TEST_F(NoteEdits, DelEvntFreesTheNumber) {
    CArticWrkEvnt* a = AddNote(blk, 0, 0, 60);
    CArticWrkEvnt* b = AddNote(blk, 1, 480, 62);
    ASSERT_EQ(CArticWrkUtil::DelEvnt(a), 0);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(0u, 0), nullptr);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(1u, 1), b);
    EXPECT_EQ(Notes(blk), (std::vector<CArticWrkEvnt*>{b}));
    EXPECT_TRUE(exp.reports.empty());
}

TEST_F(NoteEdits, CreTrillNoteAlternatesAndGivesTheRestToTheLastNote) {
    struct Case { signed char shift; std::vector<int> keys; };
    const Case cases[] = {{2, {60, 62, 60, 62}}, {-2, {62, 60, 62, 60}}, {0, {60, 60, 60, 60}}};
    for (const auto& c : cases) {
        blk->ClearEvntList();
        ASSERT_EQ(CArticWrkUtil::CreTrillNote(&wrk, blk, 1000, 2000, 60, 90, 240, c.shift), 0);
        EXPECT_EQ(Keys(blk), c.keys) << int(c.shift);
        std::vector<INT64> times, gates;
        for (CArticWrkEvnt* e : Notes(blk)) {
            times.push_back(e->GetTime());
            gates.push_back(e->GetGateTime());
            EXPECT_EQ(e->GetCreate(), 1);
            EXPECT_EQ(e->GetPost2(), 90);
            EXPECT_EQ(ByNumber(e), e);
        }
        EXPECT_EQ(times, (std::vector<INT64>{1000, 1240, 1480, 1720}));
        EXPECT_EQ(gates, (std::vector<INT64>{240, 240, 240, 280}));
    }
    // Keys stay inside 0..127.
    blk->ClearEvntList();
    ASSERT_EQ(CArticWrkUtil::CreTrillNote(&wrk, blk, 0, 480, 126, 90, 240, 5), 0);
    EXPECT_EQ(Keys(blk), (std::vector<int>{126, 127}));
}

TEST_F(NoteEdits, CreTrillNoteRefusesEmptySpansAndLengths) {
    EXPECT_EQ(CArticWrkUtil::CreTrillNote(&wrk, blk, 1000, 1100, 60, 90, 240, 2), 0);  // shorter than one note
    EXPECT_EQ(CArticWrkUtil::CreTrillNote(&wrk, blk, 1000, 1000, 60, 90, 240, 2), 1);
    EXPECT_EQ(CArticWrkUtil::CreTrillNote(&wrk, blk, 1000, 2000, 60, 90, 0, 2), 1);
    EXPECT_EQ(CArticWrkUtil::CreTrillNote(&wrk, blk, 1000, 2000, 60, 90, -240, 2), 1);
    EXPECT_EQ(blk->GetCount(), 0);
    EXPECT_EQ(CArticWrkUtil::CreTrillNote(nullptr, blk, 0, 1000, 60, 90, 240, 2), 1);
}

TEST_F(NoteEdits, CreateWrkEvntInAListRepeatsTheValueInForce) {
    OwnedList bends;
    bends.list.AddTail(LooseBend(0, 1000));
    bends.list.AddTail(LooseBend(480, -300));
    bends.list.AddTail(Loose(0xB0, 200, 7, 50));
    EXPECT_EQ(CArticWrkUtil::CreateWrkEvnt(&bends.list, 0xE0, 0, 480), 0);  // one is already there
    EXPECT_EQ(bends.list.GetCount(), 3);
    EXPECT_EQ(CArticWrkUtil::CreateWrkEvnt(&bends.list, 0xE0, 0, 240), 0);
    ASSERT_EQ(bends.list.GetCount(), 4);
    CArticWrkEvnt* made = bends.list.GetAt(bends.list.FindIndex(1));
    EXPECT_EQ(made->GetTime(), 240);
    EXPECT_EQ(Bend(made), 1000);
    EXPECT_EQ(made->GetOwner(), nullptr);

    // A controller starts from its default and only counts its own number.
    OwnedList ccs;
    ccs.list.AddTail(Loose(0xB0, 0, 10, 20));
    EXPECT_EQ(CArticWrkUtil::CreateWrkEvnt(&ccs.list, 0xB0, 7, 100), 0);
    ASSERT_EQ(ccs.list.GetCount(), 2);
    EXPECT_EQ(ccs.list.GetTail()->GetPost1(), 7);
    EXPECT_EQ(ccs.list.GetTail()->GetPost2(), 100);
    EXPECT_EQ(CArticWrkUtil::CreateWrkEvnt(nullptr, 0xB0, 7, 100), 1);
}

TEST_F(NoteEdits, CreOrigWrkEvntListPinsTheEndsOfTheArea) {
    AddCc(blk, 0, 100, 11, 30);
    CArticWrkEvnt* inside = AddCc(blk, 1, 600, 11, 70);
    AddCc(blk, 2, 700, 7, 90);
    CArticWrkEvntList list;
    ASSERT_EQ(CArticWrkUtil::CreOrigWrkEvntList(&wrk, blk, &list, 480, 960, 0xB0, 11), 0);
    ASSERT_EQ(list.GetCount(), 3);
    CArticWrkEvnt* head = list.GetHead();
    CArticWrkEvnt* tail = list.GetTail();
    EXPECT_EQ(list.GetAt(list.FindIndex(1)), inside);
    EXPECT_EQ(head->GetTime(), 480);
    EXPECT_EQ(head->GetPost2(), 30);  // in force before the area
    EXPECT_EQ(tail->GetTime(), 960);
    EXPECT_EQ(tail->GetPost2(), 70);  // in force at its end
    EXPECT_EQ(head->GetCreate(), 0);
    EXPECT_EQ(ByNumber(head), head);
    EXPECT_EQ(ByNumber(tail), tail);
    EXPECT_EQ(blk->GetCount(), 5);

    // An area without the controller: both ends carry its default.
    CArticWrkEvntList empty;
    ASSERT_EQ(CArticWrkUtil::CreOrigWrkEvntList(&wrk, other, &empty, 0, 100, 0xB0, 7), 0);
    EXPECT_EQ(Times(empty), (std::vector<INT64>{0, 100}));
    EXPECT_EQ(empty.GetHead()->GetPost2(), 100);
    EXPECT_EQ(empty.GetTail()->GetPost2(), 100);
    EXPECT_EQ(CArticWrkUtil::CreOrigWrkEvntList(&wrk, other, &empty, 0, 100, 0xE0, 0), 1);
}

TEST_F(NoteEdits, LimitDurationOnlyLengthens) {
    CArticWrkEvnt* a = AddNote(blk, 0, 0, 60, 10);
    CArticWrkEvnt* b = AddNote(blk, 1, 0, 62, 50);
    EXPECT_EQ(CArticWrkUtil::LimitDuration(a, 30), 0);
    EXPECT_EQ(CArticWrkUtil::LimitDuration(b, 30), 0);
    EXPECT_EQ(a->GetGateTime(), 30);
    EXPECT_EQ(b->GetGateTime(), 50);
}

TEST_F(NoteEdits, VelocityFromATimeUntilTheNextSetting) {
    CArticWrkEvnt* n0 = AddNote(blk, 0, 0, 60, 240, 100);
    CArticWrkEvnt* n1 = AddNote(blk, 1, 480, 62, 240, 100);
    CArticWrkEvnt* n2 = AddNote(blk, 2, 960, 64, 240, 100);
    CArticWrkEvnt setting;  // a velocity setting already filed at 960
    setting.SetStatus(0x90);
    setting.SetTime(960, 0);
    setting.SetPost2(110);
    ASSERT_EQ(blk->SetCondPos(&setting), 0);

    ASSERT_EQ(CArticWrkUtil::NoteVeloTimeAbs(&wrk, blk, 480, 70), 0);
    EXPECT_EQ(n0->GetPost2(), 100);
    EXPECT_EQ(n1->GetPost2(), 70);
    EXPECT_EQ(n2->GetPost2(), 100);  // from the next setting on
    _WRK_EVNT rec;
    rec.Status = 0x90;
    LONG velo = 0, at = 0;
    ASSERT_EQ(blk->GetCondPos(rec, 600, &velo, &at, nullptr), 0);
    EXPECT_EQ(velo, 70);
    EXPECT_EQ(at, 480);

    ASSERT_EQ(CArticWrkUtil::NoteVeloTimeRel(&wrk, blk, 0, 40), 0);
    EXPECT_EQ(n0->GetPost2(), 127);
    EXPECT_EQ(n1->GetPost2(), 70);  // the setting filed at 480 ends the change
    EXPECT_EQ(n2->GetPost2(), 100);
    ASSERT_EQ(CArticWrkUtil::NoteVeloTimeRel(&wrk, blk, 960, -120), 0);
    EXPECT_EQ(n2->GetPost2(), 1);  // a note-on is never lowered to a note-off
    EXPECT_EQ(CArticWrkUtil::NoteVeloTimeAbs(&wrk, nullptr, 0, 1), 1);
}

TEST_F(NoteEdits, SwapsExchangeWithANoteInformationSlot) {
    CArticWrkEvnt* e = AddNote(blk, 0, 480, 60, 240, 90);
    e->SetNoteInfo(3, 200);
    EXPECT_EQ(CArticWrkUtil::SwapNote(e, 3), 0);
    EXPECT_EQ(e->GetPost1(), 127);
    EXPECT_EQ(e->GetNoteInfo(3), 60);
    e->SetNoteInfo(4, -7);
    EXPECT_EQ(CArticWrkUtil::SwapGateTime(e, 4), 0);
    EXPECT_EQ(e->GetGateTime(), 0);
    EXPECT_EQ(e->GetNoteInfo(4), 240);
    e->SetNoteInfo(5, 2000);
    EXPECT_EQ(CArticWrkUtil::SwapOnTime(e, 5), 0);
    EXPECT_EQ(e->GetTime(), 2000);
    EXPECT_EQ(e->GetNoteInfo(5), 480);
    ULONG meas = 0, beat = 0, tick = 0;
    e->GetMeas(&meas, &beat, &tick);
    EXPECT_EQ(meas, 2u);
    EXPECT_EQ(tick, 80u);
    e->SetNoteInfo(0, -1);
    EXPECT_EQ(CArticWrkUtil::SwapVelo(e, 0), 0);
    EXPECT_EQ(e->GetPost2(), 0);
    EXPECT_EQ(e->GetNoteInfo(0), 90);
    for (int bad : {10, -1}) {
        EXPECT_EQ(CArticWrkUtil::SwapNote(e, bad), 1);
        EXPECT_EQ(CArticWrkUtil::SwapVelo(e, bad), 1);
        EXPECT_EQ(CArticWrkUtil::SwapGateTime(e, bad), 1);
        EXPECT_EQ(CArticWrkUtil::SwapOnTime(e, bad), 1);
    }
    EXPECT_EQ(e->GetPost1(), 127);
    EXPECT_EQ(CArticWrkUtil::SwapNote(nullptr, 0), 1);
}

TEST_F(NoteEdits, ExpsEvntListStretchesToTheGivenLength) {
    OwnedList l;
    for (INT64 t : {0, 240, 480}) l.list.AddTail(Loose(0x90, t));
    CArticWrkUtil::ExpsEvntList(&l.list, 1000, 1960);
    EXPECT_EQ(Times(l.list), (std::vector<INT64>{0, 480, 960}));
}

TEST_F(NoteEdits, ExpsEvntListOfAListEndingAtZeroSetsEveryTimeToZero) {
    OwnedList l;
    for (INT64 t : {240, 0}) l.list.AddTail(Loose(0x90, t));
    CArticWrkUtil::ExpsEvntList(&l.list, 0, 100);
    EXPECT_EQ(Times(l.list), (std::vector<INT64>{0, 0}));
    OwnedList zero;
    zero.list.AddTail(Loose(0x90, 0));
    CArticWrkUtil::ExpsEvntList(&zero.list, 500, 500);  // 0 / 0
    EXPECT_EQ(Times(zero.list), (std::vector<INT64>{0}));
    OwnedList negative;
    negative.list.AddTail(Loose(0x90, 100));
    negative.list.AddTail(Loose(0x90, -5));
    CArticWrkUtil::ExpsEvntList(&negative.list, 0, 1000);  // a negative end: left alone
    EXPECT_EQ(Times(negative.list), (std::vector<INT64>{100, -5}));
}

TEST_F(NoteEdits, ListChecks) {
    CArticWrkEvnt* a = AddNote(blk, 0, 0, 60);
    CArticWrkEvnt* b = AddNote(blk, 1, 480, 60);
    CArticWrkEvnt* c = AddNote(blk, 2, 960, 62);
    CArticWrkEvnt* cc = AddCc(blk, 3, 100, 7, 1);
    CArticWrkEvnt* elsewhere = AddNote(other, 4, 0, 60);
    CArticWrkEvnt loose;
    loose.SetStatus(0x90);
    using L = std::vector<CArticWrkEvnt*>;
    auto check = [](int (*f)(CArticWrk*, CArticWrkEvntList*), CArticWrk* w, L items) {
        CArticWrkEvntList list;
        for (auto* e : items) list.AddTail(e);
        return f(w, &list);
    };
    EXPECT_EQ(check(CArticWrkUtil::CheckAllNoteEvnt, &wrk, {a, nullptr, c}), 0);
    EXPECT_EQ(check(CArticWrkUtil::CheckAllNoteEvnt, &wrk, {a, cc}), 1);
    EXPECT_EQ(check(CArticWrkUtil::CheckAllNoteEvnt, &wrk, {a, &loose}), 1);
    EXPECT_EQ(check(CArticWrkUtil::CheckAllNoteEvnt, &wrk, {nullptr}), 1);
    EXPECT_EQ(check(CArticWrkUtil::CheckAllNoteEvnt, nullptr, {a}), 1);
    EXPECT_EQ(check(CArticWrkUtil::CheckSameBlk, &wrk, {a, cc, c}), 0);
    EXPECT_EQ(check(CArticWrkUtil::CheckSameBlk, &wrk, {a, elsewhere}), 1);
    EXPECT_EQ(check(CArticWrkUtil::CheckSameBlk, &wrk, {cc, a}), 1);  // the head must be a note
    EXPECT_EQ(check(CArticWrkUtil::CheckSameBlk, &wrk, {}), 1);
    EXPECT_EQ(check(CArticWrkUtil::CheckSameNoteNo, &wrk, {a, b, elsewhere}), 0);
    EXPECT_EQ(check(CArticWrkUtil::CheckSameNoteNo, &wrk, {a, c}), 1);

    CArticWrkEvntList same;
    for (auto* e : {a, cc, b}) same.AddTail(e);
    EXPECT_EQ(CArticWrkUtil::CheckSameWrkBlk(&same, 0), 0);
    EXPECT_EQ(CArticWrkUtil::CheckSameWrkBlk(&same, 1), 1);
    same.AddTail(nullptr);
    EXPECT_EQ(CArticWrkUtil::CheckSameWrkBlk(&same, 0), 1);
    CArticWrkEvntList mixed;
    mixed.AddTail(a);
    mixed.AddTail(elsewhere);
    EXPECT_EQ(CArticWrkUtil::CheckSameWrkBlk(&mixed, 0), 1);
}

TEST_F(NoteEdits, CheckNoteEvntFlagsHowNotesMeetAnArea) {
    AddNote(blk, 0, 100, 60, 200);  // 100 .. 300
    struct Case { INT64 from, to; int flags; };
    const Case cases[] = {{150, 250, 4}, {50, 350, 1 | 2}, {200, 400, 2}, {50, 150, 1}, {400, 500, 0}};
    for (const auto& c : cases) {
        int flags = 0x40;
        EXPECT_EQ(CArticWrkUtil::CheckNoteEvnt(blk, c.from, c.to, 1, flags), 0);
        EXPECT_EQ(flags, c.flags) << c.from << ".." << c.to;
    }
    int kept = 8;
    CArticWrkUtil::CheckNoteEvnt(blk, 150, 250, 0, kept);
    EXPECT_EQ(kept, 8 | 4);
    // Over the selected tracks the bits of every block add up.
    AddNote(other, 1, 500, 60, 10);
    int all = 0;
    EXPECT_EQ(CArticWrkUtil::CheckNoteWrkEvnt(&wrk, 150, 600, all), 0);
    EXPECT_EQ(all, 1 | 2);  // 2 from the first note's end, 1 and 2 from the note at 500
    EXPECT_EQ(CArticWrkUtil::CheckNoteWrkEvnt(nullptr, 0, 1, all), 1);
    EXPECT_EQ(all, 0);
}

TEST_F(NoteEdits, SameTimeChecks) {
    OwnedList l;
    l.list.AddTail(Loose(0xB0, 0, 11, 40));
    l.list.AddTail(Loose(0xB0, 100, 7, 99));
    l.list.AddTail(Loose(0xB0, 200, 11, 80));
    l.list.AddTail(Loose(0xB0, 300, 11, 20));
    LONG value = -1;
    CArticWrkEvnt* found = nullptr;
    EXPECT_EQ(CArticWrkUtil::CheckSameTimeEvnt(&l.list, 200, 0xB0, 11, &value, &found), 1);
    EXPECT_EQ(found, l.list.GetAt(l.list.FindIndex(2)));
    EXPECT_EQ(value, 40);  // in force before it
    found = nullptr;
    EXPECT_EQ(CArticWrkUtil::CheckSameTimeEvnt(&l.list, 250, 0xB0, 11, &value, &found), 0);
    EXPECT_EQ(value, 80);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(CArticWrkUtil::CheckSameTimeEvnt(&l.list, 50, 0xB0, 1, &value, &found), 0);
    EXPECT_EQ(value, 0);

    OwnedList tempi;
    const BYTE t1[3] = {0x07, 0xA1, 0x20};
    for (INT64 t : {0, 960}) {
        auto* e = new CArticWrkEvnt();
        e->SetStatus(0xFF);
        e->SetTime(t, 0);
        e->SetMeta(0x51, t1, 3);
        tempi.list.AddTail(e);
    }
    EXPECT_EQ(CArticWrkUtil::CheckSameTimeMetaEvnt(&tempi.list, 500, 0xFF, 0x51, &found), 0);
    EXPECT_EQ(found, tempi.list.GetHead());
    EXPECT_EQ(CArticWrkUtil::CheckSameTimeMetaEvnt(&tempi.list, 960, 0xFF, 0x51, &found), 1);
    EXPECT_EQ(found, tempi.list.GetTail());
    EXPECT_EQ(CArticWrkUtil::CheckSameTimeMetaEvnt(&tempi.list, 500, 0xFF, 0x58, &found), 0);
    EXPECT_EQ(found, nullptr);
}

TEST_F(NoteEdits, CompareEvntUsesTheFieldsOfTheFirstEventsKind) {
    struct Case { BYTE status; int field; int equal; };
    // field: 0 none changed, 1 gate, 2 Post3, 3 Post2, 4 time
    const Case cases[] = {
        {0x90, 0, 0}, {0x90, 1, 1}, {0x90, 2, 0}, {0xB0, 1, 0}, {0xB0, 3, 1}, {0x30, 2, 1}, {0x20, 2, 0},
        {0xC0, 3, 0}, {0xC0, 4, 1}, {0x80, 0, 1},
    };
    for (const auto& c : cases) {
        CArticWrkEvnt* a = Loose(c.status, 100, 1, 2, 30);
        CArticWrkEvnt* b = Loose(c.status, 100, 1, 2, 30);
        if (c.field == 1) b->SetGateTime(31);
        if (c.field == 2) b->SetPost3(9);
        if (c.field == 3) b->SetPost2(9);
        if (c.field == 4) b->SetTime(101, 0);
        EXPECT_EQ(CArticWrkUtil::CompareEvnt(a, b), c.equal) << int(c.status) << " " << c.field;
        delete a;
        delete b;
    }
    const BYTE x[2] = {1, 2}, y[2] = {1, 3};
    CArticWrkEvnt m1, m2, m3;
    for (auto* m : {&m1, &m2, &m3}) m->SetStatus(0xFF);
    m1.SetMeta(0x01, x, 2);
    m2.SetMeta(0x01, x, 2);
    m3.SetMeta(0x01, y, 2);
    EXPECT_EQ(CArticWrkUtil::CompareEvnt(&m1, &m2), 0);
    EXPECT_EQ(CArticWrkUtil::CompareEvnt(&m1, &m3), 1);
    EXPECT_EQ(CArticWrkUtil::CompareEvnt(&m1, nullptr), 1);
}

TEST_F(NoteEdits, GetEndTimeStopsBeforeTheNextExpressionSetting) {
    EXPECT_EQ(CArticWrkUtil::GetEndTime(blk, 0, 0xB0, 11), kWrkNoTime);  // none filed
    CArticWrkEvnt* setting = AddCc(blk, 0, 960, 11, 50);
    ASSERT_EQ(blk->SetCondPos(setting), 0);
    EXPECT_EQ(CArticWrkUtil::GetEndTime(blk, 0, 0xB0, 11), 959);
    EXPECT_EQ(CArticWrkUtil::GetEndTime(blk, 0, 0xB0, 7), kWrkNoTime);
    EXPECT_EQ(CArticWrkUtil::GetEndTime(nullptr, 0, 0xB0, 11), kWrkNoTime);
    CArticWrkEvnt* atZero = AddCc(other, 1, 0, 11, 50);
    ASSERT_EQ(other->SetCondPos(atZero), 0);
    EXPECT_EQ(CArticWrkUtil::GetEndTime(other, -10, 0xB0, 11), 0);
}
