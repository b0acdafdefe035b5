// Writing the song document out as SMF bytes.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "services/PHConvPrm.h"
#include "host/DataManager.h"

namespace {

const BYTE kHeaderFormat0[14] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x03, 0xC0};
const BYTE kHeaderFormat1[14] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0x03, 0xC0};
constexpr size_t TRACK_COUNT_OFFSET = 10;  // of the header's track count
const BYTE kEndOfTrack[4] = {0x00, 0xFF, 0x2F, 0x00};

constexpr INT64 VOICE_STEP = 5;  // ticks between bank MSB, bank LSB and program

using EventPtr = std::unique_ptr<CSongEvent>;

bool IsMakerSequencerMeta(const SongEventInfo& info) {
    return info.Kind == MPEVENT_KIND_META && info.Length >= 3 && info.Bytes[0] == META_SEQUENCER &&
           info.Bytes[1] == 0x43 && info.Bytes[2] == 0x00;
}

bool IsWritable(const SongEventInfo& info) {
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

EventPtr CopyEvent(const SongEventInfo& info) {
    EventPtr event(new (std::nothrow) CSongEvent());
    if (!event || !event->SetInfo(info, 1)) return nullptr;
    return event;
}

EventPtr NewChannelEvent(DWORD kind, INT64 time, LONG channel, BYTE data1, BYTE data2 = 0) {
    SongEventInfo info;
    info.Kind = kind;
    info.Time = time;
    info.Channel = channel;
    info.Data1 = data1;
    info.Data2 = data2;
    return CopyEvent(info);
}

EventPtr NewControl(INT64 time, LONG channel, BYTE controller, BYTE value) {
    return NewChannelEvent(MPEVENT_KIND_CONTROL, time, channel, controller, value);
}

// Inserts after the last event, from `from` on (the head when null), whose
// time is not later; returns the new position.
POSITION InsertAfterEqual(CEventSortList& list, POSITION from, EventPtr event) {
    const INT64 time = event->GetTime();
    POSITION last = nullptr;
    for (POSITION pos = from ? from : list.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        if (list.GetNext(pos)->GetTime() > time) break;
        last = at;
    }
    const POSITION inserted = last ? list.InsertAfter(last, event.get()) : list.AddHead(event.get());
    event.release();
    return inserted;
}

// Inserts before the first event, from `from` on, at or after the event's time.
void InsertBeforeLater(CEventSortList& list, POSITION from, EventPtr event) {
    const INT64 time = event->GetTime();
    POSITION pos = from;
    while (pos && list.GetAt(pos)->GetTime() < time) list.GetNext(pos);
    if (pos) list.InsertBefore(pos, event.get());
    else list.AddTail(event.get());
    event.release();
}

// A packed RPN or NRPN becomes its four controllers: number MSB and LSB, then
// data entry MSB and LSB, all at the packed event's time.
bool ExpandParameter(CEventSortList& list, POSITION at, const SongEventInfo& e, BYTE numberMsb, BYTE numberLsb) {
    const BYTE controllers[4] = {numberMsb, numberLsb, 6, 38};
    const BYTE values[4] = {e.Data1, e.Data2, e.Data3, e.Data4};
    for (int i = 0; i < 4; ++i) {
        EventPtr control = NewControl(e.Time, e.Channel, controllers[i], values[i]);
        if (!control) return false;
        InsertBeforeLater(list, at, std::move(control));
    }
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

bool CDataManager::IsReplacedKvParameter(const SongEventInfo& info, const CPHConvPrm* prm) {
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

bool CDataManager::CollectTrackEvents(POSITION trackPos, CEventSortList& list) const {
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
        POSITION insertedAt = nullptr;  // blocks are in time order: each merge moves forward only
        for (POSITION pos = m_pDoc->FirstEventPosition(trackPos, thisBlock); pos;) {
            SongEventInfo info;
            if (!m_pDoc->ReadNextEvent(trackPos, thisBlock, &pos, &info, 1)) return false;
            if (trackInfo.Channel >= 0 && trackInfo.Channel < 16) info.Channel = trackInfo.Channel;
            if (transpose && info.Kind == MPEVENT_KIND_NOTE) info.Data1 = TransposeKey(info.Data1, trackInfo.Transpose);
            EventPtr copy = CopyEvent(info);
            if (!copy) return false;
            const SongEventInfo& own = copy->GetInfo();
            if (transpose && own.Kind == MPEVENT_KIND_NOTE_SYSEX && own.Length >= 2)
                own.Bytes[1] = TransposeKey(own.Bytes[1], trackInfo.Transpose);  // the copy's own data
            insertedAt = InsertAfterEqual(list, insertedAt, std::move(copy));
        }
    }

    if (trackInfo.Number == 0 && (m_SmpteOffset != 0 || m_SmpteSubframes != 0)) {
        const BYTE bytes[6] = {META_SMPTE_OFFSET, BYTE(m_SmpteOffset >> 24), BYTE(m_SmpteOffset >> 16),
                               BYTE(m_SmpteOffset >> 8), BYTE(m_SmpteOffset), BYTE(m_SmpteSubframes)};
        SongEventInfo info;
        info.Kind = MPEVENT_KIND_META;
        info.Length = sizeof bytes;
        info.Bytes = const_cast<BYTE*>(bytes);
        EventPtr smpte = CopyEvent(info);
        if (!smpte) return false;
        InsertAfterEqual(list, nullptr, std::move(smpte));
    }
    return true;
}

namespace {

// A note-off waiting for its place; offs of one time keep the order of their notes.
struct PendingOff {
    INT64 time;
    size_t order;
    EventPtr event;
};

bool EndsLater(const PendingOff& a, const PendingOff& b) {
    return a.time != b.time ? a.time > b.time : a.order > b.order;
}

}  // namespace

bool CDataManager::AddNoteOffs(CEventSortList& list) {
    // Each note's off goes before anything else at its time (so a key is
    // released before it is struck again), but after the offs of notes that
    // began earlier: notes that end together end in the order they began,
    // which is the order in which a reader pairs them again. A note's own off
    // comes after it. The list is in time order, so one walk places every off
    // just before the first event later than it, or at its time, that is not
    // itself an off.
    std::vector<PendingOff> pending;  // a min-heap by (time, order)
    size_t order = 0;
    const auto placeDue = [&](POSITION before, INT64 upTo) {
        while (!pending.empty() && pending.front().time <= upTo) {
            std::pop_heap(pending.begin(), pending.end(), EndsLater);
            EventPtr off = std::move(pending.back().event);
            pending.pop_back();
            if (before) list.InsertBefore(before, off.get());
            else list.AddTail(off.get());
            off.release();
        }
    };
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        const SongEventInfo& info = list.GetNext(pos)->GetInfo();
        placeDue(at, info.Time);
        if (info.Kind != MPEVENT_KIND_NOTE) continue;
        // A negative length would put the off before its note and leave the note sounding.
        const INT64 off = AddSongTime(info.Time, std::max<LONG>(info.Duration, 0));
        EventPtr noteOff = NewChannelEvent(MPEVENT_KIND_NOTEOFF, off, info.Channel, info.Data1, info.Data3);
        if (!noteOff) return false;
        pending.push_back({off, order++, std::move(noteOff)});
        std::push_heap(pending.begin(), pending.end(), EndsLater);
    }
    placeDue(nullptr, SONG_TIME_ABSENT);
    return true;
}

bool CDataManager::ExpandEvents(CEventSortList& list) {
    // Notes with exclusive: the exclusive at the note's time, the note 5 ticks later.
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CSongEvent* event = list.GetNext(pos);
        const SongEventInfo& info = event->GetInfo();
        if (info.Kind != MPEVENT_KIND_NOTE_SYSEX || info.Length <= 8 || info.Bytes[0] != 0) continue;
        SongEventInfo sysex;
        sysex.Kind = MPEVENT_KIND_SYSEX;
        sysex.Time = info.Time;
        sysex.Channel = info.Channel;
        sysex.Length = info.Length - 8;
        sysex.Bytes = info.Bytes + 8;
        EventPtr exclusive = CopyEvent(sysex);
        SongEventInfo noteInfo;
        noteInfo.Kind = MPEVENT_KIND_NOTE;
        noteInfo.Time = AddSongTime(info.Time, VOICE_STEP);
        noteInfo.Channel = info.Channel;
        noteInfo.Data1 = info.Bytes[1];
        noteInfo.Data2 = info.Bytes[2];
        noteInfo.Data3 = info.Bytes[3];
        noteInfo.Duration = event->GetDuration();
        EventPtr note = CopyEvent(noteInfo);
        if (!exclusive || !note) return false;
        InsertBeforeLater(list, at, std::move(exclusive));
        InsertBeforeLater(list, at, std::move(note));
        pos = at;
        list.GetNext(pos);
        list.RemoveAt(at);
        delete event;
    }

    if (!AddNoteOffs(list)) return false;

    // Packed voice, RPN and NRPN events become their controller sequences.
    struct Packed {
        DWORD kind;
        bool (*expand)(CEventSortList&, POSITION, const SongEventInfo&);
    };
    static const Packed kPacked[] = {
        {MPEVENT_KIND_VOICE,
         [](CEventSortList& l, POSITION at, const SongEventInfo& e) {
             EventPtr msb = NewControl(e.Time, e.Channel, 0, e.Data1);
             EventPtr lsb = NewControl(AddSongTime(e.Time, VOICE_STEP), e.Channel, 32, e.Data2);
             EventPtr program = NewChannelEvent(MPEVENT_KIND_PROGRAM, AddSongTime(e.Time, 2 * VOICE_STEP), e.Channel, e.Data3);
             if (!msb || !lsb || !program) return false;
             InsertBeforeLater(l, at, std::move(msb));
             InsertBeforeLater(l, at, std::move(lsb));
             InsertBeforeLater(l, at, std::move(program));
             return true;
         }},
        {MPEVENT_KIND_RPN,
         [](CEventSortList& l, POSITION at, const SongEventInfo& e) {
             return ExpandParameter(l, at, e, 101, 100);
         }},
        {MPEVENT_KIND_NRPN,
         [](CEventSortList& l, POSITION at, const SongEventInfo& e) {
             return ExpandParameter(l, at, e, 99, 98);
         }},
    };
    for (const Packed& packed : kPacked) {
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            const POSITION at = pos;
            CSongEvent* event = list.GetNext(pos);
            if (event->GetKind() != packed.kind) continue;
            if (!packed.expand(list, at, event->GetInfo())) return false;
            pos = at;
            list.GetNext(pos);
            list.RemoveAt(at);
            delete event;
        }
    }
    return true;
}

bool CDataManager::EncodeEvent(SmfByteWriter& out, const SongEventInfo& info) {
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

bool CDataManager::WriteChunk(SmfByteWriter& out, const CEventSortList& list, const char* id, const CPHConvPrm* prm,
                              const SmfByteWriter* leading) {
    const size_t head = out.Size();
    if (!out.PutBytes(reinterpret_cast<const BYTE*>(id), 4) || !out.PutU32BE(0)) return false;
    if (leading && !out.PutBytes(leading->Bytes().data(), leading->Size())) return false;
    INT64 previous = 0;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const SongEventInfo& info = list.GetNext(pos)->GetInfo();
        if (IsReplacedKvParameter(info, prm) || !IsWritable(info)) continue;
        if (info.Time == SONG_TIME_ABSENT) return false;
        if (!out.PutVarLen(info.Time - previous) || !EncodeEvent(out, info)) return false;
        previous = info.Time;
    }
    if (!out.PutBytes(kEndOfTrack, sizeof kEndOfTrack)) return false;
    const size_t length = out.Size() - head - 8;
    if (length > 0xFFFFFFFFu) return false;
    return out.PatchU32BE(head + 4, DWORD(length));
}

bool CDataManager::WriteTrackChunk(SmfByteWriter& out, const CTrack& track, const CEventSortList& list,
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
    CEventSortList main;
    const CTrackList& tracks = m_pDoc->GetTrackList();
    for (POSITION pos = tracks.GetHeadPosition(); pos; tracks.GetNext(pos))
        if (!CollectTrackEvents(pos, main)) return false;

    CEventSortList info, karaoke;
    if (withZqChunks) {
        for (POSITION pos = main.GetHeadPosition(); pos;) {
            const POSITION at = pos;
            CSongEvent* event = main.GetNext(pos);
            CEventSortList* to = IsZqInfoText(event->GetInfo())    ? &info
                                 : IsKaraokeText(event->GetInfo()) ? &karaoke
                                                                   : nullptr;
            if (!to) continue;
            to->AddTail(event);
            main.RemoveAt(at);
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
        CEventSortList list;
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
        CEventSortList none;
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
