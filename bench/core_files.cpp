// Open and save of the track file and the sequencer file, against a plain read of the same
// bytes. The figure that matters is "both loads" over "plain read of both": printed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "common/file_io.h"
#include "core/seq_file.h"
#include "core/show_data.h"
#include "core/track_file.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"

using namespace spirelo;

namespace {

std::string g_dir;
std::string TrackPath() { return g_dir + "/bench.trk"; }
std::string SeqPath() { return g_dir + "/bench.seq"; }

ShowData& Data() {
    static std::unique_ptr<ShowData> d = [] {
        auto p = MakeShowData();
        ResetShowData(*p);
        return p;
    }();
    return *d;
}

// The baseline: open, read every byte into a buffer that already exists, close.
void PlainRead(const std::string& path, std::vector<uint8_t>& buf) {
    int fd = ::open(path.c_str(), O_RDONLY);
    size_t got = 0;
    while (got < buf.size()) {
        ssize_t n = ::read(fd, buf.data() + got, buf.size() - got);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    benchmark::DoNotOptimize(buf.data());
}

void BM_PlainReadBoth(benchmark::State& state) {
    std::vector<uint8_t> track(kTrackFileSize), seq(kSeqFileSize);
    for (auto _ : state) {
        PlainRead(TrackPath(), track);
        PlainRead(SeqPath(), seq);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTrackFileSize + kSeqFileSize));
}

// The project's whole-file reader, as any caller would use it: a fresh buffer per read.
void BM_ReadWholeFileBoth(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<uint8_t> track, seq;
        ReadWholeFile(TrackPath(), track);
        ReadWholeFile(SeqPath(), seq);
        benchmark::DoNotOptimize(track.data());
        benchmark::DoNotOptimize(seq.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTrackFileSize + kSeqFileSize));
}

void BM_OpenTrackFile(benchmark::State& state) {
    ShowData& d = Data();
    for (auto _ : state) {
        if (OpenTrackFile(d, TrackPath()) != FileLoad::Loaded) state.SkipWithError("track open failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTrackFileSize));
}

void BM_OpenSeqFile(benchmark::State& state) {
    ShowData& d = Data();
    for (auto _ : state) {
        if (OpenSeqFile(d, SeqPath()) != FileLoad::Loaded) state.SkipWithError("sequencer open failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSeqFileSize));
}

void BM_OpenBoth(benchmark::State& state) {
    ShowData& d = Data();
    for (auto _ : state) {
        OpenSeqFile(d, SeqPath());
        OpenTrackFile(d, TrackPath());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTrackFileSize + kSeqFileSize));
}

// What an open and a save add for knowing later whether the show has changes not saved, and
// what the show list's move to another show costs when nothing changed.
void BM_WorkDigests(benchmark::State& state) {
    ShowData& d = Data();
    for (auto _ : state) {
        benchmark::DoNotOptimize(TrackWorkDigest(d));
        benchmark::DoNotOptimize(SeqWorkDigest(d));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTrackFileSize + kSeqFileSize));
}

void BM_SaveTrackFile(benchmark::State& state) {
    ShowData& d = Data();
    d.sNameFileProject = TrackPath();
    for (auto _ : state) {
        if (!SaveTrackFile(d)) state.SkipWithError("track save failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTrackFileSize));
}

void BM_SaveSeqFile(benchmark::State& state) {
    ShowData& d = Data();
    d.sNameFileSeq = SeqPath();
    for (auto _ : state) {
        if (!SaveSeqFile(d)) state.SkipWithError("sequencer save failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSeqFileSize));
}

BENCHMARK(BM_PlainReadBoth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWholeFileBoth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenTrackFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSeqFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenBoth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkDigests)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveTrackFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveSeqFile)->Unit(benchmark::kMillisecond);

// Keeps each run's time per iteration so the ratio can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // The median of repetitions when asked for them, else the single run.
        for (const auto& r : runs) {
            const std::string& name = r.run_name.function_name;
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians[name] = r.real_accumulated_time / double(r.iterations);
            else if (r.run_type == Run::RT_Iteration && r.iterations > 0 && !medians.count(name))
                seconds[name] = r.real_accumulated_time / double(r.iterations);
        }
        for (const auto& [name, t] : medians) seconds[name] = t;
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds, medians;
};

}  // namespace

int main(int argc, char** argv) {
    char tmpl[] = "/tmp/spirelo-bench-XXXXXX";
    if (!::mkdtemp(tmpl)) return 1;
    g_dir = tmpl;
    OverrideProgramFile(g_dir + "/Spirelo");
    InstallMessageService(std::make_shared<RecordingMessages>());

    // The files of a show: a saved default show, as the controller writes it.
    ShowData& d = Data();
    d.sNameFileProject = TrackPath();
    d.sNameFileSeq = SeqPath();
    if (!SaveTrackFile(d) || !SaveSeqFile(d)) return 1;

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto& s = reporter.seconds;
    const double mb = double(kTrackFileSize + kSeqFileSize) / 1e6;
    if (s.count("BM_OpenBoth") && s["BM_PlainReadBoth"] > 0)
        std::printf("both loads / read() of the same %.1f MB into a warm buffer: %.2f (goal: within 2)\n", mb,
                    s["BM_OpenBoth"] / s["BM_PlainReadBoth"]);
    if (s.count("BM_OpenBoth") && s["BM_ReadWholeFileBoth"] > 0)
        std::printf("both loads / ReadWholeFile of the same %.1f MB: %.2f (goal: within 2)\n", mb,
                    s["BM_OpenBoth"] / s["BM_ReadWholeFileBoth"]);
    std::system(("rm -rf '" + g_dir + "'").c_str());
    return 0;
}
