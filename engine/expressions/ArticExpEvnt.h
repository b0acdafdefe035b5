#pragma once
// Root of the articulation expressions: identity (owner block, list
// position, number), the form of its position parameters, the error state,
// the four conversion phases, the dump line and the once-only error display.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticExpBlk;

class CArticExpEvnt : public CObject {
    VX_DECLARE_CLASS(CArticExpEvnt)
public:
    CArticExpEvnt() = default;
    CArticExpEvnt(CArticExpBlk* owner, ULONG evntNo) : m_pOwner(owner), m_EvntNo(evntNo) {}
    CArticExpEvnt(const CArticExpEvnt&) = delete;
    // Copies EvntType and TgNeed; owner, position, number, ErrKind and Error stay.
    CArticExpEvnt& operator=(const CArticExpEvnt& src);

    virtual POSITION GetPosEvnt() const { return m_PosEvnt; }
    virtual void SetPosEvnt(POSITION pos) { m_PosEvnt = pos; }
    // Appends "e<no>:<class>( items )": 0, or the parameter writer's failure.
    virtual int GetStrList(CStringList& list);
    virtual void SetErrMsgList();
    virtual int GetOwner(CArticExpBlk** blk) const;
    virtual CArticExpBlk* GetOwner() const { return m_pOwner; }
    virtual void SetOwner(CArticExpBlk* blk) { m_pOwner = blk; }
    virtual ULONG GetEvntNo() const { return m_EvntNo; }
    virtual void SetEvntNo(ULONG n) { m_EvntNo = n; }
    virtual BYTE GetEvntType() const { return m_EvntType; }
    virtual void SetEvntType(BYTE t) { m_EvntType = t; }
    virtual BYTE GetErrKind() const { return m_ErrKind; }
    virtual void SetErrKind(BYTE k) { m_ErrKind = k; }
    virtual LONG GetError() const { return m_Error; }
    virtual void SetError(LONG e) { m_Error = e; }
    virtual WORD GetTgNeed() const { return m_TgNeed; }
    virtual void SetTgNeed(WORD n) { m_TgNeed = n; }
    // The conversion phases; the root does nothing.
    virtual int ConvToWrk() { return 0; }
    virtual int ConvToWrkCombine() { return 0; }
    virtual int ConvToWrk2() { return 0; }
    virtual int ConvToWrk3() { return 0; }
    using CObject::GetClassNameA;
    virtual void GetClassNameA(CString* name) const;
    // Records and shows one error per expression (ErrKind 0 -> 3).
    virtual void DispErrMsg(const CString& title, const CString& content, const CString& method,
                            const CString& detail);

private:
    CArticExpBlk* m_pOwner = nullptr;  // not owned
    POSITION m_PosEvnt = nullptr;
    ULONG m_EvntNo = 0;
    BYTE m_EvntType = 0;
    BYTE m_ErrKind = 0;
    LONG m_Error = 0;
    WORD m_TgNeed = 1;
};
