// The audio engine behind the BASS_ call shapes.
//
// One mixer produces 10 ms periods of 16-bit stereo for the output (ALSA, null or manual).
// Each playing channel records, per period, which device frames carry which source frames;
// the heard position is the device's heard frame (HeardClock, after every write, interpolated
// on the monotonic clock) mapped back through that record. The decoded source
// frames are kept in a short history, so levels and spectra are taken at the heard position.
//
// Locks, always taken in this order: lifeMutex (start/stop), mixMutex (one mix at a time),
// tableMutex (handles, held briefly), a channel's decodeMutex, its stateMutex, clockMutex.

#include "platform/audio.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

#include <pthread.h>
#include <samplerate.h>
#include <sched.h>

#include "platform/audio_alsa.h"
#include "platform/audio_analysis.h"
#include "platform/audio_decoder.h"
#include "platform/audio_internal.h"
#include "platform/heard_clock.h"

namespace spirelo {

namespace {

thread_local int tLastError = kAudioOk;

template <typename T>
T Fail(int code, T value) {
    tLastError = code;
    return value;
}
template <typename T>
T Ok(T value) {
    tLastError = kAudioOk;
    return value;
}

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void LogLine(const std::string& text) { std::fprintf(stderr, "audio: %s\n", text.c_str()); }

constexpr std::size_t kHistoryFrames = 65536;   // decoded frames kept for levels and spectra
constexpr std::size_t kTimelineSize = 512;       // periods of device-to-source mapping (about 5 s)
constexpr std::size_t kSourceChunk = 1024;       // frames decoded at a time for the resampler
constexpr int kDeviceStartWaitMs = 3000;         // the longest an output start waits for the device

struct Segment {
    std::uint64_t outStart;   // first device frame of the period
    std::uint64_t outFrames;
    double srcStart;          // source frame heard at outStart
    double speed;             // source frames per device frame
};

enum class Owner { Bass, Media };

struct Channel {
    AudioHandle handle = 0;
    bool isModule = false;
    bool decodeOnly = false;
    Owner owner = Owner::Bass;
    std::unique_ptr<AudioDecoder> dec;
    int channels = 2;
    std::uint32_t rate = 44100;
    std::atomic<std::uint64_t> length{0};   // frames; shrinks when a damaged file ends early
    std::uint32_t frameBytes = 4;

    std::atomic<float> volume{1.0f};
    std::atomic<float> freq{0.0f};   // playback rate in Hz
    std::atomic<bool> playing{false};

    // ---- decode side (decodeMutex) ----
    std::mutex decodeMutex;
    bool seekPending = false;
    std::uint64_t seekTarget = 0;
    double srcCursor = 0;            // source frame the next mixed period starts at
    SRC_STATE* src = nullptr;
    double srcRatio = 0;
    std::vector<float> inBuf;        // stereo source frames waiting for the resampler
    std::size_t inPos = 0;
    bool inputEnded = false;
    bool srcEnded = false;
    std::vector<float> fifo;         // stereo output frames from the resampler
    std::size_t fifoPos = 0;
    std::vector<std::int16_t> tmp;
    float appliedVolume = -1.0f;

    // ---- state side (stateMutex) ----
    std::mutex stateMutex;
    bool statePlaying = false;
    std::uint64_t anchor = 0;        // position when stopped, or where playing started
    Segment timeline[kTimelineSize];
    std::size_t tlHead = 0, tlCount = 0;
    bool tlWrapped = false;
    bool draining = false;
    std::uint64_t endOutFrame = 0;
    std::uint64_t lastReported = 0;
    std::vector<std::int16_t> history;
    std::uint64_t histEnd = 0;
    std::size_t histCount = 0;

    ~Channel() {
        if (src) src_delete(src);
    }

    // decodeMutex held, after a read: a file whose data stopped early is as long as what was
    // decoded, so the heard position ends where the sound does.
    void followDecoderLength() {
        if (dec->lengthFrames() < length.load()) length = dec->lengthFrames();
    }

    void resetDecodeSide() {
        if (src) src_reset(src);
        inBuf.clear();
        inPos = 0;
        inputEnded = false;
        srcEnded = false;
        fifo.clear();
        fifoPos = 0;
    }
    // stateMutex held.
    void resetStateSide(std::uint64_t position) {
        anchor = position;
        tlHead = tlCount = 0;
        tlWrapped = false;
        draining = false;
        endOutFrame = 0;
        lastReported = position;
        histCount = 0;
        histEnd = position;
    }
    void appendHistory(std::uint64_t start, const std::int16_t* frames, std::size_t count) {
        if (history.empty()) history.assign(kHistoryFrames * channels, 0);
        if (start != histEnd) {
            histCount = 0;
            histEnd = start;
        }
        for (std::size_t i = 0; i < count; ++i) {
            std::size_t slot = static_cast<std::size_t>((histEnd + i) % kHistoryFrames);
            std::memcpy(&history[slot * channels], frames + i * channels, sizeof(std::int16_t) * channels);
        }
        histEnd += count;
        histCount = std::min(kHistoryFrames, histCount + count);
    }
    // The `count` frames that end at source frame `end`; missing frames are silence.
    void copyHistory(std::uint64_t end, std::size_t count, std::int16_t* out) const {
        std::uint64_t first = histEnd - histCount;
        for (std::size_t i = 0; i < count; ++i) {
            std::int16_t* o = out + i * channels;
            if (end < count - i) {
                std::fill(o, o + channels, std::int16_t{0});
                continue;
            }
            std::uint64_t frame = end - (count - i);
            if (frame < first || frame >= histEnd || history.empty()) {
                std::fill(o, o + channels, std::int16_t{0});
            } else {
                std::size_t slot = static_cast<std::size_t>(frame % kHistoryFrames);
                std::memcpy(o, &history[slot * channels], sizeof(std::int16_t) * channels);
            }
        }
    }
    void pushSegment(const Segment& s) {
        timeline[tlHead] = s;
        tlHead = (tlHead + 1) % kTimelineSize;
        if (tlCount < kTimelineSize) ++tlCount;
        else tlWrapped = true;
    }
    // stateMutex held. Where the device's heard frame H is in this channel's source.
    std::uint64_t heardPosition(std::uint64_t heard) {
        if (!statePlaying) return anchor;
        if (draining && heard >= endOutFrame) {   // the last sample has been heard
            statePlaying = false;
            playing = false;
            anchor = length;
            return anchor;
        }
        double pos = static_cast<double>(anchor);
        bool found = false;
        for (std::size_t i = 0; i < tlCount; ++i) {
            const Segment& s = timeline[(tlHead + kTimelineSize - 1 - i) % kTimelineSize];
            if (s.outStart <= heard) {
                // Past the newest period (a late null output catching up) the same rate goes on;
                // the next period starts exactly there.
                std::uint64_t into = heard - s.outStart;
                if (i > 0 || draining) into = std::min(into, s.outFrames);
                pos = s.srcStart + static_cast<double>(into) * s.speed;
                found = true;
                break;
            }
        }
        if (!found && tlWrapped && tlCount > 0) pos = timeline[tlHead].srcStart;
        std::uint64_t p = pos <= 0 ? 0 : static_cast<std::uint64_t>(pos);
        p = std::min<std::uint64_t>(p, length);
        p = std::max(p, lastReported);
        lastReported = p;
        return p;
    }
};

enum class Mode { None, Alsa, Null, Manual };

// The output thread must keep the device fed whatever else the machine runs: real-time
// priority where the system allows it (an rtprio limit, or root); otherwise it stays as it was.
void RaiseOutputPriority() {
    sched_param param{};
    param.sched_priority = std::min(10, sched_get_priority_max(SCHED_FIFO));
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

class Engine {
public:
    // ---- lifecycle (lifeMutex) ----
    std::mutex lifeMutex;
    bool bassInit = false;
    int mediaChannels = 0;
    AudioOutputKind requested = AudioOutputKind::Default;
    std::atomic<Mode> mode{Mode::None};
    std::thread thread;
    std::mutex waitMutex;
    std::condition_variable waitCv;
    bool stopThread = false;
    std::unique_ptr<AlsaPcm> pcm;
    // Set once the device has played some of what it was given (startMutex).
    std::mutex startMutex;
    std::condition_variable startCv;
    bool deviceRunning = false;
    int openState = 0;   // 0 opening, 1 open, -1 failed with openError
    std::string openError;
    std::atomic<bool> manualFail{false};
    std::atomic<std::uint32_t> rate{0};

    // ---- mixing (mixMutex) ----
    std::mutex mixMutex;
    std::uint64_t mixed = 0;   // frames mixed and handed to the output, ever
    float appliedLeft = -1, appliedRight = -1;
    std::vector<float> acc, chanBuf;
    std::vector<std::shared_ptr<Channel>> active;   // the channels mixed last

    // ---- clock (clockMutex) ----
    std::mutex clockMutex;
    std::uint64_t handed = 0;
    std::uint64_t heardBase = 0;
    std::int64_t baseNs = 0;
    bool interpolate = false;
    bool capAtHanded = true;   // a device cannot have played more than it got; the null output's
                               // clock runs on even when its thread is late, and it catches up
    std::uint64_t lastHeard = 0;

    // ---- handles (tableMutex) ----
    std::mutex tableMutex;
    std::unordered_map<AudioHandle, std::shared_ptr<Channel>> table;
    AudioHandle nextHandle = 0x10000;

    std::atomic<float> master{1.0f};
    std::atomic<std::uint32_t> waveGain{0xFFFFFFFFu};

    std::uint64_t heard() {
        std::lock_guard<std::mutex> lock(clockMutex);
        return heardLocked(NowNs());
    }
    std::uint64_t heardLocked(std::int64_t now) {
        std::uint64_t h = heardBase;
        if (interpolate && now > baseNs) {
            double ahead = static_cast<double>(now - baseNs) * 1e-9 * rate.load();
            h += static_cast<std::uint64_t>(ahead);
        }
        if (capAtHanded) {
            h = std::min(h, handed);
        } else if (h > handed + rate.load() / 4) {
            // The null output stalled for long (a stopped process, a suspended machine): go on
            // from what was mixed, as a device does after an under-run, rather than jumping
            // ahead and decoding the gap in a burst.
            heardBase = h = std::max(handed, lastHeard);
            baseNs = now;
        }
        h = std::max(h, lastHeard);
        lastHeard = h;
        return h;
    }

    std::shared_ptr<Channel> find(AudioHandle h) {
        if (h == 0) return nullptr;
        std::lock_guard<std::mutex> lock(tableMutex);
        auto it = table.find(h);
        return it == table.end() ? nullptr : it->second;
    }
    AudioHandle insert(std::shared_ptr<Channel> c) {
        std::lock_guard<std::mutex> lock(tableMutex);
        do {
            ++nextHandle;
        } while (nextHandle == 0 || table.count(nextHandle));
        c->handle = nextHandle;
        table[nextHandle] = std::move(c);
        return nextHandle;
    }

    // ---- mixing ----

    // Fills `frames` stereo float frames of the channel, resampled as needed; fewer at the end.
    std::size_t fill(Channel& c, float* out, std::size_t frames, double speed, bool direct) {
        auto toStereo = [&c](const std::int16_t* in, std::size_t n, float* o) {
            const float k = 1.0f / 32768.0f;
            for (std::size_t i = 0; i < n; ++i) {
                const std::int16_t* f = in + i * c.channels;
                if (c.channels == 1) {
                    o[2 * i] = o[2 * i + 1] = f[0] * k;
                } else if (c.channels == 2) {
                    o[2 * i] = f[0] * k;
                    o[2 * i + 1] = f[1] * k;
                } else {
                    float l = 0, r = 0;
                    int nl = 0, nr = 0;
                    for (int ch = 0; ch < c.channels; ++ch) {
                        if (ch & 1) r += f[ch], ++nr;
                        else l += f[ch], ++nl;
                    }
                    o[2 * i] = l / nl * k;
                    o[2 * i + 1] = r / nr * k;
                }
            }
        };
        auto decodeChunk = [&c](std::size_t n) -> std::size_t {
            c.tmp.resize(n * c.channels);
            std::uint64_t start = c.dec->position();
            std::size_t got = c.dec->read(c.tmp.data(), n);
            if (got > 0) {
                std::lock_guard<std::mutex> lock(c.stateMutex);
                c.appendHistory(start, c.tmp.data(), got);
            }
            return got;
        };
        if (direct) {
            std::size_t got = decodeChunk(frames);
            toStereo(c.tmp.data(), got, out);
            return got;
        }
        double ratio = 1.0 / speed;
        if (!c.src) {
            int err = 0;
            c.src = src_new(SRC_SINC_FASTEST, 2, &err);
            if (!c.src) return 0;
            c.srcRatio = ratio;
            src_set_ratio(c.src, ratio);
        }
        std::size_t produced = 0;
        while (produced < frames) {
            std::size_t inFifo = c.fifo.size() / 2 - c.fifoPos;
            if (inFifo > 0) {
                std::size_t n = std::min(inFifo, frames - produced);
                std::memcpy(out + 2 * produced, &c.fifo[2 * c.fifoPos], n * 2 * sizeof(float));
                c.fifoPos += n;
                produced += n;
                continue;
            }
            if (c.srcEnded) break;
            c.fifo.clear();
            c.fifoPos = 0;
            if (c.inPos * 2 >= c.inBuf.size() && !c.inputEnded) {
                std::size_t got = decodeChunk(kSourceChunk);
                c.inBuf.resize(got * 2);
                c.inPos = 0;
                toStereo(c.tmp.data(), got, c.inBuf.data());
                if (got == 0) c.inputEnded = true;
            }
            std::size_t inFrames = c.inBuf.size() / 2 - c.inPos;
            std::size_t cap = static_cast<std::size_t>(inFrames * ratio) + 64;
            c.fifo.resize(cap * 2);
            SRC_DATA d{};
            d.data_in = c.inBuf.data() + 2 * c.inPos;
            d.input_frames = static_cast<long>(inFrames);
            d.data_out = c.fifo.data();
            d.output_frames = static_cast<long>(cap);
            d.end_of_input = c.inputEnded ? 1 : 0;
            d.src_ratio = ratio;
            if (src_process(c.src, &d) != 0) {
                c.srcEnded = true;
                c.fifo.clear();
                break;
            }
            c.inPos += static_cast<std::size_t>(d.input_frames_used);
            c.fifo.resize(static_cast<std::size_t>(d.output_frames_gen) * 2);
            if (c.inputEnded && d.output_frames_gen == 0) c.srcEnded = true;
        }
        return produced;
    }

    void render(Channel& c, std::uint64_t startFrame, std::size_t frames, std::uint32_t outRate) {
        std::lock_guard<std::mutex> dlock(c.decodeMutex);
        {
            std::lock_guard<std::mutex> slock(c.stateMutex);
            if (!c.statePlaying || c.draining) return;
        }
        if (c.seekPending) {
            c.seekPending = false;
            if (!c.dec->seek(c.seekTarget)) c.dec->seek(c.length);
        }
        float f = c.freq.load();
        if (!(f > 0)) f = static_cast<float>(c.rate);
        double speed = static_cast<double>(f) / outRate;
        bool direct = (c.rate == outRate && f == static_cast<float>(c.rate));
        if (direct) speed = 1.0;
        if (!direct && c.src && std::abs(c.srcRatio - 1.0 / speed) > 1e-12) c.srcRatio = 1.0 / speed;
        if (direct && (c.fifo.size() / 2 > c.fifoPos || c.inPos * 2 < c.inBuf.size())) {
            // Leaving the resampler: drop what it still holds and go on from the heard cursor.
            c.resetDecodeSide();
            c.dec->seek(std::min<std::uint64_t>(static_cast<std::uint64_t>(c.srcCursor), c.length));
        }
        chanBuf.resize(frames * 2);
        std::size_t produced = fill(c, chanBuf.data(), frames, speed, direct);
        c.followDecoderLength();
        {
            std::lock_guard<std::mutex> slock(c.stateMutex);
            if (produced > 0) c.pushSegment({startFrame, produced, c.srcCursor, speed});
            c.srcCursor = std::min(c.srcCursor + produced * speed, static_cast<double>(c.length));
            if (produced < frames) {
                c.draining = true;
                c.endOutFrame = startFrame + produced;
            }
        }
        float target = c.volume.load();
        float from = c.appliedVolume < 0 ? target : c.appliedVolume;
        c.appliedVolume = target;
        float step = produced ? (target - from) / static_cast<float>(produced) : 0;
        for (std::size_t i = 0; i < produced; ++i) {
            float g = from + step * static_cast<float>(i + 1);
            acc[2 * i] += chanBuf[2 * i] * g;
            acc[2 * i + 1] += chanBuf[2 * i + 1] * g;
        }
    }

    // Mixes the next `frames` frames into out (stereo 16-bit); mixMutex held by the caller.
    void mix(std::int16_t* out, std::size_t frames) {
        std::uint32_t outRate = rate.load();
        acc.assign(frames * 2, 0.0f);
        // The peak scan's idle-priority thread also takes the table lock: rather than wait on
        // it, mix with the previous period's list (a channel started just now joins a period later).
        if (std::unique_lock<std::mutex> lock(tableMutex, std::try_to_lock); lock.owns_lock()) {
            active.clear();
            for (auto& [h, c] : table)
                if (!c->decodeOnly && c->playing.load()) active.push_back(c);
        }
        for (auto& c : active) render(*c, mixed, frames, outRate);
        std::uint32_t wave = waveGain.load();
        float m = std::clamp(master.load(), 0.0f, 1.0f);
        float left = m * static_cast<float>(wave & 0xFFFF) / 65535.0f;
        float right = m * static_cast<float>(wave >> 16) / 65535.0f;
        float fromL = appliedLeft < 0 ? left : appliedLeft, fromR = appliedRight < 0 ? right : appliedRight;
        appliedLeft = left;
        appliedRight = right;
        for (std::size_t i = 0; i < frames; ++i) {
            float t = static_cast<float>(i + 1) / static_cast<float>(frames);
            float gl = fromL + (left - fromL) * t, gr = fromR + (right - fromR) * t;
            float l = acc[2 * i] * gl * 32768.0f, r = acc[2 * i + 1] * gr * 32768.0f;   // unity is bit-exact
            out[2 * i] = static_cast<std::int16_t>(std::lrint(std::clamp(l, -32768.0f, 32767.0f)));
            out[2 * i + 1] = static_cast<std::int16_t>(std::lrint(std::clamp(r, -32768.0f, 32767.0f)));
        }
        mixed += frames;
    }

    std::size_t periodFrames() const { return std::max<std::uint32_t>(1, rate.load() / 100); }

    // ---- outputs ----

    void startNullClock() {
        std::lock_guard<std::mutex> lock(clockMutex);
        std::int64_t now = NowNs();
        heardBase = heardLocked(now);
        baseNs = now;
        interpolate = true;
        capAtHanded = false;
    }

    bool waitUntil(std::int64_t deadlineNs) {
        std::unique_lock<std::mutex> lock(waitMutex);
        auto deadline = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(deadlineNs));
        waitCv.wait_until(lock, deadline, [this] { return stopThread; });
        return !stopThread;
    }
    bool stopping() {
        std::lock_guard<std::mutex> lock(waitMutex);
        return stopThread;
    }

    void nullLoop() {
        const std::size_t n = periodFrames();
        std::vector<std::int16_t> buf(n * 2);
        while (!stopping()) {
            std::uint64_t h, queued;
            {
                std::lock_guard<std::mutex> lock(clockMutex);
                h = heardLocked(NowNs());
                queued = handed > h ? handed - h : 0;
            }
            if (queued < n) {
                std::lock_guard<std::mutex> m(mixMutex);
                mix(buf.data(), n);
                std::lock_guard<std::mutex> lock(clockMutex);
                handed = mixed;
                continue;
            }
            // Sleep until less than one period is left queued.
            std::int64_t deadline;
            {
                std::lock_guard<std::mutex> lock(clockMutex);
                std::uint64_t target = handed - n + 1;
                double seconds = static_cast<double>(target - std::min(target, heardBase)) / rate.load();
                deadline = baseNs + static_cast<std::int64_t>(seconds * 1e9);
            }
            if (!waitUntil(deadline)) break;
        }
    }

    // The ALSA output's thread: opens the device itself, so that the threads a sound server's
    // plugin starts inherit its priority, and reports to startOutput.
    void alsaThread() {
        RaiseOutputPriority();
        std::string error;
        std::unique_ptr<AlsaPcm> opened = AlsaPcm::Open("default", rate, 50000, &error);
        if (opened) {
            pcm = std::move(opened);
            std::lock_guard<std::mutex> lock(clockMutex);
            heardBase = handed;
            baseNs = NowNs();
            interpolate = false;
            capAtHanded = true;
            mode = Mode::Alsa;
        }
        {
            std::lock_guard<std::mutex> lock(startMutex);
            openState = pcm ? 1 : -1;
            openError = error;
        }
        startCv.notify_all();
        if (pcm) alsaLoop();
    }

    void alsaLoop() {
        const std::size_t n = periodFrames();
        std::vector<std::int16_t> buf(n * 2);
        // Once more than the buffer holds has been taken, the device has played the rest.
        const std::uint64_t runningAfter = mixed + pcm->BufferFrames() + 2 * n;
        HeardClock clock(rate.load());
        while (!stopping()) {
            {
                std::lock_guard<std::mutex> m(mixMutex);
                mix(buf.data(), n);
            }
            std::string error;
            const std::uint64_t recoveries = AlsaPcm::Recoveries();
            bool written = pcm->Write(buf.data(), n, &error);
            if (AlsaPcm::Recoveries() != recoveries) clock.Restart();   // the stream started over
            if (!written) {
                LogLine("sound device lost (" + error + "); going on on the null output");
                pcm.reset();
                {
                    std::lock_guard<std::mutex> lock(clockMutex);
                    handed = mixed;
                }
                mode = Mode::Null;
                startNullClock();
                signalRunning();
                nullLoop();
                return;
            }
            long queued = 0, delay = 0;
            bool known = pcm->Queue(&queued, &delay);
            {
                std::lock_guard<std::mutex> lock(clockMutex);
                std::int64_t now = NowNs();
                handed = mixed;
                if (known) {
                    heardBase = clock.Reading(now, handed, queued, delay);
                    baseNs = now;
                    interpolate = true;
                }
            }
            if (mixed >= runningAfter) signalRunning();
        }
        signalRunning();
    }

    void signalRunning() {
        {
            std::lock_guard<std::mutex> lock(startMutex);
            if (deviceRunning) return;
            deviceRunning = true;
        }
        startCv.notify_all();
    }

    // lifeMutex held.
    void startOutput(std::uint32_t wantedRate) {
        if (mode != Mode::None) return;
        AudioOutputKind kind = requested;
        const char* env = std::getenv("SPIRELO_AUDIO");
        bool forcedNull = kind == AudioOutputKind::Default && env && std::strcmp(env, "null") == 0;
        if (forcedNull) kind = AudioOutputKind::Null;
        rate = wantedRate ? wantedRate : 44100;
        appliedLeft = appliedRight = -1;
        {
            std::lock_guard<std::mutex> lock(waitMutex);
            stopThread = false;
        }
        if (kind == AudioOutputKind::Manual) {
            std::lock_guard<std::mutex> lock(clockMutex);
            heardBase = handed;
            interpolate = false;
            capAtHanded = true;
            mode = Mode::Manual;
            return;
        }
        if (kind == AudioOutputKind::Default) {
            {
                std::lock_guard<std::mutex> lock(startMutex);
                openState = 0;
                deviceRunning = false;
            }
            thread = std::thread([this] { alsaThread(); });
            std::unique_lock<std::mutex> lock(startMutex);
            startCv.wait(lock, [this] { return openState != 0; });
            if (openState > 0) {
                // A sound server may leave a new stream unplayed for a while (an idle sink
                // wakes on its own schedule, up to seconds later). Waiting here for the device
                // to play keeps that time out of the first play, which then starts at once.
                startCv.wait_for(lock, std::chrono::milliseconds(kDeviceStartWaitMs), [this] { return deviceRunning; });
                return;
            }
            std::string error = openError;
            lock.unlock();
            thread.join();
            LogLine("no usable sound device (ALSA \"default\": " + error + "); playing on the null output");
        } else {
            LogLine(forcedNull ? "SPIRELO_AUDIO=null: playing on the null output" : "playing on the null output");
        }
        mode = Mode::Null;
        startNullClock();
        thread = std::thread([this] { nullLoop(); });
    }

    // lifeMutex held.
    void stopOutput() {
        {
            std::lock_guard<std::mutex> lock(waitMutex);
            stopThread = true;
        }
        waitCv.notify_all();
        if (thread.joinable()) thread.join();
        pcm.reset();
        mode = Mode::None;
        manualFail = false;
        std::lock_guard<std::mutex> mixLock(mixMutex);
        active.clear();
        std::lock_guard<std::mutex> lock(clockMutex);
        std::uint64_t h = heardLocked(NowNs());
        handed = std::max(handed, mixed);
        heardBase = std::max(h, handed);   // nothing queued survives a stop
        handed = heardBase;
        mixed = std::max(mixed, handed);
        lastHeard = heardBase;
        interpolate = false;
        capAtHanded = true;
    }

    void switchManualToNull() {
        std::lock_guard<std::mutex> life(lifeMutex);
        if (mode != Mode::Manual) return;
        LogLine("sound device lost; going on on the null output");
        {
            std::lock_guard<std::mutex> lock(waitMutex);
            stopThread = false;
        }
        mode = Mode::Null;
        startNullClock();
        thread = std::thread([this] { nullLoop(); });
    }

    // ---- opening ----

    AudioHandle open(const char* file, bool module, bool decode, std::uint32_t moduleRate, Owner owner, int* error) {
        if (!file) {
            *error = kAudioErrorParameter;
            return 0;
        }
        std::unique_ptr<AudioDecoder> dec = module ? OpenModuleDecoder(file, moduleRate, error)
                                                   : OpenStreamDecoder(file, error);
        if (!dec) return 0;
        auto c = std::make_shared<Channel>();
        c->isModule = module;
        c->decodeOnly = decode;
        c->owner = owner;
        c->channels = dec->channels();
        c->rate = dec->rate();
        c->length = dec->lengthFrames();
        c->frameBytes = 2u * static_cast<std::uint32_t>(c->channels);
        c->freq = static_cast<float>(c->rate);
        c->dec = std::move(dec);
        *error = kAudioOk;
        return insert(std::move(c));
    }

    void freeChannel(AudioHandle h) {
        std::shared_ptr<Channel> c;
        {
            std::lock_guard<std::mutex> lock(tableMutex);
            auto it = table.find(h);
            if (it == table.end()) return;
            c = it->second;
            table.erase(it);
        }
        c->playing = false;
        std::lock_guard<std::mutex> slock(c->stateMutex);
        c->statePlaying = false;
    }
};

Engine* gEngine = nullptr;

void StopOutputAtExit() {
    std::lock_guard<std::mutex> life(gEngine->lifeMutex);
    if (gEngine->mode != Mode::None) gEngine->stopOutput();
}

Engine& E() {
    // Never destroyed: the output is stopped at exit, the rest is left to the system.
    static Engine* engine = [] {
        gEngine = new Engine;
        std::atexit(StopOutputAtExit);
        return gEngine;
    }();
    return *engine;
}

}  // namespace

// ---- The call shapes ----

std::uint32_t BASS_GetVersion() { return Ok(0x02040001u); }

bool BASS_Init(int device, std::uint32_t freq, std::uint32_t /*flags*/, void* /*window*/, const void* /*classId*/) {
    Engine& e = E();
    std::lock_guard<std::mutex> life(e.lifeMutex);
    if (e.bassInit) return Fail(kAudioErrorAlready, false);
    if (device != -1 && device != 0 && device != 1) return Fail(kAudioErrorDevice, false);
    if (e.mode == Mode::None) {
        AudioOutputKind saved = e.requested;
        if (device == 0 && e.requested == AudioOutputKind::Default) e.requested = AudioOutputKind::Null;
        e.startOutput(freq);
        e.requested = saved;
    }
    e.bassInit = true;
    return Ok(true);
}

bool BASS_Free() {
    Engine& e = E();
    std::lock_guard<std::mutex> life(e.lifeMutex);
    if (!e.bassInit) return Fail(kAudioErrorNotInitialised, false);
    std::vector<AudioHandle> mine;
    {
        std::lock_guard<std::mutex> lock(e.tableMutex);
        for (auto& [h, c] : e.table)
            if (c->owner == Owner::Bass) mine.push_back(h);
    }
    for (AudioHandle h : mine) e.freeChannel(h);
    e.bassInit = false;
    if (e.mediaChannels == 0 && e.mode != Mode::None) e.stopOutput();
    return Ok(true);
}

int BASS_ErrorGetCode() { return tLastError; }

bool BASS_SetVolume(float volume) {
    if (!(volume >= 0.0f && volume <= 1.0f)) return Fail(kAudioErrorParameter, false);
    E().master = volume;
    return Ok(true);
}

float BASS_GetVolume() { return Ok(E().master.load()); }

namespace {

AudioHandle CreateBass(bool mem, const char* file, std::uint64_t offset, std::uint64_t length, std::uint32_t flags,
                       bool module, std::uint32_t freq) {
    Engine& e = E();
    {
        std::lock_guard<std::mutex> life(e.lifeMutex);
        if (!e.bassInit) return Fail(kAudioErrorNotInitialised, AudioHandle{0});
        if (!freq) freq = e.rate.load();
    }
    if (mem || offset != 0 || length != 0 || !file) return Fail(kAudioErrorParameter, AudioHandle{0});
    int error = kAudioOk;
    bool decode = (flags & BASS_STREAM_DECODE) != 0;
    AudioHandle h = e.open(file, module, decode, freq, Owner::Bass, &error);
    if (!h) return Fail(error, AudioHandle{0});
    return Ok(h);
}

std::shared_ptr<Channel> Lookup(AudioHandle h) {
    std::shared_ptr<Channel> c = E().find(h);
    if (!c) tLastError = kAudioErrorHandle;
    return c;
}

}  // namespace

AudioHandle BASS_StreamCreateFile(bool mem, const char* file, std::uint64_t offset, std::uint64_t length,
                                  std::uint32_t flags) {
    return CreateBass(mem, file, offset, length, flags, false, 0);
}

AudioHandle BASS_MusicLoad(bool mem, const char* file, std::uint64_t offset, std::uint32_t length,
                           std::uint32_t flags, std::uint32_t freq) {
    return CreateBass(mem, file, offset, length, flags, true, freq);
}

bool BASS_StreamFree(AudioHandle handle) {
    auto c = Lookup(handle);
    if (!c || c->owner != Owner::Bass) return Fail(kAudioErrorHandle, false);
    E().freeChannel(handle);
    return Ok(true);
}

bool BASS_MusicFree(AudioHandle handle) {
    auto c = Lookup(handle);
    if (!c || c->owner != Owner::Bass || !c->isModule) return Fail(kAudioErrorHandle, false);
    E().freeChannel(handle);
    return Ok(true);
}

namespace {

// decodeMutex and stateMutex held: the channel continues from `position` on its next period.
void Reposition(Channel& c, std::uint64_t position) {
    c.seekPending = true;
    c.seekTarget = position;
    c.srcCursor = static_cast<double>(position);
    c.resetDecodeSide();
    c.resetStateSide(position);
}

}  // namespace

bool BASS_ChannelPlay(AudioHandle handle, bool restart) {
    auto c = Lookup(handle);
    if (!c) return false;
    if (c->decodeOnly) return Fail(kAudioErrorDecodeChannel, false);
    std::lock_guard<std::mutex> dlock(c->decodeMutex);
    std::lock_guard<std::mutex> slock(c->stateMutex);
    std::uint64_t now = c->heardPosition(E().heard());   // also notices a finished channel
    if (c->statePlaying && !restart) return Ok(true);
    Reposition(*c, restart ? 0 : now);
    c->statePlaying = true;
    c->playing = true;
    return Ok(true);
}

bool BASS_ChannelStop(AudioHandle handle) {
    auto c = Lookup(handle);
    if (!c) return false;
    if (c->decodeOnly) return Fail(kAudioErrorDecodeChannel, false);
    std::lock_guard<std::mutex> dlock(c->decodeMutex);
    std::lock_guard<std::mutex> slock(c->stateMutex);
    std::uint64_t now = c->heardPosition(E().heard());
    if (c->statePlaying) {
        Reposition(*c, now);
        c->statePlaying = false;
        c->playing = false;
    }
    return Ok(true);
}

std::uint32_t BASS_ChannelIsActive(AudioHandle handle) {
    auto c = Lookup(handle);
    if (!c) return BASS_ACTIVE_STOPPED;
    if (c->decodeOnly) {
        std::lock_guard<std::mutex> dlock(c->decodeMutex);
        return Ok(c->dec->position() < c->dec->lengthFrames() ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED);
    }
    std::lock_guard<std::mutex> slock(c->stateMutex);
    c->heardPosition(E().heard());
    return Ok(c->statePlaying ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED);
}

std::uint64_t BASS_ChannelGetLength(AudioHandle handle, std::uint32_t mode) {
    auto c = Lookup(handle);
    if (!c) return kAudioBadPosition;
    if (mode != BASS_POS_BYTE) return Fail(kAudioErrorParameter, kAudioBadPosition);
    return Ok(c->length * c->frameBytes);
}

std::uint64_t BASS_ChannelGetPosition(AudioHandle handle, std::uint32_t mode) {
    auto c = Lookup(handle);
    if (!c) return kAudioBadPosition;
    if (mode != BASS_POS_BYTE) return Fail(kAudioErrorParameter, kAudioBadPosition);
    if (c->decodeOnly) {
        std::lock_guard<std::mutex> dlock(c->decodeMutex);
        return Ok(c->dec->position() * c->frameBytes);
    }
    std::lock_guard<std::mutex> slock(c->stateMutex);
    return Ok(c->heardPosition(E().heard()) * c->frameBytes);
}

bool BASS_ChannelSetPosition(AudioHandle handle, std::uint64_t position, std::uint32_t mode) {
    auto c = Lookup(handle);
    if (!c) return false;
    if (mode != BASS_POS_BYTE) return Fail(kAudioErrorParameter, false);
    std::uint64_t frame = position / c->frameBytes;
    if (frame > c->length) return Fail(kAudioErrorPosition, false);
    std::lock_guard<std::mutex> dlock(c->decodeMutex);
    if (c->decodeOnly) {
        if (!c->dec->seek(frame)) return Fail(kAudioErrorPosition, false);
        return Ok(true);
    }
    std::lock_guard<std::mutex> slock(c->stateMutex);
    c->heardPosition(E().heard());
    Reposition(*c, frame);
    return Ok(true);
}

double BASS_ChannelBytes2Seconds(AudioHandle handle, std::uint64_t bytes) {
    auto c = Lookup(handle);
    if (!c) return -1.0;
    return Ok(static_cast<double>(bytes) / (static_cast<double>(c->frameBytes) * c->rate));
}

std::uint64_t BASS_ChannelSeconds2Bytes(AudioHandle handle, double seconds) {
    auto c = Lookup(handle);
    if (!c) return kAudioBadPosition;
    if (!(seconds >= 0.0) || !std::isfinite(seconds)) return Fail(kAudioErrorParameter, kAudioBadPosition);
    // A hair of tolerance so 0.02 s at 44.1 kHz is 882 frames, not 881.
    auto frames = static_cast<std::uint64_t>(seconds * c->rate + 1e-6);
    return Ok(frames * c->frameBytes);
}

bool BASS_ChannelSetAttribute(AudioHandle handle, std::uint32_t attribute, float value) {
    auto c = Lookup(handle);
    if (!c) return false;
    if (!std::isfinite(value)) return Fail(kAudioErrorParameter, false);
    if (attribute == BASS_ATTRIB_VOL) {
        c->volume = std::clamp(value, 0.0f, 1.0f);
        return Ok(true);
    }
    if (attribute == BASS_ATTRIB_FREQ) {
        if (value == 0.0f) value = static_cast<float>(c->rate);   // back to the file's own rate
        if (value < 100.0f || value > 384000.0f) return Fail(kAudioErrorParameter, false);
        c->freq = value;
        return Ok(true);
    }
    return Fail(kAudioErrorParameter, false);
}

bool BASS_ChannelGetAttribute(AudioHandle handle, std::uint32_t attribute, float* value) {
    auto c = Lookup(handle);
    if (!c) return false;
    if (!value) return Fail(kAudioErrorParameter, false);
    if (attribute == BASS_ATTRIB_VOL) *value = c->volume.load();
    else if (attribute == BASS_ATTRIB_FREQ) *value = c->freq.load();
    else return Fail(kAudioErrorParameter, false);
    return Ok(true);
}

namespace {

// The frames heard last (playing channel) or the next frames (decode channel, fewer at its
// end), in out, padded with silence. 0 with the error code set when there are none.
std::size_t TakeFrames(Channel& c, std::size_t frames, std::vector<std::int16_t>& out) {
    out.assign(frames * c.channels, 0);
    if (c.decodeOnly) {
        std::lock_guard<std::mutex> dlock(c.decodeMutex);
        std::size_t got = c.dec->read(out.data(), frames);
        c.followDecoderLength();
        if (got == 0) return Fail(kAudioErrorEnded, std::size_t{0});
        return got;
    }
    std::lock_guard<std::mutex> slock(c.stateMutex);
    std::uint64_t p = c.heardPosition(E().heard());
    if (!c.statePlaying) return Fail(kAudioErrorNotPlaying, std::size_t{0});
    c.copyHistory(p, frames, out.data());
    return frames;
}

}  // namespace

std::uint32_t BASS_ChannelGetLevel(AudioHandle handle) {
    auto c = Lookup(handle);
    if (!c) return 0;
    std::size_t frames = std::max<std::size_t>(1, static_cast<std::size_t>(c->rate * 0.02 + 1e-6));
    thread_local std::vector<std::int16_t> buf;
    if (!TakeFrames(*c, frames, buf)) return 0;
    return Ok(PeakLevel(buf.data(), c->channels, frames));
}

std::uint32_t BASS_ChannelGetData(AudioHandle handle, void* buffer, std::uint32_t length) {
    if (!buffer) return Fail(kAudioErrorParameter, kAudioBadData);
    bool fft = length == BASS_DATA_FFT256;
    if (fft) std::memset(buffer, 0, kFftBins * sizeof(float));
    else if (length & 0x80000000u) return Fail(kAudioErrorParameter, kAudioBadData);
    else std::memset(buffer, 0, length);
    auto c = Lookup(handle);
    if (!c) return kAudioBadData;
    thread_local std::vector<std::int16_t> buf;
    if (fft) {
        if (!TakeFrames(*c, kFftFrames, buf)) return kAudioBadData;
        Fft256Magnitudes(buf.data(), c->channels, static_cast<float*>(buffer));
        return Ok(static_cast<std::uint32_t>(kFftBins * sizeof(float)));
    }
    if (length == 0) return Ok(0u);
    std::size_t frames = (length + c->frameBytes - 1) / c->frameBytes;
    if (!c->decodeOnly) frames = std::min(frames, kHistoryFrames);
    std::size_t got = TakeFrames(*c, frames, buf);
    if (!got) return kAudioBadData;
    std::size_t bytes = std::min<std::size_t>(length, got * c->frameBytes);
    std::memcpy(buffer, buf.data(), bytes);
    return Ok(static_cast<std::uint32_t>(bytes));
}

void SetWaveOutGain(std::uint16_t left, std::uint16_t right) {
    E().waveGain = static_cast<std::uint32_t>(left) | (static_cast<std::uint32_t>(right) << 16);
}

std::uint32_t WaveOutGain() { return E().waveGain.load(); }

void AudioSetOutputKind(AudioOutputKind kind) {
    Engine& e = E();
    std::lock_guard<std::mutex> life(e.lifeMutex);
    e.requested = kind;
}

std::string AudioOutputName() {
    switch (E().mode.load()) {
        case Mode::Alsa: return "alsa:default";
        case Mode::Null: return "null";
        case Mode::Manual: return "manual";
        case Mode::None: break;
    }
    return "";
}

std::uint32_t AudioOutputRate() { return E().mode.load() == Mode::None ? 0 : E().rate.load(); }

std::uint64_t AudioOutputRecoveries() { return AlsaPcm::Recoveries(); }

std::size_t AudioManualAdvance(std::size_t frames, std::vector<std::int16_t>* mixedOut) {
    Engine& e = E();
    if (e.mode.load() != Mode::Manual) return 0;
    if (e.manualFail.exchange(false)) {
        e.switchManualToNull();
        return 0;
    }
    std::lock_guard<std::mutex> m(e.mixMutex);
    if (e.mode.load() != Mode::Manual) return 0;
    const std::size_t n = e.periodFrames();
    std::vector<std::int16_t> buf(n * 2);
    std::size_t done = 0;
    while (done < frames) {
        std::size_t k = std::min(n, frames - done);
        e.mix(buf.data(), k);
        {
            std::lock_guard<std::mutex> lock(e.clockMutex);
            e.handed = e.mixed;
            e.heardBase = e.mixed;
        }
        if (mixedOut) mixedOut->insert(mixedOut->end(), buf.begin(), buf.begin() + 2 * k);
        done += k;
    }
    return done;
}

void AudioManualFailDevice() { E().manualFail = true; }

AudioHandle AudioOpenMediaChannel(const std::string& path) {
    Engine& e = E();
    std::uint32_t rate;
    {
        std::lock_guard<std::mutex> life(e.lifeMutex);
        if (e.mode == Mode::None) e.startOutput(44100);
        ++e.mediaChannels;
        rate = e.rate.load();
    }
    int error = kAudioOk;
    AudioHandle h = e.open(path.c_str(), false, false, rate, Owner::Media, &error);
    if (!h && error != kAudioErrorFileOpen) h = e.open(path.c_str(), true, false, rate, Owner::Media, &error);
    if (!h) {
        std::lock_guard<std::mutex> life(e.lifeMutex);
        if (--e.mediaChannels == 0 && !e.bassInit && e.mode != Mode::None) e.stopOutput();
        return Fail(error, AudioHandle{0});
    }
    return Ok(h);
}

void AudioFreeMediaChannel(AudioHandle handle) {
    Engine& e = E();
    auto c = e.find(handle);
    if (!c || c->owner != Owner::Media) return;
    e.freeChannel(handle);
    std::lock_guard<std::mutex> life(e.lifeMutex);
    if (--e.mediaChannels == 0 && !e.bassInit && e.mode != Mode::None) e.stopOutput();
}

}  // namespace spirelo
