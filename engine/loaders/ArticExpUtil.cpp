#include "engine/loaders/ArticExpUtil.h"

#include <cstring>

#include "services/ArticErr.h"
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/expressions/ArticExpDur.h"
#include "engine/expressions/ArticExpEvnt.h"
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
#include "engine/expressions/ArticMeas.h"
#include "engine/work/ArticWrkUtil.h"

namespace {

struct ParamWriter {
    const char* className;
    int (*write)(CArticExpEvnt* evnt, CStringList& items);
};

// One writer per expression class, in catalogue order; each expression
// family adds its rows as it is built. The null row ends the table.
// The writer of class T, called with the expression as a T.
template <class T, int (*Write)(T*, CStringList&)>
int WriteAs(CArticExpEvnt* evnt, CStringList& items) {
    return Write(static_cast<T*>(evnt), items);
}

const ParamWriter kParamWriters[] = {
    {"CArticExpInitPrmChange", WriteAs<CArticExpInitPrmChange, CArticExpUtil::GetExpInitPrmChangeParam>},
    {"CArticExpInitPrmChange2", WriteAs<CArticExpInitPrmChange2, CArticExpUtil::GetExpInitPrmChange2Param>},
    {"CArticExpInitPrmChange3", WriteAs<CArticExpInitPrmChange3, CArticExpUtil::GetExpInitPrmChange3Param>},
    {"CArticExpInitPrmChangeKv", WriteAs<CArticExpInitPrmChangeKv, CArticExpUtil::GetExpInitPrmChangeKvParam>},
    {"CArticExpInitPrmChangeKv2", WriteAs<CArticExpInitPrmChangeKv2, CArticExpUtil::GetExpInitPrmChangeKv2Param>},
    {"CArticExpInitPrmChangeKv3", WriteAs<CArticExpInitPrmChangeKv3, CArticExpUtil::GetExpInitPrmChangeKv3Param>},
    {"CArticExpInitKvinit", WriteAs<CArticExpInitKvinit, CArticExpUtil::GetExpInitKvinitParam>},
    {"CArticExpInitKvinit2", WriteAs<CArticExpInitKvinit2, CArticExpUtil::GetExpInitKvinit2Param>},
    {"CArticExpInitPro", WriteAs<CArticExpInitPro, CArticExpUtil::GetExpInitProParam>},
    {"CArticExpInitPro2", WriteAs<CArticExpInitPro2, CArticExpUtil::GetExpInitPro2Param>},
    {"CArticExpInitPro3", WriteAs<CArticExpInitPro3, CArticExpUtil::GetExpInitPro3Param>},
    {"CArticExpInitPbRange", WriteAs<CArticExpInitPbRange, CArticExpUtil::GetExpInitPbRangeParam>},
    {"CArticExpInitPbRange2", WriteAs<CArticExpInitPbRange2, CArticExpUtil::GetExpInitPbRange2Param>},
    {"CArticExpInitPbRange3", WriteAs<CArticExpInitPbRange3, CArticExpUtil::GetExpInitPbRange3Param>},
    {"CArticExpStresVeloNoteAbs", WriteAs<CArticExpStresVeloNoteAbs, CArticExpUtil::GetExpStresVeloNoteAbsParam>},
    {"CArticExpStresVeloNoteRel", WriteAs<CArticExpStresVeloNoteRel, CArticExpUtil::GetExpStresVeloNoteRelParam>},
    {"CArticExpStresVeloTimeAbs", WriteAs<CArticExpStresVeloTimeAbs, CArticExpUtil::GetExpStresVeloTimeAbsParam>},
    {"CArticExpStresVeloTimeRel", WriteAs<CArticExpStresVeloTimeRel, CArticExpUtil::GetExpStresVeloTimeRelParam>},
    {"CArticExpStresVeloTimeRelCrv",
     WriteAs<CArticExpStresVeloTimeRelCrv, CArticExpUtil::GetExpStresVeloTimeRelCrvParam>},
    {"CArticExpDurRel", WriteAs<CArticExpDurRel, CArticExpUtil::GetExpDurRelParam>},
    {"CArticExpDurRel2", WriteAs<CArticExpDurRel2, CArticExpUtil::GetExpDurRel2Param>},
    {"CArticExpDurAbs", WriteAs<CArticExpDurAbs, CArticExpUtil::GetExpDurAbsParam>},
    {"CArticExpDurBp", WriteAs<CArticExpDurBp, CArticExpUtil::GetExpDurBpParam>},
    {"CArticExpDurAll", WriteAs<CArticExpDurAll, CArticExpUtil::GetExpDurAllParam>},
    {"CArticExpKeySft", WriteAs<CArticExpKeySft, CArticExpUtil::GetExpKeySftParam>},
    {"CArticExpArrayTurn1", WriteAs<CArticExpArrayTurn1, CArticExpUtil::GetExpArrayTurn1Param>},
    {"CArticExpArrayTurn2", WriteAs<CArticExpArrayTurn2, CArticExpUtil::GetExpArrayTurn2Param>},
    {"CArticExpArrayTurn3", WriteAs<CArticExpArrayTurn3, CArticExpUtil::GetExpArrayTurn3Param>},
    {"CArticExpArrayTurn4", WriteAs<CArticExpArrayTurn4, CArticExpUtil::GetExpArrayTurn4Param>},
    {"CArticExpArrayTurn5", WriteAs<CArticExpArrayTurn5, CArticExpUtil::GetExpArrayTurn5Param>},
    {"CArticExpArrayTurn6", WriteAs<CArticExpArrayTurn6, CArticExpUtil::GetExpArrayTurn6Param>},
    {"CArticExpArrayTrill1", WriteAs<CArticExpArrayTrill1, CArticExpUtil::GetExpArrayTrill1Param>},
    {"CArticExpArrayTrill2", WriteAs<CArticExpArrayTrill2, CArticExpUtil::GetExpArrayTrill2Param>},
    {"CArticExpArrayStop", WriteAs<CArticExpArrayStop, CArticExpUtil::GetExpArrayStopParam>},
    {"CArticExpArrayUsrStop", WriteAs<CArticExpArrayUsrStop, CArticExpUtil::GetExpArrayUsrStopParam>},
    {"CArticExpTimeSft", WriteAs<CArticExpTimeSft, CArticExpUtil::GetExpTimeSftParam>},
    {"CArticExpTimeSft2", WriteAs<CArticExpTimeSft2, CArticExpUtil::GetExpTimeSft2Param>},
    {"CArticExpTimeSwing", WriteAs<CArticExpTimeSwing, CArticExpUtil::GetExpTimeSwingParam>},
    {"CArticExpTimeWaltz", WriteAs<CArticExpTimeWaltz, CArticExpUtil::GetExpTimeWaltzParam>},
    {"CArticExpCreNote", WriteAs<CArticExpCreNote, CArticExpUtil::GetExpCreNoteParam>},
    {"CArticExpCreNote2", WriteAs<CArticExpCreNote2, CArticExpUtil::GetExpCreNote2Param>},
    {"CArticExpDel", WriteAs<CArticExpDel, CArticExpUtil::GetExpDelParam>},
    {"CArticExpDebug_i", WriteAs<CArticExpDebug_i, CArticExpUtil::GetExpDebug_iParam>},
    {"CArticExpDebug_i2", WriteAs<CArticExpDebug_i2, CArticExpUtil::GetExpDebug_i2Param>},
    {"CArticExpDebug_d", WriteAs<CArticExpDebug_d, CArticExpUtil::GetExpDebug_dParam>},
    {"CArticExpArraySlurPb", WriteAs<CArticExpArraySlurPb, CArticExpUtil::GetExpArraySlurPbParam>},
    {"CArticExpArraySlurDur", WriteAs<CArticExpArraySlurDur, CArticExpUtil::GetExpArraySlurDurParam>},
    {"CArticExpArrayTie", WriteAs<CArticExpArrayTie, CArticExpUtil::GetExpArrayTieParam>},
    {"CArticExpPitchCrv", WriteAs<CArticExpPitchCrv, CArticExpUtil::GetExpPitchCrvParam>},
    {"CArticExpPitchCrv2", WriteAs<CArticExpPitchCrv2, CArticExpUtil::GetExpPitchCrv2Param>},
    {"CArticExpPitchSlide", WriteAs<CArticExpPitchSlide, CArticExpUtil::GetExpPitchSlideParam>},
    {"CArticExpPitchSlide2", WriteAs<CArticExpPitchSlide2, CArticExpUtil::GetExpPitchSlide2Param>},
    {"CArticExpPitchGtrBend", WriteAs<CArticExpPitchGtrBend, CArticExpUtil::GetExpPitchGtrBendParam>},
    {"CArticExpPitchGtrSlide", WriteAs<CArticExpPitchGtrSlide, CArticExpUtil::GetExpPitchGtrSlideParam>},
    {"CArticExpStresContCcTimeAbs", WriteAs<CArticExpStresContCcTimeAbs, CArticExpUtil::GetExpStresContCcTimeAbsParam>},
    {"CArticExpStresContCcTimeRelFix", WriteAs<CArticExpStresContCcTimeRelFix, CArticExpUtil::GetExpStresContCcTimeRelFixParam>},
    {"CArticExpStresContCcTimeRelAreaFix", WriteAs<CArticExpStresContCcTimeRelAreaFix, CArticExpUtil::GetExpStresContCcTimeRelAreaFixParam>},
    {"CArticExpStresContCcTimeRelCrv", WriteAs<CArticExpStresContCcTimeRelCrv, CArticExpUtil::GetExpStresContCcTimeRelCrvParam>},
    {"CArticExpStresContCcNoteCrv", WriteAs<CArticExpStresContCcNoteCrv, CArticExpUtil::GetExpStresContCcNoteCrvParam>},
    {"CArticExpStresContCcNoteCreAbs", WriteAs<CArticExpStresContCcNoteCreAbs, CArticExpUtil::GetExpStresContCcNoteCreAbsParam>},
    {"CArticExpStresContCcNoteCreAbs2", WriteAs<CArticExpStresContCcNoteCreAbs2, CArticExpUtil::GetExpStresContCcNoteCreAbs2Param>},
    {"CArticExpStresContCcNoteCreRel", WriteAs<CArticExpStresContCcNoteCreRel, CArticExpUtil::GetExpStresContCcNoteCreRelParam>},
    {"CArticExpStresContCcNoteCreRel2", WriteAs<CArticExpStresContCcNoteCreRel2, CArticExpUtil::GetExpStresContCcNoteCreRel2Param>},
    {"CArticExpOrgContCc", WriteAs<CArticExpOrgContCc, CArticExpUtil::GetExpOrgContCcParam>},
    {"CArticExpPackNrpnNoteCreAbs", WriteAs<CArticExpPackNrpnNoteCreAbs, CArticExpUtil::GetExpPackNrpnNoteCreAbsParam>},
    {"CArticExpPackNrpnNoteCreRel", WriteAs<CArticExpPackNrpnNoteCreRel, CArticExpUtil::GetExpPackNrpnNoteCreRelParam>},
    {"CArticExpPackRpnNoteCreAbs", WriteAs<CArticExpPackRpnNoteCreAbs, CArticExpUtil::GetExpPackRpnNoteCreAbsParam>},
    {"CArticExpPackRpnNoteCreRel", WriteAs<CArticExpPackRpnNoteCreRel, CArticExpUtil::GetExpPackRpnNoteCreRelParam>},
    {"CArticExpTempoAbs", WriteAs<CArticExpTempoAbs, CArticExpUtil::GetExpTempoAbsParam>},
    {"CArticExpTempoAbsRel", WriteAs<CArticExpTempoAbsRel, CArticExpUtil::GetExpTempoAbsRelParam>},
    {"CArticExpTempoRelFix", WriteAs<CArticExpTempoRelFix, CArticExpUtil::GetExpTempoRelFixParam>},
    {"CArticExpTempoRelCrv", WriteAs<CArticExpTempoRelCrv, CArticExpUtil::GetExpTempoRelCrvParam>},
    {"CArticExpTempoFermata", WriteAs<CArticExpTempoFermata, CArticExpUtil::GetExpTempoFermataParam>},
    {"CArticExpTempoBreath", WriteAs<CArticExpTempoBreath, CArticExpUtil::GetExpTempoBreathParam>},
    {"CArticExpFileSmfContCc", WriteAs<CArticExpFileSmfContCc, CArticExpUtil::GetExpFileSmfContCcParam>},
    {"CArticExpFileSmfContCc2", WriteAs<CArticExpFileSmfContCc2, CArticExpUtil::GetExpFileSmfContCc2Param>},
    {"CArticExpFileSmfContCc3", WriteAs<CArticExpFileSmfContCc3, CArticExpUtil::GetExpFileSmfContCc3Param>},
    {"CArticExpFileSmfContPb", WriteAs<CArticExpFileSmfContPb, CArticExpUtil::GetExpFileSmfContPbParam>},
    {"CArticExpFileSmfContPb2", WriteAs<CArticExpFileSmfContPb2, CArticExpUtil::GetExpFileSmfContPb2Param>},
    {"CArticExpFileSmfContPb3", WriteAs<CArticExpFileSmfContPb3, CArticExpUtil::GetExpFileSmfContPb3Param>},
    {"CArticExpFileSmfContPb4", WriteAs<CArticExpFileSmfContPb4, CArticExpUtil::GetExpFileSmfContPb4Param>},
    {"CArticExpFileSmfContPbEg", WriteAs<CArticExpFileSmfContPbEg, CArticExpUtil::GetExpFileSmfContPbEgParam>},
    {"CArticExpFileSmfContPbEg2", WriteAs<CArticExpFileSmfContPbEg2, CArticExpUtil::GetExpFileSmfContPbEg2Param>},
    {"CArticExpFileSmfFree", WriteAs<CArticExpFileSmfFree, CArticExpUtil::GetExpFileSmfFreeParam>},
    {"CArticExpFileSmfNoteTril2", WriteAs<CArticExpFileSmfNoteTril2, CArticExpUtil::GetExpFileSmfNoteTril2Param>},
    {"CArticExpFileSmfNoteTril3", WriteAs<CArticExpFileSmfNoteTril3, CArticExpUtil::GetExpFileSmfNoteTril3Param>},
    {"CArticExpFileSmfNoteTurn", WriteAs<CArticExpFileSmfNoteTurn, CArticExpUtil::GetExpFileSmfNoteTurnParam>},
    {"CArticExpFileSmfNoteTurn2", WriteAs<CArticExpFileSmfNoteTurn2, CArticExpUtil::GetExpFileSmfNoteTurn2Param>},
    {"CArticExpFileSmfNoteMord2", WriteAs<CArticExpFileSmfNoteMord2, CArticExpUtil::GetExpFileSmfNoteMord2Param>},
    {"CArticExpFileSmfNoteTrml1", WriteAs<CArticExpFileSmfNoteTrml1, CArticExpUtil::GetExpFileSmfNoteTrml1Param>},
    {"CArticExpFileSmfNoteTrml2", WriteAs<CArticExpFileSmfNoteTrml2, CArticExpUtil::GetExpFileSmfNoteTrml2Param>},
    {"CArticExpFileSmfNoteGlis1", WriteAs<CArticExpFileSmfNoteGlis1, CArticExpUtil::GetExpFileSmfNoteGlis1Param>},
    {"CArticExpFileSmfNoteArpg", WriteAs<CArticExpFileSmfNoteArpg, CArticExpUtil::GetExpFileSmfNoteArpgParam>},
    {"CArticExpLayerBow1", WriteAs<CArticExpLayerBow1, CArticExpUtil::GetExpLayerBow1Param>},
    {"CArticExpLayerBow2", WriteAs<CArticExpLayerBow2, CArticExpUtil::GetExpLayerBow2Param>},
    {"CArticExpLayerNote1", WriteAs<CArticExpLayerNote1, CArticExpUtil::GetExpLayerNote1Param>},
    {"CArticExpLayerNote2", WriteAs<CArticExpLayerNote2, CArticExpUtil::GetExpLayerNote2Param>},
    {nullptr, nullptr},
};

const ParamWriter* FindWriter(const char* className) {
    for (const ParamWriter* w = kParamWriters; w->className; ++w)
        if (std::strcmp(w->className, className) == 0) return w;
    return nullptr;
}

}  // namespace

void CArticExpUtil::CopyEvntList(const CArticWrkEvntList* src, CArticWrkEvntList* dst) {
    if (!src || !dst) return;
    for (POSITION p = src->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = src->GetNext(p);
        if (e) dst->AddTail(e);
    }
}

int CArticExpUtil::GetEvntParam(CArticExpEvnt* evnt, CStringList& items) {
    if (!evnt) return 0;
    const char* name = evnt->GetClassNameA();
    const CString detail = CString("ｸﾗｽ名 = ") + name;
    const ParamWriter* writer = FindWriter(name);
    if (!writer) {
        CArticErr::Set("未対応のｲﾍﾞﾝﾄが存在します。", "CArticExpUtil", "GetEvntParam", detail);
        return 1;
    }
    int rc = writer->write(evnt, items);
    if (rc != 0) CArticErr::Set("ｲﾍﾞﾝﾄの読込み中にｴﾗｰが発生しました。", "CArticExpUtil", "GetEvntParam", detail);
    return rc;
}

int CArticExpUtil::AddNoteListItem(const CArticExpEvnt* evnt, CArticWrkEvntList* list, CStringList& items) {
    if (!evnt) return 1;
    CArticWrk* wrk = evnt->GetWrk();
    if (!wrk) wrk = evnt->GetMidWrk();
    CString text;
    const int rc = CArticWrkUtil::GetWrkEvntListParam(wrk, list, text);
    if (rc == 0) items.AddTail(text);
    return rc;
}

CString CArticExpUtil::LongText(LONG value) {
    CExString text;
    text.ConvLongToStr(value, 10);
    return text;
}

CString CArticExpUtil::ULongText(ULONG value) {
    CString text;
    text.Format("%u", unsigned(value));
    return text;
}

CString CArticExpUtil::MeasText(const CArticMeas& meas) {
    CString text;
    text.Format("%u/%u/%u", unsigned(meas.GetMeas()), unsigned(meas.GetBeat()), unsigned(meas.GetTick()));
    return text;
}

CString CArticExpUtil::QuotedText(const CString& text) { return "\"" + text + "\""; }
