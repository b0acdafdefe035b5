#pragma once
// What the processing object and the phase runner share of a step: its
// header in the error list and the readers of the text dumps.
#include "platform/Collections.h"

class CArticLoadMgr;

// Switches the error dialog on and posts the step's header.
void ArticPostHeader(const char* header);
// Under "== ﾛｰﾄﾞｴﾗｰ": the work read, the expression read and the check all
// run; the last non-zero result, 0 when all succeed (1 without a loader).
int ArticLoadDumps(CArticLoadMgr* loader, CStringList& wrkLines, CStringList& expLines);
// The expression read alone (1 without a loader).
int ArticLoadExpDump(CArticLoadMgr* loader, CStringList& lines);
