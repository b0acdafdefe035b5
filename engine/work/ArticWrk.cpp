#include "engine/work/ArticWrk.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <utility>
#include <vector>

#include "services/ArticErr.h"
#include "services/ArticPref.h"
#include "engine/work/ArticFngrInfo.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilImpl.h"
#include "engine/work/MetaData.h"

VX_IMPLEMENT_CLASS(CArticWrk, CObject);

namespace {


// x goes before y in a block's final order.
bool GoesBefore(const CArticWrkEvnt* x, const CArticWrkEvnt* y) {
    if (!x || !y) return false;
    if (x->GetTime() != y->GetTime()) return x->GetTime() < y->GetTime();
    return wrkutil::IsNoteNibble(x) && wrkutil::IsNoteNibble(y) && x->GetPost1() < y->GetPost1();
}

// A usable time signature of the measure block with its grid.
struct Signature {
    INT64 time;
    ULONG bar, beat, tick;
    ULONG numerator, ticksPerBeat;
};

bool ReadSignature(const CArticWrkEvnt* e, Signature* sig) {
    BYTE num = 0;
    ULONG tpb = 0;
    if (!ReadWrkBeat(e, &num, &tpb)) return false;
    sig->time = e->GetTime();
    e->GetMeas(&sig->bar, &sig->beat, &sig->tick);
    sig->numerator = num;
    sig->ticksPerBeat = tpb;
    return true;
}

bool AtOrBefore(const Signature& s, ULONG meas, ULONG beat, ULONG tick) {
    if (s.bar != meas) return s.bar < meas;
    if (s.beat != beat) return s.beat < beat;
    return s.tick <= tick;
}

const char kNormalTitle[] = "中間音符ﾃﾞｰﾀ内のNormalﾊﾟｰﾄを再ｱｻｲﾝでｴﾗｰが発生した。";
const char kNormalMessage[] = "空いているNormalのﾄﾗｯｸがありません。";
const char kDrumTitle[] = "中間音符ﾃﾞｰﾀ内のDrumﾊﾟｰﾄを再ｱｻｲﾝでｴﾗｰが発生した。";
const char kDrumMessage[] = "空いているDrumのﾄﾗｯｸがありません。";
const char kAssignDetail[] = "処理中のﾄﾗｯｸのﾄﾗｯｸ番号 = ";
const char kSetPosTitle[] = "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄのﾎﾟｼﾞｼｮﾝ配列登録でｴﾗｰが発生した。";
const char kSetPosMessage[] = "ｲﾍﾞﾝﾄを多重に登録しようとしています。";
const char kSetPosMethod[] = "CArticWrkｸﾗｽのSetEvntPosﾒｿｯﾄﾞを参照して下さい。";
const char kResetPosTitle[] = "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄに対応するﾎﾟｼﾞｼｮﾝ配列を変更する際にｴﾗｰが発生した。";
const char kResetPosMessage[] = "ｲﾍﾞﾝﾄ番号に誤りがあります。";
const char kResetPosMethod[] = "CArticWrkｸﾗｽのResetEvntPosﾒｿｯﾄﾞを参照して下さい。";
const char kEvntNoLabel[] = "ｲﾍﾞﾝﾄ番号 = ";
const char kTableSizeLabel[] = "ｲﾍﾞﾝﾄ登録可能な数 = ";

}  // namespace

CArticWrk::CArticWrk() {
    m_pTrkList = new (std::nothrow) CArticWrkTrkList(10);
    m_pEvntPosArray = new (std::nothrow) CArticPosArray();
    if (m_pEvntPosArray) m_pEvntPosArray->SetSize(2);
}

CArticWrk::~CArticWrk() {
    DeleteTrkList();
    DeleteEvntPosArray();
}

CArticWrk& CArticWrk::operator=(const CArticWrk& src) {
    if (this == &src) return *this;
    Clear();
    CopyTrkList(src.m_pTrkList);
    m_MaxPartNum = src.m_MaxPartNum;
    return *this;
}

void CArticWrk::CopyForCore(const CArticWrk* src) {
    if (src == this) return;
    Clear();
    if (!src) return;
    CArticWrkUtil::SetFng(0);
    CopyTrkListForCore(src->m_pTrkList);
    SetFng(CArticWrkUtil::GetFng());
    m_MaxPartNum = src->m_MaxPartNum;
}

void CArticWrk::CopyTracks(const CArticWrkTrkList* list, bool forCore) {
    if (!list || !m_pTrkList) return;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkTrk* src = list->GetNext(p);
        if (!src) continue;
        auto* trk = new (std::nothrow) CArticWrkTrk(this, src->GetTrkNo(), src->GetCh(), src->GetPort());
        if (!trk) continue;
        trk->SetSelTrk(src->GetSelTrk());
        trk->SetTrkAttr(src->GetTrkAttr());
        trk->SetOrgTrkID(src->GetOrgTrkID());
        trk->SetOrgBlkID(src->GetOrgBlkID());
        trk->SetSeqTrkNo(src->GetSeqTrkNo());
        // In the list first, so that the copied events register with their track's place.
        AddTail(trk);
        if (forCore)
            trk->CopyForCore(src);
        else
            *trk = *src;
    }
}

void CArticWrk::CopyTrkList(const CArticWrkTrkList* list) { CopyTracks(list, false); }
void CArticWrk::CopyTrkListForCore(const CArticWrkTrkList* list) { CopyTracks(list, true); }

void CArticWrk::Clear() {
    ClearTrkList();
    // Events the table holds in no block (numbers re-linked for a second
    // list and never placed) belong to it and go with it.
    ClearEvntPosArray(1);
}

void CArticWrk::ClearTrkList() {
    CArticWrkEdits::Count();
    if (m_pTrkList) {
        CArticWrkTrkList doomed;
        doomed.AddTail(*m_pTrkList);
        m_pTrkList->RemoveAll();
        for (POSITION p = doomed.GetHeadPosition(); p;) delete doomed.GetNext(p);
    }
    m_pMeasBlk = nullptr;
    m_EvntNum = 0;
}

void CArticWrk::DeleteTrkList() {
    ClearTrkList();
    delete m_pTrkList;
    m_pTrkList = nullptr;
}

// ---- Time conversion

int CArticWrk::GetEvntTime(ULONG meas, ULONG beat, ULONG tick, INT64* time) const {
    if (!m_pMeasBlk) return 1;
    for (POSITION p = m_pMeasBlk->GetTailPos(); p;) {
        Signature s;
        if (!ReadSignature(m_pMeasBlk->GetPrev(p), &s) || !AtOrBefore(s, meas, beat, tick)) continue;
        uint32_t offset = ((meas - s.bar) * s.numerator - s.beat + beat) * s.ticksPerBeat - s.tick + tick;
        if (time) *time = s.time + INT64(offset);
        return 0;
    }
    uint32_t t = (meas * 4u + beat) * 480u + tick - 2400u;
    if (time) *time = INT64(t);
    return 0;
}

int CArticWrk::GetEvntMeas(INT64 time, ULONG* meas, ULONG* beat, ULONG* tick) const {
    if (!m_pMeasBlk) return 1;
    for (POSITION p = m_pMeasBlk->GetTailPos(); p;) {
        // The time first: only a signature at or before `time` is read.
        const CArticWrkEvnt* e = m_pMeasBlk->GetPrev(p);
        Signature s;
        if (!e || e->GetTime() > time || !ReadSignature(e, &s)) continue;
        const uint32_t d = uint32_t(time - s.time);
        const uint32_t N = s.numerator, P = s.ticksPerBeat;
        const uint32_t bars = d / (N * P);
        const uint32_t r = d % (N * P);
        const uint32_t beats = r / P;
        const uint32_t ticks = r % P;
        const uint32_t carry = (s.tick + ticks) / P;
        const uint32_t k = (s.beat - 1) + beats + carry;
        if (tick) *tick = (s.tick + ticks) % P;
        if (beat) *beat = k % N + 1;
        if (meas) *meas = s.bar + bars + k / N;
        return 0;
    }
    const uint32_t d = uint32_t(time);
    if (meas) *meas = d / 1920 + 1;
    if (beat) *beat = (d % 1920) / 480 + 1;
    if (tick) *tick = d % 480;
    return 0;
}

ULONG CArticWrk::BarOf(INT64 time) const {
    ULONG meas = 1, beat = 1, tick = 0;
    GetEvntMeas(time, &meas, &beat, &tick);
    return meas;
}

// ---- Text

int CArticWrk::GetStrList(CStringList& list, ULONG set, int withRuleData) {
    if (!m_pTrkList) return 1;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
        CArticWrkTrk* trk = m_pTrkList->GetNext(p);
        if (!trk) continue;
        int rc = trk->GetStrList(list, set, withRuleData);
        if (rc != 0) return rc;
    }
    return 0;
}

void CArticWrk::DispErrMsg(const CString& title, const CString& message, const CString& method,
                           const CString& detail) {
    CArticErr::Set(message, "CArticWrk", method, detail);
    CString text;
    CArticErr::Get(text);
    CArticErr::DoModalErrDlg(title + "\r" + text, 0x10);
}

// ---- Tracks

ULONG CArticWrk::GetFreeTrkNo(BYTE partMode) const {
    if (!m_pTrkList) return kMaxTrkCount;
    if (m_pTrkList->IsEmpty()) return 0;
    bool used[kMaxTrkCount] = {};
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
        CArticWrkTrk* t = m_pTrkList->GetNext(p);
        if (t && t->GetTrkNo() < kMaxTrkCount) used[t->GetTrkNo()] = true;
    }
    if (partMode == 0) {
        for (ULONG n = 0; n < kMaxTrkCount; ++n)
            if (n != kDrumTrkNo && !used[n]) return n;
        return kMaxTrkCount;
    }
    if (partMode <= 5 && !used[kDrumTrkNo]) return kDrumTrkNo;
    return kMaxTrkCount;
}

CArticWrkTrk* CArticWrk::NewTrk(BYTE partMode) {
    ULONG n = GetFreeTrkNo(partMode);
    if (n >= kMaxTrkCount) return nullptr;
    auto* trk = new (std::nothrow) CArticWrkTrk(this, n, kUnsetChannel, kNoPort);
    if (!trk) return nullptr;
    if (!AddTail(trk)) {
        delete trk;
        return nullptr;
    }
    return trk;
}

int CArticWrk::NewTrk(BYTE partMode, CArticWrkTrk** trk) {
    if (!m_pTrkList) return 0;
    CArticWrkTrk* t = NewTrk(partMode);
    if (trk) *trk = t;
    return t ? 1 : 0;
}

int CArticWrk::GetCount() const { return m_pTrkList ? m_pTrkList->GetCount() : 0; }
POSITION CArticWrk::GetHeadPos() const { return m_pTrkList ? m_pTrkList->GetHeadPosition() : nullptr; }
POSITION CArticWrk::GetTailPos() const { return m_pTrkList ? m_pTrkList->GetTailPosition() : nullptr; }
POSITION CArticWrk::GetPos(int index) const { return m_pTrkList ? m_pTrkList->FindIndex(index) : nullptr; }

int CArticWrk::GetNext(POSITION& pos, CArticWrkTrk** trk) const {
    CArticWrkTrk* t = GetNext(pos);
    if (trk) *trk = t;
    return t ? 1 : 0;
}

CArticWrkTrk* CArticWrk::GetNext(POSITION& pos) const {
    if (!m_pTrkList || !pos) return nullptr;
    return m_pTrkList->GetNext(pos);
}

int CArticWrk::GetPrev(POSITION& pos, CArticWrkTrk** trk) const {
    CArticWrkTrk* t = GetPrev(pos);
    if (trk) *trk = t;
    return t ? 1 : 0;
}

CArticWrkTrk* CArticWrk::GetPrev(POSITION& pos) const {
    if (!m_pTrkList || !pos) return nullptr;
    return m_pTrkList->GetPrev(pos);
}

int CArticWrk::Get(ULONG trkNo, CArticWrkTrk** trk) const {
    CArticWrkTrk* t = Get(trkNo);
    if (t && trk) *trk = t;
    return t ? 1 : 0;
}

int CArticWrk::Get(int index, CArticWrkTrk** trk) const {
    CArticWrkTrk* t = Get(index);
    if (t && trk) *trk = t;
    return t ? 1 : 0;
}

int CArticWrk::Get(POSITION pos, CArticWrkTrk** trk) const {
    CArticWrkTrk* t = Get(pos);
    if (t && trk) *trk = t;
    return t ? 1 : 0;
}

CArticWrkTrk* CArticWrk::Get(ULONG trkNo) const {
    if (!m_pTrkList) return nullptr;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
        CArticWrkTrk* t = m_pTrkList->GetNext(p);
        if (t && t->GetTrkNo() == trkNo) return t;
    }
    return nullptr;
}

CArticWrkTrk* CArticWrk::Get(int index) const { return Get(GetPos(index)); }

CArticWrkTrk* CArticWrk::Get(POSITION pos) const {
    if (!m_pTrkList || !pos) return nullptr;
    return m_pTrkList->GetAt(pos);
}

int CArticWrk::GetOrigTrk(ULONG origTrkNo, CArticWrkTrk** trk) const {
    CArticWrkTrk* t = GetOrigTrk(origTrkNo);
    if (t && trk) *trk = t;
    return t ? 1 : 0;
}

CArticWrkTrk* CArticWrk::GetOrigTrk(ULONG origTrkNo) const {
    if (!m_pTrkList) return nullptr;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
        CArticWrkTrk* t = m_pTrkList->GetNext(p);
        if (t && t->GetOrigTrkNo() == origTrkNo) return t;
    }
    return nullptr;
}

CArticWrkTrk* CArticWrk::GetOrigTrk(POSITION orgTrkID, POSITION orgBlkID, ULONG origPort, ULONG origCh) const {
    if (!m_pTrkList) return nullptr;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
        CArticWrkTrk* t = m_pTrkList->GetNext(p);
        if (t && t->GetOrgTrkID() == orgTrkID && t->GetOrgBlkID() == orgBlkID && t->GetOrigPort() == origPort &&
            t->GetOrigCh() == origCh)
            return t;
    }
    return nullptr;
}

CArticWrkTrk* CArticWrk::GetOrigTrk(POSITION orgTrkID, ULONG origPort, ULONG origCh) const {
    if (!m_pTrkList) return nullptr;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
        CArticWrkTrk* t = m_pTrkList->GetNext(p);
        if (t && t->GetOrgTrkID() == orgTrkID && t->GetOrigPort() == origPort && t->GetOrigCh() == origCh) return t;
    }
    return nullptr;
}

int CArticWrk::GetOrigTrkIndex(ULONG origTrkNo) const {
    if (!m_pTrkList) return -1;
    int i = 0;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p; ++i) {
        CArticWrkTrk* t = m_pTrkList->GetNext(p);
        if (t && t->GetOrigTrkNo() == origTrkNo) return i;
    }
    return -1;
}

ULONG CArticWrk::GetTrkNo(int i) const {
    CArticWrkTrk* t = Get(i);
    return t ? t->GetTrkNo() : 0;
}

ULONG CArticWrk::GetWorksTrkNo(int i) const {
    CArticWrkTrk* t = Get(i);
    return t ? t->GetMidiTrkNo() : 0;
}

ULONG CArticWrk::GetBlkNo(int i, int j) const {
    CArticWrkTrk* t = Get(i);
    CArticWrkBlk* b = t ? t->Get(j) : nullptr;
    return b ? b->GetBlkNo() : 0;
}

ULONG CArticWrk::GetWorksBlkNo(int i, int j) const {
    CArticWrkTrk* t = Get(i);
    CArticWrkBlk* b = t ? t->Get(j) : nullptr;
    return b ? b->GetMidiBlkNo() : 0;
}

CString CArticWrk::GetWorksBlkName(int i, int j) const {
    CArticWrkTrk* t = Get(i);
    CArticWrkBlk* b = t ? t->Get(j) : nullptr;
    return b ? b->GetBlkName() : CString();
}

int CArticWrk::GetIndex(CArticWrkTrk* trk) const {
    if (!m_pTrkList) return -1;
    int i = 0;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p; ++i)
        if (m_pTrkList->GetNext(p) == trk) return i;
    return -1;
}

POSITION CArticWrk::AddHead(CArticWrkTrk* trk) {
    if (!m_pTrkList) return nullptr;
    POSITION pos = m_pTrkList->AddHead(trk);
    if (trk) trk->SetPosTrk(pos);
    return pos;
}

POSITION CArticWrk::AddTail(CArticWrkTrk* trk) {
    if (!m_pTrkList) return nullptr;
    POSITION pos = m_pTrkList->AddTail(trk);
    if (trk) trk->SetPosTrk(pos);
    return pos;
}

POSITION CArticWrk::InsertAfter(POSITION at, CArticWrkTrk* trk) {
    if (!m_pTrkList) return nullptr;
    POSITION pos = m_pTrkList->InsertAfter(at, trk);
    if (trk) trk->SetPosTrk(pos);
    return pos;
}

POSITION CArticWrk::InsertBefore(POSITION at, CArticWrkTrk* trk) {
    if (!m_pTrkList) return nullptr;
    POSITION pos = m_pTrkList->InsertBefore(at, trk);
    if (trk) trk->SetPosTrk(pos);
    return pos;
}

POSITION CArticWrk::Sort(CArticWrkTrk* trk) {
    if (!m_pTrkList || !trk) return nullptr;
    for (POSITION p = m_pTrkList->GetTailPosition(); p;) {
        POSITION at = p;
        CArticWrkTrk* t = m_pTrkList->GetPrev(p);
        if (t && t->GetTrkNo() <= trk->GetTrkNo()) return InsertAfter(at, trk);
    }
    return AddHead(trk);
}

POSITION CArticWrk::Find(CArticWrkTrk* trk) const { return m_pTrkList ? m_pTrkList->Find(trk) : nullptr; }

void CArticWrk::Remove(CArticWrkTrk* trk, POSITION start) {
    if (!m_pTrkList) return;
    POSITION p = m_pTrkList->Find(trk, start);
    if (p) Remove(p);
}

void CArticWrk::Remove(POSITION pos) {
    if (!m_pTrkList || !pos) return;
    CArticWrkEdits::Count();
    CArticWrkTrk* t = m_pTrkList->GetAt(pos);
    m_pTrkList->RemoveAt(pos);
    if (t && t->GetPosTrk() == pos) t->SetPosTrk(nullptr);
}

void CArticWrk::RemoveAll() {
    if (!m_pTrkList) return;
    CArticWrkEdits::Count();
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkTrk* t = m_pTrkList->GetNext(p);
        if (t && t->GetPosTrk() == at) t->SetPosTrk(nullptr);
    }
    m_pTrkList->RemoveAll();
}

int CArticWrk::GetTrkList(CArticWrkTrkList** list) const {
    if (list) *list = m_pTrkList;
    return m_pTrkList ? 1 : 0;
}

INT64 CArticWrk::GetStartTime() const {
    if (!m_pTrkList) return 0;
    INT64 start = kNoTime;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
        CArticWrkTrk* t = m_pTrkList->GetNext(p);
        if (t && t->GetTrkNo() != 0 && t->GetStartTime() < start) start = t->GetStartTime();
    }
    return start;
}

INT64 CArticWrk::GetEndTime() const {
    if (!m_pTrkList) return 0;
    INT64 end = 0;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
        CArticWrkTrk* t = m_pTrkList->GetNext(p);
        if (t && t->GetTrkNo() != 0 && t->GetEndTime() > end) end = t->GetEndTime();
    }
    return end;
}

ULONG CArticWrk::GetEvntNum() {
    ULONG n = 0;
    if (m_pTrkList) {
        for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
            CArticWrkTrk* t = m_pTrkList->GetNext(p);
            if (t) n += ULONG(t->GetEvntNum());
        }
    }
    m_EvntNum = n;
    return n;
}

int CArticWrk::GetMeasBlk(CArticWrkBlk** blk) const {
    if (!m_pMeasBlk) return 0;
    if (blk) *blk = m_pMeasBlk;
    return 1;
}

int CArticWrk::GetEvntPosArray(CArticPosArray** array) const {
    if (array) *array = m_pEvntPosArray;
    return m_pEvntPosArray ? 1 : 0;
}

int CArticWrk::GetOutArray(ULONG evntNo, CArticLongArray** array) const {
    CArticLongArray* a = GetOutArray(evntNo);
    if (a && array) *array = a;
    return a ? 1 : 0;
}

CArticLongArray* CArticWrk::GetOutArray(ULONG evntNo) const {
    CArticWrkEvnt* e = GetEvntInEvntPosArray(evntNo, 1);
    return e ? e->GetOutArray() : nullptr;
}

template <class F>
void CArticWrk::ForEachEvnt(F f) const {
    if (!m_pTrkList) return;
    for (POSITION tp = m_pTrkList->GetHeadPosition(); tp;) {
        CArticWrkTrk* trk = m_pTrkList->GetNext(tp);
        if (!trk) continue;
        for (POSITION bp = trk->GetHeadPos(); bp;) {
            CArticWrkBlk* blk = trk->GetNext(bp);
            if (!blk) continue;
            for (POSITION ep = blk->GetHeadPos(); ep;) {
                POSITION at = ep;
                CArticWrkEvnt* e = blk->GetNext(ep);
                if (e && f(trk, blk, at, e)) return;
            }
        }
    }
}

// ---- Whole-work operations

int CArticWrk::UsedPortCh(ULONG port, ULONG ch) const {
    if (!m_pTrkList) return 0;
    POSITION p = m_pTrkList->GetHeadPosition();
    if (p) m_pTrkList->GetNext(p);  // the first track never counts
    while (p) {
        CArticWrkTrk* t = m_pTrkList->GetNext(p);
        if (t && t->GetPort() == port && t->GetCh() == ch) return 1;
    }
    return 0;
}

int CArticWrk::SetPortChNum(CArticPref* pref) {
    CArticPrefSep* sep = pref ? pref->GetSep() : nullptr;
    if (!sep || !m_pTrkList) return 1;
    const BYTE strings = sep->GetGen();
    POSITION p = m_pTrkList->GetHeadPosition();
    if (p) m_pTrkList->GetNext(p);
    for (BYTE i = 0; p && i < strings; ++i) {
        CArticWrkTrk* t = m_pTrkList->GetNext(p);
        if (!t) continue;
        t->SetPort(sep->GetPort(int(i)));
        t->SetCh(sep->GetCh(int(i)));
    }
    return 1;
}

int CArticWrk::SetFngrInfo(CArticWrk* src) {
    if (!src || !m_pEvntPosArray) return 1;
    for (int i = 0; i < m_pEvntPosArray->GetSize(); ++i) {
        CArticWrkEvnt* mine = GetEvntInEvntPosArray(ULONG(i), 1);
        CArticWrkEvnt* theirs = src->GetEvntInEvntPosArray(ULONG(i), 1);
        if (!mine || !theirs || !wrkutil::IsNoteNibble(mine) || !mine->GetFngrInfo() || !theirs->GetFngrInfo()) continue;
        *mine->GetFngrInfo() = *theirs->GetFngrInfo();
    }
    return 0;
}

int CArticWrk::SetFngrInfo(const CStringList& lines) {
    int applied = 0;
    for (POSITION p = lines.GetHeadPosition(); p;) {
        const CString& line = lines.GetNext(p);
        ULONG evntNo = 0;
        int pos = 0;
        BYTE gen = 0, fng = 0;
        char cho = 0;
        if (CArticWrkUtil::GetFngrInfo(line, &evntNo, &pos, &gen, &fng, &cho) != 0) continue;
        CArticWrkEvnt* e = GetEvntInEvntPosArray(evntNo, 1);
        if (!e) continue;
        e->SetFngrInfo(pos, gen, fng, static_cast<signed char>(cho));
        ++applied;
    }
    return applied ? 0 : 1;
}

int CArticWrk::ClearExv() {
    ForEachEvnt([](CArticWrkTrk*, CArticWrkBlk*, POSITION, CArticWrkEvnt* e) {
        e->ClearExvArray();
        e->ClearSearchArray();
        e->ClearChordInfo();
        return false;
    });
    return 0;
}

int CArticWrk::ClearExpStr() {
    ForEachEvnt([](CArticWrkTrk*, CArticWrkBlk*, POSITION, CArticWrkEvnt* e) {
        e->ClearExpEvntListArray();
        return false;
    });
    return 0;
}

int CArticWrk::ClearPrmExp() {
    ForEachEvnt([](CArticWrkTrk*, CArticWrkBlk*, POSITION, CArticWrkEvnt* e) {
        e->ClearPrmExpArray();
        return false;
    });
    return 0;
}

int CArticWrk::ClearFngrInfo() {
    ForEachEvnt([](CArticWrkTrk*, CArticWrkBlk*, POSITION, CArticWrkEvnt* e) {
        e->ClearFngrInfo();
        return false;
    });
    return 0;
}

int CArticWrk::RestoreProb(CArticWrk* src) {
    if (!src) return 1;
    if (!m_pEvntPosArray) return 0;
    for (int i = 0; i < m_pEvntPosArray->GetSize(); ++i) {
        CArticWrkEvnt* mine = GetEvntInEvntPosArray(ULONG(i), 1);
        CArticWrkEvnt* theirs = src->GetEvntInEvntPosArray(ULONG(i), 1);
        if (mine && theirs) mine->RestoreProb(theirs);
    }
    return 0;
}

int CArticWrk::MergeBlk() {
    if (!m_pTrkList) return 1;
    CArticWrkBlk* target = nullptr;
    for (POSITION tp = m_pTrkList->GetHeadPosition(); tp;) {
        CArticWrkTrk* trk = m_pTrkList->GetNext(tp);
        if (!trk || !trk->GetSelTrk() || trk->GetTrkNo() == 0) continue;
        for (POSITION bp = trk->GetHeadPos(); bp;) {
            CArticWrkBlk* blk = trk->GetNext(bp);
            if (!blk) continue;
            if (!target) {
                target = blk;
                continue;
            }
            if (blk == target) continue;
            for (POSITION ep = blk->GetHeadPos(); ep;) {
                CArticWrkEvnt* e = blk->GetNext(ep);
                if (!e || !e->GetPosEvnt()) continue;
                bool text = e->GetStatus() == 0xFF && e->GetMetaType() == 0x01;
                if (!wrkutil::IsNoteNibble(e) && !text) continue;
                blk->Remove(e->GetPosEvnt());
                e->SetOwner(target);
                target->Sort(e, 0);
                ResetEvntPos(e);
            }
        }
    }
    return 0;
}

int CArticWrk::SortTrkList() {
    if (!m_pTrkList) return 1;
    for (POSITION tp = m_pTrkList->GetTailPosition(); tp;) {
        CArticWrkTrk* trk = m_pTrkList->GetPrev(tp);
        if (!trk || !trk->GetBlkList()) return 1;
        for (POSITION bp = trk->GetTailPos(); bp;) {
            CArticWrkBlk* blk = trk->GetPrev(bp);
            CArticWrkEvntList* list = blk ? blk->GetEvntList() : nullptr;
            if (!list) return 1;
            // Insertion sort from the head: everything left of the cursor is in
            // order, so each event only has to pass the ones that go after it.
            for (POSITION cursor = list->GetHeadPosition(); cursor;) {
                POSITION at = cursor;
                list->GetNext(cursor);
                for (;;) {
                    POSITION before = at;
                    list->GetPrev(before);
                    if (!before) break;
                    CArticWrkEvnt* x = list->GetAt(at);
                    CArticWrkEvnt* y = list->GetAt(before);
                    if (!GoesBefore(x, y)) break;
                    // x and y change places and numbers: the numbers along the list stay.
                    list->SetAt(before, x);
                    list->SetAt(at, y);
                    x->SetPosEvnt(before);
                    y->SetPosEvnt(at);
                    ULONG xNo = x->GetEvntNo();
                    x->SetEvntNo(y->GetEvntNo());
                    y->SetEvntNo(xNo);
                    ResetEvntPos(x);
                    ResetEvntPos(y);
                    at = before;
                }
            }
        }
    }
    return 0;
}

// ---- Part assignment

int CArticWrk::DivWrkTrkList(CArticWrkTrkList* all, CArticWrkTrkList* normal, CArticWrkTrkList* drum10,
                             CArticWrkTrkList* drumOther) {
    if (!all || !normal || !drum10 || !drumOther) return 1;
    int sorted = 0;
    for (POSITION p = all->GetHeadPosition(); p;) {
        CArticWrkTrk* trk = all->GetNext(p);
        CArticWrkBlk* first = trk ? trk->Get(0) : nullptr;
        if (!first) continue;
        if (first->GetPartMode() == 0)
            normal->AddTail(trk);
        else if (trk->GetTrkNo() % 16 == kDrumTrkNo)
            drum10->AddTail(trk);
        else
            drumOther->AddTail(trk);
        ++sorted;
    }
    return sorted ? 0 : 1;
}

int CArticWrk::NormalAssign(int count, CArticWrkTrkList* list, int skipDrum, int* used) {
    if (!list || !used) return 1;
    ULONG k = 0;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkTrk* trk = list->GetNext(p);
        if (!trk) continue;
        ULONG index = k + ((skipDrum && k % 16 == kDrumTrkNo) ? 1 : 0);
        if (int64_t(index) > int64_t(count) - 1) {
            CString detail;
            detail.Format("%s%u", kAssignDetail, unsigned(index));
            DispErrMsg(kNormalTitle, kNormalMessage, "NormalAssign", detail);
            return 1;
        }
        trk->SetTrkNo(index);
        used[index] = 1;
        k = index + 1;
    }
    return 0;
}

int CArticWrk::GetFreeDrumTrkNo(int count, int* used, ULONG* trkNo) {
    if (!used || !trkNo) return 1;
    // A drum number is kept only when the table has its slot: 26, or 10
    // with fewer than 11 parts, would mark past the end.
    if (*trkNo % 16 == kDrumTrkNo && int64_t(*trkNo) < count) return 0;
    for (ULONG n = kDrumTrkNo; int64_t(n) < count; n += 16) {
        if (!used[n]) {
            *trkNo = n;
            return 0;
        }
    }
    for (int n = 0; n < count; ++n) {
        if (!used[n]) {
            used[n] = 1;
            *trkNo = ULONG(n);
            return 0;
        }
    }
    return 1;
}

int CArticWrk::DrumAssign(int count, CArticWrkTrkList* list, int* used) {
    if (!list || !used) return 1;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkTrk* trk = list->GetNext(p);
        if (!trk) continue;
        ULONG trkNo = trk->GetTrkNo();
        if (GetFreeDrumTrkNo(count, used, &trkNo) != 0) {
            CString detail;
            detail.Format("%s%u", kAssignDetail, unsigned(trkNo));
            DispErrMsg(kDrumTitle, kDrumMessage, "DrumAssign", detail);
            return 1;
        }
        trk->SetTrkNo(trkNo);
        used[trkNo] = 1;
    }
    return 0;
}

int CArticWrk::AssignWrk() {
    if (!m_pTrkList || m_pTrkList->IsEmpty()) return 1;
    const int m = m_MaxPartNum < int(kMaxTrkCount) ? int(m_MaxPartNum) : int(kMaxTrkCount);
    if (m <= 0 || m_pTrkList->GetCount() > m) return 1;
    std::vector<int> used(size_t(m), 0);
    CArticWrkTrkList normal, drum10, drumOther;
    if (DivWrkTrkList(m_pTrkList, &normal, &drum10, &drumOther) != 0) return 1;
    const int skipDrum = (!drum10.IsEmpty() || !drumOther.IsEmpty()) ? 1 : 0;
    if (NormalAssign(m, &normal, skipDrum, used.data()) != 0) return 1;
    if (skipDrum) {
        if (DrumAssign(m, &drum10, used.data()) != 0) return 1;
        if (DrumAssign(m, &drumOther, used.data()) != 0) return 1;
    }
    return 0;
}

// ---- Event-number table

int CArticWrk::GrownTableSize(int size, ULONG n) {
    if (int64_t(n) < size) return size;
    return int(ULONG(size) + ((n - ULONG(size)) & ~1u) + 2);
}

CArticWrkTrk* CArticWrk::FindTrk(POSITION pos) const {
    if (!pos || !m_pTrkList) return nullptr;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkTrk* t = m_pTrkList->GetNext(p);
        if (at == pos) return t;
    }
    return nullptr;
}

CArticWrkBlk* CArticWrk::FindBlk(CArticWrkTrk* trk, POSITION pos) const {
    if (!trk || !pos) return nullptr;
    for (POSITION p = trk->GetHeadPos(); p;) {
        POSITION at = p;
        CArticWrkBlk* b = trk->GetNext(p);
        if (at == pos) return b;
    }
    return nullptr;
}

CArticWrkEvnt* CArticWrk::Resolve(const CArticPos* rec, CArticWrkTrk** trkOut) const {
    if (!rec || !rec->GetEvnt()) return nullptr;
    CArticWrkTrk* trk = FindTrk(rec->GetTrk());
    CArticWrkBlk* blk = FindBlk(trk, rec->GetBlk());
    if (!blk) return nullptr;
    if (trkOut) *trkOut = trk;
    // The registered event normally sits where its record says; a stale
    // position is followed only after it was found in the block's list.
    CArticWrkEvnt* e = rec->GetWrkEvnt();
    if (e && e->GetPosEvnt() == rec->GetEvnt() && e->GetOwner() == blk) return e;
    for (POSITION p = blk->GetHeadPos(); p;) {
        POSITION at = p;
        CArticWrkEvnt* x = blk->GetNext(p);
        if (at == rec->GetEvnt()) return x;
    }
    return nullptr;
}

int CArticWrk::GetEvnt(POSITION trkPos, POSITION blkPos, POSITION evntPos, CArticWrkEvnt** evnt) const {
    CArticWrkEvnt* e = GetEvnt(trkPos, blkPos, evntPos);
    if (e && evnt) *evnt = e;
    return e ? 1 : 0;
}

CArticWrkEvnt* CArticWrk::GetEvnt(POSITION trkPos, POSITION blkPos, POSITION evntPos) const {
    CArticPos rec(trkPos, blkPos, evntPos);
    return Resolve(&rec, nullptr);
}

int CArticWrk::SetEvntPos(CArticWrkEvnt* evnt) {
    if (!m_pEvntPosArray || !evnt) return 1;
    const ULONG n = evnt->GetEvntNo();
    // Numbers can come from a text dump: one far beyond any real event count
    // would only make the table exhaust memory, so it gets no record.
    if (n > kMaxEvntNo) return 1;
    POSITION trk = nullptr, blk = nullptr, pos = nullptr;
    evnt->GetPos(&trk, &blk, &pos);
    auto* rec = new (std::nothrow) CArticPos(trk, blk, pos, evnt, evnt);
    if (!rec) return 1;
    CArticWrkEdits::Count();
    if (int64_t(n) >= m_pEvntPosArray->GetSize()) m_pEvntPosArray->SetSize(GrownTableSize(m_pEvntPosArray->GetSize(), n));
    if (!m_pEvntPosArray->GetAt(int(n))) {
        m_pEvntPosArray->SetAt(int(n), rec);
        CountRecord(evnt, +1);
        if (n > m_HighEvntNo) m_HighEvntNo = n;
        return 0;
    }
    if (m_ChangeEvntNo) {
        ULONG k = GetFreeEvntNo(n);
        if (k != n) {
            if (k > kMaxEvntNo) {
                delete rec;
                return 1;
            }
            if (int64_t(k) >= m_pEvntPosArray->GetSize())
                m_pEvntPosArray->SetSize(GrownTableSize(m_pEvntPosArray->GetSize(), k));
            if (!m_pEvntPosArray->GetAt(int(k))) {
                evnt->SetEvntNo(k);
                m_pEvntPosArray->SetAt(int(k), rec);
                CountRecord(evnt, +1);
                if (k > m_HighEvntNo) m_HighEvntNo = k;
                return 0;
            }
        }
    }
    CString detail;
    detail.Format("%s%u", kEvntNoLabel, unsigned(n));
    evnt->DispErrMsg(kSetPosTitle, kSetPosMessage, kSetPosMethod, detail);
    delete rec;
    return 1;
}

int CArticWrk::ResetEvntPos(CArticWrkEvnt* evnt) {
    if (!m_pEvntPosArray || !evnt) return 1;
    const ULONG n = evnt->GetEvntNo();
    if (int64_t(n) >= m_pEvntPosArray->GetSize()) {
        CString detail;
        detail.Format("%s%u    %s%d", kEvntNoLabel, unsigned(n), kTableSizeLabel, m_pEvntPosArray->GetSize());
        evnt->DispErrMsg(kResetPosTitle, kResetPosMessage, kResetPosMethod, detail);
        return 1;
    }
    CArticPos* rec = m_pEvntPosArray->GetAt(int(n));
    if (!rec) return 1;
    POSITION trk = nullptr, blk = nullptr, pos = nullptr;
    evnt->GetPos(&trk, &blk, &pos);
    rec->Set(trk, blk, pos);
    if (rec->GetWrkEvnt() != evnt) {
        CountRecord(rec->GetWrkEvnt(), -1);
        CountRecord(evnt, +1);
    }
    rec->SetWrkEvnt(evnt);
    rec->SetRefWrkEvnt(evnt);
    return 0;
}

int CArticWrk::ResetEvntPos(ULONG evntNo) {
    CArticPos* rec = m_pEvntPosArray && evntNo < 0x80000000u ? m_pEvntPosArray->GetAt(int(evntNo)) : nullptr;
    if (!rec) return 1;
    CountRecord(rec->GetWrkEvnt(), -1);
    rec->Set(nullptr, nullptr, nullptr, nullptr, nullptr);
    return 0;
}

int CArticWrk::ResetAllEvntPos() {
    if (!m_pEvntPosArray) return 1;
    CArticWrkEdits::Count();
    m_HighEvntNo = 0;
    std::vector<CArticWrkEvnt*> freeEvnts;
    for (int i = 0; i < m_pEvntPosArray->GetSize(); ++i) {
        CArticPos* rec = m_pEvntPosArray->GetAt(i);
        if (!rec) continue;
        if (rec->GetTrk() || rec->GetBlk()) {
            m_HighEvntNo = ULONG(i);
            continue;
        }
        m_pEvntPosArray->SetAt(i, nullptr);
        CountRecord(rec->GetWrkEvnt(), -1);
        if (rec->GetWrkEvnt()) freeEvnts.push_back(rec->GetWrkEvnt());
        delete rec;
    }
    for (CArticWrkEvnt* e : freeEvnts) delete e;
    return 0;
}

int CArticWrk::GetEvntPos(ULONG evntNo, CArticWrkEvnt** evnt, CArticWrkEvnt** refEvnt) const {
    CArticPos* rec = m_pEvntPosArray && evntNo < 0x80000000u ? m_pEvntPosArray->GetAt(int(evntNo)) : nullptr;
    if (!rec) return 1;
    if (evnt) *evnt = rec->GetWrkEvnt();
    if (refEvnt) *refEvnt = rec->GetRefWrkEvnt();
    return 0;
}

int CArticWrk::GetEvntPos(ULONG evntNo, CArticWrkEvnt** evnt) const { return GetEvntPos(evntNo, evnt, nullptr); }

int CArticWrk::GetEvntPos(CArticWrkEvnt* evnt, CArticPos** record) const {
    if (!evnt || !IsEvntPos(evnt)) return 1;
    CArticPos* rec = m_pEvntPosArray->GetAt(int(evnt->GetEvntNo()));
    if (!rec) return 1;
    if (record) *record = rec;
    return 0;
}

int CArticWrk::IsEvntPos(const CArticWrkEvnt* evnt) const {
    // Compares addresses only: the event may have been destroyed.
    if (!m_pEvntPosArray || !evnt) return 0;
    return m_Registered.Get(evnt) > 0 ? 1 : 0;
}

void CArticWrk::CountRecord(const CArticWrkEvnt* evnt, int change) { m_Registered.Add(evnt, change); }

int CArticWrk::DeleteEvntPos(CArticWrkEvnt* evnt) {
    if (!m_pEvntPosArray || !evnt) return 1;
    const ULONG n = evnt->GetEvntNo();
    CArticPos* rec = n < 0x80000000u ? m_pEvntPosArray->GetAt(int(n)) : nullptr;
    // The entry of another event with the same number is not this event's to delete.
    if (!rec || rec->GetWrkEvnt() != evnt) return 1;
    CArticWrkEdits::Count();
    m_pEvntPosArray->SetAt(int(n), nullptr);
    CountRecord(evnt, -1);
    delete rec;
    return 0;
}

int CArticWrk::DeleteEvnt(CArticWrkEvnt* evnt) {
    if (!evnt) return 1;
    CArticWrkBlk* home = nullptr;
    ForEachEvnt([&](CArticWrkTrk*, CArticWrkBlk* blk, POSITION, CArticWrkEvnt* e) {
        if (e != evnt) return false;
        home = blk;
        return true;
    });
    if (!home) return 1;
    if (evnt->GetOwner() != home) evnt->SetOwner(home);
    int rc = DeleteEvntPos(evnt);
    return rc | CArticWrkUtil::DelEvnt(evnt);
}

int CArticWrk::GetEvntInEvntPosArray(ULONG evntNo, CArticWrkEvnt** evnt) const {
    CArticWrkEvnt* e = GetEvntInEvntPosArray(evntNo, 1);
    if (e && evnt) *evnt = e;
    return e ? 1 : 0;
}

CArticWrkEvnt* CArticWrk::GetEvntInEvntPosArray(ULONG evntNo, int resolvedOnly) const {
    // While the index built for the note queries holds (the rule run walks
    // the table once per rule set), the slots resolve from it. A lookup never
    // builds it: walks between edits would rebuild it for every step.
    if (resolvedOnly && m_NoteIndexAt == CArticWrkEdits::Now())
        return evntNo < m_Resolved.size() ? m_Resolved[evntNo] : nullptr;
    CArticPos* rec = m_pEvntPosArray && evntNo < 0x80000000u ? m_pEvntPosArray->GetAt(int(evntNo)) : nullptr;
    if (!rec) return nullptr;
    CArticWrkEvnt* e = Resolve(rec, nullptr);
    if (!e && !resolvedOnly) e = rec->GetWrkEvnt();
    return e;
}

CArticWrkEvnt* CArticWrk::GetEvntByNo(ULONG evntNo) const {
    CArticWrkEvnt* found = nullptr;
    ForEachEvnt([&](CArticWrkTrk*, CArticWrkBlk*, POSITION, CArticWrkEvnt* e) {
        if (e->GetEvntNo() != evntNo) return false;
        found = e;
        return true;
    });
    return found;
}

CArticWrkEvnt* CArticWrk::GetEvntBySeqNo(ULONG evntNo) const {
    CArticWrkEvnt* found = nullptr;
    ForEachEvnt([&](CArticWrkTrk*, CArticWrkBlk*, POSITION, CArticWrkEvnt* e) {
        if (!e->GetSeqWrkEvnt() || e->GetSeqWrkEvnt()->GetEvntNo() != evntNo) return false;
        found = e;
        return true;
    });
    return found;
}

ULONG CArticWrk::GetFreeEvntNo() const {
    if (!m_pEvntPosArray) return 0;
    for (int i = int(m_HighEvntNo) + 1; i < m_pEvntPosArray->GetSize(); ++i)
        if (!m_pEvntPosArray->GetAt(i)) return ULONG(i);
    return ULONG(m_pEvntPosArray->GetSize());
}

ULONG CArticWrk::GetFreeEvntNo(ULONG n) const {
    if (!m_pEvntPosArray || int64_t(n) >= m_pEvntPosArray->GetSize() || !m_pEvntPosArray->GetAt(int(n))) return n;
    return GetFreeEvntNo();
}

void CArticWrk::ClearEvntPosArray(int deleteFree) {
    if (!m_pEvntPosArray) return;
    CArticWrkEdits::Count();
    std::vector<CArticWrkEvnt*> freeEvnts;
    for (int i = 0; i < m_pEvntPosArray->GetSize(); ++i) {
        CArticPos* rec = m_pEvntPosArray->GetAt(i);
        if (!rec) continue;
        if (deleteFree && !rec->GetTrk() && !rec->GetBlk() && rec->GetWrkEvnt())
            freeEvnts.push_back(rec->GetWrkEvnt());
        m_pEvntPosArray->SetAt(i, nullptr);
        delete rec;
    }
    m_Registered.Clear();
    m_pEvntPosArray->SetSize(0);
    m_HighEvntNo = 0;
    for (CArticWrkEvnt* e : freeEvnts) delete e;
}

void CArticWrk::DeleteEvntPosArray() {
    ClearEvntPosArray(1);
    delete m_pEvntPosArray;
    m_pEvntPosArray = nullptr;
}

int CArticWrk::MakeWrkEvntList(CArticWrkEvntList* list, int copy) {
    if (!list || !m_pTrkList || m_pTrkList->IsEmpty()) return 1;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
        CArticWrkTrk* trk = m_pTrkList->GetNext(p);
        if (!trk) continue;
        int rc = trk->MakeWrkEvntList(list, copy);
        if (rc != 0) return rc;
    }
    if (!m_pEvntPosArray) return 0;
    for (int i = 0; i < m_pEvntPosArray->GetSize(); ++i) {
        CArticPos* rec = m_pEvntPosArray->GetAt(i);
        if (!rec || !rec->GetWrkEvnt() || rec->GetTrk() || rec->GetBlk()) continue;
        CArticWrkEvnt* e = rec->GetWrkEvnt();
        if (copy) {
            auto* c = new (std::nothrow) CArticWrkEvnt(nullptr, e->GetEvntNo());
            if (!c) return 1;
            *c = *e;
            e = c;
        }
        list->AddTail(e);
    }
    return 0;
}

int CArticWrk::RemakeEvntPosArray(CArticWrkEvntList* list) {
    if (!m_pEvntPosArray || !list) return 1;
    ClearEvntPosArray(0);
    m_pEvntPosArray->SetSize(2);
    ULONG n = 0;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        e->SetEvntNo(n++);
        SetEvntPos(e);
    }
    return n ? 0 : 1;
}

int CArticWrk::Renumber() {
    auto* scratch = new (std::nothrow) CArticWrkEvntList(10);
    if (!scratch) return 1;
    int rc = MakeWrkEvntList(scratch, 0);
    if (rc == 0) rc = RemakeEvntPosArray(scratch);
    scratch->RemoveAll();
    delete scratch;
    return rc;
}

// ---- Navigation

CArticWrkEvnt* CArticWrk::Visit(LONG n, bool selectedOnly, int notes) const {
    CArticWrkTrk* trk = nullptr;
    CArticWrkEvnt* e = Resolve(m_pEvntPosArray->GetAt(n), &trk);
    if (!e) return nullptr;
    if (selectedOnly && !trk->GetSelTrk()) return nullptr;
    if (notes && !wrkutil::IsNoteNibble(e)) return nullptr;
    return e;
}

template <class F>
void CArticWrk::WalkNumbers(int64_t from, int dir, bool selectedOnly, int notes, F f) const {
    if (!m_pEvntPosArray) return;
    for (int64_t i = from; i >= 0 && i < m_pEvntPosArray->GetSize(); i += dir) {
        CArticWrkEvnt* e = Visit(LONG(i), selectedOnly, notes);
        if (e && f(e)) return;
    }
}

int CArticWrk::WalkCount(int64_t from, int dir, bool selectedOnly, int count, int notes,
                         CArticWrkEvnt** found) const {
    if (count <= 0) return 0;
    CArticWrkEvnt* hit = nullptr;
    int seen = 0;
    WalkNumbers(from, dir, selectedOnly, notes, [&](CArticWrkEvnt* e) {
        if (++seen < count) return false;
        hit = e;
        return true;
    });
    if (!hit) return 0;
    if (found) *found = hit;
    return 1;
}

int CArticWrk::WalkList(int64_t from, int dir, bool selectedOnly, int count, int notes,
                        CArticWrkEvntList* list) const {
    if (count <= 0 || !list) return 1;
    int appended = 0;
    WalkNumbers(from, dir, selectedOnly, notes, [&](CArticWrkEvnt* e) {
        list->AddTail(e);
        return ++appended >= count;
    });
    return appended >= count ? 0 : 1;
}

#define VX_NUMBER_WALK(Name, dir, selectedOnly)                                                     \
    int CArticWrk::Name(ULONG n, int count, int notes, CArticWrkEvnt** evnt) const {                \
        return WalkCount(int64_t(n) + dir, dir, selectedOnly, count, notes, evnt);                                  \
    }                                                                                                \
    int CArticWrk::Name(ULONG n, int notes, CArticWrkEvnt** evnt) const {                           \
        return WalkCount(int64_t(n) + dir, dir, selectedOnly, 1, notes, evnt);                                      \
    }                                                                                                \
    int CArticWrk::Name(ULONG n, int count, int notes, CArticWrkEvntList* list) const {             \
        return WalkList(int64_t(n) + dir, dir, selectedOnly, count, notes, list);                                   \
    }                                                                                                \
    CArticWrkEvnt* CArticWrk::Name(ULONG n, int count, int notes) const {                           \
        CArticWrkEvnt* e = nullptr;                                                                  \
        WalkCount(int64_t(n) + dir, dir, selectedOnly, count, notes, &e);                                           \
        return e;                                                                                    \
    }                                                                                                \
    CArticWrkEvnt* CArticWrk::Name(ULONG n, int notes) const {                                      \
        CArticWrkEvnt* e = nullptr;                                                                  \
        WalkCount(int64_t(n) + dir, dir, selectedOnly, 1, notes, &e);                                               \
        return e;                                                                                    \
    }

VX_NUMBER_WALK(GetNextEvntInEvntPosArray, +1, false)
VX_NUMBER_WALK(GetPrevEvntInEvntPosArray, -1, false)
VX_NUMBER_WALK(GetWrkNextEvntInEvntPosArray, +1, true)
VX_NUMBER_WALK(GetWrkPrevEvntInEvntPosArray, -1, true)
#undef VX_NUMBER_WALK

CArticWrkEvnt* CArticWrk::GetFirstEvntInEvntPosArray(int notes) const {
    CArticWrkEvnt* hit = nullptr;
    WalkNumbers(0, +1, true, notes, [&](CArticWrkEvnt* e) { return (hit = e) != nullptr; });
    return hit;
}

CArticWrkEvnt* CArticWrk::GetLastEvntInEvntPosArray(int notes) const {
    if (!m_pEvntPosArray) return nullptr;
    CArticWrkEvnt* hit = nullptr;
    WalkNumbers(m_pEvntPosArray->GetSize() - 1, -1, true, notes, [&](CArticWrkEvnt* e) { return (hit = e) != nullptr; });
    return hit;
}

int CArticWrk::GetFirstEvntInEvntPosArray(int count, int notes, CArticWrkEvntList* list) const {
    return WalkList(0, +1, false, count, notes, list);
}

int CArticWrk::GetLastEvntInEvntPosArray(int count, int notes, CArticWrkEvntList* list) const {
    if (!m_pEvntPosArray) return 1;
    return WalkList(m_pEvntPosArray->GetSize() - 1, -1, false, count, notes, list);
}

CArticWrkEvnt* CArticWrk::FirstInBar(int dir, ULONG bar, int notes) const {
    if (!m_pEvntPosArray) return nullptr;
    CArticWrkEvnt* hit = nullptr;
    int64_t start = dir > 0 ? 0 : m_pEvntPosArray->GetSize() - 1;
    WalkNumbers(start, dir, true, notes, [&](CArticWrkEvnt* e) {
        ULONG meas = 0, beat = 0, tick = 0;
        e->GetMeas(&meas, &beat, &tick);
        if (meas == bar) {
            hit = e;
            return true;
        }
        return dir > 0 ? meas > bar : meas < bar;  // past the bar: stop
    });
    return hit;
}

CArticWrkEvnt* CArticWrk::GetFirstEvntInEvntPosArray(INT64 time, int notes) const {
    return FirstInBar(+1, BarOf(time), notes);
}

CArticWrkEvnt* CArticWrk::GetLastEvntInEvntPosArray(INT64 time, int notes) const {
    return FirstInBar(-1, BarOf(time), notes);
}

CArticWrkEvnt* CArticWrk::GetFirstEvntInEvntPosArray(const CArticWrkEvnt* evnt, int notes) const {
    if (!evnt) return nullptr;
    ULONG meas = 0, beat = 0, tick = 0;
    evnt->GetMeas(&meas, &beat, &tick);
    return FirstInBar(+1, meas, notes);
}

CArticWrkEvnt* CArticWrk::GetLastEvntInEvntPosArray(const CArticWrkEvnt* evnt, int notes) const {
    if (!evnt) return nullptr;
    ULONG meas = 0, beat = 0, tick = 0;
    evnt->GetMeas(&meas, &beat, &tick);
    return FirstInBar(-1, meas, notes);
}

CArticWrkEvnt* CArticWrk::FirstInWindow(int dir, INT64 time, INT64 margin, int notes) const {
    if (!m_pEvntPosArray) return nullptr;
    const ULONG bar = BarOf(time);
    INT64 start = 0, end = 0;
    GetEvntTime(bar, 1, 0, &start);
    GetEvntTime(bar + 1, 1, 0, &end);
    if (end > 0) end -= 1;
    if (start >= margin) start -= margin;
    if (end >= margin) end -= margin;
    CArticWrkEvnt* hit = nullptr;
    int64_t from = dir > 0 ? 0 : m_pEvntPosArray->GetSize() - 1;
    WalkNumbers(from, dir, true, notes, [&](CArticWrkEvnt* e) {
        const INT64 t = e->GetTime();
        if (t >= start && t <= end) {
            hit = e;
            return true;
        }
        return dir > 0 ? t > end : t < start;
    });
    return hit;
}

CArticWrkEvnt* CArticWrk::GetFirstEvntInEvntPosArray(INT64 time, INT64 margin, int notes) const {
    return FirstInWindow(+1, time, margin, notes);
}

CArticWrkEvnt* CArticWrk::GetLastEvntInEvntPosArray(INT64 time, INT64 margin, int notes) const {
    return FirstInWindow(-1, time, margin, notes);
}

int CArticWrk::GetSameMeasWrkEvntInEvntPosArray(ULONG meas, int notes, CArticWrkEvntList* list) const {
    if (!list) return 1;
    int appended = 0;
    WalkNumbers(0, +1, true, notes, [&](CArticWrkEvnt* e) {
        ULONG m = 0, b = 0, t = 0;
        e->GetMeas(&m, &b, &t);
        if (m > meas) return true;
        if (m == meas) {
            list->AddTail(e);
            ++appended;
        }
        return false;
    });
    return appended ? 0 : 1;
}

bool CArticWrk::NoteIndexReady() const {
    const uint64_t now = CArticWrkEdits::Now();
    if (m_NoteIndexAt == now) return true;
    // Edited since the last query: answer this one by walking, and index only
    // when the next query finds the data unchanged (the rule run asks many
    // times over one state; the expression phases edit between their queries).
    const bool still = m_NoteQueryAt == now;
    m_NoteQueryAt = now;
    if (!still || !m_pEvntPosArray) return false;
    BuildNoteIndex();
    m_NoteIndexAt = now;
    return true;
}

void CArticWrk::BuildNoteIndex() const {
    m_NoteTimes.clear();
    m_NumberedNotes.clear();
    m_NumberedNotesInTimeOrder = true;
    m_Bends.clear();
    m_BendsInTimeOrder = true;
    m_NumbersAgree = true;
    m_Ccs.assign(256, {});
    m_CcsInTimeOrder.assign(256, true);
    m_Resolved.assign(size_t(m_pEvntPosArray->GetSize()), nullptr);
    for (int i = 0; i < m_pEvntPosArray->GetSize(); ++i) {
        CArticWrkTrk* trk = nullptr;
        CArticWrkEvnt* e = Resolve(m_pEvntPosArray->GetAt(i), &trk);
        if (!e) continue;
        m_Resolved[size_t(i)] = e;
        if (e->GetEvntNo() != ULONG(i)) m_NumbersAgree = false;
        if (e->GetStatus() == 0xE0) {
            if (!m_Bends.empty() && e->GetTime() < m_Bends.back().second->GetTime()) m_BendsInTimeOrder = false;
            m_Bends.emplace_back(LONG(i), e);
        }
        if (e->GetStatus() == 0xB0) {
            auto& ccs = m_Ccs[e->GetPost1()];
            if (!ccs.empty() && e->GetTime() < ccs.back().second->GetTime()) m_CcsInTimeOrder[e->GetPost1()] = false;
            ccs.emplace_back(LONG(i), e);
        }
        if (trk->GetSelTrk() && wrkutil::IsNoteNibble(e)) m_NoteTimes.push_back({e->GetTime(), LONG(i)});
        if (!e->GetSelTrk() || e->GetStatus() != 0x90) continue;
        const INT64 end = e->GetTime() + e->GetGateTime();
        if (m_NumberedNotes.empty()) {
            m_NumberedNotes.push_back({LONG(i), e, e->GetTime(), end});
            continue;
        }
        const NumberedNote& last = m_NumberedNotes.back();
        if (e->GetTime() < last.time) m_NumberedNotesInTimeOrder = false;
        m_NumberedNotes.push_back({LONG(i), e, e->GetTime(), std::max(end, last.lastEnd)});
    }
    std::stable_sort(m_NoteTimes.begin(), m_NoteTimes.end(),
                     [](const NoteTime& a, const NoteTime& b) { return a.time < b.time; });
}

const std::vector<CArticWrk::NumberedNote>* CArticWrk::GetNotesInTimeOrder() const {
    return NoteIndexReady() && m_NumberedNotesInTimeOrder ? &m_NumberedNotes : nullptr;
}

bool CArticWrk::GetPrevNoteEnd(ULONG n, INT64 start, bool* found, INT64* lastEnd) const {
    if (!NoteIndexReady() || !m_NumberedNotesInTimeOrder) return false;
    const auto below = std::lower_bound(m_NumberedNotes.begin(), m_NumberedNotes.end(), n,
                                        [](const NumberedNote& x, ULONG no) { return ULONG(x.no) < no; });
    // Times rise along the numbers: those that start before `start` lead the list.
    const auto before = std::lower_bound(m_NumberedNotes.begin(), below, start,
                                         [](const NumberedNote& x, INT64 t) { return x.time < t; });
    *found = before != m_NumberedNotes.begin();
    if (*found) *lastEnd = std::prev(before)->lastEnd;
    return true;
}

bool CArticWrk::GetPrevBend(ULONG n, INT64 time, CArticWrkEvnt** bend) const {
    if (!NoteIndexReady() || !m_NumbersAgree || !m_BendsInTimeOrder) return false;
    const auto below = std::lower_bound(m_Bends.begin(), m_Bends.end(), n,
                                        [](const std::pair<LONG, CArticWrkEvnt*>& b, ULONG no) { return ULONG(b.first) < no; });
    // Times rise along the numbers: the bends at or before `time` lead the list.
    const auto after = std::upper_bound(m_Bends.begin(), below, time,
                                        [](INT64 t, const std::pair<LONG, CArticWrkEvnt*>& b) { return t < b.second->GetTime(); });
    *bend = after == m_Bends.begin() ? nullptr : std::prev(after)->second;
    return true;
}

bool CArticWrk::GetPrevCc(ULONG n, BYTE number, INT64 time, CArticWrkEvnt** cc) const {
    if (!NoteIndexReady() || !m_CcsInTimeOrder[number]) return false;
    const auto& ccs = m_Ccs[number];
    const auto below = std::lower_bound(ccs.begin(), ccs.end(), n,
                                        [](const std::pair<LONG, CArticWrkEvnt*>& c, ULONG no) { return ULONG(c.first) < no; });
    // Times rise along the slots: the changes before `time` lead the list.
    const auto from = std::lower_bound(ccs.begin(), below, time,
                                       [](const std::pair<LONG, CArticWrkEvnt*>& c, INT64 t) { return c.second->GetTime() < t; });
    *cc = from == ccs.begin() ? nullptr : std::prev(from)->second;
    return true;
}

template <class Add>
void CArticWrk::ForEachInArea(INT64 from, INT64 to, int notes, Add add) const {
    const auto inArea = [&](const CArticWrkEvnt* e) { return e->GetTime() >= from && e->GetTime() <= to; };
    if (!notes || !NoteIndexReady()) {
        WalkNumbers(0, +1, true, notes, [&](CArticWrkEvnt* e) {
            if (inArea(e)) add(e);
            return false;
        });
        return;
    }
    // The notes of the area in number order, as the walk over the numbers finds them.
    const auto first = std::lower_bound(m_NoteTimes.begin(), m_NoteTimes.end(), from,
                                        [](const NoteTime& n, INT64 t) { return n.time < t; });
    m_AreaHits.clear();
    for (auto it = first; it != m_NoteTimes.end() && it->time <= to; ++it) {
        CArticWrkEvnt* e = Visit(it->no, true, 1);
        if (e && inArea(e)) m_AreaHits.emplace_back(it->no, e);
    }
    std::sort(m_AreaHits.begin(), m_AreaHits.end());
    for (const auto& hit : m_AreaHits) add(hit.second);
}

int CArticWrk::GetAreaWrkEvntInEvntPosArray(INT64 from, INT64 to, int notes, CArticWrkEvntList* list) const {
    if (to < from || !list) return 1;
    ForEachInArea(from, to, notes, [list](CArticWrkEvnt* e) { list->AddTail(e); });
    return 0;
}

int CArticWrk::CollectAreaWrkEvnt(INT64 from, INT64 to, int notes, std::vector<CArticWrkEvnt*>* out) const {
    if (!out) return 1;
    out->clear();
    if (to < from) return 1;
    ForEachInArea(from, to, notes, [out](CArticWrkEvnt* e) { out->push_back(e); });
    return 0;
}

CArticWrkEvnt* CArticWrk::NextByTime(INT64 time, int notes, bool selectedOnly) const {
    if (!m_pEvntPosArray) return nullptr;
    for (int i = 0; i < m_pEvntPosArray->GetSize(); ++i) {
        const CArticPos* rec = m_pEvntPosArray->GetAt(i);
        CArticWrkEvnt* e = rec ? rec->GetWrkEvnt() : nullptr;
        if (!e) continue;
        if (selectedOnly) {
            CArticWrkBlk* blk = e->GetOwner();
            CArticWrkTrk* trk = blk ? blk->GetOwner() : nullptr;
            if (!trk || !trk->GetSelTrk()) continue;
        }
        if (notes && !wrkutil::IsNoteNibble(e)) continue;
        if (e->GetTime() > time) return e;
    }
    return nullptr;
}

int CArticWrk::GetNextTimeInEvntPosArray(ULONG time, int notes, CArticWrkEvnt** evnt) const {
    CArticWrkEvnt* e = NextByTime(INT64(time), notes, true);
    if (e && evnt) *evnt = e;
    return e ? 1 : 0;
}

CArticWrkEvnt* CArticWrk::GetNextTimeInEvntPosArray(INT64 time, int notes) const {
    return NextByTime(time, notes, true);
}

int CArticWrk::GetWrkNextTimeInEvntPosArray(ULONG time, int notes, CArticWrkEvnt** evnt) const {
    CArticWrkEvnt* e = NextByTime(INT64(time), notes, false);
    if (e && evnt) *evnt = e;
    return e ? 1 : 0;
}

CArticWrkEvnt* CArticWrk::GetWrkNextTimeInEvntPosArray(INT64 time, int notes) const {
    return NextByTime(time, notes, false);
}

CArticWrkEvnt* CArticWrk::GetWrkNextChordEvntInEvntPosArray(ULONG n, INT64 window) const {
    CArticWrkEvnt* note = GetEvntInEvntPosArray(n, 1);
    if (window <= 0 || !wrkutil::IsNoteNibble(note)) return nullptr;
    const INT64 start = note->GetTime(), end = start + note->GetGateTime();
    CArticWrkEvnt* hit = nullptr;
    WalkNumbers(int64_t(n) + 1, +1, true, 1, [&](CArticWrkEvnt* e) {
        const INT64 t = e->GetTime();
        if (t < start || t > end) return false;
        INT64 eEnd = t + e->GetGateTime();
        INT64 overlap = (eEnd < end ? eEnd : end) - t;
        if (overlap <= window) return false;
        hit = e;
        return true;
    });
    return hit;
}

CArticWrkEvnt* CArticWrk::GetWrkPrevChordEvntInEvntPosArray(ULONG n, INT64 window) const {
    CArticWrkEvnt* note = GetEvntInEvntPosArray(n, 1);
    if (window <= 0 || !wrkutil::IsNoteNibble(note)) return nullptr;
    const INT64 start = note->GetTime(), end = start + note->GetGateTime();
    CArticWrkEvnt* hit = nullptr;
    WalkNumbers(int64_t(n) - 1, -1, true, 1, [&](CArticWrkEvnt* e) {
        if (e->GetTime() > start) return false;
        INT64 eEnd = e->GetTime() + e->GetGateTime();
        INT64 overlap = eEnd >= start ? (eEnd < end ? eEnd : end) - start : 0;
        if (overlap <= window) return false;
        hit = e;
        return true;
    });
    return hit;
}

int CArticWrk::GetWrkPrevRestInEvntPosArray(ULONG n, INT64* rest) const {
    if (!m_pEvntPosArray || !rest) return 1;
    *rest = 0;
    CArticWrkEvnt* note = GetEvntInEvntPosArray(n, 1);
    if (!wrkutil::IsNoteNibble(note)) return 1;
    const INT64 t = note->GetTime();
    bool found = false, sounding = false;
    INT64 smallest = 0;
    WalkNumbers(int64_t(n) - 1, -1, true, 1, [&](CArticWrkEvnt* e) {
        if (e->GetTime() >= t) return false;
        INT64 gap = t - (e->GetTime() + e->GetGateTime());
        if (gap < 0) {
            sounding = true;
            return true;
        }
        if (!found || gap < smallest) smallest = gap;
        found = true;
        return false;
    });
    *rest = (sounding || !found) ? 0 : smallest;
    return 0;
}
