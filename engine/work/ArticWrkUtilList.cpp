// Operations on stand-alone event lists of CArticWrkUtil: copies, deletion,
// value and time scaling, repetition, envelopes and queries.
#include <cstring>
#include <new>
#include <vector>

#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilImpl.h"

using namespace wrkutil;

namespace {

// Status matches, and for a control change the controller number too.
bool Matches(const CArticWrkEvnt* e, BYTE status, BYTE number) {
    return e->GetStatus() == status && (status != 0xB0 || e->GetPost1() == number);
}

bool IsMarker(const CArticWrkEvnt* e, const char* text) {
    if (e->GetStatus() != 0xFF || e->GetMetaType() != 0x01) return false;
    const BYTE* data = nullptr;
    return e->GetMeta(nullptr, &data) == 3 && data && std::memcmp(data, text, 3) == 0;
}

// An ownerless, unnumbered copy with its own data block.
CArticWrkEvnt* CopyOf(const CArticWrkEvnt* src) {
    auto* c = new (std::nothrow) CArticWrkEvnt();
    if (!c) return nullptr;
    _WRK_EVNT r;
    src->Get(r);
    c->Set(r);
    return c;
}

// Scales the value of a control change or pitch bend by m and adds add.
void ScaleValue(CArticWrkEvnt* e, double m, LONG add, BYTE type) {
    _WRK_EVNT r;
    e->Get(r);
    if (r.Status == 0xB0) {
        if (type == 1) {
            const INT64 v = RoundAway((int(r.Post2) - 64) * m) + add;
            r.Post2 = v >= 64 ? 127 : (v < -64 ? 0 : BYTE(v + 64));
        } else {
            r.Post2 = BYTE(Clamp<INT64>(RoundUp(r.Post2 * m) + add, 0, 127));
        }
    } else if (r.Status == 0xE0) {
        const INT64 v = RoundAway(CArticWrkUtil::GetPitchBend(r) * m) + add;
        CArticWrkUtil::SetPitchBend(r, short(Clamp<INT64>(v, -8192, 8191)));
    } else {
        return;
    }
    e->Set(r);
}

// The envelope weight of Attack and Release: bend or controller (10 centred) times w.
void WeighValue(CArticWrkEvnt* e, BYTE number, double w) {
    _WRK_EVNT r;
    e->Get(r);
    if (r.Status == 0xE0) {
        CArticWrkUtil::SetPitchBend(r, short(Clamp<INT64>(RoundAway(CArticWrkUtil::GetPitchBend(r) * w), -8192, 8191)));
    } else if (r.Status == 0xB0) {
        if (number == 10) {
            const INT64 v = RoundAway((int(r.Post2) - 64) * w);
            r.Post2 = v >= 64 ? 127 : (v < -64 ? 0 : BYTE(v + 64));
        } else {
            r.Post2 = BYTE(Clamp<INT64>(RoundUp(r.Post2 * w), 0, 127));
        }
    } else {
        return;
    }
    e->Set(r);
}

template <class F>
void ForEach(CArticWrkEvntList* list, F f) {
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (e) f(e);
    }
}

void SetTimeClamped(CArticWrkEvnt* e, INT64 t) { e->SetTime(t < 0 ? 0 : t, 1); }

double RandomFactor(WORD mag, WORD randMag) { return (CArticUtil::Rand1() * randMag / 100.0 + 1.0) * mag / 100.0; }

// Reads a signed 64-bit little-endian field of the arpeggio information record.
bool ArpgField(const CArticWrkEvnt* e, size_t offset, INT64* value) {
    const BYTE* data = nullptr;
    const ULONG len = e->GetMeta(nullptr, &data);
    if (!data || len < offset + 8) return false;
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | data[offset + size_t(i)];
    *value = INT64(v);
    return true;
}

}  // namespace

// ---- Copy and collect

void CArticWrkUtil::CopyEvntList(CArticWrkEvntList* src, CArticWrkEvntList* dst) {
    if (!src || !dst) return;
    ForEach(src, [&](CArticWrkEvnt* e) { dst->AddTail(e); });
}

void CArticWrkUtil::CopyEvntList(CArticWrkEvntList* src, CArticWrkEvntList* dst, BYTE status, BYTE number) {
    if (!src || !dst) return;
    ForEach(src, [&](CArticWrkEvnt* e) {
        if (!Matches(e, status, number)) return;
        if (CArticWrkEvnt* c = CopyOf(e)) dst->AddTail(c);
    });
}

void CArticWrkUtil::CopyEvntList(CArticWrkEvntList* src, CArticWrkEvntList* dst, BYTE status, BYTE number,
                                 INT64 from, INT64 to, int copy) {
    INT64 first = 0, last = 0;
    CopyEvntList(src, dst, status, number, from, to, &first, &last, copy);
}

void CArticWrkUtil::CopyEvntList(CArticWrkEvntList* src, CArticWrkEvntList* dst, BYTE status, BYTE number,
                                 INT64 from, INT64 to, INT64* first, INT64* last, int copy) {
    if (!src || !dst) return;
    INT64 f = 0, l = 0;
    bool firstSet = false, endSet = false;
    ForEach(src, [&](CArticWrkEvnt* e) {
        const INT64 t = e->GetTime();
        if (t < from || t > to) return;
        if (Matches(e, status, number)) {
            if (!firstSet) {
                f = t;
                firstSet = true;
            }
            if (!endSet) {
                const INT64 end = IsNote(e) ? EndOf(e) : t;
                if (end > l) l = end;
            }
            CArticWrkEvnt* item = copy ? CopyOf(e) : e;
            if (item) dst->AddTail(item);
        } else if (IsMarker(e, "SOD")) {
            f = t;
            firstSet = true;
        } else if (IsMarker(e, "EOD")) {
            l = t;
            endSet = true;
            if (!firstSet) {
                f = t;
                firstSet = true;
            }
        }
    });
    if (first) *first = f;
    if (last) *last = l;
}

void CArticWrkUtil::CopyMetaEvntList(CArticWrkEvntList* src, CArticWrkEvntList* dst, BYTE status, BYTE metaType,
                                     INT64 from, INT64 to) {
    if (!src || !dst) return;
    ForEach(src, [&](CArticWrkEvnt* e) {
        if (e->GetStatus() == status && e->GetMetaType() == metaType && e->GetTime() >= from && e->GetTime() <= to)
            dst->AddTail(e);
    });
}

ULONG CArticWrkUtil::GetCurrentTempo(CArticWrkEvntList* list, INT64 time) {
    if (!list) return CArticUtil::GetDefaultTempo();
    CArticWrkEvnt* tempo = nullptr;
    CheckSameTimeMetaEvnt(list, time, 0xFF, 0x51, &tempo);
    const BYTE* data = nullptr;
    if (!tempo || tempo->GetMeta(nullptr, &data) < 3 || !data) return CArticUtil::GetDefaultTempo();
    BYTE bytes[3] = {data[0], data[1], data[2]};
    ULONG value = 0;
    return CArticUtil::GetTempo(bytes, &value) ? value : CArticUtil::GetDefaultTempo();
}

ULONG CArticWrkUtil::GetCurrentTempo(CArticWrkBlk* blk, INT64 time) {
    return GetCurrentTempo(blk ? blk->GetEvntList() : nullptr, time);
}

int CArticWrkUtil::CopyEvntListByTempo(CArticWrk* wrk, INT64 time, CArticWrkEvntList* src, CArticWrkEvntList* dst) {
    if (!wrk || !src || !dst) return 0;
    CArticWrkTrk* trk = wrk->Get(0);
    if (!trk) return 0;
    CArticWrkBlk* blk = trk->Get(0);
    const ULONG workTempo = blk ? GetCurrentTempo(blk, time) : 500000;
    const ULONG listTempo = GetCurrentTempo(src, time);
    // A tempo of 0 cannot be read from a tempo event; keep the times then.
    const double ratio = workTempo ? double(listTempo) / double(workTempo) : 1.0;
    ForEach(src, [&](CArticWrkEvnt* e) {
        CArticWrkEvnt* c = CopyOf(e);
        if (!c) return;
        const INT64 t = RoundUp(double(e->GetTime()) * ratio);
        c->SetTime(t < 0 ? 0 : t, 0);
        if (IsNote(e)) {
            const INT64 gate = RoundUp(double(e->GetGateTime()) * ratio);
            c->SetGateTime(gate < 0 ? 0 : gate);
        }
        dst->AddTail(c);
    });
    return 0;
}

void CArticWrkUtil::ReLinkEvntList(CArticWrk* wrk, CArticWrkEvntList* src, CArticWrkEvntList* dst) {
    if (!wrk || !src || !dst) return;
    ForEach(src, [&](CArticWrkEvnt* e) {
        if (CArticWrkEvnt* linked = wrk->GetEvntInEvntPosArray(e->GetEvntNo(), 0)) dst->AddTail(linked);
    });
}

void CArticWrkUtil::ReLinkEvntList2(CArticWrk* wrk, CArticWrkEvntList* src, CArticWrkEvntList* dst) {
    if (!wrk || !src || !dst) return;
    ForEach(src, [&](CArticWrkEvnt* e) {
        const ULONG n = e->GetEvntNo();
        CArticWrkEvnt* linked = wrk->GetEvntInEvntPosArray(n, 1);
        if (!linked) {
            linked = new (std::nothrow) CArticWrkEvnt(nullptr, n);
            if (!linked) return;
            // The table owns a free event through its entry; one it refuses
            // would belong to nobody.
            if (wrk->SetEvntPos(linked) != 0) {
                delete linked;
                return;
            }
        }
        dst->AddTail(linked);
    });
}

int CArticWrkUtil::StoreEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 start) {
    if (!wrk || !blk || !list) return 1;
    bool stored = false;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* src = list->GetNext(p);
        if (!src || src->GetStatus() == 0xFF) continue;
        CArticWrkEvnt* e = nullptr;
        int rc = CreateWrkEvnt(wrk, blk, &e);
        if (rc != 0) return rc;
        _WRK_EVNT r;
        src->Get(r);
        // Only system exclusive keeps a data block; a pattern note's working
        // record stays behind.
        if (r.Status != 0xF0) {
            r.Data = nullptr;
            r.Len = 0;
        }
        e->Set(r);
        const INT64 t = start + src->GetTime();
        e->SetTime(t < 0 ? 0 : t, 1);
        blk->Sort(e, 1);
        e->SetCreate(1);
        stored = true;
    }
    return stored ? 0 : 1;
}

int CArticWrkUtil::MergeTrkEvnt(CArticWrk* wrk, CArticWrkTrk* trk, int link) {
    if (!wrk || !trk) return 1;
    CArticWrkBlk* target = trk->Get(1);
    // Without its block nothing can be merged: that is a failure.
    if (!target && (trk->NewBlk(&target) == 0 || !target)) return 1;
    POSITION tp = wrk->GetHeadPos();
    if (tp) wrk->GetNext(tp);  // the first track is not merged
    while (tp) {
        CArticWrkTrk* from = wrk->GetNext(tp);
        if (!from || !from->GetSelTrk()) continue;
        for (POSITION bp = from->GetHeadPos(); bp;) {
            CArticWrkBlk* blk = from->GetNext(bp);
            if (!blk) continue;
            for (POSITION ep = blk->GetHeadPos(); ep;) {
                CArticWrkEvnt* src = blk->GetNext(ep);
                if (!src) continue;
                auto* e = new (std::nothrow) CArticWrkEvnt(target, src->GetEvntNo());
                if (!e) return 1;
                *e = *src;
                target->SortBefore(e, 1);
                if (link) {
                    src->SetSeqWrkEvnt(e);
                    e->SetSeqWrkEvnt(nullptr);
                }
            }
        }
    }
    return 0;
}

int CArticWrkUtil::UpdateEvntNoByArticSuite(CArticWrk* wrk, CArticWrk* /*other*/, CArticWrkEvntList* list) {
    if (!wrk || !list) return 1;
    ForEach(list, [&](CArticWrkEvnt* e) {
        CArticWrkEvnt* linked = e->GetSeqWrkEvnt();
        if (linked && WrkOf(linked) == wrk) e->SetEvntNo(linked->GetEvntNo());
    });
    return 0;
}

// ---- Delete and clear

namespace {

void Destroy(CArticWrkEvntList* list, POSITION at, CArticWrkEvnt* e) {
    list->RemoveAt(at);
    // An event of a block loses the place it had in that list.
    if (e->GetPosEvnt() == at) e->SetPosEvnt(nullptr);
    delete e;
}

}  // namespace

int CArticWrkUtil::DelEvntList(CArticWrkEvntList* list, INT64 from, INT64 to, BYTE status, BYTE number) {
    if (!list) return 1;
    for (POSITION p = list->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = list->GetNext(p);
        if (e && Matches(e, status, number) && e->GetTime() >= from && e->GetTime() <= to) Destroy(list, at, e);
    }
    return 0;
}

void CArticWrkUtil::DelEvntList(CArticWrkEvntList* list) {
    if (!list) return;
    for (POSITION p = list->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = list->GetNext(p);
        // The entry stays for the caller to empty; it must not point at freed memory.
        list->SetAt(at, nullptr);
        delete e;
    }
}

void CArticWrkUtil::DelEvntList(CArticWrkEvntList* list, POSITION pos) {
    if (!list || !pos) return;
    while (!list->IsEmpty() && list->GetTailPosition() != pos) {
        POSITION at = list->GetTailPosition();
        CArticWrkEvnt* e = list->GetAt(at);
        list->RemoveAt(at);
        delete e;
    }
}

void CArticWrkUtil::ClearEvntList(CArticWrkEvntList* list) {
    if (list) list->RemoveAll();
}

void CArticWrkUtil::DelObList(CObList* list) {
    if (!list) return;
    for (POSITION p = list->GetHeadPosition(); p;) {
        POSITION at = p;
        delete static_cast<BYTE*>(list->GetNext(p));
        list->SetAt(at, nullptr);
    }
}

int CArticWrkUtil::AddNoteList(CObList* list, BYTE value) {
    if (!list) return 1;
    auto* item = new (std::nothrow) BYTE(value);
    if (!item) return 1;
    list->AddTail(item);
    return 0;
}

void CArticWrkUtil::ClearEvntLevel(_WRK_EVNT& rec) {
    rec.Post2 = 0;
    rec.Post3 = 0;
}

// ---- Values and times

void CArticWrkUtil::MagEvnt(CArticWrkEvnt* evnt, double mag, BYTE type) {
    if (!evnt || mag == 1.0) return;
    ScaleValue(evnt, mag, 0, type);
}

void CArticWrkUtil::MagEvntList(CArticWrkEvntList* list, WORD mag, BYTE type) {
    if (!list || mag == 100) return;
    ForEach(list, [&](CArticWrkEvnt* e) { ScaleValue(e, mag / 100.0, 0, type); });
}

void CArticWrkUtil::MagEvntList(CArticWrkEvntList* list, WORD mag, WORD randMag, BYTE type) {
    if (!list || (mag == 100 && randMag == 0)) return;
    const double m = RandomFactor(mag, randMag);
    ForEach(list, [&](CArticWrkEvnt* e) { ScaleValue(e, m, 0, type); });
}

void CArticWrkUtil::MagAddEvntList(CArticWrkEvntList* list, INT64 from, INT64 to, WORD mag, short add, BYTE type) {
    if (!list || (mag == 100 && add == 0)) return;
    ForEach(list, [&](CArticWrkEvnt* e) {
        if (e->GetTime() >= from && e->GetTime() <= to) ScaleValue(e, mag / 100.0, add, type);
    });
}

int CArticWrkUtil::MagAddEvntList(CArticWrkEvntList* list, BYTE number, signed char add) {
    if (!list || add == 0) return 0;
    const BYTE type = number == 10 ? 1 : 0;
    ForEach(list, [&](CArticWrkEvnt* e) { ScaleValue(e, 1.0, add, type); });
    return 0;
}

void CArticWrkUtil::TimeMagEvntList(CArticWrkEvntList* list, WORD mag, INT64 from, INT64 to) {
    if (!list) return;
    const double m = mag / 100.0;
    const INT64 len = to - from;
    bool haveOrigin = false;
    INT64 origin = 0;
    for (POSITION p = list->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        if (!haveOrigin) {
            origin = e->GetTime();
            haveOrigin = true;
            continue;
        }
        const INT64 d = DoubleToInt64(double(e->GetTime() - origin) * m + 0.5);
        if (d > len) {
            list->RemoveAt(at);
            if (!e->GetOwner()) delete e;
        } else {
            e->SetTime(origin + d, 1);
        }
    }
}

void CArticWrkUtil::ShiftTimeEvntList(CArticWrkEvntList* list, INT64 shift) {
    if (!list) return;
    ForEach(list, [&](CArticWrkEvnt* e) { SetTimeClamped(e, e->GetTime() + shift); });
}

void CArticWrkUtil::DupLastEvntList(CArticWrkEvntList* list, INT64 time, int reset, int centre) {
    if (!list || list->IsEmpty() || !list->GetTail()) return;
    _WRK_EVNT r;
    list->GetTail()->Get(r);
    if (reset) {
        if (r.Status == 0xB0) r.Post2 = centre ? 64 : 0;
        if (r.Status == 0xE0) SetPitchBend(r, 0);
    }
    r.Time = time;
    auto* e = new (std::nothrow) CArticWrkEvnt();
    if (!e) return;
    e->Set(r);
    e->SetCreate(1);
    list->AddTail(e);
}

namespace {

void Repeat(CArticWrkEvntList* list, BYTE status, BYTE number, INT64 from, INT64 to, bool scale, BYTE type,
            WORD mag, WORD randMag) {
    if (!list || to <= from) return;
    CArticWrkEvntList pattern;
    CArticWrkUtil::CopyEvntList(list, &pattern, status, number);
    CArticWrkUtil::DelEvntList(list);
    list->RemoveAll();
    if (!pattern.IsEmpty() && pattern.GetHead() && pattern.GetTail()) {
        const INT64 period = pattern.GetTail()->GetTime();
        const INT64 len = to - from;
        // A pattern without length would repeat at the same place forever.
        for (INT64 offset = 0; period > 0;) {
            const double m = scale ? RandomFactor(mag, randMag) : 1.0;
            bool firstOfRound = true, stop = false;
            for (POSITION p = pattern.GetHeadPosition(); p && !stop;) {
                CArticWrkEvnt* src = pattern.GetNext(p);
                if (!src) continue;
                if (firstOfRound && src->GetTime() == 0 && !list->IsEmpty()) {
                    // The new round's first event takes the seam.
                    delete list->RemoveTail();
                }
                firstOfRound = false;
                const INT64 t = src->GetTime() + offset;
                if (t > len) {
                    stop = true;
                    break;
                }
                CArticWrkEvnt* c = CopyOf(src);
                if (!c) continue;
                c->SetTime(t, 0);
                if (scale) CArticWrkUtil::MagEvnt(c, m, type);
                list->AddTail(c);
            }
            if (stop) break;
            offset += period;
        }
    }
    CArticWrkUtil::DelEvntList(&pattern);
    pattern.RemoveAll();
}

}  // namespace

void CArticWrkUtil::RepEvntList(CArticWrkEvntList* list, BYTE status, BYTE number, BYTE type, WORD mag,
                                WORD randMag, INT64 from, INT64 to) {
    Repeat(list, status, number, from, to, true, type, mag, randMag);
}

void CArticWrkUtil::RepEvntList(CArticWrkEvntList* list, BYTE status, BYTE number, INT64 from, INT64 to) {
    Repeat(list, status, number, from, to, false, 0, 100, 0);
}

namespace {

// Boundary events at a and b, then every matching event of [a, b] weighed by w(time).
template <class W>
int Envelope(CArticWrkEvntList* list, BYTE status, BYTE number, INT64 a, INT64 b, W weight) {
    int rc = CArticWrkUtil::CreateWrkEvnt(list, status, number, a);
    if (rc == 0) rc = CArticWrkUtil::CreateWrkEvnt(list, status, number, b);
    if (rc != 0) return rc;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        if (e->GetTime() > b) break;
        if (Matches(e, status, number) && e->GetTime() >= a) WeighValue(e, number, weight(e->GetTime()));
    }
    return 0;
}

}  // namespace

int CArticWrkUtil::AttackEvntList(CArticWrkEvntList* list, BYTE status, BYTE number, INT64 from, INT64 rampEnd,
                                  INT64 limit) {
    if (!list || rampEnd <= from) return 1;
    return Envelope(list, status, number, from, limit,
                    [&](INT64 t) { return double(t - from) / double(rampEnd - from); });
}

int CArticWrkUtil::ReleaseEvntList(CArticWrkEvntList* list, BYTE status, BYTE number, INT64 from, INT64 to,
                                   double level) {
    if (!list || to <= from) return 1;
    return Envelope(list, status, number, from, to,
                    [&](INT64 t) { return (1.0 - double(t - from) / double(to - from)) * level; });
}

int CArticWrkUtil::Calc0SmgEvntList(CArticWrkEvntList* list, BYTE status, BYTE number) {
    if (!list) return 1;
    ForEach(list, [&](CArticWrkEvnt* e) {
        _WRK_EVNT r;
        e->Get(r);
        if (status == 0xB0 && r.Status == 0xB0 && r.Post1 == number) {
            r.Post2 = number == 10 ? 64 : 0;
        } else if (status == 0xE0 && r.Status == 0xE0) {
            SetPitchBend(r, 0);
        } else {
            return;
        }
        e->Set(r);
    });
    return 0;
}

// ---- Queries

int CArticWrkUtil::GetFirstTime(CArticWrkEvntList* list, INT64* out) {
    INT64 first = kWrkNoTime;
    bool ok = list && !list->IsEmpty();
    if (ok) {
        for (POSITION p = list->GetHeadPosition(); p;) {
            CArticWrkEvnt* e = list->GetNext(p);
            if (!e) {
                ok = false;
                break;
            }
            if (e->GetTime() < first) first = e->GetTime();
        }
    }
    if (out) *out = first;
    if (ok) return 0;
    return ReportErr(kPhase1, "最も早いｲﾍﾞﾝﾄの開始時刻をGETできません。", "CArticWrkUtil::GetFirstTime", "");
}

INT64 CArticWrkUtil::GetFirstTime(CArticWrkEvntList* list) {
    INT64 first = kWrkNoTime;
    if (list) ForEach(list, [&](CArticWrkEvnt* e) { first = e->GetTime() < first ? e->GetTime() : first; });
    return first;
}

int CArticWrkUtil::GetNoteTimeRange(CArticWrkEvntList* list, INT64* start, INT64* end) {
    if (!list) return 1;
    bool anyNote = false, haveSod = false, haveEod = false;
    INT64 s = 0, e = 0, sod = 0, eod = 0;
    ForEach(list, [&](CArticWrkEvnt* ev) {
        if (IsNote(ev)) {
            if (!anyNote || ev->GetTime() < s) s = ev->GetTime();
            if (!anyNote || EndOf(ev) > e) e = EndOf(ev);
            anyNote = true;
        } else if (IsMarker(ev, "SOD")) {
            sod = ev->GetTime();
            haveSod = true;
        } else if (IsMarker(ev, "EOD")) {
            eod = ev->GetTime();
            haveEod = true;
        }
    });
    if (!anyNote && !haveEod) return 1;
    if (haveSod) s = sod;
    if (haveEod) e = eod;
    if (start) *start = s;
    if (end) *end = e;
    return 0;
}

int CArticWrkUtil::GetEvnt(CArticWrkEvntList* list, int selector, CArticWrkEvnt** out) {
    if (!list || selector < 0 || selector > 3) return 1;
    CArticWrkEvnt* best = nullptr;
    ForEach(list, [&](CArticWrkEvnt* e) {
        if (!best) {
            best = e;
            return;
        }
        switch (selector) {
        case 0: if (e->GetTime() < best->GetTime()) best = e; break;
        case 1: if (e->GetTime() > best->GetTime()) best = e; break;
        case 2: if (e->GetPost1() < best->GetPost1()) best = e; break;
        default: if (e->GetPost1() > best->GetPost1()) best = e; break;
        }
    });
    if (!best) return 1;
    if (out) *out = best;
    return 0;
}

INT64 CArticWrkUtil::GetEvntNoteOnMaxInterval(CArticWrkEvntList* list) {
    INT64 result = INT64_MIN;
    if (list) ForEach(list, [&](CArticWrkEvnt* e) {
        INT64 v = 0;
        if (IsNote(e) && ArpgField(e, 24, &v) && v > result) result = v;
    });
    return result;
}

INT64 CArticWrkUtil::GetEvntNoteOffMinInterval(CArticWrkEvntList* list) {
    INT64 result = kWrkNoTime;
    if (list) ForEach(list, [&](CArticWrkEvnt* e) {
        INT64 v = 0;
        if (IsNote(e) && ArpgField(e, 32, &v) && v < result) result = v;
    });
    return result;
}

int CArticWrkUtil::IsCopyEvnt(CArticWrkEvnt* evnt, ULONG channel, ULONG port) {
    if (!evnt) return 0;
    const BYTE status = evnt->GetStatus();
    if ((status >= 0x10 && status <= 0x3F) || (status >= 0xB0 && status <= 0xCF)) return 1;
    if (status != 0xF0) return 0;
    const BYTE* data = nullptr;
    const ULONG len = evnt->GetSys(&data);
    if (!data || len < 7) return 0;
    if (data[0] != 0x43 || data[1] != 0x10 || data[2] != 0x4C || (data[3] != 0x08 && data[3] != 0x0A)) return 0;
    return uint64_t(channel) + 16u * uint64_t(port) == data[4] ? 1 : 0;
}
