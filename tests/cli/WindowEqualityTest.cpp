// "save" writes the file the window writes for the same flight and header values: every byte
// but the L date line of writing and the signature.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <sstream>

#include "CliRunner.h"
#include "app/SettingsStore.h"
#include "support/WindowDriver.h"

namespace qr {
namespace {

// The lines that may differ: when the file was written, and the program's own signature.
std::string comparable(const std::string& bytes) {
    std::string kept;
    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("GValdorine")) continue;
        if (line.starts_with("LXVN") && line != "LXVN   quendarix-reader\r") continue;
        kept += line + "\n";
    }
    return kept;
}

struct Case {
    int track;
    bool namesFromLogger;
};

class WindowEquality : public ::testing::TestWithParam<Case> {};

TEST_P(WindowEquality, SaveWritesTheWindowsBytes) {
    const Case c = GetParam();
    test::MainWindowDriver window("quendarix-reader");
    QTemporaryDir windowFolder, cliFolder;
    {
        SettingsStore store;
        for (const auto& [name, value] : {std::pair<const char*, QString>{"PILOT", "Hans Müller"},
                                          {"GLIDERTYPE", "Alpha 5"},
                                          {"GLIDERID", "D-1234"},
                                          {"CLASS", "Paraglider sport"},
                                          {"SITE", "Hoher Hang"},
                                          {"COMPETITIONID", "DHV-OLC-2009"},
                                          {"COMPID", "HaMu"},
                                          {"PFAD", windowFolder.path() + "/"}})
            store.writeString("IGC", name, value);
    }

    window.showWithoutLogger().setSigner([](const std::string& path) {
        test::appendTestSignature(path, "GValdorine 00\r\nGValdorine 11\r\n");
    });
    ASSERT_TRUE(window.openTrackList(test::CliRunner::read(QR_SAMPLE_MEMORY)));
    window.chooseTrack(c.track - 1);
    window.get<QCheckBox>("CheckBoxNamen")->setChecked(c.namesFromLogger);
    window.answerHeaderDialog({});  // the stored values
    window.button("ButtonFertig")->click();
    ASSERT_TRUE(window.prompts.errors.isEmpty()) << window.prompts.errors.join("\n").toStdString();
    const QStringList written = QDir(windowFolder.path()).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(written.size(), 1);

    test::CliRunner cli;
    std::vector<std::string> args{"--config", window.config.iniPath().toStdString(),
                                  "save",     std::to_string(c.track),
                                  "--from",   QR_SAMPLE_MEMORY,
                                  "--out",    cliFolder.path().toStdString()};
    if (!c.namesFromLogger) args.push_back("--names-from-settings");
    const test::CliResult r = cli.run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string cliPath = cliFolder.path().toStdString() + "/" + written[0].toStdString();
    EXPECT_EQ(r.out, cliPath + "\n");

    const std::string windowBytes =
        test::CliRunner::read(windowFolder.path().toStdString() + "/" + written[0].toStdString());
    const std::string cliBytes = test::CliRunner::read(cliPath);
    EXPECT_EQ(comparable(cliBytes), comparable(windowBytes));
    EXPECT_GT(comparable(cliBytes).size(), 1000u);
    // Both signed, or neither: the flight with the logger's own G record is left as it is.
    EXPECT_EQ(cliBytes.find("GValdorine") != std::string::npos,
              windowBytes.find("GValdorine") != std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(SampleFlights, WindowEquality,
                         ::testing::Values(Case{1, true}, Case{2, true}, Case{4, true},
                                           Case{1, false}, Case{2, false}, Case{4, false}),
                         [](const auto& info) {
                             return "Track" + std::to_string(info.param.track) +
                                    (info.param.namesFromLogger ? "LoggerNames" : "SettingsNames");
                         });

}  // namespace
}  // namespace qr
