#pragma once
// Small songs for the family scripts, built in code on tests/SmfBuild.h: one
// format-0 track at 480 ticks per quarter with a tempo, the channel's own voice
// (bank and program), a bend range of 12 semitones set by RPN, and the notes
// and bends of a phrase. Also what the converted bytes say about the voice in
// force at each note of a channel.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "SmfBuild.h"
#include "tests/driver/PhrasorCoreSmf.h"

namespace familysongs {

using smfbuild::Bytes;

constexpr int kBeat = 480;

struct SongNote {
    DWORD start, length;
    int key, velocity;
};

struct SongBend {
    DWORD time;
    int value;  // -8192..8191
};

struct Phrase {
    std::vector<SongNote> notes;
    std::vector<SongBend> bends;
    int bpm = 120;
    int channel = 0;
    BYTE msb = 0, lsb = 0, program = 48;  // the song's own voice for the channel
    bool voice = true;                     // false: the song sets no voice
};

// The song's bytes: set-up at tick 0 (tempo, bank, program, bend range), then
// the bends and notes in time order, note-offs before note-ons at one tick.
inline Bytes Song(const Phrase& p) {
    const BYTE ch = BYTE(p.channel & 0x0F);
    std::vector<smfbuild::TimedEvent> events;  // ranks at one tick: 0 set-up, 1 note-off, 2 bend, 3 note-on
    const DWORD tempo = DWORD(60000000 / p.bpm);
    events.push_back({0, 0, {0xFF, 0x51, 0x03, BYTE(tempo >> 16), BYTE(tempo >> 8), BYTE(tempo)}});
    if (p.voice) {
        events.push_back({0, 0, {BYTE(0xB0 | ch), 0, p.msb}});
        events.push_back({0, 0, {BYTE(0xB0 | ch), 32, p.lsb}});
        events.push_back({0, 0, {BYTE(0xC0 | ch), p.program}});
    }
    for (const Bytes& rpn : {Bytes{101, 0}, Bytes{100, 0}, Bytes{6, 12}, Bytes{38, 0}})
        events.push_back({0, 0, {BYTE(0xB0 | ch), rpn[0], rpn[1]}});
    for (const SongBend& b : p.bends) {
        const int v = std::clamp(b.value + 8192, 0, 16383);
        events.push_back({b.time, 2, {BYTE(0xE0 | ch), BYTE(v & 0x7F), BYTE(v >> 7)}});
    }
    for (const SongNote& n : p.notes) {
        events.push_back({n.start, 3, {BYTE(0x90 | ch), BYTE(n.key), BYTE(n.velocity)}});
        events.push_back({n.start + n.length, 1, {BYTE(0x80 | ch), BYTE(n.key), 0}});
    }
    const Bytes track = smfbuild::TimedTrack(std::move(events));
    return smfbuild::Cat({smfbuild::Chunk("MThd", smfbuild::Cat({{0, 0}, {0, 1}, {BYTE(kBeat >> 8), BYTE(kBeat & 0xFF)}})),
                          smfbuild::Chunk("MTrk", track)});
}

// The voice in force (bank MSB, LSB, program) at each note-on of the channel,
// in file order, and the program changes of the channel.
struct Voice {
    int msb = -1, lsb = -1, program = -1;
    bool operator==(const Voice& o) const { return msb == o.msb && lsb == o.lsb && program == o.program; }
};

struct VoiceAtNote {
    DWORD start;
    int key;
    Voice voice;
};

inline std::vector<VoiceAtNote> VoicesAtNotes(const phrasorcoretest::Smf& smf, int channel,
                                              std::vector<std::pair<DWORD, Voice>>* changes = nullptr) {
    std::vector<VoiceAtNote> out;
    Voice now, pending;
    for (const phrasorcoretest::SmfEvent& e : smf.events) {
        if (e.Channel() != channel) continue;
        if (e.Kind() == 0xB0 && e.data1 == 0) pending.msb = e.data2;
        if (e.Kind() == 0xB0 && e.data1 == 32) pending.lsb = e.data2;
        if (e.Kind() == 0xC0) {
            now = {pending.msb, pending.lsb, e.data1};
            if (changes) changes->push_back({e.time, now});
        }
        if (e.IsNoteOn()) out.push_back({e.time, e.data1, now});
    }
    return out;
}

}  // namespace familysongs
