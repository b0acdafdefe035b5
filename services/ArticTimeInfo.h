#pragma once
// One time section of the song: a range of ticks with its own copies of the
// work data, expression data and rule program and their text dumps, owned by
// the time manager. A conversion run keeps a single section over the whole
// song; the rule built-ins read its range through GetTimeS/GetTimeE, which
// stay inline so that the engine reaches them without linking the library
// that implements the section.
//
// The class is declared here, below the engine, for that one read: the
// engine's rule program holds the section, and its built-in that gives the
// range cannot include a header of the driver above it. The rest of the class
// (splitting and merging the work data, which calls the engine) is the
// driver's, in driver/ArticTimeInfo.cpp, which also holds the run-time record
// and the virtual table: the services library defines nothing of it.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticExp;
class CArticRul;
class CArticTimeMgr;
class CArticWrk;

class CArticTimeInfo : public CObject {
    VX_DECLARE_CLASS(CArticTimeInfo)
public:
    explicit CArticTimeInfo(CArticTimeMgr* mgr = nullptr);
    ~CArticTimeInfo() override;
    CArticTimeInfo(const CArticTimeInfo&) = delete;
    CArticTimeInfo& operator=(const CArticTimeInfo&) = delete;

    virtual void ClearStrList();
    // Copies the three text lists of src into this section's.
    virtual void CopyStrList(const CArticTimeInfo& src);
    // The manager's work data with the part tracks cut to the
    // events with start <= time < end, into this section's work data.
    virtual int DevideWrk(INT64 start, INT64 end);
    // One expression track per manager expression track, tied to this
    // section's work track of the same number.
    virtual int DevideExp();
    // Copies the rule state of this section's events onto the manager's
    // events of the same number.
    virtual int MergeWrkEvnt(int flag);
    virtual void Clear();
    virtual void ClearRul();
    virtual void ClearExp();
    virtual int IsCreate() const { return m_Create; }

    virtual int GetTimeMgr(CArticTimeMgr** mgr) const;
    virtual CArticTimeMgr* GetTimeMgr() const { return m_pTimeMgr; }
    // Start and end of the section in ticks.
    virtual INT64 GetTimeS() const { return m_TimeS; }
    virtual INT64 GetTimeE() const { return m_TimeE; }
    // One line: start ～ end as measure/beat/tick, rule type, file name, created flag.
    virtual CString GetString() const;
    virtual int GetWrk(CArticWrk** wrk) const;
    virtual CArticWrk* GetWrk() const { return m_pWrk; }
    virtual int GetExp(CArticExp** exp) const;
    virtual CArticExp* GetExp() const { return m_pExp; }
    virtual int GetRul(CArticRul** rul) const;
    virtual CArticRul* GetRul() const { return m_pRul; }
    virtual CStringList* GetStrWrkList() const { return m_pStrWrk; }
    virtual CStringList* GetStrExpList() const { return m_pStrExp; }
    virtual CStringList* GetStrRulList() const { return m_pStrRul; }
    virtual int GetRulType() const { return m_RulType; }
    virtual CString GetRulFileName() const { return m_RulFileName; }

    virtual void SetTimeS(INT64 time) { m_TimeS = time; }
    virtual void SetTimeE(INT64 time) { m_TimeE = time; }
    virtual void SetRulType(int type) { m_RulType = type; }
    virtual void SetRulFileName(const CString& name) { m_RulFileName = name; }
    virtual void SetCreate(int flag) { m_Create = flag; }
    virtual void SetStrWrkList(const CStringList& list);
    virtual void SetStrExpList(const CStringList& list);
    virtual void SetStrRulList(const CStringList& list);

    virtual int Devide();
    // MergeExp when the section has work and expression data, else 1.
    virtual int Merge(int flag);
    virtual int MergeWrk(int flag);
    virtual int MergeExp();

private:
    CArticTimeMgr* m_pTimeMgr;  // not owned: the owner
    INT64 m_TimeS = 0;
    INT64 m_TimeE = 0;
    CArticWrk* m_pWrk = nullptr;  // owned
    CArticExp* m_pExp = nullptr;  // owned
    CArticRul* m_pRul = nullptr;  // owned
    CStringList* m_pStrWrk = nullptr;  // owned
    CStringList* m_pStrExp = nullptr;  // owned
    CStringList* m_pStrRul = nullptr;  // owned
    int m_RulType = 0;  // 0 general, 1 guitar
    CString m_RulFileName;
    int m_Create = 0;
};
