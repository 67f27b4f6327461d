#include "core/text_routines.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace spirelo;

TEST(TextRoutines, StripExtAndMp3NameOf) {
    struct Case { const char* in; const char* out; } cases[] = {
        {"/shows/park.trk", "/shows/park"},
        {"/shows/park.show.mp3", "/shows/park.show"},
        {"/shows.2017/park", "/shows.2017/park"},   // dot only in the folder name
        {"park", "park"},
        {"park.", "park"},
        {"/a.b/c.d", "/a.b/c"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(StripExt(c.in), c.out) << c.in;
    EXPECT_EQ(Mp3NameOf("/shows/park.trk"), "/shows/park.mp3");
    EXPECT_EQ(Mp3NameOf("/shows.v2/park"), "/shows.v2/park.mp3");
}

TEST(TextRoutines, ModeAndEffectTexts) {
    const char* modes[] = {"Seq OFF  ", "Set Scena", "Seq Play ", "Seq Stop ",
                           "Set Rate ", "Scen Next", "Nothing  "};
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(ModeText(static_cast<uint8_t>(c)), modes[c]);
        EXPECT_EQ(ModeText(static_cast<uint8_t>(c)).size(), 9u);
    }
    EXPECT_EQ(ModeText(7), "Error function ModeText - Pos more 8 ");
    EXPECT_EQ(ModeText(255), "Error function ModeText - Pos more 8 ");

    EXPECT_EQ(EffectText(0), "Effect OFF   ");
    EXPECT_EQ(EffectText(1), "Effect Rate  ");
    EXPECT_EQ(EffectText(2), "Effect Decay ");
    EXPECT_EQ(EffectText(3), "Effect Vibro ");
    EXPECT_EQ(EffectText(4), "Effect OFF ");
    EXPECT_EQ(EffectText(6), "Effect OFF ");
}

TEST(TextRoutines, TimeTextAndIntToStr2) {
    auto d = MakeShowData();
    d->ScheduleHour[3] = 7;
    d->ScheduleMinute[3] = 5;
    d->ScheduleHour[4] = 12;
    d->ScheduleMinute[4] = 30;
    d->ScheduleHour[31] = 23;
    d->ScheduleMinute[31] = 59;
    EXPECT_EQ(TimeText(*d, 3), "07:05");
    EXPECT_EQ(TimeText(*d, 4), "12:30");
    EXPECT_EQ(TimeText(*d, 0), "00:00");
    EXPECT_EQ(TimeText(*d, 200), "23:59");   // beyond the table: its last slot, never past it

    EXPECT_EQ(IntToStr2(0), "00");
    EXPECT_EQ(IntToStr2(9), "09");
    EXPECT_EQ(IntToStr2(10), "10");
    EXPECT_EQ(IntToStr2(59), "59");
    EXPECT_EQ(IntToStr2(123), "123");
}

TEST(TextRoutines, PaletteAndMax) {
    struct Case { int index; uint8_t r, g, b; } cases[] = {
        {0, 255, 0, 0},   {1, 255, 255, 0}, {5, 0, 0, 255},    {6, 255, 0, 0},
        {12, 63, 255, 255}, {16, 127, 0, 63}, {20, 63, 127, 255}, {23, 127, 63, 63},
        {24, 196, 0, 93}, {25, 195, 255, 93}, {28, 93, 195, 195}, {31, 195, 93, 93},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorOfIndex(c.index), c.r | (c.g << 8) | (c.b << 16)) << c.index;
    EXPECT_EQ(ColorOfIndex(-1), 0xFFFFFFu);
    EXPECT_EQ(ColorOfIndex(32), 0xFFFFFFu);
    // The palette's repeats.
    EXPECT_EQ(ColorOfIndex(6), ColorOfIndex(0));
    EXPECT_EQ(ColorOfIndex(8), ColorOfIndex(7));
    EXPECT_EQ(ColorOfIndex(14), ColorOfIndex(2));
    EXPECT_EQ(ColorOfIndex(15), ColorOfIndex(10));
    EXPECT_EQ(ColorOfIndex(23), ColorOfIndex(18));
    EXPECT_EQ(ColorOfIndex(31), ColorOfIndex(26));

    EXPECT_EQ(MaxOfTwo(3, 5), 5);
    EXPECT_EQ(MaxOfTwo(5, 3), 5);
    EXPECT_EQ(MaxOfTwo(-7, -9), -7);
}

TEST(TextRoutines, NameTextsPadAndClampTheirTables) {
    auto d = MakeShowData();
    std::memcpy(d->SequencerNames[63], "LASTONE!", 8);   // eight letters, eight zero bytes
    EXPECT_EQ(SeqNameText(*d, 70), "LASTONE!        ");
    EXPECT_EQ(std::memcmp(d->SequencerNames[63], "LASTONE!        ", 16), 0);   // the table holds the blanks
    EXPECT_EQ(SeqNameText(*d, -3), std::string(16, ' '));                    // clamped to 0

    std::memcpy(d->TrackNames[31], "Track\tA\nB", 9);
    EXPECT_EQ(TrackNameText(*d, 40), "Track A B       ");

    // Name fields hold CP1251: "Вода" comes back as UTF-8, still 16 characters.
    const uint8_t voda[] = {0xC2, 0xEE, 0xE4, 0xE0};
    std::memcpy(d->EffectNames[5], voda, 4);
    EXPECT_EQ(EffectNameText(*d, 5), "Вода            ");
    EXPECT_EQ(EffectNameText(*d, 99), std::string(16, ' '));   // effect 63, zeros
}

TEST(TextRoutines, RateText) {
    int32_t bytesPerStep = 0;
    RateTextResult r = RateText(bytesPerStep, 4, 25);
    EXPECT_EQ(bytesPerStep, 1);          // set to 1, and stays 1
    EXPECT_EQ(r.value, 100u);
    EXPECT_EQ(r.label, "100");

    bytesPerStep = 8820;
    r = RateText(bytesPerStep, 4547, 1940);   // 4547*1940/8820 = 1000.15 -> 1000
    EXPECT_EQ(r.value, 1000u);
    EXPECT_EQ(r.label, "1000");
    r = RateText(bytesPerStep, 4547, 1941);
    EXPECT_EQ(r.value, 1000u);
    r = RateText(bytesPerStep, 4547, 1960);
    EXPECT_EQ(r.value, 1010u);
    EXPECT_EQ(r.label, "ERROR>1000");

    // The product is 32-bit and the division unsigned.
    bytesPerStep = 1;
    r = RateText(bytesPerStep, 65536, 65537);
    EXPECT_EQ(r.value, 65536u);
    r = RateText(bytesPerStep, -1, 1);
    EXPECT_EQ(r.value, 0xFFFFFFFFu);
}
