#include "platform/termination_signals.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace spirelo {

namespace {

int gPipe[2] = {-1, -1};
int gWake[2] = {-1, -1};   // handler -> watcher: the signal that cuts the close short
std::atomic<bool> gEnding{false};
std::atomic<int> gRequests{0};
std::atomic<void (*)()> gLastAct{nullptr};
char gLine[160] = "";
std::atomic<size_t> gLineLength{0};

static_assert(std::atomic<int>::is_always_lock_free, "the handler counts with a lock-free atomic");

void OnTerminationSignal(int sig) {
    const int saved = errno;
    const bool first = gRequests.fetch_add(1) == 0;
    if (!first && sig != SIGHUP) {
        const unsigned char s = static_cast<unsigned char>(sig);
        [[maybe_unused]] ssize_t n = ::write(gWake[1], &s, 1);
    } else {
        const char c = 1;
        // A full pipe already holds an end request.
        [[maybe_unused]] ssize_t n = ::write(gPipe[1], &c, 1);
    }
    errno = saved;
}

[[noreturn]] void EndAtOnce(int sig) {
    if (size_t n = gLineLength.load()) [[maybe_unused]] ssize_t w = ::write(2, gLine, n);
    if (void (*act)() = gLastAct.load()) act();
    // Ended by the signal itself, as the sender asked.
    ::signal(sig, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(sig);
    ::_exit(128 + sig);
}

void Watch() {
    unsigned char sig = 0;
    for (;;) {
        const ssize_t n = ::read(gWake[0], &sig, 1);
        if (n == 1) EndAtOnce(sig);
        if (n < 0 && errno == EINTR) continue;
        return;
    }
}

bool StartWatcher() {
    if (::pipe2(gWake, O_CLOEXEC) != 0) return false;
    // The handler must never block on it; the watcher waits on its end.
    const int flags = ::fcntl(gWake[1], F_GETFL);
    if (flags < 0 || ::fcntl(gWake[1], F_SETFL, flags | O_NONBLOCK) != 0) return false;
    // The watcher takes none of the signals: their handlers run on the program's own threads.
    sigset_t all, previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, &previous);
    bool started = true;
    try {
        std::thread(Watch).detach();
    } catch (...) {
        started = false;
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return started;
}

}  // namespace

bool InstallTerminationSignals() {
    if (gPipe[0] < 0) {
        if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
        if (!StartWatcher()) return false;
    }
    struct sigaction sa{};
    sa.sa_handler = OnTerminationSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    bool ok = ::sigaction(SIGINT, &sa, nullptr) == 0 && ::sigaction(SIGTERM, &sa, nullptr) == 0;
    struct sigaction hup{};
    if (::sigaction(SIGHUP, nullptr, &hup) != 0) return false;
    if (hup.sa_handler != SIG_IGN) ok = ::sigaction(SIGHUP, &sa, nullptr) == 0 && ok;
    ::signal(SIGPIPE, SIG_IGN);
    return ok;
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

void SetEndingOnSignal(bool ending) {
    gEnding = ending;
    if (!ending) gRequests = 0;
}

void SetImmediateEnd(const char* programName, void (*lastAct)()) {
    gLineLength = 0;
    const int n = std::snprintf(gLine, sizeof gLine,
                                "%s: a second stop signal during the close; ending at once, with what was saved so far\n",
                                programName ? programName : "");
    if (programName && n > 0) gLineLength = std::min(size_t(n), sizeof gLine - 1);
    gLastAct = lastAct;
}

}  // namespace spirelo
