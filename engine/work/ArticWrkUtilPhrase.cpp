// Phrase-file insertion: controller and pitch-bend material loaded from a
// library SMF file, scaled, fitted to a span, enveloped and added onto (or
// put in place of) the block's own values.
#include "engine/work/ArticFileIO.h"
#include "engine/work/ArticWrkUtilContImpl.h"

using namespace wrkcont;

namespace {

constexpr char kLoadReason[] = "SMFを読み出す際にｴﾗｰが発生した。";
constexpr char kCcReason[] = "SMFから読み込んだControl Changeｲﾍﾞﾝﾄを貼り込む際にｴﾗｰが発生した。";
constexpr char kPbReason[] = "SMFから読み込んだPBｲﾍﾞﾝﾄを貼り込む際にｴﾗｰが発生した。";

constexpr BYTE kSnap = 0x01, kSnapToEnd = 0x02, kResetAtEnd = 0x04, kReplace = 0x08, kFit = 0x10, kRepeat = 0x20,
               kCentred = 0x40;

// One paste: what the ForAdd and ForReplace operations and their twins share.
struct Paste {
    bool withInit = false;
    INT64 init = 0, start = 0, end = 0, limit = 0;
    CArticWrkEvntList* src = nullptr;
    BYTE flags = 0;
    bool randomForm = false;  // the (mag, randMag, timeMag) form of the copy
    WORD mag = 100, randMag = 0, timeMag = 100;
    bool envelope = false;
    INT64 attack = 0, release = 0;
    BYTE status = 0xB0, number = 0;

    INT64 From() const { return withInit ? init : start; }
    bool Cc() const { return status == 0xB0; }
};

int CopyPattern(CArticWrk* wrk, CArticWrkBlk* blk, const Paste& p, CArticWrkEvntList** out) {
    if (p.randomForm) {
        return p.withInit ? CArticWrkUtil::CopySmfEvntListI(wrk, blk, p.init, p.start, p.end, p.limit, p.src, out,
                                                            p.flags, p.mag, p.randMag, p.timeMag, p.status, p.number)
                          : CArticWrkUtil::CopySmfEvntList(wrk, blk, p.start, p.end, p.limit, p.src, out, p.flags,
                                                           p.mag, p.randMag, p.timeMag, p.status, p.number);
    }
    return p.withInit ? CArticWrkUtil::CopySmfEvntListI(wrk, blk, p.init, p.start, p.end, p.limit, p.src, out,
                                                        p.flags, p.mag, p.timeMag, p.status, p.number)
                      : CArticWrkUtil::CopySmfEvntList(wrk, blk, p.start, p.end, p.limit, p.src, out, p.flags, p.mag,
                                                       p.timeMag, p.status, p.number);
}

// The pattern's values added onto the block's curve from From() to limit.
int PasteAdd(CArticWrk* wrk, CArticWrkBlk* blk, const Paste& p) {
    if (!blk) return 1;
    CArticWrkEvntList existing;
    CArticWrkEvntList* pattern = nullptr;
    int rc = p.Cc() ? CArticWrkUtil::CreOrigWrkCcEvntList(wrk, blk, &existing, p.From(), p.limit, p.flags, 0xB0,
                                                          p.number)
                    : CArticWrkUtil::CreOrigWrkPbEvntList(wrk, blk, &existing, p.From(), p.limit, 0xE0);
    if (rc == 0) rc = CopyPattern(wrk, blk, p, &pattern);
    if (rc == 0 && p.envelope)
        rc = CArticWrkUtil::EgSmfEvntList(pattern, p.start, p.end, p.limit, p.attack, p.release, p.status, p.number);
    if (rc == 0)
        rc = p.Cc() ? CArticWrkUtil::AddCcEvnt(wrk, blk, &existing, pattern, p.flags)
                    : CArticWrkUtil::AddPbEvnt(wrk, blk, &existing, pattern);
    existing.RemoveAll();  // the block's own events
    if (pattern) {
        FreeUnplaced(*pattern);  // what never reached the block
        delete pattern;
    }
    // The boundary put at the largest time only stood in for "no reset";
    // it goes whether or not the paste got through.
    if (p.limit == kWrkNoTime) {
        CArticWrkEvntList* list = blk->GetEvntList();
        const int del = p.Cc() ? CArticWrkUtil::DelContCcTime(list, kWrkNoTime, p.number)
                               : CArticWrkUtil::DelPbTime(list, kWrkNoTime);
        if (rc == 0) rc = del;
    }
    return rc;
}

// The span's values go, neutral values stand at both ends, and the pattern
// is added onto them.
int PasteReplace(CArticWrk* wrk, CArticWrkBlk* blk, const Paste& p) {
    if (!blk || !blk->GetEvntList() || (!p.Cc() && !p.src)) return 1;
    CArticWrkEvntList* list = blk->GetEvntList();
    int rc = CArticWrkUtil::DelEvntList(list, p.From(), p.limit, p.status, p.number);
    if (p.Cc()) {
        if (rc == 0) rc = CArticWrkUtil::CreContCcTime(wrk, blk, p.From(), p.number, 0);
        if (rc == 0) rc = CArticWrkUtil::CreContCcTime(wrk, blk, p.limit, p.number, 0);
    } else {
        if (rc == 0) rc = CArticWrkUtil::DelPbTime(list, p.From());
        if (rc == 0) rc = CArticWrkUtil::DelPbTime(list, p.limit);
        if (rc == 0) rc = CArticWrkUtil::CrePbTime(wrk, blk, p.From(), 0, 0);
        if (rc == 0) rc = CArticWrkUtil::CrePbTime(wrk, blk, p.limit, 0, 0);
    }
    return rc == 0 ? PasteAdd(wrk, blk, p) : rc;
}

Paste MakePaste(INT64 start, INT64 end, INT64 limit, CArticWrkEvntList* src, BYTE flags, BYTE status, BYTE number) {
    Paste p;
    p.start = start;
    p.end = end;
    p.limit = limit;
    p.src = src;
    p.flags = flags;
    p.status = status;
    p.number = number;
    return p;
}

Paste WithInit(Paste p, INT64 init) {
    p.withInit = true;
    p.init = init;
    return p;
}

Paste WithEnvelope(Paste p, INT64 attack, INT64 release) {
    p.envelope = true;
    p.attack = attack;
    p.release = release;
    return p;
}

Paste WithScale(Paste p, WORD mag, WORD timeMag) {
    p.mag = mag;
    p.timeMag = timeMag;
    return p;
}

Paste WithRandomScale(Paste p, WORD mag, WORD randMag, WORD timeMag) {
    p.randomForm = true;
    p.mag = mag;
    p.randMag = randMag;
    p.timeMag = timeMag;
    return p;
}

int Run(CArticWrk* wrk, CArticWrkBlk* blk, const Paste& p) {
    return (p.flags & kReplace) ? PasteReplace(wrk, blk, p) : PasteAdd(wrk, blk, p);
}

}  // namespace

// ---- Loading

int CArticWrkUtil::LoadFileSmf(CArticFileIO* io, CString path, CArticWrkEvntList** list) {
    if (list && *list && !(*list)->IsEmpty()) return 0;
    if (list && !*list && io) {
        if (io->Load(path.c_str()) == 1) {
            *list = io->GetEvntListPtr();
            return *list ? 0 : 1;
        }
    }
    return ReportErr(kPhase1, kLoadReason, "CArticWrkUtil::LoadFileSmf", "ﾌｧｲﾙ名 = " + path);
}

// ---- The pattern

int CArticWrkUtil::CopySmfEvntList(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                                   CArticWrkEvntList* src, CArticWrkEvntList** out, BYTE flags, WORD mag,
                                   WORD timeMag, BYTE status, BYTE number) {
    if (!src || !out) return 1;
    if (*out) {
        (*out)->RemoveAll();
        delete *out;
        *out = nullptr;
    }
    if (src->IsEmpty()) return 1;
    *out = new CArticWrkEvntList(10);
    CopyEvntList(src, *out, status, number);
    const BYTE centred = (flags & kCentred) ? 1 : 0;
    MagEvntList(*out, mag, centred);
    if (flags & kFit) {
        ExpsEvntList(*out, start, end);
    } else {
        TimeMagEvntList(*out, timeMag, start, end);
        if (flags & kRepeat) RepEvntList(*out, status, number, start, end);
    }
    ShiftTimeEvntList(*out, start);
    if (limit > end) DupLastEvntList(*out, limit, 1, centred);
    return 0;
}

int CArticWrkUtil::CopySmfEvntList(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                                   CArticWrkEvntList* src, CArticWrkEvntList** out, BYTE flags, WORD mag,
                                   WORD randMag, WORD timeMag, BYTE status, BYTE number) {
    if (!src || !out) return 1;
    if (*out) {
        (*out)->RemoveAll();
        delete *out;
        *out = nullptr;
    }
    if (src->IsEmpty()) return 1;
    *out = new CArticWrkEvntList(10);
    CopyEvntList(src, *out, status, number);
    const BYTE centred = (flags & kCentred) ? 1 : 0;
    if (flags & kFit) {
        MagEvntList(*out, mag, randMag, centred);
        ExpsEvntList(*out, start, end);
    } else if (flags & kRepeat) {
        TimeMagEvntList(*out, timeMag, start, end);
        RepEvntList(*out, status, number, centred, mag, randMag, start, end);
    } else {
        MagEvntList(*out, mag, randMag, centred);
        TimeMagEvntList(*out, timeMag, start, end);
    }
    ShiftTimeEvntList(*out, start);
    if (limit > end) DupLastEvntList(*out, limit, 1, centred);
    return 0;
}

int CArticWrkUtil::CopySmfEvntListI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                    INT64 limit, CArticWrkEvntList* src, CArticWrkEvntList** out, BYTE flags,
                                    WORD mag, WORD timeMag, BYTE status, BYTE number) {
    int rc = CopySmfEvntList(wrk, blk, start, end, limit, src, out, flags, mag, timeMag, status, number);
    if (rc == 0) AddInitEvntList(*out, init);
    return rc;
}

int CArticWrkUtil::CopySmfEvntListI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                    INT64 limit, CArticWrkEvntList* src, CArticWrkEvntList** out, BYTE flags,
                                    WORD mag, WORD randMag, WORD timeMag, BYTE status, BYTE number) {
    int rc = CopySmfEvntList(wrk, blk, start, end, limit, src, out, flags, mag, randMag, timeMag, status, number);
    if (rc == 0) AddInitEvntList(*out, init);
    return rc;
}

int CArticWrkUtil::EgSmfEvntList(CArticWrkEvntList* list, INT64 start, INT64 end, INT64 /*limit*/, INT64 attack,
                                 INT64 release, BYTE status, BYTE number) {
    if (!list) return 1;
    if (attack == 0 && release == 0) return 0;
    if (end <= start) return 1;
    const INT64 relStart = NotNegative(end - release);
    if (relStart <= start) return Calc0SmgEvntList(list, status, number);
    double level = 1.0;
    int rc = 1;
    if (attack > 0) {
        const INT64 atkEnd = start + attack;
        rc = AttackEvntList(list, status, number, start, atkEnd, atkEnd < relStart ? atkEnd : relStart);
        if (rc != 0) return rc;
        if (atkEnd > relStart) level = double(relStart - start) / double(attack);
    }
    if (release <= 0) return rc;
    return ReleaseEvntList(list, status, number, relStart, end, level);
}

// ---- Times of a paste

INT64 CArticWrkUtil::GetExpandTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE flags) {
    if (!(flags & kSnap)) return time;
    if (!blk || !blk->GetEvntList()) return 0;
    return GetNearNoteOnTime(blk->GetEvntList(), time, 0);
}

INT64 CArticWrkUtil::GetExpandEndTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE flags) {
    if (!(flags & kSnap)) return time;
    if (!blk || !blk->GetEvntList()) return 0;
    const INT64 t = (flags & kSnapToEnd) ? GetNearNoteOffTime(blk->GetEvntList(), time, 12)
                                         : GetNearNoteOnTime(blk->GetEvntList(), time, 12);
    return NotNegative(t);
}

INT64 CArticWrkUtil::GetExpandAddEndTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 end, BYTE flags, BYTE status,
                                         BYTE number) {
    if (flags & kResetAtEnd) return GetExpandEndTime(wrk, blk, end, flags);
    if (!blk) return kWrkNoTime;
    const INT64 e = GetExpandEndTime(wrk, blk, end, flags);
    INT64 result = kWrkNoTime;
    if (status == 0xB0) {
        if (number != 11) return kWrkNoTime;
        _WRK_EVNT record;
        record.Status = 0xB0;
        record.Post1 = 11;
        LONG value = 0, time = 0;
        if (blk->GetNextCondPos(record, e, &value, &time) != 0) return kWrkNoTime;
        result = INT64(time);
    } else if (status == 0xE0) {
        if (!blk->GetEvntList()) return kWrkNoTime;
        int found = 0;
        const INT64 t = GetNearNoteOnTime2(blk->GetEvntList(), e, 2, &found);
        if (!found) return kWrkNoTime;
        result = t;
    } else {
        return kWrkNoTime;
    }
    return NotNegative(result);
}

// ---- ForAdd and ForReplace

int CArticWrkUtil::CreFileSmfContCcForAdd(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                                          CArticWrkEvntList* src, BYTE flags, WORD mag, BYTE status, BYTE number) {
    return PasteAdd(wrk, blk, WithScale(MakePaste(start, end, limit, src, flags, status, number), mag, 100));
}

int CArticWrkUtil::CreFileSmfContCcForAddI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                           INT64 limit, CArticWrkEvntList* src, BYTE flags, WORD mag, BYTE status,
                                           BYTE number) {
    return PasteAdd(wrk, blk,
                    WithInit(WithScale(MakePaste(start, end, limit, src, flags, status, number), mag, 100), init));
}

int CArticWrkUtil::CreFileSmfContCcForReplace(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end,
                                              INT64 limit, CArticWrkEvntList* src, BYTE flags, WORD mag,
                                              BYTE status, BYTE number) {
    return PasteReplace(wrk, blk, WithScale(MakePaste(start, end, limit, src, flags, status, number), mag, 100));
}

int CArticWrkUtil::CreFileSmfContCcForReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start,
                                               INT64 end, INT64 limit, CArticWrkEvntList* src, BYTE flags, WORD mag,
                                               BYTE status, BYTE number) {
    return PasteReplace(wrk, blk,
                        WithInit(WithScale(MakePaste(start, end, limit, src, flags, status, number), mag, 100), init));
}

int CArticWrkUtil::CreFileSmfContPbForAdd(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                                          CArticWrkEvntList* src, BYTE flags, WORD mag, WORD timeMag, BYTE status,
                                          BYTE number) {
    return PasteAdd(wrk, blk, WithScale(MakePaste(start, end, limit, src, flags, status, number), mag, timeMag));
}

int CArticWrkUtil::CreFileSmfContPbForAddI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                           INT64 limit, CArticWrkEvntList* src, BYTE flags, WORD mag, WORD timeMag,
                                           BYTE status, BYTE number) {
    return PasteAdd(wrk, blk,
                    WithInit(WithScale(MakePaste(start, end, limit, src, flags, status, number), mag, timeMag), init));
}

int CArticWrkUtil::CreFileSmfContPbForReplace(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end,
                                              INT64 limit, CArticWrkEvntList* src, BYTE flags, WORD mag,
                                              WORD timeMag, BYTE status, BYTE number) {
    return PasteReplace(wrk, blk, WithScale(MakePaste(start, end, limit, src, flags, status, number), mag, timeMag));
}

int CArticWrkUtil::CreFileSmfContPbForReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start,
                                               INT64 end, INT64 limit, CArticWrkEvntList* src, BYTE flags, WORD mag,
                                               WORD timeMag, BYTE status, BYTE number) {
    return PasteReplace(
        wrk, blk, WithInit(WithScale(MakePaste(start, end, limit, src, flags, status, number), mag, timeMag), init));
}

int CArticWrkUtil::CreFileSmfContPbEgForAdd(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                                            CArticWrkEvntList* src, BYTE flags, INT64 attack, INT64 release,
                                            WORD mag, WORD timeMag, BYTE status, BYTE number) {
    return PasteAdd(wrk, blk,
                    WithEnvelope(WithScale(MakePaste(start, end, limit, src, flags, status, number), mag, timeMag),
                                 attack, release));
}

int CArticWrkUtil::CreFileSmfContPbEgForAddI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start,
                                             INT64 end, INT64 limit, CArticWrkEvntList* src, BYTE flags,
                                             INT64 attack, INT64 release, WORD mag, WORD timeMag, BYTE status,
                                             BYTE number) {
    return PasteAdd(wrk, blk,
                    WithInit(WithEnvelope(WithScale(MakePaste(start, end, limit, src, flags, status, number), mag,
                                                    timeMag),
                                          attack, release),
                             init));
}

int CArticWrkUtil::CreFileSmfContPbEgForReplace(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end,
                                                INT64 limit, CArticWrkEvntList* src, BYTE flags, INT64 attack,
                                                INT64 release, WORD mag, WORD timeMag, BYTE status, BYTE number) {
    return PasteReplace(
        wrk, blk,
        WithEnvelope(WithScale(MakePaste(start, end, limit, src, flags, status, number), mag, timeMag), attack,
                     release));
}

int CArticWrkUtil::CreFileSmfContPbEgForReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start,
                                                 INT64 end, INT64 limit, CArticWrkEvntList* src, BYTE flags,
                                                 INT64 attack, INT64 release, WORD mag, WORD timeMag, BYTE status,
                                                 BYTE number) {
    return PasteReplace(
        wrk, blk,
        WithInit(WithEnvelope(WithScale(MakePaste(start, end, limit, src, flags, status, number), mag, timeMag),
                              attack, release),
                 init));
}

int CArticWrkUtil::CreFileSmfContPbEg2ForAdd(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end,
                                             INT64 limit, CArticWrkEvntList* src, BYTE flags, INT64 attack,
                                             INT64 release, WORD mag, WORD randMag, WORD timeMag, BYTE status,
                                             BYTE number) {
    return PasteAdd(wrk, blk,
                    WithEnvelope(WithRandomScale(MakePaste(start, end, limit, src, flags, status, number), mag,
                                                 randMag, timeMag),
                                 attack, release));
}

int CArticWrkUtil::CreFileSmfContPbEg2ForAddI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start,
                                              INT64 end, INT64 limit, CArticWrkEvntList* src, BYTE flags,
                                              INT64 attack, INT64 release, WORD mag, WORD randMag, WORD timeMag,
                                              BYTE status, BYTE number) {
    return PasteAdd(wrk, blk,
                    WithInit(WithEnvelope(WithRandomScale(MakePaste(start, end, limit, src, flags, status, number),
                                                          mag, randMag, timeMag),
                                          attack, release),
                             init));
}

int CArticWrkUtil::CreFileSmfContPbEg2ForReplace(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end,
                                                 INT64 limit, CArticWrkEvntList* src, BYTE flags, INT64 attack,
                                                 INT64 release, WORD mag, WORD randMag, WORD timeMag, BYTE status,
                                                 BYTE number) {
    return PasteReplace(wrk, blk,
                        WithEnvelope(WithRandomScale(MakePaste(start, end, limit, src, flags, status, number), mag,
                                                     randMag, timeMag),
                                     attack, release));
}

int CArticWrkUtil::CreFileSmfContPbEg2ForReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start,
                                                  INT64 end, INT64 limit, CArticWrkEvntList* src, BYTE flags,
                                                  INT64 attack, INT64 release, WORD mag, WORD randMag, WORD timeMag,
                                                  BYTE status, BYTE number) {
    return PasteReplace(wrk, blk,
                        WithInit(WithEnvelope(WithRandomScale(MakePaste(start, end, limit, src, flags, status,
                                                                        number),
                                                              mag, randMag, timeMag),
                                              attack, release),
                                 init));
}

// ---- Entry operations

namespace {

struct Span {
    INT64 start, end, limit;
};

Span PbSpan(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, BYTE flags) {
    return {CArticWrkUtil::GetExpandTime(wrk, blk, start, flags), CArticWrkUtil::GetExpandEndTime(wrk, blk, end, flags),
            CArticWrkUtil::GetExpandAddEndTime(wrk, blk, end, flags, 0xE0, 0)};
}

// The reset time of the controller entries that take their times unchanged.
INT64 Cc2Limit(CArticWrkBlk* blk, INT64 end, BYTE flags) {
    if ((flags & kResetAtEnd) || !blk || !blk->GetEvntList()) return end;
    const INT64 t = CArticWrkUtil::GetNearNoteOnTime(blk->GetEvntList(), end, 3);
    return t < 1 ? 0 : t;
}

}  // namespace

int CArticWrkUtil::CreFileSmfContCc(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end,
                                    CArticWrkEvntList* src, BYTE flags, BYTE number, WORD mag) {
    const INT64 s = GetExpandTime(wrk, blk, start, flags), e = GetExpandEndTime(wrk, blk, end, flags);
    const INT64 limit = GetExpandAddEndTime(wrk, blk, end, flags, 0xB0, number);
    const int rc = Run(wrk, blk, WithScale(MakePaste(s, e, limit, src, flags, 0xB0, number), mag, 100));
    if (rc != 0) ReportErr(kPhase1, kCcReason, "CArticWrkUtil::CreFileSmfContCc", "");
    return rc;
}

int CArticWrkUtil::CreFileSmfContCc2(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end,
                                     CArticWrkEvntList* src, BYTE type, BYTE number, WORD mag) {
    const BYTE flags = BYTE(ResetCcType(type));
    const int rc = Run(wrk, blk,
                       WithScale(MakePaste(start, end, Cc2Limit(blk, end, flags), src, flags, 0xB0, number), mag, 100));
    if (rc != 0) ReportErr(kPhase1, kCcReason, "CArticWrkUtil::CreFileSmfContCc2", "");
    return rc;
}

int CArticWrkUtil::CreFileSmfContCc2I(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                      CArticWrkEvntList* src, BYTE type, BYTE number, WORD mag) {
    const BYTE flags = BYTE(ResetCcType(type));
    Paste p = WithScale(MakePaste(start, end, Cc2Limit(blk, end, flags), src, flags, 0xB0, number), mag, 100);
    if (init != start) p = WithInit(p, init);
    const int rc = Run(wrk, blk, p);
    if (rc != 0) ReportErr(kPhase1, kCcReason, "CArticWrkUtil::CreFileSmfContCc2I", "");
    return rc;
}

int CArticWrkUtil::CreFileSmfContPb(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end,
                                    CArticWrkEvntList* src, BYTE flags, WORD mag, WORD timeMag) {
    const Span s = PbSpan(wrk, blk, start, end, flags);
    const int rc = Run(wrk, blk, WithScale(MakePaste(s.start, s.end, s.limit, src, flags, 0xE0, 0), mag, timeMag));
    if (rc != 0) ReportErr(kPhase1, kPbReason, "CArticWrkUtil::CreFileSmfContPb", "");
    return rc;
}

int CArticWrkUtil::CreFileSmfContPbI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                     CArticWrkEvntList* src, BYTE flags, WORD mag, WORD timeMag) {
    const Span s = PbSpan(wrk, blk, start, end, flags);
    Paste p = WithScale(MakePaste(s.start, s.end, s.limit, src, flags, 0xE0, 0), mag, timeMag);
    if (s.start != init) p = WithInit(p, init);
    const int rc = Run(wrk, blk, p);
    if (rc != 0) ReportErr(kPhase1, kPbReason, "CArticWrkUtil::CreFileSmfContPbI", "");
    return rc;
}

int CArticWrkUtil::CreFileSmfContPbEg(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end,
                                      CArticWrkEvntList* src, BYTE flags, INT64 attack, INT64 release, WORD mag,
                                      WORD timeMag) {
    const Span s = PbSpan(wrk, blk, start, end, flags);
    const int rc = Run(
        wrk, blk,
        WithEnvelope(WithScale(MakePaste(s.start, s.end, s.limit, src, flags, 0xE0, 0), mag, timeMag), attack, release));
    if (rc != 0) ReportErr(kPhase1, kPbReason, "CArticWrkUtil::CreFileSmfContPbEg", "");
    return rc;
}

int CArticWrkUtil::CreFileSmfContPbEgI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                       CArticWrkEvntList* src, BYTE flags, INT64 attack, INT64 release, WORD mag,
                                       WORD timeMag) {
    const Span s = PbSpan(wrk, blk, start, end, flags);
    Paste p =
        WithEnvelope(WithScale(MakePaste(s.start, s.end, s.limit, src, flags, 0xE0, 0), mag, timeMag), attack, release);
    if (s.start != init) p = WithInit(p, init);
    const int rc = Run(wrk, blk, p);
    if (rc != 0) ReportErr(kPhase1, kPbReason, "CArticWrkUtil::CreFileSmfContPbEgI", "");
    return rc;
}

int CArticWrkUtil::CreFileSmfContPbEg2(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end,
                                       CArticWrkEvntList* src, BYTE flags, INT64 attack, INT64 release, WORD mag,
                                       WORD randMag, WORD timeMag) {
    const Span s = PbSpan(wrk, blk, start, end, flags);
    const int rc = Run(wrk, blk,
                       WithEnvelope(WithRandomScale(MakePaste(s.start, s.end, s.limit, src, flags, 0xE0, 0), mag,
                                                    randMag, timeMag),
                                    attack, release));
    if (rc != 0) ReportErr(kPhase1, kPbReason, "CArticWrkUtil::CreFileSmfContPbEg2", "");
    return rc;
}

int CArticWrkUtil::CreFileSmfContPbEg2I(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                        CArticWrkEvntList* src, BYTE flags, INT64 attack, INT64 release, WORD mag,
                                        WORD randMag, WORD timeMag) {
    const Span s = PbSpan(wrk, blk, start, end, flags);
    Paste p = WithEnvelope(
        WithRandomScale(MakePaste(s.start, s.end, s.limit, src, flags, 0xE0, 0), mag, randMag, timeMag), attack,
        release);
    if (s.start != init) p = WithInit(p, init);
    const int rc = Run(wrk, blk, p);
    if (rc != 0) ReportErr(kPhase1, kPbReason, "CArticWrkUtil::CreFileSmfContPbEg2I", "");
    return rc;
}
