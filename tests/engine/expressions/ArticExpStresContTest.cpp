#include <gtest/gtest.h>

#include "BendCcFixture.h"
#include "engine/expressions/ArticExpPack.h"
#include "engine/expressions/ArticExpSlur.h"
#include "engine/expressions/ArticExpStresCont.h"
#include "engine/loaders/ArticExpUtil.h"

using namespace exptest;
using namespace bcctest;

namespace {

// A listed note at 480 (and a next note at 960 unless told), the given
// controller events, one expression made by make; phase 1.
template <class Make>
Points RunContCc(BYTE number, std::initializer_list<std::pair<INT64, int>> ccs, Make make, int* rc,
                 bool nextNote = true, INT64 noteTime = 480) {
    World w;
    CArticWrkEvnt* n = w.Note(5, noteTime, 60);
    if (nextNote) w.Note(6, noteTime + 480, 62);
    ULONG no = 20;
    for (const auto& [t, v] : ccs) wrktest::AddCc(w.partBlk, no++, t, number, BYTE(v));
    CArticExpBlk* blk = w.PartExpBlk();
    Notes listed{n};
    blk->AddTail(make(blk, &listed));
    *rc = w.Phase1();
    return Ccs(w.MidPartBlk(), number);
}

using ContNotes = const CArticWrkEvntList*;

}  // namespace

TEST(ArticExpStresCont, ValueAtANoteAndWhatFollows) {
    struct Case {
        const char* what;
        BYTE type;
        std::initializer_list<std::pair<INT64, int>> before;
        bool next;
        Points after;
    };
    const Case cases[] = {
        {"set only", 3, {{475, 30}, {700, 50}}, true, {{475, 81}, {700, 50}}},
        {"cleared up to the next note, its value put back", 0, {{600, 40}}, true, {{475, 81}, {960, 40}}},
        {"the value that stood exactly there comes back", 0, {{600, 40}, {960, 70}}, true, {{475, 81}, {960, 70}}},
        {"cleared without restore stops short of the next note", 1, {{600, 40}, {960, 70}}, true,
         {{475, 81}, {960, 70}}},
        {"last note: cleared to the block end, nothing restored", 0, {{2000, 20}}, false, {{475, 81}}},
    };
    for (const Case& c : cases) {
        int rc = -1;
        const Points got = RunContCc(
            73, c.before,
            [&](CArticExpBlk* b, ContNotes n) { return new CArticExpStresContCcNoteCreAbs(b, 1, n, c.type, 73, -5, 81); },
            &rc, c.next);
        EXPECT_EQ(rc, 0) << c.what;
        EXPECT_EQ(got, c.after) << c.what;
    }
    int rc = -1;
    // Far before the song start: at 0. Above 127: written as 127.
    EXPECT_EQ(RunContCc(73, {}, [](CArticExpBlk* b, ContNotes n) {
                  return new CArticExpStresContCcNoteCreAbs(b, 1, n, 3, 73, -600, 200);
              }, &rc),
              (Points{{0, 127}}));
    // TimeR -5 from the next note, none there: like the last note, and tick 0 untouched.
    EXPECT_EQ(RunContCc(10, {{0, 64}, {2000, 20}}, [](CArticExpBlk* b, ContNotes n) {
                  return new CArticExpStresContCcNoteCreAbs2(b, 1, n, 0, 10, -5, -5, 30);
              }, &rc, false),
              (Points{{0, 64}, {475, 30}}));
    // With a next note at 960: restored at 955.
    EXPECT_EQ(RunContCc(10, {{0, 64}}, [](CArticExpBlk* b, ContNotes n) {
                  return new CArticExpStresContCcNoteCreAbs2(b, 1, n, 0, 10, -5, -5, 30);
              }, &rc),
              (Points{{0, 64}, {475, 30}, {955, 64}}));
}

TEST(ArticExpStresCont, RelativeValues) {
    int rc = -1;
    EXPECT_EQ(RunContCc(11, {{0, 90}}, [](CArticExpBlk* b, ContNotes n) {
                  return new CArticExpStresContCcNoteCreRel(b, 1, n, 3, 11, -5, 100);
              }, &rc),
              (Points{{0, 90}, {475, 127}}));
    // Shift (bit 2 clear, no clear, no restore): the events up to the next note move too.
    EXPECT_EQ(RunContCc(11, {{0, 90}, {600, 20}, {960, 50}}, [](CArticExpBlk* b, ContNotes n) {
                  return new CArticExpStresContCcNoteCreRel(b, 1, n, 3, 11, -5, -30);
              }, &rc),
              (Points{{0, 90}, {475, 60}, {600, 0}, {960, 50}}));
    // Rel2 with TimeR 10: the next note after the note's start is at 960,
    // restored at 970; from the note's end (bit 3) no note starts after 960.
    EXPECT_EQ(RunContCc(11, {{0, 90}}, [](CArticExpBlk* b, ContNotes n) {
                  return new CArticExpStresContCcNoteCreRel2(b, 1, n, 0, 11, 0, 10, -10);
              }, &rc),
              (Points{{0, 90}, {480, 80}, {970, 90}}));
    EXPECT_EQ(RunContCc(11, {{0, 90}}, [](CArticExpBlk* b, ContNotes n) {
                  return new CArticExpStresContCcNoteCreRel2(b, 1, n, 8, 11, 0, 10, -10);
              }, &rc),
              (Points{{0, 90}, {480, 80}}));
}

TEST(ArticExpStresCont, CurveAroundANote) {
    int rc = -1;
    // Replace (bit 0), up to the next note start at or after the end: the note itself at 960.
    EXPECT_EQ(RunContCc(11, {}, [](CArticExpBlk* b, ContNotes n) {
                  return new CArticExpStresContCcNoteCrv(b, 1, n, 65, 11, -200, 0, 90, 90, 0, 400);
              }, &rc, true, 960),
              (Points{{760, 90}, {960, 127}}));
    EXPECT_EQ(rc, 0);
    // Add over 100: limited to 127, 100 again at 960.
    EXPECT_EQ(RunContCc(11, {{0, 100}}, [](CArticExpBlk* b, ContNotes n) {
                  return new CArticExpStresContCcNoteCrv(b, 1, n, 64, 11, -200, 0, 90, 90, 0, 400);
              }, &rc, true, 960),
              (Points{{0, 100}, {760, 127}, {960, 100}}));
    CArticErr::Clear();
    // Start after End, or no step: refused, nothing written.
    for (auto [start, end, dev] : {std::tuple<LONG, LONG, WORD>{100, 50, 400}, {-200, 0, 0}}) {
        EXPECT_EQ(RunContCc(11, {{0, 100}}, [=](CArticExpBlk* b, ContNotes n) {
                      return new CArticExpStresContCcNoteCrv(b, 1, n, 65, 11, start, end, 90, 90, 0, dev);
                  }, &rc),
                  (Points{{0, 100}}));
        EXPECT_EQ(rc, 1);
        EXPECT_GE(ShownText().Find("指定時刻の範囲内でCcを指定する際にｴﾗｰが発生した。"), 0);
    }
    CArticErr::Delete();
}

TEST(ArticExpStresCont, AtAPosition) {
    struct Case {
        const char* what;
        BYTE type;
        BYTE value;
        bool withNote;
        int rc;
        Points after;
        const char* shown;
    };
    const Case cases[] = {
        {"at the position, limited", 0, 200, true, 0, {{960, 127}}, nullptr},
        {"at the nearest note", 1, 40, true, 0, {{1000, 40}}, nullptr},
        {"no note to go to", 1, 40, false, 1, {}, "近隣音符にCcを指定する際にｴﾗｰが発生した。"},
        {"unknown kind", 2, 40, true, 1, {}, "処理番号 = 2"},
    };
    for (const Case& c : cases) {
        CArticErr::Clear();
        World w;
        w.wrk.SetMeasBlk(w.masterBlk);
        wrktest::AddBeat(w.masterBlk, 1, 0, 4, 2, 1);
        if (c.withNote) w.Note(5, 1000, 60);
        CArticExpBlk* blk = w.PartExpBlk();
        CArticMeas at(1, 3, 0);
        blk->AddTail(new CArticExpStresContCcTimeAbs(blk, 1, c.type, &at, 7, c.value));
        EXPECT_EQ(w.Phase1(), c.rc) << c.what;
        EXPECT_EQ(Ccs(w.MidPartBlk(), 7), c.after) << c.what;
        if (c.shown) {
            EXPECT_GE(ShownText().Find(c.shown), 0) << c.what;
        }
        CArticErr::Delete();
    }
}

TEST(ArticExpStresCont, ControllerNumberAboveMidiRangeIsHeldAt127) {
    World w;
    w.wrk.SetMeasBlk(w.masterBlk);
    wrktest::AddBeat(w.masterBlk, 1, 0, 4, 2, 1);
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas at(1, 3, 0);
    blk->AddTail(new CArticExpStresContCcTimeAbs(blk, 1, 0, &at, 200, 100));
    EXPECT_EQ(w.Phase1(), 0);
    EXPECT_EQ(Ccs(w.MidPartBlk(), 127), (Points{{960, 100}}));
    EXPECT_TRUE(Ccs(w.MidPartBlk(), 200).empty());
}

TEST(ArticExpStresCont, PositionClassesWithoutTheirBlockFail) {
    CArticErr::Clear();
    CArticExpStresContCcTimeRelFix fix(nullptr, 1, 0, nullptr, 11, 10);
    EXPECT_EQ(fix.ConvToWrk(), 1);
    EXPECT_GE(ShownText().Find("指定時刻にCcを指定する際にｴﾗｰが発生した。"), 0);
    CArticErr::Delete();
    CArticErr::Clear();
    CArticExpStresContCcTimeRelCrv crv(nullptr, 2, 1, nullptr, ULONG(480), 11, 0, 10, 0, 0);
    EXPECT_EQ(crv.ConvToWrk(), 1);
    EXPECT_GE(ShownText().Find("近隣音符の範囲内でCcを指定する際にｴﾗｰが発生した。"), 0);
    CArticErr::Delete();
}

TEST(ArticExpStresCont, AreaScalingAndCurve) {
    World w;
    w.wrk.SetMeasBlk(w.masterBlk);
    wrktest::AddBeat(w.masterBlk, 1, 0, 4, 2, 1);
    w.Note(5, 0, 60, 1920);
    wrktest::AddCc(w.partBlk, 20, 0, 7, 100);
    wrktest::AddCc(w.partBlk, 21, 600, 7, 80);
    wrktest::AddCc(w.partBlk, 22, 1500, 7, 90);
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas from(1, 2, 0), to(1, 3, 0);
    // Bits 2: the end stays; half of each value plus 10 from 480 to 960.
    blk->AddTail(new CArticExpStresContCcTimeRelAreaFix(blk, 1, 4, &from, &to, 7, 50, 10));
    EXPECT_EQ(w.Phase1(), 0);
    const Points pts = Ccs(w.MidPartBlk(), 7);
    EXPECT_EQ(BendAt(pts, 479), 100);
    EXPECT_EQ(BendAt(pts, 480), 60);
    EXPECT_EQ(BendAt(pts, 600), 50);
    EXPECT_EQ(BendAt(pts, 1500), 90);
}

TEST(ArticExpStresCont, AreaCurveRestoresTheEnd) {
    World w;
    w.wrk.SetMeasBlk(w.masterBlk);
    wrktest::AddBeat(w.masterBlk, 1, 0, 4, 2, 1);
    w.Note(5, 0, 60, 1920);
    wrktest::AddCc(w.partBlk, 20, 600, 11, 80);
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas from(1, 2, 0), to(1, 3, 0);
    // Bit 2: the value in force at the end (80) is written there again.
    blk->AddTail(new CArticExpStresContCcTimeRelCrv(blk, 1, 4, &from, &to, 11, -30, 0, 0, 60));
    EXPECT_EQ(w.Phase1(), 0);
    const Points pts = Ccs(w.MidPartBlk(), 11);
    EXPECT_EQ(BendAt(pts, 480), 97);
    EXPECT_EQ(pts.back(), (std::pair<INT64, int>{960, 80}));
}

TEST(ArticExpStresCont, AreaCurveWithoutStepIsRefused) {
    CArticErr::Clear();
    World w;
    w.wrk.SetMeasBlk(w.masterBlk);
    wrktest::AddBeat(w.masterBlk, 1, 0, 4, 2, 1);
    w.Note(5, 0, 60, 1920);
    wrktest::AddCc(w.partBlk, 20, 600, 11, 80);
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas from(1, 2, 0), to(1, 3, 0);
    blk->AddTail(new CArticExpStresContCcTimeRelCrv(blk, 1, 4, &from, &to, 11, -30, 0, 0, 0));
    EXPECT_EQ(w.Phase1(), 1);
    EXPECT_EQ(Ccs(w.MidPartBlk(), 11), (Points{{600, 80}}));
    EXPECT_GE(ShownText().Find("指定時刻の範囲内でCcを指定する際にｴﾗｰが発生した。"), 0);
    CArticErr::Delete();
}

TEST(ArticExpStresCont, ReLevelling) {
    struct Case {
        const char* what;
        INT64 note;
        LONG start, end;
        WORD offset, mag;
        std::initializer_list<std::pair<INT64, int>> before;
        int rc;
        Points after;
    };
    const Case cases[] = {
        {"silence before the note", 960, -121, 0, 0, 0, {{0, 127}, {900, 100}}, 0,
         {{0, 127}, {839, 0}, {900, 0}, {960, 0}}},
        {"window from the song start", 60, -121, 0, 0, 0, {{0, 127}}, 0, {{0, 0}, {60, 0}}},
        {"100 percent only brackets", 960, -121, 0, 0, 100, {{0, 127}, {900, 100}}, 0,
         {{0, 127}, {839, 127}, {900, 100}, {960, 100}}},
        {"scaled and offset", 960, -121, 0, 10, 50, {{0, 127}, {900, 101}}, 0,
         {{0, 127}, {839, 74}, {900, 61}, {960, 61}}},
        {"a window ending before it starts", 960, 100, 50, 0, 0, {{0, 127}}, 1, {{0, 127}}},
    };
    for (const Case& c : cases) {
        CArticErr::Clear();
        int rc = -1;
        const Points got = RunContCc(65, c.before, [&](CArticExpBlk* b, ContNotes n) {
            return new CArticExpOrgContCc(b, 1, n, 32, c.start, c.end, 65, c.offset, c.mag);
        }, &rc, false, c.note);
        EXPECT_EQ(rc, c.rc) << c.what;
        EXPECT_EQ(got, c.after) << c.what;
        if (c.rc) {
            EXPECT_GE(ShownText().Find("Error in CArticExpOrgContCc::ConvToWrk"), 0);
        }
        CArticErr::Delete();
    }
}

TEST(ArticExpStresCont, PackedParameters) {
    // RPN 0/0 = 12 at 475 replaces the one there; a slur after it steps by a 12-semitone range.
    World w;
    CArticWrkEvnt* a = w.Note(5, 480, 60);
    CArticWrkEvnt* b = w.Note(6, 960, 62);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpPackRpnNoteCreAbs(blk, 1, &Notes{a}, 3, 0, 0, -5, 12));
    blk->AddTail(new CArticExpArraySlurPb(blk, 2, &Notes{a, b}, 0));
    const PhaseResults r = RunHooked(w, [&] {
        CArticWrkUtil::CrePackedTime(&w.mid, w.MidPartBlk(), 475, 0x20, 0, 0, 5);
    });
    EXPECT_EQ(r.p1 + r.p12, 0);
    EXPECT_EQ(Packed(w.MidPartBlk(), 0x20, 0, 0), (Points{{475, 12}}));
    EXPECT_EQ(BendAt(Bends(w.MidPartBlk()), 960), 1366);

    struct Case {
        const char* what;
        CArticExpEvnt* (*make)(CArticExpBlk*, ContNotes);
        BYTE status;
        Points after;
        bool standing = false;  // an NRPN 1/8 of 30 exactly at the next note
    };
    const Case cases[] = {
        {"relative from the default", [](CArticExpBlk* k, ContNotes n) -> CArticExpEvnt* {
             return new CArticExpPackNrpnNoteCreRel(k, 1, n, 3, 1, 8, 0, -10);
         }, 0x10, {{480, 54}}},
        {"absolute above 127 written as 127", [](CArticExpBlk* k, ContNotes n) -> CArticExpEvnt* {
             return new CArticExpPackNrpnNoteCreAbs(k, 1, n, 3, 1, 8, 0, 200);
         }, 0x10, {{480, 127}}},
        {"the value standing at the next note comes back", [](CArticExpBlk* k, ContNotes n) -> CArticExpEvnt* {
             return new CArticExpPackNrpnNoteCreAbs(k, 1, n, 0, 1, 8, 0, 90);
         }, 0x10, {{480, 90}, {960, 30}}, true},
        {"restored at the next note", [](CArticExpBlk* k, ContNotes n) -> CArticExpEvnt* {
             return new CArticExpPackRpnNoteCreRel(k, 1, n, 0, 1, 8, 0, 5);
         }, 0x20, {{480, 5}, {960, 0}}},
    };
    for (const Case& c : cases) {
        World p;
        CArticWrkEvnt* n = p.Note(5, 480, 60);
        p.Note(6, 960, 62);
        if (c.standing) {
            // The clear area runs up to it; the value in force there is its own.
            CArticWrkEvnt* e = wrktest::NewEvnt(p.partBlk, 30, 0x10, 960, 1, 8);
            e->SetPost3(30);
            p.partBlk->Sort(e, 1);
        }
        CArticExpBlk* pb = p.PartExpBlk();
        pb->AddTail(c.make(pb, &Notes{n}));
        EXPECT_EQ(p.Phase1(), 0) << c.what;
        EXPECT_EQ(Packed(p.MidPartBlk(), c.status, 1, 8), c.after) << c.what;
    }
}

TEST(ArticExpStresCont, WritersCopiesAndPhases) {
    World w;
    CArticWrkEvnt* a = w.Note(5, 0, 60);
    CArticWrkEvnt* b = w.Note(6, 480, 62);
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas m5(5, 1, 0), m6(6, 1, 0);
    const std::pair<CArticExpEvnt*, const char*> cases[] = {
        {new CArticExpStresContCcTimeAbs(blk, 7, 0, &m5, 11, 100), "e7:CArticExpStresContCcTimeAbs( 0, 5/1/0, 11, 100 )"},
        {new CArticExpStresContCcTimeRelFix(blk, 1, 1, &m5, 11, -20),
         "e1:CArticExpStresContCcTimeRelFix( 1, 5/1/0, 11, -20 )"},
        {new CArticExpStresContCcTimeRelAreaFix(blk, 2, 3, &m5, ULONG(480), 7, 80, -3),
         "e2:CArticExpStresContCcTimeRelAreaFix( 3, 5/1/0, 480, 7, 80, -3 )"},
        {new CArticExpStresContCcTimeRelCrv(blk, 8, 1, &m5, &m6, 11, -30, 0, 0, 16),
         "e8:CArticExpStresContCcTimeRelCrv( 1, 5/1/0, 6/1/0, 11, -30, 0, 0, 16 )"},
        {new CArticExpStresContCcNoteCrv(blk, 3, &Notes{a}, 65, 11, -200, 0, -90, 90, -2, 400),
         "e3:CArticExpStresContCcNoteCrv( 1{:w5}, 65, 11, -200, 0, -90, 90, -2, 400 )"},
        {new CArticExpStresContCcNoteCreAbs(blk, 4, &Notes{a}, 3, 73, -5, 81),
         "e4:CArticExpStresContCcNoteCreAbs( 1{:w5}, 3, 73, -5, 81 )"},
        {new CArticExpStresContCcNoteCreAbs2(blk, 5, &Notes{a}, 3, 10, -140, -5, 64),
         "e5:CArticExpStresContCcNoteCreAbs2( 1{:w5}, 3, 10, -140, -5, 64 )"},
        {new CArticExpStresContCcNoteCreRel(blk, 6, &Notes{a}, 1, 11, 10, -12),
         "e6:CArticExpStresContCcNoteCreRel( 1{:w5}, 1, 11, 10, -12 )"},
        {new CArticExpStresContCcNoteCreRel2(blk, 9, &Notes{a, b}, 0, 11, -60, 120, -20),
         "e9:CArticExpStresContCcNoteCreRel2( 2{:w5,:w6}, 0, 11, -60, 120, -20 )"},
        {new CArticExpOrgContCc(blk, 10, &Notes{a}, 32, -121, 0, 65, 7, 50),
         "e10:CArticExpOrgContCc( 1{:w5}, 32, -121, 0, 65, 7, 50 )"},
        {new CArticExpPackNrpnNoteCreAbs(blk, 11, &Notes{a}, 3, 1, 8, -5, 70),
         "e11:CArticExpPackNrpnNoteCreAbs( 1{:w5}, 3, 1, 8, -5, 70 )"},
        {new CArticExpPackNrpnNoteCreRel(blk, 12, &Notes{a}, 3, 1, 8, 5, -10),
         "e12:CArticExpPackNrpnNoteCreRel( 1{:w5}, 3, 1, 8, 5, -10 )"},
        {new CArticExpPackRpnNoteCreAbs(blk, 13, &Notes{b}, 0, 0, 0, -5, 12),
         "e13:CArticExpPackRpnNoteCreAbs( 1{:w6}, 0, 0, 0, -5, 12 )"},
        {new CArticExpPackRpnNoteCreRel(blk, 14, &Notes{b}, 4, 0, 1, 0, 127),
         "e14:CArticExpPackRpnNoteCreRel( 1{:w6}, 4, 0, 1, 0, 127 )"},
    };
    for (const auto& [e, line] : cases) {
        blk->AddTail(e);
        EXPECT_EQ(LineOf(e), line);
        e->SetErrKind(3);
        CArticExpEvnt* clone = nullptr;
        ASSERT_EQ(CArticExpUtil::CopyEvnt(e, &clone, blk, e->GetEvntNo(), nullptr), 0);
        EXPECT_EQ(LineOf(clone), line);
        EXPECT_EQ(clone->GetEvntType(), e->GetEvntType());
        EXPECT_EQ(clone->GetErrKind(), 0);
        EXPECT_EQ(clone->ConvToWrkCombine() + clone->ConvToWrk2() + clone->ConvToWrk3(), 0);
        delete clone;
    }
}
