#include "engine/work/ArticUtil.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "services/ArticLibPath.h"
#include "host/MPEvent.h"
#include "platform/File.h"
#include "platform/Memory.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/Random.h"
#include "platform/Text.h"

namespace {

// ---- Note names

const char* const kPitchNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
const char* const kOctaveNames[11] = {"-2", "-1", "0", "1", "2", "3", "4", "5", "6", "7", "8"};
constexpr int kMaxKey = 127;

bool IsBlackPitch(int pc) { return pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10; }

// Pitch class of a note letter, -1 for anything else.
int LetterPitch(char letter) {
    switch (letter) {
        case 'C': return 0;
        case 'D': return 2;
        case 'E': return 4;
        case 'F': return 5;
        case 'G': return 7;
        case 'A': return 9;
        case 'B': return 11;
        default: return -1;
    }
}

// Whole text as an integer in the way strtol with base 0 reads it.
bool ReadWholeLong(const CString& text, LONG* value) {
    if (text.IsEmpty()) return false;
    size_t used = 0;
    const LONG v = ParseLong(text.GetString(), 0, &used);
    if (used == 0 || used != size_t(text.GetLength())) return false;
    *value = v;
    return true;
}

// A note name such as "C3", "F#-1", "G8" (already upper case): its key.
bool ParseNoteName(const CString& name, int* key) {
    const int pitch = LetterPitch(name.GetAt(0));
    if (pitch < 0) return false;
    int p = 1;
    int semis = pitch;
    if (name.GetAt(p) == '#') {
        if (pitch == 4 || pitch == 11) return false;  // E# and B# are not spelled
        ++semis;
        ++p;
    }
    int code;
    if (name.GetAt(p) == '-') {
        ++p;
        const char d = name.GetAt(p);
        if (d == '1') code = 1;
        else if (d == '2') code = 0;
        else return false;
    } else {
        const char d = name.GetAt(p);
        if (d < '0' || d > '8') return false;
        code = d - '0' + 2;
    }
    ++p;
    if (p != name.GetLength()) return false;
    *key = semis + 12 * code;
    return true;
}

// ---- Scales: the major scale of every key signature, 7 ascending pitch
// classes per row; row 6 is C major, one row per sharp (up) or flat (down).
// Rows 0 (G-flat major) and 12 (F-sharp major) hold the same pitch classes.
const int kScaleTable[13][7] = {
    {1, 3, 5, 6, 8, 10, 11}, {0, 1, 3, 5, 6, 8, 10}, {0, 1, 3, 5, 7, 8, 10}, {0, 2, 3, 5, 7, 8, 10},
    {0, 2, 3, 5, 7, 9, 10},  {0, 2, 4, 5, 7, 9, 10}, {0, 2, 4, 5, 7, 9, 11}, {0, 2, 4, 6, 7, 9, 11},
    {1, 2, 4, 6, 7, 9, 11},  {1, 2, 4, 6, 8, 9, 11}, {1, 3, 4, 6, 8, 9, 11}, {1, 3, 4, 6, 8, 10, 11},
    {1, 3, 5, 6, 8, 10, 11},
};

int ScaleRow(int sharpsFlats) {
    if (sharpsFlats < -6) return (sharpsFlats + 18) % 12;
    if (sharpsFlats <= 6) return sharpsFlats + 6;
    return (sharpsFlats + 6) % 12;
}

BYTE ClampKey(int key) { return BYTE(std::min(std::max(key, 0), kMaxKey)); }

// ---- Tempo

constexpr ULONG kMaxTempo = 0xFFFFFF;  // the largest value three bytes hold
constexpr ULONG kDefaultTempo = 500000;
constexpr WORD kDefaultBeatTicks = 480;
constexpr WORD kDefaultBpm = 120;

void PutTempo(BYTE* data, ULONG usPerQuarter) {
    data[0] = BYTE(usPerQuarter >> 16);
    data[1] = BYTE(usPerQuarter >> 8);
    data[2] = BYTE(usPerQuarter);
}

// ---- KV parameter changes

constexpr BYTE kMakerId = 0x43;
constexpr BYTE kParamChange = 0x10;
constexpr BYTE kKvModel = 0x4C;
constexpr BYTE kEox = 0xF7;
constexpr BYTE kSysExStatus = 0xF0;

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

// Hexadecimal text of exactly two digits per byte into out; false for an odd
// length or any byte that is not a hexadecimal digit.
bool ParseHexBytes(const CString& text, std::vector<BYTE>* out) {
    const int n = text.GetLength();
    if (n % 2 != 0) return false;
    out->clear();
    for (int i = 0; i < n; i += 2) {
        const int hi = HexDigit(text.GetAt(i));
        const int lo = HexDigit(text.GetAt(i + 1));
        if (hi < 0 || lo < 0) return false;
        out->push_back(BYTE(hi * 16 + lo));
    }
    return true;
}

// Data bytes a parameter of the KV system block takes; -1 for an address
// that has no parameter.
int KvParamBytes(BYTE low) {
    switch (low) {
        case 0: return 4;
        case 4: case 5: case 6: case 125: case 126: case 127: return 1;
        default: return -1;
    }
}

bool HasOneByteValue(BYTE low) {
    return low == 4 || low == 5 || low == 6 || low == 125 || low == 126 || low == 127;
}

// ---- Process-wide state

CString& LibraryFolder() { return CArticLibPath::Folder(); }

struct DocInfo {
    IUnknown* doc;
    HWND window;
};

// Absent until the first document is added; gone again with the last.
std::unique_ptr<std::vector<DocInfo>>& Documents() {
    static std::unique_ptr<std::vector<DocInfo>> docs;
    return docs;
}

// True when the text's last character is a single-byte '\' (a trail byte
// 0x5C of a double-byte character does not count).
bool EndsWithBackslash(const CString& text) {
    const int n = text.GetLength();
    int i = 0;
    int last = -1;
    while (i < n) {
        last = i;
        i += CharLengthAt(text.GetString(), n, i);
    }
    return last >= 0 && last == n - 1 && text.GetAt(last) == '\\';
}

}  // namespace

// ---------------------------------------------------------------- Text and files

int CArticUtil::AddDQ(CExString& text) {
    text = "\"" + text + "\"";
    return 0;
}

int CArticUtil::EraseDQ(CExString& text) {
    const int n = text.GetLength();
    if (n < 2 || text.GetAt(0) != '"' || text.GetAt(n - 1) != '"') return 1;
    text = text.Mid(1, n - 2);
    return 0;
}

int CArticUtil::AddTailStr(CStringList& from, CStringList& to, int clear) {
    if (clear) to.RemoveAll();
    // Counted first, so that appending a list to itself ends.
    int count = from.GetCount();
    POSITION pos = from.GetHeadPosition();
    while (pos && count-- > 0) to.AddTail(CString(from.GetNext(pos)));
    return 0;
}

int CArticUtil::LoadStrFile(CString path, CStringList& lines) {
    lines.RemoveAll();
    CFile::Status status;
    if (!CFile::GetStatus(path, &status) || status.m_isDirectory) return 1;
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeText)) return 1;
    CString line;
    while (file.ReadString(line)) lines.AddTail(line);
    file.Close();
    return 0;
}

CString CArticUtil::GetMultiByteString(const char16_t* text) {
    if (!text) return CString();
    return GetMultiByteString(std::u16string(text));
}

CString CArticUtil::GetMultiByteString(const std::u16string& text) {
    const CString whole = Utf16ToCp932(text);
    const int limit = kMaxPathChars - 1;  // the buffer keeps room for its terminator
    if (whole.GetLength() <= limit) return whole;
    int cut = 0;
    while (cut < whole.GetLength()) {
        const int len = CharLengthAt(whole.GetString(), whole.GetLength(), cut);
        if (cut + len > limit) break;
        cut += len;
    }
    return whole.Left(cut);
}

void CArticUtil::SetMultiByteString(CString text, char16_t* out) {
    if (!out) return;
    std::u16string wide = Cp932ToUtf16(text);
    size_t count = std::min(wide.size(), size_t(kMaxPathChars - 1));
    // Never leave half a surrogate pair at the cut.
    if (count < wide.size() && count > 0 && wide[count - 1] >= 0xD800 && wide[count - 1] <= 0xDBFF) --count;
    std::copy(wide.begin(), wide.begin() + long(count), out);
    out[count] = 0;
}

int CArticUtil::GetMeas(CExString& text, ULONG* bar, ULONG* beat, ULONG* tick) {
    if (text.IsEmpty()) return 1;
    ULONG* const parts[3] = {bar, beat, tick};
    for (ULONG* part : parts) {
        const CString field = text.GetToken(&text, "/");
        LONG value = 0;
        if (!ReadWholeLong(field, &value) || value < 0) return 1;
        if (part) *part = ULONG(value);
    }
    return 0;
}

// ---------------------------------------------------------------- Notes and keys

int CArticUtil::ConvNoteToValue(const CString& text, int* value, int max, int min) {
    if (!value) return 0;
    LONG number = 0;
    if (ReadWholeLong(text, &number)) {
        int v = number;
        if (v > max) v = max;
        if (v < min) v = min;
        *value = v;
        return 1;
    }
    CString name = text;
    name.MakeUpper();
    int key = 0;
    // Names beyond G8 spell no MIDI key.
    if (!ParseNoteName(name, &key) || key > kMaxKey) return 0;
    *value = key;
    return 1;
}

CString CArticUtil::ConvValueToNote(int key, int plain) {
    CString text;
    if (key < 0 || key > kMaxKey) return text;
    if (plain)
        text.Format("%s%s", kPitchNames[key % 12], kOctaveNames[key / 12]);
    else
        text.Format("%s%s(%03d)", kPitchNames[key % 12], kOctaveNames[key / 12], key);
    return text;
}

int CArticUtil::IsWhiteNote(BYTE key) { return IsBlackPitch(key % 12) ? 0 : 1; }

namespace {

// Stores key + step when the result is a MIDI key.
int StepTo(int key, int step, BYTE* out) {
    const int result = key + step;
    if (result < 0 || result > kMaxKey) return 0;
    if (out) *out = BYTE(result);
    return 1;
}

// The first key in direction dir (+1/-1) whose colour is `white`.
int FirstOfColour(BYTE key, int dir, bool white, BYTE* out) {
    if (key > kMaxKey) return 0;
    for (int k = key + dir; k >= 0 && k <= kMaxKey; k += dir) {
        if (IsBlackPitch(k % 12) != white) {
            if (out) *out = BYTE(k);
            return 1;
        }
    }
    return 0;
}

}  // namespace

int CArticUtil::GetNextWhiteNote(BYTE key, BYTE* out) {
    const int pc = key % 12;
    if (key > kMaxKey || IsBlackPitch(pc)) return 0;
    return StepTo(key, (pc == 4 || pc == 11) ? 1 : 2, out);
}

int CArticUtil::GetPrevWhiteNote(BYTE key, BYTE* out) {
    const int pc = key % 12;
    if (key > kMaxKey || IsBlackPitch(pc)) return 0;
    return StepTo(key, (pc == 0 || pc == 5) ? -1 : -2, out);
}

int CArticUtil::GetNextBlackNote(BYTE key, BYTE* out) {
    const int pc = key % 12;
    if (key > kMaxKey || !IsBlackPitch(pc)) return 0;
    return StepTo(key, (pc == 3 || pc == 10) ? 3 : 2, out);
}

int CArticUtil::GetPrevBlackNote(BYTE key, BYTE* out) {
    const int pc = key % 12;
    if (key > kMaxKey || !IsBlackPitch(pc)) return 0;
    return StepTo(key, (pc == 1 || pc == 6) ? -3 : -2, out);
}

int CArticUtil::GetNextWhiteNoteByBlackNote(BYTE key, BYTE* out) { return FirstOfColour(key, 1, true, out); }
int CArticUtil::GetPrevWhiteNoteByBlackNote(BYTE key, BYTE* out) { return FirstOfColour(key, -1, true, out); }
int CArticUtil::GetNextBlackNoteByWhiteNote(BYTE key, BYTE* out) { return FirstOfColour(key, 1, false, out); }
int CArticUtil::GetPrevBlackNoteByWhiteNote(BYTE key, BYTE* out) { return FirstOfColour(key, -1, false, out); }

int CArticUtil::GetDia1Note(BYTE key, char sharpsFlats, char temp, char upShift, char downShift,
                            BYTE* upKey, BYTE* downKey) {
    const int accidental = static_cast<signed char>(temp);
    if (accidental < -2 || accidental > 2) return 0;
    const int natural = int(key) - accidental;
    if (natural < 0) return 0;

    const int row = ScaleRow(static_cast<signed char>(sharpsFlats));
    if (row < 0 || row > 12) return 0;
    const int* t = kScaleTable[row];
    const int* found = std::find(t, t + 7, natural % 12);
    if (found == t + 7) return 0;
    const int i = int(found - t);

    const int up = i == 6 ? natural + t[0] - t[6] + 12 : natural + t[i + 1] - t[i];
    const int down = i == 0 ? natural + t[6] - t[0] - 12 : natural + t[i - 1] - t[i];
    if (upKey) *upKey = ClampKey(up + static_cast<signed char>(upShift));
    if (downKey) *downKey = ClampKey(down + static_cast<signed char>(downShift));
    return 1;
}

BYTE CArticUtil::GetNoteFromChord(BYTE root) {
    static const int kNatural[7] = {0, 2, 4, 5, 7, 9, 11};
    if (root >= 112) return 0;
    const int letter = root & 0x0F;
    const int accidental = root >> 4;  // 0..6, 3 natural
    if (letter == 0 || letter > 7) return 0;
    return BYTE((kNatural[letter - 1] + accidental - 3 + 12) % 12);
}

// ---------------------------------------------------------------- Meta data

int CArticUtil::SetTempo(BYTE* data, WORD beatTicks, WORD bpm) {
    if (!data || beatTicks == 0 || bpm == 0) return 0;
    const double us = 480.0 / beatTicks * double(kDefaultTempo) * (120.0 / bpm) + 0.5;
    PutTempo(data, us >= double(kMaxTempo) ? kMaxTempo : ULONG(us));
    return 3;
}

int CArticUtil::SetTempo(BYTE* data, ULONG usPerQuarter) {
    if (!data) return 0;
    PutTempo(data, std::min(usPerQuarter, kMaxTempo));
    return 3;
}

int CArticUtil::GetTempo(BYTE* data, ULONG* usPerQuarter) {
    if (!data || !usPerQuarter) return 0;
    *usPerQuarter = (ULONG(data[0]) << 16) | (ULONG(data[1]) << 8) | ULONG(data[2]);
    return 1;
}

int CArticUtil::GetTempo(BYTE* data, WORD beatTicks, WORD* bpm) {
    ULONG us = 0;
    if (!bpm || beatTicks == 0 || !GetTempo(data, &us) || us == 0) return 0;
    // The inverse of SetTempo: the beat rate grows as the quarter gets shorter.
    const double value = 480.0 / beatTicks * double(kDefaultTempo) / us * 120.0 + 0.5;
    *bpm = value >= 65535.0 ? WORD(65535) : WORD(value);
    return 1;
}

int CArticUtil::SetBeat(BYTE* data, BYTE numerator, BYTE denominator, ULONG clickTicks) {
    if (!data) return 0;
    BYTE exponent;
    switch (denominator) {
        case 1: exponent = 0; break;
        case 2: exponent = 1; break;
        case 8: exponent = 3; break;
        case 16: exponent = 4; break;
        case 32: exponent = 5; break;
        case 64: exponent = 6; break;
        case 128: exponent = 7; break;
        default: exponent = 2; break;
    }
    data[0] = numerator;
    data[1] = exponent;
    data[2] = BYTE(std::min<ULONG>(clickTicks / 20, 255));  // one MIDI clock is 20 ticks
    data[3] = 8;
    return 4;
}

int CArticUtil::GetBeat(BYTE* data, BYTE* numerator, BYTE* denominator, ULONG* clickTicks) {
    if (!data) return 0;
    BYTE den;
    switch (data[1]) {
        case 0: den = 1; break;
        case 1: den = 2; break;
        case 3: den = 8; break;
        case 4: den = 16; break;
        case 5: den = 32; break;
        case 6: den = 64; break;
        case 7: den = 128; break;
        default: den = 4; break;
    }
    if (numerator) *numerator = data[0];
    if (denominator) *denominator = den;
    if (clickTicks) *clickTicks = ULONG(data[2]) * 20;
    return 1;
}

int CArticUtil::SetMeter(BYTE* data, char sharpsFlats, BYTE minor) {
    if (!data) return 0;
    data[0] = BYTE(sharpsFlats);
    data[1] = minor;
    return 2;
}

int CArticUtil::GetMeter(BYTE* data, char* sharpsFlats, BYTE* minor) {
    if (!data) return 0;
    if (sharpsFlats) *sharpsFlats = char(data[0]);
    if (minor) *minor = data[1];
    return 1;
}

BYTE CArticUtil::GetBunbo(BYTE* /*data*/, ULONG beatTicks) {
    switch (beatTicks) {
        case 60: return 32;
        case 120: return 16;
        case 240: return 8;
        case 960: return 2;
        default: return 4;
    }
}

ULONG CArticUtil::GetDefaultTempo() { return kDefaultTempo; }

int CArticUtil::GetDefaultTempo(WORD* beatTicks, WORD* bpm) {
    if (beatTicks) *beatTicks = kDefaultBeatTicks;
    if (bpm) *bpm = kDefaultBpm;
    return 1;
}

int CArticUtil::GetDefaultMeter(BYTE* sharpsFlats, BYTE* minor) {
    if (sharpsFlats) *sharpsFlats = 0;
    if (minor) *minor = 0;
    return 1;
}

namespace {

// The host event gets a task-memory block of [prefix] + data.
int StoreHostData(tagMPEVENT* event, const BYTE* prefix, ULONG length, const BYTE* data) {
    if (!event || !data || length == 0) return 1;
    const size_t extra = prefix ? 1 : 0;
    const size_t total = size_t(length) + extra;
    if (total > 0xFFFFFFFFu) return 1;  // the record's length field is 32 bits
    BYTE* block = static_cast<BYTE*>(CoTaskMemAlloc(total));
    if (!block) return 1;
    if (prefix) block[0] = *prefix;
    std::memcpy(block + extra, data, length);
    event->Bytes = block;
    event->Length = DWORD(total);
    return 0;
}

}  // namespace

int CArticUtil::SetMeta(tagMPEVENT* event, BYTE type, ULONG length, BYTE* data) {
    return StoreHostData(event, &type, length, data);
}

int CArticUtil::SetMeta(tagMPEVENT* event, ULONG length, BYTE* data) {
    return StoreHostData(event, nullptr, length, data);
}

// ---------------------------------------------------------------- Controllers and parameters

BYTE CArticUtil::GetDefaultContVal(BYTE controller) {
    if (controller == 7) return 100;
    if (controller == 10 || (controller >= 71 && controller <= 78)) return 64;
    if (controller == 11 || (controller >= 98 && controller <= 101) || controller == 126) return 127;
    if (controller == 91) return 40;
    return 0;
}

BYTE CArticUtil::GetDefaultPackedVal(BYTE status, BYTE msb, BYTE lsb) {
    if (status != 0x10) return 0;
    switch (msb) {
        case 0: return (lsb == 0 || lsb == 5) ? 2 : 64;
        case 26: return 127;
        case 29: return 40;
        case 30: case 31: return 0;
        default: return 64;
    }
}

ULONG CArticUtil::SetSysExParam(BYTE** data, BYTE* status, BYTE addressHigh, BYTE addressMid,
                                BYTE addressLow, LONG value) {
    if (!data || !status) return 0;
    if (addressHigh != 0 || addressMid != 0 || addressLow >= 0x80) return 0;
    const int count = KvParamBytes(addressLow);
    if (count < 0) return 0;

    const ULONG length = ULONG(count) + 7;
    BYTE* block = new BYTE[length];
    BYTE* p = block;
    *p++ = kMakerId;
    *p++ = kParamChange;
    *p++ = kKvModel;
    *p++ = 0x00;
    *p++ = 0x00;
    *p++ = addressLow;
    if (addressLow == 0) {
        std::memset(p, 0, 4);  // address 0 has no value of its own
        p += 4;
    } else if (addressLow == 126) {
        *p++ = 0;  // system on carries no value
    } else {
        *p++ = BYTE(value);
    }
    *p = kEox;
    *status = kSysExStatus;
    *data = block;
    return length;
}

ULONG CArticUtil::SetSysExParam(BYTE** data, BYTE* status, CString model, CString address,
                                CString values) {
    if (!data || !status) return 0;
    std::vector<BYTE> modelByte, addressBytes, valueBytes;
    if (model.GetLength() != 2 || !ParseHexBytes(model, &modelByte)) return 0;
    if (address.GetLength() != 6 || !ParseHexBytes(address, &addressBytes)) return 0;
    if (values.GetLength() < 2 || !ParseHexBytes(values, &valueBytes)) return 0;

    const ULONG length = ULONG(valueBytes.size()) + 7;
    BYTE* block = new BYTE[length];
    BYTE* p = block;
    *p++ = kMakerId;
    *p++ = kParamChange;
    *p++ = modelByte[0];
    for (BYTE b : addressBytes) *p++ = b;
    for (BYTE b : valueBytes) *p++ = b;
    *p = kEox;
    *status = kSysExStatus;
    *data = block;
    return length;
}

int CArticUtil::GetSysExParam(BYTE* data, ULONG length, BYTE* addressHigh, BYTE* addressMid,
                              BYTE* addressLow, LONG* value) {
    if (value) *value = 0;
    if (!data || length < 7) return 0;
    const BYTE high = data[3], mid = data[4], low = data[5];
    if (addressHigh) *addressHigh = high;
    if (addressMid) *addressMid = mid;
    if (addressLow) *addressLow = low;
    if (value && high == 0 && mid == 0 && low < 0x80 && HasOneByteValue(low)) *value = data[6];
    return 1;
}

// ---------------------------------------------------------------- Range checks

namespace {

template <class T>
int LimitTo(LONG value, LONG lo, LONG hi, T* out) {
    if (value < lo || value > hi) return 1;
    if (out) *out = T(value);
    return 0;
}

}  // namespace

int CArticUtil::LimitByte(LONG value, BYTE* out) { return LimitTo(value, 0, 255, out); }
int CArticUtil::LimitChar(LONG value, char* out) { return LimitTo(value, -128, 127, out); }
int CArticUtil::LimitShort(LONG value, short* out) { return LimitTo(value, -32768, 32767, out); }

int CArticUtil::LimitWord(LONG value, WORD* out) {
    if (out) *out = WORD(ULONG(value) & 0xFFFF);  // stored even when refused
    return (value < 0 || value > 65535) ? 1 : 0;
}

int CArticUtil::LimitULong(LONG value, ULONG* out) { return LimitTo(value, 0, INT32_MAX, out); }
int CArticUtil::LimitDWORD(LONG value, DWORD* out) { return LimitTo(value, 0, INT32_MAX, out); }

// ---------------------------------------------------------------- Random numbers

void CArticUtil::InitRand() { SeedRandomFromClock(); }

double CArticUtil::Rand1() {
    const int d = NextRandom() - 16384;
    if (d == 0) return 0.0;
    return d > 0 ? d / 16383.0 : d / 16384.0;
}

double CArticUtil::Rand2() { return NextRandom() / 32768.0; }

double CArticUtil::Rand3(double a, double b) {
    const int r = NextRandom();  // drawn even for an empty range, so the sequence does not depend on it
    if (a >= b) return a;
    if (r == 0) return a;
    if (r == kRandMax) return b;
    return a + (b - a) * r / 32768.0;
}

// ---------------------------------------------------------------- Library folder

void CArticUtil::SetLibPath(CString* path) { LibraryFolder() = path ? *path : CString(); }

CString CArticUtil::GetLibPath() { return LibraryFolder(); }

CString CArticUtil::GetLibFullPath(CString name) {
    if (name.GetLength() > 2 && HasDriveLetter(name)) return name;
    const CString& folder = LibraryFolder();
    if (folder.IsEmpty()) return name;  // no folder set: nothing to put the name in
    return EndsWithBackslash(folder) ? folder + name : folder + "\\" + name;
}

// ---------------------------------------------------------------- Documents

void CArticUtil::AddDocument(IUnknown* doc, HWND window) {
    auto& docs = Documents();
    if (!docs) docs = std::make_unique<std::vector<DocInfo>>();
    docs->push_back(DocInfo{doc, window});
}

void CArticUtil::RemoveDocument(IUnknown* doc) {
    auto& docs = Documents();
    if (!docs) return;
    auto it = std::find_if(docs->begin(), docs->end(), [doc](const DocInfo& d) { return d.doc == doc; });
    if (it != docs->end()) docs->erase(it);
    if (docs->empty()) docs.reset();
}

int CArticUtil::IsDocument(IUnknown* doc) {
    const auto& docs = Documents();
    if (!docs) return 0;
    return std::any_of(docs->begin(), docs->end(), [doc](const DocInfo& d) { return d.doc == doc; }) ? 1 : 0;
}

int CArticUtil::GetProc(IUnknown* doc, HWND* window) {
    const auto& docs = Documents();
    if (!docs || !doc || !window) return 0;
    auto it = std::find_if(docs->begin(), docs->end(), [doc](const DocInfo& d) { return d.doc == doc; });
    *window = it != docs->end() ? it->window : nullptr;
    return 1;
}

int CArticUtil::GetDocumentCount() {
    const auto& docs = Documents();
    return docs ? int(docs->size()) : 0;
}

void CArticUtil::YieldMessage() { PumpMessages(); }
