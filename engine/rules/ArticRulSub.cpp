#include "engine/rules/ArticRulSub.h"

#include <new>

VX_IMPLEMENT_CLASS(CArticRulSub, CArticRulSet)

namespace {
constexpr int kInitialSlots = 20;

template <class A>
A* NewParamArray() {
    A* array = new (std::nothrow) A();
    if (array) array->SetSize(kInitialSlots);
    return array;
}

template <class A>
int CountSlots(const A* array) {
    int n = 0;
    for (int i = 0; array && i < array->GetSize(); ++i) n += array->GetAt(i) != nullptr;
    return n;
}
}  // namespace

CArticRulSub::CArticRulSub(CArticRul* rul, CArticWrk* wrk)
    : CArticRulSet(rul, wrk),
      m_pDataInArray(NewParamArray<CArticRulDataInArray>()),
      m_pDataOutArray(NewParamArray<CArticRulDataOutArray>()) {}

CArticRulSub::~CArticRulSub() {
    DeleteItems(m_pDataInArray);
    DeleteItems(m_pDataOutArray);
    delete m_pDataInArray;
    delete m_pDataOutArray;
}

void CArticRulSub::Clear() {
    CArticRulSet::Clear();
    m_SubNo = -1;
    DeleteItems(m_pDataInArray);
    DeleteItems(m_pDataOutArray);
}

int CArticRulSub::GetInCount() const { return CountSlots(m_pDataInArray); }
int CArticRulSub::GetOutCount() const { return CountSlots(m_pDataOutArray); }

int CArticRulSub::GetDataIn(int no, CArticRulDataIn** param) const {
    CArticRulDataIn* found = Lookup(m_pDataInArray, no);
    if (param) *param = found;
    return found ? 1 : 0;
}
CArticRulDataIn* CArticRulSub::GetDataIn(int no) const { return Lookup(m_pDataInArray, no); }

int CArticRulSub::GetDataOut(int no, CArticRulDataOut** param) const {
    CArticRulDataOut* found = Lookup(m_pDataOutArray, no);
    if (param) *param = found;
    return found ? 1 : 0;
}
CArticRulDataOut* CArticRulSub::GetDataOut(int no) const { return Lookup(m_pDataOutArray, no); }

int CArticRulSub::SetDataIn(CArticRulDataIn* param) {
    return param ? Register(m_pDataInArray, param, param->GetDataNo()) : 0;
}
int CArticRulSub::SetDataOut(CArticRulDataOut* param) {
    return param ? Register(m_pDataOutArray, param, param->GetDataNo()) : 0;
}
