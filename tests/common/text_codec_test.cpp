#include "common/text_codec.h"

#include <gtest/gtest.h>

using namespace spirelo;

TEST(TextCodec, Cp1251RoundTripsEveryDefinedByte) {
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98) continue;   // no character in the code page
        std::string one(1, static_cast<char>(b));
        std::string utf8 = Cp1251ToUtf8(one);
        EXPECT_TRUE(IsValidUtf8(utf8)) << b;
        EXPECT_EQ(Utf8ToCp1251(utf8), one) << b;
    }
}

TEST(TextCodec, KnownCharacters) {
    EXPECT_EQ(Cp1251ToUtf8("\xC0\xFF\xA8\xB8\xB9"), "АяЁё№");
    EXPECT_EQ(Utf8ToCp1251("Лотвень €"), "\xCB\xEE\xF2\xE2\xE5\xED\xFC \x88");
    EXPECT_EQ(Utf8ToCp1251("日本"), "??");
}

TEST(TextCodec, TextFilesAcceptUtf8OrCp1251) {
    EXPECT_EQ(TextFileToUtf8("Песня"), "Песня");
    EXPECT_EQ(TextFileToUtf8("\xEF\xBB\xBFok"), "ok");
    EXPECT_EQ(TextFileToUtf8("\xCF\xE5\xF1\xED\xFF"), "Песня");
}

TEST(TextCodec, NameFieldsAreCutAndPadded) {
    uint8_t field[16];
    memset(field, 0xAA, sizeof field);
    Utf8ToNameField("Фонтан", field, sizeof field);
    EXPECT_EQ(field[6], 0);
    EXPECT_EQ(field[15], 0);
    EXPECT_EQ(NameFieldToUtf8(field, sizeof field), "Фонтан");
    Utf8ToNameField("abcdefghijklmnopqrstuvwxyz", field, sizeof field);
    EXPECT_EQ(NameFieldToUtf8(field, sizeof field), "abcdefghijklmnop");   // no terminator needed
}

TEST(TextCodec, PaddedNamesAreWrittenWithBlanksAndShownWithoutTrailingOnes) {
    uint8_t field[16];
    Utf8ToPaddedField("  Фонтан 1 длинное имя", field, sizeof field);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(field), 2), "  ");
    EXPECT_EQ(field[2], 0xD4);   // CP1251 "Ф"
    EXPECT_EQ(Cp1251ToUtf8(std::string(reinterpret_cast<char*>(field), 16)), "  Фонтан 1 длинн");
    Utf8ToPaddedField("ab", field, sizeof field);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(field), 16), "ab              ");
    EXPECT_EQ(NameForEdit("  ab  "), "  ab");
    EXPECT_EQ(NameForEdit("    "), "");
    EXPECT_EQ(NameForEdit(""), "");
}
