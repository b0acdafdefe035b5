#pragma once
// The conductor maps: meters, tempos and key signatures taken from the meta
// events of the conductor block, with the conversions between ticks and
// measure/beat/tick and between ticks and clock time (100-nanosecond units).
#include <memory>
#include <vector>

#include "host/Block.h"
#include "host/SongTime.h"

constexpr LONG TEMPO_MIN = 200000;      // microseconds per quarter note
constexpr LONG TEMPO_MAX = 15000000;
constexpr LONG TEMPO_DEFAULT = 500000;

inline LONG ClampTempo(LONG tempo) { return tempo < TEMPO_MIN ? TEMPO_MIN : tempo > TEMPO_MAX ? TEMPO_MAX : tempo; }

enum : LONG {
    TEMPO_MODE_AS_IS = 0,
    TEMPO_MODE_SCALED = 1,  // every tempo times Factor
    TEMPO_MODE_FIXED = 2,   // FixedTempo everywhere; the song's tempo events are ignored
};

// The document's effective-tempo rule, applied to every tempo used for clock time.
struct TempoRule {
    LONG Mode = TEMPO_MODE_AS_IS;
    LONG FixedTempo = TEMPO_DEFAULT;
    float Factor = 1.0f;
    // The tempo as the rule makes it, clamped to TEMPO_MIN..TEMPO_MAX.
    LONG Effective(LONG tempo) const;
};

// Conductor meta events: a meta event of kind MPEVENT_KIND_META whose data is
// the type byte and the event's data.
bool IsTimeSignatureEvent(const SongEventInfo& e);  // FF 58, 4 data bytes
bool IsTempoEvent(const SongEventInfo& e);          // FF 51, 3 data bytes
bool IsKeySignatureEvent(const SongEventInfo& e);   // FF 59, 2 data bytes

// The tempo of a tempo event (not clamped); TEMPO_DEFAULT for any other record.
LONG TempoOfEvent(const SongEventInfo& e);
// Writes the meta type 51 and the tempo as 3 big-endian bytes (tempo kept
// within 0..0xFFFFFF); nothing when out is null.
void PutTempo(LONG tempo, BYTE* out);

// ------------------------------------------------------------------ Meters

struct MeterInfo {
    INT64 Time = 0;       // tick where the meter starts
    LONG Measure = 1;     // measure number at Time, from 1
    LONG TicksPerBar = SONG_TICKS_PER_WHOLE;
    LONG TicksPerBeat = SONG_TICKS_PER_QUARTER;
    BYTE Numerator = 4;
    BYTE DenominatorPower = 2;  // the denominator is 2 to this power
};

// Largest denominator power whose beat still has at least one tick (1/2048).
constexpr BYTE METER_MAX_DENOMINATOR_POWER = 11;

// The defaults, then the meter of a time-signature event whose numerator is
// not 0 and whose beat has at least one tick (Measure stays 1). 1 when the
// record gave the meter, else 0.
int MakeMeterInfo(const SongEventInfo& e, MeterInfo* out);

class CMeter : public CObject {
    VX_DECLARE_CLASS(CMeter)
public:
    MeterInfo Info;
};

class CMeterMap : public CObject {
    VX_DECLARE_CLASS(CMeterMap)
public:
    int GetCount() const { return int(m_Meters.size()); }
    void RemoveAll();

    // Rebuilds the map from the time signatures of the block, in list order.
    // 0 when a time signature has a numerator of 0 (the map keeps the meters
    // made before it); a time signature whose beat would be shorter than a
    // tick is skipped. A null block empties the map and gives 0.
    int Rebuild(const CBlock* block);

    int MeterAt(int index, MeterInfo* out) const;  // 0 when absent
    int MeterIndexAt(INT64 tick) const;            // last meter at or before the tick; 0 when none

    // Measure and beat count from 1, tick from 0.
    INT64 MeasToTime(LONG measure, LONG beat, LONG tick) const;
    // 0, with the last measure, beat 1 and tick 0, for an absent time.
    int TimeToMeas(INT64 ticks, LONG* measure, LONG* beat, LONG* tick, MeterInfo* meter = nullptr) const;

private:
    std::vector<std::unique_ptr<CMeter>> m_Meters;
    bool m_Sorted = true;  // times (and so measures) never fall
};

// ------------------------------------------------------------------ Tempos

struct TempoInfo {
    INT64 Time = 0;
    LONG Tempo = TEMPO_DEFAULT;  // microseconds per quarter note, TEMPO_MIN..TEMPO_MAX
    INT64 Clock = 0;             // clock time of the change, 100-nanosecond units
};

class CTempo : public CObject {
    VX_DECLARE_CLASS(CTempo)
public:
    TempoInfo Info;
};

class CTempoMap : public CObject {
    VX_DECLARE_CLASS(CTempoMap)
public:
    int GetCount() const { return int(m_Tempos.size()); }
    void RemoveAll();

    // With the fixed tempo mode, one entry at tick 0 of the fixed tempo;
    // otherwise one entry per tempo event of the block in list order, each
    // clamped, with its clock time. A null block (outside the fixed mode)
    // leaves the map empty and gives 0.
    int Rebuild(const CBlock* block, const TempoRule& rule);

    int TempoAt(int index, TempoInfo* out) const;  // 0 when absent
    int TempoIndexAt(INT64 tick) const;            // last tempo at or before the tick; 0 when none

    // Absent stays absent.
    INT64 TicksToClock(INT64 ticks, const TempoRule& rule) const;
    INT64 ClockToTicks(INT64 clock, const TempoRule& rule) const;

private:
    std::vector<std::unique_ptr<CTempo>> m_Tempos;
    bool m_Sorted = true;  // times (and so clocks) never fall
};

// ------------------------------------------------------------------ Key signatures

class CKeySig : public CObject {
    VX_DECLARE_CLASS(CKeySig)
public:
    INT64 Time = 0;
    LONG Key = 0;  // sharps/flats byte (unsigned) x 256 + major/minor byte
};

class CKeySigMap : public CObject {
    VX_DECLARE_CLASS(CKeySigMap)
public:
    int GetCount() const { return int(m_KeySigs.size()); }
    void RemoveAll();

    // One entry per key-signature event of the block, in list order; a null
    // block empties the map and gives 0.
    int Rebuild(const CBlock* block);
    int KeySigAt(int index, INT64* time, LONG* key) const;  // 0 when absent
    int KeySigIndexAt(INT64 tick) const;                    // last entry at or before the tick; 0 when none

private:
    std::vector<std::unique_ptr<CKeySig>> m_KeySigs;
    bool m_Sorted = true;
};
