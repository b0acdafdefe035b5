// The conversion worker over the engine's own core, as the window converts a
// song: a corpus song with two channels switched on to a target whose
// algorithm only sets the voice.
#include <gtest/gtest.h>

#include <QFile>
#include <memory>

#include "app/ConvertThread.h"
#include "app/CoreHolder.h"
#include "app/VexaChSelector.h"
#include "data/AlgorithmTable.h"
#include "data/FilledVoiceTables.h"
#include "data/VexaChInfo.h"
#include "data/VexaVoiceCatalog.h"
#include "tests/driver/PhrasorCoreSmf.h"

namespace {

// The first target row whose algorithm is the given script, or -1.
int EngineRowOfAlgorithm(const char* id) {
    for (int row = 0; row < kFirstGroupRow; ++row)
        if (AlgorithmTable[row].algorithmId == id) return row;
    return -1;
}

}  // namespace

TEST(ConvertThreadEngine, ASongConvertsThroughTheEnginesCore) {
    FillVoiceTables();
    const int row = EngineRowOfAlgorithm("Empty");
    ASSERT_GE(row, 0);
    QFile file(QStringLiteral(VEXA_CORPUS "/songs/bach_846.mid"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray input = file.readAll();

    auto holder = std::make_shared<CoreHolder>();  // CreatePhrasorCore
    ASSERT_TRUE(holder->HasCore());
    auto selector = std::make_shared<CVexaChSelector>();
    for (int channel : {0, 2}) {
        CVexaChInfo* info = selector->GetCatalog()->GetChannel(UINT(channel));
        info->m_On = 1;
        info->m_SelectedRow = row;
        info->m_TargetBankMsb = 8;
        info->m_TargetBankLsb = 0;
        info->m_TargetProgram = BYTE(66 + channel);
    }
    ConvertThread worker(nullptr, holder, selector);
    worker.m_SongBytes = input;
    worker.start();
    worker.wait();
    EXPECT_TRUE(worker.m_Success);
    EXPECT_TRUE(worker.m_Messages.isEmpty()) << worker.m_Messages.join("; ").toStdString();

    using namespace phrasorcoretest;
    const Smf in = ReadSmf(Bytes(input.begin(), input.end()));
    const Smf out = ReadSmf(Bytes(worker.m_SongBytes.begin(), worker.m_SongBytes.end()));
    ASSERT_TRUE(in.ok && out.ok);
    const long shift = ShiftOf(in, out, 3);
    EXPECT_TRUE(IsWholeBars(in, shift)) << shift;
    for (int channel : {0, 2, 3, 4, 5}) EXPECT_TRUE(SameNotes(in, out, channel, shift));
    // Each converted channel gets its target voice before its first note.
    for (int channel : {0, 2}) EXPECT_TRUE(TargetVoiceFirst(out, channel, 8, 0, 66 + channel));
}
