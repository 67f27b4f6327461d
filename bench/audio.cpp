// Audio engine hot paths: decoding each format as the peak scan does (20 ms level slices over
// the whole file), one heard-position query, one FFT256 of the heard audio, and the pacing of
// the null output against the monotonic clock.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <sndfile.h>

#include "platform/audio.h"
#include "tests/platform/audio_fixtures.h"

using namespace spirelo;

namespace {

// Music-like content (tones over noise), so the encoders spend real bits on it.
std::string MakeMusic(const std::string& name, double seconds, int format) {
    std::string path = audio_fixtures::TempPath(name);
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return "";
    const double pi = 3.14159265358979323846;
    std::uint32_t seed = 12345;
    std::vector<float> block(44100 * 2);
    auto total = static_cast<long>(seconds * 44100);
    for (long done = 0; done < total;) {
        long n = std::min<long>(44100, total - done);
        for (long i = 0; i < n; ++i) {
            double t = static_cast<double>(done + i) / 44100;
            seed = seed * 1664525u + 1013904223u;
            double noise = (static_cast<double>(seed >> 8) / (1u << 24) - 0.5) * 0.3;
            double tone = 0.3 * std::sin(2 * pi * 220 * t) + 0.2 * std::sin(2 * pi * 1760 * t + t);
            block[2 * i] = static_cast<float>(tone + noise);
            block[2 * i + 1] = static_cast<float>(tone - noise);
        }
        sf_writef_float(f, block.data(), n);
        done += n;
    }
    sf_close(f);
    return path;
}

struct Files {
    std::string mp3, wav, flac, ogg, module;
};

const Files& Fixtures() {
    static Files files = [] {
        Files f;
        const double fourMinutes = 240.0;
        f.mp3 = MakeMusic("bench-4min.mp3", fourMinutes, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
        f.wav = MakeMusic("bench-4min.wav", fourMinutes, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        f.flac = MakeMusic("bench-4min.flac", fourMinutes, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
        f.ogg = MakeMusic("bench-4min.ogg", fourMinutes, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
        f.module = audio_fixtures::MakeModule("bench.mod");
        return f;
    }();
    return files;
}

struct Engine {
    explicit Engine(AudioOutputKind kind) {
        AudioSetOutputKind(kind);
        BASS_Init(-1, 44100, 0, nullptr, nullptr);
    }
    ~Engine() {
        BASS_Free();
        AudioSetOutputKind(AudioOutputKind::Default);
    }
};

// Open a decode copy and take its 20 ms levels to the end, as the waveform's peak scan does.
void ScanPeaks(benchmark::State& state, const std::string& path, bool module) {
    Engine engine(AudioOutputKind::Manual);
    double audioSeconds = 0;
    for (auto _ : state) {
        AudioHandle h = module ? BASS_MusicLoad(false, path.c_str(), 0, 0, BASS_MUSIC_DECODE, 0)
                               : BASS_StreamCreateFile(false, path.c_str(), 0, 0, BASS_STREAM_DECODE);
        if (!h) {
            state.SkipWithError("cannot open the fixture");
            return;
        }
        std::uint32_t peak = 0;
        while (BASS_ChannelIsActive(h) == BASS_ACTIVE_PLAYING) peak |= BASS_ChannelGetLevel(h);
        benchmark::DoNotOptimize(peak);
        audioSeconds = BASS_ChannelBytes2Seconds(h, BASS_ChannelGetLength(h, BASS_POS_BYTE));
        BASS_StreamFree(h);
    }
    state.counters["audio_s"] = audioSeconds;
    state.counters["x_realtime"] =
        benchmark::Counter(audioSeconds * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_ScanPeaks_Mp3_4min(benchmark::State& s) { ScanPeaks(s, Fixtures().mp3, false); }
void BM_ScanPeaks_Wav_4min(benchmark::State& s) { ScanPeaks(s, Fixtures().wav, false); }
void BM_ScanPeaks_Flac_4min(benchmark::State& s) { ScanPeaks(s, Fixtures().flac, false); }
void BM_ScanPeaks_Ogg_4min(benchmark::State& s) { ScanPeaks(s, Fixtures().ogg, false); }
void BM_ScanPeaks_Module(benchmark::State& s) { ScanPeaks(s, Fixtures().module, true); }
BENCHMARK(BM_ScanPeaks_Mp3_4min)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ScanPeaks_Wav_4min)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ScanPeaks_Flac_4min)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ScanPeaks_Ogg_4min)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ScanPeaks_Module)->Unit(benchmark::kMillisecond);

// Opening alone: the MPEG scan for the exact length and seek index.
void BM_Open_Mp3_4min(benchmark::State& state) {
    Engine engine(AudioOutputKind::Manual);
    for (auto _ : state) {
        AudioHandle h = BASS_StreamCreateFile(false, Fixtures().mp3.c_str(), 0, 0, 0);
        benchmark::DoNotOptimize(h);
        BASS_StreamFree(h);
    }
}
BENCHMARK(BM_Open_Mp3_4min)->Unit(benchmark::kMillisecond);

// The show tick's calls on a channel playing on the real-time null output.
struct Playing {
    Engine engine{AudioOutputKind::Null};
    AudioHandle h = 0;
    Playing() {
        h = BASS_StreamCreateFile(false, Fixtures().wav.c_str(), 0, 0, 0);
        BASS_ChannelPlay(h, false);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
};

void BM_PositionQuery(benchmark::State& state) {
    Playing p;
    for (auto _ : state) benchmark::DoNotOptimize(BASS_ChannelGetPosition(p.h, BASS_POS_BYTE));
}
BENCHMARK(BM_PositionQuery)->Unit(benchmark::kNanosecond);

void BM_Fft256(benchmark::State& state) {
    Playing p;
    float fft[128];
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        BASS_ChannelGetData(p.h, fft, BASS_DATA_FFT256);
        benchmark::DoNotOptimize(fft[10]);
    }
    double each = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                  static_cast<double>(state.iterations());
    state.counters["pct_of_10ms_tick"] = each / 0.010 * 100.0;
}
BENCHMARK(BM_Fft256)->Unit(benchmark::kMicrosecond);

void BM_Level(benchmark::State& state) {
    Playing p;
    for (auto _ : state) benchmark::DoNotOptimize(BASS_ChannelGetLevel(p.h));
}
BENCHMARK(BM_Level)->Unit(benchmark::kMicrosecond);

// Pacing of the null output: how far the heard position strays from the monotonic clock
// over two seconds of playing, sampled every millisecond.
void BM_NullOutputPacing(benchmark::State& state) {
    for (auto _ : state) {
        Playing p;
        BASS_ChannelSetPosition(p.h, 0, BASS_POS_BYTE);
        auto start = std::chrono::steady_clock::now();
        double minLag = 1e9, maxLag = -1e9, maxJumpMs = 0, lastClock = 0;
        std::uint64_t last = 0;
        bool moved = false;
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(2)) {
            std::uint64_t pos = BASS_ChannelGetPosition(p.h, BASS_POS_BYTE);
            double clock = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (pos > 0) moved = true;
            if (moved && last > 0) {
                double lag = clock - pos / 176400.0;
                minLag = std::min(minLag, lag);
                maxLag = std::max(maxLag, lag);
                // How much the position moved beyond (or short of) the clock between two samples.
                double jump = std::abs((pos - last) / 176.4 - (clock - lastClock) * 1000.0);
                maxJumpMs = std::max(maxJumpMs, jump);
            }
            last = pos;
            lastClock = clock;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        state.counters["lag_min_ms"] = minLag * 1000;
        state.counters["lag_max_ms"] = maxLag * 1000;
        state.counters["lag_spread_ms"] = (maxLag - minLag) * 1000;
        state.counters["max_jump_ms"] = maxJumpMs;
    }
}
BENCHMARK(BM_NullOutputPacing)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
