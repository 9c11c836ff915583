// The settings dialog writes the owner settings into the simulated logger: a fresh dialog
// shown modally as the main window shows it, its own port, the simulator on a pty.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "dialogs/TSetQVD.h"
#include "support/EventPump.h"
#include "support/ProgramRun.h"
#include "support/SettingsDialogDriver.h"
#include "support/SimulatorPort.h"

namespace qr {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

using test::pumpFor;

std::string address(int a) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", a);
    return text;
}

// The 67 addresses in the order they are sent.
std::vector<int> addresses() {
    std::vector<int> all;
    for (int a = 0; a < 0x40; ++a) all.push_back(a);
    for (int a : {0xCF, 0xDF, 0xEF}) all.push_back(a);
    return all;
}

// What the logger gets for these values: one sentence per byte, texts padded to 16.
std::string expectedSentences(const std::string& pilot, const std::string& type,
                              const std::string& id, const std::string& reserve,
                              const std::string& numbers) {
    const std::string bytes = (pilot + std::string(16 - pilot.size(), ' ')) +
                              (type + std::string(16 - type.size(), ' ')) +
                              (id + std::string(16 - id.size(), ' ')) +
                              (reserve + std::string(16 - reserve.size(), ' ')) + numbers;
    std::string all;
    const std::vector<int> order = addresses();
    for (std::size_t i = 0; i < order.size(); ++i)
        all += "$PQVD,SET," + address(order[i]) + "," + bytes[i] + "\r\n";
    return all;
}

// One program run against the simulator, whose port is COM 3.
struct LoggerRun : test::ProgramRun {
    explicit LoggerRun(sim::Fault fault = sim::Fault::None, sim::SimulatorConfig simConfig = {})
        : logger(simConfig) {
        test::startSimulatorAs(logger, 3);
        logger.setFault(fault);
        context.settings().writeString("Zelmor", "COM Port", "3");
    }
    sim::LoggerSimulator logger;
};

// Each tick after the first send sends the next sentence, one at a time.
void expectOneSentencePerTick(const test::SettingsDialogWatch& watch) {
    for (std::size_t i = 0; i < watch.ticks.size(); ++i)
        EXPECT_EQ(watch.ticks[i].nextPosition, std::min<int>(static_cast<int>(i) + 3, 68))
            << "tick " << i + 1;
}

std::string allAnswers() {
    std::string all;
    for (int a : addresses()) all += "$PQVD,SET," + address(a) + ",OK\r\n";
    return all;
}

TEST(SettingsDialogE2E, TheLoggerGetsEverySettingInTableOrderOneSentenceAtATime) {
    LoggerRun run;
    SettingsStore& store = run.context.settings();
    store.writeString("Zelmor", "setPLT", "Zora Quendel");
    store.writeString("Zelmor", "setGTY", "Skyline 4 long type name");
    store.writeString("Zelmor", "setINT", "2");
    store.writeString("Zelmor", "setPWD", "20");
    store.writeString("Zelmor", "setLCD", "true");
    run.prompts.answers = {true};  // the LCD is wanted

    auto dialog = std::make_unique<TSetQVD>(run.context);
    QSignalSpy closed(dialog.get(), &TSetQVD::formClosed);
    test::SettingsDialogWatch watch;
    watch.attach(*dialog, /*everyChange=*/true);
    const std::string everyAnswer = allAnswers();
    run.prompts.onModal = [&](QDialog& shown) {
        return test::runSettingsDialog(
            shown, [&] { return watch.answers().size() >= everyAnswer.size(); }, 20ms, 60s);
    };
    run.context.prompts().execModal(*dialog);
    EXPECT_EQ(closed.count(), 1);
    dialog.reset();

    const std::string expected =
        expectedSentences("Zora Quendel", "Skyline 4 long t", "not set", "not set", "\x02\x14\xFF");
    EXPECT_EQ(run.logger.received(), expected);
    EXPECT_EQ(run.logger.sentencesReceived("SET"), 67);
    EXPECT_EQ(run.logger.settings(0x00, 16), "Zora Quendel    ");
    EXPECT_EQ(run.logger.settings(0x10, 16), "Skyline 4 long t");
    EXPECT_EQ(run.logger.settings(0x20, 16), "not set         ");
    EXPECT_EQ(run.logger.settings(0x30, 16), "not set         ");
    EXPECT_EQ(
        run.logger.settings(0xCF, 1) + run.logger.settings(0xDF, 1) + run.logger.settings(0xEF, 1),
        "\x02\x14\xFF");

    EXPECT_EQ(watch.answers(), everyAnswer);  // each answer shown whole, in order
    EXPECT_GE(watch.ticks.size(), 67u);
    expectOneSentencePerTick(watch);
    EXPECT_TRUE(test::byteCountsGrow(watch.changes,
                                     19));  // the logger's line pace brings answers in pieces
    EXPECT_TRUE(run.prompts.errors.isEmpty()) << run.prompts.errors.join('\n').toStdString();
    EXPECT_EQ(store.readString("Zelmor", "setLCD", ""), "TRUE");
}

TEST(SettingsDialogE2E, ASilentLoggerGetsEverySentenceAndTheStatusSaysSo) {
    LoggerRun run(sim::Fault::NoAnswer);
    TSetQVD dialog(run.context);
    test::SettingsDialogWatch watch;
    watch.attach(dialog, /*everyChange=*/true);
    dialog.show();
    dialog.findChild<QLineEdit*>("Edit1")->clear();
    dialog.findChild<QPushButton*>("ButtonSend")->click();
    const auto* timer = dialog.findChild<QTimer*>("Timer1");
    const auto end = std::chrono::steady_clock::now() + 60s;
    while ((watch.ticks.size() < 67 || timer->isActive()) && std::chrono::steady_clock::now() < end)
        pumpFor(20ms);

    EXPECT_EQ(run.logger.received(),
              expectedSentences("", "not set", "not set", "not set", "\x05\x21"s + '\0'));
    ASSERT_EQ(watch.ticks.size(), 67u);
    for (const auto& tick : watch.ticks) EXPECT_EQ(tick.status, "Quendarix antwortet nicht");
    expectOneSentencePerTick(watch);
    EXPECT_EQ(dialog.findChild<QLabel*>("Label11")->text(), "Quendarix antwortet nicht");
    EXPECT_TRUE(run.prompts.errors.isEmpty()) << run.prompts.errors.join('\n').toStdString();
}

TEST(SettingsDialogE2E, AnAnswerWithAPauseIsOneAnswerAndClosingStopsTheTransfer) {
    sim::SimulatorConfig simConfig;
    simConfig.stallTime = 40ms;  // well inside the dialog's 100 ms of quiet
    LoggerRun run(sim::Fault::Stall, simConfig);
    auto dialog = std::make_unique<TSetQVD>(run.context);
    test::SettingsDialogWatch watch;
    watch.attach(*dialog, /*everyChange=*/true);
    run.prompts.onModal = [&](QDialog& shown) {
        return test::runSettingsDialog(
            shown, [&] { return watch.ticks.size() >= 5; }, 5ms, 60s);
    };
    run.context.prompts().execModal(*dialog);
    dialog.reset();

    const std::size_t sent = run.logger.received().size();
    EXPECT_EQ(sent % 18, 0u);
    EXPECT_GE(sent, 5u * 18u);
    EXPECT_LT(sent, 67u * 18u);
    pumpFor(500ms);  // the last answer still comes; nothing is sent any more
    EXPECT_EQ(run.logger.received().size(), sent);

    // Every answer shown whole although it came with a pause in it.
    const std::string shown = watch.answers();
    EXPECT_EQ(shown, allAnswers().substr(0, shown.size()));
    EXPECT_GE(shown.size(), 4u * 19u);
    EXPECT_TRUE(test::byteCountsGrow(watch.changes, 19));
    EXPECT_TRUE(run.prompts.errors.isEmpty()) << run.prompts.errors.join('\n').toStdString();
}

}  // namespace
}  // namespace qr
