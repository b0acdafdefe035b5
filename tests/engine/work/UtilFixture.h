#pragma once
// A recording current expression for the event-operation tests, and a
// fixture that installs it and puts the engine context back afterwards.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/expressions/ArticExpEvnt.h"
#include "engine/work/ArticEngineCtx.h"
#include "engine/work/ArticWrkUtil.h"
#include "WorkFixture.h"

namespace wrktest {

struct ErrReport {
    CString phase, reason, location, detail;
};

// Records every report it receives (even ones a correct caller never sends)
// and, like a real expression, switches its error state on at the first.
class RecordingExp : public CArticExpEvnt {
public:
    std::vector<ErrReport> reports;
    void DispErrMsg(const CString& phase, const CString& reason, const CString& location,
                    const CString& detail) override {
        reports.push_back({phase, reason, location, detail});
        SetErrKind(3);
    }
};

class UtilTest : public ::testing::Test {
protected:
    void SetUp() override {
        CArticEngineCtx::Get().Reset();
        CArticWrkUtil::SetExpEvnt(&exp);
        wrk.ChangeEvntNo(1);  // as during the conversion phases
    }
    void TearDown() override { CArticEngineCtx::Get().Reset(); }

    // The location of the only report, or "" when there is not exactly one.
    CString OnlyReport() const { return exp.reports.size() == 1 ? exp.reports[0].location : CString(); }

    RecordingExp exp;
    CArticWrk wrk;
};

inline std::vector<INT64> Times(CArticWrkEvntList& list) {
    std::vector<INT64> times;
    for (POSITION p = list.GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list.GetNext(p);
        times.push_back(e ? e->GetTime() : -1);
    }
    return times;
}

inline std::vector<CArticWrkEvnt*> Items(CArticWrkEvntList& list) {
    std::vector<CArticWrkEvnt*> items;
    for (POSITION p = list.GetHeadPosition(); p;) items.push_back(list.GetNext(p));
    return items;
}

inline int Bend(const CArticWrkEvnt* e) {
    _WRK_EVNT r;
    e->Get(r);
    return CArticWrkUtil::GetPitchBend(r);
}

// A free-standing event (no owner, no number) for stand-alone lists; the
// list's owner deletes it.
inline CArticWrkEvnt* Loose(BYTE status, INT64 time, BYTE post1 = 0, BYTE post2 = 0, INT64 gate = 0) {
    auto* e = new CArticWrkEvnt();
    e->SetStatus(status);
    e->SetTime(time, 0);
    e->SetPost1(post1);
    e->SetPost2(post2);
    e->SetGateTime(gate);
    return e;
}

inline CArticWrkEvnt* LooseBend(INT64 time, int value) {
    CArticWrkEvnt* e = Loose(0xE0, time);
    _WRK_EVNT r;
    e->Get(r);
    CArticWrkUtil::SetPitchBend(r, short(value));
    e->Set(r);
    return e;
}

inline CArticWrkEvnt* LooseText(INT64 time, const char* text) {
    auto* e = new CArticWrkEvnt();
    e->SetStatus(0xFF);
    e->SetTime(time, 0);
    e->SetMeta(0x01, reinterpret_cast<const BYTE*>(text), ULONG(std::strlen(text)));
    return e;
}

// Owns the loose events of a list.
struct OwnedList {
    CArticWrkEvntList list;
    ~OwnedList() {
        for (POSITION p = list.GetHeadPosition(); p;) delete list.GetNext(p);
    }
};

}  // namespace wrktest
