#include "engine/builtins/ArticSrchArrayEva.h"

#include <algorithm>

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRul.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchEvaArrayEvntType, CArticSrchGetArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchEvaArrayEvntRng, CArticSrchGetArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchEvaArrayEvntArp, CArticSrchGetArrayEvnt);

int CArticSrchEvaArrayEvntType::Search() {
    ArticSrchCall call(this);
    double kind = 0.0, x = 0.0;
    call.Num(m_pRulElmI1, &kind);
    if (call.Num(m_pRulElmI2, &x) && x < 0.0) call.Refuse(m_pRulElmI2);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    double value = 0.0;
    if (call.Ok() && rul) {
        switch (DoubleToLong(kind)) {
            case 0: value = rul->GapTimeRulDataEvntArray(srchnum::Unsigned(x)); break;
            case 1: value = rul->IntervalTimeRulDataEvntArray(srchnum::Unsigned(x)); break;
            case 2: value = rul->IntervalKeyRulDataEvntArray(srchnum::LowByte(x)); break;
            default: call.Fail(); break;  // silently
        }
    } else {
        call.Fail();
    }
    ArticSrchPut(out, value);
    return call.Result();
}

namespace {

// The value of an EvaArrayEvntRng kind over notes (not empty).
double RangeValue(int kind, const std::vector<CArticWrkEvnt*>& notes) {
    const int field = kind / 3, form = kind % 3;  // field: key, gate, velocity; form: max, min, average
    auto fieldOf = [field](const CArticWrkEvnt* e) -> INT64 {
        return field == 0 ? e->GetPost1() : field == 1 ? e->GetGateTime() : e->GetPost2();
    };
    if (form == 2) {
        uint32_t sum = 0;  // the sum wraps at 32 bits, gate times by their low 32 bits
        for (const CArticWrkEvnt* e : notes) sum += uint32_t(fieldOf(e));
        return double(INT64(double(sum) / double(notes.size()) + 0.5));
    }
    const INT64 start = form == 0 ? 0 : field == 1 ? 2147483647 : 127;
    INT64 best = start;
    for (const CArticWrkEvnt* e : notes) best = form == 0 ? std::max(best, fieldOf(e)) : std::min(best, fieldOf(e));
    return field == 1 ? double(uint32_t(best)) : double(best);
}

}  // namespace

int CArticSrchEvaArrayEvntRng::Search() {
    ArticSrchCall call(this);
    double kind = 0.0;
    call.Num(m_pRulElmI1, &kind);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    std::vector<CArticWrkEvnt*>& notes = m_Notes;
    srcharray::Notes(rul, &notes);
    const int32_t k = DoubleToLong(kind);
    double value = 0.0;
    if (!call.Ok() || notes.empty() || k < 0 || k > 8)
        call.Fail();
    else
        value = RangeValue(k, notes);
    notes.clear();
    ArticSrchPut(out, value);
    return call.Result();
}

int CArticSrchEvaArrayEvntArp::Search() {
    ArticSrchCall call(this);
    double tol = 0.0;
    if (call.Num(m_pRulElmI1, &tol) && tol < 0.0) call.Refuse(m_pRulElmI1);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    const std::vector<CArticWrkEvnt*> notes = srcharray::Notes(call.Rul());
    double value = 0.0;
    if (!call.Ok() || notes.empty())
        call.Fail();
    else
        value = EvaArpg(notes, srchnum::Unsigned(tol));
    ArticSrchPut(out, value);
    return call.Result();
}

CArticWrkEvnt* CArticSrchEvaArrayEvntArp::GetNextRenpuEvnt(const Group& list, CArticWrkEvnt* note) {
    auto it = std::find(list.begin(), list.end(), note);
    return it == list.end() || it + 1 == list.end() ? nullptr : *(it + 1);
}

void CArticSrchEvaArrayEvntArp::GetRenpuDir(const Group& group, bool* rising, bool* falling) {
    *rising = *falling = false;
    for (size_t i = 1; i < group.size(); ++i) {
        if (group[i]->GetPost1() > group[i - 1]->GetPost1()) *rising = true;
        if (group[i]->GetPost1() < group[i - 1]->GetPost1()) *falling = true;
    }
}

int CArticSrchEvaArrayEvntArp::GetRenpuInfo(const Group& group, ULONG* span, std::vector<BYTE>* shape) {
    *span = 0;
    shape->clear();
    if (group.size() < 2) return 1;
    const int32_t s = int32_t(uint32_t(group.back()->GetTime()) - uint32_t(group.front()->GetTime()));
    *span = s < 0 ? 0 : ULONG(s);
    for (size_t i = 1; i < group.size(); ++i) {
        const BYTE a = group[i - 1]->GetPost1(), b = group[i]->GetPost1();
        shape->push_back(b > a ? 1 : b < a ? 255 : 0);
    }
    return 0;
}

int CArticSrchEvaArrayEvntArp::GetRenpu(const Group& list, int g, int reorder, GroupList* groups) {
    DeleteRenpuList(groups);
    const int n = int(list.size());
    if (n <= 3 || g <= 0 || n % g != 0) return 0;
    size_t smallest = 0;
    ULONG smallestSpan = 0;
    for (int i = 0; i < n; i += g) {
        if (!srcharray::IsNote(list[size_t(i)])) {
            DeleteRenpuList(groups);
            return 0;
        }
        groups->emplace_back(list.begin() + i, list.begin() + i + g);
        ULONG span = 0;
        std::vector<BYTE> shape;
        GetRenpuInfo(groups->back(), &span, &shape);
        if (groups->size() == 1 || span < smallestSpan) {
            smallest = groups->size() - 1;
            smallestSpan = span;
        }
    }
    if (reorder && smallest != 0) {
        Group moved = (*groups)[smallest];
        groups->erase(groups->begin() + long(smallest));
        groups->insert(groups->begin(), moved);
    }
    return 1;
}

int CArticSrchEvaArrayEvntArp::EvaInterval(const Group& list, int g) {
    GroupList groups;
    if (!GetRenpu(list, g, 0, &groups)) return 0;
    for (size_t i = 0; i + 1 < groups.size(); ++i) {
        bool rising = false, falling = false;
        GetRenpuDir(groups[i], &rising, &falling);
        if (!rising && !falling) return 0;
        if (rising && falling) continue;
        CArticWrkEvnt* last = groups[i].back();
        CArticWrkEvnt* next = GetNextRenpuEvnt(list, last);
        if (!next) return 0;
        // A rising repetition must fall into the next one, a falling one rise.
        if (rising ? next->GetPost1() >= last->GetPost1() : next->GetPost1() <= last->GetPost1()) return 0;
    }
    return g;
}

int CArticSrchEvaArrayEvntArp::EvaArpg(const Group& list, ULONG tol) {
    const int n = int(list.size());
    if (n <= 3) return 0;
    for (int g = 2; n / g >= 2; ++g) {
        GroupList groups;
        if (!GetRenpu(list, g, 1, &groups)) continue;
        ULONG span0 = 0;
        std::vector<BYTE> shape0;
        GetRenpuInfo(groups.front(), &span0, &shape0);
        bool same = true;
        for (size_t i = 1; i < groups.size() && same; ++i) {
            ULONG span = 0;
            std::vector<BYTE> shape;
            GetRenpuInfo(groups[i], &span, &shape);
            same = span >= span0 && uint64_t(span) <= uint64_t(span0) + tol && shape == shape0;
        }
        if (same && EvaInterval(list, g) == g) return g;
    }
    return 0;
}
