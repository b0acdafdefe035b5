#include <gtest/gtest.h>

#include <vector>

#include "engine/work/ArticWrkUtil.h"
#include "UtilFixture.h"

using namespace wrktest;

namespace {

using Evnts = std::vector<CArticWrkEvnt*>;

struct Queries : UtilTest {
    CArticWrkTrk* selected = AddTrack(wrk, 1, 1);
    CArticWrkTrk* unselected = AddTrack(wrk, 2, 0);
    CArticWrkBlk* blk = AddBlock(selected);
    CArticWrkBlk* side = AddBlock(unselected);

    CArticWrkEvnt* Fingered(CArticWrkEvnt* e, BYTE string) {
        e->SetFngrInfo(0, string, 0, 0);
        return e;
    }
};

}  // namespace

TEST_F(Queries, NextAndPreviousNotes) {
    CArticWrkEvnt* a = Fingered(AddNote(blk, 0, 0, 60), 1);
    CArticWrkEvnt* b = Fingered(AddNote(blk, 1, 240, 62), 2);
    CArticWrkEvnt* x = AddNote(side, 2, 300, 50);
    CArticWrkEvnt* c = Fingered(AddNote(blk, 3, 480, 64), 1);
    CArticWrkEvnt* d = Fingered(AddNote(blk, 4, 720, 65), 1);
    struct Case {
        int (*op)(CArticWrkEvnt*, int, CArticWrkEvntList*);
        CArticWrkEvnt* from;
        int n;
        int rc;
        Evnts found;
    };
    const Case cases[] = {
        {CArticWrkUtil::GetNextNote, a, 1, 0, {c}},
        {CArticWrkUtil::GetNextNote, a, 3, 1, {c, d}},  // fewer than asked: what was found stays
        {CArticWrkUtil::GetPrevNote, d, 2, 0, {c, a}},
        {CArticWrkUtil::GetWrkNextNote, a, 1, 0, {b}},
        {CArticWrkUtil::GetWrkNextNote, b, 2, 0, {c, d}},
        {CArticWrkUtil::GetAllNextNote, b, 1, 0, {x}},
        {CArticWrkUtil::GetAllPrevNote, c, 2, 0, {x, b}},
        {CArticWrkUtil::GetWrkPrevNote, d, 5, 1, {c, b, a}},
        {CArticWrkUtil::GetNextNote, a, 0, 1, {}},
        {CArticWrkUtil::GetWrkNextNote, nullptr, 1, 1, {}},
    };
    int i = 0;
    for (const auto& k : cases) {
        CArticWrkEvntList list;
        EXPECT_EQ(k.op(k.from, k.n, &list), k.rc) << i;
        EXPECT_EQ(Items(list), k.found) << i;
        ++i;
    }
    EXPECT_EQ(CArticWrkUtil::GetNextNote(a, 1, nullptr), 1);
}

TEST_F(Queries, NumberedAndProbableNeighbours) {
    CArticWrkEvnt* a = AddNote(blk, 0, 0, 60);
    CArticWrkEvnt* b = AddNote(blk, 1, 240, 62);
    CArticWrkEvnt* x = AddNote(side, 2, 300, 50);
    CArticWrkEvnt* c = AddNote(blk, 3, 480, 64);
    b->SetProb(2, 0.0);
    c->SetProb(2, 0.25);
    x->SetProb(2, 0.9);
    EXPECT_EQ(CArticWrkUtil::GetWrkNextNumNote(a, 2), c);
    EXPECT_EQ(CArticWrkUtil::GetWrkPrevNumNote(c, 2), a);
    EXPECT_EQ(CArticWrkUtil::GetWrkNextNumNote(a, 3), nullptr);
    EXPECT_EQ(CArticWrkUtil::GetNextProbNote(a, 2), c);
    EXPECT_EQ(CArticWrkUtil::GetPrevProbNote(c, 2), nullptr);
    EXPECT_EQ(CArticWrkUtil::GetWrkNextProbNote(a, 2), c);  // x is on an unselected track
    EXPECT_EQ(CArticWrkUtil::GetWrkPrevProbNote(c, 2), nullptr);
    EXPECT_EQ(CArticWrkUtil::GetNextProbNote(a, -1), nullptr);
    EXPECT_EQ(CArticWrkUtil::GetWrkNextProbNote(a, -1), nullptr);
}

TEST_F(Queries, ControllerInForceBeforeATime) {
    CArticWrkEvnt* early = AddCc(blk, 0, 0, 11, 10);
    CArticWrkEvnt* note = AddNote(blk, 1, 100, 60);
    CArticWrkEvnt* mid = AddCc(blk, 2, 200, 11, 20);
    AddCc(blk, 3, 250, 7, 20);
    AddCc(blk, 4, 600, 11, 30);
    EXPECT_EQ(CArticWrkUtil::GetFrontContCcEvnt(note, 500, 11), mid);
    EXPECT_EQ(CArticWrkUtil::GetFrontContCcEvnt(note, 150, 11), early);  // found below the note
    EXPECT_EQ(CArticWrkUtil::GetFrontContCcEvnt(mid, 300, 11), mid);
    EXPECT_EQ(CArticWrkUtil::GetFrontContCcEvnt(note, 0, 11), nullptr);
    EXPECT_EQ(CArticWrkUtil::GetFrontContCcEvnt(note, 500, 1), nullptr);
    CArticWrkEvnt loose;
    EXPECT_EQ(CArticWrkUtil::GetFrontContCcEvnt(&loose, 500, 11), nullptr);
}

TEST_F(Queries, ChordPartnersInBlockAndNumberOrder) {
    CArticWrkEvnt* p = AddNote(blk, 0, 0, 60, 480);
    CArticWrkEvnt* q = AddNote(blk, 1, 240, 64, 720);
    CArticWrkEvnt* out = p;
    EXPECT_EQ(CArticWrkUtil::GetNextChordWrkEvnt(p, 200, &out), 0);
    EXPECT_EQ(out, q);  // overlap 240
    EXPECT_EQ(CArticWrkUtil::GetNextChordWrkEvnt(p, 240, &out), 1);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(CArticWrkUtil::GetPrevChordWrkEvnt(q, 200, &out), 0);
    EXPECT_EQ(out, p);
    EXPECT_EQ(CArticWrkUtil::GetPrevChordWrkEvnt(q, 240, &out), 1);

    EXPECT_EQ(CArticWrkUtil::GetWrkNextChordWrkEvnt(p, 200, &out), 0);
    EXPECT_EQ(out, q);
    EXPECT_EQ(CArticWrkUtil::GetWrkNextChordWrkEvnt(p, 240, &out), 0);  // none, yet not a failure
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(CArticWrkUtil::GetWrkPrevChordWrkEvnt(q, 200, &out), 0);
    EXPECT_EQ(out, p);
    EXPECT_EQ(CArticWrkUtil::GetWrkPrevChordWrkEvnt(q, 0, &out), 0);
    EXPECT_EQ(out, nullptr);
    CArticWrkEvnt* cc = AddCc(blk, 2, 10, 7, 1);
    EXPECT_EQ(CArticWrkUtil::GetWrkNextChordWrkEvnt(cc, 200, &out), 1);
    EXPECT_EQ(CArticWrkUtil::GetNextChordWrkEvnt(nullptr, 200, &out), 1);
}

TEST_F(Queries, SoundingTogetherAndChordMembership) {
    CArticWrkEvnt* a = AddNote(blk, 0, 100, 60, 480);  // 100 .. 580
    struct Case { INT64 start, gate, window; double ratio; int chord; };
    const Case cases[] = {
        {140, 480, 30, 0.5, 0},   // starts 40 after a: never a partner
        {130, 480, 30, 0.5, 1},   // 30 after: overlap 450 of needed 240
        {80, 480, 30, 0.5, 1},    // earlier than a
        {100, 100, 30, 0.5, 1},   // overlap 100, need 50
        {100, 100, 30, 1.5, 0},   // need 150
        {600, 100, 1000, 0.0, 0}, // no overlap at all
    };
    for (const auto& c : cases) {
        CArticWrkEvnt* b = Loose(0x90, c.start, 64, 100, c.gate);
        EXPECT_EQ(CArticWrkUtil::IsChord(a, b, c.window, c.ratio, 1000), c.chord) << c.start << " " << c.ratio;
        delete b;
    }
    CArticWrkEvnt* late = Loose(0x90, 500, 64, 100, 500);  // overlap 80
    EXPECT_EQ(CArticWrkUtil::GetIsChordWrkEvnt(a, late, 79), 1);
    EXPECT_EQ(CArticWrkUtil::GetIsChordWrkEvnt(a, late, 80), 0);
    EXPECT_EQ(CArticWrkUtil::GetIsChordWrkEvnt(a, nullptr, -1), 0);
    delete late;
}

TEST_F(Queries, ChordCollectionsByNumber) {
    CArticWrkEvnt* e0 = AddNote(blk, 0, 0, 60, 480);
    CArticWrkEvnt* e1 = AddNote(blk, 1, 10, 64, 480);
    AddCc(blk, 2, 15, 7, 1);
    CArticWrkEvnt* e3 = AddNote(blk, 3, 20, 67, 100);
    AddNote(blk, 4, 500, 72, 100);
    CArticWrkEvntList list;
    ASSERT_EQ(CArticWrkUtil::GetChordEvnt(&wrk, &list, e0, 30, 0.5, 1000), 0);
    EXPECT_EQ(Items(list), (Evnts{e1, e0}));  // e3 overlaps 100 of the 240 needed
    CArticWrkEvntList list3;
    ASSERT_EQ(CArticWrkUtil::GetChordEvnt3(&wrk, &list3, e0, 30, 0.5, 1000), 0);
    EXPECT_EQ(Items(list3), (Evnts{e0, e1, e3}));  // pairwise, with the shorter note's share

    CArticWrk another;
    CArticWrkEvntList none;
    EXPECT_EQ(CArticWrkUtil::GetChordEvnt(&another, &none, e0, 30, 0.5, 1000), 1);
    EXPECT_EQ(CArticWrkUtil::GetChordEvnt3(&wrk, nullptr, e0, 30, 0.5, 1000), 1);
    EXPECT_TRUE(none.IsEmpty());
}

TEST_F(Queries, HarmonyDuringANote) {
    CArticWrkEvnt* n1 = AddNote(blk, 0, 0, 40, 600);       // ends inside
    CArticWrkEvnt* evnt = AddNote(blk, 1, 480, 60, 480);   // 480 .. 960
    CArticWrkEvnt* n3 = AddNote(blk, 2, 500, 43, 500);     // covers 580 .. 860
    AddNote(side, 3, 600, 44, 100);                        // unselected
    CArticWrkEvnt* n5 = AddNote(blk, 4, 700, 45, 100);
    AddNote(blk, 5, 900, 46, 100);                         // after the window: ends the walk
    CArticWrkEvntList list;
    list.AddTail(n1);  // emptied first
    ASSERT_EQ(CArticWrkUtil::GetWrkHarmoNote(evnt, 100, &list), 0);
    EXPECT_EQ(Items(list), (Evnts{n1, evnt, n3, n5}));
    ASSERT_EQ(CArticWrkUtil::GetWrkHarmoNote(evnt, 300, &list), 0);  // margin beyond half the note
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(CArticWrkUtil::GetWrkHarmoNote(evnt, 0, nullptr), 1);
}

TEST_F(Queries, RestBeforeANote) {
    AddNote(blk, 0, 0, 40, 700);
    AddNote(blk, 1, 600, 41, 300);
    AddNote(side, 2, 800, 42, 150);  // ends 950 on an unselected track
    CArticWrkEvnt* together = AddNote(blk, 3, 960, 43, 2000);
    CArticWrkEvnt* evnt = AddNote(blk, 4, 960, 60, 100);
    EXPECT_EQ(CArticWrkUtil::GetPrevRest(evnt), 60);
    EXPECT_EQ(CArticWrkUtil::GetWrkPrevRest(evnt), 60);
    EXPECT_EQ(CArticWrkUtil::GetPrevRest(together), 60);
    AddNote(blk, 5, 500, 44, 500);  // still sounds at 960
    EXPECT_EQ(CArticWrkUtil::GetPrevRest(evnt), 0);
    EXPECT_EQ(CArticWrkUtil::GetWrkPrevRest(evnt), 60);  // numbered after the note: not walked
    EXPECT_EQ(CArticWrkUtil::GetPrevRest(nullptr), 0);
}

TEST_F(Queries, NextEventOutsideTheChord) {
    CArticWrkEvnt* evnt = AddNote(blk, 0, 0, 60, 480);
    CArticWrkEvnt* cc1 = AddCc(blk, 1, 200, 7, 1);
    AddNote(blk, 2, 300, 62, 100);
    CArticWrkEvnt* cc2 = AddCc(blk, 3, 400, 7, 1);
    CArticWrkEvnt* late = AddNote(side, 4, 450, 64, 100);
    CArticWrkEvnt* after = AddNote(blk, 5, 500, 65, 100);
    CArticWrkEvnt* out = nullptr;
    EXPECT_EQ(CArticWrkUtil::GetNonChordWrkEvnt(evnt, 100, 0, &out), 0);
    EXPECT_EQ(out, cc2);
    EXPECT_EQ(CArticWrkUtil::GetNonChordWrkEvnt(evnt, 100, 1, &out), 0);
    EXPECT_EQ(out, after);
    EXPECT_EQ(CArticWrkUtil::GetNonChordWrkEvnt(evnt, 1000, 0, &out), 0);  // limit held at the start
    EXPECT_EQ(out, cc1);
    EXPECT_EQ(CArticWrkUtil::GetWrkNonChordWrkEvnt(evnt, 100, 1, &out), 0);
    EXPECT_EQ(out, after);  // late is on an unselected track
    EXPECT_EQ(CArticWrkUtil::GetNonChordWrkEvnt(evnt, -1000, 0, &out), 1);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(CArticWrkUtil::GetNonChordWrkEvnt(cc1, 0, 0, &out), 1);
    (void)late;
}

TEST_F(Queries, AreasAndMeasures) {
    CArticWrkBlk* measBlk = AddBlock(AddTrack(wrk, 0));
    wrk.SetMeasBlk(measBlk);
    CArticWrkEvnt* n0 = AddNote(blk, 0, 0, 60);
    CArticWrkEvnt* n1 = AddNote(blk, 1, 100, 62);
    AddCc(blk, 2, 150, 7, 1);
    CArticWrkEvnt* n3 = AddNote(blk, 3, 200, 60);
    CArticWrkEvnt* x = AddNote(side, 4, 250, 55);
    CArticWrkEvnt* n5 = AddNote(blk, 5, 2000, 64);
    for (auto* e : {n0, n1, n3, x, n5}) e->SetTime(e->GetTime(), 1);  // bar numbers

    CArticWrkEvntList area;
    EXPECT_EQ(CArticWrkUtil::GetAreaNote(blk, 100, 200, &area), 0);
    EXPECT_EQ(Items(area), (Evnts{n1, n3}));
    CArticWrkEvntList sameKey;
    EXPECT_EQ(CArticWrkUtil::GetAreaNote(blk, n0, 0, 300, 60, &sameKey), 0);
    EXPECT_EQ(Items(sameKey), (Evnts{n3}));
    EXPECT_EQ(CArticWrkUtil::GetAreaNote(nullptr, 0, 1, &area), 1);

    CArticWrkEvntList around;
    EXPECT_EQ(CArticWrkUtil::GetAreaNoteByEvnt(n3, 100, 300, &around), 0);
    EXPECT_EQ(Items(around), (Evnts{n1, n3, x}));  // every track, in number order

    CArticWrkEvntList bar;
    EXPECT_EQ(CArticWrkUtil::GetSameMeasNote(n1, &bar), 0);
    EXPECT_EQ(Items(bar), (Evnts{n0, n1, n3}));
    CArticWrkEvntList wrkBar;
    EXPECT_EQ(CArticWrkUtil::GetSameWrkMeasNote(n1, &wrkBar), 0);
    EXPECT_EQ(Items(wrkBar), (Evnts{n0, n1, n3}));
    CArticWrkEvntList bar2;
    EXPECT_EQ(CArticWrkUtil::GetSameMeasNote(n5, &bar2), 0);
    EXPECT_EQ(Items(bar2), (Evnts{n5}));
    EXPECT_EQ(CArticWrkUtil::GetSameMeasNote(nullptr, &bar2), 0);
    EXPECT_EQ(CArticWrkUtil::GetSameWrkMeasNote(nullptr, &bar2), 1);
}

TEST_F(Queries, NearestNoteTimesByType) {
    OwnedList notes;
    notes.list.AddTail(Loose(0x90, 100, 60, 100, 100));  // 100 .. 200
    notes.list.AddTail(Loose(0x90, 400, 62, 100, 200));  // 400 .. 600
    notes.list.AddTail(Loose(0xB0, 350, 7, 1));
    struct Case { bool on; INT64 time; BYTE type; INT64 result; int found; };
    const Case cases[] = {
        {true, 300, 0, 400, 1},  {true, 300, 1, 100, 1},  {true, 300, 2, 400, 1},  {true, 300, 3, 400, 1},
        {true, 400, 0, 400, 1},  {true, 400, 10, 100, 1}, {true, 400, 1, 400, 1},  {true, 400, 11, 100, 1},
        {true, 400, 12, 600, 0}, {true, 400, 13, kWrkNoTime, 0}, {true, 700, 2, 700, 0},
        {true, 700, 3, kWrkNoTime, 0}, {true, 50, 1, 50, 0}, {true, 50, 11, 50, 0},
        {false, 300, 0, 200, 1}, {false, 300, 2, 600, 1}, {false, 300, 12, 600, 1}, {false, 600, 12, 600, 0},
        {false, 700, 12, 700, 0}, {false, 300, 3, 300, 0}, {false, 200, 10, 600, 1},
    };
    for (const auto& c : cases) {
        int found = 7;
        INT64 t = c.on ? CArticWrkUtil::GetNearNoteOnTime2(&notes.list, c.time, c.type, &found)
                       : CArticWrkUtil::GetNearNoteOffTime2(&notes.list, c.time, c.type, &found);
        EXPECT_EQ(t, c.result) << (c.on ? "on " : "off ") << c.time << " type " << int(c.type);
        EXPECT_EQ(found, c.found) << (c.on ? "on " : "off ") << c.time << " type " << int(c.type);
        EXPECT_EQ(c.on ? CArticWrkUtil::GetNearNoteOnTime(&notes.list, c.time, c.type)
                       : CArticWrkUtil::GetNearNoteOffTime(&notes.list, c.time, c.type),
                  c.result);
    }
    // A tie goes to the candidate nearer the list's tail.
    OwnedList tie;
    tie.list.AddTail(Loose(0x90, 200, 60, 100, 10));
    tie.list.AddTail(Loose(0x90, 400, 62, 100, 10));
    EXPECT_EQ(CArticWrkUtil::GetNearNoteOnTime(&tie.list, 300, 0), 400);
    int found = 5;
    EXPECT_EQ(CArticWrkUtil::GetNearNoteOnTime2(nullptr, 300, 0, &found), 300);
    EXPECT_EQ(found, 0);
}

TEST_F(Queries, NearNoteTimeOfABlockAndTheNextExpressionSetting) {
    AddNote(blk, 0, 100, 60, 100);
    AddNote(blk, 1, 400, 62, 200);
    for (INT64 t : {450, 800}) {
        CArticWrkEvnt setting;
        setting.SetStatus(0xB0);
        setting.SetPost1(11);
        setting.SetTime(t, 0);
        ASSERT_EQ(blk->SetCondPos(&setting), 0);
    }
    struct Case { BYTE mode; INT64 time; INT64 result; int found; };
    const Case cases[] = {
        {0, 300, 400, 1}, {1, 300, 400, 1}, {2, 300, 200, 1}, {4, 300, 600, 1}, {13, 400, kWrkNoTime, 0},
        {99, 300, 300, 0}, {101, 300, 450, 1}, {101, 500, 800, 1}, {101, 900, kWrkNoTime, 0},
    };
    for (const auto& c : cases) {
        INT64 t = c.time;
        int found = 7;
        EXPECT_EQ(CArticWrkUtil::GetNearNoteTime2(blk, c.mode, &t, &found), 0);
        EXPECT_EQ(t, c.result) << int(c.mode) << " at " << c.time;
        EXPECT_EQ(found, c.found) << int(c.mode) << " at " << c.time;
        INT64 plain = c.time;
        EXPECT_EQ(CArticWrkUtil::GetNearNoteTime(blk, c.mode, &plain), 0);
        EXPECT_EQ(plain, c.result);
    }
    INT64 kept = 123;
    EXPECT_EQ(CArticWrkUtil::GetNearNoteTime(nullptr, 0, &kept), 1);
    EXPECT_EQ(kept, 123);
}

namespace {

struct KeySignatures : UtilTest {
    CArticWrkBlk* measBlk = AddBlock(AddTrack(wrk, 0));
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    void SetUp() override {
        UtilTest::SetUp();
        wrk.SetMeasBlk(measBlk);
    }
    void KeyAt(ULONG no, INT64 time, signed char sf, BYTE minor) {
        CArticWrkEvnt* e = NewMeta(measBlk, no, time, 0x59, {BYTE(sf), minor});
        measBlk->AddTail(e, 1);
        ASSERT_EQ(measBlk->SetCondPos(e), 0);
    }
    LONG Neighbour(BYTE mode, INT64 time, BYTE key, int* rc) {
        LONG out = -1;
        *rc = CArticWrkUtil::GetDia1Note(&wrk, blk, mode, time, key, 0, 0, 0, &out);
        return out;
    }
};

}  // namespace

TEST_F(KeySignatures, DiatonicNeighboursUnderTheKeyInForce) {
    KeyAt(0, 1920, -6, 0);  // G-flat major from bar 2; C major before
    struct Case { INT64 time; BYTE mode, key; LONG out; };
    const Case cases[] = {
        {0, 1, 64, 65},    {0, 0, 64, 62},    {0, 1, 71, 72},    {0, 0, 60, 59},  {0, 2, 64, 0},
        {1920, 1, 66, 68}, {1920, 0, 66, 65}, {1920, 1, 71, 73}, {1920, 0, 71, 70}, {1920, 1, 65, 66},
    };
    for (const auto& c : cases) {
        int rc = -1;
        EXPECT_EQ(Neighbour(c.mode, c.time, c.key, &rc), c.out) << c.time << " " << int(c.key);
        EXPECT_EQ(rc, 0);
    }
    EXPECT_TRUE(exp.reports.empty());
}

TEST_F(KeySignatures, AMinorKeyKeepsTheKeyWithAReport) {
    KeyAt(0, 0, 0, 1);  // A minor: sf 0, mi 1
    int rc = -1;
    EXPECT_EQ(Neighbour(1, 0, 64, &rc), 64);
    EXPECT_EQ(rc, 0);
    ASSERT_EQ(exp.reports.size(), 1u);
    EXPECT_EQ(exp.reports[0].phase, "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集時(第１段階)にｴﾗｰが発生しました。");
    EXPECT_EQ(exp.reports[0].reason, "指定したNote番号より1音上のNote番号をGETできませんでした。");
    EXPECT_EQ(exp.reports[0].location, "CArticWrkUtil::GetDia1Note");
    EXPECT_EQ(exp.reports[0].detail, "Note番号 = E3(064)");
    RecordingExp next;
    CArticWrkUtil::SetExpEvnt(&next);
    rc = -1;
    EXPECT_EQ(Neighbour(0, 0, 64, &rc), 64);
    EXPECT_EQ(rc, 0);
    ASSERT_EQ(next.reports.size(), 1u);
    EXPECT_EQ(next.reports[0].reason, "指定したNote番号より1音下のNote番号をGETできませんでした。");
}

TEST_F(KeySignatures, AKeyOffTheScaleKeepsItselfWithAReport) {
    int rc = -1;
    EXPECT_EQ(Neighbour(1, 0, 61, &rc), 61);  // C sharp in C major
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(exp.reports.size(), 1u);
    LONG out = -1;
    CArticWrk noMeasure;
    EXPECT_EQ(CArticWrkUtil::GetDia1Note(&noMeasure, blk, 1, 0, 60, 0, 0, 0, &out), 1);
    EXPECT_EQ(out, 0);
}

TEST(ArticWrkUtilKeys, GlissandoKeyRuns) {
    struct Case { BYTE from, to; int white, toIsWhite, up; int rc; std::vector<int> keys; };
    const Case cases[] = {
        {60, 67, 1, 1, 1, 0, {60, 62, 64, 65}},
        {67, 60, 1, 1, 0, 0, {67, 65, 64, 62}},
        {61, 70, 0, 0, 1, 0, {61, 63, 66, 68}},
        {60, 66, 1, 0, 1, 0, {60, 62, 64, 65}},
        {60, 62, 1, 1, 1, 0, {60}},
    };
    for (const auto& c : cases) {
        CObList keys;
        EXPECT_EQ(CArticWrkUtil::GetGlisNoteNum(c.from, c.to, c.white, c.toIsWhite, c.up, &keys), c.rc);
        std::vector<int> got;
        for (POSITION p = keys.GetHeadPosition(); p;) got.push_back(CArticWrkUtil::GetNoteListValue(keys.GetNext(p)));
        EXPECT_EQ(got, c.keys) << int(c.from) << " -> " << int(c.to);
        CArticWrkUtil::DelObList(&keys);
    }
    EXPECT_EQ(CArticWrkUtil::GetGlisNoteNum(60, 67, 1, 1, 1, nullptr), 1);
}

TEST_F(Queries, LowestAndHighestKeyAndVoice) {
    OwnedList l;
    l.list.AddTail(Loose(0xB0, 0, 1, 2));
    BYTE low = 0, high = 0;
    EXPECT_EQ(CArticWrkUtil::GetNoteLH(&l.list, &low, &high), 1);
    l.list.AddTail(Loose(0x90, 0, 64));
    l.list.AddTail(Loose(0x90, 0, 52));
    l.list.AddTail(Loose(0x90, 0, 71));
    EXPECT_EQ(CArticWrkUtil::GetNoteLH(&l.list, &low, &high), 0);
    EXPECT_EQ(low, 52);
    EXPECT_EQ(high, 71);

    BYTE msb = 9, lsb = 9, prg = 9;
    CArticWrkUtil::GetVoice(blk, 100, &msb, &lsb, &prg);
    EXPECT_EQ(msb + lsb + prg, 0);
    CArticWrkEvnt voice;
    voice.SetStatus(0x30);
    voice.SetTime(50, 0);
    voice.SetPost1(8);
    voice.SetPost2(1);
    voice.SetPost3(25);
    ASSERT_EQ(blk->SetCondPos(&voice), 0);
    CArticWrkUtil::GetVoice(blk, 100, &msb, &lsb, &prg);
    EXPECT_EQ(msb, 8);
    EXPECT_EQ(lsb, 1);
    EXPECT_EQ(prg, 25);
}

TEST_F(Queries, SearchAKeyOrATimeAmongNeighbouringEntries) {
    OwnedList l;
    CArticWrkEvnt* a = Loose(0x90, 0, 60);
    CArticWrkEvnt* b = Loose(0x90, 100, 67);
    CArticWrkEvnt* c = Loose(0x90, 200, 70);
    l.list.AddTail(a);
    l.list.AddTail(nullptr);
    l.list.AddTail(b);
    l.list.AddTail(c);
    struct Case { int key; CArticWrkEvnt* at; CArticWrkEvnt* next; };
    const Case keys[] = {{60, a, nullptr}, {67, b, nullptr}, {62, a, b}, {69, b, c}, {70, c, nullptr}, {75, nullptr, c},
                         {50, nullptr, c}};
    for (const auto& k : keys) {
        CArticWrkEvnt* at = a;
        CArticWrkEvnt* next = a;
        CArticWrkUtil::SearchWrkEvntList(&l.list, BYTE(k.key), &at, &next);
        EXPECT_EQ(at, k.at) << k.key;
        EXPECT_EQ(next, k.next) << k.key;
    }
    struct TimeCase { INT64 time; CArticWrkEvnt* at; CArticWrkEvnt* next; };
    const TimeCase times[] = {{100, b, nullptr}, {50, a, b}, {150, b, c}, {250, nullptr, c}};
    for (const auto& k : times) {
        CArticWrkEvnt* at = a;
        CArticWrkEvnt* next = a;
        CArticWrkUtil::SearchWrkEvntList(&l.list, INT64(k.time), &at, &next);
        EXPECT_EQ(at, k.at) << k.time;
        EXPECT_EQ(next, k.next) << k.time;
    }
}

TEST(ArticWrkUtilSort, ByKeyKeepsTheInsertionOrderOfEqualKeys) {
    CArticWrkEvnt a, b, c;
    a.SetPost1(64);
    b.SetPost1(60);
    c.SetPost1(64);
    CArticWrkEvntList up;
    for (auto* e : {&a, &b, &c}) up.AddTail(e);
    EXPECT_EQ(CArticWrkUtil::SortByKey(&up, 1), 0);
    EXPECT_EQ(Items(up), (Evnts{&b, &a, &c}));
    CArticWrkEvntList down;
    for (auto* e : {&a, &b, &c}) down.AddTail(e);
    EXPECT_EQ(CArticWrkUtil::SortByKey(&down, 0), 0);
    EXPECT_EQ(Items(down), (Evnts{&c, &a, &b}));  // a later equal key goes first
    EXPECT_EQ(CArticWrkUtil::SortByKey(nullptr, 1), 1);
    EXPECT_EQ(CArticWrkUtil::SortByKey(&down, nullptr, 1), nullptr);
}
