#include <gtest/gtest.h>

#include "ExpFixture.h"
#include "engine/work/ArticWrkUtil.h"

using namespace exptest;

namespace {

// An expression whose phases return the given codes and count their calls,
// noting whether it was the current expression of the event operations.
class ScriptedExp : public CArticExpEvnt {
public:
    ScriptedExp(CArticExpBlk* owner, ULONG no, int p1, int p12, int p2) : CArticExpEvnt(owner, no), m_Rc{p1, p12, p2} {}
    int ConvToWrk() override { return Call(0); }
    int ConvToWrkCombine() override { return Call(1); }
    int ConvToWrk2() override { return Call(2); }
    int ConvToWrk3() override { return Call(3); }
    int calls[4] = {};
    bool wasCurrent = true;

private:
    int Call(int phase) {
        ++calls[phase];
        wasCurrent = wasCurrent && CArticWrkUtil::GetExpEvnt() == this;
        return phase < 3 ? m_Rc[phase] : 0;
    }
    int m_Rc[3];
};

std::vector<ULONG> SortNumbers(const CArticExpBlk& blk) {
    std::vector<ULONG> numbers;
    for (POSITION p = blk.GetHeadPos(); p;) numbers.push_back(blk.GetNext(p)->GetEvntNo());
    return numbers;
}

// Detail lines posted for reports of class name cls.
int DetailsOf(const char* cls) {
    CStringList list;
    CArticErr::GetMsgStrList(list);
    int n = 0;
    for (POSITION p = list.GetHeadPosition(); p;)
        if (list.GetNext(p).Find(cls) >= 0) ++n;
    return n;
}

}  // namespace

TEST(ArticExpMgr, SortGroupsByClassAndRunsUnlistedClassesLast) {
    CArticErr::Clear();
    World w;
    CArticWrkEvnt* note = w.Note(5, 0);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpCreNote(blk, 1, &Notes{note}, 0, 0, 10, 60, 100));   // A
    blk->AddTail(new CArticExpDel(blk, 2, &Notes{note}));                          // B
    blk->AddTail(new CArticExpCreNote(blk, 3, &Notes{note}, 0, 5, 10, 62, 100));   // C
    auto* d = new CArticExpCreNote2(blk, 4, &Notes{note}, 0, 0, 10, 64, 100, 0);   // D
    blk->AddTail(d);
    w.Prepare();
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    CStringList order;
    order.AddTail("CArticExpDel");
    order.AddTail("CArticExpCreNote");
    EXPECT_EQ(mgr.SortExp(order), 0);
    EXPECT_EQ(SortNumbers(w.sortBlk), (std::vector<ULONG>{2, 1, 3, 4}));
    EXPECT_EQ(mgr.GetSortExpEvntNum(), 4);
    EXPECT_EQ(DetailsOf("CArticExpCreNote2"), 1);
    EXPECT_GE(CArticErr::GetErrDlg()->GetAllMsg().Find("ｿｰﾄ条件ﾌｧｲﾙに存在しない表現ｸﾗｽがありました。"), 0);
    EXPECT_EQ(d->GetErrKind(), 0);
    // The sort block holds clones of its own; the tree keeps its expressions.
    for (POSITION p = w.sortBlk.GetHeadPos(); p;) {
        CArticExpEvnt* clone = w.sortBlk.GetNext(p);
        EXPECT_EQ(clone->GetOwner(), &w.sortBlk);
        EXPECT_EQ(clone->GetErrKind(), 0);
    }
    EXPECT_EQ(blk->GetCount(), 4);
    CArticErr::Delete();
}

TEST(ArticExpMgr, ReLinkClonesInTreeOrderIntoTheMiddleData) {
    World w;
    CArticWrkBlk* second = wrktest::AddBlock(w.wrk.Get(1), 1);
    CArticWrkEvnt* a = w.Note(5, 0);
    CArticWrkEvnt* b = wrktest::AddNote(second, 6, 960, 64);
    Mirror(w.wrk, w.exp);
    CArticExpBlk* first = w.exp.GetExpBlk(1, 0);
    CArticExpBlk* later = w.exp.GetExpBlk(1, 1);
    later->AddTail(new CArticExpDel(later, 7, &Notes{b}));
    first->AddTail(new CArticExpDel(first, 9, &Notes{a}));
    first->AddTail(new CArticExpDel(first, 8, &Notes{a, b}));
    w.Prepare();
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    EXPECT_EQ(mgr.ReLinkExp(), 0);
    EXPECT_EQ(SortNumbers(w.sortBlk), (std::vector<ULONG>{9, 8, 7}));
    auto* clone = static_cast<CArticExpDel*>(w.sortBlk.Get(1));
    CArticWrkEvntList* notes = clone->GetWrkEvntList();
    ASSERT_EQ(notes->GetCount(), 2);
    EXPECT_EQ(notes->GetHead(), w.mid.GetEvntByNo(5));
    EXPECT_EQ(notes->GetTail(), w.mid.GetEvntByNo(6));
    EXPECT_NE(notes->GetHead(), a);
    EXPECT_EQ(clone->GetMidWrk(), &w.mid);
}

TEST(ArticExpMgr, EmptyTreeRunsFourQuietPhases) {
    World w;
    Mirror(w.wrk, w.exp);
    w.Prepare();
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    EXPECT_EQ(mgr.ReLinkExp(), 0);
    EXPECT_EQ(mgr.ConvToWrk(), 0);
    EXPECT_EQ(mgr.ConvToWrkCombine(), 0);
    EXPECT_EQ(mgr.ConvToWrk2(), 0);
    EXPECT_EQ(mgr.ConvToWrk3(), 0);
    EXPECT_EQ(mgr.GetSortExpEvntNum(), 0);
}

TEST(ArticExpMgr, MissingPartsFail) {
    World w;
    CArticExpMgr noSort(&w.wrk, &w.exp, nullptr, &w.pasn, &w.mid);
    EXPECT_EQ(noSort.ConvToWrk(), 1);
    EXPECT_EQ(w.mid.IsChangeEvntNo(), 1);  // renumbering is on all the same
    EXPECT_EQ(noSort.ConvToWrkCombine(), 1);
    EXPECT_EQ(noSort.ConvToWrk2(), 1);
    EXPECT_EQ(noSort.ConvToWrk3(), 1);
    EXPECT_EQ(noSort.ReLinkExp(), 1);
    EXPECT_EQ(noSort.GetSortExpEvntNum(), 0);
    CArticExpMgr noMid(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, nullptr);
    CStringList order;
    EXPECT_EQ(noMid.SortExp(order), 1);
    CStringList lines;
    EXPECT_EQ(noMid.GetMidStrList(lines), 1);
    EXPECT_EQ(noMid.GetExpStrList(3, -1, lines), 1);
}

TEST(ArticExpMgr, PhaseLoopsRunEveryEventAndKeepTheLastFailure) {
    struct Case {
        int second, third;
        int result;
    };
    for (const Case& c : {Case{1, 0, 1}, Case{1, 2, 2}}) {
        CArticExpBlk blk(nullptr, 0);
        auto* e1 = new ScriptedExp(&blk, 1, 0, 0, 0);
        auto* e2 = new ScriptedExp(&blk, 2, c.second, c.second, c.second);
        auto* e3 = new ScriptedExp(&blk, 3, c.third, 0, 7);
        for (auto* e : {e1, e2, e3}) blk.AddTail(e);
        EXPECT_EQ(blk.ConvToWrk(), c.result);
        EXPECT_EQ(e2->GetError(), 1);
        EXPECT_EQ(e3->GetError(), c.third);
        EXPECT_EQ(e1->GetError(), 0);
        e2->SetError(0);
        EXPECT_EQ(blk.ConvToWrkCombine(), 1);
        EXPECT_EQ(e2->GetError(), 1);
        e2->SetError(4);
        EXPECT_EQ(blk.ConvToWrk2(), 7);  // a phase-2 failure is passed up, not stored
        EXPECT_EQ(e2->GetError(), 4);
        EXPECT_EQ(e3->GetError(), c.third);
        EXPECT_EQ(blk.ConvToWrk3(), 0);
        for (auto* e : {e1, e2, e3}) {
            EXPECT_EQ(e->calls[0] + e->calls[1] + e->calls[2] + e->calls[3], 4);
            EXPECT_TRUE(e->wasCurrent);
        }
        EXPECT_EQ(CArticWrkUtil::GetExpEvnt(), nullptr);
    }
}

TEST(ArticExpMgr, MiddlePlacesOfAWorkBlock) {
    World w;
    CArticWrkTrk* lone = wrktest::AddTrack(w.wrk, 3);
    wrktest::AddBlock(lone);
    Mirror(w.wrk, w.exp);
    w.Prepare();
    // A track made after the copy has no twin in the middle data.
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    w.wrk.Remove(lone, nullptr);
    w.mid.Get(2)->SetOrigTrkNo(7);
    w.wrk.AddTail(lone);
    std::vector<int> trks{9}, blks{9};
    EXPECT_EQ(mgr.GetMidTrkBlkNo(2, 0, trks, blks), 1);
    EXPECT_TRUE(trks.empty());
    EXPECT_TRUE(blks.empty());
    EXPECT_EQ(mgr.GetMidTrkBlkNo(-1, 0, trks, blks), 1);

    // The part's block and a block its record adds.
    CArticWrkBlk* midPart = w.MidPartBlk();
    CArticPasnData* record = w.pasn.Get(w.partBlk);
    ASSERT_NE(record, nullptr);
    record->Set(0, midPart);
    CArticWrkTrk* layer = w.mid.NewTrk(0);
    record->AddTail(layer->NewBlk());
    EXPECT_EQ(mgr.GetMidTrkBlkNo(1, 0, trks, blks), 0);
    EXPECT_EQ(trks, (std::vector<int>{1, w.mid.GetIndex(layer)}));
    EXPECT_EQ(blks, (std::vector<int>{0, 0}));
    w.wrk.Remove(lone, nullptr);
    delete lone;
}

TEST(ArticExpMgr, DumpsOfTheThreeDataSets) {
    World w;
    w.Note(5, 0);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpDebug_i(blk, 3, &Notes{w.wrk.GetEvntByNo(5)}, -7));
    w.Prepare();
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    CStringList lines;
    EXPECT_EQ(mgr.GetExpStrList(1, 0, lines), 0);
    EXPECT_EQ(wrktest::Lines(lines), (std::vector<CString>{"BLK:0", "e3:CArticExpDebug_i( 1{:w5}, -7 )"}));
    EXPECT_EQ(mgr.GetExpStrList(1, 4, lines), 1);
    EXPECT_EQ(lines.GetCount(), 0);
    EXPECT_EQ(mgr.GetExpStrList(lines), 0);
    EXPECT_EQ(wrktest::Lines(lines), Dump(w.exp));
    EXPECT_EQ(mgr.GetMidStrList(lines), 0);
    EXPECT_EQ(wrktest::Lines(lines), Dump(w.mid));
    EXPECT_EQ(mgr.GetWrkStrList(1, -1, lines, 2147483647, 0), 0);
    EXPECT_GT(lines.GetCount(), 1);
}

TEST(ArticExpMgr, RemovedEventsKeepTheirAddressesUntilPhaseThreeEnds) {
    World w;
    Mirror(w.wrk, w.exp);
    w.Prepare();
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    mgr.ReLinkExp();
    mgr.ConvToWrk();
    std::vector<CArticWrkEvnt*> gone;
    for (int i = 0; i < 8; ++i) {
        auto* e = new CArticWrkEvnt(nullptr, ULONG(100 + i));
        gone.push_back(e);
        delete e;
        auto* fresh = new CArticWrkEvnt(nullptr, ULONG(200 + i));
        for (CArticWrkEvnt* old : gone) EXPECT_NE(fresh, old);
        delete fresh;
        gone.push_back(fresh);
    }
    mgr.ConvToWrkCombine();
    mgr.ConvToWrk2();
    mgr.ConvToWrk3();
}

TEST(ArticExpMgr, SortWithoutWorkDataMovesTheExpressionsThemselves) {
    CArticErr::Clear();
    World w;
    CArticWrkEvnt* note = w.Note(5, 0);
    CArticExpBlk* blk = w.PartExpBlk();
    std::vector<CArticExpEvnt*> made{new CArticExpCreNote(blk, 1, &Notes{note}, 0, 0, 10, 60, 100),
                                     new CArticExpDel(blk, 2, &Notes{note}),
                                     new CArticExpCreNote(blk, 3, &Notes{note}, 0, 0, 10, 60, 100),
                                     new CArticExpDebug_i(blk, 4, &Notes{note}, 1)};
    for (CArticExpEvnt* e : made) blk->AddTail(e);
    CStringList order;
    for (const char* name : {"CArticExpDel", "CArticExpCreNote", "CArticExpDel"}) order.AddTail(name);
    EXPECT_EQ(w.exp.SortExp(order), 0);
    EXPECT_EQ(SortNumbers(*blk), (std::vector<ULONG>{2, 1, 3, 4}));
    EXPECT_EQ(DetailsOf("CArticExpDebug_i"), 1);
    for (CArticExpEvnt* e : made) {
        EXPECT_EQ(w.exp.GetEvntInEvntPosArray(e->GetEvntNo()), e);
        EXPECT_EQ(e->GetErrKind(), 0);
    }
    CArticErr::Delete();
}

TEST(ArticExpMgr, SongPlacesOfAWorkBlock) {
    World w;
    Mirror(w.wrk, w.exp);
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    std::vector<POSITION> trks, blks;
    EXPECT_EQ(mgr.GetMidTrkBlkPos(1, 0, trks, blks), 1);
    auto* t = reinterpret_cast<POSITION>(&w);
    auto* b = reinterpret_cast<POSITION>(&mgr);
    w.partBlk->SetPos(t, nullptr);  // half set: left out
    w.partBlk->SetPos(t, b);
    EXPECT_EQ(mgr.GetMidTrkBlkPos(1, 0, trks, blks), 0);
    EXPECT_EQ(trks, (std::vector<POSITION>{t}));
    EXPECT_EQ(blks, (std::vector<POSITION>{b}));
    EXPECT_EQ(mgr.GetMidTrkBlkPos(5, 0, trks, blks), 1);
    EXPECT_TRUE(trks.empty());
}
