#pragma once
// MIDI port descriptions and the maps that hold them by port number.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"

constexpr int MIDI_PORT_CHANNELS = 16;
constexpr int MIDI_PORT_CHANNEL_SIZE = 16;  // bytes of one channel record, opaque here

struct MidiPortInfo {
    DWORD PortKind = 1;  // kind bits: queries select ports by mask
    CString PortName;
    LONG Setting1 = 0;
    LONG Setting2 = 0;
    LONG Enabled1 = 0;  // a port is usable only when both enable words are set
    LONG Enabled2 = 0;
    BYTE Channels[MIDI_PORT_CHANNELS][MIDI_PORT_CHANNEL_SIZE] = {};
    BYTE PortId[16] = {};  // the port's identifier (a GUID)

    bool IsUsable(DWORD mask) const { return (PortKind & mask) != 0 && Enabled1 != 0 && Enabled2 != 0; }
};

class CMidiPort : public CObject {
    VX_DECLARE_CLASS(CMidiPort)
public:
    CMidiPort() = default;
    explicit CMidiPort(const MidiPortInfo& info) : m_Info(info) {}

    const MidiPortInfo& GetInfo() const { return m_Info; }
    void SetInfo(const MidiPortInfo& info) { m_Info = info; }
    // The 16-byte record of a channel; false for a channel above 15.
    bool GetChannel(int channel, BYTE* out) const;

    // The kind as one byte, the name, the four words (a port of kind 1 keeps
    // zeros for the enable words) and the identifier as its registry text.
    // A load takes back an identifier that is no such text as zero and
    // clears the channel records; one that runs short fails the archive and
    // leaves the port as it was.
    void Serialize(CArchive& ar) override;

private:
    MidiPortInfo m_Info;
};

// Port number -> port; owns its ports.
class CMidiPortMap : public CObject {
    VX_DECLARE_CLASS(CMidiPortMap)
public:
    CMidiPortMap() = default;
    ~CMidiPortMap() override;
    CMidiPortMap(const CMidiPortMap&) = delete;
    CMidiPortMap& operator=(const CMidiPortMap&) = delete;

    int GetCount() const { return m_Ports.GetCount(); }
    // Stores a copy of the port under the number, replacing a port already there.
    bool SetPort(WORD number, const MidiPortInfo& info);
    void RemoveAll();
    // Adds a copy of every port of the other map under the same number.
    bool CopyFrom(const CMidiPortMap& other);

    bool Lookup(WORD number, MidiPortInfo* out) const;
    // The channel record of a port; false for an absent port or a channel above 15.
    bool GetChannel(WORD number, int channel, BYTE* out) const;

    // The indexed queries count the usable ports among the numbers 1 up to
    // the number of entries, in number order; ports outside that range are
    // never reached by them.
    int CountPorts(DWORD mask) const;
    WORD GetPortNumber(int n, DWORD mask) const;  // 0 when there is no n-th usable port
    bool GetPortByIndex(int n, DWORD mask, MidiPortInfo* out) const;
    bool GetPortIndex(WORD number, DWORD mask, int* index) const;
    bool IsPortUsable(WORD number, DWORD mask) const;

    // Walk of every entry in number order.
    POSITION GetStartPosition() const { return m_Ports.GetStartPosition(); }
    void GetNextAssoc(POSITION& pos, WORD& number, const CMidiPort*& port) const;

    // The entry count, then each port's number and port. A load replaces the
    // ports only when the whole map was read; otherwise it fails the archive
    // and leaves the map as it was.
    void Serialize(CArchive& ar) override;

private:
    const CMidiPort* Find(WORD number) const;
    // The n-th usable port of the indexed walk (n from 0), or 0.
    WORD NthUsable(int n, DWORD mask) const;

    CMapWordToOb m_Ports;  // owns its CMidiPort values
};
