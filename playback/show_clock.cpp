#include "playback/show_clock.h"

#include <cmath>
#include <limits>

#include "core/show_data.h"

namespace spirelo {

ShowClock& ShowClockInstance() {
    static auto* instance = new ShowClock();   // lives for the whole run, like the other tables
    return *instance;
}

void PeakArray::resize(std::size_t n) {
    auto fresh = std::make_unique<std::atomic<uint16_t>[]>(n);
    for (std::size_t i = 0; i < n; ++i)
        fresh[i].store(i < size_ ? (*this)[i] : 0, std::memory_order_relaxed);
    data_ = std::move(fresh);
    size_ = n;
}

void PeakArray::fill(uint16_t v) {
    for (std::size_t i = 0; i < size_; ++i) store(i, v);
}

int64_t RoundHalfEven(double v) {
    if (!std::isfinite(v)) return 0;
    double r = std::round(v);                       // halves away from zero
    if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
    if (r > static_cast<double>(std::numeric_limits<int64_t>::max() / 2)) return std::numeric_limits<int64_t>::max() / 2;
    if (r < static_cast<double>(std::numeric_limits<int64_t>::min() / 2)) return std::numeric_limits<int64_t>::min() / 2;
    return static_cast<int64_t>(r);
}

static int32_t ToInt32(uint64_t v) {
    return v > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())
               ? std::numeric_limits<int32_t>::max()
               : static_cast<int32_t>(v);
}

int32_t BytesPerStepOf(uint64_t lengthBytes, double seconds) {
    int64_t whole = RoundHalfEven(seconds);
    if (whole < 1) whole = 1;
    uint64_t perStep = lengthBytes / static_cast<uint64_t>(whole) / kStepsPerSecond;
    if (perStep == 0) perStep = 1;
    return ToInt32(perStep);
}

int32_t SongStepsOf(uint64_t lengthBytes, int32_t bytesPerStep) {
    if (bytesPerStep < 1) bytesPerStep = 1;
    return ToInt32(lengthBytes / static_cast<uint64_t>(bytesPerStep));
}

int32_t BytesPerPixelOf(uint64_t lengthBytes, uint64_t minimumBytes) {
    uint64_t perPixel = lengthBytes / kWaveformWidth;
    if (perPixel < minimumBytes) perPixel = minimumBytes;
    if (perPixel == 0) perPixel = 1;
    return ToInt32(perPixel);
}

int32_t StepOfPosition(uint64_t positionBytes, int32_t bytesPerStep) {
    if (bytesPerStep < 1) bytesPerStep = 1;
    uint32_t low = static_cast<uint32_t>(positionBytes);
    uint32_t step = low / static_cast<uint32_t>(bytesPerStep);
    return step > static_cast<uint32_t>(kMaxShowStep) ? kMaxShowStep : static_cast<int32_t>(step);
}

uint64_t StepToBytes(int64_t step, int32_t bytesPerStep) {
    if (step < 0 || bytesPerStep < 0) return 0;
    return static_cast<uint64_t>(step) * static_cast<uint64_t>(bytesPerStep);
}

uint64_t PixelToBytes(int64_t pixel, int32_t bytesPerPixel) {
    if (pixel < 0 || bytesPerPixel < 0) return 0;
    return static_cast<uint64_t>(pixel) * static_cast<uint64_t>(bytesPerPixel);
}

}  // namespace spirelo
