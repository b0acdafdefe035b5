#pragma once
// SMF bytes built in code for the song model's tests, and a plain view of
// what the model holds.
#include <QByteArray>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "app/Smf.h"

namespace smfmodel {

// Byte builders of the same shape as the engine reader tests' ones, kept
// apart so these tests do not compile the song document's headers.
using Bytes = std::vector<BYTE>;

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline Bytes U32(DWORD v) { return {BYTE(v >> 24), BYTE(v >> 16), BYTE(v >> 8), BYTE(v)}; }

inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline Bytes Header(WORD format, WORD tracks, WORD division) {
    return Cat({Text("MThd"), U32(6),
                {BYTE(format >> 8), BYTE(format), BYTE(tracks >> 8), BYTE(tracks), BYTE(division >> 8), BYTE(division)}});
}

inline Bytes Chunk(const char* id, const Bytes& body) { return Cat({Text(id), U32(DWORD(body.size())), body}); }

inline const Bytes kEot = {0x00, 0xFF, 0x2F, 0x00};

// Format 0, division 480, one track holding `events` as they stand.
inline Bytes Song(const Bytes& events) { return Cat({Header(0, 1, 480), Chunk("MTrk", events)}); }

inline QByteArray ToQt(const Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), int(b.size())); }

inline Bytes FromQt(const QByteArray& q) {
    return Bytes(reinterpret_cast<const BYTE*>(q.constData()), reinterpret_cast<const BYTE*>(q.constData()) + q.size());
}

// One line per event: "time status/channel data" in hex, meta events with
// their type, variable data after a colon.
inline std::string Describe(const CTrk& track) {
    std::ostringstream out;
    out << std::hex;
    for (const auto& e : track.GetEvents()) {
        out << e->GetTime() << ' ' << int(e->GetStatus());
        if (e->GetStatus() == SMF_META) out << '.' << int(e->GetMetaType());
        if (e->IsChannelMessage()) out << '/' << int(e->GetChannel()) << ' ' << int(e->GetData1()) << ' ' << int(e->GetData2());
        if (e->GetDataLength()) {
            out << ':';
            for (BYTE b : e->GetData()) out << ' ' << int(b);
        }
        out << '\n';
    }
    return out.str();
}

inline std::string Describe(const CSmf& smf) {
    std::ostringstream out;
    out << "format " << smf.GetHead().Format << " division " << smf.GetHead().Division << '\n';
    for (const auto& t : smf.GetTracks()) out << "track\n" << Describe(*t);
    return out.str();
}

}  // namespace smfmodel
