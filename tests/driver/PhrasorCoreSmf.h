#pragma once
// What the core's tests read back from SMF bytes: every event of every track
// at its absolute tick, the notes of a channel, and the checks that a
// converted song keeps a channel's notes "as the input".
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "host/SmfBytes.h"
#include "platform/Types.h"

namespace phrasorcoretest {

using Bytes = std::vector<BYTE>;

struct SmfEvent {
    int track = 0;
    DWORD time = 0;   // absolute ticks of the file
    BYTE status = 0;  // with its channel bits; 0xFF meta, 0xF0/0xF7 exclusive
    BYTE data1 = 0, data2 = 0;
    BYTE metaType = 0;
    Bytes data;  // meta and exclusive bodies
    BYTE Kind() const { return status < 0xF0 ? BYTE(status & 0xF0) : status; }
    int Channel() const { return status < 0xF0 ? status & 0x0F : -1; }
    bool IsNoteOn() const { return Kind() == 0x90 && data2 != 0; }
    bool IsNoteOff() const { return Kind() == 0x80 || (Kind() == 0x90 && data2 == 0); }
    int Bend() const { return data1 | (data2 << 7); }
};

struct Smf {
    bool ok = false;
    WORD format = 0;
    WORD division = 0;
    std::vector<SmfEvent> events;  // all tracks merged in time order (stable)

    std::vector<const SmfEvent*> Of(int channel, BYTE kind) const {
        std::vector<const SmfEvent*> out;
        for (const SmfEvent& e : events)
            if (e.Channel() == channel && e.Kind() == kind) out.push_back(&e);
        return out;
    }
    std::vector<const SmfEvent*> Meta(BYTE type) const {
        std::vector<const SmfEvent*> out;
        for (const SmfEvent& e : events)
            if (e.status == 0xFF && e.metaType == type) out.push_back(&e);
        return out;
    }
};

inline bool ReadTrack(SmfByteReader in, int track, std::vector<SmfEvent>& out) {
    DWORD time = 0;
    BYTE running = 0;
    while (!in.AtEnd()) {
        DWORD delta = 0;
        BYTE first = 0;
        if (!in.ReadVarLen(delta) || !in.ReadByte(first)) return false;
        time += delta;
        SmfEvent e;
        e.track = track;
        e.time = time;
        const BYTE* span = nullptr;
        DWORD length = 0;
        if (first == 0xFF) {
            e.status = 0xFF;
            if (!in.ReadByte(e.metaType) || !in.ReadVarLen(length) || !in.ReadSpan(length, span)) return false;
            e.data.assign(span, span + length);
            if (e.metaType == 0x2F) return true;
        } else if (first == 0xF0 || first == 0xF7) {
            e.status = first;
            if (!in.ReadVarLen(length) || !in.ReadSpan(length, span)) return false;
            e.data.assign(span, span + length);
            running = 0;
        } else {
            BYTE data1 = first;
            if (first & 0x80) {
                running = first;
                if (!in.ReadByte(data1)) return false;
            }
            if (!(running & 0x80)) return false;
            e.status = running;
            e.data1 = data1;
            const BYTE kind = running & 0xF0;
            if (kind != 0xC0 && kind != 0xD0 && !in.ReadByte(e.data2)) return false;
        }
        out.push_back(e);
    }
    return true;
}

inline Smf ReadSmf(const Bytes& bytes) {
    Smf smf;
    SmfByteReader in(bytes.data(), bytes.size());
    const BYTE* id = nullptr;
    DWORD length = 0;
    WORD tracks = 0;
    if (!in.ReadSpan(4, id) || std::string(id, id + 4) != "MThd" || !in.ReadU32BE(length) || length < 6 ||
        !in.ReadU16BE(smf.format) || !in.ReadU16BE(tracks) || !in.ReadU16BE(smf.division) || !in.Skip(length - 6))
        return smf;
    for (int t = 0; t < tracks; ++t) {
        const BYTE* body = nullptr;
        if (!in.ReadSpan(4, id) || !in.ReadU32BE(length) || !in.ReadSpan(length, body)) return smf;
        if (std::string(id, id + 4) != "MTrk") {
            --t;
            continue;
        }
        if (!ReadTrack(SmfByteReader(body, length), t, smf.events)) return smf;
    }
    std::stable_sort(smf.events.begin(), smf.events.end(),
                     [](const SmfEvent& a, const SmfEvent& b) { return a.time < b.time; });
    smf.ok = smf.division != 0 && !(smf.division & 0x8000);
    return smf;
}

struct Note {
    DWORD start = 0;
    int key = 0;
    int velocity = 0;
    DWORD length = 0;
    bool operator<(const Note& o) const {
        return std::tie(start, key, velocity, length) < std::tie(o.start, o.key, o.velocity, o.length);
    }
    bool operator==(const Note& o) const {
        return start == o.start && key == o.key && velocity == o.velocity && length == o.length;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Note& n) {
    return out << "{" << n.start << " key " << n.key << " vel " << n.velocity << " len " << n.length << "}";
}

// The channel's notes, each note-on paired with the first open one of its
// key (a note never closed ends at the last event), in (start, key) order.
inline std::vector<Note> NotesOf(const Smf& smf, int channel) {
    std::vector<Note> notes;
    std::map<int, std::vector<size_t>> open;
    for (const SmfEvent& e : smf.events) {
        if (e.Channel() != channel) continue;
        if (e.IsNoteOn()) {
            open[e.data1].push_back(notes.size());
            notes.push_back({e.time, e.data1, e.data2, 0});
        } else if (e.IsNoteOff() && !open[e.data1].empty()) {
            Note& n = notes[open[e.data1].front()];
            n.length = e.time - n.start;
            open[e.data1].erase(open[e.data1].begin());
        }
    }
    const DWORD last = smf.events.empty() ? 0 : smf.events.back().time;
    for (auto& keyOpen : open)
        for (size_t i : keyOpen.second) notes[i].length = last - notes[i].start;
    std::stable_sort(notes.begin(), notes.end());
    return notes;
}

// The channels that hold notes, in order.
inline std::vector<int> ChannelsWithNotes(const Smf& smf) {
    std::vector<int> out;
    for (int ch = 0; ch < 16; ++ch)
        if (!NotesOf(smf, ch).empty()) out.push_back(ch);
    return out;
}

// Bank select msb/lsb and the program change come before the channel's
// first note-on (the last of each before it counts).
inline ::testing::AssertionResult TargetVoiceFirst(const Smf& smf, int channel, int msb = 8, int lsb = 0,
                                                   int program = 25) {
    int gotMsb = -1, gotLsb = -1, gotProgram = -1;
    for (const SmfEvent& e : smf.events) {
        if (e.Channel() != channel) continue;
        if (e.IsNoteOn()) break;
        if (e.Kind() == 0xB0 && e.data1 == 0) gotMsb = e.data2;
        if (e.Kind() == 0xB0 && e.data1 == 32) gotLsb = e.data2;
        if (e.Kind() == 0xC0) gotProgram = e.data1;
    }
    if (gotMsb == msb && gotLsb == lsb && gotProgram == program) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "channel " << channel << " before its first note: bank " << gotMsb << "/"
                                         << gotLsb << ", program " << gotProgram << "; expected " << msb << "/"
                                         << lsb << ", " << program;
}

// Ticks of one bar of the first meter of the song (4/4 without one), in the
// song's own division. A meter whose note value no tick count can hold (a
// power of two past 2^15) is passed over.
inline DWORD BarTicks(const Smf& smf) {
    for (const SmfEvent* e : smf.Meta(0x58))
        if (e->data.size() >= 2 && e->data[1] < 16) return DWORD(smf.division) * 4 * e->data[0] / (1u << e->data[1]);
    return DWORD(smf.division) * 4;
}

// The song-wide shift of the output against the input: the converted song
// starts on the same tick or whole bars later. -1 when the two first events
// of the channel do not fit that.
inline long ShiftOf(const Smf& in, const Smf& out, int channel) {
    const std::vector<Note> a = NotesOf(in, channel);
    const std::vector<Note> b = NotesOf(out, channel);
    if (a.empty() || b.empty()) return -1;
    const long scaled = long(a.front().start) * 960 / in.division;
    return long(b.front().start) - scaled;
}

// The channel's notes of `out` are those of `in`, at ticks scaled to 960 per
// quarter and shifted by `shift`, with their keys moved by `keyShift`.
inline ::testing::AssertionResult SameNotes(const Smf& in, const Smf& out, int channel, long shift,
                                            int keyShift = 0) {
    std::vector<Note> expected = NotesOf(in, channel);
    for (Note& n : expected) {
        const long end = long(n.start + n.length) * 960 / in.division;
        n.start = DWORD(long(n.start) * 960 / in.division);
        n.length = DWORD(end - long(n.start));
        n.start = DWORD(long(n.start) + shift);
        n.key += keyShift;
    }
    std::stable_sort(expected.begin(), expected.end());
    const std::vector<Note> got = NotesOf(out, channel);
    if (got.size() != expected.size())
        return ::testing::AssertionFailure()
               << "channel " << channel << ": " << got.size() << " notes, expected " << expected.size();
    for (size_t i = 0; i < got.size(); ++i)
        if (!(got[i] == expected[i]))
            return ::testing::AssertionFailure()
                   << "channel " << channel << " note " << i << ": " << got[i] << ", expected " << expected[i];
    return ::testing::AssertionSuccess();
}

// The shift is 0 or whole bars of the input's first meter (in output ticks).
inline bool IsWholeBars(const Smf& in, long shift) {
    const long bar = long(BarTicks(in)) * 960 / in.division;
    return shift == 0 || (shift > 0 && bar > 0 && shift % bar == 0);
}

}  // namespace phrasorcoretest
