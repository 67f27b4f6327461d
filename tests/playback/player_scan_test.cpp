#include <gtest/gtest.h>

#include <sched.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "player_fixtures.h"
#include "playback/peak_scan.h"
#include "playback/player.h"

using namespace spirelo;
using namespace spirelo::testing;

namespace {

// A decode channel of scripted readings: each call returns the next (position, level) pair.
class ScriptedSource : public PeakSource {
public:
    struct Step { uint64_t position; uint32_t level; bool ok = true; };
    explicit ScriptedSource(std::vector<Step> steps, std::atomic<int>* freed = nullptr)
        : steps_(std::move(steps)), freed_(freed) {}
    bool NextLevel(uint32_t& reading) override {
        if (next_ < steps_.size()) {
            current_ = steps_[next_++];
            reading = current_.level;
            return current_.ok;
        }
        ended_ = true;
        reading = 0;
        return false;
    }
    bool Active() override { return !ended_; }
    uint64_t Position() override { return current_.position; }
    void Free() override {
        ++frees;
        if (freed_) ++*freed_;
    }
    int frees = 0;

private:
    std::vector<Step> steps_;
    size_t next_ = 0;
    Step current_{0, 0};
    bool ended_ = false;
    std::atomic<int>* freed_;
};

// A decode channel that never ends: the scan runs until it is aborted.
class EndlessSource : public PeakSource {
public:
    explicit EndlessSource(std::atomic<int>& freed) : freed_(freed) {}
    bool NextLevel(uint32_t& reading) override {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        reading = 0x00100010;
        return true;
    }
    bool Active() override { return true; }
    uint64_t Position() override { return 0; }   // never reaches the next pixel
    void Free() override { ++freed_; }

private:
    std::atomic<int>& freed_;
};

ShowClock& ClockWithPeaks(ShowClock& c) {
    c.PeakLeft.resize(kWaveformWidth);
    c.PeakRight.resize(kWaveformWidth);
    return c;
}

TEST(PeakScan, OneElementPerPixelAdvanceAndElementZeroUntouched) {
    ShowClock c;
    ClockWithPeaks(c);
    c.PeakLeft.store(0, 7);
    // 100 bytes a pixel. Two readings inside pixel 0, then a jump over three pixels, then one
    // pixel at a time; the maxima of the readings between advances go into one element.
    ScriptedSource src({
        {10, 0x00200100},           // pixel 0
        {90, 0x00050300},           // pixel 0: left max 0x300, right max 0x20
        {450, 0x00010001},          // pixel 4: one element for the jump
        {550, 0x7FFF0002},          // pixel 5
        {551, 0x00000009, false},   // failed read: silence
        {650, 0x00000004},          // pixel 6
    });
    ScanPeaks(c, src, 100);
    EXPECT_EQ(c.PeakLeft[0], 7);
    EXPECT_EQ(c.PeakLeft[1], 0x300);
    EXPECT_EQ(c.PeakRight[1], 0x20);
    EXPECT_EQ(c.PeakLeft[2], 0x2);
    EXPECT_EQ(c.PeakRight[2], 0x7FFF);
    EXPECT_EQ(c.PeakLeft[3], 0x4);      // the failed read added nothing
    EXPECT_EQ(c.PeakRight[3], 0);
    // The end of the file counts as one more advance (with nothing read since), then stops.
    EXPECT_EQ(c.PeakLeft[4], 0);
    EXPECT_EQ(src.frees, 1);
}

TEST(PeakScan, StopsAtTheWaveformWidthAndNeverWritesPastTheArray) {
    ShowClock c;
    c.PeakLeft.resize(10);   // shorter than the waveform: elements beyond are skipped
    c.PeakRight.resize(10);
    std::vector<ScriptedSource::Step> steps;
    for (uint64_t px = 1; px <= 2000; ++px) steps.push_back({px * 10, 0x00010001});
    ScriptedSource src(steps);
    ScanPeaks(c, src, 10);
    EXPECT_EQ(c.PeakLeft[9], 1);
    EXPECT_EQ(src.frees, 1);
}

TEST(PeakScan, TooSmallPixelAndAbortEndAtOnceAndFreeTheChannel) {
    ShowClock c;
    ClockWithPeaks(c);
    ScriptedSource tiny({{100, 0x00010001}});
    ScanPeaks(c, tiny, 1);
    EXPECT_EQ(tiny.frees, 1);   // freed even when nothing is scanned
    EXPECT_EQ(c.PeakLeft[1], 0);

    c.ScanAbort.store(1);
    ScriptedSource aborted({{100, 0x00010001}});
    ScanPeaks(c, aborted, 10);
    EXPECT_EQ(c.PeakLeft[1], 0);
    EXPECT_EQ(aborted.frees, 1);
}

TEST(PeakScanner, ANewScanCancelsAndJoinsThePreviousOne) {
    ShowClock c;
    ClockWithPeaks(c);
    std::atomic<int> freedFirst{0}, doneCount{0};
    PeakScanner scanner;
    scanner.Start(c, [&] { ++doneCount; }, std::make_unique<EndlessSource>(freedFirst), 100);
    const TScanThread* first = scanner.Current();
    ASSERT_NE(first, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(first->Finished());

    std::atomic<int> freedSecond{0};
    scanner.Start(c, [&] { ++doneCount; },
                  std::make_unique<ScriptedSource>(std::vector<ScriptedSource::Step>{{500, 0x00030003}},
                                                   &freedSecond),
                  100);
    // Start returned only after the first scan ended and freed its channel; the second runs
    // with the abort flag cleared.
    EXPECT_EQ(freedFirst.load(), 1);
    scanner.Stop();
    EXPECT_EQ(freedSecond.load(), 1);
    EXPECT_EQ(doneCount.load(), 2);
    EXPECT_EQ(c.ScanAbort.load(), 1);   // Stop leaves it set, as the window's destruction does
}

TEST(PeakScanner, DestructionJoinsTheRunningScan) {
    ShowClock c;
    ClockWithPeaks(c);
    std::atomic<int> freed{0};
    {
        PeakScanner scanner;
        scanner.Start(c, nullptr, std::make_unique<EndlessSource>(freed), 100);
    }
    EXPECT_EQ(freed.load(), 1);
}

class PeakScanEngine : public EngineTest {};

TEST_F(PeakScanEngine, FillsThePeaksFromTheDecodeCopyAtIdlePriority) {
    // 30 s: a pixel (about 31 ms) is longer than one level slice (20 ms), so every pixel gets
    // its element. Left: a quarter of full scale in the first half, three quarters in the
    // second; right: always a half. Square waves keep the peaks exact.
    const std::string file = dir.file("levels.wav");
    const int64_t half = 15 * 44100;
    WriteWav(file, 44100, 2, 30.0, [](int64_t frame, int ch) {
        const double sign = (frame / 50) % 2 ? 1.0 : -1.0;
        if (ch == 1) return 0.5 * sign;
        return (frame < half ? 0.25 : 0.75) * sign;
    });
    ShowClock c;
    ClockWithPeaks(c);
    ASSERT_TRUE(OpenShowChannel(c, file));
    MeasureShowAudio(c);
    ASSERT_EQ(c.BytesPerPixel, 30 * 44100 * 4 / 970);

    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    PeakScanner scanner;
    StartShowScan(c, scanner, file, [&] {
        std::lock_guard<std::mutex> lock(m);
        done = true;
        cv.notify_all();
    });
    {
        std::unique_lock<std::mutex> lock(m);
        // Idle priority: generous, the machine may be busy.
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(60), [&] { return done; }));
    }
    ASSERT_NE(scanner.Current(), nullptr);
    EXPECT_EQ(scanner.Current()->SchedulingPolicy(), SCHED_IDLE);
    EXPECT_EQ(c.PeakLeft[0], 0);
    int filled = 0;
    for (size_t x = 1; x < c.PeakLeft.size(); ++x) filled += c.PeakLeft[x] != 0;
    EXPECT_EQ(filled, 969);
    EXPECT_NEAR(c.PeakLeft[100], 0.25 * 32767, 40);
    EXPECT_NEAR(c.PeakLeft[800], 0.75 * 32767, 40);
    EXPECT_NEAR(c.PeakRight[100], 0.5 * 32767, 40);
    EXPECT_NEAR(c.PeakRight[800], 0.5 * 32767, 40);
    // The decode copy was freed by the scan.
    EXPECT_EQ(BASS_ChannelGetLength(c.DecodeChannel, BASS_POS_BYTE), kAudioBadPosition);
    ReleaseShowAudio(c, scanner);
}

}  // namespace
