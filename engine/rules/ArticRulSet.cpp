#include "engine/rules/ArticRulSet.h"

#include <new>

#include "services/ArticErr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulUtil.h"
#include "engine/rules/ArticSrchEvnt.h"
#include "engine/rules/ArticSrchSubRoutine.h"

VX_IMPLEMENT_CLASS(CArticRulSet, CObject);

namespace {
constexpr int kInitialSlots = 20;

template <class A>
A* NewArray() {
    A* array = new (std::nothrow) A();
    if (array) array->SetSize(kInitialSlots);
    return array;
}
}  // namespace

CArticRulSet::CArticRulSet(CArticRul* rul, CArticWrk* wrk)
    : m_pRul(rul),
      m_pWrk(wrk),
      m_pName(new CString()),
      m_pDataEvntArray(NewArray<CArticRulDataEvntArray>()),
      m_pDataValArray(NewArray<CArticRulDataValArray>()),
      m_pDataStrArray(NewArray<CArticRulDataStrArray>()),
      m_pDataAryArray(NewArray<CArticRulDataAryArray>()),
      m_pDataVAryArray(NewArray<CArticRulDataVAryArray>()),
      m_pSrchEvntArray(NewArray<CArticSrchEvntArray>()),
      m_pSubRoutineArray(NewArray<CArticSrchSubRoutineArray>()),
      m_pSrchEvntList(new (std::nothrow) CArticSrchEvntList(10)),
      m_pRulExpEvntArray(NewArray<CArticRulExpEvntArray>()),
      m_pRulExpEvntList(new (std::nothrow) CArticRulExpEvntList(10)),
      m_pErrInfo(new CString()) {
    NewSingles();
}

CArticRulSet::~CArticRulSet() {
    // The calls and expression lines may read the variables while they go:
    // they are deleted first.
    delete m_pSrchEvntList;
    delete m_pRulExpEvntList;
    DeleteItems(m_pSrchEvntArray);
    DeleteItems(m_pSubRoutineArray);
    DeleteItems(m_pRulExpEvntArray);
    delete m_pSrchEvntArray;
    delete m_pSubRoutineArray;
    delete m_pRulExpEvntArray;
    DeleteItems(m_pDataEvntArray);
    DeleteItems(m_pDataValArray);
    DeleteItems(m_pDataStrArray);
    DeleteItems(m_pDataAryArray);
    DeleteItems(m_pDataVAryArray);
    delete m_pDataEvntArray;
    delete m_pDataValArray;
    delete m_pDataStrArray;
    delete m_pDataAryArray;
    delete m_pDataVAryArray;
    DeleteSingles();
    delete m_pName;
    delete m_pErrInfo;
}

void CArticRulSet::NewSingles() {
    DeleteSingles();
    m_pDataEvnt = new (std::nothrow) CArticRulDataEvnt(this, 0);
    m_pDataVal = new (std::nothrow) CArticRulDataVal(this, 0);
    m_pDataExv = new (std::nothrow) CArticRulDataExv(this, 0);
    m_pDataSrchd = new (std::nothrow) CArticRulDataSrchd(this, 0);
}

void CArticRulSet::DeleteSingles() {
    delete m_pDataEvnt;
    delete m_pDataVal;
    delete m_pDataExv;
    delete m_pDataSrchd;
    m_pDataEvnt = nullptr;
    m_pDataVal = nullptr;
    m_pDataExv = nullptr;
    m_pDataSrchd = nullptr;
}

void CArticRulSet::Clear() {
    m_SetNo = -1;
    m_Direction = 0;
    m_Break = 0;
    m_SubCallCount = 0;
    m_ErrKind = 0;
    if (m_pName) m_pName->Empty();
    if (m_pErrInfo) m_pErrInfo->Empty();
    if (m_pSrchEvntList) m_pSrchEvntList->RemoveAll();
    if (m_pRulExpEvntList) m_pRulExpEvntList->RemoveAll();
    DeleteItems(m_pSrchEvntArray);
    DeleteItems(m_pSubRoutineArray);
    DeleteItems(m_pRulExpEvntArray);
    DeleteItems(m_pDataEvntArray);
    DeleteItems(m_pDataValArray);
    DeleteItems(m_pDataStrArray);
    DeleteItems(m_pDataAryArray);
    DeleteItems(m_pDataVAryArray);
    NewSingles();
}

void CArticRulSet::ClearOnlyEvntOfDataEvntArray() {
    for (int i = 0; m_pDataEvntArray && i < m_pDataEvntArray->GetSize(); ++i)
        if (CArticRulDataEvnt* v = m_pDataEvntArray->GetAt(i)) v->SetEvnt(nullptr, 1);
}

void CArticRulSet::ClearOnlyEvntOfDataAryArray() {
    for (int i = 0; m_pDataAryArray && i < m_pDataAryArray->GetSize(); ++i)
        if (CArticRulDataAry* v = m_pDataAryArray->GetAt(i)) v->ClearRulDataEvntArray();
}

void CArticRulSet::ClearOnlyEvntOfDataVAryArray() {
    for (int i = 0; m_pDataVAryArray && i < m_pDataVAryArray->GetSize(); ++i)
        if (CArticRulDataVAry* v = m_pDataVAryArray->GetAt(i)) v->ClearRulDataVEvntArray();
}

int CArticRulSet::GetWrk(CArticWrk** wrk) const {
    if (wrk) *wrk = m_pWrk;
    return 1;
}

CKPSManager* CArticRulSet::GetCEditor() const { return m_pRul ? m_pRul->GetCEditor() : nullptr; }

void CArticRulSet::SetName(const CString* name) {
    if (m_pName && name) *m_pName = *name;
}

// ---- Lookups

#define VX_SET_LOOKUP(Getter, Type, Array)                          \
    int CArticRulSet::Getter(int no, Type** var) const {            \
        Type* found = Lookup(Array, no);                            \
        if (var) *var = found;                                      \
        return found ? 1 : 0;                                       \
    }                                                               \
    Type* CArticRulSet::Getter(int no) const { return Lookup(Array, no); }
VX_SET_LOOKUP(GetDataEvnt, CArticRulDataEvnt, m_pDataEvntArray)
VX_SET_LOOKUP(GetDataVal, CArticRulDataVal, m_pDataValArray)
VX_SET_LOOKUP(GetDataStr, CArticRulDataStr, m_pDataStrArray)
VX_SET_LOOKUP(GetDataAry, CArticRulDataAry, m_pDataAryArray)
VX_SET_LOOKUP(GetDataVAry, CArticRulDataVAry, m_pDataVAryArray)
VX_SET_LOOKUP(GetSrchEvnt, CArticSrchEvnt, m_pSrchEvntArray)
VX_SET_LOOKUP(GetSubRoutine, CArticSrchSubRoutine, m_pSubRoutineArray)
VX_SET_LOOKUP(GetRulExpEvnt, CArticRulExpEvnt, m_pRulExpEvntArray)
#undef VX_SET_LOOKUP

int CArticRulSet::GetDataEvnt(CArticRulDataEvnt** var) const {
    if (var) *var = m_pDataEvnt;
    return m_pDataEvnt ? 1 : 0;
}

int CArticRulSet::GetDataVal(CArticRulDataVal** var) const {
    if (var) *var = m_pDataVal;
    return m_pDataVal ? 1 : 0;
}

int CArticRulSet::GetDataVal(double* prob) const {
    if (prob) *prob = 0.0;
    if (!m_pDataVal) return 1;
    if (m_Break == 0 && prob) *prob = m_pDataVal->GetData();
    return 0;
}

int CArticRulSet::GetDataExv(CArticRulDataExv** var) const {
    if (var) *var = m_pDataExv;
    return m_pDataExv ? 1 : 0;
}

int CArticRulSet::GetDataExv(double* value) const {
    if (!m_pDataExv) return 1;
    if (value) *value = m_pDataExv->GetData();
    return 0;
}

int CArticRulSet::GetDataSrchd(CArticRulDataSrchd** var) const {
    if (var) *var = m_pDataSrchd;
    return m_pDataSrchd ? 1 : 0;
}

// ---- The current note

int CArticRulSet::GetWrkEvnt(CArticWrkEvnt** note) const {
    CArticWrkEvnt* n = GetWrkEvnt();
    if (note) *note = n;
    return n ? 1 : 0;
}

CArticWrkEvnt* CArticRulSet::GetWrkEvnt() const { return m_pDataEvnt ? m_pDataEvnt->GetEvnt(1) : nullptr; }

int CArticRulSet::SetWrkEvnt(CArticWrkEvnt* note) {
    if (!m_pDataEvnt) return 1;
    m_pDataEvnt->SetEvnt(note, 1);
    return 0;
}

int CArticRulSet::SetDataExv(int value) {
    if (!m_pDataExv) return 0;
    m_pDataExv->SetData(value);
    return 1;
}

// ---- Registration

int CArticRulSet::SetDataEvnt(CArticRulDataEvnt* var) {
    return var ? Register(m_pDataEvntArray, var, var->GetDataNo()) : 0;
}
int CArticRulSet::SetDataVal(CArticRulDataVal* var) {
    return var ? Register(m_pDataValArray, var, var->GetDataNo()) : 0;
}
int CArticRulSet::SetDataStr(CArticRulDataStr* var) {
    return var ? Register(m_pDataStrArray, var, var->GetDataNo()) : 0;
}
int CArticRulSet::SetDataAry(CArticRulDataAry* var) {
    return var ? Register(m_pDataAryArray, var, var->GetDataNo()) : 0;
}
int CArticRulSet::SetDataVAry(CArticRulDataVAry* var) {
    return var ? Register(m_pDataVAryArray, var, var->GetDataNo()) : 0;
}
int CArticRulSet::SetSrchEvnt(CArticSrchEvnt* call) {
    return call ? Register(m_pSrchEvntArray, call, call->GetEvntNo()) : 0;
}
int CArticRulSet::SetSubRoutine(CArticSrchSubRoutine* call) {
    return call ? Register(m_pSubRoutineArray, call, call->GetEvntNo()) : 0;
}
int CArticRulSet::SetRulExpEvnt(CArticRulExpEvnt* line) {
    return line ? Register(m_pRulExpEvntArray, line, line->GetEvntNo()) : 0;
}

int CArticRulSet::AddTailSrchEvntList(CArticSrchEvnt* call) {
    if (!m_pSrchEvntList || !call) return 0;
    m_pSrchEvntList->AddTail(call);
    return 1;
}

int CArticRulSet::AddTailRulExpEvntList(CArticRulExpEvnt* line) {
    if (!m_pRulExpEvntList || !line) return 0;
    m_pRulExpEvntList->AddTail(line);
    return 1;
}

// ---- Errors

void CArticRulSet::SetErrInfo(const CString* text) {
    if (m_pErrInfo && text) *m_pErrInfo = *text;
}

void CArticRulSet::ClearErrInfo() {
    if (m_pErrInfo) m_pErrInfo->Empty();
}

void CArticRulSet::DispErrMsg(const CString& caption, const CString& message, const CString& function,
                              const CString& detail) {
    const CString className = GetClassNameA();
    CArticErr::Set(message, className, function, detail);
    CString text;
    CArticErr::Get(text);
    CArticErr::DoModalErrDlg(caption + "\r" + text, 0x10);
    if (!detail.IsEmpty()) CArticErr::Set(kArticErrKindDetail, detail, className, function, CString());
}

void CArticRulSet::GetClassNameA(CString* name) const {
    if (name) *name = GetClassNameA();
}
