// A channel of a song loaded from SMF bytes, walked into work data, given
// expressions by a one-set rule run and sent through the channel pipeline.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "BridgeFixture.h"
#include "driver/ArticCore.h"
#include "driver/ArticCoreMN.h"
#include "services/ArticErr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpDur.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticCreExpMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"
#include "platform/Random.h"

namespace {

using bridgetest::At;
using smftest::Bytes;
using smftest::Cat;

// Channel 2: notes 60 and 62; channel 5: notes 50 and 52.
// A tempo at 0.
const Bytes kPipeSong = smftest::Smf0(Cat({
    At(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}), At(960, {0x92, 60, 100}), At(40, {0x95, 50, 100}), At(240, {0x85, 50, 0}), At(200, {0x82, 60, 0}),
    At(40, {0x95, 52, 100}), At(240, {0x85, 52, 0}), At(200, {0x92, 62, 90}), At(480, {0x82, 62, 0}),
}));

struct PipeSong {
    bridgetest::BridgeSong song;
    bridgetest::PosList sel;
    CPHConvPrm prm;
    CArticWrk wrk;
    CArticExp exp;
    CArticRul rul{&wrk};
    CArticLoadMgr loader{&wrk, &exp, &rul, nullptr, nullptr, nullptr};

    PipeSong() {
        EXPECT_EQ(song.Load(kPipeSong), 1);
        song.FillPrefPorts();
        song.view.prm = &prm;
        const POSITION trk = song.TrackOfCh(2);
        const POSITION blk = song.Blocks(trk).at(0);
        song.SelectBlockInSong(trk, blk);
        sel.Add(trk, blk);
        EXPECT_EQ(song.mgr.SetSelectBlkPosList(song.Host(), &sel.list), 0);
        EXPECT_EQ(CArticEditorUtil::ConvWrk_ch(song.Host(), &sel.list, 0, 0, 1, 1, 50, 0, &wrk, 0, prm, 1, 0, 0, 480),
                  0);
        EXPECT_EQ(loader.CheckExp(), 0);
    }
    int Rules(std::initializer_list<const char*> lines) {
        CStringList script;
        for (const char* l : lines) script.AddTail(CString(l));
        if (loader.LoadRul(script) != 0) return -1;
        CArticCreExpMgr run(&wrk, &exp, &rul);
        run.SetProcDialog(&loader);
        return run.Create();
    }
    std::vector<int> Keys(LONG ch) const {
        std::vector<int> keys;
        const POSITION trk = song.TrackOfCh(ch);
        for (POSITION blk : song.Blocks(trk))
            CArticHostWalk::Events(song.Host(), trk, blk, [&](const tagMPEVENT& e, POSITION) {
                if (e.Kind == MPEVENT_KIND_NOTE) keys.push_back(e.Data1);
                return true;
            });
        std::sort(keys.begin(), keys.end());
        return keys;
    }
    // The driver hands the selected track; null leaves only the tracks that
    // carry their song track.
    int Convert(CArticCoreMN& pipe, POSITION trk = nullptr) {
        return pipe.ConvertRep(&wrk, &exp, &trk, nullptr, nullptr, 0, 0, 0, song.mgr.GetUsedCh(),
                               song.mgr.GetOrigiCh(), song.mgr.GetClientCh());
    }
};

TEST(ArticCoreSong, ChannelIsConvertedAndTheOthersStay) {
    PipeSong s;
    SeedRandom(1);
    ASSERT_EQ(s.Rules({"#set:1", "#prob:1", "#exp1:CArticExpCreNote( 1{_thisEvnt}, 0, 0, 240, 72, 100)"}), 0);
    ASSERT_EQ(s.exp.GetExpBlk(1, 0)->GetCount(), 2);  // one expression per note
    const std::vector<int> other = s.Keys(5);

    CArticCoreMN pipe(s.song.Host());
    CArticErr::Clear();
    EXPECT_EQ(s.Convert(pipe), 0);
    // The new notes go back next to the originals (removing the selection is
    // the driver's step).
    EXPECT_EQ(s.Keys(2), (std::vector<int>{60, 62, 72, 72}));
    EXPECT_EQ(s.Keys(5), other);
    // The walked data are the caller's and stay as they were.
    EXPECT_EQ(s.exp.GetExpBlk(1, 0)->GetCount(), 2);
}

TEST(ArticCoreSong, KeyShiftRaisesTheChannelAndLeavesTheOthers) {
    PipeSong s;
    SeedRandom(1);
    ASSERT_EQ(s.Rules({"#set:1", "#name:X", "#prob:1", "#exp1:CArticExpKeySft( 1{_thisEvnt}, 12)"}), 0);
    ASSERT_EQ(s.exp.GetExpBlk(1, 0)->GetCount(), 2);  // one expression per note
    const std::vector<int> other = s.Keys(5);

    CArticCoreMN pipe(s.song.Host());
    CArticErr::Clear();
    EXPECT_EQ(s.Convert(pipe), 0);
    EXPECT_EQ(s.Keys(2), (std::vector<int>{72, 74}));
    EXPECT_EQ(s.Keys(5), other);
}

// An expression the copy into the runner refuses (a class it cannot copy)
// ends the channel before anything reaches the song.
TEST(ArticCoreSong, ARefusedCopyLeavesTheSongUntouched) {
    PipeSong s;
    SeedRandom(1);
    ASSERT_EQ(s.Rules({"#set:1", "#name:X", "#prob:1", "#exp1:CArticExpKeySft( 1{_thisEvnt}, 12)"}), 0);
    CArticExpBlk* blk = s.exp.GetExpBlk(1, 0);
    blk->AddTail(new CArticExpEvnt(blk, 99));
    const Bytes before = s.song.Save();
    ASSERT_FALSE(before.empty());

    CArticCoreMN pipe(s.song.Host());
    CArticErr::Clear();
    const POSITION trk = s.song.TrackOfCh(2);
    EXPECT_NE(s.Convert(pipe, trk), 0);
    EXPECT_EQ(s.song.Save(), before);
    EXPECT_EQ(s.Keys(2), (std::vector<int>{60, 62}));
}

// The notes of a work block, by key.
std::vector<int> SongPipeBlkKeys(CArticWrkBlk* blk) {
    std::vector<int> keys;
    for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;) {
        const CArticWrkEvnt* e = blk->GetNext(p);
        if ((e->GetStatus() & 0xF0) == 0x90) keys.push_back(e->GetPost1());
    }
    return keys;
}

TEST(ArticCoreSong, TwoStringsKeepTheirNotesExpressions) {
    PipeSong s;
    SeedRandom(1);
    ASSERT_EQ(s.Rules({"#set:1", "#name:X", "#prob:1", "#exp1:CArticExpKeySft( 1{_thisEvnt}, 12)"}), 0);
    // Note 62 is played on string 1, note 60 on string 0.
    CArticWrkBlk* part = s.wrk.Get(ULONG(1))->Get(ULONG(0));
    for (POSITION p = part->GetHeadPos(); p;) {
        CArticWrkEvnt* e = part->GetNext(p);
        if ((e->GetStatus() & 0xF0) == 0x90) e->SetFngrInfo(0, e->GetPost1() == 62 ? 1 : 0, 0, 0);
    }

    CArticCoreMN pipe(s.song.Host());
    ASSERT_EQ(pipe.CopyWrkExp(&s.wrk, &s.exp), 0);
    ASSERT_EQ(pipe.Separate2(0, s.song.mgr.GetUsedCh(), s.song.mgr.GetClientCh()), 0);
    CArticWrk* wrk = pipe.GetCore()->GetWrk();
    CArticExp* exp = pipe.GetCore()->GetExp();
    ASSERT_EQ(wrk->GetCount(), 3);  // the master track and one track per string
    EXPECT_EQ(SongPipeBlkKeys(wrk->Get(ULONG(1))->Get(ULONG(0))), std::vector<int>{60});
    EXPECT_EQ(SongPipeBlkKeys(wrk->Get(ULONG(2))->Get(ULONG(0))), std::vector<int>{62});
    // The expressions stay under the track number they were made on and
    // now list the string tracks' notes: every note keeps its own.
    std::vector<CArticWrkEvnt*> listed;
    for (POSITION t = exp->GetHeadPos(); t;) {
        CArticExpTrk* trk = exp->GetNext(t);
        for (int j = 0; j < trk->GetCount(); ++j)
            for (POSITION p = trk->Get(j)->GetHeadPos(); p;) {
                auto* key = dynamic_cast<CArticExpKeySft*>(trk->Get(j)->GetNext(p));
                ASSERT_NE(key, nullptr);
                EXPECT_EQ(trk->GetTrkNo(), 1u);
                CArticWrkEvntList* notes = key->GetWrkEvntList();
                ASSERT_EQ(notes->GetCount(), 1);
                listed.push_back(notes->GetHead());
            }
    }
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0], wrk->Get(ULONG(1))->Get(ULONG(0))->Get(0));
    EXPECT_EQ(listed[1], wrk->Get(ULONG(2))->Get(ULONG(0))->Get(0));

    // The whole channel: both strings' notes reach the song 12 higher, the
    // first string on the part's own channel, the second on another.
    CArticCoreMN whole(s.song.Host());
    const std::vector<int> other = s.Keys(5);
    const POSITION trk = s.song.TrackOfCh(2);
    EXPECT_EQ(s.Convert(whole, trk), 0);
    std::vector<std::pair<int, LONG>> notes;  // key, channel
    for (POSITION blk : s.song.Blocks(trk))
        CArticHostWalk::Events(s.song.Host(), trk, blk, [&](const tagMPEVENT& e, POSITION) {
            if (e.Kind == MPEVENT_KIND_NOTE) notes.push_back({e.Data1, e.Channel});
            return true;
        });
    std::sort(notes.begin(), notes.end());
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], std::make_pair(72, LONG(2)));
    EXPECT_EQ(notes[1].first, 74);
    EXPECT_NE(notes[1].second, 2);
    EXPECT_EQ(s.Keys(5), other);
}

}  // namespace
