#pragma once
// Songs for the document tests, built in code and installed with ReplaceSong
// the way the SMF reader installs what it read.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <vector>

#include "SongFixtures.h"
#include "host/PhrasorDoc.h"

namespace doctest {

using namespace songtest;

// An event record whose variable data lives as long as the record.
class EventRecord {
public:
    EventRecord(DWORD kind, INT64 time, std::initializer_list<BYTE> bytes) : m_Bytes(bytes) {
        m_Info.Kind = kind;
        m_Info.Time = time;
        m_Info.Length = DWORD(m_Bytes.size());
        m_Info.Bytes = m_Bytes.empty() ? nullptr : m_Bytes.data();
    }
    EventRecord(const EventRecord&) = delete;
    EventRecord& operator=(const EventRecord&) = delete;
    const SongEventInfo& Info() const { return m_Info; }
    SongEventInfo& Info() { return m_Info; }
    operator const SongEventInfo&() const { return m_Info; }

private:
    std::vector<BYTE> m_Bytes;
    SongEventInfo m_Info;
};

inline std::unique_ptr<EventRecord> TempoRecord(INT64 time, LONG tempo) {
    return std::make_unique<EventRecord>(MPEVENT_KIND_META, time,
                                         std::initializer_list<BYTE>{0x51, BYTE(tempo >> 16), BYTE(tempo >> 8), BYTE(tempo)});
}
inline std::unique_ptr<EventRecord> MeterRecord(INT64 time, BYTE numerator, BYTE power) {
    return std::make_unique<EventRecord>(MPEVENT_KIND_META, time, std::initializer_list<BYTE>{0x58, numerator, power, 24, 8});
}
inline std::unique_ptr<EventRecord> KeyRecord(INT64 time, BYTE sharpsFlats, BYTE minor) {
    return std::make_unique<EventRecord>(MPEVENT_KIND_META, time, std::initializer_list<BYTE>{0x59, sharpsFlats, minor});
}

inline SongEventInfo NoteInfo(INT64 time, BYTE key, LONG duration) {
    return ShortInfo(MPEVENT_KIND_NOTE, time, key, 100, duration);
}
inline SongEventInfo ControlInfo(INT64 time, BYTE controller, BYTE value) {
    return ShortInfo(MPEVENT_KIND_CONTROL, time, controller, value);
}

inline CTrack* NewTrack(LONG channel, LONG kind = TRACK_KIND_MIDI) {
    CTrack* track = new CTrack();
    TrackInfo info;
    info.Kind = kind;
    info.Channel = channel;
    track->SetInfo(info, 1);
    return track;
}

inline CBlock* AddBlock(CTrack* track, INT64 start, INT64 end, LONG kind = BLOCK_KIND_PLAIN, const char* name = "") {
    CBlock* block = new CBlock();
    BlockInfo info;
    info.Kind = kind;
    info.Start = start;
    info.End = end;
    info.Name = name;
    block->SetInfo(info, 1);
    track->AddBlock(block);
    return block;
}

// The conductor track as the reader makes it: one block with 4/4 and 120 beats per minute at 0.
inline CTrack* NewConductor() {
    CTrack* track = NewTrack(0);
    CBlock* block = AddBlock(track, 0, 0);
    block->InsertEvent(NewTimeSignature(0, 4, 2));
    block->InsertEvent(NewTempo(0, 500000));
    return track;
}

inline void Install(CPhrasorDoc& doc, const std::vector<CTrack*>& tracks) {
    CTrackArray array;
    for (CTrack* track : tracks) array.Add(track);
    ASSERT_EQ(doc.ReplaceSong(array), 1);
}

// A song like the reader's: the conductor, then one track per channel
// 0..15 (except those left out), each with one block [0, 3840).
inline void InstallChannelSong(CPhrasorDoc& doc, std::initializer_list<LONG> leftOut = {}) {
    std::vector<CTrack*> tracks{NewConductor()};
    for (LONG channel = 0; channel < 16; ++channel) {
        if (std::find(leftOut.begin(), leftOut.end(), channel) != leftOut.end()) continue;
        CTrack* track = NewTrack(channel);
        AddBlock(track, 0, 3840);
        tracks.push_back(track);
    }
    Install(doc, tracks);
}

inline POSITION TrackPos(const CPhrasorDoc& doc, int index) { return doc.GetTrackList().FindIndex(index); }
inline CTrack* TrackOf(const CPhrasorDoc& doc, int index) {
    POSITION pos = TrackPos(doc, index);
    return pos ? doc.GetTrackList().GetAt(pos) : nullptr;
}
inline POSITION BlockPos(const CPhrasorDoc& doc, int track, int block) {
    CTrack* t = TrackOf(doc, track);
    return t ? t->GetBlockList().FindIndex(block) : nullptr;
}
inline CBlock* BlockOf(const CPhrasorDoc& doc, int track, int block) {
    POSITION pos = BlockPos(doc, track, block);
    return pos ? TrackOf(doc, track)->GetBlockList().GetAt(pos) : nullptr;
}
inline CSongEvent* EventAt(const CBlock& block, POSITION pos) { return block.GetEventList().GetAt(pos); }

// Times of the events of a block, in list order.
inline std::vector<INT64> TimesOf(const CBlock& block) {
    std::vector<INT64> times;
    for (CSongEvent* e : EventsOf(block)) times.push_back(e->GetTime());
    return times;
}

inline int CountIf(const CBlock& block, bool (*test)(const SongEventInfo&)) {
    int n = 0;
    for (CSongEvent* e : EventsOf(block)) n += test(e->GetInfo()) ? 1 : 0;
    return n;
}

// The items of an undo record, in order.
inline std::vector<const CUndoObj*> ItemsOf(const CUndo& undo) {
    std::vector<const CUndoObj*> items;
    for (POSITION pos = undo.GetItems().GetHeadPosition(); pos;) items.push_back(undo.GetItems().GetNext(pos));
    return items;
}

inline const CUndo* RecordAt(const CPhrasorDoc& doc, int index) {
    POSITION pos = doc.GetUndoList().FindIndex(index);
    return pos ? doc.GetUndoList().GetAt(pos) : nullptr;
}

// An undo step for the length of a scope.
class Step {
public:
    explicit Step(CPhrasorDoc& doc) : m_Doc(doc) { m_Open = doc.BeginUndoStep("test"); }
    ~Step() { Close(); }
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;
    void Close() {
        if (m_Open) m_Doc.EndUndoStep();
        m_Open = false;
    }

private:
    CPhrasorDoc& m_Doc;
    bool m_Open;
};

// Every hint the document sends, in order.
struct HintLog {
    explicit HintLog(CPhrasorDoc& doc) : m_Doc(doc) {
        doc.SetHintObserver([this](const UpdateHint& hint) { hints.push_back(hint); });
    }
    ~HintLog() { m_Doc.SetHintObserver(nullptr); }
    HintLog(const HintLog&) = delete;
    HintLog& operator=(const HintLog&) = delete;
    std::vector<UpdateHint> hints;

private:
    CPhrasorDoc& m_Doc;
};

}  // namespace doctest
