#include "app/ConvertThread.h"

#include <QDebug>
#include <utility>

#include "app/CoreHolder.h"
#include "app/EngineText.h"
#include "app/VexaChSelector.h"
#include "data/AlgorithmScript.h"
#include "data/AlgorithmTable.h"
#include "services/PHConvPrm.h"

namespace {

constexpr int kChannelCount = 16;

// Kind and kind flag of the target groups, by 20-category.
struct RecordType {
    int kind;
    BYTE kindFlag;
};

RecordType RecordTypeOfCategory(LONG category20) {
    switch (category20) {
    case 10: return {2, 1};  // strings
    case 11: return {5, 1};  // gospel choir
    case 12: return {3, 1};  // brass
    case 13: return {3, 0};  // trumpet: the one target without the flag
    case 14: return {4, 1};  // tenor saxophone
    case 15: return {5, 1};  // pop vocal
    case 16: case 17: case 18: case 19: return {6, 1};  // drum kits
    default: return {0, 1};  // guitars, basses (0..9) and every other row
    }
}

// Ends the run's driver and document on every way out of the run.
class RunEnd {
public:
    explicit RunEnd(CoreHolder& core) : m_Core(core) {}
    ~RunEnd() { m_Core.End(); }
    RunEnd(const RunEnd&) = delete;
    RunEnd& operator=(const RunEnd&) = delete;

private:
    CoreHolder& m_Core;
};

}  // namespace

ConvertThread::ConvertThread(QObject* parent, std::shared_ptr<CoreHolder> coreHolder,
                             std::shared_ptr<CVexaChSelector> channelSelector)
    : QThread(parent), m_pCoreHolder(std::move(coreHolder)), m_pChannelSelector(std::move(channelSelector)) {}

ConvertThread::~ConvertThread() {
    // A thread object must not go while its run is under way.
    wait();
}

CString ConvertThread::GetAlgorithmId(int row) {
    return IsTargetRow(row) ? AlgorithmTable[row].algorithmId : CString();
}

void ConvertThread::SetRecordType(int row, CPHConvPrm* prm) {
    if (!prm) return;
    const LONG category20 = row >= 0 && row < kAlgorithmRowCount ? AlgorithmTable[row].category20 : -1;
    const RecordType type = RecordTypeOfCategory(category20);
    prm->Kind = type.kind;
    prm->Flag2 = type.kindFlag;
}

int ConvertThread::IsChannelOn(BYTE channel, bool* on) {
    return m_pChannelSelector ? m_pChannelSelector->IsChannelOn(channel, on) : CVexaChSelector::kNoObject;
}

int ConvertThread::GetTarget(BYTE channel, BYTE* bankMsb, BYTE* bankLsb, BYTE* program, int* row, bool* option) {
    return m_pChannelSelector ? m_pChannelSelector->GetTarget(channel, bankMsb, bankLsb, program, row, option)
                              : CVexaChSelector::kNoObject;
}

void ConvertThread::run() {
    m_Success = false;
    m_Messages.clear();
    if (!m_pCoreHolder) {
        m_Messages << QString::fromLatin1(kConversionError);
        return;
    }
    CoreHolder& core = *m_pCoreHolder;
    core.Begin();
    const RunEnd runEnd(core);
    core.SetResolution(m_Ticks);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (!ConvertChannel(core, BYTE(channel))) {
            // What converted so far stays; the run says it stopped.
            m_Messages << QString::fromLatin1(kConversionError);
            return;
        }
    }
    if (!m_Success) m_Messages << QString::fromLatin1(kNoProcessChannel);
}

bool ConvertThread::ConvertChannel(CoreHolder& core, BYTE channel) {
    CPHConvPrm* prm = core.GetConvPrm();
    if (!prm) return false;
    // Every channel's record carries the resolution, also a channel that is off.
    prm->Resolution = m_Ticks;
    bool on = false;
    if (IsChannelOn(channel, &on) < 0) return false;
    if (!on) return true;

    BYTE bankMsb = 0xFF, bankLsb = 0xFF, program = 0xFF;
    int row = kAlgorithmRowCount;
    bool option = false;
    if (GetTarget(channel, &bankMsb, &bankLsb, &program, &row, &option) < 0) return false;
    prm->Channel = channel;
    prm->Flag1 = 1;
    prm->BankMsb = bankMsb;
    prm->BankLsb = bankLsb;
    prm->Program = program;
    prm->PbCtrl = option ? 1 : 0;
    SetRecordType(row, prm);
    core.ClearScriptLines();

    const CString algorithmId = GetAlgorithmId(row);
    if (algorithmId.IsEmpty())
        qDebug().noquote() << QStringLiteral("channel %1: row %2 is no conversion target").arg(channel + 1).arg(row);
    else
        qDebug().noquote() << FromEngineText(algorithmId);
    if (!ConvertWithScript(core, algorithmId)) m_Messages << QString::fromLatin1(kAlgorithmLoadError);
    return true;
}

bool ConvertThread::ConvertWithScript(CoreHolder& core, const CString& algorithmId) {
    if (algorithmId.IsEmpty()) return false;
    // Built for this channel only: the engine keeps its own copy of the lines.
    const AlgorithmScriptLibrary library;
    const AlgorithmScript* script = library.Find(algorithmId);
    if (!script) return false;
    script->HandOver([&core](const char* line, int length) { core.AddScriptLine(line, LONG(length)); });
    qDebug().noquote() << QStringLiteral("%1 - %2 lines").arg(FromEngineText(algorithmId)).arg(core.GetScriptLineCount());
    if (core.Convert(m_SongBytes) < 0)
        m_Messages << QString::fromLatin1(kConversionError);
    else
        m_Success = true;
    return true;
}
