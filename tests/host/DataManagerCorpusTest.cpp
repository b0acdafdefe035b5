// Every MIDI file of the test corpus either loads or is refused without a
// trace, and every file that loads survives save and load with the same song.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "CorpusFiles.h"
#include "SmfFixtures.h"

using namespace smftest;

namespace {

Bytes ReadFile(const std::filesystem::path& path) {
    const std::string bytes = corpustest::FileBytes(path);
    return Bytes(bytes.begin(), bytes.end());
}

}  // namespace

TEST(SmfCorpus, EveryFileLoadsOrIsRefusedAndLoadedFilesRoundTrip) {
    const auto files = corpustest::MidiFiles();
    if (files.empty()) GTEST_SKIP() << "no corpus at " << VEXA_CORPUS;
    const Bytes previous = Smf1({{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, {0x00, 0xB5, 0x07, 0x64}});
    int loaded = 0;
    int refused = 0;
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        const Bytes bytes = ReadFile(path);
        Loaded song;
        ASSERT_EQ(song.Load(previous), 1);
        const std::string before = Describe(song.doc);
        if (!song.Load(bytes)) {
            ++refused;
            std::printf("refused: %s\n", name.c_str());
            EXPECT_EQ(Describe(song.doc), before) << name;
            EXPECT_EQ(song.doc.GetFileKind(), FILE_KIND_SMF1) << name;
            continue;
        }
        ++loaded;
        const Bytes saved = song.Save();
        ASSERT_FALSE(saved.empty()) << name;
        Loaded again;
        ASSERT_EQ(again.Load(saved), 1) << name;
        EXPECT_EQ(again.doc.GetFileKind(), song.doc.GetFileKind()) << name;
        EXPECT_EQ(Describe(again.doc), Describe(song.doc)) << name;
        // Written once, the bytes are stable.
        EXPECT_EQ(again.Save(), saved) << name;
    }
    std::printf("corpus: %d files loaded, %d refused\n", loaded, refused);
    EXPECT_GT(loaded, 0);
}

TEST(SmfCorpus, EveryTruncationOfACorpusSongIsHandled) {
    // Cutting a real song anywhere must never read past what is left.
    const auto files = corpustest::MidiFiles();
    if (files.empty()) GTEST_SKIP() << "no corpus at " << VEXA_CORPUS;
    const auto song = std::find_if(files.begin(), files.end(),
                                   [](const std::filesystem::path& p) { return p.filename() == "pitchBendTest.mid"; });
    if (song == files.end()) GTEST_SKIP() << "pitchBendTest.mid is not in the corpus";
    const Bytes bytes = ReadFile(*song);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        Loaded loaded;
        // Only the exact owner of the memory may be read: copy to a buffer of the cut size.
        std::unique_ptr<BYTE[]> part(new BYTE[cut ? cut : 1]);
        std::copy(bytes.begin(), bytes.begin() + long(cut), part.get());
        if (loaded.data.Load(part.get(), DWORD(cut), nullptr)) {
            EXPECT_FALSE(loaded.Save().empty()) << cut;
        }
    }
}
