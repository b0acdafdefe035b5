// Phrase-file insertion: patterns copied, fitted, repeated, enveloped and
// pasted onto a block's controller and bend data.
#include <gtest/gtest.h>

#include <string>

#include "engine/work/ArticCash.h"
#include "engine/work/ArticFileIO.h"
#include "ContFixture.h"
#include "SmfFixture.h"

using namespace wrktest;

namespace {

struct PhraseTest : ContTest {
    OwnedList src;
    CArticWrkEvntList* out = nullptr;
    ~PhraseTest() override { FreeOut(); }
    // A list handed back in *out keeps its events: the caller frees them.
    void FreeOut() {
        if (!out) return;
        CArticWrkUtil::DelEvntList(out);
        out->RemoveAll();
        delete out;
        out = nullptr;
    }
    void Cc11(std::initializer_list<std::pair<INT64, int>> points) {
        for (auto& p : points) src.list.AddTail(Loose(0xB0, p.first, 11, BYTE(p.second)));
    }
    void Bends(std::initializer_list<std::pair<INT64, int>> points) {
        for (auto& p : points) src.list.AddTail(LooseBend(p.first, p.second));
    }
    Points OutCc() {
        Points r;
        for (CArticWrkEvnt* e : Items(*out)) r.push_back({e->GetTime(), e->GetPost2()});
        return r;
    }
    Points OutBends() {
        Points r;
        for (CArticWrkEvnt* e : Items(*out)) r.push_back({e->GetTime(), Bend(e)});
        return r;
    }
    bool AnyAtNoTime() {
        for (POSITION p = blk->GetHeadPos(); p;)
            if (blk->GetNext(p)->GetTime() == kWrkNoTime) return true;
        return false;
    }
};

}  // namespace

TEST_F(PhraseTest, FittedPatternLandsOnTheSpan) {
    Cc11({{0, 0}, {240, 127}, {480, 0}});
    ASSERT_EQ(CArticWrkUtil::CopySmfEvntList(&wrk, blk, 1000, 1960, 1960, &src.list, &out, 0x10, 100, 100, 0xB0, 11),
              0);
    EXPECT_EQ(OutCc(), (Points{{1000, 0}, {1480, 127}, {1960, 0}}));
    // the second form fits the same way
    FreeOut();
    ASSERT_EQ(
        CArticWrkUtil::CopySmfEvntList(&wrk, blk, 1000, 1960, 1960, &src.list, &out, 0x10, 100, 0, 100, 0xB0, 11), 0);
    EXPECT_EQ(OutCc(), (Points{{1000, 0}, {1480, 127}, {1960, 0}}));
}

TEST_F(PhraseTest, RepeatedPatternFillsTheSpanAndResetsAtTheLimit) {
    Cc11({{0, 0}, {240, 127}, {480, 0}});
    src.list.AddTail(Loose(0xB0, 100, 7, 50));  // another controller is not copied
    ASSERT_EQ(CArticWrkUtil::CopySmfEvntList(&wrk, blk, 1000, 2000, 2500, &src.list, &out, 0x20, 100, 100, 0xB0, 11),
              0);
    EXPECT_EQ(OutCc(), (Points{{1000, 0}, {1240, 127}, {1480, 0}, {1720, 127}, {1960, 0}, {2500, 0}}));
    // centred: the reset value is 64
    FreeOut();
    ASSERT_EQ(CArticWrkUtil::CopySmfEvntList(&wrk, blk, 0, 480, 600, &src.list, &out, 0x50, 100, 100, 0xB0, 11), 0);
    EXPECT_EQ(OutCc().back(), (std::pair<INT64, int>{600, 64}));
}

TEST_F(PhraseTest, CopyWithInitRepeatsTheFirstValueEarlier) {
    Bends({{0, 100}, {480, 200}});
    ASSERT_EQ(CArticWrkUtil::CopySmfEvntListI(&wrk, blk, 500, 1000, 1480, 1480, &src.list, &out, 0x10, 100, 100,
                                              0xE0, 0),
              0);
    EXPECT_EQ(OutBends(), (Points{{500, 100}, {1000, 100}, {1480, 200}}));
}

TEST_F(PhraseTest, CopyWithoutPatternFails) {
    EXPECT_EQ(CArticWrkUtil::CopySmfEvntList(&wrk, blk, 0, 480, 480, nullptr, &out, 0, 100, 100, 0xB0, 11), 1);
    EXPECT_EQ(CArticWrkUtil::CopySmfEvntList(&wrk, blk, 0, 480, 480, &src.list, &out, 0, 100, 100, 0xB0, 11), 1);
    EXPECT_EQ(out, nullptr);
}

TEST_F(PhraseTest, EnvelopeRisesHoldsAndFalls) {
    Bends({{0, 1000}, {100, 1000}, {200, 1000}, {500, 1000}, {700, 1000}, {850, 1000}, {1000, 1000}});
    CArticWrkEvntList list;
    CArticWrkUtil::CopyEvntList(&src.list, &list, 0xE0, 0);
    ASSERT_EQ(CArticWrkUtil::EgSmfEvntList(&list, 0, 1000, 1000, 200, 300, 0xE0, 0), 0);
    Points got;
    for (CArticWrkEvnt* e : Items(list)) got.push_back({e->GetTime(), Bend(e)});
    EXPECT_EQ(got, (Points{{0, 0}, {100, 500}, {200, 1000}, {500, 1000}, {700, 1000}, {850, 500}, {1000, 0}}));
    CArticWrkUtil::DelEvntList(&list);
    list.RemoveAll();

    // an attack longer than the room before the release stops at 700, at 700/800 of full
    CArticWrkUtil::CopyEvntList(&src.list, &list, 0xE0, 0);
    ASSERT_EQ(CArticWrkUtil::EgSmfEvntList(&list, 0, 1000, 1000, 800, 300, 0xE0, 0), 0);
    std::vector<CArticWrkEvnt*> items = Items(list);
    EXPECT_EQ(Bend(items[1]), 125);  // 100 of 800
    EXPECT_NEAR(Bend(items[5]), 0.875 * 500, 1.0);  // half way down the release from 0.875
    EXPECT_EQ(Bend(items.back()), 0);
    CArticWrkUtil::DelEvntList(&list);
    list.RemoveAll();

    // a release as long as the span silences everything
    CArticWrkUtil::CopyEvntList(&src.list, &list, 0xE0, 0);
    ASSERT_EQ(CArticWrkUtil::EgSmfEvntList(&list, 0, 1000, 1000, 0, 1000, 0xE0, 0), 0);
    for (CArticWrkEvnt* e : Items(list)) EXPECT_EQ(Bend(e), 0) << e->GetTime();
    CArticWrkUtil::DelEvntList(&list);
    list.RemoveAll();

    EXPECT_EQ(CArticWrkUtil::EgSmfEvntList(nullptr, 0, 1000, 1000, 1, 1, 0xE0, 0), 1);
    EXPECT_EQ(CArticWrkUtil::EgSmfEvntList(&list, 0, 1000, 1000, 0, 0, 0xE0, 0), 0);
    EXPECT_EQ(CArticWrkUtil::EgSmfEvntList(&list, 1000, 1000, 1000, 10, 0, 0xE0, 0), 1);
}

TEST_F(PhraseTest, ResetTimeOfAPaste) {
    CArticWrkEvnt* expr = PutCc(2000, 11, 100);
    ASSERT_EQ(blk->SetCondPos(expr), 0);
    PutNote(0, 60, 400);
    PutNote(960, 62, 400);
    EXPECT_EQ(CArticWrkUtil::GetExpandAddEndTime(&wrk, blk, 480, 0, 0xB0, 11), 2000);
    EXPECT_EQ(CArticWrkUtil::GetExpandAddEndTime(&wrk, blk, 480, 0, 0xB0, 7), kWrkNoTime);
    EXPECT_EQ(CArticWrkUtil::GetExpandAddEndTime(&wrk, blk, 480, 0x04, 0xB0, 11), 480);
    EXPECT_EQ(CArticWrkUtil::GetExpandAddEndTime(&wrk, blk, 480, 0, 0xE0, 0), 960);
    EXPECT_EQ(CArticWrkUtil::GetExpandAddEndTime(&wrk, nullptr, 480, 0, 0xE0, 0), kWrkNoTime);
    // snapping: the start to the nearest note start, the end to the next
    // note start after it (a note end with bit 1)
    EXPECT_EQ(CArticWrkUtil::GetExpandTime(&wrk, blk, 100, 0x01), 0);
    EXPECT_EQ(CArticWrkUtil::GetExpandTime(&wrk, blk, 100, 0x00), 100);
    EXPECT_EQ(CArticWrkUtil::GetExpandEndTime(&wrk, blk, 350, 0x03), 400);
    EXPECT_EQ(CArticWrkUtil::GetExpandEndTime(&wrk, blk, 350, 0x01), 960);
}

TEST_F(PhraseTest, ReplaceLeavesOnlyThePatternBetweenNeutralEnds) {
    PutBend(100, 500);
    PutBend(300, 800);
    PutBend(600, 700);
    Bends({{0, 0}, {240, 1000}, {480, 0}});
    ASSERT_EQ(CArticWrkUtil::CreFileSmfContPbForReplace(&wrk, blk, 0, 480, 480, &src.list, 0x18, 100, 100, 0xE0, 0),
              0);
    EXPECT_EQ(ContTest::Bends(), (Points{{0, 0}, {240, 1000}, {480, 0}, {600, 700}}));
    EXPECT_TRUE(exp.reports.empty());
}

TEST_F(PhraseTest, AddWithoutResetLeavesNothingAtTheLargestTime) {
    Cc11({{0, 0}, {240, 127}, {480, 0}});
    src.list.AddTail(Loose(0xB0, 0, 7, 10));
    src.list.AddTail(Loose(0xB0, 480, 7, 30));
    PutCc(0, 7, 50);
    ASSERT_EQ(CArticWrkUtil::CreFileSmfContCc(&wrk, blk, 0, 480, &src.list, 0x10, 7, 100), 0);
    EXPECT_EQ(Ccs(7), (Points{{0, 60}, {480, 80}}));
    EXPECT_FALSE(AnyAtNoTime());
    EXPECT_TRUE(exp.reports.empty());
}

TEST_F(PhraseTest, FailedPasteRemovesItsBoundaryEvent) {
    OwnedList empty;
    PutBend(0, 100);
    EXPECT_EQ(CArticWrkUtil::CreFileSmfContPbForAdd(&wrk, blk, 0, 480, kWrkNoTime, &empty.list, 0, 100, 100, 0xE0, 0),
              1);
    EXPECT_FALSE(AnyAtNoTime());
    PutCc(0, 7, 50);
    EXPECT_EQ(CArticWrkUtil::CreFileSmfContCcForAdd(&wrk, blk, 0, 480, kWrkNoTime, &empty.list, 0, 100, 0xB0, 7), 1);
    EXPECT_FALSE(AnyAtNoTime());
    // through an entry operation the failure is reported once
    EXPECT_EQ(CArticWrkUtil::CreFileSmfContPb(&wrk, blk, 0, 480, &empty.list, 0, 100, 100), 1);
    EXPECT_FALSE(AnyAtNoTime());
    ASSERT_EQ(exp.reports.size(), 1u);
    EXPECT_EQ(exp.reports[0].reason, CString("SMFから読み込んだPBｲﾍﾞﾝﾄを貼り込む際にｴﾗｰが発生した。"));
    EXPECT_EQ(exp.reports[0].location, CString("CArticWrkUtil::CreFileSmfContPb"));
}

TEST_F(PhraseTest, LoadFileSmfReusesAListAndReportsAMissingFile) {
    src.list.AddTail(Loose(0xB0, 0, 11, 1));
    CArticWrkEvntList* list = &src.list;
    EXPECT_EQ(CArticWrkUtil::LoadFileSmf(nullptr, "nowhere.mid", &list), 0);
    EXPECT_EQ(list, &src.list);
    EXPECT_TRUE(exp.reports.empty());

    CArticFileIO io;
    CArticWrkEvntList* none = nullptr;
    const CString missing = CString(::testing::TempDir().c_str()) + "missing.mid";
    EXPECT_EQ(CArticWrkUtil::LoadFileSmf(&io, missing, &none), 1);
    ASSERT_EQ(exp.reports.size(), 1u);
    EXPECT_EQ(exp.reports[0].reason, CString("SMFを読み出す際にｴﾗｰが発生した。"));
    EXPECT_EQ(exp.reports[0].location, CString("CArticWrkUtil::LoadFileSmf"));
    EXPECT_EQ(exp.reports[0].detail, "ﾌｧｲﾙ名 = " + missing);
}

TEST_F(PhraseTest, VibratoFileRepeatsOverTheNote) {
    CArticCash::Clear();
    CArticFileIO io;
    CArticWrkEvntList* vib = nullptr;
    ASSERT_EQ(CArticWrkUtil::LoadFileSmf(&io, VEXA_SOURCE_DIR "/data/Lib/vib3-g02.mid", &vib), 0);
    const BYTE flags = BYTE(CArticWrkUtil::ResetPbType(22));  // as the scripts pass it
    ASSERT_EQ(CArticWrkUtil::CreFileSmfContPbEg2(&wrk, blk, 480, 1440, vib, flags, 0, 0, 100, 0, 100), 0);
    Points bends = ContTest::Bends();
    ASSERT_GE(bends.size(), 12u);
    EXPECT_EQ(bends.front().first, 480);
    auto at = [&](INT64 t) {
        for (auto& b : bends)
            if (b.first == t) return b.second;
        return -99999;
    };
    // one cycle every 160 ticks, a quarter cycle up and three quarters down
    EXPECT_GT(at(480 + 40), 0);
    EXPECT_EQ(at(480 + 40), at(480 + 200));
    EXPECT_EQ(at(480 + 120), at(480 + 600));
    EXPECT_LT(at(480 + 120), 0);
    EXPECT_EQ(at(480 + 160), 0);
    CArticCash::Delete();
}

TEST_F(PhraseTest, ControllerFallFileLowersExpressionFromItsValue) {
    CArticCash::Clear();
    CArticFileIO io;
    CArticWrkEvntList* fall = nullptr;
    ASSERT_EQ(CArticWrkUtil::LoadFileSmf(&io, VEXA_SOURCE_DIR "/data/Lib/GlisDn.mid", &fall), 0);
    PutCc(0, 11, 100);
    // type 40 as the scripts pass it: fitted, centred on 64
    ASSERT_EQ(CArticWrkUtil::CreFileSmfContCc2(&wrk, blk, 0, 480, fall, 40, 11, 100), 0);
    Points cc = Ccs(11);
    ASSERT_EQ(cc.size(), 17u);
    EXPECT_EQ(cc.front(), (std::pair<INT64, int>{0, 100}));
    EXPECT_EQ(cc.back(), (std::pair<INT64, int>{480, 36}));  // 100 + (0 - 64)
    for (size_t i = 1; i < cc.size(); ++i) EXPECT_LE(cc[i].second, cc[i - 1].second);
    EXPECT_FALSE(AnyAtNoTime());
    CArticCash::Delete();
}
