#include "host/SongEvent.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "host/FixedPool.h"
#include "platform/Archive.h"

VX_IMPLEMENT_CLASS(CSongEvent, CObject);

namespace {

// A locked, zeroed, shareable block of `count` bytes; null handle for no memory.
HGLOBAL AllocLockedBlock(DWORD count, BYTE** bytes) {
    *bytes = nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_SHARE | GMEM_ZEROINIT, count);
    if (!block) return nullptr;
    *bytes = static_cast<BYTE*>(GlobalLock(block));
    if (!*bytes) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}

void FreeLockedBlock(HGLOBAL block) {
    if (!block) return;
    GlobalUnlock(block);
    GlobalFree(block);
}

char16_t* CopyWide(const char16_t* text) {
    if (!text) return nullptr;
    size_t n = 0;
    while (text[n]) ++n;
    char16_t* copy = new (std::nothrow) char16_t[n + 1];
    if (copy) std::memcpy(copy, text, (n + 1) * sizeof(char16_t));
    return copy;
}

// The extended attributes of a record, in declaration order.
constexpr LONG SongEventInfo::*kExtended[] = {&SongEventInfo::Extra0, &SongEventInfo::Extra1, &SongEventInfo::Extra2,
                                              &SongEventInfo::Extra3, &SongEventInfo::Extra4, &SongEventInfo::Extra5};

void CopyExtended(SongEventInfo& to, const SongEventInfo& from) {
    for (auto extra : kExtended) to.*extra = from.*extra;
}

CClassPool& EventPool() {
    static CClassPool* const pool = new CClassPool(sizeof(CSongEvent));
    return *pool;
}

}  // namespace

void* CSongEvent::operator new(size_t size) { return EventPool().New(size); }

void* CSongEvent::operator new(size_t size, const std::nothrow_t&) noexcept {
    return EventPool().New(size, std::nothrow);
}

void CSongEvent::operator delete(void* p, size_t size) noexcept { EventPool().Delete(p, size); }

void CSongEvent::operator delete(void* p, const std::nothrow_t&) noexcept { EventPool().Delete(p); }

CSongEvent::~CSongEvent() { FreeData(); }

int CSongEvent::SetInfo(const SongEventInfo& info, int copyExtended) {
    const DWORD kind = info.Kind;
    if (IsShortSongKind(kind)) {
        // A short event has no data: a Length or Bytes in the record is not ours to keep.
        FreeData();
        m_Info.Time = info.Time;
        m_Info.Kind = kind;
        m_Info.Channel = info.Channel;
        m_Info.Data1 = info.Data1;
        m_Info.Data2 = info.Data2;
        m_Info.Data3 = info.Data3;
        m_Info.Data4 = info.Data4;
        m_Info.Duration = info.Duration;
    } else if (IsVariableSongKind(kind)) {
        if (info.Length > 0 && !info.Bytes) return 0;
        // Build the new copy before releasing the old one: the record may point at our own data.
        BYTE* bytes = nullptr;
        HGLOBAL block = nullptr;
        if (info.Length > 0) {
            block = AllocLockedBlock(info.Length, &bytes);
            if (!block) return 0;
            std::memcpy(bytes, info.Bytes, info.Length);
        }
        FreeData();
        m_hData = block;
        m_Info.Bytes = bytes;
        m_Info.Length = info.Length;
        m_Info.Time = info.Time;
        m_Info.Channel = info.Channel;
        m_Info.Kind = kind;
    } else if (kind == MPEVENT_KIND_CLIP) {
        if (!info.Bytes || info.Length < SONG_CLIP_DATA_SIZE) return 0;
        SongClipData clip;
        std::memcpy(&clip, info.Bytes, sizeof clip);
        char16_t* name = CopyWide(clip.Name);
        if (clip.Name && !name) return 0;
        BYTE* bytes = nullptr;
        HGLOBAL block = AllocLockedBlock(SONG_CLIP_DATA_SIZE, &bytes);
        if (!block) {
            delete[] name;
            return 0;
        }
        clip.Name = name;
        std::memcpy(bytes, &clip, sizeof clip);
        FreeData();
        m_hData = block;
        m_Info.Bytes = bytes;
        m_Info.Length = SONG_CLIP_DATA_SIZE;
        // A clip sits in its block by its time like every other event.
        m_Info.Time = info.Time;
        m_Info.Channel = info.Channel;
        m_Info.Kind = kind;
    } else {
        return 0;
    }
    if (copyExtended) CopyExtended(m_Info, info);
    return 1;
}

int CSongEvent::AllocData(DWORD count) {
    FreeData();
    if (count == 0) return 1;  // nothing to hold
    BYTE* bytes = nullptr;
    HGLOBAL block = AllocLockedBlock(count, &bytes);
    if (!block) return 0;
    m_hData = block;
    m_Info.Bytes = bytes;
    m_Info.Length = count;
    return 1;
}

void CSongEvent::FreeData() {
    // Most events hold no data: their bytes, a clip's name included, live only in the block.
    if (!m_hData) {
        m_Info.Bytes = nullptr;
        m_Info.Length = 0;
        return;
    }
    if (const SongClipData* clip = GetClip()) delete[] clip->Name;
    FreeLockedBlock(m_hData);
    m_hData = nullptr;
    m_Info.Bytes = nullptr;
    m_Info.Length = 0;
}

const SongClipData* CSongEvent::GetClip() const {
    if (m_Info.Kind != MPEVENT_KIND_CLIP || !m_Info.Bytes || m_Info.Length < SONG_CLIP_DATA_SIZE) return nullptr;
    return reinterpret_cast<const SongClipData*>(m_Info.Bytes);
}

LONG CSongEvent::DurationOf(const SongEventInfo& info) {
    if (info.Kind == MPEVENT_KIND_NOTE) return info.Duration;
    if (info.Kind == MPEVENT_KIND_NOTE_SYSEX && info.Bytes && info.Length > 8 && info.Bytes[0] == 0) {
        const BYTE* d = info.Bytes + 4;
        return LONG(DWORD(d[0]) | DWORD(d[1]) << 8 | DWORD(d[2]) << 16 | DWORD(d[3]) << 24);
    }
    return 0;
}

// ------------------------------------------------------------ archive

void CSongEvent::Store(CArchive& ar) const {
    ar.WriteQWORD(uint64_t(m_Info.Time));
    ar.WriteDWORD(m_Info.Kind);
    ar.WriteDWORD(DWORD(m_Info.Channel));
    ar.WriteByte(m_Info.Data1);
    ar.WriteByte(m_Info.Data2);
    ar.WriteByte(m_Info.Data3);
    ar.WriteByte(m_Info.Data4);
    ar.WriteDWORD(DWORD(m_Info.Duration));
    if (const SongClipData* clip = GetClip()) {
        DWORD units = 0;
        if (clip->Name)
            while (clip->Name[units]) ++units;
        ar.WriteDWORD(units);
        for (DWORD i = 0; i < units; ++i) {
            ar.WriteByte(BYTE(clip->Name[i]));
            ar.WriteByte(BYTE(clip->Name[i] >> 8));
        }
        ar.WriteQWORD(uint64_t(clip->ClipStart));
        ar.WriteQWORD(uint64_t(clip->ClipEnd));
    } else {
        const DWORD length = m_Info.Bytes ? m_Info.Length : 0;
        ar.WriteDWORD(length);
        ar.Write(m_Info.Bytes, length);
    }
    for (auto extra : kExtended) ar.WriteLONG(m_Info.*extra);
}

void CSongEvent::TakeFrom(CSongEvent& other) {
    FreeData();
    m_Info = other.m_Info;
    m_hData = other.m_hData;
    other.m_hData = nullptr;
    other.m_Info = SongEventInfo();
}

void CSongEvent::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        Store(ar);
        return;
    }
    SongEventInfo info;
    uint64_t time = 0;
    DWORD channel = 0, duration = 0, length = 0;
    bool ok = ar.ReadQWORD(time) && ar.ReadDWORD(info.Kind) && ar.ReadDWORD(channel) && ar.ReadByte(info.Data1) &&
              ar.ReadByte(info.Data2) && ar.ReadByte(info.Data3) && ar.ReadByte(info.Data4) &&
              ar.ReadDWORD(duration) && ar.ReadDWORD(length);
    info.Time = INT64(time);
    info.Channel = LONG(channel);
    info.Duration = LONG(duration);
    std::vector<BYTE> bytes;
    std::u16string name;
    SongClipData clip{};
    if (ok && info.Kind == MPEVENT_KIND_CLIP) {
        // `length` counts the name's 16-bit units.
        ok = length <= ar.Left() / 2;
        for (DWORD i = 0; ok && i < length; ++i) {
            BYTE low = 0, high = 0;
            ok = ar.ReadByte(low) && ar.ReadByte(high);
            name.push_back(char16_t(low | high << 8));
        }
        uint64_t start = 0, end = 0;
        ok = ok && ar.ReadQWORD(start) && ar.ReadQWORD(end);
        clip = {const_cast<char16_t*>(name.c_str()), INT64(start), INT64(end)};
        info.Bytes = reinterpret_cast<BYTE*>(&clip);
        info.Length = SONG_CLIP_DATA_SIZE;
    } else if (ok) {
        ok = length <= ar.Left();
        if (ok) {
            bytes.resize(length);
            ok = ar.Read(bytes.data(), length);
        }
        info.Length = length;
        info.Bytes = length ? bytes.data() : nullptr;
    }
    for (auto extra : kExtended) ok = ok && ar.ReadLONG(info.*extra);

    CSongEvent loaded;
    if (!ok || !loaded.SetInfo(info, 1)) {
        ar.SetFailed();
        return;
    }
    // A variable event keeps the data bytes and length of its record too.
    loaded.m_Info.Data1 = info.Data1;
    loaded.m_Info.Data2 = info.Data2;
    loaded.m_Info.Data3 = info.Data3;
    loaded.m_Info.Data4 = info.Data4;
    loaded.m_Info.Duration = info.Duration;
    TakeFrom(loaded);
}
