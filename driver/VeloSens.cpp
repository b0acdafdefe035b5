#include "driver/VeloSens.h"

#include "driver/ArticTimeline.h"

VX_IMPLEMENT_CLASS(CVeloSensEvnt, CArticTimelineEvnt);
VX_IMPLEMENT_CLASS(CVeloSens, CObject);

CVeloSens::CVeloSens() : m_pList(std::make_unique<CVeloSensEvntList>(10)) {}

CVeloSens::~CVeloSens() { ClearVeloSensList(); }

void CVeloSens::InsertEvnt(CVeloSensEvnt* evnt) {
    if (!evnt) return;
    if (!m_pList) m_pList = std::make_unique<CVeloSensEvntList>(10);
    articline::InsertByTime(*m_pList, evnt);
}

BYTE CVeloSens::GetConvVal(INT64 time, BYTE velo) const {
    if (!m_pList) return velo;
    int depth = 64, offset = 64;
    for (POSITION pos = m_pList->GetHeadPosition(); pos;) {
        const CVeloSensEvnt* e = m_pList->GetNext(pos);
        if (e->GetTime() >= time) continue;
        if (e->GetKind() == CVeloSensEvnt::kDepth) depth = e->GetValue();
        else if (e->GetKind() == CVeloSensEvnt::kOffset) offset = e->GetValue();
    }
    const double r = double(depth) * velo / 64.0 + double(offset - 64) * 2.0;
    const long v = long(r);  // toward zero
    if (v > 127) return 127;
    if (v < 1) return 1;
    return BYTE(v);
}

void CVeloSens::ClearVeloSensList() {
    if (m_pList) articline::DeleteAll(*m_pList);
}

void CVeloSens::CopyVeloSensList(const CVeloSensEvntList* list) {
    if (!m_pList) m_pList = std::make_unique<CVeloSensEvntList>(10);
    articline::CopyAll(*m_pList, list);
}
