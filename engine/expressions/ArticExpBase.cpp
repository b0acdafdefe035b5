#include "engine/expressions/ArticExpBase.h"

VX_IMPLEMENT_CLASS(CArticExpArray, CArticExpEvnt)
VX_IMPLEMENT_CLASS(CArticExpStres, CArticExpEvnt)
VX_IMPLEMENT_CLASS(CArticExpCre, CArticExpEvnt)
VX_IMPLEMENT_CLASS(CArticExpDebug, CArticExpEvnt)

CArticExpArray::CArticExpArray(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes)
    : CArticExpEvnt(owner, evntNo), m_Notes(notes) {}

CArticExpArray& CArticExpArray::operator=(const CArticExpArray& src) {
    CArticExpEvnt::operator=(src);
    m_Notes = src.m_Notes;
    return *this;
}

CArticExpStres::CArticExpStres(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes)
    : CArticExpEvnt(owner, evntNo), m_Notes(notes) {}

CArticExpStres& CArticExpStres::operator=(const CArticExpStres& src) {
    CArticExpEvnt::operator=(src);
    m_Notes = src.m_Notes;
    return *this;
}

CArticExpCre::CArticExpCre(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type)
    : CArticExpEvnt(owner, evntNo), m_Notes(notes), m_Type(type) {}

CArticExpCre& CArticExpCre::operator=(const CArticExpCre& src) {
    CArticExpEvnt::operator=(src);
    m_Notes = src.m_Notes;
    m_Type = src.m_Type;
    return *this;
}

CArticExpDebug::CArticExpDebug(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes)
    : CArticExpEvnt(owner, evntNo), m_Notes(notes) {}

CArticExpDebug& CArticExpDebug::operator=(const CArticExpDebug& src) {
    CArticExpEvnt::operator=(src);
    m_Notes = src.m_Notes;
    return *this;
}
