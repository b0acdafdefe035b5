#include "driver/PhrasorProc.h"

#include <vector>

#include "driver/ArticCore.h"
#include "driver/ArticCoreMN.h"
#include "driver/ArticEditorMgr.h"
#include "driver/ArticEditorUtil.h"
#include "services/ArticErr.h"
#include "driver/ArticHostWalk.h"
#include "services/ArticPref.h"
#include "driver/ArticProc.h"
#include "services/PHConvPrm.h"
#include "driver/PgBsel.h"
#include "driver/VeloSens.h"
#include "engine/expressions/ArticExp.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticCreExpMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkTrk.h"
#include "host/PhrasorApp.h"
#include "host/PhrasorDoc.h"
#include "platform/File.h"

VX_IMPLEMENT_CLASS(CPhrasorProc, CObject);

namespace {

// The phrase files the expressions cannot do without.
const char* const kPhrasorProcLibFiles[] = {"GlisDn.mid", "Sdn5nt.mid", "vib3-g02.mid", "vib3-g03.mid",
                                            "vib4-g02.mid"};

// The driver's numbered messages.
struct PhrasorProcMessage {
    UINT id;
    const char* text;
};
const PhrasorProcMessage kPhrasorProcMessages[] = {
    {CPhrasorProc::kMsgSpansTracks, "選択範囲が複数のﾄﾗｯｸにまたがっています。"},
    {CPhrasorProc::kMsgPosList, "選択範囲を取り込めませんでした。"},
    {CPhrasorProc::kMsgNoSelection, "ｿﾝｸﾞを読めないか、何も選択されていません。"},
    {CPhrasorProc::kMsgWrkData, "変換するﾃﾞｰﾀを作成できませんでした。"},
    {CPhrasorProc::kMsgNoNote, "選択されたﾌﾞﾛｯｸに音符がありません。"},
    {CPhrasorProc::kMsgNoProc, "変換処理の準備ができていません。"},
    {CPhrasorProc::kMsgTimeBase, "ｿﾝｸﾞの分解能を取得できませんでした。"},
};

// Texts of the step failures that are not numbered messages.
const char* const kPhrasorProcRuleLoadText = "ﾙｰﾙのﾛｰﾄﾞに失敗しました。";
const char* const kPhrasorProcRuleRunText = "ﾙｰﾙの実行に失敗しました。";
const char* const kPhrasorProcPipelineText = "変換結果をｿﾝｸﾞに書き込めませんでした。";

// A step's text followed by the error list's report of it: the last error
// with its class and method, and the detail lines posted since the last
// phase header.
CString PhrasorProcWithReport(const char* text) {
    CString reason(text);
    BYTE kind = 0;
    CString content, className, method, detail;
    CArticErr::Get(kind, content, className, method, detail);
    if (!content.IsEmpty()) reason += "\n" + content;
    if (!className.IsEmpty() || !method.IsEmpty()) reason += "\n : " + className + "::" + method + "()";
    if (!detail.IsEmpty()) reason += "\n" + detail;
    CStringList lines;
    if (CArticErr::GetMsgStrList(lines) != 0) return reason;
    POSITION from = nullptr;
    for (POSITION p = lines.GetHeadPosition(); p;) {
        const POSITION at = p;
        if (lines.GetNext(p).Left(2) == "==") from = at;
    }
    if (from) lines.GetNext(from);
    for (POSITION p = from; p;) reason += "\n" + lines.GetNext(p);
    return reason;
}

// 1 when some rule set of the program leaves expressions: a program without
// one has nothing to run, which is no failure.
int PhrasorProcHasExpSet(CArticRul* rul) {
    if (!rul) return 0;
    for (POSITION p = rul->GetHeadPos(); p;) {
        CArticRulSet* set = rul->GetNext(p);
        if (set && set->GetHasExp()) return 1;
    }
    return 0;
}

}  // namespace

CString CPhrasorProc::GetMessageText(UINT id) {
    for (const PhrasorProcMessage& m : kPhrasorProcMessages)
        if (m.id == id) return CString(m.text);
    return CString();
}

// ------------------------------------------------------------ construction

CPhrasorProc::CPhrasorProc()
    : m_BaseFolder(GetPhrasorApp().GetProgramFolder()),
      m_pPosList(std::make_unique<CArticPosList>(10)),
      m_pBackupWrk(std::make_unique<CArticWrk>()),
      m_pConvPrm(std::make_unique<CPHConvPrm>()),
      m_pVeloSens(std::make_unique<CVeloSens>()),
      m_pPgBsel(std::make_unique<CPgBsel>()) {}

CPhrasorProc::~CPhrasorProc() {
    Unregister();
    m_pBackupWrk.reset();
    if (m_pArticProc) {
        m_pArticProc->Clear();
        delete m_pArticProc;
        m_pArticProc = nullptr;
    }
    delete m_pCoreMN;
    m_pCoreMN = nullptr;
    DeletePosEntries(m_pPosList.get());
    DropSelEvnt();
}

void CPhrasorProc::DeletePosEntries(CArticPosList* list) {
    if (!list) return;
    while (!list->IsEmpty()) delete list->RemoveHead();
}

void CPhrasorProc::DropSelEvnt() {
    DeletePosEntries(m_pSelEvnt.get());
    m_pSelEvnt.reset();
}

void CPhrasorProc::Register() {
    CArticEditorUtil::SetView(this);
    if (m_pArticProc) {
        CArticEditorUtil::SetEditorMgr(m_pArticProc->GetEditorMgr());
        CArticEditorUtil::SetPref(m_pArticProc->GetPref());
    }
}

void CPhrasorProc::Unregister() {
    if (CArticEditorUtil::GetView() == this) CArticEditorUtil::SetView(nullptr);
    CArticPref* const pref = CArticEditorUtil::GetPref();
    if (m_pArticProc) {
        if (CArticEditorUtil::GetEditorMgr() == m_pArticProc->GetEditorMgr()) CArticEditorUtil::SetEditorMgr(nullptr);
        if (pref && pref == m_pArticProc->GetPref()) CArticEditorUtil::SetPref(nullptr);
    }
    // The pipeline's write-back registers the pipeline's own preferences.
    CArticCore* core = m_pCoreMN ? m_pCoreMN->GetCore() : nullptr;
    if (pref && core && pref == core->GetPref()) CArticEditorUtil::SetPref(nullptr);
}

// ------------------------------------------------------------ set-up

// The preference settings a driver gives its processing object, in this order.
void CPhrasorProc::SetDriverSettings(CArticPrefSetting* s, const CString& libPath) {
    if (!s) return;
    s->SetWrkReNum(1);
    s->SetWrkMerge(1);
    s->SetWrkMstrConv(1);
    s->SetWrkVceOutput(1);
    s->SetTAD(0);
    s->SetVeloMusi(0);
    s->SetVeloLimit(0);
    s->SetVelo(10);
    s->SetWrkPath(CString());
    s->SetRulPath(CString());
    s->SetLibPath(libPath);
    s->SetInitSep(1);
    s->SetBlkEvntPriority(0);
    s->SetAllWrk(0);
    s->SetVupDlg(0);
    s->SetDelGrace(1);
}

int CPhrasorProc::CreateArticProc() {
    if (m_pArticProc) return 0;
    m_pArticProc = new CArticProc(m_pCEditor, this, this);
    // The processing object registers its manager and preferences; they
    // stay registered only while a conversion runs.
    Unregister();
    CArticPref* pref = m_pArticProc->GetPref();
    CArticPrefSetting* s = pref ? pref->GetSetting() : nullptr;
    if (!s) return 0;
    SetDriverSettings(s, m_BaseFolder + "Lib\\");
    return 0;
}

void CPhrasorProc::SetCEditor(CKPSManager* host) {
    m_pCEditor = host;
    if (m_pArticProc) m_pArticProc->SetCEditor(host);
    if (m_pPgBsel) m_pPgBsel->SetCEditor(host);
}

void CPhrasorProc::CreateCoreMN(int flag) {
    if (flag == 0) {
        delete m_pCoreMN;
        m_pCoreMN = nullptr;
    } else if (!m_pCoreMN) {
        m_pCoreMN = new CArticCoreMN(m_pCEditor);
    }
}

void CPhrasorProc::SetResolution(LONG ticks) {
    m_Resolution = int(ticks);
    CArticLoadMgr* loader = m_pArticProc ? m_pArticProc->GetLoadMgr() : nullptr;
    if (loader) loader->SetGrpTime(ULONG(ticks));
}

int CPhrasorProc::ResetConvPrm(const CPHConvPrm& prm) {
    m_Kind = 0;
    m_ConvMode = 0;
    m_Resolution = 480;
    m_KindFlag = 1;
    m_ConvMode = 2;
    m_Kind = prm.Kind;
    m_KindFlag = prm.Flag2;
    return 0;
}

int CPhrasorProc::CheckLibFiles() {
    CArticPref* pref = m_pArticProc ? m_pArticProc->GetPref() : nullptr;
    CArticPrefSetting* s = pref ? pref->GetSetting() : nullptr;
    if (!s) return 0;
    for (const char* name : kPhrasorProcLibFiles)
        if (!CFile::GetStatus(s->GetLibPath() + name)) return 0;
    return 1;
}

void CPhrasorProc::ResetPortName() {
    std::vector<DWORD> ids;
    CStringList names;
    CArticEditorUtil::GetPortList(m_pCEditor, &ids, &names);
    CStringList shown;
    for (POSITION p = names.GetHeadPosition(); p;) {
        const CString& name = names.GetNext(p);
        shown.AddTail(name == "NO PORT" ? CString("---") : name);
    }
    // The bridge hands them to the registered preferences: ours, also
    // outside a conversion.
    CArticPref* const registered = CArticEditorUtil::GetPref();
    if (GetPref()) CArticEditorUtil::SetPref(GetPref());
    CArticEditorUtil::ResetPortName(&shown, ids.data(), int(ids.size()));
    CArticEditorUtil::SetPref(registered);
}

CArticPref* CPhrasorProc::GetPref() const { return m_pArticProc ? m_pArticProc->GetPref() : nullptr; }

int CPhrasorProc::LoadExpEvnt(CString text, ULONG evntNo, CArticExpTrk* trk, CArticExpBlk* blk) {
    CArticLoadMgr* loader = m_pArticProc ? m_pArticProc->GetLoadMgr() : nullptr;
    if (!loader) return 1;
    return loader->LoadExpEvnt(text, evntNo, trk, blk);
}

int CPhrasorProc::GetTimeBase(LONG* ticks) const {
    if (!m_pCEditor) return 0;
    DWORD value = 960;
    if (m_pCEditor->GetTimeInfo(2, &value) < 0) return 0;
    if (ticks) *ticks = LONG(value);
    return 1;
}

// ------------------------------------------------------------ messages and failures

int CPhrasorProc::SetMessage(const CString& text, UINT, UINT) {
    m_Message = text;
    return 0;
}

void CPhrasorProc::SetMessageId(UINT id) { SetMessage(GetMessageText(id)); }

void CPhrasorProc::Fail(int step, const CString& reason) {
    if (m_FailState != kFailNone) return;
    m_FailState = step;
    m_FailReason = reason;
    SetMessage(reason);
}

int CPhrasorProc::GetFailState(int ch) const { return ch >= 0 && ch < kChannelCount ? m_ChFailState[ch] : kFailNone; }

CString CPhrasorProc::GetFailReason(int ch) const {
    return ch >= 0 && ch < kChannelCount ? m_ChFailReason[ch] : CString();
}

// ------------------------------------------------------------ conversion

void CPhrasorProc::Convert(CPhrasorDoc* doc) {
    Register();
    m_FailState = kFailNone;
    m_FailReason.Empty();
    m_Message.Empty();
    m_PbExist = 0;
    if (!m_pArticProc) {
        Fail(kFailPrepare, GetMessageText(kMsgNoProc));
    } else {
        ResetConvPrm(*m_pConvPrm);
        SetResolution(m_pConvPrm->Resolution);
        if (PrepareConvert() != 0) {
            Fail(kFailPrepare, m_Message.IsEmpty() ? GetMessageText(kMsgNoProc) : m_Message);
        } else if (m_pArticProc->LoadRul(*m_pConvPrm) != 0) {
            Fail(kFailRuleLoad, PhrasorProcWithReport(kPhrasorProcRuleLoadText));
        } else {
            if (CArticCreExpMgr* run = m_pArticProc->GetCreExpMgr()) run->SetProcDialog(this);
            if (CreateAll() != 0 && PhrasorProcHasExpSet(m_pArticProc->GetRul())) {
                Fail(kFailRuleRun, PhrasorProcWithReport(kPhrasorProcRuleRunText));
            } else if (WriteBack(doc) != 0) {
                Fail(kFailPipeline, PhrasorProcWithReport(kPhrasorProcPipelineText));
            }
            m_pArticProc->ClearAfterMidiCreate();
            m_pArticProc->SetIsFirst(0);
        }
    }
    if (m_pPgBsel) m_pPgBsel->ClearPgBselList();
    if (m_pVeloSens) m_pVeloSens->ClearVeloSensList();
    if (m_FailState == kFailNone) m_ConvertPending = 0;
    const int ch = m_pConvPrm->Channel;
    if (ch >= 0 && ch < kChannelCount) {
        m_ChFailState[ch] = m_FailState;
        m_ChFailReason[ch] = m_FailReason;
    }
    Unregister();
}

int CPhrasorProc::PrepareConvert() {
    if (!m_pArticProc) return 1;
    Register();
    CArticEditorMgr* mgr = m_pArticProc->GetEditorMgr();
    if (!mgr || !m_pArticProc->GetPref()) {
        SetMessageId(kMsgNoProc);
        return 1;
    }
    LONG timeBase = 0;
    if (!GetTimeBase(&timeBase)) {
        SetMessageId(kMsgTimeBase);
        return 1;
    }
    mgr->SetClientBeatMul(LONG(DWORD(timeBase) / 480));
    m_pArticProc->Clear();
    if (m_pCoreMN) m_pCoreMN->Clear();
    m_pArticProc->SetIsFirst(1);
    m_ConvertPending = 0;
    m_LoadPending = 0;
    CArticEditorUtil::ClearOutEvntList();

    CArticWrk* wrk = nullptr;
    if (!LoadWrk(&wrk)) {
        delete wrk;
        return 1;
    }
    if (!CreExp(wrk)) return 1;
    BackupWrk();
    m_LoadPending = 0;
    return 0;
}

int CPhrasorProc::LoadWrk(CArticWrk** out) {
    if (out) *out = nullptr;
    auto* wrk = new CArticWrk;
    ResetPortName();
    CArticEditorMgr* mgr = m_pArticProc ? m_pArticProc->GetEditorMgr() : nullptr;
    CArticPref* pref = GetPref();
    CArticPrefSetting* s = pref ? pref->GetSetting() : nullptr;
    if (!m_pCEditor || !m_pArticProc || !m_pPosList || !mgr || !s) {
        // CreExp then fails on the missing work data.
        delete wrk;
        return 1;
    }
    mgr->SetSeqTrkNo(-1);
    int blkTrks = 0;
    int evntTrks = 0;
    const int mode = ScanSong(m_pCEditor, &blkTrks, &evntTrks);
    if (mode < 0) {
        SetMessageId(mode == kScanTracks ? kMsgSpansTracks : mode == kScanNoNote ? kMsgNoNote : kMsgNoSelection);
        DropSelEvnt();
        delete wrk;
        return 0;
    }
    m_pArticProc->SetSelMode(BYTE(mode));
    mgr->SetSelMode(BYTE(mode));
    DeletePosEntries(m_pPosList.get());
    if (MakePosList(m_pCEditor, m_pPosList.get(), mode) < 0) {
        // A partial list would convert part of the selection.
        SetMessageId(kMsgPosList);
        DropSelEvnt();
        delete wrk;
        return 0;
    }
    if (m_pArticProc->SetPosList(m_pCEditor, m_pPosList.get()) != 0) {
        SetMessageId(kMsgPosList);
        delete wrk;
        return 0;
    }
    if (m_pPosList->IsEmpty()) {
        SetMessageId(kMsgWrkData);
        delete wrk;
        return 0;
    }
    m_pArticProc->SetBlkPosList();
    const int mstrConv = s->GetWrkMstrConv();
    const int vceOutput = s->GetWrkVceOutput();
    const int veloMusi = s->GetVeloMusi();
    const int veloLimit = s->GetVeloLimit();
    const int velo = s->GetVelo();
    const int allWrk = s->GetAllWrk();
    if (CArticEditorUtil::ConvWrk_ch(m_pCEditor, m_pPosList.get(), mstrConv, vceOutput, veloMusi, veloLimit, velo,
                                     allWrk, wrk, 0, *m_pConvPrm, m_OutputMode, 0, m_Kind, m_Resolution) != 0) {
        SetMessageId(kMsgWrkData);
        delete wrk;
        return 0;
    }
    if (out) *out = wrk;
    return 1;
}

int CPhrasorProc::CreExp(CArticWrk* wrk) {
    CArticPref* pref = GetPref();
    CArticPrefSetting* s = pref ? pref->GetSetting() : nullptr;
    const int merge = s ? s->GetWrkMerge() : 1;
    auto* exp = new CArticExp;
    if (!wrk || CArticEditorUtil::CreExpFromWrk(wrk, exp) != 0) {
        SetMessageId(kMsgWrkData);
        delete wrk;
        delete exp;
        return 0;
    }
    SetWrkExp(wrk, exp, merge);
    if (CArticEditorMgr* mgr = m_pArticProc ? m_pArticProc->GetEditorMgr() : nullptr) mgr->SearchVceSet(wrk);
    return 1;
}

void CPhrasorProc::SetWrkExp(CArticWrk* wrk, CArticExp* exp, int merge) {
    if (!m_pArticProc || !wrk || !exp) return;
    CArticPref* pref = GetPref();
    CArticPrefSetting* s = pref ? pref->GetSetting() : nullptr;
    const int renumber = s ? s->GetWrkReNum() : 1;
    m_pArticProc->Replace(wrk, exp);
    if (merge) m_pArticProc->MergeWrkBlk();
    if (renumber) m_pArticProc->RenumberWrk();
    m_pArticProc->LoadRul_Reset(*m_pConvPrm);
}

void CPhrasorProc::BackupWrk() {
    CArticWrk* wrk = m_pArticProc ? m_pArticProc->GetWrk() : nullptr;
    if (!wrk || !m_pBackupWrk) return;
    m_pBackupWrk->Clear();
    m_pBackupWrk->CopyForCore(wrk);
}

int CPhrasorProc::CreateAll() {
    if (!m_pCEditor || !m_pArticProc) return 1;
    const int r = m_pArticProc->CreateAll();
    if (CArticWrk* wrk = m_pArticProc->GetWrk()) wrk->ClearPrmExp();
    return r;
}

int CPhrasorProc::WriteBack(CPhrasorDoc* doc) {
    CArticEditorMgr* mgr = m_pArticProc ? m_pArticProc->GetEditorMgr() : nullptr;
    if (!m_pArticProc || !mgr) return 1;

    // The channel of the first item to convert decides the transfer mode.
    LONG ch = 0;
    POSITION firstTrk = nullptr;
    if (!m_pPosList->IsEmpty()) firstTrk = m_pPosList->GetHead()->GetTrk();
    if (firstTrk) {
        _MPTRACKINFO t{};
        if (CArticHostWalk::GetTrk(m_pCEditor, firstTrk, &t) == 0) ch = t.Channel;
        CArticHostWalk::FreeMem(t);
    } else if (CArticWrk* wrk = m_pArticProc->GetWrk()) {
        for (POSITION p = wrk->GetHeadPos(); p;) {
            CArticWrkTrk* trk = wrk->GetNext(p);
            if (trk && trk->GetTrkNo() != 0) {
                ch = LONG(trk->GetCh());
                break;
            }
        }
    }
    m_pArticProc->SetTransMode(ch == -1 ? 1 : 0);
    if (!m_pCoreMN) return 1;
    m_pCoreMN->SetProcDialog(this);
    CArticPref* pref = GetPref();
    CArticPrefSetting* s = pref ? pref->GetSetting() : nullptr;
    CArticPrefSetting* own = m_pCoreMN->GetSetting();
    if (s && own) {
        own->SetInitSep(s->GetInitSep());
        own->SetTAD(s->GetTAD());
    }
    std::vector<POSITION> trks;
    std::vector<int> counts;
    m_pArticProc->GetSelTrk(&trks, &counts);
    trks.resize(CArticCoreMN::kPartCount, nullptr);
    counts.resize(CArticCoreMN::kPartCount, 0);
    const BYTE selMode = m_pArticProc->GetSelMode();
    const BYTE transMode = m_pArticProc->GetTransMode();
    POSITION blk = nullptr;
    if (selMode != 0) mgr->GetSelBlkID(trks[0], &blk);
    const INT64 firstNoteOn = mgr->GetFirstNoteOnTime();
    const int r = m_pCoreMN->ConvertRep(m_pArticProc->GetWrk(), m_pArticProc->GetExp(), trks.data(), blk,
                                        counts.data(), transMode, selMode, firstNoteOn, mgr->GetUsedCh(),
                                        mgr->GetOrigiCh(), mgr->GetClientCh());
    if (r != 0) return r;
    if (mgr->CreateMpLock(1) >= 0) {
        POSITION outBlk = nullptr;
        mgr->IsOutTrkID(trks[0], &outBlk);
        if (doc) doc->MakeRoomBeforeFirstNote(trks[0], outBlk, firstNoteOn, mgr->GetClientBeatMul());
    }
    mgr->DeleteMpLock();
    return 0;
}
