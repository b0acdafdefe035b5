#include "engine/builtins/ArticSrchChord.h"

#include "engine/builtins/ArticSrchCall.h"

VX_IMPLEMENT_CLASS(CArticSrchGetChord, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchGetHarmo, CArticSrchGetChord);
VX_IMPLEMENT_CLASS(CArticSrchGetChordFirst, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutChord, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutHarmo, CArticSrchPutChord);
VX_IMPLEMENT_CLASS(CArticSrchPutChordAry, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutHarmoAryAry, CArticSrchPutChordAry);
VX_IMPLEMENT_CLASS(CArticSrchPutChordFirst, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutChordFirstAry, CArticSrchEvnt);

int CArticSrchGetChord::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI1);
    CArticRulDataAry* ary = call.OutAry(m_pRulElmO1);
    CArticRulDataVal* n = call.OutVal(m_pRulElmO2);
    CArticWrkEvntList* list = call.Ok() ? ListOf(note) : nullptr;
    if (!list) {
        ArticSrchPut(n, 0.0);  // a note without a list keeps the array as it was
        return call.Result();
    }
    CArticWrkEvntList copy(10);
    copy.AddTail(*list);
    ArticSrchPut(ary, copy);
    ArticSrchPut(n, double(copy.GetCount()));
    return 0;
}

int CArticSrchGetChordFirst::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI1);
    CArticRulDataEvnt* out = call.OutEvnt(m_pRulElmO1);
    ArticSrchPut(out, call.Ok() ? note->GetChordFirstEvnt() : nullptr);
    return call.Result();
}

int CArticSrchPutChord::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI1);
    CArticRulDataAry* ary = call.Ary(m_pRulElmI2);
    if (!call.Ok()) return 1;
    CArticWrkEvntList added(10);
    ary->GetEvntList(&added);
    for (POSITION p = added.GetHeadPosition(); p;) Add(note, added.GetNext(p));
    return 0;
}

int CArticSrchPutChordAry::Search() {
    ArticSrchCall call(this);
    CArticRulDataAry* notes = call.Ary(m_pRulElmI1);
    CArticRulDataAry* ary = call.Ary(m_pRulElmI2);
    if (!call.Ok()) return 1;
    CArticWrkEvntList targets(10), added(10);
    notes->GetEvntList(&targets);
    ary->GetEvntList(&added);
    for (POSITION t = targets.GetHeadPosition(); t;) {
        CArticWrkEvnt* note = targets.GetNext(t);
        for (POSITION p = added.GetHeadPosition(); p;) Add(note, added.GetNext(p));
    }
    return 0;
}

int CArticSrchPutChordFirst::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI1);
    CArticWrkEvnt* first = call.Evnt(m_pRulElmI2);
    if (!call.Ok()) return 1;
    note->SetChordFirstEvnt(first);
    return 0;
}

int CArticSrchPutChordFirstAry::Search() {
    ArticSrchCall call(this);
    CArticRulDataAry* notes = call.Ary(m_pRulElmI1);
    CArticWrkEvnt* first = call.Evnt(m_pRulElmI2);
    if (!call.Ok()) return 1;
    CArticWrkEvntList targets(10);
    notes->GetEvntList(&targets);
    for (POSITION t = targets.GetHeadPosition(); t;) targets.GetNext(t)->SetChordFirstEvnt(first);
    return 0;
}
