#pragma once
// The per-note, per-rule-set record a work event carries: the expression
// texts the set wants on that note, a parameter blob and related events.
#include <memory>

#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CArticWrkEvnt;

// A byte blob of known length.
class CMakeRulePrm : public CObject {
public:
    CMakeRulePrm() = default;
    ~CMakeRulePrm() override { Free(); }
    CMakeRulePrm(const CMakeRulePrm&) = delete;
    CMakeRulePrm& operator=(const CMakeRulePrm&) = delete;

    void Free();
    // A zero-filled buffer of n bytes: n, or 0 when n is 0 or allocation fails.
    ULONG Alloc(ULONG n);
    // Copies n bytes to position index: 0; 1 (nothing copied) when they do not fit.
    int SetData(ULONG index, ULONG n, const BYTE* bytes);
    void Copy(const CMakeRulePrm* src);
    // Storing: Len as 32-bit little-endian, then the bytes. Loading: the same;
    // a length the archive does not hold leaves the blob empty and the
    // archive failed, without allocating for it.
    void Serialize(CArchive& ar) override;
    ULONG GetLen() const { return m_Len; }
    const BYTE* GetData() const { return m_pData; }

private:
    ULONG m_Len = 0;
    BYTE* m_pData = nullptr;  // owned, m_Len bytes
};

// A related event of a per-note record: the event and its number.
class CArticWrkEvntRel : public CObject {
public:
    CArticWrkEvntRel(CArticWrkEvnt* evnt = nullptr, ULONG evntNo = 0) : m_pWrkEvnt(evnt), m_EvntNo(evntNo) {}
    CArticWrkEvnt* GetWrkEvnt() const { return m_pWrkEvnt; }
    ULONG GetEvntNo() const { return m_EvntNo; }

private:
    CArticWrkEvnt* m_pWrkEvnt;  // not owned
    ULONG m_EvntNo;
};

class CArticPrmExp : public CObject {
public:
    CArticPrmExp();
    ~CArticPrmExp() override;
    CArticPrmExp(const CArticPrmExp&) = delete;
    // Copies the blob (when the source has one) and the texts; drops the related list.
    CArticPrmExp& operator=(const CArticPrmExp& src);

    // 0, or 1 when the text list cannot be made.
    int AddExpStr(const CString& text);
    // Takes ownership of prm (null allowed) after deleting the current blob.
    CMakeRulePrm* SetMakeRulePrm(CMakeRulePrm* prm);
    void ClearRelList();

    CMakeRulePrm* GetMakeRulePrm() const { return m_pPrm; }
    CStringList* GetExpStrList() const { return m_pExpStrList; }
    CTypedPtrList<CObList, CArticWrkEvntRel*>* GetRelList() const { return m_pRelList; }

private:
    CMakeRulePrm* m_pPrm = nullptr;                                 // owned
    CStringList* m_pExpStrList = nullptr;                           // owned
    CTypedPtrList<CObList, CArticWrkEvntRel*>* m_pRelList = nullptr;  // owned, with its records
    DWORD m_Reserved = 0;
};
