// The logger simulator, spoken to over its pseudo-terminal by a plain file descriptor.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <chrono>
#include <string>
#include <thread>

#include "qvdsim/LoggerSimulator.h"
#include "qvdsim/SentenceReader.h"
#include "serial/LineSpeed.h"

using namespace std::chrono_literals;

namespace qr::sim {
namespace {

// The program's end of the line, kept as simple as possible.
class Line {
public:
    explicit Line(const std::string& path, int speed = 4800) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        EXPECT_GE(fd_, 0);
        termios tio{};
        ::tcgetattr(fd_, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd_, TCSANOW, &tio);
        setSpeed(speed);
    }
    ~Line() { ::close(fd_); }
    void setSpeed(int speed) { EXPECT_EQ(serial::setLineSpeed(fd_, speed), 0); }
    [[nodiscard]] ::testing::AssertionResult send(const std::string& bytes) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written == static_cast<ssize_t>(bytes.size())) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "wrote " << written << " of " << bytes.size();
    }
    // Reads until the line has been quiet for the given time after the first byte; waits
    // up to firstByte for that (a short time where no answer is expected).
    std::string collect(std::chrono::milliseconds quiet = 400ms,
                        std::chrono::milliseconds firstByte = 5s) {
        std::string out;
        const auto begin = std::chrono::steady_clock::now();
        auto last = begin;
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            ::poll(&p, 1, 10);
            char buf[4096];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            const auto now = std::chrono::steady_clock::now();
            if (n > 0) {
                out.append(buf, static_cast<std::size_t>(n));
                last = now;
            } else if (p.revents & POLLHUP) {
                break;
            } else if (out.empty() ? now - begin > firstByte : now - last > quiet) {
                break;
            } else if (now - begin > 60s) {
                break;
            }
        }
        return out;
    }
    // Whatever comes within the time (for answers that must not come).
    std::string nothingWithin(std::chrono::milliseconds time) { return collect(time, time); }
    // Reads exactly count bytes, however slowly they come (up to 60 s).
    std::string take(std::size_t count) {
        std::string out;
        const auto end = std::chrono::steady_clock::now() + 60s;
        while (out.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            ::poll(&p, 1, 10);
            char buf[4096];
            const ssize_t n = ::read(fd_, buf, std::min(sizeof buf, count - out.size()));
            if (n > 0) out.append(buf, static_cast<std::size_t>(n));
        }
        return out;
    }
    // Bytes waiting to be read now.
    int waiting() const {
        int count = 0;
        ::ioctl(fd_, FIONREAD, &count);
        return count;
    }
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

SimulatorConfig unpaced(std::string memory = "AQVD1\r\nHFDTE010124\r\nB1\r\n") {
    SimulatorConfig config;
    config.memory = std::move(memory);
    config.pacing = false;
    return config;
}

TEST(SentenceReaderTest, SplitsSentencesAndTakesRawSetBytes) {
    SentenceReader reader;
    std::vector<Sentence> all;
    // LF CR noise first; the SET value bytes are CR, LF and a comma; sentences cut anywhere.
    const std::string stream = std::string("\n\r$PQVD,ON\r\n$PQVD,SET,000F,\r\r\n") +
                               "$PQVD,SET,00EF,\n\r\n$PQVD,IGC,4\r\n$PQV$PQVD,SET,00CF,,\r\n" +
                               std::string("$PQVD,SET,0010,\0\r\n", 18) + "$PQVD,STA\r\n";
    for (char c : stream)
        for (auto& s : reader.feed(std::string(1, c))) all.push_back(s);
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(all[0].command, "ON");
    EXPECT_EQ(all[1].command, "SET");
    EXPECT_EQ(all[1].address, 0x000F);
    EXPECT_EQ(all[1].value, '\r');
    EXPECT_EQ(all[2].value, '\n');
    EXPECT_EQ(all[3].command, "IGC");
    EXPECT_EQ(all[3].argument, "4");
    EXPECT_EQ(all[4].address, 0x00CF);
    EXPECT_EQ(all[4].value, ',');
    EXPECT_EQ(all[5].value, 0);
    EXPECT_EQ(all[6].command, "STA");
}

TEST(LoggerSimulatorTest, AnswersTheShortCommands) {
    LoggerSimulator sim(unpaced());
    sim.start();
    Line line(sim.devicePath());
    struct Case {
        std::string sentence, answer;
    } cases[] = {{"$PQVD,ON\r\n", "$PQVD,ON,OK\r\n"},
                 {"$PQVD,OFF\r\n", "$PQVD,OFF,OK\r\n"},
                 {std::string("$PQVD,SET,00EF,\xFF\r\n"), "$PQVD,SET,00EF,OK\r\n"},
                 {"\n\r$PQVD,SET,0000,X\r\n", "$PQVD,SET,0000,OK\r\n"}};
    std::string sent;
    for (const auto& c : cases) {
        ASSERT_TRUE(line.send(c.sentence));
        sent += c.sentence;
        EXPECT_EQ(line.collect(), c.answer) << c.sentence;
    }
    EXPECT_EQ(sim.received(), sent);
    EXPECT_EQ(sim.settings(0xEF, 1), "\xFF");
    EXPECT_EQ(sim.settings(0, 3), "Xot");

    ASSERT_TRUE(line.send("$PQVD,STA\r\n"));
    const std::string status = line.collect();
    EXPECT_EQ(status, sim.statusAnswer());
    const auto flash = status.find("DATAFLASH USED: ");
    ASSERT_NE(flash, std::string::npos);
    const auto lineStart = status.rfind('\n', flash) + 1;
    EXPECT_EQ(flash, lineStart);
    EXPECT_EQ(status.substr(flash + 16, 10), "00000001\r\n");  // 24 bytes of memory
    EXPECT_NE(status.find("\r\nGLIDERID: "), std::string::npos);

    ASSERT_TRUE(line.send("$PQVD,DEL\r\n"));
    EXPECT_EQ(line.collect(), "$PQVD,DEL,OK\r\n");
    EXPECT_EQ(sim.memory(), "");
    EXPECT_EQ(sim.sentencesReceived("SET"), 2);
}

TEST(LoggerSimulatorTest, SendsTheMemoryOnceTheProgramHasSwitchedSpeed) {
    const std::string memory = sampleMemory().substr(0, 20000);
    LoggerSimulator sim(unpaced(memory));
    sim.start();
    Line line(sim.devicePath());
    ASSERT_TRUE(line.send("$PQVD,IGC,5\r\n"));
    std::this_thread::sleep_for(200ms);
    line.setSpeed(115200);
    EXPECT_EQ(line.collect(), memory);

    // A program that stays at 4800 gets noise of about a twenty-fourth of the length.
    line.setSpeed(4800);
    ASSERT_TRUE(line.send("$PQVD,IGC,5\r\n"));
    const std::string noise = line.collect();
    EXPECT_GT(noise.size(), memory.size() / 48);
    EXPECT_LT(noise.size(), memory.size() / 12);
    EXPECT_EQ(noise.find_first_of("\r\n$"), std::string::npos);

    // Index 0 needs no switch; an unknown index gets no answer.
    ASSERT_TRUE(line.send("$PQVD,IGC,0\r\n"));
    EXPECT_EQ(line.collect(), memory);
    ASSERT_TRUE(line.send("$PQVD,IGC,-1\r\n"));
    EXPECT_EQ(line.nothingWithin(1500ms), "");
}

TEST(LoggerSimulatorTest, CommandsAtAWrongSpeedAreNoise) {
    LoggerSimulator sim(unpaced());
    sim.start();
    Line line(sim.devicePath(), 57600);
    ASSERT_TRUE(line.send("$PQVD,ON\r\n"));
    EXPECT_EQ(line.nothingWithin(1s), "");
    EXPECT_EQ(sim.received(), "$PQVD,ON\r\n");
    EXPECT_EQ(sim.sentencesReceived("ON"), 0);
}

TEST(LoggerSimulatorTest, Faults) {
    const std::string answer = "$PQVD,ON,OK\r\n";
    LoggerSimulator sim(unpaced());
    sim.start();
    Line line(sim.devicePath());

    sim.setFault(Fault::NoAnswer);
    ASSERT_TRUE(line.send("$PQVD,ON\r\n"));
    EXPECT_EQ(line.nothingWithin(1s), "");
    // The next fault only once this sentence has met its own (a busy simulator is late).
    const auto end = std::chrono::steady_clock::now() + 60s;
    while (sim.sentencesReceived("ON") < 1 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(5ms);

    sim.setFault(Fault::CutShort);
    ASSERT_TRUE(line.send("$PQVD,ON\r\n"));
    EXPECT_EQ(line.collect(), answer.substr(0, answer.size() / 2));

    sim.setFault(Fault::NoFinalCrLf);
    ASSERT_TRUE(line.send("$PQVD,ON\r\n"));
    EXPECT_EQ(line.collect(), "$PQVD,ON,OK");

    sim.setFault(Fault::Garbage);
    ASSERT_TRUE(line.send("$PQVD,ON\r\n"));
    const std::string garbled = line.collect();
    EXPECT_GT(garbled.size(), answer.size());
    EXPECT_NE(garbled.find(",OK\r\n"), std::string::npos);
    EXPECT_NE(garbled.substr(0, 6), "$PQVD,");

    // The first half at once, the rest after the stall. Read by count, not by a quiet time,
    // so that a slow reader still tells the halves apart: only a reader held up for the
    // whole stall finds the rest already waiting.
    sim.setFault(Fault::Stall);
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(line.send("$PQVD,ON\r\n"));
    const std::size_t half = answer.size() / 2;
    EXPECT_EQ(line.take(half), answer.substr(0, half));
    EXPECT_EQ(line.waiting(), 0);
    EXPECT_EQ(line.take(answer.size() - half), answer.substr(half));
    EXPECT_GE(std::chrono::steady_clock::now() - asked, 2s);  // the stall is 2 s

    // An answer at twice the speed is noise of half the length.
    sim.setFault(Fault::WrongSpeed);
    ASSERT_TRUE(line.send("$PQVD,ON\r\n"));
    EXPECT_EQ(line.collect(), garble(answer, 9600, 4800));

    // The simulator waits until it has read the first half (however late), then hangs up.
    sim.setFault(Fault::HangUp);
    ASSERT_TRUE(line.send("$PQVD,ON\r\n"));
    EXPECT_EQ(line.collect(), answer.substr(0, half));
    pollfd p{line.fd(), POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 5000), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    EXPECT_FALSE(sim.running());

    const std::string oldPath = sim.devicePath();
    sim.setFault(Fault::None);
    sim.replug();
    EXPECT_TRUE(sim.running());
    Line again(sim.devicePath());
    ASSERT_TRUE(again.send("$PQVD,OFF\r\n"));
    EXPECT_EQ(again.collect(), "$PQVD,OFF,OK\r\n");
}

TEST(LoggerSimulatorTest, PacesAtTheLineRate) {
    SimulatorConfig config;
    config.memory = std::string(480, 'B');  // 1 s at 4800 baud (10 bits a byte)
    LoggerSimulator sim(config);
    sim.start();
    Line line(sim.devicePath());
    ASSERT_TRUE(line.send("$PQVD,IGC,0\r\n"));
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(line.collect(), config.memory);
    // A lower bound only: pacing must not be faster than the line.
    EXPECT_GE(std::chrono::steady_clock::now() - begin, 1s);
}

TEST(QvdsimTool, ServesUntilItsInputEnds) {
    QTemporaryDir dir;
    const std::string ini = dir.filePath("settings.ini").toStdString();
    const std::string memoryFile = dir.filePath("memory.txt").toStdString();
    {
        QFile f(QString::fromStdString(memoryFile));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("AQVD1\r\nB1\r\n");
    }
    // A plain fork and exec: the thread sanitizer copes with those.
    int toTool[2], fromTool[2];
    ASSERT_EQ(::pipe(toTool), 0);
    ASSERT_EQ(::pipe(fromTool), 0);
    const char* argv[] = {
        QR_QVDSIM_TOOL, "--memory", memoryFile.c_str(), "--settings", ini.c_str(), "--com", "4",
        "--no-pacing",  "--fault",  "no-final-crlf",    nullptr};
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(toTool[0], STDIN_FILENO);
        ::dup2(fromTool[1], STDOUT_FILENO);
        ::close(toTool[1]);
        ::close(fromTool[0]);
        ::execv(QR_QVDSIM_TOOL, const_cast<char* const*>(argv));
        ::_exit(127);
    }
    ::close(toTool[0]);
    ::close(fromTool[1]);
    std::string path;
    char c;
    pollfd p{fromTool[0], POLLIN, 0};
    while (::poll(&p, 1, 20000) == 1 && ::read(fromTool[0], &c, 1) == 1 && c != '\n') path += c;
    ::close(fromTool[0]);
    EXPECT_EQ(QSettings(QString::fromStdString(ini), QSettings::IniFormat)
                  .value("Ports/COM4")
                  .toString()
                  .toStdString(),
              path);
    if (!path.empty()) {
        Line line(path);
        ASSERT_TRUE(line.send("$PQVD,IGC,0\r\n"));
        EXPECT_EQ(line.collect(), "AQVD1\r\nB1");
    }
    ::close(toTool[1]);  // the end of its input ends the tool
    int status = -1;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace qr::sim
