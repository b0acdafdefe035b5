#pragma once
// Bend, controller and packed data of the middle work data, and a run with a
// hook between the middle copy and the phases, for the bend and controller
// expression tests.
#include <functional>
#include <utility>
#include <vector>

#include "ExpFixture.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticWrkUtil.h"

namespace bcctest {

using Points = std::vector<std::pair<INT64, int>>;

inline CArticWrkEvnt* PutBend(CArticWrkBlk* blk, ULONG no, INT64 time, int value) {
    CArticWrkEvnt* e = wrktest::NewEvnt(blk, no, 0xE0, time);
    _WRK_EVNT r;
    e->Get(r);
    CArticWrkUtil::SetPitchBend(r, short(value));
    e->Set(r);
    blk->Sort(e, 1);
    return e;
}

inline Points Bends(const CArticWrkBlk* blk) {
    Points out;
    for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (e->GetStatus() != 0xE0) continue;
        _WRK_EVNT r;
        e->Get(r);
        out.push_back({e->GetTime(), CArticWrkUtil::GetPitchBend(r)});
    }
    return out;
}

inline Points Ccs(const CArticWrkBlk* blk, BYTE number) {
    Points out;
    for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (e->GetStatus() == 0xB0 && e->GetPost1() == number) out.push_back({e->GetTime(), e->GetPost2()});
    }
    return out;
}

inline Points Packed(const CArticWrkBlk* blk, BYTE status, BYTE msb, BYTE lsb) {
    Points out;
    for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (e->GetStatus() == status && e->GetPost1() == msb && e->GetPost2() == lsb)
            out.push_back({e->GetTime(), e->GetPost3()});
    }
    return out;
}

// The bend value nearest before or at time among points; 0 when none.
inline int BendAt(const Points& points, INT64 time) {
    int v = 0;
    for (const auto& [t, value] : points)
        if (t <= time) v = value;
    return v;
}

// A bend range of the middle part block's timeline from time on.
inline void RangeAt(CArticWrkBlk* blk, INT64 time, BYTE semitones) {
    CArticWrkEvnt e;
    e.SetStatus(0x20);
    e.SetTime(time, 0);
    e.SetPost3(semitones);
    blk->SetCondPos(&e);
}

// The middle copy's event of a number.
inline CArticWrkEvnt* MidEvnt(exptest::World& w, ULONG no) {
    CArticWrkEvnt* e = nullptr;
    w.mid.GetEvntPos(no, &e);
    return e;
}

inline CArticPos* MidRecord(exptest::World& w, ULONG no) {
    CArticPos* rec = nullptr;
    w.mid.GetEvntPos(MidEvnt(w, no), &rec);
    return rec;
}

struct PhaseResults {
    int p1, p12, p2;
};

// Prepare, hook on the middle data, then the four phases.
inline PhaseResults RunHooked(exptest::World& w, const std::function<void()>& hook) {
    w.Prepare();
    if (hook) hook();
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    mgr.ReLinkExp();
    PhaseResults r{};
    r.p1 = mgr.ConvToWrk();
    r.p12 = mgr.ConvToWrkCombine();
    r.p2 = mgr.ConvToWrk2();
    mgr.ConvToWrk3();
    return r;
}

}  // namespace bcctest
