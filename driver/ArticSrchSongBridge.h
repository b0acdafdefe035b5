#pragma once
// The song bridge's answerer of the rule built-ins' song questions
// (ArticSrchSong): each question goes to the bridge's static operation over
// the conversion registered at the time it is asked.
#include "engine/builtins/ArticSrchSong.h"

class CArticSrchSongBridge : public ArticSrchSong {
public:
    int GetCurBeat(CKPSManager* host, DWORD time, BYTE* num, BYTE* den) const override;
    int GetCurKey(CKPSManager* host, DWORD time, BYTE* sf, BYTE* mi) const override;
    int GetCurChord(CKPSManager* host, DWORD time, BYTE* root, BYTE* type, BYTE* bassRoot,
                    BYTE* bassType) const override;
    int GetCurTempo(CKPSManager* host, DWORD time, WORD* tempo, DWORD* evntTime) const override;
    int GetTimeFromMeter(CKPSManager* host, INT64 time, INT64* out) const override;
    int GetTimeFromKey(CKPSManager* host, INT64 time, INT64* out) const override;
    // Looked up in the registered editor manager's client-channel table: the
    // voice each channel of the song has from its program, bank-select and
    // KV part messages.
    int GetChVoice(DWORD key, BYTE* pro, BYTE* msb, BYTE* lsb) const override;
    // The registered driver's conversion parameters.
    int GetTargetVoice(BYTE* pro, BYTE* msb, BYTE* lsb) const override;
    int GetPortAdrsFromPortNo(CKPSManager* host, DWORD portNo, DWORD* adrs) const override;

    // The one answerer; ArticEditorUtil.cpp enters it at static initialisation.
    static const CArticSrchSongBridge& Instance();
};
