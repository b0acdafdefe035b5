// Track and block edits of the song document. Each needs an open undo step,
// records what it did, keeps removed objects alive in the side lists and
// makes every stored position (undo items, selections, link blocks) follow an
// object that moves.
#include <algorithm>
#include <memory>
#include <new>

#include "host/PhrasorDoc.h"
#include "platform/Messages.h"

namespace {

// The text a block takes when it is given an empty name.
constexpr UINT IDS_DEFAULT_BLOCK_NAME = 3037;

bool SameExtended(const TrackInfo& a, const TrackInfo& b) {
    const TrackExtInfo& x = a.Ext;
    const TrackExtInfo& y = b.Ext;
    return a.Transposable == b.Transposable && x.Ext1 == y.Ext1 && x.Ext2 == y.Ext2 && x.Ext3 == y.Ext3 &&
           x.SubValue1 == y.SubValue1 && x.SubValue2 == y.SubValue2 && x.SubText == y.SubText &&
           x.SubValue3 == y.SubValue3 && std::equal(std::begin(x.SubId), std::end(x.SubId), std::begin(y.SubId)) &&
           x.Ext64 == y.Ext64 && x.Ext4 == y.Ext4;
}

// Where a block starting at `start` goes in the list: after the last block
// (other than `skip`) whose start is not later; null for the head.
POSITION BlockInsertionPoint(const CBlockList& blocks, INT64 start, POSITION skip) {
    for (POSITION pos = blocks.GetTailPosition(); pos;) {
        POSITION at = pos;
        const CBlock* block = blocks.GetPrev(pos);
        if (at != skip && block->GetInfo().Start <= start) return at;
    }
    return nullptr;
}

template <class T, class List>
POSITION AddToSideList(List& list, T* object) {
    try {
        return list.AddTail(object);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

UndoWords Words(UndoWord w1, UndoWord w2, UndoWord w3 = 0, UndoWord w4 = 0, UndoWord w5 = 0, UndoWord w6 = 0) {
    UndoWords words;
    words.W1 = w1;
    words.W2 = w2;
    words.W3 = w3;
    words.W4 = w4;
    words.W5 = w5;
    words.W6 = w6;
    return words;
}

}  // namespace

// Protection keeps a track's existence, port and channel: MIDI tracks under
// bit 0, clip tracks too under mode 3.
bool CPhrasorDoc::IsTrackGuarded(LONG trackKind) const {
    if ((m_ProtectMode & 1) && trackKind == TRACK_KIND_MIDI) return true;
    return m_ProtectMode == 3 && trackKind == TRACK_KIND_CLIP;
}

// ------------------------------------------------------------ tracks

POSITION CPhrasorDoc::InsertTrack(const TrackInfo& info) {
    if (!CanEdit()) return nullptr;
    if (IsTrackGuarded(info.Kind)) {
        Refuse(EDIT_REFUSED_PROTECTED);
        return nullptr;
    }
    // Nothing goes before the conductor track.
    int index = std::max<LONG>(info.Number, 1);
    std::unique_ptr<CTrack> track;
    POSITION pos = nullptr;
    try {
        track.reset(new CTrack(this));
        track->SetInfo(info, 1);
        if (index < m_TrackList.GetCount()) {
            pos = m_TrackList.InsertBefore(m_TrackList.FindIndex(index), track.get());
        } else {
            index = m_TrackList.GetCount();
            pos = m_TrackList.AddTail(track.get());
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    CTrack* added = track.release();
    if (!AddUndoItem(UNDO_INSERT_TRACK, Words(PosWord(pos), UndoWord(index)))) {
        m_TrackList.RemoveAt(pos);
        delete added;
        return nullptr;
    }
    RenumberTracks();
    Notify(HINT_SONG_CHANGED, HINT_LEVEL_TRACK, HINT_CODE_INSERTED, pos);
    return pos;
}

int CPhrasorDoc::RemoveTrack(POSITION track) {
    if (!CanEdit()) return 0;
    CTrack* object = TrackAt(track);
    if (!object) return 0;
    if (IsTrackGuarded(object->GetInfo().Kind)) {
        Refuse(EDIT_REFUSED_PROTECTED);
        return 0;
    }
    const CBlockList& blocks = object->GetBlockList();
    for (POSITION pos = blocks.GetHeadPosition(); pos;) {
        POSITION blockPos = pos;
        const CBlock* block = blocks.GetNext(pos);
        if (block->IsLink() || !IsBlockReferenced(track, blockPos)) continue;
        m_EditFlags |= EDIT_LINKED_BLOCK_REMOVED;
        if (!RemoveLinkBlocks(track, blockPos, 1)) return 0;
    }
    const int index = TrackIndex(track);
    if (!AddUndoItem(UNDO_REMOVE_TRACK, Words(PosWord(track), UndoWord(index)))) return 0;
    POSITION side = AddToSideList(m_RemovedTracks, object);
    if (!side) {
        DropLastUndoItem();
        return 0;
    }
    // Everything that names the old node follows the track before the node goes.
    RemapTrackPosition(track, side);
    // Link blocks of the removed track that show its own blocks go with it.
    for (POSITION pos = blocks.GetHeadPosition(); pos;) {
        CBlock* block = blocks.GetNext(pos);
        if (block->IsLink() && block->GetInfo().RefTrack == track) {
            BlockInfo info = block->GetInfo();
            info.RefTrack = side;
            block->SetInfo(info, 1);
        }
    }
    if (m_CurrentTrack == track) m_CurrentTrack = nullptr;
    const UpdateHint hint = MakeHint(HINT_SONG_CHANGED, HINT_LEVEL_TRACK, HINT_CODE_REMOVED, track, nullptr, nullptr, side);
    m_TrackList.RemoveAt(track);
    RenumberTracks();
    ClearBlockSelection();
    ClearEventSelection();
    NotifyViews(hint);
    return 1;
}

POSITION CPhrasorDoc::MoveTrack(POSITION track, POSITION after) {
    if (!CanEdit()) return nullptr;
    if (m_ProtectMode & 2) {
        Refuse(EDIT_REFUSED_PROTECTED);
        return nullptr;
    }
    CTrack* object = TrackAt(track);
    if (!object || !TrackAt(after)) return nullptr;
    const int oldIndex = TrackIndex(track);
    POSITION moved = nullptr;
    try {
        moved = m_TrackList.InsertAfter(after, object);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (!AddUndoItem(UNDO_MOVE_TRACK, Words(PosWord(moved), UndoWord(oldIndex)))) {
        m_TrackList.RemoveAt(moved);
        return nullptr;
    }
    // Everything that names the old node follows the track before the node goes.
    FollowTrack(track, moved);
    const UpdateHint hint = MakeHint(HINT_SONG_CHANGED, HINT_LEVEL_TRACK, HINT_CODE_TRACK_MOVED, track, nullptr, nullptr, moved);
    m_TrackList.RemoveAt(track);
    RenumberTracks();
    NotifyViews(hint);
    return moved;
}

void CPhrasorDoc::FollowTrack(POSITION from, POSITION to) {
    RemapTrackPosition(from, to);
    for (POSITION t = m_TrackList.GetHeadPosition(); t;) {
        const CBlockList& blocks = m_TrackList.GetNext(t)->GetBlockList();
        for (POSITION b = blocks.GetHeadPosition(); b;) {
            CBlock* block = blocks.GetNext(b);
            if (!block->IsLink() || block->GetInfo().RefTrack != from) continue;
            BlockInfo info = block->GetInfo();
            info.RefTrack = to;
            block->SetInfo(info, 1);
        }
    }
    ReplaceTrackInBlocks(from, to);
    ReplaceTrackInEvents(from, to);
    if (m_CurrentTrack == from) m_CurrentTrack = to;
}

// Moves the track so that it ends up at the index: a track that moves down
// the list goes after the track now at that index, one that moves up goes
// before it.
POSITION CPhrasorDoc::MoveTrackToIndex(POSITION track, int index) {
    index = std::max(index, 1);  // nothing goes before the conductor track
    const int current = TrackIndex(track);
    if (current < 0) return nullptr;
    if (index == current) return track;
    POSITION after = m_TrackList.FindIndex(index < current ? index - 1 : index);
    return after ? MoveTrack(track, after) : nullptr;
}

POSITION CPhrasorDoc::ReplaceTrack(POSITION track, const TrackInfo& info, int full) {
    if (!CanEdit()) return nullptr;
    CTrack* object = TrackAt(track);
    if (!object) return nullptr;
    const TrackInfo old = object->GetInfo();
    TrackInfo next = info;
    DWORD code = 0;
    const bool guarded = IsTrackGuarded(old.Kind);
    auto compare = [&](auto& nextValue, const auto& oldValue, DWORD bit, bool refused) {
        if (nextValue == oldValue) return;
        if (refused) {
            Refuse(EDIT_REFUSED_PROTECTED);
            nextValue = oldValue;
        } else {
            code |= bit;
        }
    };
    compare(next.Kind, old.Kind, HINT_CHANGED_KIND, (m_ProtectMode & 3) != 0);
    compare(next.Port, old.Port, HINT_CHANGED_PORT_OR_START, guarded);
    compare(next.Channel, old.Channel, HINT_CHANGED_CHANNEL_OR_END, guarded);
    compare(next.Reserved2, old.Reserved2, HINT_CHANGED_RESERVED, false);
    compare(next.Transpose, old.Transpose, HINT_CHANGED_TRANSPOSE, false);
    compare(next.Name, old.Name, HINT_CHANGED_NAME, false);
    compare(next.StateFlag1, old.StateFlag1, HINT_CHANGED_STATE1, false);
    compare(next.StateFlag2, old.StateFlag2, HINT_CHANGED_STATE2, false);
    compare(next.Number, old.Number, HINT_CHANGED_NUMBER, (m_ProtectMode & 2) != 0);
    if (full && !SameExtended(next, old)) code |= HINT_CHANGED_EXTENDED;

    POSITION pos = track;
    if (code & HINT_CHANGED_NUMBER) {
        pos = MoveTrackToIndex(track, next.Number);
        if (!pos) return nullptr;
    }
    const DWORD changes = code & ~DWORD(HINT_CHANGED_NUMBER);
    if (changes) {
        next.Number = TrackIndex(pos);  // the number is the place the track took
        object->SetInfo(next, full);
        m_Modified = 1;
    }
    Notify(HINT_SONG_CHANGED, HINT_LEVEL_TRACK, HINT_CODE_CHANGED | changes, pos);
    return pos;
}

void CPhrasorDoc::RenumberTracks() {
    LONG index = 0;
    for (POSITION pos = m_TrackList.GetHeadPosition(); pos; ++index) {
        CTrack* track = m_TrackList.GetNext(pos);
        if (track->GetInfo().Number != index) track->SetNumber(index);
    }
}

// ------------------------------------------------------------ blocks

POSITION CPhrasorDoc::InsertBlock(POSITION track, const BlockInfo& info, int full, DWORD flags) {
    if (!CanEdit()) return nullptr;
    CTrack* owner = TrackAt(track);
    if (!owner || IsConductor(track)) return nullptr;
    if (info.Kind == BLOCK_KIND_LINK && !ShownBlock(info.RefTrack, info.RefBlock)) return nullptr;
    const LONG trackKind = owner->GetInfo().Kind;
    const bool makeMidiTrack = trackKind != TRACK_KIND_MIDI && trackKind != TRACK_KIND_CLIP;
    if (makeMidiTrack) {
        if (owner->GetBlockCount() > 0) return nullptr;
        if (m_ProtectMode & 3) {
            Refuse(EDIT_REFUSED_PROTECTED);
            return nullptr;
        }
    }
    std::unique_ptr<CBlock> block;
    bool named = false;
    try {
        block.reset(new CBlock(this));
        BlockInfo next = info;
        if (next.Name.IsEmpty()) {
            next.Name.Format("Block%d", m_BlockNameCounter);
            named = true;
        }
        block->SetInfo(next, full);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    POSITION pos = owner->AddBlock(block.get());
    if (!pos) return nullptr;
    CBlock* added = block.release();
    if (!AddUndoItem(UNDO_INSERT_BLOCK, Words(PosWord(track), PosWord(pos), PosWord(info.RefTrack),
                                              PosWord(info.RefBlock), UndoWord(trackKind), 0))) {
        owner->RemoveBlock(pos);
        delete added;
        return nullptr;
    }
    if (named) ++m_BlockNameCounter;
    if (makeMidiTrack) {
        TrackInfo ti = owner->GetInfo();
        ti.Kind = TRACK_KIND_MIDI;
        owner->SetInfo(ti, 0);
        Notify(HINT_SONG_CHANGED, HINT_LEVEL_TRACK, HINT_CODE_TRACK_KIND_SET, track);
    }
    Notify(HINT_SONG_CHANGED, HINT_LEVEL_BLOCK, HINT_CODE_BLOCK_INSERTED, track, pos);
    if (flags & EDIT_SELECT_NEW) SelectBlock(track, pos);
    return pos;
}

int CPhrasorDoc::RemoveBlock(POSITION track, POSITION block) {
    if (!CanEdit()) return 0;
    CTrack* owner = TrackAt(track);
    CBlock* object = BlockAt(track, block);
    if (!object || IsConductor(track)) return 0;
    if (!object->IsLink() && IsBlockReferenced(track, block)) {
        m_EditFlags |= EDIT_LINKED_BLOCK_REMOVED;
        if (!RemoveLinkBlocks(track, block, 0)) return 0;
    }
    return DetachBlock(track, owner, block, object);
}

// Moves a block into the removed blocks, recording and announcing it.
int CPhrasorDoc::DetachBlock(POSITION track, CTrack* owner, POSITION block, CBlock* object) {
    const BlockInfo& info = object->GetInfo();
    if (!AddUndoItem(UNDO_REMOVE_BLOCK, Words(PosWord(track), PosWord(block), PosWord(info.RefTrack),
                                              PosWord(info.RefBlock), UndoWord(owner->GetInfo().Kind), 0)))
        return 0;
    POSITION side = AddToSideList(m_RemovedBlocks, object);
    if (!side) {
        DropLastUndoItem();
        return 0;
    }
    owner->RemoveBlock(block);
    RemapBlockPosition(block, side);
    if (UnselectBlock(block)) ClearEventSelection();
    else UnselectEventsOfBlock(block);  // they are no longer events of the song
    Notify(HINT_SONG_CHANGED, HINT_LEVEL_BLOCK, HINT_CODE_REMOVED, track, block, nullptr, nullptr, side);
    return 1;
}

int CPhrasorDoc::RemoveLinkBlocks(POSITION track, POSITION block, int skipOwnTrack) {
    if (!CanEdit()) return 0;
    for (POSITION t = m_TrackList.GetHeadPosition(); t;) {
        POSITION trackPos = t;
        const CBlockList& blocks = m_TrackList.GetNext(t)->GetBlockList();
        if (skipOwnTrack && trackPos == track) continue;
        for (POSITION b = blocks.GetHeadPosition(); b;) {
            POSITION blockPos = b;
            const BlockInfo& info = blocks.GetNext(b)->GetInfo();
            if (info.Kind != BLOCK_KIND_LINK || info.RefTrack != track || info.RefBlock != block) continue;
            if (!RemoveBlock(trackPos, blockPos)) return 0;
        }
    }
    return 1;
}

int CPhrasorDoc::IsBlockReferenced(POSITION track, POSITION block) const {
    for (POSITION t = m_TrackList.GetHeadPosition(); t;) {
        const CBlockList& blocks = m_TrackList.GetNext(t)->GetBlockList();
        for (POSITION b = blocks.GetHeadPosition(); b;) {
            const BlockInfo& info = blocks.GetNext(b)->GetInfo();
            if (info.Kind == BLOCK_KIND_LINK && info.RefTrack == track && info.RefBlock == block) return 1;
        }
    }
    return 0;
}

POSITION CPhrasorDoc::MoveBlock(POSITION track, POSITION block, POSITION target, INT64 newStart) {
    if (!CanEdit()) return nullptr;
    CTrack* owner = TrackAt(track);
    CBlock* object = BlockAt(track, block);
    CTrack* destination = TrackAt(target);
    if (!object || !destination || IsConductor(track) || IsConductor(target)) return nullptr;
    newStart = std::max<INT64>(newStart, 0);
    const BlockInfo old = object->GetInfo();
    BlockInfo moved = old;
    moved.Start = newStart;
    moved.End = ClampSongTime(__int128(newStart) + (__int128(old.End) - old.Start));

    // The new place is taken before the old one is given up, so that a failure changes nothing.
    POSITION after = BlockInsertionPoint(destination->GetBlockList(), newStart, block);
    POSITION pos = after ? destination->InsertBlockAfter(after, object) : destination->AddBlockHead(object);
    if (!pos) return nullptr;
    if (!AddUndoItem(UNDO_MOVE_BLOCK, Words(PosWord(track), PosWord(block), PosWord(target), PosWord(pos),
                                            UndoWord(destination->GetInfo().Kind), TimeWord(old.Start)))) {
        destination->RemoveBlock(pos);
        return nullptr;
    }
    owner->RemoveBlock(block);
    object->SetInfo(moved, 1);
    FollowBlock(track, block, target, pos);
    FixClipBlockEnd(target, pos);
    Notify(HINT_SONG_CHANGED, HINT_LEVEL_BLOCK, HINT_CODE_BLOCK_MOVED, track, block, nullptr, target, pos);
    return pos;
}

void CPhrasorDoc::FollowBlock(POSITION fromTrack, POSITION fromBlock, POSITION toTrack, POSITION toBlock) {
    RemapBlockPosition(fromBlock, toBlock);
    for (POSITION t = m_TrackList.GetHeadPosition(); t;) {
        const CBlockList& blocks = m_TrackList.GetNext(t)->GetBlockList();
        for (POSITION b = blocks.GetHeadPosition(); b;) {
            CBlock* link = blocks.GetNext(b);
            const BlockInfo& info = link->GetInfo();
            if (!link->IsLink() || info.RefTrack != fromTrack || info.RefBlock != fromBlock) continue;
            BlockInfo next = info;
            next.RefTrack = toTrack;
            next.RefBlock = toBlock;
            link->SetInfo(next, 1);
        }
    }
    RekeyBlock(fromBlock, toTrack, toBlock);
    ReplaceBlockInEvents(fromBlock, toTrack, toBlock);
}

POSITION CPhrasorDoc::ReplaceBlock(POSITION track, POSITION block, const BlockInfo& info, int full) {
    if (!CanEdit()) return nullptr;
    CBlock* object = BlockAt(track, block);
    if (!object || IsConductor(track)) return nullptr;
    const BlockInfo old = object->GetInfo();
    BlockInfo next = info;
    DWORD code = 0;
    bool unlink = false;
    if (next.Kind != old.Kind) {
        if (old.Kind != BLOCK_KIND_LINK || next.Kind != BLOCK_KIND_PLAIN) return nullptr;
        unlink = true;
        code |= HINT_CHANGED_KIND;
    }
    if (next.Start != old.Start) code |= HINT_CHANGED_PORT_OR_START;
    if (next.End != old.End) code |= HINT_CHANGED_CHANNEL_OR_END;
    if (next.StateFlag != old.StateFlag) code |= HINT_CHANGED_STATE2;
    if (!unlink && (next.RefTrack != old.RefTrack || next.RefBlock != old.RefBlock)) return nullptr;
    if (next.Name.IsEmpty()) next.Name = LoadResourceString(IDS_DEFAULT_BLOCK_NAME);
    const bool described = next.Name != old.Name || (full && next.Color != old.Color);
    if (next.Name != old.Name) code |= HINT_CHANGED_NAME;
    if (full && next.Color != old.Color) code |= HINT_CHANGED_EXTENDED;

    POSITION pos = block;
    if (code & HINT_CHANGED_PORT_OR_START) {
        pos = MoveBlock(track, block, track, next.Start);
        if (!pos) return nullptr;
    }
    if (unlink && !UnlinkBlock(track, pos)) return nullptr;
    if ((code & HINT_CHANGED_CHANNEL_OR_END) && !SetBlockEnd(track, pos, next.End)) return nullptr;
    if (code) {
        // Start and end are as the move and the end rule left them (a moved
        // block keeps its length unless a new end was asked for); an unlinked
        // block shows nothing any more.
        BlockInfo applied = object->GetInfo();
        applied.Kind = next.Kind;
        applied.StateFlag = next.StateFlag;
        applied.Name = next.Name;
        applied.Color = next.Color;
        object->SetInfo(applied, full);
        if (described) m_Modified = 1;
        Notify(HINT_SONG_CHANGED, HINT_LEVEL_BLOCK, HINT_CODE_CHANGED | code, track, block, nullptr, track, pos);
    }
    return pos;
}

int CPhrasorDoc::UnlinkBlock(POSITION track, POSITION block) {
    if (!CanEdit()) return 0;
    CBlock* object = BlockAt(track, block);
    if (!object || !object->IsLink()) return 0;
    const POSITION refTrack = object->GetInfo().RefTrack;
    const POSITION refBlock = object->GetInfo().RefBlock;
    const CBlock* shown = ShownBlock(refTrack, refBlock);
    if (!shown || shown == object) return 0;
    if (!AddUndoItem(UNDO_UNLINK_BLOCK, Words(PosWord(track), PosWord(block), PosWord(refTrack), PosWord(refBlock))))
        return 0;
    BlockInfo info = object->GetInfo();
    info.Kind = BLOCK_KIND_PLAIN;
    info.RefTrack = nullptr;
    info.RefBlock = nullptr;
    object->SetInfo(info, 1);
    Notify(HINT_SONG_CHANGED, HINT_LEVEL_BLOCK, HINT_CODE_UNLINKED, track, block);

    // The block now holds its own copies of what it showed.
    CSingleLock lock(&m_ListSection, true);
    int result = 1;
    const CSongEventList& events = shown->GetEventList();
    for (POSITION pos = events.GetHeadPosition(); pos;) {
        if (!InsertEvent(track, block, events.GetNext(pos)->GetInfo(), 0, 0)) result = 0;
    }
    return result;
}

int CPhrasorDoc::SetBlockEnd(POSITION track, POSITION block, INT64 end) {
    if (!CanEdit()) return 0;
    CBlock* object = BlockAt(track, block);
    if (!object || object->IsLink() || IsConductor(track)) return 0;
    BlockInfo info = object->GetInfo();
    const INT64 extent = object->GetEndTime();
    // The block never ends before its events do.
    const INT64 newEnd = __int128(end) - info.Start >= extent ? end : AddSongTime(info.Start, extent);
    if (!AddUndoItem(UNDO_BLOCK_END, Words(PosWord(track), PosWord(block), PosWord(info.RefTrack),
                                           PosWord(info.RefBlock), 0, TimeWord(info.End))))
        return 0;
    info.End = newEnd;
    object->SetInfo(info, 1);
    const int resized = ResizeLinkBlocks(track, block, ClampSongTime(__int128(newEnd) - info.Start));
    Notify(HINT_SONG_CHANGED, HINT_LEVEL_BLOCK, HINT_CODE_BLOCK_END, track, block);
    return resized;
}

int CPhrasorDoc::ResizeLinkBlocks(POSITION track, POSITION block, INT64 length) {
    if (!CanEdit()) return 0;
    for (POSITION t = m_TrackList.GetHeadPosition(); t;) {
        POSITION trackPos = t;
        const CBlockList& blocks = m_TrackList.GetNext(t)->GetBlockList();
        for (POSITION b = blocks.GetHeadPosition(); b;) {
            POSITION blockPos = b;
            CBlock* link = blocks.GetNext(b);
            BlockInfo info = link->GetInfo();
            if (info.Kind != BLOCK_KIND_LINK || info.RefTrack != track || info.RefBlock != block) continue;
            if (!AddUndoItem(UNDO_BLOCK_END, Words(PosWord(trackPos), PosWord(blockPos), PosWord(info.RefTrack),
                                                   PosWord(info.RefBlock), 0, TimeWord(info.End))))
                return 0;
            info.End = AddSongTime(info.Start, std::max(length, link->GetEndTime()));
            link->SetInfo(info, 1);
            Notify(HINT_SONG_CHANGED, HINT_LEVEL_BLOCK, HINT_CODE_BLOCK_END, trackPos, blockPos);
        }
    }
    return 1;
}

void CPhrasorDoc::GrowBlockForEvent(POSITION track, POSITION block, CBlock* blockObject, const CSongEvent* event) {
    // An event parked at the absent time is outside the song's time: growing
    // the block to it would leave an end that nothing can write out.
    if (!blockObject || !event || event->GetTime() == SONG_TIME_ABSENT) return;
    BlockInfo info = blockObject->GetInfo();
    const INT64 end = AddSongTime(AddSongTime(info.Start, event->GetTime()), event->GetDuration());
    if (end <= info.End) return;
    info.End = end;
    blockObject->SetInfo(info, 1);
    Notify(HINT_SONG_CHANGED, HINT_LEVEL_BLOCK, HINT_CODE_BLOCK_END, track, block);
    ResizeLinkBlocks(track, block, ClampSongTime(__int128(end) - info.Start));
}

void CPhrasorDoc::FixClipBlockEnd(POSITION track, POSITION block) {
    CBlock* object = BlockAt(track, block);
    if (!object) return;
    const CSongEventList& events = object->GetEventList();
    for (POSITION pos = events.GetHeadPosition(); pos;) {
        const CSongEvent* event = events.GetNext(pos);
        const SongClipData* clip = event->GetClip();
        if (!clip) continue;
        BlockInfo info = object->GetInfo();
        const INT64 startTick = AddSongTime(info.Start, event->GetTime());
        const INT64 clock = ClampSongTime(__int128(TicksToClock(startTick)) + (__int128(clip->ClipEnd) - clip->ClipStart));
        const INT64 endTick = ClockToTicks(clock);
        if (endTick != info.End) {
            info.End = endTick;
            object->SetInfo(info, 1);
            Notify(HINT_SONG_CHANGED, HINT_LEVEL_BLOCK, HINT_CODE_BLOCK_END, track, block);
        }
        return;
    }
}
