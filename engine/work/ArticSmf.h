#pragma once
// The engine's own Standard MIDI File reader and writer, used for the
// phrase-library files. Reading gives work events at 480 ticks per quarter
// note with notes carrying their gate (note-offs are not stored); writing
// turns one event list into a format-0 file at 480, expanding the packed
// pseudo-events and the notes' gates into ordinary messages.
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

#include "engine/work/ArticWrkEvnt.h"
#include "platform/File.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticSmf : public CObject {
public:
    static constexpr unsigned kListCount = 101;  // lists 0..100

    CArticSmf();
    ~CArticSmf() override;
    CArticSmf(const CArticSmf&) = delete;
    CArticSmf& operator=(const CArticSmf&) = delete;

    // *out = list index: 1; 0 (and *out null) for an index past 100.
    virtual int GetEvntList(unsigned index, CArticWrkEvntList** out);
    virtual CArticWrkEvntList* GetEvntListPtr(unsigned index);
    // Reads the whole file: 1; 0 for a refused or broken file. The events
    // are in list 1 (format 1: the first track's meta events in list 0).
    virtual int LoadSmf(CFile* file);
    // Writes list as a format-0 file from the file's start: 1; 0 for a null
    // argument or a failed write or seek. The list is not changed.
    virtual int SaveSmf(CFile* file, CArticWrkEvntList* list);

    // The value as 4 big-endian bytes.
    static CString ConvDWordToStr(DWORD value);

    // 0 none, 1 format 0 with one track, 2 format 1, 3 format 0 followed by
    // the ZQ chunks (refused), as found by the last load.
    BYTE GetKind() const { return m_Kind; }
    // Bytes the last successful SaveSmf wrote.
    DWORD GetSavedLength() const { return m_SavedLength; }
    CString GetPath() const { return m_Path; }

protected:
    BYTE GetSmfKind();
    int ReadTrack(DWORD begin, DWORD end);
    int ReadEvnt(DWORD trackEnd);
    // Gives the earliest sounding note of the key its gate, from the current time.
    void CloseNote(BYTE channel, BYTE key);
    // Gives every note still sounding its gate up to the current time.
    void CloseAllNotes();
    void Reset();
    void Store(CArticWrkEvnt* evnt, bool meta);

private:
    std::array<std::unique_ptr<CArticWrkEvntList>, kListCount> m_Lists;  // each owns its events
    std::vector<BYTE> m_Image;        // the file, only during LoadSmf
    struct SoundingNote {
        CArticWrkEvnt* Evnt;  // in its list already
        uint64_t RawOn;       // the note-on's tick in the file's own units
    };
    INT64 GateOf(uint64_t rawOn, uint64_t rawOff) const;
    // Notes of the track being read still waiting for their note-off, by
    // channel (1..16) and key, earliest first.
    std::unordered_map<WORD, std::deque<SoundingNote>> m_Sounding;
    uint64_t m_RawTime = 0;           // the track's time in the file's own ticks
    DWORD m_Pos = 0;
    DWORD m_Time = 0;
    DWORD m_Rest = 0;
    BYTE m_Status = 0;
    BYTE m_RunStatus = 0;
    BYTE m_Ch = 0;
    int m_FirstTrk = 0;
    WORD m_Format = 0;
    DWORD m_TrackCount = 0;
    DWORD m_Division = 480;
    DWORD m_TrackLength = 0;
    BYTE m_Kind = 0;
    DWORD m_SavedLength = 0;
    CString m_Path;
};
