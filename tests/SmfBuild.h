#pragma once
// Standard MIDI File bytes built in code: the pieces every reader and writer
// test puts its songs together from. Plain bytes only, so that any test
// folder can use them without compiling a reader.
#include <initializer_list>
#include <string>
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

}  // namespace smfbuild
