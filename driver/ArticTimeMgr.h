#pragma once
// The time sections of a conversion run. A run keeps a single section from
// 0 to the largest tick; the manager re-binds to the run's work and
// expression data whenever they are replaced.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticExp;
class CArticRul;
class CArticTimeInfo;
class CArticWrk;

using CArticTimeInfoList = CTypedPtrList<CObList, CArticTimeInfo*>;

// One row of a section edit: the section it names (null for a new one) and
// the values it asks for.
struct CArticTimeData {
    CArticTimeInfo* info = nullptr;
    INT64 start = 0;
    INT64 end = 0;
    int rulType = 0;
    CString rulFileName;
    int changed = 0;
};

class CArticTimeMgr : public CObject {
    VX_DECLARE_CLASS(CArticTimeMgr)
public:
    CArticTimeMgr(CArticWrk* wrk, CArticExp* exp, CArticRul* rul);
    ~CArticTimeMgr() override;
    CArticTimeMgr(const CArticTimeMgr&) = delete;
    CArticTimeMgr& operator=(const CArticTimeMgr&) = delete;

    // Back to the single default section.
    virtual void Clear();
    virtual int GetCount() const;
    virtual int Set(int index, INT64 start, INT64 end, int rulType, const CString& fileName);
    virtual int AddTail(INT64 start, INT64 end, int rulType, const CString& fileName);
    virtual int Remove(int index);
    virtual void SetWrk(CArticWrk* wrk) { m_pWrk = wrk; }
    virtual void SetExp(CArticExp* exp) { m_pExp = exp; }
    virtual void SetRul(CArticRul* rul) { m_pRul = rul; }
    virtual int Get(int index, INT64* start, INT64* end, int* rulType, CString* fileName) const;
    virtual int GetTimeInfo(int index, CArticTimeInfo** info) const;
    virtual CArticTimeInfo* GetTimeInfo(int index) const;
    virtual int GetInfoStrList(CStringList& list) const;
    virtual int GetWrk(CArticWrk** wrk) const;
    virtual CArticWrk* GetWrk() const { return m_pWrk; }
    virtual int GetExp(CArticExp** exp) const;
    virtual CArticExp* GetExp() const { return m_pExp; }
    virtual int GetRul(CArticRul** rul) const;
    virtual CArticRul* GetRul() const { return m_pRul; }
    // Builds the new section list of an edit into out (sections it names are
    // reused); *changed is set when a section was changed or created.
    virtual int Edit(CTypedPtrArray<CPtrArray, CArticTimeData*>& rows, CArticTimeInfoList& out, int* changed);
    virtual int Devide();
    virtual int Merge(int flag);
    virtual int MergeWrk(int flag);
    virtual int MergeExp();
    virtual void ClearTimeInfoList();
    // Takes over the sections of list; the sections no longer listed are deleted.
    virtual int EditTimeInfoList(CArticTimeInfoList& list);
    virtual void Initialize();

private:
    template <typename Op>
    int ForEach(Op op);

    CArticWrk* m_pWrk;  // not owned
    CArticExp* m_pExp;  // not owned
    CArticRul* m_pRul;  // not owned
    CArticTimeInfoList* m_pList = nullptr;  // owned, with its sections
};
