#pragma once
// One keyboard model as read from its ".exm" model file: its name, the names
// of its own voices and drum voices, the target voice it recommends for a
// channel's voice, which target voices it has, and its picture.
//
// The file, little-endian, sections without gaps:
//   name length (1), name
//   section 1: count (4, signed), records: bank MSB, bank LSB, program, name length (1 each), name
//   section 2: count (4), records: bank MSB, bank LSB, program (1 each), voice index (4, signed)
//   section 3: count (4, at most 118), one availability byte per voice index from 0
//   section 4: count (4), the picture's bytes
//   section 5, may be missing: count (4), records: bank MSB, bank LSB, program, note, name length (1 each), name
// A count of 0 or less means an empty section.
#include <memory>
#include <vector>

#include "data/VoiceAddressTable.h"
#include "platform/Archive.h"
#include "platform/String.h"

// The picture: 181 x 36 pixels, 3 bytes each (blue, green, red), rows padded
// to 544 bytes, the bottom row first.
constexpr int kModelPictureWidth = 181;
constexpr int kModelPictureHeight = 36;
constexpr int kModelPictureStride = 544;
constexpr int kModelPictureSize = kModelPictureStride * kModelPictureHeight;  // 19584

// A name of one of the model's voices.
class CProgramName {
public:
    CProgramName() { Clear(); }
    virtual ~CProgramName() = default;
    // The three address bytes 0; the name stays.
    virtual void Clear();
    // Reads one record; the bytes consumed (4 + name length), or -1 on a short read.
    int Read(CArchive& ar);
    void Write(CArchive& ar) const;

    BYTE m_BankMsb = 0;
    BYTE m_BankLsb = 0;
    BYTE m_Program = 0;
    CString m_Name;
};

// The target voice recommended for a channel playing one of the model's voices.
class CProConvTable {
public:
    // Reads one record; 7, or -1 on a short read.
    int Read(CArchive& ar);
    void Write(CArchive& ar) const;

    BYTE m_BankMsb = 0;
    BYTE m_BankLsb = 0;
    BYTE m_Program = 0;
    LONG m_VoiceIndex = kUnsetVoiceIndex;  // VoiceAddressTable index; taken as it stands
};

// The name of one drum instrument: a kit's address and a note.
class CDrumVoiceName {
public:
    CDrumVoiceName() { Clear(); }
    virtual ~CDrumVoiceName() = default;
    // The four key bytes 0; the name stays.
    virtual void Clear();
    // Reads one record; the bytes consumed (5 + name length), or -1 on a short read.
    int Read(CArchive& ar);
    void Write(CArchive& ar) const;

    BYTE m_BankMsb = 0;
    BYTE m_BankLsb = 0;
    BYTE m_Program = 0;
    BYTE m_Note = 0;
    CString m_Name;
};

class CArticModel {
public:
    using ProgramNameList = std::vector<std::unique_ptr<CProgramName>>;
    using ProConvList = std::vector<std::unique_ptr<CProConvTable>>;
    using DrumVoiceNameList = std::vector<std::unique_ptr<CDrumVoiceName>>;

    // A model file larger than this is not a model file (a real one is a few tens of KB).
    static constexpr size_t kMaxFileSize = 16u << 20;

    CArticModel();
    CArticModel(const CArticModel&) = delete;
    CArticModel& operator=(const CArticModel&) = delete;

    // Reads the model file at path into this new model. False when the file
    // cannot be read, is larger than kMaxFileSize, or a read comes up short;
    // the caller then destroys the model. Only section 5's count may be missing.
    bool Load(const CString& path);
    // The same over the file's bytes. A count whose records cannot fit in the
    // bytes left, and an availability count above 118, reject the file before
    // anything is allocated.
    bool Load(const BYTE* data, size_t size);
    // Writes this model in the file's form (absent lists as count 0; section 5
    // only when the model has a drum-voice-name list).
    void Store(CArchive& ar) const;

    // The first record with these bytes, or null (also without a list).
    const CProgramName* FindProgramName(BYTE bankMsb, BYTE bankLsb, BYTE program) const;
    const CProConvTable* FindProConv(BYTE bankMsb, BYTE bankLsb, BYTE program) const;
    const CDrumVoiceName* FindDrumVoiceName(BYTE bankMsb, BYTE bankLsb, BYTE program, BYTE note) const;

    // True when the index is 0..117 and the model has that voice.
    bool HasVoice(UINT voiceIndex) const;
    // True when a voice the model has is a drum kit (bank MSB 127).
    bool HasDrumKit() const;
    // The highest generation among the voices the model has; kNoGeneration when none has one.
    BYTE GetGeneration() const;

    CString m_Name;
    std::unique_ptr<ProgramNameList> m_pProgramNames;      // null: absent
    std::unique_ptr<ProConvList> m_pProConvs;              // null: absent
    BYTE m_Availability[kVoiceCount];
    std::vector<BYTE> m_Picture;
    std::unique_ptr<DrumVoiceNameList> m_pDrumVoiceNames;  // null: absent

private:
    bool ReadSections(CArchive& ar);
};
