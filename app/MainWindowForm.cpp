#include "app/MainWindowForm.h"

#include <QAction>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScrollArea>

#include "app/IconPushButton.h"
#include "app/Pictures.h"
#include "app/SimpleLabel.h"
#include "app/TransparentPushButton.h"

namespace {

// The members of one row family, row 1 first.
template <typename T>
using RowFamily = T* Ui::MainWindow::*const[16];

#define VEXA_FORM_ROW_MEMBERS(name)                                                                                    \
    {                                                                                                                  \
        &Ui::MainWindow::name##1, &Ui::MainWindow::name##2, &Ui::MainWindow::name##3, &Ui::MainWindow::name##4,        \
            &Ui::MainWindow::name##5, &Ui::MainWindow::name##6, &Ui::MainWindow::name##7, &Ui::MainWindow::name##8,    \
            &Ui::MainWindow::name##9, &Ui::MainWindow::name##10, &Ui::MainWindow::name##11, &Ui::MainWindow::name##12, \
            &Ui::MainWindow::name##13, &Ui::MainWindow::name##14, &Ui::MainWindow::name##15, &Ui::MainWindow::name##16 \
    }

const RowFamily<SimpleLabel> kTxtProgNo = VEXA_FORM_ROW_MEMBERS(txtProgNo);
const RowFamily<SimpleLabel> kTxtProgName = VEXA_FORM_ROW_MEMBERS(txtProgName);
const RowFamily<IconPushButton> kBtnAfter = VEXA_FORM_ROW_MEMBERS(btnAfter);
const RowFamily<SimpleLabel> kLblIcon = VEXA_FORM_ROW_MEMBERS(lblIcon);
const RowFamily<SimpleLabel> kLblAfter = VEXA_FORM_ROW_MEMBERS(lblAfter);
const RowFamily<SimpleLabel> kTxtAfter = VEXA_FORM_ROW_MEMBERS(txtAfter);
const RowFamily<TransparentPushButton> kCboAfter = VEXA_FORM_ROW_MEMBERS(cboAfter);
const RowFamily<IconPushButton> kBtnRcmd = VEXA_FORM_ROW_MEMBERS(btnRcmd);

#undef VEXA_FORM_ROW_MEMBERS

// Creates one family from row 1 to row 16: row n at y = 90 + 26 (n - 1).
template <typename T>
void CreateRowFamily(Ui::MainWindow& ui, const RowFamily<T>& members, const char* name, int x, int width, int height) {
    for (int n = 1; n <= 16; ++n) {
        T* w = new T(ui.lblBackground);
        w->setObjectName(QString::fromLatin1(name) + QString::number(n));
        w->setGeometry(x, 90 + 26 * (n - 1), width, height);
        ui.*members[n - 1] = w;
    }
}

template <typename T>
T* CreateControl(QWidget* parent, const char* name, int x, int y, int width, int height) {
    T* w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(x, y, width, height);
    return w;
}

// A picture button: its Off picture at rest, its On picture when pressed.
void SetButtonPictures(IconPushButton* button, const char* off, const char* on, const QSize& size) {
    QIcon icon;
    icon.addFile(QString::fromLatin1(off), QSize(), QIcon::Normal, QIcon::Off);
    icon.addFile(QString::fromLatin1(on), QSize(), QIcon::Normal, QIcon::On);
    button->setIcon(icon);
    button->setIconSize(size);
}

QAction* CreateAction(QMainWindow* window, const char* name) {
    QAction* action = new QAction(window);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

void Ui::MainWindow::setupUi(QMainWindow* MainWindow) {
    RegisterPictures();
    if (MainWindow->objectName().isEmpty()) MainWindow->setObjectName(QString::fromUtf8("MainWindow"));
    MainWindow->resize(718, 555);

    actionOpen = CreateAction(MainWindow, "actionOpen");
    actionConvert = CreateAction(MainWindow, "actionConvert");
    actionConvertFilder = CreateAction(MainWindow, "actionConvertFilder");
    actionExit = CreateAction(MainWindow, "actionExit");
    actionAbout = CreateAction(MainWindow, "actionAbout");

    centralwidget = new QWidget(MainWindow);
    centralwidget->setObjectName(QString::fromUtf8("centralwidget"));
    gridLayout = new QGridLayout(centralwidget);
    gridLayout->setSpacing(0);
    gridLayout->setObjectName(QString::fromUtf8("gridLayout"));
    gridLayout->setContentsMargins(0, 0, 0, 0);
    scrollArea = new QScrollArea(centralwidget);
    scrollArea->setObjectName(QString::fromUtf8("scrollArea"));
    scrollArea->setFrameShape(QFrame::NoFrame);

    lblBackground = new QLabel();
    lblBackground->setObjectName(QString::fromUtf8("lblBackground"));
    lblBackground->setGeometry(0, 0, 718, 535);
    lblBackground->setPixmap(QPixmap(QString::fromUtf8(":/res/Background.bmp")));

    lblModel = CreateControl<SimpleLabel>(lblBackground, "lblModel", 24, 33, 181, 36);
    CreateRowFamily(*this, kTxtProgNo, "txtProgNo", 52, 68, 26);
    CreateRowFamily(*this, kTxtProgName, "txtProgName", 120, 110, 26);
    CreateRowFamily(*this, kBtnAfter, "btnAfter", 230, 30, 25);
    CreateRowFamily(*this, kLblIcon, "lblIcon", 260, 39, 25);
    CreateRowFamily(*this, kLblAfter, "lblAfter", 299, 171, 25);
    CreateRowFamily(*this, kTxtAfter, "txtAfter", 299, 151, 25);
    CreateRowFamily(*this, kCboAfter, "cboAfter", 299, 171, 25);
    CreateRowFamily(*this, kBtnRcmd, "btnRcmd", 470, 48, 25);

    btnConvert = CreateControl<IconPushButton>(lblBackground, "btnConvert", 585, 40, 95, 43);
    SetButtonPictures(btnConvert, ":/res/ConvBtnOff.bmp", ":/res/ConvBtnOn.bmp", QSize(95, 43));
    btnExit = CreateControl<IconPushButton>(lblBackground, "btnExit", 613, 84, 67, 34);
    SetButtonPictures(btnExit, ":/res/ExitBtnOff.bmp", ":/res/ExitBtnOn.bmp", QSize(67, 34));
    lblBeatReso = CreateControl<SimpleLabel>(lblBackground, "lblBeatReso", 586, 151, 94, 13);
    lblBeatReso->setPixmap(QPixmap(QString::fromUtf8(":/res/BeatResoText.bmp")));
    btnNoteSelect = CreateControl<IconPushButton>(lblBackground, "btnNoteSelect", 613, 164, 67, 43);
    lblImage = CreateControl<SimpleLabel>(lblBackground, "lblImage", 539, 299, 133, 196);
    lblNowConv = CreateControl<SimpleLabel>(lblBackground, "lblNowConv", 549, 326, 116, 16);
    lblConvMovie = CreateControl<SimpleLabel>(lblBackground, "lblConvMovie", 539, 371, 133, 51);
    lblMask = CreateControl<QLabel>(lblBackground, "lblMask", 0, 0, 718, 535);
    btnCancel = CreateControl<IconPushButton>(lblBackground, "btnCancel", 585, 40, 95, 43);
    SetButtonPictures(btnCancel, ":/res/CancelBtnOff.bmp", ":/res/CancelBtnOn.bmp", QSize(95, 43));

    scrollArea->setWidget(lblBackground);
    gridLayout->addWidget(scrollArea, 0, 0, 1, 1);
    MainWindow->setCentralWidget(centralwidget);

    menubar = new QMenuBar(MainWindow);
    menubar->setObjectName(QString::fromUtf8("menubar"));
    menubar->setGeometry(0, 0, 718, 18);
    menuFile = new QMenu(menubar);
    menuFile->setObjectName(QString::fromUtf8("menuFile"));
    menuRecentFiles = new QMenu(menuFile);
    menuRecentFiles->setObjectName(QString::fromUtf8("menuRecentFiles"));
    menuPreference = new QMenu(menubar);
    menuPreference->setObjectName(QString::fromUtf8("menuPreference"));
    menuHelp = new QMenu(menubar);
    menuHelp->setObjectName(QString::fromUtf8("menuHelp"));
    MainWindow->setMenuBar(menubar);

    menubar->addAction(menuFile->menuAction());
    menubar->addAction(menuPreference->menuAction());
    menubar->addAction(menuHelp->menuAction());
    menuFile->addAction(actionOpen);
    menuFile->addAction(actionConvertFilder);
    menuFile->addSeparator();
    menuFile->addAction(menuRecentFiles->menuAction());
    menuFile->addSeparator();
    menuFile->addAction(actionExit);
    menuHelp->addAction(actionAbout);

    retranslateUi(MainWindow);
    QObject::connect(actionOpen, SIGNAL(triggered()), MainWindow, SLOT(open()));
    QObject::connect(actionConvert, SIGNAL(triggered()), MainWindow, SLOT(convert()));
    QObject::connect(actionConvertFilder, SIGNAL(triggered()), MainWindow, SLOT(openFolder()));
    QObject::connect(actionExit, SIGNAL(triggered()), MainWindow, SLOT(close()));
    QObject::connect(actionAbout, SIGNAL(triggered()), MainWindow, SLOT(about()));
    QObject::connect(btnConvert, SIGNAL(clicked()), MainWindow, SLOT(convert()));
    QObject::connect(btnCancel, SIGNAL(clicked()), MainWindow, SLOT(cancel()));
    QObject::connect(btnExit, SIGNAL(clicked()), MainWindow, SLOT(close()));
    QMetaObject::connectSlotsByName(MainWindow);
}

void Ui::MainWindow::retranslateUi(QMainWindow* MainWindow) {
    MainWindow->setWindowTitle(QCoreApplication::translate("MainWindow", "Phrasor", nullptr));
    actionOpen->setText(QCoreApplication::translate("MainWindow", "&Open", nullptr));
    actionOpen->setShortcut(QKeySequence(QCoreApplication::translate("MainWindow", "Ctrl+O", nullptr)));
    actionConvert->setText(QCoreApplication::translate("MainWindow", "&Convert", nullptr));
    actionConvert->setShortcut(QKeySequence(QCoreApplication::translate("MainWindow", "Alt+C", nullptr)));
    actionConvertFilder->setText(QCoreApplication::translate("MainWindow", "Convert &Folder...", nullptr));
    actionExit->setText(QCoreApplication::translate("MainWindow", "E&xit", nullptr));
    actionExit->setShortcut(QKeySequence(QCoreApplication::translate("MainWindow", "Ctrl+Q", nullptr)));
    actionAbout->setText(QCoreApplication::translate("MainWindow", "&About Phrasro ...", nullptr));
    menuFile->setTitle(QCoreApplication::translate("MainWindow", "&File", nullptr));
    menuRecentFiles->setTitle(QCoreApplication::translate("MainWindow", "Recent Files", nullptr));
    menuPreference->setTitle(QCoreApplication::translate("MainWindow", "Preference(&S)", nullptr));
    menuHelp->setTitle(QCoreApplication::translate("MainWindow", "&Help", nullptr));
}
