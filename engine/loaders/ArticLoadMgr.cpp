#include "engine/loaders/ArticLoadMgr.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "services/ArticErr.h"
#include "services/PHConvPrm.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulInit.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticRulSub.h"
#include "engine/rules/ArticRulText.h"
#include "engine/rules/ArticRulUtil.h"
#include "platform/Memory.h"
#include "platform/Sync.h"

namespace {

constexpr char kRulHeader[] = "表現ﾙｰﾙの読込み中にｴﾗｰが発生しました。";
constexpr char kSetNoLabel[] = "ｾｯﾄ番号 = ";
constexpr char kUndefined[] = "未定義";

// The optional sets, filed only while their pitch-bend switch is on.
const char* const kSmallBendSets[] = {"Vib1",      "Vib2",        "vibGlissMono", "vibGliss2Poly",
                                      "FeedBackVib", "Shake",     "BrassVib",     "BrassUnstab"};
const char* const kLargeBendSets[] = {
    "slideSameLong", "choSameLong", "slideSameUp",   "choSameUp",     "FngrChoLick1", "slideDnDn",  "choDnDn",
    "slideUpUp",     "choUpUp",     "slideUpUpDn",   "choUpUpDn",     "slideDown",    "choDown",    "FngrChoLick3",
    "slideSameDn",   "choSameDn",   "slideSameRest", "choSameRest",   "slideUpSame",  "choUpSame",  "FngrChoLick5",
    "slideOctUp",    "choOctUp",    "slide4Up",      "cho4Up",        "slideLong",    "choLong",    "slideSameSame",
    "choSameSame",   "choQtr",      "choStart",      "doubleSlide",   "StartSlide",   "HamGeneral", "hamTril",
    "HamCroma",      "doubleHam"};

template <size_t N>
bool InNameList(const char* const (&names)[N], const CString& name) {
    for (const char* n : names)
        if (name == n) return true;
    return false;
}

// "<label><number>", or "<label>未定義" for a block without a number.
CString NumberDetail(const char* label, int number) {
    CString detail = label;
    if (number == -1)
        detail += kUndefined;
    else
        detail.AppendFormat("%d", number);
    return detail;
}

// The sets of the scripts whose sets loaded last without a report, under the
// key they were built from, shared by every loader: a conversion loads its
// script twice per channel, a song's channels share a few scripts, and a
// copy of the sets costs a third of reading their lines.
class KeptSets {
public:
    // Copies the sets kept for key into rul (on wrk): false when none are kept.
    bool CopyInto(const std::string& key, CArticRul* rul, CArticWrk* wrk) {
        CSingleLock lock(&m_Lock, true);
        for (Entry& e : m_Entries) {
            if (e.key != key) continue;
            for (POSITION p = e.sets->GetHeadPos(); p;) {
                const CArticRulSet* from = e.sets->GetNext(p);
                auto* copy = new (std::nothrow) CArticRulSet(rul, wrk);
                if (!copy) continue;
                *copy = *from;
                rul->AddTail(copy);
            }
            return true;
        }
        return false;
    }
    // Keeps copies of rul's sets under key, in place of the oldest entry when full.
    void Keep(const std::string& key, const CArticRul& rul) {
        auto sets = std::make_unique<CArticRul>();
        for (POSITION p = rul.GetHeadPos(); p;) {
            const CArticRulSet* from = rul.GetNext(p);
            auto* copy = new (std::nothrow) CArticRulSet(sets.get(), nullptr);
            if (!copy) return;  // nothing kept: the next load reads the lines
            *copy = *from;
            sets->AddTail(copy);
        }
        CSingleLock lock(&m_Lock, true);
        for (Entry& e : m_Entries)
            if (e.key == key) return;
        if (m_Entries.size() >= kEntries) m_Entries.erase(m_Entries.begin());
        m_Entries.push_back({key, std::move(sets)});
    }

private:
    static constexpr size_t kEntries = 4;
    struct Entry {
        std::string key;
        std::unique_ptr<CArticRul> sets;  // owned; holds sets only
    };
    CCriticalSection m_Lock;
    std::vector<Entry> m_Entries;  // oldest first
};

// Never destroyed: a loader may run while the program ends.
KeptSets& TheKeptSets() {
    static KeptSets* kept = new KeptSets();
    return *kept;
}

// A line that the block cutters drop: empty or a comment.
bool IsBlankOrComment(const CString& line) { return line.IsEmpty() || line[0] == ';'; }

}  // namespace

CArticLoadMgr::CArticLoadMgr(CArticWrk* wrk, CArticExp* exp, CArticRul* rul, CArticExpBlk* expBlk,
                             CArticPasn* pasn, CArticWrk* wrkOut)
    : m_pWrk(wrk), m_pExp(exp), m_pRul(rul), m_pExpBlk(expBlk), m_pPasn(pasn), m_pWrkOut(wrkOut) {
    // Each load drops the last rule program and makes the next one object
    // by object, which the heap serves much faster without fast bins.
    TuneHeapForEngine();
}

// ---- Bindings

void CArticLoadMgr::Get(CArticWrk** wrk, CArticExp** exp, CArticRul** rul) const {
    if (wrk) *wrk = m_pWrk;
    if (exp) *exp = m_pExp;
    if (rul) *rul = m_pRul;
}

void CArticLoadMgr::Set(CArticWrk* wrk, CArticExp* exp, CArticRul* rul) {
    if (wrk) m_pWrk = wrk;
    if (exp) m_pExp = exp;
    if (rul) m_pRul = rul;
}

// ---- Reports

void CArticLoadMgr::DispErrMsg(const CString& header, const CString& message, const CString& function,
                               const CString& detail, int withDetail) {
    CArticErr::Set(message, "CArticLoadMgr", function, detail);
    CString text;
    CArticErr::Get(text);
    CArticErr::DoModalErrDlg(header + "\r" + text, 0x10);
    if (withDetail && !detail.IsEmpty())
        CArticErr::Set(kArticErrKindDetail, detail, "CArticLoadMgr", function, CString());
}

void CArticLoadMgr::DispRulErr(const CString& message, const CString& function, const CString& detail,
                               int withDetail) {
    DispErrMsg(kRulHeader, message, function, detail, withDetail);
}

// ---- Whole scripts

int CArticLoadMgr::LoadRul(CStringList& lines) { return LoadRulScript(0, lines); }

int CArticLoadMgr::LoadRul(const CPHConvPrm& prm, CStringList& lines) { return LoadRulScript(prm.PbCtrl, lines); }

int CArticLoadMgr::LoadRulScript(int selector, CStringList& script) {
    if (!m_pRul) return 0;
    m_pRul->Clear();
    // Every script starts from the defaults and takes what its init blocks declare.
    m_PbProc = 0;
    m_TgMode = 2;
    m_InstNum = 0;

    CStringList lines;
    CString errLine;
    if (const int r = CArticRulUtil::Expand(script, CString(), lines, errLine)) {
        DispRulErr("includeﾌｧｲﾙを展開中でｴﾗｰが発生しました。", "LoadRul", CString("行内容 = ") + errLine, 1);
        return r;
    }
    const std::string key = SetCacheKey(selector, lines);

    // Up to two init blocks; a single one always lands in slot 0. A faulty
    // init block is reported by LoadRulInit and the load goes on.
    int initSlot = 0;
    for (int i = 0; i < 2; ++i) {
        CStringList block;
        if (const int r = CArticRulUtil::GetRulInit(lines, block, errLine)) {
            DispRulErr("初期設定（init）を抽出中でｴﾗｰが発生しました。", "LoadRul", errLine, 1);
            return r;
        }
        if (block.IsEmpty()) continue;
        LoadRulInit(initSlot++, block);
    }
    SetPbCtrl(selector);

    int result = 0;
    CStringList subs;
    if (const int r = CArticRulUtil::GetRulSub(lines, subs, errLine)) {
        DispRulErr("ｻﾌﾞﾙｰﾁﾝ（sub）を抽出中でｴﾗｰが発生しました。", "LoadRul", errLine, 1);
        return r;
    }
    // A faulty subroutine is reported and the sets are still loaded.
    if (!subs.IsEmpty() && LoadRulSubAll(subs) != 0) result = 1;
    if (SetProcNest() != 0) {
        DispRulErr(rultext::kLoadMessage, "LoadRul", "#procNest", 1);
        result = 1;
    }
    if (lines.IsEmpty()) return 1;
    // The init and subroutine blocks above were read again, with their
    // reports; the sets of a script met before are copied, or read and kept
    // when they loaded without a report (a faulty script is read every time).
    if (CopyCachedSets(key) == 0) return result;
    const int reports = CArticErr::GetMsgCount();
    if (LoadRulSetAll(lines) != 0) result = 1;
    if (result == 0 && CArticErr::GetMsgCount() == reports) StoreSets(key);
    return result;
}

std::string CArticLoadMgr::SetCacheKey(int selector, const CStringList& lines) const {
    std::string key;
    size_t size = 64;
    for (POSITION p = lines.GetHeadPosition(); p;) size += size_t(lines.GetNext(p).GetLength()) + 1;
    key.reserve(size);
    key += std::to_string(selector) + ' ' + std::to_string(m_GrpTime) + ' ' + (m_pWrk ? '1' : '0') + '\n';
    for (POSITION p = lines.GetHeadPosition(); p;) {
        key += lines.GetNext(p).str();
        key += '\n';
    }
    return key;
}

int CArticLoadMgr::CopyCachedSets(const std::string& key) {
    if (!m_pWrk || !m_pRul) return 1;
    return TheKeptSets().CopyInto(key, m_pRul, m_pWrk) ? 0 : 1;
}

void CArticLoadMgr::StoreSets(const std::string& key) {
    if (m_pRul) TheKeptSets().Keep(key, *m_pRul);
}

int CArticLoadMgr::LoadRulSetAll(CStringList& lines) {
    int failed = 0;
    CStringList block;
    auto flush = [&] {
        if (!block.IsEmpty() && LoadRulSet(block) != 0) failed = 1;
        block.RemoveAll();
    };
    for (POSITION p = lines.GetHeadPosition(); p;) {
        CString& line = lines.GetNext(p);
        if (IsBlankOrComment(line)) continue;
        // Lines before the first set head form a block of their own.
        if (CArticRulUtil::HeadIs(line, "#set")) flush();
        // The line moves into its block: the script's working copy is not read again.
        block.GetAt(block.AddTail(CString())) = std::move(line);
    }
    flush();
    return failed;
}

// ---- Init blocks and settings

int CArticLoadMgr::LoadRulInit(int index, CStringList& lines) {
    if (!m_pWrk || !m_pRul || unsigned(index) > 1) return 1;
    CArticRulInit* init = m_pRul->GetInit(index);
    if (!init) return 1;
    const int r = init->Load(lines);
    // The settings the block did read count even when it is faulty; a
    // setting it does not declare keeps the value from before.
    const int declared = init->GetDeclared();
    if (declared & CArticRulInit::kDeclPbProc) m_PbProc = init->GetPbProc();
    if (declared & CArticRulInit::kDeclTgMode) m_TgMode = init->GetTgMode();
    if (declared & CArticRulInit::kDeclInstNum) m_InstNum = init->GetInstNum();
    if (r) DispRulErr("指定した中間表現ﾙｰﾙ・初期設定の内容に誤りがあります。", "LoadRulInit", CString(), 0);
    return r;
}

void CArticLoadMgr::SetPbCtrl(int selector) {
    if (selector == 0) {
        m_SetCtrlPbLarge = 1;
        m_SetCtrlPbSmall = m_PbProc == 0 ? 1 : 0;
    } else {
        m_SetCtrlPbLarge = m_PbProc != 0 ? 1 : 0;
        m_SetCtrlPbSmall = 0;
    }
}

int CArticLoadMgr::SetProcNest() {
    if (!m_pRul) return 1;
    int flag[2] = {0, 0}, nest[2] = {0, 0}, dir[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        if (const CArticRulInit* init = m_pRul->GetInit(i)) {
            flag[i] = init->GetProcNestFlag();
            nest[i] = init->GetProcNest();
            dir[i] = init->GetDirection();
        }
    }
    if (flag[0] && flag[1]) return 1;
    const int from = flag[0] ? 0 : flag[1] ? 1 : -1;
    m_pRul->SetProcNestFlag(1);
    m_pRul->SetProcNest(from >= 0 ? nest[from] : 0);
    m_pRul->SetDirection(from >= 0 ? dir[from] : 0);
    return 0;
}

// ---- Subroutines

int CArticLoadMgr::LoadRulSubAll(CStringList& lines) {
    if (!m_pWrk || !m_pRul) return 1;
    int failed = 0;
    int last = 1;  // stays 1 when no block is found
    CStringList block;
    auto flush = [&] {
        if (block.IsEmpty()) return;
        last = LoadRulSub(block);
        if (last) failed = 1;
        block.RemoveAll();
    };
    for (POSITION p = lines.GetHeadPosition(); p;) {
        const CString& line = lines.GetNext(p);
        if (IsBlankOrComment(line)) continue;
        if (std::strncmp(line.c_str(), "#sub:", 5) == 0) flush();
        block.AddTail(line);
    }
    flush();
    return failed ? 1 : last;
}

int CArticLoadMgr::LoadRulSub(CStringList& lines) {
    if (!m_pWrk || !m_pRul) return 1;
    std::unique_ptr<CArticRulSub> sub(new (std::nothrow) CArticRulSub(m_pRul, m_pWrk));
    if (!sub) return 1;
    if (const int r = sub->Load(lines)) {
        DispRulErr("指定したﾙｰﾙ・ｻﾌﾞﾙｰﾁﾝの内容に誤りがあります。", "LoadRulSub",
                   NumberDetail("ｻﾌﾞﾙｰﾁﾝ番号 = ", sub->GetSubNo()), 0);
        return r;
    }
    m_pRul->AddSubTail(sub.release());
    return 0;
}

// ---- Sets

bool CArticLoadMgr::IsFiled(const CString& name) const {
    if (name == "init_cc") return m_SetCtrlPbSmall || m_SetCtrlPbLarge;
    if (InNameList(kSmallBendSets, name)) return m_SetCtrlPbSmall != 0;
    if (InNameList(kLargeBendSets, name)) return m_SetCtrlPbLarge != 0;
    return true;
}

int CArticLoadMgr::LoadRulSet(CStringList& lines) {
    if (!m_pWrk || !m_pRul) return 1;
    std::unique_ptr<CArticRulSet> set(new (std::nothrow) CArticRulSet(m_pRul, m_pWrk));
    if (!set) return 1;
    int inUse = 0;
    const int r = set->Load(lines, &inUse);
    const CString name = set->GetName();
    if (r) {
        DispRulErr("指定したﾙｰﾙ・ｾｯﾄの内容に誤りがあります。", "LoadRulSet", name, 0);
        return r;
    }
    if (inUse) {
        DispRulErr("指定したｾｯﾄ番号は既に使用されています。", "LoadRulSet", NumberDetail(kSetNoLabel, set->GetSetNo()),
                   0);
        return 1;
    }
    if (!IsFiled(name)) return 0;  // a dropped optional set is no failure
    const int result = name == "GetGrpTime" ? ReplaceGetGrpTime(set.get()) : 0;
    m_pRul->AddTail(set.release());
    return result;
}

int CArticLoadMgr::ReplaceGetGrpTime(CArticRulSet* set) {
    CArticRulDataVal* prob = set ? set->GetDataVal() : nullptr;
    if (!prob) return 1;
    prob->ReplaceProb(double(m_GrpTime));
    return 0;
}

int CArticLoadMgr::LoadRulSetUpdate(CStringList& lines) {
    if (!m_pWrk || !m_pRul) return 1;
    std::unique_ptr<CArticRulSet> set(new (std::nothrow) CArticRulSet(m_pRul, m_pWrk));
    if (!set) return 1;
    int inUse = 0;
    if (const int r = set->Load(lines, &inUse)) {
        DispRulErr("指定したﾙｰﾙ・ｾｯﾄの内容に誤りがあります。", "LoadRulSetUpdate",
                   NumberDetail(kSetNoLabel, set->GetSetNo()), 0);
        return r;
    }
    // When the old set cannot be removed the new one is not filed: the
    // program keeps what it had, and the caller learns the update failed.
    if (m_pRul->RemoveRulSetNo(set->GetSetNo()) != 0) return 1;
    m_pRul->AddTail(set.release());
    return 0;
}

int CArticLoadMgr::RemoveRulSet(int setNo) { return m_pRul ? m_pRul->RemoveRulSetNo(setNo) : 1; }
