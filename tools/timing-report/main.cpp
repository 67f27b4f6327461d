// Reads the timestamps the controller writes under SPIRELO_TIMING and reports, for the show
// tick (T, 10 ms) and the output cycle (D, 15 ms), the mean rate and the interval spread, and
// how far the show step lagged behind the heard music position.
//
//   timing-report <file> [skip-seconds]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Series {
    std::vector<long long> ns;
    long long maxLag = 0;
    long long lagSamples = 0;
    long long behind = 0;   // ticks where the show step was behind the heard step by more than one
};

void Report(const char* name, double nominalMs, const Series& s) {
    if (s.ns.size() < 3) {
        std::printf("%s: too few samples (%zu)\n", name, s.ns.size());
        return;
    }
    std::vector<double> iv;
    for (size_t i = 1; i < s.ns.size(); ++i) iv.push_back((s.ns[i] - s.ns[i - 1]) / 1e6);
    double span = (s.ns.back() - s.ns.front()) / 1e9;
    double rate = (s.ns.size() - 1) / span;
    std::vector<double> sorted = iv;
    std::sort(sorted.begin(), sorted.end());
    auto pct = [&](double p) { return sorted[std::min(sorted.size() - 1, size_t(p * (sorted.size() - 1) + 0.5))]; };
    double nominalHz = 1000.0 / nominalMs;
    std::printf("%s: %zu intervals over %.1f s, mean rate %.2f Hz (nominal %.2f, %+.2f %%), "
                "interval p50 %.2f ms, p99 %.2f ms (%+.2f over nominal), max %.2f ms\n",
                name, iv.size(), span, rate, nominalHz, 100.0 * (rate - nominalHz) / nominalHz, pct(0.5), pct(0.99),
                pct(0.99) - nominalMs, sorted.back());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: timing-report <file> [skip-seconds]\n");
        return 2;
    }
    double skip = argc > 2 ? std::atof(argv[2]) : 0.0;
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "timing-report: cannot read %s\n", argv[1]);
        return 1;
    }
    Series tick, out;
    std::string line;
    long long first = -1;
    while (std::getline(in, line)) {
        std::istringstream ls(line);
        char kind;
        long long ns, a, b;
        if (!(ls >> kind >> ns >> a >> b)) continue;
        if (first < 0) first = ns;
        if ((ns - first) / 1e9 < skip) continue;
        if (kind == 'T') {
            tick.ns.push_back(ns);
            // a = the show step, b = the step of the heard music position (-1: no audio)
            if (b >= 0) {
                long long lag = b - a;
                tick.maxLag = std::max(tick.maxLag, lag);
                ++tick.lagSamples;
                if (lag > 1) ++tick.behind;
            }
        } else if (kind == 'D') {
            out.ns.push_back(ns);
        }
    }
    Report("show tick", 10.0, tick);
    Report("output cycle", 1000.0 / 66.6667, out);
    std::printf("show step behind the heard position: at most %lld step(s) over %lld ticks; "
                "%lld tick(s) more than one step behind\n",
                tick.maxLag, tick.lagSamples, tick.behind);
    return 0;
}
