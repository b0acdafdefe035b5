#pragma once
// The loaded rule program of one conversion: the rule sets in script order,
// the subroutines, the two init blocks, the global values and the shared
// rule-data event array, with the processing order the driver reads and a
// counter of free event numbers handed out.
#include <functional>
#include <vector>

#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/work/ArticWrkEvnt.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticRulInit;
class CArticRulSet;
class CArticRulSub;
class CArticTimeInfo;
class CArticWrk;
class CKPSManager;

using CArticRulSetList = CTypedPtrList<CObList, CArticRulSet*>;
using CArticRulSubList = CTypedPtrList<CObList, CArticRulSub*>;
// The global values by number, held in place (0.0 for a slot never written).
using CArticGlobalArray = std::vector<double>;

class CArticRul : public CObject {
    VX_DECLARE_CLASS(CArticRul)
public:
    explicit CArticRul(CArticWrk* wrk = nullptr, CKPSManager* editor = nullptr);
    ~CArticRul() override;
    CArticRul(const CArticRul&) = delete;
    CArticRul& operator=(const CArticRul&) = delete;

    // ---- Fields. The out-parameter getters always return 1.
    virtual int GetWrk(CArticWrk** wrk) const;
    virtual CArticWrk* GetWrk() const { return m_pWrk; }
    virtual int GetRul(CArticRul** rul) const;
    virtual CArticRul* GetRul() const { return m_pRul; }
    virtual CArticTimeInfo* GetTimeInfo() const { return m_pTimeInfo; }
    virtual int GetCEditor(CKPSManager** editor) const;
    virtual CKPSManager* GetCEditor() const { return m_pCEditor; }
    virtual int GetProcNestFlag() const { return m_ProcNestFlag; }
    virtual int GetProcNest() const { return m_ProcNest; }
    virtual int GetDirection() const { return m_Direction; }
    virtual ULONG GetEvntCount() const { return m_EvntCount; }
    virtual void SetWrk(CArticWrk* wrk) { m_pWrk = wrk; }
    virtual void SetRul(CArticRul* rul) { m_pRul = rul; }
    virtual void SetTimeInfo(CArticTimeInfo* info) { m_pTimeInfo = info; }
    virtual void SetCEditor(CKPSManager* editor) { m_pCEditor = editor; }
    virtual void SetProcNestFlag(int flag) { m_ProcNestFlag = flag; }
    virtual void SetProcNest(int nest) { m_ProcNest = nest; }
    virtual void SetDirection(int dir) { m_Direction = dir; }
    virtual void SetEvntCount(ULONG count) { m_EvntCount = count; }

    // ---- Global values
    // 0.0 for an index never written.
    virtual double GetGlobal(ULONG index) const;
    // 1 when stored; 0 without array, or (reported) for an index past kMaxRulIndex.
    virtual int SetGlobal(ULONG index, double value);

    // ---- Rule-data event array
    virtual CArticRulDataEvnt* GetRulDataEvnt(ULONG index) const;
    // Appends the note of every element that has one: 0; 1 when nothing was appended.
    virtual int GetRulDataEvntAll(CArticWrkEvntList* list) const;
    // Highest index whose element has a note; -1 when none.
    virtual int GetTailElmNoRulDataEvnt() const;
    virtual int GetRulDataEvntArray(CArticRulDataEvntArray** array) const;
    virtual CArticRulDataEvntArray* GetRulDataEvntArray() const { return m_pRulDataEvntArray; }
    // Puts a note (note-ons only; null empties the slot) at index: 1; 0
    // without array, or (reported) for an index past kMaxRulIndex.
    virtual int SetRulDataEvnt(ULONG index, CArticWrkEvnt* note);
    // Makes the slot a copy of src's note, base and relation (null empties it).
    virtual int SetRulDataEvnt(ULONG index, const CArticRulDataEvnt* src);
    // Makes the array exactly notes.size() slots holding notes in order: the
    // same as ClearRulDataEvntArray, SetSize(notes.size()), then
    // SetRulDataEvnt(i, notes[i]) for each i, but elements already in the
    // array are set again in place. The number of notes.
    virtual int FillRulDataEvnt(const std::vector<CArticWrkEvnt*>& notes);
    // ---- Sorting, filtering, searching and evaluating the event array.
    // Sorts rebuild the array from the notes it holds (empty slots and
    // elements without a note drop out; equal keys keep their order) and
    // return the new count.
    virtual int SortFwdKeyRulDataEvntArray();
    virtual int SortRvsKeyRulDataEvntArray();
    // New elements in (Time, Key) order into out (the caller owns them); array unchanged.
    virtual int SortFwdTimeRulDataEvntArray(CTypedPtrList<CObList, CArticRulDataEvnt*>& out);
    virtual int SortFwdTimeRulDataEvntArray();
    virtual int SortRvsTimeRulDataEvntArray();
    virtual int SortFwdNoRulDataEvntArray();
    virtual int SortRvsNoRulDataEvntArray();
    virtual int SortFwdDurRulDataEvntArray();
    virtual int SortRvsDurRulDataEvntArray();
    virtual int SortFwdOffRulDataEvntArray();
    virtual int SortRvsOffRulDataEvntArray();
    virtual int SortFwdGenRulDataEvntArray();
    virtual int SortRvsGenRulDataEvntArray();
    virtual int SortFwdNoteInfoRulDataEvntArray(int k);
    virtual int SortRvsNoteInfoRulDataEvntArray(int k);
    virtual int ClearDupRulDataEvntArray();
    virtual int ClearExvRulDataEvntArray(CArticWrkEvntList* notes);
    virtual int RmvTimeCmpRulDataEvntArray(ULONG range);
    virtual int RmvAttriRulDataEvntArray(int kind, int value);
    // *out = the first (last) matching note or null: 0; 1 without array.
    virtual int SearchFwdKeyRulDataEvntArray(BYTE key, CArticWrkEvnt** out);
    virtual int SearchRvsKeyRulDataEvntArray(BYTE key, CArticWrkEvnt** out);
    virtual int SearchFwdTimeRulDataEvntArray(ULONG time, CArticWrkEvnt** out);
    virtual int SearchRvsTimeRulDataEvntArray(ULONG time, CArticWrkEvnt** out);
    virtual int SearchFwdGenRulDataEvntArray(BYTE gen, CArticWrkEvnt** out);
    virtual int SearchRvsGenRulDataEvntArray(BYTE gen, CArticWrkEvnt** out);
    // 1 when every consecutive pair in (Time, Key) order passes; 0 otherwise
    // or for fewer than two notes.
    virtual int GapTimeRulDataEvntArray(ULONG gap);
    virtual int IntervalTimeRulDataEvntArray(ULONG interval);
    virtual int IntervalKeyRulDataEvntArray(BYTE interval);

    // A new event number above every number the work data uses, one per call;
    // 2147483647 without work data.
    virtual ULONG GetFreeEvntNo();

    using CObject::GetClassNameA;
    virtual void GetClassNameA(CString* name) const;

    // Zeroes the settings and the event counter, then empties the init
    // blocks, the sets, the subroutines, the globals and the event array.
    virtual void Clear();
    virtual void ClearRulSetList();
    virtual void ClearRulSubList();
    virtual void ClearRulInit();
    virtual void ClearGlobalArray();
    virtual void ClearRulDataEvntArray();
    // Unlinks and deletes the first set numbered setNo; the result is 1 only
    // when an empty node was passed before (or there is no list).
    virtual int RemoveRulSetNo(int setNo);

    // ---- The set list
    virtual CArticRulSetList* GetRulSetList() const { return m_pRulSetList; }
    virtual int GetCount() const;
    virtual POSITION GetHeadPos() const;
    virtual POSITION GetTailPos() const;
    virtual POSITION GetPos(int index) const;
    virtual int GetNext(POSITION& pos, CArticRulSet** set) const;
    virtual CArticRulSet* GetNext(POSITION& pos) const;
    virtual int GetPrev(POSITION& pos, CArticRulSet** set) const;
    virtual CArticRulSet* GetPrev(POSITION& pos) const;
    virtual int Get(int index, CArticRulSet** set) const;
    virtual int Get(POSITION pos, CArticRulSet** set) const;
    virtual CArticRulSet* Get(int index) const;
    virtual CArticRulSet* Get(POSITION pos) const;
    virtual int GetBySetNo(int setNo, CArticRulSet** set) const;
    virtual CArticRulSet* GetBySetNo(int setNo) const;
    // 0 also when there is no such set (0 is a valid number too).
    virtual ULONG GetSetNo(int index) const;
    virtual POSITION AddHead(CArticRulSet* set);
    virtual POSITION AddTail(CArticRulSet* set);

    // ---- The subroutine list
    virtual CArticRulSubList* GetRulSubList() const { return m_pRulSubList; }
    virtual int GetSubCount() const;
    virtual POSITION GetSubHeadPos() const;
    virtual POSITION GetSubTailPos() const;
    virtual POSITION GetSubPos(int index) const;
    virtual int GetSubNext(POSITION& pos, CArticRulSub** sub) const;
    virtual CArticRulSub* GetSubNext(POSITION& pos) const;
    virtual int GetSubPrev(POSITION& pos, CArticRulSub** sub) const;
    virtual CArticRulSub* GetSubPrev(POSITION& pos) const;
    virtual int GetSub(int index, CArticRulSub** sub) const;
    virtual int GetSub(POSITION pos, CArticRulSub** sub) const;
    virtual CArticRulSub* GetSub(int index) const;
    virtual CArticRulSub* GetSub(POSITION pos) const;
    virtual int GetBySubNo(int subNo, CArticRulSub** sub) const;
    virtual CArticRulSub* GetBySubNo(int subNo) const;
    virtual ULONG GetSubNo(int index) const;
    virtual POSITION AddSubHead(CArticRulSub* sub);
    virtual POSITION AddSubTail(CArticRulSub* sub);
    // Replaces the subroutines by copies of src's: each a new subroutine of
    // this program on its work data, assigned from the source.
    virtual void CopyRulSubList(const CArticRulSubList* src);

    // ---- Init blocks 0 and 1: 0 (out untouched) for any other index.
    virtual int GetInit(int index, CArticRulInit** init) const;
    virtual CArticRulInit* GetInit(int index) const;

protected:
    virtual void NewRulSetList();
    virtual void NewRulSubList();
    virtual void NewRulInit();
    virtual void NewGlobalArray();
    virtual void NewRulDataEvntArray();
    virtual void DeleteRulSetList();
    virtual void DeleteRulSubList();
    virtual void DeleteRulInit();
    virtual void DeleteGlobalArray();
    virtual void DeleteRulDataEvntArray();
    // Replaces the sets by copies of src's: each a new set of this program
    // on its work data, assigned from the source set.
    virtual void CopyRulSetList(const CArticRulSetList* src);
    virtual void CopyGlobalArray(const CArticGlobalArray* src);
    virtual void CopyRulDataEvntArray(const CArticRulDataEvntArray* src);
    virtual void DispErrMsg(const CString& caption, const CString& message, const CString& function,
                            const CString& detail);

private:
    void ReportIndex(const char* function, ULONG index);
    // Keeps the elements whose note (a note-on) passes keep, in order and
    // renumbered from 0; the others leave the array: the number kept.
    int KeepRulDataEvnt(const std::function<bool(CArticWrkEvnt*)>& keep);

    CArticWrk* m_pWrk;                   // not owned
    CArticRul* m_pRul = nullptr;         // not owned
    CArticTimeInfo* m_pTimeInfo = nullptr;  // not owned
    CKPSManager* m_pCEditor;             // not owned
    CArticRulInit* m_pInit[2] = {nullptr, nullptr};  // owned
    CArticRulSetList* m_pRulSetList = nullptr;       // owned, with its sets
    CArticRulSubList* m_pRulSubList = nullptr;       // owned, with its subroutines
    int m_ProcNestFlag = 0;
    int m_ProcNest = 0;
    int m_Direction = 0;
    ULONG m_EvntCount = 0;
    // Owned. Emptying it keeps its storage: a script that sets globals again
    // after every clear allocates nothing.
    CArticGlobalArray* m_pGlobalArray = nullptr;
    CArticRulDataEvntArray* m_pRulDataEvntArray = nullptr;  // owned, with its elements
    // Elements that left the array, for reuse: scripts clear and refill the
    // array for nearly every note.
    CArticRulDataEvntSpares m_SpareElms;
};
