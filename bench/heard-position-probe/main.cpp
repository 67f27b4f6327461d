// One run of bench/heard-position: plays a file of short clicks through the audio engine on
// ALSA's "default" while recording the sound server's monitor of the sink, and prints how long
// after BASS_ChannelPlay the first click reached the sink and, for every click, how far the
// engine's reported position was from the click's place in the file when the sink played it.
//
//   heard-position-probe MONITOR_SOURCE [SECONDS] [RECORD_FRAGMENT_MS]
//
// The monitor is read through libpulse (PulseAudio, or PipeWire's PulseAudio server): its
// timing (the source's latency, negative when the sink renders ahead) places every recorded
// frame on the monotonic clock the engine's positions are read on. The recording starts with
// the engine, so both meet the sink as idle as a quiet desktop leaves it.
//
// Output, one line per run:
//   init_ms=I start_ms=S clicks=N zero_spread_ms=Z pace_ms=P err_ms=E1,E2,... arrival_err_ms=A1,A2,...
//   recoveries=R
// I: BASS_Init's time; Z: the spread (10th to 90th percentile) of the server's own placing of
// the recording over the run; P: how far the sink strayed from its steady pace (see below).

#include <pipewire/pipewire.h>
#include <pulse/pulseaudio.h>
#include <sndfile.h>
#include <spa/param/audio/format-utils.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include "platform/audio.h"

using namespace spirelo;

namespace {

constexpr unsigned kRate = 44100;
constexpr double kClickEvery = 0.25;   // seconds; the first click is the file's first sample
constexpr int kClickFrames = 44;       // 1 ms

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool WriteClicks(const std::string& path, double seconds) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return false;
    auto frames = static_cast<std::size_t>(seconds * kRate);
    auto every = static_cast<std::size_t>(kClickEvery * kRate);
    std::vector<short> data(frames * 2, 0);
    for (std::size_t at = 0; at + kClickFrames < frames; at += every)
        for (int i = 0; i < kClickFrames; ++i) data[2 * (at + i)] = data[2 * (at + i) + 1] = (i & 4) ? 24000 : -24000;
    sf_writef_short(f, data.data(), static_cast<sf_count_t>(frames));
    sf_close(f);
    return true;
}

// The monitor's left channel, and per read the monotonic time of its frame 0.
struct Recorder {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    std::vector<short> frames;
    struct Zero {
        double at;     // when the estimate was made
        double zero;   // time of frame 0
        double arrival;   // when the newest frame read arrived, less its place in the recording
    };
    std::vector<Zero> zeros;
    unsigned rate = kRate;   // the recording's: the server's own, so it resamples nothing

    static void ContextState(pa_context* c, void* self) {
        auto* r = static_cast<Recorder*>(self);
        pa_context_state_t s = pa_context_get_state(c);
        if (s == PA_CONTEXT_READY || s == PA_CONTEXT_FAILED || s == PA_CONTEXT_TERMINATED)
            pa_threaded_mainloop_signal(r->loop, 0);
    }
    static void StreamState(pa_stream* s, void* self) {
        auto* r = static_cast<Recorder*>(self);
        pa_stream_state_t st = pa_stream_get_state(s);
        if (st == PA_STREAM_READY || st == PA_STREAM_FAILED || st == PA_STREAM_TERMINATED)
            pa_threaded_mainloop_signal(r->loop, 0);
    }
    static void Read(pa_stream* s, size_t, void* self) {
        auto* r = static_cast<Recorder*>(self);
        const void* data = nullptr;
        size_t bytes = 0;
        while (pa_stream_readable_size(s) > 0 && pa_stream_peek(s, &data, &bytes) == 0 && bytes > 0) {
            std::size_t n = bytes / 4;
            if (data) {
                const short* p = static_cast<const short*>(data);
                for (std::size_t i = 0; i < n; ++i) r->frames.push_back(p[2 * i]);
            } else {
                r->frames.insert(r->frames.end(), n, 0);   // a hole
            }
            pa_stream_drop(s);
        }
        double t = Now();
        pa_usec_t latency = 0;
        int negative = 0;
        if (pa_stream_get_latency(s, &latency, &negative) == 0) {
            double l = static_cast<double>(latency) * 1e-6 * (negative ? -1 : 1);
            // The newest frame read was captured `l` ago.
            double place = static_cast<double>(r->frames.size()) / r->rate;
            r->zeros.push_back({t, t - l - place, t - place});
        }
    }

    bool start(const char* source, unsigned fragmentMs) {
        loop = pa_threaded_mainloop_new();
        context = pa_context_new(pa_threaded_mainloop_get_api(loop), "heard-position-probe");
        pa_context_set_state_callback(context, ContextState, this);
        pa_threaded_mainloop_lock(loop);
        pa_threaded_mainloop_start(loop);
        bool ok = pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
        while (ok) {
            pa_context_state_t s = pa_context_get_state(context);
            if (s == PA_CONTEXT_READY) break;
            if (s == PA_CONTEXT_FAILED || s == PA_CONTEXT_TERMINATED) ok = false;
            else pa_threaded_mainloop_wait(loop);
        }
        if (ok) {
            pa_operation* op = pa_context_get_server_info(
                context,
                [](pa_context*, const pa_server_info* info, void* self) {
                    auto* r = static_cast<Recorder*>(self);
                    if (info && info->sample_spec.rate > 0) r->rate = info->sample_spec.rate;
                    pa_threaded_mainloop_signal(r->loop, 0);
                },
                this);
            while (op && pa_operation_get_state(op) == PA_OPERATION_RUNNING) pa_threaded_mainloop_wait(loop);
            if (op) pa_operation_unref(op);
            pa_sample_spec format{PA_SAMPLE_S16LE, rate, 2};
            stream = pa_stream_new(context, "monitor", &format, nullptr);
            pa_stream_set_state_callback(stream, StreamState, this);
            pa_stream_set_read_callback(stream, Read, this);
            pa_buffer_attr attr{};
            attr.maxlength = static_cast<uint32_t>(-1);
            attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(fragmentMs * 1000ull, &format));
            auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
                                                        PA_STREAM_ADJUST_LATENCY);
            ok = pa_stream_connect_record(stream, source, &attr, flags) >= 0;
            while (ok) {
                pa_stream_state_t s = pa_stream_get_state(stream);
                if (s == PA_STREAM_READY) break;
                if (s == PA_STREAM_FAILED || s == PA_STREAM_TERMINATED) ok = false;
                else pa_threaded_mainloop_wait(loop);
            }
        }
        pa_threaded_mainloop_unlock(loop);
        if (!ok) std::fprintf(stderr, "heard-position-probe: cannot record %s: %s\n", source,
                              pa_strerror(pa_context_errno(context)));
        return ok;
    }
    // Frames and estimates so far, taken under the loop's lock.
    void snapshot(std::vector<short>* f, std::vector<Zero>* z) {
        pa_threaded_mainloop_lock(loop);
        *f = frames;
        *z = zeros;
        pa_threaded_mainloop_unlock(loop);
    }
    ~Recorder() {
        if (!loop) return;
        pa_threaded_mainloop_lock(loop);
        if (stream) {
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
        }
        pa_context_disconnect(context);
        pa_context_unref(context);
        pa_threaded_mainloop_unlock(loop);
        pa_threaded_mainloop_stop(loop);
        pa_threaded_mainloop_free(loop);
    }
};

// With HEARD_GRAPH=1 on PipeWire: the sink's monitor read natively as well, each buffer placed
// by the graph's own clock (pw_stream_get_time: the cycle's start on the monotonic clock), so
// a frame counts as played from the start of the cycle that brings it to the sink.
struct GraphRecorder {
    pw_thread_loop* loop = nullptr;
    pw_stream* stream = nullptr;
    struct Buffer {
        double now;            // the cycle's start
        std::size_t before;    // frames recorded before this buffer
    };
    std::vector<Buffer> buffers;
    std::vector<short> frames;   // left channel, 48 kHz
    pw_stream_events events{};

    static void Process(void* self) {
        auto* g = static_cast<GraphRecorder*>(self);
        pw_buffer* b = pw_stream_dequeue_buffer(g->stream);
        if (!b) return;
        pw_time t{};
        pw_stream_get_time_n(g->stream, &t, sizeof t);
        const spa_data& d = b->buffer->datas[0];
        std::size_t n = d.chunk->size / 4;
        const short* p = d.data ? static_cast<const short*>(SPA_PTROFF(d.data, d.chunk->offset, void)) : nullptr;
        g->buffers.push_back({static_cast<double>(t.now) * 1e-9, g->frames.size()});
        for (std::size_t i = 0; i < n; ++i) g->frames.push_back(p ? p[2 * i] : 0);
        pw_stream_queue_buffer(g->stream, b);
    }
    bool start(const char* sink) {
        pw_init(nullptr, nullptr);
        buffers.reserve(200000);
        frames.reserve(48000 * 60);
        loop = pw_thread_loop_new("graph-monitor", nullptr);
        events.version = PW_VERSION_STREAM_EVENTS;
        events.process = Process;
        // A latency above the engine's, so this recording does not change the graph's cycle.
        pw_properties* props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture",
                                                 PW_KEY_STREAM_CAPTURE_SINK, "true", "target.object", sink,
                                                 PW_KEY_NODE_LATENCY, "4096/48000", nullptr);
        pw_thread_loop_lock(loop);
        stream = pw_stream_new_simple(pw_thread_loop_get_loop(loop), "graph-monitor", props, &events, this);
        std::uint8_t pod[1024];
        spa_pod_builder builder = SPA_POD_BUILDER_INIT(pod, sizeof(pod));
        spa_audio_info_raw info{};
        info.format = SPA_AUDIO_FORMAT_S16;
        info.channels = 2;
        info.rate = 48000;
        const spa_pod* params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
        int r = stream ? pw_stream_connect(stream, PW_DIRECTION_INPUT, PW_ID_ANY,
                                           static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT |
                                                                        PW_STREAM_FLAG_MAP_BUFFERS |
                                                                        PW_STREAM_FLAG_RT_PROCESS),
                                           params, 1)
                       : -1;
        pw_thread_loop_unlock(loop);
        if (r < 0) return false;
        return pw_thread_loop_start(loop) == 0;
    }
    void stop() {
        if (!loop) return;
        pw_thread_loop_lock(loop);
        if (stream) pw_stream_destroy(stream);
        stream = nullptr;
        pw_thread_loop_unlock(loop);
        pw_thread_loop_stop(loop);
        pw_thread_loop_destroy(loop);
        loop = nullptr;
    }
    ~GraphRecorder() { stop(); }
    // When the sink started to play frame `i` of this recording.
    double timeOf(std::size_t i) const {
        auto it = std::upper_bound(buffers.begin(), buffers.end(), i,
                                   [](std::size_t f, const Buffer& b) { return f < b.before; });
        if (it == buffers.begin()) return -1;
        --it;
        return it->now + static_cast<double>(i - it->before) / 48000.0;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s MONITOR_SOURCE [SECONDS] [RECORD_FRAGMENT_MS]\n", argv[0]);
        return 2;
    }
    double seconds = argc > 2 ? std::atof(argv[2]) : 3.0;
    unsigned fragmentMs = argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 10;
    char dir[] = "/tmp/heard-position-XXXXXX";
    if (!mkdtemp(dir)) return 1;
    std::string file = std::string(dir) + "/clicks.wav";
    bool written = WriteClicks(file, seconds);
    if (!written) return 1;

    // The recording's thread, started from here, and the position readings keep their timing
    // under load too where the system allows real-time priority, as the engine's output does.
    sched_param param{};
    param.sched_priority = 5;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
    Recorder rec;
    if (!rec.start(argv[1], fragmentMs)) return 1;
    GraphRecorder graph;
    const char* graphEnv = std::getenv("HEARD_GRAPH");
    const bool byGraph = graphEnv && std::strcmp(graphEnv, "1") == 0;
    if (byGraph && !graph.start("null")) {
        std::fprintf(stderr, "heard-position-probe: cannot record the sink through PipeWire\n");
        return 1;
    }
    const double recRate = rec.rate;
    std::vector<short> frames;
    std::vector<Recorder::Zero> zeros;
    double initAt = Now();
    if (!BASS_Init(-1, kRate, 0, nullptr, nullptr) || AudioOutputName() != "alsa:default") {
        std::fprintf(stderr, "heard-position-probe: the engine did not open ALSA's default device (%s)\n",
                     AudioOutputName().c_str());
        return 1;
    }
    double initMs = (Now() - initAt) * 1000.0;
    AudioHandle h = BASS_StreamCreateFile(false, file.c_str(), 0, 0, 0);
    // As an operator would: the music is loaded, a moment passes, then play.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    struct Sample {
        double t;
        double heard;   // seconds into the file
    };
    std::vector<Sample> log;
    log.reserve(200000);
    double played = Now();
    BASS_ChannelPlay(h, false);
    while (BASS_ChannelIsActive(h) == BASS_ACTIVE_PLAYING && Now() - played < seconds + 5) {
        double t = Now();
        log.push_back({t, BASS_ChannelBytes2Seconds(h, BASS_ChannelGetPosition(h, BASS_POS_BYTE))});
        std::this_thread::sleep_for(std::chrono::microseconds(250));
    }
    double ended = Now();
    // Let the recording catch up with the end.
    std::this_thread::sleep_for(std::chrono::milliseconds(std::max(300u, 2 * fragmentMs)));
    std::uint64_t recoveries = AudioOutputRecoveries();
    BASS_Free();
    rec.snapshot(&frames, &zeros);
    graph.stop();
    std::remove(file.c_str());
    rmdir(dir);

    // The place of frame 0 on the clock: the median of the estimates made while the file played.
    // The monitor's frames come at the sink's own steady pace (the earliest arrivals keep to a
    // line within a tenth of a millisecond on both servers), while PipeWire's latency figures
    // wander by several milliseconds over a run; so one place holds for the whole run.
    std::vector<double> z;
    for (const auto& e : zeros)
        if (e.at >= played && e.at <= ended) z.push_back(e.zero);
    if (z.empty()) {
        std::fprintf(stderr, "heard-position-probe: the monitor gave no timing\n");
        return 1;
    }
    std::sort(z.begin(), z.end());
    const double zero = z[z.size() / 2];
    // The sink's pace, checked: the earliest arrival of each half second, their spread.
    std::vector<double> earliest;
    for (const auto& e : zeros) {
        if (e.at < played + 0.25 || e.at > ended) continue;
        auto slot = static_cast<std::size_t>((e.at - played) / 0.5);
        if (earliest.size() <= slot) earliest.resize(slot + 1, 1e300);
        earliest[slot] = std::min(earliest[slot], e.arrival);
    }
    std::erase(earliest, 1e300);
    auto [lo, hi] = std::minmax_element(earliest.begin(), earliest.end());
    const double paceMs = earliest.empty() ? -1 : (*hi - *lo) * 1000.0;

    // Clicks in a recording: the first loud sample after at least 50 ms of quiet (the sink
    // may wake with the click, as its first frame).
    auto clicksIn = [](const std::vector<short>& recording, std::size_t rate) {
        std::vector<std::size_t> found;
        std::size_t quiet = rate;
        for (std::size_t i = 0; i < recording.size(); ++i) {
            if (std::abs(recording[i]) > 8000) {
                if (quiet >= rate / 20) found.push_back(i);
                quiet = 0;
            } else {
                ++quiet;
            }
        }
        return found;
    };
    const std::vector<std::size_t> clickFrames = clicksIn(frames, rec.rate);
    std::printf("init_ms=%.1f start_ms=%.1f clicks=%zu zero_spread_ms=%.2f pace_ms=%.2f err_ms=", initMs,
                clickFrames.empty() ? -1.0 : (zero + static_cast<double>(clickFrames[0]) / recRate - played) * 1000.0,
                clickFrames.size(),
                (z[z.size() * 9 / 10] - z[z.size() / 10]) * 1000.0, paceMs);
    // Each click's error, the click at `clicks[i]` of a recording played at `timeOf(clicks[i])`.
    auto errors = [&](const std::vector<std::size_t>& clicks, double rate, auto timeOf) {
        const char* separator = "";
        for (std::size_t c : clicks) {
            double m = timeOf(c);
            // Which click of the file this is, counted from the first: a click lost on the way
            // does not shift the rest.
            double index = std::round(static_cast<double>(c - clicks[0]) / rate / kClickEvery);
            // The engine's position when the sink played the click, interpolated between readings.
            auto it = std::lower_bound(log.begin(), log.end(), m, [](const Sample& s, double t) { return s.t < t; });
            if (it == log.begin() || it == log.end()) continue;
            const Sample& b = *it;
            const Sample& a = *(it - 1);
            double heard = a.heard + (b.heard - a.heard) * (m - a.t) / std::max(1e-9, b.t - a.t);
            std::printf("%s%.2f", separator, (heard - index * kClickEvery) * 1000.0);
            separator = ",";
        }
    };
    auto placedFrom = [&](double zeroAt) { return [=](std::size_t c) { return zeroAt + static_cast<double>(c) / recRate; }; };
    errors(clickFrames, recRate, placedFrom(zero));
    // The same against the monitor's earliest arrivals alone (a frame counted as played when
    // the monitor has it), which no latency figure of the server enters.
    std::printf(" arrival_err_ms=");
    if (!earliest.empty()) errors(clickFrames, recRate, placedFrom(*lo));
    if (byGraph) {
        std::printf(" graph_err_ms=");
        errors(clicksIn(graph.frames, 48000), 48000.0, [&](std::size_t c) { return graph.timeOf(c); });
    }
    if (std::getenv("HEARD_DEBUG")) std::printf(" [arrival %.1f zero %.1f ms]", (*lo - played) * 1000.0, (zero - played) * 1000.0);
    std::printf(" recoveries=%llu\n", static_cast<unsigned long long>(recoveries));
    if (std::getenv("HEARD_DEBUG")) {
        for (std::size_t c : clickFrames) std::printf("  click at %.1f ms\n", (zero + static_cast<double>(c) / recRate - played) * 1000.0);
        std::printf("  recording %.1f ms from %.1f ms\n", frames.size() * 1000.0 / recRate, (zero - played) * 1000.0);
        for (std::size_t i = 0; i < log.size(); i += log.size() / 40) std::printf("  %.1f ms: %.1f ms\n", (log[i].t - played) * 1000.0, log[i].heard * 1000.0);
    }
    return 0;
}
