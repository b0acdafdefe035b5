// Real songs of the corpus driven through the conversion driver: the song
// walk into work data, the expression skeleton, the rule run of a one-set
// script, then the channel pipeline writing the result back into the song,
// which is saved and read again.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "driver/ArticEditorMgr.h"
#include "driver/ArticEditorUtil.h"
#include "services/ArticErr.h"
#include "driver/ArticHostWalk.h"
#include "driver/ArticProc.h"
#include "services/PHConvPrm.h"
#include "driver/PhrasorProc.h"
#include "host/SmfFixtures.h"
#include "platform/Random.h"
#include "tools/CoreWorker.h"

namespace {

using smftest::Bytes;

Bytes CoreMNReadSong(const char* name) {
    std::ifstream in(std::string(VEXA_CORPUS) + "/songs/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One song in a document and the conversion driver of a run, used as the
// core uses them: the bytes loaded, the channel's track selected, the
// driver's Convert.
struct CoreMNRun : smftest::TwoOutputPorts, smftest::Loaded {
    CPhrasorProc proc;
    CPHConvPrm& prm;

    CoreMNRun() : TwoOutputPorts("KORVET QTL1", "KORVET QTL2"), prm(*proc.GetConvPrm()) {
        Restore();
        proc.CreateArticProc();
        proc.SetCEditor(doc.GetHostInterface());
        proc.CreateCoreMN(1);
    }
    ~CoreMNRun() { CArticEditorUtil::Reset(); }

    void Script(std::initializer_list<const char*> lines) {
        prm.ClearLines();
        for (const char* l : lines) prm.AddLine(l, int(std::string(l).size()) + 1);
    }

    // One channel's conversion; "" or why the driver failed it.
    std::string Convert(int ch) {
        coretool::FillWorkerParams(prm, ch);
        if (!doc.SelectChannelTrack(ch)) return "select";
        proc.SetLoadPending(1);
        proc.Convert(&doc);
        return proc.IsFailed() ? "failed: " + std::string(static_cast<const char*>(proc.GetFailReason())) : "";
    }
};

// A note of a read-back song, at absolute output ticks.
struct CoreMNNote {
    INT64 time;
    int key, velo;
    LONG gate;
};

// Any other event: kind, absolute time and data bytes (meta: type and data).
struct CoreMNEvent {
    DWORD kind;
    INT64 time;
    int d1, d2, d3;
    Bytes bytes;
};

// Every event of a song loaded from bytes, by channel (-1: no channel).
struct CoreMNSeen {
    std::map<int, std::vector<CoreMNNote>> notes;
    std::map<int, std::vector<CoreMNEvent>> events;
    std::vector<CoreMNEvent> metas;
    bool loaded = false;

    explicit CoreMNSeen(const Bytes& bytes) {
        smftest::Loaded song;
        if (song.Load(bytes) != 1) return;
        loaded = true;
        CKPSManager* host = song.doc.GetHostInterface();
        CArticHostWalk::Tracks(host, [&](const _MPTRACKINFO& t, POSITION trk) {
            CArticHostWalk::Blocks(host, trk, [&](const _MPBLOCKINFO& b, POSITION blk) {
                CArticHostWalk::Events(host, trk, blk, [&](const tagMPEVENT& e, POSITION) {
                    const INT64 at = b.Start + e.Time;
                    if (e.Kind == MPEVENT_KIND_META) {
                        metas.push_back({e.Kind, at, 0, 0, 0, Bytes(e.Bytes, e.Bytes + e.Length)});
                        return true;
                    }
                    const bool variable = IsVariableMPEventKind(e.Kind);
                    const int ch = variable ? -1 : t.Channel == -1 ? int(e.Channel) : int(t.Channel);
                    if (e.Kind == MPEVENT_KIND_NOTE)
                        notes[ch].push_back({at, e.Data1, e.Data2, e.Duration});
                    else if (variable)
                        events[ch].push_back({e.Kind, at, 0, 0, 0, Bytes(e.Bytes, e.Bytes + e.Length)});
                    else
                        events[ch].push_back({e.Kind, at, e.Data1, e.Data2, e.Data3, {}});
                    return true;
                });
                return true;
            });
            return true;
        });
        for (auto& n : notes)
            std::stable_sort(n.second.begin(), n.second.end(), [](const CoreMNNote& a, const CoreMNNote& b) {
                return std::tie(a.time, a.key) < std::tie(b.time, b.key);
            });
        for (auto& n : events)
            std::stable_sort(n.second.begin(), n.second.end(),
                             [](const CoreMNEvent& a, const CoreMNEvent& b) { return a.time < b.time; });
        std::stable_sort(metas.begin(), metas.end(),
                         [](const CoreMNEvent& a, const CoreMNEvent& b) { return a.time < b.time; });
    }
    const std::vector<CoreMNNote>& Notes(int ch) const {
        static const std::vector<CoreMNNote> none;
        auto it = notes.find(ch);
        return it == notes.end() ? none : it->second;
    }
    // The meta events of one type, with their data.
    std::vector<std::pair<INT64, Bytes>> Metas(BYTE type) const {
        std::vector<std::pair<INT64, Bytes>> out;
        for (const CoreMNEvent& m : metas)
            if (!m.bytes.empty() && m.bytes[0] == type) out.push_back({m.time, m.bytes});
        return out;
    }
    // The tick of a note's start.
    INT64 FirstNote(int ch) const { return Notes(ch).empty() ? -1 : Notes(ch).front().time; }
};

// The channel's notes as the input's: same count, order, velocities and
// lengths, keys moved by `by`, all times moved by one shift d >= 0; d, or
// a message naming the first difference.
std::string CoreMNNotesAsInput(const CoreMNSeen& in, const CoreMNSeen& out, int ch, int by, INT64* shift) {
    const auto& a = in.Notes(ch);
    const auto& b = out.Notes(ch);
    if (a.size() != b.size())
        return "ch " + std::to_string(ch) + ": " + std::to_string(a.size()) + " notes in, " +
               std::to_string(b.size()) + " out";
    const INT64 d = a.empty() ? 0 : b[0].time - a[0].time;
    if (shift) *shift = d;
    for (size_t i = 0; i < a.size(); ++i) {
        if (b[i].time - a[i].time != d || b[i].key != a[i].key + by || b[i].velo != a[i].velo ||
            b[i].gate != a[i].gate)
            return "ch " + std::to_string(ch) + " note " + std::to_string(i) + ": in t " +
                   std::to_string(a[i].time) + " k " + std::to_string(a[i].key) + " v " +
                   std::to_string(a[i].velo) + " g " + std::to_string(a[i].gate) + ", out t " +
                   std::to_string(b[i].time) + " k " + std::to_string(b[i].key) + " v " +
                   std::to_string(b[i].velo) + " g " + std::to_string(b[i].gate);
    }
    return d < 0 ? "negative shift" : "";
}

// The bank and program before the channel's first note: "msb/lsb/program".
std::string CoreMNVoiceBeforeFirstNote(const CoreMNSeen& out, int ch) {
    const INT64 first = out.FirstNote(ch);
    int msb = -1, lsb = -1, pro = -1;
    auto it = out.events.find(ch);
    if (it == out.events.end()) return "none";
    for (const CoreMNEvent& e : it->second) {
        if (e.time > first) break;
        if (e.kind == MPEVENT_KIND_VOICE) {
            msb = e.d1;
            lsb = e.d2;
            pro = e.d3;
        } else if (e.kind == MPEVENT_KIND_CONTROL && e.d1 == 0) {
            msb = e.d2;
        } else if (e.kind == MPEVENT_KIND_CONTROL && e.d1 == 32) {
            lsb = e.d2;
        } else if (e.kind == MPEVENT_KIND_PROGRAM) {
            pro = e.d1;
        }
    }
    return std::to_string(msb) + "/" + std::to_string(lsb) + "/" + std::to_string(pro);
}

// The data bytes of the meta events of one type, in order.
std::vector<Bytes> CoreMNMetaData(const CoreMNSeen& seen, BYTE type) {
    std::vector<Bytes> out;
    for (const auto& m : seen.Metas(type)) out.push_back(m.second);
    return out;
}

const char* const kCoreMNHead[] = {"#set:1", "#name:X", "#prob:0.5*2"};

// One channel of the song converted as the core does it: a fresh document
// loaded from the bytes, the script run, the document saved. Empty bytes
// when a step failed (named in *failed).
Bytes CoreMNConvert(const Bytes& input, int ch, std::initializer_list<const char*> exps, std::string* failed) {
    CoreMNRun run;
    if (run.Load(input) != 1) {
        *failed = "load";
        return {};
    }
    SeedRandom(3);
    run.prm.ClearLines();
    for (const char* l : kCoreMNHead) run.prm.AddLine(l, int(std::string(l).size()) + 1);
    for (const char* l : exps) run.prm.AddLine(l, int(std::string(l).size()) + 1);
    CArticErr::Clear();
    *failed = run.Convert(ch);
    if (!failed->empty()) return {};
    return run.Save(&run.prm);
}

const char* const kCoreMNUp12 = "#exp1:CArticExpKeySft( 1{_thisEvnt}, 12)";

TEST(CoreMNSongPipe, EntertainerChannelZeroUp12) {
    const Bytes input = CoreMNReadSong("TheEntertainer.mid");
    std::string failed;
    const Bytes output = CoreMNConvert(input, 0, {kCoreMNUp12}, &failed);
    ASSERT_EQ(failed, "");
    const CoreMNSeen in(input), out(output);
    ASSERT_TRUE(out.loaded);
    ASSERT_EQ(in.Notes(0).size(), 2616u);
    EXPECT_EQ(CoreMNNotesAsInput(in, out, 0, 12, nullptr), "");
    EXPECT_EQ(CoreMNMetaData(out, 0x51), CoreMNMetaData(in, 0x51));
    EXPECT_EQ(CoreMNMetaData(out, 0x58), CoreMNMetaData(in, 0x58));
    EXPECT_EQ(CoreMNVoiceBeforeFirstNote(out, 0), "8/0/25");
}

TEST(CoreMNSongPipe, BachChannelsZeroThenTwoUp12) {
    const Bytes input = CoreMNReadSong("bach_846.mid");
    std::string failed;
    const Bytes first = CoreMNConvert(input, 0, {kCoreMNUp12}, &failed);
    ASSERT_EQ(failed, "");
    const Bytes output = CoreMNConvert(first, 2, {kCoreMNUp12}, &failed);
    ASSERT_EQ(failed, "");
    const CoreMNSeen in(input), out(output);
    ASSERT_TRUE(out.loaded);
    EXPECT_EQ(in.Notes(0).size(), 549u);
    EXPECT_EQ(in.Notes(2).size(), 220u);
    EXPECT_EQ(CoreMNNotesAsInput(in, out, 0, 12, nullptr), "");
    EXPECT_EQ(CoreMNNotesAsInput(in, out, 2, 12, nullptr), "");
    for (int ch : {3, 4, 5}) EXPECT_EQ(CoreMNNotesAsInput(in, out, ch, 0, nullptr), "");
    EXPECT_EQ(in.Metas(0x51).size(), 358u);
    EXPECT_EQ(CoreMNMetaData(out, 0x51), CoreMNMetaData(in, 0x51));
    EXPECT_EQ(CoreMNVoiceBeforeFirstNote(out, 0), "8/0/25");
    EXPECT_EQ(CoreMNVoiceBeforeFirstNote(out, 2), "8/0/25");
}

// The song's tempo lock refuses the master track's tempo write: the
// channel fails with the transfer's error on record and the lock released.
TEST(CoreMNSongPipe, TempoLockFailsTheTransfer) {
    CoreMNRun run;
    const Bytes input = CoreMNReadSong("TheEntertainer.mid");
    ASSERT_EQ(run.Load(input), 1);
    run.doc.SetTempoLocked(1);
    run.Script({"#set:1", "#name:X", "#prob:0.5*2", kCoreMNUp12});
    CArticErr::Clear();
    EXPECT_NE(run.Convert(0), "");
    EXPECT_EQ(run.proc.GetFailState(), CPhrasorProc::kFailPipeline);
    EXPECT_EQ(CArticErr::IsError(), 1);
    BYTE kind = 0;
    CString content, cls, method, detail;
    CArticErr::Get(kind, content, cls, method, detail);
    EXPECT_STREQ(content, "m_pTransMgr->ConvToCEditorRep()");
    CArticEditorMgr* mgr = run.proc.GetArticProc()->GetEditorMgr();
    EXPECT_EQ(mgr->CreateMpLock(1), S_OK);
    mgr->DeleteMpLock();
}

// Every distinct note start of a channel.
std::vector<INT64> CoreMNStarts(const CoreMNSeen& seen, int ch) {
    std::vector<INT64> out;
    for (const CoreMNNote& n : seen.Notes(ch))
        if (out.empty() || out.back() != n.time) out.push_back(n.time);
    return out;
}

// The control changes of one number on a channel: time and value.
std::vector<std::pair<INT64, int>> CoreMNControls(const CoreMNSeen& seen, int ch, int number) {
    std::vector<std::pair<INT64, int>> out;
    auto it = seen.events.find(ch);
    if (it == seen.events.end()) return out;
    for (const CoreMNEvent& e : it->second)
        if (e.kind == MPEVENT_KIND_CONTROL && e.d1 == number) out.push_back({e.time, e.d2});
    return out;
}

TEST(CoreMNSongPipe, ClaireChannelZeroStressCc73) {
    const Bytes input = CoreMNReadSong("claire_de_lune.mid");
    std::string failed;
    const Bytes output =
        CoreMNConvert(input, 0, {"#exp1:CArticExpStresContCcNoteCreAbs( 1{_thisEvnt}, 3, 73, -5, 81)"}, &failed);
    ASSERT_EQ(failed, "");
    const CoreMNSeen in(input), out(output);
    ASSERT_TRUE(out.loaded);
    INT64 d = 0;
    EXPECT_EQ(CoreMNNotesAsInput(in, out, 0, 0, &d), "");
    const std::vector<INT64> starts = CoreMNStarts(out, 0);
    EXPECT_EQ(starts.size(), 815u);
    std::vector<std::pair<INT64, int>> expected;
    for (INT64 t : starts) expected.push_back({t - 10, 81});
    EXPECT_EQ(CoreMNControls(out, 0, 73), expected);
}

// The pitch bends of a channel: time and 14-bit value.
std::vector<std::pair<INT64, int>> CoreMNBends(const CoreMNSeen& seen, int ch) {
    std::vector<std::pair<INT64, int>> out;
    auto it = seen.events.find(ch);
    if (it == seen.events.end()) return out;
    for (const CoreMNEvent& e : it->second)
        if (e.kind == MPEVENT_KIND_PITCHBEND) out.push_back({e.time, e.d1 | (e.d2 << 7)});
    return out;
}

TEST(CoreMNSongPipe, BachFormat0ChannelZeroBend) {
    const Bytes input = CoreMNReadSong("bach_format0.mid");
    ASSERT_GE(input.size(), 10u);
    std::string failed;
    const Bytes output = CoreMNConvert(input,
                                       0,
                                       {"#exp1:CArticExpInitPbRange3( 1{_thisEvnt}, 0, 12)",
                                        "#exp2:CArticExpPitchCrv2( 1{_thisEvnt}, 14, 0, 120, 0, 4096, 0, 40)"},
                                       &failed);
    ASSERT_EQ(failed, "");
    ASSERT_GE(output.size(), 10u);
    EXPECT_EQ(output[9], 0);  // still format 0
    const CoreMNSeen in(input), out(output);
    ASSERT_TRUE(out.loaded);
    EXPECT_EQ(CoreMNNotesAsInput(in, out, 0, 0, nullptr), "");
    const INT64 first = out.FirstNote(0);
    EXPECT_EQ(first, 480);
    EXPECT_EQ(CoreMNControls(out, 0, 101), (std::vector<std::pair<INT64, int>>{{first - 20, 0}}));
    EXPECT_EQ(CoreMNControls(out, 0, 100), (std::vector<std::pair<INT64, int>>{{first - 20, 0}}));
    EXPECT_EQ(CoreMNControls(out, 0, 6), (std::vector<std::pair<INT64, int>>{{first - 10, 12}}));
    const auto bends = CoreMNBends(out, 0);
    for (const auto& b : bends) EXPECT_TRUE(b.second >= 8192 && b.second <= 12288) << b.first << " " << b.second;
    for (INT64 t : CoreMNStarts(out, 0)) {
        // The bend in force at the start, and the one reached 160 later.
        int at = 8192;
        bool reached = false;
        for (const auto& b : bends) {
            if (b.first <= t) at = b.second;
            if (b.first == t + 160 && b.second == 12288) reached = true;
        }
        EXPECT_EQ(at, 8192) << t;
        EXPECT_TRUE(reached) << t;
    }
}

// Every song of the corpus, every channel with notes converted in turn by
// one run (as the core keeps its driver), each conversion on the previous
// output: the output reads back, the converted channel's notes are the
// input's (12 higher with the key shift) behind bank 8/0 and program 25,
// the other channels and the tempos stay.
TEST(CoreMNSongPipe, EveryChannelOfEverySongInTurn) {
    const char* const songs[] = {"TheEntertainer.mid", "bach_846.mid",           "bach_format0.mid",
                                 "beat.mid",           "childrens_corner_1.mid", "claire_de_lune.mid",
                                 "pitchBendTest.mid"};
    struct Script {
        std::vector<const char*> lines;
        int by;
    };
    const Script scripts[] = {{{";Empty"}, 0}, {{"#set:1", "#name:X", "#prob:0.5*2", kCoreMNUp12}, 12}};
    for (const Script& script : scripts) {
        for (const char* name : songs) {
            const Bytes input = CoreMNReadSong(name);
            const CoreMNSeen in(input);
            ASSERT_TRUE(in.loaded) << name;
            CoreMNRun run;
            ASSERT_EQ(run.Load(input), 1);
                    Bytes current = input;
            for (const auto& entry : in.notes) {
                const int ch = entry.first;
                if (ch < 0 || entry.second.empty()) continue;
                const std::string where = std::string(name) + " ch " + std::to_string(ch) + " " + script.lines.back();
                ASSERT_EQ(run.Load(current), 1) << where;
                SeedRandom(3);
                run.prm.ClearLines();
                for (const char* l : script.lines) run.prm.AddLine(l, int(std::string(l).size()) + 1);
                ASSERT_EQ(run.Convert(ch), "") << where;
                Bytes next = run.Save(&run.prm);
                const CoreMNSeen before(current), out(next);
                ASSERT_TRUE(out.loaded) << where;
                for (const auto& other : before.notes)
                    EXPECT_EQ(CoreMNNotesAsInput(before, out, other.first, other.first == ch ? script.by : 0,
                                                 nullptr),
                              "")
                        << where;
                EXPECT_EQ(CoreMNVoiceBeforeFirstNote(out, ch), "8/0/25") << where;
                EXPECT_EQ(CoreMNMetaData(out, 0x51), CoreMNMetaData(before, 0x51)) << where;
                current = next;
            }
        }
    }
}

}  // namespace
