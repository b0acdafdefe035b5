#include "data/ArticModel.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/File.h"

namespace {

bool ReadByte(CArchive& ar, BYTE& value) { return ar.Read(&value, 1); }

bool ReadCount(CArchive& ar, LONG& count) {
    DWORD raw = 0;
    if (!ar.ReadDWORD(raw)) return false;
    count = LONG(raw);
    return true;
}

// A name of `length` bytes: exactly that many characters, every one from the
// first NUL on a NUL.
bool ReadName(CArchive& ar, size_t length, CString& name) {
    std::string bytes(length, '\0');
    if (!ar.Read(bytes.data(), length)) return false;
    const size_t nul = bytes.find('\0');
    if (nul != std::string::npos) std::fill(bytes.begin() + nul, bytes.end(), '\0');
    name = CString(std::move(bytes));
    return true;
}

void WriteByte(CArchive& ar, BYTE value) { ar.Write(&value, 1); }

// A name longer than a length byte can say is cut at 255 bytes.
void WriteName(CArchive& ar, const CString& name) {
    const size_t length = name.str().size() < 255 ? name.str().size() : 255;
    WriteByte(ar, BYTE(length));
    ar.Write(name.str().data(), length);
}

// True when `count` records of at least `minRecord` bytes can be in the bytes left.
bool CountFits(const CArchive& ar, LONG count, size_t minRecord) {
    return count <= 0 || size_t(count) <= ar.Left() / minRecord;
}

}  // namespace

void CProgramName::Clear() { m_BankMsb = m_BankLsb = m_Program = 0; }

int CProgramName::Read(CArchive& ar) {
    BYTE length = 0;
    if (!ReadByte(ar, m_BankMsb) || !ReadByte(ar, m_BankLsb) || !ReadByte(ar, m_Program) || !ReadByte(ar, length) ||
        !ReadName(ar, length, m_Name))
        return -1;
    return 4 + length;
}

void CProgramName::Write(CArchive& ar) const {
    WriteByte(ar, m_BankMsb);
    WriteByte(ar, m_BankLsb);
    WriteByte(ar, m_Program);
    WriteName(ar, m_Name);
}

int CProConvTable::Read(CArchive& ar) {
    DWORD voice = 0;
    if (!ReadByte(ar, m_BankMsb) || !ReadByte(ar, m_BankLsb) || !ReadByte(ar, m_Program) || !ar.ReadDWORD(voice))
        return -1;
    m_VoiceIndex = LONG(voice);
    return 7;
}

void CProConvTable::Write(CArchive& ar) const {
    WriteByte(ar, m_BankMsb);
    WriteByte(ar, m_BankLsb);
    WriteByte(ar, m_Program);
    ar.WriteDWORD(DWORD(m_VoiceIndex));
}

void CDrumVoiceName::Clear() { m_BankMsb = m_BankLsb = m_Program = m_Note = 0; }

int CDrumVoiceName::Read(CArchive& ar) {
    BYTE length = 0;
    if (!ReadByte(ar, m_BankMsb) || !ReadByte(ar, m_BankLsb) || !ReadByte(ar, m_Program) || !ReadByte(ar, m_Note) ||
        !ReadByte(ar, length) || !ReadName(ar, length, m_Name))
        return -1;
    return 5 + length;
}

void CDrumVoiceName::Write(CArchive& ar) const {
    WriteByte(ar, m_BankMsb);
    WriteByte(ar, m_BankLsb);
    WriteByte(ar, m_Program);
    WriteByte(ar, m_Note);
    WriteName(ar, m_Name);
}

CArticModel::CArticModel() { std::memset(m_Availability, 0, sizeof m_Availability); }

bool CArticModel::Load(const CString& path) {
    CFile::Status status;
    if (!CFile::GetStatus(path, &status) || status.m_isDirectory || status.m_size > kMaxFileSize) return false;
    std::string bytes;
    if (!ReadWholeFile(path, &bytes) || bytes.size() > kMaxFileSize) return false;
    return Load(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
}

bool CArticModel::Load(const BYTE* data, size_t size) {
    CArchive ar(data, size);
    return ReadSections(ar);
}

bool CArticModel::ReadSections(CArchive& ar) {
    BYTE nameLength = 0;
    if (!ReadByte(ar, nameLength) || !ReadName(ar, nameLength, m_Name)) return false;

    // Section 1: program names (records of 4 bytes and more).
    LONG count = 0;
    if (!ReadCount(ar, count) || !CountFits(ar, count, 4)) return false;
    if (count > 0) {
        m_pProgramNames = std::make_unique<ProgramNameList>();
        m_pProgramNames->reserve(size_t(count));
        for (LONG i = 0; i < count; ++i) {
            auto record = std::make_unique<CProgramName>();
            if (record->Read(ar) < 0) {
                m_pProgramNames.reset();
                return false;
            }
            m_pProgramNames->push_back(std::move(record));
        }
    }

    // Section 2: program conversions (7 bytes each); what was read stays on failure.
    if (!ReadCount(ar, count) || !CountFits(ar, count, 7)) return false;
    if (count > 0) {
        m_pProConvs = std::make_unique<ProConvList>();
        m_pProConvs->reserve(size_t(count));
        for (LONG i = 0; i < count; ++i) {
            auto record = std::make_unique<CProConvTable>();
            if (record->Read(ar) < 0) return false;
            m_pProConvs->push_back(std::move(record));
        }
    }

    // Section 3: one availability byte per voice; more than the table has is not a model file.
    std::memset(m_Availability, 0, sizeof m_Availability);
    if (!ReadCount(ar, count) || count > kVoiceCount) return false;
    if (count > 0 && !ar.Read(m_Availability, size_t(count))) return false;

    // Section 4: the picture.
    if (!ReadCount(ar, count) || !CountFits(ar, count, 1)) return false;
    m_Picture.clear();
    if (count > 0) {
        m_Picture.resize(size_t(count));
        if (!ar.Read(m_Picture.data(), m_Picture.size())) return false;
    }

    // Section 5: drum voice names; a file may end before its count.
    if (!ReadCount(ar, count) || count <= 0) return true;
    if (!CountFits(ar, count, 5)) return false;
    m_pDrumVoiceNames = std::make_unique<DrumVoiceNameList>();
    m_pDrumVoiceNames->reserve(size_t(count));
    for (LONG i = 0; i < count; ++i) {
        auto record = std::make_unique<CDrumVoiceName>();
        if (record->Read(ar) < 0) {
            m_pDrumVoiceNames.reset();
            return false;
        }
        m_pDrumVoiceNames->push_back(std::move(record));
    }
    return true;
}

void CArticModel::Store(CArchive& ar) const {
    WriteName(ar, m_Name);
    ar.WriteDWORD(m_pProgramNames ? DWORD(m_pProgramNames->size()) : 0);
    if (m_pProgramNames) {
        for (const auto& record : *m_pProgramNames) record->Write(ar);
    }
    ar.WriteDWORD(m_pProConvs ? DWORD(m_pProConvs->size()) : 0);
    if (m_pProConvs) {
        for (const auto& record : *m_pProConvs) record->Write(ar);
    }
    ar.WriteDWORD(DWORD(kVoiceCount));
    ar.Write(m_Availability, sizeof m_Availability);
    ar.WriteDWORD(DWORD(m_Picture.size()));
    ar.Write(m_Picture.data(), m_Picture.size());
    if (m_pDrumVoiceNames) {
        ar.WriteDWORD(DWORD(m_pDrumVoiceNames->size()));
        for (const auto& record : *m_pDrumVoiceNames) record->Write(ar);
    }
}

const CProgramName* CArticModel::FindProgramName(BYTE bankMsb, BYTE bankLsb, BYTE program) const {
    if (!m_pProgramNames) return nullptr;
    for (const auto& record : *m_pProgramNames) {
        if (record->m_BankMsb == bankMsb && record->m_BankLsb == bankLsb && record->m_Program == program)
            return record.get();
    }
    return nullptr;
}

const CProConvTable* CArticModel::FindProConv(BYTE bankMsb, BYTE bankLsb, BYTE program) const {
    if (!m_pProConvs) return nullptr;
    for (const auto& record : *m_pProConvs) {
        if (record->m_BankMsb == bankMsb && record->m_BankLsb == bankLsb && record->m_Program == program)
            return record.get();
    }
    return nullptr;
}

const CDrumVoiceName* CArticModel::FindDrumVoiceName(BYTE bankMsb, BYTE bankLsb, BYTE program, BYTE note) const {
    if (!m_pDrumVoiceNames) return nullptr;
    for (const auto& record : *m_pDrumVoiceNames) {
        if (record->m_BankMsb == bankMsb && record->m_BankLsb == bankLsb && record->m_Program == program &&
            record->m_Note == note)
            return record.get();
    }
    return nullptr;
}

bool CArticModel::HasVoice(UINT voiceIndex) const {
    return voiceIndex < UINT(kVoiceCount) && m_Availability[voiceIndex] != 0;
}

bool CArticModel::HasDrumKit() const {
    for (int v = 0; v < kVoiceCount; ++v) {
        if (HasVoice(UINT(v)) && VoiceAddressTable[v].bankMsb == kDrumKitBankMsb) return true;
    }
    return false;
}

BYTE CArticModel::GetGeneration() const {
    int highest = -1;
    for (int v = 0; v < kVoiceCount; ++v) {
        const BYTE generation = VoiceAddressTable[v].generation;
        if (HasVoice(UINT(v)) && generation != kNoGeneration && generation > highest) highest = generation;
    }
    return highest < 0 ? kNoGeneration : BYTE(highest);
}
