// Every MIDI file of the test corpus loads into the song model or is refused
// with a failure code; what loads is written and read back to the same song,
// and the engine's reader takes the written bytes unless the window refuses
// the song at opening anyway.
#include <gtest/gtest.h>

#include <QByteArray>
#include <algorithm>
#include <filesystem>

#include "CorpusFiles.h"
#include "SmfTestBytes.h"
#include "host/DataManager.h"

using namespace smfmodel;

namespace {

QByteArray ReadSmfFile(const std::filesystem::path& path) {
    const std::string bytes = corpustest::FileBytes(path);
    return QByteArray(bytes.data(), int(bytes.size()));
}

// The opening of a song refuses format 2 and a format 0 file of several
// track chunks ("format 0" means one track).
bool RefusedAtOpening(const CSmf& smf) {
    return smf.GetHead().Format == 2 || (smf.GetHead().Format == 0 && smf.GetTracks().size() > 1);
}

bool EngineLoads(const QByteArray& bytes) {
    CPhrasorDoc doc;
    CDataManager data(&doc);
    SmfLayout layout;
    return data.Load(reinterpret_cast<const BYTE*>(bytes.constData()), DWORD(bytes.size()), &layout) == 1;
}

}  // namespace

TEST(SmfModelCorpus, EveryFileLoadsOrFailsAndWhatLoadsRoundTrips) {
    const auto files = corpustest::MidiFiles();
    if (files.empty()) GTEST_SKIP() << "no corpus at " << VEXA_CORPUS;
    int loaded = 0, refused = 0, engine = 0;
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        CSmf smf;
        const int rc = smf.FromByteArray(ReadSmfFile(path));
        if (rc != 0) {
            EXPECT_LT(rc, 0) << name;
            ++refused;
            std::printf("refused: %s (0x%08X)\n", name.c_str(), unsigned(rc));
            continue;
        }
        if (smf.GetTracks().empty()) {
            ++refused;
            std::printf("no tracks: %s\n", name.c_str());
            continue;
        }
        ++loaded;
        QByteArray written;
        ASSERT_EQ(smf.ToByteArray(written), 0) << name;
        CSmf again;
        ASSERT_EQ(again.FromByteArray(written), 0) << name;
        EXPECT_EQ(Describe(again), Describe(smf)) << name;
        EXPECT_EQ(again.GetZqihBody(), smf.GetZqihBody()) << name;
        EXPECT_EQ(again.GetZqkmBody(), smf.GetZqkmBody()) << name;
        // Written once, the bytes are stable.
        QByteArray twice;
        ASSERT_EQ(again.ToByteArray(twice), 0) << name;
        EXPECT_EQ(twice, written) << name;
        if (RefusedAtOpening(smf)) {
            std::printf("refused at opening: %s (format %d, %zu tracks)\n", name.c_str(), smf.GetHead().Format,
                        smf.GetTracks().size());
            continue;
        }
        EXPECT_TRUE(EngineLoads(written)) << name;
        ++engine;
    }
    std::printf("corpus: %d files loaded (%d also by the engine), %d refused\n", loaded, engine, refused);
    EXPECT_GT(loaded, 0);
}
