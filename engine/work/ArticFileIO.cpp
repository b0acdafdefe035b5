#include "engine/work/ArticFileIO.h"

#include <cstring>

#include "engine/work/ArticCash.h"
#include "platform/Text.h"

CArticFileIO::CArticFileIO() : m_pSmf(std::make_unique<CArticSmf>()) {}

CArticFileIO::~CArticFileIO() = default;

int CArticFileIO::GetEvntList(CArticWrkEvntList** out) {
    if (out) *out = m_pEvntList;
    return m_pEvntList ? 1 : 0;
}

unsigned CArticFileIO::CheckPrefix(const char* path) {
    if (!path) return 2;
    const char* dot = std::strrchr(path, '.');
    if (!dot) return 2;
    // Lower-case the single-byte characters only; a double-byte character stays whole.
    CString ext;
    const int length = int(std::strlen(dot));
    for (int i = 0; i < length; ++i) {
        const BYTE c = BYTE(dot[i]);
        if (IsLeadByte(c) && i + 1 < length) {
            ext += char(c);
            ext += dot[++i];
        } else {
            ext += char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        }
    }
    if (ext == ".mid") return 0;
    if (ext == ".dat") return 1;
    return 2;
}

int CArticFileIO::Load(const char* path) {
    m_pEvntList = nullptr;
    const CString key(path ? path : "");
    if (CArticSmfBuf* buf = CArticCash::FindSmfBuf(key)) {
        m_pEvntList = buf->GetEvntListPtr();
        return 1;
    }
    if (!path) return 0;
    CFile file;
    if (!file.Open(key, CFile::modeRead | CFile::shareDenyNone)) return 0;
    int result = LoadFile(&file, CheckPrefix(path));
    file.Close();
    if (m_pEvntList) {
        CArticSmfBufList* cash = nullptr;
        CArticCash::GetSmfBufList(&cash);
        if (cash) {
            auto* buf = new CArticSmfBuf();
            buf->SetFullPath(key);
            buf->CopyEvntList(m_pEvntList);
            CArticCash::AddSmfBuf(buf);
        }
        result = 1;
    }
    return result;
}

int CArticFileIO::LoadFile(CFile* file, unsigned kind) {
    if (kind != 0 || !m_pSmf) return 0;
    const int r = m_pSmf->LoadSmf(file);
    if (r) m_pEvntList = m_pSmf->GetEvntListPtr(1);
    return r;
}

int CArticFileIO::Save(const char* path) {
    if (!path) return 0;
    CFile file;
    if (!file.Open(CString(path), CFile::modeWrite | CFile::shareDenyWrite | CFile::modeCreate |
                                      CFile::modeNoTruncate))
        return 0;
    int result = SaveFile(&file, CheckPrefix(path));
    // A shorter song saved over a longer file must not keep the old tail.
    if (result && !file.SetLength(int64_t(m_pSmf->GetSavedLength()))) result = 0;
    file.Close();
    return result;
}

int CArticFileIO::SaveFile(CFile* file, unsigned kind) {
    if (kind != 0 || !m_pSmf || !m_pEvntList) return 0;
    return m_pSmf->SaveSmf(file, m_pEvntList);
}
