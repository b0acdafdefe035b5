// A value variable reads its element list through a form resolved once:
// every change to the list or to its elements must show in the next read,
// and copies of a set must read their own variables.
#include <gtest/gtest.h>

#include "RulSetFixture.h"
#include "RulesFixture.h"

using namespace rultest;

namespace {

struct ResolvedVal : SetFixture {
    // A read that resolves, and the form then matches the list.
    double Read(CArticRulDataVal* v) {
        const double value = v->GetData();
        EXPECT_TRUE(v->IsResolvedCurrent());
        return value;
    }
};

}  // namespace

// Each change to one element of "2 + 3" after a first read: the next read
// sees it, exactly as a fresh list built that way reads.
TEST_F(ResolvedVal, ElementChangesShowInTheNextRead) {
    CArticRulDataVal* four = NewVal(20, List({Num(4)}));
    CArticRulDataVal* v = NewVal(1, List({Num(2, kSignPlus), Num(3)}));
    CArticRulElm* first = v->GetRulElmList()->GetHead();
    CArticRulElm* last = v->GetRulElmList()->GetTail();
    ASSERT_EQ(Read(v), 5.0);

    last->SetData(10);  // the constant only
    EXPECT_EQ(Read(v), 12.0);
    first->SetSign(kSignMul);
    EXPECT_EQ(Read(v), 20.0);
    last->SetPlus(0);
    EXPECT_EQ(Read(v), -20.0);
    last->SetRulData(four);  // now names a variable: -(4)
    EXPECT_EQ(Read(v), -8.0);
    last->SetDataType(kElmKey);  // a value variable with a member has no value
    EXPECT_EQ(Read(v), 2.0);
    last->Set(nullptr, kElmPlain, kSignNone, 1, 7, CString(), List({Num(1, kSignPlus), Num(1)}));
    EXPECT_EQ(Read(v), 4.0);  // 2 * (1 + 1): the group wins over the constant
    last->DeleteRulElmList();
    EXPECT_EQ(Read(v), 14.0);
    *first = *last;  // assignment: 7 with no operator, then 7
    EXPECT_EQ(Read(v), 7.0);
    first->MakeConstant(9);  // a written output
    EXPECT_EQ(Read(v), 9.0);
}

// Lists changed through their own pointers: elements added, taken out or
// swapped for elements that existed already, in the list and in a group.
TEST_F(ResolvedVal, ListChangesShowInTheNextRead) {
    CArticRulDataVal* v = NewVal(1, List({Num(2, kSignPlus), Num(3)}));
    CArticRulElmList* list = v->GetRulElmList();
    ASSERT_EQ(Read(v), 5.0);

    CArticRulElm* three = list->RemoveTail();
    EXPECT_FALSE(v->IsResolvedCurrent());
    EXPECT_EQ(Read(v), 2.0);
    // Same count, other tail: an element moved in from elsewhere.
    CArticRulDataVal* other = NewVal(2, List({Num(40)}));
    CArticRulElm* forty = other->GetRulElmList()->RemoveHead();
    list->AddTail(forty);
    ASSERT_EQ(other->GetData(), 0.0);
    EXPECT_EQ(Read(v), 42.0);
    list->RemoveTail();
    list->AddTail(three);
    EXPECT_EQ(Read(v), 5.0);
    // Same count, other head.
    CArticRulElm* two = list->RemoveHead();
    forty->SetSign(kSignMinus);
    list->AddHead(forty);
    EXPECT_EQ(Read(v), 37.0);
    list->RemoveHead();
    list->AddHead(two);
    delete forty;

    // A group's own list.
    CArticRulDataVal* g = NewVal(3, List({Num(10, kSignMinus), Group({Num(1, kSignPlus), Num(2)})}));
    CArticRulElmList* inner = g->GetRulElmList()->GetTail()->GetRulElmList();
    ASSERT_EQ(Read(g), 7.0);
    CArticRulElm* innerTwo = inner->RemoveTail();
    EXPECT_EQ(Read(g), 9.0);
    inner->AddTail(innerTwo);
    EXPECT_EQ(Read(g), 7.0);
    CArticRulElm* innerOne = inner->GetHead();
    inner->RemoveAll();
    EXPECT_EQ(Read(g), 10.0);  // an empty group reads 0
    delete innerOne;
    delete innerTwo;
}

TEST_F(ResolvedVal, ReplacedListAndWrittenOutput) {
    CArticRulDataVal* a = NewVal(1, List({Num(3, kSignMul), Num(4)}));
    CArticRulDataVal* b = NewVal(2, List({Var(a, kElmPlain, kSignMinus), Num(2)}));
    ASSERT_EQ(Read(b), 10.0);
    a->SetRulElmList(List({Num(1, kSignPlus), Num(1)}));
    EXPECT_EQ(Read(b), 0.0);
    for (double written : {5.0, -1.5, 8.0}) {
        a->SetData(written);
        EXPECT_EQ(Read(b), written - 2.0);
        EXPECT_EQ(Read(a), written);
    }
    EXPECT_EQ(a->ReplaceProb(0.5), 0);
    EXPECT_EQ(Read(b), -1.5);
}

namespace {
struct ResolvedCopy : RulSetTest {};
}  // namespace

// A set read once (its values resolved), then copied and dropped: the copy
// reads its own variables, and a change to a copied variable shows only there.
TEST_F(ResolvedCopy, CopiedSetReadsItsOwnVariables) {
    ASSERT_EQ(Load({"#set:4", "#val1:2", "#val2:_val1 * 3 + (_val1 - 1)", "#prob:_val2"}), 0);
    AddNotes({100});
    set->SetWrkEvnt(notes[0]);
    double prob = 0;
    set->GetDataVal(&prob);
    ASSERT_DOUBLE_EQ(prob, 7.0);

    CArticRulSet copy(&rul, &wrk);
    copy = *set;
    copy.SetWrkEvnt(notes[0]);
    copy.GetDataVal(&prob);
    EXPECT_DOUBLE_EQ(prob, 7.0);

    copy.GetDataVal(ULONG(1))->SetData(5);
    copy.GetDataVal(&prob);
    EXPECT_DOUBLE_EQ(prob, 19.0);
    set->GetDataVal(&prob);
    EXPECT_DOUBLE_EQ(prob, 7.0);

    // The source's variables go away; the copy never reads them.
    set.reset();
    copy.GetDataVal(&prob);
    EXPECT_DOUBLE_EQ(prob, 19.0);
    CArticRulSet again(&rul, &wrk);
    again = copy;
    again.SetWrkEvnt(notes[0]);
    again.GetDataVal(ULONG(1))->SetData(1);
    again.GetDataVal(&prob);
    EXPECT_DOUBLE_EQ(prob, 3.0);
    copy.GetDataVal(&prob);
    EXPECT_DOUBLE_EQ(prob, 19.0);
}

// Changes to a value variable that a list names, to its list or to the
// variables it names in turn, show in the reader's next read.
TEST_F(ResolvedVal, NamedVariablesChangeUnderTheReader) {
    CArticRulDataVal* c = NewVal(3, List({Num(5)}));
    CArticRulDataVal* b = NewVal(2, List({Var(c, kElmPlain, kSignMul), Num(2)}));
    CArticRulDataVal* a = NewVal(1, List({Var(b, kElmPlain, kSignPlus), Num(1)}));
    ASSERT_EQ(Read(a), 11.0);

    c->GetRulElmList()->GetHead()->SetData(4);
    EXPECT_EQ(Read(a), 9.0);
    c->SetData(-1);  // a written output
    EXPECT_EQ(Read(a), -1.0);
    CArticRulElm* two = b->GetRulElmList()->RemoveTail();  // b is now just c
    EXPECT_EQ(Read(a), 0.0);
    b->GetRulElmList()->AddTail(two);
    b->SetRulElmList(List({Num(7, kSignDiv), Num(2)}));  // b's list replaced
    EXPECT_EQ(Read(a), 4.5);
    c->SetRulElmList(List({Num(0)}));
    b->SetRulElmList(List({Num(7, kSignDiv), Var(c)}));
    EXPECT_EQ(Read(a), 0.0);  // 7 / 0 fails b, and with it every value reading b
    EXPECT_EQ(Read(b), 0.0);
    c->SetData(2);
    EXPECT_EQ(Read(a), 4.5);
}

// A list that reaches itself through other variables is cut and reported
// once, naming the variable met again, and fails every value reading it.
TEST_F(ResolvedVal, CycleThroughNamedVariablesIsCutAndNamed) {
    CArticRulDataVal* a = NewVal(1);
    CArticRulDataVal* b = NewVal(2);
    CArticRulDataVal* c = NewVal(3);
    a->SetRulElmList(List({Var(b, kElmPlain, kSignPlus), Num(1)}));
    b->SetRulElmList(List({Var(c, kElmPlain, kSignPlus), Num(1)}));
    c->SetRulElmList(List({Var(b)}));  // b -> c -> b
    // What one report of a cut adds to the error list.
    CArticRulDataVal* self = NewVal(9);
    self->SetRulElmList(List({Var(self)}));
    int before = CArticErr::GetMsgCount();
    EXPECT_EQ(self->GetData(), 0.0);
    const int oneReport = CArticErr::GetMsgCount() - before;
    ASSERT_GT(oneReport, 0);

    before = CArticErr::GetMsgCount();
    EXPECT_EQ(a->GetData(), 0.0);  // the failure of b fails a too
    EXPECT_EQ(CArticErr::GetMsgCount() - before, oneReport);
    EXPECT_EQ(ErrList::LastContent(), "ｾｯﾄ番号 = 3  ﾙｰﾙ・ﾃﾞｰﾀ = val2");
    before = CArticErr::GetMsgCount();
    EXPECT_EQ(c->GetData(), 0.0);
    EXPECT_EQ(CArticErr::GetMsgCount() - before, oneReport);
    EXPECT_EQ(ErrList::LastContent(), "ｾｯﾄ番号 = 3  ﾙｰﾙ・ﾃﾞｰﾀ = val3");
}
