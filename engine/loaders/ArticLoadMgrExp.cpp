// The expression text form: the reader of expression dumps, the dispatcher
// that turns one expression text into an object of its class, and the
// catalogue of the classes it knows.
#include <algorithm>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/expressions/ArticExp.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkTrk.h"

namespace {

constexpr char kExpLineSep[] = ":,(){}";
constexpr CExString::DelimSet kExpLineDelims(kExpLineSep);
constexpr char kExpHeader[] = "表現ﾃﾞｰﾀの読込み中にｴﾗｰが発生しました。";

using ExpLoadFn = int (CArticLoadMgr::*)(CExString&, ULONG, CArticExpBlk*);

// One row per expression class, in the order the reader and the writer
// compare the names. A row without a loader names a class whose family is
// not read yet: its texts are refused like those of an unknown class.
struct ExpLoaderRow {
    const char* name;
    ExpLoadFn load;
};

const ExpLoaderRow kExpLoaders[] = {
    {"CArticExpTempoAbs", &CArticLoadMgr::LoadExpTempoAbs},
    {"CArticExpTempoAbsRel", &CArticLoadMgr::LoadExpTempoAbsRel},
    {"CArticExpTempoRelFix", &CArticLoadMgr::LoadExpTempoRelFix},
    {"CArticExpTempoRelCrv", &CArticLoadMgr::LoadExpTempoRelCrv},
    {"CArticExpTempoFermata", &CArticLoadMgr::LoadExpTempoFermata},
    {"CArticExpTempoBreath", &CArticLoadMgr::LoadExpTempoBreath},
    {"CArticExpInitPrmChange", &CArticLoadMgr::LoadExpInitPrmChange},
    {"CArticExpInitPrmChange2", &CArticLoadMgr::LoadExpInitPrmChange2},
    {"CArticExpInitPrmChange3", &CArticLoadMgr::LoadExpInitPrmChange3},
    {"CArticExpInitPrmChangeKv", &CArticLoadMgr::LoadExpInitPrmChangeKv},
    {"CArticExpInitPrmChangeKv2", &CArticLoadMgr::LoadExpInitPrmChangeKv2},
    {"CArticExpInitPrmChangeKv3", &CArticLoadMgr::LoadExpInitPrmChangeKv3},
    {"CArticExpInitKvinit", &CArticLoadMgr::LoadExpInitKvinit},
    {"CArticExpInitKvinit2", &CArticLoadMgr::LoadExpInitKvinit2},
    {"CArticExpInitPro", &CArticLoadMgr::LoadExpInitPro},
    {"CArticExpInitPro2", &CArticLoadMgr::LoadExpInitPro2},
    {"CArticExpInitPro3", &CArticLoadMgr::LoadExpInitPro3},
    {"CArticExpInitPbRange", &CArticLoadMgr::LoadExpInitPbRange},
    {"CArticExpInitPbRange2", &CArticLoadMgr::LoadExpInitPbRange2},
    {"CArticExpInitPbRange3", &CArticLoadMgr::LoadExpInitPbRange3},
    {"CArticExpStresVeloNoteAbs", &CArticLoadMgr::LoadExpStresVeloNoteAbs},
    {"CArticExpStresVeloNoteRel", &CArticLoadMgr::LoadExpStresVeloNoteRel},
    {"CArticExpStresVeloTimeAbs", &CArticLoadMgr::LoadExpStresVeloTimeAbs},
    {"CArticExpStresVeloTimeRel", &CArticLoadMgr::LoadExpStresVeloTimeRel},
    {"CArticExpStresVeloTimeRelCrv", &CArticLoadMgr::LoadExpStresVeloTimeRelCrv},
    {"CArticExpDurRel", &CArticLoadMgr::LoadExpDurRel},
    {"CArticExpDurRel2", &CArticLoadMgr::LoadExpDurRel2},
    {"CArticExpDurAbs", &CArticLoadMgr::LoadExpDurAbs},
    {"CArticExpDurBp", &CArticLoadMgr::LoadExpDurBp},
    {"CArticExpDurAll", &CArticLoadMgr::LoadExpDurAll},
    {"CArticExpKeySft", &CArticLoadMgr::LoadExpKeySft},
    {"CArticExpArraySlurPb", &CArticLoadMgr::LoadExpArraySlurPb},
    {"CArticExpArraySlurDur", &CArticLoadMgr::LoadExpArraySlurDur},
    {"CArticExpArrayTie", &CArticLoadMgr::LoadExpArrayTie},
    {"CArticExpArrayTurn1", &CArticLoadMgr::LoadExpArrayTurn1},
    {"CArticExpArrayTurn2", &CArticLoadMgr::LoadExpArrayTurn2},
    {"CArticExpArrayTurn3", &CArticLoadMgr::LoadExpArrayTurn3},
    {"CArticExpArrayTurn4", &CArticLoadMgr::LoadExpArrayTurn4},
    {"CArticExpArrayTurn5", &CArticLoadMgr::LoadExpArrayTurn5},
    {"CArticExpArrayTurn6", &CArticLoadMgr::LoadExpArrayTurn6},
    {"CArticExpArrayTrill1", &CArticLoadMgr::LoadExpArrayTrill1},
    {"CArticExpArrayTrill2", &CArticLoadMgr::LoadExpArrayTrill2},
    {"CArticExpArrayStop", &CArticLoadMgr::LoadExpArrayStop},
    {"CArticExpArrayUsrStop", &CArticLoadMgr::LoadExpArrayUsrStop},
    {"CArticExpStresContCcTimeAbs", &CArticLoadMgr::LoadExpStresContCcTimeAbs},
    {"CArticExpStresContCcTimeRelFix", &CArticLoadMgr::LoadExpStresContCcTimeRelFix},
    {"CArticExpStresContCcTimeRelAreaFix", &CArticLoadMgr::LoadExpStresContCcTimeRelAreaFix},
    {"CArticExpStresContCcTimeRelCrv", &CArticLoadMgr::LoadExpStresContCcTimeRelCrv},
    {"CArticExpStresContCcNoteCrv", &CArticLoadMgr::LoadExpStresContCcNoteCrv},
    {"CArticExpStresContCcNoteCreAbs", &CArticLoadMgr::LoadExpStresContCcNoteCreAbs},
    {"CArticExpStresContCcNoteCreAbs2", &CArticLoadMgr::LoadExpStresContCcNoteCreAbs2},
    {"CArticExpStresContCcNoteCreRel", &CArticLoadMgr::LoadExpStresContCcNoteCreRel},
    {"CArticExpStresContCcNoteCreRel2", &CArticLoadMgr::LoadExpStresContCcNoteCreRel2},
    {"CArticExpPackNrpnNoteCreAbs", &CArticLoadMgr::LoadExpPackNrpnNoteCreAbs},
    {"CArticExpPackNrpnNoteCreRel", &CArticLoadMgr::LoadExpPackNrpnNoteCreRel},
    {"CArticExpPackRpnNoteCreAbs", &CArticLoadMgr::LoadExpPackRpnNoteCreAbs},
    {"CArticExpPackRpnNoteCreRel", &CArticLoadMgr::LoadExpPackRpnNoteCreRel},
    {"CArticExpPitchCrv", &CArticLoadMgr::LoadExpPitchCrv},
    {"CArticExpPitchCrv2", &CArticLoadMgr::LoadExpPitchCrv2},
    {"CArticExpPitchSlide", &CArticLoadMgr::LoadExpPitchSlide},
    {"CArticExpPitchSlide2", &CArticLoadMgr::LoadExpPitchSlide2},
    {"CArticExpPitchGtrBend", &CArticLoadMgr::LoadExpPitchGtrBend},
    {"CArticExpPitchGtrSlide", &CArticLoadMgr::LoadExpPitchGtrSlide},
    {"CArticExpTimeSft", &CArticLoadMgr::LoadExpTimeSft},
    {"CArticExpTimeSft2", &CArticLoadMgr::LoadExpTimeSft2},
    {"CArticExpTimeSwing", &CArticLoadMgr::LoadExpTimeSwing},
    {"CArticExpTimeWaltz", &CArticLoadMgr::LoadExpTimeWaltz},
    {"CArticExpFileSmfContCc", &CArticLoadMgr::LoadExpFileSmfContCc},
    {"CArticExpFileSmfContCc2", &CArticLoadMgr::LoadExpFileSmfContCc2},
    {"CArticExpFileSmfContCc3", &CArticLoadMgr::LoadExpFileSmfContCc3},
    {"CArticExpFileSmfContPb", &CArticLoadMgr::LoadExpFileSmfContPb},
    {"CArticExpFileSmfContPb2", &CArticLoadMgr::LoadExpFileSmfContPb2},
    {"CArticExpFileSmfContPb3", &CArticLoadMgr::LoadExpFileSmfContPb3},
    {"CArticExpFileSmfContPb4", &CArticLoadMgr::LoadExpFileSmfContPb4},
    {"CArticExpFileSmfContPbEg", &CArticLoadMgr::LoadExpFileSmfContPbEg},
    {"CArticExpFileSmfContPbEg2", &CArticLoadMgr::LoadExpFileSmfContPbEg2},
    {"CArticExpFileSmfNoteTril2", &CArticLoadMgr::LoadExpFileSmfNoteTril2},
    {"CArticExpFileSmfNoteTril3", &CArticLoadMgr::LoadExpFileSmfNoteTril3},
    {"CArticExpFileSmfNoteTurn", &CArticLoadMgr::LoadExpFileSmfNoteTurn},
    {"CArticExpFileSmfNoteTurn2", &CArticLoadMgr::LoadExpFileSmfNoteTurn2},
    {"CArticExpFileSmfNoteMord2", &CArticLoadMgr::LoadExpFileSmfNoteMord2},
    {"CArticExpFileSmfNoteTrml1", &CArticLoadMgr::LoadExpFileSmfNoteTrml1},
    {"CArticExpFileSmfNoteTrml2", &CArticLoadMgr::LoadExpFileSmfNoteTrml2},
    {"CArticExpFileSmfNoteGlis1", &CArticLoadMgr::LoadExpFileSmfNoteGlis1},
    {"CArticExpFileSmfNoteArpg", &CArticLoadMgr::LoadExpFileSmfNoteArpg},
    {"CArticExpFileSmfFree", &CArticLoadMgr::LoadExpFileSmfFree},
    {"CArticExpOrgContCc", &CArticLoadMgr::LoadExpOrgContCc},
    {"CArticExpLayerBow1", &CArticLoadMgr::LoadExpLayerBow1},
    {"CArticExpLayerBow2", &CArticLoadMgr::LoadExpLayerBow2},
    {"CArticExpLayerNote1", &CArticLoadMgr::LoadExpLayerNote1},
    {"CArticExpLayerNote2", &CArticLoadMgr::LoadExpLayerNote2},
    {"CArticExpCreNote", &CArticLoadMgr::LoadExpCreNote},
    {"CArticExpCreNote2", &CArticLoadMgr::LoadExpCreNote2},
    {"CArticExpDel", &CArticLoadMgr::LoadExpDel},
    {"CArticExpDebug_i", &CArticLoadMgr::LoadExpDebug_i},
    {"CArticExpDebug_i2", &CArticLoadMgr::LoadExpDebug_i2},
    {"CArticExpDebug_d", &CArticLoadMgr::LoadExpDebug_d},
};
static_assert(sizeof kExpLoaders / sizeof kExpLoaders[0] == 97, "one row per expression class");

// Row numbers in name order (the first row of a name first): every fired
// expression text is dispatched by its class name.
const std::vector<int>& ExpLoaderIndex() {
    static const std::vector<int> index = [] {
        std::vector<int> rows(sizeof kExpLoaders / sizeof kExpLoaders[0]);
        for (size_t i = 0; i < rows.size(); ++i) rows[i] = int(i);
        std::stable_sort(rows.begin(), rows.end(), [](int a, int b) {
            return std::string_view(kExpLoaders[a].name) < std::string_view(kExpLoaders[b].name);
        });
        return rows;
    }();
    return index;
}

// The row of the class named name, or -1.
int FindExpLoader(std::string_view name) {
    const std::vector<int>& index = ExpLoaderIndex();
    auto it = std::lower_bound(index.begin(), index.end(), name,
                               [](int i, std::string_view n) { return std::string_view(kExpLoaders[i].name) < n; });
    if (it == index.end() || std::string_view(kExpLoaders[*it].name) != name) return -1;
    return *it;
}

}  // namespace

// ---- Dumps

int CArticLoadMgr::LoadExp(CStringList& lines) {
    if (!m_pExp || !m_pWrk || !m_pRul) return 1;
    m_pWrk->ResetAllEvntPos();
    m_pRul->SetEvntCount(0);
    m_pExp->Clear();
    if (lines.IsEmpty()) return 1;
    CArticExpTrk* trk = nullptr;
    CArticExpBlk* blk = nullptr;
    int result = 0;
    for (POSITION p = lines.GetHeadPosition(); p;) {
        CExString line(lines.GetNext(p));
        // Blanks inside double quotes belong to a file name or a text.
        line.EraseBlankOutDQ();
        const int r = LoadExpEvnt(line, &trk, &blk);
        if (r == 0) continue;
        result = 1;
        // The dispatcher has reported its own refusals.
        if (r != kExpLineReported)
            DispErrMsg(kExpHeader, "指定したｲﾍﾞﾝﾄの内容に誤りがあります。", "LoadExp", line, 1);
    }
    return result;
}

int CArticLoadMgr::LoadExpEvnt(CExString& line, CArticExpTrk** trk, CArticExpBlk** blk) {
    if (line.IsEmpty() || !m_pExp || !m_pWrk || !trk || !blk) return 1;
    CExString rest(line);
    const CExString head = CutToken(rest, kExpLineSep);
    if (StartsWith(head, ";")) return 0;
    if (!StartsWith(rest, ":")) return 1;

    if (head == "TRK") {
        CExString noText = CutToken(rest, kExpLineSep);
        ULONG trkNo = 0;
        if (CArticUtil::LimitULong(noText.GetLong(10), &trkNo) != 0) return 1;
        ULONG ch = ULONG(-2), port = ULONG(-1);
        CExString token;
        if (LoadTrkParam(rest, token, ch, port) != 0) return 1;
        auto* made = new (std::nothrow) CArticExpTrk(m_pExp, trkNo, ch, port);
        if (!made) return 1;
        m_pExp->AddTail(made);
        *trk = made;
        *blk = nullptr;
        CArticWrkTrk* wrkTrk = m_pWrk->Get(trkNo);
        if (!wrkTrk) {
            wrkTrk = new (std::nothrow) CArticWrkTrk(m_pWrk, trkNo, ch, port);
            if (wrkTrk) m_pWrk->AddTail(wrkTrk);
        }
        made->SetWrkTrk(wrkTrk);
        return 0;
    }

    if (head == "BLK") {
        CExString noText = CutToken(rest, kExpLineSep);
        LONG no = noText.GetLong(10);
        ULONG blkNo = 0;
        if (!noText.IsEmpty() || CArticUtil::LimitULong(no, &blkNo) != 0) return 1;
        if (!*trk) return 1;
        auto* made = new (std::nothrow) CArticExpBlk(*trk, blkNo);
        if (!made) return 1;
        (*trk)->AddTail(made);
        *blk = made;
        if (CArticWrkTrk* wrkTrk = (*trk)->GetWrkTrk()) {
            CArticWrkBlk* wrkBlk = wrkTrk->Get(blkNo);
            if (!wrkBlk) {
                wrkBlk = new (std::nothrow) CArticWrkBlk(wrkTrk, blkNo);
                if (wrkBlk) wrkTrk->AddTail(wrkBlk);
            }
            made->SetWrkBlk(wrkBlk);
        }
        return 0;
    }

    if (!StartsWith(head, "e")) return 1;
    CString ignored;
    CExString noText(CExString(head).GetToken(&ignored, "e"));
    const LONG no = noText.GetLong(10);
    ULONG evntNo = 0;
    if (!noText.IsEmpty() || CArticUtil::LimitULong(no, &evntNo) != 0) return 1;
    // A number the expression data cannot register makes no expression.
    if (evntNo > kMaxEvntNo) return 1;
    if (!*trk || !*blk) return 1;
    return LoadExpEvnt(rest, evntNo, *trk, *blk) != 0 ? kExpLineReported : 0;
}

// ---- The dispatcher

int CArticLoadMgr::LoadExpEvnt(CString text, ULONG evntNo, CArticExpTrk* trk, CArticExpBlk* blk) {
    CExString body(std::move(text));
    return LoadExpEvnt(body, evntNo, trk, blk);
}

int CArticLoadMgr::LoadExpEvnt(CExString& text, ULONG evntNo, CArticExpTrk* /*trk*/, CArticExpBlk* blk) {
    if (text.IsEmpty()) return 1;
    // Every fired text comes through here: the class name is looked up where
    // it stands, and the text itself loses its front to become the items, so
    // neither is copied.
    const CExString::TokenSpan cut = text.FindToken(kExpLineDelims);
    const std::string_view name =
        cut.start < 0 ? std::string_view() : std::string_view(text.GetString() + cut.start, size_t(cut.length));
    // An expression the expression data cannot register under its number
    // would stay in the block unplaced: such a text is refused before its
    // class reads it.
    const bool registrable = evntNo <= kMaxEvntNo;
    const int row = registrable ? FindExpLoader(name) : -1;
    const ExpLoadFn load = row >= 0 ? kExpLoaders[row].load : nullptr;
    // Only a refused text needs its class name again.
    CString refused;
    if (!load) refused = CString(name.data(), int(name.size()));
    if (cut.rest < 0)
        text.Empty();
    else
        text.str().erase(0, size_t(cut.rest));
    const int r = !registrable ? 1 : !load ? -1 : (this->*load)(text, evntNo, blk) != 0 ? 1 : 0;
    if (r == 0) return 0;
    if (load) refused = kExpLoaders[row].name;
    CString number;
    number.Format("%ld", long(LONG(evntNo)));
    const CString detail = "ｸﾗｽ名 = " + refused + "   ｲﾍﾞﾝﾄ番号 = " + number;
    DispErrMsg(kExpHeader, r < 0 ? "未対応のｲﾍﾞﾝﾄが存在します。" : "中間表現ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ作成時にｴﾗｰが発生しました。",
               "LoadExpEvnt", detail, 1);
    return 1;
}
