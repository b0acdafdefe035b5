#pragma once
// The host interface's flat event record and its kind bits. The engine reads
// and writes song events only through this record; the song document converts
// it to and from its own event info on every call.
//
// Pointers and identifiers are pointer-width here: the record carries list
// positions and task-memory pointers, which do not fit the 32-bit fields the
// record was first laid out with.
#include <cstdint>

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
