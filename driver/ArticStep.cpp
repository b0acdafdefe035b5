#include "driver/ArticStep.h"

#include "services/ArticErr.h"
#include "engine/loaders/ArticLoadMgr.h"

void ArticPostHeader(const char* header) {
    CArticErr::DispErrDlg(1);
    CArticErr::Set(1, CString(header), CString(), CString(), CString());
}

int ArticLoadDumps(CArticLoadMgr* loader, CStringList& wrkLines, CStringList& expLines) {
    ArticPostHeader("== ﾛｰﾄﾞｴﾗｰ");
    if (!loader) return 1;
    int result = 0;
    for (const int r : {loader->LoadWrk(wrkLines), loader->LoadExp(expLines), loader->CheckExp()})
        if (r != 0) result = r;
    return result;
}

int ArticLoadExpDump(CArticLoadMgr* loader, CStringList& lines) {
    CArticErr::DispErrDlg(1);
    return loader ? loader->LoadExp(lines) : 1;
}
