#include "engine/rules/ArticRulSub.h"

#include "engine/rules/ArticRulText.h"

#include <memory>
#include <new>

#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulSetOperand.h"
#include "engine/rules/ArticSrchEvnt.h"

using namespace rulset;

VX_IMPLEMENT_CLASS(CArticRulSub, CArticRulSet);

using namespace rultext;

namespace {
constexpr int kInitialSlots = 20;

template <class A>
A* NewParamArray() {
    A* array = new (std::nothrow) A();
    if (array) array->SetSize(kInitialSlots);
    return array;
}

template <class A>
int CountSlots(const A* array) {
    int n = 0;
    for (int i = 0; array && i < array->GetSize(); ++i) n += array->GetAt(i) != nullptr;
    return n;
}
}  // namespace

CArticRulSub::CArticRulSub(CArticRul* rul, CArticWrk* wrk)
    : CArticRulSet(rul, wrk),
      m_pDataInArray(NewParamArray<CArticRulDataInArray>()),
      m_pDataOutArray(NewParamArray<CArticRulDataOutArray>()) {}

CArticRulSub::~CArticRulSub() {
    DeleteDataInArray();
    DeleteDataOutArray();
}

CArticRulSub& CArticRulSub::operator=(const CArticRulSub& src) {
    if (this == &src) return *this;
    CArticRulSet::operator=(src);
    m_SubNo = src.m_SubNo;
    CopyDataInArray(src.m_pDataInArray);
    CopyDataOutArray(src.m_pDataOutArray);
    return *this;
}

void CArticRulSub::Clear() {
    CArticRulSet::Clear();
    m_SubNo = -1;
    ClearDataInArray();
    ClearDataOutArray();
}

void CArticRulSub::NewDataInArray() {
    DeleteDataInArray();
    m_pDataInArray = NewParamArray<CArticRulDataInArray>();
}
void CArticRulSub::NewDataOutArray() {
    DeleteDataOutArray();
    m_pDataOutArray = NewParamArray<CArticRulDataOutArray>();
}
void CArticRulSub::DeleteDataInArray() {
    ClearDataInArray();
    delete m_pDataInArray;
    m_pDataInArray = nullptr;
}
void CArticRulSub::DeleteDataOutArray() {
    ClearDataOutArray();
    delete m_pDataOutArray;
    m_pDataOutArray = nullptr;
}
void CArticRulSub::ClearDataInArray() { DeleteItems(m_pDataInArray); }
void CArticRulSub::ClearDataOutArray() { DeleteItems(m_pDataOutArray); }

CArticRulData* CArticRulSub::OwnVariable(const CArticRulData* var) const {
    if (!var) return nullptr;
    const CString cls = var->GetClassNameA();
    const int no = int(var->GetDataNo());
    if (cls == "CArticRulDataVal") return GetDataVal(no);
    if (cls == "CArticRulDataStr") return GetDataStr(no);
    if (cls == "CArticRulDataEvnt") return GetDataEvnt(no);
    if (cls == "CArticRulDataAry") return GetDataAry(no);
    if (cls == "CArticRulDataVAry") return GetDataVAry(no);
    return nullptr;
}

// A copied parameter is bound to the copy's own variable: binding it to the
// source's would feed a variable the copy never reads and leave a dangling
// pointer once the source goes.
void CArticRulSub::CopyDataInArray(const CArticRulDataInArray* src) {
    if (!src || !m_pDataInArray || src == m_pDataInArray) return;
    ClearDataInArray();
    m_pDataInArray->SetSize(src->GetSize());
    for (int i = 0; i < src->GetSize(); ++i) {
        const CArticRulDataIn* from = src->GetAt(i);
        if (!from) continue;
        auto* copy = new (std::nothrow) CArticRulDataIn(this, from->GetDataNo());
        if (!copy) continue;
        copy->SetData(OwnVariable(from->GetData()));
        m_pDataInArray->SetAt(i, copy);
    }
}
void CArticRulSub::CopyDataOutArray(const CArticRulDataOutArray* src) {
    if (!src || !m_pDataOutArray || src == m_pDataOutArray) return;
    ClearDataOutArray();
    m_pDataOutArray->SetSize(src->GetSize());
    for (int i = 0; i < src->GetSize(); ++i) {
        const CArticRulDataOut* from = src->GetAt(i);
        if (!from) continue;
        auto* copy = new (std::nothrow) CArticRulDataOut(this, from->GetDataNo());
        if (!copy) continue;
        copy->SetData(OwnVariable(from->GetData()));
        m_pDataOutArray->SetAt(i, copy);
    }
}

int CArticRulSub::GetInCount() const { return CountSlots(m_pDataInArray); }
int CArticRulSub::GetOutCount() const { return CountSlots(m_pDataOutArray); }

int CArticRulSub::GetDataIn(int no, CArticRulDataIn** param) const {
    CArticRulDataIn* found = Lookup(m_pDataInArray, no);
    if (param) *param = found;
    return found ? 1 : 0;
}
CArticRulDataIn* CArticRulSub::GetDataIn(int no) const { return Lookup(m_pDataInArray, no); }

int CArticRulSub::GetDataOut(int no, CArticRulDataOut** param) const {
    CArticRulDataOut* found = Lookup(m_pDataOutArray, no);
    if (param) *param = found;
    return found ? 1 : 0;
}
CArticRulDataOut* CArticRulSub::GetDataOut(int no) const { return Lookup(m_pDataOutArray, no); }

int CArticRulSub::SetDataIn(CArticRulDataIn* param) {
    return param ? Register(m_pDataInArray, param, param->GetDataNo()) : 0;
}
int CArticRulSub::SetDataOut(CArticRulDataOut* param) {
    return param ? Register(m_pDataOutArray, param, param->GetDataNo()) : 0;
}

// ---- Loading

namespace {

enum class SubLine { Other, Head, Name, In, Out, Val, Str, Evnt, Func, Call };

SubLine KindOf(const CString& keyword, int number) {
    if (keyword == "name") return SubLine::Name;
    if (keyword == "in") return SubLine::In;
    if (keyword == "out") return SubLine::Out;
    if (keyword == "val") return SubLine::Val;
    if (keyword == "str") return SubLine::Str;
    if (keyword == "evnt") return SubLine::Evnt;
    if (keyword == "func") return SubLine::Func;
    if (keyword == "sub") return number >= 0 ? SubLine::Call : SubLine::Head;
    return SubLine::Other;
}

}  // namespace

int CArticRulSub::Load(CStringList& lines) {
    int inUse = 0;
    return CArticRulSet::Load(lines, &inUse);
}

int CArticRulSub::CheckHeader(CExString& head, CExString& body, CExString& keyword, CExString& member, int& number,
                              int phase1, int* setNoInUse) {
    if (setNoInUse) *setNoInUse = 0;
    keyword.Empty();
    member.Empty();
    number = -1;
    if (head == "set" || head == "exv" || head == "searched" || head == "prob") return 1;
    if (head == "sub" || head == "name") {
        if (body.IsEmpty()) return 1;
        CString rest;
        CExString token = CExString(body).GetToken(&rest, kSep);
        if (phase1 && head == "name") {
            if (GetName().IsEmpty()) SetName(&token);
        } else if (phase1) {
            const LONG no = token.GetLong(10);
            if (m_SubNo == -1 && GetRul() && GetRul()->GetBySubNo(int(no)) && setNoInUse) *setNoInUse = 1;
            m_SubNo = int(no);
        }
        keyword = head;
        return 0;
    }
    Operand op;
    if (!op.Parse(head)) return 1;
    keyword = op.name;
    member = op.member;
    number = op.number;
    if (!member.IsEmpty()) return 1;
    if (keyword == "func") return number < 0 ? 1 : 0;
    if (keyword == "sub") return number < 0 ? 1 : 0;
    const bool param = keyword == "in" || keyword == "out";
    if (!param && keyword != "val" && keyword != "str" && keyword != "evnt") return 1;
    if (op.kind != kOperandConst || number < 1) return 1;
    if (!param) return CArticRulSet::CheckHeader(head, body, keyword, member, number, phase1, nullptr);
    if (keyword == "in") {
        return rulset::DeclareVariable<CArticRulDataIn>(this, number, phase1, GetDataIn(number) != nullptr,
                                                    [this](CArticRulDataIn* v) { return SetDataIn(v); });
    }
    return rulset::DeclareVariable<CArticRulDataOut>(this, number, phase1, GetDataOut(number) != nullptr,
                                                [this](CArticRulDataOut* v) { return SetDataOut(v); });
}

int CArticRulSub::LoadLine1(CExString& line, int* setNoInUse) {
    CExString head, body, keyword, member;
    bool comment = false;
    if (!SplitHead(line, head, body, &comment)) return comment ? 0 : 1;
    int number = -1;
    int inUse = 0;
    if (const int r = CheckHeader(head, body, keyword, member, number, 1, &inUse)) return r;
    if (setNoInUse) *setNoInUse = inUse;
    switch (KindOf(keyword, number)) {
        case SubLine::Head:
        case SubLine::Name: return 0;
        case SubLine::In: return CheckInParam(body);
        case SubLine::Out: return CheckOutParam(body);
        case SubLine::Val: return CheckArithmetic(body);
        case SubLine::Str: return CheckStrParam(body);
        case SubLine::Evnt: return CheckEvntParam(body);
        case SubLine::Func: return CheckSrchFunc(body);
        case SubLine::Call:
            // A subroutine calling its own number would run itself without end.
            if (number == m_SubNo) return 1;
            return CheckSrchSubRoutine(body, number);
        case SubLine::Other: break;
    }
    return 1;
}

int CArticRulSub::LoadLine2(CExString& line, int* /*setNoInUse*/) {
    CExString head, body, keyword, member;
    bool comment = false;
    if (!SplitHead(line, head, body, &comment)) return comment ? 0 : 1;
    int number = -1;
    if (const int r = CheckHeader(head, body, keyword, member, number, 0, nullptr)) return r;
    switch (KindOf(keyword, number)) {
        case SubLine::Head:
        case SubLine::Name: return 0;
        case SubLine::In: return MakeInInfo(body, keyword, number);
        case SubLine::Out: return MakeOutInfo(body, keyword, number);
        case SubLine::Val: return MakeArithmetic(body, keyword, number);
        case SubLine::Str: return MakeStrInfo(body, keyword, number);
        case SubLine::Evnt: return MakeEvntInfo(body, keyword, number);
        case SubLine::Func:
            if (GetSrchEvnt(number)) return 1;
            return MakeSrchFunc(body, keyword, number);
        case SubLine::Call: return MakeSrchSubRoutine(body, keyword, number);
        case SubLine::Other: break;
    }
    return 1;
}

CArticRulData* CArticRulSub::ParamVariable(CExString& body, bool declare, bool* refused) {
    *refused = false;
    CString rest;
    CExString token = CExString(body).GetToken(&rest, kSep);
    Operand op;
    if (token.IsEmpty() || !op.Parse(token) || !op.IsRef() || op.number < 0) return nullptr;
    const ULONG no = ULONG(op.number);
    if (op.name == "evnt") {
        CArticRulDataEvnt* var = GetDataEvnt(op.number);
        if (var && !op.member.IsEmpty()) {
            *refused = true;
            return nullptr;
        }
        if (!op.member.IsEmpty()) return nullptr;
        if (!var && declare) {
            var = new (std::nothrow) CArticRulDataEvnt(this, no);
            if (var && !SetDataEvnt(var)) {
                delete var;
                var = nullptr;
            }
        }
        return var;
    }
    if (!op.member.IsEmpty()) return nullptr;
    auto declareAs = [&](auto* existing, auto make, auto reg) -> CArticRulData* {
        if (existing || !declare) return existing;
        auto* var = make();
        if (var && !(this->*reg)(var)) {
            delete var;
            return nullptr;
        }
        return var;
    };
    if (op.name == "val")
        return declareAs(GetDataVal(op.number), [&] { return new (std::nothrow) CArticRulDataVal(this, no); },
                         &CArticRulSub::SetDataVal);
    if (op.name == "str")
        return declareAs(GetDataStr(op.number), [&] { return new (std::nothrow) CArticRulDataStr(this, no); },
                         &CArticRulSub::SetDataStr);
    if (op.name == "ary")
        return declareAs(GetDataAry(op.number), [&] { return new (std::nothrow) CArticRulDataAry(this, no); },
                         &CArticRulSub::SetDataAry);
    if (op.name == "vary")
        return declareAs(GetDataVAry(op.number), [&] { return new (std::nothrow) CArticRulDataVAry(this, no); },
                         &CArticRulSub::SetDataVAry);
    return nullptr;
}

int CArticRulSub::CheckInParam(CExString& body) {
    bool refused = false;
    return ParamVariable(body, true, &refused) ? 0 : 1;
}

int CArticRulSub::CheckOutParam(CExString& body) {
    bool refused = false;
    return ParamVariable(body, false, &refused) ? 0 : 1;
}

int CArticRulSub::MakeInInfo(CExString& body, CExString& keyword, int number) {
    CArticRulDataIn* param = GetDataIn(number);
    bool refused = false;
    CArticRulData* var = ParamVariable(body, false, &refused);
    if (keyword != "in" || !param || !var) return 1;
    param->SetData(var);
    return 0;
}

int CArticRulSub::MakeOutInfo(CExString& body, CExString& keyword, int number) {
    CArticRulDataOut* param = GetDataOut(number);
    bool refused = false;
    CArticRulData* var = ParamVariable(body, false, &refused);
    if (keyword != "out" || !param || !var) return 1;
    param->SetData(var);
    return 0;
}

// ---- Reports

void CArticRulSub::DispLoadErrMsg(const CString& phase, const CString& line, int result) {
    if (result == 0) return;
    CString detail = "ｻﾌﾞﾙｰﾁﾝ番号 = ";
    if (m_SubNo == -1)
        detail += "未定義";
    else
        detail.AppendFormat("%d", m_SubNo);
    detail += "   行内容 = ";
    detail += line;
    DispErrMsg(kLoadCaption, kLoadMessage, phase, detail);
}

void CArticRulSub::DispSrchErrMsg(CArticSrchEvnt* call, int failed) {
    if (!call || !failed || GetErrKind() != 0) return;
    CString detail;
    detail.Format("ｻﾌﾞﾙｰﾁﾝ番号 = %d  ｲﾍﾞﾝﾄ番号 = %u ( %s )", m_SubNo, unsigned(call->GetEvntNo()),
                  call->GetClassNameA());
    if (IsErrInfo()) {
        detail += "  ﾙｰﾙ・ﾃﾞｰﾀ = ";
        detail += GetErrInfo();
        ClearErrInfo();
    }
    if (CArticWrkEvnt* note = GetWrkEvnt())
        detail.AppendFormat("  処理対象の音符ｲﾍﾞﾝﾄ番号 = %u", unsigned(note->GetEvntNo()));
    DispErrMsg("中間表現ﾃﾞｰﾀの生成中にｴﾗｰが発生しました。", "音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ検索中にｴﾗｰが発生しました。", "Search",
               detail);
}
