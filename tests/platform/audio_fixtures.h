// Audio files made by the tests: WAV, FLAC, OGG and MP3 through libsndfile, and a small
// ProTracker module built byte by byte.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include <sndfile.h>

#include "tests/scratch_folder.h"

namespace audio_fixtures {

// One folder per process (a test, as ctest runs them), removed with everything in it when the
// process ends.
inline std::string TempDir() {
    static const spirelo::test::ScratchFolder dir("spirelo-audio");
    if (!dir.made()) {
        // Never fall back to a shared folder: the files would outlive the run.
        std::fprintf(stderr, "cannot make a scratch folder under TMPDIR\n");
        std::abort();
    }
    return dir.path();
}

inline std::string TempPath(const std::string& name) { return TempDir() + "/" + name; }

// A sine of `hz` at `amplitude` (of full scale) on every channel; amplitude 0 with `dc` gives
// a constant value instead.
struct Tone {
    int rate = 44100;
    int channels = 2;
    double seconds = 1.0;
    double hz = 1000.0;
    double amplitude = 0.5;
    double dc = 0.0;
};

inline std::vector<float> ToneFrames(const Tone& t) {
    const double pi = 3.14159265358979323846;
    auto frames = static_cast<std::size_t>(std::llround(t.seconds * t.rate));
    std::vector<float> data(frames * t.channels);
    for (std::size_t i = 0; i < frames; ++i) {
        double v = t.dc + t.amplitude * std::sin(2.0 * pi * t.hz * static_cast<double>(i) / t.rate);
        for (int c = 0; c < t.channels; ++c) data[i * t.channels + c] = static_cast<float>(v);
    }
    return data;
}

// format: SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, ...
// variableBitrate: an MP3 in VBR, with its Xing header.
inline bool WriteSound(const std::string& path, const Tone& t, int format, bool variableBitrate = false) {
    SF_INFO info{};
    info.samplerate = t.rate;
    info.channels = t.channels;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return false;
    if (variableBitrate) {
        int mode = SF_BITRATE_MODE_VARIABLE;
        sf_command(f, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
    }
    std::vector<float> data = ToneFrames(t);
    // Floats: the MP3 writer's 16-bit stereo path is broken.
    sf_writef_float(f, data.data(), static_cast<sf_count_t>(data.size() / t.channels));
    sf_close(f);
    return true;
}

inline std::string MakeWav(const std::string& name, const Tone& t) {
    std::string path = TempPath(name);
    return WriteSound(path, t, SF_FORMAT_WAV | SF_FORMAT_PCM_16) ? path : "";
}

inline std::string MakeMp3(const std::string& name, const Tone& t) {
    std::string path = TempPath(name);
    return WriteSound(path, t, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) ? path : "";
}

inline std::string MakeBytes(const std::string& name, const std::string& bytes) {
    std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The first `fraction` of a file's bytes, as a download or a copy cut short leaves it.
inline std::string CutShort(const std::string& path, const std::string& name, double fraction) {
    std::string bytes = ReadBytes(path);
    bytes.resize(static_cast<std::size_t>(static_cast<double>(bytes.size()) * fraction));
    return MakeBytes(name, bytes);
}

// A 4-channel ProTracker module: one pattern, one looping square-wave sample struck on row 0,
// default speed 6 at 125 BPM: 64 rows of 120 ms, 7.68 s. With twoSongs the pattern ends in a
// jump back to its start and a second, unreachable pattern follows in the order list: a
// second sub-song.
inline std::string MakeModule(const std::string& name, bool twoSongs = false) {
    std::string m;
    m.append("spirelo test", 12);
    m.append(20 - 12, '\0');
    auto word = [&m](int v) {
        m.push_back(static_cast<char>((v >> 8) & 0xFF));
        m.push_back(static_cast<char>(v & 0xFF));
    };
    const int sampleWords = 32;
    for (int s = 0; s < 31; ++s) {
        m.append(22, '\0');
        word(s == 0 ? sampleWords : 0);       // length in words
        m.push_back('\0');                    // finetune
        m.push_back(s == 0 ? 64 : 0);         // volume
        word(0);                              // repeat start
        word(s == 0 ? sampleWords : 1);       // repeat length: the whole sample loops
    }
    m.push_back(twoSongs ? 2 : 1);            // song length
    m.push_back(127);
    m.push_back(0);                           // pattern table: pattern 0 (then 1)
    m.push_back(twoSongs ? 1 : 0);
    m.append(126, '\0');
    m.append("M.K.", 4);
    std::string pattern(64 * 4 * 4, '\0');
    const int period = 428;                   // C-2
    pattern[0] = static_cast<char>(((1 & 0xF0)) | ((period >> 8) & 0x0F));
    pattern[1] = static_cast<char>(period & 0xFF);
    pattern[2] = static_cast<char>((1 & 0x0F) << 4);
    pattern[3] = 0;
    if (twoSongs) {
        std::string jump = pattern;
        jump[63 * 16 + 2] = 0x0B;             // row 63: B00, back to order 0
        m += jump;
    }
    m += pattern;
    for (int i = 0; i < sampleWords * 2; ++i) m.push_back(static_cast<char>(i < sampleWords ? 100 : -100));
    return MakeBytes(name, m);
}

}  // namespace audio_fixtures
