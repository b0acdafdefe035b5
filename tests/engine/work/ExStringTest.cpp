#include "engine/work/ExString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

namespace {

// ---------------------------------------------------------------- Blanks and comments

struct EditCase {
    const char* text;
    const char* expected;
};

TEST(ExStringBlanks, EraseBlankOutDQKeepsSpacesOnlyInsideQuotes) {
    const EditCase cases[] = {
        {"a b \"c d\"\te", "ab\"c d\"e"},        // the tab goes even next to quotes
        {"x \"a b", "x\"a b"},                  // an unclosed quote protects to the end
        {"\"a\tb\" c", "\"ab\"c"},              // a tab inside quotes goes too
        {"\"a b\" \"c d\"", "\"a b\"\"c d\""},  // the flag toggles per quote
        {"  ", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        CExString s(c.text);
        s.EraseBlankOutDQ();
        EXPECT_STREQ(s, c.expected) << c.text;
    }
}

TEST(ExStringBlanks, EraseBlankIgnoresQuotes) {
    CExString s("a b\t\"c d\" e");
    s.EraseBlank();
    EXPECT_STREQ(s, "ab\"cd\"e");
}

TEST(ExStringBlanks, EraseCommentCutsAtFirstSemicolonEvenInQuotes) {
    const EditCase cases[] = {
        {"abc;def", "abc"},
        {"#set:\"a;b\";c", "#set:\"a"},
        {";all", ""},
        {"none", "none"},
    };
    for (const auto& c : cases) {
        CExString s(c.text);
        s.EraseComment();
        EXPECT_STREQ(s, c.expected) << c.text;
    }
}

// ---------------------------------------------------------------- Numbers off the front

TEST(ExStringNumbers, GetLongReadsFrontAndLeavesRest) {
    struct Case {
        const char* text;
        LONG value;
        const char* rest;
    };
    const Case cases[] = {
        {"12abc", 12, "abc"},
        {"abc", 0, "abc"},            // no number: text untouched
        {" -7,1", -7, ",1"},          // leading blanks and a sign are read
        {"0x10", 0, "x10"},           // radix 10 stops at the 'x'
        {"99999999999", 2147483647, ""},  // saturates at 32 bits
        {"-99999999999", INT32_MIN, ""},
        {"", 0, ""},
    };
    for (const auto& c : cases) {
        CExString s(c.text);
        EXPECT_EQ(s.GetLong(10), c.value) << c.text;
        EXPECT_STREQ(s, c.rest) << c.text;
    }
}

TEST(ExStringNumbers, GetLongHonoursRadix) {
    CExString s("ff,1");
    EXPECT_EQ(s.GetLong(16), 255);
    EXPECT_STREQ(s, ",1");
    CExString bad("12");
    EXPECT_EQ(bad.GetLong(99), 0);  // no such radix: nothing read
    EXPECT_STREQ(bad, "12");
}

TEST(ExStringNumbers, GetDoubleReadsFrontAndLeavesRest) {
    struct Case {
        const char* text;
        double value;
        const char* rest;
    };
    const Case cases[] = {
        {"0.25,1", 0.25, ",1"},
        {"abc", 0.0, "abc"},
        {"-1.5e2x", -150.0, "x"},
        {".5)", 0.5, ")"},
        {"  3", 3.0, ""},
        {"-", 0.0, "-"},
    };
    for (const auto& c : cases) {
        CExString s(c.text);
        EXPECT_DOUBLE_EQ(s.GetDouble(), c.value) << c.text;
        EXPECT_STREQ(s, c.rest) << c.text;
    }
}

// ---------------------------------------------------------------- Tokens

struct TokenCase {
    const char* delims;
    const char* text;
    const char* token;
    const char* rest;
};

const TokenCase kTokens[] = {
    {":,(){}", "  Cc:64,1", "Cc", ":64,1"},  // leading blanks skipped; rest keeps the delimiter
    {":,(){}", ":,(){}", "", ""},            // only delimiters
    {":,(){}", "abc", "abc", ""},
    {":,(){}", "abc:", "abc", ""},           // a final delimiter is dropped
    {":,(){}", "::ab,,cd", "ab", ",,cd"},    // leading delimiters skipped
    {":,(){}", "a b:c", "a b", ":c"},        // a blank inside a token stays
    {"/", "12/3/240", "12", "/3/240"},
    {"/", "/3/240", "3", "/240"},
    {"/", "/240", "240", ""},
    {":[],", "3[2]", "3", "[2]"},
    {"", "a:b", "a:b", ""},                  // no delimiters: the whole text
    {":,(){}", "", "", ""},
};

TEST(ExStringTokens, GetTokenTable) {
    for (const auto& c : kTokens) {
        CExString s(c.text);
        CString rest("unset");
        EXPECT_STREQ(s.GetToken(&rest, c.delims), c.token) << c.text;
        EXPECT_STREQ(rest, c.rest) << c.text;
        EXPECT_STREQ(s, c.text) << "the text itself is not changed";
    }
}

// The span FindToken gives picks the same token and remainder out of the
// text, which stays as it is.
TEST(ExStringTokens, FindTokenPointsWhereGetTokenCuts) {
    for (const auto& c : kTokens) {
        const CExString s(c.text);
        const CExString::TokenSpan t = s.FindToken(c.delims);
        const std::string text(c.text);
        EXPECT_EQ(t.start < 0 ? std::string() : text.substr(size_t(t.start), size_t(t.length)), c.token) << c.text;
        EXPECT_EQ(t.rest < 0 ? std::string() : text.substr(size_t(t.rest)), c.rest) << c.text;
        if (t.start < 0) EXPECT_EQ(t.length, 0) << c.text;
    }
}

TEST(ExStringTokens, GetTokenMBAgreesOnSingleByteText) {
    for (const auto& c : kTokens) {
        CExString s(c.text);
        CString rest("unset");
        EXPECT_STREQ(s.GetTokenMB(&rest, c.delims), c.token) << c.text;
        EXPECT_STREQ(rest, c.rest) << c.text;
    }
}

TEST(ExStringTokens, ConsumingInPlaceWalksAllParts) {
    CExString s("12/3/240");
    EXPECT_STREQ(s.GetToken(&s, "/"), "12");
    EXPECT_STREQ(s, "/3/240");
    EXPECT_STREQ(s.GetToken(&s, "/"), "3");
    EXPECT_STREQ(s.GetToken(&s, "/"), "240");
    EXPECT_TRUE(s.IsEmpty());
}

// "ボ" is 0x83 0x7B in the engine's code page: its trail byte is '{'.
TEST(ExStringTokens, TrailByteIsNotADelimiterOnlyForGetTokenMB) {
    const CExString text("aボb{c");
    ASSERT_EQ(text.GetLength(), 6);
    ASSERT_EQ(static_cast<unsigned char>(text[2]), 0x7B);

    CString rest;
    EXPECT_STREQ(CExString(text).GetTokenMB(&rest, ",(){}"), "aボb");
    EXPECT_STREQ(rest, "{c");

    EXPECT_STREQ(CExString(text).GetToken(&rest, ",(){}"), "a\x83");
    EXPECT_STREQ(rest, "{b{c");
}

TEST(ExStringTokens, GetTokenMBDoubleByteCharactersStartAndStopTokens) {
    CString rest;
    EXPECT_STREQ(CExString("{ボ}x").GetTokenMB(&rest, "{}"), "ボ");  // a lead byte starts a token
    EXPECT_STREQ(rest, "}x");
    EXPECT_STREQ(CExString("ab,ボ").GetTokenMB(&rest, ","), "ab");  // and stops the walk after one
    EXPECT_STREQ(rest, ",ボ");
    // Splitting a message into lines at CR LF.
    CExString msg("ｴﾗｰ\r\n表示\r\n");
    EXPECT_STREQ(msg.GetTokenMB(&msg, "\r\n"), "ｴﾗｰ");
    EXPECT_STREQ(msg.GetTokenMB(&msg, "\r\n"), "表示");
    EXPECT_STREQ(msg, "\r\n");  // the line break that ended the token stays
    EXPECT_STREQ(msg.GetTokenMB(&msg, "\r\n"), "");
    EXPECT_TRUE(msg.IsEmpty());
}

TEST(ExStringTokens, GetTokenMBTrailingLeadByteStaysInsideTheText) {
    struct Case {
        const char* text;
        const char* token;
        const char* rest;
    };
    const Case cases[] = {
        {"ab\x83", "ab\x83", ""},   // the lone lead byte ends the token and the text
        {"\x83", "\x83", ""},
        {"a,\x83", "a", ",\x83"},
        {",\x83", "\x83", ""},
    };
    for (const auto& c : cases) {
        // Built with an exact length so that nothing follows the last byte.
        CExString s(c.text, int(std::strlen(c.text)));
        CString rest("unset");
        const CString token = s.GetTokenMB(&rest, ",");
        EXPECT_EQ(token.GetLength(), int(std::strlen(c.token))) << c.text;
        EXPECT_STREQ(token, c.token);
        EXPECT_STREQ(rest, c.rest);
    }
}

TEST(ExStringTokens, GetTokenParenTable) {
    struct Case {
        const char* text;
        const char* token;
        int paren;
        const char* rest;
    };
    const Case cases[] = {
        {"(a+(b*c)),d", "a+(b*c)", 1, ",d"},  // nested groups stay inside
        {"x*(y)", "x", 0, "*(y)"},
        {"(abc", "abc", 1, ""},               // unclosed group runs to the end
        {"(a)", "a", 1, ""},
        {",(b)*2", "b", 1, "*2"},             // remainder begins after ')'
        {")(a)", "a", 0, ""},                 // ')' first: depth below 0, no group
        {"  (b)", "b", 1, ""},
        {"12+3", "12", 0, "+3"},
        {"", "", 0, ""},
    };
    const CString delims(":+-*/,(){}");
    for (const auto& c : cases) {
        CExString s(c.text);
        CString rest("unset");
        int paren = -1;
        EXPECT_STREQ(s.GetTokenParen(&rest, &paren, delims), c.token) << c.text;
        EXPECT_EQ(paren, c.paren) << c.text;
        EXPECT_STREQ(rest, c.rest) << c.text;
    }
}

TEST(ExStringTokens, GetTokenParenConsumesInPlace) {
    CExString s("(a+b)*c");
    int paren = 0;
    EXPECT_STREQ(s.GetTokenParen(&s, &paren, ":+-*/,(){}"), "a+b");
    EXPECT_EQ(paren, 1);
    EXPECT_STREQ(s, "*c");
    EXPECT_STREQ(s.GetTokenParen(&s, &paren, ":+-*/,(){}"), "c");
    EXPECT_EQ(paren, 0);
    EXPECT_TRUE(s.IsEmpty());
}

// ---------------------------------------------------------------- Numbers to text

TEST(ExStringConvert, IntegersInRadix) {
    struct Case {
        LONG value;
        int radix;
        const char* text;
        bool isShort;
    };
    const Case cases[] = {
        {240, 16, "f0", true},
        {7, 16, "7", true},
        {-1, 16, "ffffffff", true},  // a short widens to 32 bits first
        {-5, 10, "-5", true},
        {-1, 16, "ffffffff", false},
        {INT32_MIN, 10, "-2147483648", false},
        {255, 2, "11111111", false},
        {0, 10, "0", false},
    };
    for (const auto& c : cases) {
        CExString s("old");
        if (c.isShort)
            s.ConvShortToStr(short(c.value), c.radix);
        else
            s.ConvLongToStr(c.value, c.radix);
        EXPECT_STREQ(s, c.text) << c.value << " radix " << c.radix;
    }
}

TEST(ExStringConvert, DoubleWithSevenDigits) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {10, "10.0"},
        {9.99999999, "10.0"},  // rounding carries into the integer part
        {0.5, "0.5"},
        {0.05, "0.05"},
        {-2.5, "-2.5"},
        {0, "0.0"},
        {1, "1.0"},
        {3.1415926535, "3.1415927"},
        {0.00000006, "0.0000001"},  // 0.00000005 is just below the tie in binary
        {0.00000005, "0.0"},
        {0.00000004, "0.0"},
        {123456.78, "123456.78"},
    };
    for (const auto& c : cases) {
        CExString s("old");
        s.ConvDoubleToStr(c.value, 7);
        EXPECT_STREQ(s, c.text) << c.value;
    }
}

TEST(ExStringConvert, DoubleWithoutDigitsLeavesText) {
    CExString s("old");
    s.ConvDoubleToStr(std::numeric_limits<double>::quiet_NaN(), 7);
    EXPECT_STREQ(s, "old");
    s.ConvDoubleToStr(std::numeric_limits<double>::infinity(), 7);
    EXPECT_STREQ(s, "old");
}

TEST(ExStringConvert, MixesWithCString) {
    CString base("abc");
    CExString ex(base);
    ex = base + ":1";
    CString back = ex;
    EXPECT_STREQ(back, "abc:1");
    ex = "x";
    EXPECT_EQ(ex.GetLength(), 1);
}

}  // namespace
