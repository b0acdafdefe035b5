#include "app/MainWindow.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QUrl>
#include <QFont>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QSignalMapper>
#include <QStyle>

#include "app/AfterNameListWidget.h"
#include "app/AfterNameListWidgetFilter.h"
#include "app/BeatMapWidget.h"
#include "app/ConvertThread.h"
#include "app/CoreHolder.h"
#include "app/IconPushButton.h"
#include "app/Prompter.h"
#include "app/SimpleLabel.h"
#include "app/Smf.h"
#include "app/SmfAnalysis.h"
#include "app/TransparentPushButton.h"
#include "app/VexaChSelector.h"
#include "data/AlgorithmTable.h"
#include "data/VoiceAddressTable.h"

namespace {

constexpr int kNotePictureHeight = 43;
// The rows a popup list shows at most.
constexpr int kPopupRows = 24;

QFont BoldPixelFont(int pixels) {
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

// The text colour when active or inactive, and when disabled.
void SetTextColours(QWidget* widget, const QColor& normal, const QColor& disabled) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Active, QPalette::WindowText, normal);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, normal);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    widget->setPalette(palette);
}

QIcon FourStateIcon(int number) {
    const auto path = [number](const char* state) {
        return QString(":/res/AfterBtn/After%1Btn%2.bmp").arg(number).arg(QLatin1String(state));
    };
    QIcon icon;
    icon.addFile(path("Off"), QSize(), QIcon::Normal, QIcon::Off);
    icon.addFile(path("Ent"), QSize(), QIcon::Active, QIcon::Off);
    icon.addFile(path("On"), QSize(), QIcon::Normal, QIcon::On);
    icon.addFile(path("Dis"), QSize(), QIcon::Disabled, QIcon::Off);
    return icon;
}

QIcon TwoStateIcon(const QString& off, const QString& on) {
    QIcon icon;
    icon.addFile(off, QSize(), QIcon::Normal, QIcon::Off);
    icon.addFile(on, QSize(), QIcon::Normal, QIcon::On);
    return icon;
}

QPalette PopupPalette(QPalette palette) {
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, QColor(162, 174, 186));
        palette.setColor(group, QPalette::Base, QColor(0, 56, 109));
        palette.setColor(group, QPalette::Highlight, QColor(0, 56, 109));
        palette.setColor(group, QPalette::HighlightedText, QColor(0, 255, 255));
    }
    return palette;
}

// The members of one row family of the form, row 1 first.
template <typename T>
std::array<T*, 16> RowWidgets(QWidget* background, const char* name) {
    std::array<T*, 16> widgets{};
    for (int n = 1; n <= 16; ++n)
        widgets[size_t(n - 1)] = background->findChild<T*>(QString::fromLatin1(name) + QString::number(n));
    return widgets;
}

}  // namespace

MainWindow::MainWindow(const MainWindowSetup& setup)
    : QMainWindow(nullptr, Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                               Qt::WindowCloseButtonHint),
      m_pPrompter(setup.prompter) {
    QCoreApplication::setOrganizationName(QStringLiteral("Korvet"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("korvet.example"));
    QCoreApplication::setApplicationName(QStringLiteral("Phrasor"));
    checkTables();
    createObjects(setup);

    ui.setupUi(this);
    setWindowTitle(QString::fromLatin1(kTitle));
    setAcceptDrops(true);
    setNoFocus(this, Qt::NoFocus);

    const auto txtProgNo = RowWidgets<SimpleLabel>(ui.lblBackground, "txtProgNo");
    const auto txtProgName = RowWidgets<SimpleLabel>(ui.lblBackground, "txtProgName");
    const auto btnAfter = RowWidgets<IconPushButton>(ui.lblBackground, "btnAfter");
    const auto lblIcon = RowWidgets<SimpleLabel>(ui.lblBackground, "lblIcon");
    const auto lblAfter = RowWidgets<SimpleLabel>(ui.lblBackground, "lblAfter");
    const auto txtAfter = RowWidgets<SimpleLabel>(ui.lblBackground, "txtAfter");
    const auto cboAfter = RowWidgets<TransparentPushButton>(ui.lblBackground, "cboAfter");
    const auto btnRcmd = RowWidgets<IconPushButton>(ui.lblBackground, "btnRcmd");
    for (size_t n = 0; n < m_Rows.size(); ++n)
        m_Rows[n] = {txtProgNo[n], txtProgName[n], btnAfter[n], lblIcon[n],
                     lblAfter[n],  txtAfter[n],    cboAfter[n], btnRcmd[n]};
    // On the window itself, the shortcuts work while the menus are hidden
    // or disabled.
    addActions({ui.actionOpen, ui.actionConvert, ui.actionConvertFilder, ui.actionExit, ui.actionAbout});

    setFixedSize(ui.lblBackground->width(), ui.lblBackground->height() + ui.menubar->sizeHint().height() + 1);

    m_pRecentFilesMapper = new QSignalMapper(this);
    m_pOnOffMapper = new QSignalMapper(this);
    m_pTargetFieldMapper = new QSignalMapper(this);
    m_pRecommendMapper = new QSignalMapper(this);
    m_pMouseEnterMapper = new QSignalMapper(this);
    m_pMouseLeaveMapper = new QSignalMapper(this);

    ui.menuRecentFiles->setEnabled(false);
    for (int k = 0; k < kRecentFileCount; ++k) {
        QAction* action = new QAction(this);
        action->setVisible(false);
        ui.menuRecentFiles->addAction(action);
        connect(action, &QAction::triggered, m_pRecentFilesMapper, qOverload<>(&QSignalMapper::map));
        m_pRecentFilesMapper->setMapping(action, k);
        m_RecentFileActions[size_t(k)] = action;
    }

    for (int n = 0; n < int(m_Rows.size()); ++n) styleRow(n);

    const QPixmap note = notePicture(m_BeatResolutionIndex);
    QIcon noteIcon;
    noteIcon.addPixmap(note, QIcon::Normal, QIcon::Off);
    noteIcon.addPixmap(note, QIcon::Normal, QIcon::On);
    ui.btnNoteSelect->setIcon(noteIcon);
    ui.btnNoteSelect->setIconSize(ui.btnNoteSelect->size());
    ui.lblNowConv->setAlignment(Qt::AlignCenter);
    ui.lblNowConv->setFont(BoldPixelFont(10));
    SetTextColours(ui.lblNowConv, QColor(0, 255, 255), QColor(0, 255, 255));
    ui.lblNowConv->hide();
    ui.lblConvMovie->hide();
    ui.lblMask->hide();
    clearRows();

    checkInstallation(setup.programFolder);
    fillModelMenu();
    createPopups();
    m_pBeatPicker = new BeatMapWidget(this);
    connectRows();

    // Opening the songs is the opening step's; until then they wait here.
    m_StartSongs = songArguments(setup.arguments);
    readSettings();
}

void MainWindow::failStartup(const QString& text) {
    m_pPrompter->critical(this, text);
    throw StartupError(text.toStdString());
}

void MainWindow::checkTables() {
    struct TableCheck {
        BYTE (*init)();
        const char* failure;
    };
    // The algorithm rows copy drum note sets: this order.
    static const TableCheck kChecks[] = {
        {InitDrumNoteSets, "Drum information initializing failed!"},
        {InitAlgorithmTable, "Algorithm initializing failed!"},
        {InitVoiceAddressTable, "VexaVoice initializing failed!"},
    };
    for (const TableCheck& check : kChecks) {
        if ((check.init() & 0xFF) != 0) failStartup(QString::fromLatin1(check.failure));
    }
}

void MainWindow::createObjects(const MainWindowSetup& setup) {
    m_pCoreHolder = setup.makeCoreHolder();
    m_pChannelSelector = std::make_shared<CVexaChSelector>();
    m_pSmf = std::make_shared<CSmf>();
    m_pWorker = new ConvertThread(this, m_pCoreHolder, m_pChannelSelector);
    connect(m_pWorker, &QThread::started, this, &MainWindow::convertStarted);
    connect(m_pWorker, &QThread::finished, this, &MainWindow::convertFinished);
}

void MainWindow::styleRowLook(const ChannelRow& r, int channel) {
    const int number = channel + 1;
    for (SimpleLabel* text : {r.txtProgNo, r.txtProgName}) {
        text->setFrameShape(QFrame::Panel);
        text->setLineWidth(1);
        text->setFont(BoldPixelFont(12));
        SetTextColours(text, QColor(51, 102, 102), QColor(150, 163, 179));
    }
    r.btnAfter->setIcon(FourStateIcon(number));
    r.btnAfter->setIconSize(r.btnAfter->size());
    r.btnAfter->setCheckable(true);

    r.lblAfter->setPixmap(QPixmap(QString(":/res/TextBase/TextBase%1Off.bmp").arg(number)));

    // No frame: a line frame (shape 5, QFrame::VLine) draws a one-pixel line
    // in the text colour down the middle of the name, whatever its width.
    r.txtAfter->setFrameShape(QFrame::NoFrame);
    r.txtAfter->setLineWidth(0);
    r.txtAfter->setFont(BoldPixelFont(12));
    SetTextColours(r.txtAfter, QColor(0, 255, 255), QColor(162, 174, 186));

    r.btnRcmd->setIcon(TwoStateIcon(QString(":/res/RcmdBtn/Rcmd%1BtnOff.bmp").arg(number),
                                    QString(":/res/RcmdBtn/Rcmd%1BtnOn.bmp").arg(number)));
    r.btnRcmd->setIconSize(r.btnRcmd->size());
}

void MainWindow::styleRow(int channel) {
    const ChannelRow& r = m_Rows[size_t(channel)];
    styleRowLook(r, channel);
    connect(r.btnAfter, &QAbstractButton::toggled, m_pOnOffMapper, qOverload<>(&QSignalMapper::map));
    m_pOnOffMapper->setMapping(r.btnAfter, channel);
    connect(r.btnRcmd, &QAbstractButton::clicked, m_pRecommendMapper, qOverload<>(&QSignalMapper::map));
    m_pRecommendMapper->setMapping(r.btnRcmd, channel);

    connect(r.cboAfter, &QAbstractButton::pressed, m_pTargetFieldMapper, qOverload<>(&QSignalMapper::map));
    m_pTargetFieldMapper->setMapping(r.cboAfter, channel);

    const auto hover = [this, channel](auto* widget) {
        using Widget = std::remove_pointer_t<decltype(widget)>;
        connect(widget, &Widget::entered, m_pMouseEnterMapper, qOverload<>(&QSignalMapper::map));
        connect(widget, &Widget::leaved, m_pMouseLeaveMapper, qOverload<>(&QSignalMapper::map));
        m_pMouseEnterMapper->setMapping(widget, channel);
        m_pMouseLeaveMapper->setMapping(widget, channel);
    };
    hover(r.btnAfter);
    hover(r.lblIcon);
    hover(r.cboAfter);
}

void MainWindow::checkInstallation(const QString& programFolder) {
    m_pCoreHolder->Begin();
    const int lib = m_pCoreHolder->CheckLibFiles();
    m_pCoreHolder->End();
    if (lib < 0) failStartup(QString::fromLatin1(kMissingFiles));
    if (m_pChannelSelector->LoadModels(programFolder) < 0) failStartup(QString::fromLatin1(kMissingFiles));
}

void MainWindow::fillModelMenu() {
    m_pModelGroup = new QActionGroup(this);
    QString current;
    if (m_pChannelSelector->GetModelName(&current) < 0) failStartup(QStringLiteral("Illegal model selection!"));
    QStringList names;
    m_pChannelSelector->GetModelNameList(&names);
    for (const QString& name : names) {
        QAction* action = new QAction(name, m_pModelGroup);
        action->setCheckable(true);
        ui.menuPreference->addAction(action);
        if (!current.isEmpty() && name == current) action->setChecked(true);
    }
}

void MainWindow::createPopups() {
    m_pPopupFilter = new AfterNameListWidgetFilter(this);
    m_pPopup1 = new AfterNameListWidget(this);
    m_pPopup2 = new AfterNameListWidget(this);
    m_pPopup3 = new AfterNameListWidget(this);
    for (AfterNameListWidget* popup : {m_pPopup1, m_pPopup2, m_pPopup3}) {
        popup->setPalette(PopupPalette(popup->palette()));
        m_pPopupFilter->addWidget(popup);
    }
    m_pPopup3->setParentList(m_pPopup2);
}

int MainWindow::clearRows() {
    for (const ChannelRow& r : m_Rows) {
        for (QWidget* w : std::initializer_list<QWidget*>{r.txtProgNo, r.txtProgName, r.btnAfter, r.lblIcon,
                                                          r.lblAfter, r.txtAfter, r.cboAfter, r.btnRcmd}) {
            w->hide();
            w->setEnabled(false);
        }
    }
    for (QWidget* w : std::initializer_list<QWidget*>{ui.btnConvert, ui.btnCancel, ui.lblBeatReso, ui.btnNoteSelect})
        w->hide();
    return 0;
}

bool MainWindow::isMidiFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.suffix().compare(QLatin1String("mid"), Qt::CaseInsensitive) == 0;
}

QStringList MainWindow::songArguments(const QStringList& arguments) {
    QStringList songs;
    for (const QString& argument : arguments) {
        if (isMidiFile(argument)) songs << argument;
    }
    return songs;
}

QPixmap MainWindow::notePicture(int index) {
    return QPixmap(QStringLiteral(":/res/NoteArray.bmp")).copy(0, kNotePictureHeight * index, 67, kNotePictureHeight);
}

void MainWindow::setNoFocus(QWidget* widget, Qt::FocusPolicy policy) {
    widget->setFocusPolicy(policy);
    for (QWidget* child : widget->findChildren<QWidget*>()) child->setFocusPolicy(policy);
}

void MainWindow::about() {
    m_pPrompter->about(this, QStringLiteral("About Phrasor"),
                       QStringLiteral("<p>Phrasor V2.1</p><p>Rewrites the chosen channels of a Standard MIDI File "
                                      "so that they play their articulations on the Vexa voices of the chosen "
                                      "keyboard model.</p>"));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    setFixedSize(ui.lblBackground->width(), ui.lblBackground->height() + ui.menubar->sizeHint().height() + 1);
}

// ---------------------------------------------------------------------------
// Opening a song

namespace {

constexpr int kFailOpen = int(0x80000001);
constexpr int kFailParse = int(0x80000002);
constexpr int kFailFormat = int(0x80000003);
constexpr int kFailNoTrack = int(0x80000004);
constexpr int kFailKvAfterNote = int(0x80000005);

const char kUnexpectedFile[] = "Unexpected file.";
const char kKvAfterNote[] = "The song file which has KVon after the first note event can't be converted.\r\n";
const char kGsQuestion[] = "This file may be GS song.\r\nThis application does not work well for GS song.";
const char kOtherNormal[] = "Other Normal Voices";
const char kOtherDrum[] = "Other Drum Kits";

QFont RowTextFont(int pixels, bool bold) {
    QFont font;
    font.setPixelSize(pixels);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

// The font in which the text fits `width`: 12-pixel bold, else 12-pixel
// normal, else 10-pixel normal.
QFont FittingFont(const QString& text, int width) {
    for (const QFont& font : {RowTextFont(12, true), RowTextFont(12, false)}) {
        if (QFontMetrics(font).horizontalAdvance(text) < width) return font;
    }
    return RowTextFont(10, false);
}

// A widget's rectangle in global coordinates.
QRect GlobalRect(const QWidget* widget) { return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()); }

}  // namespace

void MainWindow::connectRows() {
    connect(m_pOnOffMapper, &QSignalMapper::mappedInt, this, &MainWindow::updateAfterEnabled);
    connect(m_pTargetFieldMapper, &QSignalMapper::mappedInt, this, &MainWindow::showAfterNameList1);
    connect(m_pRecommendMapper, &QSignalMapper::mappedInt, this, &MainWindow::resetAfter);
    connect(m_pMouseEnterMapper, &QSignalMapper::mappedInt, this, &MainWindow::setMouseCh);
    connect(m_pMouseLeaveMapper, &QSignalMapper::mappedInt, this, &MainWindow::clearMouseCh);
    connect(m_pRecentFilesMapper, &QSignalMapper::mappedInt, this, &MainWindow::openRecentFiles);
    connect(m_pModelGroup, &QActionGroup::triggered, this, &MainWindow::modelChanged);
    connect(ui.btnNoteSelect, &QAbstractButton::clicked, this, &MainWindow::showBeatResolution);
    connect(m_pBeatPicker, &QDialog::finished, this, &MainWindow::setBeatResolution);
    connect(m_pPopup1, &QListWidget::itemClicked, this, &MainWindow::clickAfterNameList1);
    connect(m_pPopup1, &AfterNameListWidget::closed, this, &MainWindow::afterNameListClosed);
    connect(m_pPopup2, &QListWidget::itemClicked, this, &MainWindow::clickAfterNameList2);
    connect(m_pPopup2, &AfterNameListWidget::itemSelected, this, &MainWindow::openAfterNameList3);
    connect(m_pPopup2, &AfterNameListWidget::closed, this, &MainWindow::afterNameListClosed);
    connect(m_pPopup3, &QListWidget::itemClicked, this, &MainWindow::clickAfterNameList3);
}

void MainWindow::openStartSongs() {
    for (const QString& song : m_StartSongs) openFile(song);
}

void MainWindow::warn(const QString& text) {
    m_pPrompter->message(this, QMessageBox::Warning, QStringLiteral("Phrasor"), text, QMessageBox::Ok,
                         QMessageBox::NoButton);
}

bool MainWindow::maybeSave() {
    if (!isWindowModified()) return false;
    const QMessageBox::StandardButton answer =
        m_pPrompter->message(this, QMessageBox::Warning, QStringLiteral("Phrasor"), tr("Save document?"),
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::NoButton);
    if (answer == QMessageBox::Yes) save();
    if (answer == QMessageBox::No) setWindowModified(false);
    return isWindowModified();
}

void MainWindow::open() {
    if (maybeSave()) return;
    const QString path = m_pPrompter->openFileName(this, tr("MIDI file"), m_CurrentSongPath,
                                                   tr("Standard MIDI File (*.mid);;All Files (*)"));
    if (!path.isEmpty()) openFile(path);
}

void MainWindow::openRecentFiles(int index) {
    if (maybeSave() || index < 0 || index >= kRecentFileCount) return;
    QAction* action = m_RecentFileActions[size_t(index)];
    const QString path = action->text();
    if (path.isEmpty()) return;
    if (!QFileInfo::exists(path)) {
        warn(QStringLiteral("File is not found."));
        action->setVisible(false);
        return;
    }
    openFile(path);
}

void MainWindow::dropSong() {
    m_pChannelSelector->ResetChannels();
    m_pSmf->Clear();
    clearRows();
}

void MainWindow::openFile(const QString& inSmfPath) {
    m_ErrorLog.clear();
    if (maybeSave()) return;
    m_bSkipErrors = false;
    QByteArray bytes;
    if (readSmf(inSmfPath, bytes) < 0) {
        warn(QString::fromLatin1(kUnexpectedFile));
        dropSong();
        return;
    }
    bool skip = false;
    m_OpeningPath = inSmfPath;
    const int head = checkSongHead(skip);
    if (head < 0) {
        warn(m_ErrorLog.isEmpty() ? QString::fromLatin1(kUnexpectedFile) : m_ErrorLog);
        dropSong();
        return;
    }
    if (skip) {
        dropSong();
        return;
    }
    if (analyseChannels() < 0) {
        warn(QString::fromLatin1(kUnexpectedFile));
        resetSong();
        clearRows();
        return;
    }
    if (refreshRows(inSmfPath, 0, 0) >= 0) updateRecentFiles(inSmfPath);
}

int MainWindow::readSmf(const QString& path, QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return kFailOpen;
    bytes = file.readAll();
    if (bytes.isEmpty()) return kFailOpen;
    if (m_pSmf->FromByteArray(bytes) < 0) return kFailParse;
    // Format 2 is not a song, and format 0 holds one track: the conversion
    // refuses both, so the window does too.
    const CHead& header = m_pSmf->GetHead();
    if (header.Format > 1 || (header.Format == 0 && m_pSmf->GetTracks().size() > 1)) return kFailFormat;
    int format = 0;
    if (m_pSmf->GetFormat(format) < 0) return kFailFormat;
    m_SongFormat = format;
    if (m_pSmf->GetTracks().empty()) return kFailNoTrack;
    return 0;
}

int MainWindow::checkSongHead(bool& skip) {
    skip = false;
    SongFacts facts;
    if (m_pSmf->CollectSongFacts(facts) < 0) return kFailFormat;
    if (DWORD(facts.kvSystemOnTime) > DWORD(facts.firstNoteTime)) {
        m_ErrorLog += QString::fromLatin1(kKvAfterNote);
        return kFailKvAfterNote;
    }
    bool foreign = false, gs = false, gm = false;
    if (m_pSmf->DetectResets(facts.firstNoteTime, foreign, gs, gm) < 0) return kFailOpen;
    if (gs) {
        const QString heading = QStringLiteral("\r\n>>> ") + QFileInfo(m_OpeningPath).absoluteFilePath() + "\r\n";
        bool accepted = m_bSkipErrors;
        if (!accepted) {
            accepted = m_pPrompter->message(this, QMessageBox::Warning, QStringLiteral("Phrasor"),
                                            QString::fromLatin1(kGsQuestion), QMessageBox::Ok | QMessageBox::No,
                                            QMessageBox::NoButton) == QMessageBox::Ok;
        }
        if (!accepted) {
            m_ErrorLog += heading + QStringLiteral("    Warning : canceled GS file.\r\n");
            skip = true;
            return 0;
        }
        m_ErrorLog += heading + QStringLiteral("    Warning : This file may be GS song.\r\n"
                                               "        This application does not work well for GS song.\r\n");
    }
    const int mask = ((gs || gm) ? 3 : 0) + (foreign ? 4 : 0);
    if (mask != 0 && m_pSmf->RemoveResets(mask) < 0) return kFailParse;
    return m_pSmf->PrepareHead(facts);
}

int MainWindow::analyseChannels() {
    for (int ch = 0; ch < 16; ++ch) {
        ChannelFacts facts;
        facts.Reset(ch);
        if (m_pSmf->AnalyseChannel(ch, facts) < 0) return kFailOpen;
        const int result = m_pChannelSelector->SetChannelInfo(BYTE(ch), facts);
        if (result < 0) return result;
    }
    return 0;
}

int MainWindow::refreshRows(const QString& path, int index, int count) {
    if (m_pSmf->GetTracks().empty()) return clearRows();
    for (int ch = 0; ch < 16; ++ch) {
        bool on = false, usable = false;
        QString message;
        if (m_pChannelSelector->IsChannelOn(BYTE(ch), &on) < 0) return kFailOpen;
        if (m_pChannelSelector->GetChannelMessage(BYTE(ch), &usable, &message) < 0) return kFailParse;
        if (m_pChannelSelector->IsChannelOn(BYTE(ch), &on) < 0) return kFailFormat;
        const ChannelRow& r = m_Rows[size_t(ch)];
        r.txtProgNo->show();
        r.txtProgNo->setEnabled(usable);
        r.txtProgName->show();
        r.txtProgName->setEnabled(usable);
        r.btnAfter->show();
        r.btnAfter->setEnabled(true);
        r.lblIcon->hide();
        r.lblIcon->setEnabled(true);
        r.lblAfter->hide();
        r.lblAfter->setEnabled(true);
        r.txtAfter->setVisible(usable);
        r.txtAfter->setEnabled(on && usable);
        r.cboAfter->setVisible(on && usable);
        r.cboAfter->setEnabled(false);
        r.btnRcmd->setVisible(usable);
        r.btnRcmd->setEnabled(usable);
    }
    int result = showChannelVoices();
    if (result < 0) return result;
    result = showTargets();
    if (result < 0) return result;

    bool flags[16] = {};
    for (int ch = 0; ch < 16; ++ch) m_pChannelSelector->IsChannelOn(BYTE(ch), &flags[ch]);
    int ticks = kDefaultBeatResolution;
    if (m_pSmf->EstimateBeatResolution(flags, ticks) < 0) return int(0x80000006);
    const int estimated = BeatResolutionIndex(ticks);
    if (estimated >= 0 && estimated < kBeatResolutionCount) setBeatResolution(estimated);
    ui.lblBeatReso->show();
    ui.btnNoteSelect->show();

    const QString name = QFileInfo(path).fileName();
    if (index == 0 && count == 0) {
        ui.lblNowConv->setText(QString());
        ui.lblNowConv->hide();
        ui.lblConvMovie->hide();
        ui.btnConvert->show();
        ui.btnCancel->hide();
        ui.btnExit->show();
        setWindowTitle(name + "[*] - " + QString::fromLatin1(kTitle));
    } else {
        ui.btnConvert->hide();
        ui.btnCancel->show();
        ui.btnExit->hide();
        setWindowTitle(QString("%1[*] (%2/%3) - %4").arg(name).arg(index).arg(count).arg(QString::fromLatin1(kTitle)));
    }
    return 0;
}

int MainWindow::showChannelVoices() {
    for (int ch = 0; ch < 16; ++ch) {
        BYTE msb = 0, lsb = 0, program = 0;
        if (m_pChannelSelector->GetChannelVoice(BYTE(ch), &msb, &lsb, &program) < 0) return int(0x80000004);
        QString name;
        if (m_pChannelSelector->GetProgramName(msb, lsb, program, &name) < 0) return int(0x80000002);
        const ChannelRow& r = m_Rows[size_t(ch)];
        setFittedText(r.txtProgNo, QString("%1-%2-%3").arg(msb).arg(lsb).arg(int(program) + 1));
        setFittedText(r.txtProgName, name);
        r.txtProgName->setToolTip(name);
    }
    return 0;
}

int MainWindow::showTargets() {
    for (int ch = 0; ch < 16; ++ch) {
        if (m_pChannelSelector->ApplyRecommendation(BYTE(ch)) < 0) continue;
        bool on = false;
        QString name;
        if (m_pChannelSelector->IsChannelOn(BYTE(ch), &on) < 0 ||
            m_pChannelSelector->GetTargetName(BYTE(ch), &name) < 0)
            continue;
        const ChannelRow& r = m_Rows[size_t(ch)];
        r.btnAfter->setChecked(on);
        setFittedText(r.txtAfter, name);
        updateAfterEnabled(ch);
        updateAfterOnOff(ch);
    }
    return 0;
}

void MainWindow::setFittedText(QLabel* label, const QString& text) {
    const QRect contents = label->contentsRect();
    const int width = contents.width() - 2 * std::max(label->margin(), 0) - std::max(label->indent(), 0);
    const QFont font = FittingFont(text, width);
    label->setFont(font);
    label->setText(QFontMetrics(font).elidedText(text, Qt::ElideRight, width));
}

void MainWindow::updateRecentFiles(const QString& path) {
    QString pushed = path;
    pushed.replace('\\', '/');
    if (!QFileInfo::exists(pushed)) return;
    QString text = pushed;
    bool visible = true;
    for (QAction* action : m_RecentFileActions) {
        const QString before = action->text();
        const bool wasVisible = action->isVisible();
        action->setText(text);
        action->setVisible(visible);
        if (before == pushed) break;
        text = before;
        visible = wasVisible;
    }
    m_CurrentSongPath = pushed;
    ui.menuRecentFiles->setEnabled(true);
}

int MainWindow::resetSong() {
    m_pChannelSelector->ResetChannels();
    m_pSmf->Clear();
    return 0;
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::FileOpen && acceptDrops()) {
        event->accept();
        openFile(static_cast<QFileOpenEvent*>(event)->file());
        return event->isAccepted();
    }
    return QMainWindow::event(event);
}

namespace {

// The one local ".mid" file a drag carries, or an empty text.
QString DraggedSong(const QMimeData* data) {
    if (!data || data->urls().size() != 1) return QString();
    const QString path = data->urls().front().toLocalFile();
    return MainWindow::isMidiFile(path) ? path : QString();
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!DraggedSong(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = DraggedSong(event->mimeData());
    if (path.isEmpty()) return;
    openFile(path);
    event->acceptProposedAction();
}

// ---------------------------------------------------------------------------
// Choosing per channel

void MainWindow::updateAfterEnabled(int ch) {
    if (ch < 0 || ch > 15) return;
    bool usable = false;
    QString message;
    m_pChannelSelector->GetChannelMessage(BYTE(ch), &usable, &message);
    const ChannelRow& r = m_Rows[size_t(ch)];
    const bool down = r.btnAfter->isChecked();
    if (down && !message.isEmpty()) m_pPrompter->critical(this, message);
    const bool on = down && usable;
    if (!usable) {
        r.btnAfter->setChecked(false);
        return;
    }
    if (m_pChannelSelector->SetChannelOn(BYTE(ch), on) < 0) return;
    r.lblIcon->setVisible(on);
    r.lblAfter->setVisible(on);
    r.txtAfter->setEnabled(on);
    r.cboAfter->setEnabled(on);
    r.cboAfter->setVisible(on);
}

void MainWindow::resetAfter(int ch) {
    if (ch < 0 || ch > 15) return;
    if (m_pChannelSelector->ApplyRecommendation(BYTE(ch)) < 0) return;
    bool on = false;
    QString name;
    if (m_pChannelSelector->IsChannelOn(BYTE(ch), &on) < 0 || m_pChannelSelector->GetTargetName(BYTE(ch), &name) < 0)
        return;
    const ChannelRow& r = m_Rows[size_t(ch)];
    r.btnAfter->setChecked(on);
    setFittedText(r.txtAfter, name);
    updateAfterEnabled(ch);
    updateAfterOnOff(ch);
}

bool MainWindow::hasSeveralTargets(int ch) {
    QStringList names;
    return m_pChannelSelector->GetAllTargetNames(BYTE(ch), &names) >= 0 && names.size() > 1;
}

bool MainWindow::isHighlighted(int ch) const {
    return m_PopupCh >= 0 ? ch == m_PopupCh : ch == m_MouseCh;
}

void MainWindow::setRowLook(int ch, bool highlighted) {
    if (ch < 0 || ch > 15) return;
    const ChannelRow& r = m_Rows[size_t(ch)];
    const int number = ch + 1;
    bool alternatives = false, usable = false;
    QString message, icon;
    m_pChannelSelector->HasAlternatives(BYTE(ch), &alternatives);
    m_pChannelSelector->GetChannelMessage(BYTE(ch), &usable, &message);
    const int iconResult = highlighted ? m_pChannelSelector->GetIconOn(BYTE(ch), &icon)
                                       : m_pChannelSelector->GetIconOff(BYTE(ch), &icon);

    const auto picture = [number](const char* state) {
        return QPixmap(QString(":/res/AfterBtn/After%1Btn%2.bmp").arg(number).arg(QLatin1String(state)));
    };
    QIcon button;
    if (usable) {
        button.addPixmap(picture("Off"), QIcon::Normal, QIcon::On);
        button.addPixmap(picture(highlighted ? "Ent" : "On"), QIcon::Normal, QIcon::Off);
    } else {
        button.addPixmap(picture("Dis"), QIcon::Normal, QIcon::On);
        button.addPixmap(picture("Dis"), QIcon::Normal, QIcon::Off);
    }
    r.btnAfter->setIcon(button);

    r.lblIcon->setPixmap(iconResult >= 0 ? QPixmap(icon) : QPixmap());
    if (highlighted)
        r.lblAfter->setPixmap(QPixmap(QStringLiteral(":/res/TextBase/TextBaseOn.bmp")));
    else
        r.lblAfter->setPixmap(QPixmap(
            QString(":/res/TextBase/TextBase%1%2.bmp").arg(number).arg(alternatives ? "OffMlt" : "Off")));
}

void MainWindow::setAfterOn(int ch) { setRowLook(ch, true); }
void MainWindow::setAfterOff(int ch) { setRowLook(ch, false); }

void MainWindow::updateAfterOnOff(int ch) { setRowLook(ch, isHighlighted(ch)); }

void MainWindow::setMouseCh(int ch) {
    if (m_PopupCh >= 0) {
        m_MouseCh = ch;
        return;
    }
    if (ch == m_MouseCh) return;
    const int old = m_MouseCh;
    m_MouseCh = ch;
    if (old >= 0) setAfterOff(old);
    setAfterOn(ch);
}

void MainWindow::clearMouseCh(int ch) {
    if (m_PopupCh < 0) setAfterOff(ch);
    if (m_MouseCh == ch) m_MouseCh = -1;
}

void MainWindow::setPopupCh(int ch) {
    if (m_PopupCh < 0) {
        m_PopupCh = ch;
        if (ch != m_MouseCh) {
            if (m_MouseCh >= 0) setAfterOff(m_MouseCh);
            setAfterOn(ch);
        }
    } else if (m_PopupCh != ch) {
        setAfterOff(m_PopupCh);
        m_PopupCh = ch;
        setAfterOn(ch);
    }
}

void MainWindow::clearPopupCh(int) { afterNameListClosed(); }

void MainWindow::afterNameListClosed() {
    const int popup = m_PopupCh;
    m_PopupCh = -1;
    if (popup < 0) return;
    // The popup held the pointer: the row it was opened from had no leave
    // and still counts as under the mouse, wherever the pointer went; the
    // row the pointer is on now has had no enter.
    if (m_MouseCh == popup && !isUnderPointer(popup)) {
        m_MouseCh = -1;
        for (int ch = 0; ch < int(m_Rows.size()) && m_MouseCh < 0; ++ch) {
            if (isUnderPointer(ch)) m_MouseCh = ch;
        }
    }
    // Drawn again in any case: the row shows the target chosen in the popup.
    if (popup != m_MouseCh) setAfterOff(popup);
    if (m_MouseCh >= 0) setAfterOn(m_MouseCh);
}

bool MainWindow::isUnderPointer(int ch) const {
    if (ch < 0 || ch > 15) return false;
    const ChannelRow& r = m_Rows[size_t(ch)];
    const QPoint pointer = QCursor::pos();
    for (const QWidget* w : std::initializer_list<const QWidget*>{r.btnAfter, r.lblIcon, r.cboAfter}) {
        if (w->isVisible() && w->rect().contains(w->mapFromGlobal(pointer))) return true;
    }
    return false;
}

void MainWindow::closeAllAfterNameList() {
    for (AfterNameListWidget* popup : {m_pPopup3, m_pPopup2, m_pPopup1}) {
        if (popup->isVisible()) popup->close();
    }
}

QRect MainWindow::availableArea() const {
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    return shown->availableGeometry();
}

QRect MainWindow::popupGeometry(AfterNameListWidget* popup, const QRect& field, int items) const {
    const int rows = std::min(items, kPopupRows);
    QRect geometry(field.left(), field.bottom(), field.width(), popup->sizeHintForRow(0) * rows + 4);
    const QRect area = availableArea();
    if (geometry.left() < area.left()) geometry.moveLeft(area.left());
    if (geometry.right() > area.right()) geometry.moveRight(area.right());
    return geometry;
}

void MainWindow::fitItemFonts(AfterNameListWidget* popup, int listWidth) {
    // The text's room: the list less its frame, the scroll bar of a list of
    // more than 24 rows and the item's text margins.
    QStyle* style = popup->style();
    int width = listWidth - 2 * popup->frameWidth() - 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, popup) + 1);
    if (popup->count() > kPopupRows) width -= style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, popup);
    for (int k = 0; k < popup->count(); ++k) {
        QListWidgetItem* item = popup->item(k);
        item->setFont(FittingFont(item->text(), width));
    }
}

void MainWindow::showPopup(AfterNameListWidget* popup, const QRect& geometry, QWidget* focus) {
    popup->setGeometry(geometry);
    popup->show();
    focus->setFocus(Qt::OtherFocusReason);
}

namespace {

// Fills a popup with the names; the item of `current` becomes the current
// item, scrolled into view.
void FillPopup(AfterNameListWidget* popup, const QStringList& names, const QString& current) {
    popup->clear();
    popup->addItems(names);
    const QList<QListWidgetItem*> found = popup->findItems(current, Qt::MatchExactly);
    if (!found.isEmpty()) {
        popup->setCurrentItem(found.front());
        popup->scrollToItem(found.front());
    }
}

}  // namespace

void MainWindow::showAfterNameList1(int ch) {
    if (ch < 0 || ch > 15) return;
    closeAllAfterNameList();
    QString current;
    QStringList names;
    if (m_pChannelSelector->GetTargetName(BYTE(ch), &current) < 0 ||
        m_pChannelSelector->GetSameCategoryNames(BYTE(ch), &names) < 0)
        return;
    showUnderField(m_pPopup1, ch, names, current, false);
}

void MainWindow::showUnderField(AfterNameListWidget* popup, int ch, const QStringList& names, const QString& current,
                                bool marker) {
    FillPopup(popup, names, current);
    const QRect field = GlobalRect(m_Rows[size_t(ch)].cboAfter);
    fitItemFonts(popup, field.width());
    QRect geometry = popupGeometry(popup, field, names.size());
    if (geometry.bottom() > availableArea().bottom()) geometry.moveBottom(field.top());
    popup->setOpenerItem(nullptr);
    popup->setShowMarker(marker);
    showPopup(popup, geometry, popup);
    setPopupCh(ch);
}

void MainWindow::showAfterNameList2(int ch, int type) {
    if (ch < 0 || ch > 15) return;
    closeAllAfterNameList();
    const bool several = hasSeveralTargets(ch);
    QString current;
    QStringList names;
    const int result = several ? m_pChannelSelector->GetCategoryNames(BYTE(ch), &names, type == 1)
                               : m_pChannelSelector->GetAllTargetNames(BYTE(ch), &names);
    if (result < 0) return;
    if ((several ? m_pChannelSelector->GetSelectedCategoryName(BYTE(ch), &current)
                 : m_pChannelSelector->GetTargetName(BYTE(ch), &current)) < 0)
        return;
    showUnderField(m_pPopup2, ch, names, current, several);
}

void MainWindow::showAfterNameList3(int ch) {
    if (ch < 0 || ch > 15) return;
    QListWidgetItem* category = m_pPopup2->currentItem();
    if (!category) return;
    if (m_pPopup3->isVisible() && m_pPopup3->openerItem() == category) {
        m_pPopup3->close();
        return;
    }
    m_pPopup3->close();
    QString current;
    QStringList names;
    if (m_pChannelSelector->GetTargetName(BYTE(ch), &current) < 0 ||
        m_pChannelSelector->GetCategoryTargetNames(BYTE(ch), category->text(), &names) < 0)
        return;
    FillPopup(m_pPopup3, names, current);
    const QRect field = GlobalRect(m_Rows[size_t(ch)].cboAfter);
    fitItemFonts(m_pPopup3, field.width());
    const QRect item(m_pPopup2->viewport()->mapToGlobal(m_pPopup2->visualItemRect(category).topLeft()),
                     m_pPopup2->visualItemRect(category).size());
    QRect geometry = popupGeometry(m_pPopup3, QRect(field.left() + (field.width() - 1) / 2, item.bottom() + 1,
                                                    field.width(), 1),
                                   names.size());
    if (geometry.bottom() > availableArea().bottom()) geometry.moveBottom(item.top() - 1);
    m_pPopup3->setOpenerItem(category);
    m_pPopup3->setShowMarker(false);
    showPopup(m_pPopup3, geometry, m_pPopup2);
}

void MainWindow::clickAfterNameList1(QListWidgetItem* pItem) {
    if (!m_pPopup1->isVisible() || !pItem) return;
    const QString text = pItem->text();
    if (text == kOtherNormal || text == QString("* ") + kOtherNormal)
        showAfterNameList2(m_PopupCh, 0);
    else if (text == kOtherDrum || text == QString("* ") + kOtherDrum)
        showAfterNameList2(m_PopupCh, 1);
    else
        setAfterNameList(m_PopupCh, text);
}

void MainWindow::clickAfterNameList2(QListWidgetItem* pItem) {
    if (!m_pPopup2->isVisible() || !pItem) return;
    if (hasSeveralTargets(m_PopupCh))
        showAfterNameList3(m_PopupCh);
    else
        setAfterNameList(m_PopupCh, pItem->text());
}

void MainWindow::openAfterNameList3(QListWidgetItem* pItem) {
    if (!m_pPopup2->isVisible()) return;
    if (!pItem) {
        m_pPopup3->close();
        return;
    }
    if (hasSeveralTargets(m_PopupCh)) showAfterNameList3(m_PopupCh);
}

void MainWindow::clickAfterNameList3(QListWidgetItem* pItem) {
    if (!m_pPopup3->isVisible() || !pItem) return;
    setAfterNameList(m_PopupCh, pItem->text());
}

void MainWindow::setAfterNameList(int ch, const QString& text) {
    if (ch < 0 || ch > 15) return;
    if (m_pChannelSelector->SetTargetByName(BYTE(ch), text) < 0) return;
    setFittedText(m_Rows[size_t(ch)].txtAfter, text);
    closeAllAfterNameList();
}

void MainWindow::showBeatResolution() {
    const QPoint corner = ui.btnNoteSelect->mapToGlobal(QPoint(0, ui.btnNoteSelect->height() - 1));
    const QRect area = availableArea();
    const QRect frame = m_pBeatPicker->frameGeometry();
    const int x = std::max(std::min(corner.x(), area.width() - frame.width()), 0);
    const int y = std::max(std::min(corner.y(), area.height() - frame.height()), 0);
    m_pBeatPicker->move(x, y);
    m_pBeatPicker->setIndex(m_BeatResolutionIndex);
    m_pBeatPicker->show();
}

void MainWindow::setBeatResolution(int index) {
    if (index >= 0 && index < kBeatResolutionCount) m_BeatResolutionIndex = index;
    const QPixmap note = notePicture(m_BeatResolutionIndex);
    QIcon noteIcon;
    noteIcon.addPixmap(note, QIcon::Normal, QIcon::Off);
    noteIcon.addPixmap(note, QIcon::Normal, QIcon::On);
    ui.btnNoteSelect->setIcon(noteIcon);
}

void MainWindow::modelChanged(QAction* pAction) {
    if (pAction) setModel(pAction->text());
}

void MainWindow::setModel(const QString& text) {
    if (m_pChannelSelector->SetModel(text) < 0) return;
    m_pChannelSelector->ResetAlgLastSel();
    // Without a song the rows stay empty; only the picture changes.
    if (!m_pSmf->GetTracks().empty()) {
        if (showChannelVoices() < 0 || showTargets() < 0) return;
    }
    QPixmap picture;
    if (m_pChannelSelector->GetModelPicture(&picture) >= 0 && !picture.isNull()) ui.lblModel->setPixmap(picture);
}
