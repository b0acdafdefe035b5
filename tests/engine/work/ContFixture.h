#pragma once
// A one-block work for the continuous-data tests (controllers, pitch bend,
// tempo, packed parameters), with helpers that put events into the block and
// read its controller, bend and tempo data back.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrkCond.h"
#include "engine/work/ArticWrkUtil.h"
#include "UtilFixture.h"

namespace wrktest {

using Points = std::vector<std::pair<INT64, int>>;

struct ContTest : UtilTest {
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    ULONG nextNo = 1;

    CArticWrkEvnt* Put(CArticWrkEvnt* e) {
        blk->Sort(e, 1);
        return e;
    }
    CArticWrkEvnt* PutBend(INT64 time, int value) { return PutBendNo(nextNo++, time, value); }
    CArticWrkEvnt* PutBendNo(ULONG no, INT64 time, int value) {
        CArticWrkEvnt* e = NewEvnt(blk, no, 0xE0, time);
        _WRK_EVNT r;
        e->Get(r);
        CArticWrkUtil::SetPitchBend(r, short(value));
        e->Set(r);
        return Put(e);
    }
    CArticWrkEvnt* PutCc(INT64 time, BYTE number, BYTE value) { return AddCc(blk, nextNo++, time, number, value); }
    CArticWrkEvnt* PutNote(INT64 time, BYTE key, INT64 gate) { return AddNote(blk, nextNo++, time, key, gate); }
    CArticWrkEvnt* PutTempo(INT64 time, ULONG usPerQuarter) {
        return Put(NewMeta(blk, nextNo++, time, 0x51,
                           {BYTE(usPerQuarter >> 16), BYTE(usPerQuarter >> 8), BYTE(usPerQuarter)}));
    }
    // A tempo of the song's own map (the condition timeline) and of the block.
    CArticWrkEvnt* PutSongTempo(INT64 time, ULONG usPerQuarter) {
        CArticWrkEvnt* e = PutTempo(time, usPerQuarter);
        EXPECT_EQ(blk->SetCondPos(e), 0);
        return e;
    }
    // A bend range of the timeline (as a packed RPN 0/0 entry).
    void RangeAt(INT64 time, BYTE semitones) {
        CArticWrkEvnt e;
        e.SetStatus(0x20);
        e.SetTime(time, 0);
        e.SetPost3(semitones);
        ASSERT_EQ(blk->SetCondPos(&e), 0);
    }

    Points Bends() {
        Points out;
        for (POSITION p = blk->GetHeadPos(); p;) {
            CArticWrkEvnt* e = blk->GetNext(p);
            if (e->GetStatus() == 0xE0) out.push_back({e->GetTime(), Bend(e)});
        }
        return out;
    }
    Points Ccs(BYTE number) {
        Points out;
        for (POSITION p = blk->GetHeadPos(); p;) {
            CArticWrkEvnt* e = blk->GetNext(p);
            if (e->GetStatus() == 0xB0 && e->GetPost1() == number) out.push_back({e->GetTime(), e->GetPost2()});
        }
        return out;
    }
    Points Tempi() {
        Points out;
        for (POSITION p = blk->GetHeadPos(); p;) {
            CArticWrkEvnt* e = blk->GetNext(p);
            if (e->GetStatus() == 0xFF && e->GetMetaType() == 0x51) out.push_back({e->GetTime(), int(TempoOf(e))});
        }
        return out;
    }
    static ULONG TempoOf(const CArticWrkEvnt* e) {
        const BYTE* data = nullptr;
        if (e->GetMeta(nullptr, &data) < 3 || !data) return 0;
        return (ULONG(data[0]) << 16) | (ULONG(data[1]) << 8) | data[2];
    }
    // Controllers with a working level left in them read as values they never had.
    bool NoLevelEncodedCc() {
        for (POSITION p = blk->GetHeadPos(); p;) {
            CArticWrkEvnt* e = blk->GetNext(p);
            if (e->GetStatus() == 0xB0 && (e->GetPost3() != 0 || e->GetPost2() > 127)) return false;
        }
        return true;
    }
    bool InTimeOrder() {
        INT64 last = INT64_MIN;
        for (POSITION p = blk->GetHeadPos(); p;) {
            CArticWrkEvnt* e = blk->GetNext(p);
            if (e->GetTime() < last) return false;
            last = e->GetTime();
        }
        return true;
    }
    // Every event of the block is reachable under its number.
    bool AllRegistered() {
        for (POSITION p = blk->GetHeadPos(); p;) {
            CArticWrkEvnt* e = blk->GetNext(p);
            if (wrk.GetEvntInEvntPosArray(e->GetEvntNo(), 1) != e) return false;
        }
        return true;
    }
};

// One event of a block laid out from a table.
struct LaidEvnt {
    INT64 time;
    BYTE status;
    BYTE post1, post2;
};

// The block and a twin on another track, both laid out from one table: a
// walk started at a note changes the one, the walk from the list's ends the
// other, and the two must end alike.
struct TwinBlockTest : ContTest {
    CArticWrkBlk* twin = AddBlock(AddTrack(wrk, 2));

    template <size_t N>
    void LayBoth(const LaidEvnt (&layout)[N]) {
        ULONG no = 1;
        for (const LaidEvnt& l : layout) blk->AddTail(NewEvnt(blk, no++, l.status, l.time, l.post1, l.post2, 120), 1);
        no = 101;
        for (const LaidEvnt& l : layout) twin->AddTail(NewEvnt(twin, no++, l.status, l.time, l.post1, l.post2, 120), 1);
    }
    // The positions of the block's notes: every one a starting point.
    static std::vector<POSITION> NotePositions(CArticWrkBlk* b) {
        std::vector<POSITION> out;
        for (POSITION p = b->GetHeadPos(); p;) {
            POSITION at = p;
            if (b->GetNext(p)->GetStatus() == 0x90) out.push_back(at);
        }
        return out;
    }
    // The block's events as (time, status, post1, post2) in list order.
    static std::vector<std::vector<INT64>> Order(CArticWrkBlk* b) {
        std::vector<std::vector<INT64>> out;
        for (POSITION p = b->GetHeadPos(); p;) {
            CArticWrkEvnt* e = b->GetNext(p);
            out.push_back({e->GetTime(), e->GetStatus(), e->GetPost1(), e->GetPost2()});
        }
        return out;
    }
};

}  // namespace wrktest
