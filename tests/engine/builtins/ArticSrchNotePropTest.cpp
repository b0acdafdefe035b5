// Fingering, the flags of the preparatory passes, track properties and the
// length of a phrase file.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "BuiltinFixture.h"
#include "engine/work/ArticCash.h"
#include "engine/work/ArticUtil.h"
#include "platform/TempFolder.h"

using namespace bitest;

namespace {
using NotePropTest = BuiltinTest;

// A format-0 file at 96 ticks per quarter: a note from 0 to 48, then the
// last event, a note starting at 96 (its end and the track's end there too).
std::string QuarterDivisionSmf() {
    const std::string track = std::string("\x00\x90\x3C\x64\x30\x80\x3C\x00", 8) +
                              std::string("\x30\x90\x3E\x64\x00\x80\x3E\x00", 8) +
                              std::string("\x00\xFF\x2F\x00", 4);
    std::string smf = std::string("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14);
    smf += "MTrk";
    smf += std::string("\0\0\0", 3) + char(track.size());
    return smf + track;
}
}  // namespace

TEST_F(NotePropTest, FingeringReadAndWrittenAsLowBytes) {
    CArticWrkEvnt* f = Fingered(1, 0, 2);
    CArticWrkEvnt* bare = Note(2, 480);
    CArticRulDataVal* out = Val(1);
    EXPECT_EQ(Run("CArticSrchPutPos", {E(This()), Num(300)}, f), 0);
    EXPECT_EQ(Run("CArticSrchGetPos", {E(This()), Var(out)}, f), 0);
    EXPECT_EQ(out->GetData(), 44.0);
    EXPECT_EQ(Run("CArticSrchPutGen", {E(This()), Num(261.9)}, f), 0);
    EXPECT_EQ(Run("CArticSrchGetGen", {E(This()), Var(out)}, f), 0);
    EXPECT_EQ(out->GetData(), 5.0);

    out->SetData(-1.0);
    EXPECT_EQ(Run("CArticSrchGetGen", {E(This()), Var(out)}, bare), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(Recorded(), "");
    EXPECT_EQ(Run("CArticSrchPutPos", {E(This()), Num(3)}, bare), 1);
    EXPECT_EQ(bare->GetFngrInfo(), nullptr);

    // The switch is looked at after the fingering.
    EXPECT_EQ(Run("CArticSrchPutGenType", {Num(0), E(This()), Num(7)}, bare), 1);
    EXPECT_EQ(Run("CArticSrchPutGenType", {Num(0), E(This()), Num(7)}, f), 0);
    EXPECT_EQ(f->GetFngrInfo()->GetGen(), 5);
    EXPECT_EQ(Run("CArticSrchPutPosType", {Num(-1), E(This()), Num(7)}, f), 0);
    EXPECT_EQ(f->GetFngrInfo()->GetPos(), 7);
    EXPECT_EQ(Recorded(), "");
}

TEST_F(NotePropTest, FlagsAndTrackPropertiesAsStored) {
    CArticWrkEvnt* n = Note(1, 0);
    n->SetGraced(2);
    n->SetPbWhiten(1);
    trk->SetTrkAttr(7);
    CArticRulDataVal* out = Val(1);
    struct Case {
        const char* name;
        double want;
    };
    const Case cases[] = {{"CArticSrchGetGracedFlg", 2.0}, {"CArticSrchGetPbWhitenFlg", 1.0},
                          {"CArticSrchTrkAttri", 7.0}, {"CArticSrchTrkSelected", 1.0}};
    trk->SetSelTrk(5);
    for (const Case& c : cases) {
        out->SetData(-1.0);
        EXPECT_EQ(Run(c.name, {E(This()), Var(out)}, n), 0) << c.name;
        EXPECT_EQ(out->GetData(), c.want) << c.name;
    }
    trk->SetSelTrk(0);
    EXPECT_EQ(Run("CArticSrchTrkSelected", {E(This()), Var(out)}, n), 0);
    EXPECT_EQ(out->GetData(), 0.0);
}

TEST_F(NotePropTest, SmfSizeIsTheLastEventTimeAtEngineTicks) {
    TempFolder lib;
    ASSERT_TRUE(lib.ok());
    lib.write("q96.mid", QuarterDivisionSmf());
    CString saved = CArticUtil::GetLibPath();
    CString path(lib.path().c_str());
    CArticUtil::SetLibPath(&path);
    CArticCash::Clear();
    CArticRulDataVal* out = Val(1);
    EXPECT_EQ(Run("CArticSrchGetSmfSize", {Text("q96.mid"), Var(out)}), 0);
    EXPECT_EQ(out->GetData(), 480.0);
    // A missing file.
    EXPECT_EQ(Run("CArticSrchGetSmfSize", {Var(Str(2, "none.mid")), Var(out)}), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(Recorded(), "");
    // A file that is no SMF.
    lib.write("bad.mid", "MThd");
    out->SetData(-1.0);
    EXPECT_EQ(Run("CArticSrchGetSmfSize", {Text("bad.mid"), Var(out)}), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
    CArticCash::Delete();
    CArticUtil::SetLibPath(&saved);
}

TEST_F(NotePropTest, BreakOnAnUnreadableConditionIsRecordedAndDoesNotStop) {
    Note(1, 0);
    EXPECT_EQ(Run("CArticSrchBreak", {Text("x")}), 1);
    EXPECT_EQ(Recorded(), "x");
    EXPECT_EQ(set->GetBreak(), 0);
    EXPECT_EQ(Run("CArticSrchBreak", {Num(std::nan(""))}), 0);
    EXPECT_EQ(set->GetBreak(), 0);
    EXPECT_EQ(Run("CArticSrchBreak", {Num(0)}), 0);
    EXPECT_EQ(set->GetBreak(), 1);
}
