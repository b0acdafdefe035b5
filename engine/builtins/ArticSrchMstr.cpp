#include "engine/builtins/ArticSrchMstr.h"

#include <array>
#include <cstddef>

#include "engine/builtins/ArticSrchCall.h"
#include "engine/builtins/ArticSrchSong.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"

VX_IMPLEMENT_CLASS(CArticSrchMstrMeter, CArticSrchMstr);
VX_IMPLEMENT_CLASS(CArticSrchMstrTempo, CArticSrchMstr);
VX_IMPLEMENT_CLASS(CArticSrchMstrTempo2, CArticSrchMstr);
VX_IMPLEMENT_CLASS(CArticSrchMstrKey, CArticSrchMstr);
VX_IMPLEMENT_CLASS(CArticSrchMstrChord, CArticSrchMstr);
VX_IMPLEMENT_CLASS(CArticSrchMstrGetTimeFromMeter, CArticSrchMstr);
VX_IMPLEMENT_CLASS(CArticSrchMstrGetTimeFromKey, CArticSrchMstr);
VX_IMPLEMENT_CLASS(CArticSrchProNum, CArticSrchMstrMeter);
VX_IMPLEMENT_CLASS(CArticSrchProNumOfVexa, CArticSrchEvnt);

namespace {

constexpr double kMstrDefaultTempo = 120.0;

CKPSManager* MstrHost(const CArticSrchEvnt* self) {
    CArticRulSet* set = self->GetRulSet();
    return set ? set->GetCEditor() : nullptr;
}

// The frame of the five queries at a time: t read (a negative one fails
// silently), the outputs obtained, then, when everything was read and the
// rule program has a host, ask(answerer, host, t, values) over the values
// preset to the defaults (which are also the failure values); the values are
// written to every output obtained. Without an answerer the host cannot be
// asked: result 1 with the defaults.
template <std::size_t N, class Ask>
int MstrAtTime(CArticSrchEvnt* self, CArticRulElm* in, const std::array<CArticRulElm*, N>& outs,
               std::array<double, N> values, Ask ask) {
    ArticSrchCall call(self);
    double t = 0.0;
    if (call.Num(in, &t) && t < 0.0) call.Fail();
    std::array<CArticRulDataVal*, N> vars{};
    for (std::size_t k = 0; k < N; ++k) vars[k] = call.OutVal(outs[k]);
    int result = call.Result();
    CKPSManager* host = result == 0 ? MstrHost(self) : nullptr;
    if (host) {
        const ArticSrchSong* song = ArticSrchSong::Get();
        result = song ? ask(*song, host, srchnum::Unsigned(t), &values) : 1;
    }
    for (std::size_t k = 0; k < N; ++k) ArticSrchPut(vars[k], values[k]);
    return result;
}

// The distance of a note from the last meter or key event: the note read
// without restoring the error flag a failed relation set.
template <class Ask>
int MstrSince(CArticSrchEvnt* self, CArticRulElm* in, CArticRulElm* o1, Ask ask) {
    ArticSrchCall call(self);
    CArticWrkEvnt* note = call.Evnt(in, true);
    CArticRulDataVal* out = call.OutVal(o1);
    int result = call.Result();
    double value = 0.0;
    CKPSManager* host = result == 0 ? MstrHost(self) : nullptr;
    if (host) {
        INT64 since = note->GetTime();
        const ArticSrchSong* song = ArticSrchSong::Get();
        result = song ? ask(*song, host, note->GetTime(), &since) : 1;
        value = double(since);
    }
    ArticSrchPut(out, value);
    return result;
}

// A voice as program, bank MSB and bank LSB, and the three outputs it goes to.
using MstrVoice = std::array<BYTE, 3>;
using MstrVoiceOuts = std::array<CArticRulDataVal*, 3>;

MstrVoiceOuts MstrObtainVoice(ArticSrchCall* call, CArticRulElm* o1, CArticRulElm* o2, CArticRulElm* o3) {
    return {call->OutVal(o1), call->OutVal(o2), call->OutVal(o3)};
}

void MstrPutVoice(const MstrVoiceOuts& outs, const MstrVoice& voice) {
    for (std::size_t k = 0; k < outs.size(); ++k) ArticSrchPut(outs[k], double(voice[k]));
}

}  // namespace

int CArticSrchMstrMeter::Search() {
    return MstrAtTime<2>(this, m_pRulElmI1, {m_pRulElmO1, m_pRulElmO2}, {0.0, 0.0},
                         [](const ArticSrchSong& song, CKPSManager* host, DWORD t, std::array<double, 2>* v) {
                             BYTE num = 0, den = 0;
                             const int result = song.GetCurBeat(host, t, &num, &den);
                             *v = {double(num), double(den)};
                             return result;
                         });
}

int CArticSrchMstrTempo::Search() {
    return MstrAtTime<1>(this, m_pRulElmI1, {m_pRulElmO1}, {kMstrDefaultTempo},
                         [](const ArticSrchSong& song, CKPSManager* host, DWORD t, std::array<double, 1>* v) {
                             WORD bpm = WORD(kMstrDefaultTempo);
                             DWORD at = 0;
                             const int result = song.GetCurTempo(host, t, &bpm, &at);
                             *v = {double(bpm)};
                             return result;
                         });
}

int CArticSrchMstrTempo2::Search() {
    return MstrAtTime<2>(this, m_pRulElmI1, {m_pRulElmO1, m_pRulElmO2}, {kMstrDefaultTempo, 0.0},
                         [](const ArticSrchSong& song, CKPSManager* host, DWORD t, std::array<double, 2>* v) {
                             WORD bpm = WORD(kMstrDefaultTempo);
                             DWORD at = 0;
                             const int result = song.GetCurTempo(host, t, &bpm, &at);
                             *v = {double(bpm), double(at)};
                             return result;
                         });
}

int CArticSrchMstrKey::Search() {
    return MstrAtTime<2>(this, m_pRulElmI1, {m_pRulElmO1, m_pRulElmO2}, {0.0, 0.0},
                         [](const ArticSrchSong& song, CKPSManager* host, DWORD t, std::array<double, 2>* v) {
                             BYTE sf = 0, mi = 0;
                             const int result = song.GetCurKey(host, t, &sf, &mi);
                             *v = {double(sf), double(mi)};
                             return result;
                         });
}

int CArticSrchMstrChord::Search() {
    return MstrAtTime<4>(this, m_pRulElmI1, {m_pRulElmO1, m_pRulElmO2, m_pRulElmO3, m_pRulElmO4},
                         {0.0, 0.0, 0.0, 0.0},
                         [](const ArticSrchSong& song, CKPSManager* host, DWORD t, std::array<double, 4>* v) {
                             BYTE root = 0, type = 0, bassRoot = 0, bassType = 0;
                             const int result = song.GetCurChord(host, t, &root, &type, &bassRoot, &bassType);
                             *v = {double(root), double(type), double(bassRoot), double(bassType)};
                             return result;
                         });
}

int CArticSrchMstrGetTimeFromMeter::Search() {
    return MstrSince(this, m_pRulElmI1, m_pRulElmO1,
                     [](const ArticSrchSong& song, CKPSManager* host, INT64 t, INT64* out) {
                         return song.GetTimeFromMeter(host, t, out);
                     });
}

int CArticSrchMstrGetTimeFromKey::Search() {
    return MstrSince(this, m_pRulElmI1, m_pRulElmO1,
                     [](const ArticSrchSong& song, CKPSManager* host, INT64 t, INT64* out) {
                         return song.GetTimeFromKey(host, t, out);
                     });
}

int CArticSrchProNum::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI1);
    const MstrVoiceOuts outs = MstrObtainVoice(&call, m_pRulElmO1, m_pRulElmO2, m_pRulElmO3);
    if (!call.Ok()) {
        MstrPutVoice(outs, {0, 0, 0});
        return 1;
    }
    CArticWrkBlk* blk = note->GetOwner();
    CArticWrkTrk* trk = blk ? blk->GetOwner() : nullptr;
    const ArticSrchSong* song = ArticSrchSong::Get();
    MstrVoice voice{};
    if (!trk || !song) return 1;
    const DWORD key = DWORD(trk->GetPort()) * 256 + DWORD(trk->GetCh());
    if (song->GetChVoice(key, &voice[0], &voice[1], &voice[2]) != 0) return 1;
    MstrPutVoice(outs, voice);
    return 0;
}

int CArticSrchProNumOfVexa::Search() {
    ArticSrchCall call(this);
    const MstrVoiceOuts outs = MstrObtainVoice(&call, m_pRulElmO1, m_pRulElmO2, m_pRulElmO3);
    MstrVoice voice{};
    const ArticSrchSong* song = ArticSrchSong::Get();
    if (!song || song->GetTargetVoice(&voice[0], &voice[1], &voice[2]) != 0) voice = {0, 0, 0};
    MstrPutVoice(outs, voice);
    return call.Result();
}
