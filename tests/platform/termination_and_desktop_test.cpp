#include "platform/desktop_check.h"
#include "platform/termination_signals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <unistd.h>

using namespace spirelo;

TEST(TerminationSignals, EachSignalIsTakenOnceAndMarksTheEnd) {
    SetEndingOnSignal(false);
    // Started under nohup (as some test runners start their jobs): SIGHUP stays ignored.
    ASSERT_NE(std::signal(SIGHUP, SIG_IGN), SIG_ERR);
    ASSERT_TRUE(InstallTerminationSignals());
    struct sigaction hup{};
    ASSERT_EQ(::sigaction(SIGHUP, nullptr, &hup), 0);
    EXPECT_EQ(hup.sa_handler, SIG_IGN);
    ASSERT_EQ(::raise(SIGHUP), 0);
    EXPECT_FALSE(TakeTerminationSignals());
    EXPECT_FALSE(EndingOnSignal());
    // From a terminal it is taken like the others, whatever this test process was started with.
    ASSERT_NE(std::signal(SIGHUP, SIG_DFL), SIG_ERR);
    ASSERT_TRUE(InstallTerminationSignals());
    ASSERT_TRUE(InstallTerminationSignals());   // a second install keeps the one pipe
    EXPECT_FALSE(TakeTerminationSignals());
    EXPECT_FALSE(EndingOnSignal());
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(sig);
        SetEndingOnSignal(false);
        ASSERT_EQ(::raise(sig), 0);
        EXPECT_TRUE(TakeTerminationSignals());
        EXPECT_TRUE(EndingOnSignal());
        EXPECT_FALSE(TakeTerminationSignals());
    }
    // A closing terminal sends SIGHUP more than once: the later ones never cut the close short.
    SetEndingOnSignal(false);
    for (int k = 0; k < 3; ++k) ASSERT_EQ(::raise(SIGHUP), 0);
    EXPECT_TRUE(TakeTerminationSignals());
    SetEndingOnSignal(false);
}

namespace {
void LastAct() {
    const char line[] = "the last act ran\n";
    [[maybe_unused]] ssize_t n = ::write(2, line, sizeof line - 1);
}
}  // namespace

// A second SIGINT or SIGTERM while the end is under way ends the process at once, whatever the
// window thread is doing (here: nothing reads the first request at all).
TEST(TerminationSignals, ASecondStopSignalEndsAtOnceAfterTheLastAct) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        int first, second;
    } cases[] = {{SIGTERM, SIGTERM}, {SIGINT, SIGINT}, {SIGHUP, SIGTERM}, {SIGTERM, SIGINT}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + " then " + std::to_string(c.second));
        EXPECT_EXIT(
            {
                SetEndingOnSignal(false);
                ::signal(SIGHUP, SIG_DFL);   // as from a terminal, even when this run has it ignored
                if (!InstallTerminationSignals()) ::_exit(3);
                SetImmediateEnd("Spirelo", LastAct);
                ::raise(c.first);
                ::raise(c.second);
                ::alarm(20);   // a watcher that never acts fails the test instead of hanging it
                for (;;) ::pause();
            },
            ::testing::KilledBySignal(c.second),
            "Spirelo: a second stop signal during the close; ending at once, with what was saved so far\n"
            "the last act ran");
    }
}

TEST(DesktopCheck, OnlyDesktopPlatformsNeedADisplay) {
    const struct {
        const char* platform;
        bool needs;
    } cases[] = {
        {"", true},           {"xcb", true},         {"wayland", true},   {"wayland-egl", true},
        {"wayland;xcb", true}, {"xcb:nograb", true}, {";", true},         {"offscreen", false},
        {"minimal", false},   {"vnc:size=800x600", false}, {"wayland;offscreen", false},
        {"eglfs", false},
    };
    for (const auto& c : cases) EXPECT_EQ(PlatformNeedsDesktop(c.platform), c.needs) << c.platform;
}

TEST(DesktopCheck, ThePlatformArgumentOutranksTheEnvironment) {
    char prog[] = "Spirelo", flag[] = "-platform", value[] = "offscreen", other[] = "--platform";
    char* withArg[] = {prog, flag, value, nullptr};
    char* withLongArg[] = {prog, other, value, nullptr};
    char* dangling[] = {prog, flag, nullptr};
    EXPECT_EQ(RequestedPlatform(3, withArg, "xcb"), "offscreen");
    EXPECT_EQ(RequestedPlatform(3, withLongArg, nullptr), "offscreen");
    EXPECT_EQ(RequestedPlatform(2, dangling, "xcb"), "xcb");
    EXPECT_EQ(RequestedPlatform(1, withArg, nullptr), "");
}

TEST(DesktopCheck, TheLineSaysWhatIsMissingAndHowToRunOnAVirtualScreen) {
    const std::string line = NoDesktopLine("Glimmora", "./build/bin/Glimmora");
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(line.rfind("Glimmora needs a graphical desktop", 0), 0u) << line;
    EXPECT_NE(line.find("xvfb-run -a ./build/bin/Glimmora"), std::string::npos) << line;
    char prog[] = "/usr/bin/Spirelo";
    char* argv[] = {prog, nullptr};
    EXPECT_EQ(StartedAs(1, argv, "Spirelo"), "/usr/bin/Spirelo");
    EXPECT_EQ(StartedAs(0, argv, "Spirelo"), "Spirelo");
}
