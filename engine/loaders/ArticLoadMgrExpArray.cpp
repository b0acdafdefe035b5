// Class loaders of the slur, tie, turn, trill, stop and layer expressions.
// Each reads its items in the order the class's writer gives them; what it
// read is released on every path. A trill step or a bow step of 0 is
// refused here: the expressions step by it.
#include <memory>
#include <new>

#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpLayer.h"
#include "engine/expressions/ArticExpOrnament.h"
#include "engine/expressions/ArticExpSlur.h"
#include "engine/expressions/ArticExpStop.h"
#include "engine/expressions/ArticMeas.h"
#include "engine/loaders/ArticLoadMgr.h"

namespace {

using ArrayL = CArticLoadMgr;

// The items of a slur-like class with Type alone, then the class.
template <class T>
int ArrayLoadJoin(ArrayL& m, CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0;
    if (m.GetExpNoteList(text, &notes) || m.GetExpByte(text, &type, ArrayL::kExpFinal) || !blk) return 1;
    return ArrayL::AppendExpArg(blk, new (std::nothrow) T(blk, evntNo, notes.get(), type));
}

// Turns with semitone neighbours: Type, UpNote, DownNote.
template <class T>
int ArrayLoadTurnSemi(ArrayL& m, CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0;
    char up = 0, down = 0;
    if (m.GetExpNoteList(text, &notes) || m.GetExpByte(text, &type, ArrayL::kExpGated) ||
        m.GetExpChar(text, &up, ArrayL::kExpGated) || m.GetExpChar(text, &down, ArrayL::kExpFinal) || !blk)
        return 1;
    return ArrayL::AppendExpArg(blk, new (std::nothrow) T(blk, evntNo, notes.get(), type, static_cast<signed char>(up),
                                                          static_cast<signed char>(down)));
}

// Turns with scale-step neighbours: Type, Temp, UpShift, DownShift.
template <class T>
int ArrayLoadTurnStep(ArrayL& m, CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0;
    char temp = 0, up = 0, down = 0;
    if (m.GetExpNoteList(text, &notes) || m.GetExpByte(text, &type, ArrayL::kExpGated) ||
        m.GetExpChar(text, &temp, ArrayL::kExpGated) || m.GetExpChar(text, &up, ArrayL::kExpGated) ||
        m.GetExpChar(text, &down, ArrayL::kExpFinal) || !blk)
        return 1;
    return ArrayL::AppendExpArg(blk, new (std::nothrow) T(blk, evntNo, notes.get(), type,
                                                          static_cast<signed char>(temp), static_cast<signed char>(up),
                                                          static_cast<signed char>(down)));
}

// The figure items that end both trills: Front, FrontTime, Back, BackTime.
struct ArrayTrillEnd {
    BYTE front = 0, back = 0;
    ULONG frontTime = 0, backTime = 0;
    int Read(ArrayL& m, CExString& text) {
        return m.GetExpByte(text, &front, ArrayL::kExpGated) || m.GetExpULong(text, &frontTime, ArrayL::kExpGated) ||
                       m.GetExpByte(text, &back, ArrayL::kExpGated) ||
                       m.GetExpULong(text, &backTime, ArrayL::kExpFinal)
                   ? 1
                   : 0;
    }
};

// The voice items of both layer notes: Type .. BSelLSB (the MIDI data
// bytes 0..127).
struct ArrayLayerVoice {
    BYTE type = 0, layer = 0, key = 0, velo = 0, msb = 0, lsb = 0;
    LONG time = 0;
    ULONG dur = 0;
    int Read(ArrayL& m, CExString& text) {
        const auto g = ArrayL::kExpGated;
        return m.GetExpByte(text, &type, g) || m.GetExpByte(text, &layer, g) || m.GetExpLong(text, &time, g) ||
                       m.GetExpULong(text, &dur, g) || m.GetExpByte(text, &key, g) || m.GetExpByte(text, &velo, g) ||
                       m.GetExpByte(text, &msb, g) || m.GetExpByte(text, &lsb, g)
                   ? 1
                   : 0;
    }
};

}  // namespace

// ---- Slurs and ties

int CArticLoadMgr::LoadExpArraySlurPb(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return ArrayLoadJoin<CArticExpArraySlurPb>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpArrayTie(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return ArrayLoadJoin<CArticExpArrayTie>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpArraySlurDur(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0;
    LONG gap = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &type, kExpGated) || GetExpLong(text, &gap, kExpFinal) ||
        !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpArraySlurDur(blk, evntNo, notes.get(), type, gap));
}

// ---- Turns and trills

int CArticLoadMgr::LoadExpArrayTurn1(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return ArrayLoadTurnSemi<CArticExpArrayTurn1>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpArrayTurn2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return ArrayLoadTurnSemi<CArticExpArrayTurn2>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpArrayTurn3(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return ArrayLoadTurnSemi<CArticExpArrayTurn3>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpArrayTurn4(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return ArrayLoadTurnStep<CArticExpArrayTurn4>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpArrayTurn5(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return ArrayLoadTurnStep<CArticExpArrayTurn5>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpArrayTurn6(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return ArrayLoadTurnStep<CArticExpArrayTurn6>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpArrayTrill1(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    ULONG trillTime = 0;
    char trillNote = 0, downNote = 0;
    ArrayTrillEnd end;
    if (GetExpNoteList(text, &notes) || GetExpULong(text, &trillTime, kExpGated) ||
        GetExpChar(text, &trillNote, kExpGated) || GetExpChar(text, &downNote, kExpGated) || end.Read(*this, text))
        return 1;
    if (trillTime == 0 || !blk) return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpArrayTrill1(
                                 blk, evntNo, notes.get(), trillTime, static_cast<signed char>(trillNote),
                                 static_cast<signed char>(downNote), end.front, end.frontTime, end.back, end.backTime));
}

int CArticLoadMgr::LoadExpArrayTrill2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    ULONG trillTime = 0;
    char temp = 0, up = 0, down = 0;
    ArrayTrillEnd end;
    if (GetExpNoteList(text, &notes) || GetExpULong(text, &trillTime, kExpGated) ||
        GetExpChar(text, &temp, kExpGated) || GetExpChar(text, &up, kExpGated) || GetExpChar(text, &down, kExpGated) ||
        end.Read(*this, text))
        return 1;
    if (trillTime == 0 || !blk) return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpArrayTrill2(
                                 blk, evntNo, notes.get(), trillTime, static_cast<signed char>(temp),
                                 static_cast<signed char>(up), static_cast<signed char>(down), end.front,
                                 end.frontTime, end.back, end.backTime));
}

// ---- Stops

int CArticLoadMgr::LoadExpArrayStop(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    char direction = 0;
    ULONG directionTime = 0, allowableTime = 0;
    if (GetExpNoteList(text, &notes) || GetExpChar(text, &direction, kExpGated) ||
        GetExpULong(text, &directionTime, kExpGated) || GetExpULong(text, &allowableTime, kExpFinal) || !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpArrayStop(blk, evntNo, notes.get(),
                                                                   static_cast<signed char>(direction), directionTime,
                                                                   allowableTime));
}

int CArticLoadMgr::LoadExpArrayUsrStop(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    std::unique_ptr<CArticMeas> meas, endMeas;
    CString strDummy;
    BYTE dummy = 0;
    char direction = 0;
    ULONG directionTime = 0, allowableTime = 0;
    // The text item keeps double-byte characters whole (the file-name reader).
    if (GetExpNoteList(text, &notes) || GetExpText(text, &strDummy) || GetExpByte(text, &dummy, kExpGated) ||
        GetExpPos(text, &meas, nullptr) || GetExpPos(text, &endMeas, nullptr) ||
        GetExpChar(text, &direction, kExpGated) || GetExpULong(text, &directionTime, kExpGated) ||
        GetExpULong(text, &allowableTime, kExpFinal) || !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpArrayUsrStop(
                                 blk, evntNo, notes.get(), strDummy.c_str(), dummy, meas.get(), endMeas.get(),
                                 static_cast<signed char>(direction), directionTime, allowableTime));
}

// ---- Layers

int CArticLoadMgr::LoadExpLayerBow1(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0;
    WORD devSize = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &type, kExpGated) || GetExpWord(text, &devSize, kExpFinal))
        return 1;
    // DevSize 0 is read: the bowing layer refuses it when it runs.
    if (!blk) return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpLayerBow1(blk, evntNo, notes.get(), type, devSize));
}

int CArticLoadMgr::LoadExpLayerBow2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    BYTE type = 0, layer = 0;
    WORD devSize = 0;
    if (GetExpNoteList(text, &notes) || GetExpByte(text, &type, kExpGated) || GetExpByte(text, &layer, kExpGated) ||
        GetExpWord(text, &devSize, kExpFinal))
        return 1;
    if (!blk) return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpLayerBow2(blk, evntNo, notes.get(), type, layer, devSize));
}

int CArticLoadMgr::LoadExpLayerNote1(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    ArrayLayerVoice v;
    BYTE proNo = 0;
    if (GetExpNoteList(text, &notes) || v.Read(*this, text) || GetExpByte(text, &proNo, kExpFinal) || !blk) return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpLayerNote1(blk, evntNo, notes.get(), v.type, v.layer, v.time,
                                                                    v.dur, v.key, v.velo, v.msb, v.lsb, proNo));
}

int CArticLoadMgr::LoadExpLayerNote2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes;
    NewNotes notes2(m_pWrk);
    ArrayLayerVoice v;
    BYTE proNo = 0;
    if (GetExpNoteList(text, &notes) || v.Read(*this, text) || GetExpByte(text, &proNo, kExpGated) ||
        GetExpNewNoteList(text, &notes2) || !blk)
        return 1;
    if (AppendExpArg(blk, new (std::nothrow) CArticExpLayerNote2(blk, evntNo, notes.get(), v.type, v.layer, v.time,
                                                                 v.dur, v.key, v.velo, v.msb, v.lsb, proNo,
                                                                 notes2.Get())) != 0)
        return 1;
    notes2.Keep();
    return 0;
}
