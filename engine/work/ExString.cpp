#include "engine/work/ExString.h"

#include <cstdint>
#include <cstring>

#include "platform/Numbers.h"
#include "platform/Text.h"

namespace {

using Delims = CExString::DelimSet;

bool IsDelim(const Delims& delims, char ch) { return delims.Has(ch); }

// Blanks before a token are skipped like leading delimiters, so "  Cc:64"
// gives "Cc"; inside and after a token they are ordinary bytes.
bool StartsToken(const Delims& delims, char ch) {
    return ch != ' ' && ch != '\t' && !IsDelim(delims, ch);
}

// Where a token walk ended: the token's first and last-plus-one byte (-1 when
// not found) and the index the walk stopped at (n when it ran to the end).
struct TokenWalk {
    int start = -1;
    int end = -1;
    int stop = 0;
};

// The token and the remainder of a plain walk: the remainder begins with the
// delimiter that ended the token, and is empty when the walk ran to the end.
CString PlainToken(const CString& text, const TokenWalk& w, CString* rest) {
    const int n = text.GetLength();
    CString token;
    if (w.start >= 0) token = w.end < 0 ? text.Mid(w.start) : text.Mid(w.start, w.end - w.start);
    if (!rest) return token;
    // After the token: rest may be this very text, which then loses its front.
    const size_t from = w.stop > 0 ? size_t(w.stop - 1) : 0;
    if (w.stop >= n)
        rest->Empty();
    else if (rest == &text)
        rest->str().erase(0, from);
    else
        rest->str().assign(text.str(), from, std::string::npos);
    return token;
}

}  // namespace

// Both erasers keep the text's bytes in place, moving the kept ones forward.
void CExString::EraseBlankOutDQ() {
    std::string& s = str();
    bool quoted = false;
    size_t kept = 0;
    for (const char ch : s) {
        if (ch == '"') quoted = !quoted;
        if (ch == '\t') continue;
        if (ch == ' ' && !quoted) continue;
        s[kept++] = ch;
    }
    s.resize(kept);
}

void CExString::EraseBlank() {
    std::string& s = str();
    size_t kept = 0;
    for (const char ch : s)
        if (ch != ' ' && ch != '\t') s[kept++] = ch;
    s.resize(kept);
}

void CExString::EraseComment() {
    const size_t at = str().find(';');
    if (at != std::string::npos) str().erase(at);
}

double CExString::GetDouble() {
    size_t used = 0;
    const double value = ParseDouble(GetString(), &used);
    if (used == 0) return 0.0;
    str().erase(0, used);
    return value;
}

LONG CExString::GetLong(int radix) {
    if (radix != 0 && (radix < 2 || radix > 36)) return 0;
    size_t used = 0;
    const LONG value = ParseLong(GetString(), radix, &used);
    if (used == 0) return 0;
    str().erase(0, used);
    return value;
}

CExString::TokenSpan CExString::FindToken(const DelimSet& delims) const {
    const int n = GetLength();
    const char* s = GetString();
    TokenSpan t;
    int i = 0;
    while (i < n && !StartsToken(delims, s[i])) ++i;
    if (i == n) return t;
    t.start = i;
    while (i < n && !IsDelim(delims, s[i])) ++i;
    t.length = i - t.start;
    // A delimiter that is the last byte leaves no remainder.
    if (i + 1 < n) t.rest = i;
    return t;
}

CString CExString::GetToken(CString* rest, const DelimSet& delims) {
    const TokenSpan t = FindToken(delims);
    CString token = t.start < 0 ? CString() : CString(GetString() + t.start, t.length);
    if (!rest) return token;
    // rest may be this very text, which then loses its front.
    if (t.rest < 0)
        rest->Empty();
    else if (rest == this)
        str().erase(0, size_t(t.rest));
    else
        rest->str().assign(str(), size_t(t.rest), std::string::npos);
    return token;
}

CString CExString::GetTokenMB(CString* rest, const DelimSet& delims) {
    const int n = GetLength();
    const char* s = GetString();
    TokenWalk w;
    int i = 0;
    while (i < n) {
        if (IsLeadByte(static_cast<unsigned char>(s[i]))) {
            if (w.start < 0) {
                w.start = i;
            } else if (w.end >= 0) {
                break;
            }
            // A lead byte that is the last byte of the text has no trail byte
            // to skip: the walk ends at the text's end, not past it.
            i = i + 2 <= n ? i + 2 : n;
            continue;
        }
        if (w.start < 0) {
            if (StartsToken(delims, s[i])) w.start = i;
        } else {
            if (w.end >= 0) break;
            if (IsDelim(delims, s[i])) w.end = i;
        }
        ++i;
    }
    w.stop = i;
    return PlainToken(*this, w, rest);
}

CString CExString::GetTokenParen(CString* rest, int* paren, const DelimSet& delims) {
    const int n = GetLength();
    const char* s = GetString();
    int group = 0;
    int depth = 0;
    bool plain = false;
    TokenWalk w;
    int i = 0;
    bool closed = false;
    for (; i < n; ++i) {
        const char ch = s[i];
        if (!plain) {
            if (ch == '(') {
                if (depth == 0) {
                    group = 1;
                    w.start = i;
                }
                ++depth;
            } else if (ch == ')') {
                --depth;
                if (depth == 0) {
                    w.end = i;
                    closed = true;
                    ++i;
                    break;
                }
            }
        }
        if (group == 0) {
            if (w.start < 0) {
                if (StartsToken(delims, ch)) {
                    w.start = i;
                    plain = true;
                }
            } else {
                if (w.end >= 0) break;
                if (IsDelim(delims, ch)) w.end = i;
            }
        }
    }
    w.stop = i;
    if (paren) *paren = group;
    if (group == 0) return PlainToken(*this, w, rest);

    // The inside of the group, without its outer parentheses; an unclosed
    // group runs to the end of the text.
    CString token = closed ? Mid(w.start + 1, w.end - w.start - 1) : Mid(w.start + 1);
    CString remainder = w.stop >= n ? CString() : Mid(w.stop);
    if (rest) *rest = remainder;
    return token;
}

void CExString::ConvShortToStr(short value, int radix) {
    ConvLongToStr(LONG(value), radix);
}

void CExString::ConvLongToStr(LONG value, int radix) {
    if (radix < 2 || radix > 36) return;
    str() = FormatLong(value, radix);
}

void CExString::ConvDoubleToStr(double value, int digits) {
    if (digits < 0) digits = 0;
    int dec = 0;
    bool negative = false;
    const std::string figures = FixedDigits(value, digits, &dec, &negative);
    if (figures.empty()) return;

    std::string integer = dec < 1 ? std::string("0") : figures.substr(0, size_t(dec));
    std::string fraction;
    if (dec < 0) {
        fraction.assign(size_t(-dec), '0');
        fraction += figures;
    } else if (size_t(dec) < figures.size()) {
        fraction = figures.substr(size_t(dec));
    }
    // Trailing zeros go, but one fraction digit always stays ("1.0").
    while (fraction.size() > 1 && fraction.back() == '0') fraction.pop_back();

    str() = (negative ? "-" : "") + integer + "." + fraction;
}
