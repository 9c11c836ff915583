// What the track list's tooltips cost on a full track memory (33,000 lines from the
// simulator's generator): the facts of every flight, read when the list is built, and the
// tooltip of the largest flight, whose barogram is drawn when the mouse first rests on it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHelpEvent>
#include <QListWidget>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "flight/Barogram.h"
#include "flight/FlightFacts.h"
#include "logger/Evaluation.h"
#include "logger/LineBuffer.h"
#include "logger/TrackSplit.h"
#include "logger/TrackToolTips.h"

namespace {

// The machine may be shared: the fastest repetition is the one least disturbed by other work.
double fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

// The line buffer after the download of the generated memory, and its flights.
struct Download {
    qr::LineBuffer buffer;
    qr::TrackList tracks;
    std::size_t largest = 0;  // entry with the most fixes
};

void findLargest(Download& d) {
    const auto& e = d.tracks.entries;
    d.largest = static_cast<std::size_t>(
        std::max_element(e.begin(), e.end(),
                         [](const auto& a, const auto& b) { return a.fixes < b.fixes; }) -
        e.begin());
}

// The generated memory: flights of up to two hours.
const Download& generated() {
    static const Download d = [] {
        std::ifstream in(QR_BENCH_MEMORY_33000, std::ios::binary);
        if (!in) throw std::runtime_error("generated memory missing");
        std::ostringstream text;
        text << in.rdbuf();
        Download d;
        qr::NullEvaluationObserver none;
        const int count = qr::evaluateDownload(text.str(), d.buffer, none);
        d.tracks = qr::splitTracks(d.buffer.lines(), static_cast<std::size_t>(count));
        findLargest(d);
        return d;
    }();
    return d;
}

// A full memory that is one flight: 32,990 fixes a second apart (over nine hours), on the
// ground for a minute, then climbing and sinking in waves while it flies north at 36 km/h.
const Download& oneFlight() {
    static const Download d = [] {
        std::string text = "AXVN 001\r\nHFDTE080726\r\n";
        char line[64];
        for (int i = 0; i < 32990; ++i) {
            const int t = 8 * 3600 + i;
            const int north = i < 60 ? 0 : (i - 60) * 10 * 60000 / 111195;  // milli-minutes
            const int altitude =
                800 + static_cast<int>(i < 60 ? 0 : 900 * (1 - std::cos(i / 900.0)));
            std::snprintf(line, sizeof line, "B%02d%02d%02d%02d%05dN01100000EA%05d%05d\r\n",
                          t / 3600, t / 60 % 60, t % 60, 47 + north / 60000, north % 60000,
                          altitude, altitude + 30);
            text += line;
        }
        Download d;
        qr::NullEvaluationObserver none;
        const int count = qr::evaluateDownload(text, d.buffer, none);
        d.tracks = qr::splitTracks(d.buffer.lines(), static_cast<std::size_t>(count));
        findLargest(d);
        return d;
    }();
    return d;
}

const Download& download(long kind) {
    return kind == 0 ? generated() : oneFlight();
}

std::vector<qr::flight::Fix> fixesOf(const Download& d, const qr::TrackEntry& entry) {
    const auto& lines = d.buffer.lines();
    return qr::flight::fixesOf(std::span<const std::string>(lines.data() + (entry.firstLine - 1),
                                                            entry.lastLine - entry.firstLine + 1));
}

// Argument 0: the generated memory; 1: the memory that is one long flight.
void BM_FactsOfEveryFlight(benchmark::State& state) {
    const Download& d = download(state.range(0));
    std::size_t fixes = 0;
    for (auto _ : state) {
        fixes = 0;
        for (const qr::TrackEntry& entry : d.tracks.entries) {
            const auto flight = fixesOf(d, entry);
            fixes += flight.size();
            benchmark::DoNotOptimize(qr::flight::flightFacts(flight));
        }
    }
    state.counters["lines"] = static_cast<double>(d.buffer.count());
    state.counters["flights"] = static_cast<double>(d.tracks.entries.size());
    state.counters["fixes"] = static_cast<double>(fixes);
}
BENCHMARK(BM_FactsOfEveryFlight)
    ->Arg(0)
    ->Arg(1)
    ->ComputeStatistics("min", fastest)
    ->Unit(benchmark::kMillisecond);

void BM_BarogramOfLargestFlight(benchmark::State& state) {
    const Download& d = download(state.range(0));
    const auto fixes = fixesOf(d, d.tracks.entries[d.largest]);
    const auto facts = qr::flight::flightFacts(fixes);
    for (auto _ : state) benchmark::DoNotOptimize(qr::flight::drawBarogram(fixes, facts, 1));
    state.counters["fixes"] = static_cast<double>(fixes.size());
}
BENCHMARK(BM_BarogramOfLargestFlight)
    ->Arg(0)
    ->Arg(1)
    ->ComputeStatistics("min", fastest)
    ->Unit(benchmark::kMillisecond);

// The mouse comes to rest on the largest flight's entry until its tooltip is shown. First
// argument: the memory (as above); second: the barogram drawn the first time (1) or kept
// from before (0).
void BM_ToolTipOfLargestFlight(benchmark::State& state) {
    const Download& d = download(state.range(0));
    const bool firstTime = state.range(1) == 1;
    QListWidget list;
    for (const auto& entry : d.tracks.entries)
        new QListWidgetItem("Track " + QString::number(entry.track), &list);
    list.resize(400, 300);
    list.show();
    auto& tips = qr::TrackToolTips::of(&list);
    tips.rebuild(d.buffer.lines(), d.tracks);
    QListWidgetItem* item = list.item(static_cast<int>(d.largest));
    list.scrollToItem(item);
    const QPoint at = list.visualItemRect(item).center();
    for (auto _ : state) {
        state.PauseTiming();
        QToolTip::hideText();
        if (firstTime) tips.rebuild(d.buffer.lines(), d.tracks);
        state.ResumeTiming();
        QHelpEvent hover(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
        QApplication::sendEvent(list.viewport(), &hover);
        if (!QToolTip::isVisible()) state.SkipWithError("no tooltip shown");
    }
    state.counters["fixes"] = static_cast<double>(tips.fixes(static_cast<int>(d.largest)).size());
}
BENCHMARK(BM_ToolTipOfLargestFlight)
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({1, 0})
    ->ComputeStatistics("min", fastest)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says on every tooltip that it cannot raise a window.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && !text.contains("raise()"))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
