#pragma once
// The processing object of one conversion run: it owns the channel's work
// data, a backup of it, the expression data and the rule program, the five
// managers acting on them, the preferences and three text lists. The
// driver loads the rule program through it, runs the rules and hands it
// fresh work and expression data per channel. The time-section overloads
// of the queries answer for the object's own data.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

#include <vector>

#include "driver/ArticEditorMgr.h"
#include "services/ArticErr.h"
#include "engine/work/ArticWrkEvnt.h"

class CArticCreExpMgr;
class CArticExp;
class CArticExpMgr;
class CArticExpReceiver;
class CArticLoadMgr;
class CArticPref;
class CArticRul;
class CArticTimeInfo;
class CArticTimeMgr;
class CArticWrk;
class CKPSManager;
class CPHConvPrm;
class CPhrasorProc;

class CArticProc : public CObject {
    VX_DECLARE_CLASS(CArticProc)
public:
    // view: the driver; receiver: the driver as the rule run's receiver of
    // expression texts (both may be null; without a receiver the loader
    // receives them).
    CArticProc(CKPSManager* host, CPhrasorProc* view, CArticExpReceiver* receiver = nullptr);
    ~CArticProc() override;
    CArticProc(const CArticProc&) = delete;
    CArticProc& operator=(const CArticProc&) = delete;

    // ---- Host and selection
    virtual void SetCEditor(CKPSManager* host);
    virtual int SetPosList(const CArticPosList* list);
    virtual int SetPosList(CKPSManager* host, const CArticPosList* list);
    virtual int GetCEditor(CKPSManager** host) const;
    virtual CKPSManager* GetCEditor() const { return m_pCEditor; }
    virtual int SetBlkPosList();

    // ---- Work queries
    virtual int GetWrkTrkCount(CArticTimeInfo*) const { return GetWrkTrkCount(); }
    virtual int GetWrkTrkCount() const;
    virtual int GetWrkBlkCount(CArticTimeInfo*, int trk) const { return GetWrkBlkCount(trk); }
    virtual int GetWrkBlkCount(int trk) const;
    virtual ULONG GetWrkTrkNo(CArticTimeInfo*, int index) const { return GetWrkTrkNo(index); }
    virtual ULONG GetWrkTrkNo(int index) const;
    virtual ULONG GetWrkBlkNo(CArticTimeInfo*, int trk, int index) const { return GetWrkBlkNo(trk, index); }
    virtual ULONG GetWrkBlkNo(int trk, int index) const;
    virtual int GetWrkOutArray(CArticTimeInfo*, ULONG evntNo, CArticLongArray** out) const {
        return GetWrkOutArray(evntNo, out);
    }
    virtual int GetWrkOutArray(ULONG evntNo, CArticLongArray** out) const;
    virtual CArticLongArray* GetWrkOutArray(CArticTimeInfo*, ULONG evntNo) const { return GetWrkOutArray(evntNo); }
    virtual CArticLongArray* GetWrkOutArray(ULONG evntNo) const;
    virtual int MergeWrkBlk();

    // ---- Expression queries
    virtual int GetExpTrkCount(CArticTimeInfo*) const { return GetExpTrkCount(); }
    virtual int GetExpTrkCount() const;
    virtual int GetExpBlkCount(CArticTimeInfo*, int trk) const { return GetExpBlkCount(trk); }
    virtual int GetExpBlkCount(int trk) const;
    virtual ULONG GetExpTrkNo(CArticTimeInfo*, int index) const { return GetExpTrkNo(index); }
    virtual ULONG GetExpTrkNo(int index) const;
    virtual ULONG GetExpBlkNo(CArticTimeInfo*, int trk, int index) const { return GetExpBlkNo(trk, index); }
    virtual ULONG GetExpBlkNo(int trk, int index) const;

    // ---- Rule queries
    virtual CString GetRulSubName(CArticTimeInfo*, int index) const { return GetRulSubName(index); }
    virtual CString GetRulSubName(int index) const;
    virtual int GetRulSetCount(CArticTimeInfo*) const { return GetRulSetCount(); }
    virtual int GetRulSetCount() const;
    virtual ULONG GetRulSetNo(CArticTimeInfo*, int index) const { return GetRulSetNo(index); }
    // 0x7FFFFFFF for a negative index or a missing set.
    virtual ULONG GetRulSetNo(int index) const;
    virtual CString GetRulSetName(CArticTimeInfo*, int index) const { return GetRulSetName(index); }
    virtual CString GetRulSetName(int index) const;
    virtual LONG GetRulInitNo(CArticTimeInfo*, int index) const { return GetRulInitNo(index); }
    // -1 for a negative index or a missing init block.
    virtual LONG GetRulInitNo(int index) const;
    virtual CString GetRulInitName(CArticTimeInfo*, int index) const { return GetRulInitName(index); }
    // "init1" or "init2"; empty for any other number.
    virtual CString GetRulInitName(int index) const;

    virtual int GetVoiceState() const;
    virtual void SetVoiceState(int state);
    virtual int IsError() const;

    // ---- Dumps: the manager's result; a failure requests the error dialog.
    virtual int GetWrkStrList(int setIndex, CStringList& list, int withRuleData);
    virtual int GetWrkStrList(int trk, int blk, int setIndex, CStringList& list, int withRuleData);
    virtual int GetExpStrList(CStringList& list);
    virtual int GetExpStrList(int trk, int blk, CStringList& list);
    virtual int OutExpStrList(CStringList& list);
    virtual int GetErrStrList(CStringList& list);

    virtual int RenumberWrk();

    virtual int GetPref(CArticPref** pref) const;
    virtual CArticPref* GetPref() const { return m_pPref; }
    virtual int GetTimeMgr(CArticTimeMgr** mgr) const;
    virtual CArticTimeMgr* GetTimeMgr() const { return m_pTimeMgr; }

    virtual BYTE GetSelMode() const { return m_SelMode; }
    virtual void SetSelMode(BYTE mode) { m_SelMode = mode; }
    virtual BYTE GetTransMode() const { return m_TransMode; }
    virtual void SetTransMode(BYTE mode) { m_TransMode = mode; }
    virtual int GetSelTrk(std::vector<POSITION>* trks, std::vector<int>* counts) const;
    virtual int DeleteSelectEvent();
    virtual int DeleteSelectBlock();
    virtual int GetIsFirst() const { return m_IsFirst; }
    virtual void SetIsFirst(int flag) { m_IsFirst = flag; }

    // ---- Values
    virtual CArticCreExpMgr* GetCreExpMgr() const { return m_pCreExpMgr; }
    virtual CArticLoadMgr* GetLoadMgr() const { return m_pLoadMgr; }
    virtual CArticExpMgr* GetExpMgr() const { return m_pExpMgr; }
    virtual int GetWrk(CArticWrk** wrk) const;
    virtual CArticWrk* GetWrk() const { return m_pWrk; }
    virtual CArticWrk* GetBackupWrk() const { return m_pWrkBackup; }
    virtual int GetExp(CArticExp** exp) const;
    virtual CArticExp* GetExp() const { return m_pExp; }
    virtual CArticRul* GetRul() const { return m_pRul; }
    virtual CArticEditorMgr* GetEditorMgr() const { return m_pEditorMgr; }
    virtual CPhrasorProc* GetView() const { return m_pView; }
    virtual void SetView(CPhrasorProc* view) { m_pView = view; }
    virtual CStringList* GetStrWrkList() const { return m_pStrWrk; }
    virtual CStringList* GetStrExpList() const { return m_pStrExp; }
    virtual CStringList* GetStrRulList() const { return m_pStrRul; }
    virtual CString GetRulFileName() const { return m_RulFileName; }
    virtual int GetCreate() const { return m_Create; }
    virtual void SetStrWrkList(const CStringList& list);
    virtual void SetStrExpList(const CStringList& list);
    virtual void SetStrRulList(const CStringList& list);
    virtual void SetRulFileName(const CString& name) { m_RulFileName = name; }
    virtual void SetCreate(int flag) { m_Create = flag; }

    // ---- Steps
    virtual void Clear();
    virtual void ClearStrList();
    // The text-dump readers: the last non-zero of the work read, the
    // expression read and the check (all three run).
    virtual int Load(CStringList& wrkLines, CStringList& expLines);
    virtual int LoadExp(CStringList& lines);
    // Appends the parameters' script lines to the rule text list and loads
    // the rule program from it.
    virtual int LoadRul_Reset(const CPHConvPrm& prm);
    // Loads the rule program again from the rule text list.
    virtual int LoadRul(const CPHConvPrm& prm);
    virtual int BackupWrk();
    virtual int RestoreProb();
    virtual int Create(CArticTimeInfo* section);
    virtual int Create();
    // The rule run over the object's data; 1 without script lines.
    virtual int CreateAll();
    // Takes wrk and exp over (the current ones are deleted unless they are
    // the very objects given); the loader's CheckExp.
    virtual int Replace(CArticWrk* wrk, CArticExp* exp);
    virtual void ClearAfterMidiCreate();

protected:
    virtual void CreateBuffer();
    virtual void DeleteBuffer();
    virtual void CreateManager();
    virtual void DeleteManager();
    virtual void CreatePreference();
    virtual void DeletePreference();

private:
    // Runs op with the rule executor bound to the object's three data and
    // no section, and restores its binding; 1 when a part is missing.
    template <typename Op>
    int WithExecutor(Op op);
    static int DumpResult(int r, const char* message);

    // What the rule load of LoadRul_Reset left: a LoadRul on the very same
    // inputs (loader bindings, script lines, pitch-bend option, grouping
    // time) loads the same program, so the driver's second load of a channel
    // takes it as it is and posts the same diagnostics instead of parsing the
    // script again. Anything that may touch the program or its inputs in
    // between forgets it.
    struct RulLoadRecord {
        bool valid = false;
        CArticWrk* wrk = nullptr;
        CArticExp* exp = nullptr;
        CArticRul* rul = nullptr;
        BYTE pbCtrl = 0;
        ULONG grpTime = 0;
        std::vector<CString> lines;
        int result = 0;
        std::vector<ArticErrRecord> messages;  // posted by the load, after its header
        bool dialogRan = false;                // and the last text it handed the error dialog
        UINT dialogType = 0;
        CString dialogText;
    };
    void RecordRulLoad(const CPHConvPrm& prm, int result, int firstMsg, unsigned dialogRuns);
    bool IsSameRulLoad(const CPHConvPrm& prm) const;
    int ReplayRulLoad() const;
    void ForgetRulLoad() { m_LastRulLoad = RulLoadRecord(); }

    CArticLoadMgr* m_pLoadMgr = nullptr;      // owned
    CArticTimeMgr* m_pTimeMgr = nullptr;      // owned
    CArticExpMgr* m_pExpMgr = nullptr;        // owned
    CArticCreExpMgr* m_pCreExpMgr = nullptr;  // owned
    CArticEditorMgr* m_pEditorMgr = nullptr;  // owned
    CPhrasorProc* m_pView;                    // not owned
    CArticExpReceiver* m_pReceiver;           // not owned
    CArticWrk* m_pWrk = nullptr;              // owned
    CArticWrk* m_pWrkBackup = nullptr;        // owned
    CArticExp* m_pExp = nullptr;              // owned
    CArticRul* m_pRul = nullptr;              // owned
    CStringList* m_pStrWrk;                   // owned
    CStringList* m_pStrExp;                   // owned
    CStringList* m_pStrRul;                   // owned
    CString m_RulFileName;
    int m_Create = 0;
    BYTE m_SelMode = 0;
    BYTE m_TransMode = 0;
    CArticPref* m_pPref = nullptr;  // owned
    CKPSManager* m_pCEditor;        // not owned
    int m_IsFirst = 1;
    RulLoadRecord m_LastRulLoad;
};
