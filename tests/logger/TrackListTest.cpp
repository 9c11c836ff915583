// The main window's track list offscreen, fed with a download as the evaluation stores it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "logger/TrackListFormat.h"
#include "support/WindowDriver.h"

namespace qr {
namespace {

std::string b(const char* hhmmss) {
    return std::string("B") + hhmmss + "4807123N01131234EA00500";
}

// Two flights on 8 December 2026 (100 and 20 fixes), then an A line at the very end.
std::string memory(const std::string& aLine, const char* lastSecondTrackFix = "131900") {
    std::vector<std::string> lines{"SendTrk 3", aLine, "HFDTE081226"};
    for (int i = 0; i < 99; ++i) lines.push_back(b("101500"));
    lines.push_back(b("124510"));
    lines.push_back("AXVN 002");
    for (int i = 0; i < 19; ++i) lines.push_back(b("130000"));
    lines.push_back(b(lastSecondTrackFix));
    lines.push_back("AXVN 003");
    std::string answer;
    for (const auto& line : lines) answer += line + "\r\n";
    return answer;
}

class TrackListTest : public ::testing::Test, protected test::MainWindowDriver {
protected:
    void SetUp() override { showWithoutLogger(); }

    // The selected entry is the ticked one, the only one, and the writer would get it.
    void expectChosen(int row, std::size_t count) {
        std::vector<bool> expected(count, false);
        expected[static_cast<std::size_t>(row)] = true;
        EXPECT_EQ(ticks(), expected);
        EXPECT_EQ(list()->currentRow(), row);
        EXPECT_TRUE(list()->item(row)->isSelected());
        EXPECT_EQ(window->trackSelection().chosenIndex, row);
        EXPECT_TRUE(get<QPushButton>("ButtonFertig")->isVisible());
    }
};

TEST_F(TrackListTest, ListsTheFlightsAndAsksForAChoice) {
    ASSERT_TRUE(openTrackList(memory("AXVN 001")));
    ASSERT_EQ(list()->count(), 2);
    EXPECT_TRUE(list()->isVisible());
    const TDateTime day = EncodeDate(2026, 12, 8);
    const QString first = list()->item(0)->text();
    EXPECT_TRUE(first.startsWith("Track 1 " + QString::fromStdString(regionalShortDate(day)) + " "))
        << first.toStdString();
    EXPECT_TRUE(first.contains("10:15:00")) << first.toStdString();
    EXPECT_TRUE(first.contains("12:45:10")) << first.toStdString();
    EXPECT_TRUE(first.endsWith(" UTC 100 Punkte")) << first.toStdString();
    EXPECT_TRUE(list()->item(1)->text().endsWith(" UTC 20 Punkte"));
    EXPECT_EQ(ticks(), (std::vector<bool>{false, false}));

    EXPECT_EQ(get<QLabel>("Label1")->text(),
              "Jetzt bitte einen Track auswählen, obige CheckBox prüfen und dann <Fertig> "
              "anklicken");
    EXPECT_TRUE(get<QLabel>("Label1")->isVisible());
    for (const char* name : {"ButtonOn", "ButtonOff", "ButtonBAT", "ButtonStart", "ButtonSet",
                             "ButtonDel", "ButtonAuswertung", "ButtonFertig"})
        EXPECT_FALSE(get<QPushButton>(name)->isVisible()) << name;
    EXPECT_FALSE(get<QPlainTextEdit>("Memo1")->isVisible());
    EXPECT_FALSE(get<QCheckBox>("CheckBoxNamen")->isVisible());
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(TrackListTest, ExactlyTheSelectedEntryIsTicked) {
    ASSERT_TRUE(openTrackList(memory("AXVN 001")));
    ASSERT_EQ(list()->count(), 2);
    int toggledByTheList = 0;
    QObject::connect(list(), &QListWidget::itemChanged, [&] { ++toggledByTheList; });

    clickEntryText(0);  // the text of an entry ticks it
    EXPECT_EQ(ticks(), (std::vector<bool>{true, false}));
    EXPECT_TRUE(get<QPushButton>("ButtonFertig")->isVisible());
    EXPECT_TRUE(get<QCheckBox>("CheckBoxNamen")->isVisible());

    clickTickBox(1);  // the tick box of entry 2 while entry 1 is ticked
    EXPECT_GE(toggledByTheList, 1) << "the click missed the tick box";
    EXPECT_EQ(ticks(), (std::vector<bool>{false, true}));

    clickTickBox(1);  // once more: the choice stays
    EXPECT_EQ(ticks(), (std::vector<bool>{false, true}));

    const TrackSelection selection = window->trackSelection();
    EXPECT_EQ(selection.chosenIndex, 1);
    EXPECT_EQ(selection.firstARecord, "AXVN 001");
    EXPECT_EQ(selection.lineCount, 125u);
    EXPECT_EQ(selection.line(2), "AXVN 001");
    EXPECT_EQ(selection.chosenStart(), EncodeDate(2026, 12, 8) + EncodeTime(13, 0, 0, 0));
    EXPECT_EQ(selection.startTable.size(), 2u);
    EXPECT_TRUE(selection.namesFromLogger);
}

TEST_F(TrackListTest, AKeyboardMoveOfTheChoiceMovesTheTick) {
    // Three flights: the third holds a single fix, the last line of the memory.
    ASSERT_TRUE(openTrackList(memory("AXVN 001") + b("140000") + "\r\n"));
    ASSERT_EQ(list()->count(), 3);
    clickEntryText(0);
    expectChosen(0, 3);

    const struct {
        int key;
        QString text;
        int row;
    } moves[] = {{Qt::Key_Down, {}, 1},     {Qt::Key_End, {}, 2}, {Qt::Key_Home, {}, 0},
                 {Qt::Key_PageDown, {}, 2}, {Qt::Key_Up, {}, 1},  {Qt::Key_PageUp, {}, 0},
                 {Qt::Key_T, "T", 1}};
    for (const auto& move : moves) {
        SCOPED_TRACE(move.key);
        pressKey(move.key, move.text);
        expectChosen(move.row, 3);
    }
}

TEST_F(TrackListTest, TheSpaceKeyOnATickBoxKeepsASingleChoice) {
    ASSERT_TRUE(openTrackList(memory("AXVN 001") + b("140000") + "\r\n"));
    ASSERT_EQ(list()->count(), 3);
    clickEntryText(0);
    pressKey(Qt::Key_End);
    pressKey(Qt::Key_Space, " ");  // would untick entry 3: the choice stays with it
    expectChosen(2, 3);
    clickEntryText(1);
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Space, " ");
    expectChosen(2, 3);
}

TEST_F(TrackListTest, WarningAboutTheSignatureOnlyForUsbLoggers) {
    for (const bool usb : {true, false}) {
        SCOPED_TRACE(usb ? "USB" : "no USB");
        ASSERT_TRUE(openTrackList(memory(usb ? "AXVN 001 USB" : "AXVN 001")));
        clickEntryText(0);
        auto* names = get<QCheckBox>("CheckBoxNamen");
        auto* memo2 = get<QPlainTextEdit>("Memo2");
        ASSERT_TRUE(names->isChecked());
        names->click();
        EXPECT_EQ(memo2->isVisible(), usb);
        EXPECT_FALSE(window->trackSelection().namesFromLogger);
        names->click();
        EXPECT_FALSE(memo2->isVisible());
        EXPECT_EQ(memo2->toPlainText().count('\n'), 2);
    }
}

TEST_F(TrackListTest, AnImpossibleTimeKeepsTheEarlierEntries) {
    ASSERT_TRUE(openTrackList(memory("AXVN 001", "130060")));
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_EQ(prompts.errors[0], "Ungültiges Argument zum Codieren der Uhrzeit");
    ASSERT_EQ(list()->count(), 1);
    EXPECT_TRUE(list()->item(0)->text().endsWith(" UTC 100 Punkte"));
    EXPECT_TRUE(list()->isVisible());
    EXPECT_FALSE(get<QLabel>("Label1")->isVisible());
    EXPECT_EQ(window->trackSelection().startTable.size(), 1u);
}

TEST_F(TrackListTest, TheSimulatorsSampleMemory) {
    QFile sample(QR_SAMPLE_MEMORY);
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly)) << QR_SAMPLE_MEMORY;
    ASSERT_TRUE(openTrackList(sample.readAll().toStdString()));
    ASSERT_EQ(list()->count(), 4);
    EXPECT_TRUE(list()->item(0)->text().startsWith("Track 1 "));
    EXPECT_EQ(list()->item(2)->text(), "leerer Track, abspeichern sinnlos!");
    EXPECT_TRUE(list()->item(3)->text().startsWith("Track 4 "));
    EXPECT_TRUE(prompts.errors.isEmpty());
    const TrackSelection selection = window->trackSelection();
    EXPECT_EQ(selection.startTable[2], 0.0);
    EXPECT_EQ(DecodeDate(selection.startTable[3]).day, 15);
}

}  // namespace
}  // namespace qr
