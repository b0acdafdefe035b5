#pragma once
// Pitch-bend whitening: the bend under a note of a selected work track is
// followed from the note's start and quantised to whole semitones; where the
// quantised pitch stays changed long enough the note is split there and the
// later part gets its own key. The first part stays the same event, shifted
// by its own offset; the new notes carry the whitening flag. Bend events are
// left as they are.
#include <vector>

#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CArticPos;
class CArticWrk;
class CArticWrkEvnt;
using CArticPosList = CTypedPtrList<CObList, CArticPos*>;

// One point of a note's bend curve.
class CTimeVal : public CObject {
    VX_DECLARE_CLASS(CTimeVal)
public:
    CTimeVal(INT64 time = 0, LONG value = 0, LONG range = 2) : m_Time(time), m_Value(value), m_Range(range) {}
    ~CTimeVal() override = default;
    virtual INT64 GetTime() const { return m_Time; }
    virtual LONG GetValue() const { return m_Value; }  // -8192 .. 8191
    virtual LONG GetRange() const { return m_Range; }  // semitones
    virtual void SetTime(INT64 time) { m_Time = time; }
    virtual void SetValue(LONG value) { m_Value = value; }
    virtual void SetRange(LONG range) { m_Range = range; }

private:
    INT64 m_Time;
    LONG m_Value;
    LONG m_Range;
};

// A bend curve in time order; the points are owned by whoever fills it.
using CTimeValArray = CTypedPtrArray<CObArray, CTimeVal*>;
using CArticIndexList = std::vector<int>;

class CPbWhiten : public CObject {
    VX_DECLARE_CLASS(CPbWhiten)
public:
    static constexpr int kPartCount = 12;

    CPbWhiten();
    ~CPbWhiten() override = default;
    CPbWhiten(const CPbWhiten&) = delete;
    CPbWhiten& operator=(const CPbWhiten&) = delete;

    virtual CArticWrk* GetWrk() const { return m_pWrk; }
    virtual INT64 GetMinSpritTime() const { return m_MinSpritTime; }
    virtual double GetKeySftMargin() const { return m_KeySftMargin; }
    virtual int GetInputMargin() const { return m_InputMargin; }
    virtual void SetWrk(CArticWrk* wrk) { m_pWrk = wrk; }
    // The shortest part of a note that may be split off, and how far before
    // a note's end bends stop counting.
    virtual void SetMinSpritTime(INT64 ticks) { m_MinSpritTime = ticks; }
    // The direction-dependent margin of the quantisation, semitones.
    virtual void SetKeySftMargin(double margin) { m_KeySftMargin = margin; }
    // Tolerance of the search for where a bend starts moving, ticks.
    virtual void SetInputMargin(int ticks) { m_InputMargin = ticks; }

    // Every note of every selected track: 0; 1 without work data or track
    // list, for a missing event list or record, or at the first failing note.
    virtual int WhitenPBtoKey();
    // Work data null, minimum split 85, margin 0.25, input margin 6.
    virtual void Init();
    // The note at `entry` of the part's list under the bend value and range
    // in force at its start: builds its curve and splits it. 0; 1 for a
    // missing argument or event.
    virtual int WhitenPBtoKeyEachNote(CArticPosList* list, POSITION entry, LONG bend, LONG range);
    // The indexes where the quantised curve changes, in descending order,
    // framed by the last point and 0. 1 for a missing or empty curve.
    virtual int WhitenPB_MakePosListCrosHf(const CTimeValArray* curve, CArticIndexList* indexes);
    // Splits the note at the change points: 0, or the OR of the failures
    // (1 for a missing argument or an index outside the curve).
    virtual int WhitenPB_SeparateNote(CArticWrkEvnt* note, const CTimeValArray* curve, const CArticIndexList* indexes);
    // A new note from time t to the note's end, key + shift, whitening flag
    // set; the note ends at t. 0; 1 when t is not strictly inside the note,
    // the note has no block or the new event cannot be made.
    virtual int ExecSeparateNote(CArticWrkEvnt* note, INT64 t, int shift);
    // Where the bend starts its last move towards point `last`: *split may
    // move back. 0; 1 for an index outside the curve or a missing point.
    virtual int CalcCrvStart(const CTimeValArray* curve, int first, int last, int* split);

    // The whole-semitone offset of curve point i (falling points round down
    // by the margin, others up). A range of 0 is no pitch change.
    int KeyOffset(const CTimeValArray& curve, int i) const;

private:
    CArticWrk* m_pWrk = nullptr;  // not owned
    INT64 m_MinSpritTime = 85;
    double m_KeySftMargin = 0.25;
    int m_InputMargin = 6;
};
