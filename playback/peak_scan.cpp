#include "playback/peak_scan.h"

#include <pthread.h>
#include <sched.h>

#include <limits>

#include "platform/audio.h"

namespace spirelo {

namespace {

class DecodeSource : public PeakSource {
public:
    explicit DecodeSource(uint32_t handle) : handle_(handle) {}
    ~DecodeSource() override { Free(); }
    bool NextLevel(uint32_t& reading) override {
        reading = BASS_ChannelGetLevel(handle_);
        return BASS_ErrorGetCode() == kAudioOk;
    }
    bool Active() override { return BASS_ChannelIsActive(handle_) == BASS_ACTIVE_PLAYING; }
    uint64_t Position() override {
        const uint64_t p = BASS_ChannelGetPosition(handle_, BASS_POS_BYTE);
        return p == kAudioBadPosition ? 0 : p;
    }
    void Free() override {
        if (handle_ != 0) BASS_StreamFree(handle_);
        handle_ = 0;
    }

private:
    uint32_t handle_;
};

}  // namespace

std::unique_ptr<PeakSource> DecodeChannelSource(uint32_t handle) {
    return std::make_unique<DecodeSource>(handle);
}

void ScanPeaks(ShowClock& clock, PeakSource& source, int32_t bytesPerPixel) {
    if (bytesPerPixel <= 1) {
        source.Free();
        return;
    }
    const uint64_t perPixel = static_cast<uint64_t>(bytesPerPixel);
    uint64_t previous = 0;
    std::size_t index = 0;
    uint16_t leftMax = 0, rightMax = 0;
    const std::size_t length = clock.PeakLeft.size() < clock.PeakRight.size() ? clock.PeakLeft.size()
                                                                              : clock.PeakRight.size();
    while (clock.ScanAbort.load() == 0) {
        uint32_t reading = 0;
        if (!source.NextLevel(reading)) reading = 0;
        const uint16_t left = static_cast<uint16_t>(reading & 0xFFFF);
        const uint16_t right = static_cast<uint16_t>(reading >> 16);
        if (left > leftMax) leftMax = left;
        if (right > rightMax) rightMax = right;
        const uint64_t pixel = source.Active() ? source.Position() / perPixel
                                               : std::numeric_limits<uint64_t>::max();
        if (pixel > previous) {
            // One element per pixel advance; element 0 stays as it is.
            ++index;
            if (index + 1 <= length) {
                clock.PeakLeft.store(index, leftMax);
                clock.PeakRight.store(index, rightMax);
            }
            leftMax = rightMax = 0;
            if (pixel >= static_cast<uint64_t>(kWaveformWidth)) break;
            previous = pixel;
        }
    }
    source.Free();
}

TScanThread::TScanThread(ShowClock& clock, ScanDoneCallback done,
                         std::unique_ptr<PeakSource> source, int32_t bytesPerPixel)
    : clock_(clock), done_(std::move(done)), source_(std::move(source)),
      bytesPerPixel_(bytesPerPixel) {
    thread_ = std::thread([this] { Execute(); });
}

TScanThread::~TScanThread() { Join(); }

void TScanThread::Join() {
    if (thread_.joinable()) thread_.join();
}

void TScanThread::Execute() {
    // The scan must never take time from the show tick or the audio output.
    sched_param param{};
    param.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
    int policy = -1;
    if (pthread_getschedparam(pthread_self(), &policy, &param) == 0) policy_.store(policy);
    if (source_) ScanPeaks(clock_, *source_, bytesPerPixel_);
    finished_.store(true);
    if (done_) done_();
}

void PeakScanner::Start(ShowClock& clock, ScanDoneCallback done,
                        std::unique_ptr<PeakSource> source, int32_t bytesPerPixel) {
    Stop();
    clock_ = &clock;
    clock.ScanAbort.store(0);
    scan_ = std::make_unique<TScanThread>(clock, std::move(done), std::move(source), bytesPerPixel);
}

void PeakScanner::Stop() {
    if (!scan_) return;
    if (clock_) clock_->ScanAbort.store(1);
    scan_->Join();
}

PeakScanner& PeakScannerInstance() {
    static auto* instance = new PeakScanner();   // joined explicitly by the window's destruction
    return *instance;
}

}  // namespace spirelo
