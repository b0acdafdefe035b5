// The family scripts of strings, brass, trumpet and tenor sax (and "Debug")
// on small songs built in code, through the script harness: zones, phrase
// starts, the articulations each family chooses for a musical reason, and the
// voice changes around notes of key 96 and above.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "FamilySongs.h"
#include "ScriptHarness.h"

namespace {

using familysongs::Phrase;
using familysongs::SongNote;
using scriptharness::HarnessNote;

// The script's zones from the transcribed table: code -> (low, high).
std::multimap<int, std::pair<int, int>> FamilyZones(const std::string& script) {
    std::multimap<int, std::pair<int, int>> out;
    std::ifstream in(std::string(VEXA_FIXTURES) + "/articulation_zones.txt");
    const std::regex zone(R"((^| )([0-9]+):([0-9]+)-([0-9]+))");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(script + "|", 0) != 0) continue;
        const std::string rest = line.substr(script.size() + 1);
        for (std::sregex_iterator i(rest.begin(), rest.end(), zone), end; i != end; ++i)
            out.insert({std::stoi((*i)[2]), {std::stoi((*i)[3]), std::stoi((*i)[4])}});
    }
    return out;
}

bool InZone(const std::multimap<int, std::pair<int, int>>& zones, const HarnessNote& n) {
    const auto range = zones.equal_range(int(n.code));
    for (auto z = range.first; z != range.second; ++z)
        if (n.out.velocity >= z->second.first && n.out.velocity <= z->second.second) return true;
    return false;
}

const char* const kStrings[] = {"49_0_2", "49_1",   "49_1_1",   "49_1_2",   "49_1_3",   "49_2",     "50_0_2",  "50_1",
                                "50_2",   "8_2_50_1", "8_2_50_2", "8_2_50_3", "8_4_50_1", "8_4_50_2", "8_4_50_3"};

scriptharness::Target StringsTarget() {
    scriptharness::Target t;
    t.program = 46;
    t.kind = 2;
    return t;
}

// Output ticks per engine tick (the songs are built at 480 per quarter).
DWORD Scale(const scriptharness::Run& run) { return run.out.division / familysongs::kBeat; }

// A strings phrase: a legato line, a loud phrase after a rest, a fast passage
// of detached eighths and of sixteenths, repeated sixteenths of one key, and a
// chord whose tail bends down 3.5 semitones and stays there.
constexpr DWORD kTremoloAt = 7680, kGlissAt = 9600;
Phrase StringsPhrase(DWORD glissLength = 480) {
    Phrase p;
    p.notes = {{0, 470, 60, 70},     {480, 470, 62, 72},   {960, 470, 64, 74},  {1440, 480, 65, 76},
               {2880, 470, 67, 120}, {3360, 470, 65, 100}, {3840, 470, 64, 90}};
    for (int i = 0; i < 8; ++i) p.notes.push_back({DWORD(4800 + 240 * i), 200, 60 + (i % 2 ? 4 : 7), 80 + 4 * i});
    for (int i = 0; i < 8; ++i) p.notes.push_back({DWORD(6720 + 120 * i), 90, 72 - i, 90});
    for (int i = 0; i < 4; ++i) p.notes.push_back({DWORD(kTremoloAt + 120 * i), 100, 67, 85});
    p.notes.push_back({kGlissAt, glissLength, 60, 90});
    p.notes.push_back({kGlissAt, glissLength, 64, 90});
    p.notes.push_back({kGlissAt + 1440, 480, 67, 80});
    p.bends = {{kGlissAt + glissLength * 5 / 8, -1200}, {kGlissAt + glissLength * 3 / 4, -2400}, {kGlissAt + 1200, 0}};
    return p;
}

// Phrase starts of StringsPhrase: the first note and the notes after a rest of a beat or more.
bool StringsPhraseStart(DWORD start) { return start == 0 || start == 2880 || start == kTremoloAt || start == kGlissAt; }

TEST(ScriptFamily, StringsChooseEveryArticulationForItsReason) {
    const auto zonesOf = [](const char* name) { return FamilyZones(name); };
    std::map<std::string, double> spicShare;
    for (const char* name : kStrings) {
        for (uint32_t seed : {1u, 2u, 3u}) {
            SCOPED_TRACE(std::string(name) + " seed " + std::to_string(seed));
            const auto zones = zonesOf(name);
            ASSERT_FALSE(zones.empty());
            const Phrase phrase = StringsPhrase();
            const scriptharness::Run run = scriptharness::ConvertChannel(
                familysongs::Song(phrase), 0, scriptharness::LibraryScript(name), StringsTarget(), seed);
            ASSERT_EQ(run.result, 1) << run.message;
            const DWORD k = Scale(run);
            // Only the tie of the repeated sixteenths loses notes: three of four.
            EXPECT_EQ(run.inputNotes, int(phrase.notes.size()));
            EXPECT_EQ(run.droppedNotes, 3);
            int fast = 0, spic = 0;
            std::map<int, int> startVelocity;  // phrase starts: input velocity -> output velocity
            for (const HarnessNote& n : run.notes) {
                ASSERT_TRUE(n.fromInput) << n.out;
                EXPECT_TRUE(InZone(zones, n)) << n.out << " code " << n.code;
                const DWORD at = n.in.start / k;
                EXPECT_LE(n.in.start - n.out.start, 60 * k) << n.out;  // starts move earlier by at most 1/8 beat
                EXPECT_GE(n.in.start, n.out.start) << n.out;
                if (StringsPhraseStart(at)) {
                    EXPECT_NE(n.code, 0) << "phrase start played legato: " << n.out;
                    if (at != kTremoloAt && at != kGlissAt) startVelocity[n.in.velocity] = n.out.velocity;
                }
                if (at >= 4800 && at < kTremoloAt) {
                    ++fast;
                    spic += n.code == 4 || n.code == 5;
                }
                if (at == kTremoloAt) {
                    EXPECT_EQ(n.code, 6) << n.out;
                    EXPECT_GT(n.out.length, 360 * k) << "the tremolo note spans the four";
                }
                if (at == kGlissAt) EXPECT_EQ(n.code, 7) << n.out;
                if (at == 480 || at == 960 || at == 1440) EXPECT_EQ(n.code, 0) << "the legato line: " << n.out;
            }
            // Louder phrase starts never come out softer.
            int loudest = 0;
            for (const auto& v : startVelocity) {
                EXPECT_GE(v.second, loudest) << "input velocity " << v.first;
                loudest = std::max(loudest, v.second);
            }
            // The gliss chord loses its bends: none inside it but the centre.
            for (const auto* e : run.out.Of(0, 0xE0))
                if (e->time > kGlissAt * k && e->time < (kGlissAt + 480) * k) EXPECT_EQ(e->Bend(), 8192) << e->time;
            spicShare[name] = double(spic) / fast;
        }
    }
    // (Active) plays more of the fast passage spiccato than (Legato).
    for (const auto& [legato, active] : {std::pair<const char*, const char*>{"49_1", "49_0_2"}, {"50_1", "50_0_2"},
                                         {"49_1_1", "49_1_2"}, {"8_2_50_1", "8_2_50_2"}, {"8_4_50_1", "8_4_50_2"}})
        EXPECT_GT(spicShare[active], spicShare[legato]) << active << " against " << legato;
}

// A chord of the right shape but 800 ticks long, or 480 ticks at tempo 60 (a
// second): no gliss, and its bends stay.
TEST(ScriptFamily, StringsGlissOnlyForHalfASecond) {
    for (const auto& [length, bpm] : {std::pair<DWORD, int>{800, 120}, {480, 60}}) {
        Phrase p = StringsPhrase(length);
        p.bpm = bpm;
        for (const char* name : {"49_2", "8_4_50_1"}) {
            SCOPED_TRACE(std::string(name) + " length " + std::to_string(length) + " tempo " + std::to_string(bpm));
            const scriptharness::Run run = scriptharness::ConvertChannel(familysongs::Song(p), 0,
                                                                         scriptharness::LibraryScript(name), StringsTarget());
            ASSERT_EQ(run.result, 1) << run.message;
            const DWORD k = Scale(run);
            for (const HarnessNote& n : run.notes)
                if (n.in.start == kGlissAt * k) EXPECT_NE(n.code, 7) << n.out;
            int bent = 0;
            for (const auto* e : run.out.Of(0, 0xE0)) bent += e->Bend() != 8192;
            EXPECT_EQ(bent, 2);
        }
    }
}

const char* const kBrass[] = {"57", "57_1", "57_2", "57_2_1", "57_3", "57_3_1", "08_00_56", "08_01_56", "08_03_57", "08_04_57"};

scriptharness::Target BrassTarget() {
    scriptharness::Target t;
    t.program = 54;
    t.kind = 3;
    return t;
}

// The codes a brass script gives its bend articulations (-1: none).
struct BrassBends {
    const char* script;
    int scoop, shake, gliss;
    std::set<int> falls, legato;
};
const BrassBends kBrassBends[] = {
    {"57", 4, 8, 7, {5, 6}, {}},          {"57_1", 4, 8, 7, {5, 6}, {}},     {"57_2", 4, 8, 7, {5, 6}, {}},
    {"57_2_1", 4, 8, 7, {5, 6}, {}},      {"57_3", -1, 8, 7, {6}, {9, 10, 11}}, {"57_3_1", -1, 8, 7, {6}, {9, 10, 11}},
    {"08_00_56", 4, 8, 7, {5, 6}, {}},    {"08_01_56", 4, 8, 7, {5, 6}, {}}, {"08_03_57", 4, 8, 7, {5, 6}, {}},
    {"08_04_57", -1, 8, 7, {5, 6}, {10, 4, 0}},
};

// Single notes after rests (each a phrase start) with a bend shape each: none,
// a scoop into the head, a fall off the tail, a shake, a gliss up off the
// tail; then a legato line.
constexpr DWORD kPlainAt = 0, kScoopAt = 1920, kFallAt = 3840, kShakeAt = 5760, kGlissUpAt = 7680, kLineAt = 9600;
Phrase BrassPhrase(bool bends) {
    Phrase p;
    for (DWORD at : {kPlainAt, kScoopAt, kFallAt, kShakeAt, kGlissUpAt}) p.notes.push_back({at, 480, 67, 90});
    for (int i = 0; i < 4; ++i) p.notes.push_back({DWORD(kLineAt + 480 * i), 470, 60 + 2 * i, 70 + 10 * i});
    if (bends)
        p.bends = {{kScoopAt - 120, -1200}, {kScoopAt + 30, 0},
                   {kFallAt + 300, -1200},  {kFallAt + 400, -2400}, {kFallAt + 960, 0},
                   {kShakeAt + 100, 600},   {kShakeAt + 200, -600}, {kShakeAt + 300, 600}, {kShakeAt + 400, 0},
                   {kGlissUpAt + 300, 1200}, {kGlissUpAt + 400, 2400}, {kGlissUpAt + 960, 0}};
    return p;
}

TEST(ScriptFamily, BrassTakeScoopsFallsShakesAndGlissesOnlyFromBends) {
    for (const BrassBends& b : kBrassBends) {
        for (bool bends : {true, false}) {
            for (uint32_t seed : {1u, 2u, 3u}) {
                SCOPED_TRACE(std::string(b.script) + (bends ? " with bends" : " without bends") + " seed " +
                             std::to_string(seed));
                const auto zones = FamilyZones(b.script);
                const scriptharness::Run run = scriptharness::ConvertChannel(
                    familysongs::Song(BrassPhrase(bends)), 0, scriptharness::LibraryScript(b.script), BrassTarget(), seed);
                ASSERT_EQ(run.result, 1) << run.message;
                EXPECT_EQ(run.droppedNotes, 0);
                const DWORD k = Scale(run);
                std::map<DWORD, int> codeAt;
                for (const HarnessNote& n : run.notes) {
                    ASSERT_TRUE(n.fromInput) << n.out;
                    EXPECT_TRUE(InZone(zones, n)) << n.out << " code " << n.code;
                    EXPECT_EQ(n.out.start, n.in.start) << n.out;
                    codeAt[n.in.start / k] = int(n.code);
                }
                // Phrase starts never play legato.
                for (DWORD at : {kPlainAt, kScoopAt, kFallAt, kShakeAt, kGlissUpAt, kLineAt})
                    EXPECT_FALSE(b.legato.count(codeAt[at])) << "phrase start at " << at << " code " << codeAt[at];
                const std::set<int> bendCodes = {b.scoop, b.shake, b.gliss, 5, 6};
                if (!bends) {
                    for (const auto& [at, code] : codeAt)
                        EXPECT_FALSE(bendCodes.count(code) && !b.legato.count(code))
                            << "a bend articulation without bends at " << at << ": " << code;
                    continue;
                }
                if (b.scoop >= 0) {
                    EXPECT_EQ(codeAt[kScoopAt], b.scoop);
                } else {
                    EXPECT_FALSE(bendCodes.count(codeAt[kScoopAt])) << codeAt[kScoopAt];
                }
                EXPECT_TRUE(b.falls.count(codeAt[kFallAt])) << codeAt[kFallAt];
                EXPECT_EQ(codeAt[kShakeAt], b.shake);
                EXPECT_EQ(codeAt[kGlissUpAt], b.gliss);
                EXPECT_FALSE(bendCodes.count(codeAt[kPlainAt])) << codeAt[kPlainAt];
            }
        }
    }
}

// Phrase starts of rising velocity: (Hot) reaches f (code 3) at a softer note
// than (Smooth), and a louder phrase start never comes out softer.
TEST(ScriptFamily, BrassHotReachesFSoonerThanSmooth) {
    Phrase p;
    for (int i = 0; i < 10; ++i) p.notes.push_back({DWORD(960 * i), 240, 67, 30 + 10 * i});
    const auto firstF = [&](const char* name) {
        const scriptharness::Run run = scriptharness::ConvertChannel(familysongs::Song(p), 0,
                                                                     scriptharness::LibraryScript(name), BrassTarget());
        EXPECT_EQ(run.result, 1) << run.message;
        int first = 1000, loudest = 0;
        for (const HarnessNote& n : run.notes) {
            if (n.code == 3) first = std::min(first, n.in.velocity);
            if (n.code >= 1 && n.code <= 3) {
                EXPECT_GE(n.out.velocity, loudest) << name << " " << n.out;
                loudest = n.out.velocity;
            }
        }
        return first;
    };
    for (const auto& [hot, smooth] : {std::pair<const char*, const char*>{"57_1", "57"}, {"57_2", "57_2_1"}, {"57_3", "57_3_1"}})
        EXPECT_LT(firstF(hot), firstF(smooth)) << hot << " against " << smooth;
}

scriptharness::Target TrumpetTarget() {
    scriptharness::Target t;
    t.program = 56;
    t.kind = 3;
    t.kindFlag = 0;
    return t;
}

// The trumpet's breath note: 240 ticks before a phrase start that follows a
// rest of 0.625 to 1.125 seconds (720 ticks at tempo 120, 400 at tempo 60),
// none after 480 or 1,200 ticks at tempo 120; no other created note.
TEST(ScriptFamily, TrumpetBreathesBeforeAPhraseAfterAShortRest) {
    struct Case {
        int bpm;
        std::vector<DWORD> rests;  // before each note after the first (notes of 480 ticks)
        std::vector<DWORD> breathAt;
    };
    const Case cases[] = {{120, {720, 480, 1200}, {1200 - 240}}, {60, {400}, {880 - 240}}};
    for (const Case& c : cases) {
        Phrase p;
        p.bpm = c.bpm;
        DWORD at = 0;
        p.notes.push_back({at, 480, 72, 90});
        for (DWORD rest : c.rests) {
            at += 480 + rest;
            p.notes.push_back({at, 480, 72, 90});
        }
        for (uint32_t seed : {1u, 2u, 3u}) {
            SCOPED_TRACE("tempo " + std::to_string(c.bpm) + " seed " + std::to_string(seed));
            const scriptharness::Run run = scriptharness::ConvertChannel(familysongs::Song(p), 0,
                                                                         scriptharness::LibraryScript("65"), TrumpetTarget(), seed);
            ASSERT_EQ(run.result, 1) << run.message;
            EXPECT_EQ(run.droppedNotes, 0);
            const DWORD k = Scale(run);
            std::vector<DWORD> created;
            for (const HarnessNote& n : run.notes) {
                if (n.fromInput) continue;
                EXPECT_EQ(n.out.key, 24) << n.out;
                created.push_back(n.out.start / k);
            }
            EXPECT_EQ(created, c.breathAt);
        }
    }
}

TEST(ScriptFamily, TrumpetPlaysStraightLegatoAndBendArticulations) {
    const auto zones = FamilyZones("65");
    for (bool bends : {true, false}) {
        Phrase p = BrassPhrase(bends);
        p.notes.push_back({12000, 1200, 65, 80});  // a long detached note: straight
        for (uint32_t seed : {1u, 2u, 3u}) {
            SCOPED_TRACE(std::string(bends ? "with bends" : "without bends") + " seed " + std::to_string(seed));
            const scriptharness::Run run = scriptharness::ConvertChannel(familysongs::Song(p), 0,
                                                                         scriptharness::LibraryScript("65"), TrumpetTarget(), seed);
            ASSERT_EQ(run.result, 1) << run.message;
            const DWORD k = Scale(run);
            std::map<DWORD, int> codeAt;
            for (const HarnessNote& n : run.notes) {
                if (!n.fromInput) continue;  // breath notes
                EXPECT_TRUE(InZone(zones, n)) << n.out << " code " << n.code;
                codeAt[n.in.start / k] = int(n.code);
            }
            for (DWORD at : {kPlainAt, kScoopAt, kFallAt, kShakeAt, kGlissUpAt, kLineAt})
                EXPECT_NE(codeAt[at], 0) << "phrase start at " << at << " played legato";
            for (int i = 1; i < 4; ++i) EXPECT_EQ(codeAt[kLineAt + 480 * i], 0) << "the legato line";
            EXPECT_EQ(codeAt[12000], 4) << "the long detached note";
            EXPECT_EQ(codeAt[kFallAt], bends ? 5 : codeAt[kPlainAt]);
            EXPECT_EQ(codeAt[kShakeAt], bends ? 8 : codeAt[kPlainAt]);
            EXPECT_EQ(codeAt[kGlissUpAt], bends ? 7 : codeAt[kPlainAt]);
            EXPECT_EQ(codeAt[kScoopAt], codeAt[kPlainAt]) << "no scoop on the trumpet";
        }
    }
}

scriptharness::Target SaxTarget() {
    scriptharness::Target t;
    t.program = 58;
    t.kind = 4;
    return t;
}

// Key noises: a key-on noise (key 26) at each attack, at the previous groove
// position (beat or off-beat) after a rest of a grouping time or more, none
// between joined repeats of one key; a key-off noise (key 27) as well where a
// joined line steps down; one per chord. No growl in "83_1"; "83_2" growls
// on its loud long note; falls come only from a bent tail.
TEST(ScriptFamily, SaxKeyNoisesGrowlAndFalls) {
    Phrase p;
    p.notes = {{0, 470, 60, 60},    {480, 470, 62, 70},   {960, 470, 59, 70},  {1440, 470, 59, 70},
               {2400, 470, 64, 80}, {3360, 470, 64, 80},  {3360, 470, 67, 80}, {4320, 960, 65, 127},
               {5760, 480, 67, 90}};
    const std::set<std::pair<DWORD, int>> noises = {{0, 26},    {480, 26},  {960, 26}, {960, 27},
                                                    {2160, 26}, {3120, 26}, {4080, 26}, {5520, 26}};
    for (bool bends : {false, true}) {
        Phrase song = p;
        if (bends) song.bends = {{5760 + 300, -1200}, {5760 + 400, -2400}, {5760 + 960, 0}};
        for (const char* name : {"83_1", "83_2", "Debug"}) {
            const auto zones = FamilyZones(name);
            for (uint32_t seed : {1u, 2u, 3u}) {
                SCOPED_TRACE(std::string(name) + (bends ? " with bends" : "") + " seed " + std::to_string(seed));
                const scriptharness::Run run = scriptharness::ConvertChannel(familysongs::Song(song), 0,
                                                                             scriptharness::LibraryScript(name), SaxTarget(), seed);
                ASSERT_EQ(run.result, 1) << run.message;
                EXPECT_EQ(run.droppedNotes, 0);
                const DWORD k = Scale(run);
                std::set<std::pair<DWORD, int>> created;
                std::map<DWORD, int> codeAt;
                for (const HarnessNote& n : run.notes) {
                    if (!n.fromInput) {
                        EXPECT_TRUE(created.insert({n.out.start / k, n.out.key}).second) << "twice: " << n.out;
                        continue;
                    }
                    EXPECT_TRUE(InZone(zones, n)) << n.out << " code " << n.code;
                    codeAt[n.in.start / k] = int(n.code);
                }
                EXPECT_EQ(created, noises);
                for (DWORD at : {0u, 2400u, 3360u, 4320u, 5760u}) EXPECT_NE(codeAt[at], 0) << "phrase start at " << at;
                EXPECT_EQ(codeAt[4320] == 4, std::string(name) == "83_2") << "growl";
                EXPECT_EQ(codeAt[5760] == 5, bends) << "fall";
            }
        }
    }
}

// Notes of one key that overlap in the song come out one after the other
// (through "Empty" they still overlap).
TEST(ScriptFamily, SaxLeavesNoSameKeyOverlap) {
    Phrase p;
    p.notes = {{0, 700, 70, 80}, {480, 480, 70, 90}, {960, 300, 72, 80}, {1100, 400, 72, 70}, {1200, 240, 72, 60}};
    for (const char* name : {"83_1", "83_2", "Empty"}) {
        const scriptharness::Run run =
            scriptharness::ConvertChannel(familysongs::Song(p), 0, scriptharness::LibraryScript(name), SaxTarget());
        ASSERT_EQ(run.result, 1) << run.message;
        EXPECT_EQ(run.droppedNotes, 0) << name;
        std::map<int, DWORD> soundingUntil;
        int overlaps = 0;
        for (const HarnessNote& n : run.notes) {  // in start order
            const auto last = soundingUntil.find(n.out.key);
            overlaps += last != soundingUntil.end() && last->second > n.out.start;
            soundingUntil[n.out.key] = n.out.start + n.out.length;
        }
        EXPECT_EQ(overlaps, std::string(name) == "Empty" ? 3 : 0) << name;
    }
}

// "Debug" is "83_1" with three more annotations: the same song bytes.
TEST(ScriptFamily, DebugWritesWhat83_1Writes) {
    Phrase p = BrassPhrase(true);
    const auto song = familysongs::Song(p);
    for (uint32_t seed : {1u, 7u}) {
        const scriptharness::Run sax = scriptharness::ConvertChannel(song, 0, scriptharness::LibraryScript("83_1"), SaxTarget(), seed);
        const scriptharness::Run debug = scriptharness::ConvertChannel(song, 0, scriptharness::LibraryScript("Debug"), SaxTarget(), seed);
        ASSERT_EQ(sax.result, 1) << sax.message;
        ASSERT_EQ(debug.result, 1) << debug.message;
        EXPECT_EQ(debug.output, sax.output) << "seed " << seed;
        EXPECT_NE(debug.output, song);
    }
}

// Runs of chords reaching key 96: one at tick 0, one later whose last chord
// the next note enters while it still sounds. Each run note sounds under the
// song's own voice, every other note under the target's, and no program change
// comes but the target's at the start and one change there and back per run.
struct HighRunCase {
    const char* script;
    scriptharness::Target target;
    bool changes;  // the script hands the runs to the song's voice
};

void CheckHighRuns(const HighRunCase& c, bool songSetsVoice) {
    Phrase p;
    p.voice = songSetsVoice;
    p.notes = {{0, 240, 96, 90},    {0, 240, 84, 80},    {240, 240, 98, 90},   {480, 480, 72, 80},
               {1440, 480, 74, 80}, {1920, 240, 97, 90}, {1920, 240, 85, 80}, {2160, 300, 99, 90},
               {2400, 480, 76, 80}};
    const familysongs::Voice song = songSetsVoice ? familysongs::Voice{0, 0, 48} : familysongs::Voice{0, 0, 0};
    const familysongs::Voice target{c.target.bankMsb, c.target.bankLsb, c.target.program};
    for (uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(std::string(c.script) + (songSetsVoice ? " (song voice 0/0/48)" : " (no song voice)") + " seed " +
                     std::to_string(seed));
        const scriptharness::Run run = scriptharness::ConvertChannel(familysongs::Song(p), 0,
                                                                     scriptharness::LibraryScript(c.script), c.target, seed);
        ASSERT_EQ(run.result, 1) << run.message;
        std::vector<std::pair<DWORD, familysongs::Voice>> changes;
        auto voices = familysongs::VoicesAtNotes(run.out, 0, &changes);
        // (the created breath and key-noise notes lie below key 30)
        voices.erase(std::remove_if(voices.begin(), voices.end(), [](const auto& v) { return v.key < 30; }), voices.end());
        ASSERT_EQ(voices.size(), p.notes.size());
        const DWORD k = Scale(run);
        for (const auto& v : voices) {
            const bool inRun = c.changes && (v.start < 480 * k || (v.start >= 1920 * k && v.start < 2400 * k));
            const familysongs::Voice want = inRun ? song : target;
            EXPECT_TRUE(v.voice == want) << "key " << v.key << " at " << v.start << ": " << v.voice.msb << "/"
                                         << v.voice.lsb << "/" << v.voice.program;
        }
        EXPECT_EQ(changes.size(), c.changes ? 5u : 1u);
    }
}

TEST(ScriptFamily, HighRunsSoundUnderTheSongsVoice) {
    std::vector<HighRunCase> cases;
    for (const char* name : kStrings) {
        const std::string n = name;
        cases.push_back({name, StringsTarget(), n != "49_1" && n != "50_1" && n != "49_1_1"});
    }
    for (const char* name : kBrass) cases.push_back({name, BrassTarget(), true});
    cases.push_back({"65", TrumpetTarget(), true});
    for (const char* name : {"83_1", "83_2", "Debug"}) cases.push_back({name, SaxTarget(), true});
    for (const HighRunCase& c : cases) {
        CheckHighRuns(c, false);
        // (A song whose own program change shares the tick of its first notes
        // gets the target voice after those notes, the same in every script:
        // only the scripts that move a run at tick 0 put a voice before them.)
        if (c.changes) CheckHighRuns(c, true);
    }
}

// Every rule of these families fires with probability 1 and none draws: a
// forced draw (the lowest or the highest) converts each song as a seed does.
TEST(ScriptFamily, ForcedDrawsChangeNothing) {
    const struct {
        const char* script;
        scriptharness::Target target;
        Phrase phrase;
    } cases[] = {{"49_0_2", StringsTarget(), StringsPhrase()}, {"57", BrassTarget(), BrassPhrase(true)},
                 {"65", TrumpetTarget(), BrassPhrase(true)},   {"83_2", SaxTarget(), BrassPhrase(true)}};
    for (const auto& c : cases) {
        const auto song = familysongs::Song(c.phrase);
        const scriptharness::Run seeded =
            scriptharness::ConvertChannel(song, 0, scriptharness::LibraryScript(c.script), c.target, 5);
        ASSERT_EQ(seeded.result, 1) << seeded.message;
        for (int draw : {0, kRandMax}) {
            SetRandomHook([draw] { return draw; });
            const scriptharness::Run forced =
                scriptharness::ConvertChannel(song, 0, scriptharness::LibraryScript(c.script), c.target, 5);
            SetRandomHook({});
            EXPECT_EQ(forced.output, seeded.output) << c.script << " draw " << draw;
        }
    }
}

// Real parts: the strings line of bach_846.mid (channel 4) through a strings,
// brass, trumpet and sax script: every note in its code's zone, three codes
// or more, the first note not legato, the other channels as they were.
TEST(ScriptFamily, BachThroughEachFamily) {
    const phrasorcoretest::Bytes song = phrasorcoretest::Song("bach_846.mid");
    const struct {
        const char* script;
        scriptharness::Target target;
        int legato;  // the script's legato code
    } cases[] = {{"49_1", StringsTarget(), 0}, {"49_0_2", StringsTarget(), 0}, {"57", BrassTarget(), -1},
                 {"65", TrumpetTarget(), 0},   {"83_1", SaxTarget(), 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        const auto zones = FamilyZones(c.script);
        const scriptharness::Run run = scriptharness::ConvertChannel(song, 3, scriptharness::LibraryScript(c.script), c.target);
        ASSERT_EQ(run.result, 1) << run.message;
        ASSERT_FALSE(run.notes.empty());
        std::map<int, int> codes;
        const HarnessNote* first = nullptr;
        for (const HarnessNote& n : run.notes) {
            if (!n.fromInput) continue;
            EXPECT_TRUE(InZone(zones, n)) << n.out << " code " << n.code;
            ++codes[int(n.code)];
            if (!first || n.in.start < first->in.start) first = &n;
        }
        EXPECT_GE(codes.size(), 3u);
        ASSERT_TRUE(first);
        EXPECT_NE(first->code, c.legato) << "the first note played legato";
        for (int ch : phrasorcoretest::ChannelsWithNotes(run.in))
            if (ch != 3) EXPECT_TRUE(phrasorcoretest::SameNotes(run.in, run.out, ch, run.shift)) << "channel " << ch;
    }
}

// claire_de_lune.mid's first channel through "57": its one note of key 97 sounds
// under the song's own voice, every other note under the target's, with the
// two changes around that note the only program changes after the first note.
TEST(ScriptFamily, ClaireDeLuneHighNoteThroughBrass) {
    const phrasorcoretest::Bytes song = phrasorcoretest::Song("claire_de_lune.mid");
    const scriptharness::Run run = scriptharness::ConvertChannel(song, 0, scriptharness::LibraryScript("57"), BrassTarget());
    ASSERT_EQ(run.result, 1) << run.message;
    std::vector<std::pair<DWORD, familysongs::Voice>> changes;
    const auto voices = familysongs::VoicesAtNotes(run.out, 0, &changes);
    std::vector<std::pair<DWORD, familysongs::Voice>> inSong;
    familysongs::VoicesAtNotes(run.in, 0, &inSong);
    const familysongs::Voice target{8, 0, 54};
    int high = 0;
    for (const auto& v : voices) {
        if (v.key >= 96) {
            ++high;
            EXPECT_FALSE(v.voice == target) << "key " << v.key << " at " << v.start;
            if (!inSong.empty()) EXPECT_EQ(v.voice.program, inSong.back().second.program);
        } else {
            EXPECT_TRUE(v.voice == target) << "key " << v.key << " at " << v.start << ": " << v.voice.program;
        }
    }
    EXPECT_EQ(high, 1);
    ASSERT_FALSE(voices.empty());
    int after = 0;
    for (const auto& c : changes) after += c.first > voices.front().start;
    EXPECT_EQ(after, 2);
}

}  // namespace
