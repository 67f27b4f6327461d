// Loading an ini file by its size: the settings of both programs are read on the window thread
// at start, so a large one must load in time linear in its bytes (goal: 1 MB within 50 ms).
#include <benchmark/benchmark.h>

#include <string>

#include "common/ini_file.h"

using namespace spirelo;

namespace {

// About `bytes` of text in sections of 100 keys each, keys of mixed case as people write them.
std::string IniText(size_t bytes) {
    std::string text;
    for (int n = 0; text.size() < bytes; ++n) {
        const std::string num = std::to_string(n);
        if (n % 100 == 0) text.append("[Section").append(std::to_string(n / 100)).append("]\r\n");
        text.append("Key").append(num).append("Name=value of key ").append(num).append("\r\n");
    }
    return text;
}

void BM_IniLoad(benchmark::State& state) {
    const std::string text = IniText(size_t(state.range(0)));
    for (auto _ : state) {
        IniFile ini;
        ini.loadFromText(text);
        benchmark::DoNotOptimize(ini);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

// One section holding every key: the case a per-section lookup would make quadratic.
void BM_IniLoadOneSection(benchmark::State& state) {
    std::string text = "[All]\n";
    for (int n = 0; n < state.range(0); ++n) {
        const std::string num = std::to_string(n);
        text.append("k").append(num).append("=").append(num).append("\n");
    }
    for (auto _ : state) {
        IniFile ini;
        ini.loadFromText(text);
        benchmark::DoNotOptimize(ini);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}

}  // namespace

BENCHMARK(BM_IniLoad)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IniLoadOneSection)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
