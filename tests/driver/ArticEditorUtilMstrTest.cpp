#include <gtest/gtest.h>

#include <cstring>

#include "BridgeFixture.h"

namespace {

using bridgetest::At;
using bridgetest::BridgeSong;
using smftest::Bytes;
using smftest::Cat;

Bytes Tempo(DWORD delta, DWORD micros) {
    return At(delta, {0xFF, 0x51, 0x03, BYTE(micros >> 16), BYTE(micros >> 8), BYTE(micros)});
}

// A song of conductor events; the note keeps the song from being empty.
struct MstrSong : BridgeSong {
    explicit MstrSong(const Bytes& conductor) {
        EXPECT_EQ(Load(smftest::Smf0(Cat({conductor, At(0, {0x90, 60, 100}), At(480, {0x80, 60, 0})}))), 1);
    }
};

TEST(ArticEditorUtilMstr, TempoInForce) {
    {
        MstrSong song({});
        WORD tempo = 0;
        EXPECT_EQ(CArticEditorUtil::GetCurTempo(song.Host(), 0, &tempo), 0);
        EXPECT_EQ(tempo, 120);
    }
    struct Case {
        DWORD micros;
        WORD bpm;
    };
    const Case kCases[] = {{500000, 120}, {600000, 100}, {461538, 130}, {1, 65535}, {916, 65502}};
    for (const Case& c : kCases) {
        MstrSong song(Cat({Tempo(0, 500000), Tempo(1921, c.micros)}));
        WORD tempo = 0;
        DWORD at = 99;
        EXPECT_EQ(CArticEditorUtil::GetCurTempo(song.Host(), 960, &tempo, &at), 0) << c.micros;
        EXPECT_EQ(tempo, c.bpm) << c.micros;
        EXPECT_EQ(at, 960u) << c.micros;
        EXPECT_EQ(CArticEditorUtil::GetCurTempo(song.Host(), 959, &tempo, &at), 0);
        EXPECT_EQ(tempo, 120);
        EXPECT_EQ(at, 0u);
    }
}

TEST(ArticEditorUtilMstr, TempoOfZeroIsNoTempo) {
    MstrSong song(Cat({Tempo(0, 600000), Tempo(960, 0)}));
    WORD tempo = 0;
    EXPECT_EQ(CArticEditorUtil::GetCurTempo(song.Host(), 1000, &tempo), 0);
    EXPECT_EQ(tempo, 100);
}

TEST(ArticEditorUtilMstr, MeterAndTimeFromMeter) {
    MstrSong song(Cat({At(0, {0xFF, 0x58, 0x04, 3, 2, 24, 8}), At(3840, {0xFF, 0x58, 0x04, 6, 3, 24, 8})}));
    BYTE num = 0, den = 0;
    EXPECT_EQ(CArticEditorUtil::GetCurBeat(song.Host(), 1919, &num, &den), 0);
    EXPECT_EQ(num, 3);
    EXPECT_EQ(den, 2);
    EXPECT_EQ(CArticEditorUtil::GetCurBeat(song.Host(), 1920, &num, &den), 0);
    EXPECT_EQ(num, 6);
    EXPECT_EQ(den, 3);
    INT64 since = 0;
    EXPECT_EQ(CArticEditorUtil::GetTimeFromMeter(song.Host(), 2500, &since), 0);
    EXPECT_EQ(since, 580);

    MstrSong plain({});
    EXPECT_EQ(CArticEditorUtil::GetTimeFromMeter(plain.Host(), 2500, &since), 0);
    EXPECT_EQ(since, 2500);
    num = den = 77;
    EXPECT_EQ(CArticEditorUtil::GetCurBeat(plain.Host(), 2500, &num, &den), 0);
    EXPECT_EQ(num, 77);
}

TEST(ArticEditorUtilMstr, TimeFromTheMeterMap) {
    // 3/4 from 0, 3/4 again at engine 1440 (one bar), 6/8 at 2880: a repeated meter starts no new run.
    MstrSong song(Cat({At(0, {0xFF, 0x58, 0x04, 3, 2, 24, 8}), At(2880, {0xFF, 0x58, 0x04, 3, 2, 24, 8}),
                       At(2880, {0xFF, 0x58, 0x04, 6, 3, 24, 8})}));
    INT64 since = -1;
    EXPECT_EQ(CArticEditorUtil::GetTimeFromMeterClientInfo(song.Host(), 2000, &since), 0);
    EXPECT_EQ(since, 2000);
    EXPECT_EQ(CArticEditorUtil::GetTimeFromMeterClientInfo(song.Host(), 3000, &since), 0);
    EXPECT_EQ(since, 120);
    CArticEditorUtil::SetEditorMgr(nullptr);
    EXPECT_EQ(CArticEditorUtil::GetTimeFromMeterClientInfo(song.Host(), 3000, &since), 1);
    EXPECT_EQ(since, 0);
}

TEST(ArticEditorUtilMstr, KeyAndChord) {
    MstrSong song(Cat({At(0, {0xFF, 0x59, 0x02, 0xFD, 0x01}), At(960, {0xFF, 0x59, 0x02, 0x02, 0x00}),
                       At(0, {0xFF, 0x7F, 0x06, 0x43, 0x7B, 0x01, 0x31, 0x01, 0x31}),         // 7 bytes
                       At(960, {0xFF, 0x7F, 0x07, 0x43, 0x7B, 0x01, 0x32, 0x02, 0x33, 0x03})}));  // 8 bytes
    BYTE k1 = 0, k2 = 0;
    EXPECT_EQ(CArticEditorUtil::GetCurKey(song.Host(), 479, &k1, &k2), 0);
    EXPECT_EQ(k1, 0xFD);
    EXPECT_EQ(k2, 1);
    INT64 since = 0;
    EXPECT_EQ(CArticEditorUtil::GetTimeFromKey(song.Host(), 700, &since), 0);
    EXPECT_EQ(since, 220);

    BYTE root = 0, type = 0, bassRoot = 0, bassType = 0;
    EXPECT_EQ(CArticEditorUtil::GetCurChord(song.Host(), 959, &root, &type, &bassRoot, &bassType), 0);
    EXPECT_EQ(root, 0);  // the short chord event is not one
    EXPECT_EQ(CArticEditorUtil::GetCurChord(song.Host(), 960, &root, &type, &bassRoot, &bassType), 0);
    EXPECT_EQ(root, 0x32);
    EXPECT_EQ(type, 0x02);
    EXPECT_EQ(bassRoot, 0x33);
    EXPECT_EQ(bassType, 0x03);
}

TEST(ArticEditorUtilMstr, TracksAndFailures) {
    MstrSong song({});
    const POSITION conductor = CArticEditorUtil::GetTrkID(song.Host(), 0);
    ASSERT_NE(conductor, nullptr);
    _MPTRACKINFO t{};
    ASSERT_EQ(CArticHostWalk::GetTrk(song.Host(), conductor, &t), 0);
    EXPECT_EQ(t.Number, 0);
    EXPECT_EQ(song.doc.GetTrackList().GetHeadPosition(), conductor);
    EXPECT_EQ(CArticEditorUtil::GetTrkID(song.Host(), 99), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetSelTrkNum(song.Host()), 0);

    WORD tempo = 0;
    EXPECT_EQ(CArticEditorUtil::GetCurTempo(nullptr, 0, &tempo), 1);
    EXPECT_EQ(tempo, 120);
    song.view.failTimes = true;
    INT64 since = 0;
    EXPECT_EQ(CArticEditorUtil::GetTimeFromMeter(song.Host(), 50, &since), 1);
    EXPECT_EQ(since, 50);
}

TEST(ArticEditorUtilMstr, ProgramInForceOnTheTracksChannel) {
    BridgeSong song;
    ASSERT_EQ(song.Load(smftest::Smf0(Cat({
                  At(0, {0xB3, 0x00, 8}), At(0, {0xB3, 0x20, 1}), At(0, {0xC3, 25}),
                  At(960, {0xC3, 26}), At(960, {0xC3, 27}),
                  At(0, {0x93, 60, 100}), At(10, {0x83, 60, 0})}))),
              1);
    const POSITION trk = song.TrackOfCh(3);
    {
        // The KV exclusive goes on the channel's own track, before the last program change.
        hosttest::ExclusiveLock lock(*song.Host());
        POSITION ids[MP_ID_COUNT] = {trk, song.Blocks(trk).at(0), nullptr};
        BYTE* bytes = static_cast<BYTE*>(CoTaskMemAlloc(8));
        const BYTE kv[8] = {0x43, 0x10, 0x4C, 0x08, 0x03, 0x01, 0x05, 0xF7};
        std::memcpy(bytes, kv, 8);
        tagMPEVENT e;
        ResetMPEvent(e);
        e.Kind = MPEVENT_KIND_SYSEX;
        e.Time = 1900;
        e.Length = 8;
        e.Bytes = bytes;
        ASSERT_GE(song.Host()->Insert(ids, MP_LEVEL_EVENT, &e), 0);
        CoTaskMemFree(bytes);
    }
    BYTE msb = 9, lsb = 9, pro = 9;
    EXPECT_EQ(CArticEditorUtil::GetProNum(song.Host(), trk, 479, &msb, &lsb, &pro), 0);
    EXPECT_EQ(msb, 8);
    EXPECT_EQ(lsb, 1);
    EXPECT_EQ(pro, 25);
    EXPECT_EQ(CArticEditorUtil::GetProNum(song.Host(), trk, 480, &msb, &lsb, &pro), 0);
    EXPECT_EQ(pro, 26);
    // The KV exclusive for part 3 (address 0, channel 3) holds bank MSB 5 for the next program.
    EXPECT_EQ(CArticEditorUtil::GetProNum(song.Host(), trk, 960, &msb, &lsb, &pro), 0);
    EXPECT_EQ(msb, 5);
    EXPECT_EQ(pro, 27);
}

}  // namespace
