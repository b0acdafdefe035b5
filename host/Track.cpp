#include "host/Track.h"

#include <new>

#include "host/SongDocBase.h"
#include "platform/Sync.h"

VX_IMPLEMENT_CLASS(CTrack, CObject);

namespace {

CCriticalSection* ListSectionOf(CSongDocBase* doc) { return doc ? &doc->GetListSection() : nullptr; }

}  // namespace

CTrack::~CTrack() { DeleteAllBlocks(); }

int CTrack::SetInfo(const TrackInfo& info, int full) {
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    m_Info.Kind = info.Kind;
    m_Info.Port = info.Port;
    m_Info.Channel = info.Channel;
    m_Info.Reserved2 = info.Reserved2;
    m_Info.Transpose = info.Transpose;
    m_Info.StateFlag1 = info.StateFlag1;
    m_Info.StateFlag2 = info.StateFlag2;
    m_Info.Number = info.Number;
    m_Info.Name = info.Name;
    if (full) {
        m_Info.Transposable = info.Transposable;
        m_Info.Ext = info.Ext;
    }
    return 1;
}

POSITION CTrack::AddBlock(CBlock* block) {
    if (!block) return nullptr;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    const INT64 start = block->GetInfo().Start;
    POSITION pos = m_BlockList.GetTailPosition();
    try {
        while (pos) {
            POSITION at = pos;
            if (m_BlockList.GetPrev(pos)->GetInfo().Start <= start) return m_BlockList.InsertAfter(at, block);
        }
        return m_BlockList.AddHead(block);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

POSITION CTrack::AddBlockHead(CBlock* block) {
    if (!block) return nullptr;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    try {
        return m_BlockList.AddHead(block);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

POSITION CTrack::InsertBlockAfter(POSITION after, CBlock* block) {
    if (!block) return nullptr;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    try {
        return m_BlockList.InsertAfter(after, block);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int CTrack::RemoveBlock(POSITION pos) {
    if (!pos) return 0;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    m_BlockList.RemoveAt(pos);
    return 1;
}

void CTrack::DeleteAllBlocks() {
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    while (!m_BlockList.IsEmpty()) delete m_BlockList.RemoveHead();
}

int CTrack::NewBlock(CBlock** block) {
    if (!block) return 0;
    *block = new (std::nothrow) CBlock(m_pDoc);
    return *block ? 1 : 0;
}
