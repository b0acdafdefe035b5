// The guitar family's scripts: a lint of their sets, settings and classes, and
// every one of the 29 run through the harness at the program's default
// resolution over small songs built in code (block chords on and off the
// beat, an arpeggio, short and long notes, legato steps, slide runs, a rest
// before a chord, overlapping notes of one key, keys from 96 in a chord run at
// tick 0), under three seeds and both forced draws, and over corpus songs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ManifestRows.h"
#include "ScriptHarness.h"
#include "ScriptLoading.h"
#include "data/AlgorithmScript.h"
#include "engine/rules/ArticCreExpMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/WorkFixture.h"
#include "tests/SmfBuild.h"

namespace {

using phrasorcoretest::Bytes;
using phrasorcoretest::Note;
using scriptharness::HarnessNote;

// A guitar row of the manifest: its zones by code and its switches.
struct GuitarRow {
    std::string name;
    std::map<int, std::pair<int, int>> zones;
    std::map<std::string, std::string> switches;
    int Code(const char* role) const {
        const auto s = switches.find(role);
        return s == switches.end() ? -1 : std::atoi(s->second.c_str());
    }
    bool Has(const char* flag) const { return switches.count(flag) != 0; }
};

std::vector<GuitarRow> GuitarRows() {
    std::vector<GuitarRow> rows;
    for (const std::vector<std::string>& f : ManifestRowsOf({"nylon", "steel", "twelve", "clean", "amp", "otherGtr"})) {
        if (f.size() < 8) continue;
        GuitarRow row;
        row.name = f[0];
        std::stringstream zones(f[6]);
        for (std::string z; zones >> z;) {
            int code = 0, low = 0, high = 0;
            if (std::sscanf(z.c_str() + z.find('=') + 1, "%d:%d-%d", &code, &low, &high) == 3) row.zones[code] = {low, high};
        }
        std::stringstream switches(f[7]);
        for (std::string s; switches >> s;) {
            const size_t eq = s.find('=');
            row.switches[s.substr(0, eq)] = eq == std::string::npos ? "1" : s.substr(eq + 1);
        }
        rows.push_back(row);
    }
    return rows;
}

// ---- Songs built from note lists

struct InNote {
    DWORD start;
    int key;
    int velo;
    DWORD len;
};

Bytes VarLen(DWORD v) {
    Bytes out{BYTE(v & 0x7F)};
    while (v >>= 7) out.insert(out.begin(), BYTE(0x80 | (v & 0x7F)));
    return out;
}

// A format-0 song of 480 ticks per quarter with the notes on channel 1; a
// note-off comes before a note-on of the same tick.
Bytes NoteSong(const std::vector<InNote>& notes) {
    struct Ev {
        DWORD time;
        int on;
        BYTE key, velo;
    };
    std::vector<Ev> events;
    for (const InNote& n : notes) {
        events.push_back({n.start, 1, BYTE(n.key), BYTE(n.velo)});
        events.push_back({n.start + n.len, 0, BYTE(n.key), 0});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Ev& a, const Ev& b) { return a.time != b.time ? a.time < b.time : a.on < b.on; });
    Bytes track;
    DWORD now = 0;
    for (const Ev& e : events) {
        const Bytes delta = VarLen(e.time - now);
        track.insert(track.end(), delta.begin(), delta.end());
        track.insert(track.end(), {BYTE(e.on ? 0x90 : 0x80), e.key, BYTE(e.on ? e.velo : 64)});
        now = e.time;
    }
    track.insert(track.end(), smfbuild::kEot.begin(), smfbuild::kEot.end());
    return smfbuild::Cat({smfbuild::Header(0, 1, 480), smfbuild::Chunk("MTrk", track)});
}

std::vector<InNote> Legato(DWORD start, std::initializer_list<int> keys, int velo = 90) {
    std::vector<InNote> out;
    for (int k : keys) {
        out.push_back({start, k, velo, 240});
        start += 240;
    }
    return out;
}

// The main song. Start times are noted where the checks need them.
const DWORD kOnBeatChord = 480, kOffBeatChord = 840, kChordAfterRest = 12960;
const DWORD kLegatoStart = 6720, kThreeRun = 9600, kFourRun = 11040, kAccentChord = 19200;

std::vector<InNote> MainNotes() {
    std::vector<InNote> n = {
        // a loud block chord on the beat, a softer one off the beat
        {kOnBeatChord, 52, 110, 200}, {kOnBeatChord, 55, 110, 200}, {kOnBeatChord, 60, 110, 200}, {kOnBeatChord, 64, 110, 200},
        {kOffBeatChord, 52, 80, 100}, {kOffBeatChord, 55, 80, 100}, {kOffBeatChord, 59, 80, 100},
        // an arpeggio
        {1440, 48, 80, 900}, {1560, 55, 80, 780}, {1680, 60, 80, 660}, {1800, 64, 80, 540},
        // short notes apart: very short, then short
        {2880, 50, 90, 30}, {3120, 53, 90, 30}, {3360, 57, 90, 30}, {3600, 50, 90, 30},
        {3840, 53, 90, 150}, {4080, 57, 90, 150}, {4320, 50, 90, 150}, {4560, 53, 90, 150},
        // a long high note before a rest
        {5040, 69, 90, 1200},
        // a rest, then a chord
        {kChordAfterRest, 45, 90, 400}, {kChordAfterRest, 52, 90, 400}, {kChordAfterRest, 57, 90, 400},
        // overlapping notes of one key, and one key twice at one start
        {14400, 62, 90, 480}, {14640, 62, 90, 240}, {15360, 65, 90, 200}, {15360, 65, 70, 200},
        // a loud low note on the beat
        {16320, 45, 110, 200},
        // after a rest, an accented chord on the first beat of a bar, held past the second beat
        {kAccentChord, 52, 110, 1000}, {kAccentChord, 57, 110, 1000}, {kAccentChord, 62, 110, 1000},
    };
    // legato steps of 1, 2, 5 and 7 semitones up, then down
    for (const InNote& x : Legato(kLegatoStart, {60, 61, 63, 68, 75, 68, 63, 61, 60})) n.push_back(x);
    // three notes within a whole tone, a rest, four notes within a whole tone
    for (const InNote& x : Legato(kThreeRun, {64, 65, 66})) n.push_back(x);
    for (const InNote& x : Legato(kFourRun, {64, 65, 64, 65})) n.push_back(x);
    // an octave up and down
    for (const InNote& x : Legato(17280, {57, 69, 57})) n.push_back(x);
    return n;
}

// Keys 95, 96 and 100 in a chord at tick 0, a chord with 96 right after, then a low note.
std::vector<InNote> HighNotes() {
    return {{0, 95, 80, 240}, {0, 96, 80, 240}, {0, 100, 80, 240}, {240, 60, 80, 240}, {240, 96, 80, 240}, {960, 64, 80, 240}};
}

struct Draw {
    const char* name;
    uint32_t seed;
    int forced;  // -1: seeded draws
};
const Draw kDraws[] = {{"seed 1", 1, -1}, {"seed 2", 2, -1}, {"seed 3", 3, -1}, {"draw 0", 1, 0}, {"draw 32767", 1, 32767}};

struct ForcedDraw {
    explicit ForcedDraw(int value) {
        if (value >= 0) SetRandomHook([value] { return value; });
    }
    ~ForcedDraw() { SetRandomHook(nullptr); }
};

scriptharness::Run Convert(const Bytes& song, const std::string& script, const Draw& draw, int channel = 0) {
    scriptharness::Target target;
    target.ticks = 240;
    const ForcedDraw forced(draw.forced);
    return scriptharness::ConvertChannel(song, channel, scriptharness::LibraryScript(script.c_str()), target, draw.seed);
}

// Converts the song through every guitar row that has each of the given codes
// (and the flag, when one is given) under every draw, and hands each run to the
// check; returns the number of rows converted.
int EveryRowAndDraw(const Bytes& song, std::initializer_list<const char*> codes, const char* flag,
                    const std::function<void(const GuitarRow&, const scriptharness::Run&)>& check) {
    int rows = 0;
    for (const GuitarRow& row : GuitarRows()) {
        if (std::any_of(codes.begin(), codes.end(), [&](const char* c) { return row.Code(c) < 0; }) ||
            (flag && !row.Has(flag)))
            continue;
        ++rows;
        SCOPED_TRACE(row.name);
        for (const Draw& draw : kDraws) {
            SCOPED_TRACE(draw.name);
            const scriptharness::Run run = Convert(song, row.name, draw);
            if (run.result != 1) {
                ADD_FAILURE() << "conversion failed: " << run.message;
                return rows;
            }
            check(row, run);
        }
    }
    return rows;
}

// Every input note has an output note or a tie or deletion that took it, and
// every output note comes from an input note or a creation.
::testing::AssertionResult EveryNoteAccountedFor(const scriptharness::Run& run) {
    for (const auto& marks : run.droppedExpressions) {
        // A deletion, a tie, or a bend or slide that joins the note into the one before.
        const bool taken = std::any_of(marks.begin(), marks.end(), [](const std::string& m) {
            return m == "CArticExpDel" || m == "CArticExpArrayTie" || m == "CArticExpPitchGtrBend" ||
                   m == "CArticExpPitchGtrSlide" || m == "CArticExpArraySlurPb";
        });
        if (!taken) return ::testing::AssertionFailure() << "an input note vanished without a tie or deletion";
    }
    const int unpaired = int(std::count_if(run.notes.begin(), run.notes.end(), [](const HarnessNote& n) { return !n.fromInput; }));
    if (unpaired > run.createdNotes)
        return ::testing::AssertionFailure() << unpaired << " output notes for " << run.createdNotes << " created";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult NoSameKeyOverlap(const scriptharness::Run& run) {
    std::map<int, std::vector<Note>> byKey;
    for (const HarnessNote& n : run.notes) byKey[n.out.key].push_back(n.out);
    for (auto& [key, notes] : byKey) {
        std::sort(notes.begin(), notes.end());
        for (size_t i = 1; i < notes.size(); ++i)
            if (notes[i - 1].start + notes[i - 1].length > notes[i].start)
                return ::testing::AssertionFailure() << notes[i - 1] << " overlaps " << notes[i];
    }
    return ::testing::AssertionSuccess();
}

// Ticks of the built songs (480 per quarter) in the output file's ticks, and back.
DWORD OutTicks(const scriptharness::Run& run, DWORD ticks) { return ticks * run.out.division / 480; }
DWORD SongTime(const scriptharness::Run& run, DWORD outStart) { return (outStart - run.shift) * 480 / run.out.division; }

const HarnessNote* OutputOf(const scriptharness::Run& run, DWORD start, int key) {
    for (const HarnessNote& n : run.notes)
        if (n.fromInput && n.in.start == OutTicks(run, start) + DWORD(run.shift) && n.in.key == key) return &n;
    return nullptr;
}

}  // namespace

// The bend groups of the loader, as its option drops them.
const std::set<std::string> kSmallBendSets = {"Vib1", "Vib2", "vibGlissMono", "vibGliss2Poly", "FeedBackVib", "Shake",
                                               "BrassVib", "BrassUnstab"};
const std::set<std::string> kLargeBendSets = {
    "slideSameLong", "choSameLong", "slideSameUp", "choSameUp", "FngrChoLick1", "slideDnDn", "choDnDn", "slideUpUp",
    "choUpUp", "slideUpUpDn", "choUpUpDn", "slideDown", "choDown", "FngrChoLick3", "slideSameDn", "choSameDn",
    "slideSameRest", "choSameRest", "slideUpSame", "choUpSame", "FngrChoLick5", "slideOctUp", "choOctUp", "slide4Up",
    "cho4Up", "slideLong", "choLong", "slideSameSame", "choSameSame", "choQtr", "choStart", "doubleSlide",
    "StartSlide", "HamGeneral", "hamTril", "HamCroma", "doubleHam"};

TEST(ScriptGuitar, TheRowsAreTheFamilysTwentyNine) {
    const std::vector<GuitarRow> rows = GuitarRows();
    ASSERT_EQ(rows.size(), 29u);
    int highKey = 0, carib = 0;
    for (const GuitarRow& r : rows) {
        highKey += r.Has("highKey");
        carib += r.Has("carib");
    }
    EXPECT_EQ(highKey, 21);
    EXPECT_EQ(carib, 28);
}

TEST(ScriptGuitar, LintSetsClassesAndSettings) {
    const std::vector<std::string> common = {
        "init_NoteInfo", "GetGrpTime", "EraseHighKey", "cntChordNum", "GapLengthChordFirst", "RestLengthMulChordFirst",
        "RestLengthChordFirst", "existPbAfterPre", "existPB", "Afect_PbNon0", "SearchHarmo", "InitNoteInfoAftFng",
        "init_global", "ChordSft", "qtzCutAlt", "LimitDurSameKey", "evaCutAltRnd", "evaCutAlt1", "evaCutAlt2",
        "ChordChangeByForm", "execCutAlt", "TuneGateTime", "TuneGateTime_SameNote", "set_NoteInfoToTime",
        "checkVeloRng", "CheckPhraseMabiki", "EstimatePosChange", "VexaVeloCurve", "VexaStrum", "normVelo",
        "VeloCombi", "LimitDur", "FretNoise3", "EraseNote", "ExecVexa", "VEXA_tune_Gtr_NORMAL", "set_NoteInfoToWrkEvnt"};
    ASSERT_EQ(common.size(), 37u);
    const std::set<std::string> bendClasses = {"CArticExpPitchCrv2", "CArticExpArraySlurPb", "CArticExpPitchGtrBend",
                                               "CArticExpPitchGtrSlide", "CArticExpPitchSlide2", "CArticExpFileSmfContPbEg2",
                                               "CArticExpFileSmfContPb4", "CArticExpInitPbRange3"};
    const AlgorithmScriptLibrary library;
    for (const GuitarRow& row : GuitarRows()) {
        SCOPED_TRACE(row.name);
        const AlgorithmScript* script = library.Find(CString(row.name.c_str()));
        ASSERT_TRUE(script);
        std::vector<std::string> names;
        std::map<std::string, std::set<std::string>> classesOfSet;
        std::string set;
        bool inSet = false;  // a "#name:" line names a set, or a subroutine before the sets
        for (int i = 0; i < script->GetLineCount(); ++i) {
            const std::string line = script->GetLine(i);
            if (line.rfind("#set:", 0) == 0 || line.rfind("#sub:", 0) == 0) inSet = line[2] == 'e';
            if (line.rfind("#name:", 0) == 0) {
                set = (inSet ? "" : "sub ") + line.substr(6);
                if (inSet) names.push_back(set);
            }
            const bool exp = line.rfind("#exp", 0) == 0, func = line.rfind("#func", 0) == 0;
            if (exp || func) {
                const std::string head = line.substr(0, line.find('('));
                std::string cls = head.substr(head.rfind(':') + 1);
                cls.erase(0, cls.find_first_not_of(' '));
                classesOfSet[set].insert(cls);
            }
        }
        EXPECT_LE(names.size(), 114u);
        // The family's sets in their order.
        // "02_2" runs its bend check before everything else.
        std::vector<std::string> order = common;
        if (row.Has("first301")) {
            ASSERT_FALSE(names.empty());
            EXPECT_EQ(names.front(), "existPbAfterPre");
            order.erase(std::find(order.begin(), order.end(), "existPbAfterPre"));
        }
        size_t at = 0;
        for (const std::string& want : order) {
            while (at < names.size() && names[at] != want) ++at;
            ASSERT_LT(at, names.size()) << want << " missing or out of order";
        }
        std::set<std::string> all;
        for (const auto& [name, classes] : classesOfSet) all.insert(classes.begin(), classes.end());
        // No string assignment: a guitar channel is never split.
        for (const char* gen : {"CArticSrchPutGen", "CArticSrchPutPos", "CArticSrchPutGenType", "CArticSrchPutPosType"})
            EXPECT_FALSE(all.count(gen)) << gen;
        EXPECT_TRUE(all.count("CArticExpCreNote"));
        EXPECT_TRUE(all.count("CArticExpDel"));
        EXPECT_EQ(all.count("CArticExpStresContCcNoteCreRel2") != 0, row.Has("carib"));
        EXPECT_EQ(all.count("CArticExpInitPro3") != 0, row.Has("highKey"));
        EXPECT_EQ(all.count("CArticSrchProNumOfVexa") != 0, row.Has("highKey"));
        // A tie only where the script has a slide code ("03" and "05" have none).
        EXPECT_EQ(all.count("CArticExpArrayTie") != 0, row.Code("slideUp") > 0);
        // Bend-writing classes only in the loader's bend groups.
        for (const auto& [name, classes] : classesOfSet)
            for (const std::string& cls : classes)
                if (bendClasses.count(cls)) EXPECT_TRUE(name == "init_cc" || kSmallBendSets.count(name) || kLargeBendSets.count(name)) << name;
        if (row.name == "03") EXPECT_EQ(row.zones.size(), 1u);
    }
}

TEST(ScriptGuitar, TheBendOptionDropsExactlyTheLoadersBendGroups) {
    const AlgorithmScriptLibrary library;
    for (const GuitarRow& row : GuitarRows()) {
        const AlgorithmScript* script = library.Find(CString(row.name.c_str()));
        ASSERT_TRUE(script);
        std::vector<std::string> written;
        int pbProc = -1;
        bool inSet = false;
        for (int i = 0; i < script->GetLineCount(); ++i) {
            const std::string line = script->GetLine(i);
            if (line.rfind("#set:", 0) == 0 || line.rfind("#sub:", 0) == 0) inSet = line[2] == 'e';
            if (inSet && line.rfind("#name:", 0) == 0) written.push_back(line.substr(6));
            if (line.rfind(";##PbProc:", 0) == 0) pbProc = std::atoi(line.c_str() + 10);
        }
        for (BYTE option : {BYTE(0), BYTE(1)}) {
            SCOPED_TRACE(row.name + " option " + std::to_string(option));
            const bool small = option == 0 && pbProc == 0, large = option == 0 || pbProc != 0;
            std::vector<std::string> want;
            for (const std::string& n : written) {
                if (kSmallBendSets.count(n) && !small) continue;
                if (kLargeBendSets.count(n) && !large) continue;
                if (n == "init_cc" && !small && !large) continue;
                want.push_back(n);
            }
            CArticErr::Clear();
            CArticWrk wrk;
            CArticRul rul(&wrk);
            CArticLoadMgr loader(&wrk, &rul);
            ASSERT_EQ(LoadAlgorithmScript(*script, option, loader), 0);
            std::vector<std::string> loaded;
            for (POSITION p = rul.GetHeadPos(); p;) loaded.push_back(rul.GetNext(p)->GetName().str());
            EXPECT_EQ(loaded, want);
            // A PbProc-1 script keeps its hammer-on and slide sets whatever the option.
            if (pbProc == 1) EXPECT_EQ(loaded.size(), written.size());
        }
    }
    CArticErr::Clear();
}

TEST(ScriptGuitar, EveryScriptOnTheBuiltSong) {
    const Bytes song = NoteSong(MainNotes());
    for (const GuitarRow& row : GuitarRows()) {
        SCOPED_TRACE(row.name);
        std::set<int> codesSeen;
        int shortMuted = 0, shortNotes = 0;
        for (const Draw& draw : kDraws) {
            SCOPED_TRACE(draw.name);
            const scriptharness::Run run = Convert(song, row.name, draw);
            ASSERT_EQ(run.result, 1) << run.message;
            EXPECT_TRUE(EveryNoteAccountedFor(run));
            EXPECT_TRUE(NoSameKeyOverlap(run));
            for (const HarnessNote& n : run.notes) {
                if (!n.fromInput) continue;
                // The velocity lies in the zone of the note's code.
                const auto zone = row.zones.find(int(n.code));
                ASSERT_NE(zone, row.zones.end()) << n.out << " code " << n.code;
                EXPECT_GE(n.out.velocity, zone->second.first) << n.out;
                EXPECT_LE(n.out.velocity, zone->second.second) << n.out;
                codesSeen.insert(int(n.code));
                // Starts move less than half a grouping time.
                EXPECT_LT(std::abs(long(n.out.start) - long(n.in.start)), long(OutTicks(run, 120))) << n.out;
                // Dead and mute never on long notes; short ones are counted.
                const bool muted = n.code == row.Code("dead") || n.code == row.Code("mute");
                if (n.in.length >= OutTicks(run, 240)) EXPECT_FALSE(muted && n.code > 0) << n.out;
                if (n.in.length < OutTicks(run, 240)) {
                    ++shortNotes;
                    shortMuted += muted && n.code > 0;
                }
            }
            // Strokes: down on the beat (low string first), up off the beat, spread
            // within half the time to the next chord, velocities stepped.
            struct Stroke {
                DWORD at;
                std::vector<int> keys;
                bool down;
                DWORD halfGap;
            };
            const Stroke strokes[] = {{kOnBeatChord, {52, 55, 60, 64}, true, 180},
                                      {kOffBeatChord, {52, 55, 59}, false, 300},
                                      {kChordAfterRest, {45, 52, 57}, true, 200},
                                      {kAccentChord, {52, 57, 62}, true, 500}};
            for (const Stroke& s : strokes) {
                std::vector<const HarnessNote*> chord;
                for (int k : s.keys) chord.push_back(OutputOf(run, s.at, k));
                ASSERT_TRUE(std::all_of(chord.begin(), chord.end(), [](const HarnessNote* n) { return n; })) << s.at;
                if (!s.down) std::reverse(chord.begin(), chord.end());
                for (size_t i = 1; i < chord.size(); ++i) {
                    EXPECT_GT(chord[i]->out.start, chord[i - 1]->out.start) << s.at;
                    EXPECT_LE(chord[i]->out.velocity, chord[i - 1]->out.velocity) << s.at;
                }
                EXPECT_GT(chord.back()->out.start, chord.front()->out.start) << s.at;
                EXPECT_LT(chord.back()->out.start - chord.front()->out.start, OutTicks(run, s.halfGap)) << s.at;
            }
            // The arpeggio keeps its onsets.
            for (DWORD t : {1440u, 1560u, 1680u, 1800u}) {
                bool kept = false;
                for (const HarnessNote& n : run.notes)
                    kept = kept || (n.fromInput && n.in.start == OutTicks(run, t) + run.shift && n.out.start == n.in.start);
                EXPECT_TRUE(kept) << t;
            }
            // Joined-note codes: only on a note joined to the one before, up for
            // hammer-on and slide up, down for pull-off and slide down.
            const int ham = row.Code("ham"), pull = row.Code("pull"), up = row.Code("slideUp"), down = row.Code("slideDown");
            const std::vector<InNote> in = MainNotes();
            for (const HarnessNote& n : run.notes) {
                if (!n.fromInput || n.code <= 0 || n.Has("CArticExpArrayTie")) continue;
                const int code = int(n.code);
                if (code != ham && code != pull && code != up && code != down) continue;
                const DWORD start = SongTime(run, n.in.start);
                const InNote* pre = nullptr;
                for (const InNote& x : in)
                    if (x.start < start && (!pre || x.start > pre->start)) pre = &x;
                ASSERT_TRUE(pre) << n.out;
                EXPECT_LE(std::abs(long(pre->start + pre->len) - long(start)), 30) << n.out;
                const int step = n.in.key - pre->key;
                if (code == ham) EXPECT_TRUE(step >= 1 && step <= 2) << n.out;
                if (code == pull) EXPECT_TRUE(step >= -2 && step <= -1) << n.out;
                if (code == up) EXPECT_TRUE((step >= 1 && step <= 5) || step == 12) << n.out;
                if (code == down) EXPECT_TRUE((step >= -5 && step <= -1) || step == -12) << n.out;
            }
            // Three notes within a whole tone become one slide note; four do not.
            const HarnessNote* three = OutputOf(run, kThreeRun, 64);
            if (up > 0) {
                ASSERT_TRUE(three);
                EXPECT_EQ(three->code, up);
                EXPECT_GE(three->out.length, OutTicks(run, 3 * 240 - 30));
                EXPECT_FALSE(OutputOf(run, kThreeRun + 240, 65));
                EXPECT_FALSE(OutputOf(run, kThreeRun + 480, 66));
                for (int i = 0; i < 4; ++i) EXPECT_TRUE(OutputOf(run, kFourRun + 240 * i, i % 2 ? 65 : 64)) << i;
            } else if (!row.Has("bends")) {
                // No slide code and no bends ("03"): the run stays three notes.
                for (int i = 0; i < 3; ++i) EXPECT_TRUE(OutputOf(run, kThreeRun + 240 * i, 64 + i)) << i;
            }
        }
        // Every zone of the script is reached over the draws.
        for (const auto& [code, zone] : row.zones) EXPECT_TRUE(codesSeen.count(code)) << "code " << code;
        if (row.Code("mute") > 0) EXPECT_GT(shortMuted, 0) << shortNotes;
    }
}

TEST(ScriptGuitar, KeysFrom96AreErasedOrPlayedWholeOnTheSongsVoice) {
    const Bytes song = NoteSong(HighNotes());
    for (const GuitarRow& row : GuitarRows()) {
        SCOPED_TRACE(row.name);
        const scriptharness::Run run = Convert(song, row.name, kDraws[0]);
        ASSERT_EQ(run.result, 1) << run.message;
        EXPECT_TRUE(EveryNoteAccountedFor(run));
        int high = 0;
        for (const HarnessNote& n : run.notes) high += n.fromInput && n.out.key >= 96;
        const auto programs = run.out.Of(0, 0xC0);
        if (row.Has("highKey")) {
            // The run plays whole: the song's voice (program 0: the song sets none)
            // from its start, which at tick 0 is that tick (never before the song),
            // after the target's own setting there; the target's voice again after
            // the run's last chord, before the next note.
            EXPECT_EQ(high, 3);
            ASSERT_EQ(programs.size(), 3u);
            EXPECT_EQ(programs[0]->data1, 25);
            EXPECT_EQ(programs[1]->data1, 0);
            EXPECT_EQ(programs[1]->time, DWORD(run.shift));
            EXPECT_EQ(programs[2]->data1, 25);
            EXPECT_GT(programs[2]->time, OutTicks(run, 240) + run.shift);
            EXPECT_LT(programs[2]->time, OutTicks(run, 960) + run.shift);
        } else {
            EXPECT_EQ(high, 0);
            EXPECT_EQ(run.droppedNotes, 3);
            EXPECT_EQ(programs.size(), 1u);
        }
        // No note from 96 up is created either.
        for (const HarnessNote& n : run.notes) EXPECT_TRUE(n.fromInput || n.out.key < 96) << n.out;
    }
}

// Every expression text the rule run hands on.
struct GuitarRunTexts : CArticExpReceiver {
    std::vector<std::string> texts;
    int LoadExpEvnt(CString text, ULONG evntNo, CArticExpTrk*, CArticExpBlk* blk) override {
        texts.push_back(text.str());
        blk->AddTail(new CArticExpEvnt(blk, evntNo));
        return 0;
    }
};

TEST(ScriptGuitar, TheSongsVoiceForAHighRunAtTickZeroIsSetAtTickZero) {
    const AlgorithmScriptLibrary library;
    for (const GuitarRow& row : GuitarRows()) {
        if (!row.Has("highKey")) continue;
        SCOPED_TRACE(row.name);
        CArticErr::Clear();
        CArticWrk wrk;
        CArticRul rul(&wrk);
        CArticExp exp;
        CArticLoadMgr loader(&wrk, &rul);
        ASSERT_EQ(LoadAlgorithmScript(*library.Find(CString(row.name.c_str())), 0, loader), 0);
        wrktest::AddBlock(wrktest::AddTrack(wrk, 0, 0));
        CArticWrkBlk* blk = wrktest::AddBlock(wrktest::AddTrack(wrk, 1));
        // A run at tick 0, a low note, a run at 1920.
        const struct {
            INT64 time;
            BYTE key;
        } notes[] = {{0, 95}, {0, 96}, {0, 100}, {960, 64}, {1920, 60}, {1920, 96}};
        for (size_t i = 0; i < std::size(notes); ++i) wrktest::AddNote(blk, ULONG(i + 1), notes[i].time, notes[i].key, 240, 80);
        CArticCreExpMgr mgr(&wrk, &exp, &rul);
        GuitarRunTexts receiver;
        mgr.SetProcDialog(&receiver);
        ASSERT_EQ(mgr.Create(), 0);
        // The change to the song's voice: on the run's first note, one tick before
        // it, but never before the song's first tick.
        std::map<std::string, std::string> offsetOf;
        for (const std::string& t : receiver.texts) {
            if (t.rfind("CArticExpInitPro3(", 0) != 0) continue;
            const size_t close = t.find('}');
            // The start's text comes first (its set runs before the end's).
            offsetOf.emplace(t.substr(18, close - 17), t.substr(close + 2, t.find(',', close + 2) - close - 2));
        }
        EXPECT_EQ(offsetOf["1{:w1}"], "0");
        EXPECT_EQ(offsetOf["1{:w5}"], "-1");
    }
    CArticErr::Clear();
}

// The pitch-bend events of a channel as (time, value).
std::vector<std::pair<DWORD, int>> BendsOf(const phrasorcoretest::Smf& smf, int channel) {
    std::vector<std::pair<DWORD, int>> out;
    for (const auto* e : smf.Of(channel, 0xE0)) out.push_back({e->time, e->Bend()});
    return out;
}

TEST(ScriptGuitar, TheAmpGuitarBendsJoinedNotesAndVibratesLongOnes) {
    const Bytes song = NoteSong(MainNotes());
    for (const Draw& draw : {kDraws[0], kDraws[3], kDraws[4]}) {
        SCOPED_TRACE(draw.name);
        const scriptharness::Run run = Convert(song, "05", draw);
        ASSERT_EQ(run.result, 1) << run.message;
        EXPECT_TRUE(EveryNoteAccountedFor(run));
        const auto bends = BendsOf(run.out, 0);
        // The Vib3 shape under the long note from 5040 (1200 ticks): from a grouping
        // time after its start, moving up and down.
        std::set<int> levels;
        for (const auto& b : bends)
            if (b.first >= OutTicks(run, 5040 + 240) + run.shift && b.first <= OutTicks(run, 5040 + 1200) + run.shift)
                levels.insert(b.second);
        EXPECT_GE(levels.size(), 4u);
        // The legato step +1 (6720 to 6960) is one note bent up: the second note is gone.
        EXPECT_TRUE(OutputOf(run, kLegatoStart, 60));
        EXPECT_FALSE(OutputOf(run, kLegatoStart + 240, 61));
        // Three notes rising by semitones are one note slurred by bend steps.
        const HarnessNote* slur = OutputOf(run, kThreeRun, 64);
        ASSERT_TRUE(slur);
        EXPECT_TRUE(slur->Has("CArticExpArraySlurPb"));
        EXPECT_FALSE(OutputOf(run, kThreeRun + 240, 65));
        EXPECT_FALSE(OutputOf(run, kThreeRun + 480, 66));
        // No codes of hammer-ons or slides, no ties.
        for (const HarnessNote& n : run.notes) {
            EXPECT_TRUE(n.code == -1 || n.code == 0 || n.code == 2 || n.code == 5) << n.out;
            EXPECT_FALSE(n.Has("CArticExpArrayTie")) << n.out;
        }
    }
}

TEST(ScriptGuitar, TheAmpGuitarLeavesASongsOwnBendsAsEmptyDoes) {
    const Bytes bent = phrasorcoretest::Song("pitchBendTest.mid");
    const scriptharness::Run empty = Convert(bent, "Empty", kDraws[0], 1);
    ASSERT_EQ(empty.result, 1) << empty.message;
    ASSERT_FALSE(BendsOf(empty.in, 1).empty());
    for (BYTE option : {BYTE(0), BYTE(1)}) {
        SCOPED_TRACE(int(option));
        scriptharness::Target target;
        target.ticks = 240;
        target.bendOption = option != 0;
        const scriptharness::Run run =
            scriptharness::ConvertChannel(bent, 1, scriptharness::LibraryScript("05"), target, 1);
        ASSERT_EQ(run.result, 1) << run.message;
        EXPECT_EQ(BendsOf(run.out, 1), BendsOf(empty.out, 1));
    }
}

TEST(ScriptGuitar, NotesAreCreatedWhereTheirRulesSay) {
    const Bytes song = NoteSong(MainNotes());
    // Start (built-song ticks), key and length of each created note; the velocity
    // is the row's strum or noise velocity.
    const struct {
        const char* set;
        DWORD start;
        int key;
        DWORD length;
        const char* velocity;
    } created[] = {
        {"VexaStrum", kChordAfterRest - 120, 45, 30, "strumVelo"},
        {"VexaRestStrum", kChordAfterRest + 400 + 120, 45, 30, "strumVelo"},
        {"HalfGrpBodyTap", 14400 - 120, 62, 20, "noiseVelo"},
        {"FretNoise4", 5040 + 1200 + 10, 69, 20, "noiseVelo"},
        {"VexaGhostPick", 3120 - 105, 50, 20, "noiseVelo"},
        {"AccentBodyStrum", kAccentChord, 40, 30, "strumVelo"},
        {"VexaTap2_4", kAccentChord + 480, 40, 20, "noiseVelo"},
    };
    for (const GuitarRow& row : GuitarRows()) {
        SCOPED_TRACE(row.name);
        const scriptharness::Run run = Convert(song, row.name, kDraws[3]);
        ASSERT_EQ(run.result, 1) << run.message;
        for (const auto& c : created) {
            const auto found = std::find_if(run.notes.begin(), run.notes.end(), [&](const HarnessNote& n) {
                return !n.fromInput && n.out.key == c.key && n.out.start == OutTicks(run, c.start) + run.shift;
            });
            ASSERT_NE(found, run.notes.end()) << c.set;
            EXPECT_EQ(found->out.length, OutTicks(run, c.length)) << c.set;
            EXPECT_EQ(found->out.velocity, std::atoi(row.switches.at(c.velocity).c_str())) << c.set;
        }
    }
}

TEST(ScriptGuitar, DeadNotesOf01MapTheWorkingVelocityOntoTheirZone) {
    // Very short notes apart: under the high forced draw each is dead.
    const Bytes song = NoteSong({{480, 50, 127, 10}, {960, 53, 1, 10}});
    const scriptharness::Run run = Convert(song, "01", kDraws[4]);
    ASSERT_EQ(run.result, 1) << run.message;
    std::map<int, int> byKey;
    for (const HarnessNote& n : run.notes)
        if (n.fromInput) {
            EXPECT_EQ(n.code, 1) << n.out;
            byKey[n.in.key] = n.out.velocity;
        }
    // The velocity curve and the map: 127 ends at 75, 1 at the zone's low end 61.
    EXPECT_EQ(byKey[50], 75);
    EXPECT_EQ(byKey[53], 61);
}

TEST(ScriptGuitar, AForcedDrawChangesWhichShortNotesAreMutedNotHowMany) {
    std::vector<InNote> notes;
    for (int i = 0; i < 12; ++i) notes.push_back({DWORD(480 + 480 * i), 50 + (i % 5), 90, 100});
    const Bytes song = NoteSong(notes);
    std::vector<std::set<DWORD>> picked;
    for (const Draw& draw : {kDraws[3], kDraws[4]}) {
        const scriptharness::Run run = Convert(song, "02", draw);
        ASSERT_EQ(run.result, 1) << run.message;
        std::set<DWORD> muted;
        for (const HarnessNote& n : run.notes)
            if (n.fromInput && n.code == 2) muted.insert(n.in.start);
        picked.push_back(muted);
    }
    // Twelve notes of 100 ticks: 0.6 x 140 / 240 = 0.35 each, 4.2 in all.
    for (const auto& p : picked) EXPECT_TRUE(p.size() == 4u || p.size() == 5u) << p.size();
    EXPECT_NE(picked[0], picked[1]);
}

TEST(ScriptGuitar, ABendDoesNotChangeTheCodesOfAPbProcOneScript) {
    const Bytes plain = NoteSong(MainNotes());
    // The same song with a bend held through the legato steps.
    Bytes bent = plain;
    {
        std::vector<InNote> n = MainNotes();
        Bytes track;
        const Bytes body(plain.begin() + 22, plain.end() - 4);
        (void)n;
        track.insert(track.end(), {0x00, 0xE0, 0x00, 0x50});  // a bend up at the start
        track.insert(track.end(), body.begin(), body.end());
        track.insert(track.end(), smfbuild::kEot.begin(), smfbuild::kEot.end());
        bent = smfbuild::Cat({smfbuild::Header(0, 1, 480), smfbuild::Chunk("MTrk", track)});
    }
    for (const char* script : {"01", "02", "04"}) {
        SCOPED_TRACE(script);
        const scriptharness::Run a = Convert(plain, script, kDraws[3]);
        const scriptharness::Run b = Convert(bent, script, kDraws[3]);
        ASSERT_EQ(a.result, 1);
        ASSERT_EQ(b.result, 1);
        std::map<std::pair<DWORD, int>, LONG> codesA, codesB;
        for (const HarnessNote& n : a.notes)
            if (n.fromInput) codesA[{SongTime(a, n.in.start), n.in.key}] = n.code;
        for (const HarnessNote& n : b.notes)
            if (n.fromInput) codesB[{SongTime(b, n.in.start), n.in.key}] = n.code;
        EXPECT_EQ(codesA, codesB);
    }
}

TEST(ScriptGuitar, CorpusSongs) {
    const struct {
        const char* song;
        int channel;
    } songs[] = {{"TheEntertainer.mid", 0}, {"bach_846.mid", 2}, {"claire_de_lune.mid", 0}};
    const std::vector<GuitarRow> rows = GuitarRows();
    for (const auto& s : songs) {
        const Bytes song = phrasorcoretest::Song(s.song);
        for (const char* script : {"01", "01_1", "01_2", "02", "04", "05", "08_00_09"}) {
            SCOPED_TRACE(std::string(s.song) + " " + script);
            const GuitarRow& row = *std::find_if(rows.begin(), rows.end(), [&](const GuitarRow& r) { return r.name == script; });
            const scriptharness::Run run = Convert(song, script, kDraws[0], s.channel);
            ASSERT_EQ(run.result, 1) << run.message;
            EXPECT_TRUE(EveryNoteAccountedFor(run));
            std::set<LONG> codes;
            for (const HarnessNote& n : run.notes) {
                if (!n.fromInput) continue;
                codes.insert(n.code);
                const auto zone = row.zones.find(int(n.code));
                ASSERT_NE(zone, row.zones.end()) << n.out << " code " << n.code;
                EXPECT_TRUE(n.out.velocity >= zone->second.first && n.out.velocity <= zone->second.second) << n.out;
            }
            if (std::string(script) != "05") EXPECT_GE(codes.size(), 3u);
            // Keys from 96 (a 97 in "claire_de_lune.mid") play on the song's voice or are erased.
            int high = 0, highIn = 0;
            for (const HarnessNote& n : run.notes) high += n.fromInput && n.out.key >= 96;
            for (const Note& n : phrasorcoretest::NotesOf(run.in, s.channel)) highIn += n.key >= 96;
            EXPECT_EQ(high, row.Has("highKey") ? highIn : 0);
            for (int ch : phrasorcoretest::ChannelsWithNotes(run.in))
                if (ch != s.channel) EXPECT_TRUE(phrasorcoretest::SameNotes(run.in, run.out, ch, run.shift)) << ch;
        }
    }
}

namespace {

// The output note of an input note, by the input's start (built-song ticks) and key.
const HarnessNote& Out(const scriptharness::Run& run, DWORD start, int key) {
    static const HarnessNote none;
    const HarnessNote* n = OutputOf(run, start, key);
    return n ? *n : none;
}

}  // namespace

TEST(ScriptGuitar, AFlatPartIsAccentedOnTheBeatAndOnItsSyncopations) {
    // One key at one velocity (a sequenced part): a note on the beat, one on the
    // off-beat eighth, a syncopation (off the eighth grid, held over the next
    // grid line), then the beat again. With a louder note added the part is not
    // flat and nothing is accented.
    const std::vector<InNote> flat = {{480, 64, 80, 240}, {1200, 64, 80, 240}, {1800, 64, 80, 400}, {2880, 64, 80, 240}};
    std::vector<InNote> shaped = flat;
    shaped.push_back({3840, 64, 100, 240});
    for (const char* script : {"01", "02", "03", "04", "05"}) {
        SCOPED_TRACE(script);
        for (const Draw& draw : kDraws) {
            SCOPED_TRACE(draw.name);
            const scriptharness::Run a = Convert(NoteSong(flat), script, draw);
            ASSERT_EQ(a.result, 1) << a.message;
            for (DWORD t : {480u, 1200u, 1800u, 2880u}) ASSERT_EQ(Out(a, t, 64).code, 0) << t;
            EXPECT_GT(Out(a, 480, 64).out.velocity, Out(a, 1200, 64).out.velocity);
            EXPECT_GT(Out(a, 1800, 64).out.velocity, Out(a, 1200, 64).out.velocity);
            EXPECT_EQ(Out(a, 480, 64).out.velocity, Out(a, 2880, 64).out.velocity);
            const scriptharness::Run b = Convert(NoteSong(shaped), script, draw);
            ASSERT_EQ(b.result, 1) << b.message;
            EXPECT_EQ(Out(b, 480, 64).out.velocity, Out(b, 1200, 64).out.velocity);
            EXPECT_EQ(Out(b, 1800, 64).out.velocity, Out(b, 1200, 64).out.velocity);
        }
    }
}

TEST(ScriptGuitar, AnUpStrokeRightAfterADownStrokeIsLighter) {
    // Down strokes on the grid at 480 and 2400; an up stroke 120 ticks after the
    // first, and one after a rest. Same chord, same velocity, long enough to ring.
    std::vector<InNote> n;
    for (DWORD t : {480u, 600u, 2400u, 1560u})
        for (int k : {52, 55, 59}) n.push_back({t, k, 90, 120});
    const Bytes song = NoteSong(n);
    for (const GuitarRow& row : GuitarRows()) {
        SCOPED_TRACE(row.name);
        const scriptharness::Run run = Convert(song, row.name, kDraws[3]);
        ASSERT_EQ(run.result, 1) << run.message;
        // The up stroke's first string (the highest) against the lone up stroke's.
        const HarnessNote& paired = Out(run, 600, 59);
        const HarnessNote& alone = Out(run, 1560, 59);
        ASSERT_EQ(paired.code, alone.code);
        EXPECT_LT(paired.out.velocity, alone.out.velocity);
    }
}

TEST(ScriptGuitar, ABlockChordKeepsSixStringsLowestFiveAndTheTop) {
    std::vector<InNote> n;
    for (int k : {40, 45, 50, 55, 59, 64, 67, 71}) n.push_back({480, k, 90, 480});
    const Bytes song = NoteSong(n);
    for (const GuitarRow& row : GuitarRows()) {
        SCOPED_TRACE(row.name);
        const scriptharness::Run run = Convert(song, row.name, kDraws[0]);
        ASSERT_EQ(run.result, 1) << run.message;
        EXPECT_TRUE(EveryNoteAccountedFor(run));
        std::vector<int> keys;
        for (const HarnessNote& h : run.notes)
            if (h.fromInput) keys.push_back(h.in.key);
        std::sort(keys.begin(), keys.end());
        // The 12-string's courses are not six single strings: it keeps the chord.
        if (row.name == "03") EXPECT_EQ(keys, (std::vector<int>{40, 45, 50, 55, 59, 64, 67, 71}));
        else EXPECT_EQ(keys, (std::vector<int>{40, 45, 50, 55, 59, 71}));
    }
}

TEST(ScriptGuitar, VoicingRepeatsAndEndings) {
    // A dyad of bass and melody; a treble tremolo on one key every 60 ticks; a low
    // chug of eighths on one key, louder (the part is not flat); an arpeggio left
    // ringing; a long high closing note.
    std::vector<InNote> n = {{480, 48, 80, 480}, {480, 64, 80, 480}};
    for (int i = 0; i < 8; ++i) n.push_back({DWORD(1920 + 60 * i), 67, 80, 240});
    for (int i = 0; i < 6; ++i) n.push_back({DWORD(3840 + 240 * i), 45, 99, 200});
    for (const InNote& x : std::vector<InNote>{{5760, 48, 80, 900}, {5880, 55, 80, 780}, {6000, 60, 80, 660}, {6120, 64, 80, 540}})
        n.push_back(x);
    n.push_back({6720, 76, 90, 720});
    const Bytes song = NoteSong(n);
    for (const GuitarRow& row : GuitarRows()) {
        SCOPED_TRACE(row.name);
        for (const Draw& draw : kDraws) {
            SCOPED_TRACE(draw.name);
            const scriptharness::Run run = Convert(song, row.name, draw);
            ASSERT_EQ(run.result, 1) << run.message;
            // Fingerstyle nylon and steel voice the melody above the bass.
            const HarnessNote &bass = Out(run, 480, 48), &top = Out(run, 480, 64);
            ASSERT_EQ(bass.code, top.code);
            if (row.Has("melodyTop")) EXPECT_GT(top.out.velocity, bass.out.velocity);
            else EXPECT_EQ(top.out.velocity, bass.out.velocity);
            // Tremolo: the notes on the 120-tick grid stand out from those between
            // (the first and the last, which ring on, left aside).
            for (int i = 2; i < 6; i += 2) {
                const HarnessNote &on = Out(run, 1920 + 60 * i, 67), &between = Out(run, 1980 + 60 * i, 67);
                ASSERT_EQ(on.code, between.code) << i;
                if (row.Has("tremolo")) EXPECT_GT(on.out.velocity, between.out.velocity) << i;
                else EXPECT_EQ(on.out.velocity, between.out.velocity) << i;
            }
            // The chug: every repeat muted, whatever the draw.
            for (int i = 1; i < 6; ++i)
                if (row.Code("mute") > 0) EXPECT_EQ(Out(run, 3840 + 240 * i, 45).code, row.Code("mute")) << i;
            // The arpeggio's later notes are softer than the thumb's first.
            const HarnessNote& thumb = Out(run, 5760, 48);
            for (const auto& [t, k] : {std::make_pair(5880, 55), std::make_pair(6000, 60), std::make_pair(6120, 64)}) {
                ASSERT_EQ(Out(run, t, k).code, thumb.code) << k;
                if (row.Has("arpeggio")) EXPECT_LT(Out(run, t, k).out.velocity, thumb.out.velocity) << k;
                else EXPECT_EQ(Out(run, t, k).out.velocity, thumb.out.velocity) << k;
            }
            // The closing note rings as a harmonic.
            if (row.Code("harm") > 0) EXPECT_EQ(Out(run, 6720, 76).code, row.Code("harm"));
        }
    }
}

TEST(ScriptGuitar, JoinedArticulationsInARowLoseTheirPick) {
    // Two hammer-ons in a row (+2, +2), two slides in a row (+4, +4), and a step
    // down into a long note after a short one. At full velocity, so that the
    // narrowest zones still show the difference.
    std::vector<InNote> n = Legato(480, {60, 62, 64}, 127);
    for (const InNote& x : Legato(2400, {52, 56, 60}, 127)) n.push_back(x);
    n.push_back({4320, 64, 127, 240});
    n.push_back({4560, 62, 127, 480});
    n.push_back({5040, 55, 127, 240});
    const Bytes song = NoteSong(n);
    for (const GuitarRow& row : GuitarRows()) {
        const int ham = row.Code("ham"), up = row.Code("slideUp"), down = row.Code("slideDown");
        if (ham < 0) continue;
        SCOPED_TRACE(row.name);
        const scriptharness::Run run = Convert(song, row.name, kDraws[3]);
        ASSERT_EQ(run.result, 1) << run.message;
        ASSERT_EQ(Out(run, 720, 62).code, ham);
        ASSERT_EQ(Out(run, 960, 64).code, ham);
        // A tap is struck anew.
        if (row.Has("tap")) EXPECT_EQ(Out(run, 960, 64).out.velocity, Out(run, 720, 62).out.velocity);
        else EXPECT_LT(Out(run, 960, 64).out.velocity, Out(run, 720, 62).out.velocity);
        ASSERT_EQ(Out(run, 2640, 56).code, up);
        ASSERT_EQ(Out(run, 2880, 60).code, up);
        EXPECT_LT(Out(run, 2880, 60).out.velocity, Out(run, 2640, 56).out.velocity);
        if (down > 0) EXPECT_EQ(Out(run, 4560, 62).code, down);
    }
}

TEST(ScriptGuitar, TheAmpGuitarsGesturesByTheirRules) {
    // Each gesture alone: the notes, the note the gesture joins into the first
    // (none for a single-note gesture), its class, where its movement ends (song
    // ticks) and the level there, in semitones at the script's range of 12.
    struct Gesture {
        const char* set;
        std::vector<InNote> notes;
        DWORD joined;  // start of the joined note; 0: none
        const char* cls;
        DWORD end;
        int level;
    };
    const Gesture gestures[] = {
        // up a tone and back in 60 ticks each
        {"choUpUpDn", {{480, 60, 90, 240}, {720, 62, 90, 240}, {960, 60, 90, 240}, {1920, 50, 90, 240}}, 720, "CArticExpPitchGtrBend", 1020, 0},
        // a bent note let down in two steps
        {"choDnDn", {{480, 64, 90, 240}, {720, 62, 90, 240}, {960, 60, 90, 240}, {1920, 50, 90, 240}}, 720, "CArticExpPitchGtrBend", 1020, -4},
        // two short notes: a quick bend of 30 ticks
        {"choSameSame", {{480, 60, 90, 100}, {580, 61, 90, 100}, {1920, 50, 90, 240}}, 580, "CArticExpPitchGtrBend", 610, 1},
        // a bend before a rest: slow, 120 ticks
        {"choSameRest", {{480, 60, 90, 240}, {720, 62, 90, 240}, {1920, 50, 90, 240}}, 720, "CArticExpPitchGtrBend", 840, 2},
        // the same bend going on: 60 ticks
        {"choSameUp", {{480, 60, 90, 240}, {720, 62, 90, 240}, {960, 50, 90, 240}}, 720, "CArticExpPitchGtrBend", 780, 2},
        // a long note let down: 120 ticks
        {"choDown", {{480, 64, 90, 480}, {960, 62, 90, 240}, {1200, 50, 90, 240}}, 960, "CArticExpPitchGtrBend", 1080, -2},
        // a slide out of a long note: 120 ticks
        {"choLong", {{480, 60, 90, 480}, {960, 64, 90, 240}, {1200, 50, 90, 240}}, 960, "CArticExpPitchGtrSlide", 1080, 4},
        // a fourth: 100 ticks
        {"cho4Up", {{480, 60, 90, 240}, {720, 65, 90, 240}, {960, 50, 90, 240}}, 720, "CArticExpPitchGtrSlide", 820, 5},
        {"choSameLong", {{480, 60, 90, 240}, {720, 64, 90, 240}, {960, 50, 90, 240}}, 720, "CArticExpPitchGtrSlide", 780, 4},
        // after two beats of rest a long note slides in over 80 ticks, after one beat over 40
        {"StartSlide", {{0, 50, 90, 240}, {1440, 64, 90, 960}}, 0, "CArticExpPitchSlide2", 1520, 0},
        {"choStart", {{0, 50, 90, 240}, {960, 64, 90, 480}}, 0, "CArticExpPitchSlide2", 1000, 0},
    };
    auto semitones = [](int bend) { return double(bend - 8192) * 12 / 8192; };
    for (const Gesture& g : gestures) {
        SCOPED_TRACE(g.set);
        const scriptharness::Run run = Convert(NoteSong(g.notes), "05", kDraws[0]);
        ASSERT_EQ(run.result, 1) << run.message;
        EXPECT_TRUE(EveryNoteAccountedFor(run));
        const InNote& first = g.notes[g.joined ? 0 : 1];
        const HarnessNote* kept = OutputOf(run, first.start, first.key);
        ASSERT_TRUE(kept);
        EXPECT_TRUE(kept->Has(g.cls));
        if (g.joined) {
            EXPECT_FALSE(std::any_of(run.notes.begin(), run.notes.end(), [&](const HarnessNote& n) {
                return n.fromInput && n.in.start == OutTicks(run, g.joined) + run.shift;
            }));
        }
        // The last bend inside the kept note: where the movement ends, at its level.
        std::pair<DWORD, int> last{0, 8192};
        for (const auto& b : BendsOf(run.out, 0))
            if (b.first >= kept->out.start && b.first < kept->out.start + kept->out.length) last = b;
        EXPECT_EQ(SongTime(run, last.first), g.end);
        EXPECT_NEAR(semitones(last.second), g.level, 0.01);
    }
    // The slide-ins are heard from 2 and from 5 semitones below the note.
    for (const auto& [notes, below] : {std::make_pair(gestures[9].notes, -5), std::make_pair(gestures[10].notes, -2)}) {
        const scriptharness::Run run = Convert(NoteSong(notes), "05", kDraws[0]);
        const auto bends = BendsOf(run.out, 0);
        const auto at = std::find_if(bends.begin(), bends.end(),
                                     [&](const auto& b) { return b.first == OutTicks(run, notes[1].start) + run.shift; });
        ASSERT_NE(at, bends.end());
        EXPECT_NEAR(semitones(at->second), below, 0.01);
    }
    // Feedback: a note of a bar or more vibrates from its middle on.
    const scriptharness::Run held = Convert(NoteSong({{480, 64, 90, 1920}}), "05", kDraws[0]);
    ASSERT_EQ(held.result, 1) << held.message;
    std::set<int> levels;
    DWORD firstBend = 0;
    for (const auto& b : BendsOf(held.out, 0)) {
        if (!firstBend) firstBend = b.first;
        levels.insert(b.second);
    }
    EXPECT_EQ(SongTime(held, firstBend), 480u + 960u);
    EXPECT_GE(levels.size(), 8u);
}

TEST(ScriptGuitar, GhostsRakesAndShortUpStrokesAreMuted) {
    // A soft short note, a short note just before a down stroke, a short up
    // stroke: muted under every draw. (The loud short note and the longer note
    // before a stroke are left to the chance of short notes; a ringing up stroke
    // is never muted.)
    const std::vector<InNote> n = {
        {480, 57, 15, 60},    {1440, 57, 90, 60},                                           // ghost, not
        {2300, 50, 90, 40},   {2400, 52, 90, 400}, {2400, 55, 90, 400}, {2400, 59, 90, 400},  // rake
        {3740, 50, 90, 200},  {3840, 52, 90, 400}, {3840, 55, 90, 400}, {3840, 59, 90, 400},  // not
        {5160, 52, 90, 80},   {5160, 55, 90, 80},  {5160, 59, 90, 80},                        // short up stroke
        {6600, 52, 90, 400},  {6600, 55, 90, 400}, {6600, 59, 90, 400},                       // ringing
    };
    const Bytes song = NoteSong(n);
    EveryRowAndDraw(song, {"mute"}, nullptr, [&](const GuitarRow& row, const scriptharness::Run& run) {
        const int mute = row.Code("mute");
        EXPECT_EQ(Out(run, 480, 57).code, mute);
        // (a rake the chance of very short notes took first is dead)
        const LONG rake = Out(run, 2300, 50).code;
        EXPECT_TRUE(rake == mute || (rake == row.Code("dead") && rake > 0)) << rake;
        for (int k : {52, 55, 59}) {
            EXPECT_EQ(Out(run, 5160, k).code, mute) << k;
            EXPECT_NE(Out(run, 6600, k).code, mute) << k;
        }
    });
}

TEST(ScriptGuitar, AVeryShortDownStrokeIsAChop) {
    // A down stroke shorter than a quarter grouping time is dead under every
    // draw; a short one past that, and a very short up stroke, are not.
    const std::vector<InNote> n = {
        {960, 52, 90, 50},   {960, 55, 90, 50},   {960, 59, 90, 50},    // chop
        {1920, 52, 90, 100}, {1920, 55, 90, 100}, {1920, 59, 90, 100},  // short, not a chop
        {3000, 52, 90, 50},  {3000, 55, 90, 50},  {3000, 59, 90, 50},   // up stroke
        {3840, 52, 90, 400}, {3840, 55, 90, 400}, {3840, 59, 90, 400},
    };
    const Bytes song = NoteSong(n);
    EveryRowAndDraw(song, {"dead", "mute"}, nullptr, [&](const GuitarRow& row, const scriptharness::Run& run) {
        const int dead = row.Code("dead");
        for (int k : {52, 55, 59}) {
            EXPECT_EQ(Out(run, 960, k).code, dead) << k;
            EXPECT_NE(Out(run, 1920, k).code, dead) << k;
            EXPECT_NE(Out(run, 3000, k).code, dead) << k;
        }
    });
}

TEST(ScriptGuitar, AShortDoubleStopIsMuted) {
    // Both notes of a two-note chord shorter than half a grouping time are
    // muted under every draw, on and off the beat; a ringing one is not.
    const std::vector<InNote> n = {
        {960, 57, 90, 100},  {960, 64, 90, 100},   // short, on the beat
        {1680, 55, 90, 60},  {1680, 62, 90, 60},   // short, off the beat
        {2400, 57, 90, 400}, {2400, 64, 90, 400},  // ringing
    };
    const Bytes song = NoteSong(n);
    EveryRowAndDraw(song, {"mute"}, nullptr, [&](const GuitarRow& row, const scriptharness::Run& run) {
        const int mute = row.Code("mute");
        EXPECT_EQ(Out(run, 960, 57).code, mute);
        EXPECT_EQ(Out(run, 960, 64).code, mute);
        EXPECT_EQ(Out(run, 1680, 55).code, mute);
        EXPECT_EQ(Out(run, 1680, 62).code, mute);
        EXPECT_NE(Out(run, 2400, 57).code, mute);
        EXPECT_NE(Out(run, 2400, 64).code, mute);
    });
}

TEST(ScriptGuitar, AHighLongChordLeftToRingIsChimedAsHarmonics) {
    // Under every draw: harmonics on every note of a high chord of two or three
    // notes held four grouping times that nothing interrupts; not on a chord
    // reaching below 64, one a note starts inside, or a short one.
    const std::vector<InNote> n = {
        {960, 64, 90, 1200},  {960, 69, 90, 1200},                         // two notes
        {3360, 64, 90, 1000}, {3360, 67, 90, 1000}, {3360, 71, 90, 1000},  // three, a stroke
        {5280, 60, 90, 1000}, {5280, 64, 90, 1000}, {5280, 67, 90, 1000},  // too low
        {7200, 64, 90, 1000}, {7200, 69, 90, 1000}, {7700, 76, 90, 200},   // interrupted
        {9600, 64, 90, 500},  {9600, 69, 90, 500},                         // short
    };
    const Bytes song = NoteSong(n);
    const struct {
        DWORD start;
        std::vector<int> keys;
        bool harm;
    } kChords[] = {{960, {64, 69}, true},      {3360, {64, 67, 71}, true}, {5280, {60, 64, 67}, false},
                   {7200, {64, 69}, false},    {9600, {64, 69}, false}};
    EveryRowAndDraw(song, {"harm"}, nullptr, [&](const GuitarRow& row, const scriptharness::Run& run) {
        const int harm = row.Code("harm");
        for (const auto& c : kChords)
            for (int k : c.keys) EXPECT_EQ(Out(run, c.start, k).code == harm, c.harm) << c.start << " " << k;
    });
}

TEST(ScriptGuitar, TheOctaveAboveASlappedNoteIsSlappedToo) {
    // A slapped low note, then: its octave a beat later (slapped), a note a
    // fourth above (not), its octave after a rest of more than a beat (not).
    const std::vector<InNote> n = {
        {960, 40, 110, 300},  {1440, 52, 90, 300},  // octave pop
        {2400, 40, 110, 300}, {2880, 45, 90, 300},  // not an octave
        {3840, 40, 110, 300}, {4800, 52, 90, 300},  // too late
    };
    const Bytes song = NoteSong(n);
    EveryRowAndDraw(song, {"slap"}, nullptr, [&](const GuitarRow& row, const scriptharness::Run& run) {
        const int slap = row.Code("slap");
        for (DWORD t : {960u, 2400u, 3840u}) EXPECT_EQ(Out(run, t, 40).code, slap) << t;
        EXPECT_EQ(Out(run, 1440, 52).code, slap);
        EXPECT_NE(Out(run, 2880, 45).code, slap);
        EXPECT_NE(Out(run, 4800, 52).code, slap);
    });
}

TEST(ScriptGuitar, AShortLowNoteOfAFingerstyleGuitarIsPalmMuted) {
    // Fingerstyle rows: a short single bass note is muted under every draw; one
    // as short in a down stroke is not.
    const std::vector<InNote> n = {
        {960, 40, 90, 100},  {1440, 43, 90, 80},                         // short bass notes
        {1920, 40, 90, 100}, {1920, 47, 90, 100}, {1920, 52, 90, 100},  // a stroke
        {2880, 64, 90, 400},
    };
    const Bytes song = NoteSong(n);
    const int rows = EveryRowAndDraw(song, {"mute"}, "melodyTop", [&](const GuitarRow& row, const scriptharness::Run& run) {
        const int mute = row.Code("mute");
        EXPECT_EQ(Out(run, 960, 40).code, mute);
        EXPECT_EQ(Out(run, 1440, 43).code, mute);
        for (int k : {40, 47, 52}) EXPECT_NE(Out(run, 1920, k).code, mute) << k;
    });
    EXPECT_GT(rows, 0);
}
