#pragma once
// A subroutine block ("#sub:N"): a rule set with a number of its own and
// numbered input and output parameters, found by that number when a set
// calls it.
//
// This holds what the rule program and a calling set's loader need of it:
// the number and the parameters. Loading the block and running a call come
// on top.
#include "engine/rules/ArticRulDataInOut.h"
#include "engine/rules/ArticRulSet.h"

using CArticRulDataInArray = CTypedPtrArray<CObArray, CArticRulDataIn*>;
using CArticRulDataOutArray = CTypedPtrArray<CObArray, CArticRulDataOut*>;

class CArticRulSub : public CArticRulSet {
    VX_DECLARE_CLASS(CArticRulSub)
public:
    CArticRulSub(CArticRul* rul, CArticWrk* wrk);
    ~CArticRulSub() override;

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

private:
    int m_SubNo = -1;
    CArticRulDataInArray* m_pDataInArray;    // owned, with its parameters
    CArticRulDataOutArray* m_pDataOutArray;  // owned, with its parameters
};
