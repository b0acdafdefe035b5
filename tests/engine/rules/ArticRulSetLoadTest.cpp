// Loading a rule set: which lines are faulty, in which phase, and what one
// report of a faulty line holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RulSetFixture.h"
#include "engine/rules/ArticRulSub.h"
#include "engine/rules/ArticSrchEvnt.h"

using namespace rultest;

namespace {

constexpr const char* P1 = "Load (Phase-1)";
constexpr const char* P2 = "Load (Phase-2)";

struct LoadCase {
    const char* what;
    std::initializer_list<const char*> lines;
    std::vector<const char*> faulty;  // the raw lines reported, in order
    const char* phase;                // the phase of the reports
};

const LoadCase kLoadCases[] = {
    {"a sign before the direction is a separator", {"#set:7", "#dir:-1"}, {}, nullptr},
    {"direction beyond 3", {"#set:7", "#dir:4", "#dir:3"}, {"#dir:4"}, P1},
    {"a line without '#'; blank and comment lines skipped", {"#set:7", "val1:1", "", "  \t", "  ; comment"}, {"val1:1"}, P1},
    {"value variable declared twice", {"#set:7", "#val1:5", "#val1:6"}, {"#val1:6"}, P1},
    {"output reference to a declared variable",
     {"#set:7", "#val1:5", "#func1:CArticSrchValMore(1, 0, &_val1)"},
     {"#func1:CArticSrchValMore(1, 0, &_val1)"},
     P1},
    {"undeclared input passes phase 1, fails phase 2", {"#set:7", "#func1:CArticSrchBreak(_val9)"},
     {"#func1:CArticSrchBreak(_val9)"}, P2},
    {"an input declared by a later line", {"#set:7", "#func1:CArticSrchBreak(_val2)", "#val2:1"}, {}, nullptr},
    {"arithmetic before the definition", {"#set:7", "#val2:_val3+1", "#val3:1"}, {"#val2:_val3+1"}, P1},
    {"a value that names itself", {"#set:7", "#val2:_val2+1"}, {"#val2:_val2+1"}, P2},
    {"text variables in arithmetic", {"#set:7", "#str1:a", "#val1:_str1+1", "#val2:1+_str1"},
     {"#val1:_str1+1", "#val2:1+_str1"}, P1},
    {"event lines with relations", {"#set:7", "#evnt1:_thisEvnt.Pre", "#evnt2:_evnt1.AllPre"}, {}, nullptr},
    {"event line with a note member", {"#set:7", "#evnt1:_thisEvnt", "#evnt2:_evnt1.Time"}, {"#evnt2:_evnt1.Time"}, P1},
    {"an event variable derived from itself", {"#set:7", "#evnt1:_evnt1.Next"}, {"#evnt1:_evnt1.Next"}, P2},
    {"exv number that is no number", {"#set:7", "#exv:3,x"}, {"#exv:3,x"}, P1},
    {"exv prefix without arithmetic", {"#set:7", "#prob:exv3"}, {"#prob:exv3"}, P1},
    {"a built-in without its argument", {"#set:7", "#val1:1", "#func1:CArticSrchBreak()"},
     {"#func1:CArticSrchBreak()"}, P1},
    {"a built-in with one argument too many", {"#set:7", "#val1:1", "#func1:CArticSrchBreak(_val1, _val1)"},
     {"#func1:CArticSrchBreak(_val1, _val1)"}, P2},
    {"a built-in with a text argument", {"#set:7", "#func1:CArticSrchBreak(\"a\")"},
     {"#func1:CArticSrchBreak(\"a\")"}, P1},
    {"a name outside the catalogue", {"#set:7", "#func1:CArticSrchNoSuch(1)"}, {"#func1:CArticSrchNoSuch(1)"}, P1},
    {"an output reference with a member",
     {"#set:7", "#func1:CArticSrchValMore(1, 0, &_val1.Time)"},
     {"#func1:CArticSrchValMore(1, 0, &_val1.Time)"},
     P2},
    {"a built-in number used twice", {"#set:7", "#func1:CArticSrchBreak(1)", "#func1:CArticSrchBreak(0)"},
     {"#func1:CArticSrchBreak(0)"}, P2},
    {"heads that need a number", {"#set:7", "#func:CArticSrchBreak(1)", "#val:1", "#exp:CArticExpDel(0{})"},
     {"#func:CArticSrchBreak(1)", "#val:1", "#exp:CArticExpDel(0{})"}, P1},
    {"a head with a member", {"#set:7", "#val1.Time:1"}, {"#val1.Time:1"}, P1},
    {"a subroutine the program does not hold", {"#set:7", "#val1:1", "#sub19(_thisEvnt)", "#sub19:_val1(_thisEvnt)"},
     {"#sub19(_thisEvnt)", "#sub19:_val1(_thisEvnt)"}, P1},
    {"conditions and no class", {"#set:7", "#val9:1", "#exp2:_val9:Mstr:nSrch:"}, {}, nullptr},
    {"an event list where the signature takes one",
     {"#set:7", "#evnt1:_thisEvnt.Next", "#exp1:CArticExpDel(2{_thisEvnt, _evnt1})", "#exp2:CArticExpDel(0{})"}, {},
     nullptr},
    {"an event list at a numeric position", {"#set:7", "#exp1:CArticExpDurAbs(1{_thisEvnt}, 1{_thisEvnt})"},
     {"#exp1:CArticExpDurAbs(1{_thisEvnt}, 1{_thisEvnt})"}, P1},
    {"fewer list elements than declared", {"#set:7", "#exp1:CArticExpDel(2{_thisEvnt})"},
     {"#exp1:CArticExpDel(2{_thisEvnt})"}, P1},
    {"a value in an event list", {"#set:7", "#val1:1", "#exp1:CArticExpDel(1{_val1})"},
     {"#exp1:CArticExpDel(1{_val1})"}, P1},
    {"an expression class nobody knows", {"#set:7", "#exp1:CArticExpNoSuch(1)"}, {"#exp1:CArticExpNoSuch(1)"}, P1},
    {"an expression number used twice",
     {"#set:7", "#exp1:CArticExpDel(1{_thisEvnt})", "#exp1:CArticExpDel(1{_thisEvnt})"},
     {"#exp1:CArticExpDel(1{_thisEvnt})"}, P2},
    {"only a value output may stand in expression arguments",
     {"#set:7", "#exp1:CArticExpLayerNote2(1{_thisEvnt}, 1, 2, 3, 4, 5, 6, 7, 8, 9, &_val2)"},
     {"#exp1:CArticExpLayerNote2(1{_thisEvnt}, 1, 2, 3, 4, 5, 6, 7, 8, 9, &_val2)"}, P1},
    {"a ';' inside a quoted argument cuts the line",
     {"#set:7", "#exp1:CArticExpDebug_i2(1{_thisEvnt}, \"a;b\", 1)"},
     {"#exp1:CArticExpDebug_i2(1{_thisEvnt}, \"a;b\", 1)"}, P1},
    {"later lines are still checked after faults",
     {"#set:7", "#dir:9", "#val1:1", "#val1:2", "#name:x", "#bogus:1", "#val3:_val1"},
     {"#dir:9", "#val1:2", "#bogus:1"}, P1},
    {"a fault in phase 1 skips phase 2", {"#set:7", "#dir:9", "#func1:CArticSrchBreak(_val9)"}, {"#dir:9"}, P1},
};

}  // namespace

TEST_F(RulSetTest, LoadTableReportsEveryFaultyLineOnce) {
    for (const LoadCase& c : kLoadCases) {
        CArticErr::Clear();
        const int r = Load(c.lines);
        EXPECT_EQ(r != 0, !c.faulty.empty()) << c.what;
        std::vector<std::string> expected;
        for (const char* line : c.faulty) expected.push_back(LoadDetail("7", line));
        EXPECT_EQ(Details(), expected) << c.what;
        // One error entry and one detail line per faulty line.
        EXPECT_EQ(CArticErr::GetMsgCount(), int(2 * c.faulty.size())) << c.what;
        if (c.phase) {
            EXPECT_EQ(LastFunction(), c.phase) << c.what;
        }
    }
}

TEST_F(RulSetTest, ReportHoldsCaptionMessageSetNumberAndRawLine) {
    // Before the "#set" line the set number is not known; the raw line keeps
    // its blanks and its comment, in the system's code page.
    EXPECT_NE(Load({"#dir:9  ; 方向は0から3", "#set:283", "#dir:5"}), 0);
    EXPECT_EQ(Details(), (std::vector<std::string>{LoadDetail("未定義", "#dir:9  ; 方向は0から3"),
                                                   LoadDetail("283", "#dir:5")}));
    // The texts are code-page-932 bytes.
    EXPECT_EQ(Details()[0].substr(0, 16), "\xBE\xAF\xC4\x94\xD4\x8D\x86 = \x96\xA2\x92\xE8\x8B\x60");
    CString content, cls, method, detail;
    BYTE kind = 0;
    CArticErr::Get(kind, content, cls, method, detail);
    EXPECT_EQ(kind, kArticErrKindDetail);
    EXPECT_EQ(cls, "CArticRulSet");
    const CString dialog = CArticErr::GetErrDlg()->GetAllMsg();
    EXPECT_EQ(dialog.Find("表現ﾙｰﾙの読込み中にｴﾗｰが発生しました。\r"), 0);
    EXPECT_GE(dialog.Find("指定した行の内容に誤りがあります。"), 0);
    EXPECT_GE(dialog.Find("Load (Phase-1)"), 0);
}

TEST_F(RulSetTest, HeadLinesFixNumberNameAndDirection) {
    ASSERT_EQ(Load({"#set:abc", "#set:9", "#name:vib-fast", "#name:other", "#dir:-1"}), 0);
    // The first "#set" and "#name" lines fix number and name; the sign before
    // the direction is a separator.
    EXPECT_EQ(set->GetSetNo(), 0);
    EXPECT_EQ(set->GetName(), "vib");
    EXPECT_EQ(set->GetDirection(), 1);

    ASSERT_EQ(Load({"#name:x", "#set:12"}), 0);
    EXPECT_EQ(set->GetSetNo(), 12);
}

TEST_F(RulSetTest, SetNumbersBeyondWhatANoteKeepsAreRefused) {
    // A note keeps a set's probability under set numbers up to 1048575.
    EXPECT_NE(Load({"#set:1048576", "#prob:1"}), 0);
    EXPECT_EQ(Details(), (std::vector<std::string>{LoadDetail("未定義", "#set:1048576")}));
    EXPECT_EQ(CArticErr::GetMsgCount(), 2);
    CArticErr::Clear();
    EXPECT_NE(Load({"#set:99999999999", "#prob:1"}), 0);
    CArticErr::Clear();
    // No set has a negative number: the sign is not taken for a separator.
    EXPECT_NE(Load({"#set:-1", "#prob:1"}), 0);
    EXPECT_EQ(Details(), (std::vector<std::string>{LoadDetail("未定義", "#set:-1")}));
    EXPECT_EQ(CArticErr::GetMsgCount(), 2);
    CArticErr::Clear();
    ASSERT_EQ(Load({"#set:1048575", "#prob:1"}), 0);
    EXPECT_EQ(set->GetSetNo(), 1048575);
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
}

TEST_F(RulSetTest, SetNumberAlreadyInTheProgramRaisesTheInUseFlag) {
    auto* other = new CArticRulSet(&rul, &wrk);
    other->SetSetNo(114);
    rul.AddTail(other);
    int inUse = 0;
    EXPECT_EQ(Load({"#set:114", "#prob:1"}, &inUse), 0);
    EXPECT_EQ(inUse, 1);
    inUse = 0;
    EXPECT_EQ(Load({"#set:115", "#set:114", "#prob:1"}, &inUse), 0);
    EXPECT_EQ(inUse, 0);
    // Load never clears the flag: the caller does.
    inUse = 1;
    EXPECT_EQ(Load({"#set:115"}, &inUse), 0);
    EXPECT_EQ(inUse, 1);
}

TEST_F(RulSetTest, EmptyLineListFailsWithoutReport) {
    EXPECT_EQ(Load({}), 1);
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
    EXPECT_EQ(Load({"", "; only comments"}), 0);
}

TEST_F(RulSetTest, ExvNumbersWithBasePrefixes) {
    struct ExvCase {
        const char* line;
        std::vector<int> numbers;
        bool ok;
    };
    const ExvCase cases[] = {
        {"#exv:3,011,0x1F", {3, 9, 31}, true},
        {"#exv:3,-1", {3, 1}, true},
        {"#exv:3,x", {3}, false},
        {"#exv:", {}, false},
    };
    for (const ExvCase& c : cases) {
        EXPECT_EQ(Load({"#set:1", c.line}) == 0, c.ok) << c.line;
        std::vector<int> got;
        CArticDataList* list = set->GetDataExv()->GetElmList();
        for (POSITION p = list->GetHeadPosition(); p;) got.push_back(list->GetNext(p)->GetIntData());
        EXPECT_EQ(got, c.numbers) << c.line;
    }
}

TEST_F(RulSetTest, ProbabilityLineWithExvAndInvNumbers) {
    ASSERT_EQ(Load({"#set:1", "#prob:exv3,exv011,inv4:0.5"}), 0);
    auto numbers = [](CArticDataList* list) {
        std::vector<int> v;
        for (POSITION p = list->GetHeadPosition(); p;) v.push_back(list->GetNext(p)->GetIntData());
        return v;
    };
    EXPECT_EQ(numbers(set->GetDataVal()->GetExvNoList()), (std::vector<int>{3, 9}));
    EXPECT_EQ(numbers(set->GetDataVal()->GetInvNoList()), (std::vector<int>{4}));
    EXPECT_DOUBLE_EQ(set->GetDataVal()->GetData(), 0.5);
}

TEST_F(RulSetTest, IrregularLineFormsOfTheShippedScripts) {
    // "+" between the number and the colon, and a doubled colon after the head.
    ASSERT_EQ(Load({"#set:1", "#val130:10", "#val141:7", "#val76:2", "#val146+:_val130 - (_val141 - _val76)",
                    "#val21:3", "#func6::CArticSrchValMore(_val21, 0, &_val1)", "#prob:_val1"}),
              0)
        << Details().size();
    EXPECT_DOUBLE_EQ(set->GetDataVal(146)->GetData(), 5.0);
    AddNotes({100});
    ASSERT_EQ(set->Search(notes[0]), 0);
    ASSERT_NE(set->GetSrchEvnt(6), nullptr);
    EXPECT_STREQ(set->GetSrchEvnt(6)->GetClassNameA(), "CArticSrchValMore");
    double prob = -1;
    EXPECT_EQ(set->GetDataVal(&prob), 0);
    EXPECT_DOUBLE_EQ(prob, 1.0);
}

TEST_F(RulSetTest, NestingOfParenthesesIsBounded) {
    auto nested = [](int depth) {
        return "#val2:" + std::string(size_t(depth), '(') + "_val1" + std::string(size_t(depth), ')') + "+1";
    };
    const std::string deep = nested(64);
    ASSERT_EQ(Load({"#set:1", "#val1:2", deep.c_str()}), 0);
    EXPECT_DOUBLE_EQ(set->GetDataVal(2)->GetData(), 3.0);
    const std::string tooDeep = nested(100000);
    EXPECT_NE(Load({"#set:1", "#val1:2", tooDeep.c_str()}), 0);
    EXPECT_EQ(LastFunction(), "Load (Phase-2)");
}

TEST_F(RulSetTest, TextLineKeepsTheTextUpToAColon) {
    ASSERT_EQ(Load({"#set:1", "#str1:Vib3-g02.mid", "#str2:a b:c", "#str3:\"x y\""}), 0);
    EXPECT_EQ(set->GetDataStr(1)->GetData(), "Vib3-g02.mid");
    EXPECT_EQ(set->GetDataStr(2)->GetData(), "ab");
    EXPECT_EQ(set->GetDataStr(3)->GetData(), "\"x y\"");
}

TEST_F(RulSetTest, SubroutineCallLinesMatchTheParameters) {
    AddSub(19, {"evnt"}, true);
    AddSub(20, {"str", "val"}, false);
    struct SubCase {
        const char* line;
        bool ok;
    };
    const SubCase cases[] = {
        {"#sub19:GetChordNum( _thisEvnt, &_val3)", true},  // the word after the colon is dropped
        {"#sub19:_val1(_evnt1.AllPre, &_val3)", true},     // a condition value
        {"#sub19:_val8(_thisEvnt, &_val3)", false},        // an undeclared condition
        {"#sub19(5, &_val3)", false},                      // a value where a note is expected
        {"#sub19(_thisEvnt)", false},                      // the output is missing
        {"#sub19(_thisEvnt, &_str3)", false},              // a text output for a value
        {"#sub20(\"abc\", _thisEvnt.Key)", true},
        {"#sub20(_val1, \"abc\")", false},
        {"#sub21(_thisEvnt)", false},
    };
    for (const SubCase& c : cases) {
        EXPECT_EQ(Load({"#set:1", "#val1:1", "#evnt1:_thisEvnt", c.line}) == 0, c.ok) << c.line;
    }
}
