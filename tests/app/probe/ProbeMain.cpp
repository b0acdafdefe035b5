// The program as the tests start it: the real application object and start,
// the fake core in place of the engine's (which the program links).
#include <QApplication>
#include <memory>

#include "app/Application.h"
#include "app/CoreHolder.h"
#include "app/Program.h"
#include "app/Prompter.h"
#include "tests/app/FakePhrasorCore.h"

int main(int argc, char** argv) {
    Application app(argc, argv);
    if (app.isSecondInstance()) return -1;
    QtPrompter prompter;
    MainWindowSetup setup;
    setup.prompter = &prompter;
    setup.makeCoreHolder = [] {
        CoreHolder::CoreFactory factory;
        factory.create = [](void*) -> CPhrasorCoreIF* { return new FakePhrasorCore; };
        factory.destroy = [](CPhrasorCoreIF* core) { delete core; };
        return std::make_shared<CoreHolder>(factory);
    };
    setup.arguments = QStringList{QApplication::applicationFilePath()} + app.files();
    setup.programFolder = QApplication::applicationDirPath();
    return RunProgram(setup);
}
