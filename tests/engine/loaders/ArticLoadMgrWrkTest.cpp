// The work-data text dump read back into work data, and the bar/beat/tick
// and note-list readers that the expression readers share with it.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "services/ArticErr.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/work/ArticFngrInfo.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"

namespace {

struct DumpReader : ::testing::Test {
    DumpReader() { CArticErr::Clear(); }
    ~DumpReader() override {
        wrk.ResetAllEvntPos();  // frees the events of new-note lists, which no block owns
        CArticErr::Delete();
    }
    CArticWrk wrk;
    CArticLoadMgr loader{&wrk, nullptr};

    int Dump(std::initializer_list<const char*> lines) {
        CStringList list;
        for (const char* l : lines) list.AddTail(CString(l));
        return loader.LoadWrk(list);
    }
    CArticWrkTrk* Trk(int i) { return wrk.Get(i); }
    CArticWrkBlk* Blk(int t, int b) { return Trk(t) ? Trk(t)->Get(b) : nullptr; }
    CArticWrkEvnt* Evnt(ULONG no) { return wrk.GetEvntInEvntPosArray(no, 0); }
    static std::vector<BYTE> MetaData(const CArticWrkEvnt* e) {
        const BYTE* data = nullptr;
        const ULONG len = e->GetMeta(nullptr, &data);
        return data ? std::vector<BYTE>(data, data + len) : std::vector<BYTE>();
    }
    // A list the caller owns, as the expression readers hand it over.
    struct OwnedList {
        CArticWrkEvntList* list = new CArticWrkEvntList();
        ~OwnedList() { delete list; }
        int Count() const { return list ? list->GetCount() : -1; }
        CArticWrkEvnt* At(int i) const { return list->GetAt(list->FindIndex(i)); }
    };
};

}  // namespace

TEST_F(DumpReader, TrackHeads) {
    struct Case {
        const char* line;
        bool ok;
        ULONG ch, port;
    };
    const Case kCases[] = {
        {"TRK:1,ch0", false, 0, 0},
        {"TRK:1,ch1", true, 0, ULONG(-1)},
        {"TRK:1", true, ULONG(-2), ULONG(-1)},
        {"TRK:1, port3, ch2, ch5", true, 1, 3},
        {"TRK:1,ch16,port0", true, 15, 0},
        {"TRK:1,port-1", false, 0, 0},
        {"TRK:1,name,ch3", true, 2, ULONG(-1)},  // unknown items are skipped, two are looked at
        {"TRK:-1", false, 0, 0},
        {"TRK:", false, 0, 0},
        {"TRK1", false, 0, 0},
    };
    for (const Case& c : kCases) {
        const int r = Dump({c.line});
        EXPECT_EQ(r == 0, c.ok) << c.line;
        if (!c.ok) {
            EXPECT_EQ(wrk.GetCount(), 0) << c.line;
            continue;
        }
        ASSERT_EQ(wrk.GetCount(), 1) << c.line;
        EXPECT_EQ(Trk(0)->GetTrkNo(), 1u) << c.line;
        EXPECT_EQ(Trk(0)->GetCh(), c.ch) << c.line;
        EXPECT_EQ(Trk(0)->GetPort(), c.port) << c.line;
    }
}

TEST_F(DumpReader, BlockHeads) {
    EXPECT_NE(Dump({"BLK:3"}), 0);  // no track yet
    EXPECT_EQ(wrk.GetCount(), 0);
    EXPECT_NE(Dump({"TRK:1", "BLK:3x"}), 0);
    EXPECT_EQ(Trk(0)->GetCount(), 0);

    ASSERT_EQ(Dump({"TRK:1", "BLK:3x,Drum", "BLK:4, name=\"Lead  A\", DrumS4", "BLK:5,name=x,Normal",
                    "BLK:0,posTrk4000000000=0x10,posBlk-1=0x20,posTrk0=0x0804a0b0"}),
              0);
    ASSERT_EQ(Trk(0)->GetCount(), 4);
    EXPECT_EQ(Blk(0, 0)->GetBlkNo(), 3u);
    EXPECT_EQ(Blk(0, 0)->GetPartMode(), 1);
    EXPECT_EQ(Blk(0, 1)->GetPartMode(), 5);
    EXPECT_EQ(std::string(Blk(0, 1)->GetBlkName().str()), "Lead  A");  // blanks inside quotes stay
    EXPECT_EQ(Blk(0, 2)->GetBlkName().GetLength(), 0);  // an unquoted name is no name
    // Positions of another song are never taken, however they are written.
    EXPECT_EQ(Blk(0, 3)->GetBlkNo(), 0u);
    EXPECT_EQ(Blk(0, 3)->GetPosArray()->GetSize(), 0);
}

TEST_F(DumpReader, EventLinesAndBodies) {
    struct Case {
        const char* line;
        bool ok;
    };
    const Case kCases[] = {
        {"w5:1/1/0,Note,C3,120", true},   {"w5:1/1/0,Cc,7,100", false},  {"w5:1/1/0,Note,C3", false},
        {"w5:1/1/0,Note,C3,-1", false},   {"w5:1/1/0,Note,X9,120", false}, {"w5:1/2,Note,C3,120", false},
        {"w5x:1/1/0,Note,C3,120", false}, {"w-5:1/1/0,Note,C3,120", false}, {"w5:1/1/0,Bogus,1,1", false},
        {"w5:1/1/0,Beat,240,6", true},    {"w5:1/1/0,Beat,240:6", true},   {"w5:1/1/0,Beat,240", false},
        {"w5:1/1/0,Beat,70000,6", false}, {"w5:1/1/0,Beat,240,256", false}, {"w5:1/1/0,Meter,-3", true},
        {"w5:1/1/0,Meter,128", false},    {"w5:1/1/0,Meter", false},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(Dump({"TRK:1", "BLK:0", c.line}) == 0, c.ok) << c.line;
        EXPECT_EQ(Blk(0, 0)->GetCount(), c.ok ? 1 : 0) << c.line;
        EXPECT_EQ(Evnt(5) != nullptr, c.ok) << c.line;
    }

    ASSERT_EQ(Dump({"TRK:1", "BLK:0", "w5:2/3/40,Note,C3,120", "w6:1/1/0,Beat,240,6", "w7:1/1/0,Beat,240:6",
                    "w8:1/1/0,Meter,-3,extra"}),
              0);
    CArticWrkEvnt* note = Evnt(5);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->GetStatus(), 0x90);
    EXPECT_EQ(note->GetPost1(), 60);
    EXPECT_EQ(note->GetPost2(), 64);
    EXPECT_EQ(note->GetGateTime(), 120);
    ULONG bar = 0, beat = 0, tick = 0;
    note->GetMeas(&bar, &beat, &tick);
    EXPECT_EQ(std::vector<ULONG>({bar, beat, tick}), std::vector<ULONG>({2, 3, 40}));
    // Time signatures: numerator, then the denominator as a power of two.
    EXPECT_EQ(Evnt(6)->GetMetaType(), 0x58);
    EXPECT_EQ(MetaData(Evnt(6))[0], 6);
    EXPECT_EQ(MetaData(Evnt(6))[1], 3);  // eighths: a beat of 240 ticks
    EXPECT_EQ(MetaData(Evnt(7))[0], 6);
    EXPECT_EQ(MetaData(Evnt(7))[1], 2);  // the beat length was skipped: quarters
    EXPECT_EQ(MetaData(Evnt(8)), (std::vector<BYTE>{0xFD, 0}));
}

TEST_F(DumpReader, LinesAreReportedSkippedAndTheRestRead) {
    EXPECT_EQ(Dump({}), 1);
    EXPECT_EQ(Dump({";TRK:1", "; anything at all"}), 0);
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);

    EXPECT_NE(Dump({"TRK:1", "", "BLK:0", "w1 : 1/1/0, Note, D3, 10", "w2:junk", "w3:1/1/0,Note,E3,10"}), 0);
    ASSERT_EQ(Blk(0, 0)->GetCount(), 2);
    EXPECT_EQ(Evnt(1)->GetPost1(), 62);
    EXPECT_EQ(Evnt(3)->GetPost1(), 64);
    // Two faulty lines: each an error with its line as a detail line.
    CStringList details;
    CArticErr::GetMsgStrList(details);
    ASSERT_EQ(details.GetCount(), 1);  // the empty line has no text to repeat
    EXPECT_EQ(std::string(details.GetHead().str()), "w2:junk");
    BYTE kind = 0;
    CString content, cls, method, detail;
    CArticErr::Get(kind, content, cls, method, detail);
    EXPECT_EQ(std::string(method.str()), "LoadWrk");
    EXPECT_EQ(std::string(cls.str()), "CArticLoadMgr");

    // Each dump replaces what the work data held.
    ASSERT_EQ(Dump({"TRK:2"}), 0);
    EXPECT_EQ(wrk.GetCount(), 1);
    EXPECT_EQ(Evnt(1), nullptr);
    CArticLoadMgr unbound(nullptr, nullptr);
    CStringList lines;
    lines.AddTail(CString("TRK:1"));
    EXPECT_EQ(unbound.LoadWrk(lines), 1);
}

TEST_F(DumpReader, MeasureBlockAndFingering) {
    ASSERT_EQ(Dump({"TRK:0", "BLK:0", "w1:1/1/0,Beat,480,3", "w2:1/1/0,Note,C3,10", "TRK:0", "BLK:0",
                    "TRK:1", "BLK:0", "w3:1/1/0,Note,C3,10", "TRK:2", "BLK:5", "w4:2/1/0,Note,C3,10"}),
              0);
    EXPECT_EQ(wrk.GetMeasBlk(), Blk(0, 0));  // the second block 0 of track 0 does not replace it
    EXPECT_EQ(Evnt(2)->GetFngrInfo(), nullptr);
    ASSERT_TRUE(Evnt(3)->GetFngrInfo());
    EXPECT_EQ(Evnt(3)->GetFngrInfo()->GetGen(), 0);
    ASSERT_TRUE(Evnt(4)->GetFngrInfo());
    EXPECT_EQ(Evnt(4)->GetFngrInfo()->GetGen(), 1);
    // Bar 2 of a 3/4 measure block starts three quarters in.
    EXPECT_EQ(Evnt(4)->GetTime(), 3 * 480);

    // A refused line of the measure block leaves nothing there.
    EXPECT_NE(Dump({"TRK:0", "BLK:0", "w1:1/1/0,Beat,480,3", "w2:2/1/0,Beat,480", "w3:3/1/0,Note,C3,x"}), 0);
    EXPECT_EQ(wrk.GetMeasBlk(), Blk(0, 0));
    EXPECT_EQ(Blk(0, 0)->GetCount(), 1);
    EXPECT_EQ(Evnt(2), nullptr);
    EXPECT_EQ(Evnt(3), nullptr);
}

TEST_F(DumpReader, BarBeatTick) {
    struct Case {
        const char* item;
        bool ok;
        ULONG bar, beat, tick;
    };
    const Case kCases[] = {
        {"1/2/", true, 1, 2, 0},     {"1/2", false, 0, 0, 0},      {"1//2/3", true, 1, 2, 3},
        {"/1/2/3", true, 1, 2, 3},   {"1/2/3/9", true, 1, 2, 3},   {"", false, 0, 0, 0},
        {"1/-2/3", false, 0, 0, 0},  {"1/2x/3", false, 0, 0, 0},   {"12/3/479", true, 12, 3, 479},
        {"1", false, 0, 0, 0},       {"//", false, 0, 0, 0},
    };
    for (const Case& c : kCases) {
        CExString item(c.item);
        ULONG bar = 99, beat = 99, tick = 99;
        EXPECT_EQ(loader.GetMeas(item, &bar, &beat, &tick) == 0, c.ok) << c.item;
        if (c.ok) EXPECT_EQ(std::vector<ULONG>({bar, beat, tick}), std::vector<ULONG>({c.bar, c.beat, c.tick})) << c.item;
    }
    // What was read before the failing part stays stored.
    CExString item("7/x/1");
    ULONG bar = 0, beat = 5, tick = 5;
    EXPECT_NE(loader.GetMeas(item, &bar, &beat, &tick), 0);
    EXPECT_EQ(bar, 7u);
}

TEST_F(DumpReader, PositionArrayHelpers) {
    CArticPosArray positions;
    int a = 0, b = 0, c = 0;
    auto* pa = reinterpret_cast<POSITION>(&a);
    auto* pb = reinterpret_cast<POSITION>(&b);
    auto* pc = reinterpret_cast<POSITION>(&c);
    loader.SetPosTrk(&positions, 2, pa);
    EXPECT_EQ(positions.GetSize(), 4);  // grown by an even count
    loader.SetPosBlk(&positions, 2, pb);
    loader.SetPosBlk(&positions, 0, pc);
    loader.SetPosTrk(&positions, CArticLoadMgr::kMaxPosIndex + 1, pa);
    loader.SetPosTrk(&positions, 1, nullptr);
    loader.SetPosTrk(nullptr, 1, pa);
    EXPECT_EQ(positions.GetSize(), 4);
    ASSERT_TRUE(positions.GetAt(2));
    EXPECT_EQ(positions.GetAt(2)->GetTrk(), pa);
    EXPECT_EQ(positions.GetAt(2)->GetBlk(), pb);
    EXPECT_EQ(positions.GetAt(0)->GetTrk(), nullptr);
    EXPECT_EQ(positions.GetAt(0)->GetBlk(), pc);
    EXPECT_EQ(positions.GetAt(1), nullptr);
    loader.ClearPosArray(&positions);
    EXPECT_EQ(positions.GetSize(), 0);
}

TEST_F(DumpReader, NoteListsOfExistingEvents) {
    ASSERT_EQ(Dump({"TRK:1", "BLK:0", "w1:1/1/0,Note,C3,10", "w2:1/2/0,Note,D3,10"}), 0);
    {
        OwnedList l;
        CExString rest("{w1,w2}");
        EXPECT_EQ(loader.LoadWrkEvntList(rest, 0, &l.list), 0);
        EXPECT_EQ(l.Count(), 0);
        EXPECT_EQ(std::string(rest.str()), "{w1,w2}");  // nothing consumed
    }
    {
        OwnedList l;
        CExString rest("{w1,w2})");
        ASSERT_EQ(loader.LoadWrkEvntList(rest, 2, &l.list), 0);
        ASSERT_EQ(l.Count(), 2);
        EXPECT_EQ(l.At(0), Evnt(1));
        EXPECT_EQ(l.At(1), Evnt(2));
        EXPECT_EQ(std::string(rest.str()), "})");
    }
    struct Case {
        const char* rest;
        ULONG count;
        int entries;  // -1: refused
    };
    const Case kCases[] = {
        {"{w1,w2}", 2, -1},  {"{w2})", 5, 1},    {"{w1,w2,w1})", 2, 2}, {"{ww2})", 1, 1},
        {"{w9})", 1, -1},    {"{x1})", 1, -1},   {"{w-1})", 1, -1},     {"{})", 1, -1},
        {"{w2}", 1, -1},
    };
    for (const Case& c : kCases) {
        OwnedList l;
        CExString rest(c.rest);
        EXPECT_EQ(loader.LoadWrkEvntList(rest, c.count, &l.list) == 0, c.entries >= 0) << c.rest;
        EXPECT_EQ(l.Count(), c.entries) << c.rest;  // a refused list is deleted and its pointer cleared
    }
}

TEST_F(DumpReader, NoteListsOfNewEvents) {
    ASSERT_EQ(Dump({"TRK:1", "BLK:0", "w1:1/1/0,Note,C3,10"}), 0);
    {
        OwnedList l;
        CExString rest("{w20,w21})");
        ASSERT_EQ(loader.LoadWrkEvntList2(rest, 2, &l.list), 0);
        ASSERT_EQ(l.Count(), 2);
        EXPECT_EQ(l.At(0)->GetEvntNo(), 20u);
        EXPECT_EQ(l.At(0)->GetOwner(), nullptr);
        EXPECT_EQ(Evnt(20), l.At(0));  // registered, in no block
        EXPECT_EQ(Evnt(21), l.At(1));
        EXPECT_EQ(wrk.GetEvntInEvntPosArray(20, 1), nullptr);
    }
    struct Case {
        const char* rest;
        ULONG count;
    };
    // Each fails at its last entry: a placed event, a number taken by a new
    // event, one the table cannot hold, or the end of the text.
    const Case kRefused[] = {{"{w30,w1})", 2}, {"{w30,w20})", 2}, {"{w30,w30})", 2},
                             {"{w30,w99999999})", 2}, {"{w30,w31}", 2}};
    for (const Case& c : kRefused) {
        OwnedList l;
        CExString rest(c.rest);
        EXPECT_NE(loader.LoadWrkEvntList2(rest, c.count, &l.list), 0) << c.rest;
        EXPECT_EQ(l.list, nullptr) << c.rest;
        EXPECT_EQ(Evnt(30), nullptr) << c.rest;  // the event made first is gone again
        EXPECT_EQ(Evnt(31), nullptr) << c.rest;
        ASSERT_TRUE(Evnt(20)) << c.rest;
        EXPECT_EQ(Evnt(20)->GetEvntNo(), 20u) << c.rest;
    }
    EXPECT_EQ(Blk(0, 0)->GetCount(), 1);
}
