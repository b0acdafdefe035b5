#pragma once
// One "#subN(...)" line of a rule set: a call of subroutine N that runs in
// the set's call list among the built-ins. It holds the subroutine number,
// the input arguments and the output references in call order, and an
// optional condition value that guards the call.
//
// Running the call moves the arguments into the subroutine's parameters,
// runs the subroutine on the caller's note under the caller's set number and
// moves its outputs back. A call chain that comes back to a subroutine still
// running, or nests deeper than kMaxSubNest, is refused.
#include "engine/rules/ArticRulElm.h"
#include "engine/rules/ArticSrchEvnt.h"

class CArticRulDataVal;

class CArticSrchSubRoutine : public CArticSrchEvnt {
public:
    static constexpr int kMaxSubNest = 64;

    VX_DECLARE_CLASS(CArticSrchSubRoutine)
public:
    // callNo: the call's position among the set's subroutine calls (0, 1, ...).
    CArticSrchSubRoutine(CArticRulSet* set, ULONG callNo);
    ~CArticSrchSubRoutine() override;
    CArticSrchSubRoutine(const CArticSrchSubRoutine&) = delete;
    // Copies the subroutine number, deep-copies both argument lists and takes
    // the condition; the set and the call number stay.
    CArticSrchSubRoutine& operator=(const CArticSrchSubRoutine& src);

    virtual int GetSubNo() const { return m_SubNo; }
    virtual int GetRulElmInList(CArticRulElmList** list) const;
    virtual CArticRulElmList* GetRulElmInList() const { return m_pRulElmInList; }
    virtual int GetRulElmOutList(CArticRulElmList** list) const;
    virtual CArticRulElmList* GetRulElmOutList() const { return m_pRulElmOutList; }
    virtual CArticRulDataVal* GetCondition() const { return m_pCondition; }
    virtual void SetSubNo(int no) { m_SubNo = no; }
    virtual void SetCondition(CArticRulDataVal* cond) { m_pCondition = cond; }

    // Runs the call: 0, or the first failure of binding the note or moving
    // an argument (a refused recursive call leaves an error text in the set).
    int Search() override;

    // The bound elements: the inputs, then the outputs, in call order.
    void GetInRulElmList(CArticRulElmList* list) override;
    void GetOutRulElmList(CArticRulElmList* list) override;

protected:
    virtual void NewRulElmInList();
    virtual void NewRulElmOutList();
    virtual void DeleteRulElmInList();
    virtual void DeleteRulElmOutList();
    virtual void ClearRulElmInList();
    virtual void ClearRulElmOutList();
    virtual void CopyRulElmInList(const CArticRulElmList* src);
    virtual void CopyRulElmOutList(const CArticRulElmList* src);

private:
    int m_SubNo = -1;
    CArticRulElmList* m_pRulElmInList = nullptr;   // owned, with its elements
    CArticRulElmList* m_pRulElmOutList = nullptr;  // owned, with its elements
    CArticRulDataVal* m_pCondition = nullptr;      // not owned
};
