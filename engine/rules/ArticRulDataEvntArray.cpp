// The rule program's shared event array: sorts, clean-ups, removals,
// searches and evaluations used by the array built-ins.
#include <algorithm>
#include <functional>
#include <new>
#include <vector>

#include "engine/rules/ArticRul.h"
#include "engine/work/ArticFngrInfo.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkTrk.h"

namespace {

using ElmList = CTypedPtrList<CObList, CArticRulDataEvnt*>;
using Key = std::function<bool(const CArticWrkEvnt*, const CArticWrkEvnt*)>;  // a goes after b

CArticWrkEvnt* NoteOf(CArticRulDataEvnt* elm) {
    CArticWrkEvnt* note = elm ? elm->GetEvnt(1) : nullptr;
    return note && (note->GetStatus() & 0xF0) == 0x90 ? note : nullptr;
}

BYTE GenOf(const CArticWrkEvnt* e) { return e->GetFngrInfo() ? e->GetFngrInfo()->GetGen() : 0; }
INT64 OffOf(const CArticWrkEvnt* e) { return e->GetTime() + e->GetGateTime(); }

// Inserts a new direct element for note before the first item that goes
// after it (by greater), or at the end.
void InsertSorted(ElmList& list, CArticWrkEvnt* note, const Key& greater) {
    auto* elm = new (std::nothrow) CArticRulDataEvnt(nullptr, 0, note);
    if (!elm) return;
    for (POSITION p = list.GetHeadPosition(); p;) {
        const POSITION at = p;
        CArticRulDataEvnt* item = list.GetNext(p);
        if (greater(item->GetEvnt(0), note)) {
            list.InsertBefore(at, elm);
            return;
        }
    }
    list.AddTail(elm);
}

template <class T>
Key Forward(T (*key)(const CArticWrkEvnt*)) {
    return [key](const CArticWrkEvnt* a, const CArticWrkEvnt* b) { return key(a) > key(b); };
}
template <class T>
Key Reverse(T (*key)(const CArticWrkEvnt*)) {
    return [key](const CArticWrkEvnt* a, const CArticWrkEvnt* b) { return key(a) < key(b); };
}

BYTE KeyOf(const CArticWrkEvnt* e) { return e->GetPost1(); }
INT64 TimeOf(const CArticWrkEvnt* e) { return e->GetTime(); }
ULONG NoOf(const CArticWrkEvnt* e) { return e->GetEvntNo(); }
INT64 DurOf(const CArticWrkEvnt* e) { return e->GetGateTime(); }

const Key kTimeThenKey = [](const CArticWrkEvnt* a, const CArticWrkEvnt* b) {
    return a->GetTime() > b->GetTime() || (a->GetTime() == b->GetTime() && a->GetPost1() > b->GetPost1());
};

}  // namespace

// Rebuilds the array from the given notes in order.
static int Rebuild(CArticRul* rul, const std::vector<CArticWrkEvnt*>& notes) {
    rul->ClearRulDataEvntArray();
    for (size_t i = 0; i < notes.size(); ++i) rul->SetRulDataEvnt(ULONG(i), notes[i]);
    return int(notes.size());
}

// The array's notes (note-ons), each put before the first one already placed
// that goes after it (by greater): equal keys keep their order. The placed
// notes stay ordered, so the first one that goes after a note is found by
// halving.
static void SortedNotes(const CArticRulDataEvntArray* array, const Key& greater, std::vector<CArticWrkEvnt*>* out) {
    out->clear();
    if (!array) return;
    for (int i = 0; i < array->GetSize(); ++i) {
        CArticWrkEvnt* note = NoteOf(array->GetAt(i));
        if (!note) continue;
        const auto at = std::upper_bound(out->begin(), out->end(), note,
                                         [&](CArticWrkEvnt* n, CArticWrkEvnt* item) { return greater(item, n); });
        out->insert(at, note);
    }
}

// A buffer of notes kept from one call to the next: sorts and filters run for
// nearly every note of a song.
static std::vector<CArticWrkEvnt*>& NoteBuffer() {
    static thread_local std::vector<CArticWrkEvnt*> notes;
    return notes;
}

static int SortBy(CArticRul* rul, const Key& greater) {
    CArticRulDataEvntArray* array = rul->GetRulDataEvntArray();
    if (!array) return 0;
    std::vector<CArticWrkEvnt*>& notes = NoteBuffer();
    SortedNotes(array, greater, &notes);
    return Rebuild(rul, notes);
}

int CArticRul::SortFwdKeyRulDataEvntArray() { return SortBy(this, Forward(KeyOf)); }
int CArticRul::SortRvsKeyRulDataEvntArray() { return SortBy(this, Reverse(KeyOf)); }
int CArticRul::SortFwdTimeRulDataEvntArray() { return SortBy(this, Forward(TimeOf)); }
int CArticRul::SortRvsTimeRulDataEvntArray() { return SortBy(this, Reverse(TimeOf)); }
int CArticRul::SortFwdNoRulDataEvntArray() { return SortBy(this, Forward(NoOf)); }
int CArticRul::SortRvsNoRulDataEvntArray() { return SortBy(this, Reverse(NoOf)); }
int CArticRul::SortFwdDurRulDataEvntArray() { return SortBy(this, Forward(DurOf)); }
int CArticRul::SortRvsDurRulDataEvntArray() { return SortBy(this, Reverse(DurOf)); }
int CArticRul::SortFwdOffRulDataEvntArray() { return SortBy(this, Forward(OffOf)); }
int CArticRul::SortRvsOffRulDataEvntArray() { return SortBy(this, Reverse(OffOf)); }
int CArticRul::SortFwdGenRulDataEvntArray() { return SortBy(this, Forward(GenOf)); }
int CArticRul::SortRvsGenRulDataEvntArray() { return SortBy(this, Reverse(GenOf)); }
int CArticRul::SortFwdNoteInfoRulDataEvntArray(int k) {
    return SortBy(this, [k](const CArticWrkEvnt* a, const CArticWrkEvnt* b) { return a->GetNoteInfo(k) > b->GetNoteInfo(k); });
}
int CArticRul::SortRvsNoteInfoRulDataEvntArray(int k) {
    return SortBy(this, [k](const CArticWrkEvnt* a, const CArticWrkEvnt* b) { return a->GetNoteInfo(k) < b->GetNoteInfo(k); });
}

int CArticRul::SortFwdTimeRulDataEvntArray(ElmList& out) {
    if (!m_pRulDataEvntArray) return 0;
    for (int i = 0; i < m_pRulDataEvntArray->GetSize(); ++i)
        if (CArticWrkEvnt* note = NoteOf(m_pRulDataEvntArray->GetAt(i))) InsertSorted(out, note, kTimeThenKey);
    return out.GetCount();
}

int CArticRul::KeepRulDataEvnt(const std::function<bool(CArticWrkEvnt*)>& keep) {
    CArticRulDataEvntArray* array = m_pRulDataEvntArray;
    if (!array) return 0;
    int kept = 0;
    for (int i = 0; i < array->GetSize(); ++i) {
        CArticRulDataEvnt* elm = array->GetAt(i);
        if (!elm) continue;
        CArticWrkEvnt* note = NoteOf(elm);
        array->SetAt(i, nullptr);
        if (note && keep(note)) {
            elm->SetDataNo(ULONG(kept));
            array->SetAt(kept++, elm);
        } else {
            m_SpareElms.Drop(elm);
        }
    }
    array->SetSize(kept);
    return kept;
}

int CArticRul::ClearDupRulDataEvntArray() {
    std::vector<CArticWrkEvnt*>& seen = NoteBuffer();
    seen.clear();
    return KeepRulDataEvnt([&](CArticWrkEvnt* note) {
        for (CArticWrkEvnt* s : seen)
            if (s == note) return false;
        seen.push_back(note);
        return true;
    });
}

int CArticRul::ClearExvRulDataEvntArray(CArticWrkEvntList* notes) {
    if (!notes) return 0;
    return KeepRulDataEvnt([&](CArticWrkEvnt* note) {
        for (POSITION p = notes->GetHeadPosition(); p;)
            if (notes->GetNext(p) == note) return false;
        return true;
    });
}

int CArticRul::RmvTimeCmpRulDataEvntArray(ULONG range) {
    if (!m_pRulDataEvntArray) return 0;
    CArticWrkEvnt* first = NoteOf(GetRulDataEvnt(0));
    if (!first) {
        ClearRulDataEvntArray();
        return 0;
    }
    const int64_t t0 = int32_t(first->GetTime());
    const int64_t lo = std::max<int64_t>(0, int32_t(t0 - int64_t(range)));
    const int64_t hi = std::max<int64_t>(0, int32_t(t0 + int64_t(range)));
    std::vector<CArticWrkEvnt*>& kept = NoteBuffer();
    kept.assign(1, first);
    for (int i = 1; i < m_pRulDataEvntArray->GetSize(); ++i) {
        CArticWrkEvnt* note = NoteOf(m_pRulDataEvntArray->GetAt(i));
        if (note && note->GetTime() >= lo && note->GetTime() <= hi) kept.push_back(note);
    }
    return Rebuild(this, kept);
}

int CArticRul::RmvAttriRulDataEvntArray(int kind, int value) {
    if (!m_pRulDataEvntArray) return 0;
    std::vector<CArticWrkEvnt*>& kept = NoteBuffer();
    kept.clear();
    for (int i = 0; i < m_pRulDataEvntArray->GetSize(); ++i) {
        CArticWrkEvnt* note = NoteOf(m_pRulDataEvntArray->GetAt(i));
        CArticWrkBlk* blk = note ? note->GetOwner() : nullptr;
        CArticWrkTrk* trk = blk ? blk->GetOwner() : nullptr;
        if (!trk) continue;
        const LONG a = trk->GetTrkAttr();
        bool keep = false;
        switch (kind) {
            case 0: keep = a != value; break;
            case 1: keep = a == value; break;
            case 2: keep = a != value && a != 0; break;
            case 3: keep = a == value || a == 0; break;
            default: break;
        }
        if (keep) kept.push_back(note);
    }
    return Rebuild(this, kept);
}

static int Find(CArticRulDataEvntArray* array, bool forward, const std::function<bool(const CArticWrkEvnt*)>& match,
                CArticWrkEvnt** out) {
    if (out) *out = nullptr;
    if (!array) return 1;
    const int n = array->GetSize();
    for (int j = 0; j < n; ++j) {
        CArticWrkEvnt* note = NoteOf(array->GetAt(forward ? j : n - 1 - j));
        if (note && match(note)) {
            if (out) *out = note;
            break;
        }
    }
    return 0;
}

int CArticRul::SearchFwdKeyRulDataEvntArray(BYTE key, CArticWrkEvnt** out) {
    return Find(m_pRulDataEvntArray, true, [key](const CArticWrkEvnt* e) { return e->GetPost1() == key; }, out);
}
int CArticRul::SearchRvsKeyRulDataEvntArray(BYTE key, CArticWrkEvnt** out) {
    return Find(m_pRulDataEvntArray, false, [key](const CArticWrkEvnt* e) { return e->GetPost1() == key; }, out);
}
static bool AtTime(const CArticWrkEvnt* e, ULONG time) {
    return (uint64_t(e->GetTime()) >> 32) == 0 && ULONG(e->GetTime()) == time;
}
int CArticRul::SearchFwdTimeRulDataEvntArray(ULONG time, CArticWrkEvnt** out) {
    return Find(m_pRulDataEvntArray, true, [time](const CArticWrkEvnt* e) { return AtTime(e, time); }, out);
}
int CArticRul::SearchRvsTimeRulDataEvntArray(ULONG time, CArticWrkEvnt** out) {
    return Find(m_pRulDataEvntArray, false, [time](const CArticWrkEvnt* e) { return AtTime(e, time); }, out);
}
int CArticRul::SearchFwdGenRulDataEvntArray(BYTE gen, CArticWrkEvnt** out) {
    return Find(m_pRulDataEvntArray, true,
                [gen](const CArticWrkEvnt* e) { return e->GetFngrInfo() && e->GetFngrInfo()->GetGen() == gen; }, out);
}
int CArticRul::SearchRvsGenRulDataEvntArray(BYTE gen, CArticWrkEvnt** out) {
    return Find(m_pRulDataEvntArray, false,
                [gen](const CArticWrkEvnt* e) { return e->GetFngrInfo() && e->GetFngrInfo()->GetGen() == gen; }, out);
}

// 1 when pass() holds for every consecutive pair in (Time, Key) order.
static int EveryPair(CArticRul* rul, const std::function<bool(const CArticWrkEvnt*, const CArticWrkEvnt*)>& pass) {
    std::vector<CArticWrkEvnt*>& notes = NoteBuffer();
    SortedNotes(rul->GetRulDataEvntArray(), kTimeThenKey, &notes);
    if (notes.size() < 2) return 0;
    for (size_t i = 1; i < notes.size(); ++i)
        if (!pass(notes[i - 1], notes[i])) return 0;
    return 1;
}

int CArticRul::GapTimeRulDataEvntArray(ULONG gap) {
    return EveryPair(this, [gap](const CArticWrkEvnt* a, const CArticWrkEvnt* b) {
        return b->GetTime() < a->GetTime() + a->GetGateTime() + INT64(gap);
    });
}
int CArticRul::IntervalTimeRulDataEvntArray(ULONG interval) {
    return EveryPair(this, [interval](const CArticWrkEvnt* a, const CArticWrkEvnt* b) {
        return b->GetTime() < a->GetTime() + INT64(interval);
    });
}
int CArticRul::IntervalKeyRulDataEvntArray(BYTE interval) {
    return EveryPair(this, [interval](const CArticWrkEvnt* a, const CArticWrkEvnt* b) {
        const int lo = int(a->GetPost1()) - interval, hi = int(a->GetPost1()) + interval;
        return b->GetPost1() > lo && b->GetPost1() < hi;
    });
}
