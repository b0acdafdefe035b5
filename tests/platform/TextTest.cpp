#include "platform/Text.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

struct RoundTrip {
    const char* what;
    const char* cp932;
    const char* utf8;
};

// Each CP932 text decodes to the UTF-8 text and encodes back to the same bytes.
const RoundTrip kRoundTrips[] = {
    {"half-width ka-na A", "\xB1", "\xEF\xBD\xB1"},                        // U+FF71
    {"naiyou", "\x93\xE0\x97\x65", "\xE5\x86\x85\xE5\xAE\xB9"},             // U+5185 U+5BB9
    {"wave dash / tilde", "\x81\x60", "\xEF\xBD\x9E"},                     // U+FF5E
    {"full-width backslash", "\x81\x5F", "\xEF\xBC\xBC"},                  // U+FF3C
    {"backslash", "a\\b", "a\\b"},                                          // never a yen sign
    {"tilde", "~", "~"},
    {"hyo (trail 0x5C)", "\x95\x5C", "\xE8\xA1\xA8"},                       // U+8868
    {"empty", "", ""},
};

TEST(Cp932, RoundTripsThroughUtf8AndUtf16) {
    for (const auto& c : kRoundTrips) {
        EXPECT_EQ(Cp932ToUtf8(CString(c.cp932)), c.utf8) << c.what;
        EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932) << c.what;
        std::u16string wide = Cp932ToUtf16(CString(c.cp932));
        EXPECT_EQ(Utf16ToUtf8(wide), c.utf8) << c.what;
        EXPECT_EQ(Utf16ToCp932(wide), c.cp932) << c.what;
    }
}

TEST(Cp932, WaveDashFromOtherSourcesMapsToTheSameBytes) {
    EXPECT_EQ(Utf8ToCp932("\xE3\x80\x9C"), "\x81\x60");  // U+301C WAVE DASH
    EXPECT_EQ(Utf16ToCp932(u"\u301C"), "\x81\x60");
}

TEST(Cp932, LoneFinalLeadByteBecomesReplacementWithoutOverRead) {
    // Exactly two bytes on the heap, no terminator: a read past them is a fault.
    std::unique_ptr<char[]> bytes(new char[2]{'a', '\x81'});
    EXPECT_EQ(Cp932ToUtf16(bytes.get(), 2), u"a\uFFFD");
    EXPECT_EQ(Cp932ToUtf8(CString("a\x81")), "a\xEF\xBF\xBD");
}

TEST(Cp932, BadBytesBecomeReplacementAndConversionGoesOn) {
    struct Case { const char* what; const char* cp932; const char16_t* want; };
    const Case cases[] = {
        {"0x80 alone", "a\x80z", u"a\uFFFDz"},
        {"0xFD alone", "\xFDz", u"\uFFFDz"},
        {"unassigned pair 0x85 0x40", "\x85\x40z", u"\uFFFDz"},  // one character, one replacement
        {"lead before a space", "\x81 z", u"\uFFFD z"},           // the space is no trail byte
    };
    for (const auto& c : cases) EXPECT_EQ(Cp932ToUtf16(CString(c.cp932)), c.want) << c.what;
}

TEST(Cp932, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp932("a\xC3\xA9z"), "a?z");                // U+00E9 has no CP932 form
    EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80z"), "a?z");        // U+1F600
    EXPECT_EQ(Utf8ToCp932("a\xC3"), "a?");                       // cut-off UTF-8
    EXPECT_EQ(Utf8ToCp932("a\xFFz"), "a?z");                     // not UTF-8 at all
    EXPECT_EQ(Utf16ToCp932(u"a\xD800z"), "a?z");                 // lone surrogate
}

TEST(Utf16, SurrogatesAndMalformedUtf8) {
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(Utf16ToUtf8(u"\xDC00x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAFx"), u"\uFFFD\uFFFDx");     // overlong '/'
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
}

TEST(Cp932, ConversionsFromManyThreadsAgree) {
    const CString text("\x93\xE0\x97\x65\xB1\x81\x60\\");
    const std::string want = Cp932ToUtf8(text);
    std::vector<std::thread> threads;
    std::vector<int> bad(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                if (Cp932ToUtf8(text) != want || Utf8ToCp932(want) != text) ++bad[size_t(t)];
            }
        });
    }
    for (auto& th : threads) th.join();
    for (int b : bad) EXPECT_EQ(b, 0);
}

}  // namespace
