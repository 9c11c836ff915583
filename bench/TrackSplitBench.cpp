// The split of a full track memory: the logger's buffer size and a much larger one.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "logger/TrackSplit.h"

namespace {

// Flights of 3000 lines: A line, date and a few header records, then fixes one second apart.
std::vector<std::string> memory(std::size_t lineCount) {
    std::vector<std::string> lines{"Apreamble"};
    int second = 0;
    while (lines.size() < lineCount) {
        if (lines.size() % 3000 == 1) {
            lines.push_back("AXVN 001 USB");
            lines.push_back("HFDTE081226");
            lines.push_back("HFPLTPILOT:Someone");
            lines.push_back("HFGTYGLIDERTYPE:Wing");
            continue;
        }
        second = (second + 1) % 86400;
        char record[40];
        std::snprintf(record, sizeof record, "B%02d%02d%02d4807123N01131234EA0050000600",
                      second / 3600, second / 60 % 60, second % 60);
        lines.push_back(record);
    }
    return lines;
}

void BM_SplitTracks(benchmark::State& state) {
    const auto lines = memory(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        auto list = qr::splitTracks(lines, lines.size());
        benchmark::DoNotOptimize(list);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SplitTracks)->Arg(33000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
