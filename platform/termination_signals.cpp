#include "platform/termination_signals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace spirelo {

namespace {

int gPipe[2] = {-1, -1};
std::atomic<bool> gEnding{false};

void OnTerminationSignal(int) {
    const int saved = errno;
    const char c = 1;
    // A full pipe already holds an end request.
    [[maybe_unused]] ssize_t n = ::write(gPipe[1], &c, 1);
    errno = saved;
}

}  // namespace

bool InstallTerminationSignals() {
    if (gPipe[0] < 0 && ::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction sa{};
    sa.sa_handler = OnTerminationSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &sa, nullptr) == 0 && ::sigaction(SIGTERM, &sa, nullptr) == 0;
}

int TerminationSignalFd() { return gPipe[0]; }

bool TakeTerminationSignals() {
    if (gPipe[0] < 0) return false;
    bool any = false;
    char buf[16];
    ssize_t n;
    while ((n = ::read(gPipe[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) any = true;
    if (any) gEnding = true;
    return any;
}

bool EndingOnSignal() { return gEnding; }
void SetEndingOnSignal(bool ending) { gEnding = ending; }

}  // namespace spirelo
