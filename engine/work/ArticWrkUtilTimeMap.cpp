// Time mapping: groups of fixed length, piecewise-linear warps of a group
// (swing and waltz feels), bar and beat heads, and re-timing of a note.
#include "engine/expressions/ArticMeas.h"
#include "engine/work/ArticWrkUtilImpl.h"
#include "engine/work/ArticWrkUtil.h"

using namespace wrkutil;

namespace {

constexpr char kGroupReason[] = "演算（ｸﾞﾙｰﾌﾟ開始時刻の算出）処理が実行できません。";
constexpr char kFigReason[] = "演算（写像時刻）処理が実行できません。";
constexpr char kTimeReason[] = "ﾃﾞｰﾀを返すことができません。";
constexpr char kNoteReason[] = "NoteのOn-Off時刻を変更する際にｴﾗｰが発生しました。";

constexpr char kTimeBeforeStart[] = "指定時刻が開始時刻より小さい。";
constexpr char kMappedBeforeStart[] = "写像時刻が開始時刻より小さくなってしまった。";

// (int64)(v + 0.5), the conversion of the warps (truncation toward zero).
INT64 TruncWarp(double v) {
    const int64_t r = DoubleToInt64(v);
    return r == INT64_MIN ? 0 : r;
}

}  // namespace

int CArticWrkUtil::GetMathGroupTime(INT64 origin, ULONG groupLength, INT64 time, INT64* groupStart) {
    const char location[] = "CArticWrkUtil::GetMathGroupTime";
    if (time < origin) {
        if (groupStart) *groupStart = 0;
        return ReportErr(kPhase1, kGroupReason, location, "指定時刻が開始時刻より早い。");
    }
    // A group without length holds no time: searching for it would never end.
    if (groupLength == 0 || !groupStart) {
        if (groupStart) *groupStart = 0;
        return ReportErr(kPhase1, kGroupReason, location, "");
    }
    const uint64_t k = uint64_t(time - origin) / groupLength;
    *groupStart = origin + INT64(k * groupLength);
    return 0;
}

int CArticWrkUtil::GetMathCopyFig(INT64 start, INT64 end, INT64 time, BYTE divisions, BYTE point, INT64 pointTime,
                                  INT64* mapped) {
    const char location[] = "CArticWrkUtil::GetMathCopyFig";
    auto fail = [&](const char* detail) {
        if (mapped) *mapped = 0;
        return ReportErr(kPhase1, kFigReason, location, detail);
    };
    if (end <= start) return fail("開始時刻が終了時刻以上になっています。");
    const INT64 length = end - start;
    if (divisions < 2) return fail("分割数が２より小さい。");
    const INT64 p = TruncWarp(double(length) / divisions * point + 0.5);
    if (time < start) return fail(kTimeBeforeStart);
    if (!mapped) return fail("");
    const INT64 rel = time - start;
    // A side of no length has no slope: such a point cannot be moved.
    if ((rel <= p && p == 0) || (rel > p && length == p)) return fail("");
    const double v = rel <= p ? double(rel) * (double(pointTime) / double(p))
                              : double(rel - p) * (double(length - pointTime) / double(length - p)) + double(pointTime);
    *mapped = TruncWarp(v + 0.5) + start;
    if (*mapped < start) return ReportErr(kPhase1, kFigReason, location, kMappedBeforeStart);
    return 0;
}

int CArticWrkUtil::GetMathCopyFig2(INT64 start, INT64 end, INT64 time, BYTE divisions, BYTE point1,
                                   INT64 point1Time, BYTE point2, INT64 point2Time, INT64* mapped) {
    const char location[] = "CArticWrkUtil::GetMathCopyFig2";
    auto fail = [&](const CString& detail) {
        if (mapped) *mapped = 0;
        return ReportErr(kPhase1, kFigReason, location, detail);
    };
    CString detail;
    if (end <= start) detail += "終了時刻が開始時刻以下になっている。";
    if (point2Time <= point1Time) detail += "第二写像ﾎﾟｲﾝﾄ時刻が第一写像ﾎﾟｲﾝﾄ時刻以下になっている。";
    if (!detail.IsEmpty()) return fail(detail);
    const INT64 length = end - start;
    if (divisions < 3) return fail("分割数が３より小さい。");
    const double unit = double(length) / divisions;
    const INT64 p1 = TruncWarp(unit * point1 + 0.5), p2 = TruncWarp(unit * point2 + 0.5);
    if (time < start) return fail(kTimeBeforeStart);
    if (!mapped) return fail("");
    const INT64 rel = time - start;
    double v = 0;
    if (rel <= p1) {
        if (p1 == 0) return fail("");
        v = double(rel) * (double(point1Time) / double(p1));
    } else if (rel <= p2) {
        v = double(rel - p1) * (double(point2Time - point1Time) / double(p2 - p1)) + double(point1Time);
    } else {
        if (length == p2) return fail("");
        v = double(rel - p2) * (double(length - point2Time) / double(length - p2)) + double(point2Time);
    }
    *mapped = TruncWarp(v + 0.5) + start;
    if (*mapped < start) return ReportErr(kPhase1, kFigReason, location, kMappedBeforeStart);
    return 0;
}

int CArticWrkUtil::GetTime(CArticWrk* wrk, BYTE mode, CArticMeas* meas, INT64* time) {
    if (!wrk || !meas || !time || mode > 2) {
        if (time) *time = 0;
        return ReportErr(kPhase1, kTimeReason, "CArticWrkUtil::GetTime", "");
    }
    ULONG bar = 0, beat = 0, tick = 0;
    meas->Get(&bar, &beat, &tick);
    INT64 t = 0;
    if (mode == 0)
        wrk->GetEvntTime(bar, beat, tick, &t);
    else if (mode == 1)
        wrk->GetEvntTime(bar, 1, 0, &t);
    else
        wrk->GetEvntTime(bar, beat, 0, &t);
    *time = t;
    return 0;
}

int CArticWrkUtil::GetTime(CArticWrk* wrk, BYTE mode, INT64* time) {
    if (!wrk || !time || mode > 4) {
        if (time) *time = 0;
        return ReportErr(kPhase1, kTimeReason, "CArticWrkUtil::GetTime", "");
    }
    ULONG bar = 0, beat = 0, tick = 0;
    wrk->GetEvntMeas(*time, &bar, &beat, &tick);
    INT64 t = 0;
    switch (mode) {
    case 0: wrk->GetEvntTime(bar, beat, tick, &t); break;
    case 1: wrk->GetEvntTime(bar, 1, 0, &t); break;
    case 2: wrk->GetEvntTime(bar, beat, 0, &t); break;
    case 3: wrk->GetEvntTime(bar + 1, 1, 0, &t); break;
    default: wrk->GetEvntTime(bar, beat + 1, 0, &t); break;
    }
    *time = t;
    return 0;
}

int CArticWrkUtil::ResetNoteOnOff(CArticWrkEvnt* evnt, INT64 on, INT64 off) {
    const char location[] = "CArticWrkUtil::ResetNoteOnOff";
    if (!evnt) return ReportErr(kPhase1, kNoteReason, location, "処理対象となっているｲﾍﾞﾝﾄが存在しない。");
    if (evnt->GetStatus() != 0x90)
        return ReportErr(kPhase1, kNoteReason, location, "処理対象となっているｲﾍﾞﾝﾄがNoteでない。");
    if (off < on) return ReportErr(kPhase1, kNoteReason, location, "Note-Onの時刻がNote-Offの時刻を越えている。");
    const INT64 old = evnt->GetTime();
    evnt->SetTime(on, 1);
    evnt->SetGateTime(off - on);
    if (CArticWrkBlk* blk = evnt->GetOwner()) blk->Move(evnt);
    if (CArticWrkEvnt* proc = evnt->GetProcWrkEvnt()) proc->AddTimeShift(on - old);
    return 0;
}
