#pragma once
// A rule set (number 3) of a program over one selected track with one block
// (and an unselected master track whose block holds the meter, none: 4/4),
// its variables made on demand, and built-ins made through the catalogue
// from argument elements and run on a chosen current note.
#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>
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
// In the number lists of RunValues: the current note in that place.
constexpr double kThis = std::numeric_limits<double>::quiet_NaN();

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
        wrk.SetMeasBlk(wrktest::AddBlock(wrktest::AddTrack(wrk, 0, 0)));  // no meter: 4/4
        trk = wrktest::AddTrack(wrk, 1);
        blk = wrktest::AddBlock(trk);
    }

    // A note of block b (this fixture's block when null) with its bar, beat and tick.
    CArticWrkEvnt* Note(ULONG no, INT64 time, BYTE key = 60, INT64 gate = 480, BYTE velo = 100,
                        CArticWrkBlk* b = nullptr) {
        CArticWrkEvnt* n = wrktest::AddNote(b ? b : blk, no, time, key, gate, velo);
        n->SetTime(time, 1);
        return n;
    }
    // A note on string gen (position 0).
    CArticWrkEvnt* Fingered(ULONG no, INT64 time, BYTE gen, BYTE key = 60, INT64 gate = 480,
                            CArticWrkBlk* b = nullptr) {
        CArticWrkEvnt* n = Note(no, time, key, gate, 100, b);
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
    // _aryN holding the events (emptied first); _varyN.
    CArticRulDataAry* Ary(ULONG no, const std::vector<CArticWrkEvnt*>& events = {}) {
        CArticRulDataAry* a = set->GetDataAry(int(no));
        if (!a) {
            a = new CArticRulDataAry(set, no);
            set->SetDataAry(a);
        }
        a->ClearRulDataEvntArray();
        int i = 0;
        for (CArticWrkEvnt* e : events) a->SetDataEvnt(i++, e);
        return a;
    }
    CArticRulDataVAry* VAry(ULONG no) {
        auto* v = new CArticRulDataVAry(set, no);
        set->SetDataVAry(v);
        return v;
    }
    // The events an array variable holds, in index order.
    static std::vector<CArticWrkEvnt*> Events(CArticRulDataAry* a) {
        CArticWrkEvntList list(10);
        a->GetEvntList(&list);
        std::vector<CArticWrkEvnt*> out;
        for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p));
        return out;
    }

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
    // Runs name with the inputs (numbers; kThis for the current note) and outs
    // value outputs _val1.. (preset to -7.0) on note on: Search's result, the
    // outputs' values in *values.
    int RunValues(const char* name, const std::vector<double>& in, int outs, std::vector<double>* values,
                  CArticWrkEvnt* on = nullptr) {
        ElmList args{};
        for (double v : in) args.list.AddTail(v != v ? E(This()) : Num(v));
        std::vector<CArticRulDataVal*> vars;
        for (int k = 0; k < outs; ++k) {
            vars.push_back(Val(ULONG(k + 1), -7.0));
            args.list.AddTail(Var(vars.back()));
        }
        CExString n(name);
        CArticSrchEvnt* b = nullptr;
        EXPECT_EQ(CArticSrchUtil::MakeEvnt(set, n, 7, &args.list, &b), 0) << name;
        if (b) made.emplace_back(b);
        const int result = Run(b, on);
        values->clear();
        for (CArticRulDataVal* v : vars) values->push_back(v->GetData());
        return result;
    }
    // The same with one output: its value in *value.
    int RunValue(const char* name, const std::vector<double>& in, double* value, CArticWrkEvnt* on = nullptr) {
        std::vector<double> values;
        const int result = RunValues(name, in, 1, &values, on);
        *value = values[0];
        return result;
    }
    // Makes name from args (line #func4) and a clone from the original's bound list.
    void MakeWithClone(const char* name, const std::vector<CArticRulElm*>& args, CArticSrchEvnt** original,
                       CArticSrchEvnt** clone) {
        ElmList list{};
        for (CArticRulElm* e : args) list.list.AddTail(e);
        CExString n(name);
        *original = *clone = nullptr;
        ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, n, 4, &list.list, original), 0) << name;
        made.emplace_back(*original);
        CArticRulElmList bound;
        (*original)->GetRulElmList(&bound);
        ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, n, 4, &bound, clone), 0) << name;
        made.emplace_back(*clone);
    }

    // ---- The rule program's event array
    // Puts the notes at indexes 0, 1, 2, ... of the emptied array (null leaves a position empty).
    void Fill(const std::vector<CArticWrkEvnt*>& notes) {
        rul.ClearRulDataEvntArray();
        for (size_t i = 0; i < notes.size(); ++i)
            if (notes[i]) rul.SetRulDataEvnt(ULONG(i), notes[i]);
    }
    // The note of every position up to the last one that exists (null where none).
    std::vector<CArticWrkEvnt*> Positions() {
        std::vector<CArticWrkEvnt*> out;
        CArticRulDataEvntArray* array = rul.GetRulDataEvntArray();
        for (int i = 0; i < array->GetSize(); ++i)
            out.push_back(array->GetAt(i) ? array->GetAt(i)->GetEvnt(0) : nullptr);
        while (!out.empty() && !out.back()) out.pop_back();
        return out;
    }

    // The operand text the last run recorded for the set's report ("" when none).
    std::string Recorded() const { return set->GetErrInfo().str(); }
    LONG ErrFlag(CArticWrkEvnt* note) const { return note->GetErr(kSetNo); }
};

// Two selected tracks with interleaved event numbers: track 1 holds notes
// 1 (string 1, 0), 3 (string 2, 480), 5 (no fingering, 960), 7 (string 1,
// 1440) and 9 (string 1, 1920, alone in bar 2); track 2 holds notes 2, 4, 6,
// 8 (string 1, 240 apart from 240) and 10 (string 1, at 100).
struct TwoTrackTest : BuiltinTest {
    CArticWrkTrk* trk2 = nullptr;
    CArticWrkBlk* blk2 = nullptr;
    CArticWrkEvnt* n[11] = {};
    void SetUp() override {
        BuiltinTest::SetUp();
        trk2 = wrktest::AddTrack(wrk, 2);
        blk2 = wrktest::AddBlock(trk2);
        n[1] = Fingered(1, 0, 1, 60);
        n[3] = Fingered(3, 480, 2, 62);
        n[5] = Note(5, 960, 64);
        n[7] = Fingered(7, 1440, 1, 65);
        n[9] = Fingered(9, 1920, 1, 67);
        for (ULONG no = 2; no <= 8; no += 2) n[no] = Fingered(no, INT64(240 * (no - 1)), 1, BYTE(48 + no), 480, blk2);
        n[10] = Fingered(10, 100, 1, 58, 480, blk2);
    }
};

}  // namespace bitest
