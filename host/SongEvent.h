#pragma once
// One event of the song document: a plain record (SongEventInfo) and the
// event's own copy of its variable data.
#include <cstddef>
#include <new>

#include "host/MPEvent.h"
#include "host/SongTime.h"
#include "platform/Memory.h"
#include "platform/Object.h"

// The song uses the host record's kind values (MPEVENT_KIND_*).
// Short kinds are exactly one of 0x1..0x800; variable kinds one of 0x10000..0x100000;
// the clip kind is 0x200000.
inline bool IsSingleKindBit(DWORD kind) { return kind != 0 && (kind & (kind - 1)) == 0; }
inline bool IsShortSongKind(DWORD kind) { return IsSingleKindBit(kind) && kind <= MPEVENT_KIND_PITCHBEND; }
inline bool IsVariableSongKind(DWORD kind) {
    return IsSingleKindBit(kind) && kind >= MPEVENT_KIND_SYSEX && kind <= MPEVENT_KIND_META;
}

struct SongEventInfo {
    INT64 Time = 0;                  // ticks from the start of the event's block
    DWORD Kind = MPEVENT_KIND_NONE;  // one kind bit
    LONG Channel = 0;                // 0..15 for channel messages
    BYTE Data1 = 0;                  // key, controller, program, pressure, bend LSB; NRPN/RPN parameter MSB; bank MSB
    BYTE Data2 = 0;                  // velocity, value, bend MSB; NRPN/RPN parameter LSB; bank LSB
    BYTE Data3 = 0;                  // note-off velocity; NRPN/RPN data MSB; program of a packed voice
    BYTE Data4 = 0;                  // NRPN/RPN data LSB
    LONG Duration = 0;               // a note's length in ticks
    DWORD Length = 0;                // byte count of Bytes
    BYTE* Bytes = nullptr;           // variable data (owned by whoever filled the record)
    // Extended attributes: carried, not interpreted here.
    LONG Extra0 = -1;
    LONG Extra1 = 0;
    LONG Extra2 = 0;
    LONG Extra3 = 0;
    LONG Extra4 = 0;
    LONG Extra5 = 0;
};

// The data of a clip event: a wide name and two offsets in 100-nanosecond units.
struct SongClipData {
    char16_t* Name;  // zero-terminated; owned by the event that holds the block
    INT64 ClipStart;
    INT64 ClipEnd;
};
static_assert(sizeof(SongClipData) == 24, "a clip event's data block is 24 bytes");
constexpr DWORD SONG_CLIP_DATA_SIZE = sizeof(SongClipData);

class CSongEvent : public CObject {
    VX_DECLARE_CLASS(CSongEvent)
public:
    CSongEvent() = default;
    ~CSongEvent() override;
    CSongEvent(const CSongEvent&) = delete;
    CSongEvent& operator=(const CSongEvent&) = delete;

    // A song holds an event per note and message, and each load and save
    // makes and drops them by the thousand: they come from a pool of their
    // own (a class derived from this one uses the heap).
    static void* operator new(size_t size);
    static void* operator new(size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* p, size_t size) noexcept;
    static void operator delete(void* p, const std::nothrow_t&) noexcept;

    // Takes the record; variable data and a clip's name are copied, never
    // borrowed. 1 on success; 0 (the event unchanged) for a kind outside the
    // lists, variable data that the record does not hold, or no memory.
    int SetInfo(const SongEventInfo& info, int copyExtended);
    const SongEventInfo& GetInfo() const { return m_Info; }
    INT64 GetTime() const { return m_Info.Time; }
    DWORD GetKind() const { return m_Info.Kind; }
    void SetTime(INT64 time) { m_Info.Time = time; }

    // Replaces the data by `count` zeroed bytes; 0 when they cannot be allocated.
    int AllocData(DWORD count);
    void FreeData();
    HGLOBAL GetDataHandle() const { return m_hData; }

    // A note's length: Duration for a note, the length stored in the data of a
    // note with exclusive, else 0.
    LONG GetDuration() const { return DurationOf(m_Info); }
    // The same for a record.
    static LONG DurationOf(const SongEventInfo& info);

    // The clip block of a clip event, null for any other event.
    const SongClipData* GetClip() const;

    // The record's fields in declaration order, the variable data (for a
    // clip: its name and offsets) in place of Bytes. A load that runs short
    // or finds a kind outside the lists fails the archive and leaves the
    // event as it was.
    void Serialize(CArchive& ar) override;

private:
    void Store(CArchive& ar) const;
    // Takes the record and data of `other`, which is left empty.
    void TakeFrom(CSongEvent& other);

    SongEventInfo m_Info;
    HGLOBAL m_hData = nullptr;  // owned; holds m_Info.Bytes
};
