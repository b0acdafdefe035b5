#include "engine/rules/ArticRulUtil.h"

#include "engine/rules/ArticRulText.h"

#include <cstring>
#include <new>
#include <string>

#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/rules/ArticRulSet.h"
#include "platform/Numbers.h"
#include "platform/Text.h"

using namespace rultext;

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Count of trailing decimal digits of text[0, length).
int TrailingDigits(const char* text, int length) {
    int n = 0;
    for (int i = length - 1; i >= 0 && IsDigit(text[i]); --i) ++n;
    return n;
}

// Index of ch in text[0, length) as CString::Find gives it (a trail byte of a
// double-byte character is never taken for ch); -1 when absent.
int FindChar(const char* text, int length, char ch) {
    // Without the byte anywhere there is no character to walk to.
    if (length <= 0 || !std::memchr(text, ch, size_t(length))) return -1;
    for (int i = 0; i < length;) {
        if (text[i] == ch) return i;
        i += IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < length ? 2 : 1;
    }
    return -1;
}

// text[0, length) read whole as an integer (see ReadWholeLong), copied
// first because the number parser reads up to a NUL byte.
bool ReadWholeLongAt(const char* text, int length, LONG* value) {
    return ReadWholeLong(CString(text, length), value);
}

// The length the token keeps without its trailing member number
// ("_evnt1.Prob12" keeps 11 and gives memberNum 12); its whole length when
// it has none. A token that reads whole as a number sets memberNum to -1.
int MemberNumCut(const CString& token, int& memberNum) {
    const int len = token.GetLength();
    if (len == 0) return 0;
    const char* s = token.c_str();
    if (FindChar(s, len, '.') <= 0) return len;
    size_t used = 0;
    // A variable name never reads as a number.
    if (s[0] != '_' && s[0] != '&') ParseDouble(s, &used);
    if (used == size_t(len)) {
        memberNum = -1;
        return len;
    }
    const int digits = TrailingDigits(s, len);
    if (digits == 0) return len;
    used = 0;
    const ULONG n = ParseULong(s + len - digits, 0, &used);
    if (used != size_t(digits)) return len;
    memberNum = int(n);
    return len - digits;
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
    const int keep = MemberNumCut(token, memberNum);
    if (keep == token.GetLength()) return 0;
    token.str().resize(size_t(keep));
    return 1;
}

int CArticRulUtil::DivParam(CExString& token, CExString& name, int& number, CExString& member, int& memberNum,
                            double& value, CExString& strValue, int& kind) {
    const int r = DivOperand(token, name, number, member, memberNum, value, strValue, kind);
    if (!token.IsEmpty() && token.Find('/') < 0 && token[0] != '$') {
        int cut = -1;
        GetMemberNum(token, cut);
    }
    return r;
}

int CArticRulUtil::DivOperand(const CString& token, CExString& name, int& number, CExString& member,
                              int& memberNum, double& value, CExString& strValue, int& kind) {
    name.Empty();
    member.Empty();
    number = -1;
    memberNum = -1;
    value = 0.0;
    strValue.Empty();
    kind = kOperandConst;

    // The parts are found as ranges of the token's bytes; only the results
    // are copied out.
    const int full = token.GetLength();
    if (full == 0) return 1;
    const char* s = token.c_str();
    if (FindChar(s, full, '/') >= 0) {
        strValue = token;
        return 0;
    }
    if (s[0] == '$') {
        if (full == 1) return 1;
        size_t used = 0;
        LONG v = ParseLong(s + 1, 16, &used);
        if (used != size_t(full - 1)) return 1;
        value = double(v);
        return 0;
    }

    const int len = MemberNumCut(token, memberNum);

    // Scan back over the digit tail: digits and signs, and one '.' with
    // something already scanned to its right.
    int start = len;
    bool dotSeen = false;
    while (start > 0) {
        char c = s[start - 1];
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
        double v = len == full ? ParseDouble(s, &used) : ParseDouble(std::string(s, size_t(len)).c_str(), &used);
        if (used != size_t(len)) return 1;
        value = v;
        return 0;
    }

    // head = [0, start), the number text = [numFrom, numFrom + numLen).
    int numFrom = start;
    int numLen = len - start;
    int nameFrom = 0;
    switch (s[0]) {
        case '"':
            if (s[start - 1] == '"') {
                strValue.str().assign(s, size_t(start));
                return 0;
            }
            break;
        case '_':
            nameFrom = 1;
            kind = kOperandRef;
            break;
        case '&':
            if (start < 2 || s[1] != '_') return 1;
            nameFrom = 2;
            kind = kOperandOut;
            break;
        default: break;
    }
    const char* n = s + nameFrom;
    int nameLen = start - nameFrom;
    if (nameFrom > 0 && nameLen > 0 && (n[0] == '_' || n[0] == '&')) return 1;

    const int dot = FindChar(n, nameLen, '.');
    if (dot > 0) {
        member.str() = std::string(n + dot + 1, size_t(nameLen - dot - 1));
        nameLen = dot;
        const int digits = TrailingDigits(n, nameLen);
        if (digits > 0) {
            numFrom = nameFrom + nameLen - digits;
            numLen = digits;
            nameLen -= digits;
        }
    }
    name.str() = std::string(n, size_t(nameLen));
    if (numLen > 0) {
        LONG v = 0;
        if (!ReadWholeLongAt(s + numFrom, numLen, &v) || v < 0) return 1;
        number = int(v);
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
