#include "common/file_io.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

using namespace spirelo;

TEST(ProgramPaths, BesideTheProgramWhenItsFolderIsWritable) {
    std::string dir = ::testing::TempDir() + "progdir";
    ::mkdir(dir.c_str(), 0755);
    OverrideProgramFile(dir + "/Spirelo");
    EXPECT_EQ(BesideProgramFolder(), dir + "/");
    EXPECT_EQ(BesideProgramPath(), dir + "/Spirelo");
    OverrideProgramFile("");
}

// Every log line and settings path asks for the folder: it is probed once, not by making a
// file on every call (which would show in the folder's modification time).
TEST(ProgramPaths, TheProgramFolderIsProbedOnce) {
    std::string dir = ::testing::TempDir() + "probed_once";
    ::mkdir(dir.c_str(), 0755);
    OverrideProgramFile(dir + "/Spirelo");
    EXPECT_EQ(BesideProgramFolder(), dir + "/");
    const struct timespec past[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.c_str(), past, 0), 0);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(BesideProgramFolder(), dir + "/");
    struct stat st{};
    ASSERT_EQ(::stat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1000);
    OverrideProgramFile("");
}

TEST(ProgramPaths, FallsBackToTheConfigFolderWhenNotWritable) {
    std::string cfg = ::testing::TempDir() + "xdgcfg";
    ::setenv("XDG_CONFIG_HOME", cfg.c_str(), 1);
    OverrideProgramFile("/proc/Spirelo");   // never writable, even for root
    EXPECT_EQ(BesideProgramFolder(), cfg + "/spirelo/");
    EXPECT_EQ(BesideProgramPath("glimmora"), cfg + "/glimmora/Spirelo");
    struct stat st{};
    EXPECT_EQ(::stat((cfg + "/glimmora").c_str(), &st), 0);
    OverrideProgramFile("");
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(ProgramPaths, ProgramFileIsTheRunningExecutable) {
    EXPECT_NE(BaseName(ProgramFile()).find("test_platform"), std::string::npos);
}

TEST(MessageService, RecordingFakeAnswersInOrder) {
    auto fake = std::make_shared<RecordingMessages>();
    fake->answers = {Answer::Yes};
    InstallMessageService(fake);
    Messages().message("a");
    EXPECT_EQ(Messages().question("q1"), Answer::Yes);
    EXPECT_EQ(Messages().question("q2"), Answer::No);
    ASSERT_EQ(fake->log.size(), 3u);
    EXPECT_EQ(fake->log[1].kind, MessageKind::Question);
    EXPECT_EQ(TwoLines("one", "two"), "one\n\rtwo");
    InstallMessageService(nullptr);
}
