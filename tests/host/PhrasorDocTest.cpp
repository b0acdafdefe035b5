#include <gtest/gtest.h>

#include "DocFixtures.h"
#include "host/PhrasorApp.h"
#include "platform/Messages.h"

using namespace doctest;

namespace {

// ------------------------------------------------------------ construction and the default song

TEST(PhrasorDoc, NewDocumentHoldsTheDefaultSong) {
    std::unique_ptr<CPhrasorDoc> doc(CPhrasorDoc::CreateObject());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetInitFailed(), 0);
    EXPECT_EQ(doc->GetFileKind(), FILE_KIND_NONE);
    EXPECT_EQ(doc->GetUndoDepth(), 0);
    EXPECT_EQ(doc->GetUndoIndex(), -1);
    EXPECT_EQ(doc->GetUndoList().GetCount(), 0);
    EXPECT_STREQ(doc->GetRuntimeClass()->m_lpszClassName, "CPhrasorDoc");

    // Conductor, eight clip tracks for channels 0..7, sixteen MIDI tracks for channels 0..15.
    ASSERT_EQ(doc->GetTrackList().GetCount(), 25);
    const TrackInfo& conductor = TrackOf(*doc, 0)->GetInfo();
    EXPECT_EQ(conductor.Kind, TRACK_KIND_MIDI);
    EXPECT_EQ(conductor.Number, 0);
    for (int i = 1; i <= 8; ++i) {
        const TrackInfo& info = TrackOf(*doc, i)->GetInfo();
        EXPECT_EQ(info.Kind, TRACK_KIND_CLIP) << i;
        EXPECT_EQ(info.Channel, i - 1) << i;
        EXPECT_EQ(info.Number, i) << i;
        EXPECT_EQ(TrackOf(*doc, i)->GetBlockCount(), 0) << i;
    }
    for (int i = 9; i <= 24; ++i) {
        const TrackInfo& info = TrackOf(*doc, i)->GetInfo();
        EXPECT_EQ(info.Kind, TRACK_KIND_MIDI) << i;
        EXPECT_EQ(info.Channel, i - 9) << i;
        EXPECT_EQ(info.Number, i) << i;
        EXPECT_EQ(info.Port, 0) << i;  // no output port to take
        EXPECT_EQ(info.Transposable, info.Channel == 9 ? 0 : 1) << i;
        EXPECT_EQ(TrackOf(*doc, i)->GetDoc(), doc.get()) << i;
    }

    // The conductor block: 58 04 02 18 08 and 51 07 A1 20 at time 0.
    ASSERT_EQ(TrackOf(*doc, 0)->GetBlockCount(), 1);
    const std::vector<CSongEvent*> events = EventsOf(*BlockOf(*doc, 0, 0));
    ASSERT_EQ(events.size(), 2u);
    const BYTE meter[] = {0x58, 0x04, 0x02, 0x18, 0x08};
    const BYTE tempo[] = {0x51, 0x07, 0xA1, 0x20};
    ASSERT_EQ(events[0]->GetInfo().Length, 5u);
    EXPECT_TRUE(std::equal(meter, meter + 5, events[0]->GetInfo().Bytes));
    ASSERT_EQ(events[1]->GetInfo().Length, 4u);
    EXPECT_TRUE(std::equal(tempo, tempo + 4, events[1]->GetInfo().Bytes));
    EXPECT_EQ(events[0]->GetTime(), 0);
    EXPECT_EQ(events[1]->GetTime(), 0);

    // The maps follow the default song.
    MeterInfo m;
    ASSERT_EQ(doc->GetMeterMap().GetCount(), 1);
    ASSERT_EQ(doc->GetMeterMap().MeterAt(0, &m), 1);
    EXPECT_EQ(m.TicksPerBar, 3840);
    TempoInfo t;
    ASSERT_EQ(doc->GetTempoMap().GetCount(), 1);
    ASSERT_EQ(doc->GetTempoMap().TempoAt(0, &t), 1);
    EXPECT_EQ(t.Tempo, 500000);
}

TEST(PhrasorDoc, SettingsStartAtTheirDefaults) {
    CPhrasorDoc doc;
    EXPECT_EQ(doc.GetBlockNameCounter(), 1);
    EXPECT_EQ(doc.GetCurrentTrack(), nullptr);
    EXPECT_EQ(doc.GetProtectMode(), 0);
    EXPECT_EQ(doc.GetTempoLocked(), 0);
    EXPECT_EQ(doc.GetTempoMode(), 0);
    EXPECT_EQ(doc.GetFixedTempo(), 500000);
    EXPECT_EQ(doc.GetTempoFactor(), 1.0f);
    EXPECT_EQ(doc.GetModified(), 0);
    EXPECT_EQ(doc.GetPlaybackSettings().MetronomeHigh, "MetroH");
    EXPECT_EQ(doc.GetPlaybackSettings().MetronomeLow, "MetroL");
    // The effective-tempo rule: scaled, fixed or as it is, always clamped.
    EXPECT_EQ(doc.EffectiveTempo(100000), 200000);
    doc.SetTempoSettings(TEMPO_MODE_SCALED, 500000, 2.0f);
    EXPECT_EQ(doc.EffectiveTempo(400000), 800000);
    doc.SetTempoSettings(TEMPO_MODE_FIXED, 300000, 1.0f);
    EXPECT_EQ(doc.EffectiveTempo(400000), 300000);
}

TEST(PhrasorDoc, PortMapsAreCopiedFromTheApplication) {
    // Without the application running there is nothing to copy: the copies are empty and that is no failure.
    {
        CPhrasorDoc doc;
        EXPECT_EQ(doc.GetInitFailed(), 0);
        ASSERT_NE(doc.GetOutputPortMap(), nullptr);
        EXPECT_EQ(doc.GetOutputPortMap()->GetCount(), 0);
        EXPECT_EQ(doc.GetOutputPortIndex().GetCount(), 0);
        EXPECT_EQ(doc.GetInputPortIndex().GetCount(), 0);
    }
    CPhrasorApp& app = GetPhrasorApp();
    ASSERT_EQ(app.Start(), 1);
    MidiPortInfo usable;
    usable.PortKind = 1;
    usable.Enabled1 = usable.Enabled2 = 1;
    MidiPortInfo off = usable;
    off.Enabled2 = 0;
    MidiPortInfo other = usable;
    other.PortKind = 2;
    ASSERT_TRUE(app.GetOutputPortMap()->SetPort(1, off));
    ASSERT_TRUE(app.GetOutputPortMap()->SetPort(2, usable));
    ASSERT_TRUE(app.GetOutputPortMap()->SetPort(3, other));
    ASSERT_TRUE(app.GetInputPortMap()->SetPort(5, usable));
    {
        CPhrasorDoc doc;
        EXPECT_EQ(doc.GetInitFailed(), 0);
        EXPECT_EQ(doc.GetOutputPortMap()->GetCount(), 3);
        EXPECT_EQ(doc.GetInputPortMap()->GetCount(), 1);
        // Only plain ports that are switched on are indexed.
        EXPECT_EQ(doc.GetOutputPortIndex().GetCount(), 1);
        const CMidiPort* port = nullptr;
        ASSERT_TRUE(doc.GetInputPortIndex().Lookup(5, port));
        EXPECT_EQ(port->GetInfo().Enabled1, 1);
        // The MIDI tracks of the default song take the first usable port of kind 1.
        EXPECT_EQ(TrackOf(doc, 9)->GetInfo().Port, 2);
    }
    app.Stop();
}

// ------------------------------------------------------------ selections

TEST(PhrasorDocSelection, SelectChannelTrackSelectsExactlyThatChannelsBlocks) {
    CPhrasorDoc doc;
    InstallChannelSong(doc);
    // The channel-10 track (index 10: conductor first, then channels 0..15) also shows another block.
    CTrack* drums = TrackOf(doc, 10);
    ASSERT_EQ(drums->GetInfo().Channel, 9);
    {
        Step step(doc);
        BlockInfo link;
        link.Kind = BLOCK_KIND_LINK;
        link.Start = 3840;
        link.End = 7680;
        link.RefTrack = TrackPos(doc, 1);
        link.RefBlock = BlockPos(doc, 1, 0);
        ASSERT_NE(doc.InsertBlock(TrackPos(doc, 10), link, 1, 0), nullptr);
    }
    ASSERT_EQ(drums->GetBlockCount(), 2);
    doc.SelectBlock(TrackPos(doc, 3), BlockPos(doc, 3, 0));  // an earlier selection

    EXPECT_EQ(doc.SelectChannelTrack(9), 1);
    EXPECT_EQ(doc.GetSelectedBlockCount(), 1);
    EXPECT_FALSE(doc.IsBlockSelected(BlockPos(doc, 3, 0)));
    const CPosObj* entry = doc.GetSelectedBlock(BlockPos(doc, 10, 0));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Track, TrackPos(doc, 10));
    EXPECT_EQ(entry->Event, nullptr);
    EXPECT_FALSE(doc.IsBlockSelected(BlockPos(doc, 10, 1)));  // the link block
}

TEST(PhrasorDocSelection, SelectChannelTrackWithoutTheChannelSelectsNothing) {
    CPhrasorDoc doc;
    InstallChannelSong(doc, {3});
    doc.SelectBlock(TrackPos(doc, 1), BlockPos(doc, 1, 0));
    EXPECT_EQ(doc.SelectChannelTrack(3), 0);
    EXPECT_EQ(doc.GetSelectedBlockCount(), 0);
    // Channel 0's track is the one after the conductor, which itself is never matched.
    EXPECT_EQ(doc.SelectChannelTrack(0), 1);
    EXPECT_TRUE(doc.IsBlockSelected(BlockPos(doc, 1, 0)));
    EXPECT_FALSE(doc.IsBlockSelected(BlockPos(doc, 0, 0)));
}

TEST(PhrasorDocSelection, EntriesAreReplacedRekeyedAndRewritten) {
    CPhrasorDoc doc;
    InstallChannelSong(doc);
    POSITION t1 = TrackPos(doc, 1), t2 = TrackPos(doc, 2), b1 = BlockPos(doc, 1, 0), b2 = BlockPos(doc, 2, 0);
    doc.SelectBlock(t1, b1);
    doc.SelectBlock(t2, b1);  // the same block again: one entry with the later positions
    EXPECT_EQ(doc.GetSelectedBlockCount(), 1);
    EXPECT_EQ(doc.GetSelectedBlock(b1)->Track, t2);

    EXPECT_EQ(doc.RekeyBlock(b2, t1, b1), 0);  // no entry under b2
    EXPECT_EQ(doc.RekeyBlock(b1, nullptr, b2), 1);
    EXPECT_FALSE(doc.IsBlockSelected(b1));
    ASSERT_TRUE(doc.IsBlockSelected(b2));
    EXPECT_EQ(doc.GetSelectedBlock(b2)->Track, t2);  // kept: no new track given
    EXPECT_EQ(doc.GetSelectedBlock(b2)->Block, b2);

    POSITION e1 = reinterpret_cast<POSITION>(0x10), e2 = reinterpret_cast<POSITION>(0x20);
    doc.SelectEvent(t1, b1, e1);
    EXPECT_EQ(doc.ReplaceBlockInEvents(b1, t2, b2), 1);
    EXPECT_EQ(doc.GetSelectedEvent(e1)->Block, b2);
    EXPECT_EQ(doc.ReplaceTrackInEvents(t2, t1), 1);
    EXPECT_EQ(doc.GetSelectedEvent(e1)->Track, t1);
    EXPECT_EQ(doc.ReplaceTrackInBlocks(t1, t2), 0);  // the block entry names t2
    EXPECT_EQ(doc.RekeyEvent(e1, e2), 1);
    EXPECT_EQ(doc.GetSelectedEvent(e2)->Event, e2);
    EXPECT_EQ(doc.UnselectEvent(e1), 0);
    EXPECT_EQ(doc.UnselectEvent(e2), 1);
    EXPECT_EQ(doc.ClearEventSelection(), 0);
    EXPECT_EQ(doc.ClearBlockSelection(), 1);
    EXPECT_EQ(doc.ClearBlockSelection(), 0);
}

TEST(PhrasorDocSelection, SelectByKindSelectsAndUnselectsByBlockKind) {
    CPhrasorDoc doc;
    InstallChannelSong(doc);
    {
        Step step(doc);
        BlockInfo link;
        link.Kind = BLOCK_KIND_LINK;
        link.Start = 3840;
        link.RefTrack = TrackPos(doc, 1);
        link.RefBlock = BlockPos(doc, 1, 0);
        ASSERT_NE(doc.InsertBlock(TrackPos(doc, 2), link, 1, 0), nullptr);
    }
    HintLog log(doc);
    EXPECT_EQ(doc.SelectByKind(-1), S_OK);
    EXPECT_EQ(doc.GetSelectedBlockCount(), 18);  // 17 plain blocks and the link block
    EXPECT_EQ(doc.SelectByKind(2), S_OK);
    EXPECT_EQ(doc.GetSelectedBlockCount(), 1);
    EXPECT_TRUE(doc.IsBlockSelected(BlockPos(doc, 2, 1)));

    POSITION pair[2] = {TrackPos(doc, 3), BlockPos(doc, 3, 0)};
    EXPECT_EQ(doc.SelectByKind(-1, pair), S_OK);
    EXPECT_TRUE(doc.IsBlockSelected(pair[1]));
    EXPECT_EQ(doc.SelectByKind(0, pair), S_OK);
    EXPECT_FALSE(doc.IsBlockSelected(pair[1]));
    POSITION broken[2] = {TrackPos(doc, 3), nullptr};
    EXPECT_EQ(doc.SelectByKind(-1, broken), E_INVALIDARG);

    ASSERT_EQ(log.hints.size(), 4u);  // the refused call tells nobody
    EXPECT_EQ(log.hints[0].Guid, MakeSongHintGuid(0x9DD48DEE));
    EXPECT_EQ(log.hints[0].Mask, -1);
    EXPECT_EQ(log.hints[0].Level, 2);
    EXPECT_EQ(log.hints[2].Block, pair[1]);
    // The hint is delivered and then forgotten.
    EXPECT_EQ(doc.GetLastHint().Guid, GUID_NULL);
}

TEST(PhrasorDocLists, OwningListsDeleteWhatTheyHoldAndSortEventsByTime) {
    CEventSortList events;
    CSongEvent* a = NewNote(10, 60, 1);
    CSongEvent* b = NewNote(5, 61, 1);
    CSongEvent* c = NewNote(10, 62, 1);
    for (CSongEvent* e : {a, b, c}) ASSERT_NE(events.InsertSorted(e), nullptr);
    std::vector<CSongEvent*> order;
    for (POSITION pos = events.GetHeadPosition(); pos;) order.push_back(events.GetNext(pos));
    EXPECT_EQ(order, (std::vector<CSongEvent*>{b, a, c}));
    EXPECT_EQ(events.InsertSorted(nullptr), nullptr);

    CTempList objects;
    objects.AddTail(new CPosObj(nullptr, nullptr, nullptr));
    objects.AddTail(CPosObj::CreateObject());
    EXPECT_EQ(objects.GetCount(), 2);
    EXPECT_STREQ(objects.GetHead()->GetClassNameA(), "CPosObj");
    // Both lists delete their objects when they go (the sanitizer build checks for leaks).
}

// ------------------------------------------------------------ messages

struct SinkLog {
    SinkLog() {
        SetMessageSink([this](const CString& text, const CString& caption, UINT style) {
            ++shown;
            lastStyle = style;
            return answer;
        });
    }
    ~SinkLog() { SetMessageSink(nullptr); }
    int shown = 0;
    UINT lastStyle = 0xFFFF;
    int answer = IDYES;
};

TEST(PhrasorDocMessages, ReportMessageShowsAndCollects) {
    SinkLog sink;
    CPhrasorDoc doc;
    // Not collecting: shown through the message sink, the answer returned, nothing logged.
    EXPECT_EQ(doc.ReportMessage(100, MB_ICONERROR, 0), IDYES);
    EXPECT_EQ(sink.shown, 1);
    EXPECT_EQ(sink.lastStyle, UINT(MB_OK));
    EXPECT_EQ(doc.GetMessageLog().GetCount(), 0);
    EXPECT_EQ(doc.GetMessageRecorded(), 0);

    struct Case { UINT style; const char* line; bool shown; };
    const Case cases[] = {
        {MB_ICONERROR, "    Error : ", true},
        {MB_ICONQUESTION, "    Warning : ", false},
        {MB_ICONEXCLAMATION, "    Warning : ", false},
        {MB_ICONINFORMATION, "    Warning : ", false},
        {MB_OK, "     : ", true},
        {MB_YESNO | MB_ICONERROR, "     : ", true},  // the kind is read from the whole low byte
    };
    doc.SetCollectMessages(1, 1);
    for (const Case& c : cases) {
        const int before = sink.shown;
        const int result = doc.ReportMessage(200, c.style, 0);
        EXPECT_EQ(sink.shown - before, c.shown ? 1 : 0) << c.style;
        EXPECT_EQ(result, c.shown ? IDYES : 0) << c.style;
        EXPECT_EQ(doc.GetMessageLog().GetTail(), c.line) << c.style;
    }
    EXPECT_EQ(doc.GetMessageRecorded(), 1);
    EXPECT_EQ(doc.GetMessageLog().GetCount(), 6);

    // Collecting without the warnings-only switch still shows warnings.
    doc.SetCollectMessages(1, 0);
    const int before = sink.shown;
    EXPECT_EQ(doc.ReportMessage(200, MB_ICONEXCLAMATION, 0), IDYES);
    EXPECT_EQ(sink.shown - before, 1);
}

TEST(PhrasorDocMessages, TitleIsNumberedWithinABatchWhileCollecting) {
    CPhrasorDoc doc;
    doc.SetPathName("C:\\songs\\Song.mid");
    EXPECT_EQ(doc.GetTitle(), "Song.mid");
    EXPECT_EQ(doc.GetPathName(), "C:\\songs\\Song.mid");
    doc.SetCollectMessages(1, 0);
    doc.SetBatch(2, 7);
    doc.SetPathName("/data/Tune.mid");
    EXPECT_EQ(doc.GetTitle(), "Tune.mid  (3/7)");
}

// ------------------------------------------------------------ replacing the song

TEST(PhrasorDocSong, ReplaceSongInstallsBindsAndLinksTheTracks) {
    CPhrasorDoc doc;
    CTrack* conductor = NewConductor();
    CTrack* first = NewTrack(0);
    CBlock* shown = AddBlock(first, 0, 3840);
    shown->InsertEvent(NewNote(0, 60, 480));
    CTrack* second = NewTrack(1);
    CBlock* link = AddBlock(second, 3840, 7680, BLOCK_KIND_LINK);
    BlockInfo info = link->GetInfo();
    info.RefTrack = reinterpret_cast<POSITION>(uintptr_t(1));  // the reader names the track by its index
    info.RefBlock = first->GetBlockList().GetHeadPosition();
    link->SetInfo(info, 1);
    // Two tempo events at one time: only the last stays.
    conductor->GetBlockList().GetHead()->InsertEvent(NewTempo(1920, 400000));
    conductor->GetBlockList().GetHead()->InsertEvent(NewTempo(1920, 300000));

    CTrackArray tracks;
    tracks.Add(conductor);
    tracks.Add(first);
    tracks.Add(second);
    ASSERT_EQ(doc.ReplaceSong(tracks), 1);
    EXPECT_EQ(tracks.GetAt(0), nullptr);  // taken out of the array
    EXPECT_EQ(tracks.GetAt(2), nullptr);

    ASSERT_EQ(doc.GetTrackList().GetCount(), 3);
    EXPECT_EQ(TrackOf(doc, 1), first);
    EXPECT_EQ(first->GetDoc(), &doc);
    EXPECT_EQ(shown->GetDoc(), &doc);
    EXPECT_EQ(link->GetDoc(), &doc);
    EXPECT_EQ(second->GetInfo().Number, 2);
    EXPECT_EQ(link->GetInfo().RefTrack, TrackPos(doc, 1));

    // The link block reads as the block it shows, at its own place.
    SongEventInfo read;
    POSITION pos = doc.FirstEventPosition(TrackPos(doc, 2), BlockPos(doc, 2, 0));
    ASSERT_EQ(pos, shown->GetEventList().GetHeadPosition());
    ASSERT_TRUE(doc.ReadNextEvent(TrackPos(doc, 2), BlockPos(doc, 2, 0), &pos, &read, 1));
    EXPECT_EQ(read.Time, 3840);
    EXPECT_EQ(read.Data1, 60);
    EXPECT_EQ(pos, nullptr);

    const CBlock* block = BlockOf(doc, 0, 0);
    ASSERT_EQ(CountIf(*block, IsTempoEvent), 2);
    EXPECT_EQ(TempoOfEvent(EventsOf(*block).back()->GetInfo()), 300000);
    // No undo step was needed, and none was recorded.
    EXPECT_EQ(doc.GetUndoList().GetCount(), 0);
    EXPECT_EQ(doc.GetRemovedEvents().GetCount(), 0);
    // The maps follow the new song: 1920 ticks at 120 bpm are one second.
    EXPECT_EQ(doc.TicksToClock(1920), 10000000);
    EXPECT_EQ(doc.TicksToClock(1920 + 960), 10000000 + 3000000);
}

TEST(PhrasorDocSong, ReplaceSongClearsTheUndoHistoryOfTheOldSong) {
    CPhrasorDoc doc;
    InstallChannelSong(doc);
    {
        Step step(doc);
        POSITION t = TrackPos(doc, 1), b = BlockPos(doc, 1, 0);
        POSITION e = doc.InsertEvent(t, b, NoteInfo(0, 60, 100), 0, EDIT_SELECT_NEW);
        ASSERT_NE(e, nullptr);
        ASSERT_NE(doc.ReplaceEvent(t, b, e, NoteInfo(480, 62, 100), 0), nullptr);
        ASSERT_NE(doc.InsertBlock(TrackPos(doc, 2), BlockInfo(), 1, EDIT_SELECT_NEW), nullptr);
        ASSERT_EQ(doc.RemoveBlock(TrackPos(doc, 3), BlockPos(doc, 3, 0)), 1);
        ASSERT_EQ(doc.RemoveTrack(TrackPos(doc, 4)), 1);
    }
    ASSERT_EQ(doc.GetUndoList().GetCount(), 1);
    ASSERT_EQ(doc.GetRemovedBlocks().GetCount(), 1);
    ASSERT_EQ(doc.GetRemovedTracks().GetCount(), 1);

    InstallChannelSong(doc);
    // Nothing may keep naming list nodes of the song that is gone.
    EXPECT_EQ(doc.GetUndoList().GetCount(), 0);
    EXPECT_EQ(doc.GetUndoIndex(), -1);
    EXPECT_EQ(doc.GetRemovedTracks().GetCount(), 0);
    EXPECT_EQ(doc.GetRemovedBlocks().GetCount(), 0);
    EXPECT_EQ(doc.GetRemovedEvents().GetCount(), 0);
    EXPECT_EQ(doc.GetSelectedBlockCount(), 0);
    EXPECT_EQ(doc.GetSelectedEventCount(), 0);

    // The history starts again at the first record.
    {
        Step step(doc);
        ASSERT_NE(doc.InsertEvent(TrackPos(doc, 1), BlockPos(doc, 1, 0), NoteInfo(0, 60, 10), 0, 0), nullptr);
    }
    EXPECT_EQ(doc.GetUndoIndex(), 0);
    EXPECT_EQ(doc.GetUndoList().GetCount(), 1);
}

TEST(PhrasorDocSong, ReplaceSongTurnsAnUnknownTrackIndexIntoNoTrack) {
    CPhrasorDoc doc;
    CTrack* track = NewTrack(0);
    CBlock* link = AddBlock(track, 0, 960, BLOCK_KIND_LINK);
    BlockInfo info = link->GetInfo();
    info.RefTrack = reinterpret_cast<POSITION>(uintptr_t(40));
    info.RefBlock = reinterpret_cast<POSITION>(uintptr_t(0x1234));
    link->SetInfo(info, 1);
    Install(doc, {NewConductor(), track});
    EXPECT_EQ(link->GetInfo().RefTrack, nullptr);
    // Reading a link block whose shown block is missing fails instead of following the stray position.
    POSITION pos = doc.FirstEventPosition(TrackPos(doc, 1), BlockPos(doc, 1, 0));
    EXPECT_EQ(pos, nullptr);
    SongEventInfo read;
    POSITION stray = reinterpret_cast<POSITION>(uintptr_t(0x1234));
    EXPECT_FALSE(doc.ReadNextEvent(TrackPos(doc, 1), BlockPos(doc, 1, 0), &stray, &read, 0));
}

}  // namespace
