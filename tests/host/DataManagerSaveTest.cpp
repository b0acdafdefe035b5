// Writing the song document out as SMF bytes.
#include <gtest/gtest.h>

#include <cstring>

#include "SmfFixtures.h"

using namespace smftest;
using doctest::EventRecord;

namespace {

// The port meta event at the head of a channel chunk when the port is not known.
const Bytes kUnknownPort = {0x00, 0xFF, 0x7F, 0x04, 0x43, 0x00, 0x01, 0xFF};

// The chunks of a file after its header: id and body.
struct ChunkOut {
    std::string Id;
    Bytes Body;
};
std::vector<ChunkOut> ChunksOf(const Bytes& file) {
    std::vector<ChunkOut> out;
    size_t pos = 14;
    while (pos + 8 <= file.size()) {
        const DWORD length = DWORD(file[pos + 4]) << 24 | DWORD(file[pos + 5]) << 16 | DWORD(file[pos + 6]) << 8 | file[pos + 7];
        if (pos + 8 + length > file.size()) break;
        out.push_back({std::string(file.begin() + long(pos), file.begin() + long(pos) + 4),
                       Bytes(file.begin() + long(pos) + 8, file.begin() + long(pos + 8 + length))});
        pos += 8 + length;
    }
    return out;
}

SongEventInfo Short(DWORD kind, INT64 time, BYTE d1, BYTE d2 = 0, BYTE d3 = 0, BYTE d4 = 0, LONG duration = 0) {
    SongEventInfo info;
    info.Kind = kind;
    info.Time = time;
    info.Data1 = d1;
    info.Data2 = d2;
    info.Data3 = d3;
    info.Data4 = d4;
    info.Duration = duration;
    return info;
}

SongEventInfo Note(INT64 time, BYTE key, LONG duration, BYTE velocity = 0x64, BYTE offVelocity = 0x40) {
    return Short(MPEVENT_KIND_NOTE, time, key, velocity, offVelocity, 0, duration);
}

// A MIDI track with one block [0, 3840) holding the events.
CTrack* Track(LONG channel, const std::vector<SongEventInfo>& events) {
    CTrack* track = doctest::NewTrack(channel);
    CBlock* block = doctest::AddBlock(track, 0, 3840);
    for (const SongEventInfo& e : events) {
        CSongEvent* event = new CSongEvent();
        EXPECT_EQ(event->SetInfo(e, 0), 1);
        block->InsertEvent(event);
    }
    return track;
}

void SetTrack(CTrack* track, void (*change)(TrackInfo&)) {
    TrackInfo info = track->GetInfo();
    change(info);
    track->SetInfo(info, 1);
}

// Installs the tracks as the song and saves it in the given layout.
Bytes SaveSong(Loaded& song, const std::vector<CTrack*>& tracks, LONG kind, const CPHConvPrm* prm = nullptr) {
    doctest::Install(song.doc, tracks);
    song.doc.SetFileKind(kind);
    return song.Save(prm);
}

// The body of the only track chunk of a format-0 file, without its End of Track.
Bytes EventsOfFormat0(const Bytes& file) {
    const auto chunks = ChunksOf(file);
    if (chunks.size() != 1 || chunks[0].Body.size() < 4) return {};
    Bytes body = chunks[0].Body;
    EXPECT_EQ(Bytes(body.end() - 4, body.end()), kEot);
    body.resize(body.size() - 4);
    return body;
}

Bytes SaveFormat0(const std::vector<CTrack*>& tracks, const CPHConvPrm* prm = nullptr) {
    Loaded song;
    return EventsOfFormat0(SaveSong(song, tracks, FILE_KIND_SMF0, prm));
}

}  // namespace

// ---------------------------------------------------------------- whole files

TEST(SmfSave, FormatOneRoundTripsByteForByte) {
    const Bytes input = Smf1({
        {0x00, 0xFF, 0x03, 0x04, 'S', 'o', 'n', 'g',       // sequence name
         0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08,   // 4/4
         0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20},        // 120 beats per minute
        {0x00, 0xFF, 0x03, 0x05, 'P', 'i', 'a', 'n', 'o',  // track name
         0x00, 0xC0, 0x05,                                 // program 5
         0x00, 0x90, 0x3C, 0x40,                           // C4
         0x00, 0x3E, 0x40,                                 // D4 with running status
         0x83, 0x60, 0x3C, 0x00,                           // 9n kk 00: C4 off, 480 ticks later
         0x00, 0x3E, 0x00,                                 // D4 off
         0x00, 0xFF, 0x05, 0x02, 'L', 'a',                 // lyric
         0x00, 0xF0, 0x03, 0x43, 0x12, 0x00,               // exclusive, first packet
         0x81, 0x40, 0xF7, 0x03, 0x01, 0x02, 0xF7},        // its last packet, 192 ticks later
        {},                                                // an empty track
        {0x00, 0x99, 0x24, 0x64, 0x83, 0x60, 0x89, 0x24, 0x40},
    });
    // Worked out by hand: names as track-name events, notes as note on and
    // note off (offs before anything else at their time, in note order), the exclusive
    // joined, no chunk for the empty track, an unknown port (FF) at the head of
    // each channel chunk.
    const Bytes expected = Cat({
        Header(1, 3, 960),
        Chunk("MTrk", {0x00, 0xFF, 0x03, 0x04, 'S', 'o', 'n', 'g', 0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08,
                       0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x2F, 0x00}),
        Chunk("MTrk", {0x00, 0xFF, 0x7F, 0x04, 0x43, 0x00, 0x01, 0xFF,
                       0x00, 0xFF, 0x03, 0x05, 'P', 'i', 'a', 'n', 'o', 0x00, 0xC0, 0x05, 0x00, 0x90, 0x3C, 0x40, 0x00,
                       0x90, 0x3E, 0x40, 0x83, 0x60, 0x80, 0x3C, 0x40, 0x00, 0x80, 0x3E, 0x40, 0x00, 0xFF, 0x05, 0x02,
                       'L', 'a', 0x00, 0xF0, 0x06, 0x43, 0x12, 0x00, 0x01, 0x02, 0xF7, 0x00, 0xFF, 0x2F, 0x00}),
        Chunk("MTrk", {0x00, 0xFF, 0x7F, 0x04, 0x43, 0x00, 0x01, 0xFF,
                       0x00, 0x99, 0x24, 0x64, 0x83, 0x60, 0x89, 0x24, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
    });
    Loaded song;
    ASSERT_EQ(song.Load(input), 1);
    const Bytes saved = song.Save();
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(saved[11], ChunksOf(saved).size());

    // What was written reads back to the same song and writes the same bytes.
    Loaded again;
    ASSERT_EQ(again.Load(saved), 1);
    EXPECT_EQ(Describe(again.doc), Describe(song.doc));
    EXPECT_EQ(again.Save(), expected);
}

TEST(SmfSave, FormatZeroWithZqChunksRoundTripsAllThreeChunks) {
    const Bytes input = Cat({
        Header(0, 1, 960),
        Chunk("MTrk", Cat({{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x40,
                            0x00, 0xFF, 0x05, 0x01, 'x'},  // a lyric of the main track moves to the karaoke chunk
                           kEot})),
        Chunk("ZQIH", Cat({{0x00, 0xFF, 0x01, 0x06, 'Z', 'Q', 'h', 'd', '0', '1', 0x10, 0xFF, 0x01, 0x05, 'Z', 'Q', 'l',
                            'n', '2', 0x00, 0xFF, 0x01, 0x04, 'Z', 'Q', 'x', 'x'},  // not an information text
                           kEot})),
        Chunk("ZQKM", Cat({{0x00, 0xFF, 0x05, 0x02, 'L', 'a', 0x60, 0xFF, 0x07, 0x01, 'c'}, kEot})),
    });
    Loaded song;
    ASSERT_EQ(song.Load(input), 1);
    ASSERT_EQ(song.doc.GetFileKind(), FILE_KIND_SMF0_ZQ);
    const Bytes saved = song.Save();
    ASSERT_EQ(Bytes(saved.begin(), saved.begin() + 14), Header(0, 1, 960));
    const auto chunks = ChunksOf(saved);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].Id, "MTrk");
    // The text that is no information text stays in the main chunk, at its time.
    EXPECT_EQ(chunks[0].Body, Cat({{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0x90, 0x3C, 0x40, 0x10, 0xFF,
                                    0x01, 0x04, 'Z', 'Q', 'x', 'x', 0x50, 0x80, 0x3C, 0x40},
                                   kEot}));
    EXPECT_EQ(chunks[1].Id, "ZQIH");
    EXPECT_EQ(chunks[1].Body, Cat({{0x00, 0xFF, 0x01, 0x06, 'Z', 'Q', 'h', 'd', '0', '1', 0x10, 0xFF, 0x01, 0x05, 'Z',
                                    'Q', 'l', 'n', '2'},
                                   kEot}));
    EXPECT_EQ(chunks[2].Id, "ZQKM");
    // Cue points sit on the conductor track, lyrics on the first channel's: at equal times the cue point comes first.
    EXPECT_EQ(chunks[2].Body, Cat({{0x00, 0xFF, 0x05, 0x02, 'L', 'a', 0x60, 0xFF, 0x07, 0x01, 'c', 0x00, 0xFF, 0x05,
                                    0x01, 'x'},
                                   kEot}));

    Loaded again;
    ASSERT_EQ(again.Load(saved), 1);
    EXPECT_EQ(again.doc.GetFileKind(), FILE_KIND_SMF0_ZQ);
    EXPECT_EQ(again.Save(), saved);
}

TEST(SmfSave, EmptyZqChunksAreStillWritten) {
    Loaded song;
    const Bytes saved = SaveSong(song, {Track(0, {Short(MPEVENT_KIND_CONTROL, 0, 7, 100)})}, FILE_KIND_SMF0_ZQ);
    const auto chunks = ChunksOf(saved);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[1].Body, kEot);
    EXPECT_EQ(chunks[2].Body, kEot);
}

TEST(SmfSave, RestoresTheSmpteOffsetAtTheConductorsStart) {
    Loaded song;
    ASSERT_EQ(song.Load(Smf1({{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x54, 0x05, 0x21, 0x02, 0x03,
                               0x04, 0x05, 0x10, 0xFF, 0x01, 0x01, 'a'},
                              {0x00, 0xB0, 0x07, 0x64}})),
              1);
    for (const SongEventInfo& e : song.Events(0)) EXPECT_NE(e.Bytes[0], 0x54);
    const auto chunks = ChunksOf(song.Save());
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0].Body, Cat({{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x54, 0x05, 0x21, 0x02,
                                    0x03, 0x04, 0x05, 0x10, 0xFF, 0x01, 0x01, 'a'},
                                   kEot}));

    // A conductor with nothing but the offset still gets its chunk.
    Loaded only;
    ASSERT_EQ(only.Load(Smf0({0x00, 0xFF, 0x54, 0x05, 0x01, 0x00, 0x00, 0x00, 0x00})), 1);
    EXPECT_EQ(EventsOfFormat0(only.Save()), (Bytes{0x00, 0xFF, 0x54, 0x05, 0x01, 0x00, 0x00, 0x00, 0x00}));
}

TEST(SmfSave, FormatOneWritesAChunkPerTrackWithEvents) {
    Loaded song;
    CTrack* conductor = doctest::NewConductor();
    SetTrack(conductor, [](TrackInfo& i) { i.Name = "Conductor"; });
    CTrack* named = Track(2, {Short(MPEVENT_KIND_CONTROL, 0, 7, 100)});
    SetTrack(named, [](TrackInfo& i) { i.Name = "Bass"; });
    CTrack* empty = Track(3, {});
    SetTrack(empty, [](TrackInfo& i) { i.Name = "Empty"; });
    CTrack* unnamed = Track(4, {Short(MPEVENT_KIND_PROGRAM, 0, 9)});
    const Bytes saved = SaveSong(song, {conductor, named, empty, unnamed}, FILE_KIND_SMF1);
    ASSERT_EQ(Bytes(saved.begin(), saved.begin() + 14), Header(1, 3, 960));
    const auto chunks = ChunksOf(saved);
    ASSERT_EQ(chunks.size(), 3u);
    // The conductor carries neither a port nor a name event.
    EXPECT_EQ(chunks[0].Body, Cat({{0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08, 0x00, 0xFF, 0x51, 0x03, 0x07,
                                    0xA1, 0x20},
                                   kEot}));
    EXPECT_EQ(chunks[1].Body, Cat({kUnknownPort, {0x00, 0xFF, 0x03, 0x04, 'B', 'a', 's', 's', 0x00, 0xB2, 0x07, 0x64}, kEot}));
    EXPECT_EQ(chunks[2].Body, Cat({kUnknownPort, {0x00, 0xC4, 0x09}, kEot}));
}

TEST(SmfSave, FormatOneNamesTheTracksPortOrAnUnknownPort) {
    LoadedWithTwoPorts song;
    ASSERT_TRUE(song.portsSet);

    CTrack* known = Track(0, {Short(MPEVENT_KIND_CONTROL, 0, 7, 100)});
    SetTrack(known, [](TrackInfo& i) { i.Port = 2; });
    CTrack* unknown = Track(1, {Short(MPEVENT_KIND_CONTROL, 0, 7, 100)});
    SetTrack(unknown, [](TrackInfo& i) { i.Port = 7; });
    const auto chunks = ChunksOf(SaveSong(song, {doctest::NewConductor(), known, unknown}, FILE_KIND_SMF1));
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[1].Body, Cat({{0x00, 0xFF, 0x7F, 0x04, 0x43, 0x00, 0x01, 0x01, 0x00, 0xB0, 0x07, 0x64}, kEot}));
    EXPECT_EQ(chunks[2].Body, Cat({kUnknownPort, {0x00, 0xB1, 0x07, 0x64}, kEot}));
}

TEST(SmfSave, AnEmptyFormatOneSongStillHasOneTrackChunk) {
    Loaded song;
    ASSERT_EQ(song.Load(Smf1({{}, {}})), 1);
    const Bytes saved = song.Save();
    EXPECT_EQ(saved, Cat({Header(1, 1, 960), Chunk("MTrk", kEot)}));
    Loaded again;
    EXPECT_EQ(again.Load(saved), 1);
}

TEST(SmfSave, FormatOneAlwaysStartsWithTheConductorsChunk) {
    // Without it the channel track's name would come back as the song's name.
    Loaded song;
    ASSERT_EQ(song.Load(Smf1({{}, {0x00, 0xFF, 0x03, 0x02, 'P', 'f', 0x00, 0xB0, 0x07, 0x64}})), 1);
    ASSERT_TRUE(song.Events(0).empty());
    const Bytes saved = song.Save();
    EXPECT_EQ(saved, Cat({Header(1, 2, 960), Chunk("MTrk", kEot),
                          Chunk("MTrk", Cat({kUnknownPort, {0x00, 0xFF, 0x03, 0x02, 'P', 'f', 0x00, 0xB0, 0x07, 0x64},
                                             kEot}))}));
    Loaded again;
    ASSERT_EQ(again.Load(saved), 1);
    EXPECT_EQ(Describe(again.doc), Describe(song.doc));
}

TEST(SmfSave, NothingLoadedNothingSaved) {
    Loaded song;
    BYTE* buffer = reinterpret_cast<BYTE*>(&song);  // must be cleared
    DWORD size = 99;
    EXPECT_EQ(song.data.Save(&buffer, &size, nullptr), 0);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(size, 0u);
    song.doc.SetFileKind(4);
    EXPECT_EQ(song.data.Save(&buffer, &size, nullptr), 0);
    EXPECT_EQ(CDataManager().Save(&buffer, &size, nullptr), 0);
}

TEST(SmfSave, MakeEndOfTrackIsFourBytes) {
    const CString eot = CDataManager::MakeEndOfTrack();
    ASSERT_EQ(eot.GetLength(), 4);
    EXPECT_EQ(std::memcmp(eot.GetString(), "\x00\xFF\x2F\x00", 4), 0);
}

// ---------------------------------------------------------------- events

TEST(SmfSave, EncodesEventsOfEveryWritableKind) {
    EventRecord sysex(MPEVENT_KIND_SYSEX, 0, {0x7E, 0x7F, 0xF7});
    EventRecord escape(MPEVENT_KIND_SYSEX_CONT, 0, {0xF8});
    EventRecord text(MPEVENT_KIND_META, 0, {0x01, 'h', 'i'});
    EventRecord maker(MPEVENT_KIND_META, 0, {0x7F, 0x43, 0x00, 0x01});  // the maker's sequencer data stays out
    EventRecord other(MPEVENT_KIND_META, 0, {0x7F, 0x41, 0x00});
    const Bytes body = SaveFormat0({Track(5, {Short(MPEVENT_KIND_NOTEOFF, 0, 0x3C, 0x11), Short(MPEVENT_KIND_KEYAFT, 0, 0x3C, 0x22),
                                              Short(MPEVENT_KIND_CONTROL, 0, 0x0A, 0x33), Short(MPEVENT_KIND_PROGRAM, 0, 0x44),
                                              Short(MPEVENT_KIND_CHANAFT, 0, 0x55), Short(MPEVENT_KIND_PITCHBEND, 0, 0x01, 0x40),
                                              sysex, escape, text, maker, other})});
    EXPECT_EQ(body, (Bytes{0x00, 0x85, 0x3C, 0x11, 0x00, 0xA5, 0x3C, 0x22, 0x00, 0xB5, 0x0A, 0x33, 0x00, 0xC5, 0x44,
                           0x00, 0xD5, 0x55, 0x00, 0xE5, 0x01, 0x40, 0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7, 0x00, 0xF7,
                           0x01, 0xF8, 0x00, 0xFF, 0x01, 0x02, 'h', 'i', 0x00, 0xFF, 0x7F, 0x02, 0x41, 0x00}));
}

TEST(SmfSave, NotesBecomeNoteOnAndNoteOff) {
    struct Case {
        const char* what;
        std::vector<SongEventInfo> events;
        LONG channel;
        Bytes body;
    };
    const Case cases[] = {
        {"480 ticks on channel 4", {Note(0, 0x3C, 480, 0x64, 0x22)}, 3,
         {0x00, 0x93, 0x3C, 0x64, 0x83, 0x60, 0x83, 0x3C, 0x22}},
        {"off before the next note of the key", {Note(0, 0x3C, 480), Note(480, 0x3C, 10)}, 0,
         {0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x80, 0x3C, 0x40, 0x00, 0x90, 0x3C, 0x64, 0x0A, 0x80, 0x3C, 0x40}},
        {"duration 0", {Note(0, 0x3C, 0), Note(0, 0x3E, 0)}, 0,
         {0x00, 0x90, 0x3C, 0x64, 0x00, 0x80, 0x3C, 0x40, 0x00, 0x90, 0x3E, 0x64, 0x00, 0x80, 0x3E, 0x40}},
        {"a negative duration ends at the note", {Note(10, 0x3C, -5)}, 0,
         {0x0A, 0x90, 0x3C, 0x64, 0x00, 0x80, 0x3C, 0x40}},
        {"overlapping notes", {Note(0, 0x3C, 100), Note(50, 0x40, 100)}, 0,
         {0x00, 0x90, 0x3C, 0x64, 0x32, 0x90, 0x40, 0x64, 0x32, 0x80, 0x3C, 0x40, 0x32, 0x80, 0x40, 0x40}},
        {"a note's off before an off that was already there", {Short(MPEVENT_KIND_NOTEOFF, 10, 0x3E, 0x11), Note(0, 0x3C, 10)}, 0,
         {0x00, 0x90, 0x3C, 0x64, 0x0A, 0x80, 0x3C, 0x40, 0x00, 0x80, 0x3E, 0x11}},
        {"notes ending together end in the order they began",
         {Note(0, 0x3C, 100, 0x64, 0x11), Note(0, 0x3C, 100, 0x64, 0x22), Note(50, 0x3C, 50, 0x64, 0x33),
          Note(100, 0x3C, 10)},
         0,
         {0x00, 0x90, 0x3C, 0x64, 0x00, 0x90, 0x3C, 0x64, 0x32, 0x90, 0x3C, 0x64, 0x32, 0x80, 0x3C, 0x11, 0x00,
          0x80, 0x3C, 0x22, 0x00, 0x80, 0x3C, 0x33, 0x00, 0x90, 0x3C, 0x64, 0x0A, 0x80, 0x3C, 0x40}},
        {"long notes that end out of the order they began",
         {Note(0, 0x3C, 300, 0x64, 0x11), Note(10, 0x3E, 200, 0x64, 0x22), Note(20, 0x40, 280, 0x64, 0x33),
          Note(300, 0x3C, 10)},
         0,
         {0x00, 0x90, 0x3C, 0x64, 0x0A, 0x90, 0x3E, 0x64, 0x0A, 0x90, 0x40, 0x64, 0x81, 0x3E, 0x80, 0x3E, 0x22, 0x5A,
          0x80, 0x3C, 0x11, 0x00, 0x80, 0x40, 0x33, 0x00, 0x90, 0x3C, 0x64, 0x0A, 0x80, 0x3C, 0x40}},
    };
    for (const Case& c : cases) EXPECT_EQ(SaveFormat0({Track(c.channel, c.events)}), c.body) << c.what;
}

TEST(SmfSave, ManyOverlappingLongNotesEndInTheOrderTheyBegan) {
    // 20,000 notes that all sound together: every note-off comes after the
    // last note-on, in the order of the notes, and the file reads back to the
    // same song.
    constexpr int kNotes = 20000;
    Bytes events;
    for (int i = 0; i < kNotes; ++i) events.insert(events.end(), {BYTE(i ? 0x01 : 0x00), 0x90, BYTE(i % 128), 0x64});
    for (int i = 0; i < kNotes; ++i) {
        if (i) events.push_back(0x00);
        else events.insert(events.end(), {0x81, 0x00});
        events.insert(events.end(), {0x80, BYTE(i % 128), 0x40});
    }
    Loaded song;
    ASSERT_EQ(song.Load(Smf0(events)), 1);
    const Bytes body = EventsOfFormat0(song.Save());
    // Written as read: no running status in either.
    EXPECT_TRUE(body == events);
    Loaded again;
    ASSERT_EQ(again.Load(Smf0(body)), 1);
    EXPECT_TRUE(Describe(again.doc) == Describe(song.doc));
}

TEST(SmfSave, ExpandsPackedEvents) {
    struct Case {
        const char* what;
        SongEventInfo event;
        Bytes body;
    };
    const Case cases[] = {
        {"bank and program", Short(MPEVENT_KIND_VOICE, 100, 0x01, 0x02, 0x03),
         {0x64, 0xB1, 0x00, 0x01, 0x05, 0xB1, 0x20, 0x02, 0x05, 0xC1, 0x03}},
        {"RPN", Short(MPEVENT_KIND_RPN, 0, 0x00, 0x01, 0x40, 0x00),
         {0x00, 0xB1, 101, 0x00, 0x00, 0xB1, 100, 0x01, 0x00, 0xB1, 6, 0x40, 0x00, 0xB1, 38, 0x00}},
        {"NRPN", Short(MPEVENT_KIND_NRPN, 0, 0x01, 0x08, 0x50, 0x01),
         {0x00, 0xB1, 99, 0x01, 0x00, 0xB1, 98, 0x08, 0x00, 0xB1, 6, 0x50, 0x00, 0xB1, 38, 0x01}},
    };
    for (const Case& c : cases) EXPECT_EQ(SaveFormat0({Track(1, {c.event})}), c.body) << c.what;

    // A note with exclusive: the exclusive at its time, the note 5 ticks later with its length.
    EventRecord noteSysex(MPEVENT_KIND_NOTE_SYSEX, 20, {0x00, 0x3C, 0x50, 0x30, 0x0A, 0x00, 0x00, 0x00, 0x43, 0x10, 0xF7});
    EXPECT_EQ(SaveFormat0({Track(2, {noteSysex})}),
              (Bytes{0x14, 0xF0, 0x03, 0x43, 0x10, 0xF7, 0x05, 0x92, 0x3C, 0x50, 0x0A, 0x82, 0x3C, 0x30}));
    // One without its exclusive part has no form in the file.
    EventRecord bare(MPEVENT_KIND_NOTE_SYSEX, 20, {0x00, 0x3C, 0x50, 0x30, 0x0A, 0x00, 0x00, 0x00});
    EXPECT_EQ(SaveFormat0({Track(2, {bare, Short(MPEVENT_KIND_PROGRAM, 30, 1)})}), (Bytes{0x1E, 0xC2, 0x01}));
}

TEST(SmfSave, AppliesTheTracksChannelAndTransposition) {
    CTrack* up = Track(0, {Note(0, 120, 10), Note(0, 60, 10)});
    SetTrack(up, [](TrackInfo& i) { i.Transpose = 12; });
    EXPECT_EQ(SaveFormat0({up}), (Bytes{0x00, 0x90, 127, 0x64, 0x00, 0x90, 72, 0x64, 0x0A, 0x80, 127, 0x40,
                                        0x00, 0x80, 72, 0x40}));
    CTrack* down = Track(0, {Note(0, 5, 10)});
    SetTrack(down, [](TrackInfo& i) { i.Transpose = -12; });
    EXPECT_EQ(SaveFormat0({down}), (Bytes{0x00, 0x90, 0, 0x64, 0x0A, 0x80, 0, 0x40}));
    CTrack* drums = Track(9, {Note(0, 120, 10)});
    SetTrack(drums, [](TrackInfo& i) { i.Transpose = 12; i.Transposable = 0; });
    EXPECT_EQ(SaveFormat0({drums}), (Bytes{0x00, 0x99, 120, 0x64, 0x0A, 0x89, 120, 0x40}));

    // The track's channel replaces the event's.
    SongEventInfo elsewhere = Short(MPEVENT_KIND_CONTROL, 0, 7, 100);
    elsewhere.Channel = 5;
    EXPECT_EQ(SaveFormat0({Track(2, {elsewhere})}), (Bytes{0x00, 0xB2, 0x07, 0x64}));
}

TEST(SmfSave, MergesTracksAndBlocksInTimeOrder) {
    // Format 0 merges every track; events of equal time keep track order.
    CTrack* a = Track(0, {Short(MPEVENT_KIND_CONTROL, 0, 1, 1), Short(MPEVENT_KIND_CONTROL, 20, 1, 2)});
    CTrack* b = Track(1, {Short(MPEVENT_KIND_CONTROL, 0, 2, 1), Short(MPEVENT_KIND_CONTROL, 10, 2, 2),
                          Short(MPEVENT_KIND_CONTROL, 20, 2, 3)});
    EXPECT_EQ(SaveFormat0({a, b}), (Bytes{0x00, 0xB0, 1, 1, 0x00, 0xB1, 2, 1, 0x0A, 0xB1, 2, 2, 0x0A, 0xB0, 1, 2,
                                          0x00, 0xB1, 2, 3}));

    // A second block and a link block showing the first at its own start.
    Loaded song;
    CTrack* track = doctest::NewTrack(0);
    CBlock* first = doctest::AddBlock(track, 0, 100);
    first->InsertEvent(songtest::NewEvent(Short(MPEVENT_KIND_CONTROL, 5, 7, 1)));
    CBlock* second = doctest::AddBlock(track, 200, 300);
    second->InsertEvent(songtest::NewEvent(Short(MPEVENT_KIND_CONTROL, 5, 7, 2)));
    CBlock* link = new CBlock();
    BlockInfo linkInfo;
    linkInfo.Kind = BLOCK_KIND_LINK;
    linkInfo.Start = 1000;
    linkInfo.End = 1100;
    linkInfo.RefTrack = reinterpret_cast<POSITION>(uintptr_t(0));  // the reader's form: the track's index
    linkInfo.RefBlock = track->GetBlockList().GetHeadPosition();
    link->SetInfo(linkInfo, 1);
    track->AddBlock(link);
    EXPECT_EQ(EventsOfFormat0(SaveSong(song, {track}, FILE_KIND_SMF0)),
              (Bytes{0x05, 0xB0, 7, 1, 0x81, 0x48, 0xB0, 7, 2, 0x86, 0x20, 0xB0, 7, 1}));
}

TEST(SmfSave, LeavesOutTracksThatAreNotWritten) {
    CTrack* hidden = Track(0, {Short(MPEVENT_KIND_CONTROL, 0, 7, 1)});
    SetTrack(hidden, [](TrackInfo& i) { i.StateFlag2 = 1; });
    CTrack* clip = Track(1, {Short(MPEVENT_KIND_CONTROL, 0, 7, 2)});
    SetTrack(clip, [](TrackInfo& i) { i.Kind = TRACK_KIND_CLIP; });
    CTrack* shown = Track(2, {Short(MPEVENT_KIND_CONTROL, 0, 7, 3)});
    EXPECT_EQ(SaveFormat0({hidden, clip, shown}), (Bytes{0x00, 0xB2, 7, 3}));
}

TEST(SmfSave, LeavesOutThePartsReplacedParameterMessages) {
    struct Case {
        std::initializer_list<BYTE> data;
        int kind;
        BYTE flag2;
        BYTE pbCtrl;
        bool leftOut;
    };
    const Case cases[] = {
        {{0x43, 0x10, 0x4C, 0x08, 0x02, 0x0C, 0x40, 0xF7}, 0, 1, 1, true},
        {{0x43, 0x10, 0x4C, 0x08, 0x03, 0x0C, 0x40, 0xF7}, 0, 1, 1, false},  // another part
        {{0x43, 0x10, 0x4C, 0x08, 0x12, 0x05, 0x40, 0xF7}, 0, 1, 1, true},   // the part's low four bits
        {{0x43, 0x10, 0x4C, 0x08, 0x02, 0x67, 0x40, 0xF7}, 0, 1, 1, true},
        {{0x43, 0x10, 0x4C, 0x08, 0x02, 0x6C, 0x40, 0xF7}, 0, 1, 1, true},
        {{0x43, 0x10, 0x4C, 0x08, 0x02, 0x18, 0x40, 0xF7}, 3, 0, 1, true},
        {{0x43, 0x10, 0x4C, 0x08, 0x02, 0x18, 0x40, 0xF7}, 3, 1, 1, false},
        {{0x43, 0x10, 0x4C, 0x08, 0x02, 0x18, 0x40, 0xF7}, 2, 0, 1, false},
        {{0x43, 0x10, 0x4C, 0x08, 0x02, 0x1A, 0x40, 0xF7}, 4, 1, 1, true},
        {{0x43, 0x10, 0x4C, 0x08, 0x02, 0x1A, 0x40, 0xF7}, 5, 1, 1, false},
        {{0x43, 0x10, 0x4C, 0x08, 0x02, 0x23, 0x40, 0xF7}, 0, 1, 0, true},
        {{0x43, 0x10, 0x4C, 0x08, 0x02, 0x23, 0x40, 0xF7}, 0, 1, 1, false},
        {{0x43, 0x10, 0x4C, 0x08, 0x02, 0x30, 0x40, 0xF7}, 0, 1, 1, false},  // another address
        {{0x43, 0x10, 0x4C, 0x09, 0x02, 0x0C, 0x40, 0xF7}, 0, 1, 1, false},  // another model
        {{0x43, 0x10, 0x4C, 0x08, 0x02}, 0, 1, 0, false},                    // too short to name an address
    };
    for (const Case& c : cases) {
        CPHConvPrm prm;
        prm.Channel = 2;
        prm.Kind = c.kind;
        prm.Flag2 = c.flag2;
        prm.PbCtrl = c.pbCtrl;
        EventRecord sysex(MPEVENT_KIND_SYSEX, 0, c.data);
        const Bytes body = SaveFormat0({Track(0, {sysex})}, &prm);
        EXPECT_EQ(body.empty(), c.leftOut) << int(c.data.begin()[5 % c.data.size()]) << " kind " << c.kind;
        EXPECT_EQ(CDataManager::IsReplacedKvParameter(sysex, &prm), c.leftOut);
        EXPECT_FALSE(CDataManager::IsReplacedKvParameter(sysex, nullptr));
    }
}

TEST(SmfSave, RefusesEventsTheFormatCannotCarry) {
    struct Case {
        const char* what;
        std::vector<SongEventInfo> events;
        LONG trackChannel;
    };
    EventRecord emptyMeta(MPEVENT_KIND_META, 0, {});
    EventRecord endOfTrack(MPEVENT_KIND_META, 0, {0x2F});
    const Case cases[] = {
        {"control value 200", {Short(MPEVENT_KIND_CONTROL, 0, 7, 200)}, 0},
        {"controller 128", {Short(MPEVENT_KIND_CONTROL, 0, 128, 1)}, 0},
        {"program 255", {Short(MPEVENT_KIND_PROGRAM, 0, 255)}, 0},
        {"note velocity 128", {Note(0, 60, 10, 128)}, 0},
        {"note-off velocity 200", {Note(0, 60, 10, 100, 200)}, 0},
        {"bank LSB 128", {Short(MPEVENT_KIND_VOICE, 0, 0, 128, 1)}, 0},
        {"RPN data 255", {Short(MPEVENT_KIND_RPN, 0, 0, 0, 255, 0)}, 0},
        {"channel 16", {Short(MPEVENT_KIND_CONTROL, 0, 7, 1)}, 16},
        {"meta without its type", {emptyMeta}, 0},
        {"End of Track in the middle", {endOfTrack}, 0},
        {"delta of 2^28 ticks", {Short(MPEVENT_KIND_CONTROL, 0x10000000, 7, 1)}, 0},
        {"negative time", {Short(MPEVENT_KIND_CONTROL, -1, 7, 1)}, 0},
    };
    for (const Case& c : cases) {
        Loaded song;
        std::vector<SongEventInfo> events = c.events;
        for (SongEventInfo& e : events) e.Channel = c.trackChannel;
        EXPECT_TRUE(SaveSong(song, {Track(c.trackChannel, events)}, FILE_KIND_SMF0).empty()) << c.what;
    }
    // The largest delta a file can hold is written.
    EXPECT_EQ(SaveFormat0({Track(0, {Short(MPEVENT_KIND_CONTROL, 0x0FFFFFFF, 7, 1)})}),
              (Bytes{0xFF, 0xFF, 0xFF, 0x7F, 0xB0, 7, 1}));
}

TEST(SmfSave, LeavesTheSongAsItWas) {
    Loaded song;
    ASSERT_EQ(song.Load(Smf0({0x00, 0xC0, 0x05, 0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x40})), 1);
    SetTrack(song.Track(1), [](TrackInfo& i) { i.Transpose = 3; i.Channel = 4; });
    const std::string before = Describe(song.doc);
    ASSERT_FALSE(song.Save().empty());
    EXPECT_EQ(Describe(song.doc), before);
}
