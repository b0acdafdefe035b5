#pragma once
// Phrase files written with the engine's SMF writer into a library folder of
// the test's own, and the check every phrase, tempo and layer class shares:
// its text line, its copy and the phases it leaves alone.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ExpFixture.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticCash.h"
#include "engine/work/ArticFileIO.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/TempFolder.h"

namespace exptest {

// The library folder lives as long as the object; the phrase cache starts empty.
struct PhraseLib {
    TempFolder folder;
    CString saved = CArticUtil::GetLibPath();
    std::vector<std::unique_ptr<CArticWrkEvnt>> owned;
    CArticWrkEvntList list;

    PhraseLib() {
        CString path(folder.path().c_str());
        CArticUtil::SetLibPath(&path);
        CArticCash::Clear();
    }
    ~PhraseLib() {
        CArticCash::Delete();
        CArticUtil::SetLibPath(&saved);
    }
    CArticWrkEvnt* Add(BYTE status, INT64 time) {
        owned.push_back(std::make_unique<CArticWrkEvnt>());
        CArticWrkEvnt* e = owned.back().get();
        e->SetStatus(status);
        e->SetTime(time, 0);
        list.AddTail(e);
        return e;
    }
    void Note(INT64 time, BYTE key, INT64 gate, BYTE velo = 100) {
        CArticWrkEvnt* e = Add(0x90, time);
        e->SetPost1(key);
        e->SetPost2(velo);
        e->SetGateTime(gate);
    }
    void Bend(INT64 time, int value) {
        CArticWrkEvnt* e = Add(0xE0, time);
        _WRK_EVNT r;
        e->Get(r);
        CArticWrkUtil::SetPitchBend(r, short(value));
        e->Set(r);
    }
    void Cc(INT64 time, BYTE number, BYTE value) {
        CArticWrkEvnt* e = Add(0xB0, time);
        e->SetPost1(number);
        e->SetPost2(value);
    }
    // Writes the events added so far as name, then starts a new phrase.
    void Save(const char* name) {
        CArticFileIO io;
        io.SetEvntList(&list);
        ASSERT_EQ(io.Save((folder / name).c_str()), 1) << name;
        list.RemoveAll();
    }
};

// e, put into blk, writes line, and so does its copy; the copy keeps the
// form, and phases 1-2 and 3 (and 2 unless phase2 is given) give 0.
inline void ExpectLineAndCopy(CArticExpBlk* blk, CArticExpEvnt* e, const char* line, int phase2 = 0) {
    blk->AddTail(e);
    EXPECT_EQ(LineOf(e), line);
    CArticExpEvnt* copy = nullptr;
    ASSERT_EQ(CArticExpUtil::CopyEvnt(e, &copy, blk, e->GetEvntNo(), nullptr), 0) << line;
    EXPECT_EQ(LineOf(copy), line);
    EXPECT_EQ(copy->GetEvntType(), e->GetEvntType()) << line;
    EXPECT_EQ(copy->GetTgNeed(), e->GetTgNeed()) << line;
    EXPECT_EQ(copy->ConvToWrkCombine(), 0) << line;
    EXPECT_EQ(copy->ConvToWrk2(), phase2) << line;
    EXPECT_EQ(copy->ConvToWrk3(), 0) << line;
    delete copy;
}

}  // namespace exptest
