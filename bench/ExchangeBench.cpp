// Download evaluation of a realistic track memory: time and peak heap per memory size.
// Both must grow linearly with the number of lines.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "logger/Evaluation.h"
#include "logger/LineBuffer.h"

namespace {

std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};

void counted(void* p) {
    if (!p) return;
    const std::size_t now = liveBytes += malloc_usable_size(p);
    std::size_t peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
}

}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    counted(p);
    return p;
}
// The replacement new takes its memory from malloc, so free is the matching release; GCC
// cannot see that once the two are inlined into one caller at -O3.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    if (p) liveBytes -= malloc_usable_size(p);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
#pragma GCC diagnostic pop

namespace {

// A memory of flights as the logger keeps them: an A record, a few H records, then one
// B record a second, a new flight every 3000 fixes.
std::string trackMemory(int lines) {
    std::string memory;
    memory.reserve(static_cast<std::size_t>(lines) * 38);
    int written = 0;
    int second = 0;
    char record[64];
    while (written < lines) {
        if (written % 3000 == 0) {
            memory += "AQVD001 FLIGHT\r\nHFDTE080126\r\nHFPLTPILOT:Jane Doe\r\n";
            written += 3;
            continue;
        }
        const int t = 36000 + second++;
        std::snprintf(record, sizeof record, "B%02d%02d%02d4807%03dN01131%03dEA%05d%05d\r\n",
                      t / 3600 % 24, t / 60 % 60, t % 60, second % 1000, (second * 7) % 1000,
                      500 + second % 700, 520 + second % 650);
        memory += record;
        ++written;
    }
    return memory;
}

void DownloadEvaluation(benchmark::State& state) {
    const std::string memory = trackMemory(static_cast<int>(state.range(0)));
    qr::NullEvaluationObserver none;
    std::size_t peak = 0;
    for (auto _ : state) {
        const std::size_t before = liveBytes.load();
        peakBytes = before;
        {
            qr::LineBuffer lines;
            benchmark::DoNotOptimize(qr::evaluateDownload(memory, lines, none));
        }
        peak = peakBytes.load() - before;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * memory.size()));
    state.counters["lines"] = static_cast<double>(state.range(0));
    state.counters["peak_heap_MiB"] = static_cast<double>(peak) / (1024.0 * 1024.0);
    state.counters["heap_bytes_per_line"] = static_cast<double>(peak) / state.range(0);
}

}  // namespace

BENCHMARK(DownloadEvaluation)->Arg(33000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
