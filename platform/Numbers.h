#pragma once
// Locale-free number reading and writing. Reading follows strtol/strtod in the
// "C" locale whatever the process locale is; integers saturate at the 32-bit
// limits. `consumed` receives the number of bytes read (0 when no number).
#include <string>

#include "platform/Types.h"

// Base 0 (decimal, "0x" hexadecimal, leading-0 octal) or 2..36. Leading white
// space and a sign are read. Out of range gives INT32_MAX / INT32_MIN.
int32_t ParseLong(const char* text, int base, size_t* consumed = nullptr);
// As strtoul limited to 32 bits: out of range gives UINT32_MAX; a leading '-'
// negates in 32 bits.
uint32_t ParseULong(const char* text, int base, size_t* consumed = nullptr);
// Decimal real with '.' as the point, optional exponent; also "inf"/"nan" as strtod.
double ParseDouble(const char* text, size_t* consumed = nullptr);

// Integer to text in a radix (2..36), lower-case digits, no leading zeros; a
// '-' only in radix 10; negatives in another radix as 32-bit two's complement.
std::string FormatLong(int32_t value, int radix);

// Fixed-point digits of |value| rounded to `digits` fraction digits, as the
// old runtime's fixed-point conversion gave them: the decimal digits of
// round(|value| * 10^digits) (ties away from zero, computed on the exact
// binary value), no leading zeros except that zero gives `digits` zeros;
// *dec = number of digits - `digits` (the place of the decimal point, <= 0
// when |value| < 1); *negative = value < 0. 0.05 with 7 gives "500000", dec -1;
// 10 gives "100000000", dec 2. NaN and infinities give "" (the caller leaves
// its text unchanged).
std::string FixedDigits(double value, int digits, int* dec, bool* negative);

// Double to 32-bit integer, truncating toward zero; NaN and values outside the
// range give INT32_MIN ("integer indefinite") instead of undefined behaviour.
int32_t DoubleToLong(double value);
// The same for 64 bits (INT64_MIN when out of range).
int64_t DoubleToInt64(double value);
// Double to unsigned 32-bit integer, truncating toward zero, as the 32-bit
// runtime did through a 64-bit integer: the low 32 bits of the truncated
// value, so -1.0 gives 0xFFFFFFFF and 4294967296.0 gives 0. NaN and values
// outside the signed 64-bit range give 0 (the low half of the 64-bit
// "integer indefinite").
uint32_t DoubleToULong(double value);
