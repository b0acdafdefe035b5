#include "engine/expressions/ArticExpStresVelo.h"

#include <algorithm>

#include "engine/work/ArticTicks.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::AddTicks;

VX_IMPLEMENT_CLASS(CArticExpStresVelo, CArticExpStres);
VX_IMPLEMENT_CLASS(CArticExpStresVeloNote, CArticExpStresVelo);
VX_IMPLEMENT_CLASS(CArticExpStresVeloTime, CArticExpStresVelo);
VX_IMPLEMENT_CLASS(CArticExpStresVeloNoteAbs, CArticExpStresVeloNote);
VX_IMPLEMENT_CLASS(CArticExpStresVeloNoteRel, CArticExpStresVeloNote);
VX_IMPLEMENT_CLASS(CArticExpStresVeloTimeAbs, CArticExpStresVeloTime);
VX_IMPLEMENT_CLASS(CArticExpStresVeloTimeRel, CArticExpStresVeloTime);
VX_IMPLEMENT_CLASS(CArticExpStresVeloTimeRelCrv, CArticExpStresVelo);

namespace {

const char* const kNoteEditFailed = "音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集中にｴﾗｰが発生しました。";

bool IsNoteOn(const CArticWrkEvnt* e) { return e && e->GetStatus() == 0x90; }

CString TypeDetail(BYTE type) {
    CString detail;
    detail.Format("処理番号 = %u", unsigned(type));
    return detail;
}

// The time of the note-on of blk nearest to t (the later of two equally near):
// 0; 1 when the block has none.
int NearestNoteTime(CArticWrkBlk* blk, INT64* t) {
    int found = 0;
    if (CArticWrkUtil::GetNearNoteTime2(blk, 0, t, &found) != 0 || !found) return 1;
    return 0;
}

}  // namespace

BYTE CArticExpStresVelo::LimitVelo(int velo) { return BYTE(std::clamp(velo, 1, 127)); }

CArticExpStresVelo::CArticExpStresVelo(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes)
    : CArticExpStres(owner, evntNo, notes) {}

CArticExpStresVelo& CArticExpStresVelo::operator=(const CArticExpStresVelo& src) {
    CArticExpStres::operator=(src);
    return *this;
}

// ================================================================ Listed notes

CArticExpStresVeloNote::CArticExpStresVeloNote(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes)
    : CArticExpStresVelo(owner, evntNo, notes) {}

CArticExpStresVeloNote& CArticExpStresVeloNote::operator=(const CArticExpStresVeloNote& src) {
    CArticExpStresVelo::operator=(src);
    return *this;
}

int CArticExpStresVeloNote::ConvToWrk() {
    if (ForEachListed(GetWrkEvntList(), [this](CArticWrkEvnt* note) { return ModWrkNoteVel(note); }) == 0) return 0;
    if (GetErrKind() == 0) DispErrMsg(kPhase1Title, kNoteEditFailed, "ConvToWrk", "");
    return 1;
}

CArticExpStresVeloNoteAbs::CArticExpStresVeloNoteAbs(CArticExpBlk* owner, ULONG evntNo,
                                                     const CArticWrkEvntList* notes, BYTE velo)
    : CArticExpStresVeloNote(owner, evntNo, notes), m_Velo(velo) {}

CArticExpStresVeloNoteAbs& CArticExpStresVeloNoteAbs::operator=(const CArticExpStresVeloNoteAbs& src) {
    CArticExpStresVeloNote::operator=(src);
    m_Velo = src.m_Velo;
    return *this;
}

int CArticExpStresVeloNoteAbs::ModWrkNoteVel(CArticWrkEvnt* note) {
    if (!IsNoteOn(note)) return 1;
    note->SetPost2(LimitVelo(m_Velo));
    return 0;
}

CArticExpStresVeloNoteRel::CArticExpStresVeloNoteRel(CArticExpBlk* owner, ULONG evntNo,
                                                     const CArticWrkEvntList* notes, signed char add)
    : CArticExpStresVeloNote(owner, evntNo, notes), m_Add(add) {}

CArticExpStresVeloNoteRel& CArticExpStresVeloNoteRel::operator=(const CArticExpStresVeloNoteRel& src) {
    CArticExpStresVeloNote::operator=(src);
    m_Add = src.m_Add;
    return *this;
}

int CArticExpStresVeloNoteRel::ConvToWrk() { return m_Add == 0 ? 0 : CArticExpStresVeloNote::ConvToWrk(); }

int CArticExpStresVeloNoteRel::ModWrkNoteVel(CArticWrkEvnt* note) {
    if (!IsNoteOn(note)) return 1;
    note->SetPost2(LimitVelo(int(note->GetPost2()) + m_Add));
    return 0;
}

// ================================================================ From a position

CArticExpStresVeloTime::CArticExpStresVeloTime(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas)
    : CArticExpStresVelo(owner, evntNo, nullptr), m_Type(type) {
    if (meas) m_Meas = *meas;
}

CArticExpStresVeloTime& CArticExpStresVeloTime::operator=(const CArticExpStresVeloTime& src) {
    CArticExpStresVelo::operator=(src);
    m_Type = src.m_Type;
    m_Meas = src.m_Meas;
    return *this;
}

int CArticExpStresVeloTime::ConvToWrk() {
    const char* content = nullptr;
    const char* method = nullptr;
    int rc = 1;
    if (m_Type == 0) {
        if ((rc = ResetWrkVeloType0()) == 0) return 0;
        content = "指定時刻以降のNoteｲﾍﾞﾝﾄのVelocityを変更する際にｴﾗｰが発生した。";
        method = "ConvToWrk => ResetWrkVeloType0";
    } else if (m_Type == 1) {
        if ((rc = ResetWrkVeloType1()) == 0) return 0;
        content = "近隣音符以降のNoteｲﾍﾞﾝﾄのVelocityを変更する際にｴﾗｰが発生した。";
        method = "ConvToWrk => ResetWrkVeloType1";
    }
    if (GetErrKind() == 0) {
        if (content)
            DispErrMsg(kPhase1Title, content, method, "");
        else
            DispErrMsg(kPhase1Title, "未対応の処理番号が指定されている。", "ConvToWrk", TypeDetail(m_Type));
    }
    return rc;
}

int CArticExpStresVeloTime::Reset(bool nearest) {
    CArticWrkBlk* blk = GetOwner() ? GetMidWrkBlk(0) : nullptr;
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    if (!wrk) return 1;
    INT64 t = 0;
    if (int rc = CArticWrkUtil::GetTime(wrk, 0, &m_Meas, &t)) return rc;
    if (nearest && NearestNoteTime(blk, &t) != 0) return 1;
    return ApplyFrom(wrk, blk, t);
}

int CArticExpStresVeloTime::ResetWrkVeloType0() { return Reset(false); }
int CArticExpStresVeloTime::ResetWrkVeloType1() { return Reset(true); }

CArticExpStresVeloTimeAbs::CArticExpStresVeloTimeAbs(CArticExpBlk* owner, ULONG evntNo, BYTE type,
                                                     const CArticMeas* meas, BYTE velo)
    : CArticExpStresVeloTime(owner, evntNo, type, meas), m_Velo(velo) {}

CArticExpStresVeloTimeAbs& CArticExpStresVeloTimeAbs::operator=(const CArticExpStresVeloTimeAbs& src) {
    CArticExpStresVeloTime::operator=(src);
    m_Velo = src.m_Velo;
    return *this;
}

int CArticExpStresVeloTimeAbs::ApplyFrom(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t) {
    return CArticWrkUtil::NoteVeloTimeAbs(wrk, blk, t, LimitVelo(m_Velo));
}

CArticExpStresVeloTimeRel::CArticExpStresVeloTimeRel(CArticExpBlk* owner, ULONG evntNo, BYTE type,
                                                     const CArticMeas* meas, signed char add)
    : CArticExpStresVeloTime(owner, evntNo, type, meas), m_Add(add) {}

CArticExpStresVeloTimeRel& CArticExpStresVeloTimeRel::operator=(const CArticExpStresVeloTimeRel& src) {
    CArticExpStresVeloTime::operator=(src);
    m_Add = src.m_Add;
    return *this;
}

int CArticExpStresVeloTimeRel::ApplyFrom(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t) {
    return CArticWrkUtil::NoteVeloTimeRel(wrk, blk, t, m_Add);
}

// ================================================================ Curve

CArticExpStresVeloTimeRelCrv::CArticExpStresVeloTimeRelCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type,
                                                           const CArticWrkEvntList* notes, const CArticMeas* meas,
                                                           const CArticMeas* endMeas, signed char startAdd,
                                                           signed char endAdd, signed char curve)
    : CArticExpStresVelo(owner, evntNo, notes), m_Type(type), m_StartAdd(startAdd), m_EndAdd(endAdd), m_Curve(curve) {
    SetEvntType(1);
    if (meas) m_Meas = *meas;
    if (endMeas) m_EndMeas = *endMeas;
}

CArticExpStresVeloTimeRelCrv::CArticExpStresVeloTimeRelCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type,
                                                           const CArticWrkEvntList* notes, const CArticMeas* meas,
                                                           ULONG timeW, signed char startAdd, signed char endAdd,
                                                           signed char curve)
    : CArticExpStresVelo(owner, evntNo, notes),
      m_Type(type),
      m_TimeW(timeW),
      m_StartAdd(startAdd),
      m_EndAdd(endAdd),
      m_Curve(curve) {
    SetEvntType(2);
    if (meas) m_Meas = *meas;
}

CArticExpStresVeloTimeRelCrv& CArticExpStresVeloTimeRelCrv::operator=(const CArticExpStresVeloTimeRelCrv& src) {
    CArticExpStresVelo::operator=(src);
    m_Type = src.m_Type;
    m_Meas = src.m_Meas;
    m_EndMeas = src.m_EndMeas;
    m_TimeW = src.m_TimeW;
    m_StartAdd = src.m_StartAdd;
    m_EndAdd = src.m_EndAdd;
    m_Curve = src.m_Curve;
    return *this;
}

int CArticExpStresVeloTimeRelCrv::ConvToWrk() {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    CArticWrkEvnt* first = notes && !notes->IsEmpty() ? notes->GetHead() : nullptr;
    CArticWrkBlk* blk = first ? first->GetOwner() : nullptr;
    if (!blk) {
        if (GetErrKind() == 0) DispErrMsg(kPhase1Title, "", "ConvToWrk", "");
        return 1;
    }
    const BYTE replace = (m_Type >> 1) & 1;
    const BYTE hold = (m_Type >> 2) & 1;
    const bool nearest = (m_Type & 1) != 0;
    const int rc = nearest ? CreWrkVeloType1(blk, replace, hold) : CreWrkVeloType0(blk, replace, hold);
    if (rc != 0 && GetErrKind() == 0) {
        if (nearest)
            DispErrMsg(kPhase1Title, "近隣音符の範囲内でCcを指定する際にｴﾗｰが発生した。",
                       "ConvToWrk => CreWrkContCcType1", "");
        else
            DispErrMsg(kPhase1Title, "指定時刻の範囲内でCcを指定する際にｴﾗｰが発生した。",
                       "ConvToWrk => CreWrkContCcType0", "");
    }
    return rc;
}

int CArticExpStresVeloTimeRelCrv::Span(CArticWrkBlk* blk, INT64* t0, INT64* t1) {
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    if (!wrk) return 1;
    if (int rc = CArticWrkUtil::GetTime(wrk, 0, &m_Meas, t0)) return rc;
    if (GetEvntType() == 1) return CArticWrkUtil::GetTime(wrk, 0, &m_EndMeas, t1);
    if (GetEvntType() != 2) return 1;
    *t1 = AddTicks(*t0, INT64(m_TimeW));
    return 0;
}

int CArticExpStresVeloTimeRelCrv::CreWrkVeloType0(CArticWrkBlk* blk, BYTE replace, BYTE hold) {
    INT64 t0 = 0, t1 = 0;
    if (int rc = Span(blk, &t0, &t1)) return rc;
    return replace ? ReplaceVeloCrv(blk, t0, t1, hold) : AddVeloCrv(blk, t0, t1, hold);
}

int CArticExpStresVeloTimeRelCrv::CreWrkVeloType1(CArticWrkBlk* blk, BYTE replace, BYTE hold) {
    INT64 t0 = 0, t1 = 0;
    if (int rc = Span(blk, &t0, &t1)) return rc;
    // Without a note-on the ends stay where they are.
    INT64 n0 = t0, n1 = t1;
    if (NearestNoteTime(blk, &n0) == 0) t0 = n0;
    if (NearestNoteTime(blk, &n1) == 0) t1 = n1;
    return replace ? ReplaceVeloCrv(blk, t0, t1, hold) : AddVeloCrv(blk, t0, t1, hold);
}

template <class F>
int CArticExpStresVeloTimeRelCrv::WalkCrv(CArticWrkBlk* blk, INT64 t0, INT64 t1, BYTE hold, F newVelo) {
    if (!blk || !blk->GetEvntList()) return 1;
    _WRK_EVNT rec;
    rec.Status = 0x90;
    LONG velo = 0, at = 0;
    const INT64 limit = blk->GetNextCondPos(rec, t1, &velo, &at) == 0 ? INT64(at) : kWrkNoTime;
    if (t0 >= limit) return 0;
    const INT64 len = t1 - t0;
    const LONG delta = LONG(m_EndAdd) - LONG(m_StartAdd);
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        const INT64 v = e->GetTime();
        const bool noteOn = (e->GetStatus() & 0xF0) == 0x90;
        if (v < t0) continue;
        if (v <= t1) {
            if (noteOn && t0 < t1) {
                const int level = CArticWrkUtil::CalcCrvLevel(v - t0, len, delta, m_StartAdd, m_Curve);
                e->SetPost2(newVelo(e->GetPost2(), level));
            }
            continue;
        }
        if (!hold) break;
        if (noteOn && v < limit) e->SetPost2(newVelo(e->GetPost2(), m_EndAdd));
    }
    return 0;
}

int CArticExpStresVeloTimeRelCrv::AddVeloCrv(CArticWrkBlk* blk, INT64 t0, INT64 t1, BYTE hold) {
    return WalkCrv(blk, t0, t1, hold, [](int velo, int level) { return LimitVelo(velo + level); });
}

int CArticExpStresVeloTimeRelCrv::ReplaceVeloCrv(CArticWrkBlk* blk, INT64 t0, INT64 t1, BYTE hold) {
    return WalkCrv(blk, t0, t1, hold, [](int, int level) { return LimitVelo(level); });
}
