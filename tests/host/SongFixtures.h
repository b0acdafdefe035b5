#pragma once
// Small songs built in code for the song-class and conductor-map tests.
#include <initializer_list>
#include <vector>

#include "host/SongDocBase.h"

namespace songtest {

inline SongEventInfo ShortInfo(DWORD kind, INT64 time, BYTE d1 = 0, BYTE d2 = 0, LONG duration = 0) {
    SongEventInfo info;
    info.Kind = kind;
    info.Time = time;
    info.Data1 = d1;
    info.Data2 = d2;
    info.Duration = duration;
    return info;
}

inline CSongEvent* NewEvent(const SongEventInfo& info) {
    CSongEvent* e = new CSongEvent();
    e->SetInfo(info, 0);
    return e;
}

inline CSongEvent* NewNote(INT64 time, BYTE key, LONG duration) {
    return NewEvent(ShortInfo(MPEVENT_KIND_NOTE, time, key, 100, duration));
}

inline CSongEvent* NewMeta(INT64 time, std::initializer_list<BYTE> bytes) {
    std::vector<BYTE> data(bytes);
    SongEventInfo info;
    info.Kind = MPEVENT_KIND_META;
    info.Time = time;
    info.Length = DWORD(data.size());
    info.Bytes = data.data();
    return NewEvent(info);
}

inline CSongEvent* NewTimeSignature(INT64 time, BYTE numerator, BYTE power) {
    return NewMeta(time, {0x58, numerator, power, 24, 8});
}

inline CSongEvent* NewTempo(INT64 time, LONG tempo) {
    return NewMeta(time, {0x51, BYTE(tempo >> 16), BYTE(tempo >> 8), BYTE(tempo)});
}

inline CSongEvent* NewKeySignature(INT64 time, signed char sharpsFlats, BYTE minor) {
    return NewMeta(time, {0x59, BYTE(sharpsFlats), minor});
}

// A document whose conductor track has one block; returns that block.
inline CBlock* AddConductor(CSongDocBase& doc) {
    CTrack* track = new CTrack(&doc);
    doc.GetTrackList().AddTail(track);
    CBlock* block = new CBlock(&doc);
    track->AddBlock(block);
    return block;
}

// Events of a block in list order.
inline std::vector<CSongEvent*> EventsOf(const CBlock& block) {
    std::vector<CSongEvent*> out;
    for (POSITION pos = block.GetEventList().GetHeadPosition(); pos;) out.push_back(block.GetEventList().GetNext(pos));
    return out;
}

}  // namespace songtest
