#include "driver/ArticEditorMgr.h"

#include <gtest/gtest.h>

#include <vector>

#include "BridgeFixture.h"
#include "services/ArticErr.h"
#include "engine/work/WorkFixture.h"
#include "platform/Messages.h"

namespace {

using bridgetest::At;
using bridgetest::BridgeSong;
using bridgetest::PosList;
using smftest::Bytes;
using smftest::Cat;

// Channel 0: a control change at 480, a note at 960 lasting 480; channel 1:
// a note at 1921 lasting 961; channel 2 a note at 0 (song ticks).
const Bytes kTimesSong = smftest::Smf0(Cat({
    At(0, {0x92, 50, 100}), At(10, {0x82, 50, 0}),
    At(470, {0xB0, 7, 100}), At(480, {0x90, 60, 100}), At(480, {0x80, 60, 0}),
    At(481, {0x91, 62, 100}), At(961, {0x81, 62, 0}),
}));

TEST(ArticEditorMgrSelection, IsSelectBlkKinds) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kTimesSong), 1);
    const POSITION trk0 = song.TrackOfCh(0);
    const POSITION trk1 = song.TrackOfCh(1);
    const POSITION blk0 = song.Blocks(trk0).at(0);
    const POSITION second = song.InsertBlock(trk0, 7680);
    ASSERT_NE(second, nullptr);
    const POSITION blk1 = song.Blocks(trk1).at(0);

    struct Case {
        std::vector<std::pair<POSITION, POSITION>> items;
        int kind;
    };
    const Case kCases[] = {
        {{}, 0},
        {{{trk0, blk0}}, 1},
        {{{trk0, blk0}, {trk0, second}}, 2},
        {{{trk0, blk0}, {trk1, blk1}}, 3},
        {{{trk1, blk1}, {trk0, blk0}, {trk0, second}}, 4},
    };
    for (const Case& c : kCases) {
        PosList sel;
        for (const auto& item : c.items) sel.Add(item.first, item.second);
        song.mgr.SetSelectBlkPosList(&sel.list);
        EXPECT_EQ(song.mgr.IsSelectBlk(), c.kind) << c.items.size();
    }
    CArticEditorMgr hostless;
    EXPECT_EQ(hostless.IsSelectBlk(), 0);

    // The selection's own questions on the last case.
    int order = -1;
    EXPECT_EQ(song.mgr.EstimateTrkNo(trk1, &order), 0);
    EXPECT_EQ(order, 1);
    EXPECT_EQ(song.mgr.EstimateTrkNo(trk0, &order), 0);
    EXPECT_EQ(order, 2);
    EXPECT_EQ(song.mgr.EstimateTrkNo(song.TrackOfCh(5), &order), 1);
    EXPECT_EQ(order, 0);
    POSITION blk = nullptr;
    EXPECT_EQ(song.mgr.GetSelBlkID(trk0, &blk), 0);
    EXPECT_EQ(blk, blk0);
    std::vector<POSITION> trks;
    std::vector<int> indexes;
    EXPECT_EQ(song.mgr.GetSelTrk(&trks, &indexes), 0);
    EXPECT_EQ(trks, (std::vector<POSITION>{trk0, trk1}));
    EXPECT_EQ(indexes, (std::vector<int>{1, 2}));  // after the conductor, channel 0 and 1
    EXPECT_EQ(song.mgr.GetTrkID(song.Host(), 2), trk1);
    EXPECT_EQ(song.mgr.GetTrkID(song.Host(), 40), nullptr);
    EXPECT_EQ(song.mgr.GetTrkCh(trk1), 1);
}

TEST(ArticEditorMgrSelection, TimesOfTheSelection) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kTimesSong), 1);
    PosList sel;
    song.SelectCh(sel, 0);
    song.SelectCh(sel, 1);
    EXPECT_EQ(song.mgr.SetSelectBlkPosList(song.Host(), &sel.list), 0);
    EXPECT_EQ(song.mgr.GetFirstNoteOnTime(), 480);  // song tick 960
    EXPECT_EQ(song.mgr.GetFirstEventTime(), 240);   // the control change at 480
    EXPECT_EQ(song.mgr.GetLastEventTime(), 1440);   // channel 1: song ticks 1921 + 961 give 960 + 480

    // Only the selected note of channel 1.
    PosList one;
    const POSITION trk1 = song.TrackOfCh(1);
    const POSITION blk1 = song.Blocks(trk1).at(0);
    one.Add(trk1, blk1, song.Events(trk1, blk1).at(0));
    EXPECT_EQ(song.mgr.SetSelectEvntPosList(song.Host(), &one.list), 0);
    EXPECT_EQ(song.mgr.GetFirstNoteOnTime(), 960);
    EXPECT_EQ(song.mgr.GetFirstEventTime(), 960);
    EXPECT_EQ(song.mgr.GetLastEventTime(), 1440);

    PosList none;
    EXPECT_EQ(song.mgr.SetSelectBlkPosList(song.Host(), &none.list), 0);
    EXPECT_EQ(song.mgr.GetFirstNoteOnTime(), CArticEditorMgr::kNoTime);
    EXPECT_EQ(song.mgr.GetFirstEventTime(), CArticEditorMgr::kNoTime);
    EXPECT_EQ(song.mgr.GetLastEventTime(), 0);

    INT64 start = -1;
    const POSITION second = song.InsertBlock(trk1, 3841);
    EXPECT_EQ(song.mgr.GetBlkTimeStart(trk1, second, &start), 0);
    EXPECT_EQ(start, 1920);
    DWORD base = 0;
    EXPECT_EQ(song.mgr.GetTimeBase(&base), 1);
    EXPECT_EQ(base, 960u);
}

const Bytes kMgrVoiceSong = smftest::Smf0(Cat({
    At(0, {0xB2, 0x00, 0x08}), At(0, {0xB2, 0x20, 0x01}), At(0, {0xC2, 25}), At(0, {0xC3, 41}),
    At(480, {0x92, 60, 100}), At(0, {0x93, 60, 100}), At(480, {0x82, 60, 0}), At(0, {0x83, 60, 0}),
}));

TEST(ArticEditorMgrTables, ClientVoicesGoIntoSourceAndUsedTables) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kMgrVoiceSong), 1);
    PosList sel;
    song.SelectCh(sel, 2);
    ASSERT_EQ(song.mgr.SetSelectBlkPosList(song.Host(), &sel.list), 0);
    for (CArticArrayCh* table : {song.mgr.GetOrigiCh(), song.mgr.GetUsedCh()}) {
        ASSERT_NE(table, nullptr);
        ASSERT_EQ(table->GetOrigiChNum(), 1);
        const CArrayChInfo* info = table->GetOrigiChInfo(0);
        EXPECT_EQ(info->GetKey(), 0x0002u);
        EXPECT_EQ(info->GetBSelMsb(), 8);
        EXPECT_EQ(info->GetBSelLsb(), 1);
        EXPECT_EQ(info->GetProNo(), 25);
    }
    // The client table knows every channel with events.
    EXPECT_EQ(song.mgr.GetClientCh()->GetOrigiChNum(), 2);

    // Without the client scan (mode 0) the voices stay 0.
    song.mgr.SetInitSep(0);
    ASSERT_EQ(song.mgr.CalcArrayCh(), 0);
    EXPECT_EQ(song.mgr.GetUsedCh()->GetOrigiChInfo(0)->GetProNo(), 0);
}

TEST(ArticEditorMgrTables, MoreThanTwelveUsedChannelsFail) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kMgrVoiceSong), 1);
    PosList twelve;
    for (LONG ch = 0; ch < 12; ++ch) song.SelectCh(twelve, ch);
    EXPECT_EQ(song.mgr.SetSelectBlkPosList(song.Host(), &twelve.list), 0);
    EXPECT_EQ(song.mgr.GetUsedCh()->GetOrigiChNum(), 12);
    PosList thirteen;
    for (LONG ch = 0; ch < 13; ++ch) song.SelectCh(thirteen, ch);
    EXPECT_EQ(song.mgr.SetSelectBlkPosList(song.Host(), &thirteen.list), 1);
}

// A note on every MIDI channel but 10 (index 9).
Bytes MgrFullSong() {
    Bytes events;
    for (BYTE ch = 0; ch < 16; ++ch)
        if (ch != 9) events = Cat({events, At(0, {BYTE(0x90 | ch), 60, 100}), At(10, {BYTE(0x80 | ch), 60, 0})});
    return smftest::Smf0(events);
}

// Every channel of a loaded song has its track and block: only what it
// holds makes a channel taken. Channels 2 and 3 hold notes, channel 4 only a
// program, channels 0 and 1 are the strings'; channel 5 holds nothing.
TEST(ArticEditorMgrTables, EmptyPortChannelHoldsNoMessage) {
    BridgeSong song;
    const Bytes withProgram = smftest::Smf0(Cat({
        At(0, {0xC4, 41}), At(480, {0x92, 60, 100}), At(0, {0x93, 60, 100}), At(480, {0x82, 60, 0}),
        At(0, {0x83, 60, 0}),
    }));
    ASSERT_EQ(song.Load(withProgram), 1);
    CArticPrefSep* sep = song.pref.GetSep();
    ASSERT_EQ(sep->SetGen(2), 0);
    sep->SetPort(0, 0);
    sep->SetCh(0, 0);
    sep->SetPort(1, 0);
    sep->SetCh(1, 1);
    for (bool written : {false, true}) {
        DWORD port = 0, ch = 99;
        EXPECT_EQ(written ? song.mgr.GetEmptyPortCh2(sep, 2, &port, &ch) : song.mgr.GetEmptyPortCh(sep, 2, &port, &ch),
                  1);
        EXPECT_EQ(std::make_pair(port, ch), std::make_pair(DWORD(0), DWORD(5))) << written;
    }
}

TEST(ArticEditorMgrTables, EmptyPortChannelSkipsChannelTen) {
    BridgeSong song;
    ASSERT_EQ(song.Load(MgrFullSong()), 1);
    CArticPrefSep* sep = song.pref.GetSep();
    DWORD port = 0, ch = 99;
    // Port 0 is full (every channel but 10 holds notes): the next port's channel 0.
    EXPECT_EQ(song.mgr.GetEmptyPortCh(sep, 2, &port, &ch), 1);
    EXPECT_EQ(port, 1u);
    EXPECT_EQ(ch, 0u);

    // Strings on port 1, channels 0 to 8: channel index 9 is skipped.
    ASSERT_EQ(sep->SetGen(9), 0);
    for (int gen = 0; gen < 9; ++gen) {
        sep->SetPort(gen, 1);
        sep->SetCh(gen, DWORD(gen));
    }
    port = 0;
    EXPECT_EQ(song.mgr.GetEmptyPortCh(sep, 2, &port, &ch), 1);
    EXPECT_EQ(port, 1u);
    EXPECT_EQ(ch, 10u);
    EXPECT_EQ(song.mgr.GetEmptyPortCh2(sep, 2, &port, &ch), 1);
    EXPECT_EQ(ch, 10u);

    // One port only: nothing free, outputs untouched.
    port = 0, ch = 99;
    EXPECT_EQ(song.mgr.GetEmptyPortCh(sep, 1, &port, &ch), 0);
    EXPECT_EQ(port, 0u);
    EXPECT_EQ(ch, 99u);
    CArticEditorMgr hostless;
    EXPECT_EQ(hostless.GetEmptyPortCh(sep, 2, &port, &ch), 0);
}

TEST(ArticEditorMgrLock, OneLockAtATime) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kMgrVoiceSong), 1);
    EXPECT_EQ(song.mgr.GetMpLockWR(), 1);
    EXPECT_EQ(song.mgr.DeleteMpLock(), E_UNEXPECTED);
    EXPECT_EQ(song.mgr.CreateMpLock(0), S_OK);
    CArticMpLock* first = song.mgr.GetMpLock();
    EXPECT_EQ(song.mgr.GetMpLockWR(), 0);
    EXPECT_EQ(song.mgr.CreateMpLock(1), E_UNEXPECTED);
    EXPECT_EQ(song.mgr.GetMpLock(), first);
    EXPECT_EQ(song.mgr.DeleteMpLock(), S_OK);
    EXPECT_EQ(song.mgr.GetMpLock(), nullptr);
    // Released: the exclusive lock can be taken again.
    EXPECT_EQ(song.mgr.CreateMpLock(1), S_OK);
    EXPECT_EQ(song.mgr.DeleteMpLock(), S_OK);

    CArticEditorMgr hostless;
    EXPECT_EQ(hostless.CreateMpLock(1), E_FAIL);
    EXPECT_EQ(hostless.DeleteMpLock(), E_FAIL);
}

TEST(ArticEditorMgrLock, RefusedLockIsRecordedAndNeverWaits) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kMgrVoiceSong), 1);
    CArticErr::Clear();
    int shown = 0;
    UINT style = 0;
    SetMessageSink([&](const CString& text, const CString&, UINT s) {
        ++shown;
        style = s;
        EXPECT_FALSE(text.IsEmpty());
        return IDOK;
    });
    ASSERT_EQ(song.Host()->Lock(1, u"held by the test"), S_OK);
    EXPECT_LT(song.mgr.CreateMpLock(1), 0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(style & MB_ICONWARNING, UINT(MB_ICONWARNING));
    EXPECT_EQ(CArticErr::GetMsgCount(), 1);
    BYTE kind = 0;
    CString content, className, method, detail;
    CArticErr::Get(kind, content, className, method, detail);
    EXPECT_EQ(kind, kArticErrKindError);
    EXPECT_STREQ(className.c_str(), "CArticMpLock");
    // Dropping the refused lock releases nothing: the test's lock is still held.
    EXPECT_EQ(song.mgr.DeleteMpLock(), S_OK);
    EXPECT_EQ(song.Host()->Unlock(1), S_OK);
    EXPECT_EQ(song.Host()->Unlock(1), E_FAIL);
    SetMessageSink(nullptr);
    CArticErr::Delete();
}

TEST(ArticEditorMgrEdits, DeleteSelectBlockReportsRefusal) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kMgrVoiceSong), 1);
    PosList sel;
    song.SelectCh(sel, 2);
    song.SelectCh(sel, 3);
    song.mgr.SetSelectBlkPosList(&sel.list);
    EXPECT_EQ(song.mgr.DeleteSelectBlock(), 1);  // no exclusive lock: the host refuses
    EXPECT_EQ(song.mgr.GetSelectList().GetCount(), 2);
    EXPECT_EQ(song.Blocks(song.TrackOfCh(2)).size(), 1u);

    ASSERT_EQ(song.mgr.CreateMpLock(1), S_OK);
    EXPECT_EQ(song.mgr.DeleteSelectBlock(), 0);
    EXPECT_EQ(song.mgr.DeleteMpLock(), S_OK);
    EXPECT_TRUE(song.mgr.GetSelectList().IsEmpty());
    EXPECT_TRUE(song.Blocks(song.TrackOfCh(2)).empty());
    EXPECT_TRUE(song.Blocks(song.TrackOfCh(3)).empty());
    EXPECT_EQ(CArticEditorUtil::UsedPortCh(song.Host(), 0, 2), 0);
}

TEST(ArticEditorMgrEdits, OutEventsAreRemovedExactly) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kMgrVoiceSong), 1);
    const POSITION trk = song.TrackOfCh(2);
    const POSITION blk = song.Blocks(trk).at(0);
    const std::vector<POSITION> before = song.Events(trk, blk);
    ASSERT_EQ(before.size(), 4u);  // bank MSB, bank LSB, program, note
    song.mgr.AddOutEvnt(trk, blk, before[0]);
    song.mgr.AddOutEvnt(trk, blk, before[2]);
    ASSERT_EQ(song.mgr.CreateMpLock(1), S_OK);
    EXPECT_EQ(song.mgr.DeleteOutEvnt(song.Host()), 0);
    EXPECT_EQ(song.mgr.DeleteMpLock(), S_OK);
    EXPECT_EQ(song.Events(trk, blk), (std::vector<POSITION>{before[1], before[3]}));
    song.mgr.ClearOutEvntList();
    EXPECT_EQ(song.mgr.GetOutEvntList(), nullptr);
}

TEST(ArticEditorMgrEdits, IsOutTrkIDFindsTheLastBlockEntry) {
    CArticEditorMgr mgr;
    auto pos = [](uintptr_t n) { return reinterpret_cast<POSITION>(n); };
    mgr.AddOutEvnt(pos(1), pos(10), nullptr);
    mgr.AddOutEvnt(pos(1), pos(11), nullptr);
    mgr.AddOutEvnt(pos(1), pos(12), pos(100));  // an event entry does not count
    mgr.AddOutEvnt(pos(2), pos(20), nullptr);
    POSITION blk = nullptr;
    EXPECT_EQ(mgr.IsOutTrkID(pos(1), &blk), 1);
    EXPECT_EQ(blk, pos(11));
    EXPECT_EQ(mgr.IsOutTrkID(pos(3), &blk), 0);
}

TEST(ArticEditorMgrEdits, ChannelWrittenIntoSelectedBlocks) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kMgrVoiceSong), 1);
    const POSITION trk = song.TrackOfCh(2);
    const POSITION blk = song.Blocks(trk).at(0);
    {
        hosttest::ExclusiveLock lock(*song.Host());
        POSITION ids[MP_ID_COUNT] = {trk, blk, nullptr};
        tagMPEVENT cc = hosttest::ShortRecord(MPEVENT_KIND_CONTROL, 10, 7, 90);
        cc.Channel = 5;
        ASSERT_GE(song.Host()->Insert(ids, MP_LEVEL_EVENT, &cc), 0);
    }
    PosList sel;
    sel.Add(trk, blk);
    song.mgr.SetSelectBlkPosList(&sel.list);
    ASSERT_EQ(song.mgr.CreateMpLock(1), S_OK);
    EXPECT_EQ(song.mgr.SetEvntChBlkSel(), 0);
    EXPECT_EQ(song.mgr.DeleteMpLock(), S_OK);
    int count = 0;
    CArticHostWalk::Events(song.Host(), trk, blk, [&](const tagMPEVENT& e, POSITION) {
        EXPECT_EQ(e.Channel, 2) << e.Kind;
        ++count;
        return true;
    });
    EXPECT_EQ(count, 5);
}

TEST(ArticEditorMgrEdits, SelectedEventsTakeTheChannelAndCanBeRemoved) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kMgrVoiceSong), 1);
    const POSITION trk = song.TrackOfCh(2);
    const POSITION blk = song.Blocks(trk).at(0);
    POSITION odd = nullptr;
    {
        hosttest::ExclusiveLock lock(*song.Host());
        POSITION ids[MP_ID_COUNT] = {trk, blk, nullptr};
        tagMPEVENT cc = hosttest::ShortRecord(MPEVENT_KIND_CONTROL, 10, 7, 90);
        cc.Channel = 5;
        ASSERT_GE(song.Host()->Insert(ids, MP_LEVEL_EVENT, &cc), 0);
        odd = ids[MP_ID_EVENT];
    }
    const std::vector<POSITION> events = song.Events(trk, blk);
    ASSERT_EQ(events.size(), 5u);
    PosList sel;
    sel.Add(trk, blk, odd);
    sel.Add(trk, blk, events[0]);
    EXPECT_EQ(song.mgr.SetSelectEvntPosList(song.Host(), &sel.list), 0);
    ASSERT_EQ(song.mgr.CreateMpLock(1), S_OK);
    EXPECT_EQ(song.mgr.SetEvntChEvntSel(), 0);
    EXPECT_EQ(song.mgr.DeleteMpLock(), S_OK);
    // The selection follows the rewritten event.
    const POSITION rewritten = song.mgr.GetSelectList().GetHead()->GetEvnt();
    tagMPEVENT e{};
    ASSERT_EQ(CArticHostWalk::GetEvnt(song.Host(), trk, blk, rewritten, &e), 0);
    EXPECT_EQ(e.Channel, 2);
    EXPECT_EQ(e.Data1, 7);

    EXPECT_EQ(song.mgr.DeleteSelectEvent(), 1);  // no exclusive lock
    ASSERT_EQ(song.mgr.CreateMpLock(1), S_OK);
    EXPECT_EQ(song.mgr.DeleteSelectEvent(), 0);
    EXPECT_EQ(song.mgr.DeleteMpLock(), S_OK);
    EXPECT_TRUE(song.mgr.GetSelectList().IsEmpty());
    EXPECT_EQ(song.Events(trk, blk).size(), 3u);
}

TEST(ArticEditorMgrVoice, SearchVceSetMarksEventsBeforeTheFirstNote) {
    CArticWrk wrk;
    CArticWrkTrk* trk = wrktest::AddTrack(wrk, 1);
    CArticWrkBlk* a = wrktest::AddBlock(trk, 0);
    CArticWrkEvnt* a0 = wrktest::AddCc(a, 1, 0, 0, 8);
    CArticWrkEvnt* a1 = wrktest::AddCc(a, 2, 50, 32, 1);
    CArticWrkEvnt* a2 = wrktest::AddNote(a, 3, 100, 60);
    CArticWrkEvnt* a3 = wrktest::AddCc(a, 4, 200, 7, 100);
    CArticWrkBlk* b = wrktest::AddBlock(trk, 1);
    CArticWrkEvnt* b0 = wrktest::AddCc(b, 5, 0, 7, 90);
    CArticWrkEvnt* b1 = wrktest::AddCc(b, 6, 301, 7, 80);  // after the first note-on time
    CArticWrkEvnt* b2 = wrktest::AddCc(b, 7, 310, 10, 64);
    CArticWrkEvnt* b3 = wrktest::AddNote(b, 8, 600, 62);

    CArticEditorMgr mgr;
    mgr.SetFirstNoteOnTime(300);
    EXPECT_EQ(mgr.SearchVceSet(&wrk), 0);
    const std::vector<std::pair<CArticWrkEvnt*, LONG>> kWant = {
        {a0, 1}, {a1, 1}, {a2, 0}, {a3, 0}, {b0, 1}, {b1, 0}, {b2, 0}, {b3, 0}};
    for (size_t i = 0; i < kWant.size(); ++i) EXPECT_EQ(kWant[i].first->GetVceSet(), kWant[i].second) << i;
    EXPECT_EQ(mgr.SearchVceSet(nullptr), 1);
}

}  // namespace
