// The command line's plain parts: options, progress texts, tables, saved flights.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/CliErrors.h"
#include "cli/FlightTable.h"
#include "cli/Options.h"
#include "cli/Progress.h"
#include "cli/SavedFlights.h"
#include "cli/TextTable.h"

namespace qr::cli {
namespace {

TEST(CliOptions, GlobalOptionsBeforeTheCommand) {
    const GlobalOptions o = parseGlobalOptions(
        {"--config", "/x.ini", "--port=COM3", "--speed", "115200", "-q", "save", "--all", "-q"});
    EXPECT_EQ(o.config, "/x.ini");
    EXPECT_EQ(o.port, "COM3");
    EXPECT_EQ(o.speedIndex, 5);
    EXPECT_TRUE(o.quiet);
    EXPECT_EQ(o.command, "save");
    EXPECT_EQ(o.args, (std::vector<std::string>{"--all", "-q"}));  // the command's own
    EXPECT_TRUE(parseGlobalOptions({"--help"}).help);
    EXPECT_TRUE(parseGlobalOptions({"--version"}).version);
    EXPECT_EQ(parseGlobalOptions({}).command, "");
}

TEST(CliOptions, WrongGlobalOptionsAreUsageErrors) {
    const std::vector<std::vector<std::string>> cases = {{"--bogus", "flights"},
                                                         {"--speed", "14400", "download"},
                                                         {"--config"},
                                                         {"--quiet=1", "flights"},
                                                         {"-x"}};
    for (const auto& args : cases) EXPECT_THROW(parseGlobalOptions(args), UsageError) << args[0];
    for (int i = 0; i < 6; ++i) EXPECT_EQ(speedIndexOf(std::to_string(kSpeeds[i])), i);
    EXPECT_EQ(speedIndexOf("57600 "), std::nullopt);
}

TEST(CliOptions, CommandArguments) {
    const CommandArgs a =
        parseCommandArgs("save", {"1", "--out", "/d", "--all", "--pilot=A B", "--", "--3"},
                         {"--out", "--pilot"}, {"--all"});
    EXPECT_EQ(a.value("--out"), "/d");
    EXPECT_EQ(a.value("--pilot"), "A B");
    EXPECT_TRUE(a.has("--all"));
    EXPECT_EQ(a.positional, (std::vector<std::string>{"1", "--3"}));
    EXPECT_TRUE(parseCommandArgs("x", {"--help"}, {}, {}).help);
    EXPECT_THROW(parseCommandArgs("save", {"--bogus"}, {}, {}), UsageError);
    EXPECT_THROW(parseCommandArgs("save", {"--out"}, {"--out"}, {}), UsageError);
    EXPECT_THROW(parseCommandArgs("save", {"--all=1"}, {}, {"--all"}), UsageError);
}

TEST(CliProgress, Texts) {
    EXPECT_EQ(percentDone({50, 200, 1}), 25);
    EXPECT_EQ(percentDone({300, 200, 1}), 100);
    EXPECT_EQ(percentDone({5, 0, 1}), -1);
    EXPECT_EQ(rateText(950), "950 B/s");
    EXPECT_EQ(rateText(11520), "11,5 kB/s");
    EXPECT_EQ(rateText(2.5e6), "2,5 MB/s");
    EXPECT_EQ(durationText(7.4), "0:07");
    EXPECT_EQ(durationText(754), "12:34");
    EXPECT_EQ(durationText(3723), "1:02:03");
    EXPECT_EQ(progressBar({2500, 10000, 2}, 10),
              "[##        ]  25 %  2500 / 10000 Bytes  1,2 kB/s  noch 0:06");
    EXPECT_EQ(progressBar({10000, 10000, 8}, 10),
              "[##########] 100 %  10000 / 10000 Bytes  1,2 kB/s");
    EXPECT_EQ(progressBar({0, 10000, 0}, 4), "[    ]   0 %  0 / 10000 Bytes");
    EXPECT_EQ(progressBar({1234, 0, 1}, 10), "1234 Bytes  1,2 kB/s");
    EXPECT_EQ(progressLine({2500, 10000, 2}), "25 % (2500 von 10000 Bytes)");
    EXPECT_EQ(progressBar({20, 67, 2, "Sätze"}, 4), "[#   ]  29 %  20 / 67 Sätze  noch 0:05");
    EXPECT_EQ(progressLine({67, 67, 7, "Sätze"}), "100 % (67 von 67 Sätze)");
}

TEST(CliProgress, LinesComeOncePerTenPercent) {
    std::string said;
    ProgressReport report(ProgressReport::Mode::Lines, [&](std::string_view t) { said += t; });
    for (std::uint64_t bytes : {0, 5, 9, 10, 11, 35, 35, 99, 100, 120})
        report.update({bytes, 100, 1});
    report.finish();
    EXPECT_EQ(said,
              "10 % (10 von 100 Bytes)\n35 % (35 von 100 Bytes)\n99 % (99 von 100 Bytes)\n"
              "100 % (100 von 100 Bytes)\n");
}

TEST(CliProgress, TheEndIsOneHundredPercentWhateverTheEstimate) {
    std::string said;
    ProgressReport report(ProgressReport::Mode::Lines, [&](std::string_view t) { said += t; });
    report.update({30, 100, 1});
    report.update({60, 100, 2});  // the answer ends short of the estimate
    report.finish();
    EXPECT_EQ(said, "30 % (30 von 100 Bytes)\n60 % (60 von 100 Bytes)\n100 % (60 von 60 Bytes)\n");
}

TEST(CliProgress, BarRedrawsAtMostTenTimesASecondAndEndsItsLine) {
    int draws = 0;
    std::string last;
    ProgressReport report(ProgressReport::Mode::Bar, [&](std::string_view t) {
        ++draws;
        last = t;
    });
    // A figure every 1/16 s: drawn every second one, the last (100 %) among them.
    for (int i = 0; i <= 15; ++i)
        report.update({static_cast<std::uint64_t>(i * 10), 160, i * 0.0625});
    EXPECT_EQ(draws, 8);
    report.update({160, 160, 16 * 0.0625 - 0.01});  // 100 % is always drawn
    EXPECT_EQ(draws, 9);
    report.finish();
    EXPECT_EQ(last, "\n");
    std::string none;
    ProgressReport quiet(ProgressReport::Mode::None, [&](std::string_view t) { none += t; });
    quiet.update({50, 100, 1});
    quiet.finish();
    EXPECT_EQ(none, "");
}

TEST(CliTable, TabsForProgramsColumnsForPeople) {
    const TableRows rows = {{"Nr", "Gerät", "COM"}, {"1", "", "COM1 COM2"}, {"12", "a\tb", ""}};
    EXPECT_EQ(formatTable(rows, false), "Nr\tGerät\tCOM\n1\t\tCOM1 COM2\n12\ta b\t\n");
    EXPECT_EQ(formatTable(rows, true),
              "Nr  Gerät  COM\n"
              "1   -      COM1 COM2\n"
              "12  a b    -\n");
}

TEST(CliFlightTable, StandardColumns) {
    TrackList tracks;
    tracks.entries = {{1, 2, EncodeDate(2024, 6, 12) + EncodeTime(11, 2, 5, 0),
                       EncodeDate(2024, 6, 12) + EncodeTime(11, 52, 4, 0)},
                      {2, 0, 0, 0}};
    EXPECT_EQ(formatTable(flightTable(tracks, standardFlightColumns()), false),
              "Nr\tDatum\tErster Fix (UTC)\tLetzter Fix (UTC)\tFixes\n"
              "1\t2024-06-12\t11:02:05\t11:52:04\t2\n"
              "2\t\t\t\t0\n");
}

TEST(CliSavedFlights, SummaryReadsAnyLineEnd) {
    const BRecordSummary expected{3, "B1", "B3"};
    for (const char* bytes : {"A\r\nB1\r\nB2\r\nL\r\nB3\r\nG\r\n", "A\nB1\nB2\nB3", "B1\rB2\rB3\r",
                              "B1\r\n\r\nB2\n\nB3\r\n"})
        EXPECT_EQ(bRecordSummary(bytes), expected) << bytes;
    EXPECT_EQ(bRecordSummary("A\r\nHFDTE\r\n"), BRecordSummary{});
}

TEST(CliSavedFlights, IndexFindsTheFileHoldingTheFlight) {
    char pattern[] = "/tmp/qr-saved-XXXXXX";
    const std::string folder = std::string(::mkdtemp(pattern)) + "/";
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(folder + name, std::ios::binary) << bytes;
    };
    write("a.igc", "A\r\nB1\r\nB2\r\nB3\r\n");
    write("b.IGC", "A\r\nB7\r\nB9\r\n");
    write(".hidden.igc", "B5\r\nB6\r\n");
    write("c.txt", "B5\r\nB6\r\n");
    write("d.igc", "A\r\nB1\r\nB9\r\nB3\r\n");  // same ends, same count: the same flight
    std::filesystem::create_directory(folder + "e.igc");
    SavedFlightIndex index(folder);
    EXPECT_EQ(index.find({3, "B1", "B3"}), folder + "a.igc");
    EXPECT_EQ(index.find({2, "B7", "B9"}), folder + "b.IGC");
    EXPECT_EQ(index.find({2, "B5", "B6"}), std::nullopt);
    EXPECT_EQ(index.find({4, "B1", "B3"}), std::nullopt);
    EXPECT_EQ(index.find({}), std::nullopt);
    index.add(folder + "new.igc", {2, "B5", "B6"});
    EXPECT_EQ(index.find({2, "B5", "B6"}), folder + "new.igc");
    EXPECT_EQ(SavedFlightIndex(folder + "missing/").find({3, "B1", "B3"}), std::nullopt);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace qr::cli
