#pragma once
// What the tools that drive the engine's core share: a one-set octave shift
// script and one channel converted as the user interface's worker converts
// it (its parameters for a guitar target, kind 0 with kind flag 1, on bank
// 8/0, program 25, then the script lines and a Convert).
#include <cstring>

#include "services/PHConvPrm.h"
#include "driver/PhrasorCoreIF.h"

namespace coretool {

inline const char* const kUp12[] = {"#set:1", "#name:X", "#prob:0.5*2", "#exp1:CArticExpKeySft( 1{_thisEvnt}, 12)"};

// The channel's parameters as the worker fills them for that target.
inline void FillWorkerParams(CPHConvPrm& prm, int channel) {
    prm.Resolution = 480;
    prm.Channel = BYTE(channel);
    prm.Flag1 = 1;
    prm.BankMsb = 8;
    prm.BankLsb = 0;
    prm.Program = 25;
    prm.PbCtrl = 0;
    prm.Kind = 0;
    prm.Flag2 = 1;
}

// Convert's result on (*bytes, *size); -1 when the core has no parameters.
inline int ConvertUp12(CPhrasorCoreIF& core, int channel, BYTE** bytes, DWORD* size) {
    CPHConvPrm* prm = core.GetConvPrm();
    if (!prm) return -1;
    FillWorkerParams(*prm, channel);
    core.ClearScriptLines();
    for (const char* line : kUp12) core.AddScriptLine(line, LONG(std::strlen(line) + 1));
    return core.Convert(bytes, size);
}

}  // namespace coretool
