#include "platform/heard_clock.h"

#include <algorithm>
#include <cmath>

namespace spirelo {

void HeardClock::Restart() {
    started_ = false;
    taken_.clear();
    beyondSeen_.clear();
    known_ = false;
    beyond_ = 0;
}

double HeardClock::median(double since) const {
    scratch_.clear();
    for (const auto& b : beyondSeen_)
        if (b.t >= since) scratch_.push_back(b.frames);
    if (scratch_.empty()) return 0;
    auto mid = scratch_.begin() + static_cast<std::ptrdiff_t>(scratch_.size() / 2);
    std::nth_element(scratch_.begin(), mid, scratch_.end());
    return *mid;
}

std::uint64_t HeardClock::Reading(std::int64_t nowNs, std::uint64_t handed, long queued, long delay) {
    if (!started_) {
        started_ = true;
        startNs_ = nowNs;
    }
    const double t = static_cast<double>(nowNs - startNs_) * 1e-9;
    const double rate = rate_;
    const double h = static_cast<double>(handed);
    const double consumed = h - std::clamp(static_cast<double>(queued), 0.0, h);
    const double told = h - std::clamp(static_cast<double>(delay), 0.0, h);   // the device's own word

    // The ring is emptied a server cycle at a time, and a reading may come late in a cycle:
    // the most taken at the steady pace over the last few cycles is where the stream is.
    taken_.push_back({t, consumed - t * rate});
    while (taken_.front().t < t - kEnvelopeSeconds) taken_.pop_front();
    double phase = taken_.front().phase;
    for (const auto& e : taken_) phase = std::max(phase, e.phase);
    const double taken = phase + t * rate;

    beyondSeen_.push_back({t, taken - told});
    while (beyondSeen_.front().t < t - kSettleSeconds) beyondSeen_.pop_front();
    if (!known_) {
        if (t < kSettleSeconds) return static_cast<std::uint64_t>(told);
        beyond_ = std::lround(median(0));
        known_ = true;
    } else {
        const double now = median(t - kSettleSeconds);
        if (std::abs(now - static_cast<double>(beyond_)) > kRetakeSeconds * rate) beyond_ = std::lround(now);
    }
    return static_cast<std::uint64_t>(std::clamp(taken - static_cast<double>(beyond_), 0.0, h));
}

}  // namespace spirelo
