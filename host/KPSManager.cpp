// The facade and its parts only check that the object they forward to exists.
#include "host/KPSManager.h"

VX_IMPLEMENT_CLASS(CMPEventList, CObject);
VX_IMPLEMENT_CLASS(CMPTimeInfo, CObject);
VX_IMPLEMENT_CLASS(CMPClientInfo, CObject);
VX_IMPLEMENT_CLASS(CMPClientServices, CObject);
VX_IMPLEMENT_CLASS(CKPSManager, CObject);

// ------------------------------------------------------------ CMPEventList

HRESULT CMPEventList::Remove(LONG level, POSITION* ids) {
    return m_pManager ? m_pManager->Remove(level, ids) : E_INVALIDARG;
}
HRESULT CMPEventList::Get(POSITION* ids, LONG level, void* record, LONG mask) {
    return m_pManager ? m_pManager->Get(ids, level, record, mask) : E_INVALIDARG;
}
HRESULT CMPEventList::GetFirst(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask) {
    return m_pManager ? m_pManager->GetFirst(ids, level, record, next, mask) : E_INVALIDARG;
}
HRESULT CMPEventList::GetLast(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask) {
    return m_pManager ? m_pManager->GetLast(ids, level, record, next, mask) : E_INVALIDARG;
}
HRESULT CMPEventList::GetNext(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask) {
    return m_pManager ? m_pManager->GetNext(ids, level, record, next, mask) : E_INVALIDARG;
}
HRESULT CMPEventList::GetPrev(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask) {
    return m_pManager ? m_pManager->GetPrev(ids, level, record, next, mask) : E_INVALIDARG;
}
HRESULT CMPEventList::Insert(POSITION* ids, LONG level, const void* record) {
    return m_pManager ? m_pManager->Insert(ids, level, record) : E_INVALIDARG;
}
HRESULT CMPEventList::Modify(POSITION* ids, LONG level, const void* record, DWORD mask) {
    return m_pManager ? m_pManager->Modify(ids, level, record, mask) : E_INVALIDARG;
}
HRESULT CMPEventList::Lock(LONG mode, const char16_t* name) { return m_pManager ? m_pManager->Lock(mode, name) : E_FAIL; }
HRESULT CMPEventList::Unlock(LONG flag) { return m_pManager ? m_pManager->Unlock(flag) : E_FAIL; }

// ------------------------------------------------------------ CMPTimeInfo

HRESULT CMPTimeInfo::GetTimeInfo(LONG selector, DWORD* out) {
    return m_pManager ? m_pManager->GetTimeInfo(selector, out) : E_FAIL;
}
HRESULT CMPTimeInfo::MeasToTime(LONG measure, LONG beat, LONG tick, INT64* out, DWORD format, DWORD flag) {
    return m_pManager ? m_pManager->MeasToTime(measure, beat, tick, out, format, flag) : E_FAIL;
}
HRESULT CMPTimeInfo::ConvertTime(INT64 value, DWORD fromFormat, DWORD fromFlag, INT64* out, DWORD toFormat,
                                 DWORD toFlag) {
    return m_pManager ? m_pManager->ConvertTime(value, fromFormat, fromFlag, out, toFormat, toFlag) : E_FAIL;
}
HRESULT CMPTimeInfo::TimeToMeas(INT64 time, DWORD format, DWORD flag, LONG* measure, LONG* beat, LONG* tick) {
    return m_pManager ? m_pManager->TimeToMeas(time, format, flag, measure, beat, tick) : E_FAIL;
}

// ------------------------------------------------------------ CMPClientInfo and CMPClientServices

HRESULT CMPClientInfo::GetClientInfo(const GUID& id, INT64 position, INT64* next, DWORD size, void* buffer) {
    return m_pManager ? m_pManager->GetClientInfo(id, position, next, size, buffer) : E_FAIL;
}

HRESULT CMPClientServices::GetPortInfo(LONG which, MPPORTLIST* list) {
    return m_pManager ? m_pManager->GetPortInfo(which, list) : E_FAIL;
}

// ------------------------------------------------------------ CKPSManager

HRESULT CKPSManager::Remove(LONG level, POSITION* ids) { return m_pEventList ? m_pEventList->Remove(level, ids) : E_FAIL; }
HRESULT CKPSManager::Get(POSITION* ids, LONG level, void* record, LONG mask) {
    return m_pEventList ? m_pEventList->Get(ids, level, record, mask) : E_FAIL;
}
HRESULT CKPSManager::GetFirst(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask) {
    return m_pEventList ? m_pEventList->GetFirst(ids, level, record, next, mask) : E_FAIL;
}
HRESULT CKPSManager::GetLast(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask) {
    return m_pEventList ? m_pEventList->GetLast(ids, level, record, next, mask) : E_FAIL;
}
HRESULT CKPSManager::GetNext(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask) {
    return m_pEventList ? m_pEventList->GetNext(ids, level, record, next, mask) : E_FAIL;
}
HRESULT CKPSManager::GetPrev(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask) {
    return m_pEventList ? m_pEventList->GetPrev(ids, level, record, next, mask) : E_FAIL;
}
HRESULT CKPSManager::Insert(POSITION* ids, LONG level, const void* record) {
    return m_pEventList ? m_pEventList->Insert(ids, level, record) : E_FAIL;
}
HRESULT CKPSManager::Modify(POSITION* ids, LONG level, const void* record, DWORD mask) {
    return m_pEventList ? m_pEventList->Modify(ids, level, record, mask) : E_FAIL;
}
HRESULT CKPSManager::Lock(LONG mode, const char16_t* name) { return m_pEventList ? m_pEventList->Lock(mode, name) : E_FAIL; }
HRESULT CKPSManager::Unlock(LONG flag) { return m_pEventList ? m_pEventList->Unlock(flag) : E_FAIL; }

HRESULT CKPSManager::GetTimeInfo(LONG selector, DWORD* out) {
    return m_pTimeInfo ? m_pTimeInfo->GetTimeInfo(selector, out) : E_FAIL;
}
HRESULT CKPSManager::MeasToTime(LONG measure, LONG beat, LONG tick, INT64* out, DWORD format, DWORD flag) {
    return m_pTimeInfo ? m_pTimeInfo->MeasToTime(measure, beat, tick, out, format, flag) : E_FAIL;
}
HRESULT CKPSManager::ConvertTime(INT64 value, DWORD fromFormat, DWORD fromFlag, INT64* out, DWORD toFormat,
                                 DWORD toFlag) {
    return m_pTimeInfo ? m_pTimeInfo->ConvertTime(value, fromFormat, fromFlag, out, toFormat, toFlag) : E_FAIL;
}
HRESULT CKPSManager::TimeToMeas(INT64 time, DWORD format, DWORD flag, LONG* measure, LONG* beat, LONG* tick) {
    return m_pTimeInfo ? m_pTimeInfo->TimeToMeas(time, format, flag, measure, beat, tick) : E_FAIL;
}

HRESULT CKPSManager::GetClientInfo(const GUID& id, INT64 position, INT64* next, DWORD size, void* buffer) {
    return m_pClientInfo ? m_pClientInfo->GetClientInfo(id, position, next, size, buffer) : E_FAIL;
}
HRESULT CKPSManager::GetPortInfo(LONG which, MPPORTLIST* list) {
    return m_pClientServices ? m_pClientServices->GetPortInfo(which, list) : E_FAIL;
}
