// Class loaders of the tempo expressions. Each reads its items in the order
// the class's writer gives them; a position passed over, or a missing block,
// refuses the line rather than leaving the rule without its expression.
#include <new>

#include "engine/expressions/ArticExpTempo.h"
#include "engine/loaders/ArticLoadMgrExpArg.h"

namespace {

// Type, the notes (braces optional), Mag (mag when passed over) and the
// length of the fermata or the breath.
template <class T>
int TempoNoteLoad(CArticLoadMgr& loader, CExString& text, ULONG evntNo, CArticExpBlk* blk, WORD mag) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0;
    std::unique_ptr<CArticWrkEvntList> notes;
    ULONG length = 0;
    if (loader.GetExpByte(text, &type, CArticLoadMgr::kExpGated) || loader.GetExpNoteList(text, &notes, false) ||
        loader.GetExpWord(text, &mag, CArticLoadMgr::kExpGated) ||
        loader.GetExpULong(text, &length, CArticLoadMgr::kExpFinal))
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) T(blk, evntNo, type, notes.get(), mag, length));
}

}  // namespace

int CArticLoadMgr::LoadExpTempoAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0;
    ExpArgPos pos;
    WORD tickPerBeat = 0, tempo = 0;
    if (GetExpByte(text, &type, kExpGated) || ExpArgTakePos(*this, text, &pos, true, kExpGated) ||
        GetExpWord(text, &tickPerBeat, kExpGated) || GetExpWord(text, &tempo, kExpFinal) || !pos.given)
        return 1;
    if (pos.meas)
        return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow)
                                     CArticExpTempoAbs(blk, evntNo, type, pos.meas.get(), tickPerBeat, tempo));
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpTempoAbs(blk, evntNo, type, pos.ticks, tickPerBeat, tempo));
}

int CArticLoadMgr::LoadExpTempoAbsRel(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0;
    ExpArgPos pos;
    if (GetExpByte(text, &type, kExpGated) || ExpArgTakePos(*this, text, &pos, true, kExpFinal)) return 1;
    if (pos.meas)
        return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpTempoAbsRel(blk, evntNo, type, pos.meas.get()));
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpTempoAbsRel(blk, evntNo, type, INT64(pos.ticks)));
}

int CArticLoadMgr::LoadExpTempoRelFix(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0;
    ExpArgPos pos;
    WORD mag = 0;
    if (GetExpByte(text, &type, kExpGated) || ExpArgTakePos(*this, text, &pos, true, kExpGated) ||
        GetExpWord(text, &mag, kExpFinal) || !pos.given)
        return 1;
    if (pos.meas)
        return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpTempoRelFix(blk, evntNo, type, pos.meas.get(), mag));
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpTempoRelFix(blk, evntNo, type, pos.ticks, mag));
}

int CArticLoadMgr::LoadExpTempoRelCrv(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0;
    ExpArgPos start, end;
    WORD startMag = 100, endMag = 100, devide = 0;
    char curve = 0;
    if (GetExpByte(text, &type, kExpGated) || ExpArgTakePos(*this, text, &start, true, kExpGated) ||
        ExpArgTakePos(*this, text, &end, true, kExpGated) || GetExpWord(text, &startMag, kExpGated) ||
        GetExpWord(text, &endMag, kExpGated) || GetExpChar(text, &curve, kExpGated) ||
        GetExpWord(text, &devide, kExpFinal))
        return 1;
    // Devide steps the curve: 0 would never move it.
    if (devide == 0 || !start.given) return 1;
    const auto c = static_cast<signed char>(curve);
    // A start in ticks takes the width; an end triple after it is dropped.
    if (!start.meas)
        return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpTempoRelCrv(blk, evntNo, type, INT64(start.ticks),
                                                                         INT64(end.meas ? 0 : end.ticks), startMag,
                                                                         endMag, c, devide));
    if (!end.given) return 1;
    if (end.meas)
        return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpTempoRelCrv(blk, evntNo, type, start.meas.get(),
                                                                         end.meas.get(), startMag, endMag, c, devide));
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpTempoRelCrv(blk, evntNo, type, start.meas.get(),
                                                                     INT64(end.ticks), startMag, endMag, c, devide));
}

int CArticLoadMgr::LoadExpTempoFermata(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return TempoNoteLoad<CArticExpTempoFermata>(*this, text, evntNo, blk, 100);
}

int CArticLoadMgr::LoadExpTempoBreath(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return TempoNoteLoad<CArticExpTempoBreath>(*this, text, evntNo, blk, 0);
}
