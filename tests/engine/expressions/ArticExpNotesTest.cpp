// An expression's note list re-linked to another work data: each reference
// becomes that data's event of the same number, in order, and references the
// data cannot resolve leave the list.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/expressions/ArticExpNotes.h"
#include "engine/work/WorkFixture.h"

using namespace wrktest;

namespace {

std::vector<CArticWrkEvnt*> Listed(const CArticExpNotes& notes) {
    std::vector<CArticWrkEvnt*> items;
    const CArticWrkEvntList* list = notes.Get();
    for (POSITION p = list ? list->GetHeadPosition() : nullptr; p;) items.push_back(list->GetNext(p));
    return items;
}

}  // namespace

TEST(ArticExpNotes, ReLinkResolvesNumbersInPlaceAndDropsTheUnresolved) {
    CArticWrk target;
    CArticWrkBlk* blk = AddBlock(AddTrack(target, 1));
    CArticWrkEvnt* four = AddNote(blk, 4, 0, 60);
    CArticWrkEvnt* five = AddNote(blk, 5, 10, 62);
    CArticWrkEvnt* seven = AddNote(blk, 7, 20, 64);

    // References into another data: numbers 5, 9 (none in target), null, 4, 5, 7.
    std::vector<std::unique_ptr<CArticWrkEvnt>> others;
    CArticWrkEvntList src;
    for (long n : {5L, 9L, -1L, 4L, 5L, 7L}) {
        if (n < 0) {
            src.AddTail(nullptr);
            continue;
        }
        others.push_back(std::make_unique<CArticWrkEvnt>(nullptr, ULONG(n)));
        src.AddTail(others.back().get());
    }
    CArticExpNotes notes(&src);
    ASSERT_EQ(Listed(notes).size(), 5u) << "the null reference is not copied";
    EXPECT_EQ(notes.ReLink(&target), 0);
    EXPECT_EQ(Listed(notes), (std::vector<CArticWrkEvnt*>{five, four, five, seven}));
    // Linked again to the same data: unchanged.
    EXPECT_EQ(notes.ReLink(&target), 0);
    EXPECT_EQ(Listed(notes), (std::vector<CArticWrkEvnt*>{five, four, five, seven}));

    // Nothing resolves: an empty list that still takes new references.
    CArticWrk empty;
    EXPECT_EQ(notes.ReLink(&empty), 0);
    EXPECT_TRUE(Listed(notes).empty());
    notes.Copy(&src);
    EXPECT_EQ(Listed(notes).size(), 5u);
    EXPECT_EQ(notes.ReLink(nullptr), 1);
    EXPECT_EQ(Listed(notes).size(), 5u) << "without data the list stays";
}
