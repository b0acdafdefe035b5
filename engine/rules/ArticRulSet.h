#pragma once
// One rule set ("#set:" block): its variables by number, its built-in and
// subroutine calls and its expression lines, the variable _thisEvnt bound to
// the note being looked at, and the run-time error state the built-ins
// report into.
//
// A set loads from its lines in two phases: phase 1 checks every line and
// declares the variables, phase 2 builds the stored form of every line
// (arithmetic element lists, built-ins, subroutine calls, expression lines).
// Every faulty line is reported with the set number and the raw line. A
// loaded set runs its calls in line order on one note and yields the note's
// probability and the texts of its expression lines.
#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/rules/ArticRulExpEvnt.h"
#include "engine/rules/ArticRulUtil.h"
#include "engine/work/ExString.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticRul;
class CArticRulSub;
class CArticSrchEvnt;
class CArticSrchSubRoutine;
class CArticWrk;
class CKPSManager;

using CArticRulDataValArray = CTypedPtrArray<CObArray, CArticRulDataVal*>;
using CArticRulDataStrArray = CTypedPtrArray<CObArray, CArticRulDataStr*>;
using CArticRulDataAryArray = CTypedPtrArray<CObArray, CArticRulDataAry*>;
using CArticRulDataVAryArray = CTypedPtrArray<CObArray, CArticRulDataVAry*>;
using CArticSrchEvntArray = CTypedPtrArray<CObArray, CArticSrchEvnt*>;
using CArticSrchEvntList = CTypedPtrList<CObList, CArticSrchEvnt*>;
using CArticSrchSubRoutineArray = CTypedPtrArray<CObArray, CArticSrchSubRoutine*>;
using CArticRulExpEvntArray = CTypedPtrArray<CObArray, CArticRulExpEvnt*>;
using CArticRulExpEvntList = CTypedPtrList<CObList, CArticRulExpEvnt*>;

class CArticRulSet : public CObject {
    VX_DECLARE_CLASS(CArticRulSet)
public:
    CArticRulSet(CArticRul* rul, CArticWrk* wrk);
    ~CArticRulSet() override;
    CArticRulSet(const CArticRulSet&) = delete;
    // Makes this set a copy of src that reads and writes only its own
    // variables; the owner program and the work model stay. The built-ins are
    // made again through the factory.
    CArticRulSet& operator=(const CArticRulSet& src);

    // ---- Loading
    // Loads the set from its lines (Clear first): 0, or the result of the last
    // faulty line. *setNoInUse is or-ed with 1 when the "#set" number is
    // already used by a set of the owner program. No line: 1, no report.
    virtual int Load(CStringList& lines, int* setNoInUse);
    // Phase 1 (check and declare) and phase 2 (build) of one prepared line:
    // 0, or nonzero for a faulty line. Phase 2 consumes the line.
    virtual int LoadLine1(CExString& line, int* setNoInUse);
    virtual int LoadLine2(CExString& line, int* setNoInUse);

    // ---- Running
    // Binds the note, then runs the call list on it.
    virtual int Search(CArticWrkEvnt* note);
    // Runs the calls in line order on the bound note until one breaks the
    // set; a call that leaves an error text is reported. 1 without a note.
    virtual int Search();
    // The expression texts of the lines whose condition holds for the note,
    // and the "Mstr" flag of the last line with a text: 0, or 1 when no text.
    virtual int GetExpEvnt(CStringList& texts, int* master);
    virtual int GetExpEvnt(CStringList& texts);
    // Marks the notes the expression lines (without "nSrch") and the
    // "searched" line name as searched by this set.
    virtual int SetSearchFlag(int flag);

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
    virtual int GetSubRoutine(int no, CArticSrchSubRoutine** call) const;
    virtual CArticSrchSubRoutine* GetSubRoutine(int no) const;
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
    virtual int SetSubRoutine(CArticSrchSubRoutine* call);
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
    // The report of one faulty line (nothing for result 0).
    virtual void DispLoadErrMsg(const CString& phase, const CString& line, int result);
    // The report of a call that failed during a run (nothing unless failed).
    virtual void DispSrchErrMsg(CArticSrchEvnt* call, int failed);

    using CObject::GetClassNameA;
    virtual void GetClassNameA(CString* name) const;

protected:
    // The line's head token and body: false when the head is missing or
    // does not begin with '#'; *comment for a head that begins with ';'.
    // body may be the line itself, which then loses its head.
    static bool SplitHead(const CExString& line, CExString& head, CExString& body, bool* comment);
    template <class T>
    using Array = CTypedPtrArray<CObArray, T*>;

    // The object in slot no; null outside the array or for an empty slot.
    template <class T>
    static T* Lookup(const Array<T>* array, int no) {
        if (!array || no < 0 || no >= array->GetSize()) return nullptr;
        return array->GetAt(no);
    }
    // Stores object in slot no, growing the array in steps of 5: 1; 0 for a
    // null object, a missing array, a taken slot or a number past the limit.
    template <class T>
    static int Register(Array<T>* array, T* object, ULONG no) {
        if (!array || !object) return 0;
        if (!CArticRulUtil::GrowFor(*array, no)) return 0;
        if (array->GetAt(int(no))) return 0;
        array->SetAt(int(no), object);
        return 1;
    }
    // Deletes every object of the array and empties it.
    template <class T>
    static void DeleteItems(Array<T>* array) {
        if (!array) return;
        for (int i = 0; i < array->GetSize(); ++i) delete array->GetAt(i);
        array->RemoveAll();
    }

    virtual void NewSingles();
    virtual void DeleteSingles();

    // ---- Phase 1: classifying a head and checking a body (0 good, 1 faulty)
    virtual int CheckHeader(CExString& head, CExString& body, CExString& keyword, CExString& member, int& number,
                            int phase1, int* setNoInUse);
    virtual int CheckArithmetic(CExString& body);
    virtual int CheckEvntParam(CExString& body);
    virtual int CheckStrParam(CExString& body);
    virtual int CheckExvParam(CExString& body);
    virtual int CheckSrchdParam(CExString& body);
    virtual int CheckSrchFunc(CExString& body);
    virtual int CheckSrchSubRoutine(CExString& body, int subNo);
    virtual int CheckSrchArgument(CExString& body, int inCount, const int* inMasks, int outCount,
                                  const int* outMasks);
    virtual int CheckSrchSubArgument(CExString& body, CArticRulSub* sub);
    virtual int CheckProbParam(CExString& body);
    virtual int CheckExpFunc(CExString& body);
    virtual int CheckExpArgument(CExString& body, int count, const int* masks);

    // ---- Phase 2: building a line (0 built, 1 faulty)
    // The sign before the next operand: 1 for '+' or none, 0 for '-'.
    virtual int CheckSign(CExString& body, const CString& separators);
    virtual int MakeArithmetic(CExString& body, CExString& keyword, int& number);
    virtual int SetArithmetic(CExString& body, CArticRulElmList* list);
    virtual int MakeProbParam(CExString& body, CExString& keyword, int& number);
    virtual int MakeStrInfo(CExString& body, CExString& keyword, int& number);
    virtual int MakeEvntInfo(CExString& body, CExString& keyword, int& number);
    virtual int MakeSrchdParam(CExString& body);
    virtual int SetSrchdParam(CExString& body, CArticRulElmList* list);
    virtual int MakeSrchFunc(CExString& body, CExString& keyword, int& number);
    virtual int MakeSrchArgument(CExString& body, CExString& className, ULONG funcNo, int inCount,
                                 const int* inMasks, int outCount, const int* outMasks);
    virtual int MakeSrchSubRoutine(CExString& body, CExString& keyword, int& number);
    virtual int MakeSrchSubArgment(CExString& body, CArticRulSub* sub, CArticSrchSubRoutine* call);
    virtual int MakeExpFunc(CExString& body, CExString& keyword, int& number);
    virtual int MakeExpArgument(CExString& body, CArticRulElmList* list);

    // ---- Copying from another set
    virtual void CopyDataEvntArray(const CArticRulDataEvntArray* src);
    virtual void CopyDataValArray(const CArticRulDataValArray* src);
    virtual void CopyDataStrArray(const CArticRulDataStrArray* src);
    virtual void CopyDataAryArray(const CArticRulDataAryArray* src);
    virtual void CopyDataVAryArray(const CArticRulDataVAryArray* src);
    virtual void CopySrchEvntArray(const CArticSrchEvntArray* src);
    virtual void CopySubRoutineArray(const CArticSrchSubRoutineArray* src);
    virtual void CopySrchEvntList(const CArticSrchEvntList* src);
    virtual void CopyRulExpEvntArray(const CArticRulExpEvntArray* src);
    virtual void CopyRulExpEvntList(const CArticRulExpEvntList* src);

    // One operand token taken apart (ArticRulSetOperand.h).
    struct Operand;

private:
    enum class ArgUse { Arith, Func, Sub, Exp };
    // Fills elm for one operand token in its context: 0, or 1 when refused.
    // *evntOperand tells an event reference (a note or a relation).
    int FillElm(Operand& op, ArgUse use, CArticRulElm* elm, bool* evntOperand);
    // The variable of this set that stands where var stands in another set
    // (var itself when it is this set's, null when there is none).
    CArticRulData* Counterpart(CArticRulData* var) const;
    // Points the elements of list (nested lists too) at this set's variables.
    void RedirectElms(CArticRulElmList* list) const;

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
    CArticSrchSubRoutineArray* m_pSubRoutineArray;  // owned, with its calls
    CArticSrchEvntList* m_pSrchEvntList;         // owned list; calls owned by the arrays
    CArticRulExpEvntArray* m_pRulExpEvntArray;   // owned, with its lines
    CArticRulExpEvntList* m_pRulExpEvntList;     // owned list; lines owned by the array
    BYTE m_ErrKind = 0;
    CString* m_pErrInfo;  // owned
    int m_HasExp = 0;
    int m_GroupDepth = 0;  // parenthesised groups open while an arithmetic line is built
};
