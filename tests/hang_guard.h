// Runs a call that might block for ever (a read of a FIFO) under a watchdog thread, so a hang
// fails the test instead of stopping the suite. The call runs on the test's own thread; if it
// has not returned by the deadline, the watchdog says which call hung and ends the test process
// with status 1, since no thread can be made to leave a blocked system call. No fork: in a test
// process that has started threads (audio, sanitizers) a forked child may only call what is
// async-signal-safe. The calls answer at once; the bound is generous so that a loaded machine
// never fails them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>

namespace spirelo::test {

// Ends the test process if the scope it guards is still running `limit` after it began.
class Watchdog {
public:
    Watchdog(std::chrono::milliseconds limit, const char* what) : what_(what) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        thread_ = std::thread([this, deadline, limit] {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!cv_.wait_until(lock, deadline, [this] { return done_; })) {
                std::fprintf(stderr, "%s did not answer within %lld ms: it hangs\n", what_,
                             static_cast<long long>(limit.count()));
                std::fflush(stderr);
                std::_Exit(1);
            }
        });
    }
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        cv_.notify_one();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    const char* what_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
    std::thread thread_;
};

// True when call returned true; a call that hangs ends the process instead.
inline bool AnswersWithoutHanging(const std::function<bool()>& call,
                                  std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    Watchdog watchdog(limit, "a call that must not wait");
    return call();
}

}  // namespace spirelo::test
