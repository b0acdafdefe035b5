#include "engine/work/ArticSmf.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <list>

namespace {

constexpr DWORD kEngineDivision = 480;
constexpr size_t kHeaderBytes = 22;            // "MThd" chunk and the "MTrk" identifier and length
constexpr int64_t kMaxImage = 0x7FFFFFF0;       // lengths are 32-bit counts
constexpr DWORD kMaxVarLen = 0x0FFFFFFF;        // what four 7-bit groups hold

// A bounded cursor over the file image: every read fails instead of passing end.
class ImageReader {
public:
    ImageReader(const std::vector<BYTE>& image, DWORD pos, DWORD end)
        : m_Data(image.data()), m_Pos(pos), m_End(end < image.size() ? end : DWORD(image.size())) {}
    DWORD Pos() const { return m_Pos; }
    DWORD Left() const { return m_Pos < m_End ? m_End - m_Pos : 0; }
    bool Byte(BYTE& out) {
        if (Left() < 1) return false;
        out = m_Data[m_Pos++];
        return true;
    }
    bool Back() {
        if (m_Pos == 0) return false;
        --m_Pos;
        return true;
    }
    bool Skip(DWORD n) {
        if (Left() < n) return false;
        m_Pos += n;
        return true;
    }
    // At most four bytes; a fifth continuation byte is an error.
    bool VarLen(DWORD& out) {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            BYTE b = 0;
            if (!Byte(b)) return false;
            out = (out << 7) | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;
    }

private:
    const BYTE* m_Data;
    DWORD m_Pos;
    DWORD m_End;
};

bool ReadU32(const std::vector<BYTE>& image, size_t at, DWORD& out) {
    if (image.size() < 4 || at > image.size() - 4) return false;
    out = DWORD(image[at]) << 24 | DWORD(image[at + 1]) << 16 | DWORD(image[at + 2]) << 8 | image[at + 3];
    return true;
}

bool ReadU16(const std::vector<BYTE>& image, size_t at, DWORD& out) {
    if (image.size() < 2 || at > image.size() - 2) return false;
    out = DWORD(image[at]) << 8 | image[at + 1];
    return true;
}

bool IdAt(const std::vector<BYTE>& image, size_t at, const char* id) {
    return image.size() >= 4 && at <= image.size() - 4 && std::memcmp(&image[at], id, 4) == 0;
}

// The chunk at `at` with identifier id lies wholly inside the image; *next is the offset after it.
bool ChunkAt(const std::vector<BYTE>& image, size_t at, const char* id, size_t* next) {
    DWORD length = 0;
    if (!IdAt(image, at, id) || !ReadU32(image, at + 4, length)) return false;
    const uint64_t end = uint64_t(at) + 8 + length;
    if (end > image.size()) return false;
    *next = size_t(end);
    return true;
}

// A delta of the file in engine ticks, the remainder carried to the next one.
DWORD Convert(DWORD delta, DWORD division, DWORD& rest) {
    const uint64_t v = uint64_t(delta) * kEngineDivision + rest;
    rest = DWORD(v % division);
    return DWORD(v / division);
}

// A data byte of a channel message: a value above 127 would read as a status byte.
BYTE Data7(BYTE v) { return v > 0x7F ? 0x7F : v; }

void PutVarLen(std::vector<BYTE>& out, DWORD value) {
    if (value > kMaxVarLen) value = kMaxVarLen;
    BYTE groups[4];
    int n = 0;
    do {
        groups[n++] = BYTE(value & 0x7F);
        value >>= 7;
    } while (value && n < 4);
    while (n > 1) out.push_back(BYTE(groups[--n] | 0x80));
    out.push_back(groups[0]);
}

void PutData(std::vector<BYTE>& out, const BYTE* data, ULONG len) {
    PutVarLen(out, len);
    if (data && len) out.insert(out.end(), data, data + len);
}

void PutPacked(std::vector<BYTE>& out, BYTE bc, const BYTE (&numbers)[4], const BYTE (&values)[4]) {
    for (int i = 0; i < 4; ++i) {
        if (i) out.push_back(0x00);
        out.push_back(bc);
        out.push_back(numbers[i]);
        out.push_back(Data7(values[i]));
    }
}

// The bytes of one event after its delta time; false for a kind the file does not carry.
bool EventBytes(const CArticWrkEvnt& e, std::vector<BYTE>& out) {
    const BYTE s = e.GetStatus();
    const BYTE c = s & 0x0F;
    const BYTE bc = BYTE(0xB0 | c);
    const BYTE values[4] = {e.GetPost1(), e.GetPost2(), e.GetPost3(), e.GetPost4()};
    const BYTE* data = nullptr;
    if (s == 0xF0 || s == 0xF7) {
        const ULONG len = e.GetSys(&data);
        out.push_back(s);
        PutData(out, data, len);
        return true;
    }
    if (s == 0xFF) {
        const ULONG len = e.GetMeta(nullptr, &data);
        out.push_back(0xFF);
        out.push_back(e.GetMetaType());
        PutData(out, data, len);
        return true;
    }
    switch (s & 0xF0) {
    case 0x10:
        PutPacked(out, bc, {0x63, 0x62, 0x06, 0x26}, values);
        return true;
    case 0x20:
        PutPacked(out, bc, {0x65, 0x64, 0x06, 0x26}, values);
        return true;
    case 0x30:
        out.insert(out.end(), {bc, 0x00, Data7(values[0])});
        return true;
    case 0x60: {
        const ULONG len = e.GetSys(&data);
        out.push_back(0xF0);
        PutData(out, data, len);
        return true;
    }
    case 0xC0:
    case 0xD0:
        out.insert(out.end(), {s, Data7(values[0])});
        return true;
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0xE0:
        out.insert(out.end(), {s, Data7(values[0]), Data7(values[1])});
        return true;
    default:
        return false;
    }
}

using WorkList = std::list<std::unique_ptr<CArticWrkEvnt>>;

// Puts e before the first record from `from` on whose time is not earlier
// than its own, or at the tail: an inserted event goes before the events
// already at its tick.
WorkList::iterator InsertFrom(WorkList& list, WorkList::iterator from, std::unique_ptr<CArticWrkEvnt> e) {
    const INT64 t = e->GetTime();
    while (from != list.end() && (*from)->GetTime() < t) ++from;
    return list.insert(from, std::move(e));
}

std::unique_ptr<CArticWrkEvnt> CopyOf(const CArticWrkEvnt& src) {
    auto copy = std::make_unique<CArticWrkEvnt>();
    *copy = src;
    return copy;
}

std::vector<WorkList::iterator> OfKind(WorkList& list, BYTE nibble) {
    std::vector<WorkList::iterator> found;
    for (auto it = list.begin(); it != list.end(); ++it)
        if (((*it)->GetStatus() & 0xF0) == nibble) found.push_back(it);
    return found;
}

// A note-off waiting for its place.
struct PendingOff {
    INT64 time;
    size_t order;  // offs of one tick go in the reverse order of their notes
    std::unique_ptr<CArticWrkEvnt> evnt;
};

bool PlacedLater(const PendingOff& a, const PendingOff& b) {
    return a.time != b.time ? a.time > b.time : a.order < b.order;
}

// A note-off for every note, before the first event after the note that is
// not earlier than it (an inserted event goes before the events already at
// its tick). One walk with a min-heap of the offs still to place.
void AddNoteOffs(WorkList& list) {
    std::vector<PendingOff> pending;
    size_t order = 0;
    const auto placeDue = [&](WorkList::iterator before, INT64 upTo) {
        while (!pending.empty() && pending.front().time <= upTo) {
            std::pop_heap(pending.begin(), pending.end(), PlacedLater);
            list.insert(before, std::move(pending.back().evnt));
            pending.pop_back();
        }
    };
    for (auto it = list.begin(); it != list.end(); ++it) {
        const CArticWrkEvnt& e = **it;
        placeDue(it, e.GetTime());
        if ((e.GetStatus() & 0xF0) != 0x90) continue;
        // A note without length still gets its note-off, at its own tick:
        // left without one it would sound for ever.
        const INT64 gate = e.GetGateTime();
        auto off = CopyOf(e);
        off->SetStatus(BYTE(0x80 | (e.GetStatus() & 0x0F)));
        off->SetTime(e.GetTime() + (gate > 0 ? gate : 0), 0);
        off->SetGateTime(0);
        const INT64 time = off->GetTime();
        pending.push_back({time, order++, std::move(off)});
        std::push_heap(pending.begin(), pending.end(), PlacedLater);
    }
    placeDue(list.end(), INT64_MAX);
}

// The events of the file in the order they are written: data blocks ahead
// of their notes, note-offs from the gates, the bank LSB and program of the
// voice events.
void Expand(WorkList& list) {
    for (auto it : OfKind(list, 0x60)) {
        std::unique_ptr<CArticWrkEvnt> e = std::move(*it);
        list.erase(it);
        const INT64 t = e->GetTime();
        e->SetTime(t < 5 ? 0 : t - 5, 0);
        InsertFrom(list, list.begin(), std::move(e));
    }
    for (auto it : OfKind(list, 0x60)) {
        auto note = CopyOf(**it);
        note->SetStatus(BYTE(0x90 | ((*it)->GetStatus() & 0x0F)));
        note->SetTime((*it)->GetTime() + 5, 0);
        InsertFrom(list, std::next(it), std::move(note));
    }
    AddNoteOffs(list);
    for (auto it : OfKind(list, 0x30)) {
        const BYTE c = (*it)->GetStatus() & 0x0F;
        auto lsb = std::make_unique<CArticWrkEvnt>();
        lsb->SetStatus(BYTE(0xB0 | c));
        lsb->SetPost1(32);
        lsb->SetPost2((*it)->GetPost2());
        lsb->SetTime((*it)->GetTime() + 5, 0);
        auto program = std::make_unique<CArticWrkEvnt>();
        program->SetStatus(BYTE(0xC0 | c));
        program->SetPost1((*it)->GetPost3());
        program->SetTime((*it)->GetTime() + 10, 0);
        InsertFrom(list, std::next(it), std::move(lsb));
        InsertFrom(list, std::next(it), std::move(program));
    }
}

}  // namespace

CArticSmf::CArticSmf() {
    for (auto& list : m_Lists) list = std::make_unique<CArticWrkEvntList>(10);
}

CArticSmf::~CArticSmf() { Reset(); }

int CArticSmf::GetEvntList(unsigned index, CArticWrkEvntList** out) {
    CArticWrkEvntList* list = GetEvntListPtr(index);
    if (out) *out = list;
    return list ? 1 : 0;
}

CArticWrkEvntList* CArticSmf::GetEvntListPtr(unsigned index) {
    return index < kListCount ? m_Lists[index].get() : nullptr;
}

void CArticSmf::Reset() {
    for (auto& list : m_Lists) {
        for (POSITION p = list->GetHeadPosition(); p;) delete list->GetNext(p);
        list->RemoveAll();
    }
    m_TrackCount = 0;
    m_Format = 0;
    m_Division = kEngineDivision;
    m_Kind = 0;
    m_Path.Empty();
    m_RunStatus = 0;
    m_Status = 0;
    m_FirstTrk = 0;
}

CString CArticSmf::ConvDWordToStr(DWORD value) {
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return CString(bytes, 4);
}

BYTE CArticSmf::GetSmfKind() {
    const std::vector<BYTE>& im = m_Image;
    DWORD format = 0, tracks = 0, division = 0, length = 0;
    if (!IdAt(im, 0, "MThd") || !ReadU16(im, 8, format) || !ReadU16(im, 10, tracks) || !ReadU16(im, 12, division))
        return 0;
    if (format == 0 && tracks == 1 && IdAt(im, 14, "MTrk") && ReadU32(im, 18, length)) {
        m_Format = 0;
        m_TrackCount = 1;
        m_Division = division;
        m_TrackLength = length;
        size_t zqih = 0, zqkm = 0;
        const uint64_t after = uint64_t(kHeaderBytes) + length;
        if (after <= im.size() && ChunkAt(im, size_t(after), "ZQIH", &zqih) && ChunkAt(im, zqih, "ZQKM", &zqkm))
            return 3;
        return 1;
    }
    if (format == 1 && tracks != 0) {
        size_t at = 14;
        for (DWORD i = 0; i < tracks; ++i)
            if (!ChunkAt(im, at, "MTrk", &at)) return 0;
        m_Format = 1;
        m_TrackCount = tracks;
        m_Division = division;
        return 2;
    }
    return 0;
}

void CArticSmf::Store(CArticWrkEvnt* evnt, bool meta) {
    evnt->SetTime(INT64(m_Time), 0);
    m_Lists[(m_Format == 1 && m_FirstTrk && meta) ? 0 : 1]->AddTail(evnt);
}

INT64 CArticSmf::GateOf(uint64_t rawOn, uint64_t rawOff) const {
    // The carried remainders of the delta conversions add up to the exact
    // quotient of the whole span; the gate counts from the note-on alone.
    const unsigned __int128 span = (unsigned __int128)(rawOff - rawOn) * kEngineDivision;
    const DWORD gate = DWORD(uint64_t(span / m_Division));
    return INT64(gate);
}

void CArticSmf::CloseNote(BYTE channel, BYTE key) {
    auto found = m_Sounding.find(WORD(channel << 8 | key));
    if (found == m_Sounding.end() || found->second.empty()) return;
    // The earliest note still sounding on the key takes the note-off.
    const SoundingNote note = found->second.front();
    found->second.pop_front();
    const INT64 gate = GateOf(note.RawOn, m_RawTime);
    note.Evnt->SetGateTime(gate == 0 ? 1 : gate);
}

void CArticSmf::CloseAllNotes() {
    // A note without its note-off lasts to the end of its track.
    for (auto& keyNotes : m_Sounding)
        for (const SoundingNote& note : keyNotes.second) {
            const INT64 gate = GateOf(note.RawOn, m_RawTime);
            note.Evnt->SetGateTime(gate == 0 ? 1 : gate);
        }
    m_Sounding.clear();
}

int CArticSmf::ReadEvnt(DWORD trackEnd) {
    ImageReader r(m_Image, m_Pos, trackEnd);
    BYTE b = 0;
    if (!r.Byte(b)) return 0;
    if (b == 0xF0 || b == 0xF7 || b == 0xFF) {
        BYTE type = 0;
        DWORD len = 0;
        if (b == 0xFF && !r.Byte(type)) return 0;
        if (!r.VarLen(len) || r.Left() < len) return 0;
        const BYTE* data = m_Image.data() + r.Pos();
        r.Skip(len);
        m_Pos = r.Pos();
        const bool laterTrack = m_Format == 1 && !m_FirstTrk;
        if (b == 0xFF && laterTrack && (type == 0x2F || ((type == 0x01 || type == 0x03) && m_Time == 0)))
            return 1;
        auto* e = new CArticWrkEvnt();
        e->SetStatus(b);
        if (b == 0xFF)
            e->SetMeta(type, data, len);
        else
            e->SetSys(data, len);
        Store(e, b == 0xFF);
        return 1;
    }
    if (b >= 0x80) {
        m_RunStatus = b;
    } else {
        r.Back();
        b = m_RunStatus;
    }
    m_Status = b;
    m_Ch = BYTE((b & 0x0F) + 1);
    const BYTE kind = b & 0xF0;
    BYTE d1 = 0, d2 = 0;
    switch (kind) {
    case 0x80:
    case 0x90: {
        if (!r.Byte(d1) || !r.Byte(d2)) return 0;
        m_Pos = r.Pos();
        if (kind == 0x80 || d2 == 0) {
            CloseNote(m_Ch, d1);
            return 1;
        }
        auto* e = new CArticWrkEvnt();
        e->SetStatus(0x90);
        e->SetPost1(d1);
        e->SetPost2(d2);
        Store(e, false);
        m_Sounding[WORD(m_Ch << 8 | d1)].push_back({e, m_RawTime});  // the gate comes with its note-off
        return 1;
    }
    case 0xA0:
    case 0xB0:
    case 0xE0:
    case 0xC0:
    case 0xD0: {
        const bool two = kind != 0xC0 && kind != 0xD0;
        if (!r.Byte(d1) || (two && !r.Byte(d2))) return 0;
        m_Pos = r.Pos();
        auto* e = new CArticWrkEvnt();
        e->SetStatus(kind);
        e->SetPost1(d1);
        e->SetPost2(d2);
        Store(e, false);
        return 1;
    }
    default:
        return 0;  // a system status inside a track, or a data byte with no status yet
    }
}

int CArticSmf::ReadTrack(DWORD begin, DWORD end) {
    m_Pos = begin;
    m_Time = 0;
    m_Rest = 0;
    m_RawTime = 0;
    m_Sounding.clear();
    while (m_Pos < end) {
        ImageReader r(m_Image, m_Pos, end);
        DWORD delta = 0;
        if (!r.VarLen(delta)) return 0;
        m_Pos = r.Pos();
        m_Time += Convert(delta, m_Division, m_Rest);
        m_RawTime += delta;
        if (!ReadEvnt(end)) {
            m_Sounding.clear();
            return 0;
        }
    }
    CloseAllNotes();
    return 1;
}

int CArticSmf::LoadSmf(CFile* file) {
    Reset();
    if (!file) return 0;
    const int64_t n = file->GetLength();
    if (n < 0 || n > kMaxImage || file->SeekToBegin() != 0) return 0;
    m_Image.assign(size_t(n) + 16, 0);
    if (file->Read(m_Image.data(), UINT(n)) != UINT(n)) {
        m_Image.clear();
        return 0;
    }
    m_Image.resize(size_t(n));  // the reads are bounded by the file's own bytes
    m_Path = file->GetFilePath();
    m_Kind = GetSmfKind();
    int ok = 0;
    if (m_Division != 0) {
        if (m_Kind == 1) {
            const uint64_t end = uint64_t(kHeaderBytes) + m_TrackLength;
            ok = end <= m_Image.size() ? ReadTrack(DWORD(kHeaderBytes), DWORD(end)) : 0;
        } else if (m_Kind == 2) {
            ok = 1;
            m_FirstTrk = 1;
            DWORD at = 14;
            for (DWORD i = 0; i < m_TrackCount && ok; ++i) {
                DWORD length = 0;
                ReadU32(m_Image, at + 4, length);  // checked by GetSmfKind
                ok = ReadTrack(at + 8, at + 8 + length);
                at += 8 + length;
                m_FirstTrk = 0;
            }
        }
    }
    m_Image.clear();
    m_Image.shrink_to_fit();
    if (!ok) {
        const BYTE kind = m_Kind;
        const CString path = m_Path;
        Reset();  // no half-read song is left behind
        m_Kind = kind;
        m_Path = path;
    }
    return ok;
}

int CArticSmf::SaveSmf(CFile* file, CArticWrkEvntList* list) {
    if (!file || !list) return 0;
    WorkList work;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (e) work.push_back(CopyOf(*e));
    }
    Expand(work);

    static const BYTE kHeader[kHeaderBytes] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0,
                                               'M', 'T', 'r', 'k', 0, 0, 0, 0};
    if (file->SeekToBegin() != 0 || !file->Write(kHeader, sizeof kHeader)) return 0;
    uint64_t total = sizeof kHeader;
    INT64 previous = 0;
    std::vector<BYTE> bytes;
    for (const auto& e : work) {
        bytes.clear();
        std::vector<BYTE> body;
        if (!EventBytes(*e, body)) continue;
        const INT64 delta = e->GetTime() - previous;
        // An event earlier than the one before it cannot be written where it
        // was; it goes out with the previous one's tick.
        PutVarLen(bytes, delta > 0 ? DWORD(uint64_t(delta) & 0xFFFFFFFF) : 0);
        if (delta > 0) previous = e->GetTime();
        bytes.insert(bytes.end(), body.begin(), body.end());
        if (!file->Write(bytes.data(), UINT(bytes.size()))) return 0;
        total += bytes.size();
    }
    static const BYTE kEnd[4] = {0x00, 0xFF, 0x2F, 0x00};
    if (!file->Write(kEnd, sizeof kEnd)) return 0;
    total += sizeof kEnd;
    if (total > 0xFFFFFFFFull) return 0;
    const CString length = ConvDWordToStr(DWORD(total - kHeaderBytes));
    if (file->Seek(18, CFile::begin) != 18 || !file->Write(length.c_str(), 4)) return 0;
    if (file->Seek(int64_t(total), CFile::begin) != int64_t(total)) return 0;
    m_SavedLength = DWORD(total);
    return 1;
}
