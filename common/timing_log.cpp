#include "common/timing_log.h"

#include "common/file_io.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace spirelo {

TimingLog* TimingLog::Instance() {
    static TimingLog* log = [] () -> TimingLog* {
        const char* p = std::getenv("SPIRELO_TIMING");
        if (!p || !*p) return nullptr;
        static TimingLog instance(p);
        return &instance;
    }();
    return log;
}

TimingLog::TimingLog(std::string path) : path_(std::move(path)) {
    recs_.reserve(1024);
    lastFlushNs_ = NowNs();
}

TimingLog::~TimingLog() { flush(); }

int64_t TimingLog::NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void TimingLog::record(char kind, int64_t a, int64_t b) {
    int64_t now = NowNs();
    bool due;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        recs_.push_back({kind, now, a, b});
        due = now - lastFlushNs_ > 1000000000;
    }
    if (due) flush();
}

void TimingLog::flush() {
    std::vector<Rec> out;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        out.swap(recs_);
        recs_.reserve(1024);
        lastFlushNs_ = NowNs();
    }
    if (out.empty()) return;
    std::string text;
    text.reserve(out.size() * 40);
    char line[96];
    for (const Rec& r : out) {
        int n = std::snprintf(line, sizeof line, "%c %lld %lld %lld\n", r.kind, static_cast<long long>(r.ns),
                              static_cast<long long>(r.a), static_cast<long long>(r.b));
        text.append(line, static_cast<size_t>(n));
    }
    AppendToFile(path_, text.data(), text.size());
}

}  // namespace spirelo
