#include "driver/ArticEditorUtil.h"

#include <algorithm>
#include <string>

#include "driver/ArticEditorMgr.h"
#include "driver/ArticHostWalk.h"
#include "services/ArticPref.h"
#include "driver/ArticSrchSongBridge.h"
#include "platform/Memory.h"
#include "platform/Text.h"

CArticView* CArticEditorUtil::s_pView = nullptr;
CArticEditorMgr* CArticEditorUtil::s_pEditorMgr = nullptr;
CArticPref* CArticEditorUtil::s_pPref = nullptr;
int CArticEditorUtil::s_VeloRest = 0;
int CArticEditorUtil::s_VeloLimit = 0;
int CArticEditorUtil::s_VeloThreshold = -1;
BYTE CArticEditorUtil::s_LastRpnMsb = 127;
BYTE CArticEditorUtil::s_LastRpnLsb = 127;

// The rule built-ins reach the bridge through the engine's song interface.
// It is entered here, beside the registrations, so that every program that
// can register a conversion links this unit and has the answerer in place.
[[maybe_unused]] static const bool s_SrchSongEntered =
    (ArticSrchSong::Enter(&CArticSrchSongBridge::Instance()), true);

namespace {

// The host asks for output ports (its document's port map).
constexpr LONG kOutputPorts = 1;

// The separation preferences' port information, or null.
CArticPortInfoList* PrefPortInfo() {
    CArticPref* pref = CArticEditorUtil::GetPref();
    CArticPrefSep* sep = pref ? pref->GetSep() : nullptr;
    CArticPortInfoList* list = nullptr;
    if (!sep || !sep->GetPortInfoList(&list)) return nullptr;
    return list;
}

// The entry of the port information with the id, or null.
CArticPortInfo* PortInfoOfID(const CArticPortInfoList& list, DWORD portId) {
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        CArticPortInfo* info = list.GetNext(pos);
        if (info->GetPortID() == portId) return info;
    }
    return nullptr;
}

// The entry at the address within the device of the port id, or null.
CArticPortInfo* PortInfoOfAdrs(DWORD adrs, DWORD portId) {
    CArticPortInfoList* list = PrefPortInfo();
    if (!list) return nullptr;
    const CArticPortInfo* own = PortInfoOfID(*list, portId);
    if (!own) return nullptr;
    for (POSITION pos = list->GetHeadPosition(); pos;) {
        CArticPortInfo* info = list->GetNext(pos);
        if (info->GetDevNo() == own->GetDevNo() && info->GetPortAdrs() == adrs) return info;
    }
    return nullptr;
}

DWORD IndexOf(const std::vector<DWORD>& ids, DWORD portId) {
    const auto it = std::find(ids.begin(), ids.end(), portId);
    return it == ids.end() ? 0 : DWORD(it - ids.begin());
}

}  // namespace

// ---------------------------------------------------------------- registrations

int CArticEditorUtil::GetEditorMgr(CArticEditorMgr** mgr) {
    if (mgr) *mgr = s_pEditorMgr;
    return 0;
}

void CArticEditorUtil::Reset() {
    s_pView = nullptr;
    s_pEditorMgr = nullptr;
    s_pPref = nullptr;
    ResetVeloSwitches();
    ResetLastMultiStatusEvnt();
}

// ---------------------------------------------------------------- time

int CArticEditorUtil::TimeConvert(CKPSManager* host, LONG multiplier, INT64 value, INT64* out) {
    if (!host || !out || multiplier == 0) return 0;
    INT64 ticks = 0;
    if (host->ConvertTime(value, MPTIME_FORMAT_TICKS, 0, &ticks, MPTIME_FORMAT_TICKS, 0) < 0) return 0;
    *out = ticks / multiplier;
    return 1;
}

int CArticEditorUtil::TimeConvert(CKPSManager* host, INT64 value, INT64* out) {
    return TimeConvert(host, s_pEditorMgr ? s_pEditorMgr->GetClientBeatMul() : 0, value, out);
}

// ---------------------------------------------------------------- ports

int CArticEditorUtil::GetPortList(CKPSManager* host, std::vector<DWORD>* ids, CStringList* names) {
    if (ids) ids->clear();
    if (names) names->RemoveAll();
    if (!host) return 1;
    MPPORTLIST list{};
    if (host->GetPortInfo(kOutputPorts, &list) < 0) return 1;
    for (DWORD i = 0; i < list.Count; ++i) {
        MPPORTINFO& port = list.Ports[i];
        if (ids) ids->push_back(DWORD(port.Number));
        if (names) names->AddTail(port.Name ? Utf16ToCp932(std::u16string(port.Name)) : CString());
        CoTaskMemFree(port.Name);
    }
    CoTaskMemFree(list.Ports);
    return 0;
}

DWORD CArticEditorUtil::GetPortFromPortID(CKPSManager* host, DWORD portId) {
    std::vector<DWORD> ids;
    if (GetPortList(host, &ids, nullptr)) return 0;
    return IndexOf(ids, portId);
}

DWORD CArticEditorUtil::GetPortIDFromPort(CKPSManager* host, DWORD portNo) {
    std::vector<DWORD> ids;
    if (GetPortList(host, &ids, nullptr) || portNo >= ids.size()) return 0;
    return ids[portNo];
}

int CArticEditorUtil::GetPortAdrsFromPortNo(CKPSManager* host, DWORD portNo, DWORD* adrs) {
    CArticPortInfoList* list = PrefPortInfo();
    if (!list || !adrs) return 1;
    const CArticPortInfo* info = PortInfoOfID(*list, GetPortIDFromPort(host, portNo));
    if (!info) return 1;
    *adrs = info->GetPortAdrs();
    return 0;
}

int CArticEditorUtil::GetPortIDFromPortAdrs(DWORD adrs, DWORD portId, DWORD* outId) {
    const CArticPortInfo* info = PortInfoOfAdrs(adrs, portId);
    if (!info || !outId) return 1;
    *outId = info->GetPortID();
    return 0;
}

int CArticEditorUtil::GetPortNoFromPortAdrs(DWORD adrs, DWORD portId, DWORD* out) {
    const CArticPortInfo* info = PortInfoOfAdrs(adrs, portId);
    if (!info || !out) return 1;
    *out = info->GetPortAdrs();
    return 0;
}

int CArticEditorUtil::UsedPortCh(CKPSManager* host, DWORD portNo, DWORD ch) {
    return UsedPortChBy(host, portNo, ch, true, false);
}

int CArticEditorUtil::UsedPortCh2(CKPSManager* host, DWORD portNo, DWORD ch) {
    return UsedPortChBy(host, portNo, ch, false, true);
}

int CArticEditorUtil::UsedPortChBy(CKPSManager* host, DWORD portNo, DWORD ch, bool skipConductor, bool skipHidden) {
    std::vector<DWORD> ids;
    if (GetPortList(host, &ids, nullptr)) return 0;
    int used = 0;
    CArticHostWalk::Tracks(host, [&](const _MPTRACKINFO& trk, POSITION trkPos) {
        if (skipConductor && trk.Number == 0) return true;
        if (skipHidden && (trk.Flags & MPTRACK_FLAG_STATE2)) return true;
        if (trk.Channel < 0 || DWORD(trk.Channel) != ch || IndexOf(ids, DWORD(trk.Port)) != portNo) return true;
        CArticHostWalk::Blocks(host, trkPos, [&](const _MPBLOCKINFO&, POSITION) {
            used = 1;
            return false;
        });
        return used == 0;
    });
    return used;
}

int CArticEditorUtil::NotesOnPortCh(CKPSManager* host, DWORD portNo, DWORD ch) {
    return ChMsgOnPortChBy(host, portNo, ch, true, false, true);
}

int CArticEditorUtil::EvntsOnPortCh(CKPSManager* host, DWORD portNo, DWORD ch) {
    return ChMsgOnPortChBy(host, portNo, ch, true, false, false);
}

int CArticEditorUtil::EvntsOnPortCh2(CKPSManager* host, DWORD portNo, DWORD ch) {
    return ChMsgOnPortChBy(host, portNo, ch, false, true, false);
}

int CArticEditorUtil::ChMsgOnPortChBy(CKPSManager* host, DWORD portNo, DWORD ch, bool skipConductor,
                                      bool skipHidden, bool notesOnly) {
    std::vector<DWORD> ids;
    if (!host || GetPortList(host, &ids, nullptr)) return 0;
    int found = 0;
    CArticHostWalk::Tracks(host, [&](const _MPTRACKINFO& trk, POSITION trkPos) {
        if (skipConductor && trk.Number == 0) return true;
        if (skipHidden && (trk.Flags & MPTRACK_FLAG_STATE2)) return true;
        const bool own = trk.Channel >= 0;
        if ((own && DWORD(trk.Channel) != ch) || IndexOf(ids, DWORD(trk.Port)) != portNo) return true;
        CArticHostWalk::Blocks(host, trkPos, [&](const _MPBLOCKINFO&, POSITION blkPos) {
            CArticHostWalk::Events(host, trkPos, blkPos, [&](const tagMPEVENT& e, POSITION) {
                const bool counts = notesOnly ? e.Kind == MPEVENT_KIND_NOTE : !IsVariableMPEventKind(e.Kind);
                if (counts && (own || DWORD(e.Channel) == ch)) found = 1;
                return found == 0;
            });
            return found == 0;
        });
        return found == 0;
    });
    return found;
}

int CArticEditorUtil::ResetPortName(const CStringList* names, const DWORD* ids, int count) {
    CArticPrefSep* sep = s_pPref ? s_pPref->GetSep() : nullptr;
    if (!names || !ids || !sep) return 1;
    sep->SetPortList(names);
    sep->SetPortIDArray(ids, count);
    sep->UpdatePortInfo();
    return 0;
}
