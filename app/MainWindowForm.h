// The main window's form: a 718 x 535 background picture with every control
// at a fixed pixel position over it, the menus, and the texts. Written by
// hand in the manner of a generated form; the creation order is the stacking
// order (later controls lie on top).
#pragma once

#include <QtGlobal>

class QAction;
class QGridLayout;
class QLabel;
class QMainWindow;
class QMenu;
class QMenuBar;
class QScrollArea;
class QWidget;
class IconPushButton;
class SimpleLabel;
class TransparentPushButton;

// Sixteen numbered members of one row family: name1 .. name16.
#define VEXA_FORM_ROW(Type, name)                                                                                 \
    Type *name##1 = nullptr, *name##2 = nullptr, *name##3 = nullptr, *name##4 = nullptr, *name##5 = nullptr,      \
         *name##6 = nullptr, *name##7 = nullptr, *name##8 = nullptr, *name##9 = nullptr, *name##10 = nullptr,     \
         *name##11 = nullptr, *name##12 = nullptr, *name##13 = nullptr, *name##14 = nullptr, *name##15 = nullptr, \
         *name##16 = nullptr

namespace Ui {

class MainWindow {
public:
    QAction* actionOpen = nullptr;
    QAction* actionConvert = nullptr;
    QAction* actionConvertFilder = nullptr;
    QAction* actionExit = nullptr;
    QAction* actionAbout = nullptr;
    QWidget* centralwidget = nullptr;
    QGridLayout* gridLayout = nullptr;
    QScrollArea* scrollArea = nullptr;
    QLabel* lblBackground = nullptr;
    SimpleLabel* lblModel = nullptr;
    VEXA_FORM_ROW(SimpleLabel, txtProgNo);
    VEXA_FORM_ROW(SimpleLabel, txtProgName);
    VEXA_FORM_ROW(IconPushButton, btnAfter);
    VEXA_FORM_ROW(SimpleLabel, lblIcon);
    VEXA_FORM_ROW(SimpleLabel, lblAfter);
    VEXA_FORM_ROW(SimpleLabel, txtAfter);
    VEXA_FORM_ROW(TransparentPushButton, cboAfter);
    VEXA_FORM_ROW(IconPushButton, btnRcmd);
    IconPushButton* btnConvert = nullptr;
    IconPushButton* btnExit = nullptr;
    SimpleLabel* lblBeatReso = nullptr;
    IconPushButton* btnNoteSelect = nullptr;
    SimpleLabel* lblImage = nullptr;
    SimpleLabel* lblNowConv = nullptr;
    SimpleLabel* lblConvMovie = nullptr;
    QLabel* lblMask = nullptr;
    IconPushButton* btnCancel = nullptr;
    QMenuBar* menubar = nullptr;
    QMenu* menuFile = nullptr;
    QMenu* menuRecentFiles = nullptr;
    QMenu* menuPreference = nullptr;
    QMenu* menuHelp = nullptr;

    // Builds the form on the window and connects the menu actions and the
    // three big buttons to the window's slots open(), convert(),
    // openFolder(), close(), about() and cancel().
    void setupUi(QMainWindow* MainWindow);
    void retranslateUi(QMainWindow* MainWindow);
};

}  // namespace Ui

#undef VEXA_FORM_ROW
