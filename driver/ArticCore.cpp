#include "driver/ArticCore.h"

#include "services/ArticErr.h"
#include "services/ArticPasn.h"
#include "services/ArticPasnCommon.h"
#include "services/ArticPasnData.h"
#include "services/ArticPref.h"
#include "driver/ArticStep.h"
#include "driver/ArticTransMgr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpMgr.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/work/ArticCash.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"

VX_IMPLEMENT_CLASS(CArticCore, CObject);

namespace {

constexpr UINT kCoreDlgIcon = 16;

}  // namespace

CArticCore::CArticCore() { Init(nullptr, nullptr); }

CArticCore::CArticCore(CKPSManager* host) : m_pCEditor(host), m_BufMode(1) { Init(nullptr, nullptr); }

CArticCore::CArticCore(CKPSManager* host, CArticWrk* wrk, CArticExp* exp)
    : m_pCEditor(host), m_BufMode(2), m_pGivenWrk(wrk), m_pGivenExp(exp) {
    Init(wrk, exp);
}

void CArticCore::Init(CArticWrk* wrk, CArticExp* exp) {
    CArticCash::Clear();
    CArticErr::Clear();
    CreateBuffer(wrk, exp);
    CreatePartAssign();
    CreatePreference();
    CreateManager();
    CArticUtil::InitRand();
    m_pView = nullptr;
}

CArticCore::~CArticCore() {
    DeleteBuffer(m_BufMode == 2);
    DeletePartAssign();
    DeletePreference();
    DeleteManager();
    CArticCash::Delete();
    CArticErr::Clear();
    CArticErr::Delete();
}

// ------------------------------------------------------------ buffers and managers

void CArticCore::CreateBuffer(CArticWrk* wrk, CArticExp* exp) {
    m_pWrk = wrk ? wrk : new CArticWrk;
    m_pExp = exp ? exp : new CArticExp;
    m_pWrkBackup = new CArticWrk;
    m_pSortBlk = new CArticExpBlk(nullptr, 0);
    m_pMidWrk = new CArticWrk;
}

void CArticCore::DeleteBuffer(bool keepGiven) {
    if (!keepGiven || m_pWrk != m_pGivenWrk) delete m_pWrk;
    if (!keepGiven || m_pExp != m_pGivenExp) delete m_pExp;
    delete m_pWrkBackup;
    delete m_pSortBlk;
    delete m_pMidWrk;
    m_pWrk = m_pWrkBackup = m_pMidWrk = nullptr;
    m_pExp = nullptr;
    m_pSortBlk = nullptr;
}

void CArticCore::CreatePartAssign() { m_pPasn = new CArticPasn(m_pCEditor); }

void CArticCore::DeletePartAssign() {
    delete m_pPasn;
    m_pPasn = nullptr;
}

void CArticCore::CreatePreference() { m_pPref = new CArticPref; }

void CArticCore::DeletePreference() {
    delete m_pPref;
    m_pPref = nullptr;
}

void CArticCore::CreateManager() {
    if (m_pWrk && m_pExp && m_pSortBlk && m_pPasn && m_pMidWrk) {
        m_pLoadMgr = new CArticLoadMgr(m_pWrk, m_pExp, nullptr, m_pSortBlk, m_pPasn, m_pMidWrk);
        m_pExpMgr = new CArticExpMgr(m_pWrk, m_pExp, m_pSortBlk, m_pPasn, m_pMidWrk);
    }
    if (m_pMidWrk) m_pTransMgr = new CArticTransMgr(m_pMidWrk, m_pCEditor, m_pPref);
    m_pEditorMgr = CArticEditorUtil::GetEditorMgr();
}

void CArticCore::DeleteManager() {
    delete m_pLoadMgr;
    delete m_pExpMgr;
    delete m_pTransMgr;
    m_pLoadMgr = nullptr;
    m_pExpMgr = nullptr;
    m_pTransMgr = nullptr;
}

void CArticCore::SetLoadMgr(CArticLoadMgr* mgr) {
    if (mgr == m_pLoadMgr) return;
    delete m_pLoadMgr;
    m_pLoadMgr = mgr;
}

void CArticCore::SetTransMgr(CArticTransMgr* mgr) {
    if (mgr == m_pTransMgr) return;
    delete m_pTransMgr;
    m_pTransMgr = mgr;
}

// ------------------------------------------------------------ host, selection, queries

void CArticCore::SetCEditor(CKPSManager* host) {
    m_pCEditor = host;
    if (m_pTransMgr) m_pTransMgr->SetCEditor(host);
    if (m_pEditorMgr) m_pEditorMgr->SetCEditor(host);
    if (m_pPasn) m_pPasn->SetCEditor(host);
}

void CArticCore::SetPosList(const CArticPosList* list) {
    if (m_pTransMgr) m_pTransMgr->CopyPosList(list);
    if (m_pEditorMgr) m_pEditorMgr->SetSelectBlkPosList(list);
}

int CArticCore::SetBlkPosList() {
    if (!m_pEditorMgr) return 1;
    const int r = m_pEditorMgr->SetBlkPosList();
    if (r == 0) m_pEditorMgr->SetVoiceState(1);
    return r;
}

int CArticCore::GetVoiceState() const { return m_pEditorMgr ? m_pEditorMgr->GetVoiceState() : 0; }

void CArticCore::SetVoiceState(int state) {
    if (m_pEditorMgr) m_pEditorMgr->SetVoiceState(state);
}

int CArticCore::IsError() const { return CArticErr::IsError(); }

int CArticCore::GetWrkTrkCount() const { return m_pWrk ? m_pWrk->GetCount() : 0; }

int CArticCore::GetExpTrkCount() const { return m_pExp ? m_pExp->GetCount() : 0; }

int CArticCore::GetMidEvntTime(int trk, int blk, int evnt, INT64* time) const {
    CArticWrkTrk* t = m_pMidWrk ? m_pMidWrk->Get(trk) : nullptr;
    CArticWrkBlk* b = t ? t->Get(blk) : nullptr;
    CArticWrkEvnt* e = b ? b->Get(evnt) : nullptr;
    if (!e || !time) return 1;
    *time = e->GetTime();
    return 0;
}

int CArticCore::MergeWrkBlk() { return m_pWrk ? m_pWrk->MergeBlk() : 1; }

int CArticCore::RenumberWrk() { return m_pWrk ? m_pWrk->Renumber() : 1; }

int CArticCore::SetFngrInfo(const CStringList& lines) { return m_pWrk ? m_pWrk->SetFngrInfo(lines) : 1; }

// ------------------------------------------------------------ separation and parts

int CArticCore::ResetPortName(const CStringList* names, const DWORD* ports, int count) {
    CArticPrefSep* sep = m_pPref ? m_pPref->GetSep() : nullptr;
    if (!names || !ports || !sep) return 1;
    sep->SetPortList(names);
    sep->SetPortIDArray(ports, count);
    sep->UpdatePortInfo();
    return 0;
}

int CArticCore::ResetPrefSep(const CStringList* names, const DWORD* ports, int count, const DWORD* portIds,
                             const DWORD* chs) {
    if (!names || !ports || !portIds || !chs || !m_pPref || !m_pEditorMgr) return 1;
    CArticPrefSep* sep = m_pPref->GetSep();
    CArticPrefSetting* setting = m_pPref->GetSetting();
    if (!sep || !setting) return 1;
    sep->Initialize();
    sep->SetPortList(names);
    sep->SetPortIDArray(ports, count);
    sep->UpdatePortInfo();
    sep->SetGen(CArticPrefSep::kMaxGen);
    auto take = [sep](int gen, DWORD portId, DWORD ch) {
        sep->SetPortID(gen, portId);
        sep->SetCh(gen, ch);
    };
    const int mode = setting->GetInitSep();
    if (mode == 0) {
        for (int i = 0; i < CArticPrefSep::kMaxGen; ++i) take(i, portIds[i], chs[i]);
        return 0;
    }
    if (mode != 1 && mode != 2) return 1;
    take(0, portIds[0], chs[0]);
    DWORD port = CArticEditorUtil::GetPortFromPortID(m_pCEditor, portIds[0]);
    DWORD ch = chs[0];
    for (int i = 1; i < int(sep->GetGen()); ++i) {
        DWORD p = port, c = ch;
        const int found = mode == 1 ? m_pEditorMgr->GetEmptyPortCh(sep, DWORD(names->GetCount()), &p, &c)
                                    : m_pEditorMgr->GetEmptyPortCh2(sep, DWORD(names->GetCount()), &p, &c);
        if (found) {
            take(i, CArticEditorUtil::GetPortIDFromPort(m_pCEditor, p), c);
            port = p;
            ch = c;
        } else {
            // No channel empty in the song: the string stays on the part's own
            // port and channel (another entry's pair may be a channel of
            // another part).
            take(i, portIds[0], chs[0]);
        }
    }
    return 0;
}

int CArticCore::LayerDone() const { return m_pPasn ? m_pPasn->IsLayer() : 0; }

int CArticCore::PasnExp() { return m_pLoadMgr ? m_pLoadMgr->PasnExp() : 1; }

int CArticCore::GetPasnCommon(CArticPasnCommon** out) const {
    if (out) *out = m_pPasn ? m_pPasn->GetCommon() : nullptr;
    return m_pPasn && m_pPasn->GetCommon() ? 0 : 1;
}

int CArticCore::GetPasnData(int trk, int blk, CArticPasnData** out) const {
    CArticWrkTrk* t = m_pMidWrk ? m_pMidWrk->Get(trk) : nullptr;
    CArticWrkBlk* b = t ? t->Get(blk) : nullptr;
    CArticPasnData* data = b && m_pPasn ? m_pPasn->Get(b) : nullptr;
    if (out) *out = data;
    return data ? 0 : 1;
}

int CArticCore::ResetPasnData(DWORD portCount, BYTE port, BYTE ch, CArticArrayCh* used, CArticArrayCh* origin,
                              CArticArrayCh* client, CArticArrayCh* result) {
    CArticPrefSetting* setting = m_pPref ? m_pPref->GetSetting() : nullptr;
    if (!m_pPasn || !setting) return 1;
    m_pPasn->ReLinkWrkBlk(m_pMidWrk);
    switch (setting->GetInitSep()) {
    case 0:
        return m_pPasn->ResetAll(port, ch);
    case 1:
    case 2:
        if (used && origin && result)
            return m_pPasn->ResetSeqOrig(port, ch, used, origin, client, result) |
                   m_pPasn->ResetSeqAll(port, ch, used, origin, client, result);
        return m_pPasn->ResetSeqOrig(portCount, port, ch) | m_pPasn->ResetSeqAll(portCount, port, ch);
    default:
        return 1;
    }
}

void CArticCore::DispErrMsg(const CString& message, const CString& function, const CString& detail, int flag) {
    CArticErr::Set(3, message, CString("CArticCore"), function, CString());
    CString last;
    CArticErr::Get(last);
    CArticErr::DoModalErrDlg(CString("\r") + last, kCoreDlgIcon);
    if (flag && !detail.IsEmpty()) CArticErr::Set(5, detail, CString(), CString(), CString());
}

// ------------------------------------------------------------ buffers per channel

void CArticCore::ClearBuffers() {
    if (m_pWrk) m_pWrk->Clear();
    if (m_pWrkBackup) m_pWrkBackup->Clear();
    if (m_pExp) m_pExp->Clear();
    if (m_pSortBlk) m_pSortBlk->Clear();
    if (m_pMidWrk) m_pMidWrk->Clear();
    if (m_pPasn) m_pPasn->Clear();
}

void CArticCore::Clear() {
    ClearBuffers();
    if (m_pTransMgr) m_pTransMgr->Clear();
    CArticCash::Clear();
}

void CArticCore::Clear2nd() {
    ClearBuffers();
    CArticErr::Clear();
}

int CArticCore::Load(CStringList& wrkLines, CStringList& expLines) {
    return ArticLoadDumps(m_pLoadMgr, wrkLines, expLines);
}

int CArticCore::LoadExp(CStringList& lines) { return ArticLoadExpDump(m_pLoadMgr, lines); }

int CArticCore::Separate2(CArticWrk* dst, BYTE transMode, CArticArrayCh* used, CArticArrayCh* client) {
    if (!m_pLoadMgr || !m_pPref || !dst) return 1;
    CArticPrefSep* sep = m_pPref->GetSep();
    CArticPrefSetting* setting = m_pPref->GetSetting();
    if (!sep || !setting) return 1;
    return m_pLoadMgr->Separate(m_pCEditor, sep, setting, dst, char(transMode), used, client);
}

int CArticCore::BackupWrk(CArticWrk* target) {
    if (!m_pWrk || !target) return 1;
    target->Clear();
    target->CopyForCore(m_pWrk);
    return 0;
}

int CArticCore::BackupWrk() { return BackupWrk(m_pWrkBackup); }

int CArticCore::RestoreProb(CArticWrk* source) { return m_pWrk && source ? m_pWrk->RestoreProb(source) : 1; }

int CArticCore::RestoreProb() {
    const int r = RestoreProb(m_pWrkBackup);
    if (m_pWrkBackup) m_pWrkBackup->Clear();
    return r;
}

int CArticCore::Replace(CArticWrk* wrk, CArticExp* exp) {
    if (!wrk || !exp) return 1;
    // The data given to a runner of buffer mode 2 belong to its maker.
    if (m_pWrk != wrk && m_pWrk != m_pGivenWrk) delete m_pWrk;
    if (m_pExp != exp && m_pExp != m_pGivenExp) delete m_pExp;
    m_pWrk = wrk;
    m_pExp = exp;
    if (m_pExpMgr) {
        m_pExpMgr->SetWrk(wrk);
        m_pExpMgr->SetExp(exp);
    }
    if (!m_pLoadMgr) return 1;
    m_pLoadMgr->SetWrk(wrk);
    m_pLoadMgr->SetExp(exp);
    return m_pLoadMgr->CheckExp();
}

// ------------------------------------------------------------ the pipeline steps


template <typename Op>
int CArticCore::PhaseStep(const char* header, Op op) {
    if (!m_pExpMgr) return 1;
    ArticPostHeader(header);
    return op(*m_pExpMgr);
}

int CArticCore::Copy() {
    if (!m_pLoadMgr) return 1;
    ArticPostHeader("== ｺﾋﾟｰｴﾗｰ");
    int result = 0;
    // All three run whatever the earlier ones gave.
    for (const int r : {m_pLoadMgr->PasnExp(), m_pLoadMgr->CopyWrk(), m_pLoadMgr->AssignWrk()})
        if (r != 0) result = r;
    return result;
}

int CArticCore::Sort(const CStringList& order) {
    return PhaseStep("== ｿｰﾄｴﾗｰ", [&order](CArticExpMgr& mgr) { return mgr.SortExp(order); });
}

int CArticCore::ReLink() {
    return PhaseStep("== 再ﾘﾝｸｴﾗｰ", [](CArticExpMgr& mgr) { return mgr.ReLinkExp(); });
}

int CArticCore::Convert() {
    return PhaseStep("== ｺﾝﾊﾞｰﾄ1ｴﾗｰ", [this](CArticExpMgr& mgr) {
        mgr.SetProcDialog(m_pView);
        return mgr.ConvToWrk();
    });
}

int CArticCore::ConvertCombine() {
    return PhaseStep("== ｺﾝﾊﾞｰﾄ1-2ｴﾗｰ", [](CArticExpMgr& mgr) { return mgr.ConvToWrkCombine(); });
}

int CArticCore::Convert2() {
    return PhaseStep("== ｺﾝﾊﾞｰﾄ2ｴﾗｰ", [](CArticExpMgr& mgr) { return mgr.ConvToWrk2(); });
}

int CArticCore::Convert3() {
    return PhaseStep("== ｺﾝﾊﾞｰﾄ3ｴﾗｰ", [](CArticExpMgr& mgr) { return mgr.ConvToWrk3(); });
}

int CArticCore::TransferRep(POSITION* trks, POSITION blk, int* counts) {
    if (!m_pTransMgr) return 1;
    ArticPostHeader("== ﾄﾗﾝｽﾚｰﾄｴﾗｰ");
    int r = m_pTransMgr->EditToWrk();
    if (r != 0) return r;
    r = m_pTransMgr->ConvToCEditorRep(trks, blk, counts);
    if (r != 0)
        DispErrMsg(CString("中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄをMIDIﾃﾞｰﾀに変換する際にｴﾗｰが発生しました。"), CString("TransferRep"),
                   CString("m_pTransMgr->ConvToCEditorRep()"), 1);
    return r;
}
