#include "common/live_data.h"
#include "common/shared_section.h"
#include "tests/private_sections.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

using namespace spirelo;

TEST(LiveText, EncodesTwoUpperCaseDigitsPerChannel) {
    uint8_t levels[512] = {255, 0, 16};
    char text[kLiveTextSize];
    EncodeHexLevels(levels, 512, text);
    EXPECT_EQ(std::string(text, 6), "FF0010");
    EXPECT_EQ(std::strlen(text), kLiveTextDigits);
    uint8_t zeros[512] = {};
    EncodeHexLevels(zeros, 512, text);
    EXPECT_EQ(std::string(text), std::string(1024, '0'));
}

TEST(LiveText, DecodeStopsAtTheFirstPairThatIsNotHex) {
    uint8_t levels[4] = {7, 7, 7, 7};
    bool bad = false;
    EXPECT_EQ(DecodeHexLevels("0AffZZ01", levels, 4, &bad), 2u);
    EXPECT_TRUE(bad);
    EXPECT_EQ(levels[0], 10);
    EXPECT_EQ(levels[1], 255);
    EXPECT_EQ(levels[2], 7);
    EXPECT_EQ(DecodeHexLevels(std::string_view("01\0" "02", 5), levels, 4, &bad), 1u);
    EXPECT_FALSE(bad);
    EXPECT_EQ(DecodeHexLevels("0102030405", levels, 4, &bad), 4u);   // bounded by the table
    EXPECT_EQ(DecodeHexLevels("010", levels, 4, &bad), 1u);          // half a pair is no level
}

// The documented names are the programs' own; a test process (whose harness sets the suffix)
// never reaches them, and a suffix can only add name characters.
TEST(SectionNames, TestProcessesGetPrivateNames) {
    ASSERT_FALSE(SectionSuffix().empty());
    EXPECT_EQ(DmxSectionName(), "Spirelo3Dwiev" + SectionSuffix());
    EXPECT_EQ(SpectrumSectionName(), "Spirelo3Dspectr" + SectionSuffix());
    EXPECT_EQ(SectionSuffixFrom(nullptr), "");
    EXPECT_EQ(SectionSuffixFrom(""), "");
    EXPECT_EQ(SectionSuffixFrom("-t/../x y\n"), "-t..xy");
    EXPECT_EQ(SectionSuffixFrom(std::string(300, 'a').c_str()).size(), 64u);
}

// A suffix the shell exports stays in front of the process's own, so test processes running
// side by side never share sections, however long or odd the exported one is.
TEST(SectionNames, EveryTestProcessAddsItsOwnPartToAnExportedSuffix) {
    EXPECT_TRUE(SectionSuffix().ends_with("-test" + std::to_string(::getpid()) + "-")) << SectionSuffix();
    const struct { const char* given; std::string want; } cases[] = {
        {nullptr, "-test4321-"},
        {"", "-test4321-"},
        {"-mine", "-mine-test4321-"},
        {"-a b/c", "-abc-test4321-"},
        {"-test99", "-test99-test4321-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(test::PrivateSectionSuffix(c.given, 4321), c.want) << (c.given ? c.given : "(unset)");
    const std::string longOne = test::PrivateSectionSuffix(std::string(100, 'u').c_str(), 4321);
    EXPECT_EQ(longOne, std::string(64 - 10, 'u') + "-test4321-");
    EXPECT_EQ(SectionSuffixFrom(longOne.c_str()), longOne) << "the programs keep all of it";
}

class SharedSectionTest : public ::testing::Test {
protected:
    std::string name = "spirelo-test-" + std::to_string(::getpid());
    void TearDown() override { SharedSection::unlink(name); }
};

TEST_F(SharedSectionTest, IsAtLeastOnePageAndBoundsItsText) {
    SharedSection s;
    ASSERT_TRUE(s.open(name, 4));
    EXPECT_EQ(s.size(), 4096u);
    std::string big(5000, 'A');
    EXPECT_TRUE(s.writeText(big.data(), big.size()));
    std::string back;
    EXPECT_TRUE(s.readText(back));
    EXPECT_EQ(back.size(), 4095u);
}

TEST_F(SharedSectionTest, NeverShrinksWhatTheOtherProgramMade) {
    SharedSection big;
    ASSERT_TRUE(big.open(name, 3 * 4096));
    SharedSection small;
    ASSERT_TRUE(small.open(name, 10));
    EXPECT_EQ(small.size(), 3 * 4096u);
}

TEST_F(SharedSectionTest, SharedBetweenTwoProcessesInEitherStartOrder) {
    for (bool writerFirst : {true, false}) {
        SharedSection::unlink(name);
        int ready[2], done[2];
        ASSERT_EQ(::pipe(ready), 0);
        ASSERT_EQ(::pipe(done), 0);
        pid_t pid = ::fork();
        if (pid == 0) {   // the reader
            char c;
            if (!writerFirst) {
                SharedSection r;
                if (!r.open(name, 1025)) _exit(2);
                (void)!::write(ready[1], "r", 1);
                (void)!::read(done[0], &c, 1);
                std::string text;
                r.readText(text);
                _exit(text == "0A0B" ? 0 : 3);
            }
            (void)!::read(done[0], &c, 1);
            SharedSection r;
            if (!r.open(name, 1025)) _exit(2);
            std::string text;
            r.readText(text);
            _exit(text == "0A0B" ? 0 : 3);
        }
        char c;
        if (!writerFirst) {
            ASSERT_EQ(::read(ready[0], &c, 1), 1);
        }
        SharedSection w;
        ASSERT_TRUE(w.open(name, 1025));
        uint8_t lv[2] = {10, 11};
        char text[5];
        EncodeHexLevels(lv, 2, text);
        w.writeText(text, 4);
        ASSERT_EQ(::write(done[1], "d", 1), 1);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << (writerFirst ? "writer first" : "reader first");
        for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
    }
}

// A section shrunk under both programs: the writer grows it back, the reader skips it, and
// neither is killed by touching pages past its end.
TEST_F(SharedSectionTest, ShrunkUnderTheWriterAndTheReaderIsNeverASignal) {
    SharedSection w, r;
    ASSERT_TRUE(w.open(name, kLiveTextSize));
    ASSERT_TRUE(r.open(name, kLiveTextSize));
    const int other = ::shm_open(("/" + name).c_str(), O_RDWR, 0600);
    ASSERT_GE(other, 0);
    const std::string text(kLiveTextDigits, 'A');
    std::string back;
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(::ftruncate(other, 0), 0);
        EXPECT_FALSE(r.readText(back)) << "a shrunk section is skipped";
        EXPECT_TRUE(w.writeText(text.data(), text.size()));
        struct stat st{};
        ASSERT_EQ(::fstat(other, &st), 0);
        EXPECT_GE(size_t(st.st_size), w.size()) << "the writer grows it back";
        ASSERT_TRUE(r.readText(back));
        EXPECT_EQ(back, text);
        ASSERT_EQ(::ftruncate(other, 100), 0);
        EXPECT_TRUE(w.writeText(text.data(), text.size()));
        ASSERT_TRUE(r.readText(back));
        EXPECT_EQ(back, text);
    }
    ::close(other);
}

// A section made beforehand with a loose mode gets 0600; one of another user is refused.
TEST_F(SharedSectionTest, KeepsItsModeAndRefusesAnotherUsersSection) {
    int fd = ::shm_open(("/" + name).c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::fchmod(fd, 0666), 0);   // past the umask, as another program may have made it
    {
        SharedSection s;
        ASSERT_TRUE(s.open(name, kLiveTextSize));
        struct stat st{};
        ASSERT_EQ(::fstat(fd, &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
    }
    if (::geteuid() != 0) {
        ::close(fd);
        GTEST_SKIP() << "giving the section to another user needs root";
    }
    ASSERT_EQ(::fchown(fd, 65534, 65534), 0);
    ::close(fd);
    SharedSection s;
    std::string error;
    EXPECT_FALSE(s.open(name, kLiveTextSize, &error));
    EXPECT_NE(error.find("another user"), std::string::npos) << error;
    EXPECT_FALSE(s.isOpen());
}
