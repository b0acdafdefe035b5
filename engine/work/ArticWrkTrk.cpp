#include "engine/work/ArticWrkTrk.h"

#include <new>

#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"

VX_IMPLEMENT_CLASS(CArticWrkTrk, CObject);

CArticWrkTrk::CArticWrkTrk(CArticWrk* owner, ULONG trkNo, ULONG ch, ULONG port)
    : m_pOwner(owner),
      m_TrkNo(trkNo),
      m_OrigTrkNo(trkNo),
      m_Ch(ch),
      m_OrigCh(ch),
      m_Port(port),
      m_OrigPort(port),
      m_MidiTrkNo(trkNo) {
    m_pBlkList = new (std::nothrow) CArticWrkBlkList(10);
}

CArticWrkTrk::~CArticWrkTrk() { DeleteBlkList(); }

void CArticWrkTrk::CopyFields(const CArticWrkTrk& src) {
    m_TrkName = src.m_TrkName;
    m_Ch = src.m_Ch;
    m_OrigCh = src.m_OrigCh;
    m_Port = src.m_Port;
    m_OrigPort = src.m_OrigPort;
    m_SelTrk = src.m_SelTrk;
    CArticWrkEdits::Count();
    m_TrkAttr = src.m_TrkAttr;
    m_OrgTrkID = src.m_OrgTrkID;
    m_OrgBlkID = src.m_OrgBlkID;
    Clear();
}

CArticWrkTrk& CArticWrkTrk::operator=(const CArticWrkTrk& src) {
    if (this == &src) return *this;
    CopyFields(src);
    CopyBlkList(src.m_pBlkList);
    m_SeqTrkNo = src.m_SeqTrkNo;
    return *this;
}

void CArticWrkTrk::CopyForCore(const CArticWrkTrk* src) {
    if (!src || src == this) return;
    CopyFields(*src);
    CopyBlkListForCore(src->m_pBlkList);
    m_SeqTrkNo = src->m_SeqTrkNo;
}

void CArticWrkTrk::CopyTrkByNewEvntNo(const CArticWrkTrk& src, int link) {
    if (&src == this) return;
    CopyFields(src);
    CopyBlkListByNewEvntNo(src.m_pBlkList, link);
    m_SeqTrkNo = src.m_SeqTrkNo;
}

void CArticWrkTrk::CopyBlocks(const CArticWrkBlkList* list, CopyKind kind, int link) {
    if (!list || !m_pBlkList) return;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkBlk* src = list->GetNext(p);
        if (!src) continue;
        auto* blk = new (std::nothrow) CArticWrkBlk(this, src->GetBlkNo());
        if (!blk) continue;
        AddTail(blk);
        switch (kind) {
        case CopyKind::Assign: *blk = *src; break;
        case CopyKind::NewEvntNo: blk->CopyBlkByNewEvntNo(*src, link); break;
        case CopyKind::ForCore: blk->CopyForCore(*src); break;
        }
        // Block 0 of track 0 carries the bars and beats of the whole work.
        if (m_TrkNo == 0 && blk->GetBlkNo() == 0 && m_pOwner && !m_pOwner->GetMeasBlk()) m_pOwner->SetMeasBlk(blk);
    }
}

void CArticWrkTrk::CopyBlkList(const CArticWrkBlkList* list) { CopyBlocks(list, CopyKind::Assign, 0); }

void CArticWrkTrk::CopyBlkListByNewEvntNo(const CArticWrkBlkList* list, int link) {
    CopyBlocks(list, CopyKind::NewEvntNo, link);
}

void CArticWrkTrk::CopyBlkListForCore(const CArticWrkBlkList* list) { CopyBlocks(list, CopyKind::ForCore, 0); }

void CArticWrkTrk::ClearBlkList() {
    if (!m_pBlkList) return;
    CArticWrkEdits::Count();
    CArticWrkBlkList doomed;
    doomed.AddTail(*m_pBlkList);
    m_pBlkList->RemoveAll();
    for (POSITION p = doomed.GetHeadPosition(); p;) {
        CArticWrkBlk* blk = doomed.GetNext(p);
        if (m_pOwner && m_pOwner->GetMeasBlk() == blk) m_pOwner->SetMeasBlk(nullptr);
        delete blk;
    }
}

void CArticWrkTrk::DeleteBlkList() {
    ClearBlkList();
    delete m_pBlkList;
    m_pBlkList = nullptr;
}

// ---- Text and lists

int CArticWrkTrk::GetStrList(CStringList& list, ULONG set, int withRuleData) {
    CString line;
    line.Format("TRK:%u", unsigned(m_TrkNo));
    if (m_Ch != kNoChannel && m_Ch != kUnsetChannel) line.AppendFormat(", ch%u", unsigned(m_Ch + 1));
    if (m_Port != kNoPort) line.AppendFormat(", port%u", unsigned(m_Port));
    list.AddTail(line);
    if (!m_pBlkList) return 1;
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) {
        CArticWrkBlk* blk = m_pBlkList->GetNext(p);
        if (!blk) continue;
        int rc = blk->GetStrList(list, set, withRuleData);
        if (rc != 0) return rc;
    }
    return 0;
}

int CArticWrkTrk::MakeWrkEvntList(CArticWrkEvntList* list, int copy) {
    if (!m_pBlkList || !list || m_pBlkList->IsEmpty()) return 1;
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) {
        CArticWrkBlk* blk = m_pBlkList->GetNext(p);
        if (!blk) continue;
        int rc = blk->MakeWrkEvntList(list, copy);
        if (rc != 0) return rc;
    }
    return 0;
}

ULONG CArticWrkTrk::GetFreeBlkNo() const {
    if (!m_pBlkList) return kMaxBlkCount;
    bool used[kMaxBlkCount] = {};
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) {
        CArticWrkBlk* blk = m_pBlkList->GetNext(p);
        if (blk && blk->GetBlkNo() < kMaxBlkCount) used[blk->GetBlkNo()] = true;
    }
    for (ULONG n = 0; n < kMaxBlkCount; ++n)
        if (!used[n]) return n;
    return kMaxBlkCount;
}

CArticWrkBlk* CArticWrkTrk::NewBlk() {
    ULONG n = GetFreeBlkNo();
    if (n >= kMaxBlkCount) return nullptr;
    auto* blk = new (std::nothrow) CArticWrkBlk(this, n);
    if (!blk) return nullptr;
    if (!AddTail(blk)) {
        delete blk;
        return nullptr;
    }
    return blk;
}

int CArticWrkTrk::NewBlk(CArticWrkBlk** blk) {
    if (!m_pBlkList) return 0;
    CArticWrkBlk* b = NewBlk();
    if (blk) *blk = b;
    return b ? 1 : 0;
}

int CArticWrkTrk::GetCount() const { return m_pBlkList ? m_pBlkList->GetCount() : 0; }
POSITION CArticWrkTrk::GetHeadPos() const { return m_pBlkList ? m_pBlkList->GetHeadPosition() : nullptr; }
POSITION CArticWrkTrk::GetTailPos() const { return m_pBlkList ? m_pBlkList->GetTailPosition() : nullptr; }
POSITION CArticWrkTrk::GetPos(int index) const { return m_pBlkList ? m_pBlkList->FindIndex(index) : nullptr; }

int CArticWrkTrk::GetNext(POSITION& pos, CArticWrkBlk** blk) const {
    CArticWrkBlk* b = GetNext(pos);
    if (blk) *blk = b;
    return b ? 1 : 0;
}

CArticWrkBlk* CArticWrkTrk::GetNext(POSITION& pos) const {
    if (!m_pBlkList || !pos) return nullptr;
    return m_pBlkList->GetNext(pos);
}

int CArticWrkTrk::GetPrev(POSITION& pos, CArticWrkBlk** blk) const {
    CArticWrkBlk* b = GetPrev(pos);
    if (blk) *blk = b;
    return b ? 1 : 0;
}

CArticWrkBlk* CArticWrkTrk::GetPrev(POSITION& pos) const {
    if (!m_pBlkList || !pos) return nullptr;
    return m_pBlkList->GetPrev(pos);
}

int CArticWrkTrk::Get(ULONG blkNo, CArticWrkBlk** blk) const {
    CArticWrkBlk* b = Get(blkNo);
    if (b && blk) *blk = b;
    return b ? 1 : 0;
}

int CArticWrkTrk::Get(int index, CArticWrkBlk** blk) const {
    CArticWrkBlk* b = Get(index);
    if (b && blk) *blk = b;
    return b ? 1 : 0;
}

int CArticWrkTrk::Get(POSITION pos, CArticWrkBlk** blk) const {
    CArticWrkBlk* b = Get(pos);
    if (b && blk) *blk = b;
    return b ? 1 : 0;
}

CArticWrkBlk* CArticWrkTrk::Get(ULONG blkNo) const {
    if (!m_pBlkList) return nullptr;
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) {
        CArticWrkBlk* b = m_pBlkList->GetNext(p);
        if (b && b->GetBlkNo() == blkNo) return b;
    }
    return nullptr;
}

CArticWrkBlk* CArticWrkTrk::Get(int index) const { return Get(GetPos(index)); }

CArticWrkBlk* CArticWrkTrk::Get(POSITION pos) const {
    if (!m_pBlkList || !pos) return nullptr;
    return m_pBlkList->GetAt(pos);
}

int CArticWrkTrk::GetIndex(CArticWrkBlk* blk) const {
    if (!m_pBlkList) return -1;
    int i = 0;
    for (POSITION p = m_pBlkList->GetHeadPosition(); p; ++i)
        if (m_pBlkList->GetNext(p) == blk) return i;
    return -1;
}

POSITION CArticWrkTrk::AddHead(CArticWrkBlk* blk) {
    if (!m_pBlkList) return nullptr;
    POSITION pos = m_pBlkList->AddHead(blk);
    if (blk) blk->SetPosBlk(pos);
    return pos;
}

POSITION CArticWrkTrk::AddTail(CArticWrkBlk* blk) {
    if (!m_pBlkList) return nullptr;
    POSITION pos = m_pBlkList->AddTail(blk);
    if (blk) blk->SetPosBlk(pos);
    return pos;
}

POSITION CArticWrkTrk::InsertAfter(POSITION at, CArticWrkBlk* blk) {
    if (!m_pBlkList) return nullptr;
    POSITION pos = m_pBlkList->InsertAfter(at, blk);
    if (blk) blk->SetPosBlk(pos);
    return pos;
}

POSITION CArticWrkTrk::InsertBefore(POSITION at, CArticWrkBlk* blk) {
    if (!m_pBlkList) return nullptr;
    POSITION pos = m_pBlkList->InsertBefore(at, blk);
    if (blk) blk->SetPosBlk(pos);
    return pos;
}

POSITION CArticWrkTrk::Find(CArticWrkBlk* blk) const { return m_pBlkList ? m_pBlkList->Find(blk) : nullptr; }

void CArticWrkTrk::Remove(CArticWrkBlk* blk, POSITION start) {
    if (!m_pBlkList) return;
    POSITION p = m_pBlkList->Find(blk, start);
    if (p) Remove(p);
}

void CArticWrkTrk::Remove(POSITION pos) {
    if (!m_pBlkList || !pos) return;
    CArticWrkEdits::Count();
    CArticWrkBlk* b = m_pBlkList->GetAt(pos);
    m_pBlkList->RemoveAt(pos);
    if (b && b->GetPosBlk() == pos) b->SetPosBlk(nullptr);
}

void CArticWrkTrk::RemoveAll() {
    if (!m_pBlkList) return;
    CArticWrkEdits::Count();
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkBlk* b = m_pBlkList->GetNext(p);
        if (b && b->GetPosBlk() == at) b->SetPosBlk(nullptr);
    }
    m_pBlkList->RemoveAll();
}

int CArticWrkTrk::GetBlkList(CArticWrkBlkList** list) const {
    if (list) *list = m_pBlkList;
    return m_pBlkList ? 1 : 0;
}

int CArticWrkTrk::HaveNote() const {
    if (!m_pBlkList) return 0;
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) {
        CArticWrkBlk* b = m_pBlkList->GetNext(p);
        if (b && b->HaveNote()) return 1;
    }
    return 0;
}

int CArticWrkTrk::GetOwner(CArticWrk** wrk) const {
    if (wrk) *wrk = m_pOwner;
    return 1;
}

int CArticWrkTrk::GetTrkName(CString* name) const {
    if (name) *name = m_TrkName;
    return 1;
}

int CArticWrkTrk::GetEvntNum() const {
    if (!m_pBlkList) return 0;
    int n = 0;
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) {
        CArticWrkBlk* b = m_pBlkList->GetNext(p);
        if (b) n += b->GetCount();
    }
    return n;
}

INT64 CArticWrkTrk::GetStartTime() const {
    if (!m_pBlkList) return 0;
    INT64 start = kNoTime;
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) {
        CArticWrkBlk* b = m_pBlkList->GetNext(p);
        if (b && b->GetStartTime() < start) start = b->GetStartTime();
    }
    return start;
}

INT64 CArticWrkTrk::GetEndTime() const {
    if (!m_pBlkList) return 0;
    INT64 end = 0;
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) {
        CArticWrkBlk* b = m_pBlkList->GetNext(p);
        if (b && b->GetEndTime() > end) end = b->GetEndTime();
    }
    return end;
}
