#include "engine/expressions/ArticExpPitch.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "engine/work/ArticTicks.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkCrvUtil.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::AddTicks;
using articticks::OffTime;

VX_IMPLEMENT_CLASS(CArticExpPitch, CArticExpEvnt);
VX_IMPLEMENT_CLASS(CArticExpPitchCrv, CArticExpPitch);
VX_IMPLEMENT_CLASS(CArticExpPitchNote, CArticExpPitch);
VX_IMPLEMENT_CLASS(CArticExpPitchCrv2, CArticExpPitchNote);
VX_IMPLEMENT_CLASS(CArticExpPitchSlide, CArticExpPitchNote);
VX_IMPLEMENT_CLASS(CArticExpPitchSlide2, CArticExpPitchNote);
VX_IMPLEMENT_CLASS(CArticExpPitchGtr, CArticExpPitch);
VX_IMPLEMENT_CLASS(CArticExpPitchGtrBend, CArticExpPitchGtr);
VX_IMPLEMENT_CLASS(CArticExpPitchGtrSlide, CArticExpPitchGtr);

namespace {

const char kPitchAreaFailed[] = "指定時刻の範囲内でPbを指定する際にｴﾗｰが発生した。";
const char kPitchNearFailed[] = "近隣音符の範囲内でPbを指定する際にｴﾗｰが発生した。";
const char kGtrNotOneBlock[] = "指定された音符が同じﾌﾞﾛｯｸに属していない。";
const char kGtrKeepFirstFailed[] = "最初の音符を残すﾓｰﾄﾞの処理でｴﾗｰが発生しました。";
const char kGtrKeepLastFailed[] = "最後の音符を残すﾓｰﾄﾞの処理でｴﾗｰが発生しました。";

namespace pitchpb = ArticJoinPb;

INT64 PitchNotNegative(INT64 t) { return t < 0 ? 0 : t; }

CArticWrkEvntList* PitchEventsOf(CArticWrkBlk* blk) { return blk ? blk->GetEvntList() : nullptr; }

// Where a curve from the note at T runs: from that note's start S (not
// before 0) to e, which is S when the curve follows its note and T + timeW
// otherwise, then moved by the near-note search of `mode`; found says
// whether that search found a note.
void CurveSpan(CArticWrkBlk* blk, INT64 T, bool onNote, ULONG timeW, BYTE mode, INT64* S, INT64* e, int* found) {
    *S = T;
    CArticWrkUtil::GetNearNoteTime(blk, 0, S);
    *S = PitchNotNegative(*S);
    *e = onNote ? *S : AddTicks(T, INT64(timeW));
    *found = 0;
    CArticWrkUtil::GetNearNoteTime2(blk, mode, e, found);
}

}  // namespace

// ================================================================ Base

CArticExpPitch::CArticExpPitch(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                               const CArticMeas* endMeas)
    : CArticExpEvnt(owner, evntNo), m_Type(type) {
    if (meas) m_Meas = *meas;
    if (endMeas) m_EndMeas = *endMeas;
    SetEvntType(1);
}

CArticExpPitch::CArticExpPitch(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, ULONG timeW)
    : CArticExpEvnt(owner, evntNo), m_Type(type), m_TimeW(timeW) {
    if (meas) m_Meas = *meas;
    SetEvntType(2);
}

CArticExpPitch::CArticExpPitch(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type)
    : CArticExpEvnt(owner, evntNo), m_Type(type), m_Notes(notes) {
    SetEvntType(3);
}

CArticExpPitch& CArticExpPitch::operator=(const CArticExpPitch& src) {
    CArticExpEvnt::operator=(src);
    m_Type = src.m_Type;
    m_Meas = src.m_Meas;
    m_EndMeas = src.m_EndMeas;
    m_TimeW = src.m_TimeW;
    m_Notes = src.m_Notes;
    return *this;
}

// ================================================================ Area curve

CArticExpPitchCrv::CArticExpPitchCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                                     const CArticMeas* endMeas, short startAdd, short endAdd, signed char curve,
                                     WORD devide)
    : CArticExpPitch(owner, evntNo, type, meas, endMeas),
      m_StartAdd(startAdd), m_EndAdd(endAdd), m_Curve(curve), m_Devide(devide) {}

CArticExpPitchCrv::CArticExpPitchCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                                     ULONG timeW, short startAdd, short endAdd, signed char curve, WORD devide)
    : CArticExpPitch(owner, evntNo, type, meas, timeW),
      m_StartAdd(startAdd), m_EndAdd(endAdd), m_Curve(curve), m_Devide(devide) {}

CArticExpPitchCrv& CArticExpPitchCrv::operator=(const CArticExpPitchCrv& src) {
    CArticExpPitch::operator=(src);
    m_StartAdd = src.m_StartAdd;
    m_EndAdd = src.m_EndAdd;
    m_Curve = src.m_Curve;
    m_Devide = src.m_Devide;
    return *this;
}

int CArticExpPitchCrv::ConvToWrk() {
    const BYTE type = GetType();
    const BYTE mode = (type & 8) ? 0 : 1;
    const BYTE areaEnd = (type & 4) ? 0 : 1;
    const BYTE unit = (type >> 4) & 1;
    const int kind = !(type & 1) ? 0 : ((type & 2) ? 3 : 1);
    static const char* const kMethods[] = {"ConvToWrk => CreWrkPitchType0", "ConvToWrk => CreWrkPitchType1", "",
                                           "ConvToWrk => CreWrkPitchType3"};
    // A curve without a step is refused before anything is cleared.
    int rc = 1;
    if (m_Devide != 0)
        rc = kind == 0 ? CreWrkPitchType0(mode, areaEnd, unit)
                       : (kind == 1 ? CreWrkPitchType1(mode, areaEnd, unit) : CreWrkPitchType3(mode, areaEnd, unit));
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase1Title, kind == 0 ? kPitchAreaFailed : kPitchNearFailed, kMethods[kind], "");
    return rc;
}

int CArticExpPitchCrv::Curve(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE unit, INT64 from, INT64 to,
                             INT64 areaTo) {
    return CArticWrkUtil::CrePitchCrv(wrk, blk, mode, 1, 0, unit, from, to, areaTo, 0xE0, m_StartAdd, m_EndAdd,
                                      m_Curve, m_Devide);
}

int CArticExpPitchCrv::Area(CArticWrkBlk** blk, CArticWrk** wrk, INT64* T, INT64* E) {
    *blk = GetMidWrkBlk(0);
    *wrk = *blk ? (*blk)->GetWrk() : nullptr;
    if (!*wrk || !PitchEventsOf(*blk)) return 1;
    if (GetEvntType() != 1 && GetEvntType() != 2) return -1;
    CArticMeas meas = GetMeas();
    if (int rc = CArticWrkUtil::GetTime(*wrk, 0, &meas, T)) return rc;
    if (GetEvntType() == 2) {
        *E = AddTicks(*T, INT64(GetTimeW()));
        return 0;
    }
    CArticMeas endMeas = GetEndMeas();
    return CArticWrkUtil::GetTime(*wrk, 0, &endMeas, E);
}

int CArticExpPitchCrv::CreWrkPitchType0(BYTE mode, BYTE areaEnd, BYTE unit) {
    CArticWrkBlk* blk = nullptr;
    CArticWrk* wrk = nullptr;
    INT64 T = 0, E = 0;
    if (int rc = Area(&blk, &wrk, &T, &E)) return rc < 0 ? 0 : rc;
    if (areaEnd == 0)
        return CArticExpPitchNote::LayToFixedEnd(wrk, blk, E, true, [&] { return Curve(wrk, blk, mode, unit, T, E, E); });
    return CArticExpPitchNote::LayToNextNote(wrk, blk, E, true,
                                             [&](INT64 A) { return Curve(wrk, blk, mode, unit, T, E, A); });
}

int CArticExpPitchCrv::CreWrkPitchType1(BYTE mode, BYTE, BYTE unit) {
    CArticWrkBlk* blk = nullptr;
    CArticWrk* wrk = nullptr;
    INT64 T = 0, E = 0;
    if (int rc = Area(&blk, &wrk, &T, &E)) return rc < 0 ? 0 : rc;
    INT64 S = 0, e = 0;
    int found = 0;
    CurveSpan(blk, T, GetEvntType() == 1, GetTimeW(), GetEvntType() == 1 ? 11 : 1, &S, &e, &found);
    const INT64 A = PitchNotNegative(e);
    const LONG L = pitchpb::Level(blk, A);
    if (int rc = Curve(wrk, blk, mode, unit, S, A, A)) return rc;
    return CArticExpPitchNote::RestoreAtNext(wrk, blk, A, e, found, L);
}

int CArticExpPitchCrv::CreWrkPitchType3(BYTE mode, BYTE areaEnd, BYTE unit) {
    CArticWrkBlk* blk = nullptr;
    CArticWrk* wrk = nullptr;
    INT64 T = 0, E = 0;
    if (int rc = Area(&blk, &wrk, &T, &E)) return rc < 0 ? 0 : rc;
    INT64 S = 0, e = 0;
    int endFound = 0;
    CurveSpan(blk, T, GetEvntType() == 1, GetTimeW(), GetEvntType() == 1 ? 14 : 2, &S, &e, &endFound);
    int curve = 0, pin = 0;
    if (areaEnd == 0) {
        const LONG L = pitchpb::Level(blk, e);
        curve = Curve(wrk, blk, mode, unit, S, e, e);
        pin = CArticWrkUtil::DelPbTime(PitchEventsOf(blk), e);
        if (pin == 0 && endFound) pin = CArticWrkUtil::CrePbTime(wrk, blk, e, 0, short(L));
    } else {
        INT64 n = PitchNotNegative(e);
        int found = 0;
        CArticWrkUtil::GetNearNoteTime2(blk, 1, &n, &found);
        const INT64 A = PitchNotNegative(n);
        const LONG L = pitchpb::Level(blk, n);
        curve = Curve(wrk, blk, mode, unit, S, e, A);
        pin = CArticExpPitchNote::RestoreAtNext(wrk, blk, A, n, found, L);
    }
    // The level is pinned even after a failing curve; the failure is reported.
    return curve != 0 ? curve : pin;
}

// ================================================================ Per-note curves and slides

CArticExpPitchNote::CArticExpPitchNote(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                       BYTE type, LONG start, LONG end, short startAdd, short endAdd,
                                       signed char curve, WORD devide)
    : CArticExpPitch(owner, evntNo, notes, type),
      m_Start(start), m_End(end), m_StartAdd(startAdd), m_EndAdd(endAdd), m_Curve(curve), m_Devide(devide) {}

CArticExpPitchNote& CArticExpPitchNote::operator=(const CArticExpPitchNote& src) {
    CArticExpPitch::operator=(src);
    m_Start = src.m_Start;
    m_End = src.m_End;
    m_StartAdd = src.m_StartAdd;
    m_EndAdd = src.m_EndAdd;
    m_Curve = src.m_Curve;
    m_Devide = src.m_Devide;
    return *this;
}

int CArticExpPitchNote::ConvToWrk() {
    // A curve without a step is refused before any area is cleared.
    const int rc = m_Devide == 0 ? 1 : CreWrkPitch();
    if (rc != 0 && GetErrKind() == 0) DispErrMsg(kPhase1Title, kPitchAreaFailed, "ConvToWrk => CreWrkPitch", "");
    return rc;
}

int CArticExpPitchNote::CreWrkPitch() {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    if (!notes) return 1;
    PrepareOffsets();
    int result = 1;
    for (POSITION p = notes->GetHeadPosition(); p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        CArticWrkBlk* blk = note ? note->GetOwner() : nullptr;
        if (!blk) continue;
        const INT64 t = note->GetTime();
        const INT64 low = INT64(LONG(uint32_t(t)));
        const INT64 start = PitchNotNegative(INT64(LONG(low + m_Start)));
        const INT64 end = INT64(LONG(low + m_End));
        if (end < 0 || end <= start) return 1;
        if (int rc = CreWrkPitch(blk, start, end, t)) return rc;
        result = 0;
    }
    return result;
}

CArticWrk* CArticExpPitchNote::WorkOf(CArticWrkBlk* blk) const {
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    return GetOwner() && wrk && blk->GetEvntList() ? wrk : nullptr;
}

int CArticExpPitchNote::RestoreAtNext(CArticWrk* wrk, CArticWrkBlk* blk, INT64 A, INT64 n, int found, LONG level) {
    if (int rc = CArticWrkUtil::DelPbTimeArea(PitchEventsOf(blk), A, n)) return rc;
    return found ? CArticWrkUtil::CrePbTime(wrk, blk, A, 0, short(level)) : 0;
}

int CArticExpPitchNote::LayToFixedEnd(CArticWrk* wrk, CArticWrkBlk* blk, INT64 end, bool restore,
                                      const std::function<int()>& lay) {
    const LONG L = pitchpb::Level(blk, end);
    if (int rc = lay()) return rc;
    return restore ? pitchpb::Pin(wrk, blk, end, L) : 0;
}

int CArticExpPitchNote::LayToNextNote(CArticWrk* wrk, CArticWrkBlk* blk, INT64 end, bool restore,
                                      const std::function<int(INT64 A)>& lay) {
    INT64 n = end;
    int found = 0;
    CArticWrkUtil::GetNearNoteTime2(blk, 1, &n, &found);
    const INT64 A = PitchNotNegative(n);
    const LONG L = pitchpb::Level(blk, n);
    if (int rc = lay(A)) return rc;
    return restore ? RestoreAtNext(wrk, blk, A, n, found, L) : 0;
}

CArticExpPitchCrv2& CArticExpPitchCrv2::operator=(const CArticExpPitchCrv2& src) {
    CArticExpPitchNote::operator=(src);
    return *this;
}

int CArticExpPitchCrv2::CreWrkPitch(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 t) {
    CArticWrk* wrk = WorkOf(blk);
    if (!wrk) return 1;
    const BYTE unit = Unit();
    const bool noteStart = NoteStart();
    const BYTE restore = (GetType() & 16) ? 0 : 1;
    const INT64 T0 = PitchNotNegative(t);
    auto curve = [&](INT64 from, INT64 to, INT64 areaTo) {
        return noteStart ? CArticWrkUtil::CrePitchCrvI(wrk, blk, Mode(), restore, 1, unit, T0, from, to, areaTo,
                                                       0xE0, GetStartAdd(), GetEndAdd(), GetCurve(), GetDevide())
                         : CArticWrkUtil::CrePitchCrv(wrk, blk, Mode(), restore, 1, unit, from, to, areaTo, 0xE0,
                                                      GetStartAdd(), GetEndAdd(), GetCurve(), GetDevide());
    };
    if (AreaEnd() == 0) {
        INT64 c = GetEndAdd() != 0 ? end - GetDevide() : end;
        if (end <= INT64(GetDevide())) c = 0;
        if (c <= start) return 1;
        return LayToFixedEnd(wrk, blk, end, restore, [&] { return curve(start, c, end); });
    }
    return LayToNextNote(wrk, blk, end, restore, [&](INT64 A) { return curve(start, end, A); });
}

CArticExpPitchSlide& CArticExpPitchSlide::operator=(const CArticExpPitchSlide& src) {
    CArticExpPitchNote::operator=(src);
    return *this;
}

int CArticExpPitchSlide::CreWrkPitch(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 t) {
    CArticWrk* wrk = WorkOf(blk);
    if (!wrk) return 1;
    const BYTE unit = Unit();
    const bool noteStart = NoteStart();
    const INT64 T0 = PitchNotNegative(t);
    auto slide = [&](BYTE keepEnd, INT64 areaTo) {
        return noteStart ? CArticWrkUtil::CrePitchSlideI(wrk, blk, Mode(), keepEnd, unit, T0, start, end, areaTo,
                                                         0xE0, GetStartAdd(), GetEndAdd(), GetCurve(), GetDevide())
                         : CArticWrkUtil::CrePitchSlide(wrk, blk, Mode(), keepEnd, unit, start, end, areaTo, 0xE0,
                                                        GetStartAdd(), GetEndAdd(), GetCurve(), GetDevide());
    };
    // A slide always restores.
    if (AreaEnd() == 0) return LayToFixedEnd(wrk, blk, end, true, [&] { return slide(1, end); });
    return LayToNextNote(wrk, blk, end, true, [&](INT64 A) { return slide(0, A); });
}

CArticExpPitchSlide2& CArticExpPitchSlide2::operator=(const CArticExpPitchSlide2& src) {
    CArticExpPitchNote::operator=(src);
    return *this;
}

short CArticExpPitchSlide2::RoundCents(short v) {
    const int hundreds = v / 100 * 100;
    const int rest = v % 100;
    if (v > 0) return short(rest >= 50 ? hundreds + 100 : hundreds);
    if (v < 0) return short(rest <= -50 ? hundreds - 100 : hundreds);
    return 0;
}

void CArticExpPitchSlide2::PrepareOffsets() {
    m_StartCents = RoundCents(GetStartAdd());
    m_EndCents = RoundCents(GetEndAdd());
}

int CArticExpPitchSlide2::CreWrkPitch(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 t) {
    CArticWrk* wrk = WorkOf(blk);
    if (!wrk) return 1;
    const INT64 T0 = start <= t ? start : PitchNotNegative(t);
    auto slide = [&](BYTE keepEnd, INT64 areaTo) {
        return CArticWrkCrvUtil::CrePitchSlide(wrk, blk, Mode(), keepEnd, T0, start, end, areaTo, m_StartCents,
                                               m_EndCents, GetCurve(), GetDevide());
    };
    if (AreaEnd() == 0) return LayToFixedEnd(wrk, blk, end, true, [&] { return slide(1, end); });
    return LayToNextNote(wrk, blk, end, true, [&](INT64 A) { return slide(0, A); });
}

// ================================================================ Guitar bend and slide

CArticExpPitchGtr::CArticExpPitchGtr(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                     LONG startTime, LONG endTime, signed char upCurve, signed char downCurve,
                                     WORD devide)
    : CArticExpPitch(owner, evntNo, notes, type),
      m_StartTime(startTime), m_EndTime(endTime), m_UpCurve(upCurve), m_DownCurve(downCurve), m_Devide(devide) {}

CArticExpPitchGtr& CArticExpPitchGtr::operator=(const CArticExpPitchGtr& src) {
    CArticExpPitch::operator=(src);
    m_StartTime = src.m_StartTime;
    m_EndTime = src.m_EndTime;
    m_UpCurve = src.m_UpCurve;
    m_DownCurve = src.m_DownCurve;
    m_Devide = src.m_Devide;
    m_Join = src.m_Join;
    return *this;
}

CArticWrkBlk* CArticExpPitchGtr::GetFirstNoteWrkBlk() const {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    if (!notes || notes->GetCount() < 2) return nullptr;
    return FirstHeldNoteBlk(GetMidWrk(), notes);
}

namespace {

int GtrSameBlock(const CArticWrkEvntList* notes, bool fromTail) {
    if (!notes || notes->GetCount() < 2) return 0;
    CArticWrkEvnt* first = fromTail ? notes->GetTail() : notes->GetHead();
    CArticWrkBlk* blk = first ? first->GetOwner() : nullptr;
    if (!blk) return 0;
    for (POSITION p = notes->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = notes->GetNext(p);
        if (!e || e->GetOwner() != blk) return 0;
    }
    return 1;
}

}  // namespace

int CArticExpPitchGtr::IsSameWrkBlkType0() const { return GtrSameBlock(GetWrkEvntList(), false); }
int CArticExpPitchGtr::IsSameWrkBlkType1() const { return GtrSameBlock(GetWrkEvntList(), true); }

int CArticExpPitchGtr::ConvToWrkCombine() {
    const bool last = (GetType() & 1) != 0;
    if (!(last ? IsSameWrkBlkType1() : IsSameWrkBlkType0())) {
        if (GetErrKind() == 0)
            DispErrMsg(kPhase12Title, kGtrNotOneBlock,
                       last ? "ConvToWrkCombine => IsSameWrkBlkType1" : "ConvToWrkCombine => IsSameWrkBlkType0", "");
        return 1;
    }
    // A curve without a step is refused before the first note is touched.
    const int rc = m_Devide == 0 ? 1 : Walk(last);
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase12Title, last ? kGtrKeepLastFailed : kGtrKeepFirstFailed,
                   last ? "ConvToWrkCombine => CreWrkPitchType1" : "ConvToWrkCombine => CreWrkPitchType0", "");
    return rc;
}

int CArticExpPitchGtr::Walk(bool keepLast) {
    CArticWrkBlk* blk = GetOwner() ? GetFirstNoteWrkBlk() : nullptr;
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    if (!wrk) return 1;
    return m_Join.WalkPairs(wrk, GetWrkEvntList(), keepLast, (GetType() & 2) != 0,
                            [&] { return keepLast ? Twin1(wrk, blk) : Twin0(wrk, blk); });
}

int CArticExpPitchGtr::Twin0(CArticWrk* wrk, CArticWrkBlk* blk) {
    CArticExpJoin& j = m_Join;
    if (int rc = j.SetRefEvntList(wrk)) return rc;
    CArticWrkEvnt* a = j.EvntList2()->GetHead();
    CArticWrkEvnt* b = j.EvntList2()->GetTail();
    j.CurKey = a->GetPost1();
    j.PbShift = 0;
    INT64 next = OffTime(b);
    CArticWrkUtil::GetNearNoteTime2(blk, 3, &next, nullptr, blk->LinkedPos(b));
    j.NextTime = next > 0 ? next : 0;
    j.PbRange = CArticWrkUtil::GetPbRange(blk, b->GetTime());
    j.NextPbLevel = pitchpb::Level(blk, j.NextTime, blk->LinkedPos(b));
    if (int rc = j.GrowFirst()) return rc;
    // Bends of b's span move by the keys the root already spans.
    CArticWrkEvnt* ra = j.RefEvntList()->GetHead();
    BYTE head = 0, tail = 0;
    if (int rc = CArticExpJoin::GetKeyHead(wrk, ra, &head)) return rc;
    if (int rc = CArticExpJoin::GetKeyTail(wrk, ra, &tail)) return rc;
    const INT64 T = PitchNotNegative(b->GetTime());
    j.PbShift = pitchpb::Semitone(blk, T) * (int(tail) - int(head));
    if (int rc = pitchpb::Shift(blk, T, j.NextTime, j.PbShift, blk->LinkedPos(b))) return rc;
    if (int rc = j.SetPrsEvntList(wrk)) return rc;
    CArticWrkEvntList* prs = j.PrsEvntList();
    for (POSITION p = prs->GetHeadPosition(); p;) {
        CArticWrkEvnt* x = prs->GetNext(p);
        if (!p) break;
        CArticWrkEvnt* y = prs->GetAt(p);
        const signed char curve = y->GetPost1() < x->GetPost1() ? m_DownCurve : m_UpCurve;
        POSITION after = p;
        prs->GetNext(after);
        if (int rc = CreWrkPitchBend0(wrk, blk, x, y, after ? 0 : 1, curve)) return rc;
    }
    INT64 e = OffTime(b);
    int found = 0;
    CArticWrkUtil::GetNearNoteTime2(blk, 3, &e, &found, blk->LinkedPos(b));
    if (found) {
        const POSITION near = blk->LinkedPos(b);
        if (int rc = CArticWrkUtil::DelPbTimeArea(PitchEventsOf(blk), PitchNotNegative(e), e, near)) return rc;
        if (int rc = CArticWrkUtil::CrePbTime(wrk, blk, PitchNotNegative(e), 0, short(j.NextPbLevel), near))
            return rc;
    }
    return j.ResetRefEvntList0(wrk, a, b);
}

int CArticExpPitchGtr::CreWrkPitchBend0(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvnt* p, CArticWrkEvnt* q,
                                        int last, signed char curve) {
    CArticExpJoin& j = m_Join;
    BYTE tail = 0, head = 0;
    if (int rc = CArticExpJoin::GetKeyTail(wrk, p, &tail)) return rc;
    if (int rc = CArticExpJoin::GetKeyHead(wrk, q, &head)) return rc;
    const INT64 t = q->GetTime();
    const INT64 s = PitchNotNegative(AddTicks(t, m_StartTime));
    const INT64 e = PitchNotNegative(AddTicks(t, m_EndTime));
    const LONG base = last ? 0 : pitchpb::Level(blk, s, blk->LinkedPos(q));
    const LONG semitone = LONG(8192.0 / (j.PbRange > 0 ? j.PbRange : 2) + 0.5);
    const LONG target = base + semitone * (int(head) - int(tail));
    if (int rc = pitchpb::Shift(blk, AddTicks(e, 1), j.NextTime, target, blk->LinkedPos(q))) return rc;
    if (int rc = Gesture(wrk, blk, s, e, base, target, std::abs(int(head) - int(tail)), curve)) return rc;
    j.CurKey = q->GetPost1();
    return 0;
}

int CArticExpPitchGtr::Twin1(CArticWrk* wrk, CArticWrkBlk* blk) {
    CArticExpJoin& j = m_Join;
    if (int rc = j.SetRefEvntList(wrk)) return rc;
    CArticWrkEvnt* f = j.EvntList2()->GetHead();
    CArticWrkEvnt* g = j.EvntList2()->GetTail();
    for (CArticWrkEvnt* x : {f, g}) {
        const LONG level = pitchpb::Level(blk, x->GetTime(), blk->LinkedPos(x));
        if (int rc = pitchpb::Pin(wrk, blk, x->GetTime(), level, blk->LinkedPos(x))) return rc;
    }
    CArticWrkEvnt* rg = j.RefEvntList()->GetTail();
    BYTE head = 0, tail = 0;
    if (int rc = CArticExpJoin::GetKeyHead(wrk, rg, &head)) return rc;
    if (int rc = CArticExpJoin::GetKeyTail(wrk, rg, &tail)) return rc;
    const INT64 T0 = PitchNotNegative(f->GetTime());
    const INT64 T1 = PitchNotNegative(g->GetTime());
    j.PbShift = pitchpb::Semitone(blk, T0) * (int(head) - int(tail));
    if (int rc = pitchpb::Pin(wrk, blk, T0, pitchpb::Level(blk, T0, blk->LinkedPos(f)), blk->LinkedPos(f)))
        return rc;
    if (int rc = pitchpb::Shift(blk, T0, T1 - 1, j.PbShift, blk->LinkedPos(f))) return rc;
    if (int rc = j.SetPrsEvntList(wrk)) return rc;
    CArticWrkEvntList* prs = j.PrsEvntList();
    if (prs->IsEmpty()) return 0;
    int first = 1;
    for (POSITION p = prs->GetTailPosition(); p;) {
        CArticWrkEvnt* y = prs->GetPrev(p);
        if (!p) break;
        CArticWrkEvnt* x = prs->GetAt(p);
        const signed char curve = y->GetPost1() < x->GetPost1() ? m_DownCurve : m_UpCurve;
        if (int rc = CreWrkPitchBend1(wrk, blk, y, x, first, curve)) return rc;
        first = 0;
    }
    if (int rc = j.GrowLast()) return rc;
    const INT64 at = PitchNotNegative(j.FirstTime);
    // The grown note moved in order: f still stands where the pair began.
    if (int rc = CArticWrkUtil::DelPbTimeArea(PitchEventsOf(blk), at, j.FirstTime, blk->LinkedPos(f))) return rc;
    if (int rc = CArticWrkUtil::CrePbTime(wrk, blk, at, 0, short(j.FirstPbLevel), blk->LinkedPos(f))) return rc;
    return j.ResetRefEvntList1(wrk, f, g);
}

int CArticExpPitchGtr::CreWrkPitchBend1(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvnt* y, CArticWrkEvnt* x,
                                        int first, signed char curve) {
    CArticExpJoin& j = m_Join;
    const INT64 tY = y->GetTime();
    const INT64 tX = x->GetTime();
    BYTE head = 0, tail = 0;
    if (int rc = CArticExpJoin::GetKeyHead(wrk, y, &head)) return rc;
    if (int rc = CArticExpJoin::GetKeyTail(wrk, x, &tail)) return rc;
    const LONG shift = CArticWrkUtil::GetPitchSft(blk, tX, (signed char)(int(tail) - int(head)));
    const INT64 s = PitchNotNegative(AddTicks(tY, m_StartTime));
    const INT64 e = PitchNotNegative(AddTicks(tY, m_EndTime));
    // The bend walks start at y, taken afresh at each step.
    auto near = [blk, y] { return blk->LinkedPos(y); };
    const LONG Ls = pitchpb::Level(blk, s, near());
    const LONG Le = pitchpb::Level(blk, e, near());
    if (int rc = pitchpb::Pin(wrk, blk, s, Ls, near())) return rc;
    if (int rc = pitchpb::Pin(wrk, blk, e, Le, near())) return rc;
    if (tY != s)
        if (int rc = CArticWrkUtil::DelPbTime(PitchEventsOf(blk), tY, near())) return rc;
    const INT64 s1 = s < 2 ? 0 : s - 1;
    const INT64 X0 = PitchNotNegative(tX);
    if (s1 >= X0)
        if (int rc = pitchpb::Shift(blk, X0, s1, shift, near())) return rc;
    if (!first)
        if (int rc = pitchpb::Shift(blk, s, tY < 1 ? 0 : tY - 1, j.PrevShift, near())) return rc;
    const LONG Lb = pitchpb::Level(blk, s1, near());
    if (int rc = Gesture(wrk, blk, s, e, Lb - Le, 0, std::abs(int(tail) - int(head)), curve)) return rc;
    if (first) j.LastKey = y->GetPost1();
    j.FirstTime = tX;
    j.FirstPbLevel = pitchpb::Level(blk, tX, blk->LinkedPos(x));
    j.PrevShift = shift;
    return 0;
}

int CArticExpPitchGtr::ConvToWrk2() {
    CArticWrkBlk* blk = GetFirstNoteWrkBlk();
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    const bool failed = GetError() != 0;
    const bool last = (GetType() & 1) != 0;
    if (!wrk) return failed ? 0 : 1;
    const int rc = m_Join.DelJoined(wrk, GetWrkEvntList(), last, failed);
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase2Title, last ? kGtrKeepLastFailed : kGtrKeepFirstFailed,
                   last ? "ConvToWrk2 => DelWrkNoteType1" : "ConvToWrk2 => DelWrkNoteType0", "");
    return rc;
}

CArticExpPitchGtrBend& CArticExpPitchGtrBend::operator=(const CArticExpPitchGtrBend& src) {
    CArticExpPitchGtr::operator=(src);
    return *this;
}

int CArticExpPitchGtrBend::Gesture(CArticWrk* wrk, CArticWrkBlk* blk, INT64 s, INT64 e, LONG from, LONG to, int,
                                   signed char curve) {
    return CArticWrkUtil::CrePitchCrv(wrk, blk, 1, 0, 2, 0, s, e, e, 0xE0, short(std::clamp<LONG>(from, -16384, 16383)),
                                      short(std::clamp<LONG>(to, -16384, 16383)), curve, GetDevide());
}

CArticExpPitchGtrSlide& CArticExpPitchGtrSlide::operator=(const CArticExpPitchGtrSlide& src) {
    CArticExpPitchGtr::operator=(src);
    return *this;
}

int CArticExpPitchGtrSlide::Gesture(CArticWrk* wrk, CArticWrkBlk* blk, INT64 s, INT64 e, LONG from, LONG to,
                                    int semitones, signed char curve) {
    return CArticWrkUtil::CrePitchGtrSlide(wrk, blk, s, e, short(std::clamp<LONG>(from, -16384, 16383)),
                                           short(std::clamp<LONG>(to, -16384, 16383)), short(semitones), curve,
                                           GetDevide());
}
