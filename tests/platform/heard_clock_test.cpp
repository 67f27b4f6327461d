#include "platform/heard_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>

using namespace spirelo;

namespace {

constexpr double kRate = 44100;

// A sound server behind an ALSA ring: every 16 ms cycle it takes the next cycle's frames out of
// the ring; the frame heard at t is kRate * t less its latency. The engine, blocked on a full
// ring, writes and reads the clock just after each cycle, and now and then later in a cycle.
struct Server {
    double cycle = 0.016;
    double latency = 0.004;                        // seconds beyond the ring, the truth
    std::function<double(double)> wander = [](double) { return 0.0; };   // error of its delay figure, frames
    long ring = 2205;

    double TrueHeard(double t) const { return kRate * (t - latency); }
    double Consumed(double t) const { return std::floor(kRate * cycle * (std::floor(t / cycle) + 1)); }

    // Runs the engine's writes from `from` to `to`; `check` gets (t, clock's frame, true frame).
    void Run(HeardClock& clock, double from, double to, const std::function<void(double, double, double)>& check) {
        for (double k = std::ceil(from / cycle); k * cycle < to; ++k) {
            for (double late : {0.0002, 0.0053, 0.0111}) read(clock, k * cycle + late, check);
        }
    }
    void read(HeardClock& clock, double t, const std::function<void(double, double, double)>& check) const {
        {
            std::uint64_t handed = static_cast<std::uint64_t>(Consumed(t)) + static_cast<std::uint64_t>(ring) - 300;
            long queued = static_cast<long>(handed - static_cast<std::uint64_t>(Consumed(t)));
            long delay = static_cast<long>(std::lround(static_cast<double>(handed) - TrueHeard(t) + wander(t)));
            double got = static_cast<double>(
                clock.Reading(static_cast<std::int64_t>(t * 1e9), handed, queued, delay));
            check(t, got, TrueHeard(t));
        }
    }
};

TEST(HeardClock, FollowsTheRingWhileTheDevicesOwnDelayWanders) {
    // PipeWire's figure: right at first, then drifting 2.6 ms a second and falling back.
    Server s;
    s.wander = [](double t) { return t < 1.0 ? 0.0 : std::fmod(t - 1.0, 2.5) * 0.0026 * kRate; };
    HeardClock clock(static_cast<std::uint32_t>(kRate));
    double worst = 0, worstTold = 0;
    s.Run(clock, 0.0, 10.0, [&](double t, double got, double truth) {
        if (t > 1.05) worst = std::max(worst, std::abs(got - truth));
        worstTold = std::max(worstTold, std::abs(s.wander(t)));
    });
    EXPECT_LT(worst / kRate, 0.0005);      // half a millisecond
    EXPECT_GT(worstTold / kRate, 0.006);   // the fixture's wander is larger than the goal
    // Beyond the ring: the latency and the cycle the server takes ahead.
    EXPECT_NEAR(clock.Beyond(), (s.latency + s.cycle - 0.0002) * kRate, 2);
}

TEST(HeardClock, TakesUpALatencyChangeThatLasts) {
    Server s;
    HeardClock clock(static_cast<std::uint32_t>(kRate));
    s.Run(clock, 1.0, 3.0, [](double, double, double) {});
    s.latency = 0.104;   // the server now keeps 100 ms more
    double worstAfter = 0;
    s.Run(clock, 3.0, 5.0, [&](double t, double got, double truth) {
        if (t > 4.1) worstAfter = std::max(worstAfter, std::abs(got - truth));
    });
    EXPECT_LT(worstAfter / kRate, 0.0005);
}

TEST(HeardClock, UsesTheDevicesFigureUntilItKnowsTheLatencyAgain) {
    Server s;
    s.wander = [](double t) { return t < 2.0 ? 0.0 : 100.0; };
    HeardClock clock(static_cast<std::uint32_t>(kRate));
    s.Run(clock, 0.5, 2.0, [](double, double, double) {});
    ASSERT_GE(clock.Beyond(), 0);
    clock.Restart();   // after an under-run
    EXPECT_EQ(clock.Beyond(), -1);
    s.Run(clock, 2.0, 2.9, [&](double t, double got, double truth) {
        EXPECT_NEAR(got, truth - s.wander(t), 1) << "at " << t;   // the device's own word, as it stands
    });
    s.Run(clock, 3.1, 3.5, [&](double t, double got, double truth) {
        EXPECT_NEAR(got, truth - 100, 25) << "at " << t;
    });
}

TEST(HeardClock, NeverPastWhatWasHandedOver) {
    HeardClock clock(44100);
    // A device claiming its latency is negative, and a reading with nothing handed over yet.
    EXPECT_EQ(clock.Reading(0, 0, 0, 0), 0u);
    for (int i = 1; i < 200; ++i) {
        std::uint64_t handed = 441u * static_cast<std::uint64_t>(i);
        std::uint64_t got = clock.Reading(i * 10'000'000LL, handed, 0, 0);
        EXPECT_LE(got, handed);
    }
}

}  // namespace
