#pragma once
// Double-byte text: the lead-byte test and conversions between the engine's
// CP932 bytes and UTF-16 / UTF-8. Conversions are tolerant: a bad or truncated
// byte sequence becomes U+FFFD (or '?' toward CP932) and the conversion goes on.
#include <string>

#include "platform/String.h"

// 0x81-0x9F and 0xE0-0xFC start a double-byte character, whatever the locale.
inline bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Byte length of the character starting at text[i] (1 or 2; 1 for a lead byte
// that is the last byte of the text, and 1 for an index outside the text so
// that a walk always advances).
int CharLengthAt(const char* text, int length, int i);

std::u16string Cp932ToUtf16(const char* text, size_t length);
inline std::u16string Cp932ToUtf16(const CString& text) { return Cp932ToUtf16(text.c_str(), size_t(text.GetLength())); }
CString Utf16ToCp932(const std::u16string& text);

std::string Cp932ToUtf8(const CString& text);
CString Utf8ToCp932(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);
std::u16string Utf8ToUtf16(const std::string& text);
