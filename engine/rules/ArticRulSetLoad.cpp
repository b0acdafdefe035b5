// Loading a rule set: line preparation, the head of a line, the phase-1
// checks of every keyword and the report of a faulty line.
#include <cstring>

#include "engine/rules/ArticRulText.h"
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/loaders/ArticExpUtil.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticRulSetOperand.h"
#include "engine/rules/ArticRulSub.h"
#include "engine/rules/ArticRulUtil.h"
#include "engine/rules/ArticSrchUtil.h"
#include "platform/Numbers.h"

using namespace rulset;

using namespace rultext;

namespace {
const char kPhase1[] = "Load (Phase-1)";
const char kPhase2[] = "Load (Phase-2)";

// The keywords of a set block's lines.
enum class LineKind { Other, Set, Name, Dir, Val, Str, Evnt, Exv, Searched, Func, Sub, Prob, Exp };

struct KeywordInfo {
    std::string_view keyword;
    LineKind kind;
};
const KeywordInfo kKeywords[] = {
    {"set", LineKind::Set},   {"name", LineKind::Name},         {"dir", LineKind::Dir},
    {"val", LineKind::Val},   {"str", LineKind::Str},           {"evnt", LineKind::Evnt},
    {"exv", LineKind::Exv},   {"searched", LineKind::Searched}, {"func", LineKind::Func},
    {"sub", LineKind::Sub},   {"prob", LineKind::Prob},         {"exp", LineKind::Exp},
};

// Lengths first, and most words differ there; then the few bytes in place.
bool IsWord(const CString& text, std::string_view word) {
    const std::string& s = text.str();
    if (s.size() != word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (s[i] != word[i]) return false;
    return true;
}

LineKind KindOf(const CString& keyword) {
    for (const KeywordInfo& k : kKeywords)
        if (IsWord(keyword, k.keyword)) return k.kind;
    return LineKind::Other;
}

// Mask bits of the argument masks: the variable class an argument stands for.
const char* InClassOf(int mask) {
    if (mask & (ARG_NUM | ARG_VAL | ARG_NUM_SPARE | ARG_MEMBER)) return "CArticRulDataVal";
    if (mask & (ARG_STR | ARG_STRVAR)) return "CArticRulDataStr";
    if (mask & ARG_EVNT) return "CArticRulDataEvnt";
    if (mask & ARG_ARY) return "CArticRulDataAry";
    if (mask & ARG_VARY) return "CArticRulDataVAry";
    return nullptr;
}

const char* OutClassOf(int mask) {
    if (mask & ARG_VAL_OUT) return "CArticRulDataVal";
    if (mask & ARG_STRVAR_OUT) return "CArticRulDataStr";
    if (mask & ARG_EVNT_OUT) return "CArticRulDataEvnt";
    if (mask & ARG_ARY_OUT) return "CArticRulDataAry";
    if (mask & ARG_VARY_OUT) return "CArticRulDataVAry";
    return nullptr;
}

bool Within(int mask, int allowed) { return (mask & ~allowed) == 0; }

}  // namespace

namespace rulset {

BYTE RelationCode(const CString& member) {
    static const char* const kRelations[] = {"", "Next", "Pre", "WrkNext", "WrkPre", "AllNext", "AllPre"};
    for (int i = 0; i < 7; ++i)
        if (member == kRelations[i]) return BYTE(kElmEvnt + i);
    return 0;
}

BYTE NoteMemberCode(const CString& member) {
    struct Member {
        const char* name;
        BYTE code;
    };
    static const Member kMembers[] = {
        {"Time", kElmTime}, {"Dur", kElmDur}, {"Key", kElmKey}, {"Velo", kElmVelo}, {"Gen", kElmGen},
        {"Fng", kElmFng},   {"Pos", kElmPos}, {"Cho", kElmCho}, {"Prob", kElmProb}, {"Cre", kElmCre},
    };
    for (const Member& m : kMembers)
        if (member == m.name) return m.code;
    return 0;
}

}  // namespace rulset

// ---- Loading

int CArticRulSet::Load(CStringList& lines, int* setNoInUse) {
    Clear();
    if (lines.IsEmpty()) return 1;
    using LineLoader = int (CArticRulSet::*)(CExString&, int*);
    // Both phases read the same lines: each is prepared once, next to the
    // line as written (which a report quotes).
    struct Prepared {
        const CString* raw;
        CExString line;
    };
    std::vector<Prepared> prepared;
    prepared.reserve(size_t(lines.GetCount()));
    for (POSITION p = lines.GetHeadPosition(); p;) {
        const CString& raw = lines.GetNext(p);
        CExString line(raw);
        line.EraseBlankOutDQ();
        line.EraseComment();
        if (!line.IsEmpty()) prepared.push_back({&raw, std::move(line)});
    }
    auto runPhase = [&](const char* phase, LineLoader loadLine, int* inUse) {
        int result = 0;
        for (Prepared& l : prepared) {
            int flag = 0;
            const int r = (this->*loadLine)(l.line, &flag);
            if (flag && inUse) *inUse |= 1;
            DispLoadErrMsg(phase, *l.raw, r);
            if (r) result = r;
        }
        return result;
    };
    const int result = runPhase(kPhase1, &CArticRulSet::LoadLine1, setNoInUse);
    if (result) return result;
    return runPhase(kPhase2, &CArticRulSet::LoadLine2, nullptr);
}

bool CArticRulSet::SplitHead(const CExString& line, CExString& head, CExString& body, bool* comment) {
    *comment = false;
    // The head and the body are copied straight out of the line.
    const CExString::TokenSpan t = line.FindToken(kSep);
    if (t.start < 0) return false;
    if (line[t.start] == ';') {
        *comment = true;
        return false;
    }
    if (line[t.start] != '#') return false;
    head.str() = std::string(line.c_str() + t.start + 1, size_t(t.length) - 1);
    if (t.rest < 0)
        body.Empty();
    else if (&body == &line)
        body.str().erase(0, size_t(t.rest));
    else
        body.str() = std::string(line.c_str() + t.rest, size_t(line.GetLength() - t.rest));
    return true;
}

int CArticRulSet::LoadLine1(CExString& line, int* setNoInUse) {
    CExString head, body, keyword, member;
    bool comment = false;
    if (!SplitHead(line, head, body, &comment)) return comment ? 0 : 1;
    int number = -1;
    int inUse = 0;
    const int r = CheckHeader(head, body, keyword, member, number, 1, &inUse);
    if (setNoInUse) *setNoInUse = inUse;
    if (r) return r;
    switch (KindOf(keyword)) {
        case LineKind::Set:
        case LineKind::Name:
        case LineKind::Dir: return 0;
        case LineKind::Val: return CheckArithmetic(body);
        case LineKind::Str: return CheckStrParam(body);
        case LineKind::Evnt: return CheckEvntParam(body);
        case LineKind::Exv: return CheckExvParam(body);
        case LineKind::Searched: return CheckSrchdParam(body);
        case LineKind::Func: return CheckSrchFunc(body);
        case LineKind::Sub: return number >= 0 ? CheckSrchSubRoutine(body, number) : 0;
        case LineKind::Prob: return CheckProbParam(body);
        case LineKind::Exp: return CheckExpFunc(body);
        case LineKind::Other: break;
    }
    return 1;
}

int CArticRulSet::LoadLine2(CExString& line, int* setNoInUse) {
    // Phase 2 is the line's last reader: it becomes the body in place.
    CExString head, keyword, member;
    CExString& body = line;
    bool comment = false;
    if (!SplitHead(line, head, body, &comment)) return comment ? 0 : 1;
    int number = -1;
    int inUse = 0;
    const int r = CheckHeader(head, body, keyword, member, number, 0, &inUse);
    if (setNoInUse) *setNoInUse = inUse;
    if (r) return r;
    switch (KindOf(keyword)) {
        case LineKind::Set:
        case LineKind::Name:
        case LineKind::Dir:
        case LineKind::Exv: return 0;
        case LineKind::Val: return MakeArithmetic(body, keyword, number);
        case LineKind::Str: return MakeStrInfo(body, keyword, number);
        case LineKind::Evnt: return MakeEvntInfo(body, keyword, number);
        case LineKind::Searched: return MakeSrchdParam(body);
        case LineKind::Func:
            if (GetSrchEvnt(number)) return 1;
            return MakeSrchFunc(body, keyword, number);
        case LineKind::Sub: return number >= 0 ? MakeSrchSubRoutine(body, keyword, number) : 0;
        case LineKind::Prob: return MakeProbParam(body, keyword, number);
        case LineKind::Exp: return MakeExpFunc(body, keyword, number);
        case LineKind::Other: break;
    }
    return 1;
}

// ---- The head of a line

int CArticRulSet::CheckHeader(CExString& head, CExString& body, CExString& keyword, CExString& member, int& number,
                              int phase1, int* setNoInUse) {
    if (setNoInUse) *setNoInUse = 0;
    keyword.Empty();
    member.Empty();
    number = -1;

    if (IsWord(head, "set") || IsWord(head, "dir") || IsWord(head, "name")) {
        if (body.IsEmpty()) return 1;
        CExString rest(body);
        // '-' is a separator of the line, so the sign of "#set:-1" would go
        // unseen and the line would name set 1.
        const CExString::TokenSpan at = body.FindToken(kSep);
        const bool minus = at.start > 0 && std::memchr(body.c_str(), '-', size_t(at.start)) != nullptr;
        CExString token = NextToken(rest, kSep);
        if (IsWord(head, "name")) {
            if (phase1 && m_pName && m_pName->IsEmpty()) *m_pName = token;
        } else {
            const LONG value = token.GetLong(10);
            if (IsWord(head, "dir")) {
                if (value < 0 || value > 3) return 1;
                if (phase1) m_Direction = int(value);
            } else if (minus || value < 0 || ULONG(value) > kMaxRulIndex) {
                return 1;  // the notes keep a set's results only under numbers up to kMaxRulIndex
            } else if (phase1 && m_SetNo == -1 && m_pRul) {
                m_SetNo = int(value);
                if (setNoInUse && m_pRul->GetBySetNo(m_SetNo)) *setNoInUse = 1;
            }
        }
        keyword = head;
        return 0;
    }
    if (IsWord(head, "exv") || IsWord(head, "searched") || IsWord(head, "prob")) {
        keyword = head;
        return 0;
    }

    Operand op;
    if (!op.Parse(head)) return 1;
    keyword = op.name;
    member = op.member;
    number = op.number;
    if (!member.IsEmpty()) return 1;
    if (IsWord(keyword, "func") || IsWord(keyword, "exp")) return number < 0 ? 1 : 0;
    if (IsWord(keyword, "sub")) return 0;
    if (!IsWord(keyword, "val") && !IsWord(keyword, "str") && !IsWord(keyword, "evnt")) return 1;
    if (op.kind != kOperandConst || number < 0) return 1;

    if (IsWord(keyword, "val")) {
        return rulset::DeclareVariable<CArticRulDataVal>(this, number, phase1, GetDataVal(number) != nullptr,
                                                    [this](CArticRulDataVal* v) { return SetDataVal(v); });
    }
    if (IsWord(keyword, "str")) {
        return rulset::DeclareVariable<CArticRulDataStr>(this, number, phase1, GetDataStr(number) != nullptr,
                                                    [this](CArticRulDataStr* v) { return SetDataStr(v); });
    }
    return rulset::DeclareVariable<CArticRulDataEvnt>(this, number, phase1, GetDataEvnt(number) != nullptr,
                                                [this](CArticRulDataEvnt* v) { return SetDataEvnt(v); });
}

// ---- Phase-1 checks

int CArticRulSet::CheckArithmetic(CExString& body) {
    if (body.IsEmpty()) return 1;
    while (!body.IsEmpty()) {
        CExString token = NextToken(body, kSep);
        if (token.IsEmpty()) continue;
        Operand op;
        if (!op.Parse(token)) return 1;
        if (op.IsNumber()) continue;
        if (op.IsPlainVal() && GetDataVal(op.number)) continue;
        if (op.IsRef() && op.IsEvntName() && NoteMemberCode(op.member) != 0 &&
            (op.IsThisEvnt() || GetDataEvnt(op.number)))
            continue;
        return 1;
    }
    return 0;
}

int CArticRulSet::CheckEvntParam(CExString& body) {
    if (body.IsEmpty()) return 1;
    CExString token = NextToken(body, kSep);
    Operand op;
    if (!op.Parse(token) || !op.IsEvntRef()) return 1;
    return op.IsThisEvnt() || GetDataEvnt(op.number) ? 0 : 1;
}

int CArticRulSet::CheckStrParam(CExString& /*body*/) { return 0; }

int CArticRulSet::CheckExvParam(CExString& body) {
    if (!m_pDataExv || body.IsEmpty()) return 1;
    int count = 0;
    while (!body.IsEmpty()) {
        CExString token = NextToken(body, kSep);
        if (token.IsEmpty()) continue;
        LONG no = 0;
        if (!ReadWholeLong(token, &no) || no < 0) return 1;
        if (m_pDataExv->AddTailElm(int(no)) != 0) return 1;
        ++count;
    }
    return count > 0 ? 0 : 1;
}

int CArticRulSet::CheckSrchdParam(CExString& body) {
    if (!m_pDataSrchd || body.IsEmpty()) return 1;
    while (!body.IsEmpty()) {
        CExString token = NextToken(body, kSep);
        if (token.IsEmpty()) continue;
        Operand op;
        if (!op.Parse(token) || !op.IsEvntRef()) return 1;
    }
    return 0;
}

int CArticRulSet::CheckProbParam(CExString& body) {
    while (!body.IsEmpty()) {
        CExString before(body);
        CExString token = NextToken(body, kSep);
        if (token.IsEmpty()) continue;
        if (token.GetLength() < 4 || !(StartsWith(token, "exv") || StartsWith(token, "inv")))
            return CheckArithmetic(before);
        LONG no = 0;
        if (!ReadWholeLong(token.Mid(3), &no) || no < 0) return 1;
    }
    return 1;  // exv or inv numbers without an arithmetic part
}

int CArticRulSet::CheckSrchFunc(CExString& body) {
    if (body.IsEmpty()) return 1;
    CExString name = NextToken(body, kSep);
    int inCount = 0, outCount = 0;
    int inMasks[CArticSrchUtil::kMaxArgs] = {}, outMasks[CArticSrchUtil::kMaxArgs] = {};
    if (CArticSrchUtil::GetArgmentInfo(name, &inCount, inMasks, &outCount, outMasks) != 0) return 1;
    return CheckSrchArgument(body, inCount, inMasks, outCount, outMasks);
}

int CArticRulSet::CheckSrchArgument(CExString& body, int inCount, const int* inMasks, int outCount,
                                    const int* outMasks) {
    int in = 0, out = 0;
    while (!body.IsEmpty()) {
        CExString token = NextToken(body, kArgSep);
        if (token.IsEmpty()) continue;
        Operand op;
        if (!op.Parse(token)) return 1;
        int mask = 0;
        if (CArticRulUtil::GetArgType(this, op.name, op.number, op.member, op.memberNum, op.value, op.strValue,
                                      op.kind, 1, mask) != 0)
            return 1;
        if (in < inCount) {
            if (!Within(mask, inMasks[in])) return 1;
            ++in;
        } else if (out < outCount) {
            if (!Within(mask, outMasks[out])) return 1;
            ++out;
        }
    }
    return in == inCount && out == outCount ? 0 : 1;
}

int CArticRulSet::CheckSrchSubRoutine(CExString& body, int subNo) {
    if (!m_pRul || subNo < 0) return 1;
    if (!body.IsEmpty() && body[0] == ':') {
        CExString token = NextToken(body, kSep);
        if (!token.IsEmpty() && token[0] == '_') {
            Operand op;
            if (!op.Parse(token) || !op.IsPlainVal() || !GetDataVal(op.number)) return 1;
        }
    }
    CArticRulSub* sub = m_pRul->GetBySubNo(subNo);
    if (!sub) return 1;
    return CheckSrchSubArgument(body, sub);
}

int CArticRulSet::CheckSrchSubArgument(CExString& body, CArticRulSub* sub) {
    if (!sub) return 1;
    const int inCount = sub->GetInCount();
    const int outCount = sub->GetOutCount();
    if (body.IsEmpty()) return inCount == 0 && outCount == 0 ? 0 : 1;
    int in = 0, out = 0;
    while (!body.IsEmpty()) {
        CExString token = NextToken(body, kArgSep);
        if (token.IsEmpty()) continue;
        Operand op;
        if (!op.Parse(token)) return 1;
        int mask = 0;
        if (CArticRulUtil::GetArgType(this, op.name, op.number, op.member, op.memberNum, op.value, op.strValue,
                                      op.kind, 1, mask) != 0)
            return 1;
        const bool isOut = op.kind == kOperandOut;
        CArticRulData* bound = nullptr;
        if (isOut) {
            CArticRulDataOut* param = sub->GetDataOut(out + 1);
            bound = param ? param->GetData() : nullptr;
        } else {
            CArticRulDataIn* param = sub->GetDataIn(in + 1);
            bound = param ? param->GetData() : nullptr;
        }
        if (!bound) return 1;
        const char* cls = isOut ? OutClassOf(mask) : InClassOf(mask);
        if (!cls) return 1;
        if (std::strcmp(cls, bound->GetClassNameA()) != 0) continue;
        if (isOut)
            ++out;
        else
            ++in;
    }
    return in == inCount && out == outCount ? 0 : 1;
}

int CArticRulSet::CheckExpFunc(CExString& body) {
    if (body.IsEmpty()) return 1;
    while (!body.IsEmpty()) {
        CExString token = NextToken(body, kSep);
        if (token.IsEmpty() || token == "nSrch" || token == "Mstr") continue;
        if (token[0] == '_') {
            Operand op;
            if (!op.Parse(token) || !op.IsPlainVal() || !GetDataVal(op.number)) return 1;
            continue;
        }
        int count = 0;
        int masks[CArticExpUtil::kMaxExpArgs] = {};
        if (CArticExpUtil::GetArgmentInfo(token, &count, masks) != 0) return 1;
        return CheckExpArgument(body, count, masks);
    }
    return 0;  // conditions only: nothing is built for the line
}

int CArticRulSet::CheckExpArgument(CExString& body, int count, const int* masks) {
    int i = 0;
    bool listOpen = false;
    LONG listLength = 0;
    LONG listCount = 0;
    while (!body.IsEmpty()) {
        CString rest;
        CExString token = body.GetTokenMB(&rest, kArgSep);
        body = std::move(rest);
        if (!listOpen && body.GetLength() > 1 && body[0] == '{') {
            if (!ReadWholeLong(token, &listLength)) return 1;
            listOpen = true;
            listCount = 0;
            token.Empty();
            if (body[1] == '}') body.str().erase(0, 1);
        }
        if (!token.IsEmpty()) {
            Operand op;
            if (!op.Parse(token)) return 1;
            int mask = 0;
            if (CArticRulUtil::GetArgType(this, op.name, op.number, op.member, op.memberNum, op.value, op.strValue,
                                          op.kind, 1, mask) != 0)
                return 1;
            if (listOpen) {
                if (mask != ARG_EVNT || ++listCount > listLength) return 1;
            } else if (i < count) {
                if (!Within(mask, masks[i])) return 1;
                ++i;
            }
        }
        if (listOpen && !body.IsEmpty() && body[0] == '}') {
            listOpen = false;
            if (listCount != listLength || i >= count || !(masks[i] & ARG_EVNT_LIST)) return 1;
            ++i;
        }
    }
    return i == count ? 0 : 1;
}

// ---- The report of a faulty line

void CArticRulSet::DispLoadErrMsg(const CString& phase, const CString& line, int result) {
    if (result == 0) return;
    CString detail = "ｾｯﾄ番号 = ";
    if (m_SetNo == -1)
        detail += "未定義";
    else
        detail.AppendFormat("%d", m_SetNo);
    detail += "   行内容 = ";
    detail += line;
    DispErrMsg(kLoadCaption, kLoadMessage, phase, detail);
}
