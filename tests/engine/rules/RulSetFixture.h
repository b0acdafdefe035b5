#pragma once
// A rule program over a small work data with one set loaded from lines in
// the test, and the load reports read back.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "RulesFixture.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticRulSub.h"
#include "engine/work/WorkFixture.h"

namespace rultest {

struct RulSetTest : ::testing::Test {
    ErrList errors;
    CArticWrk wrk;
    CArticRul rul{&wrk};
    std::unique_ptr<CArticRulSet> set{new CArticRulSet(&rul, &wrk)};

    static void Lines(std::initializer_list<const char*> lines, CStringList& list) {
        for (const char* l : lines) list.AddTail(CString(l));
    }
    int Load(std::initializer_list<const char*> lines, int* inUse = nullptr) {
        CStringList list;
        Lines(lines, list);
        int flag = 0;
        return set->Load(list, inUse ? inUse : &flag);
    }
    // The detail lines of every report so far, in order.
    static std::vector<std::string> Details() {
        std::vector<std::string> out;
        CStringList list;
        CArticErr::GetMsgStrList(list);
        for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p).str());
        return out;
    }
    // The detail of a load report.
    static std::string LoadDetail(const char* setNo, const char* line) {
        return std::string("ｾｯﾄ番号 = ") + setNo + "   行内容 = " + line;
    }
    // The phase named by the last report.
    static std::string LastFunction() {
        CString content, cls, method, detail;
        CArticErr::Get(content, cls, method, detail);
        return method.str();
    }

    // A track with one block of notes numbered from 1, a quarter apart.
    CArticWrkBlk* blk = nullptr;
    std::vector<CArticWrkEvnt*> notes;
    void AddNotes(std::initializer_list<int> velocities) {
        if (!blk) blk = wrktest::AddBlock(wrktest::AddTrack(wrk, 0));
        for (int v : velocities) {
            const ULONG no = ULONG(notes.size() + 1);
            notes.push_back(wrktest::AddNote(blk, no, INT64(480 * (no - 1)), BYTE(60 + no), 480, BYTE(v)));
        }
    }

    // A subroutine numbered no in the program with input parameters bound to
    // new variables of the given kinds ("val", "str", "evnt") and one value output.
    CArticRulSub* AddSub(int no, std::initializer_list<const char*> inKinds, bool valueOut) {
        auto* sub = new CArticRulSub(&rul, &wrk);
        sub->SetSubNo(no);
        ULONG k = 1;
        for (const char* kind : inKinds) {
            CArticRulData* var = nullptr;
            if (std::string(kind) == "val") {
                auto* v = new CArticRulDataVal(sub, k);
                sub->SetDataVal(v);
                var = v;
            } else if (std::string(kind) == "str") {
                auto* v = new CArticRulDataStr(sub, k);
                sub->SetDataStr(v);
                var = v;
            } else {
                auto* v = new CArticRulDataEvnt(sub, k);
                sub->SetDataEvnt(v);
                var = v;
            }
            auto* param = new CArticRulDataIn(sub, k++);
            param->SetData(var);
            sub->SetDataIn(param);
        }
        if (valueOut) {
            auto* v = new CArticRulDataVal(sub, 10);
            sub->SetDataVal(v);
            auto* param = new CArticRulDataOut(sub, 1);
            param->SetData(v);
            sub->SetDataOut(param);
        }
        rul.AddSubTail(sub);
        return sub;
    }
};

}  // namespace rultest
