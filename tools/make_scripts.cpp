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
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "data/AlgorithmTable.h"
#include "tools/ToolText.h"
#include "data/VoiceAddressTable.h"

namespace {

std::vector<std::string> Split(const std::string& text, char at) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t p; (p = text.find(at, start)) != std::string::npos; start = p + 1) parts.push_back(text.substr(start, p - start));
    parts.push_back(text.substr(start));
    return parts;
}

std::vector<std::string> Rows(const std::string& text) {
    std::vector<std::string> rows;
    for (std::string line : Split(text, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] != '#') rows.push_back(line);
    }
    return rows;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t p = 0; (p = text.find(from, p)) != std::string::npos; p += to.size()) text.replace(p, from.size(), to);
}

struct Zone {
    int code, low, high;
    int keyLow = -1, keyHigh = -1;  // -1: every key
};

struct TuneSet {
    std::string name;
    std::vector<Zone> zones;
};

struct ScriptRow {
    std::string name, family, pbProc, tgMode, instNum, grpTime;
    std::vector<TuneSet> tunes;
};

// "low-high" into two numbers.
bool ParseRange(const std::string& text, int& low, int& high) {
    const size_t dash = text.find('-');
    if (dash == std::string::npos) return false;
    low = std::stoi(text.substr(0, dash));
    high = std::stoi(text.substr(dash + 1));
    return low <= high;
}

// "Set=code:low-high[@keyLow-keyHigh],..." entries separated by blanks.
bool ParseZones(const std::string& text, std::vector<TuneSet>& tunes) {
    if (text == "-") return true;
    std::istringstream entries(text);
    std::string entry;
    while (entries >> entry) {
        const size_t eq = entry.find('=');
        if (eq == std::string::npos) return false;
        TuneSet tune{entry.substr(0, eq), {}};
        for (const std::string& item : Split(entry.substr(eq + 1), ',')) {
            Zone z{};
            const size_t colon = item.find(':');
            if (colon == std::string::npos) return false;
            z.code = std::stoi(item.substr(0, colon));
            std::string range = item.substr(colon + 1);
            const size_t at = range.find('@');
            if (at != std::string::npos) {
                if (!ParseRange(range.substr(at + 1), z.keyLow, z.keyHigh)) return false;
                range = range.substr(0, at);
            }
            if (!ParseRange(range, z.low, z.high)) return false;
            tune.zones.push_back(z);
        }
        tunes.push_back(tune);
    }
    return true;
}

// One articulation set: a note whose code (slot 6) is one of the set's codes
// gets its working velocity (slot 3) mapped from 1..127 onto that code's zone.
std::string TuneSetText(const TuneSet& tune, int number) {
    std::ostringstream s;
    int func = 0;
    s << "\n; 奏法 " << tune.name << ": ベロシティ 1-127 をゾーンに写す\n";
    s << "#set:" << number << "\n#name:VEXA_tune_" << tune.name << "\n#dir:0\n";
    s << "#func" << ++func << ":CArticSrchGetNoteInfo( _thisEvnt, 6, &_val1)\n";
    bool byKey = false;
    for (const Zone& z : tune.zones) byKey = byKey || z.keyLow >= 0;
    if (byKey) s << "#val2:_thisEvnt.Key\n";
    std::vector<std::string> match;
    for (size_t k = 0; k < tune.zones.size(); ++k) {
        const Zone& z = tune.zones[k];
        s << "#func" << ++func << ":CArticSrchValCmp( _val1, " << z.code << ", 0, &_val" << 10 + k << ")\n";
        std::string var = "_val" + std::to_string(10 + k);
        if (z.keyLow >= 0) {
            // The key lies in keyLow..keyHigh: within half the range of its middle.
            s << "#func" << ++func << ":CArticSrchValCmp( _val2, " << (z.keyLow + z.keyHigh) / 2.0 << ", "
              << (z.keyHigh - z.keyLow) / 2.0 << ", &_val" << 60 + k << ")\n";
            s << "#val" << 80 + k << ":" << var << " * _val" << 60 + k << "\n";
            var = "_val" + std::to_string(80 + k);
        }
        match.push_back(var);
    }
    s << "#val8:";
    for (size_t k = 0; k < match.size(); ++k) s << (k ? " + " : "") << match[k];
    s << "\n#func" << ++func << ":CArticSrchBreak( _val8)\n";
    s << "#prob:1\n#val6:1\n#val7:127\n";
    for (size_t k = 0; k < tune.zones.size(); ++k) {
        s << "#val" << 30 + 2 * k << ":" << tune.zones[k].low << "\n";
        s << "#val" << 31 + 2 * k << ":" << tune.zones[k].high << "\n";
    }
    std::string low = "_val30", high = "_val31";
    for (size_t k = 1; k < tune.zones.size(); ++k) {
        const std::string nextLow = "_val" + std::to_string(100 + 2 * k), nextHigh = "_val" + std::to_string(101 + 2 * k);
        s << "#func" << ++func << ":CArticSrchSelSw( " << match[k] << ", " << low << ", _val" << 30 + 2 * k << ", &"
          << nextLow << ")\n";
        s << "#func" << ++func << ":CArticSrchSelSw( " << match[k] << ", " << high << ", _val" << 31 + 2 * k << ", &"
          << nextHigh << ")\n";
        low = nextLow;
        high = nextHigh;
    }
    s << "#func" << ++func << ":CArticSrchGetNoteInfo( _thisEvnt, 3, &_val3)\n";
    s << "#val4:(_val3 - _val6) * (" << high << " - " << low << ") / (_val7 - _val6) + " << low << "\n";
    s << "#func" << ++func << ":CArticSrchLim( _val4, " << low << ", " << high << ", &_val5)\n";
    s << "#func" << ++func << ":CArticSrchPutNoteInfo( _thisEvnt, 3, _val5)\n";
    return s.str();
}

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

bool IsDrumFamily(const std::string& family) {
    return family == "drum" || family == "brushComp" || family == "brushExp";
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
    std::string manifest, skeleton, drum, empty, tuneNumbers;
    if (!ReadTextFile(manifestPath, manifest) || !ReadTextFile(source + "/templates/skeleton.rul", skeleton) ||
        !ReadTextFile(source + "/templates/drum.rul", drum) || !ReadTextFile(source + "/templates/empty.rul", empty) ||
        !ReadTextFile(source + "/templates/tune_sets.txt", tuneNumbers)) {
        std::fprintf(stderr, "make_scripts: cannot read the manifest or a template under %s\n", source.c_str());
        return 1;
    }
    std::map<std::string, int> numbers;
    for (const std::string& row : Rows(tuneNumbers)) {
        std::istringstream f(row);
        std::string name;
        int number = 0;
        if (f >> name >> number) numbers[name] = number;
    }
    for (const std::string& line : Rows(manifest)) {
        const std::vector<std::string> f = Split(line, '|');
        ScriptRow row;
        if (f.size() != 7 || !ParseZones(f[6], row.tunes)) {
            std::fprintf(stderr, "make_scripts: bad manifest row: %s\n", line.c_str());
            return 1;
        }
        row.name = f[0];
        row.family = f[1];
        std::string text;
        if (row.family == "empty") {
            text = empty;
        } else {
            std::string display;
            if (!DisplayName(row.name, display)) {
                std::fprintf(stderr, "make_scripts: no target row runs %s\n", row.name.c_str());
                return 1;
            }
            text = IsDrumFamily(row.family) ? drum : skeleton;
            std::string tunes;
            for (const TuneSet& tune : row.tunes) {
                const auto n = numbers.find(tune.name);
                if (n == numbers.end()) {
                    std::fprintf(stderr, "make_scripts: VEXA_tune_%s has no number in tune_sets.txt\n", tune.name.c_str());
                    return 1;
                }
                tunes += TuneSetText(tune, n->second);
            }
            ReplaceAll(text, "{{DISPLAY}}", display);
            ReplaceAll(text, "{{PBPROC}}", f[2]);
            ReplaceAll(text, "{{TGMODE}}", f[3]);
            ReplaceAll(text, "{{INSTNUM}}", f[4]);
            ReplaceAll(text, "{{GRPTIME}}", f[5]);
            ReplaceAll(text, "{{TUNE_SETS}}", tunes);
        }
        const std::string path = output + "/" + row.name + ".rul";
        std::ofstream out(path, std::ios::binary);
        out << text;
        if (!out) {
            std::fprintf(stderr, "make_scripts: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
