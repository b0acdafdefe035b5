#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "SongFixtures.h"
#include "host/SongEvent.h"

using namespace songtest;

namespace {

struct KindCase {
    DWORD kind;
    int result;
};
const KindCase kKinds[] = {
    {0x1, 1},      {0x2, 1},      {0x4, 1},     {0x8, 1},       {0x10, 1},       {0x20, 1},
    {0x40, 1},     {0x80, 1},     {0x100, 1},   {0x200, 1},     {0x400, 1},      {0x800, 1},
    {0x10000, 1},  {0x20000, 1},  {0x40000, 1}, {0x80000, 1},   {0x100000, 1},   {0x0, 0},
    {0x3, 0},      {0x1000, 0},   {0x8000, 0},  {0x30000, 0},   {0x400000, 0},   {0x80000000u, 0},
};

TEST(SongEvent, SetInfoAcceptsExactlyTheListedKinds) {
    BYTE data[3] = {0x7F, 0x01, 0xF7};
    for (const auto& c : kKinds) {
        SongEventInfo info;
        info.Kind = c.kind;
        info.Time = 77;
        info.Length = 3;
        info.Bytes = data;
        CSongEvent e;
        EXPECT_EQ(e.SetInfo(info, 0), c.result) << std::hex << c.kind;
        // A refused record leaves the fresh event as it was.
        EXPECT_EQ(e.GetKind(), c.result ? c.kind : DWORD(MPEVENT_KIND_NONE)) << std::hex << c.kind;
        EXPECT_EQ(e.GetTime(), c.result ? 77 : 0) << std::hex << c.kind;
    }
}

TEST(SongEvent, ShortKindsNeverKeepTheRecordsDataPointer) {
    std::vector<BYTE> caller = {1, 2, 3, 4, 5};
    SongEventInfo info = ShortInfo(MPEVENT_KIND_CONTROL, 480, 7, 100);
    info.Channel = 3;
    info.Length = DWORD(caller.size());
    info.Bytes = caller.data();
    CSongEvent e;
    ASSERT_EQ(e.SetInfo(info, 0), 1);
    EXPECT_EQ(e.GetInfo().Bytes, nullptr);
    EXPECT_EQ(e.GetInfo().Length, 0u);
    EXPECT_EQ(e.GetDataHandle(), nullptr);
    EXPECT_EQ(e.GetInfo().Channel, 3);
    EXPECT_EQ(e.GetInfo().Data1, 7);
    EXPECT_EQ(e.GetInfo().Data2, 100);
    EXPECT_EQ(e.GetTime(), 480);
}

TEST(SongEvent, VariableDataIsCopiedAndOtherFieldsKept) {
    CSongEvent e;
    SongEventInfo note = ShortInfo(MPEVENT_KIND_NOTE, 10, 60, 90, 240);
    note.Data3 = 64;
    note.Data4 = 9;
    ASSERT_EQ(e.SetInfo(note, 0), 1);

    std::vector<BYTE> sysex = {0x41, 0x10, 0x42, 0xF7};
    SongEventInfo info;
    info.Kind = MPEVENT_KIND_SYSEX;
    info.Time = 960;
    info.Channel = 2;
    info.Length = DWORD(sysex.size());
    info.Bytes = sysex.data();
    ASSERT_EQ(e.SetInfo(info, 0), 1);
    sysex[0] = 0;  // the caller's buffer is its own

    const SongEventInfo& got = e.GetInfo();
    ASSERT_NE(got.Bytes, nullptr);
    EXPECT_NE(got.Bytes, sysex.data());
    EXPECT_EQ(got.Length, 4u);
    EXPECT_EQ(std::vector<BYTE>(got.Bytes, got.Bytes + 4), (std::vector<BYTE>{0x41, 0x10, 0x42, 0xF7}));
    EXPECT_EQ(got.Kind, DWORD(MPEVENT_KIND_SYSEX));
    EXPECT_EQ(got.Time, 960);
    EXPECT_EQ(got.Channel, 2);
    // The data bytes and the duration keep what they held.
    EXPECT_EQ(got.Data1, 60);
    EXPECT_EQ(got.Data3, 64);
    EXPECT_EQ(got.Data4, 9);
    EXPECT_EQ(got.Duration, 240);
}

TEST(SongEvent, VariableRecordWithoutItsDataIsRefused) {
    CSongEvent e;
    ASSERT_EQ(e.SetInfo(ShortInfo(MPEVENT_KIND_PROGRAM, 5, 12), 0), 1);
    for (DWORD kind : {MPEVENT_KIND_SYSEX, MPEVENT_KIND_META, MPEVENT_KIND_NOTE_SYSEX, MPEVENT_KIND_CLIP}) {
        SongEventInfo bad;
        bad.Kind = kind;
        bad.Length = 16;
        bad.Bytes = nullptr;
        EXPECT_EQ(e.SetInfo(bad, 0), 0) << std::hex << kind;
        EXPECT_EQ(e.GetKind(), DWORD(MPEVENT_KIND_PROGRAM));
        EXPECT_EQ(e.GetInfo().Data1, 12);
    }
    // A clip block shorter than its 24 bytes is refused as well.
    BYTE shortClip[8] = {};
    SongEventInfo clip;
    clip.Kind = MPEVENT_KIND_CLIP;
    clip.Length = 8;
    clip.Bytes = shortClip;
    EXPECT_EQ(e.SetInfo(clip, 0), 0);
}

TEST(SongEvent, EmptyVariableDataIsKeptAsNoData) {
    SongEventInfo info;
    info.Kind = MPEVENT_KIND_SYSEX_CONT;
    info.Length = 0;
    CSongEvent e;
    EXPECT_EQ(e.SetInfo(info, 0), 1);
    EXPECT_EQ(e.GetInfo().Bytes, nullptr);
    EXPECT_EQ(e.GetInfo().Length, 0u);
}

TEST(SongEvent, SetInfoFromItsOwnRecordKeepsTheData) {
    CSongEvent* e = NewMeta(0, {0x51, 0x07, 0xA1, 0x20});
    const SongEventInfo own = e->GetInfo();  // points at the event's own data
    ASSERT_EQ(e->SetInfo(own, 0), 1);
    const SongEventInfo& got = e->GetInfo();
    ASSERT_EQ(got.Length, 4u);
    EXPECT_EQ(std::vector<BYTE>(got.Bytes, got.Bytes + 4), (std::vector<BYTE>{0x51, 0x07, 0xA1, 0x20}));
    delete e;
}

TEST(SongEvent, ExtendedWordsOnlyWithTheFlag) {
    SongEventInfo info = ShortInfo(MPEVENT_KIND_NOTE, 0, 60, 100, 10);
    info.Extra0 = 5;
    info.Extra5 = 9;
    CSongEvent plain;
    plain.SetInfo(info, 0);
    EXPECT_EQ(plain.GetInfo().Extra0, -1);
    EXPECT_EQ(plain.GetInfo().Extra5, 0);
    CSongEvent full;
    full.SetInfo(info, 1);
    EXPECT_EQ(full.GetInfo().Extra0, 5);
    EXPECT_EQ(full.GetInfo().Extra5, 9);
}

TEST(SongEvent, ClipEventOwnsACopyOfItsName) {
    std::u16string name = u"Intro";
    SongClipData clip{&name[0], 1000, 250000};
    SongEventInfo info;
    info.Kind = MPEVENT_KIND_CLIP;
    info.Time = 3840;
    info.Length = sizeof clip;
    info.Bytes = reinterpret_cast<BYTE*>(&clip);
    CSongEvent e;
    ASSERT_EQ(e.SetInfo(info, 0), 1);
    name[0] = u'X';
    const SongClipData* got = e.GetClip();
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(std::u16string(got->Name), u"Intro");
    EXPECT_EQ(got->ClipStart, 1000);
    EXPECT_EQ(got->ClipEnd, 250000);
    EXPECT_EQ(e.GetTime(), 3840);
    // Turning it into a short event releases the block and the name.
    ASSERT_EQ(e.SetInfo(ShortInfo(MPEVENT_KIND_NOTEOFF, 0, 60), 0), 1);
    EXPECT_EQ(e.GetClip(), nullptr);
    EXPECT_EQ(e.GetDataHandle(), nullptr);
}

struct DurationCase {
    const char* what;
    DWORD kind;
    LONG duration;
    std::vector<BYTE> data;
    LONG expected;
};

TEST(SongEvent, GetDurationTable) {
    const DurationCase cases[] = {
        {"note", MPEVENT_KIND_NOTE, 50, {}, 50},
        {"control change", MPEVENT_KIND_CONTROL, 50, {}, 0},
        {"note with exclusive", MPEVENT_KIND_NOTE_SYSEX, 0, {0, 60, 100, 0, 0x40, 0x01, 0, 0, 0xF7}, 320},
        {"note with exclusive, 8 bytes only", MPEVENT_KIND_NOTE_SYSEX, 0, {0, 60, 100, 0, 0x40, 0x01, 0, 0}, 0},
        {"note with exclusive, first byte set", MPEVENT_KIND_NOTE_SYSEX, 0, {1, 60, 100, 0, 0x40, 0x01, 0, 0, 0xF7}, 0},
        {"meta event", MPEVENT_KIND_META, 0, {0x51, 0, 0, 0, 0x40, 0x01, 0, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        SongEventInfo info = ShortInfo(c.kind, 0, 0, 0, c.duration);
        std::vector<BYTE> data = c.data;
        info.Length = DWORD(data.size());
        info.Bytes = data.empty() ? nullptr : data.data();
        CSongEvent e;
        ASSERT_EQ(e.SetInfo(info, 0), 1) << c.what;
        EXPECT_EQ(e.GetDuration(), c.expected) << c.what;
    }
}

TEST(SongEvent, AllocDataGivesZeroedBytesOfThatSize) {
    CSongEvent* e = NewMeta(0, {0x58, 4, 2, 24, 8});
    ASSERT_EQ(e->AllocData(6), 1);
    const SongEventInfo& got = e->GetInfo();
    ASSERT_NE(got.Bytes, nullptr);
    EXPECT_EQ(got.Length, 6u);
    EXPECT_EQ(std::vector<BYTE>(got.Bytes, got.Bytes + 6), std::vector<BYTE>(6, 0));
    e->FreeData();
    EXPECT_EQ(e->GetInfo().Bytes, nullptr);
    EXPECT_EQ(e->GetInfo().Length, 0u);
    delete e;
}

}  // namespace
