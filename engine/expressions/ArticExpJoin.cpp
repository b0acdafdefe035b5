#include "engine/expressions/ArticExpJoin.h"

#include <algorithm>
#include <set>
#include <vector>

#include "engine/work/ArticPos.h"
#include "engine/work/ArticTicks.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::SubTicks;
using articticks::OffTime;

namespace {

CArticPos* JoinRecord(CArticWrk* wrk, CArticWrkEvnt* evnt) {
    CArticPos* rec = nullptr;
    if (!wrk || !evnt || wrk->GetEvntPos(evnt, &rec) != 0) return nullptr;
    return rec;
}

// Runs set on the record of evnt and each record along its reference chain,
// up to the root; a chain that comes back to a visited event ends there.
template <class F>
int AlongJoinChain(CArticWrk* wrk, CArticWrkEvnt* evnt, F set) {
    CArticPos* rec = JoinRecord(wrk, evnt);
    if (!rec) return 1;
    std::set<const CArticWrkEvnt*> visited;
    while (rec && visited.insert(evnt).second) {
        set(rec);
        CArticWrkEvnt* ref = rec->GetRefWrkEvnt();
        if (!ref || ref == evnt) return 0;
        evnt = ref;
        rec = JoinRecord(wrk, evnt);
    }
    return 0;
}

CArticWrkEvnt* JoinEntryAt(const CArticWrkEvntList* list, int i) {
    POSITION p = list->FindIndex(i);
    return p ? list->GetAt(p) : nullptr;
}

}  // namespace

CArticExpJoin::CArticExpJoin()
    : m_pEvntList2(new CArticWrkEvntList(10)),
      m_pRefEvntList(new CArticWrkEvntList(10)),
      m_pPrsEvntList(new CArticWrkEvntList(10)),
      m_Joined(10) {}

CArticExpJoin::~CArticExpJoin() {
    delete m_pEvntList2;
    delete m_pRefEvntList;
    delete m_pPrsEvntList;
}

CArticExpJoin& CArticExpJoin::operator=(const CArticExpJoin& src) {
    if (this == &src) return *this;
    ClearEvntList2();
    ClearRefEvntList();
    ClearPrsEvntList();
    m_pEvntList2->AddTail(*src.m_pEvntList2);
    m_pRefEvntList->AddTail(*src.m_pRefEvntList);
    m_pPrsEvntList->AddTail(*src.m_pPrsEvntList);
    return *this;
}

int CArticExpJoin::GetRefWrkEvnt(CArticWrk* wrk, CArticWrkEvnt* evnt, CArticWrkEvnt** root) {
    if (!root) return 1;
    std::set<const CArticWrkEvnt*> visited;
    while (true) {
        CArticPos* rec = JoinRecord(wrk, evnt);
        if (!rec || !rec->GetRefWrkEvnt()) return 1;
        CArticWrkEvnt* ref = rec->GetRefWrkEvnt();
        if (ref == evnt) {
            *root = evnt;
            return 0;
        }
        // A cycle never reaches a root: the join of this note is refused.
        if (!visited.insert(evnt).second) return 1;
        evnt = ref;
    }
}

int CArticExpJoin::SetRefWrkEvnt(CArticWrk* wrk, CArticWrkEvnt* evnt, CArticWrkEvnt* ref) {
    CArticPos* rec = JoinRecord(wrk, evnt);
    if (!rec) return 1;
    rec->SetRefWrkEvnt(ref);
    return 0;
}

int CArticExpJoin::GetKeyHead(CArticWrk* wrk, CArticWrkEvnt* evnt, BYTE* key) {
    CArticPos* rec = JoinRecord(wrk, evnt);
    if (key) *key = rec ? rec->GetKeyHead() : 0xFF;
    return rec ? 0 : 1;
}

int CArticExpJoin::GetKeyTail(CArticWrk* wrk, CArticWrkEvnt* evnt, BYTE* key) {
    CArticPos* rec = JoinRecord(wrk, evnt);
    if (key) *key = rec ? rec->GetKeyTail() : 0xFF;
    return rec ? 0 : 1;
}

int CArticExpJoin::SetKeyHead(CArticWrk* wrk, CArticWrkEvnt* evnt, BYTE key) {
    return AlongJoinChain(wrk, evnt, [key](CArticPos* rec) { rec->SetKeyHead(key); });
}

int CArticExpJoin::SetKeyTail(CArticWrk* wrk, CArticWrkEvnt* evnt, BYTE key) {
    return AlongJoinChain(wrk, evnt, [key](CArticPos* rec) { rec->SetKeyTail(key); });
}

int CArticExpJoin::SetRefEvntList(CArticWrk* wrk) {
    ClearRefEvntList();
    if (m_pEvntList2->IsEmpty()) return 1;
    for (POSITION p = m_pEvntList2->GetHeadPosition(); p;) {
        CArticWrkEvnt* root = nullptr;
        if (int rc = GetRefWrkEvnt(wrk, m_pEvntList2->GetNext(p), &root)) return rc;
        m_pRefEvntList->AddTail(root);
    }
    return 0;
}

int CArticExpJoin::SetPrsEvntList(CArticWrk* wrk) {
    ClearPrsEvntList();
    if (m_pEvntList2->IsEmpty()) return 1;
    CArticWrkEvnt* prevRoot = nullptr;
    bool first = true;
    for (POSITION p = m_pEvntList2->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = m_pEvntList2->GetNext(p);
        CArticWrkEvnt* root = nullptr;
        if (int rc = GetRefWrkEvnt(wrk, e, &root)) return rc;
        if (first || root != prevRoot) m_pPrsEvntList->AddTail(e);
        first = false;
        prevRoot = root;
    }
    return 0;
}

namespace {

// The roots of a and b, the head key of a's root and the tail key of b's.
int JoinedKeys(CArticWrk* wrk, CArticWrkEvnt* a, CArticWrkEvnt* b, CArticWrkEvnt** ra, CArticWrkEvnt** rb,
               BYTE* head, BYTE* tail) {
    if (int rc = CArticExpJoin::GetRefWrkEvnt(wrk, a, ra)) return rc;
    if (int rc = CArticExpJoin::GetRefWrkEvnt(wrk, b, rb)) return rc;
    if (int rc = CArticExpJoin::GetKeyHead(wrk, *ra, head)) return rc;
    return CArticExpJoin::GetKeyTail(wrk, *rb, tail);
}

}  // namespace

int CArticExpJoin::ResetRefEvntList0(CArticWrk* wrk, CArticWrkEvnt* a, CArticWrkEvnt* b) {
    CArticWrkEvnt *ra = nullptr, *rb = nullptr;
    BYTE head = 0, tail = 0;
    if (int rc = JoinedKeys(wrk, a, b, &ra, &rb, &head, &tail)) return rc;
    for (CArticWrkEvnt* x : {a, b}) {
        if (int rc = SetKeyHead(wrk, x, head)) return rc;
        if (int rc = SetKeyTail(wrk, x, tail)) return rc;
        if (int rc = SetRefWrkEvnt(wrk, x, ra)) return rc;
    }
    return 0;
}

int CArticExpJoin::ResetRefEvntList1(CArticWrk* wrk, CArticWrkEvnt* a, CArticWrkEvnt* b) {
    CArticWrkEvnt *ra = nullptr, *rb = nullptr;
    BYTE head = 0, tail = 0;
    if (int rc = JoinedKeys(wrk, a, b, &ra, &rb, &head, &tail)) return rc;
    for (CArticWrkEvnt* x : {b, a}) {
        if (int rc = SetRefWrkEvnt(wrk, x, rb)) return rc;
        if (int rc = SetKeyHead(wrk, x, head)) return rc;
        if (int rc = SetKeyTail(wrk, x, tail)) return rc;
    }
    return 0;
}

int CArticExpJoin::GrowFirst() {
    if (m_pRefEvntList->IsEmpty()) return 1;
    CArticWrkEvnt* first = m_pRefEvntList->GetHead();
    CArticWrkEvnt* last = m_pRefEvntList->GetTail();
    if (!first || !last) return 1;
    first->SetGateTime(std::max<INT64>(0, SubTicks(OffTime(last), first->GetTime())));
    return 0;
}

int CArticExpJoin::GrowLast() {
    if (m_pRefEvntList->IsEmpty()) return 1;
    CArticWrkEvnt* first = m_pRefEvntList->GetHead();
    CArticWrkEvnt* last = m_pRefEvntList->GetTail();
    if (!first || !last) return 1;
    const INT64 start = first->GetTime();
    last->SetGateTime(std::max<INT64>(0, SubTicks(OffTime(last), start)));
    last->SetTime(start, 1);
    // Only last's time changed: the block's other events stay in order.
    if (CArticWrkBlk* blk = last->GetOwner()) blk->MoveFromOwnPlace(last);
    return 0;
}

int CArticExpJoin::WalkPairs(CArticWrk* wrk, const CArticWrkEvntList* notes, bool keepLast, bool veloBit,
                             const std::function<int()>& twin) {
    if (!wrk || !notes || notes->GetCount() < 2) return 1;
    m_Joined.RemoveAll();
    const int n = int(notes->GetCount());
    int walk = 0;
    for (int k = 0; k + 1 < n && walk == 0; ++k) {
        // Keep first: (0,1), (1,2), ...; keep last: (n-2,n-1), (n-3,n-2), ...
        const int i = keepLast ? n - 2 - k : k;
        CArticWrkEvnt* a = JoinEntryAt(notes, i);
        CArticWrkEvnt* b = JoinEntryAt(notes, i + 1);
        if (!a || !b) continue;
        CArticWrkEvnt *ra = nullptr, *rb = nullptr;
        if ((walk = GetRefWrkEvnt(wrk, a, &ra)) != 0 || (walk = GetRefWrkEvnt(wrk, b, &rb)) != 0) break;
        if (ra == rb) continue;
        ClearEvntList2();
        m_pEvntList2->AddTail(a);
        m_pEvntList2->AddTail(b);
        if ((walk = twin()) == 0) m_Joined.AddTail(keepLast ? a : b);
    }
    int velo = 0;
    CArticWrkEvnt* head = notes->GetHead();
    CArticWrkEvnt* tail = notes->GetTail();
    // Keep first with bit 1: the kept note takes the last note's velocity;
    // keep last without bit 1: the first note's.
    if (head && tail && (keepLast ? !veloBit : veloBit)) {
        CArticWrkEvnt* kept = nullptr;
        velo = GetRefWrkEvnt(wrk, keepLast ? tail : head, &kept);
        if (velo == 0) kept->SetPost2((keepLast ? head : tail)->GetPost2());
    }
    return walk != 0 ? walk : velo;
}

int CArticExpJoin::DelJoined(CArticWrk* wrk, const CArticWrkEvntList* notes, bool keepLast, bool failed) {
    if (!wrk) return 1;
    std::vector<CArticWrkEvnt*> doomed;
    if (failed) {
        if (m_Joined.IsEmpty()) return 0;
        for (POSITION p = m_Joined.GetHeadPosition(); p;) doomed.push_back(m_Joined.GetNext(p));
    } else {
        if (!notes || notes->IsEmpty()) return 1;
        if (!(keepLast ? notes->GetTail() : notes->GetHead())) return 1;
        const int n = int(notes->GetCount());
        for (int k = 1; k < n; ++k) doomed.push_back(JoinEntryAt(notes, keepLast ? n - 1 - k : k));
    }
    int removed = 0;
    for (CArticWrkEvnt* note : doomed) {
        // Only the address is compared: a note already removed is not read.
        if (!note || !wrk->IsEvntPos(note)) continue;
        if (CArticWrkUtil::DelEvnt(note) == 0) ++removed;
    }
    m_Joined.RemoveAll();
    return removed > 0 ? 0 : 1;
}

// ================================================================ Bends

LONG ArticJoinPb::Semitone(CArticWrkBlk* blk, INT64 time) {
    const LONG range = CArticWrkUtil::GetPbRange(blk, time);
    return range > 0 ? LONG(8192.0 / range + 0.5) : 0;
}

LONG ArticJoinPb::Level(CArticWrkBlk* blk, INT64 time, POSITION near) {
    return blk ? CArticWrkUtil::GetPbLevel(blk->GetEvntList(), time, near) : 0;
}

int ArticJoinPb::Pin(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, LONG level, POSITION near) {
    if (!wrk || !blk) return 1;
    if (int rc = CArticWrkUtil::DelPbTime(blk->GetEvntList(), time, near)) return rc;
    return CArticWrkUtil::CrePbTime(wrk, blk, time, 0, short(std::clamp<LONG>(level, -8192, 8191)), near);
}

int ArticJoinPb::Shift(CArticWrkBlk* blk, INT64 t1, INT64 t2, LONG shift, POSITION near) {
    if (!blk) return 1;
    // Beyond 16383 every bend saturates anyway.
    return CArticWrkUtil::ShiftPbEvnt(blk->GetEvntList(), t1, t2, short(std::clamp<LONG>(shift, -16383, 16383)),
                                      near);
}
