#pragma once
// The song part of the song document: the track list with the section that
// guards edits of the song's lists, and the conductor maps rebuilt from the
// conductor track. CPhrasorDoc derives from it; tracks and blocks are bound
// to it.
#include "host/ConductorMaps.h"
#include "host/Track.h"
#include "platform/Document.h"
#include "platform/Sync.h"

using CTrackList = CTypedPtrList<CObList, CTrack*>;

class CSongDocBase : public CDocument {
    VX_DECLARE_CLASS(CSongDocBase)
public:
    CSongDocBase() = default;
    ~CSongDocBase() override;  // deletes the tracks
    CSongDocBase(const CSongDocBase&) = delete;
    CSongDocBase& operator=(const CSongDocBase&) = delete;

    // Taken around every edit of a bound track's block list or a bound block's event list.
    CCriticalSection& GetListSection() { return m_ListSection; }

    // The song; the conductor track first. The document owns the tracks.
    CTrackList& GetTrackList() { return m_TrackList; }
    const CTrackList& GetTrackList() const { return m_TrackList; }
    void DeleteAllTracks();
    // The first block of the first track, null when there is none.
    CBlock* GetConductorBlock() const;

    const TempoRule& GetTempoRule() const { return m_TempoRule; }
    void SetTempoRule(const TempoRule& rule) { m_TempoRule = rule; }
    LONG EffectiveTempo(LONG tempo) const { return m_TempoRule.Effective(tempo); }

    // Rebuilt from the conductor block; without one, each map is left empty
    // and the result is 0.
    int RebuildMeterMap();
    int RebuildTempoMap();
    int RebuildKeySigMap();

    const CMeterMap& GetMeterMap() const { return m_MeterMap; }
    const CTempoMap& GetTempoMap() const { return m_TempoMap; }
    const CKeySigMap& GetKeySigMap() const { return m_KeySigMap; }

    // Ticks <-> clock time (100-nanosecond units) through the tempo map and
    // the effective-tempo rule; absent stays absent.
    INT64 TicksToClock(INT64 ticks) const { return m_TempoMap.TicksToClock(ticks, m_TempoRule); }
    INT64 ClockToTicks(INT64 clock) const { return m_TempoMap.ClockToTicks(clock, m_TempoRule); }

protected:
    CCriticalSection m_ListSection;
    CTrackList m_TrackList;  // owns its tracks
    CMeterMap m_MeterMap;
    CTempoMap m_TempoMap;
    CKeySigMap m_KeySigMap;
    TempoRule m_TempoRule;
};
