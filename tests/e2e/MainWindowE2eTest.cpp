// The main window against the logger simulator over a pseudo-terminal: the real window,
// the real serial port and the real exchange; only the person is played by FakePrompts.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <chrono>

#include "support/EventPump.h"
#include "support/SimulatorWindow.h"

using namespace std::chrono_literals;
using qr::test::pumpUntil;

namespace qr {
namespace {

constexpr auto kDeadline = test::kEndToEndDeadline;

class MainWindowE2e : public ::testing::Test, protected test::SimulatorWindowDriver {};

TEST_F(MainWindowE2e, StatusCommand) {
    ASSERT_TRUE(startOnSimulator());
    button("ButtonBAT")->click();
    EXPECT_FALSE(button("ButtonStart")->isEnabled());
    EXPECT_FALSE(answered());
    ASSERT_TRUE(pumpUntil([&] { return answered(); }, kDeadline));
    EXPECT_EQ(simulator->received(), "\n\r$PQVD,STA\r\n");

    const std::string status = simulator->statusAnswer();
    const auto lines = test::asStored(test::splitLines(status));
    std::string shown;
    for (const auto& line : lines) shown += line + "\n";
    EXPECT_EQ(memo().toStdString(), shown);
    EXPECT_EQ(window->lineCount(), static_cast<int>(lines.size()));
    EXPECT_EQ(window->dataflashUsed(), static_cast<int>((simulator->memory().size() + 622) / 623));
    for (const char* name : {"ButtonStart", "ButtonSet", "ButtonDel"})
        EXPECT_TRUE(button(name)->isEnabled()) << name;
    EXPECT_EQ(panel(1), QString("Bytes empfangen: %1").arg(status.size()));
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(MainWindowE2e, DownloadAt57600) {
    sim::SimulatorConfig config;
    config.pacing = false;  // the whole sample in moments; the speeds must still agree
    ASSERT_TRUE(startOnSimulator(config));
    const auto before = std::chrono::steady_clock::now();
    button("ButtonStart")->click();
    // The sentence went out at 4800 baud (the simulator understands no other speed), the
    // switch to 57600 came after the 200 ms pause.
    EXPECT_GE(std::chrono::steady_clock::now() - before, 200ms);
    EXPECT_EQ(simulator->programSpeed(), 57600);
    ASSERT_TRUE(pumpUntil([&] { return answered(); }, kDeadline));
    EXPECT_EQ(simulator->received(), "\n\r$PQVD,IGC,4\r\n");
    EXPECT_EQ(simulator->sentencesReceived("IGC"), 1);
    EXPECT_EQ(simulator->programSpeed(), 4800);  // back for the next command

    const std::string memory = sim::sampleMemory();
    EXPECT_EQ(window->exchange().receiveBuffer(), memory);
    const auto expected = test::asStored(test::splitLines(memory));
    ASSERT_EQ(window->lineCount(), static_cast<int>(expected.size()));
    const auto& stored = window->lineBuffer().lines();
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), stored.begin()));
    EXPECT_TRUE(button("ButtonAuswertung")->isVisible());
    EXPECT_EQ(get<QLabel>("Label2")->text(),
              QString("nur jeder %1. B-Record wird hier angezeigt!").arg(memory.size() / 12500));
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(MainWindowE2e, NoAnswer) {
    ASSERT_TRUE(startOnSimulator());
    simulator->setFault(sim::Fault::NoAnswer);
    ASSERT_TRUE(runCommand("ButtonBAT"));
    EXPECT_EQ(memo(), "Quendarix antwortet nicht!!!\n");
    for (const char* name :
         {"ButtonOn", "ButtonOff", "ButtonBAT", "ButtonStart", "ButtonSet", "ButtonDel"})
        EXPECT_TRUE(button(name)->isVisible()) << name;
    EXPECT_TRUE(get<QComboBox>("ComboBoxBaud")->isVisible());
}

TEST_F(MainWindowE2e, DeleteAfterConfirmation) {
    ASSERT_TRUE(startOnSimulator());
    ASSERT_FALSE(simulator->memory().empty());
    prompts.answers = {true};
    ASSERT_TRUE(runCommand("ButtonDel"));
    EXPECT_EQ(simulator->received(), "\n\r$PQVD,DEL\r\n");
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(simulator->memory().empty());
    EXPECT_EQ(memo(), "$PQVD,DEL,OK\n");
}

TEST_F(MainWindowE2e, UnpluggedInMidDownload) {
    sim::SimulatorConfig config;
    // A few flights of the sample, paced at the line rate: the hang-up comes while they
    // are still arriving.
    const std::string sample = sim::sampleMemory();
    config.memory = sample.substr(0, sample.find("\r\n", 20000) + 2);
    ASSERT_TRUE(startOnSimulator(config));
    simulator->setFault(sim::Fault::HangUp);
    ASSERT_TRUE(runCommand("ButtonStart", [&] { return !prompts.errors.isEmpty(); }));
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].contains("unterbrochen")) << prompts.errors[0].toStdString();
    EXPECT_TRUE(prompts.errors[0].contains("Tracks wurden verworfen"))
        << prompts.errors[0].toStdString();
    EXPECT_FALSE(window->comPort().IsOpen());
    // What came before the hang-up is no track memory: the line buffer keeps what it held
    // (here nothing), and no track list is offered.
    EXPECT_LT(window->exchange().receiveBuffer().size(), config.memory.size());
    EXPECT_GT(window->exchange().receiveBuffer().size(), 0u);
    EXPECT_EQ(window->lineCount(), 0);
    EXPECT_FALSE(button("ButtonAuswertung")->isVisible());
    EXPECT_EQ(memo(), "Übertragung unterbrochen, unvollständige Tracks verworfen!!!\n");

    // Plugged in again, the next command opens the port afresh.
    simulator->setFault(sim::Fault::None);
    simulator->replug();
    ASSERT_TRUE(runCommand("ButtonBAT"));
    EXPECT_TRUE(memo().contains("GLIDERID"));
    EXPECT_EQ(prompts.errors.size(), 1);
}

}  // namespace
}  // namespace qr
