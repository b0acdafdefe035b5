#include "host/ConductorMaps.h"

#include <algorithm>
#include <new>

VX_IMPLEMENT_CLASS(CMeter, CObject);
VX_IMPLEMENT_CLASS(CMeterMap, CObject);
VX_IMPLEMENT_CLASS(CTempo, CObject);
VX_IMPLEMENT_CLASS(CTempoMap, CObject);
VX_IMPLEMENT_CLASS(CKeySig, CObject);
VX_IMPLEMENT_CLASS(CKeySigMap, CObject);

namespace {

constexpr BYTE META_TEMPO = 0x51;
constexpr BYTE META_TIME_SIGNATURE = 0x58;
constexpr BYTE META_KEY_SIGNATURE = 0x59;

bool IsMeta(const SongEventInfo& e, BYTE type, DWORD length) {
    return e.Kind == MPEVENT_KIND_META && e.Length == length && e.Bytes && e.Bytes[0] == type;
}

// Index of the last entry whose key is at or before x, 0 when there is none.
// Entries are searched from the last one down; a binary search gives the same
// answer while the keys never fall.
template <class Entries, class Key>
int LastIndexAtOrBefore(const Entries& entries, bool sorted, INT64 x, Key key) {
    if (sorted) {
        auto it = std::upper_bound(entries.begin(), entries.end(), x,
                                   [&](INT64 value, const auto& entry) { return value < key(*entry); });
        return it == entries.begin() ? 0 : int(it - entries.begin()) - 1;
    }
    for (int i = int(entries.size()) - 1; i >= 0; --i)
        if (key(*entries[size_t(i)]) <= x) return i;
    return 0;
}

// The entry at or before x, or null when every entry lies after it.
template <class Entries, class Key>
auto EntryAtOrBefore(const Entries& entries, bool sorted, INT64 x, Key key) -> decltype(entries[0].get()) {
    if (entries.empty()) return nullptr;
    auto* entry = entries[size_t(LastIndexAtOrBefore(entries, sorted, x, key))].get();
    return key(*entry) <= x ? entry : nullptr;
}

}  // namespace

LONG TempoRule::Effective(LONG tempo) const {
    if (Mode == TEMPO_MODE_FIXED) return ClampTempo(FixedTempo);
    if (Mode != TEMPO_MODE_SCALED) return ClampTempo(tempo);
    const float scaled = float(tempo) * Factor;
    if (!(scaled >= float(TEMPO_MIN))) return TEMPO_MIN;  // also NaN
    if (scaled >= float(TEMPO_MAX)) return TEMPO_MAX;
    return LONG(scaled);
}

bool IsTimeSignatureEvent(const SongEventInfo& e) { return IsMeta(e, META_TIME_SIGNATURE, 5); }
bool IsTempoEvent(const SongEventInfo& e) { return IsMeta(e, META_TEMPO, 4); }
bool IsKeySignatureEvent(const SongEventInfo& e) { return IsMeta(e, META_KEY_SIGNATURE, 3); }

LONG TempoOfEvent(const SongEventInfo& e) {
    if (!IsTempoEvent(e)) return TEMPO_DEFAULT;
    return LONG(e.Bytes[1]) << 16 | LONG(e.Bytes[2]) << 8 | LONG(e.Bytes[3]);
}

void PutTempo(LONG tempo, BYTE* out) {
    if (!out) return;
    const LONG t = std::clamp<LONG>(tempo, 0, 0xFFFFFF);
    out[0] = META_TEMPO;
    out[1] = BYTE(t >> 16);
    out[2] = BYTE(t >> 8);
    out[3] = BYTE(t);
}

// ------------------------------------------------------------------ Meters

int MakeMeterInfo(const SongEventInfo& e, MeterInfo* out) {
    if (!out) return 0;
    *out = MeterInfo();
    if (!IsTimeSignatureEvent(e)) return 0;
    const BYTE numerator = e.Bytes[1];
    const BYTE power = e.Bytes[2];
    // A beat shorter than a tick would give bars and beats of 0 ticks.
    if (numerator == 0 || power > METER_MAX_DENOMINATOR_POWER) return 0;
    out->Time = e.Time;
    out->Numerator = numerator;
    out->DenominatorPower = power;
    out->TicksPerBar = (LONG(numerator) * SONG_TICKS_PER_WHOLE) >> power;
    out->TicksPerBeat = SONG_TICKS_PER_WHOLE >> power;
    return 1;
}

void CMeterMap::RemoveAll() {
    m_Meters.clear();
    m_Sorted = true;
}

int CMeterMap::Rebuild(const CBlock* block) {
    RemoveAll();
    if (!block) return 0;
    MeterInfo previous;  // 4/4 from tick 0, measure 1
    const CSongEventList& events = block->GetEventList();
    for (POSITION pos = events.GetHeadPosition(); pos;) {
        const SongEventInfo& e = events.GetNext(pos)->GetInfo();
        if (!IsTimeSignatureEvent(e)) continue;
        if (e.Bytes[1] == 0) return 0;
        std::unique_ptr<CMeter> meter(new (std::nothrow) CMeter());
        if (!meter) return 0;
        if (!MakeMeterInfo(e, &meter->Info)) continue;  // a beat shorter than a tick
        MeterInfo& m = meter->Info;
        m.Measure = ClampToLong((__int128(m.Time) - previous.Time) / previous.TicksPerBar + previous.Measure);
        if (m.Time < previous.Time) m_Sorted = false;
        previous = m;
        try {
            m_Meters.push_back(std::move(meter));
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }
    return 1;
}

int CMeterMap::MeterAt(int index, MeterInfo* out) const {
    if (index < 0 || index >= GetCount()) return 0;
    if (out) *out = m_Meters[size_t(index)]->Info;
    return 1;
}

int CMeterMap::MeterIndexAt(INT64 tick) const {
    return LastIndexAtOrBefore(m_Meters, m_Sorted, tick, [](const CMeter& m) { return m.Info.Time; });
}

INT64 CMeterMap::MeasToTime(LONG measure, LONG beat, LONG tick) const {
    const CMeter* meter = EntryAtOrBefore(m_Meters, m_Sorted, measure, [](const CMeter& m) { return INT64(m.Info.Measure); });
    const MeterInfo m = meter ? meter->Info : MeterInfo();
    return ClampSongTime(__int128(m.Time) + __int128(measure - __int128(m.Measure)) * m.TicksPerBar +
                         __int128(beat - __int128(1)) * m.TicksPerBeat + tick);
}

int CMeterMap::TimeToMeas(INT64 ticks, LONG* measure, LONG* beat, LONG* tick, MeterInfo* meter) const {
    const CMeter* found = EntryAtOrBefore(m_Meters, m_Sorted, ticks, [](const CMeter& m) { return m.Info.Time; });
    const MeterInfo m = found ? found->Info : MeterInfo();
    if (meter) *meter = m;
    if (ticks == SONG_TIME_ABSENT) {
        if (measure) *measure = std::numeric_limits<LONG>::max();
        if (beat) *beat = 1;
        if (tick) *tick = 0;
        return 0;
    }
    const __int128 d = __int128(ticks) - m.Time;
    const __int128 inBar = d % m.TicksPerBar;
    if (measure) *measure = ClampToLong(d / m.TicksPerBar + m.Measure);
    if (beat) *beat = LONG(inBar / m.TicksPerBeat + 1);
    if (tick) *tick = LONG(d % m.TicksPerBeat);
    return 1;
}

// ------------------------------------------------------------------ Tempos

void CTempoMap::RemoveAll() {
    m_Tempos.clear();
    m_Sorted = true;
}

int CTempoMap::Rebuild(const CBlock* block, const TempoRule& rule) {
    RemoveAll();
    try {
        if (rule.Mode == TEMPO_MODE_FIXED) {
            std::unique_ptr<CTempo> fixed(new CTempo());
            fixed->Info.Tempo = ClampTempo(rule.FixedTempo);
            m_Tempos.push_back(std::move(fixed));
            return 1;
        }
        if (!block) return 0;
        INT64 previousTime = 0;
        LONG previousTempo = TEMPO_DEFAULT;  // the first stretch runs at the default, as the rule does not see it
        __int128 clock = 0;
        __int128 remainder = 0;  // clock fractions of a tick carried to the next stretch
        const CSongEventList& events = block->GetEventList();
        for (POSITION pos = events.GetHeadPosition(); pos;) {
            const SongEventInfo& e = events.GetNext(pos)->GetInfo();
            if (!IsTempoEvent(e)) continue;
            std::unique_ptr<CTempo> tempo(new CTempo());
            TempoInfo& t = tempo->Info;
            t.Time = e.Time;
            t.Tempo = ClampTempo(TempoOfEvent(e));
            const __int128 x = (__int128(t.Time) - previousTime) * (__int128(previousTempo) * 10) + remainder;
            clock += x / SONG_TICKS_PER_QUARTER;
            remainder = x % SONG_TICKS_PER_QUARTER;
            t.Clock = ClampSongTime(clock);
            if (t.Time < previousTime) m_Sorted = false;
            previousTime = t.Time;
            previousTempo = rule.Effective(t.Tempo);
            m_Tempos.push_back(std::move(tempo));
        }
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int CTempoMap::TempoAt(int index, TempoInfo* out) const {
    if (index < 0 || index >= GetCount()) return 0;
    if (out) *out = m_Tempos[size_t(index)]->Info;
    return 1;
}

int CTempoMap::TempoIndexAt(INT64 tick) const {
    return LastIndexAtOrBefore(m_Tempos, m_Sorted, tick, [](const CTempo& t) { return t.Info.Time; });
}

INT64 CTempoMap::TicksToClock(INT64 ticks, const TempoRule& rule) const {
    if (ticks == SONG_TIME_ABSENT) return SONG_TIME_ABSENT;
    const CTempo* found = EntryAtOrBefore(m_Tempos, m_Sorted, ticks, [](const CTempo& t) { return t.Info.Time; });
    const TempoInfo t = found ? found->Info : TempoInfo();
    const __int128 perQuarter = __int128(rule.Effective(t.Tempo)) * 10;
    return ClampSongTime(t.Clock + (__int128(ticks) - t.Time) * perQuarter / SONG_TICKS_PER_QUARTER);
}

INT64 CTempoMap::ClockToTicks(INT64 clock, const TempoRule& rule) const {
    if (clock == SONG_TIME_ABSENT) return SONG_TIME_ABSENT;
    const CTempo* found = EntryAtOrBefore(m_Tempos, m_Sorted, clock, [](const CTempo& t) { return t.Info.Clock; });
    const TempoInfo t = found ? found->Info : TempoInfo();
    const __int128 perQuarter = __int128(rule.Effective(t.Tempo)) * 10;
    return ClampSongTime(t.Time + (__int128(clock) - t.Clock) * SONG_TICKS_PER_QUARTER / perQuarter);
}

// ------------------------------------------------------------------ Key signatures

void CKeySigMap::RemoveAll() {
    m_KeySigs.clear();
    m_Sorted = true;
}

int CKeySigMap::Rebuild(const CBlock* block) {
    RemoveAll();
    if (!block) return 0;
    INT64 previousTime = 0;
    const CSongEventList& events = block->GetEventList();
    for (POSITION pos = events.GetHeadPosition(); pos;) {
        const SongEventInfo& e = events.GetNext(pos)->GetInfo();
        if (!IsKeySignatureEvent(e)) continue;
        std::unique_ptr<CKeySig> key(new (std::nothrow) CKeySig());
        if (!key) return 0;
        key->Time = e.Time;
        key->Key = LONG(e.Bytes[1]) * 256 + e.Bytes[2];
        if (key->Time < previousTime) m_Sorted = false;
        previousTime = key->Time;
        try {
            m_KeySigs.push_back(std::move(key));
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }
    return 1;
}

int CKeySigMap::KeySigAt(int index, INT64* time, LONG* key) const {
    if (index < 0 || index >= GetCount()) return 0;
    if (time) *time = m_KeySigs[size_t(index)]->Time;
    if (key) *key = m_KeySigs[size_t(index)]->Key;
    return 1;
}

int CKeySigMap::KeySigIndexAt(INT64 tick) const {
    return LastIndexAtOrBefore(m_KeySigs, m_Sorted, tick, [](const CKeySig& k) { return k.Time; });
}
