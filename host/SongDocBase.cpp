#include "host/SongDocBase.h"

VX_IMPLEMENT_CLASS(CSongDocBase, CDocument);

CSongDocBase::~CSongDocBase() { DeleteAllTracks(); }

void CSongDocBase::DeleteAllTracks() {
    CSingleLock lock(&m_ListSection, true);
    while (!m_TrackList.IsEmpty()) delete m_TrackList.RemoveHead();
}

CBlock* CSongDocBase::GetConductorBlock() const {
    if (m_TrackList.IsEmpty()) return nullptr;
    const CBlockList& blocks = m_TrackList.GetHead()->GetBlockList();
    return blocks.IsEmpty() ? nullptr : blocks.GetHead();
}

// A song without a conductor block has no meters: the previous song's stay behind otherwise.
int CSongDocBase::RebuildMeterMap() { return m_MeterMap.Rebuild(GetConductorBlock()); }

int CSongDocBase::RebuildTempoMap() { return m_TempoMap.Rebuild(GetConductorBlock(), m_TempoRule); }

int CSongDocBase::RebuildKeySigMap() { return m_KeySigMap.Rebuild(GetConductorBlock()); }
