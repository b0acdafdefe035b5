// First, last and counted neighbours in block order and in work order, the
// measure spans and the key windows.
#include <gtest/gtest.h>

#include "BuiltinFixture.h"

using namespace bitest;

namespace {
using NeighbourTest = TwoTrackTest;
}

TEST_F(NeighbourTest, FirstAndLastNotes) {
    CArticRulDataEvnt* out = Ev(1);
    struct Case {
        const char* name;
        CArticWrkEvnt* note;
        int want;  // event number, 0 for no event
    };
    const Case cases[] = {
        {"CArticSrchFirstEvnt", n[7], 1},      {"CArticSrchLastEvnt", n[3], 9},
        {"CArticSrchFirstEvntMeas", n[9], 9},  // a bar's only note is its own first
        {"CArticSrchLastEvntMeas", n[1], 7},   {"CArticSrchFirstEvntMeas", n[4], 10},  // block order: 10 starts first
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.name, {E(This()), Var(out)}, c.note), 0) << c.name;
        CArticWrkEvnt* got = out->GetEvnt(0);
        EXPECT_EQ(got ? int(got->GetEvntNo()) : 0, c.want) << c.name;
        EXPECT_EQ(ErrFlag(c.note), 0) << c.name;
    }
    EXPECT_EQ(Run("CArticSrchWrkFirstEvnt", {Var(out)}, n[5]), 0);
    EXPECT_EQ(out->GetEvnt(0), n[1]);
    EXPECT_EQ(Run("CArticSrchWrkLastEvnt", {Var(out)}, n[5]), 0);
    EXPECT_EQ(out->GetEvnt(0), n[10]);
    EXPECT_EQ(Run("CArticSrchWrkFirstEvntMeas", {E(This()), Var(out)}, n[9]), 0);
    EXPECT_EQ(out->GetEvnt(0), n[9]);
    EXPECT_EQ(Run("CArticSrchWrkLastEvntMeas", {E(This()), Var(out)}, n[1]), 0);
    EXPECT_EQ(out->GetEvnt(0), n[10]);
    EXPECT_EQ(Run("CArticSrchWrkFirstEvntMeas2", {Num(2000), Var(out)}, n[1]), 0);
    EXPECT_EQ(out->GetEvnt(0), n[9]);

    trk->SetSelTrk(0);
    trk2->SetSelTrk(0);
    Ev(1, n[1]);
    EXPECT_EQ(Run("CArticSrchWrkFirstEvnt", {Var(out)}, n[5]), 0);
    EXPECT_EQ(out->GetEvnt(0), nullptr);
    EXPECT_EQ(ErrFlag(n[5]), 0);
}

TEST_F(NeighbourTest, MeasureSearchesFlagTheNoteWhenEmpty) {
    CArticRulDataEvnt* out = Ev(1, n[1]);
    EXPECT_EQ(Run("CArticSrchFirstEvntMeas2", {Num(4000), Var(out)}, n[1]), 0);  // bar 3: empty
    EXPECT_EQ(out->GetEvnt(0), nullptr);
    EXPECT_EQ(ErrFlag(n[1]), 1);
    EXPECT_EQ(Recorded(), "");
    n[1]->SetErr(kSetNo, 0);
    EXPECT_EQ(Run("CArticSrchFirstEvntMeas2", {Num(-1), Var(out)}, n[1]), 1);
    EXPECT_EQ(out->GetEvnt(0), nullptr);
    EXPECT_EQ(Recorded(), "-1");
    EXPECT_EQ(Run("CArticSrchLastEvntMeas2", {Num(500), Var(out)}, n[1]), 0);
    EXPECT_EQ(out->GetEvnt(0), n[7]);
}

TEST_F(NeighbourTest, Meas3SpanMovesBackByTheOffset) {
    // Bar 3 spans 3840..5759; moved back by 120: 3720..5639.
    for (INT64 t : {3719, 3720, 5639, 5640}) Note(ULONG(20 + t % 100), t, 70, 10);
    CArticRulDataEvnt* out = Ev(1);
    struct Case {
        const char* name;
        INT64 want;
    };
    for (const Case& c : {Case{"CArticSrchFirstEvntMeas3", 3720}, Case{"CArticSrchLastEvntMeas3", 5639},
                          Case{"CArticSrchWrkFirstEvntMeas3", 3720}, Case{"CArticSrchWrkLastEvntMeas3", 5639}}) {
        EXPECT_EQ(Run(c.name, {Num(4000), Num(120), Var(out)}, n[1]), 0) << c.name;
        ASSERT_NE(out->GetEvnt(0), nullptr) << c.name;
        EXPECT_EQ(out->GetEvnt(0)->GetTime(), c.want) << c.name;
    }
    EXPECT_EQ(Run("CArticSrchFirstEvntMeas3", {Num(4000), Num(-120), Var(out)}, n[1]), 1);
    EXPECT_EQ(Recorded(), "-120");
    EXPECT_EQ(out->GetEvnt(0), nullptr);
}

TEST_F(NeighbourTest, CountedNeighbours) {
    CArticRulDataEvnt* out = Ev(1);
    struct Case {
        const char* name;
        CArticWrkEvnt* note;
        double count;
        int want;
    };
    const Case cases[] = {
        {"CArticSrchPreNum", n[9], 2, 1},      // skips string 2 and the note without fingering
        {"CArticSrchPreNum", n[9], 1, 7},      {"CArticSrchNextNum", n[1], 2, 9},
        {"CArticSrchNextNum", n[1], 2.9, 9},   {"CArticSrchWrkPreNum", n[9], 2, 7},  // counts both tracks
        {"CArticSrchWrkNextNum", n[1], 3, 4},  {"CArticSrchWrkNextNum", n[9], 1, 10},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.name, {E(This()), Num(c.count), Var(out)}, c.note), 0) << c.name;
        CArticWrkEvnt* got = out->GetEvnt(0);
        EXPECT_EQ(got ? int(got->GetEvntNo()) : 0, c.want) << c.name << " " << c.count;
    }
    for (double count : {0.0, -3.0, 5.0}) {
        n[1]->SetErr(kSetNo, 0);
        Ev(1, n[1]);
        EXPECT_EQ(Run("CArticSrchNextNum", {E(This()), Num(count), Var(out)}, n[1]), 0) << count;
        EXPECT_EQ(out->GetEvnt(0), nullptr) << count;
        EXPECT_EQ(ErrFlag(n[1]), 1) << count;
    }
}

TEST_F(NeighbourTest, AreaTypeTakesTheFirstOrLastKeyInTheWindow) {
    CArticWrkBlk* b = wrktest::AddBlock(trk, 7);
    CArticWrkEvnt* cur = Note(30, 1000, 64, 10, 100, b);
    CArticWrkEvnt* early = Note(31, 600, 64, 10, 100, b);
    Note(32, 1200, 65, 10, 100, b);
    CArticWrkEvnt* late = Note(33, 1400, 64, 10, 100, b);
    Note(34, 1500, 64, 10, 100, b);  // past the window
    CArticRulDataEvnt* out = Ev(1);
    CArticRulDataVal* found = Val(1);
    struct Case {
        const char* name;
        double type;
        CArticWrkEvnt* want;
    };
    for (const Case& c : {Case{"CArticSrchAreaType", 1, late}, Case{"CArticSrchAreaType", 0, early},
                          Case{"CArticSrchAreaType", 0.5, early}, Case{"CArticSrchAreaTypeWrk", 1, late},
                          Case{"CArticSrchAreaTypeWrk", 0, n[5]}}) {  // note 5 of track 1 is a 64 in the window
        EXPECT_EQ(Run(c.name, {Num(c.type), E(This()), Num(-480), Num(480), Num(64), Var(out), Var(found)}, cur), 0);
        EXPECT_EQ(out->GetEvnt(0), c.want) << c.name << " " << c.type;
        EXPECT_EQ(found->GetData(), 1.0);
    }
    // Type 2: a silent failure.
    EXPECT_EQ(Run("CArticSrchAreaType", {Num(2), E(This()), Num(-480), Num(480), Num(64), Var(out), Var(found)}, cur),
              1);
    EXPECT_EQ(out->GetEvnt(0), nullptr);
    EXPECT_EQ(found->GetData(), 0.0);
    EXPECT_EQ(Recorded(), "");
    // A window ending before its start: the block search finds nothing, the work search fails.
    Ev(1, cur);
    EXPECT_EQ(Run("CArticSrchAreaType", {Num(0), E(This()), Num(480), Num(-480), Num(64), Var(out), Var(found)}, cur),
              0);
    EXPECT_EQ(out->GetEvnt(0), nullptr);
    EXPECT_EQ(
        Run("CArticSrchAreaTypeWrk", {Num(0), E(This()), Num(480), Num(-480), Num(64), Var(out), Var(found)}, cur), 1);
    EXPECT_EQ(out->GetEvnt(0), nullptr);
    EXPECT_EQ(found->GetData(), 0.0);
}

TEST_F(NeighbourTest, WorkOrderNeighbourOnAnotherTrack) {
    CArticRulDataVal* out = Val(1);
    EXPECT_EQ(Run("CArticSrchIsWrkNext", {E(This()), Var(out)}, n[9]), 0);
    EXPECT_EQ(out->GetData(), 1.0);
    EXPECT_EQ(Run("CArticSrchIsNext", {E(This()), Var(out)}, n[9]), 0);
    EXPECT_EQ(out->GetData(), 0.0);
}
