#pragma once
// Loading an embedded script the way the conversion does, and the error
// reports collected meanwhile.
#include <string>
#include <vector>

#include "data/AlgorithmScript.h"
#include "services/ArticErr.h"
#include "services/PHConvPrm.h"
#include "engine/loaders/ArticLoadMgr.h"

// The script's lines handed over into the loader's rule program, with the
// given pitch-bend option: the loader's result.
inline int LoadAlgorithmScript(const AlgorithmScript& script, BYTE bendOption, CArticLoadMgr& loader) {
    CPHConvPrm prm;
    prm.PbCtrl = bendOption;
    CStringList lines;
    script.HandOver([&](const char* line, int) { lines.AddTail(CString(line)); });
    return loader.LoadRul(prm, lines);
}

// The detail lines of every report since the last clear, in order.
inline std::vector<std::string> ReportedErrorTexts() {
    CStringList list;
    CArticErr::GetMsgStrList(list);
    std::vector<std::string> out;
    for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p).str());
    return out;
}
