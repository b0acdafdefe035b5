#include "engine/expressions/ArticExpFileSmfNote.h"

#include "engine/work/ArticFileIO.h"
#include "engine/work/ArticTicks.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::AddTicks;
using articticks::SubTicks;

VX_IMPLEMENT_CLASS(CArticExpFileSmfNote, CArticExpFile);
VX_IMPLEMENT_CLASS(CArticExpFileSmfNoteTril2, CArticExpFileSmfNote);
VX_IMPLEMENT_CLASS(CArticExpFileSmfNoteTril3, CArticExpFileSmfNote);
VX_IMPLEMENT_CLASS(CArticExpFileSmfNoteTurn, CArticExpFileSmfNote);
VX_IMPLEMENT_CLASS(CArticExpFileSmfNoteTurn2, CArticExpFileSmfNote);
VX_IMPLEMENT_CLASS(CArticExpFileSmfNoteMord2, CArticExpFileSmfNote);
VX_IMPLEMENT_CLASS(CArticExpFileSmfNoteTrml1, CArticExpFileSmfNote);
VX_IMPLEMENT_CLASS(CArticExpFileSmfNoteTrml2, CArticExpFileSmfNote);
VX_IMPLEMENT_CLASS(CArticExpFileSmfNoteGlis1, CArticExpFileSmfNote);
VX_IMPLEMENT_CLASS(CArticExpFileSmfNoteArpg, CArticExpFileSmfNote);

namespace {

const char* const kSmfNoteEditFailed = "音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集中にｴﾗｰが発生しました。";
const char* const kSmfNoteMissing = "SMFﾗｲﾌﾞﾗﾘが存在しません";
const char* const kSmfNoteBadPhrase = "SMFﾗｲﾌﾞﾗﾘの中に含まれるNote情報に誤りがあります。";

// The phrase's first note start and its note span: 0; 1 for a phrase without notes.
int SmfNoteRange(CArticWrkEvntList* phrase, INT64* start, INT64* length) {
    INT64 end = 0;
    if (CArticWrkUtil::GetNoteTimeRange(phrase, start, &end)) return 1;
    *length = end - *start;
    return 0;
}

}  // namespace

// ================================================================ Base

CArticExpFileSmfNote::CArticExpFileSmfNote(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                           const char* fileName, ULONG time, signed char temp, signed char upShift,
                                           signed char downShift)
    : CArticExpFile(owner, evntNo, notes, fileName), m_Time(time), m_Temp(temp), m_UpShift(upShift),
      m_DownShift(downShift) {}

CArticExpFileSmfNote& CArticExpFileSmfNote::operator=(const CArticExpFileSmfNote& src) {
    CArticExpFile::operator=(src);
    m_Time = src.m_Time;
    m_Temp = src.m_Temp;
    m_UpShift = src.m_UpShift;
    m_DownShift = src.m_DownShift;
    return *this;
}

bool CArticExpFileSmfNote::CheckPhrase(const CString& path, const char* worker, const char* detail) {
    if (PhraseExists(path)) return true;
    ReportFileSmf(kSmfNoteEditFailed, CString("ConvToWrk -> ") + worker, detail);
    return false;
}

int CArticExpFileSmfNote::LoadPhrase(CArticFileIO* io, const CString& path, CArticWrkEvntList** list) {
    *list = nullptr;
    return CArticWrkUtil::LoadFileSmf(io, path, list) == 0 && *list ? 0 : 1;
}

int CArticExpFileSmfNote::ReportInserter(int rc, const char* content, const char* inserter) {
    if (rc != 0) ReportFileSmf(content, CString("ConvToWrk -> ") + inserter, kSmfNoteBadPhrase);
    return rc;
}

bool CArticExpFileSmfNote::Qualifies(const CArticWrkEvnt* evnt) {
    return evnt && evnt->GetStatus() == 0x90 && evnt->GetOwner() && evnt->GetOwner()->GetWrk();
}

int CArticExpFileSmfNote::OpenOne(const char* worker, CArticFileIO* io, CArticWrkEvntList** phrase) {
    if (!GetOwner()) return 1;
    const CString path = GetPathName();
    if (!CheckPhrase(path, worker, kSmfNoteMissing)) return 1;
    if (!GetWrkEvntList()) return 1;
    return LoadPhrase(io, path, phrase);
}

template <class F>
int CArticExpFileSmfNote::EachQualifying(F insert) {
    int first = 0;
    bool tried = false;
    const CArticWrkEvntList* notes = GetWrkEvntList();
    for (POSITION p = notes ? notes->GetHeadPosition() : nullptr; p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        if (!Qualifies(note)) continue;
        tried = true;
        const int rc = insert(note);
        if (rc == 0)
            m_Made.push_back(note);
        else if (first == 0)
            first = rc;
    }
    return tried ? first : 1;
}

int CArticExpFileSmfNote::RunOrnament(int rc, const char* worker) {
    if (rc != 0) ReportFileSmf(kSmfNoteEditFailed, CString("ConvToWrk -> ") + worker);
    return rc;
}

int CArticExpFileSmfNote::ConvToWrk2() {
    if (!GetOwner() || !GetWrkEvntList()) return 1;
    // A failed phase 1 has reported; the notes it made ornaments for go all the same.
    if (m_Made.empty()) return GetError() != 0 ? 0 : 1;
    CArticWrk* wrk = GetMidWrk();
    int rc = 0;
    for (CArticWrkEvnt* note : m_Made) {
        // Only the address is compared: a note another expression removed is not read.
        if (!wrk || !wrk->IsEvntPos(note)) continue;
        rc = CArticWrkUtil::DelEvnt(note);
        if (rc != 0) break;
    }
    m_Made.clear();
    return rc;
}

// ================================================================ Unsupported

CArticExpFileSmfNoteTril2::CArticExpFileSmfNoteTril2(CArticExpBlk* owner, ULONG evntNo,
                                                     const CArticWrkEvntList* notes, const char* frontFileName,
                                                     const char* fileName, const char* backFileName, ULONG time,
                                                     ULONG frontTime, ULONG backTime, BYTE frontType, BYTE type,
                                                     BYTE backType, signed char temp, signed char upShift,
                                                     signed char downShift)
    : CArticExpFileSmfNote(owner, evntNo, notes, fileName, time, temp, upShift, downShift),
      m_FrontFileName(frontFileName ? frontFileName : ""), m_BackFileName(backFileName ? backFileName : ""),
      m_FrontTime(frontTime), m_BackTime(backTime), m_FrontType(frontType), m_Type(type), m_BackType(backType) {}

CArticExpFileSmfNoteTril2& CArticExpFileSmfNoteTril2::operator=(const CArticExpFileSmfNoteTril2& src) {
    CArticExpFileSmfNote::operator=(src);
    m_FrontFileName = src.m_FrontFileName;
    m_BackFileName = src.m_BackFileName;
    m_FrontTime = src.m_FrontTime;
    m_BackTime = src.m_BackTime;
    m_FrontType = src.m_FrontType;
    m_Type = src.m_Type;
    m_BackType = src.m_BackType;
    return *this;
}

CString CArticExpFileSmfNoteTril2::GetFrontPathName() const { return CArticUtil::GetLibFullPath(m_FrontFileName); }
CString CArticExpFileSmfNoteTril2::GetBackPathName() const { return CArticUtil::GetLibFullPath(m_BackFileName); }

int CArticExpFileSmfNoteTril2::ConvToWrk() {
    ReportFileSmf("未対応のため、ﾄﾘﾙ表現を追加することができません。", "ConvToWrk -> CreWrkSmfNoteTril2");
    return 1;
}

CArticExpFileSmfNoteTurn& CArticExpFileSmfNoteTurn::operator=(const CArticExpFileSmfNoteTurn& src) {
    CArticExpFileSmfNote::operator=(src);
    m_Type = src.m_Type;
    return *this;
}

int CArticExpFileSmfNoteTurn::ConvToWrk() {
    ReportFileSmf("未対応のため、ﾀｰﾝ表現を追加することができません。", "ConvToWrk -> CreWrkSmfNoteTurn");
    return 1;
}

// ================================================================ Trill

CArticExpFileSmfNoteTril3::CArticExpFileSmfNoteTril3(CArticExpBlk* owner, ULONG evntNo,
                                                     const CArticWrkEvntList* notes, const char* frontFileName,
                                                     const char* fileName, const char* backFileName, ULONG time,
                                                     ULONG frontTime, ULONG backTime, signed char temp,
                                                     signed char upShift, signed char downShift)
    : CArticExpFileSmfNote(owner, evntNo, notes, fileName, time, temp, upShift, downShift),
      m_FrontFileName(frontFileName ? frontFileName : ""), m_BackFileName(backFileName ? backFileName : ""),
      m_FrontTime(frontTime), m_BackTime(backTime) {}

CArticExpFileSmfNoteTril3& CArticExpFileSmfNoteTril3::operator=(const CArticExpFileSmfNoteTril3& src) {
    CArticExpFileSmfNote::operator=(src);
    m_FrontFileName = src.m_FrontFileName;
    m_BackFileName = src.m_BackFileName;
    m_FrontTime = src.m_FrontTime;
    m_BackTime = src.m_BackTime;
    return *this;
}

CString CArticExpFileSmfNoteTril3::GetFrontPathName() const { return CArticUtil::GetLibFullPath(m_FrontFileName); }
CString CArticExpFileSmfNoteTril3::GetBackPathName() const { return CArticUtil::GetLibFullPath(m_BackFileName); }

int CArticExpFileSmfNoteTril3::InsertNoteTril3(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase,
                                               BYTE key, BYTE velo, INT64 start, INT64 length, BYTE part,
                                               CArticWrkEvnt** link) {
    if (!wrk || !blk || !phrase || length < 0) return 1;
    if (length == 0) return 0;
    INT64 from = 0, span = 0;
    if (SmfNoteRange(phrase, &from, &span)) return 1;
    const int rc = CArticWrkUtil::InsNoteTrill(wrk, blk, phrase, key, velo, GetTemp(), GetUpShift(), GetDownShift(),
                                               start, length, from, span, part, link);
    return ReportInserter(rc, "ﾄﾘﾙ前打音またはﾄﾘﾙ後打音の作成時にｴﾗｰが発生しました。", "InsertNoteTril3");
}

int CArticExpFileSmfNoteTril3::InsertNoteTril3(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase,
                                               BYTE key, BYTE velo, INT64 start, INT64 length, CArticWrkEvnt* front,
                                               CArticWrkEvnt* back) {
    if (!wrk || !blk || !phrase || length <= 0) return 1;
    INT64 from = 0, span = 0;
    if (SmfNoteRange(phrase, &from, &span)) return 1;
    CArticWrkEvnt* last = nullptr;
    const int rc = CArticWrkUtil::InsertNoteTrill(wrk, blk, phrase, key, velo, GetTemp(), GetUpShift(),
                                                  GetDownShift(), start, length, from, span, 1, front, back, &last);
    return ReportInserter(rc, "ﾄﾘﾙ本体の作成時にｴﾗｰが発生しました。", "InsertNoteTril3");
}

int CArticExpFileSmfNoteTril3::CreWrkSmfNoteTril3() {
    const char* const worker = "CreWrkSmfNoteTril3";
    if (!GetOwner()) return 1;
    const CString frontPath = GetFrontPathName(), bodyPath = GetPathName(), backPath = GetBackPathName();
    if (!CheckPhrase(frontPath, worker, "前打音のSMFﾗｲﾌﾞﾗﾘが存在しません") ||
        !CheckPhrase(bodyPath, worker, "本体のSMFﾗｲﾌﾞﾗﾘが存在しません") ||
        !CheckPhrase(backPath, worker, "後打音のSMFﾗｲﾌﾞﾗﾘが存在しません"))
        return 1;
    if (!GetWrkEvntList()) return 1;
    CArticFileIO frontIo, bodyIo, backIo;
    CArticWrkEvntList *front = nullptr, *body = nullptr, *back = nullptr;
    const int loaded = LoadPhrase(&frontIo, frontPath, &front) | LoadPhrase(&bodyIo, bodyPath, &body) |
                       LoadPhrase(&backIo, backPath, &back);
    if (loaded != 0) return 1;
    const INT64 time = GetTime();
    return EachQualifying([&](CArticWrkEvnt* note) {
        CArticWrkBlk* blk = note->GetOwner();
        CArticWrk* wrk = blk->GetWrk();
        const BYTE key = note->GetPost1(), velo = note->GetPost2();
        const INT64 t = note->GetTime();
        CArticWrkEvnt *last = nullptr, *first = nullptr;
        if (int rc = InsertNoteTril3(wrk, blk, front, key, velo, t, m_FrontTime, 0, &last)) return rc;
        if (int rc = InsertNoteTril3(wrk, blk, back, key, velo, SubTicks(AddTicks(t, time), m_BackTime), m_BackTime, 1, &first))
            return rc;
        const INT64 bodyLength = LONG(time - m_FrontTime - m_BackTime);
        return InsertNoteTril3(wrk, blk, body, key, velo, AddTicks(t, m_FrontTime), bodyLength, last, first);
    });
}

int CArticExpFileSmfNoteTril3::ConvToWrk() {
    m_Made.clear();
    return RunOrnament(CreWrkSmfNoteTril3(), "CreWrkSmfNoteTril3");
}

// ================================================================ Turn, mordent, tremolo

int CArticExpFileSmfNoteTurn2::InsertNoteTurn2(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase, BYTE key,
                                               BYTE velo, INT64 start, INT64 length) {
    if (!wrk || !blk || !phrase || length <= 0) return 1;
    INT64 from = 0, span = 0;
    if (SmfNoteRange(phrase, &from, &span)) return 1;
    CArticWrkEvnt* out = nullptr;
    const int rc = CArticWrkUtil::InsNoteTrill(wrk, blk, phrase, key, velo, GetTemp(), GetUpShift(), GetDownShift(),
                                               start, length, from, span, 0, &out);
    return ReportInserter(rc, "ﾀｰﾝの作成時にｴﾗｰが発生しました。", "InsertNoteTurn2");
}

int CArticExpFileSmfNoteTurn2::CreWrkSmfNoteTurn2() {
    CArticFileIO io;
    CArticWrkEvntList* phrase = nullptr;
    if (OpenOne("CreWrkSmfNoteTurn2", &io, &phrase)) return 1;
    return EachQualifying([&](CArticWrkEvnt* note) {
        return InsertNoteTurn2(note->GetOwner()->GetWrk(), note->GetOwner(), phrase, note->GetPost1(),
                               note->GetPost2(), note->GetTime(), GetTime());
    });
}

int CArticExpFileSmfNoteTurn2::ConvToWrk() {
    m_Made.clear();
    return RunOrnament(CreWrkSmfNoteTurn2(), "CreWrkSmfNoteTurn2");
}

int CArticExpFileSmfNoteMord2::InsertNoteMord2(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase, BYTE key,
                                               BYTE velo, INT64 start, INT64 length) {
    if (!wrk || !blk || !phrase || length <= 0) return 1;
    INT64 from = 0, span = 0;
    if (SmfNoteRange(phrase, &from, &span)) return 1;
    const int rc = CArticWrkUtil::InsertNoteMord(wrk, blk, phrase, key, velo, GetTemp(), GetUpShift(),
                                                 GetDownShift(), start, length, from, span);
    return ReportInserter(rc, "ﾓﾙﾃﾞﾝﾄの作成時にｴﾗｰが発生しました。", "InsertNoteMord2");
}

int CArticExpFileSmfNoteMord2::CreWrkSmfNoteMord2() {
    CArticFileIO io;
    CArticWrkEvntList* phrase = nullptr;
    if (OpenOne("CreWrkSmfNoteMord2", &io, &phrase)) return 1;
    return EachQualifying([&](CArticWrkEvnt* note) {
        return InsertNoteMord2(note->GetOwner()->GetWrk(), note->GetOwner(), phrase, note->GetPost1(),
                               note->GetPost2(), note->GetTime(), GetTime());
    });
}

int CArticExpFileSmfNoteMord2::ConvToWrk() {
    m_Made.clear();
    return RunOrnament(CreWrkSmfNoteMord2(), "CreWrkSmfNoteMord2");
}

CArticExpFileSmfNoteTrml1& CArticExpFileSmfNoteTrml1::operator=(const CArticExpFileSmfNoteTrml1& src) {
    CArticExpFileSmfNote::operator=(src);
    m_Num = src.m_Num;
    m_RandTime = src.m_RandTime;
    m_RandVelo = src.m_RandVelo;
    return *this;
}

int CArticExpFileSmfNoteTrml1::InsertNoteTrml1(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase, BYTE key,
                                               BYTE velo, INT64 start, INT64 length) {
    if (!wrk || !blk || !phrase || length <= 0) return 1;
    const int rc = CArticWrkUtil::InsertNoteTrml(wrk, blk, phrase, key, velo, m_Num, m_RandTime, m_RandVelo, start,
                                                 length);
    return ReportInserter(rc, "ﾄﾚﾓﾛの作成時にｴﾗｰが発生しました。", "InsertNoteTrml1");
}

int CArticExpFileSmfNoteTrml1::CreWrkSmfNoteTrml1() {
    CArticFileIO io;
    CArticWrkEvntList* phrase = nullptr;
    if (OpenOne("CreWrkSmfNoteTrml1", &io, &phrase)) return 1;
    return EachQualifying([&](CArticWrkEvnt* note) {
        return InsertNoteTrml1(note->GetOwner()->GetWrk(), note->GetOwner(), phrase, note->GetPost1(),
                               note->GetPost2(), note->GetTime(), GetTime());
    });
}

int CArticExpFileSmfNoteTrml1::ConvToWrk() {
    m_Made.clear();
    return RunOrnament(CreWrkSmfNoteTrml1(), "CreWrkSmfNoteTrml1");
}

// ================================================================ Two-chord tremolo

CArticExpFileSmfNoteTrml2::CArticExpFileSmfNoteTrml2(CArticExpBlk* owner, ULONG evntNo,
                                                     const CArticWrkEvntList* notes, const CArticWrkEvntList* notes2,
                                                     const char* fileName, ULONG time, BYTE num, BYTE randTime,
                                                     BYTE randVelo, signed char lowVelo, signed char midVelo)
    : CArticExpFileSmfNote(owner, evntNo, notes, fileName, time, 0, 0, 0), m_Notes2(notes2), m_Num(num),
      m_RandTime(randTime), m_RandVelo(randVelo), m_LowVelo(lowVelo), m_MidVelo(midVelo) {}

CArticExpFileSmfNoteTrml2& CArticExpFileSmfNoteTrml2::operator=(const CArticExpFileSmfNoteTrml2& src) {
    CArticExpFileSmfNote::operator=(src);
    m_Notes2 = src.m_Notes2;
    m_Num = src.m_Num;
    m_RandTime = src.m_RandTime;
    m_RandVelo = src.m_RandVelo;
    m_LowVelo = src.m_LowVelo;
    m_MidVelo = src.m_MidVelo;
    return *this;
}

int CArticExpFileSmfNoteTrml2::InsertNoteTrml2(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase,
                                               INT64 start, INT64 length) {
    if (!wrk || !blk || !phrase || length <= 0) return 1;
    const int rc = CArticWrkUtil::InsertNoteTrml2(wrk, blk, GetWrkEvntList(), m_Notes2.Get(), phrase, m_Num,
                                                  m_RandTime, m_RandVelo, m_LowVelo, m_MidVelo, start, length);
    return ReportInserter(rc, "ﾄﾚﾓﾛの作成時にｴﾗｰが発生しました。", "InsertNoteTrml2");
}

int CArticExpFileSmfNoteTrml2::CreWrkSmfNoteTrml2() {
    CArticFileIO io;
    CArticWrkEvntList* phrase = nullptr;
    if (OpenOne("CreWrkSmfNoteTrml2", &io, &phrase)) return 1;
    const CArticWrkEvntList* notes = GetWrkEvntList();
    CArticWrkEvnt* first = notes->IsEmpty() ? nullptr : notes->GetHead();
    if (!Qualifies(first)) return 1;
    const int rc = InsertNoteTrml2(first->GetOwner()->GetWrk(), first->GetOwner(), phrase, first->GetTime(), GetTime());
    if (rc != 0) return rc;
    // Both chords give way to the tremolo.
    for (const CArticWrkEvntList* list : {notes, static_cast<const CArticWrkEvntList*>(m_Notes2.Get())})
        for (POSITION p = list ? list->GetHeadPosition() : nullptr; p;)
            if (CArticWrkEvnt* e = list->GetNext(p)) m_Made.push_back(e);
    return 0;
}

int CArticExpFileSmfNoteTrml2::ConvToWrk() {
    m_Made.clear();
    return RunOrnament(CreWrkSmfNoteTrml2(), "CreWrkSmfNoteTrml2");
}

// ================================================================ Glissando, arpeggio

int CArticExpFileSmfNoteGlis1::InsertNoteGlis1(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase, BYTE key,
                                               BYTE velo, BYTE nextKey, INT64 start, INT64 length) {
    if (!wrk || !blk || !phrase || length <= 0) return 1;
    INT64 from = 0, span = 0;
    if (SmfNoteRange(phrase, &from, &span)) return 1;
    const int rc =
        CArticWrkUtil::InsertNoteGlis(wrk, blk, phrase, key, nextKey, velo, start, length, from, span);
    return ReportInserter(rc, "ｸﾞﾘｯｻﾝドの作成時にｴﾗｰが発生しました。", "InsertNoteGlis1");
}

int CArticExpFileSmfNoteGlis1::CreWrkSmfNoteGlis1() {
    CArticFileIO io;
    CArticWrkEvntList* phrase = nullptr;
    if (OpenOne("CreWrkSmfNoteGlis1", &io, &phrase)) return 1;
    const CArticWrkEvntList* notes = GetWrkEvntList();
    int first = 0;
    bool tried = false;
    POSITION p = notes->GetHeadPosition();
    CArticWrkEvnt* cur = p ? notes->GetNext(p) : nullptr;
    while (p) {
        CArticWrkEvnt* next = notes->GetNext(p);
        if (Qualifies(cur) && next && next->GetStatus() == 0x90) {
            tried = true;
            const int rc = InsertNoteGlis1(cur->GetOwner()->GetWrk(), cur->GetOwner(), phrase, cur->GetPost1(),
                                           cur->GetPost2(), next->GetPost1(), cur->GetTime(), GetTime());
            if (rc == 0)
                m_Made.push_back(cur);
            else if (first == 0)
                first = rc;
        }
        cur = next;
    }
    return tried ? first : 1;
}

int CArticExpFileSmfNoteGlis1::ConvToWrk() {
    m_Made.clear();
    return RunOrnament(CreWrkSmfNoteGlis1(), "CreWrkSmfNoteGlis1");
}

int CArticExpFileSmfNoteArpg::InsertNoteArpg(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase,
                                             INT64 start, INT64 length) {
    if (!wrk || !blk || !phrase || length <= 0 || !GetWrkEvntList()) return 1;
    INT64 from = 0, span = 0;
    if (SmfNoteRange(phrase, &from, &span)) return 1;
    const int rc = CArticWrkUtil::InsertNoteArpg(wrk, blk, GetWrkEvntList(), phrase, start, length, from, span);
    return ReportInserter(rc, "ｱﾙﾍﾟｼﾞｵの作成時にｴﾗｰが発生しました。", "InsertNoteArpg");
}

int CArticExpFileSmfNoteArpg::CreWrkSmfNoteArpg() {
    CArticFileIO io;
    CArticWrkEvntList* phrase = nullptr;
    if (OpenOne("CreWrkSmfNoteArpg", &io, &phrase)) return 1;
    const CArticWrkEvntList* notes = GetWrkEvntList();
    CArticWrkEvnt* earliest = nullptr;
    for (POSITION p = notes->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = notes->GetNext(p);
        if (e && (!earliest || e->GetTime() < earliest->GetTime())) earliest = e;
    }
    CArticWrkBlk* blk = earliest ? earliest->GetOwner() : nullptr;
    if (!blk || !blk->GetWrk()) return 1;
    const int rc = InsertNoteArpg(blk->GetWrk(), blk, phrase, earliest->GetTime(), GetTime());
    if (rc != 0) return rc;
    for (POSITION p = notes->GetHeadPosition(); p;)
        if (CArticWrkEvnt* e = notes->GetNext(p)) m_Made.push_back(e);
    return 0;
}

int CArticExpFileSmfNoteArpg::ConvToWrk() {
    m_Made.clear();
    return RunOrnament(CreWrkSmfNoteArpg(), "CreWrkSmfNoteArpg");
}
