#include <cstring>

#include "engine/loaders/ArticExpUtil.h"
#include "engine/rules/ArticRulElm.h"

namespace {

// One expression class and its argument codes, one letter per argument:
// N a number (constant, value variable, note member), T a text (constant
// or text variable), S a text variable only, L a note list (event array,
// value array or "count{events}"), O a value array given as an output.
struct ExpSignature {
    const char* name;
    const char* codes;
};

const ExpSignature kSignatures[] = {
    {"CArticExpTempoAbs", "NTNN"},
    {"CArticExpTempoAbsRel", "NT"},
    {"CArticExpTempoRelFix", "NTN"},
    {"CArticExpTempoRelCrv", "NTTNNNN"},
    {"CArticExpTempoFermata", "NLNN"},
    {"CArticExpTempoBreath", "NLNN"},
    {"CArticExpInitPrmChange", "TTTT"},
    {"CArticExpInitPrmChange2", "NNTTTT"},
    {"CArticExpInitPrmChange3", "LNTTT"},
    {"CArticExpInitPrmChangeKv", "TTT"},
    {"CArticExpInitPrmChangeKv2", "NNTTT"},
    {"CArticExpInitPrmChangeKv3", "LNTT"},
    {"CArticExpInitKvinit", "T"},
    {"CArticExpInitKvinit2", "NNT"},
    {"CArticExpInitPro", "TNNN"},
    {"CArticExpInitPro2", "NNTNNN"},
    {"CArticExpInitPro3", "LNNNN"},
    {"CArticExpInitPbRange", "NTN"},
    {"CArticExpInitPbRange2", "NNNTN"},
    {"CArticExpInitPbRange3", "LNN"},
    {"CArticExpStresVeloNoteAbs", "LN"},
    {"CArticExpStresVeloNoteRel", "LN"},
    {"CArticExpStresVeloTimeAbs", "NTN"},
    {"CArticExpStresVeloTimeRel", "NTN"},
    {"CArticExpStresVeloTimeRelCrv", "NLTTNNN"},
    {"CArticExpDurRel", "LN"},
    {"CArticExpDurRel2", "LN"},
    {"CArticExpDurAbs", "LN"},
    {"CArticExpDurBp", "LNN"},
    {"CArticExpDurAll", "TTNN"},
    {"CArticExpKeySft", "LN"},
    {"CArticExpArraySlurPb", "LN"},
    {"CArticExpArraySlurDur", "LNN"},
    {"CArticExpArrayTie", "LN"},
    {"CArticExpArrayTurn1", "LNNN"},
    {"CArticExpArrayTurn2", "LNNN"},
    {"CArticExpArrayTurn3", "LNNN"},
    {"CArticExpArrayTurn4", "LNNNN"},
    {"CArticExpArrayTurn5", "LNNNN"},
    {"CArticExpArrayTurn6", "LNNNN"},
    {"CArticExpArrayTrill1", "LNNNNNNN"},
    {"CArticExpArrayTrill2", "LNNNNNNNN"},
    {"CArticExpArrayStop", "LNNN"},
    {"CArticExpArrayUsrStop", "LTNTTNNN"},
    {"CArticExpStresContCcTimeAbs", "NTNN"},
    {"CArticExpStresContCcTimeRelFix", "NTNN"},
    {"CArticExpStresContCcTimeRelAreaFix", "NTTNNN"},
    {"CArticExpStresContCcTimeRelCrv", "NTTNNNNN"},
    {"CArticExpStresContCcNoteCrv", "LNNNNNNNN"},
    {"CArticExpStresContCcNoteCreAbs", "LNNNN"},
    {"CArticExpStresContCcNoteCreAbs2", "LNNNNN"},
    {"CArticExpStresContCcNoteCreRel", "LNNNN"},
    {"CArticExpStresContCcNoteCreRel2", "LNNNNN"},
    {"CArticExpPackNrpnNoteCreAbs", "LNNNNN"},
    {"CArticExpPackNrpnNoteCreRel", "LNNNNN"},
    {"CArticExpPackRpnNoteCreAbs", "LNNNNN"},
    {"CArticExpPackRpnNoteCreRel", "LNNNNN"},
    {"CArticExpPitchCrv", "NTTNNNN"},
    {"CArticExpPitchCrv2", "LNNNNNNN"},
    {"CArticExpPitchSlide", "LNNNNNNN"},
    {"CArticExpPitchSlide2", "LNNNNNNN"},
    {"CArticExpPitchGtrBend", "LNNNNNN"},
    {"CArticExpPitchGtrSlide", "LNNNNNN"},
    {"CArticExpTimeSft", "LN"},
    {"CArticExpTimeSft2", "LNN"},
    {"CArticExpTimeSwing", "LNNNNN"},
    {"CArticExpTimeWaltz", "LNNNNNNN"},
    {"CArticExpFileSmfContCc", "LTNSSNN"},
    {"CArticExpFileSmfContCc2", "LTNNNNN"},
    {"CArticExpFileSmfContCc3", "LTNNNNNN"},
    {"CArticExpFileSmfContPb", "LTNSSN"},
    {"CArticExpFileSmfContPb2", "LTNNNN"},
    {"CArticExpFileSmfContPb3", "LTNNNNN"},
    {"CArticExpFileSmfContPb4", "LTNNNNNN"},
    {"CArticExpFileSmfContPbEg", "LTNNNNNNNN"},
    {"CArticExpFileSmfContPbEg2", "LTNNNNNNNNN"},
    {"CArticExpFileSmfNoteTril2", "LTTTNNNNNNNNN"},
    {"CArticExpFileSmfNoteTril3", "LTTTNNNNNN"},
    {"CArticExpFileSmfNoteTurn", "LTNNNNN"},
    {"CArticExpFileSmfNoteTurn2", "LTNNNN"},
    {"CArticExpFileSmfNoteMord2", "LTNNNN"},
    {"CArticExpFileSmfNoteTrml1", "LTNNNN"},
    {"CArticExpFileSmfNoteTrml2", "LLTNNNNNN"},
    {"CArticExpFileSmfNoteGlis1", "LTN"},
    {"CArticExpFileSmfNoteArpg", "LTN"},
    {"CArticExpFileSmfFree", "TT"},
    {"CArticExpOrgContCc", "LNNNNNN"},
    {"CArticExpLayerBow1", "LNN"},
    {"CArticExpLayerBow2", "LNNN"},
    {"CArticExpLayerNote1", "LNNNNNNNNN"},
    {"CArticExpLayerNote2", "LNNNNNNNNNO"},
    {"CArticExpCreNote", "LNNNNN"},
    {"CArticExpCreNote2", "LNNNNNN"},
    {"CArticExpDel", "L"},
    {"CArticExpDebug_i", "LN"},
    {"CArticExpDebug_i2", "LTN"},
    {"CArticExpDebug_d", "LN"},
};

static_assert(sizeof(kSignatures) / sizeof(kSignatures[0]) == CArticExpUtil::kExpClassCount, "97 classes");

int CodeMask(char code) {
    switch (code) {
        case 'N': return ARG_NUM | ARG_VAL | ARG_NUM_SPARE | ARG_MEMBER;
        case 'T': return ARG_STR | ARG_STRVAR;
        case 'S': return ARG_STRVAR;
        case 'L': return ARG_ARY | ARG_VARY | ARG_EVNT_LIST;
        case 'O': return ARG_VARY_OUT;
        default: return 0;
    }
}

}  // namespace

int CArticExpUtil::GetArgmentInfo(CExString& name, int* count, int* masks) {
    for (const ExpSignature& sig : kSignatures) {
        if (std::strcmp(sig.name, name.c_str()) != 0) continue;
        const int n = int(std::strlen(sig.codes));
        if (count) *count = n;
        for (int k = 0; masks && k < n; ++k) masks[k] = CodeMask(sig.codes[k]);
        return 0;
    }
    return 1;
}
