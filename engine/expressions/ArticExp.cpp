#include "engine/expressions/ArticExp.h"

#include <functional>
#include <new>

#include "services/ArticPasn.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtil.h"

VX_IMPLEMENT_CLASS(CArticExpBlk, CObject);
VX_IMPLEMENT_CLASS(CArticExpTrk, CObject);
VX_IMPLEMENT_CLASS(CArticExp, CObject);

namespace {

// The list navigation shared by the three levels.
template <class L, class E>
int TakeNext(const L* list, POSITION& pos, E** out, bool forward) {
    if (!list || !pos) return 0;
    E* e = forward ? list->GetNext(pos) : list->GetPrev(pos);
    if (out) *out = e;
    return 1;
}

template <class L>
POSITION PosAt(const L* list, int index) {
    return list ? list->FindIndex(index) : nullptr;
}

template <class L>
auto ElemAt(const L* list, POSITION pos) -> decltype(list->GetAt(pos)) {
    return list && pos ? list->GetAt(pos) : nullptr;
}

// The element at pos, pos moved on (none at the end).
template <class L>
auto StepFrom(const L* list, POSITION& pos, bool forward) -> decltype(list->GetAt(pos)) {
    if (!list || !pos) return nullptr;
    return forward ? list->GetNext(pos) : list->GetPrev(pos);
}

// Where an insertion puts an element, which learns its place with setPos.
enum class Place { kHead, kTail, kAfter, kBefore };

template <class L, class E, class SetPos>
POSITION PlaceIn(L* list, E* elem, Place where, POSITION at, SetPos setPos) {
    if (!elem || !list) return nullptr;
    POSITION pos = nullptr;
    switch (where) {
        case Place::kHead: pos = list->AddHead(elem); break;
        case Place::kTail: pos = list->AddTail(elem); break;
        case Place::kAfter: pos = list->InsertAfter(at, elem); break;
        case Place::kBefore: pos = list->InsertBefore(at, elem); break;
    }
    std::invoke(setPos, elem, pos);
    return pos;
}

template <class L, class E>
POSITION FindIn(const L* list, E* elem) {
    return list ? list->Find(elem) : nullptr;
}

// Takes elem's entry out of list, searching from start; found(elem) runs
// first when there is one.
template <class L, class E, class Found>
void RemoveFrom(L* list, E* elem, POSITION start, Found found) {
    if (!list || !elem) return;
    POSITION p = start && list->GetAt(start) == elem ? start : list->Find(elem, start);
    if (!p) return;
    found(elem);
    list->RemoveAt(p);
}

template <class L, class E>
void RemoveFrom(L* list, E* elem, POSITION start) {
    RemoveFrom(list, elem, start, [](E*) {});
}

// Takes the entry at pos out of list and clears pos; found(element) runs
// first.
template <class L, class Found>
void RemoveAtPos(L* list, POSITION& pos, Found found) {
    if (!list || !pos) return;
    found(list->GetAt(pos));
    list->RemoveAt(pos);
    pos = nullptr;
}

template <class L>
void RemoveAtPos(L* list, POSITION& pos) {
    RemoveAtPos(list, pos, [](auto*) {});
}

template <class E>
int Deliver(E* found, E** out) {
    if (found && out) *out = found;
    return found ? 1 : 0;
}

// Whether pos is a position of list (records may outlive what they placed).
template <class L>
bool Holds(const L* list, POSITION pos) {
    if (!list || !pos) return false;
    for (POSITION p = list->GetHeadPosition(); p; list->GetNext(p))
        if (p == pos) return true;
    return false;
}

const char* const kRegisterTitle = "中間表現ﾃﾞｰﾀ・ｲﾍﾞﾝﾄのﾎﾟｼﾞｼｮﾝ配列登録でｴﾗｰが発生した。";
const char* const kRegisterMethod = "CArticExpｸﾗｽのSetEvntPosﾒｿｯﾄﾞを参照して下さい。";
const char* const kTakenNumber = "ｲﾍﾞﾝﾄを多重に登録しようとしています。";
const char* const kNumberTooLarge = "ｲﾍﾞﾝﾄ番号が上限を超えています。";
const char* const kSortTitle = "中間表現ﾃﾞｰﾀのSort中にｴﾗｰが発生しました。";
const char* const kSortContent = "ｿｰﾄ条件ﾌｧｲﾙに存在しない表現ｸﾗｽがありました。";
const char* const kSortMethod = "CArticExpBlkｸﾗｽのSortExpﾒｿｯﾄﾞを参照して下さい。";

CString NumberDetail(ULONG n) {
    CString detail;
    detail.Format("ｲﾍﾞﾝﾄ番号 = %u", unsigned(n));
    return detail;
}

}  // namespace

// ================================================================ Block

CArticExpBlk::CArticExpBlk(CArticExpTrk* owner, ULONG blkNo)
    : m_pOwner(owner), m_BlkNo(blkNo), m_pEvntList(new CArticExpEvntList(10)), m_pEvntStrList(new CStringList(10)) {}

CArticExpBlk::~CArticExpBlk() {
    DeleteEvntList();
    DeleteEvntStrList();
}

CArticExpBlk& CArticExpBlk::operator=(const CArticExpBlk& src) {
    if (this == &src) return *this;
    m_BlkName = src.m_BlkName;
    Clear();
    CopyEvntList(src.m_pEvntList);
    CopyEvntStrList(src.m_pEvntStrList);
    return *this;
}

void CArticExpBlk::ClearEvntStrList() {
    if (m_pEvntStrList) m_pEvntStrList->RemoveAll();
}

int CArticExpBlk::GetStrList(CStringList& list) {
    CString line;
    line.Format("BLK:%u", unsigned(m_BlkNo));
    list.AddTail(line);
    if (!m_pEvntList) return 1;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) {
        CArticExpEvnt* e = m_pEvntList->GetNext(p);
        if (!e) continue;
        if (int rc = e->GetStrList(list)) return rc;
    }
    return 0;
}

int CArticExpBlk::OutStrList(int& counter, CStringList& list) {
    CString line;
    line.Format("BLK:%u", unsigned(m_BlkNo));
    list.AddTail(line);
    if (!m_pEvntStrList) return 1;
    for (POSITION p = m_pEvntStrList->GetHeadPosition(); p;) {
        const CString& text = m_pEvntStrList->GetNext(p);
        if (text.IsEmpty()) continue;
        line.Format("e%d:", counter++);
        list.AddTail(line + text);
    }
    return 0;
}

int CArticExpBlk::GetCount() const { return m_pEvntList ? m_pEvntList->GetCount() : 0; }
POSITION CArticExpBlk::GetHeadPos() const { return m_pEvntList ? m_pEvntList->GetHeadPosition() : nullptr; }
POSITION CArticExpBlk::GetTailPos() const { return m_pEvntList ? m_pEvntList->GetTailPosition() : nullptr; }
POSITION CArticExpBlk::GetPos(int index) const { return PosAt(m_pEvntList, index); }
int CArticExpBlk::GetNext(POSITION& pos, CArticExpEvnt** evnt) const { return TakeNext(m_pEvntList, pos, evnt, true); }
int CArticExpBlk::GetPrev(POSITION& pos, CArticExpEvnt** evnt) const { return TakeNext(m_pEvntList, pos, evnt, false); }

CArticExpEvnt* CArticExpBlk::GetNext(POSITION& pos) const { return StepFrom(m_pEvntList, pos, true); }

CArticExpEvnt* CArticExpBlk::GetPrev(POSITION& pos) const { return StepFrom(m_pEvntList, pos, false); }

int CArticExpBlk::Get(POSITION pos, CArticExpEvnt** evnt) const { return Deliver(Get(pos), evnt); }
int CArticExpBlk::Get(int index, CArticExpEvnt** evnt) const { return Deliver(Get(index), evnt); }
CArticExpEvnt* CArticExpBlk::Get(POSITION pos) const { return ElemAt(m_pEvntList, pos); }
CArticExpEvnt* CArticExpBlk::Get(int index) const { return ElemAt(m_pEvntList, GetPos(index)); }

POSITION CArticExpBlk::Placed(CArticExpEvnt* evnt, POSITION pos) {
    evnt->SetOwner(this);
    evnt->SetPosEvnt(pos);
    SetEvntPos(evnt);  // a refused registration is reported by the tree
    return pos;
}

POSITION CArticExpBlk::AddHead(CArticExpEvnt* evnt) {
    return PlaceIn(m_pEvntList, evnt, Place::kHead, nullptr, [this](CArticExpEvnt* e, POSITION p) { Placed(e, p); });
}

POSITION CArticExpBlk::AddTail(CArticExpEvnt* evnt) {
    return PlaceIn(m_pEvntList, evnt, Place::kTail, nullptr, [this](CArticExpEvnt* e, POSITION p) { Placed(e, p); });
}

POSITION CArticExpBlk::InsertAfter(POSITION& pos, CArticExpEvnt* evnt) {
    return PlaceIn(m_pEvntList, evnt, Place::kAfter, pos, [this](CArticExpEvnt* e, POSITION p) { Placed(e, p); });
}

POSITION CArticExpBlk::InsertBefore(POSITION& pos, CArticExpEvnt* evnt) {
    return PlaceIn(m_pEvntList, evnt, Place::kBefore, pos, [this](CArticExpEvnt* e, POSITION p) { Placed(e, p); });
}

POSITION CArticExpBlk::Find(CArticExpEvnt* evnt) const { return FindIn(m_pEvntList, evnt); }

void CArticExpBlk::Unregister(CArticExpEvnt* evnt) {
    if (CArticExp* exp = GetExp()) exp->DeleteEvntPos(evnt);
}

void CArticExpBlk::Remove(CArticExpEvnt* evnt, POSITION start) {
    RemoveFrom(m_pEvntList, evnt, start, [this](CArticExpEvnt* e) { Unregister(e); });
}

void CArticExpBlk::Remove(POSITION& pos) {
    RemoveAtPos(m_pEvntList, pos, [this](CArticExpEvnt* e) { Unregister(e); });
}

void CArticExpBlk::RemoveAll() {
    CArticExpEvntList taken(10);
    TakeAll(taken);
}

void CArticExpBlk::TakeAll(CArticExpEvntList& out) {
    if (!m_pEvntList) return;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) {
        CArticExpEvnt* e = m_pEvntList->GetNext(p);
        if (e && e->GetOwner() == this) Unregister(e);
        out.AddTail(e);
    }
    m_pEvntList->RemoveAll();
}

int CArticExpBlk::GetEvntList(CArticExpEvntList** list) const { return Deliver(m_pEvntList, list); }
int CArticExpBlk::GetEvntStrList(CStringList** list) const { return Deliver(m_pEvntStrList, list); }
int CArticExpBlk::GetOwner(CArticExpTrk** trk) const { return Deliver(m_pOwner, trk); }

int CArticExpBlk::GetExp(CArticExp** exp) const { return Deliver(GetExp(), exp); }
CArticExp* CArticExpBlk::GetExp() const { return m_pOwner ? m_pOwner->GetOwner() : nullptr; }

int CArticExpBlk::GetBlkName(CString* name) const {
    if (name) *name = m_BlkName;
    return 1;
}

int CArticExpBlk::SetEvntPos(CArticExpEvnt* evnt) {
    CArticExp* exp = GetExp();
    return exp ? exp->SetEvntPos(evnt) : 1;
}

void CArticExpBlk::Clear() {
    ClearEvntList();
    ClearEvntStrList();
}

int CArticExpBlk::GetWrkBlk(CArticWrkBlk** blk) const { return Deliver(m_pWrkBlk, blk); }

void CArticExpBlk::ClearEvntList() {
    CArticExpEvntList taken(10);
    TakeAll(taken);
    DropOwned(taken);
}

void CArticExpBlk::DropOwned(CArticExpEvntList& list) {
    // References the block only borrowed (the runner's flattened tree) stay
    // with their own blocks.
    for (POSITION p = list.GetHeadPosition(); p;) {
        CArticExpEvnt* e = list.GetNext(p);
        if (e && e->GetOwner() == this) delete e;
    }
    list.RemoveAll();
}

void CArticExpBlk::CopyEvntList(const CArticExpEvntList* list) {
    if (!list || !GetExp()) return;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticExpEvnt* src = list->GetNext(p);
        if (!src) continue;
        CArticExpEvnt* clone = nullptr;
        if (CArticExpUtil::CopyEvnt(src, &clone, this, src->GetEvntNo(), nullptr) == 0 && clone) AddTail(clone);
    }
}

void CArticExpBlk::DeleteEvntList() {
    ClearEvntList();
    delete m_pEvntList;
    m_pEvntList = nullptr;
}

void CArticExpBlk::CopyEvntStrList(const CStringList* list) {
    if (!list || !m_pEvntStrList) return;
    for (POSITION p = list->GetHeadPosition(); p;) {
        const CString& text = list->GetNext(p);
        if (!text.IsEmpty()) m_pEvntStrList->AddTail(text);
    }
}

void CArticExpBlk::DeleteEvntStrList() {
    delete m_pEvntStrList;
    m_pEvntStrList = nullptr;
}

// ---- Conversion

int CArticExpBlk::RunPhase(PhaseFn phase, bool storeError) {
    if (!m_pEvntList) return 0;
    int result = 0;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) {
        CArticExpEvnt* e = m_pEvntList->GetNext(p);
        if (!e) continue;
        CArticWrkUtil::SetExpEvnt(e);
        const int rc = (e->*phase)();
        if (storeError && rc != 0) e->SetError(rc);
        CArticWrkUtil::SetExpEvnt(nullptr);
        if (rc != 0) result = rc;
    }
    return result;
}

int CArticExpBlk::ConvToWrk() { return RunPhase(&CArticExpEvnt::ConvToWrk, true); }
int CArticExpBlk::ConvToWrkCombine() { return RunPhase(&CArticExpEvnt::ConvToWrkCombine, true); }
int CArticExpBlk::ConvToWrk2() { return RunPhase(&CArticExpEvnt::ConvToWrk2, false); }
int CArticExpBlk::ConvToWrk3() { return RunPhase(&CArticExpEvnt::ConvToWrk3, false); }

int CArticExpBlk::PasnExp(CArticPasn* pasn) {
    if (!m_pWrkBlk || !pasn) return 1;
    auto* data = new (std::nothrow) CArticPasnData(pasn);
    if (!data) return 1;
    if (!data->AddTail(m_pWrkBlk) || !pasn->AddTail(data)) {
        // Unregistered, the record would belong to nobody.
        delete data;
        return 1;
    }
    if (!m_pEvntList) return 0;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;)
        if (CArticExpEvnt* e = m_pEvntList->GetNext(p)) e->SetPasnData(data);
    return 0;
}

int CArticExpBlk::CopyExp(CArticExpBlk* target) {
    if (!target || !m_pEvntList || !target->m_pEvntList || target == this) return 1;
    // Plain references: the expressions keep their owner and positions.
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) target->m_pEvntList->AddTail(m_pEvntList->GetNext(p));
    return 0;
}

void CArticExpBlk::AppendClone(CArticExpEvnt* evnt, CArticWrk* wrk) {
    CArticExpEvnt* clone = nullptr;
    if (CArticExpUtil::CopyEvnt(evnt, &clone, this, evnt->GetEvntNo(), wrk) == 0 && clone) AddTail(clone);
}

int CArticExpBlk::ReLinkExp(CArticWrk* wrk) {
    if (!wrk) return 1;
    CArticExpEvntList taken(10);
    TakeAll(taken);
    for (POSITION p = taken.GetHeadPosition(); p;)
        if (CArticExpEvnt* e = taken.GetNext(p)) AppendClone(e, wrk);
    DropOwned(taken);
    return 0;
}

int CArticExpBlk::SortExp(const CStringList& order, CArticWrk* wrk) {
    if (!wrk) return 1;
    if (GetCount() == 0) return 0;
    CArticExpEvntList taken(10);
    TakeAll(taken);
    CArticExpEvntList done(10);
    for (POSITION o = order.GetHeadPosition(); o;) {
        const CString& name = order.GetNext(o);
        for (POSITION p = taken.GetHeadPosition(); p;) {
            POSITION at = p;
            CArticExpEvnt* e = taken.GetNext(p);
            if (!e || name != e->GetClassNameA()) continue;
            AppendClone(e, wrk);
            taken.RemoveAt(at);
            done.AddTail(e);
        }
    }
    for (POSITION p = taken.GetHeadPosition(); p;) {
        CArticExpEvnt* e = taken.GetNext(p);
        if (!e) continue;
        e->DispErrMsg(kSortTitle, kSortContent, kSortMethod, NumberDetail(e->GetEvntNo()));
        e->SetErrKind(0);
        AppendClone(e, wrk);
    }
    DropOwned(done);
    DropOwned(taken);
    return 0;
}

int CArticExpBlk::SortExp(const CStringList& order) {
    CArticExpEvntList taken(10);
    TakeAll(taken);
    for (POSITION o = order.GetHeadPosition(); o;) {
        const CString& name = order.GetNext(o);
        for (POSITION p = taken.GetHeadPosition(); p;) {
            POSITION at = p;
            CArticExpEvnt* e = taken.GetNext(p);
            if (!e || name != e->GetClassNameA()) continue;
            taken.RemoveAt(at);
            AddTail(e);
        }
    }
    for (POSITION p = taken.GetHeadPosition(); p;) {
        CArticExpEvnt* e = taken.GetNext(p);
        if (!e) continue;
        e->DispErrMsg(kSortTitle, kSortContent, kSortMethod, NumberDetail(e->GetEvntNo()));
        e->SetErrKind(0);
        AddTail(e);
    }
    return 0;
}

// ================================================================ Track

CArticExpTrk::CArticExpTrk(CArticExp* owner, ULONG trkNo, ULONG ch, ULONG port)
    : m_pOwner(owner), m_TrkNo(trkNo), m_Ch(ch), m_Port(port), m_pBlkList(new CArticExpBlkList(10)) {}

CArticExpTrk::~CArticExpTrk() { DeleteBlkList(); }

CArticExpTrk& CArticExpTrk::operator=(const CArticExpTrk& src) {
    if (this == &src) return *this;
    m_TrkName = src.m_TrkName;
    m_Ch = src.m_Ch;
    m_Port = src.m_Port;
    m_pWrkTrk = src.m_pWrkTrk;
    Clear();
    CopyBlkList(src.m_pBlkList);
    return *this;
}

template <class F>
int CArticExpTrk::EachBlk(F f) const {
    if (!m_pBlkList) return 1;
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;)
        if (CArticExpBlk* blk = m_pBlkList->GetNext(p))
            if (!f(blk)) break;
    return 0;
}

void CArticExpTrk::ClearEvntStrList() {
    EachBlk([](CArticExpBlk* blk) {
        blk->ClearEvntStrList();
        return true;
    });
}

namespace {

CString TrackLine(ULONG trkNo, ULONG ch, ULONG port) {
    CString line;
    line.Format("TRK:%u", unsigned(trkNo));
    if (ch != ULONG(-1) && ch != ULONG(-2)) line.AppendFormat(", ch%u", unsigned(ch + 1));
    if (port != ULONG(-1)) line.AppendFormat(", port%u", unsigned(port));
    return line;
}

}  // namespace

int CArticExpTrk::GetStrList(CStringList& list) {
    list.AddTail(TrackLine(m_TrkNo, m_Ch, m_Port));
    int rc = 0;
    if (EachBlk([&](CArticExpBlk* blk) { return (rc = blk->GetStrList(list)) == 0; })) return 1;
    return rc;
}

int CArticExpTrk::OutStrList(int& counter, CStringList& list) {
    list.AddTail(TrackLine(m_TrkNo, m_Ch, m_Port));
    int rc = 0;
    if (EachBlk([&](CArticExpBlk* blk) { return (rc = blk->OutStrList(counter, list)) == 0; })) return 1;
    return rc;
}

int CArticExpTrk::GetCount() const { return m_pBlkList ? m_pBlkList->GetCount() : 0; }
POSITION CArticExpTrk::GetHeadPos() const { return m_pBlkList ? m_pBlkList->GetHeadPosition() : nullptr; }
POSITION CArticExpTrk::GetTailPos() const { return m_pBlkList ? m_pBlkList->GetTailPosition() : nullptr; }
POSITION CArticExpTrk::GetPos(int index) const { return PosAt(m_pBlkList, index); }
int CArticExpTrk::GetNext(POSITION& pos, CArticExpBlk** blk) const { return TakeNext(m_pBlkList, pos, blk, true); }
int CArticExpTrk::GetPrev(POSITION& pos, CArticExpBlk** blk) const { return TakeNext(m_pBlkList, pos, blk, false); }

CArticExpBlk* CArticExpTrk::GetNext(POSITION& pos) const { return StepFrom(m_pBlkList, pos, true); }

CArticExpBlk* CArticExpTrk::GetPrev(POSITION& pos) const { return StepFrom(m_pBlkList, pos, false); }

int CArticExpTrk::Get(ULONG blkNo, CArticExpBlk** blk) const { return Deliver(Get(blkNo), blk); }
int CArticExpTrk::Get(int index, CArticExpBlk** blk) const { return Deliver(Get(index), blk); }
int CArticExpTrk::Get(POSITION pos, CArticExpBlk** blk) const { return Deliver(Get(pos), blk); }

CArticExpBlk* CArticExpTrk::Get(ULONG blkNo) const {
    CArticExpBlk* found = nullptr;
    EachBlk([&](CArticExpBlk* blk) {
        if (blk->GetBlkNo() == blkNo) found = blk;
        return !found;
    });
    return found;
}

CArticExpBlk* CArticExpTrk::Get(int index) const { return ElemAt(m_pBlkList, GetPos(index)); }
CArticExpBlk* CArticExpTrk::Get(POSITION pos) const { return ElemAt(m_pBlkList, pos); }

POSITION CArticExpTrk::AddHead(CArticExpBlk* blk) {
    return PlaceIn(m_pBlkList, blk, Place::kHead, nullptr, &CArticExpBlk::SetPosBlk);
}

POSITION CArticExpTrk::AddTail(CArticExpBlk* blk) {
    return PlaceIn(m_pBlkList, blk, Place::kTail, nullptr, &CArticExpBlk::SetPosBlk);
}

POSITION CArticExpTrk::InsertAfter(POSITION& pos, CArticExpBlk* blk) {
    return PlaceIn(m_pBlkList, blk, Place::kAfter, pos, &CArticExpBlk::SetPosBlk);
}

POSITION CArticExpTrk::InsertBefore(POSITION& pos, CArticExpBlk* blk) {
    return PlaceIn(m_pBlkList, blk, Place::kBefore, pos, &CArticExpBlk::SetPosBlk);
}

POSITION CArticExpTrk::Find(CArticExpBlk* blk) const { return FindIn(m_pBlkList, blk); }

void CArticExpTrk::Remove(CArticExpBlk* blk, POSITION start) { RemoveFrom(m_pBlkList, blk, start); }

void CArticExpTrk::Remove(POSITION& pos) { RemoveAtPos(m_pBlkList, pos); }

void CArticExpTrk::RemoveAll() {
    if (m_pBlkList) m_pBlkList->RemoveAll();
}

int CArticExpTrk::GetBlkList(CArticExpBlkList** list) const { return Deliver(m_pBlkList, list); }
int CArticExpTrk::GetOwner(CArticExp** exp) const { return Deliver(m_pOwner, exp); }

int CArticExpTrk::GetTrkName(CString* name) const {
    if (name) *name = m_TrkName;
    return 1;
}

int CArticExpTrk::GetEvntNum() const {
    int n = 0;
    EachBlk([&](CArticExpBlk* blk) {
        n += blk->GetEvntNum();
        return true;
    });
    return n;
}

int CArticExpTrk::GetWrkTrk(CArticWrkTrk** trk) const { return Deliver(m_pWrkTrk, trk); }

void CArticExpTrk::ClearBlkList() {
    if (!m_pBlkList) return;
    // Each block unregisters its expressions while the list still places it.
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) delete m_pBlkList->GetNext(p);
    m_pBlkList->RemoveAll();
}

void CArticExpTrk::CopyBlkList(const CArticExpBlkList* list) {
    if (!list || !m_pBlkList) return;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticExpBlk* src = list->GetNext(p);
        if (!src) continue;
        auto* blk = new CArticExpBlk(this, src->GetBlkNo());
        AddTail(blk);
        *blk = *src;
    }
}

void CArticExpTrk::DeleteBlkList() {
    ClearBlkList();
    delete m_pBlkList;
    m_pBlkList = nullptr;
}

namespace {

// Runs the same step on every child and keeps the last non-zero result.
template <class Each, class Step>
int LastFailure(Each each, Step step) {
    int result = 0;
    each([&](auto* child) {
        if (int rc = step(child)) result = rc;
        return true;
    });
    return result;
}

}  // namespace

int CArticExpTrk::ConvToWrk() {
    return LastFailure([&](auto f) { EachBlk(f); }, [](CArticExpBlk* b) { return b->ConvToWrk(); });
}
int CArticExpTrk::ConvToWrkCombine() {
    return LastFailure([&](auto f) { EachBlk(f); }, [](CArticExpBlk* b) { return b->ConvToWrkCombine(); });
}
int CArticExpTrk::ConvToWrk2() {
    return LastFailure([&](auto f) { EachBlk(f); }, [](CArticExpBlk* b) { return b->ConvToWrk2(); });
}
int CArticExpTrk::ConvToWrk3() {
    return LastFailure([&](auto f) { EachBlk(f); }, [](CArticExpBlk* b) { return b->ConvToWrk3(); });
}

int CArticExpTrk::PasnExp(CArticPasn* pasn) {
    return EachBlk([&](CArticExpBlk* blk) {
        blk->PasnExp(pasn);
        return true;
    });
}

int CArticExpTrk::CopyExp(CArticExpBlk* target) {
    return EachBlk([&](CArticExpBlk* blk) {
        blk->CopyExp(target);
        return true;
    });
}

int CArticExpTrk::SortExp(const CStringList& order) {
    return EachBlk([&](CArticExpBlk* blk) {
        blk->SortExp(order);
        return true;
    });
}

// ================================================================ Tree

CArticExp::CArticExp() : m_pTrkList(new CArticExpTrkList(10)), m_pEvntPosArray(new CArticPosArray()) {
    m_pEvntPosArray->SetSize(2);
}

CArticExp::~CArticExp() {
    DeleteTrkList();
    DeleteEvntPosArray();
}

CArticExp& CArticExp::operator=(const CArticExp& src) {
    if (this == &src) return *this;
    Clear();
    CopyTrkList(src.m_pTrkList);
    return *this;
}

template <class F>
int CArticExp::EachTrk(F f) const {
    if (!m_pTrkList) return 1;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;)
        if (CArticExpTrk* trk = m_pTrkList->GetNext(p))
            if (!f(trk)) break;
    return 0;
}

void CArticExp::ClearEvntStrList() {
    EachTrk([](CArticExpTrk* trk) {
        trk->ClearEvntStrList();
        return true;
    });
}

int CArticExp::GetStrList(CStringList& list) {
    int rc = 0;
    if (EachTrk([&](CArticExpTrk* trk) { return (rc = trk->GetStrList(list)) == 0; })) return 1;
    return rc;
}

int CArticExp::OutStrList(CStringList& list) {
    int counter = 0;
    int rc = 0;
    if (EachTrk([&](CArticExpTrk* trk) { return (rc = trk->OutStrList(counter, list)) == 0; })) return 1;
    return rc;
}

int CArticExp::GetCount() const { return m_pTrkList ? m_pTrkList->GetCount() : 0; }
POSITION CArticExp::GetHeadPos() const { return m_pTrkList ? m_pTrkList->GetHeadPosition() : nullptr; }
POSITION CArticExp::GetTailPos() const { return m_pTrkList ? m_pTrkList->GetTailPosition() : nullptr; }
POSITION CArticExp::GetPos(int index) const { return PosAt(m_pTrkList, index); }
int CArticExp::GetNext(POSITION& pos, CArticExpTrk** trk) const { return TakeNext(m_pTrkList, pos, trk, true); }
int CArticExp::GetPrev(POSITION& pos, CArticExpTrk** trk) const { return TakeNext(m_pTrkList, pos, trk, false); }

CArticExpTrk* CArticExp::GetNext(POSITION& pos) const { return StepFrom(m_pTrkList, pos, true); }

CArticExpTrk* CArticExp::GetPrev(POSITION& pos) const { return StepFrom(m_pTrkList, pos, false); }

int CArticExp::Get(ULONG trkNo, CArticExpTrk** trk) const { return Deliver(Get(trkNo), trk); }
int CArticExp::Get(int index, CArticExpTrk** trk) const { return Deliver(Get(index), trk); }
int CArticExp::Get(POSITION pos, CArticExpTrk** trk) const { return Deliver(Get(pos), trk); }

CArticExpTrk* CArticExp::Get(ULONG trkNo) const {
    CArticExpTrk* found = nullptr;
    EachTrk([&](CArticExpTrk* trk) {
        if (trk->GetTrkNo() == trkNo) found = trk;
        return !found;
    });
    return found;
}

CArticExpTrk* CArticExp::Get(int index) const { return ElemAt(m_pTrkList, GetPos(index)); }
CArticExpTrk* CArticExp::Get(POSITION pos) const { return ElemAt(m_pTrkList, pos); }

ULONG CArticExp::GetTrkNo(int index) const {
    CArticExpTrk* trk = Get(index);
    return trk ? trk->GetTrkNo() : 0;
}

ULONG CArticExp::GetBlkNo(int trkIndex, int blkIndex) const {
    CArticExpTrk* trk = Get(trkIndex);
    CArticExpBlk* blk = trk ? trk->Get(blkIndex) : nullptr;
    return blk ? blk->GetBlkNo() : 0;
}

POSITION CArticExp::AddHead(CArticExpTrk* trk) {
    return PlaceIn(m_pTrkList, trk, Place::kHead, nullptr, &CArticExpTrk::SetPosTrk);
}

POSITION CArticExp::AddTail(CArticExpTrk* trk) {
    return PlaceIn(m_pTrkList, trk, Place::kTail, nullptr, &CArticExpTrk::SetPosTrk);
}

POSITION CArticExp::InsertAfter(POSITION& pos, CArticExpTrk* trk) {
    return PlaceIn(m_pTrkList, trk, Place::kAfter, pos, &CArticExpTrk::SetPosTrk);
}

POSITION CArticExp::InsertBefore(POSITION& pos, CArticExpTrk* trk) {
    return PlaceIn(m_pTrkList, trk, Place::kBefore, pos, &CArticExpTrk::SetPosTrk);
}

POSITION CArticExp::Find(CArticExpTrk* trk) const { return FindIn(m_pTrkList, trk); }

void CArticExp::Remove(CArticExpTrk* trk, POSITION start) { RemoveFrom(m_pTrkList, trk, start); }

void CArticExp::Remove(POSITION& pos) { RemoveAtPos(m_pTrkList, pos); }

void CArticExp::RemoveAll() {
    if (m_pTrkList) m_pTrkList->RemoveAll();
}

int CArticExp::GetTrkList(CArticExpTrkList** list) const { return Deliver(m_pTrkList, list); }

CArticExpBlk* CArticExp::GetExpBlk(ULONG trkNo, ULONG blkNo) const {
    CArticExpTrk* trk = Get(trkNo);
    return trk ? trk->Get(blkNo) : nullptr;
}

void CArticExp::Clear() {
    ClearTrkList();
    ClearEvntPosArray();
}

ULONG CArticExp::GetEvntNum() {
    ULONG n = 0;
    EachTrk([&](CArticExpTrk* trk) {
        n += ULONG(trk->GetEvntNum());
        return true;
    });
    m_EvntNum = n;
    return n;
}

// ---- Event-position array

int CArticExp::GetEvntPosArray(CArticPosArray** array) const { return Deliver(m_pEvntPosArray, array); }

int CArticExp::RefuseEvntPos(CArticExpEvnt* evnt, const char* content) {
    evnt->DispErrMsg(kRegisterTitle, content, kRegisterMethod, NumberDetail(evnt->GetEvntNo()));
    return 1;
}

int CArticExp::SetEvntPos(CArticExpEvnt* evnt) {
    if (!m_pEvntPosArray || !evnt) return 1;
    const ULONG n = evnt->GetEvntNo();
    // The numbers share the work data's cap: a dump cannot make the array huge.
    if (n > kMaxEvntNo) return RefuseEvntPos(evnt, kNumberTooLarge);
    POSITION trk = nullptr, blk = nullptr, pos = nullptr;
    evnt->GetPos(&trk, &blk, &pos);
    const int size = m_pEvntPosArray->GetSize();
    if (int(n) + 1 > size) m_pEvntPosArray->SetSize(size + ((int(n) - size) & ~1) + 2);
    if (m_pEvntPosArray->GetAt(int(n))) return RefuseEvntPos(evnt, kTakenNumber);
    m_pEvntPosArray->SetAt(int(n), new CArticPos(trk, blk, pos));
    return 0;
}

int CArticExp::GetEvntPos(CArticExpEvnt* evnt, CArticPos** pos) const {
    if (!m_pEvntPosArray || !evnt) return 1;
    const ULONG n = evnt->GetEvntNo();
    CArticPos* rec = n <= kMaxEvntNo ? m_pEvntPosArray->GetAt(int(n)) : nullptr;
    if (!rec) return 1;
    if (pos) *pos = rec;
    return 0;
}

int CArticExp::DeleteEvntPos(CArticExpEvnt* evnt) {
    if (!m_pEvntPosArray || !evnt) return 1;
    const ULONG n = evnt->GetEvntNo();
    CArticPos* rec = n <= kMaxEvntNo ? m_pEvntPosArray->GetAt(int(n)) : nullptr;
    if (!rec) return 1;
    // The entry of another expression with the same number is not this one's to delete.
    POSITION trk = nullptr, blk = nullptr, pos = nullptr;
    evnt->GetPos(&trk, &blk, &pos);
    if (rec->GetTrk() != trk || rec->GetBlk() != blk || rec->GetEvnt() != pos) return 1;
    m_pEvntPosArray->SetAt(int(n), nullptr);
    delete rec;
    return 0;
}

int CArticExp::GetEvntInEvntPosArray(ULONG no, CArticExpEvnt** evnt) const {
    return Deliver(GetEvntInEvntPosArray(no), evnt);
}

CArticExpEvnt* CArticExp::GetEvntInEvntPosArray(ULONG no) const {
    const CArticPos* rec = m_pEvntPosArray && no <= kMaxEvntNo ? m_pEvntPosArray->GetAt(int(no)) : nullptr;
    if (!rec || !Holds(m_pTrkList, rec->GetTrk())) return nullptr;
    CArticExpTrk* trk = m_pTrkList->GetAt(rec->GetTrk());
    if (!trk || !Holds(trk->GetBlkList(), rec->GetBlk())) return nullptr;
    CArticExpBlk* blk = trk->GetBlkList()->GetAt(rec->GetBlk());
    if (!blk || !Holds(blk->GetEvntList(), rec->GetEvnt())) return nullptr;
    return blk->GetEvntList()->GetAt(rec->GetEvnt());
}

void CArticExp::ClearTrkList() {
    if (!m_pTrkList) return;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) delete m_pTrkList->GetNext(p);
    m_pTrkList->RemoveAll();
    m_EvntNum = 0;
}

void CArticExp::CopyTrkList(const CArticExpTrkList* list) {
    if (!list || !m_pTrkList) return;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticExpTrk* src = list->GetNext(p);
        if (!src) continue;
        auto* trk = new CArticExpTrk(this, src->GetTrkNo(), src->GetCh(), src->GetPort());
        AddTail(trk);
        *trk = *src;
    }
}

void CArticExp::DeleteTrkList() {
    ClearTrkList();
    delete m_pTrkList;
    m_pTrkList = nullptr;
}

void CArticExp::ClearEvntPosArray() {
    if (!m_pEvntPosArray) return;
    for (int i = 0; i < m_pEvntPosArray->GetSize(); ++i) delete m_pEvntPosArray->GetAt(i);
    m_pEvntPosArray->RemoveAll();
}

void CArticExp::DeleteEvntPosArray() {
    ClearEvntPosArray();
    delete m_pEvntPosArray;
    m_pEvntPosArray = nullptr;
}

int CArticExp::ConvToWrk() {
    return LastFailure([&](auto f) { EachTrk(f); }, [](CArticExpTrk* t) { return t->ConvToWrk(); });
}
int CArticExp::ConvToWrkCombine() {
    return LastFailure([&](auto f) { EachTrk(f); }, [](CArticExpTrk* t) { return t->ConvToWrkCombine(); });
}
int CArticExp::ConvToWrk2() {
    return LastFailure([&](auto f) { EachTrk(f); }, [](CArticExpTrk* t) { return t->ConvToWrk2(); });
}
int CArticExp::ConvToWrk3() {
    return LastFailure([&](auto f) { EachTrk(f); }, [](CArticExpTrk* t) { return t->ConvToWrk3(); });
}

int CArticExp::PasnExp(CArticPasn* pasn) {
    return EachTrk([&](CArticExpTrk* trk) {
        trk->PasnExp(pasn);
        return true;
    });
}

int CArticExp::CopyExp(CArticExpBlk* target) {
    return EachTrk([&](CArticExpTrk* trk) {
        trk->CopyExp(target);
        return true;
    });
}

int CArticExp::SortExp(const CStringList& order) {
    return EachTrk([&](CArticExpTrk* trk) {
        trk->SortExp(order);
        return true;
    });
}

int CArticExp::GetExpTrkByWrkTrk(CArticWrkTrk* wrkTrk, CArticExpTrk** trk) const {
    if (trk) *trk = nullptr;
    CArticExpTrk* found = nullptr;
    EachTrk([&](CArticExpTrk* t) {
        if (t->GetWrkTrk() == wrkTrk) found = t;
        return !found;
    });
    if (!found) return 1;
    if (trk) *trk = found;
    return 0;
}
