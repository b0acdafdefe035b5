#include "engine/expressions/ArticExpOrnament.h"

#include <algorithm>

#include "engine/work/ArticTicks.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::AddTicks;

VX_IMPLEMENT_CLASS(CArticExpArrayTurn, CArticExpArray);
VX_IMPLEMENT_CLASS(CArticExpArrayTurn1, CArticExpArrayTurn);
VX_IMPLEMENT_CLASS(CArticExpArrayTurn2, CArticExpArrayTurn);
VX_IMPLEMENT_CLASS(CArticExpArrayTurn3, CArticExpArrayTurn);
VX_IMPLEMENT_CLASS(CArticExpArrayTurn4, CArticExpArrayTurn);
VX_IMPLEMENT_CLASS(CArticExpArrayTurn5, CArticExpArrayTurn);
VX_IMPLEMENT_CLASS(CArticExpArrayTurn6, CArticExpArrayTurn);
VX_IMPLEMENT_CLASS(CArticExpArrayTrill, CArticExpArray);
VX_IMPLEMENT_CLASS(CArticExpArrayTrill1, CArticExpArrayTrill);
VX_IMPLEMENT_CLASS(CArticExpArrayTrill2, CArticExpArrayTrill);

namespace {

using Step = ArticOrnamentStep;
constexpr Step::Role M = Step::kMain, U = Step::kUp, D = Step::kDown;

BYTE KeyOf(int key) { return BYTE(std::clamp(key, 0, 127)); }

// Middle work block 0, its data and the first listed note, which the data
// still holds (another expression may have removed it).
bool OrnamentSource(const CArticExpArray* e, CArticWrkBlk** blk, CArticWrk** wrk, CArticWrkEvnt** note) {
    const CArticWrkEvntList* notes = e->GetWrkEvntList();
    *blk = e->GetOwner() && notes ? e->GetMidWrkBlk(0) : nullptr;
    *wrk = *blk ? (*blk)->GetWrk() : nullptr;
    *note = *wrk && !notes->IsEmpty() ? notes->GetHead() : nullptr;
    return *note && (*wrk)->IsEvntPos(*note);
}

int NoteInfo(CArticWrkEvnt* note, INT64* time, INT64* gate, BYTE* key, BYTE* velo) {
    if (!note || note->GetStatus() != 0x90) return 1;
    *time = INT64(uint32_t(note->GetTime()));
    *gate = INT64(uint32_t(note->GetGateTime()));
    *key = note->GetPost1();
    *velo = note->GetPost2();
    return 0;
}

// Phase 2 of every turn and trill.
int DelSource(CArticExpArray* e) {
    if (e->GetError() != 0) return 0;
    CArticWrkBlk* blk = nullptr;
    CArticWrk* wrk = nullptr;
    CArticWrkEvnt* note = nullptr;
    if (!OrnamentSource(e, &blk, &wrk, &note)) return 1;
    return CArticWrkUtil::DelEvnt(note);
}

int MakeSteps(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, const std::vector<Step>& steps, BYTE main, BYTE up,
              BYTE down, BYTE velo) {
    INT64 at = start;
    for (const Step& s : steps) {
        const BYTE key = s.role == M ? main : (s.role == U ? up : down);
        if (int rc = CArticWrkUtil::CreNoteTime(wrk, blk, at, key, velo, s.length)) return rc;
        at = AddTicks(at, s.length);
    }
    return 0;
}

// A turn shape: the parts of the gate and, per note, its role and its parts;
// the last note also takes the remainder.
struct TurnShape {
    BYTE type;
    int parts;
    std::vector<std::pair<Step::Role, int>> notes;
};

bool BuildTurn(const std::vector<TurnShape>& shapes, BYTE type, INT64 gate, std::vector<Step>* steps) {
    for (const TurnShape& shape : shapes) {
        if (shape.type != type) continue;
        const INT64 p = gate / shape.parts;
        const INT64 r = gate - shape.parts * p;
        steps->clear();
        for (size_t i = 0; i < shape.notes.size(); ++i) {
            const INT64 length = shape.notes[i].second * p + (i + 1 == shape.notes.size() ? r : 0);
            steps->push_back({shape.notes[i].first, length});
        }
        return true;
    }
    return false;
}

const std::vector<TurnShape>& FiveNoteTurns() {
    static const std::vector<TurnShape> shapes = {
        {0, 5, {{M, 1}, {U, 1}, {M, 1}, {D, 1}, {M, 1}}},
        {1, 4, {{U, 1}, {M, 1}, {D, 1}, {M, 1}}},
        {2, 8, {{M, 1}, {U, 1}, {M, 1}, {D, 1}, {M, 4}}},
        {4, 12, {{U, 1}, {M, 1}, {D, 1}, {M, 9}}},
    };
    return shapes;
}

const std::vector<TurnShape>& HeldStartTurns() {
    static const std::vector<TurnShape> shapes = {
        {0, 6, {{M, 1}, {U, 1}, {M, 1}, {D, 1}, {M, 2}}},
        {1, 9, {{M, 3}, {U, 1}, {M, 1}, {D, 1}, {M, 3}}},
        {2, 12, {{M, 5}, {U, 1}, {M, 1}, {D, 1}, {M, 4}}},
    };
    return shapes;
}

const std::vector<TurnShape>& LateTurns() {
    static const std::vector<TurnShape> shapes = {
        {0, 8, {{M, 4}, {D, 1}, {M, 1}, {U, 1}, {M, 1}}},
        {1, 8, {{M, 4}, {U, 1}, {M, 1}, {D, 1}, {M, 1}}},
    };
    return shapes;
}

// The diatonic neighbours of key at t.
int DiatonicNeighbours(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, signed char temp, signed char upShift,
                       signed char downShift, BYTE* up, BYTE* down) {
    LONG u = key, d = key;
    if (up)
        if (int rc = CArticWrkUtil::GetDia1Note(wrk, blk, 1, t, key, temp, upShift, downShift, &u)) return rc;
    if (down)
        if (int rc = CArticWrkUtil::GetDia1Note(wrk, blk, 0, t, key, temp, upShift, downShift, &d)) return rc;
    if (up) *up = KeyOf(u);
    if (down) *down = KeyOf(d);
    return 0;
}

CString TurnDetail(signed char downNote, signed char upNote) {
    CString detail;
    detail.Format("１つ上の音階 = %d  １つ下の音階 = %d", int(downNote), int(upNote));
    return detail;
}

}  // namespace

// ================================================================ Turns

CArticExpArrayTurn::CArticExpArrayTurn(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                       signed char upNote, signed char downNote, signed char temp,
                                       signed char upShift, signed char downShift)
    : CArticExpArray(owner, evntNo, notes),
      m_Type(type),
      m_UpNote(upNote),
      m_DownNote(downNote),
      m_Temp(temp),
      m_UpShift(upShift),
      m_DownShift(downShift) {}

CArticExpArrayTurn& CArticExpArrayTurn::operator=(const CArticExpArrayTurn& src) {
    CArticExpArray::operator=(src);
    m_Type = src.m_Type;
    m_UpNote = src.m_UpNote;
    m_DownNote = src.m_DownNote;
    m_Temp = src.m_Temp;
    m_UpShift = src.m_UpShift;
    m_DownShift = src.m_DownShift;
    return *this;
}

int CArticExpArrayTurn::CreWrkEvntInfo(CArticWrkEvnt* note, INT64* time, INT64* gate, BYTE* key, BYTE* velo) const {
    return NoteInfo(note, time, gate, key, velo);
}

int CArticExpArrayTurn::ConvToWrk2() { return DelSource(this); }

int CArticExpArrayTurn::Neighbours(CArticWrk*, CArticWrkBlk*, INT64, BYTE key, BYTE* up, BYTE* down) const {
    *up = KeyOf(key + m_UpNote);
    *down = KeyOf(key + m_DownNote);
    return 0;
}

int CArticExpArrayTurn::CreWrkTurnType(BYTE type, CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvnt* note) {
    INT64 t = 0, g = 0;
    BYTE k = 0, v = 0;
    if (int rc = CreWrkEvntInfo(note, &t, &g, &k, &v)) return rc;
    std::vector<ArticOrnamentStep> steps;
    if (!Pattern(type, g, &steps)) return 1;
    BYTE up = k, down = k;
    if (int rc = Neighbours(wrk, blk, t, k, &up, &down)) return rc;
    return MakeSteps(wrk, blk, t, steps, k, up, down, v);
}

int CArticExpArrayTurn::ConvToWrk() {
    CArticWrkBlk* blk = nullptr;
    CArticWrk* wrk = nullptr;
    CArticWrkEvnt* note = nullptr;
    if (!OrnamentSource(this, &blk, &wrk, &note)) return 1;
    std::vector<ArticOrnamentStep> probe;
    if (!Pattern(m_Type, 0, &probe)) {
        if (GetErrKind() == 0) {
            CString detail;
            detail.Format("ﾀｰﾝﾊﾟﾀｰﾝ = %u", unsigned(m_Type));
            DispErrMsg(kPhase1Title, "未対応のﾀｰﾝﾊﾟﾀｰﾝを指定しています。", "ConvToWrk", detail);
        }
        return 1;
    }
    const int before = blk->GetCount();
    int rc = CreWrkTurnType(m_Type, wrk, blk, note);
    // A turn that made no note would let phase 2 remove the note for nothing.
    if (rc == 0 && blk->GetCount() == before) rc = 1;
    if (rc != 0 && GetErrKind() == 0) {
        CString method;
        method.Format("ConvToWrk -> CreWrkTurnType%u", unsigned(m_Type));
        DispErrMsg(kPhase1Title, "ﾀｰﾝﾊﾟﾀｰﾝ作成中にｴﾗｰが発生しました。", method, TurnDetail(m_DownNote, m_UpNote));
    }
    return rc;
}

bool CArticExpArrayTurn1::Pattern(BYTE type, INT64 gate, std::vector<ArticOrnamentStep>* steps) const {
    return BuildTurn(FiveNoteTurns(), type, gate, steps);
}
bool CArticExpArrayTurn2::Pattern(BYTE type, INT64 gate, std::vector<ArticOrnamentStep>* steps) const {
    return BuildTurn(HeldStartTurns(), type, gate, steps);
}
bool CArticExpArrayTurn3::Pattern(BYTE type, INT64 gate, std::vector<ArticOrnamentStep>* steps) const {
    return BuildTurn(LateTurns(), type, gate, steps);
}
bool CArticExpArrayTurn4::Pattern(BYTE type, INT64 gate, std::vector<ArticOrnamentStep>* steps) const {
    return BuildTurn(FiveNoteTurns(), type, gate, steps);
}
bool CArticExpArrayTurn5::Pattern(BYTE type, INT64 gate, std::vector<ArticOrnamentStep>* steps) const {
    return BuildTurn(HeldStartTurns(), type, gate, steps);
}
bool CArticExpArrayTurn6::Pattern(BYTE type, INT64 gate, std::vector<ArticOrnamentStep>* steps) const {
    return BuildTurn(LateTurns(), type, gate, steps);
}

int CArticExpArrayTurn4::Neighbours(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, BYTE* up, BYTE* down) const {
    return DiatonicNeighbours(wrk, blk, t, key, GetTemp(), GetUpShift(), GetDownShift(), up, down);
}
int CArticExpArrayTurn5::Neighbours(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, BYTE* up, BYTE* down) const {
    return DiatonicNeighbours(wrk, blk, t, key, GetTemp(), GetUpShift(), GetDownShift(), up, down);
}
int CArticExpArrayTurn6::Neighbours(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, BYTE* up, BYTE* down) const {
    return DiatonicNeighbours(wrk, blk, t, key, GetTemp(), GetUpShift(), GetDownShift(), up, down);
}

// ================================================================ Trills

namespace {

// The notes of back pattern `back` over b ticks; false for a pattern above 14.
bool BackSteps(BYTE back, INT64 b, std::vector<Step>* steps) {
    const INT64 h = b / 2, f = b / 4, e = b / 3, w = b / 5;
    switch (back) {
        case 0: *steps = {}; return true;
        case 1: *steps = {{M, b}}; return true;
        case 2: *steps = {{M, h}, {U, h + b % 2}}; return true;
        case 3: *steps = {{U, h}, {M, h + b % 2}}; return true;
        case 4: *steps = {{M, 2 * f}, {U, f}, {M, f + b % 4}}; return true;
        case 5: *steps = {{U, 2 * f}, {M, f}, {U, f + b % 4}}; return true;
        case 6: *steps = {{M, e}, {U, e}, {M, b - 2 * e}}; return true;
        case 7: *steps = {{U, e}, {M, e}, {U, b - 2 * e}}; return true;
        case 8: *steps = {{M, f}, {U, f}, {M, f}, {U, f + b % 4}}; return true;
        case 9: *steps = {{U, f}, {M, f}, {U, f}, {M, f + b % 4}}; return true;
        case 10: *steps = {{U, f}, {M, f}, {D, f}, {M, f + b % 4}}; return true;
        case 11: *steps = {{D, f}, {M, f}, {U, f}, {M, f + b % 4}}; return true;
        case 12: *steps = {{M, w}, {U, w}, {M, w}, {U, w}, {M, b - 4 * w}}; return true;
        case 13: *steps = {{U, w}, {M, w}, {U, w}, {M, w}, {U, b - 4 * w}}; return true;
        case 14: *steps = {{M, w}, {U, w}, {M, w}, {D, w}, {M, b - 4 * w}}; return true;
        default: return false;
    }
}

CString TrillDetail(BYTE front, BYTE back) {
    CString detail;
    detail.Format("前打音ﾊﾟﾀｰﾝ = %u  後打音ﾊﾟﾀｰﾝ = %u", unsigned(front), unsigned(back));
    return detail;
}

}  // namespace

CArticExpArrayTrill::CArticExpArrayTrill(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                         ULONG trillTime, signed char trillNote, signed char downNote, BYTE front,
                                         ULONG frontTime, BYTE back, ULONG backTime)
    : CArticExpArray(owner, evntNo, notes),
      m_TrillTime(trillTime),
      m_TrillNote(trillNote),
      m_DownNote(downNote),
      m_Front(front),
      m_FrontTime(frontTime),
      m_Back(back),
      m_BackTime(backTime) {}

CArticExpArrayTrill& CArticExpArrayTrill::operator=(const CArticExpArrayTrill& src) {
    CArticExpArray::operator=(src);
    m_TrillTime = src.m_TrillTime;
    m_TrillNote = src.m_TrillNote;
    m_DownNote = src.m_DownNote;
    m_Front = src.m_Front;
    m_FrontTime = src.m_FrontTime;
    m_Back = src.m_Back;
    m_BackTime = src.m_BackTime;
    return *this;
}

int CArticExpArrayTrill::CreWrkEvntInfo(CArticWrkEvnt* note, INT64* time, INT64* gate, BYTE* key, BYTE* velo) const {
    return NoteInfo(note, time, gate, key, velo);
}

int CArticExpArrayTrill::ConvToWrk2() { return DelSource(this); }

int CArticExpArrayTrill::Neighbours(CArticWrk*, CArticWrkBlk*, INT64, BYTE key, BYTE* up, BYTE* down) const {
    if (up) *up = KeyOf(key + std::abs(int(m_TrillNote)));
    if (down) *down = KeyOf(key - std::abs(int(m_DownNote)));
    return 0;
}

int CArticExpArrayTrill::FrontKey(CArticWrk*, CArticWrkBlk*, INT64, BYTE key, BYTE* out) const {
    *out = m_TrillNote > 0 ? KeyOf(key + m_TrillNote) : key;
    return 0;
}

int CArticExpArrayTrill::TrillShift(CArticWrk*, CArticWrkBlk*, INT64, BYTE, signed char* shift) const {
    *shift = m_TrillNote;
    return 0;
}

int CArticExpArrayTrill::CreWrkOnlyTrill(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, BYTE key,
                                         BYTE velo) {
    if (!wrk || !blk) return 1;
    signed char shift = 0;
    if (int rc = TrillShift(wrk, blk, start, key, &shift)) return rc;
    return CArticWrkUtil::CreTrillNote(wrk, blk, start, end, key, velo, INT64(m_TrillTime), shift);
}

int CArticExpArrayTrill::CreWrkTrillFrontBack(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvnt* note, BYTE front,
                                              BYTE back) {
    INT64 t = 0, g = 0;
    BYTE k = 0, v = 0;
    if (int rc = CreWrkEvntInfo(note, &t, &g, &k, &v)) return rc;
    const BYTE effFront = m_FrontTime ? front : 0;
    const BYTE effBack = m_BackTime ? back : 0;
    if (effFront > 3) return 1;
    std::vector<Step> backSteps;
    if (!BackSteps(effBack, INT64(m_BackTime), &backSteps)) return 1;
    INT64 c = g;
    if (effBack) {
        if (g <= INT64(m_BackTime)) return 0;
        c = g - INT64(m_BackTime);
    } else if (g <= 0) {
        return 0;
    }
    INT64 trillStart = t;
    if (effFront) {
        const INT64 ft = INT64(m_FrontTime), q = ft / 4, s = ft % 4;
        BYTE up = k, down = k;
        if (int rc = Neighbours(wrk, blk, t, k, &up, &down)) return rc;
        std::vector<Step> steps;
        if (effFront == 1) {
            BYTE key = k;
            if (int rc = FrontKey(wrk, blk, t, k, &key)) return rc;
            if (int rc = CArticWrkUtil::CreNoteTime(wrk, blk, t, key, v, ft)) return rc;
        } else {
            steps = effFront == 2 ? std::vector<Step>{{U, q}, {M, q}, {D, q}, {M, q + s}}
                                  : std::vector<Step>{{D, q}, {M, q}, {U, q}, {M, q + s}};
            if (int rc = MakeSteps(wrk, blk, t, steps, k, up, down, v)) return rc;
        }
        trillStart = AddTicks(t, ft);
    }
    if (int rc = CreWrkOnlyTrill(wrk, blk, trillStart, AddTicks(t, c), k, v)) return rc;
    if (backSteps.empty()) return 0;
    BYTE up = k, down = k;
    if (int rc = Neighbours(wrk, blk, AddTicks(t, c), k, &up, &down)) return rc;
    return MakeSteps(wrk, blk, AddTicks(t, c), backSteps, k, up, down, v);
}

int CArticExpArrayTrill::ConvToWrk() {
    CArticWrkBlk* blk = nullptr;
    CArticWrk* wrk = nullptr;
    CArticWrkEvnt* note = nullptr;
    if (!OrnamentSource(this, &blk, &wrk, &note)) return 1;
    const int before = blk->GetCount();
    // A trill note of no length cannot divide the span: refused before any note is made.
    int rc = m_TrillTime == 0 ? 1 : CreWrkTrillFrontBack(wrk, blk, note, m_Front, m_Back);
    // A trill that made no note would let phase 2 remove the note for nothing.
    if (rc == 0 && blk->GetCount() == before) rc = 1;
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase1Title, "ﾄﾘﾙﾊﾟﾀｰﾝ作成中にｴﾗｰが発生しました。", "ConvToWrk -> CreWrkTrillFrontBack",
                   TrillDetail(m_Front, m_Back));
    return rc;
}

CArticExpArrayTrill2::CArticExpArrayTrill2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                           ULONG trillTime, signed char temp, signed char upShift,
                                           signed char downShift, BYTE front, ULONG frontTime, BYTE back,
                                           ULONG backTime)
    : CArticExpArrayTrill(owner, evntNo, notes, trillTime, 1, 1, front, frontTime, back, backTime),
      m_Temp(temp),
      m_UpShift(upShift),
      m_DownShift(downShift) {}

CArticExpArrayTrill2& CArticExpArrayTrill2::operator=(const CArticExpArrayTrill2& src) {
    CArticExpArrayTrill::operator=(src);
    m_Temp = src.m_Temp;
    m_UpShift = src.m_UpShift;
    m_DownShift = src.m_DownShift;
    return *this;
}

int CArticExpArrayTrill2::Neighbours(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, BYTE* up,
                                     BYTE* down) const {
    return DiatonicNeighbours(wrk, blk, t, key, m_Temp, m_UpShift, m_DownShift, up, down);
}

int CArticExpArrayTrill2::FrontKey(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, BYTE* out) const {
    return DiatonicNeighbours(wrk, blk, t, key, m_Temp, m_UpShift, m_DownShift, out, nullptr);
}

int CArticExpArrayTrill2::TrillShift(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key,
                                     signed char* shift) const {
    BYTE up = key;
    if (int rc = DiatonicNeighbours(wrk, blk, t, key, m_Temp, m_UpShift, m_DownShift, &up, nullptr)) return rc;
    *shift = (signed char)(int(up) - int(key));
    return 0;
}
