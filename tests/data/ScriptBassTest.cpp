// The bass family's scripts: every one of the 46 run through the harness at
// 240 ticks over songs built in code (a walking line over the open strings and
// below the lowest, legato semitone and whole-tone steps, a five-semitone
// slide, staccato notes, a note before a rest, a swung groove with gaps, an
// octave groove, keys from 96, long notes; the legato line under a bend),
// under three seeds and both forced draws, and over the corpus songs' basses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "ManifestRows.h"
#include "ScriptHarness.h"
#include "data/AlgorithmScript.h"
#include "platform/Random.h"
#include "tests/CorpusFiles.h"
#include "tests/SmfBuild.h"

namespace basstest {

using phrasorcoretest::Bytes;
using phrasorcoretest::Note;
using scriptharness::HarnessNote;

struct BassZone {
    int code, low, high, keyLow, keyHigh;
};

// A bass row of the manifest: its zones and its switches.
struct BassRow {
    std::string name;
    int grouping = 0;
    std::vector<BassZone> zones;
    std::map<std::string, int> switches;
    int Code(const char* role) const {
        const auto s = switches.find(role);
        return s == switches.end() ? -1 : s->second;
    }
    // The zone of a code at a key; null when the script has none.
    const BassZone* Zone(int code, int key) const {
        for (const BassZone& z : zones)
            if (z.code == code && key >= z.keyLow && key <= z.keyHigh) return &z;
        return nullptr;
    }
    std::set<int> JoinedCodes() const {
        std::set<int> codes;
        for (const char* role : {"joined", "joinedLow", "joinedMuted"})
            if (Code(role) >= 0) codes.insert(Code(role));
        return codes;
    }
    bool Merges() const { return Code("joined") < 0; }
    int DeadCode(int key) const { return key >= 48 && Code("deadHigh") >= 0 ? Code("deadHigh") : Code("dead"); }
};

std::vector<BassRow> BassRows() {
    std::vector<BassRow> rows;
    for (const std::vector<std::string>& f : ManifestRowsOf({"acBass", "elBass", "pickBass", "fretless"})) {
        BassRow row;
        row.name = f[0];
        row.grouping = std::atoi(f[5].c_str());
        std::stringstream zones(f[6]);
        for (std::string z; zones >> z;) {
            std::stringstream items(z.substr(z.find('=') + 1));
            for (std::string item; std::getline(items, item, ',');) {
                BassZone zone{0, 0, 0, 0, 127};
                std::sscanf(item.c_str(), "%d:%d-%d@%d-%d", &zone.code, &zone.low, &zone.high, &zone.keyLow, &zone.keyHigh);
                row.zones.push_back(zone);
            }
        }
        std::stringstream switches(f.size() > 7 ? f[7] : std::string());
        for (std::string s; switches >> s;) {
            const size_t eq = s.find('=');
            row.switches[s.substr(0, eq)] = eq == std::string::npos ? 1 : std::atoi(s.c_str() + eq + 1);
        }
        rows.push_back(row);
    }
    return rows;
}

// ---- Songs built from note lists (480 ticks per quarter)

struct BassNote {
    DWORD start;
    int key;
    int velo;
    DWORD len;
};

// A format-0 song: the notes on `channel` and `extra` (whole channel events at
// their ticks); at one tick the note-offs come first.
Bytes BassSong(const std::vector<BassNote>& notes, int channel = 0, std::vector<smfbuild::TimedEvent> extra = {}) {
    std::vector<smfbuild::TimedEvent> events = std::move(extra);
    for (const BassNote& n : notes) {
        events.push_back({n.start, 2, {BYTE(0x90 | channel), BYTE(n.key), BYTE(n.velo)}});
        events.push_back({n.start + n.len, 1, {BYTE(0x80 | channel), BYTE(n.key), 64}});
    }
    return smfbuild::Cat({smfbuild::Header(0, 1, 480), smfbuild::Chunk("MTrk", smfbuild::TimedTrack(events))});
}

// Start times the checks name.
const DWORD kLegato = 4800, kSlide = 6720, kGapPair = 7680, kNearPair = 8400, kStaccato = 9600, kRest = 13440;
const DWORD kSwing = 15360, kOctave = 17280, kHigh = 19680, kQuickPairs = 20160, kLong = 22080;

std::vector<BassNote> LegatoLine(DWORD start) {
    // legato steps: a semitone up, a whole tone up
    return {{start, 40, 90, 240}, {start + 240, 41, 90, 240}, {start + 480, 43, 90, 240}};
}

std::vector<BassNote> MainLine() {
    std::vector<BassNote> n = {
        // a walking line over the open strings E A D G and below the lowest
        {0, 28, 90, 300}, {480, 33, 90, 300}, {960, 38, 90, 300}, {1440, 43, 90, 300},
        {1920, 26, 90, 300}, {2400, 31, 90, 300}, {2880, 36, 90, 300}, {3360, 40, 90, 300},
        // a slide of five semitones
        {kSlide, 33, 90, 240}, {kSlide + 240, 38, 90, 400},
        // a whole tone after a gap of half a grouping time (120), and after 119
        {kGapPair, 36, 90, 120}, {kGapPair + 240, 38, 90, 200},
        {kNearPair, 36, 90, 120}, {kNearPair + 239, 38, 90, 200},
        // a note before a rest
        {kRest, 31, 90, 400},
        // keys from 96
        {kHigh, 96, 90, 200}, {kHigh + 240, 100, 90, 200},
    };
    for (const BassNote& l : LegatoLine(kLegato)) n.push_back(l);
    // a legato step over key 48
    n.push_back({kLegato + 960, 50, 90, 240});
    n.push_back({kLegato + 1200, 52, 90, 240});
    // staccato notes, below and from key 48, apart
    for (int i = 0; i < 8; ++i) n.push_back({kStaccato + DWORD(i) * 240, i < 4 ? 36 + (i % 2) * 2 : 50 + (i % 2) * 2, 90, 40});
    // a swung eighth groove with gaps (E1 on the beat, G2 on the swung eighth),
    // the third beat 5 ticks late
    for (int b = 0; b < 4; ++b) {
        n.push_back({kSwing + DWORD(b) * 480 + (b == 2 ? 5 : 0), 28, 100, 200});
        n.push_back({kSwing + DWORD(b) * 480 + 320, 43, 80, 100});
    }
    // an octave groove of loud eighths, and a loud long note on the beat
    for (int i = 0; i < 8; ++i) n.push_back({kOctave + DWORD(i) * 240, i % 2 ? 45 : 33, 110, 100});
    n.push_back({kOctave + 1920, 28, 115, 400});
    // quick notes a hammer-on follows
    for (int i = 0; i < 3; ++i) {
        n.push_back({kQuickPairs + DWORD(i) * 640, 33, 90, 60});
        n.push_back({kQuickPairs + DWORD(i) * 640 + 60, 35, 90, 240});
    }
    // long notes before rests
    n.push_back({kLong, 45, 90, 1200});
    n.push_back({kLong + 1920, 52, 90, 1200});
    n.push_back({kLong + 3840, 40, 90, 1200});
    std::sort(n.begin(), n.end(), [](const BassNote& a, const BassNote& b) { return a.start < b.start; });
    return n;
}

// The legato line with a bend that goes off centre on its first note and back
// after the line.
// The legato line from 480 with the song's bend up at `bendAt` (during the
// first note by default) and back to the centre at 1600.
Bytes BentLegato(DWORD bendAt = 600) {
    return BassSong(LegatoLine(480), 0, {{bendAt, 0, {0xE0, 0x00, 0x48}}, {1600, 0, {0xE0, 0x00, 0x40}}});
}

struct Draw {
    const char* name;
    uint32_t seed;
    int forced;  // -1: seeded draws
};
const Draw kBassDraws[] = {{"seed 1", 1, -1}, {"seed 2", 2, -1}, {"seed 3", 3, -1}, {"draw 0", 1, 0}, {"draw 32767", 1, 32767}};

struct BassForcedDraw {
    explicit BassForcedDraw(int value) {
        if (value >= 0) SetRandomHook([value] { return value; });
    }
    ~BassForcedDraw() { SetRandomHook(nullptr); }
};

scriptharness::Run ConvertBass(const Bytes& song, const std::string& script, const Draw& draw, int channel = 0,
                               bool bendOption = false) {
    scriptharness::Target target;
    target.ticks = 240;
    target.program = 26;
    target.bendOption = bendOption;
    const BassForcedDraw forced(draw.forced);
    return scriptharness::ConvertChannel(song, channel, scriptharness::LibraryScript(script.c_str()), target, draw.seed);
}

DWORD Out(const scriptharness::Run& run, DWORD songTicks) { return songTicks * run.out.division / 480 + DWORD(run.shift); }

int OpenKey(int string) { return 28 + 5 * string; }

// ---- The invariants

// Every input note has an output note or a merge or deletion that took it, and
// every other output note is one the run created.
::testing::AssertionResult EveryNoteAccountedFor(const scriptharness::Run& run) {
    if (run.result != 1) return ::testing::AssertionFailure() << "not converted: " << run.message;
    for (const auto& marks : run.droppedExpressions) {
        const bool taken = std::any_of(marks.begin(), marks.end(), [](const std::string& m) {
            return m == "CArticExpDel" || m == "CArticExpArraySlurPb";
        });
        if (!taken) return ::testing::AssertionFailure() << "an input note vanished without a merge or deletion";
    }
    const int paired = int(std::count_if(run.notes.begin(), run.notes.end(), [](const HarnessNote& n) { return n.fromInput; }));
    if (paired + int(run.droppedExpressions.size()) != run.inputNotes)
        return ::testing::AssertionFailure() << paired << " paired and " << run.droppedExpressions.size() << " lost of "
                                             << run.inputNotes;
    if (int(run.notes.size()) - paired != run.createdNotes)
        return ::testing::AssertionFailure() << run.notes.size() - paired << " output notes for " << run.createdNotes
                                             << " created";
    return ::testing::AssertionSuccess();
}

// Each note's velocity lies in the zone of its code; a created note (a stop)
// in the dead zone of its key.
::testing::AssertionResult VelocitiesInZones(const BassRow& row, const scriptharness::Run& run) {
    for (const HarnessNote& n : run.notes) {
        const int code = n.fromInput ? int(n.code) : row.DeadCode(n.out.key);
        const BassZone* z = row.Zone(code, n.out.key);
        if (!z || n.out.velocity < z->low || n.out.velocity > z->high)
            return ::testing::AssertionFailure() << n.out << " code " << code << (n.fromInput ? "" : " (created)")
                                                 << " outside its zone";
    }
    return ::testing::AssertionSuccess();
}

// Each input note's string (0 E1 .. 3 G2) and fret play its key (a key under
// the lowest open string: string 0, fret 0); string 0 plays on the part's own
// channel, every other string on one channel of its own that held no note in
// the song.
::testing::AssertionResult StringsAndFrets(const scriptharness::Run& run, int channel, const BassRow& row) {
    std::map<long, int> channelOf;
    for (const HarnessNote& n : run.notes) {
        if (!n.fromInput) continue;
        const long string = n.Annotation("弦"), fret = n.Annotation("フレット");
        if (string < 0 || string > 3) return ::testing::AssertionFailure() << n.out << " on string " << string;
        const int key = n.out.key;
        const bool below = key < OpenKey(0);
        if (below ? (string != 0 || fret != 0) : (fret != key - OpenKey(int(string)) || fret < 0))
            return ::testing::AssertionFailure() << n.out << " on string " << string << " fret " << fret;
        if (key <= OpenKey(3) + row.Code("topFret") && fret > row.Code("topFret"))
            return ::testing::AssertionFailure() << n.out << " at fret " << fret << " though a lower fret plays it";
        if (string == 0 && n.channel != channel) return ::testing::AssertionFailure() << n.out << " string 0 off the part's channel";
        const auto known = channelOf.emplace(string, n.channel);
        if (known.first->second != n.channel)
            return ::testing::AssertionFailure() << "string " << string << " on channels " << known.first->second << " and " << n.channel;
    }
    std::set<int> used;
    for (const auto& sc : channelOf)
        if (!used.insert(sc.second).second) return ::testing::AssertionFailure() << "two strings share channel " << sc.second;
    for (int ch : run.stringChannels)
        if (!phrasorcoretest::NotesOf(run.in, ch).empty()) return ::testing::AssertionFailure() << "channel " << ch << " held notes";
    return ::testing::AssertionSuccess();
}

// The target voice stands on each string's channel before its first note.
::testing::AssertionResult TargetVoiceOnEveryString(const scriptharness::Run& run) {
    if (run.stringChannels.empty()) return ::testing::AssertionFailure() << "no string took a channel of its own";
    for (int ch : run.stringChannels) {
        const ::testing::AssertionResult voice = phrasorcoretest::TargetVoiceFirst(run.out, ch, 8, 0, 26);
        if (!voice) return voice;
    }
    return ::testing::AssertionSuccess();
}

// A stop (a created note) follows exactly the notes that nothing joins to the
// next: on the note's channel and key, from its end to before the next note;
// never inside a merged note.
::testing::AssertionResult OneStopAfterEachUnjoinedNote(const BassRow& row, const scriptharness::Run& run) {
    std::vector<const HarnessNote*> played, stops;
    for (const HarnessNote& n : run.notes) (n.fromInput ? played : stops).push_back(&n);
    const std::set<int> joinedCodes = row.JoinedCodes();
    const DWORD room = 10 * run.out.division / 480;  // 10 ticks of the song
    std::set<const HarnessNote*> usedStops;
    for (size_t i = 0; i < played.size(); ++i) {
        const HarnessNote& n = *played[i];
        const DWORD end = n.out.start + n.out.length;
        DWORD next = ~DWORD(0);
        bool joinedNext = false;
        for (const HarnessNote* m : played) {
            if (m->out.start <= n.out.start || m->out.start >= next) continue;
            next = m->out.start;
            joinedNext = joinedCodes.count(int(m->code)) > 0;
        }
        std::vector<const HarnessNote*> mine;
        for (const HarnessNote* s : stops)
            // (A merged note ends on the key of its last note.)
            if (s->channel == n.channel && (s->out.key == n.out.key || n.Has("CArticExpArraySlurPb")) && s->out.start == end)
                mine.push_back(s);
        const bool wanted = !joinedNext && (next == ~DWORD(0) || next >= end + room);
        if (mine.size() != (wanted ? 1u : 0u))
            return ::testing::AssertionFailure() << n.out << " has " << mine.size() << " stops";
        for (const HarnessNote* s : mine) {
            usedStops.insert(s);
            if (next != ~DWORD(0) && s->out.start + s->out.length >= next)
                return ::testing::AssertionFailure() << "the stop " << s->out << " reaches the next note at " << next;
        }
        if (n.Has("CArticExpArraySlurPb"))
            for (const HarnessNote* s : stops)
                if (s->channel == n.channel && s->out.start > n.out.start && s->out.start < end)
                    return ::testing::AssertionFailure() << "a stop " << s->out << " inside the merge " << n.out;
    }
    if (usedStops.size() != stops.size()) return ::testing::AssertionFailure() << stops.size() - usedStops.size() << " stray created notes";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult NoHighKeys(const scriptharness::Run& run) {
    for (const HarnessNote& n : run.notes)
        if (n.out.key >= 96) return ::testing::AssertionFailure() << n.out << " kept";
    return ::testing::AssertionSuccess();
}

// Starts move by at most a 24th of the grouping time and keep their order.
::testing::AssertionResult GrooveKeepsOrder(const scriptharness::Run& run) {
    std::vector<const HarnessNote*> played;
    for (const HarnessNote& n : run.notes)
        if (n.fromInput) played.push_back(&n);
    std::sort(played.begin(), played.end(), [](const HarnessNote* a, const HarnessNote* b) {
        return std::tie(a->in.start, a->in.key) < std::tie(b->in.start, b->in.key);
    });
    const long most = long(240 / 24 * run.out.division / 480);
    for (size_t i = 0; i < played.size(); ++i) {
        const long moved = long(played[i]->out.start) - long(played[i]->in.start);
        if (moved > most || moved < -most) return ::testing::AssertionFailure() << played[i]->out << " moved by " << moved;
        if (i > 0 && played[i]->out.start < played[i - 1]->out.start && played[i]->in.start > played[i - 1]->in.start)
            return ::testing::AssertionFailure() << played[i]->out << " passed " << played[i - 1]->out;
    }
    return ::testing::AssertionSuccess();
}

// The bend values on a channel at a tick (the last one at or before it).
int BendAt(const scriptharness::Run& run, int channel, DWORD tick) {
    int value = 8192;
    for (const auto& e : run.out.events)
        if (e.Channel() == channel && e.Kind() == 0xE0 && e.time <= tick) value = e.Bend();
    return value;
}

const HarnessNote* PlayedAt(const scriptharness::Run& run, DWORD songTicks, int key) {
    for (const HarnessNote& n : run.notes)
        if (n.fromInput && n.in.start == Out(run, songTicks) && n.in.key == key) return &n;
    return nullptr;
}

}  // namespace basstest

namespace {

using namespace basstest;

TEST(ScriptBass, TheRowsAreTheFamilysFortySix) {
    const std::vector<BassRow> rows = BassRows();
    ASSERT_EQ(rows.size(), 46u);
    int joining = 0;
    for (const BassRow& r : rows) {
        SCOPED_TRACE(r.name);
        joining += r.Merges() ? 0 : 1;
        EXPECT_GE(r.Code("dead"), 0);
        EXPECT_GT(r.Code("topFret"), 0);
        EXPECT_TRUE(scriptharness::LibraryScript(r.name.c_str()).size() > 0);
    }
    // The scripts with a hammer-on or slide zone give the joined note its code.
    EXPECT_EQ(joining, 16);
}

// The main song through every bass script, seeded and forced.
TEST(ScriptBass, EveryScriptKeepsItsInvariantsOverTheBuiltSong) {
    const Bytes song = BassSong(MainLine());
    for (const BassRow& row : BassRows()) {
        SCOPED_TRACE(row.name);
        std::set<std::pair<int, int>> reached;  // zones by code and low velocity
        int deadShort = 0, deadLong = 0;
        for (const Draw& draw : kBassDraws) {
            SCOPED_TRACE(draw.name);
            const scriptharness::Run run = ConvertBass(song, row.name, draw);
            ASSERT_TRUE(EveryNoteAccountedFor(run));
            EXPECT_TRUE(VelocitiesInZones(row, run));
            EXPECT_TRUE(StringsAndFrets(run, 0, row));
            EXPECT_TRUE(OneStopAfterEachUnjoinedNote(row, run));
            EXPECT_TRUE(NoHighKeys(run));
            EXPECT_TRUE(GrooveKeepsOrder(run));
            for (const HarnessNote& n : run.notes) {
                const int code = n.fromInput ? int(n.code) : row.DeadCode(n.out.key);
                if (const BassZone* z = row.Zone(code, n.out.key)) reached.insert({z->code, z->low});
                if (!n.fromInput || n.code != row.DeadCode(n.out.key)) continue;
                (n.in.length < Out(run, 120) - DWORD(run.shift) ? deadShort : deadLong) += 1;
            }
        }
        for (const BassZone& z : row.zones) EXPECT_TRUE(reached.count({z.code, z.low})) << "zone of code " << z.code << " never reached";
        EXPECT_GT(deadShort, deadLong);
    }
}

// Each string's channel gets the target voice (bank 8/0, program 26 here)
// before the string's first note, in every script: with the song's first
// note a beat in and at tick 0.
TEST(ScriptBass, EachStringChannelHasTheTargetVoiceFirst) {
    for (DWORD shift : {480u, 0u}) {
        SCOPED_TRACE("first note at " + std::to_string(shift));
        std::vector<BassNote> line = MainLine();
        for (BassNote& n : line) n.start += shift;
        const Bytes song = BassSong(line);
        for (const BassRow& row : BassRows()) {
            SCOPED_TRACE(row.name);
            EXPECT_TRUE(TargetVoiceOnEveryString(ConvertBass(song, row.name, kBassDraws[0])));
        }
    }
}

// A joined run merges into its first note, which spans the run and bends by
// the run's key steps from its first key at the range the script set (12
// semitones: a whole tone 8192 + 1365, within the rounding of a step); a
// script with a hammer-on or slide zone keeps the notes and gives the joined
// ones that code. A gap of half a grouping time parts two notes.
TEST(ScriptBass, JoinedRunsMergeByBendStepsOrTakeTheJoinedCode) {
    const Bytes song = BassSong(MainLine());
    for (const BassRow& row : BassRows()) {
        SCOPED_TRACE(row.name);
        const scriptharness::Run run = ConvertBass(song, row.name, kBassDraws[3]);
        ASSERT_EQ(run.result, 1) << run.message;
        const HarnessNote* head = PlayedAt(run, kLegato, 40);
        ASSERT_TRUE(head);
        const HarnessNote* step1 = PlayedAt(run, kLegato + 240, 41);
        const HarnessNote* step2 = PlayedAt(run, kLegato + 480, 43);
        // Parted by half a grouping time: both play, neither with the joined code.
        const HarnessNote* gapA = PlayedAt(run, kGapPair, 36);
        const HarnessNote* gapB = PlayedAt(run, kGapPair + 240, 38);
        ASSERT_TRUE(gapA && gapB);
        EXPECT_FALSE(gapA->Has("CArticExpArraySlurPb"));
        EXPECT_FALSE(row.JoinedCodes().count(int(gapB->code)));
        // 119 ticks apart: joined.
        const HarnessNote* nearB = PlayedAt(run, kNearPair + 239, 38);
        if (row.Merges()) {
            EXPECT_FALSE(step1 || step2 || nearB) << "the run's later notes play on";
            EXPECT_TRUE(head->Has("CArticExpArraySlurPb"));
            EXPECT_EQ(head->out.length, Out(run, kLegato + 720) - head->out.start);
            const int ch = head->channel;
            EXPECT_NEAR(BendAt(run, ch, head->out.start), 8192, 1);
            EXPECT_NEAR(BendAt(run, ch, Out(run, kLegato + 240)), 8192 + 683, 1);
            EXPECT_NEAR(BendAt(run, ch, Out(run, kLegato + 480)), 8192 + 3 * 683, 1);
            // A whole tone over a gap of 119 ticks.
            const HarnessNote* nearA = PlayedAt(run, kNearPair, 36);
            ASSERT_TRUE(nearA);
            EXPECT_TRUE(nearA->Has("CArticExpArraySlurPb"));
            EXPECT_NEAR(BendAt(run, nearA->channel, Out(run, kNearPair + 250)), 8192 + 1365, 1);  // (the groove moved the onset a tick)
            // The five-semitone slide.
            const HarnessNote* slide = PlayedAt(run, kSlide, 33);
            ASSERT_TRUE(slide);
            EXPECT_FALSE(PlayedAt(run, kSlide + 240, 38));
            EXPECT_NEAR(BendAt(run, slide->channel, Out(run, kSlide + 240)), 8192 + 5 * 8192 / 12, 3);
            // The range: RPN 0 data entry 12 on the string's channel before the run.
            bool range = false;
            for (const auto& e : run.out.events)
                range = range || (e.Channel() == ch && e.Kind() == 0xB0 && e.data1 == 6 && e.data2 == 12 && e.time <= head->out.start);
            EXPECT_TRUE(range);
        } else {
            ASSERT_TRUE(step1 && step2 && nearB);
            EXPECT_TRUE(row.JoinedCodes().count(int(step1->code))) << step1->code;
            EXPECT_TRUE(row.JoinedCodes().count(int(step2->code))) << step2->code;
            EXPECT_TRUE(row.JoinedCodes().count(int(nearB->code))) << nearB->code;
            EXPECT_FALSE(head->Has("CArticExpArraySlurPb"));
            // One string holds the run.
            EXPECT_EQ(step1->channel, head->channel);
            EXPECT_EQ(step2->channel, head->channel);
        }
    }
}

// With the song's own bend the bend groups are dropped (the conversion's bend
// option): nothing merges, no joined code, and the song's bends stay.
TEST(ScriptBass, ASongWithBendsKeepsItsNotesAndBends) {
    for (DWORD bendAt : {600u, 0u}) {
        SCOPED_TRACE(bendAt ? "bend during the first note" : "bend at tick 0, before the first note");
        const Bytes song = BentLegato(bendAt);
        for (const BassRow& row : BassRows()) {
            SCOPED_TRACE(row.name);
            for (bool option : {true, false}) {
                SCOPED_TRACE(option ? "bend option" : "no bend option");
                const scriptharness::Run run = ConvertBass(song, row.name, kBassDraws[0], 0, option);
                ASSERT_TRUE(EveryNoteAccountedFor(run));
                EXPECT_EQ(run.droppedExpressions.size(), 0u);
                int bends = 0;
                for (const auto& e : run.out.events) bends += e.Kind() == 0xE0;
                // Each string that sounds then hears the song's bend.
                std::set<int> strings;
                for (const HarnessNote& n : run.notes) strings.insert(n.channel);
                EXPECT_EQ(bends, 2 * int(strings.size()));
                for (int ch : strings) {
                    if (bendAt < 480) EXPECT_EQ(BendAt(run, ch, Out(run, 480)), 0x48 << 7) << ch;
                    EXPECT_EQ(BendAt(run, ch, Out(run, 700)), 0x48 << 7) << ch;
                    EXPECT_EQ(BendAt(run, ch, Out(run, 1700)), 8192) << ch;
                }
                for (const HarnessNote& n : run.notes) {
                    EXPECT_FALSE(n.Has("CArticExpArraySlurPb"));
                    EXPECT_FALSE(n.Has("CArticExpInitPbRange3"));
                    if (n.fromInput) {
                        EXPECT_FALSE(row.JoinedCodes().count(int(n.code))) << n.out;
                    }
                }
                EXPECT_TRUE(OneStopAfterEachUnjoinedNote(row, run));
            }
        }
    }
}

// The chance of a dead short note: a forced draw changes which notes it picks,
// not how many (within one).
TEST(ScriptBass, AForcedDrawMovesThePicksNotTheirNumber) {
    const Bytes song = BassSong(MainLine());
    const std::vector<BassRow> rows = BassRows();
    for (const char* name : {"18", "08_00_22", "19"}) {
        SCOPED_TRACE(name);
        const BassRow& row = *std::find_if(rows.begin(), rows.end(), [&](const BassRow& r) { return r.name == name; });
        std::set<std::pair<DWORD, int>> picks[2];
        for (int k = 0; k < 2; ++k) {
            const scriptharness::Run run = ConvertBass(song, name, kBassDraws[3 + k]);
            for (const HarnessNote& n : run.notes)
                if (n.fromInput && n.code == row.Code("dead")) picks[k].insert({n.in.start, n.in.key});
        }
        EXPECT_GE(picks[0].size(), 2u);
        EXPECT_LE(std::max(picks[0].size(), picks[1].size()) - std::min(picks[0].size(), picks[1].size()), 1u);
        EXPECT_NE(picks[0], picks[1]);
    }
}

// Short repeated notes of one key: each one after the first, struck within a
// grouping time of a short note of that key, is muted in every script with a
// mute zone and under every draw; a repeat held a full grouping time is never
// muted, and a line of short notes that changes key is muted only by chance.
TEST(ScriptBass, ShortRepeatedNotesAreMuted) {
    std::vector<BassNote> notes;
    for (DWORD i = 0; i < 4; ++i) notes.push_back({i * 240, 45, 90, 120});           // short repeats
    for (DWORD i = 0; i < 3; ++i) notes.push_back({1920 + i * 480, 50, 90, 240});    // repeats held G
    const int changing[] = {40, 47, 40, 47};
    for (DWORD i = 0; i < 4; ++i) notes.push_back({3840 + i * 240, changing[i], 90, 120});
    const Bytes song = BassSong(notes);
    int rows = 0;
    for (const BassRow& row : BassRows()) {
        if (row.Code("mute") < 0) continue;
        ++rows;
        SCOPED_TRACE(row.name);
        std::map<std::pair<DWORD, int>, int> changingMuted;
        for (const Draw& draw : kBassDraws) {
            SCOPED_TRACE(draw.name);
            const scriptharness::Run run = ConvertBass(song, row.name, draw);
            ASSERT_EQ(run.result, 1) << run.message;
            ASSERT_TRUE(EveryNoteAccountedFor(run));
            EXPECT_TRUE(VelocitiesInZones(row, run));
            for (DWORD i = 1; i < 4; ++i) {
                const HarnessNote* n = PlayedAt(run, i * 240, 45);
                ASSERT_NE(n, nullptr) << i;
                EXPECT_EQ(n->code, row.Code("mute")) << n->out;
            }
            for (DWORD i = 0; i < 3; ++i) {
                const HarnessNote* n = PlayedAt(run, 1920 + i * 480, 50);
                ASSERT_NE(n, nullptr) << i;
                EXPECT_NE(n->code, row.Code("mute")) << n->out;
            }
            for (DWORD i = 0; i < 4; ++i)
                if (const HarnessNote* n = PlayedAt(run, 3840 + i * 240, changing[i]))
                    changingMuted[{n->in.start, n->in.key}] += n->code == row.Code("mute");
        }
        // Left to chance (0.3 a note), the changing line is never muted
        // throughout by every draw.
        int always = 0;
        for (const auto& m : changingMuted) always += m.second == int(std::size(kBassDraws));
        EXPECT_LT(always, 4);
    }
    EXPECT_GT(rows, 0);
}

// A closing note of a bar or more at the height of an open string's harmonics
// (keys 40-67) rings as a harmonic in every script with a harmonics zone, under
// every draw; below or above those keys it never does.
TEST(ScriptBass, ALongLastNoteRingsAsAHarmonic) {
    const struct {
        int key;
        bool harmonic;
    } cases[] = {{45, true}, {62, true}, {36, false}, {70, false}};
    int rows = 0;
    for (const BassRow& row : BassRows()) {
        if (row.Code("harm") < 0) continue;
        ++rows;
        SCOPED_TRACE(row.name);
        for (const auto& c : cases) {
            SCOPED_TRACE(c.key);
            const Bytes song = BassSong({{0, 33, 90, 240}, {480, 38, 90, 240}, {960, 43, 90, 240}, {1920, c.key, 90, 2400}});
            for (const Draw& draw : kBassDraws) {
                SCOPED_TRACE(draw.name);
                const scriptharness::Run run = ConvertBass(song, row.name, draw);
                ASSERT_EQ(run.result, 1) << run.message;
                ASSERT_TRUE(EveryNoteAccountedFor(run));
                EXPECT_TRUE(VelocitiesInZones(row, run));
                const HarnessNote* last = PlayedAt(run, 1920, c.key);
                ASSERT_NE(last, nullptr);
                EXPECT_EQ(last->code == row.Code("harm"), c.harmonic) << last->out;
            }
        }
    }
    EXPECT_GT(rows, 0);
}

// A code-0 note of "18_1" ends in 122-127 whatever its velocity; the dead
// notes of "8_0_21" (short notes and stops) are thumb notes below key 48
// (61-75) and pops from 48 (76-90).
TEST(ScriptBass, TheCatalogueCases) {
    {
        const Bytes song = BassSong({{0, 60, 1, 480}, {1920, 60, 64, 480}, {3840, 60, 127, 480}});
        const scriptharness::Run run = ConvertBass(song, "18_1", kBassDraws[0]);
        ASSERT_EQ(run.result, 1);
        int played = 0;
        for (const HarnessNote& n : run.notes) {
            if (!n.fromInput) continue;
            ++played;
            EXPECT_EQ(n.code, 0);
            EXPECT_GE(n.out.velocity, 122) << n.out;
            EXPECT_LE(n.out.velocity, 127) << n.out;
        }
        EXPECT_EQ(played, 3);
    }
    for (const Draw& draw : kBassDraws) {
        SCOPED_TRACE(draw.name);
        const scriptharness::Run run = ConvertBass(BassSong(MainLine()), "8_0_21", draw);
        ASSERT_EQ(run.result, 1);
        int low = 0, high = 0;
        for (const HarnessNote& n : run.notes) {
            if (n.fromInput && n.code != 1) continue;
            const bool pop = n.out.key >= 48;
            (pop ? high : low) += 1;
            EXPECT_GE(n.out.velocity, pop ? 76 : 61) << n.out;
            EXPECT_LE(n.out.velocity, pop ? 90 : 75) << n.out;
        }
        EXPECT_GT(low, 0);
        EXPECT_GT(high, 0);
    }
}

// A song whose sixteen channels all hold notes: no string finds an empty
// channel, so the part's notes stay on its own channel and every other part
// keeps its notes.
TEST(ScriptBass, AFullSongKeepsEveryOtherPartsNotes) {
    std::vector<smfbuild::TimedEvent> others;
    for (int ch = 1; ch < 16; ++ch) {
        others.push_back({DWORD(ch) * 10, 2, {BYTE(0x90 | ch), BYTE(40 + ch), 80}});
        others.push_back({DWORD(ch) * 10 + 200, 1, {BYTE(0x80 | ch), BYTE(40 + ch), 64}});
    }
    const Bytes song = BassSong(MainLine(), 0, others);
    for (const char* name : {"18", "08_00_22", "17"}) {
        SCOPED_TRACE(name);
        const scriptharness::Run run = ConvertBass(song, name, kBassDraws[0]);
        ASSERT_EQ(run.result, 1) << run.message;
        EXPECT_TRUE(run.stringChannels.empty());
        for (int ch = 1; ch < 16; ++ch) EXPECT_TRUE(phrasorcoretest::SameNotes(run.in, run.out, ch, run.shift)) << ch;
        EXPECT_TRUE(EveryNoteAccountedFor(run));
        for (const HarnessNote& n : run.notes) EXPECT_EQ(n.channel, 0) << n.out;
    }
}

// The corpus songs' bass parts (the fugue's lowest voice, keys 40-62; the
// rag's melody): notes accounted for, zones, two codes or more, strings that
// play their keys on channels the song leaves empty, the other parts unchanged.
TEST(ScriptBass, CorpusSongs) {
    const struct {
        const char* song;
        int channel;
    } songs[] = {{"bach_846.mid", 5}, {"TheEntertainer.mid", 0}};
    const std::vector<BassRow> rows = BassRows();
    for (const auto& s : songs) {
        const Bytes song = phrasorcoretest::Song(s.song);
        for (const char* script : {"17", "18", "18_1", "19", "20", "8_0_21", "08_00_22", "08_00_23"}) {
            SCOPED_TRACE(std::string(s.song) + " " + script);
            const BassRow& row = *std::find_if(rows.begin(), rows.end(), [&](const BassRow& r) { return r.name == script; });
            const scriptharness::Run run = ConvertBass(song, script, kBassDraws[0], s.channel);
            ASSERT_EQ(run.result, 1) << run.message;
            EXPECT_TRUE(EveryNoteAccountedFor(run));
            EXPECT_TRUE(VelocitiesInZones(row, run));
            EXPECT_TRUE(StringsAndFrets(run, s.channel, row));
            EXPECT_TRUE(NoHighKeys(run));
            // (A stop is a dead note.)
            std::set<LONG> codes;
            for (const HarnessNote& n : run.notes) codes.insert(n.fromInput ? n.code : row.DeadCode(n.out.key));
            EXPECT_GE(codes.size(), 2u);
            for (int ch : phrasorcoretest::ChannelsWithNotes(run.in))
                if (ch != s.channel) {
                    EXPECT_TRUE(phrasorcoretest::SameNotes(run.in, run.out, ch, run.shift)) << ch;
                }
        }
    }
}

}  // namespace
