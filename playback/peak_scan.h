// The background peak scan: a decode-only copy of the show's audio is read slice by slice on a
// thread of the lowest priority (SCHED_IDLE) and turned into one peak per waveform pixel.
// Only one scan runs at a time: starting a new one cancels and joins the previous one.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "playback/show_clock.h"

namespace spirelo {

// What the scan reads from its decode channel.
class PeakSource {
public:
    virtual ~PeakSource() = default;
    // Decodes the next slice; left level in the low, right in the high 16 bits (0..32768).
    // A failed read returns false and counts as silence.
    virtual bool NextLevel(uint32_t& reading) = 0;
    virtual bool Active() = 0;              // data remain
    virtual uint64_t Position() = 0;        // bytes decoded so far
    virtual void Free() = 0;                // the decode channel is done with
};

// The scan loop over one source; the source is freed when the loop ends. bytesPerPixel is the
// value of the file being scanned (fixed for the scan's life).
void ScanPeaks(ShowClock& clock, PeakSource& source, int32_t bytesPerPixel);

// The scan over an audio-engine decode handle.
std::unique_ptr<PeakSource> DecodeChannelSource(uint32_t handle);

// Runs on the scan thread when the scan has ended. The window's one posts "ScanProgress := 100"
// to the GUI thread, which alone touches ScanProgress.
using ScanDoneCallback = std::function<void()>;

// One scan thread at the lowest priority; runs ScanPeaks and then the done callback.
class TScanThread {
public:
    TScanThread(ShowClock& clock, ScanDoneCallback done, std::unique_ptr<PeakSource> source,
                int32_t bytesPerPixel);
    ~TScanThread();                 // joins
    TScanThread(const TScanThread&) = delete;
    TScanThread& operator=(const TScanThread&) = delete;

    void Join();
    bool Finished() const { return finished_.load(); }
    int SchedulingPolicy() const { return policy_.load(); }   // as the thread saw it

private:
    void Execute();
    ShowClock& clock_;
    ScanDoneCallback done_;
    std::unique_ptr<PeakSource> source_;
    int32_t bytesPerPixel_;
    std::atomic<bool> finished_{false};
    std::atomic<int> policy_{-1};
    std::thread thread_;
};

// Owns the one running scan of the program.
class PeakScanner {
public:
    ~PeakScanner() { Stop(); }
    // Cancels and joins a running scan, then starts one on source.
    void Start(ShowClock& clock, ScanDoneCallback done, std::unique_ptr<PeakSource> source,
               int32_t bytesPerPixel);
    // Sets ScanAbort and joins; ScanAbort stays set until the next Start.
    void Stop();
    // The running (or last finished) scan, for tests.
    const TScanThread* Current() const { return scan_.get(); }
    ShowClock* clock() const { return clock_; }

private:
    ShowClock* clock_ = nullptr;
    std::unique_ptr<TScanThread> scan_;
};

PeakScanner& PeakScannerInstance();

}  // namespace spirelo
