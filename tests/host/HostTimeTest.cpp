// Time conversions, client-information queries, the port list and the
// facade's missing parts.
#include <cstring>
#include <limits>

#include "HostFixtures.h"
#include "host/PhrasorApp.h"

namespace {

using namespace hosttest;


// The reader's conductor: 4/4 and 500000 microseconds per quarter at 0.
class HostTime : public ::testing::Test {
protected:
    void SetUp() override {
        InstallChannelSong(m_Doc);
        m_Host = m_Doc.GetHostInterface();
        ASSERT_NE(m_Host, nullptr);
    }
    CBlock* Conductor() { return BlockOf(m_Doc, 0, 0); }
    void Rebuild() {
        m_Doc.RebuildMeterMap();
        m_Doc.RebuildTempoMap();
        m_Doc.RebuildKeySigMap();
    }

    CPhrasorDoc m_Doc;
    CKPSManager* m_Host = nullptr;
};

TEST_F(HostTime, TheResolutionIs960TicksPerQuarter) {
    DWORD ticks = 0;
    EXPECT_EQ(m_Host->GetTimeInfo(2, &ticks), S_OK);
    EXPECT_EQ(ticks, 960u);
    EXPECT_EQ(m_Host->GetTimeInfo(1, &ticks), MP_E_TIMEINFO);
    EXPECT_EQ(m_Host->GetTimeInfo(2, nullptr), E_INVALIDARG);
}

struct ConvertCase {
    INT64 value;
    DWORD from, fromFlag, to, toFlag;
    HRESULT result;
    INT64 out;  // when the result is S_OK
};

TEST_F(HostTime, ConvertTimeBetweenTicksAndClock) {
    const INT64 big = INT64(960) << 23;  // past 32 bits
    const ConvertCase cases[] = {
        {960, 2, 0, 1, 0, S_OK, 5000000},             // half a second in 100 ns units
        {5000000, 1, 0, 2, 0, S_OK, 960},
        {960, 2, 0, 2, 0, S_OK, 960},                 // equal formats copy
        {123, 1, 1, 1, 1, S_OK, 123},                 // equal formats and flags copy, whatever they are
        {123, 7, 0, 7, 0, S_OK, 123},
        {960, 2, 1, 2, 0, MP_E_TIMEFLAG, 0},
        {960, 2, 0, 1, 1, MP_E_TIMEFLAG, 0},
        {960, 2, 2, 1, 0, MP_E_TIMEFORMAT, 0},
        {960, 4, 0, 1, 0, MP_E_TIMEFORMAT, 0},
        {960, 2, 0, 4, 0, MP_E_TIMEFORMAT, 0},
        {960, 3, 0, 1, 0, MP_E_TIMEFORMAT, 0},        // nothing to convert from
        {big, 2, 0, 1, 0, S_OK, (INT64(1) << 23) * 5000000},
        {kAbsent, 2, 0, 1, 0, S_OK, kAbsent},         // absent stays absent
        {kAbsent, 1, 0, 2, 0, S_OK, kAbsent},
    };
    for (const ConvertCase& c : cases) {
        INT64 out = -1;
        EXPECT_EQ(m_Host->ConvertTime(c.value, c.from, c.fromFlag, &out, c.to, c.toFlag), c.result)
            << c.value << " " << c.from << "->" << c.to;
        if (c.result == S_OK) {
            EXPECT_EQ(out, c.out) << c.value << " " << c.from << "->" << c.to;
        }
    }
    EXPECT_EQ(m_Host->ConvertTime(1, 2, 0, nullptr, 1, 0), E_INVALIDARG);
}

TEST_F(HostTime, MeasuresAndTicksBothWays) {
    INT64 time = 0;
    ASSERT_EQ(m_Host->MeasToTime(2, 1, 0, &time, MPTIME_FORMAT_TICKS, 0), S_OK);
    EXPECT_EQ(time, 3840);
    ASSERT_EQ(m_Host->MeasToTime(2, 1, 0, &time, MPTIME_FORMAT_CLOCK, 0), S_OK);
    EXPECT_EQ(time, 20000000);  // two seconds at 120 beats per minute
    LONG measure = 0;
    LONG beat = 0;
    LONG tick = 0;
    ASSERT_EQ(m_Host->TimeToMeas(3840, MPTIME_FORMAT_TICKS, 0, &measure, &beat, &tick), S_OK);
    EXPECT_EQ(measure, 2);
    EXPECT_EQ(beat, 1);
    EXPECT_EQ(tick, 0);
    ASSERT_EQ(m_Host->TimeToMeas(20000000 + 5000000, MPTIME_FORMAT_CLOCK, 0, &measure, &beat, &tick), S_OK);
    EXPECT_EQ(measure, 2);
    EXPECT_EQ(beat, 2);
    // A 3/4 meter from measure 2 on.
    Conductor()->InsertEvent(NewTimeSignature(3840, 3, 2));
    Rebuild();
    ASSERT_EQ(m_Host->MeasToTime(3, 2, 10, &time, MPTIME_FORMAT_TICKS, 0), S_OK);
    EXPECT_EQ(time, 3840 + 2880 + 960 + 10);

    EXPECT_EQ(m_Host->MeasToTime(1, 1, 0, &time, 2, 1), MP_E_TIMEFLAG);
    EXPECT_EQ(m_Host->MeasToTime(1, 1, 0, nullptr, 2, 0), E_INVALIDARG);
    EXPECT_EQ(m_Host->TimeToMeas(0, 3, 0, &measure, &beat, &tick), MP_E_TIMEFLAG);
    EXPECT_EQ(m_Host->TimeToMeas(0, 2, 1, &measure, &beat, &tick), MP_E_TIMEFLAG);
    EXPECT_EQ(m_Host->TimeToMeas(0, 2, 0, &measure, nullptr, &tick), E_INVALIDARG);
}

TEST_F(HostTime, TempoQueryAnswersTheEntryInEffect) {
    MPTEMPOINFO tempo{};
    INT64 next = -1;
    EXPECT_EQ(m_Host->GetClientInfo(MP_CLIENT_TEMPO, 0, &next, 12, &tempo), E_INVALIDARG);
    ASSERT_EQ(m_Host->GetClientInfo(MP_CLIENT_TEMPO, 0, &next, 16, &tempo), S_OK);
    EXPECT_EQ(tempo.Time, 0);
    EXPECT_EQ(tempo.Tempo, 120);
    EXPECT_EQ(next, 0);

    Conductor()->InsertEvent(NewTempo(7680, 400000));
    Rebuild();
    ASSERT_EQ(m_Host->GetClientInfo(MP_CLIENT_TEMPO, 7679, &next, 16, &tempo), S_OK);
    EXPECT_EQ(tempo.Tempo, 120);
    ASSERT_EQ(m_Host->GetClientInfo(MP_CLIENT_TEMPO, 8000, &next, 16, &tempo), S_OK);
    EXPECT_EQ(tempo.Time, 7680);
    EXPECT_EQ(tempo.Tempo, 150);
    EXPECT_EQ(next, 7680);
    EXPECT_EQ(m_Host->GetClientInfo(MP_CLIENT_TEMPO, 0, &next, 16, nullptr), E_INVALIDARG);
}

TEST_F(HostTime, MeterAndKeyQueries) {
    Conductor()->InsertEvent(NewTimeSignature(3840, 6, 3));
    Conductor()->InsertEvent(NewKeySignature(3840 + 2880, -3, 1));  // measure 3 with 6/8 from measure 2
    Rebuild();
    MPMETERINFO meter{};
    INT64 next = -1;
    ASSERT_EQ(m_Host->GetClientInfo(MP_CLIENT_METER, 100, &next, 12, &meter), S_OK);
    EXPECT_EQ(meter.Measure, 1);
    EXPECT_EQ(meter.Numerator, 4);
    EXPECT_EQ(meter.DenominatorPower, 2);
    ASSERT_EQ(m_Host->GetClientInfo(MP_CLIENT_METER, 5000, &next, 12, &meter), S_OK);
    EXPECT_EQ(meter.Measure, 2);
    EXPECT_EQ(meter.Numerator, 6);
    EXPECT_EQ(meter.DenominatorPower, 3);
    EXPECT_EQ(next, 3840);

    MPKEYINFO key{};
    ASSERT_EQ(m_Host->GetClientInfo(MP_CLIENT_KEY, 100, &next, 12, &key), S_OK);
    EXPECT_EQ(key.Measure, 3);  // the only entry counts also before it
    EXPECT_EQ(key.SharpsFlats, 0xFD);
    EXPECT_EQ(key.Major, 0);
    EXPECT_EQ(next, 3840 + 2880);
    EXPECT_EQ(m_Host->GetClientInfo(MP_CLIENT_KEY, 100, &next, 16, &key), E_INVALIDARG);
}

TEST_F(HostTime, KeyQueryWithoutKeysGivesTheDefaults) {
    MPKEYINFO key{9, 9, 9};
    INT64 next = -1;
    ASSERT_EQ(m_Host->GetClientInfo(MP_CLIENT_KEY, 100, &next, 12, &key), S_OK);
    EXPECT_EQ(key.Measure, 1);
    EXPECT_EQ(key.SharpsFlats, 0);
    EXPECT_EQ(key.Major, 1);
    EXPECT_EQ(next, 0);
}

struct FixedQueryCase {
    GUID id;
    DWORD size;
    HRESULT result;
};

TEST_F(HostTime, TheOtherQueriesCheckTheirSizes) {
    const FixedQueryCase cases[] = {
        {MP_CLIENT_DD5, 24, S_OK},          {MP_CLIENT_DD5, 16, E_INVALIDARG},
        {MP_CLIENT_DD6, 16, S_OK},          {MP_CLIENT_DD7, 4, S_OK},
        {MP_CLIENT_DD7, 8, E_INVALIDARG},   {MP_CLIENT_ZERO_1, 4, S_OK},
        {MP_CLIENT_ZERO_2, 4, S_OK},        {MP_CLIENT_ZERO_3, 4, S_OK},
        {MP_CLIENT_F22, 12, S_OK},          {MP_CLIENT_EF7, 12, S_OK},
        {MP_CLIENT_EF7, 4, E_INVALIDARG},   {MP_CLIENT_ANY_SIZE, 3, S_OK},
        {MP_CLIENT_PORT_CHANNEL, 24, E_FAIL},  // the song has no ports
        {GUID{1, 2, 3, {4}}, 4, E_INVALIDARG},
    };
    for (const FixedQueryCase& c : cases) {
        LONG buffer[6] = {7, 7, 7, 7, 7, 7};
        EXPECT_EQ(m_Host->GetClientInfo(c.id, 0, nullptr, c.size, buffer), c.result) << std::hex << c.id.Data1;
    }
    LONG words[6] = {7, 7, 7, 7, 7, 7};
    ASSERT_EQ(m_Host->GetClientInfo(MP_CLIENT_DD5, 0, nullptr, 24, words), S_OK);
    EXPECT_EQ(words[0] | words[1] | words[2] | words[3], 0);
    EXPECT_EQ(words[4], 2);
    EXPECT_EQ(words[5], 7);
    LONG third4[4] = {0, 0, 4, 0};
    EXPECT_EQ(m_Host->GetClientInfo(MP_CLIENT_DD6, 0, nullptr, 16, third4), E_FAIL);
    LONG zero = 5;
    ASSERT_EQ(m_Host->GetClientInfo(MP_CLIENT_ZERO_2, 0, nullptr, 4, &zero), S_OK);
    EXPECT_EQ(zero, 0);
}

TEST_F(HostTime, AnEmptyPortListIsCountZeroAndNoArray) {
    MPPORTLIST list{5, reinterpret_cast<MPPORTINFO*>(&list)};
    ASSERT_EQ(m_Host->GetPortInfo(1, &list), S_OK);
    EXPECT_EQ(list.Count, 0u);
    EXPECT_EQ(list.Ports, nullptr);
    CoTaskMemFree(list.Ports);
    EXPECT_EQ(m_Host->GetPortInfo(1, nullptr), E_INVALIDARG);
}

TEST(HostPorts, ThePortListAndPortChannelsComeFromTheDocumentsCopy) {
    CPhrasorApp& app = GetPhrasorApp();
    const bool wasRunning = app.IsRunning();
    ASSERT_EQ(app.Start(), 1);
    CMidiPortMap* output = app.GetOutputPortMap();
    ASSERT_NE(output, nullptr);
    output->RemoveAll();
    MidiPortInfo a;
    a.PortKind = 1;
    a.PortName = "Port A";
    a.Enabled1 = a.Enabled2 = 1;
    a.PortId[0] = 0xAB;
    a.Channels[3][0] = 0x33;
    MidiPortInfo off = a;
    off.PortName = "Off";
    off.Enabled2 = 0;  // not usable: left out
    output->SetPort(1, a);
    output->SetPort(2, off);
    CPhrasorDoc doc;
    output->RemoveAll();
    if (!wasRunning) app.Stop();

    CKPSManager& host = *doc.GetHostInterface();
    MPPORTLIST list{};
    ASSERT_EQ(host.GetPortInfo(1, &list), S_OK);
    ASSERT_EQ(list.Count, 1u);
    EXPECT_EQ(list.Ports[0].Number, 1);
    EXPECT_EQ(list.Ports[0].Id.Data1 & 0xFF, 0xABu);
    EXPECT_EQ(TakeName(list.Ports[0].Name), u"Port A");
    CoTaskMemFree(list.Ports);

    MPPORTCHANNELINFO query{};
    query.Port = 1;
    query.Channel = 3;
    std::memset(query.Record, 0x55, sizeof query.Record);
    ASSERT_EQ(host.GetClientInfo(MP_CLIENT_PORT_CHANNEL, 0, nullptr, 24, &query), S_OK);
    EXPECT_EQ(query.Record[0], 0x33);
    EXPECT_EQ(query.Record[1], 0);
    const std::pair<LONG, LONG> badQueries[] = {{1, 16}, {1, -1}, {5, 0}, {70000, 0}};
    for (const auto& bad : badQueries) {
        query.Port = bad.first;
        query.Channel = bad.second;
        EXPECT_EQ(host.GetClientInfo(MP_CLIENT_PORT_CHANNEL, 0, nullptr, 24, &query), E_FAIL)
            << bad.first << "/" << bad.second;
    }
}

TEST(HostFacade, MissingPartsAndAnUnboundServiceObject) {
    CKPSManager empty(nullptr, nullptr, nullptr, nullptr);
    POSITION ids[MP_ID_COUNT] = {};
    POSITION next = nullptr;
    tagMPEVENT e;
    DWORD ticks = 0;
    INT64 time = 0;
    EXPECT_EQ(empty.GetFirst(ids, 1, &e, &next, 31), E_FAIL);
    EXPECT_EQ(empty.Lock(1, u"x"), E_FAIL);
    EXPECT_EQ(empty.GetTimeInfo(2, &ticks), E_FAIL);
    EXPECT_EQ(empty.GetClientInfo(MP_CLIENT_ANY_SIZE, 0, nullptr, 0, nullptr), E_FAIL);
    EXPECT_EQ(empty.GetPortInfo(1, nullptr), E_FAIL);

    CMPEventList noManager(nullptr);
    CMPTimeInfo noTimes(nullptr);
    CKPSManager orphan(&noManager, &noTimes, nullptr, nullptr);
    EXPECT_EQ(orphan.Get(ids, 1, &e, 0), E_INVALIDARG);
    EXPECT_EQ(orphan.Remove(1, ids), E_INVALIDARG);
    EXPECT_EQ(orphan.Lock(0, nullptr), E_FAIL);
    EXPECT_EQ(orphan.Unlock(0), E_FAIL);
    EXPECT_EQ(orphan.ConvertTime(1, 1, 1, &time, 1, 1), E_FAIL);

    // Services without a document: what needs the song fails, the rest answers.
    CPluginManager unbound;
    CMPEventList events(&unbound);
    CMPTimeInfo times(&unbound);
    CMPClientInfo info(&unbound);
    CMPClientServices services(&unbound);
    CKPSManager host(&events, &times, &info, &services);
    EXPECT_EQ(host.Lock(1, u"x"), E_FAIL);
    EXPECT_EQ(host.Unlock(0), E_FAIL);
    EXPECT_EQ(host.GetFirst(ids, 1, &e, &next, 31), E_FAIL);
    EXPECT_EQ(host.GetTimeInfo(2, &ticks), S_OK);
    EXPECT_EQ(ticks, 960u);
    EXPECT_EQ(host.ConvertTime(960, 2, 0, &time, 1, 0), E_FAIL);
    EXPECT_EQ(host.ConvertTime(960, 2, 0, &time, 2, 0), S_OK);
    MPTEMPOINFO tempo{};
    INT64 at = -1;
    EXPECT_EQ(host.GetClientInfo(MP_CLIENT_TEMPO, 0, &at, 16, &tempo), S_OK);
    EXPECT_EQ(tempo.Tempo, 120);
    EXPECT_EQ(at, 0);
    LONG word = 0;
    EXPECT_EQ(host.GetClientInfo(MP_CLIENT_DD7, 0, nullptr, 4, &word), E_FAIL);
    MPPORTLIST list{3, nullptr};
    EXPECT_EQ(host.GetPortInfo(1, &list), S_OK);
    EXPECT_EQ(list.Count, 0u);
}

TEST(HostFacade, EveryDocumentMakesItsHostInterface) {
    CPhrasorDoc doc;
    EXPECT_EQ(doc.GetInitFailed(), 0);
    ASSERT_NE(doc.GetHostInterface(), nullptr);
    ASSERT_NE(doc.GetPluginManager(), nullptr);
    EXPECT_EQ(doc.GetPluginManager()->GetDoc(), &doc);
    EXPECT_NE(doc.GetHostInterface()->GetEventList(), nullptr);
    EXPECT_EQ(doc.GetHostInterface()->GetEventList()->GetManager(), doc.GetPluginManager());
    EXPECT_EQ(doc.GetHostInterface()->GetTimeInfoPart()->GetManager(), doc.GetPluginManager());
    EXPECT_EQ(doc.GetHostInterface()->GetClientInfoPart()->GetManager(), doc.GetPluginManager());
    EXPECT_EQ(doc.GetHostInterface()->GetClientServices()->GetManager(), doc.GetPluginManager());
    EXPECT_STREQ(doc.GetHostInterface()->GetClassNameA(), "CKPSManager");
}

}  // namespace
