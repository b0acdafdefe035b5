#pragma once
// One rule set ("#set:" block): its variables by number, its built-in calls
// and its expression lines, the variable _thisEvnt bound to the note being
// looked at, and the run-time error state the built-ins report into.
//
// This holds the set's storage, lookups, registration, note binding, error
// texts and clearing; loading the lines and running them come on top.
#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/rules/ArticRulExpEvnt.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticRul;
class CArticSrchEvnt;
class CArticWrk;
class CKPSManager;

using CArticRulDataValArray = CTypedPtrArray<CObArray, CArticRulDataVal*>;
using CArticRulDataStrArray = CTypedPtrArray<CObArray, CArticRulDataStr*>;
using CArticRulDataAryArray = CTypedPtrArray<CObArray, CArticRulDataAry*>;
using CArticRulDataVAryArray = CTypedPtrArray<CObArray, CArticRulDataVAry*>;
using CArticSrchEvntArray = CTypedPtrArray<CObArray, CArticSrchEvnt*>;
using CArticSrchEvntList = CTypedPtrList<CObList, CArticSrchEvnt*>;
using CArticRulExpEvntArray = CTypedPtrArray<CObArray, CArticRulExpEvnt*>;
using CArticRulExpEvntList = CTypedPtrList<CObList, CArticRulExpEvnt*>;

class CArticRulSet : public CObject {
    VX_DECLARE_CLASS(CArticRulSet)
public:
    CArticRulSet(CArticRul* rul, CArticWrk* wrk);
    ~CArticRulSet() override;
    CArticRulSet(const CArticRulSet&) = delete;
    CArticRulSet& operator=(const CArticRulSet&) = delete;

    // Renews the single variables and empties every array and list; the set
    // number becomes -1 and the counters 0 (HasExp stays).
    virtual void Clear();
    // Forget the notes the variables hold, keeping the variables.
    virtual void ClearOnlyEvntOfDataEvntArray();
    virtual void ClearOnlyEvntOfDataAryArray();
    virtual void ClearOnlyEvntOfDataVAryArray();

    // ---- Owner, work data, host
    virtual CArticRul* GetRul() const { return m_pRul; }
    virtual int GetWrk(CArticWrk** wrk) const;
    virtual CArticWrk* GetWrk() const { return m_pWrk; }
    virtual CKPSManager* GetCEditor() const;
    virtual void SetRul(CArticRul* rul) { m_pRul = rul; }
    virtual void SetWrk(CArticWrk* wrk) { m_pWrk = wrk; }

    // ---- Scalar fields
    virtual int GetSetNo() const { return m_SetNo; }
    virtual CString GetName() const { return m_pName ? *m_pName : CString(); }
    virtual int GetDirection() const { return m_Direction; }
    virtual int GetBreak() const { return m_Break; }
    virtual BYTE GetErrKind() const { return m_ErrKind; }
    virtual int GetHasExp() const { return m_HasExp; }
    virtual void SetSetNo(int no) { m_SetNo = no; }
    virtual void SetName(const CString* name);
    virtual void SetDirection(int dir) { m_Direction = dir; }
    virtual void SetBreak(int brk) { m_Break = brk; }
    virtual void SetErrKind(BYTE kind) { m_ErrKind = kind; }
    virtual void SetHasExp(int has) { m_HasExp = has; }

    // ---- Variables. Lookups by number give null for a number outside the
    // array (a negative one included) or an empty slot; the out-parameter
    // forms return 1 when found.
    virtual int GetDataEvnt(int no, CArticRulDataEvnt** var) const;
    virtual int GetDataEvnt(CArticRulDataEvnt** var) const;  // _thisEvnt
    virtual CArticRulDataEvnt* GetDataEvnt(int no) const;
    virtual CArticRulDataEvnt* GetDataEvnt() const { return m_pDataEvnt; }
    virtual int GetDataVal(int no, CArticRulDataVal** var) const;
    virtual int GetDataVal(CArticRulDataVal** var) const;  // the #prob value
    virtual CArticRulDataVal* GetDataVal(int no) const;
    // The note's probability: the #prob value now, or 0 after a break. 1 without #prob value.
    virtual int GetDataVal(double* prob) const;
    virtual CArticRulDataVal* GetDataVal() const { return m_pDataVal; }
    virtual int GetDataExv(CArticRulDataExv** var) const;
    virtual int GetDataExv(double* value) const;
    virtual CArticRulDataExv* GetDataExv() const { return m_pDataExv; }
    virtual int GetDataSrchd(CArticRulDataSrchd** var) const;
    virtual CArticRulDataSrchd* GetDataSrchd() const { return m_pDataSrchd; }
    virtual int GetDataStr(int no, CArticRulDataStr** var) const;
    virtual CArticRulDataStr* GetDataStr(int no) const;
    virtual int GetDataAry(int no, CArticRulDataAry** var) const;
    virtual CArticRulDataAry* GetDataAry(int no) const;
    virtual int GetDataVAry(int no, CArticRulDataVAry** var) const;
    virtual CArticRulDataVAry* GetDataVAry(int no) const;
    virtual int GetSrchEvnt(int no, CArticSrchEvnt** call) const;
    virtual CArticSrchEvnt* GetSrchEvnt(int no) const;
    virtual int GetRulExpEvnt(int no, CArticRulExpEvnt** line) const;
    virtual CArticRulExpEvnt* GetRulExpEvnt(int no) const;
    virtual CArticSrchEvntList* GetSrchEvntList() const { return m_pSrchEvntList; }
    virtual CArticRulExpEvntList* GetRulExpEvntList() const { return m_pRulExpEvntList; }

    // ---- The current note
    virtual int GetWrkEvnt(CArticWrkEvnt** note) const;
    virtual CArticWrkEvnt* GetWrkEvnt() const;
    // Binds the note to _thisEvnt (note-ons only): 0; 1 without _thisEvnt.
    virtual int SetWrkEvnt(CArticWrkEvnt* note);
    // Marks the set's exv numbers on the current note: 1; 0 without exv list.
    virtual int SetDataExv(int value);

    // ---- Registration by the object's own number: 1, or 0 for a null
    // object, a missing array, a taken slot or a number past kMaxRulIndex.
    virtual int SetDataEvnt(CArticRulDataEvnt* var);
    virtual int SetDataVal(CArticRulDataVal* var);
    virtual int SetDataStr(CArticRulDataStr* var);
    virtual int SetDataAry(CArticRulDataAry* var);
    virtual int SetDataVAry(CArticRulDataVAry* var);
    virtual int SetSrchEvnt(CArticSrchEvnt* call);
    virtual int SetRulExpEvnt(CArticRulExpEvnt* line);
    // Appends to the call list: 1; 0 when the list or the call is missing.
    virtual int AddTailSrchEvntList(CArticSrchEvnt* call);
    virtual int AddTailRulExpEvntList(CArticRulExpEvnt* line);

    // ---- Error information left by the built-ins during a run
    virtual CString GetErrInfo() const { return m_pErrInfo ? *m_pErrInfo : CString(); }
    virtual int IsErrInfo() const { return m_pErrInfo && !m_pErrInfo->IsEmpty(); }
    virtual void SetErrInfo(const CString* text);
    virtual void ClearErrInfo();
    // Records an error entry (class = this set's class), shows the error
    // dialog, and records a non-empty detail as its own line.
    virtual void DispErrMsg(const CString& caption, const CString& message, const CString& function,
                            const CString& detail);

    using CObject::GetClassNameA;
    virtual void GetClassNameA(CString* name) const;

protected:
    template <class T>
    using Array = CTypedPtrArray<CObArray, T*>;

    template <class T>
    static T* Lookup(const Array<T>* array, int no);
    template <class T>
    static int Register(Array<T>* array, T* object, ULONG no);
    template <class T>
    static void DeleteItems(Array<T>* array);

    virtual void NewSingles();
    virtual void DeleteSingles();

private:
    CArticRul* m_pRul;  // not owned
    CArticWrk* m_pWrk;  // not owned
    int m_SetNo = -1;
    CString* m_pName;  // owned
    int m_Direction = 0;
    int m_Break = 0;
    int m_SubCallCount = 0;
    CArticRulDataEvnt* m_pDataEvnt = nullptr;    // owned: _thisEvnt
    CArticRulDataVal* m_pDataVal = nullptr;      // owned: #prob
    CArticRulDataExv* m_pDataExv = nullptr;      // owned: #exv
    CArticRulDataSrchd* m_pDataSrchd = nullptr;  // owned: searched
    CArticRulDataEvntArray* m_pDataEvntArray;    // owned, with its variables
    CArticRulDataValArray* m_pDataValArray;      // owned, with its variables
    CArticRulDataStrArray* m_pDataStrArray;      // owned, with its variables
    CArticRulDataAryArray* m_pDataAryArray;      // owned, with its variables
    CArticRulDataVAryArray* m_pDataVAryArray;    // owned, with its variables
    CArticSrchEvntArray* m_pSrchEvntArray;       // owned, with its built-ins
    CArticSrchEvntList* m_pSrchEvntList;         // owned list; calls owned by the arrays
    CArticRulExpEvntArray* m_pRulExpEvntArray;   // owned, with its lines
    CArticRulExpEvntList* m_pRulExpEvntList;     // owned list; lines owned by the array
    BYTE m_ErrKind = 0;
    CString* m_pErrInfo;  // owned
    int m_HasExp = 0;
};
