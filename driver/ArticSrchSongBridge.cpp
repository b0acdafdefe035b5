#include "driver/ArticSrchSongBridge.h"

#include "services/ArticArrayCh.h"
#include "driver/ArticEditorMgr.h"
#include "driver/ArticEditorUtil.h"
#include "driver/ArticView.h"
#include "services/PHConvPrm.h"

int CArticSrchSongBridge::GetCurBeat(CKPSManager* host, DWORD time, BYTE* num, BYTE* den) const {
    return CArticEditorUtil::GetCurBeat(host, time, num, den);
}

int CArticSrchSongBridge::GetCurKey(CKPSManager* host, DWORD time, BYTE* sf, BYTE* mi) const {
    return CArticEditorUtil::GetCurKey(host, time, sf, mi);
}

int CArticSrchSongBridge::GetCurChord(CKPSManager* host, DWORD time, BYTE* root, BYTE* type, BYTE* bassRoot,
                                      BYTE* bassType) const {
    return CArticEditorUtil::GetCurChord(host, time, root, type, bassRoot, bassType);
}

int CArticSrchSongBridge::GetCurTempo(CKPSManager* host, DWORD time, WORD* tempo, DWORD* evntTime) const {
    return CArticEditorUtil::GetCurTempo(host, time, tempo, evntTime);
}

int CArticSrchSongBridge::GetTimeFromMeter(CKPSManager* host, INT64 time, INT64* out) const {
    return CArticEditorUtil::GetTimeFromMeter(host, time, out);
}

int CArticSrchSongBridge::GetTimeFromKey(CKPSManager* host, INT64 time, INT64* out) const {
    return CArticEditorUtil::GetTimeFromKey(host, time, out);
}

int CArticSrchSongBridge::GetChVoice(DWORD key, BYTE* pro, BYTE* msb, BYTE* lsb) const {
    CArticEditorMgr* mgr = CArticEditorUtil::GetEditorMgr();
    CArticArrayCh* table = mgr ? mgr->GetClientCh() : nullptr;
    const int at = table ? table->SearchOrigiCh(key) : -1;
    const CArrayChInfo* info = at >= 0 ? table->GetOrigiChInfo(at) : nullptr;
    // A channel the song never gave a voice is "no program", not program 0.
    if (!info || !info->HasVoice()) return 1;
    *pro = info->GetProNo();
    *msb = info->GetBSelMsb();
    *lsb = info->GetBSelLsb();
    return 0;
}

int CArticSrchSongBridge::GetTargetVoice(BYTE* pro, BYTE* msb, BYTE* lsb) const {
    CArticView* view = CArticEditorUtil::GetView();
    const CPHConvPrm* prm = view ? view->GetConvPrm() : nullptr;
    if (!prm) return 1;
    *pro = prm->Program;
    *msb = prm->BankMsb;
    *lsb = prm->BankLsb;
    return 0;
}

int CArticSrchSongBridge::GetPortAdrsFromPortNo(CKPSManager* host, DWORD portNo, DWORD* adrs) const {
    return CArticEditorUtil::GetPortAdrsFromPortNo(host, portNo, adrs);
}

const CArticSrchSongBridge& CArticSrchSongBridge::Instance() {
    static const CArticSrchSongBridge bridge;
    return bridge;
}
