#pragma once
// The core driven as the user interface's conversion worker drives it: made
// with a module handle, one driver and one document per run, the resolution,
// and per channel its parameters, its script lines and a Convert on the
// previous result. The program folder is the source tree's data/ (its Lib/
// holds the phrase files) for the life of the run.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "services/PHConvPrm.h"
#include "driver/PhrasorCoreIF.h"
#include "host/PhrasorApp.h"
#include "tests/CorpusFiles.h"
#include "tests/driver/PhrasorCoreSmf.h"
#include "tools/CoreWorker.h"

namespace phrasorcoretest {

// Any address stands for the program's module handle.
inline void* ModuleHandle() {
    static int module;
    return &module;
}

using Script = std::vector<std::string>;

inline const Script kUp12 = {"#set:1", "#name:X", "#prob:0.5*2", "#exp1:CArticExpKeySft( 1{_thisEvnt}, 12)"};
inline const Script kCc73 = {"#set:1", "#name:X", "#prob:0.5*2",
                             "#exp1:CArticExpStresContCcNoteCreAbs( 1{_thisEvnt}, 3, 73, -5, 81)"};
inline const Script kBend = {"#set:1", "#name:X", "#prob:0.5*2", "#exp1:CArticExpInitPbRange3( 1{_thisEvnt}, 0, 12)",
                             "#exp2:CArticExpPitchCrv2( 1{_thisEvnt}, 14, 0, 120, 0, 4096, 0, 40)"};
inline const Script kEmpty = {";Empty"};

// The program folder the tests give the application object.
inline CString DataFolder() { return CString(VEXA_SOURCE_DIR "/data/"); }

struct ProgramFolderOverride {
    explicit ProgramFolderOverride(const CString& folder) { GetPhrasorApp().OverrideProgramFolder(folder); }
    ~ProgramFolderOverride() { GetPhrasorApp().OverrideProgramFolder(CString()); }
};

struct CoreRun {
    ProgramFolderOverride folder{DataFolder()};
    CPhrasorCoreIF* core = CreatePhrasorCore(ModuleHandle());

    CoreRun() {
        EXPECT_NE(core, nullptr);
        if (!core) return;
        core->CreateProc();
        core->CreateDoc();
        core->SetResolution(480);
    }
    ~CoreRun() {
        if (!core) return;
        core->DeleteProc();
        core->DeleteDoc();
        DeletePhrasorCore(core);
    }
    CoreRun(const CoreRun&) = delete;
    CoreRun& operator=(const CoreRun&) = delete;

    // The channel's parameters as the worker fills them for a guitar target
    // (kind 0, kind flag 1) on bank 8/0, program 25; false without a record.
    bool Prepare(int channel, const Script& script) {
        CPHConvPrm* prm = core ? core->GetConvPrm() : nullptr;
        if (!prm) return false;
        coretool::FillWorkerParams(*prm, channel);
        core->ClearScriptLines();
        for (const std::string& line : script) core->AddScriptLine(line.c_str(), LONG(line.size() + 1));
        return core->GetScriptLineCount() == int(script.size());
    }
    // One channel converted: `bytes` becomes a copy of the result on success.
    int Convert(Bytes& bytes, int channel, const Script& script) {
        if (!Prepare(channel, script)) return -1;
        BYTE* data = bytes.data();
        DWORD size = DWORD(bytes.size());
        const int result = core->Convert(&data, &size);
        if (result == 1) bytes.assign(data, data + size);
        return result;
    }
};

inline Bytes Song(const char* name) {
    const std::string text = corpustest::FileBytes(std::filesystem::path(VEXA_CORPUS) / "songs" / name);
    return Bytes(text.begin(), text.end());
}

}  // namespace phrasorcoretest
