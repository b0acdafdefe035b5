#include "engine/builtins/ArticSrchProb.h"

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchProb, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchProb2, CArticSrchProb);
VX_IMPLEMENT_CLASS(CArticSrchProbPre, CArticSrchProb);
VX_IMPLEMENT_CLASS(CArticSrchProbNext, CArticSrchProb);
VX_IMPLEMENT_CLASS(CArticSrchProbWrkPre, CArticSrchProb);
VX_IMPLEMENT_CLASS(CArticSrchProbWrkNext, CArticSrchProb);
VX_IMPLEMENT_CLASS(CArticSrchProbPre2, CArticSrchProb2);
VX_IMPLEMENT_CLASS(CArticSrchProbNext2, CArticSrchProb2);
VX_IMPLEMENT_CLASS(CArticSrchProbWrkPre2, CArticSrchProb2);
VX_IMPLEMENT_CLASS(CArticSrchProbWrkNext2, CArticSrchProb2);

CArticWrkEvnt* CArticSrchProb::Step(CArticWrkEvnt*, int) { return nullptr; }

CArticWrkEvnt* CArticSrchProb::Start(ArticSrchCall& call) {
    CArticWrkEvnt* current = GetRulSet() ? GetRulSet()->GetWrkEvnt() : nullptr;
    if (!current) call.Fail();
    return current;
}

int CArticSrchProb::SearchProb() {
    ArticSrchCall call(this);
    double setNo = 0.0;
    call.Num(m_pRulElmI1, &setNo);
    CArticWrkEvnt* start = Start(call);
    CArticRulDataEvnt* out = call.OutEvnt(m_pRulElmO1);
    CArticRulDataVal* found = call.OutVal(m_pRulElmO2);
    CArticWrkEvnt* hit = nullptr;
    if (call.Ok()) {
        const LONG n = DoubleToLong(setNo);
        if (n < 0) {
            call.Fail();  // silently
        } else {
            hit = Step(start, int(n));
        }
    }
    ArticSrchPut(out, hit);
    ArticSrchPut(found, hit ? 1.0 : 0.0);
    return call.Result();
}

CArticSrchProb2::CArticSrchProb2(CArticRulSet* set, ULONG no, CArticRulElm* i1, CArticRulElm* i2, CArticRulElm* o1,
                                 CArticRulElm* o2)
    : CArticSrchProb(set, no, i1, o1, o2) {
    BindRulElm(&m_pRulElmI2, i2);
    SetInNum(2);
}

CArticSrchProb2::~CArticSrchProb2() { DeleteRulElm(&m_pRulElmI2); }

void CArticSrchProb2::GetInRulElmList(CArticRulElmList* list) {
    CArticSrchProb::GetInRulElmList(list);
    if (list && m_pRulElmI2) list->AddTail(m_pRulElmI2);
}

CArticWrkEvnt* CArticSrchProb2::Start(ArticSrchCall& call) {
    CArticWrkEvnt* note = nullptr;
    if (GetWrkEvnt(m_pRulElmI2, &note) != 0 || !note) {
        note = nullptr;
        call.Refuse(m_pRulElmI2);  // an event operand records nothing
    }
    return note;
}

CArticWrkEvnt* CArticSrchProbPre::Step(CArticWrkEvnt* s, int n) { return CArticWrkUtil::GetPrevProbNote(s, n); }
CArticWrkEvnt* CArticSrchProbNext::Step(CArticWrkEvnt* s, int n) { return CArticWrkUtil::GetNextProbNote(s, n); }
CArticWrkEvnt* CArticSrchProbWrkPre::Step(CArticWrkEvnt* s, int n) { return CArticWrkUtil::GetWrkPrevProbNote(s, n); }
CArticWrkEvnt* CArticSrchProbWrkNext::Step(CArticWrkEvnt* s, int n) { return CArticWrkUtil::GetWrkNextProbNote(s, n); }
CArticWrkEvnt* CArticSrchProbPre2::Step(CArticWrkEvnt* s, int n) { return CArticWrkUtil::GetPrevProbNote(s, n); }
CArticWrkEvnt* CArticSrchProbNext2::Step(CArticWrkEvnt* s, int n) { return CArticWrkUtil::GetNextProbNote(s, n); }
CArticWrkEvnt* CArticSrchProbWrkPre2::Step(CArticWrkEvnt* s, int n) { return CArticWrkUtil::GetWrkPrevProbNote(s, n); }
CArticWrkEvnt* CArticSrchProbWrkNext2::Step(CArticWrkEvnt* s, int n) { return CArticWrkUtil::GetWrkNextProbNote(s, n); }
