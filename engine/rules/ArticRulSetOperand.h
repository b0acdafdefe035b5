#pragma once
// Internal to the rule-set loader: one operand token taken apart, the
// separator sets of the line grammar and the member and relation codes.
#include <new>

#include "engine/rules/ArticRulText.h"
#include "engine/rules/ArticRulElm.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticRulUtil.h"
#include "engine/work/ExString.h"

namespace rulset {

// Heads, arithmetic, conditions and most bodies are cut at these.
constexpr const char* kSepText = ":+-*/,(){}";
inline constexpr CExString::DelimSet kSep{kSepText};
// Argument lists are cut at these (a sign stays with its number).
inline constexpr CExString::DelimSet kArgSep{":,(){}"};

// Relation code of a member: 1 for none, 2..7 for Next .. AllPre, 0 otherwise.
BYTE RelationCode(const CString& member);
// Note-member code: 11..14, 21..24 for Time .. Cho, 31 Prob, 32 Cre; 0 otherwise.
BYTE NoteMemberCode(const CString& member);
using rultext::ReadWholeLong;

// A declaration header ("#val", "#str", "#evnt", "#in", "#out"): phase 1
// makes the variable once (a second declaration is faulty); phase 2 only
// checks that it was made. `owner` makes and `add` registers the variable
// (non-zero when registered); 0 when the line passes.
template <class T, class Owner, class Add>
int DeclareVariable(Owner* owner, int number, bool phase1, bool exists, Add add) {
    if (!phase1) return exists ? 0 : 1;
    if (exists) return 1;
    auto* var = new (std::nothrow) T(owner, ULONG(number));
    if (var && add(var)) return 0;
    delete var;
    return 1;
}

}  // namespace rulset

struct CArticRulSet::Operand {
    CExString name, member, strValue;
    int number = -1;
    int memberNum = -1;
    int kind = kOperandConst;
    double value = 0.0;

    // Takes the token apart: false when it is malformed.
    bool Parse(const CString& token) {
        return CArticRulUtil::DivOperand(token, name, number, member, memberNum, value, strValue, kind) == 0;
    }
    bool IsNumber() const { return kind == kOperandConst && name.IsEmpty() && member.IsEmpty() && strValue.IsEmpty(); }
    bool IsText() const { return kind == kOperandConst && name.IsEmpty() && member.IsEmpty() && !strValue.IsEmpty(); }
    bool IsRef() const { return kind == kOperandRef; }
    bool IsEvntName() const { return name == "thisEvnt" || name == "evnt"; }
    bool IsThisEvnt() const { return name == "thisEvnt"; }
    // An event reference naming a note itself or by a relation.
    bool IsEvntRef() const { return IsRef() && IsEvntName() && rulset::RelationCode(member) != 0; }
    // A reference to value variable number M without member.
    bool IsPlainVal() const { return IsRef() && name == "val" && member.IsEmpty(); }
};
