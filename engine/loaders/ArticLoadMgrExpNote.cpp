// Class loaders of note creation, note deletion and the debug carriers.
// Each reads its items in the order the class's writer gives them; what it
// read is released on every path.
#include <memory>
#include <new>

#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/loaders/ArticLoadMgr.h"

int CArticLoadMgr::LoadExpCreNote(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0, key = 0, velo = 0;
    LONG time = 0;
    ULONG dur = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &type, kExpGated) || GetExpLong(text, &time, kExpGated) ||
        GetExpULong(text, &dur, kExpGated) || GetExpByte(text, &key, kExpGated) ||
        GetExpByte(text, &velo, kExpFinal))
        return 1;
    if (!blk) return 1;
    return CArticLoadMgr::AppendExpArg(blk,
                         new (std::nothrow) CArticExpCreNote(blk, evntNo, notes.get(), type, time, dur, key, velo));
}

int CArticLoadMgr::LoadExpCreNote2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0, key = 0, velo = 0, gen = 0;
    LONG time = 0;
    ULONG dur = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &type, kExpGated) || GetExpLong(text, &time, kExpGated) ||
        GetExpULong(text, &dur, kExpGated) || GetExpByte(text, &key, kExpGated) ||
        GetExpByte(text, &velo, kExpFollowed) || GetExpByte(text, &gen, kExpFinal))
        return 1;
    if (!blk) return 1;
    return CArticLoadMgr::AppendExpArg(
        blk, new (std::nothrow) CArticExpCreNote2(blk, evntNo, notes.get(), type, time, dur, key, velo, gen));
}

int CArticLoadMgr::LoadExpDel(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    if (GetExpNoteList(text, &notes) || !blk) return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpDel(blk, evntNo, notes.get()));
}

int CArticLoadMgr::LoadExpDebug_i(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    LONG value = 0;
    if (GetExpNoteList(text, &notes) || GetExpLong(text, &value, kExpFinal) || !blk) return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpDebug_i(blk, evntNo, notes.get(), value));
}

int CArticLoadMgr::LoadExpDebug_i2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    CString info;
    LONG value = 0;
    if (GetExpNoteList(text, &notes) || GetExpText(text, &info) || GetExpLong(text, &value, kExpFinal) || !blk)
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpDebug_i2(blk, evntNo, notes.get(), info.c_str(), value));
}

int CArticLoadMgr::LoadExpDebug_d(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    double value = 0.0;
    if (GetExpNoteList(text, &notes) || GetExpDouble(text, &value, kExpFinal) || !blk) return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpDebug_d(blk, evntNo, notes.get(), value));
}
