#pragma once
// A temporary program folder for the start-up tests: the shipped model files
// (or none), and the window's setup with a fake core and a recording
// prompter.
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>

#include "app/CoreHolder.h"
#include "app/MainWindow.h"
#include "tests/app/FakePhrasorCore.h"
#include "tests/app/RecordingPrompter.h"

class ProgramFolder {
public:
    // Each folder has its own settings store (the windows write theirs when
    // destroyed), so that no case sees another's or the user's.
    explicit ProgramFolder(bool withModels = true) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsPath());
        if (!withModels) return;
        const QDir models(QStringLiteral(VEXA_SOURCE_DIR "/data/models"));
        for (const QString& name : models.entryList({"*.exm"}, QDir::Files))
            QFile::copy(models.filePath(name), m_Dir.filePath(name));
    }
    QString path() const { return m_Dir.path(); }
    QString settingsPath() const { return m_Dir.path() + QStringLiteral("/settings"); }
    // The file of the window's settings store.
    QString settingsFile() const { return settingsPath() + QStringLiteral("/Korvet/Phrasr2_1.conf"); }

    // The setup of a window in this folder; the fake core answers the phrase
    // file check with libAnswer (non-zero: the files are there).
    MainWindowSetup Setup(Prompter* prompter, QStringList arguments = {}, int libAnswer = 1) {
        MainWindowSetup setup;
        setup.prompter = prompter;
        setup.programFolder = path();
        setup.arguments = QStringList{path() + "/vexa"} + arguments;
        setup.makeCoreHolder = [this, libAnswer] {
            CoreHolder::CoreFactory factory;
            factory.create = [this, libAnswer](void*) -> CPhrasorCoreIF* {
                auto* core = new FakePhrasorCore;
                core->m_LibFilesAnswer = libAnswer;
                cores.push_back(core);
                return core;
            };
            factory.destroy = [](CPhrasorCoreIF* core) { delete core; };
            return std::make_shared<CoreHolder>(factory);
        };
        return setup;
    }

    std::vector<FakePhrasorCore*> cores;  // made by the holders (owned by them)

private:
    QTemporaryDir m_Dir;
};
