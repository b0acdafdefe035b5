#include "engine/work/ArticWrkBlk.h"

#include <cinttypes>
#include <new>

#include "engine/work/ArticPos.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkCond.h"
#include "engine/work/ArticWrkTrk.h"
#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilImpl.h"
#include "engine/work/MetaData.h"

VX_IMPLEMENT_CLASS(CArticWrkBlk, CObject);

namespace {


bool IsPbRangeRecord(const _WRK_EVNT& r) { return r.Status == 0x20 && r.Post1 == 0 && r.Post2 == 0; }

// A KV part parameter change: 43 10 4C 08 part address value.
bool IsKvPartParam(const BYTE* data, ULONG len, BYTE address) {
    return data && len >= 7 && data[0] == 0x43 && data[1] == 0x10 && data[2] == 0x4C && data[3] == 0x08 &&
           data[5] == address;
}

const char* const kPartModeNames[] = {nullptr, "Drum", "DrumS1", "DrumS2", "DrumS3", "DrumS4"};

}  // namespace

CArticWrkBlk::CArticWrkBlk(CArticWrkTrk* owner, ULONG blkNo)
    : m_pOwner(owner), m_BlkNo(blkNo), m_MidiBlkNo(blkNo) {
    m_pEvntList = new (std::nothrow) CArticWrkEvntList(10);
    m_pCond = owner ? new (std::nothrow) CArticWrkCond(owner->GetOwner()) : nullptr;
    m_pPosArray = new (std::nothrow) CArticPosArray();
    if (m_pPosArray) m_pPosArray->SetSize(2);
}

CArticWrkBlk::~CArticWrkBlk() {
    // The container must not keep pointing at a measure block that is gone.
    if (CArticWrk* wrk = GetWrk(); wrk && wrk->GetMeasBlk() == this) wrk->SetMeasBlk(nullptr);
    DeleteEvntList();
    DeletePosArray();
    delete m_pCond;
    m_pCond = nullptr;
}

void CArticWrkBlk::CopyHead(const CArticWrkBlk& src) {
    m_BlkName = src.m_BlkName;
    Clear();
}

void CArticWrkBlk::CopyTail(const CArticWrkBlk& src) {
    CopyPosArray(src.m_pPosArray);
    if (src.m_pCond) {
        if (!m_pCond) m_pCond = new (std::nothrow) CArticWrkCond(src.m_pCond->GetWrk());
        if (m_pCond) *m_pCond = *src.m_pCond;
    }
    m_PartMode = src.m_PartMode;
    m_ProNo = src.m_ProNo;
    m_BSelMsb = src.m_BSelMsb;
    m_BSelLsb = src.m_BSelLsb;
}

CArticWrkBlk& CArticWrkBlk::operator=(const CArticWrkBlk& src) {
    if (this == &src) return *this;
    CopyHead(src);
    m_MinTime = src.m_MinTime;
    m_MaxTime = src.m_MaxTime;
    CopyEvntList(src.m_pEvntList);
    CopyTail(src);
    return *this;
}

void CArticWrkBlk::CopyForCore(const CArticWrkBlk& src) {
    if (this == &src) return;
    CopyHead(src);
    m_MinTime = src.m_MinTime;
    m_MaxTime = src.m_MaxTime;
    CopyEvntListForCore(src.m_pEvntList);
    CopyTail(src);
}

void CArticWrkBlk::CopyBlkByNewEvntNo(const CArticWrkBlk& src, int link) {
    if (this == &src) return;
    CopyHead(src);
    CopyEvntListByNewEvntNo(src.m_pEvntList, link);
    CopyTail(src);
}

void CArticWrkBlk::CopyEvntList(const CArticWrkEvntList* list) {
    if (!list) return;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        auto* copy = new (std::nothrow) CArticWrkEvnt(this, e->GetEvntNo());
        if (!copy) continue;
        *copy = *e;
        AddTail(copy, 1);
    }
}

void CArticWrkBlk::CopyEvntListByNewEvntNo(const CArticWrkEvntList* list, int link) {
    CArticWrk* wrk = GetWrk();
    if (!list || !wrk) return;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        auto* copy = new (std::nothrow) CArticWrkEvnt(this, wrk->GetFreeEvntNo(e->GetEvntNo()));
        if (!copy) continue;
        *copy = *e;
        if (link) e->SetSeqWrkEvnt(copy);
        AddTail(copy, 1);
    }
}

void CArticWrkBlk::CopyEvntListForCore(const CArticWrkEvntList* list) {
    if (!list) return;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        auto* copy = new (std::nothrow) CArticWrkEvnt(this, e->GetEvntNo());
        if (!copy) continue;
        copy->CopyForCore(*e);
        AddTail(copy, 1);
    }
}

void CArticWrkBlk::CopyPosArray(const CArticPosArray* array) {
    if (!array || !m_pPosArray || array == m_pPosArray) return;
    ClearPosArray();
    m_pPosArray->SetSize(array->GetSize());
    for (int i = 0; i < array->GetSize(); ++i) {
        const CArticPos* from = array->GetAt(i);
        if (!from) continue;
        auto* to = new (std::nothrow) CArticPos();
        if (!to) continue;
        *to = *from;
        m_pPosArray->SetAt(i, to);
    }
}

void CArticWrkBlk::Clear() {
    ClearEvntList();
    ClearPosArray();
    if (m_pCond) m_pCond->Clear();
}

void CArticWrkBlk::ClearEvntList() {
    if (!m_pEvntList) return;
    CArticWrkEvntList doomed;
    doomed.AddTail(*m_pEvntList);
    m_pEvntList->RemoveAll();
    for (POSITION p = doomed.GetHeadPosition(); p;) delete doomed.GetNext(p);
}

void CArticWrkBlk::ClearPosArray() {
    if (!m_pPosArray) return;
    for (int i = 0; i < m_pPosArray->GetSize(); ++i) delete m_pPosArray->GetAt(i);
    m_pPosArray->SetSize(0);
}

void CArticWrkBlk::DeleteEvntList() {
    ClearEvntList();
    delete m_pEvntList;
    m_pEvntList = nullptr;
}

void CArticWrkBlk::DeletePosArray() {
    ClearPosArray();
    delete m_pPosArray;
    m_pPosArray = nullptr;
}

// ---- Text

int CArticWrkBlk::GetStrList(CStringList& list, ULONG set, int withRuleData) {
    CString line;
    line.Format("BLK:%u", unsigned(m_BlkNo));
    if (m_PartMode >= 1 && m_PartMode <= 5) {
        line += ", ";
        line += kPartModeNames[m_PartMode];
    }
    if (!m_BlkName.IsEmpty()) {
        line += ", name=\"";
        line += m_BlkName;
        line += "\"";
    }
    if (m_pPosArray) {
        for (int i = 0; i < m_pPosArray->GetSize(); ++i) {
            const CArticPos* rec = m_pPosArray->GetAt(i);
            if (!rec) continue;
            if (rec->GetTrk())
                line.AppendFormat(", posTrk%d=0x%08" PRIxPTR, i, reinterpret_cast<uintptr_t>(rec->GetTrk()));
            if (rec->GetBlk())
                line.AppendFormat(", posBlk%d=0x%08" PRIxPTR, i, reinterpret_cast<uintptr_t>(rec->GetBlk()));
        }
    }
    list.AddTail(line);
    if (!m_pEvntList) return 1;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = m_pEvntList->GetNext(p);
        if (!e) continue;
        int rc = e->GetStrList(list, set, withRuleData);
        if (rc != 0) return rc;
    }
    return 0;
}

int CArticWrkBlk::MakeWrkEvntList(CArticWrkEvntList* list, int copy) {
    if (!m_pEvntList || !list) return 1;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = m_pEvntList->GetNext(p);
        if (!e) continue;
        CArticWrkEvnt* item = e;
        if (copy) {
            item = new (std::nothrow) CArticWrkEvnt(this, e->GetEvntNo());
            if (!item) return 1;
            *item = *e;
        }
        if (!CArticWrkUtil::SortByTime(list, item)) {
            if (copy) delete item;
            return 1;
        }
    }
    return 0;
}

// ---- List access

int CArticWrkBlk::GetCount() const { return m_pEvntList ? m_pEvntList->GetCount() : 0; }
POSITION CArticWrkBlk::GetHeadPos() const { return m_pEvntList ? m_pEvntList->GetHeadPosition() : nullptr; }
POSITION CArticWrkBlk::GetTailPos() const { return m_pEvntList ? m_pEvntList->GetTailPosition() : nullptr; }

int CArticWrkBlk::GetPos(int index, POSITION* trkPos, POSITION* blkPos) const {
    if (trkPos) *trkPos = nullptr;
    if (blkPos) *blkPos = nullptr;
    const CArticPos* rec = m_pPosArray ? m_pPosArray->GetAt(index) : nullptr;
    if (!rec) return 0;
    if (trkPos) *trkPos = rec->GetTrk();
    if (blkPos) *blkPos = rec->GetBlk();
    return 1;
}

POSITION CArticWrkBlk::GetPos(int index) const { return m_pEvntList ? m_pEvntList->FindIndex(index) : nullptr; }

int CArticWrkBlk::GetNext(POSITION& pos, CArticWrkEvnt** evnt) const {
    CArticWrkEvnt* e = GetNext(pos);
    if (evnt) *evnt = e;
    return e ? 1 : 0;
}

CArticWrkEvnt* CArticWrkBlk::GetNext(POSITION& pos) const {
    if (!m_pEvntList || !pos) return nullptr;
    return m_pEvntList->GetNext(pos);
}

int CArticWrkBlk::GetPrev(POSITION& pos, CArticWrkEvnt** evnt) const {
    CArticWrkEvnt* e = GetPrev(pos);
    if (evnt) *evnt = e;
    return e ? 1 : 0;
}

CArticWrkEvnt* CArticWrkBlk::GetPrev(POSITION& pos) const {
    if (!m_pEvntList || !pos) return nullptr;
    return m_pEvntList->GetPrev(pos);
}

int CArticWrkBlk::Get(int index, CArticWrkEvnt** evnt) const {
    CArticWrkEvnt* e = Get(index);
    if (e && evnt) *evnt = e;
    return e ? 1 : 0;
}

int CArticWrkBlk::Get(POSITION pos, CArticWrkEvnt** evnt) const {
    CArticWrkEvnt* e = Get(pos);
    if (e && evnt) *evnt = e;
    return e ? 1 : 0;
}

CArticWrkEvnt* CArticWrkBlk::Get(int index) const { return Get(GetPos(index)); }

CArticWrkEvnt* CArticWrkBlk::Get(POSITION pos) const {
    if (!m_pEvntList || !pos) return nullptr;
    return m_pEvntList->GetAt(pos);
}

CArticWrkEvnt* CArticWrkBlk::Get(ULONG evntNo) const {
    if (!m_pEvntList) return nullptr;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = m_pEvntList->GetNext(p);
        if (e && e->GetEvntNo() == evntNo) return e;
    }
    return nullptr;
}

// ---- Insertion

POSITION CArticWrkBlk::Placed(POSITION pos, CArticWrkEvnt* evnt, int reg) {
    if (evnt) {
        evnt->SetPosEvnt(pos);
        if (reg) SetEvntPos(evnt);
    }
    return pos;
}

POSITION CArticWrkBlk::AddHead(CArticWrkEvnt* evnt, int reg) {
    if (!m_pEvntList) return nullptr;
    return Placed(m_pEvntList->AddHead(evnt), evnt, reg);
}

POSITION CArticWrkBlk::AddTail(CArticWrkEvnt* evnt, int reg) {
    if (!m_pEvntList) return nullptr;
    return Placed(m_pEvntList->AddTail(evnt), evnt, reg);
}

POSITION CArticWrkBlk::InsertAfter(POSITION pos, CArticWrkEvnt* evnt, int reg) {
    if (!m_pEvntList) return nullptr;
    return Placed(m_pEvntList->InsertAfter(pos, evnt), evnt, reg);
}

POSITION CArticWrkBlk::InsertBefore(POSITION pos, CArticWrkEvnt* evnt, int reg) {
    if (!m_pEvntList) return nullptr;
    return Placed(m_pEvntList->InsertBefore(pos, evnt), evnt, reg);
}

POSITION CArticWrkBlk::Sort(CArticWrkEvnt* evnt, int reg) {
    if (!m_pEvntList || !evnt) return nullptr;
    return SortBack(m_pEvntList->GetTailPosition(), evnt, reg);
}

POSITION CArticWrkBlk::Sort(CArticWrkEvnt* evnt, int reg, POSITION near) {
    if (!near) return Sort(evnt, reg);
    if (!m_pEvntList || !evnt) return nullptr;
    // No event after a later one is passed over: the walk back starts at the
    // first event later than evnt.
    POSITION later = wrkutil::FirstLater(m_pEvntList, evnt->GetTime(), true, near);
    return SortBack(later ? later : m_pEvntList->GetTailPosition(), evnt, reg);
}

POSITION CArticWrkBlk::SortBack(POSITION pos, CArticWrkEvnt* evnt, int reg) {
    const INT64 t = evnt->GetTime();
    for (POSITION p = pos; p;) {
        POSITION at = p;
        CArticWrkEvnt* e = m_pEvntList->GetPrev(p);
        if (!e) continue;
        bool after = e->GetTime() < t;
        if (!after && e->GetTime() == t)
            after = !(wrkutil::IsNoteNibble(e) && wrkutil::IsNoteNibble(evnt)) || evnt->GetPost1() >= e->GetPost1();
        if (after) return InsertAfter(at, evnt, reg);
    }
    return AddHead(evnt, reg);
}

POSITION CArticWrkBlk::SortBefore(CArticWrkEvnt* evnt, int reg) {
    if (!m_pEvntList || !evnt) return nullptr;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = m_pEvntList->GetNext(p);
        if (e && e->GetTime() >= evnt->GetTime()) return InsertBefore(at, evnt, reg);
    }
    return AddTail(evnt, reg);
}

POSITION CArticWrkBlk::Move(CArticWrkEvnt* evnt) {
    if (!m_pEvntList || !evnt || !evnt->GetPosEvnt()) return nullptr;
    m_pEvntList->RemoveAt(evnt->GetPosEvnt());
    evnt->SetPosEvnt(nullptr);
    POSITION pos = nullptr;
    for (POSITION p = m_pEvntList->GetTailPosition(); p && !pos;) {
        POSITION at = p;
        CArticWrkEvnt* e = m_pEvntList->GetPrev(p);
        if (e && e->GetTime() <= evnt->GetTime()) pos = m_pEvntList->InsertAfter(at, evnt);
    }
    if (!pos) pos = m_pEvntList->AddHead(evnt);
    evnt->SetPosEvnt(pos);
    ResetEvntPos(evnt);
    return pos;
}

POSITION CArticWrkBlk::MoveFromOwnPlace(CArticWrkEvnt* evnt) {
    POSITION own = evnt ? LinkedPos(evnt) : nullptr;
    if (!own) return Move(evnt);
    // A neighbour of the old place is where the walk starts.
    POSITION near = own;
    m_pEvntList->GetNext(near);
    if (!near) {
        near = own;
        m_pEvntList->GetPrev(near);
    }
    m_pEvntList->RemoveAt(own);
    evnt->SetPosEvnt(nullptr);
    // After every event of the same or an earlier time: before the first later one.
    POSITION later = near ? wrkutil::FirstLater(m_pEvntList, evnt->GetTime(), true, near) : nullptr;
    POSITION pos = later ? m_pEvntList->InsertBefore(later, evnt)
                         : (near ? m_pEvntList->AddTail(evnt) : m_pEvntList->AddHead(evnt));
    evnt->SetPosEvnt(pos);
    ResetEvntPos(evnt);
    return pos;
}

POSITION CArticWrkBlk::MoveAfter(POSITION pos, CArticWrkEvnt* evnt, int reg) {
    if (!m_pEvntList || !evnt || !evnt->GetPosEvnt()) return nullptr;
    if (pos == evnt->GetPosEvnt()) return pos;  // already there
    m_pEvntList->RemoveAt(evnt->GetPosEvnt());
    POSITION at = m_pEvntList->InsertAfter(pos, evnt);
    evnt->SetPosEvnt(at);
    if (reg) ResetEvntPos(evnt);
    return at;
}

POSITION CArticWrkBlk::MoveBefore(POSITION pos, CArticWrkEvnt* evnt, int reg) {
    if (!m_pEvntList || !evnt || !evnt->GetPosEvnt()) return nullptr;
    if (pos == evnt->GetPosEvnt()) return pos;
    m_pEvntList->RemoveAt(evnt->GetPosEvnt());
    POSITION at = m_pEvntList->InsertBefore(pos, evnt);
    evnt->SetPosEvnt(at);
    if (reg) ResetEvntPos(evnt);
    return at;
}

POSITION CArticWrkBlk::LinkedPos(const CArticWrkEvnt* evnt) const {
    POSITION pos = evnt && m_pEvntList && evnt->GetOwner() == this ? evnt->GetPosEvnt() : nullptr;
    if (!pos || m_pEvntList->GetAt(pos) != evnt) return nullptr;
    POSITION prev = pos, next = pos;
    m_pEvntList->GetPrev(prev);
    m_pEvntList->GetNext(next);
    POSITION back = prev, fore = next;
    if (prev) m_pEvntList->GetNext(back);
    if (next) m_pEvntList->GetPrev(fore);
    const bool linked = (prev ? back == pos : m_pEvntList->GetHeadPosition() == pos) &&
                        (next ? fore == pos : m_pEvntList->GetTailPosition() == pos);
    return linked ? pos : nullptr;
}

POSITION CArticWrkBlk::Find(CArticWrkEvnt* evnt) const { return m_pEvntList ? m_pEvntList->Find(evnt) : nullptr; }

void CArticWrkBlk::Remove(CArticWrkEvnt* evnt, POSITION start) {
    if (!m_pEvntList) return;
    POSITION p = m_pEvntList->Find(evnt, start);
    if (p) Remove(p);
}

void CArticWrkBlk::Remove(POSITION pos) {
    if (!m_pEvntList || !pos) return;
    CArticWrkEvnt* e = m_pEvntList->GetAt(pos);
    m_pEvntList->RemoveAt(pos);
    // An unlinked event has no list position: a stale one would point at a freed node.
    if (e && e->GetPosEvnt() == pos) e->SetPosEvnt(nullptr);
}

void CArticWrkBlk::RemoveAll() {
    if (!m_pEvntList) return;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = m_pEvntList->GetNext(p);
        if (e && e->GetPosEvnt() == at) e->SetPosEvnt(nullptr);
    }
    m_pEvntList->RemoveAll();
}

int CArticWrkBlk::GetEvntList(CArticWrkEvntList** list) const {
    if (list) *list = m_pEvntList;
    return m_pEvntList ? 1 : 0;
}

int CArticWrkBlk::HaveNote() const {
    if (!m_pEvntList) return 0;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = m_pEvntList->GetNext(p);
        if (e && e->GetStatus() == 0x90) return 1;
    }
    return 0;
}

INT64 CArticWrkBlk::GetStartTime() const {
    if (!m_pEvntList) return 0;
    INT64 start = kNoTime;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = m_pEvntList->GetNext(p);
        if (e && e->GetTime() < start) start = e->GetTime();
    }
    return start;
}

INT64 CArticWrkBlk::GetEndTime() const {
    if (!m_pEvntList) return 0;
    bool any = false;
    INT64 end = 0;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = m_pEvntList->GetNext(p);
        if (!e) continue;
        INT64 t = e->GetTime() + e->GetGateTime();
        if (!any || t > end) end = t;
        any = true;
    }
    return end;
}

// ---- Identity

int CArticWrkBlk::GetOwner(CArticWrkTrk** trk) const {
    if (trk) *trk = m_pOwner;
    return 1;
}

int CArticWrkBlk::GetWrk(CArticWrk** wrk) const {
    CArticWrk* w = GetWrk();
    if (wrk) *wrk = w;
    return w ? 1 : 0;
}

CArticWrk* CArticWrkBlk::GetWrk() const { return m_pOwner ? m_pOwner->GetOwner() : nullptr; }

int CArticWrkBlk::GetBlkName(CString* name) const {
    if (name) *name = m_BlkName;
    return 1;
}

int CArticWrkBlk::GetTrkNoBlkNo(ULONG* trkNo, ULONG* blkNo) const {
    if (!m_pOwner) return 1;
    if (trkNo) *trkNo = m_pOwner->GetTrkNo();
    if (blkNo) *blkNo = m_BlkNo;
    return 0;
}

int CArticWrkBlk::GetCond(CArticWrkCond** cond) const {
    if (cond) *cond = m_pCond;
    return m_pCond ? 1 : 0;
}

int CArticWrkBlk::SetEvntPos(CArticWrkEvnt* evnt) {
    CArticWrk* wrk = GetWrk();
    return wrk ? wrk->SetEvntPos(evnt) : 1;
}

int CArticWrkBlk::ResetEvntPos(CArticWrkEvnt* evnt) {
    CArticWrk* wrk = GetWrk();
    return wrk ? wrk->ResetEvntPos(evnt) : 1;
}

// ---- Song positions

int CArticWrkBlk::GrownPosSize(int size, int index) {
    if (index < size) return size;
    return size + ((index - size) & ~1) + 2;
}

int CArticWrkBlk::IsPos(POSITION trkPos, POSITION blkPos) const {
    if (!m_pPosArray) return 0;
    for (int i = 0; i < m_pPosArray->GetSize(); ++i) {
        const CArticPos* rec = m_pPosArray->GetAt(i);
        if (rec && rec->GetTrk() == trkPos && rec->GetBlk() == blkPos) return 1;
    }
    return 0;
}

void CArticWrkBlk::SetPos(POSITION trkPos, POSITION blkPos) {
    if (!m_pPosArray || IsPos(trkPos, blkPos)) return;
    int slot = m_pPosArray->GetSize();
    for (int i = 0; i < m_pPosArray->GetSize(); ++i) {
        if (!m_pPosArray->GetAt(i)) {
            slot = i;
            break;
        }
    }
    SetPos(slot, trkPos, blkPos);
}

void CArticWrkBlk::SetPos(int index, POSITION trkPos, POSITION blkPos) {
    if (!m_pPosArray || index < 0) return;
    if (index >= m_pPosArray->GetSize()) m_pPosArray->SetSize(GrownPosSize(m_pPosArray->GetSize(), index));
    CArticPos* rec = m_pPosArray->GetAt(index);
    if (rec) {
        rec->Set(trkPos, blkPos, nullptr);
    } else if ((rec = new (std::nothrow) CArticPos(trkPos, blkPos, nullptr))) {
        m_pPosArray->SetAt(index, rec);
    }
}

// ---- Condition timeline

int CArticWrkBlk::SetCondPos(CArticWrkEvnt* evnt) {
    if (!evnt || !m_pCond || !GetWrk()) return 1;
    _WRK_EVNT r;
    evnt->Get(r);
    switch (r.Status) {
    case 0x20:
        return IsPbRangeRecord(r) ? m_pCond->SetEvntPbRange(evnt) : 0;
    case 0x30:
        return m_pCond->SetEvntVoice(evnt);
    case 0x90:
        return m_pCond->SetEvntNote(evnt);
    case 0xB0:
        return r.Post1 == 11 ? m_pCond->SetEvntExpr(evnt) : 0;
    case 0xFF:
        if (r.MetaType == 0x51) return m_pCond->SetEvntTempo(evnt);
        if (r.MetaType == 0x58) return m_pCond->SetEvntBeat(evnt);
        if (r.MetaType == 0x59) return m_pCond->SetEvntMeter(evnt);
        return 0;
    default:
        return 0;
    }
}

int CArticWrkBlk::SetCondPosMulti(CArticWrkEvnt* evnt, BYTE rpnMsb, BYTE rpnLsb) {
    if (!evnt || !m_pCond || !GetWrk()) return 1;
    _WRK_EVNT r;
    evnt->Get(r);
    switch (r.Status) {
    case 0xB0:
        if (r.Post1 == 6 && rpnMsb == 0 && rpnLsb == 0) return m_pCond->SetEvntPbRange(evnt);
        break;
    case 0xF0:
        if (IsKvPartParam(r.Data, r.Len, 0x23)) return m_pCond->SetEvntPbRange(evnt);
        if (IsKvPartParam(r.Data, r.Len, 0x03)) return m_pCond->SetEvntVoice(evnt);
        return 0;
    case 0xC0:
        return m_pCond->SetEvntVoice(evnt);
    default:
        break;
    }
    return SetCondPos(evnt);
}

int CArticWrkBlk::DelCondPos(const _WRK_EVNT& r, INT64 from, INT64 to) {
    if (!m_pCond) return 1;
    switch (r.Status) {
    case 0xFF:
        if (r.MetaType == 0x58) return m_pCond->DelEvntBeat(from, to);
        if (r.MetaType == 0x59) return m_pCond->DelEvntMeter(from, to);
        if (r.MetaType == 0x51) return m_pCond->DelEvntTempo(from, to);
        return 0;
    case 0x20:
        return IsPbRangeRecord(r) ? m_pCond->DelEvntPbRange(from, to) : 0;
    case 0xB0:
        return r.Post1 == 11 ? m_pCond->DelEvntExpr(from, to) : 0;
    case 0x90:
        return m_pCond->DelEvntNote(from, to);
    case 0x30:
        return m_pCond->DelEvntVoice(from, to);
    default:
        return 0;
    }
}

int CArticWrkBlk::DelCondPos(CArticWrkEvnt* evnt, INT64 from, INT64 to) {
    if (!evnt || !m_pOwner) return 1;
    _WRK_EVNT r;
    evnt->Get(r);
    return DelCondPos(r, from, to);
}

int CArticWrkBlk::ShiftCondPos(const _WRK_EVNT& r, INT64 from, INT64 to, short shift) {
    if (!m_pCond) return 1;
    return IsPbRangeRecord(r) ? m_pCond->ShiftEvntPbRange(from, to, shift) : 0;
}

int CArticWrkBlk::ShiftCondPos(CArticWrkEvnt* evnt, INT64 from, INT64 to, short shift) {
    if (!evnt || !m_pOwner) return 1;
    _WRK_EVNT r;
    evnt->Get(r);
    return ShiftCondPos(r, from, to, shift);
}

int CArticWrkBlk::GetCondPos(const _WRK_EVNT& r, INT64 time, LONG* a, LONG* b, LONG* c) {
    if (!m_pCond) return 1;
    auto put = [](LONG* out, LONG v) {
        if (out) *out = v;
    };
    CArticWrkEvnt* e = nullptr;
    switch (r.Status) {
    case 0xFF: {
        BYTE num = 4;
        ULONG tpb = 480;
        bool haveBeat = m_pCond->GetEvntBeat(time, &e) == 0 && ReadWrkBeat(e, &num, &tpb);
        if (r.MetaType == 0x58) {
            put(a, haveBeat ? num : 4);
            put(b, haveBeat ? LONG(tpb) : 480);
            return 0;
        }
        if (r.MetaType == 0x59) {
            signed char sf = 0;
            BYTE minor = 0;
            if (m_pCond->GetEvntMeter(time, &e) != 0 || !ReadWrkMeter(e, &sf, &minor)) sf = 0, minor = 0;
            put(a, sf);
            put(b, minor);
            return 0;
        }
        if (r.MetaType == 0x51) {
            LONG bpm = 120;
            CArticWrkEvnt* tempo = nullptr;
            const BYTE* data = nullptr;
            if (haveBeat && m_pCond->GetEvntTempo(time, &tempo) == 0 && tempo->GetMeta(nullptr, &data) >= 3 && data) {
                BYTE buf[3] = {data[0], data[1], data[2]};
                WORD value = 0;
                if (CArticUtil::GetTempo(buf, WORD(tpb), &value)) bpm = value;
            }
            put(a, bpm);
            put(b, 0);
            return 0;
        }
        return 1;
    }
    case 0x20: {
        if (!IsPbRangeRecord(r)) return 1;
        if (m_pCond->GetEvntPbRange(time, &e) != 0) {
            put(a, 2);
            put(b, 0);
            return 0;
        }
        _WRK_EVNT x;
        e->Get(x);
        if (x.Status == 0x20)
            put(a, x.Post3);
        else if (x.Status == 0xB0)
            put(a, x.Post2);
        else if (x.Status == 0xF0 && IsKvPartParam(x.Data, x.Len, 0x23))
            put(a, LONG(x.Data[6]) - 64);
        else
            return 1;
        put(b, 0);
        return 0;
    }
    case 0xB0:
        if (r.Post1 != 11) return 1;
        put(a, m_pCond->GetEvntExpr(time, &e) == 0 ? e->GetPost2() : CArticUtil::GetDefaultContVal(11));
        put(b, 0);
        return 0;
    case 0x90:
        if (m_pCond->GetEvntNote(time, &e) != 0) {
            put(a, 0);
            put(b, 0);
            return 1;
        }
        put(a, e->GetPost2());
        put(b, LONG(uint32_t(e->GetTime())));
        return 0;
    case 0x30:
        if (m_pCond->GetEvntVoice(time, &e) != 0) {
            put(a, 0);
            put(b, 0);
            put(c, 0);
        } else {
            put(a, e->GetPost1());
            put(b, e->GetPost2());
            put(c, e->GetPost3());
        }
        return 0;
    default:
        return 1;
    }
}

int CArticWrkBlk::GetCondPos(CArticWrkEvnt* evnt, INT64 time, LONG* a, LONG* b, LONG* c) {
    if (!evnt) return 1;
    _WRK_EVNT r;
    evnt->Get(r);
    return GetCondPos(r, time, a, b, c);
}

int CArticWrkBlk::GetNextCondPos(const _WRK_EVNT& r, INT64 time, LONG* a, LONG* b) {
    if (!m_pCond) return 1;
    CArticWrkEvnt* e = nullptr;
    int rc;
    if (r.Status == 0xB0 && r.Post1 == 11)
        rc = m_pCond->GetNextEvntExpr(time, &e);
    else if (r.Status == 0x90)
        rc = m_pCond->GetNextEvntNote(time, &e);
    else
        return 1;
    if (rc != 0) {
        if (a) *a = 0;
        if (b) *b = 0;
        return rc;
    }
    if (a) *a = e->GetPost2();
    if (b) *b = LONG(uint32_t(e->GetTime()));
    return 0;
}

int CArticWrkBlk::GetNextCondPos(CArticWrkEvnt* evnt, INT64 time, LONG* a, LONG* b) {
    if (!evnt) return 1;
    _WRK_EVNT r;
    evnt->Get(r);
    return GetNextCondPos(r, time, a, b);
}
