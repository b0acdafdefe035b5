#pragma once
// A stand-in for the engine's core in the user interface's tests: it records
// every call, keeps a real parameter record while it has a driver, converts
// by appending a mark for the channel (so chaining shows in the bytes), and
// fails or withholds its record where a test asks.
#include <QByteArray>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QThread>
#include <QtGlobal>
#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "services/PHConvPrm.h"
#include "driver/PhrasorCoreIF.h"

class FakePhrasorCore : public CPhrasorCoreIF {
public:
    // What the record held, and what the core was given, at one Convert.
    struct ConvertCall {
        QByteArray input;
        const BYTE* inputAddress = nullptr;
        QByteArray output;  // empty when the conversion failed
        int kind = 0;
        int flag1 = 0, flag2 = 0, channel = 0, resolution = 0;
        int bankMsb = 0, bankLsb = 0, program = 0, pbCtrl = 0;
        std::vector<std::string> lines;  // the fed texts up to their NUL
        std::vector<LONG> lengths;       // the length each line was fed with
    };

    // The bytes a successful Convert of the channel gives for these input bytes.
    static QByteArray Converted(const QByteArray& input, int channel) {
        return input + QByteArray("c") + char('0' + channel % 10);
    }

    ~FakePhrasorCore() override { delete[] m_Output; }

    void CreateProc() override {
        Log("CreateProc");
        m_Prm = std::make_unique<CPHConvPrm>();
        m_Fed.clear();
    }
    void DeleteProc() override {
        Log("DeleteProc");
        if (m_Prm) m_ResolutionsSeen.push_back(m_Prm->Resolution);
        m_Prm.reset();
    }
    void InitProc(CKPSManager*, int) override { Log("InitProc"); }
    void ResetPortName(int) override { Log("ResetPortName"); }
    void CreateDoc() override {
        Log("CreateDoc");
        m_HasDoc = true;
    }
    void DeleteDoc() override {
        Log("DeleteDoc");
        m_HasDoc = false;
    }
    void SetDoc(CPhrasorDoc*) override { Log("SetDoc"); }
    int CheckLibFiles() override {
        Log("CheckLibFiles");
        return m_LibFilesAnswer;
    }
    int Convert(BYTE** bytes, DWORD* size) override {
        Log("Convert");
        if (m_ConvertDelayMs > 0) QThread::msleep(unsigned(m_ConvertDelayMs));
        ConvertCall call;
        call.input = QByteArray(reinterpret_cast<const char*>(*bytes), int(*size));
        call.inputAddress = *bytes;
        if (m_Prm) {
            call.kind = m_Prm->Kind;
            call.flag1 = m_Prm->Flag1;
            call.flag2 = m_Prm->Flag2;
            call.channel = m_Prm->Channel;
            call.resolution = m_Prm->Resolution;
            call.bankMsb = m_Prm->BankMsb;
            call.bankLsb = m_Prm->BankLsb;
            call.program = m_Prm->Program;
            call.pbCtrl = m_Prm->PbCtrl;
            for (const auto& line : m_Fed) {
                call.lines.push_back(std::string(line.first.c_str()));
                call.lengths.push_back(line.second);
            }
        }
        const bool fail = m_FailAll || (m_Prm && m_FailChannels.count(m_Prm->Channel) != 0);
        if (!fail) {
            call.output = m_Echo ? call.input : Converted(call.input, call.channel);
            // A new buffer each time, the old one freed: a caller that kept
            // the old pointer reads freed memory.
            delete[] m_Output;
            m_Output = new BYTE[size_t(call.output.size())];
            std::copy(call.output.constData(), call.output.constData() + call.output.size(), m_Output);
            *bytes = m_Output;
            *size = DWORD(call.output.size());
        }
        m_Converts.push_back(call);
        return fail ? 0 : 1;
    }
    void SetResolution(LONG ticks) override {
        Log("SetResolution");
        m_Resolutions.push_back(ticks);
    }
    CPHConvPrm* GetConvPrm() override {
        Log("GetConvPrm");
        const int call = m_ConvPrmCalls++;
        if (!m_Prm || !m_HasDoc || call == m_NullConvPrmAtCall) return nullptr;
        // What the previous channel left in the record, then a mark that
        // shows whether this channel writes its own resolution.
        if (call > 0) m_ResolutionsSeen.push_back(m_Prm->Resolution);
        m_Prm->Resolution = -1;
        return m_Prm.get();
    }
    void ClearScriptLines() override {
        Log("ClearScriptLines");
        m_Fed.clear();
        if (m_Prm) m_Prm->ClearLines();
    }
    void AddScriptLine(const char* text, LONG length) override {
        m_Fed.emplace_back(std::string(text, size_t(length)), length);
        if (m_Prm) m_Prm->AddLine(text, int(length));
    }
    int GetScriptLineCount() override {
        Log("GetScriptLineCount");
        return m_Prm ? m_Prm->GetLineCount() : 0;
    }

    // The calls in order (AddScriptLine left out: see the Convert records).
    QStringList Calls() const { return m_Calls; }
    // The calls of one name.
    int CountOf(const QString& name) const { return m_Calls.count(name); }

    std::vector<ConvertCall> m_Converts;
    std::vector<LONG> m_Resolutions;      // SetResolution's arguments
    std::vector<int> m_ResolutionsSeen;   // the record's resolution as each channel left it
    std::set<int> m_FailChannels;         // Convert fails for these channels
    bool m_FailAll = false;
    int m_NullConvPrmAtCall = -1;         // that GetConvPrm call (0-based) answers null
    int m_LibFilesAnswer = 1;
    int m_ConvertDelayMs = 0;             // each Convert takes this long
    bool m_Echo = false;                  // a conversion gives its input back (a song that saves)

private:
    void Log(const char* name) { m_Calls << QString::fromLatin1(name); }

    QStringList m_Calls;
    std::unique_ptr<CPHConvPrm> m_Prm;
    bool m_HasDoc = false;
    int m_ConvPrmCalls = 0;
    std::vector<std::pair<std::string, LONG>> m_Fed;
    BYTE* m_Output = nullptr;
};

// Collects what the program writes to its debug log (from any thread) while it lives.
class DebugLogCapture {
public:
    DebugLogCapture() {
        Lines().clear();
        m_Previous = qInstallMessageHandler(&DebugLogCapture::Handle);
    }
    ~DebugLogCapture() { qInstallMessageHandler(m_Previous); }
    DebugLogCapture(const DebugLogCapture&) = delete;
    DebugLogCapture& operator=(const DebugLogCapture&) = delete;

    QStringList Taken() const {
        QMutexLocker lock(&Mutex());
        return Lines();
    }

private:
    static void Handle(QtMsgType, const QMessageLogContext&, const QString& text) {
        QMutexLocker lock(&Mutex());
        Lines() << text;
    }
    static QStringList& Lines() {
        static QStringList lines;
        return lines;
    }
    static QMutex& Mutex() {
        static QMutex mutex;
        return mutex;
    }

    QtMessageHandler m_Previous = nullptr;
};
