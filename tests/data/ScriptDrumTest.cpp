// The drum scripts through the core (channel 10): each deletes exactly its
// rows' drum note set and nothing else, keeps every start, and changes only
// hi-hat keys, brush snare keys, velocities and the tip's length; the hi-hat
// analysis names each beat's pattern and each hi-hat's opening step, the five
// variants of a family shift the steps by their table, mechanical hi-hat
// parts get shaped velocities, and a crash opens the hi-hats before it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "DrumSong.h"
#include "ScriptHarness.h"

namespace {

using drumsong::Hit;
using drumsong::kBeat;
using scriptharness::HarnessNote;

const char* const kPatternLabel = "刻み";
const char* const kStepLabel = "開き";

scriptharness::Run ConvertDrums(const drumsong::Bytes& song, const char* script, BYTE program, uint32_t seed = 1) {
    return scriptharness::ConvertChannel(song, drumsong::kChannel, scriptharness::LibraryScript(script),
                                         scriptharness::DrumKit(program), seed);
}

// The output note paired with the input note that started at `time` (input
// ticks, 480 per quarter) with `key`; null when it is gone.
const HarnessNote* At(const scriptharness::Run& run, DWORD time, int key) {
    for (const HarnessNote& n : run.notes)
        if (n.fromInput && n.in.start == DWORD(long(time) * run.out.division / 480 + run.shift) && n.in.key == key)
            return &n;
    return nullptr;
}

bool IsHiHat(int key) { return key == 42 || key == 44 || key == 46; }

// The step keys' shift of each variant (script suffix 1..5) at steps 0..5.
const int kVariantShift[5][6] = {
    {0, 0, 0, 0, 0, 0}, {0, 0, -1, -1, 0, -1}, {-1, -1, -1, -1, -1, -1}, {1, 1, 0, 0, 0, 0}, {1, 1, 1, 1, 0, 0}};

TEST(ScriptDrum, EachScriptDeletesExactlyItsRowsNoteSet) {
    const auto sets = drumsong::NoteSets();
    ASSERT_EQ(sets.size(), 5u);
    const drumsong::Bytes song = drumsong::Song(drumsong::KeyPerTick());
    for (const drumsong::DrumScript& s : drumsong::DrumScripts()) {
        SCOPED_TRACE(s.name);
        const std::set<int>& erased = sets.at(s.noteSet);
        for (uint32_t seed : {1u, 7u}) {
            const scriptharness::Run run = ConvertDrums(song, s.name, s.program, seed);
            ASSERT_EQ(run.result, 1) << run.message;
            EXPECT_EQ(run.inputNotes, 128);
            std::set<int> kept;
            for (const HarnessNote& n : run.notes) {
                ASSERT_TRUE(n.fromInput) << n.out;
                EXPECT_EQ(n.out.start, n.in.start) << n.out;
                EXPECT_TRUE(n.out.velocity >= 1 && n.out.velocity <= 127) << n.out;
                kept.insert(int((long(n.out.start) - run.shift) / (240 * run.out.division / 480)));
            }
            for (int k = 0; k < 128; ++k) EXPECT_EQ(kept.count(k) == 1, erased.count(k) == 0) << "key " << k;
            EXPECT_EQ(run.droppedNotes, int(erased.size()));
        }
    }
}

// One bar of each opening step, the same in every variant: pedal (00), 8th
// closed (10), 4th closed (25), 4th closed before a crash (50), open (75),
// open before a crash (99).
std::vector<Hit> EveryOpening() {
    return {{0, 44},         {kBeat, 42},     {kBeat + 240, 42}, {2 * kBeat, 42}, {3 * kBeat, 46},
            {4 * kBeat, 42}, {5 * kBeat, 49}, {6 * kBeat, 46},   {7 * kBeat, 57}};
}

TEST(ScriptDrum, TheFiveVariantsDifferOnlyInHiHatKeysByTheirShifts) {
    const drumsong::Bytes song = drumsong::Song(EveryOpening());
    const std::vector<Hit> hits = EveryOpening();
    for (const char* family : {"127_08_18_", "127_08_77_"}) {
        SCOPED_TRACE(family);
        const BYTE program = std::string(family) == "127_08_18_" ? 17 : 76;
        const int stepKey = std::string(family) == "127_08_18_" ? drumsong::kKitStepKey : drumsong::kBrushStepKey;
        const scriptharness::Run first = ConvertDrums(song, (std::string(family) + "1").c_str(), program);
        ASSERT_EQ(first.result, 1) << first.message;
        std::set<LONG> steps;
        for (const Hit& h : hits) {
            const HarnessNote* n = At(first, h.time, h.key);
            ASSERT_TRUE(n) << h.time << " " << int(h.key);
            if (!IsHiHat(h.key)) continue;
            const LONG step = n->Annotation(kStepLabel);
            steps.insert(step);

            EXPECT_EQ(n->out.key, stepKey + step) << n->out;
        }
        EXPECT_EQ(steps, (std::set<LONG>{0, 1, 2, 3, 4, 5}));
        for (int variant = 2; variant <= 5; ++variant) {
            SCOPED_TRACE(variant);
            const scriptharness::Run run = ConvertDrums(song, (family + std::to_string(variant)).c_str(), program);
            ASSERT_EQ(run.result, 1) << run.message;
            ASSERT_EQ(run.notes.size(), first.notes.size());
            for (const Hit& h : hits) {
                const HarnessNote* a = At(first, h.time, h.key);
                const HarnessNote* b = At(run, h.time, h.key);
                ASSERT_TRUE(a && b);
                EXPECT_EQ(b->out.start, a->out.start);
                EXPECT_EQ(b->out.velocity, a->out.velocity);
                EXPECT_EQ(b->out.length, a->out.length);
                const int shift = IsHiHat(h.key) ? kVariantShift[variant - 1][a->Annotation(kStepLabel)] : 0;
                EXPECT_EQ(b->out.key - a->out.key, shift) << a->out << " " << b->out;
            }
        }
    }
}

TEST(ScriptDrum, PureGroovesAreAnnotatedWithTheirPattern) {
    // Grid ticks in the beat of each pattern, in pattern order.
    const std::vector<std::vector<DWORD>> grooves = {{0},
                                                     {0, 240},
                                                     {0, 120, 240, 360},
                                                     {0, 160, 320},
                                                     {0, 320},
                                                     {0, 80, 160, 240, 320, 400},
                                                     {0, 160, 240, 400}};
    std::vector<Hit> hits;
    for (size_t p = 0; p < grooves.size(); ++p)
        for (DWORD beat = 0; beat < 4; ++beat)
            for (DWORD at : grooves[p]) hits.push_back({DWORD(p * 4 + beat) * kBeat + at, 42, BYTE(60 + (at % 7) + beat), 40});
    const drumsong::Bytes song = drumsong::Song(hits);
    for (const char* script : {"127_08_18_1", "127_08_77_3"}) {
        SCOPED_TRACE(script);
        const scriptharness::Run run = ConvertDrums(song, script, 17);
        ASSERT_EQ(run.result, 1) << run.message;
        for (const Hit& h : hits) {
            const HarnessNote* n = At(run, h.time, h.key);
            ASSERT_TRUE(n) << h.time;
            EXPECT_EQ(n->Annotation(kPatternLabel), LONG(h.time / kBeat / 4)) << h.time;
        }
    }
}

TEST(ScriptDrum, AMechanicalHiHatPartIsShapedPerBeatAndAPlayedOneKeptWithinFive) {
    std::vector<Hit> constant, played;
    const BYTE velocities[] = {92, 61, 80, 70, 101, 66, 85, 74};
    for (DWORD i = 0; i < 16; ++i) {
        constant.push_back({i * 240, 42, 80, 60});
        played.push_back({i * 240, 42, velocities[i % 8], 60});
    }
    for (uint32_t seed : {1u, 2u, 3u}) {
        const scriptharness::Run shaped = ConvertDrums(drumsong::Song(constant), "127_08_18_1", 17, seed);
        ASSERT_EQ(shaped.result, 1) << shaped.message;
        for (DWORD beat = 0; beat < 8; ++beat) {
            const HarnessNote* on = At(shaped, beat * kBeat, 42);
            const HarnessNote* off = At(shaped, beat * kBeat + 240, 42);
            ASSERT_TRUE(on && off);
            EXPECT_GT(on->out.velocity, off->out.velocity) << "beat " << beat;
        }
        EXPECT_NE(At(shaped, 0, 42)->out.velocity, At(shaped, kBeat, 42)->out.velocity);
        const scriptharness::Run kept = ConvertDrums(drumsong::Song(played), "127_08_77_1", 76, seed);
        ASSERT_EQ(kept.result, 1) << kept.message;
        for (const Hit& h : played) {
            const HarnessNote* n = At(kept, h.time, h.key);
            ASSERT_TRUE(n);
            EXPECT_LE(std::abs(n->out.velocity - int(h.velocity)), 5) << n->out;
        }
    }
}

TEST(ScriptDrum, HiHatsInTheBeatBeforeACrashOpenFurther) {
    std::vector<Hit> groove;
    for (DWORD i = 0; i < 16; ++i) groove.push_back({i * 240, 42, BYTE(70 + (i % 3) * 9), 60});
    for (DWORD beat = 0; beat < 8; beat += 2) groove.push_back({beat * kBeat, 36, 100, 60});
    // (On a beat of its own: a crash with a kick would make a busy beat, which opens too.)
    std::vector<Hit> crashed = groove;
    crashed.push_back({5 * kBeat, 49, 110, 480});
    for (const char* script : {"127_08_18_2", "127_08_77_4"}) {
        SCOPED_TRACE(script);
        const scriptharness::Run plain = ConvertDrums(drumsong::Song(groove), script, 17);
        const scriptharness::Run before = ConvertDrums(drumsong::Song(crashed), script, 17);
        ASSERT_EQ(plain.result, 1) << plain.message;
        ASSERT_EQ(before.result, 1) << before.message;
        for (const Hit& h : groove) {
            if (h.key != 42) continue;
            const LONG a = At(plain, h.time, 42)->Annotation(kStepLabel);
            const LONG b = At(before, h.time, 42)->Annotation(kStepLabel);
            if (h.time / kBeat == 4) {
                EXPECT_GT(b, a) << h.time;
            } else {
                EXPECT_EQ(b, a) << h.time;
            }
        }
    }
}

// "Vintage Tip" (key 23) of the real-brush comp lasts 40 ticks at tempo 120,
// the same time at another tempo, and never past the next swirl (key 25).
TEST(ScriptDrum, TheTipLastsAFixedTimeAndEndsAtTheNextSwirl) {
    const struct {
        int bpm;
        std::vector<Hit> hits;
        DWORD tipLength;  // input ticks
    } cases[] = {
        {120, {{0, 23, 90, 480}, {960, 38, 90, 60}}, 40},
        {60, {{0, 23, 90, 480}, {960, 38, 90, 60}}, 20},
        {120, {{0, 23, 90, 480}, {10, 25, 90, 400}}, 10},
        {120, {{0, 23, 90, 480}, {0, 26, 90, 400}, {100, 26, 90, 400}}, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.bpm) + " bpm, " + std::to_string(c.hits.size()) + " hits");
        const scriptharness::Run run = ConvertDrums(drumsong::Song(c.hits, c.bpm), "127_08_76_2", 75);
        ASSERT_EQ(run.result, 1) << run.message;
        const HarnessNote* tip = At(run, 0, 23);
        ASSERT_TRUE(tip);
        EXPECT_EQ(tip->out.length, c.tipLength * run.out.division / 480);
        for (const Hit& h : c.hits) {
            if (h.key == 23) continue;
            const HarnessNote* n = At(run, h.time, h.key);
            ASSERT_TRUE(n);
            EXPECT_EQ(n->out.length, h.length * run.out.division / 480);
        }
    }
}

}  // namespace

namespace {

// beat.mid's drums (channel 10, keys 35-75) through every drum script: the
// expanded brush loses exactly its 26 notes of keys 62, 69 and 75, the other
// scripts none; every start stays; the hi-hats land on the step keys.
TEST(ScriptDrum, BeatLosesExactlyTheNotesOfTheRowsSetAndKeepsItsStarts) {
    const phrasorcoretest::Bytes song = phrasorcoretest::Song("beat.mid");
    const auto input = phrasorcoretest::NotesOf(phrasorcoretest::ReadSmf(song), drumsong::kChannel);
    ASSERT_EQ(input.size(), 390u);
    std::map<int, int> byKey;
    for (const auto& n : input) ++byKey[n.key];
    EXPECT_EQ(byKey.begin()->first, 35);
    EXPECT_EQ(byKey.rbegin()->first, 75);
    EXPECT_EQ(byKey[62] + byKey[69] + byKey[75], 26);
    const auto sets = drumsong::NoteSets();
    for (const drumsong::DrumScript& s : drumsong::DrumScripts()) {
        if (std::string(s.name) == "Empty") continue;
        SCOPED_TRACE(s.name);
        const scriptharness::Run run = ConvertDrums(song, s.name, s.program);
        ASSERT_EQ(run.result, 1) << run.message;
        const std::set<int>& erased = sets.at(s.noteSet);
        int lost = 0;
        for (const auto& kv : byKey) lost += erased.count(kv.first) ? kv.second : 0;
        EXPECT_EQ(lost, std::string(s.noteSet) == "T2" ? 26 : 0);
        EXPECT_EQ(run.droppedNotes, lost);
        ASSERT_EQ(run.notes.size(), input.size() - size_t(lost));
        const bool brush = std::string(s.name).rfind("127_08_77_", 0) == 0;
        const int stepKey = brush ? drumsong::kBrushStepKey : drumsong::kKitStepKey;
        const bool kit = std::string(s.name).rfind("127_08_76_", 0) != 0;
        for (const HarnessNote& n : run.notes) {
            ASSERT_TRUE(n.fromInput) << n.out;
            EXPECT_EQ(n.out.start, n.in.start) << n.out;
            EXPECT_EQ(erased.count(n.in.key), 0u) << n.out;
            EXPECT_TRUE(n.out.velocity >= 1 && n.out.velocity <= 127) << n.out;
            if (kit && IsHiHat(n.in.key)) {
                EXPECT_TRUE(n.out.key >= stepKey - 1 && n.out.key <= stepKey + 5) << n.out;
            } else if (!(brush && (n.in.key == 38 || n.in.key == 40))) {
                EXPECT_EQ(n.out.key, n.in.key) << n.out;
            }
        }
    }
}

}  // namespace

namespace {

// What the brush-expanded scripts play a snare on: a long stroke is a sweep
// attack (29), a loud one a slap (26), another a press tap (25); a snappy-off
// snare (40) softer than the part's average has no rim (27), else a rim (28),
// a quick one loses its rim, and one amid a fast run is a roll (31).
TEST(ScriptDrum, BrushSnareStrokesTakeTheirKeys) {
    const std::vector<Hit> hits = {{0, 38, 90, 480},      {kBeat, 38, 110, 60},  {2 * kBeat, 38, 60, 60},
                                   {4 * kBeat, 40, 50, 60}, {5 * kBeat, 40, 100, 60}, {5 * kBeat + 100, 40, 90, 60},
                                   {7 * kBeat, 40, 80, 30}, {7 * kBeat + 60, 40, 80, 30}, {7 * kBeat + 120, 40, 80, 30}};
    const int keys[] = {29, 26, 25, 27, 28, 27, 28, 31, 27};
    for (int variant = 1; variant <= 5; ++variant) {
        const scriptharness::Run run = ConvertDrums(drumsong::Song(hits), ("127_08_77_" + std::to_string(variant)).c_str(), 76);
        ASSERT_EQ(run.result, 1) << run.message;
        for (size_t i = 0; i < hits.size(); ++i) {
            const HarnessNote* n = At(run, hits[i].time, hits[i].key);
            ASSERT_TRUE(n) << i;
            EXPECT_EQ(n->out.key, keys[i]) << i << " " << n->out;
            EXPECT_EQ(n->out.velocity, hits[i].velocity) << i;
        }
    }
    // A kit leaves its snares alone.
    const scriptharness::Run kit = ConvertDrums(drumsong::Song(hits), "127_08_18_1", 17);
    ASSERT_EQ(kit.result, 1) << kit.message;
    for (const Hit& h : hits) EXPECT_EQ(At(kit, h.time, h.key)->out.key, h.key);
}

// Each raiser opens the hi-hat it concerns by one step against the same
// groove without it: a snare without a kick, a splash, the third note of a
// rising run of open hi-hats; a snare with a kick does not.
TEST(ScriptDrum, SnaresWithoutAKickSplashesAndRisingRunsOpenByOneStep) {
    std::vector<Hit> groove;
    for (DWORD i = 0; i < 8; ++i) groove.push_back({i * kBeat, 42, BYTE(70 + (i % 2) * 11), 60});
    groove.push_back({8 * kBeat, 46, 60, 60});
    groove.push_back({9 * kBeat, 46, 70, 60});
    groove.push_back({10 * kBeat, 46, 80, 60});
    groove.push_back({11 * kBeat, 46, 90, 60});
    const struct {
        const char* what;
        std::vector<Hit> added;
        DWORD at;   // the hi-hat whose step is compared
        int more;   // its step against the plain groove's
    } cases[] = {
        {"snare without a kick", {{kBeat, 38, 100, 60}}, kBeat, 1},
        {"snare with a kick", {{kBeat, 38, 100, 60}, {kBeat, 36, 100, 60}}, kBeat, 0},
        {"splash", {{2 * kBeat, 55, 100, 60}}, 2 * kBeat, 1},
    };
    const scriptharness::Run plain = ConvertDrums(drumsong::Song(groove), "127_08_18_1", 17);
    ASSERT_EQ(plain.result, 1) << plain.message;
    // The rising open run: its first two notes stay at 4, the third and fourth open to 5.
    for (DWORD beat = 8; beat < 12; ++beat)
        EXPECT_EQ(At(plain, beat * kBeat, 46)->Annotation(kStepLabel), beat < 10 ? 4 : 5) << beat;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Hit> hits = groove;
        hits.insert(hits.end(), c.added.begin(), c.added.end());
        const scriptharness::Run run = ConvertDrums(drumsong::Song(hits), "127_08_18_1", 17);
        ASSERT_EQ(run.result, 1) << run.message;
        for (const Hit& h : groove) {
            const LONG base = At(plain, h.time, h.key)->Annotation(kStepLabel);
            EXPECT_EQ(At(run, h.time, h.key)->Annotation(kStepLabel), base + (h.time == c.at ? c.more : 0)) << h.time;
        }
    }
}

}  // namespace

namespace {

// A mechanical part is shaped by the song's meter: in 3/4 the bar's first
// beat stands out and the other two match; in 6/8 (counted in eighths) the
// first and the fourth eighth stand out from their neighbours.
TEST(ScriptDrum, AMechanicalPartIsShapedByTheSongsMeter) {
    std::vector<Hit> waltz, jig;
    for (DWORD i = 0; i < 6; ++i) waltz.push_back({i * kBeat, 42, 80, 60});
    for (DWORD i = 0; i < 12; ++i) jig.push_back({i * 240, 42, 80, 60});
    const scriptharness::Run three = ConvertDrums(drumsong::Song(waltz, 120, 3, 2), "127_08_18_1", 17);
    ASSERT_EQ(three.result, 1) << three.message;
    for (DWORD bar = 0; bar < 2; ++bar) {
        const int first = At(three, bar * 3 * kBeat, 42)->out.velocity;
        const int second = At(three, (bar * 3 + 1) * kBeat, 42)->out.velocity;
        const int third = At(three, (bar * 3 + 2) * kBeat, 42)->out.velocity;
        EXPECT_GT(first, second) << bar;
        EXPECT_EQ(second, third) << bar;
    }
    const scriptharness::Run six = ConvertDrums(drumsong::Song(jig, 120, 6, 3), "127_08_18_1", 17);
    ASSERT_EQ(six.result, 1) << six.message;
    for (DWORD bar = 0; bar < 2; ++bar) {
        std::vector<int> v;
        for (DWORD e = 0; e < 6; ++e) v.push_back(At(six, (bar * 6 + e) * 240, 42)->out.velocity);
        EXPECT_GT(v[0], v[1]) << bar;
        EXPECT_GT(v[0], v[5]) << bar;
        EXPECT_GT(v[3], v[2]) << bar;
        EXPECT_GT(v[3], v[4]) << bar;
        EXPECT_EQ(v[1], v[2]) << bar;  // no quarter-note accent across the eighths
    }
}

}  // namespace
