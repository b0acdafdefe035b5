#pragma once
// Songs built in code for the song model's analysis and head tests: events
// made one by one and put into tracks as they stand.
#include <QByteArray>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "SmfTestBytes.h"
#include "app/Smf.h"
#include "app/SmfAnalysis.h"

namespace smfsong {

using Bytes = std::vector<BYTE>;
using EventPtr = std::shared_ptr<CEvnt>;

// The events are made as shared pointers so that a brace list can hold
// them; AddTrack moves copies into the track.
inline EventPtr ChannelMsg(DWORD time, BYTE status, BYTE channel, BYTE d1, BYTE d2) {
    auto e = std::make_shared<CEvnt>();
    e->SetTime(time);
    e->SetStatus(status);
    e->SetChannel(channel);
    e->SetDataBytes(d1, d2);
    return e;
}
inline EventPtr Note(DWORD time, BYTE channel, BYTE key, BYTE velocity = 100) {
    return ChannelMsg(time, SMF_NOTE_ON, channel, key, velocity);
}
inline EventPtr Ctrl(DWORD time, BYTE channel, BYTE controller, BYTE value) {
    return ChannelMsg(time, SMF_CONTROL, channel, controller, value);
}
inline EventPtr Prog(DWORD time, BYTE channel, BYTE program) {
    return ChannelMsg(time, SMF_PROGRAM, channel, program, 0);
}

inline EventPtr Meta(DWORD time, BYTE type, const Bytes& data = {}) {
    auto e = std::make_shared<CEvnt>();
    e->SetTime(time);
    e->SetStatus(SMF_META);
    e->SetMetaType(type);
    e->SetData(data.data(), DWORD(data.size()));
    return e;
}
inline EventPtr Eot(DWORD time) { return Meta(time, SMF_META_END_OF_TRACK); }
inline EventPtr Tempo(DWORD time, DWORD usPerQuarter) {
    return Meta(time, 0x51, {BYTE(usPerQuarter >> 16), BYTE(usPerQuarter >> 8), BYTE(usPerQuarter)});
}
inline EventPtr Meter(DWORD time, BYTE numerator, BYTE power) { return Meta(time, 0x58, {numerator, power, 24, 8}); }
inline EventPtr Name(DWORD time, const std::string& name) { return Meta(time, 0x03, Bytes(name.begin(), name.end())); }

inline EventPtr Sysex(DWORD time, const Bytes& data) {
    auto e = std::make_shared<CEvnt>();
    e->SetTime(time);
    e->SetStatus(SMF_SYSEX);
    e->SetData(data.data(), DWORD(data.size()));
    return e;
}
inline EventPtr KvOn(DWORD time) { return Sysex(time, {0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}); }
inline EventPtr GsReset(DWORD time) {
    return Sysex(time, {0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7});
}
inline EventPtr GmOn(DWORD time) { return Sysex(time, {0x7E, 0x7F, 0x09, 0x01, 0xF7}); }
// A KV part parameter: 43 10 4C 08 part param value F7.
inline EventPtr KvPart(DWORD time, BYTE part, BYTE param, BYTE value) {
    return Sysex(time, {0x43, 0x10, 0x4C, 0x08, part, param, value, 0xF7});
}

// Appends a track holding copies of `events` in the order given.
inline CTrk& AddTrack(CSmf& smf, std::initializer_list<EventPtr> events) {
    smf.GetTracks().push_back(std::make_unique<CTrk>());
    CTrk& track = *smf.GetTracks().back();
    for (const EventPtr& e : events) {
        auto copy = std::make_unique<CEvnt>();
        copy->CopyFrom(e.get());
        track.Append(std::move(copy));
    }
    return track;
}

// Copies of `events` inserted into `track` by time.
template <typename Events>
void InsertAll(CTrk& track, const Events& events) {
    for (const EventPtr& e : events) {
        auto copy = std::make_unique<CEvnt>();
        copy->CopyFrom(e.get());
        track.InsertSorted(std::move(copy));
    }
}
inline void InsertAll(CTrk& track, std::initializer_list<EventPtr> events) {
    InsertAll<std::initializer_list<EventPtr>>(track, events);
}

inline void MakeSong(CSmf& smf, WORD format, WORD division) {
    smf.Clear();
    smf.GetHead().Format = format;
    smf.GetHead().Division = division;
}

// A format-1 song at 480 ticks per quarter note: a tempo track and one piano
// note on channel 1. Empty when it cannot be written.
inline QByteArray PianoNoteSong() {
    CSmf smf;
    MakeSong(smf, 1, 480);
    AddTrack(smf, {Tempo(0, 500000), Eot(0)});
    CTrk& track = AddTrack(smf, {Eot(1920)});
    InsertAll(track, {Note(480, 0, 60), Note(960, 0, 60, 0)});
    QByteArray bytes;
    if (smf.ToByteArray(bytes) < 0) return {};
    return bytes;
}

// The events of one track as (time, status) pairs, data bytes aside.
inline std::vector<std::pair<DWORD, int>> Times(const CTrk& track) {
    std::vector<std::pair<DWORD, int>> out;
    for (const auto& e : track.GetEvents())
        out.emplace_back(e->GetTime(), e->GetStatus() == SMF_META ? 0x100 | e->GetMetaType() : e->GetStatus());
    return out;
}

}  // namespace smfsong
