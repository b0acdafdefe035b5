#include "engine/rules/ArticSrchBase.h"

#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticWrk.h"

VX_IMPLEMENT_CLASS(CArticSrchVal, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchDur, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchKey, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchVelo, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchOnTime, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchOffTime, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchMeas, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchIs, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchCalc, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchMstr, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchNum, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchWrk, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchSortArrayEvnt, CArticSrchEvnt);

namespace {
void AppendIf(CArticRulElmList* list, CArticRulElm* elm) {
    if (list && elm) list->AddTail(elm);
}

int WorkTime(CArticRulSet* set, ULONG meas, ULONG beat, ULONG tick, INT64* time) {
    CArticWrk* wrk = set ? set->GetWrk() : nullptr;
    if (!wrk) return 1;
    return wrk->GetEvntTime(meas, beat, tick, time);
}
}  // namespace

// ---- I1, I2 -> O1

ArticSrchArgsIIO::ArticSrchArgsIIO(CArticRulSet* set, ULONG no, CArticRulElm* i1, CArticRulElm* i2, CArticRulElm* o1)
    : CArticSrchEvnt(set, no) {
    BindRulElm(&m_pRulElmI1, i1);
    BindRulElm(&m_pRulElmI2, i2);
    BindRulElm(&m_pRulElmO1, o1);
    SetInNum(2);
    SetOutNum(1);
}

ArticSrchArgsIIO::~ArticSrchArgsIIO() {
    DeleteRulElm(&m_pRulElmI1);
    DeleteRulElm(&m_pRulElmI2);
    DeleteRulElm(&m_pRulElmO1);
}

void ArticSrchArgsIIO::GetInRulElmList(CArticRulElmList* list) {
    CArticSrchEvnt::GetInRulElmList(list);
    AppendIf(list, m_pRulElmI1);
    AppendIf(list, m_pRulElmI2);
}

void ArticSrchArgsIIO::GetOutRulElmList(CArticRulElmList* list) {
    CArticSrchEvnt::GetOutRulElmList(list);
    AppendIf(list, m_pRulElmO1);
}

int CArticSrchOnTime::GetTime(ULONG meas, ULONG beat, ULONG tick, INT64* time) {
    return WorkTime(GetRulSet(), meas, beat, tick, time);
}

int CArticSrchOffTime::GetTime(ULONG meas, ULONG beat, ULONG tick, INT64* time) {
    return WorkTime(GetRulSet(), meas, beat, tick, time);
}

// ---- I1 -> O1

ArticSrchArgsIO::ArticSrchArgsIO(CArticRulSet* set, ULONG no, CArticRulElm* i1, CArticRulElm* o1)
    : CArticSrchEvnt(set, no) {
    BindRulElm(&m_pRulElmI1, i1);
    BindRulElm(&m_pRulElmO1, o1);
    SetInNum(1);
    SetOutNum(1);
}

ArticSrchArgsIO::~ArticSrchArgsIO() {
    DeleteRulElm(&m_pRulElmI1);
    DeleteRulElm(&m_pRulElmO1);
}

void ArticSrchArgsIO::GetInRulElmList(CArticRulElmList* list) {
    CArticSrchEvnt::GetInRulElmList(list);
    AppendIf(list, m_pRulElmI1);
}

void ArticSrchArgsIO::GetOutRulElmList(CArticRulElmList* list) {
    CArticSrchEvnt::GetOutRulElmList(list);
    AppendIf(list, m_pRulElmO1);
}

// ---- CArticSrchNum

CArticSrchNum::CArticSrchNum(CArticRulSet* set, ULONG no, CArticRulElm* i1, CArticRulElm* i2, CArticRulElm* o1)
    : CArticSrchIs(set, no, i1, o1) {
    BindRulElm(&m_pRulElmI2, i2);
    SetInNum(2);
    SetOutNum(1);
}

CArticSrchNum::~CArticSrchNum() { DeleteRulElm(&m_pRulElmI2); }

void CArticSrchNum::GetInRulElmList(CArticRulElmList* list) {
    CArticSrchIs::GetInRulElmList(list);
    AppendIf(list, m_pRulElmI2);
}

// ---- -> O1

ArticSrchArgsO::ArticSrchArgsO(CArticRulSet* set, ULONG no, CArticRulElm* o1) : CArticSrchEvnt(set, no) {
    BindRulElm(&m_pRulElmO1, o1);
    SetInNum(0);
    SetOutNum(1);
}

ArticSrchArgsO::~ArticSrchArgsO() { DeleteRulElm(&m_pRulElmO1); }

void ArticSrchArgsO::GetOutRulElmList(CArticRulElmList* list) {
    CArticSrchEvnt::GetOutRulElmList(list);
    AppendIf(list, m_pRulElmO1);
}
