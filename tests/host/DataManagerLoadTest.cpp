// Reading SMF bytes into the song document.
#include <gtest/gtest.h>

#include "SmfFixtures.h"

using namespace smftest;

namespace {

const std::vector<BYTE> kCControl = {0xB0, 0x07, 0x64};

// The events of one kind in a track.
std::vector<SongEventInfo> OfKind(const Loaded& song, int track, DWORD kind) {
    std::vector<SongEventInfo> out;
    for (const SongEventInfo& e : song.Events(track))
        if (e.Kind == kind) out.push_back(e);
    return out;
}

}  // namespace

TEST(SmfLoad, MakesSeventeenTracksWithOneBlockEach) {
    Loaded song;
    ASSERT_EQ(song.Load(Smf0({0x00, 0x99, 0x24, 0x64, 0x60, 0x89, 0x24, 0x40})), 1);
    EXPECT_EQ(song.doc.GetFileKind(), FILE_KIND_SMF0);
    EXPECT_EQ(song.layout.Kind, FILE_KIND_SMF0);
    ASSERT_EQ(song.TrackCount(), 17);
    for (int i = 0; i < 17; ++i) {
        const TrackInfo& info = song.Track(i)->GetInfo();
        EXPECT_EQ(info.Number, i);
        EXPECT_EQ(info.Channel, i == 0 ? 0 : i - 1);
        EXPECT_EQ(info.Transposable, i == 10 ? 0 : 1) << i;
        EXPECT_EQ(info.Port, 0);  // no ports in this program
        ASSERT_EQ(song.Track(i)->GetBlockCount(), 1);
        const BlockInfo& block = doctest::BlockOf(song.doc, i, 0)->GetInfo();
        EXPECT_EQ(block.Kind, BLOCK_KIND_PLAIN);
        EXPECT_EQ(block.Start, 0);
        CString name;
        name.Format("Block%d", i);
        EXPECT_EQ(block.Name, name);
        EXPECT_EQ(block.Color, 0xCDCDCDu);
    }
    // The drum note lands on the channel-10 track, paired: 0x60 ticks at 960 per quarter.
    const auto notes = OfKind(song, 10, MPEVENT_KIND_NOTE);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].Data1, 0x24);
    EXPECT_EQ(notes[0].Duration, 0x60);
    EXPECT_EQ(notes[0].Data3, 0x40);
    EXPECT_EQ(song.Events(10).size(), 1u);  // the note off is gone into the note
}

TEST(SmfLoad, RetimesToNineHundredSixtyWithTheRemainderCarried) {
    struct Case {
        WORD division;
        std::vector<BYTE> deltas;  // one control change per delta
        std::vector<INT64> times;
    };
    const Case cases[] = {
        {480, {1}, {2}},
        {7, {1, 1, 1}, {137, 274, 411}},
        {960, {0x81, 0x80, 0x00}, {16384}},
        {96, {0x60, 0x00}, {960, 960}},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> events;
        for (size_t i = 0; i < c.deltas.size(); ++i) {
            events.push_back(c.deltas[i]);
            // A multi-byte delta: continue until the byte without bit 7.
            while (c.deltas[i] & 0x80) events.push_back(c.deltas[++i]);
            events.insert(events.end(), kCControl.begin(), kCControl.end());
        }
        Loaded song;
        ASSERT_EQ(song.Load(Smf0(events, c.division)), 1) << c.division;
        std::vector<INT64> times;
        for (const SongEventInfo& e : song.Events(1)) times.push_back(e.Time);
        EXPECT_EQ(times, c.times) << c.division;
    }
}

TEST(SmfLoad, LongDeltaTimesDoNotWrap) {
    // 5000000 ticks: d x 960 is past 32 bits.
    Loaded song;
    ASSERT_EQ(song.Load(Smf0({0x82, 0xB1, 0x96, 0x40, 0xB0, 0x07, 0x64})), 1);
    ASSERT_EQ(song.Events(1).size(), 1u);
    EXPECT_EQ(song.Events(1)[0].Time, 5000000);

    Loaded slow;  // the largest delta at 1 tick per quarter note
    ASSERT_EQ(slow.Load(Smf0({0xFF, 0xFF, 0xFF, 0x7F, 0xB0, 0x07, 0x64}, 1)), 1);
    EXPECT_EQ(slow.Events(1)[0].Time, INT64(0x0FFFFFFF) * 960);
}

TEST(SmfLoad, MapsMessagesToEventKinds) {
    Loaded song;
    ASSERT_EQ(song.Load(Smf0({0x00, 0xA2, 0x3C, 0x11,   // key pressure
                              0x00, 0xB2, 0x0A, 0x22,   // control change
                              0x00, 0xC2, 0x05,         // program
                              0x00, 0xD2, 0x33,         // channel pressure
                              0x00, 0xE2, 0x01, 0x40,   // pitch bend LSB, MSB
                              0x00, 0x82, 0x3D, 0x12})),  // lone note off
              1);
    const auto events = song.Events(3);
    ASSERT_EQ(events.size(), 6u);
    const DWORD kinds[] = {MPEVENT_KIND_KEYAFT, MPEVENT_KIND_CONTROL, MPEVENT_KIND_PROGRAM,
                           MPEVENT_KIND_CHANAFT, MPEVENT_KIND_PITCHBEND, MPEVENT_KIND_NOTEOFF};
    const BYTE data1[] = {0x3C, 0x0A, 0x05, 0x33, 0x01, 0x3D};
    const BYTE data2[] = {0x11, 0x22, 0x00, 0x00, 0x40, 0x12};
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].Kind, kinds[i]) << i;
        EXPECT_EQ(events[i].Channel, 2) << i;
        EXPECT_EQ(events[i].Data1, data1[i]) << i;
        EXPECT_EQ(events[i].Data2, data2[i]) << i;
    }
}

TEST(SmfLoad, PairsNotesFirstInFirstOut) {
    Loaded song;
    // Running status: 90 3C 40, then 3C 00 ten ticks later.
    ASSERT_EQ(song.Load(Smf0({0x00, 0x90, 0x3C, 0x40, 0x0A, 0x3C, 0x00})), 1);
    auto notes = OfKind(song, 1, MPEVENT_KIND_NOTE);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].Data1, 60);
    EXPECT_EQ(notes[0].Duration, 10);
    EXPECT_EQ(notes[0].Data3, 64);
    EXPECT_EQ(song.Events(1).size(), 1u);

    Loaded overlap;  // two notes of one key, then two note offs with their own velocities
    ASSERT_EQ(overlap.Load(Smf0({0x00, 0x90, 0x3C, 0x40, 0x0A, 0x90, 0x3C, 0x50, 0x0A, 0x80, 0x3C, 0x01,
                                 0x0A, 0x80, 0x3C, 0x02})),
              1);
    notes = OfKind(overlap, 1, MPEVENT_KIND_NOTE);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].Time, 0);
    EXPECT_EQ(notes[0].Duration, 20);
    EXPECT_EQ(notes[0].Data3, 1);
    EXPECT_EQ(notes[1].Time, 10);
    EXPECT_EQ(notes[1].Duration, 20);
    EXPECT_EQ(notes[1].Data3, 2);
    EXPECT_TRUE(OfKind(overlap, 1, MPEVENT_KIND_NOTEOFF).empty());

    Loaded unpaired;  // a note without its off; an off before any note stays an off
    ASSERT_EQ(unpaired.Load(Smf0({0x00, 0x81, 0x3E, 0x10, 0x05, 0x91, 0x3E, 0x40, 0x05, 0x91, 0x40, 0x40,
                                  0x05, 0x81, 0x3E, 0x20})),
              1);
    notes = OfKind(unpaired, 2, MPEVENT_KIND_NOTE);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].Data1, 0x3E);
    EXPECT_EQ(notes[0].Time, 5);
    EXPECT_EQ(notes[0].Duration, 10);
    EXPECT_EQ(notes[0].Data3, 0x20);
    EXPECT_EQ(notes[1].Data1, 0x40);
    EXPECT_EQ(notes[1].Duration, 1);
    EXPECT_EQ(notes[1].Data3, 64);
    const auto offs = OfKind(unpaired, 2, MPEVENT_KIND_NOTEOFF);
    ASSERT_EQ(offs.size(), 1u);
    EXPECT_EQ(offs[0].Time, 0);
}

TEST(SmfLoad, PlacesMetaEventsExclusivesAndLyrics) {
    Loaded song;
    ASSERT_EQ(song.Load(Smf0({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,     // tempo: conductor
                              0x00, 0xFF, 0x05, 0x02, 'L', 'a',            // lyric: first channel track
                              0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7,          // exclusive: first channel track
                              0x00, 0xFF, 0x01, 0x02, 'h', 'i',            // text: conductor
                              0x00, 0xFF, 0x7F, 0x03, 0x43, 0x00, 0x09})),  // the maker's sequencer data: dropped
              1);
    const auto conductor = song.Events(0);
    ASSERT_EQ(conductor.size(), 2u);
    EXPECT_EQ(DataOf(conductor[0]), (Bytes{0x51, 0x07, 0xA1, 0x20}));
    EXPECT_EQ(DataOf(conductor[1]), (Bytes{0x01, 'h', 'i'}));
    const auto first = song.Events(1);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].Kind, MPEVENT_KIND_META);
    EXPECT_EQ(DataOf(first[0]), (Bytes{0x05, 'L', 'a'}));
    EXPECT_EQ(first[1].Kind, MPEVENT_KIND_SYSEX);
    EXPECT_EQ(DataOf(first[1]), (Bytes{0x7E, 0x7F, 0xF7}));
    // The tempo map follows the loaded conductor.
    EXPECT_EQ(song.doc.GetTempoMap().GetCount(), 1);
}

TEST(SmfLoad, JoinsSplitExclusivesAndKeepsEscapes) {
    struct Case {
        const char* what;
        std::vector<BYTE> events;
        std::vector<std::vector<BYTE>> sysex;  // data of the exclusive events, in order
        std::vector<std::vector<BYTE>> escapes;  // data of the F7 events left
    };
    const Case cases[] = {
        {"two packets",
         {0x00, 0xF0, 0x03, 0x43, 0x12, 0x00, 0x10, 0xF7, 0x03, 0x01, 0x02, 0xF7},
         {{0x43, 0x12, 0x00, 0x01, 0x02, 0xF7}},
         {}},
        {"three packets",
         {0x00, 0xF0, 0x01, 0x43, 0x05, 0xF7, 0x01, 0x10, 0x05, 0xF7, 0x02, 0x11, 0xF7},
         {{0x43, 0x10, 0x11, 0xF7}},
         {}},
        {"a terminated message takes no packet",
         {0x00, 0xF0, 0x02, 0x43, 0xF7, 0x05, 0xF7, 0x01, 0xFA},
         {{0x43, 0xF7}},
         {{0xFA}}},
        {"a lone escape",
         {0x00, 0xF7, 0x02, 0xF3, 0x01},
         {},
         {{0xF3, 0x01}}},
        {"a new message closes an open one",
         {0x00, 0xF0, 0x02, 0x43, 0x10, 0x00, 0xF0, 0x02, 0x44, 0xF7, 0x00, 0xF7, 0x01, 0x7E},
         {{0x43, 0x10}, {0x44, 0xF7}},
         {{0x7E}}},
        {"other events between the packets",
         {0x00, 0xF0, 0x01, 0x43, 0x00, 0x90, 0x3C, 0x40, 0x05, 0xF7, 0x02, 0x12, 0xF7, 0x05, 0x80, 0x3C, 0x40},
         {{0x43, 0x12, 0xF7}},
         {}},
    };
    for (const Case& c : cases) {
        Loaded song;
        ASSERT_EQ(song.Load(Smf0(c.events)), 1) << c.what;
        std::vector<std::vector<BYTE>> sysex, escapes;
        for (const SongEventInfo& e : OfKind(song, 1, MPEVENT_KIND_SYSEX)) sysex.push_back(DataOf(e));
        for (const SongEventInfo& e : OfKind(song, 1, MPEVENT_KIND_SYSEX_CONT)) escapes.push_back(DataOf(e));
        EXPECT_EQ(sysex, c.sysex) << c.what;
        EXPECT_EQ(escapes, c.escapes) << c.what;
    }
}

TEST(SmfLoad, SetsTheSmpteOffsetAsideOnlyOnSuccess) {
    Loaded song;
    ASSERT_EQ(song.Load(Smf0({0x00, 0xFF, 0x54, 0x05, 0x21, 0x02, 0x03, 0x04, 0x05})), 1);
    EXPECT_EQ(song.data.GetSmpteOffset(), 0x21020304u);
    EXPECT_EQ(song.data.GetSmpteSubframes(), 5u);
    EXPECT_TRUE(song.Events(0).empty());

    // A file that fails keeps the offset; the next good file without one clears it.
    EXPECT_EQ(song.Load(Smf0({0x00, 0xFF, 0x54, 0x05, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00, 0xF1})), 0);
    EXPECT_EQ(song.data.GetSmpteOffset(), 0x21020304u);
    ASSERT_EQ(song.Load(Smf0({0x00, 0xB0, 0x07, 0x64})), 1);
    EXPECT_EQ(song.data.GetSmpteOffset(), 0u);
    EXPECT_EQ(song.data.GetSmpteSubframes(), 0u);
}

TEST(SmfLoad, FormatOneKeepsNamesAndTimeZeroTexts) {
    Loaded song;
    ASSERT_EQ(song.Load(Smf1({{0x00, 0xFF, 0x03, 0x04, 'S', 'o', 'n', 'g', 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20},
                              {0x00, 0xFF, 0x03, 0x04, 'B', 'a', 's', 's', 0x00, 0xFF, 0x01, 0x02, 'h', 'i',
                               0x00, 0xB1, 0x07, 0x64},
                              {0x00, 0xFF, 0x03, 0x03, 'M', 'i', 'x', 0x00, 0xB2, 0x07, 0x64, 0x00, 0xB3, 0x07, 0x64},
                              {0x00, 0xFF, 0x03, 0x03, 'T', 'w', 'o', 0x00, 0xB1, 0x0A, 0x40}})),
              1);
    EXPECT_EQ(song.doc.GetFileKind(), FILE_KIND_SMF1);
    ASSERT_EQ(song.TrackCount(), 16);  // nothing for the first channel
    // The first file track names the song and keeps its name event; the time-0 text stays.
    EXPECT_EQ(CString(song.Track(0)->GetInfo().Name), CString("Song"));
    const auto conductor = song.Events(0);
    ASSERT_EQ(conductor.size(), 3u);
    EXPECT_EQ(DataOf(conductor[0]), (Bytes{0x03, 'S', 'o', 'n', 'g'}));
    EXPECT_EQ(DataOf(conductor[2]), (Bytes{0x01, 'h', 'i'}));
    // A track of one channel names that channel's track; the first name given wins.
    EXPECT_EQ(CString(song.Track(1)->GetInfo().Name), CString("Bass"));  // channel 1 (index 1 of 16 tracks)
    // A track of two channels cannot name either.
    EXPECT_TRUE(song.Track(2)->GetInfo().Name.IsEmpty());
    EXPECT_TRUE(song.Track(3)->GetInfo().Name.IsEmpty());
}

TEST(SmfLoad, FormatOneTrackCountFollowsTheFirstChannel) {
    struct Case {
        const char* what;
        std::vector<BYTE> track;
        int tracks;
    };
    const Case cases[] = {
        {"only channel 2", {0x00, 0x91, 0x3C, 0x40, 0x10, 0x81, 0x3C, 0x40}, 16},
        {"a channel-1 message", {0x00, 0xB0, 0x07, 0x64}, 17},
        {"an exclusive message", {0x00, 0xF0, 0x02, 0x7E, 0xF7}, 17},
        {"a lyric", {0x00, 0xFF, 0x05, 0x01, 'a'}, 17},
    };
    for (const Case& c : cases) {
        Loaded song;
        ASSERT_EQ(song.Load(Smf1({{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, c.track})), 1) << c.what;
        EXPECT_EQ(song.TrackCount(), c.tracks) << c.what;
    }
    // Format 0 always has all 17.
    Loaded zero;
    ASSERT_EQ(zero.Load(Smf0({0x00, 0x91, 0x3C, 0x40})), 1);
    EXPECT_EQ(zero.TrackCount(), 17);
}

TEST(SmfLoad, LayoutTable) {
    const Bytes track = Cat({Text("MTrk"), U32(8), {0x00, 0xB0, 0x07, 0x64}, kEot});
    const Bytes zqih = Chunk("ZQIH", Cat({{0x00, 0xFF, 0x01, 0x05, 'Z', 'Q', 'h', 'd', '1'}, kEot}));
    const Bytes zqkm = Chunk("ZQKM", Cat({{0x00, 0xFF, 0x05, 0x01, 'a'}, kEot}));
    struct Case {
        const char* what;
        Bytes bytes;
        int ok;
        LONG kind;
    };
    const Case cases[] = {
        {"MThd at 1023", Cat({Bytes(1023, 0x00), Header(0, 1, 960), track}), 1, FILE_KIND_SMF0},
        {"MThd at 1024", Cat({Bytes(1024, 0x00), Header(0, 1, 960), track}), 0, 0},
        {"format 2", Cat({Header(2, 1, 960), track}), 0, 0},
        {"format 0 with two tracks", Cat({Header(0, 2, 960), track, track}), 0, 0},
        {"format 1 with one track", Cat({Header(1, 1, 960), track}), 1, FILE_KIND_SMF1},
        {"format 1 with no track", Cat({Header(1, 0, 960), track}), 0, 0},
        {"fewer chunks than announced", Cat({Header(1, 3, 960), track, track}), 0, 0},
        {"division 0", Cat({Header(0, 1, 0), track}), 0, 0},
        {"SMPTE division", Cat({Header(0, 1, 0xE728), track}), 0, 0},
        {"both ZQ chunks", Cat({Header(0, 1, 960), track, zqih, zqkm}), 1, FILE_KIND_SMF0_ZQ},
        {"only the ZQ information chunk", Cat({Header(0, 1, 960), track, zqih}), 1, FILE_KIND_SMF0},
        {"only the ZQ karaoke chunk", Cat({Header(0, 1, 960), track, zqkm}), 1, FILE_KIND_SMF0},
        {"ZQ chunks in format 1", Cat({Header(1, 1, 960), track, zqih, zqkm}), 1, FILE_KIND_SMF1},
        {"header only", Header(0, 1, 960), 0, 0},
        {"nothing", Bytes{}, 0, 0},
    };
    for (const Case& c : cases) {
        Loaded song;
        EXPECT_EQ(song.Load(c.bytes), c.ok) << c.what;
        EXPECT_EQ(song.doc.GetFileKind(), c.kind) << c.what;
    }
    // With only one ZQ chunk, that chunk is not read.
    Loaded one;
    ASSERT_EQ(one.Load(Cat({Header(0, 1, 960), track, zqkm})), 1);
    EXPECT_EQ(one.Events(1).size(), 1u);  // the control change, no lyric

    Loaded at;
    ASSERT_EQ(at.Load(Cat({Bytes(5, 0x00), Header(0, 1, 480), Bytes(3, 0xEE), track, zqih, zqkm})), 1);
    EXPECT_EQ(at.layout.HeaderOffset, 5u);
    EXPECT_EQ(at.layout.HeaderLength, 6u);
    EXPECT_EQ(at.layout.Division, 480);
    EXPECT_EQ(at.layout.Format, 0);
    EXPECT_EQ(at.layout.TrackCount, 1);
    EXPECT_EQ(at.layout.FirstTrackOffset, 22u);
    EXPECT_EQ(at.layout.FirstTrackLength, 8u);
    EXPECT_EQ(at.layout.InfoChunkOffset, 38u);
    EXPECT_EQ(at.layout.InfoChunkLength, 13u);
    EXPECT_EQ(at.layout.KaraokeChunkOffset, 59u);
    EXPECT_EQ(at.layout.KaraokeChunkLength, 9u);
    EXPECT_EQ(at.layout.TotalLength, 76u);
}

TEST(SmfLoad, FormatOneReadsOnlyTheTrackChunksItFinds) {
    // A foreign chunk between the tracks is skipped, not read as a track.
    const Bytes junk = Chunk("Junk", {0xF1, 0xF2, 0xF3, 0x00});
    Loaded song;
    ASSERT_EQ(song.Load(Cat({Header(1, 2, 960), Chunk("MTrk", Cat({{0x00, 0xB0, 0x07, 0x64}, kEot})), junk,
                             Chunk("MTrk", Cat({{0x00, 0xB1, 0x07, 0x65}, kEot}))})),
              1);
    EXPECT_EQ(song.TrackCount(), 17);
    EXPECT_EQ(song.Events(1).size(), 1u);
    EXPECT_EQ(song.Events(2).size(), 1u);

    // A chunk length that points past the end leaves no room for the next chunk.
    Loaded huge;
    EXPECT_EQ(huge.Load(Cat({Header(1, 2, 960), Text("MTrk"), U32(0xFFFFFFF0), {0x00, 0xB0, 0x07, 0x64}, kEot,
                             Chunk("MTrk", Cat({{0x00, 0xB1, 0x07, 0x65}, kEot}))})),
              0);
    EXPECT_EQ(huge.doc.GetFileKind(), FILE_KIND_NONE);
}

TEST(SmfLoad, AChunkLengthPastTheEndIsCutAtTheEnd) {
    Loaded song;
    ASSERT_EQ(song.Load(Cat({Header(0, 1, 960), Text("MTrk"), U32(0x7FFFFFFF), {0x00, 0xB0, 0x07, 0x64}, kEot})), 1);
    EXPECT_EQ(song.Events(1).size(), 1u);
}

TEST(SmfLoad, RefusesMalformedEventsAndLeavesTheSongAsItWas) {
    struct Case {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {
        {"exclusive longer than the chunk", Smf0({0x00, 0xF0, 0x7F, 0x01, 0x02})},
        {"exclusive length past the buffer", Cat({Header(0, 1, 960), Text("MTrk"), U32(100), {0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0x7F}})},
        {"meta length 0x0FFFFFFF", Smf0({0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, 'a'})},
        {"End of Track length past the end", Cat({Header(0, 1, 960), Chunk("MTrk", {0x00, 0xFF, 0x2F, 0x05})})},
        {"five-byte delta", Smf0({0x80, 0x80, 0x80, 0x80, 0x00, 0xB0, 0x07, 0x64})},
        {"five-byte length", Smf0({0x00, 0xF0, 0x80, 0x80, 0x80, 0x80, 0x01, 0xF7})},
        {"delta cut by the chunk end", Cat({Header(0, 1, 960), Chunk("MTrk", {0x00, 0xB0, 0x07, 0x64, 0x81})})},
        {"event cut by the chunk end", Cat({Header(0, 1, 960), Chunk("MTrk", {0x00, 0xB0, 0x07})})},
        {"event cut by the buffer end", Cat({Header(0, 1, 960), Text("MTrk"), U32(4), {0x00, 0x90, 0x3C}})},
        {"status byte for a data byte", Smf0({0x00, 0x90, 0x3C, 0x90, 0x00, 0x3C, 0x00})},
        {"status byte for the first data byte", Smf0({0x00, 0xC0, 0x85})},
        {"data byte without a status", Smf0({0x00, 0x3C, 0x40})},
        {"running status after a meta event", Smf0({0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x01, 0x01, 'a', 0x00, 0x3C, 0x00})},
        {"running status after an exclusive", Smf0({0x00, 0x90, 0x3C, 0x40, 0x00, 0xF0, 0x01, 0xF7, 0x00, 0x3C, 0x00})},
        {"system common status", Smf0({0x00, 0xF2, 0x01, 0x02})},
        {"real-time status", Smf0({0x00, 0xF8})},
        {"meta type missing", Cat({Header(0, 1, 960), Chunk("MTrk", {0x00, 0xFF})})},
    };
    for (const Case& c : cases) {
        Loaded song;
        const Bytes good = Smf1({{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, {0x00, 0xB5, 0x07, 0x64}});
        ASSERT_EQ(song.Load(good), 1);
        const std::string before = Describe(song.doc);
        EXPECT_EQ(song.Load(c.bytes), 0) << c.what;
        EXPECT_EQ(song.doc.GetFileKind(), FILE_KIND_SMF1) << c.what;
        EXPECT_EQ(Describe(song.doc), before) << c.what;
    }
}

// A note pairs with the first later note off of its channel and key in the
// block the chunks fill together, whichever chunk each came from.
struct ChunkPairCase {
    const char* what;
    std::vector<std::vector<smfbuild::TimedEvent>> chunks;
    int track;                                   // the channel's track
    std::vector<std::vector<LONG>> notes;        // time, key, duration, release velocity
    std::vector<LONG> offTimes;                  // the note offs left over
};

TEST(SmfLoad, PairsNotesAcrossTheChunksOfOneChannel) {
    const ChunkPairCase cases[] = {
        {"one key in two chunks: the first off pairs with the first note",
         {{{0, 0, {0x90, 60, 0x40}}, {30, 0, {0x80, 60, 1}}}, {{10, 0, {0x90, 60, 0x40}}, {20, 0, {0x80, 60, 2}}}},
         1,
         {{0, 60, 20, 2}, {10, 60, 20, 1}},
         {}},
        {"the note in one chunk, its off in another",
         {{{0, 0, {0x90, 62, 0x40}}}, {{40, 0, {0x80, 62, 3}}}},
         1,
         {{0, 62, 40, 3}},
         {}},
        {"an off of an earlier chunk at the note's time stays an off",
         {{{0, 0, {0x80, 64, 5}}}, {{0, 0, {0x90, 64, 0x40}}, {10, 0, {0x80, 64, 6}}}},
         1,
         {{0, 64, 10, 6}},
         {0}},
        {"a channel of one chunk beside a channel of two",
         {{{0, 0, {0x90, 60, 0x40}}, {5, 0, {0x80, 60, 1}}},
          {{0, 0, {0x91, 67, 0x40}}, {15, 0, {0x81, 67, 7}}, {15, 1, {0x91, 67, 0x40}}, {16, 0, {0x90, 60, 0x40}}}},
         2,
         {{0, 67, 15, 7}, {15, 67, 1, 64}},
         {}},
    };
    for (const ChunkPairCase& c : cases) {
        Bytes file = Header(1, WORD(c.chunks.size()), 960);
        for (const auto& events : c.chunks) file = Cat({file, Chunk("MTrk", smfbuild::TimedTrack(events))});
        Loaded song;
        ASSERT_EQ(song.Load(file), 1) << c.what;
        const auto notes = OfKind(song, c.track, MPEVENT_KIND_NOTE);
        ASSERT_EQ(notes.size(), c.notes.size()) << c.what;
        for (size_t i = 0; i < notes.size(); ++i) {
            EXPECT_EQ(notes[i].Time, c.notes[i][0]) << c.what << " note " << i;
            EXPECT_EQ(notes[i].Data1, c.notes[i][1]) << c.what << " note " << i;
            EXPECT_EQ(notes[i].Duration, c.notes[i][2]) << c.what << " note " << i;
            EXPECT_EQ(notes[i].Data3, c.notes[i][3]) << c.what << " note " << i;
        }
        const auto offs = OfKind(song, c.track, MPEVENT_KIND_NOTEOFF);
        ASSERT_EQ(offs.size(), c.offTimes.size()) << c.what;
        for (size_t i = 0; i < offs.size(); ++i) EXPECT_EQ(offs[i].Time, c.offTimes[i]) << c.what;
    }
}

TEST(SmfLoad, RefusesNoteLongerThanANoteCanBe) {
    // 2^31 ticks between a note and its off do not fit a note's length.
    Loaded song;
    EXPECT_EQ(song.Load(Smf0({0x00, 0x90, 0x3C, 0x40, 0x88, 0x80, 0x80, 0x00, 0xB0, 0x07, 0x64, 0x88, 0x80, 0x80,
                              0x00, 0x80, 0x3C, 0x40},
                             1)),
              0);
    EXPECT_EQ(song.doc.GetFileKind(), FILE_KIND_NONE);
}

TEST(SmfLoad, WithoutADocumentOrBytesNothingLoads) {
    CDataManager unbound;
    const Bytes bytes = Smf0({0x00, 0xB0, 0x07, 0x64});
    SmfLayout layout;
    EXPECT_EQ(unbound.Load(bytes.data(), DWORD(bytes.size()), &layout), 0);
    Loaded song;
    EXPECT_EQ(song.data.Load(nullptr, 100, nullptr), 0);
    EXPECT_EQ(song.data.Load(bytes.data(), DWORD(bytes.size()), nullptr), 1);  // the layout is optional
}

TEST(SmfLoad, BlockEndsCoverTheirEvents) {
    Loaded song;
    ASSERT_EQ(song.Load(Smf0({0x00, 0x90, 0x3C, 0x40, 0x8F, 0x00, 0x80, 0x3C, 0x40})), 1);
    EXPECT_EQ(doctest::BlockOf(song.doc, 1, 0)->GetInfo().End, 1920);
    EXPECT_EQ(doctest::BlockOf(song.doc, 2, 0)->GetInfo().End, 960);  // a new block's end
}

TEST(SmfLoad, PortMetaNamesTheConductorsPortFromTheDocumentsPorts) {
    LoadedWithTwoPorts song;
    ASSERT_TRUE(song.portsSet);

    ASSERT_EQ(song.Load(Smf1({{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20},
                              {0x00, 0xFF, 0x7F, 0x04, 0x43, 0x00, 0x01, 0x01, 0x00, 0xB0, 0x07, 0x64}})),
              1);
    EXPECT_EQ(song.Track(0)->GetInfo().Port, 2);  // usable port 1 (from 0) is port number 2
    EXPECT_EQ(song.Track(1)->GetInfo().Port, 1);  // new tracks take the first usable port
    for (const SongEventInfo& e : song.Events(0)) EXPECT_NE(e.Bytes[0], 0x7F);
}
