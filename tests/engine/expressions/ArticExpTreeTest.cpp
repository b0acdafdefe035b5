#include <gtest/gtest.h>

#include "ExpFixture.h"
#include "engine/work/ArticPos.h"

using namespace exptest;

namespace {

// A tree of one track and one block holding nothing yet.
struct OneBlockTree {
    CArticExp exp;
    CArticExpTrk* trk;
    CArticExpBlk* blk;
    OneBlockTree() {
        trk = new CArticExpTrk(&exp, 5, 0, 3);
        exp.AddTail(trk);
        blk = new CArticExpBlk(trk, 0);
        trk->AddTail(blk);
    }
    CArticExpEvnt* Add(ULONG no) {
        auto* e = new CArticExpDebug_i(blk, no, nullptr, 0);
        blk->AddTail(e);
        return e;
    }
};

CString ShownText() { return CArticErr::GetErrDlg() ? CArticErr::GetErrDlg()->GetAllMsg() : CString(); }

}  // namespace

TEST(ArticExpTree, NewTreeIsEmpty) {
    CArticExp exp;
    CStringList lines;
    EXPECT_EQ(exp.GetEvntNum(), 0u);
    EXPECT_EQ(exp.GetStrList(lines), 0);
    EXPECT_EQ(exp.OutStrList(lines), 0);
    EXPECT_EQ(lines.GetCount(), 0);
    EXPECT_EQ(exp.GetEvntPosArray()->GetSize(), 2);
}

TEST(ArticExpTree, PositionArrayGrowsByTwosAndFindsEachEvent) {
    OneBlockTree t;
    std::vector<int> sizes;
    for (ULONG no : {2u, 3u, 4u}) {
        t.Add(no);
        sizes.push_back(t.exp.GetEvntPosArray()->GetSize());
    }
    EXPECT_EQ(sizes, (std::vector<int>{4, 4, 6}));
    for (ULONG no : {2u, 3u, 4u}) {
        CArticExpEvnt* e = nullptr;
        ASSERT_EQ(t.exp.GetEvntInEvntPosArray(no, &e), 1) << no;
        EXPECT_EQ(e->GetEvntNo(), no);
    }
    EXPECT_EQ(t.exp.GetEvntNum(), 3u);
}

TEST(ArticExpTree, SecondEventOfANumberIsRefusedAndReported) {
    CArticErr::Clear();
    OneBlockTree t;
    CArticExpEvnt* first = t.Add(7);
    CArticExpEvnt* second = new CArticExpDebug_i(t.blk, 7, nullptr, 1);
    EXPECT_EQ(t.blk->GetCount(), 1);
    t.blk->AddTail(second);  // stays in the block, left out of the array
    EXPECT_EQ(t.blk->GetCount(), 2);
    EXPECT_EQ(second->GetErrKind(), 3);
    const CString shown = ShownText();
    EXPECT_EQ(shown.Find("中間表現ﾃﾞｰﾀ・ｲﾍﾞﾝﾄのﾎﾟｼﾞｼｮﾝ配列登録でｴﾗｰが発生した。\r"), 0);
    EXPECT_GE(shown.Find("ｲﾍﾞﾝﾄを多重に登録しようとしています。"), 0);
    EXPECT_GE(shown.Find("ｲﾍﾞﾝﾄ番号 = 7"), 0);
    EXPECT_EQ(t.exp.SetEvntPos(second), 1);
    EXPECT_EQ(t.exp.GetEvntInEvntPosArray(7), first);

    // Deleting the entry through the refused twin changes nothing; through the first it frees the number.
    EXPECT_EQ(t.exp.DeleteEvntPos(second), 1);
    EXPECT_EQ(t.exp.GetEvntInEvntPosArray(7), first);
    EXPECT_EQ(t.exp.DeleteEvntPos(first), 0);
    EXPECT_EQ(t.exp.GetEvntInEvntPosArray(7), nullptr);
    EXPECT_EQ(t.exp.SetEvntPos(second), 0);
    EXPECT_EQ(t.exp.GetEvntInEvntPosArray(7), second);
    CArticErr::Delete();
}

TEST(ArticExpTree, NumbersBeyondTheArrayOrTheCapFail) {
    CArticErr::Clear();
    OneBlockTree t;
    t.Add(4);
    ASSERT_EQ(t.exp.GetEvntPosArray()->GetSize(), 6);
    CArticExpEvnt* found = nullptr;
    EXPECT_EQ(t.exp.GetEvntInEvntPosArray(1000, &found), 0);
    EXPECT_EQ(found, nullptr);
    CArticExpDebug_i far(t.blk, 1000, nullptr, 0);
    CArticPos* rec = nullptr;
    EXPECT_EQ(t.exp.GetEvntPos(&far, &rec), 1);
    EXPECT_EQ(t.exp.DeleteEvntPos(&far), 1);

    CArticExpDebug_i huge(t.blk, kMaxEvntNo + 1, nullptr, 0);
    EXPECT_EQ(t.exp.SetEvntPos(&huge), 1);
    EXPECT_EQ(t.exp.GetEvntPosArray()->GetSize(), 6);
    EXPECT_EQ(huge.GetErrKind(), 3);
    EXPECT_GE(ShownText().Find("ｲﾍﾞﾝﾄ番号 = 16777216"), 0);
    CArticErr::Delete();
}

TEST(ArticExpTree, TrackLinesNameChannelAndPortOnlyWhenSet) {
    struct Case {
        ULONG ch, port;
        const char* line;
    };
    const Case cases[] = {
        {0, 3, "TRK:5, ch1, port3"},
        {ULONG(-2), ULONG(-1), "TRK:5"},
        {ULONG(-1), 2, "TRK:5, port2"},
        {9, ULONG(-1), "TRK:5, ch10"},
    };
    for (const Case& c : cases) {
        CArticExp exp;
        auto* trk = new CArticExpTrk(&exp, 5, 0, 0);
        exp.AddTail(trk);
        trk->SetCh(c.ch);
        trk->SetPort(c.port);
        CStringList lines;
        EXPECT_EQ(exp.GetStrList(lines), 0);
        ASSERT_EQ(lines.GetCount(), 1);
        EXPECT_EQ(lines.GetHead(), c.line);
    }
}

TEST(ArticExpTree, RawTextsAreNumberedAfreshAcrossTheTree) {
    OneBlockTree t;
    for (const char* s : {"a", "", "b"}) t.blk->GetEvntStrList()->AddTail(s);
    int counter = 0;
    CStringList blockLines;
    EXPECT_EQ(t.blk->OutStrList(counter, blockLines), 0);
    EXPECT_EQ(counter, 2);
    EXPECT_EQ(wrktest::Lines(blockLines), (std::vector<CString>{"BLK:0", "e0:a", "e1:b"}));

    auto* second = new CArticExpBlk(t.trk, 1);
    t.trk->AddTail(second);
    second->GetEvntStrList()->AddTail("c");
    CStringList lines;
    EXPECT_EQ(t.exp.OutStrList(lines), 0);
    EXPECT_EQ(wrktest::Lines(lines),
              (std::vector<CString>{"TRK:5, ch1, port3", "BLK:0", "e0:a", "e1:b", "BLK:1", "e2:c"}));
    t.exp.ClearEvntStrList();
    EXPECT_EQ(second->GetEvntStrList()->GetCount(), 0);
}

TEST(ArticExpTree, DeepCopyMakesNewObjectsWithTheSameContent) {
    World w;
    CArticWrkEvnt* note = w.Note(5, 0);
    CArticExp src;
    for (ULONG trkNo : {1u, 2u}) {
        auto* trk = new CArticExpTrk(&src, trkNo, trkNo + 1, trkNo + 2);
        src.AddTail(trk);
        trk->SetTrkName(trkNo == 1 ? "one" : "two");
        trk->SetWrkTrk(w.wrk.Get(1));
        for (ULONG blkNo = 0; blkNo < 3; ++blkNo) {
            auto* blk = new CArticExpBlk(trk, blkNo);
            trk->AddTail(blk);
            blk->SetWrkBlk(w.partBlk);
            blk->SetBlkName("blk");
            blk->GetEvntStrList()->AddTail("raw");
            const ULONG base = 10 * trkNo + 3 * blkNo;
            blk->AddTail(new CArticExpCreNote(blk, base, &Notes{note}, 0, 5, 10, 60, 100));
            blk->AddTail(new CArticExpDel(blk, base + 1, &Notes{note}));
            blk->AddTail(new CArticExpDebug_i2(blk, base + 2, &Notes{note}, "x", 3));
        }
    }
    CArticExp copy;
    copy = src;
    ASSERT_EQ(copy.GetCount(), 2);
    EXPECT_EQ(copy.GetEvntNum(), 18u);
    for (int t = 0; t < 2; ++t) {
        CArticExpTrk* a = src.Get(t);
        CArticExpTrk* b = copy.Get(t);
        EXPECT_NE(a, b);
        EXPECT_EQ(b->GetOwner(), &copy);
        EXPECT_EQ(b->GetTrkNo(), a->GetTrkNo());
        EXPECT_EQ(b->GetCh(), a->GetCh());
        EXPECT_EQ(b->GetPort(), a->GetPort());
        EXPECT_EQ(b->GetTrkName(), a->GetTrkName());
        EXPECT_EQ(b->GetWrkTrk(), a->GetWrkTrk());
        ASSERT_EQ(b->GetCount(), 3);
        for (int k = 0; k < 3; ++k) {
            CArticExpBlk* x = a->Get(k);
            CArticExpBlk* y = b->Get(k);
            EXPECT_NE(x, y);
            EXPECT_EQ(y->GetBlkNo(), x->GetBlkNo());
            EXPECT_EQ(y->GetBlkName(), x->GetBlkName());
            EXPECT_EQ(y->GetWrkBlk(), nullptr);
            EXPECT_EQ(y->GetEvntStrList()->GetCount(), 1);
            ASSERT_EQ(y->GetCount(), 3);
            for (int i = 0; i < 3; ++i) {
                CArticExpEvnt* e = x->Get(i);
                CArticExpEvnt* f = y->Get(i);
                EXPECT_NE(e, f);
                EXPECT_EQ(f->GetOwner(), y);
                EXPECT_EQ(f->GetEvntNo(), e->GetEvntNo());
                EXPECT_STREQ(f->GetClassNameA(), e->GetClassNameA());
                EXPECT_EQ(copy.GetEvntInEvntPosArray(f->GetEvntNo()), f);
            }
        }
    }
}

TEST(ArticExpTree, ListOperationsAndLookups) {
    World w;
    w.Note(5, 0);
    CArticExpBlk* blk = w.PartExpBlk();
    ASSERT_NE(blk, nullptr);
    EXPECT_EQ(w.exp.GetTrkNo(1), 1u);
    EXPECT_EQ(w.exp.GetTrkNo(7), 0u);
    EXPECT_EQ(w.exp.GetBlkNo(1, 0), 0u);
    EXPECT_EQ(blk->GetExp(), &w.exp);

    CArticExpTrk* found = nullptr;
    EXPECT_EQ(w.exp.GetExpTrkByWrkTrk(w.wrk.Get(1), &found), 0);
    EXPECT_EQ(found, w.exp.Get(1));
    CArticWrkTrk stray(nullptr, 9, 0, 0);
    EXPECT_EQ(w.exp.GetExpTrkByWrkTrk(&stray, &found), 1);
    EXPECT_EQ(found, nullptr);

    auto* b = new CArticExpDebug_i(blk, 2, nullptr, 0);
    auto* c = new CArticExpDebug_i(blk, 3, nullptr, 0);
    auto* a = new CArticExpDebug_i(blk, 1, nullptr, 0);
    blk->AddTail(b);
    blk->AddTail(c);
    POSITION at = blk->Find(b);
    blk->InsertBefore(at, a);
    std::vector<ULONG> order;
    for (POSITION p = blk->GetHeadPos(); p;) order.push_back(blk->GetNext(p)->GetEvntNo());
    EXPECT_EQ(order, (std::vector<ULONG>{1, 2, 3}));
    POSITION back = blk->GetTailPos();
    EXPECT_EQ(blk->GetPrev(back), c);
    EXPECT_EQ(blk->Get(back), b);
    EXPECT_EQ(blk->Get(0), a);
    EXPECT_EQ(blk->Get(3), nullptr);

    // Removing takes the expression out of the array as well; it stays alive.
    blk->Remove(b, nullptr);
    EXPECT_EQ(blk->GetCount(), 2);
    EXPECT_EQ(w.exp.GetEvntInEvntPosArray(2), nullptr);
    EXPECT_EQ(w.exp.GetEvntInEvntPosArray(3), c);
    delete b;

    blk->GetEvntStrList()->AddTail("raw");
    blk->Clear();
    EXPECT_EQ(blk->GetCount(), 0);
    EXPECT_EQ(blk->GetEvntStrList()->GetCount(), 0);
    EXPECT_EQ(w.exp.GetEvntInEvntPosArray(1), nullptr);
    // The cleared expressions left their numbers free.
    auto* again = new CArticExpDebug_i(blk, 3, nullptr, 0);
    blk->AddTail(again);
    EXPECT_EQ(w.exp.GetEvntInEvntPosArray(3), again);
}

TEST(ArticExpTree, PartAssignmentRecordServesEveryEventOfALinkedBlock) {
    World w;
    w.Note(5, 0);
    CArticExpBlk* blk = w.PartExpBlk();
    auto* a = new CArticExpDel(blk, 1, nullptr);
    auto* b = new CArticExpDel(blk, 2, nullptr);
    blk->AddTail(a);
    blk->AddTail(b);
    EXPECT_EQ(w.exp.PasnExp(&w.pasn), 0);
    ASSERT_NE(a->GetPasnData(), nullptr);
    EXPECT_EQ(a->GetPasnData(), b->GetPasnData());
    EXPECT_EQ(a->GetMidWrkBlk(0), w.partBlk);
    EXPECT_EQ(w.pasn.Get(w.partBlk), a->GetPasnData());

    CArticExpBlk unlinked(nullptr, 0);
    auto* c = new CArticExpDel(&unlinked, 3, nullptr);
    unlinked.AddTail(c);
    EXPECT_EQ(unlinked.PasnExp(&w.pasn), 1);
    EXPECT_EQ(c->GetPasnData(), nullptr);
    EXPECT_EQ(blk->PasnExp(nullptr), 1);
}
