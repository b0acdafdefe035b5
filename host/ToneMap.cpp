#include "host/ToneMap.h"

#include <cstring>
#include <new>

#include "platform/Text.h"

VX_IMPLEMENT_CLASS(CTGMapData, CObject);
VX_IMPLEMENT_CLASS(CToneMap, CObject);

namespace {

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

}  // namespace

bool SameNameNoCase(const CString& a, const CString& b) {
    const int n = a.GetLength();
    if (n != b.GetLength()) return false;
    for (int i = 0; i < n; ++i) {
        const char ca = a[i];
        const char cb = b[i];
        if (IsLeadByte(static_cast<unsigned char>(ca)) && i + 1 < n) {
            // A double-byte character matches only byte for byte.
            if (ca != cb || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        if (FoldAscii(ca) != FoldAscii(cb)) return false;
    }
    return true;
}

bool CToneMap::Merge(const CMidiPortMap& ports) {
    for (POSITION entryPos = m_Entries.GetHeadPosition(); entryPos;) {
        CTGMapData* entry = m_Entries.GetNext(entryPos);
        for (POSITION portPos = ports.GetStartPosition(); portPos;) {
            WORD number = 0;
            const CMidiPort* port = nullptr;
            ports.GetNextAssoc(portPos, number, port);
            if (!SameNameNoCase(entry->m_Name, port->GetInfo().PortName)) continue;
            try {
                if (entry->m_Channels.size() < size_t(MIDI_PORT_CHANNELS)) entry->m_Channels.resize(MIDI_PORT_CHANNELS);
            } catch (const std::bad_alloc&) {
                return false;
            }
            for (int ch = 0; ch < MIDI_PORT_CHANNELS; ++ch)
                std::memcpy(entry->m_Channels[size_t(ch)].data(), port->GetInfo().Channels[ch], MIDI_PORT_CHANNEL_SIZE);
        }
    }
    return true;
}
