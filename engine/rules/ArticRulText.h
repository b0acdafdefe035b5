#pragma once
// Small text helpers and message texts shared by the rule loaders and the
// rule variables.
#include <cstring>

#include "engine/work/ExString.h"
#include "platform/Numbers.h"
#include "platform/Object.h"
#include "platform/String.h"

namespace rultext {

inline constexpr char kLoadCaption[] = "表現ﾙｰﾙの読込み中にｴﾗｰが発生しました。";
inline constexpr char kLoadMessage[] = "指定した行の内容に誤りがあります。";
inline constexpr char kSelfReference[] = "ﾙｰﾙ・ﾃﾞｰﾀが自分自身を参照しています。";

inline bool IsClass(const CObject* obj, const char* name) {
    return obj && std::strcmp(obj->GetClassNameA(), name) == 0;
}
// The same test by the class's run-time record: one compare, no text.
inline bool IsClass(const CObject* obj, const CRuntimeClass* cls) { return obj && obj->GetRuntimeClass() == cls; }

inline bool StartsWith(const CString& text, const char* prefix) {
    return std::strncmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

// Splits the next token off the front of text: the token, text the rest.
inline CExString NextToken(CExString& text, const char* separators) {
    return text.GetToken(&text, separators);
}
inline CExString NextToken(CExString& text, const CExString::DelimSet& separators) {
    return text.GetToken(&text, separators);
}

// The whole text read as an integer with base prefixes ("0" octal, "0x" hex).
inline bool ReadWholeLong(const CString& text, LONG* value) {
    if (text.IsEmpty()) return false;
    size_t used = 0;
    LONG v = ParseLong(text.c_str(), 0, &used);
    if (used != size_t(text.GetLength())) return false;
    *value = v;
    return true;
}

}  // namespace rultext
