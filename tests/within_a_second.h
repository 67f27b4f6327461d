// Runs a call that might block for ever (a read of a FIFO) in a child process that an alarm kills
// after a second, so a hang fails the test instead of stopping the suite.
#pragma once

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace spirelo::test {

// True when call returned true within a second.
inline bool AnswersWithinASecond(const std::function<bool()>& call) {
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        ::alarm(1);
        ::_exit(call() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace spirelo::test
