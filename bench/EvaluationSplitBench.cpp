// What follows a download before the track list can be shown: the evaluation of the
// received track memory into the line buffer and the split of that buffer into flights.
// The memories come from the simulator's generator (realistic flights), cut to exactly
// the number of lines of the argument; the counter ns_per_line shows whether the cost
// grows linearly with the memory.
#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>

#include "logger/Evaluation.h"
#include "logger/LineBuffer.h"
#include "logger/TrackSplit.h"

namespace {

const std::map<long, const char*> kMemoryFiles = {
    {33000, QR_BENCH_MEMORY_33000},
    {1000000, QR_BENCH_MEMORY_1000000},
};

// The first `lines` lines of the generated memory, each with its CR LF.
std::string memory(long lines) {
    std::ifstream in(kMemoryFiles.at(lines), std::ios::binary);
    if (!in) throw std::runtime_error("generated memory missing");
    std::ostringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    std::size_t end = 0;
    for (long n = 0; n < lines; ++n) {
        end = all.find("\r\n", end);
        if (end == std::string::npos) throw std::runtime_error("generated memory too short");
        end += 2;
    }
    all.resize(end);
    return all;
}

// A fresh line buffer each time, as for the first download after the start.
void BM_EvaluateAndSplit(benchmark::State& state) {
    const std::string received = memory(state.range(0));
    qr::NullEvaluationObserver none;
    std::size_t flights = 0;
    for (auto _ : state) {
        qr::LineBuffer lines;
        const int count = qr::evaluateDownload(received, lines, none);
        const qr::TrackList list = qr::splitTracks(lines.lines(), static_cast<std::size_t>(count));
        flights = list.entries.size();
        benchmark::DoNotOptimize(flights);
    }
    state.counters["lines"] = static_cast<double>(state.range(0));
    state.counters["flights"] = static_cast<double>(flights);
    state.counters["ns_per_line"] = benchmark::Counter(
        static_cast<double>(state.range(0)) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_EvaluateAndSplit)->Arg(33000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
