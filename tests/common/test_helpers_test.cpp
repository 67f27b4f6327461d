// The helpers the other tests stand on: a child process is forgotten once reaped, and a call that
// hangs ends its test instead of the suite.
#include "tests/child_process.h"
#include "tests/hang_guard.h"
#include "tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace spirelo::test {
namespace {

// A child that ended is reaped by the first look that sees it: its pid is dropped, so no later
// Stop can signal whatever process the kernel gives that number next, and its status is kept for
// a later wait.
TEST(ChildProcess, AnEndedChildIsForgottenAndItsStatusKept) {
    ScratchFolder dir;
    ASSERT_TRUE(dir.made());
    Process p = Spawn({"/bin/sh", "-c", "echo \"$HELPER_SAYS\"; exit 3"}, {"HELPER_SAYS=hello"}, dir / "out.log");
    ASSERT_GT(p.pid, 0);
    const auto start = Clock::now();
    while (Alive(p) && Seconds(start, Clock::now()) < 60) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_FALSE(Alive(p)) << "the child did not end";
    EXPECT_EQ(p.pid, -1);
    int status = -1;
    ASSERT_TRUE(WaitFor(p, 0, &status)) << "the status seen by Alive was lost";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
    Stop(p);   // nothing left to stop
    EXPECT_EQ(p.pid, -1);
    EXPECT_EQ(Slurp(dir / "out.log"), "hello\n");

    // One that never ends is stopped, and the guard stops it on any way out of its scope.
    Process sleeper;
    {
        sleeper = Spawn({"/bin/sleep", "600"}, {}, dir / "sleep.log");
        StopAtExit stop(sleeper);
        ASSERT_TRUE(Alive(sleeper));
    }
    EXPECT_EQ(sleeper.pid, -1);
    ASSERT_TRUE(sleeper.ended);
    EXPECT_TRUE(WIFSIGNALED(sleeper.status) && WTERMSIG(sleeper.status) == SIGTERM) << sleeper.status;
}

TEST(HangGuard, ACallThatHangsEndsTheTestProcessWithItsReason) {
    EXPECT_TRUE(AnswersWithoutHanging([] { return true; }));
    EXPECT_FALSE(AnswersWithoutHanging([] { return false; }));
    // The death test's child is a fresh run of this program, not a fork of its threads.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(AnswersWithoutHanging(
                    [] {
                        int fds[2];
                        if (::pipe(fds) != 0) return true;
                        char c;
                        return ::read(fds[0], &c, 1) == 1;   // the write end stays open: waits for ever
                    },
                    std::chrono::milliseconds(200)),
                ::testing::ExitedWithCode(1), "did not answer within 200 ms: it hangs");
}

}  // namespace
}  // namespace spirelo::test
