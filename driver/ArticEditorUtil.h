#pragma once
// The bridge between the song document, which the engine reaches only through
// the host interface, and the engine's work data: static operations over the
// state registered for the conversion that is running. One conversion runs at
// a time on one thread, so the state is plain static data; tests put it back
// with Reset.
//
// Port words: a song track's port id is the host's track port, a port number
// is the index of that id in the song's output port list, and a port address
// is the place of a port among the ports of its device (the preferences'
// port information).
#include <vector>

#include "host/KPSManager.h"
#include "platform/Collections.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticEditorMgr;
class CArticPref;

class CArticEditorUtil {
public:
    CArticEditorUtil() = delete;

    // ------------------------------------------------------------ registrations
    static void SetEditorMgr(CArticEditorMgr* mgr) { s_pEditorMgr = mgr; }
    // Always 0; *mgr = the registered manager (null when none).
    static int GetEditorMgr(CArticEditorMgr** mgr);
    static CArticEditorMgr* GetEditorMgr() { return s_pEditorMgr; }
    static void SetPref(CArticPref* pref) { s_pPref = pref; }
    static CArticPref* GetPref() { return s_pPref; }
    // Nothing registered.
    static void Reset();

    // ------------------------------------------------------------ time
    // A song time in ticks through the host's conversion, divided by the
    // client beat multiplier (truncated toward zero). 1 on success; 0 without
    // a host, with a multiplier of 0 or when the host refuses.
    static int TimeConvert(CKPSManager* host, LONG multiplier, INT64 value, INT64* out);
    // The same with the registered editor manager's multiplier (0 without one).
    static int TimeConvert(CKPSManager* host, INT64 value, INT64* out);

    // ------------------------------------------------------------ ports
    // The song's output ports in order: their ids and their names (CP932).
    // 0, or 1 without a host or when the host refuses (outputs emptied).
    static int GetPortList(CKPSManager* host, std::vector<DWORD>* ids, CStringList* names);
    // The port number of a port id; 0 when the id is not listed or without a host.
    static DWORD GetPortFromPortID(CKPSManager* host, DWORD portId);
    // The port id of a port number; 0 when the number is out of range.
    static DWORD GetPortIDFromPort(CKPSManager* host, DWORD portNo);
    // The port address of a port number in the registered preferences' port
    // information: 0 when found, 1 otherwise (out untouched).
    static int GetPortAdrsFromPortNo(CKPSManager* host, DWORD portNo, DWORD* adrs);
    // Within the device of the given port id, the port with the given
    // address: its id / its address. 0 when found, 1 otherwise (out untouched).
    static int GetPortIDFromPortAdrs(DWORD adrs, DWORD portId, DWORD* outId);
    static int GetPortNoFromPortAdrs(DWORD adrs, DWORD portId, DWORD* out);
    // 1 when a song track other than the conductor has the port number and
    // channel and at least one block, else 0.
    static int UsedPortCh(CKPSManager* host, DWORD portNo, DWORD ch);
    // The same over the tracks that are written out (flags without 2), the
    // conductor included.
    static int UsedPortCh2(CKPSManager* host, DWORD portNo, DWORD ch);
    // Hands the song's port names and ids to the registered preferences'
    // separation and rebuilds its port information. 0; 1 without names, ids,
    // preferences or separation.
    static int ResetPortName(const CStringList* names, const DWORD* ids, int count);

private:
    static int UsedPortChBy(CKPSManager* host, DWORD portNo, DWORD ch, bool skipConductor, bool skipHidden);

    static CArticEditorMgr* s_pEditorMgr;  // not owned
    static CArticPref* s_pPref;            // not owned
};
