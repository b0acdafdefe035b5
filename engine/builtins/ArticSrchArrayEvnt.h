#pragma once
// The rule program's event array, one position at a time: reading the note
// at an index, storing a note at an index or after the last note.
#include <vector>

#include "engine/builtins/ArticSrchShape.h"
#include "engine/work/ArticWrkEvnt.h"

class ArticSrchCall;
class CArticRul;

// The event array as the array built-ins walk it.
namespace srcharray {
// A note-on (status high nibble 0x9).
bool IsNote(const CArticWrkEvnt* e);
// The notes of the array from index 0 up, positions without a note skipped.
std::vector<CArticWrkEvnt*> Notes(const CArticRul* rul);
// The same into *notes (emptied first; its storage serves the next call).
void Notes(const CArticRul* rul, std::vector<CArticWrkEvnt*>* notes);
// The used length: the index after the last note (0 when none).
int Size(const CArticRul* rul);
// Stores the list's events after the last note, one index each (a non-note
// leaves its position without a note): the number stored; -1 with nothing
// stored without a program or when the program refuses (and reports) an index.
int Append(CArticRul* rul, CArticWrkEvntList& list);
int Append(CArticRul* rul, const std::vector<CArticWrkEvnt*>& notes);
// Empties the array and stores the notes at 0, 1, 2, ... (the array exactly
// that long): their number.
int Store(CArticRul* rul, const std::vector<CArticWrkEvnt*>& notes);
// Appends the list and writes the number appended (AppendCount) or the used
// length afterwards (AppendSize): 0, or 1 and 0.0 without a program.
int AppendCount(CArticRul* rul, CArticWrkEvntList& list, CArticRulDataVal* out);
int AppendCount(CArticRul* rul, const std::vector<CArticWrkEvnt*>& notes, CArticRulDataVal* out);
int AppendSize(CArticRul* rul, CArticWrkEvntList& list, CArticRulDataVal* out);
}  // namespace srcharray

// GetArrayEvnt(idx, &ev): the note at index idx, or no event.
class CArticSrchGetArrayEvnt : public ArticSrchArgsIO {
    VX_DECLARE_CLASS(CArticSrchGetArrayEvnt)
public:
    using ArticSrchArgsIO::ArticSrchArgsIO;
    int Search() override;
};

// PutArrayEvnt(idx, ev): stores ev at index idx; a negative idx appends it
// after the last note.
class CArticSrchPutArrayEvnt : public ArticSrchArgsII {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvnt)
public:
    using ArticSrchArgsII::ArticSrchArgsII;
    int Search() override;

protected:
    // Stores note at idx (or after the last note): 0, or 1 without a rule
    // program or when the program refuses the index.
    int PutAt(double idx, CArticWrkEvnt* note);
};

// PutArrayEvntType(sw, idx, ev): as PutArrayEvnt when sw is not 0.
class CArticSrchPutArrayEvntType : public ArticSrchWithI3<CArticSrchPutArrayEvnt> {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntType)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};
