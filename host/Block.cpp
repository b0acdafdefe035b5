#include "host/Block.h"

#include <algorithm>
#include <new>

#include "host/SongDocBase.h"
#include "platform/Sync.h"

VX_IMPLEMENT_CLASS(CBlock, CObject);

namespace {

// List edits of a bound block are serialised by the document's list section.
CCriticalSection* ListSectionOf(CSongDocBase* doc) { return doc ? &doc->GetListSection() : nullptr; }

}  // namespace

CBlock::~CBlock() { DeleteAllEvents(); }

void CBlock::SetInfo(const BlockInfo& info, int withColor) {
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    m_Info.Kind = info.Kind;
    m_Info.Start = info.Start;
    m_Info.End = info.End;
    m_Info.StateFlag = info.StateFlag;
    m_Info.RefTrack = info.RefTrack;
    m_Info.RefBlock = info.RefBlock;
    m_Info.Name = info.Name;
    if (withColor) m_Info.Color = info.Color;
}

POSITION CBlock::Register(POSITION pos) {
    try {
        m_EventPositions.insert(pos);
        return pos;
    } catch (const std::bad_alloc&) {
        m_EventList.RemoveAt(pos);
        return nullptr;
    }
}

POSITION CBlock::InsertEvent(CSongEvent* event) {
    if (!event || IsLink()) return nullptr;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    const INT64 time = event->GetTime();
    POSITION pos = m_EventList.GetTailPosition();
    try {
        while (pos) {
            POSITION at = pos;
            if (m_EventList.GetPrev(pos)->GetTime() <= time) return Register(m_EventList.InsertAfter(at, event));
        }
        return Register(m_EventList.AddHead(event));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

POSITION CBlock::AddEventHead(CSongEvent* event) {
    if (!event) return nullptr;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    try {
        return Register(m_EventList.AddHead(event));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

POSITION CBlock::InsertEventAfter(POSITION after, CSongEvent* event) {
    if (!event || !HoldsEvent(after)) return nullptr;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    try {
        return Register(m_EventList.InsertAfter(after, event));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int CBlock::RemoveEvent(POSITION pos) {
    if (!HoldsEvent(pos)) return 0;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    m_EventList.RemoveAt(pos);
    m_EventPositions.erase(pos);
    return 1;
}

void CBlock::DeleteAllEvents() {
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    while (!m_EventList.IsEmpty()) delete m_EventList.RemoveHead();
    m_EventPositions.clear();
}

int CBlock::NewEvent(CSongEvent** event) {
    if (!event) return 0;
    *event = new (std::nothrow) CSongEvent();
    return *event ? 1 : 0;
}

INT64 CBlock::GetEndTime() const {
    INT64 end = 0;
    for (POSITION pos = m_EventList.GetHeadPosition(); pos;) {
        const CSongEvent* e = m_EventList.GetNext(pos);
        end = std::max({end, e->GetTime(), AddSongTime(e->GetTime(), e->GetDuration())});
    }
    return end;
}
