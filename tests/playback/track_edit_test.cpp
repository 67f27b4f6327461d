#include "playback/track_edit.h"

#include <gtest/gtest.h>

#include <memory>

namespace spirelo {
namespace {

TEST(TrackEdit, RecordTrackClampsAndStoresBack) {
    auto d = std::make_unique<ShowData>();
    struct Case { int stored, expected; } cases[] = {{5, 5}, {40, 31}, {-3, 0}, {31, 31}};
    for (auto c : cases) {
        d->TrackEditState[5] = c.stored;
        EXPECT_EQ(RecordTrack(*d), c.expected) << c.stored;
        EXPECT_EQ(d->TrackEditState[5], c.expected) << c.stored;
    }
}

TEST(TrackEdit, WriteTrackStepDropsStepsOutsideTheStore) {
    auto d = std::make_unique<ShowData>();
    TrackStepValue v{4, 9, 255, kCmdSetScene};
    WriteTrackStep(*d, 31, kMaxShowStep, v);
    WriteTrackStep(*d, 31, kMaxShowStep + 1, v);  // would land in the next plane
    WriteTrackStep(*d, 0, -1, v);
    EXPECT_EQ(d->TrackScene[31][kMaxShowStep], 9);
    EXPECT_EQ(ReadTrackStep(*d, 31, kMaxShowStep).level, 255);
    EXPECT_EQ(d->TrackLevel[0][0], 0);
}

}  // namespace
}  // namespace spirelo
