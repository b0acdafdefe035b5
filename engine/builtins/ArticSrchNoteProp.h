#pragma once
// Single properties of a note and its track: the fingering (string and
// position), the flags of the preparatory passes, the track's attribute and
// selection; the length of a phrase file; and the stop of the rule set.
#include "engine/builtins/ArticSrchArrayEvnt.h"

#define VX_SRCH_PROP(Cls, Base)            \
    class Cls : public Base {              \
        VX_DECLARE_CLASS(Cls)              \
    public:                                \
        using Base::Base;                  \
        int Search() override;             \
    };

// GetGen / GetPos(ev, &out): the string / position of a fingered note.
VX_SRCH_PROP(CArticSrchGetGen, CArticSrchGetArrayEvnt)
VX_SRCH_PROP(CArticSrchGetPos, CArticSrchGetArrayEvnt)
// PutGen / PutPos(ev, v): the low 8 bits of v into the string / position.
VX_SRCH_PROP(CArticSrchPutGen, CArticSrchPutArrayEvnt)
VX_SRCH_PROP(CArticSrchPutPos, CArticSrchPutArrayEvnt)
// PutGenType / PutPosType(sw, ev, v): as PutGen / PutPos when sw is not 0.
VX_SRCH_PROP(CArticSrchPutGenType, CArticSrchPutArrayEvntType)
VX_SRCH_PROP(CArticSrchPutPosType, CArticSrchPutArrayEvntType)
// GetGracedFlg / GetPbWhitenFlg(ev, &out): the flags as stored.
VX_SRCH_PROP(CArticSrchGetGracedFlg, CArticSrchGetArrayEvnt)
VX_SRCH_PROP(CArticSrchGetPbWhitenFlg, CArticSrchGetArrayEvnt)
// TrkAttri(ev, &out): the attribute of the note's track; TrkSelected: 1.0
// when the track is selected.
VX_SRCH_PROP(CArticSrchTrkAttri, CArticSrchGetArrayEvnt)
VX_SRCH_PROP(CArticSrchTrkSelected, CArticSrchGetArrayEvnt)
// GetSmfSize(name, &len): the time of the last event of a phrase file of
// the library folder (a name with a drive letter is a full path).
VX_SRCH_PROP(CArticSrchGetSmfSize, CArticSrchGetArrayEvnt)
// Break(cond): a condition of exactly 0.0 stops the set for this note.
VX_SRCH_PROP(CArticSrchBreak, ArticSrchArgsI)
#undef VX_SRCH_PROP
