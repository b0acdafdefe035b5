#pragma once
// Expression helpers shared with the work data: sharing event lists, and the
// parameter writers of the expression text form, chosen by class name.
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ExString.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"

class CArticExpEvnt;

class CArticExpUtil : public CObject {
public:
    // Appends every non-null pointer of src to dst (the events are shared);
    // nothing when either list is missing.
    static void CopyEvntList(const CArticWrkEvntList* src, CArticWrkEvntList* dst);
    // Appends the items of one expression: 0 (also for null); the writer's
    // failure; 1 with an error entry for a class without a writer.
    static int GetEvntParam(CArticExpEvnt* evnt, CStringList& items);

    // The argument signature of an expression class that "#exp" lines may
    // call: the count and one argument-type mask per argument, 0. Any other
    // name (other letter case included): 1 and nothing stored. masks needs
    // kMaxExpArgs entries.
    static int GetArgmentInfo(CExString& name, int* count, int* masks);
    static constexpr int kMaxExpArgs = 13;
    static constexpr int kExpClassCount = 97;
};
