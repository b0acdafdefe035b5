#include "platform/Numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

TEST(ParseLong, Table) {
    struct Case { const char* text; int base; int32_t value; size_t consumed; };
    const Case cases[] = {
        {"2147483648", 10, 2147483647, 10},   {"-2147483649", 10, INT32_MIN, 11},
        {"-2147483648", 10, INT32_MIN, 11},   {"99999999999999999999", 10, 2147483647, 20},
        {"0x10", 0, 16, 4},                   {"010", 0, 8, 3},
        {"  +12abc", 10, 12, 5},              {"abc", 10, 0, 0},
        {"", 0, 0, 0},                        {"-", 10, 0, 0},
        {"0x", 0, 0, 1},                      {"0xg", 16, 0, 1},   // "0" is the number
        {"  -0x1F", 16, -31, 7},              {"09", 0, 0, 1},     // octal stops at 9
        {"z", 36, 35, 1},                     {"12", 1, 0, 0},     // no such base
        {"\t\n7", 10, 7, 3},
    };
    for (const auto& c : cases) {
        size_t consumed = 99;
        EXPECT_EQ(ParseLong(c.text, c.base, &consumed), c.value) << c.text;
        EXPECT_EQ(consumed, c.consumed) << c.text;
    }
}

TEST(ParseULong, Table) {
    struct Case { const char* text; uint32_t value; size_t consumed; };
    const Case cases[] = {
        {"4294967295", 4294967295u, 10}, {"4294967296", 4294967295u, 10},
        {"-1", 4294967295u, 2},          {"-4294967296", 4294967295u, 11},
        {"0x80000000", 2147483648u, 10}, {"x", 0, 0},
    };
    for (const auto& c : cases) {
        size_t consumed = 99;
        EXPECT_EQ(ParseULong(c.text, 0, &consumed), c.value) << c.text;
        EXPECT_EQ(consumed, c.consumed) << c.text;
    }
}

struct RealCase { const char* text; double value; size_t consumed; };
const RealCase kReals[] = {
    {"0.25,1", 0.25, 4}, {"1e3", 1000.0, 3}, {"-.5", -0.5, 3},   {".", 0.0, 0},
    {"", 0.0, 0},        {"  +1.5x", 1.5, 6}, {"1e", 1.0, 1},    {"2.5E-1", 0.25, 6},
    {"+-1", 0.0, 0},     {"-x", 0.0, 0},      {"1e-400", 0.0, 6}, {"7.", 7.0, 2},
};

void expectReals() {
    for (const auto& c : kReals) {
        size_t consumed = 99;
        EXPECT_EQ(ParseDouble(c.text, &consumed), c.value) << c.text;
        EXPECT_EQ(consumed, c.consumed) << c.text;
    }
}

TEST(ParseDouble, Table) {
    expectReals();
    size_t consumed = 0;
    EXPECT_EQ(ParseDouble("1e400", &consumed), std::numeric_limits<double>::infinity());
    EXPECT_EQ(consumed, 5u);
    EXPECT_EQ(ParseDouble("-1e400", &consumed), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseDouble("inf", &consumed), std::numeric_limits<double>::infinity());
    EXPECT_EQ(consumed, 3u);
    EXPECT_TRUE(std::isnan(ParseDouble("nan", &consumed)));
}

TEST(ParseDouble, IgnoresADecimalCommaLocale) {
    const char* candidates[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "nl_NL.UTF-8"};
    const char* chosen = nullptr;
    for (const char* name : candidates) {
        if (std::setlocale(LC_ALL, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
            chosen = name;
            break;
        }
    }
    if (!chosen) {
        std::setlocale(LC_ALL, "C");
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    expectReals();
    int dec = 0;
    bool negative = false;
    EXPECT_EQ(FixedDigits(0.05, 7, &dec, &negative), "500000");
    EXPECT_EQ(dec, -1);
    std::setlocale(LC_ALL, "C");
}

TEST(FormatLong, Table) {
    struct Case { int32_t value; int radix; const char* text; };
    const Case cases[] = {
        {-1, 16, "ffffffff"}, {255, 16, "ff"},      {-5, 10, "-5"},  {0, 10, "0"},
        {240, 16, "f0"},      {7, 16, "7"},         {INT32_MIN, 10, "-2147483648"},
        {-2, 2, "11111111111111111111111111111110"}, {35, 36, "z"},   {5, 1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatLong(c.value, c.radix), c.text) << c.value << " radix " << c.radix;
}

TEST(FixedDigits, Table) {
    // Digits of round(|value| * 10^digits); dec = digit count - digits.
    struct Case { double value; int digits; const char* text; int dec; bool negative; };
    const Case cases[] = {
        {10.0, 7, "100000000", 2, false},       // 100000000
        {9.99999999, 7, "100000000", 2, false},  // 99999999.9 rounds up into a new digit
        {0.05, 7, "500000", -1, false},          // 500000
        {-2.5, 7, "25000000", 1, true},          // 25000000
        {0.0, 7, "0000000", 0, false},           // zero gives `digits` zeros
        {3.1415926535, 7, "31415927", 1, false}, // 31415926.535
        {1e-9, 7, "0000000", 0, false},          // rounds to zero
        {0.125, 2, "13", 0, false},              // exact tie 12.5 goes away from zero
        {2.5, 0, "3", 1, false},                 // exact tie
        {0.375, 2, "38", 0, false},              // exact tie 37.5
        {1234.5, -2, "12", 4, false},            // rounding left of the point
    };
    for (const auto& c : cases) {
        int dec = 99;
        bool negative = !c.negative;
        EXPECT_EQ(FixedDigits(c.value, c.digits, &dec, &negative), c.text) << c.value;
        EXPECT_EQ(dec, c.dec) << c.value;
        EXPECT_EQ(negative, c.negative) << c.value;
    }
    int dec = 0;
    bool negative = false;
    EXPECT_EQ(FixedDigits(std::nan(""), 7, &dec, &negative), "");
    EXPECT_EQ(FixedDigits(std::numeric_limits<double>::infinity(), 7, &dec, &negative), "");
    // The largest double has 309 integer digits; nothing is cut.
    EXPECT_EQ(FixedDigits(std::numeric_limits<double>::max(), 7, &dec, &negative).size(), 316u);
    EXPECT_EQ(dec, 309);
}

TEST(DoubleToInteger, TruncatesAndFlagsOutOfRange) {
    struct Case { double value; int32_t want; };
    const Case cases[] = {
        {3.9, 3},          {-3.9, -3},         {1e10, INT32_MIN},          {std::nan(""), INT32_MIN},
        {-1e10, INT32_MIN}, {2147483647.9, 2147483647}, {-2147483648.9, -2147483647 - 1},
        {2147483648.0, INT32_MIN}, {-2147483649.0, INT32_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(DoubleToLong(c.value), c.want) << c.value;

    EXPECT_EQ(DoubleToInt64(1e18), 1000000000000000000LL);
    EXPECT_EQ(DoubleToInt64(-2.7), -2);
    EXPECT_EQ(DoubleToInt64(1e19), INT64_MIN);
    EXPECT_EQ(DoubleToInt64(-1e19), INT64_MIN);
    EXPECT_EQ(DoubleToInt64(std::nan("")), INT64_MIN);
    EXPECT_EQ(DoubleToInt64(-9223372036854775808.0), INT64_MIN);  // exactly the minimum
}

TEST(DoubleToInteger, UnsignedKeepsTheLow32Bits) {
    struct Case { double value; uint32_t want; };
    const Case cases[] = {
        {3.9, 3u},                  {4294967295.9, 4294967295u}, {-1.0, 4294967295u},
        {-0.5, 0u},                 {-2147483648.0, 2147483648u}, {4294967296.0, 0u},
        {4294967301.0, 5u},         {std::nan(""), 0u},          {1e19, 0u},
        {-1e19, 0u},
    };
    for (const auto& c : cases) EXPECT_EQ(DoubleToULong(c.value), c.want) << c.value;
}

}  // namespace
