#include "engine/work/MetaData.h"

#include <cstring>
#include <string>

#include "engine/work/ArticUtil.h"
#include "platform/Numbers.h"

bool ReadBeatData(const BYTE* data, ULONG len, BYTE* numerator, ULONG* ticksPerBeat) {
    if (!data || len < 2 || data[0] == 0) return false;
    // GetBeat also reads the clocks byte; hand it a buffer that has one.
    BYTE buf[4] = {0, 0, 0, 0};
    std::memcpy(buf, data, len < 4 ? len : 4);
    BYTE num = 0, den = 4;
    ULONG click = 0;
    CArticUtil::GetBeat(buf, &num, &den, &click);
    if (num == 0 || den == 0) return false;
    if (numerator) *numerator = num;
    if (ticksPerBeat) *ticksPerBeat = (3840u / den + 1u) / 2u;
    return true;
}

bool ReadWrkBeat(const CArticWrkEvnt* evnt, BYTE* numerator, ULONG* ticksPerBeat) {
    if (!evnt || evnt->GetStatus() != 0xFF || evnt->GetMetaType() != 0x58) return false;
    const BYTE* data = nullptr;
    ULONG len = evnt->GetMeta(nullptr, &data);
    return ReadBeatData(data, len, numerator, ticksPerBeat);
}

bool ReadWrkMeter(const CArticWrkEvnt* evnt, signed char* sharpsFlats, BYTE* minor) {
    if (!evnt) return false;
    const BYTE* data = nullptr;
    ULONG len = evnt->GetMeta(nullptr, &data);
    if (!data || len < 2) return false;
    BYTE buf[2] = {data[0], data[1]};
    char sf = 0;
    BYTE mi = 0;
    CArticUtil::GetMeter(buf, &sf, &mi);
    if (sharpsFlats) *sharpsFlats = static_cast<signed char>(sf);
    if (minor) *minor = mi;
    return true;
}

bool ReadWrkTempo(const CArticWrkEvnt* evnt, ULONG* usPerQuarter) {
    if (!evnt) return false;
    const BYTE* data = nullptr;
    ULONG len = evnt->GetMeta(nullptr, &data);
    if (!data || len < 3) return false;
    BYTE buf[3] = {data[0], data[1], data[2]};
    ULONG us = 0;
    if (!CArticUtil::GetTempo(buf, &us)) return false;
    if (usPerQuarter) *usPerQuarter = us;
    return true;
}

CString FormatFixed(double value, int digits) {
    int dec = 0;
    bool negative = false;
    std::string d = FixedDigits(value, digits, &dec, &negative);
    if (d.empty()) return CString(value != value ? "nan" : (value < 0 ? "-inf" : "inf"));
    std::string intPart, frac;
    if (dec >= 1) {
        intPart = d.substr(0, size_t(dec));
        frac = d.substr(size_t(dec));
    } else {
        intPart = "0";
        frac = std::string(size_t(-dec), '0') + d;
    }
    std::string out = negative ? "-" : "";
    out += intPart;
    if (digits > 0) out += "." + frac;
    return CString(out);
}
