#include "engine/rules/ArticRulElm.h"

#include <new>

#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/rules/ArticRulUtil.h"

VX_IMPLEMENT_CLASS(CArticRulElm, CObject);

std::atomic<unsigned long> CArticRulElm::s_ShapeStamp{0};

// The text is made when one is first set: most elements never hold one.
CArticRulElm::CArticRulElm() : m_pStrData(nullptr) { Reshaped(); }

CArticRulElm::~CArticRulElm() {
    DeleteRulElmList();
    delete m_pStrData;
    Reshaped();
}

CArticRulElm::CArticRulElm(const CArticRulElm& src) : CObject(), m_pStrData(nullptr) { *this = src; }

CArticRulElm& CArticRulElm::operator=(const CArticRulElm& src) {
    if (this == &src) return *this;
    Reshaped();
    m_pRulData = src.m_pRulData;
    m_DataType = src.m_DataType;
    m_Sign = src.m_Sign;
    m_Plus = src.m_Plus;
    m_Data = src.m_Data;
    SetStrData(src.GetStrData());
    if (src.m_pRulElmList) {
        NewRulElmList();
        CopyRulElmList(src.m_pRulElmList);
    }
    return *this;
}

void CArticRulElm::Get(CArticRulData** rulData, BYTE* dataType, BYTE* sign, int* plus, double* data,
                       CString* strData, CArticRulElmList** list) const {
    if (rulData) *rulData = m_pRulData;
    if (dataType) *dataType = m_DataType;
    if (sign) *sign = m_Sign;
    if (plus) *plus = m_Plus;
    if (data) *data = m_Data;
    if (strData) *strData = GetStrData();
    if (list) *list = m_pRulElmList;
}

int CArticRulElm::GetRulData(CArticRulData** rulData) const {
    if (rulData) *rulData = m_pRulData;
    return 1;
}

void CArticRulElm::Set(CArticRulData* rulData, BYTE dataType, BYTE sign, int plus, double data, CString strData,
                       CArticRulElmList* list) {
    Reshaped();
    m_pRulData = rulData;
    m_DataType = dataType;
    m_Sign = sign;
    m_Plus = plus;
    m_Data = data;
    SetStrData(strData);
    SetRulElmList(list);
}

// MakeConstant for an element that holds more than a plain constant.
void CArticRulElm::Reshape(double value) {
    Reshaped();
    m_pRulData = nullptr;
    m_DataType = kElmPlain;
    m_Sign = kSignNone;
    m_Plus = 1;
    m_Data = value;
    delete m_pStrData;
    m_pStrData = nullptr;
    DeleteRulElmList();
}

void CArticRulElm::SetStrData(const CString& text) {
    Reshaped();
    if (!m_pStrData) {
        if (text.IsEmpty()) return;
        m_pStrData = new (std::nothrow) CString();
    }
    if (m_pStrData) *m_pStrData = text;
}

void CArticRulElm::SetRulElmList(CArticRulElmList* list) {
    Reshaped();
    if (list == m_pRulElmList) return;
    // The element owns its nested list: a replaced one would be lost otherwise.
    DeleteRulElmList();
    m_pRulElmList = list;
}

void CArticRulElm::GetClassNameA(CString* name) const {
    if (name) *name = GetClassNameA();
}

void CArticRulElm::NewRulElmList() {
    Reshaped();
    DeleteRulElmList();
    m_pRulElmList = new (std::nothrow) CArticRulElmList(10);
}

void CArticRulElm::DeleteRulElmList() {
    if (!m_pRulElmList) return;
    Reshaped();
    CArticRulUtil::ClearRulElmList(m_pRulElmList);
    delete m_pRulElmList;
    m_pRulElmList = nullptr;
}

void CArticRulElm::ClearRulElmList() {
    Reshaped();
    CArticRulUtil::ClearRulElmList(m_pRulElmList);
}

void CArticRulElm::CopyRulElmList(const CArticRulElmList* src) {
    if (!src || !m_pRulElmList) return;
    if (src == m_pRulElmList) return;
    Reshaped();
    ClearRulElmList();
    CArticRulUtil::AppendCopies(src, m_pRulElmList);
}

CArticRulElm::NumForm CArticRulElm::ClassifyNum() const {
    if (m_pRulData) {
        const CRuntimeClass* cls = m_pRulData->GetRuntimeClass();
        if (cls == VX_RUNTIME_CLASS(CArticRulDataVal)) return m_DataType == kElmPlain ? NumForm::Value : NumForm::None;
        if (cls == VX_RUNTIME_CLASS(CArticRulDataEvnt)) return IsMemberCode(m_DataType) ? NumForm::Member : NumForm::EvntOther;
        return NumForm::None;
    }
    if (m_pRulElmList || m_DataType != kElmPlain || (m_pStrData && !m_pStrData->IsEmpty())) return NumForm::None;
    return NumForm::Constant;
}
