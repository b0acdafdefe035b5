// Chords, the note after a chord, harmony, rests, neighbours, event
// existence and the flag word of a time range.
#include <gtest/gtest.h>

#include "BuiltinFixture.h"

using namespace bitest;

namespace {
using ContextTest = BuiltinTest;
}

TEST_F(ContextTest, ChordNeedsMoreOverlapThanTheRange) {
    CArticWrkEvnt* a = Note(1, 0, 60, 480);
    CArticWrkEvnt* touching = Note(2, 480, 62, 480);
    CArticRulDataVal* out = Val(1, -1.0);
    // The Next relation of a is the note that merely touches it (no fingering: string 0).
    EXPECT_EQ(Run("CArticSrchIsChord", {E(This()), E(This(), kElmNext), Num(0), Var(out)}, a), 0);
    EXPECT_EQ(out->GetData(), 0.0);
    CArticWrkEvnt* overlapping = Note(3, 470, 64, 480);  // 10 ticks with a
    struct Case {
        CArticWrkEvnt* other;
        double range, want;
    };
    for (const Case& c : {Case{touching, 0, 0.0}, Case{overlapping, 9, 1.0}, Case{overlapping, 10, 0.0},
                          Case{overlapping, -5, 1.0}}) {
        EXPECT_EQ(Run("CArticSrchIsChord", {E(This()), E(Ev(2, c.other)), Num(c.range), Var(out)}, a), 0);
        EXPECT_EQ(out->GetData(), c.want) << c.other->GetEvntNo() << " " << c.range;
    }
}

TEST_F(ContextTest, NonChordIsTheFirstNoteAfterTheChord) {
    CArticWrkEvnt* a = Note(1, 0, 60);
    Note(2, 0, 64);
    Note(3, 5, 67);
    CArticRulDataEvnt* out = Ev(2, a);
    EXPECT_EQ(Run("CArticSrchNonChord", {E(This()), Num(10), Var(out)}, a), 0);
    EXPECT_EQ(out->GetEvnt(0), nullptr);  // nothing later: no event, no failure
    CArticWrkEvnt* later = Note(4, 480, 72);
    EXPECT_EQ(Run("CArticSrchNonChord", {E(This()), Num(10), Var(out)}, a), 0);
    EXPECT_EQ(out->GetEvnt(0), later);
    EXPECT_EQ(Run("CArticSrchWrkNonChord", {E(This()), Num(10), Var(out)}, a), 0);
    EXPECT_EQ(out->GetEvnt(0), later);
}

TEST_F(ContextTest, HarmonyNeedsAPositiveRange) {
    CArticWrkEvnt* a = Note(1, 0, 60, 480);
    CArticWrkEvnt* b = Note(2, 240, 64, 480);  // 240 ticks with a
    CArticRulDataVal* out = Val(1, 5.0);
    EXPECT_EQ(Run("CArticSrchHarmoPre", {E(This()), Num(0), Var(out)}, b), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(Recorded(), "");
    struct Case {
        const char* name;
        CArticWrkEvnt* note;
        double range, want;
    };
    const Case cases[] = {
        {"CArticSrchHarmoPre", b, 239, 1.0},      {"CArticSrchHarmoPre", b, 240, 0.0},
        {"CArticSrchHarmoNext", a, 239, 1.0},     {"CArticSrchHarmoPre", a, 10, 0.0},
        {"CArticSrchHarmoWrkPre", b, 100, 1.0},   {"CArticSrchHarmoWrkNext", a, 100, 1.0},
        {"CArticSrchHarmoWrkNext", b, 100, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.name, {E(This()), Num(c.range), Var(out)}, c.note), 0) << c.name;
        EXPECT_EQ(out->GetData(), c.want) << c.name << " " << c.range;
    }
}

TEST_F(ContextTest, RestBeforeANote) {
    CArticWrkEvnt* first = Note(1, 0, 60, 480);
    CArticWrkEvnt* after = Note(2, 960, 62, 100);
    CArticRulDataVal* out = Val(1);
    struct Case {
        const char* name;
        CArticWrkEvnt* note;
        double len, want;
    };
    const Case cases[] = {
        {"CArticSrchPreRest", first, 1, 0.0},    {"CArticSrchPreRest", first, 0, 1.0},
        {"CArticSrchPreRest", after, 480, 1.0},  {"CArticSrchPreRest", after, 481, 0.0},
        {"CArticSrchWrkPreRest", after, 480, 1.0}, {"CArticSrchWrkPreRest", after, -1, 1.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.name, {E(This()), Num(c.len), Var(out)}, c.note), 0) << c.name;
        EXPECT_EQ(out->GetData(), c.want) << c.name << " " << c.len;
    }
}

TEST_F(ContextTest, NeighboursAndExistence) {
    CArticWrkEvnt* a = Fingered(1, 0, 1);
    CArticWrkEvnt* b = Fingered(2, 480, 2);
    CArticWrkEvnt* c = Fingered(3, 960, 1);
    CArticRulDataVal* out = Val(1);
    struct Case {
        const char* name;
        CArticWrkEvnt* note;
        double want;
    };
    const Case cases[] = {
        {"CArticSrchIsPre", a, 0.0},     {"CArticSrchIsNext", a, 1.0},    {"CArticSrchIsNext", b, 0.0},
        {"CArticSrchIsPre", c, 1.0},     {"CArticSrchIsWrkNext", b, 1.0}, {"CArticSrchIsWrkPre", a, 0.0},
        {"CArticSrchIsWrkNext", c, 0.0}, {"CArticSrchIsEvnt", b, 1.0},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(Run(k.name, {E(This()), Var(out)}, k.note), 0) << k.name;
        EXPECT_EQ(out->GetData(), k.want) << k.name << " " << k.note->GetEvntNo();
    }
    // The next note of a string's last note: 0.0, result 1, flag clear, no report.
    EXPECT_EQ(Run("CArticSrchIsEvnt", {E(This(), kElmNext), Var(out)}, c), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(ErrFlag(c), 0);
    EXPECT_EQ(Recorded(), "");

    EXPECT_EQ(Run("CArticSrchIsSameEvnt", {E(This()), E(Ev(1, a)), Var(out)}, a), 0);
    EXPECT_EQ(out->GetData(), 1.0);
    EXPECT_EQ(Run("CArticSrchIsSameEvnt", {E(This()), E(Ev(1, b)), Var(out)}, a), 0);
    EXPECT_EQ(out->GetData(), 0.0);
}

TEST_F(ContextTest, TimeRangeFlagWord) {
    CArticRulDataVal* out = Val(1);
    // Each case in a block of its own, with a current note far away.
    struct Case {
        bool covering, inside;
        double want;
    };
    ULONG no = 1;
    CArticWrkEvnt* last = nullptr;
    for (const Case& c : {Case{true, false, 4.0}, Case{false, true, 3.0}, Case{true, true, 7.0}}) {
        CArticWrkBlk* b = wrktest::AddBlock(trk, no);
        last = Note(no++, 3000, 50, 10, 100, b);
        if (c.covering) Note(no++, 0, 60, 1920, 100, b);
        if (c.inside) Note(no++, 600, 62, 100, 100, b);
        out->SetData(-1.0);
        EXPECT_EQ(Run("CArticSrchTime", {E(This()), Num(480), Num(960), Var(out)}, last), 0);
        EXPECT_EQ(out->GetData(), c.want) << c.covering << c.inside;
    }
    out->SetData(-1.0);
    EXPECT_EQ(Run("CArticSrchTime", {E(This()), Num(960), Num(960), Var(out)}, last), 0);
    EXPECT_EQ(out->GetData(), 0.0);
    out->SetData(-1.0);
    EXPECT_EQ(Run("CArticSrchTime", {E(This()), Num(-1), Num(960), Var(out)}, last), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(Recorded(), "");

    // Over the selected tracks: all three blocks together.
    EXPECT_EQ(Run("CArticSrchWrkTime", {Num(480), Num(960), Var(out)}), 0);
    EXPECT_EQ(out->GetData(), 7.0);
    trk->SetSelTrk(0);
    EXPECT_EQ(Run("CArticSrchWrkTime", {Num(480), Num(960), Var(out)}), 1);
    EXPECT_EQ(out->GetData(), 0.0);
}
