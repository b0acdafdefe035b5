#include "engine/rules/ArticRulDataEvnt.h"

#include "engine/rules/ArticRulText.h"

#include <new>
#include <set>

#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulElm.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticRulUtil.h"
#include "engine/work/ArticFngrInfo.h"
#include "engine/work/ArticWrkUtil.h"

VX_IMPLEMENT_CLASS(CArticRulDataEvnt, CArticRulData);
VX_IMPLEMENT_CLASS(CArticRulDataAry, CArticRulData);
VX_IMPLEMENT_CLASS(CArticRulDataVEvnt, CArticRulData);
VX_IMPLEMENT_CLASS(CArticRulDataVAry, CArticRulData);

using namespace rultext;

namespace {
const char kIndexOutOfRange[] = "ﾙｰﾙ・ﾃﾞｰﾀの配列番号が範囲外です。";

bool IsNoteOn(const CArticWrkEvnt* note) { return note && (note->GetStatus() & 0xF0) == 0x90; }

CString ListText(int count, const CString& items) {
    CString text;
    text.Format("%d{", count);
    return text + items + "}";
}

void AppendItem(CString& items, ULONG evntNo) {
    if (!items.IsEmpty()) items += ", ";
    items.AppendFormat(":w%u", evntNo);
}

}  // namespace

// ---- CArticRulDataEvnt

CArticRulDataEvnt::CArticRulDataEvnt(CArticRulSet* set, ULONG no, CArticWrkEvnt* note) : CArticRulData(set, no) {
    SetEvnt(note, 1);
}

CArticRulDataEvnt::CArticRulDataEvnt(CArticRulSet* set, ULONG no, CArticRulDataEvnt* base, BYTE code)
    : CArticRulData(set, no) {
    SetDataEvnt(base, code);
}

CArticRulDataEvnt& CArticRulDataEvnt::operator=(const CArticRulDataEvnt& src) {
    if (this == &src) return *this;
    SetEvnt(src.m_pEvnt, 1);
    m_pDataEvnt = src.m_pDataEvnt;
    m_DataType = src.m_DataType;
    return *this;
}

CArticWrkEvnt* CArticRulDataEvnt::BaseNote() {
    if (!m_pDataEvnt) return nullptr;
    if (m_Resolving) {
        // The chain of bases came back here: no note, and the line is reported.
        ReportRunErr(kSelfReference, "GetEvnt", Label("evnt"));
        return nullptr;
    }
    m_Resolving = true;
    CArticWrkEvnt* note = m_pDataEvnt->GetEvnt(1);
    m_Resolving = false;
    return note;
}

CArticWrkEvnt* CArticRulDataEvnt::GetEvnt(int flag) {
    // Nearly every read is of a variable holding its note directly: that
    // path stays free of the lookup's frame.
    if (!m_pDataEvnt) return m_pEvnt || !flag ? m_pEvnt : Missing();
    return DerivedEvnt(flag);
}

CArticWrkEvnt* CArticRulDataEvnt::Missing() {
    SetErrInfo(1);
    return nullptr;
}

CArticWrkEvnt* CArticRulDataEvnt::DerivedEvnt(int flag) {
    CArticWrkEvnt* note = BaseNote();
    if (note) {
        switch (m_DataType) {
            case kElmEvnt: break;
            case kElmNext: note = CArticWrkUtil::GetNextGenNote(note); break;
            case kElmPre: note = CArticWrkUtil::GetPrevGenNote(note); break;
            case kElmWrkNext: note = CArticWrkUtil::GetWrkNextNoteEvnt(note); break;
            case kElmWrkPre: note = CArticWrkUtil::GetWrkPrevNoteEvnt(note); break;
            case kElmAllNext: note = CArticWrkUtil::GetNextNoteEvnt(note); break;
            case kElmAllPre: note = CArticWrkUtil::GetPrevNoteEvnt(note); break;
            default: note = nullptr; break;
        }
    }
    return Finish(note, flag);
}

// A relation starts from the base's note for a derived variable: its own
// relation code is not applied first.
CArticWrkEvnt* CArticRulDataEvnt::Related(CArticWrkEvnt* (*step)(CArticWrkEvnt*), int flag) {
    CArticWrkEvnt* from = m_pDataEvnt ? BaseNote() : m_pEvnt;
    return Finish(from ? step(from) : nullptr, flag);
}

int CArticRulDataEvnt::GetEvnt(CArticWrkEvnt** note) {
    CArticWrkEvnt* n = GetEvnt(1);
    if (note) *note = n;
    return n ? 1 : 0;
}

#define VX_RELATION_GETTERS(Name, Step)                                                     \
    CArticWrkEvnt* CArticRulDataEvnt::Name(int flag) { return Related(&CArticWrkUtil::Step, flag); } \
    int CArticRulDataEvnt::Name(CArticWrkEvnt** note) {                                     \
        CArticWrkEvnt* n = Name(1);                                                         \
        if (note) *note = n;                                                                \
        return n ? 1 : 0;                                                                   \
    }
VX_RELATION_GETTERS(GetNext, GetNextGenNote)
VX_RELATION_GETTERS(GetPrev, GetPrevGenNote)
VX_RELATION_GETTERS(GetWrkNext, GetWrkNextNoteEvnt)
VX_RELATION_GETTERS(GetWrkPrev, GetWrkPrevNoteEvnt)
VX_RELATION_GETTERS(GetAllNext, GetNextNoteEvnt)
VX_RELATION_GETTERS(GetAllPrev, GetPrevNoteEvnt)
#undef VX_RELATION_GETTERS

CArticWrkEvnt* CArticRulDataEvnt::GetRelation(BYTE code, int flag) {
    switch (code) {
        case kElmEvnt: return GetEvnt(flag);
        case kElmNext: return GetNext(flag);
        case kElmPre: return GetPrev(flag);
        case kElmWrkNext: return GetWrkNext(flag);
        case kElmWrkPre: return GetWrkPrev(flag);
        case kElmAllNext: return GetAllNext(flag);
        case kElmAllPre: return GetAllPrev(flag);
        default: return nullptr;
    }
}

bool CArticRulDataEvnt::IsCyclic() const {
    std::set<const CArticRulDataEvnt*> seen;
    for (const CArticRulDataEvnt* v = m_pDataEvnt; v; v = v->m_pDataEvnt) {
        if (v == this) return true;
        if (!seen.insert(v).second) return false;  // a loop that does not pass here
    }
    return false;
}

INT64 CArticRulDataEvnt::GetTime() {
    CArticWrkEvnt* n = GetEvnt(1);
    return n ? n->GetTime() : 0;
}
INT64 CArticRulDataEvnt::GetGateTime() {
    CArticWrkEvnt* n = GetEvnt(1);
    return n ? n->GetGateTime() : 0;
}
BYTE CArticRulDataEvnt::GetNote() {
    CArticWrkEvnt* n = GetEvnt(1);
    return n ? n->GetPost1() : 0;
}
BYTE CArticRulDataEvnt::GetVelo() {
    CArticWrkEvnt* n = GetEvnt(1);
    return n ? n->GetPost2() : 0;
}

CArticWrkEvnt* CArticRulDataEvnt::FingeredNote() {
    CArticWrkEvnt* n = GetEvnt(1);
    if (n && !n->GetFngrInfo()) {
        SetErrStrInfo();
        return nullptr;
    }
    return n;
}
BYTE CArticRulDataEvnt::GetGen() {
    CArticWrkEvnt* n = FingeredNote();
    return n ? n->GetFngrInfo()->GetGen() : 0;
}
BYTE CArticRulDataEvnt::GetFng() {
    CArticWrkEvnt* n = FingeredNote();
    return n ? n->GetFngrInfo()->GetFng() : 0;
}
LONG CArticRulDataEvnt::GetPos() {
    CArticWrkEvnt* n = FingeredNote();
    return n ? n->GetFngrInfo()->GetPos() : 0;
}
signed char CArticRulDataEvnt::GetCho() {
    CArticWrkEvnt* n = FingeredNote();
    return n ? n->GetFngrInfo()->GetCho() : 0;
}
double CArticRulDataEvnt::GetProb(ULONG setNo) {
    CArticWrkEvnt* n = GetEvnt(1);
    return n ? n->GetProb(setNo) : 0.0;
}
LONG CArticRulDataEvnt::GetOut(ULONG setNo) {
    CArticWrkEvnt* n = GetEvnt(1);
    return n ? n->GetOut(setNo) : 0;
}

ULONG CArticRulDataEvnt::NoOf(const CArticWrkEvnt* note) { return note ? note->GetEvntNo() : kNoEvntNo; }
ULONG CArticRulDataEvnt::GetWrkEvntNo(int flag) { return NoOf(GetEvnt(flag)); }
ULONG CArticRulDataEvnt::GetNextWrkEvntNo(int flag) { return NoOf(GetNext(flag)); }
ULONG CArticRulDataEvnt::GetPrevWrkEvntNo(int flag) { return NoOf(GetPrev(flag)); }
ULONG CArticRulDataEvnt::GetWrkNextWrkEvntNo(int flag) { return NoOf(GetWrkNext(flag)); }
ULONG CArticRulDataEvnt::GetWrkPrevWrkEvntNo(int flag) { return NoOf(GetWrkPrev(flag)); }
ULONG CArticRulDataEvnt::GetAllNextWrkEvntNo(int flag) { return NoOf(GetAllNext(flag)); }
ULONG CArticRulDataEvnt::GetAllPrevWrkEvntNo(int flag) { return NoOf(GetAllPrev(flag)); }

int CArticRulDataEvnt::GetDataEvnt(CArticRulDataEvnt** base) const {
    if (base) *base = m_pDataEvnt;
    return 1;
}

LONG CArticRulDataEvnt::GetErrInfo() const {
    CArticRulSet* set = GetRulSet();
    CArticWrkEvnt* note = CurrentNote();
    return set && note ? note->GetErr(ULONG(set->GetSetNo())) : 0;
}

void CArticRulDataEvnt::SetErrInfo(LONG value) {
    CArticRulSet* set = GetRulSet();
    CArticWrkEvnt* note = CurrentNote();
    if (set && note) note->SetErr(ULONG(set->GetSetNo()), value);
}

void CArticRulDataEvnt::SetErrStrInfo() {
    CArticRulSet* set = GetRulSet();
    if (!set) return;
    CString text = Label("evnt");
    set->SetErrInfo(&text);
    SetErrInfo(1);
}

void CArticRulDataEvnt::SetEvnt(CArticWrkEvnt* note, int check) {
    m_pEvnt = check && !IsNoteOn(note) ? nullptr : note;
    m_pDataEvnt = nullptr;
    m_DataType = 0;
}

void CArticRulDataEvnt::SetDataEvnt(CArticRulDataEvnt* base, BYTE code) {
    m_pEvnt = nullptr;
    m_pDataEvnt = base;
    m_DataType = code;
}

void CArticRulDataEvnt::SetDataEvnt(CArticRulDataEvnt* base) {
    m_pEvnt = nullptr;
    m_pDataEvnt = base;
}

// ---- CArticRulDataAry

CArticRulDataAry::CArticRulDataAry(CArticRulSet* set, ULONG no) : CArticRulData(set, no) { NewRulDataEvntArray(); }

CArticRulDataAry::~CArticRulDataAry() {
    DeleteRulDataEvntArray();
}

CArticRulDataEvntSpares::~CArticRulDataEvntSpares() {
    for (CArticRulDataEvnt* elm : m_Spares) delete elm;
}

CArticRulDataEvnt* CArticRulDataEvntSpares::Take(ULONG index) {
    if (m_Spares.empty()) return new (std::nothrow) CArticRulDataEvnt(nullptr, index);
    CArticRulDataEvnt* elm = m_Spares.back();
    m_Spares.pop_back();
    elm->SetRulSet(nullptr);
    elm->SetDataNo(index);
    elm->SetEvnt(nullptr, 0);
    return elm;
}

void CArticRulDataEvntSpares::Drop(CArticRulDataEvnt* elm) {
    if (!elm) return;
#if defined(__SANITIZE_ADDRESS__)
    delete elm;
#else
    // The spares never outnumber the elements the array held at once.
    try {
        m_Spares.push_back(elm);
    } catch (...) {
        delete elm;
    }
#endif
}

CArticRulDataAry& CArticRulDataAry::operator=(const CArticRulDataAry& src) {
    if (this == &src) return *this;
    if (src.m_pArray) {
        NewRulDataEvntArray();
        CopyRulDataEvntArray(src.m_pArray);
    }
    return *this;
}

void CArticRulDataAry::NewRulDataEvntArray() {
    DeleteRulDataEvntArray();
    m_pArray = new (std::nothrow) CArticRulDataEvntArray();
}

void CArticRulDataAry::DeleteRulDataEvntArray() {
    ClearRulDataEvntArray();
    delete m_pArray;
    m_pArray = nullptr;
}

void CArticRulDataAry::CopyRulDataEvntArray(const CArticRulDataEvntArray* src) {
    if (!src || !m_pArray || src == m_pArray) return;
    ClearRulDataEvntArray();
    m_pArray->SetSize(src->GetSize());
    for (int i = 0; i < src->GetSize(); ++i) {
        const CArticRulDataEvnt* item = src->GetAt(i);
        if (!item) continue;
        CArticRulDataEvnt* copy = m_SpareItems.Take(ULONG(i));
        if (!copy) continue;
        *copy = *item;
        m_pArray->SetAt(i, copy);
    }
}

void CArticRulDataAry::ClearRulDataEvntArray() {
    if (!m_pArray) return;
    for (int i = 0; i < m_pArray->GetSize(); ++i) m_SpareItems.Drop(m_pArray->GetAt(i));
    m_pArray->RemoveAll();
}

int CArticRulDataAry::GetDataEvnt(int index, CArticRulDataEvnt** item) const {
    CArticRulDataEvnt* found = GetDataEvnt(index);
    if (item) *item = found;
    return found ? 1 : 0;
}

CArticRulDataEvnt* CArticRulDataAry::GetDataEvnt(int index) const { return m_pArray ? m_pArray->GetAt(index) : nullptr; }

void CArticRulDataAry::GetEvntList(CArticWrkEvntList* list) {
    if (!list) return;
    list->RemoveAll();
    if (!m_pArray) return;
    for (int i = 0; i < m_pArray->GetSize(); ++i) {
        CArticRulDataEvnt* item = m_pArray->GetAt(i);
        if (CArticWrkEvnt* note = item ? item->GetEvnt(1) : nullptr) list->AddTail(note);
    }
}

CString CArticRulDataAry::GetData() {
    CString items;
    int count = 0;
    for (int i = 0; m_pArray && i < m_pArray->GetSize(); ++i) {
        CArticRulDataEvnt* item = m_pArray->GetAt(i);
        CArticWrkEvnt* note = item ? item->GetEvnt(1) : nullptr;
        if (!note) continue;
        AppendItem(items, note->GetEvntNo());
        ++count;
    }
    return ListText(count, items);
}

int CArticRulDataAry::GetCount() const {
    int count = 0;
    for (int i = 0; m_pArray && i < m_pArray->GetSize(); ++i)
        if (m_pArray->GetAt(i)) ++count;
    return count;
}

int CArticRulDataAry::SetDataEvnt(int index, CArticWrkEvnt* note) {
    if (!m_pArray) return 0;
    if (index < 0 || !CArticRulUtil::GrowFor(*m_pArray, ULONG(index))) {
        ReportRunErr(kIndexOutOfRange, "SetDataEvnt", Label("ary"));
        return 0;
    }
    CArticRulDataEvnt* item = m_pArray->GetAt(index);
    if (!note) {
        m_pArray->SetAt(index, nullptr);
        m_SpareItems.Drop(item);
        return 1;
    }
    if (!item) {
        item = m_SpareItems.Take(ULONG(index));
        if (!item) return 0;
        m_pArray->SetAt(index, item);
    }
    item->SetEvnt(note, 0);
    return 1;
}

int CArticRulDataAry::SetDataEvnt(CArticRulDataEvnt* item) {
    if (!m_pArray || !item) return 0;
    const ULONG index = item->GetDataNo();
    if (!CArticRulUtil::GrowFor(*m_pArray, index)) return 0;
    if (m_pArray->GetAt(int(index))) return 0;
    m_pArray->SetAt(int(index), item);
    return 1;
}

// ---- CArticRulDataVAry

CArticRulDataVAry::CArticRulDataVAry(CArticRulSet* set, ULONG no) : CArticRulData(set, no) { NewRulDataVEvntArray(); }

CArticRulDataVAry::~CArticRulDataVAry() { DeleteRulDataVEvntArray(); }

CArticRulDataVAry& CArticRulDataVAry::operator=(const CArticRulDataVAry& src) {
    if (this == &src) return *this;
    if (src.m_pArray) {
        NewRulDataVEvntArray();
        CopyRulDataVEvntArray(src.m_pArray);
    }
    return *this;
}

void CArticRulDataVAry::NewRulDataVEvntArray() {
    DeleteRulDataVEvntArray();
    m_pArray = new (std::nothrow) CArticRulDataVEvntArray();
}

void CArticRulDataVAry::DeleteRulDataVEvntArray() {
    ClearRulDataVEvntArray();
    delete m_pArray;
    m_pArray = nullptr;
}

void CArticRulDataVAry::CopyRulDataVEvntArray(const CArticRulDataVEvntArray* src) {
    if (!src || !m_pArray || src == m_pArray) return;
    ClearRulDataVEvntArray();
    m_pArray->SetSize(src->GetSize());
    for (int i = 0; i < src->GetSize(); ++i) {
        const CArticRulDataVEvnt* item = src->GetAt(i);
        if (!item) continue;
        auto* copy = new (std::nothrow) CArticRulDataVEvnt(nullptr, ULONG(i));
        if (!copy) continue;
        *copy = *item;
        m_pArray->SetAt(i, copy);
    }
}

void CArticRulDataVAry::ClearRulDataVEvntArray() {
    if (!m_pArray) return;
    for (int i = 0; i < m_pArray->GetSize(); ++i) delete m_pArray->GetAt(i);
    m_pArray->RemoveAll();
}

int CArticRulDataVAry::GetDataEvnt(int index, CArticRulDataVEvnt** item) const {
    CArticRulDataVEvnt* found = GetDataEvnt(index);
    if (item) *item = found;
    return found ? 1 : 0;
}

CArticRulDataVEvnt* CArticRulDataVAry::GetDataEvnt(int index) const {
    return m_pArray ? m_pArray->GetAt(index) : nullptr;
}

CString CArticRulDataVAry::GetData() const {
    CString items;
    int count = 0;
    for (int i = 0; m_pArray && i < m_pArray->GetSize(); ++i) {
        const CArticRulDataVEvnt* item = m_pArray->GetAt(i);
        if (!item || item->GetEvntNo() == kNoEvntNo) continue;
        AppendItem(items, item->GetEvntNo());
        ++count;
    }
    return ListText(count, items);
}

int CArticRulDataVAry::SetDataEvnt(int index, ULONG evntNo) {
    if (!m_pArray) return 0;
    if (index < 0 || !CArticRulUtil::GrowFor(*m_pArray, ULONG(index))) {
        ReportRunErr(kIndexOutOfRange, "SetDataEvnt", Label("vary"));
        return 0;
    }
    CArticRulDataVEvnt* item = m_pArray->GetAt(index);
    if (evntNo == kNoEvntNo) {
        delete item;
        m_pArray->SetAt(index, nullptr);
        return 1;
    }
    if (!item) {
        item = new (std::nothrow) CArticRulDataVEvnt(nullptr, ULONG(index));
        if (!item) return 0;
        m_pArray->SetAt(index, item);
    }
    item->SetEvntNo(evntNo);
    return 1;
}

int CArticRulDataVAry::SetDataEvnt(CArticRulDataVEvnt* item) {
    if (!m_pArray || !item) return 0;
    const ULONG index = item->GetDataNo();
    if (!CArticRulUtil::GrowFor(*m_pArray, index)) return 0;
    if (m_pArray->GetAt(int(index))) return 0;
    m_pArray->SetAt(int(index), item);
    return 1;
}

void CArticRulDataVAry::SetData(int count) {
    for (int i = 0; i < count; ++i) {
        ULONG no = GetFreeEvntNo();
        if (no != kNoEvntNo) SetDataEvnt(i, no);
    }
}

ULONG CArticRulDataVAry::GetFreeEvntNo() const {
    CArticRulSet* set = GetRulSet();
    CArticRul* program = set ? set->GetRul() : nullptr;
    CArticRul* main = program ? program->GetRul() : nullptr;
    return main ? main->GetFreeEvntNo() : kNoEvntNo;
}

bool CArticRulDataEvnt::ReadMember(BYTE code, ULONG setNo, double* value) {
    switch (code) {
        case kElmTime: *value = double(GetTime()); return true;
        case kElmDur: *value = double(GetGateTime()); return true;
        case kElmKey: *value = GetNote(); return true;
        case kElmVelo: *value = GetVelo(); return true;
        case kElmGen: *value = GetGen(); return true;
        case kElmFng: *value = GetFng(); return true;
        case kElmPos: *value = GetPos(); return true;
        case kElmCho: *value = GetCho(); return true;
        case kElmProb: *value = GetProb(setNo); return true;
        case kElmCre: *value = GetOut(setNo); return true;
        default: return false;
    }
}
