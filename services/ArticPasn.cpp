#include "services/ArticPasn.h"

#include <new>

VX_IMPLEMENT_CLASS(CArticPasn, CObject);

CArticPasn::CArticPasn(CKPSManager* host) : m_pHost(host) {
    InitPasnDataArray();
    InitPasnCommon();
}

CArticPasn::~CArticPasn() {
    DeletePasnDataArray();
    DeletePasnCommon();
}

void CArticPasn::InitPasnDataArray() {
    DeletePasnDataArray();
    m_Data.SetSize(CArticPasnData::kInitSlots);
}

void CArticPasn::InitPasnCommon() {
    DeletePasnCommon();
    m_pCommon = new CArticPasnCommon(this);
}

void CArticPasn::ClearPasnDataArray() {
    for (int i = 0; i < m_Data.GetSize(); ++i) {
        delete m_Data.GetAt(i);
        m_Data.SetAt(i, nullptr);
    }
    m_DataNum = 0;
}

void CArticPasn::DeletePasnDataArray() {
    ClearPasnDataArray();
    m_Data.RemoveAll();
}

void CArticPasn::DeletePasnCommon() {
    delete m_pCommon;
    m_pCommon = nullptr;
}

void CArticPasn::CopyPasnDataArray(int count, CArticPasnData* const* records) {
    InitPasnDataArray();
    if (!records) return;
    for (int i = 0; i < count; ++i) {
        const CArticPasnData* src = records[i];
        if (!src) continue;
        auto* copy = new CArticPasnData(this);
        for (ULONG n = 0; n < src->GetBlkNum(); ++n) copy->Set(n, src->Get(n));
        if (!Set(ULONG(i), copy)) delete copy;
    }
}

int CArticPasn::IsLayerPasnDataArray() const {
    for (ULONG i = 0; i < m_DataNum; ++i) {
        const CArticPasnData* data = Get(i);
        if (data && data->GetBlkNum() > 1) return 1;
    }
    return 0;
}

int CArticPasn::IsLayerPasnCommon() const {
    if (!m_pCommon) return 0;
    for (ULONG i = 0; i < m_pCommon->GetBlkNum(); ++i)
        if (m_pCommon->Get(i)) return 1;
    return 0;
}

void CArticPasn::Clear() {
    InitPasnDataArray();
    InitPasnCommon();
}

int CArticPasn::GetCEditor(CKPSManager** host) const {
    if (host) *host = m_pHost;
    return m_pHost ? 1 : 0;
}

int CArticPasn::Get(ULONG n, CArticPasnData** data) const {
    CArticPasnData* found = Get(n);
    if (found && data) *data = found;
    return found ? 1 : 0;
}

CArticPasnData* CArticPasn::Get(ULONG n) const { return n < m_DataNum ? m_Data.GetAt(int(n)) : nullptr; }

int CArticPasn::Get(const CArticWrkBlk* blk, CArticPasnData** data) const {
    CArticPasnData* found = Get(blk);
    if (found && data) *data = found;
    return found ? 1 : 0;
}

CArticPasnData* CArticPasn::Get(const CArticWrkBlk* blk) const {
    if (!blk) return nullptr;
    for (ULONG i = 0; i < m_DataNum; ++i) {
        CArticPasnData* data = Get(i);
        if (data && data->IsWrkBlk(blk)) return data;
    }
    return nullptr;
}

int CArticPasn::Set(ULONG n, CArticPasnData* data) {
    if (!data || n >= 0x10000000u) return 0;
    // A record is owned once: registering it at a second index is refused.
    for (int i = 0; i < m_Data.GetSize(); ++i)
        if (m_Data.GetAt(i) == data && i != int(n)) return 0;
    int size = m_Data.GetSize();
    if (int(n) >= size) {
        while (size <= int(n)) size += CArticPasnData::kGrowSlots;
        m_Data.SetSize(size);
    }
    CArticPasnData* old = m_Data.GetAt(int(n));
    if (old != data) delete old;
    m_Data.SetAt(int(n), data);
    data->SetOwner(this);
    if (m_DataNum < n + 1) m_DataNum = n + 1;
    return 1;
}

int CArticPasn::AddTail(CArticPasnData* data) { return Set(m_DataNum, data); }

int CArticPasn::GetCommon(CArticPasnCommon** common) const {
    if (common) *common = m_pCommon;
    return m_pCommon ? 1 : 0;
}

int CArticPasn::GetWrkBlkArray(const CArticWrkBlk* blk, std::vector<CArticWrkBlk*>& out) const {
    const size_t before = out.size();
    if (!blk) return 0;
    for (ULONG i = 0; i < m_DataNum; ++i) {
        const CArticPasnData* data = Get(i);
        if (!data || data->Get(ULONG(0)) != blk) continue;
        for (ULONG n = 0; n < data->GetBlkNum(); ++n)
            if (CArticWrkBlk* b = data->Get(n)) out.push_back(b);
    }
    if (m_pCommon) m_pCommon->GetWrkBlkArray(blk, out);
    return out.size() > before ? 1 : 0;
}
