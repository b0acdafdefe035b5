#include "engine/builtins/ArticSrchArrayClr.h"

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRul.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchClrArrayEvnt, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchClrNumArrayEvnt, CArticSrchClrArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchClrDupArrayEvnt, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchClrExvArrayEvnt, CArticSrchClrDupArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchClrAllArrayEvnt, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchClrAllArrayEvntType, CArticSrchClrAllArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchSortArrayEvntFwdKey, CArticSrchSortArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchSortArrayEvntRvsKey, CArticSrchSortArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchSortArrayEvntFwdTime, CArticSrchSortArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchSortArrayEvntRvsTime, CArticSrchSortArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchSortArrayEvntType, CArticSrchSortArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchSortArrayEvntNoteInfoType, CArticSrchSortArrayEvntType);

int CArticSrchClrArrayEvnt::Search() {
    ArticSrchCall call(this);
    double idx = 0.0;
    call.Num(m_pRulElmI1, &idx);
    CArticRul* rul = call.Rul();
    if (!call.Ok() || idx < 0.0 || !rul) return 1;  // a negative index silently
    // Beyond 32 bits the index stays out of reach instead of wrapping onto a small one.
    const ULONG index = idx < 4294967296.0 ? DoubleToULong(idx) : 0xFFFFFFFFu;
    return rul->SetRulDataEvnt(index, static_cast<CArticWrkEvnt*>(nullptr)) ? 0 : 1;
}

int CArticSrchClrNumArrayEvnt::Search() {
    ArticSrchCall call(this);
    double mode = 0.0, count = 0.0;
    call.Num(m_pRulElmI1, &mode);
    call.Num(m_pRulElmI2, &count);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    CArticRulDataEvntArray* array = rul ? rul->GetRulDataEvntArray() : nullptr;
    const int32_t m = DoubleToLong(mode);
    // An out-of-range mode or count fails without a report.
    if (!call.Ok() || !array || m < 0 || m > 1 || count < 0.0) return ArticSrchFail(out);
    const int keep = srchnum::Count(count);
    int occupied = 0, left = 0;
    const int tail = rul->GetTailElmNoRulDataEvnt();
    for (int i = 0; i <= tail; ++i) {
        if (!array->GetAt(i)) continue;
        const bool first = occupied++ < keep;
        if (first == (m == 0)) {
            ++left;
        } else {
            rul->SetRulDataEvnt(ULONG(i), static_cast<CArticWrkEvnt*>(nullptr));
        }
    }
    ArticSrchPut(out, double(left));
    return 0;
}

int CArticSrchClrDupArrayEvnt::Search() {
    ArticSrchCall call(this);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    if (!call.Ok() || !rul) return ArticSrchFail(out);
    ArticSrchPut(out, double(rul->ClearDupRulDataEvntArray()));
    return 0;
}

int CArticSrchClrExvArrayEvnt::Search() {
    ArticSrchCall call(this);
    CArticRulDataAry* ary = call.Ary(m_pRulElmI1);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    if (!call.Ok() || !rul) return ArticSrchFail(out);
    CArticWrkEvntList notes(10);
    ary->GetEvntList(&notes);
    ArticSrchPut(out, double(rul->ClearExvRulDataEvntArray(&notes)));
    return 0;
}

int CArticSrchClrAllArrayEvnt::Search() {
    if (CArticRul* rul = ArticSrchCall(this).Rul()) rul->ClearRulDataEvntArray();
    return 0;
}

int CArticSrchClrAllArrayEvntType::Search() {
    ArticSrchCall call(this);
    double sw = 0.0;
    if (!call.Num(m_pRulElmI1, &sw)) return 1;
    if (sw == 0.0) return 0;
    CArticRul* rul = call.Rul();
    if (!rul) return 1;
    rul->ClearRulDataEvntArray();
    return 0;
}

namespace {

using SortOp = int (CArticRul::*)();

// Runs a sort of the program and writes the number of notes: the result.
int RunSort(ArticSrchCall& call, CArticRulDataVal* out, SortOp sort) {
    CArticRul* rul = call.Rul();
    if (!call.Ok() || !rul || !sort) {
        call.Fail();
        ArticSrchPut(out, 0.0);
        return 1;
    }
    ArticSrchPut(out, double((rul->*sort)()));
    return 0;
}

const SortOp kSorts[12] = {
    &CArticRul::SortFwdKeyRulDataEvntArray,  &CArticRul::SortRvsKeyRulDataEvntArray,
    &CArticRul::SortFwdTimeRulDataEvntArray, &CArticRul::SortRvsTimeRulDataEvntArray,
    &CArticRul::SortFwdNoRulDataEvntArray,   &CArticRul::SortRvsNoRulDataEvntArray,
    &CArticRul::SortFwdDurRulDataEvntArray,  &CArticRul::SortRvsDurRulDataEvntArray,
    &CArticRul::SortFwdOffRulDataEvntArray,  &CArticRul::SortRvsOffRulDataEvntArray,
    &CArticRul::SortFwdGenRulDataEvntArray,  &CArticRul::SortRvsGenRulDataEvntArray,
};

}  // namespace

#define VX_SRCH_SORT_RUN(cls, kind)                              \
    int cls::Search() {                                          \
        ArticSrchCall call(this);                                \
        return RunSort(call, call.OutVal(m_pRulElmO1), kSorts[kind]); \
    }
VX_SRCH_SORT_RUN(CArticSrchSortArrayEvntFwdKey, 0)
VX_SRCH_SORT_RUN(CArticSrchSortArrayEvntRvsKey, 1)
VX_SRCH_SORT_RUN(CArticSrchSortArrayEvntFwdTime, 2)
VX_SRCH_SORT_RUN(CArticSrchSortArrayEvntRvsTime, 3)
#undef VX_SRCH_SORT_RUN

int CArticSrchSortArrayEvntType::Search() {
    ArticSrchCall call(this);
    double kind = 0.0;
    const int32_t k = call.Num(m_pRulElmI1, &kind) ? DoubleToLong(kind) : 0;
    if (call.Ok() && (k < 0 || k > 11)) call.Refuse(m_pRulElmI1);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    return RunSort(call, out, call.Ok() ? kSorts[k] : nullptr);
}

int CArticSrchSortArrayEvntNoteInfoType::Search() {
    ArticSrchCall call(this);
    double kind = 0.0, idx = 0.0;
    call.Num(m_pRulElmI1, &kind);
    call.Num(m_pRulElmI2, &idx);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    const int32_t k = DoubleToLong(kind);
    int slot = 0;
    // An out-of-range kind or idx fails without a report.
    if (!call.Ok() || !rul || k < 0 || k > 1 || !srchnum::SlotIndex(idx, &slot)) return ArticSrchFail(out);
    ArticSrchPut(out, double(k == 0 ? rul->SortFwdNoteInfoRulDataEvntArray(slot)
                                    : rul->SortRvsNoteInfoRulDataEvntArray(slot)));
    return 0;
}
