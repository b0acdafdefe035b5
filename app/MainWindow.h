#pragma once
// The program's only window: the start-up checks (built-in tables, phrase
// files, model files), the long-lived objects (core holder, channel selector,
// song model, conversion worker), the form with its sixteen styled rows, the
// model menu, the target popups and the beat-resolution picker.
//
// A failed start-up check shows a critical box through the prompter and
// leaves the constructor with a StartupError; main then returns -1.
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <stdexcept>

#include "app/MainWindowForm.h"
#include "app/SongFile.h"

class AfterNameListWidget;
class AfterNameListWidgetFilter;
class BeatMapWidget;
class ConvertThread;
class CoreHolder;
class CSmf;
class CVexaChSelector;
class IconPushButton;
class Prompter;
class QAction;
class QActionGroup;
class QListWidgetItem;
class QSignalMapper;
class SimpleLabel;
class TransparentPushButton;

// What the window is started with.
struct MainWindowSetup {
    Prompter* prompter = nullptr;  // not owned; outlives the window
    // Makes the core holder (the program's: the engine's own core).
    std::function<std::shared_ptr<CoreHolder>()> makeCoreHolder;
    // The command line, the program's own path first.
    QStringList arguments;
    // Where the model files are.
    QString programFolder;
};

// A start-up check failed; its critical box has been shown.
class StartupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Phrasor V2.1";
    static constexpr const char* kMissingFiles = "Cannot find required file. \nMight not be correctly installed.";
    static constexpr int kRecentFileCount = 4;
    static constexpr int kInitialBeatResolution = 4;

    explicit MainWindow(const MainWindowSetup& setup);
    ~MainWindow() override;

    // The widgets of one channel row (object names ending in the channel
    // number 1..16).
    struct ChannelRow {
        SimpleLabel* txtProgNo;
        SimpleLabel* txtProgName;
        IconPushButton* btnAfter;
        SimpleLabel* lblIcon;
        SimpleLabel* lblAfter;
        SimpleLabel* txtAfter;
        TransparentPushButton* cboAfter;
        IconPushButton* btnRcmd;
    };

    // A path that names an existing file with the suffix "mid" (any case).
    static bool isMidiFile(const QString& path);
    // The arguments that isMidiFile accepts, in order.
    static QStringList songArguments(const QStringList& arguments);
    // The note picture of a beat-resolution index 0..14.
    static QPixmap notePicture(int index);
    // Sets the focus policy of the widget and of all its children.
    static void setNoFocus(QWidget* widget, Qt::FocusPolicy policy);
    // The look a row of channel 0..15 is given at start-up: frames, fonts,
    // text colours, the pictures of its switch, field and recommendation
    // button (the gallery dresses its form with it too).
    static void styleRowLook(const ChannelRow& row, int channel);

    // Empties the row area: every row widget hidden and disabled, and the
    // convert, cancel and beat-resolution controls hidden. Always 0.
    int clearRows();

    const Ui::MainWindow& form() const { return ui; }
    const ChannelRow& row(int channel) const { return m_Rows[size_t(channel)]; }
    // The songs the command line named, in order, for the opening step.
    const QStringList& startSongs() const { return m_StartSongs; }
    QActionGroup* modelGroup() const { return m_pModelGroup; }
    const std::array<QAction*, kRecentFileCount>& recentFileActions() const { return m_RecentFileActions; }
    AfterNameListWidget* popup(int level) const {
        return level == 1 ? m_pPopup1 : level == 2 ? m_pPopup2 : m_pPopup3;
    }
    BeatMapWidget* beatPicker() const { return m_pBeatPicker; }
    int beatResolutionIndex() const { return m_BeatResolutionIndex; }
    const QString& currentSongPath() const { return m_CurrentSongPath; }
    const QString& errorLog() const { return m_ErrorLog; }
    std::shared_ptr<CVexaChSelector> channelSelector() const { return m_pChannelSelector; }
    ConvertThread* worker() const { return m_pWorker; }
    int popupChannel() const { return m_PopupCh; }
    int mouseChannel() const { return m_MouseCh; }

    // Opens the songs the command line named, one after the other.
    void openStartSongs();

    // The font a row text gets to fit the label (12-pixel bold, else
    // 12-pixel normal, else 10-pixel normal) and the text elided to it.
    static void setFittedText(QLabel* label, const QString& text);

    // The output name of a song: its folder, its complete base name, "_vexa"
    // and its own suffix (none when it has none); backslashes become "/".
    static QString proposeOutputName(const QString& songPath);
    // Save, Yes and Yes to All let a file be written.
    static bool answerAllowsWriting(QMessageBox::StandardButton answer);
    // The save dialog's filters, in the order of the formats 0, 1 and ZQ.
    static QStringList saveFilters();
    // The writing step of a save.
    void setSongFileWrite(const SongFileWrite& write) { m_SongFileWrite = write; }
    int movieFrame() const { return m_MovieFrame; }
    bool isMovieRunning() const { return m_MovieTimerId != 0; }

public slots:
    void open();
    // Converts the loaded song with the chosen targets on the worker.
    void convert();
    // Reports the worker's result, asks for the output and writes it; the
    // window then holds no song.
    void save();
    void openFile(const QString& inSmfPath);
    void openRecentFiles(int index);
    // Chooses a folder, confirms and converts every "*.mid" file in it.
    void openFolder();
    // Ends a folder run once the file under way is saved.
    void cancel();

private slots:
    // Takes and starts the next file of the folder run, or ends the run.
    void convertFolder();
    // Saves the file the worker has just converted and goes on.
    void saveFolder();
    void convertStarted();
    void convertFinished();
    void startMovie();
    void stopMovie();
    void disableGUI();
    void enableGUI();
    void about();
    void setAfterNameList(int ch, const QString& text);
    void closeAllAfterNameList();
    void afterNameListClosed();
    void showAfterNameList1(int ch);
    void showAfterNameList2(int ch, int type);
    void showAfterNameList3(int ch);
    void clickAfterNameList1(QListWidgetItem* pItem);
    void clickAfterNameList2(QListWidgetItem* pItem);
    void clickAfterNameList3(QListWidgetItem* pItem);
    void openAfterNameList3(QListWidgetItem* pItem);
    void showBeatResolution();
    void setBeatResolution(int index);
    void modelChanged(QAction* pAction);
    void setModel(const QString& text);
    void setPopupCh(int ch);
    void clearPopupCh(int ch);
    void setMouseCh(int ch);
    void clearMouseCh(int ch);
    void updateAfterEnabled(int ch);
    void updateAfterOnOff(int ch);
    void setAfterOn(int ch);
    void setAfterOff(int ch);
    void resetAfter(int ch);

protected:
    bool event(QEvent* event) override;
    // Refused while the worker runs, during a folder run or while unsaved
    // work is kept.
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // Shows the critical box and throws.
    [[noreturn]] void failStartup(const QString& text);
    void checkTables();
    void createObjects(const MainWindowSetup& setup);
    void styleRow(int channel);
    void checkInstallation(const QString& programFolder);
    void fillModelMenu();
    void createPopups();
    void connectRows();

    // Settings kept between runs (read once at the end of the constructor,
    // written once by the destructor).
    void readSettings();
    void writeSettings();
    // A loaded model's name stays; otherwise "Brune2" when loaded, otherwise
    // the first loaded model's.
    void validateModelName(QString& name);

    // Opening a song.
    bool maybeSave();
    int readSmf(const QString& path, QByteArray& bytes);
    int checkSongHead(bool& skip);
    int analyseChannels();
    int refreshRows(const QString& path, int index, int count);
    int showChannelVoices();
    int showTargets();
    void updateRecentFiles(const QString& path);
    int resetSong();
    // A warning box with the title "Phrasor" and the button OK.
    void warn(const QString& text);
    void dropSong();

    // Converting and saving.
    // Whether the channel is switched on with a drum kit as its target; 0 or
    // a failure code (step 1 for the on/off query, 2 for the target's).
    int isDrumKitChannel(int ch, bool& drumKit);
    int confirmDrumNoteDeletion();
    int prepareDrumChannels();
    // Lets the user choose the output path and format; `answer` becomes No
    // when the dialog is cancelled. Always 0.
    // With `askOverwrite`, an existing file is asked about first (unless the
    // answer is already Yes to All).
    int askOutput(QString& path, QMessageBox::StandardButton& answer, int& format, bool askOverwrite = false);
    int changeSmfFormat(QByteArray& bytes, int format);
    int writeFile(const QString& path, const QByteArray& bytes);

    // The folder run.
    // Starts the next readable file on the worker; false when none is left
    // or the run is to end.
    bool startNextFolderFile();
    void endFolderRun(bool completed);
    // Adds an entry for the file with one warning line per text.
    void logFileWarnings(const QString& path, const QStringList& warnings);
    // Writes "Error.log" in the run's folder (nothing for a completed run
    // without errors) and tells the user.
    void writeErrorLog(const QString& log, bool completed);

    // The per-channel choice.
    bool hasSeveralTargets(int ch);
    void setRowLook(int ch, bool highlighted);
    bool isHighlighted(int ch) const;
    // Whether the pointer is over the row's switch, icon or target field.
    bool isUnderPointer(int ch) const;
    // Places a popup of `items` rows under (or over) the rectangle `field`,
    // fitted into the screen's available area.
    QRect popupGeometry(AfterNameListWidget* popup, const QRect& field, int items) const;
    QRect availableArea() const;
    void showPopup(AfterNameListWidget* popup, const QRect& geometry, QWidget* focus);
    // Fills popup 1 or 2 with the names and opens it on (or, near the
    // screen's bottom, above) the channel's target field.
    void showUnderField(AfterNameListWidget* popup, int ch, const QStringList& names, const QString& current,
                        bool marker);
    // Each item gets the font in which its text fits a list of that width
    // (fitted before the height is taken, so the rows fill the list).
    static void fitItemFonts(AfterNameListWidget* popup, int listWidth);

    Ui::MainWindow ui;
    Prompter* m_pPrompter;
    std::shared_ptr<CoreHolder> m_pCoreHolder;
    std::shared_ptr<CVexaChSelector> m_pChannelSelector;
    std::shared_ptr<CSmf> m_pSmf;
    ConvertThread* m_pWorker = nullptr;  // child of the window
    std::array<ChannelRow, 16> m_Rows{};
    // Children of the window.
    QSignalMapper* m_pRecentFilesMapper = nullptr;
    QSignalMapper* m_pOnOffMapper = nullptr;
    QSignalMapper* m_pTargetFieldMapper = nullptr;
    QSignalMapper* m_pRecommendMapper = nullptr;
    QSignalMapper* m_pMouseEnterMapper = nullptr;
    QSignalMapper* m_pMouseLeaveMapper = nullptr;
    QActionGroup* m_pModelGroup = nullptr;
    AfterNameListWidgetFilter* m_pPopupFilter = nullptr;
    AfterNameListWidget* m_pPopup1 = nullptr;
    AfterNameListWidget* m_pPopup2 = nullptr;
    AfterNameListWidget* m_pPopup3 = nullptr;
    BeatMapWidget* m_pBeatPicker = nullptr;
    std::array<QAction*, kRecentFileCount> m_RecentFileActions{};
    int m_BeatResolutionIndex = kInitialBeatResolution;
    QString m_CurrentSongPath;
    QString m_ErrorLog;
    QString m_OpeningPath;  // the song being opened, for the error log
    bool m_bSkipErrors = false;
    int m_SongFormat = 0;
    int m_MovieTimerId = 0;
    int m_MovieFrame = 0;
    SongFileWrite m_SongFileWrite;
    int m_MouseCh = -1;
    int m_PopupCh = -1;
    QStringList m_StartSongs;
    QStringList m_FolderFiles;  // absolute paths of the folder run's songs
    int m_FolderIndex = 0;      // files taken so far
    bool m_bCancel = false;
    QMessageBox::StandardButton m_FolderAnswer = QMessageBox::Yes;  // Yes to All and Cancel carry over
    QString m_FolderPath;       // where "Error.log" goes
};
