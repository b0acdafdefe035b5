#include "driver/DelGrace.h"

#include <algorithm>
#include <vector>

#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"

VX_IMPLEMENT_CLASS(CDelGrace, CObject);

namespace {

constexpr BYTE kGraceNote = 0x90;

}  // namespace

CDelGrace::CDelGrace() {
    m_LongestGrace = 0;
    m_MaxGraceRatio = 0.4;
    Init();
}

void CDelGrace::Init() {
    m_pWrk = nullptr;
    m_Mergine = 20;
    m_LongestGrace = 0;
}

int CDelGrace::DelGrace() {
    CArticWrkTrkList* trks = m_pWrk ? m_pWrk->GetTrkList() : nullptr;
    if (!trks) return 1;
    int result = 0;
    std::vector<CArticWrkEvnt*> cluster;
    auto close = [&]() {
        if (cluster.size() > 1) {
            INT64 longest = 0;
            for (const CArticWrkEvnt* n : cluster) longest = std::max(longest, n->GetGateTime());
            const bool grace = std::any_of(cluster.begin(), cluster.end(), [&](const CArticWrkEvnt* n) {
                return n->GetGateTime() < m_LongestGrace &&
                       double(n->GetGateTime()) < double(longest) * m_MaxGraceRatio;
            });
            if (grace)
                for (CArticWrkEvnt* n : cluster) n->SetGraced(1);
        }
        cluster.clear();
    };
    for (POSITION t = trks->GetHeadPosition(); t;) {
        CArticWrkTrk* trk = trks->GetNext(t);
        if (!trk || !trk->GetSelTrk()) continue;
        CArticWrkBlkList* blks = trk->GetBlkList();
        if (!blks) {
            result = 1;
            continue;
        }
        for (POSITION b = blks->GetHeadPosition(); b;) {
            CArticWrkBlk* blk = blks->GetNext(b);
            CArticWrkEvntList* evnts = blk ? blk->GetEvntList() : nullptr;
            if (!evnts) {
                result = 1;
                continue;
            }
            for (POSITION e = evnts->GetHeadPosition(); e;) {
                CArticWrkEvnt* evnt = evnts->GetNext(e);
                if (!evnt) {
                    result = 1;
                    continue;
                }
                if (evnt->GetStatus() != kGraceNote) continue;
                if (!cluster.empty() && evnt->GetTime() - cluster.front()->GetTime() > m_Mergine) close();
                cluster.push_back(evnt);
            }
            close();
        }
    }
    return result;
}
