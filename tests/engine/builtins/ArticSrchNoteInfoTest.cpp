// Reading, writing, bits and comparisons of the note-information slots.
#include <gtest/gtest.h>

#include <cmath>

#include "BuiltinFixture.h"

using namespace bitest;

namespace {
using NoteInfoTest = BuiltinTest;
}

TEST_F(NoteInfoTest, ReadsTruncateTheIndexAndRefuseOutOfRangeSilently) {
    CArticWrkEvnt* n = Note(1, 0);
    for (int i = 0; i < 10; ++i) n->SetNoteInfo(i, 100 + i);
    struct Case {
        double idx, want;
        int result;
    };
    const Case cases[] = {{2.9, 102, 0}, {-0.5, 100, 0}, {9, 109, 0}, {10, 0, 1}, {-1, 0, 1}, {std::nan(""), 0, 1}};
    CArticRulDataVal* out = Val(1);
    for (const Case& c : cases) {
        out->SetData(-1.0);
        EXPECT_EQ(Run("CArticSrchGetNoteInfo", {E(This()), Num(c.idx), Var(out)}, n), c.result) << c.idx;
        EXPECT_EQ(out->GetData(), c.want) << c.idx;
        EXPECT_EQ(Recorded(), "") << c.idx;
    }
    // Switched off or out of range, the Type variant succeeds with 0.0.
    EXPECT_EQ(Run("CArticSrchGetNoteInfoType", {Num(0), E(This()), Num(2), Var(out)}, n), 0);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(Run("CArticSrchGetNoteInfoType", {Num(-1), E(This()), Num(2), Var(out)}, n), 0);
    EXPECT_EQ(out->GetData(), 102.0);
    EXPECT_EQ(Run("CArticSrchGetNoteInfoType", {Num(1), E(This()), Num(12), Var(out)}, n), 0);
    EXPECT_EQ(out->GetData(), 0.0);
    // The next note of the last note: 0.0, result 1, no report.
    out->SetData(-1.0);
    EXPECT_EQ(Run("CArticSrchGetNoteInfo", {E(This(), kElmNext), Num(2), Var(out)}, n), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(Recorded(), "");
}

TEST_F(NoteInfoTest, WritesTruncateAndClampTheValue) {
    CArticWrkEvnt* n = Note(1, 0);
    struct Case {
        double v;
        LONG slot;
        int result;
    };
    const Case cases[] = {{-7.8, -7, 0},       {1e10, 2147483647, 0},          {-1e10, -2147483647 - 1, 0},
                          {2147483647.5, 2147483647, 0}, {std::nan(""), 55, 1}, {12.0, 12, 0}};
    for (const Case& c : cases) {
        n->SetNoteInfo(3, 55);
        EXPECT_EQ(Run("CArticSrchPutNoteInfo", {E(This()), Num(3), Num(c.v)}, n), c.result) << c.v;
        EXPECT_EQ(n->GetNoteInfo(3), c.slot) << c.v;
    }
    n->SetNoteInfo(3, 55);
    EXPECT_EQ(Run("CArticSrchPutNoteInfo", {E(This()), Num(10), Num(1)}, n), 1);
    EXPECT_EQ(Run("CArticSrchPutNoteInfoType", {Num(0), E(This()), Num(3), Num(1)}, n), 0);
    EXPECT_EQ(n->GetNoteInfo(3), 55);
    EXPECT_EQ(Run("CArticSrchPutNoteInfoType", {Num(1), E(This()), Num(-1), Num(1)}, n), 0);
    EXPECT_EQ(Run("CArticSrchPutNoteInfoType", {Num(-1), E(This()), Num(3), Num(8)}, n), 0);
    EXPECT_EQ(n->GetNoteInfo(3), 8);
    EXPECT_EQ(Recorded(), "");
    // A value that cannot be read stores nothing and is reported.
    EXPECT_EQ(Run("CArticSrchPutNoteInfo", {E(This()), Num(3), Text("v")}, n), 1);
    EXPECT_EQ(n->GetNoteInfo(3), 8);
    EXPECT_EQ(Recorded(), "v");
}

TEST_F(NoteInfoTest, BitsOfASlot) {
    CArticWrkEvnt* n = Note(1, 0);
    n->SetNoteInfo(4, 5);
    CArticRulDataVal* out = Val(1);
    struct Case {
        double bit, want;
        int result;
    };
    for (const Case& c : {Case{2, 1.0, 0}, Case{1, 0.0, 0}, Case{0, 1.0, 0}, Case{32, 0.0, 1}, Case{-1, 0.0, 1}}) {
        out->SetData(-1.0);
        EXPECT_EQ(Run("CArticSrchGetNoteInfoBit", {E(This()), Num(4), Num(c.bit), Var(out)}, n), c.result) << c.bit;
        EXPECT_EQ(out->GetData(), c.want) << c.bit;
        EXPECT_EQ(Recorded(), "");
    }
    EXPECT_EQ(Run("CArticSrchGetNoteInfoBitType", {Num(0), E(This()), Num(4), Num(2), Var(out)}, n), 0);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(Run("CArticSrchGetNoteInfoBitType", {Num(1), E(This()), Num(4), Num(40), Var(out)}, n), 0);
    EXPECT_EQ(Run("CArticSrchGetNoteInfoBitType", {Num(1), E(This()), Num(4), Num(2), Var(out)}, n), 0);
    EXPECT_EQ(out->GetData(), 1.0);

    n->SetNoteInfo(5, 0);
    EXPECT_EQ(Run("CArticSrchPutNoteInfoBit", {E(This()), Num(5), Num(31), Num(1)}, n), 0);
    EXPECT_EQ(n->GetNoteInfo(5), -2147483647 - 1);
    EXPECT_EQ(Run("CArticSrchPutNoteInfoBit", {E(This()), Num(4), Num(0), Num(0)}, n), 0);
    EXPECT_EQ(n->GetNoteInfo(4), 4);
    EXPECT_EQ(Run("CArticSrchPutNoteInfoBit", {E(This()), Num(4), Num(32), Num(1)}, n), 1);
    EXPECT_EQ(Run("CArticSrchPutNoteInfoBitType", {Num(0), E(This()), Num(4), Num(3), Num(1)}, n), 0);
    EXPECT_EQ(n->GetNoteInfo(4), 4);
    EXPECT_EQ(Run("CArticSrchPutNoteInfoBitType", {Num(2), E(This()), Num(4), Num(3), Num(1)}, n), 0);
    EXPECT_EQ(n->GetNoteInfo(4), 12);
    EXPECT_EQ(Run("CArticSrchPutNoteInfoBitType", {Num(2), E(This()), Num(4), Num(33), Num(1)}, n), 0);
    EXPECT_EQ(n->GetNoteInfo(4), 12);
}

TEST_F(NoteInfoTest, SlotComparisons) {
    CArticWrkEvnt* n = Note(1, 0);
    n->SetNoteInfo(1, 480);
    CArticRulDataVal* out = Val(1);
    struct Case {
        const char* name;
        double c, tol, want;
    };
    const Case cases[] = {
        {"CArticSrchNoteInfoValCmp", 500, -20, 1.0}, {"CArticSrchNoteInfoValCmp", 500, 19, 0.0},
        {"CArticSrchNoteInfoValMore", 480, 0, 0.0},  {"CArticSrchNoteInfoValLess", 480, 0, 0.0},
        {"CArticSrchNoteInfoValMore", 479.5, 0, 1.0}, {"CArticSrchNoteInfoValLess", 480.5, 0, 1.0},
    };
    for (const Case& c : cases) {
        out->SetData(-1.0);
        const bool cmp = std::string(c.name) == "CArticSrchNoteInfoValCmp";
        int r = cmp ? Run(c.name, {E(This()), Num(1), Num(c.c), Num(c.tol), Var(out)}, n)
                    : Run(c.name, {E(This()), Num(1), Num(c.c), Var(out)}, n);
        EXPECT_EQ(r, 0) << c.name << " " << c.c;
        EXPECT_EQ(out->GetData(), c.want) << c.name << " " << c.c;
    }
    out->SetData(-1.0);
    EXPECT_EQ(Run("CArticSrchNoteInfoValMore", {E(This()), Num(11), Num(0), Var(out)}, n), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(Recorded(), "");
}
