#include <gtest/gtest.h>

#include <cstdio>

#include "ExpFixture.h"
#include "engine/expressions/ArticExpStresVelo.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticSmf.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/File.h"

using namespace exptest;

namespace {

// A world in 4/4 whose part block holds notes of the given velocities, one per beat.
struct VeloWorld : World {
    std::vector<CArticWrkEvnt*> notes;
    explicit VeloWorld(std::initializer_list<int> velos) {
        wrk.SetMeasBlk(masterBlk);
        wrktest::AddBeat(masterBlk, 1, 0, 4, 2, 1);
        ULONG no = 10;
        INT64 t = 0;
        for (int v : velos) {
            notes.push_back(wrktest::AddNote(partBlk, no++, t, 60, 240, BYTE(v)));
            t += 480;
        }
    }
    std::vector<int> MidVelos() const {
        std::vector<int> v;
        for (const NoteRow& r : NoteRows(MidPartBlk())) v.push_back(r.velo);
        return v;
    }
    // Runs phase 1 of the clones of blk's expressions in the middle data.
    int RunPhase1() {
        Prepare();
        CArticExpMgr mgr(&wrk, &exp, &sortBlk, &pasn, &mid);
        mgr.ReLinkExp();
        const int rc = mgr.ConvToWrk();
        mgr.ConvToWrk3();
        return rc;
    }
};

// The notes of a block written as a song file and read back.
int NotesAfterSaveAndReload(const CArticWrkBlk* blk) {
    const std::string path = testing::TempDir() + "velo_reload.mid";
    CArticWrkEvntList list;
    for (POSITION p = blk->GetHeadPos(); p;) list.AddTail(blk->GetNext(p));
    {
        CFile out;
        if (!out.Open(CString(path.c_str()), CFile::modeWrite | CFile::modeCreate)) return -1;
        CArticSmf smf;
        if (!smf.SaveSmf(&out, &list)) return -1;
        out.Close();
    }
    CFile in;
    if (!in.Open(CString(path.c_str()), CFile::modeRead)) return -1;
    CArticSmf smf;
    if (!smf.LoadSmf(&in)) return -1;
    int notes = 0;
    CArticWrkEvntList* read = smf.GetEvntListPtr(1);
    for (POSITION p = read->GetHeadPosition(); p;)
        if (read->GetNext(p)->GetStatus() == 0x90) ++notes;
    std::remove(path.c_str());
    return notes;
}

CString LineOf(CArticExpEvnt* e) {
    CStringList lines;
    return e->GetStrList(lines) == 0 && !lines.IsEmpty() ? lines.GetHead() : CString("(none)");
}

}  // namespace

TEST(ArticExpStresVelo, ListedNotes) {
    struct Case {
        const char* what;
        bool relative;
        int value, before, after;
    };
    const Case cases[] = {
        {"relative down stops at 1", true, -20, 10, 1},
        {"relative up stops at 127", true, 100, 100, 127},
        {"relative", true, -5, 64, 59},
        {"absolute above the range", false, 200, 64, 127},
        {"absolute 0 would be a note-off", false, 0, 64, 1},
        {"absolute", false, 90, 64, 90},
    };
    for (const Case& c : cases) {
        VeloWorld w({c.before});
        CArticExpBlk* blk = w.PartExpBlk();
        if (c.relative)
            blk->AddTail(new CArticExpStresVeloNoteRel(blk, 1, &Notes{w.notes[0]}, (signed char)c.value));
        else
            blk->AddTail(new CArticExpStresVeloNoteAbs(blk, 1, &Notes{w.notes[0]}, BYTE(c.value)));
        EXPECT_EQ(w.RunPhase1(), 0) << c.what;
        EXPECT_EQ(w.MidVelos(), std::vector<int>{c.after}) << c.what;
        EXPECT_EQ(NotesAfterSaveAndReload(w.MidPartBlk()), 1) << c.what;
    }
}

TEST(ArticExpStresVelo, ListedControlChangeFailsAndStaysAsItWas) {
    CArticErr::Clear();
    VeloWorld w({64});
    CArticWrkEvnt* cc = wrktest::AddCc(w.partBlk, 30, 10, 7, 100);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpStresVeloNoteAbs(blk, 1, &Notes{w.notes[0], cc}, 20));
    EXPECT_EQ(w.RunPhase1(), 1);
    EXPECT_EQ(w.MidVelos(), std::vector<int>{20});  // the note before the failing entry changed
    EXPECT_EQ(w.mid.GetEvntByNo(30)->GetPost2(), 100);
    EXPECT_GE(CArticErr::GetErrDlg()->GetAllMsg().Find("音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集中にｴﾗｰが発生しました。"), 0);

    // Add 0 has nothing to do, whatever the list holds.
    CArticExpStresVeloNoteRel idle(nullptr, 2, nullptr, 0);
    EXPECT_EQ(idle.ConvToWrk(), 0);
    CArticExpStresVeloNoteAbs empty(nullptr, 3, nullptr, 10);
    EXPECT_EQ(empty.ConvToWrk(), 1);
    CArticErr::Delete();
}

TEST(ArticExpStresVelo, FromAPositionUpToTheNextSetting) {
    VeloWorld w({100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100});  // bars 1 to 4
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas bar4(4, 1, 0), bar2(2, 1, 0), bar3(3, 1, 0);
    blk->AddTail(new CArticExpStresVeloTimeAbs(blk, 1, 0, &bar4, 30));
    blk->AddTail(new CArticExpStresVeloTimeAbs(blk, 2, 0, &bar2, 200));
    blk->AddTail(new CArticExpStresVeloTimeRel(blk, 3, 0, &bar3, -128));
    EXPECT_EQ(w.RunPhase1(), 0);
    const std::vector<int> expected{100, 100, 100, 100, 127, 127, 127, 127, 1, 1, 1, 1, 30};
    EXPECT_EQ(w.MidVelos(), expected);
}

TEST(ArticExpStresVelo, NearestNoteAndFailures) {
    CArticErr::Clear();
    VeloWorld w({100, 100, 100});
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas nearSecond(1, 2, 100);  // tick 580: the note at 480 is nearest
    blk->AddTail(new CArticExpStresVeloTimeRel(blk, 1, 1, &nearSecond, -10));
    blk->AddTail(new CArticExpStresVeloTimeRel(blk, 2, 7, &nearSecond, -10));
    EXPECT_EQ(w.RunPhase1(), 1);
    EXPECT_EQ(w.MidVelos(), (std::vector<int>{100, 90, 90}));
    EXPECT_GE(CArticErr::GetErrDlg()->GetAllMsg().Find("処理番号 = 7"), 0);

    VeloWorld none({});
    CArticExpBlk* b2 = none.PartExpBlk();
    b2->AddTail(new CArticExpStresVeloTimeRel(b2, 1, 1, &nearSecond, -10));
    EXPECT_EQ(none.RunPhase1(), 1);
    EXPECT_GE(CArticErr::GetErrDlg()->GetAllMsg().Find("近隣音符以降のNoteｲﾍﾞﾝﾄのVelocityを変更する際にｴﾗｰが発生した。"), 0);
    CArticErr::Delete();
}

TEST(ArticExpStresVelo, CurveOverASpan) {
    struct Case {
        BYTE type;
        signed char start, end;
        std::vector<int> after;  // notes at 0, 240, 480, 481 of velocity 50
    };
    const Case cases[] = {
        {0, 0, 40, {50, 70, 90, 50}},
        {4, 0, 40, {50, 70, 90, 90}},
        {2, -10, -10, {1, 1, 1, 50}},
        {6, 20, 60, {20, 40, 60, 60}},
    };
    for (const Case& c : cases) {
        VeloWorld w({});
        std::vector<CArticWrkEvnt*> notes;
        ULONG no = 10;
        for (INT64 t : {0, 240, 480, 481}) notes.push_back(wrktest::AddNote(w.partBlk, no++, t, 60, 10, 50));
        CArticExpBlk* blk = w.PartExpBlk();
        CArticMeas from(1, 1, 0);
        blk->AddTail(new CArticExpStresVeloTimeRelCrv(blk, 1, c.type, &Notes{notes[0]}, &from, 480, c.start, c.end, 0));
        EXPECT_EQ(w.RunPhase1(), 0) << int(c.type);
        EXPECT_EQ(w.MidVelos(), c.after) << int(c.type);
    }
}

TEST(ArticExpStresVelo, CurveWithoutNotesReports) {
    CArticErr::Clear();
    CArticMeas from(1, 1, 0);
    CArticExpStresVeloTimeRelCrv crv(nullptr, 1, 0, nullptr, &from, 480, 0, 40, 0);
    EXPECT_EQ(crv.ConvToWrk(), 1);
    EXPECT_EQ(crv.GetErrKind(), 3);
    CArticErr::Delete();
}

TEST(ArticExpStresVelo, WritersCopiesAndPhases) {
    VeloWorld w({64, 64});
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas m(3, 1, 0), end(4, 2, 10);
    struct Case {
        CArticExpEvnt* e;
        const char* line;
    };
    const Case cases[] = {
        {new CArticExpStresVeloNoteAbs(blk, 3, &Notes{w.notes[0], w.notes[1]}, 100),
         "e3:CArticExpStresVeloNoteAbs( 2{:w10,:w11}, 100 )"},
        {new CArticExpStresVeloNoteRel(blk, 4, &Notes{w.notes[0]}, -12), "e4:CArticExpStresVeloNoteRel( 1{:w10}, -12 )"},
        {new CArticExpStresVeloTimeAbs(blk, 5, 1, &m, 90), "e5:CArticExpStresVeloTimeAbs( 1, 3/1/0, 90 )"},
        {new CArticExpStresVeloTimeRel(blk, 6, 1, &m, -10), "e6:CArticExpStresVeloTimeRel( 1, 3/1/0, -10 )"},
        {new CArticExpStresVeloTimeRelCrv(blk, 7, 0, &Notes{w.notes[0], w.notes[1]}, &m, 480, -20, 10, 0),
         "e7:CArticExpStresVeloTimeRelCrv( 0, 2{:w10,:w11}, 3/1/0, 480, -20, 10, 0 )"},
        {new CArticExpStresVeloTimeRelCrv(blk, 8, 5, &Notes{w.notes[0]}, &m, &end, 1, 2, -3),
         "e8:CArticExpStresVeloTimeRelCrv( 5, 1{:w10}, 3/1/0, 4/2/10, 1, 2, -3 )"},
    };
    for (const Case& c : cases) {
        blk->AddTail(c.e);
        EXPECT_EQ(LineOf(c.e), c.line);
        c.e->SetErrKind(3);
        c.e->SetError(2);
        CArticExpEvnt* clone = nullptr;
        ASSERT_EQ(CArticExpUtil::CopyEvnt(c.e, &clone, blk, c.e->GetEvntNo() + 100, nullptr), 0) << c.line;
        EXPECT_STREQ(clone->GetClassNameA(), c.e->GetClassNameA());
        EXPECT_EQ(clone->GetErrKind(), 0);
        EXPECT_EQ(clone->GetError(), 0);
        CString got = LineOf(clone);
        EXPECT_EQ(got.Mid(got.Find(":")), CString(c.line).Mid(CString(c.line).Find(":"))) << c.line;
        // Velocity stress works in phase 1 only.
        EXPECT_EQ(clone->ConvToWrkCombine() + clone->ConvToWrk2() + clone->ConvToWrk3(), 0);
        delete clone;
    }
}
