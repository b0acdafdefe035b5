#pragma once
// One algorithm-table row as it is offered for a channel: the voice address
// it selects, its display name as the selected model shows it, and its
// category texts and icons.
#include <vector>

#include "platform/String.h"
#include "platform/Types.h"

class CProgramAfter {
public:
    // The description of row `row`; `targetNames` is the catalogue's vector
    // of the 192 display names (not owned; must outlive this object).
    CProgramAfter(UINT row, const std::vector<CString>* targetNames);
    virtual ~CProgramAfter() = default;

    // Bytes 0, texts empty, icon ids 0.
    virtual void Clear();

    // The target row 0..189 whose display name in the names vector equals
    // this description's exactly, the first such; -1 when none.
    int FindAlgIndex() const;

    BYTE m_BankMsb = 0;
    BYTE m_BankLsb = 0;
    BYTE m_Program = 0;
    CString m_DisplayName;
    CString m_Category23Name;
    CString m_Category20Name;
    LONG m_IconOff = 0;
    LONG m_IconOn = 0;
    const std::vector<CString>* m_pTargetNames = nullptr;  // not owned
};
