#pragma once
// Standard MIDI File bytes built in code: the pieces every reader and writer
// test puts its songs together from. Plain bytes only, so that any test
// folder can use them without compiling a reader.
#include <algorithm>
#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Types.h"

namespace smfbuild {

using Bytes = std::vector<BYTE>;

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline Bytes U32(DWORD v) { return {BYTE(v >> 24), BYTE(v >> 16), BYTE(v >> 8), BYTE(v)}; }

inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline Bytes Header(WORD format, WORD tracks, WORD division) {
    return Cat({Text("MThd"), U32(6), {BYTE(format >> 8), BYTE(format), BYTE(tracks >> 8), BYTE(tracks),
                                       BYTE(division >> 8), BYTE(division)}});
}

inline Bytes Chunk(const char* id, const Bytes& body) { return Cat({Text(id), U32(DWORD(body.size())), body}); }

inline const Bytes kEot = {0x00, 0xFF, 0x2F, 0x00};

// A delta time or length in the file's variable-length form.
inline Bytes VarLen(DWORD v) {
    Bytes out{BYTE(v & 0x7F)};
    while (v >>= 7) out.insert(out.begin(), BYTE(0x80 | (v & 0x7F)));
    return out;
}

// An event of a track being built: its tick, its rank among the events of
// that tick, its bytes (status included).
struct TimedEvent {
    DWORD time;
    int order;
    Bytes bytes;
};

// The body of a track holding the events in time order (at one tick by rank,
// else as given), with their delta times and the end of track.
inline Bytes TimedTrack(std::vector<TimedEvent> events) {
    std::stable_sort(events.begin(), events.end(), [](const TimedEvent& a, const TimedEvent& b) {
        return std::tie(a.time, a.order) < std::tie(b.time, b.order);
    });
    Bytes track;
    DWORD now = 0;
    for (const TimedEvent& e : events) {
        const Bytes delta = VarLen(e.time - now);
        track.insert(track.end(), delta.begin(), delta.end());
        track.insert(track.end(), e.bytes.begin(), e.bytes.end());
        now = e.time;
    }
    track.insert(track.end(), kEot.begin(), kEot.end());
    return track;
}

}  // namespace smfbuild
