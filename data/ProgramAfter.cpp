#include "data/ProgramAfter.h"

#include "data/AlgorithmTable.h"
#include "data/NameTables.h"

CProgramAfter::CProgramAfter(UINT row, const std::vector<CString>* targetNames) : m_pTargetNames(targetNames) {
    if (row >= UINT(kAlgorithmRowCount)) return;
    const AlgorithmEntry& entry = AlgorithmTable[row];
    const LONG v = entry.voiceIndex;
    if (v < 0 || v >= kVoiceCount) return;
    const VoiceAddress& address = VoiceAddressTable[v];
    m_BankMsb = address.bankMsb;
    m_BankLsb = address.bankLsb;
    m_Program = address.program;
    // The model's own name for the row (an older model shows older names).
    if (targetNames && row < targetNames->size()) m_DisplayName = (*targetNames)[row];
    if (entry.category23 >= 0 && entry.category23 < kCategoryCount23)
        m_Category23Name = CategoryNames23[entry.category23];
    if (entry.category20 >= 0 && entry.category20 < kCategoryCount20)
        m_Category20Name = CategoryNames20[entry.category20];
    m_IconOff = entry.iconOff;
    m_IconOn = entry.iconOn;
}

void CProgramAfter::Clear() {
    m_BankMsb = m_BankLsb = m_Program = 0;
    m_DisplayName.Empty();
    m_Category23Name.Empty();
    m_Category20Name.Empty();
    m_IconOff = m_IconOn = 0;
}

int CProgramAfter::FindAlgIndex() const {
    if (!m_pTargetNames) return -1;
    const int count = int(m_pTargetNames->size()) < kFirstGroupRow ? int(m_pTargetNames->size()) : kFirstGroupRow;
    for (int row = 0; row < count; ++row) {
        if ((*m_pTargetNames)[row] == m_DisplayName) return row;
    }
    return -1;
}
