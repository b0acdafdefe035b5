#include "app/Program.h"

#include <QApplication>
#include <QIcon>
#include <memory>

#include "app/Pictures.h"

int RunProgram(const MainWindowSetup& setup) {
    RegisterPictures();
    QIcon icon;
    icon.addFile(QStringLiteral(":/res/Phrasor16.png"));
    icon.addFile(QStringLiteral(":/res/Phrasor32.png"));
    QApplication::setWindowIcon(icon);
    std::unique_ptr<MainWindow> window;
    try {
        window = std::make_unique<MainWindow>(setup);
    } catch (const StartupError&) {
        return -1;
    }
    window->show();
    window->openStartSongs();
    return QApplication::exec();
}
