#pragma once
// An init block ("#init:") of a rule script: the processing order of the
// whole program and three conversion settings.
//
// This holds the settings the rule program and its loader read; the fixed
// expression tracks and loading the block come on top.
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticRul;

class CArticRulInit : public CObject {
    VX_DECLARE_CLASS(CArticRulInit)
public:
    explicit CArticRulInit(CArticRul* rul) : m_pRul(rul) {}
    CArticRulInit(const CArticRulInit&) = delete;
    CArticRulInit& operator=(const CArticRulInit&) = delete;

    // ErrKind and the processing order return to 0; InitNo and the three
    // settings keep the values of the last load.
    virtual void Clear();

    virtual CArticRul* GetRul() const { return m_pRul; }
    virtual ULONG GetInitNo() const { return m_InitNo; }
    virtual int GetProcNestFlag() const { return m_ProcNestFlag; }
    virtual int GetProcNest() const { return m_ProcNest; }
    virtual int GetDirection() const { return m_Direction; }
    virtual int GetPbProc() const { return m_PbProc; }
    virtual int GetTgMode() const { return m_TgMode; }
    virtual int GetInstNum() const { return m_InstNum; }
    virtual void SetInitNo(ULONG no) { m_InitNo = no; }
    virtual void SetProcNestFlag(int flag) { m_ProcNestFlag = flag; }
    virtual void SetProcNest(int nest) { m_ProcNest = nest; }
    virtual void SetDirection(int dir) { m_Direction = dir; }

    using CObject::GetClassNameA;
    virtual void GetClassNameA(CString* name) const;

protected:
    virtual BYTE GetErrKind() const { return m_ErrKind; }
    virtual void SetErrKind(BYTE kind) { m_ErrKind = kind; }

private:
    CArticRul* m_pRul;  // not owned
    ULONG m_InitNo = 0xFFFFFFFF;
    int m_ProcNestFlag = 0;
    int m_ProcNest = 0;
    int m_Direction = 0;
    BYTE m_ErrKind = 0;
    int m_PbProc = 0;
    int m_TgMode = 2;
    int m_InstNum = 0;
};
