// Bits, powers, random values, whole and fractional parts, remainders,
// selections and the copy.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "BuiltinFixture.h"
#include "platform/Random.h"

using namespace bitest;

namespace {
using CalcTest = BuiltinTest;

struct CalcCase {
    const char* name;
    std::vector<double> in;
    double want;
    int result;
    const char* recorded;
};
}  // namespace

TEST_F(CalcTest, ArithmeticTable) {
    const double inf = std::numeric_limits<double>::infinity();
    const CalcCase cases[] = {
        {"CArticSrchGetBit", {5, 2}, 1.0, 0, ""},
        {"CArticSrchGetBit", {5, 1}, 0.0, 0, ""},
        {"CArticSrchGetBit", {5, 32}, 0.0, 0, ""},
        {"CArticSrchGetBit", {5, -1}, 0.0, 0, ""},
        {"CArticSrchGetBit", {-2147483648.0, 31}, 1.0, 0, ""},  // a slot's sign bit
        {"CArticSrchPutBit", {5, 0, 0}, 4.0, 0, ""},
        {"CArticSrchPutBit", {5, 40, 1}, 5.0, 0, ""},
        {"CArticSrchPutBit", {0, 31, 1}, 2147483648.0, 0, ""},
        {"CArticSrchPutBit", {-1, 0, 0}, 4294967294.0, 0, ""},
        {"CArticSrchPutBit", {0, 3, 0.5}, 0.0, 0, ""},  // on truncates to 0
        {"CArticSrchPow", {2, 10}, 1024.0, 0, ""},
        {"CArticSrchPow", {0, -1}, inf, 0, ""},
        {"CArticSrchRem", {7, 0}, 0.0, 0, ""},
        {"CArticSrchRem", {-7, 3}, -1.0, 0, ""},
        {"CArticSrchRem", {7.9, 2.9}, 1.0, 0, ""},
        {"CArticSrchRem", {-2147483648.0, -1}, 0.0, 0, ""},
        {"CArticSrchInt", {-2.7}, -2.0, 0, ""},
        {"CArticSrchInt", {inf}, 0.0, 0, ""},
        {"CArticSrchFrac", {-2.75}, -0.75, 0, ""},
        {"CArticSrchCopy", {3.25}, 3.25, 0, ""},
        {"CArticSrchSelType", {0, 3, 5}, 5.0, 0, ""},
        {"CArticSrchSelType", {1, 3, 5}, 3.0, 0, ""},
        {"CArticSrchSelType", {2, 0, 7}, 7.0, 0, ""},
        {"CArticSrchSelType", {2, 4, 7}, 4.0, 0, ""},
        {"CArticSrchSelType", {3, 1, 2}, 0.0, 1, "3"},
        {"CArticSrchSelSw", {0.5, 10, 20}, 20.0, 0, ""},
        {"CArticSrchSelSw", {0, 10, 20}, 10.0, 0, ""},
        {"CArticSrchSelSw", {-1, 10, 20}, 20.0, 0, ""},
    };
    CArticRulDataVal* out = Val(1);
    for (const CalcCase& c : cases) {
        out->SetData(-99.0);
        ElmList args{};
        for (double v : c.in) args.list.AddTail(Num(v));
        args.list.AddTail(Var(out));
        CExString name(c.name);
        CArticSrchEvnt* b = nullptr;
        ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, name, 2, &args.list, &b), 0);
        made.emplace_back(b);
        EXPECT_EQ(Run(b), c.result) << c.name << " " << c.in[0];
        EXPECT_EQ(out->GetData(), c.want) << c.name << " " << c.in[0];
        EXPECT_EQ(Recorded(), c.recorded) << c.name << " " << c.in[0];
    }
}

TEST_F(CalcTest, EarlyStoppersLeaveTheOutputAndRecordTheInput) {
    CArticRulDataVal* out = Val(1, 42.0);
    struct Case {
        const char* name;
        int bad;  // the argument that cannot be read
        int inputs;
    };
    const Case cases[] = {{"CArticSrchRnd", 0, 1},     {"CArticSrchInt", 0, 1},    {"CArticSrchCopy", 0, 1},
                          {"CArticSrchRem", 1, 2},     {"CArticSrchSelType", 2, 3}, {"CArticSrchSelSw", 0, 3}};
    for (const Case& c : cases) {
        ElmList args{};
        for (int k = 0; k < c.inputs; ++k) args.list.AddTail(k == c.bad ? Text("bad") : Num(1));
        args.list.AddTail(Var(out));
        CExString name(c.name);
        CArticSrchEvnt* b = nullptr;
        ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, name, 2, &args.list, &b), 0);
        made.emplace_back(b);
        EXPECT_EQ(Run(b), 0) << c.name;
        EXPECT_EQ(out->GetData(), 42.0) << c.name;
        EXPECT_EQ(Recorded(), "bad") << c.name;
    }
    // The common protocol of Frac writes 0.0 and returns 1.
    EXPECT_EQ(Run("CArticSrchFrac", {Text("bad"), Var(out)}), 1);
    EXPECT_EQ(out->GetData(), 0.0);
}

TEST_F(CalcTest, SelSwFailsOnEitherValueButWritesTheSelectedOne) {
    CArticWrkEvnt* n = Note(1, 0);
    CArticRulDataVal* out = Val(2);
    EXPECT_EQ(Run("CArticSrchSelSw", {Num(0), Num(10), Member(Ev(3), kElmKey), Var(out)}, n), 1);
    EXPECT_EQ(out->GetData(), 10.0);
    EXPECT_EQ(Recorded(), "");
    EXPECT_EQ(Run("CArticSrchSelSw", {Num(1), Num(10), Member(Ev(3), kElmKey), Var(out)}, n), 1);
    EXPECT_EQ(out->GetData(), 0.0);
}

TEST_F(CalcTest, SelEvntSwPicksANote) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* b = Note(2, 480);
    CArticRulDataEvnt* out = Ev(9);
    EXPECT_EQ(Run("CArticSrchSelEvntSw", {Num(1), E(Ev(1, a)), E(Ev(2, b)), Var(out)}, a), 0);
    EXPECT_EQ(out->GetEvnt(0), b);
    EXPECT_EQ(Run("CArticSrchSelEvntSw", {Num(0), E(Ev(1, a)), E(Ev(2, b)), Var(out)}, a), 0);
    EXPECT_EQ(out->GetEvnt(0), a);
    EXPECT_EQ(Run("CArticSrchSelEvntSw", {Num(0), E(Ev(3)), E(Ev(2, b)), Var(out)}, a), 1);
    EXPECT_EQ(out->GetEvnt(0), nullptr);
    EXPECT_EQ(ErrFlag(a), 0);
}

TEST_F(CalcTest, RndSpansMinusToPlusRangeAndAlwaysDraws) {
    struct Case {
        int draw;
        double want;
    };
    CArticRulDataVal* out = Val(1);
    for (const Case& c : {Case{0, -3.0}, Case{16384, 0.0}, Case{32767, 3.0}, Case{8192, -1.5}}) {
        SetRandomHook([&c] { return c.draw; });
        EXPECT_EQ(Run("CArticSrchRnd", {Num(-3), Var(out)}), 0);
        EXPECT_EQ(out->GetData(), c.want) << c.draw;
    }
    int draws = 0;
    SetRandomHook([&draws] {
        ++draws;
        return 777;
    });
    out->SetData(5.0);
    EXPECT_EQ(Run("CArticSrchRnd", {Num(0), Var(out)}), 0);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_FALSE(std::signbit(out->GetData()));
    EXPECT_EQ(draws, 1);
    SetRandomHook(nullptr);
}

TEST_F(CalcTest, CopyFreezesAnArithmeticValue) {
    CArticRulDataVal* src = Val(1);
    src->SetRulElmList(List({Num(2, kSignMul), Num(3)}));
    CArticRulDataVal* out = Val(2);
    EXPECT_EQ(Run("CArticSrchCopy", {Var(src), Var(out)}), 0);
    EXPECT_EQ(out->GetData(), 6.0);
    src->SetData(1.0);
    EXPECT_EQ(out->GetData(), 6.0);
}
