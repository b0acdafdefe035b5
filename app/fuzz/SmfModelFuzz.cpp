// libFuzzer target: the song model reads any bytes without reading outside
// them, and whatever it reads with a track it writes back as bytes that it
// reads again to the same song.
#include <QByteArray>
#include <cstdio>
#include <cstdlib>

#include "app/Smf.h"

namespace {

bool SameEvent(const CEvnt& a, const CEvnt& b) {
    return a.GetStatus() == b.GetStatus() && a.GetChannel() == b.GetChannel() && a.GetMetaType() == b.GetMetaType() &&
           a.GetTime() == b.GetTime() && a.GetData1() == b.GetData1() && a.GetData2() == b.GetData2() &&
           a.GetData() == b.GetData();
}

bool SameSong(const CSmf& a, const CSmf& b) {
    if (a.GetHead().Format != b.GetHead().Format || a.GetHead().Division != b.GetHead().Division) return false;
    if (a.GetZqihBody() != b.GetZqihBody() || a.GetZqkmBody() != b.GetZqkmBody()) return false;
    if (a.GetTracks().size() != b.GetTracks().size()) return false;
    for (size_t t = 0; t < a.GetTracks().size(); ++t) {
        const auto& ea = a.GetTracks()[t]->GetEvents();
        const auto& eb = b.GetTracks()[t]->GetEvents();
        if (ea.size() != eb.size()) return false;
        for (auto ia = ea.begin(), ib = eb.begin(); ia != ea.end(); ++ia, ++ib)
            if (!SameEvent(**ia, **ib)) return false;
    }
    return true;
}

void Fail(const char* what, int code) {
    std::fprintf(stderr, "%s (0x%08X)\n", what, unsigned(code));
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The fuzzer's own buffer, not a copy: a read past its end is caught.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    CSmf smf;
    if (smf.FromByteArray(bytes) != 0) return 0;
    // No tracks cannot be written; more than a header can count is refused.
    if (smf.GetTracks().empty() || smf.GetTracks().size() > 0xFFFF) return 0;
    QByteArray written;
    int rc = smf.ToByteArray(written);
    if (rc != 0) Fail("a song that was read could not be written", rc);
    CSmf again;
    rc = again.FromByteArray(written);
    if (rc != 0) Fail("the written song does not load", rc);
    if (!SameSong(smf, again)) Fail("the written song differs", 0);
    return 0;
}
