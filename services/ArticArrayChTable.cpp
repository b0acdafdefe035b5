// The channel tables themselves: they need nothing of the host or the song
// bridge, so they live in the services below the engine, whose string split
// reads them. The run-time record, and with it the virtual table, is here
// too; the scans of the song stay above, beside the host walks
// (ArticArrayCh.cpp).
#include "services/ArticArrayCh.h"

VX_IMPLEMENT_CLASS(CArrayChInfo, CObject);
VX_IMPLEMENT_CLASS(CArticArrayCh, CObject);

CArticArrayCh::CArticArrayCh() { InitOrigiCh(); }

CArticArrayCh::~CArticArrayCh() { DeleteOrigiCh(); }

void CArticArrayCh::InitOrigiCh() {
    DeleteOrigiCh();
    m_pArray = new CArrayChInfoArray();
}

void CArticArrayCh::ClearOrigiCh() {
    if (!m_pArray) return;
    for (int i = 0; i < m_pArray->GetSize(); ++i) delete m_pArray->GetAt(i);
    delete m_pArray;
    m_pArray = nullptr;
}

void CArticArrayCh::DeleteOrigiCh() { ClearOrigiCh(); }

int CArticArrayCh::UpdateOrigiCh(DWORD key) {
    if (!m_pArray) InitOrigiCh();
    const int found = SearchOrigiCh(key);
    if (found >= 0) return found;
    return m_pArray->Add(new CArrayChInfo(key));
}

int CArticArrayCh::SearchOrigiCh(DWORD key) const {
    if (!m_pArray) return -1;
    for (int i = 0; i < m_pArray->GetSize(); ++i) {
        const CArrayChInfo* info = m_pArray->GetAt(i);
        if (info && info->GetKey() == key) return i;
    }
    return -1;
}

DWORD CArticArrayCh::GetOrigiCh(int i) const {
    const CArrayChInfo* info = GetOrigiChInfo(i);
    return info ? info->GetKey() : CArrayChInfo::kNoKey;
}

CArrayChInfo* CArticArrayCh::GetOrigiChInfo(int i) const { return m_pArray ? m_pArray->GetAt(i) : nullptr; }

int CArticArrayCh::GetOrigiChNum() const { return m_pArray ? m_pArray->GetSize() : 0; }

void CArticArrayCh::SortOrigiCh() {
    if (!m_pArray) return;
    const int n = m_pArray->GetSize();
    for (int i = 0; i < n; ++i) {
        int least = i;
        for (int j = i + 1; j < n; ++j)
            if (m_pArray->GetAt(j)->GetKey() < m_pArray->GetAt(least)->GetKey()) least = j;
        if (least == i) continue;
        CArrayChInfo* swap = m_pArray->GetAt(i);
        m_pArray->SetAt(i, m_pArray->GetAt(least));
        m_pArray->SetAt(least, swap);
    }
}

int CArticArrayCh::UpdateValue(DWORD key, BYTE value, Setter set) {
    if (!m_pArray) InitOrigiCh();
    const int found = SearchOrigiCh(key);
    if (found >= 0) {
        (m_pArray->GetAt(found)->*set)(value);
        return found;
    }
    auto* info = new CArrayChInfo(key);
    (info->*set)(value);
    m_pArray->Add(info);
    return m_pArray->GetSize();
}

int CArticArrayCh::UpdateProNo(DWORD key, BYTE value) { return UpdateValue(key, value, &CArrayChInfo::SetProNo); }

int CArticArrayCh::UpdateBSelMsb(DWORD key, BYTE value) {
    return UpdateValue(key, value, &CArrayChInfo::SetBSelMsb);
}

int CArticArrayCh::UpdateBSelLsb(DWORD key, BYTE value) {
    return UpdateValue(key, value, &CArrayChInfo::SetBSelLsb);
}

CArrayChInfo* CArticArrayCh::Entry(DWORD key) { return GetOrigiChInfo(UpdateOrigiCh(key)); }

void CArticArrayCh::CopyVoice(const CArticArrayCh& from) {
    for (int i = 0; i < GetOrigiChNum(); ++i) {
        CArrayChInfo* to = GetOrigiChInfo(i);
        const CArrayChInfo* src = from.GetOrigiChInfo(from.SearchOrigiCh(to->GetKey()));
        if (src) to->CopyVoice(*src);
    }
}
