// Which frame of the output stream is being heard, from what an ALSA device says after each write.
//
// A device's own delay figure can wander while the stream plays on at a steady pace (PipeWire's
// ALSA plugin adds to it a server-side part that drifts by up to tens of milliseconds and jumps
// back). What the device has taken out of its ring (frames handed over minus those still
// queued) is exact, so the clock follows that, less the latency beyond the ring, which it
// takes from the device's figures over the stream's first second and keeps until those
// figures move far from it for good (a server that changed its latency).
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

namespace spirelo {

class HeardClock {
public:
    explicit HeardClock(std::uint32_t rate) : rate_(rate) {}

    // A new stream (opened, or restarted after an under-run): nothing before it counts.
    void Restart();

    // After a write: `handed` frames given to the device ever, `queued` of them still in its
    // ring, `delay` frames the device says are not yet heard. Returns the frame heard at `nowNs`
    // (never more than was handed over).
    std::uint64_t Reading(std::int64_t nowNs, std::uint64_t handed, long queued, long delay);

    // The latency beyond the ring in use, in frames; negative until it is known.
    long Beyond() const { return known_ ? beyond_ : -1; }

    static constexpr double kEnvelopeSeconds = 0.1;   // longer than a sound server's cycle
    static constexpr double kSettleSeconds = 1.0;     // the first figures taken for the latency
    static constexpr double kRetakeSeconds = 0.05;    // a latency change this large is real

private:
    struct Taken {
        double t;        // seconds since the stream's first reading
        double phase;    // frames taken out of the ring, less t * rate
    };
    struct Latency {
        double t;
        double frames;
    };
    double median(double since) const;

    std::uint32_t rate_;
    bool started_ = false;
    std::int64_t startNs_ = 0;
    std::deque<Taken> taken_;         // the last kEnvelopeSeconds
    std::deque<Latency> beyondSeen_;  // the last kSettleSeconds
    bool known_ = false;
    long beyond_ = 0;
    mutable std::vector<double> scratch_;
};

}  // namespace spirelo
