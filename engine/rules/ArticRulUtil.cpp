#include "engine/rules/ArticRulUtil.h"

#include "engine/rules/ArticRulText.h"

#include <cstring>
#include <new>

#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/rules/ArticRulSet.h"
#include "platform/Numbers.h"

using namespace rultext;

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Count of trailing decimal digits.
int TrailingDigits(const CString& text) {
    int n = 0;
    for (int i = text.GetLength() - 1; i >= 0 && IsDigit(text[i]); --i) ++n;
    return n;
}

const char* const kRelations[] = {"Next", "Pre", "WrkNext", "WrkPre", "AllNext", "AllPre"};
const char* const kNoteMembers[] = {"Time", "Dur", "Key", "Velo", "Gen", "Fng", "Pos", "Cho", "Prob", "Cre"};

template <size_t N>
bool OneOf(const CString& text, const char* const (&words)[N]) {
    for (const char* w : words)
        if (text == w) return true;
    return false;
}

// Declares the variable of an output reference: 0, or 1 when it exists
// already. A variable that cannot be registered is dropped.
template <class T, class Reg>
int DeclareOutput(CArticRulSet* set, int number, bool exists, Reg reg) {
    if (exists) return 1;
    T* var = new (std::nothrow) T(set, ULONG(number));
    if (var && !reg(var)) delete var;
    return 0;
}

}  // namespace

int CArticRulUtil::GetMemberNum(CExString& token, int& memberNum) {
    if (token.IsEmpty()) return 0;
    int dot = token.Find('.');
    if (dot <= 0) return 0;
    size_t used = 0;
    ParseDouble(token.c_str(), &used);
    if (used == size_t(token.GetLength())) {
        memberNum = -1;
        return 0;
    }
    int digits = TrailingDigits(token);
    if (digits == 0) return 0;
    CString tail = token.Right(digits);
    used = 0;
    ULONG n = ParseULong(tail.c_str(), 0, &used);
    if (used != size_t(digits)) return 0;
    memberNum = int(n);
    token = token.Left(token.GetLength() - digits);
    return 1;
}

int CArticRulUtil::DivParam(CExString& token, CExString& name, int& number, CExString& member, int& memberNum,
                            double& value, CExString& strValue, int& kind) {
    name.Empty();
    member.Empty();
    number = -1;
    memberNum = -1;
    value = 0.0;
    strValue.Empty();
    kind = kOperandConst;

    if (token.IsEmpty()) return 1;
    if (token.Find('/') >= 0) {
        strValue = token;
        return 0;
    }
    if (token[0] == '$') {
        CString hex = token.Mid(1);
        if (hex.IsEmpty()) return 1;
        size_t used = 0;
        LONG v = ParseLong(hex.c_str(), 16, &used);
        if (used != size_t(hex.GetLength())) return 1;
        value = double(v);
        return 0;
    }

    GetMemberNum(token, memberNum);

    // Scan back over the digit tail: digits and signs, and one '.' with
    // something already scanned to its right.
    const int len = token.GetLength();
    int start = len;
    bool dotSeen = false;
    while (start > 0) {
        char c = token[start - 1];
        if (IsDigit(c) || c == '+' || c == '-') {
            --start;
        } else if (c == '.' && !dotSeen && start < len) {
            dotSeen = true;
            --start;
        } else {
            break;
        }
    }
    if (start == 0) {
        size_t used = 0;
        double v = ParseDouble(token.c_str(), &used);
        if (used != size_t(len)) return 1;
        value = v;
        return 0;
    }

    CString head = token.Left(start);
    CString numberText = token.Mid(start);
    switch (head[0]) {
        case '"':
            if (head[head.GetLength() - 1] == '"') {
                strValue = head;
                return 0;
            }
            name = head;
            break;
        case '_':
            name = head.Mid(1);
            if (name[0] == '_' || name[0] == '&') return 1;
            kind = kOperandRef;
            break;
        case '&':
            if (head[1] != '_') return 1;
            name = head.Mid(2);
            if (name[0] == '_' || name[0] == '&') return 1;
            kind = kOperandOut;
            break;
        default:
            name = head;
            break;
    }

    int dot = name.Find('.');
    if (dot > 0) {
        member = name.Mid(dot + 1);
        name = name.Left(dot);
        int digits = TrailingDigits(name);
        if (digits > 0) {
            numberText = name.Right(digits);
            name = name.Left(name.GetLength() - digits);
        }
    }
    if (!numberText.IsEmpty()) {
        LONG n = 0;
        if (!ReadWholeLong(numberText, &n) || n < 0) return 1;
        number = int(n);
    }
    if (kind == kOperandRef && memberNum == -1 && (member == "Prob" || member == "Cre")) return 1;
    return 0;
}

int CArticRulUtil::GetArgType(CArticRulSet* set, CExString& name, int number, CExString& member, int /*memberNum*/,
                              double /*value*/, CExString& strValue, int kind, int define, int& mask) {
    mask = 0;
    if (set && kind == kOperandRef) {
        if (name == "val") {
            if (member.IsEmpty() && set->GetDataVal(number)) mask = ARG_VAL;
        } else if (name == "str") {
            if (set->GetDataStr(number)) mask = ARG_STRVAR;
        } else if (name == "ary") {
            if (set->GetDataAry(number)) mask = ARG_ARY;
        } else if (name == "vary") {
            if (set->GetDataVAry(number)) mask = ARG_VARY;
        } else if (name == "thisEvnt" || name == "evnt") {
            if (member.IsEmpty() || OneOf(member, kRelations))
                mask = ARG_EVNT;
            else if (OneOf(member, kNoteMembers))
                mask = ARG_MEMBER;
        }
        return 0;
    }
    if (set && kind == kOperandOut) {
        if (!member.IsEmpty()) return 0;
        if (name == "val") {
            mask = ARG_VAL_OUT;
            if (define)
                return DeclareOutput<CArticRulDataVal>(set, number, set->GetDataVal(number) != nullptr,
                                                       [set](CArticRulDataVal* v) { return set->SetDataVal(v); });
        } else if (name == "evnt") {
            mask = ARG_EVNT_OUT;
            if (define)
                return DeclareOutput<CArticRulDataEvnt>(set, number, set->GetDataEvnt(number) != nullptr,
                                                        [set](CArticRulDataEvnt* v) { return set->SetDataEvnt(v); });
        } else if (name == "str") {
            mask = ARG_STRVAR_OUT;
            if (define)
                return DeclareOutput<CArticRulDataStr>(set, number, set->GetDataStr(number) != nullptr,
                                                       [set](CArticRulDataStr* v) { return set->SetDataStr(v); });
        } else if (name == "ary") {
            mask = ARG_ARY_OUT;
            if (define)
                return DeclareOutput<CArticRulDataAry>(set, number, set->GetDataAry(number) != nullptr,
                                                       [set](CArticRulDataAry* v) { return set->SetDataAry(v); });
        } else if (name == "vary") {
            mask = ARG_VARY_OUT;
            if (define)
                return DeclareOutput<CArticRulDataVAry>(set, number, set->GetDataVAry(number) != nullptr,
                                                        [set](CArticRulDataVAry* v) { return set->SetDataVAry(v); });
        }
        return 0;
    }
    if (kind == kOperandConst && name.IsEmpty() && member.IsEmpty()) mask = strValue.IsEmpty() ? ARG_NUM : ARG_STR;
    return 0;
}

void CArticRulUtil::ClearRulElmList(CArticRulElmList* list) {
    if (!list) return;
    for (POSITION p = list->GetHeadPosition(); p;) delete list->GetNext(p);
    list->RemoveAll();
}

void CArticRulUtil::AppendCopies(const CArticRulElmList* src, CArticRulElmList* dst) {
    if (!src || !dst) return;
    for (POSITION p = src->GetHeadPosition(); p;) {
        const CArticRulElm* e = src->GetNext(p);
        if (!e) continue;
        CArticRulElm* copy = new (std::nothrow) CArticRulElm(*e);
        if (copy) dst->AddTail(copy);
    }
}

void CArticRulUtil::ClearDataList(CArticDataList* list) {
    if (!list) return;
    for (POSITION p = list->GetHeadPosition(); p;) delete list->GetNext(p);
    list->RemoveAll();
}

void CArticRulUtil::AppendCopies(const CArticDataList* src, CArticDataList* dst) {
    if (!src || !dst) return;
    for (POSITION p = src->GetHeadPosition(); p;) {
        const CArticData* d = src->GetNext(p);
        if (!d) continue;
        CArticData* copy = new (std::nothrow) CArticData(*d);
        if (copy) dst->AddTail(copy);
    }
}

int CArticRulUtil::GrownSize(int size, ULONG index) {
    if (int64_t(index) < size) return size;
    ULONG old = ULONG(size);
    return int(old + ((index - old) / 5) * 5 + 5);
}
