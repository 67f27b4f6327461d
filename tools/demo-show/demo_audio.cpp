#include "demo_audio.h"

#include <sndfile.h>

#include <cmath>
#include <vector>

namespace demo {

std::string WriteDemoMusic(const std::string& path, double seconds) {
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return sf_strerror(nullptr);
    // libsndfile's MPEG writer wants floats (its 16-bit stereo path is broken).
    const long frames = static_cast<long>(seconds * kSampleRate);
    const double pi = 3.14159265358979323846;
    const double chord[] = {220.0, 277.18, 329.63};   // A major
    std::vector<float> block(2 * 4096);
    long done = 0;
    while (done < frames) {
        long n = std::min<long>(4096, frames - done);
        for (long i = 0; i < n; ++i) {
            double t = static_cast<double>(done + i) / kSampleRate;
            double inBeat = std::fmod(t, kBeatSeconds);
            // kick: a falling sine with a fast decay at every beat
            double kick = std::exp(-inBeat * 18.0) * std::sin(2 * pi * (50.0 + 90.0 * std::exp(-inBeat * 30.0)) * inBeat);
            double pad = 0;
            for (double fr : chord) pad += std::sin(2 * pi * fr * t);
            pad *= 0.06;
            // a hi-hat tick on the off-beat
            double off = std::fmod(t + kBeatSeconds / 2, kBeatSeconds);
            double hat = std::exp(-off * 120.0) * std::sin(2 * pi * 6000.0 * t) * 0.15;
            double fade = std::min(1.0, std::min(t, seconds - t) * 2.0);
            float l = static_cast<float>((0.7 * kick + pad + hat) * fade);
            float r = static_cast<float>((0.7 * kick + pad * 0.8 - hat) * fade);
            block[2 * i] = l;
            block[2 * i + 1] = r;
        }
        if (sf_writef_float(f, block.data(), n) != n) {
            std::string err = sf_strerror(f);
            sf_close(f);
            return err;
        }
        done += n;
    }
    if (sf_close(f) != 0) return "close failed";
    return {};
}

}  // namespace demo
