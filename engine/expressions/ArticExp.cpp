#include "engine/expressions/ArticExp.h"

VX_IMPLEMENT_CLASS(CArticExpBlk, CObject);
VX_IMPLEMENT_CLASS(CArticExpTrk, CObject);
VX_IMPLEMENT_CLASS(CArticExp, CObject);

// ---- Block

CArticExpBlk::CArticExpBlk(CArticExpTrk* owner, ULONG blkNo)
    : m_pOwner(owner), m_BlkNo(blkNo), m_pEvntList(new CArticExpEvntList(10)), m_pEvntStrList(new CStringList(10)) {}

CArticExpBlk::~CArticExpBlk() {
    ClearEvntList();
    delete m_pEvntList;
    delete m_pEvntStrList;
}

POSITION CArticExpBlk::AddTail(CArticExpEvnt* evnt) {
    if (!evnt) return nullptr;
    POSITION pos = m_pEvntList->AddTail(evnt);
    evnt->SetOwner(this);
    evnt->SetPosEvnt(pos);
    return pos;
}

int CArticExpBlk::GetCount() const { return m_pEvntList->GetCount(); }
POSITION CArticExpBlk::GetHeadPos() const { return m_pEvntList->GetHeadPosition(); }
POSITION CArticExpBlk::GetTailPos() const { return m_pEvntList->GetTailPosition(); }
CArticExpEvnt* CArticExpBlk::GetNext(POSITION& pos) const { return pos ? m_pEvntList->GetNext(pos) : nullptr; }

void CArticExpBlk::ClearEvntList() {
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) delete m_pEvntList->GetNext(p);
    m_pEvntList->RemoveAll();
}

void CArticExpBlk::ClearEvntStrList() { m_pEvntStrList->RemoveAll(); }

// ---- Track

CArticExpTrk::CArticExpTrk(CArticExp* owner, ULONG trkNo, ULONG ch, ULONG port)
    : m_pOwner(owner), m_TrkNo(trkNo), m_Ch(ch), m_Port(port), m_pBlkList(new CArticExpBlkList(10)) {}

CArticExpTrk::~CArticExpTrk() {
    ClearBlkList();
    delete m_pBlkList;
}

POSITION CArticExpTrk::AddTail(CArticExpBlk* blk) {
    if (!blk) return nullptr;
    POSITION pos = m_pBlkList->AddTail(blk);
    blk->SetPosBlk(pos);
    return pos;
}

int CArticExpTrk::GetCount() const { return m_pBlkList->GetCount(); }

CArticExpBlk* CArticExpTrk::Get(ULONG blkNo) const {
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) {
        CArticExpBlk* blk = m_pBlkList->GetNext(p);
        if (blk->GetBlkNo() == blkNo) return blk;
    }
    return nullptr;
}

CArticExpBlk* CArticExpTrk::GetAt(int index) const {
    POSITION p = index >= 0 ? m_pBlkList->FindIndex(index) : nullptr;
    return p ? m_pBlkList->GetAt(p) : nullptr;
}

void CArticExpTrk::ClearBlkList() {
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) delete m_pBlkList->GetNext(p);
    m_pBlkList->RemoveAll();
}

void CArticExpTrk::ClearEvntStrList() {
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) m_pBlkList->GetNext(p)->ClearEvntStrList();
}

// ---- Expression data

CArticExp::CArticExp() : m_pTrkList(new CArticExpTrkList(10)), m_pEvntPosArray(new CPtrArray()) {}

CArticExp::~CArticExp() {
    Clear();
    delete m_pTrkList;
    delete m_pEvntPosArray;
}

void CArticExp::Clear() {
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) delete m_pTrkList->GetNext(p);
    m_pTrkList->RemoveAll();
    m_pEvntPosArray->RemoveAll();
}

POSITION CArticExp::AddTail(CArticExpTrk* trk) {
    if (!trk) return nullptr;
    POSITION pos = m_pTrkList->AddTail(trk);
    trk->SetPosTrk(pos);
    return pos;
}

int CArticExp::GetCount() const { return m_pTrkList->GetCount(); }

CArticExpTrk* CArticExp::Get(ULONG trkNo) const {
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
        CArticExpTrk* trk = m_pTrkList->GetNext(p);
        if (trk->GetTrkNo() == trkNo) return trk;
    }
    return nullptr;
}

CArticExpTrk* CArticExp::GetAt(int index) const {
    POSITION p = index >= 0 ? m_pTrkList->FindIndex(index) : nullptr;
    return p ? m_pTrkList->GetAt(p) : nullptr;
}

CArticExpBlk* CArticExp::GetExpBlk(ULONG trkNo, ULONG blkNo) const {
    CArticExpTrk* trk = Get(trkNo);
    return trk ? trk->Get(blkNo) : nullptr;
}

void CArticExp::ClearEvntStrList() {
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) m_pTrkList->GetNext(p)->ClearEvntStrList();
}
