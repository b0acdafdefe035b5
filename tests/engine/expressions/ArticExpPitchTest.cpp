#include <gtest/gtest.h>

#include "BendCcFixture.h"
#include "engine/expressions/ArticExpPitch.h"
#include "engine/loaders/ArticExpUtil.h"

using namespace exptest;
using namespace bcctest;

namespace {

const char kPitchAreaText[] = "指定時刻の範囲内でPbを指定する際にｴﾗｰが発生した。";

struct PitchCurveArgs {
    BYTE type;
    LONG start, end;
    short startAdd, endAdd;
    WORD devide;
};

// A note of 480 at 0 (listed) and one at 960, the given bends, one per-note
// expression of class T on the first; phase 1. The bends of the middle part.
template <class T>
Points RunPitchNote(const PitchCurveArgs& a, int* rc, std::initializer_list<std::pair<INT64, int>> bends = {},
                    BYTE range = 0) {
    World w;
    CArticWrkEvnt* n = w.Note(5, 0, 60);
    w.Note(6, 960, 64);
    ULONG no = 20;
    for (const auto& [t, v] : bends) PutBend(w.partBlk, no++, t, v);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new T(blk, 1, &Notes{n}, a.type, a.start, a.end, a.startAdd, a.endAdd, 0, a.devide));
    if (range == 0) *rc = w.Phase1();
    else *rc = RunHooked(w, [&] { RangeAt(w.MidPartBlk(), 0, range); }).p1;
    return Bends(w.MidPartBlk());
}

}  // namespace

TEST(ArticExpPitch, NoteCurveEndsAndRestores) {
    int rc = -1;
    // Fixed end, EndAdd 0: the curve runs to note start + End.
    EXPECT_EQ(RunPitchNote<CArticExpPitchCrv2>({4, 0, 240, 1000, 0, 60}, &rc),
              (Points{{0, 1000}, {60, 748}, {120, 496}, {180, 252}, {240, 0}}));
    EXPECT_EQ(rc, 0);
    // EndAdd not 0: it reaches its end Devide earlier; the old level is pinned at the end.
    EXPECT_EQ(RunPitchNote<CArticExpPitchCrv2>({4, 0, 240, 0, 1000, 60}, &rc),
              (Points{{0, 0}, {60, 331}, {120, 669}, {180, 1000}, {240, 0}}));
    // Up to the next note: the level in force there comes back at its start.
    EXPECT_EQ(RunPitchNote<CArticExpPitchCrv2>({0, 0, 240, 0, 1000, 60}, &rc),
              (Points{{0, 0}, {60, 252}, {120, 504}, {180, 748}, {240, 1000}, {960, 0}}));
    // Bit 4: no restore.
    EXPECT_EQ(BendAt(RunPitchNote<CArticExpPitchCrv2>({16, 0, 240, 0, 1000, 60}, &rc), 960), 1000);
    // Note start + End not above Devide fails.
    CArticErr::Clear();
    EXPECT_TRUE(RunPitchNote<CArticExpPitchCrv2>({4, 0, 50, 0, 1000, 60}, &rc).empty());
    EXPECT_EQ(rc, 1);
    EXPECT_GE(ShownText().Find(kPitchAreaText), 0);
    CArticErr::Delete();
}

TEST(ArticExpPitch, AddSumsReplaceClears) {
    int rc = -1;
    // A bend of 3000 at 100 inside the curve's area.
    const Points add = RunPitchNote<CArticExpPitchCrv2>({4, 0, 240, 1000, 1000, 60}, &rc, {{100, 3000}});
    EXPECT_EQ(BendAt(add, 100), 4000);
    const Points replace = RunPitchNote<CArticExpPitchCrv2>({6, 0, 240, 1000, 1000, 60}, &rc, {{100, 3000}});
    EXPECT_EQ(BendAt(replace, 100), 1000);
    // The level in force at the end before the edit comes back there.
    EXPECT_EQ(BendAt(replace, 240), 3000);
    // Add mode clamps its sums.
    const Points high = RunPitchNote<CArticExpPitchCrv2>({4, 0, 240, 1000, 1000, 60}, &rc, {{0, 8000}});
    for (const auto& [t, v] : high) EXPECT_LE(v, 8191) << t;
    EXPECT_EQ(BendAt(high, 60), 8191);
}

TEST(ArticExpPitch, NoteStartVariantTakesTheAreaFromTheNote) {
    int rc = -1;
    // Replace from Start 20: the variant clears from the note's start, so the
    // bend at 10 goes; bit 3 forces the plain curve, which leaves it.
    const Points variant = RunPitchNote<CArticExpPitchCrv2>({6, 20, 240, 500, 500, 60}, &rc, {{10, 3000}});
    EXPECT_NE(BendAt(variant, 10), 3000);
    const Points plain = RunPitchNote<CArticExpPitchCrv2>({6 | 8, 20, 240, 500, 500, 60}, &rc, {{10, 3000}});
    EXPECT_EQ(BendAt(plain, 10), 3000);
    // Start 0 is always the plain curve.
    const Points zero = RunPitchNote<CArticExpPitchCrv2>({6, 0, 240, 500, 500, 60}, &rc, {{10, 3000}});
    EXPECT_EQ(BendAt(zero, 10), 500);
}

TEST(ArticExpPitch, NoStepIsRefusedBeforeTheAreaIsCleared) {
    int rc = -1;
    CArticErr::Clear();
    EXPECT_EQ(RunPitchNote<CArticExpPitchCrv2>({6, 0, 240, 500, 500, 0}, &rc, {{100, 3000}}), (Points{{100, 3000}}));
    EXPECT_EQ(rc, 1);
    EXPECT_GE(ShownText().Find(kPitchAreaText), 0);
    CArticErr::Delete();
    for (auto run : {RunPitchNote<CArticExpPitchSlide>, RunPitchNote<CArticExpPitchSlide2>}) {
        EXPECT_EQ(run({6, 0, 240, 100, 100, 0}, &rc, {{100, 3000}}, 0), (Points{{100, 3000}}));
        EXPECT_EQ(rc, 1);
    }
}

TEST(ArticExpPitch, FailingNoteEndsTheLoop) {
    // Start -600, End -500: the note at 960 gets its curve, the note at 0
    // (start raised to 0, end negative) fails, the note at 2000 gets none.
    CArticErr::Clear();
    World w;
    CArticWrkEvnt* a = w.Note(5, 960, 60);
    CArticWrkEvnt* b = w.Note(6, 0, 60);
    CArticWrkEvnt* c = w.Note(7, 2000, 60);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpPitchCrv2(blk, 1, &Notes{a, b, c}, 4, -600, -500, 0, 1000, 0, 20));
    EXPECT_EQ(w.Phase1(), 1);
    const Points pts = Bends(w.MidPartBlk());
    EXPECT_EQ(BendAt(pts, 440), 1000);
    EXPECT_EQ(BendAt(pts, 1399), 0);
    EXPECT_EQ(BendAt(pts, 1500), 0);
    EXPECT_EQ(pts.back().first, 460);
    CArticErr::Delete();
}

TEST(ArticExpPitch, SteppedSlideRoundsToSemitones) {
    const std::pair<short, short> cases[] = {{-250, -300}, {149, 100}, {150, 200}, {-50, -100}, {49, 0}, {0, 0},
                                             {-149, -100}, {250, 300}};
    for (const auto& [in, out] : cases) EXPECT_EQ(CArticExpPitchSlide2::RoundCents(in), out) << in;
    // The slide uses the rounded offsets (at range 12, where a semitone is a step).
    int rc = -1;
    auto slide = [&rc](short sa, short ea) { return RunPitchNote<CArticExpPitchSlide2>({4, 0, 240, sa, ea, 60}, &rc, {}, 12);
    };
    EXPECT_EQ(slide(-250, 0), slide(-300, 0));
    EXPECT_EQ(rc, 0);
    EXPECT_NE(slide(-250, 0), slide(-200, 0));
    EXPECT_EQ(slide(0, 149), slide(0, 100));
    EXPECT_EQ(slide(0, 150), slide(0, 200));
    EXPECT_NE(slide(0, 149), slide(0, 150));
}

TEST(ArticExpPitch, AreaCurveNoteEndPinsEvenAfterAFailedCurve) {
    // Kind 3 in the width form from bar 2: the nearest note start is 1900,
    // the nearest note end 100, so the curve cannot be laid; the level in
    // force at 100 is still pinned there, and the failure is reported (by
    // the curve service first, through the expression).
    CArticErr::Clear();
    World w;
    w.wrk.SetMeasBlk(w.masterBlk);
    wrktest::AddBeat(w.masterBlk, 1, 0, 4, 2, 1);
    w.Note(5, 0, 60, 100);
    w.Note(6, 1900, 60, 5000);
    PutBend(w.partBlk, 20, 50, 777);
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas at(2, 1, 0);
    blk->AddTail(new CArticExpPitchCrv(blk, 1, 7, &at, ULONG(0), 0, 1000, 0, 30));
    EXPECT_EQ(w.Phase1(), 1);
    EXPECT_EQ(Bends(w.MidPartBlk()), (Points{{50, 777}, {100, 777}}));
    EXPECT_FALSE(ShownText().IsEmpty());
    CArticErr::Delete();
}

TEST(ArticExpPitch, AreaCurveOverAPositionSpan) {
    World w;
    w.wrk.SetMeasBlk(w.masterBlk);
    wrktest::AddBeat(w.masterBlk, 1, 0, 4, 2, 1);
    w.Note(5, 0, 60, 1920);
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas from(1, 2, 0), to(1, 3, 0);
    // Kind 0, fixed end, Replace: 0 to 960 from beat 2 to beat 3.
    blk->AddTail(new CArticExpPitchCrv(blk, 1, 4 | 8, &from, &to, 0, 960, 0, 120));
    EXPECT_EQ(w.Phase1(), 0);
    const Points pts = Bends(w.MidPartBlk());
    EXPECT_EQ(BendAt(pts, 479), 0);
    EXPECT_NEAR(BendAt(pts, 840), 960 * 360 / 480, 4);
    EXPECT_EQ(BendAt(pts, 960), 0);
}

TEST(ArticExpPitch, GuitarBendJoinsAndBends) {
    for (bool next : {true, false}) {
        World w;
        Notes run{w.Note(5, 0, 60), w.Note(6, 480, 62)};
        if (next) w.Note(7, 1440, 64);
        PutBend(w.partBlk, 20, 1000, 100);
        PutBend(w.partBlk, 21, 3000, 0);
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpPitchGtrBend(blk, 1, &run, 0, 0, 120, 0, 0, 30));
        const PhaseResults r = RunHooked(w, [&] { RangeAt(w.MidPartBlk(), 0, 12); });
        EXPECT_EQ(r.p12 + r.p2, 0) << next;
        const Points pts = Bends(w.MidPartBlk());
        EXPECT_EQ(BendAt(pts, 479), 0) << next;
        EXPECT_EQ(BendAt(pts, 600), 1366) << next;     // two semitones at range 12
        EXPECT_EQ(BendAt(pts, 1000), 1466) << next;    // raised up to the next note
        if (next) {
            EXPECT_EQ(BendAt(pts, 1440), 100);         // the old level pinned there
            EXPECT_EQ(BendAt(pts, 3000), 0);           // after it, untouched
            EXPECT_EQ(NoteRows(w.MidPartBlk()), (std::vector<NoteRow>{{0, 60, 960, 100}, {1440, 64, 480, 100}}));
        } else {
            EXPECT_EQ(BendAt(pts, 3000), 1366);        // every later bend raised
            EXPECT_EQ(NoteRows(w.MidPartBlk()), (std::vector<NoteRow>{{0, 60, 960, 100}}));
        }
    }
}

TEST(ArticExpPitch, GuitarSkipsNotesAlreadyJoined) {
    World w;
    Notes run{w.Note(5, 0, 60), w.Note(6, 480, 62)};
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpPitchGtrSlide(blk, 1, &run, 0, 0, 120, 0, 0, 30));
    const PhaseResults r = RunHooked(w, [&] { MidRecord(w, 6)->SetRefWrkEvnt(MidEvnt(w, 5)); });
    EXPECT_EQ(r.p12, 0);
    EXPECT_TRUE(Bends(w.MidPartBlk()).empty());
    EXPECT_EQ(NoteRows(w.MidPartBlk()), (std::vector<NoteRow>{{0, 60, 480, 100}}));
}

TEST(ArticExpPitch, GuitarWithoutStepJoinsNothing) {
    CArticErr::Clear();
    World w;
    Notes run{w.Note(5, 0, 60), w.Note(6, 480, 62)};
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpPitchGtrBend(blk, 1, &run, 0, 0, 120, 0, 0, 0));
    const PhaseResults r = RunHooked(w, nullptr);
    EXPECT_EQ(r.p12, 1);
    EXPECT_EQ(r.p2, 0);
    EXPECT_GE(ShownText().Find("最初の音符を残すﾓｰﾄﾞの処理でｴﾗｰが発生しました。"), 0);
    EXPECT_EQ(NoteRows(w.MidPartBlk()), (std::vector<NoteRow>{{0, 60, 480, 100}, {480, 62, 480, 100}}));
    EXPECT_TRUE(Bends(w.MidPartBlk()).empty());
    CArticErr::Delete();
}

TEST(ArticExpPitch, GuitarOutsideOneBlockDeletesNothing) {
    CArticErr::Clear();
    World w;
    Notes run{w.Note(5, 0, 60)};
    run.list.AddTail(wrktest::AddNote(wrktest::AddBlock(w.wrk.Get(1), 1), 6, 480, 62));
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpPitchGtrBend(blk, 1, &run, 0, 0, 120, 0, 0, 30));
    const PhaseResults r = RunHooked(w, nullptr);
    EXPECT_EQ(r.p12, 1);
    EXPECT_GE(ShownText().Find("ConvToWrkCombine => IsSameWrkBlkType0"), 0);
    EXPECT_EQ(NoteRows(w.MidPartBlk()).size(), 1u);
    EXPECT_EQ(NoteRows(w.mid.Get(1)->Get(1)).size(), 1u);
    CArticErr::Delete();
}

TEST(ArticExpPitch, WritersCopiesAndPhases) {
    World w;
    CArticWrkEvnt* a = w.Note(5, 0, 60);
    CArticWrkEvnt* b = w.Note(6, 480, 62);
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas from(5, 1, 0), to(6, 2, 10);
    struct Case {
        CArticExpEvnt* e;
        const char* line;
        bool joins;
    };
    const Case cases[] = {
        {new CArticExpPitchCrv(blk, 1, 9, &from, &to, -300, 200, -4, 30),
         "e1:CArticExpPitchCrv( 9, 5/1/0, 6/2/10, -300, 200, -4, 30 )", false},
        {new CArticExpPitchCrv(blk, 2, 1, &from, ULONG(240), 0, 4096, 0, 50),
         "e2:CArticExpPitchCrv( 1, 5/1/0, 240, 0, 4096, 0, 50 )", false},
        {new CArticExpPitchCrv2(blk, 3, &Notes{a}, 1, 10, 20, -100, 100, 3, 40),
         "e3:CArticExpPitchCrv2( 1{:w5}, 1, 10, 20, -100, 100, 3, 40 )", false},
        {new CArticExpPitchSlide(blk, 4, &Notes{a}, 0, -30, 120, -200, -3, -16, 50),
         "e4:CArticExpPitchSlide( 1{:w5}, 0, -30, 120, -200, -3, -16, 50 )", false},
        {new CArticExpPitchSlide2(blk, 5, &Notes{b}, 2, 0, 480, 150, -50, 0, 10),
         "e5:CArticExpPitchSlide2( 1{:w6}, 2, 0, 480, 150, -50, 0, 10 )", false},
        {new CArticExpPitchGtrBend(blk, 6, &Notes{a, b}, 3, -10, 120, 5, -5, 30),
         "e6:CArticExpPitchGtrBend( 2{:w5,:w6}, 3, -10, 120, 5, -5, 30 )", true},
        {new CArticExpPitchGtrSlide(blk, 7, &Notes{a, b}, 0, 0, 480, 0, 0, 50),
         "e7:CArticExpPitchGtrSlide( 2{:w5,:w6}, 0, 0, 480, 0, 0, 50 )", true},
    };
    for (const Case& k : cases) {
        blk->AddTail(k.e);
        EXPECT_EQ(LineOf(k.e), k.line);
        k.e->SetErrKind(3);
        CArticExpEvnt* clone = nullptr;
        ASSERT_EQ(CArticExpUtil::CopyEvnt(k.e, &clone, blk, k.e->GetEvntNo(), nullptr), 0);
        EXPECT_EQ(LineOf(clone), k.line);
        EXPECT_EQ(clone->GetEvntType(), k.e->GetEvntType());
        EXPECT_EQ(clone->GetErrKind(), 0);
        if (k.joins) {
            EXPECT_EQ(clone->ConvToWrk() + clone->ConvToWrk3(), 0);
        } else {
            EXPECT_EQ(clone->ConvToWrkCombine() + clone->ConvToWrk2() + clone->ConvToWrk3(), 0);
        }
        delete clone;
    }
}

TEST(ArticExpPitch, GuitarKeepLastAndSlides) {
    struct Case {
        const char* what;
        bool slide;
        BYTE type;
        std::vector<std::pair<INT64, int>> at;  // bend levels in force
        NoteRow kept;
    };
    const Case cases[] = {
        // Keep last: the first span is played on 62 bent down two semitones
        // (GetPitchSft at range 12), and bent back up to 0 from 480 to 600.
        {"bend keep last", false, 1, {{0, -1365}, {480, -1021}, {600, 0}, {1000, 100}}, {0, 62, 960, 100}},
        // A slide moves in whole semitones: one step at 480, the second at 540.
        {"slide keep first", true, 0, {{479, 0}, {480, 683}, {540, 1366}, {1000, 1466}, {1440, 100}},
         {0, 60, 960, 100}},
        {"slide keep last", true, 1, {{0, -1365}, {480, -682}, {540, 0}, {1000, 100}}, {0, 62, 960, 100}},
    };
    for (const Case& c : cases) {
        World w;
        Notes run{w.Note(5, 0, 60), w.Note(6, 480, 62)};
        w.Note(7, 1440, 64);
        PutBend(w.partBlk, 20, 1000, 100);
        CArticExpBlk* blk = w.PartExpBlk();
        if (c.slide) blk->AddTail(new CArticExpPitchGtrSlide(blk, 1, &run, c.type, 0, 120, 0, 0, 30));
        else blk->AddTail(new CArticExpPitchGtrBend(blk, 1, &run, c.type, 0, 120, 0, 0, 30));
        const PhaseResults r = RunHooked(w, [&] { RangeAt(w.MidPartBlk(), 0, 12); });
        EXPECT_EQ(r.p12 + r.p2, 0) << c.what;
        const Points pts = Bends(w.MidPartBlk());
        for (const auto& [t, v] : c.at) EXPECT_EQ(BendAt(pts, t), v) << c.what << " at " << t;
        EXPECT_EQ(NoteRows(w.MidPartBlk()), (std::vector<NoteRow>{c.kept, {1440, 64, 480, 100}})) << c.what;
    }
}

TEST(ArticExpPitch, CentsCurveRisesToItsOffsetAndComesBack) {
    // A quarter-tone curl as the amp guitar writes it: cents, Add, fixed end,
    // 0 to 50 cents over the note's 240 ticks in steps of 60. The curve reaches
    // 50 cents one step before the end and the level in force (0) is back at the
    // end. 50 cents are a quarter of the default range of 2 semitones (8192 / 4)
    // and 1/24 of a range of 12 (8192 / 24).
    for (const auto& [range, peak] : {std::make_pair(BYTE(0), 2048), std::make_pair(BYTE(12), 341)}) {
        SCOPED_TRACE(int(range));
        int rc = -1;
        const Points pts = RunPitchNote<CArticExpPitchCrv2>({5, 0, 240, 0, 50, 60}, &rc, {}, range);
        EXPECT_EQ(rc, 0);
        ASSERT_EQ(pts.size(), 5u);
        EXPECT_EQ(pts.front(), (std::pair<INT64, int>{0, 0}));
        for (size_t i = 1; i < 4; ++i) {
            EXPECT_EQ(pts[i].first, INT64(60 * i));
            EXPECT_GT(pts[i].second, pts[i - 1].second) << i;
        }
        EXPECT_NEAR(pts[3].second, peak, 1);
        EXPECT_EQ(pts.back(), (std::pair<INT64, int>{240, 0}));
    }
}

TEST(ArticExpPitch, SemitoneSlideStepsFromItsFirstStep) {
    // Range 12: a semitone is 8192 / 12 = 682.67 bend units. From -300 cents to 0
    // over 40 ticks in steps of 10 (the curve -2048, -1536, -1024, -512, 0): the
    // first event already moves one semitone (-1365), each later semitone is
    // kept once where the curve reaches it (-683 at 20, 0 at 30), the events
    // between and the one at the target go; the fixed end keeps the level in
    // force there (0).
    int rc = -1;
    EXPECT_EQ(RunPitchNote<CArticExpPitchSlide2>({4, 0, 40, -300, 0, 10}, &rc, {}, 12),
              (Points{{0, -1365}, {20, -683}, {30, 0}, {40, 0}}));
    EXPECT_EQ(rc, 0);
    // Up to the next note (bit 2 clear): the steps are stretched so the last lands
    // at the end (20 becomes 27, 30 becomes 40), and the level in force at the
    // next note's start (960) comes back there.
    EXPECT_EQ(RunPitchNote<CArticExpPitchSlide2>({0, 0, 40, -300, 0, 10}, &rc, {}, 12),
              (Points{{0, -1365}, {27, -683}, {40, 0}, {960, 0}}));
    EXPECT_EQ(rc, 0);
    // Falling: from 0 down to -200 cents, mirrored.
    const Points down = RunPitchNote<CArticExpPitchSlide2>({4, 0, 40, 0, -200, 10}, &rc, {}, 12);
    EXPECT_EQ(rc, 0);
    ASSERT_GE(down.size(), 3u);
    EXPECT_EQ(down.front(), (std::pair<INT64, int>{0, -683}));
    EXPECT_EQ(down[down.size() - 2].second, -1365);
    EXPECT_EQ(down.back(), (std::pair<INT64, int>{40, 0}));
}
