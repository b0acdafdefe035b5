// What the window keeps between runs (model, last targets per category,
// recent files) and how it closes, on the real window with the fake core.
#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/ConvertThread.h"
#include "app/MainWindow.h"
#include "app/VexaChSelector.h"
#include "tests/app/ProgramFolder.h"
#include "tests/app/SmfSongBuilder.h"

using namespace smfsong;

namespace {

const QStringList kAlgLastSelKeys{"Nylon",           "EleBass",         "Str",      "BrassSec",    "TSax", "Vocal",
                                  "FenwoFingHmerOn", "FenwoPickHmerOn", "RockDrum", "JazzBrushExp"};
const CVexaChSelector::AlgLastSelValues kBrune2Defaults{0, 26, 38, 45, 53, 56, 82, 84, 128, 149};

QString CheckedModel(const MainWindow& window) {
    QAction* action = window.modelGroup()->checkedAction();
    return action ? action->text() : QString();
}

QString SelectedModel(const MainWindow& window) {
    QString name;
    window.channelSelector()->GetModelName(&name);
    return name;
}

CVexaChSelector::AlgLastSelValues AlgLastSel(const MainWindow& window) {
    CVexaChSelector::AlgLastSelValues values{};
    window.channelSelector()->GetAlgLastSelAll(&values);
    return values;
}

// The texts of the visible recent-file entries, top first.
QStringList ListedRecentFiles(const MainWindow& window) {
    QStringList texts;
    for (QAction* action : window.recentFileActions())
        if (action->isVisible()) texts << action->text();
    return texts;
}

QString MakeSongFile(const QTemporaryDir& dir, const QString& name) {
    const QByteArray bytes = PianoNoteSong();
    EXPECT_FALSE(bytes.isEmpty());
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
}

}  // namespace

TEST(MainWindowSettings, AFirstStartSelectsBrune2ListsNoFileAndACloseWritesEveryKey) {
    ProgramFolder folder;
    RecordingPrompter prompter;
    {
        MainWindow window(folder.Setup(&prompter));
        EXPECT_EQ(SelectedModel(window), QString("Brune2"));
        EXPECT_EQ(CheckedModel(window), QString("Brune2"));
        EXPECT_TRUE(ListedRecentFiles(window).isEmpty());
        EXPECT_FALSE(window.form().menuRecentFiles->isEnabled());
        EXPECT_EQ(AlgLastSel(window), kBrune2Defaults);
        EXPECT_FALSE(QFile::exists(folder.settingsFile()));  // written only when the window goes
    }
    ASSERT_TRUE(QFile::exists(folder.settingsFile()));
    QSettings stored(folder.settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("ModelSelName/ModelSelName").toString(), QString("Brune2"));
    stored.beginGroup("AlgLastSel");
    EXPECT_EQ(stored.childKeys().size(), 10);
    for (int c = 0; c < 10; ++c)
        EXPECT_EQ(stored.value(kAlgLastSelKeys[c]).toInt(), kBrune2Defaults[size_t(c)]) << c;
    stored.endGroup();
    stored.beginGroup("Recent File List");
    EXPECT_EQ(stored.childKeys().size(), 4);
    for (const char* key : {"File1", "File2", "File3", "File4"}) {
        EXPECT_TRUE(stored.contains(key)) << key;
        EXPECT_EQ(stored.value(key).toString(), QString()) << key;
    }
}

TEST(MainWindowSettings, ModelTargetsAndRecentFilesComeBackAfterARestart) {
    ProgramFolder folder;
    RecordingPrompter prompter;
    QTemporaryDir songs;
    const QString a = MakeSongFile(songs, "a.mid"), b = MakeSongFile(songs, "b.mid"),
                  c = MakeSongFile(songs, "c.mid");
    {
        MainWindow window(folder.Setup(&prompter));
        for (QAction* action : window.modelGroup()->actions())
            if (action->text() == QString("Kelda")) action->trigger();
        ASSERT_EQ(SelectedModel(window), QString("Kelda"));
        CVexaChSelector::AlgLastSelValues chosen = AlgLastSel(window);
        chosen[0] = 1;  // NylonGuitar(Smooth)
        window.channelSelector()->SetAlgLastSelAll(chosen);
        for (const QString& path : {a, b, c}) window.openFile(path);
        EXPECT_EQ(ListedRecentFiles(window), (QStringList{c, b, a}));
    }
    MainWindow again(folder.Setup(&prompter));
    EXPECT_EQ(SelectedModel(again), QString("Kelda"));
    EXPECT_EQ(CheckedModel(again), QString("Kelda"));
    EXPECT_EQ(AlgLastSel(again)[0], 1);
    EXPECT_EQ(ListedRecentFiles(again), (QStringList{c, b, a}));  // File1 on top
    EXPECT_TRUE(again.form().menuRecentFiles->isEnabled());
    EXPECT_EQ(again.currentSongPath(), c);  // the next file dialog starts there
}

TEST(MainWindowSettings, StoredValuesThatNoLongerFitAreDropped) {
    ProgramFolder folder;
    RecordingPrompter prompter;
    QTemporaryDir songs;
    const QString kept = MakeSongFile(songs, "kept.mid");
    const QString gone = songs.filePath("gone.mid");
    {
        QSettings store(folder.settingsFile(), QSettings::IniFormat);
        store.setValue("ModelSelName/ModelSelName", "Removed-Model");
        store.setValue("AlgLastSel/Nylon", 26);  // an EleBass row: not a Nylon one
        store.setValue("AlgLastSel/EleBass", "bass");  // no number
        store.setValue("Recent File List/File1", gone);
        store.setValue("Recent File List/File2", kept);
    }
    {
        MainWindow window(folder.Setup(&prompter));
        EXPECT_EQ(SelectedModel(window), QString("Brune2"));
        EXPECT_EQ(CheckedModel(window), QString("Brune2"));
        EXPECT_EQ(AlgLastSel(window), kBrune2Defaults);
        EXPECT_EQ(ListedRecentFiles(window), QStringList{kept});
    }
    QSettings stored(folder.settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("ModelSelName/ModelSelName").toString(), QString("Brune2"));  // written back
    EXPECT_EQ(stored.value("AlgLastSel/Nylon").toInt(), 0);
    EXPECT_EQ(stored.value("Recent File List/File1").toString(), kept);
}

TEST(MainWindowSettings, WithoutBrune2TheFirstModelIsChosen) {
    ProgramFolder folder;
    ASSERT_TRUE(QFile::remove(folder.path() + "/Brune2.exm"));
    RecordingPrompter prompter;
    MainWindow window(folder.Setup(&prompter));
    QStringList names;
    window.channelSelector()->GetModelNameList(&names);
    ASSERT_FALSE(names.isEmpty());
    EXPECT_FALSE(names.contains("Brune2"));
    EXPECT_EQ(SelectedModel(window), names.front());
    EXPECT_EQ(CheckedModel(window), names.front());
}

TEST(MainWindowClosing, IgnoredWhileTheWorkerRunsAndAfterACancelledSaveItAsks) {
    ProgramFolder folder;
    RecordingPrompter prompter;
    QTemporaryDir songs;
    MainWindow window(folder.Setup(&prompter));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_EQ(folder.cores.size(), 1u);
    folder.cores.front()->m_Echo = true;
    folder.cores.front()->m_ConvertDelayMs = 800;
    window.openFile(MakeSongFile(songs, "close.mid"));
    ASSERT_EQ(window.channelSelector()->SetChannelOn(0, true), 0);
    prompter.pathAnswers = {QString()};  // the save dialog is cancelled
    window.convert();
    ASSERT_TRUE(window.worker()->isRunning());
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(prompter.asked.empty());

    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.worker()->isRunning() && window.isEnabled() &&
                                             !window.form().lblMask->isVisibleTo(&window); }, 20000));
    QTest::qWait(20);
    ASSERT_TRUE(window.isWindowModified());
    prompter.asked.clear();
    prompter.buttonAnswers = {QMessageBox::Cancel};
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text, QString("Save document?"));
    prompter.buttonAnswers = {QMessageBox::No};
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
}
