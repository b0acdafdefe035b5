#include <gtest/gtest.h>

#include <cmath>

#include "RulesFixture.h"

using namespace rultest;
using namespace wrktest;

namespace {

struct Eval : SetFixture {
    double Value(CArticRulElmList* list) { return NewVal(next++, list)->GetData(); }
    ULONG next = 1;
};

}  // namespace

TEST_F(Eval, LeftToRightWithoutPrecedence) {
    EXPECT_EQ(Value(List({Num(2, kSignPlus), Num(3, kSignMul), Num(4)})), 20.0);
    // (3 * 4) + 2
    EXPECT_EQ(Value(List({Group({Num(3, kSignMul), Num(4)}, kSignPlus), Num(2)})), 14.0);
    EXPECT_EQ(Value(List({Num(10, kSignMinus), Num(4, kSignDiv), Num(2)})), 3.0);
    // The operator of the last element leads nowhere.
    EXPECT_EQ(Value(List({Num(7, kSignMul)})), 7.0);
    EXPECT_EQ(Value(List({})), 0.0);
    EXPECT_EQ(Value(nullptr), 0.0);
}

TEST_F(Eval, UnaryMinusAndNegatedGroup) {
    // 1 - (-(2)) reads as 1 - (-2) = 3; the negated group alone is -2.
    EXPECT_EQ(Value(List({Num(1, kSignMinus), Group({Num(2)}, kSignNone, 0)})), 3.0);
    EXPECT_EQ(Value(List({Group({Num(2)}, kSignNone, 0)})), -2.0);
    // :-1*_valM : -1 times a variable holding 4
    CArticRulDataVal* four = NewVal(50, List({Num(4)}));
    EXPECT_EQ(Value(List({Num(1, kSignMul, 0), Var(four)})), -4.0);
    // _val1*-2
    EXPECT_EQ(Value(List({Var(four, kElmPlain, kSignMul), Num(2, kSignNone, 0)})), -8.0);
}

TEST_F(Eval, ElementWithoutValueIsSkippedWithItsOperator) {
    auto* str = new CArticRulDataStr(set, 1);
    ASSERT_EQ(set->SetDataStr(str), 1);
    // 2 (+), a text variable (*), 3: the '*' goes with the text, so 2 + 3.
    EXPECT_EQ(Value(List({Num(2, kSignPlus), Var(str, kElmPlain, kSignMul), Num(3)})), 5.0);
    // A value variable with a member code and an event variable with a relation have no value either.
    CArticRulDataVal* v = NewVal(60, List({Num(9)}));
    CArticRulDataEvnt* e = NewEvnt(1);
    EXPECT_EQ(Value(List({Num(2, kSignPlus), Var(v, kElmKey, kSignMul), Var(e, kElmNext, kSignMul), Num(3)})), 5.0);
}

TEST_F(Eval, ValueVariablesAreReadAgainOnEveryRead) {
    CArticRulDataVal* a = NewVal(10, List({Num(1)}));
    CArticRulDataVal* b = NewVal(11, List({Var(a, kElmPlain, kSignPlus), Num(1)}));
    EXPECT_EQ(b->GetData(), 2.0);
    a->SetData(5);  // a built-in writing the output replaces the arithmetic
    EXPECT_EQ(b->GetData(), 6.0);
    ASSERT_EQ(a->GetRulElmList()->GetCount(), 1);
    EXPECT_EQ(a->ReplaceProb(0.25), 0);
    EXPECT_EQ(b->GetData(), 1.25);
    CArticRulDataVal empty(set, 99);
    EXPECT_EQ(empty.ReplaceProb(1.0), 1);
}

// A written output is a plain constant whatever the one element it replaces
// held: a variable reference, a negated group, a text or a negated constant.
TEST_F(Eval, WrittenOutputForgetsWhatItsSingleElementHeld) {
    CArticRulDataVal* nine = NewVal(70, List({Num(9)}));
    CArticRulElm* text = Text("abc");
    CArticRulElm* const kSingles[] = {
        Var(nine, kElmPlain, kSignMul, 0), Group({Num(3)}, kSignDiv, 0), text, Num(2, kSignMinus, 0)};
    ULONG no = 71;
    for (CArticRulElm* single : kSingles) {
        CArticRulDataVal* out = NewVal(no++, List({single}));
        CArticRulDataVal* sum = NewVal(no++, List({Var(out, kElmPlain, kSignPlus), Num(1)}));
        for (double v : {7.0, -0.5, 7.0}) {
            out->SetData(v);
            EXPECT_EQ(out->GetData(), v);
            EXPECT_EQ(sum->GetData(), v + 1.0);
            ASSERT_EQ(out->GetRulElmList()->GetCount(), 1);
            const CArticRulElm* elm = out->GetRulElmList()->GetHead();
            EXPECT_EQ(elm->GetRulData(), nullptr);
            EXPECT_EQ(elm->GetRulElmList(), nullptr);
            EXPECT_TRUE(elm->GetStrData().IsEmpty());
            EXPECT_EQ(elm->GetSign(), kSignNone);
            EXPECT_EQ(elm->GetPlus(), 1);
        }
    }
    // A longer list becomes a single constant too.
    CArticRulDataVal* longer = NewVal(no++, List({Num(2, kSignPlus), Num(3)}));
    longer->SetData(4.0);
    EXPECT_EQ(longer->GetRulElmList()->GetCount(), 1);
    EXPECT_EQ(longer->GetData(), 4.0);
}

TEST_F(Eval, DivisionByZeroGivesZeroAndIsReported) {
    const int before = CArticErr::GetMsgCount();
    EXPECT_EQ(Value(List({Num(10, kSignDiv), Num(0)})), 0.0);
    EXPECT_GT(CArticErr::GetMsgCount(), before);
    EXPECT_EQ(ErrList::LastContent(), "ｾｯﾄ番号 = 3  ﾙｰﾙ・ﾃﾞｰﾀ = val1");  // the detail line names the line
    // 0 / 0 as well; and a zero divisor deep inside a group fails the whole value.
    EXPECT_EQ(Value(List({Num(0, kSignDiv), Num(0)})), 0.0);
    EXPECT_EQ(Value(List({Num(5, kSignPlus), Group({Num(1, kSignDiv), Num(0)})})), 0.0);
    // A divisor that is zero only after its sign still counts; -0 too.
    EXPECT_EQ(Value(List({Num(4, kSignDiv), Num(0, kSignNone, 0)})), 0.0);
    EXPECT_TRUE(std::isfinite(Value(List({Num(1, kSignDiv), Num(3)}))));
}

TEST_F(Eval, SelfReferenceIsCutAndReported) {
    // #val2:_val2+1
    CArticRulDataVal* v2 = NewVal(2);
    v2->SetRulElmList(List({Var(v2, kElmPlain, kSignPlus), Num(1)}));
    EXPECT_TRUE(v2->IsCyclic());
    const int before = CArticErr::GetMsgCount();
    EXPECT_EQ(v2->GetData(), 0.0);
    EXPECT_GT(CArticErr::GetMsgCount(), before);
    EXPECT_EQ(ErrList::LastContent(), "ｾｯﾄ番号 = 3  ﾙｰﾙ・ﾃﾞｰﾀ = val2");

    // #val3:_val4*2, #val4:(_val3+1): a cycle through another variable and a group.
    CArticRulDataVal* v3 = NewVal(3);
    CArticRulDataVal* v4 = NewVal(4);
    v3->SetRulElmList(List({Var(v4, kElmPlain, kSignMul), Num(2)}));
    v4->SetRulElmList(List({Group({Var(v3, kElmPlain, kSignPlus), Num(1)})}));
    EXPECT_TRUE(v3->IsCyclic());
    EXPECT_TRUE(v4->IsCyclic());
    EXPECT_EQ(v3->GetData(), 0.0);
    EXPECT_EQ(v4->GetData(), 0.0);
    // Reading a variable twice in one line is no cycle.
    CArticRulDataVal* v5 = NewVal(5, List({Num(3)}));
    CArticRulDataVal* v6 = NewVal(6, List({Var(v5, kElmPlain, kSignMul), Var(v5)}));
    EXPECT_FALSE(v6->IsCyclic());
    EXPECT_EQ(v6->GetData(), 9.0);
    // A variable that uses a cyclic one is not itself on the cycle.
    CArticRulDataVal* v7 = NewVal(7, List({Var(v2)}));
    EXPECT_FALSE(v7->IsCyclic());
    EXPECT_EQ(v7->GetData(), 0.0);
}

namespace {

// A current note carrying exv flags and note members.
struct NoteEval : Eval {
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkEvnt* prev = AddNote(blk, 10, 0, 55, 240, 90);
    CArticWrkEvnt* note = AddNote(blk, 12, 480, 60, 240, 100);
    void SetUp() override {
        Eval::SetUp();
        prev->SetFngrInfo(5, 2, 1, 0);
        note->SetFngrInfo(7, 2, 3, -4);
        note->SetProb(4, 0.25);
        note->SetOut(4, 1);
        set->SetWrkEvnt(note);
    }
};

}  // namespace

TEST_F(NoteEval, MembersOfEventVariables) {
    CArticRulDataEvnt* cur = set->GetDataEvnt();
    struct Case {
        BYTE code;
        double data;
        double value;
    } cases[] = {{kElmTime, 0, 480}, {kElmDur, 0, 240}, {kElmKey, 0, 60}, {kElmVelo, 0, 100},
                 {kElmGen, 0, 2},    {kElmFng, 0, 3},   {kElmPos, 0, 7},  {kElmCho, 0, -4},
                 {kElmProb, 4.9, 0.25}, {kElmCre, 4, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(Value(List({Var(cur, c.code, kSignNone, 1, c.data)})), c.value) << int(c.code);
    // _thisEvnt.Key - _evnt1.Key where #evnt1:_thisEvnt.Pre
    CArticRulDataEvnt* e1 = NewEvnt(1);
    e1->SetDataEvnt(cur, kElmPre);
    EXPECT_EQ(Value(List({Var(cur, kElmKey, kSignMinus), Var(e1, kElmKey)})), 5.0);
}

TEST_F(NoteEval, ExvAndInvOfTheProbValue) {
    CArticRulDataVal* prob = set->GetDataVal();
    EXPECT_EQ(prob->GetExv(), 1);  // empty lists
    EXPECT_EQ(prob->GetInv(), 1);
    prob->AddExvNo(7);
    prob->AddExvNo(9);
    prob->AddInvNo(7);
    prob->AddInvNo(9);
    EXPECT_EQ(prob->GetExv(), 1);
    EXPECT_EQ(prob->GetInv(), 0);  // entries, none set
    note->SetExv(9, 1);
    EXPECT_EQ(prob->GetExv(), 0);
    EXPECT_EQ(prob->GetInv(), 1);
    set->SetWrkEvnt(nullptr);
    EXPECT_EQ(prob->GetExv(), 1);
    EXPECT_EQ(prob->GetInv(), 1);
}

TEST_F(NoteEval, ExvListReadsAndMarksTheCurrentNote) {
    CArticRulDataExv* exv = set->GetDataExv();
    EXPECT_EQ(exv->IsExist(), 0);
    exv->AddTailElm(3);
    exv->AddTailElm(-1);  // negative numbers are passed over
    exv->AddTailElm(11);
    EXPECT_EQ(exv->GetData(), 0.0);
    EXPECT_EQ(set->SetDataExv(1), 1);
    EXPECT_EQ(note->GetExv(3), 1);
    EXPECT_EQ(note->GetExv(11), 1);
    EXPECT_EQ(exv->GetData(), 1.0);
    EXPECT_EQ(Value(List({Var(exv, kElmPlain, kSignPlus), Num(1)})), 2.0);
}

TEST_F(NoteEval, SearchedListMarksNamedNotesAndForgivesMissingOnes) {
    CArticRulDataEvnt* cur = set->GetDataEvnt();
    CArticRulDataSrchd* srchd = set->GetDataSrchd();
    // #searched:_thisEvnt,_thisEvnt.Pre,_thisEvnt.Next (there is no next note)
    srchd->SetRulElmList(List({Var(cur, kElmEvnt), Var(cur, kElmPre), Var(cur, kElmNext)}));
    EXPECT_EQ(srchd->GetData(), 0.0);
    EXPECT_EQ(srchd->SetSearchFlag(1), 0);
    EXPECT_EQ(note->GetSearch(3), 1);
    EXPECT_EQ(prev->GetSearch(3), 1);
    EXPECT_EQ(note->GetErr(3), 0);  // the missing next note is no error here
    note->SetErr(3, 1);
    srchd->SetSearchFlag(0);
    EXPECT_EQ(note->GetErr(3), 1);  // a flag that was set stays
    EXPECT_EQ(prev->GetSearch(3), 0);
}

TEST(RulData, AssignmentCopiesPayloadOnly) {
    CArticRulDataVal src(nullptr, 4);
    src.SetRulElmList(List({Num(2, kSignMul), Num(3)}));
    src.AddExvNo(5);
    CArticRulDataVal dst(nullptr, 9);
    dst = src;
    EXPECT_EQ(dst.GetDataNo(), 9u);
    EXPECT_EQ(dst.GetData(), 6.0);
    EXPECT_NE(dst.GetRulElmList()->GetHead(), src.GetRulElmList()->GetHead());
    ASSERT_EQ(dst.GetExvNoList()->GetCount(), 1);
    EXPECT_EQ(dst.GetExvNoList()->GetHead()->GetIntData(), 5);

    CArticRulDataStr s1(nullptr, 1), s2(nullptr, 2);
    CString text("Vib3-g02.mid");
    s1.SetData(&text);
    s2 = s1;
    EXPECT_EQ(s2.GetData(), "Vib3-g02.mid");
    EXPECT_EQ(s2.GetDataNo(), 2u);
}
