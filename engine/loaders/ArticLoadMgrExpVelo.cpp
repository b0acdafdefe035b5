// Class loaders of the velocity-stress expressions: velocities of listed
// notes, of the notes at a position, and a curve over a stretch.
#include <new>

#include "engine/expressions/ArticExpStresVelo.h"
#include "engine/loaders/ArticLoadMgrExpArg.h"

int CArticLoadMgr::LoadExpStresVeloNoteAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE velo = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &velo, kExpFinal)) return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresVeloNoteAbs(blk, evntNo, notes.get(), velo));
}

int CArticLoadMgr::LoadExpStresVeloNoteRel(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    char add = 0;
    if (GetExpNoteList(text, &notes) || GetExpChar(text, &add, kExpFinal)) return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresVeloNoteRel(blk, evntNo, notes.get(),
                                                                          static_cast<signed char>(add)));
}

int CArticLoadMgr::LoadExpStresVeloTimeAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0, velo = 0;
    ExpArgPos pos;
    if (GetExpByte(text, &type, kExpGated) || ExpArgTakePos(*this, text, &pos, false, kExpGated) ||
        GetExpByte(text, &velo, kExpFinal) || !pos.meas)
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresVeloTimeAbs(blk, evntNo, type, pos.meas.get(), velo));
}

int CArticLoadMgr::LoadExpStresVeloTimeRel(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0;
    char add = 0;
    ExpArgPos pos;
    if (GetExpByte(text, &type, kExpGated) || ExpArgTakePos(*this, text, &pos, false, kExpGated) ||
        GetExpChar(text, &add, kExpFinal) || !pos.meas)
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresVeloTimeRel(blk, evntNo, type, pos.meas.get(),
                                                                          static_cast<signed char>(add)));
}

int CArticLoadMgr::LoadExpStresVeloTimeRelCrv(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0;
    std::unique_ptr<CArticWrkEvntList> notes;
    ExpArgPos start, end;
    char startAdd = 0, endAdd = 0, curve = 0;
    if (GetExpByte(text, &type, kExpGated) || GetExpNoteList(text, &notes) ||
        ExpArgTakePos(*this, text, &start, false, kExpGated) || ExpArgTakePos(*this, text, &end, true, kExpGated) ||
        GetExpChar(text, &startAdd, kExpGated) || GetExpChar(text, &endAdd, kExpGated) ||
        GetExpChar(text, &curve, kExpFinal) || !start.meas || !end.given)
        return 1;
    const auto s = static_cast<signed char>(startAdd), e = static_cast<signed char>(endAdd),
               c = static_cast<signed char>(curve);
    if (end.meas)
        return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresVeloTimeRelCrv(
                                     blk, evntNo, type, notes.get(), start.meas.get(), end.meas.get(), s, e, c));
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpStresVeloTimeRelCrv(blk, evntNo, type, notes.get(),
                                                                             start.meas.get(), end.ticks, s, e, c));
}
