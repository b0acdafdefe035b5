#include "platform/Text.h"

#include <iconv.h>

#include <cerrno>

namespace {

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";  // U+FFFD

bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// One iconv descriptor per thread and direction: iconv keeps shift state, so a
// descriptor must never be shared between threads.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can. On a byte sequence it cannot take, it asks
    // `skip` how many input bytes to drop and appends `replacement`.
    template <class Skip>
    std::string run(const char* in, size_t length, const char* replacement, Skip skip) {
        std::string out;
        if (!ok() || length == 0) return out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.resize(length * 2 + 16);
        char* src = const_cast<char*>(in);
        size_t srcLeft = length;
        size_t used = 0;
        while (srcLeft > 0) {
            char* dst = &out[used];
            size_t dstLeft = out.size() - used;
            size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            used = out.size() - dstLeft;
            if (r != size_t(-1)) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ (bad or unmappable) or EINVAL (cut off at the end).
            size_t drop = errno == EINVAL ? srcLeft : skip(reinterpret_cast<unsigned char*>(src), srcLeft);
            out.resize(used);
            out += replacement;
            used = out.size();
            out.resize(used + srcLeft * 2 + 16);
            src += drop;
            srcLeft -= drop;
        }
        out.resize(used);
        return out;
    }

private:
    iconv_t cd_;
};

Converter& fromCp932() {
    // "CP932" keeps 0x5C a backslash (the Shift-JIS tables make it a yen sign).
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter& toCp932() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

// A bad double-byte character is dropped whole when its second byte could be
// a trail byte; otherwise only the offending byte goes.
size_t skipCp932(const unsigned char* p, size_t left) {
    return IsLeadByte(p[0]) && left >= 2 && isTrailByte(p[1]) ? 2 : 1;
}

// Length of the well-formed UTF-8 sequence at p, or 1 for a bad byte.
size_t utf8SequenceLength(const unsigned char* p, size_t left) {
    size_t n = p[0] < 0x80 ? 1 : (p[0] >> 5) == 0x6 ? 2 : (p[0] >> 4) == 0xE ? 3 : (p[0] >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || n > left) return 1;
    for (size_t i = 1; i < n; ++i)
        if ((p[i] & 0xC0) != 0x80) return 1;
    return n;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 character at s[i]; a malformed, overlong or surrogate
// sequence gives U+FFFD and advances by one byte.
char32_t decodeUtf8(const std::string& s, size_t& i) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data()) + i;
    size_t left = s.size() - i;
    size_t n = utf8SequenceLength(p, left);
    if (n == 1) {
        ++i;
        return p[0] < 0x80 ? p[0] : 0xFFFD;
    }
    char32_t c = p[0] & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) c = (c << 6) | (p[k] & 0x3F);
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMin[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += n;
    return c;
}

}  // namespace

int CharLengthAt(const char* text, int length, int i) {
    if (!text || i < 0 || i >= length) return 1;
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < length ? 2 : 1;
}

std::string Cp932ToUtf8(const CString& text) {
    return fromCp932().run(text.c_str(), size_t(text.GetLength()), kReplacementUtf8, skipCp932);
}

CString Utf8ToCp932(const std::string& text) {
    return CString(toCp932().run(text.data(), text.size(), "?", utf8SequenceLength));
}

std::u16string Cp932ToUtf16(const char* text, size_t length) {
    if (!text) return std::u16string();
    return Utf8ToUtf16(fromCp932().run(text, length, kReplacementUtf8, skipCp932));
}

CString Utf16ToCp932(const std::u16string& text) { return Utf8ToCp932(Utf16ToUtf8(text)); }

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;  // a lone surrogate
        }
        appendUtf8(out, c);
    }
    return out;
}

std::u16string Utf8ToUtf16(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t c = decodeUtf8(text, i);
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}
