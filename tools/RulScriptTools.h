#pragma once
// What the rule-script benchmark and fuzz target share: stand-in built-ins
// for a few catalogue names (no built-in class is part of the engine yet;
// these read nothing and write 1 to their outputs) and a generator of
// scripts of realistic shape.
#include <string>
#include <vector>

#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulElm.h"
#include "engine/rules/ArticSrchEvnt.h"
#include "engine/rules/ArticSrchUtil.h"
#include "platform/Collections.h"
#include "platform/String.h"

namespace rultool {

// A built-in of NIn inputs and NOut value outputs.
template <int NIn, int NOut>
class ToolSrch : public CArticSrchEvnt {
public:
    template <class... E>
    ToolSrch(CArticRulSet* set, ULONG no, E*... elms) : CArticSrchEvnt(set, no) {
        CArticRulElm* given[] = {elms...};
        for (int i = 0; i < NIn + NOut; ++i) BindRulElm(&m_Elm[i], given[i]);
        SetInNum(NIn);
        SetOutNum(NOut);
    }
    ~ToolSrch() override {
        for (CArticRulElm*& e : m_Elm) DeleteRulElm(&e);
    }
    void GetInRulElmList(CArticRulElmList* list) override {
        for (int i = 0; list && i < NIn; ++i) list->AddTail(m_Elm[i]);
    }
    void GetOutRulElmList(CArticRulElmList* list) override {
        for (int i = NIn; list && i < NIn + NOut; ++i) list->AddTail(m_Elm[i]);
    }
    int Search() override {
        for (int i = NIn; i < NIn + NOut; ++i) {
            CArticRulDataVal* out = nullptr;
            if (GetRulDataVal(m_Elm[i], &out) == 0) out->SetData(1.0);
        }
        return 0;
    }

private:
    CArticRulElm* m_Elm[NIn + NOut] = {};
};

// The catalogue names the generated scripts call.
inline void EnterToolBuiltins() {
    CArticSrchUtil::SetMaker("CArticSrchGetNoteInfo", &ArticSrchMake<ToolSrch<2, 1>, 3>);
    CArticSrchUtil::SetMaker("CArticSrchPutNoteInfo", &ArticSrchMake<ToolSrch<3, 0>, 3>);
    CArticSrchUtil::SetMaker("CArticSrchValCmp", &ArticSrchMake<ToolSrch<3, 1>, 4>);
    CArticSrchUtil::SetMaker("CArticSrchValMore", &ArticSrchMake<ToolSrch<2, 1>, 3>);
    CArticSrchUtil::SetMaker("CArticSrchLim", &ArticSrchMake<ToolSrch<3, 1>, 4>);
}

// An init block and `sets` rule sets of 20 lines each: values, a text,
// a neighbour, built-in calls, conditional expression lines, a comment and
// a probability.
inline std::vector<std::string> MakeScript(int sets) {
    std::vector<std::string> lines = {"; generated script", "#init:", "#procNest:1", ";##PbProc:0", ";##TgMode:2"};
    for (int s = 1; s <= sets; ++s) {
        const std::string n = std::to_string(s);
        const std::vector<std::string> set = {
            "#set:" + n,
            "#name:bench" + n,
            "#dir:0",
            "#val1:" + n,
            "#val2:_val1 * 2 + 3",
            "#val3:(_val1 - 1) * (_val2 + 4) / 3",
            "#str1:\"bench text\"",
            "#evnt1:_thisEvnt.Pre",
            "#func1:CArticSrchGetNoteInfo(_thisEvnt, 3, &_val4)",
            "#func2:CArticSrchValCmp(_val4, 1, 0, &_val5)",
            "#func3:CArticSrchLim(_val3, 0, 127, &_val6)",
            "#func4:CArticSrchValMore(_val6, 64, &_val7)",
            "#func5:CArticSrchPutNoteInfo(_thisEvnt, 4, _val6)",
            "#val8:_val5 * _val7 + _thisEvnt.Key",
            "#val9:_evnt1.Key - _thisEvnt.Key",
            "#exp1:_val5:CArticExpDurAbs(1{_thisEvnt}, 10)",
            "#exp2:_val7:CArticExpStresVeloNoteRel(1{_thisEvnt}, -5)",
            "#exp3:CArticExpDurRel(1{_thisEvnt}, 90)",
            "; end of set " + n,
            "#prob:_val8 / 10 + 1",
        };
        lines.insert(lines.end(), set.begin(), set.end());
    }
    return lines;
}

inline void ToList(const std::vector<std::string>& lines, CStringList& list) {
    for (const std::string& l : lines) list.AddTail(CString(l.c_str()));
}

}  // namespace rultool
