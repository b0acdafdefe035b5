#include "platform/String.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/Text.h"

namespace {

// Byte length of the character at s[i] inside a text of n bytes.
size_t charLen(const std::string& s, size_t i) {
    return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

bool isAsciiSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// True when the character of `len` bytes at p is one of the characters of
// set, compared character by character (a trail byte never matches alone).
bool setHasChar(const char* set, const char* p, size_t len) {
    if (!set) return false;
    size_t n = std::strlen(set);
    for (size_t i = 0; i < n;) {
        size_t l = IsLeadByte(static_cast<unsigned char>(set[i])) && i + 1 < n ? 2 : 1;
        if (l == len && std::memcmp(set + i, p, len) == 0) return true;
        i += l;
    }
    return false;
}

// Clamps a (first, count) range to the text the way the old string class did.
void clampRange(int length, int& first, int& count) {
    if (first < 0) first = 0;
    if (count < 0) count = 0;
    if (first > length) first = length;
    if (int64_t(first) + count > length) count = length - first;
}

}  // namespace

CString::CString(const char* text, int length)
    : s_(text && length > 0 ? std::string(text, size_t(length)) : std::string()) {}

CString CString::Mid(int first) const { return Mid(first, GetLength() - (first < 0 ? 0 : first)); }

CString CString::Mid(int first, int count) const {
    clampRange(GetLength(), first, count);
    return CString(s_.substr(size_t(first), size_t(count)));
}

CString CString::Left(int count) const {
    if (count < 0) count = 0;
    return CString(s_.substr(0, std::min(size_t(count), s_.size())));
}

CString CString::Right(int count) const {
    if (count < 0) count = 0;
    size_t n = std::min(size_t(count), s_.size());
    return CString(s_.substr(s_.size() - n));
}

CString CString::SpanIncluding(const char* set) const {
    size_t i = 0;
    while (i < s_.size()) {
        size_t l = charLen(s_, i);
        if (!setHasChar(set, s_.data() + i, l)) break;
        i += l;
    }
    return CString(s_.substr(0, i));
}

CString CString::SpanExcluding(const char* set) const {
    size_t i = 0;
    while (i < s_.size()) {
        size_t l = charLen(s_, i);
        if (setHasChar(set, s_.data() + i, l)) break;
        i += l;
    }
    return CString(s_.substr(0, i));
}

int CString::Find(char ch, int start) const {
    if (start < 0) start = 0;
    // The walk goes by characters from the front, so that a trail byte is
    // never taken for ch; the bytes are read once, through a plain pointer.
    const unsigned char* d = reinterpret_cast<const unsigned char*>(s_.data());
    const size_t n = s_.size();
    const unsigned char want = static_cast<unsigned char>(ch);
    for (size_t i = 0; i < n;) {
        const unsigned char c = d[i];
        if (c == want && i >= size_t(start)) return int(i);
        i += IsLeadByte(c) && i + 1 < n ? 2 : 1;
    }
    return -1;
}

int CString::Find(const char* sub, int start) const {
    if (start < 0) start = 0;
    if (start > GetLength()) return -1;
    size_t n = sub ? std::strlen(sub) : 0;
    // An empty pattern matches at the first character start from `start` on.
    for (size_t i = 0; i <= s_.size(); i += i < s_.size() ? charLen(s_, i) : 1) {
        if (int(i) < start) continue;
        if (n == 0) return int(i);
        if (s_.size() - i >= n && std::memcmp(s_.data() + i, sub, n) == 0) return int(i);
    }
    return -1;
}

int CString::ReverseFind(char ch) const {
    int found = -1;
    for (size_t i = 0; i < s_.size(); i += charLen(s_, i))
        if (s_[i] == ch) found = int(i);
    return found;
}

int CString::FindOneOf(const char* set) const {
    for (size_t i = 0; i < s_.size(); i += charLen(s_, i))
        if (setHasChar(set, s_.data() + i, charLen(s_, i))) return int(i);
    return -1;
}

void CString::MakeUpper() {
    for (size_t i = 0; i < s_.size(); i += charLen(s_, i))
        if (charLen(s_, i) == 1) s_[i] = asciiUpper(s_[i]);
}

void CString::MakeLower() {
    for (size_t i = 0; i < s_.size(); i += charLen(s_, i))
        if (charLen(s_, i) == 1) s_[i] = asciiLower(s_[i]);
}

void CString::MakeReverse() {
    // Characters change places; the two bytes of a double-byte character keep their order.
    std::string out(s_.size(), '\0');
    size_t end = s_.size();
    for (size_t i = 0; i < s_.size();) {
        size_t l = charLen(s_, i);
        end -= l;
        std::memcpy(&out[end], s_.data() + i, l);
        i += l;
    }
    s_.swap(out);
}

int CString::Replace(char from, char to) {
    if (from == to) return 0;
    int count = 0;
    for (size_t i = 0; i < s_.size(); i += charLen(s_, i)) {
        if (charLen(s_, i) == 1 && s_[i] == from) {
            s_[i] = to;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const char* from, const char* to) {
    size_t n = from ? std::strlen(from) : 0;
    if (n == 0) return 0;
    const char* with = to ? to : "";
    std::string out;
    int count = 0;
    for (size_t i = 0; i < s_.size();) {
        if (s_.size() - i >= n && std::memcmp(s_.data() + i, from, n) == 0) {
            out += with;
            i += n;
            ++count;
            continue;
        }
        size_t l = charLen(s_, i);
        out.append(s_, i, l);
        i += l;
    }
    if (count) s_.swap(out);
    return count;
}

int CString::Remove(char ch) {
    std::string out;
    out.reserve(s_.size());
    int count = 0;
    for (size_t i = 0; i < s_.size();) {
        size_t l = charLen(s_, i);
        if (l == 1 && s_[i] == ch)
            ++count;
        else
            out.append(s_, i, l);
        i += l;
    }
    s_.swap(out);
    return count;
}

int CString::Insert(int index, char ch) {
    char text[2] = {ch, '\0'};
    if (index < 0) index = 0;
    if (index > GetLength()) index = GetLength();
    s_.insert(size_t(index), text, 1);
    return GetLength();
}

int CString::Insert(int index, const char* text) {
    if (index < 0) index = 0;
    if (index > GetLength()) index = GetLength();
    if (text) s_.insert(size_t(index), text);
    return GetLength();
}

int CString::Delete(int index, int count) {
    if (index < GetLength()) {
        clampRange(GetLength(), index, count);
        s_.erase(size_t(index), size_t(count));
    }
    return GetLength();
}

void CString::TrimLeft() {
    size_t i = 0;
    while (i < s_.size() && isAsciiSpace(static_cast<unsigned char>(s_[i]))) ++i;
    s_.erase(0, i);
}

void CString::TrimRight() {
    // Walk forward so that a trail byte is never taken for white space.
    size_t keep = 0;
    for (size_t i = 0; i < s_.size();) {
        size_t l = charLen(s_, i);
        if (l == 2 || !isAsciiSpace(static_cast<unsigned char>(s_[i]))) keep = i + l;
        i += l;
    }
    s_.resize(keep);
}

void CString::TrimLeft(char ch) {
    char set[2] = {ch, '\0'};
    if (ch == '\0') return;
    TrimLeft(set);
}

void CString::TrimRight(char ch) {
    char set[2] = {ch, '\0'};
    if (ch == '\0') return;
    TrimRight(set);
}

void CString::TrimLeft(const char* set) {
    size_t i = 0;
    while (i < s_.size()) {
        size_t l = charLen(s_, i);
        if (!setHasChar(set, s_.data() + i, l)) break;
        i += l;
    }
    s_.erase(0, i);
}

void CString::TrimRight(const char* set) {
    size_t keep = 0;
    for (size_t i = 0; i < s_.size();) {
        size_t l = charLen(s_, i);
        if (!setHasChar(set, s_.data() + i, l)) keep = i + l;
        i += l;
    }
    s_.resize(keep);
}

int CString::Compare(const char* other) const {
    int r = std::strcmp(s_.c_str(), other ? other : "");  // compares unsigned bytes
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int CString::CompareNoCase(const char* other) const {
    const unsigned char* a = reinterpret_cast<const unsigned char*>(s_.c_str());
    const unsigned char* b = reinterpret_cast<const unsigned char*>(other ? other : "");
    // Both texts stay aligned on the same character starts as long as they
    // agree, so one trail flag serves both.
    bool trail = false;
    for (;; ++a, ++b) {
        unsigned char ca = trail ? *a : static_cast<unsigned char>(asciiLower(char(*a)));
        unsigned char cb = trail ? *b : static_cast<unsigned char>(asciiLower(char(*b)));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
        trail = !trail && IsLeadByte(ca);
    }
}

char* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) s_.resize(size_t(minLength), '\0');
    return s_.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0)
        s_.resize(std::strlen(s_.c_str()));
    else if (size_t(newLength) < s_.size())
        s_.resize(size_t(newLength));
}

// Formats with the C library. Reals formatted here follow the process locale's
// decimal point, so engine code writes its numbers through Numbers.h instead.
void CString::FormatRaw(const char* format, ...) {
    if (!format) {
        s_.clear();
        return;
    }
    std::vector<char> buf(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        int n = std::vsnprintf(buf.data(), buf.size(), format, args);
        va_end(args);
        if (n < 0) {
            s_.clear();
            return;
        }
        if (size_t(n) < buf.size()) {
            s_.assign(buf.data(), size_t(n));
            return;
        }
        buf.resize(size_t(n) + 1);
    }
}
