// quendarix-cli run as a program: flights, save, verify, ports and the usage rules, on the
// sample memory kept as a download.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "CliRunner.h"
#include "logger/DownloadArchive.h"

namespace qr {
namespace {

using test::CliResult;
using test::CliRunner;

std::string sampleMemory() {
    return CliRunner::read(QR_SAMPLE_MEMORY);
}

// The list with each flight's facts and XContest points (both worked out by their own tested
// cores; here the columns are checked in place).
const char* const kSampleFlights =
    "Nr\tDatum\tErster Fix (UTC)\tLetzter Fix (UTC)\tFixes\tDauer\tmax. Höhe\tHöhengewinn\t"
    "max. Entfernung\tXContest-Punkte\n"
    "1\t2024-06-12\t11:02:05\t11:52:04\t3000\t0:49 h\t2.933 m\t1.906 m\t4,00 km\t12,12\n"
    "2\t2024-06-14\t13:30:00\t14:14:55\t540\t0:44 h\t2.938 m\t1.881 m\t4,15 km\t9,49\n"
    "3\t\t\t\t0\t-\t-\t-\t-\t-\n"
    "4\t2024-06-15\t09:45:30\t09:55:29\t600\t0:09 h\t1.657 m\t0 m\t2,30 km\t2,33\n";

class CliCommands : public ::testing::Test {
protected:
    void SetUp() override {
        archive::keep(cli.archive(), sampleMemory(), {2026, 12, 10, 14, 30, 12}, false);
        std::filesystem::create_directories(std::filesystem::path(cli.config()).parent_path());
        std::ofstream(cli.config())
            << "[IGC]\nSITE=Hochalm\nCOMPID=HaMu\nPFAD=" << cli.out() << "\n";
    }

    CliRunner cli;
};

TEST_F(CliCommands, FlightsOfTheNewestKeptDownload) {
    // A newer download cut off and a temporary file do not count.
    archive::keep(cli.archive(), "AQVD1\r\n", {2026, 12, 11, 8, 0, 0}, true);
    std::ofstream(cli.archive() + ".2026-12-12_080000.qvd.abcdef") << "x";
    const CliResult r = cli.run({"flights"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kSampleFlights);

    // A newer complete download is taken from then on.
    std::string one;
    for (const char* line :
         {"AQVD0471FLIGHT:9", "HFDTE010125", "B1000004716929N01131644EA0167401652"})
        one += std::string(line) + "\r\n";
    archive::keep(cli.archive(), one, {2026, 12, 11, 9, 0, 0}, false);
    EXPECT_EQ(cli.run({"flights"}).out,
              "Nr\tDatum\tErster Fix (UTC)\tLetzter Fix (UTC)\tFixes\tDauer\tmax. Höhe\t"
              "Höhengewinn\tmax. Entfernung\tXContest-Punkte\n"
              "1\t2025-01-01\t10:00:00\t10:00:00\t1\t0:00 h\t1.674 m\t0 m\t0,00 km\t0,00\n");
}

TEST_F(CliCommands, FlightsFromAFile) {
    const CliResult r = cli.run({"flights", "--from", QR_SAMPLE_MEMORY});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kSampleFlights);
    const CliResult missing = cli.run({"flights", "--from", cli.root() + "/none.qvd"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.err.find("none.qvd: Datei nicht gefunden"), std::string::npos) << missing.err;
}

TEST_F(CliCommands, NoKeptDownloadIsAFileError) {
    std::filesystem::remove_all(cli.archive());
    const CliResult r = cli.run({"flights"});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("Kein gespeicherter Download in " + cli.archive()), std::string::npos)
        << r.err;
}

TEST_F(CliCommands, SaveAllTwiceWritesOnlyOnce) {
    const CliResult first = cli.run({"save", "--all"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, cli.out() + "46CHaMu1.igc\n" + cli.out() + "46EHaMu1.igc\n" + cli.out() +
                             "46FHaMu1.igc\n");
    EXPECT_EQ(first.err, "Track 3: leerer Track, abspeichern sinnlos!\n");
    const std::string before = CliRunner::read(cli.out() + "46CHaMu1.igc");

    const CliResult second = cli.run({"save", "--all"});
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(second.err, "Track 1 ist schon gespeichert: " + cli.out() + "46CHaMu1.igc\n" +
                              "Track 2 ist schon gespeichert: " + cli.out() + "46EHaMu1.igc\n" +
                              "Track 3: leerer Track, abspeichern sinnlos!\n" +
                              "Track 4 ist schon gespeichert: " + cli.out() + "46FHaMu1.igc\n");
    EXPECT_EQ(cli.igcFiles(),
              (std::vector<std::string>{"46CHaMu1.igc", "46EHaMu1.igc", "46FHaMu1.igc"}));
    EXPECT_EQ(CliRunner::read(cli.out() + "46CHaMu1.igc"), before);

    // The signed ones check; the second flight keeps the logger's own G record.
    const CliResult verify =
        cli.run({"verify", cli.out() + "46CHaMu1.igc", cli.out() + "46FHaMu1.igc"});
    EXPECT_EQ(verify.status, 0) << verify.out;
    EXPECT_EQ(verify.out,
              cli.out() + "46CHaMu1.igc: Validation check passed, data indicated as correct\n" +
                  cli.out() + "46FHaMu1.igc: Validation check passed, data indicated as correct\n");
}

TEST_F(CliCommands, SaveChosenFlightsWithOverridesAndOtherFolder) {
    const std::string other = cli.root() + "/elsewhere";
    std::filesystem::create_directory(other);
    const CliResult r = cli.run({"save", "4", "1", "--out", other, "--pilot-id", "XyZw9",
                                 "--competition-id", "Liga-2026", "--class", "Paraglider sport"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, other + "/46FXyZw1.igc\n" + other + "/46CXyZw1.igc\n");
    const std::string file = CliRunner::read(other + "/46CXyZw1.igc");
    // The logger's own competition records stay; the title is the window's.
    EXPECT_NE(file.find("HFCIDCOMPETITIONID:EM1\r\n"), std::string::npos);
    EXPECT_NE(file.find("quendarix-reader"), std::string::npos);  // the window's title
    EXPECT_TRUE(cli.igcFiles().empty());
}

TEST_F(CliCommands, ImplausibleHeaderIsRefusedAndNothingIsWritten) {
    struct Case {
        std::vector<std::string> args;
        std::string named;
    };
    const Case cases[] = {
        {{"save", "--all", "--pilot-id", "Ha1"}, "Pilot ID (--pilot-id)"},
        {{"save", "--all", "--site", "Alp"}, "Site (Fluggelände) (--site)"},
        {{"save", "--all", "--out", "/nonexistent/qr"}, "Pfad zum Speichern der IGC-Datei (--out)"},
        {{"save", "--all", "--names-from-settings"},
         "Pilot (--pilot), Glider Typ (--glider-type), "
         "Glider ID (Serien-Nr.) (--glider-id)"},
        {{"save", "1", "--class", "Hang glider"}, "Unbekannte Klasse 'Hang glider'"},
    };
    for (const Case& c : cases) {
        const CliResult r = cli.run(c.args);
        EXPECT_EQ(r.status, 2) << c.named;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_TRUE(cli.igcFiles().empty());
    // With the names given, settings names pass.
    const CliResult names = cli.run({"save", "1", "--names-from-settings", "--pilot", "Hans Muster",
                                     "--glider-type", "Alpha 5", "--glider-id", "D-1234"});
    EXPECT_EQ(names.status, 0) << names.err;
    EXPECT_NE(CliRunner::read(cli.out() + "46CHaMu1.igc").find("Hans Muster"), std::string::npos);
}

TEST_F(CliCommands, UsageErrors) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"--bogus", "flights"},
        {"flights", "--bogus"},
        {"save"},
        {"save", "--all", "2"},
        {"save", "x1"},
        {"save", "9"},
        {"verify"},
        {"ports", "--assign", "COM30", "/dev/ttyUSB0"},
        {"ports", "--assign", "COM3", "ttyUSB0"},
        {"--speed", "14400", "flights"},
    };
    for (const auto& args : cases) {
        const CliResult r = cli.run(args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]) << " " << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("quendarix-cli: "), std::string::npos);
    }
}

TEST_F(CliCommands, HelpForTheProgramAndEachCommand) {
    const CliResult program = cli.run({"--help"});
    EXPECT_EQ(program.status, 0);
    for (const char* command : {"ports", "flights", "save", "score", "verify"}) {
        EXPECT_NE(program.out.find(std::string("\n  ") + command), std::string::npos) << command;
        for (const std::vector<std::string>& args : {std::vector<std::string>{command, "--help"},
                                                     std::vector<std::string>{"--help", command}}) {
            const CliResult r = cli.run(args);
            EXPECT_EQ(r.status, 0) << command;
            EXPECT_EQ(r.out.rfind(std::string("Aufruf: quendarix-cli [OPTIONEN] ") + command, 0),
                      0u)
                << r.out;
        }
    }
    EXPECT_EQ(cli.run({"--version"}).out, "quendarix-cli 1.1\n");
}

TEST_F(CliCommands, VerifyNamesEachFile) {
    ASSERT_EQ(cli.run({"save", "1"}).status, 0);
    std::string bytes = CliRunner::read(cli.out() + "46CHaMu1.igc");
    bytes[bytes.find("B1102")] = 'X';  // a changed record
    std::ofstream(cli.out() + "changed.igc", std::ios::binary) << bytes;
    const CliResult r = cli.run({"verify", cli.out() + "changed.igc", cli.out() + "46CHaMu1.igc"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.rfind(cli.out() + "changed.igc: Validation check failed: ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("46CHaMu1.igc: Validation check passed"), std::string::npos);
    const CliResult missing = cli.run({"verify", cli.out() + "none.igc"});
    EXPECT_EQ(missing.status, 3);
}

TEST_F(CliCommands, BarogramOfOneFlightAsPng) {
    const std::string png = cli.root() + "/flight1.png";
    const CliResult r = cli.run({"flights", "--barogram", "1", "--out", png});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, png + "\n");
    const std::string bytes = CliRunner::read(png);
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
    // An existing file stays as it is; an empty track has nothing to draw; --out is needed.
    EXPECT_EQ(cli.run({"flights", "--barogram", "2", "--out", png}).status, 3);
    EXPECT_EQ(CliRunner::read(png), bytes);
    EXPECT_EQ(cli.run({"flights", "--barogram", "3", "--out", cli.root() + "/e.png"}).status, 3);
    EXPECT_FALSE(std::filesystem::exists(cli.root() + "/e.png"));
    EXPECT_EQ(cli.run({"flights", "--barogram", "1"}).status, 2);
    EXPECT_EQ(cli.run({"flights", "--barogram", "9", "--out", png}).status, 2);
}

TEST_F(CliCommands, ScoreOfSavedFlights) {
    ASSERT_EQ(cli.run({"save", "1", "4"}).status, 0);
    const std::string one = cli.out() + "46CHaMu1.igc", four = cli.out() + "46FHaMu1.igc";
    const std::string geojson = cli.root() + "/one.geojson";
    const CliResult r = cli.run({"score", "--geojson", geojson, one});
    EXPECT_EQ(r.status, 0) << r.err;
    // file, rules, type, km, points (as the flight list shows them), proven, ms
    const std::string prefix = one + "\tXContest\t";
    ASSERT_EQ(r.out.rfind(prefix, 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\t12.12\tyes\t"), std::string::npos) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\t'), 6) << r.out;
    const std::string json = CliRunner::read(geojson);
    EXPECT_EQ(json.rfind("{\"type\":\"FeatureCollection\"", 0), 0u) << json.substr(0, 80);

    const CliResult both = cli.run({"score", "--rules", "FFVL", one, four});
    EXPECT_EQ(both.status, 0) << both.err;
    EXPECT_EQ(std::count(both.out.begin(), both.out.end(), '\n'), 2) << both.out;
    EXPECT_NE(both.out.find(four + "\tFFVL\t"), std::string::npos) << both.out;

    EXPECT_EQ(cli.run({"score", "--rules", "Nirgendwo", one}).status, 2);
    EXPECT_EQ(cli.run({"score", "--max-time", "0", one}).status, 2);
    EXPECT_EQ(cli.run({"score", "--geojson", geojson, one, four}).status, 2);
    EXPECT_EQ(cli.run({"score", "--geojson", geojson, one}).status, 3);  // not replaced
    EXPECT_EQ(cli.run({"score", cli.out() + "none.igc"}).status, 3);
}

TEST_F(CliCommands, PortsAssignKeepsTheEntryForTheWindow) {
    const CliResult r =
        cli.run({"--config", cli.config(), "ports", "--assign", "com4", "/dev/qr-no-such-tty"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "COM4=/dev/qr-no-such-tty\n");
    EXPECT_NE(r.err.find("nicht angeschlossen"), std::string::npos);
    EXPECT_NE(CliRunner::read(cli.config()).find("COM4=/dev/qr-no-such-tty"), std::string::npos);
    const CliResult list = cli.run({"ports"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find("/dev/qr-no-such-tty\t\t\tkein Gerät\t\tCOM4\n"), std::string::npos)
        << list.out;
}

}  // namespace
}  // namespace qr
