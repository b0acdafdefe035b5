// Every embedded script loads through the engine's rule loader with an empty
// error list. The built-ins the scripts call stand in here as objects that
// only keep their argument elements (with the catalogue's argument counts),
// so the check covers the script text as the loader reads it: blocks, value
// and probability arithmetic, operands, conditions and expression texts.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "data/AlgorithmScript.h"
#include "driver/ArticErr.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticSrchEvnt.h"
#include "engine/rules/ArticSrchUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ExString.h"

namespace {

constexpr int kMaxStandInArgs = CArticSrchUtil::kMaxArgs;

// A built-in that binds its argument elements and searches nothing.
class StandInSrch : public CArticSrchEvnt {
public:
    StandInSrch(CArticRulSet* set, ULONG no, int inNum, int outNum, CArticRulElm* const* elms)
        : CArticSrchEvnt(set, no), m_In(inNum), m_Count(inNum + outNum) {
        for (int i = 0; i < m_Count; ++i) BindRulElm(&m_Elm[i], elms[i]);
        SetInNum(inNum);
        SetOutNum(outNum);
    }
    ~StandInSrch() override {
        for (int i = 0; i < m_Count; ++i) DeleteRulElm(&m_Elm[i]);
    }
    void GetInRulElmList(CArticRulElmList* list) override {
        for (int i = 0; list && i < m_In; ++i) list->AddTail(m_Elm[i]);
    }
    void GetOutRulElmList(CArticRulElmList* list) override {
        for (int i = m_In; list && i < m_Count; ++i) list->AddTail(m_Elm[i]);
    }

private:
    int m_In, m_Count;
    CArticRulElm* m_Elm[kMaxStandInArgs * 2] = {};
};

template <int In, int Out>
CArticSrchEvnt* MakeStandIn(CArticRulSet* set, ULONG no, CArticRulElm* const* elms) {
    return new (std::nothrow) StandInSrch(set, no, In, Out, elms);
}

template <int In, std::size_t... Out>
constexpr std::array<ArticSrchMaker, sizeof...(Out)> MakersByOut(std::index_sequence<Out...>) {
    return {&MakeStandIn<In, int(Out)>...};
}

template <std::size_t... In>
constexpr std::array<std::array<ArticSrchMaker, 4>, sizeof...(In)> MakersByIn(std::index_sequence<In...>) {
    return {MakersByOut<int(In)>(std::make_index_sequence<4>{})...};
}

// makers[in][out] for up to kMaxArgs inputs and 3 outputs.
const auto kStandInMakers = MakersByIn(std::make_index_sequence<kMaxStandInArgs + 1>{});

// Enters a stand-in for every catalogue name the scripts call, for the length of one test.
struct StandInBuiltins {
    std::set<std::string> entered;
    StandInBuiltins() {
        const AlgorithmScriptLibrary library;
        for (int i = 0; i < library.GetCount(); ++i) {
            const AlgorithmScript* script = library.GetAt(i);
            for (int n = 0; n < script->GetLineCount(); ++n) Enter(script->GetLine(n));
        }
    }
    ~StandInBuiltins() {
        for (const std::string& name : entered) CArticSrchUtil::SetMaker(name.c_str(), nullptr);
    }
    void Enter(const std::string& line) {
        const size_t head = line.find("#func");
        const size_t open = line.find('(');
        if (head != 0 || open == std::string::npos) return;
        std::string name = line.substr(0, open);
        name = name.substr(name.rfind(':') + 1);
        while (!name.empty() && name.back() == ' ') name.pop_back();
        if (entered.count(name)) return;
        CExString ex(name);
        int inNum = 0, outNum = 0, inMask[kMaxStandInArgs], outMask[kMaxStandInArgs];
        if (CArticSrchUtil::GetArgmentInfo(ex, &inNum, inMask, &outNum, outMask) != 0 || outNum > 3) return;
        if (CArticSrchUtil::SetMaker(name.c_str(), kStandInMakers[size_t(inNum)][size_t(outNum)]) == 0) entered.insert(name);
    }
};

std::vector<std::string> ErrorTexts() {
    CStringList list;
    CArticErr::GetMsgStrList(list);
    std::vector<std::string> out;
    for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p).str());
    return out;
}

}  // namespace

TEST(ScriptLoad, EveryScriptLoadsThroughTheRuleLoader) {
    const StandInBuiltins builtins;
    const AlgorithmScriptLibrary library;
    for (int i = 0; i < library.GetCount(); ++i) {
        const AlgorithmScript* script = library.GetAt(i);
        SCOPED_TRACE(script->GetName().c_str());
        CArticErr::Clear();
        CArticWrk wrk;
        CArticRul rul(&wrk);
        CArticLoadMgr loader(&wrk, &rul);
        CStringList lines;
        script->HandOver([&](const char* line, int) { lines.AddTail(CString(line)); });
        EXPECT_EQ(loader.LoadRul(lines), 0);
        EXPECT_EQ(ErrorTexts(), std::vector<std::string>());
        if (script->GetName() != "Empty") EXPECT_GE(rul.GetCount(), 3);
    }
    CArticErr::Clear();
}
