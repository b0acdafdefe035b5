#pragma once
// CString: a byte string (engine text is CP932). Positions and lengths count
// bytes. Mid/Left/Right clamp instead of failing: a negative count is 0, a
// range past the end is cut, a start past the end gives "". Find/ReverseFind
// give -1 when nothing is found and only match at character starts (a trail
// byte of a double-byte character is never taken for an ASCII character).
// A negative start of Find counts as 0. Ordering compares unsigned bytes. MakeUpper/MakeLower change ASCII letters
// only, never a trail byte.
#include <string>
#include <type_traits>

#include "platform/Types.h"

class CString {
public:
    CString() = default;
    CString(const char* text) : s_(text ? text : "") {}
    CString(const char* text, int length);
    CString(const unsigned char* text) : CString(reinterpret_cast<const char*>(text)) {}
    CString(char ch, int repeat = 1) : s_(repeat > 0 ? size_t(repeat) : 0, ch) {}
    CString(const std::string& text) : s_(text) {}
    CString(std::string&& text) : s_(std::move(text)) {}

    int GetLength() const { return int(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    void Empty() { s_.clear(); }
    const char* GetString() const { return s_.c_str(); }
    const char* c_str() const { return s_.c_str(); }
    operator const char*() const { return s_.c_str(); }
    const std::string& str() const { return s_; }
    std::string& str() { return s_; }

    // Out-of-range indexes read as 0 and are never written.
    char GetAt(int i) const { return i >= 0 && i < GetLength() ? s_[size_t(i)] : '\0'; }
    char operator[](int i) const { return GetAt(i); }
    void SetAt(int i, char ch) {
        if (i >= 0 && i < GetLength()) s_[size_t(i)] = ch;
    }

    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString SpanIncluding(const char* set) const;
    CString SpanExcluding(const char* set) const;

    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* set) const;

    void MakeUpper();
    void MakeLower();
    void MakeReverse();
    int Replace(char from, char to);
    int Replace(const char* from, const char* to);
    int Remove(char ch);
    int Insert(int index, char ch);
    int Insert(int index, const char* text);
    int Delete(int index, int count = 1);
    void TrimLeft();
    void TrimRight();
    void Trim() { TrimRight(); TrimLeft(); }
    void TrimLeft(char ch);
    void TrimRight(char ch);
    void TrimLeft(const char* set);
    void TrimRight(const char* set);

    int Compare(const char* other) const;        // unsigned bytes: <0, 0, >0
    int CompareNoCase(const char* other) const;  // ASCII letters folded

    // Direct writes: GetBuffer gives room for at least minLength bytes (plus the
    // terminator); ReleaseBuffer(-1) takes the length up to the first 0 byte.
    char* GetBuffer(int minLength = 0);
    void ReleaseBuffer(int newLength = -1);

    // printf-style formatting. CString arguments are passed as their texts, so
    // handing a CString to "%s" is safe.
    template <class... Args>
    void Format(const char* format, const Args&... args) {
        FormatRaw(format, formatArg(args)...);
    }
    template <class... Args>
    void AppendFormat(const char* format, const Args&... args) {
        CString more;
        more.FormatRaw(format, formatArg(args)...);
        s_ += more.s_;
    }

    CString& operator=(const char* text) {
        s_ = text ? text : "";
        return *this;
    }
    CString& operator=(char ch) {
        s_.assign(1, ch);
        return *this;
    }
    CString& operator+=(const CString& t) {
        s_ += t.s_;
        return *this;
    }
    CString& operator+=(const char* t) {
        if (t) s_ += t;
        return *this;
    }
    CString& operator+=(char ch) {
        s_ += ch;
        return *this;
    }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.s_ + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.s_); }
    friend CString operator+(const CString& a, char b) { return CString(a.s_ + b); }
    friend CString operator+(char a, const CString& b) { return CString(std::string(1, a) + b.s_); }

    friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
    friend bool operator==(const CString& a, const char* b) {
        // Byte by byte up to b's end, so that a differing first byte ends the
        // test at once (loaders compare many short words this way).
        if (!b) return a.s_.empty();
        const char* p = a.s_.data();
        const size_t n = a.s_.size();
        for (size_t i = 0; i < n; ++i)
            if (b[i] == '\0' || p[i] != b[i]) return false;
        return b[n] == '\0';
    }
    friend bool operator==(const char* a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
    friend bool operator<(const CString& a, const CString& b) { return a.Compare(b.c_str()) < 0; }
    friend bool operator>(const CString& a, const CString& b) { return a.Compare(b.c_str()) > 0; }
    friend bool operator<=(const CString& a, const CString& b) { return a.Compare(b.c_str()) <= 0; }
    friend bool operator>=(const CString& a, const CString& b) { return a.Compare(b.c_str()) >= 0; }

    // C-style varargs formatting; use Format, which converts CString arguments.
    void FormatRaw(const char* format, ...);

private:
    // Texts (CString and classes derived from it, std::string) become their
    // bytes; any other class would reach the C varargs as raw object bytes.
    template <class T>
    static auto formatArg(const T& v) {
        if constexpr (std::is_base_of_v<CString, T>)
            return v.c_str();
        else if constexpr (std::is_same_v<T, std::string>)
            return v.c_str();
        else {
            static_assert(!std::is_class_v<T>, "Format takes numbers, pointers and texts only");
            return v;
        }
    }

    std::string s_;
};
