#pragma once
// Tiny Standard MIDI Files built in code, and temporary files to hold them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/work/ArticSmf.h"
#include "platform/File.h"

namespace smftest {

using Bytes = std::vector<unsigned char>;

inline void PutU32(Bytes& out, size_t v) {
    out.insert(out.end(), {(unsigned char)(v >> 24), (unsigned char)(v >> 16), (unsigned char)(v >> 8),
                           (unsigned char)v});
}

inline Bytes Chunk(const char* id, const Bytes& body) {
    Bytes out(id, id + 4);
    PutU32(out, body.size());
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

inline Bytes Header(int format, int tracks, int division) {
    return Chunk("MThd", {0, (unsigned char)format, (unsigned char)(tracks >> 8), (unsigned char)tracks,
                          (unsigned char)(division >> 8), (unsigned char)division});
}

inline Bytes Smf0(int division, const Bytes& track) {
    Bytes out = Header(0, 1, division);
    Bytes trk = Chunk("MTrk", track);
    out.insert(out.end(), trk.begin(), trk.end());
    return out;
}

inline Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A file in the test's temporary folder, removed afterwards.
struct TempFile {
    std::string path;
    explicit TempFile(const std::string& name) : path(::testing::TempDir() + name) {}
    ~TempFile() { CFile::Remove(CString(path)); }
    void Write(const Bytes& bytes) const {
        ASSERT_TRUE(WriteWholeFile(CString(path), std::string(bytes.begin(), bytes.end())));
    }
    Bytes Read() const {
        std::string data;
        EXPECT_TRUE(ReadWholeFile(CString(path), &data));
        return Bytes(data.begin(), data.end());
    }
};

// Loads bytes through a reader; the reader's result.
inline int LoadBytes(CArticSmf& smf, const Bytes& bytes, const char* name = "load.mid") {
    TempFile file(name);
    file.Write(bytes);
    CFile f;
    if (!f.Open(CString(file.path), CFile::modeRead)) return -1;
    return smf.LoadSmf(&f);
}

}  // namespace smftest
