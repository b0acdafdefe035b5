#pragma once
// The application's tone map: named entries of per-channel records, filled
// from the ports of the same name.
#include <array>
#include <vector>

#include "host/MidiPort.h"

// A list that owns the objects it points to.
template <class T>
class CNewObjList : public CTypedPtrList<CObList, T*> {
public:
    CNewObjList() = default;
    ~CNewObjList() override { DeleteAll(); }
    CNewObjList(const CNewObjList&) = delete;
    CNewObjList& operator=(const CNewObjList&) = delete;

    // True and the entry's position when the entry is in the list.
    bool FindEntry(const T* entry, POSITION* pos) const {
        POSITION found = this->Find(const_cast<T*>(entry));
        if (pos) *pos = found;
        return found != nullptr;
    }
    // Deletes the entry at the position and takes it out of the list.
    void DeleteAt(POSITION pos) {
        if (!pos) return;
        delete this->GetAt(pos);
        this->RemoveAt(pos);
    }
    void DeleteAll() {
        while (!this->IsEmpty()) delete this->RemoveHead();
    }
};

using ChannelRecord = std::array<BYTE, MIDI_PORT_CHANNEL_SIZE>;

class CTGMapData : public CObject {
    VX_DECLARE_CLASS(CTGMapData)
public:
    CString m_Name;
    std::vector<ChannelRecord> m_Channels;  // grows as records are stored
};

class CToneMap : public CObject {
    VX_DECLARE_CLASS(CToneMap)
public:
    CToneMap() : m_Name("Tone Map") {}

    const CString& GetName() const { return m_Name; }
    CNewObjList<CTGMapData>& GetEntries() { return m_Entries; }
    const CNewObjList<CTGMapData>& GetEntries() const { return m_Entries; }

    // For every entry and every port of the map named like the entry (ASCII
    // case ignored, double-byte characters compared whole), stores the port's
    // sixteen channel records at indices 0..15 of the entry's array. False
    // when the array cannot grow.
    bool Merge(const CMidiPortMap& ports);

private:
    CString m_Name;
    CNewObjList<CTGMapData> m_Entries;
};

// Equal texts of equal length, ASCII letters folded outside double-byte characters.
bool SameNameNoCase(const CString& a, const CString& b);
