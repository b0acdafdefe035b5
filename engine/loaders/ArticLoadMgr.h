#pragma once
// The front end of a rule script: expands the includes, loads the init
// blocks, the subroutine blocks and the rule sets into the rule program in
// that order, and keeps the script's conversion settings.
//
// Only the rule-script part of the loader is here; the readers of the text
// dumps and of expression texts come with the expression classes.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"

class CArticRul;
class CArticWrk;

class CArticLoadMgr : public CObject {
public:
    CArticLoadMgr(CArticWrk* wrk, CArticRul* rul) : m_pWrk(wrk), m_pRul(rul) {}

    // Loads a whole script into the program (cleared first): 0, or 1 when
    // an include, an init block, a subroutine or a set failed (each reported).
    virtual int LoadRul(CStringList& lines);
    // One set's lines: 0 when loaded and appended; 1 (reported, deleted) otherwise.
    virtual int LoadRulSet(CStringList& lines);
    // All subroutine blocks, split at their "#sub:" heads: 1 when any failed.
    virtual int LoadRulSubAll(CStringList& lines);
    virtual int LoadRulSub(CStringList& lines);

    virtual int GetPbProc() const { return m_PbProc; }
    virtual int GetTgMode() const { return m_TgMode; }
    virtual int GetInstNum() const { return m_InstNum; }
    virtual CArticRul* GetRul() const { return m_pRul; }
    virtual CArticWrk* GetWrk() const { return m_pWrk; }

protected:
    virtual void DispErrMsg(const CString& caption, const CString& message, const CString& function,
                            const CString& detail);

private:
    CArticWrk* m_pWrk;  // not owned
    CArticRul* m_pRul;  // not owned
    int m_PbProc = 0;
    int m_TgMode = 2;
    int m_InstNum = 0;
};
