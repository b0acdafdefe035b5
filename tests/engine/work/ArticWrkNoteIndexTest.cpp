// The navigation's note queries answer from an index once the work data has
// stood still between two of them; every edit that moves, creates, deletes,
// renumbers or hides a note must make them answer for the edited data.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "engine/work/ArticWrkUtil.h"
#include "WorkFixture.h"

using namespace wrktest;

namespace {

struct IndexFixture : ::testing::Test {
    CArticWrk wrk;
    CArticWrkTrk* trk = AddTrack(wrk, 1);
    CArticWrkBlk* blk = AddBlock(trk);
    CArticWrkTrk* other = AddTrack(wrk, 2, 0);  // not selected
    CArticWrkBlk* otherBlk = AddBlock(other);
    // Numbers deliberately out of time order: 4 @0, 1 @100, 3 @200, 0 @300, 2 @480.
    CArticWrkEvnt* n4 = AddNote(blk, 4, 0, 60, 50);
    CArticWrkEvnt* n1 = AddNote(blk, 1, 100, 62, 50);
    CArticWrkEvnt* n3 = AddNote(blk, 3, 200, 64, 50);
    CArticWrkEvnt* n0 = AddNote(blk, 0, 300, 65, 50);
    CArticWrkEvnt* n2 = AddNote(blk, 2, 480, 67, 50);
    CArticWrkEvnt* hidden = AddNote(otherBlk, 5, 150, 70, 50);

    // The numbers of the notes the area query finds in [from, to], asked
    // twice so that the second answer comes from the index.
    std::vector<ULONG> Area(INT64 from, INT64 to) {
        std::vector<ULONG> first, second;
        for (auto* numbers : {&first, &second}) {
            CArticWrkEvntList list;
            EXPECT_EQ(wrk.GetAreaWrkEvntInEvntPosArray(from, to, 1, &list), 0);
            for (POSITION p = list.GetHeadPosition(); p;) numbers->push_back(list.GetNext(p)->GetEvntNo());
        }
        EXPECT_EQ(first, second);
        return second;
    }
    // The rest before a note, asked twice for the same reason.
    INT64 Rest(CArticWrkEvnt* note) {
        const INT64 first = CArticWrkUtil::GetWrkPrevRest(note);
        EXPECT_EQ(CArticWrkUtil::GetWrkPrevRest(note), first);
        return first;
    }
};

}  // namespace

TEST_F(IndexFixture, AreaNotesComeInNumberOrder) {
    EXPECT_EQ(Area(0, 300), (std::vector<ULONG>{0, 1, 3, 4}));  // 5 lies on an unselected track
    EXPECT_EQ(Area(100, 200), (std::vector<ULONG>{1, 3}));
    EXPECT_EQ(Area(301, 479), (std::vector<ULONG>{}));
    EXPECT_EQ(Area(480, 480), (std::vector<ULONG>{2}));
}

TEST_F(IndexFixture, AreaFollowsEveryEdit) {
    const struct {
        const char* edit;
        std::function<void()> apply;
        std::vector<ULONG> area;  // [100, 300] after the edit, worked out by hand
    } kEdits[] = {
        {"a note moves into the area", [&] { n2->SetTime(250, 0); }, {0, 1, 2, 3}},
        {"a note moves out of it", [&] { n1->SetTime(900, 0); }, {0, 2, 3}},
        {"a note is deleted", [&] { CArticWrkUtil::DelEvnt(n3); }, {0, 2}},
        {"a note is created", [&] { AddNote(blk, 7, 120, 72, 50); }, {0, 2, 7}},
        {"a note stops being one", [&] { n0->SetStatus(0xB0); }, {2, 7}},
        {"the hidden track is selected", [&] { other->SetSelTrk(1); }, {2, 5, 7}},
        {"the first track is deselected", [&] { trk->SetSelTrk(0); }, {5}},
    };
    EXPECT_EQ(Area(100, 300), (std::vector<ULONG>{0, 1, 3}));
    for (const auto& e : kEdits) {
        SCOPED_TRACE(e.edit);
        e.apply();
        EXPECT_EQ(Area(100, 300), e.area);
    }
}

TEST_F(IndexFixture, RestBeforeANoteFollowsEveryEdit) {
    // Before n0 (@300) come the selected notes numbered below 0: none.
    EXPECT_EQ(Rest(n0), 0);
    // Before n3 (@200): 0 @300 (later, ignored), 1 @100-150, 2 @480 (later): rest 50.
    EXPECT_EQ(Rest(n3), 50);
    // Before n4 (@0): all start later.
    EXPECT_EQ(Rest(n4), 0);
    // Before n2 (@480): 0 ends at 350, 1 at 150: rest 130.
    EXPECT_EQ(Rest(n2), 130);
    n1->SetGateTime(400);  // now ends at 500: sounding when n2 starts
    EXPECT_EQ(Rest(n2), 0);
    EXPECT_EQ(Rest(n3), 0);
    n1->SetTime(0, 0);  // ends at 400
    EXPECT_EQ(Rest(n2), 80);
    EXPECT_EQ(Rest(n3), 0);
    CArticWrkUtil::DelEvnt(n1);
    EXPECT_EQ(Rest(n2), 130);  // 0 ends at 350
    EXPECT_EQ(Rest(n3), 0);    // nothing starts before it any more
    // The note's own track need not be selected; the notes before it must.
    EXPECT_EQ(Rest(hidden), 100);  // after n4, which ends at 50
    trk->SetSelTrk(0);
    EXPECT_EQ(Rest(hidden), 0);
}

// A song-sized run of notes whose numbers follow their times, but for a few
// swapped pairs: the queries agree with a walk over every note.
TEST(ArticWrkNoteIndex, AgreesWithAWalkOverEveryNote) {
    CArticWrk wrk;
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    std::vector<CArticWrkEvnt*> notes;
    for (ULONG i = 0; i < 400; ++i) {
        const ULONG no = (i % 37 == 5) ? i + 1 : (i % 37 == 6) ? i - 1 : i;
        notes.push_back(AddNote(blk, no, INT64(i) * 60, BYTE(40 + i % 30), (i % 11 == 0) ? 400 : 50));
    }
    for (int round = 0; round < 2; ++round) {
        for (CArticWrkEvnt* note : notes) {
            INT64 walked = 0;
            bool found = false, sounding = false;
            for (CArticWrkEvnt* q : notes) {
                if (q->GetEvntNo() >= note->GetEvntNo() || q->GetTime() >= note->GetTime()) continue;
                const INT64 gap = note->GetTime() - (q->GetTime() + q->GetGateTime());
                sounding = sounding || gap < 0;
                if (!found || gap < walked) walked = gap;
                found = true;
            }
            ASSERT_EQ(CArticWrkUtil::GetWrkPrevRest(note), sounding || !found ? 0 : walked) << note->GetEvntNo();
        }
        for (INT64 from = 0; from < 24000; from += 997) {
            CArticWrkEvntList list;
            ASSERT_EQ(wrk.GetAreaWrkEvntInEvntPosArray(from, from + 1500, 1, &list), 0);
            std::vector<ULONG> expected, got;
            for (CArticWrkEvnt* q : notes)
                if (q->GetTime() >= from && q->GetTime() <= from + 1500) expected.push_back(q->GetEvntNo());
            std::sort(expected.begin(), expected.end());
            for (POSITION p = list.GetHeadPosition(); p;) got.push_back(list.GetNext(p)->GetEvntNo());
            ASSERT_EQ(got, expected) << from;
        }
        if (round == 0) notes[150]->SetGateTime(3000);  // the second round after an edit
    }
}

// Rests, chord partners and the bend before a note over a song-sized run: the
// queries agree with the partner and bend definitions applied to every note,
// before and after an edit.
TEST(ArticWrkNoteIndex, ChordPartnersAndBendsAgreeWithTheirDefinitions) {
    CArticWrk wrk;
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkBlk* bendBlk = AddBlock(AddTrack(wrk, 2, 0));  // bends count on any track
    std::vector<CArticWrkEvnt*> notes, bends;
    ULONG no = 0;
    for (int i = 0; i < 300; ++i) {
        // Pairs of notes at one time every third step, a long note now and then.
        const INT64 time = INT64(i / 2) * 120 + ((i % 3 == 0) ? 0 : (i % 2) * 60);
        const INT64 gate = (i % 17 == 0) ? 900 : 100 + (i % 5) * 20;
        notes.push_back(AddNote(blk, no++, time, BYTE(40 + i % 30), gate));
        if (i % 23 == 4) {
            CArticWrkEvnt* bend = NewEvnt(bendBlk, no++, 0xE0, time, BYTE(i % 128), 64);
            bendBlk->AddTail(bend, 1);
            bends.push_back(bend);
        }
    }
    const INT64 len = 30;
    const auto end = [](const CArticWrkEvnt* e) { return e->GetTime() + e->GetGateTime(); };
    // Each round after one more edit: none, a longer note, a bend moved early.
    const std::function<void()> kEdits[] = {[] {}, [&] { notes[100]->SetGateTime(2000); },
                                            [&] { bends[2]->SetTime(0, 0); }};
    for (const auto& edit : kEdits) {
        edit();
        for (CArticWrkEvnt* note : notes) {
            const INT64 start = note->GetTime(), stop = end(note);
            CArticWrkEvnt* next = nullptr;
            CArticWrkEvnt* prev = nullptr;
            for (CArticWrkEvnt* q : notes) {  // ascending numbers
                if (!next && q->GetEvntNo() > note->GetEvntNo() && q->GetTime() >= start && q->GetTime() <= stop &&
                    std::min(end(q), stop) - q->GetTime() > len)
                    next = q;
                if (q->GetEvntNo() < note->GetEvntNo() && q->GetTime() <= start && end(q) >= start &&
                    std::min(end(q), stop) - start > len)
                    prev = q;  // the last one is the highest number
            }
            INT64 rest = 0;
            bool found = false, sounding = false;
            for (CArticWrkEvnt* q : notes) {
                if (q->GetEvntNo() >= note->GetEvntNo() || q->GetTime() >= start) continue;
                sounding = sounding || end(q) > start;
                if (!found || start - end(q) < rest) rest = start - end(q);
                found = true;
            }
            ASSERT_EQ(CArticWrkUtil::GetWrkPrevRest(note), sounding || !found ? 0 : rest) << note->GetEvntNo();
            CArticWrkEvnt* got = nullptr;
            ASSERT_EQ(CArticWrkUtil::GetWrkNextChordWrkEvnt(note, len, &got), 0);
            ASSERT_EQ(got, next) << note->GetEvntNo();
            ASSERT_EQ(CArticWrkUtil::GetWrkPrevChordWrkEvnt(note, len, &got), 0);
            ASSERT_EQ(got, prev) << note->GetEvntNo();
            // Up the numbers from the note while events start before it, the
            // last bend met; else the highest-numbered bend below it that
            // starts by then.
            const CArticWrkEvnt* bend = nullptr;
            for (ULONG k = note->GetEvntNo() + 1; k < no; ++k) {
                CArticWrkEvnt* e = wrk.GetEvntInEvntPosArray(k, 1);
                if (e->GetTime() >= start) break;
                if (e->GetStatus() == 0xE0) bend = e;
            }
            if (!bend)
                for (CArticWrkEvnt* b : bends)
                    if (b->GetEvntNo() < note->GetEvntNo() && b->GetTime() <= start) bend = b;
            const short level = bend ? short(bend->GetPost1() | (bend->GetPost2() << 7)) - 8192 : 0;
            ASSERT_EQ(CArticWrkUtil::GetPbLevel(note, start, 0), level) << note->GetEvntNo();
        }
    }
}

// The controller in force before a time as a rule asks it at a note: found
// up the numbers from the note, else down from it; asked twice per state so
// that the second answer comes from the index, after edits that change a
// controller's time, number or status.
TEST(ArticWrkNoteIndex, ControllerBeforeATimeFollowsEveryEdit) {
    CArticWrk wrk;
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    std::vector<CArticWrkEvnt*> notes, ccs;
    ULONG no = 0;
    for (int i = 0; i < 60; ++i) {
        const INT64 time = INT64(i) * 120;
        notes.push_back(AddNote(blk, no++, time, BYTE(60 + i % 12), 100));
        if (i % 7 == 3) ccs.push_back(AddCc(blk, no++, time + 30, i % 2 ? 11 : 7, BYTE(i)));
    }
    // The definition: up the numbers while events start before `time`, the
    // last controller met; else the highest-numbered one below that starts before it.
    const auto expected = [&](CArticWrkEvnt* note, INT64 time, BYTE number) -> CArticWrkEvnt* {
        const auto isCc = [number](const CArticWrkEvnt* e) { return e->GetStatus() == 0xB0 && e->GetPost1() == number; };
        CArticWrkEvnt* up = nullptr;
        for (ULONG k = note->GetEvntNo() + 1; k < no; ++k) {
            CArticWrkEvnt* e = wrk.GetEvntInEvntPosArray(k, 1);
            if (!e) continue;
            if (e->GetTime() >= time) break;
            if (isCc(e)) up = e;
        }
        if (up) return up;
        for (ULONG k = note->GetEvntNo(); k-- > 0;) {
            CArticWrkEvnt* e = wrk.GetEvntInEvntPosArray(k, 1);
            if (e && isCc(e) && e->GetTime() < time) return e;
        }
        return nullptr;
    };
    const std::function<void()> kEdits[] = {
        [] {},
        [&] { ccs[1]->SetPost1(11); },  // a 7 becomes an 11
        [&] { ccs[5]->SetTime(ccs[5]->GetTime() + 900, 0); },  // out of time order
        [&] { ccs[5]->SetTime(ccs[5]->GetTime() - 900, 0); },
        [&] { ccs[0]->SetStatus(0xA0); },  // no controller any more
    };
    for (const auto& edit : kEdits) {
        edit();
        for (CArticWrkEvnt* note : notes) {
            for (INT64 delta : {INT64(-200), INT64(0), INT64(31), INT64(500)}) {
                for (BYTE number : {BYTE(7), BYTE(11)}) {
                    const INT64 time = note->GetTime() + delta;
                    CArticWrkEvnt* want = expected(note, time, number);
                    for (int ask = 0; ask < 2; ++ask)
                        ASSERT_EQ(CArticWrkUtil::GetFrontContCcEvnt(note, time, number), want)
                            << "note " << note->GetEvntNo() << " time " << time << " cc " << int(number);
                }
            }
        }
    }
}

// The table's slots resolve from the index while it holds: a change of a
// record must be seen at once.
TEST(ArticWrkNoteIndex, TableSlotsFollowEveryChangeOfARecord) {
    CArticWrk wrk;
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    std::vector<CArticWrkEvnt*> notes;
    for (ULONG no = 0; no < 6; ++no) notes.push_back(AddNote(blk, no, INT64(no) * 100, BYTE(60 + no), 50));
    CArticWrkEvnt* twin = NewEvnt(blk, 2, 0x90, 250, 70, 100, 10);  // number 2 again, not registered
    blk->AddTail(twin, 0);
    const auto indexed = [&] {
        // Two note queries over one state build the index.
        CArticWrkUtil::GetWrkPrevRest(notes[5]);
        CArticWrkUtil::GetWrkPrevRest(notes[5]);
    };
    indexed();
    for (ULONG no = 0; no < 6; ++no) EXPECT_EQ(wrk.GetEvntInEvntPosArray(no, 1), notes[no]) << no;
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(6u, 1), nullptr);
    ASSERT_EQ(wrk.ResetEvntPos(twin), 0);  // slot 2 now holds the twin
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(2u, 1), twin);
    indexed();
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(2u, 1), twin);
    ASSERT_EQ(wrk.ResetEvntPos(3u), 0);  // slot 3 emptied
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(3u, 1), nullptr);
    indexed();
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(3u, 1), nullptr);
    ASSERT_EQ(wrk.ResetEvntPos(notes[3]), 0);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(3u, 1), notes[3]);
}
