#include <gtest/gtest.h>

#include <cstring>

#include "engine/work/ArticPos.h"
#include "host/MPEvent.h"
#include "platform/Memory.h"
#include "WorkFixture.h"

using namespace wrktest;

TEST(ArticPos, KeysFollowTheWorkEvent) {
    CArticWrkEvnt note, cc;
    note.SetStatus(0x90);
    note.SetPost1(60);
    cc.SetStatus(0xB0);
    cc.SetPost1(7);
    CArticPos pos;
    pos.SetWrkEvnt(&note);
    EXPECT_EQ(pos.GetKeyHead(), 60);
    EXPECT_EQ(pos.GetKeyTail(), 60);
    pos.SetWrkEvnt(&cc);
    EXPECT_EQ(pos.GetKeyHead(), 0xFF);
    pos.SetWrkEvnt(&note);
    pos.SetWrkEvnt(nullptr);
    EXPECT_EQ(pos.GetKeyTail(), 0xFF);
    CArticPos built(nullptr, nullptr, nullptr, &note, &cc);
    EXPECT_EQ(built.GetKeyHead(), 60);
    EXPECT_EQ(built.GetRefWrkEvnt(), &cc);
}

TEST(ArticPos, HostCopyOwnsItsData) {
    BYTE* bytes = static_cast<BYTE*>(CoTaskMemAlloc(4));
    std::memcpy(bytes, "\x43\x10\x4C\xF7", 4);
    tagMPEVENT src;
    ResetMPEvent(src);
    src.Kind = MPEVENT_KIND_SYSEX;
    src.Flags = MPEVENT_FLAG_SELECTED;
    src.Time = 960;
    src.TimeFormat = MPTIME_FORMAT_CLOCK;
    src.Channel = 3;
    src.Length = 4;
    src.Bytes = bytes;

    CArticPos pos;
    pos.Set(&src);
    std::memset(bytes, 0, 4);
    CoTaskMemFree(bytes);
    tagMPEVENT* copy = nullptr;
    pos.Get(&copy);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Kind, MPEVENT_KIND_SYSEX);
    EXPECT_EQ(copy->Flags, 0u);  // never copied
    EXPECT_EQ(copy->TimeFormat, DWORD(MPTIME_FORMAT_TICKS));
    EXPECT_EQ(copy->Time, 960);
    EXPECT_EQ(copy->Channel, 3);
    ASSERT_EQ(copy->Length, 4u);
    EXPECT_EQ(std::memcmp(copy->Bytes, "\x43\x10\x4C\xF7", 4), 0);

    // Assignment gives the target a copy of its own; re-setting from its own copy is safe.
    CArticPos other;
    other = pos;
    tagMPEVENT* second = nullptr;
    other.Get(&second);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->Bytes, copy->Bytes);
    other.Set(second);
    other.Get(&second);
    EXPECT_EQ(std::memcmp(second->Bytes, "\x43\x10\x4C\xF7", 4), 0);
}

TEST(ArticPos, ShortMessagesAndNoCopy) {
    tagMPEVENT note;
    ResetMPEvent(note);
    note.Kind = MPEVENT_KIND_NOTE;
    note.Duration = 240;
    note.Data1 = 60;
    note.Data2 = 100;
    CArticPos pos;
    pos.Set(&note);
    tagMPEVENT* copy = nullptr;
    pos.Get(&copy);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Duration, 240);
    EXPECT_EQ(copy->Data1, 60);
    EXPECT_EQ(copy->Bytes, nullptr);

    CArticPos a, b;
    a = b;
    tagMPEVENT* none = reinterpret_cast<tagMPEVENT*>(1);
    a.Get(&none);
    EXPECT_EQ(none, nullptr);
}
