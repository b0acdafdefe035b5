// Class loaders of the phrase-file pastes and note patterns. Each reads its
// items in the order the class's writer gives them; file names go through
// the file-name reader (quotes dropped, double-byte characters whole). A
// line without a block, or whose positions are not all read, is refused.
#include <memory>
#include <new>

#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpFileSmf.h"
#include "engine/expressions/ArticExpFileSmfNote.h"
#include "engine/expressions/ArticMeas.h"
#include "engine/loaders/ArticLoadMgr.h"

namespace {

using FileL = CArticLoadMgr;

// The items every note-relative paste begins with: notes, file name, Type,
// Start, End.
struct FileContHead {
    std::unique_ptr<CArticWrkEvntList> notes;
    CString fileName;
    BYTE type = 0;
    LONG start = 0, end = 0;
    int Read(FileL& m, CExString& text) {
        if (text.IsEmpty()) return 1;
        const auto g = FileL::kExpGated;
        return m.GetExpNoteList(text, &notes) || m.GetExpText(text, &fileName) || m.GetExpByte(text, &type, g) ||
                       m.GetExpLong(text, &start, g) || m.GetExpLong(text, &end, g)
                   ? 1
                   : 0;
    }
};

// The items of an area paste: notes, file name, Type, the start triple, the
// end as a triple or a width in ticks.
struct FileAreaHead {
    std::unique_ptr<CArticWrkEvntList> notes;
    std::unique_ptr<CArticMeas> meas, endMeas;
    CString fileName;
    BYTE type = 0;
    ULONG timeW = 0;
    int Read(FileL& m, CExString& text) {
        if (text.IsEmpty()) return 1;
        return m.GetExpNoteList(text, &notes) || m.GetExpText(text, &fileName) ||
                       m.GetExpByte(text, &type, FileL::kExpGated) || m.GetExpPos(text, &meas, nullptr) ||
                       m.GetExpPos(text, &endMeas, &timeW)
                   ? 1
                   : 0;
    }
};

// The items every note pattern begins with: notes, file name.
struct FileNoteHead {
    std::unique_ptr<CArticWrkEvntList> notes;
    CString fileName;
    int Read(FileL& m, CExString& text) {
        if (text.IsEmpty()) return 1;
        return m.GetExpNoteList(text, &notes) || m.GetExpText(text, &fileName) ? 1 : 0;
    }
};

// A pattern of notes, file name and Time, then the class.
template <class T>
int FileLoadTimeOnly(FileL& m, CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileNoteHead h;
    ULONG time = 0;
    if (h.Read(m, text) || m.GetExpULong(text, &time, FileL::kExpFinal) || !blk) return 1;
    return FileL::AppendExpArg(blk, new (std::nothrow) T(blk, evntNo, h.notes.get(), h.fileName.c_str(), time));
}

// A pattern of notes, file name, Time, Temp, UpShift, DownShift, then the class.
template <class T>
int FileLoadScaleStep(FileL& m, CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileNoteHead h;
    ULONG time = 0;
    char temp = 0, up = 0, down = 0;
    const auto g = FileL::kExpGated;
    if (h.Read(m, text) || m.GetExpULong(text, &time, g) || m.GetExpChar(text, &temp, g) ||
        m.GetExpChar(text, &up, g) || m.GetExpChar(text, &down, FileL::kExpFinal) || !blk)
        return 1;
    return FileL::AppendExpArg(blk, new (std::nothrow) T(blk, evntNo, h.notes.get(), h.fileName.c_str(), time,
                                                         static_cast<signed char>(temp), static_cast<signed char>(up),
                                                         static_cast<signed char>(down)));
}

// The three names and three times both trills begin with.
struct FileTrillHead {
    std::unique_ptr<CArticWrkEvntList> notes;
    CString front, body, back;
    ULONG time = 0, frontTime = 0, backTime = 0;
    int Read(FileL& m, CExString& text) {
        if (text.IsEmpty()) return 1;
        const auto g = FileL::kExpGated;
        return m.GetExpNoteList(text, &notes) || m.GetExpText(text, &front) || m.GetExpText(text, &body) ||
                       m.GetExpText(text, &back) || m.GetExpULong(text, &time, g) ||
                       m.GetExpULong(text, &frontTime, g) || m.GetExpULong(text, &backTime, g)
                   ? 1
                   : 0;
    }
};

}  // namespace

// ---- Area pastes

int CArticLoadMgr::LoadExpFileSmfContCc(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileAreaHead h;
    BYTE contNo = 0;
    WORD mag = 0;
    if (h.Read(*this, text) || GetExpByte(text, &contNo, kExpGated) || GetExpWord(text, &mag, kExpFinal) || !blk)
        return 1;
    const char* name = h.fileName.c_str();
    if (h.endMeas)
        return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfContCc(blk, evntNo, h.notes.get(), name, h.type,
                                                                           h.meas.get(), h.endMeas.get(), contNo, mag));
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfContCc(blk, evntNo, h.notes.get(), name, h.type,
                                                                       h.meas.get(), h.timeW, contNo, mag));
}

int CArticLoadMgr::LoadExpFileSmfContPb(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileAreaHead h;
    WORD mag = 0;
    if (h.Read(*this, text) || GetExpWord(text, &mag, kExpFinal) || !blk) return 1;
    const char* name = h.fileName.c_str();
    if (h.endMeas)
        return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfContPb(blk, evntNo, h.notes.get(), name, h.type,
                                                                           h.meas.get(), h.endMeas.get(), mag));
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfContPb(blk, evntNo, h.notes.get(), name, h.type,
                                                                       h.meas.get(), h.timeW, mag));
}

int CArticLoadMgr::LoadExpFileSmfFree(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    CString fileName;
    std::unique_ptr<CArticMeas> meas;
    if (GetExpText(text, &fileName) || GetExpMeas(text, &meas, nullptr, kExpFinal) || !meas || !blk) return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfFree(blk, evntNo, fileName.c_str(), meas.get()));
}

// ---- Note-relative pastes

int CArticLoadMgr::LoadExpFileSmfContCc2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileContHead h;
    BYTE contNo = 0;
    WORD mag = 0;
    if (h.Read(*this, text) || GetExpByte(text, &contNo, kExpGated) || GetExpWord(text, &mag, kExpFinal) || !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfContCc2(blk, evntNo, h.notes.get(), h.fileName.c_str(),
                                                                        h.type, h.start, h.end, contNo, mag));
}

int CArticLoadMgr::LoadExpFileSmfContCc3(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileContHead h;
    BYTE contNo = 0;
    WORD mag = 0, reso = 0;
    if (h.Read(*this, text) || GetExpByte(text, &contNo, kExpGated) || GetExpWord(text, &mag, kExpGated) ||
        GetExpWord(text, &reso, kExpFinal) || !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfContCc3(blk, evntNo, h.notes.get(), h.fileName.c_str(),
                                                                        h.type, h.start, h.end, contNo, mag, reso));
}

int CArticLoadMgr::LoadExpFileSmfContPb2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileContHead h;
    WORD mag = 0;
    if (h.Read(*this, text) || GetExpWord(text, &mag, kExpFinal) || !blk) return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfContPb2(blk, evntNo, h.notes.get(), h.fileName.c_str(),
                                                                        h.type, h.start, h.end, mag));
}

int CArticLoadMgr::LoadExpFileSmfContPb3(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileContHead h;
    WORD mag = 0, reso = 0;
    if (h.Read(*this, text) || GetExpWord(text, &mag, kExpGated) || GetExpWord(text, &reso, kExpFinal) || !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfContPb3(blk, evntNo, h.notes.get(), h.fileName.c_str(),
                                                                        h.type, h.start, h.end, mag, reso));
}

int CArticLoadMgr::LoadExpFileSmfContPb4(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileContHead h;
    WORD mag = 0, timeMag = 0, reso = 0;
    if (h.Read(*this, text) || GetExpWord(text, &mag, kExpGated) || GetExpWord(text, &timeMag, kExpGated) ||
        GetExpWord(text, &reso, kExpFinal) || !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfContPb4(blk, evntNo, h.notes.get(), h.fileName.c_str(),
                                                                        h.type, h.start, h.end, mag, timeMag, reso));
}

int CArticLoadMgr::LoadExpFileSmfContPbEg(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileContHead h;
    WORD mag = 0, timeMag = 0, reso = 0;
    ULONG atk = 0, rls = 0;
    if (h.Read(*this, text) || GetExpWord(text, &mag, kExpGated) || GetExpULong(text, &atk, kExpGated) ||
        GetExpULong(text, &rls, kExpGated) || GetExpWord(text, &timeMag, kExpGated) ||
        GetExpWord(text, &reso, kExpFinal) || !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfContPbEg(blk, evntNo, h.notes.get(), h.fileName.c_str(),
                                                                         h.type, h.start, h.end, mag, atk, rls,
                                                                         timeMag, reso));
}

int CArticLoadMgr::LoadExpFileSmfContPbEg2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileContHead h;
    WORD mag = 0, timeMag = 0, randMag = 0, reso = 0;
    ULONG atk = 0, rls = 0;
    if (h.Read(*this, text) || GetExpWord(text, &mag, kExpGated) || GetExpULong(text, &atk, kExpGated) ||
        GetExpULong(text, &rls, kExpGated) || GetExpWord(text, &timeMag, kExpGated) ||
        GetExpWord(text, &randMag, kExpGated) || GetExpWord(text, &reso, kExpFinal) || !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfContPbEg2(
                                 blk, evntNo, h.notes.get(), h.fileName.c_str(), h.type, h.start, h.end, mag, atk,
                                 rls, timeMag, randMag, reso));
}

// ---- Note patterns

int CArticLoadMgr::LoadExpFileSmfNoteGlis1(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return FileLoadTimeOnly<CArticExpFileSmfNoteGlis1>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpFileSmfNoteArpg(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return FileLoadTimeOnly<CArticExpFileSmfNoteArpg>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpFileSmfNoteTurn2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return FileLoadScaleStep<CArticExpFileSmfNoteTurn2>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpFileSmfNoteMord2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    return FileLoadScaleStep<CArticExpFileSmfNoteMord2>(*this, text, evntNo, blk);
}

int CArticLoadMgr::LoadExpFileSmfNoteTurn(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileNoteHead h;
    ULONG time = 0;
    BYTE type = 0;
    char temp = 0, up = 0, down = 0;
    if (h.Read(*this, text) || GetExpULong(text, &time, kExpGated) || GetExpByte(text, &type, kExpGated) ||
        GetExpChar(text, &temp, kExpGated) || GetExpChar(text, &up, kExpGated) || GetExpChar(text, &down, kExpFinal) ||
        !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfNoteTurn(
                                 blk, evntNo, h.notes.get(), h.fileName.c_str(), time, type,
                                 static_cast<signed char>(temp), static_cast<signed char>(up),
                                 static_cast<signed char>(down)));
}

int CArticLoadMgr::LoadExpFileSmfNoteTrml1(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileNoteHead h;
    ULONG time = 0;
    BYTE num = 0, randTime = 0, randVelo = 0;
    if (h.Read(*this, text) || GetExpULong(text, &time, kExpGated) || GetExpByte(text, &num, kExpGated) ||
        GetExpByte(text, &randTime, kExpGated) || GetExpByte(text, &randVelo, kExpFinal) || !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfNoteTrml1(blk, evntNo, h.notes.get(),
                                                                          h.fileName.c_str(), time, num, randTime,
                                                                          randVelo));
}

int CArticLoadMgr::LoadExpFileSmfNoteTrml2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    std::unique_ptr<CArticWrkEvntList> notes, notes2;
    CString fileName;
    ULONG time = 0;
    BYTE num = 0, randTime = 0, randVelo = 0;
    char lowVelo = 0, midVelo = 0;
    if (GetExpNoteList(text, &notes) || GetExpNoteList(text, &notes2) || GetExpText(text, &fileName) ||
        GetExpULong(text, &time, kExpGated) || GetExpByte(text, &num, kExpGated) ||
        GetExpByte(text, &randTime, kExpGated) || GetExpByte(text, &randVelo, kExpGated) ||
        GetExpChar(text, &lowVelo, kExpGated) || GetExpChar(text, &midVelo, kExpFinal) || !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfNoteTrml2(
                                 blk, evntNo, notes.get(), notes2.get(), fileName.c_str(), time, num, randTime,
                                 randVelo, static_cast<signed char>(lowVelo), static_cast<signed char>(midVelo)));
}

int CArticLoadMgr::LoadExpFileSmfNoteTril2(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileTrillHead h;
    BYTE frontType = 0, type = 0, backType = 0;
    char temp = 0, up = 0, down = 0;
    if (h.Read(*this, text) || GetExpByte(text, &frontType, kExpGated) || GetExpByte(text, &type, kExpGated) ||
        GetExpByte(text, &backType, kExpGated) || GetExpChar(text, &temp, kExpGated) ||
        GetExpChar(text, &up, kExpGated) || GetExpChar(text, &down, kExpFinal) || !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfNoteTril2(
                                 blk, evntNo, h.notes.get(), h.front.c_str(), h.body.c_str(), h.back.c_str(), h.time,
                                 h.frontTime, h.backTime, frontType, type, backType, static_cast<signed char>(temp),
                                 static_cast<signed char>(up), static_cast<signed char>(down)));
}

int CArticLoadMgr::LoadExpFileSmfNoteTril3(CExString& text, ULONG evntNo, CArticExpBlk* blk) {
    FileTrillHead h;
    char temp = 0, up = 0, down = 0;
    if (h.Read(*this, text) || GetExpChar(text, &temp, kExpGated) || GetExpChar(text, &up, kExpGated) ||
        GetExpChar(text, &down, kExpFinal) || !blk)
        return 1;
    return AppendExpArg(blk, new (std::nothrow) CArticExpFileSmfNoteTril3(
                                 blk, evntNo, h.notes.get(), h.front.c_str(), h.body.c_str(), h.back.c_str(), h.time,
                                 h.frontTime, h.backTime, static_cast<signed char>(temp),
                                 static_cast<signed char>(up), static_cast<signed char>(down)));
}
