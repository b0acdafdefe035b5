#pragma once
// The user interface's own model of a Standard MIDI File: a header, the
// tracks in file order and the bodies of the two ZQ chunks. It reads songs
// tolerantly (the header anywhere, running status across meta and exclusive
// events, unknown chunks skipped) but refuses what it cannot hold, and it
// never reads outside the bytes it was given. Results follow SmfCodes.h.
#include <memory>
#include <utility>
#include <vector>

#include "app/SmfTrk.h"
#include "platform/Types.h"

class QByteArray;
class SmfByteWriter;
struct ChannelFacts;
struct DrumNoteSet;
struct SongFacts;

class CChunkBase {
public:
    virtual ~CChunkBase() = default;
};

// The header chunk.
struct CHead {
    WORD Format = 0;
    WORD TrackCount = 0;
    WORD Division = 480;  // ticks per quarter note
};

// Save formats GetFormat reports besides the header's 0, 1 and 2.
constexpr int SMF_FORMAT_ZQ = 3;

class CSmf : public CChunkBase {
public:
    using TrackVector = std::vector<std::unique_ptr<CTrk>>;

    CSmf() = default;
    ~CSmf() override = default;
    CSmf(const CSmf&) = delete;
    CSmf& operator=(const CSmf&) = delete;

    // Deletes the tracks, empties the ZQ bodies and resets the header to
    // format 0, no tracks, division 480.
    int Clear();
    // Replaces the model with the song of `bytes`. On failure the model
    // keeps what was read before the failing chunk; the caller treats the
    // song as not loaded.
    int FromByteArray(const QByteArray& bytes);
    // Writes the model as SMF bytes into `out`, replacing its contents; a
    // failed write leaves `out` as it was. The header's track count is the
    // number of track chunks written.
    int ToByteArray(QByteArray& out) const;

    // The save format: the header's format when it is not 0; for format 0,
    // 3 (ZQ) when the song has ZQ data, else 0. A song with only a "ZQKM"
    // body gets it as its "ZQIH" body too.
    int GetFormat(int& format);
    // Sets the header's format and counts the tracks.
    int SetFormat(int format);

    CHead& GetHead() { return m_Head; }
    const CHead& GetHead() const { return m_Head; }
    TrackVector& GetTracks() { return m_Tracks; }
    const TrackVector& GetTracks() const { return m_Tracks; }
    std::vector<BYTE>& GetZqihBody() { return m_Zqih; }
    const std::vector<BYTE>& GetZqihBody() const { return m_Zqih; }
    std::vector<BYTE>& GetZqkmBody() { return m_Zqkm; }
    const std::vector<BYTE>& GetZqkmBody() const { return m_Zqkm; }
    bool UsesRunningStatus() const { return m_bRunningStatus; }

    // --- Analysis of an opened song (SmfAnalysis.cpp) ---

    // The merged lists: every event with from <= time <= to, gathered track
    // by track and sorted by time, stably (equal times keep track order,
    // then list order). They are appended to `out`, hold no ownership and
    // are stale after the song changes; while walking one, an event may be
    // deleted through its track only when it is the event in hand or one
    // already passed.
    using EventRefs = std::vector<CEvnt*>;
    using TrackEventRefs = std::vector<std::pair<CTrk*, CEvnt*>>;
    int CollectEvents(EventRefs& out, DWORD from, DWORD to);
    int CollectTrackEvents(TrackEventRefs& out, DWORD from, DWORD to);

    // Division, first tempo and meter at time 0, first event and first note
    // times and the KV System On; every field is set, defaults first.
    // 0x80000006 for a tempo at time 0 whose data is not 3 bytes, 0x80000009
    // for a time signature at time 0 whose data is not 4 bytes.
    int CollectSongFacts(SongFacts& facts);
    // GS and GM reset messages: whether there are any, and whether one of
    // them outlasts the last KV System On before `firstNoteTime`.
    int DetectResets(DWORD firstNoteTime, bool& foreignReset, bool& gsFound, bool& gmFound);
    // Deletes GM system messages (bit 0), GS reset and mode-set messages
    // (bit 1) and bank selects (bit 2).
    int RemoveResets(int flags);
    // Fills bytes 0 to 7 of `facts` for `channel` (byte 8, the part mode,
    // keeps the caller's value unless the song sets it). 1 when a program
    // change altered the voice, else 0; 0x80000001 for a channel outside
    // 0..15.
    int AnalyseChannel(int channel, ChannelFacts& facts);
    // The grid, in ticks at 960 per quarter note whatever the division, that
    // best fits the notes of the flagged channels: one of
    // kBeatResolutionTicks, 240 when no grid fits any note.
    int EstimateBeatResolution(const bool channelFlags[16], int& ticks);
    // ORs into `found` every key of `notes` that a note-on of `channel`
    // plays.
    int CollectDeletedDrumNotes(int channel, const DrumNoteSet& notes, DrumNoteSet& found);
    // Deletes the channel's per-drum-note NRPN messages and the KV drum
    // setup messages of the part mode's drum setup (part modes 2 to 5).
    int RemoveDrumSetupEdits(int channel, int partMode);

    // --- Format conversion (SmfFormat.cpp) ---

    // Converts between the save formats 0, 1 and 3 (ZQ); 0x80000001 for any
    // other pair.
    int ConvertFormat(int current, int wanted);
    // All tracks become one, with one end of track at the latest time.
    int MergeTracks();
    // One track per channel that has events, in channel order; meta and
    // exclusive events go to the first.
    int SplitByChannel();
    // Both ZQ bodies become the minimal body (an end of track at delta 0).
    int MakeZqChunks();
    int ClearZqChunks();

    // --- The song head (SmfHead.cpp) ---

    // As a song is opened: a KV System On at time 0 (moved there or
    // inserted), then the lead-in before the first event that is not part
    // of the head. `facts` are those collected before.
    int PrepareHead(const SongFacts& facts);
    // A KV System On at time 0 in the first track, before its first event
    // later than 0 and at most the third event.
    int InsertKvSystemOn();
    // The last KV System On at `kvTime` of each track goes to time 0; the
    // other ones there and every non-meta event before `kvTime` are deleted.
    int MoveKvSystemOnToStart(DWORD kvTime);
    // Makes at least 50 ms plus 60 ticks (at 960 per quarter note) pass
    // before the first event that is not part of the head: by shifting the
    // events before the first note, or by whole measures.
    int NormaliseHead(const SongFacts& facts);
    // Moves the events of `head` that are not head events by `shift` ticks
    // when that keeps them before the first note; `possible` tells whether
    // it does. Without `apply` nothing changes.
    int ShiftHeadEvents(const EventRefs& head, DWORD shift, DWORD firstEventTime, DWORD firstNoteTime, DWORD kvTime,
                        bool apply, bool& possible);
    // Moves every event but the head events at 0 later by the fewest whole
    // measures m >= 1 for which (base + m x measure) x tempo / division
    // reaches `threshold`, counted exactly. 0x80000001 when there is no
    // measure (a zero tempo, division or numerator, or a denominator power
    // that leaves no tick), 0x80000002 when a moved time would not fit in
    // 32 bits; both change nothing.
    int InsertLeadMeasures(WORD division, DWORD tempo, BYTE numerator, BYTE denominatorPower, DWORD base,
                           DWORD threshold);
    // Reads `bytes` into this model, normalises the head and writes the
    // model back; `bytes` change only when all of it succeeds.
    int Normalize(QByteArray& bytes);

protected:
    // Called last by Clear; a negative result fails Clear.
    virtual int OnClear() { return 0; }

private:
    // The byte-vector level of FromByteArray and ToByteArray.
    int Parse(const BYTE* data, size_t size);
    int Write(SmfByteWriter& out) const;

    CHead m_Head;
    TrackVector m_Tracks;
    std::vector<BYTE> m_Zqih;
    std::vector<BYTE> m_Zqkm;
    bool m_bRunningStatus = true;
};
