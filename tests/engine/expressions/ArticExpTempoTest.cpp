#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "ExpPhraseFixture.h"
#include "engine/expressions/ArticExpTempo.h"
#include "engine/loaders/ArticExpUtil.h"

using namespace exptest;

namespace {

using TempoPoints = std::vector<std::pair<INT64, ULONG>>;

// A 4/4 song at 480 ticks a quarter whose part holds a tempo of 500000 at 0.
struct TempoWorld : World {
    TempoWorld() {
        wrk.SetMeasBlk(masterBlk);
        wrktest::AddBeat(masterBlk, 1, 0, 4, 2, 1);
    }
    void SongTempo(ULONG no, INT64 time, ULONG us) {
        CArticWrkEvnt* e = wrktest::NewMeta(partBlk, no, time, 0x51, {BYTE(us >> 16), BYTE(us >> 8), BYTE(us)});
        partBlk->Sort(e, 1);
        partBlk->SetCondPos(e);
    }
    TempoPoints Tempi() const {
        TempoPoints out;
        const CArticWrkBlk* blk = MidPartBlk();
        for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;) {
            CArticWrkEvnt* e = blk->GetNext(p);
            const BYTE* data = nullptr;
            if (e->GetStatus() == 0xFF && e->GetMetaType() == 0x51 && e->GetMeta(nullptr, &data) >= 3 && data)
                out.push_back({e->GetTime(), (ULONG(data[0]) << 16) | (ULONG(data[1]) << 8) | data[2]});
        }
        return out;
    }
};

}  // namespace

TEST(ArticExpTempo, AbsoluteTempoAtTheHeadOfItsTypesPoint) {
    const std::pair<BYTE, INT64> cases[] = {{1, 3840}, {2, 4320}, {0, 4420}};
    for (const auto& c : cases) {
        TempoWorld w;
        w.Note(5, 0);
        const CArticMeas at(3, 2, 100);
        w.PartExpBlk()->AddTail(new CArticExpTempoAbs(w.PartExpBlk(), 1, c.first, &at, 480, 60));
        ASSERT_EQ(w.Phase1(), 0) << int(c.first);
        const TempoPoints tempi = w.Tempi();
        ASSERT_FALSE(tempi.empty());
        bool found = false;
        for (const auto& t : tempi) found = found || (t.first == c.second && t.second == 1000000u);
        EXPECT_TRUE(found) << "Type " << int(c.first);
    }
}

TEST(ArticExpTempo, AbsoluteTempoOfABeatOf240Ticks) {
    TempoWorld w;
    w.Note(5, 0);
    w.PartExpBlk()->AddTail(new CArticExpTempoAbs(w.PartExpBlk(), 1, 0, ULONG(0), 240, 120));
    ASSERT_EQ(w.Phase1(), 0);
    EXPECT_EQ(w.Tempi(), (TempoPoints{{0, 1000000u}}));
}

TEST(ArticExpTempo, RelativeTempoOf100ChangesNothingAnd0FailsWithItsReport) {
    TempoWorld w;
    w.SongTempo(4, 0, 500000);
    w.Note(5, 0);
    w.PartExpBlk()->AddTail(new CArticExpTempoRelFix(w.PartExpBlk(), 1, 0, ULONG(960), 100));
    ASSERT_EQ(w.Phase1(), 0);
    EXPECT_EQ(w.Tempi(), (TempoPoints{{0, 500000u}}));

    CArticErr::Clear();
    TempoWorld z;
    z.SongTempo(4, 0, 500000);
    z.Note(5, 0);
    z.PartExpBlk()->AddTail(new CArticExpTempoRelFix(z.PartExpBlk(), 1, 0, ULONG(960), 0));
    EXPECT_NE(z.Phase1(), 0);
    EXPECT_EQ(z.Tempi(), (TempoPoints{{0, 500000u}}));
    EXPECT_NE(ShownText().Find("記号位置ﾓｰﾄﾞで相対ﾃﾝﾎﾟを設定する際にｴﾗｰが発生した。"), -1);
    CArticErr::Delete();
}

TEST(ArticExpTempo, CurveOverOneMeasureAndAnUndefinedType) {
    TempoWorld w;
    w.SongTempo(4, 0, 500000);
    w.Note(5, 0);
    const CArticMeas from(5, 1, 0);
    w.PartExpBlk()->AddTail(new CArticExpTempoRelCrv(w.PartExpBlk(), 1, 0, &from, INT64(1920), 100, 50, 0, 4));
    ASSERT_EQ(w.Phase1(), 0);
    const TempoPoints tempi = w.Tempi();
    // The song's tempo at 0, then the curve from measure 5 (7680) to measure 6
    // (9600), slowing step by step: nothing outside that measure.
    ASSERT_GE(tempi.size(), 3u);
    EXPECT_EQ(tempi[0], (std::pair<INT64, ULONG>{0, 500000u}));
    EXPECT_EQ(tempi[1], (std::pair<INT64, ULONG>{7680, 500000u}));
    EXPECT_EQ(tempi.back().first, 9600);
    for (size_t i = 2; i < tempi.size(); ++i) {
        EXPECT_GT(tempi[i].first, tempi[i - 1].first);
        EXPECT_LE(tempi[i].first, 9600);
        EXPECT_GE(tempi[i].second, tempi[i - 1].second);
    }
    EXPECT_GT(tempi.back().second, 500000u);

    CArticErr::Clear();
    TempoWorld z;
    z.Note(5, 0);
    z.PartExpBlk()->AddTail(new CArticExpTempoRelCrv(z.PartExpBlk(), 1, 5, &from, INT64(1920), 100, 50, 0, 4));
    EXPECT_EQ(z.Phase1(), 1);
    EXPECT_NE(ShownText().Find("未定義の処理番号が指定されているためｴﾗｰが発生した。"), -1);
    EXPECT_NE(ShownText().Find("処理番号 = 5"), -1);
    CArticErr::Delete();
}

TEST(ArticExpTempo, BreathUpToTheNextMeasure) {
    TempoWorld w;
    w.SongTempo(4, 0, 500000);
    CArticWrkEvnt* n = w.Note(5, 2400, 60, 480);  // ends at 2/3/0
    w.PartExpBlk()->AddTail(new CArticExpTempoBreath(w.PartExpBlk(), 1, 1, &Notes{n}, 50, 0));
    ASSERT_EQ(w.Phase1(), 0);
    EXPECT_EQ(w.Tempi(), (TempoPoints{{0, 500000u}, {2880, 1000000u}, {3840, 500000u}}));
}

TEST(ArticExpTempo, FermataVisitsEveryNoteAndReportsTheFirstFailure) {
    CArticErr::Clear();
    TempoWorld w;
    w.SongTempo(4, 0, 500000);
    CArticWrkEvnt* a = w.Note(5, 0, 60, 480);
    CArticWrkEvnt* b = w.Note(6, 960, 62, 0);  // no length to hold: fails
    CArticWrkEvnt* c = w.Note(7, 1920, 64, 480);
    auto* e = new CArticExpTempoFermata(w.PartExpBlk(), 1, 1, &Notes{a, b, c}, 50, 0);
    w.PartExpBlk()->AddTail(e);
    EXPECT_EQ(w.Phase1(), 1);
    EXPECT_EQ(w.Tempi(),
              (TempoPoints{{0, 1000000u}, {480, 500000u}, {1920, 1000000u}, {2400, 500000u}}));
    EXPECT_NE(ShownText().Find("ﾌｪﾙﾏｰﾀの範囲を対象音符の音値で指定する際にｴﾗｰが発生した。"), -1);

    // A fermata without notes fails with its report.
    CArticErr::Clear();
    TempoWorld z;
    z.Note(5, 0);
    z.PartExpBlk()->AddTail(new CArticExpTempoFermata(z.PartExpBlk(), 1, 0, nullptr, 50, 100));
    EXPECT_EQ(z.Phase1(), 1);
    EXPECT_FALSE(ShownText().IsEmpty());
    CArticErr::Delete();
}

TEST(ArticExpTempo, ABreathStopsAtItsFirstFailingNote) {
    CArticErr::Clear();
    TempoWorld w;
    w.SongTempo(4, 0, 500000);
    CArticWrkEvnt* a = w.Note(5, 0, 60, 480);
    CArticWrkEvnt* b = w.Note(6, 960, 62, 480);
    w.PartExpBlk()->AddTail(new CArticExpTempoBreath(w.PartExpBlk(), 1, 0, &Notes{a, b}, 0, 240));
    EXPECT_EQ(w.Phase1(), 1);
    EXPECT_EQ(w.Tempi(), (TempoPoints{{0, 500000u}}));
    EXPECT_NE(ShownText().Find("ﾌﾞﾚｽの範囲を音値で指定する際にｴﾗｰが発生した。"), -1);
    CArticErr::Delete();
}

TEST(ArticExpTempo, WritersCopiesAndPhases) {
    TempoWorld w;
    CArticWrkEvnt* n = w.Note(12, 0);
    CArticExpBlk* blk = w.PartExpBlk();
    const CArticMeas at(3, 2, 100), end(4, 1, 0);
    struct Case {
        CArticExpEvnt* e;
        const char* line;
    };
    const Case cases[] = {
        {new CArticExpTempoAbs(blk, 1, 1, &at, 480, 120), "e1:CArticExpTempoAbs( 1, 3/2/100, 480, 120 )"},
        {new CArticExpTempoAbs(blk, 2, 2, ULONG(960), 480, 90), "e2:CArticExpTempoAbs( 2, 960, 480, 90 )"},
        {new CArticExpTempoAbsRel(blk, 3, 0, INT64(480)), "e3:CArticExpTempoAbsRel( 0, 480 )"},
        {new CArticExpTempoRelFix(blk, 4, 1, &at, 80), "e4:CArticExpTempoRelFix( 1, 3/2/100, 80 )"},
        {new CArticExpTempoRelCrv(blk, 5, 0, &at, &end, 100, 80, -3, 4),
         "e5:CArticExpTempoRelCrv( 0, 3/2/100, 4/1/0, 100, 80, -3, 4 )"},
        {new CArticExpTempoRelCrv(blk, 6, 0, &at, INT64(960), 100, 80, 0, 4),
         "e6:CArticExpTempoRelCrv( 0, 3/2/100, 960, 100, 80, 0, 4 )"},
        {new CArticExpTempoRelCrv(blk, 7, 0, (INT64(1) << 32) + 5, INT64(960), 100, 80, 0, 4),
         "e7:CArticExpTempoRelCrv( 0, 4294967301, 960, 100, 80, 0, 4 )"},
        {new CArticExpTempoFermata(blk, 8, 1, &Notes{n}, 50, 480),
         "e8:CArticExpTempoFermata( 1, 1{:w12}, 50, 480 )"},
        {new CArticExpTempoBreath(blk, 9, 2, &Notes{n}, 70, 240), "e9:CArticExpTempoBreath( 2, 1{:w12}, 70, 240 )"},
    };
    for (const Case& c : cases) ExpectLineAndCopy(blk, c.e, c.line);
}
