#pragma once
// The change notification of the song document: what kind of change (a GUID),
// at which level, with which change code, and the positions involved.
#include "platform/Com.h"
#include "platform/Types.h"

constexpr GUID MakeSongHintGuid(DWORD first) {
    return GUID{first, 0x9F3F, 0x4E80, {0xBC, 0xB5, 0x44, 0x82, 0xA5, 0xB5, 0x24, 0x0A}};
}

constexpr GUID HINT_SONG_CHANGED = MakeSongHintGuid(0x9DD48DE0);  // tracks, blocks, ordinary events
constexpr GUID HINT_KEY_CHANGED = MakeSongHintGuid(0x9DD48DE3);   // key events of the conductor track
constexpr GUID HINT_METER_CHANGED = MakeSongHintGuid(0x9DD48DE4); // meter events of the conductor track
constexpr GUID HINT_TEMPO_CHANGED = MakeSongHintGuid(0x9DD48DE5); // tempo events of the conductor track
constexpr GUID HINT_STEP_CLOSED = MakeSongHintGuid(0x9DD48DEC);   // an outermost undo step closed
constexpr GUID HINT_SELECTION = MakeSongHintGuid(0x9DD48DEE);     // blocks selected or unselected by kind

enum : LONG {
    HINT_LEVEL_TRACK = 1,
    HINT_LEVEL_BLOCK = 2,
    HINT_LEVEL_EVENT = 3,
};

// Change codes.
enum : DWORD {
    HINT_CODE_INSERTED = 0x20000,
    HINT_CODE_BLOCK_INSERTED = 0x80020000,
    HINT_CODE_REMOVED = 0x40000,
    HINT_CODE_BLOCK_MOVED = 0x80000,
    HINT_CODE_TRACK_MOVED = 0x10100,
    HINT_CODE_CHANGED = 0x10000,       // plus the HINT_CHANGED_* bits of the members that changed
    HINT_CODE_EVENT_CHANGED = 0x210000, // plus HINT_CHANGED_TIME and HINT_CHANGED_EXTENDED
    HINT_CODE_UNLINKED = 0x210001,
    HINT_CODE_TRACK_KIND_SET = 0x1,    // a track became a MIDI track to take a block
    HINT_CODE_BLOCK_END = 0x10020,
};

// Changed-member bits of HINT_CODE_CHANGED.
enum : DWORD {
    HINT_CHANGED_KIND = 0x1,
    HINT_CHANGED_EXTENDED = 0x2,       // extended fields, or a block's colour
    HINT_CHANGED_PORT_OR_START = 0x10,
    HINT_CHANGED_TIME = 0x10,
    HINT_CHANGED_CHANNEL_OR_END = 0x20,
    HINT_CHANGED_RESERVED = 0x40,
    HINT_CHANGED_TRANSPOSE = 0x80,
    HINT_CHANGED_NUMBER = 0x100,
    HINT_CHANGED_NAME = 0x200,
    HINT_CHANGED_STATE1 = 0x1000,
    HINT_CHANGED_STATE2 = 0x2000,      // a track's StateFlag2 or a block's StateFlag
};

// Positions are pointer-wide here, so the hint carries them as positions
// rather than in 32-bit fields.
struct UpdateHint {
    GUID Guid = GUID_NULL;
    LONG Mask = 0;                 // the kind mask of a selection change
    LONG Level = HINT_LEVEL_BLOCK;
    DWORD Code = 0;
    POSITION Track = nullptr;      // the item as it was
    POSITION Block = nullptr;
    POSITION Event = nullptr;
    POSITION NewTrack = nullptr;   // the item as it is now, when it got a new position
    POSITION NewBlock = nullptr;
    POSITION NewEvent = nullptr;
};
