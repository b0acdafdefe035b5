// Writing the song model as SMF bytes: number forms, end of track, running
// status, the header's track count, the ZQ chunks, and writes that must fail
// without touching the output.
#include <gtest/gtest.h>

#include <memory>

#include "SmfTestBytes.h"
#include "app/SmfCodes.h"

using namespace smfmodel;

namespace {

// Load, write, and the written bytes.
Bytes RoundTrip(const Bytes& in, int* code = nullptr) {
    CSmf smf;
    const int rc = smf.FromByteArray(ToQt(in));
    EXPECT_EQ(rc, 0);
    QByteArray out;
    const int written = smf.ToByteArray(out);
    if (code) *code = written;
    return FromQt(out);
}

std::unique_ptr<CEvnt> Channel(DWORD time, BYTE status, BYTE channel, BYTE d1, BYTE d2 = 0) {
    auto e = std::make_unique<CEvnt>();
    e->SetTime(time);
    e->SetStatus(status);
    e->SetChannel(channel);
    e->SetDataBytes(d1, d2);
    return e;
}

// A model of one track holding the given events as they stand.
std::unique_ptr<CSmf> OneTrack(std::initializer_list<CEvnt*> events) {
    auto smf = std::make_unique<CSmf>();
    auto track = std::make_unique<CTrk>();
    for (CEvnt* e : events) track->Append(std::unique_ptr<CEvnt>(e));
    smf->GetTracks().push_back(std::move(track));
    return smf;
}

}  // namespace

TEST(SmfModelWrite, TracksAreWrittenWithTheShortestNumbersAndRunningStatus) {
    struct Case {
        const char* what;
        Bytes in;   // events of the one track read
        Bytes out;  // events of the one track written
    };
    const Case cases[] = {
        {"delta 0", {0x00, 0xB0, 0x07, 0x64, 0x00, 0xFF, 0x2F, 0x00}, {0x00, 0xB0, 0x07, 0x64, 0x00, 0xFF, 0x2F, 0x00}},
        {"delta 0x80", {0x81, 0x00, 0xB0, 0x07, 0x64, 0x00, 0xFF, 0x2F, 0x00},
         {0x81, 0x00, 0xB0, 0x07, 0x64, 0x00, 0xFF, 0x2F, 0x00}},
        {"delta 0x0FFFFFFF", {0xFF, 0xFF, 0xFF, 0x7F, 0xB0, 0x07, 0x64, 0x00, 0xFF, 0x2F, 0x00},
         {0xFF, 0xFF, 0xFF, 0x7F, 0xB0, 0x07, 0x64, 0x00, 0xFF, 0x2F, 0x00}},
        {"padded delta written short", {0x80, 0x80, 0x05, 0xB0, 0x07, 0x64, 0x00, 0xFF, 0x2F, 0x00},
         {0x05, 0xB0, 0x07, 0x64, 0x00, 0xFF, 0x2F, 0x00}},
        {"missing end of track added at the last event",
         {0x00, 0x90, 0x3C, 0x40, 0x10, 0x80, 0x3C, 0x00},
         {0x00, 0x90, 0x3C, 0x40, 0x10, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}},
        {"end of track in the middle dropped",
         {0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00, 0x10, 0x80, 0x3C, 0x00},
         {0x00, 0x90, 0x3C, 0x40, 0x10, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}},
        {"same status and channel: status left out; velocity 0 stays a note-on",
         {0x00, 0x90, 0x3C, 0x40, 0x10, 0x90, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00},
         {0x00, 0x90, 0x3C, 0x40, 0x10, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}},
        {"another channel: status written",
         {0x00, 0x90, 0x3C, 0x40, 0x00, 0x91, 0x3C, 0x40, 0x00, 0x90, 0x3E, 0x40, 0x00, 0xFF, 0x2F, 0x00},
         {0x00, 0x90, 0x3C, 0x40, 0x00, 0x91, 0x3C, 0x40, 0x00, 0x90, 0x3E, 0x40, 0x00, 0xFF, 0x2F, 0x00}},
        {"running status read across a meta event is written again after it",
         {0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x01, 0x01, 0x41, 0x10, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00},
         {0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x01, 0x01, 0x41, 0x10, 0x90, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}},
        {"and across an exclusive event",
         {0x00, 0xC1, 0x05, 0x00, 0xF0, 0x02, 0x7E, 0xF7, 0x00, 0x06, 0x00, 0xFF, 0x2F, 0x00},
         {0x00, 0xC1, 0x05, 0x00, 0xF0, 0x02, 0x7E, 0xF7, 0x00, 0xC1, 0x06, 0x00, 0xFF, 0x2F, 0x00}},
    };
    for (const Case& c : cases) {
        int code = -1;
        const Bytes out = RoundTrip(Song(c.in), &code);
        EXPECT_EQ(code, 0) << c.what;
        EXPECT_EQ(out, Song(c.out)) << c.what;
    }
}

TEST(SmfModelWrite, TheHeaderCountsTheTrackChunksWritten) {
    const Bytes track = Chunk("MTrk", kEot);
    // Says 2, holds 3.
    EXPECT_EQ(RoundTrip(Cat({Header(1, 2, 96), track, track, track})), Cat({Header(1, 3, 96), track, track, track}));
    // No header at all: format 0, division 480, and the one track counted.
    EXPECT_EQ(RoundTrip(track), Cat({Header(0, 1, 480), track}));
}

TEST(SmfModelWrite, ZqBodiesFollowTheTracksAndZqkmAloneBecomesZqih) {
    const Bytes track = Chunk("MTrk", kEot);
    CSmf smf;
    ASSERT_EQ(smf.FromByteArray(ToQt(Cat({Header(0, 1, 480), Chunk("ZQKM", {7, 8, 9}), track}))), 0);
    int format = -1;
    ASSERT_EQ(smf.GetFormat(format), 0);
    EXPECT_EQ(format, SMF_FORMAT_ZQ);
    QByteArray out;
    ASSERT_EQ(smf.ToByteArray(out), 0);
    EXPECT_EQ(FromQt(out), Cat({Header(0, 1, 480), track, Chunk("ZQIH", {7, 8, 9}), Chunk("ZQKM", {7, 8, 9})}));

    struct Case {
        Bytes song;
        int format;
    };
    const Case formats[] = {
        {Cat({Header(0, 1, 480), track}), 0},
        {Cat({Header(1, 1, 480), track, Chunk("ZQIH", {1})}), 1},
        {Cat({Header(0, 1, 480), track, Chunk("ZQIH", {1})}), SMF_FORMAT_ZQ},
    };
    for (const Case& c : formats) {
        ASSERT_EQ(smf.FromByteArray(ToQt(c.song)), 0);
        ASSERT_EQ(smf.GetFormat(format), 0);
        EXPECT_EQ(format, c.format);
    }
}

TEST(SmfModelWrite, SetFormatCountsTheTracks) {
    CSmf smf;
    ASSERT_EQ(smf.FromByteArray(ToQt(Cat({Header(0, 1, 480), Chunk("MTrk", kEot), Chunk("MTrk", kEot)}))),
              0);
    ASSERT_EQ(smf.SetFormat(1), 0);
    EXPECT_EQ(smf.GetHead().Format, 1);
    EXPECT_EQ(smf.GetHead().TrackCount, 2);
}

TEST(SmfModelWrite, AFailedWriteLeavesTheOutputAsItWas) {
    // ToByteArray 1 <- write 4 (tracks) <- tracks 2 <- track chunk 4 <- events <- one event.
    struct Case {
        const char* what;
        std::unique_ptr<CSmf> smf;
        int code;
    };
    Case cases[] = {
        {"no track", std::make_unique<CSmf>(), int(0x80000141)},
        {"a gap of 0x10000000 ticks needs five bytes",
         OneTrack({Channel(0, SMF_CONTROL, 0, 7, 100).release(), Channel(0x10000000, SMF_CONTROL, 0, 7, 90).release()}),
         int(0x80054241)},
        {"an event earlier than the one before",
         OneTrack({Channel(10, SMF_CONTROL, 0, 7, 100).release(), Channel(5, SMF_CONTROL, 0, 7, 90).release()}),
         int(0x80034241)},
        {"a data byte with its top bit", OneTrack({Channel(0, SMF_NOTE_ON, 0, 0x3C, 0x80).release()}), int(0x80644241)},
        {"a channel above 15", OneTrack({Channel(0, SMF_PROGRAM, 16, 1).release()}), int(0x80344241)},
        {"a status with channel bits", OneTrack({Channel(0, 0x93, 0, 1, 2).release()}), int(0x80944241)},
    };
    for (Case& c : cases) {
        QByteArray out("keep me");
        EXPECT_EQ(c.smf->ToByteArray(out), c.code) << c.what;
        EXPECT_EQ(out, QByteArray("keep me")) << c.what;
    }
}

TEST(SmfModelWrite, AnEmptyTrackIsAnEmptyChunkAndTheLargestGapStillFits) {
    auto smf = OneTrack({Channel(0, SMF_CONTROL, 0, 7, 100).release(), Channel(0x0FFFFFFF, SMF_CONTROL, 0, 7, 90).release()});
    smf->GetTracks().push_back(std::make_unique<CTrk>());
    QByteArray out("old");
    ASSERT_EQ(smf->ToByteArray(out), 0);
    EXPECT_EQ(FromQt(out), Cat({Header(0, 2, 480), Chunk("MTrk", {0x00, 0xB0, 0x07, 0x64, 0xFF, 0xFF, 0xFF, 0x7F, 0x07, 0x5A}),
                                Text("MTrk"), U32(0)}));
}
