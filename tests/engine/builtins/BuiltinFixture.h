#pragma once
// A rule set (number 3) of a program over one selected track with one block,
// its variables made on demand, and built-ins made through the catalogue
// from argument elements and run on a chosen current note.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "engine/rules/RulesFixture.h"
#include "engine/rules/ArticSrchEvnt.h"
#include "engine/rules/ArticSrchUtil.h"
#include "engine/work/ArticFngrInfo.h"

namespace bitest {

using namespace rultest;

constexpr ULONG kSetNo = 3;

struct BuiltinTest : ::testing::Test {
    ErrList errors;
    CArticWrk wrk;
    CArticRul rul{&wrk};
    CArticRulSet* set = nullptr;
    CArticWrkTrk* trk = nullptr;
    CArticWrkBlk* blk = nullptr;
    std::vector<std::unique_ptr<CArticSrchEvnt>> made;

    void SetUp() override {
        set = new CArticRulSet(&rul, &wrk);
        set->SetSetNo(int(kSetNo));
        rul.AddTail(set);
        trk = wrktest::AddTrack(wrk, 1);
        blk = wrktest::AddBlock(trk);
        wrk.SetMeasBlk(blk);  // no meter event: 4/4 at 480 per quarter
    }

    CArticWrkEvnt* Note(ULONG no, INT64 time, BYTE key = 60, INT64 gate = 480, BYTE velo = 100) {
        return wrktest::AddNote(blk, no, time, key, gate, velo);
    }
    // A note on string gen (position 0).
    CArticWrkEvnt* Fingered(ULONG no, INT64 time, BYTE gen, BYTE key = 60, INT64 gate = 480) {
        CArticWrkEvnt* n = Note(no, time, key, gate);
        n->SetFngrInfo(0, gen, 0, 0);
        return n;
    }

    // ---- Variables by number, made on first use.
    CArticRulDataVal* Val(ULONG no) {
        if (CArticRulDataVal* v = set->GetDataVal(int(no))) return v;
        auto* v = new CArticRulDataVal(set, no);
        set->SetDataVal(v);
        return v;
    }
    CArticRulDataVal* Val(ULONG no, double value) {
        CArticRulDataVal* v = Val(no);
        v->SetData(value);
        return v;
    }
    CArticRulDataStr* Str(ULONG no, const char* text = nullptr) {
        CArticRulDataStr* s = set->GetDataStr(int(no));
        if (!s) {
            s = new CArticRulDataStr(set, no);
            set->SetDataStr(s);
        }
        if (text) {
            CString t(text);
            s->SetData(&t);
        }
        return s;
    }
    // _evntN holding note (none when null).
    CArticRulDataEvnt* Ev(ULONG no, CArticWrkEvnt* note = nullptr) {
        CArticRulDataEvnt* e = set->GetDataEvnt(int(no));
        if (!e) {
            e = new CArticRulDataEvnt(set, no);
            set->SetDataEvnt(e);
        }
        e->SetEvnt(note, 1);
        return e;
    }
    CArticRulDataEvnt* This() { return set->GetDataEvnt(); }

    // ---- Argument elements (owned by the list they are put in).
    static CArticRulElm* E(CArticRulDataEvnt* ev, BYTE code = kElmEvnt) { return Var(ev, code); }
    static CArticRulElm* Member(CArticRulDataEvnt* ev, BYTE code) { return Var(ev, code); }

    // Makes the built-in through the catalogue as line #func7 and keeps it.
    CArticSrchEvnt* Make(const char* name, std::initializer_list<CArticRulElm*> elms) {
        ElmList args(elms);
        CExString n(name);
        CArticSrchEvnt* b = nullptr;
        EXPECT_EQ(CArticSrchUtil::MakeEvnt(set, n, 7, &args.list, &b), 0) << name;
        if (b) made.emplace_back(b);
        return b;
    }
    // Runs it once with note as the current note (the one bound before when
    // null), the recorded text cleared first: Search's result.
    int Run(CArticSrchEvnt* b, CArticWrkEvnt* on = nullptr) {
        if (on) set->SetWrkEvnt(on);
        set->ClearErrInfo();
        return b ? b->Search() : -1;
    }
    int Run(const char* name, std::initializer_list<CArticRulElm*> elms, CArticWrkEvnt* on = nullptr) {
        return Run(Make(name, elms), on);
    }
    // The operand text the last run recorded for the set's report ("" when none).
    std::string Recorded() const { return set->GetErrInfo().str(); }
    LONG ErrFlag(CArticWrkEvnt* note) const { return note->GetErr(kSetNo); }
};

}  // namespace bitest
