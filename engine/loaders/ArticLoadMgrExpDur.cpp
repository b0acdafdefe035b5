// Class loaders of the duration and key-shift expressions. Their items are
// read whatever delimiter follows (but the first three of DurAll), and
// nothing but the closing parenthesis may follow the last one.
#include <new>

#include "engine/expressions/ArticExpDur.h"
#include "engine/loaders/ArticLoadMgrExpArg.h"

int CArticLoadMgr::LoadExpDurAbs(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    ULONG dur = 0;
    if (GetExpNoteList(text, &notes) || GetExpULong(text, &dur, kExpFinal) || !ExpArgEndsClean(text)) return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpDurAbs(blk, evntNo, notes.get(), dur));
}

int CArticLoadMgr::LoadExpDurRel(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    WORD mag = 0;
    if (GetExpNoteList(text, &notes) || GetExpWord(text, &mag, kExpFinal) || !ExpArgEndsClean(text)) return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpDurRel(blk, evntNo, notes.get(), mag));
}

int CArticLoadMgr::LoadExpDurRel2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    LONG add = 0;
    if (GetExpNoteList(text, &notes) || GetExpLong(text, &add, kExpFinal) || !ExpArgEndsClean(text)) return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpDurRel2(blk, evntNo, notes.get(), add));
}

int CArticLoadMgr::LoadExpDurBp(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    ULONG beatUnit = 0;
    WORD mag = 0;
    if (GetExpNoteList(text, &notes) || GetExpULong(text, &beatUnit, kExpFollowed) ||
        GetExpWord(text, &mag, kExpFinal) || !ExpArgEndsClean(text))
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpDurBp(blk, evntNo, notes.get(), beatUnit, mag));
}

int CArticLoadMgr::LoadExpDurAll(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    // A position passed over is bar 1, beat 1, tick 0.
    ExpArgPos start, end;
    ULONG beatUnit = 480;
    WORD mag = 0;
    if (ExpArgTakePos(*this, text, &start, false, kExpGated) || ExpArgTakePos(*this, text, &end, false, kExpGated) ||
        GetExpULong(text, &beatUnit, kExpGated) || GetExpWord(text, &mag, kExpFinal) || !ExpArgEndsClean(text))
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow)
                                 CArticExpDurAll(blk, evntNo, start.meas.get(), end.meas.get(), beatUnit, mag));
}

int CArticLoadMgr::LoadExpKeySft(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    char shift = 0;
    if (GetExpNoteList(text, &notes) || GetExpChar(text, &shift, kExpFinal) || !ExpArgEndsClean(text)) return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow)
                                 CArticExpKeySft(blk, evntNo, notes.get(), static_cast<signed char>(shift)));
}
