#pragma once
// One event of the song model, at an absolute time in the song's ticks.
#include <vector>

#include "platform/Types.h"

// Status values of the model's events: channel messages keep the status with
// the channel bits cleared, the channel apart.
constexpr BYTE SMF_NOTE_OFF = 0x80;
constexpr BYTE SMF_NOTE_ON = 0x90;
constexpr BYTE SMF_KEY_PRESSURE = 0xA0;
constexpr BYTE SMF_CONTROL = 0xB0;
constexpr BYTE SMF_PROGRAM = 0xC0;
constexpr BYTE SMF_CHANNEL_PRESSURE = 0xD0;
constexpr BYTE SMF_PITCH_BEND = 0xE0;
constexpr BYTE SMF_SYSEX = 0xF0;
constexpr BYTE SMF_SYSEX_ESCAPE = 0xF7;
constexpr BYTE SMF_META = 0xFF;
constexpr BYTE SMF_META_END_OF_TRACK = 0x2F;

class CEvnt {
public:
    CEvnt() = default;
    virtual ~CEvnt() = default;
    CEvnt(const CEvnt&) = delete;
    CEvnt& operator=(const CEvnt&) = delete;

    BYTE GetStatus() const { return m_Status; }
    void SetStatus(BYTE status) { m_Status = status; }
    BYTE GetChannel() const { return m_Channel; }
    void SetChannel(BYTE channel) { m_Channel = channel; }
    BYTE GetMetaType() const { return m_MetaType; }
    void SetMetaType(BYTE type) { m_MetaType = type; }
    DWORD GetTime() const { return m_Time; }
    void SetTime(DWORD time) { m_Time = time; }
    // A length in ticks; nothing in the model sets it, so it stays 0.
    DWORD GetGate() const { return m_Gate; }

    // The data bytes of a channel message: key, controller, program,
    // pressure or bend LSB first, then velocity, value or bend MSB (0 for
    // program change and channel pressure). The last two are always 0.
    void GetDataBytes(BYTE& d1, BYTE& d2, BYTE& d3, BYTE& d4) const;
    void SetDataBytes(BYTE d1, BYTE d2, BYTE d3 = 0, BYTE d4 = 0);
    BYTE GetData1() const { return m_Data[0]; }
    BYTE GetData2() const { return m_Data[1]; }

    // The variable data: system exclusive bytes after the length (with the
    // closing F7 when the file has it), or a meta event's bytes.
    DWORD GetDataLength() const { return DWORD(m_Bytes.size()); }
    const std::vector<BYTE>& GetData() const { return m_Bytes; }
    // 0x80000001 for null bytes with a non-zero length, 0x80000003 when the
    // copy cannot be allocated (the old data then stays).
    int SetData(const BYTE* bytes, DWORD length);

    // Every field and a copy of the data; 0x80000001 for a null event, the
    // data's failure otherwise.
    int CopyFrom(const CEvnt* other);

    bool IsChannelMessage() const { return m_Status >= SMF_NOTE_OFF && m_Status < SMF_SYSEX; }
    bool IsMeta(BYTE type) const { return m_Status == SMF_META && m_MetaType == type; }
    bool IsEndOfTrack() const { return IsMeta(SMF_META_END_OF_TRACK); }

private:
    BYTE m_Status = 0;
    BYTE m_Channel = 0;
    BYTE m_MetaType = 0;
    DWORD m_Time = 0;
    DWORD m_Gate = 0;
    BYTE m_Data[4] = {0, 0, 0, 0};
    std::vector<BYTE> m_Bytes;
};
