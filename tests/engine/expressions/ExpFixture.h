#pragma once
// Work data, its expression tree and the runner's buffers, built in code for
// the expression tests.
#include <initializer_list>
#include <memory>
#include <vector>

#include "services/ArticErr.h"
#include "services/ArticPasn.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/expressions/ArticExpMgr.h"
#include "engine/work/WorkFixture.h"

namespace exptest {

// A note list owned by the test.
struct Notes {
    CArticWrkEvntList list;
    Notes(std::initializer_list<CArticWrkEvnt*> events) {
        for (CArticWrkEvnt* e : events) list.AddTail(e);
    }
    const CArticWrkEvntList* operator&() const { return &list; }
};

// One expression track per work track and one block per work block, linked
// to them, as the driver builds the tree.
inline void Mirror(CArticWrk& wrk, CArticExp& exp) {
    for (POSITION p = wrk.GetHeadPos(); p;) {
        CArticWrkTrk* wt = wrk.GetNext(p);
        auto* trk = new CArticExpTrk(&exp, wt->GetTrkNo(), wt->GetCh(), wt->GetPort());
        exp.AddTail(trk);
        trk->SetWrkTrk(wt);
        for (POSITION q = wt->GetHeadPos(); q;) {
            CArticWrkBlk* wb = wt->GetNext(q);
            auto* blk = new CArticExpBlk(trk, wb->GetBlkNo());
            trk->AddTail(blk);
            blk->SetWrkBlk(wb);
        }
    }
}

// The rules' work data (track 0 master, track 1 the part) with its tree, the
// middle work data, the part-assignment manager and the sort block.
struct World {
    CArticWrk wrk;
    CArticExp exp;
    CArticWrk mid;
    CArticPasn pasn;
    CArticExpBlk sortBlk{nullptr, 0};
    CArticWrkBlk* masterBlk;
    CArticWrkBlk* partBlk;

    World() {
        masterBlk = wrktest::AddBlock(wrktest::AddTrack(wrk, 0));
        partBlk = wrktest::AddBlock(wrktest::AddTrack(wrk, 1));
    }
    CArticWrkEvnt* Note(ULONG no, INT64 time, BYTE key = 60, INT64 gate = 480) {
        return wrktest::AddNote(partBlk, no, time, key, gate);
    }
    // Call after the notes are in: mirrors the tree.
    CArticExpBlk* PartExpBlk() {
        if (exp.GetCount() == 0) Mirror(wrk, exp);
        return exp.GetExpBlk(1, 0);
    }
    // What the driver does before the runner: records, middle copy.
    void Prepare() {
        exp.PasnExp(&pasn);
        mid.CopyForCore(&wrk);
    }
    // Prepare, re-link into the sort block and run the four phases.
    void Run() {
        Prepare();
        CArticExpMgr mgr(&wrk, &exp, &sortBlk, &pasn, &mid);
        mgr.ReLinkExp();
        mgr.ConvToWrk();
        mgr.ConvToWrkCombine();
        mgr.ConvToWrk2();
        mgr.ConvToWrk3();
    }
    // Prepare, re-link and run phase 1 only (phase 3 ends the run).
    int Phase1() {
        Prepare();
        CArticExpMgr mgr(&wrk, &exp, &sortBlk, &pasn, &mid);
        mgr.ReLinkExp();
        const int rc = mgr.ConvToWrk();
        mgr.ConvToWrk3();
        return rc;
    }
    CArticWrkBlk* MidPartBlk() const {
        CArticWrkTrk* trk = mid.Get(1);
        return trk ? trk->Get(0) : nullptr;
    }
};

// (time, key, gate) of the notes of a block, in list order.
struct NoteRow {
    INT64 time;
    int key;
    INT64 gate;
    int velo;
    bool operator==(const NoteRow& o) const {
        return time == o.time && key == o.key && gate == o.gate && velo == o.velo;
    }
};

inline std::vector<NoteRow> NoteRows(const CArticWrkBlk* blk) {
    std::vector<NoteRow> rows;
    for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (e->GetStatus() == 0x90) rows.push_back({e->GetTime(), e->GetPost1(), e->GetGateTime(), e->GetPost2()});
    }
    return rows;
}

inline std::vector<CString> Dump(CArticExp& exp) {
    CStringList list;
    exp.GetStrList(list);
    return wrktest::Lines(list);
}

inline std::vector<CString> Dump(CArticWrk& wrk) {
    CStringList list;
    wrk.GetStrList(list, 2147483647, 0);
    return wrktest::Lines(list);
}

// The expression's dump line; "(none)" when it writes none.
inline CString LineOf(CArticExpEvnt* e) {
    CStringList lines;
    return e->GetStrList(lines) == 0 && !lines.IsEmpty() ? lines.GetHead() : CString("(none)");
}

// What the error dialog was last given to show.
inline CString ShownText() { return CArticErr::GetErrDlg() ? CArticErr::GetErrDlg()->GetAllMsg() : CString(); }

// The content texts of the error list, in order.
inline std::vector<CString> Contents() {
    CStringList list;
    CArticErr::GetMsgStrList(list);
    return wrktest::Lines(list);
}

}  // namespace exptest
