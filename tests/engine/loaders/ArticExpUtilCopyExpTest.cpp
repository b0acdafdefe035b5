// Copies of whole expression data sets, the shared expression list and the
// block lookup by track and block number.
#include <gtest/gtest.h>

#include <vector>

#include "services/ArticErr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/expressions/ArticExpDur.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"

namespace {

// Work data with tracks 1 and 2, blocks 0 and 1 each, one note per block
// numbered 100 + 10 * track + block.
struct CopyExpWorld : ::testing::Test {
    CopyExpWorld() {
        CArticErr::Clear();
        for (ULONG t = 1; t <= 2; ++t) {
            auto* trk = new CArticWrkTrk(&wrk, t, ULONG(-2), ULONG(-1));
            wrk.AddTail(trk);
            for (ULONG b = 0; b <= 1; ++b) {
                auto* blk = new CArticWrkBlk(trk, b);
                trk->AddTail(blk);
                auto* e = new CArticWrkEvnt(blk, 100 + 10 * t + b);
                e->SetStatus(0x90);
                e->SetTime(480 * b, 0);
                blk->AddTail(e, 1);
            }
        }
    }
    ~CopyExpWorld() override { CArticErr::Delete(); }

    CArticExpBlk* Blk(CArticExp& exp, ULONG trkNo, ULONG blkNo) {
        CArticExpTrk* trk = exp.Get(trkNo);
        if (!trk) {
            trk = new CArticExpTrk(&exp, trkNo, ULONG(-2), ULONG(-1));
            trk->SetWrkTrk(wrk.Get(trkNo));
            exp.AddTail(trk);
        }
        CArticExpBlk* blk = trk->Get(blkNo);
        if (!blk) {
            blk = new CArticExpBlk(trk, blkNo);
            if (trk->GetWrkTrk()) blk->SetWrkBlk(trk->GetWrkTrk()->Get(blkNo));
            trk->AddTail(blk);
        }
        return blk;
    }
    // A key shift on the note of (trkNo, blkNo) of wrk.
    CArticExpEvnt* KeySft(CArticExp& exp, ULONG trkNo, ULONG blkNo, ULONG evntNo, signed char shift) {
        CArticWrkEvntList notes;
        notes.AddTail(wrk.GetEvntInEvntPosArray(100 + 10 * trkNo + blkNo, 0));
        auto* e = new CArticExpKeySft(Blk(exp, trkNo, blkNo), evntNo, &notes, shift);
        Blk(exp, trkNo, blkNo)->AddTail(e);
        return e;
    }
    CArticExpEvnt* Debug(CArticExp& exp, ULONG trkNo, ULONG blkNo, ULONG evntNo) {
        auto* e = new CArticExpDebug_d(Blk(exp, trkNo, blkNo), evntNo, nullptr, 1.5);
        Blk(exp, trkNo, blkNo)->AddTail(e);
        return e;
    }
    // An expression of a class outside the catalogue.
    CArticExpEvnt* Unknown(CArticExp& exp, ULONG trkNo, ULONG blkNo, ULONG evntNo) {
        auto* e = new CArticExpEvnt(Blk(exp, trkNo, blkNo), evntNo);
        Blk(exp, trkNo, blkNo)->AddTail(e);
        return e;
    }
    static std::vector<ULONG> EvntNos(const CArticExpBlk* blk) {
        std::vector<ULONG> nos;
        for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;) nos.push_back(blk->GetNext(p)->GetEvntNo());
        return nos;
    }
    static std::vector<CString> Dump(CArticExp& exp) {
        CStringList list;
        exp.GetStrList(list);
        std::vector<CString> lines;
        for (POSITION p = list.GetHeadPosition(); p;) lines.push_back(list.GetNext(p));
        return lines;
    }

    CArticWrk wrk;
    CArticExp src;
    CArticExp dst;
};

}  // namespace

TEST_F(CopyExpWorld, TracksWithoutExpressionsAreCopiedEmptyAndGiveZero) {
    Blk(src, 1, 0);
    Blk(src, 1, 1);
    Blk(src, 7, 3);  // no work track of that number
    Blk(dst, 5, 0);  // emptied first
    for (auto copy : {&CArticExpUtil::CopyExp, &CArticExpUtil::CopyExpForCore}) {
        EXPECT_EQ(copy(&src, &dst, &wrk), 0);
        ASSERT_EQ(dst.GetCount(), 2);
        EXPECT_EQ(dst.Get(ULONG(5)), nullptr);
        CArticExpTrk* t1 = dst.Get(ULONG(1));
        ASSERT_NE(t1, nullptr);
        EXPECT_EQ(t1->GetCh(), ULONG(-2));
        EXPECT_EQ(t1->GetPort(), ULONG(-1));
        EXPECT_EQ(t1->GetWrkTrk(), wrk.Get(ULONG(1)));
        ASSERT_EQ(t1->GetCount(), 2);
        EXPECT_EQ(t1->Get(ULONG(1))->GetWrkBlk(), wrk.Get(ULONG(1))->Get(ULONG(1)));
        EXPECT_EQ(t1->Get(ULONG(1))->GetCount(), 0);
        CArticExpTrk* t7 = dst.Get(ULONG(7));
        ASSERT_NE(t7, nullptr);
        EXPECT_EQ(t7->GetWrkTrk(), nullptr);
        ASSERT_NE(t7->Get(ULONG(3)), nullptr);
        EXPECT_EQ(t7->Get(ULONG(3))->GetWrkBlk(), nullptr);
    }
}

TEST_F(CopyExpWorld, MissingArgumentsAndNoTracksGiveOne) {
    KeySft(src, 1, 0, 1, 2);
    Blk(dst, 4, 0);
    EXPECT_EQ(CArticExpUtil::CopyExp(nullptr, &dst, &wrk), 1);
    EXPECT_EQ(CArticExpUtil::CopyExp(&src, nullptr, &wrk), 1);
    EXPECT_EQ(CArticExpUtil::CopyExp(&src, &dst, nullptr), 1);
    EXPECT_EQ(dst.GetCount(), 1);  // untouched
    // Onto itself: refused before the set is emptied.
    EXPECT_EQ(CArticExpUtil::CopyExp(&src, &src, &wrk), 1);
    EXPECT_EQ(EvntNos(src.GetExpBlk(1, 0)), std::vector<ULONG>{1});
    CArticExp none;
    EXPECT_EQ(CArticExpUtil::CopyExpForCore(&none, &dst, &wrk), 1);
    EXPECT_EQ(dst.GetCount(), 0);
}

TEST_F(CopyExpWorld, AnUncopiableExpressionIsLeftOutAndTheRestCopied) {
    KeySft(src, 1, 0, 1, 1);
    Unknown(src, 1, 0, 2);
    KeySft(src, 1, 0, 3, 3);
    KeySft(src, 1, 1, 4, 4);
    KeySft(src, 2, 0, 5, 5);
    for (auto copy : {&CArticExpUtil::CopyExp, &CArticExpUtil::CopyExpForCore}) {
        CArticErr::Clear();
        EXPECT_EQ(copy(&src, &dst, &wrk), 1);
        EXPECT_EQ(EvntNos(dst.GetExpBlk(1, 0)), (std::vector<ULONG>{1, 3}));
        EXPECT_EQ(EvntNos(dst.GetExpBlk(1, 1)), std::vector<ULONG>{4});
        EXPECT_EQ(EvntNos(dst.GetExpBlk(2, 0)), std::vector<ULONG>{5});
        CString content, cls, method, detail;
        CArticErr::Get(content, cls, method, detail);
        EXPECT_EQ(content, "未対応のｲﾍﾞﾝﾄのため、ｺﾋﾟｰできません。");
        EXPECT_EQ(detail, "ｸﾗｽ名 = CArticExpEvnt");
    }
    // The copies are re-pointed into the target work data and owned by the target.
    auto* copy = static_cast<CArticExpKeySft*>(dst.GetExpBlk(1, 0)->Get(1));
    EXPECT_EQ(copy->GetShift(), 3);
    EXPECT_EQ(copy->GetOwner(), dst.GetExpBlk(1, 0));
    ASSERT_EQ(copy->GetWrkEvntList()->GetCount(), 1);
    EXPECT_EQ(copy->GetWrkEvntList()->GetHead(), wrk.GetEvntInEvntPosArray(110, 0));
}

TEST_F(CopyExpWorld, TheCoreCopyPassesOverDebugExpressions) {
    Debug(src, 1, 0, 1);
    Debug(src, 2, 1, 2);
    EXPECT_EQ(CArticExpUtil::CopyExpForCore(&src, &dst, &wrk), 0);
    EXPECT_EQ(dst.GetCount(), 2);
    EXPECT_EQ(dst.GetEvntNum(), 0u);
    ASSERT_NE(dst.GetExpBlk(2, 1), nullptr);
    KeySft(src, 2, 1, 3, 1);
    EXPECT_EQ(CArticExpUtil::CopyExpForCore(&src, &dst, &wrk), 0);
    EXPECT_EQ(EvntNos(dst.GetExpBlk(2, 1)), std::vector<ULONG>{3});
    EXPECT_EQ(CArticExpUtil::CopyExp(&src, &dst, &wrk), 0);
    EXPECT_EQ(EvntNos(dst.GetExpBlk(2, 1)), (std::vector<ULONG>{2, 3}));
}

TEST_F(CopyExpWorld, TheExpressionListFormSharesItsPointers) {
    CArticExpEvnt* a = KeySft(src, 1, 0, 1, 1);
    CArticExpEvnt* b = KeySft(src, 1, 0, 2, 2);
    CArticExpEvntList from, to;
    from.AddTail(a);
    from.AddTail(static_cast<CArticExpEvnt*>(nullptr));
    from.AddTail(b);
    to.AddTail(b);
    CArticExpUtil::CopyEvntList(&from, &to);
    ASSERT_EQ(to.GetCount(), 3);
    POSITION p = to.GetHeadPosition();
    EXPECT_EQ(to.GetNext(p), b);
    EXPECT_EQ(to.GetNext(p), a);
    EXPECT_EQ(to.GetNext(p), b);
    CArticExpUtil::CopyEvntList(&to, &to);  // onto itself: nothing, and it ends
    CArticExpUtil::CopyEvntList(nullptr, &to);
    CArticExpUtil::CopyEvntList(&from, nullptr);
    EXPECT_EQ(to.GetCount(), 3);
}

TEST_F(CopyExpWorld, BlockLookupNeedsTheTrackNumber) {
    CArticExpBlk* blk = Blk(src, 2, 4);
    Blk(src, 1, 0);
    EXPECT_EQ(CArticExpUtil::GetExpBlk(&src, 2, 4), blk);
    EXPECT_EQ(CArticExpUtil::GetExpBlk(&src, 1, 4), nullptr);
    EXPECT_EQ(CArticExpUtil::GetExpBlk(&src, 3, 4), nullptr);
    EXPECT_EQ(CArticExpUtil::GetExpBlk(&src, 2, 0), nullptr);
    EXPECT_EQ(CArticExpUtil::GetExpBlk(nullptr, 2, 4), nullptr);
}

TEST_F(CopyExpWorld, ACopyOntoACopiedWorkDataDumpsAlike) {
    KeySft(src, 1, 0, 1, 1);
    KeySft(src, 1, 1, 2, -2);
    KeySft(src, 2, 1, 3, 12);
    CArticWrk copied;
    CArticLoadMgr conv(&wrk, &src, nullptr, nullptr, nullptr, &copied);
    ASSERT_EQ(conv.CopyWrk(), 0);
    EXPECT_EQ(CArticExpUtil::CopyExp(&src, &dst, &copied), 0);
    const std::vector<CString> lines = Dump(src);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(Dump(dst), lines);
    auto* c = static_cast<CArticExpKeySft*>(dst.GetExpBlk(2, 1)->Get(0));
    EXPECT_EQ(c->GetWrkEvntList()->GetHead(), copied.GetEvntInEvntPosArray(121, 0));
    EXPECT_NE(c->GetWrkEvntList()->GetHead(), wrk.GetEvntInEvntPosArray(121, 0));
}
