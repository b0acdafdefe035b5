#pragma once
// One conversion of a whole song off the user-interface thread. The owner
// writes the song bytes and the ticks while the thread is stopped, starts it,
// and after finished() (and a wait) reads the bytes, the success flag and the
// messages. Every channel switched on is converted in channel order, each
// from the output of the last channel that converted.
#include <QByteArray>
#include <QStringList>
#include <QThread>
#include <memory>

#include "platform/String.h"
#include "platform/Types.h"

class CoreHolder;
class CPHConvPrm;
class CVexaChSelector;

class ConvertThread : public QThread {
    Q_OBJECT
public:
    static constexpr const char* kConversionError = "Conversion Error!!";
    static constexpr const char* kAlgorithmLoadError = "Algorithm Load Error!!";
    static constexpr const char* kNoProcessChannel = "There is no process channel";

    ConvertThread(QObject* parent, std::shared_ptr<CoreHolder> coreHolder,
                  std::shared_ptr<CVexaChSelector> channelSelector);
    // Waits for a run under way to end.
    ~ConvertThread() override;

    // The algorithm id (script name) of a target row; empty for a row that is
    // no conversion target (outside 0..189).
    static CString GetAlgorithmId(int row);
    // The target's kind and kind flag, by the row's 20-category: kind 0 and
    // flag 1 for a row outside the table or a category without its own kind.
    static void SetRecordType(int row, CPHConvPrm* prm);

    QByteArray m_SongBytes;      // the input before a run, the converted song after it
    LONG m_Ticks = 480;          // beat-resolution ticks
    LONG m_FolderRun = 0;        // 1 while a folder is converted (the owner's own)
    bool m_Success = false;      // a channel converted without error
    QStringList m_Messages;      // the run's error messages, in order

protected:
    void run() override;
    // The channel selector's answers, read on this thread during a run.
    virtual int IsChannelOn(BYTE channel, bool* on);
    virtual int GetTarget(BYTE channel, BYTE* bankMsb, BYTE* bankLsb, BYTE* program, int* row, bool* option);

private:
    // Fills the parameters of one channel and, when it is on, converts it.
    // False when the run cannot go on (no parameters, no answer from the selector).
    bool ConvertChannel(CoreHolder& core, BYTE channel);
    // Feeds the script of the id to the engine and converts the song bytes;
    // false when no script has the id.
    bool ConvertWithScript(CoreHolder& core, const CString& algorithmId);

    std::shared_ptr<CoreHolder> m_pCoreHolder;
    std::shared_ptr<CVexaChSelector> m_pChannelSelector;
};
