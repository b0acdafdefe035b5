// The archive forms of the song classes, the plug-in list and the port maps:
// what is written reads back into a fresh object as the same object, and an
// archive that ends early or claims more than it holds fails and leaves the
// object it was read into as it was.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "DocFixtures.h"
#include "host/MidiPort.h"
#include "host/PluginManager.h"
#include "platform/Archive.h"

namespace {

using namespace doctest;
using Bytes = std::vector<BYTE>;

template <class T>
Bytes Stored(T& object) {
    CArchive out;
    object.Serialize(out);
    EXPECT_FALSE(out.IsFailed());
    return out.GetBuffer();
}

template <class T>
bool LoadInto(T& object, const Bytes& bytes) {
    CArchive in(bytes.data(), bytes.size());
    object.Serialize(in);
    return !in.IsFailed() && in.Left() == 0;
}

// Every archive cut short of its end fails, and the object read into keeps
// what it held (it stores the same bytes as before).
template <class T>
void ExpectCutArchivesFail(T& source, T& target) {
    const Bytes full = Stored(source);
    const Bytes before = Stored(target);
    ASSERT_NE(full, before);
    for (size_t n = 0; n < full.size(); ++n) {
        CArchive in(full.data(), n);
        target.Serialize(in);
        EXPECT_TRUE(in.IsFailed()) << n << " of " << full.size();
        EXPECT_TRUE(Stored(target) == before) << n << " of " << full.size();
    }
}

void PutDWORDAt(Bytes& bytes, size_t at, DWORD value) {
    for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = BYTE(value >> (8 * i));
}

SongEventInfo WithExtras(SongEventInfo info) {
    info.Extra0 = 7;
    info.Extra5 = -3;
    return info;
}

CSongEvent* NewExtended(const SongEventInfo& info) {
    auto* event = new CSongEvent();
    EXPECT_EQ(event->SetInfo(WithExtras(info), 1), 1);
    return event;
}

// A block with a note, an exclusive, a clip and its further attributes.
CBlock* NewRichBlock() {
    CBlock* block = new CBlock();
    BlockInfo info;
    info.Start = 3840;
    info.End = INT64(1) << 40;
    info.StateFlag = 1;
    info.Name = "Verse";
    info.Color = 0x123456;
    block->SetInfo(info, 1);
    block->InsertEvent(NewExtended(ShortInfo(MPEVENT_KIND_NOTE, 10, 60, 100, 480)));
    EventRecord sysex(MPEVENT_KIND_SYSEX, 20, {0x43, 0x10, 0xF7});
    block->InsertEvent(NewExtended(sysex));
    char16_t name[] = u"Clip\u3042";
    SongClipData clip{name, 5000000, 15000000};
    SongEventInfo clipInfo;
    clipInfo.Kind = MPEVENT_KIND_CLIP;
    clipInfo.Time = 30;
    clipInfo.Bytes = reinterpret_cast<BYTE*>(&clip);
    clipInfo.Length = SONG_CLIP_DATA_SIZE;
    block->InsertEvent(NewExtended(clipInfo));
    return block;
}

}  // namespace

TEST(SongArchive, EventsOfEveryFormReadBackEqual) {
    EventRecord meta(MPEVENT_KIND_META, 960, {0x51, 0x07, 0xA1, 0x20});
    EventRecord empty(MPEVENT_KIND_SYSEX_CONT, 0, {});
    char16_t name[] = u"Take 1";
    SongClipData clip{name, -1, INT64(1) << 50};
    SongEventInfo clipInfo;
    clipInfo.Kind = MPEVENT_KIND_CLIP;
    clipInfo.Bytes = reinterpret_cast<BYTE*>(&clip);
    clipInfo.Length = SONG_CLIP_DATA_SIZE;
    const SongEventInfo cases[] = {
        ShortInfo(MPEVENT_KIND_NOTE, INT64(1) << 33, 60, 100, 480), ShortInfo(MPEVENT_KIND_NRPN, 5, 1, 2),
        ShortInfo(MPEVENT_KIND_NONE, 0), meta, empty, clipInfo,
    };
    for (const SongEventInfo& c : cases) {
        CSongEvent source;
        ASSERT_EQ(source.SetInfo(WithExtras(c), 1), 1);
        CSongEvent back;
        ASSERT_TRUE(LoadInto(back, Stored(source))) << c.Kind;
        const SongEventInfo& a = source.GetInfo();
        const SongEventInfo& b = back.GetInfo();
        EXPECT_EQ(b.Time, a.Time);
        EXPECT_EQ(b.Kind, a.Kind);
        EXPECT_EQ(b.Duration, a.Duration);
        EXPECT_EQ(b.Data1, a.Data1);
        EXPECT_EQ(b.Extra0, 7);
        EXPECT_EQ(b.Extra5, -3);
        EXPECT_EQ(b.Length, a.Length);
        if (const SongClipData* got = back.GetClip()) {
            EXPECT_EQ(std::u16string(got->Name), u"Take 1");
            EXPECT_NE(got->Name, name);  // the event's own copy
            EXPECT_EQ(got->ClipStart, -1);
            EXPECT_EQ(got->ClipEnd, INT64(1) << 50);
        } else if (a.Length) {
            EXPECT_EQ(std::memcmp(b.Bytes, a.Bytes, a.Length), 0);
            EXPECT_NE(b.Bytes, a.Bytes);
        }
        EXPECT_TRUE(Stored(back) == Stored(source));
    }
}

TEST(SongArchive, BlocksAndTracksReadBackEqual) {
    std::unique_ptr<CBlock> block(NewRichBlock());
    CBlock blockBack;
    ASSERT_TRUE(LoadInto(blockBack, Stored(*block)));
    EXPECT_EQ(blockBack.GetInfo().Name, "Verse");
    EXPECT_EQ(blockBack.GetInfo().End, INT64(1) << 40);
    EXPECT_EQ(blockBack.GetInfo().Color, 0x123456u);
    EXPECT_EQ(TimesOf(blockBack), (std::vector<INT64>{10, 20, 30}));
    EXPECT_TRUE(Stored(blockBack) == Stored(*block));

    CTrack track;
    TrackInfo info;
    info.Port = 3;
    info.Channel = 9;
    info.Transpose = -12;
    info.StateFlag2 = 1;
    info.Number = 4;
    info.Name = "Drums";
    info.Transposable = 0;
    info.Ext.SubText = "sub";
    info.Ext.SubId[15] = 0xAB;
    info.Ext.Ext64 = -5;
    track.SetInfo(info, 1);
    track.AddBlock(block.release());
    track.AddBlock(NewRichBlock());
    CTrack trackBack;
    ASSERT_TRUE(LoadInto(trackBack, Stored(track)));
    const TrackInfo& got = trackBack.GetInfo();
    EXPECT_EQ(got.Channel, 9);
    EXPECT_EQ(got.Transpose, -12);
    EXPECT_EQ(got.Name, "Drums");
    EXPECT_EQ(got.Transposable, 0);
    EXPECT_EQ(got.Ext.SubText, "sub");
    EXPECT_EQ(got.Ext.SubId[15], 0xAB);
    EXPECT_EQ(got.Ext.Ext64, -5);
    EXPECT_EQ(trackBack.GetBlockCount(), 2);
    EXPECT_TRUE(Stored(trackBack) == Stored(track));
}

TEST(SongArchive, ALinkBlockNamesItsBlockByIndexAndIsShownAgainWhenInstalled) {
    CPhrasorDoc doc;
    CTrack* one = NewTrack(0);
    AddBlock(one, 0, 960);
    AddBlock(one, 960, 1920)->InsertEvent(NewNote(0, 64, 240));
    CTrack* two = NewTrack(1);
    CBlock* link = AddBlock(two, 3840, 4800, BLOCK_KIND_LINK);
    BlockInfo linkInfo = link->GetInfo();
    linkInfo.RefTrack = reinterpret_cast<POSITION>(uintptr_t(1));
    linkInfo.RefBlock = one->GetBlockList().GetTailPosition();
    link->SetInfo(linkInfo, 1);
    Install(doc, {NewConductor(), one, two});

    std::vector<Bytes> archives;
    for (POSITION t = doc.GetTrackList().GetHeadPosition(); t;) archives.push_back(Stored(*doc.GetTrackList().GetNext(t)));
    std::vector<CTrack*> tracks;
    for (const Bytes& bytes : archives) {
        tracks.push_back(new CTrack());
        ASSERT_TRUE(LoadInto(*tracks.back(), bytes));
    }
    CPhrasorDoc again;
    Install(again, tracks);
    const BlockInfo& shown = BlockOf(again, 2, 0)->GetInfo();
    EXPECT_EQ(shown.RefTrack, TrackPos(again, 1));
    EXPECT_EQ(shown.RefBlock, BlockPos(again, 1, 1));
}

TEST(SongArchive, PluginListsAndPortMapsReadBackEqual) {
    CPluginManager manager;
    for (int i = 0; i < 2; ++i) {
        auto* table = new CPluginTable();
        table->m_Text1 = "Plug";
        table->m_Text3 = std::to_string(i).c_str();
        table->m_Words[8] = i + 40;
        table->m_Flags = CPluginTable::FLAG_OWNED_BY_WINDOW;
        ASSERT_NE(manager.GetPluginList().AddTail(table), nullptr);
    }
    CPluginManager managerBack;
    ASSERT_TRUE(LoadInto(managerBack, Stored(manager)));
    ASSERT_EQ(managerBack.GetPluginList().GetCount(), 2);
    const auto* second = static_cast<const CPluginTable*>(managerBack.GetPluginList().GetList().GetTail());
    EXPECT_EQ(second->m_Text3, "1");
    EXPECT_EQ(second->m_Words[0], 2);
    EXPECT_EQ(second->m_Words[8], 41);
    EXPECT_TRUE(Stored(managerBack) == Stored(manager));

    MidiPortInfo port;
    port.PortKind = 2;
    port.PortName = "Out A";
    port.Setting1 = 5;
    port.Enabled1 = port.Enabled2 = 1;
    const BYTE id[16] = {0x21, 0x43, 0x65, 0x87, 0xA9, 0xCB, 0xED, 0x0F, 1, 2, 3, 4, 5, 6, 7, 8};
    std::memcpy(port.PortId, id, 16);
    port.Channels[3][0] = 9;
    CMidiPortMap map;
    ASSERT_TRUE(map.SetPort(1, port));
    port.PortKind = 1;  // a plain port keeps no enable words
    ASSERT_TRUE(map.SetPort(7, port));
    const Bytes stored = Stored(map);
    // The identifier goes out as its registry text.
    const std::string text(stored.begin(), stored.end());
    EXPECT_NE(text.find("{87654321-CBA9-0FED-0102-030405060708}"), std::string::npos);
    CMidiPortMap mapBack;
    ASSERT_TRUE(LoadInto(mapBack, stored));
    MidiPortInfo got;
    ASSERT_TRUE(mapBack.Lookup(1, &got));
    EXPECT_EQ(got.PortName, "Out A");
    EXPECT_EQ(got.Setting1, 5);
    EXPECT_EQ(got.Enabled2, 1);
    EXPECT_EQ(std::memcmp(got.PortId, id, 16), 0);
    EXPECT_EQ(got.Channels[3][0], 0);  // the channel records are not archived
    ASSERT_TRUE(mapBack.Lookup(7, &got));
    EXPECT_EQ(got.Enabled1, 0);
    EXPECT_TRUE(Stored(mapBack) == stored);
}

TEST(SongArchive, AnIdentifierThatIsNoRegistryTextComesBackAsZero) {
    CArchive out;
    out.WriteByte(2);
    out.WriteString("name");
    for (int i = 0; i < 4; ++i) out.WriteDWORD(1);
    out.WriteString("{87654321-CBA9-0FED-0102-03040506070}");  // one digit short
    CMidiPort port;
    ASSERT_TRUE(LoadInto(port, out.GetBuffer()));
    const BYTE zero[16] = {};
    EXPECT_EQ(std::memcmp(port.GetInfo().PortId, zero, 16), 0);
    EXPECT_EQ(port.GetInfo().PortName, "name");
}

TEST(SongArchive, CutArchivesFailAndLeaveTheObjectAsItWas) {
    {
        CSongEvent source, target;
        EventRecord meta(MPEVENT_KIND_META, 9, {0x01, 'a', 'b'});
        ASSERT_EQ(source.SetInfo(meta, 1), 1);
        ASSERT_EQ(target.SetInfo(ShortInfo(MPEVENT_KIND_CONTROL, 4, 7, 100), 1), 1);
        ExpectCutArchivesFail(source, target);
    }
    {
        std::unique_ptr<CBlock> source(NewRichBlock());
        CBlock target;
        target.InsertEvent(NewNote(0, 1, 1));
        ExpectCutArchivesFail(*source, target);
    }
    {
        CTrack source, target;
        source.AddBlock(NewRichBlock());
        AddBlock(&target, 0, 1)->InsertEvent(NewNote(0, 2, 2));
        ExpectCutArchivesFail(source, target);
    }
    {
        CPluginManager source, target;
        source.GetPluginList().AddTail(new CPluginTable());
        ExpectCutArchivesFail(source, target);
    }
    {
        CMidiPortMap source, target;
        MidiPortInfo port;
        port.PortName = "A";
        source.SetPort(2, port);
        target.SetPort(5, port);
        ExpectCutArchivesFail(source, target);
    }
}

TEST(SongArchive, CountsBeyondTheArchiveFailWithoutGrowing) {
    // A block whose event count claims four thousand million events.
    std::unique_ptr<CBlock> block(NewRichBlock());
    Bytes bytes = Stored(*block);
    const size_t countAt = 4 + 8 + 8 + 4 + 4 + 4 + (4 + 5) + 4;  // after the record and its name "Verse"
    ASSERT_EQ(bytes[countAt], 3);  // the three events
    PutDWORDAt(bytes, countAt, 0xFFFFFFFF);
    CBlock target;
    EXPECT_FALSE(LoadInto(target, bytes));
    EXPECT_EQ(target.GetEventCount(), 0);

    // A text longer than the archive, and a port numbered beyond 16 bits.
    CArchive text;
    text.WriteDWORD(1);
    text.WriteDWORD(0x7FFFFFF0);
    CPluginManager manager;
    EXPECT_FALSE(LoadInto(manager, text.GetBuffer()));
    CArchive ports;
    ports.WriteDWORD(1);
    ports.WriteDWORD(0x10000);
    CMidiPort port;
    port.Serialize(ports);
    CMidiPortMap map;
    EXPECT_FALSE(LoadInto(map, ports.GetBuffer()));
    EXPECT_EQ(map.GetCount(), 0);
}
