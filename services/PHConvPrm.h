#pragma once
// The conversion parameters of one channel, filled by the user interface
// before every Convert and read by the driver, the song bridge, the rule
// loader and the song writer. A plain record: the fields are public and
// nothing validates them.
#include <memory>

#include "platform/Collections.h"
#include "platform/String.h"
#include "platform/Types.h"

class CPHConvPrm {
public:
    CPHConvPrm();
    ~CPHConvPrm();
    CPHConvPrm(const CPHConvPrm&) = delete;
    CPHConvPrm& operator=(const CPHConvPrm&) = delete;

    BYTE Flag1;      // 1 when the channel is converted (not read by the engine)
    int Kind;        // target group: 0 guitar, bass and others, 2 strings, 3 brass
                     // and trumpet, 4 tenor saxophone, 5 choir and vocal, 6 drums
    BYTE Flag2;      // 1 for every target but the trumpet
    BYTE Channel;    // MIDI channel 0..15 whose track is converted
    int Resolution;  // analysis beat resolution, ticks of 480 per quarter note
    BYTE BankMsb;    // target voice address
    BYTE BankLsb;
    BYTE Program;
    BYTE PbCtrl;     // pitch-bend option: selects the optional rule sets

    // Appends a copy of exactly `length` bytes of text as one line (the user
    // interface counts the terminating NUL, so lines usually end in one).
    // 0 on success; 1, with the list unchanged, for a null text with a
    // positive length, a negative length or a list that cannot grow.
    int AddLine(const char* text, int length);
    void ClearLines();
    int GetLineCount() const;
    // The script lines in order; each may hold NUL bytes, which readers treat
    // as the end of its text.
    const CStringList& GetLines() const { return *m_pLines; }

private:
    std::unique_ptr<CStringList> m_pLines;  // owned, never null
};
