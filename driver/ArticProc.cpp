#include "driver/ArticProc.h"

#include "services/ArticErr.h"
#include "services/ArticPref.h"
#include "driver/ArticStep.h"
#include "services/ArticTimeInfo.h"
#include "driver/ArticTimeMgr.h"
#include "services/PHConvPrm.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpMgr.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticCreExpMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulInit.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticRulSub.h"
#include "engine/work/ArticCash.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkTrk.h"

VX_IMPLEMENT_CLASS(CArticProc, CObject);

namespace {

constexpr UINT kDumpIcon = 16;

void CopyLines(CStringList& dst, const CStringList& src) {
    dst.RemoveAll();
    dst.AddTail(src);
}

}  // namespace

CArticProc::CArticProc(CKPSManager* host, CPhrasorProc* view, CArticExpReceiver* receiver)
    : m_pView(view),
      m_pReceiver(receiver),
      m_pStrWrk(new CStringList(10)),
      m_pStrExp(new CStringList(10)),
      m_pStrRul(new CStringList(10)),
      m_pCEditor(host) {
    CArticCash::Clear();
    CArticErr::Clear();
    CreateBuffer();
    CreatePreference();
    CreateManager();
    CArticUtil::InitRand();
}

CArticProc::~CArticProc() {
    DeleteBuffer();
    DeletePreference();
    DeleteManager();
    CArticCash::Delete();
    CArticErr::Delete();
    delete m_pStrWrk;
    delete m_pStrExp;
    delete m_pStrRul;
}

// ------------------------------------------------------------ buffers and managers

void CArticProc::CreateBuffer() {
    m_pWrk = new CArticWrk;
    m_pWrkBackup = new CArticWrk;
    m_pExp = new CArticExp;
    m_pRul = new CArticRul;
    m_pRul->SetWrk(m_pWrk);
}

void CArticProc::DeleteBuffer() {
    // The managers are bound to these: they must not run after this.
    delete m_pWrk;
    delete m_pWrkBackup;
    delete m_pExp;
    delete m_pRul;
    m_pWrk = m_pWrkBackup = nullptr;
    m_pExp = nullptr;
    m_pRul = nullptr;
}

void CArticProc::CreatePreference() {
    m_pPref = new CArticPref;
    CArticEditorUtil::SetPref(m_pPref);
}

void CArticProc::DeletePreference() {
    if (CArticEditorUtil::GetPref() == m_pPref) CArticEditorUtil::SetPref(nullptr);
    delete m_pPref;
    m_pPref = nullptr;
}

void CArticProc::CreateManager() {
    if (m_pWrk && m_pExp && m_pRul) {
        m_pLoadMgr = new CArticLoadMgr(m_pWrk, m_pExp, m_pRul, nullptr, nullptr, nullptr);
        m_pLoadMgr->SetProcDialog(m_pView);
        m_pTimeMgr = new CArticTimeMgr(m_pWrk, m_pExp, m_pRul);
    }
    if (m_pWrk && m_pExp) m_pExpMgr = new CArticExpMgr(m_pWrk, m_pExp, nullptr, nullptr, nullptr);
    if (m_pWrk && m_pExp && m_pRul) {
        m_pCreExpMgr = new CArticCreExpMgr(m_pWrk, m_pExp, m_pRul);
        // Without a driver the loader turns the texts into expressions itself.
        m_pCreExpMgr->SetProcDialog(m_pReceiver ? m_pReceiver : m_pLoadMgr);
    }
    m_pEditorMgr = new CArticEditorMgr(m_pCEditor);
    CArticEditorUtil::SetEditorMgr(m_pEditorMgr);
}

void CArticProc::DeleteManager() {
    delete m_pLoadMgr;
    delete m_pTimeMgr;
    delete m_pExpMgr;
    delete m_pCreExpMgr;
    if (CArticEditorUtil::GetEditorMgr() == m_pEditorMgr) CArticEditorUtil::SetEditorMgr(nullptr);
    delete m_pEditorMgr;
    m_pLoadMgr = nullptr;
    m_pTimeMgr = nullptr;
    m_pExpMgr = nullptr;
    m_pCreExpMgr = nullptr;
    m_pEditorMgr = nullptr;
}

// ------------------------------------------------------------ host and selection

void CArticProc::SetCEditor(CKPSManager* host) {
    ForgetRulLoad();
    m_pCEditor = host;
    if (m_pEditorMgr) m_pEditorMgr->SetCEditor(host);
    if (m_pRul) m_pRul->SetCEditor(host);
}

int CArticProc::GetCEditor(CKPSManager** host) const {
    if (host) *host = m_pCEditor;
    return 1;
}

int CArticProc::SetPosList(const CArticPosList* list) {
    return m_pEditorMgr ? m_pEditorMgr->SetSelectBlkPosList(list) : 1;
}

int CArticProc::SetPosList(CKPSManager* host, const CArticPosList* list) {
    if (!m_pEditorMgr) return 1;
    CArticPrefSetting* setting = m_pPref ? m_pPref->GetSetting() : nullptr;
    if (setting) m_pEditorMgr->SetInitSep(setting->GetInitSep());
    return m_SelMode != 0 ? m_pEditorMgr->SetSelectEvntPosList(host, list)
                          : m_pEditorMgr->SetSelectBlkPosList(host, list);
}

int CArticProc::SetBlkPosList() {
    if (!m_pEditorMgr) return 1;
    const int r = m_pEditorMgr->SetBlkPosList();
    if (r == 0) m_pEditorMgr->SetVoiceState(1);
    return r;
}

int CArticProc::GetSelTrk(std::vector<POSITION>* trks, std::vector<int>* counts) const {
    return m_pEditorMgr ? m_pEditorMgr->GetSelTrk(trks, counts) : 1;
}

int CArticProc::DeleteSelectEvent() { return m_pEditorMgr ? m_pEditorMgr->DeleteSelectEvent() : 0; }

int CArticProc::DeleteSelectBlock() { return m_pEditorMgr ? m_pEditorMgr->DeleteSelectBlock() : 0; }

int CArticProc::GetVoiceState() const { return m_pEditorMgr ? m_pEditorMgr->GetVoiceState() : 0; }

void CArticProc::SetVoiceState(int state) {
    if (m_pEditorMgr) m_pEditorMgr->SetVoiceState(state);
}

int CArticProc::IsError() const { return CArticErr::IsError(); }

// ------------------------------------------------------------ queries

int CArticProc::GetWrkTrkCount() const { return m_pWrk ? m_pWrk->GetCount() : 0; }

int CArticProc::GetWrkBlkCount(int trk) const {
    CArticWrkTrk* t = m_pWrk ? m_pWrk->Get(trk) : nullptr;
    return t ? t->GetCount() : 0;
}

ULONG CArticProc::GetWrkTrkNo(int index) const { return m_pWrk ? m_pWrk->GetTrkNo(index) : 0; }

ULONG CArticProc::GetWrkBlkNo(int trk, int index) const { return m_pWrk ? m_pWrk->GetBlkNo(trk, index) : 0; }

int CArticProc::GetWrkOutArray(ULONG evntNo, CArticLongArray** out) const {
    return m_pWrk ? m_pWrk->GetOutArray(evntNo, out) : 1;
}

CArticLongArray* CArticProc::GetWrkOutArray(ULONG evntNo) const {
    return m_pWrk ? m_pWrk->GetOutArray(evntNo) : nullptr;
}

int CArticProc::MergeWrkBlk() {
    ForgetRulLoad();
    return m_pWrk ? m_pWrk->MergeBlk() : 1;
}

int CArticProc::RenumberWrk() {
    ForgetRulLoad();
    return m_pWrk ? m_pWrk->Renumber() : 1;
}

int CArticProc::GetExpTrkCount() const { return m_pExp ? m_pExp->GetCount() : 0; }

int CArticProc::GetExpBlkCount(int trk) const {
    CArticExpTrk* t = m_pExp ? m_pExp->Get(trk) : nullptr;
    return t ? t->GetCount() : 0;
}

ULONG CArticProc::GetExpTrkNo(int index) const { return m_pExp ? m_pExp->GetTrkNo(index) : 0; }

ULONG CArticProc::GetExpBlkNo(int trk, int index) const { return m_pExp ? m_pExp->GetBlkNo(trk, index) : 0; }

CString CArticProc::GetRulSubName(int index) const {
    CArticRulSub* sub = m_pRul && index >= 0 ? m_pRul->GetSub(index) : nullptr;
    return sub ? sub->GetName() : CString();
}

int CArticProc::GetRulSetCount() const { return m_pRul ? m_pRul->GetCount() : 0; }

ULONG CArticProc::GetRulSetNo(int index) const {
    CArticRulSet* set = m_pRul && index >= 0 ? m_pRul->Get(index) : nullptr;
    return set ? ULONG(set->GetSetNo()) : 0x7FFFFFFF;
}

CString CArticProc::GetRulSetName(int index) const {
    CArticRulSet* set = m_pRul && index >= 0 ? m_pRul->Get(index) : nullptr;
    return set ? set->GetName() : CString();
}

LONG CArticProc::GetRulInitNo(int index) const {
    CArticRulInit* init = m_pRul && index >= 0 ? m_pRul->GetInit(index) : nullptr;
    return init ? LONG(init->GetInitNo()) : -1;
}

CString CArticProc::GetRulInitName(int index) const {
    const LONG no = GetRulInitNo(index);
    CString name;
    if (no == 1 || no == 2) name.Format("init%d", int(no));
    return name;
}

// ------------------------------------------------------------ dumps

int CArticProc::DumpResult(int r, const char* message) {
    if (r == 0) return 0;
    CString last;
    CArticErr::Get(last);
    CArticErr::DoModalErrDlg(CString(message) + "\r" + last, kDumpIcon);
    return r;
}

int CArticProc::GetWrkStrList(int setIndex, CStringList& list, int withRuleData) {
    if (!m_pExpMgr) return 0;
    return DumpResult(m_pExpMgr->GetWrkStrList(list, GetRulSetNo(setIndex), withRuleData),
                      "音符ﾃﾞｰﾀを文字列ﾘｽﾄに変換する際にｴﾗｰが発生しました。");
}

int CArticProc::GetWrkStrList(int trk, int blk, int setIndex, CStringList& list, int withRuleData) {
    if (!m_pExpMgr) return 0;
    return DumpResult(m_pExpMgr->GetWrkStrList(trk, blk, list, GetRulSetNo(setIndex), withRuleData),
                      "音符ﾃﾞｰﾀを文字列ﾘｽﾄに変換する際にｴﾗｰが発生しました。");
}

int CArticProc::GetExpStrList(CStringList& list) {
    if (!m_pExpMgr) return 0;
    return DumpResult(m_pExpMgr->GetExpStrList(list), "表現ﾃﾞｰﾀを文字列ﾘｽﾄに変換する際にｴﾗｰが発生しました。");
}

int CArticProc::GetExpStrList(int trk, int blk, CStringList& list) {
    if (!m_pExpMgr) return 0;
    return DumpResult(m_pExpMgr->GetExpStrList(trk, blk, list),
                      "表現ﾃﾞｰﾀを文字列ﾘｽﾄに変換する際にｴﾗｰが発生しました。");
}

int CArticProc::OutExpStrList(CStringList& list) {
    if (!m_pCreExpMgr) return 1;
    const int r = WithExecutor([&list](CArticCreExpMgr& mgr) { return mgr.OutExpStrList(list); });
    return DumpResult(r, "表現ﾙｰﾙから作成された表現ﾃﾞｰﾀ（文字列）を出力する際にｴﾗｰが発生した。");
}

int CArticProc::GetErrStrList(CStringList& list) {
    const int r = CArticErr::GetMsgStrList(list);
    if (r != 0) CArticErr::DoModalErrDlg(CString("ｴﾗｰ情報を文字列ﾘｽﾄに変換する際にｴﾗｰが発生しました。"), kDumpIcon);
    return r;
}

// ------------------------------------------------------------ accessors

int CArticProc::GetPref(CArticPref** pref) const {
    if (pref) *pref = m_pPref;
    return 1;
}

int CArticProc::GetTimeMgr(CArticTimeMgr** mgr) const {
    if (mgr) *mgr = m_pTimeMgr;
    return 1;
}

int CArticProc::GetWrk(CArticWrk** wrk) const {
    if (!wrk) return 0;
    *wrk = m_pWrk;
    return 1;
}

int CArticProc::GetExp(CArticExp** exp) const {
    if (!exp) return 0;
    *exp = m_pExp;
    return 1;
}

void CArticProc::SetStrWrkList(const CStringList& list) { CopyLines(*m_pStrWrk, list); }
void CArticProc::SetStrExpList(const CStringList& list) { CopyLines(*m_pStrExp, list); }
void CArticProc::SetStrRulList(const CStringList& list) {
    ForgetRulLoad();
    CopyLines(*m_pStrRul, list);
}

// ------------------------------------------------------------ steps


template <typename Op>
int CArticProc::WithExecutor(Op op) {
    if (!m_pCreExpMgr || !m_pWrk || !m_pExp || !m_pRul) return 1;
    CArticWrk* wrk = nullptr;
    CArticExp* exp = nullptr;
    CArticRul* rul = nullptr;
    CArticTimeInfo* info = nullptr;
    m_pCreExpMgr->Get(&wrk, &exp, &rul, &info);
    m_pCreExpMgr->Set(m_pWrk, m_pExp, m_pRul, nullptr);
    const int r = op(*m_pCreExpMgr);
    m_pCreExpMgr->Set(wrk, exp, rul, info);
    return r;
}

void CArticProc::ClearStrList() {
    ForgetRulLoad();
    m_pStrWrk->RemoveAll();
    m_pStrExp->RemoveAll();
    m_pStrRul->RemoveAll();
}

void CArticProc::Clear() {
    ForgetRulLoad();
    if (m_pWrk) m_pWrk->Clear();
    if (m_pWrkBackup) m_pWrkBackup->Clear();
    if (m_pExp) m_pExp->Clear();
    if (m_pRul) m_pRul->Clear();
    if (m_pTimeMgr) m_pTimeMgr->Clear();
    ClearStrList();
    if (m_pEditorMgr) m_pEditorMgr->Clear();
    CArticCash::Clear();
    CArticErr::Clear();
}

void CArticProc::ClearAfterMidiCreate() { CArticCash::Clear(); }

int CArticProc::BackupWrk() {
    if (!m_pWrk || !m_pWrkBackup) return 1;
    m_pWrkBackup->Clear();
    m_pWrkBackup->CopyForCore(m_pWrk);
    return 0;
}

int CArticProc::RestoreProb() {
    if (!m_pWrk || !m_pWrkBackup) return 1;
    return m_pWrk->RestoreProb(m_pWrkBackup);
}

int CArticProc::Load(CStringList& wrkLines, CStringList& expLines) {
    ForgetRulLoad();
    return ArticLoadDumps(m_pLoadMgr, wrkLines, expLines);
}

int CArticProc::LoadExp(CStringList& lines) {
    ForgetRulLoad();
    return ArticLoadExpDump(m_pLoadMgr, lines);
}

int CArticProc::LoadRul_Reset(const CPHConvPrm& prm) {
    int r = 1;
    if (m_pLoadMgr) {
        const CStringList& lines = prm.GetLines();
        for (POSITION p = lines.GetHeadPosition(); p;) {
            const CString& line = lines.GetNext(p);
            m_pStrRul->AddTail(CString(line.GetString()));  // up to its first NUL
        }
        ArticPostHeader("== ﾙｰﾙ ﾛｰﾄﾞｴﾗｰ");
        const int firstMsg = CArticErr::GetMsgCount();
        const unsigned dialogRuns = CArticErr::GetDlgRunCount();
        r = m_pLoadMgr->LoadRul(prm, *m_pStrRul);
        RecordRulLoad(prm, r, firstMsg, dialogRuns);
        if (r != 0) return r;
    }
    return m_pCreExpMgr ? m_pCreExpMgr->Clear() : r;
}

void CArticProc::RecordRulLoad(const CPHConvPrm& prm, int result, int firstMsg, unsigned dialogRuns) {
    RulLoadRecord& rec = m_LastRulLoad;
    rec = RulLoadRecord();
    m_pLoadMgr->Get(&rec.wrk, &rec.exp, &rec.rul);
    rec.pbCtrl = prm.PbCtrl;
    rec.grpTime = m_pLoadMgr->GetGrpTime();
    rec.lines.reserve(size_t(m_pStrRul->GetCount()));
    for (POSITION p = m_pStrRul->GetHeadPosition(); p;) rec.lines.push_back(m_pStrRul->GetNext(p));
    rec.result = result;
    rec.messages = CArticErr::GetMsgsFrom(firstMsg);
    if (CArticErr::GetMsgCount() != firstMsg + int(rec.messages.size())) return;  // no list to read back
    rec.dialogRan = CArticErr::GetDlgRunCount() != dialogRuns;
    if (rec.dialogRan) {
        CArticErrDlg* dlg = CArticErr::GetErrDlg();
        if (!dlg) return;
        int disp = 0;
        dlg->Get(rec.dialogType, rec.dialogText, disp);
    }
    rec.valid = true;
}

bool CArticProc::IsSameRulLoad(const CPHConvPrm& prm) const {
    const RulLoadRecord& rec = m_LastRulLoad;
    if (!rec.valid || rec.wrk != m_pWrk || rec.exp != m_pExp || rec.rul != m_pRul) return false;
    if (rec.pbCtrl != prm.PbCtrl || rec.grpTime != m_pLoadMgr->GetGrpTime()) return false;
    if (rec.lines.size() != size_t(m_pStrRul->GetCount())) return false;
    size_t i = 0;
    for (POSITION p = m_pStrRul->GetHeadPosition(); p; ++i)
        if (m_pStrRul->GetNext(p) != rec.lines[i]) return false;
    return true;
}

int CArticProc::ReplayRulLoad() const {
    const RulLoadRecord& rec = m_LastRulLoad;
    for (const ArticErrRecord& m : rec.messages) CArticErr::Set(m.kind, m.content, m.className, m.method, m.detail);
    if (rec.dialogRan) CArticErr::DoModalErrDlg(rec.dialogText, rec.dialogType);
    return rec.result;
}

int CArticProc::LoadRul(const CPHConvPrm& prm) {
    ArticPostHeader("== ﾙｰﾙ ﾛｰﾄﾞｴﾗｰ");
    int r = 1;
    if (m_pLoadMgr && m_pWrk && m_pExp && m_pRul) {
        CArticWrk* wrk = nullptr;
        CArticExp* exp = nullptr;
        CArticRul* rul = nullptr;
        if (IsSameRulLoad(prm)) {
            r = ReplayRulLoad();
        } else {
            m_pLoadMgr->Get(&wrk, &exp, &rul);
            m_pLoadMgr->Set(m_pWrk, m_pExp, m_pRul);
            r = m_pLoadMgr->LoadRul(prm, *m_pStrRul);
            m_pLoadMgr->Set(wrk, exp, rul);
        }
        ForgetRulLoad();
        if (r != 0) return r;
    }
    if (m_pCreExpMgr) r = WithExecutor([](CArticCreExpMgr& mgr) { return mgr.Clear(); });
    return r;
}

int CArticProc::CreateAll() {
    ForgetRulLoad();  // the run changes the program's data
    ArticPostHeader("== ｸﾘｴｲﾄｴﾗｰ");
    if (m_pStrRul->GetCount() == 0) return 1;
    return WithExecutor([this](CArticCreExpMgr& mgr) {
        const int r = mgr.Create();
        SetCreate(1);
        return r;
    });
}

int CArticProc::Create() {
    ForgetRulLoad();
    if (!m_pCreExpMgr) return 1;
    ArticPostHeader("== ｸﾘｴｲﾄｴﾗｰ");
    return m_pCreExpMgr->Create();
}

int CArticProc::Create(CArticTimeInfo* section) {
    ForgetRulLoad();
    ArticPostHeader("== ｸﾘｴｲﾄｴﾗｰ");
    CArticWrk* wrk = section ? section->GetWrk() : nullptr;
    CArticExp* exp = section ? section->GetExp() : nullptr;
    CArticRul* rul = section ? section->GetRul() : nullptr;
    int r = 1;
    if (m_pCreExpMgr && wrk && exp && rul) {
        CArticWrk* oldWrk = nullptr;
        CArticExp* oldExp = nullptr;
        CArticRul* oldRul = nullptr;
        CArticTimeInfo* oldInfo = nullptr;
        m_pCreExpMgr->Get(&oldWrk, &oldExp, &oldRul, &oldInfo);
        m_pCreExpMgr->Set(wrk, exp, rul, section);
        r = m_pCreExpMgr->Create();
        SetCreate(1);
        m_pCreExpMgr->Set(oldWrk, oldExp, oldRul, oldInfo);
        if (m_pTimeMgr) r = m_pTimeMgr->MergeExp();
    }
    return r;
}

int CArticProc::Replace(CArticWrk* wrk, CArticExp* exp) {
    if (!wrk || !exp) return 1;
    ForgetRulLoad();
    if (m_pWrk != wrk) delete m_pWrk;
    if (m_pExp != exp) delete m_pExp;
    m_pWrk = wrk;
    m_pExp = exp;
    if (m_pLoadMgr) {
        m_pLoadMgr->SetWrk(wrk);
        m_pLoadMgr->SetExp(exp);
    }
    if (m_pTimeMgr) {
        m_pTimeMgr->SetWrk(wrk);
        m_pTimeMgr->SetExp(exp);
    }
    if (m_pExpMgr) {
        m_pExpMgr->SetWrk(wrk);
        m_pExpMgr->SetExp(exp);
    }
    if (m_pCreExpMgr) {
        m_pCreExpMgr->SetWrk(wrk);
        m_pCreExpMgr->SetExp(exp);
    }
    if (m_pRul) {
        m_pRul->SetWrk(wrk);
        m_pRul->SetEvntCount(0);
    }
    return m_pLoadMgr ? m_pLoadMgr->CheckExp() : 1;
}
