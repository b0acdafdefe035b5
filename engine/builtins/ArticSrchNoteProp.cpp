#include "engine/builtins/ArticSrchNoteProp.h"

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticFileIO.h"
#include "engine/work/ArticFngrInfo.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkTrk.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/File.h"

VX_IMPLEMENT_CLASS(CArticSrchGetGen, CArticSrchGetArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchGetPos, CArticSrchGetArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutGen, CArticSrchPutArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutPos, CArticSrchPutArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutGenType, CArticSrchPutArrayEvntType);
VX_IMPLEMENT_CLASS(CArticSrchPutPosType, CArticSrchPutArrayEvntType);
VX_IMPLEMENT_CLASS(CArticSrchGetGracedFlg, CArticSrchGetArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchGetPbWhitenFlg, CArticSrchGetArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchTrkAttri, CArticSrchGetArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchTrkSelected, CArticSrchGetArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchGetSmfSize, CArticSrchGetArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchBreak, CArticSrchEvnt);

namespace {

enum class Fingering { Gen, Pos };

// Reads the note and the output, then writes what get gives for it; get
// returns false for a missing property (0.0, result 1, nothing recorded).
template <class Get>
int ReadNoteProp(CArticSrchEvnt* self, CArticRulElm* ev, CArticRulElm* out, Get get) {
    ArticSrchCall call(self);
    CArticWrkEvnt* note = call.Evnt(ev);
    CArticRulDataVal* var = call.OutVal(out);
    double value = 0.0;
    if (call.Ok() && !get(note, &value)) {
        value = 0.0;
        call.Fail();
    }
    ArticSrchPut(var, value);
    return call.Result();
}

bool ReadFingering(CArticWrkEvnt* note, Fingering which, double* value) {
    const CArticFngrInfo* f = note->GetFngrInfo();
    if (!f) return false;
    *value = which == Fingering::Gen ? double(f->GetGen()) : double(f->GetPos());
    return true;
}

// Reads (sw,) ev and v; stores the low 8 bits of v into the fingering when
// sw is not 0. A note without fingering fails whatever sw is.
int WriteFingering(CArticSrchEvnt* self, CArticRulElm* sw, CArticRulElm* ev, CArticRulElm* v, Fingering which) {
    ArticSrchCall call(self);
    double on = 1.0, value = 0.0;
    if (sw) call.Num(sw, &on);
    CArticWrkEvnt* note = call.Evnt(ev);
    call.Num(v, &value);
    if (!call.Ok()) return 1;
    CArticFngrInfo* f = note->GetFngrInfo();
    if (!f) return 1;
    if (on == 0.0) return 0;
    const BYTE low = srchnum::LowByte(value);
    if (which == Fingering::Gen) {
        f->SetGen(low);
    } else {
        f->SetPos(LONG(low));
    }
    return 0;
}

CArticWrkTrk* TrackOf(CArticWrkEvnt* note) {
    CArticWrkBlk* blk = note->GetOwner();
    return blk ? blk->GetOwner() : nullptr;
}

// The on-time of the last event of a phrase file: false when the file is
// missing, unreadable or empty.
bool SmfLength(const CString& name, double* length) {
    const CString path = CArticUtil::GetLibFullPath(name);
    if (!CFile::GetStatus(path)) return false;
    CArticFileIO io;
    CArticWrkEvntList* list = nullptr;
    if (CArticWrkUtil::LoadFileSmf(&io, path, &list) != 0 || !list || list->IsEmpty()) return false;
    *length = double(list->GetTail()->GetTime());
    return true;
}

}  // namespace

int CArticSrchGetGen::Search() {
    return ReadNoteProp(this, m_pRulElmI1, m_pRulElmO1,
                        [](CArticWrkEvnt* n, double* v) { return ReadFingering(n, Fingering::Gen, v); });
}

int CArticSrchGetPos::Search() {
    return ReadNoteProp(this, m_pRulElmI1, m_pRulElmO1,
                        [](CArticWrkEvnt* n, double* v) { return ReadFingering(n, Fingering::Pos, v); });
}

int CArticSrchPutGen::Search() { return WriteFingering(this, nullptr, m_pRulElmI1, m_pRulElmI2, Fingering::Gen); }
int CArticSrchPutPos::Search() { return WriteFingering(this, nullptr, m_pRulElmI1, m_pRulElmI2, Fingering::Pos); }

int CArticSrchPutGenType::Search() {
    return WriteFingering(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, Fingering::Gen);
}

int CArticSrchPutPosType::Search() {
    return WriteFingering(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, Fingering::Pos);
}

int CArticSrchGetGracedFlg::Search() {
    return ReadNoteProp(this, m_pRulElmI1, m_pRulElmO1, [](CArticWrkEvnt* n, double* v) {
        *v = double(n->GetGraced());
        return true;
    });
}

int CArticSrchGetPbWhitenFlg::Search() {
    return ReadNoteProp(this, m_pRulElmI1, m_pRulElmO1, [](CArticWrkEvnt* n, double* v) {
        *v = double(n->GetPbWhiten());
        return true;
    });
}

int CArticSrchTrkAttri::Search() {
    return ReadNoteProp(this, m_pRulElmI1, m_pRulElmO1, [](CArticWrkEvnt* n, double* v) {
        CArticWrkTrk* trk = TrackOf(n);
        if (trk) *v = double(trk->GetTrkAttr());
        return trk != nullptr;
    });
}

int CArticSrchTrkSelected::Search() {
    return ReadNoteProp(this, m_pRulElmI1, m_pRulElmO1, [](CArticWrkEvnt* n, double* v) {
        CArticWrkTrk* trk = TrackOf(n);
        if (trk) *v = trk->GetSelTrk() != 0 ? 1.0 : 0.0;
        return trk != nullptr;
    });
}

int CArticSrchGetSmfSize::Search() {
    ArticSrchCall call(this);
    CString name;
    call.Text(m_pRulElmI1, &name);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    double length = 0.0;
    if (call.Ok() && !SmfLength(name, &length)) {
        length = 0.0;
        call.Fail();
    }
    ArticSrchPut(out, length);
    return call.Result();
}

int CArticSrchBreak::Search() {
    ArticSrchCall call(this);
    double cond = 0.0;
    if (!call.Num(m_pRulElmI1, &cond)) return 1;
    if (cond == 0.0 && GetRulSet()) GetRulSet()->SetBreak(1);
    return 0;
}
