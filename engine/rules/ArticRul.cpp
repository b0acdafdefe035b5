#include "engine/rules/ArticRul.h"

#include <new>

#include "services/ArticErr.h"
#include "engine/rules/ArticRulInit.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticRulSub.h"
#include "engine/rules/ArticRulUtil.h"
#include "engine/work/ArticWrk.h"

VX_IMPLEMENT_CLASS(CArticRul, CObject);

namespace {

const char kRunCaption[] = "中間表現ﾃﾞｰﾀの生成中にｴﾗｰが発生しました。";
const char kIndexOutOfRange[] = "ﾙｰﾙ・ﾃﾞｰﾀの配列番号が範囲外です。";
constexpr ULONG kNoFreeEvntNo = 2147483647;

bool HasNote(CArticRulDataEvnt* elm, int flag) { return elm && elm->GetEvnt(flag); }

// The out form of a lookup: *out gets what was found (possibly null); 1 when
// something was found.
template <class T>
int Deliver(T* found, T** out) {
    if (out) *out = found;
    return found ? 1 : 0;
}

// Walks a list from the head: the item at index, or null.
template <class L>
auto ItemAt(const L* list, int index) -> decltype(list->GetHead()) {
    if (!list) return nullptr;
    POSITION p = list->FindIndex(index);
    return p ? list->GetAt(p) : nullptr;
}

}  // namespace

CArticRul::CArticRul(CArticWrk* wrk, CKPSManager* editor) : m_pWrk(wrk), m_pCEditor(editor) {
    NewRulInit();
    NewRulSetList();
    NewRulSubList();
    NewGlobalArray();
    NewRulDataEvntArray();
}

CArticRul::~CArticRul() {
    DeleteRulInit();
    DeleteRulSetList();
    DeleteRulSubList();
    DeleteGlobalArray();
    DeleteRulDataEvntArray();
}

// ---- Members

void CArticRul::NewRulSetList() {
    DeleteRulSetList();
    m_pRulSetList = new (std::nothrow) CArticRulSetList(10);
}
void CArticRul::NewRulSubList() {
    DeleteRulSubList();
    m_pRulSubList = new (std::nothrow) CArticRulSubList(10);
}
void CArticRul::NewRulInit() {
    DeleteRulInit();
    for (CArticRulInit*& init : m_pInit) init = new (std::nothrow) CArticRulInit(this);
}
void CArticRul::NewGlobalArray() {
    DeleteGlobalArray();
    m_pGlobalArray = new (std::nothrow) CArticGlobalArray();
}
void CArticRul::NewRulDataEvntArray() {
    DeleteRulDataEvntArray();
    m_pRulDataEvntArray = new (std::nothrow) CArticRulDataEvntArray();
}

void CArticRul::DeleteRulSetList() {
    ClearRulSetList();
    delete m_pRulSetList;
    m_pRulSetList = nullptr;
}
void CArticRul::DeleteRulSubList() {
    ClearRulSubList();
    delete m_pRulSubList;
    m_pRulSubList = nullptr;
}
void CArticRul::DeleteRulInit() {
    for (CArticRulInit*& init : m_pInit) {
        delete init;
        init = nullptr;
    }
}
void CArticRul::DeleteGlobalArray() {
    ClearGlobalArray();
    delete m_pGlobalArray;
    m_pGlobalArray = nullptr;
}
void CArticRul::DeleteRulDataEvntArray() {
    ClearRulDataEvntArray();
    delete m_pRulDataEvntArray;
    m_pRulDataEvntArray = nullptr;
}

void CArticRul::Clear() {
    m_ProcNestFlag = 0;
    m_ProcNest = 0;
    m_Direction = 0;
    m_EvntCount = 0;
    ClearRulInit();
    ClearRulSetList();
    ClearRulSubList();
    ClearGlobalArray();
    ClearRulDataEvntArray();
}

void CArticRul::ClearRulSetList() {
    if (!m_pRulSetList) return;
    for (POSITION p = m_pRulSetList->GetHeadPosition(); p;) delete m_pRulSetList->GetNext(p);
    m_pRulSetList->RemoveAll();
}
void CArticRul::ClearRulSubList() {
    if (!m_pRulSubList) return;
    for (POSITION p = m_pRulSubList->GetHeadPosition(); p;) delete m_pRulSubList->GetNext(p);
    m_pRulSubList->RemoveAll();
}
void CArticRul::ClearRulInit() {
    for (CArticRulInit* init : m_pInit)
        if (init) init->Clear();
}
void CArticRul::ClearGlobalArray() {
    if (m_pGlobalArray) m_pGlobalArray->clear();
}
void CArticRul::ClearRulDataEvntArray() {
    if (!m_pRulDataEvntArray) return;
    for (int i = 0; i < m_pRulDataEvntArray->GetSize(); ++i) m_SpareElms.Drop(m_pRulDataEvntArray->GetAt(i));
    m_pRulDataEvntArray->RemoveAll();
}

void CArticRul::CopyRulSetList(const CArticRulSetList* src) {
    if (!src || !m_pRulSetList || src == m_pRulSetList) return;
    ClearRulSetList();
    for (POSITION p = src->GetHeadPosition(); p;) {
        const CArticRulSet* from = src->GetNext(p);
        if (!from) continue;
        auto* copy = new (std::nothrow) CArticRulSet(this, m_pWrk);
        if (!copy) continue;
        *copy = *from;
        m_pRulSetList->AddTail(copy);
    }
}

void CArticRul::CopyRulSubList(const CArticRulSubList* src) {
    if (!src || !m_pRulSubList || src == m_pRulSubList) return;
    ClearRulSubList();
    for (POSITION p = src->GetHeadPosition(); p;) {
        const CArticRulSub* from = src->GetNext(p);
        if (!from) continue;
        auto* copy = new (std::nothrow) CArticRulSub(this, m_pWrk);
        if (!copy) continue;
        *copy = *from;
        m_pRulSubList->AddTail(copy);
    }
}

void CArticRul::CopyGlobalArray(const CArticGlobalArray* src) {
    if (!src || !m_pGlobalArray || src == m_pGlobalArray) return;
    try {
        *m_pGlobalArray = *src;
    } catch (...) {
        ClearGlobalArray();
    }
}

void CArticRul::CopyRulDataEvntArray(const CArticRulDataEvntArray* src) {
    if (!src || !m_pRulDataEvntArray || src == m_pRulDataEvntArray) return;
    ClearRulDataEvntArray();
    m_pRulDataEvntArray->SetSize(src->GetSize());
    for (int i = 0; i < src->GetSize(); ++i) {
        const CArticRulDataEvnt* item = src->GetAt(i);
        if (!item) continue;
        CArticRulDataEvnt* copy = m_SpareElms.Take(ULONG(i));
        if (!copy) continue;
        *copy = *item;
        m_pRulDataEvntArray->SetAt(i, copy);
    }
}

void CArticRul::DispErrMsg(const CString& caption, const CString& message, const CString& function,
                           const CString& detail) {
    CArticErr::Set(message, "CArticRul", function, detail);
    CString text;
    CArticErr::Get(text);
    CArticErr::DoModalErrDlg(caption + "\r" + text, 0x10);
    if (!detail.IsEmpty()) CArticErr::Set(kArticErrKindDetail, detail, "CArticRul", function, CString());
}

void CArticRul::ReportIndex(const char* function, ULONG index) {
    CString detail;
    detail.Format("配列番号 = %u", index);
    DispErrMsg(kRunCaption, kIndexOutOfRange, function, detail);
}

// ---- Fields

int CArticRul::GetWrk(CArticWrk** wrk) const {
    if (wrk) *wrk = m_pWrk;
    return 1;
}
int CArticRul::GetRul(CArticRul** rul) const {
    if (rul) *rul = m_pRul;
    return 1;
}
int CArticRul::GetCEditor(CKPSManager** editor) const {
    if (editor) *editor = m_pCEditor;
    return 1;
}

void CArticRul::GetClassNameA(CString* name) const {
    if (name) *name = GetClassNameA();
}

// ---- Globals

double CArticRul::GetGlobal(ULONG index) const {
    if (!m_pGlobalArray || index >= m_pGlobalArray->size()) return 0.0;
    return (*m_pGlobalArray)[index];
}

int CArticRul::SetGlobal(ULONG index, double value) {
    if (!m_pGlobalArray) return 0;
    if (index > kMaxRulIndex) {
        ReportIndex("SetGlobal", index);
        return 0;
    }
    if (index >= m_pGlobalArray->size()) {
        // Grows in the same steps as the program's other numbered tables.
        try {
            m_pGlobalArray->resize(size_t(CArticRulUtil::GrownSize(int(m_pGlobalArray->size()), index)), 0.0);
        } catch (...) {
            return 0;
        }
    }
    (*m_pGlobalArray)[index] = value;
    return 1;
}

// ---- Rule-data event array

CArticRulDataEvnt* CArticRul::GetRulDataEvnt(ULONG index) const {
    if (!m_pRulDataEvntArray || int64_t(index) >= m_pRulDataEvntArray->GetSize()) return nullptr;
    return m_pRulDataEvntArray->GetAt(int(index));
}

int CArticRul::GetRulDataEvntAll(CArticWrkEvntList* list) const {
    if (!m_pRulDataEvntArray || !list) return 1;
    int added = 0;
    for (int i = 0; i < m_pRulDataEvntArray->GetSize(); ++i) {
        CArticRulDataEvnt* elm = m_pRulDataEvntArray->GetAt(i);
        if (CArticWrkEvnt* note = elm ? elm->GetEvnt(0) : nullptr) {
            list->AddTail(note);
            ++added;
        }
    }
    return added ? 0 : 1;
}

int CArticRul::GetTailElmNoRulDataEvnt() const {
    if (!m_pRulDataEvntArray) return -1;
    for (int i = m_pRulDataEvntArray->GetSize() - 1; i >= 0; --i)
        if (HasNote(m_pRulDataEvntArray->GetAt(i), 1)) return i;
    return -1;
}

int CArticRul::GetRulDataEvntArray(CArticRulDataEvntArray** array) const {
    if (array) *array = m_pRulDataEvntArray;
    return 1;
}

int CArticRul::SetRulDataEvnt(ULONG index, CArticWrkEvnt* note) {
    if (!m_pRulDataEvntArray) return 0;
    if (!CArticRulUtil::GrowFor(*m_pRulDataEvntArray, index)) {
        ReportIndex("SetRulDataEvnt", index);
        return 0;
    }
    const int i = int(index);
    CArticRulDataEvnt* elm = m_pRulDataEvntArray->GetAt(i);
    if (!note) {
        m_pRulDataEvntArray->SetAt(i, nullptr);
        m_SpareElms.Drop(elm);
        return 1;
    }
    if (!elm) {
        elm = m_SpareElms.Take(index);
        if (!elm) return 0;
        m_pRulDataEvntArray->SetAt(i, elm);
    }
    elm->CArticRulDataEvnt::SetEvnt(note, 1);
    return 1;
}

int CArticRul::SetRulDataEvnt(ULONG index, const CArticRulDataEvnt* src) {
    if (!m_pRulDataEvntArray) return 0;
    if (!CArticRulUtil::GrowFor(*m_pRulDataEvntArray, index)) {
        ReportIndex("SetRulDataEvnt", index);
        return 0;
    }
    const int i = int(index);
    CArticRulDataEvnt* elm = m_pRulDataEvntArray->GetAt(i);
    if (!src) {
        m_pRulDataEvntArray->SetAt(i, nullptr);
        m_SpareElms.Drop(elm);
        return 1;
    }
    if (!elm) {
        elm = m_SpareElms.Take(index);
        if (!elm) return 0;
        m_pRulDataEvntArray->SetAt(i, elm);
    }
    if (elm != src) *elm = *src;
    return 1;
}

int CArticRul::FillRulDataEvnt(const std::vector<CArticWrkEvnt*>& notes) {
    if (!m_pRulDataEvntArray) return 0;
    const int count = int(notes.size());
#if !defined(__SANITIZE_ADDRESS__)
    // Under AddressSanitizer the elements leave and come back the long way,
    // so that a pointer kept to one still shows.
    if (notes.size() <= size_t(kMaxRulIndex) + 1) {
        CArticRulDataEvntArray& array = *m_pRulDataEvntArray;
        for (int i = count; i < array.GetSize(); ++i) m_SpareElms.Drop(array.GetAt(i));
        array.SetSize(count);
        for (int i = 0; i < count; ++i) {
            CArticRulDataEvnt* elm = array.GetAt(i);
            if (!notes[size_t(i)]) {
                array.SetAt(i, nullptr);
                m_SpareElms.Drop(elm);
                continue;
            }
            if (elm) {
                // Just as the spares hand one out.
                elm->CArticRulDataEvnt::SetRulSet(nullptr);
                elm->CArticRulDataEvnt::SetDataNo(ULONG(i));
            } else {
                elm = m_SpareElms.Take(ULONG(i));
                if (!elm) continue;
                array.SetAt(i, elm);
            }
            elm->CArticRulDataEvnt::SetEvnt(notes[size_t(i)], 1);
        }
        return count;
    }
#endif
    ClearRulDataEvntArray();
    m_pRulDataEvntArray->SetSize(count);
    for (int i = 0; i < count; ++i) SetRulDataEvnt(ULONG(i), notes[size_t(i)]);
    return count;
}

ULONG CArticRul::GetFreeEvntNo() {
    if (!m_pWrk) return kNoFreeEvntNo;
    return m_pWrk->GetFreeEvntNo() + m_EvntCount++;
}

// ---- The set list

int CArticRul::RemoveRulSetNo(int setNo) {
    if (!m_pRulSetList) return 1;
    int passedEmpty = 0;
    for (POSITION p = m_pRulSetList->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticRulSet* set = m_pRulSetList->GetNext(p);
        if (!set) {
            passedEmpty = 1;
            continue;
        }
        if (set->GetSetNo() == setNo) {
            m_pRulSetList->RemoveAt(at);
            delete set;
            return passedEmpty;
        }
    }
    return passedEmpty;
}

int CArticRul::GetCount() const { return m_pRulSetList ? m_pRulSetList->GetCount() : 0; }
POSITION CArticRul::GetHeadPos() const { return m_pRulSetList ? m_pRulSetList->GetHeadPosition() : nullptr; }
POSITION CArticRul::GetTailPos() const { return m_pRulSetList ? m_pRulSetList->GetTailPosition() : nullptr; }
POSITION CArticRul::GetPos(int index) const { return m_pRulSetList ? m_pRulSetList->FindIndex(index) : nullptr; }

int CArticRul::GetNext(POSITION& pos, CArticRulSet** set) const { return Deliver(GetNext(pos), set); }
CArticRulSet* CArticRul::GetNext(POSITION& pos) const {
    return m_pRulSetList && pos ? m_pRulSetList->GetNext(pos) : nullptr;
}
int CArticRul::GetPrev(POSITION& pos, CArticRulSet** set) const { return Deliver(GetPrev(pos), set); }
CArticRulSet* CArticRul::GetPrev(POSITION& pos) const {
    return m_pRulSetList && pos ? m_pRulSetList->GetPrev(pos) : nullptr;
}
int CArticRul::Get(int index, CArticRulSet** set) const { return Deliver(Get(index), set); }
int CArticRul::Get(POSITION pos, CArticRulSet** set) const { return Deliver(Get(pos), set); }
CArticRulSet* CArticRul::Get(int index) const { return ItemAt(m_pRulSetList, index); }
CArticRulSet* CArticRul::Get(POSITION pos) const { return m_pRulSetList && pos ? m_pRulSetList->GetAt(pos) : nullptr; }

int CArticRul::GetBySetNo(int setNo, CArticRulSet** set) const { return Deliver(GetBySetNo(setNo), set); }
CArticRulSet* CArticRul::GetBySetNo(int setNo) const {
    if (!m_pRulSetList) return nullptr;
    for (POSITION p = m_pRulSetList->GetHeadPosition(); p;) {
        CArticRulSet* s = m_pRulSetList->GetNext(p);
        if (s && s->GetSetNo() == setNo) return s;
    }
    return nullptr;
}
ULONG CArticRul::GetSetNo(int index) const {
    CArticRulSet* s = Get(index);
    return s ? ULONG(s->GetSetNo()) : 0;
}
POSITION CArticRul::AddHead(CArticRulSet* set) { return m_pRulSetList ? m_pRulSetList->AddHead(set) : nullptr; }
POSITION CArticRul::AddTail(CArticRulSet* set) { return m_pRulSetList ? m_pRulSetList->AddTail(set) : nullptr; }

// ---- The subroutine list

int CArticRul::GetSubCount() const { return m_pRulSubList ? m_pRulSubList->GetCount() : 0; }
POSITION CArticRul::GetSubHeadPos() const { return m_pRulSubList ? m_pRulSubList->GetHeadPosition() : nullptr; }
POSITION CArticRul::GetSubTailPos() const { return m_pRulSubList ? m_pRulSubList->GetTailPosition() : nullptr; }
POSITION CArticRul::GetSubPos(int index) const { return m_pRulSubList ? m_pRulSubList->FindIndex(index) : nullptr; }

int CArticRul::GetSubNext(POSITION& pos, CArticRulSub** sub) const { return Deliver(GetSubNext(pos), sub); }
CArticRulSub* CArticRul::GetSubNext(POSITION& pos) const {
    return m_pRulSubList && pos ? m_pRulSubList->GetNext(pos) : nullptr;
}
int CArticRul::GetSubPrev(POSITION& pos, CArticRulSub** sub) const { return Deliver(GetSubPrev(pos), sub); }
CArticRulSub* CArticRul::GetSubPrev(POSITION& pos) const {
    return m_pRulSubList && pos ? m_pRulSubList->GetPrev(pos) : nullptr;
}
int CArticRul::GetSub(int index, CArticRulSub** sub) const { return Deliver(GetSub(index), sub); }
int CArticRul::GetSub(POSITION pos, CArticRulSub** sub) const { return Deliver(GetSub(pos), sub); }
CArticRulSub* CArticRul::GetSub(int index) const { return ItemAt(m_pRulSubList, index); }
CArticRulSub* CArticRul::GetSub(POSITION pos) const { return m_pRulSubList && pos ? m_pRulSubList->GetAt(pos) : nullptr; }

int CArticRul::GetBySubNo(int subNo, CArticRulSub** sub) const { return Deliver(GetBySubNo(subNo), sub); }
CArticRulSub* CArticRul::GetBySubNo(int subNo) const {
    if (!m_pRulSubList) return nullptr;
    for (POSITION p = m_pRulSubList->GetHeadPosition(); p;) {
        CArticRulSub* s = m_pRulSubList->GetNext(p);
        if (s && s->GetSubNo() == subNo) return s;
    }
    return nullptr;
}
ULONG CArticRul::GetSubNo(int index) const {
    CArticRulSub* s = GetSub(index);
    return s ? ULONG(s->GetSubNo()) : 0;
}
POSITION CArticRul::AddSubHead(CArticRulSub* sub) { return m_pRulSubList ? m_pRulSubList->AddHead(sub) : nullptr; }
POSITION CArticRul::AddSubTail(CArticRulSub* sub) { return m_pRulSubList ? m_pRulSubList->AddTail(sub) : nullptr; }

// ---- Init blocks

int CArticRul::GetInit(int index, CArticRulInit** init) const {
    CArticRulInit* found = GetInit(index);
    if (!found) return 0;
    if (init) *init = found;
    return 1;
}

CArticRulInit* CArticRul::GetInit(int index) const {
    if (ULONG(index) > 1) return nullptr;
    return m_pInit[index];
}
