// Writes the embedded algorithm scripts (<name>.rul) from the manifest and the
// templates of a scripts folder (see templates/README.md there).
//
//   make_scripts <source folder> <output folder> [<manifest>]
//
// A manifest given apart (the tests' own rows) takes the place of the source
// folder's; the templates stay those of the source folder.
// The scripts are UTF-8 like every source; the build stores them as CP932.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "data/AlgorithmTable.h"
#include "data/VoiceAddressTable.h"
#include "tools/ToolText.h"
#include "tools/make_scripts_core.h"

namespace {

// The display name of the first target row whose algorithm is the script.
bool DisplayName(const std::string& script, std::string& name) {
    if (script == "Debug") {
        name = script;
        return true;
    }
    for (int row = 0; row < kFirstGroupRow; ++row) {
        if (AlgorithmTable[row].algorithmId.str() == script) {
            name = AlgorithmTable[row].displayName.str();
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: make_scripts <source folder> <output folder> [<manifest>]\n");
        return 2;
    }
    InitDrumNoteSets();
    InitAlgorithmTable();
    const std::string source = argv[1], output = argv[2];
    const std::string manifestPath = argc == 4 ? std::string(argv[3]) : source + "/manifest.txt";
    std::string manifest;
    if (!ReadTextFile(manifestPath, manifest)) {
        std::fprintf(stderr, "make_scripts: cannot read %s\n", manifestPath.c_str());
        return 1;
    }
    const auto read = [&](const std::string& path, std::string& text) {
        return ReadTextFile(source + "/templates/" + path, text);
    };
    std::vector<makescripts::Script> scripts;
    const std::string error = makescripts::MakeScripts(manifest, read, DisplayName, scripts);
    if (!error.empty()) {
        std::fprintf(stderr, "make_scripts: %s\n", error.c_str());
        return 1;
    }
    for (const makescripts::Script& script : scripts) {
        const std::string path = output + "/" + script.name + ".rul";
        std::ofstream out(path, std::ios::binary);
        out << script.text;
        if (!out) {
            std::fprintf(stderr, "make_scripts: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
