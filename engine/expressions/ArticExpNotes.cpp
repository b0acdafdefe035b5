#include "engine/expressions/ArticExpNotes.h"

#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtil.h"

CArticExpNotes::CArticExpNotes(const CArticWrkEvntList* src) : m_pList(new CArticWrkEvntList(10)) { Copy(src); }

CArticExpNotes::~CArticExpNotes() { Delete(); }

CArticExpNotes& CArticExpNotes::operator=(const CArticExpNotes& src) {
    if (this == &src) return *this;
    if (!m_pList) m_pList = new CArticWrkEvntList(10);
    Clear();
    Copy(src.m_pList);
    return *this;
}

int CArticExpNotes::Get(CArticWrkEvntList** list) const {
    if (list) *list = m_pList;
    return m_pList ? 1 : 0;
}

void CArticExpNotes::Set(CArticWrkEvntList* list) {
    if (list == m_pList) return;
    delete m_pList;
    m_pList = list;
}

void CArticExpNotes::Clear() {
    if (m_pList) m_pList->RemoveAll();
}

void CArticExpNotes::Copy(const CArticWrkEvntList* src) { CArticExpUtil::CopyEvntList(src, m_pList); }

void CArticExpNotes::Delete() {
    delete m_pList;
    m_pList = nullptr;
}

int CArticExpNotes::ReLink(CArticWrk* wrk) {
    if (!wrk) return 1;
    if (!m_pList) return 0;
    // In place: each reference becomes wrk's event of its number, or leaves.
    for (POSITION p = m_pList->GetHeadPosition(); p;) {
        const POSITION at = p;
        CArticWrkEvnt* e = m_pList->GetNext(p);
        CArticWrkEvnt* linked = e ? wrk->GetEvntInEvntPosArray(e->GetEvntNo(), 0) : nullptr;
        if (linked)
            m_pList->SetAt(at, linked);
        else
            m_pList->RemoveAt(at);
    }
    return 0;
}

CArticWrkBlk* FirstHeldNoteBlk(const CArticWrk* data, const CArticWrkEvntList* list) {
    if (!data || !list) return nullptr;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* note = list->GetNext(p);
        if (note && data->IsEvntPos(note)) return note->GetOwner();
    }
    return nullptr;
}
