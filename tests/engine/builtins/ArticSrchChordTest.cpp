// Chord lists, harmony lists and chord-first notes.
#include <gtest/gtest.h>

#include "BuiltinFixture.h"

using namespace bitest;

namespace {
using ChordTest = BuiltinTest;
using NoteList = std::vector<CArticWrkEvnt*>;
}

TEST_F(ChordTest, ListsFilledForAGroupAndReadBack) {
    CArticWrkEvnt* a = Note(1, 0, 60);
    CArticWrkEvnt* b = Note(2, 0, 64);
    CArticWrkEvnt* c = Note(3, 0, 67);
    CArticRulDataAry* group = Ary(1, {a, b, c});
    CArticRulDataAry* out = Ary(2, {c});
    CArticRulDataVal* n = Val(1, 9.0);
    // Never filled: the array is kept, n = 0.0, success.
    EXPECT_EQ(Run("CArticSrchGetChord", {E(This()), Var(out), Var(n)}, a), 0);
    EXPECT_EQ(n->GetData(), 0.0);
    EXPECT_EQ(Events(out), (NoteList{c}));
    for (int twice = 0; twice < 2; ++twice) {
        EXPECT_EQ(Run("CArticSrchPutChordAry", {Var(group), Var(group)}, a), 0);
        EXPECT_EQ(Run("CArticSrchPutHarmoAryAry", {Var(group), Var(group)}, a), 0);
    }
    EXPECT_EQ(Run("CArticSrchGetChord", {E(This()), Var(out), Var(n)}, b), 0);
    EXPECT_EQ(n->GetData(), 6.0);
    EXPECT_EQ(Events(out), (NoteList{a, b, c, a, b, c}));
    EXPECT_EQ(Run("CArticSrchGetHarmo", {E(This()), Var(out), Var(n)}, c), 0);
    EXPECT_EQ(n->GetData(), 3.0);
    EXPECT_EQ(Events(out), (NoteList{a, b, c}));
}

TEST_F(ChordTest, OneNoteWritersAndTheFirstNote) {
    CArticWrkEvnt* x = Note(1, 0, 60);
    CArticWrkEvnt* y = Note(2, 0, 64);
    CArticWrkEvnt* z = Note(3, 0, 67);
    EXPECT_EQ(Run("CArticSrchPutChordAry", {Var(Ary(1, {x, y})), Var(Ary(2, {z}))}, x), 0);
    EXPECT_EQ(x->GetChordEvntList()->GetCount(), 1);
    EXPECT_EQ(y->GetChordEvntList()->GetHead(), z);
    EXPECT_EQ(z->GetChordEvntList(), nullptr);
    EXPECT_EQ(Run("CArticSrchPutChord", {E(This()), Var(Ary(1, {y, y}))}, z), 0);
    EXPECT_EQ(z->GetChordEvntList()->GetCount(), 2);
    EXPECT_EQ(Run("CArticSrchPutHarmo", {E(This()), Var(Ary(1, {y, y, x}))}, z), 0);
    EXPECT_EQ(z->GetHarmoEvntList()->GetCount(), 2);

    CArticRulDataEvnt* first = Ev(1, x);
    EXPECT_EQ(Run("CArticSrchGetChordFirst", {E(This()), Var(first)}, y), 0);
    EXPECT_EQ(first->GetEvnt(0), nullptr);
    EXPECT_EQ(Run("CArticSrchPutChordFirstAry", {Var(Ary(1, {x, y, z})), E(Ev(2, x))}, y), 0);
    EXPECT_EQ(x->GetChordFirstEvnt(), x);
    EXPECT_EQ(Run("CArticSrchGetChordFirst", {E(This()), Var(first)}, z), 0);
    EXPECT_EQ(first->GetEvnt(0), x);
    EXPECT_EQ(Run("CArticSrchPutChordFirst", {E(This()), E(Ev(2, z))}, z), 0);
    EXPECT_EQ(z->GetChordFirstEvnt(), z);
    // A missing first note changes nothing.
    EXPECT_EQ(Run("CArticSrchPutChordFirst", {E(This()), E(Ev(3))}, z), 1);
    EXPECT_EQ(z->GetChordFirstEvnt(), z);
    EXPECT_EQ(Run("CArticSrchPutChord", {E(This()), Var(VAry(1))}, z), 1);
    EXPECT_EQ(Recorded(), "vary1");
}
