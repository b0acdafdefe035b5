#include <gtest/gtest.h>

#include "RulesFixture.h"
#include "engine/rules/ArticRulUtil.h"

using namespace rultest;

namespace {

struct DivCase {
    const char* token;
    int rc;
    const char* name;
    int number;
    const char* member;
    int memberNum;
    double value;
    const char* str;
    int kind;
};

// Worked out by hand from the token grammar.
const DivCase kDivCases[] = {
    {"$1F", 0, "", -1, "", -1, 31.0, "", 1},
    {"$", 1},
    {"$1G", 1},
    {"12", 0, "", -1, "", -1, 12.0, "", 1},
    {"-3", 0, "", -1, "", -1, -3.0, "", 1},
    {"+0.5", 0, "", -1, "", -1, 0.5, "", 1},
    {".25", 0, "", -1, "", -1, 0.25, "", 1},
    {"1-", 1},
    {"3+4", 1},
    {"_val3", 0, "val", 3, "", -1, 0.0, "", 2},
    {"_val010", 0, "val", 8, "", -1, 0.0, "", 2},  // a leading 0 reads as octal
    {"_val08", 1},
    {"_val-1", 1},
    {"__val1", 1},
    {"&val1", 1},
    {"&_val1", 0, "val", 1, "", -1, 0.0, "", 4},
    {"&_evnt3", 0, "evnt", 3, "", -1, 0.0, "", 4},
    {"_thisEvnt", 0, "thisEvnt", -1, "", -1, 0.0, "", 2},
    {"_thisEvnt.Prob", 1},
    {"_thisEvnt.Prob3", 0, "thisEvnt", -1, "Prob", 3, 0.0, "", 2},
    {"_evnt2.Cre127", 0, "evnt", 2, "Cre", 127, 0.0, "", 2},
    {"_evnt12.Time", 0, "evnt", 12, "Time", -1, 0.0, "", 2},
    {"_evnt1.WrkPre", 0, "evnt", 1, "WrkPre", -1, 0.0, "", 2},
    {"2/1/0", 0, "", -1, "", -1, 0.0, "2/1/0", 1},
    {"\"Key\"", 0, "", -1, "", -1, 0.0, "\"Key\"", 1},
    {"\"a1\"7", 0, "", -1, "", -1, 0.0, "\"a1\"", 1},  // the digits after the quote are dropped
    {"Mstr", 0, "Mstr", -1, "", -1, 0.0, "", 1},
    {"val12", 0, "val", 12, "", -1, 0.0, "", 1},
    {"", 1},
};

// The parts a token was taken apart into, against the table's row.
void ExpectDivParts(const DivCase& c, const CString& name, int number, const CString& member, int memberNum,
                    double value, const CString& str, int kind) {
    EXPECT_EQ(name, c.name) << c.token;
    EXPECT_EQ(number, c.number) << c.token;
    EXPECT_EQ(member, c.member) << c.token;
    EXPECT_EQ(memberNum, c.memberNum) << c.token;
    EXPECT_DOUBLE_EQ(value, c.value) << c.token;
    EXPECT_EQ(str, c.str) << c.token;
    EXPECT_EQ(kind, c.kind) << c.token;
}

}  // namespace

TEST(DivParam, TokenTable) {
    for (const DivCase& c : kDivCases) {
        CExString token(c.token), name, member, str;
        int number = 99, memberNum = 99, kind = 99;
        double value = 99.0;
        int rc = CArticRulUtil::DivParam(token, name, number, member, memberNum, value, str, kind);
        ASSERT_EQ(rc, c.rc) << c.token;
        if (rc != 0) continue;
        ExpectDivParts(c, name, number, member, memberNum, value, str, kind);
    }
}

// The loaders' form reads the same parts and leaves its token whole, where
// DivParam cuts a member number off (the rest as GetMemberNum leaves it).
TEST(DivParam, DivOperandGivesTheSamePartsAndKeepsTheToken) {
    for (const DivCase& c : kDivCases) {
        const CString token(c.token);
        CExString name, member, str;
        int number = 99, memberNum = 99, kind = 99;
        double value = 99.0;
        ASSERT_EQ(CArticRulUtil::DivOperand(token, name, number, member, memberNum, value, str, kind), c.rc)
            << c.token;
        EXPECT_EQ(token, c.token);
        if (c.rc != 0) continue;
        ExpectDivParts(c, name, number, member, memberNum, value, str, kind);
    }
    CExString cut("_evnt2.Cre127"), name, member, str;
    int number, memberNum, kind;
    double value;
    ASSERT_EQ(CArticRulUtil::DivParam(cut, name, number, member, memberNum, value, str, kind), 0);
    EXPECT_EQ(cut, "_evnt2.Cre");
}

TEST(GetMemberNum, CutsTrailingNumberAfterPoint) {
    struct Case {
        const char* token;
        int rc;
        int memberNum;
        const char* rest;
    } cases[] = {
        {"_evnt1.Prob12", 1, 12, "_evnt1.Prob"},
        {"_evnt1.Prob010", 1, 8, "_evnt1.Prob"},
        {"_evnt1.Prob08", 0, 77, "_evnt1.Prob08"},  // not read completely: unchanged
        {"-0.5", 0, -1, "-0.5"},                    // a plain number
        {".5", 0, 77, ".5"},                        // point in first place
        {"_val12", 0, 77, "_val12"},                // no point
        {"_evnt1.Key", 0, 77, "_evnt1.Key"},
    };
    for (const Case& c : cases) {
        CExString token(c.token);
        int memberNum = 77;
        EXPECT_EQ(CArticRulUtil::GetMemberNum(token, memberNum), c.rc) << c.token;
        EXPECT_EQ(memberNum, c.memberNum) << c.token;
        EXPECT_EQ(token, c.rest) << c.token;
    }
}

namespace {

struct MaskFixture : SetFixture {
    // Takes the token apart and classifies it against the set.
    int Mask(const char* text, int define = 0, int* rc = nullptr) {
        CExString token(text), name, member, str;
        int number, memberNum, kind;
        double value;
        EXPECT_EQ(CArticRulUtil::DivParam(token, name, number, member, memberNum, value, str, kind), 0) << text;
        int mask = -1;
        int r = CArticRulUtil::GetArgType(set, name, number, member, memberNum, value, str, kind, define, mask);
        if (rc) *rc = r;
        return mask;
    }
};

}  // namespace

TEST_F(MaskFixture, MasksOfOperands) {
    NewVal(1);
    NewVal(8);
    NewEvnt(2);
    set->SetDataStr(new CArticRulDataStr(set, 1));
    set->SetDataAry(new CArticRulDataAry(set, 1));
    set->SetDataVAry(new CArticRulDataVAry(set, 1));
    struct Case {
        const char* token;
        int mask;
    } cases[] = {
        {"$1F", ARG_NUM},
        {"-0.5", ARG_NUM},
        {"2/1/0", ARG_STR},
        {"\"txt\"", ARG_STR},
        {"_val1", ARG_VAL},
        {"_val010", ARG_VAL},  // value variable 8
        {"_val9", 0},  // undeclared: passes every position
        {"_str1", ARG_STRVAR},
        {"_ary1", ARG_ARY},
        {"_vary1", ARG_VARY},
        {"_exv1", 0},
        {"_thisEvnt", ARG_EVNT},
        {"_evnt7.AllPre", ARG_EVNT},  // event variables are not looked up
        {"_thisEvnt.Prob3", ARG_MEMBER},
        {"_evnt2.Key", ARG_MEMBER},
        {"_evnt2.Foo", 0},
        {"&_val5", ARG_VAL_OUT},
        {"&_str5", ARG_STRVAR_OUT},
        {"&_ary5", ARG_ARY_OUT},
        {"&_vary5", ARG_VARY_OUT},
        {"&_evnt5", ARG_EVNT_OUT},
        {"&_exv5", 0},
        {"Mstr", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(Mask(c.token), c.mask) << c.token;
    // Without define nothing was declared.
    EXPECT_EQ(set->GetDataVal(5), nullptr);
}

TEST_F(MaskFixture, OutputDeclaresOnceAndRefusesTheSecond) {
    int rc = -1;
    EXPECT_EQ(Mask("&_val5", 1, &rc), ARG_VAL_OUT);
    EXPECT_EQ(rc, 0);
    CArticRulDataVal* v = set->GetDataVal(5);
    ASSERT_NE(v, nullptr);
    EXPECT_STREQ(v->GetClassNameA(), "CArticRulDataVal");
    EXPECT_EQ(v->GetDataNo(), 5u);
    EXPECT_EQ(Mask("&_val5", 1, &rc), ARG_VAL_OUT);
    EXPECT_EQ(rc, 1);  // declared twice
    EXPECT_EQ(Mask("_val5"), ARG_VAL);

    EXPECT_EQ(Mask("&_evnt4", 1, &rc), ARG_EVNT_OUT);
    ASSERT_NE(set->GetDataEvnt(4), nullptr);
    EXPECT_EQ(set->GetDataEvnt(4)->GetEvnt(0), nullptr);
    EXPECT_EQ(Mask("&_ary2", 1), ARG_ARY_OUT);
    EXPECT_STREQ(set->GetDataAry(2)->GetClassNameA(), "CArticRulDataAry");
    EXPECT_EQ(Mask("&_vary2", 1), ARG_VARY_OUT);
    EXPECT_EQ(Mask("&_str2", 1), ARG_STRVAR_OUT);
    EXPECT_NE(set->GetDataStr(2), nullptr);
}

TEST(GetArgType, WithoutSetOnlyConstantsCount) {
    struct Case {
        const char* token;
        int mask;
    } cases[] = {{"5", ARG_NUM}, {"\"a\"", ARG_STR}, {"_val1", 0}, {"&_val1", 0}, {"_thisEvnt", 0}};
    for (const Case& c : cases) {
        CExString token(c.token), name, member, str;
        int number, memberNum, kind, mask = -1;
        double value;
        ASSERT_EQ(CArticRulUtil::DivParam(token, name, number, member, memberNum, value, str, kind), 0);
        EXPECT_EQ(CArticRulUtil::GetArgType(nullptr, name, number, member, memberNum, value, str, kind, 1, mask), 0);
        EXPECT_EQ(mask, c.mask) << c.token;
    }
}

TEST(RulElm, AssignmentDeepCopiesNestedListAndKeepsOwnWhenSourceHasNone) {
    CArticRulElm src;
    src.Set(nullptr, kElmPlain, kSignMul, 0, 2.5, "\"t\"", List({Num(1), Num(2)}));
    CArticRulElm dst;
    dst = src;
    EXPECT_EQ(dst.GetSign(), kSignMul);
    EXPECT_EQ(dst.GetPlus(), 0);
    EXPECT_EQ(dst.GetData(), 2.5);
    EXPECT_EQ(dst.GetStrData(), "\"t\"");
    ASSERT_NE(dst.GetRulElmList(), nullptr);
    EXPECT_NE(dst.GetRulElmList(), src.GetRulElmList());
    EXPECT_EQ(dst.GetRulElmList()->GetCount(), 2);
    EXPECT_NE(dst.GetRulElmList()->GetHead(), src.GetRulElmList()->GetHead());

    CArticRulElm plain;
    CArticRulElmList* own = dst.GetRulElmList();
    dst = plain;
    EXPECT_EQ(dst.GetRulElmList(), own);
}

TEST(RulUtil, GrownSizeStepsOfFive) {
    EXPECT_EQ(CArticRulUtil::GrownSize(0, 7), 10);
    EXPECT_EQ(CArticRulUtil::GrownSize(10, 10), 15);
    EXPECT_EQ(CArticRulUtil::GrownSize(0, 0), 5);
    EXPECT_EQ(CArticRulUtil::GrownSize(20, 3), 20);
}
