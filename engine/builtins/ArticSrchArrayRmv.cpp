#include "engine/builtins/ArticSrchArrayRmv.h"

#include <algorithm>

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRul.h"
#include "engine/work/ArticFngrInfo.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchRmvArrayEvntTimeCmp, CArticSrchSortArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchRmvArrayEvntAttri, CArticSrchSortArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchRmvArrayEvntChord, CArticSrchRmvArrayEvntTimeCmp);
VX_IMPLEMENT_CLASS(CArticSrchRmvArrayEvntProb, CArticSrchRmvArrayEvntChord);
VX_IMPLEMENT_CLASS(CArticSrchRmvArrayEvntType, CArticSrchRmvArrayEvntChord);
VX_IMPLEMENT_CLASS(CArticSrchRmvArrayEvntNoteInfoType, CArticSrchRmvArrayEvntType);
VX_IMPLEMENT_CLASS(CArticSrchRmvArrayEvntNoteInfoBitType, CArticSrchRmvArrayEvntType);

namespace {

// Writes n (0.0 unless the call is good): the call's result.
int PutCount(ArticSrchCall& call, CArticRulDataVal* out, int n) {
    ArticSrchPut(out, call.Ok() ? double(n) : 0.0);
    return call.Result();
}

// Reads a kind, reporting one outside lo..hi: the kind truncated.
int32_t ReadKind(ArticSrchCall& call, CArticRulElm* elm, int lo, int hi) {
    double kind = 0.0;
    if (!call.Num(elm, &kind)) return 0;
    const int32_t k = DoubleToLong(kind);
    if (k < lo || k > hi) call.Refuse(elm);
    return k;
}

// Reads a number, reporting a negative one.
double ReadNonNegative(ArticSrchCall& call, CArticRulElm* elm) {
    double v = 0.0;
    if (call.Num(elm, &v) && v < 0.0) call.Refuse(elm);
    return v;
}

BYTE StringOf(const CArticWrkEvnt* e) { return e->GetFngrInfo() ? e->GetFngrInfo()->GetGen() : 0; }

}  // namespace

int CArticSrchRmvArrayEvntTimeCmp::Search() {
    ArticSrchCall call(this);
    const double t = ReadNonNegative(call, m_pRulElmI1);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    if (!rul) call.Fail();
    const int n = call.Ok() ? rul->RmvTimeCmpRulDataEvntArray(srchnum::Unsigned(t)) : 0;
    return PutCount(call, out, n);
}

int CArticSrchRmvArrayEvntAttri::Search() {
    ArticSrchCall call(this);
    const int32_t kind = ReadKind(call, m_pRulElmI1, 0, 4);
    const double v = ReadNonNegative(call, m_pRulElmI2);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    if (!rul) call.Fail();
    LONG value = 0;
    srchnum::ClampLong(v, &value);
    const int n = call.Ok() ? rul->RmvAttriRulDataEvntArray(kind, value) : 0;
    return PutCount(call, out, n);
}

// ---- Chords

int CArticSrchRmvArrayEvntChord::MakeEvntList(NoteList* list) {
    CArticRul* rul = ArticSrchCall(this).Rul();
    if (!rul) return 1;
    srcharray::Notes(rul, list);
    return 0;
}

void CArticSrchRmvArrayEvntChord::MakeRulDataEvntArray(const NoteList& list, int* n) {
    *n = srcharray::Store(ArticSrchCall(this).Rul(), list);
}

template <class Pred>
int CArticSrchRmvArrayEvntChord::Keep(const Pred& keep, int* n) {
    NoteList& list = m_Notes;
    list.clear();
    *n = 0;
    if (MakeEvntList(&list)) return 1;
    list.erase(std::remove_if(list.begin(), list.end(), [&](const CArticWrkEvnt* e) { return !keep(e); }),
               list.end());
    MakeRulDataEvntArray(list, n);
    list.clear();
    return 0;
}

void CArticSrchRmvArrayEvntChord::MakeChordList(const NoteList& list, size_t p, ULONG window,
                                                std::vector<size_t>* chord) {
    chord->clear();
    if (p >= list.size()) return;
    const INT64 t0 = list[p]->GetTime();
    const INT64 t1 = srchnum::AddTicks(t0, window);
    for (size_t i = p; i < list.size(); ++i) {
        const INT64 t = list[i]->GetTime();
        if (t < t0 || t > t1) break;
        chord->push_back(i);
    }
}

void CArticSrchRmvArrayEvntChord::EvaChordList(const NoteList& list, const std::vector<size_t>& chord, int kind,
                                               std::vector<size_t>* remove) {
    remove->clear();
    if (chord.empty()) return;
    BYTE top = 0, bottom = 127;
    for (size_t i : chord) {
        top = std::max(top, list[i]->GetPost1());
        bottom = std::min(bottom, list[i]->GetPost1());
    }
    const BYTE key = kind == 0 || kind == 2 ? top : bottom;
    if (kind == 0 || kind == 1) {
        // Every note but the first of the top (bottom) notes.
        bool spared = false;
        for (size_t i : chord) {
            if (!spared && list[i]->GetPost1() == key)
                spared = true;
            else
                remove->push_back(i);
        }
        return;
    }
    for (size_t i : chord)
        if (list[i]->GetPost1() == key) remove->push_back(i);
    if (remove->size() == chord.size()) remove->erase(remove->begin());  // all equal: spare the first
}

void CArticSrchRmvArrayEvntChord::DelEvnt(NoteList* list, size_t* p, const std::vector<size_t>& remove) {
    const bool pRemoved = std::find(remove.begin(), remove.end(), *p) != remove.end();
    size_t keptBefore = 0;
    NoteList kept;
    for (size_t i = 0; i < list->size(); ++i) {
        if (std::find(remove.begin(), remove.end(), i) != remove.end()) continue;
        if (i < *p) ++keptBefore;
        kept.push_back((*list)[i]);
    }
    *list = kept;
    // A removed current note gives way to the note after it; otherwise the
    // walk moves on by one note.
    *p = pRemoved ? keptBefore : keptBefore + 1;
}

int CArticSrchRmvArrayEvntChord::RmvChord(int kind, ULONG window, int* n) {
    NoteList list;
    *n = 0;
    if (MakeEvntList(&list)) return 1;
    if (list.size() < 2) return 0;
    std::vector<size_t> chord, remove;
    for (size_t p = 0; p < list.size();) {
        MakeChordList(list, p, window, &chord);
        if (chord.size() < 2) {
            ++p;
            continue;
        }
        EvaChordList(list, chord, kind, &remove);
        if (remove.empty())
            ++p;
        else
            DelEvnt(&list, &p, remove);
    }
    MakeRulDataEvntArray(list, n);
    return 0;
}

int CArticSrchRmvArrayEvntChord::Search() {
    ArticSrchCall call(this);
    const int32_t kind = ReadKind(call, m_pRulElmI1, 0, 3);
    const double window = ReadNonNegative(call, m_pRulElmI2);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    int n = 0;
    if (call.Ok() && RmvChord(kind, srchnum::Unsigned(window), &n)) call.Fail();
    return PutCount(call, out, n);
}

// ---- Probabilities

int CArticSrchRmvArrayEvntProb::RmvProb(int kind, ULONG setNo, int* n) {
    return Keep([&](const CArticWrkEvnt* e) {
        return kind == 0 ? e->GetProb(setNo) > 0.0 : kind == 1 ? e->GetProb(setNo) == 0.0 : false;
    }, n);
}

int CArticSrchRmvArrayEvntProb::Search() {
    ArticSrchCall call(this);
    const int32_t kind = ReadKind(call, m_pRulElmI1, 0, 3);
    const double setNo = ReadNonNegative(call, m_pRulElmI2);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    int n = 0;
    if (call.Ok() && RmvProb(kind, srchnum::Unsigned(setNo), &n)) call.Fail();
    return PutCount(call, out, n);
}

// ---- Note properties

namespace {
INT64 OnOf(const CArticWrkEvnt* e) { return e->GetTime(); }
INT64 GateOf(const CArticWrkEvnt* e) { return e->GetGateTime(); }
INT64 OffOf(const CArticWrkEvnt* e) { return srchnum::AddTicks(e->GetTime(), e->GetGateTime()); }
INT64 VeloOf(const CArticWrkEvnt* e) { return e->GetPost2(); }
INT64 KeyOf(const CArticWrkEvnt* e) { return e->GetPost1(); }
}  // namespace

int CArticSrchRmvArrayEvntType::KeepBound(int mode, INT64 limit, INT64 (*value)(const CArticWrkEvnt*), int* n) {
    return Keep([&](const CArticWrkEvnt* e) {
        return mode == 0 ? value(e) >= limit : mode == 1 ? value(e) <= limit : true;
    }, n);
}

int CArticSrchRmvArrayEvntType::RmvOnTime(int mode, ULONG limit, int* n) { return KeepBound(mode, limit, OnOf, n); }
int CArticSrchRmvArrayEvntType::RmvGateTime(int mode, ULONG limit, int* n) {
    return KeepBound(mode, limit, GateOf, n);
}
int CArticSrchRmvArrayEvntType::RmvOffTime(int mode, ULONG limit, int* n) { return KeepBound(mode, limit, OffOf, n); }
int CArticSrchRmvArrayEvntType::RmvVelo(int mode, BYTE limit, int* n) { return KeepBound(mode, limit, VeloOf, n); }
int CArticSrchRmvArrayEvntType::RmvKey(int mode, BYTE limit, int* n) { return KeepBound(mode, limit, KeyOf, n); }

int CArticSrchRmvArrayEvntType::RmvVal(int mode, BYTE limit, int* n) {
    return Keep([&](const CArticWrkEvnt*) { return mode == 0 ? limit != 0 : mode == 1 ? limit == 0 : true; }, n);
}

int CArticSrchRmvArrayEvntType::RmvGen(int mode, BYTE limit, int* n) {
    return Keep([&](const CArticWrkEvnt* e) {
        if (!e->GetFngrInfo()) return true;
        return mode == 0 ? StringOf(e) != limit : mode == 1 ? StringOf(e) == limit : true;
    }, n);
}

int CArticSrchRmvArrayEvntType::Search() {
    ArticSrchCall call(this);
    const int32_t kind = ReadKind(call, m_pRulElmI1, 0, 13);
    double limit = 0.0;
    call.Num(m_pRulElmI2, &limit);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    if (!call.Ok()) return PutCount(call, out, 0);
    const int mode = kind % 2;
    const ULONG time = srchnum::Unsigned(limit);  // a negative limit counts as 0
    const BYTE low = srchnum::LowByte(limit);
    const BYTE bound = limit < 0.0 ? 0 : low;
    int n = 0, failed = 0;
    switch (kind / 2) {
        case 0: failed = RmvOnTime(mode, time, &n); break;
        case 1: failed = RmvGateTime(mode, time, &n); break;
        case 2: failed = RmvOffTime(mode, time, &n); break;
        case 3: failed = RmvVelo(mode, bound, &n); break;
        case 4: failed = RmvKey(mode, bound, &n); break;
        case 5: failed = RmvVal(mode, low, &n); break;
        default: failed = RmvGen(mode, low, &n); break;
    }
    if (failed) call.Fail();
    return PutCount(call, out, n);
}

// ---- Note-information slots

int CArticSrchRmvArrayEvntNoteInfoType::RmvNoteInfo(int kind, int idx, LONG v, int* n) {
    const int listed = Keep([&](const CArticWrkEvnt* e) {
        const LONG s = e->GetNoteInfo(idx);
        switch (kind) {
            case 0: return s >= v;
            case 1: return s <= v;
            case 2: return s != v;
            case 3: return s == v;
            default: return true;
        }
    }, n);
    return listed || kind < 0 || kind > 3 ? 1 : 0;
}

int CArticSrchRmvArrayEvntNoteInfoType::Search() {
    ArticSrchCall call(this);
    double idx = 0.0, kind = 0.0, v = 0.0;
    int slot = 0;
    if (call.Num(m_pRulElmI1, &idx) && !srchnum::SlotIndex(idx, &slot)) call.Refuse(m_pRulElmI1);
    call.Num(m_pRulElmI2, &kind);
    call.Num(m_pRulElmI3, &v);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    LONG value = 0;
    srchnum::ClampLong(v, &value);
    int n = 0;
    // An unknown kind keeps every note and fails silently.
    if (call.Ok() && RmvNoteInfo(DoubleToLong(kind), slot, value, &n)) {
        call.Fail();
        ArticSrchPut(out, 0.0);
        return 1;
    }
    return PutCount(call, out, n);
}

int CArticSrchRmvArrayEvntNoteInfoBitType::RmvNoteInfoBit(int mode, int idx, int bit, int* n) {
    const uint32_t mask = uint32_t(1) << bit;
    return Keep([&](const CArticWrkEvnt* e) {
        const bool set = (uint32_t(e->GetNoteInfo(idx)) & mask) != 0;
        return mode == 0 ? set : !set;
    }, n);
}

int CArticSrchRmvArrayEvntNoteInfoBitType::Search() {
    ArticSrchCall call(this);
    double idx = 0.0, bit = 0.0, mode = 0.0;
    int slot = 0;
    if (call.Num(m_pRulElmI1, &idx) && !srchnum::SlotIndex(idx, &slot)) call.Refuse(m_pRulElmI1);
    call.Num(m_pRulElmI2, &bit);
    call.Num(m_pRulElmI3, &mode);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    const int32_t m = DoubleToLong(mode);
    if (call.Ok() && m != 0 && m != 1) return PutCount(call, out, 0);  // nothing at all, result 0
    // The bit number modulo 32 taken unsigned: -1 is bit 31, never a negative shift.
    const int b = int(uint32_t(DoubleToLong(bit)) % 32u);
    int n = 0;
    if (call.Ok() && RmvNoteInfoBit(m, slot, b, &n)) call.Fail();
    return PutCount(call, out, n);
}
