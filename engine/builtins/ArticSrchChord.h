#pragma once
// The chord list, the harmony list and the chord-first note of a note:
// reading them into variables and filling them for one note or for every
// note of an array. Chord lists keep repeats, harmony lists do not.
#include "engine/builtins/ArticSrchShape.h"

// GetChord(ev, &ary, &n): ary := ev's chord list; n its length.
class CArticSrchGetChord : public ArticSrchWithO2<ArticSrchArgsIO> {
    VX_DECLARE_CLASS(CArticSrchGetChord)
public:
    using ArticSrchWithO2::ArticSrchWithO2;
    int Search() override;

protected:
    // The list read (null when the note has none).
    virtual CArticWrkEvntList* ListOf(CArticWrkEvnt* note) { return note->GetChordEvntList(); }
};

// GetHarmo(ev, &ary, &n): the same from the harmony list.
class CArticSrchGetHarmo : public CArticSrchGetChord {
    VX_DECLARE_CLASS(CArticSrchGetHarmo)
public:
    using CArticSrchGetChord::CArticSrchGetChord;

protected:
    CArticWrkEvntList* ListOf(CArticWrkEvnt* note) override { return note->GetHarmoEvntList(); }
};

// GetChordFirst(ev, &evOut): ev's chord-first note.
class CArticSrchGetChordFirst : public ArticSrchArgsIO {
    VX_DECLARE_CLASS(CArticSrchGetChordFirst)
public:
    using ArticSrchArgsIO::ArticSrchArgsIO;
    int Search() override;
};

// PutChord(ev, ary): appends the notes of ary to ev's chord list.
class CArticSrchPutChord : public ArticSrchArgsII {
    VX_DECLARE_CLASS(CArticSrchPutChord)
public:
    using ArticSrchArgsII::ArticSrchArgsII;
    int Search() override;

protected:
    virtual void Add(CArticWrkEvnt* note, CArticWrkEvnt* added) { note->AddChordEvnt(added); }
};

// PutHarmo(ev, ary): adds the notes of ary that ev's harmony list lacks.
class CArticSrchPutHarmo : public CArticSrchPutChord {
    VX_DECLARE_CLASS(CArticSrchPutHarmo)
public:
    using CArticSrchPutChord::CArticSrchPutChord;

protected:
    void Add(CArticWrkEvnt* note, CArticWrkEvnt* added) override { note->AddHarmoEvnt(added); }
};

// PutChordAry(notes, add): for every note of notes, PutChord with add.
class CArticSrchPutChordAry : public ArticSrchArgsII {
    VX_DECLARE_CLASS(CArticSrchPutChordAry)
public:
    using ArticSrchArgsII::ArticSrchArgsII;
    int Search() override;

protected:
    virtual void Add(CArticWrkEvnt* note, CArticWrkEvnt* added) { note->AddChordEvnt(added); }
};

// PutHarmoAryAry(notes, add): for every note of notes, PutHarmo with add.
class CArticSrchPutHarmoAryAry : public CArticSrchPutChordAry {
    VX_DECLARE_CLASS(CArticSrchPutHarmoAryAry)
public:
    using CArticSrchPutChordAry::CArticSrchPutChordAry;

protected:
    void Add(CArticWrkEvnt* note, CArticWrkEvnt* added) override { note->AddHarmoEvnt(added); }
};

// PutChordFirst(ev, first): ev's chord-first note := first.
class CArticSrchPutChordFirst : public ArticSrchArgsII {
    VX_DECLARE_CLASS(CArticSrchPutChordFirst)
public:
    using ArticSrchArgsII::ArticSrchArgsII;
    int Search() override;
};

// PutChordFirstAry(notes, first): the chord-first note of every note of notes := first.
class CArticSrchPutChordFirstAry : public ArticSrchArgsII {
    VX_DECLARE_CLASS(CArticSrchPutChordFirstAry)
public:
    using ArticSrchArgsII::ArticSrchArgsII;
    int Search() override;
};
