// The Convert command, the busy state and animation while the worker runs,
// and saving the result.
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPixmap>
#include <QTimerEvent>

#include "app/ConvertThread.h"
#include "app/IconPushButton.h"
#include "app/MainWindow.h"
#include "app/Prompter.h"
#include "app/SimpleLabel.h"
#include "app/Smf.h"
#include "app/SmfAnalysis.h"
#include "app/VexaChSelector.h"
#include "data/VoiceAddressTable.h"

namespace {

const char* const kConvertNoteNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
constexpr int kMovieFrameCount = 30;
constexpr int kMovieIntervalMs = 50;

// A failed step's code: the call's code shifted by 4 bits, the top bit and
// the step number.
int StepFailure(int code, int step) { return int(0x80000000u | (unsigned(code) << 4) | unsigned(step)); }

// "C-2" for note 0, "C1" for note 36.
QString NoteName(int note) {
    return QString::fromLatin1(kConvertNoteNames[note % 12]) + QString::number(note / 12 - 2);
}

}  // namespace

void MainWindow::convert() {
    if (m_CurrentSongPath.isEmpty() || m_pSmf->GetTracks().empty()) return;
    if (confirmDrumNoteDeletion() != 0) return;
    if (prepareDrumChannels() != 0) return;
    QByteArray bytes;
    if (m_pSmf->ToByteArray(bytes) < 0) return;
    const int ticks = BeatResolutionTicks(m_BeatResolutionIndex);
    disableGUI();
    setWindowModified(true);
    m_pWorker->wait();
    m_pWorker->m_SongBytes = bytes;
    m_pWorker->m_Ticks = ticks;
    m_pWorker->m_FolderRun = 0;
    m_pWorker->start(QThread::InheritPriority);
}

int MainWindow::isDrumKitChannel(int ch, bool& drumKit) {
    drumKit = false;
    bool on = false;
    int result = m_pChannelSelector->IsChannelOn(BYTE(ch), &on);
    if (result < 0) return StepFailure(result, 1);
    if (!on) return 0;
    result = m_pChannelSelector->IsDrumKitTarget(BYTE(ch), &drumKit);
    if (result < 0) return StepFailure(result, 2);
    return 0;
}

int MainWindow::confirmDrumNoteDeletion() {
    DrumNoteSet found[16];
    bool any = false;
    for (int ch = 0; ch < 16; ++ch) {
        bool drumKit = false;
        int result = isDrumKitChannel(ch, drumKit);
        if (result != 0) return result;
        if (!drumKit) continue;
        DrumNoteSet notes;
        result = m_pChannelSelector->GetDrumNoteSet(BYTE(ch), &notes);
        if (result < 0) return StepFailure(result, 3);
        result = m_pSmf->CollectDeletedDrumNotes(ch, notes, found[ch]);
        if (result < 0) return StepFailure(result, 4);
        any = any || !found[ch].IsEmpty();
    }
    if (!any) return 0;

    QString text = QStringLiteral("Some Note will be deleted in this process. continue or not?\r\n");
    for (int ch = 0; ch < 16; ++ch) {
        if (found[ch].IsEmpty()) continue;
        BYTE msb = 0, lsb = 0, program = 0;
        int result = m_pChannelSelector->GetChannelVoice(BYTE(ch), &msb, &lsb, &program);
        if (result < 0) return StepFailure(result, 5);
        QString programName;
        result = m_pChannelSelector->GetProgramName(msb, lsb, program, &programName);
        if (result < 0) return StepFailure(result, 6);
        text += QString("\r\nch%1 : %2-%3-%4 : ").arg(ch + 1).arg(msb).arg(lsb).arg(int(program) + 1) + programName +
                "\r\n";
        for (int note = 0; note < 128; ++note) {
            if (!found[ch].Contains(note)) continue;
            QString drumName;
            result = m_pChannelSelector->GetDrumVoiceName(msb, lsb, program, BYTE(note), &drumName);
            if (result < 0) return StepFailure(result, 7);
            text += "note[" + NoteName(note) + "] : " + drumName + "\r\n";
        }
    }
    if (m_bSkipErrors) return 0;
    return m_pPrompter->scrollText(this, QStringLiteral("Phrasor"), text) ? 0 : int(0x8000000F);
}

int MainWindow::prepareDrumChannels() {
    for (int ch = 0; ch < 16; ++ch) {
        bool drumKit = false;
        int result = isDrumKitChannel(ch, drumKit);
        if (result != 0) return result;
        if (!drumKit) continue;
        BYTE partMode = 0;
        result = m_pChannelSelector->GetPartMode(BYTE(ch), &partMode);
        if (result < 0) return StepFailure(result, 3);
        if (partMode < 2 || partMode > 5) continue;
        result = m_pSmf->RemoveDrumSetupEdits(ch, partMode);
        if (result < 0) return StepFailure(result, 6);
    }
    return 0;
}

void MainWindow::convertStarted() { startMovie(); }

void MainWindow::convertFinished() {
    m_pWorker->wait();
    stopMovie();
    if (m_pWorker->m_FolderRun)
        saveFolder();
    else
        save();
}

void MainWindow::startMovie() {
    ui.lblNowConv->setText(QStringLiteral("NOW CONVERTING..."));
    ui.lblNowConv->show();
    ui.lblConvMovie->show();
    m_MovieFrame = 0;
    if (m_MovieTimerId != 0) killTimer(m_MovieTimerId);
    m_MovieTimerId = startTimer(kMovieIntervalMs, Qt::CoarseTimer);
}

void MainWindow::stopMovie() {
    if (m_MovieTimerId != 0) killTimer(m_MovieTimerId);
    m_MovieTimerId = 0;
    // A run that converted nothing is no completion: its messages say why.
    if (m_pWorker->m_Success) {
        ui.lblNowConv->setText(QStringLiteral("COMPLETE !!"));
        ui.lblNowConv->show();
    } else {
        ui.lblNowConv->hide();
    }
    ui.lblConvMovie->hide();
}

void MainWindow::timerEvent(QTimerEvent* event) {
    if (m_MovieTimerId == 0 || event->timerId() != m_MovieTimerId) {
        QMainWindow::timerEvent(event);
        return;
    }
    if (++m_MovieFrame > kMovieFrameCount) m_MovieFrame = 1;
    ui.lblConvMovie->setPixmap(
        QPixmap(QString(":/res/Movie/MovieFrame%1.bmp").arg(m_MovieFrame, 2, 10, QLatin1Char('0'))));
}

void MainWindow::disableGUI() {
    setAcceptDrops(false);
    ui.lblMask->show();
    ui.lblMask->raise();
    for (QAction* action : actions()) action->setEnabled(false);
    for (QMenu* menu : {ui.menuFile, ui.menuPreference, ui.menuHelp}) {
        for (QAction* action : menu->actions()) action->setEnabled(false);
    }
    ui.btnConvert->hide();
    ui.btnExit->hide();
}

void MainWindow::enableGUI() {
    setAcceptDrops(true);
    ui.lblMask->hide();
    for (QAction* action : actions()) action->setEnabled(true);
    for (QMenu* menu : {ui.menuFile, ui.menuPreference, ui.menuHelp}) {
        for (QAction* action : menu->actions()) action->setEnabled(true);
    }
    ui.btnExit->show();
}

QString MainWindow::proposeOutputName(const QString& songPath) {
    const QFileInfo info(songPath);
    QString name = info.path() + QDir::separator() + info.completeBaseName() + "_vexa";
    // A song without a suffix gets none, not a lone dot.
    if (!info.suffix().isEmpty()) name += "." + info.suffix();
    return name.replace('\\', '/');
}

bool MainWindow::answerAllowsWriting(QMessageBox::StandardButton answer) {
    return answer == QMessageBox::Save || answer == QMessageBox::Yes || answer == QMessageBox::YesToAll;
}

QStringList MainWindow::saveFilters() {
    return {tr("Standard MIDI File format0(*.mid)"), tr("Standard MIDI File format1(*.mid)"), tr("ZQ File(*.mid)")};
}

int MainWindow::askOutput(QString& path, QMessageBox::StandardButton& answer, int& format, bool askOverwrite) {
    static const int kFormats[3] = {0, 1, SMF_FORMAT_ZQ};
    if (askOverwrite && answer != QMessageBox::YesToAll && QFileInfo::exists(path)) {
        answer = m_pPrompter->overwrite(this, QString("\"%1\" already exists. Do you want to replace it ?").arg(path));
        if (answer == QMessageBox::No || answer == QMessageBox::Cancel) return 0;
    }
    format = m_SongFormat;
    if (answer != QMessageBox::Save) return 0;
    const QStringList filters = saveFilters();
    QString selected = filters[format == 1 ? 1 : format == SMF_FORMAT_ZQ ? 2 : 0];
    const QString chosen = m_pPrompter->saveFileName(this, tr("MIDI file"), path, filters.join(";;"), &selected);
    if (chosen.isEmpty()) {
        answer = QMessageBox::No;
        return 0;
    }
    path = chosen;
    const int index = filters.indexOf(selected);
    if (index >= 0) format = kFormats[index];
    return 0;
}

int MainWindow::changeSmfFormat(QByteArray& bytes, int format) {
    if (format == m_SongFormat) return 0;
    CSmf smf;
    int result = smf.FromByteArray(bytes);
    if (result != 0) return StepFailure(result, 1);
    result = smf.ConvertFormat(m_SongFormat, format);
    if (result != 0) return StepFailure(result, 2);
    result = smf.ToByteArray(bytes);
    if (result != 0) return StepFailure(result, 3);
    return 0;
}

int MainWindow::writeFile(const QString& path, const QByteArray& bytes) {
    return WriteSongFile(path, bytes, m_SongFileWrite);
}

void MainWindow::save() {
    QString path = proposeOutputName(m_CurrentSongPath);
    clearRows();
    if (!m_pWorker->m_Messages.isEmpty()) warn(m_pWorker->m_Messages.join("\n"));
    if (!m_pWorker->m_Success) {
        setWindowModified(false);
        ui.lblNowConv->hide();
        resetSong();
        enableGUI();
        return;
    }
    QByteArray bytes = m_pWorker->m_SongBytes;
    if (!bytes.isEmpty()) {
        QMessageBox::StandardButton answer = QMessageBox::Save;
        int format = m_SongFormat;
        askOutput(path, answer, format);
        // Nothing is prepared for a cancelled dialog: nothing is written.
        if (answerAllowsWriting(answer)) {
            int result = changeSmfFormat(bytes, format);
            if (result == 0) {
                CSmf smf;
                if (smf.Normalize(bytes) < 0 || smf.ToByteArray(bytes) < 0) result = int(0x80000004);
            }
            if (result == 0) result = writeFile(path, bytes);
            // The modified flag stays set, so that the result can be saved
            // again; the status no longer claims completion.
            if (result == 0) {
                setWindowModified(false);
            } else {
                ui.lblNowConv->clear();
                ui.lblNowConv->hide();
                warn(QString("\"%1\" write error.").arg(path));
            }
        }
    }
    resetSong();
    enableGUI();
}
