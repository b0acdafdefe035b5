#include "app/SmfEvnt.h"

#include <new>
#include <stdexcept>

#include "app/SmfCodes.h"

void CEvnt::GetDataBytes(BYTE& d1, BYTE& d2, BYTE& d3, BYTE& d4) const {
    d1 = m_Data[0];
    d2 = m_Data[1];
    d3 = m_Data[2];
    d4 = m_Data[3];
}

void CEvnt::SetDataBytes(BYTE d1, BYTE d2, BYTE d3, BYTE d4) {
    m_Data[0] = d1;
    m_Data[1] = d2;
    m_Data[2] = d3;
    m_Data[3] = d4;
}

int CEvnt::SetData(const BYTE* bytes, DWORD length) {
    if (length == 0) {
        m_Bytes.clear();
        return 0;
    }
    if (!bytes) return SmfFail(1);
    try {
        std::vector<BYTE> copy(bytes, bytes + length);
        m_Bytes.swap(copy);
    } catch (const std::bad_alloc&) {
        return SmfFail(3);
    } catch (const std::length_error&) {
        return SmfFail(3);
    }
    return 0;
}

int CEvnt::CopyFrom(const CEvnt* other) {
    if (!other) return SmfFail(1);
    if (other == this) return 0;
    const int rc = SetData(other->m_Bytes.data(), other->GetDataLength());
    if (SmfFailed(rc)) return rc;
    m_Status = other->m_Status;
    m_Channel = other->m_Channel;
    m_MetaType = other->m_MetaType;
    m_Time = other->m_Time;
    m_Gate = other->m_Gate;
    for (int i = 0; i < 4; ++i) m_Data[i] = other->m_Data[i];
    return 0;
}
