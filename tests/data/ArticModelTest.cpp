// The model-file reader over hand-made files: the edges of each section, the
// names' NUL rule, lookups, and counts that claim more than the file holds.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "data/ArticModel.h"
#include "data/FilledVoiceTables.h"
#include "platform/File.h"

// The largest single allocation while armed: a reader that believes a count
// allocates before it finds the bytes missing. Every plain form of new and
// delete goes through malloc and free, so the pairs stay matched.
namespace {
std::atomic<bool> g_trackAllocations{false};
std::atomic<size_t> g_largestAllocation{0};

void* TrackedAlloc(std::size_t size) {
    if (g_trackAllocations.load(std::memory_order_relaxed) && size > g_largestAllocation.load())
        g_largestAllocation.store(size);
    return std::malloc(size ? size : 1);
}
}  // namespace

void* operator new(std::size_t size) {
    if (void* p = TrackedAlloc(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = TrackedAlloc(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return TrackedAlloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return TrackedAlloc(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

// A model file written field by field.
class ModelFile {
public:
    ModelFile& U8(int v) {
        bytes.push_back(BYTE(v));
        return *this;
    }
    ModelFile& I32(int64_t v) {
        const uint32_t u = uint32_t(v);
        for (int i = 0; i < 4; ++i) bytes.push_back(BYTE(u >> (8 * i)));
        return *this;
    }
    ModelFile& Text(const std::string& s) {
        U8(int(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    ModelFile& Raw(size_t n, BYTE v) {
        bytes.insert(bytes.end(), n, v);
        return *this;
    }
    ModelFile& Truncate(size_t n) {
        bytes.resize(n);
        return *this;
    }
    std::vector<BYTE> bytes;
};

// Name "M", one program name, one conversion, three voices and a 4-byte picture.
ModelFile FourSections() {
    ModelFile f;
    f.Text("M");
    f.I32(1).U8(8).U8(0).U8(1).Text("Steel");
    f.I32(1).U8(0).U8(0).U8(25).I32(1);
    f.I32(3).U8(1).U8(0).U8(1);
    f.I32(4).Raw(4, 0xAB);
    return f;
}

ModelFile WithDrumNames(ModelFile f, int count) {
    f.I32(count);
    for (int i = 0; i < count; ++i) f.U8(127).U8(0).U8(0).U8(22 + i).Text("Kick");
    return f;
}

// Everything empty up to the given section-3 count and the availability bytes.
ModelFile Voices(int count, const std::vector<int>& on) {
    ModelFile f;
    f.Text("V").I32(0).I32(0).I32(count);
    std::vector<BYTE> bytes(size_t(count > 0 ? count : 0), 0);
    for (int v : on) bytes[size_t(v)] = 1;
    f.bytes.insert(f.bytes.end(), bytes.begin(), bytes.end());
    f.I32(0);
    return f;
}

struct ReaderCase {
    const char* what;
    ModelFile file;
    bool loads;
    std::function<void(const CArticModel&)> check;
};

std::vector<ReaderCase> ReaderCases() {
    std::vector<ReaderCase> cases;
    cases.push_back({"ends after section 4", FourSections(), true, [](const CArticModel& m) {
                         EXPECT_STREQ(m.m_Name, "M");
                         EXPECT_FALSE(m.m_pDrumVoiceNames);
                         EXPECT_EQ(m.m_Picture, std::vector<BYTE>(4, 0xAB));
                         ASSERT_TRUE(m.FindProgramName(8, 0, 1));
                         EXPECT_STREQ(m.FindProgramName(8, 0, 1)->m_Name, "Steel");
                         ASSERT_TRUE(m.FindProConv(0, 0, 25));
                         EXPECT_EQ(m.FindProConv(0, 0, 25)->m_VoiceIndex, 1);
                         EXPECT_FALSE(m.FindProConv(0, 0, 24));
                     }});
    {
        ModelFile f = FourSections();
        cases.push_back({"ends inside section 4", f.Truncate(f.bytes.size() - 1), false, nullptr});
    }
    {
        ModelFile f = FourSections();
        cases.push_back({"ends inside the section-5 count", f.U8(1).U8(0), true,
                         [](const CArticModel& m) { EXPECT_FALSE(m.m_pDrumVoiceNames); }});
    }
    cases.push_back({"section 5 read", WithDrumNames(FourSections(), 2), true, [](const CArticModel& m) {
                         ASSERT_TRUE(m.m_pDrumVoiceNames);
                         EXPECT_EQ(m.m_pDrumVoiceNames->size(), 2u);
                         ASSERT_TRUE(m.FindDrumVoiceName(127, 0, 0, 23));
                         EXPECT_STREQ(m.FindDrumVoiceName(127, 0, 0, 23)->m_Name, "Kick");
                         EXPECT_FALSE(m.FindDrumVoiceName(127, 0, 0, 24));
                         EXPECT_FALSE(m.FindDrumVoiceName(127, 0, 1, 23));
                     }});
    {
        ModelFile f = WithDrumNames(FourSections(), 2);
        cases.push_back({"ends inside a section-5 record", f.Truncate(f.bytes.size() - 2), false, nullptr});
    }
    cases.push_back({"section-5 count 0", FourSections().I32(0), true,
                     [](const CArticModel& m) { EXPECT_FALSE(m.m_pDrumVoiceNames); }});
    cases.push_back({"name length 0", ModelFile().Text("").I32(0).I32(0).I32(0).I32(0), true,
                     [](const CArticModel& m) { EXPECT_TRUE(m.m_Name.IsEmpty()); }});
    cases.push_back({"a file of one byte", ModelFile().U8(0), false, nullptr});
    cases.push_back({"an empty file", ModelFile(), false, nullptr});
    cases.push_back({"name longer than the file", ModelFile().U8(5).Raw(4, 'x'), false, nullptr});
    cases.push_back({"counts 0 and -5 are empty sections", ModelFile().Text("E").I32(0).I32(-5).I32(-5).I32(0), true,
                     [](const CArticModel& m) {
                         EXPECT_FALSE(m.m_pProgramNames);
                         EXPECT_FALSE(m.m_pProConvs);
                         EXPECT_TRUE(m.m_Picture.empty());
                         EXPECT_EQ(m.GetGeneration(), kNoGeneration);
                     }});
    cases.push_back({"section-1 count -1", ModelFile().Text("E").I32(-1).I32(0).I32(0).I32(-1), true,
                     [](const CArticModel& m) {
                         EXPECT_FALSE(m.m_pProgramNames);
                         EXPECT_FALSE(m.FindProgramName(0, 0, 0));
                     }});
    cases.push_back({"section-3 count 3", Voices(3, {0, 2}), true, [](const CArticModel& m) {
                         EXPECT_TRUE(m.HasVoice(0));
                         EXPECT_FALSE(m.HasVoice(1));
                         EXPECT_TRUE(m.HasVoice(2));
                         for (UINT v = 3; v < 118; ++v) EXPECT_FALSE(m.HasVoice(v)) << v;
                         EXPECT_FALSE(m.HasVoice(118));
                     }});
    cases.push_back({"all voices off", Voices(118, {}), true, [](const CArticModel& m) {
                         EXPECT_EQ(m.GetGeneration(), 255);
                         EXPECT_FALSE(m.HasDrumKit());
                     }});
    cases.push_back({"voices 5 and 73", Voices(118, {5, 73}), true, [](const CArticModel& m) {
                         EXPECT_EQ(m.GetGeneration(), 6);
                         EXPECT_TRUE(m.HasDrumKit());
                     }});
    cases.push_back({"voices without a generation", Voices(118, {2, 32, 117}), true,
                     [](const CArticModel& m) { EXPECT_EQ(m.GetGeneration(), 255); }});
    cases.push_back({"voices 1 and 116", Voices(118, {1, 116}), true, [](const CArticModel& m) {
                         EXPECT_EQ(m.GetGeneration(), 7);
                         EXPECT_FALSE(m.HasDrumKit());
                     }});
    cases.push_back({"section-3 count 120 rejected", Voices(120, {}), false, nullptr});
    cases.push_back({"section-3 count 119 rejected", Voices(119, {}), false, nullptr});
    {
        ModelFile f;
        f.Text("D");
        f.I32(2).U8(8).U8(0).U8(1).Text("First").U8(8).U8(0).U8(1).Text("Second");
        f.I32(2).U8(0).U8(0).U8(25).I32(1).U8(0).U8(0).U8(25).I32(37);
        f.I32(0).I32(0);
        f.I32(2).U8(127).U8(0).U8(0).U8(36).Text("Kick").U8(127).U8(0).U8(0).U8(36).Text("Bass Drum");
        cases.push_back({"duplicate records give the first", f, true, [](const CArticModel& m) {
                             EXPECT_STREQ(m.FindProgramName(8, 0, 1)->m_Name, "First");
                             EXPECT_EQ(m.FindProConv(0, 0, 25)->m_VoiceIndex, 1);
                             EXPECT_STREQ(m.FindDrumVoiceName(127, 0, 0, 36)->m_Name, "Kick");
                         }});
    }
    {
        ModelFile f;
        f.Text(std::string("Ab\0cd", 5)).I32(1).U8(8).U8(0).U8(0).Text(std::string("N\0x", 3));
        f.I32(0).I32(0).I32(0);
        cases.push_back({"a NUL inside a name", f, true, [](const CArticModel& m) {
                             EXPECT_EQ(m.m_Name.str(), std::string("Ab\0\0\0", 5));
                             EXPECT_EQ(m.FindProgramName(8, 0, 0)->m_Name.str(), std::string("N\0\0", 3));
                         }});
    }
    {
        ModelFile f;
        f.Text("S").I32(2).U8(8).U8(0).U8(0).Text("One").U8(8).U8(0);
        cases.push_back({"ends inside a section-1 record", f, false,
                         [](const CArticModel& m) { EXPECT_FALSE(m.m_pProgramNames); }});
    }
    {
        ModelFile f;
        f.Text("S").I32(0).I32(2).U8(0).U8(0).U8(1).I32(4).U8(0).U8(0).U8(2).I32(0).I32(0);
        cases.push_back({"ends inside a section-2 record", f.Truncate(f.bytes.size() - 10), false, nullptr});
    }
    // Section 2 takes voice indexes as they stand.
    cases.push_back({"a conversion to voice -3", ModelFile().Text("S").I32(0).I32(1).U8(0).U8(0).U8(0).I32(-3).I32(0).I32(0),
                     true, [](const CArticModel& m) { EXPECT_EQ(m.FindProConv(0, 0, 0)->m_VoiceIndex, -3); }});
    return cases;
}

}  // namespace

TEST(ArticModelReader, EdgesOfTheFile) {
    FillVoiceTables();
    for (const ReaderCase& c : ReaderCases()) {
        CArticModel model;
        EXPECT_EQ(model.Load(c.file.bytes.data(), c.file.bytes.size()), c.loads) << c.what;
        if (c.check) {
            SCOPED_TRACE(c.what);
            c.check(model);
        }
    }
}

// Counts far beyond the bytes left: each file is refused, and no allocation
// grows with the count.
TEST(ArticModelReader, CountsBeyondTheFileAreRefusedBeforeAllocating) {
    FillVoiceTables();
    const int64_t kHuge = 0x7FFFFFFF;
    const ModelFile cases[] = {
        ModelFile().Text("P").I32(0).I32(0).I32(0).I32(kHuge).Raw(10, 0),         // the picture
        ModelFile().Text("N").I32(kHuge).Raw(10, 0),                              // program names
        ModelFile().Text("N").I32(3).Raw(11, 0),                                  // 3 records need 12 bytes
        ModelFile().Text("C").I32(0).I32(kHuge).Raw(10, 0),                       // conversions
        ModelFile().Text("C").I32(0).I32(2).Raw(13, 0),                           // 2 records need 14 bytes
        ModelFile().Text("D").I32(0).I32(0).I32(0).I32(0).I32(kHuge).Raw(10, 0),  // drum names
        ModelFile().Text("D").I32(0).I32(0).I32(0).I32(0).I32(3).Raw(14, 0),      // 3 records need 15 bytes
        ModelFile().Text("V").I32(0).I32(0).I32(kHuge).Raw(10, 0),                // availability
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        CArticModel model;
        g_largestAllocation = 0;
        g_trackAllocations = true;
        const bool loaded = model.Load(cases[i].bytes.data(), cases[i].bytes.size());
        g_trackAllocations = false;
        EXPECT_FALSE(loaded) << i;
        EXPECT_LT(g_largestAllocation.load(), size_t(1024)) << i;
        EXPECT_FALSE(model.m_pProgramNames) << i;
        EXPECT_TRUE(model.m_Picture.empty()) << i;
    }
}

TEST(ArticModelReader, LoadsFromAPathAndRefusesWhatIsNoModelFile) {
    FillVoiceTables();
    const std::string dir = ::testing::TempDir();
    const CString path = CString(dir + "/reader_model.exm");
    const ModelFile f = WithDrumNames(FourSections(), 1);
    ASSERT_TRUE(WriteWholeFile(path, std::string(f.bytes.begin(), f.bytes.end())));
    CArticModel model;
    ASSERT_TRUE(model.Load(path));
    EXPECT_STREQ(model.m_Name, "M");
    EXPECT_TRUE(model.FindDrumVoiceName(127, 0, 0, 22));

    CArticModel missing;
    EXPECT_FALSE(missing.Load(CString(dir + "/no_such_model.exm")));
    CArticModel folder;
    EXPECT_FALSE(folder.Load(CString(dir)));
    CFile::Remove(path);
}

TEST(ArticModelReader, WhatStoreWritesLoadsBack) {
    FillVoiceTables();
    CArticModel model;
    model.m_Name = "Round";
    model.m_pProgramNames = std::make_unique<CArticModel::ProgramNameList>();
    auto name = std::make_unique<CProgramName>();
    name->m_BankMsb = 8;
    name->m_Program = 100;
    name->m_Name = "Scat";
    model.m_pProgramNames->push_back(std::move(name));
    model.m_Availability[33] = 1;
    model.m_Picture.assign(kModelPictureSize, 7);
    CArchive ar;
    model.Store(ar);
    ASSERT_FALSE(ar.IsFailed());
    // Without a drum-name list the file ends after the picture.
    EXPECT_EQ(ar.GetBuffer().size(), 1u + 5 + 4 + 4 + 4 + 4 + 4 + 118 + 4 + size_t(kModelPictureSize));

    CArticModel back;
    ASSERT_TRUE(back.Load(ar.GetBuffer().data(), ar.GetBuffer().size()));
    EXPECT_STREQ(back.m_Name, "Round");
    ASSERT_TRUE(back.FindProgramName(8, 0, 100));
    EXPECT_STREQ(back.FindProgramName(8, 0, 100)->m_Name, "Scat");
    EXPECT_TRUE(back.HasVoice(33));
    EXPECT_EQ(back.GetGeneration(), 3);
    EXPECT_EQ(back.m_Picture, model.m_Picture);
    EXPECT_FALSE(back.m_pDrumVoiceNames);
}

TEST(ArticModelReader, NewRecordsAreCleared) {
    const CProgramName name;
    EXPECT_EQ(name.m_BankMsb + name.m_BankLsb + name.m_Program, 0);
    EXPECT_TRUE(name.m_Name.IsEmpty());
    const CProConvTable conv;
    EXPECT_EQ(conv.m_VoiceIndex, 118);
    CDrumVoiceName drum;
    drum.m_Note = 40;
    drum.m_Name = "Snare";
    drum.Clear();
    EXPECT_EQ(drum.m_Note, 0);
    EXPECT_STREQ(drum.m_Name, "Snare");
    const CArticModel model;
    EXPECT_TRUE(model.m_Name.IsEmpty());
    EXPECT_FALSE(model.m_pProgramNames || model.m_pProConvs || model.m_pDrumVoiceNames);
    for (UINT v = 0; v < 118; ++v) EXPECT_FALSE(model.HasVoice(v));
}
