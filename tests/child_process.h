// The programs run as child processes by the end-to-end and install tests: started with extra
// environment and their output in a log, waited for on their end, stopped with SIGTERM.
#pragma once

#include "common/file_io.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

struct Process {
    pid_t pid = -1;
    std::string log;
};

inline Process Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                     const std::string& log) {
    Process p;
    p.log = log;
    p.pid = ::fork();
    if (p.pid == 0) {
        int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        int devnull = ::open("/dev/null", O_RDONLY);
        if (devnull >= 0) ::dup2(devnull, 0);
        for (const auto& kv : env) ::putenv(const_cast<char*>(kv.c_str()));
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        _exit(127);
    }
    return p;
}

// Waits up to timeout for the process to end; returns true and its status when it did.
inline bool WaitFor(Process& p, double timeout, int* status) {
    auto start = Clock::now();
    while (Seconds(start, Clock::now()) < timeout) {
        int st = 0;
        pid_t r = ::waitpid(p.pid, &st, WNOHANG);
        if (r == p.pid) {
            *status = st;
            p.pid = -1;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

inline void Stop(Process& p) {
    if (p.pid <= 0) return;
    ::kill(p.pid, SIGTERM);
    int st;
    if (!WaitFor(p, 10, &st)) {
        ::kill(p.pid, SIGKILL);
        ::waitpid(p.pid, &st, 0);
        p.pid = -1;
    }
}

inline bool Alive(Process& p) {
    int st;
    return p.pid > 0 && ::waitpid(p.pid, &st, WNOHANG) == 0;
}

}  // namespace spirelo::test
