// Class loaders of the time-shift, swing and waltz expressions and of the
// pitch-bend curves, slides and guitar bends. Each reads its items in the
// order the class's writer gives them; what it read is released on every
// path. A group length or a step count of 0 is refused here: the
// expressions divide or step by it. Here too the position item and the
// append step that every argument-form loader shares.
#include <memory>
#include <new>

#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpPitch.h"
#include "engine/expressions/ArticExpTime.h"
#include "engine/expressions/ArticMeas.h"
#include "engine/loaders/ArticLoadMgr.h"

namespace {

// The items the three note-relative pitch classes share, then the class.
template <class T>
int TimeLoadPitchNote(CArticLoadMgr& m, CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0;
    LONG start = 0, end = 0;
    short startAdd = 0, endAdd = 0;
    char curve = 0;
    WORD devide = 0;
    using L = CArticLoadMgr;
    if (m.GetExpNoteList(text, &notes) || m.GetExpByte(text, &type, L::kExpGated) ||
        m.GetExpLong(text, &start, L::kExpGated) || m.GetExpLong(text, &end, L::kExpGated) ||
        m.GetExpShort(text, &startAdd, L::kExpGated) || m.GetExpShort(text, &endAdd, L::kExpGated) ||
        m.GetExpChar(text, &curve, L::kExpGated) || m.GetExpWord(text, &devide, L::kExpFinal))
        return 1;
    if (devide == 0 || !blk) return 1;
    return L::AppendExpArg(blk, new (std::nothrow) T(blk, evntNo, notes.get(), type, start, end, startAdd, endAdd,
                                                     static_cast<signed char>(curve), devide));
}

// The items of the two guitar classes, then the class.
template <class T>
int TimeLoadPitchGtr(CArticLoadMgr& m, CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0;
    LONG startTime = 0, endTime = 0;
    char upCurve = 0, downCurve = 0;
    WORD devide = 0;
    using L = CArticLoadMgr;
    if (m.GetExpNoteList(text, &notes) || m.GetExpByte(text, &type, L::kExpGated) ||
        m.GetExpLong(text, &startTime, L::kExpGated) || m.GetExpLong(text, &endTime, L::kExpGated) ||
        m.GetExpChar(text, &upCurve, L::kExpGated) || m.GetExpChar(text, &downCurve, L::kExpGated) ||
        m.GetExpWord(text, &devide, L::kExpFinal))
        return 1;
    if (devide == 0 || !blk) return 1;
    return L::AppendExpArg(blk, new (std::nothrow) T(blk, evntNo, notes.get(), type, startTime, endTime,
                                                     static_cast<signed char>(upCurve),
                                                     static_cast<signed char>(downCurve), devide));
}

}  // namespace

int CArticLoadMgr::AppendExpArg(CArticExpBlk* blk, CArticExpEvnt* evnt) {
    if (!evnt) return 1;
    if (!blk || !blk->AddTail(evnt)) {
        delete evnt;
        return 1;
    }
    return 0;
}

int CArticLoadMgr::GetExpPos(CExString& text, std::unique_ptr<CArticMeas>* meas, ULONG* ticks) {
    CExString token;
    bool convert = false;
    if (!NextExpItem(text, &token, kExpGated, &convert) || !convert) return 1;
    return GetExpMeas(token, meas, ticks, kExpFinal);
}

// ---- Time

int CArticLoadMgr::LoadExpTimeSft(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    LONG time = 0;
    if (GetExpNoteList(text, &notes) || GetExpLong(text, &time, kExpFinal) || !blk) return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpTimeSft(blk, evntNo, notes.get(), time));
}

int CArticLoadMgr::LoadExpTimeSft2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    LONG time = 0;
    BYTE type = 0;
    if (GetExpNoteList(text, &notes) || GetExpLong(text, &time, kExpFollowed) || GetExpByte(text, &type, kExpFinal) ||
        !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpTimeSft2(blk, evntNo, notes.get(), time, type));
}

int CArticLoadMgr::LoadExpTimeSwing(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0, devNum = 0, point = 0;
    ULONG groupTime = 0, pointTime = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &type, kExpGated) ||
        GetExpULong(text, &groupTime, kExpGated) || GetExpByte(text, &devNum, kExpGated) ||
        GetExpByte(text, &point, kExpGated) || GetExpULong(text, &pointTime, kExpFinal))
        return 1;
    if (groupTime == 0 || !blk) return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpTimeSwing(blk, evntNo, notes.get(), type, groupTime, devNum,
                                                                   point, pointTime));
}

int CArticLoadMgr::LoadExpTimeWaltz(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0, devNum = 0, point1 = 0, point2 = 0;
    ULONG groupTime = 480, point1Time = 0, point2Time = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &type, kExpGated) ||
        GetExpULong(text, &groupTime, kExpGated) || GetExpByte(text, &devNum, kExpGated) ||
        GetExpByte(text, &point1, kExpGated) || GetExpULong(text, &point1Time, kExpGated) ||
        GetExpByte(text, &point2, kExpGated) || GetExpULong(text, &point2Time, kExpFinal))
        return 1;
    if (groupTime == 0 || !blk) return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpTimeWaltz(blk, evntNo, notes.get(), type, groupTime, devNum,
                                                                   point1, point1Time, point2, point2Time));
}

// ---- Pitch bend

int CArticLoadMgr::LoadExpPitchCrv(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticMeas> meas, endMeas;
    BYTE type = 0;
    ULONG timeW = 0;
    short startAdd = 0, endAdd = 0;
    char curve = 0;
    WORD devide = 0;
    // The area's start is a triple; its end a triple or a width in ticks.
    if (GetExpByte(text, &type, kExpGated) || GetExpPos(text, &meas, nullptr) || GetExpPos(text, &endMeas, &timeW) ||
        GetExpShort(text, &startAdd, kExpGated) || GetExpShort(text, &endAdd, kExpGated) ||
        GetExpChar(text, &curve, kExpGated) || GetExpWord(text, &devide, kExpFinal))
        return 1;
    if (!meas || devide == 0 || !blk) return 1;
    const auto c = static_cast<signed char>(curve);
    if (endMeas)
        return AppendExpArg(blk, new (std::nothrow) CArticExpPitchCrv(blk, evntNo, type, meas.get(), endMeas.get(),
                                                                      startAdd, endAdd, c, devide));
    return AppendExpArg(
        blk, new (std::nothrow) CArticExpPitchCrv(blk, evntNo, type, meas.get(), timeW, startAdd, endAdd, c, devide));
}

int CArticLoadMgr::LoadExpPitchCrv2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return TimeLoadPitchNote<CArticExpPitchCrv2>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpPitchSlide(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return TimeLoadPitchNote<CArticExpPitchSlide>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpPitchSlide2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return TimeLoadPitchNote<CArticExpPitchSlide2>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpPitchGtrBend(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return TimeLoadPitchGtr<CArticExpPitchGtrBend>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpPitchGtrSlide(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return TimeLoadPitchGtr<CArticExpPitchGtrSlide>(*this, text, evntNo, blk);
}
