#pragma once
// A block of a track: a time-ordered list of song events, or a link block that
// shows the events of another block.
#include <atomic>
#include <vector>

#include "host/PositionSet.h"
#include "host/SongEvent.h"
#include "platform/Collections.h"
#include "platform/String.h"

class CSongDocBase;

enum : LONG {
    BLOCK_KIND_PLAIN = 2,
    BLOCK_KIND_LINK = 4,  // holds no events; shows the block at (RefTrack, RefBlock)
};

struct BlockInfo {
    LONG Kind = BLOCK_KIND_PLAIN;
    INT64 Start = 0;  // start tick in the song
    INT64 End = 0;    // end tick (absolute, not a length)
    LONG StateFlag = 0;
    POSITION RefTrack = nullptr;  // link block: the track holding the block shown
    POSITION RefBlock = nullptr;  // link block: the block shown
    CString Name;
    DWORD Color = 0xCDCDCD;
};

using CSongEventList = CTypedPtrList<CObList, CSongEvent*>;

class CBlock : public CObject {
    VX_DECLARE_CLASS(CBlock)
public:
    CBlock() = default;
    explicit CBlock(CSongDocBase* doc) : m_pDoc(doc) {}
    ~CBlock() override;  // deletes its events
    CBlock(const CBlock&) = delete;
    CBlock& operator=(const CBlock&) = delete;

    CSongDocBase* GetDoc() const { return m_pDoc; }
    void SetDoc(CSongDocBase* doc) { m_pDoc = doc; }
    const BlockInfo& GetInfo() const { return m_Info; }
    bool IsLink() const { return m_Info.Kind == BLOCK_KIND_LINK; }
    // Copies Kind through RefBlock and Name; Color only with the flag.
    void SetInfo(const BlockInfo& info, int withColor);

    // The block's own events in time order (a link block's list is empty).
    const CSongEventList& GetEventList() const { return m_EventList; }
    int GetEventCount() const { return m_EventList.GetCount(); }

    // Inserts after the last event whose Time is not later, so events of equal
    // time keep their order of insertion. Null for a link block, a null event
    // or no memory; the event then stays the caller's.
    POSITION InsertEvent(CSongEvent* event);
    POSITION AddEventHead(CSongEvent* event);
    // Null also when `after` is not one of the block's events.
    POSITION InsertEventAfter(POSITION after, CSongEvent* event);
    // Takes `events` (none null, in time order, none earlier than the block's
    // last event) to the end of the block, which then owns them. A song
    // being read hands each block its events at once, and the block learns
    // their positions only when first asked about one. False, with nothing
    // taken, for a link block or no memory.
    bool AppendEvents(const std::vector<CSongEvent*>& events);
    // Takes the event out of the list without deleting it; 0 for a position
    // that is not one of the block's events.
    int RemoveEvent(POSITION pos);
    // True when pos is the position of one of the block's own events now: a
    // position handed out earlier may have been removed, or belong to another
    // block. Constant time, whatever the size of the block.
    bool HoldsEvent(POSITION pos) const;
    void DeleteAllEvents();
    // A new, empty event that is not yet in the list (the caller owns it); 0 for no memory.
    int NewEvent(CSongEvent** event);

    // The latest of Time and Time + GetDuration over the events; 0 when empty.
    INT64 GetEndTime() const;

    // The record's fields in declaration order, the events, then the further
    // attributes. A link block's references go out as the index of the track
    // in the song and of the block in that track (-1 when the block is not
    // bound to a song that holds them) and come back in the form a song being
    // installed resolves. A load that runs short fails the archive and leaves
    // the block as it was.
    void Serialize(CArchive& ar) override;

private:
    // Records a position just added to the list; on failure takes it out again (null).
    POSITION Register(POSITION pos);
    // Fills the position set from the list when events were appended without
    // it; false when it cannot be had (no memory).
    bool KnowPositions() const;
    void Store(CArchive& ar) const;
    void Load(CArchive& ar);

    CSongDocBase* m_pDoc = nullptr;  // not owned
    BlockInfo m_Info;
    CSongEventList m_EventList;  // owns its events
    // The positions of m_EventList; not yet filled while m_PositionsPending
    // (AppendEvents), and then filled, under the list lock, when first needed.
    mutable CPositionSet m_EventPositions;
    mutable std::atomic<bool> m_PositionsPending{false};
    // Further block attributes: carried, never interpreted here.
    LONG m_Extra1[2] = {};
    CString m_ExtraText;
    LONG m_Extra2[7] = {};
};
