// Writing the largest flight of a full track memory (33,000 lines) as an IGC file.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "igc/IgcWriter.h"
#include "igc/IgcWriterContent.h"
#include "igc/uGRecDSA.h"

namespace {

constexpr int kMemoryLines = 33000;

struct Memory {
    std::vector<std::string> lines;
    std::vector<qr::TDateTime> starts;
};

// One flight of `lines` lines; every 500th body line is a transfer marker the writer drops.
void addFlight(Memory& m, int flight, int lines) {
    const std::size_t end = m.lines.size() + static_cast<std::size_t>(lines);
    m.lines.push_back("AXVN 4711 USB FLIGHT " + std::to_string(flight));
    m.lines.push_back("HFDTE080726");
    m.lines.push_back("HFPLTPILOTINCHARGE:Anna Logger");
    m.lines.push_back("HFGTYGLIDERTYPE:Alpha 5");
    m.lines.push_back("HFGIDGLIDERID:AL-0815");
    m.lines.push_back("HFDTM100GPSDATUM:WGS-1984");
    m.lines.push_back("I013638FXA");
    m.starts.push_back(qr::EncodeDate(2026, 7, 8) + qr::EncodeTime(8 + flight, 0, 0, 0));
    char line[64];
    for (int i = 0; m.lines.size() < end; ++i) {
        if (i % 500 == 499) {
            m.lines.push_back("$PQVD,SendTrk," + std::to_string(i));
            continue;
        }
        const int t = i % 86400;
        std::snprintf(line, sizeof line, "B%02d%02d%02d52%05dN000%05dWA%05d%05d035", t / 3600,
                      t / 60 % 60, t % 60, i % 60000, i * 7 % 60000, 500 + i % 1000,
                      520 + i % 1000);
        m.lines.push_back(line);
    }
}

const Memory& fullMemory() {
    static const Memory memory = [] {
        Memory m;
        addFlight(m, 1, 4000);
        addFlight(m, 2, kMemoryLines - 4000 - 1500);  // the largest flight
        addFlight(m, 3, 1500);
        return m;
    }();
    return memory;
}

qr::IgcWriteRequest largestFlight(const std::string& directory) {
    const Memory& m = fullMemory();
    qr::IgcWriteRequest r;
    r.lines = m.lines;
    r.lineCount = static_cast<int>(m.lines.size());
    r.firstARecord = m.lines.front();
    r.trackStarts = m.starts;
    r.chosenIndex = 1;
    r.namesFromLogger = false;
    r.header = {"Bruno Dialog",    "Beta 3",      "BD-42", "DHV-OLC-2009",
                "Paraglider open", "Wasserkuppe", "BrDi",  directory};
    r.applicationTitle = "Quendarix-reader";
    r.signer = [](const std::string& path) {
        std::ofstream(path, std::ios::binary | std::ios::app)
            << "GFAKESIGNATURE1\r\nGFAKESIGNATURE2\r\n";
    };
    return r;
}

void BM_ComposeLargestFlight(benchmark::State& state) {
    const qr::IgcWriteRequest request = largestFlight("");
    std::size_t bytes = 0;
    for (auto _ : state) {
        const qr::IgcContent content = qr::composeIgcContent(request);
        bytes = content.bytes.size();
        benchmark::DoNotOptimize(content.bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ComposeLargestFlight)->Unit(benchmark::kMillisecond);

// The whole write: composing, the temporary file, the signature, the flush to the disk and
// the final naming. Argument 0: a signer that only appends two lines; 1: the real signer
// without its two fixed pauses (100 ms and 1000 ms of waiting, no work).
void BM_WriteLargestFlight(benchmark::State& state) {
    std::string directory = std::filesystem::temp_directory_path().string() + "/qr-bench-XXXXXX";
    if (!::mkdtemp(directory.data())) {
        state.SkipWithError("mkdtemp failed");
        return;
    }
    directory += "/";
    qr::IgcWriteRequest request = largestFlight(directory);
    if (state.range(0) == 1) {
        request.signer = [](const std::string& path) {
            qr::SignerSeams seams;
            seams.pause = [](int) {};
            qr::SignIgcFile(path, seams);
        };
    }
    for (auto _ : state) {
        const std::string path = qr::writeIgcFile(request);
        state.PauseTiming();
        ::unlink(path.c_str());
        state.ResumeTiming();
    }
    std::filesystem::remove_all(directory);
}
BENCHMARK(BM_WriteLargestFlight)
    ->ArgName("realSigner")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
