// Reading SMF bytes into the song document.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <iterator>
#include <memory>
#include <new>
#include <vector>

#include "host/DataManager.h"

VX_IMPLEMENT_CLASS(CDataManager, CObject);

CObject* CDataManager::CreateObject() { return new (std::nothrow) CDataManager(); }

namespace {

constexpr DWORD SMF_HEADER_SIZE = 14;  // "MThd", length, format, track count, division
constexpr DWORD SMF_CHUNK_HEAD_SIZE = 8;
constexpr int CONDUCTOR_INDEX = 0;
constexpr int FIRST_CHANNEL_INDEX = 1;  // track of MIDI channel 0; also holds exclusives and lyrics
constexpr LONG DRUM_CHANNEL = 9;
constexpr INT64 NEW_BLOCK_END = 960;
constexpr BYTE STATUS_SYSEX = 0xF0;
constexpr BYTE STATUS_SYSEX_CONT = 0xF7;
constexpr BYTE STATUS_META = 0xFF;
constexpr BYTE UNPAIRED_NOTE_OFF_VELOCITY = 64;

// "Block" and the index, as "Block%d" formats it: every load names its blocks.
CString BlockName(int index) {
    char text[24] = "Block";
    int length = 5;
    char digits[12];
    int count = 0;
    unsigned value = index < 0 ? 0u - unsigned(index) : unsigned(index);
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value);
    if (index < 0) text[length++] = '-';
    while (count > 0) text[length++] = digits[--count];
    return CString(text, length);
}

struct ChunkSpan {
    size_t Offset;  // of the chunk head
    DWORD Length;   // the head's length field
};

bool IdAt(const BYTE* data, size_t at, const char* id) { return std::memcmp(data + at, id, 4) == 0; }

DWORD ReadU32At(const BYTE* data, size_t at) {
    return DWORD(data[at]) << 24 | DWORD(data[at + 1]) << 16 | DWORD(data[at + 2]) << 8 | DWORD(data[at + 3]);
}

// The first chunk head with `id` at or after `from` whose eight bytes fit.
bool FindChunk(const BYTE* data, size_t length, size_t from, const char* id, ChunkSpan* out) {
    for (size_t at = from; at <= length && length - at >= SMF_CHUNK_HEAD_SIZE; ++at) {
        if (!IdAt(data, at, id)) continue;
        out->Offset = at;
        out->Length = ReadU32At(data, at + 4);
        return true;
    }
    return false;
}

// The body of a chunk, cut at the end of the buffer when its length runs past it.
SmfByteReader BodyOf(const BYTE* data, size_t length, const ChunkSpan& chunk) {
    const size_t begin = chunk.Offset + SMF_CHUNK_HEAD_SIZE;
    const size_t end = std::min(length, begin + size_t(chunk.Length));
    return SmfByteReader(data + begin, end - begin);
}

size_t ChunkEnd(const ChunkSpan& chunk) { return chunk.Offset + SMF_CHUNK_HEAD_SIZE + size_t(chunk.Length); }

bool IsChannelKind(DWORD kind) {
    switch (kind) {
    case MPEVENT_KIND_NOTEOFF:
    case MPEVENT_KIND_NOTE:
    case MPEVENT_KIND_KEYAFT:
    case MPEVENT_KIND_CONTROL:
    case MPEVENT_KIND_PROGRAM:
    case MPEVENT_KIND_CHANAFT:
    case MPEVENT_KIND_PITCHBEND:
        return true;
    default:
        return false;
    }
}

bool IsTerminatedSysex(const std::vector<BYTE>& bytes) { return !bytes.empty() && bytes.back() == 0xF7; }

// A new event of a variable kind holding `bytes`; null when memory runs out.
CSongEvent* NewVariableEvent(DWORD kind, const BYTE* bytes, DWORD length) {
    std::unique_ptr<CSongEvent> event(new (std::nothrow) CSongEvent());
    if (!event) return nullptr;
    SongEventInfo info;
    info.Kind = kind;
    info.Length = length;
    info.Bytes = const_cast<BYTE*>(bytes);
    return event->SetInfo(info, 0) ? event.release() : nullptr;
}

// The notes waiting for a note off, chained per channel and key through one
// array, so that pairing allocates nothing per key; first in, first out.
struct WaitingNotes {
    static constexpr uint32_t kEnd = UINT32_MAX;
    static constexpr size_t kKeys = 16 * 128;  // a loaded event's channel is 0..15, its key 0..127
    std::vector<CSongEvent*> notes;  // a taken note's entry is null
    std::vector<uint32_t> next;
    std::vector<uint32_t> head = std::vector<uint32_t>(kKeys, kEnd);
    std::vector<uint32_t> tail = std::vector<uint32_t>(kKeys, kEnd);
    std::vector<uint32_t> used;  // keys whose chains were not empty

    static size_t KeyOf(const SongEventInfo& info) { return size_t(info.Channel & 0x0F) << 7 | (info.Data1 & 0x7F); }
    void Clear() {
        for (uint32_t key : used) head[key] = tail[key] = kEnd;
        used.clear();
        notes.clear();
        next.clear();
    }
    bool Push(CSongEvent* note) {
        if (notes.size() >= kEnd) return false;
        const size_t key = KeyOf(note->GetInfo());
        const uint32_t index = uint32_t(notes.size());
        notes.push_back(note);
        next.push_back(kEnd);
        if (tail[key] == kEnd) {
            head[key] = index;
            used.push_back(uint32_t(key));
        } else {
            next[tail[key]] = index;
        }
        tail[key] = index;
        return true;
    }
    // The first note waiting for this note off, taken out of its chain; null when none.
    CSongEvent* Take(const SongEventInfo& off) {
        const size_t key = KeyOf(off);
        const uint32_t index = head[key];
        if (index == kEnd) return nullptr;
        head[key] = next[index];
        if (head[key] == kEnd) tail[key] = kEnd;
        CSongEvent* note = notes[index];
        notes[index] = nullptr;
        return note;
    }
};

// A note takes its note off: its length reaches the off, its release velocity is the off's.
bool TakeOff(CSongEvent* note, const SongEventInfo& off) {
    SongEventInfo paired = note->GetInfo();
    const INT64 length = off.Time - paired.Time;
    if (length > INT64(INT32_MAX)) return false;  // longer than a note can be
    paired.Duration = LONG(length);
    paired.Data3 = off.Data2;
    return note->SetInfo(paired, 1) != 0;
}

// The notes still waiting get the shortest length.
bool LeaveUnpaired(const WaitingNotes& w) {
    for (CSongEvent* note : w.notes) {
        if (!note) continue;
        SongEventInfo unpaired = note->GetInfo();
        unpaired.Duration = 1;
        unpaired.Data3 = UNPAIRED_NOTE_OFF_VELOCITY;
        if (!note->SetInfo(unpaired, 1)) return false;
    }
    return true;
}

// The MIDI channels whose messages a chunk body holds (bit n: channel n);
// every channel when the body does not parse (the reading proper reports it).
WORD ChannelsOfChunk(SmfByteReader body) {
    constexpr WORD kAll = 0xFFFF;
    WORD channels = 0;
    BYTE running = 0;
    while (!body.AtEnd()) {
        DWORD delta = 0, length = 0;
        BYTE status = 0;
        if (!body.ReadVarLen(delta) || !body.ReadByte(status)) return kAll;
        if (status == STATUS_SYSEX || status == STATUS_SYSEX_CONT || status == STATUS_META) {
            running = 0;
            if (status == STATUS_META && !body.Skip(1)) return kAll;
            if (!body.ReadVarLen(length) || !body.Skip(length)) return kAll;
            continue;
        }
        size_t data = 0;
        if (status & 0x80) {
            if (status >= 0xF0) return kAll;
            running = status;
            data = 1;
        } else if (running == 0) {
            return kAll;
        }
        channels |= WORD(1u << (running & 0x0F));
        const BYTE type = running & 0xF0;
        const size_t size = type == 0xC0 || type == 0xD0 ? 1 : 2;
        if (!body.Skip(size - (data ? 0 : 1))) return kAll;
    }
    return channels;
}

}  // namespace

// The 17 tracks being filled; they belong to the load until the song is replaced.
struct CDataManager::LoadContext {
    LoadContext() = default;
    LoadContext(const LoadContext&) = delete;
    LoadContext& operator=(const LoadContext&) = delete;
    ~LoadContext() {
        for (auto& events : Events)
            for (CSongEvent* e : events) delete e;
    }

    std::array<std::unique_ptr<CTrack>, SMF_SONG_TRACKS> Tracks;
    std::array<CBlock*, SMF_SONG_TRACKS> Blocks{};  // owned by their tracks
    // Each block's events in time order, owned here until the block takes
    // them all at once when the song is read.
    std::array<std::vector<CSongEvent*>, SMF_SONG_TRACKS> Events;
    std::array<INT64, SMF_SONG_TRACKS> BlockEnds{};
    LONG Division = SMF_SONG_DIVISION;
    const CMidiPortMap* PortMap = nullptr;  // the document's output ports; may be null
    bool HasSmpte = false;
    DWORD SmpteOffset = 0;
    DWORD SmpteSubframes = 0;
    // Channels whose messages come from one chunk only: their blocks get
    // their events in the chunk's order, so a note off pairs with its note as
    // it is read (the pairing of the whole block would give the same) and
    // only a note off without a note waiting for it becomes an event.
    WORD PairedOnArrival = 0;
    WaitingNotes Arriving;
};

// One chunk being read: its clock, its running status, the exclusive message
// still waiting for continuation packets, and (format 1) what names the
// chunk and which channels it uses.
struct CDataManager::StreamState {
    bool TrackChunk = false;  // a format-1 track chunk
    WORD FileTrack = 0;
    INT64 Time = 0;
    UINT64 Remainder = 0;  // re-timing remainder, carried so that truncation never builds up
    BYTE RunningStatus = 0;
    CSongEvent* OpenSysex = nullptr;  // placed in its block; its bytes so far in OpenBytes
    std::vector<BYTE> OpenBytes;
    bool OpenGrew = false;
    CString Name;
    WORD Channels = 0;  // bit n: the chunk holds a message of channel n
    // This chunk's events for each block, in the chunk's (time) order; owned
    // here until they join the block's events when the chunk is read.
    std::array<std::vector<CSongEvent*>, SMF_SONG_TRACKS> Placed;

    StreamState() = default;
    StreamState(const StreamState&) = delete;
    StreamState& operator=(const StreamState&) = delete;
    ~StreamState() {
        for (auto& events : Placed)
            for (CSongEvent* e : events) delete e;
    }
};

namespace {

// Gives the open exclusive message the bytes its continuation packets added.
bool CloseSysex(CDataManager::StreamState& s) {
    CSongEvent* event = s.OpenSysex;
    s.OpenSysex = nullptr;
    if (!event || !s.OpenGrew) return true;
    SongEventInfo info = event->GetInfo();
    info.Length = DWORD(s.OpenBytes.size());
    info.Bytes = s.OpenBytes.data();
    s.OpenGrew = false;
    return event->SetInfo(info, 1) != 0;
}

// A chunk's events join a block's: each goes after every event of the block
// of equal or earlier time, as inserting them one by one in time order would
// place them. Both lists are in time order, so this is one merge.
void JoinEvents(std::vector<CSongEvent*>& block, std::vector<CSongEvent*>& chunk) {
    if (chunk.empty()) return;
    if (block.empty() || block.back()->GetTime() <= chunk.front()->GetTime()) {
        block.insert(block.end(), chunk.begin(), chunk.end());
    } else {
        std::vector<CSongEvent*> joined;
        joined.reserve(block.size() + chunk.size());
        std::merge(block.begin(), block.end(), chunk.begin(), chunk.end(), std::back_inserter(joined),
                   [](const CSongEvent* a, const CSongEvent* b) { return a->GetTime() < b->GetTime(); });
        block.swap(joined);
    }
    chunk.clear();
}

bool SetTrackName(CTrack* track, const CString& name) {
    TrackInfo info = track->GetInfo();
    info.Name = name;
    return track->SetInfo(info, 1) != 0;
}

// Every note takes the first later note off of its channel and key, first in
// first out; a note without one gets the shortest length.
bool PairNotes(std::vector<CSongEvent*>& events, WaitingNotes& w) {
    w.Clear();
    size_t kept = 0;
    for (size_t i = 0; i < events.size(); ++i) {
        CSongEvent* event = events[i];
        const SongEventInfo& info = event->GetInfo();
        if (info.Kind == MPEVENT_KIND_NOTE && info.Duration <= 0) {
            if (!w.Push(event)) return false;
        } else if (info.Kind == MPEVENT_KIND_NOTEOFF) {
            if (CSongEvent* note = w.Take(info)) {
                if (!TakeOff(note, info)) return false;
                delete event;
                continue;
            }
        }
        events[kept++] = event;
    }
    events.resize(kept);
    return LeaveUnpaired(w);
}

}  // namespace

int CDataManager::ReadEvent(SmfByteReader& in, BYTE& runningStatus, CSongEvent** out) {
    *out = nullptr;
    BYTE status = 0;
    if (!in.ReadByte(status)) return 0;

    if (status == STATUS_SYSEX || status == STATUS_SYSEX_CONT) {
        runningStatus = 0;  // exclusive messages cancel running status
        DWORD length = 0;
        const BYTE* bytes = nullptr;
        if (!in.ReadVarLen(length) || !in.ReadSpan(length, bytes)) return 0;
        *out = NewVariableEvent(status == STATUS_SYSEX ? MPEVENT_KIND_SYSEX : MPEVENT_KIND_SYSEX_CONT, bytes, length);
        return *out ? 1 : 0;
    }
    if (status == STATUS_META) {
        runningStatus = 0;  // so do meta events
        BYTE type = 0;
        DWORD length = 0;
        const BYTE* bytes = nullptr;
        if (!in.ReadByte(type) || !in.ReadVarLen(length) || !in.ReadSpan(length, bytes)) return 0;
        if (type == META_END_OF_TRACK) return 1;
        if (length == 0xFFFFFFFFu) return 0;  // the type byte would not fit the count
        // The event's data is the type followed by the meta's bytes, filled in place.
        std::unique_ptr<CSongEvent> event(new (std::nothrow) CSongEvent());
        SongEventInfo info;
        info.Kind = MPEVENT_KIND_META;
        if (!event || !event->SetInfo(info, 0) || !event->AllocData(length + 1)) return 0;
        BYTE* data = event->GetInfo().Bytes;
        data[0] = type;
        if (length) std::memcpy(data + 1, bytes, length);
        *out = event.release();
        return 1;
    }

    BYTE first = 0;
    if (status & 0x80) {
        if (status >= 0xF0) return 0;  // system common and real-time messages have no place in a file
        runningStatus = status;
        if (!in.ReadByte(first)) return 0;
    } else {
        if (runningStatus == 0) return 0;  // a data byte with no status to apply it to
        first = status;
        status = runningStatus;
    }
    if (first & 0x80) return 0;  // a status byte where a data byte belongs

    SongEventInfo info;
    info.Channel = status & 0x0F;
    info.Data1 = first;
    const BYTE type = status & 0xF0;
    if (type != 0xC0 && type != 0xD0) {
        if (!in.ReadByte(info.Data2) || (info.Data2 & 0x80)) return 0;
    }
    switch (type) {
    case 0x80: info.Kind = MPEVENT_KIND_NOTEOFF; break;
    case 0x90:
        info.Kind = info.Data2 ? MPEVENT_KIND_NOTE : MPEVENT_KIND_NOTEOFF;
        if (!info.Data2) info.Data2 = 64;
        break;
    case 0xA0: info.Kind = MPEVENT_KIND_KEYAFT; break;
    case 0xB0: info.Kind = MPEVENT_KIND_CONTROL; break;
    case 0xC0: info.Kind = MPEVENT_KIND_PROGRAM; break;
    case 0xD0: info.Kind = MPEVENT_KIND_CHANAFT; break;
    default: info.Kind = MPEVENT_KIND_PITCHBEND; break;
    }
    std::unique_ptr<CSongEvent> event(new (std::nothrow) CSongEvent());
    if (!event || !event->SetInfo(info, 0)) return 0;
    *out = event.release();
    return 1;
}

int CDataManager::PlaceEvent(CSongEvent* placed, LoadContext& song, StreamState& s) {
    std::unique_ptr<CSongEvent> event(placed);
    const SongEventInfo& info = event->GetInfo();
    int index = CONDUCTOR_INDEX;
    bool opensSysex = false;

    if (IsChannelKind(info.Kind)) {
        index = FIRST_CHANNEL_INDEX + info.Channel;
        s.Channels |= WORD(1u << info.Channel);
        if (info.Kind == MPEVENT_KIND_NOTEOFF && (song.PairedOnArrival >> info.Channel & 1)) {
            if (CSongEvent* note = song.Arriving.Take(info)) {
                if (!TakeOff(note, info)) return 0;
                song.BlockEnds[index] = std::max(song.BlockEnds[index], info.Time);
                return 1;  // the note off is its note's length now
            }
        }
    } else if (info.Kind == MPEVENT_KIND_SYSEX) {
        if (!CloseSysex(s)) return 0;
        index = FIRST_CHANNEL_INDEX;
        try {
            s.OpenBytes.assign(info.Bytes, info.Bytes + info.Length);
        } catch (const std::bad_alloc&) {
            return 0;
        }
        opensSysex = !IsTerminatedSysex(s.OpenBytes);
    } else if (info.Kind == MPEVENT_KIND_SYSEX_CONT) {
        if (s.OpenSysex) {
            // A continuation packet of the message still open: its bytes join that message.
            try {
                s.OpenBytes.insert(s.OpenBytes.end(), info.Bytes, info.Bytes + info.Length);
            } catch (const std::bad_alloc&) {
                return 0;
            }
            s.OpenGrew = true;
            song.BlockEnds[FIRST_CHANNEL_INDEX] = std::max(song.BlockEnds[FIRST_CHANNEL_INDEX], info.Time);
            if (IsTerminatedSysex(s.OpenBytes) && !CloseSysex(s)) return 0;
            return 1;
        }
        index = FIRST_CHANNEL_INDEX;  // an escape: bytes sent as they are
    } else if (info.Kind == MPEVENT_KIND_META && info.Length > 0) {
        const BYTE* b = info.Bytes;
        const DWORD n = info.Length;
        if (s.TrackChunk && n == 5 && b[0] == META_SEQUENCER && b[1] == 0x43 && b[2] == 0x00 && b[3] == 0x01) {
            // The keyboard's port meta names the port of the file track.
            if (song.PortMap) {
                TrackInfo conductor = song.Tracks[CONDUCTOR_INDEX]->GetInfo();
                conductor.Port = song.PortMap->GetPortNumber(b[4], SMF_PORT_MASK);
                song.Tracks[CONDUCTOR_INDEX]->SetInfo(conductor, 1);
            }
            return 1;
        }
        if (n >= 3 && b[0] == META_SEQUENCER && b[1] == 0x43 && b[2] == 0x00) return 1;
        if (n == 6 && b[0] == META_SMPTE_OFFSET) {
            song.HasSmpte = true;
            song.SmpteOffset = DWORD(b[1]) << 24 | DWORD(b[2]) << 16 | DWORD(b[3]) << 8 | DWORD(b[4]);
            song.SmpteSubframes = b[5];
            return 1;
        }
        if (s.TrackChunk && info.Time == 0 && b[0] == META_TRACK_NAME) {
            const CString name(reinterpret_cast<const char*>(b + 1), int(n - 1));
            if (s.FileTrack == 0) {
                // The first track's name names the song: the conductor keeps it as an event too.
                if (n > 1 && !SetTrackName(song.Tracks[CONDUCTOR_INDEX].get(), name)) return 0;
            } else {
                // Another track's name goes to the channel track it fills, once the chunk is read.
                if (n > 1 && s.Name.IsEmpty()) s.Name = name;
                return 1;
            }
        }
        index = b[0] == META_LYRIC ? FIRST_CHANNEL_INDEX : CONDUCTOR_INDEX;
    } else if (info.Kind != MPEVENT_KIND_META) {
        return 1;  // no other kind has a place in the song
    }

    s.Placed[size_t(index)].push_back(event.get());
    CSongEvent* inserted = event.release();
    song.BlockEnds[index] = std::max(song.BlockEnds[index], AddSongTime(info.Time, info.Duration));
    if (inserted->GetKind() == MPEVENT_KIND_NOTE && inserted->GetInfo().Duration <= 0 &&
        (song.PairedOnArrival >> inserted->GetInfo().Channel & 1) && !song.Arriving.Push(inserted))
        return 0;
    if (opensSysex) {
        s.OpenSysex = inserted;
        s.OpenGrew = false;
    }
    return 1;
}

int CDataManager::ReadStream(SmfByteReader body, LoadContext& song, StreamState& s) {
    while (!body.AtEnd()) {
        DWORD delta = 0;
        if (!body.ReadVarLen(delta)) return 0;
        const UINT64 scaled = UINT64(delta) * SMF_SONG_DIVISION + s.Remainder;
        s.Time += INT64(scaled / UINT64(song.Division));
        s.Remainder = scaled % UINT64(song.Division);
        CSongEvent* event = nullptr;
        if (!ReadEvent(body, s.RunningStatus, &event)) return 0;
        if (!event) continue;  // End of Track
        event->SetTime(s.Time);
        if (!PlaceEvent(event, song, s)) return 0;
    }
    if (!CloseSysex(s)) return 0;
    for (size_t i = 0; i < song.Events.size(); ++i) JoinEvents(song.Events[i], s.Placed[i]);
    return 1;
}

int CDataManager::ReadEventStream(SmfByteReader body, LoadContext& song) {
    StreamState stream;
    return ReadStream(body, song, stream);
}

int CDataManager::ReadTrackChunk(WORD fileTrack, SmfByteReader body, LoadContext& song) {
    StreamState stream;
    stream.TrackChunk = true;
    stream.FileTrack = fileTrack;
    if (!ReadStream(body, song, stream)) return 0;
    // A track of one channel lends its name to that channel's track, unless
    // an earlier file track already did.
    const WORD channels = stream.Channels;
    if (stream.Name.IsEmpty() || channels == 0 || (channels & (channels - 1)) != 0) return 1;
    int channel = 0;
    while (!(channels & (1u << channel))) ++channel;
    CTrack* track = song.Tracks[FIRST_CHANNEL_INDEX + channel].get();
    if (track->GetInfo().Name.IsEmpty() && !SetTrackName(track, stream.Name)) return 0;
    return 1;
}

int CDataManager::Load(const BYTE* data, DWORD length, SmfLayout* layoutOut) {
    SmfLayout scratch;
    SmfLayout& layout = layoutOut ? *layoutOut : scratch;
    layout = SmfLayout();
    layout.TotalLength = length;
    if (!m_pDoc || !data || length <= SMF_HEADER_SIZE) return 0;

    // Header: "MThd" somewhere in the first 1024 bytes.
    size_t header = 0;
    bool found = false;
    for (; header < SMF_HEADER_SEARCH_LIMIT && header + SMF_HEADER_SIZE <= length; ++header) {
        if (IdAt(data, header, "MThd")) {
            found = true;
            break;
        }
    }
    if (!found) return 0;
    SmfByteReader head(data + header + 4, SMF_HEADER_SIZE - 4);
    WORD division = 0;
    head.ReadU32BE(layout.HeaderLength);
    head.ReadU16BE(layout.Format);
    head.ReadU16BE(layout.TrackCount);
    head.ReadU16BE(division);
    layout.HeaderOffset = DWORD(header);
    layout.Division = division;
    if (layout.Format == 0 ? layout.TrackCount != 1 : layout.Format != 1 || layout.TrackCount < 1) return 0;
    // 0 ticks per quarter note cannot be re-timed; the high bit means SMPTE frames,
    // which have no fixed relation to quarter notes without the tempo.
    if (division == 0 || (division & 0x8000)) return 0;

    // Track chunks: each found by scanning, skipping whatever lies between them.
    std::vector<ChunkSpan> chunks;
    size_t pos = header + SMF_HEADER_SIZE;
    try {
        chunks.reserve(layout.TrackCount);
        for (int i = 0; i < layout.TrackCount; ++i) {
            ChunkSpan chunk;
            if (!FindChunk(data, length, pos, "MTrk", &chunk)) return 0;
            chunks.push_back(chunk);
            pos = ChunkEnd(chunk);
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    layout.FirstTrackOffset = DWORD(chunks[0].Offset);
    layout.FirstTrackLength = chunks[0].Length;

    // The ZQ chunks after the track chunks: each taken at its first occurrence.
    ChunkSpan info{0, 0}, karaoke{0, 0};
    while (pos <= length && length - pos >= SMF_CHUNK_HEAD_SIZE && !(info.Offset && karaoke.Offset)) {
        ChunkSpan* slot = nullptr;
        if (!info.Offset && IdAt(data, pos, "ZQIH")) slot = &info;
        if (!karaoke.Offset && IdAt(data, pos, "ZQKM")) slot = &karaoke;
        if (!slot) {
            ++pos;
            continue;
        }
        *slot = ChunkSpan{pos, ReadU32At(data, pos + 4)};
        pos = ChunkEnd(*slot);
    }
    layout.InfoChunkOffset = DWORD(info.Offset);
    layout.InfoChunkLength = info.Length;
    layout.KaraokeChunkOffset = DWORD(karaoke.Offset);
    layout.KaraokeChunkLength = karaoke.Length;
    const LONG kind = layout.Format == 1                   ? FILE_KIND_SMF1
                      : (info.Offset && karaoke.Offset) ? FILE_KIND_SMF0_ZQ
                                                        : FILE_KIND_SMF0;
    layout.Kind = kind;

    try {
        LoadContext song;
        song.Division = division;
        song.PortMap = m_pDoc->GetOutputPortMap();
        const LONG port = song.PortMap ? song.PortMap->GetPortNumber(0, SMF_PORT_MASK) : 0;
        for (int i = 0; i < SMF_SONG_TRACKS; ++i) {
            song.Tracks[i].reset(new CTrack());
            TrackInfo trackInfo;
            trackInfo.Port = port;
            trackInfo.Channel = i == CONDUCTOR_INDEX ? 0 : (i - FIRST_CHANNEL_INDEX) & 15;
            trackInfo.Number = i;
            trackInfo.Transposable = i != CONDUCTOR_INDEX && trackInfo.Channel == DRUM_CHANNEL ? 0 : 1;
            song.Tracks[i]->SetInfo(trackInfo, 1);

            std::unique_ptr<CBlock> block(new CBlock());
            BlockInfo blockInfo;
            blockInfo.End = NEW_BLOCK_END;
            blockInfo.Name = BlockName(i);
            block->SetInfo(blockInfo, 1);
            if (!song.Tracks[i]->AddBlock(block.get())) return 0;
            song.Blocks[i] = block.release();
            song.BlockEnds[i] = NEW_BLOCK_END;
        }

        // Which channels one chunk alone plays.
        std::vector<SmfByteReader> bodies;
        if (kind == FILE_KIND_SMF1) {
            for (const ChunkSpan& chunk : chunks) bodies.push_back(BodyOf(data, length, chunk));
        } else {
            bodies.push_back(BodyOf(data, length, chunks[0]));
            if (kind == FILE_KIND_SMF0_ZQ) {
                bodies.push_back(BodyOf(data, length, info));
                bodies.push_back(BodyOf(data, length, karaoke));
            }
        }
        WORD once = 0, twice = 0;
        for (const SmfByteReader& body : bodies) {
            const WORD channels = bodies.size() == 1 ? WORD(0xFFFF) : ChannelsOfChunk(body);
            twice |= once & channels;
            once |= channels;
        }
        song.PairedOnArrival = WORD(~twice);

        if (kind == FILE_KIND_SMF1) {
            for (size_t i = 0; i < chunks.size(); ++i)
                if (!ReadTrackChunk(WORD(i), BodyOf(data, length, chunks[i]), song)) return 0;
        } else {
            if (!ReadEventStream(BodyOf(data, length, chunks[0]), song)) return 0;
            if (kind == FILE_KIND_SMF0_ZQ) {
                if (!ReadEventStream(BodyOf(data, length, info), song)) return 0;
                if (!ReadEventStream(BodyOf(data, length, karaoke), song)) return 0;
            }
        }

        if (!LeaveUnpaired(song.Arriving)) return 0;
        WaitingNotes waiting;
        for (int i = 0; i < SMF_SONG_TRACKS; ++i) {
            // A channel paired on arrival has no note left to pair.
            const bool paired = i >= FIRST_CHANNEL_INDEX && (song.PairedOnArrival >> (i - FIRST_CHANNEL_INDEX) & 1);
            if (!paired && !PairNotes(song.Events[i], waiting)) return 0;
            if (!song.Blocks[i]->AppendEvents(song.Events[i])) return 0;
            song.Events[i].clear();  // the block's now
            BlockInfo blockInfo = song.Blocks[i]->GetInfo();
            blockInfo.End = song.BlockEnds[i];
            song.Blocks[i]->SetInfo(blockInfo, 1);
        }
        // A format-1 file without anything for the first channel's track leaves it out.
        if (kind == FILE_KIND_SMF1 && song.Blocks[FIRST_CHANNEL_INDEX]->GetEventCount() == 0)
            song.Tracks[FIRST_CHANNEL_INDEX].reset();

        CTrackArray tracks;
        tracks.SetSize(SMF_SONG_TRACKS);
        int count = 0;
        for (auto& track : song.Tracks)
            if (track) tracks.SetAt(count++, track.release());
        tracks.SetSize(count);
        if (!m_pDoc->ReplaceSong(tracks)) {
            for (int i = 0; i < tracks.GetSize(); ++i) delete tracks.GetAt(i);
            return 0;
        }
        m_pDoc->SetFileKind(kind);
        m_SmpteOffset = song.HasSmpte ? song.SmpteOffset : 0;
        m_SmpteSubframes = song.HasSmpte ? song.SmpteSubframes : 0;
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
