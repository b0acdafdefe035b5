#include "driver/PgBsel.h"

#include "driver/ArticTimeline.h"

VX_IMPLEMENT_CLASS(CPgBselEvnt, CArticTimelineEvnt);
VX_IMPLEMENT_CLASS(CPgBsel, CObject);

CPgBsel::CPgBsel(CKPSManager* host) : m_pHost(host), m_pList(std::make_unique<CPgBselEvntList>(10)) {}

CPgBsel::~CPgBsel() { ClearPgBselList(); }

void CPgBsel::InsertEvnt(CPgBselEvnt* evnt) {
    if (!evnt) return;
    if (!m_pList) m_pList = std::make_unique<CPgBselEvntList>(10);
    articline::InsertByTime(*m_pList, evnt);
}

void CPgBsel::GetPgBselByTime(INT64 time, BYTE* msb, BYTE* lsb, BYTE* pro, int drum) const {
    BYTE voice[4] = {0, BYTE(drum ? 127 : 0), 0, 0};  // indexed by kind
    for (POSITION pos = m_pList ? m_pList->GetHeadPosition() : nullptr; pos;) {
        const CPgBselEvnt* e = m_pList->GetNext(pos);
        if (e->GetTime() >= time || e->GetValue() > 127) continue;
        if (e->GetKind() >= CPgBselEvnt::kBankMsb && e->GetKind() <= CPgBselEvnt::kProgram)
            voice[e->GetKind()] = e->GetValue();
    }
    if (msb) *msb = voice[CPgBselEvnt::kBankMsb];
    if (lsb) *lsb = voice[CPgBselEvnt::kBankLsb];
    if (pro) *pro = voice[CPgBselEvnt::kProgram];
}

int CPgBsel::DeleteAllEvnt() {
    if (!m_pHost || !m_pList) return 0;
    int result = 0;
    for (POSITION pos = m_pList->GetHeadPosition(); pos;) {
        POSITION ids[MP_ID_COUNT] = {};
        m_pList->GetNext(pos)->GetEventIDs(&ids[MP_ID_TRACK], &ids[MP_ID_BLOCK], &ids[MP_ID_EVENT]);
        if (!ids[MP_ID_TRACK] || !ids[MP_ID_BLOCK] || !ids[MP_ID_EVENT]) continue;
        if (m_pHost->Remove(MP_LEVEL_EVENT, ids) < 0) result = 1;
    }
    return result;
}

void CPgBsel::ClearPgBselList() {
    if (m_pList) articline::DeleteAll(*m_pList);
}

void CPgBsel::CopyPgBselList(const CPgBselEvntList* list) {
    if (!m_pList) m_pList = std::make_unique<CPgBselEvntList>(10);
    articline::CopyAll(*m_pList, list);
}
