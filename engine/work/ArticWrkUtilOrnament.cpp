// Ornaments drawn from phrase patterns: trills, turns and mordents,
// tremolos on one key and between two chords, glissandi and arpeggios. The
// notes are gathered as free copies first and become events of the target
// note's block at the end.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilImpl.h"

using namespace wrkutil;

namespace {

// Copies of a pattern walk can only grow as far as this; a pattern that
// would need more (a cycle without length, a speed of nothing) is refused.
constexpr int kMaxCopies = 10000;

constexpr int kArpgRecord = 40;
constexpr size_t kArpgOnset = 8, kArpgEnd = 16, kArpgInitOnset = 24, kArpgInitEnd = 32;

bool IsEod(const CArticWrkEvnt* e) {
    if (!e || e->GetStatus() != 0xFF || e->GetMetaType() != 0x01) return false;
    const BYTE* data = nullptr;
    return e->GetMeta(nullptr, &data) == 3 && data && std::memcmp(data, "EOD", 3) == 0;
}

BYTE Clamp7(INT64 v) { return BYTE(Clamp<INT64>(v, 0, 127)); }

// Free copies that belong to the walk that made them.
class Scratch {
public:
    ~Scratch() { Clear(); }
    CArticWrkEvntList list;
    CArticWrkEvnt* Add(const CArticWrkEvnt& src) {
        auto* c = new CArticWrkEvnt();
        *c = src;
        c->SetOwner(nullptr);
        c->SetPosEvnt(nullptr);
        list.AddTail(c);
        return c;
    }
    void Clear() {
        for (POSITION p = list.GetHeadPosition(); p;) delete list.GetNext(p);
        list.RemoveAll();
    }
    int Count() const { return list.GetCount(); }
};

// A new note of blk: 0 or the creation's code.
int NewNote(CArticWrk* wrk, CArticWrkBlk* blk, BYTE key, BYTE velo, INT64 time, INT64 gate, bool create,
            CArticWrkEvnt** out) {
    CArticWrkEvnt* e = nullptr;
    const int rc = CArticWrkUtil::CreateWrkEvnt(wrk, blk, &e);
    if (rc != 0) return rc;
    if (!e) return 1;
    e->SetStatus(0x90);
    e->SetPost1(key);
    e->SetPost2(velo);
    e->SetTime(NotNegative(time), 1);
    e->SetGateTime(NotNegative(gate));
    blk->Sort(e, 1);
    if (create) e->SetCreate(1);
    if (out) *out = e;
    return 0;
}

// The microseconds per quarter of the song at time, from the first block of the first track.
ULONG SongTempo(CArticWrk* wrk, INT64 time) {
    CArticWrkTrk* trk = wrk->Get(0);
    CArticWrkBlk* first = trk ? trk->Get(0) : nullptr;
    return first ? CArticWrkUtil::GetCurrentTempo(first, time) : CArticUtil::GetDefaultTempo();
}

double SpeedRatio(CArticWrk* wrk, CArticWrkEvntList* pattern, INT64 time, INT64 origin) {
    const ULONG song = SongTempo(wrk, time);
    const ULONG own = CArticWrkUtil::GetCurrentTempo(pattern, origin);
    return song ? double(own) / double(song) : 0.0;
}

// The keys of the trill pattern: 60 the note, 62 the neighbour above, 59 the one below.
struct TrillKeys {
    BYTE key = 0, up = 0, down = 0;
    bool Map(BYTE patternKey, BYTE* out) const {
        switch (patternKey) {
        case 60: *out = key; return true;
        case 62: *out = up; return true;
        case 59: *out = down; return true;
        default: return false;
        }
    }
};

int Neighbours(CArticWrk* wrk, CArticWrkBlk* blk, BYTE key, INT64 time, char temp, char upShift, char downShift,
               TrillKeys* keys) {
    LONG up = 0, down = 0;
    int rc = CArticWrkUtil::GetDia1Note(wrk, blk, 1, time, key, temp, upShift, downShift, &up);
    if (rc != 0) return rc;
    rc = CArticWrkUtil::GetDia1Note(wrk, blk, 0, time, key, temp, upShift, downShift, &down);
    if (rc != 0) return rc;
    keys->key = key;
    keys->up = Clamp7(up);
    keys->down = Clamp7(down);
    return 0;
}

// ---- Arpeggio information record

INT64 ArpgGet(const CArticWrkEvnt* e, size_t offset) {
    const BYTE* data = nullptr;
    if (e->GetMeta(nullptr, &data) < kArpgRecord || !data) return 0;
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | data[offset + size_t(i)];
    return INT64(v);
}

void ArpgSet(CArticWrkEvnt* e, size_t offset, INT64 value) {
    BYTE record[kArpgRecord] = {};
    const BYTE* data = nullptr;
    if (e->GetMeta(nullptr, &data) >= kArpgRecord && data) std::memcpy(record, data, kArpgRecord);
    for (int i = 0; i < 8; ++i) record[offset + size_t(i)] = BYTE(uint64_t(value) >> (8 * i));
    e->SetMeta(0, record, kArpgRecord);
}

void ArpgAttach(CArticWrkEvnt* e, INT64 start, INT64 end) {
    BYTE record[kArpgRecord] = {};
    record[0] = e->GetPost2();
    e->SetMeta(0, record, kArpgRecord);
    const INT64 onset = e->GetTime() - start, endOff = EndOf(e) - end;
    ArpgSet(e, kArpgOnset, onset);
    ArpgSet(e, kArpgEnd, endOff);
    ArpgSet(e, kArpgInitOnset, onset);
    ArpgSet(e, kArpgInitEnd, endOff);
}

std::vector<CArticWrkEvnt*> NotesOf(CArticWrkEvntList* list) {
    std::vector<CArticWrkEvnt*> notes;
    if (!list) return notes;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (IsNote(e)) notes.push_back(e);
    }
    return notes;
}

INT64 Interpolate(INT64 q, INT64 r, double share) { return q + RoundUp(double(r - q) * share); }

}  // namespace

// ---- Trills, turns and mordents

int CArticWrkUtil::InsertNoteTrill(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* pattern, BYTE key,
                                   BYTE velo, char temp, char upShift, char downShift, INT64 time, INT64 gate,
                                   INT64 origin, INT64 /*reserved*/, int repeat, CArticWrkEvnt* prev,
                                   CArticWrkEvnt* next, CArticWrkEvnt** last) {
    if (!wrk || !blk || !pattern) return 1;
    // Without length the note has nothing to cut the ornament at.
    if (gate <= 0) return 1;
    const double ratio = SpeedRatio(wrk, pattern, time, origin);
    if (!(ratio > 0)) return 1;
    TrillKeys keys;
    int rc = Neighbours(wrk, blk, key, time, temp, upShift, downShift, &keys);
    if (rc != 0) return rc;

    // Phase A: the pattern at its own speed, repeated past twice the note's length.
    Scratch scratch;
    std::vector<INT64> gates;  // gate' of each copy, in scratch order
    INT64 offset = 0;
    int walks = 0;
    for (bool done = false; !done;) {
        if (++walks > kMaxCopies) return 1;  // cycles that never reach a note
        const CArticWrkEvnt* lastNote = nullptr;
        bool restart = false;
        for (POSITION p = pattern->GetHeadPosition(); p && !done && !restart;) {
            CArticWrkEvnt* e = pattern->GetNext(p);
            if (IsNote(e)) {
                if (scratch.Count() >= kMaxCopies) return 1;
                const INT64 g = RoundUp(double(e->GetGateTime()) * ratio);
                const INT64 t = RoundUp(double(e->GetTime() - origin + offset) * ratio) + origin;
                CArticWrkEvnt* c = scratch.Add(*e);
                c->SetTime(t, 0);
                c->SetGateTime(g);
                c->SetCreate(1);
                gates.push_back(g);
                lastNote = e;
                if (t > 2 * gate) done = true;
            } else if (IsEod(e) && repeat) {
                const INT64 cycle = e->GetTime() - origin;
                if (cycle <= 0) return 1;  // a cycle without length never gets past the note
                offset += cycle;
                restart = true;
            }
        }
        if (done || restart) continue;
        if (!repeat || !lastNote) break;
        const INT64 cycle = EndOf(lastNote) - origin;
        if (cycle <= 0) return 1;
        offset += cycle;
    }

    // Phase B: keys mapped, the first note put on the target note, the cut.
    struct Kept {
        CArticWrkEvnt* e;
        INT64 gate;
    };
    std::vector<Kept> kept;
    bool first = true;
    INT64 base = 0, start = time;
    short veloAdd = 0;
    double scale = 1.0;
    size_t index = 0;
    for (POSITION p = scratch.list.GetHeadPosition(); p; ++index) {
        CArticWrkEvnt* e = scratch.list.GetNext(p);
        BYTE mapped = 0;
        if (!keys.Map(e->GetPost1(), &mapped)) return 1;
        if (first && prev && prev->GetPost1() == mapped) continue;  // not again the note just played
        if (first) {
            base = e->GetTime();
            veloAdd = short(velo - e->GetPost2());
            first = false;
        }
        const INT64 t = e->GetTime() - base + time;
        if (t >= time + gate && !(next && !kept.empty() && kept.back().e->GetPost1() == next->GetPost1())) {
            scale = t == time ? 1.0 : double(gate) / double(t - time);
            break;
        }
        e->SetTime(t, 0);
        e->SetPost2(Clamp7(e->GetPost2() + veloAdd));
        e->SetPost1(mapped);
        if (kept.empty()) start = t;
        kept.push_back({e, gates[index]});
    }

    // Phase C: the kept notes, compressed into the note when it was cut.
    for (const Kept& k : kept) {
        const INT64 g = RoundUp(double(k.gate) * scale);
        const INT64 t = RoundUp(double(k.e->GetTime() - start) * scale) + start;
        CArticWrkEvnt* made = nullptr;
        rc = NewNote(wrk, blk, k.e->GetPost1(), k.e->GetPost2(), t, g, true, &made);
        if (rc != 0) return rc;
        if (last) *last = made;
    }
    return 0;
}

int CArticWrkUtil::InsNoteTrill(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* pattern, BYTE key, BYTE velo,
                                char temp, char upShift, char downShift, INT64 time, INT64 gate, INT64 origin,
                                INT64 length, BYTE pick, CArticWrkEvnt** out) {
    if (!wrk || !blk || !pattern) return 1;
    if (length <= 0) return 1;  // a pattern without length cannot be fitted into anything
    const double scale = double(gate) / double(length);
    TrillKeys keys;
    int rc = Neighbours(wrk, blk, key, time, temp, upShift, downShift, &keys);
    if (rc != 0) return rc;
    CArticWrkEvnt *firstMade = nullptr, *lastMade = nullptr;
    bool first = true;
    short veloAdd = 0;
    for (POSITION p = pattern->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = pattern->GetNext(p);
        if (!IsNote(e)) continue;
        BYTE mapped = 0;
        if (!keys.Map(e->GetPost1(), &mapped)) return 1;
        if (first) {
            veloAdd = short(velo - e->GetPost2());
            first = false;
        }
        const INT64 t = RoundUp(double(e->GetTime() - origin) * scale) + time;
        const INT64 g = RoundUp(double(e->GetGateTime()) * scale);
        CArticWrkEvnt* made = nullptr;
        rc = NewNote(wrk, blk, mapped, Clamp7(e->GetPost2() + veloAdd), t, g, false, &made);
        if (rc != 0) return rc;
        if (!firstMade) firstMade = made;
        lastMade = made;
    }
    if (out && pick == 1) *out = firstMade;
    if (out && pick == 0) *out = lastMade;
    return 0;
}

int CArticWrkUtil::InsertNoteMord(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* pattern, BYTE key,
                                  BYTE velo, char temp, char upShift, char downShift, INT64 time, INT64 gate,
                                  INT64 origin, INT64 length) {
    if (!wrk || !blk || !pattern) return 1;
    const double ratio = SpeedRatio(wrk, pattern, time, origin);
    const INT64 scaledLength = RoundUp(double(length) * ratio);
    if (scaledLength <= gate) {
        CArticWrkEvnt* last = nullptr;
        const int rc = InsertNoteTrill(wrk, blk, pattern, key, velo, temp, upShift, downShift, time, gate, origin,
                                       length, 0, nullptr, nullptr, &last);
        if (rc != 0) return rc;
        if (last && time + gate > EndOf(last)) last->SetGateTime(time + gate - last->GetTime());
        return 0;
    }
    CArticWrkEvnt* out = nullptr;
    return InsNoteTrill(wrk, blk, pattern, key, velo, temp, upShift, downShift, time, gate, origin, length, 0, &out);
}

// ---- Tremolos

namespace {

// One unit of a tremolo pattern: a note, or a pair of a 60 and a 67 note.
struct TrmlUnit {
    const CArticWrkEvnt* lower;
    const CArticWrkEvnt* upper;  // null for a tremolo on one key
};

// The tremolo copy walk over units and "EOD" markers: num units from the
// pattern, the cycle repeated from the second unit. Each copied unit gets
// its time (offset included); false for a cycle without length.
struct TrmlCopy {
    std::vector<std::pair<TrmlUnit, INT64>> copied;
    INT64 patternStart = 0, patternEnd = 0;
};

bool CopyTremolo(const std::vector<std::pair<bool, TrmlUnit>>& items, const std::vector<INT64>& itemTimes, int num,
                 TrmlCopy* out) {
    // items: (isMarker, unit); itemTimes: the raw time of each item.
    INT64 offset = 0, cycleStart = 0;
    size_t restart = items.size();
    bool ended = false;
    size_t i = 0;
    int walks = 0;
    while (!ended) {
        bool noteSinceMarker = false;
        INT64 lastEnd = 0;
        INT64 grown = 0;
        for (; i < items.size() && !ended; ++i) {
            const INT64 t = itemTimes[i] + offset;
            if (int(out->copied.size()) >= num) {
                out->patternEnd = t;
                ended = true;
                break;
            }
            if (items[i].first) {  // a marker ends the cycle here
                if (out->copied.size() >= 2) {
                    offset += itemTimes[i] - cycleStart;
                    grown += itemTimes[i] - cycleStart;
                }
                noteSinceMarker = false;
                continue;
            }
            const TrmlUnit& u = items[i].second;
            if (out->copied.empty()) out->patternStart = t;
            if (out->copied.size() == 1) {
                cycleStart = t;
                restart = i;
            }
            out->copied.push_back({u, t});
            noteSinceMarker = true;
            const CArticWrkEvnt* endNote = u.upper ? u.upper : u.lower;
            lastEnd = EndOf(endNote);
        }
        if (ended) break;
        if (restart >= items.size()) {  // no second unit: nothing repeats
            // Fewer units than asked for cannot make the tremolo; the span
            // otherwise ends with the latest end of the units taken.
            if (int(out->copied.size()) < num) return false;
            out->patternEnd = out->patternStart;
            for (const auto& c : out->copied) {
                const CArticWrkEvnt* endNote = c.first.upper ? c.first.upper : c.first.lower;
                out->patternEnd = std::max(out->patternEnd, c.second + (EndOf(endNote) - endNote->GetTime()));
            }
            break;
        }
        if (noteSinceMarker) {
            offset += lastEnd - cycleStart;
            grown += lastEnd - cycleStart;
        }
        if (grown <= 0 || ++walks > kMaxCopies) return false;  // a cycle without length
        i = restart;
    }
    return true;
}

INT64 RandTime(BYTE randTime) { return RoundUp(CArticUtil::Rand1() * randTime); }
short RandVelo(BYTE randVelo) {
    const int64_t v = DoubleToInt64(CArticUtil::Rand1() * randVelo + 0.5);
    return v == INT64_MIN ? 0 : short(v);
}

double SpanScale(INT64 gate, INT64 start, INT64 end) { return end == start ? 1.0 : double(gate) / double(end - start); }

}  // namespace

int CArticWrkUtil::InsertNoteTrml(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* pattern, BYTE key,
                                  BYTE velo, BYTE num, BYTE randTime, BYTE randVelo, INT64 time, INT64 gate) {
    if (!wrk || !blk || !pattern || num < 1) return 1;
    std::vector<std::pair<bool, TrmlUnit>> items;
    std::vector<INT64> times;
    for (POSITION p = pattern->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = pattern->GetNext(p);
        if (IsNote(e)) {
            items.push_back({false, {e, nullptr}});
            times.push_back(e->GetTime());
        } else if (IsEod(e)) {
            items.push_back({true, {nullptr, nullptr}});
            times.push_back(e->GetTime());
        }
    }
    TrmlCopy copy;
    if (!CopyTremolo(items, times, num, &copy) || copy.patternEnd <= copy.patternStart) return 1;
    const double scale = SpanScale(gate, copy.patternStart, copy.patternEnd);
    short veloAdd = 0;
    for (size_t i = 0; i < copy.copied.size(); ++i) {
        const CArticWrkEvnt* n = copy.copied[i].first.lower;
        INT64 r1 = 0;
        short r2 = 0;
        if (i == 0) {
            veloAdd = short(velo - n->GetPost2());
        } else {
            r1 = RandTime(randTime);
            r2 = RandVelo(randVelo);
        }
        const INT64 t = RoundUp(double(copy.copied[i].second - copy.patternStart) * scale) + time + r1;
        const INT64 g = RoundUp(double(n->GetGateTime()) * scale);
        const int rc = NewNote(wrk, blk, key, Clamp7(n->GetPost2() + veloAdd + r2), t, g, true, nullptr);
        if (rc != 0) return rc;
    }
    return 0;
}

int CArticWrkUtil::InsertNoteTrml2(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* lower,
                                   CArticWrkEvntList* upper, CArticWrkEvntList* pattern, BYTE num, BYTE randTime,
                                   BYTE randVelo, char lowVelo, char midVelo, INT64 time, INT64 gate) {
    if (!wrk || !blk || !lower || !upper || !pattern || num < 1) return 1;
    BYTE lowL = 0, highL = 0, lowU = 0, highU = 0;
    int rc = GetNoteLH(lower, &lowL, &highL);
    if (rc != 0) return rc;
    rc = GetNoteLH(upper, &lowU, &highU);
    if (rc != 0) return rc;
    std::vector<std::pair<bool, TrmlUnit>> items;
    std::vector<INT64> times;
    const CArticWrkEvnt* open = nullptr;  // a 60 note waiting for its 67
    for (POSITION p = pattern->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = pattern->GetNext(p);
        if (IsNote(e)) {
            if (!open) {
                if (e->GetPost1() != 60) return 1;
                open = e;
            } else {
                if (e->GetPost1() != 67) return 1;
                items.push_back({false, {open, e}});
                times.push_back(open->GetTime());
                open = nullptr;
            }
        } else if (IsEod(e)) {
            if (open) return 1;
            items.push_back({true, {nullptr, nullptr}});
            times.push_back(e->GetTime());
        }
    }
    if (open) return 1;
    TrmlCopy copy;
    if (!CopyTremolo(items, times, num, &copy) || copy.copied.empty() || copy.patternEnd <= copy.patternStart)
        return 1;
    const double scale = SpanScale(gate, copy.patternStart, copy.patternEnd);
    CArticWrkEvnt* firstLower = nullptr;
    for (CArticWrkEvnt* n : NotesOf(lower)) {
        firstLower = n;
        break;
    }
    if (!firstLower) return 1;
    const short veloAdd = short(firstLower->GetPost2() - copy.copied[0].first.lower->GetPost2());
    int first = 1;
    for (const auto& unit : copy.copied) {
        const INT64 shift = unit.second - unit.first.lower->GetTime();  // the unit's offset
        for (int part = 0; part < 2; ++part) {
            const CArticWrkEvnt* n = part == 0 ? unit.first.lower : unit.first.upper;
            _WRK_EVNT r;
            n->Get(r);
            r.Time = n->GetTime() + shift;
            rc = part == 0 ? ExpandNoteTrml2(wrk, blk, lower, r, time, copy.patternStart, randTime, randVelo, lowVelo,
                                             midVelo, scale, veloAdd, lowL, highL, first)
                           : ExpandNoteTrml2(wrk, blk, upper, r, time, copy.patternStart, randTime, randVelo, lowVelo,
                                             midVelo, scale, veloAdd, lowU, highU, first);
            if (rc != 0) return rc;
        }
    }
    return 0;
}

int CArticWrkUtil::ExpandNoteTrml2(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* chord,
                                   const _WRK_EVNT& patternNote, INT64 time, INT64 patternStart, BYTE randTime,
                                   BYTE randVelo, char lowVelo, char midVelo, double scale, short veloAdd,
                                   BYTE lowKey, BYTE highKey, int& first) {
    if (!wrk || !blk || !chord) return 1;
    for (POSITION p = chord->GetHeadPosition(); p;) {
        CArticWrkEvnt* c = chord->GetNext(p);
        if (!c) continue;
        if (!IsNote(c)) return 1;
        INT64 r1 = 0;
        short r2 = 0;
        if (first) {
            first = 0;
        } else {
            r1 = RandTime(randTime);
            r2 = RandVelo(randVelo);
        }
        const BYTE k = c->GetPost1();
        const int part = k == lowKey ? lowVelo : (k == highKey ? 0 : midVelo);
        const INT64 t = RoundUp(double(patternNote.Time - patternStart) * scale) + time + r1;
        const INT64 g = RoundUp(double(patternNote.Gate) * scale);
        const int rc = NewNote(wrk, blk, k, Clamp7(INT64(patternNote.Post2) + veloAdd + r2 + part), t, g, true,
                               nullptr);
        if (rc != 0) return rc;
    }
    return 0;
}

// ---- Glissandi

int CArticWrkUtil::InsertNoteGlis(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* pattern, BYTE from, BYTE to,
                                  BYTE velo, INT64 time, INT64 gate, INT64 /*reserved1*/, INT64 /*reserved2*/) {
    if (!wrk || !blk || !pattern || from == to) return 1;
    const int white = CArticUtil::IsWhiteNote(from), toWhite = CArticUtil::IsWhiteNote(to);
    CObList keys;
    int rc = GetGlisNoteNum(from, to, white, toWhite, from < to ? 1 : 0, &keys);
    const int n = keys.GetCount();
    const int m = int(NotesOf(pattern).size());
    if (rc == 0) {
        if (m >= n) {
            rc = MagNoteGlis(wrk, blk, pattern, from, velo, time, gate, &keys, n);
        } else if (m >= 2) {
            Scratch resampled;
            rc = CorrectNoteGlis(pattern, &resampled.list, n);
            if (rc == 0) rc = MagNoteGlis(wrk, blk, &resampled.list, from, velo, time, gate, &keys, n);
        } else {
            rc = 1;
        }
    }
    DelObList(&keys);
    keys.RemoveAll();
    return rc;
}

int CArticWrkUtil::MagNoteGlis(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* pattern, BYTE from, BYTE velo,
                               INT64 time, INT64 gate, CObList* keys, int n) {
    int rc = 1;
    if (wrk && blk && pattern && keys && n >= 1) {
        Scratch scratch;
        INT64 patternStart = 0, patternEnd = 0, latestEnd = 0;
        bool closed = false;
        for (POSITION p = pattern->GetHeadPosition(); p;) {
            CArticWrkEvnt* e = pattern->GetNext(p);
            const bool full = scratch.Count() >= n;
            if (IsNote(e) && !full) {
                if (scratch.Count() == 0) patternStart = latestEnd = e->GetTime();
                scratch.Add(*e)->SetCreate(1);
                latestEnd = std::max(latestEnd, EndOf(e));
            } else if ((IsNote(e) || IsEod(e)) && full) {
                patternEnd = e->GetTime();
                closed = true;
                break;
            }
        }
        // Without a next note or "EOD" the span ends with the notes used;
        // a span of no length is refused.
        if (!closed) patternEnd = latestEnd;
        if (patternEnd <= patternStart) {
            if (keys) {
                DelObList(keys);
                keys->RemoveAll();
            }
            return 1;
        }
        const double scale = SpanScale(gate, patternStart, patternEnd);
        short veloAdd = 0;
        bool first = true;
        POSITION kp = keys->GetHeadPosition();
        for (POSITION p = scratch.list.GetHeadPosition(); p && kp;) {
            CArticWrkEvnt* e = scratch.list.GetNext(p);
            const BYTE key = GetNoteListValue(keys->GetNext(kp));
            if (first) {
                veloAdd = short(velo - e->GetPost2());
                first = false;
            }
            const INT64 t = RoundUp(double(e->GetTime() - patternStart) * scale) + time;
            const INT64 g = RoundUp(double(e->GetGateTime()) * scale);
            rc = NewNote(wrk, blk, key, Clamp7(e->GetPost2() + veloAdd), t, g, true, nullptr);
            if (rc != 0) break;
        }
    }
    if (keys) {
        DelObList(keys);
        keys->RemoveAll();
    }
    return rc;
}

int CArticWrkUtil::CorrectNoteGlis(CArticWrkEvntList* pattern, CArticWrkEvntList* out, int n) {
    if (!pattern || !out) return 1;
    CArticWrkEvntList notes;
    INT64 start = 0, end = 0;
    CopyEvntList(pattern, &notes, 0x90, 0, INT64_MIN, kWrkNoTime, &start, &end, 0);
    if (notes.GetCount() >= n || start >= end) return 1;
    for (int i = 0; i < n; ++i) {
        const INT64 t = RoundUp(double(i) * double(end - start) / n) + start;
        CArticWrkEvnt *at = nullptr, *next = nullptr;
        SearchWrkEvntList(&notes, t, &at, &next);
        auto* c = new CArticWrkEvnt();
        if (at && !next) {
            *c = *at;
        } else if (at && next) {
            *c = *at;
            const double share = double(t - at->GetTime()) / double(next->GetTime() - at->GetTime());
            c->SetPost2(Clamp7(Interpolate(at->GetPost2(), next->GetPost2(), share)));
            c->SetGateTime(NotNegative(Interpolate(at->GetGateTime(), next->GetGateTime(), share)));
        } else if (next) {
            *c = *next;  // after the last note
        } else {
            delete c;
            continue;
        }
        c->SetOwner(nullptr);
        c->SetPosEvnt(nullptr);
        c->SetTime(t, 0);
        out->AddTail(c);
    }
    auto* eod = new CArticWrkEvnt();
    eod->SetStatus(0xFF);
    eod->SetTime(end, 0);
    eod->SetMeta(0x01, reinterpret_cast<const BYTE*>("EOD"), 3);
    out->AddTail(eod);
    return 0;
}

// ---- Arpeggios

int CArticWrkUtil::CheckNoteArpg(CArticWrkEvntList* patternNotes, CArticWrkEvnt* earliest) {
    BYTE low = 0, high = 0;
    if (!earliest || GetNoteLH(patternNotes, &low, &high) != 0) return 0;
    const int mid = low + int(double(high - low) * 0.5 + 0.5);
    return earliest->GetPost1() > mid ? 1 : 0;
}

int CArticWrkUtil::AddWrkArpgInfo(CArticWrkEvntList* list, INT64 start, INT64 end) {
    for (CArticWrkEvnt* e : NotesOf(list)) ArpgAttach(e, start, end);
    return 1;
}

int CArticWrkUtil::CorrectNoteArpg(CArticWrkEvntList* patternNotes, INT64 start, INT64 end, CArticWrkEvntList* out,
                                   int n, int down) {
    if (!patternNotes || !out || n <= int(NotesOf(patternNotes).size()) || start >= end) return 1;
    BYTE low = 0, high = 0;
    if (GetNoteLH(patternNotes, &low, &high) != 0 || low >= high) return 1;
    const int range = high - low;
    for (int j = 0; j < n; ++j) {
        const int i = down ? n - 1 - j : j;
        const BYTE k = Clamp7(low + BYTE(int(double(i) * range / n + 0.5)));
        CArticWrkEvnt *at = nullptr, *next = nullptr;
        SearchWrkEvntList(patternNotes, k, &at, &next);
        auto* c = new CArticWrkEvnt();
        if (at && !next) {
            *c = *at;  // with its record
        } else if (at && next) {
            *c = *at;
            const double share = double(k - at->GetPost1()) / double(next->GetPost1() - at->GetPost1());
            c->SetPost1(k);
            c->SetPost2(Clamp7(Interpolate(at->GetPost2(), next->GetPost2(), share)));
            c->SetGateTime(NotNegative(Interpolate(at->GetGateTime(), next->GetGateTime(), share)));
            c->SetTime(NotNegative(Interpolate(at->GetTime(), next->GetTime(), share)), 0);
            ArpgAttach(c, start, end);
        } else if (next) {
            *c = *next;
            ArpgAttach(c, start, end);
        } else {
            delete c;
            continue;
        }
        c->SetOwner(nullptr);
        c->SetPosEvnt(nullptr);
        out->AddTail(c);
    }
    return 0;
}

int CArticWrkUtil::NoteOnShiftAOfArpg(CArticWrkEvntList* chordNotes, CArticWrkEvntList* patternNotes,
                                      CArticWrkEvntList* result, INT64 time) {
    if (!chordNotes || !patternNotes || !result) return 1;
    const std::vector<CArticWrkEvnt*> chord = NotesOf(chordNotes), notes = NotesOf(patternNotes);
    size_t pairs = 0;
    for (; pairs < chord.size() && pairs < notes.size(); ++pairs) {
        CArticWrkEvnt* n = notes[pairs];
        n->SetTime(NotNegative(time + ArpgGet(n, kArpgOnset)), 1);
        n->SetPost1(chord[pairs]->GetPost1());
        result->AddTail(n);
        ArpgSet(n, kArpgOnset, n->GetTime() - time);
    }
    return pairs > 0 ? 0 : 1;
}

int CArticWrkUtil::NoteOffShiftAOfArpg(CArticWrkEvntList* result, INT64 time, INT64 gate) {
    if (!result || gate <= 0) return 1;
    for (CArticWrkEvnt* n : NotesOf(result)) {
        const INT64 g = NotNegative(time + gate + ArpgGet(n, kArpgEnd) - n->GetTime());
        n->SetGateTime(g);
        ArpgSet(n, kArpgEnd, EndOf(n) - (time + gate));
    }
    return 0;
}

int CArticWrkUtil::NoteOnShiftCOfArpg(CArticWrkEvntList* result, INT64 onMax, INT64 half, INT64 time) {
    if (!result || onMax == 0) return 1;
    const double ratio = double(half) / double(onMax);
    for (CArticWrkEvnt* n : NotesOf(result)) {
        const INT64 end = EndOf(n);
        const INT64 t = NotNegative(time + RoundAway(double(ArpgGet(n, kArpgInitOnset)) * ratio));
        n->SetTime(t, 1);
        n->SetGateTime(NotNegative(end - t));
        ArpgSet(n, kArpgOnset, t - time);
    }
    return 0;
}

int CArticWrkUtil::NoteOffShiftDOfArpg(CArticWrkEvntList* result, INT64 offMin, INT64 limit, INT64 time,
                                       INT64 gate) {
    if (!result || offMin == 0) return 1;
    const double ratio = double(limit) / double(offMin);
    for (CArticWrkEvnt* n : NotesOf(result)) {
        const INT64 endOff = RoundAway(double(ArpgGet(n, kArpgInitEnd)) * ratio);
        n->SetGateTime(NotNegative(time + gate + endOff - n->GetTime()));
        ArpgSet(n, kArpgEnd, endOff);
    }
    return 0;
}

int CArticWrkUtil::NoteOffCheckOfArpg(CArticWrkEvntList* result, INT64* t) {
    if (!result || result->IsEmpty()) return 0;
    CArticWrkEvnt *head = result->GetHead(), *tail = result->GetTail();
    if (!IsNote(head) || !IsNote(tail)) return 0;
    if (tail->GetTime() >= EndOf(head)) return 0;
    if (t) *t = EndOf(tail);
    return 1;
}

int CArticWrkUtil::NoteOffResetOfArpg(CArticWrkEvntList* result, INT64 t) {
    if (!result) return 1;
    for (CArticWrkEvnt* n : NotesOf(result)) n->SetGateTime(NotNegative(t - n->GetTime()));
    return 0;
}

int CArticWrkUtil::StoreEvntOfArpg(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* result, BYTE velo) {
    if (!wrk || !blk || !result) return 1;
    int rc = 1;
    bool first = true;
    short veloAdd = 0;
    for (CArticWrkEvnt* n : NotesOf(result)) {
        if (first) {
            veloAdd = short(velo - n->GetPost2());
            first = false;
        }
        n->SetPost2(Clamp7(n->GetPost2() + veloAdd));
        n->SetMeta(0, nullptr, 0);
        rc = NewNote(wrk, blk, n->GetPost1(), n->GetPost2(), n->GetTime(), n->GetGateTime(), true, nullptr);
        if (rc != 0) return rc;
    }
    return rc;
}

int CArticWrkUtil::InsertNoteArpg(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* chord,
                                  CArticWrkEvntList* pattern, INT64 time, INT64 gate, INT64 /*reserved1*/,
                                  INT64 /*reserved2*/) {
    if (!wrk || !blk || !chord || !pattern) return 1;
    Scratch copy;  // the pattern at the song's tempo
    CopyEvntListByTempo(wrk, time, pattern, &copy.list);
    if (copy.list.IsEmpty()) return 1;
    CArticWrkEvntList patternNotes;
    INT64 start = 0, end = 0;
    CopyEvntList(&copy.list, &patternNotes, 0x90, 0, INT64_MIN, kWrkNoTime, &start, &end, 0);
    CArticWrkEvnt* earliest = nullptr;
    if (GetEvnt(&patternNotes, 0, &earliest) != 0) return 1;
    SortByKey(&patternNotes, 1);
    const int down = CheckNoteArpg(&patternNotes, earliest);
    if (down) SortByKey(&patternNotes, 0);
    AddWrkArpgInfo(&patternNotes, start, end);

    CArticWrkEvntList chordNotes;
    for (CArticWrkEvnt* n : NotesOf(chord)) chordNotes.AddTail(n);
    if (chordNotes.IsEmpty()) return 1;
    SortByKey(&chordNotes, down ? 0 : 1);
    CArticWrkEvnt* firstChord = nullptr;
    GetEvnt(&chordNotes, 0, &firstChord);

    Scratch resampled;
    CArticWrkEvntList* notes = &patternNotes;
    if (patternNotes.GetCount() < chordNotes.GetCount()) {
        if (CorrectNoteArpg(&patternNotes, start, end, &resampled.list, chordNotes.GetCount(), down) != 0) return 1;
        notes = &resampled.list;
    }
    CArticWrkEvntList result;
    if (NoteOnShiftAOfArpg(&chordNotes, notes, &result, time) != 0) return 1;
    if (NoteOffShiftAOfArpg(&result, time, gate) != 0) return 1;
    const INT64 onMax = GetEvntNoteOnMaxInterval(&result), offMin = GetEvntNoteOffMinInterval(&result);
    const INT64 half = gate / 2;
    if (onMax > half) NoteOnShiftCOfArpg(&result, onMax, half, time);
    if (offMin < gate / -2) NoteOffShiftDOfArpg(&result, offMin, gate / -2, time, gate);
    INT64 t = 0;
    if (NoteOffCheckOfArpg(&result, &t)) NoteOffResetOfArpg(&result, t);
    return StoreEvntOfArpg(wrk, blk, &result, firstChord->GetPost2());
}
