// One track per string out of the selected part tracks, the copy of the
// work data into the output work data and the expression tree checked
// against the work data.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "services/ArticArrayCh.h"
#include "services/ArticErr.h"
#include "services/ArticPasn.h"
#include "services/ArticPref.h"
#include "engine/builtins/ArticSrchSong.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpDur.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/work/ArticFngrInfo.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"

namespace {

const POSITION kOrgA = reinterpret_cast<POSITION>(0x1000);
const POSITION kOrgB = reinterpret_cast<POSITION>(0x2000);

// Source work data built event by event: a master track 0 and part tracks.
struct SepWorld : ::testing::Test {
    SepWorld() {
        CArticErr::Clear();
        setting.SetDefBlkName("Vexa");
        for (int g = 0; g < 12; ++g) {
            sep.SetCh(g, DWORD(g));
            sep.SetPort(g, DWORD(g % 2));
        }
        CArticWrkTrk* mstr = Trk(0, ULONG(-2), ULONG(-1), true);
        Evnt(mstr, 0xFF, 0, -1).SetMetaType(0x51);
    }
    ~SepWorld() override { CArticErr::Delete(); }

    CArticWrkTrk* Trk(ULONG no, ULONG ch, ULONG port, bool sel) {
        auto* t = new CArticWrkTrk(&src, no, ch, port);
        t->SetSelTrk(sel ? 1 : 0);
        t->SetTrkAttr(LONG(no * 7));
        src.AddTail(t);
        t->AddTail(new CArticWrkBlk(t, 0));
        return t;
    }
    // An event at the end of trk's last block; gen < 0: no fingering record.
    CArticWrkEvnt& Evnt(CArticWrkTrk* trk, BYTE status, INT64 time, int gen, POSITION org = nullptr) {
        CArticWrkBlk* blk = trk->Get(trk->GetCount() - 1);
        auto* e = new CArticWrkEvnt(blk, nextNo++);
        e->SetStatus(status);
        e->SetTime(time, 0);
        if (gen >= 0) {
            e->SetFngrInfo(0, BYTE(gen), 0, 0);
            e->GetFngrInfo()->SetOrgTrkID(org);
        }
        blk->AddTail(e, 1);
        return *e;
    }
    ULONG Note(CArticWrkTrk* trk, INT64 time, int gen, POSITION org = nullptr) {
        return Evnt(trk, 0x90, time, gen, org).GetEvntNo();
    }
    int Separate(CArticArrayCh* origiCh = nullptr, CArticArrayCh* chInfo = nullptr) {
        return loader.Separate(nullptr, &sep, &setting, &dst, 0, origiCh, chInfo);
    }
    // Numbers of the source's events in dst's track numbered trkNo, block 0
    // (the set-up copies, under new numbers, left out).
    std::set<ULONG> Nos(ULONG trkNo) {
        std::set<ULONG> nos;
        CArticWrkTrk* t = dst.Get(trkNo);
        CArticWrkBlk* b = t ? t->Get(ULONG(0)) : nullptr;
        for (POSITION p = b ? b->GetHeadPos() : nullptr; p;) {
            const ULONG no = b->GetNext(p)->GetEvntNo();
            if (no < nextNo) nos.insert(no);
        }
        return nos;
    }
    std::vector<ULONG> TrkNos() {
        std::vector<ULONG> nos;
        for (POSITION p = dst.GetHeadPos(); p;) nos.push_back(dst.GetNext(p)->GetTrkNo());
        return nos;
    }
    // The statuses of the events of dst's track trkNo that are not in the source.
    std::vector<BYTE> AddedStatuses(ULONG trkNo) {
        std::vector<BYTE> statuses;
        CArticWrkBlk* b = dst.Get(trkNo)->Get(ULONG(0));
        for (POSITION p = b->GetHeadPos(); p;) {
            CArticWrkEvnt* e = b->GetNext(p);
            if (e->GetEvntNo() >= nextNo) statuses.push_back(e->GetStatus());
        }
        return statuses;
    }

    CArticWrk src;
    CArticWrk dst;
    CArticLoadMgr loader{&src, nullptr};
    CArticPrefSep sep;
    CArticPrefSetting setting;
    ULONG nextNo = 1;
};

}  // namespace

TEST_F(SepWorld, NotesWithoutFingeringAllGoToTheFirstString) {
    CArticWrkTrk* t1 = Trk(1, 3, 0, true);
    const ULONG a = Note(t1, 0, -1);
    const ULONG b = Note(t1, 480, -1);
    CArticWrkTrk* t2 = Trk(2, 4, 0, true);
    const ULONG c = Note(t2, 240, -1);
    Note(Trk(3, 5, 0, false), 0, -1);  // not selected
    EXPECT_EQ(loader.GetMaxGenNo(), 0);
    ASSERT_EQ(Separate(), 0);
    EXPECT_EQ(TrkNos(), (std::vector<ULONG>{0, 1}));
    EXPECT_EQ(Nos(1), (std::set<ULONG>{a, b, c}));
    // The master track and its block are copied and become the measure block.
    EXPECT_EQ(Nos(0), std::set<ULONG>{1});
    EXPECT_EQ(dst.GetMeasBlk(), dst.Get(ULONG(0))->Get(ULONG(0)));
    EXPECT_EQ(dst.Get(ULONG(0))->GetCh(), ULONG(-2));
    // The string track: block named by the setting, attributes of the first part track.
    CArticWrkTrk* s0 = dst.Get(ULONG(1));
    EXPECT_EQ(s0->Get(ULONG(0))->GetBlkName(), "Vexa");
    EXPECT_EQ(s0->GetSelTrk(), 1);
    EXPECT_EQ(s0->GetTrkAttr(), 7);
    EXPECT_EQ(s0->GetCh(), 3u);
    EXPECT_EQ(s0->GetOrigCh(), 3u);
    // The source keeps its events.
    EXPECT_EQ(t1->Get(ULONG(0))->GetCount(), 2);
}

TEST_F(SepWorld, ASecondOwnerOfAStringMovesUpToAFreeSlotMadeOnDemand) {
    CArticWrkTrk* t1 = Trk(1, 0, 0, true);
    const ULONG a2 = Note(t1, 0, 2, kOrgA);
    const ULONG a0 = Note(t1, 10, 0, kOrgA);
    CArticWrkTrk* t2 = Trk(2, 1, 0, true);
    const ULONG b2 = Note(t2, 20, 2, kOrgB);
    const ULONG b2again = Note(t2, 30, 2, kOrgB);
    const ULONG a12 = Note(t2, 40, 12, kOrgA);  // string 12: slot 0, not counted
    EXPECT_EQ(loader.GetMaxGenNo(), 2);
    ASSERT_EQ(Separate(), 0);
    // Slots 0..2 are tracks 1..3; slot 3 is made with number n + 2 = 5.
    EXPECT_EQ(TrkNos(), (std::vector<ULONG>{0, 1, 2, 3, 5}));
    EXPECT_EQ(Nos(1), (std::set<ULONG>{a0, a12}));
    EXPECT_EQ(Nos(2), std::set<ULONG>{});
    EXPECT_EQ(Nos(3), std::set<ULONG>{a2});
    EXPECT_EQ(Nos(5), (std::set<ULONG>{b2, b2again}));
    CArticWrkTrk* made = dst.Get(ULONG(5));
    EXPECT_EQ(made->GetOrgTrkID(), kOrgB);
    EXPECT_EQ(made->GetCh(), 3u);  // the separation table's string 3
    EXPECT_EQ(made->GetPort(), 1u);
    EXPECT_EQ(made->Get(ULONG(0))->GetBlkName(), "Vexa");
}

TEST_F(SepWorld, VoiceSetEventsFollowTheEventBeforeThem) {
    CArticWrkTrk* t1 = Trk(1, 0, 0, true);
    CArticWrkEvnt& first = Evnt(t1, 0xB0, 0, -1);
    first.SetVceSet(1);
    const ULONG n1 = Note(t1, 10, 1);
    CArticWrkEvnt& later = Evnt(t1, 0xB0, 20, 0);
    later.SetVceSet(1);
    const ULONG n0 = Note(t1, 30, 0);
    ASSERT_EQ(Separate(), 0);
    EXPECT_EQ(Nos(1), std::set<ULONG>{n0});
    EXPECT_EQ(Nos(2), (std::set<ULONG>{n1, later.GetEvntNo()}));
}

TEST_F(SepWorld, StringsBeyondTheSelectedTracksTakeTheFirstTracksSetUp) {
    CArticWrkTrk* t1 = Trk(1, 3, 1, true);
    Evnt(t1, 0xB0, 0, -1);                     // control change: copied everywhere
    Evnt(t1, 0xFF, 0, -1).SetMetaType(3);      // a track name: slot 0 only
    Evnt(t1, 0xFF, 0, -1).SetMetaType(1);      // text: never a set-up event
    Evnt(t1, 0xB0, 600, -1);                   // after the first note: none
    Note(t1, 480, 5);
    CArticWrkTrk* t2 = Trk(2, 4, 0, true);
    Evnt(t2, 0xC0, 0, -1);
    Note(t2, 500, 1);
    CArticWrkTrk* t3 = Trk(3, 5, 1, true);
    Note(t3, 500, 2);
    ASSERT_EQ(Separate(), 0);
    EXPECT_EQ(TrkNos(), (std::vector<ULONG>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(AddedStatuses(1), (std::vector<BYTE>{0xB0, 0xFF}));
    EXPECT_EQ(AddedStatuses(2), std::vector<BYTE>{0xC0});
    EXPECT_EQ(AddedStatuses(3), std::vector<BYTE>{});
    EXPECT_EQ(dst.Get(ULONG(2))->GetCh(), 4u);
    for (ULONG trkNo = 4; trkNo <= 6; ++trkNo) {
        CArticWrkTrk* s = dst.Get(trkNo);
        EXPECT_EQ(s->GetCh(), ULONG(-2)) << trkNo;
        EXPECT_EQ(s->GetPort(), ULONG(-1)) << trkNo;
        EXPECT_EQ(s->GetOrigCh(), 3u) << trkNo;
        EXPECT_EQ(s->GetOrigPort(), 1u) << trkNo;
        EXPECT_EQ(AddedStatuses(trkNo), std::vector<BYTE>{0xB0}) << trkNo;
    }
}

TEST_F(SepWorld, TracksBeyondTheOriginalChannelTableUseItsFirstEntry) {
    CArticWrkTrk* tracks[3];
    for (int i = 0; i < 3; ++i) {
        tracks[i] = Trk(ULONG(i + 1), ULONG(i), 0, true);
        Evnt(tracks[i], 0xB0, 0, -1);
        Note(tracks[i], 100, i);
    }
    const DWORD key0 = CArticArrayCh::MakeKey(0, 0);
    const DWORD key1 = CArticArrayCh::MakeKey(0, 1);
    CArticArrayCh origiCh, chInfo;
    origiCh.InitOrigiCh();
    origiCh.UpdateOrigiCh(key0);
    chInfo.InitOrigiCh();
    chInfo.UpdateProNo(key0, 5);
    chInfo.UpdateBSelMsb(key0, 1);
    chInfo.UpdateBSelLsb(key0, 2);
    chInfo.UpdateProNo(key1, 9);  // never looked up: the table has one entry
    ASSERT_EQ(Separate(&origiCh, &chInfo), 0);
    for (int i = 0; i < 3; ++i) {
        CArticWrkBlk* made = dst.Get(ULONG(i + 1))->Get(ULONG(0));
        EXPECT_EQ(made->GetProNo(), 5) << i;
        EXPECT_EQ(made->GetBSelMsb(), 1) << i;
        EXPECT_EQ(made->GetBSelLsb(), 2) << i;
        EXPECT_EQ(tracks[i]->Get(ULONG(0))->GetProNo(), 5) << i;  // the source block holding the set-up
    }
    // Without a channel-information table the voice stays zero.
    ASSERT_EQ(Separate(&origiCh, nullptr), 0);
    EXPECT_EQ(dst.Get(ULONG(2))->Get(ULONG(0))->GetProNo(), 0);
}

namespace {

CKPSManager* const kSepHost = reinterpret_cast<CKPSManager*>(0x3000);

// The song as the split asks it: port 1 of kSepHost sits at address 2, and
// nothing else is known.
class SepPortSong : public ArticSrchSong {
public:
    int GetCurBeat(CKPSManager*, DWORD, BYTE*, BYTE*) const override { return 1; }
    int GetCurKey(CKPSManager*, DWORD, BYTE*, BYTE*) const override { return 1; }
    int GetCurChord(CKPSManager*, DWORD, BYTE*, BYTE*, BYTE*, BYTE*) const override { return 1; }
    int GetCurTempo(CKPSManager*, DWORD, WORD*, DWORD*) const override { return 1; }
    int GetTimeFromMeter(CKPSManager*, INT64, INT64*) const override { return 1; }
    int GetTimeFromKey(CKPSManager*, INT64, INT64*) const override { return 1; }
    int GetChVoice(DWORD, BYTE*, BYTE*, BYTE*) const override { return 1; }
    int GetTargetVoice(BYTE*, BYTE*, BYTE*) const override { return 1; }
    int GetPortAdrsFromPortNo(CKPSManager* host, DWORD portNo, DWORD* adrs) const override {
        if (host != kSepHost || portNo != 1) return 1;
        *adrs = 2;
        return 0;
    }
};

}  // namespace

TEST_F(SepWorld, KvPartMessagesReachTheOtherStringsOnlyForTheTracksPortAddress) {
    // A track on port 1, channel 3, with KV part messages for part 0x23
    // (address 2) and part 0x03 (address 0) before its first note.
    CArticWrkTrk* t1 = Trk(1, 3, 1, true);
    for (BYTE part : {BYTE(0x23), BYTE(0x03)}) {
        const BYTE kv[] = {0x43, 0x10, 0x4C, 0x08, part, 0x01, 0x05, 0xF7};
        Evnt(t1, 0xF0, 0, -1).SetSys(kv, sizeof kv);
    }
    Note(t1, 480, 1);
    // The parts of the set-up messages copied to the second string's track.
    auto partsOnSecondString = [&] {
        std::vector<BYTE> parts;
        CArticWrkBlk* b = dst.Get(ULONG(2))->Get(ULONG(0));
        for (POSITION p = b->GetHeadPos(); p;) {
            const CArticWrkEvnt* e = b->GetNext(p);
            const BYTE* data = nullptr;
            if (e->GetEvntNo() >= nextNo && e->GetSys(&data) >= 5 && data) parts.push_back(data[4]);
        }
        return parts;
    };
    const ArticSrchSong* entered = ArticSrchSong::Get();
    const SepPortSong song;
    struct Case {
        const ArticSrchSong* song;
        CKPSManager* host;
        std::vector<BYTE> parts;
    } cases[] = {
        {&song, kSepHost, {0x23}},  // the song gives port 1 address 2
        {&song, nullptr, {0x03}},   // it knows nothing of this host: address 0
        {nullptr, kSepHost, {0x03}},  // no answerer entered: address 0
    };
    for (const Case& c : cases) {
        ArticSrchSong::Enter(c.song);
        const int result = loader.Separate(c.host, &sep, &setting, &dst, 0, nullptr, nullptr);
        ArticSrchSong::Enter(entered);
        ASSERT_EQ(result, 0);
        ASSERT_EQ(TrkNos(), (std::vector<ULONG>{0, 1, 2}));
        EXPECT_EQ(partsOnSecondString(), c.parts) << (c.song ? "answerer" : "none") << ' ' << c.host;
        EXPECT_EQ(AddedStatuses(1), (std::vector<BYTE>{0xF0, 0xF0}));  // the first string takes every set-up
    }
}

TEST_F(SepWorld, WithoutPartTracksOnlyTheMasterTrackIsLeft) {
    Note(Trk(1, 0, 0, false), 0, 3);
    dst.AddTail(new CArticWrkTrk(&dst, 9, 0, 0));  // emptied first
    ASSERT_EQ(Separate(), 0);
    EXPECT_EQ(TrkNos(), std::vector<ULONG>{0});
}

TEST_F(SepWorld, MissingArgumentsAreRefusedAndTheSourceIsNeverTheDestination) {
    Note(Trk(1, 0, 0, true), 0, 0);
    EXPECT_EQ(loader.Separate(nullptr, nullptr, &setting, &dst, 0, nullptr, nullptr), 1);
    EXPECT_EQ(loader.Separate(nullptr, &sep, nullptr, &dst, 0, nullptr, nullptr), 1);
    EXPECT_EQ(loader.Separate(nullptr, &sep, &setting, nullptr, 0, nullptr, nullptr), 1);
    EXPECT_EQ(loader.Separate(nullptr, &sep, &setting, &src, 0, nullptr, nullptr), 1);
    EXPECT_EQ(src.GetCount(), 2);
    CArticLoadMgr unbound(nullptr, nullptr);
    EXPECT_EQ(unbound.Separate(nullptr, &sep, &setting, &dst, 0, nullptr, nullptr), 1);
    EXPECT_EQ(unbound.GetMaxGenNo(), 0);
}

TEST_F(SepWorld, CopyWrkCarriesTheFingeringFlag) {
    Note(Trk(1, 2, 0, true), 0, 4);
    src.SetFng(1);
    CArticWrk out;
    CArticLoadMgr conv(&src, nullptr, nullptr, nullptr, nullptr, &out);
    EXPECT_EQ(conv.CopyWrk(), 0);
    EXPECT_EQ(out.GetFng(), 1);
    ASSERT_NE(out.Get(ULONG(1)), nullptr);
    EXPECT_EQ(out.Get(ULONG(1))->Get(ULONG(0))->GetCount(), 1);
    CArticLoadMgr self(&src, nullptr, nullptr, nullptr, nullptr, &src);
    EXPECT_EQ(self.CopyWrk(), 1);
    EXPECT_EQ(src.GetCount(), 2);
    EXPECT_EQ(loader.CopyWrk(), 1);  // no output work data
    EXPECT_EQ(loader.AssignWrk(), 1);
    EXPECT_EQ(loader.PasnExp(), 1);
    CArticExp exp;
    CArticLoadMgr noPasn(&src, &exp, nullptr, nullptr, nullptr, &out);
    EXPECT_EQ(noPasn.PasnExp(), 1);
}

TEST_F(SepWorld, CheckExpGivesEveryWorkBlockItsExpressionBlock) {
    CArticWrkTrk* t1 = Trk(1, 3, 1, true);
    t1->AddTail(new CArticWrkBlk(t1, 4));
    CArticExp exp;
    auto* existing = new CArticExpTrk(&exp, 1, 9, 9);
    exp.AddTail(existing);
    existing->AddTail(new CArticExpBlk(existing, 4));
    CArticLoadMgr conv(&src, &exp, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(conv.CheckExp(), 0);
    ASSERT_EQ(exp.GetCount(), 2);
    EXPECT_EQ(exp.Get(ULONG(1)), existing);
    EXPECT_EQ(existing->GetCh(), 9u);  // an existing track is kept as it is
    ASSERT_EQ(existing->GetCount(), 2);
    EXPECT_EQ(existing->Get(ULONG(0))->GetWrkBlk(), t1->Get(ULONG(0)));
    EXPECT_EQ(existing->Get(ULONG(4))->GetWrkBlk(), nullptr);
    CArticExpTrk* made = exp.Get(ULONG(0));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetCh(), ULONG(-2));
    EXPECT_EQ(made->GetPort(), ULONG(-1));
    EXPECT_EQ(made->GetWrkTrk(), src.Get(ULONG(0)));
    ASSERT_NE(made->Get(ULONG(0)), nullptr);
    EXPECT_EQ(made->Get(ULONG(0))->GetWrkBlk(), src.Get(ULONG(0))->Get(ULONG(0)));
    EXPECT_EQ(conv.CheckExp(), 0);
    EXPECT_EQ(exp.GetCount(), 2);
    EXPECT_EQ(loader.CheckExp(), 1);  // no expression data
}

TEST_F(SepWorld, ExpressionsKeepTheirEventNumbersOnTheSeparatedData) {
    CArticWrkTrk* t1 = Trk(1, 0, 0, true);
    const ULONG a = Note(t1, 0, 0);
    const ULONG b = Note(t1, 10, 1);
    const ULONG c = Note(t1, 20, 2);
    CArticExp exp;
    CArticLoadMgr conv(&src, &exp, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(conv.CheckExp(), 0);
    CArticExpBlk* blk = exp.GetExpBlk(1, 0);
    const std::vector<ULONG> lists[] = {{a}, {b, c}, {a, c}};
    ULONG no = 1;
    for (const auto& nos : lists) {
        CArticWrkEvntList notes;
        for (ULONG n : nos) notes.AddTail(src.GetEvntInEvntPosArray(n, 0));
        blk->AddTail(new CArticExpKeySft(blk, no++, &notes, 1));
    }
    ASSERT_EQ(Separate(), 0);
    CArticExp split;
    ASSERT_EQ(CArticExpUtil::CopyExp(&exp, &split, &dst), 0);
    CArticExpBlk* copied = split.GetExpBlk(1, 0);
    ASSERT_NE(copied, nullptr);
    ASSERT_EQ(copied->GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        CArticWrkEvntList* notes = static_cast<CArticExpKeySft*>(copied->Get(i))->GetWrkEvntList();
        std::vector<ULONG> got;
        for (POSITION p = notes->GetHeadPosition(); p;) {
            CArticWrkEvnt* e = notes->GetNext(p);
            EXPECT_EQ(e->GetOwner()->GetWrk(), &dst);
            got.push_back(e->GetEvntNo());
        }
        EXPECT_EQ(got, lists[i]) << i;
    }
}

TEST_F(SepWorld, CheckedExpressionsGetTheirPartAssignmentRecords) {
    CArticWrkTrk* t1 = Trk(1, 0, 0, true);
    const ULONG n = Note(t1, 0, 0);
    CArticExp exp;
    CArticPasn pasn;
    CArticLoadMgr conv(&src, &exp, nullptr, nullptr, &pasn, nullptr);
    ASSERT_EQ(conv.CheckExp(), 0);
    CArticExpBlk* blk = exp.GetExpBlk(1, 0);
    CArticWrkEvntList notes;
    notes.AddTail(src.GetEvntInEvntPosArray(n, 0));
    auto* e = new CArticExpKeySft(blk, 1, &notes, 2);
    blk->AddTail(e);
    EXPECT_EQ(conv.PasnExp(), 0);
    EXPECT_EQ(pasn.GetDataNum(), 2u);  // one record per linked block: the master's and track 1's
    ASSERT_NE(e->GetPasnData(), nullptr);
}

// A one-track part: what concerns its whole channel after its first note (a
// bend, a controller, a program, pressure, a packed RPN) reaches every
// string; a note, key pressure, a meta event and a voice-set event stay on
// the string they went to.
TEST_F(SepWorld, OneTrackPartsChannelMessagesReachEveryString) {
    CArticWrkTrk* t1 = Trk(1, 3, 0, true);
    Note(t1, 100, 0);
    Note(t1, 200, 1);
    Note(t1, 300, 2);
    for (BYTE status : {0xE0, 0xB0, 0xC0, 0xD0, 0x20, 0xA0, 0xFF}) Evnt(t1, status, 250, -1);
    Evnt(t1, 0xE0, 260, -1).SetVceSet(1);  // follows the note before it only
    ASSERT_EQ(Separate(), 0);
    EXPECT_EQ(TrkNos(), (std::vector<ULONG>{0, 1, 2, 3}));
    // Slot 0 holds the originals; slots 1 and 2 a copy of each channel-wide one.
    EXPECT_EQ(AddedStatuses(1), std::vector<BYTE>{});
    for (ULONG trkNo : {2ul, 3ul})
        EXPECT_EQ(AddedStatuses(trkNo), (std::vector<BYTE>{0xE0, 0xB0, 0xC0, 0xD0, 0x20})) << trkNo;
}

// Two part tracks share the string slots: one part's controllers never reach
// the other's strings, so nothing is copied.
TEST_F(SepWorld, SeveralPartTracksKeepTheirChannelMessagesOnOneString) {
    CArticWrkTrk* t1 = Trk(1, 3, 0, true);
    Note(t1, 100, 0);
    Evnt(t1, 0xE0, 150, -1);
    CArticWrkTrk* t2 = Trk(2, 4, 0, true);
    Note(t2, 100, 1);
    Evnt(t2, 0xB0, 150, -1);
    ASSERT_EQ(Separate(), 0);
    for (ULONG trkNo : {1ul, 2ul}) EXPECT_EQ(AddedStatuses(trkNo), std::vector<BYTE>{}) << trkNo;
}
