// Speed of the serial port component over a pseudo-terminal, and of the simulated logger.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "app/PortTable.h"
#include "app/SettingsStore.h"
#include "qvdsim/LoggerSimulator.h"
#include "serial/TComPort.h"

namespace {

using Clock = std::chrono::steady_clock;

// A pty whose slave is entered as COM9 in a temporary settings store.
struct Line {
    Line() {
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::grantpt(master);
        ::unlockpt(master);
        char name[128];
        ::ptsname_r(master, name, sizeof name);
        qr::SettingsStore().writeString("Ports", "COM9", name);
        port.setDeviceResolver(qr::portsTableResolver());
        port.setPortNum(9);
        port.setBaudrate(qr::TComBaudrate::br115200);
    }
    ~Line() {
        port.Close();
        ::close(master);
    }
    void send(const char* data, std::size_t size) const {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(master, data + done, size - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                pollfd p{master, POLLOUT, 0};
                ::poll(&p, 1, 100);
            }
        }
    }
    QTemporaryDir dir;
    int master = -1;
    qr::TComPort port;
};

void pumpUntil(const std::function<bool()>& done) {
    const auto end = Clock::now() + std::chrono::seconds(60);
    while (!done() && Clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

// Bytes from the far end to a handler that reads them, as fast as the pty carries them.
void BM_SerialReceive(benchmark::State& state) {
    Line line;
    std::size_t received = 0;
    line.port.OnRxChar = [&](qr::TCustomComPort& sender, int) {
        received += sender.ReadText().size();
    };
    line.port.Open();
    const std::string block(static_cast<std::size_t>(state.range(0)), 'B');
    for (auto _ : state) {
        received = 0;
        std::thread writer([&] { line.send(block.data(), block.size()); });
        pumpUntil([&] { return received >= block.size(); });
        writer.join();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_SerialReceive)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

// Bytes queued with WriteText in sentence-sized pieces until the far end has them all.
void BM_SerialSend(benchmark::State& state) {
    Line line;
    line.port.Open();
    const std::string piece(64, 'S');
    const std::size_t total = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        std::size_t got = 0;
        std::thread reader([&] {
            char buf[8192];
            while (got < total) {
                const ssize_t n = ::read(line.master, buf, sizeof buf);
                if (n > 0) {
                    got += static_cast<std::size_t>(n);
                } else {
                    pollfd p{line.master, POLLIN, 0};
                    ::poll(&p, 1, 100);
                }
            }
        });
        for (std::size_t sent = 0; sent < total; sent += piece.size()) line.port.WriteText(piece);
        reader.join();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_SerialSend)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

// From a byte written at the far end to OnRxChar running on the GUI thread.
void BM_SerialRxLatency(benchmark::State& state) {
    Line line;
    Clock::time_point sentAt, handledAt;
    bool handled = false;
    line.port.OnRxChar = [&](qr::TCustomComPort& sender, int) {
        handledAt = Clock::now();
        sender.ReadText();
        handled = true;
    };
    line.port.Open();
    for (auto _ : state) {
        handled = false;
        sentAt = Clock::now();
        line.send("x", 1);
        pumpUntil([&] { return handled; });
        state.SetIterationTime(std::chrono::duration<double>(handledAt - sentAt).count());
    }
}
BENCHMARK(BM_SerialRxLatency)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A paced download from the simulated logger: the time it takes against the line time
// (10 bits per byte at the chosen speed); the counter ratio should stay near 1.
void BM_PacedDownload(benchmark::State& state) {
    const int index = static_cast<int>(state.range(0));
    const int speed = qr::sim::speedForIndex(index);
    qr::sim::SimulatorConfig config;
    config.memory = qr::sim::sampleMemory().substr(0, static_cast<std::size_t>(speed) / 10 * 2);
    qr::sim::LoggerSimulator logger(config);
    logger.start();
    Line line;
    logger.registerAs(qr::SettingsStore::defaultPath().toStdString(), 9);
    std::string got;
    line.port.OnRxChar = [&](qr::TCustomComPort& sender, int) { got += sender.ReadText(); };
    line.port.setBaudrate(qr::TComBaudrate::br4800);
    line.port.Open();
    const double lineTime = static_cast<double>(config.memory.size()) * 10.0 / speed;
    double ratio = 0;
    for (auto _ : state) {
        got.clear();
        line.port.setBaudrate(qr::TComBaudrate::br4800);
        line.port.WriteText("$PQVD,IGC," + std::to_string(index) + "\r\n");
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        line.port.setBaudrate(index == 4 ? qr::TComBaudrate::br57600 : qr::TComBaudrate::br115200);
        pumpUntil([&] { return !got.empty(); });
        const auto first = Clock::now();
        pumpUntil([&] { return got.size() >= config.memory.size(); });
        const double seconds = std::chrono::duration<double>(Clock::now() - first).count();
        state.SetIterationTime(seconds);
        ratio = seconds / lineTime;
    }
    state.counters["line_s"] = lineTime;
    state.counters["ratio"] = ratio;
}
BENCHMARK(BM_PacedDownload)
    ->Arg(4)
    ->Arg(5)
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
