#pragma once
// Small general services of the engine: note names and key stepping, chord
// roots, packing of tempo / time-signature / key-signature meta data,
// controller defaults, range checks for parsed numbers, random numbers, text
// files and quoted text, the library folder of phrase files, the KV
// parameter-change system-exclusive messages, a registry of open documents
// and a one-message pump.
//
// Process-wide state (library folder, document registry, random generator)
// has no lock: one conversion runs at a time.
#include <string>

#include "engine/work/ExString.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

struct tagMPEVENT;

class CArticUtil : public CObject {
public:
    // Length of the wide and multibyte buffers of the text conversions.
    static constexpr int kMaxPathChars = 260;

    // ---- Text and files
    // text becomes "text" (quotes added); 0.
    static int AddDQ(CExString& text);
    // Removes the enclosing double quotes: 0; 1 (text unchanged) when the
    // text is shorter than 2 or is not enclosed in quotes.
    static int EraseDQ(CExString& text);
    // Appends every string of from to to (emptying to first when clear is
    // non-zero); 0.
    static int AddTailStr(CStringList& from, CStringList& to, int clear);
    // lines gets the lines of the text file at path: 0; 1 when the file does
    // not exist or cannot be read (lines stays empty then).
    static int LoadStrFile(CString path, CStringList& lines);
    // UTF-16 text -> CP932 as it fits a 260-byte buffer with its terminator:
    // at most 259 bytes, never half a double-byte character; empty for null.
    static CString GetMultiByteString(const char16_t* text);
    static CString GetMultiByteString(const std::u16string& text);
    // CP932 text -> UTF-16 into out, a buffer of at least 260 char16_t: at
    // most 259 characters and a terminating 0.
    static void SetMultiByteString(CString text, char16_t* out);
    // Reads "bar/beat/tick" off text (which is consumed part by part): 0 when
    // all three parts were read as numbers of 0 or more, else 1. Each part is
    // stored as soon as it was read.
    static int GetMeas(CExString& text, ULONG* bar, ULONG* beat, ULONG* tick);

    // ---- Notes and keys
    // A number (decimal, "0x.." hexadecimal, leading-0 octal) clamped to
    // [min, max], or a note name such as "C3", "c#3", "A-1": 1 with *value
    // set, 0 when the text is neither. (1 is success here.)
    static int ConvNoteToValue(const CString& text, int* value, int max = 127, int min = 0);
    // "C3" (plain non-zero) or "C3(060)"; empty for a key below 0.
    static CString ConvValueToNote(int key, int plain);
    // 0 for the pitch classes of the black keys, else 1.
    static int IsWhiteNote(BYTE key);
    // Key stepping: 1 with *out set, 0 (out unchanged) when the key is not
    // accepted or the result leaves 0..127.
    static int GetNextWhiteNote(BYTE key, BYTE* out);
    static int GetPrevWhiteNote(BYTE key, BYTE* out);
    static int GetNextBlackNote(BYTE key, BYTE* out);
    static int GetPrevBlackNote(BYTE key, BYTE* out);
    static int GetNextWhiteNoteByBlackNote(BYTE key, BYTE* out);
    static int GetPrevWhiteNoteByBlackNote(BYTE key, BYTE* out);
    static int GetNextBlackNoteByWhiteNote(BYTE key, BYTE* out);
    static int GetPrevBlackNoteByWhiteNote(BYTE key, BYTE* out);
    // Diatonic neighbours of key in the major scale of sharpsFlats (negative =
    // flats); temp is the accidental of key (-2..2). 1 found, 0 not.
    static int GetDia1Note(BYTE key, char sharpsFlats, char temp, char upShift, char downShift,
                           BYTE* upKey, BYTE* downKey);
    // Pitch class of a chord-root code (low nibble C..B = 1..7, high nibble
    // 0..6 = triple flat .. triple sharp); 0 for an invalid code.
    static BYTE GetNoteFromChord(BYTE root);

    // ---- Meta data (the data bytes of SMF meta events)
    // Tempo (3 bytes). The setters return 3, or 0 (nothing written) for a
    // null buffer or a zero beat length or tempo. Tempos beyond 24 bits are
    // clamped to the slowest one the meta event can hold.
    static int SetTempo(BYTE* data, WORD beatTicks, WORD bpm);
    static int SetTempo(BYTE* data, ULONG usPerQuarter);
    // Getters: 1 when delivered, 0 (nothing stored) otherwise.
    static int GetTempo(BYTE* data, ULONG* usPerQuarter);
    static int GetTempo(BYTE* data, WORD beatTicks, WORD* bpm);
    // Time signature (4 bytes): 4, or 0 for a null buffer.
    static int SetBeat(BYTE* data, BYTE numerator, BYTE denominator, ULONG clickTicks);
    static int GetBeat(BYTE* data, BYTE* numerator, BYTE* denominator, ULONG* clickTicks);
    // Key signature (2 bytes): 2, or 0 for a null buffer.
    static int SetMeter(BYTE* data, char sharpsFlats, BYTE minor);
    static int GetMeter(BYTE* data, char* sharpsFlats, BYTE* minor);
    // Denominator for a beat length in ticks (the data is not read).
    static BYTE GetBunbo(BYTE* data, ULONG beatTicks);
    static ULONG GetDefaultTempo();
    static int GetDefaultTempo(WORD* beatTicks, WORD* bpm);
    static int GetDefaultMeter(BYTE* sharpsFlats, BYTE* minor);
    // Gives a host event a task-memory copy of [type,] data as its variable
    // data (the host frees it): 0; 1 for a null event or data, a zero length
    // or a failed allocation.
    static int SetMeta(tagMPEVENT* event, BYTE type, ULONG length, BYTE* data);
    static int SetMeta(tagMPEVENT* event, ULONG length, BYTE* data);

    // ---- Controllers and parameters
    static BYTE GetDefaultContVal(BYTE controller);
    static BYTE GetDefaultPackedVal(BYTE status, BYTE msb, BYTE lsb);
    // KV parameter change (without the leading 0xF0): *data = a new block
    // (the caller frees it with delete[]), *status = 0xF0; the result is the
    // block length, 0 when the parameter is refused (nothing allocated).
    static ULONG SetSysExParam(BYTE** data, BYTE* status, BYTE addressHigh, BYTE addressMid,
                               BYTE addressLow, LONG value);
    static ULONG SetSysExParam(BYTE** data, BYTE* status, CString model, CString address,
                               CString values);
    // Address and one-byte value of a KV parameter change. *value is 0 unless
    // the address holds a one-byte value. 1 when the address was read, 0 for
    // a null or shorter-than-7-byte block (nothing else stored then).
    static int GetSysExParam(BYTE* data, ULONG length, BYTE* addressHigh, BYTE* addressMid,
                             BYTE* addressLow, LONG* value);

    // ---- Range checks: 0 accepted (stored), 1 refused (nothing stored,
    // except that LimitWord stores the low 16 bits in any case).
    static int LimitByte(LONG value, BYTE* out);
    static int LimitChar(LONG value, char* out);
    static int LimitShort(LONG value, short* out);
    static int LimitWord(LONG value, WORD* out);
    static int LimitULong(LONG value, ULONG* out);
    static int LimitDWORD(LONG value, DWORD* out);

    // ---- Random numbers (draws 0..32767)
    static void InitRand();
    static double Rand1();  // -1.0 .. 1.0
    static double Rand2();  // 0 <= x < 1
    static double Rand3(double a, double b);  // a .. b; a when a >= b

    // ---- Library folder of phrase files
    static void SetLibPath(CString* path);
    static CString GetLibPath();
    // A name with a drive letter is kept; any other is put in the library
    // folder.
    static CString GetLibFullPath(CString name);

    // ---- Registry of open documents
    static void AddDocument(IUnknown* doc, HWND window);
    static void RemoveDocument(IUnknown* doc);
    static int IsDocument(IUnknown* doc);
    // *window = the window of doc's first entry (null when not registered):
    // 1; 0 without a registry or with a null argument (nothing stored then).
    static int GetProc(IUnknown* doc, HWND* window);
    static int GetDocumentCount();

    // Lets the calling thread's window messages flow once.
    static void YieldMessage();
};
