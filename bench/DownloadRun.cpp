// One full-size download through the real main window (offscreen) from the logger simulator,
// which paces its output as a real line at the chosen speed would. Measures what the user
// would notice: how long the download takes against the time the line needs, how long the
// window's event loop is ever kept from running, and how much memory the process takes.
//
//   bench_download [--memory FILE] [--speed-index N]
//
// Prints key=value lines (times in seconds or milliseconds as the key says); exits with 1
// when the download did not come through whole or an error box was shown.
#include <sys/resource.h>

#include <QComboBox>
#include <QEvent>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/AppContext.h"
#include "app/QuendarixApplication.h"
#include "app/SettingsStore.h"
#include "logger/LoggerCommands.h"
#include "logger/TZelmor.h"
#include "qvdsim/LoggerSimulator.h"

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Answers nothing and remembers every error box.
class RecordingPrompts : public qr::UserPrompts {
public:
    void showError(QWidget*, const QString& text) override { errors.push_back(text); }
    bool confirmOkCancel(QWidget*, const QString&, const QString&) override { return false; }
    bool confirmYesNo(QWidget*, const QString&, const QString&) override { return false; }
    std::optional<QString> chooseDirectory(QWidget*, const QString&) override { return {}; }
    int execModal(QDialog&) override { return 0; }

    QStringList errors;
};

// The gaps between the ticks of a 1 ms timer: each is how long the event loop was held up.
class StallMeter : public QObject {
public:
    struct Gap {
        Clock::time_point start;
        Clock::duration length;
        Clock::time_point end() const { return start + length; }
    };

    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        connect(&timer_, &QTimer::timeout, this, [this] {
            const auto now = Clock::now();
            gaps_.push_back({last_, now - last_});
            last_ = now;
            if (onTick) onTick();
        });
    }
    void start() {
        last_ = Clock::now();
        timer_.start();
    }
    void stop() { timer_.stop(); }
    const std::vector<Gap>& gaps() const { return gaps_; }
    std::function<void()> onTick;

private:
    QTimer timer_;
    Clock::time_point last_;
    std::vector<Gap> gaps_;
};

// Calls back each time the watched widget is shown.
class ShowWatcher : public QObject {
public:
    explicit ShowWatcher(std::function<void()> shown) : shown_(std::move(shown)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) shown_();
        return false;
    }

private:
    std::function<void()> shown_;
};

// VmHWM or VmRSS of this process in kB, from /proc/self/status.
long statusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
    return -1;
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto toSeconds = [](timeval t) {
        return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
    };
    return toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
}

// Busy and total jiffies of all CPUs, from the first line of /proc/stat.
struct CpuTimes {
    double busy = 0, total = 0;
};
CpuTimes systemCpu() {
    std::ifstream stat("/proc/stat");
    std::string cpu;
    double user, nice, system, idle, iowait, irq, softirq, steal;
    stat >> cpu >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal;
    const double busy = user + nice + system + irq + softirq + steal;
    return {busy, busy + idle + iowait};
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    double one = 0, five = 0, fifteen = 0;
    in >> one >> five >> fifteen;
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f", one, five, fifteen);
    return text;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t countLines(const std::string& memory) {
    std::size_t n = 0;
    for (std::size_t p = memory.find("\r\n"); p != std::string::npos;
         p = memory.find("\r\n", p + 2))
        ++n;
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    std::string memoryPath = QR_BENCH_DOWNLOAD_MEMORY;
    int speedIndex = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--memory") {
            memoryPath = argv[i + 1];
        } else if (arg == "--speed-index") {
            speedIndex = std::atoi(argv[i + 1]);
        } else {
            std::fprintf(stderr, "usage: bench_download [--memory FILE] [--speed-index N]\n");
            return 2;
        }
    }
    const int speed = qr::sim::speedForIndex(speedIndex);
    if (speed == 0) {
        std::fprintf(stderr, "bench_download: no speed for index %d\n", speedIndex);
        return 2;
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;  // the settings of this run only
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qr::QuendarixApplication app(argc, argv);
    RecordingPrompts prompts;
    qr::AppContext context(prompts, "Quendarix-reader");
    app.setContext(&context);

    qr::sim::SimulatorConfig simConfig;
    simConfig.memory = readFile(memoryPath);
    simConfig.pacing = true;
    const std::size_t bytes = simConfig.memory.size();
    const std::size_t expectedLines = countLines(simConfig.memory);
    const double lineTime = static_cast<double>(bytes) * 10.0 / speed;
    const double quietTime = std::chrono::duration<double>(qr::kQuietTime).count();
    const double pauseTime = qr::kSpeedSwitchPauseMs / 1000.0;

    qr::sim::LoggerSimulator simulator(simConfig);
    simulator.start();
    simulator.registerAs(qr::SettingsStore::defaultPath().toStdString(), 1);
    simConfig.memory.clear();
    simConfig.memory.shrink_to_fit();

    qr::TZelmor window(context);
    window.show();  // opens the settings, probes COM 1
    auto* start = window.findChild<QPushButton*>("ButtonStart");
    auto* status = window.findChild<QPushButton*>("ButtonBAT");
    auto* baud = window.findChild<QComboBox*>("ComboBoxBaud");
    if (!start || !status || !baud || !start->isVisible()) {
        std::fprintf(stderr, "bench_download: COM 1 did not open\n");
        return 1;
    }
    baud->setCurrentIndex(speedIndex);
    emit baud->activated(speedIndex);

    // The end of an evaluation shows the command buttons again.
    int evaluations = 0;
    Clock::time_point evaluated;
    ShowWatcher watcher([&] {
        ++evaluations;
        evaluated = Clock::now();
    });
    status->installEventFilter(&watcher);

    StallMeter meter;
    Clock::time_point pressed, switched, firstByte, finished;
    long rssBefore = 0;
    double cpuBefore = 0;
    CpuTimes systemBefore;
    std::string loadBefore;
    bool complete = false;
    const auto deadline = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(pauseTime + lineTime * 1.5 + 30.0));

    meter.onTick = [&] {
        const auto now = Clock::now();
        if (pressed == Clock::time_point{}) return;
        if (firstByte == Clock::time_point{} && !window.exchange().receiveBuffer().empty())
            firstByte = now;
        if (finished == Clock::time_point{}) {
            complete = evaluations > 0 && status->isVisible() &&
                       static_cast<std::size_t>(window.lineCount()) == expectedLines;
            if (complete || now - pressed > deadline) finished = complete ? evaluated : now;
            return;
        }
        // Go on a little: the repaint after the evaluation belongs to the download too.
        if (now - finished > std::chrono::milliseconds(500)) {
            meter.stop();
            app.quit();
        }
    };

    QTimer::singleShot(300, [&] {  // let the window settle first
        loadBefore = loadAverage();
        rssBefore = statusKb("VmHWM");
        cpuBefore = processCpuSeconds();
        systemBefore = systemCpu();
        meter.start();
        QTimer::singleShot(50, [&] {
            pressed = Clock::now();
            start->click();  // sends the command, pauses 200 ms, switches the speed
            switched = Clock::now();
        });
    });
    app.exec();

    const double cpu = processCpuSeconds() - cpuBefore;
    const CpuTimes systemAfter = systemCpu();
    const double cores = std::max(1.0, static_cast<double>(std::thread::hardware_concurrency()));
    const double runSeconds = seconds(finished - pressed);
    const double systemShare = (systemAfter.busy - systemBefore.busy) /
                               std::max(1.0, systemAfter.total - systemBefore.total) * cores;
    const double ownShare = cpu / std::max(1e-9, runSeconds);

    // The stalls: the gap that holds the button press also holds the required pause before
    // the speed switch; outside that pause it counts with its own work only.
    double rawMax = 0, clickGap = 0, collectMax = 0, evaluationGap = 0, afterMax = 0;
    std::size_t over16 = 0, over50 = 0;
    std::vector<double> lengths;
    for (const auto& gap : meter.gaps()) {
        const double ms = Ms(gap.length).count();
        rawMax = std::max(rawMax, ms);
        double counted = ms;
        if (gap.start <= pressed && gap.end() >= switched) {
            counted = std::max(0.0, ms - qr::kSpeedSwitchPauseMs);
            clickGap = counted;
        } else if (gap.start <= finished && gap.end() >= finished) {
            evaluationGap = ms;
        } else if (gap.end() > finished) {
            afterMax = std::max(afterMax, ms);
        } else if (gap.start >= switched) {
            collectMax = std::max(collectMax, ms);
        }
        lengths.push_back(counted);
        over16 += counted > 16 ? 1 : 0;
        over50 += counted > 50 ? 1 : 0;
    }
    std::sort(lengths.begin(), lengths.end());
    const auto percentile = [&](double p) {
        return lengths.empty() ? 0.0 : lengths[static_cast<std::size_t>(p * (lengths.size() - 1))];
    };

    std::printf("memory_file=%s\n", memoryPath.c_str());
    std::printf("bytes=%zu\nlines=%zu\nlines_received=%d\nspeed_bps=%d\n", bytes, expectedLines,
                window.lineCount(), speed);
    std::printf("complete=%d\nevaluations=%d\nerror_boxes=%lld\n", complete ? 1 : 0, evaluations,
                static_cast<long long>(prompts.errors.size()));
    for (const QString& error : prompts.errors)
        std::printf("error=%s\n", error.toLocal8Bit().constData());
    std::printf("line_time_s=%.4f\nquiet_time_s=%.4f\npause_s=%.4f\n", lineTime, quietTime,
                pauseTime);
    std::printf("wall_from_press_s=%.4f\n", runSeconds);
    std::printf("wall_from_switch_s=%.4f\n", seconds(finished - switched));
    std::printf("first_byte_after_switch_ms=%.1f\n", Ms(firstByte - switched).count());
    std::printf("stall_max_raw_ms=%.2f\n", rawMax);
    std::printf("stall_max_outside_pause_ms=%.2f\n", lengths.empty() ? 0.0 : lengths.back());
    std::printf("stall_press_without_pause_ms=%.2f\n", clickGap);
    std::printf("stall_collecting_max_ms=%.2f\n", collectMax);
    std::printf("stall_evaluation_ms=%.2f\n", evaluationGap);
    std::printf("stall_after_max_ms=%.2f\n", afterMax);
    std::printf("stall_p99_ms=%.2f\nstall_p50_ms=%.2f\n", percentile(0.99), percentile(0.5));
    std::printf("ticks=%zu\ngaps_over_16ms=%zu\ngaps_over_50ms=%zu\n", lengths.size(), over16,
                over50);
    std::printf("vmhwm_before_kb=%ld\nvmhwm_kb=%ld\nvmrss_kb=%ld\n", rssBefore, statusKb("VmHWM"),
                statusKb("VmRSS"));
    std::printf("cpu_s=%.2f\ncpu_share_own=%.3f\ncpu_share_all=%.3f\ncores=%.0f\n", cpu, ownShare,
                systemShare, cores);
    std::printf("loadavg_before=%s\nloadavg_after=%s\n", loadBefore.c_str(), loadAverage().c_str());
    app.setContext(nullptr);
    return complete && prompts.errors.isEmpty() ? 0 : 1;
}
