// Writing the song document out as SMF bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "services/PHConvPrm.h"
#include "host/DataManager.h"

// The events of one chunk being written, in time order: records copied from
// the song (normalised as a song event normalises what it is given, without
// the extended attributes, which no message carries) in one pooled, doubly
// linked list, so that a save allocates no object per event. The records lie
// in fixed chunks: a growing list never moves them, and never holds two
// copies of itself. Variable data stays the song's (Save does not change the
// song while it runs) except what the list makes itself, which it keeps.
struct CDataManager::SaveList {
    using Pos = int32_t;
    static constexpr Pos kNone = -1;

    // What the writer needs of an event.
    struct Record {
        INT64 Time;
        BYTE* Bytes;
        DWORD Kind;
        LONG Channel;
        LONG Duration;
        DWORD Length;
        BYTE Data1, Data2, Data3, Data4;

        static Record Of(const SongEventInfo& info) {
            return Record{info.Time, info.Bytes, info.Kind, info.Channel, info.Duration, info.Length,
                          info.Data1, info.Data2, info.Data3, info.Data4};
        }
        SongEventInfo Info() const {
            SongEventInfo info;
            info.Time = Time;
            info.Kind = Kind;
            info.Channel = Channel;
            info.Data1 = Data1;
            info.Data2 = Data2;
            info.Data3 = Data3;
            info.Data4 = Data4;
            info.Duration = Duration;
            info.Length = Length;
            info.Bytes = Bytes;
            return info;
        }
    };

    SaveList() = default;
    SaveList(const SaveList&) = delete;
    SaveList& operator=(const SaveList&) = delete;

    Pos Head() const { return m_Head; }
    Pos Next(Pos p) const { return NodeAt(p).next; }
    bool IsEmpty() const { return m_Head == kNone; }
    // A reference lasts as long as the list.
    Record& At(Pos p) { return NodeAt(p).rec; }
    const Record& At(Pos p) const { return NodeAt(p).rec; }

    // `rec` may be one of the list's own records.
    Pos AddHead(const Record& rec) { return Link(kNone, m_Head, rec); }
    Pos AddTail(const Record& rec) { return Link(m_Tail, kNone, rec); }
    Pos InsertAfter(Pos p, const Record& rec) { return Link(p, NodeAt(p).next, rec); }
    Pos InsertBefore(Pos p, const Record& rec) { return Link(NodeAt(p).prev, p, rec); }
    Pos AddTail(const SongEventInfo& info) { return AddTail(Record::Of(info)); }
    Pos InsertBefore(Pos p, const SongEventInfo& info) { return InsertBefore(p, Record::Of(info)); }
    void Remove(Pos p) {
        Node& n = NodeAt(p);
        (n.prev == kNone ? m_Head : NodeAt(n.prev).next) = n.next;
        (n.next == kNone ? m_Tail : NodeAt(n.next).prev) = n.prev;
        n.prev = n.next = kNone;
    }
    // A copy of `count` bytes that lives as long as the list.
    BYTE* Keep(const BYTE* bytes, size_t count) {
        m_Owned.emplace_back(bytes, bytes + count);
        return m_Owned.back().data();
    }

private:
    struct Node {
        Record rec;
        Pos prev;
        Pos next;
    };
    // Fixed chunks: a node's chunk and place are a shift and a mask away.
    static constexpr int kChunkBits = 8;
    static constexpr size_t kChunkNodes = size_t(1) << kChunkBits;
    Node& NodeAt(Pos p) { return m_Chunks[size_t(p) >> kChunkBits][size_t(p) & (kChunkNodes - 1)]; }
    const Node& NodeAt(Pos p) const { return m_Chunks[size_t(p) >> kChunkBits][size_t(p) & (kChunkNodes - 1)]; }

    Pos Link(Pos prev, Pos next, const Record& rec) {
        if ((m_Count & (kChunkNodes - 1)) == 0) return LinkInNewChunk(prev, next, rec);
        return Place(prev, next, rec);
    }
    Pos LinkInNewChunk(Pos prev, Pos next, Record rec) {  // `rec` by value: it may live in the list
        if (m_Count >= size_t(INT32_MAX) - kChunkNodes) throw std::bad_alloc();
        std::unique_ptr<Node[]> chunk(new Node[kChunkNodes]);
        m_Chunks.push_back(std::move(chunk));
        return Place(prev, next, rec);
    }
    Pos Place(Pos prev, Pos next, const Record& rec) {
        const Pos p = Pos(m_Count);
        NodeAt(p) = Node{rec, prev, next};
        ++m_Count;
        (prev == kNone ? m_Head : NodeAt(prev).next) = p;
        (next == kNone ? m_Tail : NodeAt(next).prev) = p;
        return p;
    }

    std::vector<std::unique_ptr<Node[]>> m_Chunks;  // removed nodes stay, unlinked
    size_t m_Count = 0;
    std::vector<std::vector<BYTE>> m_Owned;  // moving a vector keeps its bytes where they are
    Pos m_Head = kNone;
    Pos m_Tail = kNone;
};

namespace {

using SaveList = CDataManager::SaveList;
using Pos = SaveList::Pos;
using Record = SaveList::Record;
constexpr Pos kNone = SaveList::kNone;

const BYTE kHeaderFormat0[14] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x03, 0xC0};
const BYTE kHeaderFormat1[14] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0x03, 0xC0};
constexpr size_t TRACK_COUNT_OFFSET = 10;  // of the header's track count
const BYTE kEndOfTrack[4] = {0x00, 0xFF, 0x2F, 0x00};

constexpr INT64 VOICE_STEP = 5;  // ticks between bank MSB, bank LSB and program

template <class Event>
bool IsMakerSequencerMeta(const Event& info) {
    return info.Kind == MPEVENT_KIND_META && info.Length >= 3 && info.Bytes[0] == META_SEQUENCER &&
           info.Bytes[1] == 0x43 && info.Bytes[2] == 0x00;
}

template <class Event>
bool IsWritable(const Event& info) {
    switch (info.Kind) {
    case MPEVENT_KIND_NOTEOFF:
    case MPEVENT_KIND_NOTE:
    case MPEVENT_KIND_KEYAFT:
    case MPEVENT_KIND_CONTROL:
    case MPEVENT_KIND_PROGRAM:
    case MPEVENT_KIND_CHANAFT:
    case MPEVENT_KIND_PITCHBEND:
    case MPEVENT_KIND_SYSEX:
    case MPEVENT_KIND_SYSEX_CONT:
        return true;
    case MPEVENT_KIND_META:
        return !IsMakerSequencerMeta(info);
    default:
        return false;
    }
}

// The record a song event keeps of `info` (CSongEvent::SetInfo with the
// extended attributes): false for what an event refuses.
bool CopyRecord(const SongEventInfo& info, SongEventInfo* out) {
    SongEventInfo copy;
    const DWORD kind = info.Kind;
    if (IsShortSongKind(kind)) {
        copy.Data1 = info.Data1;
        copy.Data2 = info.Data2;
        copy.Data3 = info.Data3;
        copy.Data4 = info.Data4;
        copy.Duration = info.Duration;
    } else if (IsVariableSongKind(kind)) {
        if (info.Length > 0 && !info.Bytes) return false;
        copy.Length = info.Length;
        copy.Bytes = info.Length > 0 ? info.Bytes : nullptr;
    } else if (kind == MPEVENT_KIND_CLIP) {
        if (!info.Bytes || info.Length < SONG_CLIP_DATA_SIZE) return false;
        copy.Length = SONG_CLIP_DATA_SIZE;
        copy.Bytes = info.Bytes;
    } else {
        return false;
    }
    copy.Time = info.Time;
    copy.Kind = kind;
    copy.Channel = info.Channel;
    copy.Extra0 = info.Extra0;
    copy.Extra1 = info.Extra1;
    copy.Extra2 = info.Extra2;
    copy.Extra3 = info.Extra3;
    copy.Extra4 = info.Extra4;
    copy.Extra5 = info.Extra5;
    *out = copy;
    return true;
}

SongEventInfo ChannelEventRecord(DWORD kind, INT64 time, LONG channel, BYTE data1, BYTE data2 = 0) {
    SongEventInfo info;
    info.Kind = kind;
    info.Time = time;
    info.Channel = channel;
    info.Data1 = data1;
    info.Data2 = data2;
    return info;
}

SongEventInfo ControlEventRecord(INT64 time, LONG channel, BYTE controller, BYTE value) {
    return ChannelEventRecord(MPEVENT_KIND_CONTROL, time, channel, controller, value);
}

// Inserts after the last event, from `from` on (the head when none), whose
// time is not later; returns the new position.
Pos InsertAfterEqual(SaveList& list, Pos from, const Record& event) {
    const INT64 time = event.Time;
    Pos last = kNone;
    for (Pos pos = from != kNone ? from : list.Head(); pos != kNone; pos = list.Next(pos)) {
        if (list.At(pos).Time > time) break;
        last = pos;
    }
    return last != kNone ? list.InsertAfter(last, event) : list.AddHead(event);
}

// Inserts before the first event, from `from` on, at or after the event's time.
void InsertBeforeLater(SaveList& list, Pos from, const SongEventInfo& event) {
    const INT64 time = event.Time;
    Pos pos = from;
    while (pos != kNone && list.At(pos).Time < time) pos = list.Next(pos);
    if (pos != kNone) list.InsertBefore(pos, event);
    else list.AddTail(event);
}

// A packed RPN or NRPN becomes its four controllers: number MSB and LSB, then
// data entry MSB and LSB, all at the packed event's time.
bool ExpandParameter(SaveList& list, Pos at, const SongEventInfo& e, BYTE numberMsb, BYTE numberLsb) {
    const BYTE controllers[4] = {numberMsb, numberLsb, 6, 38};
    const BYTE values[4] = {e.Data1, e.Data2, e.Data3, e.Data4};
    for (int i = 0; i < 4; ++i) InsertBeforeLater(list, at, ControlEventRecord(e.Time, e.Channel, controllers[i], values[i]));
    return true;
}

bool IsZqInfoText(const SongEventInfo& info) {
    if (info.Kind != MPEVENT_KIND_META || info.Length < 5 || info.Bytes[0] != META_TEXT) return false;
    return std::memcmp(info.Bytes + 1, "ZQhd", 4) == 0 || std::memcmp(info.Bytes + 1, "ZQln", 4) == 0;
}

bool IsKaraokeText(const SongEventInfo& info) {
    return info.Kind == MPEVENT_KIND_META && info.Length >= 1 &&
           (info.Bytes[0] == META_LYRIC || info.Bytes[0] == META_CUE_POINT);
}

BYTE TransposeKey(BYTE key, LONG transpose) { return BYTE(std::clamp<INT64>(INT64(key) + transpose, 0, 127)); }

bool IsDataByte(BYTE b) { return b < 0x80; }

}  // namespace

CString CDataManager::MakeEndOfTrack() { return CString(reinterpret_cast<const char*>(kEndOfTrack), 4); }

namespace {

// Left out of the converted part's chunk: the keyboard's multi-part
// parameters that the conversion sets itself.
template <class Event>
bool IsReplacedKv(const Event& info, const CPHConvPrm* prm) {
    if (!prm || info.Kind != MPEVENT_KIND_SYSEX || info.Length < 6 || !info.Bytes) return false;
    const BYTE* b = info.Bytes;
    if (b[0] != 0x43 || b[1] != 0x10 || b[2] != 0x4C || b[3] != 0x08) return false;
    if ((b[4] & 0x0F) != prm->Channel) return false;
    switch (b[5]) {
    case 0x05: case 0x0C: case 0x0D: case 0x67: case 0x69: case 0x6A: case 0x6B: case 0x6C:
        return true;
    case 0x18:
        return prm->Kind == 3 && prm->Flag2 == 0;
    case 0x1A:
        return prm->Kind == 2 || prm->Kind == 3 || prm->Kind == 4;
    case 0x23:
        return prm->PbCtrl == 0;
    default:
        return false;
    }
}

}  // namespace

bool CDataManager::IsReplacedKvParameter(const SongEventInfo& info, const CPHConvPrm* prm) { return IsReplacedKv(info, prm); }

bool CDataManager::CollectTrackEvents(POSITION trackPos, SaveList& list) const {
    const CTrack* track = m_pDoc->GetTrackList().GetAt(trackPos);
    const TrackInfo& trackInfo = track->GetInfo();
    if (trackInfo.Kind != TRACK_KIND_MIDI || trackInfo.StateFlag2) return true;
    const bool transpose = trackInfo.Transposable && trackInfo.Transpose != 0;

    const CBlockList& blocks = track->GetBlockList();
    for (POSITION blockPos = blocks.GetHeadPosition(); blockPos;) {
        const POSITION thisBlock = blockPos;
        const CBlock* block = blocks.GetNext(blockPos);
        // A link block whose shown block is gone cannot be walked.
        if (block->IsLink() && m_pDoc->BlockIndex(block->GetInfo().RefTrack, block->GetInfo().RefBlock) < 0)
            return false;
        Pos insertedAt = kNone;  // blocks are in time order: each merge moves forward only
        // An ordinary block's own list is walked directly; a link block through the document.
        const CSongEventList* own = block->IsLink() ? nullptr : &block->GetEventList();
        const INT64 start = block->GetInfo().Start;
        for (POSITION pos = own ? own->GetHeadPosition() : m_pDoc->FirstEventPosition(trackPos, thisBlock); pos;) {
            SongEventInfo info;
            if (own) {
                info = own->GetNext(pos)->GetInfo();
                info.Time = AddSongTime(info.Time, start);
            } else if (!m_pDoc->ReadNextEvent(trackPos, thisBlock, &pos, &info, 1)) {
                return false;
            }
            if (trackInfo.Channel >= 0 && trackInfo.Channel < 16) info.Channel = trackInfo.Channel;
            if (transpose && info.Kind == MPEVENT_KIND_NOTE) info.Data1 = TransposeKey(info.Data1, trackInfo.Transpose);
            SongEventInfo copy;
            if (!CopyRecord(info, &copy)) return false;
            if (transpose && copy.Kind == MPEVENT_KIND_NOTE_SYSEX && copy.Length >= 2) {
                copy.Bytes = list.Keep(copy.Bytes, copy.Length);  // the song's own data stays as it is
                copy.Bytes[1] = TransposeKey(copy.Bytes[1], trackInfo.Transpose);
            }
            insertedAt = InsertAfterEqual(list, insertedAt, Record::Of(copy));
        }
    }

    if (trackInfo.Number == 0 && (m_SmpteOffset != 0 || m_SmpteSubframes != 0)) {
        const BYTE bytes[6] = {META_SMPTE_OFFSET, BYTE(m_SmpteOffset >> 24), BYTE(m_SmpteOffset >> 16),
                               BYTE(m_SmpteOffset >> 8), BYTE(m_SmpteOffset), BYTE(m_SmpteSubframes)};
        SongEventInfo smpte;
        smpte.Kind = MPEVENT_KIND_META;
        smpte.Length = sizeof bytes;
        smpte.Bytes = list.Keep(bytes, sizeof bytes);
        InsertAfterEqual(list, kNone, Record::Of(smpte));
    }
    return true;
}

namespace {

// A note-off waiting for its place; offs of one time keep the order of their notes.
struct PendingOff {
    INT64 time;
    size_t order;
    LONG channel;
    BYTE key;
    BYTE velocity;
};

bool EndsLater(const PendingOff& a, const PendingOff& b) {
    return a.time != b.time ? a.time > b.time : a.order > b.order;
}

}  // namespace

bool CDataManager::AddNoteOffs(SaveList& list) {
    // Each note's off goes before anything else at its time (so a key is
    // released before it is struck again), but after the offs of notes that
    // began earlier: notes that end together end in the order they began,
    // which is the order in which a reader pairs them again. A note's own off
    // comes after it. The list is in time order, so one walk places every off
    // just before the first event later than it, or at its time, that is not
    // itself an off.
    std::vector<PendingOff> pending;  // a min-heap by (time, order)
    size_t order = 0;
    const auto placeDue = [&](Pos before, INT64 upTo) {
        while (!pending.empty() && pending.front().time <= upTo) {
            std::pop_heap(pending.begin(), pending.end(), EndsLater);
            const PendingOff& due = pending.back();
            const SongEventInfo off = ChannelEventRecord(MPEVENT_KIND_NOTEOFF, due.time, due.channel, due.key, due.velocity);
            if (before != kNone) list.InsertBefore(before, off);
            else list.AddTail(off);
            pending.pop_back();
        }
    };
    for (Pos pos = list.Head(); pos != kNone;) {
        const Pos at = pos;
        pos = list.Next(pos);
        const INT64 time = list.At(at).Time;  // read before placing offs grows the list
        placeDue(at, time);
        const Record& info = list.At(at);
        if (info.Kind != MPEVENT_KIND_NOTE) continue;
        // A negative length would put the off before its note and leave the note sounding.
        const INT64 off = AddSongTime(info.Time, std::max<LONG>(info.Duration, 0));
        pending.push_back({off, order++, info.Channel, info.Data1, info.Data3});
        std::push_heap(pending.begin(), pending.end(), EndsLater);
    }
    placeDue(kNone, SONG_TIME_ABSENT);
    return true;
}

bool CDataManager::ExpandEvents(SaveList& list) {
    // Notes with exclusive: the exclusive at the note's time, the note 5 ticks later.
    for (Pos pos = list.Head(); pos != kNone;) {
        const Pos at = pos;
        pos = list.Next(pos);
        if (list.At(at).Kind != MPEVENT_KIND_NOTE_SYSEX) continue;
        const SongEventInfo info = list.At(at).Info();
        if (info.Kind != MPEVENT_KIND_NOTE_SYSEX || info.Length <= 8 || info.Bytes[0] != 0) continue;
        SongEventInfo sysex;
        sysex.Kind = MPEVENT_KIND_SYSEX;
        sysex.Time = info.Time;
        sysex.Channel = info.Channel;
        sysex.Length = info.Length - 8;
        sysex.Bytes = info.Bytes + 8;
        SongEventInfo exclusive;
        if (!CopyRecord(sysex, &exclusive)) return false;
        SongEventInfo note;
        note.Kind = MPEVENT_KIND_NOTE;
        note.Time = AddSongTime(info.Time, VOICE_STEP);
        note.Channel = info.Channel;
        note.Data1 = info.Bytes[1];
        note.Data2 = info.Bytes[2];
        note.Data3 = info.Bytes[3];
        note.Duration = CSongEvent::DurationOf(info);
        InsertBeforeLater(list, at, exclusive);
        InsertBeforeLater(list, at, note);
        pos = list.Next(at);
        list.Remove(at);
    }

    if (!AddNoteOffs(list)) return false;

    // Packed voice, RPN and NRPN events become their controller sequences.
    struct Packed {
        DWORD kind;
        void (*expand)(SaveList&, Pos, const SongEventInfo&);
    };
    static const Packed kPacked[] = {
        {MPEVENT_KIND_VOICE,
         [](SaveList& l, Pos at, const SongEventInfo& e) {
             InsertBeforeLater(l, at, ControlEventRecord(e.Time, e.Channel, 0, e.Data1));
             InsertBeforeLater(l, at, ControlEventRecord(AddSongTime(e.Time, VOICE_STEP), e.Channel, 32, e.Data2));
             InsertBeforeLater(l, at, ChannelEventRecord(MPEVENT_KIND_PROGRAM, AddSongTime(e.Time, 2 * VOICE_STEP),
                                                    e.Channel, e.Data3));
         }},
        {MPEVENT_KIND_RPN, [](SaveList& l, Pos at, const SongEventInfo& e) { ExpandParameter(l, at, e, 101, 100); }},
        {MPEVENT_KIND_NRPN, [](SaveList& l, Pos at, const SongEventInfo& e) { ExpandParameter(l, at, e, 99, 98); }},
    };
    // One walk for the three: an expansion inserts at its own event or later
    // and only a voice's reaches past other events, so expanding every kind
    // as the walk meets it places each message where a walk per kind would.
    for (Pos pos = list.Head(); pos != kNone;) {
        const Pos at = pos;
        pos = list.Next(pos);
        const DWORD kind = list.At(at).Kind;
        for (const Packed& packed : kPacked) {
            if (kind != packed.kind) continue;
            const SongEventInfo event = list.At(at).Info();
            packed.expand(list, at, event);
            pos = list.Next(at);
            list.Remove(at);
            break;
        }
    }
    return true;
}

namespace {

template <class Event>
bool Encode(SmfByteWriter& out, const Event& info) {
    BYTE status = 0;
    bool twoDataBytes = true;
    switch (info.Kind) {
    case MPEVENT_KIND_NOTEOFF: status = 0x80; break;
    case MPEVENT_KIND_NOTE: status = 0x90; break;
    case MPEVENT_KIND_KEYAFT: status = 0xA0; break;
    case MPEVENT_KIND_CONTROL: status = 0xB0; break;
    case MPEVENT_KIND_PITCHBEND: status = 0xE0; break;
    case MPEVENT_KIND_PROGRAM: status = 0xC0; twoDataBytes = false; break;
    case MPEVENT_KIND_CHANAFT: status = 0xD0; twoDataBytes = false; break;
    case MPEVENT_KIND_SYSEX:
    case MPEVENT_KIND_SYSEX_CONT:
        if (info.Length > 0 && !info.Bytes) return false;
        return out.PutByte(info.Kind == MPEVENT_KIND_SYSEX ? 0xF0 : 0xF7) && out.PutVarLen(info.Length) &&
               out.PutBytes(info.Bytes, info.Length);
    case MPEVENT_KIND_META:
        // A meta event needs its type; an End of Track in the middle would cut the chunk short.
        if (info.Length == 0 || !info.Bytes || info.Bytes[0] == META_END_OF_TRACK) return false;
        return out.PutByte(0xFF) && out.PutByte(info.Bytes[0]) && out.PutVarLen(info.Length - 1) &&
               out.PutBytes(info.Bytes + 1, info.Length - 1);
    default:
        return false;
    }
    if (info.Channel < 0 || info.Channel > 15 || !IsDataByte(info.Data1)) return false;
    if (twoDataBytes && !IsDataByte(info.Data2)) return false;
    const BYTE bytes[3] = {BYTE(status | info.Channel), info.Data1, info.Data2};
    return out.PutBytes(bytes, twoDataBytes ? 3 : 2);
}

}  // namespace

bool CDataManager::EncodeEvent(SmfByteWriter& out, const SongEventInfo& info) { return Encode(out, info); }

bool CDataManager::WriteChunk(SmfByteWriter& out, const SaveList& list, const char* id, const CPHConvPrm* prm,
                              const SmfByteWriter* leading) {
    const size_t head = out.Size();
    if (!out.PutBytes(reinterpret_cast<const BYTE*>(id), 4) || !out.PutU32BE(0)) return false;
    if (leading && !out.PutBytes(leading->Bytes().data(), leading->Size())) return false;
    INT64 previous = 0;
    for (Pos pos = list.Head(); pos != kNone; pos = list.Next(pos)) {
        const Record& info = list.At(pos);
        if (IsReplacedKv(info, prm) || !IsWritable(info)) continue;
        if (info.Time == SONG_TIME_ABSENT) return false;
        if (!out.PutVarLen(info.Time - previous) || !Encode(out, info)) return false;
        previous = info.Time;
    }
    if (!out.PutBytes(kEndOfTrack, sizeof kEndOfTrack)) return false;
    const size_t length = out.Size() - head - 8;
    if (length > 0xFFFFFFFFu) return false;
    return out.PatchU32BE(head + 4, DWORD(length));
}

bool CDataManager::WriteTrackChunk(SmfByteWriter& out, const CTrack& track, const SaveList& list,
                                   const CPHConvPrm* prm) const {
    const TrackInfo& info = track.GetInfo();
    if (info.Number == 0) return WriteChunk(out, list, "MTrk", prm);
    SmfByteWriter leading;
    // Every channel chunk names its port for the keyboard; FF when the
    // document does not know the track's port.
    const CMidiPortMap* ports = m_pDoc->GetOutputPortMap();
    int index = -1;
    const bool known = ports && info.Port > 0 && info.Port <= 0xFFFF &&
                       ports->GetPortIndex(WORD(info.Port), SMF_PORT_MASK, &index) && index >= 0 && index <= 0xFF;
    const BYTE port[8] = {0x00, 0xFF, META_SEQUENCER, 0x04, 0x43, 0x00, 0x01, known ? BYTE(index) : BYTE(0xFF)};
    if (!leading.PutBytes(port, sizeof port)) return false;
    if (!info.Name.IsEmpty()) {
        const DWORD length = DWORD(info.Name.GetLength());
        if (!leading.PutByte(0x00) || !leading.PutByte(0xFF) || !leading.PutByte(META_TRACK_NAME) ||
            !leading.PutVarLen(length) || !leading.PutBytes(reinterpret_cast<const BYTE*>(info.Name.GetString()), length))
            return false;
    }
    return WriteChunk(out, list, "MTrk", prm, &leading);
}

bool CDataManager::SaveOneTrack(SmfByteWriter& out, bool withZqChunks, const CPHConvPrm* prm) const {
    SaveList main;
    const CTrackList& tracks = m_pDoc->GetTrackList();
    for (POSITION pos = tracks.GetHeadPosition(); pos; tracks.GetNext(pos))
        if (!CollectTrackEvents(pos, main)) return false;

    SaveList info, karaoke;
    if (withZqChunks) {
        for (Pos pos = main.Head(); pos != kNone;) {
            const Pos at = pos;
            pos = main.Next(pos);
            const SongEventInfo event = main.At(at).Info();
            SaveList* to = IsZqInfoText(event) ? &info : IsKaraokeText(event) ? &karaoke : nullptr;
            if (!to) continue;
            to->AddTail(event);
            main.Remove(at);
        }
    }
    if (!ExpandEvents(main)) return false;
    if (!out.PutBytes(kHeaderFormat0, sizeof kHeaderFormat0) || !WriteChunk(out, main, "MTrk", prm)) return false;
    if (!withZqChunks) return true;
    return WriteChunk(out, info, "ZQIH", prm) && WriteChunk(out, karaoke, "ZQKM", prm);
}

bool CDataManager::SaveTrackChunks(SmfByteWriter& out, const CPHConvPrm* prm) const {
    if (!out.PutBytes(kHeaderFormat1, sizeof kHeaderFormat1)) return false;
    const CTrackList& tracks = m_pDoc->GetTrackList();
    size_t chunks = 0;
    for (POSITION pos = tracks.GetHeadPosition(); pos; tracks.GetNext(pos)) {
        SaveList list;
        if (!CollectTrackEvents(pos, list)) return false;
        // The conductor's chunk comes first even when empty: a reader takes
        // the first chunk's names and texts for the song's own.
        const TrackInfo& info = tracks.GetAt(pos)->GetInfo();
        const bool conductor = info.Number == 0 && info.Kind == TRACK_KIND_MIDI && !info.StateFlag2;
        if (list.IsEmpty() && !conductor) continue;
        if (!ExpandEvents(list) || !WriteTrackChunk(out, *tracks.GetAt(pos), list, prm)) return false;
        ++chunks;
    }
    // A format-1 file has at least one track chunk.
    if (chunks == 0) {
        const SaveList none;
        if (!WriteChunk(out, none, "MTrk", prm)) return false;
        chunks = 1;
    }
    if (chunks > 0xFFFF) return false;
    return out.PatchU16BE(TRACK_COUNT_OFFSET, WORD(chunks));
}

int CDataManager::Save(BYTE** buffer, DWORD* size, const CPHConvPrm* prm) {
    if (buffer) *buffer = nullptr;
    if (size) *size = 0;
    if (!buffer || !size || !m_pDoc) return 0;
    const LONG kind = m_pDoc->GetFileKind();
    if (kind != FILE_KIND_SMF0 && kind != FILE_KIND_SMF1 && kind != FILE_KIND_SMF0_ZQ) return 0;

    SmfByteWriter out;
    // About four bytes per message and a note off for each note: one growth
    // of the buffer instead of one per doubling.
    size_t events = 0;
    const CTrackList& tracks = m_pDoc->GetTrackList();
    for (POSITION pos = tracks.GetHeadPosition(); pos;) {
        const CBlockList& blocks = tracks.GetNext(pos)->GetBlockList();
        for (POSITION b = blocks.GetHeadPosition(); b;) events += size_t(blocks.GetNext(b)->GetEventCount());
    }
    out.Reserve(events * 8 + 256);
    bool written = false;
    try {
        written = kind == FILE_KIND_SMF1 ? SaveTrackChunks(out, prm) : SaveOneTrack(out, kind == FILE_KIND_SMF0_ZQ, prm);
    } catch (const std::bad_alloc&) {
        written = false;
    }
    if (!written || out.Size() > 0xFFFFFFFFu) return 0;
    BYTE* bytes = static_cast<BYTE*>(std::malloc(out.Size()));
    if (!bytes) return 0;
    std::memcpy(bytes, out.Bytes().data(), out.Size());
    *buffer = bytes;
    *size = DWORD(out.Size());
    return 1;
}
