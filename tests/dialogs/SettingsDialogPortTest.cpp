// The settings dialog over a real pseudo-terminal: what goes on the line, the pacing by the
// answers, and closing in the middle of a transfer.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "dialogs/PtyPeer.h"
#include "dialogs/QtPrinting.h"
#include "dialogs/TSetQVD.h"
#include "serial/TComPort.h"
#include "support/ProgramRun.h"
#include "support/SettingsDialogDriver.h"

namespace qr {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

// The dialog's port reaches the peer as COM 7.
struct Session : test::ProgramRun {
    explicit Session(test::PtyPeer& peer) {
        test::mapPort(7, peer.slavePath());
        context.settings().writeString("Zelmor", "COM Port", "7");
    }
};

std::string sentence(int address, const std::string& value) {
    char head[16];
    std::snprintf(head, sizeof head, "%04X,", address);
    return "$PQVD,SET,"s + head + value + "\r\n";
}

// Each sentence only after the previous answer has been quiet for the pacing time (the
// timer may fire a hair early by clock rounding). Both times err towards a longer quiet, so
// a slow machine cannot make this fail.
void expectPacedByAnswers(const std::vector<test::PtyPeer::Sentence>& sentences) {
    for (std::size_t i = 1; i < sentences.size(); ++i) {
        const auto answered = sentences[i - 1].lastAnswerWrite;
        ASSERT_NE(answered, test::PtyPeer::Clock::time_point{}) << "sentence " << i;
        EXPECT_GE(sentences[i].arrived - answered, 95ms) << "sentence " << i + 1;
    }
}

TEST(SettingsDialogPort, SilentLoggerGetsAllSentencesWithTheDeclinedLcdOff) {
    test::PtyPeer peer;  // never answers
    Session s(peer);
    TSetQVD dialog(s.context);
    dialog.show();
    dialog.findChild<QLineEdit*>("Edit1")->setText("");
    dialog.findChild<QLineEdit*>("Edit3")->setText("D-1234567890ABCDEFG");
    dialog.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
    s.prompts.answers = {false};
    QPushButton* send = dialog.findChild<QPushButton*>("ButtonSend");
    const QLabel* status = dialog.findChild<QLabel*>("Label11");
    const QTimer* timer = dialog.findChild<QTimer*>("Timer1");

    const auto clicked = test::PtyPeer::Clock::now();
    send->click();
    EXPECT_TRUE(s.prompts.errors.isEmpty()) << s.prompts.errors.join('\n').toStdString();
    EXPECT_TRUE(dialog.comPort()->IsOpen());
    EXPECT_TRUE(send->isVisible());  // usable during the transfer
    EXPECT_FALSE(dialog.findChild<QCheckBox*>("CheckBox1")->isChecked());
    EXPECT_EQ(s.context.settings().readString("Zelmor", "setLCD", ""), "FALSE");

    ASSERT_TRUE(
        test::pumpUntil([&] { return peer.sentenceCount() == 67 && !timer->isActive(); }, 60s));
    EXPECT_EQ(status->text(), "Quendarix antwortet nicht");

    std::string expected;
    for (int i = 0; i < 16; ++i) expected += sentence(i, " ");
    const std::string notSet = "not set         ";
    const std::string gliderId = "D-1234567890ABCD";
    for (int i = 0; i < 16; ++i) expected += sentence(0x10 + i, notSet.substr(i, 1));
    for (int i = 0; i < 16; ++i) expected += sentence(0x20 + i, gliderId.substr(i, 1));
    for (int i = 0; i < 16; ++i) expected += sentence(0x30 + i, notSet.substr(i, 1));
    expected += sentence(0xCF, "\x05") + sentence(0xDF, "\x21") + sentence(0xEF, "\0"s);
    ASSERT_EQ(expected.size(), 67u * 18u);
    EXPECT_EQ(peer.received(), expected);
    // 66 waits of 100 ms without an answer between the first and the last sentence.
    EXPECT_GE(peer.sentences().back().arrived - clicked, 66 * 99ms);

    // The transfer is over: nothing more follows.
    test::pumpFor(300ms);
    EXPECT_EQ(peer.received().size(), expected.size());
    EXPECT_TRUE(s.prompts.errors.isEmpty());
}

// A hand-edited "COM Port" that is no text: the main window's default port, COM 1.
TEST(SettingsDialogPort, APortValueThatIsNoTextSendsOnComOne) {
    test::PtyPeer peer;
    test::TempConfig config;
    {
        QSettings raw(SettingsStore::defaultPath(), QSettings::IniFormat);
        raw.setValue("Ports/COM1", QString::fromStdString(peer.slavePath()));
        raw.setValue("Zelmor/COM Port", QStringList{"7", "8"});
    }
    test::FakePrompts prompts;
    AppContext context{prompts, "Quendarix-reader"};
    TSetQVD dialog(context);
    dialog.show();
    dialog.findChild<QPushButton*>("ButtonSend")->click();
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join('\n').toStdString();
    ASSERT_TRUE(dialog.comPort()->IsOpen());
    EXPECT_EQ(dialog.comPort()->PortNum(), 1);
    ASSERT_TRUE(test::pumpUntil([&] { return peer.sentenceCount() >= 2; }, 10s));
    EXPECT_EQ(peer.sentences().front().bytes.substr(0, 15), "$PQVD,SET,0000,");
}

// Shown the way the main window shows it: a fresh instance, modal, destroyed afterwards.
TEST(SettingsDialogPort, AnswersInPiecesShowAsOneAndClosingMidTransferStopsCleanly) {
    const std::string answer = "$PQVD,SET,OK\r\n";
    test::PtyPeer peer([&](int, const std::string&) {
        return std::vector<test::PtyPeer::Piece>{
            {10ms, answer.substr(0, 6)}, {40ms, answer.substr(6, 4)}, {40ms, answer.substr(10)}};
    });
    Session s(peer);
    auto dialog = std::make_unique<TSetQVD>(s.context);
    QSignalSpy closed(dialog.get(), &TSetQVD::formClosed);

    QStringList seen;  // the status line's texts, as they change
    s.prompts.onModal = [&](QDialog& shown) {
        auto* status = shown.findChild<QLabel*>("Label11");
        return test::runSettingsDialog(
            shown,
            [&] {
                if (seen.isEmpty() || seen.back() != status->text()) seen << status->text();
                return peer.sentenceCount() >= 6;
            },
            2ms);
    };
    s.context.prompts().execModal(*dialog);

    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(dialog->comPort(), nullptr);
    EXPECT_FALSE(dialog->findChild<QTimer*>("Timer1")->isActive());
    dialog.reset();

    // The peer still answers the last sentence; nothing reaches the gone dialog and no
    // further sentence is sent.
    const std::size_t sent = peer.sentenceCount();
    test::pumpFor(500ms);
    EXPECT_EQ(peer.sentenceCount(), sent);
    EXPECT_EQ(peer.received().size(), sent * 18);
    EXPECT_TRUE(s.prompts.errors.isEmpty()) << s.prompts.errors.join('\n').toStdString();

    const QString shownAnswer = "Antwort von Quendarix: " + QString::fromLatin1(answer);
    EXPECT_GE(seen.count(shownAnswer), 4) << seen.join(" | ").toStdString();
    // Within one answer the count only grows, up to the answer's full length.
    EXPECT_TRUE(test::byteCountsGrow(seen, 14)) << seen.join(" | ").toStdString();
    const std::vector<test::PtyPeer::Sentence> sentences = peer.sentences();
    EXPECT_EQ(sentences[0].bytes, sentence(0, "n"));
    ASSERT_NO_FATAL_FAILURE(expectPacedByAnswers(sentences));
}

}  // namespace
}  // namespace qr
