#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "driver/ArticTransMgr.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/WorkFixture.h"

namespace {

// An event as written in the tables: kind ('N' note, 'P' program change, 'B'
// pitch bend, 'X' exclusive, 'L' lyric, 'R' packed RPN, 'C' control change
// with its number), time.
struct TransEv {
    char kind;
    INT64 time;
    BYTE number = 0;
};

BYTE TransStatus(char kind) {
    switch (kind) {
        case 'N': return 0x90;
        case 'P': return 0xC0;
        case 'B': return 0xE0;
        case 'X': return 0xF0;
        case 'L': return 0xFF;
        case 'R': return 0x20;
        default: return 0xB0;
    }
}

// The events appended in the given order (same-time order is the test's subject).
void TransFill(CArticWrkBlk* blk, const std::vector<TransEv>& events) {
    ULONG no = 1;
    for (const TransEv& ev : events) {
        CArticWrkEvnt* e = wrktest::NewEvnt(blk, no++, TransStatus(ev.kind), ev.time, ev.number, 64,
                                            ev.kind == 'N' ? 100 : 0);
        blk->AddTail(e, 1);
    }
}

std::string TransRows(const CArticWrkBlk* blk) {
    std::string out;
    for (POSITION p = blk->GetHeadPos(); p;) {
        const CArticWrkEvnt* e = blk->GetNext(p);
        if (!out.empty()) out += ' ';
        switch (e->GetStatus() >= 0xF0 ? e->GetStatus() : e->GetStatus() & 0xF0) {
            case 0xF0: out += "X"; break;
            case 0xFF: out += "L"; break;
            case 0x20: out += "R"; break;
            case 0x90: out += "N"; break;
            case 0xC0: out += "P"; break;
            case 0xE0: out += "B"; break;
            default: out += "C" + std::to_string(e->GetPost1()); break;
        }
        out += "@" + std::to_string(e->GetTime());
    }
    return out;
}

struct TransCase {
    const char* name;
    std::vector<TransEv> events;
    const char* expected;
};

class TransOrdering : public ::testing::TestWithParam<TransCase> {};

TEST_P(TransOrdering, PartBlockIsTidiedBeforeTransfer) {
    CArticWrk wrk;
    wrktest::AddBlock(wrktest::AddTrack(wrk, 0));
    CArticWrkBlk* part = wrktest::AddBlock(wrktest::AddTrack(wrk, 1));
    TransFill(part, GetParam().events);
    CArticTransMgr mgr(&wrk, nullptr, nullptr);
    ASSERT_EQ(mgr.EditToWrk(), 0);
    EXPECT_EQ(TransRows(part), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TransOrdering,
    ::testing::Values(
        TransCase{"BendStepBeforeNoteGoes", {{'B', 94}, {'B', 97}, {'N', 100}, {'B', 100}}, "B@94 N@100 B@100"},
        TransCase{"BendsFromZeroGoBeforeNoteAtFour",
                  {{'B', 0}, {'B', 1}, {'B', 2}, {'B', 3}, {'N', 4}, {'B', 4}},
                  "N@4 B@4"},
        TransCase{"NothingGoesBeforeNoteAtOne", {{'B', 0}, {'N', 1}, {'B', 1}}, "B@0 N@1 B@1"},
        TransCase{"SameControllerAtNoteRemovesStep",
                  {{'C', 98, 7}, {'N', 100}, {'C', 100, 7}},
                  "C7@100 N@100"},
        TransCase{"OtherControllerAtNoteKeepsStep",
                  {{'C', 98, 7}, {'N', 100}, {'C', 100, 10}},
                  "C7@98 C10@100 N@100"},
        TransCase{"ControllerWithoutNoteKeepsStep", {{'C', 98, 7}, {'C', 100, 7}}, "C7@98 C7@100"},
        TransCase{"BankSelectBeforeProgram",
                  {{'P', 10}, {'C', 10, 0}, {'C', 10, 32}},
                  "C0@10 C32@10 P@10"},
        TransCase{"ProgramBeforeNote", {{'N', 10}, {'P', 10}}, "P@10 N@10"},
        TransCase{"NoteSeparatesBankSelectFromProgram",
                  {{'N', 5}, {'N', 10}, {'P', 10}, {'C', 10, 0}},
                  "N@5 P@10 N@10 C0@10"},
        // At the block's first note the set-up comes first, in its own order,
        // whatever lies between; later notes and other kinds keep their place.
        TransCase{"FirstNoteTakesItsSetUpFirst",
                  {{'N', 10}, {'C', 10, 7}, {'P', 10}, {'C', 10, 0}, {'X', 10}, {'R', 10}},
                  "C7@10 C0@10 P@10 X@10 R@10 N@10"},
        TransCase{"FirstChordTakesItsSetUpFirst",
                  {{'C', 0, 0}, {'C', 0, 32}, {'N', 0}, {'N', 0}, {'C', 0, 7}, {'P', 0}, {'N', 0}, {'X', 0}},
                  "C0@0 C32@0 C7@0 P@0 X@0 N@0 N@0 N@0"},
        TransCase{"FirstNoteLeavesBendsLyricsAndLaterTicks",
                  {{'N', 10}, {'B', 10}, {'L', 10}, {'C', 10, 7}, {'C', 12, 10}},
                  "C7@10 N@10 B@10 L@10 C10@12"},
        TransCase{"SetUpBeforeFirstNoteStays",
                  {{'C', 10, 0}, {'P', 10}, {'N', 10}, {'C', 10, 7}, {'N', 20}, {'C', 20, 7}},
                  "C0@10 P@10 C7@10 N@10 N@20 C7@20"},
        // A voice change behind the notes of its tick after the block's first
        // note (a rule's program change on a chord's head, its bank selects one
        // tick ahead clamped to the same tick) goes ahead of them with its bank
        // selects.
        TransCase{"BankSelectedProgramGoesBeforeTheNotesOfItsTick",
                  {{'N', 5}, {'N', 10}, {'N', 10}, {'C', 10, 0}, {'C', 10, 32}, {'P', 10}},
                  "N@5 C0@10 C32@10 P@10 N@10 N@10"},
        TransCase{"BankSelectsAheadOfTheNoteStay",
                  {{'N', 5}, {'C', 10, 0}, {'N', 10}, {'C', 10, 32}, {'P', 10}, {'N', 10}},
                  "N@5 C0@10 C32@10 P@10 N@10 N@10"},
        TransCase{"ProgramAtOtherTimeEndsRun",
                  {{'P', 10}, {'P', 20}, {'C', 20, 0}},
                  "P@10 C0@20 P@20"},
        // A note's bend step goes before the next note is looked at: in time
        // order the later note keeps its own bend, and its step goes too.
        TransCase{"BendStepsOfNotesInTimeOrder",
                  {{'B', 193}, {'N', 197}, {'B', 197}, {'N', 200}, {'B', 200}},
                  "N@197 N@200 B@200"},
        // Out of time order, an earlier-listed note's step can take the bend
        // at a later-listed note's tick: that note then has no bend to clear for.
        TransCase{"BendStepOfAnEarlierListedNoteTakesALaterNotesBend",
                  {{'B', 193}, {'B', 197}, {'N', 200}, {'B', 200}, {'N', 197}},
                  "B@193 N@200 B@200 N@197"},
        // In time order each note's window is found from the note's place: the
        // window's edges (five ticks to one tick before) hold, the steps of
        // other controllers and of earlier windows stay, notes of one tick share it
        // (the first note takes its controller ahead, as above).
        TransCase{"StepWindowsOfManyNotesInTimeOrder",
                  {{'C', 94, 7}, {'B', 94}, {'C', 95, 7}, {'B', 95}, {'C', 96, 10}, {'B', 99}, {'C', 99, 7},
                   {'N', 100}, {'N', 100}, {'B', 100}, {'C', 100, 7}, {'C', 104, 10}, {'B', 105}, {'C', 109, 10},
                   {'N', 110}, {'C', 110, 10}, {'B', 120}, {'N', 121}, {'C', 121, 7}},
                  "C7@94 B@94 C10@96 C7@100 N@100 N@100 B@100 C10@104 B@105 N@110 C10@110 B@120 N@121 C7@121"},
        TransCase{"ParameterNumbersBeforeDataEntry",
                  {{'C', 10, 6}, {'C', 10, 101}, {'C', 10, 100}},
                  "C101@10 C100@10 C6@10"}),
    [](const ::testing::TestParamInfo<TransCase>& info) { return std::string(info.param.name); });

TEST(TransMgr, MasterTrackKeepsItsOrder) {
    CArticWrk wrk;
    CArticWrkBlk* master = wrktest::AddBlock(wrktest::AddTrack(wrk, 0));
    TransFill(master, {{'C', 10, 6}, {'C', 10, 101}, {'B', 17}, {'N', 20}, {'B', 20}, {'N', 30}, {'P', 30}});
    CArticTransMgr mgr(&wrk, nullptr, nullptr);
    ASSERT_EQ(mgr.EditToWrk(), 0);
    EXPECT_EQ(TransRows(master), "C6@10 C101@10 B@17 N@20 B@20 N@30 P@30");
}

TEST(TransMgr, OutPositionsAreRemovedOnceAndTransferNeedsHost) {
    CArticWrk wrk;
    CArticTransMgr mgr(&wrk, nullptr, nullptr);
    POSITION a = reinterpret_cast<POSITION>(uintptr_t(0x10)), b = reinterpret_cast<POSITION>(uintptr_t(0x20));
    mgr.GetOutPosList()->AddTail(new CArticPos(a, b, nullptr));
    mgr.GetOutPosList()->AddTail(new CArticPos(a, b, nullptr));
    EXPECT_EQ(mgr.DelOutPos(a, nullptr), 1);
    EXPECT_EQ(mgr.DelOutPos(a, b), 0);
    EXPECT_EQ(mgr.GetOutPosList()->GetCount(), 1);
    POSITION trk = nullptr;
    EXPECT_EQ(mgr.ConvToCEditorRep(&trk, nullptr, nullptr), 1);  // no host
}

}  // namespace
