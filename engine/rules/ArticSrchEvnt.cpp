#include "engine/rules/ArticSrchEvnt.h"

#include "engine/rules/ArticRulText.h"

#include <new>

#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticFngrInfo.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilImpl.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchEvnt, CObject);

using namespace rultext;

namespace {
BYTE StringOf(const CArticWrkEvnt* e) { return e->GetFngrInfo() ? e->GetFngrInfo()->GetGen() : 0; }
ULONG MeasOf(const CArticWrkEvnt* e) {
    ULONG meas = 0, beat = 0, tick = 0;
    e->GetMeas(&meas, &beat, &tick);
    return meas;
}

// Steps over the block's events from pos (inclusive) in one direction.
CArticWrkEvnt* Step(const CArticWrkBlk* blk, POSITION& pos, bool forward) {
    return forward ? blk->GetNext(pos) : blk->GetPrev(pos);
}

}  // namespace

CArticSrchEvnt& CArticSrchEvnt::operator=(const CArticSrchEvnt& src) {
    m_InNum = src.m_InNum;
    m_OutNum = src.m_OutNum;
    return *this;
}

void CArticSrchEvnt::NewRulElm(CArticRulElm** slot) {
    if (slot) *slot = new (std::nothrow) CArticRulElm();
}

void CArticSrchEvnt::DeleteRulElm(CArticRulElm** slot) {
    if (!slot) return;
    delete *slot;
    *slot = nullptr;
}

void CArticSrchEvnt::BindRulElm(CArticRulElm** slot, const CArticRulElm* given) {
    NewRulElm(slot);
    if (*slot && given) **slot = *given;
}

// ---- Argument readers

namespace {
// Every numeric form but the plain constant.
__attribute__((noinline)) int ReadNumber(CArticRulElm* elm, CArticRulElm::NumForm form, double* value) {
    switch (form) {
        case CArticRulElm::NumForm::Value:
            // The class is exactly the value variable's: its own reader, called directly.
            if (value) {
                auto* val = static_cast<CArticRulDataVal*>(elm->GetRulData());
                double v = 0.0;
                if (!val->ReadResolvedConstant(&v)) v = val->CArticRulDataVal::GetData();
                *value = v * elm->SignFactor();
            }
            return 0;
        case CArticRulElm::NumForm::EvntOther:
            // The lookup still flags a missing note.
            static_cast<CArticRulDataEvnt*>(elm->GetRulData())->GetEvnt(1);
            return 1;
        case CArticRulElm::NumForm::Member: break;
        default: return 1;
    }
    auto* evnt = static_cast<CArticRulDataEvnt*>(elm->GetRulData());
    if (!evnt->GetEvnt(1)) return 1;
    const ULONG setNo = ULONG(elm->GetData());
    double v = 0.0;
    if (!evnt->ReadMember(elm->GetDataType(), setNo, &v)) return 1;
    if (value) *value = v * elm->SignFactor();
    return 0;
}
}  // namespace

int CArticSrchEvnt::GetData(CArticRulElm* elm, double* value) {
    if (!elm) return 1;
    // The element's form was worked out from its fields and its variable's
    // class once; only the reading itself is left per call. A plain number,
    // the most frequent, is read here.
    const CArticRulElm::NumForm form = elm->GetNumForm();
    if (form == CArticRulElm::NumForm::Constant) {
        if (value) *value = elm->GetData() * elm->SignFactor();
        return 0;
    }
    return ReadNumber(elm, form, value);
}

int CArticSrchEvnt::GetData(CArticRulElm* elm, CString* text) {
    if (!elm || !text) return 1;
    CArticRulData* var = elm->GetRulData();
    if (var) {
        if (!IsClass(var, VX_RUNTIME_CLASS(CArticRulDataStr)) || elm->GetDataType() != kElmPlain) return 1;
        *text = static_cast<CArticRulDataStr*>(var)->GetData();
        return 0;
    }
    if (elm->GetRulElmList() || elm->GetDataType() != kElmPlain || !elm->HasStrData()) return 1;
    *text = elm->GetStrData();
    return 0;
}

#define VX_VAR_GETTER(Getter, Type)                                       \
    int CArticSrchEvnt::Getter(CArticRulElm* elm, Type** var) {           \
        if (!elm || !IsClass(elm->GetRulData(), VX_RUNTIME_CLASS(Type))) return 1;         \
        if (var) *var = static_cast<Type*>(elm->GetRulData());            \
        return 0;                                                         \
    }
// A value variable read as a whole is known from the element's numeric form.
int CArticSrchEvnt::GetRulDataVal(CArticRulElm* elm, CArticRulDataVal** var) {
    if (!elm) return 1;
    if (elm->GetNumForm() != CArticRulElm::NumForm::Value && !IsClass(elm->GetRulData(), VX_RUNTIME_CLASS(CArticRulDataVal)))
        return 1;
    if (var) *var = static_cast<CArticRulDataVal*>(elm->GetRulData());
    return 0;
}
VX_VAR_GETTER(GetRulDataStr, CArticRulDataStr)
VX_VAR_GETTER(GetRulDataEvnt, CArticRulDataEvnt)
VX_VAR_GETTER(GetRulDataAry, CArticRulDataAry)
VX_VAR_GETTER(GetRulDataVAry, CArticRulDataVAry)
#undef VX_VAR_GETTER

int CArticSrchEvnt::GetWrkEvnt(CArticRulElm* elm, CArticWrkEvnt** note) {
    if (!elm || !IsClass(elm->GetRulData(), VX_RUNTIME_CLASS(CArticRulDataEvnt))) return 1;
    const BYTE type = elm->GetDataType();
    if (!IsRelationCode(type)) return 1;
    CArticWrkEvnt* found = static_cast<CArticRulDataEvnt*>(elm->GetRulData())->GetRelation(type, 1);
    if (note) *note = found;
    return found ? 0 : 1;
}

// ---- Notes of a block and a measure

int CArticSrchEvnt::GetFirstWrkEvnt(CArticWrkEvnt* note, CArticWrkEvnt** result) {
    if (result) *result = nullptr;
    CArticWrkBlk* blk = note ? note->GetOwner() : nullptr;
    if (!blk) return 1;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (wrkutil::IsNoteNibble(e)) {
            if (result) *result = e;
            return 0;
        }
    }
    return 1;
}

int CArticSrchEvnt::GetLastWrkEvnt(CArticWrkEvnt* note, CArticWrkEvnt** result) {
    if (result) *result = nullptr;
    CArticWrkBlk* blk = note ? note->GetOwner() : nullptr;
    if (!blk) return 1;
    for (POSITION p = blk->GetTailPos(); p;) {
        CArticWrkEvnt* e = blk->GetPrev(p);
        if (wrkutil::IsNoteNibble(e)) {
            if (result) *result = e;
            return 0;
        }
    }
    return 1;
}

int CArticSrchEvnt::MeasWalk(CArticWrkEvnt* from, ULONG meas, bool forward, CArticWrkEvnt** result) const {
    CArticWrkBlk* blk = from->GetOwner();
    if (!blk) return 1;
    for (POSITION p = forward ? blk->GetHeadPos() : blk->GetTailPos(); p;) {
        CArticWrkEvnt* e = Step(blk, p, forward);
        if (!wrkutil::IsNoteNibble(e)) continue;
        const ULONG m = MeasOf(e);
        if (m == meas) {
            if (result) *result = e;
            return 0;
        }
        if (forward ? m > meas : m < meas) return 1;
    }
    return 1;
}

int CArticSrchEvnt::GetFirstMeasWrkEvnt(CArticWrkEvnt* note, CArticWrkEvnt** result) {
    if (result) *result = nullptr;
    if (!note) return 1;
    return MeasWalk(note, MeasOf(note), true, result);
}

int CArticSrchEvnt::GetLastMeasWrkEvnt(CArticWrkEvnt* note, CArticWrkEvnt** result) {
    if (result) *result = nullptr;
    if (!note) return 1;
    return MeasWalk(note, MeasOf(note), false, result);
}

bool CArticSrchEvnt::CurrentContext(CArticWrkEvnt** note, CArticWrkBlk** blk, CArticWrk** wrk) const {
    CArticRulDataEvnt* current = m_pRulSet ? m_pRulSet->GetDataEvnt() : nullptr;
    *note = current ? current->GetEvnt(0) : nullptr;
    *blk = *note ? (*note)->GetOwner() : nullptr;
    *wrk = m_pRulSet ? m_pRulSet->GetWrk() : nullptr;
    return *note && *blk && *wrk;
}

int CArticSrchEvnt::GetFirstMeasWrkEvnt(INT64 time, CArticWrkEvnt** result) {
    if (result) *result = nullptr;
    CArticWrkEvnt* note;
    CArticWrkBlk* blk;
    CArticWrk* wrk;
    if (!CurrentContext(&note, &blk, &wrk)) return 1;
    ULONG meas = 0, beat = 0, tick = 0;
    if (int r = wrk->GetEvntMeas(time, &meas, &beat, &tick)) return r;
    return MeasWalk(note, meas, true, result);
}

int CArticSrchEvnt::GetLastMeasWrkEvnt(INT64 time, CArticWrkEvnt** result) {
    if (result) *result = nullptr;
    CArticWrkEvnt* note;
    CArticWrkBlk* blk;
    CArticWrk* wrk;
    if (!CurrentContext(&note, &blk, &wrk)) return 1;
    ULONG meas = 0, beat = 0, tick = 0;
    if (int r = wrk->GetEvntMeas(time, &meas, &beat, &tick)) return r;
    return MeasWalk(note, meas, false, result);
}

int CArticSrchEvnt::WindowWalk(CArticWrkBlk* blk, INT64 start, INT64 end, bool forward,
                               CArticWrkEvnt** result) const {
    for (POSITION p = forward ? blk->GetHeadPos() : blk->GetTailPos(); p;) {
        CArticWrkEvnt* e = Step(blk, p, forward);
        if (!wrkutil::IsNoteNibble(e)) continue;
        const INT64 t = e->GetTime();
        if (forward) {
            if (t > end) return 1;
            if (t >= start) {
                if (result) *result = e;
                return 0;
            }
        } else {
            if (t < start) return 1;
            if (t <= end) {
                if (result) *result = e;
                return 0;
            }
        }
    }
    return 1;
}

// The window of measure M shifted back by offset; each bound moves only
// when it is not smaller than the offset.
static int MeasWindow(CArticWrk* wrk, INT64 time, INT64 offset, INT64* start, INT64* end) {
    ULONG meas = 0, beat = 0, tick = 0;
    if (int r = wrk->GetEvntMeas(time, &meas, &beat, &tick)) return r;
    *start = 0;
    *end = 0;
    wrk->GetEvntTime(meas, 1, 0, start);
    wrk->GetEvntTime(meas + 1, 1, 0, end);
    if (*end > 0) *end -= 1;
    if (*start >= offset) *start -= offset;
    if (*end >= offset) *end -= offset;
    return 0;
}

int CArticSrchEvnt::GetFirstMeasWrkEvnt(INT64 time, INT64 offset, CArticWrkEvnt** result) {
    if (result) *result = nullptr;
    CArticWrkEvnt* note;
    CArticWrkBlk* blk;
    CArticWrk* wrk;
    if (!CurrentContext(&note, &blk, &wrk)) return 1;
    INT64 start = 0, end = 0;
    if (int r = MeasWindow(wrk, time, offset, &start, &end)) return r;
    return WindowWalk(blk, start, end, true, result);
}

int CArticSrchEvnt::GetLastMeasWrkEvnt(INT64 time, INT64 offset, CArticWrkEvnt** result) {
    if (result) *result = nullptr;
    CArticWrkEvnt* note;
    CArticWrkBlk* blk;
    CArticWrk* wrk;
    if (!CurrentContext(&note, &blk, &wrk)) return 1;
    INT64 start = 0, end = 0;
    if (int r = MeasWindow(wrk, time, offset, &start, &end)) return r;
    return WindowWalk(blk, start, end, false, result);
}

// ---- Neighbours on the same string

int CArticSrchEvnt::GetNextWrkEvnt(CArticWrkEvnt* note, CArticWrkEvnt** result) {
    CArticWrkEvnt* found = CArticWrkUtil::GetNextGenNote(note);
    if (result) *result = found;
    return found ? 0 : 1;
}

int CArticSrchEvnt::GetPrevWrkEvnt(CArticWrkEvnt* note, CArticWrkEvnt** result) {
    CArticWrkEvnt* found = CArticWrkUtil::GetPrevGenNote(note);
    if (result) *result = found;
    return found ? 0 : 1;
}

int CArticSrchEvnt::CountWalk(CArticWrkEvnt* note, ULONG count, bool forward, CArticWrkEvnt** result) const {
    if (result) *result = nullptr;
    CArticWrkBlk* blk = note ? note->GetOwner() : nullptr;
    if (!blk || count == 0) return 1;
    POSITION p = note->GetPosEvnt();
    if (!p) return 1;
    Step(blk, p, forward);  // past the note itself
    const BYTE string = StringOf(note);
    ULONG k = 0;
    while (p) {
        CArticWrkEvnt* e = Step(blk, p, forward);
        if (!wrkutil::IsNoteNibble(e) || !e->GetFngrInfo() || e->GetFngrInfo()->GetGen() != string) continue;
        if (++k >= count) {
            if (result) *result = e;
            return 0;
        }
    }
    return 1;
}

int CArticSrchEvnt::GetNextWrkEvnt(CArticWrkEvnt* note, ULONG count, CArticWrkEvnt** result) {
    return CountWalk(note, count, true, result);
}

int CArticSrchEvnt::GetPrevWrkEvnt(CArticWrkEvnt* note, ULONG count, CArticWrkEvnt** result) {
    return CountWalk(note, count, false, result);
}

// ---- Element forms: resolve the argument, then the note form.

#define VX_ELEMENT_FORM(Name)                                              \
    int CArticSrchEvnt::Name(CArticRulElm* elm, CArticWrkEvnt** result) {  \
        CArticWrkEvnt* note = nullptr;                                     \
        if (int r = GetWrkEvnt(elm, &note)) return r;                      \
        return Name(note, result);                                         \
    }
VX_ELEMENT_FORM(GetFirstWrkEvnt)
VX_ELEMENT_FORM(GetLastWrkEvnt)
VX_ELEMENT_FORM(GetFirstMeasWrkEvnt)
VX_ELEMENT_FORM(GetLastMeasWrkEvnt)
VX_ELEMENT_FORM(GetNextWrkEvnt)
VX_ELEMENT_FORM(GetPrevWrkEvnt)
#undef VX_ELEMENT_FORM

int CArticSrchEvnt::GetNextWrkEvnt(CArticRulElm* elm, ULONG count, CArticWrkEvnt** result) {
    CArticWrkEvnt* note = nullptr;
    if (int r = GetWrkEvnt(elm, &note)) return r;
    return GetNextWrkEvnt(note, count, result);
}

int CArticSrchEvnt::GetPrevWrkEvnt(CArticRulElm* elm, ULONG count, CArticWrkEvnt** result) {
    CArticWrkEvnt* note = nullptr;
    if (int r = GetWrkEvnt(elm, &note)) return r;
    return GetPrevWrkEvnt(note, count, result);
}

// ---- Element lists, names, fields

void CArticSrchEvnt::GetInRulElmList(CArticRulElmList*) {}
void CArticSrchEvnt::GetOutRulElmList(CArticRulElmList*) {}

void CArticSrchEvnt::GetRulElmList(CArticRulElmList* list) {
    if (!list) return;
    list->RemoveAll();
    GetInRulElmList(list);
    GetOutRulElmList(list);
}

void CArticSrchEvnt::GetClassNameA(CString* name) const {
    if (name) *name = GetClassNameA();
}

int CArticSrchEvnt::GetRulSet(CArticRulSet** set) const {
    if (set) *set = m_pRulSet;
    return 1;
}

// ---- Error flagging

LONG CArticSrchEvnt::GetErrInfo(CArticRulElm* elm) {
    CArticRulDataEvnt* var = nullptr;
    if (GetRulDataEvnt(elm, &var) != 0 || !var) return 0;
    return var->GetErrInfo();
}

void CArticSrchEvnt::SetErrInfo(CArticRulElm* elm, LONG flag) {
    CArticRulDataEvnt* var = nullptr;
    if (GetRulDataEvnt(elm, &var) == 0 && var) var->SetErrInfo(flag);
}

void CArticSrchEvnt::SetErrInfo(CArticRulElm* elm) {
    if (!m_pRulSet || !elm) return;
    CArticRulData* var = elm->GetRulData();
    if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataEvnt))) return;
    CString text;
    if (var) {
        const char* kind = IsClass(var, VX_RUNTIME_CLASS(CArticRulDataVal))    ? "val"
                           : IsClass(var, VX_RUNTIME_CLASS(CArticRulDataStr))  ? "str"
                           : IsClass(var, VX_RUNTIME_CLASS(CArticRulDataAry))  ? "ary"
                           : IsClass(var, VX_RUNTIME_CLASS(CArticRulDataVAry)) ? "vary"
                                                               : nullptr;
        if (kind) text.Format("%s%d", kind, int(var->GetDataNo()));
    } else if (!elm->GetRulElmList() && elm->GetDataType() == kElmPlain) {
        text = elm->GetStrData();
        if (text.IsEmpty()) text.Format("%d", int(DoubleToLong(elm->GetData() * elm->SignFactor())));
    }
    SetErrInfo(&text);
}

void CArticSrchEvnt::SetErrInfo(CString* text) {
    if (m_pRulSet && text) m_pRulSet->SetErrInfo(text);
}

void CArticSrchEvnt::SetErrInfo(CArticWrkEvnt* note) {
    if (m_pRulSet && note) note->SetErr(ULONG(m_pRulSet->GetSetNo()), 1);
}

void CArticSrchEvnt::SetErrInfo() {
    CArticRulDataEvnt* current = m_pRulSet ? m_pRulSet->GetDataEvnt() : nullptr;
    if (!current) return;
    if (CArticWrkEvnt* note = current->GetEvnt(1)) note->SetErr(ULONG(m_pRulSet->GetSetNo()), 1);
}
