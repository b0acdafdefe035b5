#pragma once
// The algorithm-script generator behind tools/make_scripts: manifest rows and
// templates in, script texts out (data/scripts/templates/README.md describes
// the template language, the switches and the number files).
//
// It reads its templates through a callback, so the tests run it on templates
// held in memory. Every fault in the inputs stops it with one message.
#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace makescripts {

// Reads "templates/<path>" of the source folder; false when it cannot.
using ReadTemplate = std::function<bool(const std::string& path, std::string& text)>;
// The display name that heads a script; false when no target runs the script.
using DisplayName = std::function<bool(const std::string& script, std::string& display)>;

struct Script {
    std::string name, text;
};

namespace detail {

inline std::vector<std::string> Split(const std::string& text, char at) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t p; (p = text.find(at, start)) != std::string::npos; start = p + 1) parts.push_back(text.substr(start, p - start));
    parts.push_back(text.substr(start));
    return parts;
}

// The lines of a list file that are neither empty nor comments ("#...").
inline std::vector<std::string> Rows(const std::string& text) {
    std::vector<std::string> rows;
    for (std::string line : Split(text, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] != '#') rows.push_back(line);
    }
    return rows;
}

inline std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

inline bool IsNumber(const std::string& s) {
    return !s.empty() && s.size() < 10 && s.find_first_not_of("0123456789") == std::string::npos;
}

inline bool IsKey(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

struct Zone {
    int code = 0, low = 0, high = 0;
    int keyLow = -1, keyHigh = -1;  // -1: every key
};

struct TuneSet {
    std::string name;
    std::vector<Zone> zones;
};

inline bool ParseInt(const std::string& text, int& value) {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > 9) return false;
    size_t i = t[0] == '-' ? 1 : 0;
    if (i == t.size() || t.find_first_not_of("0123456789", i) != std::string::npos) return false;
    value = std::stoi(t);
    return true;
}

// "low-high" into two numbers.
inline bool ParseRange(const std::string& text, int& low, int& high) {
    const size_t dash = text.find('-');
    if (dash == std::string::npos) return false;
    return ParseInt(text.substr(0, dash), low) && ParseInt(text.substr(dash + 1), high) && low <= high;
}

// "Set=code:low-high[@keyLow-keyHigh],..." entries separated by blanks; '-' for none.
inline bool ParseZones(const std::string& text, std::vector<TuneSet>& tunes) {
    if (Trim(text) == "-") return true;
    std::istringstream entries(text);
    std::string entry;
    while (entries >> entry) {
        const size_t eq = entry.find('=');
        if (eq == std::string::npos) return false;
        TuneSet tune{entry.substr(0, eq), {}};
        for (const std::string& item : Split(entry.substr(eq + 1), ',')) {
            Zone z;
            const size_t colon = item.find(':');
            if (colon == std::string::npos || !ParseInt(item.substr(0, colon), z.code)) return false;
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

// Switches: "key=value" or "key" (value "1") separated by blanks; '-' for none.
inline bool ParseSwitches(const std::string& text, std::map<std::string, std::string>& switches, std::string& error) {
    if (Trim(text) == "-") return true;
    std::istringstream items(text);
    std::string item;
    while (items >> item) {
        const size_t eq = item.find('=');
        const std::string key = item.substr(0, eq);
        const std::string value = eq == std::string::npos ? "1" : item.substr(eq + 1);
        if (!IsKey(key) || value.empty()) {
            error = "bad switch \"" + item + "\"";
            return false;
        }
        if (!switches.emplace(key, value).second) {
            error = "switch " + key + " given twice";
            return false;
        }
    }
    return true;
}

// One articulation set: a note whose code (slot 6) is one of the set's codes
// gets its working velocity (slot 3) mapped from 1..127 onto that code's zone.
// The head is left unnumbered: the set numbers fill it in by its name.
inline std::string TuneSetText(const TuneSet& tune) {
    std::ostringstream s;
    int func = 0;
    s << u8"\n; 奏法 " << tune.name << u8": ベロシティ 1-127 をゾーンに写す\n";
    s << "#set:\n#name:VEXA_tune_" << tune.name << "\n#dir:0\n";
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

// The numbers of the set names: "name number" rows of a number file.
inline bool ReadNumbers(const std::string& text, const std::string& file, const std::string& prefix,
                        std::map<std::string, int>& numbers, std::string& error) {
    for (const std::string& row : Rows(text)) {
        std::istringstream f(row);
        std::string name, number, rest;
        if (!(f >> name >> number) || (f >> rest) || !IsNumber(number)) {
            error = file + ": bad row \"" + row + "\"";
            return false;
        }
        if (!numbers.emplace(prefix + name, std::stoi(number)).second) {
            error = file + ": " + prefix + name + " numbered twice";
            return false;
        }
    }
    return true;
}

// The values one script's template sees: built-ins, its switches and what
// SET gives.
struct Context {
    std::map<std::string, std::string> values;
};

// Expands templates: one per script, with what every expansion mentioned
// collected for the switch checks.
class Expander {
public:
    Expander(const ReadTemplate& read, const std::map<std::string, int>& numbers) : read_(read), numbers_(numbers) {}

    // The expansion of the template file; false with error set on a fault.
    bool Expand(const std::string& file, Context& context, std::string& out, std::string& error) {
        context_ = &context;
        error_.clear();
        ExpandFile(file, true, 0, out);
        error = error_;
        return error_.empty();
    }

    // Every switch a template read (in IF conditions or as {{key}}), taken or not.
    const std::set<std::string>& Mentioned() const { return mentioned_; }
    // Every key a SET of a template defines.
    const std::set<std::string>& Defined() const { return defined_; }

    static bool IsBuiltin(const std::string& key) {
        static const std::set<std::string> builtins = {"NAME",    "DISPLAY", "PBPROC",   "TGMODE",
                                                       "INSTNUM", "GRPTIME", "TUNE_SETS"};
        return builtins.count(key) != 0;
    }

private:
    static constexpr int kMaxDepth = 16;

    bool Fail(const std::string& where, const std::string& message) {
        if (error_.empty()) error_ = where + ": " + message;
        return false;
    }

    // A condition "key", "!key", "key=value" or "key!=value".
    bool Condition(const std::string& where, const std::string& text, bool& result) {
        std::string cond = Trim(text);
        bool negate = false;
        std::string key = cond, value;
        bool compare = false;
        size_t op;
        if ((op = cond.find("!=")) != std::string::npos) {
            key = Trim(cond.substr(0, op));
            value = Trim(cond.substr(op + 2));
            compare = negate = true;
        } else if ((op = cond.find('=')) != std::string::npos) {
            key = Trim(cond.substr(0, op));
            value = Trim(cond.substr(op + 1));
            compare = true;
        } else if (!cond.empty() && cond[0] == '!') {
            key = Trim(cond.substr(1));
            negate = true;
        }
        if (!IsKey(key) || (compare && value.empty())) return Fail(where, "bad condition \"" + text + "\"");
        if (!IsBuiltin(key)) mentioned_.insert(key);
        const auto found = context_->values.find(key);
        const bool set = found != context_->values.end();
        bool holds = compare ? set && found->second == value : set && found->second != "0";
        result = negate ? !holds : holds;
        return true;
    }

    // Expands one file into out (only while emit is true: the branches not
    // taken are still read through for their balance and their switches).
    bool ExpandFile(const std::string& file, bool emit, int depth, std::string& out) {
        if (depth > kMaxDepth) return Fail(file, "includes nest deeper than 16 (an include cycle?)");
        std::string text;
        if (!read_(file, text)) return Fail(file, "cannot read the template");
        struct Branch {
            bool outer, taken, sawElse;
        };
        std::vector<Branch> branches;
        bool active = emit;
        size_t p = 0;
        while (p < text.size()) {
            const size_t open = text.find("{{", p);
            if (open == std::string::npos) {
                if (active) out.append(text, p, std::string::npos);
                break;
            }
            const size_t close = text.find("}}", open + 2);
            const std::string where = file + " line " + std::to_string(1 + std::count(text.begin(), text.begin() + open, '\n'));
            if (close == std::string::npos) return Fail(where, "\"{{\" without \"}}\"");
            const std::string inner = Trim(text.substr(open + 2, close - open - 2));
            size_t next = close + 2;
            // A directive alone on its line takes the line with it.
            const size_t lineStart = text.rfind('\n', open) == std::string::npos ? 0 : text.rfind('\n', open) + 1;
            const bool directive = inner.rfind("IF ", 0) == 0 || inner == "ELSE" || inner == "END" ||
                                   inner.rfind("SET ", 0) == 0 || inner.rfind("INCLUDE ", 0) == 0;
            size_t textEnd = open;
            if (directive && Trim(text.substr(lineStart, open - lineStart)).empty()) {
                const size_t lineEnd = text.find('\n', next);
                const std::string tail = text.substr(next, lineEnd == std::string::npos ? std::string::npos : lineEnd - next);
                if (tail.find_first_not_of(" \t\r") == std::string::npos) {
                    textEnd = lineStart;
                    next = lineEnd == std::string::npos ? text.size() : lineEnd + 1;
                }
            }
            if (active) out.append(text, p, textEnd - p);
            p = next;
            if (inner.rfind("IF ", 0) == 0) {
                bool holds = false;
                if (!Condition(where, inner.substr(3), holds)) return false;
                branches.push_back({active, holds, false});
                active = active && holds;
            } else if (inner == "ELSE") {
                if (branches.empty() || branches.back().sawElse) return Fail(where, "ELSE without IF");
                branches.back().sawElse = true;
                active = branches.back().outer && !branches.back().taken;
            } else if (inner == "END") {
                if (branches.empty()) return Fail(where, "END without IF");
                active = branches.back().outer;
                branches.pop_back();
            } else if (inner.rfind("SET ", 0) == 0) {
                const std::string def = Trim(inner.substr(4));
                const size_t eq = def.find('=');
                const std::string key = eq == std::string::npos ? std::string() : Trim(def.substr(0, eq));
                if (!IsKey(key) || IsBuiltin(key)) return Fail(where, "bad SET \"" + inner + "\"");
                defined_.insert(key);
                if (active) context_->values[key] = Trim(def.substr(eq + 1));
            } else if (inner.rfind("INCLUDE ", 0) == 0) {
                const std::string name = Trim(inner.substr(8));
                if (!IsKey(name)) return Fail(where, "bad INCLUDE \"" + inner + "\"");
                if (!ExpandFile("fragments/" + name + ".rul", active, depth + 1, out)) return false;
            } else if (inner.rfind("NUM ", 0) == 0) {
                const std::string name = Trim(inner.substr(4));
                const auto n = numbers_.find(name);
                if (n == numbers_.end()) return Fail(where, "set " + name + " has no number");
                if (active) out += std::to_string(n->second);
            } else {
                if (!IsKey(inner)) return Fail(where, "bad placeholder \"{{" + inner + "}}\"");
                if (!IsBuiltin(inner)) mentioned_.insert(inner);
                const auto found = context_->values.find(inner);
                if (active) {
                    if (found == context_->values.end()) return Fail(where, "no value for {{" + inner + "}}");
                    out += found->second;
                }
            }
        }
        if (!branches.empty()) return Fail(file, "IF without END");
        return true;
    }

    const ReadTemplate& read_;
    const std::map<std::string, int>& numbers_;
    Context* context_ = nullptr;
    std::string error_;
    std::set<std::string> mentioned_, defined_;
};

// Numbers the set heads of a script: a "#set:" head takes the number of the
// "#name:" that follows it. A head that already holds a number, a set name
// without a number and two sets of one number stop it.
inline bool NumberSets(std::string& text, const std::map<std::string, int>& numbers, std::string& error) {
    std::vector<std::string> lines = Split(text, '\n');
    std::map<int, std::string> used;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string head = Trim(lines[i]);
        if (head.rfind("#set:", 0) != 0) continue;
        if (!Trim(head.substr(5)).empty()) {
            error = "line " + std::to_string(i + 1) + ": \"" + head + "\": a template leaves set heads unnumbered";
            return false;
        }
        size_t n = i + 1;
        while (n < lines.size() && Trim(lines[n]).rfind("#name:", 0) != 0 && Trim(lines[n]).rfind("#set:", 0) != 0) ++n;
        if (n == lines.size() || Trim(lines[n]).rfind("#name:", 0) != 0) {
            error = "line " + std::to_string(i + 1) + ": a set without a name";
            return false;
        }
        const std::string name = Trim(Trim(lines[n]).substr(6));
        const auto number = numbers.find(name);
        if (number == numbers.end()) {
            error = "set " + name + " has no number (set_numbers.txt, tune_sets.txt)";
            return false;
        }
        if (!used.emplace(number->second, name).second) {
            error = "sets " + used[number->second] + " and " + name + " share number " + std::to_string(number->second);
            return false;
        }
        lines[i] = "#set:" + std::to_string(number->second);
    }
    text.clear();
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
    return true;
}

}  // namespace detail

// Tune sets (VEXA_tune_) are numbered from this range only; no other set takes
// a number in it.
constexpr int kFirstTuneNumber = 283, kLastTuneNumber = 376;

// Makes the scripts of the manifest's rows from the templates; an empty text
// on success, else what stopped it.
inline std::string MakeScripts(const std::string& manifest, const ReadTemplate& read, const DisplayName& display,
                               std::vector<Script>& scripts) {
    using namespace detail;
    std::string familiesText, tuneText, setText, error;
    if (!read("families.txt", familiesText)) return "cannot read templates/families.txt";
    if (!read("tune_sets.txt", tuneText)) return "cannot read templates/tune_sets.txt";
    if (!read("set_numbers.txt", setText)) return "cannot read templates/set_numbers.txt";
    std::map<std::string, std::string> families;
    for (const std::string& row : Rows(familiesText)) {
        std::istringstream f(row);
        std::string family, file, rest;
        if (!(f >> family >> file) || (f >> rest) || !families.emplace(family, file).second)
            return "families.txt: bad row \"" + row + "\"";
    }
    std::map<std::string, int> tuneNumbers, numbers;
    if (!ReadNumbers(tuneText, "tune_sets.txt", "VEXA_tune_", tuneNumbers, error) ||
        !ReadNumbers(setText, "set_numbers.txt", "", numbers, error))
        return error;
    for (const auto& n : tuneNumbers)
        if (n.second < kFirstTuneNumber || n.second > kLastTuneNumber)
            return "tune_sets.txt: " + n.first + " lies outside " + std::to_string(kFirstTuneNumber) + "-" +
                   std::to_string(kLastTuneNumber);
    for (const auto& n : numbers)
        if (n.second >= kFirstTuneNumber && n.second <= kLastTuneNumber)
            return "set_numbers.txt: " + n.first + " takes " + std::to_string(n.second) + ", a tune-set number";
    numbers.insert(tuneNumbers.begin(), tuneNumbers.end());

    struct Use {
        std::set<std::string> given, mentioned, defined;
    };
    std::map<std::string, Use> uses;  // by template file
    for (const std::string& line : Rows(manifest)) {
        const std::vector<std::string> f = Split(line, '|');
        std::vector<TuneSet> tunes;
        Context context;
        if ((f.size() != 7 && f.size() != 8) || !ParseZones(f[6], tunes)) return "bad manifest row: " + line;
        const std::string name = f[0];
        if (f.size() == 8 && !ParseSwitches(f[7], context.values, error)) return name + ": " + error;
        const auto family = families.find(f[1]);
        if (family == families.end()) return name + ": family " + f[1] + " has no template in families.txt";
        Use& use = uses[family->second];
        for (const auto& s : context.values) use.given.insert(s.first);
        const std::set<std::string> given = [&] {
            std::set<std::string> keys;
            for (const auto& s : context.values) keys.insert(s.first);
            return keys;
        }();
        std::string displayName;
        if (!display(name, displayName)) return "no target row runs " + name;
        std::string tuneSets;
        for (const TuneSet& tune : tunes) {
            if (!tuneNumbers.count("VEXA_tune_" + tune.name))
                return name + ": VEXA_tune_" + tune.name + " has no number in tune_sets.txt";
            tuneSets += TuneSetText(tune);
        }
        const std::string builtins[][2] = {{"NAME", name},    {"DISPLAY", displayName}, {"PBPROC", f[2]},
                                           {"TGMODE", f[3]},  {"INSTNUM", f[4]},        {"GRPTIME", f[5]},
                                           {"TUNE_SETS", tuneSets}};
        for (const auto& b : builtins) context.values[b[0]] = b[1];
        Expander expander(read, numbers);
        std::string text;
        if (!expander.Expand(family->second, context, text, error)) return name + ": " + error;
        if (!NumberSets(text, numbers, error)) return name + ": " + error;
        for (const std::string& key : given)
            if (!expander.Mentioned().count(key)) return name + ": unknown switch " + key + " (" + family->second + " never reads it)";
        use.mentioned.insert(expander.Mentioned().begin(), expander.Mentioned().end());
        use.defined.insert(expander.Defined().begin(), expander.Defined().end());
        scripts.push_back({name, text});
    }
    for (const auto& use : uses)
        for (const std::string& key : use.second.mentioned)
            if (!use.second.given.count(key) && !use.second.defined.count(key))
                return use.first + ": unused switch " + key + " (no row of the family template gives it)";
    return std::string();
}

}  // namespace makescripts
