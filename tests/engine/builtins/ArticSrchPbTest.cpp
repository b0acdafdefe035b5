// Pitch bend and controllers around a note: windows, extremes, direction,
// the events, the value in force, and the cyclic-bend test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "BuiltinFixture.h"

using namespace bitest;

namespace {

struct PbTest : BuiltinTest {
    ULONG next = 100;  // event numbers of the added events
    // A bend of raw value -8192..8191 at time.
    CArticWrkEvnt* Bend(INT64 time, int raw) {
        const int v = raw + 8192;
        CArticWrkEvnt* e = wrktest::NewEvnt(blk, next++, 0xE0, time, BYTE(v & 0x7F), BYTE((v >> 7) & 0x7F));
        blk->Sort(e, 1);
        return e;
    }
    CArticWrkEvnt* Cc(INT64 time, BYTE number, BYTE value) { return wrktest::AddCc(blk, next++, time, number, value); }
    // Bends of +-50 cents (range 2) alternating from +50 at the times.
    void Alternate(std::initializer_list<INT64> times) {
        int sign = 1;
        for (INT64 t : times) {
            Bend(t, sign * 2048);
            sign = -sign;
        }
    }
    // PbCyclic(retry, from, to, ratio, spread, gap): its eight outputs.
    std::vector<double> Cyclic(CArticWrkEvnt* on, std::initializer_list<double> in, int* result = nullptr) {
        std::vector<double> args{kThis}, v;
        args.insert(args.end(), in);
        const int r = RunValues("CArticSrchPbCyclic", args, 8, &v, on);
        if (result) *result = r;
        return v;
    }
};

}  // namespace

TEST_F(PbTest, BendWindowsIncludeBothEnds) {
    CArticWrkEvnt* n = Note(1, 0);
    Bend(100, 0);
    Bend(300, 0);
    std::vector<double> v;
    for (const auto& c : std::vector<std::pair<double, double>>{{100, 200}, {200, 300}, {101, 299}}) {
        EXPECT_EQ(RunValues("CArticSrchPbExist", {kThis, c.first, c.second}, 1, &v, n), 0);
        EXPECT_EQ(v[0], c.first == 101 ? 0.0 : 1.0) << c.first;
    }
    EXPECT_EQ(RunValues("CArticSrchPbExist", {kThis, 1e30, -1e30}, 1, &v, n), 0);  // inverted: nothing found
    EXPECT_EQ(v[0], 0.0);
}

TEST_F(PbTest, ExtremesStartFromTheLevelInForce) {
    CArticWrkEvnt* n = Note(1, 0);
    Bend(50, 4096);
    std::vector<double> v;
    EXPECT_EQ(RunValues("CArticSrchPbMaxMin", {kThis, 100, 400}, 3, &v, n), 0);
    EXPECT_EQ(v, (std::vector<double>{0.0, 1.0, 1.0}));
    Bend(200, -2048);
    EXPECT_EQ(RunValues("CArticSrchPbMaxMin", {kThis, 100, 400}, 3, &v, n), 0);
    EXPECT_EQ(v, (std::vector<double>{1.0, 1.0, -0.5}));
}

TEST_F(PbTest, ExtremesBeyondTwentyFourSemitonesFail) {
    CArticWrkEvnt* n = Note(1, 0);
    Cc(0, 101, 0);
    Cc(0, 100, 0);
    Cc(0, 6, 48);
    Bend(100, 8191);
    std::vector<double> v;
    EXPECT_EQ(RunValues("CArticSrchPbMaxMin", {kThis, 50, 400}, 3, &v, n), 1);
    EXPECT_EQ(v[0], 1.0);
    EXPECT_NEAR(v[1], 48.0, 0.01);
}

TEST_F(PbTest, DirectionOfTheBend) {
    struct Case {
        std::vector<int> raws;  // in the window after level 0
        double dir;
    };
    const Case cases[] = {{{0, 4096, 8191}, 1}, {{0, 4096, 2048}, 0}, {{}, 3}, {{-100, -200}, 2}, {{0, 0}, 3}};
    INT64 start = 0;
    for (const Case& c : cases) {
        // Each case in its own stretch of time, the bend back at 0 after it.
        CArticWrkEvnt* n = Note(next++, start);
        INT64 t = start + 100;
        for (int raw : c.raws) Bend(t += 10, raw);
        std::vector<double> v;
        EXPECT_EQ(RunValues("CArticSrchPbNonCycle", {kThis, double(start), double(start + 500)}, 1, &v, n), 0);
        EXPECT_EQ(v[0], c.dir) << c.raws.size();
        Bend(start + 600, 0);
        start += 10000;
    }
    CArticRulDataVal* out = Val(1, 5.0);
    EXPECT_EQ(Run("CArticSrchPbNonCycle", {E(Ev(9)), Num(0), Num(100), Var(out)}, nullptr), 1);
    EXPECT_EQ(out->GetData(), 0.0);
}

TEST_F(PbTest, BendsIntoAnArrayOverwriteFromTheStart) {
    CArticWrkEvnt* n = Note(1, 0);
    CArticWrkEvnt* b1 = Bend(100, 10);
    CArticWrkEvnt* b2 = Bend(200, 20);
    std::vector<CArticWrkEvnt*> old;
    for (ULONG k = 0; k < 5; ++k) old.push_back(Note(200 + k, 1000 + 10 * k));
    CArticRulDataAry* ary = Ary(1, old);
    EXPECT_EQ(Run("CArticSrchGetPb", {E(This()), Num(0), Num(500), Var(ary)}, n), 0);
    EXPECT_EQ(Events(ary), (std::vector<CArticWrkEvnt*>{b1, b2, old[2], old[3], old[4]}));
}

TEST_F(PbTest, BendInForceRawOrInCents) {
    CArticWrkEvnt* n = Note(1, 100);
    Bend(200, 8191);
    std::vector<double> v;
    EXPECT_EQ(RunValues("CArticSrchGetAfctPb", {kThis, 1, 300}, 1, &v, n), 0);
    EXPECT_EQ(v[0], 199.0);
    EXPECT_EQ(RunValues("CArticSrchGetAfctPb", {kThis, 256, 300}, 1, &v, n), 0);  // unit 256 is raw
    EXPECT_EQ(v[0], 8191.0);
    EXPECT_EQ(RunValues("CArticSrchGetAfctPb", {kThis, 1, 150}, 1, &v, n), 0);
    EXPECT_EQ(v[0], 0.0);
}

TEST_F(PbTest, FromALaterNoteABendAtTheTimeCountsAControllerDoesNot) {
    Cc(480, 7, 50);
    Bend(480, 1000);
    CArticWrkEvnt* later = Note(500, 960);
    std::vector<double> v;
    EXPECT_EQ(RunValues("CArticSrchGetAfctCc", {kThis, 7, 480}, 1, &v, later), 0);
    EXPECT_EQ(v[0], 100.0);
    EXPECT_EQ(RunValues("CArticSrchGetAfctCc", {kThis, 7, 481}, 1, &v, later), 0);
    EXPECT_EQ(v[0], 50.0);
    EXPECT_EQ(RunValues("CArticSrchGetAfctPb", {kThis, 0, 480}, 1, &v, later), 0);
    EXPECT_EQ(v[0], 1000.0);
}

TEST_F(PbTest, ControllerInForceDefaultsByNumber) {
    CArticWrkEvnt* n = Note(1, 480);
    std::vector<double> v;
    for (const auto& c : std::vector<std::pair<double, double>>{{7, 100}, {11, 127}, {1, 0}, {10, 64}, {91, 40}}) {
        EXPECT_EQ(RunValues("CArticSrchGetAfctCc", {kThis, c.first, 960}, 1, &v, n), 0);
        EXPECT_EQ(v[0], c.second) << c.first;
    }
    Cc(100, 7, 30);
    EXPECT_EQ(RunValues("CArticSrchGetAfctCc", {kThis, 263, 960}, 1, &v, n), 0);  // 263 asks for 7
    EXPECT_EQ(v[0], 30.0);
}

TEST_F(PbTest, ControllerWindowsExtremesAndDirection) {
    CArticWrkEvnt* n = Note(1, 0);
    std::vector<double> v;
    EXPECT_EQ(RunValues("CArticSrchCcMaxMin", {kThis, 100, 400, 7}, 3, &v, n), 0);
    EXPECT_EQ(v, (std::vector<double>{0.0, 100.0, 100.0}));
    EXPECT_EQ(RunValues("CArticSrchCcNonCycle", {kThis, 100, 400, 11}, 1, &v, n), 0);
    EXPECT_EQ(v[0], 3.0);
    Cc(50, 11, 64);
    Cc(110, 11, 64);
    Cc(120, 11, 80);
    CArticWrkEvnt* last = Cc(130, 11, 100);
    EXPECT_EQ(RunValues("CArticSrchCcNonCycle", {kThis, 100, 400, 11}, 1, &v, n), 0);
    EXPECT_EQ(v[0], 1.0);
    EXPECT_EQ(RunValues("CArticSrchCcExist", {kThis, 100, 400, 11}, 1, &v, n), 0);
    EXPECT_EQ(v[0], 1.0);
    EXPECT_EQ(RunValues("CArticSrchCcExist", {kThis, 100, 400, 12}, 1, &v, n), 0);
    EXPECT_EQ(v[0], 0.0);
    EXPECT_EQ(RunValues("CArticSrchCcMaxMin", {kThis, 100, 400, 11}, 3, &v, n), 0);
    EXPECT_EQ(v, (std::vector<double>{1.0, 100.0, 64.0}));
    last->SetPost2(70);
    EXPECT_EQ(RunValues("CArticSrchCcNonCycle", {kThis, 100, 400, 11}, 1, &v, n), 0);
    EXPECT_EQ(v[0], 0.0);
    // Into a longer array: the surplus stays.
    std::vector<CArticWrkEvnt*> old;
    for (ULONG k = 0; k < 5; ++k) old.push_back(Note(300 + k, 1000 + 10 * k));
    CArticRulDataAry* ary = Ary(1, old);
    EXPECT_EQ(Run("CArticSrchGetCc", {E(This()), Num(115), Num(400), Num(11), Var(ary)}, n), 0);
    const std::vector<CArticWrkEvnt*> got = Events(ary);
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got[0]->GetPost2(), 80);
    EXPECT_EQ(got[1], last);
    EXPECT_EQ(got[2], old[2]);
}

TEST_F(PbTest, RegularVibratoIsCyclic) {
    CArticWrkEvnt* n = Note(1, 0);
    Alternate({120, 240, 360, 480, 600, 720});
    int result = -1;
    // cyc, n, maxI, minI, maxM, minM, t0, t1
    EXPECT_EQ(Cyclic(n, {0, 100, 800, 0.7, 50, 120}, &result),
              (std::vector<double>{1, 2, 240, 240, 0, 0, 120, 600}));
    EXPECT_EQ(result, 0);
    // A gap one tick longer excludes every turning point in turn.
    EXPECT_EQ(Cyclic(n, {0, 100, 800, 0.7, 50, 121}, &result),
              (std::vector<double>{0, 0, 0, 700, -32768, 32767, 0, 0}));
    // A spread far beyond 16 bits accepts any mid levels.
    EXPECT_EQ(Cyclic(n, {0, 100, 800, 0.7, 1e30, 120})[0], 1.0);
    // A failed argument: the reset values.
    std::vector<double> v;
    EXPECT_EQ(Run("CArticSrchPbCyclic",
                  {E(Ev(9)), Num(0), Num(100), Num(800), Num(0.7), Num(50), Num(120), Var(Val(1)), Var(Val(2)),
                   Var(Val(3)), Var(Val(4)), Var(Val(5)), Var(Val(6)), Var(Val(7)), Var(Val(8))},
                  n),
              1);
    for (ULONG k = 1; k <= 8; ++k) v.push_back(Val(k)->GetData());
    EXPECT_EQ(v, (std::vector<double>{0, 0, 0, 0, -32768, 32767, 0, 0}));
    // No bend in the window: result 1.
    EXPECT_EQ(Cyclic(n, {0, 2000, 3000, 0.7, 50, 120}, &result)[0], 0.0);
    EXPECT_EQ(result, 1);
}

TEST_F(PbTest, RetryTrimsTheOuterTurningPoints) {
    CArticWrkEvnt* n = Note(1, 0);
    Alternate({120, 480, 600, 720, 840, 960, 1080, 1200});
    EXPECT_EQ(Cyclic(n, {0, 100, 1300, 0.7, 50, 0})[0], 0.0);
    const std::vector<double> v = Cyclic(n, {1, 100, 1300, 0.7, 50, 0});
    EXPECT_EQ(v[0], 1.0);
    EXPECT_EQ(v[6], 480.0);
    EXPECT_EQ(v[7], 960.0);
}

TEST_F(PbTest, NoteSignalAndGlobalBuiltinsAreInTheCatalogueAndClonesRunLikeOriginals) {
    struct Named {
        const char* name;
        int in, out;
    };
    const Named names[] = {
        {"CArticSrchGetGlobal", 1, 1},
        {"CArticSrchPutGlobal", 2, 0},
        {"CArticSrchSelTrk", 0, 1},
        {"CArticSrchSwing", 6, 2},
        {"CArticSrchNoteInfoSwing", 8, 2},
        {"CArticSrchNoteInfoTimeFromMeas", 2, 1},
        {"CArticSrchNoteInfoSwapOnTime", 2, 1},
        {"CArticSrchNoteInfoSwapDur", 2, 1},
        {"CArticSrchNoteInfoSwapKey", 2, 1},
        {"CArticSrchNoteInfoSwapVelo", 2, 1},
        {"CArticSrchSwapArrayEvntNoteInfo", 2, 1},
        {"CArticSrchPbExist", 3, 1},
        {"CArticSrchPbMaxMin", 3, 3},
        {"CArticSrchPbNonCycle", 3, 1},
        {"CArticSrchGetPb", 3, 1},
        {"CArticSrchGetAfctPb", 3, 1},
        {"CArticSrchPbCyclic", 7, 8},
        {"CArticSrchCcExist", 4, 1},
        {"CArticSrchCcMaxMin", 4, 3},
        {"CArticSrchCcNonCycle", 4, 1},
        {"CArticSrchGetCc", 4, 1},
        {"CArticSrchGetAfctCc", 3, 1},
    };
    for (const Named& c : names) {
        const ArticSrchInfo* info = CArticSrchUtil::Find(c.name);
        ASSERT_NE(info, nullptr) << c.name;
        EXPECT_NE(info->make, nullptr) << c.name;
        EXPECT_EQ(int(std::strlen(info->in)), c.in) << c.name;
        EXPECT_EQ(int(std::strlen(info->out)), c.out) << c.name;
    }
    CArticWrkEvnt* n = Note(1, 240, 60, 240);
    n->SetNoteInfo(0, 240);
    n->SetNoteInfo(1, 240);
    Alternate({300, 420, 540, 660, 780, 900});
    rul.SetGlobal(3, 9.5);
    struct Line {
        const char* name;
        std::vector<double> in;  // kThis: the current note
        int outs;
    };
    const Line lines[] = {
        {"CArticSrchSwing", {1, kThis, 480, 2, 1, 320}, 2},
        {"CArticSrchNoteInfoSwing", {1, kThis, 0, 1, 480, 2, 1, 320}, 2},
        {"CArticSrchPbCyclic", {kThis, 0, 250, 1000, 0.7, 50, 120}, 8},
        {"CArticSrchPbMaxMin", {kThis, 250, 1000}, 3},
        {"CArticSrchGetAfctPb", {kThis, 1, 500}, 1},
        {"CArticSrchGetGlobal", {3}, 1},
    };
    for (const Line& l : lines) {
        std::vector<CArticRulElm*> args;
        for (double v : l.in) args.push_back(std::isnan(v) ? E(This()) : Num(v));
        for (int k = 0; k < l.outs; ++k) args.push_back(Var(Val(ULONG(k + 1))));
        CArticSrchEvnt *original = nullptr, *clone = nullptr;
        MakeWithClone(l.name, args, &original, &clone);
        ASSERT_NE(clone, nullptr) << l.name;
        std::vector<double> got[2];
        for (int i = 0; i < 2; ++i) {
            for (int k = 0; k < l.outs; ++k) Val(ULONG(k + 1), -7.0);
            EXPECT_EQ(Run(i ? clone : original, n), 0) << l.name;
            for (int k = 0; k < l.outs; ++k) got[i].push_back(Val(ULONG(k + 1))->GetData());
        }
        EXPECT_EQ(got[0], got[1]) << l.name;
        EXPECT_NE(got[0][0], -7.0) << l.name;
    }
}
