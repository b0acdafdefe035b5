#pragma once
// The channel pipeline: the second half of one channel's conversion. It
// copies the processing object's work and expression data into its phase
// runner, splits string-instrument notes onto per-string tracks, runs the
// expression phases in their fixed order, assigns parts and ports, and
// transfers the result into the song. A failed copy, split, ordering or
// transfer fails the channel and no later step runs; diagnostics of single
// expressions inside the phases stay in the error list.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticArrayCh;
class CArticCore;
class CArticExp;
class CArticPrefSep;
class CArticPrefSetting;
class CArticWrk;
class CKPSManager;
class CPhrasorProc;

class CArticCoreMN : public CObject {
    VX_DECLARE_CLASS(CArticCoreMN)
public:
    static constexpr int kPartCount = 12;

    explicit CArticCoreMN(CKPSManager* host);
    ~CArticCoreMN() override;
    CArticCoreMN(const CArticCoreMN&) = delete;
    CArticCoreMN& operator=(const CArticCoreMN&) = delete;

    // The runner takes wrk and exp over; its CheckExp result.
    virtual int RestoreWrkExp(CArticWrk* wrk, CArticExp* exp);
    // Fresh copies of wrk and exp into the runner (the given data are not
    // changed), then the block merge and renumbering of the settings.
    virtual int CopyWrkExp(CArticWrk* wrk, CArticExp* exp);
    virtual void RemoveStrList(CStringList& list);
    // The lines of a text file: 1 when at least one was read, else 0.
    virtual int ResetStrList(const CString& path, CStringList& list);
    // The number of the song's ports, handed to the runner's separation.
    virtual int ResetPortName();
    // The song's port names ("NO PORT" listed as "---") and port numbers.
    virtual void GetPortName(CStringList* list, DWORD** ports, int* count);
    // Port id and channel of the runner's part tracks, at most 12.
    virtual void GetPortChNo(DWORD* portIds, DWORD* chs);
    virtual void ResetPrefSep(CStringList* list, DWORD** ports, int* count);
    // The per-string split when the notes carry fingering: 0 also when there
    // is nothing to split.
    virtual int Separate2(BYTE transMode, CArticArrayCh* used, CArticArrayCh* client);
    // The part assignment; a failure is reported and the pipeline goes on.
    virtual int SetLayer(CArticArrayCh* used, CArticArrayCh* origin, CArticArrayCh* client);
    virtual void Clear();
    virtual void Clear2nd();
    virtual CArticPrefSetting* GetSetting() const;
    virtual CArticPrefSep* GetSep() const;
    virtual int GetWrkReNum() const;
    virtual int GetWrkMerge() const;
    virtual CArticCore* GetCore() const { return m_pCore; }
    // Replaces the owned phase runner (the old one is deleted).
    virtual void SetCore(CArticCore* core);
    virtual void SetProcDialog(CPhrasorProc* view) { m_pView = view; }
    // Runs the channel through the pipeline; 0, or the code of the first
    // failed copy, split, ordering or transfer.
    virtual int ConvertRep(CArticWrk* wrk, CArticExp* exp, POSITION* trks, POSITION blk, int* counts,
                           BYTE transMode, BYTE selMode, INT64 firstNoteOn, CArticArrayCh* used,
                           CArticArrayCh* origin, CArticArrayCh* client);

private:
    CKPSManager* m_pCEditor;           // not owned
    CArticCore* m_pCore = nullptr;     // owned
    CPhrasorProc* m_pView = nullptr;   // not owned
};
