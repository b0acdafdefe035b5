#include "platform/String.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/Text.h"

namespace {

// "表" in CP932 is 0x95 0x5C: its trail byte is the backslash.
const char kHyo[] = "\x95\x5C";

TEST(LeadByte, Boundaries) {
    struct Case { unsigned char b; bool lead; };
    const Case cases[] = {{0x00, false}, {0x40, false}, {0x80, false}, {0x81, true}, {0x9F, true}, {0xA0, false},
                          {0xB1, false}, {0xDF, false}, {0xE0, true}, {0xFC, true}, {0xFD, false}, {0xFF, false}};
    for (const auto& c : cases) EXPECT_EQ(IsLeadByte(c.b), c.lead) << int(c.b);
}

TEST(LeadByte, CharLengthAt) {
    const char text[] = "a\x95\x5C\xB1\x81";  // ASCII, double-byte, half-width kana, lone final lead byte
    const int n = 5;
    struct Case { int i; int len; };
    const Case cases[] = {{0, 1}, {1, 2}, {3, 1}, {4, 1}, {-1, 1}, {5, 1}};
    for (const auto& c : cases) EXPECT_EQ(CharLengthAt(text, n, c.i), c.len) << c.i;
}

struct RangeCase {
    const char* what;
    CString got;
    const char* want;
};

TEST(CStringClamp, MidLeftRight) {
    const CString s("abcdef");
    const RangeCase cases[] = {
        {"Mid(2)", s.Mid(2), "cdef"},           {"Mid(-3)", s.Mid(-3), "abcdef"},
        {"Mid(6)", s.Mid(6), ""},               {"Mid(9)", s.Mid(9), ""},
        {"Mid(2,3)", s.Mid(2, 3), "cde"},       {"Mid(2,100)", s.Mid(2, 100), "cdef"},
        {"Mid(-2,3)", s.Mid(-2, 3), "abc"},     {"Mid(2,-1)", s.Mid(2, -1), ""},
        {"Mid(7,2)", s.Mid(7, 2), ""},          {"Mid(0,2147483647)", s.Mid(0, 2147483647), "abcdef"},
        {"Left(3)", s.Left(3), "abc"},          {"Left(-1)", s.Left(-1), ""},
        {"Left(10)", s.Left(10), "abcdef"},     {"Right(2)", s.Right(2), "ef"},
        {"Right(-5)", s.Right(-5), ""},         {"Right(10)", s.Right(10), "abcdef"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(CStringClamp, Find) {
    const CString s("abcdefab");
    struct Case { const char* what; int got; int want; };
    const Case cases[] = {
        {"Find('c')", s.Find('c'), 2},          {"Find('c',3)", s.Find('c', 3), -1},
        {"Find('z')", s.Find('z'), -1},         {"Find('a',-1)", s.Find('a', -1), 0},
        {"Find('b',2)", s.Find('b', 2), 7},     {"Find('a',8)", s.Find('a', 8), -1},
        {"Find(\"cd\")", s.Find("cd"), 2},      {"Find(\"cd\",3)", s.Find("cd", 3), -1},
        {"Find(\"ab\",1)", s.Find("ab", 1), 6}, {"Find(\"b\",9)", s.Find("b", 9), -1},
        {"Find(\"\",8)", s.Find("", 8), 8},     {"Find(\"abx\")", s.Find("abx"), -1},
        {"Find(\"fabc\")", s.Find("fabc"), -1}, {"ReverseFind('a')", s.ReverseFind('a'), 6},
        {"ReverseFind('z')", s.ReverseFind('z'), -1}, {"FindOneOf(\"fe\")", s.FindOneOf("fe"), 4},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(CStringDoubleByte, SearchNeverMatchesTrailByte) {
    const CString hyo(kHyo);
    EXPECT_EQ(hyo.Find('\\'), -1);
    EXPECT_EQ(hyo.Find("\\"), -1);
    EXPECT_EQ(hyo.ReverseFind('\\'), -1);
    EXPECT_EQ(hyo.FindOneOf("\\/"), -1);

    const CString path = CString("x") + kHyo + "\\y";  // x 表 \ y
    EXPECT_EQ(path.Find('\\'), 3);
    EXPECT_EQ(path.Find('\\', 2), 3);  // a start on the trail byte still skips it
    EXPECT_EQ(path.ReverseFind('\\'), 3);
    EXPECT_EQ(path.Find(kHyo), 1);
    EXPECT_EQ(path.SpanExcluding("\\"), CString("x") + kHyo);
}

TEST(CStringDoubleByte, EditsLeaveTrailBytesAlone) {
    // 0x82 0x61 is one character whose trail byte is 'a'; 0x82 0x41 has trail 'A'.
    CString up("a\x82\x61z");
    up.MakeUpper();
    EXPECT_EQ(up, "A\x82\x61Z");
    CString low("\x82\x41" "B");
    low.MakeLower();
    EXPECT_EQ(low, "\x82\x41" "b");

    CString rep = CString(kHyo) + "\\";
    EXPECT_EQ(rep.Replace('\\', '/'), 1);
    EXPECT_EQ(rep, CString(kHyo) + "/");

    CString rem = CString(kHyo) + "\\" + kHyo;
    EXPECT_EQ(rem.Remove('\\'), 1);
    EXPECT_EQ(rem, CString(kHyo) + kHyo);

    CString sub = CString(kHyo) + "\\\\";
    EXPECT_EQ(sub.Replace("\\", "|"), 2);
    EXPECT_EQ(sub, CString(kHyo) + "||");

    CString trim = CString("a") + kHyo;
    trim.TrimRight('\\');
    EXPECT_EQ(trim, CString("a") + kHyo);

    CString rev = CString("a") + kHyo + "b";
    rev.MakeReverse();
    EXPECT_EQ(rev, CString("b") + kHyo + "a");
}

TEST(CStringCompare, UnsignedBytesAndNoCase) {
    EXPECT_GT(CString("\x81").Compare("a"), 0);  // 0x81 sorts after ASCII
    EXPECT_TRUE(CString("a") < CString("\x81"));
    EXPECT_EQ(CString("abc").Compare("abc"), 0);
    EXPECT_LT(CString("ab").Compare("abc"), 0);
    EXPECT_EQ(CString("AbC").CompareNoCase("aBc"), 0);
    EXPECT_NE(CString("\x82\x41").CompareNoCase("\x82\x61"), 0);  // trail bytes are not letters
    EXPECT_TRUE(CString("x") == "x");
    EXPECT_TRUE(CString("x") != CString("x\x81"));
}

// Equality with a C string: the whole text and nothing more, its bytes as
// they stand (a NUL inside the text is not its end).
TEST(CStringCompare, EqualityWithCString) {
    struct Case {
        CString text;
        const char* other;
        bool equal;
    };
    const Case cases[] = {
        {CString("set"), "set", true},     {CString("set"), "se", false},       {CString("se"), "set", false},
        {CString("set"), "sex", false},    {CString(""), "", true},             {CString(""), "a", false},
        {CString("a"), "", false},         {CString(""), nullptr, true},        {CString("a"), nullptr, false},
        {CString("a\0b", 3), "a", false}, {CString("a\0", 2), "a", false},      {CString("\x82\xa0"), "\x82\xa0", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.text == c.other, c.equal) << c.text.str() << " / " << (c.other ? c.other : "(null)");
        EXPECT_EQ(c.other == c.text, c.equal);
        EXPECT_EQ(c.text != c.other, !c.equal);
    }
}

TEST(CStringEdit, InsertDeleteTrim) {
    CString s("abc");
    EXPECT_EQ(s.Insert(10, 'x'), 4);
    EXPECT_EQ(s, "abcx");
    EXPECT_EQ(s.Insert(-2, "<"), 5);
    EXPECT_EQ(s, "<abcx");
    EXPECT_EQ(s.Delete(1, 10), 1);
    EXPECT_EQ(s, "<");
    EXPECT_EQ(s.Delete(5, 1), 1);

    CString t(" \t ab c \r\n");
    t.Trim();
    EXPECT_EQ(t, "ab c");
    CString u("xxabxx");
    u.TrimLeft('x');
    EXPECT_EQ(u, "abxx");
    u.TrimRight("x");
    EXPECT_EQ(u, "ab");
    EXPECT_EQ(CString("+12ab").SpanIncluding("+0123456789"), "+12");
}

TEST(CStringFormat, CStringArgumentsAndLongOutput) {
    CString name("Vib3");
    CString s;
    s.Format("%s-%d:%s", name, 5, std::string("x"));
    EXPECT_EQ(s, "Vib3-5:x");
    s.AppendFormat("(%03d)", 7);
    EXPECT_EQ(s, "Vib3-5:x(007)");

    // A class derived from CString (as the engine's text class is) is passed as its text too.
    struct DerivedText : CString {
        using CString::CString;
    } derived("dt");
    s.Format("<%s>", derived);
    EXPECT_EQ(s, "<dt>");

    CString longText('y', 1000);
    s.Format("[%s]", longText);
    EXPECT_EQ(s.GetLength(), 1002);
    EXPECT_EQ(s.Right(2), "y]");
}

TEST(CStringBuffer, GetAndRelease) {
    CString s("ab");
    char* p = s.GetBuffer(10);
    std::strcpy(p, "hello");
    s.ReleaseBuffer();
    EXPECT_EQ(s, "hello");
    EXPECT_EQ(s.GetLength(), 5);
    s.GetBuffer(0);
    s.ReleaseBuffer(3);
    EXPECT_EQ(s, "hel");
    EXPECT_EQ(s.GetAt(7), '\0');  // out of range reads as 0
    s.SetAt(7, 'x');
    EXPECT_EQ(s, "hel");
}

}  // namespace
