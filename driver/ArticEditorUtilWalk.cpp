// The song walk: the channel's work data built from the song's tracks,
// blocks and events, followed by the preparatory passes.
#include <new>
#include <vector>

#include "driver/ArticEditorMgr.h"
#include "driver/ArticEditorUtil.h"
#include "driver/ArticHostWalk.h"
#include "services/ArticPref.h"
#include "driver/ArticView.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkCond.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"
#include "engine/work/ArticWrkUtil.h"

namespace {

constexpr int kWalkParts = 12;
constexpr ULONG kMasterCh = 0xFFFFFFFE;
constexpr ULONG kMasterPort = 0xFFFFFFFF;

// A work track with its block 0, appended to the work data; null on failure.
CArticWrkTrk* NewWalkTrk(CArticWrk* wrk, ULONG trkNo, ULONG ch, ULONG port) {
    auto* trk = new (std::nothrow) CArticWrkTrk(wrk, trkNo, ch, port);
    if (!trk) return nullptr;
    auto* blk = new (std::nothrow) CArticWrkBlk(trk, 0);
    if (!blk) {
        delete trk;
        return nullptr;
    }
    trk->AddTail(blk);
    wrk->AddTail(trk);
    return trk;
}

// A voice change the walk drops after the first note of a selected block.
bool IsVoiceChange(const CArticWrkEvnt* w) {
    switch (w->GetStatus()) {
        case 0x30:
        case 0xC0: return true;
        case 0xB0: return w->GetPost1() == 0 || w->GetPost1() == 32;
        case 0xF0: {
            const BYTE* data = nullptr;
            const ULONG len = w->GetSys(&data);
            return data && len > 5 && data[0] == 0x43 && (data[1] & 0xF0) == 0x10 && data[2] == 0x4C &&
                   data[3] == 0x08 && data[5] >= 1 && data[5] <= 3;
        }
        default: return false;
    }
}

}  // namespace

int CArticEditorUtil::CreateWrkBlk(CArticWrk* wrk) {
    CArticArrayCh* table = s_pEditorMgr ? s_pEditorMgr->GetUsedCh() : nullptr;
    if (!wrk || !table) return 1;
    wrk->Clear();
    wrk->SetMeasBlk(nullptr);
    if (!NewWalkTrk(wrk, 0, kMasterCh, kMasterPort)) return 1;
    for (int i = 1; i <= table->GetOrigiChNum(); ++i) {
        const DWORD key = table->GetOrigiCh(i - 1);
        // Ports of 16 and up stay apart: the whole port byte is kept.
        if (!NewWalkTrk(wrk, ULONG(i), key & 0x0F, (key >> 8) & 0xFF)) return 1;
    }
    return 0;
}

int CArticEditorUtil::ConvWrk_ch(CKPSManager* host, const CArticPosList* sel, int mstrSkip, int vceOut, int veloRest,
                                 int veloLimit, int veloThreshold, int allWrk, CArticWrk* wrk, int noPass,
                                 const CPHConvPrm& prm, int outMode, int pattern, int patternKind, int patternPrm) {
    if (!host || !wrk) return 1;
    SetVeloSwitches(veloRest, veloLimit, veloThreshold);
    const int rc = ConvWrk_ch(host, sel, mstrSkip, vceOut, allWrk, wrk, noPass, prm, outMode, pattern, patternKind,
                              patternPrm);
    ResetVeloSwitches();
    return rc;
}

int CArticEditorUtil::ConvWrk_ch(CKPSManager* host, const CArticPosList* sel, int mstrSkip, int vceOut, int allWrk,
                                 CArticWrk* wrk, int noPass, const CPHConvPrm& prm, int outMode, int pattern, int,
                                 int) {
    if (!host || !wrk) return 1;
    wrk->Clear();
    CArticEditorMgr* mgr = s_pEditorMgr;
    CArticArrayCh* table = mgr ? mgr->GetUsedCh() : nullptr;
    CArticPref* pref = s_pView ? s_pView->GetPref() : nullptr;
    const CArticPrefSetting* setting = pref ? pref->GetSetting() : nullptr;
    const int delGrace = setting ? setting->GetDelGrace() : 0;
    const int pbWhiten = setting ? setting->GetPbWhiten() : 0;
    const int keepCont = setting ? setting->GetKeepCont() : 0;
    if (!table || !mgr) return 1;
    const int keepAll = pattern || noPass || keepCont ? 1 : 0;
    if (CreateWrkBlk(wrk)) return 1;
    const BYTE selMode = mgr->GetSelMode();
    mgr->ClearTimeRangeList();
    const int parts = table->GetOrigiChNum();
    ULONG nextTrkNo = ULONG(parts);  // the extra tracks follow the part tracks

    // In event selection every event of the song is looked up in the selection.
    const CArticSelSet selSet(selMode == 1 ? sel : nullptr);
    bool first = true;
    bool reached = false;  // an event reached the conversion
    bool failed = false;   // an event conversion failed
    int stop = 0;          // the walk's own failure, returned at once
    const int tracks = CArticHostWalk::Tracks(host, [&](const _MPTRACKINFO& t, POSITION trk) {
        const bool isFirst = first;
        first = false;
        const LONG trkCh = t.Channel;
        const DWORD port = mgr->GetPortFromPortID(DWORD(t.Port));
        const bool listed = !isFirst && FindSelection(sel, trk);
        const bool filter = !isFirst || mstrSkip == 0;
        ResetLastMultiStatusEvnt();
        const int blocks = CArticHostWalk::Blocks(host, trk, [&](const _MPBLOCKINFO& b, POSITION blk) {
            const bool blkSel = (b.Flags & MPBLOCK_FLAG_SELECTED) && selMode == 0;
            INT64 start = 0, end = 0;
            if (!TimeConvert(host, b.Start, &start) || !TimeConvert(host, b.End, &end)) {
                stop = 1;
                return false;
            }
            // A block none of whose events can be taken is not read at all:
            // in block selection only the selected block, the master track,
            // the listed tracks and (with allWrk) the tracks in use are taken.
            if (!isFirst && !blkSel && selMode != 1 && !(allWrk && !(t.Flags & MPTRACK_FLAG_STATE2)) && !listed)
                return true;
            bool noteSeen = false;
            const int events = CArticHostWalk::Events(host, trk, blk, [&](const tagMPEVENT& rec, POSITION at) {
                tagMPEVENT e = rec;
                if (e.Kind == MPEVENT_KIND_NOTE) noteSeen = true;
                const bool evSel = selMode == 1 && selSet.Find(trk, blk, at);
                const bool taken = isFirst || blkSel || evSel || (allWrk && !(t.Flags & MPTRACK_FLAG_STATE2)) || listed;
                if (!taken) return true;
                reached = true;
                if (filter && !IsConvWrkEvnt(&e, start, keepAll)) return true;
                const LONG ch = trkCh == -1 ? e.Channel : trkCh;
                int part = table->SearchOrigiCh(port * 256 + DWORD(ch & 0xFF));
                if ((blkSel || evSel) && IsVariableMPEventKind(e.Kind) && (part < 0 || part >= kWalkParts)) part = 0;

                CArticWrkTrk* wtrk = nullptr;
                if (isFirst) {
                    wtrk = wrk->Get(0);
                    if (wtrk && !wrk->GetMeasBlk()) wrk->SetMeasBlk(wtrk->Get(ULONG(0)));
                } else if (blkSel || evSel) {
                    wtrk = part >= 0 && part < kWalkParts ? wrk->Get(part + 1) : nullptr;
                    if (!wtrk) {
                        stop = 1;
                        return false;
                    }
                    wtrk->SetOrgTrkID(trk);
                    if (!wtrk->GetOrgBlkID()) wtrk->SetOrgBlkID(blk);
                } else {
                    wtrk = wrk->GetOrigTrk(trk, blk, port, ULONG(ch));
                    if (!wtrk) {
                        wtrk = NewWalkTrk(wrk, ++nextTrkNo, ULONG(ch), port);
                        if (!wtrk) {
                            stop = 1;
                            return false;
                        }
                        wtrk->SetOrgTrkID(trk);
                        wtrk->SetOrgBlkID(blk);
                    }
                }
                if (blkSel || evSel) wtrk->SetSelTrk(1);
                CArticWrkBlk* wblk = wtrk ? wtrk->Get(ULONG(0)) : nullptr;
                CArticWrkEvnt* w = nullptr;
                if (int rc = CArticWrkUtil::CreateWrkEvnt(wrk, wblk, &w)) {
                    stop = rc;
                    return false;
                }
                if (part >= 0) w->SetFngrInfo(0, BYTE(part), 0, 0);
                int skip = 0;
                int rc = ConvWrkEvnt(&e, w, start, &skip);
                if (skip && rc == 0) {
                    // A kind the work data cannot hold: left out, no failure.
                    delete w;
                    return true;
                }
                CheckLastMultiStatusEvnt(w);
                rc |= wblk->SetCondPosMulti(w, GetLastRpnMsb(), GetLastRpnLsb());
                if (rc) failed = true;
                if (blkSel && noteSeen && IsVoiceChange(w)) {
                    delete w;
                    return true;
                }
                if (!wblk->Sort(w, 1)) {
                    delete w;
                    failed = true;
                }
                return true;
            });
            if (events) stop = 1;
            return stop == 0;
        });
        if (blocks) stop = 1;
        return stop == 0;
    });
    if (stop) return stop;
    if (tracks) return 1;

    ReassignPartPrmInWrkCond(wrk);
    MovePbEvnt(wrk);
    if (!noPass) {
        if (delGrace && DelGrace(wrk)) return 1;
        if (pbWhiten && ProcWhiten(wrk)) return 1;
        if (keepCont ? DelWrkMod(wrk) : DelWrkPB(wrk)) return 1;
    }
    if (vceOut && ProcVceSet(wrk, prm, outMode)) return 1;
    mgr->SearchVceSet(wrk);
    wrk->Renumber();
    return !reached || failed ? 1 : 0;
}

int CArticEditorUtil::ReassignPartPrmInWrkCond(CArticWrk* wrk) {
    const int count = wrk ? wrk->GetCount() - 1 : 0;
    if (count < 1 || count > kWalkParts) return 1;
    CKPSManager* host = s_pEditorMgr ? s_pEditorMgr->GetCEditor() : nullptr;
    std::vector<CArticWrkTrk*> trks;
    std::vector<CArticWrkEvntList*> ranges;
    for (int i = 1; i <= count; ++i) {
        CArticWrkTrk* trk = wrk->Get(i);
        if (!trk || trk->GetCount() != 1) return 1;
        CArticWrkBlk* blk = trk->Get(0);
        CArticWrkCond* cond = blk ? blk->GetCond() : nullptr;
        trks.push_back(trk);
        ranges.push_back(cond ? cond->GetPbRangeList() : nullptr);
    }
    // The part track of a part byte: channel and port address.
    auto target = [&](BYTE part) -> int {
        for (int i = 0; i < count; ++i) {
            DWORD adrs = 0;
            if (trks[i]->GetCh() != ULONG(part & 0x0F)) continue;
            if (GetPortAdrsFromPortNo(host, trks[i]->GetPort(), &adrs) == 0 && adrs == DWORD(part >> 4)) return i;
        }
        return -1;
    };
    for (int i = 0; i < count; ++i) {
        CArticWrkEvntList* list = ranges[i];
        for (POSITION p = list ? list->GetHeadPosition() : nullptr; p;) {
            const POSITION at = p;
            CArticWrkEvnt* e = list->GetNext(p);
            const BYTE* data = nullptr;
            const ULONG len = e ? e->GetSys(&data) : 0;
            if (!e || e->GetStatus() != 0xF0 || !data || len <= 6 || data[0] != 0x43 || data[1] != 0x10 ||
                data[2] != 0x4C)
                continue;
            const int to = target(data[4]);
            if (to == i) continue;
            list->RemoveAt(at);
            if (to < 0 || !ranges[to]) {
                delete e;
                continue;
            }
            ranges[to]->AddTail(e);
        }
    }
    for (CArticWrkEvntList* list : ranges)
        if (list) CArticWrkUtil::SortByTime(list);
    return 0;
}
