#include <gtest/gtest.h>

#include "host/MidiPort.h"

namespace {

MidiPortInfo UsablePort(const char* name, DWORD kind = 1) {
    MidiPortInfo info;
    info.PortKind = kind;
    info.PortName = name;
    info.Enabled1 = 1;
    info.Enabled2 = 1;
    return info;
}

TEST(MidiPortMap, EmptyMapFindsNothing) {
    CMidiPortMap map;
    EXPECT_EQ(map.CountPorts(3), 0);
    EXPECT_EQ(map.GetPortNumber(0, 1), 0);
    MidiPortInfo info;
    for (WORD n : {0, 1, 2, 65535}) EXPECT_FALSE(map.Lookup(WORD(n), &info)) << n;
    EXPECT_FALSE(map.GetPortByIndex(0, 3, &info));
    int index = -1;
    EXPECT_FALSE(map.GetPortIndex(1, 3, &index));
    EXPECT_FALSE(map.IsPortUsable(1, 3));
    BYTE record[16];
    EXPECT_FALSE(map.GetChannel(1, 0, record));
}

TEST(MidiPortMap, IndexedQueriesWalkOnlyUpToTheEntryCount) {
    CMidiPortMap map;
    ASSERT_TRUE(map.SetPort(1, UsablePort("A")));
    ASSERT_TRUE(map.SetPort(3, UsablePort("C")));
    EXPECT_EQ(map.GetPortNumber(0, 1), 1);
    EXPECT_EQ(map.GetPortNumber(1, 1), 0);  // port 3 lies beyond the two entries
    EXPECT_EQ(map.CountPorts(1), 1);
    int index = -1;
    EXPECT_TRUE(map.GetPortIndex(1, 1, &index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(map.GetPortIndex(3, 1, &index));
    // Direct lookups still find it.
    MidiPortInfo info;
    ASSERT_TRUE(map.Lookup(3, &info));
    EXPECT_EQ(info.PortName, "C");
    EXPECT_TRUE(map.IsPortUsable(3, 1));
}

TEST(MidiPortMap, UsablePortsNeedAMatchingKindAndBothEnables) {
    struct Case {
        DWORD kind;
        LONG enabled1, enabled2;
        DWORD mask;
        bool usable;
    };
    const Case cases[] = {
        {1, 1, 1, 1, true}, {2, 1, 1, 3, true}, {4, 1, 1, 3, false}, {1, 0, 1, 1, false},
        {1, 1, 0, 1, false}, {6, 5, -1, 4, true}, {1, 1, 1, 0, false},
    };
    for (const auto& c : cases) {
        CMidiPortMap map;
        MidiPortInfo info = UsablePort("P", c.kind);
        info.Enabled1 = c.enabled1;
        info.Enabled2 = c.enabled2;
        map.SetPort(1, info);
        EXPECT_EQ(map.IsPortUsable(1, c.mask), c.usable) << c.kind << " " << c.mask;
        EXPECT_EQ(map.CountPorts(c.mask), c.usable ? 1 : 0) << c.kind << " " << c.mask;
        EXPECT_EQ(map.GetPortNumber(0, c.mask), c.usable ? 1 : 0) << c.kind << " " << c.mask;
    }
}

TEST(MidiPortMap, IndexesCountOnlyUsablePorts) {
    CMidiPortMap map;
    MidiPortInfo off = UsablePort("off");
    off.Enabled2 = 0;
    map.SetPort(1, off);
    map.SetPort(2, UsablePort("two"));
    map.SetPort(3, UsablePort("three", 2));
    map.SetPort(4, UsablePort("four"));
    EXPECT_EQ(map.CountPorts(1), 2);
    EXPECT_EQ(map.CountPorts(3), 3);
    EXPECT_EQ(map.GetPortNumber(1, 1), 4);
    EXPECT_EQ(map.GetPortNumber(1, 3), 3);
    MidiPortInfo info;
    ASSERT_TRUE(map.GetPortByIndex(2, 3, &info));
    EXPECT_EQ(info.PortName, "four");
    int index = -1;
    ASSERT_TRUE(map.GetPortIndex(4, 3, &index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(map.GetPortIndex(1, 3, &index));
}

TEST(MidiPortMap, ChannelRecords) {
    MidiPortInfo info = UsablePort("P");
    for (int ch = 0; ch < 16; ++ch) info.Channels[ch][0] = BYTE(ch + 100);
    info.Channels[15][15] = 0xAB;
    CMidiPortMap map;
    map.SetPort(2, info);
    BYTE record[16] = {};
    ASSERT_TRUE(map.GetChannel(2, 15, record));
    EXPECT_EQ(record[0], 115);
    EXPECT_EQ(record[15], 0xAB);
    EXPECT_FALSE(map.GetChannel(2, 16, record));
    EXPECT_FALSE(map.GetChannel(2, -1, record));
    CMidiPort port(info);
    EXPECT_TRUE(port.GetChannel(0, record));
    EXPECT_EQ(record[0], 100);
    EXPECT_FALSE(port.GetChannel(16, record));
}

TEST(MidiPortMap, CopyFromMakesDeepCopies) {
    CMidiPortMap source;
    source.SetPort(1, UsablePort("one"));
    source.SetPort(7, UsablePort("seven"));
    CMidiPortMap copy;
    copy.SetPort(7, UsablePort("old seven"));
    ASSERT_TRUE(copy.CopyFrom(source));
    source.SetPort(1, UsablePort("changed"));
    EXPECT_EQ(copy.GetCount(), 2);
    MidiPortInfo info;
    ASSERT_TRUE(copy.Lookup(1, &info));
    EXPECT_EQ(info.PortName, "one");
    ASSERT_TRUE(copy.Lookup(7, &info));
    EXPECT_EQ(info.PortName, "seven");
    EXPECT_TRUE(copy.CopyFrom(copy));
    EXPECT_EQ(copy.GetCount(), 2);
}

}  // namespace
