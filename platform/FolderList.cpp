#include "platform/FolderList.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "platform/Text.h"

namespace {

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

bool LessNoCase(const std::u16string& a, const std::u16string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char16_t x = FoldAscii(a[i]), y = FoldAscii(b[i]);
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

bool MatchesNoCase(const std::u16string& name, const std::u16string& pattern) {
    // Greedy walk with one backtrack point: the last '*' seen.
    size_t n = 0, p = 0;
    size_t starAt = std::u16string::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || FoldAscii(pattern[p]) == FoldAscii(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::u16string::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

std::vector<std::u16string> FindFiles(const std::u16string& pattern) {
    std::vector<std::u16string> found;
    const size_t slash = pattern.find_last_of(u'/');
    const std::u16string folder = slash == std::u16string::npos ? std::u16string() : pattern.substr(0, slash + 1);
    const std::u16string namePattern = slash == std::u16string::npos ? pattern : pattern.substr(slash + 1);
    if (namePattern.empty()) return found;
    const std::string nativeFolder = Utf16ToUtf8(folder);
    DIR* dir = ::opendir(nativeFolder.empty() ? "." : nativeFolder.c_str());
    if (!dir) return found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string native = entry->d_name;
        if (native == "." || native == "..") continue;
        const std::u16string name = Utf8ToUtf16(native);
        if (Utf16ToUtf8(name) != native || !MatchesNoCase(name, namePattern)) continue;
        if (IsRegularFile((nativeFolder.empty() ? "./" : nativeFolder) + native)) found.push_back(name);
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(), LessNoCase);
    return found;
}

bool ReadFileBytes(const std::u16string& path, size_t maxSize, std::string* bytes) {
    if (!bytes) return false;
    const std::string native = Utf16ToUtf8(path);
    struct stat st;
    if (::stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || uint64_t(st.st_size) > maxSize) return false;
    std::ifstream in(native, std::ios::binary);
    if (!in) return false;
    // Read one byte past the limit: a file that grew since the check still fails.
    std::string data(maxSize < size_t(st.st_size) + 1 ? maxSize + 1 : size_t(st.st_size) + 1, '\0');
    in.read(data.data(), std::streamsize(data.size()));
    if (in.bad()) return false;
    data.resize(size_t(in.gcount()));
    if (data.size() > maxSize) return false;
    bytes->swap(data);
    return true;
}
