// Reading SMF bytes into the song model: what it accepts, what it refuses
// (with the nested failure code that names the failing steps), and what it
// keeps of a song it refuses.
#include <gtest/gtest.h>

#include "SmfTestBytes.h"
#include "app/SmfCodes.h"

using namespace smfmodel;

namespace {

int Load(CSmf& smf, const Bytes& bytes) { return smf.FromByteArray(ToQt(bytes)); }

// 16 gaps of 0x0FFFFFFF reach 0xFFFFFFF0; one more passes 32 bits.
Bytes LongGaps(int count) {
    Bytes events;
    for (int i = 0; i < count; ++i) events = Cat({events, {0xFF, 0xFF, 0xFF, 0x7F, 0xB0, 0x07, 0x64}});
    return events;
}

struct LoadCase {
    const char* what;
    Bytes bytes;
    int code;  // expected result of FromByteArray
};

}  // namespace

TEST(SmfModelRead, RefusedFilesGiveTheCodeOfEveryFailingStep) {
    // Codes worked out from the step numbers, outermost step in the lowest digit:
    // FromByteArray 2 (parse) <- parse 5/6/7/8/9/10 <- chunk <- events <- event.
    const LoadCase cases[] = {
        {"empty", {}, int(0x80000012)},
        {"one stray byte after the last chunk", Cat({Song(kEot), {0x00}}), int(0x80000252)},
        {"two stray bytes after the last chunk", Cat({Song(kEot), {0x00, 0x00}}), int(0x80000252)},
        {"three stray bytes", Cat({Song(kEot), {0x4D, 0x54, 0x68}}), int(0x80000252)},
        {"header of length 7", Cat({Text("MThd"), U32(7), {0, 0, 0, 1, 1, 0xE0, 0}}), int(0x80000362)},
        {"header cut short", Cat({Text("MThd"), U32(6), {0, 0, 0, 1}}), int(0x80000362)},
        {"division 0", Cat({Header(0, 1, 0), Chunk("MTrk", kEot)}), int(0x80000462)},
        {"track of length 0", Cat({Header(0, 1, 480), Text("MTrk"), U32(0)}), int(0x80002572)},
        {"note-on cut after its key", Cat({Header(0, 1, 480), Chunk("MTrk", {0x00, 0x90, 0x3C})}), int(0x80027572)},
        {"five-byte delta time", Song({0x81, 0x80, 0x80, 0x80, 0x00, 0xB0, 0x07, 0x64}), int(0x80023572)},
        {"running time past 32 bits", Song(LongGaps(17)), int(0x80003572)},
        {"data byte 0x90 where a key belongs", Song({0x00, 0x90, 0x90, 0x40, 0x00, 0xFF, 0x2F, 0x00}), int(0x80067572)},
        {"data byte 0x80 as a controller value", Song({0x00, 0xB0, 0x07, 0x80, 0x00, 0xFF, 0x2F, 0x00}), int(0x80068572)},
        {"data byte 0xFF as a program", Song({0x00, 0xC0, 0xFF, 0x00, 0xFF, 0x2F, 0x00}), int(0x80069572)},
        {"data byte before any status", Song({0x00, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}), int(0x8000A572)},
        {"system common status", Song({0x00, 0xF1, 0x00, 0x00, 0xFF, 0x2F, 0x00}), int(0x8000A572)},
        {"exclusive data past the end", Song({0x00, 0xF0, 0x05, 0x01, 0x02}), int(0x80036572)},
        {"meta data past the end", Song({0x00, 0xFF, 0x01, 0x09, 0x41}), int(0x80045572)},
        {"meta length of five bytes", Song({0x00, 0xFF, 0x01, 0x81, 0x80, 0x80, 0x80, 0x00}), int(0x80035572)},
        {"track length past the data", Cat({Header(0, 1, 480), Text("MTrk"), U32(100), kEot}), int(0x80023572)},
        {"track length of 0xFFFFFFFF", Cat({Header(0, 1, 480), Text("MTrk"), U32(0xFFFFFFFF), kEot}),
         int(0x80023572)},
        {"last event running past its chunk",
         Cat({Header(0, 1, 480), Chunk("MTrk", {0x00, 0x90, 0x3C}), {0x40, 0x00, 0x00, 0x00}}), int(0x8000B572)},
        {"unknown chunk past the data", Cat({Song(kEot), Text("abcd"), U32(9), {1, 2, 3}}), int(0x80000382)},
        {"listed chunk past the data", Cat({Song(kEot), Text("RIFF"), U32(0xFFFFFFF0), {1}}), int(0x80000392)},
        {"unknown chunk without its length", Cat({Song(kEot), Text("abcd"), {0, 0}}), int(0x80000282)},
        {"ZQIH body past the data", Cat({Song(kEot), Text("ZQIH"), U32(5), {1, 2}}), int(0x800003A2)},
        {"ZQKM body past the data", Cat({Song(kEot), Text("ZQKM"), U32(0x80000000), {1}}), int(0x800003B2)},
    };
    for (const LoadCase& c : cases) {
        CSmf smf;
        EXPECT_EQ(Load(smf, c.bytes), c.code) << c.what << std::hex << " got 0x" << Load(smf, c.bytes);
    }
}

TEST(SmfModelRead, ARefusedTrackKeepsWhatWasReadAndGetsAnEndOfTrack) {
    CSmf smf;
    const Bytes bytes = Cat({Header(0, 1, 480), Chunk("MTrk", {0x00, 0xB0, 0x07, 0x64, 0x10, 0x90, 0x3C})});
    ASSERT_EQ(Load(smf, bytes), int(0x80027572));
    ASSERT_EQ(smf.GetTracks().size(), 1u);
    EXPECT_EQ(Describe(*smf.GetTracks()[0]), "0 b0/0 7 64\n10 ff.2f\n");
}

TEST(SmfModelRead, AcceptedSongsKeepTheirEventsInTimeOrder) {
    struct Case {
        const char* what;
        Bytes events;
        const char* expected;
    };
    const Case cases[] = {
        {"end of track at the end is kept at its time", {0x00, 0x90, 0x3C, 0x40, 0x20, 0xFF, 0x2F, 0x00},
         "0 90/0 3c 40\n20 ff.2f\n"},
        {"a track without one gets it at its last event's time", {0x00, 0x90, 0x3C, 0x40, 0x10, 0x80, 0x3C, 0x00},
         "0 90/0 3c 40\n10 80/0 3c 0\n10 ff.2f\n"},
        {"one in the middle is dropped, what follows kept",
         {0x00, 0x90, 0x3C, 0x40, 0x05, 0xFF, 0x2F, 0x00, 0x10, 0x80, 0x3C, 0x00},
         "0 90/0 3c 40\n15 80/0 3c 0\n15 ff.2f\n"},
        {"running status survives a meta event",
         {0x00, 0x91, 0x3C, 0x40, 0x00, 0xFF, 0x01, 0x01, 0x41, 0x10, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00},
         "0 90/1 3c 40\n0 ff.1: 41\n10 90/1 3c 0\n10 ff.2f\n"},
        {"running status survives an exclusive event",
         {0x00, 0xB2, 0x07, 0x64, 0x00, 0xF0, 0x02, 0x7E, 0xF7, 0x00, 0x0A, 0x40, 0x00, 0xFF, 0x2F, 0x00},
         "0 b0/2 7 64\n0 f0: 7e f7\n0 b0/2 a 40\n0 ff.2f\n"},
        {"one-byte messages, escape and pitch bend",
         {0x00, 0xC3, 0x05, 0x00, 0xD3, 0x7F, 0x81, 0x00, 0xE3, 0x00, 0x40, 0x00, 0xF7, 0x01, 0x55, 0x00, 0xFF, 0x2F, 0x00},
         "0 c0/3 5 0\n0 d0/3 7f 0\n80 e0/3 0 40\n80 f7: 55\n80 ff.2f\n"},
        {"a note-on of velocity 0 stays a note-on", {0x00, 0x90, 0x3C, 0x40, 0x60, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00},
         "0 90/0 3c 40\n60 90/0 3c 0\n60 ff.2f\n"},
        {"four-byte delta times", {0xFF, 0xFF, 0xFF, 0x7F, 0xB0, 0x07, 0x64, 0x00, 0xFF, 0x2F, 0x00},
         "fffffff b0/0 7 64\nfffffff ff.2f\n"},
    };
    for (const Case& c : cases) {
        CSmf smf;
        ASSERT_EQ(Load(smf, Song(c.events)), 0) << c.what;
        ASSERT_EQ(smf.GetTracks().size(), 1u) << c.what;
        EXPECT_EQ(Describe(*smf.GetTracks()[0]), c.expected) << c.what;
    }
}

TEST(SmfModelRead, TheLongestRunningTimeStillLoads) {
    CSmf smf;
    ASSERT_EQ(Load(smf, Song(LongGaps(16))), 0);
    EXPECT_EQ(smf.GetTracks()[0]->GetEvents().back()->GetTime(), 0xFFFFFFF0u);
}

TEST(SmfModelRead, ChunksAroundTheTracks) {
    const Bytes zqih = {1, 2, 3};
    const Bytes zqkm = {9, 8};
    // A header anywhere (a later one wins), skipped chunks of any identifier,
    // the ZQ bodies kept.
    const Bytes bytes = Cat({Chunk("abcd", {1, 2, 3, 4, 5, 6, 7, 8}), Header(1, 5, 96), Chunk("MTrk", kEot),
                             Chunk("RIFF", {0}), Chunk("ZQIH", zqih), Header(1, 2, 960), Chunk("ZQKM", zqkm),
                             Chunk("MTrk", {0x00, 0xB0, 0x07, 0x64, 0x00, 0xFF, 0x2F, 0x00})});
    CSmf smf;
    ASSERT_EQ(Load(smf, bytes), 0);
    EXPECT_EQ(smf.GetHead().Format, 1);
    EXPECT_EQ(smf.GetHead().TrackCount, 2);
    EXPECT_EQ(smf.GetHead().Division, 960);
    ASSERT_EQ(smf.GetTracks().size(), 2u);
    EXPECT_EQ(Describe(*smf.GetTracks()[1]), "0 b0/0 7 64\n0 ff.2f\n");
    EXPECT_EQ(smf.GetZqihBody(), zqih);
    EXPECT_EQ(smf.GetZqkmBody(), zqkm);
}

TEST(SmfModelRead, AFileWithoutHeaderIsFormat0AtDivision480) {
    CSmf smf;
    ASSERT_EQ(Load(smf, Cat({Header(1, 1, 96), Chunk("MTrk", kEot)})), 0);
    ASSERT_EQ(Load(smf, Chunk("MTrk", kEot)), 0);
    EXPECT_EQ(smf.GetHead().Format, 0);
    EXPECT_EQ(smf.GetHead().TrackCount, 0);
    EXPECT_EQ(smf.GetHead().Division, 480);
    EXPECT_EQ(smf.GetTracks().size(), 1u);
}

TEST(SmfModelRead, LoadingReplacesTheWholeSong) {
    CSmf smf;
    ASSERT_EQ(Load(smf, Cat({Header(1, 2, 96), Chunk("MTrk", kEot), Chunk("MTrk", kEot),
                             Chunk("ZQKM", {1})})),
              0);
    ASSERT_EQ(Load(smf, Song(kEot)), 0);
    EXPECT_EQ(smf.GetTracks().size(), 1u);
    EXPECT_TRUE(smf.GetZqkmBody().empty());
    EXPECT_EQ(smf.GetHead().Division, 480);
}
