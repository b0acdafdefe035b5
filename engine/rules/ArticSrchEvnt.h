#pragma once
// The interface every rule built-in implements: the owning set, the
// function number, the input and output counts, and the shared readers of
// argument elements (numbers, texts, variables, notes), the walks over a
// note's block and measure, and the error flagging a built-in reports with.
// A built-in owns one element per bound argument, copied from the caller's.
#include "engine/rules/ArticRulElm.h"
#include "engine/work/ArticWrkEvnt.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticRulDataAry;
class CArticRulDataEvnt;
class CArticRulDataStr;
class CArticRulDataVAry;
class CArticRulDataVal;
class CArticRulSet;
class CArticWrk;
class CArticWrkBlk;

// Declares the owned element of one bound argument X (I1, I2, O1, ...) with
// its three operations: GetRulElmX(CArticRulElm**) stores it and returns 1,
// GetRulElmX() returns it, SetRulElmX copies a given element into it. The
// constructor binds it with BindRulElm, the destructor frees it with
// DeleteRulElm. Leaves the access public.
#define VX_SRCH_ARG(X)                                                    \
public:                                                                   \
    virtual int GetRulElm##X(CArticRulElm** elm) const {                  \
        if (elm) *elm = m_pRulElm##X;                                     \
        return 1;                                                         \
    }                                                                     \
    virtual CArticRulElm* GetRulElm##X() const { return m_pRulElm##X; }   \
    virtual void SetRulElm##X(const CArticRulElm* elm) {                  \
        if (m_pRulElm##X && elm) *m_pRulElm##X = *elm;                    \
    }                                                                     \
                                                                          \
protected:                                                                \
    CArticRulElm* m_pRulElm##X = nullptr; /* owned */                     \
                                                                          \
public:

class CArticSrchEvnt : public CObject {
    VX_DECLARE_CLASS(CArticSrchEvnt)
public:
    CArticSrchEvnt(CArticRulSet* set, ULONG evntNo) : m_pRulSet(set), m_EvntNo(evntNo) {}
    ~CArticSrchEvnt() override = default;
    CArticSrchEvnt(const CArticSrchEvnt&) = delete;
    // Copies only the input and output counts.
    CArticSrchEvnt& operator=(const CArticSrchEvnt& src);

    virtual void NewRulElm(CArticRulElm** slot);
    virtual void DeleteRulElm(CArticRulElm** slot);

    // ---- Notes of arguments, blocks and measures: 0 when found, else 1.
    virtual int GetWrkEvnt(CArticRulElm* elm, CArticWrkEvnt** note);
    virtual int GetFirstWrkEvnt(CArticWrkEvnt* note, CArticWrkEvnt** result);
    virtual int GetFirstWrkEvnt(CArticRulElm* elm, CArticWrkEvnt** result);
    virtual int GetFirstMeasWrkEvnt(INT64 time, INT64 offset, CArticWrkEvnt** result);
    virtual int GetFirstMeasWrkEvnt(INT64 time, CArticWrkEvnt** result);
    virtual int GetFirstMeasWrkEvnt(CArticWrkEvnt* note, CArticWrkEvnt** result);
    virtual int GetFirstMeasWrkEvnt(CArticRulElm* elm, CArticWrkEvnt** result);
    virtual int GetLastWrkEvnt(CArticWrkEvnt* note, CArticWrkEvnt** result);
    virtual int GetLastWrkEvnt(CArticRulElm* elm, CArticWrkEvnt** result);
    virtual int GetLastMeasWrkEvnt(INT64 time, INT64 offset, CArticWrkEvnt** result);
    virtual int GetLastMeasWrkEvnt(INT64 time, CArticWrkEvnt** result);
    virtual int GetLastMeasWrkEvnt(CArticWrkEvnt* note, CArticWrkEvnt** result);
    virtual int GetLastMeasWrkEvnt(CArticRulElm* elm, CArticWrkEvnt** result);
    virtual int GetNextWrkEvnt(CArticWrkEvnt* note, ULONG count, CArticWrkEvnt** result);
    virtual int GetNextWrkEvnt(CArticRulElm* elm, ULONG count, CArticWrkEvnt** result);
    virtual int GetNextWrkEvnt(CArticWrkEvnt* note, CArticWrkEvnt** result);
    virtual int GetNextWrkEvnt(CArticRulElm* elm, CArticWrkEvnt** result);
    virtual int GetPrevWrkEvnt(CArticWrkEvnt* note, ULONG count, CArticWrkEvnt** result);
    virtual int GetPrevWrkEvnt(CArticRulElm* elm, ULONG count, CArticWrkEvnt** result);
    virtual int GetPrevWrkEvnt(CArticWrkEvnt* note, CArticWrkEvnt** result);
    virtual int GetPrevWrkEvnt(CArticRulElm* elm, CArticWrkEvnt** result);

    // ---- The variable an argument names (input or output alike): 0 when it
    // is of exactly that class, else 1 with out unchanged.
    virtual int GetRulDataVal(CArticRulElm* elm, CArticRulDataVal** var);
    virtual int GetRulDataStr(CArticRulElm* elm, CArticRulDataStr** var);
    virtual int GetRulDataEvnt(CArticRulElm* elm, CArticRulDataEvnt** var);
    virtual int GetRulDataAry(CArticRulElm* elm, CArticRulDataAry** var);
    virtual int GetRulDataVAry(CArticRulElm* elm, CArticRulDataVAry** var);
    // ---- Argument values: 0 and the value, or 1 with nothing written.
    virtual int GetData(CArticRulElm* elm, CString* text);
    virtual int GetData(CArticRulElm* elm, double* value);

    // Append the bound elements in argument order (the base has none).
    virtual void GetInRulElmList(CArticRulElmList* list);
    virtual void GetOutRulElmList(CArticRulElmList* list);
    using CObject::GetClassNameA;
    virtual void GetClassNameA(CString* name) const;
    virtual int GetRulSet(CArticRulSet** set) const;
    virtual CArticRulSet* GetRulSet() const { return m_pRulSet; }
    virtual ULONG GetEvntNo() const { return m_EvntNo; }
    virtual int GetInNum() const { return m_InNum; }
    virtual int GetOutNum() const { return m_OutNum; }
    virtual LONG GetErrInfo(CArticRulElm* elm);
    // Empties list, then every bound element: inputs first, in argument order.
    virtual void GetRulElmList(CArticRulElmList* list);
    virtual void SetRulSet(CArticRulSet* set) { m_pRulSet = set; }
    virtual void SetEvntNo(ULONG no) { m_EvntNo = no; }
    virtual void SetInNum(int n) { m_InNum = n; }
    virtual void SetOutNum(int n) { m_OutNum = n; }

    // ---- Error flagging
    // The error flag of an event argument.
    virtual void SetErrInfo(CArticRulElm* elm, LONG flag);
    // Reports the argument's text form ("val3", a constant) to the set; an
    // event argument reports nothing here (its flag is its report).
    virtual void SetErrInfo(CArticRulElm* elm);
    virtual void SetErrInfo(CString* text);
    // Flags the note (or the current note) as failed under the set's number.
    virtual void SetErrInfo(CArticWrkEvnt* note);
    virtual void SetErrInfo();

    // Runs the built-in once for the set's current note: 0 for success.
    // Every concrete built-in overrides it.
    virtual int Search() { return 0; }

protected:
    // Allocates the owned element of a bound argument and copies given into it.
    void BindRulElm(CArticRulElm** slot, const CArticRulElm* given);
    // The current note (without error flagging), its block and the set's work data.
    bool CurrentContext(CArticWrkEvnt** note, CArticWrkBlk** blk, CArticWrk** wrk) const;

private:
    int MeasWalk(CArticWrkEvnt* from, ULONG meas, bool forward, CArticWrkEvnt** result) const;
    int WindowWalk(CArticWrkBlk* blk, INT64 start, INT64 end, bool forward, CArticWrkEvnt** result) const;
    int CountWalk(CArticWrkEvnt* note, ULONG count, bool forward, CArticWrkEvnt** result) const;

    CArticRulSet* m_pRulSet;  // not owned
    ULONG m_EvntNo;
    int m_InNum = 0;
    int m_OutNum = 0;
};
