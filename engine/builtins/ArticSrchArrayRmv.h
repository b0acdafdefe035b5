#pragma once
// Thinning the event array: every filter lists the notes in index order,
// keeps those that pass, and stores them back compacted from index 0; n the
// number kept.
#include <functional>
#include <vector>

#include "engine/builtins/ArticSrchArrayEvnt.h"

// RmvArrayEvntTimeCmp(t, &n): the first note and the notes starting within t
// ticks of it; the array is emptied when index 0 holds no note.
class CArticSrchRmvArrayEvntTimeCmp : public ArticSrchWithI1<CArticSrchSortArrayEvnt> {
    VX_DECLARE_CLASS(CArticSrchRmvArrayEvntTimeCmp)
public:
    using ArticSrchWithI1::ArticSrchWithI1;
    int Search() override;
};

// RmvArrayEvntAttri(kind, v, &n): by the attribute a of each note's track:
// 0 a != v, 1 a = v, 2 a != v and a != 0, 3 a = v or a = 0, 4 none.
class CArticSrchRmvArrayEvntAttri : public ArticSrchWithI2<ArticSrchWithI1<CArticSrchSortArrayEvnt>> {
    VX_DECLARE_CLASS(CArticSrchRmvArrayEvntAttri)
public:
    using ArticSrchWithI2::ArticSrchWithI2;
    int Search() override;
};

// RmvArrayEvntChord(kind, window, &n): thins every chord (notes starting
// within window of its first): 0 keeps its top note, 1 its bottom note,
// 2 removes its top notes, 3 its bottom notes (sparing one when all are equal).
class CArticSrchRmvArrayEvntChord : public ArticSrchWithI2<CArticSrchRmvArrayEvntTimeCmp> {
    VX_DECLARE_CLASS(CArticSrchRmvArrayEvntChord)
public:
    using ArticSrchWithI2::ArticSrchWithI2;
    int Search() override;

    using NoteList = std::vector<CArticWrkEvnt*>;
    // The notes of the array in index order: 0; 1 without a program.
    virtual int MakeEvntList(NoteList* list);
    // Stores the list from index 0, the array exactly that long.
    virtual void MakeRulDataEvntArray(const NoteList& list, int* n);
    virtual int RmvChord(int kind, ULONG window, int* n);
    // The positions from p of the chord starting at p.
    virtual void MakeChordList(const NoteList& list, size_t p, ULONG window, std::vector<size_t>* chord);
    // The positions of chord to remove for kind.
    virtual void EvaChordList(const NoteList& list, const std::vector<size_t>& chord, int kind,
                              std::vector<size_t>* remove);
    // Removes the positions (ascending) from list and moves p past them.
    virtual void DelEvnt(NoteList* list, size_t* p, const std::vector<size_t>& remove);

protected:
    // Keeps the notes for which keep (a bool(const CArticWrkEvnt*) callable)
    // holds: MakeEvntList's result.
    template <class Pred>
    int Keep(const Pred& keep, int* n);

private:
    // The notes of one Keep; the storage serves the next (scripts filter the
    // array for nearly every note).
    NoteList m_Notes;
};

// RmvArrayEvntProb(kind, setNo, &n): 0 keeps the notes rated above 0 by set
// setNo, 1 those rated 0; 2 and 3 keep none.
class CArticSrchRmvArrayEvntProb : public CArticSrchRmvArrayEvntChord {
    VX_DECLARE_CLASS(CArticSrchRmvArrayEvntProb)
public:
    using CArticSrchRmvArrayEvntChord::CArticSrchRmvArrayEvntChord;
    int Search() override;
    virtual int RmvProb(int kind, ULONG setNo, int* n);
};

// RmvArrayEvntType(kind, limit, &n): even kinds keep at or above the limit,
// odd ones at or below: on-time (0, 1), gate (2, 3), off-time (4, 5),
// velocity (6, 7), key (8, 9); 10/11 all or none by the limit; 12/13 by
// string (notes without fingering stay).
class CArticSrchRmvArrayEvntType : public CArticSrchRmvArrayEvntChord {
    VX_DECLARE_CLASS(CArticSrchRmvArrayEvntType)
public:
    using CArticSrchRmvArrayEvntChord::CArticSrchRmvArrayEvntChord;
    int Search() override;
    virtual int RmvOnTime(int mode, ULONG limit, int* n);
    virtual int RmvGateTime(int mode, ULONG limit, int* n);
    virtual int RmvOffTime(int mode, ULONG limit, int* n);
    virtual int RmvVelo(int mode, BYTE limit, int* n);
    virtual int RmvKey(int mode, BYTE limit, int* n);
    virtual int RmvVal(int mode, BYTE limit, int* n);
    virtual int RmvGen(int mode, BYTE limit, int* n);

protected:
    // Mode 0 keeps value >= limit, mode 1 value <= limit, another mode all.
    int KeepBound(int mode, INT64 limit, INT64 (*value)(const CArticWrkEvnt*), int* n);
};

// RmvArrayEvntNoteInfoType(idx, kind, v, &n): by slot idx: 0 >= v, 1 <= v,
// 2 != v, 3 = v; another kind keeps all and fails without a report.
class CArticSrchRmvArrayEvntNoteInfoType : public ArticSrchWithI3<CArticSrchRmvArrayEvntType> {
    VX_DECLARE_CLASS(CArticSrchRmvArrayEvntNoteInfoType)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
    virtual int RmvNoteInfo(int kind, int idx, LONG v, int* n);
};

// RmvArrayEvntNoteInfoBitType(idx, bit, mode, &n): mode 0 keeps the notes
// with bit (mod 32) of slot idx set, 1 those with it clear; another mode
// does nothing.
class CArticSrchRmvArrayEvntNoteInfoBitType : public ArticSrchWithI3<CArticSrchRmvArrayEvntType> {
    VX_DECLARE_CLASS(CArticSrchRmvArrayEvntNoteInfoBitType)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
    virtual int RmvNoteInfoBit(int mode, int idx, int bit, int* n);
};
