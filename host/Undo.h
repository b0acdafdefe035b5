#pragma once
// Undo records of the song document: one CUndo per outermost undo step, each
// a list of items (CUndoObj) that describe the step's edits in order. Nothing
// replays them; they are the log of every edit and own the copies of events
// as they were before a replacement.
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "host/SongEvent.h"
#include "platform/Collections.h"
#include "platform/String.h"

// Item kinds: the edit that recorded the item.
enum : LONG {
    UNDO_INSERT_TRACK = 100,   // W1 track, W2 index
    UNDO_REMOVE_TRACK = 101,   // W1 track, W2 index
    UNDO_MOVE_TRACK = 102,     // W1 new track position, W2 old index
    UNDO_INSERT_BLOCK = 201,   // W1 track, W2 block, W3 RefTrack, W4 RefBlock, W5 track kind
    UNDO_REMOVE_BLOCK = 202,   // as 201
    UNDO_MOVE_BLOCK = 203,     // W1 old track, W2 old block, W3 new track, W4 new block, W5 new track's kind, W6 old Start
    UNDO_UNLINK_BLOCK = 206,   // W1 track, W2 block, W3 old RefTrack, W4 old RefBlock
    UNDO_BLOCK_END = 207,      // W1 track, W2 block, W3 RefTrack, W4 RefBlock, W6 old End
    UNDO_INSERT_EVENT = 300,   // W1 track, W2 block, W3 event
    UNDO_REMOVE_EVENT = 301,   // as 300
    UNDO_MOVE_EVENT = 302,     // W1 track, W2 block, W3 event, W4 old Time, W5 copy of the old event (owned)
    UNDO_CHANGE_EVENT = 303,   // as 302, the time unchanged
};

// A word of an item: a list position, an index, a kind, a time or an owned
// event copy, whichever the kind says. Pointer-wide so that positions fit.
using UndoWord = uintptr_t;

inline UndoWord PosWord(POSITION pos) { return reinterpret_cast<UndoWord>(pos); }
inline POSITION WordPos(UndoWord word) { return reinterpret_cast<POSITION>(word); }
inline UndoWord TimeWord(INT64 time) { return UndoWord(time); }
inline INT64 WordTime(UndoWord word) { return INT64(word); }

inline bool IsTrackUndoKind(LONG kind) { return kind >= UNDO_INSERT_TRACK && kind <= UNDO_MOVE_TRACK; }
inline bool IsBlockUndoKind(LONG kind) { return kind >= UNDO_INSERT_BLOCK && kind <= UNDO_BLOCK_END; }
inline bool IsEventUndoKind(LONG kind) { return kind >= UNDO_INSERT_EVENT && kind <= UNDO_CHANGE_EVENT; }
inline bool HoldsEventCopy(LONG kind) { return kind == UNDO_MOVE_EVENT || kind == UNDO_CHANGE_EVENT; }

struct UndoWords {
    UndoWord W1 = 0, W2 = 0, W3 = 0, W4 = 0, W5 = 0, W6 = 0;
};

class CUndoObj : public CObject {
    VX_DECLARE_CLASS(CUndoObj)
public:
    CUndoObj(LONG kind, const UndoWords& words) : Kind(kind), W1(words.W1), W2(words.W2), W3(words.W3), W4(words.W4), W5(words.W5), W6(words.W6) {}
    ~CUndoObj() override;  // deletes the event copy of kinds 302 and 303
    CUndoObj(const CUndoObj&) = delete;
    CUndoObj& operator=(const CUndoObj&) = delete;

    // A conversion records an item per edited event and keeps them until the
    // next song: they come from a pool of their own (a class derived from
    // this one uses the heap).
    static void* operator new(size_t size);
    static void* operator new(size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* p, size_t size) noexcept;
    static void operator delete(void* p, const std::nothrow_t&) noexcept;

    // The copy of the event as it was before a replacement; null for other kinds.
    const CSongEvent* GetEventCopy() const;

    // Kept for the record's full form; nothing fills them, so they are made
    // only when asked for, and kept beside the item, not in it (throws
    // std::bad_alloc when memory runs out).
    CPtrList& GetPosList();
    VxMap<void*, void*>& GetPosMap();

    LONG Kind;

private:
    bool m_HasExtra = false;  // the position list and map were asked for

public:
    UndoWord W1, W2, W3, W4, W5, W6;
};

using CUndoObjList = CTypedPtrList<CObList, CUndoObj*>;

// The items of a record filed under the event they name: for each event a
// chain of entries in the order the items were added. One open-addressed
// table and one array, so that filing an item allocates nothing of its own.
class CUndoEventRefs {
public:
    // Files `item` last under `event`; throws std::bad_alloc (nothing filed).
    void Add(POSITION event, POSITION item);
    // Takes back the entry Add made last, when it is `item` under `event`.
    void DropLast(POSITION event, POSITION item);
    // The items filed under `event`, in order.
    std::vector<POSITION> Get(POSITION event) const;
    // Calls `visit` for each item filed under `from`, then files them under
    // `to`, after what `to` already holds.
    template <class Visit>
    void Move(POSITION from, POSITION to, Visit visit);
    size_t GetEventCount() const { return m_Live; }

private:
    static constexpr int32_t kNone = -1;
    // Node addresses are never 1.
    static constexpr uintptr_t kNullEvent = 1;
    static uintptr_t KeyOf(POSITION event) { return event ? reinterpret_cast<uintptr_t>(event) : kNullEvent; }
    struct Entry {
        POSITION item;
        int32_t next;  // the event's next entry, kNone at the chain's end
    };
    struct Slot {
        uintptr_t event;  // 0: free; a null event is filed under kNullEvent
        int32_t head;
        int32_t tail;
    };
    // The slot holding `event`, or the free slot where its probe ends.
    size_t Find(uintptr_t event) const;
    void Grow();
    void EraseSlot(size_t slot);
    // Puts a chain under `event` (appended to its own when it has one); never grows the table
    // when a slot was just erased.
    void Attach(uintptr_t event, int32_t head, int32_t tail);

    std::vector<Entry> m_Entries;
    std::vector<Slot> m_Slots;  // a power of two in size, at most half used
    size_t m_Live = 0;
};

template <class Visit>
void CUndoEventRefs::Move(POSITION from, POSITION to, Visit visit) {
    const uintptr_t key = KeyOf(from);
    if (from == to || m_Slots.empty()) return;
    const size_t slot = Find(key);
    if (m_Slots[slot].event != key) return;
    const int32_t head = m_Slots[slot].head, tail = m_Slots[slot].tail;
    EraseSlot(slot);
    for (int32_t e = head; e != kNone; e = m_Entries[size_t(e)].next) visit(m_Entries[size_t(e)].item);
    Attach(KeyOf(to), head, tail);
}

class CUndo : public CObject {
    VX_DECLARE_CLASS(CUndo)
public:
    explicit CUndo(const CString& name) : m_Name(name) {}
    ~CUndo() override;  // deletes its items
    CUndo(const CUndo&) = delete;
    CUndo& operator=(const CUndo&) = delete;

    const CString& GetName() const { return m_Name; }
    // The items with every event position brought up to date.
    const CUndoObjList& GetItems() const {
        Resolve();
        return m_Items;
    }
    int GetItemCount() const { return m_Items.GetCount(); }

    // Appends an item and, for the event kinds, files it under its event (W3).
    // The item owns an event copy in W5 only once this succeeds; null, and
    // nothing kept, when memory runs out.
    POSITION AddItem(LONG kind, const UndoWords& words);
    // Takes back the last item (an edit that could not finish after recording it).
    void DropLastItem();

    // Positions of the items filed under an event, in the order they were added.
    std::vector<POSITION> GetEventRefs(POSITION event) const;
    // How many events have items filed under them.
    size_t GetEventRefCount() const {
        Resolve();
        return m_EventRefs.GetEventCount();
    }

    // Make the items follow an object that got a new position.
    void RemapTrack(POSITION from, POSITION to);
    void RemapBlock(POSITION from, POSITION to);
    void RemapEvent(POSITION from, POSITION to);

private:
    void RecordEventPosition(POSITION event, POSITION item);
    // Files the items and makes the moves still waiting, in the order they came.
    void Resolve() const;
    void MoveEventRefs(POSITION from, POSITION to) const;

    // An event item to file (the item's position, its event) or an event's
    // move (its old position tagged in the low bit, its new one). A
    // conversion edits thousands of events and nothing reads the records in
    // the meantime: the filing and the moves wait in this log, in order,
    // until the items or their index are asked for.
    struct PendingRef {
        uintptr_t first;
        uintptr_t second;
    };
    static constexpr uintptr_t kMoveTag = 1;
    // The log in chunks that never move: it grows without a second copy of itself.
    class PendingLog {
    public:
        bool empty() const { return m_Count == 0; }
        size_t size() const { return m_Count; }
        const PendingRef& operator[](size_t i) const { return m_Chunks[i >> kChunkBits][i & (kChunkSize - 1)]; }
        const PendingRef& back() const { return (*this)[m_Count - 1]; }
        void pop_back() { --m_Count; }
        // Throws std::bad_alloc (nothing added).
        void push_back(const PendingRef& ref) {
            if (m_Count == m_Chunks.size() * kChunkSize) {
                std::unique_ptr<PendingRef[]> chunk(new PendingRef[kChunkSize]);
                m_Chunks.push_back(std::move(chunk));
            }
            m_Chunks[m_Count >> kChunkBits][m_Count & (kChunkSize - 1)] = ref;
            ++m_Count;
        }
        void clear() {
            m_Chunks.clear();
            m_Count = 0;
        }

    private:
        static constexpr int kChunkBits = 12;
        static constexpr size_t kChunkSize = size_t(1) << kChunkBits;
        std::vector<std::unique_ptr<PendingRef[]>> m_Chunks;
        size_t m_Count = 0;
    };

    CString m_Name;
    CUndoObjList m_Items;  // owns its items
    mutable CUndoEventRefs m_EventRefs;  // event -> items naming it, up to the log
    mutable PendingLog m_Pending;
};
