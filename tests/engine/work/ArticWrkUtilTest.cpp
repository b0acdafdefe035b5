#include <gtest/gtest.h>

#include <vector>

#include "services/ArticErr.h"
#include "engine/work/ArticWrkUtil.h"
#include "WorkFixture.h"

using namespace wrktest;

namespace {

std::vector<CString> Params(BYTE status, BYTE meta, std::vector<BYTE> data = {}, BYTE p1 = 0, BYTE p2 = 0,
                            INT64 gate = 0) {
    CArticWrkEvnt e;
    e.SetStatus(status);
    e.SetPost1(p1);
    e.SetPost2(p2);
    e.SetGateTime(gate);
    if (status == 0xFF)
        e.SetMeta(meta, data.empty() ? nullptr : data.data(), ULONG(data.size()));
    else if (!data.empty())
        e.SetSys(data.data(), ULONG(data.size()));
    CStringList texts;
    EXPECT_EQ(CArticWrkUtil::GetEvntParam(&e, texts), 0);
    return Lines(texts);
}

}  // namespace

TEST(ArticWrkUtilKinds, NamesAndKindsBothWays) {
    struct Case { const char* name; BYTE status, meta; };
    const Case cases[] = {
        {"Beat", 0xFF, 0x58}, {"Meter", 0xFF, 0x59}, {"Tempo", 0xFF, 0x51}, {"End", 0xFF, 0x2F},
        {"Text", 0xFF, 0x01}, {"Lyric", 0xFF, 0x05}, {"ChPref", 0xFF, 0x20}, {"Note", 0x90, 0},
        {"Cc", 0xB0, 0}, {"Pb", 0xE0, 0}, {"NRPN", 0x10, 0}, {"RPN", 0x20, 0}, {"VCE", 0x30, 0},
        {"PolyAfter", 0xA0, 0}, {"PrgChng", 0xC0, 0}, {"AfterTouch", 0xD0, 0},
        // System exclusive and the sequencer-specific meta event read back as themselves.
        {"SysEx", 0xF0, 0}, {"SeqSpec", 0xFF, 0x7F},
    };
    for (const auto& c : cases) {
        BYTE status = 0, meta = 0xEE;
        EXPECT_EQ(CArticWrkUtil::GetEvntStatus(CString(c.name), &status, &meta), 0) << c.name;
        EXPECT_EQ(status, c.status) << c.name;
        EXPECT_EQ(meta, c.meta) << c.name;
        CString name;
        EXPECT_EQ(CArticWrkUtil::GetEvntStatus(c.status, c.meta, name), 0) << c.name;
        EXPECT_EQ(name, c.name);
    }
    CString name;
    EXPECT_EQ(CArticWrkUtil::GetEvntStatus(BYTE(0xFF), BYTE(0x21), name), 0);
    EXPECT_EQ(name, "META");
}

TEST(ArticWrkUtilKinds, UnknownNamesAndKindsAreReported) {
    CArticErr::Clear();
    for (const char* bad : {"Sysex", "sysex", "META", ""}) {
        BYTE status = 7, meta = 7;
        EXPECT_EQ(CArticWrkUtil::GetEvntStatus(CString(bad), &status, &meta), 1) << bad;
        EXPECT_EQ(status, 7);
    }
    EXPECT_EQ(CArticErr::GetMsgCount(), 4);
    CString content, cls, method, detail;
    CArticErr::Get(content, cls, method, detail);
    EXPECT_EQ(content, "未対応のｽﾃｰﾀｽが存在します。");
    EXPECT_EQ(cls, "CArticWrkUtil");
    EXPECT_EQ(method, "GetEvntStatus");
    EXPECT_EQ(detail, "ｽﾃｰﾀｽ = ");

    struct Kind { BYTE status, meta; };
    for (Kind k : {Kind{0xFF, 0}, Kind{0x91, 0}, Kind{0x90, 5}, Kind{0x40, 0}}) {
        CString name = "kept";
        EXPECT_EQ(CArticWrkUtil::GetEvntStatus(k.status, k.meta, name), 1);
        EXPECT_EQ(name, "kept");
    }
    CArticErr::Get(content, cls, method, detail);
    EXPECT_EQ(detail, "ｽﾃｰﾀｽ = 0x40    ﾒﾀﾀｲﾌﾟ = 0x00");
    CString name;
    CArticWrkUtil::GetEvntStatus(BYTE(0x90), BYTE(5), name);
    CArticErr::Get(content, cls, method, detail);
    EXPECT_EQ(detail, "ｽﾃｰﾀｽ = 0x90    ﾒﾀﾀｲﾌﾟ = 0x05");
    CArticErr::Delete();
}

TEST(ArticWrkUtilKinds, ParameterTexts) {
    using V = std::vector<CString>;
    EXPECT_EQ(Params(0x90, 0, {}, 60, 100, 480), (V{"C3", "480", "100"}));
    EXPECT_EQ(Params(0x90, 0, {}, 0, 1, -5), (V{"C-2", "-5", "1"}));
    EXPECT_EQ(Params(0xB0, 0, {}, 11, 90), (V{"11", "90"}));
    EXPECT_EQ(Params(0xA0, 0, {}, 61, 30), (V{"C#3", "30"}));
    EXPECT_EQ(Params(0xC0, 0, {}, 5), (V{"5"}));
    EXPECT_EQ(Params(0xFF, 0x58, {3, 2, 24, 8}), (V{"480", "3"}));
    EXPECT_EQ(Params(0xFF, 0x58, {6, 3}), (V{"240", "6"}));
    EXPECT_EQ(Params(0xFF, 0x58, {4, 9, 24, 8}), (V{"480", "4"}));
    EXPECT_EQ(Params(0xFF, 0x59, {0xFD, 0}), (V{"-3"}));
    EXPECT_EQ(Params(0xFF, 0x51, {0x07, 0xA1, 0x20}), (V{"500000"}));
    EXPECT_EQ(Params(0xE0, 0, {}, 0, 64), (V{"0"}));
    EXPECT_EQ(Params(0xE0, 0, {}, 0x7F, 0x7F), (V{"8191"}));
    EXPECT_EQ(Params(0xE0, 0, {}, 0, 0), (V{"-8192"}));
    EXPECT_EQ(Params(0xFF, 0x01, {'a', 'b', 'c'}), (V{"\"abc\""}));
    EXPECT_EQ(Params(0xFF, 0x01, {'a', 0, 'b'}), (V{"\"a"}));
    EXPECT_EQ(Params(0xFF, 0x01, {}), V{});
    EXPECT_EQ(Params(0xFF, 0x20, {0}), (V{"\""}));
    EXPECT_EQ(Params(0xFF, 0x2F, {}), V{});
    EXPECT_EQ(Params(0xFF, 0x21, {1, 2}), V{});
    EXPECT_EQ(Params(0xFF, 0x7F, {0x43, 1, 2, 3, 4, 5, 6}), V{});
    // System exclusive of at least 7 bytes shows its address.
    EXPECT_EQ(Params(0xF0, 0, {0x43, 0x10, 0x4C, 0x08, 0x00, 0xF0, 0x40, 0xF7}), (V{"0x8", "0x0", "0xf0", "...."}));
    EXPECT_EQ(Params(0xF0, 0, {0x7E, 0x7F}), V{});
}

TEST(ArticWrkUtilKinds, ShortMetaDataIsNotReadPastItsEnd) {
    using V = std::vector<CString>;
    EXPECT_EQ(Params(0xFF, 0x58, {3}), V{});
    EXPECT_EQ(Params(0xFF, 0x59, {0xFD}), V{});
    EXPECT_EQ(Params(0xFF, 0x51, {0x07, 0xA1}), V{});
    EXPECT_EQ(Params(0xFF, 0x51, {}), V{});
}

TEST(ArticWrkUtilKinds, ParameterTextsOfAnUnnamedKindFail) {
    CArticErr::Clear();
    CArticWrkEvnt e;
    e.SetStatus(0x95);
    CStringList texts;
    EXPECT_EQ(CArticWrkUtil::GetEvntParam(&e, texts), 1);
    EXPECT_EQ(texts.GetCount(), 0);
    EXPECT_EQ(CArticWrkUtil::GetEvntParam(nullptr, texts), 0);
    CArticErr::Delete();
}

TEST(ArticWrkUtilFingering, Lines) {
    struct Case { const char* line; int rc; ULONG no; int pos; int gen, fng, cho; };
    const Case cases[] = {
        {"w12:s:ﾎﾟｼﾞｼｮﾝ:5:弦:2:指:1:ﾌﾚｯﾄ:7:ﾁｮｰｷﾝｸﾞ:0", 0, 12, 5, 2, 1, 0},
        {"w12[s],ﾎﾟｼﾞｼｮﾝ[5]弦,2::指:1,ﾌﾚｯﾄ:7:ﾁｮｰｷﾝｸﾞ:0:trailing", 0, 12, 5, 2, 1, 0},
        {"w0x1A:s:ﾎﾟｼﾞｼｮﾝ:5:弦:258:指:1:ﾌﾚｯﾄ:7:ﾁｮｰｷﾝｸﾞ:130", 0, 26, 5, 2, 1, 2},
        {"W12:s:ﾎﾟｼﾞｼｮﾝ:5:弦:2:指:1:ﾌﾚｯﾄ:7:ﾁｮｰｷﾝｸﾞ:0", 1, 0, 0, 0, 0, 0},
        {"w:s:ﾎﾟｼﾞｼｮﾝ:5:弦:2:指:1:ﾌﾚｯﾄ:7:ﾁｮｰｷﾝｸﾞ:0", 1, 0, 0, 0, 0, 0},
        {"w12:s:ﾎﾟｼﾞｼｮﾝ:5a:弦:2:指:1:ﾌﾚｯﾄ:7:ﾁｮｰｷﾝｸﾞ:0", 1, 0, 0, 0, 0, 0},
        {"w12:s:ﾎﾟｼﾞｼｮﾝ:-1:弦:2:指:1:ﾌﾚｯﾄ:7:ﾁｮｰｷﾝｸﾞ:0", 1, 0, 0, 0, 0, 0},
        {"w12:s:弦:2:ﾎﾟｼﾞｼｮﾝ:5:指:1:ﾌﾚｯﾄ:7:ﾁｮｰｷﾝｸﾞ:0", 1, 0, 0, 0, 0, 0},
        {"w12:ﾎﾟｼﾞｼｮﾝ:5:弦:2:指:1:ﾌﾚｯﾄ:7:ﾁｮｰｷﾝｸﾞ:0", 1, 0, 0, 0, 0, 0},
        {"w12:s:ﾎﾟｼﾞｼｮﾝ:5:弦:2:指:1:ﾌﾚｯﾄ:x:ﾁｮｰｷﾝｸﾞ:0", 1, 0, 0, 0, 0, 0},
        {"w12:s:ﾎﾟｼﾞｼｮﾝ:5:弦:2:指:1:ﾌﾚｯﾄ:7:ﾁｮｰｷﾝｸﾞ", 1, 0, 0, 0, 0, 0},
        {"", 1, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        ULONG no = 0;
        int pos = 0;
        BYTE gen = 0, fng = 0;
        char cho = 0;
        EXPECT_EQ(CArticWrkUtil::GetFngrInfo(c.line, &no, &pos, &gen, &fng, &cho), c.rc) << c.line;
        if (c.rc != 0) continue;
        EXPECT_EQ(no, c.no) << c.line;
        EXPECT_EQ(pos, c.pos) << c.line;
        EXPECT_EQ(gen, c.gen) << c.line;
        EXPECT_EQ(fng, c.fng) << c.line;
        EXPECT_EQ(cho, c.cho) << c.line;
    }
}

TEST(ArticWrkUtil, SortByTimeOrdersNotesOfOneTimeByKey) {
    CArticWrkEvnt a, b, c, cc, late;
    for (auto* e : {&a, &b, &c}) e->SetStatus(0x90);
    a.SetPost1(64);
    b.SetPost1(60);
    c.SetPost1(67);
    cc.SetStatus(0xB0);
    late.SetStatus(0x90);
    late.SetTime(10, 0);
    CArticWrkEvntList list;
    for (auto* e : {&late, &a, &cc, &b, &c}) list.AddTail(e);
    EXPECT_EQ(CArticWrkUtil::SortByTime(&list), 0);
    std::vector<CArticWrkEvnt*> order;
    for (POSITION p = list.GetHeadPosition(); p;) order.push_back(list.GetNext(p));
    EXPECT_EQ(order, (std::vector<CArticWrkEvnt*>{&a, &cc, &b, &c, &late}));
    EXPECT_EQ(CArticWrkUtil::SortByTime(nullptr), 1);
}

TEST(ArticWrkUtil, DelEvntRemovesAndReports) {
    CArticWrk wrk;
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkEvnt* note = AddNote(blk, 0, 0, 60);
    EXPECT_EQ(CArticWrkUtil::DelEvnt(note), 0);
    EXPECT_EQ(blk->GetCount(), 0);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(0u, 0), nullptr);
    CArticWrkEvnt loose;
    EXPECT_EQ(CArticWrkUtil::DelEvnt(&loose), 1);  // not in a block: nothing deleted
    EXPECT_EQ(CArticWrkUtil::DelEvnt(nullptr), 1);
}

TEST(ArticWrkUtil, ShiftPackedEventsInABlockAndItsTimeline) {
    CArticWrk wrk;
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkEvnt* range = NewEvnt(blk, 0, 0x20, 0, 0, 0);
    range->SetPost3(125);
    blk->Sort(range, 1);
    blk->SetCondPos(range);
    CArticWrkEvnt* nrpn = NewEvnt(blk, 1, 0x20, 0, 0, 1);  // same status, another parameter
    nrpn->SetPost3(10);
    blk->Sort(nrpn, 1);
    EXPECT_EQ(CArticWrkUtil::ShiftPackedEvnt(blk, 0x20, 0, 0, 0, 100, 5), 0);
    EXPECT_EQ(range->GetPost3(), 127);
    EXPECT_EQ(nrpn->GetPost3(), 10);
    _WRK_EVNT rec;
    rec.Status = 0x20;
    LONG a = 0, b = 0, c = 0;
    EXPECT_EQ(blk->GetCondPos(rec, 0, &a, &b, &c), 0);
    EXPECT_EQ(a, 127);
}
