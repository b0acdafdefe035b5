// Every edge-case SMF of the corpus converted through the core as the user
// interface's worker converts it: every channel with notes in turn, each on
// the previous result. A file the SMF reader refuses, or a channel without
// notes, gives 0 and leaves the caller's bytes; every result loads again, the
// converted channels keep their notes an octave up and the others keep theirs.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "data/AlgorithmScript.h"
#include "driver/PhrasorCore.h"
#include "host/DataManager.h"
#include "host/PhrasorDoc.h"
#include "tests/driver/PhrasorCoreFixture.h"

namespace {

using phrasorcoretest::Bytes;
using phrasorcoretest::CoreRun;
using phrasorcoretest::ReadSmf;
using phrasorcoretest::SameNotes;
using phrasorcoretest::Script;
using phrasorcoretest::Smf;

// What the core makes of one file: the channels it converts (those with
// notes), or the reason it converts none.
enum class CoreEdgeOutcome { Converts, Unreadable, NoNotes };

struct CoreEdgeCase {
    const char* file;
    CoreEdgeOutcome outcome;
    std::vector<int> channels;  // with Converts
};

constexpr CoreEdgeOutcome kConverts = CoreEdgeOutcome::Converts;
constexpr CoreEdgeOutcome kUnreadable = CoreEdgeOutcome::Unreadable;
constexpr CoreEdgeOutcome kNoNotes = CoreEdgeOutcome::NoNotes;

const CoreEdgeCase kCoreEdgeCases[] = {
    {"test-2-tracks-type-0.mid", kUnreadable, {}},  // format 0 with two track chunks
    {"test-2-tracks-type-1.mid", kConverts, {0, 1}},
    {"test-2-tracks-type-2.mid", kUnreadable, {}},  // format 2
    {"test-all-gm-percussion.mid", kConverts, {9}},
    {"test-all-gm-sounds.mid", kConverts, {0}},
    {"test-all-gm2-sounds.mid", kConverts, {0}},
    {"test-all-gs-sounds.mid", kConverts, {0}},
    {"test-all-gs-wavetable-sounds.mid", kConverts, {0}},
    {"test-c-major-scale.mid", kConverts, {0}},
    {"test-control-00-20-bank-select.mid", kConverts, {0, 9}},
    {"test-control-40-damper.mid", kConverts, {0}},
    {"test-control-41-portamento.mid", kConverts, {0}},
    {"test-control-54-portamento-control.mid", kConverts, {0}},
    {"test-control-7c-omni-mode-off.mid", kNoNotes, {}},
    {"test-control-7d-omni-mode-on.mid", kNoNotes, {}},
    {"test-control-7e-mono-mode-on.mid", kNoNotes, {}},
    {"test-control-7f-poly-mode-on.mid", kNoNotes, {}},
    {"test-corrupt-file-extra-byte.mid", kConverts, {0}},
    {"test-corrupt-file-missing-byte.mid", kUnreadable, {}},
    {"test-empty-file.mid", kUnreadable, {}},
    {"test-empty.mid", kNoNotes, {}},
    {"test-gm2-doggy-78-00-38-4c.mid", kConverts, {0}},
    {"test-gm2-doggy-79-01-7b.mid", kConverts, {0}},
    {"test-gs-doggy-01-00-7b.mid", kConverts, {0}},
    {"test-illegal-message-all.mid", kUnreadable, {}},
    {"test-illegal-message-f1-xx.mid", kUnreadable, {}},
    {"test-illegal-message-f2-xx-xx.mid", kUnreadable, {}},
    {"test-illegal-message-f3-xx.mid", kUnreadable, {}},
    {"test-illegal-message-f4.mid", kUnreadable, {}},
    {"test-illegal-message-f5.mid", kUnreadable, {}},
    {"test-illegal-message-f6.mid", kUnreadable, {}},
    {"test-illegal-message-f8.mid", kUnreadable, {}},
    {"test-illegal-message-f9.mid", kUnreadable, {}},
    {"test-illegal-message-fa.mid", kUnreadable, {}},
    {"test-illegal-message-fb.mid", kUnreadable, {}},
    {"test-illegal-message-fc.mid", kUnreadable, {}},
    {"test-illegal-message-fd.mid", kUnreadable, {}},
    {"test-illegal-message-fe.mid", kUnreadable, {}},
    {"test-karaoke-kar.mid", kConverts, {0}},
    {"test-multichannel-chords-0.mid", kConverts, {0, 1, 2}},
    {"test-multichannel-chords-1.mid", kConverts, {0, 1, 2}},
    {"test-multichannel-chords-2.mid", kConverts, {0, 1, 2}},
    {"test-multichannel-chords-3.mid", kConverts, {0, 1}},
    {"test-non-midi-track.mid", kConverts, {0}},
    {"test-not-a-midi-file.mid", kUnreadable, {}},
    {"test-note-on-velocity.mid", kConverts, {0}},
    {"test-rpn-00-00-pitch-bend-range.mid", kConverts, {0}},
    {"test-rpn-00-01-fine-tuning.mid", kConverts, {0, 1}},
    {"test-rpn-00-02-coarse-tuning.mid", kConverts, {0}},
    {"test-rpn-00-05-modulation-depth-range.mid", kConverts, {0}},
    {"test-running-status-metaevent.mid", kUnreadable, {}},  // running status across a meta event
    {"test-running-status-sysex.mid", kUnreadable, {}},
    {"test-silence-all-notes-off.mid", kNoNotes, {}},
    {"test-silence-end-of-track.mid", kNoNotes, {}},
    {"test-silence-text-metaevent.mid", kNoNotes, {}},
    {"test-smpte-offset.mid", kConverts, {0}},
    {"test-sysex-7e-06-01-id-request.mid", kNoNotes, {}},
    {"test-sysex-7e-09-01-gm1-enable.mid", kNoNotes, {}},
    {"test-sysex-7e-09-02-gm-disable.mid", kNoNotes, {}},
    {"test-sysex-7e-09-03-gm2-enable.mid", kNoNotes, {}},
    {"test-sysex-7f-04-03-master-fine-tuning.mid", kConverts, {0}},
    {"test-sysex-7f-04-04-master-coarse-tuning.mid", kConverts, {0, 1, 2, 3, 4, 5, 6, 7}},
    {"test-sysex-7x-08-0x-scale-tuning.mid", kConverts, {0}},
    {"test-sysex-gs-40-1x-15-drum-part-change.mid", kConverts, {0, 9}},
    {"test-sysex-gs-40-1x-4x-scale-tuning.mid", kConverts, {0}},
    {"test-track-length.mid", kConverts, {0}},
    {"test-vlq-2-byte.mid", kConverts, {0}},
    {"test-vlq-3-byte.mid", kConverts, {0}},
    {"test-vlq-4-byte.mid", kConverts, {0}},
};

std::filesystem::path CoreEdgeFolder() { return std::filesystem::path(VEXA_CORPUS) / "smf-edge"; }

Bytes CoreEdgeBytes(const char* file) {
    const std::string text = corpustest::FileBytes(CoreEdgeFolder() / file);
    return Bytes(text.begin(), text.end());
}

bool CoreEdgeReloads(const Bytes& bytes) {
    CPhrasorDoc doc;
    CDataManager data(&doc);
    return data.Load(bytes.data(), DWORD(bytes.size()), nullptr) == 1;
}

// The channel's Convert fails: 0, and the caller's pointer, size and bytes as they were.
void CoreEdgeExpectRefused(CoreRun& run, Bytes& bytes, int channel, const Script& script) {
    ASSERT_TRUE(run.Prepare(channel, script));
    const Bytes before = bytes;
    BYTE* data = bytes.data();
    DWORD size = DWORD(bytes.size());
    EXPECT_EQ(run.core->Convert(&data, &size), 0) << "channel " << channel;
    EXPECT_EQ(data, bytes.data());
    EXPECT_EQ(size, bytes.size());
    EXPECT_EQ(bytes, before);
    EXPECT_NE(dynamic_cast<CPhrasorCoreImpl*>(run.core)->GetMessage(), "");
}

// The file's channels converted in turn. After each Convert the result loads
// again, the channels not converted yet keep their notes and (with
// `keyShift`) the converted ones keep theirs moved by it.
void CoreEdgeConvertAll(const CoreEdgeCase& c, const Script& script, const int* keyShift) {
    SCOPED_TRACE(c.file);
    const Bytes input = CoreEdgeBytes(c.file);
    CoreRun run;
    Bytes bytes = input;
    if (c.outcome == kUnreadable) {
        EXPECT_FALSE(CoreEdgeReloads(input));
        CoreEdgeExpectRefused(run, bytes, 0, script);
        EXPECT_EQ(dynamic_cast<CPhrasorCoreImpl*>(run.core)->GetMessage(), "Data Load Error!!");
        return;
    }
    const Smf in = ReadSmf(input);
    ASSERT_TRUE(in.ok);
    EXPECT_EQ(phrasorcoretest::ChannelsWithNotes(in), c.channels);
    if (c.outcome == kNoNotes) {
        for (int ch : {0, 9}) CoreEdgeExpectRefused(run, bytes, ch, script);
        return;
    }
    std::set<int> done;
    for (int ch : c.channels) {
        ASSERT_EQ(run.Convert(bytes, ch, script), 1) << "channel " << ch;
        done.insert(ch);
        EXPECT_TRUE(CoreEdgeReloads(bytes)) << "after channel " << ch;
        const Smf out = ReadSmf(bytes);
        ASSERT_TRUE(out.ok) << "after channel " << ch;
        const long shift = phrasorcoretest::ShiftOf(in, out, c.channels.front());
        EXPECT_TRUE(phrasorcoretest::IsWholeBars(in, shift)) << shift;
        for (int other = 0; other < 16; ++other) {
            if (!done.count(other)) {
                EXPECT_TRUE(SameNotes(in, out, other, shift)) << "after channel " << ch;
            } else if (keyShift) {
                EXPECT_TRUE(SameNotes(in, out, other, shift, *keyShift)) << "after channel " << ch;
            }
        }
    }
    // A channel without notes after them: refused, the last result kept.
    for (int ch = 0; ch < 16; ++ch)
        if (!done.count(ch)) {
            CoreEdgeExpectRefused(run, bytes, ch, script);
            break;
        }
}

TEST(CoreEdge, TheTableNamesEveryFileOfTheFolder) {
    std::vector<std::string> folder, table;
    for (const auto& path : corpustest::MidiFiles())
        if (path.parent_path().filename() == "smf-edge") folder.push_back(path.filename().string());
    for (const CoreEdgeCase& c : kCoreEdgeCases) table.push_back(c.file);
    EXPECT_EQ(table, folder);
    EXPECT_EQ(folder.size(), 69u);
}

TEST(CoreEdge, EveryFileWithTheKeyShiftScript) {
    const int up = 12;
    for (const CoreEdgeCase& c : kCoreEdgeCases) CoreEdgeConvertAll(c, phrasorcoretest::kUp12, &up);
}

// A script of the library, as the worker hands it over.
Script CoreEdgeLibraryScript(const char* name) {
    const AlgorithmScriptLibrary library;
    const AlgorithmScript* script = library.Find(CString(name));
    Script lines;
    if (script)
        for (int i = 0; i < script->GetLineCount(); ++i) lines.push_back(script->GetLine(i));
    return lines;
}

// A few files of each kind (a real script costs more than the key shift).
TEST(CoreEdge, SomeFilesWithALibraryScript) {
    const Script script = CoreEdgeLibraryScript("01_1");
    ASSERT_FALSE(script.empty());
    const std::set<std::string> some = {
        "test-2-tracks-type-1.mid",
        "test-control-00-20-bank-select.mid",
        "test-corrupt-file-extra-byte.mid",
        "test-corrupt-file-missing-byte.mid",
        "test-empty.mid",
        "test-karaoke-kar.mid",
        "test-multichannel-chords-3.mid",
        "test-non-midi-track.mid",
        "test-not-a-midi-file.mid",
        "test-sysex-7f-04-04-master-coarse-tuning.mid",
        "test-sysex-gs-40-1x-15-drum-part-change.mid",
    };
    int run = 0;
    for (const CoreEdgeCase& c : kCoreEdgeCases)
        if (some.count(c.file)) {
            CoreEdgeConvertAll(c, script, nullptr);
            ++run;
        }
    EXPECT_EQ(run, int(some.size()));
}

}  // namespace
