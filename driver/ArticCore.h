#pragma once
// The expression phase runner: applies a channel's expressions to its own
// copy of the work data and turns the result into song events. Each step
// of the channel pipeline is one operation here (Copy, Sort or ReLink, the
// four Convert phases, the part assignment and TransferRep); every step
// posts its header to the error list first, so that the diagnostics that
// follow are filed under it.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

#include <vector>

#include "driver/ArticEditorMgr.h"

class CArticArrayCh;
class CArticExp;
class CArticExpBlk;
class CArticExpMgr;
class CArticLoadMgr;
class CArticPasn;
class CArticPasnCommon;
class CArticPasnData;
class CArticPref;
class CArticTransMgr;
class CArticWrk;
class CKPSManager;
class CPhrasorProc;

class CArticCore : public CObject {
    VX_DECLARE_CLASS(CArticCore)
public:
    // Buffer mode 0.
    CArticCore();
    // Buffer mode 1.
    explicit CArticCore(CKPSManager* host);
    // Buffer mode 2: wrk and exp are used as the runner's own and are not
    // deleted with it.
    CArticCore(CKPSManager* host, CArticWrk* wrk, CArticExp* exp);
    ~CArticCore() override;
    CArticCore(const CArticCore&) = delete;
    CArticCore& operator=(const CArticCore&) = delete;

    virtual void SetCEditor(CKPSManager* host);
    virtual CKPSManager* GetCEditor() const { return m_pCEditor; }
    virtual void SetPosList(const CArticPosList* list);
    virtual int SetBlkPosList();
    virtual int GetVoiceState() const;
    virtual void SetVoiceState(int state);
    virtual int IsError() const;

    virtual int GetWrkTrkCount() const;
    virtual int GetExpTrkCount() const;
    virtual int GetMidEvntTime(int trk, int blk, int evnt, INT64* time) const;
    virtual int MergeWrkBlk();
    virtual int RenumberWrk();
    virtual int SetFngrInfo(const CStringList& lines);

    virtual CArticPref* GetPref() const { return m_pPref; }
    // Fills the string separation table of 12 strings (see the settings'
    // InitSep); 0, or 1 when a part is missing or the mode is unknown.
    virtual int ResetPrefSep(const CStringList* names, const DWORD* ports, int count, const DWORD* portIds,
                             const DWORD* chs);
    virtual int ResetPortName(const CStringList* names, const DWORD* ports, int count);
    virtual int LayerDone() const;
    virtual int PasnExp();
    // The part-assignment record of a block of the middle work data.
    virtual int GetPasnData(int trk, int blk, CArticPasnData** out) const;
    virtual int GetPasnCommon(CArticPasnCommon** out) const;
    virtual int ResetPasnData(DWORD portCount, BYTE port, BYTE ch, CArticArrayCh* used, CArticArrayCh* origin,
                              CArticArrayCh* client, CArticArrayCh* result);
    // Files an error of this class, requests the dialog and, with flag and
    // a detail, adds the detail line.
    virtual void DispErrMsg(const CString& message, const CString& function, const CString& detail, int flag);

    virtual CArticWrk* GetWrk() const { return m_pWrk; }
    virtual CArticExp* GetExp() const { return m_pExp; }
    virtual CArticWrk* GetMidWrk() const { return m_pMidWrk; }
    virtual CArticExpBlk* GetSortBlk() const { return m_pSortBlk; }
    virtual CArticPasn* GetPasn() const { return m_pPasn; }
    virtual CArticLoadMgr* GetLoadMgr() const { return m_pLoadMgr; }
    virtual CArticExpMgr* GetExpMgr() const { return m_pExpMgr; }
    virtual CArticTransMgr* GetTransMgr() const { return m_pTransMgr; }
    virtual CArticEditorMgr* GetEditorMgr() const { return m_pEditorMgr; }
    // Replace the owned loader or transfer manager (the old one is deleted);
    // for a maker that needs its own kind of either.
    virtual void SetLoadMgr(CArticLoadMgr* mgr);
    virtual void SetTransMgr(CArticTransMgr* mgr);
    virtual CPhrasorProc* GetView() const { return m_pView; }
    virtual void SetProcDialog(CPhrasorProc* view) { m_pView = view; }
    virtual int GetBufMode() const { return m_BufMode; }

    virtual void Clear();
    virtual void Clear2nd();
    virtual int Load(CStringList& wrkLines, CStringList& expLines);
    virtual int LoadExp(CStringList& lines);
    // The loader splits the notes onto string tracks of dst.
    virtual int Separate2(CArticWrk* dst, BYTE transMode, CArticArrayCh* used, CArticArrayCh* client);
    virtual int BackupWrk(CArticWrk* target);
    virtual int BackupWrk();
    virtual int RestoreProb(CArticWrk* source);
    virtual int RestoreProb();
    // Takes wrk and exp over; the loader's CheckExp.
    virtual int Replace(CArticWrk* wrk, CArticExp* exp);

    // ---- The pipeline steps
    virtual int Copy();
    virtual int Sort(const CStringList& order);
    virtual int ReLink();
    virtual int Convert();
    virtual int ConvertCombine();
    virtual int Convert2();
    virtual int Convert3();
    virtual int TransferRep(POSITION* trks, POSITION blk, int* counts);

protected:
    virtual void CreateBuffer(CArticWrk* wrk, CArticExp* exp);
    virtual void DeleteBuffer(bool keepGiven);
    virtual void CreateManager();
    virtual void DeleteManager();
    virtual void CreatePartAssign();
    virtual void DeletePartAssign();
    virtual void CreatePreference();
    virtual void DeletePreference();

private:
    void Init(CArticWrk* wrk, CArticExp* exp);
    void ClearBuffers();
    template <typename Op>
    int PhaseStep(const char* header, Op op);

    CArticLoadMgr* m_pLoadMgr = nullptr;      // owned
    CArticExpMgr* m_pExpMgr = nullptr;        // owned
    CArticTransMgr* m_pTransMgr = nullptr;    // owned
    CArticEditorMgr* m_pEditorMgr = nullptr;  // not owned: the registered one
    CArticWrk* m_pWrk = nullptr;              // owned (not in buffer mode 2 while given)
    CArticWrk* m_pWrkBackup = nullptr;        // owned
    CArticExp* m_pExp = nullptr;              // owned (not in buffer mode 2 while given)
    CArticExpBlk* m_pSortBlk = nullptr;       // owned
    CArticWrk* m_pMidWrk = nullptr;           // owned
    CArticPasn* m_pPasn = nullptr;            // owned
    CArticPref* m_pPref = nullptr;            // owned
    CPhrasorProc* m_pView = nullptr;          // not owned
    CKPSManager* m_pCEditor = nullptr;        // not owned
    int m_BufMode = 0;
    CArticWrk* m_pGivenWrk = nullptr;  // the data of buffer mode 2, never deleted here
    CArticExp* m_pGivenExp = nullptr;
};
