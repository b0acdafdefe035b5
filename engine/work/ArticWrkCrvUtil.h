#pragma once
// Pitch slides with floating-point start and end values: a smooth bend
// curve from T1 to T2 turned into semitone steps and merged into the bend
// already in the block. Times: T0 start of the edited area (and of the
// lead-in), T1/T2 start and end of the slide, T3 end of the edited area,
// where the bend in force before the edit returns. Values in bend units
// unless named in cents.
#include "engine/work/ArticWrkEvnt.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CArticWrk;
class CArticWrkBlk;

class CArticWrkCrvUtil : public CObject {
public:
    static short CalcPitchCrvLevel(INT64 pos, INT64 len, LONG delta, LONG base, signed char curve);
    // Cents in bend units at the range in force, unrounded; 0 without block or range.
    static double ConvToPBFromCent(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, LONG cents);
    // The same clamped to -8192..8191.
    static double GetPitchAdd(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, short cents);

    // mode 0 replaces the bend of the area, mode 1 adds to it. Failures are
    // reported to the current expression.
    static int CrePitchSlide(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, INT64 T0, INT64 T1,
                             INT64 T2, INT64 T3, short fromCents, short toCents, signed char curve, WORD step);
    static int PitchSlideReplace(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, INT64 T0, INT64 T1,
                                 INT64 T2, INT64 T3, double from, double to, signed char curve, WORD step);
    static int PitchSlideAdd(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, INT64 T0, INT64 T1,
                             INT64 T2, INT64 T3, double from, double to, signed char curve, WORD step);
    // The block's bend events of [T0, max(T2, T3)] with events made at the ends where there are none.
    static int CrePitchOrigEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T0,
                                    INT64 T2, INT64 T3);
    // The smooth curve as new events (not in the block), one every step ticks.
    static int CrePitchCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T0, INT64 T1,
                                   INT64 T2, INT64 T3, double from, double to, signed char curve, WORD step);
    // Turns the smooth curve into steps of stepBend (one semitone).
    static int ModPitchSlideEvntList(CArticWrkEvntList* list, double from, double to, double stepBend, INT64 T1);
    // Stretches the steps so that the last one lands at T2.
    static int MagTimeEvntList(CArticWrkEvntList* list, double from, double to, INT64 T1, INT64 T2);
    static int AddPitchCrvEvnt(CArticWrkBlk* blk, CArticWrkEvntList* existList, CArticWrkEvntList* curveList,
                               BYTE keepEnd, INT64 t1, INT64 t2);
};
