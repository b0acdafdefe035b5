#include "engine/expressions/ArticExpDur.h"

#include <algorithm>
#include <set>

#include "engine/expressions/ArticExp.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticTicks.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::AddTicks;

VX_IMPLEMENT_CLASS(CArticExpDur, CArticExpEvnt);
VX_IMPLEMENT_CLASS(CArticExpKey, CArticExpEvnt);
VX_IMPLEMENT_CLASS(CArticExpDurRel, CArticExpDur);
VX_IMPLEMENT_CLASS(CArticExpDurRel2, CArticExpDur);
VX_IMPLEMENT_CLASS(CArticExpDurAbs, CArticExpDur);
VX_IMPLEMENT_CLASS(CArticExpDurBp, CArticExpDur);
VX_IMPLEMENT_CLASS(CArticExpDurAll, CArticExpDur);
VX_IMPLEMENT_CLASS(CArticExpKeySft, CArticExpKey);

namespace {

const char* const kDurEditFailed = "音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集中にｴﾗｰが発生しました。";

}  // namespace

// ================================================================ Bases

CArticExpDur::CArticExpDur(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes)
    : CArticExpEvnt(owner, evntNo), m_Notes(notes) {}

CArticExpDur& CArticExpDur::operator=(const CArticExpDur& src) {
    CArticExpEvnt::operator=(src);
    m_Notes = src.m_Notes;
    return *this;
}

int CArticExpDur::ConvToWrk() {
    if (ForEachListed(GetWrkEvntList(), [this](CArticWrkEvnt* note) { return DurWrkNote(note); }) == 0) return 0;
    if (GetErrKind() == 0) DispErrMsg(kPhase1Title, kDurEditFailed, "ConvToWrk", "");
    return 1;
}

int CArticExpDur::DurWrkNote(CArticWrkEvnt* note) {
    if (!note) return 1;
    note->SetGateTime(std::max<INT64>(0, NewGate(note->GetGateTime())));
    return 0;
}

INT64 CArticExpDur::BeatUnitGate(INT64 g, ULONG beatUnit, WORD mag) {
    // In 64 bits: a Mag above 100 lengthens the note.
    if (g > INT64(beatUnit)) return g - INT64((100 - INT64(mag)) * double(beatUnit) / 100.0);
    return INT64(double(mag) * double(g) / 100.0);
}

CArticExpKey::CArticExpKey(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes)
    : CArticExpEvnt(owner, evntNo), m_Notes(notes) {}

CArticExpKey& CArticExpKey::operator=(const CArticExpKey& src) {
    CArticExpEvnt::operator=(src);
    m_Notes = src.m_Notes;
    return *this;
}

CArticWrkBlk* CArticExpKey::GetFirstNoteWrkBlk() const { return FirstHeldNoteBlk(GetMidWrk(), GetWrkEvntList()); }

// ================================================================ Durations

CArticExpDurRel::CArticExpDurRel(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, WORD mag)
    : CArticExpDur(owner, evntNo, notes), m_Mag(mag) {}

CArticExpDurRel& CArticExpDurRel::operator=(const CArticExpDurRel& src) {
    CArticExpDur::operator=(src);
    m_Mag = src.m_Mag;
    return *this;
}

INT64 CArticExpDurRel::NewGate(INT64 g) const {
    const INT64 m = INT64(m_Mag * 10.24 + 0.5);
    return (m * g) >> 10;  // 64 bits: a long note at a large Mag does not overflow
}

CArticExpDurRel2::CArticExpDurRel2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, LONG add)
    : CArticExpDur(owner, evntNo, notes), m_Add(add) {}

CArticExpDurRel2& CArticExpDurRel2::operator=(const CArticExpDurRel2& src) {
    CArticExpDur::operator=(src);
    m_Add = src.m_Add;
    return *this;
}

INT64 CArticExpDurRel2::NewGate(INT64 g) const { return AddTicks(g, m_Add); }

CArticExpDurAbs::CArticExpDurAbs(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, ULONG dur)
    : CArticExpDur(owner, evntNo, notes), m_Dur(dur) {}

CArticExpDurAbs& CArticExpDurAbs::operator=(const CArticExpDurAbs& src) {
    CArticExpDur::operator=(src);
    m_Dur = src.m_Dur;
    return *this;
}

INT64 CArticExpDurAbs::NewGate(INT64) const { return INT64(m_Dur); }

CArticExpDurBp::CArticExpDurBp(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, ULONG beatUnit,
                               WORD mag)
    : CArticExpDur(owner, evntNo, notes), m_BeatUnit(beatUnit), m_Mag(mag) {}

CArticExpDurBp& CArticExpDurBp::operator=(const CArticExpDurBp& src) {
    CArticExpDur::operator=(src);
    m_BeatUnit = src.m_BeatUnit;
    m_Mag = src.m_Mag;
    return *this;
}

INT64 CArticExpDurBp::NewGate(INT64 g) const { return BeatUnitGate(g, m_BeatUnit, m_Mag); }

CArticExpDurAll::CArticExpDurAll(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas,
                                 const CArticMeas* endMeas, ULONG beatUnit, WORD mag)
    : CArticExpDur(owner, evntNo, nullptr), m_BeatUnit(beatUnit), m_Mag(mag) {
    if (meas) m_Meas = *meas;
    if (endMeas) m_EndMeas = *endMeas;
}

CArticExpDurAll& CArticExpDurAll::operator=(const CArticExpDurAll& src) {
    CArticExpDur::operator=(src);
    m_Meas = src.m_Meas;
    m_EndMeas = src.m_EndMeas;
    m_BeatUnit = src.m_BeatUnit;
    m_Mag = src.m_Mag;
    return *this;
}

INT64 CArticExpDurAll::NewGate(INT64 g) const { return BeatUnitGate(g, m_BeatUnit, m_Mag); }

int CArticExpDurAll::ConvToWrk() {
    CArticWrkBlk* blk = GetMidWrkBlk(0);
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    if (!wrk || !blk->GetEvntList()) {
        if (GetErrKind() == 0) DispErrMsg(kPhase1Title, kDurEditFailed, "ConvToWrk", "");
        return 1;
    }
    INT64 t0 = 0, t1 = 0;
    if (int rc = CArticWrkUtil::GetTime(wrk, 0, &m_Meas, &t0)) return rc;
    if (int rc = CArticWrkUtil::GetTime(wrk, 0, &m_EndMeas, &t1)) return rc;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (e->GetStatus() == 0x90 && e->GetTime() >= t0 && e->GetTime() <= t1) DurWrkNote(e);
    }
    return 0;
}

// ================================================================ Key shift

CArticExpKeySft::CArticExpKeySft(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                 signed char shift)
    : CArticExpKey(owner, evntNo, notes), m_Shift(shift) {}

CArticExpKeySft& CArticExpKeySft::operator=(const CArticExpKeySft& src) {
    CArticExpKey::operator=(src);
    m_Shift = src.m_Shift;
    return *this;
}

int CArticExpKeySft::ConvToWrk() {
    if (m_Shift == 0) return 0;
    const CArticWrkEvntList* notes = GetWrkEvntList();
    if (!notes) return 1;
    int rc = 0;
    for (POSITION p = notes->GetHeadPosition(); p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        if (!note) continue;
        if ((note->GetStatus() & 0xF0) != 0x90) {
            if (GetErrKind() == 0) {
                CString detail;
                detail.Format("音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ = %u", unsigned(note->GetEvntNo()));
                DispErrMsg(kPhase1Title, "Note以外のｲﾍﾞﾝﾄが存在する。", "ConvToWrk", detail);
            }
            rc = 1;
            continue;
        }
        const BYTE key = BYTE(std::clamp(int(note->GetPost1()) + m_Shift, 0, 127));
        note->SetPost1(key);
        CArticWrkBlk* first = GetFirstNoteWrkBlk();
        CArticWrk* wrk = first ? first->GetWrk() : nullptr;
        SetKeyTail(wrk, note, key);
        SetKeyHead(wrk, note, key);
        if (CArticWrkEvnt* proc = note->GetProcWrkEvnt()) proc->AddKeyShift(m_Shift);
    }
    return rc;
}

namespace {

// Stores key with set along the reference chain from evnt; a chain that
// comes back to an event already visited ends there.
template <class F>
int AlongChain(CArticWrk* wrk, CArticWrkEvnt* evnt, F set) {
    if (!wrk || !evnt) return 1;
    std::set<const CArticWrkEvnt*> visited;
    while (evnt && visited.insert(evnt).second) {
        CArticPos* rec = nullptr;
        if (wrk->GetEvntPos(evnt, &rec) != 0 || !rec) return 1;
        set(rec);
        CArticWrkEvnt* ref = rec->GetRefWrkEvnt();
        if (ref == evnt) return 0;
        evnt = ref;
    }
    return 0;
}

}  // namespace

int CArticExpKeySft::SetKeyHead(CArticWrk* wrk, CArticWrkEvnt* note, BYTE key) {
    return AlongChain(wrk, note, [key](CArticPos* rec) { rec->SetKeyHead(key); });
}

int CArticExpKeySft::SetKeyTail(CArticWrk* wrk, CArticWrkEvnt* note, BYTE key) {
    return AlongChain(wrk, note, [key](CArticPos* rec) { rec->SetKeyTail(key); });
}
