// Key, velocity, gate, on-time and off-time comparisons, the key summit and
// the continued gate.
#include <gtest/gtest.h>

#include "BuiltinFixture.h"

using namespace bitest;

namespace {
using NoteAttrTest = BuiltinTest;

struct AttrCase {
    const char* name;
    double value, tol;  // tol only for the Cmp built-ins
    INT64 gate;
    BYTE key, velo;
    double want;
};

bool HasTolerance(const char* name) {
    const std::string n(name);
    return n != "CArticSrchKeyCmp" && n.size() > 3 && n.compare(n.size() - 3, 3, "Cmp") == 0;
}
}  // namespace

TEST_F(NoteAttrTest, KeyVelocityAndGateTable) {
    const AttrCase cases[] = {
        {"CArticSrchKeyCmp", 316, 0, 480, 60, 100, 1.0},    // 316 keeps 60 in its low byte
        {"CArticSrchKeyMore", 60.9, 0, 480, 60, 100, 0.0},  // 60.9 truncates to 60
        {"CArticSrchKeyMore", 59.9, 0, 480, 60, 100, 1.0},
        {"CArticSrchKeyLess", 61, 0, 480, 60, 100, 1.0},
        {"CArticSrchKeyCmp", -196, 0, 480, 60, 100, 1.0},   // -196 & 0xFF = 60
        {"CArticSrchDurCmp", 100, -200, 0, 60, 100, 1.0},   // band 0..300
        {"CArticSrchDurCmp", 100, -200, 300, 60, 100, 1.0},
        {"CArticSrchDurCmp", 100, -200, 301, 60, 100, 0.0},
        {"CArticSrchDurCmp", 100, 200, -1, 60, 100, 0.0},   // a negative gate never lies in the band
        {"CArticSrchDurCmp", 480, 20, 459, 60, 100, 0.0},
        {"CArticSrchDurMore", 100, 0, 101, 60, 100, 1.0},
        {"CArticSrchDurMore", 100, 0, 100, 60, 100, 0.0},
        {"CArticSrchDurMore", 0, 0, -5, 60, 100, 0.0},
        {"CArticSrchDurLess", 100, 0, 99, 60, 100, 1.0},
        {"CArticSrchDurLess", 100, 0, 100, 60, 100, 0.0},
        {"CArticSrchVeloCmp", 120, 20, 480, 60, 99, 0.0},   // band 100..127
        {"CArticSrchVeloCmp", 120, 20, 480, 60, 100, 1.0},
        {"CArticSrchVeloCmp", 120, 20, 480, 60, 127, 1.0},
        {"CArticSrchVeloCmp", 10, -20, 480, 60, 30, 1.0},   // band 0..30
        {"CArticSrchVeloCmp", 10, -20, 480, 60, 31, 0.0},
        {"CArticSrchVeloMore", 100, 0, 480, 60, 101, 1.0},
        {"CArticSrchVeloLess", 100, 0, 480, 60, 100, 0.0},
    };
    CArticRulDataVal* out = Val(1);
    ULONG no = 1;
    for (const AttrCase& c : cases) {
        CArticWrkEvnt* n = Note(no++, 0, c.key, c.gate, c.velo);
        out->SetData(-1.0);
        int r = HasTolerance(c.name) ? Run(c.name, {E(This()), Num(c.value), Num(c.tol), Var(out)}, n)
                                     : Run(c.name, {E(This()), Num(c.value), Var(out)}, n);
        EXPECT_EQ(r, 0) << c.name << " " << c.value;
        EXPECT_EQ(out->GetData(), c.want) << c.name << " " << c.value << " gate " << c.gate << " velo " << int(c.velo);
    }
}

TEST_F(NoteAttrTest, TimesAgainstTicksAndPositions) {
    CArticWrkEvnt* atBar2 = Note(1, 1920);
    CArticWrkEvnt* before = Note(2, 1919);
    CArticWrkEvnt* quarter = Note(3, 480, 60, 480);  // off-time 960
    CArticRulDataVal* out = Val(1);
    struct Case {
        const char* name;
        CArticWrkEvnt* note;
        const char* text;  // null: the number
        double number, tol, want;
    };
    const Case cases[] = {
        {"CArticSrchOnTimeCmp", atBar2, "2/1/0", 0, 0, 1.0},
        {"CArticSrchOnTimeCmp", before, "2/1/0", 0, 0, 0.0},
        {"CArticSrchOnTimeCmp", before, "2/1/0", 0, -1, 1.0},
        {"CArticSrchOnTimeCmp", quarter, nullptr, 960, 480, 1.0},
        {"CArticSrchOnTimeCmp", quarter, nullptr, 100, 1000, 1.0},  // lower bound 0
        {"CArticSrchOnTimeCmp", quarter, nullptr, 960, 479, 0.0},
        {"CArticSrchOnTimeMore", quarter, "1/1/479", 0, 0, 1.0},
        {"CArticSrchOnTimeMore", quarter, nullptr, 480, 0, 0.0},
        {"CArticSrchOnTimeLess", before, nullptr, 1920, 0, 1.0},
        {"CArticSrchOffTimeLess", quarter, nullptr, 960, 0, 0.0},   // 960 is not less than 960
        {"CArticSrchOffTimeMore", quarter, nullptr, 959, 0, 1.0},
        {"CArticSrchOffTimeCmp", quarter, "1/3/0", 0, 0, 1.0},
    };
    for (const Case& c : cases) {
        out->SetData(-1.0);
        CArticRulElm* when = c.text ? Var(Str(2, c.text)) : Num(c.number);
        int r = HasTolerance(c.name) ? Run(c.name, {E(This()), when, Num(c.tol), Var(out)}, c.note)
                                     : Run(c.name, {E(This()), when, Var(out)}, c.note);
        EXPECT_EQ(r, 0) << c.name;
        EXPECT_EQ(out->GetData(), c.want) << c.name << " " << (c.text ? c.text : "") << c.number;
    }
}

TEST_F(NoteAttrTest, PositionThatDoesNotConvertLeavesTheOutput) {
    CArticWrkEvnt* n = Note(1, 1920);
    CArticRulDataVal* out = Val(1, 5.0);
    EXPECT_EQ(Run("CArticSrchOnTimeCmp", {E(This()), Var(Str(2, "2/1")), Num(0), Var(out)}, n), 1);
    EXPECT_EQ(out->GetData(), 5.0);
    EXPECT_EQ(Recorded(), "");
    EXPECT_EQ(Run("CArticSrchOffTimeMore", {E(This()), Text("x/1/0"), Var(out)}, n), 1);
    EXPECT_EQ(out->GetData(), 5.0);
    // Neither a number nor a text: a recorded failure, the output 0.0.
    EXPECT_EQ(Run("CArticSrchOnTimeMore", {E(This()), Var(Val(3, 1.0), kElmKey), Var(out)}, n), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(Recorded(), "val3");
}

TEST_F(NoteAttrTest, KeySummitNeedsBothNeighboursLower) {
    CArticWrkEvnt* first = Fingered(1, 0, 1, 60);
    CArticWrkEvnt* top = Fingered(2, 480, 1, 64);
    Fingered(3, 720, 2, 70);  // another string between
    CArticWrkEvnt* level = Fingered(4, 960, 1, 62);
    Fingered(5, 1440, 1, 62);
    CArticRulDataVal* out = Val(1);
    struct Case {
        CArticWrkEvnt* note;
        double want;
    };
    for (const Case& c : {Case{first, 0.0}, Case{top, 1.0}, Case{level, 0.0}}) {
        out->SetData(-1.0);
        EXPECT_EQ(Run("CArticSrchKeySummit", {E(This()), Var(out)}, c.note), 0);
        EXPECT_EQ(out->GetData(), c.want) << c.note->GetEvntNo();
    }
}

TEST_F(NoteAttrTest, DurContWalksTheStringAndStopsAtItsEnd) {
    CArticWrkEvnt* a = Fingered(1, 0, 1, 60, 240);
    Fingered(2, 100, 2, 61, 999);  // another string: not counted
    Fingered(3, 480, 1, 62, 245);
    CArticRulDataVal* out = Val(1);
    auto run = [&](double count, double tol) {
        out->SetData(-1.0);
        return Run("CArticSrchDurCont", {E(This()), Num(240), Num(count), Num(tol), Var(out)}, a);
    };
    EXPECT_EQ(run(3, 10), 0);  // one later note only
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(run(2, 10), 0);
    EXPECT_EQ(out->GetData(), 1.0);
    EXPECT_EQ(run(2, 4), 0);  // 245 is outside 236..244
    EXPECT_EQ(out->GetData(), 0.0);
    Fingered(4, 960, 1, 63, 230);
    EXPECT_EQ(run(3, 10), 0);
    EXPECT_EQ(out->GetData(), 1.0);
    // A huge count ends with the string instead of walking on.
    EXPECT_EQ(run(2e9, 10), 0);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(run(1, 10), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(Recorded(), "1");
    EXPECT_EQ(run(3, -1), 1);
    EXPECT_EQ(Recorded(), "-1");
}
