#include "engine/work/ArticPos.h"

#include <cstring>
#include <new>

#include "engine/work/ArticWrkEvnt.h"
#include "host/FixedPool.h"
#include "host/MPEvent.h"

VX_IMPLEMENT_CLASS(CArticPos, CObject);

namespace {

CClassPool& PosPool() {
    static CClassPool* const pool = new CClassPool(sizeof(CArticPos));
    return *pool;
}

}  // namespace

void* CArticPos::operator new(size_t size) { return PosPool().New(size); }

void* CArticPos::operator new(size_t size, const std::nothrow_t&) noexcept { return PosPool().New(size, std::nothrow); }

void CArticPos::operator delete(void* p, size_t size) { PosPool().Delete(p, size); }

void CArticPos::operator delete(void* p, const std::nothrow_t&) noexcept { PosPool().Delete(p); }

CArticPos::CArticPos() = default;

CArticPos::CArticPos(POSITION trk, POSITION blk, POSITION evnt) : m_Trk(trk), m_Blk(blk), m_Evnt(evnt) {}

CArticPos::CArticPos(POSITION trk, POSITION blk, POSITION evnt, CArticWrkEvnt* wrkEvnt,
                     CArticWrkEvnt* refWrkEvnt)
    : m_Trk(trk), m_Blk(blk), m_Evnt(evnt), m_pRefWrkEvnt(refWrkEvnt) {
    SetWrkEvnt(wrkEvnt);
}

CArticPos::CArticPos(CArticWrkEvnt* wrkEvnt, CArticWrkEvnt* refWrkEvnt) : m_pRefWrkEvnt(refWrkEvnt) {
    SetWrkEvnt(wrkEvnt);
}

CArticPos::~CArticPos() {
    if (m_pMPEvnt) {
        DeleteGmem();
        delete m_pMPEvnt;
    }
}

CArticPos& CArticPos::operator=(const CArticPos& src) {
    if (this == &src) return *this;
    m_Trk = src.m_Trk;
    m_Blk = src.m_Blk;
    m_Evnt = src.m_Evnt;
    m_pWrkEvnt = src.m_pWrkEvnt;
    m_pRefWrkEvnt = src.m_pRefWrkEvnt;
    m_KeyHead = src.m_KeyHead;
    m_KeyTail = src.m_KeyTail;
    if (src.m_pMPEvnt) CopyMPEvnt(src.m_pMPEvnt);
    CArticWrkEdits::Count();
    return *this;
}

void CArticPos::Get(tagMPEVENT** record) const {
    if (record) *record = m_pMPEvnt;
}

void CArticPos::Get(POSITION* trk, POSITION* blk, POSITION* evnt, CArticWrkEvnt** wrkEvnt,
                    CArticWrkEvnt** refWrkEvnt) const {
    Get(trk, blk, evnt);
    if (wrkEvnt) *wrkEvnt = m_pWrkEvnt;
    if (refWrkEvnt) *refWrkEvnt = m_pRefWrkEvnt;
}

void CArticPos::Get(POSITION* trk, POSITION* blk, POSITION* evnt) const {
    if (trk) *trk = m_Trk;
    if (blk) *blk = m_Blk;
    if (evnt) *evnt = m_Evnt;
}

int CArticPos::GetWrkEvnt(CArticWrkEvnt** evnt) const {
    if (evnt) *evnt = m_pWrkEvnt;
    return 1;
}

int CArticPos::GetRefWrkEvnt(CArticWrkEvnt** evnt) const {
    if (evnt) *evnt = m_pRefWrkEvnt;
    return 1;
}

void CArticPos::Set(const tagMPEVENT* record) {
    if (record) CopyMPEvnt(record);
}

void CArticPos::Set(POSITION trk, POSITION blk, POSITION evnt, CArticWrkEvnt* wrkEvnt,
                    CArticWrkEvnt* refWrkEvnt) {
    Set(trk, blk, evnt);
    m_pWrkEvnt = wrkEvnt;
    m_pRefWrkEvnt = refWrkEvnt;
    CArticWrkEdits::Count();
}

void CArticPos::Set(POSITION trk, POSITION blk, POSITION evnt) {
    m_Trk = trk;
    m_Blk = blk;
    m_Evnt = evnt;
    CArticWrkEdits::Count();
}

void CArticPos::SetWrkEvnt(CArticWrkEvnt* evnt) {
    m_pWrkEvnt = evnt;
    CArticWrkEdits::Count();
    if (evnt && (evnt->GetStatus() & 0xF0) == 0x90) {
        m_KeyHead = m_KeyTail = evnt->GetPost1();
    } else {
        m_KeyHead = m_KeyTail = 0xFF;
    }
}

int CArticPos::CreateGmem(ULONG len) {
    if (!m_pMPEvnt) return 1;
    DeleteGmem();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, len);
    if (!block) return 1;
    void* bytes = GlobalLock(block);
    if (!bytes) {
        GlobalFree(block);
        return 1;
    }
    m_hMem = block;
    m_MemSize = len;
    m_pMPEvnt->Bytes = static_cast<BYTE*>(bytes);
    m_pMPEvnt->Length = len;
    return 0;
}

int CArticPos::CopyGmem(const BYTE* data, ULONG len) {
    if (!m_pMPEvnt || !m_hMem || !data) return 1;
    // Never past the block that was allocated.
    if (len > m_MemSize) len = m_MemSize;
    std::memcpy(m_pMPEvnt->Bytes, data, len);
    m_pMPEvnt->Length = len;
    return 0;
}

void CArticPos::DeleteGmem() {
    if (!m_hMem) return;
    GlobalUnlock(m_hMem);
    GlobalFree(m_hMem);
    m_hMem = nullptr;
    m_MemSize = 0;
    if (m_pMPEvnt) {
        m_pMPEvnt->Length = 0;
        m_pMPEvnt->Bytes = nullptr;
    }
}

void CArticPos::CopyMPEvnt(const tagMPEVENT* src) {
    if (!src) return;
    if (!m_pMPEvnt) {
        m_pMPEvnt = new (std::nothrow) tagMPEVENT();
        if (!m_pMPEvnt) return;
    }
    // src may be our own copy's data: keep it alive until it has been copied.
    HGLOBAL oldBlock = m_hMem;
    m_hMem = nullptr;
    m_MemSize = 0;
    const tagMPEVENT from = *src;
    *m_pMPEvnt = tagMPEVENT{};
    m_pMPEvnt->Kind = from.Kind;
    m_pMPEvnt->Reserved = from.Reserved;
    m_pMPEvnt->Channel = from.Channel;
    m_pMPEvnt->Reserved2 = from.Reserved2;
    m_pMPEvnt->Time = from.Time;
    m_pMPEvnt->TimeFormat = MPTIME_FORMAT_TICKS;
    if (IsShortMPEventKind(from.Kind)) {
        m_pMPEvnt->Duration = from.Duration;
        m_pMPEvnt->Data1 = from.Data1;
        m_pMPEvnt->Data2 = from.Data2;
        m_pMPEvnt->Data3 = from.Data3;
        m_pMPEvnt->Data4 = from.Data4;
    } else if (IsVariableMPEventKind(from.Kind) && from.Bytes && from.Length > 0) {
        if (CreateGmem(from.Length) == 0) CopyGmem(from.Bytes, from.Length);
    }
    if (oldBlock) {
        GlobalUnlock(oldBlock);
        GlobalFree(oldBlock);
    }
}
