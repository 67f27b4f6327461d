#include <gtest/gtest.h>

#include <cstdint>

#include "playback/show_clock.h"
#include "playback/show_tick.h"

using namespace spirelo;

namespace {

constexpr uint64_t kCdBytesPerSecond = 44100 * 2 * 2;

TEST(ShowClockArithmetic, StepSizeOfWholeMinuteAndLongSong) {
    struct Case { uint64_t length; double seconds; int32_t perStep; int32_t steps; };
    const Case cases[] = {
        {60 * kCdBytesPerSecond, 60.0, 8820, 1200},          // 60 s 44.1 kHz stereo
        {840 * kCdBytesPerSecond, 840.0, 8820, 16800},       // 14 minutes
        {60 * 48000 * 2 * 2, 60.0, 9600, 1200},              // 48 kHz stereo
        {60 * 8000 * 2, 60.0, 800, 1200},                    // 8 kHz mono
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BytesPerStepOf(c.length, c.seconds), c.perStep) << c.length;
        EXPECT_EQ(SongStepsOf(c.length, BytesPerStepOf(c.length, c.seconds)), c.steps) << c.length;
    }
}

TEST(ShowClockArithmetic, SecondsRoundToNearestTiesToEven) {
    // 2.5 s divides by 2 and 3.5 s by 4: the whole seconds decide BytesPerStep.
    EXPECT_EQ(BytesPerStepOf(441000, 2.5), 441000 / 2 / 20);
    EXPECT_EQ(BytesPerStepOf(617400, 3.5), 617400 / 4 / 20);
    EXPECT_EQ(BytesPerStepOf(600000, 2.51), 600000 / 3 / 20);
    const struct { double v; int64_t r; } table[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {2.4999, 2}, {2.5001, 3}, {-0.5, 0}, {-1.5, -2}, {60.0, 60},
    };
    for (auto t : table) EXPECT_EQ(RoundHalfEven(t.v), t.r) << t.v;
}

TEST(ShowClockArithmetic, ShortAndEmptyFilesKeepDivisorsAboveZero) {
    // Under half a second rounds to 0 s: divided by 1 instead of by 0.
    EXPECT_EQ(BytesPerStepOf(70560, 0.4), 70560 / 20);
    EXPECT_EQ(BytesPerStepOf(10, 0.0), 1);          // never 0
    EXPECT_EQ(BytesPerStepOf(0, 0.0), 1);
    EXPECT_EQ(SongStepsOf(1000, 0), 1000);          // a zero divisor counts as 1
}

TEST(ShowClockArithmetic, BytesPerPixelHasTheTwentyMillisecondMinimum) {
    const uint64_t minimum = 3528;   // 0.02 s of 44.1 kHz stereo
    EXPECT_EQ(BytesPerPixelOf(60 * kCdBytesPerSecond, minimum), 10911);
    EXPECT_EQ(BytesPerPixelOf(88200, minimum), 3528);   // half a second: 90 bytes a pixel is too few
    EXPECT_EQ(BytesPerPixelOf(0, 0), 1);
    // A real file always leaves the "no audio" range below 3.
    EXPECT_GE(BytesPerPixelOf(4, 4), 3);
}

TEST(ShowClockArithmetic, PositionToStepLimitsAndUsesLow32Bits) {
    EXPECT_EQ(StepOfPosition(0, 8820), 0);
    EXPECT_EQ(StepOfPosition(8819, 8820), 0);
    EXPECT_EQ(StepOfPosition(8820, 8820), 1);
    // A 14-minute song: from 13:35 on the clock stays at the last step.
    EXPECT_EQ(StepOfPosition(815 * kCdBytesPerSecond - 1, 8820), 16299);
    EXPECT_EQ(StepOfPosition(815 * kCdBytesPerSecond, 8820), 16300);
    EXPECT_EQ(StepOfPosition(840 * kCdBytesPerSecond, 8820), 16300);
    EXPECT_EQ(StepOfPosition((uint64_t{1} << 32) + 8820, 8820), 1);
    EXPECT_EQ(StepOfPosition(0xFFFFFFFFu, 8820), 16300);   // the failure value of a position
    EXPECT_EQ(StepOfPosition(100, 0), 100);                 // divisor kept at least 1
}

TEST(ShowClockArithmetic, SeekProductsAreSixtyFourBit) {
    EXPECT_EQ(StepToBytes(16300, 8820), uint64_t{16300} * 8820);
    EXPECT_EQ(StepToBytes(16300, 400000), uint64_t{6520000000});   // beyond 32 bits
    EXPECT_EQ(PixelToBytes(969, 2147483647), uint64_t{969} * 2147483647u);
    EXPECT_EQ(PixelToBytes(-3, 100), 0u);
}

TEST(ShowClockArithmetic, PlayerActsOnlyWithAudioOpenAndReady) {
    ShowClock c;
    c.AudioReady = 1;
    c.BytesPerPixel = 100000;   // before any file: the player acts on the empty handle
    EXPECT_TRUE(PlayerHasAudio(c));
    c.BytesPerPixel = 3;        // "> 3" for the player's commands
    EXPECT_FALSE(PlayerHasAudio(c));
    c.BytesPerPixel = 4;
    EXPECT_TRUE(PlayerHasAudio(c));
    c.AudioReady = 0;
    EXPECT_FALSE(PlayerHasAudio(c));
}

TEST(ShowClockText, StepText) {
    const struct { int step; const char* text; } table[] = {
        {0, "0:00:00"}, {21, "0:01:05"}, {25, "0:01:25"}, {1300, "1:05:00"}, {16300, "13:35:00"},
        {1199, "0:59:95"}, {1200, "1:00:00"},
    };
    for (auto t : table) EXPECT_EQ(timeTostr(t.step), t.text) << t.step;
}

TEST(ShowClockPeaks, ArrayResizeKeepsLevelsAndStartsAtZero) {
    PeakArray a;
    EXPECT_TRUE(a.empty());
    a.resize(kWaveformWidth);
    ASSERT_EQ(a.size(), 970u);
    EXPECT_EQ(a[0], 0);
    EXPECT_EQ(a[969], 0);
    a.store(5, 1234);
    a.resize(1000);
    EXPECT_EQ(a[5], 1234);
    EXPECT_EQ(a[999], 0);
}

}  // namespace
