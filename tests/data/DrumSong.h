#pragma once
// Drum songs built in code for the drum scripts' tests: hits on channel 10,
// a tempo and a meter at tick 0, 480 ticks per quarter; the drum note sets of
// the targets (tests/fixtures/drum_note_sets.txt) and the set each drum
// script deletes.
#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/SmfBuild.h"

namespace drumsong {

using smfbuild::Bytes;

constexpr int kChannel = 9;  // MIDI channel 10
constexpr DWORD kBeat = 480;

struct Hit {
    DWORD time;
    BYTE key;
    BYTE velocity = 100;
    DWORD length = 60;
};

// Format 0, one track: tempo and meter at 0, then the hits (a note-off
// before a note-on of the same tick).
inline Bytes Song(const std::vector<Hit>& hits, int bpm = 120, BYTE numerator = 4, BYTE denominatorPower = 2) {
    std::vector<smfbuild::TimedEvent> events;
    const DWORD tempo = 60000000u / DWORD(bpm);
    events.push_back({0, 0, {0xFF, 0x51, 0x03, BYTE(tempo >> 16), BYTE(tempo >> 8), BYTE(tempo)}});
    events.push_back({0, 0, {0xFF, 0x58, 0x04, numerator, denominatorPower, 24, 8}});
    for (const Hit& h : hits) {
        events.push_back({h.time, 2, {BYTE(0x90 | kChannel), h.key, h.velocity}});
        events.push_back({h.time + h.length, 1, {BYTE(0x80 | kChannel), h.key, 0}});
    }
    const Bytes track = smfbuild::TimedTrack(std::move(events));
    return smfbuild::Cat({smfbuild::Header(0, 1, 480), smfbuild::Chunk("MTrk", track)});
}

// A note on every key 0..127, key k at tick 240 k.
inline std::vector<Hit> KeyPerTick() {
    std::vector<Hit> hits;
    for (int k = 0; k < 128; ++k) hits.push_back({DWORD(240 * k), BYTE(k), 100, 60});
    return hits;
}

// The five drum note sets by name ("T0".."T4").
inline std::map<std::string, std::set<int>> NoteSets() {
    std::map<std::string, std::set<int>> sets;
    std::ifstream in(std::string(VEXA_FIXTURES) + "/drum_note_sets.txt");
    for (std::string line; std::getline(in, line);) {
        const size_t bar = line.find('|');
        if (line.empty() || line[0] == '#' || bar == std::string::npos) continue;
        std::set<int>& keys = sets[line.substr(0, bar)];
        std::istringstream items(line.substr(bar + 1));
        for (std::string item; std::getline(items, item, ',');) {
            if (item.empty()) continue;
            const size_t dash = item.find('-');
            const int low = std::stoi(item.substr(0, dash));
            const int high = dash == std::string::npos ? low : std::stoi(item.substr(dash + 1));
            for (int k = low; k <= high; ++k) keys.insert(k);
        }
    }
    return sets;
}

// A drum script, the set its rows carry and the program of its first row's kit.
struct DrumScript {
    const char* name;
    const char* noteSet;
    BYTE program;
};

inline const std::vector<DrumScript>& DrumScripts() {
    static const std::vector<DrumScript> scripts = {
        {"127_08_18_1", "T1", 17}, {"127_08_18_2", "T1", 17}, {"127_08_18_3", "T1", 17}, {"127_08_18_4", "T1", 17},
        {"127_08_18_5", "T1", 17}, {"127_08_76_1", "T4", 75}, {"127_08_76_2", "T3", 75}, {"127_08_77_1", "T2", 76},
        {"127_08_77_2", "T2", 76}, {"127_08_77_3", "T2", 76}, {"127_08_77_4", "T2", 76}, {"127_08_77_5", "T2", 76},
        {"Empty", "T0", 17}};
    return scripts;
}

// The hi-hat opening steps' keys (edge 00 .. 99) of the kits and of the brush kit.
constexpr int kKitStepKey = 100;
constexpr int kBrushStepKey = 42;

}  // namespace drumsong
