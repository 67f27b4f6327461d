#include "core/instance_guard.h"

#include "common/ini_file.h"
#include "common/live_data.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "tests/environment_variable.h"
#include "tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;
using spirelo::InstanceGuard;

namespace {

struct GuardFolder : ::testing::Test {
    spirelo::test::ScratchFolder scratch{"spirelo-guard"};
    fs::path dir;
    std::string guardFile;
    void SetUp() override {
        ASSERT_TRUE(scratch.made());
        dir = scratch.path();
        guardFile = (dir / "twice.ini").string();
    }

    std::string key(const std::string& k) const {
        return spirelo::IniFile(guardFile).readString("Appl", k, "<absent>");
    }
};

// A separate instance of the program: a child process that takes the guard, writes the running
// marks, tells the parent, and then waits until it is killed or told to end normally.
struct Instance {
    pid_t pid = -1;
    int toParent[2];
    int toChild[2];

    bool start(const std::string& guardFile) {
        if (::pipe(toParent) != 0 || ::pipe(toChild) != 0) return false;
        pid = ::fork();
        if (pid == 0) {
            ::close(toParent[0]);
            ::close(toChild[1]);
            InstanceGuard g(guardFile);
            char ok = g.acquire() == InstanceGuard::Result::Acquired ? 'A' : 'R';
            if (ok == 'A') g.markRunning();
            [[maybe_unused]] auto w = ::write(toParent[1], &ok, 1);
            char c;
            if (::read(toChild[0], &c, 1) == 1 && ok == 'A') g.markEnded();
            ::_exit(0);
        }
        ::close(toParent[1]);
        ::close(toChild[0]);
        char c = 0;
        return ::read(toParent[0], &c, 1) == 1 && c == 'A';
    }
    void endNormally() {
        char c = 'E';
        [[maybe_unused]] auto w = ::write(toChild[1], &c, 1);
        ::waitpid(pid, nullptr, 0);
    }
    void kill() {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    ~Instance() {
        ::close(toParent[0]);
        ::close(toChild[1]);
    }
};

}  // namespace

TEST_F(GuardFolder, FirstStartEverRunsAndLeavesTheRunningMarks) {
    ASSERT_FALSE(fs::exists(guardFile));
    InstanceGuard g(guardFile);
    ASSERT_EQ(g.acquire(), InstanceGuard::Result::Acquired);
    ASSERT_TRUE(g.markRunning());
    EXPECT_EQ(key("Complete"), "noNormal");
    EXPECT_EQ(key("Repeat"), "Spirelo");
    ASSERT_TRUE(g.markEnded());
    EXPECT_EQ(key("Complete"), "Normal");
    EXPECT_EQ(key("Repeat"), "noJobSpirelo");
}

TEST_F(GuardFolder, StartsWhileOneRunsAreRefusedAndWriteNothing) {
    Instance first;
    ASSERT_TRUE(first.start(guardFile));
    const auto before = fs::last_write_time(guardFile);
    std::ifstream in(guardFile);
    const std::string text((std::istreambuf_iterator<char>(in)), {});

    // The second and the third start: refused alike, since a refused start leaves no trace.
    for (int start = 2; start <= 3; ++start) {
        Instance other;
        EXPECT_FALSE(other.start(guardFile)) << "start " << start;
        other.endNormally();
    }
    std::ifstream again(guardFile);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), text);
    EXPECT_EQ(fs::last_write_time(guardFile), before);
    EXPECT_EQ(key("Repeat"), "Spirelo");

    first.endNormally();
    EXPECT_EQ(key("Complete"), "Normal");
    Instance next;
    EXPECT_TRUE(next.start(guardFile));
    next.endNormally();
}

TEST_F(GuardFolder, AStartAfterTheFirstWasKilledRuns) {
    Instance first;
    ASSERT_TRUE(first.start(guardFile));
    first.kill();
    // The killed instance left its running marks; they no longer refuse anybody.
    EXPECT_EQ(key("Complete"), "noNormal");
    Instance second;
    EXPECT_TRUE(second.start(guardFile));
    Instance third;
    EXPECT_FALSE(third.start(guardFile));
    third.endNormally();
    second.endNormally();
}

TEST_F(GuardFolder, AProgramStartedByTheInstanceDoesNotKeepTheLock) {
    InstanceGuard g(guardFile);
    ASSERT_EQ(g.acquire(), InstanceGuard::Result::Acquired);
    // As when the About window hands a link to the desktop's handler.
    pid_t child;
    char sleepArg[] = "sleep", five[] = "5";
    char* argv[] = {sleepArg, five, nullptr};
    ASSERT_EQ(::posix_spawnp(&child, "sleep", nullptr, nullptr, argv, environ), 0);
    g.release();
    InstanceGuard next(guardFile);
    EXPECT_EQ(next.acquire(), InstanceGuard::Result::Acquired);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

TEST_F(GuardFolder, WithoutALockTheMarksAreNotWritten) {
    InstanceGuard g((dir / "missing" / "twice.ini").string());
    std::string error;
    EXPECT_EQ(g.acquire(&error), InstanceGuard::Result::Unavailable);
    EXPECT_NE(error.find("missing"), std::string::npos);
    EXPECT_FALSE(g.markRunning());

    InstanceGuard idle(guardFile);   // never acquired
    EXPECT_FALSE(idle.markEnded());
    EXPECT_FALSE(fs::exists(guardFile));
}

// The runtime folder is used only when it is the user's own and closed to others; otherwise
// the guard goes to the settings folder, and the refusal is said once.
TEST(InstanceGuardFile, LivesInTheRuntimeFolderWhenItIsTheUsersOwn) {
    spirelo::test::ScratchFolder own;
    ASSERT_TRUE(own.made());
    spirelo::test::EnvironmentVariable runtime("XDG_RUNTIME_DIR", own.path());
    EXPECT_EQ(spirelo::InstanceGuardFile(), own / ("twice" + spirelo::SectionSuffix() + ".ini"));

    auto messages = std::make_shared<spirelo::RecordingMessages>();
    spirelo::InstallMessageService(messages);
    ASSERT_EQ(::chmod(own.path().c_str(), 01777), 0);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(spirelo::InstanceGuardFile(),
                  spirelo::BesideProgramFolder("spirelo") + "twice" + spirelo::SectionSuffix() + ".ini");
    }
    ASSERT_EQ(messages->log.size(), 1u);
    EXPECT_NE(messages->log[0].text.find(own.path()), std::string::npos) << messages->log[0].text;
    EXPECT_NE(messages->log[0].text.find("mode 1777"), std::string::npos) << messages->log[0].text;
    spirelo::InstallMessageService(nullptr);
}

// A lock file of another user, held by them, neither refuses the start nor is taken silently;
// nor is one reached through a link.
TEST_F(GuardFolder, AnotherUsersLockNeverStopsAStart) {
    const std::string lock = guardFile + ".lock";
    ASSERT_EQ(::symlink("elsewhere.lock", lock.c_str()), 0);
    InstanceGuard viaLink(guardFile);
    std::string error;
    EXPECT_EQ(viaLink.acquire(&error), InstanceGuard::Result::Unavailable);
    EXPECT_NE(error.find(lock), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(dir / "elsewhere.lock")) << "the link was followed";
    ASSERT_EQ(::unlink(lock.c_str()), 0);

    if (::geteuid() != 0) GTEST_SKIP() << "a lock file of another user needs root to make";
    int theirs = ::open(lock.c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_GE(theirs, 0);
    ASSERT_EQ(::fchown(theirs, 65534, 65534), 0);
    ASSERT_EQ(::fchmod(theirs, 0666), 0);
    ASSERT_EQ(::flock(theirs, LOCK_EX), 0);
    InstanceGuard g(guardFile);
    error.clear();
    EXPECT_EQ(g.acquire(&error), InstanceGuard::Result::Unavailable);
    EXPECT_NE(error.find("another user (uid 65534)"), std::string::npos) << error;
    EXPECT_FALSE(g.held());
    ::close(theirs);
}
