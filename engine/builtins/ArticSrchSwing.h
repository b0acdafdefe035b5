#pragma once
// Moving values between a note and its note-information slots, a slot made
// relative to its measure, and the simulated swing re-timing of one note.
#include "engine/builtins/ArticSrchNeighbour.h"
#include "engine/builtins/ArticSrchValue.h"

// NoteInfoSwapDur / Key / Velo (ev, idx, &ok): exchanges the note's gate
// time / key / velocity with slot idx; NoteInfoSwapOnTime does so with any
// event's on-time, which keeps its place in its block.
#define VX_SRCH_SWAP(cls)                          \
    class cls : public CArticSrchVal {             \
        VX_DECLARE_CLASS(cls)                      \
    public:                                        \
        using CArticSrchVal::CArticSrchVal;        \
        int Search() override;                     \
    };
VX_SRCH_SWAP(CArticSrchNoteInfoSwapDur)
VX_SRCH_SWAP(CArticSrchNoteInfoSwapKey)
VX_SRCH_SWAP(CArticSrchNoteInfoSwapOnTime)
VX_SRCH_SWAP(CArticSrchNoteInfoSwapVelo)
#undef VX_SRCH_SWAP

// SwapArrayEvntNoteInfo(kind, idx, &ok): the exchange of attribute kind (0
// on-time, 1 gate, 2 key, 3 velocity) for every note of the event array;
// ok 1.0 when every exchange succeeded.
class CArticSrchSwapArrayEvntNoteInfo : public CArticSrchVal {
    VX_DECLARE_CLASS(CArticSrchSwapArrayEvntNoteInfo)
public:
    using CArticSrchVal::CArticSrchVal;
    int Search() override;
};

// NoteInfoTimeFromMeas(ev, idx, &out): slot idx less the start of the
// measure holding the note's on-time; 0.0 when negative.
class CArticSrchNoteInfoTimeFromMeas : public CArticSrchVal {
    VX_DECLARE_CLASS(CArticSrchNoteInfoTimeFromMeas)
public:
    using CArticSrchVal::CArticSrchVal;
    int Search() override;
    virtual int GetTime(ULONG meas, ULONG beat, ULONG tick, INT64* time);
    virtual int GetMeas(INT64 time, ULONG* meas, ULONG* beat, ULONG* tick);
};

// Swing(Type, ev, GroupTime, DevNum, Point, PointTime, &time, &dur): the
// note's on-time and length after the swing group map, the note unchanged.
// Type bit 0 aligns the group origin to the grid from time 0, bit 1 keeps the
// on-time, bit 2 the off-time. Stores (Type, ev, GroupTime, DevNum, time,
// Point, dur, PointTime).
class CArticSrchSwing : public CArticSrchAreaType {
    VX_DECLARE_CLASS(CArticSrchSwing)
public:
    using E = CArticRulElm*;
    CArticSrchSwing(CArticRulSet* set, ULONG no, E i1, E i2, E i3, E i4, E i5, E i6, E o1, E o2);
    ~CArticSrchSwing() override;
    void GetInRulElmList(CArticRulElmList* list) override;
    VX_SRCH_ARG(I6)
public:
    int Search() override;
    virtual void SimInit();
    virtual int SimToWrk();
    virtual int SimWrkSwingType01(BYTE alignOrigin, BYTE moveOn, BYTE moveOff);

protected:
    // The group map of on and off (off >= on): 0 and the results, or the
    // failing step's result with both results 0.
    int MapTimes(INT64 on, INT64 off, BYTE alignOrigin, BYTE moveOn, BYTE moveOff);
    // Stores Type, the note and GroupTime, DevNum, Point, PointTime in the
    // record, each by its checked conversion.
    void Store(double type, CArticWrkEvnt* note, const double (&group)[4]);
    // Writes the two results: the result given.
    int WriteResults(CArticRulDataVal* time, CArticRulDataVal* dur, int result);

    BYTE m_Type = 0;
    CArticWrkEvnt* m_pNote = nullptr;  // not owned
    ULONG m_GroupTime = 0;
    BYTE m_DevNum = 0;
    BYTE m_Point = 0;
    ULONG m_PointTime = 0;
    INT64 m_NewTime = 0;
    INT64 m_NewDur = 0;
};

// NoteInfoSwing(Type, ev, onIdx, durIdx, GroupTime, DevNum, Point, PointTime,
// &time, &dur): the same with the on-time from slot onIdx and the length from
// slot durIdx; a slot index outside 0..9 gives 0.0, 0.0 with result 0.
class CArticSrchNoteInfoSwing : public CArticSrchSwing {
    VX_DECLARE_CLASS(CArticSrchNoteInfoSwing)
public:
    CArticSrchNoteInfoSwing(CArticRulSet* set, ULONG no, E i1, E i2, E i3, E i4, E i5, E i6, E i7, E i8, E o1, E o2);
    ~CArticSrchNoteInfoSwing() override;
    void GetInRulElmList(CArticRulElmList* list) override;
    VX_SRCH_ARG(I7)
    VX_SRCH_ARG(I8)
public:
    int Search() override;
    void SimInit() override;
    int SimWrkSwingType01(BYTE alignOrigin, BYTE moveOn, BYTE moveOff) override;

protected:
    int m_OnIdx = 0;
    int m_DurIdx = 0;
};
