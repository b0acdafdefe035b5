#pragma once
// The host interface through which the engine reads and edits the song: the
// facade CKPSManager over four parts, each bound to the document's services
// (CPluginManager). The song is addressed as three levels (1 tracks, 2 blocks
// of a track, 3 events of a block) by an array of three list positions, and
// items travel as flat records (_MPTRACKINFO, _MPBLOCKINFO, tagMPEVENT).
// Results are HRESULTs: negative on failure.
//
// Walk: call GetFirst (or GetLast) with the parent positions filled in; while
// the result is not negative and the level's slot is not null, use the record,
// free its task memory (Bytes, Text, Name), and, unless the next-position
// variable is null (the record was the list's last item), call GetNext (or
// GetPrev) with the same positions array and next-position variable. The
// walk has ended when the slot comes back null with result 0, or after a
// record that left the next-position variable null: GetNext with a null next
// position is refused with MP_E_BADPOSITION, it does not end the walk.
//
// Edits (Insert, Modify, Remove) need the exclusive song lock: Lock(1, name)
// opens the undo step they record into and Unlock closes it.
#include "host/PluginManager.h"

// Items, walks and the song lock.
class CMPEventList : public CObject {
    VX_DECLARE_CLASS(CMPEventList)
public:
    explicit CMPEventList(CPluginManager* manager = nullptr) : m_pManager(manager) {}
    CPluginManager* GetManager() const { return m_pManager; }

    HRESULT Remove(LONG level, POSITION* ids);
    HRESULT Get(POSITION* ids, LONG level, void* record, LONG mask);
    HRESULT GetFirst(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask);
    HRESULT GetLast(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask);
    HRESULT GetNext(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask);
    HRESULT GetPrev(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask);
    HRESULT Insert(POSITION* ids, LONG level, const void* record);
    HRESULT Modify(POSITION* ids, LONG level, const void* record, DWORD mask);
    HRESULT Lock(LONG mode, const char16_t* name);
    HRESULT Unlock(LONG flag);

private:
    CPluginManager* m_pManager;  // not owned
};

// Song resolution and the conversions between ticks, clock time and measure/beat/tick.
class CMPTimeInfo : public CObject {
    VX_DECLARE_CLASS(CMPTimeInfo)
public:
    explicit CMPTimeInfo(CPluginManager* manager = nullptr) : m_pManager(manager) {}
    CPluginManager* GetManager() const { return m_pManager; }

    HRESULT GetTimeInfo(LONG selector, DWORD* out);
    HRESULT MeasToTime(LONG measure, LONG beat, LONG tick, INT64* out, DWORD format, DWORD flag);
    HRESULT ConvertTime(INT64 value, DWORD fromFormat, DWORD fromFlag, INT64* out, DWORD toFormat, DWORD toFlag);
    HRESULT TimeToMeas(INT64 time, DWORD format, DWORD flag, LONG* measure, LONG* beat, LONG* tick);

private:
    CPluginManager* m_pManager;  // not owned
};

// Client-information queries named by GUID.
class CMPClientInfo : public CObject {
    VX_DECLARE_CLASS(CMPClientInfo)
public:
    explicit CMPClientInfo(CPluginManager* manager = nullptr) : m_pManager(manager) {}
    CPluginManager* GetManager() const { return m_pManager; }

    HRESULT GetClientInfo(const GUID& id, INT64 position, INT64* next, DWORD size, void* buffer);

private:
    CPluginManager* m_pManager;  // not owned
};

// The port list.
class CMPClientServices : public CObject {
    VX_DECLARE_CLASS(CMPClientServices)
public:
    explicit CMPClientServices(CPluginManager* manager = nullptr) : m_pManager(manager) {}
    CPluginManager* GetManager() const { return m_pManager; }

    HRESULT GetPortInfo(LONG which, MPPORTLIST* list);

private:
    CPluginManager* m_pManager;  // not owned
};

// The facade the engine is given. It owns none of its parts; an absent part gives E_FAIL.
class CKPSManager : public CObject {
    VX_DECLARE_CLASS(CKPSManager)
public:
    CKPSManager(CMPEventList* events, CMPTimeInfo* times, CMPClientInfo* clientInfo, CMPClientServices* services)
        : m_pEventList(events), m_pTimeInfo(times), m_pClientInfo(clientInfo), m_pClientServices(services) {}

    HRESULT Remove(LONG level, POSITION* ids);
    HRESULT Get(POSITION* ids, LONG level, void* record, LONG mask);
    HRESULT GetFirst(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask);
    HRESULT GetLast(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask);
    HRESULT GetNext(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask);
    HRESULT GetPrev(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask);
    HRESULT Insert(POSITION* ids, LONG level, const void* record);
    HRESULT Modify(POSITION* ids, LONG level, const void* record, DWORD mask);
    HRESULT Lock(LONG mode, const char16_t* name);
    HRESULT Unlock(LONG flag);

    HRESULT GetTimeInfo(LONG selector, DWORD* out);
    HRESULT MeasToTime(LONG measure, LONG beat, LONG tick, INT64* out, DWORD format, DWORD flag);
    HRESULT ConvertTime(INT64 value, DWORD fromFormat, DWORD fromFlag, INT64* out, DWORD toFormat, DWORD toFlag);
    HRESULT TimeToMeas(INT64 time, DWORD format, DWORD flag, LONG* measure, LONG* beat, LONG* tick);

    HRESULT GetClientInfo(const GUID& id, INT64 position, INT64* next, DWORD size, void* buffer);
    HRESULT GetPortInfo(LONG which, MPPORTLIST* list);

    CMPEventList* GetEventList() const { return m_pEventList; }
    CMPTimeInfo* GetTimeInfoPart() const { return m_pTimeInfo; }
    CMPClientInfo* GetClientInfoPart() const { return m_pClientInfo; }
    CMPClientServices* GetClientServices() const { return m_pClientServices; }

private:
    CMPEventList* m_pEventList;            // not owned
    CMPTimeInfo* m_pTimeInfo;              // not owned
    CMPClientInfo* m_pClientInfo;          // not owned
    CMPClientServices* m_pClientServices;  // not owned
};
