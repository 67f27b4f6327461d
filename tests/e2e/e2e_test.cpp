// One show step's road, end to end: the demo's tracks set levels in time with the music, the
// controller publishes them as live text and writes the same levels to the USB interface, a
// second controller is refused, and the visualiser draws the water from the live text.
#include "common/file_io.h"
#include "common/live_data.h"
#include "common/shared_section.h"
#include "dmx/usb_frame.h"
#include "tests/child_process.h"
#include "tests/scratch_folder.h"
#include "tools/demo-show/demo_show.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <ctime>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace spirelo;
using namespace spirelo::test;

namespace {

// The clock of the controller's timing log.
int64_t MonotonicNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// The show tick's records in the controller's timing log: when each tick began, the step the
// show stood at until then and the step of the music heard then.
struct Tick {
    int64_t ns, step, heard;
};

// The controller's timing log: its show ticks, and when each of its output cycles began.
struct Timing {
    std::vector<Tick> ticks;
    std::vector<int64_t> cycles;
};

Timing ReadTiming(const std::string& path) {
    Timing timing;
    std::string text;
    ReadWholeFile(path, text);
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream rec(line);
        char kind = 0;
        Tick t{};
        if (!(rec >> kind >> t.ns)) continue;
        if (kind == 'D') timing.cycles.push_back(t.ns);
        else if (kind == 'T' && rec >> t.step >> t.heard) timing.ticks.push_back(t);
    }
    return timing;
}

// The first tick after `ns`: the step it reports is the one the show stood at at `ns`.
const Tick* TickAfter(const std::vector<Tick>& ticks, int64_t ns) {
    for (const Tick& t : ticks)
        if (t.ns > ns) return &t;
    return nullptr;
}

// The tick that played a track's entry at `step`: the controller starts in track play, where
// the tracks (none shifted in the demo) play the step the show stands at, so it is the tick that
// moved the show to that step. None when the show never stood there: a tick that comes late (a
// loaded machine) passes over steps, and their entries with them.
const Tick* TickThatPlayed(const std::vector<Tick>& ticks, int64_t step) {
    for (size_t k = 1; k < ticks.size(); ++k)
        if (ticks[k].step == step) return &ticks[k - 1];
    return nullptr;
}

// A change of the live text that the test saw between two of its reads: it was published
// after `after` and before `before`, so at a show step between the steps of those moments.
struct Seen {
    int64_t after = 0, before = 0;
};

bool ReadLevels(SharedSection& s, uint8_t levels[513]) {
    std::string text;
    if (!s.readText(text) || text.size() < kLiveTextDigits) return false;
    return DecodeHexLevels(text, levels + 1, 512) == 512;
}

int RunCommand(const std::string& cmd) { return std::system(cmd.c_str()); }

struct Image {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
};

// Binary PPM (P6, maxval 255), as ImageMagick writes it.
bool ReadPpm(const std::string& path, Image& img) {
    std::string data = Slurp(path);
    size_t pos = 0;
    auto token = [&]() {
        while (pos < data.size()) {
            if (std::isspace(static_cast<unsigned char>(data[pos]))) ++pos;
            else if (data[pos] == '#') { while (pos < data.size() && data[pos] != '\n') ++pos; }
            else break;
        }
        size_t b = pos;
        while (pos < data.size() && !std::isspace(static_cast<unsigned char>(data[pos]))) ++pos;
        return data.substr(b, pos - b);
    };
    if (token() != "P6") return false;
    img.w = std::atoi(token().c_str());
    img.h = std::atoi(token().c_str());
    if (token() != "255") return false;
    ++pos;
    size_t need = size_t(img.w) * img.h * 3;
    if (img.w <= 0 || img.h <= 0 || data.size() < pos + need) return false;
    img.rgb.assign(data.begin() + pos, data.begin() + pos + need);
    return true;
}

// The visualiser's main window, grabbed from the X display.
bool Grab(const std::string& path, Image& img) {
    std::string cmd = "id=$(xwininfo -root -tree | grep -F '(\"Glimmora\" \"Glimmora\")' | head -n1 | awk '{print $1}'); "
                      "[ -n \"$id\" ] && import -window \"$id\" -depth 8 " + path;
    return RunCommand(cmd) == 0 && ReadPpm(path, img);
}

class EndToEnd : public ::testing::Test {
protected:
    test::ScratchFolder scratch{"spirelo-e2e"};
    fs::path dir;
    Process controller, visualiser;
    std::vector<std::string> env;

    void SetUp() override {
        ASSERT_TRUE(scratch.made());
        dir = scratch.path();
        fs::create_directories(dir / "bin");
        fs::create_directories(dir / "run");
        fs::permissions(dir / "run", fs::perms::owner_all);
        const fs::path bin = SPIRELO_BIN_DIR;
        // Programs keep their settings beside themselves: run copies, so the test owns them.
        for (const char* prog : {"Spirelo", "Glimmora"})
            fs::copy_file(bin / prog, dir / "bin" / prog);
        ASSERT_EQ(RunCommand((bin / "demo-show").string() + " " + (dir / "show").string() + " " + (dir / "bin").string() +
                      " > " + (dir / "demo.log").string() + " 2>&1"),
                  0);
        SharedSection::unlink(DmxSectionName());
        SharedSection::unlink(SpectrumSectionName());
        env = {"SPIRELO_USB=simulated:" + (dir / "frames.bin").string(), "SPIRELO_AUDIO=null",
               "XDG_RUNTIME_DIR=" + (dir / "run").string(), "XDG_CONFIG_HOME=" + (dir / "config").string(),
               "LIBGL_ALWAYS_SOFTWARE=1", "SPIRELO_TIMING=" + (dir / "timing.log").string()};
    }

    void TearDown() override {
        Stop(visualiser);
        Stop(controller);
        SharedSection::unlink(DmxSectionName());
        SharedSection::unlink(SpectrumSectionName());
        if (HasFailure()) {
            for (const char* log : {"spirelo.log", "second.log", "glimmora.log"})
                std::fprintf(stderr, "---- %s ----\n%s\n", log, Slurp((dir / log).string()).substr(0, 4000).c_str());
        }
    }
};

TEST_F(EndToEnd, DemoShowRunsFromMusicToUsbToTheVisualiser) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    controller = Spawn({(dir / "bin" / "Spirelo").string()}, env, (dir / "spirelo.log").string());

    // 1. The live text follows the tracks, on the show's own clock: the pumps come in at step
    //    20, the first spot goes red at step 40. Each change of the text is placed between the
    //    test's read before it and the read that saw it.
    SharedSection live;
    uint8_t levels[513] = {};
    Seen firstLevel, red;
    char redText[kLiveTextSize] = {};
    bool sawFirst = false, sawRed = false;
    int64_t lastRead = MonotonicNs();   // when the read before began
    auto start = Clock::now();
    while (Seconds(start, Clock::now()) < 120 && !sawRed) {
        ASSERT_TRUE(Alive(controller)) << "the controller ended";
        if (!live.isOpen()) live.open(DmxSectionName(), kLiveTextSize);
        const int64_t began = MonotonicNs();
        if (live.isOpen() && ReadLevels(live, levels)) {
            const int64_t now = MonotonicNs();
            bool any = false;
            for (int c = 1; c <= 512; ++c) any = any || levels[c] != 0;
            if (any && !sawFirst) {
                sawFirst = true;
                firstLevel = {lastRead, now};
                std::string which;
                for (int c = 1; c <= 512; ++c)
                    if (levels[c]) which += std::string(" ") + std::to_string(c) + "=" + std::to_string(levels[c]);
                std::fprintf(stderr, "first levels after %.3f s:%s\n", Seconds(start, Clock::now()), which.substr(0, 300).c_str());
            }
            if (sawFirst && levels[1] == 255) {
                sawRed = true;
                red = {lastRead, now};
                EncodeHexLevels(levels + 1, 512, redText);
            }
            lastRead = began;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(sawFirst) << "no level was ever published";
    ASSERT_TRUE(sawRed) << "channel 1 never reached 255";
    // The log is written about once a second: wait for the ticks after the last read.
    Timing timing;
    auto logged = Clock::now();
    while (Seconds(logged, Clock::now()) < 60 && !TickAfter(timing.ticks, red.before)) {
        ASSERT_TRUE(Alive(controller)) << "the controller ended";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        timing = ReadTiming((dir / "timing.log").string());
    }
    // Each change is checked on the controller's own course of events, which load can slow but
    // not reorder: the tick that played the entry, then the output cycle that publishes it. The
    // show steps and seconds in between are printed only: a starved machine stretches them.
    const std::vector<Tick>& ticks = timing.ticks;
    const int64_t lastStep = ticks.empty() ? 0 : ticks.back().step;
    for (const auto& [what, seen, first, every] :
         {std::tuple{"first level", firstLevel, demo::kPumpsStartStep, demo::kBeatSteps},
          std::tuple{"channel 1 at 255", red, demo::kSpotsStartStep, demo::kColourSteps * demo::kColours}}) {
        int64_t entry = first;
        const Tick* played = nullptr;
        for (; entry <= lastStep && !(played = TickThatPlayed(ticks, entry)); entry += every) {}
        const Tick* from = TickAfter(ticks, seen.after);
        const Tick* to = TickAfter(ticks, seen.before);
        ASSERT_TRUE(played && from && to) << "the timing log has no tick that played the " << what
                                          << " or none after it was seen";
        // Output cycles begun after that tick and before the read that still found the text
        // without the change: the first of them publishes it.
        const int64_t playedAt = played->ns, stillWithout = seen.after;
        const auto late = std::count_if(timing.cycles.begin(), timing.cycles.end(),
                                        [&](int64_t ns) { return ns > playedAt && ns < stillWithout; });
        std::fprintf(stderr,
                     "%s: the entry at step %lld (the tracks begin at %d) played at %.3f s, published between show "
                     "steps %lld and %lld (heard %lld to %lld), %ld output cycles begun in between\n",
                     what, static_cast<long long>(entry), first, (played->ns - ticks.front().ns) / 1e9,
                     static_cast<long long>(from->step), static_cast<long long>(to->step),
                     static_cast<long long>(from->heard), static_cast<long long>(to->heard), static_cast<long>(late));
        EXPECT_LT(played->ns, seen.before) << what << " published before the show played its entry";
        EXPECT_LE(late, 1) << what << " published late: " << late << " output cycles after the show played its entry";
    }

    // 2. What the interface received decodes to what the live text says (same cycle).
    bool matched = false;
    for (auto tried = Clock::now(); Seconds(tried, Clock::now()) < 30 && !matched;) {
        ASSERT_TRUE(ReadLevels(live, levels));
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile((dir / "frames.bin").string(), bytes));
        auto frames = DecodeDmxUsbFrames(bytes, false);
        ASSERT_FALSE(frames.empty());
        for (size_t k = frames.size(); k-- > 0 && k + 40 > frames.size() && !matched;)
            matched = std::memcmp(frames[k].levels + 1, levels + 1, 512) == 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(37));
    }
    EXPECT_TRUE(matched) << "no recent frame holds the levels of the live text";

    // 3. A second controller is refused while the first runs.
    Process second = Spawn({(dir / "bin" / "Spirelo").string()}, env, (dir / "second.log").string());
    StopAtExit stopSecond(second);
    int status = 0;
    ASSERT_TRUE(WaitFor(second, 20, &status)) << "the second controller did not end";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0);
    EXPECT_TRUE(Alive(controller));
    // The demo comes with its macro file, so its start logs none missing.
    EXPECT_EQ(Slurp((dir / "bin" / "Spirelo.Log").string()).find("File not found_sNameFileMacro"), std::string::npos);

    // 4. The visualiser reads the section and draws lit water: a picture with the show's
    //    levels against one after the levels went to zero differs where the water was. The
    //    controller's levels at red are written again each round until the visualiser has drawn
    //    both, however slowly it starts and redraws.
    visualiser = Spawn({(dir / "bin" / "Glimmora").string()}, env, (dir / "glimmora.log").string());
    Image lit, dark;
    auto shown = Clock::now();
    bool grabbed = false;
    while (Seconds(shown, Clock::now()) < 60 && !(grabbed = Grab((dir / "lit.ppm").string(), lit))) {
        ASSERT_TRUE(Alive(visualiser)) << "the visualiser ended";
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(grabbed) << "could not grab the visualiser's window";
    Stop(controller);
    const std::string zeros(kLiveTextDigits, '0');
    int water = 0;
    auto drawn = Clock::now();
    while (Seconds(drawn, Clock::now()) < 60 && water <= 300) {
        ASSERT_TRUE(Alive(visualiser)) << "the visualiser ended";
        ASSERT_TRUE(live.writeText(redText, kLiveTextDigits));
        ASSERT_TRUE(Grab((dir / "lit.ppm").string(), lit));
        ASSERT_TRUE(live.writeText(zeros.data(), zeros.size()));
        ASSERT_TRUE(Grab((dir / "dark.ppm").string(), dark));
        ASSERT_EQ(lit.rgb.size(), dark.rgb.size());
        water = 0;
        for (size_t i = 0; i + 2 < lit.rgb.size(); i += 3) {
            int diff = 0;
            for (int k = 0; k < 3; ++k) diff += std::abs(int(lit.rgb[i + k]) - int(dark.rgb[i + k]));
            if (diff > 120) ++water;
        }
    }
    EXPECT_GT(water, 300) << "the picture did not change with the levels (" << lit.w << "x" << lit.h << ")";
}

}  // namespace
