#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "host/PhrasorApp.h"
#include "platform/Paths.h"

namespace {

TEST(PhrasorApp, StartMakesEmptyContainersOnce) {
    CPhrasorApp app;
    EXPECT_EQ(app.GetInputPortMap(), nullptr);
    ASSERT_EQ(app.Start(), 1);
    EXPECT_TRUE(app.IsRunning());
    EXPECT_EQ(app.GetProgramFolder(), GetProgramFolder());
    ASSERT_NE(app.GetInputPortMap(), nullptr);
    ASSERT_NE(app.GetOutputPortMap(), nullptr);
    EXPECT_EQ(app.GetInputPortMap()->GetCount(), 0);
    EXPECT_EQ(app.GetOutputPortMap()->GetCount(), 0);
    ASSERT_NE(app.GetToneMap(), nullptr);
    EXPECT_EQ(app.GetToneMap()->GetName(), "Tone Map");
    EXPECT_TRUE(app.GetToneMap()->GetEntries().IsEmpty());
    ASSERT_NE(app.GetPluginEnumrater(), nullptr);
    EXPECT_EQ(app.GetPluginEnumrater()->GetCount(), 0);

    // A second start keeps what the first made.
    CMidiPortMap* output = app.GetOutputPortMap();
    output->SetPort(1, MidiPortInfo());
    EXPECT_EQ(app.Start(), 1);
    EXPECT_EQ(app.GetOutputPortMap(), output);
    EXPECT_EQ(app.GetOutputPortMap()->GetCount(), 1);

    EXPECT_EQ(app.Stop(), 0);
    EXPECT_FALSE(app.IsRunning());
    EXPECT_EQ(app.GetOutputPortMap(), nullptr);
    EXPECT_EQ(app.GetToneMap(), nullptr);
    EXPECT_EQ(app.Stop(), 0);
}

TEST(PhrasorApp, TheOverriddenProgramFolderHoldsNowAndAcrossStarts) {
    CPhrasorApp app;
    app.OverrideProgramFolder("/tmp/elsewhere/");
    EXPECT_EQ(app.GetProgramFolder(), "/tmp/elsewhere/");
    ASSERT_EQ(app.Start(), 1);
    EXPECT_EQ(app.GetProgramFolder(), "/tmp/elsewhere/");
    app.OverrideProgramFolder("/tmp/other/");
    EXPECT_EQ(app.GetProgramFolder(), "/tmp/other/");
    app.Stop();
    ASSERT_EQ(app.Start(), 1);
    EXPECT_EQ(app.GetProgramFolder(), "/tmp/other/");
    app.OverrideProgramFolder(CString());
    EXPECT_EQ(app.GetProgramFolder(), GetProgramFolder());
    app.Stop();
    ASSERT_EQ(app.Start(), 1);
    EXPECT_EQ(app.GetProgramFolder(), GetProgramFolder());
    app.Stop();
}

TEST(PhrasorApp, OneApplicationObjectPerProcess) {
    EXPECT_EQ(&GetPhrasorApp(), &GetPhrasorApp());
}

class FailingApp : public CAppBase {
public:
    int exits = 0;

protected:
    int InitInstance() override { return 0; }
    int ExitInstance() override {
        ++exits;
        return 3;
    }
};

TEST(AppBase, AFailedStartIsUndone) {
    FailingApp app;
    EXPECT_EQ(app.Start(), 0);
    EXPECT_FALSE(app.IsRunning());
    EXPECT_EQ(app.exits, 1);
    EXPECT_EQ(app.Stop(), 0);  // nothing running: no second shutdown
    EXPECT_EQ(app.exits, 1);
}

TEST(ToneMap, MergeCopiesTheChannelRecordsOfPortsOfTheSameName) {
    CToneMap tones;
    CTGMapData* synth = new CTGMapData();
    synth->m_Name = "Synth A";
    CTGMapData* other = new CTGMapData();
    other->m_Name = "Other";
    tones.GetEntries().AddTail(synth);
    tones.GetEntries().AddTail(other);

    CMidiPortMap empty;
    ASSERT_TRUE(tones.Merge(empty));
    EXPECT_TRUE(synth->m_Channels.empty());
    EXPECT_TRUE(other->m_Channels.empty());

    MidiPortInfo port;
    port.PortName = "SYNTH a";
    for (int ch = 0; ch < 16; ++ch) port.Channels[ch][3] = BYTE(ch * 2);
    CMidiPortMap ports;
    ports.SetPort(1, port);
    ASSERT_TRUE(tones.Merge(ports));
    ASSERT_EQ(synth->m_Channels.size(), 16u);
    EXPECT_EQ(synth->m_Channels[9][3], 18);
    EXPECT_EQ(synth->m_Channels[15][3], 30);
    EXPECT_TRUE(other->m_Channels.empty());
}

TEST(ToneMap, NamesCompareWithoutCaseButKeepDoubleByteCharactersWhole) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    // "ア" and "ャ" differ only in a trail byte that looks like 'A' / 'a'.
    const Case cases[] = {
        {"Port", "PORT", true}, {"Port", "Port ", false}, {"ア", "ャ", false}, {"ア1", "ア1", true}, {"xア", "Xア", true}, {"", "", true},
    };
    for (const auto& c : cases) EXPECT_EQ(SameNameNoCase(c.a, c.b), c.same) << c.a << " / " << c.b;
}

TEST(ToneMap, FindAndDeleteEntries) {
    CToneMap tones;
    CTGMapData* a = new CTGMapData();
    CTGMapData* b = new CTGMapData();
    tones.GetEntries().AddTail(a);
    tones.GetEntries().AddTail(b);
    POSITION pos = nullptr;
    ASSERT_TRUE(tones.GetEntries().FindEntry(b, &pos));
    tones.GetEntries().DeleteAt(pos);
    EXPECT_EQ(tones.GetEntries().GetCount(), 1);
    EXPECT_FALSE(tones.GetEntries().FindEntry(b, &pos));
    EXPECT_EQ(pos, nullptr);
}

// Counts its deletions so that a test can see which entries were deleted.
class CountedEntry : public CPluginTable {
public:
    explicit CountedEntry(int* deletions) : deletions_(deletions) {}
    ~CountedEntry() override { ++*deletions_; }

private:
    int* deletions_;
};

TEST(PluginList, EmptyingDeletesEntriesNotOwnedByAWindow) {
    int deletions = 0;
    CPluginList list;
    CountedEntry* plain = new CountedEntry(&deletions);
    CountedEntry* windowed = new CountedEntry(&deletions);
    windowed->m_hWnd = reinterpret_cast<HWND>(0x1234);
    CountedEntry* owned = new CountedEntry(&deletions);
    owned->m_hWnd = reinterpret_cast<HWND>(0x5678);
    owned->m_Flags = CPluginTable::FLAG_OWNED_BY_WINDOW;
    ASSERT_NE(list.AddTail(plain), nullptr);
    ASSERT_NE(list.AddHead(windowed), nullptr);
    ASSERT_NE(list.AddTail(owned), nullptr);
    list.RemoveAllPlugins();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(deletions, 2);
    delete owned;
    EXPECT_EQ(deletions, 3);
}

TEST(PluginList, InsertionsKeepTheirPlaces) {
    CPluginList list;
    CObject* a = new CPluginTable();
    CObject* b = new CPluginTable();
    CObject* c = new CPluginTable();
    POSITION pa = list.AddTail(a);
    list.InsertAfter(pa, c);
    list.InsertBefore(pa, b);
    std::vector<void*> order;
    for (POSITION p = list.GetList().GetHeadPosition(); p;) order.push_back(list.GetList().GetNext(p));
    EXPECT_EQ(order, (std::vector<void*>{b, a, c}));
    EXPECT_EQ(list.AddTail(nullptr), nullptr);
}

// The list's section is held for the whole change.
TEST(PluginList, ChangesWaitForTheListsSection) {
    CPluginList list;
    std::atomic<bool> added{false};
    list.GetSection().Lock();
    std::thread adder([&] {
        list.AddTail(new CPluginTable());
        added = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(added.load());
    list.GetSection().Unlock();
    adder.join();
    EXPECT_EQ(list.GetCount(), 1);
}

}  // namespace
