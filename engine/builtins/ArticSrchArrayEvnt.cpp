#include "engine/builtins/ArticSrchArrayEvnt.h"

#include <algorithm>

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulUtil.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchGetArrayEvnt, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvnt, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntType, CArticSrchPutArrayEvnt);

namespace srcharray {

bool IsNote(const CArticWrkEvnt* e) { return e && (e->GetStatus() & 0xF0) == 0x90; }

std::vector<CArticWrkEvnt*> Notes(const CArticRul* rul) {
    std::vector<CArticWrkEvnt*> notes;
    Notes(rul, &notes);
    return notes;
}

void Notes(const CArticRul* rul, std::vector<CArticWrkEvnt*>* notes) {
    notes->clear();
    CArticRulDataEvntArray* array = rul ? rul->GetRulDataEvntArray() : nullptr;
    if (!array) return;
    for (int i = 0; i < array->GetSize(); ++i) {
        CArticRulDataEvnt* elm = array->GetAt(i);
        CArticWrkEvnt* note = elm ? elm->GetEvnt(0) : nullptr;
        if (IsNote(note)) notes->push_back(note);
    }
}

int Size(const CArticRul* rul) { return rul ? rul->GetTailElmNoRulDataEvnt() + 1 : 0; }

namespace {

// Stores count events after the last note: each(store) hands them to store
// in order (store returns false on a refusal, ending the walk).
template <class Each>
int AppendEach(CArticRul* rul, int count, CArticWrkEvnt* head, Each each) {
    if (!rul) return -1;
    if (count == 0) return 0;
    const int64_t first = int64_t(rul->GetTailElmNoRulDataEvnt()) + 1;
    const int64_t last = first + count - 1;
    // All or nothing: an index past the limit is offered first, so that the
    // program refuses (and reports) it before anything is stored.
    if (last > int64_t(kMaxRulIndex)) {
        rul->SetRulDataEvnt(ULONG(std::min<int64_t>(last, 0xFFFFFFFF)), head);
        return -1;
    }
    int stored = 0;
    bool refused = false;
    each([&](CArticWrkEvnt* note) {
        if (!rul->SetRulDataEvnt(ULONG(first + stored), note)) {
            refused = true;
            return false;
        }
        ++stored;
        return true;
    });
    return refused ? -1 : stored;
}

}  // namespace

int Append(CArticRul* rul, CArticWrkEvntList& list) {
    return AppendEach(rul, list.GetCount(), list.IsEmpty() ? nullptr : list.GetHead(), [&](auto store) {
        for (POSITION p = list.GetHeadPosition(); p;)
            if (!store(list.GetNext(p))) return;
    });
}

int Append(CArticRul* rul, const std::vector<CArticWrkEvnt*>& notes) {
    return AppendEach(rul, int(notes.size()), notes.empty() ? nullptr : notes.front(), [&](auto store) {
        for (CArticWrkEvnt* note : notes)
            if (!store(note)) return;
    });
}

int Store(CArticRul* rul, const std::vector<CArticWrkEvnt*>& notes) {
    if (!rul || !rul->GetRulDataEvntArray()) return 0;
    return rul->FillRulDataEvnt(notes);
}

int AppendCount(CArticRul* rul, CArticWrkEvntList& list, CArticRulDataVal* out) {
    const int stored = Append(rul, list);
    if (stored < 0) return ArticSrchFail(out);
    ArticSrchPut(out, double(stored));
    return 0;
}

int AppendCount(CArticRul* rul, const std::vector<CArticWrkEvnt*>& notes, CArticRulDataVal* out) {
    const int stored = Append(rul, notes);
    if (stored < 0) return ArticSrchFail(out);
    ArticSrchPut(out, double(stored));
    return 0;
}

int AppendSize(CArticRul* rul, CArticWrkEvntList& list, CArticRulDataVal* out) {
    if (Append(rul, list) < 0) return ArticSrchFail(out);
    ArticSrchPut(out, double(Size(rul)));
    return 0;
}

}  // namespace srcharray

int CArticSrchGetArrayEvnt::Search() {
    ArticSrchCall call(this);
    double idx = 0.0;
    call.Num(m_pRulElmI1, &idx);
    CArticRulDataEvnt* out = call.OutEvnt(m_pRulElmO1);
    CArticWrkEvnt* note = nullptr;
    CArticRul* rul = call.Rul();
    if (call.Ok()) {
        if (idx < 0.0 || !rul) {
            call.Fail();  // silently: no report
        } else if (idx < 4294967296.0) {
            CArticRulDataEvnt* elm = rul->GetRulDataEvnt(DoubleToULong(idx));
            note = elm ? elm->GetEvnt(0) : nullptr;
        }
    }
    ArticSrchPut(out, note);
    return call.Result();
}

int CArticSrchPutArrayEvnt::PutAt(double idx, CArticWrkEvnt* note) {
    ArticSrchCall call(this);
    CArticRul* rul = call.Rul();
    if (!rul) return 1;
    ULONG index = 0;
    if (idx < 0.0) {
        index = ULONG(rul->GetTailElmNoRulDataEvnt() + 1);
    } else {
        // Beyond 32 bits the index stays out of reach instead of wrapping onto a small one.
        index = idx < 4294967296.0 ? DoubleToULong(idx) : 0xFFFFFFFFu;
    }
    return rul->SetRulDataEvnt(index, note) ? 0 : 1;
}

int CArticSrchPutArrayEvnt::Search() {
    ArticSrchCall call(this);
    double idx = 0.0;
    call.Num(m_pRulElmI1, &idx);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI2);
    return call.Ok() ? PutAt(idx, note) : 1;
}

int CArticSrchPutArrayEvntType::Search() {
    ArticSrchCall call(this);
    double sw = 0.0, idx = 0.0;
    call.Num(m_pRulElmI1, &sw);
    call.Num(m_pRulElmI2, &idx);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI3);
    if (!call.Ok()) return 1;
    return sw == 0.0 ? 0 : PutAt(idx, note);
}
