// The engine's fuzz targets as replay tools: each input replays to the same
// digest alone, among the others in one process (the replay loop, and the
// state a fuzz run's process carries from one input to the next) and read
// from standard input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ReplayCase {
    const char* tool;
    std::vector<std::string> inputs;
};

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// The tool's standard output and its exit status.
std::pair<std::string, int> RunTool(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {"", -1};
    std::string out;
    char chunk[256];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, got);
    return {out, pclose(pipe)};
}

std::vector<std::string> FilesOf(const std::string& dir) {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file()) files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<ReplayCase> Cases() {
    const std::string seeds = VEXA_SOURCE_DIR "/tools/fuzz/";
    const std::string edge = VEXA_CORPUS "/smf-edge/test-";
    std::vector<std::string> songs;
    for (const char* name : {"c-major-scale", "control-00-20-bank-select", "2-tracks-type-1", "multichannel-chords-3",
                             "smpte-offset"})
        songs.push_back(edge + name + ".mid");
    return {{VEXA_FUZZ_RUL_LOAD, FilesOf(seeds + "rul-seeds")},
            {VEXA_FUZZ_EXP_LOAD, FilesOf(seeds + "exp-seeds")},
            {VEXA_FUZZ_CORE_CONVERT, songs}};
}

TEST(ReplayTools, EachInputGivesTheSameDigestAloneInALoopAndFromStandardInput) {
    for (const ReplayCase& c : Cases()) {
        SCOPED_TRACE(c.tool);
        ASSERT_GE(c.inputs.size(), 3u);
        std::string all;
        for (const std::string& in : c.inputs) all += " " + Quoted(in);
        // The loop twice over, so every input also runs after every other.
        const auto [loop, loopStatus] = RunTool(Quoted(c.tool) + " -d" + all + all);
        ASSERT_EQ(loopStatus, 0);
        std::string alone, piped;
        for (const std::string& in : c.inputs) {
            const auto [one, oneStatus] = RunTool(Quoted(c.tool) + " -d " + Quoted(in));
            EXPECT_EQ(oneStatus, 0) << in;
            EXPECT_EQ(one.size(), 17u) << in;  // one digest line
            alone += one;
            const auto [fromStdin, stdinStatus] = RunTool(Quoted(c.tool) + " -d < " + Quoted(in));
            EXPECT_EQ(stdinStatus, 0) << in;
            piped += fromStdin;
        }
        EXPECT_EQ(loop, alone + alone);
        EXPECT_EQ(piped, alone);
    }
}

TEST(ReplayTools, AnInputThatCannotBeReadFailsTheRun) {
    for (const ReplayCase& c : Cases()) {
        SCOPED_TRACE(c.tool);
        const auto [out, status] = RunTool(Quoted(c.tool) + " " + Quoted(c.inputs.front()) + " /nonexistent/input");
        EXPECT_NE(status, 0);
    }
}

}  // namespace
