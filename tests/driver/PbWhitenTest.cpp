#include "driver/PbWhiten.h"

#include <gtest/gtest.h>

#include <vector>

#include "driver/ArticEditorUtil.h"
#include "engine/work/WorkFixture.h"

namespace {

// One block of part-0 events built in time order.
struct WhitenBlock {
    CArticWrk wrk;
    CArticWrkBlk* blk = wrktest::AddBlock(wrktest::AddTrack(wrk, 1));
    ULONG no = 1;

    CArticWrkEvnt* Add(CArticWrkEvnt* e) {
        e->SetFngrInfo(0, 0, 0, 0);
        blk->Sort(e, 1);
        return e;
    }
    CArticWrkEvnt* Note(INT64 time, BYTE key, INT64 gate) { return Add(wrktest::NewEvnt(blk, no++, 0x90, time, key, 100, gate)); }
    void Bend(INT64 time, int value) {
        const int raw = value + 8192;
        Add(wrktest::NewEvnt(blk, no++, 0xE0, time, BYTE(raw & 0x7F), BYTE(raw >> 7)));
    }
    void RpnRange(INT64 time, BYTE range) {
        CArticWrkEvnt* e = wrktest::NewEvnt(blk, no++, 0x20, time, 0, 0);
        e->SetPost3(range);
        Add(e);
    }
    void KvRange(INT64 time, BYTE value) {
        CArticWrkEvnt* e = wrktest::NewEvnt(blk, no++, 0xF0, time);
        const BYTE data[] = {0x43, 0x10, 0x4C, 0x08, 0x00, 0x23, value, 0xF7};
        e->SetSys(data, sizeof data);
        Add(e);
    }
    // key, time, gate and whitening flag of each note in list order.
    std::vector<std::vector<INT64>> Notes() const {
        std::vector<std::vector<INT64>> out;
        for (POSITION p = blk->GetHeadPos(); p;) {
            const CArticWrkEvnt* e = blk->GetNext(p);
            if (e->GetStatus() == 0x90) out.push_back({e->GetPost1(), e->GetTime(), e->GetGateTime(), e->GetPbWhiten()});
        }
        return out;
    }
};

using NoteRows = std::vector<std::vector<INT64>>;

TEST(PbWhiten, BendUnderANoteSplitsIt) {
    struct Case {
        const char* name;
        BYTE rpnRange;  // 0: none (range 2)
        int kvByte;     // -1: none
        int bend;
        BYTE key;
        NoteRows expected;
    };
    const Case kCases[] = {
        {"full bend range 2", 0, -1, 8191, 60, {{60, 0, 480, 0}, {62, 480, 480, 1}}},
        {"range 12, two semitones", 12, -1, 1365, 60, {{60, 0, 480, 0}, {62, 480, 480, 1}}},
        {"KV range 66 after RPN 12", 12, 66, 8191, 60, {{60, 0, 480, 0}, {62, 480, 480, 1}}},
        {"key never above 127", 12, -1, 8191, 120, {{120, 0, 480, 0}, {127, 480, 480, 1}}},
        {"range 0: no pitch change", 12, 64, 8191, 60, {{60, 0, 960, 0}}},
    };
    for (const Case& c : kCases) {
        WhitenBlock w;
        if (c.rpnRange) w.RpnRange(0, c.rpnRange);
        if (c.kvByte >= 0) w.KvRange(0, BYTE(c.kvByte));
        w.Note(0, c.key, 960);
        w.Bend(480, c.bend);
        EXPECT_EQ(CArticEditorUtil::ProcWhiten(&w.wrk), 0) << c.name;
        EXPECT_EQ(w.Notes(), c.expected) << c.name;
    }
}

TEST(PbWhiten, ShortNotesLateBendsAndConstantBends) {
    struct Case {
        const char* name;
        INT64 gate;
        INT64 bendAt;  // -1: a bend before the note only
        NoteRows expected;
    };
    const Case kCases[] = {
        // Never split; the bend it holds still shifts it whole.
        {"171 ticks: never split", 171, 86, {{62, 0, 171, 0}}},
        {"172 ticks: split", 172, 86, {{60, 0, 86, 0}, {62, 86, 86, 1}}},
        // Counted, too close to the end to split: the whole note takes the shift.
        {"bend 85 before the end", 960, 875, {{62, 0, 960, 0}}},
        {"bend later than that: ignored", 960, 876, {{60, 0, 960, 0}}},
        {"constant bend before the note", 960, -1, {{60, 0, 960, 0}}},
    };
    for (const Case& c : kCases) {
        WhitenBlock w;
        if (c.bendAt < 0) w.Bend(0, 4096);  // +1 semitone in force at the start
        w.Note(0, 60, c.gate);
        if (c.bendAt >= 0) w.Bend(c.bendAt, 8191);
        EXPECT_EQ(CArticEditorUtil::ProcWhiten(&w.wrk), 0) << c.name;
        EXPECT_EQ(w.Notes(), c.expected) << c.name;
    }
    // Other tracks' notes and unselected tracks are left alone.
    WhitenBlock off;
    off.wrk.Get(0)->SetSelTrk(0);
    off.Note(0, 60, 960);
    off.Bend(480, 8191);
    EXPECT_EQ(CArticEditorUtil::ProcWhiten(&off.wrk), 0);
    EXPECT_EQ(off.Notes(), (NoteRows{{60, 0, 960, 0}}));
    EXPECT_EQ(CArticEditorUtil::ProcWhiten(nullptr), 1);
}

TEST(PbWhiten, QuantisationFollowsTheDirection) {
    CPbWhiten pass;
    CTimeValArray curve;
    // +0.3, +1.2 and back to +0.7 semitones at range 2.
    const LONG values[] = {0, 1229, 4915, 2867};
    for (int i = 0; i < 4; ++i) curve.Add(new CTimeVal(i * 100, values[i], 2));
    EXPECT_EQ(pass.KeyOffset(curve, 0), 0);
    EXPECT_EQ(pass.KeyOffset(curve, 1), 1);  // 0.3 + 0.5 + 0.25, rising
    EXPECT_EQ(pass.KeyOffset(curve, 3), 0);  // 0.7 + 0.5 - 0.25, falling
    CArticIndexList indexes;
    ASSERT_EQ(pass.WhitenPB_MakePosListCrosHf(&curve, &indexes), 0);
    EXPECT_EQ(indexes, (CArticIndexList{3, 1, 0}));  // 0.3 and 1.2 share offset 1
    for (int i = 0; i < curve.GetSize(); ++i) delete curve.GetAt(i);
    CTimeValArray empty;
    EXPECT_EQ(pass.WhitenPB_MakePosListCrosHf(&empty, &indexes), 1);
}

}  // namespace
