#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/rules/ArticRulInit.h"

namespace {

// Exposes the protected copy operations.
class TestInit : public CArticRulInit {
public:
    TestInit() : CArticRulInit(nullptr) {}
    using CArticRulInit::CopyTrkList;
    using CArticRulInit::DeleteTrkList;
};

std::string TrkNumbers(const CArticRulInit& init) {
    std::string out;
    for (POSITION p = init.GetHeadPos(); p;) out += std::to_string(init.GetNext(p)->GetTrkNo());
    return out;
}

// Every track's stored position is the one its list gives it.
void ExpectPositionsCurrent(const CArticRulInit& init) {
    for (POSITION p = init.GetHeadPos(); p;) {
        const POSITION at = p;
        CArticRulInitTrk* trk = init.GetNext(p);
        EXPECT_EQ(trk->GetPosTrk(), at) << trk->GetTrkNo();
    }
}

int LoadLines(CArticRulInit& init, std::initializer_list<const char*> lines) {
    CStringList list;
    for (const char* l : lines) list.AddTail(l);
    return init.Load(list);
}

struct InsertCase {
    const char* op;     // "head", "tail", "after", "before"
    int anchor;         // index of the anchor track, -1 for a null position
    const char* order;  // track numbers afterwards, starting from 1,2,3
};

const InsertCase kInserts[] = {
    {"head", -1, "9123"},  {"tail", -1, "1239"},   {"after", 0, "1923"}, {"after", 2, "1239"},
    {"before", 0, "9123"}, {"before", 2, "1293"},  {"after", -1, "1239"}, {"before", -1, "9123"},
};

}  // namespace

TEST(ArticRulInitList, InsertionsPlaceTheTrackAndStoreItsPosition) {
    for (const auto& c : kInserts) {
        CArticRulInit init(nullptr);
        for (ULONG no : {1u, 2u, 3u}) init.AddTail(new CArticRulInitTrk(&init, no));
        auto* trk = new CArticRulInitTrk(&init, 9);
        const POSITION anchor = c.anchor < 0 ? nullptr : init.GetPos(c.anchor);
        const std::string op = c.op;
        POSITION at = op == "head"    ? init.AddHead(trk)
                      : op == "tail"  ? init.AddTail(trk)
                      : op == "after" ? init.InsertAfter(anchor, trk)
                                      : init.InsertBefore(anchor, trk);
        EXPECT_EQ(TrkNumbers(init), c.order) << c.op << " " << c.anchor;
        EXPECT_EQ(at, init.Find(trk)) << c.op << " " << c.anchor;
        ExpectPositionsCurrent(init);
    }
}

TEST(ArticRulInitList, WalkAndLookUp) {
    CArticRulInit init(nullptr);
    auto* a = new CArticRulInitTrk(&init, 4);
    auto* b = new CArticRulInitTrk(&init, 7);
    auto* c = new CArticRulInitTrk(&init, 4);  // same number: lookups give the first
    for (auto* t : {a, b, c}) init.AddTail(t);
    b->AddTail(new CArticRulInitBlk(b, 0));
    b->AddTail(new CArticRulInitBlk(b, 6));

    EXPECT_EQ(init.Get(ULONG(4)), a);
    EXPECT_EQ(init.Get(ULONG(5)), nullptr);
    EXPECT_EQ(init.Get(2), c);
    EXPECT_EQ(init.Get(3), nullptr);
    EXPECT_EQ(init.Get(-1), nullptr);
    EXPECT_EQ(init.Get(init.GetTailPos()), c);
    EXPECT_EQ(init.Get(POSITION(nullptr)), nullptr);

    CArticRulInitTrk* out = nullptr;
    EXPECT_EQ(init.Get(ULONG(7), &out), 1);
    EXPECT_EQ(out, b);
    EXPECT_EQ(init.Get(ULONG(8), &out), 0);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(init.Get(init.GetHeadPos(), &out), 1);
    EXPECT_EQ(out, a);

    // Backwards from the tail, then past the head.
    POSITION p = init.GetTailPos();
    EXPECT_EQ(init.GetPrev(p, &out), 1);
    EXPECT_EQ(out, c);
    EXPECT_EQ(init.GetPrev(p), b);
    EXPECT_EQ(init.GetPrev(p), a);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(init.GetNext(p, &out), 0);
    EXPECT_EQ(out, nullptr);

    EXPECT_EQ(init.GetIndex(b), 1);
    EXPECT_EQ(init.GetIndex(nullptr), -1);
    CArticRulInitTrk stranger(&init, 4);
    EXPECT_EQ(init.GetIndex(&stranger), -1);
    EXPECT_EQ(init.Find(&stranger), nullptr);

    EXPECT_EQ(init.GetTrkNo(1), 7u);
    EXPECT_EQ(init.GetTrkNo(3), 0u);
    EXPECT_EQ(init.GetBlkNo(1, 1), 6u);
    EXPECT_EQ(init.GetBlkNo(1, 2), 0u);
    EXPECT_EQ(init.GetBlkNo(0, 0), 0u);  // track without blocks
    EXPECT_EQ(b->GetIndex(b->Get(ULONG(6))), 1);
    EXPECT_EQ(b->GetIndex(nullptr), -1);
}

TEST(ArticRulInitList, RemovingUnlinksWithoutDeleting) {
    CArticRulInit init(nullptr);
    std::vector<CArticRulInitTrk*> trks;
    for (ULONG no : {1u, 2u, 3u, 4u}) {
        trks.push_back(new CArticRulInitTrk(&init, no));
        init.AddTail(trks.back());
    }
    // A search that starts at the track's own node finds nothing after it.
    init.Remove(trks[1], trks[1]->GetPosTrk());
    EXPECT_EQ(TrkNumbers(init), "1234");
    init.Remove(trks[1], nullptr);
    EXPECT_EQ(TrkNumbers(init), "134");
    EXPECT_EQ(trks[1]->GetPosTrk(), nullptr);
    EXPECT_EQ(trks[1]->GetTrkNo(), 2u);  // still alive: the caller owns it now
    delete trks[1];

    init.Remove(init.GetPos(2));
    EXPECT_EQ(TrkNumbers(init), "13");
    EXPECT_EQ(trks[3]->GetPosTrk(), nullptr);
    delete trks[3];
    init.Remove(POSITION(nullptr));
    init.Remove(nullptr, nullptr);
    EXPECT_EQ(TrkNumbers(init), "13");
    ExpectPositionsCurrent(init);

    init.RemoveAll();
    EXPECT_EQ(init.GetCount(), 0);
    EXPECT_EQ(trks[0]->GetPosTrk(), nullptr);
    EXPECT_EQ(trks[2]->GetPosTrk(), nullptr);
    delete trks[0];
    delete trks[2];
}

TEST(ArticRulInitList, TrackEditsItsBlocksAndKeepsTheirPositions) {
    CArticRulInit init(nullptr);
    auto* trk = new CArticRulInitTrk(&init, 3);
    init.AddTail(trk);
    auto* b0 = new CArticRulInitBlk(trk, 0);
    auto* b1 = new CArticRulInitBlk(trk, 1);
    auto* b2 = new CArticRulInitBlk(trk, 2);
    trk->AddTail(b2);
    trk->AddHead(b0);
    trk->InsertBefore(b2->GetPosBlk(), b1);
    ASSERT_EQ(trk->GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        CArticRulInitBlk* blk = nullptr;
        ASSERT_EQ(trk->Get(i, &blk), 1);
        EXPECT_EQ(blk->GetBlkNo(), ULONG(i));
        EXPECT_EQ(blk->GetPosBlk(), trk->GetPos(i));
    }
    EXPECT_EQ(trk->InsertAfter(nullptr, nullptr), nullptr);
    EXPECT_EQ(trk->GetCount(), 3);

    trk->Remove(b1, nullptr);
    EXPECT_EQ(trk->GetIndex(b2), 1);
    EXPECT_EQ(b1->GetPosBlk(), nullptr);
    delete b1;

    ULONG t = 0, b = 0;
    EXPECT_EQ(b2->GetTrkNoBlkNo(t, b), 0);
    EXPECT_EQ(t, 3u);
    EXPECT_EQ(b, 2u);
    EXPECT_EQ(b2->GetRulInit(), &init);
    CArticRulInitBlk orphan(nullptr, 5);
    t = b = 99;
    EXPECT_EQ(orphan.GetTrkNoBlkNo(t, b), 1);
    EXPECT_EQ(t, 99u);
    EXPECT_EQ(orphan.GetRulInit(), nullptr);
}

TEST(ArticRulInitList, BlockEditsItsExpressions) {
    CArticRulInitBlk blk(nullptr, 0);
    auto* e5 = new CArticRulExpEvnt(nullptr, 5);
    auto* e6 = new CArticRulExpEvnt(nullptr, 6);
    auto* e7 = new CArticRulExpEvnt(nullptr, 7);
    blk.AddTail(e7);
    blk.AddHead(e5);
    blk.InsertAfter(blk.Find(e5), e6);
    std::string order;
    for (POSITION p = blk.GetHeadPos(); p;) order += std::to_string(blk.GetNext(p)->GetEvntNo());
    EXPECT_EQ(order, "567");
    EXPECT_EQ(blk.Get(ULONG(6)), e6);
    EXPECT_EQ(blk.Get(ULONG(8)), nullptr);
    EXPECT_EQ(blk.Get(2), e7);

    blk.Remove(blk.Find(e6));
    EXPECT_EQ(blk.GetCount(), 2);
    delete e6;
    blk.RemoveAll();
    EXPECT_EQ(blk.GetCount(), 0);
    delete e5;
    delete e7;
}

TEST(ArticRulInitList, CopyTrkListMakesIndependentCopies) {
    TestInit src;
    ASSERT_EQ(LoadLines(src, {"#init:", "#trk1:", "#blk0:", "#exp3:CArticExpDel(0{})", "#trk2:", "#blk4:"}), 0);
    src.Get(ULONG(1))->SetTrkName("lead");

    TestInit dst;
    dst.AddTail(new CArticRulInitTrk(&dst, 8));  // replaced by the copy
    ASSERT_EQ(dst.CopyTrkList(src.GetTrkList()), 0);
    EXPECT_EQ(TrkNumbers(dst), "12");
    ExpectPositionsCurrent(dst);

    CArticRulInitTrk* t1 = dst.Get(ULONG(1));
    ASSERT_NE(t1, nullptr);
    EXPECT_NE(t1, src.Get(ULONG(1)));
    EXPECT_EQ(t1->GetOwner(), &dst);
    CString name;
    EXPECT_EQ(t1->GetTrkName(name), 1);
    EXPECT_EQ(name, "lead");
    CArticRulInitBlk* b0 = t1->Get(ULONG(0));
    ASSERT_NE(b0, nullptr);
    EXPECT_EQ(b0->GetOwner(), t1);
    EXPECT_EQ(b0->GetPosBlk(), t1->GetHeadPos());
    ASSERT_NE(b0->Get(ULONG(3)), nullptr);
    EXPECT_NE(b0->Get(ULONG(3)), src.Get(ULONG(1))->Get(ULONG(0))->Get(ULONG(3)));
    EXPECT_EQ(dst.GetBlkNo(1, 0), 4u);

    CStringList fromSrc, fromDst;
    src.Get(ULONG(1))->GetStrList(fromSrc);
    t1->GetStrList(fromDst);
    ASSERT_EQ(fromDst.GetCount(), 3);  // TRK:1, BLK:0, the expression
    EXPECT_EQ(fromDst.GetHead(), "TRK:1");
    POSITION ps = fromSrc.GetHeadPosition(), pd = fromDst.GetHeadPosition();
    while (ps && pd) EXPECT_EQ(fromSrc.GetNext(ps), fromDst.GetNext(pd));

    // The copy lives on after its source is cleared.
    src.Clear();
    EXPECT_EQ(dst.GetCount(), 2);
    EXPECT_EQ(dst.Get(ULONG(1))->Get(ULONG(0))->GetCount(), 1);
}

// Copying a list onto itself would delete the source before reading it.
TEST(ArticRulInitList, CopyOntoItselfKeepsTheList) {
    TestInit init;
    ASSERT_EQ(LoadLines(init, {"#init:", "#trk1:", "#blk0:", "#exp1:CArticExpDel(0{})"}), 0);
    EXPECT_EQ(init.CopyTrkList(init.GetTrkList()), 0);
    ASSERT_EQ(init.GetCount(), 1);
    EXPECT_EQ(init.Get(0)->Get(0)->GetCount(), 1);

    CArticRulInitTrk* trk = init.Get(0);
    *trk = *trk;
    EXPECT_EQ(trk->GetCount(), 1);
}

TEST(ArticRulInitList, WithoutListEverythingIsEmpty) {
    TestInit init;
    init.DeleteTrkList();
    EXPECT_EQ(init.GetTrkList(), nullptr);
    EXPECT_EQ(init.GetCount(), 0);
    EXPECT_EQ(init.GetHeadPos(), nullptr);
    EXPECT_EQ(init.GetPos(0), nullptr);
    EXPECT_EQ(init.Get(0), nullptr);
    CArticRulInitTrk trk(&init, 1);
    EXPECT_EQ(init.AddTail(&trk), nullptr);
    EXPECT_EQ(init.InsertBefore(nullptr, &trk), nullptr);
    EXPECT_EQ(init.Find(&trk), nullptr);
    init.Remove(&trk, nullptr);
    init.RemoveAll();
    EXPECT_EQ(init.GetIndex(&trk), -1);
}

// An init expression takes only constants and empty event lists, checked
// against the class's signature.
TEST(ArticRulInitList, ExpressionLinesBuildOnlyFromConstants) {
    struct Case {
        const char* line;
        bool ok;
    };
    const Case kCases[] = {
        {"#exp1:CArticExpDebug_i(0{}, 5)", true},
        {"#exp1:CArticExpDebug_i2(0{}, \"a\", 3)", true},
        {"#exp1:CArticExpDebug_i(0{}, 5, 6)", true},  // beyond the signature: not typed
        {"#exp1:CArticExpDebug_i(0{}, _val1)", false},
        {"#exp1:CArticExpDebug_i(0{}, \"a\")", false},
        {"#exp1:CArticExpDel(1{_thisEvnt})", false},
        {"#exp1:CArticExpDebug_i(0{})", false},  // one argument short
        {"#exp1:CArticExpNoSuchClass(0{})", false},
        {"#exp1:", false},
    };
    for (const Case& c : kCases) {
        CArticRulInit init(nullptr);
        CStringList lines;
        for (const char* l : {"#init:", "#trk1:", "#blk0:", c.line}) lines.AddTail(l);
        EXPECT_EQ(init.Load(lines) == 0, c.ok) << c.line;
        ASSERT_NE(init.Get(ULONG(1)), nullptr) << c.line;
        EXPECT_EQ(init.Get(ULONG(1))->Get(ULONG(0))->GetCount(), c.ok ? 1 : 0) << c.line;
    }

    CArticRulInit init(nullptr);
    ASSERT_EQ(LoadLines(init, {"#init:", "#trk1:", "#blk0:", "#exp4:CArticExpDebug_i2(0{}, \"ab\", 7)"}), 0);
    CArticRulExpEvnt* exp = init.Get(ULONG(1))->Get(ULONG(0))->Get(ULONG(4));
    ASSERT_NE(exp, nullptr);
    EXPECT_EQ(exp->GetExpEvntName(), "CArticExpDebug_i2");
    CArticRulElmList* args = exp->GetRulElmList();
    ASSERT_NE(args, nullptr);
    ASSERT_EQ(args->GetCount(), 3);
    POSITION p = args->GetHeadPosition();
    CArticRulElm* list = args->GetNext(p);
    ASSERT_NE(list->GetRulElmList(), nullptr);
    EXPECT_EQ(list->GetRulElmList()->GetCount(), 0);
    EXPECT_STREQ(args->GetNext(p)->GetStrData().c_str(), "\"ab\"");  // the quotes stay, as in rule operands
    EXPECT_EQ(args->GetNext(p)->GetData(), 7.0);
}
