#pragma once
// A subroutine block ("#sub:N"): a rule set with a number of its own and
// numbered input and output parameters, found by that number when a set
// calls it.
//
// A block loads in the set's two phases from lines "#sub:N", "#name:",
// "#inK:", "#outK:", value, text and event lines, built-in calls and calls
// of other subroutines; it never fires and carries no probability, so
// "#set", "#exv", "#searched", "#prob" and "#exp" lines are refused.
#include "engine/rules/ArticRulDataInOut.h"
#include "engine/rules/ArticRulSet.h"

using CArticRulDataInArray = CTypedPtrArray<CObArray, CArticRulDataIn*>;
using CArticRulDataOutArray = CTypedPtrArray<CObArray, CArticRulDataOut*>;

class CArticRulSub : public CArticRulSet {
    VX_DECLARE_CLASS(CArticRulSub)
public:
    CArticRulSub(CArticRul* rul, CArticWrk* wrk);
    ~CArticRulSub() override;
    CArticRulSub(const CArticRulSub&) = delete;
    // Assigns the set part and the number; the parameters become new ones
    // bound to this subroutine's own variables of the same class and number.
    CArticRulSub& operator=(const CArticRulSub& src);

    // Loads the block's lines in both phases: 0, or the last faulty line's
    // result. A number already used in the program is not an error.
    virtual int Load(CStringList& lines);
    int LoadLine1(CExString& line, int* setNoInUse) override;
    int LoadLine2(CExString& line, int* setNoInUse) override;
    void DispLoadErrMsg(const CString& phase, const CString& line, int result) override;
    void DispSrchErrMsg(CArticSrchEvnt* call, int failed) override;

    // Nesting of the calls of this subroutine now running (0 when idle): a
    // call chain that comes back to a running subroutine is refused.
    int GetRunning() const { return m_Running; }
    void SetRunning(int running) { m_Running = running; }

    // The set part is cleared, the number becomes -1 and both parameter
    // arrays are emptied.
    void Clear() override;
    virtual int GetSubNo() const { return m_SubNo; }
    virtual void SetSubNo(int no) { m_SubNo = no; }

    // Number of parameters (non-empty slots).
    virtual int GetInCount() const;
    virtual int GetOutCount() const;
    // Parameter K; null when K is outside the array or the slot is empty.
    virtual int GetDataIn(int no, CArticRulDataIn** param) const;
    virtual CArticRulDataIn* GetDataIn(int no) const;
    virtual int GetDataOut(int no, CArticRulDataOut** param) const;
    virtual CArticRulDataOut* GetDataOut(int no) const;
    // Stores the parameter at its number (the array grows in steps of 5):
    // 1; 0 for a null parameter, a missing array or a taken slot.
    virtual int SetDataIn(CArticRulDataIn* param);
    virtual int SetDataOut(CArticRulDataOut* param);

protected:
    int CheckHeader(CExString& head, CExString& body, CExString& keyword, CExString& member, int& number,
                    int phase1, int* setNoInUse) override;
    virtual int CheckInParam(CExString& body);
    virtual int CheckOutParam(CExString& body);
    virtual int MakeInInfo(CExString& body, CExString& keyword, int number);
    virtual int MakeOutInfo(CExString& body, CExString& keyword, int number);
    virtual void NewDataInArray();
    virtual void NewDataOutArray();
    virtual void DeleteDataInArray();
    virtual void DeleteDataOutArray();
    virtual void ClearDataInArray();
    virtual void ClearDataOutArray();
    virtual void CopyDataInArray(const CArticRulDataInArray* src);
    virtual void CopyDataOutArray(const CArticRulDataOutArray* src);

private:
    // The variable of this subroutine named by a "_valM"-style body token
    // (declared on first sight by an input line when declare is set): null
    // when the token names no value, note, text, array or value-array variable.
    CArticRulData* ParamVariable(CExString& body, bool declare, bool* refused);
    // This subroutine's variable of var's class and number.
    CArticRulData* OwnVariable(const CArticRulData* var) const;

    int m_SubNo = -1;
    int m_Running = 0;
    CArticRulDataInArray* m_pDataInArray;    // owned, with its parameters
    CArticRulDataOutArray* m_pDataOutArray;  // owned, with its parameters
};
