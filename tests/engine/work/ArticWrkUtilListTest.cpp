#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/work/ArticWrkUtil.h"
#include "platform/Random.h"
#include "UtilFixture.h"

using namespace wrktest;

namespace {

using Evnts = std::vector<CArticWrkEvnt*>;
using Points = std::vector<std::pair<INT64, int>>;

// Time and value (controller value, bend value, or key) of every entry.
Points Values(CArticWrkEvntList& list) {
    Points out;
    for (POSITION p = list.GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list.GetNext(p);
        if (!e) continue;
        int v = e->GetStatus() == 0xB0 ? e->GetPost2() : (e->GetStatus() == 0xE0 ? Bend(e) : e->GetPost1());
        out.push_back({e->GetTime(), v});
    }
    return out;
}

// The 40-byte working record of an arpeggio pattern note.
void ArpgRecord(CArticWrkEvnt* note, INT64 initialOnset, INT64 initialEnd) {
    BYTE rec[40] = {};
    for (int i = 0; i < 8; ++i) {
        rec[24 + i] = BYTE(uint64_t(initialOnset) >> (8 * i));
        rec[32 + i] = BYTE(uint64_t(initialEnd) >> (8 * i));
    }
    note->SetMeta(0, rec, 40);
}

class RandomDraws {
public:
    explicit RandomDraws(std::vector<int> draws) : m_Draws(std::move(draws)) {
        SetRandomHook([this] { return m_Draws.at(m_Next++ % m_Draws.size()); });
    }
    ~RandomDraws() { SetRandomHook({}); }
    size_t Used() const { return m_Next; }

private:
    std::vector<int> m_Draws;
    size_t m_Next = 0;
};

constexpr int kRandMinus1 = 0, kRandZero = 16384, kRandPlus1 = 32767;

struct Lists : UtilTest {};

}  // namespace

TEST_F(Lists, CopiesOfOneKind) {
    OwnedList src;
    src.list.AddTail(Loose(0xB0, 0, 7, 10));
    src.list.AddTail(nullptr);
    src.list.AddTail(Loose(0xB0, 100, 10, 20));
    src.list.AddTail(Loose(0xE0, 150));
    src.list.AddTail(Loose(0xB0, 200, 7, 30));
    CArticWrkEvntList shared;
    CArticWrkUtil::CopyEvntList(&src.list, &shared);
    EXPECT_EQ(shared.GetCount(), 4);
    EXPECT_EQ(shared.GetHead(), src.list.GetHead());

    OwnedList copies;
    CArticWrkUtil::CopyEvntList(&src.list, &copies.list, 0xB0, 7);
    EXPECT_EQ(Values(copies.list), (Points{{0, 10}, {200, 30}}));
    EXPECT_NE(copies.list.GetHead(), src.list.GetHead());
    OwnedList window;
    CArticWrkUtil::CopyEvntList(&src.list, &window.list, 0xB0, 7, 100, 300, 1);
    EXPECT_EQ(Values(window.list), (Points{{200, 30}}));
    CArticWrkEvntList same;
    CArticWrkUtil::CopyEvntList(&src.list, &same, 0xE0, 99, 0, 300, 0);  // the number only counts for controllers
    EXPECT_EQ(Items(same), (Evnts{src.list.GetAt(src.list.FindIndex(3))}));
}

TEST_F(Lists, PatternCopyHonoursItsMarkers) {
    OwnedList src;
    src.list.AddTail(Loose(0xB0, 0, 11, 1));
    src.list.AddTail(Loose(0xB0, 100, 11, 2));
    src.list.AddTail(LooseText(150, "EOD"));
    src.list.AddTail(Loose(0xB0, 200, 11, 3));
    INT64 first = -1, last = -1;
    OwnedList out;
    CArticWrkUtil::CopyEvntList(&src.list, &out.list, 0xB0, 11, 0, 1000, &first, &last, 1);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 150);
    EXPECT_EQ(Values(out.list), (Points{{0, 1}, {100, 2}, {200, 3}}));  // copied past the marker

    OwnedList notes;
    notes.list.AddTail(Loose(0x90, 100, 60, 100, 50));
    notes.list.AddTail(LooseText(50, "SOD"));
    notes.list.AddTail(Loose(0x90, 300, 62, 100, 100));
    notes.list.AddTail(LooseText(60, "SO"));  // not a marker
    CArticWrkEvntList picked;
    CArticWrkUtil::CopyEvntList(&notes.list, &picked, 0x90, 0, 0, 1000, &first, &last, 0);
    EXPECT_EQ(first, 50);
    EXPECT_EQ(last, 400);
    EXPECT_EQ(picked.GetCount(), 2);
    EXPECT_EQ(picked.GetHead(), notes.list.GetHead());
}

TEST_F(Lists, NoteTimeRange) {
    OwnedList l;
    l.list.AddTail(LooseText(380, "EOD"));
    l.list.AddTail(Loose(0x90, 100, 60, 100, 50));
    l.list.AddTail(Loose(0x90, 300, 62, 100, 100));
    INT64 start = -1, end = -1;
    EXPECT_EQ(CArticWrkUtil::GetNoteTimeRange(&l.list, &start, &end), 0);
    EXPECT_EQ(start, 100);
    EXPECT_EQ(end, 380);
    l.list.AddTail(LooseText(50, "SOD"));
    EXPECT_EQ(CArticWrkUtil::GetNoteTimeRange(&l.list, &start, &end), 0);
    EXPECT_EQ(start, 50);
    OwnedList plain;
    plain.list.AddTail(Loose(0x90, 100, 60, 100, 50));
    plain.list.AddTail(Loose(0x90, 300, 62, 100, 100));
    EXPECT_EQ(CArticWrkUtil::GetNoteTimeRange(&plain.list, &start, &end), 0);
    EXPECT_EQ(start, 100);
    EXPECT_EQ(end, 400);
    OwnedList none;
    none.list.AddTail(Loose(0xB0, 0, 1, 1));
    start = end = -1;
    EXPECT_EQ(CArticWrkUtil::GetNoteTimeRange(&none.list, &start, &end), 1);
    EXPECT_EQ(start, -1);
    EXPECT_EQ(CArticWrkUtil::GetNoteTimeRange(nullptr, &start, &end), 1);
}

TEST_F(Lists, PickExtremeEvents) {
    OwnedList l;
    CArticWrkEvnt* a = Loose(0x90, 10, 5);
    CArticWrkEvnt* b = Loose(0x90, 20, 9);
    CArticWrkEvnt* c = Loose(0x90, 20, 1);
    for (auto* e : {a, b, c}) l.list.AddTail(e);
    struct Case { int selector; CArticWrkEvnt* pick; };
    for (const Case& k : {Case{0, a}, Case{1, b}, Case{2, c}, Case{3, b}}) {
        CArticWrkEvnt* out = nullptr;
        EXPECT_EQ(CArticWrkUtil::GetEvnt(&l.list, k.selector, &out), 0);
        EXPECT_EQ(out, k.pick) << k.selector;
    }
    CArticWrkEvnt* untouched = a;
    EXPECT_EQ(CArticWrkUtil::GetEvnt(&l.list, 4, &untouched), 1);
    EXPECT_EQ(untouched, a);
}

TEST_F(Lists, DeleteByKindAndTime) {
    OwnedList l;
    CArticWrkEvnt* b0 = LooseBend(0, 100);
    CArticWrkEvnt* cc = Loose(0xB0, 50, 1, 1);
    CArticWrkEvnt* b1 = LooseBend(50, -3000);
    CArticWrkEvnt* b2 = LooseBend(150, 0);
    for (auto* e : {b0, cc, b1, b2}) l.list.AddTail(e);
    EXPECT_EQ(CArticWrkUtil::DelEvntList(&l.list, 0, 100, 0xE0, 0), 0);
    EXPECT_EQ(Items(l.list), (Evnts{cc, b2}));
    EXPECT_EQ(CArticWrkUtil::DelEvntList(nullptr, 0, 100, 0xE0, 0), 1);

    CArticWrkEvntList tailCut;
    for (INT64 t : {0, 1, 2, 3}) tailCut.AddTail(Loose(0x90, t));
    CArticWrkUtil::DelEvntList(&tailCut, tailCut.FindIndex(1));
    EXPECT_EQ(Times(tailCut), (std::vector<INT64>{0, 1}));
    CArticWrkUtil::DelEvntList(&tailCut);
    EXPECT_EQ(tailCut.GetCount(), 2);  // entries stay until the caller empties the list
    CArticWrkUtil::ClearEvntList(&tailCut);
    EXPECT_TRUE(tailCut.IsEmpty());
}

TEST_F(Lists, ValueScaling) {
    OwnedList l;
    l.list.AddTail(Loose(0xB0, 0, 10, 100));
    l.list.AddTail(Loose(0xB0, 10, 10, 10));
    l.list.AddTail(LooseBend(20, 1000));
    l.list.AddTail(LooseBend(30, -6000));
    l.list.AddTail(Loose(0x90, 40, 60, 100));
    CArticWrkUtil::MagEvntList(&l.list, 150, 1);
    EXPECT_EQ(Values(l.list), (Points{{0, 118}, {10, 0}, {20, 1500}, {30, -8192}, {40, 60}}));
    EXPECT_EQ(l.list.GetTail()->GetPost2(), 100);  // notes pass through

    OwnedList plain;
    plain.list.AddTail(Loose(0xB0, 0, 7, 100));
    plain.list.AddTail(Loose(0xB0, 10, 7, 51));
    CArticWrkUtil::MagEvntList(&plain.list, 150, 0);
    EXPECT_EQ(Values(plain.list), (Points{{0, 127}, {10, 77}}));
    CArticWrkUtil::MagEvntList(&plain.list, 100, 0);
    EXPECT_EQ(Values(plain.list), (Points{{0, 127}, {10, 77}}));
    CArticWrkUtil::MagAddEvntList(&plain.list, 5, 20, 50, 3, 0);  // only the event at 10
    EXPECT_EQ(Values(plain.list), (Points{{0, 127}, {10, 42}}));
    EXPECT_EQ(CArticWrkUtil::MagAddEvntList(&plain.list, 7, -50), 0);
    EXPECT_EQ(Values(plain.list), (Points{{0, 77}, {10, 0}}));

    OwnedList pan;
    pan.list.AddTail(Loose(0xB0, 0, 10, 64));
    pan.list.AddTail(Loose(0xB0, 10, 10, 125));
    EXPECT_EQ(CArticWrkUtil::MagAddEvntList(&pan.list, 10, 5), 0);
    EXPECT_EQ(Values(pan.list), (Points{{0, 69}, {10, 127}}));

    CArticWrkEvnt* single = LooseBend(0, 2000);
    CArticWrkUtil::MagEvnt(single, 0.5, 0);
    EXPECT_EQ(Bend(single), 1000);
    CArticWrkUtil::MagEvnt(single, -0.25, 0);
    EXPECT_EQ(Bend(single), -250);
    delete single;
}

TEST_F(Lists, OneRandomFactorForAWholeList) {
    OwnedList l;
    l.list.AddTail(Loose(0xB0, 0, 7, 40));
    l.list.AddTail(Loose(0xB0, 10, 7, 60));
    {
        RandomDraws draws({kRandPlus1, kRandMinus1});
        CArticWrkUtil::MagEvntList(&l.list, 100, 50, 0);  // (1 x 0.5 + 1) x 1.0
        EXPECT_EQ(draws.Used(), 1u);
    }
    EXPECT_EQ(Values(l.list), (Points{{0, 60}, {10, 90}}));
    {
        RandomDraws draws({kRandZero});
        CArticWrkUtil::MagEvntList(&l.list, 100, 0, 0);
        EXPECT_EQ(draws.Used(), 0u);  // nothing to do: no draw
    }
}

TEST_F(Lists, TimeScalingAndShifting) {
    CArticWrkEvntList l;
    for (INT64 t : {1000, 1100, 1400}) l.AddTail(Loose(0xB0, t, 7, 1));
    CArticWrkUtil::TimeMagEvntList(&l, 50, 0, 100);
    EXPECT_EQ(Times(l), (std::vector<INT64>{1000, 1050}));  // the third (200 after scaling) is dropped and freed
    CArticWrkUtil::ShiftTimeEvntList(&l, -1020);
    EXPECT_EQ(Times(l), (std::vector<INT64>{0, 30}));
    CArticWrkUtil::DelEvntList(&l);
    l.RemoveAll();
}

TEST_F(Lists, DuplicateTheLastEvent) {
    struct Case { BYTE status; int reset, centre; int value; };
    const Case cases[] = {{0xB0, 1, 1, 64}, {0xB0, 1, 0, 0}, {0xB0, 0, 1, 90}, {0xE0, 1, 0, 0}, {0xE0, 0, 0, 700}};
    for (const auto& c : cases) {
        OwnedList l;
        l.list.AddTail(c.status == 0xB0 ? Loose(0xB0, 0, 11, 90) : LooseBend(0, 700));
        CArticWrkUtil::DupLastEvntList(&l.list, 480, c.reset, c.centre);
        ASSERT_EQ(l.list.GetCount(), 2);
        EXPECT_EQ(Values(l.list).back(), (std::pair<INT64, int>{480, c.value})) << int(c.status) << c.reset << c.centre;
        EXPECT_EQ(l.list.GetTail()->GetCreate(), 1);
    }
}

TEST_F(Lists, RepeatAPatternOverASpan) {
    OwnedList l;
    l.list.AddTail(Loose(0xB0, 0, 7, 10));
    l.list.AddTail(Loose(0x90, 100, 60, 100, 10));  // other kinds are gone afterwards
    l.list.AddTail(Loose(0xB0, 240, 7, 20));
    CArticWrkUtil::RepEvntList(&l.list, 0xB0, 7, 0, 600);
    EXPECT_EQ(Values(l.list), (Points{{0, 10}, {240, 10}, {480, 10}}));

    // One random factor per repetition: x1, x2, x0.
    OwnedList scaled;
    scaled.list.AddTail(Loose(0xB0, 0, 7, 10));
    scaled.list.AddTail(Loose(0xB0, 240, 7, 20));
    {
        RandomDraws draws({kRandZero, kRandPlus1, kRandMinus1});
        CArticWrkUtil::RepEvntList(&scaled.list, 0xB0, 7, 0, 100, 100, 0, 600);
        EXPECT_EQ(draws.Used(), 3u);
    }
    EXPECT_EQ(Values(scaled.list), (Points{{0, 10}, {240, 20}, {480, 0}}));

    OwnedList still;  // a pattern of one instant has nothing to repeat
    still.list.AddTail(Loose(0xB0, 0, 7, 10));
    CArticWrkUtil::RepEvntList(&still.list, 0xB0, 7, 0, 600);
    EXPECT_TRUE(still.list.IsEmpty());
    OwnedList kept;
    kept.list.AddTail(Loose(0xB0, 0, 7, 10));
    CArticWrkUtil::RepEvntList(&kept.list, 0xB0, 7, 600, 600);
    EXPECT_EQ(kept.list.GetCount(), 1);
}

TEST_F(Lists, AttackAndReleaseEnvelopes) {
    OwnedList attack;
    attack.list.AddTail(Loose(0xB0, 50, 7, 100));
    attack.list.AddTail(Loose(0xB0, 150, 7, 100));
    EXPECT_EQ(CArticWrkUtil::AttackEvntList(&attack.list, 0xB0, 7, 0, 100, 100), 0);
    EXPECT_EQ(Values(attack.list), (Points{{0, 0}, {50, 50}, {100, 100}, {150, 100}}));
    EXPECT_EQ(CArticWrkUtil::AttackEvntList(&attack.list, 0xB0, 7, 100, 100, 200), 1);

    OwnedList release;
    release.list.AddTail(Loose(0xB0, 50, 11, 100));
    EXPECT_EQ(CArticWrkUtil::ReleaseEvntList(&release.list, 0xB0, 11, 0, 100, 1.0), 0);
    EXPECT_EQ(Values(release.list), (Points{{0, 127}, {50, 50}, {100, 0}}));

    OwnedList pan;
    pan.list.AddTail(Loose(0xB0, 50, 10, 100));
    EXPECT_EQ(CArticWrkUtil::ReleaseEvntList(&pan.list, 0xB0, 10, 0, 100, 1.0), 0);
    EXPECT_EQ(Values(pan.list), (Points{{0, 64}, {50, 82}, {100, 64}}));

    OwnedList bends;
    bends.list.AddTail(LooseBend(50, -4000));
    EXPECT_EQ(CArticWrkUtil::ReleaseEvntList(&bends.list, 0xE0, 0, 0, 100, 0.5), 0);
    EXPECT_EQ(Values(bends.list), (Points{{0, 0}, {50, -1000}, {100, 0}}));
    EXPECT_EQ(CArticWrkUtil::ReleaseEvntList(nullptr, 0xE0, 0, 0, 100, 0.5), 1);
}

TEST_F(Lists, ZeroTheLevels) {
    OwnedList l;
    l.list.AddTail(Loose(0xB0, 0, 10, 100));
    l.list.AddTail(Loose(0xB0, 0, 7, 100));
    l.list.AddTail(LooseBend(0, 500));
    EXPECT_EQ(CArticWrkUtil::Calc0SmgEvntList(&l.list, 0xB0, 10), 0);
    EXPECT_EQ(Values(l.list), (Points{{0, 64}, {0, 100}, {0, 500}}));
    EXPECT_EQ(CArticWrkUtil::Calc0SmgEvntList(&l.list, 0xE0, 0), 0);
    EXPECT_EQ(Values(l.list), (Points{{0, 64}, {0, 100}, {0, 0}}));
    _WRK_EVNT rec;
    rec.Post2 = 5;
    rec.Post3 = 6;
    rec.Post1 = 7;
    CArticWrkUtil::ClearEvntLevel(rec);
    EXPECT_EQ(rec.Post2 + rec.Post3, 0);
    EXPECT_EQ(rec.Post1, 7);
}

TEST_F(Lists, FirstTime) {
    OwnedList l;
    for (INT64 t : {300, 100, 200}) l.list.AddTail(Loose(0xB0, t));
    INT64 first = -1;
    EXPECT_EQ(CArticWrkUtil::GetFirstTime(&l.list, &first), 0);
    EXPECT_EQ(first, 100);
    EXPECT_EQ(CArticWrkUtil::GetFirstTime(&l.list), 100);
    EXPECT_TRUE(exp.reports.empty());

    OwnedList broken;
    broken.list.AddTail(Loose(0xB0, 300));
    broken.list.AddTail(nullptr);
    broken.list.AddTail(Loose(0xB0, 100));
    EXPECT_EQ(CArticWrkUtil::GetFirstTime(&broken.list, &first), 1);
    EXPECT_EQ(first, 300);
    ASSERT_EQ(exp.reports.size(), 1u);
    EXPECT_EQ(exp.reports[0].reason, "最も早いｲﾍﾞﾝﾄの開始時刻をGETできません。");
    EXPECT_EQ(exp.reports[0].location, "CArticWrkUtil::GetFirstTime");
    EXPECT_EQ(CArticWrkUtil::GetFirstTime(&broken.list), 100);  // the quiet form skips null entries
    CArticWrkEvntList empty;
    EXPECT_EQ(CArticWrkUtil::GetFirstTime(&empty, &first), 1);
    EXPECT_EQ(first, kWrkNoTime);
    EXPECT_EQ(CArticWrkUtil::GetFirstTime(nullptr), kWrkNoTime);
}

TEST_F(Lists, ArpeggioOffsets) {
    OwnedList l;
    CArticWrkEvnt* a = Loose(0x90, 0, 60);
    ArpgRecord(a, 30, -20);
    CArticWrkEvnt* b = Loose(0x90, 0, 64);
    ArpgRecord(b, -10, -50);
    l.list.AddTail(a);
    l.list.AddTail(b);
    l.list.AddTail(Loose(0x90, 0, 67));  // no record
    EXPECT_EQ(CArticWrkUtil::GetEvntNoteOnMaxInterval(&l.list), 30);
    EXPECT_EQ(CArticWrkUtil::GetEvntNoteOffMinInterval(&l.list), -50);
    EXPECT_EQ(CArticWrkUtil::GetEvntNoteOnMaxInterval(nullptr), INT64_MIN);
    EXPECT_EQ(CArticWrkUtil::GetEvntNoteOffMinInterval(nullptr), kWrkNoTime);
}

TEST_F(Lists, EventsCopiedIntoEveryChannel) {
    auto sysex = [](std::vector<BYTE> data) {
        auto* e = new CArticWrkEvnt();
        e->SetStatus(0xF0);
        e->SetSys(data.data(), ULONG(data.size()));
        return e;
    };
    struct Case { CArticWrkEvnt* e; ULONG ch, port; int copy; };
    const Case cases[] = {
        {Loose(0x10, 0), 0, 0, 1}, {Loose(0x30, 0), 0, 0, 1}, {Loose(0xB0, 0), 0, 0, 1}, {Loose(0xC0, 0), 0, 0, 1},
        {Loose(0x90, 0), 0, 0, 0}, {Loose(0xE0, 0), 0, 0, 0},
        {sysex({0x43, 0x10, 0x4C, 0x08, 0x13, 0x01, 0x00}), 3, 1, 1},
        {sysex({0x43, 0x10, 0x4C, 0x0A, 0x13, 0x01, 0x00}), 2, 1, 0},
        {sysex({0x43, 0x10, 0x4C, 0x02, 0x13, 0x01, 0x00}), 3, 1, 0},
        {sysex({0x43, 0x10, 0x4C, 0x08, 0x13, 0x01}), 3, 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CArticWrkUtil::IsCopyEvnt(c.e, c.ch, c.port), c.copy) << int(c.e->GetStatus());
        delete c.e;
    }
    EXPECT_EQ(CArticWrkUtil::IsCopyEvnt(nullptr, 0, 0), 0);
}

TEST_F(Lists, KeyItemLists) {
    CObList keys;
    EXPECT_EQ(CArticWrkUtil::AddNoteList(&keys, 60), 0);
    EXPECT_EQ(CArticWrkUtil::AddNoteList(&keys, 255), 0);
    EXPECT_EQ(CArticWrkUtil::GetNoteListValue(keys.GetHead()), 60);
    EXPECT_EQ(CArticWrkUtil::GetNoteListValue(keys.GetTail()), 255);
    CArticWrkUtil::DelObList(&keys);
    EXPECT_EQ(keys.GetCount(), 2);
    EXPECT_EQ(CArticWrkUtil::AddNoteList(nullptr, 1), 1);
}

namespace {

struct ListsInWork : UtilTest {
    CArticWrkTrk* first = AddTrack(wrk, 0);
    CArticWrkBlk* firstBlk = AddBlock(first);
    CArticWrkTrk* selected = AddTrack(wrk, 1, 1);
    CArticWrkBlk* blk = AddBlock(selected);
    CArticWrkTrk* unselected = AddTrack(wrk, 2, 0);
    CArticWrkBlk* side = AddBlock(unselected);
};

// A track that cannot make another block.
class FullTrk : public CArticWrkTrk {
public:
    using CArticWrkTrk::CArticWrkTrk;
    using CArticWrkTrk::NewBlk;
    CArticWrkBlk* NewBlk() override { return nullptr; }
};

}  // namespace

TEST_F(ListsInWork, StoreAListAsNewEvents) {
    OwnedList l;
    const BYTE data[3] = {1, 2, 3};
    CArticWrkEvnt* note = Loose(0x90, 100, 60, 90, 50);
    note->SetMeta(0, data, 3);  // a working record: not stored
    l.list.AddTail(Loose(0xB0, 0, 7, 33));
    l.list.AddTail(note);
    CArticWrkEvnt* sx = Loose(0xF0, 200);
    sx->SetSys(data, 3);
    l.list.AddTail(sx);
    l.list.AddTail(LooseText(0, "SOD"));
    l.list.AddTail(Loose(0xB0, -2000, 7, 1));
    ASSERT_EQ(CArticWrkUtil::StoreEvntList(&wrk, blk, &l.list, 1000), 0);
    ASSERT_EQ(blk->GetCount(), 4);
    std::vector<INT64> times;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        times.push_back(e->GetTime());
        EXPECT_EQ(e->GetCreate(), 1);
        EXPECT_EQ(wrk.GetEvntInEvntPosArray(e->GetEvntNo(), 1), e);
        const BYTE* d = nullptr;
        const ULONG len = e->GetSys(&d);
        if (e->GetStatus() == 0xF0) {
            ASSERT_EQ(len, 3u);
            const BYTE* own = nullptr;
            sx->GetSys(&own);
            EXPECT_NE(d, own);  // a copy of its own
            EXPECT_EQ(d[2], 3);
        } else {
            EXPECT_EQ(len, 0u) << int(e->GetStatus());
        }
    }
    EXPECT_EQ(times, (std::vector<INT64>{0, 1000, 1100, 1200}));

    OwnedList metas;
    metas.list.AddTail(LooseText(0, "EOD"));
    EXPECT_EQ(CArticWrkUtil::StoreEvntList(&wrk, side, &metas.list, 0), 1);
    EXPECT_EQ(side->GetCount(), 0);
    EXPECT_EQ(CArticWrkUtil::StoreEvntList(&wrk, nullptr, &metas.list, 0), 1);
}

TEST_F(ListsInWork, MergeTheSelectedTracksIntoOneBlock) {
    CArticWrkEvnt* a = AddNote(blk, 0, 480, 60);
    CArticWrkEvnt* b = AddCc(blk, 1, 0, 7, 90);
    AddNote(side, 2, 240, 40);
    AddNote(firstBlk, 3, 100, 30);
    ASSERT_EQ(CArticWrkUtil::MergeTrkEvnt(&wrk, first, 1), 0);
    ASSERT_EQ(first->GetCount(), 2);
    CArticWrkBlk* target = first->Get(1);
    EXPECT_EQ(Keys(target), (std::vector<int>{0, 60}));
    EXPECT_EQ(b->GetSeqWrkEvnt(), target->Get(0));
    EXPECT_EQ(a->GetSeqWrkEvnt(), target->Get(1));
    EXPECT_EQ(target->Get(1)->GetSeqWrkEvnt(), nullptr);
    for (POSITION p = target->GetHeadPos(); p;) {
        CArticWrkEvnt* e = target->GetNext(p);
        EXPECT_EQ(wrk.GetEvntInEvntPosArray(e->GetEvntNo(), 1), e);
    }
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(0u, 1), a);  // the originals keep their numbers
}

TEST_F(ListsInWork, MergeFailsWithoutItsBlock) {
    auto* full = new FullTrk(&wrk, 5, 0, 0);
    wrk.AddTail(full);
    AddBlock(full);
    AddNote(blk, 0, 480, 60);
    EXPECT_EQ(CArticWrkUtil::MergeTrkEvnt(&wrk, full, 0), 1);
    EXPECT_EQ(full->GetCount(), 1);
    EXPECT_EQ(CArticWrkUtil::MergeTrkEvnt(nullptr, full, 0), 1);
}

TEST_F(ListsInWork, NumbersLinkedBackToTheirEvents) {
    CArticWrkEvnt* a = AddNote(blk, 4, 0, 60);
    CArticWrkEvnt* b = AddNote(blk, 5, 10, 62);
    OwnedList src;
    for (ULONG n : {5u, 4u, 9u}) {
        CArticWrkEvnt* e = Loose(0x90, 0);
        e->SetEvntNo(n);
        src.list.AddTail(e);
    }
    CArticWrkEvntList dst;
    CArticWrkUtil::ReLinkEvntList(&wrk, &src.list, &dst);
    EXPECT_EQ(Items(dst), (Evnts{b, a}));  // 9 has no entry

    CArticWrkEvntList dst2;
    CArticWrkUtil::ReLinkEvntList2(&wrk, &src.list, &dst2);
    ASSERT_EQ(dst2.GetCount(), 3);
    CArticWrkEvnt* made = dst2.GetTail();
    EXPECT_EQ(made->GetEvntNo(), 9u);
    EXPECT_EQ(made->GetOwner(), nullptr);
    EXPECT_TRUE(wrk.IsEvntPos(made));
    wrk.ResetAllEvntPos();  // frees the free event

    // A copy linked to a work event takes that event's number.
    CArticWrkEvnt* copy = Loose(0x90, 0);
    copy->SetSeqWrkEvnt(b);
    CArticWrkEvnt* stranger = Loose(0x90, 0);
    CArticWrkEvnt loose;
    stranger->SetSeqWrkEvnt(&loose);
    OwnedList linked;
    linked.list.AddTail(copy);
    linked.list.AddTail(stranger);
    EXPECT_EQ(CArticWrkUtil::UpdateEvntNoByArticSuite(&wrk, nullptr, &linked.list), 0);
    EXPECT_EQ(copy->GetEvntNo(), 5u);
    EXPECT_EQ(stranger->GetEvntNo(), 0u);
    EXPECT_EQ(CArticWrkUtil::UpdateEvntNoByArticSuite(nullptr, nullptr, &linked.list), 1);
}

TEST_F(ListsInWork, CopyAtTheWorksTempo) {
    auto tempo = [](CArticWrkEvnt* e, ULONG usPerQuarter) {
        BYTE bytes[3] = {BYTE(usPerQuarter >> 16), BYTE(usPerQuarter >> 8), BYTE(usPerQuarter)};
        e->SetStatus(0xFF);
        e->SetMeta(0x51, bytes, 3);
        return e;
    };
    CArticWrkEvnt* songTempo = tempo(NewEvnt(firstBlk, 0, 0xFF, 0), 500000);
    firstBlk->AddTail(songTempo, 1);
    OwnedList pattern;
    pattern.list.AddTail(tempo(Loose(0xFF, 0), 250000));  // twice as fast as the song
    pattern.list.AddTail(Loose(0x90, 240, 60, 100, 101));
    OwnedList out;
    EXPECT_EQ(CArticWrkUtil::CopyEvntListByTempo(&wrk, 0, &pattern.list, &out.list), 0);
    ASSERT_EQ(out.list.GetCount(), 2);
    EXPECT_EQ(out.list.GetTail()->GetTime(), 120);
    EXPECT_EQ(out.list.GetTail()->GetGateTime(), 51);
    EXPECT_EQ(CArticWrkUtil::GetCurrentTempo(&out.list, 0), 250000u);  // its data came along
    EXPECT_EQ(CArticWrkUtil::GetCurrentTempo(firstBlk, 100), 500000u);
    CArticWrkEvntList empty;
    EXPECT_EQ(CArticWrkUtil::GetCurrentTempo(&empty, 0), 500000u);
}

TEST_F(ListsInWork, MetaEventsOfAKindInAWindow) {
    OwnedList l;
    const BYTE t[3] = {7, 0xA1, 0x20};
    for (INT64 time : {0, 500, 1000}) {
        CArticWrkEvnt* e = Loose(0xFF, time);
        e->SetMeta(0x51, t, 3);
        l.list.AddTail(e);
    }
    l.list.AddTail(LooseText(500, "x"));
    CArticWrkEvntList out;
    CArticWrkUtil::CopyMetaEvntList(&l.list, &out, 0xFF, 0x51, 100, 1000);
    EXPECT_EQ(Times(out), (std::vector<INT64>{500, 1000}));
    EXPECT_EQ(out.GetHead(), l.list.GetAt(l.list.FindIndex(1)));
}

TEST_F(ListsInWork, ARefusedFreeEventIsNotHandedOut) {
    wrk.ChangeEvntNo(0);
    OwnedList src;
    CArticWrkEvnt* e = Loose(0x90, 0);
    e->SetEvntNo(9);
    src.list.AddTail(e);
    CArticWrkEvntList first;
    CArticWrkUtil::ReLinkEvntList2(&wrk, &src.list, &first);
    ASSERT_EQ(first.GetCount(), 1);
    // Number 9 is now held by a free event that no position reaches: a second
    // free event cannot be registered under it and must not be handed out
    // unowned.
    CArticWrkEvntList second;
    CArticWrkUtil::ReLinkEvntList2(&wrk, &src.list, &second);
    EXPECT_TRUE(second.IsEmpty());
    EXPECT_TRUE(wrk.IsEvntPos(first.GetHead()));
    wrk.ResetAllEvntPos();
}
