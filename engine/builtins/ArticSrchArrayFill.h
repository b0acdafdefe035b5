#pragma once
// Filling the event array: the notes of an array variable or a measure, a
// note and its neighbours, the notes of a time range or between two notes,
// and the notes sounding with a note. Every one appends after the last note
// of the array, in the order found, without looking for duplicates.
#include "engine/builtins/ArticSrchArrayEvnt.h"

// PutArrayEvntMeas(ev, &n): the notes of ev's block in ev's measure; n the
// number appended.
class CArticSrchPutArrayEvntMeas : public ArticSrchArgsIO {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntMeas)
public:
    using ArticSrchArgsIO::ArticSrchArgsIO;
    int Search() override;

protected:
    virtual void Collect(CArticWrkEvnt* ev, CArticWrkEvntList* list);
};

// PutArrayEvntMeasWrk(ev, &n): the notes of every selected track in ev's measure.
class CArticSrchPutArrayEvntMeasWrk : public CArticSrchPutArrayEvntMeas {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntMeasWrk)
public:
    using CArticSrchPutArrayEvntMeas::CArticSrchPutArrayEvntMeas;

protected:
    void Collect(CArticWrkEvnt* ev, CArticWrkEvntList* list) override;
};

// PutArrayEvntAry(ary, &n): every event of ary; n the used length afterwards.
class CArticSrchPutArrayEvntAry : public CArticSrchPutArrayEvntMeas {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntAry)
public:
    using CArticSrchPutArrayEvntMeas::CArticSrchPutArrayEvntMeas;
    int Search() override;
};

// PutArrayEvntNumNext(ev, count, &size): ev and the next count - 1 notes of
// its block on its string; size the used length afterwards. count below 1
// fails without a report.
class CArticSrchPutArrayEvntNumNext : public ArticSrchWithO1<CArticSrchPutArrayEvnt> {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntNumNext)
public:
    using ArticSrchWithO1::ArticSrchWithO1;
    int Search() override;

protected:
    // Appends the n notes after (before) ev to list.
    virtual void Neighbours(CArticWrkEvnt* ev, int n, CArticWrkEvntList* list);
};

// ... the preceding notes of its block on its string, nearest first.
class CArticSrchPutArrayEvntNumPre : public CArticSrchPutArrayEvntNumNext {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntNumPre)
public:
    using CArticSrchPutArrayEvntNumNext::CArticSrchPutArrayEvntNumNext;

protected:
    void Neighbours(CArticWrkEvnt* ev, int n, CArticWrkEvntList* list) override;
};

// ... the next notes in work order.
class CArticSrchPutArrayEvntNumWrkNext : public CArticSrchPutArrayEvntNumNext {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntNumWrkNext)
public:
    using CArticSrchPutArrayEvntNumNext::CArticSrchPutArrayEvntNumNext;

protected:
    void Neighbours(CArticWrkEvnt* ev, int n, CArticWrkEvntList* list) override;
};

// ... the preceding notes in work order, nearest first.
class CArticSrchPutArrayEvntNumWrkPre : public CArticSrchPutArrayEvntNumNext {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntNumWrkPre)
public:
    using CArticSrchPutArrayEvntNumNext::CArticSrchPutArrayEvntNumNext;

protected:
    void Neighbours(CArticWrkEvnt* ev, int n, CArticWrkEvntList* list) override;
};

// PutArrayEvntArea(from, to, &n): the notes of the current note's block with
// from <= on-time <= to. Negative or inverted bounds are reported.
class CArticSrchPutArrayEvntArea : public CArticSrchPutArrayEvntNumNext {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntArea)
public:
    using CArticSrchPutArrayEvntNumNext::CArticSrchPutArrayEvntNumNext;
    int Search() override;
};

// PutArrayEvntAreaWrk(from, to, &n): the same over every selected track.
class CArticSrchPutArrayEvntAreaWrk : public CArticSrchPutArrayEvntNumWrkNext {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntAreaWrk)
public:
    using CArticSrchPutArrayEvntNumWrkNext::CArticSrchPutArrayEvntNumWrkNext;
    int Search() override;

private:
    // The notes of one call; the storage serves the next (scripts ask once per note).
    std::vector<CArticWrkEvnt*> m_Notes;
};

// PutArrayEvntAreaEvnt(evA, evB, &n): the notes of the selected tracks whose
// event numbers lie between the two notes' (both included); a missing note
// is replaced by the other one.
class CArticSrchPutArrayEvntAreaEvnt : public CArticSrchPutArrayEvntNumWrkNext {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntAreaEvnt)
public:
    using CArticSrchPutArrayEvntNumWrkNext::CArticSrchPutArrayEvntNumWrkNext;
    int Search() override;
};

// PutArrayEvntAreaWrkByEvnt(ev, mode, from, to, &n): the notes around ev over
// all tracks with from <= on-time <= to, in event-number order; mode must be 0.
class CArticSrchPutArrayEvntAreaWrkByEvnt
    : public ArticSrchWithI4<ArticSrchWithI3<CArticSrchPutArrayEvntNumWrkNext>> {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntAreaWrkByEvnt)
public:
    using ArticSrchWithI4::ArticSrchWithI4;
    int Search() override;
    // Appends the notes around ev and adds their number to *count: the
    // collector's result (1 without ev).
    virtual int FindEvntByOnTime(CArticWrkEvnt* ev, ULONG from, ULONG to, int* count);
};
