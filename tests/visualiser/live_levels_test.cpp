#include "common/live_data.h"
#include "visualiser/live_levels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace spirelo;

namespace {

std::string TextOf(const std::vector<uint8_t>& levels) {
    std::string s(levels.size() * 2 + 1, '\0');
    EncodeHexLevels(levels.data(), levels.size(), s.data());
    s.pop_back();
    return s;
}

std::string Uniform(uint8_t level) { return TextOf(std::vector<uint8_t>(512, level)); }

TEST(LiveLevels, StartValues) {
    LiveLevels l;
    ResetLiveLevels(l);
    EXPECT_EQ(l.DmxInput[0], 255);
    EXPECT_EQ(l.DmxInput[512], 255);
    EXPECT_EQ(l.DmxDisplay[0], 0);
    EXPECT_EQ(l.DmxDisplay[512], 0);
}

TEST(LiveLevels, FallsBy25PerTickAndRisesAtOnce) {
    LiveLevels l;
    ResetLiveLevels(l);
    ASSERT_TRUE(LiveReaderTick(Uniform(255), l, DmxMode::Live));
    EXPECT_EQ(l.DmxDisplay[1], 255);
    std::vector<int> seen;
    for (int tick = 0; tick < 12; ++tick) {
        ASSERT_TRUE(LiveReaderTick(Uniform(0), l, DmxMode::Live));
        seen.push_back(l.DmxDisplay[7]);
    }
    EXPECT_EQ(seen, (std::vector<int>{230, 205, 180, 155, 130, 105, 80, 55, 30, 5, 0, 0}));
    ASSERT_TRUE(LiveReaderTick(Uniform(200), l, DmxMode::Live));
    EXPECT_EQ(l.DmxDisplay[512], 200);
    // A fall that ends between steps stops at the input, never below it (signed, no wrap).
    ASSERT_TRUE(LiveReaderTick(Uniform(190), l, DmxMode::Live));
    EXPECT_EQ(l.DmxDisplay[3], 190);
    ASSERT_TRUE(LiveReaderTick(Uniform(10), l, DmxMode::Live));
    EXPECT_EQ(l.DmxDisplay[3], 165);
    EXPECT_EQ(l.DmxDisplay[0], 0);
}

TEST(LiveLevels, AllOnAndAllOffOverrideTheDisplayButKeepTheInput) {
    LiveLevels l;
    ResetLiveLevels(l);
    ASSERT_TRUE(LiveReaderTick(Uniform(40), l, DmxMode::AllOn));
    EXPECT_EQ(l.DmxInput[5], 40);
    EXPECT_EQ(l.DmxDisplay[5], 255);
    EXPECT_EQ(l.DmxDisplay[0], 0);
    ASSERT_TRUE(LiveReaderTick(Uniform(40), l, DmxMode::AllOff));
    EXPECT_EQ(l.DmxInput[5], 40);
    EXPECT_EQ(l.DmxDisplay[5], 0);
    EXPECT_EQ(l.DmxDisplay[512], 0);
}

TEST(LiveLevels, DecoderStops) {
    struct Case {
        const char* name;
        std::string text;
        bool ok;
        std::vector<int> expect;   // channels 1..4 after the tick; display follows only when ok
    };
    std::vector<Case> cases = {
        {"lower case", "0aff10", true, {10, 255, 16, 7}},
        {"bad pair ends the tick", "0102G0FF", false, {1, 2, 7, 7}},
        {"odd trailing digit ignored", "0102F", true, {1, 2, 7, 7}},
        {"empty text keeps levels", "", true, {7, 7, 7, 7}},
        {"space is not a digit", "01 2", false, {1, 7, 7, 7}},
    };
    for (const Case& c : cases) {
        LiveLevels l;
        ResetLiveLevels(l);
        for (int ch = 1; ch <= 512; ++ch) l.DmxInput[ch] = 7;
        for (int ch = 1; ch <= 512; ++ch) l.DmxDisplay[ch] = 100;
        EXPECT_EQ(LiveReaderTick(c.text, l, DmxMode::Live), c.ok) << c.name;
        for (int ch = 1; ch <= 4; ++ch) {
            EXPECT_EQ(l.DmxInput[ch], c.expect[ch - 1]) << c.name << " channel " << ch;
            int shown = c.ok ? (c.expect[ch - 1] >= 100 ? c.expect[ch - 1] : std::max(c.expect[ch - 1], 75)) : 100;
            EXPECT_EQ(l.DmxDisplay[ch], shown) << c.name << " display " << ch;
        }
    }
}

TEST(LiveLevels, TextLongerThan512ChannelsIsCutAtChannel512) {
    LiveLevels l;
    ResetLiveLevels(l);
    std::string text = Uniform(0x22) + "FFFF";
    ASSERT_TRUE(LiveReaderTick(text, l, DmxMode::Live));
    EXPECT_EQ(l.DmxInput[512], 0x22);
    EXPECT_EQ(l.DmxInput[0], 255);   // never written
}

TEST(LiveLevels, LevelAccessorReadsOnlyChannels1To512) {
    LiveLevels l;
    ResetLiveLevels(l);
    for (int ch = 0; ch <= 512; ++ch) l.DmxDisplay[ch] = 99;
    for (int ch : {-1, 0, 513, 514, 1000, 65535}) EXPECT_EQ(LevelAt(l, ch), 0) << ch;
    EXPECT_EQ(LevelAt(l, 1), 99);
    EXPECT_EQ(LevelAt(l, 512), 99);
}

}  // namespace
