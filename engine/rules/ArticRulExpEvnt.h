#pragma once
// One "#expK" line of a rule set or init block: the expression class to
// create, its argument elements, an optional condition value and the
// "nSrch" / "Mstr" words. It renders the expression text for the current
// note and marks the notes it names as searched.
#include "engine/rules/ArticRulElm.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticRulDataVal;
class CArticRulSet;
class CArticWrkEvnt;

class CArticRulExpEvnt : public CObject {
    VX_DECLARE_CLASS(CArticRulExpEvnt)
public:
    CArticRulExpEvnt(CArticRulSet* set, ULONG no);
    ~CArticRulExpEvnt() override;
    CArticRulExpEvnt(const CArticRulExpEvnt&) = delete;
    // Copies the class name, the argument list (when the source has one),
    // the condition and both flags; the set and the number stay.
    CArticRulExpEvnt& operator=(const CArticRulExpEvnt& src);

    using CObject::GetClassNameA;
    virtual void GetClassNameA(CString* name) const;
    virtual CArticRulSet* GetRulSet() const { return m_pRulSet; }
    virtual ULONG GetEvntNo() const { return m_DataNo; }
    virtual CString GetExpEvntName() const { return m_pExpEvntName ? *m_pExpEvntName : CString(); }
    // "Class(arg, arg, ...)" for the current note; empty without a class name.
    virtual CString GetExpEvnt();
    virtual int GetRulElmList(CArticRulElmList** list) const;
    virtual CArticRulElmList* GetRulElmList() const { return m_pRulElmList; }
    virtual int GetRulDataVal(CArticRulDataVal** cond) const;
    virtual CArticRulDataVal* GetRulDataVal() const { return m_pCond; }
    // The condition's value now, or 1.0 without condition.
    virtual double GetCreateFlag();
    virtual int GetSearched() const { return m_Searched; }
    virtual int GetMstr() const { return m_Mstr; }

    virtual void SetRulSet(CArticRulSet* set) { m_pRulSet = set; }
    virtual void SetDataNo(ULONG no) { m_DataNo = no; }
    virtual void SetExpEvntName(CString name);
    virtual void SetRulElmList(CArticRulElmList* list);
    // Marks the notes that list names (event variables, the notes of arrays,
    // nested lists), other than note, as searched under the set's number: 0.
    virtual int SetSearchFlag(CArticWrkEvnt* note, const CArticRulElmList* list, int flag);
    // The same over the own arguments and the set's current note; 1 when the
    // list, the set or the current note is missing.
    virtual int SetSearchFlag(int flag);
    virtual void SetRulDataVal(CArticRulDataVal* cond) { m_pCond = cond; }
    virtual void SetSearched(int searched) { m_Searched = searched; }
    virtual void SetMstr(int mstr) { m_Mstr = mstr; }

protected:
    virtual void NewRulElmList();
    virtual void DeleteRulElmList();
    virtual void ClearRulElmList();
    virtual void CopyRulElmList(const CArticRulElmList* src);
    // The argument text of a list: one text per element, joined by ", ".
    virtual CString GetArgument(const CArticRulElmList* list);
    // The same text appended to out.
    void AppendArgument(const CArticRulElmList* list, CString* out);

private:
    // The text of one argument; false when the element renders nothing.
    bool RenderElement(const CArticRulElm* elm, int* lastArrayCount, CString* text);

    CArticRulSet* m_pRulSet;                    // not owned
    ULONG m_DataNo;
    CArticRulDataVal* m_pCond = nullptr;        // not owned
    int m_Searched = 1;
    int m_Mstr = 0;
    CString* m_pExpEvntName;                    // owned
    CArticRulElmList* m_pRulElmList = nullptr;  // owned, with its elements
};
