#pragma once
// Channel tables: the MIDI channels a conversion works on, each keyed by
// port number × 256 + MIDI channel, with the bank MSB, bank LSB and program
// the song gives the channel. The editor manager keeps three of them (the
// client channels of the whole song, the channels of the selection's tracks
// and the channels the selection uses); the index of the used table is the
// part number of the conversion.
//
// The tables themselves (services/ArticArrayChTable.cpp), with the run-time
// record and the virtual table, belong to the services below the engine,
// which reads them in its string split; the scans of the song
// (driver/ArticArrayCh.cpp) belong to the driver above, beside the song
// bridge they call. So the scans are not virtual: the virtual table must not
// name a function defined above. Nor does this header include the host's: the
// scans' host types are declared only.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CArticPos;
class CKPSManager;
struct _MPTRACKINFO;
struct tagMPEVENT;

// Song positions (track, block, event) of a selection; the holder owns the entries.
using CArticPosList = CTypedPtrList<CObList, CArticPos*>;

// One channel of a table.
class CArrayChInfo : public CObject {
    VX_DECLARE_CLASS(CArrayChInfo)
public:
    static constexpr DWORD kNoKey = 0xFFFFFFFF;

    CArrayChInfo() = default;
    explicit CArrayChInfo(DWORD key) : m_Key(key) {}
    ~CArrayChInfo() override = default;

    DWORD GetKey() const { return m_Key; }
    BYTE GetProNo() const { return m_ProNo; }
    BYTE GetBSelMsb() const { return m_BSelMsb; }
    BYTE GetBSelLsb() const { return m_BSelLsb; }
    void SetKey(DWORD key) { m_Key = key; }
    // Whether a voice event of the song set any of the three values: a
    // channel without one still has an entry, at 0/0/0.
    bool HasVoice() const { return m_HasVoice; }
    void SetProNo(BYTE value) { m_ProNo = value, m_HasVoice = true; }
    void SetBSelMsb(BYTE value) { m_BSelMsb = value, m_HasVoice = true; }
    void SetBSelLsb(BYTE value) { m_BSelLsb = value, m_HasVoice = true; }
    void CopyVoice(const CArrayChInfo& from) {
        m_ProNo = from.m_ProNo, m_BSelMsb = from.m_BSelMsb, m_BSelLsb = from.m_BSelLsb;
        m_HasVoice = from.m_HasVoice;
    }

private:
    DWORD m_Key = kNoKey;
    BYTE m_ProNo = 0;
    BYTE m_BSelMsb = 0;
    BYTE m_BSelLsb = 0;
    bool m_HasVoice = false;
};

using CArrayChInfoArray = CTypedPtrArray<CObArray, CArrayChInfo*>;

class CArticArrayCh : public CObject {
    VX_DECLARE_CLASS(CArticArrayCh)
public:
    static DWORD MakeKey(DWORD port, DWORD ch) { return port * 256 + ch; }

    CArticArrayCh();
    ~CArticArrayCh() override;
    CArticArrayCh(const CArticArrayCh&) = delete;
    CArticArrayCh& operator=(const CArticArrayCh&) = delete;

    // A new empty table, the old entries deleted.
    virtual void InitOrigiCh();
    // Both delete the entries and the array: afterwards there is no table
    // (never a pointer to a deleted one).
    virtual void DeleteOrigiCh();
    virtual void ClearOrigiCh();
    // Index of the entry with the key, else of a new entry appended for it;
    // -1 when there is no table.
    virtual int UpdateOrigiCh(DWORD key);
    // Index of the first entry with the key; -1 when none or no table.
    virtual int SearchOrigiCh(DWORD key) const;
    // The scans start a new table, set *count to -1, and end by writing the
    // number of entries. 0 on success; 1 when a host step or a time
    // conversion fails (the entries found so far stay).
    // The channels of the selection's tracks (a track without a channel adds
    // its events' channels) and the earliest note time of those tracks.
    int ScanOrigiCh(CKPSManager* host, const CArticPosList* list, int* count);
    // The channels the selection uses (a track without a channel adds the
    // channels of the selected events or blocks).
    int ScanUsedCh(CKPSManager* host, const CArticPosList* list, int* count);
    // Every channel of the song and the voice it has before its first note;
    // mode 1 skips the tracks that are not written out. `time` (engine ticks)
    // bounds the voice events of tracks without a channel.
    int ScanClientCh(CKPSManager* host, int mode, INT64 time, int* count);
    // Ascending keys.
    virtual void SortOrigiCh();
    virtual int GetOrigiChNum() const;
    // Set the value of the entry with the key and give its index; without one,
    // append an entry with the key and the value and give the new count.
    virtual int UpdateProNo(DWORD key, BYTE value);
    virtual int UpdateBSelMsb(DWORD key, BYTE value);
    virtual int UpdateBSelLsb(DWORD key, BYTE value);

    // Key of entry i; 0xFFFFFFFF (-1) outside the table or without one.
    DWORD GetOrigiCh(int i) const;
    // Entry i, or null.
    CArrayChInfo* GetOrigiChInfo(int i) const;
    // Copies bank MSB, bank LSB and program from the entries of `from` with the same keys.
    void CopyVoice(const CArticArrayCh& from);
    // Earliest note time of the last ScanOrigiCh (engine ticks), -1 when none.
    INT64 GetFirstNoteTime() const { return m_FirstNoteTime; }

private:
    using Setter = void (CArrayChInfo::*)(BYTE);
    int UpdateValue(DWORD key, BYTE value, Setter set);
    // The entry with the key, appended when absent; null without a table.
    CArrayChInfo* Entry(DWORD key);
    // Adds the channel of a non-variable event of a track on the port.
    void AddEvntCh(DWORD port, const tagMPEVENT& e);
    int ScanClientMulti(CKPSManager* host, POSITION trkPos, const _MPTRACKINFO& trk, DWORD port, INT64 time);
    int ScanClientSingle(CKPSManager* host, POSITION trkPos, const _MPTRACKINFO& trk, DWORD port);
    int EndScan(int result, int* count) const;

    CArrayChInfoArray* m_pArray = nullptr;  // owned, with its entries
    INT64 m_FirstNoteTime = -1;
};
