// The exchange session and the settings session without a window, as the command line uses
// them: blocking runs against the logger simulator, the device given by its path.
#include <gtest/gtest.h>

#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/SettingsSession.h"
#include "logger/ExchangeSession.h"
#include "logger/LoggerCommands.h"
#include "qvdsim/LoggerSimulator.h"

namespace qr {
namespace {

// Records what a front end without a window would show.
struct Recorder : ExchangeObserver {
    void linkOpened() override { ++openings; }
    void received(const ExchangeProgress& p) override { progress.push_back(p); }
    void lineTaken(int n, int) override { lines = n; }
    void linkLost(bool discarded) override {
        lost = true;
        lostDiscarded = discarded;
    }
    int openings = 0;
    int lines = 0;
    bool lost = false;
    bool lostDiscarded = false;
    std::vector<ExchangeProgress> progress;
};

class ExchangeSessionE2e : public ::testing::Test {
protected:
    void SetUp() override {
        simulator.start();
        session.setObserver(&recorder);
        // A device path as the pattern: no COM number and no settings are involved.
        session.port().setDeviceName(simulator.devicePath());
        session.setSpeedIndex(5);  // 115200 bps
    }

    sim::LoggerSimulator simulator;
    Recorder recorder;
    ExchangeSession session;
};

TEST_F(ExchangeSessionE2e, StatusThenDownloadKeepTheRawBytes) {
    const AnswerOutcome status = session.run(LoggerCommand::Status);
    EXPECT_EQ(status.end, AnswerOutcome::End::Evaluated);
    EXPECT_FALSE(status.hungUp);
    EXPECT_EQ(session.rawAnswer(), simulator.statusAnswer());
    EXPECT_GT(session.exchange().dataflashUsed(), 0);

    const AnswerOutcome download = session.run(LoggerCommand::Download);
    EXPECT_EQ(download.end, AnswerOutcome::End::Evaluated);
    EXPECT_EQ(download.mode, Exchange::Mode::Download);
    EXPECT_EQ(session.rawAnswer(), simulator.memory());
    EXPECT_EQ(download.lineCount, recorder.lines);
    EXPECT_EQ(download.lineCount, session.exchange().lineBuffer().count());
    // The greeting once per opening; the port is back at 4800 bps after the download.
    EXPECT_EQ(recorder.openings, 1);
    EXPECT_EQ(simulator.received(), "\n\r$PQVD,STA\r\n$PQVD,IGC,5\r\n");
    EXPECT_EQ(session.port().Baudrate(), TComBaudrate::br4800);
    ASSERT_FALSE(recorder.progress.empty());
    const ExchangeProgress& last = recorder.progress.back();
    EXPECT_EQ(last.receivedBytes, simulator.memory().size());
    EXPECT_EQ(last.expectedBytes, session.exchange().dataflashUsed() * 623LL);
    EXPECT_GE(last.percent, 99);
}

TEST_F(ExchangeSessionE2e, NoAnswerEndsWithTheWait) {
    simulator.setFault(sim::Fault::NoAnswer);
    const AnswerOutcome outcome = session.run(LoggerCommand::Delete);
    EXPECT_EQ(outcome.end, AnswerOutcome::End::NoAnswer);
    EXPECT_FALSE(outcome.hungUp);
    EXPECT_EQ(simulator.received(), "\n\r$PQVD,DEL\r\n");
    EXPECT_FALSE(session.answerTimer().isActive());
}

TEST_F(ExchangeSessionE2e, AHangUpInADownloadIsReported) {
    ASSERT_EQ(session.run(LoggerCommand::Status).end, AnswerOutcome::End::Evaluated);
    simulator.setFault(sim::Fault::HangUp);
    const AnswerOutcome outcome = session.run(LoggerCommand::Download);
    EXPECT_TRUE(outcome.hungUp);
    EXPECT_EQ(outcome.end, AnswerOutcome::End::Discarded);
    EXPECT_TRUE(recorder.lost);
    EXPECT_TRUE(recorder.lostDiscarded);
    EXPECT_FALSE(session.port().IsOpen());
    // What came before the hang-up is still there for a front end that keeps it.
    EXPECT_GT(session.rawAnswer().size(), 0u);
    EXPECT_LT(session.rawAnswer().size(), simulator.memory().size());
}

TEST_F(ExchangeSessionE2e, OnAndOffTakeTheirAnswers) {
    EXPECT_EQ(session.run(LoggerCommand::On).end, AnswerOutcome::End::Evaluated);
    EXPECT_EQ(session.rawAnswer(), "$PQVD,ON,OK\r\n");
    EXPECT_EQ(session.run(LoggerCommand::Off).end, AnswerOutcome::End::Evaluated);
    EXPECT_EQ(simulator.received(), "\n\r$PQVD,ON\r\n$PQVD,OFF\r\n");
}

TEST(SettingsSessionE2e, SendsEverySentenceBlocking) {
    sim::LoggerSimulator simulator;
    simulator.start();
    SettingsSession session;
    session.setDeviceResolver([&](const std::string&) { return simulator.devicePath(); });
    OwnerSettings settings;
    settings.pilot = "Jana Vogt";
    settings.minInterval = 7;
    ASSERT_TRUE(session.runTransfer(buildTransferTable(settings), 3));
    EXPECT_EQ(simulator.sentencesReceived("SET"), kTransferEntries);
    EXPECT_EQ(simulator.settings(0x00, 16), "Jana Vogt       ");
    EXPECT_EQ(simulator.settings(0xCF, 1), std::string(1, '\x07'));
    EXPECT_EQ(session.port()->FormattedName(), "COM3");
    session.close();
    EXPECT_EQ(session.port(), nullptr);
}

}  // namespace
}  // namespace qr
