// Every embedded script loads through the engine's rule loader, on the real
// built-ins, with either pitch-bend option and an empty error list; the
// skeleton's sets all survive the bend-group filter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/AlgorithmScript.h"
#include "driver/ArticErr.h"
#include "driver/PHConvPrm.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticWrk.h"

namespace {

std::vector<std::string> LoadErrorTexts() {
    CStringList list;
    CArticErr::GetMsgStrList(list);
    std::vector<std::string> out;
    for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p).str());
    return out;
}

// The set numbers the script text declares, in order.
std::vector<ULONG> DeclaredSetNumbers(const AlgorithmScript& script) {
    std::vector<ULONG> out;
    for (int n = 0; n < script.GetLineCount(); ++n) {
        const std::string line = script.GetLine(n);
        if (line.compare(0, 5, "#set:") == 0) out.push_back(ULONG(std::stoul(line.substr(5))));
    }
    return out;
}

std::vector<ULONG> LoadedSetNumbers(CArticRul& rul) {
    std::vector<ULONG> out;
    for (POSITION p = rul.GetHeadPos(); p;) out.push_back(ULONG(rul.GetNext(p)->GetSetNo()));
    return out;
}

}  // namespace

TEST(ScriptLoad, EveryScriptLoadsWithEitherBendOption) {
    const AlgorithmScriptLibrary library;
    for (int i = 0; i < library.GetCount(); ++i) {
        const AlgorithmScript* script = library.GetAt(i);
        for (BYTE option : {BYTE(0), BYTE(1)}) {
            SCOPED_TRACE(script->GetName().str() + " bend option " + std::to_string(option));
            CArticErr::Clear();
            CArticWrk wrk;
            CArticRul rul(&wrk);
            CArticLoadMgr loader(&wrk, &rul);
            CPHConvPrm prm;
            prm.PbCtrl = option;
            CStringList lines;
            script->HandOver([&](const char* line, int) { lines.AddTail(CString(line)); });
            EXPECT_EQ(loader.LoadRul(prm, lines), 0);
            EXPECT_EQ(LoadErrorTexts(), std::vector<std::string>());
            if (script->GetName() == "Empty") {
                EXPECT_EQ(rul.GetCount(), 0);
                continue;
            }
            // The skeleton holds no bend-group set: the filter keeps every set, in the text's order.
            EXPECT_EQ(LoadedSetNumbers(rul), DeclaredSetNumbers(*script));
        }
    }
    CArticErr::Clear();
}
