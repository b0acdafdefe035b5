// Reads, walks and edits of the host services: host records are converted
// to and from the document's infos on every call.
#include <cstring>
#include <new>
#include <string>

#include "host/PhrasorDoc.h"
#include "host/PluginManager.h"
#include "platform/Memory.h"
#include "platform/Messages.h"
#include "platform/Text.h"

namespace {

// Undo-step names of the edits, by level 1..3.
constexpr UINT IDS_INSERT_STEP[] = {1103, 1000, 57900};
constexpr UINT IDS_MODIFY_STEP[] = {1102, 1013, 57903};
constexpr UINT IDS_REMOVE_STEP[] = {1104, 1001, 57901};

bool IsLevel(LONG level) { return level >= MP_LEVEL_TRACK && level <= MP_LEVEL_EVENT; }

// The positions a level needs: the track, the block and the event slot.
bool HasPositions(const POSITION* ids, LONG level) {
    if (!ids) return false;
    for (LONG i = 0; i < level; ++i)
        if (!ids[i]) return false;
    return true;
}

template <class List>
bool Holds(const List& list, POSITION wanted) {
    if (!wanted) return false;
    for (POSITION pos = list.GetHeadPosition(); pos; list.GetNext(pos))
        if (pos == wanted) return true;
    return false;
}

bool MatchesKind(LONG kind, LONG mask) { return (DWORD(kind) & DWORD(mask)) != 0; }

char16_t* TaskWideCopy(const char16_t* text, size_t length) {
    auto* out = static_cast<char16_t*>(CoTaskMemAlloc((length + 1) * sizeof(char16_t)));
    if (!out) return nullptr;
    if (length) std::memcpy(out, text, length * sizeof(char16_t));
    out[length] = 0;
    return out;
}

size_t WideLength(const char16_t* text) {
    size_t n = 0;
    if (text)
        while (text[n]) ++n;
    return n;
}

// Null when memory runs out.
char16_t* TaskWideName(const CString& name) {
    try {
        const std::u16string wide = Cp932ToUtf16(name);
        return TaskWideCopy(wide.data(), wide.size());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

CString NarrowName(const char16_t* name) { return name ? Utf16ToCp932(std::u16string(name)) : CString(); }

void ResetRecord(LONG level, void* record) {
    if (!record) return;
    switch (level) {
        case MP_LEVEL_TRACK: ResetMPTrackInfo(*static_cast<_MPTRACKINFO*>(record)); break;
        case MP_LEVEL_BLOCK: ResetMPBlockInfo(*static_cast<_MPBLOCKINFO*>(record)); break;
        case MP_LEVEL_EVENT: ResetMPEvent(*static_cast<tagMPEVENT*>(record)); break;
        default: break;
    }
}

// Opens an undo step for one edit when none is open (under the exclusive
// lock one always is, unless the history was dropped meanwhile).
class EditStep {
public:
    EditStep(CPhrasorDoc& doc, UINT nameId) : m_Doc(doc) {
        if (doc.GetUndoDepth() == 0) m_Opened = doc.BeginUndoStep(LoadResourceString(nameId));
    }
    ~EditStep() {
        if (m_Opened) m_Doc.EndUndoStep();
    }
    EditStep(const EditStep&) = delete;
    EditStep& operator=(const EditStep&) = delete;

private:
    CPhrasorDoc& m_Doc;
    bool m_Opened = false;
};

// One walk over a node list. The next-position argument is read, advanced
// past each item read, and left after the match; the level's slot gets the
// match, or null when the list ends first.
template <class List, class Holds, class Selected, class Fill>
HRESULT WalkList(const List& list, POSITION* slot, POSITION* next, bool fromEnd, bool forward, LONG mask,
                 Holds holds, HRESULT readFailure, const void* record, Selected selected, Fill fill) {
    if (fromEnd) {
        *next = forward ? list.GetHeadPosition() : list.GetTailPosition();
        if (!*next) {
            *slot = nullptr;
            return S_OK;
        }
    }
    for (;;) {
        const POSITION at = *next;
        if (!holds(at)) return readFailure;
        const auto* item = forward ? list.GetNext(*next) : list.GetPrev(*next);
        if (MatchesKind(LONG(item->GetInfo().Kind), mask) && (mask >= 0 || selected(at))) {
            *slot = at;
            if (!record) return E_INVALIDARG;
            return fill(at, *item);
        }
        if (!*next) {
            *slot = nullptr;
            return S_OK;
        }
    }
}

}  // namespace

// ------------------------------------------------------------ record conversions

void WriteTrackRecord(const _MPTRACKINFO& record, DWORD mask, TrackInfo* info) {
    if (mask & MP_FIELD_KIND) info->Kind = LONG(record.Kind);
    if (mask & MP_FIELD_PORT) info->Port = record.Port;
    if (mask & MP_FIELD_CHANNEL) info->Channel = record.Channel;
    if (mask & MP_FIELD_TRANSPOSE) info->Transpose = record.Transpose;
    if (mask & MP_FIELD_NUMBER) info->Number = record.Number;
    if (mask & MP_FIELD_NAME) info->Name = NarrowName(record.Name);
    if (mask & MP_FIELD_STATE1) info->StateFlag1 = (record.Flags & MPTRACK_FLAG_STATE1) ? 1 : 0;
    if (mask & MP_FIELD_STATE2) info->StateFlag2 = (record.Flags & MPTRACK_FLAG_STATE2) ? 1 : 0;
    info->Reserved2 = 0;
}

HRESULT WriteBlockRecord(const _MPBLOCKINFO& record, DWORD mask, BlockInfo* info) {
    if (mask & MP_FIELD_START) {
        // A block cannot begin at the absent time; before the song it begins at 0.
        if (record.Start == SONG_TIME_ABSENT) return E_INVALIDARG;
        info->Start = record.Start < 0 ? 0 : record.Start;
    }
    if (mask & MP_FIELD_KIND) info->Kind = LONG(record.Kind);
    if (mask & MP_FIELD_END) info->End = record.End;
    if (mask & MP_FIELD_NAME) info->Name = NarrowName(record.Name);
    if (mask & MP_FIELD_STATE2) info->StateFlag = (record.Flags & MPBLOCK_FLAG_STATE) ? 1 : 0;
    return S_OK;
}

HRESULT WriteEventRecord(const tagMPEVENT& record, SongEventInfo* info, SongClipData* clip) {
    *info = SongEventInfo();
    const DWORD kind = record.Kind;
    info->Kind = kind;
    info->Channel = record.Channel;
    // The whole 64-bit time: the absent time (the largest value) stays absent
    // and a time past 32 bits keeps its place; the document raises a negative one to 0.
    info->Time = record.Time;
    if (IsSingleKindBit(kind) && IsShortMPEventKind(kind)) {
        info->Data1 = record.Data1;
        info->Data2 = record.Data2;
        info->Data3 = record.Data3;
        info->Data4 = record.Data4;
        info->Duration = record.Duration;
        return S_OK;
    }
    if (IsVariableSongKind(kind)) {
        if (record.Length > 0 && !record.Bytes) return E_POINTER;
        info->Length = record.Length;
        info->Bytes = record.Length > 0 ? record.Bytes : nullptr;
        return S_OK;
    }
    if (kind == MPEVENT_KIND_CLIP) {
        clip->Name = record.Text;
        clip->ClipStart = record.ClipStart;
        clip->ClipEnd = record.ClipEnd;
        info->Bytes = reinterpret_cast<BYTE*>(clip);
        info->Length = SONG_CLIP_DATA_SIZE;
        return S_OK;
    }
    return E_FAIL;
}

// ------------------------------------------------------------ lookups

CTrack* CPluginManager::FindTrack(POSITION track) const {
    if (!m_pDoc || !Holds(m_pDoc->GetTrackList(), track)) return nullptr;
    return m_pDoc->GetTrackList().GetAt(track);
}

CBlock* CPluginManager::FindBlock(POSITION track, POSITION block) const {
    const CTrack* owner = FindTrack(track);
    if (!owner || !Holds(owner->GetBlockList(), block)) return nullptr;
    return owner->GetBlockList().GetAt(block);
}

const CBlock* CPluginManager::EventBlockOf(POSITION track, POSITION block) const {
    const CBlock* b = FindBlock(track, block);
    if (!b) return nullptr;
    if (!b->IsLink()) return b;
    const CBlock* shown = FindBlock(b->GetInfo().RefTrack, b->GetInfo().RefBlock);
    return shown && !shown->IsLink() ? shown : nullptr;
}

const CSongEvent* CPluginManager::FindEvent(POSITION track, POSITION block, POSITION event) const {
    const CBlock* shown = EventBlockOf(track, block);
    // A position handed out earlier may be gone, or be one of another block.
    if (!shown || !shown->HoldsEvent(event)) return nullptr;
    return shown->GetEventList().GetAt(event);
}

// ------------------------------------------------------------ filling records

HRESULT CPluginManager::FillTrack(POSITION pos, const CTrack& track, _MPTRACKINFO* out, LONG mask) const {
    const TrackInfo& info = track.GetInfo();
    out->Kind = DWORD(info.Kind);
    out->Port = info.Port;
    out->Channel = info.Channel;
    out->Transpose = info.Transpose;
    out->Number = info.Number;
    out->Flags = (info.StateFlag2 ? DWORD(MPTRACK_FLAG_STATE2) : 0u) | (info.StateFlag1 ? DWORD(MPTRACK_FLAG_STATE1) : 0u);
    out->Reserved = 0;
    out->Reserved2 = 0;
    out->Name = nullptr;
    if (mask & MP_MASK_NAME) {
        out->Name = TaskWideName(info.Name);
        if (!out->Name) return E_OUTOFMEMORY;
    }
    if (pos == m_pDoc->GetCurrentTrack()) out->Flags |= MPTRACK_FLAG_CURRENT;
    return S_OK;
}

HRESULT CPluginManager::FillBlock(POSITION pos, const CBlock& block, _MPBLOCKINFO* out, LONG mask) const {
    const BlockInfo& info = block.GetInfo();
    out->Kind = DWORD(info.Kind);
    out->Flags = info.StateFlag ? DWORD(MPBLOCK_FLAG_STATE) : 0u;
    out->Reserved = 0;
    out->Start = info.Start;
    out->End = info.End;
    out->TimeFormat = MPTIME_FORMAT_TICKS;
    const bool link = info.Kind == BLOCK_KIND_LINK;
    out->RefTrack = link ? info.RefTrack : nullptr;
    out->RefBlock = link ? info.RefBlock : nullptr;
    out->Name = nullptr;
    if (mask & MP_MASK_NAME) {
        out->Name = TaskWideName(info.Name);
        if (!out->Name) return E_OUTOFMEMORY;
    }
    if (m_pDoc->IsBlockSelected(pos)) out->Flags |= MPBLOCK_FLAG_SELECTED;
    return S_OK;
}

HRESULT CPluginManager::FillEvent(POSITION pos, const CSongEvent& event, tagMPEVENT* out) const {
    const SongEventInfo& info = event.GetInfo();
    const DWORD kind = info.Kind;
    out->Kind = kind;
    out->Flags = 0;
    out->Reserved = 0;
    out->Reserved2 = 0;
    out->Channel = info.Channel;
    out->Time = info.Time;
    out->TimeFormat = MPTIME_FORMAT_TICKS;
    if (IsSingleKindBit(kind) && IsShortMPEventKind(kind)) {
        out->Duration = info.Duration;
        out->Data1 = info.Data1;
        out->Data2 = info.Data2;
        out->Data3 = info.Data3;
        out->Data4 = info.Data4;
    } else if (IsVariableSongKind(kind)) {
        out->Length = info.Length;
        out->Bytes = nullptr;
        if (info.Length > 0) {
            out->Bytes = static_cast<BYTE*>(CoTaskMemAlloc(info.Length));
            if (!out->Bytes) {
                out->Length = 0;
                return E_OUTOFMEMORY;
            }
            std::memcpy(out->Bytes, info.Bytes, info.Length);
        }
    } else if (const SongClipData* clip = event.GetClip()) {
        const size_t length = WideLength(clip->Name);
        out->Text = TaskWideCopy(clip->Name, length);
        if (!out->Text) return E_OUTOFMEMORY;
        out->Length = DWORD((length + 1) * sizeof(char16_t));
        out->ClipStart = clip->ClipStart;
        out->ClipEnd = clip->ClipEnd;
    } else {
        return E_FAIL;
    }
    if (m_pDoc->IsEventSelected(pos)) out->Flags |= MPEVENT_FLAG_SELECTED;
    return S_OK;
}

// ------------------------------------------------------------ reads

HRESULT CPluginManager::Get(POSITION* ids, LONG level, void* record, LONG mask) {
    if (!IsLevel(level)) return E_INVALIDARG;
    if (level == MP_LEVEL_BLOCK && !record) return MP_E_BADPOSITION;
    if (!HasPositions(ids, level)) return MP_E_BADPOSITION;
    if (!m_pDoc) return E_FAIL;
    ResetRecord(level, record);
    switch (level) {
        case MP_LEVEL_TRACK: {
            const CTrack* track = FindTrack(ids[MP_ID_TRACK]);
            if (!track) return MP_E_BADPOSITION;
            if (!record) return E_INVALIDARG;
            return FillTrack(ids[MP_ID_TRACK], *track, static_cast<_MPTRACKINFO*>(record), mask);
        }
        case MP_LEVEL_BLOCK: {
            const CBlock* block = FindBlock(ids[MP_ID_TRACK], ids[MP_ID_BLOCK]);
            if (!block) return MP_E_BADPOSITION;
            return FillBlock(ids[MP_ID_BLOCK], *block, static_cast<_MPBLOCKINFO*>(record), mask);
        }
        default: {
            const CSongEvent* event = FindEvent(ids[MP_ID_TRACK], ids[MP_ID_BLOCK], ids[MP_ID_EVENT]);
            if (!event) return MP_E_BADPOSITION;
            if (!record) return E_INVALIDARG;
            return FillEvent(ids[MP_ID_EVENT], *event, static_cast<tagMPEVENT*>(record));
        }
    }
}

HRESULT CPluginManager::GetFirst(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask) {
    return Walk(ids, level, record, next, mask, WalkStart::Head, true);
}

HRESULT CPluginManager::GetLast(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask) {
    return Walk(ids, level, record, next, mask, WalkStart::Tail, false);
}

HRESULT CPluginManager::GetNext(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask) {
    return Walk(ids, level, record, next, mask, WalkStart::Next, true);
}

HRESULT CPluginManager::GetPrev(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask) {
    return Walk(ids, level, record, next, mask, WalkStart::Next, false);
}

HRESULT CPluginManager::Walk(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask, WalkStart start,
                             bool forward) {
    if (!IsLevel(level) || !ids || !next) return E_INVALIDARG;
    ResetRecord(level, record);
    if (!HasPositions(ids, level - 1)) return MP_E_BADPOSITION;
    if (start == WalkStart::Next && !*next) return MP_E_BADPOSITION;
    if (!m_pDoc) return E_FAIL;
    const bool fromEnd = start != WalkStart::Next;
    POSITION* slot = &ids[level - 1];

    switch (level) {
        case MP_LEVEL_TRACK: {
            const CTrackList& tracks = m_pDoc->GetTrackList();
            return WalkList(
                tracks, slot, next, fromEnd, forward, mask, [&](POSITION at) { return Holds(tracks, at); },
                MP_E_BADPOSITION, record,
                [&](POSITION at) { return at == m_pDoc->GetCurrentTrack(); },
                [&](POSITION at, const CTrack& t) { return FillTrack(at, t, static_cast<_MPTRACKINFO*>(record), mask); });
        }
        case MP_LEVEL_BLOCK: {
            const CTrack* track = FindTrack(ids[MP_ID_TRACK]);
            if (!track) return MP_E_BADPOSITION;
            const CBlockList& blocks = track->GetBlockList();
            return WalkList(
                blocks, slot, next, fromEnd, forward, mask, [&](POSITION at) { return Holds(blocks, at); }, E_FAIL,
                record,
                [&](POSITION at) { return m_pDoc->IsBlockSelected(at) != 0; },
                [&](POSITION at, const CBlock& b) { return FillBlock(at, b, static_cast<_MPBLOCKINFO*>(record), mask); });
        }
        default: {
            const CBlock* shown = EventBlockOf(ids[MP_ID_TRACK], ids[MP_ID_BLOCK]);
            if (!shown) return MP_E_BADPOSITION;
            return WalkList(
                shown->GetEventList(), slot, next, fromEnd, forward, mask,
                [&](POSITION at) { return shown->HoldsEvent(at); }, MP_E_BADPOSITION, record,
                [&](POSITION at) { return m_pDoc->IsEventSelected(at) != 0; },
                [&](POSITION at, const CSongEvent& e) { return FillEvent(at, e, static_cast<tagMPEVENT*>(record)); });
        }
    }
}

// ------------------------------------------------------------ edits

HRESULT CPluginManager::Insert(POSITION* ids, LONG level, const void* record) {
    if (!HoldsExclusiveLock()) return E_FAIL;
    if (!IsLevel(level) || !record) return E_INVALIDARG;
    if (!ids || !HasPositions(ids, level - 1)) return MP_E_BADPOSITION;
    if (!m_pDoc) return E_FAIL;
    // The parents must be in the song now; the event slot is output only.
    if (level == MP_LEVEL_BLOCK && !FindTrack(ids[MP_ID_TRACK])) return MP_E_BADPOSITION;
    if (level == MP_LEVEL_EVENT && !FindBlock(ids[MP_ID_TRACK], ids[MP_ID_BLOCK])) return MP_E_BADPOSITION;
    try {
        return InsertItem(ids, level, record);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CPluginManager::InsertItem(POSITION* ids, LONG level, const void* record) {
    EditStep step(*m_pDoc, IDS_INSERT_STEP[level - 1]);
    switch (level) {
        case MP_LEVEL_TRACK: {
            TrackInfo info;
            WriteTrackRecord(*static_cast<const _MPTRACKINFO*>(record), MP_FIELDS_ALL, &info);
            POSITION pos = m_pDoc->InsertTrack(info);
            if (!pos) return E_FAIL;
            ids[MP_ID_TRACK] = pos;
            return S_OK;
        }
        case MP_LEVEL_BLOCK: {
            const auto& block = *static_cast<const _MPBLOCKINFO*>(record);
            BlockInfo info;
            const HRESULT hr = WriteBlockRecord(block, MP_FIELDS_ALL, &info);
            if (FAILED(hr)) return hr;
            if (info.End < info.Start) info.End = info.Start;
            const DWORD flags = (block.Flags & MPBLOCK_FLAG_SELECTED) ? DWORD(EDIT_SELECT_NEW) : 0u;
            POSITION pos = m_pDoc->InsertBlock(ids[MP_ID_TRACK], info, 1, flags);
            if (!pos) return E_FAIL;
            ids[MP_ID_BLOCK] = pos;
            return S_OK;
        }
        default: {
            const auto& event = *static_cast<const tagMPEVENT*>(record);
            SongEventInfo info;
            SongClipData clip{};
            const HRESULT hr = WriteEventRecord(event, &info, &clip);
            if (FAILED(hr)) return hr;
            const DWORD flags = (event.Flags & MPEVENT_FLAG_SELECTED) ? DWORD(EDIT_SELECT_NEW) : 0u;
            POSITION pos = m_pDoc->InsertEvent(ids[MP_ID_TRACK], ids[MP_ID_BLOCK], info, event.Reserved != 0, flags);
            if (!pos) return E_FAIL;
            ids[MP_ID_EVENT] = pos;
            return S_OK;
        }
    }
}

HRESULT CPluginManager::Modify(POSITION* ids, LONG level, const void* record, DWORD mask) {
    if (!HoldsExclusiveLock()) return E_FAIL;
    if (!IsLevel(level) || !record) return E_INVALIDARG;
    if (!HasPositions(ids, level)) return MP_E_BADPOSITION;
    if (!m_pDoc) return E_FAIL;
    try {
        switch (level) {
            case MP_LEVEL_TRACK: return ModifyTrack(ids, *static_cast<const _MPTRACKINFO*>(record), mask);
            case MP_LEVEL_BLOCK: return ModifyBlock(ids, *static_cast<const _MPBLOCKINFO*>(record), mask);
            default: return ModifyEvent(ids, *static_cast<const tagMPEVENT*>(record), mask);
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CPluginManager::ModifyTrack(POSITION* ids, const _MPTRACKINFO& record, DWORD mask) {
    const CTrack* track = FindTrack(ids[MP_ID_TRACK]);
    if (!track) return MP_E_BADPOSITION;
    if (mask == MP_FIELD_SELECTION) return S_OK;
    TrackInfo info = track->GetInfo();
    WriteTrackRecord(record, mask, &info);
    EditStep step(*m_pDoc, IDS_MODIFY_STEP[0]);
    POSITION pos = m_pDoc->ReplaceTrack(ids[MP_ID_TRACK], info, 0);
    if (!pos) return E_FAIL;
    ids[MP_ID_TRACK] = pos;
    return S_OK;
}

HRESULT CPluginManager::ModifyBlock(POSITION* ids, const _MPBLOCKINFO& record, DWORD mask) {
    const CBlock* block = FindBlock(ids[MP_ID_TRACK], ids[MP_ID_BLOCK]);
    if (!block) return MP_E_BADPOSITION;
    if (mask & MP_FIELD_SELECTION) {
        if (record.Flags & MPBLOCK_FLAG_SELECTED) m_pDoc->SelectBlock(ids[MP_ID_TRACK], ids[MP_ID_BLOCK]);
        else m_pDoc->UnselectBlock(ids[MP_ID_BLOCK]);
    }
    if (mask == MP_FIELD_SELECTION) return S_OK;
    BlockInfo info = block->GetInfo();
    const HRESULT hr = WriteBlockRecord(record, mask, &info);
    if (FAILED(hr)) return hr;
    EditStep step(*m_pDoc, IDS_MODIFY_STEP[1]);
    POSITION pos = m_pDoc->ReplaceBlock(ids[MP_ID_TRACK], ids[MP_ID_BLOCK], info, 0);
    if (!pos) return E_FAIL;
    ids[MP_ID_BLOCK] = pos;
    return S_OK;
}

HRESULT CPluginManager::ModifyEvent(POSITION* ids, const tagMPEVENT& record, DWORD mask) {
    if (!FindEvent(ids[MP_ID_TRACK], ids[MP_ID_BLOCK], ids[MP_ID_EVENT])) return MP_E_BADPOSITION;
    if (mask & MP_FIELD_SELECTION) {
        if (record.Flags & MPEVENT_FLAG_SELECTED) m_pDoc->SelectEvent(ids[MP_ID_TRACK], ids[MP_ID_BLOCK], ids[MP_ID_EVENT]);
        else m_pDoc->UnselectEvent(ids[MP_ID_EVENT]);
    }
    if (mask == MP_FIELD_SELECTION) return S_OK;
    SongEventInfo info;
    SongClipData clip{};
    const HRESULT hr = WriteEventRecord(record, &info, &clip);
    if (FAILED(hr)) return hr;
    EditStep step(*m_pDoc, IDS_MODIFY_STEP[2]);
    POSITION pos = m_pDoc->ReplaceEvent(ids[MP_ID_TRACK], ids[MP_ID_BLOCK], ids[MP_ID_EVENT], info, record.Reserved != 0);
    if (!pos) return E_FAIL;
    ids[MP_ID_EVENT] = pos;
    return S_OK;
}

HRESULT CPluginManager::Remove(LONG level, POSITION* ids) {
    if (!HoldsExclusiveLock()) return E_FAIL;
    if (!IsLevel(level)) return E_INVALIDARG;
    if (!HasPositions(ids, level)) return level == MP_LEVEL_TRACK ? E_FAIL : MP_E_BADPOSITION;
    if (!m_pDoc) return E_FAIL;
    if (level == MP_LEVEL_EVENT && !FindEvent(ids[MP_ID_TRACK], ids[MP_ID_BLOCK], ids[MP_ID_EVENT]))
        return MP_E_BADPOSITION;
    try {
        return RemoveItem(level, ids);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CPluginManager::RemoveItem(LONG level, POSITION* ids) {
    EditStep step(*m_pDoc, IDS_REMOVE_STEP[level - 1]);
    int removed = 0;
    switch (level) {
        case MP_LEVEL_TRACK: removed = m_pDoc->RemoveTrack(ids[MP_ID_TRACK]); break;
        case MP_LEVEL_BLOCK: removed = m_pDoc->RemoveBlock(ids[MP_ID_TRACK], ids[MP_ID_BLOCK]); break;
        default: removed = m_pDoc->RemoveEvent(ids[MP_ID_TRACK], ids[MP_ID_BLOCK], ids[MP_ID_EVENT], 0); break;
    }
    return removed ? S_OK : E_FAIL;
}
