// Audio fixtures of the player tests: files written by the test through libsndfile, a small
// tracker module built byte by byte, and the audio engine on its manual output.
#pragma once

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "tests/scratch_folder.h"

namespace spirelo::testing {

// A fresh folder of the test's own, removed at the end.
class TempDir {
public:
    std::string file(const std::string& name) const { return folder_ / name; }

private:
    test::ScratchFolder folder_{"spirelo-player"};
};

// A 16-bit WAV of `seconds` at `rate` with `channels`; sample(frame, channel) in -1..1.
template <typename F>
void WriteWav(const std::string& path, int rate, int channels, double seconds, F sample) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    const int64_t frames = static_cast<int64_t>(std::llround(seconds * rate));
    std::vector<short> block;
    const int64_t chunk = 65536;
    for (int64_t start = 0; start < frames; start += chunk) {
        const int64_t n = std::min(chunk, frames - start);
        block.assign(static_cast<size_t>(n * channels), 0);
        for (int64_t i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c)
                block[static_cast<size_t>(i * channels + c)] =
                    static_cast<short>(std::lround(32767.0 * sample(start + i, c)));
        sf_write_short(f, block.data(), static_cast<sf_count_t>(block.size()));
    }
    sf_close(f);
}

inline void WriteSilentWav(const std::string& path, int rate, int channels, double seconds) {
    WriteWav(path, rate, channels, seconds, [](int64_t, int) { return 0.0; });
}

// A four-channel ProTracker module: one pattern, a square-wave sample played on row 0.
inline void WriteModule(const std::string& path) {
    std::vector<uint8_t> m(1084, 0);
    const char title[] = "player test";
    std::copy(title, title + sizeof title - 1, m.begin());
    const int sampleWords = 2000;
    uint8_t* s1 = &m[20];                    // sample 1 header
    s1[22] = sampleWords >> 8;
    s1[23] = sampleWords & 0xFF;
    s1[25] = 64;                             // volume
    s1[29] = 1;                              // repeat length 1 word: no loop
    m[950] = 1;                              // song length: one position
    m[951] = 127;
    m[952] = 0;                              // position 0 plays pattern 0
    m[1080] = 'M'; m[1081] = '.'; m[1082] = 'K'; m[1083] = '.';
    std::vector<uint8_t> pattern(64 * 4 * 4, 0);
    const int period = 428;                  // C-2
    pattern[0] = (1 & 0xF0) | (period >> 8);
    pattern[1] = period & 0xFF;
    pattern[2] = (1 & 0x0F) << 4;            // sample 1, no effect
    m.insert(m.end(), pattern.begin(), pattern.end());
    for (int i = 0; i < sampleWords * 2; ++i) m.push_back((i / 16) % 2 ? 0x60 : 0xA0);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(m.data()),
                                                static_cast<std::streamsize>(m.size()));
}

// The engine on its manual output for the length of a test.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        AudioSetOutputKind(AudioOutputKind::Manual);
        ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    }
    void TearDown() override {
        BASS_Free();
        AudioSetOutputKind(AudioOutputKind::Default);
    }
    TempDir dir;
};

}  // namespace spirelo::testing
