// Building a rule set (phase 2 of loading): arithmetic element lists, text
// and event lines, the "searched" list, built-in calls, subroutine calls and
// expression lines. A builder that fails leaves nothing half-built behind.
#include <cstring>

#include "engine/rules/ArticRulText.h"
#include <memory>
#include <new>
#include <utility>

#include "engine/loaders/ArticExpUtil.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticRulSetOperand.h"
#include "engine/rules/ArticRulSub.h"
#include "engine/rules/ArticSrchSubRoutine.h"
#include "engine/rules/ArticSrchUtil.h"

using namespace rulset;

using namespace rultext;

namespace {

// Deeper parentheses than this make an arithmetic line faulty: building and
// evaluating a group recurse once per level.
constexpr int kMaxGroupDepth = 64;

// An element list that deletes its elements unless released.
struct ElmListHolder {
    CArticRulElmList* list = new (std::nothrow) CArticRulElmList(10);
    ~ElmListHolder() {
        CArticRulUtil::ClearRulElmList(list);
        delete list;
    }
    CArticRulElmList* Release() {
        CArticRulElmList* l = list;
        list = nullptr;
        return l;
    }
};

BYTE SignCode(char c) {
    switch (c) {
        case '+': return kSignPlus;
        case '-': return kSignMinus;
        case '*': return kSignMul;
        case '/': return kSignDiv;
        default: return kSignNone;
    }
}

}  // namespace

// ---- Operands

int CArticRulSet::FillElm(Operand& op, ArgUse use, CArticRulElm* elm, bool* evntOperand) {
    *evntOperand = false;
    // Arithmetic and call arguments never find a variable numbered below 1.
    const bool fromOne = use != ArgUse::Exp;
    const int no = fromOne && op.number < 1 ? -1 : op.number;

    if (op.kind == kOperandConst) {
        if (op.IsNumber()) {
            elm->SetData(op.value);
            return 0;
        }
        if (op.IsText() && (use == ArgUse::Sub || use == ArgUse::Exp)) {
            elm->SetStrData(op.strValue);
            return 0;
        }
        return 1;
    }

    const bool isOut = op.kind == kOperandOut;
    if (isOut && (use == ArgUse::Arith || !op.member.IsEmpty())) return 1;
    if (isOut && use == ArgUse::Exp && op.name != "vary") return 1;

    if (op.name == "val" || op.name == "str" || op.name == "ary" || op.name == "vary") {
        if (!op.member.IsEmpty()) return 1;
        if (use == ArgUse::Arith && op.name != "val") return 1;
        CArticRulData* var = op.name == "val"   ? static_cast<CArticRulData*>(GetDataVal(no))
                             : op.name == "str" ? static_cast<CArticRulData*>(GetDataStr(no))
                             : op.name == "ary" ? static_cast<CArticRulData*>(GetDataAry(no))
                                                : static_cast<CArticRulData*>(GetDataVAry(no));
        if (!var) return 1;
        elm->SetRulData(var);
        if (op.name == "vary" && use == ArgUse::Exp) elm->SetDataType(isOut ? kElmVAryOut : kElmVAry);
        return 0;
    }
    if (!op.IsEvntName() || (isOut && op.IsThisEvnt())) return 1;

    CArticRulDataEvnt* var = op.IsThisEvnt() ? m_pDataEvnt : GetDataEvnt(no);
    if (const BYTE relation = RelationCode(op.member)) {
        if (use == ArgUse::Arith) return 1;
        elm->SetRulData(var);
        elm->SetDataType(relation);
        *evntOperand = true;
        return 0;
    }
    const BYTE member = NoteMemberCode(op.member);
    if (member == 0) return 1;
    if (use == ArgUse::Arith && !var) return 1;
    elm->SetRulData(var);
    elm->SetDataType(member);
    if (member == kElmProb || member == kElmCre) elm->SetData(double(op.memberNum));
    return 0;
}

int CArticRulSet::CheckSign(CExString& body, const CString& /*separators*/) {
    const int n = body.GetLength();
    if (n == 0) return 1;
    int p = 0;
    while (body[p] == ':') {
        if (++p == n) return 1;
    }
    const char c = body[p];
    if (c == '+' || c == '-') {
        body.str().erase(0, size_t(p) + 1);
        return c == '+' ? 1 : 0;
    }
    // Two or more leading colons go; a single one is left for the tokenizer.
    if (p >= 2) body.str().erase(0, size_t(p));
    return 1;
}

// ---- Arithmetic

int CArticRulSet::MakeArithmetic(CExString& body, CExString& keyword, int& number) {
    CArticRulDataVal* target = nullptr;
    if (keyword == "val" && number >= 0)
        target = GetDataVal(number);
    else if (keyword == "prob" && number == -1)
        target = m_pDataVal;
    if (!target || !target->GetRulElmList()) return 1;
    if (SetArithmetic(body, target->GetRulElmList()) != 0 || target->IsCyclic()) {
        // A value that names itself could never be evaluated: the line is refused.
        CArticRulUtil::ClearRulElmList(target->GetRulElmList());
        return 1;
    }
    return 0;
}

int CArticRulSet::SetArithmetic(CExString& body, CArticRulElmList* list) {
    if (!list) return 1;
    while (!body.IsEmpty()) {
        const int plus = CheckSign(body, kSepText);
        CString rest;
        int paren = 0;
        CExString token = body.GetTokenParen(&rest, &paren, kSep);
        if (rest.GetLength() >= body.GetLength() && token.IsEmpty()) break;
        body = std::move(rest);
        if (token.IsEmpty()) continue;
        std::unique_ptr<CArticRulElm> elm(new (std::nothrow) CArticRulElm());
        if (!elm) return 1;
        elm->SetPlus(plus);
        if (!body.IsEmpty()) {
            if (const BYTE sign = SignCode(body[0])) {
                elm->SetSign(sign);
                body.str().erase(0, 1);
            }
        }
        if (paren) {
            ElmListHolder group;
            if (!group.list || m_GroupDepth >= kMaxGroupDepth) return 1;
            ++m_GroupDepth;
            const int r = SetArithmetic(token, group.list);
            --m_GroupDepth;
            if (r != 0) return 1;
            elm->SetRulElmList(group.Release());
        } else {
            Operand op;
            bool evnt = false;
            if (!op.Parse(token) || FillElm(op, ArgUse::Arith, elm.get(), &evnt) != 0) return 1;
        }
        list->AddTail(elm.release());
    }
    return 0;
}

int CArticRulSet::MakeProbParam(CExString& body, CExString& /*keyword*/, int& /*number*/) {
    if (!m_pDataVal) return 1;
    while (!body.IsEmpty()) {
        CExString before(body);
        CExString token = NextToken(body, kSep);
        if (token.IsEmpty()) continue;
        const bool exv = StartsWith(token, "exv");
        if (token.GetLength() < 4 || !(exv || StartsWith(token, "inv"))) {
            CExString keyword("prob");
            int number = -1;
            return MakeArithmetic(before, keyword, number);
        }
        LONG no = 0;
        if (!ReadWholeLong(token.Mid(3), &no) || no < 0) return 1;
        if ((exv ? m_pDataVal->AddExvNo(int(no)) : m_pDataVal->AddInvNo(int(no))) != 0) return 1;
    }
    return 0;
}

// ---- Text, event and searched lines

int CArticRulSet::MakeStrInfo(CExString& body, CExString& keyword, int& number) {
    CArticRulDataStr* var = keyword == "str" && number >= 0 ? GetDataStr(number) : nullptr;
    if (!var) return 1;
    CExString text = NextToken(body, ":");
    if (!text.IsEmpty()) var->SetData(&text);
    return 0;
}

int CArticRulSet::MakeEvntInfo(CExString& body, CExString& keyword, int& number) {
    CArticRulDataEvnt* var = keyword == "evnt" && number >= 0 ? GetDataEvnt(number) : nullptr;
    if (!var || body.IsEmpty()) return 1;
    CExString token = NextToken(body, kSep);
    Operand op;
    if (!op.Parse(token) || !op.IsRef() || !op.IsEvntName()) return 1;
    CArticRulDataEvnt* base = op.IsThisEvnt() ? m_pDataEvnt : GetDataEvnt(op.number);
    const BYTE code = RelationCode(op.member);
    if (!base || code == 0) return 1;
    var->SetDataEvnt(base, code);
    if (var->IsCyclic()) {
        // A variable derived from itself names no note: the line is refused.
        var->SetEvnt(nullptr, 0);
        return 1;
    }
    return 0;
}

int CArticRulSet::MakeSrchdParam(CExString& body) {
    if (!m_pDataSrchd) return 1;
    return SetSrchdParam(body, m_pDataSrchd->GetRulElmList());
}

int CArticRulSet::SetSrchdParam(CExString& body, CArticRulElmList* list) {
    if (!list) return 1;
    bool ok = !body.IsEmpty();
    while (ok && !body.IsEmpty()) {
        CExString token = NextToken(body, kSep);
        if (token.IsEmpty()) continue;
        Operand op;
        if (!op.Parse(token) || !op.IsEvntRef()) {
            ok = false;
            break;
        }
        auto* elm = new (std::nothrow) CArticRulElm();
        if (!elm) {
            ok = false;
            break;
        }
        elm->SetRulData(op.IsThisEvnt() ? m_pDataEvnt : GetDataEvnt(op.number));
        elm->SetDataType(RelationCode(op.member));
        list->AddTail(elm);
    }
    if (!ok) CArticRulUtil::ClearRulElmList(list);
    return ok ? 0 : 1;
}

// ---- Built-in calls

int CArticRulSet::MakeSrchFunc(CExString& body, CExString& /*keyword*/, int& number) {
    if (body.IsEmpty() || number < 0) return 1;
    CExString name = NextToken(body, kSep);
    int inCount = 0, outCount = 0;
    int inMasks[CArticSrchUtil::kMaxArgs] = {}, outMasks[CArticSrchUtil::kMaxArgs] = {};
    if (CArticSrchUtil::GetArgmentInfo(name, &inCount, inMasks, &outCount, outMasks) != 0) return 1;
    return MakeSrchArgument(body, name, ULONG(number), inCount, inMasks, outCount, outMasks);
}

int CArticRulSet::MakeSrchArgument(CExString& body, CExString& className, ULONG funcNo, int inCount,
                                   const int* /*inMasks*/, int outCount, const int* /*outMasks*/) {
    ElmListHolder args;
    if (!args.list) return 1;
    while (!body.IsEmpty()) {
        const int plus = CheckSign(body, kSepText);
        CExString token = NextToken(body, kArgSep);
        if (token.IsEmpty()) continue;
        Operand op;
        if (!op.Parse(token)) return 1;
        std::unique_ptr<CArticRulElm> elm(new (std::nothrow) CArticRulElm());
        bool evnt = false;
        if (!elm || FillElm(op, ArgUse::Func, elm.get(), &evnt) != 0) return 1;
        elm->SetPlus(plus);
        args.list->AddTail(elm.release());
    }
    if (args.list->GetCount() != inCount + outCount) return 1;
    if (GetSrchEvnt(int(funcNo)) || !m_pSrchEvntList) return 1;
    CArticSrchEvnt* call = nullptr;
    if (CArticSrchUtil::MakeEvnt(this, className, funcNo, args.list, &call) != 0 || !call) return 1;
    if (!SetSrchEvnt(call)) {
        delete call;
        return 1;
    }
    AddTailSrchEvntList(call);
    return 0;
}

// ---- Subroutine calls

int CArticRulSet::MakeSrchSubRoutine(CExString& body, CExString& /*keyword*/, int& number) {
    if (!m_pRul || number < 0) return 1;
    CArticRulDataVal* condition = nullptr;
    if (!body.IsEmpty() && body[0] == ':') {
        CExString token = NextToken(body, kSep);
        if (!token.IsEmpty() && token[0] == '_') {
            Operand op;
            if (!op.Parse(token) || !op.IsPlainVal()) return 1;
            condition = GetDataVal(op.number);
            if (!condition) return 1;
        }
    }
    CArticRulSub* sub = m_pRul->GetBySubNo(number);
    if (!sub || !m_pSrchEvntList) return 1;
    std::unique_ptr<CArticSrchSubRoutine> call(new (std::nothrow) CArticSrchSubRoutine(this, ULONG(m_SubCallCount)));
    if (!call || MakeSrchSubArgment(body, sub, call.get()) != 0) return 1;
    call->SetCondition(condition);
    call->SetSubNo(number);
    if (!SetSubRoutine(call.get())) return 1;
    AddTailSrchEvntList(call.release());
    ++m_SubCallCount;
    return 0;
}

int CArticRulSet::MakeSrchSubArgment(CExString& body, CArticRulSub* sub, CArticSrchSubRoutine* call) {
    if (!sub || !call) return 1;
    CArticRulElmList* inList = call->GetRulElmInList();
    CArticRulElmList* outList = call->GetRulElmOutList();
    if (!inList || !outList) return 1;
    auto fail = [&] {
        CArticRulUtil::ClearRulElmList(inList);
        CArticRulUtil::ClearRulElmList(outList);
        return 1;
    };
    while (!body.IsEmpty()) {
        const int plus = CheckSign(body, kSepText);
        CExString token = NextToken(body, kArgSep);
        if (token.IsEmpty()) continue;
        Operand op;
        if (!op.Parse(token)) return fail();
        std::unique_ptr<CArticRulElm> elm(new (std::nothrow) CArticRulElm());
        bool evnt = false;
        if (!elm || FillElm(op, ArgUse::Sub, elm.get(), &evnt) != 0) return fail();
        elm->SetPlus(plus);
        (op.kind == kOperandOut ? outList : inList)->AddTail(elm.release());
    }
    if (inList->GetCount() != sub->GetInCount() || outList->GetCount() != sub->GetOutCount()) return fail();
    return 0;
}

// ---- Expression lines

int CArticRulSet::MakeExpFunc(CExString& body, CExString& /*keyword*/, int& number) {
    if (number < 0) return 1;
    CArticRulDataVal* condition = nullptr;
    int searched = 1, master = 0;
    bool conditionRead = false;
    CExString className;
    while (className.IsEmpty()) {
        if (body.IsEmpty()) return conditionRead ? 0 : 1;
        CExString token = NextToken(body, kArgSep);
        if (token.IsEmpty()) continue;
        if (token[0] != '_') {
            if (token == "nSrch") {
                searched = 0;
            } else if (token == "Mstr") {
                master = 1;
            } else {
                className = token;
                break;
            }
            conditionRead = true;
            continue;
        }
        Operand op;
        if (!op.Parse(token) || !op.IsPlainVal()) return 1;
        condition = GetDataVal(op.number);
        if (!condition) return 1;
        conditionRead = true;
    }
    int count = 0;
    int masks[CArticExpUtil::kMaxExpArgs] = {};
    if (CArticExpUtil::GetArgmentInfo(className, &count, masks) != 0) return 1;
    if (GetRulExpEvnt(number) || !m_pRulExpEvntList) return 1;

    ElmListHolder args;
    if (!args.list) return 1;
    const int built = MakeExpArgument(body, args.list);
    m_HasExp = 1;
    if (built != 0) return 1;
    std::unique_ptr<CArticRulExpEvnt> line(new (std::nothrow) CArticRulExpEvnt(this, ULONG(number)));
    if (!line) return 1;
    line->SetExpEvntName(className);
    line->SetRulElmList(args.Release());
    line->SetRulDataVal(condition);
    line->SetSearched(searched);
    line->SetMstr(master);
    if (!SetRulExpEvnt(line.get())) return 1;
    AddTailRulExpEvntList(line.release());
    return 0;
}

int CArticRulSet::MakeExpArgument(CExString& body, CArticRulElmList* list) {
    if (!list) return 1;
    CArticRulElmList* eventList = nullptr;  // the open "count{...}" list, owned by its element in list
    auto fail = [&] {
        CArticRulUtil::ClearRulElmList(list);
        return 1;
    };
    while (!body.IsEmpty()) {
        const int plus = CheckSign(body, kSepText);
        CString rest;
        CExString token = body.GetTokenMB(&rest, kArgSep);
        body = std::move(rest);
        if (!eventList && body.GetLength() > 1 && body[0] == '{') {
            LONG length = 0;
            if (!ReadWholeLong(token, &length)) return fail();
            auto* holder = new (std::nothrow) CArticRulElm();
            if (!holder) return fail();
            holder->NewRulElmList();
            eventList = holder->GetRulElmList();
            list->AddTail(holder);
            if (!eventList) return fail();
            if (body[1] == '}') {
                body.str().erase(0, 1);
                token.Empty();
            } else {
                token = NextToken(body, kArgSep);
            }
        }
        if (!token.IsEmpty()) {
            Operand op;
            if (!op.Parse(token)) return fail();
            std::unique_ptr<CArticRulElm> elm(new (std::nothrow) CArticRulElm());
            bool evnt = false;
            if (!elm || FillElm(op, ArgUse::Exp, elm.get(), &evnt) != 0) return fail();
            elm->SetPlus(plus);
            // Event operands stand only inside a list, everything else only outside.
            if (evnt != (eventList != nullptr)) return fail();
            (eventList ? eventList : list)->AddTail(elm.release());
        }
        if (eventList && !body.IsEmpty() && body[0] == '}') eventList = nullptr;
    }
    return 0;
}
