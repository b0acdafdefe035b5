// Value comparisons, the clamp, the hexadecimal text and the conversions
// between tick times and bar/beat/tick positions.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "BuiltinFixture.h"

using namespace bitest;

namespace {
using ValueTest = BuiltinTest;
}

TEST_F(ValueTest, ComparisonsTable) {
    struct Case {
        const char* name;
        std::vector<double> in;
        double want;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {"CArticSrchValCmp", {3, 5, -2}, 1.0},     {"CArticSrchValCmp", {2.999, 5, -2}, 0.0},
        {"CArticSrchValCmp", {7, 5, 2}, 1.0},      {"CArticSrchValCmp", {7.001, 5, 2}, 0.0},
        {"CArticSrchValCmp", {nan, 5, 2}, 0.0},    {"CArticSrchValMore", {2, 2, 0}, 0.0},
        {"CArticSrchValMore", {2.5, 2, 0}, 1.0},   {"CArticSrchValLess", {2, 2, 0}, 0.0},
        {"CArticSrchValLess", {-3, 2, 0}, 1.0},    {"CArticSrchValMore", {nan, 2, 0}, 0.0},
        {"CArticSrchLim", {7, 10, 5}, 7.0},        {"CArticSrchLim", {12, 5, 10}, 10.0},
        {"CArticSrchLim", {3, 5, 10}, 5.0},        {"CArticSrchLim", {6, 5, 10}, 6.0},
    };
    CArticRulDataVal* out = Val(1);
    for (const Case& c : cases) {
        out->SetData(-9.0);
        const bool three = std::string(c.name) != "CArticSrchValMore" && std::string(c.name) != "CArticSrchValLess";
        int r = three ? Run(c.name, {Num(c.in[0]), Num(c.in[1]), Num(c.in[2]), Var(out)})
                      : Run(c.name, {Num(c.in[0]), Num(c.in[1]), Var(out)});
        EXPECT_EQ(r, 0) << c.name << " " << c.in[0];
        EXPECT_EQ(out->GetData(), c.want) << c.name << " " << c.in[0];
    }
}

TEST_F(ValueTest, FailedInputsWriteTheFailureValue) {
    CArticWrkEvnt* n = Note(1, 0);
    CArticRulDataVal* out = Val(1);
    // Lim keeps x as read when a bound fails.
    EXPECT_EQ(Run("CArticSrchLim", {Num(7), Member(Ev(2), kElmKey), Num(10), Var(out)}, n), 1);
    EXPECT_EQ(out->GetData(), 7.0);
    EXPECT_EQ(Run("CArticSrchLim", {Member(Ev(2), kElmKey), Num(5), Num(10), Var(out)}, n), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    out->SetData(4.0);
    EXPECT_EQ(Run("CArticSrchValCmp", {Num(1), Text("x"), Num(0), Var(out)}, n), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(Recorded(), "x");
}

TEST_F(ValueTest, HexTextTable) {
    struct Case {
        double v, bytes;
        const char* text;
        const char* recorded;
        int result;
    };
    const Case cases[] = {
        {255, 1, "ff", "", 0},         {10, 2, "000a", "", 0},      {0, 1, "00", "", 0},
        {300, 1, "ff", "str1", 1},     {-1, 1, "", "-1", 1},        {1, 65, "", "65", 1},
        {255, 9, "0000000000000000ff", "", 0},
        {1, 0.5, "", "0", 1},          {65535.9, 2, "ffff", "", 0}, {4294967295.0, 4, "7fffffff", "str1", 1},
        {1e300, 8, "000000007fffffff", "str1", 1},
    };
    CArticRulDataStr* out = Str(1);
    for (const Case& c : cases) {
        EXPECT_EQ(Run("CArticSrchValToHexStr", {Num(c.v), Num(c.bytes), Var(out)}), c.result) << c.v;
        EXPECT_EQ(out->GetData(), c.text) << c.v << " " << c.bytes;
        EXPECT_EQ(Recorded(), c.recorded) << c.v << " " << c.bytes;
    }
    // The widest text: 64 bytes give 128 digits, the largest value padded.
    EXPECT_EQ(Run("CArticSrchValToHexStr", {Num(1), Num(64.9), Var(out)}), 0);
    EXPECT_EQ(out->GetData(), std::string(127, '0') + "1");
    EXPECT_EQ(Run("CArticSrchValToHexStr", {Num(1e300), Num(64), Var(out)}), 1);
    EXPECT_EQ(out->GetData(), std::string(120, '0') + "7fffffff");
    EXPECT_EQ(Recorded(), "str1");
}

TEST_F(ValueTest, MeasurePartsOfAPositionText) {
    struct Case {
        const char* name;
        const char* text;
        double want;
        int result;
    };
    const Case cases[] = {
        {"CArticSrchMeasToBeat", "4/3/240", 3, 0}, {"CArticSrchMeasToTick", "4/3/240", 240, 0},
        {"CArticSrchMeasToMeas", "0x10/1/0", 16, 0}, {"CArticSrchMeasToMeas", "010/1/0", 8, 0},
        {"CArticSrchMeasToBeat", "4/3", 0, 1},     {"CArticSrchMeasToMeas", "4/-3/0", 0, 1},
        {"CArticSrchMeasToTick", "4/3/2x", 0, 1},
    };
    CArticRulDataVal* out = Val(1);
    for (const Case& c : cases) {
        out->SetData(-1.0);
        EXPECT_EQ(Run(c.name, {Var(Str(2, c.text)), Var(out)}), c.result) << c.text;
        EXPECT_EQ(out->GetData(), c.want) << c.name << " " << c.text;
        EXPECT_EQ(Recorded(), "") << c.text;
    }
    // A number where the text belongs is a recorded failure.
    EXPECT_EQ(Run("CArticSrchMeasToMeas", {Num(4), Var(out)}), 1);
    EXPECT_EQ(Recorded(), "4");
}

TEST_F(ValueTest, TimeToPositionTextAndBack) {
    CArticRulDataStr* text = Str(1, "kept");
    struct Case {
        double time;
        const char* text;
        int result;
    };
    const Case cases[] = {{0, "1/1/0", 0}, {1920 + 480 + 120, "2/2/120", 0}, {479.9, "1/1/479", 0}, {-5, "", 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(Run("CArticSrchTimeToMeas", {Num(c.time), Var(text)}), c.result) << c.time;
        EXPECT_EQ(text->GetData(), c.text) << c.time;
        EXPECT_EQ(Recorded(), "");
    }

    CArticRulDataVal* out = Val(1, -1);
    CArticWrkEvnt* onBar = Note(1, 1920);
    CArticWrkEvnt* inBar = Note(2, 2000);
    EXPECT_EQ(Run("CArticSrchTimeFromMeas", {E(This()), Var(out)}, onBar), 0);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(Run("CArticSrchTimeFromMeas", {E(This()), Var(out)}, inBar), 0);
    EXPECT_EQ(out->GetData(), 80.0);
    EXPECT_EQ(Run("CArticSrchTimeFromMeas", {E(Ev(3)), Var(out)}, inBar), 1);
    EXPECT_EQ(out->GetData(), 0.0);
}
