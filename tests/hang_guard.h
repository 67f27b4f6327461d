// Runs a call that might block for ever (a read of a FIFO) in a child process that an alarm kills
// after ten seconds, so a hang fails the test instead of stopping the suite. The calls answer at
// once; the bound is generous so that a loaded machine never fails them.
#pragma once

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace spirelo::test {

// True when call returned true before the alarm.
inline bool AnswersWithoutHanging(const std::function<bool()>& call) {
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        ::alarm(10);
        ::_exit(call() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace spirelo::test
