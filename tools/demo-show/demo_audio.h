#pragma once

#include <string>

namespace demo {

inline constexpr int kSampleRate = 44100;
inline constexpr double kBeatSeconds = 0.5;   // 120 beats a minute

// Writes `seconds` of a stereo piece with a clear beat (a kick on every beat, a pad under it)
// as MPEG layer III through libsndfile. Returns an empty string or the error text.
std::string WriteDemoMusic(const std::string& path, double seconds);

}  // namespace demo
