// The settings dialog without a working port: its controls, loading, storing, the typing
// limit, the status line and every way of closing it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <map>
#include <memory>

#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "dialogs/QtPrinting.h"
#include "dialogs/TSetQVD.h"
#include "serial/TComPort.h"
#include "support/ProgramRun.h"

namespace qr {
namespace {

const QString kLcdQuestion =
    "Bitte nochmals prüfen, ob der LCD wirklich aktiviert werden soll. Nicht vorhandene LCD "
    "auch nicht aktivieren!";

using test::control;

// One run of the program's settings: a temporary store, answers in place of a person.
struct Session : test::ProgramRun {
    SettingsStore& store() { return context.settings(); }
    QString stored(const QString& name) { return store().readString("Zelmor", name, "<missing>"); }
};

TEST(SettingsDialog, HasTheControlsWithTheirTextsAndFormValues) {
    Session s;
    TSetQVD dialog(s.context);
    EXPECT_EQ(dialog.objectName(), "SetQVD");
    EXPECT_EQ(dialog.windowTitle(), "Quendarix Einstellungen vornehmen für Quendarix-reader");
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());  // fixed size

    const std::map<const char*, QString> labels = {
        {"Label1", "Pilot:"},
        {"Label2", "Glidertype:"},
        {"Label3", "GliderID:"},
        {"Label4", "Reserve:"},
        {"Label5", "MinIntervall:"},
        {"Label6",
         "Dieser Wert setzt das minimale Zeitintervall in Sekunden zwischen zwei "
         "aufgezeichneten Datenpunkten."},
        {"Label7",
         "Die tatsächliche Aufzeichnungsintervall hängt aber auch vom Zeitintervall "
         "der eingespeisten NMEA-Daten ab."},
        {"Label8", "PowerDown"},
        {"Label9",
         "Hiermit wird festgesetzt, nach welcher inaktiven Zeit (ohne Daten am "
         "Eingang) der Quendarix abschaltet"},
        {"Label10",
         "Die effektive Zeit ergibt sich aus diesem Wert * 30 sec, Beispiel:  Wert "
         "20 entspricht ca. 10 min"},
        {"Label11", ""},
    };
    for (const auto& [name, text] : labels) {
        const QLabel* label = control<QLabel>(dialog, name);
        ASSERT_TRUE(label);
        EXPECT_EQ(label->text(), text) << name;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
    }
    EXPECT_TRUE(control<QLabel>(dialog, "Label11")->font().bold());

    for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4"}) {
        const QLineEdit* edit = control<QLineEdit>(dialog, name);
        ASSERT_TRUE(edit);
        EXPECT_EQ(edit->font().family(), "Courier") << name;
        EXPECT_TRUE(edit->font().bold()) << name;
        EXPECT_EQ(edit->isHidden(), QString(name) == "Edit4") << name;
    }
    EXPECT_TRUE(control<QLabel>(dialog, "Label4")->isHidden());

    const QSpinBox* interval = control<QSpinBox>(dialog, "SpinEdit1");
    const QSpinBox* powerDown = control<QSpinBox>(dialog, "SpinEdit2");
    ASSERT_TRUE(interval && powerDown);
    EXPECT_EQ(std::make_tuple(interval->minimum(), interval->maximum(), interval->value()),
              std::make_tuple(1, 60, 5));
    EXPECT_EQ(std::make_tuple(powerDown->minimum(), powerDown->maximum(), powerDown->value()),
              std::make_tuple(1, 255, 33));

    const QCheckBox* lcd = control<QCheckBox>(dialog, "CheckBox1");
    ASSERT_TRUE(lcd);
    EXPECT_EQ(lcd->text(),
              "LCD-Display am Logger aktivieren (bitte nicht unnötig einschalten, insbesondere "
              "wenn gar kein Display vorhanden)");
    EXPECT_FALSE(lcd->isChecked());

    const QPlainTextEdit* memo = control<QPlainTextEdit>(dialog, "Memo1");
    ASSERT_TRUE(memo);
    const QStringList lines = memo->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[0],
              "Die Parameter für Pilotenname, Glider-Typ und Glider-ID müssen vor dem Flug im "
              "Logger abgelegt");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[7], "die richtige Vorgehensweise anwenden.");

    const QPushButton* send = control<QPushButton>(dialog, "ButtonSend");
    ASSERT_TRUE(send);
    EXPECT_EQ(send->text(), "=> &Quendarix");
    EXPECT_FALSE(send->icon().isNull());
    EXPECT_TRUE(control<QPushButton>(dialog, "ButtonOK"));

    const QTimer* timer = control<QTimer>(dialog, "Timer1");
    ASSERT_TRUE(timer);
    EXPECT_EQ(timer->interval(), 100);
    EXPECT_FALSE(timer->isActive());

    ASSERT_TRUE(dialog.comPort());
    EXPECT_FALSE(dialog.comPort()->IsOpen());
    EXPECT_EQ(dialog.comPort()->Baudrate(), TComBaudrate::br4800);
}

TEST(SettingsDialog, LoadsTheStoredValuesWhenShown) {
    struct Case {
        const char* name;
        std::map<QString, QString> stored;
        QStringList texts;  // Edit1 to Edit4
        int interval, powerDown;
        bool lcd;
        QString error;
    };
    const QStringList notSet = {"not set", "not set", "not set", "not set"};
    const Case cases[] = {
        {"nothing stored", {}, notSet, 5, 33, false, ""},
        {"stored values",
         {{"setPLT", "Zora Quendel"},
          {"setGTY", ""},
          {"setGID", "D-XQVD"},
          {"setRES", "r"},
          {"setINT", "12"},
          {"setPWD", "200"},
          {"setLCD", "TRUE"}},
         {"Zora Quendel", "", "D-XQVD", "r"},
         12,
         200,
         true,
         ""},
        {"longer than 16 shown whole",
         {{"setPLT", "ABCDEFGHIJKLMNOPQRST"}},
         {"ABCDEFGHIJKLMNOPQRST", "not set", "not set", "not set"},
         5,
         33,
         false,
         ""},
        {"lower-case true", {{"setLCD", "true"}}, notSet, 5, 33, true, ""},
        {"mixed-case true", {{"setLCD", "tRuE"}}, notSet, 5, 33, true, ""},
        {"yes", {{"setLCD", "yes"}}, notSet, 5, 33, false, ""},
        {"true with a blank", {{"setLCD", "TRUE "}}, notSet, 5, 33, false, ""},
        {"below the ranges", {{"setINT", "0"}, {"setPWD", "-7"}}, notSet, 1, 1, false, ""},
        {"above the ranges", {{"setINT", "300"}, {"setPWD", "300"}}, notSet, 60, 255, false, ""},
        {"hexadecimal", {{"setINT", "$1E"}, {"setPWD", "0x10"}}, notSet, 30, 16, false, ""},
        {"interval not a number",
         {{"setINT", "5 s"}, {"setPWD", "100"}, {"setLCD", "TRUE"}},
         notSet,
         5,
         33,
         false,
         "'5 s' ist kein gültiger Integerwert"},
        {"power-down not a number",
         {{"setINT", "7"}, {"setPWD", "abc"}, {"setLCD", "TRUE"}},
         notSet,
         7,
         33,
         false,
         "'abc' ist kein gültiger Integerwert"},
        {"empty interval",
         {{"setINT", ""}},
         notSet,
         5,
         33,
         false,
         "'' ist kein gültiger Integerwert"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        for (const auto& [name, value] : c.stored) s.store().writeString("Zelmor", name, value);
        TSetQVD dialog(s.context);
        dialog.show();
        const char* edits[] = {"Edit1", "Edit2", "Edit3", "Edit4"};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(control<QLineEdit>(dialog, edits[i])->text(), c.texts[i]);
        EXPECT_EQ(control<QSpinBox>(dialog, "SpinEdit1")->value(), c.interval);
        EXPECT_EQ(control<QSpinBox>(dialog, "SpinEdit2")->value(), c.powerDown);
        EXPECT_EQ(control<QCheckBox>(dialog, "CheckBox1")->isChecked(), c.lcd);
        EXPECT_EQ(s.prompts.errors, c.error.isEmpty() ? QStringList() : QStringList{c.error});
        EXPECT_TRUE(dialog.isVisible());  // shown all the same
    }
}

TEST(SettingsDialog, TypingStopsAtSixteenCharactersButALongerStoredTextCanBeShortened) {
    Session s;
    s.store().writeString("Zelmor", "setGTY", "ABCDEFGHIJKLMNOPQRST");
    TSetQVD dialog(s.context);
    dialog.show();
    QLineEdit* pilot = control<QLineEdit>(dialog, "Edit1");
    pilot->clear();
    pilot->insert("0123456789abcdefXYZ");  // typed or pasted: only what fits
    EXPECT_EQ(pilot->text(), "0123456789abcdef");
    pilot->insert("!");
    EXPECT_EQ(pilot->text(), "0123456789abcdef");

    QLineEdit* glider = control<QLineEdit>(dialog, "Edit2");
    glider->end(false);
    glider->insert("U");
    EXPECT_EQ(glider->text(), "ABCDEFGHIJKLMNOPQRST");
    glider->backspace();
    glider->backspace();
    glider->insert("xyz");  // still longer than 16: nothing more goes in
    EXPECT_EQ(glider->text(), "ABCDEFGHIJKLMNOPQR");
    glider->setSelection(0, 4);
    glider->insert("12345678");  // replacing a selection takes only what keeps the length
    EXPECT_EQ(glider->text(), "1234EFGHIJKLMNOPQR");
}

TEST(SettingsDialog, EditingAFieldClearsTheStatusLineButTheLcdSwitchDoesNot) {
    Session s;
    TSetQVD dialog(s.context);
    dialog.show();
    const QLabel* status = control<QLabel>(dialog, "Label11");
    struct Change {
        const char* name;
        std::function<void()> apply;
        bool clears;
    };
    const Change changes[] = {
        {"Edit1", [&] { control<QLineEdit>(dialog, "Edit1")->insert("a"); }, true},
        {"Edit2", [&] { control<QLineEdit>(dialog, "Edit2")->setText("b"); }, true},
        {"Edit3", [&] { control<QLineEdit>(dialog, "Edit3")->backspace(); }, true},
        {"Edit4", [&] { control<QLineEdit>(dialog, "Edit4")->setText("d"); }, true},
        {"SpinEdit1", [&] { control<QSpinBox>(dialog, "SpinEdit1")->stepUp(); }, true},
        {"SpinEdit2", [&] { control<QSpinBox>(dialog, "SpinEdit2")->setValue(9); }, true},
        {"CheckBox1", [&] { control<QCheckBox>(dialog, "CheckBox1")->click(); }, false},
    };
    for (const Change& change : changes) {
        dialog.Timer1Timer();  // a tick without an answer
        ASSERT_EQ(status->text(), "Quendarix antwortet nicht");
        change.apply();
        EXPECT_EQ(status->text().isEmpty(), change.clears) << change.name;
    }
    EXPECT_TRUE(s.prompts.errors.isEmpty());
}

TEST(SettingsDialog, SendStoresTheValuesFirstAndAPortThatCannotOpenKeepsTheButtonHidden) {
    struct Case {
        const char* name;
        bool lcdChecked;
        std::deque<bool> answers;
        bool lcdAfter;
        QString storedLcd;
        int questions;
    };
    const Case cases[] = {
        {"LCD off", false, {}, false, "FALSE", 0},
        {"LCD confirmed", true, {true}, true, "TRUE", 1},
        {"LCD declined", true, {false}, false, "FALSE", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.store().writeString("Ports", "COM7", s.config.path() + "/no-such-tty");
        s.store().writeString("Zelmor", "COM Port", "7");
        s.store().writeString("Zelmor", "setGID", "D-1234");
        TSetQVD dialog(s.context);
        dialog.show();
        control<QLineEdit>(dialog, "Edit1")->setText("Zora Quendel");
        control<QLineEdit>(dialog, "Edit2")->setText("");
        control<QSpinBox>(dialog, "SpinEdit1")->setValue(12);
        control<QCheckBox>(dialog, "CheckBox1")->setChecked(c.lcdChecked);
        s.prompts.answers = c.answers;

        QPushButton* send = control<QPushButton>(dialog, "ButtonSend");
        send->click();

        ASSERT_EQ(s.prompts.questions.size(), c.questions);
        if (c.questions) {
            EXPECT_EQ(s.prompts.questions[0], kLcdQuestion);
        }
        EXPECT_EQ(control<QCheckBox>(dialog, "CheckBox1")->isChecked(), c.lcdAfter);
        ASSERT_EQ(s.prompts.errors.size(), 1);
        EXPECT_TRUE(s.prompts.errors[0].startsWith("Specified device not found (COM7"))
            << s.prompts.errors[0].toStdString();
        EXPECT_TRUE(send->isHidden());
        EXPECT_FALSE(dialog.comPort()->IsOpen());
        EXPECT_FALSE(control<QTimer>(dialog, "Timer1")->isActive());
        EXPECT_EQ(dialog.transfer().nextPosition(), 1);  // nothing sent

        const std::map<QString, QString> expected = {
            {"setPLT", "Zora Quendel"}, {"setGTY", ""},   {"setGID", "D-1234"},
            {"setRES", "not set"},      {"setINT", "12"}, {"setPWD", "33"},
            {"setLCD", c.storedLcd},
        };
        for (const auto& [name, value] : expected)
            EXPECT_EQ(s.stored(name), value) << name.toStdString();
    }
}

TEST(SettingsDialog, EveryWayOfClosingRunsTheClosingOnceAndStopsThePacing) {
    struct Way {
        const char* name;
        std::function<void(TSetQVD&)> close;
    };
    const Way ways[] = {
        {"close button", [](TSetQVD& d) { control<QPushButton>(d, "ButtonOK")->click(); }},
        {"close box", [](TSetQVD& d) { d.close(); }},
        {"Escape", [](TSetQVD& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"reject", [](TSetQVD& d) { d.reject(); }},
        {"accept", [](TSetQVD& d) { d.accept(); }},
        {"hide", [](TSetQVD& d) { d.hide(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        Session s;
        TSetQVD dialog(s.context);
        QSignalSpy closed(&dialog, &TSetQVD::formClosed);
        dialog.show();
        control<QTimer>(dialog, "Timer1")->start();
        way.close(dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(closed.count(), 1);
        EXPECT_FALSE(control<QTimer>(dialog, "Timer1")->isActive());
        EXPECT_EQ(dialog.comPort(), nullptr);  // the port is gone with the closing
        dialog.close();
        dialog.reject();
        EXPECT_EQ(closed.count(), 1);
        EXPECT_TRUE(s.prompts.errors.isEmpty());
    }
}

TEST(SettingsDialog, TheHiddenPermanentInstanceIsNeverClosed) {
    Session s;
    auto dialog = std::make_unique<TSetQVD>(s.context);
    QSignalSpy closed(dialog.get(), &TSetQVD::formClosed);
    dialog->close();
    dialog.reset();
    EXPECT_EQ(closed.count(), 0);
    EXPECT_FALSE(s.context.settingsOpen());  // nothing loaded without showing
}

}  // namespace
}  // namespace qr
