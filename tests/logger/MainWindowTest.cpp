// The main window offscreen, with a temporary settings store and its port on a
// pseudo-terminal (or on a device that does not exist).
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

#include "app/SettingsStore.h"
#include "common/Errors.h"
#include "logger/InformationPage.h"
#include "serial/LineSpeed.h"
#include "support/PtyPair.h"
#include "support/WindowDriver.h"

using namespace std::chrono_literals;

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace qr {
namespace {

const char* const kCommandButtons[] = {"ButtonOn",    "ButtonOff", "ButtonBAT",
                                       "ButtonStart", "ButtonSet", "ButtonDel"};

using test::mapPort;

class MainWindowTest : public ::testing::Test, protected test::MainWindowDriver {
protected:
    // COM 1 leads nowhere unless a test puts the pseudo-terminal there.
    void SetUp() override { mapPort(1, test::kNoSuchDevice); }

    void setValue(const char* name, const QString& value) {
        store().writeString("Zelmor", name, value);
    }
    QString value(const char* name) { return store().readString("Zelmor", name, "<missing>"); }
    SettingsStore& store() {
        if (!store_) store_ = std::make_unique<SettingsStore>();
        return *store_;
    }

    int visibleCommandButtons() {
        int n = 0;
        for (const char* name : kCommandButtons) n += button(name)->isVisible();
        return n;
    }
    bool comboIsRed() {
        return get<QComboBox>("ComboBoxCom")->palette().color(QPalette::Text) == QColor(Qt::red);
    }

    std::unique_ptr<SettingsStore> store_;
};

TEST_F(MainWindowTest, FirstStartWithEmptySettings) {
    for (const bool portExists : {false, true}) {
        SCOPED_TRACE(portExists ? "COM 1 exists" : "COM 1 missing");
        test::PtyPair pty;
        if (portExists) mapPort(1, pty.slavePath());
        TZelmor& w = show();
        EXPECT_EQ(get<QComboBox>("ComboBoxBaud")->currentText(), "4800 bps");
        EXPECT_EQ(get<QComboBox>("ComboBoxBaud")->count(), 6);
        EXPECT_EQ(get<QComboBox>("ComboBoxCom")->count(), 21);
        EXPECT_EQ(get<QComboBox>("ComboBoxCom")->currentText(), portExists ? "COM 1" : "COM ???");
        EXPECT_EQ(comboIsRed(), !portExists);
        EXPECT_EQ(visibleCommandButtons(), portExists ? 6 : 0);
        EXPECT_EQ(value("COM Port"), "1");   // stored before it was tried
        EXPECT_FALSE(w.comPort().IsOpen());  // tried once and closed again
        EXPECT_FALSE(w.testFlag());
        EXPECT_EQ(w.dataflashUsed(), 0);
        EXPECT_TRUE(prompts.errors.isEmpty());
    }
}

// The README installed next to the program comes first, the one of the source tree next.
TEST(InformationAddress, InstalledReadmeThenSourceReadme) {
    QTemporaryDir root;
    const QString bin = root.path() + "/usr/bin";
    const QString doc = root.path() + "/usr/share/doc/quendarix-reader";
    const QString source = root.path() + "/src/README.md";
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(doc) && QDir().mkpath(root.path() + "/src"));
    EXPECT_EQ(informationAddress(bin, source), "README.md");  // neither there
    QFile(source).open(QIODevice::WriteOnly);
    EXPECT_EQ(informationAddress(bin, source), QUrl::fromLocalFile(source).toString());
    QFile(doc + "/README.md").open(QIODevice::WriteOnly);
    EXPECT_EQ(informationAddress(bin, source), QUrl::fromLocalFile(doc + "/README.md").toString());
}

TEST_F(MainWindowTest, ControlsAndLayoutAtStart) {
    TZelmor& w = show();
    EXPECT_EQ(w.size(), QSize(790, 513));
    EXPECT_TRUE(memo().startsWith("Information unter\n\nfile:///"));
    EXPECT_TRUE(memo().endsWith("/README.md"));
    EXPECT_TRUE(get<QPlainTextEdit>("Memo1")->isReadOnly());
    EXPECT_EQ(get<QLabel>("Label1")->text(), "");
    EXPECT_TRUE(get<QLabel>("Label1")->font().bold());
    EXPECT_EQ(get<QLabel>("Label3")->text(), "Schnittstelle");
    EXPECT_EQ(panel(0), "Bytes im Puffer");
    EXPECT_EQ(panel(1), "Bytes empfangen");
    EXPECT_EQ(panel(2), "Fehlermeldungen");
    EXPECT_EQ(get<QLabel>("StatusBar1Panel2")->width(), 300);
    const struct {
        const char* name;
        const char* caption;
        bool visible;
        QRect geometry;  // empty: not checked
    } buttons[] = {
        {"ButtonOn", "Logger &on", false, {24, 422, 89, 25}},
        {"ButtonOff", "Logger o&ff", false, {24, 457, 89, 25}},
        {"ButtonBAT", "Logger &Status lesen", false, {136, 422, 129, 25}},
        {"ButtonStart", "Logger &Tracks lesen", false, {136, 457, 129, 25}},
        {"ButtonSet", "Logger &einstellen", false, {296, 457, 129, 25}},
        {"ButtonDel", "Logger Trk &löschen", false, {296, 422, 129, 25}},
        {"ButtonAuswertung", "&igc-Datei speichern", false, {549, 457, 129, 25}},
        {"ButtonFertig", "Fertig", false, {694, 136, 80, 25}},
        {"OKButton", "&Schließen", true, {694, 457, 80, 25}},
    };
    for (const auto& b : buttons) {
        auto* button = get<QPushButton>(b.name);
        EXPECT_EQ(button->text(), b.caption);
        EXPECT_EQ(button->isVisible(), b.visible) << b.name;  // COM 1 is missing here
        EXPECT_EQ(button->geometry(), b.geometry) << b.name;
        EXPECT_FALSE(button->icon().isNull()) << b.name;
    }
    EXPECT_EQ(get<QPlainTextEdit>("Memo1")->geometry(), QRect(16, 8, 758, 263));
    EXPECT_EQ(get<QProgressBar>("ProgressBar1")->y(), 279);
    EXPECT_FALSE(get<QProgressBar>("ProgressBar1")->isVisible());
    auto* com = get<QComboBox>("ComboBoxCom");
    EXPECT_EQ(com->geometry().topLeft(), QPoint(693, 457 - com->height() - 16));
    EXPECT_EQ(get<QComboBox>("ComboBoxBaud")->y(), com->y() - 8 - com->height());
    for (const char* hidden : {"Label2", "Label3", "CheckListBoxTrack", "CheckBoxNamen", "Memo2"})
        EXPECT_FALSE(get<QWidget>(hidden)->isVisible()) << hidden;
}

TEST_F(MainWindowTest, StoredValuesAreRepaired) {
    test::PtyPair pty;
    mapPort(1, pty.slavePath());
    mapPort(3, pty.slavePath());
    const struct {
        const char* speed;
        const char* port;
        const char* speedText;
        const char* portText;
    } cases[] = {
        {"9", "0", "57600 bps", "COM 1"},
        {"-1", "25", "57600 bps", "COM 1"},
        {"abc", "-3", "4800 bps", "COM 1"},  // not a number: the default
        {"5", "3", "115200 bps", "COM 3"},
    };
    for (const auto& c : cases) {
        setValue("COM Speed", c.speed);
        setValue("COM Port", c.port);
        show();
        EXPECT_EQ(get<QComboBox>("ComboBoxBaud")->currentText(), c.speedText) << c.speed;
        EXPECT_EQ(get<QComboBox>("ComboBoxCom")->currentText(), c.portText) << c.port;
        EXPECT_EQ(value("COM Speed"), c.speed);  // read only, not written back
    }
}

TEST_F(MainWindowTest, AValueThatIsNoTextStopsTheFirstShow) {
    {
        QSettings raw(SettingsStore::defaultPath(), QSettings::IniFormat);
        raw.setValue("Zelmor/COM Speed", QStringList{"4", "5"});
    }
    show();
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_EQ(prompts.errors[0], "Ungültiger Datentyp für 'COM Speed'");
    EXPECT_EQ(get<QComboBox>("ComboBoxCom")->count(), 0);  // the rest was skipped
}

TEST_F(MainWindowTest, ChoosingTheSpeed) {
    show();
    auto* baud = get<QComboBox>("ComboBoxBaud");
    baud->setCurrentIndex(5);
    emit baud->activated(5);
    EXPECT_EQ(memo(),
              "*** Baudrate 115200 erfordert Quendarix Firmware Version 2.2 oder höher ***\n");
    EXPECT_EQ(value("COM Speed"), "5");
    baud->setCurrentIndex(2);
    emit baud->activated(2);
    EXPECT_EQ(memo(), "");
    EXPECT_EQ(value("COM Speed"), "2");
}

TEST_F(MainWindowTest, ChoosingNoPortHidesTheCommands) {
    test::PtyPair pty;
    mapPort(1, pty.slavePath());
    show();
    ASSERT_EQ(visibleCommandButtons(), 6);
    ASSERT_FALSE(comboIsRed());
    auto* com = get<QComboBox>("ComboBoxCom");
    com->setCurrentIndex(0);
    emit com->activated(0);
    EXPECT_EQ(com->currentText(), "COM ???");
    EXPECT_TRUE(comboIsRed());
    EXPECT_EQ(visibleCommandButtons(), 0);
    EXPECT_EQ(value("COM Port"), "0");
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(MainWindowTest, PortErrorsAreReportedOnlyInTestMode) {
    for (const bool test : {false, true}) {
        setValue("Test", test ? "1" : "0");
        TZelmor& w = show();
        const QString before = memo();
        w.ComPort1Error(CE_OVERRUN | CE_FRAME);
        if (!test) {
            EXPECT_EQ(memo(), before);
            EXPECT_EQ(panel(2), "Fehlermeldungen");
            continue;
        }
        EXPECT_EQ(memo(), before +
                              "\nThe hardware detected a framing error.\n"
                              "A character-buffer overrun has occurred. The next "
                              "character is lost.\n");
        EXPECT_EQ(panel(2),
                  "   The hardware detected a framing error.   A character-buffer overrun has "
                  "occurred. The next character is lost.");
    }
}

TEST_F(MainWindowTest, CancelledDeleteSendsNothing) {
    test::PtyPair pty;
    mapPort(1, pty.slavePath());
    TZelmor& w = show();
    prompts.answers = {false};
    w.ButtonDelClick();
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0], "Sollen alle Trackdaten im Logger wirklich gelöscht werden?");
    EXPECT_FALSE(w.comPort().IsOpen());
    EXPECT_EQ(pty.receive(1, 300ms), "");
    EXPECT_EQ(visibleCommandButtons(), 6);
}

TEST_F(MainWindowTest, SettingsDialogThenTheLoggerIsSwitchedOn) {
    test::PtyPair pty;
    mapPort(1, pty.slavePath());
    TZelmor& w = show();
    w.ButtonOffClick();  // opens the port
    EXPECT_EQ(pty.receive(13), "\n\r$PQVD,OFF\r\n");
    EXPECT_EQ(memo(), "Schalte Quendarix aus");
    QString shown;
    bool portWasClosed = false;
    prompts.onModal = [&](QDialog& dialog) {
        shown = dialog.objectName();
        portWasClosed = !w.comPort().IsOpen();  // the dialog opens the device itself
        return int(QDialog::Accepted);
    };
    w.ButtonSetClick();
    EXPECT_EQ(shown, "SetQVD");
    EXPECT_TRUE(portWasClosed);
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_NE(top->objectName(), "SetQVD");  // destroyed again
    EXPECT_EQ(pty.receive(12), "\n\r$PQVD,ON\r\n");
    EXPECT_EQ(memo(), "Schalte Quendarix ein / Reset\n");
    EXPECT_EQ(get<QPlainTextEdit>("Memo1")->font().pointSize(), 8);
    // The answer to "on" is collected and evaluated although no wait was started.
    pty.send("$PQVD,ON,OK\r\n");
    ASSERT_TRUE(test::pumpUntil([&] { return memo().contains("OK"); }));
    EXPECT_EQ(memo(), "Schalte Quendarix ein / Reset\n$PQVD,ON,OK\n");
    EXPECT_EQ(visibleCommandButtons(), 6);
}

TEST_F(MainWindowTest, APortThatCannotBeOpenedEndsTheCommand) {
    test::PtyPair pty;
    mapPort(1, pty.slavePath());
    TZelmor& w = show();
    mapPort(1, "/nonexistent/qr-unplugged");  // the adapter is gone meanwhile
    const QString before = memo();
    get<QPushButton>("ButtonBAT")->click();
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].startsWith("Specified device not found"))
        << prompts.errors[0].toStdString();
    EXPECT_FALSE(w.comPort().IsOpen());
    EXPECT_EQ(memo(), before);
    EXPECT_EQ(visibleCommandButtons(), 6);
    EXPECT_TRUE(get<QComboBox>("ComboBoxCom")->isVisible());
    EXPECT_FALSE(get<QPushButton>("ButtonStart")->isEnabled());  // disabled before the attempt
}

TEST_F(MainWindowTest, DownloadWithoutChosenSpeedStaysAt4800) {
    test::PtyPair pty;
    mapPort(1, pty.slavePath());
    TZelmor& w = show();
    get<QComboBox>("ComboBoxBaud")->setCurrentIndex(-1);
    w.ButtonStartClick();
    EXPECT_EQ(pty.receive(16), "\n\r$PQVD,IGC,-1\r\n");
    EXPECT_EQ(serial::lineSpeed(pty.master()), 4800);
    EXPECT_FALSE(get<QComboBox>("ComboBoxCom")->isVisible());
    EXPECT_TRUE(get<QLabel>("Label3")->isVisible());
    EXPECT_EQ(get<QLabel>("Label3")->text(), "Verbunden mit COM 1");
    // No answer: the timer ends the wait and the commands come back.
    ASSERT_TRUE(test::pumpUntil([&] { return visibleCommandButtons() == 6; }));
    EXPECT_EQ(memo(), "Quendarix antwortet nicht!!!\n");
}

TEST_F(MainWindowTest, StatusAnswerEnablesTheCommandsThatNeedAKnownLogger) {
    test::PtyPair pty;
    mapPort(1, pty.slavePath());
    TZelmor& w = show();
    for (const char* name : {"ButtonStart", "ButtonSet", "ButtonDel"})
        get<QPushButton>(name)->setEnabled(false);
    w.Startlesen();
    evaluateStatus("DATAFLASH USED: 00000042\r\nGLIDERID: D-1234\r\nrest");
    EXPECT_EQ(w.dataflashUsed(), 42);
    EXPECT_EQ(w.lineCount(), 2);
    EXPECT_EQ(memo(), "DATAFLASH USED: 00000042\nGLIDERID: D-1234\n");
    EXPECT_EQ(get<QLabel>("Label1")->text(), "Records ausgewertet: 2");
    for (const char* name : {"ButtonStart", "ButtonSet", "ButtonDel"})
        EXPECT_TRUE(get<QPushButton>(name)->isEnabled()) << name;
    EXPECT_EQ(visibleCommandButtons(), 6);
    EXPECT_FALSE(get<QProgressBar>("ProgressBar1")->isVisible());
}

TEST_F(MainWindowTest, ConversionErrorLeavesTheCommandsHidden) {
    test::PtyPair pty;
    mapPort(1, pty.slavePath());
    TZelmor& w = show();
    ASSERT_EQ(visibleCommandButtons(), 6);
    w.Startlesen();
    try {
        evaluateStatus("FIRST\r\nDATAFLASH USED: 0123 KB\r\n");
        ADD_FAILURE() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'0123 KB' ist kein gültiger Integerwert");
    }
    EXPECT_EQ(visibleCommandButtons(), 0);
    EXPECT_EQ(memo(), "FIRST\n");
    EXPECT_EQ(w.dataflashUsed(), 0);
}

TEST_F(MainWindowTest, DownloadDisplay) {
    const auto memoryOf = [](int lines, std::size_t bytes) {
        std::string memory = "AQVD001\r\n";
        for (int i = 1; i < lines - 1; ++i) memory += "B1015004807123N01131456EA0050000600\r\n";
        memory += "B" + std::string(bytes - memory.size() - 3, '0') + "\r\n";
        return memory;
    };
    const struct {
        int lines;
        std::size_t bytes;
        bool offersSplit;
        const char* note;  // Label2, empty: hidden
    } cases[] = {
        {15, 1000, false, ""},
        {16, 1000, true, ""},
        {600, 2 * 12500 - 1, true, ""},
        {600, 2 * 12500, true, "nur jeder 2. B-Record wird hier angezeigt!"},
    };
    TZelmor& w = show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        w.Startlesen();
        evaluateDownload(memoryOf(c.lines, c.bytes));
        EXPECT_EQ(w.lineCount(), c.lines);
        EXPECT_EQ(w.lineBuffer().line(1), "AXVN 001");
        EXPECT_EQ(get<QPushButton>("ButtonAuswertung")->isVisible(), c.offersSplit);
        EXPECT_EQ(get<QLabel>("Label2")->isVisible(), *c.note != '\0');
        if (*c.note) {
            EXPECT_EQ(get<QLabel>("Label2")->text(), c.note);
        }
        const int shown = get<QPlainTextEdit>("Memo1")->document()->blockCount() - 1;
        EXPECT_EQ(shown, *c.note ? 1 + (c.lines - 1) / 2 : c.lines);
        EXPECT_EQ(get<QLabel>("Label1")->text(), QString("Records ausgewertet: %1").arg(c.lines));
    }
}

TEST_F(MainWindowTest, AFullMemoStartsAfresh) {
    TZelmor& w = show();
    w.Startlesen();
    std::string memory;
    const std::string line = "LXVN " + std::string(95, 'x') + "\r\n";  // never decimated
    while (memory.size() < TZelmor::kMemoCapacity + 50000) memory += line;
    evaluateDownload(memory);
    const QString shown = memo();
    EXPECT_TRUE(shown.startsWith("Fenster gelöscht\nLXVN ")) << qPrintable(shown.left(40));
    EXPECT_LE(static_cast<std::size_t>(shown.size()), TZelmor::kMemoCapacity);
    EXPECT_TRUE(shown.endsWith(QString::fromStdString(line.substr(0, 100)) + "\n"));
    EXPECT_EQ(w.lineCount(), static_cast<int>(memory.size() / line.size()));
}

// Typing into the port box: a text that names a port chooses it, any other gives way.
TEST_F(MainWindowTest, ATypedPortNameChoosesThatPortOtherTextGivesWay) {
    test::PtyPair one;
    test::PtyPair three;
    mapPort(1, one.slavePath());
    mapPort(3, three.slavePath());
    show();
    auto* com = get<QComboBox>("ComboBoxCom");
    ASSERT_EQ(com->currentIndex(), 1);
    const struct {
        const char* typed;
        int chosen;
    } cases[] = {
        {"COM 3", 3},   {"com1", 1},   {"3", 3}, {" Com 1 ", 1}, {"com 3", 3},
        {"Drucker", 3}, {"COM 99", 3}, {"", 3},  {"COM3x", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        com->setFocus();
        com->lineEdit()->setText(c.typed);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(com->lineEdit(), &enter);
        EXPECT_EQ(com->currentIndex(), c.chosen);
        EXPECT_EQ(com->currentText(), QString("COM %1").arg(c.chosen));
        EXPECT_EQ(value("COM Port"), QString::number(c.chosen));
        EXPECT_EQ(visibleCommandButtons(), 6);
    }
    com->lineEdit()->setText("Drucker");  // left without Enter: the command still names COM 3
    get<QPushButton>("ButtonBAT")->setFocus();
    get<QPushButton>("ButtonBAT")->click();
    EXPECT_EQ(get<QLabel>("Label3")->text(), "Verbunden mit COM 3");
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join('\n').toStdString();
}

// The log takes no tab stop, but a click gives it the focus, so its text can be copied.
TEST_F(MainWindowTest, TheLogTakesFocusByClickNotByTab) {
    show();
    EXPECT_EQ(get<QPlainTextEdit>("Memo1")->focusPolicy(), Qt::ClickFocus);
}

}  // namespace
}  // namespace qr
