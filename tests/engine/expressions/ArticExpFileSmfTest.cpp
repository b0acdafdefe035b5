#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>

#include "ExpPhraseFixture.h"
#include "engine/expressions/ArticExpFileSmf.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticCash.h"
#include "engine/work/ArticFileIO.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/TempFolder.h"

using namespace exptest;

namespace {

using FileSmfPoints = std::vector<std::pair<INT64, int>>;


FileSmfPoints FileSmfBends(const CArticWrkBlk* blk) {
    FileSmfPoints out;
    for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (e->GetStatus() != 0xE0) continue;
        _WRK_EVNT r;
        e->Get(r);
        out.push_back({e->GetTime(), CArticWrkUtil::GetPitchBend(r)});
    }
    return out;
}

FileSmfPoints FileSmfCcs(const CArticWrkBlk* blk, BYTE number) {
    FileSmfPoints out;
    for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (e->GetStatus() == 0xB0 && e->GetPost1() == number) out.push_back({e->GetTime(), e->GetPost2()});
    }
    return out;
}

// The value in force at t (the last point at or before it).
int FileSmfValueAt(const FileSmfPoints& points, INT64 t, int none = 0) {
    int v = none;
    for (const auto& p : points)
        if (p.first <= t) v = p.second;
    return v;
}

struct FileSmfWorld : World {
    FileSmfWorld() {
        wrk.SetMeasBlk(masterBlk);
        wrktest::AddBeat(masterBlk, 1, 0, 4, 2, 1);
    }
    CArticWrkEvnt* Bend(ULONG no, INT64 time, int value) {
        CArticWrkEvnt* e = wrktest::NewEvnt(partBlk, no, 0xE0, time);
        _WRK_EVNT r;
        e->Get(r);
        CArticWrkUtil::SetPitchBend(r, short(value));
        e->Set(r);
        partBlk->Sort(e, 1);
        return e;
    }
};

}  // namespace

TEST(ArticExpFileSmf, EnvelopedVibratoRepeatedInsideItsSpan) {
    PhraseLib lib;
    for (int t = 0; t <= 200; t += 50) lib.Bend(t, 4000);
    lib.Save("vib.mid");
    FileSmfWorld w;
    CArticWrkEvnt* n = w.Note(5, 0, 60, 1000);
    w.PartExpBlk()->AddTail(
        new CArticExpFileSmfContPbEg2(w.PartExpBlk(), 1, &Notes{n}, "vib.mid", 22, 100, 900, 100, 300, 0, 100, 0, 0));
    ASSERT_EQ(w.Phase1(), 0);
    const FileSmfPoints bends = FileSmfBends(w.MidPartBlk());
    ASSERT_FALSE(bends.empty());
    for (const auto& b : bends) EXPECT_GE(b.first, 100) << b.first;
    // The attack rises from nothing at +100 to the full 4000 at +400 ...
    EXPECT_EQ(FileSmfValueAt(bends, 100), 0);
    EXPECT_GT(FileSmfValueAt(bends, 250), 0);
    EXPECT_LT(FileSmfValueAt(bends, 250), 4000);
    EXPECT_EQ(FileSmfValueAt(bends, 450), 4000);
    EXPECT_EQ(FileSmfValueAt(bends, 850), 4000);
    // ... and the level in force at +900 before the paste is put back there.
    EXPECT_EQ(bends.back(), (std::pair<INT64, int>{900, 0}));
}

TEST(ArticExpFileSmf, FittedBendEndsOnEndAndTheNextNoteKeepsItsBend) {
    PhraseLib lib;
    for (int t = 0; t <= 480; t += 120) lib.Bend(t, -t * 8);
    lib.Save("fall.mid");
    FileSmfWorld w;
    CArticWrkEvnt* n = w.Note(5, 0, 60, 1000);
    w.Note(6, 2000, 62, 480);
    w.Bend(7, 2000, 1000);
    w.PartExpBlk()->AddTail(
        new CArticExpFileSmfContPb4(w.PartExpBlk(), 1, &Notes{n}, "fall.mid", 8, 0, 600, 100, 100, 0));
    ASSERT_EQ(w.Phase1(), 0);
    const FileSmfPoints bends = FileSmfBends(w.MidPartBlk());
    EXPECT_EQ(FileSmfValueAt(bends, 600), -3840);
    int at600 = 0;
    for (const auto& b : bends) at600 += b.first == 600 ? 1 : 0;
    EXPECT_EQ(at600, 1);
    for (const auto& b : bends) EXPECT_FALSE(b.first > 600 && b.first < 2000) << b.first;
    EXPECT_EQ(FileSmfValueAt(bends, 2000), 1000);
}

TEST(ArticExpFileSmf, ControllerOffsetsAround64LowerTheExpression) {
    PhraseLib lib;
    lib.Cc(0, 11, 64);
    lib.Cc(480, 11, 0);
    lib.Save("cc.mid");
    struct Case {
        BYTE existing;
        WORD mag;
        int atEnd;
    };
    const Case cases[] = {{100, 100, 36}, {100, 50, 68}, {30, 100, 0}};
    for (const Case& c : cases) {
        FileSmfWorld w;
        CArticWrkEvnt* n = w.Note(5, 0, 60, 1000);
        w.Note(6, 2000, 62, 480);
        wrktest::AddCc(w.partBlk, 7, 0, 11, c.existing);
        w.PartExpBlk()->AddTail(
            new CArticExpFileSmfContCc3(w.PartExpBlk(), 1, &Notes{n}, "cc.mid", 40, 0, 480, 11, c.mag, 0));
        ASSERT_EQ(w.Phase1(), 0);
        const FileSmfPoints ccs = FileSmfCcs(w.MidPartBlk(), 11);
        EXPECT_EQ(FileSmfValueAt(ccs, 0), c.existing) << int(c.existing) << "/" << c.mag;
        EXPECT_EQ(FileSmfValueAt(ccs, 480), c.atEnd) << int(c.existing) << "/" << c.mag;
    }
}

TEST(ArticExpFileSmf, ThinningKeepsTheFirstTheNextTenTicksOnAndTheLast) {
    PhraseLib lib;
    for (int t = 0; t <= 20; t += 4) lib.Bend(t, 100 * (t + 1));
    lib.Save("steps.mid");
    FileSmfWorld w;
    CArticWrkEvnt* n = w.Note(5, 0, 60, 1000);
    // Fit, value put back at the end, area from the span start.
    w.PartExpBlk()->AddTail(
        new CArticExpFileSmfContPb3(w.PartExpBlk(), 1, &Notes{n}, "steps.mid", 8 | 4 | 2, 0, 20, 100, 10));
    ASSERT_EQ(w.Phase1(), 0);
    std::vector<INT64> times;
    for (const auto& b : FileSmfBends(w.MidPartBlk()))
        if (times.empty() || times.back() != b.first) times.push_back(b.first);
    EXPECT_EQ(times, (std::vector<INT64>{0, 12, 20}));
}

TEST(ArticExpFileSmf, PastesThatCannotBeMadeEndAndReport) {
    PhraseLib lib;
    lib.Bend(0, 0);
    lib.Bend(0, 500);  // every event at 0: a repeat without length
    lib.Save("flat.mid");
    lib.Bend(0, 100);
    lib.Bend(480, 200);
    lib.Save("ok.mid");
    lib.Bend(0, 100);
    lib.Save("dat.mid");
    std::filesystem::copy_file(lib.folder / "dat.mid", lib.folder / "ok.dat");
    struct Case {
        const char* what;
        std::function<CArticExpEvnt*(CArticExpBlk*, CArticWrkEvnt*)> make;
        bool fails;
        const char* shown;
        const char* notShown;
    };
    const Case cases[] = {
        {"End <= Start",
         [](CArticExpBlk* b, CArticWrkEvnt* n) {
             return new CArticExpFileSmfContPb2(b, 1, &Notes{n}, "ok.mid", 4, 100, 100, 100);
         },
         true, "音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集中にｴﾗｰが発生しました。", nullptr},
        {"missing file",
         [](CArticExpBlk* b, CArticWrkEvnt* n) {
             return new CArticExpFileSmfContPb2(b, 1, &Notes{n}, "none.mid", 4, 0, 480, 100);
         },
         true, "音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集中にｴﾗｰが発生しました。", "none.mid"},
        {"no SMF name",
         [](CArticExpBlk* b, CArticWrkEvnt* n) {
             return new CArticExpFileSmfContPb2(b, 1, &Notes{n}, "ok.dat", 4, 0, 480, 100);
         },
         true, "ok.dat", nullptr},
        {"repeat without length",
         [](CArticExpBlk* b, CArticWrkEvnt* n) {
             return new CArticExpFileSmfContPb4(b, 1, &Notes{n}, "flat.mid", 16 | 4, 0, 480, 100, 0, 0);
         },
         false, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        CArticErr::Clear();
        FileSmfWorld w;
        CArticWrkEvnt* n = w.Note(5, 0, 60, 1000);
        w.PartExpBlk()->AddTail(c.make(w.PartExpBlk(), n));
        const int rc = w.Phase1();
        if (c.fails) {
            EXPECT_NE(rc, 0) << c.what;
            EXPECT_TRUE(FileSmfBends(w.MidPartBlk()).empty()) << c.what;
        }
        // The expression always ends; a failure always reports.
        if (rc != 0) EXPECT_FALSE(ShownText().IsEmpty()) << c.what;
        if (c.shown) EXPECT_NE(ShownText().Find(c.shown), -1) << c.what;
        if (c.notShown) EXPECT_EQ(ShownText().Find(c.notShown), -1) << c.what;
        CArticErr::Delete();
    }
}

TEST(ArticExpFileSmf, FiftyNotesReadThePhraseFileOnce) {
    PhraseLib lib;
    lib.Bend(0, 100);
    lib.Bend(240, 300);
    lib.Save("Once.mid");
    FileSmfWorld w;
    Notes notes{};
    for (ULONG i = 0; i < 50; ++i) notes.list.AddTail(w.Note(10 + i, INT64(i) * 480, 60, 480));
    w.PartExpBlk()->AddTail(new CArticExpFileSmfContPb2(w.PartExpBlk(), 1, &notes, "Once.mid", 8 | 4 | 1, 0, 240, 100));
    ASSERT_EQ(w.Phase1(), 0);
    CArticSmfBufList* cache = nullptr;
    CArticCash::GetSmfBufList(&cache);
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->GetCount(), 1);
    const FileSmfPoints bends = FileSmfBends(w.MidPartBlk());
    EXPECT_EQ(FileSmfValueAt(bends, 49 * 480 + 240), 300);
}

TEST(ArticExpFileSmf, FreePasteCopiesAllButMetaEventsToItsPosition) {
    PhraseLib lib;
    CArticWrkEvnt* tempo = lib.Add(0xFF, 0);
    const BYTE us[3] = {0x07, 0xA1, 0x20};
    tempo->SetMeta(0x51, us, 3);
    lib.Cc(0, 7, 90);
    CArticWrkEvnt* note = lib.Add(0x90, 480);
    note->SetPost1(67);
    note->SetPost2(77);
    note->SetGateTime(240);
    lib.Save("free.mid");
    FileSmfWorld w;
    w.Note(5, 0);
    const CArticMeas at(3, 1, 0);
    w.PartExpBlk()->AddTail(new CArticExpFileSmfFree(w.PartExpBlk(), 1, "free.mid", &at));
    ASSERT_EQ(w.Phase1(), 0);
    EXPECT_EQ(FileSmfCcs(w.MidPartBlk(), 7), (FileSmfPoints{{3840, 90}}));
    const std::vector<NoteRow> rows = NoteRows(w.MidPartBlk());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], (NoteRow{4320, 67, 240, 77}));
    for (POSITION p = w.MidPartBlk()->GetHeadPos(); p;)
        EXPECT_NE(w.MidPartBlk()->GetNext(p)->GetStatus(), 0xFF);

    // A missing file: the phrase library is named, nothing changes.
    CArticErr::Clear();
    FileSmfWorld z;
    z.Note(5, 0);
    z.PartExpBlk()->AddTail(new CArticExpFileSmfFree(z.PartExpBlk(), 1, "gone.mid", &at));
    EXPECT_EQ(z.Phase1(), 1);
    EXPECT_NE(ShownText().Find("SMFﾗｲﾌﾞﾗﾘが存在しません"), -1);
    EXPECT_EQ(NoteRows(z.MidPartBlk()).size(), 1u);
    CArticErr::Delete();
}

TEST(ArticExpFileSmf, WritersCopiesAndPhases) {
    FileSmfWorld w;
    CArticWrkEvnt* n = w.Note(12, 0);
    CArticExpBlk* blk = w.PartExpBlk();
    const CArticMeas from(2, 1, 0), to(3, 1, 0);
    struct Case {
        CArticExpEvnt* e;
        const char* line;
    };
    const Case cases[] = {
        {new CArticExpFileSmfContCc(blk, 1, &Notes{n}, "GlisDn.mid", 40, &from, &to, 11, 70),
         "e1:CArticExpFileSmfContCc( 1{:w12}, \"GlisDn.mid\", 40, 2/1/0, 3/1/0, 11, 70 )"},
        {new CArticExpFileSmfContCc(blk, 2, &Notes{n}, "GlisDn.mid", 40, &from, ULONG(480), 11, 70),
         "e2:CArticExpFileSmfContCc( 1{:w12}, \"GlisDn.mid\", 40, 2/1/0, 480, 11, 70 )"},
        {new CArticExpFileSmfContCc2(blk, 3, &Notes{n}, "a.mid", 1, -5, 10, 11, 90),
         "e3:CArticExpFileSmfContCc2( 1{:w12}, \"a.mid\", 1, -5, 10, 11, 90 )"},
        {new CArticExpFileSmfContCc3(blk, 4, &Notes{n}, "GlisDn.mid", 40, 0, 480, 11, 70, 10),
         "e4:CArticExpFileSmfContCc3( 1{:w12}, \"GlisDn.mid\", 40, 0, 480, 11, 70, 10 )"},
        {new CArticExpFileSmfContPb(blk, 5, &Notes{n}, "b.mid", 3, &from, &to, 80),
         "e5:CArticExpFileSmfContPb( 1{:w12}, \"b.mid\", 3, 2/1/0, 3/1/0, 80 )"},
        {new CArticExpFileSmfContPb2(blk, 6, &Notes{n}, "b.mid", 2, 0, 100, 80),
         "e6:CArticExpFileSmfContPb2( 1{:w12}, \"b.mid\", 2, 0, 100, 80 )"},
        {new CArticExpFileSmfContPb3(blk, 7, &Notes{n}, "b.mid", 2, 0, 100, 80, 5),
         "e7:CArticExpFileSmfContPb3( 1{:w12}, \"b.mid\", 2, 0, 100, 80, 5 )"},
        {new CArticExpFileSmfContPb4(blk, 7, &Notes{n}, "Sdn5nt.mid", 8, -60, 0, 100, 100, 10),
         "e7:CArticExpFileSmfContPb4( 1{:w12}, \"Sdn5nt.mid\", 8, -60, 0, 100, 100, 10 )"},
        {new CArticExpFileSmfContPbEg(blk, 8, &Notes{n}, "v.mid", 22, 100, 900, 100, 300, 20, 150, 4),
         "e8:CArticExpFileSmfContPbEg( 1{:w12}, \"v.mid\", 22, 100, 900, 100, 300, 20, 150, 4 )"},
        {new CArticExpFileSmfContPbEg2(blk, 9, &Notes{n}, "v.mid", 22, 100, 900, 100, 300, 20, 150, 30, 4),
         "e9:CArticExpFileSmfContPbEg2( 1{:w12}, \"v.mid\", 22, 100, 900, 100, 300, 20, 150, 30, 4 )"},
        {new CArticExpFileSmfFree(blk, 10, "Vib3-g02.mid", &to),
         "e10:CArticExpFileSmfFree( \"Vib3-g02.mid\", 3/1/0 )"},
    };
    for (const Case& c : cases) ExpectLineAndCopy(blk, c.e, c.line);
}
