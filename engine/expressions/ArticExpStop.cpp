#include "engine/expressions/ArticExpStop.h"

#include <algorithm>
#include <vector>

#include "engine/work/ArticTicks.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::AddTicks;
using articticks::SubTicks;
using articticks::OffTime;

VX_IMPLEMENT_CLASS(CArticExpArrayStop, CArticExpArray);
VX_IMPLEMENT_CLASS(CArticExpArrayUsrStop, CArticExpArrayStop);

namespace {

const char* const kOpeTitle = "中間操作ﾃﾞｰﾀ作成時にｴﾗｰが発生しました。";

// Index 0 the lowest key; equal keys keep their order.
void SortNotesByKey(CArticWrkEvntList* list) {
    if (!list) return;
    std::vector<CArticWrkEvnt*> notes;
    for (POSITION p = list->GetHeadPosition(); p;) notes.push_back(list->GetNext(p));
    std::stable_sort(notes.begin(), notes.end(), [](const CArticWrkEvnt* a, const CArticWrkEvnt* b) {
        if (a && b) return a->GetPost1() < b->GetPost1();
        return a && !b;  // empty entries last
    });
    list->RemoveAll();
    for (CArticWrkEvnt* e : notes) list->AddTail(e);
}

}  // namespace

CArticExpArrayStop::CArticExpArrayStop(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                       signed char direction, ULONG directionTime, ULONG allowableTime)
    : CArticExpArray(owner, evntNo, notes),
      m_Direction(direction),
      m_DirectionTime(directionTime),
      m_AllowableTime(allowableTime) {
    SortNotesByKey(GetWrkEvntList());
}

CArticExpArrayStop& CArticExpArrayStop::operator=(const CArticExpArrayStop& src) {
    CArticExpArray::operator=(src);
    m_Direction = src.m_Direction;
    m_DirectionTime = src.m_DirectionTime;
    m_AllowableTime = src.m_AllowableTime;
    return *this;
}

int CArticExpArrayStop::ConvToWrk() {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    int rc = 1;
    if (notes) {
        const int count = notes->GetCount();
        if (count != 3 && count != 4) return 0;
        if ((rc = count == 3 ? CreWrkNoteStop3() : CreWrkNoteStop4()) == 0) return 0;
    }
    if (GetErrKind() == 0) DispErrMsg(kOpeTitle, "操作ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ作成中にｴﾗｰが発生しました。", "ConvToOpe", "");
    return rc;
}

int CArticExpArrayStop::CreWrkNoteStop3() { return CreWrkNoteStop(3); }
int CArticExpArrayStop::CreWrkNoteStop4() { return CreWrkNoteStop(4); }

int CArticExpArrayStop::CreWrkNoteStop(int count) {
    CArticWrkEvntList* notes = GetWrkEvntList();
    CArticWrkBlk* blk = GetOwner() && notes ? GetMidWrkBlk(0) : nullptr;
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    if (!wrk || notes->GetCount() != count) return 1;
    CArticWrkEvntList copy(10);
    copy.AddTail(*notes);
    INT64 first = 0;
    if (int rc = CArticWrkUtil::GetFirstTime(&copy, &first)) {
        if (GetErrKind() == 0) DispErrMsg(kOpeTitle, "最も早い開始時刻をGETできません。", "CArticWrkUtil::GetFirstTime", "");
        return rc;
    }
    if (m_Direction == 0) return 1;
    using Step = int (CArticExpArrayStop::*)(CArticWrk*, CArticWrkBlk*, INT64, int);
    const Step reset = &CArticExpArrayStop::ResetWrkTime;
    const Step contract = &CArticExpArrayStop::ContractWrkDuration;
    const Step shift = &CArticExpArrayStop::ShiftWrkTime;
    std::vector<std::pair<Step, int>> steps;
    const bool up = m_Direction > 0;
    if (count == 3)
        steps = up ? std::vector<std::pair<Step, int>>{{reset, 0}, {contract, 0}, {reset, 1}, {shift, 2}}
                   : std::vector<std::pair<Step, int>>{{reset, 2}, {contract, 2}, {reset, 1}, {shift, 0}};
    else
        steps = up ? std::vector<std::pair<Step, int>>{{reset, 0}, {contract, 0}, {reset, 1}, {contract, 1}, {shift, 2}, {shift, 3}}
                   : std::vector<std::pair<Step, int>>{{reset, 2}, {contract, 2}, {reset, 3}, {contract, 3}, {shift, 0}, {shift, 1}};
    for (const auto& [step, index] : steps)
        if (int rc = (this->*step)(wrk, blk, first, index)) return rc;
    return 0;
}

CArticWrkEvnt* CArticExpArrayStop::NoteAt(int index) const {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    POSITION p = notes ? notes->FindIndex(index) : nullptr;
    return p ? notes->GetAt(p) : nullptr;
}

void CArticExpArrayStop::MoveStart(CArticWrkEvnt* note, INT64 start) {
    note->SetGateTime(std::max<INT64>(0, SubTicks(OffTime(note), start)));
    note->SetTime(start, 1);
    // The block stays in time order.
    if (CArticWrkBlk* owner = note->GetOwner()) owner->MoveFromOwnPlace(note);
}

int CArticExpArrayStop::Limit(CArticWrkEvnt* note, const char* method) {
    if (int rc = CArticWrkUtil::LimitDuration(note, INT64(m_AllowableTime))) {
        if (GetErrKind() == 0) DispErrMsg(kPhase1Title, "Durationをﾘﾐｯﾄする際にｴﾗｰが発生しました。", method, "");
        return rc;
    }
    return 0;
}

int CArticExpArrayStop::ResetWrkTime(CArticWrk*, CArticWrkBlk*, INT64 first, int index) {
    CArticWrkEvnt* note = NoteAt(index);
    if (!note) return 1;
    MoveStart(note, first);
    return 0;
}

int CArticExpArrayStop::ContractWrkDuration(CArticWrk*, CArticWrkBlk*, INT64 first, int index) {
    CArticWrkEvnt* note = NoteAt(index);
    if (!note) return 1;
    note->SetGateTime(
        SubTicks(AddTicks(AddTicks(first, INT64(m_DirectionTime)), INT64(m_AllowableTime)), note->GetTime()));
    return Limit(note, "ContractWrkDuration");
}

int CArticExpArrayStop::ShiftWrkTime(CArticWrk*, CArticWrkBlk*, INT64 first, int index) {
    CArticWrkEvnt* note = NoteAt(index);
    if (!note) return 1;
    MoveStart(note, AddTicks(first, INT64(m_DirectionTime)));
    return Limit(note, "ShiftWrkTime");
}

CArticExpArrayUsrStop::CArticExpArrayUsrStop(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                             const char* strDummy, BYTE dummy, const CArticMeas* meas,
                                             const CArticMeas* endMeas, signed char direction, ULONG directionTime,
                                             ULONG allowableTime)
    : CArticExpArrayStop(owner, evntNo, notes, direction, directionTime, allowableTime),
      m_StrDummy(strDummy ? strDummy : ""),
      m_Dummy(dummy) {
    if (meas) m_Meas = *meas;
    if (endMeas) m_EndMeas = *endMeas;
}

CArticExpArrayUsrStop& CArticExpArrayUsrStop::operator=(const CArticExpArrayUsrStop& src) {
    CArticExpArrayStop::operator=(src);
    m_StrDummy = src.m_StrDummy;
    m_Dummy = src.m_Dummy;
    m_Meas = src.m_Meas;
    m_EndMeas = src.m_EndMeas;
    return *this;
}
