#include "playback/scene_input.h"
#include "playback/show_buttons.h"
#include "playback/show_tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace spirelo {
namespace {

TEST(SceneInput, RowsFollowTheMaskedSpots) {
    auto d = MakeShowData();
    struct Case { std::vector<int> masked; int first, last; } cases[] = {
        {{}, 0, 1}, {{3, 4, 5}, 1, 1}, {{0, 299}, 0, 63}, {{511}, 170, 170}, {{7, 30}, 2, 10},
    };
    for (const Case& c : cases) {
        std::fill(&d->SequencerChannelMask[3][0], &d->SequencerChannelMask[3][0] + kMaskColumns, 0);
        for (int i : c.masked) d->SequencerChannelMask[3][i] = 1;
        const SpotRows r = InputSpotRows(*d, 3);
        EXPECT_EQ(r.first, c.first);
        EXPECT_EQ(r.last, c.last);
    }
}

TEST(SceneInput, CellColourReadsThreeChannelsAndNothingPastTheLast) {
    auto d = MakeShowData();
    d->SequencerStepData[2][255][3] = 10;
    d->SequencerStepData[2][255][4] = 20;
    d->SequencerStepData[2][255][5] = 30;
    d->SequencerStepData[2][255][510] = 5;
    d->SequencerStepData[2][255][511] = 6;
    EXPECT_EQ(InputCellColor(*d, 2, 255, 1), 10u | (20u << 8) | (30u << 16));
    EXPECT_EQ(InputCellColor(*d, 2, 255, 170), 5u | (6u << 8));   // index 512 reads as 0
}

TEST(SceneInput, SceneFromXAndPickColour) {
    struct S { int p, x, scene; } scenes[] = {{191, 1000, 253}, {191, 1023, 254}, {0, -20, 0}, {191, 5000, 254}, {0, 17, 1}};
    for (const S& c : scenes) EXPECT_EQ(InputSceneFromX(c.p, c.x), c.scene) << c.p << " " << c.x;
    struct P { int x, y; uint32_t rgb; } picks[] = {
        {0, 0, 0x00FFFF}, {64, 254, 254u | (1u << 8)}, {200, 100, 144u << 16}, {300, -5, InputPickColor(254, 0)},
    };
    for (const P& c : picks) EXPECT_EQ(InputPickColor(c.x, c.y), c.rgb) << c.x << "," << c.y;
}

TEST(SceneInput, RecordWritesOneSetSceneStepIntoTheRecordTrack) {
    auto d = MakeShowData();
    d->TrackEditState[5] = 77;   // clamped to 31 and stored back
    InputRecordStep(*d, 40, 200, 50);
    const TrackStepValue v = ReadTrackStep(*d, 31, 50);
    EXPECT_EQ(v.command, kCmdSetScene);
    EXPECT_EQ(v.seq, 31);
    EXPECT_EQ(v.scene, 200);
    EXPECT_EQ(v.level, 255);
    EXPECT_EQ(d->TrackEditState[5], 31);
    InputRecordStep(*d, 1, 1, kMaxShowStep + 1);   // dropped
}

TEST(ShowButtons, GeometryOnA1024By768Screen) {
    const ShowButtonGeometry g = ShowButtonAt(1024, 768, 5);
    EXPECT_EQ(g.shape.x, 266);
    EXPECT_EQ(g.shape.y, 266);
    EXPECT_EQ(g.shape.w, 179);
    EXPECT_EQ(g.shape.h, 179);
    EXPECT_EQ(g.picture.x, 271);
    EXPECT_EQ(g.picture.y, 281);
    EXPECT_EQ(g.picture.w, 169);
    EXPECT_EQ(g.picture.h, 144);
    EXPECT_EQ(g.numberX, 283);
    EXPECT_EQ(g.nameY, 275);
    EXPECT_EQ(ShowButtonAt(1024, 768, 11).shape.x, 3 * 256 + 10);
}

TEST(ShowButtons, ShortNamesAndPressGate) {
    struct Case { const char* path; const char* name; } cases[] = {
        {"D:\\Shows\\001 Evening.trk", "Evening"}, {"abc.trk", ""}, {"/s/001 Вечер.trk", "Вечер"},
        {"/s/Вечер дня.trk", "р дня"}, {"C:noext", "t"}, {"/a.b/0123name", "name"},
    };
    for (const Case& c : cases) EXPECT_EQ(OnlyMinName(c.path), c.name) << c.path;
    EXPECT_TRUE(ShowButtonPressable(2, 3));
    EXPECT_FALSE(ShowButtonPressable(3, 3));
    EXPECT_FALSE(ShowButtonPressable(0, 0));
    EXPECT_EQ(ShowButtonPictureName(5), "05.bmp");
}

}  // namespace
}  // namespace spirelo
