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

#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "dialogs/TSetQVD.h"
#include "qvdsim/LoggerSimulator.h"
#include "support/EventPump.h"
#include "support/FakePrompts.h"
#include "support/TempConfig.h"

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
struct LoggerRun {
    explicit LoggerRun(sim::Fault fault = sim::Fault::None, sim::SimulatorConfig simConfig = {})
        : logger(simConfig) {
        logger.start();
        logger.setFault(fault);
        logger.registerAs(config.iniPath().toStdString(), 3);
        context.settings().writeString("Zelmor", "COM Port", "3");
    }
    test::TempConfig config;
    test::FakePrompts prompts;
    AppContext context{prompts, "Quendarix-reader"};
    sim::LoggerSimulator logger;
};

// What the dialog shows while it runs: the status line at each tick of its pacing timer
// (after the tick's own handling) with the position it has reached, and every change of
// the status line as far as the test sees it.
struct Watch {
    struct Tick {
        QString status;
        int nextPosition;
    };
    std::vector<Tick> ticks;
    QStringList changes;

    void attach(TSetQVD& dialog) {
        auto* timer = dialog.findChild<QTimer*>("Timer1");
        auto* status = dialog.findChild<QLabel*>("Label11");
        QObject::connect(timer, &QTimer::timeout, &dialog, [this, &dialog, status] {
            ticks.push_back({status->text(), dialog.transfer().nextPosition()});
        });
        auto* poll = new QTimer(&dialog);
        QObject::connect(poll, &QTimer::timeout, [this, status] {
            if (changes.isEmpty() || changes.back() != status->text()) changes << status->text();
        });
        poll->start(1);
    }

    // The answers shown, one after the other, as the bytes that came.
    std::string answers() const {
        const QString prefix = "Antwort von Quendarix: ";
        std::string all;
        for (const Tick& t : ticks)
            if (t.status.startsWith(prefix))
                all += t.status.mid(prefix.size()).toLatin1().toStdString();
        return all;
    }

    // Each tick after the first send sends the next sentence, one at a time.
    void expectOneSentencePerTick() const {
        for (std::size_t i = 0; i < ticks.size(); ++i)
            EXPECT_EQ(ticks[i].nextPosition, std::min<int>(static_cast<int>(i) + 3, 68))
                << "tick " << i + 1;
    }

    // The byte count grows piece by piece within an answer; returns whether any count
    // short of a whole answer was seen.
    bool countsGrow(int answerLength) const {
        const QString prefix = "Bytes übertragen: ";
        int last = 0;
        bool partial = false;
        for (const QString& text : changes) {
            if (!text.startsWith(prefix)) {
                last = 0;
                continue;
            }
            const int count = text.mid(prefix.size()).toInt();
            EXPECT_GT(count, last) << text.toStdString();
            partial = partial || count % answerLength != 0;
            last = count;
        }
        return partial;
    }
};

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
    Watch watch;
    watch.attach(*dialog);
    const std::string everyAnswer = allAnswers();
    run.prompts.onModal = [&](QDialog& shown) {
        QTimer::singleShot(0, shown.findChild<QPushButton*>("ButtonSend"), &QPushButton::click);
        QTimer done;
        QObject::connect(&done, &QTimer::timeout, [&] {
            if (watch.answers().size() < everyAnswer.size()) return;
            done.stop();
            shown.findChild<QPushButton*>("ButtonOK")->click();
        });
        done.start(20);
        QTimer::singleShot(60s, &shown, &QDialog::reject);  // a last resort, never needed
        return shown.exec();
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
    watch.expectOneSentencePerTick();
    EXPECT_TRUE(watch.countsGrow(19));  // the logger's line pace brings answers in pieces
    EXPECT_TRUE(run.prompts.errors.isEmpty()) << run.prompts.errors.join('\n').toStdString();
    EXPECT_EQ(store.readString("Zelmor", "setLCD", ""), "TRUE");
}

TEST(SettingsDialogE2E, ASilentLoggerGetsEverySentenceAndTheStatusSaysSo) {
    LoggerRun run(sim::Fault::NoAnswer);
    TSetQVD dialog(run.context);
    Watch watch;
    watch.attach(dialog);
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
    for (const Watch::Tick& tick : watch.ticks) EXPECT_EQ(tick.status, "Quendarix antwortet nicht");
    watch.expectOneSentencePerTick();
    EXPECT_EQ(dialog.findChild<QLabel*>("Label11")->text(), "Quendarix antwortet nicht");
    EXPECT_TRUE(run.prompts.errors.isEmpty()) << run.prompts.errors.join('\n').toStdString();
}

TEST(SettingsDialogE2E, AnAnswerWithAPauseIsOneAnswerAndClosingStopsTheTransfer) {
    sim::SimulatorConfig simConfig;
    simConfig.stallTime = 40ms;  // well inside the dialog's 100 ms of quiet
    LoggerRun run(sim::Fault::Stall, simConfig);
    auto dialog = std::make_unique<TSetQVD>(run.context);
    Watch watch;
    watch.attach(*dialog);
    run.prompts.onModal = [&](QDialog& shown) {
        QTimer::singleShot(0, shown.findChild<QPushButton*>("ButtonSend"), &QPushButton::click);
        QTimer done;
        QObject::connect(&done, &QTimer::timeout, [&] {
            if (watch.ticks.size() < 5) return;
            done.stop();
            shown.findChild<QPushButton*>("ButtonOK")->click();
        });
        done.start(5);
        QTimer::singleShot(60s, &shown, &QDialog::reject);
        return shown.exec();
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
    EXPECT_TRUE(watch.countsGrow(19));
    EXPECT_TRUE(run.prompts.errors.isEmpty()) << run.prompts.errors.join('\n').toStdString();
}

}  // namespace
}  // namespace qr
