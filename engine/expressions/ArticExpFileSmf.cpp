#include "engine/expressions/ArticExpFileSmf.h"

#include "engine/work/ArticFileIO.h"
#include "engine/work/ArticTicks.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/File.h"

using articticks::AddTicks;

VX_IMPLEMENT_CLASS(CArticExpFile, CArticExpEvnt);
VX_IMPLEMENT_CLASS(CArticExpFileSmf, CArticExpFile);
VX_IMPLEMENT_CLASS(CArticExpFileSmfCont, CArticExpFileSmf);
VX_IMPLEMENT_CLASS(CArticExpFileSmfContCc, CArticExpFileSmfCont);
VX_IMPLEMENT_CLASS(CArticExpFileSmfContPb, CArticExpFileSmfCont);
VX_IMPLEMENT_CLASS(CArticExpFileSmfContCc2, CArticExpFileSmfCont);
VX_IMPLEMENT_CLASS(CArticExpFileSmfContCc3, CArticExpFileSmfCont);
VX_IMPLEMENT_CLASS(CArticExpFileSmfContPb2, CArticExpFileSmfCont);
VX_IMPLEMENT_CLASS(CArticExpFileSmfContPb3, CArticExpFileSmfContPb2);
VX_IMPLEMENT_CLASS(CArticExpFileSmfContPb4, CArticExpFileSmfContPb2);
VX_IMPLEMENT_CLASS(CArticExpFileSmfContPbEg, CArticExpFileSmfContPb4);
VX_IMPLEMENT_CLASS(CArticExpFileSmfContPbEg2, CArticExpFileSmfContPbEg);
VX_IMPLEMENT_CLASS(CArticExpFileSmfFree, CArticExpFile);

namespace {

const char* const kFileSmfEditFailed = "音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集中にｴﾗｰが発生しました。";
const BYTE kFileSmfPutBack = 0x04;  // the value in force at the span end is put back
const BYTE kFileSmfSnap = 0x01;  // measure positions moved onto nearby notes

INT64 NotNegative(INT64 t) { return t > 0 ? t : 0; }

}  // namespace

// ================================================================ Bases

CArticExpFile::CArticExpFile(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName)
    : CArticExpEvnt(owner, evntNo), m_Notes(notes), m_FileName(fileName ? fileName : "") {}

CArticExpFile& CArticExpFile::operator=(const CArticExpFile& src) {
    CArticExpEvnt::operator=(src);
    m_Notes = src.m_Notes;
    m_FileName = src.m_FileName;
    return *this;
}

CString CArticExpFile::GetPathName() const { return CArticUtil::GetLibFullPath(m_FileName); }

bool CArticExpFile::PhraseExists(const CString& path) { return CFile::GetStatus(path); }

void CArticExpFile::ReportFileSmf(const char* content, const CString& method, const char* detail) {
    if (GetErrKind() == 0) DispErrMsg(kPhase1Title, content, method, detail);
}

CArticExpFileSmf::CArticExpFileSmf(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                   const char* fileName, BYTE type, const CArticMeas* meas,
                                   const CArticMeas* endMeas)
    : CArticExpFile(owner, evntNo, notes, fileName), m_Type(type) {
    SetEvntType(1);
    if (meas) m_Meas = *meas;
    if (endMeas) m_EndMeas = *endMeas;
}

CArticExpFileSmf::CArticExpFileSmf(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                   const char* fileName, BYTE type, const CArticMeas* meas, ULONG timeW)
    : CArticExpFile(owner, evntNo, notes, fileName), m_Type(type), m_TimeW(timeW) {
    SetEvntType(2);
    if (meas) m_Meas = *meas;
}

CArticExpFileSmf& CArticExpFileSmf::operator=(const CArticExpFileSmf& src) {
    CArticExpFile::operator=(src);
    m_Type = src.m_Type;
    m_Meas = src.m_Meas;
    m_EndMeas = src.m_EndMeas;
    m_TimeW = src.m_TimeW;
    return *this;
}

int CArticExpFileSmfCont::PasteTarget(CArticWrkBlk* blk, bool needList, CString* path) const {
    if (!GetOwner() || !blk || !blk->GetWrk() || (needList && !blk->GetEvntList())) return 1;
    *path = GetPathName();
    return PhraseExists(*path) ? 0 : 1;
}

template <class F>
int CArticExpFileSmfCont::EachNoteSpan(LONG start, LONG end, F block) {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    if (!notes || notes->IsEmpty()) return 1;
    bool handled = false;
    for (POSITION p = notes->GetHeadPosition(); p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        CArticWrkBlk* blk = note ? note->GetOwner() : nullptr;
        if (!blk) continue;
        const INT64 t = note->GetTime();
        const INT64 S = NotNegative(AddTicks(t, start));
        const INT64 E = AddTicks(t, end);
        if (E < 0 || E <= S) return 1;
        if (int rc = block(blk, S, E, t)) return rc;
        handled = true;
    }
    return handled ? 0 : 1;
}

template <class C>
int CArticExpFileSmfCont::PasteAtNotes(LONG start, LONG end, BYTE area, C* self,
                                       int (C::*worker)(CArticWrkBlk*, INT64, INT64, INT64, BYTE)) {
    return EachNoteSpan(start, end, [&](CArticWrkBlk* blk, INT64 S, INT64 E, INT64 t) {
        return (self->*worker)(blk, S, E, t, area);
    });
}

int CArticExpFileSmfCont::RunPaste(int rc, const char* worker) {
    if (rc != 0) ReportFileSmf(kFileSmfEditFailed, CString("ConvToWrk -> ") + worker);
    return rc;
}

// ================================================================ Measure positions

namespace {

// The span of a measure-position paste: 0; the conversion's failure; 1 for another form.
int FileSmfMeasSpan(CArticWrk* wrk, CArticWrkBlk* blk, BYTE form, BYTE type, const CArticMeas& meas,
                    const CArticMeas& endMeas, ULONG timeW, BYTE nearMode, INT64* T, INT64* S, INT64* E) {
    CArticMeas at = meas;
    if (int rc = CArticWrkUtil::GetTime(wrk, 0, &at, T)) return rc;
    *S = *T;
    if (form == 1) {
        if (type & kFileSmfSnap) {
            *E = AddTicks(*T, 1);
            return 0;
        }
        CArticMeas to = endMeas;
        return CArticWrkUtil::GetTime(wrk, 0, &to, E);
    }
    if (form != 2) return 1;
    *E = AddTicks(*T, INT64(timeW));
    if (type & kFileSmfSnap) {
        INT64 near = *T;
        CArticWrkUtil::GetNearNoteTime(blk, nearMode, &near);
        *S = NotNegative(near);
    }
    return 0;
}

}  // namespace

CArticExpFileSmfContCc& CArticExpFileSmfContCc::operator=(const CArticExpFileSmfContCc& src) {
    CArticExpFileSmfCont::operator=(src);
    m_ContNo = src.m_ContNo;
    m_Mag = src.m_Mag;
    return *this;
}

int CArticExpFileSmfContCc::CreWrkSmfContCc() {
    if (!GetOwner()) return 1;
    CArticWrkBlk* blk = GetMidWrkBlk(0);
    CString path;
    if (PasteTarget(blk, false, &path)) return 1;
    CArticWrk* wrk = blk->GetWrk();
    INT64 T = 0, S = 0, E = 0;
    if (int rc = FileSmfMeasSpan(wrk, blk, GetEvntType(), GetType(), GetMeas(), GetEndMeas(), GetTimeW(), 1, &T, &S,
                                 &E))
        return rc;
    CArticFileIO io;
    CArticWrkEvntList* phrase = nullptr;
    if (CArticWrkUtil::LoadFileSmf(&io, path, &phrase) != 0) return 1;
    return CArticWrkUtil::CreFileSmfContCc(wrk, blk, S, E, phrase, GetType(), MidiData(m_ContNo), m_Mag);
}

int CArticExpFileSmfContCc::ConvToWrk() { return RunPaste(CreWrkSmfContCc(), "CreWrkSmfContCc"); }

CArticExpFileSmfContPb& CArticExpFileSmfContPb::operator=(const CArticExpFileSmfContPb& src) {
    CArticExpFileSmfCont::operator=(src);
    m_Mag = src.m_Mag;
    return *this;
}

int CArticExpFileSmfContPb::CreWrkSmfContPb() {
    if (!GetOwner()) return 1;
    CArticWrkBlk* blk = GetMidWrkBlk(0);
    CString path;
    if (PasteTarget(blk, true, &path)) return 1;
    CArticWrk* wrk = blk->GetWrk();
    INT64 T = 0, S = 0, E = 0;
    if (int rc = FileSmfMeasSpan(wrk, blk, GetEvntType(), GetType(), GetMeas(), GetEndMeas(), GetTimeW(), 0, &T, &S,
                                 &E))
        return rc;
    CArticFileIO io;
    CArticWrkEvntList* phrase = nullptr;
    if (CArticWrkUtil::LoadFileSmf(&io, path, &phrase) != 0) return 1;
    if (GetType() & kFileSmfPutBack)
        return CArticWrkUtil::CreFileSmfContPb(wrk, blk, S, E, phrase, GetType(), m_Mag, 100);
    // The bend the following note had is put back at its start.
    INT64 n = E;
    BYTE mode = 1;
    if (GetEvntType() == 1 && (GetType() & kFileSmfSnap)) {
        n = T;
        mode = 11;
    }
    if (int rc = CArticWrkUtil::GetNearNoteTime(blk, mode, &n)) return rc;
    const INT64 A = NotNegative(n);
    const short level = CArticWrkUtil::GetPbLevel(blk->GetEvntList(), n);
    if (int rc = CArticWrkUtil::CreFileSmfContPb(wrk, blk, S, E, phrase, GetType(), m_Mag, 100)) return rc;
    if (int rc = CArticWrkUtil::DelPbTimeArea(blk->GetEvntList(), A, n)) return rc;
    return CArticWrkUtil::CrePbTime(wrk, blk, A, 0, level);
}

int CArticExpFileSmfContPb::ConvToWrk() { return RunPaste(CreWrkSmfContPb(), "CreWrkSmfContPb"); }

// ================================================================ Controllers at the notes

CArticExpFileSmfContCc2::CArticExpFileSmfContCc2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                                 const char* fileName, BYTE type, LONG start, LONG end, BYTE contNo,
                                                 WORD mag)
    : CArticExpFileSmfCont(owner, evntNo, notes, fileName, type, nullptr, nullptr), m_Start(start), m_End(end),
      m_ContNo(contNo), m_Mag(mag) {}

CArticExpFileSmfContCc2& CArticExpFileSmfContCc2::operator=(const CArticExpFileSmfContCc2& src) {
    CArticExpFileSmfCont::operator=(src);
    m_Start = src.m_Start;
    m_End = src.m_End;
    m_ContNo = src.m_ContNo;
    m_Mag = src.m_Mag;
    return *this;
}

namespace {

// The controller paste at one note: the value in force at the span end is
// kept, the phrase pasted, the span thinned (reso > 0) and, with the
// put-back bit, the kept value restored at the span end.
int FileSmfCcAtNote(const CString& path, CArticWrkBlk* blk, INT64 S, INT64 E,
                    INT64 noteStart, BYTE area, BYTE type, BYTE number, WORD mag, bool thin, WORD reso) {
    CArticWrk* wrk = blk->GetWrk();
    CArticFileIO io;
    CArticWrkEvntList* phrase = nullptr;
    if (CArticWrkUtil::LoadFileSmf(&io, path, &phrase) != 0) return 1;
    const BYTE kept = CArticWrkUtil::GetFrontContVal(blk->GetEvntList(), AddTicks(E, 1), number);
    int rc = area ? CArticWrkUtil::CreFileSmfContCc2I(wrk, blk, NotNegative(noteStart), S, E, phrase, type, number, mag)
                  : CArticWrkUtil::CreFileSmfContCc2(wrk, blk, S, E, phrase, type, number, mag);
    if (rc == 0 && thin) rc = CArticWrkUtil::ResoContCc(wrk, blk, number, S, E, reso);
    if (rc == 0 && (type & kFileSmfPutBack)) {
        CArticWrkUtil::DelContCcTime(blk, E, number);
        rc = CArticWrkUtil::CreContCcTime(wrk, blk, E, number, kept);
    }
    return rc;
}

}  // namespace

int CArticExpFileSmfContCc2::CreWrkSmfContCc2(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area) {
    CString path;
    if (PasteTarget(blk, false, &path)) return 1;
    return FileSmfCcAtNote(path, blk, start, end, noteStart, area, GetType(), MidiData(m_ContNo), m_Mag, false, 0);
}

int CArticExpFileSmfContCc2::CreWrkSmfContCc2(BYTE area) {
    return PasteAtNotes(m_Start, m_End, area, this, &CArticExpFileSmfContCc2::CreWrkSmfContCc2);
}

int CArticExpFileSmfContCc2::ConvToWrk() { return RunPaste(CreWrkSmfContCc2(AreaFlag(m_Start)), "CreWrkSmfContCc2"); }

CArticExpFileSmfContCc3::CArticExpFileSmfContCc3(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                                 const char* fileName, BYTE type, LONG start, LONG end, BYTE contNo,
                                                 WORD mag, WORD reso)
    : CArticExpFileSmfCont(owner, evntNo, notes, fileName, type, nullptr, nullptr), m_Start(start), m_End(end),
      m_ContNo(contNo), m_Mag(mag), m_Reso(reso) {}

CArticExpFileSmfContCc3& CArticExpFileSmfContCc3::operator=(const CArticExpFileSmfContCc3& src) {
    CArticExpFileSmfCont::operator=(src);
    m_Start = src.m_Start;
    m_End = src.m_End;
    m_ContNo = src.m_ContNo;
    m_Mag = src.m_Mag;
    m_Reso = src.m_Reso;
    return *this;
}

int CArticExpFileSmfContCc3::CreWrkSmfContCc3(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area) {
    CString path;
    if (PasteTarget(blk, false, &path)) return 1;
    return FileSmfCcAtNote(path, blk, start, end, noteStart, area, GetType(), MidiData(m_ContNo), m_Mag, true, m_Reso);
}

int CArticExpFileSmfContCc3::CreWrkSmfContCc3(BYTE area) {
    return PasteAtNotes(m_Start, m_End, area, this, &CArticExpFileSmfContCc3::CreWrkSmfContCc3);
}

int CArticExpFileSmfContCc3::ConvToWrk() { return RunPaste(CreWrkSmfContCc3(AreaFlag(m_Start)), "CreWrkSmfContCc3"); }

// ================================================================ Pitch bend at the notes

CArticExpFileSmfContPb2::CArticExpFileSmfContPb2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                                 const char* fileName, BYTE type, LONG start, LONG end, WORD mag)
    : CArticExpFileSmfCont(owner, evntNo, notes, fileName, type, nullptr, nullptr), m_Start(start), m_End(end),
      m_Mag(mag) {}

CArticExpFileSmfContPb2& CArticExpFileSmfContPb2::operator=(const CArticExpFileSmfContPb2& src) {
    CArticExpFileSmfCont::operator=(src);
    m_Start = src.m_Start;
    m_End = src.m_End;
    m_Mag = src.m_Mag;
    return *this;
}

int CArticExpFileSmfContPb2::PastePb(CArticWrk* wrk, CArticWrkBlk* blk, INT64 origin, INT64 start, INT64 end,
                                     CArticWrkEvntList* phrase, BYTE flags, BYTE area) {
    return area ? CArticWrkUtil::CreFileSmfContPbI(wrk, blk, origin, start, end, phrase, flags, m_Mag, 100)
                : CArticWrkUtil::CreFileSmfContPb(wrk, blk, start, end, phrase, flags, m_Mag, 100);
}

int CArticExpFileSmfContPb2::CreWrkSmfContPb2(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area) {
    CString path;
    if (PasteTarget(blk, true, &path)) return 1;
    CArticWrk* wrk = blk->GetWrk();
    const INT64 origin = NotNegative(noteStart);
    const BYTE flags = BYTE(CArticWrkUtil::ResetPbType(GetType()));
    CArticFileIO io;
    CArticWrkEvntList* phrase = nullptr;
    if (flags & kFileSmfPutBack) {
        if (CArticWrkUtil::LoadFileSmf(&io, path, &phrase) != 0) return 1;
        return PastePb(wrk, blk, origin, start, end, phrase, flags, area);
    }
    INT64 n = end;
    if (int rc = CArticWrkUtil::GetNearNoteTime(blk, 1, &n)) return rc;
    const INT64 A = NotNegative(n);
    const short level = CArticWrkUtil::GetPbLevel(blk->GetEvntList(), n);
    CArticWrkUtil::LoadFileSmf(&io, path, &phrase);
    if (int rc = PastePb(wrk, blk, origin, start, end, phrase, flags, area)) return rc;
    if (int rc = CArticWrkUtil::DelPbTimeArea(blk->GetEvntList(), A, n)) return rc;
    return CArticWrkUtil::CrePbTime(wrk, blk, A, 0, level);
}

int CArticExpFileSmfContPb2::PasteThinned(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area,
                                          WORD reso) {
    CString path;
    if (PasteTarget(blk, true, &path)) return 1;
    CArticWrk* wrk = blk->GetWrk();
    const INT64 origin = NotNegative(noteStart);
    const BYTE flags = BYTE(CArticWrkUtil::ResetPbType(GetType()));
    CArticFileIO io;
    CArticWrkEvntList* phrase = nullptr;
    if (flags & kFileSmfPutBack) {
        if (CArticWrkUtil::LoadFileSmf(&io, path, &phrase) != 0) return 1;
        const short level = CArticWrkUtil::GetPbLevel(blk->GetEvntList(), end);
        if (int rc = PastePb(wrk, blk, origin, start, end, phrase, flags, area)) return rc;
        if (int rc = CArticWrkUtil::ResoContPb(wrk, blk, start, end, reso)) return rc;
        return CArticWrkUtil::CrePbTime(wrk, blk, end, 0, level);
    }
    INT64 n = end;
    int found = 0;
    if (int rc = CArticWrkUtil::GetNearNoteTime2(blk, 1, &n, &found)) return rc;
    const INT64 A = NotNegative(n);
    const short level = CArticWrkUtil::GetPbLevel(blk->GetEvntList(), n);
    CArticWrkUtil::LoadFileSmf(&io, path, &phrase);
    if (int rc = PastePb(wrk, blk, origin, start, end, phrase, flags, area)) return rc;
    if (int rc = CArticWrkUtil::ResoContPb(wrk, blk, start, end, reso)) return rc;
    if (int rc = CArticWrkUtil::DelPbTimeArea(blk->GetEvntList(), A, n)) return rc;
    return found == 1 ? CArticWrkUtil::CrePbTime(wrk, blk, A, 0, level) : 0;
}

int CArticExpFileSmfContPb2::CreWrkSmfContPb2(BYTE area) {
    return PasteAtNotes(m_Start, m_End, area, this, &CArticExpFileSmfContPb2::CreWrkSmfContPb2);
}

int CArticExpFileSmfContPb2::ConvToWrk() { return RunPaste(CreWrkSmfContPb2(AreaFlag(m_Start)), "CreWrkSmfContPb2"); }

CArticExpFileSmfContPb3& CArticExpFileSmfContPb3::operator=(const CArticExpFileSmfContPb3& src) {
    CArticExpFileSmfContPb2::operator=(src);
    m_Reso = src.m_Reso;
    return *this;
}

int CArticExpFileSmfContPb3::CreWrkSmfContPb3(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area) {
    return PasteThinned(blk, start, end, noteStart, area, m_Reso);
}

int CArticExpFileSmfContPb3::CreWrkSmfContPb3(BYTE area) {
    return PasteAtNotes(GetStart(), GetEnd(), area, this, &CArticExpFileSmfContPb3::CreWrkSmfContPb3);
}

int CArticExpFileSmfContPb3::ConvToWrk() {
    return RunPaste(CreWrkSmfContPb3(AreaFlag(GetStart())), "CreWrkSmfContPb3");
}

CArticExpFileSmfContPb4& CArticExpFileSmfContPb4::operator=(const CArticExpFileSmfContPb4& src) {
    CArticExpFileSmfContPb2::operator=(src);
    m_TimeMag = src.m_TimeMag;
    m_Reso = src.m_Reso;
    return *this;
}

int CArticExpFileSmfContPb4::PastePb(CArticWrk* wrk, CArticWrkBlk* blk, INT64 origin, INT64 start, INT64 end,
                                     CArticWrkEvntList* phrase, BYTE flags, BYTE area) {
    return area ? CArticWrkUtil::CreFileSmfContPbI(wrk, blk, origin, start, end, phrase, flags, GetMag(), m_TimeMag)
                : CArticWrkUtil::CreFileSmfContPb(wrk, blk, start, end, phrase, flags, GetMag(), m_TimeMag);
}

int CArticExpFileSmfContPb4::CreWrkSmfContPb4(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area) {
    return PasteThinned(blk, start, end, noteStart, area, m_Reso);
}

int CArticExpFileSmfContPb4::CreWrkSmfContPb4(BYTE area) {
    return PasteAtNotes(GetStart(), GetEnd(), area, this, &CArticExpFileSmfContPb4::CreWrkSmfContPb4);
}

int CArticExpFileSmfContPb4::ConvToWrk() {
    return RunPaste(CreWrkSmfContPb4(AreaFlag(GetStart())), "CreWrkSmfContPb4");
}

CArticExpFileSmfContPbEg& CArticExpFileSmfContPbEg::operator=(const CArticExpFileSmfContPbEg& src) {
    CArticExpFileSmfContPb4::operator=(src);
    m_AtkTime = src.m_AtkTime;
    m_RlsTime = src.m_RlsTime;
    return *this;
}

int CArticExpFileSmfContPbEg::PastePb(CArticWrk* wrk, CArticWrkBlk* blk, INT64 origin, INT64 start, INT64 end,
                                      CArticWrkEvntList* phrase, BYTE flags, BYTE area) {
    return area ? CArticWrkUtil::CreFileSmfContPbEgI(wrk, blk, origin, start, end, phrase, flags, m_AtkTime,
                                                     m_RlsTime, GetMag(), GetTimeMag())
                : CArticWrkUtil::CreFileSmfContPbEg(wrk, blk, start, end, phrase, flags, m_AtkTime, m_RlsTime,
                                                    GetMag(), GetTimeMag());
}

int CArticExpFileSmfContPbEg::CreWrkSmfContPbEg(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart,
                                                BYTE area) {
    return PasteThinned(blk, start, end, noteStart, area, GetReso());
}

int CArticExpFileSmfContPbEg::CreWrkSmfContPbEg(BYTE area) {
    return PasteAtNotes(GetStart(), GetEnd(), area, this, &CArticExpFileSmfContPbEg::CreWrkSmfContPbEg);
}

int CArticExpFileSmfContPbEg::ConvToWrk() {
    return RunPaste(CreWrkSmfContPbEg(AreaFlag(GetStart())), "CreWrkSmfContPbEg");
}

CArticExpFileSmfContPbEg2& CArticExpFileSmfContPbEg2::operator=(const CArticExpFileSmfContPbEg2& src) {
    CArticExpFileSmfContPbEg::operator=(src);
    m_RandMag = src.m_RandMag;
    return *this;
}

int CArticExpFileSmfContPbEg2::PastePb(CArticWrk* wrk, CArticWrkBlk* blk, INT64 origin, INT64 start, INT64 end,
                                       CArticWrkEvntList* phrase, BYTE flags, BYTE area) {
    return area ? CArticWrkUtil::CreFileSmfContPbEg2I(wrk, blk, origin, start, end, phrase, flags, GetAtkTime(),
                                                      GetRlsTime(), GetMag(), m_RandMag, GetTimeMag())
                : CArticWrkUtil::CreFileSmfContPbEg2(wrk, blk, start, end, phrase, flags, GetAtkTime(), GetRlsTime(),
                                                     GetMag(), m_RandMag, GetTimeMag());
}

int CArticExpFileSmfContPbEg2::CreWrkSmfContPbEg2(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart,
                                                  BYTE area) {
    return PasteThinned(blk, start, end, noteStart, area, GetReso());
}

int CArticExpFileSmfContPbEg2::CreWrkSmfContPbEg2(BYTE area) {
    return PasteAtNotes(GetStart(), GetEnd(), area, this, &CArticExpFileSmfContPbEg2::CreWrkSmfContPbEg2);
}

int CArticExpFileSmfContPbEg2::ConvToWrk() {
    return RunPaste(CreWrkSmfContPbEg2(AreaFlag(GetStart())), "CreWrkSmfContPbEg2");
}

// ================================================================ Free paste

CArticExpFileSmfFree::CArticExpFileSmfFree(CArticExpBlk* owner, ULONG evntNo, const char* fileName,
                                           const CArticMeas* meas)
    : CArticExpFile(owner, evntNo, nullptr, fileName), m_pMeas(new CArticMeas(1, 1, 0)) {
    if (meas) *m_pMeas = *meas;
}

CArticExpFileSmfFree::~CArticExpFileSmfFree() { delete m_pMeas; }

CArticExpFileSmfFree& CArticExpFileSmfFree::operator=(const CArticExpFileSmfFree& src) {
    CArticExpFile::operator=(src);
    if (src.m_pMeas) {
        if (!m_pMeas) m_pMeas = new CArticMeas;
        *m_pMeas = *src.m_pMeas;
    }
    return *this;
}

void CArticExpFileSmfFree::GetMeas(ULONG* meas, ULONG* beat, ULONG* tick) const {
    if (m_pMeas) m_pMeas->Get(meas, beat, tick);
}

void CArticExpFileSmfFree::SetMeas(ULONG meas, ULONG beat, ULONG tick) {
    if (m_pMeas) m_pMeas->Set(meas, beat, tick);
}

int CArticExpFileSmfFree::CreWrkSmfFree() {
    if (!GetOwner()) return 1;
    CArticWrkBlk* blk = GetMidWrkBlk(0);
    const CString path = GetPathName();
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    if (!blk || !wrk || !m_pMeas || !PhraseExists(path)) {
        ReportFileSmf(kFileSmfEditFailed, "ConvToWrk -> CreWrkSmfFree", "SMFﾗｲﾌﾞﾗﾘが存在しません");
        return 1;
    }
    CArticFileIO io;
    CArticWrkEvntList* phrase = nullptr;
    if (CArticWrkUtil::LoadFileSmf(&io, path, &phrase) != 0) return 1;
    INT64 T = 0;
    if (int rc = CArticWrkUtil::GetTime(wrk, 0, m_pMeas, &T)) return rc;
    return CArticWrkUtil::StoreEvntList(wrk, blk, phrase, T);
}

int CArticExpFileSmfFree::ConvToWrk() {
    const int rc = CreWrkSmfFree();
    if (rc != 0) ReportFileSmf("SMFを読込んでｲﾍﾞﾝﾄを挿入する際にｴﾗｰが発生した。", "ConvToWrk -> CreWrkSmfFree");
    return rc;
}
