#include "host/MidiPort.h"

#include <algorithm>
#include <cstring>
#include <new>

VX_IMPLEMENT_CLASS(CMidiPort, CObject);
VX_IMPLEMENT_CLASS(CMidiPortMap, CObject);

namespace {

// The indexed walks visit the numbers 1 up to the entry count (a WORD at most).
int LastWalkedNumber(int count) { return std::min(count, 0xFFFF); }

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
