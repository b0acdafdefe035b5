// Event edits of the song document, the conductor clean-up that runs when an
// undo step closes, and the event readers.
#include <algorithm>
#include <memory>
#include <new>
#include <set>
#include <vector>

#include "host/PhrasorDoc.h"

namespace {

// Where an event at `time` goes in the list: after the last event (other than
// `skip`) whose time is not later; null for the head.
POSITION EventInsertionPoint(const CSongEventList& events, INT64 time, POSITION skip) {
    for (POSITION pos = events.GetTailPosition(); pos;) {
        POSITION at = pos;
        const CSongEvent* event = events.GetPrev(pos);
        if (at != skip && event->GetTime() <= time) return at;
    }
    return nullptr;
}

// Points the info at a clamped copy of its tempo (the caller's bytes stay as they are).
void ClampTempoOf(SongEventInfo& info, BYTE (&storage)[4]) {
    PutTempo(ClampTempo(TempoOfEvent(info)), storage);
    info.Bytes = storage;
}

bool HasDefaultExtended(const SongEventInfo& info) {
    const SongEventInfo defaults;
    return info.Extra0 == defaults.Extra0 && info.Extra1 == defaults.Extra1 && info.Extra2 == defaults.Extra2 &&
           info.Extra3 == defaults.Extra3 && info.Extra4 == defaults.Extra4 && info.Extra5 == defaults.Extra5;
}

void ResetExtended(SongEventInfo& info) {
    const SongEventInfo defaults;
    info.Extra0 = defaults.Extra0;
    info.Extra1 = defaults.Extra1;
    info.Extra2 = defaults.Extra2;
    info.Extra3 = defaults.Extra3;
    info.Extra4 = defaults.Extra4;
    info.Extra5 = defaults.Extra5;
}

// The bar of a time signature in ticks; 0 when it has none.
INT64 BarLengthOf(const SongEventInfo& meter) {
    const BYTE power = meter.Bytes[2];
    if (power >= 32) return 0;
    return (INT64(meter.Bytes[1]) * SONG_TICKS_PER_WHOLE) >> power;
}

UndoWords EventWords(POSITION track, POSITION block, POSITION event, UndoWord w4 = 0, UndoWord w5 = 0) {
    UndoWords words;
    words.W1 = PosWord(track);
    words.W2 = PosWord(block);
    words.W3 = PosWord(event);
    words.W4 = w4;
    words.W5 = w5;
    return words;
}

}  // namespace

CPhrasorDoc::ConductorEvent CPhrasorDoc::ConductorKindOf(POSITION track, const SongEventInfo& info) const {
    if (!IsConductor(track)) return ConductorEvent::None;
    if (IsTimeSignatureEvent(info)) return ConductorEvent::Meter;
    if (IsTempoEvent(info)) return ConductorEvent::Tempo;
    if (IsKeySignatureEvent(info)) return ConductorEvent::Key;
    return ConductorEvent::None;
}

void CPhrasorDoc::MarkConductorChange(ConductorEvent kind) {
    switch (kind) {
        case ConductorEvent::Meter: m_EditFlags |= EDIT_METER_CHANGED; break;
        case ConductorEvent::Tempo: m_EditFlags |= EDIT_TEMPO_CHANGED; break;
        case ConductorEvent::Key: m_EditFlags |= EDIT_KEY_CHANGED; break;
        case ConductorEvent::None: break;
    }
}

const GUID& CPhrasorDoc::HintGuidOf(ConductorEvent kind) {
    switch (kind) {
        case ConductorEvent::Meter: return HINT_METER_CHANGED;
        case ConductorEvent::Tempo: return HINT_TEMPO_CHANGED;
        case ConductorEvent::Key: return HINT_KEY_CHANGED;
        case ConductorEvent::None: break;
    }
    return HINT_SONG_CHANGED;
}

// ------------------------------------------------------------ edits

POSITION CPhrasorDoc::InsertEvent(POSITION track, POSITION block, const SongEventInfo& info, int resetExtended,
                                  DWORD flags) {
    if (!CanEdit()) return nullptr;
    CBlock* owner = BlockAt(track, block);
    if (!owner) return nullptr;
    if (owner->IsLink()) {
        Refuse(EDIT_REFUSED_LINK_BLOCK);
        return nullptr;
    }
    SongEventInfo next = info;
    BYTE tempo[4];
    if (IsTempoEvent(next)) {
        if (m_TempoLocked) {
            Refuse(EDIT_REFUSED_PROTECTED);
            return nullptr;
        }
        ClampTempoOf(next, tempo);
    }
    next.Time = std::max<INT64>(next.Time, 0);
    std::unique_ptr<CSongEvent> event(new (std::nothrow) CSongEvent());
    if (!event || !event->SetInfo(next, resetExtended ? 0 : 1)) return nullptr;
    POSITION pos = owner->InsertEvent(event.get());
    if (!pos) return nullptr;
    CSongEvent* added = event.release();
    if (!AddUndoItem(UNDO_INSERT_EVENT, EventWords(track, block, pos))) {
        owner->RemoveEvent(pos);
        delete added;
        return nullptr;
    }
    if (flags & EDIT_SELECT_NEW) SelectEvent(track, block, pos);
    const ConductorEvent kind = ConductorKindOf(track, added->GetInfo());
    MarkConductorChange(kind);
    Notify(HintGuidOf(kind), HINT_LEVEL_EVENT, HINT_CODE_INSERTED, track, block, pos);
    GrowBlockForEvent(track, block, owner, added);
    return pos;
}

int CPhrasorDoc::RemoveEvent(POSITION track, POSITION block, POSITION event, int force) {
    if (!CanEdit() || !event) return 0;
    CBlock* owner = BlockAt(track, block);
    if (!owner) return 0;
    if (owner->IsLink()) {
        Refuse(EDIT_REFUSED_LINK_BLOCK);
        return 0;
    }
    if (!owner->HoldsEvent(event)) return 0;
    CSongEvent* object = owner->GetEventList().GetAt(event);
    const SongEventInfo& info = object->GetInfo();
    const ConductorEvent kind = ConductorKindOf(track, info);
    // The song's opening meter and tempo stay unless the clean-up itself removes them.
    if (!force && (kind == ConductorEvent::Meter || kind == ConductorEvent::Tempo) && info.Time == 0) {
        Refuse(EDIT_KEPT_CONDUCTOR_TIME0);
        return 1;
    }
    if (IsTempoEvent(info) && m_TempoLocked) {
        Refuse(EDIT_REFUSED_PROTECTED);
        return 0;
    }
    if (!AddUndoItem(UNDO_REMOVE_EVENT, EventWords(track, block, event))) return 0;
    POSITION side = nullptr;
    try {
        side = m_RemovedEvents.AddTail(object);
    } catch (const std::bad_alloc&) {
        DropLastUndoItem();
        return 0;
    }
    owner->RemoveEvent(event);
    RemapEventPosition(event, side);
    UnselectEvent(event);
    MarkConductorChange(kind);
    Notify(HintGuidOf(kind), HINT_LEVEL_EVENT, HINT_CODE_REMOVED, track, block, event, nullptr, nullptr, side);
    return 1;
}

POSITION CPhrasorDoc::ReplaceEvent(POSITION track, POSITION block, POSITION event, const SongEventInfo& info,
                                   int resetExtended) {
    if (!CanEdit() || !event) return nullptr;
    CBlock* owner = BlockAt(track, block);
    if (!owner) return nullptr;
    if (owner->IsLink()) {
        Refuse(EDIT_REFUSED_LINK_BLOCK);
        return nullptr;
    }
    if (!owner->HoldsEvent(event)) return nullptr;
    CSongEvent* object = owner->GetEventList().GetAt(event);
    const SongEventInfo& old = object->GetInfo();
    SongEventInfo next = info;
    next.Time = std::max<INT64>(next.Time, 0);
    const bool conductor = IsConductor(track);
    const bool oldTempo = IsTempoEvent(old);
    const bool newTempo = IsTempoEvent(next);
    ConductorEvent kind = ConductorEvent::None;
    BYTE tempo[4];
    if (conductor && (IsTimeSignatureEvent(old) || IsTimeSignatureEvent(next))) {
        if (old.Time == 0 && next.Time != 0) {
            Refuse(EDIT_KEPT_CONDUCTOR_TIME0);
            return nullptr;
        }
        kind = ConductorEvent::Meter;
    } else if (oldTempo || newTempo) {
        if (m_TempoLocked) {
            Refuse(EDIT_REFUSED_PROTECTED);
            return nullptr;
        }
        if (conductor && old.Time == 0 && next.Time != 0) {
            Refuse(EDIT_KEPT_CONDUCTOR_TIME0);
            return nullptr;
        }
        if (newTempo) ClampTempoOf(next, tempo);
        if (conductor) kind = ConductorEvent::Tempo;
    } else if (conductor && (IsKeySignatureEvent(old) || IsKeySignatureEvent(next))) {
        kind = ConductorEvent::Key;
    }

    const INT64 oldTime = old.Time;
    const bool timeChanged = next.Time != oldTime;
    const bool extendedChanged = resetExtended && !HasDefaultExtended(old);
    if (resetExtended) ResetExtended(next);
    else {
        next.Extra0 = old.Extra0;
        next.Extra1 = old.Extra1;
        next.Extra2 = old.Extra2;
        next.Extra3 = old.Extra3;
        next.Extra4 = old.Extra4;
        next.Extra5 = old.Extra5;
    }

    // The record keeps the event as it was.
    std::unique_ptr<CSongEvent> copy(new (std::nothrow) CSongEvent());
    if (!copy || !copy->SetInfo(old, 1)) return nullptr;
    const LONG undoKind = timeChanged ? UNDO_MOVE_EVENT : UNDO_CHANGE_EVENT;
    if (!AddUndoItem(undoKind, EventWords(track, block, event, TimeWord(oldTime), reinterpret_cast<UndoWord>(copy.get()))))
        return nullptr;
    const CSongEvent* before = copy.release();  // owned by the undo item now

    POSITION pos = event;
    {
        CSingleLock lock(&m_ListSection, true);
        if (!object->SetInfo(next, 1)) {
            DropLastUndoItem();
            return nullptr;
        }
        if (timeChanged) {
            // The new place is taken before the old node goes, so that a failure changes nothing.
            POSITION after = EventInsertionPoint(owner->GetEventList(), next.Time, event);
            POSITION moved = after ? owner->InsertEventAfter(after, object) : owner->AddEventHead(object);
            if (!moved) {
                object->SetInfo(before->GetInfo(), 1);
                DropLastUndoItem();
                return nullptr;
            }
            owner->RemoveEvent(event);
            pos = moved;
        }
    }
    if (timeChanged) {
        RemapEventPosition(event, pos);
        RekeyEvent(event, pos);
    }
    MarkConductorChange(kind);
    DWORD code = HINT_CODE_EVENT_CHANGED;
    if (timeChanged) code |= HINT_CHANGED_TIME;
    if (extendedChanged) code |= HINT_CHANGED_EXTENDED;
    Notify(HintGuidOf(kind), HINT_LEVEL_EVENT, code, track, block, event, track, block, pos);
    GrowBlockForEvent(track, block, owner, object);
    return pos;
}

// ------------------------------------------------------------ conductor clean-up

int CPhrasorDoc::NormalizeMeters() {
    POSITION track = m_TrackList.GetHeadPosition();
    if (!track) return 1;
    const CBlockList& blocks = m_TrackList.GetAt(track)->GetBlockList();
    POSITION block = blocks.GetHeadPosition();
    if (!block) return 1;
    const CSongEventList& events = blocks.GetAt(block)->GetEventList();

    // One meter per time: the last in the list stays.
    std::set<INT64> seen;
    for (POSITION pos = events.GetTailPosition(); pos;) {
        POSITION at = pos;
        const SongEventInfo& info = events.GetPrev(pos)->GetInfo();
        if (!IsTimeSignatureEvent(info) || seen.insert(info.Time).second) continue;
        if (!RemoveEvent(track, block, at, 1)) return 0;
    }

    // Every meter on a bar line of the meter before it.
    std::vector<POSITION> meters;
    for (POSITION pos = events.GetHeadPosition(); pos;) {
        POSITION at = pos;
        if (IsTimeSignatureEvent(events.GetNext(pos)->GetInfo())) meters.push_back(at);
    }
    INT64 stateTime = 0;
    INT64 bar = SONG_TICKS_PER_WHOLE;
    for (POSITION at : meters) {
        SongEventInfo info = events.GetAt(at)->GetInfo();
        const INT64 ownBar = BarLengthOf(info);
        INT64 time = info.Time;
        if (time != 0) {
            if (bar <= 0) return 0;
            const __int128 d = __int128(time) - stateTime;
            if (d % bar != 0) {
                const __int128 snapped = d >= bar ? stateTime + (d / bar) * bar : __int128(stateTime) + bar;
                info.Time = ClampSongTime(snapped);
                if (!ReplaceEvent(track, block, at, info, 0)) return 0;
                time = info.Time;
            }
        }
        stateTime = time;
        bar = ownBar;
    }
    return 1;
}

int CPhrasorDoc::RemoveDuplicateTempos(int direct) {
    POSITION track = m_TrackList.GetHeadPosition();
    if (!track) return 1;
    const CBlockList& blocks = m_TrackList.GetAt(track)->GetBlockList();
    POSITION block = blocks.GetHeadPosition();
    if (!block) return 1;
    CBlock* owner = blocks.GetAt(block);
    const CSongEventList& events = owner->GetEventList();
    // Walking back through a block in time order, a tempo time seen before is
    // the last one seen; the set is needed only for a block out of order.
    std::vector<INT64> seenInOrder;
    std::set<INT64> seen;
    bool inOrder = true;
    const auto firstAt = [&](INT64 time) {
        if (inOrder) {
            if (seenInOrder.empty() || time < seenInOrder.back()) {
                seenInOrder.push_back(time);
                return true;
            }
            if (time == seenInOrder.back()) return false;
            inOrder = false;
            seen.insert(seenInOrder.begin(), seenInOrder.end());
        }
        return seen.insert(time).second;
    };
    for (POSITION pos = events.GetTailPosition(); pos;) {
        POSITION at = pos;
        CSongEvent* event = events.GetPrev(pos);
        if (!IsTempoEvent(event->GetInfo()) || firstAt(event->GetTime())) continue;
        if (direct) {
            owner->RemoveEvent(at);
            delete event;
        } else if (!RemoveEvent(track, block, at, 1)) {
            return 0;
        }
    }
    return 1;
}

// ------------------------------------------------------------ readers

bool CPhrasorDoc::GetEventInfo(POSITION track, POSITION block, POSITION event, SongEventInfo* out, int absolute) const {
    INT64 start = 0;
    const CBlock* shown = EventBlockOf(track, block, &start);
    if (!shown || !shown->HoldsEvent(event) || !out) return false;
    *out = shown->GetEventList().GetAt(event)->GetInfo();
    if (absolute) out->Time = AddSongTime(out->Time, start);
    return true;
}

POSITION CPhrasorDoc::FirstEventPosition(POSITION track, POSITION block) const {
    const CBlock* shown = EventBlockOf(track, block, nullptr);
    return shown ? shown->GetEventList().GetHeadPosition() : nullptr;
}

POSITION CPhrasorDoc::LastEventPosition(POSITION track, POSITION block) const {
    const CBlock* shown = EventBlockOf(track, block, nullptr);
    return shown ? shown->GetEventList().GetTailPosition() : nullptr;
}

bool CPhrasorDoc::ReadEvent(POSITION track, POSITION block, POSITION* pos, SongEventInfo* out, int absolute,
                            bool forward) const {
    INT64 start = 0;
    const CBlock* shown = EventBlockOf(track, block, &start);
    if (!shown || !pos || !shown->HoldsEvent(*pos)) return false;
    const CSongEventList& events = shown->GetEventList();
    const CSongEvent* event = forward ? events.GetNext(*pos) : events.GetPrev(*pos);
    if (out) {
        *out = event->GetInfo();
        if (absolute) out->Time = AddSongTime(out->Time, start);
    }
    return true;
}

bool CPhrasorDoc::ReadNextEvent(POSITION track, POSITION block, POSITION* pos, SongEventInfo* out, int absolute) const {
    return ReadEvent(track, block, pos, out, absolute, true);
}

bool CPhrasorDoc::ReadPrevEvent(POSITION track, POSITION block, POSITION* pos, SongEventInfo* out, int absolute) const {
    return ReadEvent(track, block, pos, out, absolute, false);
}
