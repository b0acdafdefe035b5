// Songs built in code converted through the core: the set-up of a converted
// channel before its first note, exclusives that stay single, and conductor
// events that keep their song ticks through the engine's coarser time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/SmfBuild.h"
#include "tests/driver/PhrasorCoreFixture.h"

namespace {

using phrasorcoretest::CoreRun;
using phrasorcoretest::ReadSmf;
using phrasorcoretest::Smf;
using phrasorcoretest::SmfEvent;
using smfbuild::Bytes;
using smfbuild::Cat;
using smfbuild::Chunk;
using smfbuild::Header;
using smfbuild::kEot;

Bytes SetUpVarLen(DWORD v) {
    Bytes out{BYTE(v & 0x7F)};
    while (v >>= 7) out.insert(out.begin(), BYTE(0x80 | (v & 0x7F)));
    return out;
}

const Bytes kSetUpTempo120 = {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
const Bytes kSetUpKvSystemOn = {0xF0, 0x08, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};

// An event as the tests compare it: "B0 07 64", "F0 43 10 ...", "FF05 6C".
std::string SetUpText(const SmfEvent& e) {
    static const char* const kHex = "0123456789ABCDEF";
    auto hex = [](BYTE b) { return std::string{kHex[b >> 4], kHex[b & 15]}; };
    std::string out = hex(e.status);
    if (e.status == 0xFF) out += hex(e.metaType);
    if (e.status >= 0xF0) {
        for (BYTE b : e.data) out += " " + hex(b);
        return out;
    }
    out += " " + hex(e.data1);
    if (e.Kind() != 0xC0 && e.Kind() != 0xD0) out += " " + hex(e.data2);
    return out;
}

// What reaches a keyboard at a tick for a channel, in file order: the
// channel's messages and every exclusive (meta events are not sent).
std::vector<std::string> SetUpAtTick(const Smf& smf, DWORD tick, int channel) {
    std::vector<std::string> out;
    for (const SmfEvent& e : smf.events)
        if (e.time == tick && (e.Channel() == channel || e.status == 0xF0)) out.push_back(SetUpText(e));
    return out;
}

std::string SetUpJoined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& s : items) out += (out.empty() ? "" : ", ") + s;
    return out;
}

// Channel 0 at 960 ticks per quarter note: controller 7 = 100, program 0 and
// note 60 at tick 0 (note 62 at 480); format 1 with a conductor, or format 0
// with a KV System On at 0 first.
Bytes SetUpSong(bool format0) {
    const Bytes notes = {0x00, 0xB0, 0x07, 100, 0x00, 0xC0, 0x00, 0x00, 0x90, 60, 80, 0x83, 0x60, 0x80, 60, 0,
                         0x00, 0x90, 62, 80, 0x83, 0x60, 0x80, 62, 0};
    if (format0) return Cat({Header(0, 1, 960), Chunk("MTrk", Cat({{0x00}, kSetUpTempo120, {0x00}, kSetUpKvSystemOn, notes, kEot}))});
    return Cat({Header(1, 2, 960), Chunk("MTrk", Cat({{0x00}, kSetUpTempo120, kEot})), Chunk("MTrk", Cat({notes, kEot}))});
}

TEST(PhrasorCoreSetUp, SetUpAtTheFirstNoteTickComesBeforeItsNoteOn) {
    struct Case {
        const char* name;
        bool format0;
        const char* expected;  // tick 0 of channel 0, with the exclusives
    };
    const Case cases[] = {
        {"format 1", false, "B0 00 08, B0 20 00, B0 07 64, C0 19, 90 3C 50"},
        {"format 0 with a KV System On", true,
         "B0 00 08, B0 20 00, F0 43 10 4C 00 00 7E 00 F7, B0 07 64, C0 19, 90 3C 50"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CoreRun run;
        Bytes song = SetUpSong(c.format0);
        ASSERT_EQ(run.Convert(song, 0, phrasorcoretest::kEmpty), 1);
        const Smf once = ReadSmf(song);
        ASSERT_TRUE(once.ok);
        EXPECT_EQ(SetUpJoined(SetUpAtTick(once, 0, 0)), c.expected);
        // Converting the output again keeps that order.
        ASSERT_EQ(run.Convert(song, 0, phrasorcoretest::kEmpty), 1);
        const Smf twice = ReadSmf(song);
        EXPECT_EQ(SetUpJoined(SetUpAtTick(twice, 0, 0)), c.expected);
        EXPECT_EQ(SetUpJoined(SetUpAtTick(twice, 480, 0)), "80 3C 40, 90 3E 50");
    }
}

// The exclusive F0 44 0B 09 09 F7 and the first note of channel 1 at tick 0,
// channel 2 in a track of its own.
Bytes ExclusiveSong(bool format0) {
    const Bytes exclusive = {0x00, 0xF0, 0x05, 0x44, 0x0B, 0x09, 0x09, 0xF7};
    const Bytes ch1 = {0x00, 0x91, 60, 80, 0x83, 0x60, 0x81, 60, 0};
    const Bytes ch2 = {0x00, 0x92, 64, 80, 0x83, 0x60, 0x82, 64, 0};
    if (format0) return Cat({Header(0, 1, 960), Chunk("MTrk", Cat({{0x00}, kSetUpTempo120, exclusive, ch1, ch2, kEot}))});
    return Cat({Header(1, 3, 960), Chunk("MTrk", Cat({{0x00}, kSetUpTempo120, kEot})), Chunk("MTrk", Cat({exclusive, ch1, kEot})),
                Chunk("MTrk", Cat({ch2, kEot}))});
}

TEST(PhrasorCoreSetUp, AnExclusiveBeforeTheFirstNoteStaysSingle) {
    const Bytes exclusive = {0x44, 0x0B, 0x09, 0x09, 0xF7};
    for (bool format0 : {false, true}) {
        SCOPED_TRACE(format0 ? "format 0" : "format 1");
        CoreRun run;
        Bytes song = ExclusiveSong(format0);
        for (int ch : {1, 2}) {
            SCOPED_TRACE(ch);
            ASSERT_EQ(run.Convert(song, ch, phrasorcoretest::kEmpty), 1);
            const Smf smf = ReadSmf(song);
            ASSERT_TRUE(smf.ok);
            int copies = 0;
            for (const SmfEvent& e : smf.events) copies += e.status == 0xF0 && e.data == exclusive;
            EXPECT_EQ(copies, 1);
            // At its time, and still before channel 1's first note.
            const std::vector<std::string> at0 = SetUpAtTick(smf, 0, 1);
            ASSERT_FALSE(at0.empty());
            EXPECT_EQ(at0.front().substr(0, 2), "F0") << SetUpJoined(at0);
            EXPECT_EQ(at0.back(), "91 3C 50") << SetUpJoined(at0);
        }
    }
}

// Conductor events at odd ticks of a 960 song (tempos at 1 and 481, a marker
// and a text at 107027) and a lyric and an exclusive of the channel-0 track at odd
// ticks; notes on channels 0 and 1.
Bytes OddTickSong() {
    const Bytes conductor =
        Cat({{0x00}, kSetUpTempo120, {0x01, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x22}, SetUpVarLen(480),
             {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x21}, SetUpVarLen(107027 - 481),
             {0xFF, 0x06, 0x01, 'M', 0x00, 0xFF, 0x01, 0x01, 'T'}, SetUpVarLen(1), {0xFF, 0x51, 0x03, 0x06, 0x1A, 0x80},
             kEot});
    const Bytes ch0 = Cat({{0x00, 0x90, 60, 80}, SetUpVarLen(480), {0x80, 60, 0}, SetUpVarLen(521),
                           {0xF0, 0x03, 0x43, 0x01, 0xF7}, SetUpVarLen(107027 - 1001), {0xFF, 0x05, 0x02, 'l', 'a', 0x00,
                           0x90, 64, 80}, SetUpVarLen(480), {0x80, 64, 0}, kEot});
    const Bytes ch1 = Cat({{0x00, 0x91, 60, 80}, SetUpVarLen(480), {0x81, 60, 0}, kEot});
    return Cat({Header(1, 3, 960), Chunk("MTrk", conductor), Chunk("MTrk", ch0), Chunk("MTrk", ch1)});
}

// Every meta event but the keyboard's port meta, and every exclusive, with
// its tick: "481 FF51 07 A1 21".
std::vector<std::string> SetUpConductorTicks(const Smf& smf) {
    std::vector<std::string> out;
    for (const SmfEvent& e : smf.events) {
        if (e.status == 0xFF && e.metaType == 0x7F) continue;
        if (e.status >= 0xF0) out.push_back(std::to_string(e.time) + " " + SetUpText(e));
    }
    return out;
}

TEST(PhrasorCoreSetUp, ConductorEventsKeepTheirOddTicks) {
    const std::vector<std::string> expected = {
        "0 FF51 07 A1 20", "1 FF51 07 A1 22", "481 FF51 07 A1 21", "1001 F0 43 01 F7", "107027 FF06 4D", "107027 FF01 54",
        "107027 FF05 6C 61", "107028 FF51 06 1A 80"};
    ASSERT_EQ(SetUpConductorTicks(ReadSmf(OddTickSong())), expected);
    for (const std::vector<int>& channels : {std::vector<int>{0}, std::vector<int>{1}, std::vector<int>{0, 1, 0}}) {
        SCOPED_TRACE(channels.size() == 1 ? channels[0] : -1);
        CoreRun run;
        Bytes song = OddTickSong();
        for (int ch : channels) {
            ASSERT_EQ(run.Convert(song, ch, phrasorcoretest::kEmpty), 1);
            EXPECT_EQ(SetUpConductorTicks(ReadSmf(song)), expected);
        }
    }
}

}  // namespace
