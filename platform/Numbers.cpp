#include "platform/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// The common part of strtol/strtoul: white space, sign, base prefix and
// digits. The magnitude saturates at `limit` (overflow is set then).
struct IntegerText {
    bool negative = false;
    bool overflow = false;
    uint64_t magnitude = 0;
    size_t consumed = 0;  // 0 when no digit was read
};

IntegerText readInteger(const char* text, int base, uint64_t limit) {
    IntegerText r;
    if (!text || base < 0 || base == 1 || base > 36) return r;
    const char* p = text;
    while (isSpace(*p)) ++p;
    if (*p == '+' || *p == '-') r.negative = *p++ == '-';
    // "0x" counts as a prefix only when a hexadecimal digit follows; else the
    // "0" alone is the number.
    bool hexPrefix = p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && digitValue(p[2]) < 16;
    if (base == 0) base = hexPrefix ? 16 : p[0] == '0' ? 8 : 10;
    if (base == 16 && hexPrefix) p += 2;
    const char* digits = p;
    for (; digitValue(*p) < base; ++p) {
        r.magnitude = r.magnitude * unsigned(base) + unsigned(digitValue(*p));
        if (r.magnitude > limit) {
            r.magnitude = limit;
            r.overflow = true;
        }
    }
    r.consumed = p == digits ? 0 : size_t(p - text);
    if (r.consumed == 0) r = IntegerText{};
    return r;
}

// Decimal exponent of the first significant digit of a decimal real text
// (digits, optional point, optional exponent): >= 0 when the value is 1 or
// more. Used only to tell overflow from underflow.
long long leadingExponent(const char* p, const char* end) {
    long long intDigits = 0;
    long long firstSignificant = -1;  // index among all mantissa digits
    long long index = 0;
    bool afterPoint = false;
    for (; p < end && ((*p >= '0' && *p <= '9') || *p == '.'); ++p) {
        if (*p == '.') {
            afterPoint = true;
            continue;
        }
        if (!afterPoint) ++intDigits;
        if (firstSignificant < 0 && *p != '0') firstSignificant = index;
        ++index;
    }
    long long exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool neg = p < end && *p == '-';
        if (p < end && (*p == '+' || *p == '-')) ++p;
        for (; p < end && *p >= '0' && *p <= '9'; ++p)
            if (exponent < 1000000000) exponent = exponent * 10 + (*p - '0');
        if (neg) exponent = -exponent;
    }
    return intDigits - 1 - std::max(firstSignificant, 0LL) + exponent;
}

}  // namespace

int32_t ParseLong(const char* text, int base, size_t* consumed) {
    IntegerText r = readInteger(text, base, uint64_t(INT32_MAX) + 1);
    if (consumed) *consumed = r.consumed;
    if (r.negative) return r.magnitude >= uint64_t(INT32_MAX) + 1 ? INT32_MIN : -int32_t(r.magnitude);
    return r.magnitude > uint64_t(INT32_MAX) ? INT32_MAX : int32_t(r.magnitude);
}

uint32_t ParseULong(const char* text, int base, size_t* consumed) {
    IntegerText r = readInteger(text, base, uint64_t(UINT32_MAX) + 1);
    if (consumed) *consumed = r.consumed;
    if (r.overflow || r.magnitude > UINT32_MAX) return UINT32_MAX;
    uint32_t v = uint32_t(r.magnitude);
    return r.negative ? uint32_t(0u - v) : v;
}

double ParseDouble(const char* text, size_t* consumed) {
    if (consumed) *consumed = 0;
    if (!text) return 0.0;
    const char* p = text;
    while (isSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // A sign must be followed by the number itself (from_chars would accept a second '-').
    if (*p == '-' || *p == '+') return 0.0;
    const char* end = p + std::strlen(p);
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(p, end, value, std::chars_format::general);
    if (ec == std::errc::invalid_argument) return 0.0;
    if (ec == std::errc::result_out_of_range) {
        bool overflow = leadingExponent(p, ptr) >= 0;
        value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    }
    if (consumed) *consumed = size_t(ptr - text);
    return negative ? -value : value;
}

std::string FormatLong(int32_t value, int radix) {
    if (radix < 2 || radix > 36) return std::string();
    bool minus = radix == 10 && value < 0;
    uint32_t v = minus ? 0u - uint32_t(value) : uint32_t(value);
    char buf[40];
    auto res = std::to_chars(buf, buf + sizeof buf, v, radix);
    std::string out(minus ? "-" : "");
    out.append(buf, res.ptr);
    return out;
}

std::string FixedDigits(double value, int digits, int* dec, bool* negative) {
    int decOut = 0;
    bool negOut = value < 0;
    std::string out;
    if (std::isfinite(value)) {
        // The exact decimal expansion of the double (it always has one), then
        // rounding by hand so that ties go away from zero.
        double mag = std::fabs(value);
        int exp2 = 0;
        std::frexp(mag, &exp2);
        int exact = std::max(0, std::min(1100, 53 - exp2));
        int precision = std::max(exact, digits + 1);
        std::string buf(size_t(precision) + 340, '\0');
        auto res = std::to_chars(buf.data(), buf.data() + buf.size(), mag, std::chars_format::fixed, precision);
        buf.resize(size_t(res.ptr - buf.data()));
        size_t point = buf.find('.');
        std::string all = buf.substr(0, point) + (point == std::string::npos ? "" : buf.substr(point + 1));
        long long intDigits = point == std::string::npos ? (long long)buf.size() : (long long)point;
        long long keep = intDigits + digits;  // digits that survive the rounding
        std::string kept = keep > 0 ? all.substr(0, size_t(std::min<long long>(keep, all.size()))) : std::string();
        kept.resize(size_t(std::max<long long>(keep, 0)), '0');
        char next = keep >= 0 && size_t(keep) < all.size() ? all[size_t(keep)] : '0';
        if (next >= '5') {
            int i = int(kept.size()) - 1;
            for (; i >= 0 && kept[size_t(i)] == '9'; --i) kept[size_t(i)] = '0';
            if (i >= 0)
                ++kept[size_t(i)];
            else
                kept.insert(kept.begin(), '1');
        }
        size_t nz = kept.find_first_not_of('0');
        if (nz == std::string::npos) {
            out.assign(size_t(std::max(digits, 0)), '0');
            decOut = 0;
        } else {
            out = kept.substr(nz);
            decOut = int(out.size()) - digits;
        }
    }
    if (dec) *dec = decOut;
    if (negative) *negative = negOut;
    return out;
}

int32_t DoubleToLong(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
    return int32_t(value);
}

uint32_t DoubleToULong(double value) { return uint32_t(uint64_t(DoubleToInt64(value))); }

int64_t DoubleToInt64(double value) {
    if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) return INT64_MIN;
    return int64_t(value);
}
