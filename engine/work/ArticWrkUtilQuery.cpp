// Note neighbourhood, chord, rest, area, near-time, key and sorting queries of CArticWrkUtil.
#include <algorithm>
#include <vector>

#include "engine/work/ArticFngrInfo.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilImpl.h"

using namespace wrkutil;

namespace {

BYTE StringOf(const CArticWrkEvnt* e) { return e->GetFngrInfo() ? e->GetFngrInfo()->GetGen() : 0; }

// The event's own place in its block's list, null when it has none there.
POSITION OwnPos(const CArticWrkEvnt* e) {
    CArticWrkBlk* blk = e ? e->GetOwner() : nullptr;
    POSITION pos = e ? e->GetPosEvnt() : nullptr;
    return blk && pos && blk->Get(pos) == e ? pos : nullptr;
}

// Walks the block from the event (stepping once first) forward (dir > 0) or
// backward; f returns true to stop.
template <class F>
void WalkBlockFrom(CArticWrkEvnt* evnt, int dir, F f) {
    POSITION pos = OwnPos(evnt);
    if (!pos) return;
    CArticWrkBlk* blk = evnt->GetOwner();
    dir > 0 ? blk->GetNext(pos) : blk->GetPrev(pos);
    while (pos) {
        CArticWrkEvnt* e = dir > 0 ? blk->GetNext(pos) : blk->GetPrev(pos);
        if (e && f(e)) return;
    }
}

template <class F>
void WalkBlock(CArticWrkBlk* blk, F f) {
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (e && f(e)) return;
    }
}

// Walks the event numbers from `from` in direction dir over the events the
// table resolves (on selected tracks when selectedOnly); f returns true to stop.
template <class F>
void WalkNumbers(const CArticWrk* wrk, int64_t from, int dir, bool selectedOnly, F f) {
    const CArticPosArray* table = wrk ? wrk->GetEvntPosArray() : nullptr;
    if (!table) return;
    for (int64_t i = from; i >= 0 && i < table->GetSize(); i += dir) {
        CArticWrkEvnt* e = wrk->GetEvntInEvntPosArray(ULONG(i), 1);
        if (!e || (selectedOnly && !e->GetSelTrk())) continue;
        if (f(e)) return;
    }
}

CArticWrkEvnt* StepBlock(CArticWrkEvnt* evnt, int dir, int probIdx) {
    if (!evnt || !evnt->GetOwner()) return nullptr;
    const BYTE gen = StringOf(evnt);
    CArticWrkEvnt* hit = nullptr;
    WalkBlockFrom(evnt, dir, [&](CArticWrkEvnt* e) {
        if (!IsNote(e) || StringOf(e) != gen) return false;
        if (probIdx >= 0 && !(e->GetProb(ULONG(probIdx)) > 0)) return false;
        hit = e;
        return true;
    });
    return hit;
}

int CollectBlockNotes(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list, int dir) {
    if (!evnt || !list || n <= 0 || !evnt->GetOwner()) return 1;
    const BYTE gen = StringOf(evnt);
    int appended = 0;
    WalkBlockFrom(evnt, dir, [&](CArticWrkEvnt* e) {
        if (!IsNote(e) || StringOf(e) != gen) return false;
        list->AddTail(e);
        return ++appended >= n;
    });
    return appended >= n ? 0 : 1;
}

int CollectNumberNotes(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list, int dir, bool selectedOnly) {
    if (!evnt || !list || n <= 0 || !evnt->GetOwner()) return 1;
    CArticWrk* wrk = WrkOf(evnt);
    if (!wrk) return 1;
    int appended = 0;
    WalkNumbers(wrk, int64_t(evnt->GetEvntNo()) + dir, dir, selectedOnly, [&](CArticWrkEvnt* e) {
        if (!IsNote(e)) return false;
        list->AddTail(e);
        return ++appended >= n;
    });
    return appended >= n ? 0 : 1;
}

// The count-th note in number order from the event; null when none.
CArticWrkEvnt* StepNumbers(CArticWrkEvnt* evnt, int dir, bool selectedOnly, int count, int probIdx) {
    CArticWrk* wrk = WrkOf(evnt);
    if (!wrk || count <= 0) return nullptr;
    CArticWrkEvnt* hit = nullptr;
    int seen = 0;
    WalkNumbers(wrk, int64_t(evnt->GetEvntNo()) + dir, dir, selectedOnly, [&](CArticWrkEvnt* e) {
        if (!IsNote(e)) return false;
        if (probIdx >= 0 && !(e->GetProb(ULONG(probIdx)) > 0)) return false;
        if (++seen < count) return false;
        hit = e;
        return true;
    });
    return hit;
}

// Chord partner tests of the next and previous walks.
bool NextPartner(const CArticWrkEvnt* evnt, const CArticWrkEvnt* r, INT64 len) {
    const INT64 start = evnt->GetTime(), end = EndOf(evnt);
    if (r->GetTime() < start || r->GetTime() > end) return false;
    const INT64 rEnd = EndOf(r);
    return (rEnd < end ? rEnd : end) - r->GetTime() > len;
}

bool PrevPartner(const CArticWrkEvnt* evnt, const CArticWrkEvnt* r, INT64 len) {
    const INT64 start = evnt->GetTime(), end = EndOf(evnt);
    if (r->GetTime() > start) return false;
    const INT64 rEnd = EndOf(r);
    const INT64 overlap = rEnd >= start ? (rEnd < end ? rEnd : end) - start : 0;
    return overlap > len;
}

INT64 SoundsTogether(const CArticWrkEvnt* a, const CArticWrkEvnt* b) {
    const INT64 end = EndOf(a) < EndOf(b) ? EndOf(a) : EndOf(b);
    const INT64 start = a->GetTime() > b->GetTime() ? a->GetTime() : b->GetTime();
    return end - start;
}

INT64 NonChordLimit(const CArticWrkEvnt* evnt, INT64 margin) {
    INT64 limit = EndOf(evnt) - margin;
    if (limit < evnt->GetTime()) limit = evnt->GetTime();
    return limit < 0 ? 0 : limit;
}

bool BelongsTo(const CArticWrkEvnt* evnt, const CArticWrk* wrk) {
    CArticWrkBlk* blk = evnt->GetOwner();
    CArticWrkTrk* trk = blk ? blk->GetOwner() : nullptr;
    return trk && trk->GetOwner() == wrk;
}

// The rest before a note over the notes a walk offers; 0 when one still sounds.
class RestFinder {
public:
    explicit RestFinder(INT64 start) : m_Start(start) {}
    // true when the walk may stop.
    bool Offer(const CArticWrkEvnt* q) {
        if (!IsNote(q) || q->GetTime() >= m_Start) return false;
        const INT64 gap = m_Start - EndOf(q);
        if (gap < 0) {
            m_Sounding = true;
            return true;
        }
        if (!m_Found || gap < m_Smallest) m_Smallest = gap;
        m_Found = true;
        return false;
    }
    INT64 Result() const { return m_Sounding || !m_Found ? 0 : m_Smallest; }

private:
    INT64 m_Start;
    INT64 m_Smallest = 0;
    bool m_Found = false;
    bool m_Sounding = false;
};

// Nearest candidate of a list; false when none qualifies.
bool NearTime(CArticWrkEvntList* list, INT64 time, BYTE type, bool on, INT64* best) {
    if (!list) return false;
    bool found = false;
    INT64 bestMeasure = 0;
    for (POSITION p = list->GetTailPosition(); p;) {
        CArticWrkEvnt* e = list->GetPrev(p);
        if (!IsNote(e)) continue;
        const INT64 candidate = on ? e->GetTime() : EndOf(e);
        const INT64 d = candidate - time;
        bool ok = false;
        INT64 measure = 0;
        switch (type) {
        case 0: ok = true; measure = d < 0 ? -d : d; break;
        case 1: ok = d <= 0; measure = -d; break;
        case 2: ok = d >= 0; measure = d; break;
        case 3: ok = on && d >= 0; measure = d; break;
        case 10: ok = d != 0; measure = d < 0 ? -d : d; break;
        case 11: ok = d < 0; measure = -d; break;
        case 12: ok = d > 0; measure = d; break;
        case 13: ok = on && d > 0; measure = d; break;
        default: break;
        }
        if (!ok || (found && measure >= bestMeasure)) continue;
        found = true;
        bestMeasure = measure;
        *best = candidate;
    }
    return found;
}

INT64 NearOn(CArticWrkEvntList* list, INT64 time, BYTE type, int* found) {
    if (found) *found = 0;
    INT64 best = time;
    if (NearTime(list, time, type, true, &best)) {
        if (found) *found = 1;
        return best;
    }
    if (!list) return time;
    if (type == 2 || type == 12) return CArticWrkUtil::GetNearNoteOffTime(list, time, 2);
    if (type == 3 || type == 13) return kWrkNoTime;
    return time;
}

INT64 NearOff(CArticWrkEvntList* list, INT64 time, BYTE type, int* found) {
    if (found) *found = 0;
    INT64 best = time;
    if (NearTime(list, time, type, false, &best)) {
        if (found) *found = 1;
        return best;
    }
    if (list && type == 12) return CArticWrkUtil::GetNearNoteOffTime(list, time, 2);
    return time;
}

// The near-time search of a GetNearNoteTime kind; false for an unknown kind.
bool NearByKind(CArticWrkEvntList* list, int kind, INT64* time, int* found) {
    struct Search { int kind; bool on; BYTE type; };
    static const Search kSearches[] = {
        {0, true, 0}, {1, true, 2}, {2, false, 0}, {3, true, 3}, {4, false, 2},
        {10, true, 10}, {11, true, 12}, {12, false, 10}, {13, true, 13}, {14, false, 12},
    };
    for (const Search& s : kSearches) {
        if (s.kind != kind) continue;
        *time = s.on ? NearOn(list, *time, s.type, found) : NearOff(list, *time, s.type, found);
        return true;
    }
    if (found) *found = 0;
    return false;
}

// The searches for the next note start (kinds 3 and 13) from near in a
// time-ordered list: the first note from the first event later than *time.
// false for any other kind.
bool NextNoteOnFrom(CArticWrkEvntList* list, int kind, INT64* time, int* found, POSITION near) {
    if (kind != 3 && kind != 13) return false;
    for (POSITION p = FirstLater(list, *time, kind == 13, near); p;) {
        const CArticWrkEvnt* e = list->GetNext(p);
        if (!IsNote(e)) continue;
        *time = e->GetTime();
        if (found) *found = 1;
        return true;
    }
    *time = kWrkNoTime;
    return true;
}

int NearNoteTime(CArticWrkBlk* blk, BYTE mode, INT64* time, int* found, POSITION near = nullptr) {
    if (found) *found = 0;
    if (!blk || !blk->GetEvntList() || !time) return 1;
    if (!near || !NextNoteOnFrom(blk->GetEvntList(), mode % 100, time, found, near))
        NearByKind(blk->GetEvntList(), mode % 100, time, found);
    if (mode / 100 == 0) return 0;
    // Moves on to where the next expression setting starts.
    _WRK_EVNT rec;
    rec.Status = 0xB0;
    rec.Post1 = 11;
    LONG value = 0, at = 0;
    if (blk->GetNextCondPos(rec, *time, &value, &at) == 0) {
        *time = at < 0 ? 0 : at;
        if (found) *found = 1;
    } else {
        *time = kWrkNoTime;
        if (found) *found = 0;
    }
    return 0;
}

}  // namespace

// ---- Next and previous notes

int CArticWrkUtil::GetNextNote(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list) {
    return CollectBlockNotes(evnt, n, list, +1);
}
int CArticWrkUtil::GetPrevNote(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list) {
    return CollectBlockNotes(evnt, n, list, -1);
}
int CArticWrkUtil::GetAllNextNote(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list) {
    return CollectNumberNotes(evnt, n, list, +1, false);
}
int CArticWrkUtil::GetAllPrevNote(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list) {
    return CollectNumberNotes(evnt, n, list, -1, false);
}
int CArticWrkUtil::GetWrkNextNote(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list) {
    return CollectNumberNotes(evnt, n, list, +1, true);
}
int CArticWrkUtil::GetWrkPrevNote(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list) {
    return CollectNumberNotes(evnt, n, list, -1, true);
}

// ---- Single-step neighbours

CArticWrkEvnt* CArticWrkUtil::GetNextGenNote(CArticWrkEvnt* evnt) { return StepBlock(evnt, +1, -1); }
CArticWrkEvnt* CArticWrkUtil::GetPrevGenNote(CArticWrkEvnt* evnt) { return StepBlock(evnt, -1, -1); }

CArticWrkEvnt* CArticWrkUtil::GetNextProbNote(CArticWrkEvnt* evnt, int idx) {
    return idx < 0 ? nullptr : StepBlock(evnt, +1, idx);
}
CArticWrkEvnt* CArticWrkUtil::GetPrevProbNote(CArticWrkEvnt* evnt, int idx) {
    return idx < 0 ? nullptr : StepBlock(evnt, -1, idx);
}

CArticWrkEvnt* CArticWrkUtil::GetNextNoteEvnt(CArticWrkEvnt* evnt) { return StepNumbers(evnt, +1, false, 1, -1); }
CArticWrkEvnt* CArticWrkUtil::GetPrevNoteEvnt(CArticWrkEvnt* evnt) { return StepNumbers(evnt, -1, false, 1, -1); }
CArticWrkEvnt* CArticWrkUtil::GetWrkNextNoteEvnt(CArticWrkEvnt* evnt) { return StepNumbers(evnt, +1, true, 1, -1); }
CArticWrkEvnt* CArticWrkUtil::GetWrkPrevNoteEvnt(CArticWrkEvnt* evnt) { return StepNumbers(evnt, -1, true, 1, -1); }

CArticWrkEvnt* CArticWrkUtil::GetWrkNextNumNote(CArticWrkEvnt* evnt, int n) { return StepNumbers(evnt, +1, true, n, -1); }
CArticWrkEvnt* CArticWrkUtil::GetWrkPrevNumNote(CArticWrkEvnt* evnt, int n) { return StepNumbers(evnt, -1, true, n, -1); }

CArticWrkEvnt* CArticWrkUtil::GetWrkNextProbNote(CArticWrkEvnt* evnt, int idx) {
    return idx < 0 ? nullptr : StepNumbers(evnt, +1, true, 1, idx);
}
CArticWrkEvnt* CArticWrkUtil::GetWrkPrevProbNote(CArticWrkEvnt* evnt, int idx) {
    return idx < 0 ? nullptr : StepNumbers(evnt, -1, true, 1, idx);
}

CArticWrkEvnt* CArticWrkUtil::GetFrontContCcEvnt(CArticWrkEvnt* evnt, INT64 time, BYTE number) {
    CArticWrk* wrk = WrkOf(evnt);
    if (!wrk || !evnt->GetOwner()->GetEvntList()) return nullptr;
    auto isCc = [&](const CArticWrkEvnt* e) { return e->GetStatus() == 0xB0 && e->GetPost1() == number; };
    CArticWrkEvnt* candidate = isCc(evnt) && evnt->GetTime() < time ? evnt : nullptr;
    WalkNumbers(wrk, int64_t(evnt->GetEvntNo()) + 1, +1, false, [&](CArticWrkEvnt* e) {
        if (e->GetTime() >= time) return true;
        if (isCc(e)) candidate = e;
        return false;
    });
    if (candidate) return candidate;
    if (wrk->GetPrevCc(evnt->GetEvntNo(), number, time, &candidate)) return candidate;
    WalkNumbers(wrk, int64_t(evnt->GetEvntNo()) - 1, -1, false, [&](CArticWrkEvnt* e) {
        if (!isCc(e) || e->GetTime() >= time) return false;
        candidate = e;
        return true;
    });
    return candidate;
}

// ---- Chords, harmony, rests

int CArticWrkUtil::GetNextChordWrkEvnt(CArticWrkEvnt* evnt, INT64 len, CArticWrkEvnt** out) {
    if (!out) return 1;
    *out = nullptr;
    if (!IsNote(evnt) || !evnt->GetOwner()) return 1;
    WalkBlockFrom(evnt, +1, [&](CArticWrkEvnt* r) {
        if (!IsNote(r) || !NextPartner(evnt, r, len)) return false;
        *out = r;
        return true;
    });
    return *out ? 0 : 1;
}

int CArticWrkUtil::GetPrevChordWrkEvnt(CArticWrkEvnt* evnt, INT64 len, CArticWrkEvnt** out) {
    if (!out) return 1;
    *out = nullptr;
    if (!IsNote(evnt) || !evnt->GetOwner()) return 1;
    WalkBlockFrom(evnt, -1, [&](CArticWrkEvnt* r) {
        if (!IsNote(r) || !PrevPartner(evnt, r, len)) return false;
        *out = r;
        return true;
    });
    return *out ? 0 : 1;
}

namespace {

// The partner the walk over the numbers finds, from the notes in number
// order whose times rise along the numbers: a next partner starts by the
// note's end, so the walk up stops at the first later start; a previous one
// must end after start + len, so the walk down stops where no note before
// ends that late.
CArticWrkEvnt* IndexedChordPartner(const std::vector<CArticWrk::NumberedNote>& notes, const CArticWrkEvnt* evnt,
                                   INT64 len, int dir) {
    const ULONG n = evnt->GetEvntNo();
    auto at = std::lower_bound(notes.begin(), notes.end(), n,
                               [](const CArticWrk::NumberedNote& x, ULONG no) { return ULONG(x.no) < no; });
    if (dir > 0) {
        if (at != notes.end() && ULONG(at->no) == n) ++at;
        for (; at != notes.end() && at->time <= EndOf(evnt); ++at)
            if (NextPartner(evnt, at->evnt, len)) return at->evnt;
        return nullptr;
    }
    const INT64 reach = evnt->GetTime() + len;
    while (at != notes.begin()) {
        --at;
        if (at->lastEnd <= reach) break;
        if (PrevPartner(evnt, at->evnt, len)) return at->evnt;
    }
    return nullptr;
}

int WrkChord(CArticWrkEvnt* evnt, INT64 len, CArticWrkEvnt** out, int dir) {
    if (!out) return 1;
    *out = nullptr;
    CArticWrk* wrk = WrkOf(evnt);
    if (!IsNote(evnt) || !wrk) return 1;
    if (len <= 0) return 0;
    if (const auto* notes = wrk->GetNotesInTimeOrder()) {
        *out = IndexedChordPartner(*notes, evnt, len, dir);
        return 0;
    }
    WalkNumbers(wrk, int64_t(evnt->GetEvntNo()) + dir, dir, true, [&](CArticWrkEvnt* r) {
        if (!IsNote(r)) return false;
        if (!(dir > 0 ? NextPartner(evnt, r, len) : PrevPartner(evnt, r, len))) return false;
        *out = r;
        return true;
    });
    return 0;
}

}  // namespace

int CArticWrkUtil::GetWrkNextChordWrkEvnt(CArticWrkEvnt* evnt, INT64 len, CArticWrkEvnt** out) {
    return WrkChord(evnt, len, out, +1);
}
int CArticWrkUtil::GetWrkPrevChordWrkEvnt(CArticWrkEvnt* evnt, INT64 len, CArticWrkEvnt** out) {
    return WrkChord(evnt, len, out, -1);
}

int CArticWrkUtil::GetNonChordWrkEvnt(CArticWrkEvnt* evnt, INT64 margin, int notesOnly, CArticWrkEvnt** out) {
    if (!out) return 1;
    *out = nullptr;
    if (!IsNote(evnt) || !evnt->GetOwner()) return 1;
    const INT64 limit = NonChordLimit(evnt, margin);
    WalkBlock(evnt->GetOwner(), [&](CArticWrkEvnt* e) {
        if (notesOnly && !IsNoteNibble(e)) return false;
        if (e->GetTime() <= limit) return false;
        *out = e;
        return true;
    });
    return *out ? 0 : 1;
}

int CArticWrkUtil::GetWrkNonChordWrkEvnt(CArticWrkEvnt* evnt, INT64 margin, int notesOnly, CArticWrkEvnt** out) {
    if (!out) return 1;
    *out = nullptr;
    CArticWrk* wrk = WrkOf(evnt);
    if (!IsNote(evnt) || !wrk) return 1;
    const INT64 limit = NonChordLimit(evnt, margin);
    WalkNumbers(wrk, 0, +1, true, [&](CArticWrkEvnt* e) {
        if (notesOnly && !IsNoteNibble(e)) return false;
        if (e->GetTime() <= limit) return false;
        *out = e;
        return true;
    });
    return *out ? 0 : 1;
}

int CArticWrkUtil::GetIsChordWrkEvnt(CArticWrkEvnt* a, CArticWrkEvnt* b, INT64 window) {
    if (!a || !b) return 0;
    return SoundsTogether(a, b) > window ? 1 : 0;
}

int CArticWrkUtil::IsChord(CArticWrkEvnt* a, CArticWrkEvnt* b, INT64 window, double ratio, INT64 cap) {
    if (!a || !b) return 0;
    if (b->GetTime() > a->GetTime() + window) return 0;
    INT64 shortest = a->GetGateTime() < b->GetGateTime() ? a->GetGateTime() : b->GetGateTime();
    if (cap < shortest) shortest = cap;
    const INT64 need = DoubleToInt64(double(shortest) * ratio);
    const INT64 end = EndOf(a) < EndOf(b) ? EndOf(a) : EndOf(b);
    const INT64 overlap = end - b->GetTime();
    return overlap > 0 && overlap >= need ? 1 : 0;
}

int CArticWrkUtil::GetChordEvnt(CArticWrk* wrk, CArticWrkEvntList* list, CArticWrkEvnt* evnt, double window,
                                double ratio, double cap) {
    if (!wrk || !list || !evnt || !BelongsTo(evnt, wrk)) return 1;
    list->AddHead(evnt);
    const INT64 limit = evnt->GetTime() + DoubleToInt64(window);
    const INT64 need = evnt->GetGateTime() < DoubleToInt64(cap) ? DoubleToInt64(double(evnt->GetGateTime()) * ratio)
                                                                 : DoubleToInt64(ratio * cap);
    for (int64_t n = int64_t(evnt->GetEvntNo()) + 1;; ++n) {
        CArticWrkEvnt* q = n <= int64_t(kMaxEvntNo) ? wrk->GetEvntInEvntPosArray(ULONG(n), 1) : nullptr;
        if (!q) break;
        if (!IsNote(q)) continue;
        if (q->GetTime() > limit || SoundsTogether(q, evnt) < need) break;
        list->AddHead(q);
    }
    return 0;
}

int CArticWrkUtil::GetChordEvnt3(CArticWrk* wrk, CArticWrkEvntList* list, CArticWrkEvnt* evnt, double window,
                                 double ratio, double cap) {
    if (!wrk || !list || !evnt || !BelongsTo(evnt, wrk)) return 1;
    list->AddHead(evnt);
    const INT64 win = DoubleToInt64(window);
    const INT64 capTicks = DoubleToInt64(cap);
    for (int64_t n = int64_t(evnt->GetEvntNo()) + 1;; ++n) {
        CArticWrkEvnt* q = n <= int64_t(kMaxEvntNo) ? wrk->GetEvntInEvntPosArray(ULONG(n), 1) : nullptr;
        if (!q) break;
        if (!IsNote(q)) continue;
        bool all = true;
        for (POSITION p = list->GetHeadPosition(); p && all;) {
            CArticWrkEvnt* member = list->GetNext(p);
            if (member) all = IsChord(member, q, win, ratio, capTicks) != 0;
        }
        if (!all) break;
        list->AddTail(q);
    }
    return 0;
}

int CArticWrkUtil::GetWrkHarmoNote(CArticWrkEvnt* evnt, INT64 margin, CArticWrkEvntList* list) {
    if (!evnt || !list) return 1;
    CArticWrk* wrk = WrkOf(evnt);
    if (!wrk || !wrk->GetEvntPosArray()) return 1;
    list->RemoveAll();
    if (!IsNote(evnt)) return 1;
    const INT64 lo = evnt->GetTime() + margin;
    const INT64 hi = EndOf(evnt) <= margin ? 0 : EndOf(evnt) - margin;
    if (hi < lo) return 0;
    WalkNumbers(wrk, 0, +1, true, [&](CArticWrkEvnt* q) {
        if (!IsNote(q)) return false;
        const INT64 s = q->GetTime(), e = EndOf(q);
        if (s > hi) return true;
        if ((s >= lo && s <= hi) || (e >= lo && e <= hi) || (s < lo && e > hi)) list->AddTail(q);
        return false;
    });
    return 0;
}

INT64 CArticWrkUtil::GetPrevRest(CArticWrkEvnt* evnt) {
    if (!IsNote(evnt) || !evnt->GetOwner()) return 0;
    RestFinder rest(evnt->GetTime());
    WalkBlockFrom(evnt, -1, [&](CArticWrkEvnt* q) { return rest.Offer(q); });
    return rest.Result();
}

INT64 CArticWrkUtil::GetWrkPrevRest(CArticWrkEvnt* evnt) {
    CArticWrk* wrk = WrkOf(evnt);
    if (!IsNote(evnt) || !wrk) return 0;
    const INT64 start = evnt->GetTime();
    bool found = false;
    INT64 lastEnd = 0;
    if (wrk->GetPrevNoteEnd(evnt->GetEvntNo(), start, &found, &lastEnd))
        return found && lastEnd <= start ? start - lastEnd : 0;
    RestFinder rest(start);
    WalkNumbers(wrk, int64_t(evnt->GetEvntNo()) - 1, -1, true, [&](CArticWrkEvnt* q) { return rest.Offer(q); });
    return rest.Result();
}

// ---- Areas and measures

namespace {

// The notes of the block starting in [from, to], other than self and, when
// oneKey, of that key only.
int AreaNotes(CArticWrkBlk* blk, CArticWrkEvnt* self, INT64 from, INT64 to, bool oneKey, BYTE key,
              CArticWrkEvntList* list) {
    if (!blk || !list) return 1;
    WalkBlock(blk, [&](CArticWrkEvnt* e) {
        if (e->GetTime() > to) return true;
        if (e == self || !IsNoteNibble(e) || e->GetTime() < from) return false;
        if (!oneKey || e->GetPost1() == key) list->AddTail(e);
        return false;
    });
    return 0;
}

}  // namespace

int CArticWrkUtil::GetAreaNote(CArticWrkBlk* blk, INT64 from, INT64 to, CArticWrkEvntList* list) {
    return AreaNotes(blk, nullptr, from, to, false, 0, list);
}

int CArticWrkUtil::GetAreaNote(CArticWrkBlk* blk, CArticWrkEvnt* self, INT64 from, INT64 to, BYTE key,
                               CArticWrkEvntList* list) {
    return AreaNotes(blk, self, from, to, true, key, list);
}

int CArticWrkUtil::GetAreaNoteByEvnt(CArticWrkEvnt* evnt, INT64 from, INT64 to, CArticWrkEvntList* list) {
    if (!evnt || !list) return 1;
    CArticWrk* wrk = WrkOf(evnt);
    if (!wrk) return 0;
    if (!IsNote(evnt)) return 0;
    if (evnt->GetTime() >= from && evnt->GetTime() <= to) list->AddTail(evnt);
    WalkNumbers(wrk, int64_t(evnt->GetEvntNo()) + 1, +1, false, [&](CArticWrkEvnt* q) {
        if (!IsNote(q)) return false;
        if (q->GetTime() > to) return true;
        if (q->GetTime() >= from) list->AddTail(q);
        return false;
    });
    WalkNumbers(wrk, int64_t(evnt->GetEvntNo()) - 1, -1, false, [&](CArticWrkEvnt* q) {
        if (!IsNote(q)) return false;
        if (q->GetTime() < from) return true;
        if (q->GetTime() <= to) list->AddHead(q);
        return false;
    });
    return 0;
}

int CArticWrkUtil::GetSameMeasNote(CArticWrkEvnt* evnt, CArticWrkEvntList* list) {
    if (!evnt || !list || !evnt->GetOwner()) return 0;
    ULONG meas = 0, beat = 0, tick = 0;
    evnt->GetMeas(&meas, &beat, &tick);
    WalkBlock(evnt->GetOwner(), [&](CArticWrkEvnt* e) {
        ULONG m = 0, b = 0, t = 0;
        e->GetMeas(&m, &b, &t);
        if (m > meas) return true;
        if (m == meas && IsNote(e)) list->AddTail(e);
        return false;
    });
    return 0;
}

int CArticWrkUtil::GetSameWrkMeasNote(CArticWrkEvnt* evnt, CArticWrkEvntList* list) {
    CArticWrk* wrk = WrkOf(evnt);
    if (!list || !wrk) return 1;
    ULONG meas = 0, beat = 0, tick = 0;
    evnt->GetMeas(&meas, &beat, &tick);
    wrk->GetSameMeasWrkEvntInEvntPosArray(meas, 1, list);
    return 0;
}

// ---- Nearest note times

INT64 CArticWrkUtil::GetNearNoteOnTime(CArticWrkEvntList* list, INT64 time, BYTE type) {
    return NearOn(list, time, type, nullptr);
}
INT64 CArticWrkUtil::GetNearNoteOffTime(CArticWrkEvntList* list, INT64 time, BYTE type) {
    return NearOff(list, time, type, nullptr);
}
INT64 CArticWrkUtil::GetNearNoteOnTime2(CArticWrkEvntList* list, INT64 time, BYTE type, int* found) {
    return NearOn(list, time, type, found);
}
INT64 CArticWrkUtil::GetNearNoteOffTime2(CArticWrkEvntList* list, INT64 time, BYTE type, int* found) {
    return NearOff(list, time, type, found);
}

int CArticWrkUtil::GetNearNoteTime(CArticWrkBlk* blk, BYTE mode, INT64* time) {
    return NearNoteTime(blk, mode, time, nullptr);
}
int CArticWrkUtil::GetNearNoteTime2(CArticWrkBlk* blk, BYTE mode, INT64* time, int* found, POSITION near) {
    return NearNoteTime(blk, mode, time, found, near);
}

// ---- Keys

int CArticWrkUtil::GetDia1Note(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, INT64 time, BYTE key, char temp,
                               char upShift, char downShift, LONG* out) {
    if (!out) return 1;
    if (!wrk || !blk || !wrk->GetMeasBlk()) {
        *out = 0;
        return 1;
    }
    _WRK_EVNT rec;
    rec.Status = 0xFF;
    rec.MetaType = 0x59;
    LONG sf = 0, minor = 0;
    int rc = wrk->GetMeasBlk()->GetCondPos(rec, time, &sf, &minor, nullptr);
    if (rc != 0) {
        *out = 0;
        return rc;
    }
    BYTE upKey = 0, downKey = 0;
    if (!minor && CArticUtil::GetDia1Note(key, char(sf), temp, upShift, downShift, &upKey, &downKey)) {
        *out = mode == 0 ? downKey : (mode == 1 ? upKey : 0);
        return 0;
    }
    const char* reason = mode == 0   ? "指定したNote番号より1音下のNote番号をGETできませんでした。"
                         : mode == 1 ? "指定したNote番号より1音上のNote番号をGETできませんでした。"
                                     : "";
    ReportErr(kPhase1, reason, "CArticWrkUtil::GetDia1Note", CString("Note番号 = ") + CArticUtil::ConvValueToNote(key, 0));
    // Under a minor key, or off the scale, the key is its own neighbour: the
    // ornaments stop on any non-zero result, so this one is reported and passes.
    *out = key;
    return 0;
}

int CArticWrkUtil::GetGlisNoteNum(BYTE from, BYTE to, int white, int toIsWhite, int up, CObList* keys) {
    if (!keys) return 1;
    BYTE end = 0;
    int found = 0;
    if (up) {
        if (white)
            found = toIsWhite ? CArticUtil::GetPrevWhiteNote(to, &end) : CArticUtil::GetPrevWhiteNoteByBlackNote(to, &end);
        else
            found = toIsWhite ? CArticUtil::GetPrevBlackNoteByWhiteNote(to, &end) : CArticUtil::GetPrevBlackNote(to, &end);
    } else {
        if (white)
            found = toIsWhite ? CArticUtil::GetNextWhiteNote(to, &end) : CArticUtil::GetNextWhiteNoteByBlackNote(to, &end);
        else
            found = toIsWhite ? CArticUtil::GetNextBlackNoteByWhiteNote(to, &end) : CArticUtil::GetNextBlackNote(to, &end);
    }
    if (!found) return 1;
    BYTE cur = from;
    while (up ? cur < end : cur > end) {
        int rc = AddNoteList(keys, cur);
        if (rc != 0) return rc;
        BYTE next = cur;
        int stepped = up ? (white ? CArticUtil::GetNextWhiteNote(cur, &next) : CArticUtil::GetNextBlackNote(cur, &next))
                         : (white ? CArticUtil::GetPrevWhiteNote(cur, &next) : CArticUtil::GetPrevBlackNote(cur, &next));
        if (!stepped) return 0;
        cur = next;
    }
    return AddNoteList(keys, end);
}

int CArticWrkUtil::GetNoteLH(CArticWrkEvntList* list, BYTE* low, BYTE* high) {
    if (!list) return 1;
    bool any = false;
    BYTE lo = 127, hi = 0;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!IsNote(e)) continue;
        any = true;
        if (e->GetPost1() < lo) lo = e->GetPost1();
        if (e->GetPost1() > hi) hi = e->GetPost1();
    }
    if (!any) return 1;
    if (low) *low = lo;
    if (high) *high = hi;
    return 0;
}

void CArticWrkUtil::GetVoice(CArticWrkBlk* blk, INT64 time, BYTE* bankMsb, BYTE* bankLsb, BYTE* program) {
    if (!blk) return;
    _WRK_EVNT rec;
    rec.Status = 0x30;
    LONG msb = 0, lsb = 0, prg = 0;
    if (blk->GetCondPos(rec, time, &msb, &lsb, &prg) != 0) msb = lsb = prg = 0;
    if (bankMsb) *bankMsb = BYTE(msb);
    if (bankLsb) *bankLsb = BYTE(lsb);
    if (program) *program = BYTE(prg);
}

namespace {

// Visits consecutive pairs of non-null entries; hit(q, r) returns true to stop.
template <class F>
void SearchPairs(CArticWrkEvntList* list, CArticWrkEvnt** at, CArticWrkEvnt** next, F hit) {
    if (at) *at = nullptr;
    if (next) *next = nullptr;
    if (!list || list->GetCount() <= 0) return;
    CArticWrkEvnt* q = nullptr;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* r = list->GetNext(p);
        if (!r) continue;
        if (q && hit(q, r)) return;
        q = r;
    }
    if (next) *next = q;
}

}  // namespace

void CArticWrkUtil::SearchWrkEvntList(CArticWrkEvntList* list, BYTE key, CArticWrkEvnt** at, CArticWrkEvnt** next) {
    SearchPairs(list, at, next, [&](CArticWrkEvnt* q, CArticWrkEvnt* r) {
        const BYTE a = q->GetPost1(), b = r->GetPost1();
        if (key == a || key == b) {
            if (at) *at = key == a ? q : r;
            return true;
        }
        if ((a < key && key < b) || (b < key && key < a)) {
            if (at) *at = q;
            if (next) *next = r;
            return true;
        }
        return false;
    });
}

void CArticWrkUtil::SearchWrkEvntList(CArticWrkEvntList* list, INT64 time, CArticWrkEvnt** at,
                                      CArticWrkEvnt** next) {
    SearchPairs(list, at, next, [&](CArticWrkEvnt* q, CArticWrkEvnt* r) {
        if (time == q->GetTime() || time == r->GetTime()) {
            if (at) *at = time == q->GetTime() ? q : r;
            return true;
        }
        if (q->GetTime() < time && time < r->GetTime()) {
            if (at) *at = q;
            if (next) *next = r;
            return true;
        }
        return false;
    });
}

// ---- Sorting

POSITION CArticWrkUtil::SortByKey(CArticWrkEvntList* list, CArticWrkEvnt* evnt, int ascending) {
    if (!list || !evnt) return nullptr;
    const BYTE key = evnt->GetPost1();
    if (ascending) {
        for (POSITION p = list->GetTailPosition(); p;) {
            POSITION at = p;
            CArticWrkEvnt* e = list->GetPrev(p);
            if (e && e->GetPost1() <= key) return list->InsertAfter(at, evnt);
        }
        return list->AddHead(evnt);
    }
    for (POSITION p = list->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = list->GetNext(p);
        if (e && e->GetPost1() <= key) return list->InsertBefore(at, evnt);
    }
    return list->AddTail(evnt);
}

namespace {

template <class F>
int Resort(CArticWrkEvntList* list, F insert) {
    if (!list) return 1;
    CArticWrkEvntList scratch;
    scratch.AddTail(*list);
    list->RemoveAll();
    for (POSITION p = scratch.GetHeadPosition(); p;) {
        CArticWrkEvnt* e = scratch.GetNext(p);
        if (e) insert(e);
    }
    return 0;
}

}  // namespace

int CArticWrkUtil::SortByKey(CArticWrkEvntList* list, int ascending) {
    return Resort(list, [&](CArticWrkEvnt* e) { SortByKey(list, e, ascending); });
}

POSITION CArticWrkUtil::SortByTime(CArticWrkEvntList* list, CArticWrkEvnt* evnt) {
    if (!list || !evnt) return nullptr;
    for (POSITION p = list->GetTailPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = list->GetPrev(p);
        if (!e) continue;
        bool after = e->GetTime() < evnt->GetTime();
        if (!after && e->GetTime() == evnt->GetTime())
            after = !IsNoteNibble(e) || !IsNoteNibble(evnt) || e->GetPost1() < evnt->GetPost1();
        if (after) return list->InsertAfter(at, evnt);
    }
    return list->AddHead(evnt);
}

int CArticWrkUtil::SortByTime(CArticWrkEvntList* list) {
    return Resort(list, [&](CArticWrkEvnt* e) { SortByTime(list, e); });
}
