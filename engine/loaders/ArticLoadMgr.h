#pragma once
// The engine's loader: one object bound to the data of one conversion that
// fills that data from text. Here: the bindings and settings, the rule-script
// front end (includes, init blocks, subroutine blocks, rule sets filtered by
// the pitch-bend switches) and the reader of the work-data text dump with the
// bar/beat/tick and note-list readers every expression reader uses.
//
// The loader never creates, owns or deletes the objects it is bound to.
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ExString.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticExp;
class CArticExpBlk;
class CArticPasn;
class CArticRul;
class CArticRulSet;
class CArticWrk;
class CArticWrkTrk;
class CPHConvPrm;
class CPhrasorProc;

class CArticLoadMgr : public CObject {
public:
    // The rule side passes (work, expressions, rules, none, none, none), the
    // conversion side (work, expressions, none, block, assignment, output).
    CArticLoadMgr(CArticWrk* wrk, CArticExp* exp, CArticRul* rul, CArticExpBlk* expBlk, CArticPasn* pasn,
                  CArticWrk* wrkOut);
    // A rule-side loader without expression data.
    CArticLoadMgr(CArticWrk* wrk, CArticRul* rul) : CArticLoadMgr(wrk, nullptr, rul, nullptr, nullptr, nullptr) {}
    ~CArticLoadMgr() override = default;
    CArticLoadMgr(const CArticLoadMgr&) = delete;
    CArticLoadMgr& operator=(const CArticLoadMgr&) = delete;

    // ---- Bindings and settings
    // Copies the three bindings into the out pointers that are not null.
    virtual void Get(CArticWrk** wrk, CArticExp** exp, CArticRul** rul) const;
    virtual CArticWrk* GetWrk() const { return m_pWrk; }
    virtual CArticExp* GetExp() const { return m_pExp; }
    virtual CArticRul* GetRul() const { return m_pRul; }
    virtual CPhrasorProc* GetProcDialog() const { return m_pProcDialog; }
    // The settings the last init blocks declared (see LoadRul).
    virtual int GetPbProc() const { return m_PbProc; }
    virtual int GetTgMode() const { return m_TgMode; }
    virtual int GetInstNum() const { return m_InstNum; }
    // Replaces each binding whose argument is not null: the driver's swap
    // around a load (Get, Set, load, Set) relies on nulls changing nothing.
    virtual void Set(CArticWrk* wrk, CArticExp* exp, CArticRul* rul);
    // Replace one binding, null included.
    virtual void SetWrk(CArticWrk* wrk) { m_pWrk = wrk; }
    virtual void SetExp(CArticExp* exp) { m_pExp = exp; }
    virtual void SetRul(CArticRul* rul) { m_pRul = rul; }
    virtual void SetProcDialog(CPhrasorProc* proc) { m_pProcDialog = proc; }
    virtual void SetSetCtrlPbLarge(int on) { m_SetCtrlPbLarge = on; }
    virtual void SetSetCtrlPbSmall(int on) { m_SetCtrlPbSmall = on; }
    virtual void SetGrpTime(ULONG ticks) { m_GrpTime = ticks; }
    int GetSetCtrlPbLarge() const { return m_SetCtrlPbLarge; }
    int GetSetCtrlPbSmall() const { return m_SetCtrlPbSmall; }
    ULONG GetGrpTime() const { return m_GrpTime; }
    CArticExpBlk* GetExpBlk() const { return m_pExpBlk; }
    CArticPasn* GetPasn() const { return m_pPasn; }
    CArticWrk* GetWrkOut() const { return m_pWrkOut; }

    // ---- Work-data text dump
    // Replaces the bound work data by the dump's tracks, blocks and events.
    // A faulty line is reported and skipped: 0, or the last faulty line's
    // result; 1 without work data or for an empty dump.
    virtual int LoadWrk(CStringList& lines);

    // ---- Rule scripts
    // Loads a whole script into the bound rule program, which is cleared
    // first; the pitch-bend option of prm picks the optional sets. 0, or 1
    // when a block failed (each reported) or nothing but init and subroutine
    // blocks was left; 0 at once when no rule program is bound.
    virtual int LoadRul(const CPHConvPrm& prm, CStringList& lines);
    // The same with pitch-bend option 0.
    virtual int LoadRul(CStringList& lines);
    // One set block: 0 when filed or dropped by the set-name filter; non-zero
    // (reported, deleted) when it failed or its number is already used.
    virtual int LoadRulSet(CStringList& lines);
    // One set block put in place of the set with its number, at the end of
    // the processing order: 0, or non-zero (the program unchanged).
    virtual int LoadRulSetUpdate(CStringList& lines);
    virtual int LoadRulSub(CStringList& lines);
    // 1 without a rule program, else the program's RemoveRulSetNo.
    virtual int RemoveRulSet(int setNo);

    // Records an error (kind 3) with this class's name, hands header + "\r" +
    // its text to the error dialog, and with withDetail set records a non-empty
    // detail once more as a detail line (kind 5).
    virtual void DispErrMsg(const CString& header, const CString& message, const CString& function,
                            const CString& detail, int withDetail);

    // ---- Work-dump lines
    // One dump line (blanks already removed): 0, or 1 when refused, in which
    // case the work data holds nothing of it.
    virtual int LoadWrkEvnt(CExString& line, int& trkCount, CArticWrkTrk** trk, CArticWrkBlk** blk);
    // The body of an event line for the status read before it.
    virtual int LoadWrkEvnt(CExString& rest, BYTE status, BYTE metaType, CArticWrkEvnt* evnt);
    // "ch" and "port" items of a track head.
    virtual int LoadTrkParam(CExString& rest, CExString& token, ULONG& ch, ULONG& port);
    // The items of a block head. Position items name places in the song that
    // was loaded when the dump was written, which mean nothing to the song
    // loaded now: they are read over, and positions stays empty. Always 0.
    virtual int LoadBlkParam(CExString& rest, CExString& token, BYTE& partMode, CString& name,
                             CArticPosArray& positions);
    // Put a song track (block) position at index of positions, keeping the
    // entry's other positions; an index beyond kMaxPosIndex changes nothing.
    virtual void SetPosTrk(CArticPosArray* positions, ULONG index, POSITION pos);
    virtual void SetPosBlk(CArticPosArray* positions, ULONG index, POSITION pos);
    virtual void ClearPosArray(CArticPosArray* positions);
    // "bar/beat/tick" off the front of item: 0, or 1 (a value read before the
    // failing part stays stored).
    virtual int GetMeas(CExString& item, ULONG* bar, ULONG* beat, ULONG* tick);
    virtual int GetWrkStatus(const CExString& token, BYTE* status, BYTE* metaType);
    virtual int LoadWrkBeat(CExString& rest, CArticWrkEvnt* evnt);
    virtual int LoadWrkMeter(CExString& rest, CArticWrkEvnt* evnt);
    virtual int LoadWrkNote(CExString& rest, CArticWrkEvnt* evnt);
    // Up to count entries "w<number>" of existing events (rest starts at the
    // list's "{"). On failure the list is deleted and *list set to null: 1.
    virtual int LoadWrkEvntList(CExString& rest, ULONG count, CArticWrkEvntList** list);
    // The same for numbers no placed event has: each becomes a new event,
    // registered but in no block. A refused list registers nothing.
    virtual int LoadWrkEvntList2(CExString& rest, ULONG count, CArticWrkEvntList** list);

    // ---- Rule-script steps
    virtual int SetProcNest();
    virtual int LoadRulInit(int index, CStringList& lines);
    virtual int LoadRulSubAll(CStringList& lines);
    // Writes GrpTime into the set's probability: 0, or 1 without one.
    virtual int ReplaceGetGrpTime(CArticRulSet* set);
    // The two pitch-bend switches from the pitch-bend option and PbProc.
    virtual void SetPbCtrl(int selector);

    // The highest position index a dumped block may carry.
    static constexpr ULONG kMaxPosIndex = 0xFFFF;

private:
    // 1 when the set-name filter files a set of that name.
    bool IsFiled(const CString& name) const;
    // LoadRul with the pitch-bend option given as a selector.
    int LoadRulScript(int selector, CStringList& lines);
    // Walks the set lines that remain after the init and subroutine blocks;
    // the lines are moved into the sets' blocks, leaving lines emptied.
    int LoadRulSetAll(CStringList& lines);
    void SetPos(CArticPosArray* positions, ULONG index, POSITION pos, bool trk);
    void DispRulErr(const CString& message, const CString& function, const CString& detail, int withDetail);

    CArticWrk* m_pWrk;         // not owned
    CArticExp* m_pExp;         // not owned
    CArticRul* m_pRul;         // not owned
    CArticExpBlk* m_pExpBlk;   // not owned
    CArticPasn* m_pPasn;       // not owned
    CArticWrk* m_pWrkOut;      // not owned
    int m_PbProc = 0;
    int m_SetCtrlPbLarge = 1;
    int m_SetCtrlPbSmall = 1;
    ULONG m_GrpTime = 480;
    int m_TgMode = 2;
    int m_InstNum = 0;
    CPhrasorProc* m_pProcDialog = nullptr;  // not owned, not used here
};
