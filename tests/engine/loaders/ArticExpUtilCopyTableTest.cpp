// The copy of one expression over every class of the catalogue:
// each class's fixture is made with values other than the copier's defaults,
// so that a copy that kept a default shows.
#include <gtest/gtest.h>

#include <vector>

#include "services/ArticErr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/expressions/ArticExpDur.h"
#include "engine/expressions/ArticExpFileSmf.h"
#include "engine/expressions/ArticExpFileSmfNote.h"
#include "engine/expressions/ArticExpInit.h"
#include "engine/expressions/ArticExpLayer.h"
#include "engine/expressions/ArticExpOrnament.h"
#include "engine/expressions/ArticExpPack.h"
#include "engine/expressions/ArticExpPitch.h"
#include "engine/expressions/ArticExpSlur.h"
#include "engine/expressions/ArticExpStop.h"
#include "engine/expressions/ArticExpStresCont.h"
#include "engine/expressions/ArticExpStresVelo.h"
#include "engine/expressions/ArticExpTempo.h"
#include "engine/expressions/ArticExpTime.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"

namespace {

CArticWrkEvntList kTblNotes;  // filled by the fixture with two notes of its work data
CArticWrkEvntList kTblNotes2;  // the same two notes in the other order, for second lists
const CArticMeas kTblMeas(2, 3, 40);
const CArticMeas kTblEndMeas(4, 2, 10);
const char kTblText[] = "abc";
const char kTblFrontText[] = "front";
const char kTblBackText[] = "back";
const char kTblModel[] = "4D";
const char kTblAddress[] = "112233";
const char kTblData[] = "7F01";

template <class T, auto... Args>
CArticExpEvnt* MakeTbl(CArticExpBlk* blk, ULONG evntNo) {
    return new T(blk, evntNo, Args...);
}

struct TblRow {
    const char* className;
    CArticExpEvnt* (*make)(CArticExpBlk* blk, ULONG evntNo);
};

const TblRow kTblRows[] = {
    {"CArticExpInitPrmChange", MakeTbl<CArticExpInitPrmChange, &kTblMeas, kTblModel, kTblAddress, kTblData>},
    {"CArticExpInitPrmChange2", MakeTbl<CArticExpInitPrmChange2, 1, 1, &kTblMeas, kTblModel, kTblAddress, kTblData>},
    {"CArticExpInitPrmChange3", MakeTbl<CArticExpInitPrmChange3, &kTblNotes, 1, kTblModel, kTblAddress, kTblData>},
    {"CArticExpInitPrmChangeKv", MakeTbl<CArticExpInitPrmChangeKv, &kTblMeas, kTblAddress, kTblData>},
    {"CArticExpInitPrmChangeKv2", MakeTbl<CArticExpInitPrmChangeKv2, 1, 1, &kTblMeas, kTblAddress, kTblData>},
    {"CArticExpInitPrmChangeKv3", MakeTbl<CArticExpInitPrmChangeKv3, &kTblNotes, 1, kTblAddress, kTblData>},
    {"CArticExpInitKvinit", MakeTbl<CArticExpInitKvinit, &kTblMeas>},
    {"CArticExpInitKvinit2", MakeTbl<CArticExpInitKvinit2, 1, 1, &kTblMeas>},
    {"CArticExpInitPro", MakeTbl<CArticExpInitPro, &kTblMeas, 1, 1, 1>},
    {"CArticExpInitPro2", MakeTbl<CArticExpInitPro2, 1, 1, &kTblMeas, 1, 1, 1>},
    {"CArticExpInitPro3", MakeTbl<CArticExpInitPro3, &kTblNotes, 1, 1, 1, 1>},
    {"CArticExpInitPbRange", MakeTbl<CArticExpInitPbRange, 1, &kTblMeas, 3>},
    {"CArticExpInitPbRange2", MakeTbl<CArticExpInitPbRange2, 1, 1, 1, &kTblMeas, 3>},
    {"CArticExpInitPbRange3", MakeTbl<CArticExpInitPbRange3, &kTblNotes, 1, 3>},
    {"CArticExpStresVeloNoteAbs", MakeTbl<CArticExpStresVeloNoteAbs, &kTblNotes, 1>},
    {"CArticExpStresVeloNoteRel", MakeTbl<CArticExpStresVeloNoteRel, &kTblNotes, 1>},
    {"CArticExpStresVeloTimeAbs", MakeTbl<CArticExpStresVeloTimeAbs, 2, &kTblMeas, 65>},
    {"CArticExpStresVeloTimeRel", MakeTbl<CArticExpStresVeloTimeRel, 2, &kTblMeas, 1>},
    {"CArticExpStresVeloTimeRelCrv", MakeTbl<CArticExpStresVeloTimeRelCrv, 2, &kTblNotes, &kTblMeas, &kTblMeas, 1, 1, 1>},
    {"CArticExpDurRel", MakeTbl<CArticExpDurRel, &kTblNotes, 1>},
    {"CArticExpDurRel2", MakeTbl<CArticExpDurRel2, &kTblNotes, 1>},
    {"CArticExpDurAbs", MakeTbl<CArticExpDurAbs, &kTblNotes, 1>},
    {"CArticExpDurBp", MakeTbl<CArticExpDurBp, &kTblNotes, 1, 1>},
    {"CArticExpDurAll", MakeTbl<CArticExpDurAll, &kTblMeas, &kTblMeas, 1, 1>},
    {"CArticExpKeySft", MakeTbl<CArticExpKeySft, &kTblNotes, 1>},
    {"CArticExpArrayTurn1", MakeTbl<CArticExpArrayTurn1, &kTblNotes, 1, 2, 2>},
    {"CArticExpArrayTurn2", MakeTbl<CArticExpArrayTurn2, &kTblNotes, 1, 2, 2>},
    {"CArticExpArrayTurn3", MakeTbl<CArticExpArrayTurn3, &kTblNotes, 1, 2, 2>},
    {"CArticExpArrayTurn4", MakeTbl<CArticExpArrayTurn4, &kTblNotes, 1, 1, 1, 1>},
    {"CArticExpArrayTurn5", MakeTbl<CArticExpArrayTurn5, &kTblNotes, 1, 1, 1, 1>},
    {"CArticExpArrayTurn6", MakeTbl<CArticExpArrayTurn6, &kTblNotes, 1, 1, 1, 1>},
    {"CArticExpArrayTrill1", MakeTbl<CArticExpArrayTrill1, &kTblNotes, 61, 2, 2, 1, 1, 1, 1>},
    {"CArticExpArrayTrill2", MakeTbl<CArticExpArrayTrill2, &kTblNotes, 61, 1, 1, 1, 1, 1, 1, 1>},
    {"CArticExpArrayStop", MakeTbl<CArticExpArrayStop, &kTblNotes, 2, 1, 1>},
    {"CArticExpArrayUsrStop", MakeTbl<CArticExpArrayUsrStop, &kTblNotes, kTblText, 1, &kTblMeas, &kTblMeas, 2, 1, 1>},
    {"CArticExpTimeSft", MakeTbl<CArticExpTimeSft, &kTblNotes, 1>},
    {"CArticExpTimeSft2", MakeTbl<CArticExpTimeSft2, &kTblNotes, 1, 1>},
    {"CArticExpTimeSwing", MakeTbl<CArticExpTimeSwing, &kTblNotes, 1, 481, 3, 2, 321>},
    {"CArticExpTimeWaltz", MakeTbl<CArticExpTimeWaltz, &kTblNotes, 1, 481, 7, 3, 121, 5, 361>},
    {"CArticExpCreNote", MakeTbl<CArticExpCreNote, &kTblNotes, 1, 1, 481, 61, 65>},
    {"CArticExpCreNote2", MakeTbl<CArticExpCreNote2, &kTblNotes, 1, 1, 481, 61, 65, 1>},
    {"CArticExpDel", MakeTbl<CArticExpDel, &kTblNotes>},
    {"CArticExpDebug_i", MakeTbl<CArticExpDebug_i, &kTblNotes, 1>},
    {"CArticExpDebug_i2", MakeTbl<CArticExpDebug_i2, &kTblNotes, kTblText, 1>},
    {"CArticExpDebug_d", MakeTbl<CArticExpDebug_d, &kTblNotes, 1>},
    {"CArticExpArraySlurPb", MakeTbl<CArticExpArraySlurPb, &kTblNotes, 1>},
    {"CArticExpArraySlurDur", MakeTbl<CArticExpArraySlurDur, &kTblNotes, 1, 1>},
    {"CArticExpArrayTie", MakeTbl<CArticExpArrayTie, &kTblNotes, 1>},
    {"CArticExpStresContCcTimeAbs", MakeTbl<CArticExpStresContCcTimeAbs, 2, &kTblMeas, 1, 128>},
    {"CArticExpStresContCcTimeRelFix", MakeTbl<CArticExpStresContCcTimeRelFix, 2, &kTblMeas, 1, 1>},
    {"CArticExpStresContCcTimeRelAreaFix", MakeTbl<CArticExpStresContCcTimeRelAreaFix, 2, &kTblMeas, &kTblMeas, 1, 101, 1>},
    {"CArticExpStresContCcTimeRelCrv", MakeTbl<CArticExpStresContCcTimeRelCrv, 2, &kTblMeas, &kTblMeas, 1, 1, 65, 1, 51>},
    {"CArticExpStresContCcNoteCrv", MakeTbl<CArticExpStresContCcNoteCrv, &kTblNotes, 2, 12, 11, 11, 1, 128, 1, 51>},
    {"CArticExpStresContCcNoteCreAbs", MakeTbl<CArticExpStresContCcNoteCreAbs, &kTblNotes, 1, 12, -4, 97>},
    {"CArticExpStresContCcNoteCreAbs2", MakeTbl<CArticExpStresContCcNoteCreAbs2, &kTblNotes, 1, 12, -4, -4, 97>},
    {"CArticExpStresContCcNoteCreRel", MakeTbl<CArticExpStresContCcNoteCreRel, &kTblNotes, 1, 12, -4, 17>},
    {"CArticExpStresContCcNoteCreRel2", MakeTbl<CArticExpStresContCcNoteCreRel2, &kTblNotes, 1, 12, -4, -4, 17>},
    {"CArticExpPackNrpnNoteCreAbs", MakeTbl<CArticExpPackNrpnNoteCreAbs, &kTblNotes, 1, 1, 1, 1, 1>},
    {"CArticExpPackNrpnNoteCreRel", MakeTbl<CArticExpPackNrpnNoteCreRel, &kTblNotes, 1, 1, 1, 1, 1>},
    {"CArticExpPackRpnNoteCreAbs", MakeTbl<CArticExpPackRpnNoteCreAbs, &kTblNotes, 1, 1, 1, 1, 1>},
    {"CArticExpPackRpnNoteCreRel", MakeTbl<CArticExpPackRpnNoteCreRel, &kTblNotes, 1, 1, 1, 1, 1>},
    {"CArticExpPitchCrv", MakeTbl<CArticExpPitchCrv, 2, &kTblMeas, &kTblMeas, 1, 4097, 1, 51>},
    {"CArticExpPitchCrv2", MakeTbl<CArticExpPitchCrv2, &kTblNotes, 2, 11, 11, 1, 4097, 1, 51>},
    {"CArticExpPitchSlide", MakeTbl<CArticExpPitchSlide, &kTblNotes, 2, 11, 11, 1, 4097, 1, 51>},
    {"CArticExpPitchSlide2", MakeTbl<CArticExpPitchSlide2, &kTblNotes, 1, 11, 11, 1, 101, 1, 51>},
    {"CArticExpPitchGtrBend", MakeTbl<CArticExpPitchGtrBend, &kTblNotes, 1, 481, 481, 1, 1, 51>},
    {"CArticExpPitchGtrSlide", MakeTbl<CArticExpPitchGtrSlide, &kTblNotes, 1, 481, 481, 1, 1, 51>},
    {"CArticExpOrgContCc", MakeTbl<CArticExpOrgContCc, &kTblNotes, 1, 11, 11, 1, 1, 101>},
    {"CArticExpTempoAbs", MakeTbl<CArticExpTempoAbs, 1, &kTblMeas, 481, 121>},
    {"CArticExpTempoAbsRel", MakeTbl<CArticExpTempoAbsRel, 1, &kTblMeas>},
    {"CArticExpTempoRelFix", MakeTbl<CArticExpTempoRelFix, 1, &kTblMeas, 101>},
    {"CArticExpTempoRelCrv", MakeTbl<CArticExpTempoRelCrv, 1, &kTblMeas, &kTblEndMeas, 101, 102, 1, 2>},
    {"CArticExpTempoFermata", MakeTbl<CArticExpTempoFermata, 1, &kTblNotes, 101, 1>},
    {"CArticExpTempoBreath", MakeTbl<CArticExpTempoBreath, 1, &kTblNotes, 101, 1>},
    {"CArticExpFileSmfContCc",
     MakeTbl<CArticExpFileSmfContCc, &kTblNotes, kTblText, 1, &kTblMeas, &kTblEndMeas, 1, 101>},
    {"CArticExpFileSmfContCc2", MakeTbl<CArticExpFileSmfContCc2, &kTblNotes, kTblText, 1, 1, 1, 1, 101>},
    {"CArticExpFileSmfContCc3", MakeTbl<CArticExpFileSmfContCc3, &kTblNotes, kTblText, 1, 1, 1, 1, 101, 1>},
    {"CArticExpFileSmfContPb", MakeTbl<CArticExpFileSmfContPb, &kTblNotes, kTblText, 1, &kTblMeas, &kTblEndMeas, 101>},
    {"CArticExpFileSmfContPb2", MakeTbl<CArticExpFileSmfContPb2, &kTblNotes, kTblText, 1, 1, 1, 101>},
    {"CArticExpFileSmfContPb3", MakeTbl<CArticExpFileSmfContPb3, &kTblNotes, kTblText, 1, 1, 1, 101, 1>},
    {"CArticExpFileSmfContPb4", MakeTbl<CArticExpFileSmfContPb4, &kTblNotes, kTblText, 1, 1, 1, 101, 101, 1>},
    {"CArticExpFileSmfContPbEg",
     MakeTbl<CArticExpFileSmfContPbEg, &kTblNotes, kTblText, 1, 1, 1, 101, 1, 1, 101, 1>},
    {"CArticExpFileSmfContPbEg2",
     MakeTbl<CArticExpFileSmfContPbEg2, &kTblNotes, kTblText, 1, 1, 1, 101, 1, 1, 101, 1, 1>},
    {"CArticExpFileSmfFree", MakeTbl<CArticExpFileSmfFree, kTblText, &kTblMeas>},
    {"CArticExpFileSmfNoteTril2",
     MakeTbl<CArticExpFileSmfNoteTril2, &kTblNotes, kTblFrontText, kTblText, kTblBackText, 1, 1, 1, 1, 1, 1, 1, 1, 1>},
    {"CArticExpFileSmfNoteTril3",
     MakeTbl<CArticExpFileSmfNoteTril3, &kTblNotes, kTblFrontText, kTblText, kTblBackText, 1, 1, 1, 1, 1, 1>},
    {"CArticExpFileSmfNoteTurn", MakeTbl<CArticExpFileSmfNoteTurn, &kTblNotes, kTblText, 1, 1, 1, 1, 1>},
    {"CArticExpFileSmfNoteTurn2", MakeTbl<CArticExpFileSmfNoteTurn2, &kTblNotes, kTblText, 1, 1, 1, 1>},
    {"CArticExpFileSmfNoteMord2", MakeTbl<CArticExpFileSmfNoteMord2, &kTblNotes, kTblText, 1, 1, 1, 1>},
    {"CArticExpFileSmfNoteTrml1", MakeTbl<CArticExpFileSmfNoteTrml1, &kTblNotes, kTblText, 1, 1, 1, 1>},
    {"CArticExpFileSmfNoteTrml2",
     MakeTbl<CArticExpFileSmfNoteTrml2, &kTblNotes, &kTblNotes2, kTblText, 1, 1, 1, 1, 1, 1>},
    {"CArticExpFileSmfNoteGlis1", MakeTbl<CArticExpFileSmfNoteGlis1, &kTblNotes, kTblText, 1>},
    {"CArticExpFileSmfNoteArpg", MakeTbl<CArticExpFileSmfNoteArpg, &kTblNotes, kTblText, 1>},
    {"CArticExpLayerBow1", MakeTbl<CArticExpLayerBow1, &kTblNotes, 1, 2>},
    {"CArticExpLayerBow2", MakeTbl<CArticExpLayerBow2, &kTblNotes, 1, 1, 2>},
    {"CArticExpLayerNote1", MakeTbl<CArticExpLayerNote1, &kTblNotes, 1, 1, 1, 1, 61, 65, 1, 1, 1>},
    {"CArticExpLayerNote2", MakeTbl<CArticExpLayerNote2, &kTblNotes, 1, 1, 1, 1, 61, 65, 1, 1, 1, &kTblNotes2>},
};

// A work data of one track with one block of notes 5 and 6, and an
// expression tree whose block 0 of track 1 edits it.
struct TblSide {
    TblSide() {
        auto* trk = new CArticWrkTrk(&wrk, 1, ULONG(-2), ULONG(-1));
        wrk.AddTail(trk);
        auto* blk = new CArticWrkBlk(trk, 0);
        trk->AddTail(blk);
        for (ULONG no = 5; no <= 6; ++no) {
            auto* e = new CArticWrkEvnt(blk, no);
            e->SetStatus(0x90);
            e->SetPost1(BYTE(55 + no));
            e->SetTime(INT64(no) * 240, 0);
            blk->AddTail(e, 1);
        }
        auto* expTrk = new CArticExpTrk(&exp, 1, ULONG(-2), ULONG(-1));
        expTrk->SetWrkTrk(trk);
        exp.AddTail(expTrk);
        expBlk = new CArticExpBlk(expTrk, 0);
        expBlk->SetWrkBlk(blk);
        expTrk->AddTail(expBlk);
    }
    CArticWrk wrk;
    CArticExp exp;
    CArticExpBlk* expBlk;
};

std::vector<CString> TblItems(CArticExpEvnt* e) {
    CStringList items;
    EXPECT_EQ(CArticExpUtil::GetEvntParam(e, items), 0) << e->GetClassNameA();
    std::vector<CString> out;
    for (POSITION p = items.GetHeadPosition(); p;) out.push_back(items.GetNext(p));
    return out;
}

// The first or second note list of the classes that keep theirs in a family
// base of the tempo, phrase-file and layer families; none for the others.
const CArticWrkEvntList* TblList(CArticExpEvnt* e, bool second) {
    if (second) {
        if (auto* x = dynamic_cast<CArticExpLayerNote2*>(e)) return x->GetWrkEvntList2();
        if (auto* x = dynamic_cast<CArticExpFileSmfNoteTrml2*>(e)) return x->GetWrkEvntList2();
        return nullptr;
    }
    if (auto* x = dynamic_cast<CArticExpFile*>(e)) return x->GetWrkEvntList();
    if (auto* x = dynamic_cast<CArticExpLayer*>(e)) return x->GetWrkEvntList();
    if (auto* x = dynamic_cast<CArticExpTempoFermata*>(e)) return x->GetWrkEvntList();
    if (auto* x = dynamic_cast<CArticExpTempoBreath*>(e)) return x->GetWrkEvntList();
    return nullptr;
}

std::vector<CArticWrkEvnt*> TblEntries(const CArticWrkEvntList* list) {
    std::vector<CArticWrkEvnt*> out;
    if (list)
        for (POSITION p = list->GetHeadPosition(); p;) out.push_back(list->GetNext(p));
    return out;
}

// wrk's events of the numbers of src's entries, in order; src's own without wrk.
std::vector<CArticWrkEvnt*> TblExpected(const CArticWrkEvntList* src, CArticWrk* wrk) {
    std::vector<CArticWrkEvnt*> out = TblEntries(src);
    if (wrk)
        for (CArticWrkEvnt*& e : out) e = wrk->GetEvntInEvntPosArray(e->GetEvntNo(), 0);
    return out;
}

}  // namespace

TEST(ArticExpUtilCopyTable, EveryClassCopiesItsItemsUnderTheGivenBlockAndNumber) {
    CArticErr::Clear();
    TblSide from;
    TblSide to;
    kTblNotes.RemoveAll();
    kTblNotes.AddTail(from.wrk.GetEvntInEvntPosArray(5, 0));
    kTblNotes.AddTail(from.wrk.GetEvntInEvntPosArray(6, 0));
    kTblNotes2.RemoveAll();
    kTblNotes2.AddTail(from.wrk.GetEvntInEvntPosArray(6, 0));
    kTblNotes2.AddTail(from.wrk.GetEvntInEvntPosArray(5, 0));
    ASSERT_EQ(sizeof(kTblRows) / sizeof(kTblRows[0]), 97u);
    int listed[2] = {0, 0};  // rows whose first / second list was checked by identity
    for (const TblRow& row : kTblRows) {
        CArticExpEvnt* src = row.make(from.expBlk, 3);
        ASSERT_STREQ(src->GetClassNameA(), row.className);
        src->SetErrKind(2);
        src->SetError(-7);
        src->SetTgNeed(0);
        const std::vector<CString> items = TblItems(src);
        for (CArticWrk* wrk : {&to.wrk, static_cast<CArticWrk*>(nullptr)}) {
            CArticExpEvnt* copy = nullptr;
            ASSERT_EQ(CArticExpUtil::CopyEvnt(src, &copy, to.expBlk, 41, wrk), 0) << row.className;
            ASSERT_NE(copy, nullptr);
            EXPECT_STREQ(copy->GetClassNameA(), row.className);
            EXPECT_EQ(copy->GetOwner(), to.expBlk) << row.className;
            EXPECT_EQ(copy->GetEvntNo(), 41u) << row.className;
            EXPECT_EQ(copy->GetErrKind(), 0) << row.className;
            EXPECT_EQ(copy->GetError(), 0) << row.className;
            EXPECT_EQ(copy->GetTgNeed(), 0) << row.className;
            EXPECT_EQ(copy->GetEvntType(), src->GetEvntType()) << row.className;
            // Both lists name the target's events of the same numbers, in
            // the source's order; the source's own without a target.
            for (bool second : {false, true}) {
                const CArticWrkEvntList* srcList = TblList(src, second);
                if (!srcList || srcList->IsEmpty()) continue;
                if (wrk) ++listed[second];
                const CArticWrkEvntList* copyList = TblList(copy, second);
                ASSERT_NE(copyList, nullptr) << row.className;
                EXPECT_NE(copyList, srcList) << row.className;
                const std::vector<CArticWrkEvnt*> want = TblExpected(srcList, wrk);
                ASSERT_EQ(want.size(), 2u) << row.className;
                EXPECT_EQ(TblEntries(copyList), want) << row.className << (second ? " (second list)" : "");
            }
            // The note lists are written against the copy's own work data:
            // re-pointed they name its events 5 and 6; without a work data
            // they still name the source's, which only the source's side knows.
            if (!wrk) copy->SetOwner(from.expBlk);
            EXPECT_EQ(TblItems(copy), items) << row.className;
            delete copy;
        }
        // Without a pointer to hand it back through, the copy is not kept
        // (the sanitizer build reports a leak otherwise).
        EXPECT_EQ(CArticExpUtil::CopyEvnt(src, nullptr, to.expBlk, 42, &to.wrk), 0) << row.className;
        delete src;
    }
    EXPECT_EQ(listed[0], 24);
    EXPECT_EQ(listed[1], 2);
    kTblNotes.RemoveAll();
    kTblNotes2.RemoveAll();
    CArticErr::Delete();
}

// The tick forms (EvntType 2, and 3 for a curve of tick start and width)
// copy as the same form with their times and widths.
TEST(ArticExpUtilCopyTable, TickFormsStayTickForms) {
    CArticErr::Clear();
    TblSide from;
    TblSide to;
    CArticExpTempoAbs abs(from.expBlk, 3, 2, ULONG(960), 240, 90);
    CArticExpTempoAbsRel absRel(from.expBlk, 3, 1, INT64(720));
    CArticExpTempoRelFix relFix(from.expBlk, 3, 2, ULONG(480), 80);
    CArticExpTempoRelCrv relCrv(from.expBlk, 3, 1, &kTblMeas, INT64(1920), 90, 110, -3, 4);
    CArticExpTempoRelCrv relCrv3(from.expBlk, 3, 1, INT64(240), INT64(1920), 90, 110, -3, 4);
    CArticExpFileSmfContCc cc(from.expBlk, 3, nullptr, kTblText, 1, &kTblMeas, ULONG(960), 11, 90);
    CArticExpFileSmfContPb pb(from.expBlk, 3, nullptr, kTblText, 1, &kTblMeas, ULONG(960), 90);
    for (CArticExpEvnt* src : std::vector<CArticExpEvnt*>{&abs, &absRel, &relFix, &relCrv, &relCrv3, &cc, &pb}) {
        const BYTE form = src == &relCrv3 ? 3 : 2;
        ASSERT_EQ(src->GetEvntType(), form) << src->GetClassNameA();
        CArticExpEvnt* copy = nullptr;
        ASSERT_EQ(CArticExpUtil::CopyEvnt(src, &copy, to.expBlk, 41, &to.wrk), 0) << src->GetClassNameA();
        EXPECT_EQ(copy->GetEvntType(), form) << src->GetClassNameA();
        EXPECT_EQ(TblItems(copy), TblItems(src)) << src->GetClassNameA();
        delete copy;
    }
    CArticExpEvnt* copy = nullptr;
    ASSERT_EQ(CArticExpUtil::CopyEvnt(&abs, &copy, to.expBlk, 41, nullptr), 0);
    auto* tempo = static_cast<CArticExpTempoAbs*>(copy);
    EXPECT_EQ(tempo->GetEvntType(), 2);
    EXPECT_EQ(tempo->GetType(), 2);
    EXPECT_EQ(tempo->GetTime(), 960);
    EXPECT_EQ(tempo->GetTickPerBeat(), 240);
    EXPECT_EQ(tempo->GetTempo(), 90);
    ULONG meas = 0, beat = 0, tick = 9;
    tempo->GetMeas(&meas, &beat, &tick);
    EXPECT_EQ(meas, 1u);
    EXPECT_EQ(beat, 1u);
    EXPECT_EQ(tick, 0u);
    delete copy;
    CArticErr::Delete();
}
