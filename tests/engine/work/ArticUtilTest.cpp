#include "engine/work/ArticUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "host/MPEvent.h"
#include "platform/File.h"
#include "platform/Memory.h"
#include "platform/Random.h"

namespace {

std::vector<std::string> ToVector(CStringList& list) {
    std::vector<std::string> out;
    for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p).str());
    return out;
}

// ---------------------------------------------------------------- Quotes and string lists

TEST(ArticUtilText, AddAndEraseDoubleQuotes) {
    CExString s("abc");
    EXPECT_EQ(CArticUtil::AddDQ(s), 0);
    EXPECT_STREQ(s, "\"abc\"");

    struct Case {
        const char* text;
        int result;
        const char* after;
    };
    const Case cases[] = {
        {"\"abc\"", 0, "abc"},
        {"\"\"", 0, ""},          // two quotes become empty
        {"\"", 1, "\""},          // one character is too short
        {"abc", 1, "abc"},
        {"\"abc", 1, "\"abc"},
        {"abc\"", 1, "abc\""},
        {"\"a\"b\"", 0, "a\"b"},  // only the outer pair goes
    };
    for (const auto& c : cases) {
        CExString t(c.text);
        EXPECT_EQ(CArticUtil::EraseDQ(t), c.result) << c.text;
        EXPECT_STREQ(t, c.after) << c.text;
    }
}

TEST(ArticUtilText, AddTailStrAppendsOrReplaces) {
    CStringList from, to;
    from.AddTail(CString("a"));
    from.AddTail(CString("b"));
    to.AddTail(CString("x"));
    EXPECT_EQ(CArticUtil::AddTailStr(from, to, 0), 0);
    EXPECT_EQ(ToVector(to), (std::vector<std::string>{"x", "a", "b"}));
    EXPECT_EQ(CArticUtil::AddTailStr(from, to, 1), 0);
    EXPECT_EQ(ToVector(to), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(ToVector(from), (std::vector<std::string>{"a", "b"}));
}

TEST(ArticUtilText, AddTailStrOntoItselfEnds) {
    CStringList list;
    list.AddTail(CString("a"));
    list.AddTail(CString("b"));
    EXPECT_EQ(CArticUtil::AddTailStr(list, list, 0), 0);
    EXPECT_EQ(ToVector(list), (std::vector<std::string>{"a", "b", "a", "b"}));
    EXPECT_EQ(CArticUtil::AddTailStr(list, list, 1), 0);
    EXPECT_TRUE(list.IsEmpty());
}

// ---------------------------------------------------------------- Text files

class LoadStrFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("vexa_util_") + info->name() + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    CString PathOf(const char* name) const { return CString((dir_ / name).string()); }

    std::filesystem::path dir_;
};

TEST_F(LoadStrFileTest, MissingFileFailsAndEmptiesLines) {
    CStringList lines;
    lines.AddTail(CString("stale"));
    EXPECT_EQ(CArticUtil::LoadStrFile(PathOf("missing.txt"), lines), 1);
    EXPECT_TRUE(lines.IsEmpty());
}

TEST_F(LoadStrFileTest, UnreadablePathFails) {
    // A folder exists but cannot be read as a text file.
    std::filesystem::create_directories(dir_ / "folder.txt");
    CStringList lines;
    lines.AddTail(CString("stale"));
    EXPECT_EQ(CArticUtil::LoadStrFile(PathOf("folder.txt"), lines), 1);
    EXPECT_TRUE(lines.IsEmpty());
}

TEST_F(LoadStrFileTest, ReadsEveryLine) {
    ASSERT_TRUE(WriteWholeFile(PathOf("rules.txt"), "#set:1\r\n\r\n;comment\nlast"));
    CStringList lines;
    lines.AddTail(CString("stale"));
    EXPECT_EQ(CArticUtil::LoadStrFile(PathOf("rules.txt"), lines), 0);
    EXPECT_EQ(ToVector(lines), (std::vector<std::string>{"#set:1", "", ";comment", "last"}));
}

// ---------------------------------------------------------------- Wide texts

TEST(ArticUtilText, MultiByteConversions) {
    EXPECT_STREQ(CArticUtil::GetMultiByteString(static_cast<const char16_t*>(nullptr)), "");
    EXPECT_STREQ(CArticUtil::GetMultiByteString(u"Lib\\a.mid"), "Lib\\a.mid");
    EXPECT_STREQ(CArticUtil::GetMultiByteString(u"表"), "\x95\x5C");

    char16_t buffer[CArticUtil::kMaxPathChars];
    CArticUtil::SetMultiByteString(CString("表a"), buffer);
    EXPECT_EQ(std::u16string(buffer), u"表a");
}

TEST(ArticUtilText, MultiByteConversionsStayInTheirBuffers) {
    // 300 characters: cut to what a 260-unit buffer holds with its terminator.
    EXPECT_EQ(CArticUtil::GetMultiByteString(std::u16string(300, u'a')).GetLength(), 259);
    // 'a' then double-byte characters: 1 + 2 x 129 = 259 bytes fit exactly.
    EXPECT_EQ(CArticUtil::GetMultiByteString(u"a" + std::u16string(200, u'表')).GetLength(), 259);
    // Only double-byte characters: the 130th would need bytes 259 and 260.
    const CString cut = CArticUtil::GetMultiByteString(std::u16string(200, u'表'));
    EXPECT_EQ(cut.GetLength(), 258);

    std::vector<char16_t> buffer(CArticUtil::kMaxPathChars + 8, u'#');
    CArticUtil::SetMultiByteString(CString(std::string(400, 'b')), buffer.data());
    EXPECT_EQ(buffer[258], u'b');
    EXPECT_EQ(buffer[259], 0);
    EXPECT_EQ(buffer[260], u'#');  // nothing written past the 260 units
}

// ---------------------------------------------------------------- Bar/beat/tick

TEST(ArticUtilText, GetMeasTable) {
    struct Case {
        const char* text;
        int result;
        ULONG bar, beat, tick;  // 99 = left as it was
    };
    const Case cases[] = {
        {"12/3/240", 0, 12, 3, 240},
        {"12/3", 1, 12, 3, 99},    // too few parts: what was read is stored
        {"", 1, 99, 99, 99},
        {"1/x/3", 1, 1, 99, 99},
        {"1/-2/3", 1, 1, 99, 99},  // negative parts are refused
        {"0x10/1/0", 0, 16, 1, 0},
        {"5/2/7x", 1, 5, 2, 99},   // a part must read completely
    };
    for (const auto& c : cases) {
        CExString text(c.text);
        ULONG bar = 99, beat = 99, tick = 99;
        EXPECT_EQ(CArticUtil::GetMeas(text, &bar, &beat, &tick), c.result) << c.text;
        EXPECT_EQ(bar, c.bar) << c.text;
        EXPECT_EQ(beat, c.beat) << c.text;
        EXPECT_EQ(tick, c.tick) << c.text;
    }
}

// ---------------------------------------------------------------- Note names

struct NoteNameCase {
    const char* text;
    int key;
    bool ok;
};
const NoteNameCase kNoteNames[] = {
    {"C3", 60, true},  {"c#3", 61, true},  {"E#3", 0, false}, {"B#3", 0, false},
    {"H3", 0, false},  {"C-3", 0, false},  {"C-2", 0, true},  {"c#-1", 13, true},
    {"A-1", 21, true}, {"G8", 127, true},  {"G#8", 0, false}, {"B8", 0, false},
    {"C", 0, false},   {"C#", 0, false},   {"C3x", 0, false}, {"", 0, false},
    {"Db3", 0, false}, {"C9", 0, false},   {"200", 127, true}, {"0x40", 64, true},
    {"040", 32, true}, {"-5", 0, true},    {"08", 0, false},
};

TEST(ArticUtilNotes, ConvNoteToValueTable) {
    for (const auto& c : kNoteNames) {
        int key = -99;
        EXPECT_EQ(CArticUtil::ConvNoteToValue(CString(c.text), &key, 127, 0) == 1, c.ok) << c.text;
        if (c.ok) EXPECT_EQ(key, c.key) << c.text;
        else EXPECT_EQ(key, -99) << c.text;
    }
}

TEST(ArticUtilNotes, ConvNoteToValueClampsNumbersOnly) {
    int key = 0;
    EXPECT_EQ(CArticUtil::ConvNoteToValue(CString("10"), &key, 100, 36), 1);
    EXPECT_EQ(key, 36);
    EXPECT_EQ(CArticUtil::ConvNoteToValue(CString("C-2"), &key, 100, 36), 1);
    EXPECT_EQ(key, 0);  // note names are not clamped
}

TEST(ArticUtilNotes, ConvValueToNoteTable) {
    struct Case {
        int key;
        int plain;
        const char* text;
    };
    const Case cases[] = {
        {0, 0, "C-2(000)"}, {127, 1, "G8"}, {60, 1, "C3"}, {60, 0, "C3(060)"},
        {61, 1, "C#3"},     {23, 0, "B-1(023)"}, {-1, 0, ""}, {128, 1, ""}, {1000, 0, ""},
    };
    for (const auto& c : cases) EXPECT_STREQ(CArticUtil::ConvValueToNote(c.key, c.plain), c.text) << c.key;
}

TEST(ArticUtilNotes, WhiteKeys) {
    const int white[12] = {1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1};
    for (int key = 0; key < 128; ++key) EXPECT_EQ(CArticUtil::IsWhiteNote(BYTE(key)), white[key % 12]) << key;
}

TEST(ArticUtilNotes, KeySteppingTable) {
    using Step = int (*)(BYTE, BYTE*);
    struct Case {
        const char* name;
        Step step;
        int key;
        int result;  // -1 = fails
    };
    const Case cases[] = {
        {"NextWhite", CArticUtil::GetNextWhiteNote, 64, 65},
        {"NextWhite", CArticUtil::GetNextWhiteNote, 60, 62},
        {"NextWhite", CArticUtil::GetNextWhiteNote, 71, 72},
        {"NextWhite", CArticUtil::GetNextWhiteNote, 61, -1},
        {"NextWhite", CArticUtil::GetNextWhiteNote, 127, -1},
        {"PrevWhite", CArticUtil::GetPrevWhiteNote, 60, 59},
        {"PrevWhite", CArticUtil::GetPrevWhiteNote, 65, 64},
        {"PrevWhite", CArticUtil::GetPrevWhiteNote, 62, 60},
        {"PrevWhite", CArticUtil::GetPrevWhiteNote, 0, -1},
        {"PrevWhite", CArticUtil::GetPrevWhiteNote, 1, -1},
        {"NextBlack", CArticUtil::GetNextBlackNote, 63, 66},
        {"NextBlack", CArticUtil::GetNextBlackNote, 61, 63},
        {"NextBlack", CArticUtil::GetNextBlackNote, 66, 68},
        {"NextBlack", CArticUtil::GetNextBlackNote, 68, 70},
        {"NextBlack", CArticUtil::GetNextBlackNote, 70, 73},
        {"NextBlack", CArticUtil::GetNextBlackNote, 60, -1},
        {"NextBlack", CArticUtil::GetNextBlackNote, 126, -1},
        {"PrevBlack", CArticUtil::GetPrevBlackNote, 61, 58},
        {"PrevBlack", CArticUtil::GetPrevBlackNote, 66, 63},
        {"PrevBlack", CArticUtil::GetPrevBlackNote, 63, 61},
        {"PrevBlack", CArticUtil::GetPrevBlackNote, 68, 66},
        {"PrevBlack", CArticUtil::GetPrevBlackNote, 70, 68},
        {"PrevBlack", CArticUtil::GetPrevBlackNote, 1, -1},
        {"PrevBlack", CArticUtil::GetPrevBlackNote, 62, -1},
        {"NextWhiteByBlack", CArticUtil::GetNextWhiteNoteByBlackNote, 61, 62},
        {"NextWhiteByBlack", CArticUtil::GetNextWhiteNoteByBlackNote, 64, 65},
        {"NextWhiteByBlack", CArticUtil::GetNextWhiteNoteByBlackNote, 127, -1},
        {"PrevWhiteByBlack", CArticUtil::GetPrevWhiteNoteByBlackNote, 61, 60},
        {"PrevWhiteByBlack", CArticUtil::GetPrevWhiteNoteByBlackNote, 60, 59},
        {"PrevWhiteByBlack", CArticUtil::GetPrevWhiteNoteByBlackNote, 0, -1},
        {"NextBlackByWhite", CArticUtil::GetNextBlackNoteByWhiteNote, 60, 61},
        {"NextBlackByWhite", CArticUtil::GetNextBlackNoteByWhiteNote, 64, 66},
        {"NextBlackByWhite", CArticUtil::GetNextBlackNoteByWhiteNote, 126, -1},
        {"PrevBlackByWhite", CArticUtil::GetPrevBlackNoteByWhiteNote, 60, 58},
        {"PrevBlackByWhite", CArticUtil::GetPrevBlackNoteByWhiteNote, 2, 1},
        {"PrevBlackByWhite", CArticUtil::GetPrevBlackNoteByWhiteNote, 0, -1},
    };
    for (const auto& c : cases) {
        BYTE out = 0xAA;
        const int ok = c.step(BYTE(c.key), &out);
        EXPECT_EQ(ok, c.result >= 0 ? 1 : 0) << c.name << " " << c.key;
        EXPECT_EQ(int(out), c.result >= 0 ? c.result : 0xAA) << c.name << " " << c.key;
    }
}

TEST(ArticUtilNotes, DiatonicNeighboursTable) {
    struct Case {
        int key, sharpsFlats, temp, upShift, downShift;
        int up, down;  // -1 = fails
    };
    const Case cases[] = {
        {64, 0, 0, 0, 0, 65, 62},     // E in C major: F and D
        {61, 0, 0, 0, 0, -1, -1},     // C# is not in C major
        {61, 0, 1, 0, 0, 62, 59},     // C# taken as C: D and B
        {63, 0, -1, 0, 0, 65, 62},    // E flat taken as E
        {60, 0, 0, 0, 0, 62, 59},     // first degree wraps down
        {71, 0, 0, 0, 0, 72, 69},     // last degree wraps up
        {64, 0, 0, 2, -1, 67, 61},    // shifts are added
        {127, 0, 0, 0, 0, 127, 125},  // clamped to the key range
        {60, 0, 3, 0, 0, -1, -1},     // no such accidental
        {66, 1, 0, 0, 0, 67, 64},     // F# in G major
        {65, 1, 0, 0, 0, -1, -1},     // F is not in G major
        {65, -6, 0, 0, 0, 66, 63},    // G-flat major holds F: Gb above, Eb below
        {66, -6, 0, 0, 0, 68, 65},    // Gb: Ab and F
        {64, -6, 0, 0, 0, -1, -1},    // E is not in G-flat major
        {59, -7, 0, 0, 0, 61, 58},    // C-flat major: Cb (B) to Db and Bb
        {61, 7, 0, 0, 0, 63, 60},     // C-sharp major: C# to D# and B# (C)
        {60, -100, 0, 0, 0, -1, -1},  // out of the table: refused, not read
    };
    for (const auto& c : cases) {
        BYTE up = 0xAA, down = 0xAA;
        const int ok = CArticUtil::GetDia1Note(BYTE(c.key), char(c.sharpsFlats), char(c.temp), char(c.upShift),
                                               char(c.downShift), &up, &down);
        const auto where = ::testing::Message() << "key " << c.key << " sf " << c.sharpsFlats << " temp " << c.temp;
        EXPECT_EQ(ok, c.up >= 0 ? 1 : 0) << where;
        EXPECT_EQ(int(up), c.up >= 0 ? c.up : 0xAA) << where;
        EXPECT_EQ(int(down), c.down >= 0 ? c.down : 0xAA) << where;
    }
}

TEST(ArticUtilNotes, GFlatMajorScaleHasFNotE) {
    // Walk the scale upward from Gb: every step must land on the next degree.
    const int gFlatMajor[] = {66, 68, 70, 71, 73, 75, 77, 78};  // Gb Ab Bb Cb Db Eb F Gb
    for (int i = 0; i + 1 < 8; ++i) {
        BYTE up = 0, down = 0;
        ASSERT_EQ(CArticUtil::GetDia1Note(BYTE(gFlatMajor[i]), -6, 0, 0, 0, &up, &down), 1) << gFlatMajor[i];
        EXPECT_EQ(up, gFlatMajor[i + 1]);
    }
}

TEST(ArticUtilNotes, ChordRootTable) {
    struct Case {
        int root;
        int pc;
    };
    const Case cases[] = {
        {0x01, 9},  // C triple flat = A
        {0x67, 2},  // B triple sharp = D
        {0x31, 0},  {0x37, 11}, {0x47, 0}, {0x21, 11}, {0x35, 7}, {0x25, 6},
        {0x00, 0},  {0x38, 0},  {0x30, 0}, {0x70, 0},  {0x71, 0}, {0xFF, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(int(CArticUtil::GetNoteFromChord(BYTE(c.root))), c.pc) << c.root;
}

// ---------------------------------------------------------------- Meta data

TEST(ArticUtilMeta, TempoPacksAndInverts) {
    BYTE data[3] = {0, 0, 0};
    EXPECT_EQ(CArticUtil::SetTempo(data, 480, 120), 3);
    EXPECT_EQ(data[0], 0x07);
    EXPECT_EQ(data[1], 0xA1);
    EXPECT_EQ(data[2], 0x20);
    ULONG us = 0;
    EXPECT_EQ(CArticUtil::GetTempo(data, &us), 1);
    EXPECT_EQ(us, 500000u);
    WORD bpm = 0;
    EXPECT_EQ(CArticUtil::GetTempo(data, 480, &bpm), 1);
    EXPECT_EQ(bpm, 120);

    struct Case {
        WORD beatTicks, bpm;
        ULONG us;
    };
    const Case cases[] = {
        {480, 240, 250000}, {480, 60, 1000000}, {480, 100, 600000}, {960, 120, 250000}, {240, 120, 1000000},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(CArticUtil::SetTempo(data, c.beatTicks, c.bpm), 3);
        ASSERT_EQ(CArticUtil::GetTempo(data, &us), 1);
        EXPECT_EQ(us, c.us) << c.beatTicks << " " << c.bpm;
        bpm = 0;
        EXPECT_EQ(CArticUtil::GetTempo(data, c.beatTicks, &bpm), 1);
        EXPECT_EQ(bpm, c.bpm) << "round trip " << c.beatTicks << " " << c.bpm;
    }
}

TEST(ArticUtilMeta, TempoRefusesZeroAndClampsTo24Bits) {
    BYTE data[3] = {1, 2, 3};
    EXPECT_EQ(CArticUtil::SetTempo(data, 480, 0), 0);
    EXPECT_EQ(CArticUtil::SetTempo(data, 0, 120), 0);
    EXPECT_EQ(CArticUtil::SetTempo(nullptr, 480, 120), 0);
    EXPECT_EQ(data[0], 1);
    EXPECT_EQ(data[2], 3);

    EXPECT_EQ(CArticUtil::SetTempo(data, 480, 1), 3);  // 60 000 000 us does not fit 3 bytes
    EXPECT_EQ(data[0], 0xFF);
    EXPECT_EQ(data[1], 0xFF);
    EXPECT_EQ(data[2], 0xFF);
    EXPECT_EQ(CArticUtil::SetTempo(data, ULONG(0x12345678)), 3);
    EXPECT_EQ(data[0], 0xFF);
    EXPECT_EQ(CArticUtil::SetTempo(data, ULONG(500000)), 3);
    EXPECT_EQ(data[0], 0x07);

    const BYTE zero[3] = {0, 0, 0};
    WORD bpm = 77;
    EXPECT_EQ(CArticUtil::GetTempo(const_cast<BYTE*>(zero), 480, &bpm), 0);  // no division by zero
    EXPECT_EQ(bpm, 77);
    BYTE one[3] = {0, 0, 1};
    EXPECT_EQ(CArticUtil::GetTempo(one, 480, &bpm), 1);
    EXPECT_EQ(bpm, 65535);  // 60 000 000 beats per minute, held at the largest value
    EXPECT_EQ(CArticUtil::GetTempo(one, 0, &bpm), 0);
}

TEST(ArticUtilMeta, TimeSignature) {
    BYTE data[4] = {};
    EXPECT_EQ(CArticUtil::SetBeat(data, 6, 8, 720), 4);
    EXPECT_EQ(data[0], 6);
    EXPECT_EQ(data[1], 3);
    EXPECT_EQ(data[2], 36);
    EXPECT_EQ(data[3], 8);
    BYTE num = 0, den = 0;
    ULONG click = 0;
    EXPECT_EQ(CArticUtil::GetBeat(data, &num, &den, &click), 1);
    EXPECT_EQ(num, 6);
    EXPECT_EQ(den, 8);
    EXPECT_EQ(click, 720u);

    const int denominators[][2] = {{1, 0}, {2, 1}, {4, 2}, {8, 3}, {16, 4}, {32, 5}, {64, 6}, {128, 7}, {3, 2}, {0, 2}};
    for (const auto& d : denominators) {
        CArticUtil::SetBeat(data, 4, BYTE(d[0]), 480);
        EXPECT_EQ(data[1], d[1]) << d[0];
    }
    const int exponents[][2] = {{0, 1}, {1, 2}, {2, 4}, {3, 8}, {7, 128}, {8, 4}, {200, 4}};
    for (const auto& e : exponents) {
        data[1] = BYTE(e[0]);
        CArticUtil::GetBeat(data, &num, &den, &click);
        EXPECT_EQ(den, e[1]) << e[0];
    }
    EXPECT_EQ(CArticUtil::SetBeat(data, 4, 4, 100000), 4);
    EXPECT_EQ(data[2], 255);  // the clock byte is held at its largest value
}

TEST(ArticUtilMeta, KeySignatureAndDefaults) {
    BYTE data[2] = {};
    EXPECT_EQ(CArticUtil::SetMeter(data, -3, 1), 2);
    EXPECT_EQ(data[0], 0xFD);
    EXPECT_EQ(data[1], 1);
    char sf = 0;
    BYTE minor = 0;
    EXPECT_EQ(CArticUtil::GetMeter(data, &sf, &minor), 1);
    EXPECT_EQ(int(static_cast<signed char>(sf)), -3);
    EXPECT_EQ(minor, 1);

    EXPECT_EQ(CArticUtil::GetDefaultTempo(), 500000u);
    WORD ticks = 0, bpm = 0;
    CArticUtil::GetDefaultTempo(&ticks, &bpm);
    EXPECT_EQ(ticks, 480);
    EXPECT_EQ(bpm, 120);
    BYTE dsf = 9, dminor = 9;
    CArticUtil::GetDefaultMeter(&dsf, &dminor);
    EXPECT_EQ(dsf, 0);
    EXPECT_EQ(dminor, 0);

    const int bunbo[][2] = {{60, 32}, {120, 16}, {240, 8}, {480, 4}, {960, 2}, {1920, 4}, {0, 4}};
    for (const auto& b : bunbo) EXPECT_EQ(CArticUtil::GetBunbo(nullptr, ULONG(b[0])), b[1]) << b[0];
}

TEST(ArticUtilMeta, SetMetaGivesTheHostATaskMemoryCopy) {
    BYTE tempo[3] = {0x07, 0xA1, 0x20};
    tagMPEVENT e{};
    EXPECT_EQ(CArticUtil::SetMeta(&e, 0x51, 3, tempo), 0);
    ASSERT_NE(e.Bytes, nullptr);
    EXPECT_NE(e.Bytes, tempo);
    EXPECT_EQ(e.Length, 4u);
    const BYTE withType[4] = {0x51, 0x07, 0xA1, 0x20};
    EXPECT_EQ(std::memcmp(e.Bytes, withType, 4), 0);
    CoTaskMemFree(e.Bytes);

    tagMPEVENT plain{};
    EXPECT_EQ(CArticUtil::SetMeta(&plain, 3, tempo), 0);
    ASSERT_NE(plain.Bytes, nullptr);
    EXPECT_EQ(plain.Length, 3u);
    EXPECT_EQ(std::memcmp(plain.Bytes, tempo, 3), 0);
    CoTaskMemFree(plain.Bytes);

    tagMPEVENT untouched{};
    EXPECT_EQ(CArticUtil::SetMeta(nullptr, 0x51, 3, tempo), 1);
    EXPECT_EQ(CArticUtil::SetMeta(&untouched, 0x51, 3, nullptr), 1);
    EXPECT_EQ(CArticUtil::SetMeta(&untouched, 0x51, 0, tempo), 1);
    EXPECT_EQ(CArticUtil::SetMeta(&untouched, 0, tempo), 1);
    EXPECT_EQ(untouched.Bytes, nullptr);
    EXPECT_EQ(untouched.Length, 0u);
}

// ---------------------------------------------------------------- Controllers and parameters

TEST(ArticUtilParams, ControllerDefaults) {
    std::vector<int> expected(128, 0);
    expected[7] = 100;
    expected[10] = 64;
    for (int c = 71; c <= 78; ++c) expected[size_t(c)] = 64;
    expected[11] = 127;
    for (int c = 98; c <= 101; ++c) expected[size_t(c)] = 127;
    expected[126] = 127;
    expected[91] = 40;
    for (int c = 0; c < 128; ++c) EXPECT_EQ(CArticUtil::GetDefaultContVal(BYTE(c)), expected[size_t(c)]) << c;
}

TEST(ArticUtilParams, PackedDefaults) {
    struct Case {
        int status, msb, lsb, value;
    };
    const Case cases[] = {
        {0x10, 0, 0, 2},   {0x10, 0, 5, 2},  {0x10, 0, 1, 64},  {0x10, 26, 0, 127}, {0x10, 29, 3, 40},
        {0x10, 30, 0, 0},  {0x10, 31, 0, 0}, {0x10, 1, 8, 64},  {0x20, 0, 0, 0},    {0x30, 26, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CArticUtil::GetDefaultPackedVal(BYTE(c.status), BYTE(c.msb), BYTE(c.lsb)), c.value)
            << c.status << " " << c.msb << " " << c.lsb;
}

std::vector<int> Bytes(const BYTE* data, ULONG length) { return std::vector<int>(data, data + length); }

TEST(ArticUtilParams, SysExByAddress) {
    struct Case {
        int high, mid, low;
        LONG value;
        std::vector<int> bytes;  // empty = refused
    };
    const Case cases[] = {
        {0, 0, 0x7E, 55, {0x43, 0x10, 0x4C, 0, 0, 0x7E, 0, 0xF7}},  // system on carries 0
        {0, 0, 0x04, 0x1234, {0x43, 0x10, 0x4C, 0, 0, 0x04, 0x34, 0xF7}},
        {0, 0, 0x7F, 1, {0x43, 0x10, 0x4C, 0, 0, 0x7F, 0x01, 0xF7}},
        {0, 0, 0x00, 9, {0x43, 0x10, 0x4C, 0, 0, 0x00, 0, 0, 0, 0, 0xF7}},
        {1, 0, 0x7E, 0, {}},
        {0, 1, 0x7E, 0, {}},
        {0, 0, 0x80, 0, {}},
        {0, 0, 0x03, 0, {}},
        {0, 0, 0x7C, 0, {}},
    };
    for (const auto& c : cases) {
        BYTE* data = nullptr;
        BYTE status = 0;
        const ULONG length =
            CArticUtil::SetSysExParam(&data, &status, BYTE(c.high), BYTE(c.mid), BYTE(c.low), c.value);
        EXPECT_EQ(length, ULONG(c.bytes.size())) << c.low;
        if (c.bytes.empty()) {
            EXPECT_EQ(data, nullptr);
            EXPECT_EQ(status, 0);
            continue;
        }
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(status, 0xF0);
        EXPECT_EQ(Bytes(data, length), c.bytes) << c.low;
        delete[] data;
    }
}

TEST(ArticUtilParams, SysExByTexts) {
    struct Case {
        const char* model;
        const char* address;
        const char* values;
        std::vector<int> bytes;  // empty = refused
    };
    const Case cases[] = {
        {"4C", "000004", "7F", {0x43, 0x10, 0x4C, 0, 0, 0x04, 0x7F, 0xF7}},
        {"7f", "010203", "0A0b0C", {0x43, 0x10, 0x7F, 1, 2, 3, 0x0A, 0x0B, 0x0C, 0xF7}},
        {"4C", "000004", "7", {}},       // odd number of digits
        {"4C", "000004", "", {}},
        {"4", "000004", "7F", {}},
        {"4C0", "000004", "7F", {}},
        {"4C", "00004", "7F", {}},
        {"4C", "000004", "GG", {}},
        {"4C", "000004", " 1", {}},      // every pair is two hexadecimal digits
        {"4C", "000004", "-1", {}},
        {"4C", "0x0004", "01", {}},
    };
    for (const auto& c : cases) {
        BYTE* data = nullptr;
        BYTE status = 0;
        const ULONG length = CArticUtil::SetSysExParam(&data, &status, CString(c.model), CString(c.address),
                                                       CString(c.values));
        const auto where = ::testing::Message() << c.model << " " << c.address << " " << c.values;
        EXPECT_EQ(length, ULONG(c.bytes.size())) << where;
        if (c.bytes.empty()) {
            EXPECT_EQ(data, nullptr) << where;
            continue;
        }
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(status, 0xF0);
        EXPECT_EQ(Bytes(data, length), c.bytes) << where;
        delete[] data;
    }
}

TEST(ArticUtilParams, GetSysExParamReadsAddressAndOneByteValue) {
    struct Case {
        std::vector<BYTE> data;
        int result, high, mid, low;
        LONG value;
    };
    const Case cases[] = {
        {{0x43, 0x10, 0x4C, 0, 0, 0x04, 0x34, 0xF7}, 1, 0, 0, 4, 0x34},
        {{0x43, 0x10, 0x4C, 0, 0, 0x7E, 0x00, 0xF7}, 1, 0, 0, 0x7E, 0},
        {{0x43, 0x10, 0x4C, 0, 0, 0x7D, 0x11, 0xF7}, 1, 0, 0, 0x7D, 0x11},
        {{0x43, 0x10, 0x4C, 0, 0, 0x00, 0x09, 0, 0, 0, 0xF7}, 1, 0, 0, 0, 0},  // no one-byte value
        {{0x43, 0x10, 0x4C, 1, 2, 0x04, 0x22, 0xF7}, 1, 1, 2, 4, 0},         // not the system block
        {{0x43, 0x10, 0x4C, 0, 0, 0x03, 0x22, 0xF7}, 1, 0, 0, 3, 0},
        {{0x43, 0x10, 0x4C, 0, 0, 0x04}, 0, 9, 9, 9, 0},                     // too short
    };
    for (const auto& c : cases) {
        std::vector<BYTE> copy = c.data;
        BYTE high = 9, mid = 9, low = 9;
        LONG value = 99;
        EXPECT_EQ(CArticUtil::GetSysExParam(copy.data(), ULONG(copy.size()), &high, &mid, &low, &value), c.result);
        EXPECT_EQ(high, c.high);
        EXPECT_EQ(mid, c.mid);
        EXPECT_EQ(low, c.low);
        EXPECT_EQ(value, c.value);
    }
}

// ---------------------------------------------------------------- Range checks

TEST(ArticUtilLimits, Table) {
    struct Case {
        const char* name;
        LONG value;
        int result;
        long long stored;  // -999 = nothing stored
    };
    auto run = [](const char* name, LONG value, long long* stored) -> int {
        const std::string n(name);
        int r = -1;
        if (n == "Byte") {
            BYTE o = 0xAB;
            r = CArticUtil::LimitByte(value, &o);
            *stored = o == 0xAB && r ? -999LL : (long long)(o);
        } else if (n == "Char") {
            char o = 0x5A;
            r = CArticUtil::LimitChar(value, &o);
            *stored = o == 0x5A && r ? -999LL : (long long)(static_cast<signed char>(o));
        } else if (n == "Short") {
            short o = 0x5A5A;
            r = CArticUtil::LimitShort(value, &o);
            *stored = o == 0x5A5A && r ? -999LL : (long long)(o);
        } else if (n == "Word") {
            WORD o = 0x5A5A;
            r = CArticUtil::LimitWord(value, &o);
            *stored = o == 0x5A5A && r ? -999LL : (long long)(o);
        } else if (n == "ULong") {
            ULONG o = 0x5A5A5A5A;
            r = CArticUtil::LimitULong(value, &o);
            *stored = o == 0x5A5A5A5A && r ? -999LL : (long long)(o);
        } else if (n == "DWORD") {
            DWORD o = 0x5A5A5A5A;
            r = CArticUtil::LimitDWORD(value, &o);
            *stored = o == 0x5A5A5A5A && r ? -999LL : (long long)(o);
        }
        return r;
    };
    const Case cases[] = {
        {"Byte", 0, 0, 0},           {"Byte", 255, 0, 255},        {"Byte", 256, 1, -999},
        {"Byte", -1, 1, -999},       {"Char", -128, 0, -128},      {"Char", 127, 0, 127},
        {"Char", 128, 1, -999},      {"Char", -129, 1, -999},      {"Short", -32768, 0, -32768},
        {"Short", 32767, 0, 32767},  {"Short", 32768, 1, -999},    {"Short", -32769, 1, -999},
        {"Word", 65535, 0, 65535},   {"Word", 70000, 1, 4464},     {"Word", -1, 1, 65535},
        {"Word", 0, 0, 0},           {"ULong", 0, 0, 0},           {"ULong", INT32_MAX, 0, INT32_MAX},
        {"ULong", -1, 1, -999},      {"DWORD", 300, 0, 300},       {"DWORD", -300, 1, -999},
    };
    for (const auto& c : cases) {
        long long stored = 0;
        EXPECT_EQ(run(c.name, c.value, &stored), c.result) << c.name << " " << c.value;
        EXPECT_EQ(stored, c.stored) << c.name << " " << c.value;
    }
}

// ---------------------------------------------------------------- Random numbers

class ArticUtilRandom : public ::testing::Test {
protected:
    void TearDown() override { SetRandomHook(nullptr); }
    void Draw(int r) {
        SetRandomHook([r] { return r; });
    }
};

TEST_F(ArticUtilRandom, InjectedDraws) {
    struct Case {
        int r;
        double rand1, rand2, rand3;  // rand3 over (0, 10)
    };
    const Case cases[] = {
        {0, -1.0, 0.0, 0.0},
        {16384, 0.0, 0.5, 5.0},
        {32767, 1.0, 32767.0 / 32768.0, 10.0},
        {16385, 1.0 / 16383.0, 16385.0 / 32768.0, 10.0 * 16385.0 / 32768.0},
        {8192, -0.5, 0.25, 2.5},
    };
    for (const auto& c : cases) {
        Draw(c.r);
        EXPECT_DOUBLE_EQ(CArticUtil::Rand1(), c.rand1) << c.r;
        EXPECT_DOUBLE_EQ(CArticUtil::Rand2(), c.rand2) << c.r;
        EXPECT_DOUBLE_EQ(CArticUtil::Rand3(0.0, 10.0), c.rand3) << c.r;
    }
}

TEST_F(ArticUtilRandom, Rand3WithoutRangeGivesA) {
    for (int r : {0, 16384, 32767}) {
        Draw(r);
        EXPECT_EQ(CArticUtil::Rand3(5.0, 5.0), 5.0);
        EXPECT_EQ(CArticUtil::Rand3(7.0, 2.0), 7.0);
    }
    Draw(32767);
    EXPECT_EQ(CArticUtil::Rand3(-3.0, -1.0), -1.0);
}

TEST_F(ArticUtilRandom, Rand3DrawsEvenWithoutRange) {
    int draws = 0;
    SetRandomHook([&draws] { return ++draws; });
    EXPECT_EQ(CArticUtil::Rand3(5.0, 5.0), 5.0);
    EXPECT_EQ(CArticUtil::Rand3(7.0, 2.0), 7.0);
    EXPECT_EQ(draws, 2);
}

TEST_F(ArticUtilRandom, RealGeneratorStaysInRange) {
    CArticUtil::InitRand();
    std::set<double> seen;
    for (int i = 0; i < 20000; ++i) {
        const double a = CArticUtil::Rand1();
        const double b = CArticUtil::Rand2();
        const double c = CArticUtil::Rand3(2.0, 3.0);
        ASSERT_GE(a, -1.0);
        ASSERT_LE(a, 1.0);
        ASSERT_GE(b, 0.0);
        ASSERT_LT(b, 1.0);
        ASSERT_GE(c, 2.0);
        ASSERT_LE(c, 3.0);
        seen.insert(b);
    }
    EXPECT_GT(seen.size(), 1000u);  // the draws do vary
}

// ---------------------------------------------------------------- Library folder

class ArticUtilLibrary : public ::testing::Test {
protected:
    void SetUp() override { saved_ = CArticUtil::GetLibPath(); }
    void TearDown() override { CArticUtil::SetLibPath(&saved_); }
    void Folder(const char* folder) {
        CString f(folder);
        CArticUtil::SetLibPath(&f);
    }
    CString saved_;
};

TEST_F(ArticUtilLibrary, FullPathTable) {
    struct Case {
        const char* folder;
        const char* name;
        const char* full;
    };
    const Case cases[] = {
        {"D:\\lib", "a.mid", "D:\\lib\\a.mid"},
        {"D:\\lib\\", "a.mid", "D:\\lib\\a.mid"},  // no second backslash
        {"D:\\lib", "C:\\x\\a.mid", "C:\\x\\a.mid"},  // a drive letter keeps the name
        {"D:\\lib", "c:a.mid", "c:a.mid"},
        {"D:\\lib", "C:", "D:\\lib\\C:"},           // two characters are not enough
        {"D:\\lib", "1:\\a.mid", "D:\\lib\\1:\\a.mid"},
        {"D:\\lib", "sub\\a.mid", "D:\\lib\\sub\\a.mid"},
        {"D:\\表", "a.mid", "D:\\表\\a.mid"},       // the trail byte 0x5C is no separator
        {"D:\\表\\", "a.mid", "D:\\表\\a.mid"},
        {"", "a.mid", "a.mid"},                     // no folder set yet
    };
    for (const auto& c : cases) {
        Folder(c.folder);
        EXPECT_STREQ(CArticUtil::GetLibPath(), c.folder);
        EXPECT_STREQ(CArticUtil::GetLibFullPath(CString(c.name)), c.full) << c.folder << " + " << c.name;
    }
    CArticUtil::SetLibPath(nullptr);
    EXPECT_STREQ(CArticUtil::GetLibPath(), "");
}

// ---------------------------------------------------------------- Documents

TEST(ArticUtilDocuments, RegistryLifeCycle) {
    auto* docA = reinterpret_cast<IUnknown*>(0x1000);
    auto* docB = reinterpret_cast<IUnknown*>(0x2000);
    HWND winA = reinterpret_cast<HWND>(0xA);
    HWND winA2 = reinterpret_cast<HWND>(0xA2);
    HWND winB = reinterpret_cast<HWND>(0xB);
    const HWND sentinel = reinterpret_cast<HWND>(0x5E);

    ASSERT_EQ(CArticUtil::GetDocumentCount(), 0);
    HWND w = sentinel;
    EXPECT_EQ(CArticUtil::GetProc(docA, &w), 0);  // no registry: nothing happens
    EXPECT_EQ(w, sentinel);
    EXPECT_EQ(CArticUtil::IsDocument(docA), 0);
    CArticUtil::RemoveDocument(docA);  // harmless without a registry

    CArticUtil::AddDocument(docA, winA);
    CArticUtil::AddDocument(docB, winB);
    CArticUtil::AddDocument(docA, winA2);
    EXPECT_EQ(CArticUtil::GetDocumentCount(), 3);
    EXPECT_EQ(CArticUtil::IsDocument(docB), 1);
    EXPECT_EQ(CArticUtil::GetProc(docA, &w), 1);
    EXPECT_EQ(w, winA);  // the first entry wins
    EXPECT_EQ(CArticUtil::GetProc(reinterpret_cast<IUnknown*>(0x3000), &w), 1);
    EXPECT_EQ(w, nullptr);  // unknown document: no window
    w = sentinel;
    EXPECT_EQ(CArticUtil::GetProc(nullptr, &w), 0);
    EXPECT_EQ(w, sentinel);

    CArticUtil::RemoveDocument(docA);  // removes the first entry only
    EXPECT_EQ(CArticUtil::GetDocumentCount(), 2);
    EXPECT_EQ(CArticUtil::GetProc(docA, &w), 1);
    EXPECT_EQ(w, winA2);
    CArticUtil::RemoveDocument(docA);
    CArticUtil::RemoveDocument(docB);
    EXPECT_EQ(CArticUtil::GetDocumentCount(), 0);
    EXPECT_EQ(CArticUtil::IsDocument(docB), 0);
    w = sentinel;
    EXPECT_EQ(CArticUtil::GetProc(docB, &w), 0);  // registry gone again
    EXPECT_EQ(w, sentinel);
}

}  // namespace
