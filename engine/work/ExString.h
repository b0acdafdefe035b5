#pragma once
// The engine's text class for rule scripts, expression texts, work dumps,
// bar/beat/tick positions and fingering texts: blank and comment removal,
// reading numbers off the front, and token splitting whose exact rules are
// part of the grammar of those inputs. Texts are CP932 bytes; only
// GetTokenMB knows double-byte characters.
#include <cstdint>
#include <string>
#include <utility>

#include "platform/String.h"
#include "platform/Types.h"

class CExString : public CString {
public:
    CExString() = default;
    CExString(const char* text) : CString(text) {}
    CExString(const char* text, int length) : CString(text, length) {}
    CExString(const CString& text) : CString(text) {}
    CExString(CString&& text) : CString(std::move(text)) {}
    CExString(const std::string& text) : CString(text) {}

    CExString& operator=(const char* text) {
        CString::operator=(text);
        return *this;
    }
    CExString& operator=(const CString& text) {
        CString::operator=(text);
        return *this;
    }
    CExString& operator=(CString&& text) {
        CString::operator=(std::move(text));
        return *this;
    }

    // Removes spaces outside double quotes and every tab (inside quotes too).
    void EraseBlankOutDQ();
    // Removes every space and tab; quotes give no protection.
    void EraseBlank();
    // Cuts the text before its first ';', quoted or not.
    void EraseComment();

    // Reads a number at the front; the text becomes the unread rest. Without a
    // number the result is 0 and the text is left as it was.
    double GetDouble();
    LONG GetLong(int radix);

    // A delimiter set as a table of the 256 byte values (a NUL ends the set
    // and is never a delimiter). A set a loader uses for every token is made
    // once, as a constant.
    class DelimSet {
    public:
        constexpr explicit DelimSet(const char* text) {
            for (const char* p = text ? text : ""; *p; ++p) {
                const unsigned char b = static_cast<unsigned char>(*p);
                bits_[b >> 6] |= uint64_t(1) << (b & 63);
            }
        }
        constexpr bool Has(char ch) const {
            const unsigned char b = static_cast<unsigned char>(ch);
            return (bits_[b >> 6] >> (b & 63)) & 1;
        }

    private:
        uint64_t bits_[4] = {0, 0, 0, 0};
    };

    // Splits off the first token at any byte of delims; delimiters, spaces
    // and tabs before the token are skipped. The text itself is not changed; *rest gets the remainder, which begins with the delimiter
    // that ended the token (empty when the token ran to the end or only a
    // final delimiter followed). rest may point at this text.
    CString GetToken(CString* rest, const CString& delims) { return GetToken(rest, delims.GetString()); }
    CString GetToken(CString* rest, const char* delims) { return GetToken(rest, DelimSet(delims)); }
    CString GetToken(CString* rest, const DelimSet& delims);
    // Where GetToken would cut, found without copying: the token's first
    // byte and length (start -1 when there is no token) and the first byte of
    // the remainder (-1 when the remainder is empty).
    struct TokenSpan {
        int start = -1;
        int length = 0;
        int rest = -1;
    };
    TokenSpan FindToken(const char* delims) const { return FindToken(DelimSet(delims)); }
    TokenSpan FindToken(const DelimSet& delims) const;
    // As GetToken, but a double-byte character is never split: its trail
    // byte is not taken for a delimiter.
    CString GetTokenMB(CString* rest, const CString& delims) { return GetTokenMB(rest, delims.GetString()); }
    CString GetTokenMB(CString* rest, const char* delims) { return GetTokenMB(rest, DelimSet(delims)); }
    CString GetTokenMB(CString* rest, const DelimSet& delims);
    // As GetToken, or, when the text begins with '(', the inside of that
    // parenthesised group (*paren = 1); the remainder then begins after ')'.
    CString GetTokenParen(CString* rest, int* paren, const CString& delims) {
        return GetTokenParen(rest, paren, delims.GetString());
    }
    CString GetTokenParen(CString* rest, int* paren, const char* delims) {
        return GetTokenParen(rest, paren, DelimSet(delims));
    }
    CString GetTokenParen(CString* rest, int* paren, const DelimSet& delims);

    // The text becomes the value in the radix: lower-case digits, a '-' only
    // in radix 10, negatives otherwise as 32-bit two's complement.
    void ConvShortToStr(short value, int radix);
    void ConvLongToStr(LONG value, int radix);
    // The text becomes the value rounded to `digits` fraction digits, trailing
    // zeros dropped but one fraction digit kept (1 -> "1.0").
    void ConvDoubleToStr(double value, int digits);
};
