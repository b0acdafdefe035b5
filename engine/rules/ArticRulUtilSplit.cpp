// Preparing a rule script's raw lines: include expansion and moving the
// init and subroutine blocks out of the list.
#include <cstring>
#include <vector>

#include "engine/rules/ArticRulUtil.h"
#include "engine/work/ArticUtil.h"

namespace {

constexpr const char* kHeadSep = ":+-*/,(){}";
// Nested includes deeper than this are refused even without a loop.
constexpr size_t kMaxIncludeDepth = 32;

// The bytes of kHeadSep; a NUL byte is text, not the end of the list.
bool IsHeadSep(char ch) {
    switch (ch) {
        case ':':
        case '+':
        case '-':
        case '*':
        case '/':
        case ',':
        case '(':
        case ')':
        case '{':
        case '}': return true;
        default: return false;
    }
}

// The head token of a raw line as a range of the line's bytes (see
// HeadToken), so that the block scans compare it without copying it.
struct Head {
    const char* text;
    int length;

    bool IsEmpty() const { return length == 0; }
    bool Is(const char* word, size_t wordLength) const {
        return size_t(length) == wordLength && std::memcmp(text, word, wordLength) == 0;
    }
    bool Is(const char* word) const { return Is(word, std::strlen(word)); }
    bool Is(const CString& word) const { return Is(word.c_str(), size_t(word.GetLength())); }
    bool IsInit() const { return length >= 5 && std::memcmp(text, "#init", 5) == 0; }
};

Head HeadOf(const CString& line) {
    // Blanks, tabs and separators before the head are skipped, a separator
    // ends it.
    const char* s = line.c_str();
    const int n = line.GetLength();
    int start = 0;
    while (start < n && (s[start] == ' ' || s[start] == '\t' || IsHeadSep(s[start]))) ++start;
    int end = start;
    while (end < n && !IsHeadSep(s[end])) ++end;
    return Head{s + start, end - start};
}

void MoveLine(CStringList& lines, POSITION at, CStringList& out) {
    out.AddTail(lines.GetAt(at));
    lines.RemoveAt(at);
}

int ExpandChain(CStringList& lines, std::vector<CString>& chain, CStringList& out, CString& errLine) {
    for (POSITION p = lines.GetHeadPosition(); p;) {
        const CString& line = lines.GetNext(p);
        errLine = line;
        if (line.IsEmpty() || !HeadOf(line).Is("#include")) {
            out.AddTail(line);
            continue;
        }
        CString rest;
        CExString(line).GetToken(&rest, kHeadSep);
        CString ignored;
        const CString name = CExString(rest).GetToken(&ignored, ":");
        if (name.IsEmpty()) return 1;
        const CString path = CArticUtil::GetLibFullPath(name);
        for (const CString& open : chain)
            if (open == path) return 1;
        if (chain.size() >= kMaxIncludeDepth) return 1;
        CStringList read;
        if (const int r = CArticUtil::LoadStrFile(path, read)) return r;
        CStringList expanded;
        chain.push_back(path);
        const int r = ExpandChain(read, chain, expanded, errLine);
        chain.pop_back();
        if (r) return r;
        if (const int a = CArticUtil::AddTailStr(expanded, out, 0)) return a;
    }
    return 0;
}

}  // namespace

CString CArticRulUtil::HeadToken(const CString& line) {
    const Head head = HeadOf(line);
    return CString(head.text, head.length);
}

bool CArticRulUtil::HeadIs(const CString& line, const char* word) { return HeadOf(line).Is(word); }

int CArticRulUtil::Expand(CStringList& lines, CString file, CStringList& out, CString& errLine) {
    std::vector<CString> chain;
    if (!file.IsEmpty()) chain.push_back(file);
    return ExpandChain(lines, chain, out, errLine);
}

int CArticRulUtil::GetRulInit(CStringList& lines, CStringList& out, CString& errLine) {
    bool inside = false;
    for (POSITION p = lines.GetHeadPosition(); p;) {
        const POSITION at = p;
        const CString& line = lines.GetNext(p);
        errLine = line;
        const Head head = HeadOf(line);
        if (line.IsEmpty() || head.IsEmpty()) continue;
        if (head.Is("#set") || head.Is("#sub")) break;
        if (head.IsInit()) {
            if (inside) break;
            inside = true;
            MoveLine(lines, at, out);
            continue;
        }
        if (inside) MoveLine(lines, at, out);
    }
    return 0;
}

int CArticRulUtil::GetRulInit(CStringList& lines, int k, CStringList& out, CString& errLine) {
    CString wanted = "#init";
    if (k > 0) wanted.AppendFormat("%d", k);
    bool inside = false;
    for (POSITION p = lines.GetHeadPosition(); p;) {
        const POSITION at = p;
        const CString& line = lines.GetNext(p);
        errLine = line;
        const Head head = HeadOf(line);
        if (line.IsEmpty() || head.IsEmpty()) continue;
        if (head.Is(wanted) || (k == 2 && head.Is("#init"))) {
            if (inside) return 1;
            inside = true;
            MoveLine(lines, at, out);
            continue;
        }
        if (head.IsInit() || head.Is("#set") || head.Is("#sub")) {
            if (inside) break;
            continue;
        }
        if (inside) MoveLine(lines, at, out);
    }
    return 0;
}

int CArticRulUtil::GetRulSub(CStringList& lines, CStringList& out, CString& errLine) {
    bool inside = false;
    for (POSITION p = lines.GetHeadPosition(); p;) {
        const POSITION at = p;
        const CString& line = lines.GetNext(p);
        errLine = line;
        const Head head = HeadOf(line);
        if (line.IsEmpty() || head.IsEmpty()) {
            // Empty lines inside a block stay in the list.
            continue;
        }
        if (head.IsInit() || head.Is("#set")) {
            inside = false;
            continue;
        }
        if (head.Is("#sub")) {
            inside = true;
            MoveLine(lines, at, out);
            continue;
        }
        if (inside) MoveLine(lines, at, out);
    }
    return 0;
}
