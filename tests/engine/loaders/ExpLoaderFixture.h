#pragma once
// The loader of expression text bound to a work track of notes and an
// expression tree, shared by the tests of the expression text forms.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "services/ArticErr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ExpFixture.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticCreExpMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/RulSetFixture.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/WorkFixture.h"

namespace loadtest {

// Work track 1 with notes first..last, 480 ticks apart from tick 0, note
// number no at pitch pitchBase + no; the loader bound to them.
struct ExpLoaderFixture : ::testing::Test {
    ExpLoaderFixture(ULONG first, ULONG last, int pitchBase) {
        CArticErr::Clear();
        CArticWrkBlk* b = wrktest::AddBlock(wrktest::AddTrack(wrk, 1));
        for (ULONG no = first; no <= last; ++no)
            wrktest::AddNote(b, no, INT64(480 * (no - first)), BYTE(pitchBase + int(no)));
    }
    ~ExpLoaderFixture() override {
        exp.Clear();
        CArticErr::Delete();
    }
    CArticWrk wrk;
    CArticRul rul{&wrk};
    CArticExp exp;
    CArticLoadMgr loader{&wrk, &exp, &rul, nullptr, nullptr, nullptr};

    // A dump read back through LoadExp.
    int Dump(const std::vector<std::string>& lines) {
        CStringList list;
        for (const std::string& l : lines) list.AddTail(CString(l.c_str()));
        return loader.LoadExp(list);
    }
    // One text for the dispatcher into a fresh expression track 1, block 0.
    int Text(const std::string& text) {
        EXPECT_EQ(Dump({"TRK:1", "BLK:0"}), 0);
        CExString body(text.c_str());
        return loader.LoadExpEvnt(body, 9, exp.Get(ULONG(1)), Blk());
    }
    CArticExpBlk* Blk() { return exp.GetExpBlk(1, 0); }
    CArticExpEvnt* Only() { return Blk() && Blk()->GetCount() == 1 ? Blk()->Get(0) : nullptr; }
    // The details of the reports given so far: one per report.
    static std::vector<std::string> Details() { return rultest::RulSetTest::Details(); }
    // The lines an expression tree writes.
    static std::vector<std::string> Written(CArticExp& from) {
        CStringList list;
        from.GetStrList(list);
        std::vector<std::string> out;
        for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p).str());
        return out;
    }
    std::vector<std::string> Written() { return Written(exp); }
    // Each line with the blanks outside quotes removed, added to out.
    static void AddUnblanked(const std::vector<std::string>& lines, CStringList& out) {
        for (const std::string& l : lines) {
            CExString line(l.c_str());
            line.EraseBlankOutDQ();
            out.AddTail(line);
        }
    }
};

// The part track's notes 1.. a quarter apart, mirrored into expression data,
// and a one-set script run over them with a loader as the run's receiver.
struct RuleRunWorld {
    exptest::World w;
    CArticRul rules{&w.wrk};
    CArticLoadMgr rulLoader{&w.wrk, &w.exp, &rules, nullptr, nullptr, nullptr};

    int Run(std::initializer_list<const char*> lines, int notes) {
        for (int i = 0; i < notes; ++i) w.Note(ULONG(i + 1), INT64(480 * i), BYTE(60 + 2 * i));
        exptest::Mirror(w.wrk, w.exp);
        CStringList script;
        for (const char* l : lines) script.AddTail(CString(l));
        if (rulLoader.LoadRul(script) != 0) return -1;
        CArticCreExpMgr run(&w.wrk, &w.exp, &rules);
        run.SetProcDialog(&rulLoader);
        return run.Create();
    }
    CArticExpBlk* PartBlk() const { return w.exp.GetExpBlk(1, 0); }
};

}  // namespace loadtest
