#include "platform/Paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/Text.h"

namespace {

bool exists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.empty() ? "." : path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool equalNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Entries of `dir` ("" = the current folder) equal to name ignoring ASCII case, sorted.
std::vector<std::string> matchesNoCase(const std::string& dir, const std::string& name) {
    std::vector<std::string> found;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return found;
    while (const dirent* e = ::readdir(d)) {
        std::string entry = e->d_name;
        if (entry != "." && entry != ".." && equalNoCase(entry, name)) found.push_back(entry);
    }
    ::closedir(d);
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

}  // namespace

bool ResolveNoCase(const std::string& nativePath, std::string* found) {
    if (nativePath.empty()) return false;
    std::vector<std::string> parts = splitPath(nativePath);
    std::string result;  // the resolved prefix, "" for the current folder
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        bool last = i + 1 == parts.size();
        std::string prefix = result.empty() || result.back() == '/' ? result : result + "/";
        if (part.empty() || part == "." || part == "..") {
            // Keep separators and relative steps as written ("/" at the start, "//", a final "/").
            result = i == 0 ? "/" : prefix + part;
            if (i == 0 && !part.empty()) result = part;
            continue;
        }
        if (exists(prefix + part) && (last || isDirectory(prefix + part))) {
            result = prefix + part;
            continue;
        }
        std::string pick;
        for (const std::string& name : matchesNoCase(prefix, part)) {
            if (last || isDirectory(prefix + name)) {
                pick = name;
                break;
            }
        }
        if (pick.empty()) return false;
        result = prefix + pick;
    }
    if (!exists(result)) return false;
    if (found) *found = result;
    return true;
}

std::string MapPath(const CString& path) {
    std::string mapped = Cp932ToUtf8(path);
    // After decoding, every 0x5C byte is a real backslash: no trail byte is left.
    std::replace(mapped.begin(), mapped.end(), '\\', '/');
    if (mapped.empty() || exists(mapped)) return mapped;
    std::string found;
    if (ResolveNoCase(mapped, &found)) return found;
    // A file about to be created: resolve its folder and keep the new name.
    size_t slash = mapped.find_last_of('/');
    if (slash != std::string::npos && slash + 1 < mapped.size() && slash > 0 &&
        ResolveNoCase(mapped.substr(0, slash), &found))
        return found + mapped.substr(slash);
    return mapped;
}

CString NativeToEngine(const std::string& path) { return Utf8ToCp932(path); }

CString GetProgramFolder() {
    std::string buf(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n <= 0 || size_t(n) >= buf.size()) return CString();
    buf.resize(size_t(n));
    size_t slash = buf.find_last_of('/');
    if (slash == std::string::npos) return CString();
    return NativeToEngine(buf.substr(0, slash + 1));
}
