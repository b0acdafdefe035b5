#pragma once
// The host interface's flat event record and its kind bits. The engine reads
// and writes song events only through this record; the song document converts
// it to and from its own event info on every call.
//
// Pointers and identifiers are pointer-width here: the record carries list
// positions and task-memory pointers, which do not fit the 32-bit fields the
// record was first laid out with.
#include <cstdint>

#include "platform/Com.h"
#include "platform/Types.h"

// Event kinds: one bit each. A record holds exactly one of them.
enum : DWORD {
    MPEVENT_KIND_NONE = 0x1,          // value of a fresh record; never stored in a song
    MPEVENT_KIND_NRPN = 0x2,          // packed NRPN message (work pseudo-status 0x10)
    MPEVENT_KIND_RPN = 0x4,           // packed RPN message (work pseudo-status 0x20)
    MPEVENT_KIND_VOICE = 0x8,         // packed bank MSB, bank LSB, program (pseudo-status 0x30)
    MPEVENT_KIND_SHORT_OTHER = 0x10,  // accepted as a short kind, never made
    MPEVENT_KIND_NOTEOFF = 0x20,      // 8n, and 9n with velocity 0
    MPEVENT_KIND_NOTE = 0x40,         // note with its length in Duration
    MPEVENT_KIND_KEYAFT = 0x80,       // polyphonic key pressure (An)
    MPEVENT_KIND_CONTROL = 0x100,     // control change (Bn)
    MPEVENT_KIND_PROGRAM = 0x200,     // program change (Cn)
    MPEVENT_KIND_CHANAFT = 0x400,     // channel pressure (Dn)
    MPEVENT_KIND_PITCHBEND = 0x800,   // pitch bend (En): Data1 LSB, Data2 MSB
    MPEVENT_KIND_SYSEX = 0x10000,     // F0: the bytes after F0, including the closing F7
    MPEVENT_KIND_SYSEX_CONT = 0x20000,  // F7 continuation
    MPEVENT_KIND_VARDATA = 0x40000,   // variable data, never made
    MPEVENT_KIND_NOTE_SYSEX = 0x80000,  // note with attached exclusive
    MPEVENT_KIND_META = 0x100000,     // first byte of Bytes is the meta type, the data follows
    MPEVENT_KIND_CLIP = 0x200000,     // clip: Text, ClipStart, ClipEnd
};

// Kind masks.
enum : DWORD {
    MPEVENT_KINDS_SHORT = 0x00000FFE,     // kinds 0x2..0x800: Duration and Data1..Data4
    MPEVENT_KINDS_VARIABLE = 0x003F0000,  // kinds 0x10000..0x200000: Length and Bytes (or Text)
    MPEVENT_KINDS_ALL = 0x003F0FFF,       // every kind, including MPEVENT_KIND_NONE
};

// Flags word of the event record.
enum : DWORD {
    MPEVENT_FLAG_SELECTED = 0x4,  // reported on read; on Insert/Modify (mask 0x8000) requests selection
};

// Time formats of the records' time fields.
enum _MPTIME_FORMAT : DWORD {
    MPTIME_FORMAT_CLOCK = 1,   // clock time in 100-nanosecond units
    MPTIME_FORMAT_TICKS = 2,   // ticks, 960 per quarter note
    MPTIME_FORMAT_REFUSED = 4, // refused by the time conversions
};

inline bool IsShortMPEventKind(DWORD kind) { return (kind & MPEVENT_KINDS_SHORT) != 0 && (kind & ~MPEVENT_KINDS_SHORT) == 0; }
inline bool IsVariableMPEventKind(DWORD kind) { return (kind & MPEVENT_KINDS_VARIABLE) != 0 && (kind & ~MPEVENT_KINDS_VARIABLE) == 0; }

// The level-3 record of the host interface. Whoever copies an event copies
// Kind, the three identifier fields (Reserved, Channel, Reserved2), Time and
// the payload; Flags belongs to the document's selection and is not copied.
struct tagMPEVENT {
    DWORD Kind;        // one MPEVENT_KIND_* bit
    DWORD Flags;       // MPEVENT_FLAG_SELECTED
    // Identifier fields.
    uintptr_t Reserved;   // 0 on read; non-zero on Insert/Modify resets the event's extended attributes
    LONG Channel;         // MIDI channel 0..15 of a channel message
    uintptr_t Reserved2;  // 0 on read; never read by the host
    INT64 Time;        // relative to the start of the event's block
    DWORD TimeFormat;  // _MPTIME_FORMAT of Time and Duration: 2 on read; Time is taken as ticks on write
    union {
        LONG Duration;  // short kinds: note length in ticks, 0 for other messages
        DWORD Length;   // variable kinds: byte count behind Bytes; clip: byte count of Text with its terminator
    };
    // Short kinds: the four data bytes (key/controller/program/LSB, velocity/value/MSB, ...).
    BYTE Data1;
    BYTE Data2;
    BYTE Data3;
    BYTE Data4;
    union {
        BYTE* Bytes;     // variable kinds: task memory (CoTaskMemAlloc); the receiver of a read frees it
        char16_t* Text;  // clip: zero-terminated wide name, task memory like Bytes
    };
    INT64 ClipStart;   // clip only: first offset, 100-nanosecond units
    INT64 ClipEnd;     // clip only: second offset, 100-nanosecond units
};
using MPEVENT = tagMPEVENT;

// A fresh record as the host resets it before a read: kind none, ticks.
inline void ResetMPEvent(tagMPEVENT& e) {
    e = tagMPEVENT{};
    e.Kind = MPEVENT_KIND_NONE;
    e.TimeFormat = MPTIME_FORMAT_TICKS;
}

// ------------------------------------------------------------------ levels and positions

// An item is addressed by an array of three list positions (track, block,
// event); level 1 uses the first slot, level 2 the first two, level 3 all.
enum : LONG {
    MP_LEVEL_TRACK = 1,
    MP_LEVEL_BLOCK = 2,
    MP_LEVEL_EVENT = 3,
};
enum : int { MP_ID_TRACK = 0, MP_ID_BLOCK = 1, MP_ID_EVENT = 2, MP_ID_COUNT = 3 };

// Kind masks of the walks: an item matches when its Kind shares a bit with the mask.
constexpr LONG MP_MASK_SELECTED = LONG(0x80000000u);  // matches must also be selected (or the current track)
constexpr LONG MP_MASK_NAME = 0x10000000;             // a read also returns the track's or block's name
constexpr LONG MP_MASK_ALL_EVENTS = LONG(MPEVENT_KINDS_ALL);

// Field bits of Modify (Insert writes with all of them).
enum : DWORD {
    MP_FIELD_KIND = 0x1,
    MP_FIELD_PORT = 0x10,          // tracks: Port; blocks: Start; events: Time (events are written whole)
    MP_FIELD_START = 0x10,
    MP_FIELD_CHANNEL = 0x20,       // tracks: Channel; blocks: End
    MP_FIELD_END = 0x20,
    MP_FIELD_TRANSPOSE = 0x80,
    MP_FIELD_NUMBER = 0x100,       // the track moves to that index
    MP_FIELD_NAME = 0x200,
    MP_FIELD_STATE1 = 0x1000,      // tracks: StateFlag1 from Flags bit 0
    MP_FIELD_STATE2 = 0x2000,      // tracks: StateFlag2, blocks: StateFlag, from Flags bit 1
    MP_FIELD_SELECTION = 0x8000,   // blocks and events: Flags bit 2 selects, its absence unselects
    MP_FIELDS_ALL = 0xFFFFFFFF,
};

// ------------------------------------------------------------------ track and block records

enum : DWORD {
    MPTRACK_KIND_MIDI = 2,
    MPTRACK_KIND_CLIP = 4,
    MPTRACK_FLAG_STATE1 = 0x1,
    MPTRACK_FLAG_STATE2 = 0x2,   // the track is left out when the song is written
    MPTRACK_FLAG_CURRENT = 0x4,  // the document's current track (reported only)
    MPBLOCK_KIND_PLAIN = 2,
    MPBLOCK_KIND_LINK = 4,
    MPBLOCK_FLAG_STATE = 0x2,
    MPBLOCK_FLAG_SELECTED = 0x4,  // reported on read; on Insert requests selection
};

// Level-1 record.
struct _MPTRACKINFO {
    DWORD Kind;        // MPTRACK_KIND_*
    DWORD Flags;       // MPTRACK_FLAG_*
    DWORD Reserved;    // 0 on return
    LONG Port;         // MIDI port number
    LONG Channel;      // MIDI channel 0..15
    DWORD Reserved2;   // 0 on return
    LONG Transpose;    // semitones added to the notes' keys when the song is written out
    LONG Number;       // index in the track list; the conductor track is 0
    char16_t* Name;    // only with MP_MASK_NAME, else null; task memory the receiver frees
};
using MPTRACKINFO = _MPTRACKINFO;

// Level-2 record. Start and End are absolute ticks (End is not a length).
struct _MPBLOCKINFO {
    DWORD Kind;        // MPBLOCK_KIND_*
    DWORD Flags;       // MPBLOCK_FLAG_*
    DWORD Reserved;    // 0 on return
    INT64 Start;
    INT64 End;
    DWORD TimeFormat;  // 2 on return, ignored on write
    POSITION RefTrack; // link blocks only: the track of the block shown; never written from a record
    POSITION RefBlock; // link blocks only: the block shown
    char16_t* Name;    // only with MP_MASK_NAME, else null; task memory the receiver frees
};
using MPBLOCKINFO = _MPBLOCKINFO;

inline void ResetMPTrackInfo(_MPTRACKINFO& t) {
    t = _MPTRACKINFO{};
    t.Kind = MPTRACK_KIND_MIDI;
    t.Port = 1;
}

inline void ResetMPBlockInfo(_MPBLOCKINFO& b) {
    b = _MPBLOCKINFO{};
    b.Kind = MPBLOCK_KIND_PLAIN;
    b.TimeFormat = MPTIME_FORMAT_TICKS;
}

// ------------------------------------------------------------------ port list

struct MPPORTINFO {
    LONG Number;      // port number
    GUID Id;          // the port's identifier
    char16_t* Name;   // task memory the receiver frees
};

// Count entries in task memory (null when there are none); the receiver frees
// every Name and then the array.
struct MPPORTLIST {
    DWORD Count;
    MPPORTINFO* Ports;
};

// ------------------------------------------------------------------ result codes

constexpr HRESULT MP_E_TIMEINFO = HRESULT(0x80041100u);     // GetTimeInfo with a selector other than 2
constexpr HRESULT MP_E_TIMEFORMAT = HRESULT(0x80041101u);   // a time format the conversions refuse
constexpr HRESULT MP_E_TIMEFLAG = HRESULT(0x80041103u);     // a time flag other than 0
constexpr HRESULT MP_E_BADPOSITION = HRESULT(0x80041200u);  // a needed position is null or unreadable
constexpr HRESULT MP_S_UNLOCKED = HRESULT(0x00041206);      // Unlock(0) after an exclusive lock (success)
