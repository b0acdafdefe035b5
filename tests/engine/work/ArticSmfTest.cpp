// The engine's SMF reader and writer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/work/ArticSmf.h"
#include "SmfFixture.h"
#include "UtilFixture.h"

using namespace smftest;
using wrktest::Items;
using wrktest::Loose;
using wrktest::OwnedList;
using wrktest::Times;

namespace {

std::vector<INT64> Gates(CArticWrkEvntList& list) {
    std::vector<INT64> gates;
    for (CArticWrkEvnt* e : Items(list)) gates.push_back(e->GetGateTime());
    return gates;
}

struct DivisionCase {
    int division;
    int count;
    std::vector<INT64> times;
};

}  // namespace

TEST(ArticSmfRead, DivisionConvertsWithCarriedRemainder) {
    const DivisionCase cases[] = {
        {96, 5, {5, 10, 15, 20, 25}},
        {7, 3, {68, 137, 205}},
        {480, 2, {1, 2}},
    };
    for (const auto& c : cases) {
        Bytes track;
        for (int i = 0; i < c.count; ++i) track.insert(track.end(), {0x01, 0xB0, 0x07, (unsigned char)i});
        CArticSmf smf;
        ASSERT_EQ(LoadBytes(smf, Smf0(c.division, track)), 1) << c.division;
        EXPECT_EQ(smf.GetKind(), 1);
        EXPECT_EQ(Times(*smf.GetEvntListPtr(1)), c.times) << c.division;
    }
}

TEST(ArticSmfRead, NotesTakeTheirGatesAndOffsAreNotStored) {
    CArticSmf smf;
    // note-on, then the same key with velocity 0 after 480 ticks (83 60)
    ASSERT_EQ(LoadBytes(smf, Smf0(480, {0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x90, 0x3C, 0x00})), 1);
    CArticWrkEvntList& list = *smf.GetEvntListPtr(1);
    ASSERT_EQ(list.GetCount(), 1);
    CArticWrkEvnt* note = list.GetHead();
    EXPECT_EQ(note->GetStatus(), 0x90);
    EXPECT_EQ(note->GetPost1(), 0x3C);
    EXPECT_EQ(note->GetPost2(), 0x64);
    EXPECT_EQ(note->GetTime(), 0);
    EXPECT_EQ(note->GetGateTime(), 480);

    // an off at delta 0 gives gate 1; a note without off lasts to the track's last event
    ASSERT_EQ(LoadBytes(smf, Smf0(480, {0x00, 0x90, 0x40, 0x50, 0x00, 0x80, 0x40, 0x00, 0x00, 0x91, 0x41, 0x50,
                                        0x81, 0x70, 0xB1, 0x07, 0x64})),
              1);
    EXPECT_EQ(Gates(*smf.GetEvntListPtr(1)), (std::vector<INT64>{1, 240, 0}));
}

TEST(ArticSmfRead, OverlappingOffsOfOneKeyPairInOrder) {
    CArticSmf smf;
    // on 60 at 0, on 60 at 100, off 60 at 200, off 60 at 300
    ASSERT_EQ(LoadBytes(smf, Smf0(480, {0x00, 0x90, 0x3C, 0x64, 0x64, 0x90, 0x3C, 0x64, 0x64, 0x80, 0x3C, 0x00,
                                        0x64, 0x80, 0x3C, 0x00})),
              1);
    CArticWrkEvntList& list = *smf.GetEvntListPtr(1);
    EXPECT_EQ(Times(list), (std::vector<INT64>{0, 100}));
    EXPECT_EQ(Gates(list), (std::vector<INT64>{200, 200}));
}

TEST(ArticSmfRead, GatesCountFromTheirNoteOnAndPairByChannelAndKey) {
    struct Case {
        const char* what;
        int division;
        Bytes track;
        std::vector<INT64> times, gates;
    };
    const Case cases[] = {
        // at division 7 the note starts at 68 and its off lies at 137, but its
        // gate is one tick converted on its own: 68, not 69
        {"remainders of the note's own span", 7, {0x01, 0x90, 0x3C, 0x64, 0x01, 0x80, 0x3C, 0x00}, {68}, {68}},
        {"an off of another channel or key leaves the note sounding", 480,
         {0x00, 0x90, 0x3C, 0x64, 0x0A, 0x81, 0x3C, 0x00, 0x0A, 0x80, 0x3D, 0x00, 0x0A, 0x80, 0x3C, 0x00}, {0}, {30}},
        {"an off before its note belongs to no note", 480,
         {0x00, 0x80, 0x3C, 0x00, 0x0A, 0x90, 0x3C, 0x64, 0x14, 0x90, 0x3C, 0x00}, {10}, {20}},
        {"notes still sounding at the end last to the track's last event", 480,
         {0x00, 0x90, 0x3C, 0x64, 0x0A, 0x91, 0x3C, 0x64, 0x0A, 0x91, 0x3C, 0x00, 0x0A, 0x90, 0x3E, 0x64, 0x0A, 0xB0,
          0x07, 0x64},
         {0, 10, 30},
         {40, 10, 10}},
    };
    for (const Case& c : cases) {
        CArticSmf smf;
        ASSERT_EQ(LoadBytes(smf, Smf0(c.division, c.track)), 1) << c.what;
        std::vector<INT64> times, gates;
        for (CArticWrkEvnt* e : Items(*smf.GetEvntListPtr(1)))
            if (e->GetStatus() == 0x90) {
                times.push_back(e->GetTime());
                gates.push_back(e->GetGateTime());
            }
        EXPECT_EQ(times, c.times) << c.what;
        EXPECT_EQ(gates, c.gates) << c.what;
    }
}

TEST(ArticSmfRead, AMatchedOffIsNotTakenAgainByKeyZero) {
    CArticSmf smf;
    // on 60 at 0, on 0 at 10, off 60 at 100, off 0 at 300: the key-0 note
    // must end at 300, not at the off of key 60.
    ASSERT_EQ(LoadBytes(smf, Smf0(480, {0x00, 0x90, 0x3C, 0x64, 0x0A, 0x90, 0x00, 0x64, 0x5A, 0x80, 0x3C, 0x00,
                                        0x81, 0x48, 0x80, 0x00, 0x00})),
              1);
    CArticWrkEvntList& list = *smf.GetEvntListPtr(1);
    EXPECT_EQ(Times(list), (std::vector<INT64>{0, 10}));
    EXPECT_EQ(Gates(list), (std::vector<INT64>{100, 290}));
}

TEST(ArticSmfRead, RunningStatusCarriesAcrossAMetaEvent) {
    CArticSmf smf;
    // on 60; text meta; data bytes 3C 00 read with the note status: the note's off
    ASSERT_EQ(LoadBytes(smf, Smf0(480, {0x00, 0x90, 0x3C, 0x64, 0x10, 0xFF, 0x01, 0x01, 'a', 0x10, 0x3C, 0x00,
                                        0x00, 0xB0, 0x07, 0x10, 0x08, 0x0B, 0x20})),
              1);
    std::vector<CArticWrkEvnt*> items = Items(*smf.GetEvntListPtr(1));
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0]->GetGateTime(), 32);
    EXPECT_EQ(items[1]->GetStatus(), 0xFF);
    EXPECT_EQ(items[1]->GetMetaType(), 0x01);
    EXPECT_EQ(items[1]->GetTime(), 16);
    EXPECT_EQ(items[3]->GetStatus(), 0xB0);  // running status of the control change
    EXPECT_EQ(items[3]->GetPost1(), 0x0B);
    EXPECT_EQ(items[3]->GetPost2(), 0x20);
    EXPECT_EQ(items[3]->GetTime(), 40);
}

TEST(ArticSmfRead, FormatOneKeepsFirstTrackMetaApartAndDropsLaterEnds) {
    Bytes first = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x00,
                   0x00, 0xFF, 0x2F, 0x00};
    Bytes second = {0x00, 0xFF, 0x03, 0x01, 'x', 0x00, 0xC0, 0x05, 0x30, 0xFF, 0x01, 0x01, 'y',
                    0x10, 0xB0, 0x0A, 0x40, 0x00, 0xFF, 0x2F, 0x00};
    Bytes file = Cat(Cat(Header(1, 2, 480), Chunk("MTrk", first)), Chunk("MTrk", second));
    CArticSmf smf;
    ASSERT_EQ(LoadBytes(smf, file), 1);
    EXPECT_EQ(smf.GetKind(), 2);
    std::vector<CArticWrkEvnt*> metas = Items(*smf.GetEvntListPtr(0));
    ASSERT_EQ(metas.size(), 2u);  // the tempo and the first track's end
    EXPECT_EQ(metas[0]->GetMetaType(), 0x51);
    EXPECT_EQ(metas[1]->GetMetaType(), 0x2F);
    std::vector<CArticWrkEvnt*> events = Items(*smf.GetEvntListPtr(1));
    ASSERT_EQ(events.size(), 4u);  // note; program, text at 48, control change
    EXPECT_EQ(events[0]->GetStatus(), 0x90);
    EXPECT_EQ(events[0]->GetGateTime(), 96);
    EXPECT_EQ(events[1]->GetStatus(), 0xC0);
    EXPECT_EQ(events[2]->GetMetaType(), 0x01);
    EXPECT_EQ(events[2]->GetTime(), 48);
    EXPECT_EQ(events[3]->GetTime(), 64);  // the second track starts again from 0
}

TEST(ArticSmfRead, BrokenAndRefusedFilesGiveZeroAndNoEvents) {
    const Bytes track = {0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x00};
    const Bytes good = Smf0(480, track);
    Bytes longChunk = good;
    longChunk[21] = 0x40;  // the track claims more bytes than the file has
    Bytes cut = good;
    cut.resize(cut.size() - 3);
    Bytes hugeChunk = good;
    hugeChunk[18] = 0xFF;
    Bytes twoTracks = good;
    twoTracks[11] = 2;
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"short header", Bytes(good.begin(), good.begin() + 12)},
        {"zq chunks", Cat(Cat(good, Chunk("ZQIH", {1, 2})), Chunk("ZQKM", {3}))},
        {"format 2", Cat(Header(2, 1, 480), Chunk("MTrk", track))},
        {"format 0 with two tracks", twoTracks},
        {"division 0", Smf0(0, track)},
        {"track past the image", longChunk},
        {"truncated file", cut},
        {"oversized chunk", hugeChunk},
        {"format 1 chunk past the image", Cat(Header(1, 2, 480), Chunk("MTrk", track))},
        {"delta runs past the track", Smf0(480, {0x00, 0xB0, 0x07, 0x10, 0x81})},
        {"five-byte delta", Smf0(480, {0x81, 0x81, 0x81, 0x81, 0x01, 0xB0, 0x07, 0x10})},
        {"event cut at the track end", Smf0(480, {0x00, 0x90, 0x3C})},
        {"meta longer than the track", Smf0(480, {0x00, 0xFF, 0x01, 0x20, 'a'})},
        {"sysex longer than the track", Smf0(480, {0x00, 0xF0, 0x7F, 0x01})},
        {"data byte without status", Smf0(480, {0x00, 0x3C, 0x64})},
        {"system status in a track", Smf0(480, {0x00, 0xF2, 0x00, 0x00})},
    };
    for (const auto& c : cases) {
        CArticSmf smf;
        EXPECT_EQ(LoadBytes(smf, c.bytes), 0) << c.name;
        EXPECT_TRUE(smf.GetEvntListPtr(1)->IsEmpty()) << c.name;
    }
    CArticSmf smf;
    EXPECT_EQ(LoadBytes(smf, good), 1);  // the same file without the ZQ chunks
}

TEST(ArticSmfRead, ListIndexOutsideTheRangeGivesNothing) {
    CArticSmf smf;
    CArticWrkEvntList* list = reinterpret_cast<CArticWrkEvntList*>(1);
    EXPECT_EQ(smf.GetEvntList(100, &list), 1);
    EXPECT_NE(list, nullptr);
    EXPECT_EQ(smf.GetEvntList(101, &list), 0);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(smf.GetEvntListPtr(1000), nullptr);
    EXPECT_EQ(smf.LoadSmf(nullptr), 0);
}

namespace {

// Writes list and returns the file's bytes.
Bytes Written(OwnedList& events, int* result = nullptr) {
    TempFile file("write.mid");
    CFile f;
    EXPECT_TRUE(f.Open(CString(file.path), CFile::modeWrite | CFile::modeCreate));
    CArticSmf smf;
    int r = smf.SaveSmf(&f, &events.list);
    if (result) *result = r;
    f.Close();
    return file.Read();
}

Bytes TrackBody(const Bytes& file) {
    return file.size() >= 22 ? Bytes(file.begin() + 22, file.end()) : Bytes();
}

}  // namespace

TEST(ArticSmfWrite, OneNoteGivesTheExactFile) {
    OwnedList events;
    events.list.AddTail(Loose(0x90, 0, 60, 100, 480));
    int result = 0;
    Bytes file = Written(events, &result);
    EXPECT_EQ(result, 1);
    const Bytes expected = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, 13,
                            0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x80, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(file, expected);
    EXPECT_EQ(events.list.GetHead()->GetStatus(), 0x90);  // the given list stays as it was
    EXPECT_EQ(events.list.GetCount(), 1);
}

TEST(ArticSmfWrite, PackedEventsExpandAndUnknownKindsWriteNothing) {
    OwnedList events;
    CArticWrkEvnt* nrpn = Loose(0x10, 0, 1, 2);
    nrpn->SetPost3(3);
    nrpn->SetPost4(4);
    events.list.AddTail(nrpn);
    events.list.AddTail(Loose(0x40, 0, 9, 9));
    CArticWrkEvnt* voice = Loose(0x30, 20, 0x3F, 0x05);
    voice->SetPost3(0x21);
    events.list.AddTail(voice);
    const Bytes expected = {0x00, 0xB0, 0x63, 0x01, 0x00, 0xB0, 0x62, 0x02, 0x00, 0xB0, 0x06, 0x03, 0x00, 0xB0, 0x26,
                            0x04,                                                   // NRPN: 15 bytes after its delta
                            0x14, 0xB0, 0x00, 0x3F, 0x05, 0xB0, 0x20, 0x05, 0x05, 0xC0, 0x21,  // voice at 20, 25, 30
                            0x00, 0xFF, 0x2F, 0x00};
    Bytes file = Written(events);
    EXPECT_EQ(TrackBody(file), expected);
    ASSERT_GE(file.size(), 22u);
    EXPECT_EQ(file[21], expected.size());
}

TEST(ArticSmfWrite, ANoteWithoutGateStillGetsItsNoteOff) {
    OwnedList events;
    events.list.AddTail(Loose(0x90, 10, 64, 90, 0));
    const Bytes expected = {0x0A, 0x90, 0x40, 0x5A, 0x00, 0x80, 0x40, 0x5A, 0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(TrackBody(Written(events)), expected);
}

TEST(ArticSmfWrite, OffsOfOneTickGoBeforeTheEventsThereLastNoteFirst) {
    OwnedList events;
    events.list.AddTail(Loose(0x90, 0, 60, 100, 100));   // ends at 100
    events.list.AddTail(Loose(0x90, 10, 62, 100, 90));   // ends at 100 too
    events.list.AddTail(Loose(0x90, 20, 64, 100, 50));   // ends at 70, before both
    events.list.AddTail(Loose(0xB0, 100, 7, 1));
    const Bytes expected = {0x00, 0x90, 0x3C, 0x64, 0x0A, 0x90, 0x3E, 0x64, 0x0A, 0x90, 0x40, 0x64,
                            0x32, 0x80, 0x40, 0x64,  // 70
                            0x1E, 0x80, 0x3E, 0x64,  // 100: the later note's off first
                            0x00, 0x80, 0x3C, 0x64, 0x00, 0xB0, 0x07, 0x01, 0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(TrackBody(Written(events)), expected);
}

TEST(ArticSmfWrite, DataBlockGoesAheadOfItsNote) {
    OwnedList events;
    CArticWrkEvnt* block = Loose(0x60, 100, 62, 70, 30);
    const BYTE data[] = {0x43, 0x10, 0xF7};
    block->SetSys(data, 3);
    events.list.AddTail(block);
    const Bytes expected = {0x5F, 0xF0, 0x03, 0x43, 0x10, 0xF7,  // at 95
                            0x05, 0x90, 0x3E, 0x46,              // the note at 100
                            0x1E, 0x80, 0x3E, 0x46,              // its off at 130
                            0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(TrackBody(Written(events)), expected);
}

TEST(ArticSmfWrite, RoundTripThroughTheReader) {
    OwnedList events;
    events.list.AddTail(Loose(0xB0, 0, 11, 64));
    events.list.AddTail(Loose(0x90, 0, 60, 100, 240));
    events.list.AddTail(wrktest::LooseBend(120, -4096));
    events.list.AddTail(Loose(0x90, 240, 62, 80, 1000));
    events.list.AddTail(wrktest::LooseText(480, "EOD"));
    events.list.AddTail(Loose(0xC0, 600, 7));
    Bytes file = Written(events);
    CArticSmf smf;
    ASSERT_EQ(LoadBytes(smf, file), 1);
    std::vector<CArticWrkEvnt*> back = Items(*smf.GetEvntListPtr(1));
    ASSERT_EQ(back.size(), 7u);  // the six events and the end of track
    std::vector<CArticWrkEvnt*> orig = Items(events.list);
    for (size_t i = 0; i < orig.size(); ++i) {
        EXPECT_EQ(back[i]->GetStatus(), orig[i]->GetStatus()) << i;
        EXPECT_EQ(back[i]->GetTime(), orig[i]->GetTime()) << i;
        EXPECT_EQ(back[i]->GetGateTime(), orig[i]->GetGateTime()) << i;
        if (orig[i]->GetStatus() != 0xFF) {
            EXPECT_EQ(back[i]->GetPost1(), orig[i]->GetPost1()) << i;
            if (orig[i]->GetStatus() != 0xC0) EXPECT_EQ(back[i]->GetPost2(), orig[i]->GetPost2()) << i;
        }
    }
    EXPECT_EQ(wrktest::Bend(back[2]), -4096);
    const BYTE* text = nullptr;
    ASSERT_EQ(back[4]->GetMeta(nullptr, &text), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(text), 3), "EOD");
    EXPECT_EQ(back[6]->GetMetaType(), 0x2F);
    EXPECT_EQ(back[6]->GetTime(), 1240);
}

TEST(ArticSmfWrite, NullArgumentsFail) {
    CArticSmf smf;
    OwnedList events;
    EXPECT_EQ(smf.SaveSmf(nullptr, &events.list), 0);
    TempFile file("null.mid");
    CFile f;
    ASSERT_TRUE(f.Open(CString(file.path), CFile::modeWrite | CFile::modeCreate));
    EXPECT_EQ(smf.SaveSmf(&f, nullptr), 0);
    EXPECT_EQ(CArticSmf::ConvDWordToStr(0x0102030A), CString("\x01\x02\x03\x0A", 4));
}

TEST(ArticSmfWrite, OffKeepsTheNoteChannelAndDataBytesStayData) {
    OwnedList events;
    events.list.AddTail(Loose(0x91, 0, 60, 200, 10));  // a velocity no data byte holds
    const Bytes expected = {0x00, 0x91, 0x3C, 0x7F, 0x0A, 0x81, 0x3C, 0x7F, 0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(TrackBody(Written(events)), expected);
}
