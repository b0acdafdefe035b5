// Note creation and edits, single-note settings, swaps and checks of CArticWrkUtil.
#include <cstring>
#include <new>

#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilImpl.h"

using namespace wrkutil;

namespace {

const char kCreNoteReason[] = "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ（Note）を作成するための情報に誤りがある。";
const char kEditNoteReason[] = "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ（Note）を編集するための情報に誤りがある。";
const char kLimitReason[] = "Durationをﾘﾐｯﾄする際にｴﾗｰが発生しました。";

// The value an event carries for the kinds that have one; other kinds keep v.
LONG ValueOf(const CArticWrkEvnt* e, LONG v) {
    _WRK_EVNT r;
    e->Get(r);
    if (r.Status == 0xB0) return r.Post2;
    if (r.Status == 0xE0) return CArticWrkUtil::GetPitchBend(r);
    return v;
}

void FillNote(CArticWrkEvnt* e, INT64 time, BYTE key, BYTE velo, INT64 gate) {
    e->SetStatus(0x90);
    e->SetTime(time, 1);
    e->SetGateTime(gate);
    e->SetPost1(key);
    e->SetPost2(velo);
}

// A note edited into blk keeps its number; an event new to the table gets
// its own entry rather than taking over the entry of another event.
void RenewEntry(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvnt* evnt) {
    CArticWrkEvnt* holder = nullptr;
    if (wrk->GetEvntPos(evnt->GetEvntNo(), &holder) == 0 && (!holder || holder == evnt)) {
        wrk->ResetEvntPos(evnt);
        return;
    }
    if (holder) evnt->SetEvntNo(wrk->GetFreeEvntNo());
    blk->SetEvntPos(evnt);
}

bool SlotIndexOk(int idx) { return unsigned(idx) <= 9u; }

// The notes of one block meeting [from, to] by start, end or cover.
void NoteFlags(CArticWrkBlk* blk, INT64 from, INT64 to, int& flags) {
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (!e) continue;
        if (e->GetTime() > to) break;
        if (!IsNoteNibble(e)) continue;
        const INT64 s = e->GetTime();
        const INT64 end = EndOf(e);
        if (s >= from) flags |= 1;
        if (from <= end && end <= to) flags |= 2;
        if (s < from && end > to) flags |= 4;
    }
}

}  // namespace

// ---- Event creation

int CArticWrkUtil::CreateWrkEvnt(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvnt** out) {
    if (!wrk || !blk || !out) return 1;
    auto* e = new (std::nothrow) CArticWrkEvnt(blk, wrk->GetFreeEvntNo());
    if (!e) return 1;
    *out = e;
    return 0;
}

int CArticWrkUtil::CreateWrkEvnt(CArticWrkBlk* blk, CArticWrkEvnt** out) {
    CArticWrk* wrk = WrkOfBlk(blk);
    if (!wrk) return 1;
    return CreateWrkEvnt(wrk, blk, out);
}

int CArticWrkUtil::CreateWrkEvnt(CArticWrkEvntList* list, BYTE status, BYTE number, INT64 time) {
    if (!list) return 1;
    LONG v = status == 0xB0 ? CArticUtil::GetDefaultContVal(number) : 0;
    POSITION before = nullptr;
    for (POSITION p = list->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e || e->GetStatus() != status) continue;
        if (status == 0xB0 && e->GetPost1() != number) continue;
        if (e->GetTime() == time) return 0;
        if (e->GetTime() > time) {
            before = at;
            break;
        }
        v = ValueOf(e, v);
    }
    auto* e = new (std::nothrow) CArticWrkEvnt();
    if (!e) return 1;
    _WRK_EVNT r;
    e->Get(r);
    r.Status = status;
    r.Time = time;
    if (status == 0xB0) {
        r.Post1 = number;
        r.Post2 = BYTE(v);
    } else if (status == 0xE0) {
        SetPitchBend(r, short(v));
    }
    e->Set(r);
    if (before)
        list->InsertBefore(before, e);
    else
        list->AddTail(e);
    return 0;
}

int CArticWrkUtil::CreNoteTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE key, BYTE velo, INT64 gate,
                               POSITION near) {
    if (time == kWrkNoTime) return 0;
    if (!wrk || !blk) return ReportErr(kPhase1, kCreNoteReason, "CArticWrkUtil::CreNoteTime", "");
    if (gate <= 0) return 0;
    CArticWrkEvnt* e = nullptr;
    int rc = CreateWrkEvnt(wrk, blk, &e);
    if (rc != 0) return rc;
    FillNote(e, time, key, velo, gate);
    blk->Sort(e, 1, near);
    e->SetCreate(1);
    return 0;
}

int CArticWrkUtil::EditNoteTime(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvnt* evnt, INT64 time, BYTE key,
                                BYTE velo, INT64 gate) {
    if (!wrk || !blk || !evnt) return ReportErr(kPhase1, kEditNoteReason, "CArticWrkUtil::EditNoteTime", "");
    if (time == kWrkNoTime || gate <= 0) return 0;
    if (CArticWrkBlk* owner = evnt->GetOwner()) {
        POSITION pos = evnt->GetPosEvnt();
        if (pos && owner->Get(pos) == evnt)
            owner->Remove(pos);
        else
            owner->Remove(evnt, nullptr);
    }
    evnt->SetOwner(blk);
    FillNote(evnt, time, key, velo, gate);
    blk->Sort(evnt, 0);
    RenewEntry(wrk, blk, evnt);
    return 0;
}

int CArticWrkUtil::CreTrillNote(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, BYTE key, BYTE velo,
                                INT64 len, signed char shift) {
    if (end <= start) return 1;
    // A length of 0 would divide by zero; a negative one would fill nothing sensible.
    if (len <= 0) return 1;
    const INT64 span = end - start;
    const INT64 n = span / len;
    const INT64 rest = span % len;
    for (INT64 i = 0; i < n; ++i) {
        CArticWrkEvnt* e = nullptr;
        int rc = CreateWrkEvnt(wrk, blk, &e);
        if (rc != 0) return rc;
        if (!e) return 0;
        int k = key;
        if (shift > 0 && i % 2 == 1)
            k = key + shift;
        else if (shift <= 0 && i % 2 == 0)
            k = key - shift;
        FillNote(e, start + i * len, BYTE(Clamp(k, 0, 127)), velo, i == n - 1 ? len + rest : len);
        blk->Sort(e, 1);
        e->SetCreate(1);
    }
    return 0;
}

int CArticWrkUtil::CreOrigWrkEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 from,
                                      INT64 to, BYTE status, BYTE number) {
    if (!list || status != 0xB0) return 1;
    if (!blk || !blk->GetEvntList()) return 1;
    BYTE before = CArticUtil::GetDefaultContVal(number);
    BYTE last = before;
    bool atFrom = false, atTo = false;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (!e || e->GetStatus() != 0xB0 || e->GetPost1() != number) continue;
        const INT64 t = e->GetTime();
        if (t < from) {
            before = last = e->GetPost2();
        } else if (t <= to) {
            list->AddTail(e);
            last = e->GetPost2();
            atFrom = atFrom || t == from;
            atTo = atTo || t == to;
        }
    }
    auto boundary = [&](INT64 t, BYTE value, CArticWrkEvnt** out) {
        int rc = CreateWrkEvnt(wrk, blk, out);
        if (rc != 0) return rc;
        (*out)->SetStatus(0xB0);
        (*out)->SetPost1(number);
        (*out)->SetPost2(value);
        (*out)->SetTime(t, 1);
        blk->Sort(*out, 1);
        return 0;
    };
    CArticWrkEvnt* e = nullptr;
    if (!atFrom) {
        int rc = boundary(from, before, &e);
        if (rc != 0) return rc;
        list->AddHead(e);
    }
    if (!atTo) {
        int rc = boundary(to, last, &e);
        if (rc != 0) return rc;
        list->AddTail(e);
    }
    return 0;
}

// ---- Deletion and single-note edits

int CArticWrkUtil::DelEvnt(CArticWrkEvnt* evnt) {
    POSITION pos = evnt ? evnt->GetPosEvnt() : nullptr;
    CArticWrkBlk* blk = evnt ? evnt->GetOwner() : nullptr;
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    // The position must be this event's place in its own block's list.
    if (!evnt || !pos || !blk || !wrk || blk->Get(pos) != evnt)
        return ReportErr(kPhase2, "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄを削除する際にｴﾗｰが発生した。", "CArticWrkUtil::DelEvnt", "");
    blk->Remove(pos);
    delete evnt;
    return 0;
}

int CArticWrkUtil::LimitDuration(CArticWrkEvnt* evnt, INT64 limit) {
    if (!evnt) return ReportErr(kPhase1, kLimitReason, "CArticWrkUtil::LimitDuration", "");
    if (evnt->GetGateTime() < limit) evnt->SetGateTime(limit);
    return 0;
}

namespace {

// The velocities of the notes from time up to the block's next note setting.
template <class F>
int ForNotesUntilNextSetting(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, F f) {
    if (!wrk || !blk || !blk->GetEvntList()) return 1;
    _WRK_EVNT rec;
    rec.Status = 0x90;
    LONG velo = 0, at = 0;
    const INT64 end = blk->GetNextCondPos(rec, time, &velo, &at) == 0 ? INT64(at) : kWrkNoTime;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (IsNote(e) && e->GetTime() >= time && e->GetTime() < end) f(e);
    }
    return 0;
}

}  // namespace

int CArticWrkUtil::NoteVeloTimeAbs(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE velo) {
    int rc = ForNotesUntilNextSetting(wrk, blk, time, [&](CArticWrkEvnt* e) { e->SetPost2(velo); });
    if (rc != 0) return rc;
    CArticWrkEvnt setting;
    setting.SetStatus(0x90);
    setting.SetTime(time, 0);
    setting.SetPost2(velo);
    return blk->SetCondPos(&setting);
}

int CArticWrkUtil::NoteVeloTimeRel(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, signed char add) {
    return ForNotesUntilNextSetting(wrk, blk, time, [&](CArticWrkEvnt* e) {
        // A note-on keeps a velocity of at least 1: 0 would make it a note-off.
        e->SetPost2(BYTE(Clamp(int(e->GetPost2()) + add, 1, 127)));
    });
}

int CArticWrkUtil::SwapGateTime(CArticWrkEvnt* evnt, int idx) {
    if (!evnt || !SlotIndexOk(idx)) return 1;
    const LONG slot = evnt->GetNoteInfo(idx);
    evnt->SetNoteInfo(idx, LONG(uint32_t(evnt->GetGateTime())));
    evnt->SetGateTime(slot < 0 ? 0 : slot);
    return 0;
}

int CArticWrkUtil::SwapNote(CArticWrkEvnt* evnt, int idx) {
    if (!evnt || !SlotIndexOk(idx)) return 1;
    const LONG slot = evnt->GetNoteInfo(idx);
    evnt->SetNoteInfo(idx, evnt->GetPost1());
    evnt->SetPost1(BYTE(Clamp<LONG>(slot, 0, 127)));
    return 0;
}

int CArticWrkUtil::SwapOnTime(CArticWrkEvnt* evnt, int idx) {
    if (!evnt || !SlotIndexOk(idx)) return 1;
    const LONG slot = evnt->GetNoteInfo(idx);
    evnt->SetNoteInfo(idx, LONG(uint32_t(evnt->GetTime())));
    evnt->SetTime(slot < 0 ? 0 : slot, 1);
    return 0;
}

int CArticWrkUtil::SwapVelo(CArticWrkEvnt* evnt, int idx) {
    if (!evnt || !SlotIndexOk(idx)) return 1;
    const LONG slot = evnt->GetNoteInfo(idx);
    evnt->SetNoteInfo(idx, evnt->GetPost2());
    evnt->SetPost2(BYTE(Clamp<LONG>(slot, 0, 127)));
    return 0;
}

void CArticWrkUtil::ExpsEvntList(CArticWrkEvntList* list, INT64 from, INT64 to) {
    if (!list || list->IsEmpty() || !list->GetTail()) return;
    const INT64 last = list->GetTail()->GetTime();
    if (last < 0) return;
    // A list ending at 0 has nothing to stretch: every time becomes 0
    // (the ratio would be infinite or undefined).
    const double ratio = last == 0 ? 0.0 : double(to - from) / double(last);
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        INT64 t = last == 0 ? 0 : DoubleToInt64(double(e->GetTime()) * ratio + 0.5);
        e->SetTime(t < 0 ? 0 : t, 1);
    }
}

// ---- Checks

int CArticWrkUtil::CheckAllNoteEvnt(CArticWrk* wrk, CArticWrkEvntList* list) {
    if (!wrk || !list) return 1;
    bool any = false;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        if (!wrk->IsEvntPos(e) || !IsNote(e)) return 1;
        any = true;
    }
    return any ? 0 : 1;
}

namespace {

// The head must be a registered note; every later entry must pass `fits`.
template <class F>
int CheckAgainstHead(CArticWrk* wrk, CArticWrkEvntList* list, F fits) {
    if (!wrk || !list || list->IsEmpty()) return 1;
    POSITION p = list->GetHeadPosition();
    CArticWrkEvnt* head = list->GetNext(p);
    if (!head || !wrk->IsEvntPos(head) || !IsNote(head)) return 1;
    while (p) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        if (!wrk->IsEvntPos(e) || !fits(head, e)) return 1;
    }
    return 0;
}

}  // namespace

int CArticWrkUtil::CheckSameBlk(CArticWrk* wrk, CArticWrkEvntList* list) {
    return CheckAgainstHead(wrk, list,
                            [](CArticWrkEvnt* head, CArticWrkEvnt* e) { return e->GetOwner() == head->GetOwner(); });
}

int CArticWrkUtil::CheckSameNoteNo(CArticWrk* wrk, CArticWrkEvntList* list) {
    return CheckAgainstHead(wrk, list, [](CArticWrkEvnt* head, CArticWrkEvnt* e) {
        return IsNote(e) && e->GetPost1() == head->GetPost1();
    });
}

int CArticWrkUtil::CheckSameWrkBlk(CArticWrkEvntList* list, int notesOnly) {
    if (!list || list->GetCount() <= 0) return 1;
    CArticWrkBlk* prev = nullptr;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e || !e->GetOwner()) return 1;
        if (prev && e->GetOwner() != prev) return 1;
        if (notesOnly && !IsNoteNibble(e)) return 1;
        prev = e->GetOwner();
    }
    return 0;
}

int CArticWrkUtil::CheckNoteEvnt(CArticWrkBlk* blk, INT64 from, INT64 to, int clear, int& flags) {
    if (clear) flags = 0;
    if (!blk || !blk->GetEvntList()) return 1;
    NoteFlags(blk, from, to, flags);
    return 0;
}

int CArticWrkUtil::CheckNoteWrkEvnt(CArticWrk* wrk, INT64 from, INT64 to, int& flags) {
    flags = 0;
    if (!wrk || !wrk->GetTrkList()) return 1;
    int rc = 1;
    for (POSITION tp = wrk->GetHeadPos(); tp;) {
        CArticWrkTrk* trk = wrk->GetNext(tp);
        if (!trk || !trk->GetSelTrk()) continue;
        for (POSITION bp = trk->GetHeadPos(); bp;) {
            CArticWrkBlk* blk = trk->GetNext(bp);
            if (blk) rc = CheckNoteEvnt(blk, from, to, 0, flags);
        }
    }
    return rc;
}

int CArticWrkUtil::CheckSameTimeEvnt(CArticWrkEvntList* list, INT64 time, BYTE status, BYTE number, LONG* value,
                                     CArticWrkEvnt** found) {
    if (!list) return 0;
    LONG v = status == 0xB0 ? CArticUtil::GetDefaultContVal(number) : 0;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e || e->GetStatus() != status || e->GetPost1() != number) continue;
        if (e->GetTime() == time) {
            if (found) *found = e;
            if (value) *value = v;
            return 1;
        }
        if (e->GetTime() > time) break;
        v = ValueOf(e, v);
    }
    if (value) *value = v;
    return 0;
}

int CArticWrkUtil::CheckSameTimeMetaEvnt(CArticWrkEvntList* list, INT64 time, BYTE status, BYTE metaType,
                                         CArticWrkEvnt** found) {
    if (!list) return 0;
    CArticWrkEvnt* last = nullptr;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e || e->GetStatus() != status || e->GetMetaType() != metaType) continue;
        if (e->GetTime() == time) {
            if (found) *found = e;
            return 1;
        }
        if (e->GetTime() > time) break;
        last = e;
    }
    if (found) *found = last;
    return 0;
}

int CArticWrkUtil::CompareEvnt(CArticWrkEvnt* a, CArticWrkEvnt* b) {
    if (!a || !b) return 1;
    _WRK_EVNT x, y;
    a->Get(x);
    b->Get(y);
    if (x.Time != y.Time) return 1;
    switch (x.Status) {
    case 0x10:
    case 0x20:
    case 0xB0:
    case 0xD0:
    case 0xE0:
        return x.Post1 == y.Post1 && x.Post2 == y.Post2 ? 0 : 1;
    case 0x30:
        return x.Post1 == y.Post1 && x.Post2 == y.Post2 && x.Post3 == y.Post3 ? 0 : 1;
    case 0x90:
        return x.Gate == y.Gate && x.Post1 == y.Post1 && x.Post2 == y.Post2 ? 0 : 1;
    case 0xA0:
    case 0xC0:
        return x.Post1 == y.Post1 ? 0 : 1;
    case 0xF0:
    case 0xFF:
        if (x.MetaType != y.MetaType || x.Len != y.Len || !x.Data || !y.Data) return 1;
        return std::memcmp(x.Data, y.Data, x.Len) == 0 ? 0 : 1;
    default:
        return 1;
    }
}

INT64 CArticWrkUtil::GetEndTime(CArticWrkBlk* blk, INT64 time, BYTE status, BYTE number) {
    if (!blk || status != 0xB0 || number != 11) return kWrkNoTime;
    _WRK_EVNT rec;
    rec.Status = 0xB0;
    rec.Post1 = 11;
    LONG value = 0, at = 0;
    if (blk->GetNextCondPos(rec, time, &value, &at) != 0) return kWrkNoTime;
    const INT64 end = INT64(at) - 1;
    return end < 0 ? 0 : end;
}
