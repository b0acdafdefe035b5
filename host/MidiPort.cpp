#include "host/MidiPort.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "platform/Archive.h"
#include "platform/Com.h"

VX_IMPLEMENT_CLASS(CMidiPort, CObject);
VX_IMPLEMENT_CLASS(CMidiPortMap, CObject);

namespace {

// The indexed walks visit the numbers 1 up to the entry count (a WORD at most).
int LastWalkedNumber(int count) { return std::min(count, 0xFFFF); }

constexpr DWORD PORT_KIND_PLAIN = 1;  // a port of this kind archives no enable words

// The registry form of an identifier: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
CString IdText(const BYTE (&id)[16]) {
    GUID g;
    std::memcpy(&g, id, sizeof g);
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", unsigned(g.Data1),
                  unsigned(g.Data2), unsigned(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4],
                  g.Data4[5], g.Data4[6], g.Data4[7]);
    return CString(text);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The identifier of a registry text; false (and a zero identifier) for any other text.
bool IdFromText(const CString& text, BYTE (&id)[16]) {
    std::memset(id, 0, sizeof id);
    static const char kShape[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (text.GetLength() != int(sizeof kShape) - 1) return false;
    BYTE values[16] = {};
    int nibble = 0;
    for (int i = 0; kShape[i]; ++i) {
        const char c = text.GetAt(i);
        if (kShape[i] != 'X') {
            if (c != kShape[i]) return false;
            continue;
        }
        const int digit = HexDigit(c);
        if (digit < 0) return false;
        values[nibble / 2] = BYTE(values[nibble / 2] << 4 | digit);
        ++nibble;
    }
    // The text shows Data1, Data2 and Data3 most significant byte first.
    GUID g;
    g.Data1 = DWORD(values[0]) << 24 | DWORD(values[1]) << 16 | DWORD(values[2]) << 8 | values[3];
    g.Data2 = WORD(values[4] << 8 | values[5]);
    g.Data3 = WORD(values[6] << 8 | values[7]);
    std::memcpy(g.Data4, values + 8, 8);
    std::memcpy(id, &g, sizeof id);
    return true;
}

}  // namespace

bool CMidiPort::GetChannel(int channel, BYTE* out) const {
    if (channel < 0 || channel >= MIDI_PORT_CHANNELS || !out) return false;
    std::memcpy(out, m_Info.Channels[channel], MIDI_PORT_CHANNEL_SIZE);
    return true;
}

CMidiPortMap::~CMidiPortMap() { RemoveAll(); }

void CMidiPortMap::RemoveAll() {
    for (POSITION pos = m_Ports.GetStartPosition(); pos;) {
        WORD number = 0;
        CObject* port = nullptr;
        m_Ports.GetNextAssoc(pos, number, port);
        delete port;
    }
    m_Ports.RemoveAll();
}

bool CMidiPortMap::SetPort(WORD number, const MidiPortInfo& info) {
    CMidiPort* port = new (std::nothrow) CMidiPort(info);
    if (!port) return false;
    CObject* old = nullptr;
    const bool had = m_Ports.Lookup(number, old);
    try {
        m_Ports.SetAt(number, port);
    } catch (const std::bad_alloc&) {
        delete port;
        return false;
    }
    if (had) delete old;
    return true;
}

bool CMidiPortMap::CopyFrom(const CMidiPortMap& other) {
    if (&other == this) return true;
    for (POSITION pos = other.GetStartPosition(); pos;) {
        WORD number = 0;
        const CMidiPort* port = nullptr;
        other.GetNextAssoc(pos, number, port);
        if (!SetPort(number, port->GetInfo())) return false;
    }
    return true;
}

void CMidiPortMap::GetNextAssoc(POSITION& pos, WORD& number, const CMidiPort*& port) const {
    CObject* value = nullptr;
    m_Ports.GetNextAssoc(pos, number, value);
    port = static_cast<const CMidiPort*>(value);
}

const CMidiPort* CMidiPortMap::Find(WORD number) const {
    CObject* value = nullptr;
    return m_Ports.Lookup(number, value) ? static_cast<const CMidiPort*>(value) : nullptr;
}

bool CMidiPortMap::Lookup(WORD number, MidiPortInfo* out) const {
    const CMidiPort* port = Find(number);
    if (!port) return false;
    if (out) *out = port->GetInfo();
    return true;
}

bool CMidiPortMap::GetChannel(WORD number, int channel, BYTE* out) const {
    const CMidiPort* port = Find(number);
    return port && port->GetChannel(channel, out);
}

int CMidiPortMap::CountPorts(DWORD mask) const {
    int count = 0;
    for (int number = 1; number <= LastWalkedNumber(GetCount()); ++number) {
        const CMidiPort* port = Find(WORD(number));
        if (port && port->GetInfo().IsUsable(mask)) ++count;
    }
    return count;
}

WORD CMidiPortMap::NthUsable(int n, DWORD mask) const {
    if (n < 0) return 0;
    for (int number = 1; number <= LastWalkedNumber(GetCount()); ++number) {
        const CMidiPort* port = Find(WORD(number));
        if (port && port->GetInfo().IsUsable(mask) && n-- == 0) return WORD(number);
    }
    return 0;
}

WORD CMidiPortMap::GetPortNumber(int n, DWORD mask) const { return NthUsable(n, mask); }

bool CMidiPortMap::GetPortByIndex(int n, DWORD mask, MidiPortInfo* out) const {
    const WORD number = NthUsable(n, mask);
    return number != 0 && Lookup(number, out);
}

bool CMidiPortMap::GetPortIndex(WORD number, DWORD mask, int* index) const {
    int usable = 0;
    for (int n = 1; n <= LastWalkedNumber(GetCount()); ++n) {
        const CMidiPort* port = Find(WORD(n));
        if (!port || !port->GetInfo().IsUsable(mask)) continue;
        if (n == number) {
            if (index) *index = usable;
            return true;
        }
        ++usable;
    }
    return false;
}

bool CMidiPortMap::IsPortUsable(WORD number, DWORD mask) const {
    const CMidiPort* port = Find(number);
    return port && port->GetInfo().IsUsable(mask);
}

// ------------------------------------------------------------ archive

void CMidiPort::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        const bool plain = m_Info.PortKind == PORT_KIND_PLAIN;
        ar.WriteByte(BYTE(m_Info.PortKind));
        ar.WriteString(m_Info.PortName);
        ar.WriteDWORD(DWORD(m_Info.Setting1));
        ar.WriteDWORD(DWORD(m_Info.Setting2));
        ar.WriteDWORD(plain ? 0 : DWORD(m_Info.Enabled1));
        ar.WriteDWORD(plain ? 0 : DWORD(m_Info.Enabled2));
        ar.WriteString(IdText(m_Info.PortId));
        return;
    }
    MidiPortInfo info;
    BYTE kind = 0;
    DWORD words[4] = {};
    CString id;
    bool ok = ar.ReadByte(kind) && ar.ReadString(info.PortName);
    for (DWORD& word : words) ok = ok && ar.ReadDWORD(word);
    ok = ok && ar.ReadString(id);
    if (!ok) {
        ar.SetFailed();
        return;
    }
    info.PortKind = kind;
    info.Setting1 = LONG(words[0]);
    info.Setting2 = LONG(words[1]);
    info.Enabled1 = LONG(words[2]);
    info.Enabled2 = LONG(words[3]);
    IdFromText(id, info.PortId);
    m_Info = info;
}

void CMidiPortMap::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteDWORD(DWORD(m_Ports.GetCount()));
        for (POSITION pos = m_Ports.GetStartPosition(); pos;) {
            WORD number = 0;
            const CMidiPort* port = nullptr;
            GetNextAssoc(pos, number, port);
            ar.WriteDWORD(number);
            const_cast<CMidiPort*>(port)->Serialize(ar);  // storing leaves the port unchanged
        }
        return;
    }
    try {
        DWORD count = 0;
        bool ok = ar.ReadDWORD(count);
        // Each port is read before the next is kept: a count larger than the
        // archive ends with the first port that is not there.
        std::vector<std::pair<WORD, MidiPortInfo>> ports;
        for (DWORD i = 0; ok && i < count; ++i) {
            DWORD number = 0;
            CMidiPort port;
            ok = ar.ReadDWORD(number) && number <= 0xFFFF;
            if (ok) port.Serialize(ar);
            ok = ok && !ar.IsFailed();
            if (ok) ports.emplace_back(WORD(number), port.GetInfo());
        }
        if (!ok) {
            ar.SetFailed();
            return;
        }
        RemoveAll();
        for (const auto& entry : ports)
            if (!SetPort(entry.first, entry.second)) ar.SetFailed();
    } catch (const std::bad_alloc&) {
        ar.SetFailed();
    }
}
