// The desktop program: one instance per program file name, one window.
#include <QApplication>
#include <memory>

#include "app/Application.h"
#include "app/CoreHolder.h"
#include "app/Program.h"
#include "app/Prompter.h"

int main(int argc, char** argv) {
    Application app(argc, argv);
    if (app.isSecondInstance()) return -1;
    QtPrompter prompter;
    MainWindowSetup setup;
    setup.prompter = &prompter;
    setup.makeCoreHolder = [] { return std::make_shared<CoreHolder>(); };
    // The program's path and the songs, absolute: the current folder is
    // now the program's.
    setup.arguments = QStringList{QApplication::applicationFilePath()} + app.files();
    setup.programFolder = QApplication::applicationDirPath();
    return RunProgram(setup);
}
