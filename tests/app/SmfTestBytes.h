#pragma once
// SMF bytes built in code for the song model's tests, and a plain view of
// what the model holds.
#include <QByteArray>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "app/Smf.h"
#include "tests/SmfBuild.h"

namespace smfmodel {

// The byte builders the engine reader tests use too (plain bytes: no song
// document header is compiled here).
using smfbuild::Bytes;
using smfbuild::Cat;
using smfbuild::Chunk;
using smfbuild::Header;
using smfbuild::kEot;
using smfbuild::Text;
using smfbuild::U32;

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
