#pragma once
// Small work data built in code for the work-model tests.
#include <initializer_list>
#include <vector>

#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"

namespace wrktest {

inline CArticWrkTrk* AddTrack(CArticWrk& wrk, ULONG trkNo, LONG selected = 1, ULONG ch = 0, ULONG port = 0) {
    auto* trk = new CArticWrkTrk(&wrk, trkNo, ch, port);
    trk->SetSelTrk(selected);
    wrk.AddTail(trk);
    return trk;
}

inline CArticWrkBlk* AddBlock(CArticWrkTrk* trk, ULONG blkNo = 0) {
    auto* blk = new CArticWrkBlk(trk, blkNo);
    trk->AddTail(blk);
    return blk;
}

// A free-standing event of the block (not yet in its list).
inline CArticWrkEvnt* NewEvnt(CArticWrkBlk* blk, ULONG no, BYTE status, INT64 time, BYTE post1 = 0, BYTE post2 = 0,
                              INT64 gate = 0) {
    auto* e = new CArticWrkEvnt(blk, no);
    e->SetStatus(status);
    e->SetTime(time, 0);
    e->SetPost1(post1);
    e->SetPost2(post2);
    e->SetGateTime(gate);
    return e;
}

// A note put into the block in time order and registered.
inline CArticWrkEvnt* AddNote(CArticWrkBlk* blk, ULONG no, INT64 time, BYTE key, INT64 gate = 480, BYTE velo = 100) {
    CArticWrkEvnt* e = NewEvnt(blk, no, 0x90, time, key, velo, gate);
    blk->Sort(e, 1);
    return e;
}

inline CArticWrkEvnt* AddCc(CArticWrkBlk* blk, ULONG no, INT64 time, BYTE cc, BYTE value) {
    CArticWrkEvnt* e = NewEvnt(blk, no, 0xB0, time, cc, value);
    blk->Sort(e, 1);
    return e;
}

// A meta event with its bar/beat/tick stored as given.
inline CArticWrkEvnt* NewMeta(CArticWrkBlk* blk, ULONG no, INT64 time, BYTE type, std::vector<BYTE> data,
                              ULONG meas = 1, ULONG beat = 1, ULONG tick = 0) {
    auto* e = new CArticWrkEvnt(blk, no);
    _WRK_EVNT r;
    r.Status = 0xFF;
    r.MetaType = type;
    r.Time = time;
    r.Meas = meas;
    r.Beat = beat;
    r.Tick = tick;
    r.Len = ULONG(data.size());
    r.Data = data.empty() ? nullptr : data.data();
    e->Set(r);
    return e;
}

// A time signature numerator/2^exp at a bar.
inline CArticWrkEvnt* AddBeat(CArticWrkBlk* blk, ULONG no, INT64 time, BYTE numerator, BYTE exp, ULONG meas) {
    CArticWrkEvnt* e = NewMeta(blk, no, time, 0x58, {numerator, exp, 24, 8}, meas, 1, 0);
    blk->AddTail(e, 1);
    return e;
}

// Keys of the notes (and 0 for anything else) in list order.
inline std::vector<int> Keys(const CArticWrkBlk* blk) {
    std::vector<int> keys;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        keys.push_back(e->GetStatus() == 0x90 ? e->GetPost1() : 0);
    }
    return keys;
}

inline std::vector<ULONG> Numbers(const CArticWrkBlk* blk) {
    std::vector<ULONG> numbers;
    for (POSITION p = blk->GetHeadPos(); p;) numbers.push_back(blk->GetNext(p)->GetEvntNo());
    return numbers;
}

inline std::vector<CString> Lines(const CStringList& list) {
    std::vector<CString> lines;
    for (POSITION p = list.GetHeadPosition(); p;) lines.push_back(list.GetNext(p));
    return lines;
}

}  // namespace wrktest
