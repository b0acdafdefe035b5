#pragma once
// The catalogue of the rule language's built-in functions: for each name
// the input and output counts with one argument-type mask per position, and
// the factory that makes the built-in bound to a line's argument elements.
// The catalogue is one table; each concrete built-in class is entered into
// it (its maker) when it exists, and a name without one cannot be made yet.
#include <cstddef>
#include <new>
#include <utility>

#include "engine/rules/ArticRulElm.h"
#include "engine/work/ExString.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CArticRulSet;
class CArticSrchEvnt;

// Makes a built-in from its elements in argument order (inputs first; a
// missing one is null): the object, or null when it cannot be allocated.
using ArticSrchMaker = CArticSrchEvnt* (*)(CArticRulSet* set, ULONG funcNo, CArticRulElm* const* elms);

// The maker of a built-in class T taking N argument elements.
template <class T, std::size_t... I>
CArticSrchEvnt* ArticSrchMakeWith(CArticRulSet* set, ULONG funcNo, CArticRulElm* const* elms,
                                  std::index_sequence<I...>) {
    return new (std::nothrow) T(set, funcNo, elms[I]...);
}
template <class T, std::size_t N>
CArticSrchEvnt* ArticSrchMake(CArticRulSet* set, ULONG funcNo, CArticRulElm* const* elms) {
    return ArticSrchMakeWith<T>(set, funcNo, elms, std::make_index_sequence<N>{});
}

// One catalogue row.
struct ArticSrchInfo {
    const char* name;  // the name a script writes (the class name)
    int group;         // 1..3
    const char* in;    // one letter per input: n number, x number or text, t text, e note, a array
    const char* out;   // one letter per output: v value, s text, y array, o note
    const char* base;  // the class it derives from
    ArticSrchMaker make;  // null until the class is built
};

class CArticSrchUtil : public CObject {
public:
    static constexpr int kMaxArgs = 8;
    static constexpr int kCount = 206;

    // For a catalogue name: the counts and masks in argument order, 0. Any
    // other name (other letter case included): 1 and nothing written. The
    // mask arrays need kMaxArgs entries.
    static int GetArgmentInfo(CExString& name, int* inNum, int* inMask, int* outNum, int* outMask);
    // Makes the built-in named with the list's elements by position: 0 and
    // the new object (the caller's); 1 with a null result for another name, a
    // null list, a class not entered yet, or no memory.
    static int MakeEvnt(CArticRulSet* set, CExString& name, ULONG funcNo, CArticRulElmList* elements,
                        CArticSrchEvnt** result);

    // Enters (or, with null, removes) the maker of a catalogue name, over the
    // table's own: 0, or 1 for a name outside the catalogue.
    static int SetMaker(const char* name, ArticSrchMaker make);
    // The catalogue row of a name, or null.
    static const ArticSrchInfo* Find(const char* name);
    // The row at index 0..kCount-1 in catalogue order, or null.
    static const ArticSrchInfo* GetInfo(int index);
    // The mask of one letter of a row, 0 for an unknown letter.
    static int InMask(char letter);
    static int OutMask(char letter);

protected:
    // The three groups of the catalogue: the same answers for their own names.
    static int GetArgmentInfo1(CExString& name, int* inNum, int* inMask, int* outNum, int* outMask);
    static int GetArgmentInfo2(CExString& name, int* inNum, int* inMask, int* outNum, int* outMask);
    static int GetArgmentInfo3(CExString& name, int* inNum, int* inMask, int* outNum, int* outMask);
    static int MakeEvnt1(CArticRulSet* set, CExString& name, ULONG funcNo, CArticRulElmList* elements,
                         CArticSrchEvnt** result);
    static int MakeEvnt2(CArticRulSet* set, CExString& name, ULONG funcNo, CArticRulElmList* elements,
                         CArticSrchEvnt** result);
    static int MakeEvnt3(CArticRulSet* set, CExString& name, ULONG funcNo, CArticRulElmList* elements,
                         CArticSrchEvnt** result);

private:
    static int IndexOf(const char* name);
    static int ArgInfo(int index, int* inNum, int* inMask, int* outNum, int* outMask);
    static int Make(int index, CArticRulSet* set, ULONG funcNo, CArticRulElmList* elements, CArticSrchEvnt** result);
};
