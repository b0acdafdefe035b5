#include "driver/ArticTimeMgr.h"

#include <gtest/gtest.h>

#include <limits>

#include "services/ArticTimeInfo.h"
#include "engine/expressions/ArticExp.h"
#include "engine/rules/ArticRul.h"
#include "engine/work/WorkFixture.h"

namespace {

// A master track and one part track with three notes at 0, 480 and 960.
struct TimeWorld {
    CArticWrk wrk;
    CArticExp exp;
    CArticRul rul{&wrk, nullptr};
    CArticWrkBlk* partBlk;
    TimeWorld() {
        wrktest::AddBlock(wrktest::AddTrack(wrk, 0));
        partBlk = wrktest::AddBlock(wrktest::AddTrack(wrk, 1));
        for (ULONG i = 0; i < 3; ++i) wrktest::AddNote(partBlk, i, INT64(i) * 480, BYTE(60 + i));
        auto* trk = new CArticExpTrk(&exp, 1, 0, 0);
        exp.AddTail(trk);
        trk->SetWrkTrk(wrk.Get(ULONG(1)));
        auto* blk = new CArticExpBlk(trk, 0);
        trk->AddTail(blk);
        blk->GetEvntStrList()->AddTail(CString("#exp:KeySft,1"));
    }
};

TEST(ArticTimeMgr, NewManagerHoldsOneSectionOverTheWholeSong) {
    TimeWorld w;
    CArticTimeMgr mgr(&w.wrk, &w.exp, &w.rul);
    ASSERT_EQ(mgr.GetCount(), 1);
    INT64 start = -1, end = -1;
    int type = -1;
    CString name("x");
    ASSERT_EQ(mgr.Get(0, &start, &end, &type, &name), 0);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, std::numeric_limits<INT64>::max());
    EXPECT_EQ(type, 0);
    EXPECT_TRUE(name.IsEmpty());
    // The section's rule program hangs under the manager's.
    EXPECT_EQ(mgr.GetTimeInfo(0)->GetRul()->GetRul(), &w.rul);

    // Clear goes back to the default section whatever was added.
    ASSERT_EQ(mgr.AddTail(0, 100, 1, CString("a.rul")), 0);
    ASSERT_EQ(mgr.GetCount(), 2);
    mgr.Clear();
    EXPECT_EQ(mgr.GetCount(), 1);
    EXPECT_EQ(mgr.GetTimeInfo(1), nullptr);
    EXPECT_EQ(mgr.Set(1, 0, 1, 0, CString()), 1);
    EXPECT_EQ(mgr.Remove(1), 1);
}

TEST(ArticTimeMgr, MergeExpKeepsTheWorkDataAndEmptiesTheEventTexts) {
    TimeWorld w;
    w.partBlk->Get(ULONG(1))->SetProb(4, 0.5);
    CArticTimeMgr mgr(&w.wrk, &w.exp, &w.rul);
    EXPECT_EQ(mgr.MergeExp(), 0);
    EXPECT_EQ(wrktest::Keys(w.partBlk), (std::vector<int>{60, 61, 62}));
    EXPECT_DOUBLE_EQ(w.partBlk->Get(ULONG(1))->GetProb(4), 0.5);
    EXPECT_EQ(w.exp.GetExpBlk(1, 0)->GetEvntStrList()->GetCount(), 0);
}

TEST(ArticTimeMgr, SectionOperationsNeedSections) {
    TimeWorld w;
    CArticTimeMgr mgr(&w.wrk, &w.exp, &w.rul);
    ASSERT_EQ(mgr.Remove(0), 0);
    ASSERT_EQ(mgr.GetCount(), 0);
    EXPECT_EQ(mgr.Devide(), 1);
    EXPECT_EQ(mgr.Merge(0), 1);
    EXPECT_EQ(mgr.MergeWrk(0), 1);
    EXPECT_EQ(mgr.MergeExp(), 1);
}

TEST(ArticTimeMgr, DevideCutsTheSectionAndMergeCarriesRuleStateBack) {
    TimeWorld w;
    CArticTimeMgr mgr(&w.wrk, &w.exp, &w.rul);
    ASSERT_EQ(mgr.Set(0, 480, 960, 1, CString("g.rul")), 0);
    ASSERT_EQ(mgr.Devide(), 0);
    CArticTimeInfo* info = mgr.GetTimeInfo(0);
    CArticWrkBlk* cut = info->GetWrk()->Get(ULONG(1))->Get(ULONG(0));
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(wrktest::Keys(cut), (std::vector<int>{61}));
    EXPECT_EQ(info->GetExp()->GetCount(), 1);
    EXPECT_EQ(info->GetExp()->Get(ULONG(1))->GetWrkTrk(), info->GetWrk()->Get(ULONG(1)));
    EXPECT_GT(info->GetStrWrkList()->GetCount(), 0);
    // The manager's own notes are not touched by the cut.
    EXPECT_EQ(wrktest::Keys(w.partBlk), (std::vector<int>{60, 61, 62}));

    cut->Get(ULONG(1))->SetProb(7, 0.25);
    EXPECT_EQ(mgr.Merge(0), 0);
    EXPECT_DOUBLE_EQ(w.partBlk->Get(ULONG(1))->GetProb(7), 0.25);

    // An empty range is refused.
    ASSERT_EQ(mgr.Set(0, 960, 960, 0, CString()), 0);
    EXPECT_EQ(mgr.Devide(), 1);
}

TEST(ArticTimeMgr, EditKeepsNamedSectionsAndDeletesTheRest) {
    TimeWorld w;
    CArticTimeMgr mgr(&w.wrk, &w.exp, &w.rul);
    ASSERT_EQ(mgr.AddTail(0, 480, 0, CString()), 0);
    CArticTimeInfo* kept = mgr.GetTimeInfo(1);

    CArticTimeData same;
    same.info = kept;
    same.start = 5;  // not marked changed: ignored
    CArticTimeData fresh;
    fresh.start = 100;
    fresh.end = 200;
    fresh.rulType = 1;
    CTypedPtrArray<CPtrArray, CArticTimeData*> rows;
    rows.Add(&same);
    CArticTimeInfoList out;
    int changed = -1;
    ASSERT_EQ(mgr.Edit(rows, out, &changed), 0);
    EXPECT_EQ(changed, 0);
    rows.Add(&fresh);
    out.RemoveAll();
    ASSERT_EQ(mgr.Edit(rows, out, &changed), 0);
    EXPECT_EQ(changed, 1);
    ASSERT_EQ(mgr.EditTimeInfoList(out), 0);
    ASSERT_EQ(mgr.GetCount(), 2);
    EXPECT_EQ(mgr.GetTimeInfo(0), kept);
    EXPECT_EQ(kept->GetTimeS(), 0);
    EXPECT_EQ(mgr.GetTimeInfo(1)->GetTimeS(), 100);
    EXPECT_EQ(mgr.GetTimeInfo(1)->GetRulType(), 1);

    CStringList lines;
    ASSERT_EQ(mgr.GetInfoStrList(lines), 0);
    ASSERT_EQ(lines.GetCount(), 3);
    EXPECT_STREQ(lines.GetHead(), "時間範囲");
    EXPECT_NE(CString(lines.GetTail()).Find("ｷﾞﾀｰ"), -1);
}

}  // namespace
