#pragma once
// The script harness: one channel of a song converted through the core the way
// the user interface's conversion worker converts it (a core made with a module
// handle, a driver and a document for the run, the resolution, the channel's
// parameters, the script's lines with their lengths, Convert), the engine's
// random generator seeded, and the channel's output notes read back, each
// paired with the input note it comes from, the articulation code the rule run
// annotated on that note and the classes of the expressions the run left on it.
//
// The annotations are the debug carriers of the rule run, which stay in the
// processing object's expression data (the channel pipeline's copy leaves them
// out); the harness reads them there once Convert has returned.
//
// Needs the CP932 execution character set (the code label below).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "data/AlgorithmScript.h"
#include "driver/ArticProc.h"
#include "services/PHConvPrm.h"
#include "driver/PhrasorCore.h"
#include "driver/PhrasorProc.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/expressions/ArticExpDur.h"
#include "engine/expressions/ArticExpEvnt.h"
#include "engine/expressions/ArticExpStresVelo.h"
#include "engine/expressions/ArticExpTime.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "tests/driver/PhrasorCoreFixture.h"

namespace scriptharness {

using phrasorcoretest::Bytes;
using phrasorcoretest::Note;
using phrasorcoretest::Smf;

// A script as the engine is handed it: CP932 lines without line ends.
using Script = std::vector<std::string>;

// The label under which "ExecVexa" annotates a note's articulation code.
inline const char* const kCodeLabel = "奏法";
static_assert(sizeof("奏法") == 5, "the harness needs the CP932 execution character set");
constexpr LONG kNoCode = -1;
// The rule run's write-back classes: start, duration, key, velocity.
inline const char* const kTimeWriteBack = "CArticExpTimeSft";
inline const char* const kDurWriteBack = "CArticExpDurAbs";
inline const char* const kKeyWriteBack = "CArticExpKeySft";
inline const char* const kVeloWriteBack = "CArticExpStresVeloNoteAbs";

// The embedded script of that name; empty when the library has none.
inline Script LibraryScript(const char* name) {
    Script lines;
    const AlgorithmScriptLibrary library;
    if (const AlgorithmScript* script = library.Find(CString(name)))
        script->HandOver([&](const char* line, int) { lines.emplace_back(line); });
    return lines;
}

// A script file written by make_scripts (UTF-8), as the build embeds it: one
// CP932 line per line of the file. Empty when the file cannot be read.
inline Script ScriptFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    Script lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(Utf8ToCp932(line).str());
    }
    return lines;
}

// The tests' own script: the skeleton alone with the zones of "01_1"
// (tests/fixtures/skeleton_script), which no family script changes.
inline Script SkeletonScript() { return ScriptFile(std::string(VEXA_FIXTURES) + "/skeleton_script/01_1.rul"); }

// What the worker writes into the channel's parameters for its target.
struct Target {
    BYTE bankMsb = 8;
    BYTE bankLsb = 0;
    BYTE program = 25;
    int kind = 0;       // 0 guitars and basses, 2 strings, 3 brass, 4 tenor sax, 5 voices, 6 drum kits
    BYTE kindFlag = 1;  // 0 only for the trumpet
    bool bendOption = false;
    LONG ticks = 480;   // the beat resolution
};

// A drum-kit target: bank 127/8 and the kit's program, kind 6.
inline Target DrumKit(BYTE program) {
    Target t;
    t.bankMsb = 127;
    t.bankLsb = 8;
    t.program = program;
    t.kind = 6;
    return t;
}

// One output note of the channel.
struct HarnessNote {
    Note out;                // as written (ticks of the output file)
    bool fromInput = false;  // paired with a note of the input
    Note in;                 // that input note in the same ticks (the song's shift included)
    LONG code = kNoCode;     // the value of the last code annotation
    std::vector<std::pair<std::string, LONG>> annotations;  // every debug annotation: label (CP932), value
    std::vector<std::string> expressions;                   // classes of the run's expressions on the input note
    int channel = -1;                                       // the output channel (a string's own channel when split)

    bool Has(const char* expressionClass) const {
        return std::find(expressions.begin(), expressions.end(), expressionClass) != expressions.end();
    }
    // The value of the last annotation under `label` (CP932); `none` without one.
    LONG Annotation(const char* label, LONG none = kNoCode) const {
        LONG value = none;
        for (const auto& a : annotations)
            if (a.first == label) value = a.second;
        return value;
    }
};

struct Run {
    int result = 0;       // the core's Convert: 1 converted
    std::string message;  // why it did not
    Bytes output;         // the converted song (the input when the channel failed)
    Smf in, out;
    long shift = 0;  // ticks the converted song starts later (whole bars)
    std::vector<HarnessNote> notes;  // the channel's output notes in (start, key) order; none when it failed
    int inputNotes = 0;              // the channel's notes in the rule run
    int droppedNotes = 0;            // of them, those without an output note
    // The expression classes the rule run left on each input note without an
    // output note (a tie or a deletion accounts for it), and the notes the run's
    // creation expressions add.
    std::vector<std::vector<std::string>> droppedExpressions;
    int createdNotes = 0;
    // The channels besides the part's own that hold output notes and held no
    // note in the input: those the split per string gave the part's strings.
    std::vector<int> stringChannels;
};

namespace detail {

// What the rule run left on one work note.
struct NoteMarks {
    std::vector<std::pair<std::string, LONG>> annotations;
    std::vector<std::string> expressions;
    INT64 timeShift = 0;  // work ticks
    int keyShift = 0;
    INT64 dur = -1;  // a duration or velocity written back (-1: none)
    int velo = -1;
};

// The work note numbers of an expression's note list: the first "{...}" of its dump.
inline std::vector<ULONG> ExpressionNotes(CArticExpEvnt* e) {
    CStringList dump;
    std::vector<ULONG> numbers;
    if (e->GetStrList(dump) != 0 || dump.IsEmpty()) return numbers;
    const std::string text = dump.GetHead().str();
    const size_t open = text.find('{');
    const size_t close = text.find('}', open);
    if (open == std::string::npos || close == std::string::npos) return numbers;
    static const std::regex number(":w([0-9]+)");
    const std::string list = text.substr(open, close - open);
    for (std::sregex_iterator i(list.begin(), list.end(), number), end; i != end; ++i)
        numbers.push_back(ULONG(std::stoul((*i)[1])));
    return numbers;
}

// Every event of a track / block / event tree (work or expression data).
template <class Tree, class Visit>
void ForEachEvent(Tree* tree, Visit visit) {
    for (POSITION t = tree ? tree->GetHeadPos() : nullptr; t;) {
        auto* trk = tree->GetNext(t);
        for (POSITION b = trk ? trk->GetHeadPos() : nullptr; b;) {
            auto* blk = trk->GetNext(b);
            for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;)
                if (auto* e = blk->GetNext(p)) visit(e);
        }
    }
}

inline std::map<ULONG, NoteMarks> MarksByNote(CArticExp* exp) {
    std::map<ULONG, NoteMarks> marks;
    ForEachEvent(exp, [&](CArticExpEvnt* e) {
        for (ULONG no : ExpressionNotes(e)) {
            NoteMarks& m = marks[no];
            m.expressions.push_back(e->GetClassNameA());
            if (auto* debug = dynamic_cast<CArticExpDebug_i2*>(e))
                m.annotations.emplace_back(debug->GetInfo().str(), debug->GetValue());
            if (auto* time = dynamic_cast<CArticExpTimeSft*>(e)) m.timeShift += time->GetTime();
            if (auto* key = dynamic_cast<CArticExpKeySft*>(e)) m.keyShift += key->GetShift();
            if (auto* dur = dynamic_cast<CArticExpDurAbs*>(e)) m.dur = INT64(dur->GetDur());
            if (auto* velo = dynamic_cast<CArticExpStresVeloNoteAbs*>(e)) m.velo = velo->GetVelo();
        }
    });
    return marks;
}

// The notes of the rule run's work data.
inline std::vector<const CArticWrkEvnt*> WorkNotes(CArticWrk* wrk) {
    std::vector<const CArticWrkEvnt*> notes;
    ForEachEvent(wrk, [&](const CArticWrkEvnt* e) {
        if (e->GetStatus() == 0x90) notes.push_back(e);
    });
    return notes;
}

// A work note in the output file's ticks (the engine works in 480 per quarter).
inline Note InOutputTicks(const CArticWrkEvnt* e, WORD division, long shift) {
    return {DWORD(e->GetTime() * division / 480 + shift), e->GetPost1(), e->GetPost2(),
            DWORD(e->GetGateTime() * division / 480)};
}

// The song-wide shift (0 up to eight bars) under which most work notes find an
// output note of their start and key.
inline long BestShift(const std::vector<const CArticWrkEvnt*>& work, const std::vector<Note>& out, const Smf& in,
                      WORD division) {
    std::multiset<std::pair<DWORD, int>> starts;
    for (const Note& n : out) starts.insert({n.start, n.key});
    const long bar = long(phrasorcoretest::BarTicks(in)) * division / (in.division ? in.division : 1);
    long best = 0;
    size_t bestHits = 0;
    for (int bars = 0; bars <= 8; ++bars) {
        size_t hits = 0;
        for (const CArticWrkEvnt* e : work) {
            const Note n = InOutputTicks(e, division, bars * bar);
            hits += starts.count({n.start, n.key}) ? 1 : 0;
        }
        if (hits > bestHits) {
            bestHits = hits;
            best = bars * bar;
        }
    }
    return best;
}

// The channel's output notes of the run, each paired with the work note it
// comes from and what the rule run left on that note.
inline void PairNotes(Run& run, int channel, CArticProc* proc) {
    // The part's own channel and the channels its strings took.
    std::vector<Note> out = phrasorcoretest::NotesOf(run.out, channel);
    std::vector<int> outChannel(out.size(), channel);
    for (int ch = 0; ch < 16; ++ch) {
        if (ch == channel || !phrasorcoretest::NotesOf(run.in, ch).empty()) continue;
        const std::vector<Note> string = phrasorcoretest::NotesOf(run.out, ch);
        if (string.empty()) continue;
        run.stringChannels.push_back(ch);
        out.insert(out.end(), string.begin(), string.end());
        outChannel.insert(outChannel.end(), string.size(), ch);
    }
    for (size_t k = 0; k < out.size(); ++k) {
        run.notes.emplace_back();
        run.notes.back().out = out[k];
        run.notes.back().channel = outChannel[k];
    }
    if (!proc || !run.out.ok) return;
    const WORD division = run.out.division;
    const std::vector<const CArticWrkEvnt*> work = WorkNotes(proc->GetWrk());
    const std::map<ULONG, NoteMarks> marks = MarksByNote(proc->GetExp());
    run.shift = BestShift(work, out, run.in, division);
    run.inputNotes = int(work.size());
    ForEachEvent(proc->GetExp(), [&](CArticExpEvnt* e) {
        if (dynamic_cast<CArticExpCreNote*>(e)) run.createdNotes += int(ExpressionNotes(e).size());
    });
    std::map<std::pair<DWORD, int>, std::vector<size_t>> at;  // output notes by start and key
    for (size_t k = 0; k < out.size(); ++k) at[{out[k].start, out[k].key}].push_back(k);
    std::vector<bool> taken(out.size(), false);
    const NoteMarks none;
    const std::vector<size_t> noNotes;
    for (const CArticWrkEvnt* e : work) {
        const auto m = marks.find(e->GetEvntNo());
        const NoteMarks& mark = m != marks.end() ? m->second : none;
        // A deleted note has no output note to pair with.
        if (std::find(mark.expressions.begin(), mark.expressions.end(), "CArticExpDel") != mark.expressions.end()) {
            ++run.droppedNotes;
            run.droppedExpressions.push_back(mark.expressions);
            continue;
        }
        const Note in = InOutputTicks(e, division, run.shift);
        // Where the run's time and key shifts put it; among the output notes
        // there, one of the length and velocity the run gave it comes first.
        const auto there = at.find({DWORD(INT64(in.start) + mark.timeShift * division / 480), in.key + mark.keyShift});
        const DWORD length = mark.dur >= 0 ? DWORD(mark.dur * division / 480) : in.length;
        const int velocity = mark.velo >= 0 ? mark.velo : in.velocity;
        size_t found = out.size();
        int best = -1;
        for (size_t k : there != at.end() ? there->second : noNotes) {
            if (taken[k]) continue;
            const int score = (out[k].length == length ? 2 : 0) + (out[k].velocity == velocity ? 1 : 0);
            if (score > best) {
                best = score;
                found = k;
            }
        }
        if (found == out.size()) {
            ++run.droppedNotes;
            run.droppedExpressions.push_back(mark.expressions);
            continue;
        }
        taken[found] = true;
        HarnessNote& note = run.notes[found];
        note.fromInput = true;
        note.in = in;
        note.annotations = mark.annotations;
        note.expressions = mark.expressions;
        for (const auto& a : mark.annotations)
            if (a.first == kCodeLabel) note.code = a.second;
    }
}

}  // namespace detail

// Converts `channel` of `song` with `script` for `target`, the random
// generator seeded with `seed` just before the conversion.
inline Run ConvertChannel(const Bytes& song, int channel, const Script& script, const Target& target = {},
                          uint32_t seed = 1) {
    Run run;
    run.output = song;
    run.in = phrasorcoretest::ReadSmf(song);
    const phrasorcoretest::ProgramFolderOverride folder(phrasorcoretest::DataFolder());
    CPhrasorCoreIF* core = CreatePhrasorCore(phrasorcoretest::ModuleHandle());
    if (!core) {
        run.message = "no core";
        return run;
    }
    // The worker's run: driver and document, the resolution, the channel.
    core->CreateProc();
    core->CreateDoc();
    core->SetResolution(target.ticks);
    if (CPHConvPrm* prm = core->GetConvPrm()) {
        prm->Resolution = target.ticks;
        prm->Channel = BYTE(channel);
        prm->Flag1 = 1;
        prm->BankMsb = target.bankMsb;
        prm->BankLsb = target.bankLsb;
        prm->Program = target.program;
        prm->PbCtrl = target.bendOption ? 1 : 0;
        prm->Kind = target.kind;
        prm->Flag2 = target.kindFlag;
        core->ClearScriptLines();
        for (const std::string& line : script) core->AddScriptLine(line.c_str(), LONG(line.size() + 1));
        // The processing object and the pipeline seed from the clock when made.
        SeedRandom(seed);
        BYTE* bytes = run.output.data();
        DWORD size = DWORD(run.output.size());
        run.result = core->Convert(&bytes, &size);
        if (run.result == 1) run.output.assign(bytes, bytes + size);
    } else {
        run.message = "no conversion parameters";
    }
    auto* impl = dynamic_cast<CPhrasorCoreImpl*>(core);
    if (run.result != 1 && impl) run.message = impl->GetMessage().str();

    run.out = phrasorcoretest::ReadSmf(run.output);
    if (run.result == 1 && impl && impl->GetProc()) detail::PairNotes(run, channel, impl->GetProc()->GetArticProc());
    // The string channels' notes among the part's own, in (start, key) order.
    std::stable_sort(run.notes.begin(), run.notes.end(), [](const HarnessNote& a, const HarnessNote& b) {
        return std::tie(a.out.start, a.out.key) < std::tie(b.out.start, b.out.key);
    });
    core->DeleteProc();
    core->DeleteDoc();
    DeletePhrasorCore(core);
    return run;
}

}  // namespace scriptharness
