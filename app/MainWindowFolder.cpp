// Converting every "*.mid" file of a folder, one after the other, with the
// recommended targets, and the run's "Error.log".
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "app/ConvertThread.h"
#include "app/IconPushButton.h"
#include "app/MainWindow.h"
#include "app/Prompter.h"
#include "app/Smf.h"
#include "app/SmfAnalysis.h"
#include "app/VexaChSelector.h"

namespace {

const char kErrorLogName[] = "Error.log";
const char kUnexpectedFolderFile[] = "unexpected file.";
const char kSomeErrorOccurred[] = "Some error occurred. Please confirm in Error.log file.";
// What confirmDrumNoteDeletion answers when the user declines.
constexpr int kDrumNotesDeclined = int(0x8000000F);

QString LogHeading(const QString& path) {
    return QStringLiteral("\r\n>>> ") + QFileInfo(path).absoluteFilePath() + QStringLiteral("\r\n");
}

}  // namespace

void MainWindow::openFolder() {
    if (maybeSave()) return;
    const QString folder = m_pPrompter->existingFolder(this, tr("Folder"), m_CurrentSongPath);
    if (folder.isEmpty()) return;
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList({QStringLiteral("*.mid")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    if (entries.isEmpty()) return;
    QStringList files;
    for (const QFileInfo& entry : entries) files << entry.absoluteFilePath();
    bool skipErrors = false;
    if (!m_pPrompter->confirmFolder(this, &skipErrors)) return;

    disableGUI();
    m_FolderFiles = files;
    m_FolderPath = dir.absolutePath();
    m_FolderIndex = 0;
    m_bCancel = false;
    m_bSkipErrors = skipErrors;
    m_ErrorLog.clear();
    m_FolderAnswer = skipErrors ? QMessageBox::YesToAll : QMessageBox::Yes;
    convertFolder();
}

void MainWindow::cancel() { m_bCancel = true; }

void MainWindow::logFileWarnings(const QString& path, const QStringList& warnings) {
    m_ErrorLog += LogHeading(path);
    for (const QString& text : warnings) m_ErrorLog += QStringLiteral("    Warning : ") + text + QStringLiteral("\r\n");
}

void MainWindow::convertFolder() {
    // A loop, not a call per skipped file: a folder of bad files does not
    // grow the stack.
    if (startNextFolderFile()) return;
    endFolderRun(m_FolderIndex >= m_FolderFiles.size() && !m_bCancel && m_FolderAnswer != QMessageBox::Cancel);
}

bool MainWindow::startNextFolderFile() {
    const QStringList unexpected{QString::fromLatin1(kUnexpectedFolderFile)};
    for (;;) {
        resetSong();
        clearRows();
        if (m_FolderIndex >= m_FolderFiles.size()) return false;
        if (m_bCancel || m_FolderAnswer == QMessageBox::Cancel) return false;
        const QString path = m_FolderFiles[m_FolderIndex++];
        m_OpeningPath = path;
        QByteArray bytes;
        if (readSmf(path, bytes) < 0) {
            logFileWarnings(path, unexpected);
            continue;
        }
        m_CurrentSongPath = path;
        bool skip = false;
        const int logged = m_ErrorLog.size();
        if (checkSongHead(skip) < 0) {
            m_ErrorLog.truncate(logged);  // the file's own entry says it all
            logFileWarnings(path, unexpected);
            continue;
        }
        if (skip) continue;  // a refused GS song: the check logged it
        if (analyseChannels() < 0 || refreshRows(path, m_FolderIndex, int(m_FolderFiles.size())) < 0) {
            logFileWarnings(path, unexpected);
            continue;
        }
        ui.btnCancel->raise();  // over the mask: the run can be stopped
        const int drumNotes = confirmDrumNoteDeletion();
        if (drumNotes == kDrumNotesDeclined) continue;  // the user's own choice
        if (drumNotes != 0 || prepareDrumChannels() != 0 || m_pSmf->ToByteArray(bytes) < 0) {
            logFileWarnings(path, unexpected);
            continue;
        }
        setWindowModified(true);
        m_pWorker->wait();
        m_pWorker->m_SongBytes = bytes;
        m_pWorker->m_Ticks = BeatResolutionTicks(m_BeatResolutionIndex);
        m_pWorker->m_FolderRun = 1;
        m_pWorker->start(QThread::InheritPriority);
        return true;
    }
}

void MainWindow::endFolderRun(bool completed) {
    ui.btnCancel->hide();
    enableGUI();
    const QString log = m_ErrorLog;
    writeErrorLog(log, completed);
    m_bSkipErrors = false;
    m_FolderFiles.clear();
}

void MainWindow::saveFolder() {
    const QString source = m_CurrentSongPath;
    QString path = proposeOutputName(source);
    QStringList messages = m_pWorker->m_Messages;
    if (!messages.isEmpty() && !m_bSkipErrors) warn(messages.join("\n"));
    clearRows();
    QByteArray bytes = m_pWorker->m_SongBytes;
    if (!m_pWorker->m_Success) {
        setWindowModified(false);
    } else if (!bytes.isEmpty()) {
        QMessageBox::StandardButton answer = m_FolderAnswer;
        int format = m_SongFormat;
        askOutput(path, answer, format, !m_bSkipErrors);
        // No and "&Rename" are for this file only.
        m_FolderAnswer = (answer == QMessageBox::YesToAll || answer == QMessageBox::Cancel) ? answer : QMessageBox::Yes;
        // The file keeps its source's format.
        CSmf smf;
        if (smf.Normalize(bytes) >= 0 && smf.ToByteArray(bytes) >= 0) {
            if (answerAllowsWriting(answer)) {
                if (QFileInfo::exists(path)) messages << QString("The file \"%1\" was replaced.").arg(path);
                if (writeFile(path, bytes) != 0) messages << QString("\"%1\" write error.").arg(path);
                setWindowModified(false);
            } else {
                messages << QString("Replacing \"%1\" was canceled.").arg(path);
            }
        } else {
            messages << QString::fromLatin1(kUnexpectedFolderFile);
        }
    }
    resetSong();
    if (!messages.isEmpty()) logFileWarnings(source, messages);
    convertFolder();
}

void MainWindow::writeErrorLog(const QString& log, bool completed) {
    if (completed && log.isEmpty()) return;
    QString text = QStringLiteral("*** Phrasor V2.1.0 <") +
                   QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm")) + QStringLiteral(">\r\n") +
                   log;
    if (!completed) text += QStringLiteral("\r\n>>> Canceled.\r\n");
    QSaveFile file(QDir(m_FolderPath).filePath(QString::fromLatin1(kErrorLogName)));
    const QByteArray bytes = text.toUtf8();
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written) {
        // The log would be lost: the user reads it here instead.
        warn(text);
        return;
    }
    if (!log.isEmpty()) warn(QString::fromLatin1(kSomeErrorOccurred));
}
