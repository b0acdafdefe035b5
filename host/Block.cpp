#include "host/Block.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "host/SongDocBase.h"
#include "platform/Archive.h"
#include "platform/Sync.h"

VX_IMPLEMENT_CLASS(CBlock, CObject);

namespace {

// List edits of a bound block are serialised by the document's list section.
CCriticalSection* ListSectionOf(CSongDocBase* doc) { return doc ? &doc->GetListSection() : nullptr; }

// The 0-based index of a position in a list, -1 when it is not there.
template <class List>
LONG IndexIn(const List& list, POSITION wanted) {
    LONG index = 0;
    for (POSITION pos = list.GetHeadPosition(); pos; list.GetNext(pos), ++index)
        if (pos == wanted) return index;
    return -1;
}

// An index in the form a song being installed turns into a position; a
// missing one in a form it turns into none.
POSITION IndexForm(LONG index) { return reinterpret_cast<POSITION>(index >= 0 ? uintptr_t(index) : UINTPTR_MAX); }

}  // namespace

CBlock::~CBlock() {
    // Nothing else can reach a block being destroyed: its events go without
    // the document's list section.
    while (!m_EventList.IsEmpty()) delete m_EventList.RemoveHead();
}

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
    // Positions still to be learnt are learnt with this one.
    if (m_PositionsPending.load(std::memory_order_relaxed)) return pos;
    try {
        m_EventPositions.Insert(pos);
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

bool CBlock::KnowPositions() const {
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    if (!m_PositionsPending.load(std::memory_order_relaxed)) return true;
    try {
        m_EventPositions.Clear();
        m_EventPositions.Reserve(size_t(m_EventList.GetCount()));
        for (POSITION pos = m_EventList.GetHeadPosition(); pos; m_EventList.GetNext(pos)) m_EventPositions.Insert(pos);
    } catch (const std::bad_alloc&) {
        m_EventPositions.Clear();
        return false;
    }
    m_PositionsPending.store(false, std::memory_order_release);
    return true;
}

bool CBlock::HoldsEvent(POSITION pos) const {
    if (m_PositionsPending.load(std::memory_order_acquire) && !KnowPositions()) return false;
    return m_EventPositions.Contains(pos);
}

bool CBlock::AppendEvents(const std::vector<CSongEvent*>& events) {
    if (IsLink()) return false;
    if (events.empty()) return true;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    INT64 last = m_EventList.IsEmpty() ? INT64_MIN : m_EventList.GetTail()->GetTime();
    for (const CSongEvent* e : events) {
        if (!e || e->GetTime() < last) return false;
        last = e->GetTime();
    }
    size_t added = 0;
    try {
        for (CSongEvent* e : events) {
            m_EventList.AddTail(e);
            ++added;
        }
    } catch (const std::bad_alloc&) {
        while (added-- > 0) m_EventList.RemoveTail();
        return false;
    }
    m_PositionsPending.store(true, std::memory_order_release);
    return true;
}

int CBlock::RemoveEvent(POSITION pos) {
    if (!HoldsEvent(pos)) return 0;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    // The position leaves the live set before its node is freed.
    m_EventPositions.Erase(pos);
    m_EventList.RemoveAt(pos);
    return 1;
}

void CBlock::DeleteAllEvents() {
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    while (!m_EventList.IsEmpty()) delete m_EventList.RemoveHead();
    m_EventPositions.Clear();
    m_PositionsPending.store(false, std::memory_order_release);
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

// ------------------------------------------------------------ archive

void CBlock::Store(CArchive& ar) const {
    LONG refTrack = -1, refBlock = -1;
    if (IsLink() && m_pDoc) {
        const CTrackList& tracks = m_pDoc->GetTrackList();
        refTrack = IndexIn(tracks, m_Info.RefTrack);
        if (refTrack >= 0) refBlock = IndexIn(tracks.GetAt(m_Info.RefTrack)->GetBlockList(), m_Info.RefBlock);
        if (refBlock < 0) refTrack = -1;
    }
    ar.WriteDWORD(DWORD(m_Info.Kind));
    ar.WriteQWORD(uint64_t(m_Info.Start));
    ar.WriteQWORD(uint64_t(m_Info.End));
    ar.WriteDWORD(DWORD(m_Info.StateFlag));
    ar.WriteDWORD(DWORD(refTrack));
    ar.WriteDWORD(DWORD(refBlock));
    ar.WriteString(m_Info.Name);
    ar.WriteDWORD(m_Info.Color);
    ar.WriteDWORD(DWORD(m_EventList.GetCount()));
    for (POSITION pos = m_EventList.GetHeadPosition(); pos;) m_EventList.GetNext(pos)->Serialize(ar);
    for (LONG word : m_Extra1) ar.WriteLONG(word);
    ar.WriteString(m_ExtraText);
    for (LONG word : m_Extra2) ar.WriteLONG(word);
}

void CBlock::Load(CArchive& ar) {
    BlockInfo info;
    DWORD kind = 0, state = 0, refTrack = 0, refBlock = 0, count = 0;
    uint64_t start = 0, end = 0;
    bool ok = ar.ReadDWORD(kind) && ar.ReadQWORD(start) && ar.ReadQWORD(end) && ar.ReadDWORD(state) &&
              ar.ReadDWORD(refTrack) && ar.ReadDWORD(refBlock) && ar.ReadString(info.Name) &&
              ar.ReadDWORD(info.Color) && ar.ReadDWORD(count);
    info.Kind = LONG(kind);
    info.Start = INT64(start);
    info.End = INT64(end);
    info.StateFlag = LONG(state);
    if (info.Kind == BLOCK_KIND_LINK) {
        info.RefTrack = IndexForm(LONG(refTrack));
        info.RefBlock = IndexForm(LONG(refBlock));
    }
    // A link block shows another block's events and holds none of its own.
    ok = ok && (info.Kind != BLOCK_KIND_LINK || count == 0);
    std::vector<std::unique_ptr<CSongEvent>> events;
    ok = ok && ReadObjects(ar, count, events, [] { return std::make_unique<CSongEvent>(); });
    LONG extra1[2] = {}, extra2[7] = {};
    CString extraText;
    for (LONG& word : extra1) ok = ok && ar.ReadLONG(word);
    ok = ok && ar.ReadString(extraText);
    for (LONG& word : extra2) ok = ok && ar.ReadLONG(word);
    if (!ok) {
        ar.SetFailed();
        return;
    }

    DeleteAllEvents();
    SetInfo(info, 1);
    if (!AdoptAll(events, [this](CSongEvent* e) { return InsertEvent(e) != nullptr; })) ar.SetFailed();
    std::copy(std::begin(extra1), std::end(extra1), m_Extra1);
    m_ExtraText = extraText;
    std::copy(std::begin(extra2), std::end(extra2), m_Extra2);
}

void CBlock::Serialize(CArchive& ar) {
    StoreOrLoad(ar, [&] { Store(ar); }, [&] { Load(ar); });
}
