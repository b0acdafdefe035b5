// A bass part whose script puts its notes on strings, converted through the
// core as the worker converts it: each string plays on a channel of its own
// (one the song leaves empty) with the target voice in front, the part keeps
// its set-up and bends, and every other channel of the song stays as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "driver/PhrasorCore.h"
#include "tests/SmfBuild.h"
#include "tests/driver/PhrasorCoreFixture.h"

namespace {

using phrasorcoretest::Bytes;
using phrasorcoretest::CoreRun;
using phrasorcoretest::Note;
using phrasorcoretest::NotesOf;
using phrasorcoretest::ReadSmf;
using phrasorcoretest::Script;
using phrasorcoretest::Smf;
using phrasorcoretest::SmfEvent;
using smfbuild::TimedEvent;

// Strings by key, as a four-string bass's open strings E1 A1 D2 G2 would
// split them: keys up to 32 on string 0, 33-37 on 1, 38-42 on 2, 43 and up
// on 3 (each later set wins for the keys above its bound).
const Script kStringScript = {
    "#set:1", "#name:Gen1", "#dir:0", "#func1:CArticSrchKeyMore( _thisEvnt, 32, &_val1)",
    "#func2:CArticSrchPutGenType( _val1, _thisEvnt, 1)", "#prob:1",
    "#set:2", "#name:Gen2", "#dir:0", "#func1:CArticSrchKeyMore( _thisEvnt, 37, &_val1)",
    "#func2:CArticSrchPutGenType( _val1, _thisEvnt, 2)", "#prob:1",
    "#set:3", "#name:Gen3", "#dir:0", "#func1:CArticSrchKeyMore( _thisEvnt, 42, &_val1)",
    "#func2:CArticSrchPutGenType( _val1, _thisEvnt, 3)", "#prob:1",
};

int SplitStringOf(int key) { return key > 42 ? 3 : key > 37 ? 2 : key > 32 ? 1 : 0; }

Bytes SplitCc(int ch, int number, int value) { return {BYTE(0xB0 | ch), BYTE(number), BYTE(value)}; }

// The bass line: one note a beat on every string, below the lowest open
// string too, 240 ticks long.
const int kSplitBassKeys[] = {28, 35, 40, 45, 24, 36, 41, 47, 33, 43, 38, 31};
constexpr DWORD kSplitBeat = 480;
constexpr DWORD kSplitFirst = 960;  // the bass's first note

// The bass's set-up before its first note: bank 0/0, program 33, a bend
// range of 12 by RPN 0/0, volume and pan; a bend up at tick 2200 (inside
// the note at 2400's lead-in) and back at 2700, under the note at 2400.
std::vector<TimedEvent> SplitBassEvents(int ch) {
    std::vector<TimedEvent> ev = {
        {0, 0, SplitCc(ch, 0, 0)},   {0, 1, SplitCc(ch, 32, 0)},  {0, 2, {BYTE(0xC0 | ch), 33}},
        {0, 3, SplitCc(ch, 101, 0)}, {0, 4, SplitCc(ch, 100, 0)}, {0, 5, SplitCc(ch, 6, 12)},
        {0, 6, SplitCc(ch, 38, 0)},  {0, 7, SplitCc(ch, 7, 100)}, {0, 8, SplitCc(ch, 10, 40)},
        {2450, 0, {BYTE(0xE0 | ch), 0x00, 0x50}},  // 10240
        {2700, 0, {BYTE(0xE0 | ch), 0x00, 0x40}},  // back to the centre
    };
    DWORD t = kSplitFirst;
    for (int key : kSplitBassKeys) {
        ev.push_back({t, 10, {BYTE(0x90 | ch), BYTE(key), 100}});
        ev.push_back({t + 240, 0, {BYTE(0x80 | ch), BYTE(key), 0}});
        t += kSplitBeat;
    }
    return ev;
}

// Another part: a program, a volume and one note every two beats.
std::vector<TimedEvent> SplitOtherEvents(int ch, int key) {
    std::vector<TimedEvent> ev = {{0, 0, {BYTE(0xC0 | ch), BYTE(ch)}}, {0, 1, SplitCc(ch, 7, 90)}};
    for (DWORD t = 480; t < 480 * 14; t += 960) {
        ev.push_back({t, 10, {BYTE(0x90 | ch), BYTE(key), 80}});
        ev.push_back({t + 400, 0, {BYTE(0x80 | ch), BYTE(key), 0}});
    }
    return ev;
}

// The bass line alone: no bank, program or controller before its notes.
std::vector<TimedEvent> SplitBareBassEvents(int ch) {
    std::vector<TimedEvent> ev;
    for (const TimedEvent& e : SplitBassEvents(ch))
        if (e.time > 0) ev.push_back(e);
    return ev;
}

// A format 1 song at 480 per quarter: a tempo track, the bass on bassCh and
// another part on every channel of `others`, each on a track of its own.
Bytes SplitSong(int bassCh, const std::vector<int>& others, bool bare = false) {
    using namespace smfbuild;
    const Bytes tempo = TimedTrack({{0, 0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}},
                                    {0, 1, {0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}}});
    Bytes tracks = Chunk("MTrk", tempo);
    tracks = Cat({tracks, Chunk("MTrk", TimedTrack(bare ? SplitBareBassEvents(bassCh) : SplitBassEvents(bassCh)))});
    for (int ch : others) tracks = Cat({tracks, Chunk("MTrk", TimedTrack(SplitOtherEvents(ch, 60 + ch)))});
    return Cat({Header(1, WORD(2 + others.size()), 480), tracks});
}

// The events of a channel other than notes, in order, as comparable text, their
// ticks times the given factor (the converted song has twice the input's ticks).
std::vector<std::string> SplitEventsOf(const Smf& smf, int ch, DWORD tickFactor = 1) {
    std::vector<std::string> out;
    for (const SmfEvent& e : smf.events)
        if (e.Channel() == ch)
            out.push_back(std::to_string(e.time * tickFactor) + ":" + std::to_string(e.status) + "," +
                          std::to_string(e.data1) + "," + std::to_string(e.data2));
    return out;
}

// Every note of the song with its channel.
std::map<int, std::vector<Note>> SplitNotes(const Smf& smf) {
    std::map<int, std::vector<Note>> out;
    for (int ch = 0; ch < 16; ++ch)
        if (!NotesOf(smf, ch).empty()) out[ch] = NotesOf(smf, ch);
    return out;
}

// The value in force of a channel's controller `number` before tick `at`;
// -1 when none was set.
int SplitCcBefore(const Smf& smf, int ch, int number, DWORD at) {
    int value = -1;
    for (const SmfEvent& e : smf.events)
        if (e.time < at && e.Channel() == ch && e.Kind() == 0xB0 && e.data1 == number) value = e.data2;
    return value;
}

// The bend value sounding on a channel at tick `at` (centre without one).
int SplitBendAt(const Smf& smf, int ch, DWORD at) {
    int value = 8192;
    for (const SmfEvent& e : smf.events)
        if (e.time <= at && e.Channel() == ch && e.Kind() == 0xE0) value = e.Bend();
    return value;
}

struct SplitRun {
    Bytes input, output;
    Smf in, out;
    int result = 0;
    SplitRun(int bassCh, const std::vector<int>& others, bool bare = false)
        : input(SplitSong(bassCh, others, bare)) {
        in = ReadSmf(input);
        CoreRun run;
        output = input;
        result = run.Convert(output, bassCh, kStringScript);
        if (result != 1) {
            auto* impl = static_cast<CPhrasorCoreImpl*>(run.core);
            ADD_FAILURE() << "message " << static_cast<const char*>(impl->GetMessage());
        }
        out = ReadSmf(output);
    }
};

// The input's bass notes at the output's 960 ticks per quarter, by key.
std::map<int, Note> SplitBassByKey(const Smf& in, int bassCh) {
    std::map<int, Note> out;
    for (Note n : NotesOf(in, bassCh)) {
        n.start *= 2;
        n.length *= 2;
        out[n.key] = n;
    }
    return out;
}

TEST(StringSplit, EachStringPlaysOnAnEmptyChannelBehindTheTargetVoice) {
    const SplitRun r(2, {0, 5});
    ASSERT_EQ(r.result, 1);
    ASSERT_TRUE(r.out.ok);
    const auto notes = SplitNotes(r.out);
    // The other parts keep their channels; the bass is on its own channel
    // and three more (none of them the drum channel or an other part's).
    std::map<int, std::set<int>> stringsOfCh;
    size_t bassNotes = 0;
    const std::map<int, Note> expected = SplitBassByKey(r.in, 2);
    for (const auto& [ch, list] : notes) {
        if (ch == 0 || ch == 5) continue;
        for (const Note& n : list) {
            ASSERT_TRUE(expected.count(n.key)) << "ch " << ch << " " << n;
            EXPECT_EQ(n, expected.at(n.key));
            stringsOfCh[ch].insert(SplitStringOf(n.key));
            ++bassNotes;
        }
    }
    EXPECT_EQ(bassNotes, std::size(kSplitBassKeys));
    ASSERT_EQ(stringsOfCh.size(), 4u);
    EXPECT_EQ(stringsOfCh[2], std::set<int>{0}) << "string 0 stays on the part's channel";
    std::set<int> strings;
    for (const auto& [ch, set] : stringsOfCh) {
        EXPECT_NE(ch, 9);
        EXPECT_EQ(set.size(), 1u) << "one string per channel, ch " << ch;
        strings.insert(set.begin(), set.end());
        EXPECT_TRUE(phrasorcoretest::TargetVoiceFirst(r.out, ch));
    }
    EXPECT_EQ(strings, (std::set<int>{0, 1, 2, 3}));
    // The other parts are untouched, event for event (at the doubled ticks).
    for (int ch : {0, 5}) {
        EXPECT_EQ(SplitEventsOf(r.out, ch), SplitEventsOf(r.in, ch, 2)) << "ch " << ch;
    }
}


// The channels that hold bass notes, each with its notes.
std::map<int, std::vector<Note>> SplitBassChannels(const SplitRun& r, const std::vector<int>& others) {
    std::map<int, std::vector<Note>> out;
    for (const auto& [ch, list] : SplitNotes(r.out))
        if (std::find(others.begin(), others.end(), ch) == others.end()) out[ch] = list;
    return out;
}

// Every string's channel starts with the part's set-up (bend range 12 by
// RPN 0/0, volume, pan) and sounds the part's bends wherever its notes
// sound: the bend under the note at 2400 reaches that note's string.
TEST(StringSplit, StringsKeepThePartsSetUpAndBends) {
    const std::vector<int> others = {0, 5};
    const SplitRun r(2, others);
    ASSERT_EQ(r.result, 1);
    const auto bass = SplitBassChannels(r, others);
    ASSERT_EQ(bass.size(), 4u);
    std::vector<DWORD> bendTimes;
    for (const SmfEvent& e : r.in.events)
        if (e.Channel() == 2 && e.Kind() == 0xE0) bendTimes.push_back(e.time);
    ASSERT_EQ(bendTimes.size(), 2u);
    for (const auto& [ch, notes] : bass) {
        const DWORD first = notes.front().start;
        EXPECT_EQ(SplitCcBefore(r.out, ch, 101, first), 0) << ch;
        EXPECT_EQ(SplitCcBefore(r.out, ch, 100, first), 0) << ch;
        EXPECT_EQ(SplitCcBefore(r.out, ch, 6, first), 12) << ch;
        EXPECT_EQ(SplitCcBefore(r.out, ch, 7, first), 100) << ch;
        EXPECT_EQ(SplitCcBefore(r.out, ch, 10, first), 40) << ch;
        for (const Note& n : notes) {
            std::vector<DWORD> probes = {n.start, n.start + n.length - 1};
            for (DWORD t : bendTimes)
                if (t * 2 >= n.start && t * 2 < n.start + n.length) probes.push_back(t * 2);
            for (DWORD t : probes)
                EXPECT_EQ(SplitBendAt(r.out, ch, t), SplitBendAt(r.in, 2, t / 2))
                    << "ch " << ch << " " << n << " at " << t;
        }
    }
}

// Every one of the 16 channels holds notes: no channel is empty, so the
// strings stay on the part's own channel, and every other part keeps its
// channel and its events.
TEST(StringSplit, WithNoEmptyChannelTheStringsStayOnThePartsChannel) {
    std::vector<int> others;
    for (int ch = 0; ch < 16; ++ch)
        if (ch != 2) others.push_back(ch);
    const SplitRun r(2, others);
    ASSERT_EQ(r.result, 1);
    ASSERT_TRUE(r.out.ok);
    for (int ch : others) {
        EXPECT_EQ(SplitEventsOf(r.out, ch), SplitEventsOf(r.in, ch, 2)) << "ch " << ch;
    }
    std::vector<Note> expected;
    for (const auto& [key, n] : SplitBassByKey(r.in, 2)) expected.push_back(n);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(NotesOf(r.out, 2), expected);
    EXPECT_TRUE(phrasorcoretest::TargetVoiceFirst(r.out, 2));
}

// A part with nothing before its first note: every string's channel still
// gets the target voice first, and the bend still reaches its string.
TEST(StringSplit, APartWithoutSetUpStillGivesEveryStringTheTargetVoice) {
    const std::vector<int> others = {0, 5};
    const SplitRun r(2, others, true);
    ASSERT_EQ(r.result, 1);
    const auto bass = SplitBassChannels(r, others);
    ASSERT_EQ(bass.size(), 4u);
    size_t count = 0;
    for (const auto& [ch, notes] : bass) {
        EXPECT_TRUE(phrasorcoretest::TargetVoiceFirst(r.out, ch));
        count += notes.size();
        for (const Note& n : notes)
            if (n.key == 45) EXPECT_EQ(SplitBendAt(r.out, ch, 4900), 10240) << ch;
    }
    EXPECT_EQ(count, std::size(kSplitBassKeys));
}

// A channel that holds the song's set-up but no note is not empty: the
// song's own program and volume there could come after the string's voice.
// The strings pass over it to channels that hold nothing, and it keeps its
// events.
TEST(StringSplit, AChannelWithSetUpButNoNotesIsPassedOver) {
    using namespace smfbuild;
    const Bytes tempo = TimedTrack({{0, 0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}}});
    std::vector<TimedEvent> quiet;
    for (BYTE ch : {0, 1, 3}) {
        quiet.push_back({0, 0, {BYTE(0xC0 | ch), 50}});
        quiet.push_back({0, 1, SplitCc(ch, 7, 30)});
    }
    const Bytes input = Cat({Header(1, 4, 480), Chunk("MTrk", tempo), Chunk("MTrk", TimedTrack(quiet)),
                             Chunk("MTrk", TimedTrack(SplitBassEvents(2))),
                             Chunk("MTrk", TimedTrack(SplitOtherEvents(5, 65)))});
    const Smf in = ReadSmf(input);
    CoreRun run;
    Bytes output = input;
    ASSERT_EQ(run.Convert(output, 2, kStringScript), 1);
    const Smf out = ReadSmf(output);
    std::set<int> channels;
    for (const auto& [ch, list] : SplitNotes(out)) channels.insert(ch);
    EXPECT_EQ(channels, (std::set<int>{2, 4, 5, 6, 7}));
    for (int ch : {2, 4, 6, 7}) EXPECT_TRUE(phrasorcoretest::TargetVoiceFirst(out, ch));
    for (int ch : {0, 1, 3, 5}) {
        EXPECT_EQ(SplitEventsOf(out, ch), SplitEventsOf(in, ch, 2)) << "ch " << ch;
    }
}

// The bass line from tick `first` with the bends of `bends` (tick and
// 14-bit value) on its channel, and nothing else; other parts on 0 and 5.
Bytes SplitLineSong(int bassCh, DWORD first, const std::vector<std::pair<DWORD, int>>& bends) {
    using namespace smfbuild;
    std::vector<TimedEvent> ev;
    for (const auto& [t, value] : bends) ev.push_back({t, 0, {BYTE(0xE0 | bassCh), BYTE(value & 0x7F), BYTE(value >> 7)}});
    DWORD t = first;
    for (int key : kSplitBassKeys) {
        ev.push_back({t, 10, {BYTE(0x90 | bassCh), BYTE(key), 100}});
        ev.push_back({t + 240, 0, {BYTE(0x80 | bassCh), BYTE(key), 0}});
        t += kSplitBeat;
    }
    const Bytes tempo = TimedTrack({{0, 0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}}});
    return Cat({Header(1, 4, 480), Chunk("MTrk", tempo), Chunk("MTrk", TimedTrack(ev)),
                Chunk("MTrk", TimedTrack(SplitOtherEvents(0, 60))), Chunk("MTrk", TimedTrack(SplitOtherEvents(5, 65)))});
}

// A part whose first note lies at tick 0, with and without its set-up
// events at that tick: every string's channel, the part's own among them,
// still gets the target voice ahead of its first note.
TEST(StringSplit, AFirstNoteAtTickZeroStillGetsTheTargetVoiceOnEveryString) {
    std::vector<TimedEvent> setUp;
    for (const TimedEvent& e : SplitBassEvents(2))
        if (e.time == 0) setUp.push_back(e);
    for (bool withSetUp : {false, true}) {
        SCOPED_TRACE(withSetUp ? "set-up at tick 0" : "nothing before the notes");
        using namespace smfbuild;
        std::vector<TimedEvent> bass = withSetUp ? setUp : std::vector<TimedEvent>{};
        DWORD t = 0;
        for (int key : kSplitBassKeys) {
            bass.push_back({t, 10, {0x92, BYTE(key), 100}});
            bass.push_back({t + 240, 0, {0x82, BYTE(key), 0}});
            t += kSplitBeat;
        }
        const Bytes tempo = TimedTrack({{0, 0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}}});
        const Bytes input = Cat({Header(1, 4, 480), Chunk("MTrk", tempo), Chunk("MTrk", TimedTrack(bass)),
                                 Chunk("MTrk", TimedTrack(SplitOtherEvents(0, 60))),
                                 Chunk("MTrk", TimedTrack(SplitOtherEvents(5, 65)))});
        const Smf in = ReadSmf(input);
        CoreRun run;
        Bytes output = input;
        ASSERT_EQ(run.Convert(output, 2, kStringScript), 1);
        const Smf out = ReadSmf(output);
        std::map<int, std::vector<Note>> bassChs;
        for (const auto& [ch, list] : SplitNotes(out))
            if (ch != 0 && ch != 5) bassChs[ch] = list;
        ASSERT_EQ(bassChs.size(), 4u);
        EXPECT_TRUE(bassChs.count(2)) << "string 0 stays on the part's channel";
        const long shift = phrasorcoretest::ShiftOf(in, out, 0);
        ASSERT_TRUE(phrasorcoretest::IsWholeBars(in, shift)) << shift;
        std::vector<Note> notes;
        for (const auto& [ch, list] : bassChs) {
            EXPECT_TRUE(phrasorcoretest::TargetVoiceFirst(out, ch));
            notes.insert(notes.end(), list.begin(), list.end());
        }
        std::sort(notes.begin(), notes.end());
        std::vector<Note> expected;
        for (Note n : NotesOf(in, 2)) {
            n.start = n.start * 2 + DWORD(shift);
            n.length *= 2;
            expected.push_back(n);
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(notes, expected);
    }
}

// A bend in force before the part's first note (from tick 0, or a tick
// before the note) sounds on every string from its first note on, as it did
// on the part's one channel; the bend back to the centre later reaches every
// string too.
TEST(StringSplit, ABendBeforeTheFirstNoteReachesEveryString) {
    struct Case {
        const char* name;
        DWORD first;
        std::vector<std::pair<DWORD, int>> bends;
    };
    const Case cases[] = {
        {"off-centre at tick 0", kSplitFirst, {{0, 10240}, {3000, 8192}}},
        {"two bends before the first note", kSplitFirst, {{0, 4096}, {500, 10240}, {3000, 8192}}},
        {"off-centre a tick before the first note", 480, {{479, 10240}, {3000, 8192}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes input = SplitLineSong(2, c.first, c.bends);
        const Smf in = ReadSmf(input);
        CoreRun run;
        Bytes output = input;
        ASSERT_EQ(run.Convert(output, 2, kStringScript), 1);
        const Smf out = ReadSmf(output);
        const long shift = phrasorcoretest::ShiftOf(in, out, 0);
        ASSERT_TRUE(phrasorcoretest::IsWholeBars(in, shift)) << shift;
        std::map<int, std::vector<Note>> bassChs;
        for (const auto& [ch, list] : SplitNotes(out))
            if (ch != 0 && ch != 5) bassChs[ch] = list;
        ASSERT_EQ(bassChs.size(), 4u);
        for (const auto& [ch, notes] : bassChs) {
            for (const Note& n : notes) {
                const DWORD inStart = DWORD((long(n.start) - shift) / 2);
                EXPECT_EQ(SplitBendAt(out, ch, n.start), SplitBendAt(in, 2, inStart)) << "ch " << ch << " " << n;
            }
            // Each string hears each bend once.
            size_t bends = 0;
            for (const SmfEvent& e : out.events) bends += e.Channel() == ch && e.Kind() == 0xE0;
            EXPECT_EQ(bends, c.bends.size()) << "ch " << ch;
        }
    }
}

// The input's notes of a channel as the output has them: ticks at 960 per
// quarter, moved by shift.
std::vector<Note> SplitScaled(const Smf& in, int ch, long shift) {
    std::vector<Note> out;
    for (Note n : NotesOf(in, ch)) {
        const long end = long(n.start + n.length) * 960 / in.division;
        n.start = DWORD(long(n.start) * 960 / in.division);
        n.length = DWORD(end - long(n.start));
        n.start = DWORD(long(n.start) + shift);
        out.push_back(n);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// A corpus song: the lowest voice of the fugue (channel 5) split onto
// strings, then channel 0 converted on that result. The strings take the
// channels the song leaves empty, keep every note, and stay through the
// second conversion; the other voices keep their notes.
TEST(StringSplit, BachLowestVoiceSplitThenAnotherChannelConverted) {
    const Bytes input = phrasorcoretest::Song("bach_846.mid");
    const Smf in = ReadSmf(input);
    ASSERT_TRUE(in.ok);
    ASSERT_EQ(phrasorcoretest::ChannelsWithNotes(in), (std::vector<int>{0, 2, 3, 4, 5}));
    CoreRun run;
    Bytes bytes = input;
    ASSERT_EQ(run.Convert(bytes, 5, kStringScript), 1);
    const Smf split = ReadSmf(bytes);
    ASSERT_EQ(run.Convert(bytes, 0, phrasorcoretest::kUp12), 1);
    const Smf out = ReadSmf(bytes);
    for (const Smf* result : {&split, &out}) {
        const long shift = phrasorcoretest::ShiftOf(in, *result, 2);
        ASSERT_TRUE(phrasorcoretest::IsWholeBars(in, shift));
        for (int ch : {2, 3, 4}) EXPECT_TRUE(phrasorcoretest::SameNotes(in, *result, ch, shift));
        EXPECT_TRUE(phrasorcoretest::SameNotes(in, *result, 0, shift, result == &out ? 12 : 0));
        std::vector<Note> bass;
        std::set<int> bassChannels;
        for (int ch : phrasorcoretest::ChannelsWithNotes(*result)) {
            if (ch == 0 || (ch >= 2 && ch <= 4)) continue;
            bassChannels.insert(ch);
            EXPECT_TRUE(phrasorcoretest::TargetVoiceFirst(*result, ch));
            for (const Note& n : NotesOf(*result, ch)) bass.push_back(n);
        }
        std::sort(bass.begin(), bass.end());
        EXPECT_EQ(bass, SplitScaled(in, 5, shift));
        // Keys 40 to 62 are strings 2 and 3 only; strings 0 (the part's own
        // channel 5) and 1 (channel 1) hold no note. Channels 2 to 4 hold the
        // other voices: the strings take 6 and 7.
        EXPECT_EQ(bassChannels, (std::set<int>{6, 7})) << (result == &out ? "after channel 0" : "split");
    }
}

}  // namespace
