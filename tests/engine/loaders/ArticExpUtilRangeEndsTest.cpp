// Every expression class written, read and written again with each item at
// an end of its range: what a writer writes, the reader takes back, and the
// second writing is the same text byte for byte.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "services/ArticErr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpStresCont.h"
#include "engine/expressions/ArticMeas.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/loaders/ExpLoaderFixture.h"

namespace {

// One constructor form of a class: its items with every number at the low
// end of its range, and with every number at the high end. Positions run
// from 0/0/0 (or tick 0) to the largest bar, beat and tick (or tick count).
struct RangeEndsRow {
    const char* className;
    const char* low;
    const char* high;
};

const RangeEndsRow kRangeEndsRows[] = {
    {"CArticExpTempoAbs", "0, 0/0/0, 0, 0",
     "255, 2147483647/2147483647/2147483647, 65535, 65535"},
    {"CArticExpTempoAbs", "0, 0, 0, 0",
     "255, 2147483647, 65535, 65535"},
    {"CArticExpTempoAbsRel", "0, 0/0/0",
     "255, 2147483647/2147483647/2147483647"},
    {"CArticExpTempoAbsRel", "0, 0",
     "255, 2147483647"},
    {"CArticExpTempoRelFix", "0, 0/0/0, 0",
     "255, 2147483647/2147483647/2147483647, 65535"},
    {"CArticExpTempoRelFix", "0, 0, 0",
     "255, 2147483647, 65535"},
    {"CArticExpTempoRelCrv", "0, 0/0/0, 0/0/0, 0, 0, -128, 1",
     "255, 2147483647/2147483647/2147483647, 2147483647/2147483647/2147483647, 65535, 65535, 127, 65535"},
    {"CArticExpTempoRelCrv", "0, 0/0/0, 0, 0, 0, -128, 1",
     "255, 2147483647/2147483647/2147483647, 2147483647, 65535, 65535, 127, 65535"},
    {"CArticExpTempoRelCrv", "0, 0, 0, 0, 0, -128, 1",
     "255, 2147483647, 2147483647, 65535, 65535, 127, 65535"},
    {"CArticExpTempoFermata", "0, 1{:w1}, 0, 0",
     "255, 2{:w1,:w12}, 65535, 2147483647"},
    {"CArticExpTempoBreath", "0, 1{:w1}, 0, 0",
     "255, 2{:w1,:w12}, 65535, 2147483647"},
    {"CArticExpInitPrmChange", "0/0/0, \"00\", \"000000\", \"00\"",
     "2147483647/2147483647/2147483647, \"FF\", \"FFFFFF\", \"7F7F7F\""},
    {"CArticExpInitPrmChange", "0, \"00\", \"000000\", \"00\"",
     "2147483647, \"FF\", \"FFFFFF\", \"7F7F7F\""},
    {"CArticExpInitPrmChange2", "0, 0, 0/0/0, \"00\", \"000000\", \"00\"",
     "65535, 65535, 2147483647/2147483647/2147483647, \"FF\", \"FFFFFF\", \"7F7F7F\""},
    {"CArticExpInitPrmChange2", "0, 0, 0, \"00\", \"000000\", \"00\"",
     "65535, 65535, 2147483647, \"FF\", \"FFFFFF\", \"7F7F7F\""},
    {"CArticExpInitPrmChange3", "1{:w1}, -2147483648, \"00\", \"000000\", \"00\"",
     "2{:w1,:w12}, 2147483647, \"FF\", \"FFFFFF\", \"7F7F7F\""},
    {"CArticExpInitPrmChangeKv", "0/0/0, \"000000\", \"00\"",
     "2147483647/2147483647/2147483647, \"FFFFFF\", \"7F7F7F\""},
    {"CArticExpInitPrmChangeKv", "0, \"000000\", \"00\"",
     "2147483647, \"FFFFFF\", \"7F7F7F\""},
    {"CArticExpInitPrmChangeKv2", "0, 0, 0/0/0, \"000000\", \"00\"",
     "65535, 65535, 2147483647/2147483647/2147483647, \"FFFFFF\", \"7F7F7F\""},
    {"CArticExpInitPrmChangeKv2", "0, 0, 0, \"000000\", \"00\"",
     "65535, 65535, 2147483647, \"FFFFFF\", \"7F7F7F\""},
    {"CArticExpInitPrmChangeKv3", "1{:w1}, -2147483648, \"000000\", \"00\"",
     "2{:w1,:w12}, 2147483647, \"FFFFFF\", \"7F7F7F\""},
    {"CArticExpInitKvinit", "0/0/0",
     "2147483647/2147483647/2147483647"},
    {"CArticExpInitKvinit", "0",
     "2147483647"},
    {"CArticExpInitKvinit2", "0, 0, 0/0/0",
     "65535, 65535, 2147483647/2147483647/2147483647"},
    {"CArticExpInitKvinit2", "0, 0, 0",
     "65535, 65535, 2147483647"},
    {"CArticExpInitPro", "0/0/0, 0, 0, 0",
     "2147483647/2147483647/2147483647, 255, 255, 255"},
    {"CArticExpInitPro", "0, 0, 0, 0",
     "2147483647, 255, 255, 255"},
    {"CArticExpInitPro2", "0, 0, 0/0/0, 0, 0, 0",
     "65535, 65535, 2147483647/2147483647/2147483647, 255, 255, 255"},
    {"CArticExpInitPro2", "0, 0, 0, 0, 0, 0",
     "65535, 65535, 2147483647, 255, 255, 255"},
    {"CArticExpInitPro3", "1{:w1}, -2147483648, 0, 0, 0",
     "2{:w1,:w12}, 2147483647, 255, 255, 255"},
    {"CArticExpInitPbRange", "0, 0/0/0, 0",
     "255, 2147483647/2147483647/2147483647, 255"},
    {"CArticExpInitPbRange", "0, 0, 0",
     "255, 2147483647, 255"},
    {"CArticExpInitPbRange2", "0, 0, 0, 0/0/0, 0",
     "255, 65535, 65535, 2147483647/2147483647/2147483647, 255"},
    {"CArticExpInitPbRange2", "0, 0, 0, 0, 0",
     "255, 65535, 65535, 2147483647, 255"},
    {"CArticExpInitPbRange3", "1{:w1}, -2147483648, 0",
     "2{:w1,:w12}, 2147483647, 255"},
    {"CArticExpStresVeloNoteAbs", "1{:w1}, 0",
     "2{:w1,:w12}, 255"},
    {"CArticExpStresVeloNoteRel", "1{:w1}, -128",
     "2{:w1,:w12}, 127"},
    {"CArticExpStresVeloTimeAbs", "0, 0/0/0, 0",
     "255, 2147483647/2147483647/2147483647, 255"},
    {"CArticExpStresVeloTimeRel", "0, 0/0/0, -128",
     "255, 2147483647/2147483647/2147483647, 127"},
    {"CArticExpStresVeloTimeRelCrv", "0, 1{:w1}, 0/0/0, 0/0/0, -128, -128, -128",
     "255, 2{:w1,:w12}, 2147483647/2147483647/2147483647, 2147483647/2147483647/2147483647, 127, 127, 127"},
    {"CArticExpStresVeloTimeRelCrv", "0, 1{:w1}, 0/0/0, 0, -128, -128, -128",
     "255, 2{:w1,:w12}, 2147483647/2147483647/2147483647, 2147483647, 127, 127, 127"},
    {"CArticExpDurRel", "1{:w1}, 0",
     "2{:w1,:w12}, 65535"},
    {"CArticExpDurRel2", "1{:w1}, -2147483648",
     "2{:w1,:w12}, 2147483647"},
    {"CArticExpDurAbs", "1{:w1}, 0",
     "2{:w1,:w12}, 2147483647"},
    {"CArticExpDurBp", "1{:w1}, 0, 0",
     "2{:w1,:w12}, 2147483647, 65535"},
    {"CArticExpDurAll", "0/0/0, 0/0/0, 0, 0",
     "2147483647/2147483647/2147483647, 2147483647/2147483647/2147483647, 2147483647, 65535"},
    {"CArticExpKeySft", "1{:w1}, -128",
     "2{:w1,:w12}, 127"},
    {"CArticExpArraySlurPb", "1{:w1}, 0",
     "2{:w1,:w12}, 255"},
    {"CArticExpArraySlurDur", "1{:w1}, 0, -2147483648",
     "2{:w1,:w12}, 255, 2147483647"},
    {"CArticExpArrayTie", "1{:w1}, 0",
     "2{:w1,:w12}, 255"},
    {"CArticExpArrayTurn1", "1{:w1}, 0, -128, -128",
     "2{:w1,:w12}, 255, 127, 127"},
    {"CArticExpArrayTurn2", "1{:w1}, 0, -128, -128",
     "2{:w1,:w12}, 255, 127, 127"},
    {"CArticExpArrayTurn3", "1{:w1}, 0, -128, -128",
     "2{:w1,:w12}, 255, 127, 127"},
    {"CArticExpArrayTurn4", "1{:w1}, 0, -128, -128, -128",
     "2{:w1,:w12}, 255, 127, 127, 127"},
    {"CArticExpArrayTurn5", "1{:w1}, 0, -128, -128, -128",
     "2{:w1,:w12}, 255, 127, 127, 127"},
    {"CArticExpArrayTurn6", "1{:w1}, 0, -128, -128, -128",
     "2{:w1,:w12}, 255, 127, 127, 127"},
    {"CArticExpArrayTrill1", "1{:w1}, 1, -128, -128, 0, 0, 0, 0",
     "2{:w1,:w12}, 2147483647, 127, 127, 255, 2147483647, 255, 2147483647"},
    {"CArticExpArrayTrill2", "1{:w1}, 1, -128, -128, -128, 0, 0, 0, 0",
     "2{:w1,:w12}, 2147483647, 127, 127, 127, 255, 2147483647, 255, 2147483647"},
    {"CArticExpArrayStop", "1{:w1}, -128, 0, 0",
     "2{:w1,:w12}, 127, 2147483647, 2147483647"},
    {"CArticExpArrayUsrStop", "1{:w1}, \"a\", 0, 0/0/0, 0/0/0, -128, 0, 0",
     "2{:w1,:w12}, \"ボマ\", 255, 2147483647/2147483647/2147483647, 2147483647/2147483647/2147483647, 127, 2147483647, 2147483647"},
    {"CArticExpStresContCcTimeAbs", "0, 0/0/0, 0, 0",
     "255, 2147483647/2147483647/2147483647, 255, 255"},
    {"CArticExpStresContCcTimeRelFix", "0, 0/0/0, 0, -128",
     "255, 2147483647/2147483647/2147483647, 255, 127"},
    {"CArticExpStresContCcTimeRelAreaFix", "0, 0/0/0, 0/0/0, 0, 0, -128",
     "255, 2147483647/2147483647/2147483647, 2147483647/2147483647/2147483647, 255, 65535, 127"},
    {"CArticExpStresContCcTimeRelAreaFix", "0, 0/0/0, 0, 0, 0, -128",
     "255, 2147483647/2147483647/2147483647, 2147483647, 255, 65535, 127"},
    {"CArticExpStresContCcTimeRelCrv", "0, 0/0/0, 0/0/0, 0, -128, -128, -128, 1",
     "255, 2147483647/2147483647/2147483647, 2147483647/2147483647/2147483647, 255, 127, 127, 127, 65535"},
    {"CArticExpStresContCcTimeRelCrv", "0, 0/0/0, 0, 0, -128, -128, -128, 1",
     "255, 2147483647/2147483647/2147483647, 2147483647, 255, 127, 127, 127, 65535"},
    {"CArticExpStresContCcNoteCrv", "1{:w1}, 0, 0, -2147483648, -2147483648, -32768, -32768, -128, 0",
     "2{:w1,:w12}, 255, 255, 2147483647, 2147483647, 32767, 32767, 127, 65535"},
    {"CArticExpStresContCcNoteCreAbs", "1{:w1}, 0, 0, -2147483648, 0",
     "2{:w1,:w12}, 255, 255, 2147483647, 255"},
    {"CArticExpStresContCcNoteCreAbs2", "1{:w1}, 0, 0, -2147483648, -2147483648, 0",
     "2{:w1,:w12}, 255, 255, 2147483647, 2147483647, 255"},
    {"CArticExpStresContCcNoteCreRel", "1{:w1}, 0, 0, -2147483648, -128",
     "2{:w1,:w12}, 255, 255, 2147483647, 127"},
    {"CArticExpStresContCcNoteCreRel2", "1{:w1}, 0, 0, -2147483648, -2147483648, -128",
     "2{:w1,:w12}, 255, 255, 2147483647, 2147483647, 127"},
    {"CArticExpPackNrpnNoteCreAbs", "1{:w1}, 0, 0, 0, -2147483648, 0",
     "2{:w1,:w12}, 255, 255, 255, 2147483647, 255"},
    {"CArticExpPackNrpnNoteCreRel", "1{:w1}, 0, 0, 0, -2147483648, -128",
     "2{:w1,:w12}, 255, 255, 255, 2147483647, 127"},
    {"CArticExpPackRpnNoteCreAbs", "1{:w1}, 0, 0, 0, -2147483648, 0",
     "2{:w1,:w12}, 255, 255, 255, 2147483647, 255"},
    {"CArticExpPackRpnNoteCreRel", "1{:w1}, 0, 0, 0, -2147483648, -128",
     "2{:w1,:w12}, 255, 255, 255, 2147483647, 127"},
    {"CArticExpPitchCrv", "0, 0/0/0, 0/0/0, -32768, -32768, -128, 1",
     "255, 2147483647/2147483647/2147483647, 2147483647/2147483647/2147483647, 32767, 32767, 127, 65535"},
    {"CArticExpPitchCrv", "0, 0/0/0, 0, -32768, -32768, -128, 1",
     "255, 2147483647/2147483647/2147483647, 2147483647, 32767, 32767, 127, 65535"},
    {"CArticExpPitchCrv2", "1{:w1}, 0, -2147483648, -2147483648, -32768, -32768, -128, 1",
     "2{:w1,:w12}, 255, 2147483647, 2147483647, 32767, 32767, 127, 65535"},
    {"CArticExpPitchSlide", "1{:w1}, 0, -2147483648, -2147483648, -32768, -32768, -128, 1",
     "2{:w1,:w12}, 255, 2147483647, 2147483647, 32767, 32767, 127, 65535"},
    {"CArticExpPitchSlide2", "1{:w1}, 0, -2147483648, -2147483648, -32768, -32768, -128, 1",
     "2{:w1,:w12}, 255, 2147483647, 2147483647, 32767, 32767, 127, 65535"},
    {"CArticExpPitchGtrBend", "1{:w1}, 0, -2147483648, -2147483648, -128, -128, 1",
     "2{:w1,:w12}, 255, 2147483647, 2147483647, 127, 127, 65535"},
    {"CArticExpPitchGtrSlide", "1{:w1}, 0, -2147483648, -2147483648, -128, -128, 1",
     "2{:w1,:w12}, 255, 2147483647, 2147483647, 127, 127, 65535"},
    {"CArticExpTimeSft", "1{:w1}, -2147483648",
     "2{:w1,:w12}, 2147483647"},
    {"CArticExpTimeSft2", "1{:w1}, -2147483648, 0",
     "2{:w1,:w12}, 2147483647, 255"},
    {"CArticExpTimeSwing", "1{:w1}, 0, 1, 0, 0, 0",
     "2{:w1,:w12}, 255, 2147483647, 255, 255, 2147483647"},
    {"CArticExpTimeWaltz", "1{:w1}, 0, 1, 0, 0, 0, 0, 0",
     "2{:w1,:w12}, 255, 2147483647, 255, 255, 2147483647, 255, 2147483647"},
    {"CArticExpFileSmfContCc", "1{:w1}, \"a.mid\", 0, 0/0/0, 0/0/0, 0, 0",
     "2{:w1,:w12}, \"b.mid\", 255, 2147483647/2147483647/2147483647, 2147483647/2147483647/2147483647, 255, 65535"},
    {"CArticExpFileSmfContCc", "1{:w1}, \"a.mid\", 0, 0/0/0, 0, 0, 0",
     "2{:w1,:w12}, \"b.mid\", 255, 2147483647/2147483647/2147483647, 2147483647, 255, 65535"},
    {"CArticExpFileSmfContCc2", "1{:w1}, \"a.mid\", 0, -2147483648, -2147483648, 0, 0",
     "2{:w1,:w12}, \"b.mid\", 255, 2147483647, 2147483647, 255, 65535"},
    {"CArticExpFileSmfContCc3", "1{:w1}, \"a.mid\", 0, -2147483648, -2147483648, 0, 0, 0",
     "2{:w1,:w12}, \"b.mid\", 255, 2147483647, 2147483647, 255, 65535, 65535"},
    {"CArticExpFileSmfContPb", "1{:w1}, \"a.mid\", 0, 0/0/0, 0/0/0, 0",
     "2{:w1,:w12}, \"b.mid\", 255, 2147483647/2147483647/2147483647, 2147483647/2147483647/2147483647, 65535"},
    {"CArticExpFileSmfContPb", "1{:w1}, \"a.mid\", 0, 0/0/0, 0, 0",
     "2{:w1,:w12}, \"b.mid\", 255, 2147483647/2147483647/2147483647, 2147483647, 65535"},
    {"CArticExpFileSmfContPb2", "1{:w1}, \"a.mid\", 0, -2147483648, -2147483648, 0",
     "2{:w1,:w12}, \"b.mid\", 255, 2147483647, 2147483647, 65535"},
    {"CArticExpFileSmfContPb3", "1{:w1}, \"a.mid\", 0, -2147483648, -2147483648, 0, 0",
     "2{:w1,:w12}, \"b.mid\", 255, 2147483647, 2147483647, 65535, 65535"},
    {"CArticExpFileSmfContPb4", "1{:w1}, \"a.mid\", 0, -2147483648, -2147483648, 0, 0, 0",
     "2{:w1,:w12}, \"b.mid\", 255, 2147483647, 2147483647, 65535, 65535, 65535"},
    {"CArticExpFileSmfContPbEg", "1{:w1}, \"a.mid\", 0, -2147483648, -2147483648, 0, 0, 0, 0, 0",
     "2{:w1,:w12}, \"b.mid\", 255, 2147483647, 2147483647, 65535, 2147483647, 2147483647, 65535, 65535"},
    {"CArticExpFileSmfContPbEg2", "1{:w1}, \"a.mid\", 0, -2147483648, -2147483648, 0, 0, 0, 0, 0, 0",
     "2{:w1,:w12}, \"b.mid\", 255, 2147483647, 2147483647, 65535, 2147483647, 2147483647, 65535, 65535, 65535"},
    {"CArticExpFileSmfNoteTril2", "1{:w1}, \"f.mid\", \"a.mid\", \"b.mid\", 0, 0, 0, 0, 0, 0, -128, -128, -128",
     "2{:w1,:w12}, \"f.mid\", \"a.mid\", \"b.mid\", 2147483647, 2147483647, 2147483647, 255, 255, 255, 127, 127, 127"},
    {"CArticExpFileSmfNoteTril3", "1{:w1}, \"f.mid\", \"a.mid\", \"b.mid\", 0, 0, 0, -128, -128, -128",
     "2{:w1,:w12}, \"f.mid\", \"a.mid\", \"b.mid\", 2147483647, 2147483647, 2147483647, 127, 127, 127"},
    {"CArticExpFileSmfNoteTurn", "1{:w1}, \"a.mid\", 0, 0, -128, -128, -128",
     "2{:w1,:w12}, \"a.mid\", 2147483647, 255, 127, 127, 127"},
    {"CArticExpFileSmfNoteTurn2", "1{:w1}, \"a.mid\", 0, -128, -128, -128",
     "2{:w1,:w12}, \"a.mid\", 2147483647, 127, 127, 127"},
    {"CArticExpFileSmfNoteMord2", "1{:w1}, \"a.mid\", 0, -128, -128, -128",
     "2{:w1,:w12}, \"a.mid\", 2147483647, 127, 127, 127"},
    {"CArticExpFileSmfNoteTrml1", "1{:w1}, \"a.mid\", 0, 0, 0, 0",
     "2{:w1,:w12}, \"a.mid\", 2147483647, 255, 255, 255"},
    {"CArticExpFileSmfNoteTrml2", "1{:w1}, 1{:w2}, \"a.mid\", 0, 0, 0, 0, -128, -128",
     "2{:w1,:w12}, 1{:w2}, \"a.mid\", 2147483647, 255, 255, 255, 127, 127"},
    {"CArticExpFileSmfNoteGlis1", "1{:w1}, \"a.mid\", 0",
     "2{:w1,:w12}, \"a.mid\", 2147483647"},
    {"CArticExpFileSmfNoteArpg", "1{:w1}, \"a.mid\", 0",
     "2{:w1,:w12}, \"a.mid\", 2147483647"},
    {"CArticExpFileSmfFree", "\"a.mid\", 0/0/0",
     "\"a.mid\", 2147483647/2147483647/2147483647"},
    {"CArticExpOrgContCc", "1{:w1}, 0, -2147483648, -2147483648, 0, 0, 0",
     "2{:w1,:w12}, 255, 2147483647, 2147483647, 255, 65535, 65535"},
    {"CArticExpLayerBow1", "1{:w1}, 0, 0",
     "2{:w1,:w12}, 255, 65535"},
    {"CArticExpLayerBow2", "1{:w1}, 0, 0, 0",
     "2{:w1,:w12}, 255, 255, 65535"},
    {"CArticExpLayerNote1", "1{:w1}, 0, 0, -2147483648, 0, 0, 0, 0, 0, 0",
     "2{:w1,:w12}, 255, 255, 2147483647, 2147483647, 255, 255, 255, 255, 255"},
    {"CArticExpLayerNote2", "1{:w1}, 0, 0, -2147483648, 0, 0, 0, 0, 0, 0, 1{:w50}",
     "2{:w1,:w12}, 255, 255, 2147483647, 2147483647, 255, 255, 255, 255, 255, 2{:w51,:w52}"},
    {"CArticExpCreNote", "1{:w1}, 0, -2147483648, 0, 0, 0",
     "2{:w1,:w12}, 255, 2147483647, 2147483647, 255, 255"},
    {"CArticExpCreNote2", "1{:w1}, 0, -2147483648, 0, 0, 0, 0",
     "2{:w1,:w12}, 255, 2147483647, 2147483647, 255, 255, 255"},
    {"CArticExpDel", "0{}",
     "2{:w1,:w12}"},
    {"CArticExpDebug_i", "1{:w1}, -2147483648",
     "2{:w1,:w12}, 2147483647"},
    {"CArticExpDebug_i2", "1{:w1}, \"a\", -2147483648",
     "2{:w1,:w12}, \"b\", 2147483647"},
    {"CArticExpDebug_d", "1{:w1}, -0.5",
     "2{:w1,:w12}, 12345.25"},
};

// Work track 1 with notes w1..w12, the loader bound to it.
struct RangeEndsForm : loadtest::ExpLoaderFixture {
    RangeEndsForm() : ExpLoaderFixture(1, 12, 40) {}

    // The dump of every row at one end of its ranges.
    static std::vector<std::string> DumpAt(bool high) {
        std::vector<std::string> lines = {"TRK:1", "BLK:0"};
        int no = 0;
        for (const RangeEndsRow& r : kRangeEndsRows)
            lines.push_back("e" + std::to_string(no++) + ":" + r.className + "( " + (high ? r.high : r.low) + " )");
        return lines;
    }
    // Line by line, so that a refused line names its class.
    void ExpectRoundTrip(const std::vector<std::string>& lines) {
        CArticErr::Clear();
        EXPECT_EQ(Dump(lines), 0);
        EXPECT_EQ(Details(), std::vector<std::string>{});
        const std::vector<std::string> first = Written();
        ASSERT_EQ(first.size(), lines.size());
        for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(first[i], lines[i]);

        CStringList again;
        AddUnblanked(first, again);
        CArticExp fresh;
        CArticLoadMgr reader(&wrk, &fresh, &rul, nullptr, nullptr, nullptr);
        EXPECT_EQ(reader.LoadExp(again), 0);
        EXPECT_EQ(Written(fresh), first);
        fresh.Clear();
    }
};

}  // namespace

TEST_F(RangeEndsForm, TheTableHoldsEveryClass) {
    std::set<std::string> names;
    for (const RangeEndsRow& r : kRangeEndsRows) names.insert(r.className);
    EXPECT_EQ(names.size(), 97u);
}

TEST_F(RangeEndsForm, LowEndsReadBackAsWritten) { ExpectRoundTrip(DumpAt(false)); }

TEST_F(RangeEndsForm, HighEndsReadBackAsWritten) { ExpectRoundTrip(DumpAt(true)); }

// The case that did not read back: a controller value above 127, kept by the
// constructor and written by the writer, was refused by the reader.
TEST_F(RangeEndsForm, AConstructedExpressionReadsBackAsWritten) {
    ASSERT_EQ(Dump({"TRK:1", "BLK:0"}), 0);
    const CArticMeas at(2, 3, 40);
    Blk()->AddTail(new CArticExpStresContCcTimeAbs(Blk(), 3, 2, &at, 1, 128));
    const std::vector<std::string> written = Written();
    ASSERT_EQ(written.back(), "e3:CArticExpStresContCcTimeAbs( 2, 2/3/40, 1, 128 )");
    ExpectRoundTrip(written);
}
