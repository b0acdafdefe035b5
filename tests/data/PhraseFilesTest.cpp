// The five phrase files shipped in Lib/: they load through the engine's
// reader under either spelling of their names and hold what their
// expressions paste.
#include <gtest/gtest.h>

#include <vector>

#include "engine/work/ArticCash.h"
#include "engine/work/ArticFileIO.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrkUtil.h"

namespace {

struct Point {
    INT64 time;
    int value;
};

// The events of one kind (0xB0 with controller 11, or 0xE0); false when the
// file holds any other channel event.
bool Curve(CArticWrkEvntList* list, BYTE status, std::vector<Point>& out) {
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (e->GetStatus() == 0xFF) continue;
        if (e->GetStatus() != status) return false;
        _WRK_EVNT r;
        e->Get(r);
        if (status == 0xB0) {
            if (e->GetPost1() != 11) return false;
            out.push_back({e->GetTime(), e->GetPost2()});
        } else {
            out.push_back({e->GetTime(), CArticWrkUtil::GetPitchBend(r)});
        }
    }
    return !out.empty();
}

struct PhraseCase {
    const char* name;       // as the scripts write it
    const char* otherName;  // as the start-up check writes it
    BYTE status;
    int first, minLast, maxLast;  // the first value and the range of the last
    bool cycle;                   // a vibrato cycle: first and last values equal
    int depth;                    // the largest distance from the centre at least
};

const PhraseCase kPhrases[] = {
    {"GlisDn.mid", "glisdn.mid", 0xB0, 64, 0, 8, false, 56},
    {"Sdn5nt.mid", "SDN5NT.MID", 0xE0, 0, -8192, -4096, false, 4096},
    {"Vib3-g02.mid", "vib3-g02.mid", 0xE0, 0, 0, 0, true, 512},
    {"Vib3-g03.mid", "vib3-g03.mid", 0xE0, 0, 0, 0, true, 1536},
    {"vib4-g02.mid", "Vib4-g02.mid", 0xE0, 0, 0, 0, true, 512},
};

CString LibFolder() { return CString(VEXA_SOURCE_DIR "/data/Lib/"); }

}  // namespace

TEST(PhraseFiles, EachLoadsAndHoldsItsKindOfCurve) {
    CArticCash::Clear();
    for (const auto& c : kPhrases) {
        for (const char* name : {c.name, c.otherName}) {
            CArticFileIO io;
            const CString path = LibFolder() + name;
            ASSERT_EQ(io.Load(path.c_str()), 1) << name;
            std::vector<Point> curve;
            ASSERT_TRUE(Curve(io.GetEvntListPtr(), c.status, curve)) << name;
            ASSERT_GE(curve.size(), 3u) << name;
            EXPECT_EQ(curve.front().time, 0) << name;
            EXPECT_EQ(curve.front().value, c.first) << name;
            EXPECT_GE(curve.back().value, c.minLast) << name;
            EXPECT_LE(curve.back().value, c.maxLast) << name;
            EXPECT_GT(curve.back().time, 0) << name;
            int centre = c.status == 0xB0 ? 64 : 0, depth = 0, above = 0, below = 0;
            for (size_t i = 0; i < curve.size(); ++i) {
                const int d = curve[i].value - centre;
                depth = std::max(depth, std::abs(d));
                above += d > 0;
                below += d < 0;
                if (i) EXPECT_GT(curve[i].time, curve[i - 1].time) << name;
                // a fall never rises again
                if (i && !c.cycle) EXPECT_LE(curve[i].value, curve[i - 1].value) << name;
            }
            EXPECT_GE(depth, c.depth) << name;
            if (c.cycle) {
                EXPECT_EQ(curve.back().value, curve.front().value) << name;
                EXPECT_GT(above, 0) << name;
                EXPECT_GT(below, 0) << name;
            } else {
                EXPECT_EQ(above, 0) << name;
            }
        }
    }
    CArticCash::Delete();
}

TEST(PhraseFiles, DeeperVibratoIsDeeper) {
    auto depthOf = [](const char* name) {
        CArticFileIO io;
        const CString path = LibFolder() + name;
        EXPECT_EQ(io.Load(path.c_str()), 1) << name;
        std::vector<Point> curve;
        int depth = 0;
        if (io.GetEvntListPtr() && Curve(io.GetEvntListPtr(), 0xE0, curve))
            for (const Point& p : curve) depth = std::max(depth, std::abs(p.value));
        return depth;
    };
    EXPECT_GT(depthOf("Vib3-g03.mid"), depthOf("Vib3-g02.mid"));
}

TEST(PhraseFiles, FoundThroughTheLibraryFolder) {
    CString folder = LibFolder();
    CArticUtil::SetLibPath(&folder);
    for (const char* name : {"GlisDn.mid", "Sdn5nt.mid", "vib3-g02.mid", "vib3-g03.mid", "vib4-g02.mid"}) {
        EXPECT_TRUE(CFile::GetStatus(CArticUtil::GetLibFullPath(name))) << name;
    }
    CString none;
    CArticUtil::SetLibPath(&none);
}
