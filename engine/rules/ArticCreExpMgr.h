#pragma once
// Runs a loaded rule program over the notes of one channel: stores each
// set's probability on the notes, hands the expression texts of every set
// that fires to the receiver that turns them into expression objects, then
// marks notes by weighted chance and keeps or drops them by the sets'
// exclusion numbers. Also writes the text dump of the per-note records.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticExp;
class CArticExpBlk;
class CArticExpTrk;
class CArticRul;
class CArticRulInit;
class CArticRulSet;
class CArticTimeInfo;
class CArticWrk;
class CArticWrkBlk;
class CArticWrkEvnt;
class CArticWrkTrk;
class CMakeRulePrm;

// What the conversion driver offers the rule run: one expression text of
// the form Class(args) becomes an expression object of the given block.
// 0 on success, non-zero when the text could not be turned into one.
class CArticExpReceiver {
public:
    virtual ~CArticExpReceiver() = default;
    virtual int LoadExpEvnt(CString text, ULONG evntNo, CArticExpTrk* trk, CArticExpBlk* blk) = 0;
};

class CArticCreExpMgr : public CObject {
public:
    CArticCreExpMgr(CArticWrk* wrk, CArticExp* exp, CArticRul* rul);
    ~CArticCreExpMgr() override = default;
    CArticCreExpMgr(const CArticCreExpMgr&) = delete;
    CArticCreExpMgr& operator=(const CArticCreExpMgr&) = delete;

    // The dump of every per-note record: 0; 1 (list untouched) without work
    // model or rule program, or when no selected track other than 0 exists.
    virtual int OutExpStrList(CStringList& texts);
    virtual int DoOutExpEvnt(CArticWrkEvnt* note, ULONG setNo);
    virtual int Clear();
    virtual int ClearWrk(int flag);
    virtual int ClearExp();
    virtual int ClearRul();
    // One whole run: 0, or 1 at the first failure.
    virtual int Create();
    virtual int CalcProb();
    virtual int CreExpByProb();
    virtual int SetProb(CArticWrkEvnt* note, ULONG setNo, double value);
    virtual int SetPrmExp(CArticWrkEvnt* note, ULONG setNo);

    virtual void Get(CArticWrk** wrk, CArticExp** exp, CArticRul** rul, CArticTimeInfo** info) const;
    virtual CArticWrk* GetWrk() const { return m_pWrk; }
    virtual CArticExp* GetExp() const { return m_pExp; }
    virtual CArticRul* GetRul() const { return m_pRul; }
    virtual CArticTimeInfo* GetTimeInfo() const { return m_pTimeInfo; }
    virtual void Set(CArticWrk* wrk, CArticExp* exp, CArticRul* rul, CArticTimeInfo* info);
    virtual void SetWrk(CArticWrk* wrk) { m_pWrk = wrk; }
    virtual void SetExp(CArticExp* exp) { m_pExp = exp; }
    virtual void SetRul(CArticRul* rul) { m_pRul = rul; }
    virtual void SetTimeInfo(CArticTimeInfo* info) { m_pTimeInfo = info; }
    virtual void SetProcDialog(CArticExpReceiver* receiver) { m_pProcDialog = receiver; }
    virtual CArticExpReceiver* GetProcDialog() const { return m_pProcDialog; }
    virtual ULONG GetExpEvntCount() const { return m_ExpEvntCount; }

    // The expression block numbered as the note's work track and block; null when missing.
    virtual int GetExpBlkByWrkEvnt(CArticWrkEvnt* note, CArticExpBlk** blk) const;
    virtual CArticExpBlk* GetExpBlkByWrkEvnt(CArticWrkEvnt* note) const;

    // The text ending that routes an expression to the master track.
    static constexpr const char* kMstrSuffix = ", Mstr";

protected:
    virtual int ClearWrkTrk(CArticWrkTrk* trk, int flag);
    virtual int ClearWrkBlk(CArticWrkBlk* blk, int flag);
    virtual int ClearExpTrk(CArticExpTrk* trk);

    // Phase 3 walks and per-note steps.
    virtual int SearchWrk(CArticWrk* wrk, CArticRulSet* set);
    virtual int SearchWrk(CArticWrk* wrk);
    virtual int SearchWrk();
    virtual int SearchWrk(CArticRulSet* set);
    virtual int SearchFwdWrk(CArticWrk* wrk, CArticRulSet* set);
    virtual int SearchFwdWrk(CArticWrk* wrk);
    virtual int SearchRvsWrk(CArticWrk* wrk, CArticRulSet* set);
    virtual int SearchRvsWrk(CArticWrk* wrk);
    virtual int SearchWrkTrk(CArticWrkTrk* trk);
    virtual int SearchWrkTrk(CArticWrkTrk* trk, CArticRulSet* set);
    virtual int SearchWrkBlk(CArticWrkBlk* blk);
    virtual int SearchWrkBlk(CArticWrkBlk* blk, CArticRulSet* set);
    virtual int SearchFwdWrkBlk(CArticWrkBlk* blk);
    virtual int SearchFwdWrkBlk(CArticWrkBlk* blk, CArticRulSet* set);
    virtual int SearchRvsWrkBlk(CArticWrkBlk* blk);
    virtual int SearchRvsWrkBlk(CArticWrkBlk* blk, CArticRulSet* set);
    virtual int SearchWrkEvnt(CArticWrkEvnt* note, CArticRulSet* set);
    virtual int SearchWrkEvnt(CArticWrkEvnt* note);

    // Phase 2 (init blocks) and the weighted choice of phase 4.
    virtual int CreateExp(CArticRulInit* init);
    virtual int CreateExp(CArticRulSet* set, double& count, double& sum);
    virtual int CreateExp(CArticRulSet* set);
    virtual double GetProbAll(ULONG setNo);
    virtual double GetProbAllTrk(CArticWrkTrk* trk, ULONG setNo);
    virtual double GetProbAllBlk(CArticWrkBlk* blk, ULONG setNo);
    virtual int CreateExpTrk(CArticWrkTrk* trk, CArticRulSet* set, double& count, double& sum);
    virtual int CreateExpBlk(CArticWrkBlk* blk, CArticRulSet* set, double& count, double& sum);

    // Keep or drop of phase 4.
    virtual int OutExp(CArticRulSet* set);
    virtual int OutExpTrk(CArticWrkTrk* trk, CArticRulSet* set);
    virtual int OutExpBlk(CArticWrkBlk* blk, CArticRulSet* set);
    virtual int OutExpEvnt(CArticWrkEvnt* note, ULONG setNo);
    virtual int DeleteExpEvnt(CArticWrkEvnt* note, ULONG setNo);

    // Steps of the dump.
    virtual int OutExpStrListRul(CStringList& texts, ULONG setNo, int master);
    virtual int OutExpStrListTrk(CStringList& texts, CArticWrkTrk* trk, ULONG setNo, int master);
    virtual int OutExpStrListBlk(CStringList& texts, CArticWrkBlk* blk, ULONG setNo, int master);

    // Hands the texts to the receiver and records them on the note.
    virtual int SetPrmExpOnWrkEvnt(CArticWrkEvnt* note, ULONG setNo, CStringList* texts, int master,
                                   CMakeRulePrm* prm);

private:
    // The set's steps on one note (binding, calls, probability, texts);
    // shared by the per-note step and the block walks.
    int RunSetOnNote(CArticWrkEvnt* note, CArticRulSet* set);
    // 0 handed on, 1 failed, -1 skipped (no such expression track).
    int HandOnText(const CString& text, int master);
    // The rest of the per-note step for a note whose probability came out above 0.
    __attribute__((noinline)) int FireSetOnNote(CArticWrkEvnt* note, CArticRulSet* set, ULONG setNo);

    CArticWrk* m_pWrk;                      // not owned
    CArticExp* m_pExp;                      // not owned
    CArticRul* m_pRul;                      // not owned
    CArticTimeInfo* m_pTimeInfo = nullptr;  // not owned
    CArticExpReceiver* m_pProcDialog = nullptr;  // not owned
    ULONG m_ExpEvntCount = 0;
};
