// A logger that misbehaves or vanishes, met by the whole program: the real main window and
// settings dialog with their own serial ports, the logger simulator on a pseudo-terminal
// injecting one fault into the status command, the download or the settings transfer.
// For each fault and command: nothing crashes or hangs (the event loop turns while the
// command runs), the user sees what happened, what the program had (the line buffer of an
// earlier download where the program knows the command failed, a file written before) stays
// intact, and the next command works. Faults that the program cannot tell from a good
// answer are evaluated as they arrive; the runs check what the user sees then.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/TSetQVD.h"
#include "igc/IgcWriter.h"
#include "logger/TrackSplit.h"
#include "support/EventPump.h"
#include "support/SettingsDialogDriver.h"
#include "support/SimulatorWindow.h"
#include "support/SmallMemory.h"

using namespace std::chrono_literals;
using qr::test::asStored;
using qr::test::pumpUntil;
using qr::test::splitLines;

namespace qr {
namespace {

constexpr auto kDeadline = test::kEndToEndDeadline;
using Clock = std::chrono::steady_clock;

// ---- the logger's memory and what the program makes of bytes -------------------------------

const std::string kMemory = test::smallMemory();
const std::vector<int> kFixes = {40, 10, 12};

// The simulator's noise has the top bit set in every byte; the logger's texts never have.
std::string withoutNoise(const std::string& bytes) {
    std::string out;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) < 0x80) out += c;
    return out;
}

bool hasNoise(const std::string& bytes) {
    return withoutNoise(bytes) != bytes;
}

std::vector<int> fixesOf(const TrackList& tracks) {
    std::vector<int> fixes;
    for (const TrackEntry& entry : tracks.entries) fixes.push_back(entry.fixes);
    return fixes;
}

// The logger's answers to the first count settings sentences (the pilot's name, addresses
// 0000 onwards), each cut after keep bytes.
std::string setAnswers(int count, std::size_t keep = std::string::npos) {
    std::string all;
    for (int a = 0; a < count; ++a) {
        char answer[32];
        std::snprintf(answer, sizeof answer, "$PQVD,SET,%04X,OK\r\n", a);
        all += std::string(answer).substr(0, keep);
    }
    return all;
}

// The settings sentences for the pilot's name, 16 characters.
std::string setSentences(const std::string& pilot16) {
    std::string all;
    for (int a = 0; a < 16; ++a) {
        char head[16];
        std::snprintf(head, sizeof head, "$PQVD,SET,%04X,", a);
        all += std::string(head) + pilot16[static_cast<std::size_t>(a)] + "\r\n";
    }
    return all;
}

bool isPrefix(const std::string& part, const std::string& whole) {
    return whole.compare(0, part.size(), part) == 0 && part.size() <= whole.size();
}

// ---- watching the program while a command runs ----------------------------------------------

// A timer that ticks every few milliseconds: ticks prove that the event loop turned. The
// longest gap is recorded for the reader, never asserted.
class Heartbeat {
public:
    explicit Heartbeat(std::function<bool()> collecting) : collecting_(std::move(collecting)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const auto now = Clock::now();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
            ++ticks_;
            if (collecting_()) ++collectingTicks_;
        });
    }
    void start() {
        ticks_ = collectingTicks_ = 0;
        longest_ = {};
        last_ = Clock::now();
        timer_.start();
    }
    void stop() { timer_.stop(); }
    int ticks() const { return ticks_; }
    // Ticks while the main window was collecting an answer (inside its receive handler).
    int collectingTicks() const { return collectingTicks_; }
    long long longestGapMs() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(longest_).count();
    }

private:
    QTimer timer_;
    std::function<bool()> collecting_;
    int ticks_ = 0;
    int collectingTicks_ = 0;
    Clock::time_point last_;
    Clock::duration longest_{};
};

// ---- the table ------------------------------------------------------------------------------

enum class Command { Status, Download, Settings };

struct FaultCase {
    const char* name;
    Command command;
    sim::Fault fault;
    int speedIndex = 4;  // the download speed, 57600 bps unless told
};

// The row's name stands for it in test lists.
void PrintTo(const FaultCase& row, std::ostream* out) {
    *out << row.name;
}

const FaultCase kCases[] = {
    {"StatusNoAnswer", Command::Status, sim::Fault::NoAnswer},
    {"StatusCutShort", Command::Status, sim::Fault::CutShort},
    {"StatusStall", Command::Status, sim::Fault::Stall},
    {"StatusHangUp", Command::Status, sim::Fault::HangUp},
    {"StatusGarbage", Command::Status, sim::Fault::Garbage},
    {"StatusWrongSpeed", Command::Status, sim::Fault::WrongSpeed},
    {"StatusNoFinalCrLf", Command::Status, sim::Fault::NoFinalCrLf},
    {"DownloadNoAnswer", Command::Download, sim::Fault::NoAnswer},
    {"DownloadCutShort", Command::Download, sim::Fault::CutShort},
    {"DownloadStall", Command::Download, sim::Fault::Stall},
    {"DownloadHangUp", Command::Download, sim::Fault::HangUp},
    // At 4800 bps no speed is switched back after the answer: only the port knows.
    {"DownloadHangUpAt4800", Command::Download, sim::Fault::HangUp, 0},
    {"DownloadGarbage", Command::Download, sim::Fault::Garbage},
    {"DownloadWrongSpeed", Command::Download, sim::Fault::WrongSpeed},
    {"DownloadNoFinalCrLf", Command::Download, sim::Fault::NoFinalCrLf},
    {"SettingsNoAnswer", Command::Settings, sim::Fault::NoAnswer},
    {"SettingsCutShort", Command::Settings, sim::Fault::CutShort},
    {"SettingsStall", Command::Settings, sim::Fault::Stall},
    {"SettingsHangUp", Command::Settings, sim::Fault::HangUp},
    {"SettingsGarbage", Command::Settings, sim::Fault::Garbage},
    {"SettingsWrongSpeed", Command::Settings, sim::Fault::WrongSpeed},
    {"SettingsNoFinalCrLf", Command::Settings, sim::Fault::NoFinalCrLf},
};

class FaultTable : public ::testing::TestWithParam<FaultCase>,
                   protected test::SimulatorWindowDriver {
protected:
    void SetUp() override {
        const FaultCase& row = GetParam();
        sim::SimulatorConfig simConfig;
        simConfig.memory = kMemory;
        simConfig.pacing = false;
        // Longer than the dialog's 100 ms wait for an answer, and well beyond the quiet time
        // that ends the main window's collection (for the download also beyond the switch
        // back to 4800 baud that follows it).
        simConfig.stallTime = row.command == Command::Settings ? 300ms
                              : row.command == Command::Status ? 1500ms
                                                               : 2500ms;
        SettingsStore().writeString("Zelmor", "setPLT", "Zora Quendel");
        ASSERT_TRUE(startOnSimulator(simConfig, row.speedIndex));
        window->setSigner(sign);
        earlierFile = writeEarlierFile();
        earlierBytes = fileBytes(earlierFile);
        ASSERT_FALSE(earlierBytes.isEmpty());
    }

    void TearDown() override {
        // Written files stay as they were, and no half-written file is left in the folder.
        EXPECT_EQ(fileBytes(earlierFile), earlierBytes);
        QStringList expected{QFileInfo(QString::fromStdString(earlierFile)).fileName()};
        if (!laterFile.isEmpty()) expected << QFileInfo(laterFile).fileName();
        expected.sort();
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), expected);
        if (GetParam().fault != sim::Fault::HangUp) {
            EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join('\n').toStdString();
        }
    }

    static void sign(const std::string& path) { test::appendTestSignature(path); }

    static QByteArray fileBytes(const std::string& path) {
        return fileBytes(QString::fromStdString(path));
    }
    static QByteArray fileBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The first flight of a download, written by the file writer as "Fertig" writes it.
    std::string writeEarlierFile() {
        const TrackList tracks = splitTracks(earlierLines, earlierLines.size());
        const std::vector<TDateTime> starts = tracks.startTable();
        IgcWriteRequest request;
        request.lines = earlierLines;
        request.lineCount = static_cast<int>(earlierLines.size());
        request.firstARecord = tracks.firstARecord;
        request.trackStarts = starts;
        request.chosenIndex = 0;
        request.header = {"Zora Quendel",
                          "Alpha 5",
                          "D-1234",
                          "",
                          "",
                          "Hoher Hang",
                          "ZoQu",
                          folder.path().toStdString() + "/"};
        request.applicationTitle = "Quendarix-reader";
        request.signer = sign;
        return writeIgcFile(request);
    }

    // Lines 1 to the line count of the line buffer.
    std::vector<std::string> lines() {
        const auto& all = window->lineBuffer().lines();
        return {all.begin(), all.begin() + window->lineCount()};
    }
    // What "igc-Datei speichern" would list: the fixes of each track.
    std::vector<int> trackFixes() {
        return fixesOf(splitTracks(window->lineBuffer().lines(), lines().size()));
    }
    // The main window is inside its receive handler, collecting an answer.
    bool collecting() {
        return !window->findChild<QTimer*>("Timer1")->isActive() && !answered() &&
               !window->exchange().receiveBuffer().empty();
    }
    void expectDownloadAllowed(bool allowed) {
        for (const char* name : {"ButtonStart", "ButtonSet", "ButtonDel"})
            EXPECT_EQ(button(name)->isEnabled(), allowed) << name;
    }

    // Runs a main-window command to its end (and, after a hang-up, to the message about it).
    ::testing::AssertionResult run(const char* name, sim::Fault fault = sim::Fault::None) {
        simulator->setFault(fault);
        return runCommand(name,
                          [&] { return fault != sim::Fault::HangUp || !prompts.errors.isEmpty(); });
    }
    // The faulty command, watched.
    ::testing::AssertionResult runFaulty(const char* name) {
        const sim::Fault fault = GetParam().fault;
        heartbeat.start();
        ::testing::AssertionResult ended = run(name, fault);
        heartbeat.stop();
        simulator->setFault(sim::Fault::None);
        ::testing::Test::RecordProperty("longest_event_gap_ms",
                                        static_cast<int>(heartbeat.longestGapMs()));
        EXPECT_GT(heartbeat.ticks(), 0) << "the event loop never turned";
        if (fault != sim::Fault::NoAnswer) {
            EXPECT_GT(heartbeat.collectingTicks(), 0) << "no event while the answer came";
        }
        return ended;
    }

    void goodDownload() {
        ASSERT_TRUE(run("ButtonStart"));
        ASSERT_EQ(lines(), earlierLines);
        ASSERT_TRUE(button("ButtonAuswertung")->isVisible());
    }

    // These and goodDownload stop at a fatal failure; their callers check for one.
    void statusFault();
    void downloadFault();
    void settingsFault();
    void hangUpKeepsTheDownloadForTheTrackListAndTheWriter();

    QTemporaryDir folder;
    const std::vector<std::string> earlierLines = asStored(splitLines(kMemory));
    std::string earlierFile;
    QByteArray earlierBytes;
    QString laterFile;  // a file written after the fault, from what the program kept
    Heartbeat heartbeat{[this] { return collecting(); }};
};

void FaultTable::statusFault() {
    const sim::Fault fault = GetParam().fault;
    const std::string status = simulator->statusAnswer();
    const std::vector<std::string> whole = splitLines(status);
    const std::vector<std::string> firstHalf = splitLines(status.substr(0, status.size() / 2));
    if (fault == sim::Fault::NoAnswer) {  // the one status fault that keeps it
        ASSERT_NO_FATAL_FAILURE(goodDownload());
    }

    ASSERT_TRUE(runFaulty("ButtonBAT"));
    switch (fault) {
        case sim::Fault::NoAnswer:
            EXPECT_EQ(memo(), "Quendarix antwortet nicht!!!\n");
            EXPECT_EQ(lines(), earlierLines);
            expectDownloadAllowed(false);  // until a status names the glider
            break;
        case sim::Fault::CutShort:
            EXPECT_EQ(memoLines(), firstHalf);
            EXPECT_EQ(lines(), firstHalf);
            expectDownloadAllowed(false);  // the GLIDERID line never came
            break;
        case sim::Fault::Stall:
            // The rest comes after the stall: collected and shown as lines of their own.
            ASSERT_TRUE(pumpUntil([&] { return memoLines() == whole; }, kDeadline))
                << memo().toStdString();
            expectDownloadAllowed(true);
            break;
        case sim::Fault::HangUp:
            EXPECT_EQ(memoLines(), firstHalf);
            EXPECT_EQ(lines(), firstHalf);
            ASSERT_EQ(prompts.errors.size(), 1);
            EXPECT_EQ(prompts.errors[0],
                      "Die Verbindung zu Quendarix über COM 1 ist unterbrochen; empfangene Daten "
                      "können unvollständig sein. Bitte die Verbindung prüfen und den Befehl "
                      "wiederholen.");
            EXPECT_FALSE(window->comPort().IsOpen());
            expectDownloadAllowed(false);
            break;
        case sim::Fault::Garbage: {
            // Shown with the noise in it; the lines are all there around the noise.
            const std::string shown = memo().toLatin1().toStdString();
            EXPECT_TRUE(hasNoise(shown));
            std::vector<std::string> clean;
            for (const auto& line : memoLines()) clean.push_back(withoutNoise(line));
            EXPECT_EQ(clean, whole);
            EXPECT_EQ(lines().size(), whole.size());
            expectDownloadAllowed(true);
            break;
        }
        case sim::Fault::WrongSpeed:
            // Noise without a line end: nothing to show but the bytes counted.
            EXPECT_EQ(memo(), "");
            EXPECT_EQ(window->lineCount(), 0);
            EXPECT_EQ(panel(1), QString("Bytes empfangen: %1").arg(status.size() / 2));
            expectDownloadAllowed(false);
            break;
        case sim::Fault::NoFinalCrLf:
            // The last line has no end: it waits in the receive buffer for one.
            EXPECT_EQ(memoLines(), std::vector<std::string>(whole.begin(), whole.end() - 1));
            EXPECT_EQ(lines(), memoLines());
            EXPECT_EQ(window->exchange().receiveBuffer(), whole.back());
            expectDownloadAllowed(true);
            break;
        case sim::Fault::None:
            break;
    }

    if (fault == sim::Fault::HangUp) simulator->replug();
    ASSERT_TRUE(run("ButtonBAT"));
    EXPECT_EQ(memoLines(), whole);
    expectDownloadAllowed(true);
}

void FaultTable::downloadFault() {
    const sim::Fault fault = GetParam().fault;
    // The faults the program knows of keep the earlier download; the others replace it.
    if (fault == sim::Fault::NoAnswer || fault == sim::Fault::HangUp) {
        ASSERT_NO_FATAL_FAILURE(goodDownload());
    }

    ASSERT_TRUE(runFaulty("ButtonStart"));
    switch (fault) {
        case sim::Fault::NoAnswer:
            EXPECT_EQ(memo(), "Quendarix antwortet nicht!!!\n");
            EXPECT_EQ(lines(), earlierLines);
            EXPECT_FALSE(button("ButtonAuswertung")->isVisible());
            break;
        case sim::Fault::CutShort: {
            // The first half, up to its last whole line: part of the first flight.
            const auto arrived = asStored(splitLines(kMemory.substr(0, kMemory.size() / 2)));
            EXPECT_EQ(lines(), arrived);
            EXPECT_TRUE(button("ButtonAuswertung")->isVisible());
            EXPECT_EQ(trackFixes(), std::vector<int>{static_cast<int>(arrived.size()) - 3});
            break;
        }
        case sim::Fault::Stall: {
            // The first half is evaluated once the line has been quiet, and the port goes back
            // to 4800 baud: the rest, sent at the download speed after the stall, arrives as
            // noise. It ends no line, but the whole download is evaluated again with it.
            const auto arrived = asStored(splitLines(kMemory.substr(0, kMemory.size() / 2)));
            ASSERT_TRUE(pumpUntil(
                [&] { return window->exchange().receiveBuffer().size() > kMemory.size() / 2; },
                kDeadline));
            EXPECT_TRUE(hasNoise(window->exchange().receiveBuffer()));
            EXPECT_EQ(lines(), arrived);
            std::vector<std::string> shownTwice = arrived;
            shownTwice.insert(shownTwice.end(), arrived.begin(), arrived.end());
            EXPECT_EQ(memoLines(), shownTwice);
            EXPECT_TRUE(button("ButtonAuswertung")->isVisible());
            EXPECT_EQ(trackFixes(), std::vector<int>{static_cast<int>(arrived.size()) - 3});
            break;
        }
        case sim::Fault::HangUp:
            ASSERT_NO_FATAL_FAILURE(hangUpKeepsTheDownloadForTheTrackListAndTheWriter());
            return;
        case sim::Fault::Garbage: {
            // The noise before the first A record hides it: the first flight belongs to no
            // track, and the noise in the middle lies inside it. The other flights are listed
            // clean.
            std::vector<std::string> expected = earlierLines;
            expected[0] = splitLines(kMemory)[0];  // not recognised, so not rewritten
            std::vector<std::string> clean;
            for (const auto& line : lines()) clean.push_back(withoutNoise(line));
            EXPECT_EQ(clean, expected);
            EXPECT_TRUE(hasNoise(lines()[0]));
            EXPECT_TRUE(hasNoise(memo().toLatin1().toStdString()));
            EXPECT_TRUE(button("ButtonAuswertung")->isVisible());
            EXPECT_EQ(trackFixes(), (std::vector<int>{10, 12}));
            break;
        }
        case sim::Fault::WrongSpeed:
            // Noise without a line end: no line, no track list, only the bytes counted.
            EXPECT_EQ(memo(), "");
            EXPECT_EQ(window->lineCount(), 0);
            EXPECT_EQ(panel(1), QString("Bytes empfangen: %1").arg(kMemory.size() / 2));
            EXPECT_FALSE(button("ButtonAuswertung")->isVisible());
            EXPECT_EQ(simulator->programSpeed(), 4800);
            break;
        case sim::Fault::NoFinalCrLf: {
            // The last fix has no line end and stays out of the line buffer.
            EXPECT_EQ(lines(),
                      std::vector<std::string>(earlierLines.begin(), earlierLines.end() - 1));
            EXPECT_TRUE(button("ButtonAuswertung")->isVisible());
            EXPECT_EQ(trackFixes(), (std::vector<int>{40, 10, 11}));
            break;
        }
        case sim::Fault::None:
            break;
    }

    ASSERT_NO_FATAL_FAILURE(goodDownload());
}

// The download cut off by the hang-up is thrown away and the user is told; the line buffer
// keeps the earlier download, whose track list and file writer work as before.
void FaultTable::hangUpKeepsTheDownloadForTheTrackListAndTheWriter() {
    EXPECT_EQ(memo(), "Übertragung unterbrochen, unvollständige Tracks verworfen!!!\n");
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_EQ(prompts.errors[0],
              "Die Verbindung zu Quendarix über COM 1 ist unterbrochen; die unvollständig "
              "empfangenen Tracks wurden verworfen, die zuvor gelesenen Daten bleiben erhalten. "
              "Bitte die Verbindung prüfen und den Befehl wiederholen.");
    EXPECT_FALSE(window->comPort().IsOpen());
    EXPECT_EQ(lines(), earlierLines);
    ASSERT_TRUE(button("ButtonAuswertung")->isVisible());

    button("ButtonAuswertung")->click();
    ASSERT_EQ(list()->count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(list()->item(i)->text().endsWith(QString("UTC %1 Punkte").arg(kFixes[i])))
            << list()->item(i)->text().toStdString();
    chooseTrack(0);
    answerHeaderDialog(test::plausibleHeader("Zora Quendel", "ZoQu", folder.path() + "/"));
    button("ButtonFertig")->click();
    const std::optional<QString> written = writtenFile();
    ASSERT_TRUE(written) << get<QLabel>("Label1")->text().toStdString();
    laterFile = *written;
    // The same flight's fixes as in the file written before the fault.
    const auto fixesIn = [](const QByteArray& file) {
        QByteArrayList fixes;
        for (const QByteArray& line : file.split('\n'))
            if (line.startsWith('B')) fixes << line;
        return fixes;
    };
    EXPECT_EQ(fixesIn(fileBytes(laterFile)), fixesIn(earlierBytes));
    EXPECT_EQ(fixesIn(earlierBytes).size(), kFixes[0]);

    // Plugged in again: on, then a download, as after any written file.
    simulator->replug();
    ASSERT_TRUE(runCommand("ButtonOn"));
    EXPECT_TRUE(memo().endsWith("$PQVD,ON,OK\n")) << memo().toStdString();
    ASSERT_NO_FATAL_FAILURE(goodDownload());
    EXPECT_EQ(prompts.errors.size(), 1);
}

void FaultTable::settingsFault() {
    const sim::Fault fault = GetParam().fault;
    test::SettingsDialogWatch watch;
    // The hang-up: the tick from which the second send is watched.
    std::optional<std::size_t> resentAt;
    bool seenLinkLost = false;

    // Whether the dialog has shown enough of the fault; the hang-up also sends again once the
    // logger is plugged in again.
    const auto enough = [&](TSetQVD& dialog) {
        switch (fault) {
            case sim::Fault::NoAnswer:
                return watch.ticks.size() >= 3;
            case sim::Fault::CutShort:
                return watch.answers().size() >= 2 * 9;
            case sim::Fault::Stall:
            case sim::Fault::Garbage:
                return withoutNoise(watch.answers()).size() >= 2 * 19;
            case sim::Fault::NoFinalCrLf:
                return watch.answers().size() >= 2 * 17;
            case sim::Fault::WrongSpeed:
                return watch.answerTicks() >= 2;
            case sim::Fault::HangUp:
                if (!resentAt) {
                    auto* status = dialog.findChild<QLabel*>("Label11");
                    if (status->text() != "Verbindung zu Quendarix unterbrochen") return false;
                    seenLinkLost = true;
                    EXPECT_FALSE(dialog.findChild<QTimer*>("Timer1")->isActive());
                    EXPECT_TRUE(dialog.findChild<QPushButton*>("ButtonSend")->isVisible());
                    EXPECT_FALSE(dialog.comPort()->IsOpen());
                    EXPECT_TRUE(isPrefix(watch.answers(), "$PQVD,SET")) << watch.answers();
                    simulator->setFault(sim::Fault::None);
                    simulator->replug();
                    resentAt = watch.ticks.size();
                    dialog.findChild<QPushButton*>("ButtonSend")->click();
                    return false;
                }
                return watch.answers(*resentAt).size() >= 2 * 19;
            case sim::Fault::None:
                break;
        }
        return true;
    };
    prompts.onModal = [&](QDialog& shown) {
        auto& dialog = dynamic_cast<TSetQVD&>(shown);
        watch.attach(dialog);
        return test::runSettingsDialog(
            shown,
            [&] {
                if (!enough(dialog)) return false;
                simulator->setFault(sim::Fault::None);  // the main window's on command is answered
                return true;
            },
            5ms, kDeadline);
    };

    heartbeat.start();
    simulator->setFault(fault);
    button("ButtonSet")->click();  // the dialog, then the main window switches the logger on
    heartbeat.stop();
    simulator->setFault(sim::Fault::None);
    ::testing::Test::RecordProperty("longest_event_gap_ms",
                                    static_cast<int>(heartbeat.longestGapMs()));
    EXPECT_GT(heartbeat.ticks(), 0) << "the event loop never turned";

    // What the dialog showed: whatever came, shown as it came, never evaluated; the transfer
    // went on sentence by sentence.
    const std::string shown = watch.answers();
    switch (fault) {
        case sim::Fault::NoAnswer:
            for (const auto& tick : watch.ticks)
                EXPECT_EQ(tick.status, "Quendarix antwortet nicht");
            break;
        case sim::Fault::CutShort:
            EXPECT_TRUE(isPrefix(shown, setAnswers(16, 9))) << shown;
            break;
        case sim::Fault::Stall:
        case sim::Fault::Garbage:
            EXPECT_TRUE(isPrefix(withoutNoise(shown), setAnswers(16))) << shown;
            EXPECT_EQ(hasNoise(shown), fault == sim::Fault::Garbage);
            break;
        case sim::Fault::NoFinalCrLf:
            EXPECT_TRUE(isPrefix(shown, setAnswers(16, 17))) << shown;
            break;
        case sim::Fault::WrongSpeed:
            EXPECT_EQ(withoutNoise(shown), "");  // noise only, no line end in it
            break;
        case sim::Fault::HangUp:
            EXPECT_TRUE(seenLinkLost);
            ASSERT_EQ(prompts.errors.size(), 1);
            EXPECT_EQ(prompts.errors[0],
                      "Die Verbindung zu Quendarix über COM 1 ist unterbrochen; die Einstellungen "
                      "sind möglicherweise nicht vollständig übertragen. Bitte die Verbindung "
                      "prüfen und erneut senden.");
            EXPECT_TRUE(
                isPrefix(setAnswers(2), watch.answers(resentAt.value_or(watch.ticks.size()))));
            break;
        case sim::Fault::None:
            break;
    }
    // The logger took the sentences it heard in order; the pilot's name begins the table.
    const int heard = simulator->sentencesReceived("SET");
    EXPECT_GE(heard, 2);
    const std::string sentences = setSentences("Zora Quendel    ");
    if (fault != sim::Fault::HangUp) {
        const std::size_t heardBytes = 18 * static_cast<std::size_t>(std::min(heard, 16));
        EXPECT_TRUE(isPrefix(simulator->received().substr(0, heardBytes), sentences));
    }
    EXPECT_EQ(simulator->settings(0, 2), "Zo");

    // The next command: the main window has switched the logger on through its own port.
    ASSERT_TRUE(pumpUntil([&] { return memo().contains("$PQVD,ON,OK"); }, kDeadline))
        << memo().toStdString();
    EXPECT_TRUE(memo().startsWith("Schalte Quendarix ein / Reset\n"));
    EXPECT_TRUE(answered());
}

TEST_P(FaultTable, TheUserIsToldAndTheProgramGoesOn) {
    switch (GetParam().command) {
        case Command::Status:
            ASSERT_NO_FATAL_FAILURE(statusFault());
            break;
        case Command::Download:
            ASSERT_NO_FATAL_FAILURE(downloadFault());
            break;
        case Command::Settings:
            ASSERT_NO_FATAL_FAILURE(settingsFault());
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(, FaultTable, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qr
