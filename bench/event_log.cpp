// One event-log entry with the log already at a given size, as the window thread pays for it
// between two show ticks. Before each entry the log is put back at its size (untimed), so every
// entry meets the same log; each entry opens a new second's section, the usual case.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "core/event_log.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"

using namespace spirelo;

namespace {

std::string g_dir;

// A log of entries as the controller writes them, `bytes` long or a little more.
void MakeLog(const std::string& path, size_t bytes) {
    std::string text;
    text.reserve(bytes + 256);
    for (int s = 0; text.size() < bytes; ++s) {
        text += "[DataTime=9.3.2026 г." + std::to_string(s / 3600 % 24) + "h. " + std::to_string(s / 60 % 60) +
                " min. " + std::to_string(s % 60) + " sec]\n";
        text += "Who=ReadSave Where=OpenTrackFile= Info=File not found_sNameFileProject\n\n";
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

void BM_WriteLogAt(benchmark::State& state) {
    const std::string path = LogFilePath();
    const size_t bytes = size_t(state.range(0)) << 10;
    int second = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::remove((path + ".1").c_str());
        MakeLog(path, bytes);
        const LocalTime t{2027, 1, 1, 12, second / 60 % 60, second % 60};
        ++second;
        state.ResumeTiming();
        WriteLog("ReadSave", "OpenSeqFile", "File_no_found_sNameFileSeq", t);
    }
    state.SetLabel(std::to_string(bytes >> 10) + " KiB log");
}

// Entries one after another into the same log, which grows (and rolls) as it would in a show.
void BM_WriteLogRunning(benchmark::State& state) {
    const std::string path = LogFilePath();
    std::remove(path.c_str());
    std::remove((path + ".1").c_str());
    int second = 0;
    for (auto _ : state) {
        const LocalTime t{2027, 1, 2 + second / 86400, second / 3600 % 24, second / 60 % 60, second % 60};
        ++second;
        WriteLog("ReadSave", "OpenSeqFile", "File_no_found_sNameFileSeq", t);
    }
}

BENCHMARK(BM_WriteLogAt)->Arg(64)->Arg(1023)->Arg(1024)->Arg(8192)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_WriteLogRunning)->Unit(benchmark::kMicrosecond)->Iterations(20000);

}  // namespace

int main(int argc, char** argv) {
    char tmpl[] = "/tmp/spirelo-bench-XXXXXX";
    if (!::mkdtemp(tmpl)) return 1;
    g_dir = tmpl;
    OverrideProgramFile(g_dir + "/Spirelo");
    InstallMessageService(std::make_shared<RecordingMessages>());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::system(("rm -rf '" + g_dir + "'").c_str());
    return 0;
}
