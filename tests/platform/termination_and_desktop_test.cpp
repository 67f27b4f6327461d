#include "platform/desktop_check.h"
#include "platform/termination_signals.h"

#include <gtest/gtest.h>

#include <csignal>

using namespace spirelo;

TEST(TerminationSignals, EachSignalIsTakenOnceAndMarksTheEnd) {
    SetEndingOnSignal(false);
    ASSERT_TRUE(InstallTerminationSignals());
    ASSERT_TRUE(InstallTerminationSignals());   // a second install keeps the one pipe
    EXPECT_FALSE(TakeTerminationSignals());
    EXPECT_FALSE(EndingOnSignal());
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        SetEndingOnSignal(false);
        ASSERT_EQ(::raise(sig), 0);
        ASSERT_EQ(::raise(sig), 0);
        EXPECT_TRUE(TakeTerminationSignals());
        EXPECT_TRUE(EndingOnSignal());
        EXPECT_FALSE(TakeTerminationSignals());
    }
    SetEndingOnSignal(false);
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
