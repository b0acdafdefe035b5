#include <gtest/gtest.h>

#include <cstring>

#include "services/ArticErr.h"
#include "engine/rules/ArticPrmExp.h"
#include "engine/work/ArticFngrInfo.h"
#include "engine/work/ArticWrkUtil.h"
#include "WorkFixture.h"

using namespace wrktest;

TEST(ArticWrkEvnt, NewEventHasEmptyArraysAndDefaults) {
    CArticWrkEvnt e;
    EXPECT_EQ(e.GetSeqEvntNo(), 0xFFFFFFFFu);
    ULONG meas = 0, beat = 0, tick = 9;
    e.GetMeas(&meas, &beat, &tick);
    EXPECT_EQ(meas, 1u);
    EXPECT_EQ(beat, 1u);
    EXPECT_EQ(tick, 0u);
    EXPECT_EQ(e.GetCreate(), 0);
    ASSERT_NE(e.GetOutArray(), nullptr);
    EXPECT_EQ(e.GetOutArray()->GetSize(), 0);
    EXPECT_EQ(e.GetPrmExpArraySize(), 0);
    EXPECT_EQ(e.ClearExvArray(), 1);  // present, so clearing reports done
    EXPECT_EQ(e.ClearPrmExpArray(), 0);  // absent until needed
    EXPECT_EQ(e.GetFngrInfo(), nullptr);
    EXPECT_EQ(e.GetChordEvntList(), nullptr);
}

TEST(ArticWrkEvnt, PerSetArraysGrowInStepsOfFive) {
    CArticWrkEvnt e;
    EXPECT_EQ(e.SetOut(7, 0), 1);  // a zero in an empty slot stores nothing
    EXPECT_EQ(e.GetOutArray()->GetSize(), 10);
    EXPECT_EQ(e.GetOutArray()->GetAt(7), nullptr);
    EXPECT_EQ(e.GetOut(7), 0);
    EXPECT_EQ(e.GetOut(12), 0);
    EXPECT_EQ(e.SetOut(10, 1), 1);
    EXPECT_EQ(e.GetOutArray()->GetSize(), 15);
    EXPECT_EQ(e.GetOut(10), 1);
    EXPECT_EQ(e.SetProb(0, 0.25), 1);
    EXPECT_DOUBLE_EQ(e.GetProb(0), 0.25);
    EXPECT_DOUBLE_EQ(e.GetProb(3), 0.0);
    // size n, index i -> n + ((i - n) div 5) * 5 + 5
    EXPECT_EQ(CArticWrkEvnt::GrownSize(0, 0), 5);
    EXPECT_EQ(CArticWrkEvnt::GrownSize(0, 4), 5);
    EXPECT_EQ(CArticWrkEvnt::GrownSize(0, 5), 10);
    EXPECT_EQ(CArticWrkEvnt::GrownSize(10, 22), 25);
    // A number far beyond any rule set is refused instead of exhausting memory.
    EXPECT_EQ(e.SetExv(kNoRuleSet, 3), 0);
}

TEST(ArticWrkEvnt, ExpressionListsKeepOnlyNonEmptyTexts) {
    CArticWrkEvnt e;
    CStringList blanks;
    blanks.AddTail("");
    blanks.AddTail("");
    EXPECT_EQ(e.SetExpEvntList(2, &blanks), 1);
    ASSERT_NE(e.GetExpEvntList(2), nullptr);
    EXPECT_EQ(e.GetExpEvntList(2)->GetCount(), 0);

    CStringList none;
    EXPECT_EQ(e.SetExpEvntList(4, &none), 1);
    EXPECT_EQ(e.GetExpEvntList(4), nullptr);

    CStringList texts;
    texts.AddTail("A(1)");
    texts.AddTail("");
    texts.AddTail("B(2)");
    EXPECT_EQ(e.SetExpEvntList(4, &texts), 1);
    CStringList* got = nullptr;
    ASSERT_EQ(e.GetExpEvntList(4, &got), 1);
    EXPECT_EQ(Lines(*got), (std::vector<CString>{"A(1)", "B(2)"}));
    EXPECT_EQ(e.SetExpEvntList(0, nullptr), 0);
}

TEST(ArticWrkEvnt, ChordAndHarmonyPartners) {
    CArticWrkEvnt e, partner;
    e.AddHarmoEvnt(&partner);
    e.AddHarmoEvnt(&partner);
    e.AddChordEvnt(&partner);
    e.AddChordEvnt(&partner);
    EXPECT_EQ(e.GetHarmoEvntList()->GetCount(), 1);
    EXPECT_EQ(e.GetChordEvntList()->GetCount(), 2);

    // A fresh event keeps no chord list, so assignment gives it no partners.
    CArticWrkEvnt fresh;
    fresh = e;
    EXPECT_EQ(fresh.GetChordEvntList(), nullptr);
    // One that has a list gets the partners appended (shared, not copied).
    CArticWrkEvnt withList;
    withList.AddChordEvnt(nullptr);
    withList = e;
    ASSERT_NE(withList.GetChordEvntList(), nullptr);
    EXPECT_EQ(withList.GetChordEvntList()->GetCount(), 2);
    EXPECT_EQ(withList.GetChordEvntList()->GetHead(), &partner);
}

TEST(ArticWrkEvnt, KeyShiftClampsToSignedByte) {
    struct Case { int start, add, expected; };
    const Case cases[] = {{100, 100, 127}, {-100, -100, -128}, {5, -7, -2}, {127, 0, 127}};
    for (const auto& c : cases) {
        CArticWrkEvnt e;
        e.SetKeyShift(static_cast<signed char>(c.start));
        e.AddKeyShift(c.add);
        EXPECT_EQ(e.GetKeyShift(), c.expected) << c.start << " + " << c.add;
    }
}

TEST(ArticWrkEvnt, DataBlockIsOwnedAndBounded) {
    CArticWrkEvnt e;
    const BYTE tempo[3] = {0x07, 0xA1, 0x20};
    e.SetMeta(0x51, tempo, 3);
    BYTE type = 0;
    const BYTE* data = nullptr;
    EXPECT_EQ(e.GetMeta(&type, &data), 3u);
    EXPECT_EQ(type, 0x51);
    EXPECT_EQ(std::memcmp(data, tempo, 3), 0);

    // Replacing the block by exclusive data also clears the meta type.
    const BYTE sys[2] = {0x7E, 0xF7};
    e.SetSys(sys, 2);
    EXPECT_EQ(e.GetMetaType(), 0);
    EXPECT_EQ(e.GetSys(&data), 2u);

    // A length beyond the block is cut to the block.
    ASSERT_EQ(e.CreateGmem(4), 0);
    BYTE big[64];
    std::memset(big, 0x55, sizeof big);
    EXPECT_EQ(e.CopyGmem(big, sizeof big), 0);
    EXPECT_EQ(e.GetSys(&data), 4u);

    e.DeleteGmem();
    EXPECT_EQ(e.GetSys(&data), 0u);
    EXPECT_EQ(data, nullptr);

    // A new block reads zeros; an empty one is still a block (and takes no bytes).
    ASSERT_EQ(e.CreateGmem(3), 0);
    ASSERT_EQ(e.GetSys(&data), 3u);
    EXPECT_EQ(data[0] | data[1] | data[2], 0);
    ASSERT_EQ(e.CreateGmem(0), 0);
    EXPECT_EQ(e.GetSys(&data), 0u);
    EXPECT_NE(data, nullptr);
    EXPECT_EQ(e.CopyGmem(big, sizeof big), 0);
    EXPECT_EQ(e.GetSys(&data), 0u);
    e.DeleteGmem();
    EXPECT_EQ(e.CopyGmem(big, 1), 1) << "no block to copy into";
}

TEST(ArticWrkEvnt, SetCopiesTheRecordsData) {
    BYTE text[3] = {'a', 'b', 'c'};
    CArticWrkEvnt e;
    {
        _WRK_EVNT r;
        r.Status = 0xFF;
        r.MetaType = 0x01;
        r.Time = 960;
        r.Len = 3;
        r.Data = text;
        e.Set(r);
    }
    text[0] = 'X';  // the lender's buffer changes (or goes away)
    const BYTE* data = nullptr;
    ASSERT_EQ(e.GetMeta(nullptr, &data), 3u);
    EXPECT_NE(data, text);
    EXPECT_EQ(data[0], 'a');
    EXPECT_EQ(e.GetMetaType(), 0x01);
    EXPECT_EQ(e.GetTime(), 960);

    // Reading the record back and writing it again (the usual edit) keeps the data.
    _WRK_EVNT r;
    e.Get(r);
    r.Post3 = 9;
    e.Set(r);
    ASSERT_EQ(e.GetMeta(nullptr, &data), 3u);
    EXPECT_EQ(std::memcmp(data, "abc", 3), 0);
    EXPECT_EQ(e.GetPost3(), 9);
}

TEST(ArticWrkEvnt, NoteInfoRefusesIndexesOutsideItsTenSlots) {
    CArticWrkEvnt e;
    EXPECT_EQ(e.SetNoteInfo(9, 42), 0);
    EXPECT_EQ(e.GetNoteInfo(9), 42);
    EXPECT_EQ(e.SetNoteInfo(10, 7), 1);
    EXPECT_EQ(e.SetNoteInfo(-1, 7), 1);
    EXPECT_EQ(e.GetNoteInfo(10), 0);
    EXPECT_EQ(e.GetNoteInfo(-1), 0);
    EXPECT_EQ(e.ClearNoteInfo(), 1);
    EXPECT_EQ(e.GetNoteInfo(9), 0);
}

TEST(ArticWrkEvnt, AssignmentAndCoreCopy) {
    CArticWrkEvnt src(nullptr, 17);
    src.SetStatus(0x90);
    src.SetPost1(60);
    src.SetTime(480, 0);
    src.SetGateTime(240);
    src.SetExv(1, 5);
    src.SetErr(2, 3);
    src.SetProb(0, 0.5);
    src.SetNoteInfo(3, 11);
    src.SetFngrInfo(5, 2, 1, 0);
    src.SetPrmExpArray(1, new CArticPrmExp());
    src.SetSeqEvntNo(4);

    CArticWrkEvnt copy(nullptr, 99);
    copy = src;
    EXPECT_EQ(copy.GetEvntNo(), 99u);  // numbers are not copied
    EXPECT_EQ(copy.GetSeqEvntNo(), 0xFFFFFFFFu);
    EXPECT_EQ(copy.GetExv(1), 5);
    EXPECT_DOUBLE_EQ(copy.GetProb(0), 0.5);
    EXPECT_EQ(copy.GetNoteInfo(3), 11);
    ASSERT_NE(copy.GetFngrInfo(), nullptr);
    EXPECT_NE(copy.GetFngrInfo(), src.GetFngrInfo());
    EXPECT_EQ(copy.GetFngrInfo()->GetGen(), 2);
    EXPECT_EQ(copy.GetPrmExpArrayExist(), 1);
    EXPECT_NE(copy.GetPrmExp(1), src.GetPrmExp(1));

    CArticWrkUtil::SetFng(0);
    CArticWrkEvnt core;
    core.CopyForCore(src);
    EXPECT_EQ(CArticWrkUtil::GetFng(), 1);  // a fingered note switches the flag on
    EXPECT_EQ(core.GetProcWrkEvnt(), &src);
    EXPECT_EQ(core.GetErr(2), 3);
    EXPECT_EQ(core.GetExv(1), 0);  // rule marks stay behind
    EXPECT_EQ(core.GetNoteInfo(3), 0);
    CArticWrkEvnt coreOfCore;
    coreOfCore.CopyForCore(core);
    EXPECT_EQ(coreOfCore.GetProcWrkEvnt(), &src);  // the chain points at its first event
    CArticWrkUtil::SetFng(0);
}

TEST(ArticWrkEvnt, RestoreProbTakesProbOutAndErr) {
    CArticWrkEvnt src, dst;
    src.SetProb(1, 0.75);
    src.SetOut(1, 1);
    src.SetErr(1, 2);
    src.SetExv(1, 9);
    EXPECT_EQ(dst.RestoreProb(nullptr), 1);
    EXPECT_EQ(dst.RestoreProb(&src), 0);
    EXPECT_DOUBLE_EQ(dst.GetProb(1), 0.75);
    EXPECT_EQ(dst.GetOut(1), 1);
    EXPECT_EQ(dst.GetErr(1), 2);
    EXPECT_EQ(dst.GetExv(1), 0);
}

TEST(ArticWrkEvnt, ErrorIsShownOncePerEvent) {
    CArticErr::Clear();
    CArticWrkEvnt e(nullptr, 12);
    e.SetStatus(0x90);
    e.SetPost1(60);
    e.DispErrMsg("title", "first", "Method", "");
    e.DispErrMsg("title", "second", "Method", "");
    EXPECT_EQ(e.GetErrKind(), 3);
    CStringList details;
    ASSERT_EQ(CArticErr::GetMsgStrList(details), 0);
    // One error entry and one detail line with the event's dump line.
    EXPECT_EQ(CArticErr::GetMsgCount(), 2);
    ASSERT_EQ(details.GetCount(), 1);
    EXPECT_EQ(details.GetHead(), "w12:1/1/0, Note, C3, 0, 0");
    CArticErr::Delete();
}

TEST(ArticWrkEvnt, DumpLine) {
    CArticWrkEvnt note(nullptr, 12);
    note.SetStatus(0x90);
    note.SetPost1(60);
    note.SetPost2(100);
    note.SetGateTime(480);
    note.SetMeas(3, 2, 0);
    note.SetProb(1, 0.25);
    note.SetErr(1, -2);
    note.SetOut(1, 1);
    CStringList list;
    EXPECT_EQ(note.GetStrList(list, 1, 1), 0);
    EXPECT_EQ(note.GetStrList(list, 1, 0), 0);
    EXPECT_EQ(note.GetStrList(list, kNoRuleSet, 1), 0);
    EXPECT_EQ(Lines(list), (std::vector<CString>{
                               "w12:3/2/0, Note, C3, 480, 100, prob = 0.250000000, err = -2, out = 1",
                               "w12:3/2/0, Note, C3, 480, 100",
                               "w12:3/2/0, Note, C3, 480, 100",
                           }));

    // A meta type without a name of its own is written as SysEx.
    CArticWrkEvnt meta(nullptr, 3);
    meta.SetStatus(0xFF);
    meta.SetMetaType(0x21);
    CStringList metaLine;
    EXPECT_EQ(meta.GetStrList(metaLine, 0, 0), 0);
    EXPECT_EQ(metaLine.GetHead(), "w3:1/1/0, SysEx");

    // A kind without a name writes nothing.
    CArticErr::Clear();
    CArticWrkEvnt bad(nullptr, 4);
    bad.SetStatus(0x91);
    CStringList none;
    EXPECT_EQ(bad.GetStrList(none, 0, 0), 1);
    EXPECT_EQ(none.GetCount(), 0);
    CArticErr::Delete();
}

TEST(ArticWrkEvnt, SetTimeRenewsBarBeatTickFromTheMeasureBlock) {
    CArticWrk wrk;
    CArticWrkBlk* meas = AddBlock(AddTrack(wrk, 0));
    wrk.SetMeasBlk(meas);
    AddBeat(meas, 0, 0, 3, 2, 1);  // 3/4 from bar 1
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkEvnt* note = AddNote(blk, 1, 0, 60);
    note->SetTime(1440 + 480 + 7, 1);
    ULONG m = 0, b = 0, t = 0;
    note->GetMeas(&m, &b, &t);
    EXPECT_EQ(m, 2u);
    EXPECT_EQ(b, 2u);
    EXPECT_EQ(t, 7u);
    // And the other way: the time from bar 3, beat 1.
    note->SetMeas(3, 1, 0);
    EXPECT_EQ(note->GetTime(), 2880);
    EXPECT_EQ(note->GetSelTrk(), 1);
}

TEST(ArticWrkEvnt, SongTickRestHoldsOnlyAtTheTimeItWasReadAt) {
    CArticWrkEvnt lyric;
    lyric.SetStatus(0xFF);
    lyric.SetTime(53513, 0);
    EXPECT_EQ(lyric.GetSongTickRest(), 0);
    lyric.SetSongTickRest(1);
    EXPECT_EQ(lyric.GetSongTickRest(), 1);

    // Copies keep it while they keep the time.
    CArticWrkEvnt copy;
    copy = lyric;
    EXPECT_EQ(copy.GetSongTickRest(), 1);
    CArticWrkEvnt core;
    core.CopyForCore(lyric);
    EXPECT_EQ(core.GetSongTickRest(), 1);

    // A moved event has no rest; moved back, it has it again.
    lyric.SetTime(53514, 0);
    EXPECT_EQ(lyric.GetSongTickRest(), 0);
    lyric.SetTime(53513, 0);
    EXPECT_EQ(lyric.GetSongTickRest(), 1);
}
