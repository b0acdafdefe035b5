// Array variables as sets of notes: comparison, choice, intersection and
// difference.
#include <gtest/gtest.h>

#include "BuiltinFixture.h"

using namespace bitest;

namespace {
using AryTest = BuiltinTest;
using Notes = std::vector<CArticWrkEvnt*>;
}

TEST_F(AryTest, SetOperationsTable) {
    CArticWrkEvnt* x = Note(1, 0);
    CArticWrkEvnt* y = Note(2, 480);
    CArticWrkEvnt* z = Note(3, 960);
    CArticRulDataVal* out = Val(1);
    struct Cmp {
        Notes a, b;
        double want;
    };
    for (const Cmp& c : {Cmp{{x, y}, {y, x, y}, 1.0}, Cmp{{x, y}, {x}, 0.0}, Cmp{{}, {}, 0.0}, Cmp{{x}, {x, z}, 0.0}}) {
        EXPECT_EQ(Run("CArticSrchCmpAry", {Var(Ary(1, c.a)), Var(Ary(2, c.b)), Var(out)}), 0);
        EXPECT_EQ(out->GetData(), c.want) << c.a.size() << " " << c.b.size();
    }
    struct Op {
        const char* name;
        Notes a, b, want;
    };
    const Op ops[] = {
        {"CArticSrchGetDupAry", {x, y, x}, {x}, {x}},
        {"CArticSrchGetDupAry", {x, y, z}, {z, x}, {x, z}},
        {"CArticSrchGetExvAry", {x, y, x}, {y}, {x, x}},  // A without B, not the symmetric difference
        {"CArticSrchGetExvAry", {}, {y}, {}},
    };
    CArticRulDataAry* result = Ary(3, {z, z, z, z});
    for (const Op& o : ops) {
        Ary(3, {z, z, z, z});
        EXPECT_EQ(Run(o.name, {Var(Ary(1, o.a)), Var(Ary(2, o.b)), Var(result), Var(out)}), 0) << o.name;
        EXPECT_EQ(Events(result), o.want) << o.name;
        EXPECT_EQ(out->GetData(), double(o.want.size())) << o.name;
    }
}

TEST_F(AryTest, OutputMayBeAnInput) {
    CArticWrkEvnt* x = Note(1, 0);
    CArticWrkEvnt* y = Note(2, 480);
    CArticRulDataAry* a = Ary(1, {x, y, x});
    CArticRulDataVal* n = Val(1);
    EXPECT_EQ(Run("CArticSrchGetExvAry", {Var(a), Var(Ary(2, {y})), Var(a), Var(n)}), 0);
    EXPECT_EQ(Events(a), (Notes{x, x}));
    EXPECT_EQ(n->GetData(), 2.0);
    CArticRulDataAry* b = Ary(2, {y, x});
    EXPECT_EQ(Run("CArticSrchGetDupAry", {Var(Ary(1, {x, y})), Var(b), Var(b), Var(n)}), 0);
    EXPECT_EQ(Events(b), (Notes{x, y}));
}

TEST_F(AryTest, ValueArrayIsRefusedAndReported) {
    CArticWrkEvnt* x = Note(1, 0);
    CArticRulDataAry* result = Ary(3, {x});
    CArticRulDataVal* n = Val(1, 5.0);
    EXPECT_EQ(Run("CArticSrchGetDupAry", {Var(VAry(1)), Var(Ary(2, {x})), Var(result), Var(n)}), 1);
    EXPECT_EQ(Recorded(), "vary1");
    EXPECT_EQ(n->GetData(), 0.0);
    EXPECT_EQ(Events(result), (Notes{x}));
}

TEST_F(AryTest, SelAryCopiesTheChosenArray) {
    CArticWrkEvnt* x = Note(1, 0);
    CArticWrkEvnt* y = Note(2, 480);
    CArticRulDataAry* a = Ary(1, {x});
    CArticRulDataAry* b = Ary(2, {y, x});
    CArticRulDataAry* out = Ary(3, {y});
    EXPECT_EQ(Run("CArticSrchSelAry", {Num(-1), Var(a), Var(b), Var(out)}), 0);
    EXPECT_EQ(Events(out), (Notes{y, x}));
    EXPECT_EQ(Run("CArticSrchSelAry", {Num(0), Var(a), Var(b), Var(out)}), 0);
    EXPECT_EQ(Events(out), (Notes{x}));
    // An unreadable switch leaves the output and stops with 0.
    Ary(3, {y});
    EXPECT_EQ(Run("CArticSrchSelAry", {Member(Ev(1), kElmKey), Var(a), Var(b), Var(out)}, x), 0);
    EXPECT_EQ(Events(out), (Notes{y}));
    EXPECT_EQ(Run("CArticSrchSelAry", {Text("sw"), Var(a), Var(b), Var(out)}, x), 0);
    EXPECT_EQ(Recorded(), "sw");
    EXPECT_EQ(Run("CArticSrchSelAry", {Num(1), Var(a), Var(VAry(4)), Var(out)}, x), 1);
    EXPECT_EQ(Events(out), (Notes{y}));
}
