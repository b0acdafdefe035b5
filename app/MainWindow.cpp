#include "app/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QSignalMapper>

#include "app/AfterNameListWidget.h"
#include "app/AfterNameListWidgetFilter.h"
#include "app/BeatMapWidget.h"
#include "app/ConvertThread.h"
#include "app/CoreHolder.h"
#include "app/IconPushButton.h"
#include "app/Prompter.h"
#include "app/SimpleLabel.h"
#include "app/Smf.h"
#include "app/TransparentPushButton.h"
#include "app/VexaChSelector.h"
#include "data/AlgorithmTable.h"
#include "data/VoiceAddressTable.h"

namespace {

constexpr int kNotePictureHeight = 43;

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

    // Opening the songs is the opening step's; until then they wait here.
    m_StartSongs = songArguments(setup.arguments);
}

MainWindow::~MainWindow() = default;

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
}

void MainWindow::styleRow(int channel) {
    const ChannelRow& r = m_Rows[size_t(channel)];
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
    connect(r.btnAfter, &QAbstractButton::toggled, m_pOnOffMapper, qOverload<>(&QSignalMapper::map));
    m_pOnOffMapper->setMapping(r.btnAfter, channel);

    r.lblAfter->setPixmap(QPixmap(QString(":/res/TextBase/TextBase%1Off.bmp").arg(number)));

    r.txtAfter->setFrameShape(QFrame::Shape(5));
    r.txtAfter->setLineWidth(0);
    r.txtAfter->setFont(BoldPixelFont(12));
    SetTextColours(r.txtAfter, QColor(0, 255, 255), QColor(162, 174, 186));

    r.btnRcmd->setIcon(TwoStateIcon(QString(":/res/RcmdBtn/Rcmd%1BtnOff.bmp").arg(number),
                                    QString(":/res/RcmdBtn/Rcmd%1BtnOn.bmp").arg(number)));
    r.btnRcmd->setIconSize(r.btnRcmd->size());
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
