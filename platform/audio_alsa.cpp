#include "platform/audio_alsa.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>

#include <alsa/asoundlib.h>

namespace spirelo {

namespace {

// alsa-lib prints its own complaints (no card, no config) to stderr; we report once ourselves.
void SilentAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

snd_pcm_t* Pcm(void* p) { return static_cast<snd_pcm_t*>(p); }

std::atomic<std::uint64_t> gRecoveries{0};

}  // namespace

std::unique_ptr<AlsaPcm> AlsaPcm::Open(const char* device, std::uint32_t rate, unsigned latencyUs,
                                       std::string* error) {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(SilentAlsaErrors); });
    snd_pcm_t* pcm = nullptr;
    // Non-blocking open: a device held by another program fails at once instead of hanging.
    int r = snd_pcm_open(&pcm, device, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (r < 0) {
        *error = snd_strerror(r);
        return nullptr;
    }
    r = snd_pcm_nonblock(pcm, 0);
    if (r >= 0)
        r = snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 2, rate, 1, latencyUs);
    snd_pcm_uframes_t buffer = 0, period = 0;
    if (r >= 0) r = snd_pcm_get_params(pcm, &buffer, &period);
    if (r < 0) {
        *error = snd_strerror(r);
        snd_pcm_close(pcm);
        return nullptr;
    }
    return std::unique_ptr<AlsaPcm>(new AlsaPcm(pcm, buffer));
}

AlsaPcm::~AlsaPcm() {
    snd_pcm_drop(Pcm(pcm_));
    snd_pcm_close(Pcm(pcm_));
}

bool AlsaPcm::Write(const std::int16_t* frames, std::size_t count, std::string* error) {
    while (count > 0) {
        snd_pcm_sframes_t r = snd_pcm_writei(Pcm(pcm_), frames, count);
        if (r == -EAGAIN) {
            snd_pcm_wait(Pcm(pcm_), 100);
            continue;
        }
        if (r == -EPIPE || r == -ESTRPIPE || r == -EINTR) {
            ++gRecoveries;
            int rr = snd_pcm_recover(Pcm(pcm_), static_cast<int>(r), 1);
            if (rr < 0) {
                *error = snd_strerror(rr);
                return false;
            }
            continue;
        }
        if (r < 0) {
            *error = snd_strerror(static_cast<int>(r));
            return false;
        }
        frames += static_cast<std::size_t>(r) * 2;
        count -= static_cast<std::size_t>(r);
    }
    return true;
}

std::uint64_t AlsaPcm::Recoveries() { return gRecoveries.load(); }

bool AlsaPcm::Queue(long* queued, long* delay) {
    snd_pcm_sframes_t avail = 0, d = 0;
    if (snd_pcm_avail_delay(Pcm(pcm_), &avail, &d) < 0) return false;
    auto buffer = static_cast<snd_pcm_sframes_t>(buffer_);
    *queued = static_cast<long>(std::clamp<snd_pcm_sframes_t>(buffer - avail, 0, buffer));
    *delay = d < 0 ? 0 : static_cast<long>(d);
    return true;
}

}  // namespace spirelo
