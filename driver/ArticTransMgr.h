#pragma once
// Hands the converted work data back to the song: tidies every block of the
// part tracks first (controller and bend steps just before a note that sets
// a new value at the note go, and same-time voice and parameter messages are
// put in the order a sound generator needs), then starts the write-back.
#include "services/ArticArrayCh.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CArticPref;
class CArticWrk;
class CArticWrkBlk;
class CArticWrkTrk;
class CKPSManager;

class CArticTransMgr : public CObject {
    VX_DECLARE_CLASS(CArticTransMgr)
public:
    CArticTransMgr(CArticWrk* wrk, CKPSManager* host, CArticPref* pref);
    ~CArticTransMgr() override;
    CArticTransMgr(const CArticTransMgr&) = delete;
    CArticTransMgr& operator=(const CArticTransMgr&) = delete;

    virtual void SetCEditor(CKPSManager* host) { m_pHost = host; }
    virtual int GetCEditor(CKPSManager** host) const;
    virtual CKPSManager* GetCEditor() const { return m_pHost; }
    virtual void SetPref(CArticPref* pref) { m_pPref = pref; }
    virtual int GetPref(CArticPref** pref) const;
    virtual CArticPref* GetPref() const { return m_pPref; }
    // Deletes the positions of the list (the list stays).
    virtual void ClearPosList(CArticPosList* list);
    // Appends copies of the positions to the position list.
    virtual void CopyPosList(const CArticPosList* list);
    virtual int GetPosList(CArticPosList** list);
    virtual CArticPosList* GetPosList() { return &m_PosList; }
    virtual int GetOutPosList(CArticPosList** list);
    virtual CArticPosList* GetOutPosList() { return &m_OutPosList; }
    // Removes and deletes the first out position of the track and block: 0;
    // 1 when either is null.
    virtual int DelOutPos(POSITION trk, POSITION blk);
    // The tidying of every block of every part track (the master track is
    // left alone): 0, or the first failure.
    virtual int EditToWrk();
    // Empties the three lists.
    virtual void Clear();
    // The write-back of the work data into the song (track id in/out, block
    // id of an event-selection output or null, a flag it leaves alone): 0,
    // or 1 without work data or host, or when the write-back fails.
    virtual int ConvToCEditorRep(POSITION* trk, POSITION blk, int* flag);
    virtual int EditToWrkTrk(CArticWrkTrk* trk);
    virtual int EditToWrkBlk(CArticWrkBlk* blk);
    // Within each run of same-time events of the sort's set, the events of
    // the first kind move (in order) to just before the run's first event of
    // the second kind: program changes before notes, bank selects before
    // program changes, parameter numbers (98 to 101) before data entries.
    virtual int SortProgChng(CArticWrkBlk* blk);
    virtual int SortBankSel(CArticWrkBlk* blk);
    virtual int SortRpnNrpn(CArticWrkBlk* blk);

private:
    CArticWrk* m_pWrk;     // not owned
    CKPSManager* m_pHost;  // not owned
    CArticPref* m_pPref;   // not owned
    CArticPosList m_PosList;     // owns its entries
    CArticPosList m_OutPosList;  // owns its entries
    CArticPosList m_MstrList;    // owns its entries: the conductor's events for the write-back
};
