// Curve levels, pitch-bend values and conversions, and the merge of a
// relative bend curve into the existing bend, of CArticWrkUtil.
#include <new>
#include <vector>

#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilContImpl.h"

using namespace wrkcont;

namespace {

// A rising curve with a late rise; the curve parameter blends it with a line.
const BYTE kCurve[128] = {
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   //
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   //
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   //
    1,   1,   1,   1,   1,   1,   1,   2,   2,   2,   2,   2,   3,   3,   3,   3,   //
    4,   4,   4,   5,   5,   6,   6,   7,   7,   8,   8,   9,   9,   10,  11,  12,  //
    12,  13,  14,  15,  16,  17,  18,  19,  20,  21,  22,  24,  25,  27,  28,  30,  //
    31,  33,  35,  36,  38,  40,  42,  44,  47,  49,  51,  54,  56,  59,  62,  65,  //
    68,  71,  74,  77,  80,  84,  88,  91,  95,  99,  104, 108, 112, 117, 122, 127,
};

// base plus the curve's share of delta, before any clamp.
INT64 CurveLevel(INT64 pos, INT64 len, LONG delta, LONG base, signed char curve) {
    const int s = CArticWrkUtil::CalcCrvShape(pos, len, curve);
    const double share = double(s) / 127.0 * double(delta);
    const INT64 v = delta >= 0 ? DoubleToInt64(share + 0.5) : DoubleToInt64(share - 0.5);
    return INT64(base) + v;
}

}  // namespace

// ---- Curve levels

int CArticWrkUtil::CalcCrvShape(INT64 pos, INT64 len, signed char curve) {
    // Positions outside the span would read off the table: they are held at its ends.
    int p = 0;
    if (len != 0) p = int(Clamp<INT64>(DoubleToInt64(double(pos) / double(len) * 127.0 + 0.5), 0, 127));
    const int c = curve;
    int s;
    if (c >= 0) {
        s = (c * kCurve[p] + (16 - c) * p) >> 4;
    } else {
        const int product = int(uint16_t((127 - p) * (c + 16)));
        s = 127 - ((product - c * kCurve[127 - p]) >> 4);
    }
    return static_cast<signed char>(s);
}

signed char CArticWrkUtil::CalcCrvLevel(INT64 pos, INT64 len, LONG delta, LONG base, signed char curve) {
    return static_cast<signed char>(Clamp<INT64>(CurveLevel(pos, len, delta, base, curve), -128, 127));
}

short CArticWrkUtil::CalcPitchCrvLevel(INT64 pos, INT64 len, LONG delta, LONG base, signed char curve) {
    return short(Clamp<INT64>(CurveLevel(pos, len, delta, base, curve), -8192, 8191));
}

LONG CArticWrkUtil::CalcTempoCrvMag(INT64 pos, INT64 len, LONG delta, LONG base, signed char curve) {
    return ToLong(CurveLevel(pos, len, delta, base, curve));
}

short CArticWrkUtil::CalcMagLevel(BYTE type, short level, WORD mag, signed char add) {
    if (mag == 100 && add == 0) return level;
    const double m = mag / 100.0;
    if (type == 1) {
        const int x = level - 64;
        const INT64 r = RoundAway(m * x) + add;
        if (r > 63) return 127;
        if (r < -64) return 0;
        return short(r + 64);
    }
    const INT64 r = RoundUp(m * level) + add;
    return short(Clamp<INT64>(r, 0, 127));
}

// ---- Pitch bend

short CArticWrkUtil::GetPitchBend(const _WRK_EVNT& e) { return short((int(e.Post2) - 64) * 128 + (e.Post1 & 0x7F)); }

void CArticWrkUtil::SetPitchBend(_WRK_EVNT& e, short value) {
    const unsigned u = unsigned(value + 0x2000) & 0xFFFFu;
    e.Post1 = BYTE(u & 0x7F);
    e.Post2 = BYTE((u >> 7) & 0x7F);
}

LONG CArticWrkUtil::GetPbRange(CArticWrkBlk* blk, INT64 time) {
    if (!blk) return 2;
    _WRK_EVNT rec;
    rec.Status = 0x20;
    LONG range = 2;
    if (blk->GetCondPos(rec, time, &range, nullptr, nullptr) != 0) range = 2;
    return range;
}

namespace {

// Semitones in bend units at a range: upward steps use 8191, downward 8192.
INT64 SemitoneBend(LONG range, signed char semitones) {
    if (semitones == 0 || range == 0) return 0;
    if (semitones > 0) return DoubleToInt64(8191.0 / range * semitones + 0.5);
    return DoubleToInt64(8192.0 / range * semitones - 0.5);
}

}  // namespace

LONG CArticWrkUtil::CalcPbLevel(CArticWrkBlk* blk, INT64 time, signed char semitones, short base) {
    if (!blk) return 0;
    const LONG range = semitones != 0 ? GetPbRange(blk, time) : 2;
    return LONG(Clamp<INT64>(base + SemitoneBend(range, semitones), -8192, 8191));
}

LONG CArticWrkUtil::ConvToPBFromCent(CArticWrk* /*wrk*/, CArticWrkBlk* blk, INT64 time, LONG cents) {
    if (!blk) return 0;
    const double x = cents * 4096.0 / 100.0;
    const LONG range = GetPbRange(blk, time);
    if (range == 0) return 0;
    const double v = 2.0 / range * x;
    return ToLong(cents >= 0 ? DoubleToInt64(v + 0.5) : DoubleToInt64(v - 0.5));
}

int CArticWrkUtil::CrePbTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, signed char semitones, short base,
                             POSITION near) {
    const char reason[] = "新規に中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ（PB）を作成することができなかった。";
    if (!wrk || !blk) return ReportErr(kPhase1, reason, "CArticWrkUtil::CrePbTime", "");
    if (time == kWrkNoTime) return 0;
    CArticWrkEvnt* e = nullptr;
    int rc = CreateWrkEvnt(wrk, blk, &e);
    if (rc != 0) {
        ReportErr(kPhase1, reason, "CArticWrkUtil::CrePbTime", "");
        return rc;
    }
    const LONG range = semitones != 0 ? GetPbRange(blk, time) : 2;
    e->SetStatus(0xE0);
    e->SetTime(time, 1);
    SetBend(e, LONG(Clamp<INT64>(base + SemitoneBend(range, semitones), -8192, 8191)));
    blk->Sort(e, 1, near);
    e->SetCreate(1);
    return 0;
}

int CArticWrkUtil::DelPbTime(CArticWrkEvntList* list, INT64 time, POSITION near) {
    if (!list) return 1;
    for (POSITION p = near ? FirstLater(list, time, false, near) : list->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        if (e->GetTime() > time) break;
        if (e->GetTime() != time || e->GetStatus() != 0xE0) continue;
        DestroyAt(list, at, e);
    }
    return 0;
}

int CArticWrkUtil::AddPitchCrvEvnt(CArticWrkBlk* blk, CArticWrkEvntList* existList, CArticWrkEvntList* curveList,
                                   BYTE keepEnd, INT64 t1, INT64 t2) {
    if (!blk || !existList || !curveList) return 1;
    const INT64 tmax = t1 > t2 ? t1 : t2;
    LONG lastOrig = 0, lastCurve = 0;
    Cursor orig(existList), crv(curveList);
    std::vector<POSITION> dropped;
    while (orig.evnt && crv.evnt) {
        const INT64 to = orig.evnt->GetTime(), tc = crv.evnt->GetTime();
        if (to == tc) {
            if (!(keepEnd && to == tmax)) {
                lastOrig = BendOf(orig.evnt);
                lastCurve = BendOf(crv.evnt);
                SetBend(orig.evnt, lastOrig + lastCurve);
            }
            // The curve point is replaced by the existing event: its number
            // is spent and the event goes.
            blk->SetEvntPos(crv.evnt);
            delete crv.evnt;
            dropped.push_back(crv.at);
            orig.Advance();
            crv.Advance();
        } else if (tc < to) {
            lastCurve = BendOf(crv.evnt);
            SetBend(crv.evnt, lastCurve + lastOrig);
            crv.Advance();
        } else {
            lastOrig = BendOf(orig.evnt);
            SetBend(orig.evnt, lastOrig + lastCurve);
            orig.Advance();
        }
    }
    PlaceCurvePoints(blk, curveList, dropped);
    return 0;
}
