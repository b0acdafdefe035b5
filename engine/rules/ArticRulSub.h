#pragma once
// A subroutine block ("#sub:N"): a rule set with a number of its own, found
// by that number when a set calls it.
//
// This holds what the rule program needs of it; its parameters, loading
// and running come on top.
#include "engine/rules/ArticRulSet.h"

class CArticRulSub : public CArticRulSet {
    VX_DECLARE_CLASS(CArticRulSub)
public:
    CArticRulSub(CArticRul* rul, CArticWrk* wrk) : CArticRulSet(rul, wrk) {}

    // The set part is cleared and the number becomes -1.
    void Clear() override;
    virtual int GetSubNo() const { return m_SubNo; }
    virtual void SetSubNo(int no) { m_SubNo = no; }

private:
    int m_SubNo = -1;
};
