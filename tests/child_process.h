// The programs run as child processes by the end-to-end and install tests: started with extra
// environment and their output in a log, waited for on their end, stopped with SIGTERM.
#pragma once

#include "common/file_io.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace spirelo::test {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// The whole file as text ("" when it cannot be read).
inline std::string Slurp(const std::string& path) {
    std::string s;
    ReadWholeFile(path, s);
    return s;
}

// A started program. Once it has been reaped its pid is forgotten (-1), since the kernel may hand
// that number to another process, and its wait status is kept in `status`.
struct Process {
    pid_t pid = -1;
    std::string log;
    bool ended = false;
    int status = 0;
};

// The test's environment with `env` ("NAME=value") set over it.
inline std::vector<std::string> EnvironmentWith(const std::vector<std::string>& env) {
    std::vector<std::string> out;
    for (char** e = environ; e && *e; ++e) {
        const std::string kv = *e;
        bool replaced = false;
        for (const auto& set : env) {
            const size_t eq = set.find('=');
            replaced = replaced || (eq != std::string::npos && kv.compare(0, eq + 1, set, 0, eq + 1) == 0);
        }
        if (!replaced) out.push_back(kv);
    }
    out.insert(out.end(), env.begin(), env.end());
    return out;
}

inline Process Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                     const std::string& log) {
    Process p;
    p.log = log;
    // Everything the child needs is made before the fork: between fork and exec it may only
    // make async-signal-safe calls, as another thread may have held the allocator's lock.
    std::vector<std::string> environment = EnvironmentWith(env);
    std::vector<char*> envp;
    for (auto& kv : environment) envp.push_back(kv.data());
    envp.push_back(nullptr);
    std::vector<std::string> arguments = argv;
    std::vector<char*> args;
    for (auto& a : arguments) args.push_back(a.data());
    args.push_back(nullptr);
    p.pid = ::fork();
    if (p.pid == 0) {
        int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        int devnull = ::open("/dev/null", O_RDONLY);
        if (devnull >= 0) ::dup2(devnull, 0);
        ::execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    return p;
}

// One look without blocking: reaps the process when it has ended. True while it runs.
inline bool Alive(Process& p) {
    if (p.pid <= 0) return false;
    int st = 0;
    pid_t r;
    do r = ::waitpid(p.pid, &st, WNOHANG);
    while (r < 0 && errno == EINTR);
    if (r == 0) return true;
    if (r == p.pid) {
        p.ended = true;
        p.status = st;
    }
    p.pid = -1;   // reaped, or not ours to wait for any more: never signal that number again
    return false;
}

// Waits up to timeout for the process to end; returns true and its status when it did (also when
// an earlier look had already seen it end).
inline bool WaitFor(Process& p, double timeout, int* status) {
    auto start = Clock::now();
    while (Alive(p)) {
        if (Seconds(start, Clock::now()) >= timeout) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!p.ended) return false;
    *status = p.status;
    return true;
}

inline void Stop(Process& p) {
    if (!Alive(p)) return;
    ::kill(p.pid, SIGTERM);
    int st;
    // A child reaped elsewhere meanwhile leaves pid -1, which kill() would take for every
    // process the user may signal.
    if (!WaitFor(p, 10, &st) && p.pid > 0) {
        ::kill(p.pid, SIGKILL);
        while (Alive(p)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// Stops the process when the scope ends, however it ends (a failed ASSERT returns early).
class StopAtExit {
public:
    explicit StopAtExit(Process& p) : p_(p) {}
    ~StopAtExit() { Stop(p_); }
    StopAtExit(const StopAtExit&) = delete;
    StopAtExit& operator=(const StopAtExit&) = delete;

private:
    Process& p_;
};

}  // namespace spirelo::test
