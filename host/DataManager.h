#pragma once
// Standard MIDI File bytes <-> the song of a song document.
//
// Load reads format 0 (one track chunk, optionally followed by the ZQ
// information and karaoke chunks) or format 1 into a song of 17 tracks at 960
// ticks per quarter note: the conductor track and one track per MIDI channel,
// each with one block. Notes are paired into note events with a duration,
// split exclusive messages are joined, the SMPTE offset is set aside. Save
// writes the song back in the layout of the last successful Load.
//
// Every read of the input is bounded by its chunk and by the buffer; input
// that does not parse is refused whole and leaves the document as it was.
// Save never writes a file that breaks the format: what it cannot write
// correctly fails the save.
#include "host/PhrasorDoc.h"
#include "host/SmfBytes.h"
#include "platform/Object.h"
#include "platform/String.h"

class CPHConvPrm;

// Where the parts of the file were found. Offsets and lengths are 32-bit
// unsigned (a chunk length may use all 32 bits); an offset of 0 means absent.
struct SmfLayout {
    LONG Kind = FILE_KIND_NONE;  // FILE_KIND_SMF0, _SMF1 or _SMF0_ZQ
    LONG Division = 0;           // ticks per quarter note of the file
    DWORD TotalLength = 0;       // bytes given to Load
    WORD Format = 0;
    WORD TrackCount = 0;  // track chunks announced by the header
    DWORD HeaderOffset = 0;
    DWORD HeaderLength = 0;  // the header chunk's length field (recorded, not used)
    DWORD FirstTrackOffset = 0;
    DWORD FirstTrackLength = 0;
    DWORD InfoChunkOffset = 0;  // "ZQIH"
    DWORD InfoChunkLength = 0;
    DWORD KaraokeChunkOffset = 0;  // "ZQKM"
    DWORD KaraokeChunkLength = 0;
};

// The fixed shape of a loaded song.
constexpr int SMF_SONG_TRACKS = 17;            // conductor + one per MIDI channel
constexpr DWORD SMF_HEADER_SEARCH_LIMIT = 1024;  // "MThd" must start before this offset
constexpr LONG SMF_SONG_DIVISION = 960;
// Ports are counted among the usable ports of this kind, in both directions.
constexpr DWORD SMF_PORT_MASK = 1;

class CDataManager : public CObject {
    VX_DECLARE_CLASS(CDataManager)
public:
    CDataManager() = default;
    explicit CDataManager(CPhrasorDoc* doc) : m_pDoc(doc) {}
    ~CDataManager() override = default;
    CDataManager(const CDataManager&) = delete;
    CDataManager& operator=(const CDataManager&) = delete;
    static CObject* CreateObject();

    CPhrasorDoc* GetDoc() const { return m_pDoc; }

    // Replaces the document's song with the song of the SMF bytes (which stay
    // the caller's) and records the file kind. 1 on success; 0 for bytes that
    // are not a readable format 0 or 1 file, or no memory. A failed load
    // changes neither the song, the file kind nor the SMPTE offset.
    // `layout` (may be null) is zero-filled and then filled as far as the
    // file was understood.
    int Load(const BYTE* data, DWORD length, SmfLayout* layout);

    // Writes the song as a new buffer in the layout of the last load; the
    // caller frees it with free(). Exclusive parameter messages of the
    // converted part that the conversion replaces are left out (`prm` may be
    // null: nothing is left out). 1 on success; 0 with a null buffer and size
    // 0 when nothing was loaded, the song holds an event that the format cannot
    // carry, or memory runs out.
    int Save(BYTE** buffer, DWORD* size, const CPHConvPrm* prm);

    // The four bytes of an End of Track event with its zero delta time.
    static CString MakeEndOfTrack();

    // SMPTE offset of the last loaded file: hours, minutes, seconds and frames
    // packed big-endian, and the fractional frames; both 0 when it had none.
    DWORD GetSmpteOffset() const { return m_SmpteOffset; }
    DWORD GetSmpteSubframes() const { return m_SmpteSubframes; }

    // Whether an exclusive message is one of the converted part's parameter
    // messages that the conversion replaces.
    static bool IsReplacedKvParameter(const SongEventInfo& info, const CPHConvPrm* prm);

    struct LoadContext;  // the song being read
    struct StreamState;  // the running state of one chunk being read
    struct SaveList;     // the events of one chunk being written

protected:
    // One chunk body of a format-0 file (track chunk or ZQ chunk), from time 0.
    virtual int ReadEventStream(SmfByteReader body, LoadContext& song);
    // One track chunk body of a format-1 file; `fileTrack` counts from 0.
    virtual int ReadTrackChunk(WORD fileTrack, SmfByteReader body, LoadContext& song);
    // Decodes the event after a delta time into a new event (null for an End
    // of Track). 0 for an invalid status or data byte, a length that runs past
    // the body, or no memory.
    virtual int ReadEvent(SmfByteReader& in, BYTE& runningStatus, CSongEvent** event);

private:
    // Copies of a track's events at absolute times, merged into `list` in
    // time order, with the track's channel and transposition applied.
    bool CollectTrackEvents(POSITION track, SaveList& list) const;
    bool SaveOneTrack(SmfByteWriter& out, bool withZqChunks, const CPHConvPrm* prm) const;
    bool SaveTrackChunks(SmfByteWriter& out, const CPHConvPrm* prm) const;
    bool WriteTrackChunk(SmfByteWriter& out, const CTrack& track, const SaveList& list,
                         const CPHConvPrm* prm) const;
    // Turns notes, packed voice, RPN and NRPN events and notes with exclusive
    // into the MIDI messages they stand for.
    static bool ExpandEvents(SaveList& list);
    // A note-off for every note of the time-ordered list, at the note's end.
    static bool AddNoteOffs(SaveList& list);
    // One chunk: its head, `leading` (whole delta-time/event pairs at delta 0),
    // the writable events of the list, End of Track, and the patched length.
    static bool WriteChunk(SmfByteWriter& out, const SaveList& list, const char* id, const CPHConvPrm* prm,
                           const SmfByteWriter* leading = nullptr);
    // The bytes of one event after its delta time; false for an event the
    // format cannot carry (a data byte above 127, a channel above 15, a meta
    // event without its type, an End of Track, a length beyond 28 bits).
    static bool EncodeEvent(SmfByteWriter& out, const SongEventInfo& info);

    int ReadStream(SmfByteReader body, LoadContext& song, StreamState& stream);
    int PlaceEvent(CSongEvent* event, LoadContext& song, StreamState& stream);

    CPhrasorDoc* m_pDoc = nullptr;  // not owned
    DWORD m_SmpteOffset = 0;
    DWORD m_SmpteSubframes = 0;
};
