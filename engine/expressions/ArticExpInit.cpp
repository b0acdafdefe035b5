#include "engine/expressions/ArticExpInit.h"

#include <algorithm>

#include "engine/expressions/ArticExp.h"
#include "engine/work/ArticTicks.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::AddTicks;

VX_IMPLEMENT_CLASS(CArticExpInit, CArticExpEvnt);
VX_IMPLEMENT_CLASS(CArticExpInitPrm, CArticExpInit);
VX_IMPLEMENT_CLASS(CArticExpInitPrmChange, CArticExpInitPrm);
VX_IMPLEMENT_CLASS(CArticExpInitPrmChange2, CArticExpInitPrmChange);
VX_IMPLEMENT_CLASS(CArticExpInitPrmChangeKv, CArticExpInitPrm);
VX_IMPLEMENT_CLASS(CArticExpInitPrmChangeKv2, CArticExpInitPrmChangeKv);
VX_IMPLEMENT_CLASS(CArticExpInitKvinit, CArticExpInit);
VX_IMPLEMENT_CLASS(CArticExpInitKvinit2, CArticExpInit);
VX_IMPLEMENT_CLASS(CArticExpInitPro, CArticExpInit);
VX_IMPLEMENT_CLASS(CArticExpInitPro2, CArticExpInitPro);
VX_IMPLEMENT_CLASS(CArticExpInitPbRange, CArticExpInit);
VX_IMPLEMENT_CLASS(CArticExpInitPbRange2, CArticExpInitPbRange);
VX_IMPLEMENT_CLASS(CArticExpInitPrmChange3, CArticExpArray);
VX_IMPLEMENT_CLASS(CArticExpInitPrmChangeKv3, CArticExpInitPrmChange3);
VX_IMPLEMENT_CLASS(CArticExpInitPro3, CArticExpArray);
VX_IMPLEMENT_CLASS(CArticExpInitPbRange3, CArticExpArray);

namespace {

const char* const kWrongInfo = "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄを編集するための情報に誤りがある。";
const char* const kNoTargetBlk = "出力先の中間音符ﾃﾞｰﾀ・ﾌﾞﾛｯｸが見つからない。";
const char* const kKvModel = "4C";

CString NumberText(const char* label, unsigned value) {
    CString text;
    text.Format("%s%u", label, value);
    return text;
}

// A parameter-change message at t in e: false when the texts are not hex of the right lengths.
bool BuildPrmChange(CArticWrkEvnt* e, INT64 t, const CString& model, const CString& adrs, const CString& data) {
    BYTE* bytes = nullptr;
    BYTE status = 0;
    const ULONG len = CArticUtil::SetSysExParam(&bytes, &status, model, adrs, data);
    if (len == 0 || !bytes) return false;
    e->SetStatus(0xF0);
    e->SetTime(t, 1);
    e->SetGateTime(0);
    e->SetMeta(0, bytes, len);
    delete[] bytes;
    return true;
}

// The note's block and work data and its time plus offset (0 at the earliest).
bool NoteTarget(CArticWrkEvnt* note, INT64 offset, CArticWrkBlk** blk, CArticWrk** wrk, INT64* t) {
    *blk = note ? note->GetOwner() : nullptr;
    *wrk = *blk ? (*blk)->GetWrk() : nullptr;
    if (!*wrk) return false;
    *t = std::max<INT64>(0, AddTicks(note->GetTime(), offset));
    return true;
}

// Reports a refused conversion, unless one was reported already: 1.
int RefuseConv(CArticExpEvnt* self, const char* content, const CString& detail) {
    if (self->GetErrKind() == 0) self->DispErrMsg(CArticExpEvnt::kPhase1Title, content, "ConvToWrk", detail);
    return 1;
}

// Runs step on every listed note until one fails: 0; the failing step's
// code; 1 when no step ran. Reports the failure once with detail.
template <class Step>
int EachListedNote(CArticExpArray* self, const CString& detail, Step step) {
    const CArticWrkEvntList* notes = self->GetWrkEvntList();
    int rc = 1;
    bool ran = false;
    for (POSITION p = notes ? notes->GetHeadPosition() : nullptr; p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        if (!note) continue;
        ran = true;
        if ((rc = step(note)) != 0) break;
    }
    if (ran && rc == 0) return 0;
    RefuseConv(self, kWrongInfo, detail);
    return ran ? rc : 1;
}

}  // namespace

// ================================================================ Base

CArticExpInit::CArticExpInit(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas)
    : CArticExpEvnt(owner, evntNo), m_pMeas(new CArticMeas(1, 1, 0)) {
    if (meas) *m_pMeas = *meas;
    SetEvntType(1);
}

CArticExpInit::CArticExpInit(CArticExpBlk* owner, ULONG evntNo, INT64 time) : CArticExpEvnt(owner, evntNo), m_Time(time) {
    SetEvntType(2);
}

CArticExpInit::~CArticExpInit() { delete m_pMeas; }

CArticExpInit& CArticExpInit::operator=(const CArticExpInit& src) {
    if (this == &src) return *this;
    CArticExpEvnt::operator=(src);
    if (src.m_pMeas) {
        if (!m_pMeas) m_pMeas = new CArticMeas();
        *m_pMeas = *src.m_pMeas;
    } else {
        delete m_pMeas;
        m_pMeas = nullptr;
    }
    m_Time = src.m_Time;
    return *this;
}

INT64 CArticExpInit::GetTime() const {
    if (GetEvntType() == 2) return m_Time;
    CArticWrk* wrk = GetWrk();
    INT64 t = 0;
    if (GetEvntType() == 1 && m_pMeas && wrk) wrk->GetEvntTime(m_pMeas->GetMeas(), m_pMeas->GetBeat(), m_pMeas->GetTick(), &t);
    return t;
}

int CArticExpInit::GetMidWrkTrkBlk(ULONG trkNo, ULONG blkNo, CArticWrkBlk** blk) const {
    CArticWrkBlk* found = GetMidWrkTrkBlk(trkNo, blkNo);
    if (blk) *blk = found;
    return found ? 1 : 0;
}

CArticWrkBlk* CArticExpInit::GetMidWrkTrkBlk(ULONG trkNo, ULONG blkNo) const {
    CArticWrk* mid = GetMidWrk();
    CArticWrkTrk* trk = mid ? mid->Get(trkNo) : nullptr;
    return trk ? trk->Get(blkNo) : nullptr;
}

void CArticExpInit::SetMeas(ULONG meas, ULONG beat, ULONG tick) {
    if (!m_pMeas) m_pMeas = new CArticMeas();
    m_pMeas->Set(meas, beat, tick);
}

int CArticExpInit::TimeIn(CArticWrk* wrk, INT64* t) const {
    if (!wrk) return 1;
    if (GetEvntType() != 1) {
        *t = m_Time;
        return 0;
    }
    if (!m_pMeas) return 1;
    *t = 0;
    wrk->GetEvntTime(m_pMeas->GetMeas(), m_pMeas->GetBeat(), m_pMeas->GetTick(), t);
    return 0;
}

void CArticExpInit::InsertEvnt(CArticWrkBlk* blk, CArticWrkEvnt* e) const { blk->Sort(e, 1); }

int CArticExpInit::PlaceOne() {
    if (!GetOwner()) return 1;
    CArticWrkBlk* blk = GetTargetBlk();
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    CString detail = GetDetail();
    if (!blk && IsNumberedTarget()) detail = kNoTargetBlk + CString(BlockTextSeparator()) + detail;
    INT64 t = 0;
    if (wrk && TimeIn(wrk, &t) == 0) {
        if (t >= kNoPosition) return 0;
        CArticWrkEvnt* e = nullptr;
        if (int rc = CArticWrkUtil::CreateWrkEvnt(wrk, blk, &e)) return rc;
        if (BuildEvnt(e, t)) {
            InsertEvnt(blk, e);
            e->SetCreate(1);
            return RegisterEvnt(blk, e);
        }
        delete e;
    }
    return RefuseConv(this, kWrongInfo, detail);
}

// ================================================================ Parameter changes

CArticExpInitPrm::CArticExpInitPrm(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas, const char* modelID,
                                   const char* prmAdrs, const char* prmData)
    : CArticExpInit(owner, evntNo, meas) {
    SetModelID(modelID);
    SetPrmAdrs(prmAdrs);
    SetPrmData(prmData);
}

CArticExpInitPrm::CArticExpInitPrm(CArticExpBlk* owner, ULONG evntNo, INT64 time, const char* modelID,
                                   const char* prmAdrs, const char* prmData)
    : CArticExpInit(owner, evntNo, time) {
    SetModelID(modelID);
    SetPrmAdrs(prmAdrs);
    SetPrmData(prmData);
}

CArticExpInitPrm& CArticExpInitPrm::operator=(const CArticExpInitPrm& src) {
    CArticExpInit::operator=(src);
    m_ModelID = src.m_ModelID;
    m_PrmAdrs = src.m_PrmAdrs;
    m_PrmData = src.m_PrmData;
    return *this;
}

bool CArticExpInitPrm::BuildEvnt(CArticWrkEvnt* e, INT64 t) const {
    return BuildPrmChange(e, t, m_ModelID, m_PrmAdrs, m_PrmData);
}

CArticExpInitPrmChange::CArticExpInitPrmChange(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas,
                                               const char* modelID, const char* prmAdrs, const char* prmData)
    : CArticExpInitPrm(owner, evntNo, meas, modelID, prmAdrs, prmData) {}

CArticExpInitPrmChange::CArticExpInitPrmChange(CArticExpBlk* owner, ULONG evntNo, INT64 time, const char* modelID,
                                               const char* prmAdrs, const char* prmData)
    : CArticExpInitPrm(owner, evntNo, time, modelID, prmAdrs, prmData) {}

CArticExpInitPrmChange& CArticExpInitPrmChange::operator=(const CArticExpInitPrmChange& src) {
    CArticExpInitPrm::operator=(src);
    return *this;
}

CArticExpInitPrmChangeKv::CArticExpInitPrmChangeKv(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas,
                                                   const char* prmAdrs, const char* prmData)
    : CArticExpInitPrm(owner, evntNo, meas, kKvModel, prmAdrs, prmData) {}

CArticExpInitPrmChangeKv::CArticExpInitPrmChangeKv(CArticExpBlk* owner, ULONG evntNo, INT64 time,
                                                   const char* prmAdrs, const char* prmData)
    : CArticExpInitPrm(owner, evntNo, time, kKvModel, prmAdrs, prmData) {}

CArticExpInitPrmChangeKv& CArticExpInitPrmChangeKv::operator=(const CArticExpInitPrmChangeKv& src) {
    CArticExpInitPrm::operator=(src);
    return *this;
}

// ================================================================ System on

namespace {

bool BuildSystemOn(CArticWrkEvnt* e, INT64 t) {
    BYTE* bytes = nullptr;
    BYTE status = 0;
    const ULONG len = CArticUtil::SetSysExParam(&bytes, &status, 0, 0, 0x7E, 0);
    if (len == 0 || !bytes) return false;
    e->SetStatus(0xF0);
    e->SetTime(t, 1);
    e->SetGateTime(0);
    e->SetMeta(0, bytes, len);
    delete[] bytes;
    return true;
}

}  // namespace

CArticExpInitKvinit::CArticExpInitKvinit(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas)
    : CArticExpInit(owner, evntNo, meas) {}

CArticExpInitKvinit::CArticExpInitKvinit(CArticExpBlk* owner, ULONG evntNo, INT64 time)
    : CArticExpInit(owner, evntNo, time) {}

CArticExpInitKvinit& CArticExpInitKvinit::operator=(const CArticExpInitKvinit& src) {
    CArticExpInit::operator=(src);
    return *this;
}

bool CArticExpInitKvinit::BuildEvnt(CArticWrkEvnt* e, INT64 t) const { return BuildSystemOn(e, t); }
void CArticExpInitKvinit::InsertEvnt(CArticWrkBlk* blk, CArticWrkEvnt* e) const { blk->SortBefore(e, 1); }

bool CArticExpInitKvinit2::BuildEvnt(CArticWrkEvnt* e, INT64 t) const { return BuildSystemOn(e, t); }
void CArticExpInitKvinit2::InsertEvnt(CArticWrkBlk* blk, CArticWrkEvnt* e) const { blk->SortBefore(e, 1); }

// ================================================================ Program

CArticExpInitPro::CArticExpInitPro(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas, BYTE bsMsb, BYTE bsLsb,
                                   BYTE progNo)
    : CArticExpInit(owner, evntNo, meas), m_BsMsb(bsMsb), m_BsLsb(bsLsb), m_ProgNo(progNo) {}

CArticExpInitPro::CArticExpInitPro(CArticExpBlk* owner, ULONG evntNo, INT64 time, BYTE bsMsb, BYTE bsLsb,
                                   BYTE progNo)
    : CArticExpInit(owner, evntNo, time), m_BsMsb(bsMsb), m_BsLsb(bsLsb), m_ProgNo(progNo) {}

CArticExpInitPro& CArticExpInitPro::operator=(const CArticExpInitPro& src) {
    CArticExpInit::operator=(src);
    m_BsMsb = src.m_BsMsb;
    m_BsLsb = src.m_BsLsb;
    m_ProgNo = src.m_ProgNo;
    return *this;
}

bool CArticExpInitPro::BuildEvnt(CArticWrkEvnt* e, INT64 t) const {
    e->SetStatus(0x30);
    e->SetTime(t, 1);
    e->SetPost1(MidiData(m_BsMsb));
    e->SetPost2(MidiData(m_BsLsb));
    e->SetPost3(MidiData(m_ProgNo));
    return true;
}

int CArticExpInitPro::RegisterEvnt(CArticWrkBlk* blk, CArticWrkEvnt* e) const { return blk->SetCondPos(e); }

// ================================================================ Pitch-bend range

CArticExpInitPbRange::CArticExpInitPbRange(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                                           BYTE range)
    : CArticExpInit(owner, evntNo, meas), m_Type(type), m_Range(range) {}

CArticExpInitPbRange::CArticExpInitPbRange(CArticExpBlk* owner, ULONG evntNo, BYTE type, INT64 time, BYTE range)
    : CArticExpInit(owner, evntNo, time), m_Type(type), m_Range(range) {}

CArticExpInitPbRange& CArticExpInitPbRange::operator=(const CArticExpInitPbRange& src) {
    CArticExpInit::operator=(src);
    m_Type = src.m_Type;
    m_Range = src.m_Range;
    return *this;
}

int CArticExpInitPbRange::ConvToWrk() {
    if (m_Range > 12)
        return RefuseConv(this, "12より大きい指定したPBﾚﾝｼﾞが指定されている。", NumberText("PBﾚﾝｼﾞ = ", m_Range));
    if (m_Type > 1) return RefuseConv(this, "未対応の処理番号が指定されている。", NumberText("処理番号 = ", m_Type));
    const int rc = m_Type == 0 ? CreWrkPbRangeType0() : CreWrkPbRangeType1();
    if (rc != 0 && GetErrKind() == 0) {
        if (m_Type == 0)
            DispErrMsg(kPhase1Title, "指定時刻にPBﾚﾝｼﾞを指定する際にｴﾗｰが発生した。", "ConvToWrk => CreWrkContCcType0", "");
        else
            DispErrMsg(kPhase1Title, "近隣音符の時刻にPBﾚﾝｼﾞを指定する際にｴﾗｰが発生した。",
                       "ConvToWrk => CreWrkContCcType1", "");
    }
    return rc;
}

int CArticExpInitPbRange::CreWrkPbRangeType0() { return Write(false); }
int CArticExpInitPbRange::CreWrkPbRangeType1() { return Write(true); }

int CArticExpInitPbRange::Write(bool nearest) {
    CArticWrkBlk* blk = GetTargetBlk();
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    if (!wrk) return 1;
    INT64 t = GetTimeValue();
    if (GetEvntType() == 1) {
        CArticMeas pos = GetMeas() ? *GetMeas() : CArticMeas();
        if (int rc = CArticWrkUtil::GetTime(wrk, 0, &pos, &t)) return rc;
    }
    if (nearest) {
        int found = 0;
        if (CArticWrkUtil::GetNearNoteTime2(blk, 0, &t, &found) != 0 || !found) return 1;
        if (t >= 5) t -= 5;
    }
    CArticWrkEvnt* e = nullptr;
    if (int rc = CArticWrkUtil::CreateWrkEvnt(wrk, blk, &e)) return rc;
    e->SetStatus(0x20);
    e->SetTime(t, 1);
    e->SetPost1(0);
    e->SetPost2(0);
    e->SetPost3(m_Range);
    e->SetPost4(0);
    blk->Sort(e, 1);
    e->SetCreate(1);
    return blk->SetCondPos(e);
}

// ================================================================ At every listed note

CArticExpInitPrmChange3::CArticExpInitPrmChange3(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                                 LONG time, const char* modelID, const char* prmAdrs,
                                                 const char* prmData)
    : CArticExpArray(owner, evntNo, notes), m_Time(time) {
    SetModelID(modelID);
    SetPrmAdrs(prmAdrs);
    SetPrmData(prmData);
}

CArticExpInitPrmChange3& CArticExpInitPrmChange3::operator=(const CArticExpInitPrmChange3& src) {
    CArticExpArray::operator=(src);
    m_Time = src.m_Time;
    m_ModelID = src.m_ModelID;
    m_PrmAdrs = src.m_PrmAdrs;
    m_PrmData = src.m_PrmData;
    return *this;
}

CString CArticExpInitPrmChange3::GetDetail() const {
    return "ﾃﾞｰﾀ： " + m_ModelID + " " + m_PrmAdrs + " " + m_PrmData;
}

int CArticExpInitPrmChange3::ConvToWrk() {
    return EachListedNote(this, GetDetail(), [this](CArticWrkEvnt* note) { return CreInitPrmChange(note); });
}

int CArticExpInitPrmChange3::CreInitPrmChange(CArticWrkEvnt* note) {
    CArticWrkBlk* blk = nullptr;
    CArticWrk* wrk = nullptr;
    INT64 t = 0;
    // The offset is added in 64 bits.
    if (!NoteTarget(note, m_Time, &blk, &wrk, &t)) return 1;
    CArticWrkEvnt* e = nullptr;
    if (int rc = CArticWrkUtil::CreateWrkEvnt(wrk, blk, &e)) return rc;
    if (!BuildPrmChange(e, t, m_ModelID, m_PrmAdrs, m_PrmData)) {
        delete e;
        return 1;
    }
    blk->Sort(e, 1);
    e->SetCreate(1);
    return 0;
}

CArticExpInitPrmChangeKv3::CArticExpInitPrmChangeKv3(CArticExpBlk* owner, ULONG evntNo,
                                                     const CArticWrkEvntList* notes, LONG time, const char* prmAdrs,
                                                     const char* prmData)
    : CArticExpInitPrmChange3(owner, evntNo, notes, time, kKvModel, prmAdrs, prmData) {}

CArticExpInitPrmChangeKv3& CArticExpInitPrmChangeKv3::operator=(const CArticExpInitPrmChangeKv3& src) {
    CArticExpInitPrmChange3::operator=(src);
    return *this;
}

CString CArticExpInitPrmChangeKv3::GetDetail() const { return "ﾃﾞｰﾀ： " + GetPrmAdrs() + " " + GetPrmData(); }

CArticExpInitPro3::CArticExpInitPro3(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, LONG time,
                                     BYTE bsMsb, BYTE bsLsb, BYTE progNo)
    : CArticExpArray(owner, evntNo, notes), m_Time(time), m_BsMsb(bsMsb), m_BsLsb(bsLsb), m_ProgNo(progNo) {}

CArticExpInitPro3& CArticExpInitPro3::operator=(const CArticExpInitPro3& src) {
    CArticExpArray::operator=(src);
    m_Time = src.m_Time;
    m_BsMsb = src.m_BsMsb;
    m_BsLsb = src.m_BsLsb;
    m_ProgNo = src.m_ProgNo;
    return *this;
}

int CArticExpInitPro3::ConvToWrk() {
    return EachListedNote(this, CString(), [this](CArticWrkEvnt* note) { return CreInitPro(note); });
}

int CArticExpInitPro3::CreInitPro(CArticWrkEvnt* note) {
    CArticWrkBlk* blk = nullptr;
    CArticWrk* wrk = nullptr;
    INT64 t = 0;
    if (!NoteTarget(note, m_Time, &blk, &wrk, &t)) return 1;
    if (t >= INT64(0x7FFFFFFFFFFFFFFF) - 1) return 0;
    // The bank selects go one tick ahead of the program change; at time 0
    // they stand at 0 ahead of it, never before the song's start.
    const INT64 bankAt = std::max<INT64>(0, t - 1);
    if (int rc = CArticWrkUtil::CreContCcTime(wrk, blk, bankAt, 0, MidiData(m_BsMsb))) return rc;
    if (int rc = CArticWrkUtil::CreContCcTime(wrk, blk, bankAt, 32, MidiData(m_BsLsb))) return rc;
    CArticWrkEvnt* e = nullptr;
    if (int rc = CArticWrkUtil::CreateWrkEvnt(wrk, blk, &e)) return rc;
    e->SetStatus(0xC0);
    e->SetTime(t, 1);
    e->SetPost1(MidiData(m_ProgNo));
    blk->Sort(e, 1);
    e->SetCreate(1);
    return blk->SetCondPosMulti(e, MidiData(m_BsMsb), MidiData(m_BsLsb));
}

CArticExpInitPbRange3::CArticExpInitPbRange3(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                             LONG time, BYTE range)
    : CArticExpArray(owner, evntNo, notes), m_Time(time), m_Range(range) {}

CArticExpInitPbRange3& CArticExpInitPbRange3::operator=(const CArticExpInitPbRange3& src) {
    CArticExpArray::operator=(src);
    m_Time = src.m_Time;
    m_Range = src.m_Range;
    return *this;
}

int CArticExpInitPbRange3::ConvToWrk() {
    if (m_Range > 127) return RefuseConv(this, kWrongInfo, NumberText("PBﾚﾝｼﾞ = ", m_Range));
    return EachListedNote(this, CString(), [this](CArticWrkEvnt* note) { return CreInitPbRange(note); });
}

namespace {

// A selector or data-entry controller in force before a time.
struct InForce {
    bool found = false;
    INT64 time = 0;
    int value = 0;
};

// The search around the note goes by event numbers and so never reaches the
// controllers that the expressions of earlier notes wrote (they are numbered
// after every event of the song); the note's own block, in time order, holds
// them. The later of the two finds is in force.
InForce ControllerBefore(CArticWrkEvnt* note, INT64 t, BYTE number) {
    CArticWrkEvnt* found = CArticWrkUtil::GetFrontContCcEvnt(note, t, number);
    const CArticWrkBlk* blk = note ? note->GetOwner() : nullptr;
    for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (!e || e->GetTime() >= t) break;
        if (e->GetStatus() == 0xB0 && e->GetPost1() == number && (!found || e->GetTime() > found->GetTime()))
            found = e;
    }
    InForce f;
    if (found) {
        f.found = true;
        f.time = found->GetTime();
        f.value = found->GetPost2();
    } else {
        f.value = CArticUtil::GetDefaultContVal(number);
    }
    return f;
}

}  // namespace

int CArticExpInitPbRange3::CreInitPbRange(CArticWrkEvnt* note) {
    CArticWrkBlk* blk = nullptr;
    CArticWrk* wrk = nullptr;
    INT64 t = 0;
    if (!NoteTarget(note, m_Time, &blk, &wrk, &t)) return 1;
    if (t >= CArticExpInit::kNoPosition) return 0;
    InForce a = ControllerBefore(note, t, 101), b = ControllerBefore(note, t, 100);
    const InForce d = ControllerBefore(note, t, 6);
    InForce c = ControllerBefore(note, t, 99), e = ControllerBefore(note, t, 98);
    const INT64 tA = a.time, tB = b.time, tC = c.time, tE = e.time;
    // A non-registered selection made after the registered one replaces it.
    if (tC > tA || tC > tB || tE > tA || tE > tB) a.found = b.found = false;
    if (tA > tC || tA > tE || tB > tC || tB > tE) c.found = e.found = false;
    const bool zA = a.found && a.value == 0;
    const bool zB = b.found && b.value == 0;

    const bool writeData = !(zA && zB && d.value == m_Range);
    const bool restoreA = (a.found && a.value != 0) || (!a.found && b.found);
    const bool restoreB = (b.found && b.value != 0) || (!b.found && a.found);
    const bool restoreNrpn = c.found || e.found;
    const INT64 latest = std::max({INT64(0), tA, tB, d.time, tC, tE});
    const INT64 gap = t - latest >= 1 && t - latest <= 14 ? t - latest : 15;
    const INT64 p1 = std::max<INT64>(0, t - gap / 3);
    const INT64 p2 = std::max<INT64>(0, t - (2 * gap) / 3);

    if (restoreA)
        if (int rc = CArticWrkUtil::CreContCcTimeBefore(wrk, blk, t, 101, BYTE(a.found ? a.value : 127))) return rc;
    if (restoreB)
        if (int rc = CArticWrkUtil::CreContCcTimeBefore(wrk, blk, t, 100, BYTE(b.found ? b.value : 127))) return rc;
    if (restoreNrpn) {
        if (int rc = CArticWrkUtil::CreContCcTimeBefore(wrk, blk, t, 99, BYTE(c.found ? c.value : 127))) return rc;
        if (int rc = CArticWrkUtil::CreContCcTimeBefore(wrk, blk, t, 98, BYTE(e.found ? e.value : 127))) return rc;
    }
    if (writeData) {
        CArticWrkEvnt* entry = nullptr;
        if (int rc = CArticWrkUtil::CreateWrkEvnt(wrk, blk, &entry)) return rc;
        entry->SetStatus(0xB0);
        entry->SetTime(p1, 1);
        entry->SetPost1(6);
        entry->SetPost2(m_Range);
        blk->Sort(entry, 1);
        entry->SetCreate(1);
        if (int rc = blk->SetCondPosMulti(entry, 0, 0)) return rc;
    }
    if (!zA)
        if (int rc = CArticWrkUtil::CreContCcTime(wrk, blk, p2, 101, 0)) return rc;
    if (!zB)
        if (int rc = CArticWrkUtil::CreContCcTime(wrk, blk, p2, 100, 0)) return rc;
    return 0;
}
