// Copying a rule set. Elements, conditions and derived event variables of
// the source name the source's variables; the copy points every one of them
// at its own variable of the same kind and number, so it never reads or
// writes the source (which may be gone long before the copy).
#include <new>

#include "engine/rules/ArticRulText.h"

#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticSrchEvnt.h"
#include "engine/rules/ArticSrchSubRoutine.h"
#include "engine/rules/ArticSrchUtil.h"

using namespace rultext;

namespace {

// Empties target and fills it with a new variable per source slot, same
// class and number, owned by set, assigned from the source variable.
template <class T, class Make>
void CopyVars(CTypedPtrArray<CObArray, T*>* target, const CTypedPtrArray<CObArray, T*>* src, Make make) {
    if (!target || !src) return;
    for (int i = 0; i < target->GetSize(); ++i) delete target->GetAt(i);
    target->RemoveAll();
    target->SetSize(src->GetSize());
    for (int i = 0; i < src->GetSize(); ++i) {
        const T* from = src->GetAt(i);
        if (!from) continue;
        T* copy = make(from);
        if (!copy) continue;
        *copy = *from;
        target->SetAt(i, copy);
    }
}

}  // namespace

CArticRulSet& CArticRulSet::operator=(const CArticRulSet& src) {
    if (this == &src) return *this;
    m_SetNo = src.m_SetNo;
    m_Direction = src.m_Direction;
    m_Break = src.m_Break;
    m_HasExp = src.m_HasExp;
    if (m_pErrInfo && src.m_pErrInfo) *m_pErrInfo = *src.m_pErrInfo;
    if (m_pName && src.m_pName) *m_pName = *src.m_pName;

    // Calls and lines go first: they may point at the variables replaced below.
    if (m_pSrchEvntList) m_pSrchEvntList->RemoveAll();
    if (m_pRulExpEvntList) m_pRulExpEvntList->RemoveAll();
    DeleteItems(m_pSrchEvntArray);
    DeleteItems(m_pSubRoutineArray);
    DeleteItems(m_pRulExpEvntArray);

    if (m_pDataEvnt && src.m_pDataEvnt) *m_pDataEvnt = *src.m_pDataEvnt;
    if (m_pDataVal && src.m_pDataVal) *m_pDataVal = *src.m_pDataVal;
    if (m_pDataExv && src.m_pDataExv) *m_pDataExv = *src.m_pDataExv;
    if (m_pDataSrchd && src.m_pDataSrchd) *m_pDataSrchd = *src.m_pDataSrchd;

    CopyDataEvntArray(src.m_pDataEvntArray);
    CopyDataValArray(src.m_pDataValArray);
    CopyDataStrArray(src.m_pDataStrArray);
    CopyDataAryArray(src.m_pDataAryArray);
    CopyDataVAryArray(src.m_pDataVAryArray);
    CopySrchEvntArray(src.m_pSrchEvntArray);
    CopySubRoutineArray(src.m_pSubRoutineArray);
    CopyRulExpEvntArray(src.m_pRulExpEvntArray);
    if (src.m_pSrchEvntArray && src.m_pSrchEvntList) CopySrchEvntList(src.m_pSrchEvntList);
    if (src.m_pRulExpEvntList) CopyRulExpEvntList(src.m_pRulExpEvntList);

    // Now that every variable exists, the copied lists are pointed at them.
    for (int i = 0; m_pDataEvntArray && i < m_pDataEvntArray->GetSize(); ++i) {
        CArticRulDataEvnt* var = m_pDataEvntArray->GetAt(i);
        if (var && var->GetDataEvnt())
            var->SetDataEvnt(static_cast<CArticRulDataEvnt*>(Counterpart(var->GetDataEvnt())), var->GetDataType());
    }
    for (int i = 0; m_pDataValArray && i < m_pDataValArray->GetSize(); ++i)
        if (CArticRulDataVal* var = m_pDataValArray->GetAt(i)) RedirectElms(var->GetRulElmList());
    if (m_pDataVal) RedirectElms(m_pDataVal->GetRulElmList());
    if (m_pDataSrchd) RedirectElms(m_pDataSrchd->GetRulElmList());
    for (int i = 0; m_pSubRoutineArray && i < m_pSubRoutineArray->GetSize(); ++i) {
        CArticSrchSubRoutine* call = m_pSubRoutineArray->GetAt(i);
        if (!call) continue;
        RedirectElms(call->GetRulElmInList());
        RedirectElms(call->GetRulElmOutList());
        call->SetCondition(static_cast<CArticRulDataVal*>(Counterpart(call->GetCondition())));
    }
    for (int i = 0; m_pRulExpEvntArray && i < m_pRulExpEvntArray->GetSize(); ++i) {
        CArticRulExpEvnt* line = m_pRulExpEvntArray->GetAt(i);
        if (!line) continue;
        RedirectElms(line->GetRulElmList());
        line->SetRulDataVal(static_cast<CArticRulDataVal*>(Counterpart(line->GetRulDataVal())));
    }
    return *this;
}

CArticRulData* CArticRulSet::Counterpart(CArticRulData* var) const {
    if (!var) return nullptr;
    auto* from = var->GetRulSet();
    if (from == this || !from) return var;
    if (var == from->m_pDataEvnt) return m_pDataEvnt;
    if (var == from->m_pDataVal) return m_pDataVal;
    if (var == from->m_pDataExv) return m_pDataExv;
    if (var == from->m_pDataSrchd) return m_pDataSrchd;
    const int no = int(var->GetDataNo());
    if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataVal)) && from->GetDataVal(no) == var) return GetDataVal(no);
    if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataStr)) && from->GetDataStr(no) == var) return GetDataStr(no);
    if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataEvnt)) && from->GetDataEvnt(no) == var) return GetDataEvnt(no);
    if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataAry)) && from->GetDataAry(no) == var) return GetDataAry(no);
    if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataVAry)) && from->GetDataVAry(no) == var) return GetDataVAry(no);
    return nullptr;
}

void CArticRulSet::RedirectElms(CArticRulElmList* list) const {
    if (!list) return;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticRulElm* elm = list->GetNext(p);
        if (!elm) continue;
        elm->SetRulData(Counterpart(elm->GetRulData()));
        RedirectElms(elm->GetRulElmList());
    }
}

void CArticRulSet::CopyDataEvntArray(const CArticRulDataEvntArray* src) {
    CopyVars(m_pDataEvntArray, src, [this](const CArticRulDataEvnt* from) {
        return new (std::nothrow) CArticRulDataEvnt(this, from->GetDataNo());
    });
}

void CArticRulSet::CopyDataValArray(const CArticRulDataValArray* src) {
    CopyVars(m_pDataValArray, src, [this](const CArticRulDataVal* from) {
        return new (std::nothrow) CArticRulDataVal(this, from->GetDataNo());
    });
}

void CArticRulSet::CopyDataStrArray(const CArticRulDataStrArray* src) {
    CopyVars(m_pDataStrArray, src, [this](const CArticRulDataStr* from) {
        return new (std::nothrow) CArticRulDataStr(this, from->GetDataNo());
    });
}

void CArticRulSet::CopyDataAryArray(const CArticRulDataAryArray* src) {
    CopyVars(m_pDataAryArray, src, [this](const CArticRulDataAry* from) {
        return new (std::nothrow) CArticRulDataAry(this, from->GetDataNo());
    });
}

void CArticRulSet::CopyDataVAryArray(const CArticRulDataVAryArray* src) {
    CopyVars(m_pDataVAryArray, src, [this](const CArticRulDataVAry* from) {
        return new (std::nothrow) CArticRulDataVAry(this, from->GetDataNo());
    });
}

void CArticRulSet::CopySrchEvntArray(const CArticSrchEvntArray* src) {
    if (!m_pSrchEvntArray || !src) return;
    DeleteItems(m_pSrchEvntArray);
    m_pSrchEvntArray->SetSize(src->GetSize());
    for (int i = 0; i < src->GetSize(); ++i) {
        CArticSrchEvnt* from = src->GetAt(i);
        if (!from) continue;
        // The factory copies the elements it is given; its copies are then
        // pointed at this set's variables.
        CArticRulElmList bound(10);
        from->GetRulElmList(&bound);
        CExString name(from->GetClassNameA());
        CArticSrchEvnt* copy = nullptr;
        if (CArticSrchUtil::MakeEvnt(this, name, from->GetEvntNo(), &bound, &copy) == 0 && copy) {
            copy->GetRulElmList(&bound);
            RedirectElms(&bound);
            m_pSrchEvntArray->SetAt(i, copy);
        }
    }
}

void CArticRulSet::CopySubRoutineArray(const CArticSrchSubRoutineArray* src) {
    if (!m_pSubRoutineArray || !src) return;
    DeleteItems(m_pSubRoutineArray);
    m_pSubRoutineArray->SetSize(src->GetSize());
    for (int i = 0; i < src->GetSize(); ++i) {
        const CArticSrchSubRoutine* from = src->GetAt(i);
        if (!from) continue;
        auto* copy = new (std::nothrow) CArticSrchSubRoutine(this, from->GetEvntNo());
        if (!copy) continue;
        *copy = *from;
        m_pSubRoutineArray->SetAt(i, copy);
    }
}

void CArticRulSet::CopySrchEvntList(const CArticSrchEvntList* src) {
    if (!m_pSrchEvntList || !src) return;
    m_pSrchEvntList->RemoveAll();
    for (POSITION p = src->GetHeadPosition(); p;) {
        const CArticSrchEvnt* from = src->GetNext(p);
        if (!from) continue;
        const int no = int(from->GetEvntNo());
        CArticSrchEvnt* mine = IsClass(from, VX_RUNTIME_CLASS(CArticSrchSubRoutine)) ? static_cast<CArticSrchEvnt*>(GetSubRoutine(no))
                                                                     : GetSrchEvnt(no);
        if (mine) m_pSrchEvntList->AddTail(mine);
    }
}

void CArticRulSet::CopyRulExpEvntArray(const CArticRulExpEvntArray* src) {
    if (!m_pRulExpEvntArray || !src) return;
    DeleteItems(m_pRulExpEvntArray);
    m_pRulExpEvntArray->SetSize(src->GetSize());
    for (int i = 0; i < src->GetSize(); ++i) {
        const CArticRulExpEvnt* from = src->GetAt(i);
        if (!from) continue;
        auto* copy = new (std::nothrow) CArticRulExpEvnt(this, from->GetEvntNo());
        if (!copy) continue;
        *copy = *from;
        m_pRulExpEvntArray->SetAt(i, copy);
    }
}

void CArticRulSet::CopyRulExpEvntList(const CArticRulExpEvntList* src) {
    if (!m_pRulExpEvntList || !src) return;
    m_pRulExpEvntList->RemoveAll();
    for (POSITION p = src->GetHeadPosition(); p;) {
        const CArticRulExpEvnt* from = src->GetNext(p);
        if (!from) continue;
        if (CArticRulExpEvnt* mine = GetRulExpEvnt(int(from->GetEvntNo()))) m_pRulExpEvntList->AddTail(mine);
    }
}
