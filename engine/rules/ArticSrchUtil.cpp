#include "engine/rules/ArticSrchUtil.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/builtins/ArticSrchArrayChord.h"
#include "engine/builtins/ArticSrchArrayClr.h"
#include "engine/builtins/ArticSrchArrayEva.h"
#include "engine/builtins/ArticSrchArrayEvnt.h"
#include "engine/builtins/ArticSrchArrayFill.h"
#include "engine/builtins/ArticSrchArrayRead.h"
#include "engine/builtins/ArticSrchArrayRmv.h"
#include "engine/builtins/ArticSrchAry.h"
#include "engine/builtins/ArticSrchChord.h"
#include "engine/builtins/ArticSrchContext.h"
#include "engine/builtins/ArticSrchGlobal.h"
#include "engine/builtins/ArticSrchMstr.h"
#include "engine/builtins/ArticSrchNeighbour.h"
#include "engine/builtins/ArticSrchProb.h"
#include "engine/builtins/ArticSrchSearched.h"
#include "engine/builtins/ArticSrchCalc.h"
#include "engine/builtins/ArticSrchNoteAttr.h"
#include "engine/builtins/ArticSrchNoteInfo.h"
#include "engine/builtins/ArticSrchNoteProp.h"
#include "engine/builtins/ArticSrchPb.h"
#include "engine/builtins/ArticSrchSwing.h"
#include "engine/builtins/ArticSrchValue.h"
#include "engine/rules/ArticSrchEvnt.h"

namespace {

// The catalogue in group order. Inputs: n 0x1015 number (constant, value,
// note member), x 0x1037 number or text, t 0x0022 text, e 0x0800 note,
// a 0x4280 event array or value array. Outputs: v 0x0008 value, s 0x0040
// text, y 0x0100 event array, o 0x2000 note.
const ArticSrchInfo kBuiltins[] = {
    {"CArticSrchLim", 1, "nnn", "v", "CArticSrchEvnt", &ArticSrchMake<CArticSrchLim, 4>},
    {"CArticSrchValCmp", 1, "nnn", "v", "CArticSrchVal", &ArticSrchMake<CArticSrchValCmp, 4>},
    {"CArticSrchValMore", 1, "nn", "v", "CArticSrchVal", &ArticSrchMake<CArticSrchValMore, 3>},
    {"CArticSrchValLess", 1, "nn", "v", "CArticSrchVal", &ArticSrchMake<CArticSrchValLess, 3>},
    {"CArticSrchValToHexStr", 1, "nn", "s", "CArticSrchVal", &ArticSrchMake<CArticSrchValToHexStr, 3>},
    {"CArticSrchMeasToMeas", 1, "t", "v", "CArticSrchMeas", &ArticSrchMake<CArticSrchMeasToMeas, 2>},
    {"CArticSrchMeasToBeat", 1, "t", "v", "CArticSrchMeas", &ArticSrchMake<CArticSrchMeasToBeat, 2>},
    {"CArticSrchMeasToTick", 1, "t", "v", "CArticSrchMeas", &ArticSrchMake<CArticSrchMeasToTick, 2>},
    {"CArticSrchTimeToMeas", 1, "n", "s", "CArticSrchEvnt", &ArticSrchMake<CArticSrchTimeToMeas, 2>},
    {"CArticSrchTimeFromMeas", 1, "e", "v", "CArticSrchTimeToMeas", &ArticSrchMake<CArticSrchTimeFromMeas, 2>},
    {"CArticSrchKeySummit", 1, "e", "v", "CArticSrchEvnt", &ArticSrchMake<CArticSrchKeySummit, 2>},
    {"CArticSrchDurCmp", 1, "enn", "v", "CArticSrchDur", &ArticSrchMake<CArticSrchDurCmp, 4>},
    {"CArticSrchDurMore", 1, "en", "v", "CArticSrchDur", &ArticSrchMake<CArticSrchDurMore, 3>},
    {"CArticSrchDurLess", 1, "en", "v", "CArticSrchDur", &ArticSrchMake<CArticSrchDurLess, 3>},
    {"CArticSrchDurCont", 1, "ennn", "v", "CArticSrchEvnt", &ArticSrchMake<CArticSrchDurCont, 5>},
    {"CArticSrchKeyCmp", 1, "en", "v", "CArticSrchKey", &ArticSrchMake<CArticSrchKeyCmp, 3>},
    {"CArticSrchKeyMore", 1, "en", "v", "CArticSrchKey", &ArticSrchMake<CArticSrchKeyMore, 3>},
    {"CArticSrchKeyLess", 1, "en", "v", "CArticSrchKey", &ArticSrchMake<CArticSrchKeyLess, 3>},
    {"CArticSrchVeloCmp", 1, "enn", "v", "CArticSrchVelo", &ArticSrchMake<CArticSrchVeloCmp, 4>},
    {"CArticSrchVeloMore", 1, "en", "v", "CArticSrchVelo", &ArticSrchMake<CArticSrchVeloMore, 3>},
    {"CArticSrchVeloLess", 1, "en", "v", "CArticSrchVelo", &ArticSrchMake<CArticSrchVeloLess, 3>},
    {"CArticSrchOnTimeCmp", 1, "exn", "v", "CArticSrchOnTime", &ArticSrchMake<CArticSrchOnTimeCmp, 4>},
    {"CArticSrchOnTimeMore", 1, "ex", "v", "CArticSrchOnTime", &ArticSrchMake<CArticSrchOnTimeMore, 3>},
    {"CArticSrchOnTimeLess", 1, "ex", "v", "CArticSrchOnTime", &ArticSrchMake<CArticSrchOnTimeLess, 3>},
    {"CArticSrchOffTimeCmp", 1, "exn", "v", "CArticSrchOffTime", &ArticSrchMake<CArticSrchOffTimeCmp, 4>},
    {"CArticSrchOffTimeMore", 1, "ex", "v", "CArticSrchOffTime", &ArticSrchMake<CArticSrchOffTimeMore, 3>},
    {"CArticSrchOffTimeLess", 1, "ex", "v", "CArticSrchOffTime", &ArticSrchMake<CArticSrchOffTimeLess, 3>},
    {"CArticSrchIsChord", 1, "een", "v", "CArticSrchDurCmp", &ArticSrchMake<CArticSrchIsChord, 4>},
    {"CArticSrchNonChord", 1, "en", "o", "CArticSrchOffTime", &ArticSrchMake<CArticSrchNonChord, 3>},
    {"CArticSrchWrkNonChord", 1, "en", "o", "CArticSrchOffTime", &ArticSrchMake<CArticSrchWrkNonChord, 3>},
    {"CArticSrchHarmoPre", 1, "en", "v", "CArticSrchOffTime", &ArticSrchMake<CArticSrchHarmoPre, 3>},
    {"CArticSrchHarmoNext", 1, "en", "v", "CArticSrchOffTime", &ArticSrchMake<CArticSrchHarmoNext, 3>},
    {"CArticSrchHarmoWrkPre", 1, "en", "v", "CArticSrchOffTime", &ArticSrchMake<CArticSrchHarmoWrkPre, 3>},
    {"CArticSrchHarmoWrkNext", 1, "en", "v", "CArticSrchOffTime", &ArticSrchMake<CArticSrchHarmoWrkNext, 3>},
    {"CArticSrchPreRest", 1, "en", "v", "CArticSrchDur", &ArticSrchMake<CArticSrchPreRest, 3>},
    {"CArticSrchWrkPreRest", 1, "en", "v", "CArticSrchDur", &ArticSrchMake<CArticSrchWrkPreRest, 3>},
    {"CArticSrchIsPre", 1, "e", "v", "CArticSrchIs", &ArticSrchMake<CArticSrchIsPre, 2>},
    {"CArticSrchIsNext", 1, "e", "v", "CArticSrchIs", &ArticSrchMake<CArticSrchIsNext, 2>},
    {"CArticSrchIsWrkPre", 1, "e", "v", "CArticSrchIs", &ArticSrchMake<CArticSrchIsWrkPre, 2>},
    {"CArticSrchIsWrkNext", 1, "e", "v", "CArticSrchIs", &ArticSrchMake<CArticSrchIsWrkNext, 2>},
    {"CArticSrchIsEvnt", 1, "e", "v", "CArticSrchIs", &ArticSrchMake<CArticSrchIsEvnt, 2>},
    {"CArticSrchIsSameEvnt", 1, "ee", "v", "CArticSrchKey", &ArticSrchMake<CArticSrchIsSameEvnt, 3>},
    {"CArticSrchTime", 1, "enn", "v", "CArticSrchVal", &ArticSrchMake<CArticSrchTime, 4>},
    {"CArticSrchWrkTime", 1, "nn", "v", "CArticSrchVal", &ArticSrchMake<CArticSrchWrkTime, 3>},
    {"CArticSrchFirstEvnt", 1, "e", "o", "CArticSrchIs", &ArticSrchMake<CArticSrchFirstEvnt, 2>},
    {"CArticSrchLastEvnt", 1, "e", "o", "CArticSrchIs", &ArticSrchMake<CArticSrchLastEvnt, 2>},
    {"CArticSrchFirstEvntMeas", 1, "e", "o", "CArticSrchIs", &ArticSrchMake<CArticSrchFirstEvntMeas, 2>},
    {"CArticSrchFirstEvntMeas2", 1, "n", "o", "CArticSrchIs", &ArticSrchMake<CArticSrchFirstEvntMeas2, 2>},
    {"CArticSrchFirstEvntMeas3", 1, "nn", "o", "CArticSrchPow", &ArticSrchMake<CArticSrchFirstEvntMeas3, 3>},
    {"CArticSrchLastEvntMeas", 1, "e", "o", "CArticSrchIs", &ArticSrchMake<CArticSrchLastEvntMeas, 2>},
    {"CArticSrchLastEvntMeas2", 1, "n", "o", "CArticSrchIs", &ArticSrchMake<CArticSrchLastEvntMeas2, 2>},
    {"CArticSrchLastEvntMeas3", 1, "nn", "o", "CArticSrchPow", &ArticSrchMake<CArticSrchLastEvntMeas3, 3>},
    {"CArticSrchPreNum", 1, "en", "o", "CArticSrchNum", &ArticSrchMake<CArticSrchPreNum, 3>},
    {"CArticSrchNextNum", 1, "en", "o", "CArticSrchNum", &ArticSrchMake<CArticSrchNextNum, 3>},
    {"CArticSrchProbPre", 1, "n", "ov", "CArticSrchProb", &ArticSrchMake<CArticSrchProbPre, 3>},
    {"CArticSrchProbPre2", 1, "ne", "ov", "CArticSrchProb2", &ArticSrchMake<CArticSrchProbPre2, 4>},
    {"CArticSrchProbNext", 1, "n", "ov", "CArticSrchProb", &ArticSrchMake<CArticSrchProbNext, 3>},
    {"CArticSrchProbNext2", 1, "ne", "ov", "CArticSrchProb2", &ArticSrchMake<CArticSrchProbNext2, 4>},
    {"CArticSrchWrkFirstEvnt", 1, "", "o", "CArticSrchWrk", &ArticSrchMake<CArticSrchWrkFirstEvnt, 1>},
    {"CArticSrchWrkLastEvnt", 1, "", "o", "CArticSrchWrk", &ArticSrchMake<CArticSrchWrkLastEvnt, 1>},
    {"CArticSrchWrkFirstEvntMeas", 1, "e", "o", "CArticSrchWrk", &ArticSrchMake<CArticSrchWrkFirstEvntMeas, 2>},
    {"CArticSrchWrkFirstEvntMeas2", 1, "n", "o", "CArticSrchWrkFirstEvntMeas", &ArticSrchMake<CArticSrchWrkFirstEvntMeas2, 2>},
    {"CArticSrchWrkFirstEvntMeas3", 1, "nn", "o", "CArticSrchPow", &ArticSrchMake<CArticSrchWrkFirstEvntMeas3, 3>},
    {"CArticSrchWrkLastEvntMeas", 1, "e", "o", "CArticSrchWrk", &ArticSrchMake<CArticSrchWrkLastEvntMeas, 2>},
    {"CArticSrchWrkLastEvntMeas2", 1, "n", "o", "CArticSrchWrkLastEvntMeas", &ArticSrchMake<CArticSrchWrkLastEvntMeas2, 2>},
    {"CArticSrchWrkLastEvntMeas3", 1, "nn", "o", "CArticSrchPow", &ArticSrchMake<CArticSrchWrkLastEvntMeas3, 3>},
    {"CArticSrchWrkPreNum", 1, "en", "o", "CArticSrchNum", &ArticSrchMake<CArticSrchWrkPreNum, 3>},
    {"CArticSrchWrkNextNum", 1, "en", "o", "CArticSrchNum", &ArticSrchMake<CArticSrchWrkNextNum, 3>},
    {"CArticSrchProbWrkPre", 1, "n", "ov", "CArticSrchProb", &ArticSrchMake<CArticSrchProbWrkPre, 3>},
    {"CArticSrchProbWrkPre2", 1, "ne", "ov", "CArticSrchProb2", &ArticSrchMake<CArticSrchProbWrkPre2, 4>},
    {"CArticSrchProbWrkNext", 1, "n", "ov", "CArticSrchProb", &ArticSrchMake<CArticSrchProbWrkNext, 3>},
    {"CArticSrchProbWrkNext2", 1, "ne", "ov", "CArticSrchProb2", &ArticSrchMake<CArticSrchProbWrkNext2, 4>},
    {"CArticSrchAreaType", 2, "nennn", "ov", "CArticSrchDurCont", &ArticSrchMake<CArticSrchAreaType, 7>},
    {"CArticSrchAreaTypeWrk", 2, "nennn", "ov", "CArticSrchAreaType", &ArticSrchMake<CArticSrchAreaTypeWrk, 7>},
    {"CArticSrchRnd", 2, "n", "v", "CArticSrchCalc", &ArticSrchMake<CArticSrchRnd, 2>},
    {"CArticSrchInt", 2, "n", "v", "CArticSrchCalc", &ArticSrchMake<CArticSrchInt, 2>},
    {"CArticSrchFrac", 2, "n", "v", "CArticSrchCalc", &ArticSrchMake<CArticSrchFrac, 2>},
    {"CArticSrchRem", 2, "nn", "v", "CArticSrchCalc", &ArticSrchMake<CArticSrchRem, 3>},
    {"CArticSrchPow", 2, "nn", "v", "CArticSrchCalc", &ArticSrchMake<CArticSrchPow, 3>},
    {"CArticSrchGetBit", 2, "nn", "v", "CArticSrchPow", &ArticSrchMake<CArticSrchGetBit, 3>},
    {"CArticSrchPutBit", 2, "nnn", "v", "CArticSrchPow", &ArticSrchMake<CArticSrchPutBit, 4>},
    {"CArticSrchSelType", 2, "nnn", "v", "CArticSrchCalc", &ArticSrchMake<CArticSrchSelType, 4>},
    {"CArticSrchSelSw", 2, "nnn", "v", "CArticSrchSelType", &ArticSrchMake<CArticSrchSelSw, 4>},
    {"CArticSrchSelEvntSw", 2, "nee", "o", "CArticSrchSelType", &ArticSrchMake<CArticSrchSelEvntSw, 4>},
    {"CArticSrchCopy", 2, "n", "v", "CArticSrchCalc", &ArticSrchMake<CArticSrchCopy, 2>},
    {"CArticSrchMstrMeter", 2, "n", "vv", "CArticSrchMstr", &ArticSrchMake<CArticSrchMstrMeter, 3>},
    {"CArticSrchMstrTempo", 2, "n", "v", "CArticSrchMstr", &ArticSrchMake<CArticSrchMstrTempo, 2>},
    {"CArticSrchMstrTempo2", 2, "n", "vv", "CArticSrchMstr", &ArticSrchMake<CArticSrchMstrTempo2, 3>},
    {"CArticSrchMstrKey", 2, "n", "vv", "CArticSrchMstr", &ArticSrchMake<CArticSrchMstrKey, 3>},
    {"CArticSrchMstrChord", 2, "n", "vvvv", "CArticSrchMstr", &ArticSrchMake<CArticSrchMstrChord, 5>},
    {"CArticSrchMstrGetTimeFromMeter", 2, "e", "v", "CArticSrchMstr", &ArticSrchMake<CArticSrchMstrGetTimeFromMeter, 2>},
    {"CArticSrchMstrGetTimeFromKey", 2, "e", "v", "CArticSrchMstr", &ArticSrchMake<CArticSrchMstrGetTimeFromKey, 2>},
    {"CArticSrchProNum", 2, "e", "vvv", "CArticSrchMstrMeter", &ArticSrchMake<CArticSrchProNum, 4>},
    {"CArticSrchProNumOfVexa", 2, "", "vvv", "CArticSrchEvnt", &ArticSrchMake<CArticSrchProNumOfVexa, 3>},
    {"CArticSrchSelTrk", 2, "", "v", "CArticSrchEvnt", &ArticSrchMake<CArticSrchSelTrk, 1>},
    {"CArticSrchTrkSelected", 2, "e", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchTrkSelected, 2>},
    {"CArticSrchTrkAttri", 2, "e", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchTrkAttri, 2>},
    {"CArticSrchGetSmfSize", 2, "t", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchGetSmfSize, 2>},
    {"CArticSrchProcArea", 2, "", "vv", "CArticSrchGetArrayEvntAry", &ArticSrchMake<CArticSrchProcArea, 2>},
    {"CArticSrchGetGlobal", 2, "n", "v", "CArticSrchEvnt", &ArticSrchMake<CArticSrchGetGlobal, 2>},
    {"CArticSrchPutGlobal", 2, "nn", "", "CArticSrchEvnt", &ArticSrchMake<CArticSrchPutGlobal, 2>},
    {"CArticSrchGetArrayEvnt", 2, "n", "o", "CArticSrchEvnt", &ArticSrchMake<CArticSrchGetArrayEvnt, 2>},
    {"CArticSrchGetDupArrayEvnt", 2, "", "yv", "CArticSrchGetArrayEvntAry", &ArticSrchMake<CArticSrchGetDupArrayEvnt, 2>},
    {"CArticSrchGetArrayEvntType", 2, "nn", "o", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchGetArrayEvntType, 3>},
    {"CArticSrchGetArrayEvntAry", 2, "", "yv", "CArticSrchEvnt", &ArticSrchMake<CArticSrchGetArrayEvntAry, 2>},
    {"CArticSrchGetHarmoArrayEvntAry", 2, "e", "yv", "CArticSrchGetArrayEvntAry", &ArticSrchMake<CArticSrchGetHarmoArrayEvntAry, 3>},
    {"CArticSrchEvaArrayEvntType", 2, "nn", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchEvaArrayEvntType, 3>},
    {"CArticSrchEvaArrayEvntArp", 2, "n", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchEvaArrayEvntArp, 2>},
    {"CArticSrchEvaArrayEvntRng", 2, "n", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchEvaArrayEvntRng, 2>},
    {"CArticSrchAddArrayEvntNoteInfo", 2, "nn", "", "CArticSrchAddArrayEvnt", &ArticSrchMake<CArticSrchAddArrayEvntNoteInfo, 2>},
    {"CArticSrchPutArrayEvnt", 2, "ne", "", "CArticSrchEvnt", &ArticSrchMake<CArticSrchPutArrayEvnt, 2>},
    {"CArticSrchPutArrayEvntType", 2, "nne", "", "CArticSrchPutArrayEvnt", &ArticSrchMake<CArticSrchPutArrayEvntType, 3>},
    {"CArticSrchPutArrayEvntAry", 2, "a", "v", "CArticSrchPutArrayEvntMeas", &ArticSrchMake<CArticSrchPutArrayEvntAry, 2>},
    {"CArticSrchPutArrayEvntNumNext", 2, "en", "v", "CArticSrchPutArrayEvnt", &ArticSrchMake<CArticSrchPutArrayEvntNumNext, 3>},
    {"CArticSrchPutArrayEvntNumPre", 2, "en", "v", "CArticSrchPutArrayEvnt", &ArticSrchMake<CArticSrchPutArrayEvntNumPre, 3>},
    {"CArticSrchPutArrayEvntNumWrkNext", 2, "en", "v", "CArticSrchPutArrayEvnt", &ArticSrchMake<CArticSrchPutArrayEvntNumWrkNext, 3>},
    {"CArticSrchPutArrayEvntNumWrkPre", 2, "en", "v", "CArticSrchPutArrayEvnt", &ArticSrchMake<CArticSrchPutArrayEvntNumWrkPre, 3>},
    {"CArticSrchPutArrayEvntMeas", 2, "e", "v", "CArticSrchEvnt", &ArticSrchMake<CArticSrchPutArrayEvntMeas, 2>},
    {"CArticSrchPutArrayEvntMeasWrk", 2, "e", "v", "CArticSrchPutArrayEvntMeas", &ArticSrchMake<CArticSrchPutArrayEvntMeasWrk, 2>},
    {"CArticSrchPutArrayEvntArea", 2, "nn", "v", "CArticSrchPutArrayEvntNumNext", &ArticSrchMake<CArticSrchPutArrayEvntArea, 3>},
    {"CArticSrchPutArrayEvntAreaWrk", 2, "nn", "v", "CArticSrchPutArrayEvntNumWrkNext", &ArticSrchMake<CArticSrchPutArrayEvntAreaWrk, 3>},
    {"CArticSrchPutArrayEvntAreaWrkByEvnt", 2, "ennn", "v", "CArticSrchPutArrayEvntNumWrkNext", &ArticSrchMake<CArticSrchPutArrayEvntAreaWrkByEvnt, 5>},
    {"CArticSrchPutArrayEvntAreaEvnt", 2, "ee", "v", "CArticSrchPutArrayEvntNumWrkNext", &ArticSrchMake<CArticSrchPutArrayEvntAreaEvnt, 3>},
    {"CArticSrchPutArrayEvntChord", 2, "en", "v", "CArticSrchPutArrayEvntNumWrkNext", &ArticSrchMake<CArticSrchPutArrayEvntChord, 3>},
    {"CArticSrchPutArrayEvntChord2", 2, "ennn", "v", "CArticSrchPutArrayEvntNumWrkNext", &ArticSrchMake<CArticSrchPutArrayEvntChord2, 5>},
    {"CArticSrchPutArrayEvntChord3", 2, "ennn", "v", "CArticSrchPutArrayEvntChord2", &ArticSrchMake<CArticSrchPutArrayEvntChord3, 5>},
    {"CArticSrchPutArrayEvntHarmo", 2, "en", "v", "CArticSrchPutArrayEvntNumWrkNext", &ArticSrchMake<CArticSrchPutArrayEvntHarmo, 3>},
    {"CArticSrchClrArrayEvnt", 2, "n", "", "CArticSrchEvnt", &ArticSrchMake<CArticSrchClrArrayEvnt, 1>},
    {"CArticSrchClrDupArrayEvnt", 2, "", "v", "CArticSrchEvnt", &ArticSrchMake<CArticSrchClrDupArrayEvnt, 1>},
    {"CArticSrchClrExvArrayEvnt", 2, "a", "v", "CArticSrchClrDupArrayEvnt", &ArticSrchMake<CArticSrchClrExvArrayEvnt, 2>},
    {"CArticSrchClrNumArrayEvnt", 2, "nn", "v", "CArticSrchClrArrayEvnt", &ArticSrchMake<CArticSrchClrNumArrayEvnt, 3>},
    {"CArticSrchClrAllArrayEvnt", 2, "", "", "CArticSrchEvnt", &ArticSrchMake<CArticSrchClrAllArrayEvnt, 0>},
    {"CArticSrchClrAllArrayEvntType", 2, "n", "", "CArticSrchClrAllArrayEvnt", &ArticSrchMake<CArticSrchClrAllArrayEvntType, 1>},
    {"CArticSrchSortArrayEvntFwdKey", 2, "", "v", "CArticSrchSortArrayEvnt", &ArticSrchMake<CArticSrchSortArrayEvntFwdKey, 1>},
    {"CArticSrchSortArrayEvntRvsKey", 2, "", "v", "CArticSrchSortArrayEvnt", &ArticSrchMake<CArticSrchSortArrayEvntRvsKey, 1>},
    {"CArticSrchSortArrayEvntFwdTime", 2, "", "v", "CArticSrchSortArrayEvnt", &ArticSrchMake<CArticSrchSortArrayEvntFwdTime, 1>},
    {"CArticSrchSortArrayEvntRvsTime", 2, "", "v", "CArticSrchSortArrayEvnt", &ArticSrchMake<CArticSrchSortArrayEvntRvsTime, 1>},
    {"CArticSrchSortArrayEvntType", 2, "n", "v", "CArticSrchSortArrayEvnt", &ArticSrchMake<CArticSrchSortArrayEvntType, 2>},
    {"CArticSrchSortArrayEvntNoteInfoType", 2, "nn", "v", "CArticSrchSortArrayEvntType", &ArticSrchMake<CArticSrchSortArrayEvntNoteInfoType, 3>},
    {"CArticSrchRmvArrayEvntTimeCmp", 2, "n", "v", "CArticSrchSortArrayEvnt", &ArticSrchMake<CArticSrchRmvArrayEvntTimeCmp, 2>},
    {"CArticSrchRmvArrayEvntAttri", 2, "nn", "v", "CArticSrchSortArrayEvnt", &ArticSrchMake<CArticSrchRmvArrayEvntAttri, 3>},
    {"CArticSrchRmvArrayEvntChord", 2, "nn", "v", "CArticSrchRmvArrayEvntTimeCmp", &ArticSrchMake<CArticSrchRmvArrayEvntChord, 3>},
    {"CArticSrchRmvArrayEvntProb", 2, "nn", "v", "CArticSrchRmvArrayEvntChord", &ArticSrchMake<CArticSrchRmvArrayEvntProb, 3>},
    {"CArticSrchRmvArrayEvntType", 2, "nn", "v", "CArticSrchRmvArrayEvntChord", &ArticSrchMake<CArticSrchRmvArrayEvntType, 3>},
    {"CArticSrchRmvArrayEvntNoteInfoType", 2, "nnn", "v", "CArticSrchRmvArrayEvntType", &ArticSrchMake<CArticSrchRmvArrayEvntNoteInfoType, 4>},
    {"CArticSrchRmvArrayEvntNoteInfoBitType", 2, "nnn", "v", "CArticSrchRmvArrayEvntType", &ArticSrchMake<CArticSrchRmvArrayEvntNoteInfoBitType, 4>},
    {"CArticSrchSwapArrayEvntNoteInfo", 2, "nn", "v", "CArticSrchVal", &ArticSrchMake<CArticSrchSwapArrayEvntNoteInfo, 3>},
    {"CArticSrchCmpAry", 2, "aa", "v", "CArticSrchVelo", &ArticSrchMake<CArticSrchCmpAry, 3>},
    {"CArticSrchGetDupAry", 2, "aa", "yv", "CArticSrchCmpAry", &ArticSrchMake<CArticSrchGetDupAry, 4>},
    {"CArticSrchGetExvAry", 2, "aa", "yv", "CArticSrchGetDupAry", &ArticSrchMake<CArticSrchGetExvAry, 4>},
    {"CArticSrchSelAry", 2, "naa", "y", "CArticSrchEvnt", &ArticSrchMake<CArticSrchSelAry, 4>},
    {"CArticSrchSetSearched", 2, "nen", "", "CArticSrchPutArrayEvnt", &ArticSrchMake<CArticSrchSetSearched, 3>},
    {"CArticSrchSetSearchedThis", 2, "ne", "", "CArticSrchPutArrayEvnt", &ArticSrchMake<CArticSrchSetSearchedThis, 2>},
    {"CArticSrchSetSearchedArea", 2, "neen", "", "CArticSrchSetSearched", &ArticSrchMake<CArticSrchSetSearchedArea, 4>},
    {"CArticSrchSetSearchedAreaThis", 2, "nee", "", "CArticSrchSetSearched", &ArticSrchMake<CArticSrchSetSearchedAreaThis, 3>},
    {"CArticSrchSetSearchedAry", 2, "nna", "", "CArticSrchSetSearched", &ArticSrchMake<CArticSrchSetSearchedAry, 3>},
    {"CArticSrchSetSearchedAryThis", 2, "na", "", "CArticSrchSetSearched", &ArticSrchMake<CArticSrchSetSearchedAryThis, 2>},
    {"CArticSrchGetNoteInfo", 2, "en", "v", "CArticSrchVelo", &ArticSrchMake<CArticSrchGetNoteInfo, 3>},
    {"CArticSrchGetNoteInfoType", 2, "nen", "v", "CArticSrchGetNoteInfo", &ArticSrchMake<CArticSrchGetNoteInfoType, 4>},
    {"CArticSrchGetNoteInfoBit", 2, "enn", "v", "CArticSrchGetNoteInfo", &ArticSrchMake<CArticSrchGetNoteInfoBit, 4>},
    {"CArticSrchGetNoteInfoBitType", 2, "nenn", "v", "CArticSrchGetNoteInfoBit", &ArticSrchMake<CArticSrchGetNoteInfoBitType, 5>},
    {"CArticSrchPutNoteInfo", 2, "enn", "", "CArticSrchPutArrayEvnt", &ArticSrchMake<CArticSrchPutNoteInfo, 3>},
    {"CArticSrchPutNoteInfoType", 2, "nenn", "", "CArticSrchPutNoteInfo", &ArticSrchMake<CArticSrchPutNoteInfoType, 4>},
    {"CArticSrchPutNoteInfoBit", 2, "ennn", "", "CArticSrchPutNoteInfo", &ArticSrchMake<CArticSrchPutNoteInfoBit, 4>},
    {"CArticSrchPutNoteInfoBitType", 2, "nennn", "", "CArticSrchPutNoteInfoBit", &ArticSrchMake<CArticSrchPutNoteInfoBitType, 5>},
    {"CArticSrchNoteInfoValCmp", 2, "ennn", "v", "CArticSrchValCmp", &ArticSrchMake<CArticSrchNoteInfoValCmp, 5>},
    {"CArticSrchNoteInfoValMore", 2, "enn", "v", "CArticSrchValMore", &ArticSrchMake<CArticSrchNoteInfoValMore, 4>},
    {"CArticSrchNoteInfoValLess", 2, "enn", "v", "CArticSrchValLess", &ArticSrchMake<CArticSrchNoteInfoValLess, 4>},
    {"CArticSrchNoteInfoTimeFromMeas", 2, "en", "v", "CArticSrchVal", &ArticSrchMake<CArticSrchNoteInfoTimeFromMeas, 3>},
    {"CArticSrchNoteInfoSwapOnTime", 2, "en", "v", "CArticSrchVal", &ArticSrchMake<CArticSrchNoteInfoSwapOnTime, 3>},
    {"CArticSrchNoteInfoSwapDur", 2, "en", "v", "CArticSrchVal", &ArticSrchMake<CArticSrchNoteInfoSwapDur, 3>},
    {"CArticSrchNoteInfoSwapKey", 2, "en", "v", "CArticSrchVal", &ArticSrchMake<CArticSrchNoteInfoSwapKey, 3>},
    {"CArticSrchNoteInfoSwapVelo", 2, "en", "v", "CArticSrchVal", &ArticSrchMake<CArticSrchNoteInfoSwapVelo, 3>},
    {"CArticSrchGetGen", 2, "e", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchGetGen, 2>},
    {"CArticSrchGetPos", 2, "e", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchGetPos, 2>},
    {"CArticSrchPutGen", 2, "en", "", "CArticSrchPutArrayEvnt", &ArticSrchMake<CArticSrchPutGen, 2>},
    {"CArticSrchPutGenType", 2, "nen", "", "CArticSrchPutArrayEvntType", &ArticSrchMake<CArticSrchPutGenType, 3>},
    {"CArticSrchPutPos", 2, "en", "", "CArticSrchPutArrayEvnt", &ArticSrchMake<CArticSrchPutPos, 2>},
    {"CArticSrchPutPosType", 2, "nen", "", "CArticSrchPutArrayEvntType", &ArticSrchMake<CArticSrchPutPosType, 3>},
    {"CArticSrchSwing", 2, "nennnn", "vv", "CArticSrchAreaType", &ArticSrchMake<CArticSrchSwing, 8>},
    {"CArticSrchNoteInfoSwing", 2, "nennnnnn", "vv", "CArticSrchSwing", &ArticSrchMake<CArticSrchNoteInfoSwing, 10>},
    {"CArticSrchBreak", 2, "n", "", "CArticSrchEvnt", &ArticSrchMake<CArticSrchBreak, 1>},
    {"CArticSrchGetGracedFlg", 2, "e", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchGetGracedFlg, 2>},
    {"CArticSrchGetPbWhitenFlg", 2, "e", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchGetPbWhitenFlg, 2>},
    {"CArticSrchPutChord", 2, "ea", "", "CArticSrchEvnt", &ArticSrchMake<CArticSrchPutChord, 2>},
    {"CArticSrchPutChordAry", 2, "aa", "", "CArticSrchEvnt", &ArticSrchMake<CArticSrchPutChordAry, 2>},
    {"CArticSrchGetChord", 2, "e", "yv", "CArticSrchEvnt", &ArticSrchMake<CArticSrchGetChord, 3>},
    {"CArticSrchPutHarmo", 2, "ea", "", "CArticSrchPutChord", &ArticSrchMake<CArticSrchPutHarmo, 2>},
    {"CArticSrchPutHarmoAryAry", 2, "aa", "", "CArticSrchPutChordAry", &ArticSrchMake<CArticSrchPutHarmoAryAry, 2>},
    {"CArticSrchGetHarmo", 2, "e", "yv", "CArticSrchGetChord", &ArticSrchMake<CArticSrchGetHarmo, 3>},
    {"CArticSrchPutChordFirst", 2, "ee", "", "CArticSrchEvnt", &ArticSrchMake<CArticSrchPutChordFirst, 2>},
    {"CArticSrchPutChordFirstAry", 2, "ae", "", "CArticSrchEvnt", &ArticSrchMake<CArticSrchPutChordFirstAry, 2>},
    {"CArticSrchGetChordFirst", 2, "e", "o", "CArticSrchEvnt", &ArticSrchMake<CArticSrchGetChordFirst, 2>},
    {"CArticSrchPbExist", 3, "enn", "v", "CArticSrchIs", &ArticSrchMake<CArticSrchPbExist, 4>},
    {"CArticSrchPbMaxMin", 3, "enn", "vvv", "CArticSrchPbExist", &ArticSrchMake<CArticSrchPbMaxMin, 6>},
    {"CArticSrchPbNonCycle", 3, "enn", "v", "CArticSrchPbExist", &ArticSrchMake<CArticSrchPbNonCycle, 4>},
    {"CArticSrchGetPb", 3, "enn", "y", "CArticSrchPbExist", &ArticSrchMake<CArticSrchGetPb, 4>},
    {"CArticSrchGetAfctPb", 3, "enn", "v", "CArticSrchPbExist", &ArticSrchMake<CArticSrchGetAfctPb, 4>},
    {"CArticSrchPbCyclic", 3, "ennnnnn", "vvvvvvvv", "CArticSrchPbExist", &ArticSrchMake<CArticSrchPbCyclic, 15>},
    {"CArticSrchCcExist", 3, "ennn", "v", "CArticSrchIs", &ArticSrchMake<CArticSrchCcExist, 5>},
    {"CArticSrchCcMaxMin", 3, "ennn", "vvv", "CArticSrchCcExist", &ArticSrchMake<CArticSrchCcMaxMin, 7>},
    {"CArticSrchCcNonCycle", 3, "ennn", "v", "CArticSrchCcExist", &ArticSrchMake<CArticSrchCcNonCycle, 5>},
    {"CArticSrchGetCc", 3, "ennn", "y", "CArticSrchCcExist", &ArticSrchMake<CArticSrchGetCc, 5>},
    {"CArticSrchGetAfctCc", 3, "enn", "v", "CArticSrchCcExist", &ArticSrchMake<CArticSrchGetAfctCc, 4>},
    {"CArticSrchSetAryNoteInfoType", 3, "nann", "", "CArticSrchEvnt", &ArticSrchMake<CArticSrchSetAryNoteInfoType, 4>},
    {"CArticSrchSetAryNoteInfoBitType", 3, "nannn", "", "CArticSrchSetAryNoteInfoType", &ArticSrchMake<CArticSrchSetAryNoteInfoBitType, 5>},
};

static_assert(sizeof(kBuiltins) / sizeof(kBuiltins[0]) == CArticSrchUtil::kCount, "206 built-ins");

// Makers entered at run time, by catalogue index; they override the table's.
ArticSrchMaker g_makers[CArticSrchUtil::kCount] = {};

// Catalogue indexes sorted by name, for binary search.
const std::vector<int>& SortedIndex() {
    static const std::vector<int> sorted = [] {
        std::vector<int> v(CArticSrchUtil::kCount);
        for (int i = 0; i < CArticSrchUtil::kCount; ++i) v[size_t(i)] = i;
        std::sort(v.begin(), v.end(),
                  [](int a, int b) { return std::strcmp(kBuiltins[a].name, kBuiltins[b].name) < 0; });
        return v;
    }();
    return sorted;
}

}  // namespace

int CArticSrchUtil::InMask(char letter) {
    switch (letter) {
        case 'n': return ARG_NUM | ARG_VAL | ARG_NUM_SPARE | ARG_MEMBER;
        case 'x': return ARG_NUM | ARG_STR | ARG_VAL | ARG_NUM_SPARE | ARG_STRVAR | ARG_MEMBER;
        case 't': return ARG_STR | ARG_STRVAR;
        case 'e': return ARG_EVNT;
        case 'a': return ARG_ARY | ARG_VARY | ARG_EVNT_LIST;
        default: return 0;
    }
}

int CArticSrchUtil::OutMask(char letter) {
    switch (letter) {
        case 'v': return ARG_VAL_OUT;
        case 's': return ARG_STRVAR_OUT;
        case 'y': return ARG_ARY_OUT;
        case 'o': return ARG_EVNT_OUT;
        default: return 0;
    }
}

int CArticSrchUtil::IndexOf(const char* name) {
    if (!name) return -1;
    const std::vector<int>& sorted = SortedIndex();
    auto it = std::lower_bound(sorted.begin(), sorted.end(), name,
                               [](int i, const char* n) { return std::strcmp(kBuiltins[i].name, n) < 0; });
    if (it == sorted.end() || std::strcmp(kBuiltins[*it].name, name) != 0) return -1;
    return *it;
}

const ArticSrchInfo* CArticSrchUtil::Find(const char* name) {
    int i = IndexOf(name);
    return i < 0 ? nullptr : &kBuiltins[i];
}

const ArticSrchInfo* CArticSrchUtil::GetInfo(int index) {
    return index >= 0 && index < kCount ? &kBuiltins[index] : nullptr;
}

int CArticSrchUtil::SetMaker(const char* name, ArticSrchMaker make) {
    int i = IndexOf(name);
    if (i < 0) return 1;
    g_makers[i] = make;
    return 0;
}

int CArticSrchUtil::ArgInfo(int index, int* inNum, int* inMask, int* outNum, int* outMask) {
    const ArticSrchInfo& info = kBuiltins[index];
    const int nIn = int(std::strlen(info.in));
    const int nOut = int(std::strlen(info.out));
    if (inNum) *inNum = nIn;
    if (outNum) *outNum = nOut;
    for (int k = 0; inMask && k < nIn; ++k) inMask[k] = InMask(info.in[k]);
    for (int k = 0; outMask && k < nOut; ++k) outMask[k] = OutMask(info.out[k]);
    return 0;
}

int CArticSrchUtil::Make(int index, CArticRulSet* set, ULONG funcNo, CArticRulElmList* elements,
                         CArticSrchEvnt** result) {
    const ArticSrchInfo& info = kBuiltins[index];
    ArticSrchMaker make = g_makers[index] ? g_makers[index] : info.make;
    if (!make) return 1;
    const int n = int(std::strlen(info.in) + std::strlen(info.out));
    CArticRulElm* elms[2 * kMaxArgs] = {};
    POSITION p = elements->GetHeadPosition();
    for (int k = 0; k < n && p; ++k) elms[k] = elements->GetNext(p);
    *result = make(set, funcNo, elms);
    return *result ? 0 : 1;
}

int CArticSrchUtil::GetArgmentInfo(CExString& name, int* inNum, int* inMask, int* outNum, int* outMask) {
    int i = IndexOf(name.c_str());
    return i < 0 ? 1 : ArgInfo(i, inNum, inMask, outNum, outMask);
}

int CArticSrchUtil::MakeEvnt(CArticRulSet* set, CExString& name, ULONG funcNo, CArticRulElmList* elements,
                             CArticSrchEvnt** result) {
    if (result) *result = nullptr;
    if (!result || !elements) return 1;
    int i = IndexOf(name.c_str());
    return i < 0 ? 1 : Make(i, set, funcNo, elements, result);
}

namespace {
// The catalogue index of name when it belongs to group, else -1.
int IndexInGroup(const CExString& name, int group) {
    const ArticSrchInfo* info = CArticSrchUtil::Find(name.c_str());
    return info && info->group == group ? int(info - CArticSrchUtil::GetInfo(0)) : -1;
}
}  // namespace

#define VX_SRCH_GROUP(n)                                                                                    \
    int CArticSrchUtil::GetArgmentInfo##n(CExString& name, int* inNum, int* inMask, int* outNum,          \
                                          int* outMask) {                                                 \
        int i = IndexInGroup(name, n);                                                                    \
        return i < 0 ? 1 : ArgInfo(i, inNum, inMask, outNum, outMask);                                    \
    }                                                                                                     \
    int CArticSrchUtil::MakeEvnt##n(CArticRulSet* set, CExString& name, ULONG funcNo,                     \
                                    CArticRulElmList* elements, CArticSrchEvnt** result) {                \
        if (result) *result = nullptr;                                                                    \
        if (!result || !elements) return 1;                                                               \
        int i = IndexInGroup(name, n);                                                                    \
        return i < 0 ? 1 : Make(i, set, funcNo, elements, result);                                        \
    }
VX_SRCH_GROUP(1)
VX_SRCH_GROUP(2)
VX_SRCH_GROUP(3)
#undef VX_SRCH_GROUP
