// Room before the first note: after a channel was written back, the set-up
// events the engine put right before the converted block's first note
// (program and bank selection, parameter messages, a system-on exclusive)
// must lie far enough before it for a keyboard to take them in. Times here
// are absolute song ticks (block start + event time).
#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "host/PhrasorDoc.h"

namespace {

constexpr INT64 SYSTEM_ON_CLOCK = 500000;  // 50 ms in 100-nanosecond units
constexpr INT64 SYSTEM_ON_ENGINE_TICKS = 25;
constexpr int MAX_BAR_SHIFTS = 480;
constexpr BYTE META_LYRIC = 0x05;
constexpr BYTE KV_SYSTEM_ON[] = {0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E};

bool IsNote(const SongEventInfo& e) { return e.Kind == MPEVENT_KIND_NOTE; }

bool IsNoteOn(const SongEventInfo& e) { return IsNote(e) && e.Length == 0 && e.Data2 != 0; }

bool IsLyric(const SongEventInfo& e) {
    return e.Kind == MPEVENT_KIND_META && e.Length >= 1 && e.Bytes && e.Bytes[0] == META_LYRIC;
}

bool IsKvSystemOn(const SongEventInfo& e) {
    return e.Kind == MPEVENT_KIND_SYSEX && e.Length > sizeof KV_SYSTEM_ON && e.Bytes &&
           std::memcmp(e.Bytes, KV_SYSTEM_ON, sizeof KV_SYSTEM_ON) == 0;
}

bool IsGmSystemOn(const SongEventInfo& e) {
    return e.Kind == MPEVENT_KIND_SYSEX && e.Length > 4 && e.Bytes && e.Bytes[0] == 0x7E && e.Bytes[2] == 0x09 &&
           e.Bytes[3] == 0x01;
}

// The conductor's opening meter, key and tempo keep their place.
bool IsOpeningConductorEvent(const SongEventInfo& e) {
    return e.Time == 0 && (IsTimeSignatureEvent(e) || IsKeySignatureEvent(e) || IsTempoEvent(e));
}

}  // namespace

INT64 CPhrasorDoc::FirstNoteTime(POSITION track, POSITION block) const {
    if (!track || !block) return SONG_TIME_ABSENT;
    SongEventInfo e;
    for (POSITION pos = FirstEventPosition(track, block); pos;) {
        if (!ReadNextEvent(track, block, &pos, &e, 1)) break;
        if (IsNote(e)) return e.Time;
    }
    return SONG_TIME_ABSENT;
}

bool CPhrasorDoc::FindSetupEvent(POSITION track, POSITION block, INT64 time, SongEventInfo* info,
                                 POSITION* pos) const {
    bool found = false;
    SongEventInfo e;
    for (POSITION p = FirstEventPosition(track, block); p;) {
        const POSITION at = p;
        if (!ReadNextEvent(track, block, &p, &e, 1)) break;
        if (IsNote(e)) {
            if (e.Time > time && e.Data2 != 0) break;
            continue;
        }
        if (e.Time > time) continue;
        found = true;
        if (info) *info = e;
        if (pos) *pos = at;
    }
    return found;
}

// The group is the run of set-up events ending at `setup` in which no two
// neighbours (note-ons and lyrics between them ignored) lie more than
// `distance` apart; it can move when there is free time before it.
bool CPhrasorDoc::FindMovableGroup(POSITION track, POSITION block, POSITION setup, INT64 distance,
                                   POSITION* start) const {
    SongEventInfo e;
    if (!setup || !GetEventInfo(track, block, setup, &e, 1)) return false;
    POSITION first = setup;
    INT64 firstTime = e.Time;
    POSITION p = setup;
    ReadPrevEvent(track, block, &p, nullptr, 1);
    if (!p) {
        *start = setup;
        return true;
    }
    while (p) {
        const POSITION at = p;
        if (!ReadPrevEvent(track, block, &p, &e, 1)) return false;
        if (IsNoteOn(e) || IsLyric(e)) continue;
        if (__int128(firstTime) - e.Time > distance) {
            *start = first;
            return true;
        }
        first = at;
        firstTime = e.Time;
    }
    const POSITION head = FirstEventPosition(track, block);
    if (!head || !GetEventInfo(track, block, head, &e, 1)) return false;
    if (e.Time > distance) {
        *start = head;
        return true;
    }
    return false;
}

bool CPhrasorDoc::ShiftEvents(POSITION track, POSITION block, const std::vector<POSITION>& events, INT64 shift) {
    std::vector<std::unique_ptr<CSongEvent>> copies;
    bool ok = true;
    for (POSITION at : events) {
        SongEventInfo info;
        if (!GetEventInfo(track, block, at, &info, 0)) {
            ok = false;
            break;
        }
        std::unique_ptr<CSongEvent> copy(new (std::nothrow) CSongEvent());
        if (!copy || !copy->SetInfo(info, 1) || !RemoveEvent(track, block, at, 1)) {
            ok = false;
            break;
        }
        copies.push_back(std::move(copy));
    }
    // Every event taken out goes back, so that nothing is lost when a removal failed half way.
    for (const auto& copy : copies) {
        SongEventInfo info = copy->GetInfo();
        info.Time = AddSongTime(info.Time, shift);
        if (!InsertEvent(track, block, info, 0, 0)) ok = false;
    }
    return ok;
}

POSITION CPhrasorDoc::MoveEventsEarlier(POSITION track, POSITION block, INT64 distance, POSITION start,
                                        POSITION end) {
    const CBlock* owner = BlockAt(track, block);
    if (!owner) return nullptr;
    const INT64 oldStart = owner->GetInfo().Start;

    std::vector<POSITION> moving;
    SongEventInfo e;
    for (POSITION p = start; p;) {
        const POSITION at = p;
        if (!ReadNextEvent(track, block, &p, &e, 1)) break;
        if (!IsNoteOn(e) && !IsLyric(e)) moving.push_back(at);
        if (at == end) break;
    }

    // Copies at their new absolute times, in time order (equal times keep their order).
    CEventSortList copies;
    INT64 earliest = SONG_TIME_ABSENT;
    for (POSITION at : moving) {
        SongEventInfo original;
        if (!GetEventInfo(track, block, at, &original, 0)) break;
        SongEventInfo moved = original;
        moved.Time = std::max<INT64>(0, ClampSongTime(__int128(AddSongTime(original.Time, oldStart)) - distance));
        std::unique_ptr<CSongEvent> copy(new (std::nothrow) CSongEvent());
        if (!copy || !copy->SetInfo(moved, 1)) break;
        if (!RemoveEvent(track, block, at, 1)) break;
        if (!copies.InsertSorted(copy.get())) {
            // Put it back where it was rather than lose it (the removed event still holds its data).
            InsertEvent(track, block, original, 0, 0);
            break;
        }
        earliest = std::min(earliest, copy->GetTime());
        copy.release();
    }

    INT64 base = oldStart;
    if (earliest < oldStart) {
        // The block starts at 0 instead, and what stays in it keeps its absolute time.
        BlockInfo info = owner->GetInfo();
        info.Start = 0;
        const POSITION moved = ReplaceBlock(track, block, info, 0);
        if (moved) {
            block = moved;
            base = 0;
            std::vector<POSITION> staying;
            for (POSITION p = FirstEventPosition(track, block); p;) {
                staying.push_back(p);
                ReadNextEvent(track, block, &p, nullptr, 0);
            }
            // First to last, so that events of equal time keep their order.
            for (POSITION at : staying) {
                SongEventInfo raised;
                if (!GetEventInfo(track, block, at, &raised, 0)) continue;
                raised.Time = AddSongTime(raised.Time, oldStart);
                ReplaceEvent(track, block, at, raised, 0);
            }
        }
    }
    for (POSITION p = copies.GetHeadPosition(); p;) {
        SongEventInfo info = copies.GetNext(p)->GetInfo();
        // Without the move to 0 an event cannot go before the block's start.
        info.Time = std::max<INT64>(0, ClampSongTime(__int128(info.Time) - base));
        InsertEvent(track, block, info, 0, 0);
    }
    return block;
}

INT64 CPhrasorDoc::ShiftBlockToNextBar(POSITION track, POSITION block, INT64 time) {
    LONG measure = 0;
    LONG beat = 0;
    LONG tick = 0;
    GetMeterMap().TimeToMeas(time - 1, &measure, &beat, &tick);
    const INT64 nextBar = GetMeterMap().MeasToTime(measure + 1, beat, tick);
    const INT64 bar = ClampSongTime(__int128(nextBar) + 1 - time);
    if (bar <= 0 || measure == std::numeric_limits<LONG>::max()) return time;

    std::vector<POSITION> moving;
    SongEventInfo e;
    for (POSITION p = FirstEventPosition(track, block); p;) {
        const POSITION at = p;
        if (!ReadNextEvent(track, block, &p, &e, 1)) break;
        if (e.Time == SONG_TIME_ABSENT) continue;  // not in time: nothing to push
        if (IsNote(e) || e.Time >= time) moving.push_back(at);
    }
    if (!ShiftEvents(track, block, moving, bar)) return time;
    return AddSongTime(time, bar);
}

INT64 CPhrasorDoc::ShiftOtherTracks(POSITION track, POSITION block, INT64 shift) {
    INT64 earliest = SONG_TIME_ABSENT;
    if (shift <= 0) return earliest;
    for (POSITION t = m_TrackList.GetHeadPosition(); t;) {
        const POSITION trackPos = t;
        const CTrack* owner = m_TrackList.GetNext(t);
        if (owner->GetInfo().Number == 0) continue;
        const CBlockList& blocks = owner->GetBlockList();
        for (POSITION b = blocks.GetHeadPosition(); b;) {
            const POSITION blockPos = b;
            const CBlock* other = blocks.GetNext(b);
            // A link block shows another block's events, which move with that block.
            if ((trackPos == track && blockPos == block) || other->IsLink()) continue;
            const CSongEventList& events = other->GetEventList();
            POSITION note = nullptr;
            for (POSITION p = events.GetHeadPosition(); p && !note;) {
                const POSITION at = p;
                if (IsNote(events.GetNext(p)->GetInfo())) note = at;
            }
            if (!note) continue;
            const INT64 noteTime = events.GetAt(note)->GetTime();
            earliest = std::min(earliest, AddSongTime(other->GetInfo().Start, noteTime));
            // The events sharing the note's time before it in the list move with it.
            POSITION from = note;
            for (POSITION p = note; p;) {
                const POSITION at = p;
                if (events.GetPrev(p)->GetTime() != noteTime) break;
                from = at;
            }
            std::vector<POSITION> moving;
            for (POSITION p = from; p;) {
                const POSITION at = p;
                if (events.GetNext(p)->GetTime() != SONG_TIME_ABSENT) moving.push_back(at);
            }
            ShiftEvents(trackPos, blockPos, moving, shift);
        }
    }
    return earliest;
}

void CPhrasorDoc::ShiftConductor(INT64 from, INT64 shift) {
    if (shift <= 0 || from == SONG_TIME_ABSENT) return;
    const POSITION track = m_TrackList.GetHeadPosition();
    if (!track) return;
    const CBlockList& blocks = m_TrackList.GetAt(track)->GetBlockList();
    for (POSITION b = blocks.GetHeadPosition(); b;) {
        const POSITION blockPos = b;
        const CBlock* block = blocks.GetNext(b);
        if (block->IsLink()) continue;
        const INT64 start = block->GetInfo().Start;
        std::vector<POSITION> moving;
        const CSongEventList& events = block->GetEventList();
        for (POSITION p = events.GetHeadPosition(); p;) {
            const POSITION at = p;
            const SongEventInfo& e = events.GetNext(p)->GetInfo();
            if (e.Time == SONG_TIME_ABSENT || IsOpeningConductorEvent(e)) continue;
            if (AddSongTime(start, e.Time) >= from) moving.push_back(at);
        }
        ShiftEvents(track, blockPos, moving, shift);
    }
}

void CPhrasorDoc::MakeRoomBeforeFirstNote(POSITION track, POSITION block, INT64 firstNoteTime, LONG multiplier) {
    if (!track || !block || !BlockAt(track, block)) return;
    // No first note (the engine's absent time) or no tick scale: nothing to make room for.
    if (multiplier <= 0 || firstNoteTime < 0 || firstNoteTime == SONG_TIME_ABSENT) return;
    const __int128 scaled = __int128(firstNoteTime) * multiplier;
    if (scaled >= __int128(SONG_TIME_ABSENT)) return;
    const INT64 target = INT64(scaled);

    INT64 first = FirstNoteTime(track, block);
    if (first == SONG_TIME_ABSENT || first > target) return;
    SongEventInfo setup;
    POSITION setupPos = nullptr;
    if (!FindSetupEvent(track, block, target, &setup, &setupPos)) return;

    // The latest time the set-up may end: a system-on needs 50 ms and 25 engine ticks.
    INT64 latest = 0;
    if (IsKvSystemOn(setup) || IsGmSystemOn(setup)) {
        const INT64 clock = ClampSongTime(__int128(TicksToClock(first)) - SYSTEM_ON_CLOCK);
        latest = ClampSongTime(__int128(ClockToTicks(clock)) - SYSTEM_ON_ENGINE_TICKS * multiplier);
    } else {
        latest = ClampSongTime(__int128(first) - multiplier);
    }
    if (latest >= setup.Time) return;
    const INT64 distance = setup.Time - latest;

    // Every edit needs an open step; under the song's exclusive lock this one nests in the lock's.
    if (!BeginUndoStep(CString())) return;
    POSITION groupStart = nullptr;
    if (FindMovableGroup(track, block, setupPos, distance, &groupStart)) {
        MoveEventsEarlier(track, block, distance, groupStart, setupPos);
        EndUndoStep();
        return;
    }
    INT64 shiftedTo = target;
    if (first < setup.Time) {
        for (int tries = 0; tries < MAX_BAR_SHIFTS; ++tries) {
            const INT64 next = ShiftBlockToNextBar(track, block, shiftedTo);
            if (next == shiftedTo) break;
            shiftedTo = next;
            first = FirstNoteTime(track, block);
            if (!FindSetupEvent(track, block, shiftedTo, &setup, &setupPos)) break;
            if (FindMovableGroup(track, block, setupPos, distance, &groupStart)) {
                if (const POSITION moved = MoveEventsEarlier(track, block, distance, groupStart, setupPos)) block = moved;
                break;
            }
            if (first >= setup.Time) break;
        }
    }
    // The rest of the song follows the converted block's music.
    const INT64 shift = shiftedTo - target;
    const INT64 from = ShiftOtherTracks(track, block, shift);
    ShiftConductor(from, shift);
    EndUndoStep();
}
