#include <gtest/gtest.h>

#include "RulesFixture.h"
#include "engine/rules/ArticRulExpEvnt.h"

using namespace rultest;
using namespace wrktest;

namespace {

struct ExpLine : SetFixture {
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkEvnt* n10 = AddNote(blk, 10, 0, 55);
    CArticWrkEvnt* n11 = AddNote(blk, 11, 240, 57);
    CArticWrkEvnt* n12 = AddNote(blk, 12, 480, 60);
    CArticRulExpEvnt* line = nullptr;
    void SetUp() override {
        SetFixture::SetUp();
        set->SetWrkEvnt(n12);
        line = new CArticRulExpEvnt(set, 1);
        ASSERT_EQ(set->SetRulExpEvnt(line), 1);
    }
    CString Render(const char* cls, CArticRulElmList* args) {
        line->SetExpEvntName(cls);
        line->SetRulElmList(args);
        return line->GetExpEvnt();
    }
    CArticRulDataEvnt* Cur() { return set->GetDataEvnt(); }
};

}  // namespace

TEST_F(ExpLine, RendersTheExampleLine) {
    // #exp1:CArticExpDebug_i2(1{_thisEvnt}, "Key", _thisEvnt.Key)
    EXPECT_EQ(Render("CArticExpDebug_i2", List({Group({Var(Cur(), kElmEvnt)}), Text("\"Key\""), Var(Cur(), kElmKey)})),
              "CArticExpDebug_i2(1{:w12}, \"Key\", 60)");
}

TEST_F(ExpLine, RendersEachKindOfArgument) {
    CArticRulDataVal* v = NewVal(1, List({Num(-2.5)}));
    n12->SetProb(2, 0.25);
    auto* str = new CArticRulDataStr(set, 1);
    CString name("Vib3-g02.mid");
    str->SetData(&name);
    set->SetDataStr(str);
    CArticRulDataEvnt* pre = NewEvnt(1);
    pre->SetDataEvnt(Cur(), kElmPre);
    struct Case {
        CArticRulElm* elm;
        const char* text;
    } cases[] = {
        {Num(1.9), "1"},
        {Num(1.9, kSignNone, 0), "-1"},
        {Var(v), "-2"},
        {Var(Cur(), kElmProb, kSignNone, 1, 2), "0.250000000"},
        {Var(Cur(), kElmProb, kSignNone, 0, 2), "-0.250000000"},
        {Text("2/1/0"), "2/1/0"},
        {Var(str), "Vib3-g02.mid"},
        {Group({Var(Cur(), kElmAllPre), Var(Cur(), kElmEvnt)}), "2{:w11, :w12}"},
        {Group({}), "0{}"},
        {Var(pre, kElmEvnt), ":w11"},
        {Var(Cur(), kElmTime, kSignNone, 0), "-480"},
    };
    for (const Case& c : cases) EXPECT_EQ(Render("X", List({c.elm})), CString("X(") + c.text + ")") << c.text;
    // Nothing is written for a missing related note, nor its separator.
    EXPECT_EQ(Render("X", List({Num(1), Var(Cur(), kElmNext), Num(2)})), "X(1, 2)");
    EXPECT_EQ(n12->GetErr(3), 0);  // looked up without the flag
    EXPECT_EQ(Render("", List({Num(1)})), "");
}

TEST_F(ExpLine, GroupsJoinWithTheirNeighboursAndNest) {
    // A skipped element writes no separator, before or after a group;
    // groups inside groups render as the outer ones do.
    struct Case {
        CArticRulElmList* args;
        const char* text;
    } cases[] = {
        {List({Var(Cur(), kElmNext), Group({Var(Cur(), kElmEvnt)})}), "X(1{:w12})"},
        {List({Num(1), Group({Var(Cur(), kElmEvnt)}), Num(2)}), "X(1, 1{:w12}, 2)"},
        {List({Group({Group({Var(Cur(), kElmEvnt)}), Num(5)}), Var(Cur(), kElmKey)}), "X(2{1{:w12}, 5}, 60)"},
        {List({Group({Var(Cur(), kElmNext), Group({})}), Var(Cur(), kElmNext)}), "X(2{0{}})"},
        {List({Group({}), Group({Num(3)})}), "X(0{}, 1{3})"},
    };
    for (const Case& c : cases) EXPECT_EQ(Render("X", c.args), c.text) << c.text;
}

TEST_F(ExpLine, ValueArrayOutputGetsOneFreshNumberPerArrayNote) {
    CArticRul main(&wrk);
    rul.SetRul(&main);
    auto* ary = new CArticRulDataAry(set, 1);
    set->SetDataAry(ary);
    ary->SetDataEvnt(0, n10);
    ary->SetDataEvnt(1, n11);
    ary->SetDataEvnt(2, n12);
    auto* vary = new CArticRulDataVAry(set, 2);
    set->SetDataVAry(vary);
    const ULONG free = wrk.GetFreeEvntNo();
    CString expected;
    expected.Format("L(3{:w10, :w11, :w12}, 5, 3{:w%u, :w%u, :w%u})", free, free + 1, free + 2);
    EXPECT_EQ(Render("L", List({Var(ary), Num(5), Var(vary, kElmVAryOut)})), expected);
    // Without an array argument before it the value array gets nothing.
    auto* fresh = new CArticRulDataVAry(set, 3);
    set->SetDataVAry(fresh);
    EXPECT_EQ(Render("L", List({Var(fresh, kElmVAryOut)})), "L(0{})");
    rul.SetRul(nullptr);
}

TEST_F(ExpLine, ConditionAndSearchedMarks) {
    CArticRulDataVal* cond = NewVal(4, List({Num(0)}));
    EXPECT_EQ(line->GetCreateFlag(), 1.0);
    line->SetRulDataVal(cond);
    EXPECT_EQ(line->GetCreateFlag(), 0.0);
    // Event operands and the notes of arrays are marked, the current note is not.
    auto* ary = new CArticRulDataAry(set, 1);
    set->SetDataAry(ary);
    ary->SetDataEvnt(0, n10);
    ary->SetDataEvnt(1, n12);
    line->SetExpEvntName("X");
    line->SetRulElmList(List({Group({Var(Cur(), kElmAllPre), Var(Cur(), kElmEvnt)}), Var(ary)}));
    EXPECT_EQ(line->SetSearchFlag(1), 0);
    EXPECT_EQ(n11->GetSearch(3), 1);
    EXPECT_EQ(n10->GetSearch(3), 1);
    EXPECT_EQ(n12->GetSearch(3), 0);
    set->SetWrkEvnt(nullptr);
    EXPECT_EQ(line->SetSearchFlag(1), 1);
}

TEST_F(ExpLine, AssignmentCopiesLineButNotSetOrNumber) {
    CArticRulDataVal* cond = NewVal(4, List({Num(1)}));
    line->SetExpEvntName("CArticExpDel");
    line->SetRulElmList(List({Group({Var(Cur(), kElmEvnt)})}));
    line->SetRulDataVal(cond);
    line->SetSearched(0);
    line->SetMstr(1);
    CArticRulExpEvnt copy(nullptr, 9);
    copy = *line;
    EXPECT_EQ(copy.GetEvntNo(), 9u);
    EXPECT_EQ(copy.GetRulSet(), nullptr);
    EXPECT_EQ(copy.GetExpEvntName(), "CArticExpDel");
    EXPECT_EQ(copy.GetRulDataVal(), cond);
    EXPECT_EQ(copy.GetSearched(), 0);
    EXPECT_EQ(copy.GetMstr(), 1);
    ASSERT_EQ(copy.GetRulElmList()->GetCount(), 1);
    EXPECT_NE(copy.GetRulElmList()->GetHead(), line->GetRulElmList()->GetHead());
    EXPECT_EQ(copy.GetExpEvnt(), "CArticExpDel(1{:w12})");
}
