// The preparatory passes the song walk runs over the work data.
#include <memory>
#include <new>
#include <vector>

#include "driver/ArticEditorMgr.h"
#include "driver/ArticEditorUtil.h"
#include "services/ArticPref.h"
#include "driver/PgBsel.h"
#include "driver/ArticView.h"
#include "driver/DelGrace.h"
#include "driver/PbWhiten.h"
#include "engine/expressions/ArticExp.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"
#include "engine/work/ArticWrkUtil.h"

int CArticEditorUtil::DelGrace(CArticWrk* wrk) {
    if (!s_pView) return 0;
    CArticPref* pref = s_pView->GetPref();
    CArticPrefSetting* setting = pref ? pref->GetSetting() : nullptr;
    if (!setting || !setting->GetDelGrace()) return 1;
    std::unique_ptr<CDelGrace> pass(new (std::nothrow) CDelGrace());
    if (!pass) return 1;
    pass->SetWrk(wrk);
    pass->SetMergine(INT64(DWORD(s_pView->GetResolution()) * 0.2));
    pass->SetLongestGrace(70);
    pass->SetMaxGraceRatio(0.5);
    return pass->DelGrace();
}

int CArticEditorUtil::ProcWhiten(CArticWrk* wrk) {
    std::unique_ptr<CPbWhiten> pass(new (std::nothrow) CPbWhiten());
    if (!pass) return 1;
    pass->SetWrk(wrk);
    pass->SetMinSpritTime(85);
    pass->SetKeySftMargin(0.25);
    pass->SetInputMargin(6);
    return pass->WhitenPBtoKey();
}

namespace {

constexpr BYTE kPassNote = 0x90;
constexpr BYTE kPassCc = 0xB0;
constexpr BYTE kPassBend = 0xE0;
constexpr BYTE kPassRpn = 0x20;
constexpr BYTE kPassSysex = 0xF0;
// A rebuilt expression track before the kept track's values are assigned.
constexpr ULONG kNoChannelOfExp = 0xFFFFFFFE;
constexpr ULONG kNoPortOfExp = 0xFFFFFFFF;

// The KV part parameter of a work exclusive 43 1n 4C 08 part parameter ...
// of more than minLen bytes; -1 for anything else.
int KvParamOf(const CArticWrkEvnt* e, ULONG minLen) {
    if (e->GetStatus() != kPassSysex) return -1;
    const BYTE* data = nullptr;
    const ULONG len = e->GetSys(&data);
    if (!data || len <= minLen || data[0] != 0x43 || (data[1] & 0xF0) != 0x10 || data[2] != 0x4C || data[3] != 0x08)
        return -1;
    return data[5];
}

bool IsBendData(const CArticWrkEvnt* e) {
    switch (e->GetStatus()) {
        case kPassBend: return true;
        case kPassRpn: return e->GetPost1() == 0 && e->GetPost2() == 0;
        case kPassCc: return e->GetPost1() == 100 || e->GetPost1() == 101 || e->GetPost1() == 6;
        case kPassSysex: {
            const BYTE* data = nullptr;
            return KvParamOf(e, 6) == 0x23 && e->GetSys(&data) && data[1] == 0x10;
        }
        default: return false;
    }
}

// Calls drop(track, event) for every event of every track but the master
// track, block by block (begin(track) first); true from drop deletes the
// event. 0, or 1 for a missing structure.
template <class Begin, class Drop>
int SweepParts(CArticWrk* wrk, Begin begin, Drop drop) {
    CArticWrkTrkList* trks = wrk->GetTrkList();
    if (!trks) return 1;
    for (POSITION t = trks->GetHeadPosition(); t;) {
        CArticWrkTrk* trk = trks->GetNext(t);
        if (!trk) return 1;
        if (trk->GetTrkNo() == 0) continue;
        CArticWrkBlkList* blks = trk->GetBlkList();
        if (!blks) return 1;
        for (POSITION b = blks->GetHeadPosition(); b;) {
            CArticWrkBlk* blk = blks->GetNext(b);
            CArticWrkEvntList* evnts = blk ? blk->GetEvntList() : nullptr;
            if (!evnts) return 1;
            begin(trk);
            for (POSITION e = evnts->GetHeadPosition(); e;) {
                CArticWrkEvnt* evnt = evnts->GetNext(e);
                if (!evnt) return 1;
                if (drop(trk, evnt) && CArticWrkUtil::DelEvnt(evnt)) return 1;
            }
        }
    }
    return 0;
}

}  // namespace

int CArticEditorUtil::GetSelTrk(CArticWrk* wrk, CArticWrkTrk** out, int max) {
    CArticWrkTrkList* trks = wrk ? wrk->GetTrkList() : nullptr;
    int n = 0;
    for (POSITION t = trks ? trks->GetHeadPosition() : nullptr; t && out && n < max;) {
        CArticWrkTrk* trk = trks->GetNext(t);
        if (trk && trk->GetSelTrk()) out[n++] = trk;
    }
    return n;
}

void CArticEditorUtil::MovePbEvnt(CArticWrk* wrk) {
    CArticWrkTrk* sel[16] = {};
    const int selCount = GetSelTrk(wrk, sel, 16);
    CArticWrkTrkList* trks = wrk ? wrk->GetTrkList() : nullptr;
    for (POSITION t = trks ? trks->GetHeadPosition() : nullptr; t;) {
        CArticWrkTrk* trk = trks->GetNext(t);
        if (!trk || trk->GetTrkNo() == 0 || trk->GetSelTrk()) continue;
        CArticWrkBlkList* blks = trk->GetBlkList();
        for (POSITION b = blks ? blks->GetHeadPosition() : nullptr; b;) {
            CArticWrkBlk* blk = blks->GetNext(b);
            CArticWrkEvntList* evnts = blk ? blk->GetEvntList() : nullptr;
            for (POSITION e = evnts ? evnts->GetHeadPosition() : nullptr; e;) {
                CArticWrkEvnt* evnt = evnts->GetNext(e);
                if (!evnt || !IsBendData(evnt)) continue;
                int copies = 0;
                for (int i = 0; i < selCount; ++i) {
                    if (sel[i]->GetOrigPort() != trk->GetOrigPort() || sel[i]->GetOrigCh() != trk->GetOrigCh()) continue;
                    CArticWrkBlk* target = sel[i]->Get(ULONG(0));
                    CArticWrkEvnt* copy = nullptr;
                    if (!target || CArticWrkUtil::CreateWrkEvnt(wrk, target, &copy) || !copy) continue;
                    *copy = *evnt;
                    if (!target->Sort(copy, 1)) {
                        delete copy;
                        continue;
                    }
                    ++copies;
                }
                if (copies) CArticWrkUtil::DelEvnt(evnt);
            }
        }
    }
}

int CArticEditorUtil::DelWrkMod(CArticWrk* wrk) {
    if (!wrk || !s_pEditorMgr) return 1;
    bool attack = false, cutoff = false, resRel = false;
    if (s_pView && s_pView->GetConvMode() == 2) {
        const int kind = s_pView->GetKind();
        if (kind == 2 || kind == 3 || kind == 4) attack = true;
        if (kind == 5) attack = cutoff = resRel = true;
        if (s_pView->GetKindFlag() == 1) cutoff = true;
    }
    const bool bend = !s_pView || s_pView->GetPbExist() == 0;
    const INT64 firstNoteOn = s_pEditorMgr->GetFirstNoteOnTime();
    BYTE rpnMsb = 127, rpnLsb = 127;
    auto begin = [&](CArticWrkTrk*) { rpnMsb = rpnLsb = 127; };
    auto drop = [&](CArticWrkTrk* trk, CArticWrkEvnt* e) {
        const BYTE status = e->GetStatus();
        if (!trk->GetSelTrk()) return status != kPassNote && !e->GetVceSet();
        if (status != kPassNote && e->GetTime() <= firstNoteOn) return true;
        const BYTE cc = status == kPassCc ? e->GetPost1() : 0xFF;
        const int kv = KvParamOf(e, 5);
        if (bend) {
            if (cc == 1) return true;
            if (cc == 101) rpnMsb = e->GetPost2();
            if (cc == 100) rpnLsb = e->GetPost2();
            if ((cc == 6 || cc == 38) && rpnMsb == 0 && rpnLsb == 0) return true;
            if (kv == 0x23) return true;
        }
        if (attack && (cc == 73 || kv == 0x1A)) return true;
        if (cutoff && (cc == 74 || kv == 0x18)) return true;
        if (resRel && (cc == 71 || kv == 0x19 || cc == 72 || kv == 0x1C)) return true;
        return cc == 65 || cc == 126 || kv == 0x0C || kv == 0x0D || kv == 0x05;
    };
    return SweepParts(wrk, begin, drop);
}

int CArticEditorUtil::DelWrkPB(CArticWrk* wrk) {
    if (!wrk || !s_pEditorMgr) return 1;
    return SweepParts(
        wrk, [](CArticWrkTrk*) {},
        [](CArticWrkTrk*, CArticWrkEvnt* e) { return e->GetStatus() != kPassNote && !e->GetVceSet(); });
}

int CArticEditorUtil::ProcVceSet(CArticWrk* wrk, const CPHConvPrm& prm, int outMode) {
    CArticPref* pref = s_pView ? s_pView->GetPref() : nullptr;
    const int keepCont = pref && pref->GetSetting() ? pref->GetSetting()->GetKeepCont() : 0;
    if (!wrk || !s_pEditorMgr || !s_pView) return 1;
    s_pEditorMgr->SetPbExist(s_pView->GetPbExist());
    CArticArrayCh* table = s_pEditorMgr->GetUsedCh();
    if (wrk->GetCount() <= 1 || !table) return 1;
    bool written = false;
    for (int i = 1; i <= table->GetOrigiChNum(); ++i) {
        const DWORD key = table->GetOrigiCh(i - 1);
        CArticWrkTrk* trk = wrk->Get(i);
        CArticWrkBlk* blk = trk ? trk->Get(ULONG(0)) : nullptr;
        if (!blk) continue;
        const DWORD ch = key & 0x0F;
        const DWORD port = (key >> 8) & 0xFF;
        if (i == 1) {
            int rc = s_pEditorMgr->OutEvntFirstBlk(wrk, blk, ch, port, outMode, keepCont, prm);
            if (CPgBsel* voices = s_pView->GetPgBsel()) {
                // The captured voice messages are replaced by the target's.
                if (s_pEditorMgr->CreateMpLock(1) >= 0) {
                    voices->DeleteAllEvnt();
                    s_pEditorMgr->DeleteMpLock();
                }
            }
            if (rc) return rc;
            if ((rc = s_pEditorMgr->OutEvntFirstBlkNonCh(wrk, blk, outMode)) != 0) return rc;
            written = true;
        } else {
            s_pEditorMgr->OutEvntOtherBlk(wrk, blk, ch, port, outMode);
            if (!written) return 1;
        }
    }
    return written ? 0 : 1;
}

int CArticEditorUtil::CreExpFromWrk(CArticWrk* wrk, CArticExp* exp) {
    if (!wrk || !exp) return 1;
    exp->Clear();
    CArticWrkTrkList* trks = wrk->GetTrkList();
    for (POSITION t = trks ? trks->GetHeadPosition() : nullptr; t;) {
        CArticWrkTrk* trk = trks->GetNext(t);
        if (!trk) continue;
        auto* etrk = new (std::nothrow) CArticExpTrk(exp, trk->GetTrkNo(), trk->GetCh(), trk->GetPort());
        if (!etrk) continue;
        etrk->SetWrkTrk(trk);
        exp->AddTail(etrk);
        CArticWrkBlkList* blks = trk->GetBlkList();
        for (POSITION b = blks ? blks->GetHeadPosition() : nullptr; b;) {
            CArticWrkBlk* blk = blks->GetNext(b);
            if (!blk) continue;
            auto* eblk = new (std::nothrow) CArticExpBlk(etrk, blk->GetBlkNo());
            if (!eblk) continue;
            eblk->SetWrkBlk(blk);
            etrk->AddTail(eblk);
        }
    }
    return 0;
}

int CArticEditorUtil::DeleteExpTrkNonSel(CArticWrk* wrk, CArticExp* exp) {
    if (!wrk || !exp) return 1;
    // The tracks are rebuilt from a copy, so that their expressions are
    // numbered in the emptied data; a failure puts the copy back.
    std::unique_ptr<CArticExp> copy(new (std::nothrow) CArticExp());
    if (!copy) return 1;
    *copy = *exp;
    // The work blocks of the blocks, by track and block place.
    std::vector<std::vector<CArticWrkBlk*>> links;
    for (POSITION t = exp->GetHeadPos(); t;) {
        CArticExpTrk* etrk = exp->GetNext(t);
        links.emplace_back();
        for (int j = 0; etrk && j < etrk->GetCount(); ++j) links.back().push_back(etrk->Get(j)->GetWrkBlk());
    }
    exp->Clear();
    size_t index = 0;
    for (POSITION t = copy->GetHeadPos(); t; ++index) {
        CArticExpTrk* kept = copy->GetNext(t);
        CArticWrkTrk* trk = kept ? kept->GetWrkTrk() : nullptr;
        if (!trk || (trk->GetTrkNo() != 0 && !trk->GetSelTrk())) continue;
        // The kept track keeps its own number: the numbers need not run 0, 1, 2.
        auto* rebuilt = new (std::nothrow) CArticExpTrk(exp, kept->GetTrkNo(), kNoChannelOfExp, kNoPortOfExp);
        if (!rebuilt) {
            *exp = *copy;
            return 1;
        }
        *rebuilt = *kept;
        rebuilt->SetWrkTrk(trk);
        // The block copies keep the work blocks they stand for.
        for (int j = 0; index < links.size() && j < rebuilt->GetCount() && size_t(j) < links[index].size(); ++j)
            if (CArticExpBlk* blk = rebuilt->Get(j)) blk->SetWrkBlk(links[index][j]);
        exp->AddTail(rebuilt);
    }
    return 0;
}
