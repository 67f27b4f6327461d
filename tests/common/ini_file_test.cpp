#include "common/ini_file.h"

#include "common/file_io.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/scratch_folder.h"
#include "tests/hang_guard.h"

using spirelo::IniFile;
using spirelo::test::ScratchFolder;

TEST(IniFile, KeysAndSectionsAreCaseInsensitiveAndKeepFileOrder) {
    IniFile ini;
    ini.loadFromText("[Main]\r\nB=2\r\na=1\r\n[Other]\nx=y\n");
    EXPECT_EQ(ini.readInteger("main", "A", 0), 1);
    EXPECT_EQ(ini.readString("OTHER", "X", ""), "y");
    ini.writeInteger("MAIN", "c", 3);
    ini.writeString("main", "b", "two");
    EXPECT_EQ(ini.toText(), "[Main]\nB=two\na=1\nc=3\n\n[Other]\nx=y\n\n");
}

// A section or key met again merges into the first one's place; the last value wins. The loader
// finds them through folded names, so this must hold as the plain search did.
TEST(IniFile, RepeatedSectionsAndKeysMergeIntoTheirFirstPlace) {
    IniFile ini;
    ini.loadFromText("[Main]\nk=1\n[Other]\nx=1\n[MAIN]\nK=2\nj=3\n[Файлы]\nИмя=a\n[файлы]\nимя=b\n");
    EXPECT_EQ(ini.toText(), "[Main]\nk=2\nj=3\n\n[Other]\nx=1\n\n[Файлы]\nИмя=b\n\n");
}

TEST(IniFile, TypedReadsFallBackToTheDefault) {
    IniFile ini;
    ini.loadFromText("[s]\nint=-42\nhex=0x1F\nbad=12ab\non=1\noff=0\nf1=2.5\nf2=3,25\nempty=\n");
    EXPECT_EQ(ini.readInteger("s", "int", 0), -42);
    EXPECT_EQ(ini.readInteger("s", "hex", 0), 31);
    EXPECT_EQ(ini.readInteger("s", "bad", 7), 7);
    EXPECT_EQ(ini.readInteger("s", "missing", 9), 9);
    EXPECT_TRUE(ini.readBool("s", "on", false));
    EXPECT_FALSE(ini.readBool("s", "off", true));
    EXPECT_TRUE(ini.readBool("s", "missing", true));
    EXPECT_DOUBLE_EQ(ini.readFloat("s", "f1", 0), 2.5);
    EXPECT_DOUBLE_EQ(ini.readFloat("s", "f2", 0), 3.25);
    EXPECT_DOUBLE_EQ(ini.readFloat("s", "empty", 1.5), 1.5);
    EXPECT_EQ(ini.readString("s", "empty", "d"), "");
}

TEST(IniFile, WritesBooleansAsDigitsAndFloatsWithAPoint) {
    IniFile ini;
    ini.writeBool("s", "b", true);
    ini.writeFloat("s", "f", 0.125);
    EXPECT_EQ(ini.readString("s", "b", ""), "1");
    EXPECT_EQ(ini.readString("s", "f", ""), "0.125");
}

TEST(IniFile, ValuesWithLineBreaksOrEdgeSpacesReadBackWhole) {
    const std::string tricky[] = {"line1\nline2", "a\r\nb", " lead", "trail ", "\"quoted\"", "back\\slash\n"};
    IniFile ini;
    for (size_t i = 0; i < std::size(tricky); ++i) ini.writeString("s", std::string("k") + std::to_string(i), tricky[i]);
    ini.writeString("s", "after", "ok");
    IniFile back;
    back.loadFromText(ini.toText());
    for (size_t i = 0; i < std::size(tricky); ++i)
        EXPECT_EQ(back.readString("s", std::string("k") + std::to_string(i), "?"), tricky[i]) << i;
    EXPECT_EQ(back.readString("s", "after", ""), "ok");
    EXPECT_EQ(back.keys("s").size(), std::size(tricky) + 1);
}

// Found by fuzzing: "[s="]"" is no section header, and read as a key it was saved as "[s=]",
// which read back as a section.
TEST(IniFile, ABrokenSectionLineIsNeitherKeyNorSectionAndSavesAsItReads) {
    IniFile ini;
    ini.loadFromText("[s]\n[s=\"]\"\nk=1\n[t\n");
    EXPECT_EQ(ini.sections(), std::vector<std::string>{"s"});
    EXPECT_EQ(ini.keys("s"), std::vector<std::string>{"k"});
    IniFile back;
    back.loadFromText(ini.toText());
    EXPECT_EQ(back.toText(), ini.toText());
}

TEST(IniFile, SavesAndLoadsAFile) {
    const ScratchFolder scratch("spirelo-ini");
    ASSERT_TRUE(scratch.made());
    std::string path = scratch / "ini_roundtrip.ini";
    IniFile ini(path);
    ini.writeString("Файлы", "Имя", "Песня");
    ASSERT_TRUE(ini.save());
    IniFile back(path);
    EXPECT_EQ(back.readString("файлы", "Имя", ""), "Песня");
}

TEST(IniFile, ReadsCp1251Files) {
    IniFile ini;
    std::string cp1251 = "[s]\nk=\xCF\xF0\xE8\xE2\xE5\xF2\n";   // "Привет"
    const ScratchFolder scratch("spirelo-ini");
    ASSERT_TRUE(scratch.made());
    std::string path = scratch / "ini_cp1251.ini";
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(cp1251.data(), 1, cp1251.size(), f);
    fclose(f);
    IniFile back(path);
    EXPECT_EQ(back.readString("s", "k", ""), "Привет");
}

TEST(IniFile, FailedSaveReportsTheSystemsText) {
    IniFile ini("/nonexistent-folder/x.ini");
    ini.writeInteger("s", "k", 1);
    std::string err;
    EXPECT_FALSE(ini.save(&err));
    EXPECT_EQ(err, "No such file or directory");
}

// One sign at most, then digits (or hex); anything else, or a value past 64 bits, reads as absent.
TEST(IniFile, IntegersTakeOneSignAndStayWithin64Bits) {
    struct Case { const char* text; bool ok; long long value; };
    const Case cases[] = {
        {"5", true, 5},
        {"-5", true, -5},
        {"+5", true, 5},
        {"--5", false, 0},
        {"+-5", false, 0},
        {"-+5", false, 0},
        {"5x", false, 0},
        {" 5", false, 0},
        {"-", false, 0},
        {"9223372036854775807", true, INT64_MAX},
        {"-9223372036854775808", true, INT64_MIN},
        {"9223372036854775808", false, 0},
        {"-9223372036854775809", false, 0},
        {"0x7FFFFFFFFFFFFFFF", true, INT64_MAX},
        {"-0x8000000000000000", true, INT64_MIN},
        {"0x8000000000000000", false, 0},
    };
    for (const Case& c : cases) {
        IniFile ini;
        ini.writeString("s", "k", c.text);
        EXPECT_EQ(ini.readInteger("s", "k", 77), c.ok ? c.value : 77) << '"' << c.text << '"';
    }
    EXPECT_EQ(spirelo::SaturatingIncrement(INT64_MAX), INT64_MAX);
    EXPECT_EQ(spirelo::SaturatingIncrement(-1), 0);
}

namespace {
// Reads files as another user would: root reads anything, so the file-system user is switched
// for this thread while the object lives (fsuid, which the file checks use, and nothing else).
struct AsAnotherUser {
    bool root = ::geteuid() == 0;
    AsAnotherUser() { if (root) ::setfsuid(65534); }
    ~AsAnotherUser() { if (root) ::setfsuid(0); }
};
}  // namespace

// A settings file that exists but cannot be read is never written over: a load-modify-save
// would otherwise leave only the keys it set.
TEST(IniFile, AnUnreadableFileIsNeverWrittenOver) {
    const ScratchFolder scratch("spirelo-ini");
    ASSERT_TRUE(scratch.made());
    ::chmod(scratch.path().c_str(), 0755);   // the other user may reach the folder below
    const std::string dir = scratch / "unreadable_ini";
    std::filesystem::create_directories(dir);
    ::chmod(dir.c_str(), 0777);   // and make files in it
    const std::string path = dir + "/Spirelo.ini";
    const std::string text = "[AreaCount]\nCountOpen=41\n\n[About]\nCustomer=Park\n\n";
    {
        IniFile out(path);
        out.loadFromText(text);
        ASSERT_TRUE(out.save());
    }
    ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
    {
        AsAnotherUser other;
        IniFile ini(path);
        EXPECT_TRUE(ini.unreadable());
        EXPECT_EQ(ini.readError(), "Permission denied");
        EXPECT_EQ(ini.readInteger("AreaCount", "CountOpen", 1), 1) << "defaults while unreadable";
        ini.writeInteger("AreaCount", "CountOpen", 2);
        std::string error;
        EXPECT_FALSE(ini.save(&error));
        EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
    }
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    std::string back;
    ASSERT_TRUE(spirelo::ReadWholeFile(path, back));
    EXPECT_EQ(back, text);
    IniFile missing(dir + "/none.ini");
    EXPECT_FALSE(missing.unreadable()) << "a missing file is simply new";
}

// A FIFO given as the settings would block the start for ever at its open; it is refused at
// once as a file that cannot be read, and so is never written into.
TEST(IniFile, AFifoIsRefusedAtOnceAndNeverWrittenInto) {
    spirelo::test::ScratchFolder dir;
    ASSERT_TRUE(dir.made());
    const std::string fifo = dir / "Spirelo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(spirelo::test::AnswersWithoutHanging([&] {
        IniFile ini(fifo);
        ini.writeInteger("AreaCount", "CountOpen", 2);
        return ini.unreadable() && !ini.readError().empty() && !ini.save();
    }));
    struct stat st{};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO was replaced by a save";
}

// A settings file beyond the bound is refused before it is read, with the sizes in its text,
// and left as it is; one at the bound loads.
TEST(IniFile, AFileBeyondTheBoundIsRefusedAndKept) {
    spirelo::test::ScratchFolder dir;
    ASSERT_TRUE(dir.made());
    const std::string path = dir / "Spirelo.ini";
    std::string text = "[AreaCount]\nCountOpen=41\n;";
    text.resize(IniFile::kMaxIniBytes, 'x');
    ASSERT_TRUE(spirelo::WriteFileAtomic(path, text));
    IniFile atBound(path);
    EXPECT_FALSE(atBound.unreadable()) << atBound.readError();
    EXPECT_EQ(atBound.readInteger("AreaCount", "CountOpen", 1), 41);

    ASSERT_TRUE(spirelo::WriteFileAtomic(path, text + "x"));
    IniFile beyond(path);
    EXPECT_TRUE(beyond.unreadable());
    EXPECT_NE(beyond.readError().find(std::to_string(IniFile::kMaxIniBytes)), std::string::npos)
        << beyond.readError();
    EXPECT_EQ(beyond.readInteger("AreaCount", "CountOpen", 1), 1);
    beyond.writeInteger("AreaCount", "CountOpen", 42);
    EXPECT_FALSE(beyond.save());
    std::string back;
    ASSERT_TRUE(spirelo::ReadWholeFile(path, back));
    EXPECT_EQ(back.size(), IniFile::kMaxIniBytes + 1);
}
