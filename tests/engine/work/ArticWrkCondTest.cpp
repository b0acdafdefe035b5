#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/work/ArticWrkCond.h"
#include "WorkFixture.h"

using namespace wrktest;

namespace {

struct CondFixture : ::testing::Test {
    CArticWrk wrk;
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkCond* cond = blk->GetCond();

    CArticWrkEvnt* Tempo(ULONG no, INT64 time, BYTE low) {
        CArticWrkEvnt* e = NewMeta(blk, no, time, 0x51, {0x07, 0xA1, low});
        blk->Sort(e, 1);
        return e;
    }
};

}  // namespace

TEST_F(CondFixture, OneEntryPerTimeWithTheLatestContent) {
    ASSERT_NE(cond, nullptr);
    cond->SetEvntTempo(Tempo(0, 0, 0x20));
    cond->SetEvntTempo(Tempo(1, 0, 0x21));
    CArticWrkEvnt* entry = nullptr;
    ASSERT_EQ(cond->GetEvntTempo(0, &entry), 0);
    const BYTE* data = nullptr;
    ASSERT_EQ(entry->GetMeta(nullptr, &data), 3u);
    EXPECT_EQ(data[2], 0x21);
    EXPECT_EQ(entry->GetEvntNo(), 1u);
    EXPECT_EQ(cond->GetNextEvntTempo(-1, &entry), 0);
    EXPECT_EQ(cond->GetNextEvntTempo(0, &entry), 1);
}

TEST_F(CondFixture, InForceNextAndPrevious) {
    CArticWrkEvnt* t0 = Tempo(0, 0, 0x20);
    CArticWrkEvnt* t960 = Tempo(1, 960, 0x21);
    cond->SetEvntTempo(t960);  // out of order on purpose
    cond->SetEvntTempo(t0);
    struct Case { const char* what; int (CArticWrkCond::*get)(INT64, CArticWrkEvnt**); INT64 time; int rc; INT64 at; };
    const Case cases[] = {
        {"in force 959", &CArticWrkCond::GetEvntTempo, 959, 0, 0},
        {"in force 960", &CArticWrkCond::GetEvntTempo, 960, 0, 960},
        {"in force after all", &CArticWrkCond::GetEvntTempo, 5000, 0, 960},
        {"in force before all", &CArticWrkCond::GetEvntTempo, -1, 1, 0},
        {"next after 960", &CArticWrkCond::GetNextEvntTempo, 960, 1, 0},
        {"next after 0", &CArticWrkCond::GetNextEvntTempo, 0, 0, 960},
        {"previous before 960", &CArticWrkCond::GetPrevEvntTempo, 960, 0, 0},
        {"previous before 0", &CArticWrkCond::GetPrevEvntTempo, 0, 1, 0},
    };
    for (const auto& c : cases) {
        CArticWrkEvnt* entry = nullptr;
        EXPECT_EQ((cond->*c.get)(c.time, &entry), c.rc) << c.what;
        if (c.rc == 0) {
            ASSERT_NE(entry, nullptr) << c.what;
            EXPECT_EQ(entry->GetTime(), c.at) << c.what;
            EXPECT_NE(entry, t0);  // entries are private copies
            EXPECT_NE(entry, t960);
        }
    }
}

TEST_F(CondFixture, DeletingEntriesKeepsTheRealEventsRegistered) {
    std::vector<CArticWrkEvnt*> notes;
    const INT64 times[] = {479, 480, 960, 961};
    ULONG no = 0;
    for (INT64 t : times) {
        notes.push_back(AddNote(blk, no++, t, 60));
        cond->SetEvntNote(notes.back());
    }
    EXPECT_EQ(cond->DelEvntNote(480, 960), 0);
    CArticWrkEvnt* entry = nullptr;
    ASSERT_EQ(cond->GetEvntNote(960, &entry), 0);
    EXPECT_EQ(entry->GetTime(), 479);
    ASSERT_EQ(cond->GetNextEvntNote(479, &entry), 0);
    EXPECT_EQ(entry->GetTime(), 961);
    for (ULONG i = 0; i < 4; ++i) EXPECT_EQ(wrk.GetEvntInEvntPosArray(i, 1), notes[i]) << i;
}

TEST_F(CondFixture, DeletingABlockLeavesOtherBlocksNumbersAlone) {
    CArticWrkEvnt* kept = AddNote(blk, 0, 0, 60);
    CArticWrkTrk* trk2 = AddTrack(wrk, 2);
    auto* doomed = AddBlock(trk2);
    CArticWrkEvnt* gone = AddNote(doomed, 1, 0, 62);
    doomed->SetCondPos(gone);
    doomed->GetCond()->SetEvntNote(kept);  // an entry copied from another block's event
    trk2->Remove(doomed, nullptr);
    delete doomed;
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(0u, 1), kept);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(1u, 0), nullptr);
}

TEST_F(CondFixture, PitchBendRangeShiftClamps) {
    struct Case { BYTE start; short shift; BYTE expected; };
    const Case cases[] = {{125, 5, 127}, {1, -3, 0}, {12, 2, 14}};
    for (const auto& c : cases) {
        CArticWrkCond timeline(&wrk);
        CArticWrkEvnt range(blk, 0);
        range.SetStatus(0x20);
        range.SetPost3(c.start);
        timeline.SetEvntPbRange(&range);
        CArticWrkEvnt other(blk, 1);  // data entry in the same list: left alone
        other.SetStatus(0xB0);
        other.SetPost1(6);
        other.SetPost2(c.start);
        other.SetTime(10, 0);
        timeline.SetEvntPbRange(&other);
        EXPECT_EQ(timeline.ShiftEvntPbRange(0, 100, c.shift), 0);
        CArticWrkEvnt* entry = nullptr;
        ASSERT_EQ(timeline.GetEvntPbRange(0, &entry), 0);
        EXPECT_EQ(entry->GetPost3(), c.expected);
        ASSERT_EQ(timeline.GetEvntPbRange(10, &entry), 0);
        EXPECT_EQ(entry->GetPost2(), c.start);
    }
}

TEST_F(CondFixture, AssignmentCopiesEveryList) {
    cond->SetEvntTempo(Tempo(0, 0, 0x20));
    CArticWrkEvnt* note = AddNote(blk, 1, 240, 64);
    cond->SetEvntNote(note);
    CArticWrkCond copy(nullptr);
    copy = *cond;
    EXPECT_EQ(copy.GetWrk(), &wrk);
    CArticWrkEvnt* entry = nullptr;
    EXPECT_EQ(copy.GetEvntTempo(0, &entry), 0);
    EXPECT_EQ(copy.GetEvntNote(300, &entry), 0);
    EXPECT_EQ(entry->GetPost1(), 64);
    cond->Clear();
    EXPECT_EQ(cond->GetEvntNote(300, &entry), 1);
    EXPECT_EQ(copy.GetEvntNote(300, &entry), 0);
}

namespace {

// Every entry of every list, in time order, as text: what a timeline answers.
std::string Answers(CArticWrkCond& timeline) {
    using Next = int (CArticWrkCond::*)(INT64, CArticWrkEvnt**);
    const Next kLists[] = {&CArticWrkCond::GetNextEvntBeat,    &CArticWrkCond::GetNextEvntMeter,
                           &CArticWrkCond::GetNextEvntTempo,   &CArticWrkCond::GetNextEvntPbRange,
                           &CArticWrkCond::GetNextEvntExpr,    &CArticWrkCond::GetNextEvntNote,
                           &CArticWrkCond::GetNextEvntVoice};
    std::string text;
    for (Next next : kLists) {
        CArticWrkEvnt* e = nullptr;
        for (INT64 t = -1; (timeline.*next)(t, &e) == 0; t = e->GetTime()) {
            const BYTE* data = nullptr;
            const ULONG len = e->GetMeta(nullptr, &data);
            text += std::to_string(e->GetTime()) + ":" + std::to_string(e->GetStatus()) + "/" +
                    std::to_string(e->GetPost1()) + "/" + std::to_string(e->GetPost2()) + "/" +
                    std::to_string(e->GetPost3()) + "/" + std::to_string(e->GetEvntNo());
            for (ULONG i = 0; i < len && data; ++i) text += "." + std::to_string(data[i]);
            text += " ";
        }
        text += "| ";
    }
    return text;
}

struct SharedCondFixture : CondFixture {
    std::vector<std::unique_ptr<CArticWrkEvnt>> sources;  // events the entries are copied from

    CArticWrkEvnt* Source(ULONG no, BYTE status, INT64 time, BYTE post1, BYTE post2, BYTE post3 = 0) {
        sources.emplace_back(NewEvnt(blk, no, status, time, post1, post2));
        sources.back()->SetPost3(post3);
        return sources.back().get();
    }
    CArticWrkEvnt* SourceTempo(ULONG no, INT64 time, BYTE low) {
        sources.emplace_back(NewMeta(blk, no, time, 0x51, {0x07, 0xA1, low}));
        return sources.back().get();
    }
    // The same entries into any timeline.
    void Fill(CArticWrkCond& timeline) {
        timeline.SetEvntNote(Source(1, 0x90, 0, 60, 100));
        timeline.SetEvntNote(Source(2, 0x90, 480, 62, 90));
        timeline.SetEvntNote(Source(3, 0x90, 960, 64, 80));
        timeline.SetEvntExpr(Source(4, 0xB0, 0, 11, 100));
        timeline.SetEvntPbRange(Source(5, 0x20, 0, 0, 0, 2));
        timeline.SetEvntPbRange(Source(6, 0x20, 480, 0, 0, 12));
        timeline.SetEvntVoice(Source(7, 0x30, 0, 1, 2, 3));
    }
};

// One change to a timeline.
struct CondEdit {
    const char* what;
    void (*apply)(SharedCondFixture&, CArticWrkCond&);
};

const CondEdit kCondEdits[] = {
    {"note replaced at its time",
     [](SharedCondFixture& f, CArticWrkCond& c) { c.SetEvntNote(f.Source(8, 0x90, 480, 70, 1)); }},
    {"note added", [](SharedCondFixture& f, CArticWrkCond& c) { c.SetEvntNote(f.Source(9, 0x90, 720, 71, 2)); }},
    {"notes deleted", [](SharedCondFixture&, CArticWrkCond& c) { c.DelEvntNote(400, 800); }},
    {"ranges shifted", [](SharedCondFixture&, CArticWrkCond& c) { c.ShiftEvntPbRange(0, 1000, 3); }},
    {"range edited through its list",
     [](SharedCondFixture&, CArticWrkCond& c) {
         CArticWrkEvntList* list = c.GetPbRangeList();
         if (list && !list->IsEmpty()) list->GetHead()->SetPost3(99);
     }},
    {"tempo added",
     [](SharedCondFixture& f, CArticWrkCond& c) { c.SetEvntTempo(f.SourceTempo(10, 240, 0x30)); }},
    {"everything cleared", [](SharedCondFixture&, CArticWrkCond& c) { c.Clear(); }},
    {"voice after clearing",
     [](SharedCondFixture& f, CArticWrkCond& c) { c.SetEvntVoice(f.Source(11, 0x30, 0, 4, 5, 6)); }},
};

}  // namespace

// A copied timeline shares its source's entries until one of the two changes:
// every change on either side is seen by that side only, the same as on a
// twin filled the same way and never shared, also after the source is gone.
TEST_F(SharedCondFixture, CopiesAnswerLikeUnsharedTwinsThroughEveryChange) {
    for (bool editSource : {true, false}) {
        auto source = std::make_unique<CArticWrkCond>(&wrk);
        CArticWrkCond sourceTwin(&wrk), copy(nullptr), copyTwin(&wrk);
        for (CArticWrkCond* c : {source.get(), &sourceTwin, &copyTwin}) Fill(*c);
        copy = *source;
        ASSERT_EQ(Answers(copy), Answers(copyTwin));
        // Further copies share as well: one of the copy that lives on.
        CArticWrkCond second(nullptr);
        second = copy;
        const std::string secondAnswers = Answers(second);
        for (const CondEdit& edit : kCondEdits) {
            CArticWrkCond& edited = editSource ? *source : copy;
            edit.apply(*this, edited);
            edit.apply(*this, editSource ? sourceTwin : copyTwin);
            EXPECT_EQ(Answers(*source), Answers(sourceTwin)) << edit.what << (editSource ? " on the source" : " on the copy");
            EXPECT_EQ(Answers(copy), Answers(copyTwin)) << edit.what << (editSource ? " on the source" : " on the copy");
            EXPECT_EQ(Answers(second), secondAnswers) << edit.what;
        }
        source.reset();
        EXPECT_EQ(Answers(copy), Answers(copyTwin)) << "after the source was destroyed";
        EXPECT_EQ(Answers(second), secondAnswers) << "after the source was destroyed";
    }
}

// Entries keep the real events' registrations alone when the last timeline
// sharing them goes, as they do when a single one goes.
TEST_F(CondFixture, SharedEntriesLeaveTheRealEventsRegistered) {
    CArticWrkEvnt* note = AddNote(blk, 3, 0, 60);
    {
        CArticWrkCond a(&wrk), b(nullptr);
        a.SetEvntNote(note);
        b = a;
        CArticWrkCond c(nullptr);
        c = b;
        a.Clear();
    }
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(3u, 1), note);
}
