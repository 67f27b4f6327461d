// Timestamps of the running controller's periodic work, for the timing measurement: written
// only when the environment variable SPIRELO_TIMING names a file. Records are kept in memory
// and appended to the file about once a second, so only one timer pass a second writes.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace spirelo {

class TimingLog {
public:
    // The process's log, or nullptr when SPIRELO_TIMING is unset or empty.
    static TimingLog* Instance();

    explicit TimingLog(std::string path);
    ~TimingLog();

    // One line "<kind> <monotonic ns> <a> <b>"; kind 'T' the show tick, 'D' the output cycle.
    void record(char kind, int64_t a = 0, int64_t b = 0);
    void flush();

    static int64_t NowNs();

private:
    struct Rec { char kind; int64_t ns, a, b; };
    std::string path_;
    std::vector<Rec> recs_;
    int64_t lastFlushNs_ = 0;
    std::mutex mutex_;
};

}  // namespace spirelo
