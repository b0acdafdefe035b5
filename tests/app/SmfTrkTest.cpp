// The track's event list: ordered insertion, removal by the time an event
// stands at, copying and the single end of track.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SmfTestBytes.h"

using namespace smfmodel;

namespace {

// An event at `time` that names itself by its controller number.
std::unique_ptr<CEvnt> Tagged(DWORD time, BYTE tag) {
    auto e = std::make_unique<CEvnt>();
    e->SetTime(time);
    e->SetStatus(SMF_CONTROL);
    e->SetDataBytes(tag, 0);
    return e;
}

std::unique_ptr<CEvnt> EndOfTrack(DWORD time) {
    auto e = std::make_unique<CEvnt>();
    e->SetTime(time);
    e->SetStatus(SMF_META);
    e->SetMetaType(SMF_META_END_OF_TRACK);
    return e;
}

std::vector<int> Tags(const CTrk& track) {
    std::vector<int> out;
    for (const auto& e : track.GetEvents()) out.push_back(e->IsEndOfTrack() ? -int(e->GetTime()) - 1 : e->GetData1());
    return out;
}

}  // namespace

TEST(SmfModelTrack, InsertSortedKeepsInsertionOrderAtEqualTimes) {
    CTrk track;
    const std::pair<DWORD, BYTE> order[] = {{10, 1}, {20, 2}, {10, 3}, {5, 4}, {10, 5}, {20, 6}, {0, 7}};
    for (const auto& [time, tag] : order) ASSERT_EQ(track.InsertSorted(Tagged(time, tag)), 0);
    EXPECT_EQ(Tags(track), (std::vector<int>{7, 4, 1, 3, 5, 2, 6}));
    EXPECT_EQ(track.InsertSorted(nullptr), int(0x80000001));
    EXPECT_EQ(track.Append(nullptr), int(0x80000001));
}

TEST(SmfModelTrack, SortByTimeIsStable) {
    CTrk track;
    for (const auto& [time, tag] : {std::pair<DWORD, BYTE>{30, 1}, {10, 2}, {30, 3}, {10, 4}, {20, 5}})
        track.Append(Tagged(time, tag));
    ASSERT_EQ(track.SortByTime(), 0);
    EXPECT_EQ(Tags(track), (std::vector<int>{2, 4, 5, 1, 3}));
}

TEST(SmfModelTrack, RemoveEventFindsAnEventOnlyAtTheTimeItStandsAt) {
    CTrk track;
    track.Append(Tagged(10, 1));
    track.Append(Tagged(20, 2));
    track.Append(Tagged(30, 3));
    CEvnt* second = std::next(track.GetEvents().begin())->get();

    // Moved earlier than an event before it: that later event is reached first.
    second->SetTime(5);
    EXPECT_EQ(track.RemoveEvent(second), int(0x80000004));
    EXPECT_EQ(Tags(track), (std::vector<int>{1, 2, 3}));

    // Moved later: still found on the way.
    second->SetTime(25);
    EXPECT_EQ(track.RemoveEvent(second), 0);
    EXPECT_EQ(Tags(track), (std::vector<int>{1, 3}));

    // Not held by the track: nothing changes.
    const auto stranger = Tagged(40, 9);
    EXPECT_EQ(track.RemoveEvent(stranger.get()), 0);
    EXPECT_EQ(track.RemoveEvent(nullptr), int(0x80000001));
    EXPECT_EQ(Tags(track), (std::vector<int>{1, 3}));
}

TEST(SmfModelTrack, RebuildEndOfTrackLeavesOneAtTheLargestEnd) {
    CTrk track;
    track.Append(Tagged(10, 1));
    track.Append(EndOfTrack(15));
    track.Append(Tagged(30, 2));
    track.Append(EndOfTrack(20));
    track.Append(Tagged(30, 3));
    ASSERT_EQ(track.RebuildEndOfTrack(), 0);
    EXPECT_EQ(Tags(track), (std::vector<int>{1, 2, 3, -31}));

    // An end of track later than every event keeps its time.
    CTrk late;
    late.Append(Tagged(10, 1));
    late.Append(EndOfTrack(50));
    ASSERT_EQ(late.RebuildEndOfTrack(), 0);
    EXPECT_EQ(Tags(late), (std::vector<int>{1, -51}));

    CTrk empty;
    ASSERT_EQ(empty.RebuildEndOfTrack(), 0);
    EXPECT_EQ(Tags(empty), (std::vector<int>{-1}));
}

TEST(SmfModelTrack, CopyEventsFromMergesCopiesInTimeOrder) {
    CTrk source;
    source.Append(Tagged(5, 1));
    auto text = std::make_unique<CEvnt>();
    text->SetTime(15);
    text->SetStatus(SMF_META);
    text->SetMetaType(0x01);
    const BYTE letters[] = {'a', 'b'};
    ASSERT_EQ(text->SetData(letters, 2), 0);
    source.Append(std::move(text));

    CTrk target;
    target.Append(Tagged(5, 7));
    target.Append(Tagged(10, 8));
    ASSERT_EQ(target.CopyEventsFrom(source), 0);
    EXPECT_EQ(Describe(target), "5 b0/0 7 0\n5 b0/0 1 0\na b0/0 8 0\nf ff.1: 61 62\n");
    // Copies, not shared: the source is untouched when the copy goes.
    target.Clear();
    EXPECT_EQ(Describe(source), "5 b0/0 1 0\nf ff.1: 61 62\n");
}

TEST(SmfModelTrack, EventDataIsCopiedAndNullBytesAreRefused) {
    CEvnt e;
    const BYTE bytes[] = {0x43, 0x10, 0x4C};
    ASSERT_EQ(e.SetData(bytes, 3), 0);
    EXPECT_EQ(e.SetData(nullptr, 2), int(0x80000001));
    EXPECT_EQ(e.GetData(), (std::vector<BYTE>{0x43, 0x10, 0x4C}));  // the old data stays
    ASSERT_EQ(e.SetData(nullptr, 0), 0);
    EXPECT_EQ(e.GetDataLength(), 0u);
    EXPECT_EQ(e.CopyFrom(nullptr), int(0x80000001));
}
