#include "engine/rules/ArticRulData.h"

#include "engine/rules/ArticRulText.h"

#include <new>
#include <set>
#include <vector>

#include "services/ArticErr.h"
#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticRulUtil.h"
#include "engine/work/ArticWrkEvnt.h"

VX_IMPLEMENT_CLASS(CArticRulData, CObject);
VX_IMPLEMENT_CLASS(CArticRulDataVal, CArticRulData);
VX_IMPLEMENT_CLASS(CArticRulDataSrchd, CArticRulDataVal);
VX_IMPLEMENT_CLASS(CArticRulDataStr, CArticRulData);
VX_IMPLEMENT_CLASS(CArticRulDataExv, CArticRulData);

using namespace rultext;

namespace {

const char kRunCaption[] = "中間表現ﾃﾞｰﾀの生成中にｴﾗｰが発生しました。";
const char kDivByZero[] = "ﾙｰﾙ・ﾃﾞｰﾀの計算中に0による除算が発生しました。";

// A list of one plain constant, which is what every written output holds:
// its value without the walk, the same as the walk gives.
bool SingleConstant(const CArticRulElmList* list, double* value) {
    if (!list || list->GetCount() != 1) return false;
    const CArticRulElm* elm = list->GetHead();
    if (!elm || elm->GetRulData() || elm->GetRulElmList() || elm->GetDataType() != kElmPlain) return false;
    *value = elm->GetData() * elm->SignFactor();
    return true;
}
}  // namespace

// ---- CArticRulData

void CArticRulData::GetClassNameA(CString* name) const {
    if (name) *name = GetClassNameA();
}

int CArticRulData::GetRulSet(CArticRulSet** set) const {
    if (set) *set = m_pRulSet;
    return 1;
}

CArticWrkEvnt* CArticRulData::CurrentNote() const {
    if (!m_pRulSet) return nullptr;
    CArticRulDataEvnt* current = m_pRulSet->GetDataEvnt();
    return current ? current->GetEvnt(0) : nullptr;
}

CString CArticRulData::Label(const char* kind) const {
    if (m_pRulSet && static_cast<const CObject*>(m_pRulSet->GetDataEvnt()) == this) return "thisEvnt";
    CString label;
    label.Format("%s%u", kind, m_DataNo);
    return label;
}

void CArticRulData::ReportRunErr(const CString& message, const CString& function, const CString& varName) const {
    CString detail;
    if (m_pRulSet) detail.Format("ｾｯﾄ番号 = %d  ", m_pRulSet->GetSetNo());
    detail += "ﾙｰﾙ・ﾃﾞｰﾀ = " + varName;
    if (CArticWrkEvnt* note = CurrentNote()) detail.AppendFormat("  処理対象の音符ｲﾍﾞﾝﾄ番号 = %u", note->GetEvntNo());
    if (m_pRulSet) {
        m_pRulSet->DispErrMsg(kRunCaption, message, function, detail);
    } else {
        CArticErr::Set(message, GetClassNameA(), function, detail);
    }
}

// ---- CArticRulDataVal

CArticRulDataVal::CArticRulDataVal(CArticRulSet* set, ULONG no) : CArticRulData(set, no) {
    NewRulElmList();
    NewExvNoList();
    NewInvNoList();
}

CArticRulDataVal::~CArticRulDataVal() {
    DeleteRulElmList();
    DeleteExvNoList();
    DeleteInvNoList();
}

CArticRulDataVal& CArticRulDataVal::operator=(const CArticRulDataVal& src) {
    if (this == &src) return *this;
    // A list we hold already is emptied and refilled rather than renewed.
    if (src.m_pRulElmList) {
        if (!m_pRulElmList) NewRulElmList();
        CopyRulElmList(src.m_pRulElmList);
    }
    if (src.m_pExvNoList) {
        if (!m_pExvNoList) NewExvNoList();
        CopyExvNoList(src.m_pExvNoList);
    }
    if (src.m_pInvNoList) {
        if (!m_pInvNoList) NewInvNoList();
        CopyInvNoList(src.m_pInvNoList);
    }
    return *this;
}

void CArticRulDataVal::NewRulElmList() {
    DeleteRulElmList();
    m_pRulElmList = new (std::nothrow) CArticRulElmList(10);
}
void CArticRulDataVal::NewExvNoList() {
    DeleteExvNoList();
    m_pExvNoList = new (std::nothrow) CArticDataList(10);
}
void CArticRulDataVal::NewInvNoList() {
    DeleteInvNoList();
    m_pInvNoList = new (std::nothrow) CArticDataList(10);
}
void CArticRulDataVal::DeleteRulElmList() {
    ClearRulElmList();
    delete m_pRulElmList;
    m_pRulElmList = nullptr;
}
void CArticRulDataVal::DeleteExvNoList() {
    ClearExvNoList();
    delete m_pExvNoList;
    m_pExvNoList = nullptr;
}
void CArticRulDataVal::DeleteInvNoList() {
    ClearInvNoList();
    delete m_pInvNoList;
    m_pInvNoList = nullptr;
}
void CArticRulDataVal::ClearRulElmList() { CArticRulUtil::ClearRulElmList(m_pRulElmList); }
void CArticRulDataVal::ClearExvNoList() { CArticRulUtil::ClearDataList(m_pExvNoList); }
void CArticRulDataVal::ClearInvNoList() { CArticRulUtil::ClearDataList(m_pInvNoList); }

void CArticRulDataVal::CopyRulElmList(const CArticRulElmList* src) {
    if (!src || !m_pRulElmList || src == m_pRulElmList) return;
    ClearRulElmList();
    CArticRulUtil::AppendCopies(src, m_pRulElmList);
}
void CArticRulDataVal::CopyExvNoList(const CArticDataList* src) {
    if (!src || !m_pExvNoList || src == m_pExvNoList) return;
    ClearExvNoList();
    CArticRulUtil::AppendCopies(src, m_pExvNoList);
}
void CArticRulDataVal::CopyInvNoList(const CArticDataList* src) {
    if (!src || !m_pInvNoList || src == m_pInvNoList) return;
    ClearInvNoList();
    CArticRulUtil::AppendCopies(src, m_pInvNoList);
}

int CArticRulDataVal::GetRulElmList(CArticRulElmList** list) const {
    if (list) *list = m_pRulElmList;
    return 1;
}
int CArticRulDataVal::GetExvNoList(CArticDataList** list) const {
    if (list) *list = m_pExvNoList;
    return 1;
}
int CArticRulDataVal::GetInvNoList(CArticDataList** list) const {
    if (list) *list = m_pInvNoList;
    return 1;
}

CString CArticRulDataVal::VarName() const {
    if (GetRulSet() && GetRulSet()->GetDataVal() == this) return "prob";
    return Label("val");
}

// The reports are kept out of line: the reads stay lean.
void CArticRulDataVal::ReportSelfReference() const { ReportRunErr(kSelfReference, "GetData", VarName()); }
void CArticRulDataVal::ReportDivByZero() const { ReportRunErr(kDivByZero, "GetData", VarName()); }

double CArticRulDataVal::GetData() { return CArticRulDataVal::GetData(m_pRulElmList); }

double CArticRulDataVal::GetData(const CArticRulElmList* list) {
    if (m_Evaluating) {
        ReportSelfReference();
        return 0.0;
    }
    double result = 0.0;
    if (list && list == m_pRulElmList) return EvalOwn(&result) == Eval::Failed ? 0.0 : result;
    if (SingleConstant(list, &result)) return result;
    m_Evaluating = true;
    Eval r = EvalList(list, &result);
    m_Evaluating = false;
    return r == Eval::Failed ? 0.0 : result;
}

// ---- The resolved form of the own list

bool CArticRulDataVal::IsResolvedCurrent() const { return m_pRulElmList && ResolvedCurrent(); }

void CArticRulDataVal::Resolve() {
    m_Terms.clear();
    m_Groups.clear();
    m_pConst = nullptr;
    m_ResolvedStamp = CArticRulElm::ShapeStamp();
    const int count = m_pRulElmList->GetCount();
    m_Own = {m_pRulElmList, count, count ? m_pRulElmList->GetHead() : nullptr,
             count ? m_pRulElmList->GetTail() : nullptr};
    ResolveList(m_pRulElmList);
    if (m_Terms.size() == 1 && m_Terms.front().kind == Term::Constant) {
        m_pConst = m_Terms.front().elm;
        m_ConstFactor = m_Terms.front().factor;
    }
    m_Resolved = true;
}

void CArticRulDataVal::ResolveList(const CArticRulElmList* list) {
    for (POSITION p = list->GetHeadPosition(); p;) {
        const CArticRulElm* elm = list->GetNext(p);
        if (!elm) continue;
        Term t{elm, elm->GetRulData(), Term::Constant, elm->GetDataType(), elm->GetSign(), elm->SignFactor(), 0};
        if (CArticRulData* var = t.var) {
            // By the exact class of the variable, as the walk reads it.
            const CRuntimeClass* cls = var->GetRuntimeClass();
            if (cls == VX_RUNTIME_CLASS(CArticRulDataVal) && t.member == kElmPlain) {
                t.kind = Term::Value;
            } else if (cls == VX_RUNTIME_CLASS(CArticRulDataExv) && t.member == kElmPlain) {
                t.kind = Term::Exv;
            } else if (cls == VX_RUNTIME_CLASS(CArticRulDataEvnt) && IsMemberCode(t.member)) {
                t.kind = Term::Member;
            } else {
                continue;  // no value: passed over with its operator
            }
            m_Terms.push_back(t);
        } else if (const CArticRulElmList* group = elm->GetRulElmList()) {
            t.kind = Term::Group;
            const size_t at = m_Terms.size();
            m_Terms.push_back(t);
            const int count = group->GetCount();
            m_Groups.push_back({group, count, count ? group->GetHead() : nullptr, count ? group->GetTail() : nullptr});
            ResolveList(group);
            m_Terms[at].end = int(m_Terms.size());
        } else if (t.member == kElmPlain) {
            m_Terms.push_back(t);
        }
    }
}

// The own list read through its resolved form (the caller checked the guard
// against reading itself): GetData, and a value variable named in a list.
CArticRulDataVal::Eval CArticRulDataVal::EvalOwn(double* result) {
    *result = 0.0;
    if (!m_pRulElmList) return Eval::NoValue;
    if (!ResolvedCurrent()) Resolve();
    if (m_pConst) {
        *result = m_pConst->GetData() * m_ConstFactor;
        return Eval::Value;
    }
    m_Evaluating = true;
    const Eval r = EvalTerms(0, int(m_Terms.size()), result);
    m_Evaluating = false;
    return r;
}

namespace {

// Folds the next term into the running value, strictly left to right (rule
// arithmetic has no precedence): the first term starts it, each later one is
// applied with the operator that came before it. False on a zero divisor: an
// infinity or NaN would flow on into comparisons and integer conversions, so
// the line fails instead.
bool FoldTerm(double* running, bool* have, BYTE pending, double term) {
    if (!*have) {
        *running = term;
        *have = true;
        return true;
    }
    switch (pending) {
        case kSignPlus: *running += term; break;
        case kSignMinus: *running -= term; break;
        case kSignMul: *running *= term; break;
        case kSignDiv:
            if (term == 0.0) return false;
            *running /= term;
            break;
        default: break;
    }
    return true;
}

}  // namespace

// As EvalList below, over the resolved terms.
CArticRulDataVal::Eval CArticRulDataVal::EvalTerms(int begin, int end, double* result) {
    *result = 0.0;
    bool have = false;
    double running = 0.0;
    BYTE pending = kSignNone;
    for (int i = begin; i < end; ++i) {
        const Term& t = m_Terms[size_t(i)];
        double v = 0.0;
        switch (t.kind) {
            case Term::Constant: v = t.elm->GetData(); break;
            case Term::Value: {
                auto* val = static_cast<CArticRulDataVal*>(t.var);
                if (val->m_Evaluating) {
                    val->ReportSelfReference();
                    return Eval::Failed;
                }
                const Eval r = val->EvalOwn(&v);
                if (r == Eval::Failed) return Eval::Failed;
                break;
            }
            case Term::Exv: v = static_cast<CArticRulDataExv*>(t.var)->GetData(); break;
            case Term::Member: {
                auto* evnt = static_cast<CArticRulDataEvnt*>(t.var);
                const ULONG setNo = ULONG(t.elm->GetData());
                if (!evnt->ReadMember(t.member, setNo, &v)) v = evnt->GetOut(setNo);
                break;
            }
            case Term::Group: {
                const Eval r = EvalTerms(i + 1, t.end, &v);
                if (r == Eval::Failed) return Eval::Failed;
                i = t.end - 1;
                break;
            }
        }
        if (!FoldTerm(&running, &have, pending, v * t.factor)) {
            ReportDivByZero();
            return Eval::Failed;
        }
        pending = t.sign;
    }
    *result = running;
    return have ? Eval::Value : Eval::NoValue;
}

// Left to right without precedence: each operator applies to the running
// value and the next element that has a value; an element without a value
// is passed over together with the operator written after it.
CArticRulDataVal::Eval CArticRulDataVal::EvalList(const CArticRulElmList* list, double* result) {
    *result = 0.0;
    if (!list) return Eval::NoValue;
    bool have = false;
    double running = 0.0;
    BYTE pending = kSignNone;
    for (POSITION p = list->GetHeadPosition(); p;) {
        const CArticRulElm* elm = list->GetNext(p);
        if (!elm) continue;
        double v = 0.0;
        if (!elm->GetRulData() && !elm->GetRulElmList()) {
            // A constant, read in place (of any other data type it has no value).
            if (elm->GetDataType() != kElmPlain) continue;
            v = elm->GetData();
        } else {
            const Eval e = EvalElement(elm, &v);
            if (e == Eval::Failed) return Eval::Failed;
            if (e == Eval::NoValue) continue;
        }
        if (!FoldTerm(&running, &have, pending, v * elm->SignFactor())) {
            ReportDivByZero();
            return Eval::Failed;
        }
        pending = elm->GetSign();
    }
    *result = running;
    return have ? Eval::Value : Eval::NoValue;
}

CArticRulDataVal::Eval CArticRulDataVal::EvalElement(const CArticRulElm* elm, double* value) {
    CArticRulData* var = elm->GetRulData();
    const BYTE type = elm->GetDataType();
    if (var) {
        const CRuntimeClass* cls = var->GetRuntimeClass();
        if (cls == VX_RUNTIME_CLASS(CArticRulDataVal)) {
            if (type != kElmPlain) return Eval::NoValue;
            auto* val = static_cast<CArticRulDataVal*>(var);
            if (val->m_Evaluating) {
                val->ReportSelfReference();
                return Eval::Failed;
            }
            if (SingleConstant(val->m_pRulElmList, value)) return Eval::Value;
            val->m_Evaluating = true;
            Eval r = val->EvalList(val->m_pRulElmList, value);
            val->m_Evaluating = false;
            return r == Eval::Failed ? Eval::Failed : Eval::Value;
        }
        if (cls == VX_RUNTIME_CLASS(CArticRulDataExv)) {
            if (type != kElmPlain) return Eval::NoValue;
            *value = static_cast<CArticRulDataExv*>(var)->GetData();
            return Eval::Value;
        }
        if (cls == VX_RUNTIME_CLASS(CArticRulDataEvnt)) {
            auto* evnt = static_cast<CArticRulDataEvnt*>(var);
            const ULONG setNo = ULONG(elm->GetData());
            switch (type) {
                case kElmTime: *value = double(evnt->GetTime()); break;
                case kElmDur: *value = double(evnt->GetGateTime()); break;
                case kElmKey: *value = evnt->GetNote(); break;
                case kElmVelo: *value = evnt->GetVelo(); break;
                case kElmGen: *value = evnt->GetGen(); break;
                case kElmFng: *value = evnt->GetFng(); break;
                case kElmPos: *value = evnt->GetPos(); break;
                case kElmCho: *value = evnt->GetCho(); break;
                case kElmProb: *value = evnt->GetProb(setNo); break;
                case kElmCre: *value = evnt->GetOut(setNo); break;
                default: return Eval::NoValue;
            }
            return Eval::Value;
        }
        return Eval::NoValue;
    }
    if (CArticRulElmList* group = elm->GetRulElmList()) {
        Eval r = EvalList(group, value);
        return r == Eval::Failed ? Eval::Failed : Eval::Value;
    }
    if (type != kElmPlain) return Eval::NoValue;
    *value = elm->GetData();
    return Eval::Value;
}

bool CArticRulDataVal::IsCyclic() const {
    std::set<const CArticRulDataVal*> seen;
    // Depth-first over the value variables named by the lists.
    std::vector<const CArticRulElmList*> pending{m_pRulElmList};
    while (!pending.empty()) {
        const CArticRulElmList* list = pending.back();
        pending.pop_back();
        if (!list) continue;
        for (POSITION p = list->GetHeadPosition(); p;) {
            const CArticRulElm* elm = list->GetNext(p);
            if (!elm) continue;
            if (elm->GetRulElmList()) pending.push_back(elm->GetRulElmList());
            CArticRulData* var = elm->GetRulData();
            if (!IsClass(var, VX_RUNTIME_CLASS(CArticRulDataVal)) || elm->GetDataType() != kElmPlain) continue;
            auto* val = static_cast<const CArticRulDataVal*>(var);
            if (val == this) return true;
            if (seen.insert(val).second) pending.push_back(val->m_pRulElmList);
        }
    }
    return false;
}

int CArticRulDataVal::GetExv() const {
    CArticWrkEvnt* note = CurrentNote();
    if (!note || !m_pExvNoList) return 1;
    for (POSITION p = m_pExvNoList->GetHeadPosition(); p;) {
        const CArticData* d = m_pExvNoList->GetNext(p);
        if (d && note->GetExv(ULONG(d->GetIntData())) != 0) return 0;
    }
    return 1;
}

int CArticRulDataVal::GetInv() const {
    CArticWrkEvnt* note = CurrentNote();
    if (!note || !m_pInvNoList || m_pInvNoList->IsEmpty()) return 1;
    for (POSITION p = m_pInvNoList->GetHeadPosition(); p;) {
        const CArticData* d = m_pInvNoList->GetNext(p);
        if (d && note->GetExv(ULONG(d->GetIntData())) != 0) return 1;
    }
    return 0;
}

void CArticRulDataVal::SetRulElmList(CArticRulElmList* list) {
    if (list == m_pRulElmList) return;
    DeleteRulElmList();
    m_pRulElmList = list;
}

void CArticRulDataVal::SetData(double value) {
    // The steady state of an output: its one element takes the value.
    if (m_pRulElmList && m_pRulElmList->GetCount() == 1) {
        if (CArticRulElm* head = m_pRulElmList->GetHead()) {
            head->MakeConstant(value);
            return;
        }
    }
    SetDataInList(value);
}

void CArticRulDataVal::SetDataInList(double value) {
    if (!m_pRulElmList) NewRulElmList();
    if (!m_pRulElmList) return;
    // Outputs are written once per call and note: a list that already holds
    // one element keeps it instead of freeing and allocating another.
    if (m_pRulElmList->GetCount() == 1 && m_pRulElmList->GetHead()) {
        m_pRulElmList->GetHead()->MakeConstant(value);
        return;
    }
    ClearRulElmList();
    auto* elm = new (std::nothrow) CArticRulElm();
    if (!elm) return;
    elm->SetData(value);
    m_pRulElmList->AddTail(elm);
}

int CArticRulDataVal::AddExvNo(int no) {
    if (!m_pExvNoList) return 1;
    auto* d = new (std::nothrow) CArticData(no);
    if (!d) return 1;
    m_pExvNoList->AddTail(d);
    return 0;
}

int CArticRulDataVal::AddInvNo(int no) {
    if (!m_pInvNoList) return 1;
    auto* d = new (std::nothrow) CArticData(no);
    if (!d) return 1;
    m_pInvNoList->AddTail(d);
    return 0;
}

int CArticRulDataVal::ReplaceProb(double value) {
    if (!m_pRulElmList || m_pRulElmList->IsEmpty()) return 1;
    CArticRulElm* first = m_pRulElmList->GetHead();
    if (!first) return 1;
    first->SetData(value);
    return 0;
}

// ---- CArticRulDataSrchd

int CArticRulDataSrchd::GetWrkEvnt(const CArticRulElm* elm, CArticWrkEvnt** note) {
    if (note) *note = nullptr;
    if (!elm || !IsClass(elm->GetRulData(), VX_RUNTIME_CLASS(CArticRulDataEvnt)) || !IsRelationCode(elm->GetDataType())) return 1;
    auto* var = static_cast<CArticRulDataEvnt*>(elm->GetRulData());
    const LONG before = var->GetErrInfo();
    CArticWrkEvnt* found = var->GetRelation(elm->GetDataType(), 1);
    if (before == 0 && var->GetErrInfo() != 0) var->SetErrInfo(0);
    if (note) *note = found;
    return found ? 0 : 1;
}

int CArticRulDataSrchd::SetSearchFlag(int flag) {
    CArticRulSet* set = GetRulSet();
    CArticRulElmList* list = GetRulElmList();
    if (!set || !list) return 1;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* note = nullptr;
        if (GetWrkEvnt(list->GetNext(p), &note) == 0 && note) note->SetSearch(ULONG(set->GetSetNo()), flag);
    }
    return 0;
}

// ---- CArticRulDataExv

CArticRulDataExv::CArticRulDataExv(CArticRulSet* set, ULONG no) : CArticRulData(set, no) { NewElmList(); }

CArticRulDataExv::~CArticRulDataExv() { DeleteElmList(); }

CArticRulDataExv& CArticRulDataExv::operator=(const CArticRulDataExv& src) {
    if (this == &src) return *this;
    if (src.m_pElmList) {
        NewElmList();
        CopyElmList(src.m_pElmList);
    }
    return *this;
}

void CArticRulDataExv::NewElmList() {
    DeleteElmList();
    m_pElmList = new (std::nothrow) CArticDataList(10);
}
void CArticRulDataExv::DeleteElmList() {
    ClearElmList();
    delete m_pElmList;
    m_pElmList = nullptr;
}
void CArticRulDataExv::ClearElmList() { CArticRulUtil::ClearDataList(m_pElmList); }
void CArticRulDataExv::CopyElmList(const CArticDataList* src) {
    if (!src || !m_pElmList || src == m_pElmList) return;
    ClearElmList();
    CArticRulUtil::AppendCopies(src, m_pElmList);
}

int CArticRulDataExv::GetElmList(CArticDataList** list) const {
    if (list) *list = m_pElmList;
    return 1;
}

double CArticRulDataExv::GetData() const {
    CArticWrkEvnt* note = CurrentNote();
    if (!note || !m_pElmList) return 0.0;
    for (POSITION p = m_pElmList->GetHeadPosition(); p;) {
        const CArticData* d = m_pElmList->GetNext(p);
        if (d && d->GetIntData() >= 0 && note->GetExv(ULONG(d->GetIntData())) != 0) return 1.0;
    }
    return 0.0;
}

int CArticRulDataExv::IsExist() const { return m_pElmList && !m_pElmList->IsEmpty() ? 1 : 0; }

void CArticRulDataExv::SetData(int value) {
    CArticWrkEvnt* note = CurrentNote();
    if (!note || !m_pElmList) return;
    for (POSITION p = m_pElmList->GetHeadPosition(); p;) {
        const CArticData* d = m_pElmList->GetNext(p);
        if (d && d->GetIntData() >= 0) note->SetExv(ULONG(d->GetIntData()), value);
    }
}

void CArticRulDataExv::SetElmList(CArticDataList* list) {
    if (list == m_pElmList) return;
    DeleteElmList();
    m_pElmList = list;
}

int CArticRulDataExv::AddTailElm(int no) {
    if (!m_pElmList) return 1;
    auto* d = new (std::nothrow) CArticData(no);
    if (!d) return 1;
    m_pElmList->AddTail(d);
    return 0;
}
