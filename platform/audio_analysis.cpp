#include "platform/audio_analysis.h"

#include <cmath>
#include <algorithm>
#include <cstdlib>

#include <kiss_fftr.h>

namespace spirelo {

namespace {

// One transform state per thread: kiss_fftr keeps scratch space in its state.
class Fft256 {
public:
    Fft256() : cfg_(kiss_fftr_alloc(kFftFrames, 0, nullptr, nullptr)) {
        const double pi = 3.14159265358979323846;
        for (int n = 0; n < kFftFrames; ++n)
            window_[n] = static_cast<float>(0.5 * (1.0 - std::cos(2.0 * pi * n / kFftFrames)));
    }
    ~Fft256() { kiss_fftr_free(cfg_); }
    Fft256(const Fft256&) = delete;
    Fft256& operator=(const Fft256&) = delete;

    void run(const std::int16_t* frames, int channels, float* out) {
        const float toUnit = 1.0f / (32768.0f * static_cast<float>(channels));
        for (int n = 0; n < kFftFrames; ++n) {
            int sum = 0;
            for (int c = 0; c < channels; ++c) sum += frames[n * channels + c];
            in_[n] = static_cast<float>(sum) * toUnit * window_[n];
        }
        kiss_fftr(cfg_, in_, spectrum_);
        // The periodic Hann window sums to N/2, so a sine of amplitude A peaks at A * N / 4.
        const float scale = 4.0f / kFftFrames;
        for (int k = 0; k < kFftBins; ++k)
            out[k] = std::sqrt(spectrum_[k].r * spectrum_[k].r + spectrum_[k].i * spectrum_[k].i) * scale;
    }

private:
    kiss_fftr_cfg cfg_;
    float window_[kFftFrames];
    float in_[kFftFrames];
    kiss_fft_cpx spectrum_[kFftFrames / 2 + 1];
};

}  // namespace

void Fft256Magnitudes(const std::int16_t* frames, int channels, float* out128) {
    thread_local Fft256 fft;
    if (channels < 1) channels = 1;
    fft.run(frames, channels, out128);
}

std::uint32_t PeakLevel(const std::int16_t* frames, int channels, std::size_t count) {
    int left = 0, right = 0;
    if (channels <= 1) {
        for (std::size_t i = 0; i < count; ++i) left = std::max(left, std::abs(int(frames[i])));
        right = left;
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            const std::int16_t* f = frames + i * channels;
            for (int c = 0; c < channels; ++c) {
                int v = std::abs(int(f[c]));
                if (c & 1) right = std::max(right, v);
                else left = std::max(left, v);
            }
        }
    }
    return static_cast<std::uint32_t>(left) | (static_cast<std::uint32_t>(right) << 16);
}

}  // namespace spirelo
