#include <gtest/gtest.h>

#include <vector>

#include "BridgeFixture.h"
#include "services/ArticPasn.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/WorkFixture.h"

namespace {

using bridgetest::At;
using bridgetest::BridgeSong;
using smftest::Bytes;
using smftest::Cat;

// A note on every MIDI channel but 10 (index 9), on the first port.
Bytes PasnFullSong() {
    Bytes events;
    for (BYTE ch = 0; ch < 16; ++ch)
        if (ch != 9) events = Cat({events, At(0, {BYTE(0x90 | ch), 60, 100}), At(10, {BYTE(0x80 | ch), 60, 0})});
    return smftest::Smf0(events);
}

void PasnFillTable(CArticArrayCh& table, const std::vector<DWORD>& keys) {
    for (DWORD key : keys) table.UpdateOrigiCh(key);
}

// A part (track 1, its block in slot 0) with layer copies on tracks 2 and 3.
struct PasnParts {
    CArticWrk wrk;
    CArticWrkBlk* own = wrktest::AddBlock(wrktest::AddTrack(wrk, 1, 1, 2, 0));
    CArticWrkBlk* copy1 = wrktest::AddBlock(wrktest::AddTrack(wrk, 2, 1, 2, 0));
    CArticWrkBlk* copy2 = wrktest::AddBlock(wrktest::AddTrack(wrk, 3, 1, 2, 0));
    CArticPasn pasn;
    CArticPasnData* data = new CArticPasnData(&pasn);

    explicit PasnParts(CKPSManager* host = nullptr) : pasn(host) {
        wrktest::AddBlock(wrktest::AddTrack(wrk, 0, 0));
        data->AddTail(own);
        data->AddTail(copy1);
        data->AddTail(copy2);
        pasn.AddTail(data);
    }
    static std::pair<ULONG, ULONG> PortCh(const CArticWrkBlk* blk) {
        return {blk->GetOwner()->GetPort(), blk->GetOwner()->GetCh()};
    }
};

TEST(PasnSearch, WithoutTablesSkipsChannelTenAndMovesToTheNextPort) {
    BridgeSong song;
    ASSERT_EQ(song.Load(PasnFullSong()), 1);
    PasnParts parts(song.Host());
    DWORD port = 0, ch = 99;
    ASSERT_EQ(parts.data->GetEmptyPortCh(parts.copy1->GetOwner(), 2, &port, &ch), 1);
    EXPECT_EQ(port, 1u);
    EXPECT_EQ(ch, 0u);
    // The work data's own part tracks count too: channel 0 of port 1 is taken there.
    parts.copy2->GetOwner()->SetPort(1);
    parts.copy2->GetOwner()->SetCh(0);
    port = 0;
    ASSERT_EQ(parts.data->GetEmptyPortCh2(parts.copy1->GetOwner(), 2, &port, &ch), 1);
    EXPECT_EQ(std::make_pair(port, ch), std::make_pair(DWORD(1), DWORD(1)));
    // One port only: nothing is free.
    port = 0;
    EXPECT_EQ(parts.data->GetEmptyPortCh(parts.copy1->GetOwner(), 1, &port, &ch), 0);
}

TEST(PasnSearch, WithTablesStaysOnThePortAndNeverGivesChannelTen) {
    PasnParts parts;
    std::vector<DWORD> used;
    for (DWORD c = 0; c < 16; ++c)
        if (c != 9) used.push_back(c);
    CArticArrayCh usedTable;
    PasnFillTable(usedTable, used);
    const CArticArrayCh none;
    CArticArrayCh assigned;
    DWORD port = 0, ch = 99;
    EXPECT_EQ(parts.data->GetEmptyPortCh(parts.copy1->GetOwner(), parts.copy1, &port, &ch, &none, &none,
                                         &usedTable, &assigned),
              0);
    EXPECT_EQ(port, 0u);
    EXPECT_EQ(ch, 99u);
    EXPECT_EQ(parts.copy1->GetOutVceSet(), 1);
    EXPECT_EQ(assigned.GetOrigiChNum(), 0);
}

TEST(PasnSearch, SongChannelPlayingTheVoiceIsTakenOnce) {
    PasnParts parts;
    CArticArrayCh source;
    source.UpdateOrigiCh(CArticArrayCh::MakeKey(0, 9));  // a drum channel with the voice: never handed out
    source.UpdateBSelLsb(CArticArrayCh::MakeKey(0, 9), 112);
    source.UpdateProNo(CArticArrayCh::MakeKey(0, 9), 5);
    source.UpdateOrigiCh(CArticArrayCh::MakeKey(1, 3));
    source.UpdateBSelLsb(CArticArrayCh::MakeKey(1, 3), 112);
    source.UpdateProNo(CArticArrayCh::MakeKey(1, 3), 5);
    CArticArrayCh voice;  // the converted channel's voice
    voice.UpdateBSelLsb(CArticArrayCh::MakeKey(0, 2), 112);
    voice.UpdateProNo(CArticArrayCh::MakeKey(0, 2), 5);
    CArticArrayCh used;
    PasnFillTable(used, {CArticArrayCh::MakeKey(1, 0), CArticArrayCh::MakeKey(1, 3)});
    CArticArrayCh assigned;

    DWORD port = 0, ch = 99;
    ASSERT_EQ(parts.data->GetEmptyPortCh(parts.copy1->GetOwner(), parts.copy1, &port, &ch, &voice, &source, &used, &assigned), 1);
    EXPECT_EQ(std::make_pair(port, ch), std::make_pair(DWORD(1), DWORD(3)));
    EXPECT_EQ(parts.copy1->GetOutVceSet(), 0);  // the channel plays the voice already

    port = 0;
    ASSERT_EQ(parts.data->GetEmptyPortCh(parts.copy2->GetOwner(), parts.copy2, &port, &ch, &voice, &source, &used, &assigned), 1);
    EXPECT_EQ(std::make_pair(port, ch), std::make_pair(DWORD(1), DWORD(1)));
    EXPECT_EQ(parts.copy2->GetOutVceSet(), 1);
    EXPECT_GE(assigned.SearchOrigiCh(CArticArrayCh::MakeKey(1, 3)), 0);
    EXPECT_GE(assigned.SearchOrigiCh(CArticArrayCh::MakeKey(1, 1)), 0);

    // A block's own voice wins over the converted channel's.
    parts.own->SetProNo(9);
    port = 0;
    ASSERT_EQ(parts.data->GetEmptyPortCh(parts.own->GetOwner(), parts.own, &port, &ch, &voice, &source, &used, &assigned), 1);
    EXPECT_EQ(std::make_pair(port, ch), std::make_pair(DWORD(0), DWORD(0)));
    EXPECT_EQ(parts.own->GetOutVceSet(), 1);
}

TEST(PasnReset, ResetAllLeavesTheOwnBlockAndTheMasterTrack) {
    PasnParts parts;
    CArticWrkBlk* masterBlk = parts.wrk.Get(ULONG(0))->Get(ULONG(0));
    parts.data->AddTail(masterBlk);
    CArticWrkBlk* shared = wrktest::AddBlock(wrktest::AddTrack(parts.wrk, 4, 1, 2, 0));
    parts.pasn.GetCommon()->Set(0, shared, parts.own);
    ASSERT_EQ(parts.pasn.ResetAll(1, 7), 0);
    EXPECT_EQ(PasnParts::PortCh(parts.own), std::make_pair(ULONG(0), ULONG(2)));
    EXPECT_EQ(PasnParts::PortCh(parts.copy1), std::make_pair(ULONG(1), ULONG(7)));
    EXPECT_EQ(PasnParts::PortCh(parts.copy2), std::make_pair(ULONG(1), ULONG(7)));
    EXPECT_EQ(PasnParts::PortCh(masterBlk), std::make_pair(ULONG(0), ULONG(0)));
    EXPECT_EQ(PasnParts::PortCh(shared), std::make_pair(ULONG(1), ULONG(7)));  // every shared slot is a copy
}

TEST(PasnReset, OwnBlockTakesItsSongTracksPortAndChannel) {
    BridgeSong song;
    ASSERT_EQ(song.Load(PasnFullSong()), 1);
    const POSITION songTrk = song.TrackOfCh(3);
    song.SetTrack(songTrk, 2, 3);  // the second output port
    PasnParts parts(song.Host());
    parts.own->GetOwner()->SetOrgTrkID(songTrk);
    auto* loose = new CArticPasnData(&parts.pasn);  // a part with no song track
    CArticWrkBlk* looseBlk = wrktest::AddBlock(wrktest::AddTrack(parts.wrk, 5, 1, 2, 0));
    loose->AddTail(looseBlk);
    parts.pasn.AddTail(loose);
    ASSERT_EQ(parts.pasn.ResetOrig(1, 11), 0);
    EXPECT_EQ(PasnParts::PortCh(parts.own), std::make_pair(ULONG(1), ULONG(3)));
    EXPECT_EQ(PasnParts::PortCh(looseBlk), std::make_pair(ULONG(1), ULONG(11)));
    EXPECT_EQ(PasnParts::PortCh(parts.copy1), std::make_pair(ULONG(0), ULONG(2)));  // copies untouched
}

TEST(PasnReset, SeqResetsWithTablesTurnVoiceOutput) {
    PasnParts parts;
    std::vector<DWORD> used;
    for (DWORD c = 0; c < 16; ++c)
        if (c != 4 && c != 9) used.push_back(c);
    CArticArrayCh usedTable;
    PasnFillTable(usedTable, used);
    const CArticArrayCh none;
    CArticArrayCh assigned;
    parts.own->GetOwner()->SetOrgTrkID(reinterpret_cast<POSITION>(uintptr_t(0x40)));  // taken from the song
    // The part's own block keeps its channel on the first call.
    ASSERT_EQ(parts.pasn.ResetSeqOrig(0, 15, &none, &usedTable, &none, &assigned), 0);
    EXPECT_EQ(PasnParts::PortCh(parts.own), std::make_pair(ULONG(0), ULONG(2)));
    EXPECT_EQ(parts.own->GetOutVceSet(), 0);
    // One channel is free: the first copy gets it (voice on), the second the given one (voice off).
    ASSERT_EQ(parts.pasn.ResetSeqAll(0, 15, &none, &usedTable, &none, &assigned), 0);
    EXPECT_EQ(PasnParts::PortCh(parts.copy1), std::make_pair(ULONG(0), ULONG(4)));
    EXPECT_EQ(parts.copy1->GetOutVceSet(), 1);
    EXPECT_EQ(PasnParts::PortCh(parts.copy2), std::make_pair(ULONG(0), ULONG(15)));
    EXPECT_EQ(parts.copy2->GetOutVceSet(), 0);
    EXPECT_GE(assigned.SearchOrigiCh(CArticArrayCh::MakeKey(0, 15)), 0);
}

// The expressions of the master track give it an entry ahead of the part's:
// it neither uses up the first call nor takes the part's channel, with or
// without the tables.
TEST(PasnReset, MasterEntryAheadLeavesThePartItsOwnChannel) {
    BridgeSong song;
    ASSERT_EQ(song.Load(PasnFullSong()), 1);
    for (const bool tables : {true, false}) {
        PasnParts parts(song.Host());
        CArticPasn pasn(song.Host());
        auto* master = new CArticPasnData(&pasn);
        master->AddTail(parts.wrk.Get(ULONG(0))->Get(ULONG(0)));
        pasn.AddTail(master);
        auto* part = new CArticPasnData(&pasn);
        part->AddTail(parts.own);
        pasn.AddTail(part);
        parts.own->GetOwner()->SetOrgTrkID(reinterpret_cast<POSITION>(uintptr_t(0x40)));  // taken from the song
        CArticArrayCh source;  // the converted channel, playing the part's voice
        source.UpdateOrigiCh(CArticArrayCh::MakeKey(0, 2));
        const CArticArrayCh none;
        CArticArrayCh assigned;
        ASSERT_EQ(tables ? pasn.ResetSeqOrig(0, 15, &source, &none, &none, &assigned) : pasn.ResetSeqOrig(2, 0, 15),
                  0)
            << tables;
        EXPECT_EQ(PasnParts::PortCh(parts.own), std::make_pair(ULONG(0), ULONG(2))) << tables;
        if (tables) {
            EXPECT_EQ(parts.own->GetOutVceSet(), 0);
            EXPECT_EQ(assigned.GetOrigiChNum(), 1);
        }
    }
}

TEST(PasnReset, SetBeyondTheSlotsGrowsByEight) {
    CArticPasn pasn;
    EXPECT_EQ(pasn.GetSlotCount(), 16);
    ASSERT_EQ(pasn.Set(20, new CArticPasnData(&pasn)), 1);
    EXPECT_EQ(pasn.GetSlotCount(), 24);
    EXPECT_EQ(pasn.GetDataNum(), 21u);
    EXPECT_EQ(pasn.Get(ULONG(3)), nullptr);
    EXPECT_EQ(pasn.ResetAll(0, 1), 0);  // empty entries are passed over
    pasn.ClearPasnDataArray();  // records gone, slots kept
    EXPECT_EQ(pasn.GetSlotCount(), 24);
    EXPECT_EQ(pasn.GetDataNum(), 0u);
    EXPECT_EQ(pasn.AddTail(new CArticPasnData(&pasn)), 1);
    EXPECT_EQ(pasn.GetDataNum(), 1u);
}

TEST(PasnReset, ReLinkPointsIntoTheCopiedWorkData) {
    PasnParts parts;
    CArticWrkBlk* shared = wrktest::AddBlock(wrktest::AddTrack(parts.wrk, 4, 1, 2, 0));
    parts.pasn.GetCommon()->Set(0, shared, parts.copy1);
    CArticWrk copy;
    copy = parts.wrk;
    ASSERT_EQ(parts.pasn.ReLinkWrkBlk(&copy), 0);
    for (ULONG i = 0; i < 3; ++i) {
        CArticWrkBlk* blk = parts.data->Get(i);
        ASSERT_NE(blk, nullptr);
        EXPECT_EQ(blk->GetWrk(), &copy) << i;
        EXPECT_EQ(blk->GetOwner()->GetTrkNo(), i + 1);
    }
    EXPECT_EQ(parts.pasn.GetCommon()->Get(ULONG(0))->GetWrk(), &copy);
    EXPECT_EQ(parts.pasn.GetCommon()->GetWrkBlkList(0)->GetHead()->GetWrk(), &copy);

    // A block whose track the copy does not have.
    CArticWrkBlk* lost = wrktest::AddBlock(wrktest::AddTrack(parts.wrk, 9, 1, 2, 0));
    auto* other = new CArticPasnData(&parts.pasn);
    other->AddTail(lost);
    parts.pasn.AddTail(other);
    EXPECT_EQ(parts.pasn.ReLinkWrkBlk(&copy), 1);
}

// With the song at hand the search by voice passes over a song channel that
// holds notes (another part plays there), and a channel that needs its voice
// set must hold nothing at all: channel 4 holds only a volume.
TEST(PasnSearch, WithTablesPassesOverSongChannelsInUse) {
    BridgeSong song;
    ASSERT_EQ(song.Load(smftest::Smf0(Cat({
                  At(0, {0xC0, 5}), At(0, {0xC3, 5}), At(0, {0xB4, 7, 100}), At(0, {0x90, 60, 100}),
                  At(0, {0x91, 62, 100}), At(10, {0x80, 60, 0}), At(0, {0x81, 62, 0}),
              }))),
              1);
    PasnParts parts(song.Host());
    CArticArrayCh source;  // channels 0 and 3 play program 5; 0 holds notes
    for (DWORD c : {0u, 3u}) {
        source.UpdateOrigiCh(CArticArrayCh::MakeKey(0, c));
        source.UpdateProNo(CArticArrayCh::MakeKey(0, c), 5);
    }
    CArticArrayCh voice;  // the converted channel 2's voice
    voice.UpdateProNo(CArticArrayCh::MakeKey(0, 2), 5);
    CArticArrayCh used;
    PasnFillTable(used, {CArticArrayCh::MakeKey(0, 2)});
    CArticArrayCh assigned;
    DWORD port = 0, ch = 99;
    ASSERT_EQ(parts.data->GetEmptyPortCh(parts.copy1->GetOwner(), parts.copy1, &port, &ch, &voice, &source, &used,
                                         &assigned),
              1);
    EXPECT_EQ(std::make_pair(port, ch), std::make_pair(DWORD(0), DWORD(3)));
    EXPECT_EQ(parts.copy1->GetOutVceSet(), 0);
    ASSERT_EQ(parts.data->GetEmptyPortCh(parts.copy2->GetOwner(), parts.copy2, &port, &ch, &voice, &source, &used,
                                         &assigned),
              1);
    EXPECT_EQ(std::make_pair(port, ch), std::make_pair(DWORD(0), DWORD(5)));
    EXPECT_EQ(parts.copy2->GetOutVceSet(), 1);
}

// Strings of a split part, one entry each, on a song whose channels all hold
// notes: none finds a channel, and every one of them (not only the first)
// is put on the given port and channel, the part's own.
TEST(PasnReset, EveryEntryIsResetAfterOneThatFoundNoChannel) {
    BridgeSong song;
    ASSERT_EQ(song.Load(PasnFullSong()), 1);
    CArticWrk wrk;
    wrktest::AddBlock(wrktest::AddTrack(wrk, 0, 0));
    CArticPasn pasn(song.Host());
    std::vector<CArticWrkBlk*> strings;
    for (ULONG no = 1; no <= 4; ++no) {
        strings.push_back(wrktest::AddBlock(wrktest::AddTrack(wrk, no, 1, ULONG(-2), ULONG(-1))));
        auto* data = new CArticPasnData(&pasn);
        data->AddTail(strings.back());
        pasn.AddTail(data);
    }
    CArticArrayCh source, used, assigned;
    PasnFillTable(used, {CArticArrayCh::MakeKey(0, 2)});
    EXPECT_EQ(pasn.ResetSeqOrig(0, 2, &source, &used, &source, &assigned), 1);
    for (CArticWrkBlk* blk : strings)
        EXPECT_EQ(PasnParts::PortCh(blk), std::make_pair(ULONG(0), ULONG(2))) << blk->GetOwner()->GetTrkNo();
}

}  // namespace
