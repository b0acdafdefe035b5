#include "host/Undo.h"

#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

#include "host/FixedPool.h"

VX_IMPLEMENT_CLASS(CUndoObj, CObject);
VX_IMPLEMENT_CLASS(CUndo, CObject);

namespace {

CClassPool& ItemPool() {
    static CClassPool* const pool = new CClassPool(sizeof(CUndoObj));
    return *pool;
}

// Fibonacci hashing of an address (whose low bits are always zero).
size_t SlotOfEvent(uintptr_t key, size_t mask) {
    return size_t(((uint64_t(key) >> 3) * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

// The position lists and maps that were asked for, by item. It lives as long
// as the process, like the items' pool.
struct ItemExtra {
    CPtrList PosList;
    VxMap<void*, void*> PosMap;
};

struct ItemExtras {
    std::mutex Lock;
    std::unordered_map<const CUndoObj*, std::unique_ptr<ItemExtra>> Map;
};

ItemExtras& Extras() {
    static ItemExtras* const extras = new ItemExtras();
    return *extras;
}

ItemExtra& ExtraOf(const CUndoObj* item) {
    ItemExtras& extras = Extras();
    std::lock_guard<std::mutex> lock(extras.Lock);
    std::unique_ptr<ItemExtra>& extra = extras.Map[item];
    if (!extra) extra.reset(new ItemExtra());
    return *extra;
}

}  // namespace

void* CUndoObj::operator new(size_t size) { return ItemPool().New(size); }

void* CUndoObj::operator new(size_t size, const std::nothrow_t&) noexcept {
    return ItemPool().New(size, std::nothrow);
}

void CUndoObj::operator delete(void* p, const std::nothrow_t&) noexcept { ItemPool().Delete(p); }

void CUndoObj::operator delete(void* p, size_t size) noexcept { ItemPool().Delete(p, size); }

CUndoObj::~CUndoObj() {
    delete GetEventCopy();
    if (m_HasExtra) {
        ItemExtras& extras = Extras();
        std::lock_guard<std::mutex> lock(extras.Lock);
        extras.Map.erase(this);
    }
}

const CSongEvent* CUndoObj::GetEventCopy() const {
    return HoldsEventCopy(Kind) ? reinterpret_cast<const CSongEvent*>(W5) : nullptr;
}


// An item is a vtable, a kind and six words: 64 bytes.
static_assert(sizeof(CUndoObj) <= 64, "an undo item grew");

CPtrList& CUndoObj::GetPosList() {
    ItemExtra& extra = ExtraOf(this);
    m_HasExtra = true;
    return extra.PosList;
}

VxMap<void*, void*>& CUndoObj::GetPosMap() {
    ItemExtra& extra = ExtraOf(this);
    m_HasExtra = true;
    return extra.PosMap;
}

// ------------------------------------------------------------ event references

size_t CUndoEventRefs::Find(uintptr_t event) const {
    const size_t mask = m_Slots.size() - 1;
    size_t slot = SlotOfEvent(event, mask);
    while (m_Slots[slot].event != 0 && m_Slots[slot].event != event) slot = (slot + 1) & mask;
    return slot;
}

void CUndoEventRefs::Grow() {
    std::vector<Slot> slots(m_Slots.empty() ? 16 : m_Slots.size() * 2, Slot{0, kNone, kNone});
    slots.swap(m_Slots);  // may throw before anything changed
    const size_t mask = m_Slots.size() - 1;
    for (const Slot& s : slots) {
        if (s.event == 0) continue;
        size_t slot = SlotOfEvent(s.event, mask);
        while (m_Slots[slot].event != 0) slot = (slot + 1) & mask;
        m_Slots[slot] = s;
    }
}

void CUndoEventRefs::EraseSlot(size_t slot) {
    // Linear probing: the slots after the erased one that would no longer be
    // found move back into the gap.
    const size_t mask = m_Slots.size() - 1;
    size_t gap = slot;
    for (size_t next = (gap + 1) & mask; m_Slots[next].event != 0; next = (next + 1) & mask) {
        const size_t home = SlotOfEvent(m_Slots[next].event, mask);
        // Moves back unless its home lies cyclically in (gap, next].
        const bool stays = gap <= next ? (gap < home && home <= next) : (gap < home || home <= next);
        if (stays) continue;
        m_Slots[gap] = m_Slots[next];
        gap = next;
    }
    m_Slots[gap] = Slot{0, kNone, kNone};
    --m_Live;
}

void CUndoEventRefs::Attach(uintptr_t event, int32_t head, int32_t tail) {
    if ((m_Live + 1) * 2 > m_Slots.size()) Grow();
    const size_t slot = Find(event);
    Slot& s = m_Slots[slot];
    if (s.event == event) {
        m_Entries[size_t(s.tail)].next = head;
        s.tail = tail;
        return;
    }
    s = Slot{event, head, tail};
    ++m_Live;
}

void CUndoEventRefs::Add(POSITION event, POSITION item) {
    if (m_Entries.size() >= size_t(INT32_MAX)) throw std::bad_alloc();
    if ((m_Live + 1) * 2 > m_Slots.size()) Grow();
    const int32_t entry = int32_t(m_Entries.size());
    m_Entries.push_back(Entry{item, kNone});
    Attach(KeyOf(event), entry, entry);  // the table has room: nothing throws
}

void CUndoEventRefs::DropLast(POSITION event, POSITION item) {
    const uintptr_t key = KeyOf(event);
    if (m_Slots.empty() || m_Entries.empty() || m_Entries.back().item != item) return;
    const int32_t last = int32_t(m_Entries.size() - 1);
    const size_t slot = Find(key);
    Slot& s = m_Slots[slot];
    if (s.event != key || s.tail != last) return;
    if (s.head == last) {
        EraseSlot(slot);
    } else {
        int32_t before = s.head;
        while (m_Entries[size_t(before)].next != last) before = m_Entries[size_t(before)].next;
        m_Entries[size_t(before)].next = kNone;
        s.tail = before;
    }
    m_Entries.pop_back();
}

std::vector<POSITION> CUndoEventRefs::Get(POSITION event) const {
    std::vector<POSITION> items;
    const uintptr_t key = KeyOf(event);
    if (m_Slots.empty()) return items;
    const size_t slot = Find(key);
    if (m_Slots[slot].event != key) return items;
    for (int32_t e = m_Slots[slot].head; e != kNone; e = m_Entries[size_t(e)].next) items.push_back(m_Entries[size_t(e)].item);
    return items;
}

// ------------------------------------------------------------ records

CUndo::~CUndo() {
    while (!m_Items.IsEmpty()) delete m_Items.RemoveHead();
}

POSITION CUndo::AddItem(LONG kind, const UndoWords& words) {
    std::unique_ptr<CUndoObj> item(new (std::nothrow) CUndoObj(kind, words));
    if (!item) return nullptr;
    POSITION pos = nullptr;
    try {
        pos = m_Items.AddTail(item.get());
    } catch (const std::bad_alloc&) {
        item->W5 = 0;  // the copy stays the caller's
        return nullptr;
    }
    item.release();
    if (IsEventUndoKind(kind)) {
        try {
            RecordEventPosition(WordPos(words.W3), pos);
        } catch (const std::bad_alloc&) {
            CUndoObj* added = m_Items.RemoveTail();
            added->W5 = 0;
            delete added;
            return nullptr;
        }
    }
    return pos;
}

void CUndo::DropLastItem() {
    if (m_Items.IsEmpty()) return;
    POSITION last = m_Items.GetTailPosition();
    CUndoObj* item = m_Items.GetAt(last);
    if (IsEventUndoKind(item->Kind)) {
        if (!m_Pending.empty() && m_Pending.back().first == PosWord(last)) {
            m_Pending.pop_back();  // never filed
        } else {
            Resolve();
            m_EventRefs.DropLast(WordPos(item->W3), last);
        }
    }
    m_Items.RemoveTail();
    delete item;
}

void CUndo::RecordEventPosition(POSITION event, POSITION item) {
    m_Pending.push_back(PendingRef{PosWord(item), PosWord(event)});
}

std::vector<POSITION> CUndo::GetEventRefs(POSITION event) const {
    Resolve();
    return m_EventRefs.Get(event);
}

void CUndo::MoveEventRefs(POSITION from, POSITION to) const {
    // A stale chain under the new position (a reused list node) is joined, not lost.
    m_EventRefs.Move(from, to, [&](POSITION itemPos) {
        CUndoObj* item = m_Items.GetAt(itemPos);
        if (IsEventUndoKind(item->Kind) && item->W3 == PosWord(from)) item->W3 = PosWord(to);
    });
}

void CUndo::Resolve() const {
    if (m_Pending.empty()) return;
    size_t done = 0;
    try {
        for (; done < m_Pending.size(); ++done) {
            const PendingRef& ref = m_Pending[done];
            if (ref.first & kMoveTag) MoveEventRefs(WordPos(ref.first & ~kMoveTag), WordPos(ref.second));
            else m_EventRefs.Add(WordPos(ref.second), WordPos(ref.first));
        }
    } catch (const std::bad_alloc&) {
        // No memory for the index: the items still follow every move (by a
        // walk over them all), only the index to them is lost, as when filing
        // an item at once runs out of memory.
        // A move reaches only the items filed before it: the walk stops at
        // the item of the next filing still to come.
        size_t nextFiling = done;
        for (; done < m_Pending.size(); ++done) {
            const PendingRef& ref = m_Pending[done];
            if (!(ref.first & kMoveTag)) continue;
            if (nextFiling <= done) {
                nextFiling = done + 1;
                while (nextFiling < m_Pending.size() && (m_Pending[nextFiling].first & kMoveTag)) ++nextFiling;
            }
            const POSITION stop = nextFiling < m_Pending.size() ? WordPos(m_Pending[nextFiling].first) : nullptr;
            const UndoWord from = ref.first & ~kMoveTag;
            for (POSITION pos = m_Items.GetHeadPosition(); pos && pos != stop;) {
                CUndoObj* item = m_Items.GetNext(pos);
                if (IsEventUndoKind(item->Kind) && item->W3 == from) item->W3 = ref.second;
            }
        }
    }
    m_Pending.clear();
}

void CUndo::RemapTrack(POSITION from, POSITION to) {
    const UndoWord f = PosWord(from), t = PosWord(to);
    for (POSITION pos = m_Items.GetHeadPosition(); pos;) {
        CUndoObj* item = m_Items.GetNext(pos);
        if (IsTrackUndoKind(item->Kind) || IsEventUndoKind(item->Kind)) {
            if (item->W1 == f) item->W1 = t;
        } else if (IsBlockUndoKind(item->Kind)) {
            if (item->W1 == f) item->W1 = t;
            if (item->W3 == f) item->W3 = t;
        }
    }
}

void CUndo::RemapBlock(POSITION from, POSITION to) {
    const UndoWord f = PosWord(from), t = PosWord(to);
    for (POSITION pos = m_Items.GetHeadPosition(); pos;) {
        CUndoObj* item = m_Items.GetNext(pos);
        if (IsBlockUndoKind(item->Kind)) {
            if (item->W2 == f) item->W2 = t;
            if (item->W4 == f) item->W4 = t;
        } else if (IsEventUndoKind(item->Kind)) {
            if (item->W2 == f) item->W2 = t;
        }
    }
}

void CUndo::RemapEvent(POSITION from, POSITION to) {
    if (from == to) return;
    try {
        m_Pending.push_back(PendingRef{PosWord(from) | kMoveTag, PosWord(to)});
    } catch (const std::bad_alloc&) {
        Resolve();
        MoveEventRefs(from, to);
    }
}
