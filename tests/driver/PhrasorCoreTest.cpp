// The core's contract on small songs: its objects, the bytes it hands back
// and keeps, its refusals, and the phrase-file check.
#include <gtest/gtest.h>

#include <filesystem>

#include "driver/ArticEditorUtil.h"
#include "driver/PhrasorCore.h"
#include "host/PhrasorApp.h"
#include "tests/driver/BridgeFixture.h"
#include "tests/driver/PhrasorCoreFixture.h"
#include "tests/platform/TempFolder.h"

namespace {

using bridgetest::At;
using phrasorcoretest::Bytes;
using phrasorcoretest::CoreRun;
using phrasorcoretest::kUp12;
using phrasorcoretest::ReadSmf;
using smftest::Cat;

// Channel 0: two notes; channel 1: controllers only. A tempo at 0.
const Bytes kPhrasorCoreSong = smftest::Smf0(Cat({
    At(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}), At(0, {0xB1, 7, 100}), At(960, {0x90, 60, 100}),
    At(0, {0xB1, 10, 64}), At(480, {0x80, 60, 0}), At(0, {0x90, 64, 90}), At(480, {0x80, 64, 0}),
}));

CPhrasorCoreImpl* PhrasorCoreImplOf(CPhrasorCoreIF* core) { return dynamic_cast<CPhrasorCoreImpl*>(core); }

TEST(PhrasorCore, AFailedConvertKeepsTheCallersBytesAndTheLastOutput) {
    CoreRun run;
    ASSERT_TRUE(run.Prepare(0, kUp12));
    BYTE* data = const_cast<BYTE*>(kPhrasorCoreSong.data());
    DWORD size = DWORD(kPhrasorCoreSong.size());
    ASSERT_EQ(run.core->Convert(&data, &size), 1);
    ASSERT_NE(data, kPhrasorCoreSong.data());
    const BYTE* first = data;
    const Bytes firstBytes(data, data + size);
    EXPECT_EQ(phrasorcoretest::NotesOf(ReadSmf(firstBytes), 0).front().key, 72);

    Bytes junk = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'S', 'M', 'F'};
    BYTE* junkData = junk.data();
    DWORD junkSize = DWORD(junk.size());
    EXPECT_EQ(run.core->Convert(&junkData, &junkSize), 0);
    EXPECT_EQ(junkData, junk.data());
    EXPECT_EQ(junkSize, junk.size());
    EXPECT_EQ(PhrasorCoreImplOf(run.core)->GetMessage(), "Data Load Error!!");
    BYTE* none = nullptr;
    DWORD noneSize = 16;
    EXPECT_EQ(run.core->Convert(&none, &noneSize), 0);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(noneSize, 16u);
    // The previous output is still the core's, unchanged.
    EXPECT_EQ(Bytes(first, first + firstBytes.size()), firstBytes);

    // Converting the previous output itself: it is read before it is freed
    // (the sanitizers see a read after the free or a leak of the first).
    data = const_cast<BYTE*>(first);
    size = DWORD(firstBytes.size());
    ASSERT_TRUE(run.Prepare(0, kUp12));
    ASSERT_EQ(run.core->Convert(&data, &size), 1);
    EXPECT_EQ(phrasorcoretest::NotesOf(ReadSmf(Bytes(data, data + size)), 0).front().key, 84);
    EXPECT_EQ(PhrasorCoreImplOf(run.core)->GetMessage(), "");
}

TEST(PhrasorCore, AChannelWithoutNotesFailsAndTheNextConverts) {
    CoreRun run;
    Bytes bytes = kPhrasorCoreSong;
    EXPECT_EQ(run.Convert(bytes, 1, kUp12), 0);
    EXPECT_EQ(bytes, kPhrasorCoreSong);
    EXPECT_NE(PhrasorCoreImplOf(run.core)->GetMessage(), "");
    EXPECT_EQ(run.Convert(bytes, 0, kUp12), 1);
    const auto notes = phrasorcoretest::NotesOf(ReadSmf(bytes), 0);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].key, 72);
    EXPECT_EQ(notes[1].key, 76);
}

TEST(PhrasorCore, AScriptThatDoesNotLoadFails) {
    CoreRun run;
    Bytes bytes = kPhrasorCoreSong;
    EXPECT_EQ(run.Convert(bytes, 0, {"#set:1", "#prob:1", "#exp1:CArticExpNoSuchClass( 1{_thisEvnt}, 12)"}), 0);
    EXPECT_EQ(bytes, kPhrasorCoreSong);
    EXPECT_EQ(run.Convert(bytes, 0, {"#set:1", "#prob:1", "#exp1:CArticExpKeySft( 1{_thisEvnt})"}), 0);
    EXPECT_EQ(bytes, kPhrasorCoreSong);
}

// Without its objects the core refuses: no conversion reports success.
TEST(PhrasorCore, WithoutItsObjectsTheCoreRefuses) {
    phrasorcoretest::ProgramFolderOverride folder(phrasorcoretest::DataFolder());
    CPhrasorCoreIF* core = CreatePhrasorCore(nullptr);
    ASSERT_NE(core, nullptr);
    Bytes bytes = kPhrasorCoreSong;
    BYTE* data = bytes.data();
    DWORD size = DWORD(bytes.size());
    EXPECT_EQ(core->Convert(&data, &size), 0);  // no driver, no document
    EXPECT_EQ(core->GetConvPrm(), nullptr);
    EXPECT_EQ(core->CheckLibFiles(), 0);

    core->CreateProc();
    EXPECT_EQ(core->GetConvPrm(), nullptr);  // a driver, no document
    EXPECT_EQ(core->Convert(&data, &size), 0);
    core->AddScriptLine("#set:1", 7);
    EXPECT_EQ(core->GetScriptLineCount(), 0);

    core->CreateDoc();
    CPHConvPrm* prm = core->GetConvPrm();
    ASSERT_NE(prm, nullptr);
    core->AddScriptLine("#set:1", 7);
    core->AddScriptLine("#prob:1", 8);
    EXPECT_EQ(core->GetScriptLineCount(), 2);
    EXPECT_EQ(prm->GetLineCount(), 2);
    core->ClearScriptLines();
    EXPECT_EQ(core->GetScriptLineCount(), 0);

    EXPECT_EQ(core->Convert(nullptr, &size), 0);
    EXPECT_EQ(core->Convert(&data, nullptr), 0);
    EXPECT_EQ(data, bytes.data());

    core->DeleteDoc();
    EXPECT_EQ(core->GetConvPrm(), nullptr);
    EXPECT_EQ(core->Convert(&data, &size), 0);
    EXPECT_EQ(data, bytes.data());
    EXPECT_EQ(size, bytes.size());

    core->CreateDoc();
    core->DeleteProc();
    EXPECT_EQ(core->GetConvPrm(), nullptr);
    EXPECT_EQ(core->Convert(&data, &size), 0);
    EXPECT_EQ(core->GetScriptLineCount(), 0);
    // The document left behind is deleted with the core (the leak check).
    DeletePhrasorCore(core);
    DeletePhrasorCore(nullptr);
}

// A handle starts the application object and the core's end stops it;
// without one neither happens.
TEST(PhrasorCore, OnlyACoreWithAHandleStartsAndStopsTheApplication) {
    CPhrasorApp& app = GetPhrasorApp();
    const bool wasRunning = app.IsRunning();
    app.Stop();
    CPhrasorCoreIF* plain = CreatePhrasorCore(nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(app.IsRunning());
    EXPECT_FALSE(PhrasorCoreImplOf(plain)->StartedApplication());
    CPhrasorCoreIF* started = CreatePhrasorCore(phrasorcoretest::ModuleHandle());
    ASSERT_NE(started, nullptr);
    EXPECT_TRUE(app.IsRunning());
    DeletePhrasorCore(plain);
    EXPECT_TRUE(app.IsRunning());
    DeletePhrasorCore(started);
    EXPECT_FALSE(app.IsRunning());
    if (wasRunning) app.Start();
}

TEST(PhrasorCore, TheRegisteredViewGoesWithTheDriver) {
    CoreRun run;
    Bytes bytes = kPhrasorCoreSong;
    ASSERT_EQ(run.Convert(bytes, 0, kUp12), 1);
    run.core->DeleteProc();
    EXPECT_EQ(CArticEditorUtil::GetView(), nullptr);
    // The next run's driver converts again.
    run.core->CreateProc();
    run.core->CreateDoc();
    EXPECT_EQ(run.Convert(bytes, 0, kUp12), 1);
    EXPECT_EQ(phrasorcoretest::NotesOf(ReadSmf(bytes), 0).front().key, 84);
}

// A driver that outlives its document works on the next one: nothing it
// keeps still names the host interface of the document that went.
TEST(PhrasorCore, ADriverOutlivesItsDocument) {
    CoreRun run;
    run.core->DeleteDoc();
    run.core->ResetPortName(0);
    EXPECT_EQ(run.core->CheckLibFiles(), 1);
    run.core->CreateDoc();
    Bytes bytes = kPhrasorCoreSong;
    ASSERT_EQ(run.Convert(bytes, 0, kUp12), 1);
    run.core->CreateDoc();  // replaces the document
    ASSERT_EQ(run.Convert(bytes, 0, kUp12), 1);
    EXPECT_EQ(phrasorcoretest::NotesOf(ReadSmf(bytes), 0).front().key, 84);
}

// Changes the current folder for its life.
struct PhrasorCoreCurrentFolder {
    std::filesystem::path saved = std::filesystem::current_path();
    explicit PhrasorCoreCurrentFolder(const std::string& folder) { std::filesystem::current_path(folder); }
    ~PhrasorCoreCurrentFolder() { std::filesystem::current_path(saved); }
};

TEST(PhrasorCore, ThePhraseFilesAreLookedForInTheProgramFolder) {
    const char* const names[5] = {"GlisDn.mid", "Sdn5nt.mid", "Vib3-g02.mid", "Vib3-g03.mid", "vib4-g02.mid"};
    TempFolder elsewhere;
    ASSERT_TRUE(elsewhere.ok());
    for (int missing = -1; missing < 5; ++missing) {
        TempFolder folder;
        for (int i = 0; i < 5; ++i)
            if (i != missing) folder.write(std::string("Lib/") + names[i], "MThd");
        phrasorcoretest::ProgramFolderOverride override(CString((folder.path() + "/").c_str()));
        CPhrasorCoreIF* core = CreatePhrasorCore(phrasorcoretest::ModuleHandle());
        ASSERT_NE(core, nullptr);
        EXPECT_EQ(core->CheckLibFiles(), 0) << "no driver";
        core->CreateProc();
        core->CreateDoc();
        EXPECT_EQ(core->CheckLibFiles(), missing < 0 ? 1 : 0) << "without " << (missing < 0 ? "none" : names[missing]);
        DeletePhrasorCore(core);
    }
    // The shipped files, "vib3-g02.mid" being "Vib3-g02.mid", with the
    // current folder somewhere else.
    PhrasorCoreCurrentFolder current(elsewhere.path());
    CoreRun run;
    EXPECT_EQ(run.core->CheckLibFiles(), 1);
}

}  // namespace

namespace {

// Division 96 and a note 2^25 ticks in: at the document's 960 per quarter
// its time is past what a delta time can carry, so the song cannot be saved.
const Bytes kUnsavableSong = smftest::Smf0(Cat({
    At(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}), At(0, {0x90, 60, 100}), At(96, {0x80, 60, 0}),
    At(0x2000000, {0x90, 62, 100}), At(96, {0x80, 62, 0}),
}), 96);

}  // namespace

TEST(PhrasorCore, ASongThatCannotBeSavedFailsWithAReason) {
    CoreRun run;
    Bytes bytes = kUnsavableSong;
    EXPECT_EQ(run.Convert(bytes, 0, kUp12), 0);
    EXPECT_EQ(bytes, kUnsavableSong);
    EXPECT_EQ(PhrasorCoreImplOf(run.core)->GetMessage(), "Data Save Error!!");
}
