#pragma once
// The conversion driver: turns one channel of the song held in the song
// document into articulated performance data in the same document. The core
// makes one driver per conversion run and calls Convert once per channel.
//
// Convert scans the song's selection (KV voice and velocity-sense messages,
// pitch bends), builds the position list, the work data and the expression
// skeleton through the song bridge, loads and runs the rule script of the
// conversion parameters and hands both data to the channel pipeline, which
// writes the result back under the song lock; then the set-up events before
// the first note get room.
//
// While it converts, the driver is the song bridge's registered view and the
// rule run's receiver of expression texts. A channel that fails is left as
// loaded: the driver records the failure and its reason for that Convert
// (cleared when the next one starts) and per MIDI channel for the run.
#include <memory>

#include "services/ArticArrayCh.h"
#include "driver/ArticView.h"
#include "engine/rules/ArticCreExpMgr.h"
#include "engine/work/ArticPos.h"
#include "host/KPSManager.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticCoreMN;
class CArticExp;
class CArticExpBlk;
class CArticExpTrk;
class CArticPrefSetting;
class CArticProc;
class CArticWrk;
class CPgBsel;
class CPHConvPrm;
class CPhrasorDoc;
class CVeloSens;

class CPhrasorProc : public CObject, public CArticView, public CArticExpReceiver {
    VX_DECLARE_CLASS(CPhrasorProc)
public:
    // Numbered failure messages of the driver.
    static constexpr UINT kMsgSpansTracks = 30212;  // the selection spans more than one track
    static constexpr UINT kMsgPosList = 30213;      // the selection could not be taken over
    static constexpr UINT kMsgNoSelection = 30215;  // nothing selected, or the song could not be read
    static constexpr UINT kMsgWrkData = 30217;      // no item to convert, or work / expression data failed
    static constexpr UINT kMsgNoNote = 30239;       // a selected block holds no note
    static constexpr UINT kMsgNoProc = 30242;       // the processing object or its parts are missing
    static constexpr UINT kMsgTimeBase = 30246;     // the song's time base could not be read
    // The text of a numbered message (CP932); empty for an unknown number.
    static CString GetMessageText(UINT id);

    // Selection modes of ScanSong and MakePosList.
    static constexpr int kSelBlock = 0;
    static constexpr int kSelEvent = 1;
    // Failure results of ScanSong.
    static constexpr int kScanHostFailed = -1;  // also: nothing selected
    static constexpr int kScanTracks = -2;
    static constexpr int kScanNoNote = -3;

    // Why the last Convert failed (kFailNone when it did not).
    enum FailStep : int {
        kFailNone = 0,
        kFailPrepare = 1,   // processing object, time base, scan, position list, work or expression data
        kFailRuleLoad = 2,  // the rule script did not load
        kFailRuleRun = 3,   // the rule run failed
        kFailPipeline = 4,  // the channel pipeline or its write-back failed
    };
    static constexpr int kChannelCount = 16;

    CPhrasorProc();
    ~CPhrasorProc() override;
    CPhrasorProc(const CPhrasorProc&) = delete;
    CPhrasorProc& operator=(const CPhrasorProc&) = delete;

    // ------------------------------------------------------------ set-up (the core)
    // Makes the processing object (once) with its preference settings; 0.
    virtual int CreateArticProc();
    // The preference settings CreateArticProc gives a processing object
    // (the library folder as given); nothing without settings.
    static void SetDriverSettings(CArticPrefSetting* settings, const CString& libPath);
    // The song document's host interface, handed on to the processing
    // object and the voice timeline.
    virtual void SetCEditor(CKPSManager* host);
    // flag 0 deletes the channel pipeline; otherwise makes one when none exists.
    virtual void CreateCoreMN(int flag);
    // The analysis beat resolution (engine ticks), also for the rule loader.
    virtual void SetResolution(LONG ticks);
    // Kind, kind flag and conversion mode (2) from the parameters; 0.
    virtual int ResetConvPrm(const CPHConvPrm& prm);
    // 1 when the five required phrase files lie in the preferences' library
    // folder; 0 otherwise or without processing object or settings.
    virtual int CheckLibFiles();
    // The song's port names ("NO PORT" as "---") and port ids into the song
    // bridge's separation.
    virtual void ResetPortName();

    // ------------------------------------------------------------ conversion
    // Converts the channel of the conversion parameters whose blocks the
    // document has selected. The registrations hold for the call only.
    virtual void Convert(CPhrasorDoc* doc);
    // The last message set during the run (a failure's reason).
    virtual CString GetMessage() const { return m_Message; }
    // Sets the message; the icon and help id are ignored. 0.
    virtual int SetMessage(const CString& text, UINT icon = 0, UINT helpId = 0);

    // The failure of the last Convert: its step (kFailNone when it did not
    // fail) and its reason (empty when it did not fail).
    virtual int GetFailState() const { return m_FailState; }
    virtual int IsFailed() const { return m_FailState != kFailNone ? 1 : 0; }
    virtual CString GetFailReason() const { return m_FailReason; }
    // The same per MIDI channel over the run (the last Convert of that
    // channel); kFailNone and empty for a channel outside 0..15 or not converted.
    virtual int GetFailState(int ch) const;
    virtual CString GetFailReason(int ch) const;

    // ------------------------------------------------------------ receiver and time
    // An expression text of the rule run becomes an expression object through
    // the processing object's loader; 1 without one.
    int LoadExpEvnt(CString text, ULONG evntNo, CArticExpTrk* trk, CArticExpBlk* blk) override;
    // The song's time base (ticks per quarter note): 1 and the value, or 0
    // without a host or when the host fails.
    virtual int GetTimeBase(LONG* ticks) const;

    // ------------------------------------------------------------ selection scan
    // The selection mode (kSelBlock, kSelEvent) or a kScan* failure; the
    // counts of tracks holding selected blocks / selected events. Captures
    // the KV part voice and velocity-sense messages of the selected channels
    // and raises the pitch-bend option for a bend other than 8192 in a
    // selected block.
    virtual int ScanSong(CKPSManager* host, int* blkTrks, int* evntTrks);
    // One event of the scan: a KV part voice or velocity-sense message of a
    // channel in the mask goes into its timeline.
    virtual void CaptureVceSysEx(const tagMPEVENT* e, WORD chMask, DWORD format, POSITION trk, POSITION blk,
                                 POSITION evnt);
    // The items to convert for the mode; the mode, or -1 when the host fails
    // (the list then holds what was found).
    virtual int MakePosList(CKPSManager* host, CArticPosList* list, int mode);

    // ------------------------------------------------------------ steps of Convert
    // 0 when work data, expression skeleton and rule program are ready; 1 on
    // failure (the message says why).
    virtual int PrepareConvert();
    // 1 and the new work data, or 0 (a message set, nothing returned); also 1
    // without work data when a needed object is missing.
    virtual int LoadWrk(CArticWrk** wrk);
    // The expression skeleton of the work data and its hand-over to the
    // processing object: 1, or 0 (the work data deleted).
    virtual int CreExp(CArticWrk* wrk);
    virtual void SetWrkExp(CArticWrk* wrk, CArticExp* exp, int merge);
    virtual void BackupWrk();
    // The rule run over the processing object's data: its result.
    virtual int CreateAll();
    // The pipeline's run and the room before the first note: the pipeline's
    // result (1 without a pipeline).
    virtual int WriteBack(CPhrasorDoc* doc);

    // ------------------------------------------------------------ the view
    CKPSManager* GetCEditor() const override { return m_pCEditor; }
    CArticPref* GetPref() const override;
    CVeloSens* GetVeloSens() const override { return m_pVeloSens.get(); }
    CPgBsel* GetPgBsel() const override { return m_pPgBsel.get(); }
    int GetResolution() const override { return m_Resolution; }
    CPHConvPrm* GetConvPrm() const override { return m_pConvPrm.get(); }
    int GetKind() const override { return m_Kind; }
    BYTE GetKindFlag() const override { return m_KindFlag; }
    int GetConvMode() const override { return m_ConvMode; }
    int GetPbExist() const override { return m_PbExist; }

    // ------------------------------------------------------------ accessors
    virtual CArticProc* GetArticProc() const { return m_pArticProc; }
    virtual CArticCoreMN* GetCoreMN() const { return m_pCoreMN; }
    virtual int GetConvertPending() const { return m_ConvertPending; }
    virtual int GetLoadPending() const { return m_LoadPending; }
    virtual void SetLoadPending(int flag) { m_LoadPending = flag; }
    virtual const CArticPosList* GetPosList() const { return m_pPosList.get(); }
    virtual CArticWrk* GetBackupWrk() const { return m_pBackupWrk.get(); }
    virtual INT64 GetFirstSelStart() const { return m_FirstSelStart; }
    virtual INT64 GetLastSelEnd() const { return m_LastSelEnd; }
    virtual int GetOutputMode() const { return m_OutputMode; }
    virtual const CString& GetBaseFolder() const { return m_BaseFolder; }

private:
    // Records the failure of the running Convert (the first one holds).
    void Fail(int step, const CString& reason);
    // Sets the message to the numbered message's text.
    void SetMessageId(UINT id);
    static void DeletePosEntries(CArticPosList* list);
    // Deletes the selected-event list of the scan with its entries.
    void DropSelEvnt();
    // The registrations of the song bridge for a running conversion.
    void Register();
    void Unregister();

    CString m_BaseFolder;
    CString m_Message;
    CKPSManager* m_pCEditor = nullptr;       // not owned
    CArticProc* m_pArticProc = nullptr;      // owned
    CArticCoreMN* m_pCoreMN = nullptr;       // owned
    int m_ConvertPending = 1;
    int m_LoadPending = 1;
    int m_PbExist = 0;
    std::unique_ptr<CArticPosList> m_pPosList;  // owns its entries
    std::unique_ptr<CArticPosList> m_pSelEvnt;  // owns its entries; only during a scan
    std::unique_ptr<CArticWrk> m_pBackupWrk;
    int m_OutputMode = 1;
    std::unique_ptr<CPHConvPrm> m_pConvPrm;
    INT64 m_FirstSelStart = 0;
    INT64 m_LastSelEnd = 0;
    std::unique_ptr<CVeloSens> m_pVeloSens;
    std::unique_ptr<CPgBsel> m_pPgBsel;
    int m_Kind = 0;
    int m_ConvMode = 0;
    int m_Resolution = 480;
    BYTE m_KindFlag = 1;

    int m_FailState = kFailNone;
    CString m_FailReason;
    int m_ChFailState[kChannelCount] = {};
    CString m_ChFailReason[kChannelCount];
};
