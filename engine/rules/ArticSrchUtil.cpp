#include "engine/rules/ArticSrchUtil.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/builtins/ArticSrchArrayEvnt.h"
#include "engine/builtins/ArticSrchCalc.h"
#include "engine/builtins/ArticSrchNoteAttr.h"
#include "engine/builtins/ArticSrchNoteInfo.h"
#include "engine/builtins/ArticSrchNoteProp.h"
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
    {"CArticSrchIsChord", 1, "een", "v", "CArticSrchDurCmp", nullptr},
    {"CArticSrchNonChord", 1, "en", "o", "CArticSrchOffTime", nullptr},
    {"CArticSrchWrkNonChord", 1, "en", "o", "CArticSrchOffTime", nullptr},
    {"CArticSrchHarmoPre", 1, "en", "v", "CArticSrchOffTime", nullptr},
    {"CArticSrchHarmoNext", 1, "en", "v", "CArticSrchOffTime", nullptr},
    {"CArticSrchHarmoWrkPre", 1, "en", "v", "CArticSrchOffTime", nullptr},
    {"CArticSrchHarmoWrkNext", 1, "en", "v", "CArticSrchOffTime", nullptr},
    {"CArticSrchPreRest", 1, "en", "v", "CArticSrchDur", nullptr},
    {"CArticSrchWrkPreRest", 1, "en", "v", "CArticSrchDur", nullptr},
    {"CArticSrchIsPre", 1, "e", "v", "CArticSrchIs", nullptr},
    {"CArticSrchIsNext", 1, "e", "v", "CArticSrchIs", nullptr},
    {"CArticSrchIsWrkPre", 1, "e", "v", "CArticSrchIs", nullptr},
    {"CArticSrchIsWrkNext", 1, "e", "v", "CArticSrchIs", nullptr},
    {"CArticSrchIsEvnt", 1, "e", "v", "CArticSrchIs", nullptr},
    {"CArticSrchIsSameEvnt", 1, "ee", "v", "CArticSrchKey", nullptr},
    {"CArticSrchTime", 1, "enn", "v", "CArticSrchVal", nullptr},
    {"CArticSrchWrkTime", 1, "nn", "v", "CArticSrchVal", nullptr},
    {"CArticSrchFirstEvnt", 1, "e", "o", "CArticSrchIs", nullptr},
    {"CArticSrchLastEvnt", 1, "e", "o", "CArticSrchIs", nullptr},
    {"CArticSrchFirstEvntMeas", 1, "e", "o", "CArticSrchIs", nullptr},
    {"CArticSrchFirstEvntMeas2", 1, "n", "o", "CArticSrchIs", nullptr},
    {"CArticSrchFirstEvntMeas3", 1, "nn", "o", "CArticSrchPow", nullptr},
    {"CArticSrchLastEvntMeas", 1, "e", "o", "CArticSrchIs", nullptr},
    {"CArticSrchLastEvntMeas2", 1, "n", "o", "CArticSrchIs", nullptr},
    {"CArticSrchLastEvntMeas3", 1, "nn", "o", "CArticSrchPow", nullptr},
    {"CArticSrchPreNum", 1, "en", "o", "CArticSrchNum", nullptr},
    {"CArticSrchNextNum", 1, "en", "o", "CArticSrchNum", nullptr},
    {"CArticSrchProbPre", 1, "n", "ov", "CArticSrchProb", nullptr},
    {"CArticSrchProbPre2", 1, "ne", "ov", "CArticSrchProb2", nullptr},
    {"CArticSrchProbNext", 1, "n", "ov", "CArticSrchProb", nullptr},
    {"CArticSrchProbNext2", 1, "ne", "ov", "CArticSrchProb2", nullptr},
    {"CArticSrchWrkFirstEvnt", 1, "", "o", "CArticSrchWrk", nullptr},
    {"CArticSrchWrkLastEvnt", 1, "", "o", "CArticSrchWrk", nullptr},
    {"CArticSrchWrkFirstEvntMeas", 1, "e", "o", "CArticSrchWrk", nullptr},
    {"CArticSrchWrkFirstEvntMeas2", 1, "n", "o", "CArticSrchWrkFirstEvntMeas", nullptr},
    {"CArticSrchWrkFirstEvntMeas3", 1, "nn", "o", "CArticSrchPow", nullptr},
    {"CArticSrchWrkLastEvntMeas", 1, "e", "o", "CArticSrchWrk", nullptr},
    {"CArticSrchWrkLastEvntMeas2", 1, "n", "o", "CArticSrchWrkLastEvntMeas", nullptr},
    {"CArticSrchWrkLastEvntMeas3", 1, "nn", "o", "CArticSrchPow", nullptr},
    {"CArticSrchWrkPreNum", 1, "en", "o", "CArticSrchNum", nullptr},
    {"CArticSrchWrkNextNum", 1, "en", "o", "CArticSrchNum", nullptr},
    {"CArticSrchProbWrkPre", 1, "n", "ov", "CArticSrchProb", nullptr},
    {"CArticSrchProbWrkPre2", 1, "ne", "ov", "CArticSrchProb2", nullptr},
    {"CArticSrchProbWrkNext", 1, "n", "ov", "CArticSrchProb", nullptr},
    {"CArticSrchProbWrkNext2", 1, "ne", "ov", "CArticSrchProb2", nullptr},
    {"CArticSrchAreaType", 2, "nennn", "ov", "CArticSrchDurCont", nullptr},
    {"CArticSrchAreaTypeWrk", 2, "nennn", "ov", "CArticSrchAreaType", nullptr},
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
    {"CArticSrchMstrMeter", 2, "n", "vv", "CArticSrchMstr", nullptr},
    {"CArticSrchMstrTempo", 2, "n", "v", "CArticSrchMstr", nullptr},
    {"CArticSrchMstrTempo2", 2, "n", "vv", "CArticSrchMstr", nullptr},
    {"CArticSrchMstrKey", 2, "n", "vv", "CArticSrchMstr", nullptr},
    {"CArticSrchMstrChord", 2, "n", "vvvv", "CArticSrchMstr", nullptr},
    {"CArticSrchMstrGetTimeFromMeter", 2, "e", "v", "CArticSrchMstr", nullptr},
    {"CArticSrchMstrGetTimeFromKey", 2, "e", "v", "CArticSrchMstr", nullptr},
    {"CArticSrchProNum", 2, "e", "vvv", "CArticSrchMstrMeter", nullptr},
    {"CArticSrchProNumOfVexa", 2, "", "vvv", "CArticSrchEvnt", nullptr},
    {"CArticSrchSelTrk", 2, "", "v", "CArticSrchEvnt", nullptr},
    {"CArticSrchTrkSelected", 2, "e", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchTrkSelected, 2>},
    {"CArticSrchTrkAttri", 2, "e", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchTrkAttri, 2>},
    {"CArticSrchGetSmfSize", 2, "t", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchGetSmfSize, 2>},
    {"CArticSrchProcArea", 2, "", "vv", "CArticSrchGetArrayEvntAry", nullptr},
    {"CArticSrchGetGlobal", 2, "n", "v", "CArticSrchEvnt", nullptr},
    {"CArticSrchPutGlobal", 2, "nn", "", "CArticSrchEvnt", nullptr},
    {"CArticSrchGetArrayEvnt", 2, "n", "o", "CArticSrchEvnt", &ArticSrchMake<CArticSrchGetArrayEvnt, 2>},
    {"CArticSrchGetDupArrayEvnt", 2, "", "yv", "CArticSrchGetArrayEvntAry", nullptr},
    {"CArticSrchGetArrayEvntType", 2, "nn", "o", "CArticSrchGetArrayEvnt", nullptr},
    {"CArticSrchGetArrayEvntAry", 2, "", "yv", "CArticSrchEvnt", nullptr},
    {"CArticSrchGetHarmoArrayEvntAry", 2, "e", "yv", "CArticSrchGetArrayEvntAry", nullptr},
    {"CArticSrchEvaArrayEvntType", 2, "nn", "v", "CArticSrchGetArrayEvnt", nullptr},
    {"CArticSrchEvaArrayEvntArp", 2, "n", "v", "CArticSrchGetArrayEvnt", nullptr},
    {"CArticSrchEvaArrayEvntRng", 2, "n", "v", "CArticSrchGetArrayEvnt", nullptr},
    {"CArticSrchAddArrayEvntNoteInfo", 2, "nn", "", "CArticSrchAddArrayEvnt", nullptr},
    {"CArticSrchPutArrayEvnt", 2, "ne", "", "CArticSrchEvnt", &ArticSrchMake<CArticSrchPutArrayEvnt, 2>},
    {"CArticSrchPutArrayEvntType", 2, "nne", "", "CArticSrchPutArrayEvnt", &ArticSrchMake<CArticSrchPutArrayEvntType, 3>},
    {"CArticSrchPutArrayEvntAry", 2, "a", "v", "CArticSrchPutArrayEvntMeas", nullptr},
    {"CArticSrchPutArrayEvntNumNext", 2, "en", "v", "CArticSrchPutArrayEvnt", nullptr},
    {"CArticSrchPutArrayEvntNumPre", 2, "en", "v", "CArticSrchPutArrayEvnt", nullptr},
    {"CArticSrchPutArrayEvntNumWrkNext", 2, "en", "v", "CArticSrchPutArrayEvnt", nullptr},
    {"CArticSrchPutArrayEvntNumWrkPre", 2, "en", "v", "CArticSrchPutArrayEvnt", nullptr},
    {"CArticSrchPutArrayEvntMeas", 2, "e", "v", "CArticSrchEvnt", nullptr},
    {"CArticSrchPutArrayEvntMeasWrk", 2, "e", "v", "CArticSrchPutArrayEvntMeas", nullptr},
    {"CArticSrchPutArrayEvntArea", 2, "nn", "v", "CArticSrchPutArrayEvntNumNext", nullptr},
    {"CArticSrchPutArrayEvntAreaWrk", 2, "nn", "v", "CArticSrchPutArrayEvntNumWrkNext", nullptr},
    {"CArticSrchPutArrayEvntAreaWrkByEvnt", 2, "ennn", "v", "CArticSrchPutArrayEvntNumWrkNext", nullptr},
    {"CArticSrchPutArrayEvntAreaEvnt", 2, "ee", "v", "CArticSrchPutArrayEvntNumWrkNext", nullptr},
    {"CArticSrchPutArrayEvntChord", 2, "en", "v", "CArticSrchPutArrayEvntNumWrkNext", nullptr},
    {"CArticSrchPutArrayEvntChord2", 2, "ennn", "v", "CArticSrchPutArrayEvntNumWrkNext", nullptr},
    {"CArticSrchPutArrayEvntChord3", 2, "ennn", "v", "CArticSrchPutArrayEvntChord2", nullptr},
    {"CArticSrchPutArrayEvntHarmo", 2, "en", "v", "CArticSrchPutArrayEvntNumWrkNext", nullptr},
    {"CArticSrchClrArrayEvnt", 2, "n", "", "CArticSrchEvnt", nullptr},
    {"CArticSrchClrDupArrayEvnt", 2, "", "v", "CArticSrchEvnt", nullptr},
    {"CArticSrchClrExvArrayEvnt", 2, "a", "v", "CArticSrchClrDupArrayEvnt", nullptr},
    {"CArticSrchClrNumArrayEvnt", 2, "nn", "v", "CArticSrchClrArrayEvnt", nullptr},
    {"CArticSrchClrAllArrayEvnt", 2, "", "", "CArticSrchEvnt", nullptr},
    {"CArticSrchClrAllArrayEvntType", 2, "n", "", "CArticSrchClrAllArrayEvnt", nullptr},
    {"CArticSrchSortArrayEvntFwdKey", 2, "", "v", "CArticSrchSortArrayEvnt", nullptr},
    {"CArticSrchSortArrayEvntRvsKey", 2, "", "v", "CArticSrchSortArrayEvnt", nullptr},
    {"CArticSrchSortArrayEvntFwdTime", 2, "", "v", "CArticSrchSortArrayEvnt", nullptr},
    {"CArticSrchSortArrayEvntRvsTime", 2, "", "v", "CArticSrchSortArrayEvnt", nullptr},
    {"CArticSrchSortArrayEvntType", 2, "n", "v", "CArticSrchSortArrayEvnt", nullptr},
    {"CArticSrchSortArrayEvntNoteInfoType", 2, "nn", "v", "CArticSrchSortArrayEvntType", nullptr},
    {"CArticSrchRmvArrayEvntTimeCmp", 2, "n", "v", "CArticSrchSortArrayEvnt", nullptr},
    {"CArticSrchRmvArrayEvntAttri", 2, "nn", "v", "CArticSrchSortArrayEvnt", nullptr},
    {"CArticSrchRmvArrayEvntChord", 2, "nn", "v", "CArticSrchRmvArrayEvntTimeCmp", nullptr},
    {"CArticSrchRmvArrayEvntProb", 2, "nn", "v", "CArticSrchRmvArrayEvntChord", nullptr},
    {"CArticSrchRmvArrayEvntType", 2, "nn", "v", "CArticSrchRmvArrayEvntChord", nullptr},
    {"CArticSrchRmvArrayEvntNoteInfoType", 2, "nnn", "v", "CArticSrchRmvArrayEvntType", nullptr},
    {"CArticSrchRmvArrayEvntNoteInfoBitType", 2, "nnn", "v", "CArticSrchRmvArrayEvntType", nullptr},
    {"CArticSrchSwapArrayEvntNoteInfo", 2, "nn", "v", "CArticSrchVal", nullptr},
    {"CArticSrchCmpAry", 2, "aa", "v", "CArticSrchVelo", nullptr},
    {"CArticSrchGetDupAry", 2, "aa", "yv", "CArticSrchCmpAry", nullptr},
    {"CArticSrchGetExvAry", 2, "aa", "yv", "CArticSrchGetDupAry", nullptr},
    {"CArticSrchSelAry", 2, "naa", "y", "CArticSrchEvnt", nullptr},
    {"CArticSrchSetSearched", 2, "nen", "", "CArticSrchPutArrayEvnt", nullptr},
    {"CArticSrchSetSearchedThis", 2, "ne", "", "CArticSrchPutArrayEvnt", nullptr},
    {"CArticSrchSetSearchedArea", 2, "neen", "", "CArticSrchSetSearched", nullptr},
    {"CArticSrchSetSearchedAreaThis", 2, "nee", "", "CArticSrchSetSearched", nullptr},
    {"CArticSrchSetSearchedAry", 2, "nna", "", "CArticSrchSetSearched", nullptr},
    {"CArticSrchSetSearchedAryThis", 2, "na", "", "CArticSrchSetSearched", nullptr},
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
    {"CArticSrchNoteInfoTimeFromMeas", 2, "en", "v", "CArticSrchVal", nullptr},
    {"CArticSrchNoteInfoSwapOnTime", 2, "en", "v", "CArticSrchVal", nullptr},
    {"CArticSrchNoteInfoSwapDur", 2, "en", "v", "CArticSrchVal", nullptr},
    {"CArticSrchNoteInfoSwapKey", 2, "en", "v", "CArticSrchVal", nullptr},
    {"CArticSrchNoteInfoSwapVelo", 2, "en", "v", "CArticSrchVal", nullptr},
    {"CArticSrchGetGen", 2, "e", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchGetGen, 2>},
    {"CArticSrchGetPos", 2, "e", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchGetPos, 2>},
    {"CArticSrchPutGen", 2, "en", "", "CArticSrchPutArrayEvnt", &ArticSrchMake<CArticSrchPutGen, 2>},
    {"CArticSrchPutGenType", 2, "nen", "", "CArticSrchPutArrayEvntType", &ArticSrchMake<CArticSrchPutGenType, 3>},
    {"CArticSrchPutPos", 2, "en", "", "CArticSrchPutArrayEvnt", &ArticSrchMake<CArticSrchPutPos, 2>},
    {"CArticSrchPutPosType", 2, "nen", "", "CArticSrchPutArrayEvntType", &ArticSrchMake<CArticSrchPutPosType, 3>},
    {"CArticSrchSwing", 2, "nennnn", "vv", "CArticSrchAreaType", nullptr},
    {"CArticSrchNoteInfoSwing", 2, "nennnnnn", "vv", "CArticSrchSwing", nullptr},
    {"CArticSrchBreak", 2, "n", "", "CArticSrchEvnt", &ArticSrchMake<CArticSrchBreak, 1>},
    {"CArticSrchGetGracedFlg", 2, "e", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchGetGracedFlg, 2>},
    {"CArticSrchGetPbWhitenFlg", 2, "e", "v", "CArticSrchGetArrayEvnt", &ArticSrchMake<CArticSrchGetPbWhitenFlg, 2>},
    {"CArticSrchPutChord", 2, "ea", "", "CArticSrchEvnt", nullptr},
    {"CArticSrchPutChordAry", 2, "aa", "", "CArticSrchEvnt", nullptr},
    {"CArticSrchGetChord", 2, "e", "yv", "CArticSrchEvnt", nullptr},
    {"CArticSrchPutHarmo", 2, "ea", "", "CArticSrchPutChord", nullptr},
    {"CArticSrchPutHarmoAryAry", 2, "aa", "", "CArticSrchPutChordAry", nullptr},
    {"CArticSrchGetHarmo", 2, "e", "yv", "CArticSrchGetChord", nullptr},
    {"CArticSrchPutChordFirst", 2, "ee", "", "CArticSrchEvnt", nullptr},
    {"CArticSrchPutChordFirstAry", 2, "ae", "", "CArticSrchEvnt", nullptr},
    {"CArticSrchGetChordFirst", 2, "e", "o", "CArticSrchEvnt", nullptr},
    {"CArticSrchPbExist", 3, "enn", "v", "CArticSrchIs", nullptr},
    {"CArticSrchPbMaxMin", 3, "enn", "vvv", "CArticSrchPbExist", nullptr},
    {"CArticSrchPbNonCycle", 3, "enn", "v", "CArticSrchPbExist", nullptr},
    {"CArticSrchGetPb", 3, "enn", "y", "CArticSrchPbExist", nullptr},
    {"CArticSrchGetAfctPb", 3, "enn", "v", "CArticSrchPbExist", nullptr},
    {"CArticSrchPbCyclic", 3, "ennnnnn", "vvvvvvvv", "CArticSrchPbExist", nullptr},
    {"CArticSrchCcExist", 3, "ennn", "v", "CArticSrchIs", nullptr},
    {"CArticSrchCcMaxMin", 3, "ennn", "vvv", "CArticSrchCcExist", nullptr},
    {"CArticSrchCcNonCycle", 3, "ennn", "v", "CArticSrchCcExist", nullptr},
    {"CArticSrchGetCc", 3, "ennn", "y", "CArticSrchCcExist", nullptr},
    {"CArticSrchGetAfctCc", 3, "enn", "v", "CArticSrchCcExist", nullptr},
    {"CArticSrchSetAryNoteInfoType", 3, "nann", "", "CArticSrchEvnt", nullptr},
    {"CArticSrchSetAryNoteInfoBitType", 3, "nannn", "", "CArticSrchSetAryNoteInfoType", nullptr},
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
