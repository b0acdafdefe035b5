// Class loaders of the controller-stress expressions: at a position, over a
// stretch from a position, and around listed notes. A position or an end
// passed over refuses the line rather than leaving the rule without its
// expression.
#include <new>

#include "engine/expressions/ArticExpStresCont.h"
#include "engine/loaders/ArticLoadMgrExpArg.h"

int CArticLoadMgr::LoadExpStresContCcTimeAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0, contNo = 0, contVal = 0;
    ExpArgPos pos;
    if (GetExpByte(text, &type, kExpGated) || ExpArgTakePos(*this, text, &pos, false, kExpGated) ||
        GetExpByte(text, &contNo, kExpGated) || GetExpByte(text, &contVal, kExpFinal) || !pos.meas)
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresContCcTimeAbs(blk, evntNo, type, pos.meas.get(),
                                                                            contNo, contVal));
}

int CArticLoadMgr::LoadExpStresContCcTimeRelFix(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0, contNo = 0;
    char add = 0;
    ExpArgPos pos;
    if (GetExpByte(text, &type, kExpGated) || ExpArgTakePos(*this, text, &pos, false, kExpGated) ||
        GetExpByte(text, &contNo, kExpGated) || GetExpChar(text, &add, kExpFinal) || !ExpArgEndsClean(text) ||
        !pos.meas)
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresContCcTimeRelFix(
                                 blk, evntNo, type, pos.meas.get(), contNo, static_cast<signed char>(add)));
}

int CArticLoadMgr::LoadExpStresContCcTimeRelAreaFix(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0, contNo = 0;
    WORD mag = 0;
    char add = 0;
    ExpArgPos start, end;
    if (GetExpByte(text, &type, kExpGated) || ExpArgTakePos(*this, text, &start, false, kExpGated) ||
        ExpArgTakePos(*this, text, &end, true, kExpGated) || GetExpByte(text, &contNo, kExpGated) ||
        GetExpWord(text, &mag, kExpGated) || GetExpChar(text, &add, kExpFinal) || !start.meas || !end.given)
        return 1;
    const auto a = static_cast<signed char>(add);
    if (end.meas)
        return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresContCcTimeRelAreaFix(
                                     blk, evntNo, type, start.meas.get(), end.meas.get(), contNo, mag, a));
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresContCcTimeRelAreaFix(
                                 blk, evntNo, type, start.meas.get(), end.ticks, contNo, mag, a));
}

int CArticLoadMgr::LoadExpStresContCcTimeRelCrv(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0, contNo = 0;
    char startAdd = 0, endAdd = 0, curve = 0;
    WORD devide = 0;
    ExpArgPos start, end;
    if (GetExpByte(text, &type, kExpGated) || ExpArgTakePos(*this, text, &start, false, kExpGated) ||
        ExpArgTakePos(*this, text, &end, true, kExpGated) || GetExpByte(text, &contNo, kExpGated) ||
        GetExpChar(text, &startAdd, kExpGated) || GetExpChar(text, &endAdd, kExpGated) ||
        GetExpChar(text, &curve, kExpGated) || GetExpWord(text, &devide, kExpFinal) || !start.meas || !end.given)
        return 1;
    // Devide steps the curve: 0 would never move it.
    if (devide == 0) return 1;
    const auto s = static_cast<signed char>(startAdd), e = static_cast<signed char>(endAdd),
               c = static_cast<signed char>(curve);
    if (end.meas)
        return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresContCcTimeRelCrv(
                                     blk, evntNo, type, start.meas.get(), end.meas.get(), contNo, s, e, c, devide));
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresContCcTimeRelCrv(
                                 blk, evntNo, type, start.meas.get(), end.ticks, contNo, s, e, c, devide));
}

int CArticLoadMgr::LoadExpStresContCcNoteCrv(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0, contNo = 0;
    LONG start = 0, end = 0;
    short startAdd = 0, endAdd = 0;
    char curve = 0;
    WORD devide = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &type, kExpGated) || GetExpByte(text, &contNo, kExpGated) ||
        GetExpLong(text, &start, kExpGated) || GetExpLong(text, &end, kExpGated) ||
        GetExpShort(text, &startAdd, kExpGated) || GetExpShort(text, &endAdd, kExpGated) ||
        GetExpChar(text, &curve, kExpGated) || GetExpWord(text, &devide, kExpFinal))
        return 1;
    // Devide 0 is read: the expression refuses a curve without steps when it runs.
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresContCcNoteCrv(
                                 blk, evntNo, notes.get(), type, contNo, start, end, startAdd, endAdd,
                                 static_cast<signed char>(curve), devide));
}

int CArticLoadMgr::LoadExpStresContCcNoteCreAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0, contNo = 0, val = 0;
    LONG time = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &type, kExpGated) || GetExpByte(text, &contNo, kExpGated) ||
        GetExpLong(text, &time, kExpGated) || GetExpByte(text, &val, kExpFinal))
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow)
                                 CArticExpStresContCcNoteCreAbs(blk, evntNo, notes.get(), type, contNo, time, val));
}

int CArticLoadMgr::LoadExpStresContCcNoteCreAbs2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0, contNo = 0, val = 0;
    LONG time = 0, timeR = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &type, kExpGated) || GetExpByte(text, &contNo, kExpGated) ||
        GetExpLong(text, &time, kExpGated) || GetExpLong(text, &timeR, kExpGated) ||
        GetExpByte(text, &val, kExpFinal))
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresContCcNoteCreAbs2(blk, evntNo, notes.get(), type,
                                                                                contNo, time, timeR, val));
}

int CArticLoadMgr::LoadExpStresContCcNoteCreRel(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0, contNo = 0;
    LONG time = 0;
    char add = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &type, kExpGated) || GetExpByte(text, &contNo, kExpGated) ||
        GetExpLong(text, &time, kExpGated) || GetExpChar(text, &add, kExpFinal))
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresContCcNoteCreRel(blk, evntNo, notes.get(), type, contNo,
                                                                               time, static_cast<signed char>(add)));
}

int CArticLoadMgr::LoadExpStresContCcNoteCreRel2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0, contNo = 0;
    LONG time = 0, timeR = 0;
    char add = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &type, kExpGated) || GetExpByte(text, &contNo, kExpGated) ||
        GetExpLong(text, &time, kExpGated) || GetExpLong(text, &timeR, kExpGated) ||
        GetExpChar(text, &add, kExpFinal))
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresContCcNoteCreRel2(
                                 blk, evntNo, notes.get(), type, contNo, time, timeR, static_cast<signed char>(add)));
}
