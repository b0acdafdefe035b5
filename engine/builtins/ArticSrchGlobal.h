#pragma once
// The rule program's global values, kept across notes and rule sets, and
// the selected track's number.
#include "engine/builtins/ArticSrchShape.h"

// GetGlobal(n, &out): global value n (0.0 for one never stored); a negative
// n fails without a report.
class CArticSrchGetGlobal : public ArticSrchArgsIO {
    VX_DECLARE_CLASS(CArticSrchGetGlobal)
public:
    using ArticSrchArgsIO::ArticSrchArgsIO;
    int Search() override;
};

// PutGlobal(n, v): stores v as global value n, growing the store in steps
// of five; a negative n fails without a report, an index past the program's
// limit is refused (reported by the program) with nothing stored.
class CArticSrchPutGlobal : public ArticSrchArgsII {
    VX_DECLARE_CLASS(CArticSrchPutGlobal)
public:
    using ArticSrchArgsII::ArticSrchArgsII;
    int Search() override;
};

// SelTrk(&out): the selected track's number, which the song bridge always
// gives as 0.
class CArticSrchSelTrk : public ArticSrchArgsO {
    VX_DECLARE_CLASS(CArticSrchSelTrk)
public:
    using ArticSrchArgsO::ArticSrchArgsO;
    int Search() override;
};
