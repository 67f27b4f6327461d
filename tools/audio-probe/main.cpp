// Plays a file and prints the heard position against the monotonic clock, to check the audio
// engine on a machine (with a sound card, or on the null output with SPIRELO_AUDIO=null).
//
//   audio-probe FILE [SECONDS] [INTERVAL_MS]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/audio.h"

using namespace spirelo;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [SECONDS] [INTERVAL_MS]\n", argv[0]);
        return 2;
    }
    const char* file = argv[1];
    double seconds = argc > 2 ? std::atof(argv[2]) : 5.0;
    int intervalMs = argc > 3 ? std::atoi(argv[3]) : 100;
    if (intervalMs < 1) intervalMs = 1;

    if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) {
        std::fprintf(stderr, "audio-probe: cannot start the audio engine (error %d)\n", BASS_ErrorGetCode());
        return 1;
    }
    AudioHandle h = BASS_StreamCreateFile(false, file, 0, 0, 0);
    if (!h) h = BASS_MusicLoad(false, file, 0, 0, kMusicShowFlags, 0);
    if (!h) {
        std::fprintf(stderr, "audio-probe: cannot play %s (error %d)\n", file, BASS_ErrorGetCode());
        BASS_Free();
        return 1;
    }
    std::uint64_t length = BASS_ChannelGetLength(h, BASS_POS_BYTE);
    std::uint64_t perSecond = BASS_ChannelSeconds2Bytes(h, 1.0);
    std::printf("output %s at %u Hz; %s: %llu bytes, %.3f s, %llu bytes/s\n", AudioOutputName().c_str(),
                AudioOutputRate(), file, static_cast<unsigned long long>(length),
                BASS_ChannelBytes2Seconds(h, length), static_cast<unsigned long long>(perSecond));
    std::printf("%10s %12s %10s %10s\n", "clock_s", "position", "heard_s", "lag_ms");

    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    BASS_ChannelPlay(h, false);
    std::uint64_t last = 0;
    int backwards = 0;
    double firstMovedAt = -1, lastLag = 0;
    while (true) {
        double clock = std::chrono::duration<double>(Clock::now() - start).count();
        std::uint64_t pos = BASS_ChannelGetPosition(h, BASS_POS_BYTE);
        if (pos < last) ++backwards;
        if (pos > 0 && firstMovedAt < 0) firstMovedAt = clock;
        last = pos;
        double heard = BASS_ChannelBytes2Seconds(h, pos);
        lastLag = (clock - heard) * 1000.0;
        std::printf("%10.3f %12llu %10.3f %10.1f\n", clock, static_cast<unsigned long long>(pos), heard, lastLag);
        std::fflush(stdout);
        if (clock >= seconds || BASS_ChannelIsActive(h) != BASS_ACTIVE_PLAYING) break;
        std::this_thread::sleep_until(start + std::chrono::milliseconds(
                                                  static_cast<long>((clock * 1000.0) / intervalMs + 1) * intervalMs));
    }
    std::printf("output %s; first movement after %.1f ms; clock minus heard at the end %.1f ms; %d steps back\n",
                AudioOutputName().c_str(), firstMovedAt * 1000.0, lastLag, backwards);
    BASS_Free();
    return backwards == 0 ? 0 : 1;
}
