// The song head: the KV System On at time 0 and the lead-in that lets the
// instrument settle before the music starts.
#include <QByteArray>
#include <algorithm>
#include <new>

#include "app/Smf.h"
#include "app/SmfAnalysis.h"
#include "app/SmfCodes.h"

namespace {

constexpr BYTE kMetaText = 0x01;
constexpr BYTE kMetaTrackName = 0x03;
constexpr BYTE kMetaTempo = 0x51;
constexpr BYTE kMetaTimeSignature = 0x58;

bool IsKvSystemOnEvent(const CEvnt& e) { return e.GetStatus() == SMF_SYSEX && IsKvSystemOn(e.GetData()); }

// An event at time 0 that the lead-in leaves in place: text, track name,
// tempo, time signature and the KV System On (and, when `withEndOfTrack`,
// an end of track).
bool StaysAtStart(const CEvnt& e, bool withEndOfTrack) {
    if (e.GetTime() != 0) return false;
    if (IsKvSystemOnEvent(e)) return true;
    if (e.GetStatus() != SMF_META) return false;
    switch (e.GetMetaType()) {
        case kMetaText:
        case kMetaTrackName:
        case kMetaTempo:
        case kMetaTimeSignature:
            return true;
        case SMF_META_END_OF_TRACK:
            return withEndOfTrack;
        default:
            return false;
    }
}

}  // namespace

int CSmf::PrepareHead(const SongFacts& facts) {
    int rc;
    if (facts.kvSystemOnFound) {
        if (SmfFailed(rc = MoveKvSystemOnToStart(facts.kvSystemOnTime))) return SmfWrap(rc, 3);
    } else {
        if (SmfFailed(rc = InsertKvSystemOn())) return SmfWrap(rc, 4);
    }
    if (SmfFailed(rc = NormaliseHead(facts))) return SmfWrap(rc, 2);
    return 0;
}

int CSmf::InsertKvSystemOn() {
    if (m_Tracks.empty()) return SmfFail(5);
    if (!m_Tracks.front()) return SmfFail(6);
    CTrk& track = *m_Tracks.front();
    // Before the first event later than 0, and at most the third event; a
    // first track of at most two events, all at 0, gets none.
    size_t position = 0;
    auto it = track.GetEvents().begin();
    for (; it != track.GetEvents().end(); ++it, ++position)
        if ((*it)->GetTime() != 0 || position == 2) break;
    if (it == track.GetEvents().end()) return 0;

    std::unique_ptr<CEvnt> kv(new (std::nothrow) CEvnt);
    if (!kv) return SmfFail(7);
    kv->SetStatus(SMF_SYSEX);
    int rc = kv->SetData(kKvSystemOnData, DWORD(sizeof kKvSystemOnData));
    if (SmfFailed(rc)) return SmfWrap(rc, 8);
    rc = track.InsertAt(position, std::move(kv));
    return SmfFailed(rc) ? SmfWrap(rc, 9) : 0;
}

int CSmf::MoveKvSystemOnToStart(DWORD kvTime) {
    for (const auto& track : m_Tracks) {
        if (!track) continue;
        std::vector<CEvnt*> events;
        try {
            for (const auto& e : track->GetEvents()) events.push_back(e.get());
        } catch (const std::bad_alloc&) {
            return SmfFail(1);
        }
        // From the end: the last KV System On at kvTime is the one kept.
        // Only events before it in the list are deleted, so the list stays
        // in order for every removal.
        bool moved = false;
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            CEvnt* e = *it;
            if (e->GetStatus() == SMF_META) continue;
            bool drop = false;
            if (e->GetTime() == kvTime && IsKvSystemOnEvent(*e)) {
                if (moved) {
                    drop = true;
                } else {
                    e->SetTime(0);
                    moved = true;
                }
            } else {
                drop = e->GetTime() < kvTime;
            }
            if (drop) {
                const int rc = track->RemoveEvent(e);
                if (SmfFailed(rc)) return SmfWrap(rc, 2);
            }
        }
        track->SortByTime();
    }
    return 0;
}

int CSmf::NormaliseHead(const SongFacts& facts) {
    const WORD division = facts.division ? facts.division : 960;
    const DWORD tempo = facts.tempo ? facts.tempo : 500000;
    const double scale = 960.0 / division;
    // The first event at 960 per quarter note. With no such event the time
    // is the none value, which times the scale of a small division passes
    // 32 bits: 64 bits hold any 32-bit time times 960.
    const UINT64 first = UINT64(double(facts.firstEventTime) * scale);
    // 50 milliseconds at the tempo, plus 60 ticks.
    const UINT64 needed = 48000000 / tempo + 60;
    if (first >= needed) return 0;
    const UINT64 shortfall = needed - first;

    if (m_Head.Format == 0 && m_Zqih.empty()) m_Zqih = m_Zqkm;

    EventRefs head;
    int rc = CollectEvents(head, 0, facts.firstNoteTime);
    if (SmfFailed(rc)) return SmfWrap(rc, 2);
    const DWORD shift = DWORD(double(shortfall) / scale);
    bool possible = false;
    rc = ShiftHeadEvents(head, shift, facts.firstEventTime, facts.firstNoteTime, facts.kvSystemOnTime, false, possible);
    if (SmfFailed(rc)) return SmfWrap(rc, 3);
    if (possible) {
        rc = ShiftHeadEvents(head, shift, facts.firstEventTime, facts.firstNoteTime, facts.kvSystemOnTime, true,
                             possible);
        return SmfFailed(rc) ? SmfWrap(rc, 4) : 0;
    }
    rc = InsertLeadMeasures(division, tempo, facts.numerator, facts.denominatorPower, 0, DWORD(double(needed) / scale));
    return SmfFailed(rc) ? SmfWrap(rc, 5) : 0;
}

int CSmf::ShiftHeadEvents(const EventRefs& head, DWORD shift, DWORD firstEventTime, DWORD firstNoteTime, DWORD kvTime,
                          bool apply, bool& possible) {
    possible = true;
    if (firstNoteTime < shift) {
        possible = false;
        return 0;
    }
    bool shifted = false;
    UINT64 reached = 0;  // where the last shifted event went
    for (CEvnt* e : head) {
        if (!e) return SmfFail(1);
        const DWORD t = e->GetTime();
        if (t >= firstNoteTime) break;
        // Past the shifted events: what follows already lies behind them.
        if (shifted && t > firstEventTime && t > reached) break;
        if (StaysAtStart(*e, true)) continue;
        if (t < firstEventTime || (t < kvTime && e->GetStatus() != SMF_META)) continue;
        reached = UINT64(t) + shift;
        shifted = true;
        if (reached >= firstNoteTime) {
            possible = false;
            break;
        }
        if (apply) e->SetTime(DWORD(reached));
    }
    if (apply && shifted)
        for (const auto& track : m_Tracks)
            if (track) track->SortByTime();
    return 0;
}

int CSmf::InsertLeadMeasures(WORD division, DWORD tempo, BYTE numerator, BYTE denominatorPower, DWORD base,
                             DWORD threshold) {
    using U128 = unsigned __int128;
    // One measure in the song's ticks. A denominator power so large that no
    // tick is left (or a zero numerator, division or tempo) gives no measure
    // to insert.
    const UINT64 wholeNotes = UINT64(numerator) * division * 4;
    const UINT64 measure = denominatorPower >= 64 ? 0 : wholeNotes >> denominatorPower;
    if (measure == 0 || tempo == 0) return SmfFail(1);

    // The fewest measures m >= 1 for which (base + m x measure) x tempo /
    // division reaches the threshold, in exact arithmetic.
    const U128 target = U128(threshold) * division;
    const U128 step = U128(measure) * tempo;
    const U128 start = U128(base) * tempo;
    U128 measures = 1;
    if (start + step < target) measures = (target - start + step - 1) / step;
    const U128 move = measures * measure;

    // Nothing moves unless every moved time fits in 32 bits.
    for (const auto& track : m_Tracks) {
        if (!track) return SmfFail(10);
        for (const auto& e : track->GetEvents())
            if (!StaysAtStart(*e, false) && U128(e->GetTime()) + move > 0xFFFFFFFFu) return SmfFail(2);
    }
    for (const auto& track : m_Tracks) {
        for (const auto& e : track->GetEvents())
            if (!StaysAtStart(*e, false)) e->SetTime(DWORD(e->GetTime() + DWORD(move)));
        track->SortByTime();
    }
    return 0;
}

int CSmf::Normalize(QByteArray& bytes) {
    int rc = FromByteArray(bytes);
    if (rc != 0) return SmfWrap(rc, 1);
    SongFacts facts;
    if (SmfFailed(rc = CollectSongFacts(facts))) return SmfWrap(rc, 2);
    if ((rc = NormaliseHead(facts)) != 0) return SmfWrap(rc, 3);
    if ((rc = ToByteArray(bytes)) != 0) return SmfWrap(rc, 4);
    return 0;
}
