// quendarix-cli against the logger simulator on a pseudo-terminal: each logger command, with
// the simulator's faults, for its exit status, its messages and what the archive keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>
#include <tuple>

#include "CliRunner.h"
#include "app/SettingsStore.h"
#include "qvdsim/LoggerSimulator.h"
#include "support/SmallMemory.h"

namespace qr {
namespace {

using namespace std::chrono_literals;
using test::CliResult;
using test::CliRunner;

const std::string kMemory = test::smallMemory();

// Short flights hanging at 500 m: no gain, no distance, no points.
const char* const kMemoryFlights =
    "Nr\tDatum\tErster Fix (UTC)\tLetzter Fix (UTC)\tFixes\tDauer\tmax. Höhe\tHöhengewinn\t"
    "max. Entfernung\tXContest-Punkte\n"
    "1\t2026-08-01\t10:00:00\t10:00:39\t40\t0:01 h\t500 m\t0 m\t0,00 km\t0,00\n"
    "2\t2026-08-02\t10:00:00\t10:00:09\t10\t0:00 h\t500 m\t0 m\t0,00 km\t0,00\n"
    "3\t2026-08-03\t10:00:00\t10:00:11\t12\t0:00 h\t500 m\t0 m\t0,00 km\t0,00\n";

// The lines of an answer ended by CR LF, each with LF.
std::string asOutput(const std::string& answer) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t end; (end = answer.find("\r\n", start)) != std::string::npos; start = end + 2)
        out += answer.substr(start, end - start) + "\n";
    return out;
}

// The simulator's noise has the top bit set in every byte (also once turned into UTF-8);
// the logger's texts never have.
std::string withoutNoise(const std::string& bytes) {
    std::string out;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) < 0x80) out += c;
    return out;
}

class CliE2e : public ::testing::Test {
protected:
    void SetUp() override {
        freshSimulator();
        {
            SettingsStore store(QString::fromStdString(cli.config()));
            for (const auto& [group, name, value] :
                 std::vector<std::tuple<const char*, const char*, std::string>>{
                     {"Zelmor", "COM Speed", "5"},
                     {"Zelmor", "setPLT", "Zora Quendel"},
                     {"Zelmor", "setGTY", "Skyfox Alto 3"},
                     {"Zelmor", "setGID", "D-4711"},
                     {"Zelmor", "setINT", "2"},
                     {"Zelmor", "setPWD", "40"},
                     {"IGC", "SITE", "Hochalm"},
                     {"IGC", "COMPID", "ZoQu"},
                     {"IGC", "PFAD", cli.out()}})
                store.writeString(group, name, QString::fromStdString(value));
        }
        simulator->registerAs(cli.config(), 1);
    }

    // "download" with a fault in the answer to the download sentence only: the status the
    // command reads first comes unharmed.
    CliResult downloadWith(sim::Fault fault) {
        CliResult result;
        std::thread run([&] { result = cli.run({"--config", cli.config(), "download"}); });
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        // An answer gets the fault in force when the simulator counts its sentence, which is a
        // moment after the sentence's bytes show in received(): the fault is set once the
        // status sentence is counted, and the download sentence follows after the quiet time.
        while (simulator->sentencesReceived("STA") == 0 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        simulator->setFault(fault);
        run.join();
        return result;
    }

    // A logger of its own for each case, registered as COM 1.
    void freshSimulator() {
        sim::SimulatorConfig config;
        config.memory = kMemory;
        config.pacing = false;
        config.stallTime = 2500ms;
        simulator.reset();
        simulator = std::make_unique<sim::LoggerSimulator>(config);
        simulator->start();
        if (std::filesystem::exists(cli.config())) simulator->registerAs(cli.config(), 1);
    }

    // The archive's files, by name.
    std::vector<std::string> kept() const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& e : std::filesystem::directory_iterator(cli.archive(), error))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string keptBytes(std::size_t i = 0) const {
        return CliRunner::read(cli.archive() + kept().at(i));
    }

    CliRunner cli;
    std::unique_ptr<sim::LoggerSimulator> simulator;
};

TEST_F(CliE2e, StatusPrintsTheStatusLines) {
    const CliResult r = cli.run({"status"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, asOutput(simulator->statusAnswer()));
    EXPECT_EQ(simulator->received(), "\n\r$PQVD,STA\r\n");
}

TEST_F(CliE2e, DownloadReadsTheStatusFirstKeepsTheAnswerAndListsTheFlights) {
    const CliResult r = cli.run({"download"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kMemoryFlights);
    EXPECT_EQ(simulator->received(), "\n\r$PQVD,STA\r\n$PQVD,IGC,5\r\n");
    ASSERT_EQ(kept().size(), 1u);
    EXPECT_TRUE(kept()[0].ends_with(".qvd") && !kept()[0].ends_with(".cut.qvd")) << kept()[0];
    EXPECT_EQ(keptBytes(), kMemory);
    // Not a terminal: progress as lines, the last at 100 %.
    EXPECT_NE(r.err.find("100 % ("), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Download gespeichert: " + cli.archive()), std::string::npos) << r.err;

    // flights and save go on from the kept download.
    EXPECT_EQ(cli.run({"flights"}).out, kMemoryFlights);
    const CliResult save = cli.run({"save", "--all"});
    EXPECT_EQ(save.status, 0) << save.err;
    EXPECT_EQ(cli.igcFiles().size(), 3u);
}

TEST_F(CliE2e, QuietDownloadAtAChosenSpeedWithARawCopy) {
    const std::string raw = cli.root() + "/raw.bin";
    const CliResult r = cli.run({"-q", "--speed", "19200", "download", "--raw", raw});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find(" % ("), std::string::npos) << r.err;
    EXPECT_NE(simulator->received().find("$PQVD,IGC,2\r\n"), std::string::npos);
    EXPECT_EQ(CliRunner::read(raw), kMemory);
    // The copy never replaces a file.
    const CliResult again = cli.run({"-q", "download", "--raw", raw});
    EXPECT_EQ(again.status, 3) << again.err;
    EXPECT_EQ(kept().size(), 2u);
}

TEST_F(CliE2e, DownloadFaults) {
    using Kept = std::function<bool(const std::string&)>;
    const std::string half = kMemory.substr(0, kMemory.size() / 2);
    const auto exactly = [](std::string expected) {
        return Kept([expected](const std::string& bytes) { return bytes == expected; });
    };
    struct Case {
        sim::Fault fault;
        int status;
        const char* message;
        bool cut;     // kept as .cut.qvd
        Kept kept;    // what the archive holds; empty: nothing kept
        int flights;  // listed on standard output
    };
    const Case cases[] = {
        {sim::Fault::NoAnswer, 1, "Quendarix antwortet nicht!!!", false, {}, 0},
        // The simulator closes once the program has read the first half; the kernel may
        // have had less of it on its way.
        {sim::Fault::HangUp, 1, "Übertragung unterbrochen, unvollständige Tracks verworfen!!!",
         true,
         [&](const std::string& bytes) {
             return !bytes.empty() && bytes.size() <= half.size() && half.starts_with(bytes);
         },
         0},
        // Part of the first flight.
        {sim::Fault::CutShort, 0, "", false, exactly(half), 1},
        // The noise before the first A record hides the first flight.
        {sim::Fault::Garbage, 0, "", false,
         [&](const std::string& bytes) {
             return bytes != kMemory && withoutNoise(bytes) == kMemory;
         },
         2},
        {sim::Fault::WrongSpeed, 1, "keine Tracks", false,
         [](const std::string& bytes) { return !bytes.empty() && withoutNoise(bytes).empty(); }, 0},
        {sim::Fault::NoFinalCrLf, 0, "", false, exactly(kMemory.substr(0, kMemory.size() - 2)), 3},
        // The pause is longer than the quiet time: the answer ends there, and what came is
        // evaluated and kept (the rest comes to a closed port).
        {sim::Fault::Stall, 0, "", false, exactly(half), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fault));
        std::filesystem::remove_all(cli.archive());
        freshSimulator();
        const CliResult r = downloadWith(c.fault);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        const int listed = static_cast<int>(std::count(r.out.begin(), r.out.end(), '\n'));
        EXPECT_EQ(std::max(listed - 1, 0), c.flights) << r.out;
        if (!c.kept) {
            EXPECT_TRUE(kept().empty());
            continue;
        }
        ASSERT_EQ(kept().size(), 1u);
        EXPECT_EQ(kept()[0].ends_with(".cut.qvd"), c.cut) << kept()[0];
        EXPECT_TRUE(c.kept(keptBytes())) << keptBytes().size() << " bytes";
    }
    // Nothing cut off is ever taken for a download, and no .igc file is begun from one.
    std::filesystem::remove_all(cli.archive());
    freshSimulator();
    EXPECT_EQ(downloadWith(sim::Fault::HangUp).status, 1);
    const CliResult save = cli.run({"save", "--all"});
    EXPECT_EQ(save.status, 3) << save.err;
    EXPECT_TRUE(cli.igcFiles().empty());
}

// status, on, off and delete with a fault in their answer: what the window shows of it, and
// the exit status for a script.
TEST_F(CliE2e, LoggerCommandFaults) {
    const std::string status = simulator->statusAnswer();
    const std::string firstHalf = asOutput(status.substr(0, status.size() / 2));
    const char* const lost =
        "Die Verbindung zu Quendarix über COM 1 ist unterbrochen; empfangene Daten können "
        "unvollständig sein. Bitte die Verbindung prüfen und den Befehl wiederholen.";
    struct Case {
        std::vector<std::string> args;
        sim::Fault fault;
        int status;
        std::string out;
        const char* message;
        bool noisy = false;  // out compared without the noise, which must be there
    };
    const Case cases[] = {
        {{"status"}, sim::Fault::NoAnswer, 1, "", "Quendarix antwortet nicht!!!"},
        // What came before the hang-up is shown, then the lost link.
        {{"status"}, sim::Fault::HangUp, 1, firstHalf, lost},
        // The lines up to the last whole one.
        {{"status"}, sim::Fault::CutShort, 0, firstHalf, ""},
        // The answer ends when the line goes quiet; the rest comes to a closed port.
        {{"status"}, sim::Fault::Stall, 0, firstHalf, ""},
        // Shown with the noise in it; the lines are all there around it.
        {{"status"}, sim::Fault::Garbage, 0, asOutput(status), "", true},
        // Noise without a line end: no line to show.
        {{"status"}, sim::Fault::WrongSpeed, 0, "", ""},
        // The last line has no end and is not shown.
        {{"status"}, sim::Fault::NoFinalCrLf, 0, asOutput(status.substr(0, status.size() - 2)), ""},
        // The window waits for no answer to on and off.
        {{"on"}, sim::Fault::NoAnswer, 0, "", "Keine Antwort von Quendarix."},
        {{"off"}, sim::Fault::NoAnswer, 0, "", "Keine Antwort von Quendarix."},
        {{"on"}, sim::Fault::HangUp, 1, "", lost},
        {{"off"}, sim::Fault::HangUp, 1, "", lost},
        {{"delete", "--yes"}, sim::Fault::NoAnswer, 1, "", "Quendarix antwortet nicht!!!"},
        {{"delete", "--yes"}, sim::Fault::HangUp, 1, "", lost},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + std::to_string(static_cast<int>(c.fault)));
        freshSimulator();
        simulator->setFault(c.fault);
        const CliResult r = cli.run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(c.noisy ? withoutNoise(r.out) : r.out, c.out);
        EXPECT_EQ(withoutNoise(r.out) != r.out, c.noisy) << r.out;
    }
}

TEST_F(CliE2e, APortThatCannotBeOpenedNamesTheDevices) {
    const CliResult r = cli.run({"--port", "COM7", "status"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Specified device not found"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Versuchtes Gerät: /dev/ttyACM2 (COM7)"), std::string::npos) << r.err;
    const CliResult path = cli.run({"--port", "/dev/qr-no-such-tty", "status"});
    EXPECT_EQ(path.status, 1);
    EXPECT_NE(path.err.find("Versuchtes Gerät: /dev/qr-no-such-tty\n"), std::string::npos)
        << path.err;
    // The simulator's device by its path works like its COM number.
    EXPECT_EQ(cli.run({"--port", simulator->devicePath(), "status"}).status, 0);
}

TEST_F(CliE2e, DeleteOnlyWithYes) {
    CliResult r = cli.run({"delete"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--yes"), std::string::npos);
    EXPECT_EQ(simulator->received(), "");
    EXPECT_EQ(simulator->memory(), kMemory);
    r = cli.run({"delete", "--yes"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "$PQVD,DEL,OK\n");
    EXPECT_EQ(simulator->memory(), "");
}

TEST_F(CliE2e, OnAndOff) {
    CliResult r = cli.run({"on"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "$PQVD,ON,OK\n");
    EXPECT_NE(r.err.find("Schalte Quendarix ein / Reset"), std::string::npos);
    r = cli.run({"off"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "$PQVD,OFF,OK\n");
    EXPECT_EQ(simulator->sentencesReceived("ON"), 1);
    EXPECT_EQ(simulator->sentencesReceived("OFF"), 1);
}

TEST_F(CliE2e, SettingsSendWritesTheOwnerSettingsThenSwitchesOn) {
    const CliResult r = cli.run({"settings", "send"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(simulator->sentencesReceived("SET"), 67);
    EXPECT_EQ(simulator->settings(0x00, 16), "Zora Quendel    ");
    EXPECT_EQ(simulator->settings(0x10, 16), "Skyfox Alto 3   ");
    EXPECT_EQ(simulator->settings(0x20, 16), "D-4711          ");
    EXPECT_EQ(simulator->settings(0xCF, 1), std::string(1, '\x02'));
    EXPECT_EQ(simulator->settings(0xDF, 1), std::string(1, '\x28'));
    EXPECT_EQ(simulator->sentencesReceived("ON"), 1);
    EXPECT_NE(r.err.find("100 % (67 von 67 Sätze)"), std::string::npos) << r.err;
}

TEST_F(CliE2e, SettingsSendFaults) {
    simulator->setFault(sim::Fault::NoAnswer);
    CliResult r = cli.run({"-q", "settings", "send"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Quendarix antwortet nicht!!!"), std::string::npos) << r.err;
    simulator->setFault(sim::Fault::HangUp);
    r = cli.run({"-q", "settings", "send"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Verbindung zu Quendarix unterbrochen"), std::string::npos) << r.err;
    EXPECT_EQ(cli.run({"settings"}).status, 2);
}

}  // namespace
}  // namespace qr
