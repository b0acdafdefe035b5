#include <gtest/gtest.h>

#include <vector>

#include "RulesFixture.h"
#include "engine/rules/ArticRulUtil.h"

using namespace rultest;
using namespace wrktest;

namespace {

// One block, string 1: a(0) b(240) c(480); d(720) is on string 2.
struct Notes : SetFixture {
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkEvnt* a = AddNote(blk, 20, 0, 60);
    CArticWrkEvnt* b = AddNote(blk, 21, 240, 62);
    CArticWrkEvnt* c = AddNote(blk, 22, 480, 64);
    CArticWrkEvnt* d = AddNote(blk, 23, 720, 40);
    void SetUp() override {
        SetFixture::SetUp();
        a->SetFngrInfo(0, 1, 0, 0);
        b->SetFngrInfo(0, 1, 0, 0);
        c->SetFngrInfo(0, 1, 0, 0);
        d->SetFngrInfo(3, 2, 1, 0);
    }
    CArticRulDataEvnt* Cur() { return set->GetDataEvnt(); }
};

}  // namespace

TEST_F(Notes, DerivedVariableFollowsTheCurrentNote) {
    // #evnt2:_thisEvnt.Pre
    CArticRulDataEvnt* e2 = NewEvnt(2);
    e2->SetDataEvnt(Cur(), kElmPre);
    set->SetWrkEvnt(c);
    EXPECT_EQ(e2->GetEvnt(1), b);
    EXPECT_EQ(e2->GetTime(), 240);
    set->SetWrkEvnt(b);
    EXPECT_EQ(e2->GetEvnt(1), a);
    // #evnt3:_evnt2.Pre resolves two steps back.
    CArticRulDataEvnt* e3 = NewEvnt(3);
    e3->SetDataEvnt(e2, kElmPre);
    set->SetWrkEvnt(c);
    EXPECT_EQ(e3->GetEvnt(1), a);
    // A relation asked of a derived variable starts from its base's note:
    // _evnt2.Next is the note after _thisEvnt, not after _evnt2.
    set->SetWrkEvnt(b);
    EXPECT_EQ(e2->GetNext(1), c);
    EXPECT_EQ(e2->GetAllNext(1), c);
    EXPECT_EQ(e2->GetNextWrkEvntNo(1), 22u);
    EXPECT_EQ(b->GetErr(3), 0);
}

TEST_F(Notes, MissingNoteSetsTheCurrentNotesErrorFlagForTheSet) {
    CArticRulDataEvnt* e2 = NewEvnt(2);
    e2->SetDataEvnt(Cur(), kElmPre);
    set->SetWrkEvnt(a);  // a has no previous note on its string
    EXPECT_EQ(e2->GetEvnt(0), nullptr);
    EXPECT_EQ(a->GetErr(3), 0);  // looked up without the flag
    EXPECT_EQ(e2->GetTime(), 0);
    EXPECT_EQ(a->GetErr(3), 1);
    EXPECT_EQ(e2->GetErrInfo(), 1);
    EXPECT_EQ(a->GetErr(4), 0);  // only under this set's number
    EXPECT_EQ(e2->GetWrkEvntNo(0), kNoEvntNo);
    e2->SetErrInfo(0);
    EXPECT_EQ(a->GetErr(3), 0);
    // The same for a variable that holds its note directly and holds none.
    CArticRulDataEvnt* e5 = NewEvnt(5);
    EXPECT_EQ(e5->GetEvnt(0), nullptr);
    EXPECT_EQ(a->GetErr(3), 0);
    EXPECT_EQ(e5->GetVelo(), 0);
    EXPECT_EQ(a->GetErr(3), 1);
    e5->SetErrInfo(0);
    e5->SetEvnt(a, 1);
    EXPECT_EQ(e5->GetEvnt(1), a);
    EXPECT_EQ(a->GetErr(3), 0);
    // Without a current note nothing is recorded and the flag reads 0.
    set->SetWrkEvnt(nullptr);
    EXPECT_EQ(e2->GetEvnt(1), nullptr);
    EXPECT_EQ(e2->GetErrInfo(), 0);
}

TEST_F(Notes, NoteOnCheck) {
    CArticWrkEvnt* off = wrktest::NewEvnt(blk, 30, 0x80, 100);
    blk->Sort(off, 1);
    CArticRulDataEvnt* e1 = NewEvnt(1);
    e1->SetEvnt(off, 1);
    EXPECT_EQ(e1->GetEvnt(0), nullptr);
    e1->SetEvnt(off, 0);
    EXPECT_EQ(e1->GetEvnt(0), off);
    set->SetWrkEvnt(off);
    EXPECT_EQ(set->GetWrkEvnt(), nullptr);
    // Assignment takes the note through the check.
    CArticRulDataEvnt copy(nullptr, 9);
    copy = *e1;
    EXPECT_EQ(copy.GetEvnt(0), nullptr);
    EXPECT_EQ(copy.GetDataNo(), 9u);
}

TEST_F(Notes, FingeringMembersReportTheVariableName) {
    set->SetWrkEvnt(b);
    b->ClearFngrInfo();
    EXPECT_EQ(Cur()->GetGen(), 0);
    EXPECT_EQ(set->GetErrInfo(), "thisEvnt");
    EXPECT_EQ(b->GetErr(3), 1);
    CArticRulDataEvnt* e4 = NewEvnt(4);
    e4->SetEvnt(b, 1);
    set->ClearErrInfo();
    EXPECT_EQ(e4->GetFng(), 0);
    EXPECT_EQ(set->GetErrInfo(), "evnt4");
    // With a record the members read it.
    e4->SetEvnt(d, 1);
    EXPECT_EQ(e4->GetGen(), 2);
    EXPECT_EQ(e4->GetPos(), 3);
    EXPECT_EQ(e4->GetFng(), 1);
}

TEST_F(Notes, SelfReferencingEventVariableIsCut) {
    // #evnt1:_evnt1.Next
    CArticRulDataEvnt* e1 = NewEvnt(1);
    e1->SetDataEvnt(e1, kElmNext);
    EXPECT_TRUE(e1->IsCyclic());
    set->SetWrkEvnt(b);
    const int before = CArticErr::GetMsgCount();
    EXPECT_EQ(e1->GetEvnt(1), nullptr);
    EXPECT_EQ(e1->GetNext(1), nullptr);
    EXPECT_GT(CArticErr::GetMsgCount(), before);
    EXPECT_EQ(b->GetErr(3), 1);
    // evnt5 -> evnt6 -> evnt5
    CArticRulDataEvnt* e5 = NewEvnt(5);
    CArticRulDataEvnt* e6 = NewEvnt(6);
    e5->SetDataEvnt(e6, kElmEvnt);
    e6->SetDataEvnt(e5, kElmPre);
    EXPECT_TRUE(e5->IsCyclic());
    EXPECT_EQ(e5->GetTime(), 0);
    // A chain that ends is no cycle.
    CArticRulDataEvnt* e7 = NewEvnt(7);
    e7->SetDataEvnt(Cur(), kElmPre);
    EXPECT_FALSE(e7->IsCyclic());
    EXPECT_EQ(e7->GetEvnt(1), a);
}

TEST_F(Notes, EventArrayWritesCountAndRendering) {
    CArticRulDataAry ary(set, 1);
    EXPECT_EQ(ary.GetData(), "0{}");
    EXPECT_EQ(ary.SetDataEvnt(7, a), 1);
    EXPECT_EQ(ary.GetSize(), 10);
    EXPECT_EQ(ary.SetDataEvnt(10, b), 1);
    EXPECT_EQ(ary.GetSize(), 15);
    EXPECT_EQ(ary.GetDataEvnt(7)->GetDataNo(), 7u);
    EXPECT_EQ(ary.GetDataEvnt(99), nullptr);
    EXPECT_EQ(ary.GetData(), "2{:w20, :w21}");
    CArticWrkEvntList notes;
    ary.GetEvntList(&notes);
    ASSERT_EQ(notes.GetCount(), 2);
    EXPECT_EQ(notes.GetHead(), a);
    EXPECT_EQ(ary.SetDataEvnt(7, nullptr), 1);
    EXPECT_EQ(ary.GetDataEvnt(7), nullptr);
    EXPECT_EQ(ary.GetCount(), 1);
    // An item taken over at its number; a taken slot refuses.
    auto* item = new CArticRulDataEvnt(nullptr, 10);
    EXPECT_EQ(ary.SetDataEvnt(item), 0);
    delete item;
    // Items at 0 (no note) and 3 (a note): count 2, one rendered.
    CArticRulDataAry two(set, 2);
    two.SetDataEvnt(new CArticRulDataEvnt(nullptr, 0));
    two.SetDataEvnt(3, c);
    EXPECT_EQ(two.GetCount(), 2);
    EXPECT_EQ(two.GetData(), "1{:w22}");
    // Assignment deep-copies the items.
    CArticRulDataAry copy(set, 3);
    copy = two;
    EXPECT_NE(copy.GetDataEvnt(3), two.GetDataEvnt(3));
    EXPECT_EQ(copy.GetDataEvnt(3)->GetEvnt(0), c);
    EXPECT_EQ(copy.GetDataNo(), 3u);
}

TEST_F(Notes, ArrayItemsThatLeftComeBackWithNothingOfTheirPast) {
    CArticRulDataAry ary(set, 1);
    CArticRulDataEvnt base(nullptr, 0, a);
    // Items derived from a base (taken over at their numbers), tied to the set.
    for (ULONG i = 0; i < 4; ++i) {
        auto* item = new CArticRulDataEvnt(set, i, &base, kElmNext);
        ASSERT_EQ(ary.SetDataEvnt(item), 1);
    }
    ASSERT_EQ(ary.GetDataEvnt(3)->GetEvnt(0), b);
    ary.SetDataEvnt(1, nullptr);  // one slot emptied, then the whole array
    ary.ClearRulDataEvntArray();
    EXPECT_EQ(ary.GetCount(), 0);
    const std::vector<CArticWrkEvnt*> put = {c, nullptr, d, a};
    for (size_t i = 0; i < put.size(); ++i)
        if (put[i]) ASSERT_EQ(ary.SetDataEvnt(int(i), put[i]), 1);
    base.SetEvnt(c, 1);  // an item still tied to the base would now move
    for (size_t i = 0; i < put.size(); ++i) {
        CArticRulDataEvnt* item = ary.GetDataEvnt(int(i));
        if (!put[i]) {
            EXPECT_EQ(item, nullptr) << i;
            continue;
        }
        ASSERT_NE(item, nullptr) << i;
        EXPECT_EQ(item->GetDataEvnt(), nullptr) << i;
        EXPECT_EQ(item->GetDataType(), 0) << i;
        EXPECT_EQ(item->GetRulSet(), nullptr) << i;
        EXPECT_EQ(item->GetDataNo(), ULONG(i)) << i;
        EXPECT_EQ(item->GetEvnt(0), put[i]) << i;
    }
    EXPECT_EQ(ary.GetData(), "3{:w22, :w23, :w20}");
    // A copy made from it holds items of its own.
    CArticRulDataAry copy(set, 2);
    copy = ary;
    ary.ClearRulDataEvntArray();
    EXPECT_EQ(copy.GetData(), "3{:w22, :w23, :w20}");
}

TEST_F(Notes, ArrayIndexesPastTheLimitAreRefused) {
    CArticRulDataAry ary(set, 1);
    CArticRulDataVAry vary(set, 1);
    const int before = CArticErr::GetMsgCount();
    EXPECT_EQ(ary.SetDataEvnt(-1, a), 0);  // would wrap to a slot outside the array
    EXPECT_EQ(ary.SetDataEvnt(0x7FFFFFFF, a), 0);
    EXPECT_EQ(vary.SetDataEvnt(-1, 5u), 0);
    EXPECT_EQ(vary.SetDataEvnt(0x40000000, 5u), 0);
    EXPECT_EQ(ary.GetSize(), 0);
    EXPECT_EQ(vary.GetSize(), 0);
    EXPECT_GT(CArticErr::GetMsgCount(), before);
    EXPECT_EQ(ary.SetDataEvnt(int(kMaxRulIndex), a), 1);
}

TEST_F(Notes, ValueArrayFreshNumbersComeFromTheProgramsRul) {
    CArticRulDataVAry vary(set, 1);
    EXPECT_EQ(vary.SetDataEvnt(2, 77u), 1);
    EXPECT_EQ(vary.GetData(), "1{:w77}");
    EXPECT_EQ(vary.SetDataEvnt(2, kNoEvntNo), 1);
    EXPECT_EQ(vary.GetDataEvnt(2), nullptr);
    // The program has no Rul (a conversion buffer's): nothing is filled.
    vary.SetData(3);
    EXPECT_EQ(vary.GetData(), "0{}");
    // A time slice's program defers to the main program, which hands out
    // numbers above the work data's.
    CArticRul main(&wrk);
    rul.SetRul(&main);
    const ULONG free = wrk.GetFreeEvntNo();
    vary.SetData(3);
    CString expected;
    expected.Format("3{:w%u, :w%u, :w%u}", free, free + 1, free + 2);
    EXPECT_EQ(vary.GetData(), expected);
    rul.SetRul(nullptr);
}
