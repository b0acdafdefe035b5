// What the window keeps between runs (the chosen model, the last target per
// recommendation category, the recent files) and how it closes.
#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QSettings>

#include "app/ConvertThread.h"
#include "app/MainWindow.h"
#include "app/VexaChSelector.h"
#include "data/NameTables.h"

namespace {

const char* const kSettingsOrganisation = "Korvet";
const char* const kSettingsApplication = "Phrasr2_1";
const char* const kModelGroup = "ModelSelName";
const char* const kModelKey = "ModelSelName";
const char* const kAlgLastSelGroup = "AlgLastSel";
const char* const kRecentGroup = "Recent File List";
const char* const kPreferredModel = "Brune2";

QString RecentFileKey(int index) { return QStringLiteral("File%1").arg(index + 1); }

}  // namespace

MainWindow::~MainWindow() {
    if (m_pWorker) m_pWorker->wait();
    writeSettings();
}

void MainWindow::validateModelName(QString& name) {
    QStringList names;
    m_pChannelSelector->GetModelNameList(&names);
    if (names.contains(name)) return;
    const QString preferred = QString::fromLatin1(kPreferredModel);
    if (names.contains(preferred))
        name = preferred;
    else
        name = names.isEmpty() ? QString() : names.front();
}

void MainWindow::readSettings() {
    QSettings settings(QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication));
    settings.beginGroup(QString::fromLatin1(kModelGroup));
    QString model = settings.value(QString::fromLatin1(kModelKey)).toString();
    settings.endGroup();
    validateModelName(model);
    for (QAction* action : m_pModelGroup->actions()) {
        if (action->text() == model) {
            action->activate(QAction::Trigger);
            break;
        }
    }

    CVexaChSelector::AlgLastSelValues values{};
    settings.beginGroup(QString::fromLatin1(kAlgLastSelGroup));
    for (int c = 0; c < kRecommendCategoryCount; ++c) {
        bool ok = false;
        const int value = settings.value(QString::fromLatin1(RecommendCategoryNames[c]), 0).toInt(&ok);
        values[size_t(c)] = ok ? value : 0;
    }
    settings.endGroup();
    m_pChannelSelector->SetAlgLastSelAll(values);

    settings.beginGroup(QString::fromLatin1(kRecentGroup));
    QStringList recent;
    for (int k = 0; k < kRecentFileCount; ++k) recent << settings.value(RecentFileKey(k)).toString();
    settings.endGroup();
    // The oldest first, so that File1 ends on top; missing files are skipped.
    for (int k = kRecentFileCount - 1; k >= 0; --k) {
        if (!recent[k].isEmpty()) updateRecentFiles(recent[k]);
    }
}

void MainWindow::writeSettings() {
    QSettings settings(QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication));
    QString model;
    m_pChannelSelector->GetModelName(&model);
    settings.beginGroup(QString::fromLatin1(kModelGroup));
    settings.setValue(QString::fromLatin1(kModelKey), model);
    settings.endGroup();

    CVexaChSelector::AlgLastSelValues values{};
    m_pChannelSelector->GetAlgLastSelAll(&values);
    settings.beginGroup(QString::fromLatin1(kAlgLastSelGroup));
    for (int c = 0; c < kRecommendCategoryCount; ++c)
        settings.setValue(QString::fromLatin1(RecommendCategoryNames[c]), values[size_t(c)]);
    settings.endGroup();

    settings.beginGroup(QString::fromLatin1(kRecentGroup));
    for (int k = 0; k < kRecentFileCount; ++k)
        settings.setValue(RecentFileKey(k), m_RecentFileActions[size_t(k)]->text());
    settings.endGroup();
    settings.sync();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A folder run is under way also while one of its boxes is open.
    if ((m_pWorker && m_pWorker->isRunning()) || !m_FolderFiles.isEmpty()) {
        event->ignore();
        return;
    }
    if (maybeSave()) {
        event->ignore();
        return;
    }
    event->accept();
}
