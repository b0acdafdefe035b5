// Building a rule set's lines: the stored elements of arithmetic, "searched"
// and event lines, built-in calls, subroutine calls and expression lines.
#include <gtest/gtest.h>

#include <string>

#include "RulSetFixture.h"
#include "engine/rules/ArticSrchEvnt.h"
#include "engine/rules/ArticSrchSubRoutine.h"

using namespace rultest;

namespace {

// One element as text: "~" for a unary minus, the variable ("val3",
// "thisEvnt"), the constant or a nested list in parentheses, "#code" for a
// non-zero data type ("[N]" after 31 and 32), then the operator after it.
std::string Describe(const CArticRulSet* set, const CArticRulElmList* list);

std::string DescribeElm(const CArticRulSet* set, const CArticRulElm* e) {
    std::string s = e->GetPlus() ? "" : "~";
    if (CArticRulData* var = e->GetRulData()) {
        const std::string cls = var->GetClassNameA();
        if (var == set->GetDataEvnt())
            s += "thisEvnt";
        else
            s += cls.substr(std::string("CArticRulData").size()) + std::to_string(var->GetDataNo());
    } else if (e->GetRulElmList()) {
        s += "(" + Describe(set, e->GetRulElmList()) + ")";
    } else if (!e->GetStrData().IsEmpty()) {
        s += e->GetStrData().str();
    } else {
        CString v;
        v.Format("%g", e->GetData());
        s += v.str();
    }
    if (e->GetDataType()) s += "#" + std::to_string(e->GetDataType());
    if (e->GetDataType() == kElmProb || e->GetDataType() == kElmCre) s += "[" + std::to_string(int(e->GetData())) + "]";
    static const char kSigns[] = " +-*/";
    if (e->GetSign()) s += kSigns[e->GetSign()];
    return s;
}

std::string Describe(const CArticRulSet* set, const CArticRulElmList* list) {
    std::string s;
    for (POSITION p = list ? list->GetHeadPosition() : nullptr; p;) {
        if (!s.empty()) s += " ";
        s += DescribeElm(set, list->GetNext(p));
    }
    return s;
}

}  // namespace

TEST_F(RulSetTest, ArithmeticElementsAndValues) {
    struct ArithCase {
        const char* line;
        int no;
        const char* elements;
        double value;  // with val1 = 1, val2 = 2, val22 = 3, val23 = 4, val73 = 5
    };
    const ArithCase cases[] = {
        {"#val67:-1*_val73", 67, "~1* Val73", -5},
        {"#val68:_val22*(1-_val23)", 68, "Val22* (1- Val23)", -9},
        {"#val69:_val1*-2", 69, "Val1* ~2", -2},
        {"#val70:_val1,_val2", 70, "Val1 Val2", 1},
        {"#val71:_val73-_val1*_val2/4", 71, "Val73- Val1* Val2/ 4", 2},  // strictly left to right
        {"#val72:-(_val2+_val23)", 72, "~(Val2+ Val23)", -6},
        {"#val74:_thisEvnt.Key+_evnt1.Prob232", 74, "thisEvnt#13+ Evnt1#31[232]", 0},
    };
    for (const ArithCase& c : cases) {
        ASSERT_EQ(Load({"#set:1", "#val1:1", "#val2:2", "#val22:3", "#val23:4", "#val73:5", "#evnt1:_thisEvnt",
                        c.line}),
                  0)
            << c.line;
        CArticRulDataVal* var = set->GetDataVal(c.no);
        ASSERT_NE(var, nullptr) << c.line;
        EXPECT_EQ(Describe(set.get(), var->GetRulElmList()), c.elements) << c.line;
        if (c.no != 74) {
            EXPECT_DOUBLE_EQ(var->GetData(), c.value) << c.line;
        }
    }
}

TEST_F(RulSetTest, VariablesNumberedZeroOnlyInExpressionArguments) {
    EXPECT_NE(Load({"#set:1", "#val0:1", "#val9:_val0"}), 0);
    EXPECT_EQ(LastFunction(), "Load (Phase-2)");
    EXPECT_NE(Load({"#set:1", "#evnt0:_thisEvnt", "#val9:_evnt0.Key"}), 0);
    EXPECT_EQ(LastFunction(), "Load (Phase-2)");

    AddNotes({100});
    ASSERT_EQ(Load({"#set:1", "#val0:7", "#exp1:CArticExpDurAbs(1{_thisEvnt}, _val0)"}), 0);
    set->SetWrkEvnt(notes[0]);
    CStringList texts;
    ASSERT_EQ(set->GetExpEvnt(texts), 0);
    EXPECT_EQ(texts.GetHead(), "CArticExpDurAbs(1{:w1}, 7)");
}

TEST_F(RulSetTest, SearchedAndEventLines) {
    ASSERT_EQ(Load({"#set:1", "#evnt1:_thisEvnt", "#evnt2:_thisEvnt", "#evnt4:_thisEvnt.Pre",
                    "#evnt5:_evnt4.WrkNext", "#searched:_thisEvnt,_evnt1.AllNext,_evnt2", "#searched:_evnt9"}),
              0);
    // An absent _evnt9 leaves an element without variable.
    EXPECT_EQ(Describe(set.get(), set->GetDataSrchd()->GetRulElmList()), "thisEvnt#1 Evnt1#6 Evnt2#1 0#1");
    CArticRulDataEvnt* evnt5 = set->GetDataEvnt(5);
    EXPECT_EQ(evnt5->GetDataEvnt(), set->GetDataEvnt(4));
    EXPECT_EQ(evnt5->GetDataType(), kElmWrkNext);
    EXPECT_EQ(set->GetDataEvnt(4)->GetDataEvnt(), set->GetDataEvnt());
    EXPECT_EQ(set->GetDataEvnt(4)->GetDataType(), kElmPre);
}

TEST_F(RulSetTest, BuiltInCallOwnsCopiesOfItsArguments) {
    ASSERT_EQ(Load({"#set:1", "#val1:1", "#func3:CArticSrchValCmp(_val1, -2, _thisEvnt.Key, &_val3)"}), 0);
    CArticSrchEvnt* call = set->GetSrchEvnt(3);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->GetEvntNo(), 3u);
    CArticRulElmList args(10);
    call->GetRulElmList(&args);
    EXPECT_EQ(Describe(set.get(), &args), "Val1 -2 thisEvnt#13 Val3");
    ASSERT_EQ(set->GetSrchEvntList()->GetCount(), 1);
    EXPECT_EQ(set->GetSrchEvntList()->GetHead(), call);
}

TEST_F(RulSetTest, SubroutineCallObjects) {
    AddSub(19, {"evnt"}, true);
    AddSub(20, {"str", "val"}, false);
    ASSERT_EQ(Load({"#set:1", "#val1:1", "#evnt1:_thisEvnt", "#sub19:GetChordNum( _thisEvnt, &_val3)",
                    "#func1:CArticSrchBreak(1)", "#sub19:_val1(_evnt1.AllPre, &_val4)",
                    "#sub20(\"abc\", _thisEvnt.Key)"}),
              0)
        << Details().size();
    struct CallCase {
        int callNo;
        int subNo;
        CArticRulDataVal* condition;
        const char* in;
        const char* out;
    };
    const CallCase cases[] = {
        {0, 19, nullptr, "thisEvnt#1", "Val3"},
        {1, 19, set->GetDataVal(1), "Evnt1#7", "Val4"},
        {2, 20, nullptr, "\"abc\" thisEvnt#13", ""},
    };
    for (const CallCase& c : cases) {
        CArticSrchSubRoutine* call = set->GetSubRoutine(c.callNo);
        ASSERT_NE(call, nullptr) << c.callNo;
        EXPECT_EQ(call->GetEvntNo(), ULONG(c.callNo));
        EXPECT_EQ(call->GetSubNo(), c.subNo);
        EXPECT_EQ(call->GetCondition(), c.condition);
        EXPECT_EQ(Describe(set.get(), call->GetRulElmInList()), c.in) << c.callNo;
        EXPECT_EQ(Describe(set.get(), call->GetRulElmOutList()), c.out) << c.callNo;
    }
    // The call list keeps line order, built-ins and subroutine calls mixed.
    CArticSrchEvntList* list = set->GetSrchEvntList();
    ASSERT_EQ(list->GetCount(), 4);
    POSITION p = list->GetHeadPosition();
    EXPECT_EQ(list->GetNext(p), set->GetSubRoutine(0));
    EXPECT_EQ(list->GetNext(p), set->GetSrchEvnt(1));
    EXPECT_EQ(list->GetNext(p), set->GetSubRoutine(1));
    EXPECT_EQ(list->GetNext(p), set->GetSubRoutine(2));
}

TEST_F(RulSetTest, ExpressionLineObjects) {
    ASSERT_EQ(Load({"#set:1", "#val1:1", "#val2:0",
                    "#exp1:CArticExpDel(1{_thisEvnt})",
                    "#exp2:CArticExpDurAbs(1{_thisEvnt}, _thisEvnt.Key)",
                    "#exp3:CArticExpLayerNote2(1{_thisEvnt}, 1, 2, 3, 4, 5, 6, 7, 8, 9, &_vary2)",
                    "#exp4:Mstr:_val1:nSrch:_val2:CArticExpDel(0{})",
                    "#exp5:CArticExpDel(1{_thisEvnt}, 5)"}),
              0);
    EXPECT_EQ(set->GetHasExp(), 1);
    struct ExpCase {
        int no;
        const char* args;
        CArticRulDataVal* cond;
        int searched, master;
    };
    const ExpCase cases[] = {
        {1, "(thisEvnt#1)", nullptr, 1, 0},
        {2, "(thisEvnt#1) thisEvnt#13", nullptr, 1, 0},
        {3, "(thisEvnt#1) 1 2 3 4 5 6 7 8 9 VAry2#42", nullptr, 1, 0},
        {4, "()", set->GetDataVal(2), 0, 1},  // the later condition counts
        {5, "(thisEvnt#1) 5", nullptr, 1, 0},  // more arguments than the class takes
    };
    for (const ExpCase& c : cases) {
        CArticRulExpEvnt* line = set->GetRulExpEvnt(c.no);
        ASSERT_NE(line, nullptr) << c.no;
        EXPECT_EQ(Describe(set.get(), line->GetRulElmList()), c.args) << c.no;
        EXPECT_EQ(line->GetRulDataVal(), c.cond) << c.no;
        EXPECT_EQ(line->GetSearched(), c.searched) << c.no;
        EXPECT_EQ(line->GetMstr(), c.master) << c.no;
    }
    EXPECT_EQ(set->GetRulExpEvntList()->GetCount(), 5);

    // A line of conditions only builds nothing.
    ASSERT_EQ(Load({"#set:1", "#val9:1", "#exp2:_val9:Mstr:nSrch:"}), 0);
    EXPECT_EQ(set->GetRulExpEvnt(2), nullptr);
    EXPECT_EQ(set->GetRulExpEvntList()->GetCount(), 0);
}

TEST_F(RulSetTest, EventOperandsOnlyInsideLists) {
    for (const char* line : {"#exp1:CArticExpDurAbs(_thisEvnt, 1)", "#exp1:CArticExpDel(1{_thisEvnt.Key})",
                             "#exp1:CArticExpDel(1{_evnt1.Next}, _evnt1)"}) {
        EXPECT_NE(Load({"#set:1", "#evnt1:_thisEvnt", line}), 0) << line;
        EXPECT_EQ(set->GetRulExpEvnt(1), nullptr) << line;
    }
    ASSERT_EQ(Load({"#set:1", "#evnt1:_thisEvnt", "#exp1:CArticExpDel(2{_thisEvnt, _evnt1.AllNext})"}), 0);
    EXPECT_EQ(Describe(set.get(), set->GetRulExpEvnt(1)->GetRulElmList()), "(thisEvnt#1 Evnt1#6)");
}
