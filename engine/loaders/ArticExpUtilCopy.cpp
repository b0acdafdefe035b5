// Copies of one expression by class.
#include <cstring>

#include "services/ArticErr.h"
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/expressions/ArticExpDur.h"
#include "engine/expressions/ArticExpFileSmf.h"
#include "engine/expressions/ArticExpFileSmfNote.h"
#include "engine/expressions/ArticExpInit.h"
#include "engine/expressions/ArticExpPack.h"
#include "engine/expressions/ArticExpPitch.h"
#include "engine/expressions/ArticExpSlur.h"
#include "engine/expressions/ArticExpStresCont.h"
#include "engine/expressions/ArticExpLayer.h"
#include "engine/expressions/ArticExpOrnament.h"
#include "engine/expressions/ArticExpStop.h"
#include "engine/expressions/ArticExpTempo.h"
#include "engine/expressions/ArticExpTime.h"
#include "engine/expressions/ArticExpStresVelo.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

const char kEmptyText[] = "";
const char kModel[] = "4C";
const char kAddress[] = "000000";
const char kData[] = "0000";

// One class of the catalogue: its name, the copy of an object of it, and
// whether it holds a second note list.
struct ExpCopier {
    const char* className;
    CArticExpEvnt* (*copy)(CArticExpEvnt* src, CArticExpBlk* blk, ULONG evntNo);
    bool secondList;
};

// The first tick of the song, the position every default construction takes.
const CArticMeas kFirstTick(1, 1, 0);

// A T constructed with blk, evntNo and the class's defaults Args, then
// assigned from src.
template <class T, auto... Args>
CArticExpEvnt* CopyWith(CArticExpEvnt* src, CArticExpBlk* blk, ULONG evntNo) {
    T* copy = new T(blk, evntNo, Args...);
    *copy = static_cast<const T&>(*src);
    return copy;
}

// In catalogue order; each expression family adds its rows as it is built.
const ExpCopier kCopiers[] = {
    {"CArticExpInitPrmChange", CopyWith<CArticExpInitPrmChange, &kFirstTick, kModel, kAddress, kData>, false},
    {"CArticExpInitPrmChange2", CopyWith<CArticExpInitPrmChange2, 0, 0, &kFirstTick, kModel, kAddress, kData>, false},
    {"CArticExpInitPrmChange3", CopyWith<CArticExpInitPrmChange3, nullptr, 0, kModel, kAddress, kData>, false},
    {"CArticExpInitPrmChangeKv", CopyWith<CArticExpInitPrmChangeKv, &kFirstTick, kAddress, kData>, false},
    {"CArticExpInitPrmChangeKv2", CopyWith<CArticExpInitPrmChangeKv2, 0, 0, &kFirstTick, kAddress, kData>, false},
    {"CArticExpInitPrmChangeKv3", CopyWith<CArticExpInitPrmChangeKv3, nullptr, 0, kAddress, kData>, false},
    {"CArticExpInitKvinit", CopyWith<CArticExpInitKvinit, &kFirstTick>, false},
    {"CArticExpInitKvinit2", CopyWith<CArticExpInitKvinit2, 0, 0, &kFirstTick>, false},
    {"CArticExpInitPro", CopyWith<CArticExpInitPro, &kFirstTick, 0, 0, 0>, false},
    {"CArticExpInitPro2", CopyWith<CArticExpInitPro2, 0, 0, &kFirstTick, 0, 0, 0>, false},
    {"CArticExpInitPro3", CopyWith<CArticExpInitPro3, nullptr, 0, 0, 0, 0>, false},
    {"CArticExpInitPbRange", CopyWith<CArticExpInitPbRange, 0, &kFirstTick, 2>, false},
    {"CArticExpInitPbRange2", CopyWith<CArticExpInitPbRange2, 0, 0, 0, &kFirstTick, 2>, false},
    {"CArticExpInitPbRange3", CopyWith<CArticExpInitPbRange3, nullptr, 0, 2>, false},
    {"CArticExpStresVeloNoteAbs", CopyWith<CArticExpStresVeloNoteAbs, nullptr, 0>, false},
    {"CArticExpStresVeloNoteRel", CopyWith<CArticExpStresVeloNoteRel, nullptr, 0>, false},
    {"CArticExpStresVeloTimeAbs", CopyWith<CArticExpStresVeloTimeAbs, 1, &kFirstTick, 64>, false},
    {"CArticExpStresVeloTimeRel", CopyWith<CArticExpStresVeloTimeRel, 1, &kFirstTick, 0>, false},
    {"CArticExpStresVeloTimeRelCrv",
     CopyWith<CArticExpStresVeloTimeRelCrv, 1, nullptr, &kFirstTick, &kFirstTick, 0, 0, 0>, false},
    {"CArticExpDurRel", CopyWith<CArticExpDurRel, nullptr, 0>, false},
    {"CArticExpDurRel2", CopyWith<CArticExpDurRel2, nullptr, 0>, false},
    {"CArticExpDurAbs", CopyWith<CArticExpDurAbs, nullptr, 0>, false},
    {"CArticExpDurBp", CopyWith<CArticExpDurBp, nullptr, 0, 0>, false},
    {"CArticExpDurAll", CopyWith<CArticExpDurAll, &kFirstTick, &kFirstTick, 0, 0>, false},
    {"CArticExpKeySft", CopyWith<CArticExpKeySft, nullptr, 0>, false},
    {"CArticExpArrayTurn1", CopyWith<CArticExpArrayTurn1, nullptr, 0, 1, 1>, false},
    {"CArticExpArrayTurn2", CopyWith<CArticExpArrayTurn2, nullptr, 0, 1, 1>, false},
    {"CArticExpArrayTurn3", CopyWith<CArticExpArrayTurn3, nullptr, 0, 1, 1>, false},
    {"CArticExpArrayTurn4", CopyWith<CArticExpArrayTurn4, nullptr, 0, 0, 0, 0>, false},
    {"CArticExpArrayTurn5", CopyWith<CArticExpArrayTurn5, nullptr, 0, 0, 0, 0>, false},
    {"CArticExpArrayTurn6", CopyWith<CArticExpArrayTurn6, nullptr, 0, 0, 0, 0>, false},
    {"CArticExpArrayTrill1", CopyWith<CArticExpArrayTrill1, nullptr, 60, 1, 1, 0, 0, 0, 0>, false},
    {"CArticExpArrayTrill2", CopyWith<CArticExpArrayTrill2, nullptr, 60, 0, 0, 0, 0, 0, 0, 0>, false},
    {"CArticExpArrayStop", CopyWith<CArticExpArrayStop, nullptr, 1, 0, 0>, false},
    {"CArticExpArrayUsrStop",
     CopyWith<CArticExpArrayUsrStop, nullptr, kEmptyText, 0, &kFirstTick, &kFirstTick, 1, 0, 0>, false},
    {"CArticExpTimeSft", CopyWith<CArticExpTimeSft, nullptr, 0>, false},
    {"CArticExpTimeSft2", CopyWith<CArticExpTimeSft2, nullptr, 0, 0>, false},
    {"CArticExpTimeSwing", CopyWith<CArticExpTimeSwing, nullptr, 0, 480, 2, 1, 320>, false},
    {"CArticExpTimeWaltz", CopyWith<CArticExpTimeWaltz, nullptr, 0, 480, 6, 2, 120, 4, 360>, false},
    {"CArticExpCreNote", CopyWith<CArticExpCreNote, nullptr, 0, 0, 480, 60, 64>, false},
    {"CArticExpCreNote2", CopyWith<CArticExpCreNote2, nullptr, 0, 0, 480, 60, 64, 0>, false},
    {"CArticExpDel", CopyWith<CArticExpDel, nullptr>, false},
    {"CArticExpDebug_i", CopyWith<CArticExpDebug_i, nullptr, 0>, false},
    {"CArticExpDebug_i2", CopyWith<CArticExpDebug_i2, nullptr, kEmptyText, 0>, false},
    {"CArticExpDebug_d", CopyWith<CArticExpDebug_d, nullptr, 0>, false},
    {"CArticExpArraySlurPb", CopyWith<CArticExpArraySlurPb, nullptr, 0>, false},
    {"CArticExpArraySlurDur", CopyWith<CArticExpArraySlurDur, nullptr, 0, 0>, false},
    {"CArticExpArrayTie", CopyWith<CArticExpArrayTie, nullptr, 0>, false},
    {"CArticExpStresContCcTimeAbs", CopyWith<CArticExpStresContCcTimeAbs, 1, &kFirstTick, 0, 127>, false},
    {"CArticExpStresContCcTimeRelFix", CopyWith<CArticExpStresContCcTimeRelFix, 1, &kFirstTick, 0, 0>, false},
    {"CArticExpStresContCcTimeRelAreaFix",
     CopyWith<CArticExpStresContCcTimeRelAreaFix, 1, &kFirstTick, &kFirstTick, 0, 100, 0>, false},
    {"CArticExpStresContCcTimeRelCrv",
     CopyWith<CArticExpStresContCcTimeRelCrv, 1, &kFirstTick, &kFirstTick, 0, 0, 64, 0, 50>, false},
    {"CArticExpStresContCcNoteCrv", CopyWith<CArticExpStresContCcNoteCrv, nullptr, 1, 11, 10, 10, 0, 127, 0, 50>,
     false},
    {"CArticExpStresContCcNoteCreAbs", CopyWith<CArticExpStresContCcNoteCreAbs, nullptr, 0, 11, -5, 96>, false},
    {"CArticExpStresContCcNoteCreAbs2", CopyWith<CArticExpStresContCcNoteCreAbs2, nullptr, 0, 11, -5, -5, 96>, false},
    {"CArticExpStresContCcNoteCreRel", CopyWith<CArticExpStresContCcNoteCreRel, nullptr, 0, 11, -5, 16>, false},
    {"CArticExpStresContCcNoteCreRel2", CopyWith<CArticExpStresContCcNoteCreRel2, nullptr, 0, 11, -5, -5, 16>, false},
    {"CArticExpPackNrpnNoteCreAbs", CopyWith<CArticExpPackNrpnNoteCreAbs, nullptr, 0, 0, 0, 0, 0>, false},
    {"CArticExpPackNrpnNoteCreRel", CopyWith<CArticExpPackNrpnNoteCreRel, nullptr, 0, 0, 0, 0, 0>, false},
    {"CArticExpPackRpnNoteCreAbs", CopyWith<CArticExpPackRpnNoteCreAbs, nullptr, 0, 0, 0, 0, 0>, false},
    {"CArticExpPackRpnNoteCreRel", CopyWith<CArticExpPackRpnNoteCreRel, nullptr, 0, 0, 0, 0, 0>, false},
    {"CArticExpPitchCrv", CopyWith<CArticExpPitchCrv, 1, &kFirstTick, &kFirstTick, 0, 4096, 0, 50>, false},
    {"CArticExpPitchCrv2", CopyWith<CArticExpPitchCrv2, nullptr, 1, 10, 10, 0, 4096, 0, 50>, false},
    {"CArticExpPitchSlide", CopyWith<CArticExpPitchSlide, nullptr, 1, 10, 10, 0, 4096, 0, 50>, false},
    {"CArticExpPitchSlide2", CopyWith<CArticExpPitchSlide2, nullptr, 0, 10, 10, 0, 100, 0, 50>, false},
    {"CArticExpPitchGtrBend", CopyWith<CArticExpPitchGtrBend, nullptr, 0, 480, 480, 0, 0, 50>, false},
    {"CArticExpPitchGtrSlide", CopyWith<CArticExpPitchGtrSlide, nullptr, 0, 480, 480, 0, 0, 50>, false},
    {"CArticExpOrgContCc", CopyWith<CArticExpOrgContCc, nullptr, 0, 10, 10, 0, 0, 100>, false},
    {"CArticExpTempoAbs", CopyWith<CArticExpTempoAbs, 0, &kFirstTick, 480, 120>, false},
    {"CArticExpTempoAbsRel", CopyWith<CArticExpTempoAbsRel, 0, &kFirstTick>, false},
    {"CArticExpTempoRelFix", CopyWith<CArticExpTempoRelFix, 0, &kFirstTick, 100>, false},
    {"CArticExpTempoRelCrv",
     CopyWith<CArticExpTempoRelCrv, 0, &kFirstTick, &kFirstTick, 100, 100, 0, 1>, false},
    {"CArticExpTempoFermata", CopyWith<CArticExpTempoFermata, 0, nullptr, 100, 0>, false},
    {"CArticExpTempoBreath", CopyWith<CArticExpTempoBreath, 0, nullptr, 100, 0>, false},
    {"CArticExpFileSmfContCc", CopyWith<CArticExpFileSmfContCc, nullptr, kEmptyText, 0, &kFirstTick, &kFirstTick, 0, 100>, false},
    {"CArticExpFileSmfContCc2", CopyWith<CArticExpFileSmfContCc2, nullptr, kEmptyText, 0, 0, 0, 0, 100>, false},
    {"CArticExpFileSmfContCc3", CopyWith<CArticExpFileSmfContCc3, nullptr, kEmptyText, 0, 0, 0, 0, 100, 0>, false},
    {"CArticExpFileSmfContPb", CopyWith<CArticExpFileSmfContPb, nullptr, kEmptyText, 0, &kFirstTick, &kFirstTick, 100>, false},
    {"CArticExpFileSmfContPb2", CopyWith<CArticExpFileSmfContPb2, nullptr, kEmptyText, 0, 0, 0, 100>, false},
    {"CArticExpFileSmfContPb3", CopyWith<CArticExpFileSmfContPb3, nullptr, kEmptyText, 0, 0, 0, 100, 0>, false},
    {"CArticExpFileSmfContPb4", CopyWith<CArticExpFileSmfContPb4, nullptr, kEmptyText, 0, 0, 0, 100, 100, 0>, false},
    {"CArticExpFileSmfContPbEg",
     CopyWith<CArticExpFileSmfContPbEg, nullptr, kEmptyText, 0, 0, 0, 100, 0, 0, 100, 0>, false},
    {"CArticExpFileSmfContPbEg2",
     CopyWith<CArticExpFileSmfContPbEg2, nullptr, kEmptyText, 0, 0, 0, 100, 0, 0, 100, 0, 0>, false},
    {"CArticExpFileSmfFree", CopyWith<CArticExpFileSmfFree, kEmptyText, &kFirstTick>, false},
    {"CArticExpFileSmfNoteTril2",
     CopyWith<CArticExpFileSmfNoteTril2, nullptr, kEmptyText, kEmptyText, kEmptyText, 0, 0, 0, 0, 0, 0, 0, 0, 0>,
     false},
    {"CArticExpFileSmfNoteTril3",
     CopyWith<CArticExpFileSmfNoteTril3, nullptr, kEmptyText, kEmptyText, kEmptyText, 0, 0, 0, 0, 0, 0>, false},
    {"CArticExpFileSmfNoteTurn", CopyWith<CArticExpFileSmfNoteTurn, nullptr, kEmptyText, 0, 0, 0, 0, 0>, false},
    {"CArticExpFileSmfNoteTurn2", CopyWith<CArticExpFileSmfNoteTurn2, nullptr, kEmptyText, 0, 0, 0, 0>, false},
    {"CArticExpFileSmfNoteMord2", CopyWith<CArticExpFileSmfNoteMord2, nullptr, kEmptyText, 0, 0, 0, 0>, false},
    {"CArticExpFileSmfNoteTrml1", CopyWith<CArticExpFileSmfNoteTrml1, nullptr, kEmptyText, 0, 0, 0, 0>, false},
    {"CArticExpFileSmfNoteTrml2",
     CopyWith<CArticExpFileSmfNoteTrml2, nullptr, nullptr, kEmptyText, 0, 0, 0, 0, 0, 0>, true},
    {"CArticExpFileSmfNoteGlis1", CopyWith<CArticExpFileSmfNoteGlis1, nullptr, kEmptyText, 0>, false},
    {"CArticExpFileSmfNoteArpg", CopyWith<CArticExpFileSmfNoteArpg, nullptr, kEmptyText, 0>, false},
    {"CArticExpLayerBow1", CopyWith<CArticExpLayerBow1, nullptr, 0, 1>, false},
    {"CArticExpLayerBow2", CopyWith<CArticExpLayerBow2, nullptr, 0, 0, 1>, false},
    {"CArticExpLayerNote1", CopyWith<CArticExpLayerNote1, nullptr, 0, 0, 0, 0, 60, 64, 0, 0, 0>, false},
    {"CArticExpLayerNote2", CopyWith<CArticExpLayerNote2, nullptr, 0, 0, 0, 0, 60, 64, 0, 0, 0, nullptr>, true},
};

const ExpCopier* FindCopier(const char* className) {
    for (const ExpCopier& c : kCopiers)
        if (std::strcmp(c.className, className) == 0) return &c;
    return nullptr;
}

}  // namespace

int CArticExpUtil::CopyEvnt(CArticExpEvnt* src, CArticExpEvnt** out, CArticExpBlk* blk, ULONG evntNo,
                            CArticWrk* wrk) {
    if (!src) return 0;
    const char* name = src->GetClassNameA();
    const ExpCopier* copier = FindCopier(name);
    if (!copier) {
        CArticErr::Set("未対応のｲﾍﾞﾝﾄのため、ｺﾋﾟｰできません。", "CArticExpUtil", "CopyEvnt",
                       CString("ｸﾗｽ名 = ") + name);
        return 1;
    }
    CArticExpEvnt* copy = copier->copy(src, blk, evntNo);
    if (wrk) {
        copy->ReLinkWrkBlk(wrk);
        copy->ReLinkWrkEvntList(wrk);
        if (copier->secondList) copy->ReLinkWrkEvntList2(wrk);
    }
    if (out)
        *out = copy;
    else
        delete copy;  // nobody to hand it to
    return 0;
}
