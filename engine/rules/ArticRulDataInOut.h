#pragma once
// The parameters of a subroutine block: "#inK:_nameM" and "#outK:_nameM"
// bind parameter number K to one of the subroutine's own variables, which
// receives the caller's K-th input argument or gives back its K-th output.
//
#include "engine/rules/ArticRulData.h"

class CArticRulElm;

class CArticRulDataIn : public CArticRulData {
    VX_DECLARE_CLASS(CArticRulDataIn)
public:
    CArticRulDataIn(CArticRulSet* sub, ULONG no) : CArticRulData(sub, no) {}
    // Takes only the bound variable.
    CArticRulDataIn& operator=(const CArticRulDataIn& src) {
        m_pData = src.m_pData;
        return *this;
    }

    // The bound variable (null until bound): 1 when there is one.
    virtual int GetData(CArticRulData** var) const;
    virtual CArticRulData* GetData() const { return m_pData; }
    // Binds the parameter to the subroutine's variable.
    virtual void SetData(CArticRulData* var) { m_pData = var; }
    // Moves the caller's argument into the bound variable: 0, or 1 when the
    // element, the variable or a matching argument is missing.
    virtual int SetData(const CArticRulElm* elm);

private:
    CArticRulData* m_pData = nullptr;  // not owned: a variable of the subroutine
};

class CArticRulDataOut : public CArticRulData {
    VX_DECLARE_CLASS(CArticRulDataOut)
public:
    CArticRulDataOut(CArticRulSet* sub, ULONG no) : CArticRulData(sub, no) {}
    CArticRulDataOut& operator=(const CArticRulDataOut& src) {
        m_pData = src.m_pData;
        return *this;
    }

    virtual int GetData(CArticRulData** var) const;
    virtual CArticRulData* GetData() const { return m_pData; }
    virtual void SetData(CArticRulData* var) { m_pData = var; }
    // Moves the bound variable's value out into the caller's output element:
    // 0, or 1 when either is missing or they do not match.
    virtual int SetData(const CArticRulElm* elm);

private:
    CArticRulData* m_pData = nullptr;  // not owned: a variable of the subroutine
};
