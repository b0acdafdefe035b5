#pragma once
// Small songs and readings for the gospel-choir and pop-vocal script checks:
// one channel of notes at 480 ticks per quarter (the engine's resolution),
// built with the SMF byte builders; the articulation zones of the transcribed
// zone table; the voice in force at a note-on of a converted song.
#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "tests/SmfBuild.h"
#include "tests/data/ScriptHarness.h"

namespace vocalsongs {

struct SongNote {
    DWORD start;
    BYTE key;
    BYTE velocity;
    DWORD length;
};

// A format-0 song of the notes on channel 0, note-offs ahead of note-ons of
// the same tick.
inline smfbuild::Bytes SongOf(const std::vector<SongNote>& notes) {
    struct Ev {
        DWORD time;
        int order;  // 0 note-off, 1 note-on
        BYTE status, key, velocity;
    };
    std::vector<Ev> events;
    for (const SongNote& n : notes) {
        events.push_back({n.start, 1, 0x90, n.key, n.velocity});
        events.push_back({n.start + n.length, 0, 0x80, n.key, 0});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Ev& a, const Ev& b) { return std::tie(a.time, a.order) < std::tie(b.time, b.order); });
    smfbuild::Bytes track;
    DWORD now = 0;
    for (const Ev& e : events) {
        DWORD delta = e.time - now;
        now = e.time;
        BYTE bytes[5];
        int n = 0;
        bytes[n++] = BYTE(delta & 0x7F);
        while (delta >>= 7) bytes[n++] = BYTE(0x80 | (delta & 0x7F));
        while (n) track.push_back(bytes[--n]);
        track.insert(track.end(), {e.status, e.key, e.velocity});
    }
    track.insert(track.end(), smfbuild::kEot.begin(), smfbuild::kEot.end());
    return smfbuild::Cat({smfbuild::Header(0, 1, 480), smfbuild::Chunk("MTrk", track)});
}

// The family song: eight block chords a half beat long, one beat apart, soft
// to loud; a legato line; two long notes joined; a soft and a loud legato
// phrase; a note far below and one far above every vocal range. Each part
// starts after a rest of at least a beat.
inline std::vector<SongNote> FamilyNotes() {
    std::vector<SongNote> notes;
    const BYTE chordVelocity[] = {20, 40, 60, 80, 100, 120, 127, 90};
    for (int c = 0; c < 8; ++c)
        for (BYTE key : {60, 64, 67}) notes.push_back({DWORD(c * 480), BYTE(key + (c % 2) * 2), chordVelocity[c], 240});
    DWORD t = 4800;
    for (BYTE key : {60, 62, 64, 65, 67, 69}) notes.push_back({(t += 480) - 480, key, 85, 480});
    notes.push_back({8640, 72, 60, 1920});
    notes.push_back({10560, 67, 60, 1920});
    t = 13440;
    for (BYTE key : {62, 64, 65, 67}) notes.push_back({(t += 480) - 480, key, 15, 480});
    t = 16320;
    for (BYTE key : {72, 71, 69, 67}) notes.push_back({(t += 480) - 480, key, 125, 480});
    notes.push_back({19200, 24, 70, 480});
    notes.push_back({20160, 100, 70, 480});
    return notes;
}

// The zones of a script by code, from the transcribed zone table.
inline std::map<int, std::pair<int, int>> ZonesOf(const std::string& script) {
    std::map<int, std::pair<int, int>> zones;
    std::ifstream in(std::string(VEXA_FIXTURES) + "/articulation_zones.txt");
    const std::regex zone(R"(([0-9]+):([0-9]+)-([0-9]+))");
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, script.size() + 1, script + "|") != 0) continue;
        for (std::sregex_iterator i(line.begin() + long(script.size()), line.end(), zone), end; i != end; ++i)
            zones[std::stoi((*i)[1])] = {std::stoi((*i)[2]), std::stoi((*i)[3])};
    }
    return zones;
}

// Bank MSB, bank LSB and program in force on the channel at a note-on: the
// last of each before the first note-on of that tick and key in the file.
struct Voice {
    int msb = -1, lsb = -1, program = -1;
    bool found = false;
};

inline Voice VoiceAt(const phrasorcoretest::Smf& smf, int channel, DWORD start, int key) {
    Voice v;
    for (const phrasorcoretest::SmfEvent& e : smf.events) {
        if (e.Channel() != channel) continue;
        if (e.IsNoteOn() && e.time == start && e.data1 == key) {
            v.found = true;
            return v;
        }
        if (e.Kind() == 0xB0 && e.data1 == 0) v.msb = e.data2;
        if (e.Kind() == 0xB0 && e.data1 == 32) v.lsb = e.data2;
        if (e.Kind() == 0xC0) v.program = e.data1;
    }
    return v;
}

// Where a note stands after the notes before it, in engine ticks (480 per
// quarter): the rest from the end of the latest-ending note that starts
// earlier (negative while one sounds), and whether one of those notes ends
// within 1/8 beat (60 ticks) of its start, before or after (a handover);
// the channel's first notes have neither.
struct Before {
    bool first = true;
    long rest = 0;
    bool handover = false;
};

inline std::vector<Before> BeforeEach(const std::vector<scriptharness::HarnessNote>& notes, WORD division) {
    std::vector<Before> out(notes.size());
    for (size_t i = 0; i < notes.size(); ++i) {
        for (const auto& o : notes) {
            if (o.in.start >= notes[i].in.start) continue;
            const long gap = (long(notes[i].in.start) - long(o.in.start + o.in.length)) * 480 / division;
            out[i].rest = out[i].first ? gap : std::min(out[i].rest, gap);
            out[i].first = false;
            out[i].handover = out[i].handover || (gap >= -60 && gap <= 60);
        }
    }
    return out;
}

// The invariants of every vocal script on a converted channel: every input
// note comes out once, in the zone of its code, its key moved by whole octaves
// into low..high (up only from below, down only from above, by the fewest
// octaves unless a note of the same start already holds that key), and no two
// notes of one key overlap.
inline ::testing::AssertionResult KeepsNotesZonesAndRange(const scriptharness::Run& run, const std::string& script,
                                                          int low, int high, size_t inputNotes) {
    if (run.result != 1) return ::testing::AssertionFailure() << "not converted: " << run.message;
    if (run.droppedNotes != 0 || run.notes.size() != inputNotes || run.inputNotes != int(inputNotes))
        return ::testing::AssertionFailure() << run.notes.size() << " notes out, " << run.droppedNotes << " dropped";
    const auto zones = ZonesOf(script);
    for (const scriptharness::HarnessNote& n : run.notes) {
        if (!n.fromInput) return ::testing::AssertionFailure() << "note " << n.out << " from no input note";
        const auto zone = zones.find(int(n.code));
        if (zone == zones.end() || n.out.velocity < zone->second.first || n.out.velocity > zone->second.second)
            return ::testing::AssertionFailure() << "note " << n.out << " of code " << n.code << " off its zone";
        const int move = n.out.key - n.in.key;
        const bool inRange = n.out.key >= low && n.out.key <= high;
        const bool fewest = n.in.key < low ? n.out.key - 12 < low : n.out.key + 12 > high;
        bool ok = move % 12 == 0 && inRange;
        if (n.in.key >= low && n.in.key <= high) ok = ok && move == 0;
        if (n.in.key < low) ok = ok && move > 0;
        if (n.in.key > high) ok = ok && move < 0;
        if (!ok) return ::testing::AssertionFailure() << "note " << n.out << " from " << n.in << " moved wrongly";
        if (n.in.key < low || n.in.key > high) {
            bool sharedKey = false;  // a note of the same start holds the fewest octaves' key
            for (const scriptharness::HarnessNote& o : run.notes)
                sharedKey = sharedKey || (&o != &n && o.out.start == n.out.start &&
                                          o.out.key == n.out.key + (n.in.key < low ? -12 : 12));
            if (!fewest && !sharedKey)
                return ::testing::AssertionFailure() << "note " << n.out << " from " << n.in << " moved too far";
        }
    }
    std::vector<phrasorcoretest::Note> out;
    for (const scriptharness::HarnessNote& n : run.notes) out.push_back(n.out);
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return std::tie(a.key, a.start) < std::tie(b.key, b.start); });
    for (size_t i = 1; i < out.size(); ++i)
        if (out[i].key == out[i - 1].key && out[i - 1].start + out[i - 1].length > out[i].start)
            return ::testing::AssertionFailure() << "notes " << out[i - 1] << " and " << out[i] << " overlap";
    return ::testing::AssertionSuccess();
}

}  // namespace vocalsongs
