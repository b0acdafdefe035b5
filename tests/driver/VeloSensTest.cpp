#include "driver/VeloSens.h"

#include <gtest/gtest.h>

#include "BridgeFixture.h"
#include "driver/PgBsel.h"

namespace {

using bridgetest::At;
using bridgetest::BridgeSong;
using smftest::Cat;

struct SensEvnt {
    signed char kind;
    INT64 time;
    BYTE value;
};

struct ConvCase {
    const char* name;
    std::vector<SensEvnt> evnts;
    INT64 time;
    BYTE velo;
    BYTE want;
};

const ConvCase kConvCases[] = {
    {"empty", {}, 100, 100, 100},
    {"empty, velocity 0", {}, 100, 0, 1},
    {"depth 127", {{0, 10, 127}, {1, 10, 64}}, 100, 100, 127},
    {"depth 32", {{0, 10, 32}}, 100, 100, 50},
    {"offset 0", {{0, 10, 64}, {1, 10, 0}}, 100, 100, 1},
    {"offset 80", {{1, 10, 80}}, 100, 100, 127},
    {"offset 70", {{1, 10, 70}}, 100, 50, 62},
    {"depth at the note's own time", {{0, 100, 32}}, 100, 100, 100},
    {"the last setting wins", {{0, 10, 32}, {0, 20, 96}}, 100, 100, 150 > 127 ? 127 : 150},
    {"depth 96, velocity 33", {{0, 10, 96}}, 100, 33, 49},  // 49.5 truncated
};

TEST(VeloSens, ConvertedVelocities) {
    for (const ConvCase& c : kConvCases) {
        CVeloSens sens;
        for (const SensEvnt& e : c.evnts) sens.InsertEvnt(new CVeloSensEvnt(e.kind, e.time, e.value));
        EXPECT_EQ(sens.GetConvVal(c.time, c.velo), c.want) << c.name;
    }
}

TEST(VeloSens, InsertKeepsTimeOrderAndCopiesAreIndependent) {
    CVeloSens sens;
    sens.InsertEvnt(new CVeloSensEvnt(0, 50, 1));
    sens.InsertEvnt(new CVeloSensEvnt(0, 10, 2));
    sens.InsertEvnt(new CVeloSensEvnt(1, 50, 70));  // after the earlier one at 50
    sens.InsertEvnt(nullptr);
    std::vector<int> values;
    const CVeloSensEvntList* list = sens.GetVeloSensList();
    for (POSITION p = list->GetHeadPosition(); p;) values.push_back(list->GetNext(p)->GetValue());
    EXPECT_EQ(values, (std::vector<int>{2, 1, 70}));

    auto* copy = new CVeloSens();
    copy->CopyVeloSensList(sens.GetVeloSensList());
    sens.ClearVeloSensList();
    EXPECT_TRUE(sens.GetVeloSensList()->IsEmpty());
    ASSERT_EQ(copy->GetVeloSensList()->GetCount(), 3);
    EXPECT_EQ(copy->GetConvVal(100, 100), 13);  // depth 1, offset 70: 1.56 + 12
    copy->CopyVeloSensList(copy->GetVeloSensList());  // onto itself: unchanged
    EXPECT_EQ(copy->GetVeloSensList()->GetCount(), 3);
    delete copy;  // the sanitizers see any event freed twice
}

TEST(PgBsel, VoiceByTime) {
    CPgBsel pg;
    BYTE msb = 9, lsb = 9, pro = 9;
    pg.GetPgBselByTime(100, &msb, &lsb, &pro, 1);
    EXPECT_EQ(msb, 127);
    EXPECT_EQ(lsb, 0);
    EXPECT_EQ(pro, 0);
    pg.InsertEvnt(new CPgBselEvnt(CPgBselEvnt::kProgram, 10, 25));
    pg.InsertEvnt(new CPgBselEvnt(CPgBselEvnt::kProgram, 20, 128));  // not a voice
    pg.InsertEvnt(new CPgBselEvnt(CPgBselEvnt::kBankMsb, 5, 8));
    pg.InsertEvnt(new CPgBselEvnt(CPgBselEvnt::kBankLsb, 100, 3));   // at the time: not yet
    pg.GetPgBselByTime(100, &msb, &lsb, &pro, 1);
    EXPECT_EQ(msb, 8);
    EXPECT_EQ(lsb, 0);
    EXPECT_EQ(pro, 25);
    pg.GetPgBselByTime(101, &msb, &lsb, &pro, 0);
    EXPECT_EQ(lsb, 3);

    CPgBsel copy;
    copy.CopyPgBselList(pg.GetPgBselList());
    pg.ClearPgBselList();
    copy.GetPgBselByTime(101, &msb, &lsb, &pro, 0);
    EXPECT_EQ(pro, 25);
}

TEST(PgBsel, DeleteAllEvntRemovesOnlyNamedMessages) {
    BridgeSong song;
    ASSERT_EQ(song.Load(smftest::Smf0(Cat({At(0, {0xC2, 25}), At(0, {0xB2, 7, 100}), At(0, {0xC2, 26}),
                                              At(10, {0x92, 60, 100}), At(10, {0x82, 60, 0})}))),
              1);
    const POSITION trk = song.TrackOfCh(2);
    const POSITION blk = song.Blocks(trk).at(0);
    const std::vector<POSITION> before = song.Events(trk, blk);
    ASSERT_EQ(before.size(), 4u);

    CPgBsel pg(song.Host());
    auto add = [&](POSITION t, POSITION b, POSITION e) {
        auto* evnt = new CPgBselEvnt(CPgBselEvnt::kProgram, 0, 25);
        evnt->SetEventIDs(t, b, e);
        pg.InsertEvnt(evnt);
    };
    add(trk, blk, before[0]);
    add(trk, blk, before[2]);
    add(trk, blk, nullptr);      // names no event: left alone
    add(nullptr, blk, before[1]);
    {
        hosttest::ExclusiveLock lock(*song.Host());
        ASSERT_EQ(lock.Result(), S_OK);
        EXPECT_EQ(pg.DeleteAllEvnt(), 0);
    }
    EXPECT_EQ(song.Events(trk, blk), (std::vector<POSITION>{before[1], before[3]}));
    EXPECT_EQ(pg.GetPgBselList()->GetCount(), 4);

    CPgBsel hostless;
    hostless.InsertEvnt(new CPgBselEvnt(CPgBselEvnt::kProgram, 0, 1));
    EXPECT_EQ(hostless.DeleteAllEvnt(), 0);
}

}  // namespace
