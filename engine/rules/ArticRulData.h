#pragma once
// The variables of a rule set: the common base, value variables (whose
// value is an arithmetic element list evaluated strictly left to right on
// every read), the "searched" list, text variables and the exv number list.
#include "engine/rules/ArticData.h"
#include "engine/rules/ArticRulElm.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

#include <vector>

class CArticRulSet;
class CArticWrkEvnt;

class CArticRulData : public CObject {
    VX_DECLARE_CLASS(CArticRulData)
public:
    CArticRulData(CArticRulSet* set, ULONG no) : m_pRulSet(set), m_DataNo(no) {}
    ~CArticRulData() override = default;

    using CObject::GetClassNameA;
    virtual void GetClassNameA(CString* name) const;
    virtual int GetRulSet(CArticRulSet** set) const;
    virtual CArticRulSet* GetRulSet() const { return m_pRulSet; }
    virtual ULONG GetDataNo() const { return m_DataNo; }
    virtual void SetRulSet(CArticRulSet* set) { m_pRulSet = set; }
    virtual void SetDataNo(ULONG no) { m_DataNo = no; }

protected:
    // Copies of a variable keep their own set and number: assignment copies payload only.
    CArticRulData(const CArticRulData&) = default;
    CArticRulData& operator=(const CArticRulData&) { return *this; }

    // The set's current note (null without set or note), taken without
    // touching any error flag.
    CArticWrkEvnt* CurrentNote() const;
    // Reports a failure met while this variable is read during a rule run:
    // an error entry naming the set and the variable (its script name, e.g. "val2").
    void ReportRunErr(const CString& message, const CString& function, const CString& varName) const;
    // The variable's script name: kind and number ("val2", "ary1"), or
    // "thisEvnt" for the set's current-note variable.
    CString Label(const char* kind) const;

private:
    CArticRulSet* m_pRulSet;  // not owned
    ULONG m_DataNo;
};

// A value variable: #valN lines, &_valN outputs, subroutine value
// parameters and the set's #prob value.
class CArticRulDataVal : public CArticRulData {
    VX_DECLARE_CLASS(CArticRulDataVal)
public:
    CArticRulDataVal(CArticRulSet* set, ULONG no);
    ~CArticRulDataVal() override;
    CArticRulDataVal(const CArticRulDataVal&) = delete;
    // Replaces each list by deep copies of the source's (a missing source list leaves ours).
    CArticRulDataVal& operator=(const CArticRulDataVal& src);

    // The value of the element list now. A list that divides by zero, or that
    // reaches itself again through the value variables it names, gives 0.0
    // and is reported.
    virtual double GetData();
    virtual int GetRulElmList(CArticRulElmList** list) const;
    virtual CArticRulElmList* GetRulElmList() const { return m_pRulElmList; }
    virtual int GetExvNoList(CArticDataList** list) const;
    virtual CArticDataList* GetExvNoList() const { return m_pExvNoList; }
    virtual int GetInvNoList(CArticDataList** list) const;
    virtual CArticDataList* GetInvNoList() const { return m_pInvNoList; }
    // 0 when the set's current note carries a listed exv number, else 1.
    virtual int GetExv() const;
    // 1 when the inv list is empty or the current note carries a listed number, else 0.
    virtual int GetInv() const;
    // Deletes the current list and takes the given one over.
    virtual void SetRulElmList(CArticRulElmList* list);
    // The list becomes one constant element holding value.
    virtual void SetData(double value);
    // 0; 1 when the list is missing.
    virtual int AddExvNo(int no);
    virtual int AddInvNo(int no);
    // The first element's constant becomes value: 0; 1 when the list has no element.
    virtual int ReplaceProb(double value);

    // True when the element list reaches this variable again through the
    // value variables it names (directly or inside groups). Lets a loader
    // refuse such a line before it is ever evaluated.
    bool IsCyclic() const;

    // True when the resolved form of the element list (below) is built and
    // matches the list as it is now. Reading the value builds it when not.
    bool IsResolvedCurrent() const;
    // The value without a walk when the list resolved to one constant and
    // has not changed since (false otherwise: read it with GetData).
    bool ReadResolvedConstant(double* value) const {
        if (m_Evaluating || !m_pConst || !ResolvedCurrent()) return false;
        *value = m_pConst->GetData() * m_ConstFactor;
        return true;
    }

protected:
    virtual void NewRulElmList();
    virtual void NewExvNoList();
    virtual void NewInvNoList();
    virtual void DeleteRulElmList();
    virtual void DeleteExvNoList();
    virtual void DeleteInvNoList();
    virtual void ClearRulElmList();
    virtual void ClearExvNoList();
    virtual void ClearInvNoList();
    virtual void CopyRulElmList(const CArticRulElmList* src);
    virtual void CopyExvNoList(const CArticDataList* src);
    virtual void CopyInvNoList(const CArticDataList* src);
    // The value of any element list, read as GetData() reads its own.
    virtual double GetData(const CArticRulElmList* list);

    // The script name of the variable in reports: "prob" for the set's #prob value.
    CString VarName() const;

private:
    enum class Eval { Value, NoValue, Failed };
    Eval EvalList(const CArticRulElmList* list, double* result);
    Eval EvalElement(const CArticRulElm* elm, double* value);
    bool Reaches(const CArticRulElmList* list, const CArticRulDataVal* target, int depth) const;

    // The element list resolved once: the elements that have a value, in
    // order, each with what it reads (the constant, a variable, a note
    // member) known in advance; a group is its own run of terms. Elements
    // without a value are left out, which is what the walk does with them.
    // Data and the variables' values are still read at evaluation.
    struct Term {
        enum Kind : BYTE { Constant, Value, Exv, Member, Group };
        const CArticRulElm* elm;  // the element itself (Data, sign factor)
        CArticRulData* var;       // the variable it names, or null
        Kind kind;
        BYTE member;              // note member code for Member
        BYTE sign;                // the operator written after the element
        double factor;            // +1.0, or -1.0 under a unary minus
        int end;                  // Group: index just past the group's terms
    };
    // A list the resolved form was built from, with what it held then.
    struct ListShape {
        const CArticRulElmList* list;
        int count;
        const CArticRulElm* head;
        const CArticRulElm* tail;
    };
    static bool SameShape(const ListShape& shape) {
        const int now = shape.list->GetCount();
        return now == shape.count && (now == 0 || (shape.list->GetHead() == shape.head && shape.list->GetTail() == shape.tail));
    }
    bool ResolvedCurrent() const {
        // Any element made, dropped or changed in its shape anywhere moves the
        // stamp; a list changed through its own pointer (an element added,
        // moved or taken out) shows in its count or its ends.
        if (!m_Resolved || m_ResolvedStamp != CArticRulElm::ShapeStamp() || m_Own.list != m_pRulElmList ||
            !SameShape(m_Own))
            return false;
        for (const ListShape& group : m_Groups)
            if (!SameShape(group)) return false;
        return true;
    }
    void Resolve();
    __attribute__((noinline, cold)) void ReportSelfReference() const;
    __attribute__((noinline, cold)) void ReportDivByZero() const;
    // SetData for a list that is not one element yet.
    __attribute__((noinline)) void SetDataInList(double value);
    void ResolveList(const CArticRulElmList* list);
    Eval EvalTerms(int begin, int end, double* result);
    // The value of the own list through the resolved form, reporting as the walk does.
    Eval EvalOwn(double* result);

    std::vector<Term> m_Terms;
    std::vector<ListShape> m_Groups;  // the group lists the terms came from
    ListShape m_Own{};                // the own list the terms came from
    const CArticRulElm* m_pConst = nullptr;  // the only term, when it is a constant
    double m_ConstFactor = 1.0;
    unsigned long m_ResolvedStamp = 0;
    bool m_Resolved = false;

    CArticRulElmList* m_pRulElmList = nullptr;  // owned, with its elements
    CArticDataList* m_pExvNoList = nullptr;     // owned, with its items
    CArticDataList* m_pInvNoList = nullptr;     // owned, with its items
    bool m_Evaluating = false;                  // guards against a list that reaches itself
};

// The set's list of note references from its "searched" line.
class CArticRulDataSrchd : public CArticRulDataVal {
    VX_DECLARE_CLASS(CArticRulDataSrchd)
public:
    CArticRulDataSrchd(CArticRulSet* set, ULONG no) : CArticRulDataVal(set, no) {}
    CArticRulDataSrchd& operator=(const CArticRulDataSrchd& src) {
        CArticRulDataVal::operator=(src);
        return *this;
    }

    using CArticRulDataVal::GetData;
    double GetData() override { return 0.0; }
    void SetData(double) override {}
    // Marks every listed note searched under the set's number: 0; 1 without list or set.
    virtual int SetSearchFlag(int flag);

protected:
    // The note an element names: 0 when found. A missing note does not
    // count as an error here: a flag it raised is cleared again.
    virtual int GetWrkEvnt(const CArticRulElm* elm, CArticWrkEvnt** note);
};

// A text variable: #strN lines and &_strN outputs.
class CArticRulDataStr : public CArticRulData {
    VX_DECLARE_CLASS(CArticRulDataStr)
public:
    CArticRulDataStr(CArticRulSet* set, ULONG no) : CArticRulData(set, no) {}
    CArticRulDataStr& operator=(const CArticRulDataStr& src) {
        m_Text = src.m_Text;
        return *this;
    }

    virtual CString GetData() const { return m_Text; }
    virtual void SetData(const CString* text) {
        if (text) m_Text = *text;
    }

private:
    CString m_Text;
};

// The set's #exv numbers: a view of numbered exv flags on the current note.
class CArticRulDataExv : public CArticRulData {
    VX_DECLARE_CLASS(CArticRulDataExv)
public:
    CArticRulDataExv(CArticRulSet* set, ULONG no);
    ~CArticRulDataExv() override;
    CArticRulDataExv(const CArticRulDataExv&) = delete;
    CArticRulDataExv& operator=(const CArticRulDataExv& src);

    virtual int GetElmList(CArticDataList** list) const;
    virtual CArticDataList* GetElmList() const { return m_pElmList; }
    // 1.0 when a listed number (0 or more) is set on the current note, else 0.0.
    virtual double GetData() const;
    virtual int IsExist() const;
    // Marks every listed number (0 or more) on the current note with value.
    virtual void SetData(int value);
    virtual void SetElmList(CArticDataList* list);
    // 0; 1 when the list is missing.
    virtual int AddTailElm(int no);

protected:
    virtual void NewElmList();
    virtual void DeleteElmList();
    virtual void ClearElmList();
    virtual void CopyElmList(const CArticDataList* src);

private:
    CArticDataList* m_pElmList = nullptr;  // owned, with its items
};
