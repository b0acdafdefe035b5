// The copy of one expression over every class of the catalogue built so far:
// each class's fixture is made with values other than the copier's defaults,
// so that a copy that kept a default shows.
#include <gtest/gtest.h>

#include <vector>

#include "driver/ArticErr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/expressions/ArticExpDur.h"
#include "engine/expressions/ArticExpInit.h"
#include "engine/expressions/ArticExpOrnament.h"
#include "engine/expressions/ArticExpPack.h"
#include "engine/expressions/ArticExpPitch.h"
#include "engine/expressions/ArticExpSlur.h"
#include "engine/expressions/ArticExpStop.h"
#include "engine/expressions/ArticExpStresCont.h"
#include "engine/expressions/ArticExpStresVelo.h"
#include "engine/expressions/ArticExpTime.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"

namespace {

CArticWrkEvntList kTblNotes;  // filled by the fixture with two notes of its work data
const CArticMeas kTblMeas(2, 3, 40);
const char kTblText[] = "abc";
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

}  // namespace

TEST(ArticExpUtilCopyTable, EveryClassCopiesItsItemsUnderTheGivenBlockAndNumber) {
    CArticErr::Clear();
    TblSide from;
    TblSide to;
    kTblNotes.RemoveAll();
    kTblNotes.AddTail(from.wrk.GetEvntInEvntPosArray(5, 0));
    kTblNotes.AddTail(from.wrk.GetEvntInEvntPosArray(6, 0));
    ASSERT_EQ(sizeof(kTblRows) / sizeof(kTblRows[0]), 68u);
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
    kTblNotes.RemoveAll();
    CArticErr::Delete();
}
