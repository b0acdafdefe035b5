// Copies of expression lists and of whole expression data sets.
#include <cstring>
#include <new>

#include "engine/expressions/ArticExp.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkTrk.h"

namespace {

// The classes that only serve debugging; the core's copy passes them over.
const char* const kCopyExpDebugClasses[] = {"CArticExpDebug", "CArticExpDebug_i", "CArticExpDebug_i2",
                                            "CArticExpDebug_d"};

bool IsCopyExpDebugClass(const char* name) {
    for (const char* d : kCopyExpDebugClasses)
        if (std::strcmp(d, name) == 0) return true;
    return false;
}

// The target track numbered like src: the one already there, or a new one
// without channel or port, linked to wrk's track of that number. Null when
// it cannot be made.
CArticExpTrk* CopyExpTargetTrk(CArticExp* dst, ULONG trkNo, CArticWrk* wrk) {
    if (CArticExpTrk* trk = dst->Get(trkNo)) return trk;
    auto* trk = new (std::nothrow) CArticExpTrk(dst, trkNo, ULONG(-2), ULONG(-1));
    if (!trk) return nullptr;
    if (!dst->AddTail(trk)) {
        delete trk;
        return nullptr;
    }
    trk->SetWrkTrk(wrk->Get(trkNo));
    return trk;
}

// The target block numbered blkNo in trk: the one already there, or a new
// one linked to the block of that number of trk's work track.
CArticExpBlk* CopyExpTargetBlk(CArticExpTrk* trk, ULONG blkNo) {
    if (CArticExpBlk* blk = trk->Get(blkNo)) return blk;
    auto* blk = new (std::nothrow) CArticExpBlk(trk, blkNo);
    if (!blk) return nullptr;
    if (!trk->AddTail(blk)) {
        delete blk;
        return nullptr;
    }
    if (CArticWrkTrk* wrkTrk = trk->GetWrkTrk()) blk->SetWrkBlk(wrkTrk->Get(blkNo));
    return blk;
}

// Copies the expressions of src into blk: 0, or 1 when one was left out.
int CopyExpBlkEvnts(const CArticExpBlk* src, CArticExpBlk* blk, CArticWrk* wrk, bool withoutDebug) {
    int result = 0;
    for (POSITION p = src->GetHeadPos(); p;) {
        CArticExpEvnt* evnt = src->GetNext(p);
        if (!evnt) continue;
        if (withoutDebug && IsCopyExpDebugClass(evnt->GetClassNameA())) continue;
        CArticExpEvnt* copy = nullptr;
        if (CArticExpUtil::CopyEvnt(evnt, &copy, blk, evnt->GetEvntNo(), wrk) != 0) {
            result = 1;  // left out; CopyEvnt recorded why
            continue;
        }
        if (copy && !blk->AddTail(copy)) {
            delete copy;
            result = 1;
        }
    }
    return result;
}

int CopyExpAll(CArticExp* src, CArticExp* dst, CArticWrk* wrk, bool withoutDebug) {
    // Copying a set onto itself would empty it before reading it.
    if (!src || !dst || !wrk || src == dst) return 1;
    dst->Clear();
    if (src->GetCount() == 0) return 1;
    int result = 0;
    for (POSITION tp = src->GetHeadPos(); tp;) {
        CArticExpTrk* srcTrk = src->GetNext(tp);
        if (!srcTrk) continue;
        CArticExpTrk* trk = CopyExpTargetTrk(dst, srcTrk->GetTrkNo(), wrk);
        if (!trk) {
            result = 1;
            continue;
        }
        for (POSITION bp = srcTrk->GetHeadPos(); bp;) {
            CArticExpBlk* srcBlk = srcTrk->GetNext(bp);
            if (!srcBlk) continue;
            CArticExpBlk* blk = CopyExpTargetBlk(trk, srcBlk->GetBlkNo());
            if (!blk) {
                result = 1;
                continue;
            }
            if (CopyExpBlkEvnts(srcBlk, blk, wrk, withoutDebug) != 0) result = 1;
        }
    }
    return result;
}

}  // namespace

void CArticExpUtil::CopyEvntList(const CArticExpEvntList* src, CArticExpEvntList* dst) {
    if (!src || !dst || src == dst) return;  // appending to the list walked would never end
    for (POSITION p = src->GetHeadPosition(); p;) {
        CArticExpEvnt* evnt = src->GetNext(p);
        if (evnt) dst->AddTail(evnt);
    }
}

int CArticExpUtil::CopyExp(CArticExp* src, CArticExp* dst, CArticWrk* wrk) {
    return CopyExpAll(src, dst, wrk, false);
}

int CArticExpUtil::CopyExpForCore(CArticExp* src, CArticExp* dst, CArticWrk* wrk) {
    return CopyExpAll(src, dst, wrk, true);
}

CArticExpBlk* CArticExpUtil::GetExpBlk(CArticExp* exp, ULONG trkNo, ULONG blkNo) {
    return exp ? exp->GetExpBlk(trkNo, blkNo) : nullptr;
}
