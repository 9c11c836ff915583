#include "qvdsim/LoggerSimulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "app/SettingsStore.h"
#include "common/FdIo.h"
#include "qvdsim/SentenceReader.h"
#include "serial/LineSpeed.h"

namespace qr::sim {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kCommandSpeed = 4800;
constexpr milliseconds kAnswerDelay{30};
constexpr milliseconds kDownloadDelay{200};
constexpr milliseconds kSpeedSwitchLimit{1000};
// How long a hang-up waits for the program to read the bytes before it (awaitRead).
constexpr milliseconds kHangUpGrace{200};
constexpr milliseconds kHangUpLimit{5000};

// One answer on its way out.
struct Transmission {
    std::string bytes;
    std::size_t sent = 0;
    Clock::time_point notBefore;
    int speed = kCommandSpeed;      // the speed the program should listen at
    int lineSpeed = kCommandSpeed;  // the speed the answer goes out at
    bool awaitSpeed = false;        // a download: wait for the program to switch speeds
    Clock::time_point speedDeadline;
    std::size_t pauseAt = std::string::npos;
    milliseconds pauseFor{0};
    std::size_t hangUpAt = std::string::npos;
    bool started = false;  // pacing runs from startedAt
    Clock::time_point startedAt;
    std::size_t paced = 0;
};

std::string fixedText(const std::vector<unsigned char>& settings, int address) {
    return std::string(settings.begin() + address, settings.begin() + address + 16);
}

// Waits until the program has read what was written to the master, since closing the master
// throws away what the slave side has not read: until the slave side's input queue (seen
// through the slave the simulator holds) has filled and emptied again, at most kHangUpLimit.
// The kernel hands written bytes to that queue a moment later, so an empty queue alone
// proves nothing; one that stays empty for kHangUpGrace was read at once.
void awaitRead(int slave, int stopFd) {
    const auto begin = Clock::now();
    bool seen = false;
    for (;;) {
        int waiting = 0;
        if (::ioctl(slave, FIONREAD, &waiting) != 0) return;
        if (waiting > 0)
            seen = true;
        else if (seen)
            return;
        const auto elapsed = Clock::now() - begin;
        if ((!seen && elapsed >= kHangUpGrace) || elapsed >= kHangUpLimit) return;
        pollfd stop{stopFd, POLLIN, 0};
        if (::poll(&stop, 1, 2) != 0) return;
    }
}

}  // namespace

int speedForIndex(int index) {
    static constexpr int kSpeeds[] = {4800, 9600, 19200, 38400, 57600, 115200};
    return index >= 0 && index < 6 ? kSpeeds[index] : 0;
}

std::string garble(const std::string& bytes, int senderSpeed, int receiverSpeed) {
    if (bytes.empty() || senderSpeed <= 0 || receiverSpeed <= 0) return {};
    // A receiver that samples too slowly sees fewer characters, one that samples too fast
    // sees more; either way none of them makes sense.
    const std::size_t count =
        std::max<std::size_t>(1, bytes.size() * static_cast<std::size_t>(receiverSpeed) /
                                     static_cast<std::size_t>(senderSpeed));
    std::string out(count, '\0');
    std::uint32_t state = 2166136261u;
    for (std::size_t i = 0; i < count; ++i) {
        state = (state ^ static_cast<unsigned char>(bytes[i % bytes.size()])) * 16777619u;
        out[i] = static_cast<char>(0x80 | (state >> 24));
    }
    return out;
}

std::string sampleMemory() {
    std::ifstream in(QR_QVDSIM_SAMPLE_MEMORY, std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot read ") + QR_QVDSIM_SAMPLE_MEMORY);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct LoggerSimulator::Impl {
    explicit Impl(SimulatorConfig c) : config(std::move(c)), settings(0x10000, 0xFF) {
        if (config.memory.empty()) config.memory = sampleMemory();
        memory = config.memory;
        const std::string notSet = "not set         ";
        for (int base : {0x00, 0x10, 0x20, 0x30})
            std::copy(notSet.begin(), notSet.end(), settings.begin() + base);
        settings[0xCF] = 5;
        settings[0xDF] = 33;
        settings[0xEF] = 0;
    }

    SimulatorConfig config;

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::string received;
    std::string memory;
    std::vector<unsigned char> settings;
    Fault fault = Fault::None;
    std::map<std::string, int> sentenceCounts;
    bool busy = false;  // an answer is on its way
    int master = -1;
    int slave = -1;  // held open so the master never sees a hang-up of its own
    bool serving = false;
    std::string path;
    std::optional<std::pair<std::string, int>> registration;

    std::jthread thread;
    int stopFd = -1;

    void openPty();
    void closePty();  // mutex held
    void serve(std::stop_token stop);
    void handle(const Sentence& sentence, std::deque<Transmission>& outbox);
    void queueAnswer(std::string bytes, std::deque<Transmission>& outbox, bool download, int speed,
                     Fault current);
    std::string status() const;  // mutex held
};

void LoggerSimulator::Impl::openPty() {
    const int m = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m < 0) throw std::runtime_error("qvdsim: no pseudo-terminal");
    char name[128];
    if (::grantpt(m) != 0 || ::unlockpt(m) != 0 || ::ptsname_r(m, name, sizeof name) != 0) {
        ::close(m);
        throw std::runtime_error("qvdsim: cannot set up the pseudo-terminal");
    }
    const int s = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (s < 0) {
        ::close(m);
        throw std::runtime_error(std::string("qvdsim: cannot open ") + name);
    }
    // The logger's line: raw bytes, commands at 4800 baud, no echo.
    termios tio{};
    ::tcgetattr(s, &tio);
    ::cfmakeraw(&tio);
    ::cfsetspeed(&tio, B4800);
    ::tcsetattr(s, TCSANOW, &tio);
    master = m;
    slave = s;
    path = name;
}

void LoggerSimulator::Impl::closePty() {
    if (master >= 0) ::close(master);
    if (slave >= 0) ::close(slave);
    master = slave = -1;
    serving = false;
    busy = false;
    changed.notify_all();
}

std::string LoggerSimulator::Impl::status() const {
    if (!config.statusAnswer.empty()) return config.statusAnswer;
    const std::size_t used = (memory.size() + 622) / 623;
    char flash[32];
    std::snprintf(flash, sizeof flash, "%08zu", used % 100000000);
    std::string out;
    out += "QUENDARIX GPS LOGGER FW 1.14\r\n";
    out += "SERIAL NO: 0471\r\n";
    out += "BATTERY: 3.98 V\r\n";
    out += std::string("DATAFLASH USED: ") + flash + "\r\n";
    out += "PILOT: " + fixedText(settings, 0x00) + "\r\n";
    out += "GLIDERTYPE: " + fixedText(settings, 0x10) + "\r\n";
    out += "GLIDERID: " + fixedText(settings, 0x20) + "\r\n";
    out += "INTERVAL: " + std::to_string(settings[0xCF]) + " S\r\n";
    out += "POWER DOWN: " + std::to_string(settings[0xDF]) + " MIN\r\n";
    out += std::string("LCD: ") + (settings[0xEF] ? "ON" : "OFF") + "\r\n";
    return out;
}

void LoggerSimulator::Impl::queueAnswer(std::string bytes, std::deque<Transmission>& outbox,
                                        bool download, int speed, Fault current) {
    if (current == Fault::NoAnswer || bytes.empty()) return;
    Transmission t;
    const std::size_t half = bytes.size() / 2;
    switch (current) {
        case Fault::CutShort:
            bytes.resize(half);
            break;
        case Fault::Stall:
            t.pauseAt = half;
            t.pauseFor = config.stallTime;
            break;
        case Fault::HangUp:
            t.hangUpAt = half;
            break;
        case Fault::Garbage: {
            const std::string noise = garble(bytes.substr(0, 24), 9600, 9600);
            bytes.insert(half, noise.substr(0, 12));
            bytes.insert(0, noise);
            break;
        }
        case Fault::NoFinalCrLf:
            if (bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0)
                bytes.resize(bytes.size() - 2);
            break;
        case Fault::WrongSpeed:
            t.lineSpeed = 2 * speed;
            break;
        default:
            break;
    }
    if (bytes.empty()) return;
    t.bytes = std::move(bytes);
    t.speed = speed;
    if (current != Fault::WrongSpeed) t.lineSpeed = speed;
    const auto now = Clock::now();
    t.notBefore = now + (download ? kDownloadDelay : kAnswerDelay);
    t.awaitSpeed = download;
    t.speedDeadline = now + kSpeedSwitchLimit;
    outbox.push_back(std::move(t));
    std::lock_guard lock(mutex);
    busy = true;
}

void LoggerSimulator::Impl::handle(const Sentence& s, std::deque<Transmission>& outbox) {
    std::string answer;
    bool download = false;
    int speed = kCommandSpeed;
    Fault current;
    {
        // The fault in force when the sentence is counted is the one its answer gets.
        std::lock_guard lock(mutex);
        current = fault;
        ++sentenceCounts[s.command];
        if (s.command == "ON" || s.command == "OFF") {
            answer = "$PQVD," + s.command + ",OK\r\n";
        } else if (s.command == "STA") {
            answer = status();
        } else if (s.command == "DEL") {
            memory.clear();
            answer = "$PQVD,DEL,OK\r\n";
        } else if (s.command == "SET") {
            settings[static_cast<std::size_t>(s.address)] = s.value;
            char text[32];
            std::snprintf(text, sizeof text, "$PQVD,SET,%04X,OK\r\n", s.address);
            answer = text;
        } else if (s.command == "IGC") {
            const int index = s.argument.size() == 1 && s.argument[0] >= '0' && s.argument[0] <= '9'
                                  ? s.argument[0] - '0'
                                  : -1;
            speed = speedForIndex(index);
            if (speed == 0) return;  // the logger ignores a speed it does not know
            answer = memory;
            download = true;
        }
    }
    queueAnswer(std::move(answer), outbox, download, speed, current);
}

void LoggerSimulator::Impl::serve(std::stop_token stop) {
    SentenceReader reader;
    std::deque<Transmission> outbox;
    const int fd = master;
    const int slaveFd = slave;
    while (!stop.stop_requested()) {
        const auto now = Clock::now();
        int timeout = -1;
        bool wantWrite = false;
        const int programSpeed = serial::lineSpeed(fd);
        if (!outbox.empty()) {
            Transmission& t = outbox.front();
            if (t.awaitSpeed && now >= t.notBefore && programSpeed != t.speed &&
                now < t.speedDeadline) {
                timeout = 5;  // watch the program switch its speed
            } else if (now < t.notBefore) {
                timeout =
                    static_cast<int>(std::chrono::ceil<milliseconds>(t.notBefore - now).count());
            } else if (config.pacing && t.started) {
                const double elapsed = std::chrono::duration<double>(now - t.startedAt).count();
                const double allowed = elapsed * t.lineSpeed / 10.0 - static_cast<double>(t.paced);
                const double chunk = std::max(1.0, t.lineSpeed / 200.0);  // 5 ms worth of bytes
                if (allowed >= std::min(chunk, static_cast<double>(t.bytes.size() - t.sent)))
                    wantWrite = true;
                else
                    timeout =
                        std::max(1, static_cast<int>((chunk - allowed) * 10000.0 / t.lineSpeed));
            } else {
                wantWrite = true;
            }
        }
        pollfd fds[2] = {{fd, static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0)), 0},
                         {stopFd, POLLIN, 0}};
        if (::poll(fds, 2, timeout) < 0 && errno != EINTR) break;
        if (fds[1].revents) break;

        if (fds[0].revents & POLLIN) {
            char buf[4096];
            ssize_t n;
            while ((n = ::read(fd, buf, sizeof buf)) > 0) {
                const std::string bytes(buf, static_cast<std::size_t>(n));
                {
                    std::lock_guard lock(mutex);
                    received += bytes;
                    changed.notify_all();
                }
                const int speedNow = serial::lineSpeed(fd);
                const std::string heard =
                    speedNow == kCommandSpeed ? bytes : garble(bytes, speedNow, kCommandSpeed);
                for (const Sentence& s : reader.feed(heard)) handle(s, outbox);
            }
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            std::this_thread::sleep_for(milliseconds(10));  // cannot happen while we hold the slave
        }

        if (!wantWrite || !(fds[0].revents & POLLOUT) || outbox.empty()) continue;
        Transmission& t = outbox.front();
        const auto sendTime = Clock::now();
        if (!t.started) {
            t.started = true;
            t.startedAt = sendTime;
            t.paced = 0;
        }
        std::size_t limit = t.bytes.size();
        limit = std::min(limit, t.pauseAt);
        limit = std::min(limit, t.hangUpAt);
        std::size_t count = std::min<std::size_t>(limit - t.sent, 4096);
        if (config.pacing) {
            const double elapsed = std::chrono::duration<double>(sendTime - t.startedAt).count();
            const double allowed = elapsed * t.lineSpeed / 10.0 - static_cast<double>(t.paced);
            count = std::min(count, static_cast<std::size_t>(std::max(1.0, allowed)));
        }
        std::string chunk = t.bytes.substr(t.sent, count);
        if (programSpeed != t.lineSpeed) {
            (void)writeAll(fd, garble(chunk, t.lineSpeed, programSpeed));
        } else {
            const ssize_t n = ::write(fd, chunk.data(), chunk.size());
            count = n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        t.sent += count;
        t.paced += count;
        if (t.sent == t.hangUpAt) {
            // The program has the first half, as a real line would have delivered it.
            awaitRead(slaveFd, stopFd);
            std::lock_guard lock(mutex);
            closePty();
            return;
        }
        if (t.sent == t.pauseAt) {
            t.pauseAt = std::string::npos;
            t.notBefore = Clock::now() + t.pauseFor;
            t.started = false;
        }
        if (t.sent >= t.bytes.size()) {
            outbox.pop_front();
            if (outbox.empty()) {
                std::lock_guard lock(mutex);
                busy = false;
                changed.notify_all();
            }
        }
    }
}

LoggerSimulator::LoggerSimulator(SimulatorConfig config)
    : impl_(std::make_unique<Impl>(std::move(config))) {}

LoggerSimulator::~LoggerSimulator() {
    stop();
}

void LoggerSimulator::start() {
    Impl& d = *impl_;
    if (d.thread.joinable()) {
        std::lock_guard lock(d.mutex);
        if (d.serving) return;
    }
    stop();  // a thread that ended by a hang-up
    {
        std::lock_guard lock(d.mutex);
        d.openPty();
        d.serving = true;
        d.busy = false;
    }
    d.stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    d.thread = std::jthread([&d](std::stop_token stop) { d.serve(stop); });
}

void LoggerSimulator::stop() {
    Impl& d = *impl_;
    if (d.thread.joinable()) {
        d.thread.request_stop();
        const std::uint64_t one = 1;
        (void)!::write(d.stopFd, &one, sizeof one);
        d.thread.join();
    }
    if (d.stopFd >= 0) ::close(d.stopFd);
    d.stopFd = -1;
    std::lock_guard lock(d.mutex);
    d.closePty();
}

bool LoggerSimulator::running() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->serving;
}

std::string LoggerSimulator::devicePath() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->path;
}

void LoggerSimulator::registerAs(const std::string& iniPath, int comNumber) {
    const std::string path = devicePath();
    SettingsStore store(QString::fromStdString(iniPath));
    store.writeString("Ports", QString("COM%1").arg(comNumber), QString::fromStdString(path));
    std::lock_guard lock(impl_->mutex);
    impl_->registration = std::make_pair(iniPath, comNumber);
}

void LoggerSimulator::setFault(Fault fault) {
    std::lock_guard lock(impl_->mutex);
    impl_->fault = fault;
}

Fault LoggerSimulator::fault() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->fault;
}

std::string LoggerSimulator::received() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->received;
}

void LoggerSimulator::clearReceived() {
    std::lock_guard lock(impl_->mutex);
    impl_->received.clear();
}

bool LoggerSimulator::waitForReceived(std::size_t byteCount,
                                      std::chrono::milliseconds timeout) const {
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, timeout,
                                   [&] { return impl_->received.size() >= byteCount; });
}

bool LoggerSimulator::waitForIdle(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, timeout, [&] { return !impl_->busy; });
}

std::string LoggerSimulator::memory() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->memory;
}

void LoggerSimulator::setMemory(std::string memory) {
    std::lock_guard lock(impl_->mutex);
    impl_->memory = std::move(memory);
}

void LoggerSimulator::unplug() {
    stop();
}

void LoggerSimulator::replug() {
    stop();
    start();
    std::optional<std::pair<std::string, int>> registration;
    {
        std::lock_guard lock(impl_->mutex);
        registration = impl_->registration;
    }
    if (registration) registerAs(registration->first, registration->second);
}

std::string LoggerSimulator::settings(int address, int count) const {
    std::lock_guard lock(impl_->mutex);
    const auto& s = impl_->settings;
    const std::size_t from = static_cast<std::size_t>(std::clamp(address, 0, 0xFFFF));
    const std::size_t to = std::min(s.size(), from + static_cast<std::size_t>(std::max(0, count)));
    return std::string(s.begin() + static_cast<std::ptrdiff_t>(from),
                       s.begin() + static_cast<std::ptrdiff_t>(to));
}

int LoggerSimulator::programSpeed() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->master >= 0 ? serial::lineSpeed(impl_->master) : 0;
}

std::string LoggerSimulator::statusAnswer() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->status();
}

int LoggerSimulator::sentencesReceived(const std::string& command) const {
    std::lock_guard lock(impl_->mutex);
    const auto it = impl_->sentenceCounts.find(command);
    return it == impl_->sentenceCounts.end() ? 0 : it->second;
}

}  // namespace qr::sim
