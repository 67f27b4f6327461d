// Analysis of 16-bit interleaved frames: the 256-point spectrum and the peak level the engine
// reports for what is heard.
#pragma once

#include <cstddef>
#include <cstdint>

namespace spirelo {

inline constexpr int kFftFrames = 256;
inline constexpr int kFftBins = 128;

// 128 magnitudes of `frames` (256 frames of `channels` channels): mono mix, Hann window,
// scaled so a full-scale sine centred on bin k gives about 1.0 at bin k. Thread-safe.
void Fft256Magnitudes(const std::int16_t* frames, int channels, float* out128);

// Peak of the frames: the left peak (0..32768) in the low 16 bits, the right in the high.
// Mono gives the same peak to both; more than two channels: even channels left, odd right.
std::uint32_t PeakLevel(const std::int16_t* frames, int channels, std::size_t count);

}  // namespace spirelo
