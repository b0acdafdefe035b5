#include "engine/work/ArticCash.h"

namespace {
CArticSmfBufList* g_pCash = nullptr;  // owned, with its buffers
}

CArticSmfBuf::CArticSmfBuf() : m_pFullPath(new CString()), m_pEvntList(new CArticWrkEvntList(10)) {}

CArticSmfBuf::~CArticSmfBuf() {
    delete m_pFullPath;
    ClearEvntList(m_pEvntList);
    delete m_pEvntList;
}

CString CArticSmfBuf::GetFullPath() const { return m_pFullPath ? *m_pFullPath : CString(); }

void CArticSmfBuf::SetFullPath(CString path) {
    if (!m_pFullPath) m_pFullPath = new CString();
    *m_pFullPath = path;
}

int CArticSmfBuf::GetEvntList(CArticWrkEvntList** out) {
    if (!out) return 0;
    *out = m_pEvntList;
    return 1;
}

void CArticSmfBuf::CopyEvntList(CArticWrkEvntList* src) {
    if (!src || !m_pEvntList) return;
    ULONG n = 0;
    for (POSITION p = src->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = src->GetNext(p);
        if (!e) continue;
        auto* copy = new CArticWrkEvnt(nullptr, n);
        *copy = *e;
        copy->SetOwner(nullptr);
        copy->SetPosEvnt(nullptr);
        copy->SetEvntNo(n++);
        m_pEvntList->AddTail(copy);
    }
}

void CArticSmfBuf::ClearEvntList(CArticWrkEvntList* list) {
    if (!list) return;
    for (POSITION p = list->GetHeadPosition(); p;) delete list->GetNext(p);
    list->RemoveAll();
}

void CArticCash::ClearSmfBufList() { g_pCash = new CArticSmfBufList(10); }

void CArticCash::DeleteSmfBufList() {
    if (!g_pCash) return;
    for (POSITION p = g_pCash->GetHeadPosition(); p;) delete g_pCash->GetNext(p);
    delete g_pCash;
    g_pCash = nullptr;
}

void CArticCash::Clear() {
    DeleteSmfBufList();
    ClearSmfBufList();
}

void CArticCash::Delete() { DeleteSmfBufList(); }

int CArticCash::GetSmfBufList(CArticSmfBufList** out) {
    if (!out) return 0;
    *out = g_pCash;
    return 1;
}

int CArticCash::IsSmfBuf(CString path, CArticSmfBuf** out) {
    if (!out) return 0;
    *out = FindSmfBuf(path);
    return 1;
}

bool CArticCash::AddSmfBuf(CArticSmfBuf* buf) {
    if (!g_pCash || !buf) return false;
    g_pCash->AddTail(buf);
    return true;
}

CArticSmfBuf* CArticCash::FindSmfBuf(CString path) {
    if (!g_pCash || path.IsEmpty()) return nullptr;
    for (POSITION p = g_pCash->GetHeadPosition(); p;) {
        CArticSmfBuf* buf = g_pCash->GetNext(p);
        if (buf && buf->GetFullPath() == path) return buf;
    }
    return nullptr;
}
