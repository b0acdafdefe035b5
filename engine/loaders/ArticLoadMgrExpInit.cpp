// Class loaders of the set-up expressions: parameter changes, the system-on
// message, programs and pitch-bend ranges. The plain classes take a
// position, the suffix 2 a work track and block before it, the suffix 3 a
// note list and an offset in its place.
#include <new>

#include "engine/expressions/ArticExpInit.h"
#include "engine/loaders/ArticLoadMgrExpArg.h"

namespace {

// Makes the expression in the position's form (the triple or the ticks)
// through make and appends it.
template <class Make>
int InitAppendAt(CArticExpBlk* blk, const ExpArgPos& pos, Make make) {
    if (pos.meas) return CArticLoadMgr::AppendExpArg(blk, make(static_cast<const CArticMeas*>(pos.meas.get())));
    return CArticLoadMgr::AppendExpArg(blk, make(INT64(pos.ticks)));
}

}  // namespace

// ---- Parameter changes and the system-on message

int CArticLoadMgr::LoadExpInitPrmChange(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    ExpArgPos pos;
    CString model, adrs, data;
    if (ExpArgTakePos(*this, text, &pos, true, kExpGated) || ExpArgTakeHex(text, &model, 2, kExpGated) ||
        ExpArgTakeHex(text, &adrs, 6, kExpGated) || ExpArgTakeHex(text, &data, 0, kExpFinal) || !pos.given)
        return 1;
    return InitAppendAt(blk, pos, [&](auto at) {
        return new (std::nothrow) CArticExpInitPrmChange(blk, evntNo, at, model.c_str(), adrs.c_str(), data.c_str());
    });
}

int CArticLoadMgr::LoadExpInitPrmChange2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    WORD trkNo = 0, blkNo = 0;
    ExpArgPos pos;
    CString model, adrs, data;
    if (GetExpWord(text, &trkNo, kExpGated) || GetExpWord(text, &blkNo, kExpGated) ||
        ExpArgTakePos(*this, text, &pos, true, kExpGated) || ExpArgTakeHex(text, &model, 2, kExpGated) ||
        ExpArgTakeHex(text, &adrs, 6, kExpGated) || ExpArgTakeHex(text, &data, 0, kExpFinal) || !pos.given)
        return 1;
    return InitAppendAt(blk, pos, [&](auto at) {
        return new (std::nothrow)
            CArticExpInitPrmChange2(blk, evntNo, trkNo, blkNo, at, model.c_str(), adrs.c_str(), data.c_str());
    });
}

int CArticLoadMgr::LoadExpInitPrmChange3(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    LONG time = 0;
    CString model, adrs, data;
    if (GetExpNoteList(text, &notes) || GetExpLong(text, &time, kExpGated) ||
        ExpArgTakeHex(text, &model, 2, kExpGated) || ExpArgTakeHex(text, &adrs, 6, kExpGated) ||
        ExpArgTakeHex(text, &data, 0, kExpFinal))
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpInitPrmChange3(blk, evntNo, notes.get(), time,
                                                                        model.c_str(), adrs.c_str(), data.c_str()));
}

int CArticLoadMgr::LoadExpInitPrmChangeKv(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    ExpArgPos pos;
    CString adrs, data;
    if (ExpArgTakePos(*this, text, &pos, true, kExpGated) || ExpArgTakeHex(text, &adrs, 6, kExpGated) ||
        ExpArgTakeHex(text, &data, 0, kExpFinal) || !pos.given)
        return 1;
    return InitAppendAt(blk, pos, [&](auto at) {
        return new (std::nothrow) CArticExpInitPrmChangeKv(blk, evntNo, at, adrs.c_str(), data.c_str());
    });
}

int CArticLoadMgr::LoadExpInitPrmChangeKv2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    WORD trkNo = 0, blkNo = 0;
    ExpArgPos pos;
    CString adrs, data;
    if (GetExpWord(text, &trkNo, kExpGated) || GetExpWord(text, &blkNo, kExpGated) ||
        ExpArgTakePos(*this, text, &pos, true, kExpGated) || ExpArgTakeHex(text, &adrs, 6, kExpGated) ||
        ExpArgTakeHex(text, &data, 0, kExpFinal) || !pos.given)
        return 1;
    return InitAppendAt(blk, pos, [&](auto at) {
        return new (std::nothrow)
            CArticExpInitPrmChangeKv2(blk, evntNo, trkNo, blkNo, at, adrs.c_str(), data.c_str());
    });
}

int CArticLoadMgr::LoadExpInitPrmChangeKv3(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    LONG time = 0;
    CString adrs, data;
    if (GetExpNoteList(text, &notes) || GetExpLong(text, &time, kExpGated) ||
        ExpArgTakeHex(text, &adrs, 6, kExpGated) || ExpArgTakeHex(text, &data, 0, kExpFinal))
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpInitPrmChangeKv3(blk, evntNo, notes.get(), time,
                                                                          adrs.c_str(), data.c_str()));
}

int CArticLoadMgr::LoadExpInitKvinit(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    ExpArgPos pos;
    if (ExpArgTakePos(*this, text, &pos, true, kExpFinal)) return 1;
    return InitAppendAt(blk, pos, [&](auto at) { return new (std::nothrow) CArticExpInitKvinit(blk, evntNo, at); });
}

int CArticLoadMgr::LoadExpInitKvinit2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    WORD trkNo = 0, blkNo = 0;
    ExpArgPos pos;
    if (GetExpWord(text, &trkNo, kExpGated) || GetExpWord(text, &blkNo, kExpGated) ||
        ExpArgTakePos(*this, text, &pos, true, kExpFinal))
        return 1;
    return InitAppendAt(blk, pos, [&](auto at) {
        return new (std::nothrow) CArticExpInitKvinit2(blk, evntNo, trkNo, blkNo, at);
    });
}

// ---- Programs

int CArticLoadMgr::LoadExpInitPro(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    ExpArgPos pos;
    BYTE msb = 0, lsb = 0, prog = 0;
    if (ExpArgTakePos(*this, text, &pos, true, kExpGated) || GetExpByte(text, &msb, kExpGated) ||
        GetExpByte(text, &lsb, kExpGated) || GetExpByte(text, &prog, kExpFinal) || !pos.given)
        return 1;
    return InitAppendAt(blk, pos, [&](auto at) {
        return new (std::nothrow) CArticExpInitPro(blk, evntNo, at, msb, lsb, prog);
    });
}

int CArticLoadMgr::LoadExpInitPro2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    WORD trkNo = 0, blkNo = 0;
    ExpArgPos pos;
    BYTE msb = 0, lsb = 0, prog = 0;
    if (GetExpWord(text, &trkNo, kExpGated) || GetExpWord(text, &blkNo, kExpGated) ||
        ExpArgTakePos(*this, text, &pos, true, kExpGated) || GetExpByte(text, &msb, kExpGated) ||
        GetExpByte(text, &lsb, kExpGated) || GetExpByte(text, &prog, kExpFinal) || !pos.given)
        return 1;
    return InitAppendAt(blk, pos, [&](auto at) {
        return new (std::nothrow) CArticExpInitPro2(blk, evntNo, trkNo, blkNo, at, msb, lsb, prog);
    });
}

int CArticLoadMgr::LoadExpInitPro3(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    LONG time = 0;
    BYTE msb = 0, lsb = 0, prog = 0;
    if (GetExpNoteList(text, &notes) || GetExpLong(text, &time, kExpGated) || GetExpByte(text, &msb, kExpGated) ||
        GetExpByte(text, &lsb, kExpGated) || GetExpByte(text, &prog, kExpFinal))
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpInitPro3(blk, evntNo, notes.get(), time, msb, lsb, prog));
}

// ---- Pitch-bend ranges

int CArticLoadMgr::LoadExpInitPbRange(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0, range = 0;
    ExpArgPos pos;
    if (GetExpByte(text, &type, kExpGated) || ExpArgTakePos(*this, text, &pos, true, kExpGated) ||
        GetExpByte(text, &range, kExpFinal) || !pos.given)
        return 1;
    return InitAppendAt(blk, pos, [&](auto at) {
        return new (std::nothrow) CArticExpInitPbRange(blk, evntNo, type, at, range);
    });
}

int CArticLoadMgr::LoadExpInitPbRange2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    BYTE type = 0, range = 0;
    WORD trkNo = 0, blkNo = 0;
    ExpArgPos pos;
    if (GetExpByte(text, &type, kExpGated) || GetExpWord(text, &trkNo, kExpGated) ||
        GetExpWord(text, &blkNo, kExpGated) || ExpArgTakePos(*this, text, &pos, true, kExpGated) ||
        GetExpByte(text, &range, kExpFinal) || !pos.given)
        return 1;
    return InitAppendAt(blk, pos, [&](auto at) {
        return new (std::nothrow) CArticExpInitPbRange2(blk, evntNo, type, trkNo, blkNo, at, range);
    });
}

int CArticLoadMgr::LoadExpInitPbRange3(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty() || !blk) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    LONG time = 0;
    BYTE range = 0;
    if (GetExpNoteList(text, &notes) || GetExpLong(text, &time, kExpGated) || GetExpByte(text, &range, kExpFinal))
        return 1;
    return CArticLoadMgr::AppendExpArg(blk, new (std::nothrow) CArticExpInitPbRange3(blk, evntNo, notes.get(), time, range));
}
