#pragma once
// Tagging every event of an array variable in a note-information slot, and
// appending to the event array the notes that sound together with a note.
#include "engine/builtins/ArticSrchArrayFill.h"

// SetAryNoteInfoType(sw, ary, idx, v): when sw is not 0, slot idx of every
// event of ary := v truncated (clamped to 32 bits).
class CArticSrchSetAryNoteInfoType : public ArticSrchWithI4<ArticSrchWithI3<ArticSrchArgsII>> {
    VX_DECLARE_CLASS(CArticSrchSetAryNoteInfoType)
public:
    using ArticSrchWithI4::ArticSrchWithI4;
    int Search() override;

protected:
    // The value slot idx of an event takes from its old value and v.
    virtual LONG NewValue(LONG old, double v) const;
    // Reads the operands up to bitElm (null: none), then last: 0 to go on,
    // 1 to fail, -1 to return 0 doing nothing.
    int Apply(CArticRulElm* bitElm, CArticRulElm* lastElm);
    int m_Bit = -1;  // the bit of the call being run; -1 when out of range
};

// SetAryNoteInfoBitType(sw, ary, idx, bit, b): sets (b not 0) or clears bit
// 0..31 of slot idx of every event; another bit changes nothing.
class CArticSrchSetAryNoteInfoBitType : public ArticSrchWithI5<CArticSrchSetAryNoteInfoType> {
    VX_DECLARE_CLASS(CArticSrchSetAryNoteInfoBitType)
public:
    using ArticSrchWithI5::ArticSrchWithI5;
    int Search() override;

protected:
    LONG NewValue(LONG old, double b) const override;
};

// PutArrayEvntChord(ev, window, &size): the notes of the selected tracks
// starting between on(ev) and on(ev) + window (a negative window looks back).
class CArticSrchPutArrayEvntChord : public CArticSrchPutArrayEvntNumWrkNext {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntChord)
public:
    using CArticSrchPutArrayEvntNumWrkNext::CArticSrchPutArrayEvntNumWrkNext;
    int Search() override;
};

// PutArrayEvntHarmo(ev, window, &size): the notes of the selected tracks
// sounding while ev sounds, trimmed by window at both ends.
class CArticSrchPutArrayEvntHarmo : public CArticSrchPutArrayEvntNumWrkNext {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntHarmo)
public:
    using CArticSrchPutArrayEvntNumWrkNext::CArticSrchPutArrayEvntNumWrkNext;
    int Search() override;
};

// PutArrayEvntChord2(ev, window, ratio, cap, &size): the following notes that
// overlap ev enough, the last taken first, then ev.
class CArticSrchPutArrayEvntChord2 : public ArticSrchWithI4<ArticSrchWithI3<CArticSrchPutArrayEvntNumWrkNext>> {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntChord2)
public:
    using ArticSrchWithI4::ArticSrchWithI4;
    int Search() override;

protected:
    virtual int Gather(CArticWrk* wrk, CArticWrkEvntList* list, CArticWrkEvnt* ev, double window, double ratio,
                       double cap);
};

// PutArrayEvntChord3(ev, window, ratio, cap, &size): ev, then the following
// notes forming a chord with every note taken so far.
class CArticSrchPutArrayEvntChord3 : public CArticSrchPutArrayEvntChord2 {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntChord3)
public:
    using CArticSrchPutArrayEvntChord2::CArticSrchPutArrayEvntChord2;

protected:
    int Gather(CArticWrk* wrk, CArticWrkEvntList* list, CArticWrkEvnt* ev, double window, double ratio,
               double cap) override;
};
