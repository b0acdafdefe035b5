#include "engine/expressions/ArticExpTempo.h"

#include "engine/work/ArticTicks.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::AddTicks;
using articticks::OffTime;

VX_IMPLEMENT_CLASS(CArticExpTempo, CArticExpEvnt);
VX_IMPLEMENT_CLASS(CArticExpTempoRel, CArticExpTempo);
VX_IMPLEMENT_CLASS(CArticExpTempoAbs, CArticExpTempo);
VX_IMPLEMENT_CLASS(CArticExpTempoAbsRel, CArticExpTempo);
VX_IMPLEMENT_CLASS(CArticExpTempoRelFix, CArticExpTempo);
VX_IMPLEMENT_CLASS(CArticExpTempoRelCrv, CArticExpTempoRel);
VX_IMPLEMENT_CLASS(CArticExpTempoFermata, CArticExpTempo);
VX_IMPLEMENT_CLASS(CArticExpTempoBreath, CArticExpTempo);

namespace {

const char* const kTempoUnsupportedType = "未対応の処理番号が指定されている。";

CString TempoTypeDetail(BYTE type) {
    CString detail;
    detail.Format("処理番号 = %u", unsigned(type));
    return detail;
}

const char* const kTempoAbsTexts[3] = {
    "記号位置ﾓｰﾄﾞで絶対ﾃﾝﾎﾟを設定する際にｴﾗｰが発生した。",
    "小節の先頭ﾓｰﾄﾞで絶対ﾃﾝﾎﾟを設定する際にｴﾗｰが発生した。",
    "拍の先頭ﾓｰﾄﾞで絶対ﾃﾝﾎﾟを設定する際にｴﾗｰが発生した。",
};
const char* const kTempoAbsRelTexts[3] = {
    "記号位置ﾓｰﾄﾞで相対ﾃﾝﾎﾟに戻す際にｴﾗｰが発生した。",
    "小節の先頭ﾓｰﾄﾞで相対ﾃﾝﾎﾟに戻す際にｴﾗｰが発生した。",
    "拍の先頭ﾓｰﾄﾞで相対ﾃﾝﾎﾟに戻す際にｴﾗｰが発生した。",
};
const char* const kTempoRelFixTexts[3] = {
    "記号位置ﾓｰﾄﾞで相対ﾃﾝﾎﾟを設定する際にｴﾗｰが発生した。",
    "小節の先頭ﾓｰﾄﾞで相対ﾃﾝﾎﾟを設定する際にｴﾗｰが発生した。",
    "拍の先頭ﾓｰﾄﾞで相対ﾃﾝﾎﾟを設定する際にｴﾗｰが発生した。",
};

}  // namespace

// ================================================================ Bases

CArticExpTempo::CArticExpTempo(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas)
    : CArticExpEvnt(owner, evntNo), m_Type(type) {
    SetEvntType(1);
    if (meas) m_Meas = *meas;
}

CArticExpTempo::CArticExpTempo(CArticExpBlk* owner, ULONG evntNo, BYTE type, INT64 time)
    : CArticExpEvnt(owner, evntNo), m_Type(type), m_Time(time) {
    SetEvntType(2);
}

CArticExpTempo& CArticExpTempo::operator=(const CArticExpTempo& src) {
    CArticExpEvnt::operator=(src);
    m_Type = src.m_Type;
    m_Meas = src.m_Meas;
    m_Time = src.m_Time;
    return *this;
}

int CArticExpTempo::MidTarget(CArticWrk** wrk, CArticWrkBlk** blk) const {
    *wrk = nullptr;
    *blk = nullptr;
    if (!GetOwner()) return 1;
    *blk = GetMidWrkBlk(0);
    *wrk = *blk ? (*blk)->GetWrk() : nullptr;
    return *blk && *wrk ? 0 : 1;
}

int CArticExpTempo::RunPoint(const char* const contents[3]) {
    CString content, detail;
    int rc = 1;
    CArticWrk* wrk = nullptr;
    CArticWrkBlk* blk = nullptr;
    if (MidTarget(&wrk, &blk) == 0) {
        if (m_Type > 2) {
            content = kTempoUnsupportedType;
            detail = TempoTypeDetail(m_Type);
        } else {
            content = contents[m_Type];
            INT64 t = m_Time;
            rc = 0;
            if (GetEvntType() == 1) rc = CArticWrkUtil::GetTime(wrk, 0, &m_Meas, &t);
            if (rc == 0 && m_Type != 0) rc = CArticWrkUtil::GetTime(wrk, m_Type, &t);
            if (rc == 0) rc = CreatePoint(wrk, blk, t);
        }
    }
    if (rc != 0) DispErrMsg(kPhase1Title, content, "ConvToWrk", detail);
    return rc;
}

CArticExpTempoRel::CArticExpTempoRel(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                                     const CArticMeas* endMeas, WORD startMag)
    : CArticExpTempo(owner, evntNo, type, meas), m_StartMag(startMag) {
    if (endMeas) m_EndMeas = *endMeas;
}

CArticExpTempoRel::CArticExpTempoRel(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                                     INT64 timeW, WORD startMag)
    : CArticExpTempo(owner, evntNo, type, meas), m_TimeW(timeW), m_StartMag(startMag) {
    SetEvntType(2);
}

CArticExpTempoRel::CArticExpTempoRel(CArticExpBlk* owner, ULONG evntNo, BYTE type, INT64 time, INT64 timeW,
                                     WORD startMag)
    : CArticExpTempo(owner, evntNo, type, time), m_TimeW(timeW), m_StartMag(startMag) {
    SetEvntType(3);
}

CArticExpTempoRel& CArticExpTempoRel::operator=(const CArticExpTempoRel& src) {
    CArticExpTempo::operator=(src);
    m_EndMeas = src.m_EndMeas;
    m_TimeW = src.m_TimeW;
    m_StartMag = src.m_StartMag;
    return *this;
}

// ================================================================ Point tempos

CArticExpTempoAbs::CArticExpTempoAbs(CArticExpBlk* owner, ULONG evntNo, BYTE type, ULONG time, WORD tickPerBeat,
                                     WORD tempo)
    : CArticExpTempo(owner, evntNo, type, INT64(time)), m_TickPerBeat(tickPerBeat), m_Tempo(tempo) {}

CArticExpTempoAbs::CArticExpTempoAbs(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                                     WORD tickPerBeat, WORD tempo)
    : CArticExpTempo(owner, evntNo, type, meas), m_TickPerBeat(tickPerBeat), m_Tempo(tempo) {}

CArticExpTempoAbs& CArticExpTempoAbs::operator=(const CArticExpTempoAbs& src) {
    CArticExpTempo::operator=(src);
    m_TickPerBeat = src.m_TickPerBeat;
    m_Tempo = src.m_Tempo;
    return *this;
}

int CArticExpTempoAbs::CreWrkTempoAbs(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, WORD tickPerBeat, WORD tempo) {
    if (!wrk || !blk) return 1;
    return CArticWrkUtil::TempoAbs(wrk, blk, time, tickPerBeat, tempo);
}

int CArticExpTempoAbs::CreatePoint(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t) {
    return CreWrkTempoAbs(wrk, blk, t, m_TickPerBeat, m_Tempo);
}

int CArticExpTempoAbs::ConvToWrk() { return RunPoint(kTempoAbsTexts); }

int CArticExpTempoAbsRel::CreWrkTempoAbsRel(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time) {
    if (!wrk || !blk) return 1;
    return CArticWrkUtil::TempoAbsRel(wrk, blk, time);
}

int CArticExpTempoAbsRel::CreatePoint(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t) {
    return CreWrkTempoAbsRel(wrk, blk, t);
}

int CArticExpTempoAbsRel::ConvToWrk() { return RunPoint(kTempoAbsRelTexts); }

CArticExpTempoRelFix::CArticExpTempoRelFix(CArticExpBlk* owner, ULONG evntNo, BYTE type, ULONG time, WORD mag)
    : CArticExpTempo(owner, evntNo, type, INT64(time)), m_Mag(mag) {}

CArticExpTempoRelFix::CArticExpTempoRelFix(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                                           WORD mag)
    : CArticExpTempo(owner, evntNo, type, meas), m_Mag(mag) {}

CArticExpTempoRelFix& CArticExpTempoRelFix::operator=(const CArticExpTempoRelFix& src) {
    CArticExpTempo::operator=(src);
    m_Mag = src.m_Mag;
    return *this;
}

int CArticExpTempoRelFix::CreWrkTempoRelFix(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, WORD mag) {
    if (!wrk || !blk) return 1;
    return CArticWrkUtil::TempoRelFix(wrk, blk, time, mag);
}

int CArticExpTempoRelFix::CreatePoint(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t) {
    return CreWrkTempoRelFix(wrk, blk, t, m_Mag);
}

int CArticExpTempoRelFix::ConvToWrk() { return RunPoint(kTempoRelFixTexts); }

// ================================================================ Curve

CArticExpTempoRelCrv::CArticExpTempoRelCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                                           const CArticMeas* endMeas, WORD startMag, WORD endMag, signed char curve,
                                           WORD devide)
    : CArticExpTempoRel(owner, evntNo, type, meas, endMeas, startMag), m_EndMag(endMag), m_Curve(curve),
      m_Devide(devide) {}

CArticExpTempoRelCrv::CArticExpTempoRelCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                                           INT64 timeW, WORD startMag, WORD endMag, signed char curve, WORD devide)
    : CArticExpTempoRel(owner, evntNo, type, meas, timeW, startMag), m_EndMag(endMag), m_Curve(curve),
      m_Devide(devide) {}

CArticExpTempoRelCrv::CArticExpTempoRelCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, INT64 time, INT64 timeW,
                                           WORD startMag, WORD endMag, signed char curve, WORD devide)
    : CArticExpTempoRel(owner, evntNo, type, time, timeW, startMag), m_EndMag(endMag), m_Curve(curve),
      m_Devide(devide) {}

CArticExpTempoRelCrv& CArticExpTempoRelCrv::operator=(const CArticExpTempoRelCrv& src) {
    CArticExpTempoRel::operator=(src);
    m_EndMag = src.m_EndMag;
    m_Curve = src.m_Curve;
    m_Devide = src.m_Devide;
    return *this;
}

int CArticExpTempoRelCrv::CreWrkTempoRelCrv(BYTE mode) {
    CArticWrk* wrk = nullptr;
    CArticWrkBlk* blk = nullptr;
    if (MidTarget(&wrk, &blk)) return 1;
    INT64 start = 0, end = 0;
    CArticMeas meas = GetMeas();
    switch (GetEvntType()) {
    case 1: {
        if (int rc = CArticWrkUtil::GetTime(wrk, mode, &meas, &start)) return rc;
        CArticMeas endMeas = GetEndMeas();
        if (int rc = CArticWrkUtil::GetTime(wrk, 0, &endMeas, &end)) return rc;
        break;
    }
    case 2:
        if (int rc = CArticWrkUtil::GetTime(wrk, mode, &meas, &start)) return rc;
        end = AddTicks(start, INT64(GetTimeW()));
        break;
    case 3:
        start = GetTime();
        CArticWrkUtil::GetTime(wrk, mode, &start);
        end = AddTicks(start, INT64(GetTimeW()));
        break;
    default:
        return 0;
    }
    return CArticWrkUtil::CreTempoRelCrv(wrk, blk, start, end, GetStartMag(), m_EndMag, m_Curve, m_Devide);
}

int CArticExpTempoRelCrv::ConvToWrk() {
    CString content, detail, method = "ConvToWrk";
    int rc = 1;
    if (GetType() <= 2) {
        rc = CreWrkTempoRelCrv(GetType());
        if (rc != 0) {
            content = "指定時間内にﾃﾝﾎﾟを設定する際にｴﾗｰが発生した。";
            method = "ConvToWrk => CreWrkTempoRelCrv";
        }
    } else {
        content = "未定義の処理番号が指定されているためｴﾗｰが発生した。";
        detail = TempoTypeDetail(GetType());
    }
    if (rc != 0) DispErrMsg(kPhase1Title, content, method, detail);
    return rc;
}

// ================================================================ Fermata

CArticExpTempoFermata::CArticExpTempoFermata(CArticExpBlk* owner, ULONG evntNo, BYTE type,
                                             const CArticWrkEvntList* notes, WORD mag, ULONG fermataTime)
    : CArticExpTempo(owner, evntNo, type, nullptr), m_Notes(notes), m_Mag(mag), m_FermataTime(fermataTime) {}

CArticExpTempoFermata& CArticExpTempoFermata::operator=(const CArticExpTempoFermata& src) {
    CArticExpTempo::operator=(src);
    m_Notes = src.m_Notes;
    m_Mag = src.m_Mag;
    m_FermataTime = src.m_FermataTime;
    return *this;
}

int CArticExpTempoFermata::CreWrkTempoFermata(INT64 start, INT64 end) {
    CArticWrk* wrk = nullptr;
    CArticWrkBlk* blk = nullptr;
    if (MidTarget(&wrk, &blk)) return 1;
    return CArticWrkUtil::TempoRelAreaFix(wrk, blk, start, end, m_Mag);
}

// Every note is visited whatever happens; the first failure (with its texts)
// is the result and the one report.
int CArticExpTempoFermata::ConvToWrk() {
    CString content, detail, method = "ConvToWrk";
    int rc = 1;
    bool visited = false;
    const CArticWrkEvntList* notes = m_Notes.Get();
    for (POSITION p = notes ? notes->GetHeadPosition() : nullptr; p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        int one = 1;
        CString c, d, m = "ConvToWrk";
        if (!note) {
        } else if (GetType() == 0 || GetType() == 1) {
            const INT64 on = note->GetTime();
            one = CreWrkTempoFermata(on, AddTicks(on, GetType() == 0 ? INT64(m_FermataTime) : note->GetGateTime()));
            if (one != 0) {
                c = GetType() == 0 ? "ﾌｪﾙﾏｰﾀの範囲を音値で指定する際にｴﾗｰが発生した。"
                                   : "ﾌｪﾙﾏｰﾀの範囲を対象音符の音値で指定する際にｴﾗｰが発生した。";
                m = "ConvToWrk => CreTempoFermata";
            }
        } else {
            c = kTempoUnsupportedType;
            d = TempoTypeDetail(GetType());
        }
        if (!visited || (rc == 0 && one != 0)) {
            rc = one;
            content = c;
            detail = d;
            method = m;
        }
        visited = true;
    }
    if (rc != 0) DispErrMsg(kPhase1Title, content, method, detail);
    return rc;
}

// ================================================================ Breath

CArticExpTempoBreath::CArticExpTempoBreath(CArticExpBlk* owner, ULONG evntNo, BYTE type,
                                           const CArticWrkEvntList* notes, WORD mag, ULONG breathTime)
    : CArticExpTempo(owner, evntNo, type, nullptr), m_Notes(notes), m_Mag(mag), m_BreathTime(breathTime) {}

CArticExpTempoBreath& CArticExpTempoBreath::operator=(const CArticExpTempoBreath& src) {
    CArticExpTempo::operator=(src);
    m_Notes = src.m_Notes;
    m_Mag = src.m_Mag;
    m_BreathTime = src.m_BreathTime;
    return *this;
}

int CArticExpTempoBreath::CreWrkTempoBreath(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end) {
    if (!wrk || !blk) return 1;
    return CArticWrkUtil::TempoRelAreaFix(wrk, blk, start, end, m_Mag);
}

int CArticExpTempoBreath::CreWrkTempoBreath(CArticWrkEvnt* note) {
    const char* const method = "ConvToWrk => CreTempoBreath";
    CString content, detail;
    CArticWrk* wrk = nullptr;
    CArticWrkBlk* blk = nullptr;
    int rc = 1;
    if (note && MidTarget(&wrk, &blk) == 0) {
        const INT64 end0 = OffTime(note);
        if (GetType() == 0) {
            rc = CreWrkTempoBreath(wrk, blk, end0, AddTicks(end0, INT64(m_BreathTime)));
            if (rc != 0) content = "ﾌﾞﾚｽの範囲を音値で指定する際にｴﾗｰが発生した。";
        } else if (GetType() == 1 || GetType() == 2) {
            const bool bar = GetType() == 1;
            INT64 t = end0;
            rc = CArticWrkUtil::GetTime(wrk, bar ? 3 : 4, &t);
            if (rc != 0) {
                content = bar ? "絶対時間から「次の小節の先頭」時刻を算出する際にｴﾗｰが発生した。"
                              : "絶対時間から「次の拍の先頭」時刻を算出する際にｴﾗｰが発生した。";
            } else {
                rc = CreWrkTempoBreath(wrk, blk, end0, t);
                if (rc != 0)
                    content = bar ? "ﾌﾞﾚｽの範囲（終了時刻）を「小節の先頭」で指定する際にｴﾗｰが発生した。"
                                  : "ﾌﾞﾚｽの範囲（終了時刻）を「拍の先頭」で指定する際にｴﾗｰが発生した。";
            }
        } else {
            content = kTempoUnsupportedType;
            detail = TempoTypeDetail(GetType());
        }
    }
    if (rc != 0) DispErrMsg(kPhase1Title, content, method, detail);
    return rc;
}

int CArticExpTempoBreath::ConvToWrk() {
    const CArticWrkEvntList* notes = m_Notes.Get();
    if (!notes || notes->IsEmpty()) {
        DispErrMsg(kPhase1Title, "", "ConvToWrk => CreTempoBreath", "");
        return 1;
    }
    int rc = 1;
    for (POSITION p = notes->GetHeadPosition(); p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        if (!note) {
            rc = 1;
            continue;
        }
        rc = CreWrkTempoBreath(note);
        if (rc != 0) return rc;
    }
    if (rc != 0) DispErrMsg(kPhase1Title, "", "ConvToWrk => CreTempoBreath", "");
    return rc;
}
