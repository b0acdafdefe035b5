#pragma once
// The part assignment of one conversion: per part, the work blocks that
// belong together (the part's own block and the blocks its expressions made
// for it), and the blocks all parts share. The manager owns every record
// registered with it and its shared record.
#include <vector>

#include "services/ArticPasnCommon.h"
#include "services/ArticPasnData.h"

class CKPSManager;

using CArticPasnDataArray = CTypedPtrArray<CPtrArray, CArticPasnData*>;

class CArticPasn : public CObject {
    VX_DECLARE_CLASS(CArticPasn)
public:
    explicit CArticPasn(CKPSManager* host = nullptr);
    ~CArticPasn() override;
    CArticPasn(const CArticPasn&) = delete;
    CArticPasn& operator=(const CArticPasn&) = delete;

    // 16 empty entries, count 0 (existing records are deleted).
    virtual void InitPasnDataArray();
    virtual void InitPasnCommon();
    // Deletes the records; the slots stay, empty, and the count is 0.
    virtual void ClearPasnDataArray();
    // Deletes the records and the slots.
    virtual void DeletePasnDataArray();
    // Deletes the shared record (none afterwards).
    virtual void DeletePasnCommon();
    // Replaces the records by copies of the count given ones.
    virtual void CopyPasnDataArray(int count, CArticPasnData* const* records);
    // 1 when a part has more than its own block or the shared record has blocks.
    virtual int IsLayerPasnDataArray() const;
    virtual int IsLayerPasnCommon() const;
    virtual int IsLayer() const { return IsLayerPasnDataArray() || IsLayerPasnCommon() ? 1 : 0; }
    virtual void Clear();

    virtual int GetCEditor(CKPSManager** host) const;
    virtual CKPSManager* GetCEditor() const { return m_pHost; }
    virtual void SetCEditor(CKPSManager* host) { m_pHost = host; }
    virtual ULONG GetDataNum() const { return m_DataNum; }
    virtual void SetDataNum(ULONG n) { m_DataNum = n; }
    virtual int GetSlotCount() const { return m_Data.GetSize(); }
    // 1 and the record at index n; 0 when there is none.
    virtual int Get(ULONG n, CArticPasnData** data) const;
    virtual CArticPasnData* Get(ULONG n) const;
    // 1 and the first registered record that holds blk; 0 otherwise.
    virtual int Get(const CArticWrkBlk* blk, CArticPasnData** data) const;
    virtual CArticPasnData* Get(const CArticWrkBlk* blk) const;
    // Takes ownership of data at index n (a record already there is deleted): 1; 0 when refused.
    virtual int Set(ULONG n, CArticPasnData* data);
    // Registers data at the end and takes ownership: 1; 0 when refused (the caller keeps it).
    virtual int AddTail(CArticPasnData* data);
    virtual int GetCommon(CArticPasnCommon** common) const;
    virtual CArticPasnCommon* GetCommon() const { return m_pCommon; }
    // Every block of each record whose own block is blk, then the shared
    // blocks whose list holds blk: 1 when something was found.
    virtual int GetWrkBlkArray(const CArticWrkBlk* blk, std::vector<CArticWrkBlk*>& out) const;

    // ---- Ports and channels (each reset runs on every record in order,
    // stopping at the first failure, then on the shared record). Defined with
    // the driver, like the records' own resets.
    int ReLinkWrkBlk(CArticWrk* wrk);
    DWORD GetPortFromPortID(DWORD portId) const;
    int ResetAll(DWORD port, DWORD ch);
    int ResetOrig(DWORD port, DWORD ch);
    int ResetSeqAll(DWORD port, DWORD ch, const CArticArrayCh* source, const CArticArrayCh* used,
                    const CArticArrayCh* voice, CArticArrayCh* assigned);
    int ResetSeqAll(DWORD portCount, DWORD port, DWORD ch);
    int ResetSeqAll2(DWORD portCount, DWORD port, DWORD ch);
    int ResetSeqOrig(DWORD port, DWORD ch, const CArticArrayCh* source, const CArticArrayCh* used,
                     const CArticArrayCh* voice, CArticArrayCh* assigned);
    int ResetSeqOrig(DWORD portCount, DWORD port, DWORD ch);
    int ResetSeqOrig2(DWORD portCount, DWORD port, DWORD ch);

private:
    template <class Reset>
    int ResetEach(Reset reset);

    CKPSManager* m_pHost;  // not owned
    ULONG m_DataNum = 0;
    CArticPasnDataArray m_Data;    // owned records
    CArticPasnCommon* m_pCommon = nullptr;  // owned
};
