// The main window's track list offscreen, fed with a download as the evaluation stores it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <memory>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "logger/TZelmor.h"
#include "logger/TrackListFormat.h"
#include "support/FakePrompts.h"
#include "support/TempConfig.h"

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

class TrackListTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore().writeString("Ports", "COM1", "/nonexistent/qr-no-such-tty");
        window = std::make_unique<TZelmor>(context);
        window->show();
    }

    template <typename T>
    T* get(const char* name) {
        T* control = window->findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QListWidget* list() { return get<QListWidget>("CheckListBoxTrack"); }

    // A download as the evaluation leaves it, then "igc-Datei speichern".
    void buildList(const std::string& answer) {
        window->exchange().prepareCommand();
        window->exchange().setDownloadMode();
        window->exchange().receive(answer);
        window->Auswerten();
        ASSERT_TRUE(get<QPushButton>("ButtonAuswertung")->isVisible());
        get<QPushButton>("ButtonAuswertung")->click();
    }

    void click(const QPoint& at) {
        QWidget* viewport = list()->viewport();
        const QPoint global = viewport->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        QApplication::sendEvent(viewport, &release);
    }
    void clickText(int row) {
        const QRect rect = list()->visualItemRect(list()->item(row));
        click(QPoint(rect.right() - 10, rect.center().y()));
    }
    void clickTickBox(int row) {
        QStyleOptionViewItem option;
        option.initFrom(list());
        option.rect = list()->visualItemRect(list()->item(row));
        option.features =
            QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        option.text = list()->item(row)->text();
        const QRect box =
            list()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list());
        click(box.center());
    }
    void press(int key, const QString& text = {}) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(list(), &down);
        QApplication::sendEvent(list(), &up);
    }
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
    std::vector<bool> ticks() {
        std::vector<bool> out;
        for (int i = 0; i < list()->count(); ++i)
            out.push_back(list()->item(i)->checkState() == Qt::Checked);
        return out;
    }

    test::TempConfig config;
    test::FakePrompts prompts;
    AppContext context{prompts, "Quendarix-reader"};
    std::unique_ptr<TZelmor> window;
};

TEST_F(TrackListTest, ListsTheFlightsAndAsksForAChoice) {
    buildList(memory("AXVN 001"));
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
    buildList(memory("AXVN 001"));
    ASSERT_EQ(list()->count(), 2);
    int toggledByTheList = 0;
    QObject::connect(list(), &QListWidget::itemChanged, [&] { ++toggledByTheList; });

    clickText(0);  // the text of an entry ticks it
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
    buildList(memory("AXVN 001") + b("140000") + "\r\n");
    ASSERT_EQ(list()->count(), 3);
    clickText(0);
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
        press(move.key, move.text);
        expectChosen(move.row, 3);
    }
}

TEST_F(TrackListTest, TheSpaceKeyOnATickBoxKeepsASingleChoice) {
    buildList(memory("AXVN 001") + b("140000") + "\r\n");
    ASSERT_EQ(list()->count(), 3);
    clickText(0);
    press(Qt::Key_End);
    press(Qt::Key_Space, " ");  // would untick entry 3: the choice stays with it
    expectChosen(2, 3);
    clickText(1);
    press(Qt::Key_Down);
    press(Qt::Key_Space, " ");
    expectChosen(2, 3);
}

TEST_F(TrackListTest, WarningAboutTheSignatureOnlyForUsbLoggers) {
    for (const bool usb : {true, false}) {
        SCOPED_TRACE(usb ? "USB" : "no USB");
        buildList(memory(usb ? "AXVN 001 USB" : "AXVN 001"));
        clickText(0);
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
    buildList(memory("AXVN 001", "130060"));
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
    buildList(sample.readAll().toStdString());
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
