#include "services/PHConvPrm.h"

#include <climits>

CPHConvPrm::CPHConvPrm()
    : Flag1(0),
      Kind(0),
      Flag2(0),
      Channel(0),
      Resolution(240),
      BankMsb(8),
      BankLsb(0),
      Program(0),
      PbCtrl(0),
      m_pLines(std::make_unique<CStringList>()) {}

CPHConvPrm::~CPHConvPrm() { m_pLines->RemoveAll(); }

int CPHConvPrm::AddLine(const char* text, int length) {
    if (length < 0 || (length > 0 && !text)) return 1;
    // The count is an int: one more line would make it unreadable.
    if (m_pLines->GetCount() == INT_MAX) return 1;
    m_pLines->AddTail(CString(length > 0 ? text : "", length));
    return 0;
}

void CPHConvPrm::ClearLines() { m_pLines->RemoveAll(); }

int CPHConvPrm::GetLineCount() const { return m_pLines->GetCount(); }
