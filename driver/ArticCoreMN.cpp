#include "driver/ArticCoreMN.h"

#include <memory>
#include <vector>

#include "services/ArticArrayCh.h"
#include "driver/ArticCore.h"
#include "driver/ArticEditorUtil.h"
#include "services/ArticErr.h"
#include "services/ArticPref.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpMgr.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkTrk.h"
#include "host/PhrasorApp.h"
#include "platform/File.h"
#include "platform/Messages.h"

VX_IMPLEMENT_CLASS(CArticCoreMN, CObject);

CArticCoreMN::CArticCoreMN(CKPSManager* host) : m_pCEditor(host), m_pCore(new CArticCore(host)) {
    CArticPrefSetting* setting = GetSetting();
    if (!setting) return;
    setting->SetWrkReNum(0);
    setting->SetWrkMerge(1);
    setting->SetWrkMstr(0);
    setting->SetWrkTempo(1);
    setting->SetInitSep(1);
    setting->SetExiFile(0);
    setting->SetTAD(0);
    setting->SetWrkPath(CString());
    setting->SetExiPath(CString());
    setting->SetDefBlkName(CString("AutoArticulation"));
    setting->SetExiFileName(CString());
    setting->SetRulPath(CString());
    setting->SetLibPath(GetPhrasorApp().GetProgramFolder() + "Lib\\");
}

CArticCoreMN::~CArticCoreMN() { delete m_pCore; }

void CArticCoreMN::SetCore(CArticCore* core) {
    if (core == m_pCore) return;
    delete m_pCore;
    m_pCore = core;
}

CArticPrefSetting* CArticCoreMN::GetSetting() const {
    return m_pCore && m_pCore->GetPref() ? m_pCore->GetPref()->GetSetting() : nullptr;
}

CArticPrefSep* CArticCoreMN::GetSep() const {
    return m_pCore && m_pCore->GetPref() ? m_pCore->GetPref()->GetSep() : nullptr;
}

int CArticCoreMN::GetWrkReNum() const { return GetSetting() ? GetSetting()->GetWrkReNum() : 1; }

int CArticCoreMN::GetWrkMerge() const { return GetSetting() ? GetSetting()->GetWrkMerge() : 1; }

void CArticCoreMN::Clear() {
    if (m_pCore) m_pCore->Clear();
}

void CArticCoreMN::Clear2nd() {
    if (m_pCore) m_pCore->Clear2nd();
}

void CArticCoreMN::RemoveStrList(CStringList& list) {
    if (!list.IsEmpty()) list.RemoveAll();
}

int CArticCoreMN::ResetStrList(const CString& path, CStringList& list) {
    list.RemoveAll();
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) return 0;
    CString line;
    while (file.ReadString(line)) list.AddTail(line);
    file.Close();
    return list.IsEmpty() ? 0 : 1;
}

int CArticCoreMN::RestoreWrkExp(CArticWrk* wrk, CArticExp* exp) {
    if (!m_pCore || !wrk || !exp) return 1;
    const int r = m_pCore->Replace(wrk, exp);
    m_pCore->RestoreProb(wrk);
    return r;
}

int CArticCoreMN::CopyWrkExp(CArticWrk* wrk, CArticExp* exp) {
    if (!m_pCore || !wrk || !exp) return 1;
    auto newWrk = std::make_unique<CArticWrk>();
    auto newExp = std::make_unique<CArticExp>();
    const int merge = GetWrkMerge();
    const int renum = GetWrkReNum();
    newWrk->CopyForCore(wrk);
    if (const int r = CArticExpUtil::CopyExpForCore(exp, newExp.get(), newWrk.get())) return r;
    CArticWrk* w = newWrk.release();
    CArticExp* e = newExp.release();
    // The runner owns both from here, whatever its check says.
    if (const int r = RestoreWrkExp(w, e)) return r;
    if (merge) m_pCore->MergeWrkBlk();
    if (renum) m_pCore->RenumberWrk();
    return 0;
}

// ------------------------------------------------------------ ports

void CArticCoreMN::GetPortName(CStringList* list, DWORD** ports, int* count) {
    if (!m_pCEditor || !list) return;
    std::vector<DWORD> numbers;
    CStringList names;
    if (CArticEditorUtil::GetPortList(m_pCEditor, &numbers, &names) != 0) return;
    list->RemoveAll();
    for (POSITION p = names.GetHeadPosition(); p;) {
        const CString& name = names.GetNext(p);
        list->AddTail(name == "NO PORT" ? CString("---") : name);
    }
    if (ports) {
        *ports = new DWORD[numbers.size() + 1];
        for (size_t i = 0; i < numbers.size(); ++i) (*ports)[i] = numbers[i];
    }
    if (count) *count = int(numbers.size());
}

void CArticCoreMN::GetPortChNo(DWORD* portIds, DWORD* chs) {
    CArticWrk* wrk = m_pCore ? m_pCore->GetWrk() : nullptr;
    if (!wrk || !portIds || !chs) return;
    int n = 0;
    for (POSITION p = wrk->GetHeadPos(); p && n < kPartCount;) {
        CArticWrkTrk* trk = wrk->GetNext(p);
        if (!trk || trk->GetTrkNo() == 0) continue;
        const DWORD port = trk->GetPort();
        portIds[n] = port == DWORD(-1) ? DWORD(-1) : CArticEditorUtil::GetPortIDFromPort(m_pCEditor, port);
        chs[n] = trk->GetCh();
        ++n;
    }
}

int CArticCoreMN::ResetPortName() {
    if (!m_pCore) return 0;
    CStringList list;
    DWORD* ports = nullptr;
    int count = 0;
    GetPortName(&list, &ports, &count);
    m_pCore->ResetPortName(&list, ports, count);
    delete[] ports;
    return count;
}

void CArticCoreMN::ResetPrefSep(CStringList* list, DWORD** ports, int* count) {
    if (!m_pCore || !list || !ports || !count) return;
    DWORD portIds[kPartCount] = {};
    DWORD chs[kPartCount] = {};
    GetPortName(list, ports, count);
    GetPortChNo(portIds, chs);
    m_pCore->ResetPrefSep(list, *ports, *count, portIds, chs);
}

// ------------------------------------------------------------ split and parts

int CArticCoreMN::Separate2(BYTE transMode, CArticArrayCh* used, CArticArrayCh* client) {
    if (!m_pCEditor || !m_pCore || !m_pCore->GetWrk()) return 0;
    CArticWrk* old = m_pCore->GetWrk();
    if (old->GetFng() == 0) return 0;
    auto newWrk = std::make_unique<CArticWrk>();
    auto newExp = std::make_unique<CArticExp>();
    newWrk->SetFng(old->GetFng());
    CStringList names;
    DWORD* ports = nullptr;
    int count = 0;
    ResetPrefSep(&names, &ports, &count);
    delete[] ports;
    const int voiceState = m_pCore->GetVoiceState();
    if (const int r = m_pCore->Separate2(newWrk.get(), transMode, used, client)) return r;
    if (const int r = CArticEditorUtil::DeleteExpTrkNonSel(newWrk.get(), m_pCore->GetExp())) return r;
    if (const int r = CArticExpUtil::CopyExp(m_pCore->GetExp(), newExp.get(), newWrk.get())) return r;
    newWrk->RestoreProb(old);
    CArticWrk* w = newWrk.release();
    CArticExp* e = newExp.release();
    if (const int r = m_pCore->Replace(w, e)) return r;
    w->ClearFngrInfo();
    if (voiceState) m_pCore->SetBlkPosList();
    return 0;
}

int CArticCoreMN::SetLayer(CArticArrayCh* used, CArticArrayCh* origin, CArticArrayCh* client) {
    auto result = std::make_unique<CArticArrayCh>();
    result->InitOrigiCh();
    if (!m_pCore) return 1;
    const DWORD ports = DWORD(ResetPortName()) & 0xFF;
    BYTE port = BYTE(-1);
    BYTE ch = BYTE(-2);
    if (used && used->GetOrigiChNum() > 0) {
        const DWORD key = used->GetOrigiCh(0);
        port = BYTE((key >> 8) & 0xFF);
        ch = BYTE(key & 0xFF);
    }
    const int r = m_pCore->ResetPasnData(ports, port, ch, used, origin, client, result.get());
    if (r != 0) {
        // Reported, never waited for: the conversion goes on with the transfer.
        const CString message("ﾊﾟｰﾄの割り当てに失敗しました。");
        CArticErr::Set(3, message, CString("CArticCoreMN"), CString("SetLayer"), CString());
        ShowMessage(message, CString(), MB_OK | MB_ICONWARNING);
    }
    if (m_pCore->GetEditorMgr()) m_pCore->GetEditorMgr()->DeleteMpLock();
    return r;
}

// ------------------------------------------------------------ the pipeline

int CArticCoreMN::ConvertRep(CArticWrk* wrk, CArticExp* exp, POSITION* trks, POSITION blk, int* counts,
                             BYTE transMode, BYTE selMode, INT64 firstNoteOn, CArticArrayCh* used,
                             CArticArrayCh* origin, CArticArrayCh* client) {
    if (!m_pCore) return 1;
    if (CArticEditorMgr* mgr = m_pCore->GetEditorMgr()) {
        mgr->SetTransMode(transMode);
        mgr->SetSelMode(selMode);
        mgr->SetFirstNoteOnTime(firstNoteOn);
    }
    m_pCore->SetProcDialog(m_pView);
    CArticPrefSetting* setting = GetSetting();
    if (!setting || !wrk || !exp) return 1;
    const int sortByFile = setting->GetExiFile();

    if (const int r = CopyWrkExp(wrk, exp)) return r;
    if (const int r = Separate2(transMode, used, client)) return r;
    if (const int r = m_pCore->Copy()) return r;
    if (sortByFile) {
        CStringList order;
        ResetStrList(setting->GetExiFileName(), order);
        if (const int r = m_pCore->Sort(order)) return r;
    } else if (const int r = m_pCore->ReLink()) {
        return r;
    }
    // Single expressions that fail inside the phases stay diagnostics.
    m_pCore->Convert();
    m_pCore->ConvertCombine();
    m_pCore->Convert2();
    m_pCore->Convert3();
    SetLayer(used, origin, client);
    return m_pCore->TransferRep(trks, blk, counts);
}
