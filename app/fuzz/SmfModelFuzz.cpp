// libFuzzer target: the song model reads any bytes without reading outside
// them, and whatever it reads with a track it writes back as bytes that it
// reads again to the same song. A song that reads is then opened and saved
// as the window does it: analysed, given its head, converted to every save
// format and normalised, and each result still writes.
#include <QByteArray>
#include <cstdio>
#include <cstdlib>

#include "app/Smf.h"
#include "app/SmfAnalysis.h"
#include "data/ChannelFacts.h"
#include "data/VoiceAddressTable.h"

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

// A gap between two events of a track, or before the first, that a
// variable-length number of four bytes cannot hold: the writer refuses such
// a song. Splitting by channel and the lead-in can make one in songs that
// span about 2^28 ticks.
bool HasUnwritableGap(const CSmf& smf) {
    for (const auto& track : smf.GetTracks()) {
        DWORD previous = 0;
        for (const auto& e : track->GetEvents()) {
            if (e->GetTime() - previous > 0x0FFFFFFFu) return true;
            previous = e->GetTime();
        }
    }
    return false;
}

// The opening of a song: the analysis and the head. Their results may be
// failures; what is left must still write.
void OpenAndSave(CSmf& smf) {
    SongFacts facts;
    if (smf.CollectSongFacts(facts) != 0) return;
    bool foreign = false, gs = false, gm = false;
    int rc = smf.DetectResets(facts.firstNoteTime, foreign, gs, gm);
    if (rc != 0) Fail("reset detection failed", rc);
    if ((rc = smf.RemoveResets((gs || gm ? 3 : 0) + (foreign ? 4 : 0))) != 0) Fail("reset removal failed", rc);
    bool flags[16];
    for (int c = 0; c < 16; ++c) {
        ChannelFacts channel;
        channel.Reset(c);
        if ((rc = smf.AnalyseChannel(c, channel)) < 0) Fail("channel analysis failed", rc);
        flags[c] = channel[ChannelFacts::kNoNotes] == 0;
        DrumNoteSet all, found;
        for (DWORD& w : all.words) w = 0xFFFFFFFFu;
        if ((rc = smf.CollectDeletedDrumNotes(c, all, found)) != 0) Fail("drum note collection failed", rc);
        if ((rc = smf.RemoveDrumSetupEdits(c, channel[ChannelFacts::kPartMode])) != 0) Fail("drum clean-up failed", rc);
    }
    int ticks = 0;
    if ((rc = smf.EstimateBeatResolution(flags, ticks)) != 0 || BeatResolutionIndex(ticks) < 0)
        Fail("beat resolution failed", rc);
    smf.PrepareHead(facts);
    if (HasUnwritableGap(smf)) return;
    QByteArray song;
    if ((rc = smf.ToByteArray(song)) != 0) Fail("an opened song could not be written", rc);
    for (int wanted : {0, 1, SMF_FORMAT_ZQ}) {
        CSmf saved;
        if ((rc = saved.FromByteArray(song)) != 0) Fail("an opened song does not load", rc);
        int current = 0;
        saved.GetFormat(current);
        if (current != 0 && current != 1 && current != SMF_FORMAT_ZQ) return;  // not a save format
        if ((rc = saved.ConvertFormat(current, wanted)) != 0) Fail("format conversion failed", rc);
        if (HasUnwritableGap(saved)) continue;
        QByteArray out;
        if (saved.GetTracks().empty() || (rc = saved.ToByteArray(out)) != 0)
            Fail("a converted song could not be written", rc);
        const QByteArray before = out;
        CSmf normaliser;
        if (normaliser.Normalize(out) != 0 && out != before) Fail("a failed normalising changed the bytes", 0);
    }
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
    OpenAndSave(again);
    return 0;
}
