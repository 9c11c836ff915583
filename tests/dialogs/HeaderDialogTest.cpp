#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "dialogs/TFormIGCKonfig.h"
#include "dialogs/UpDownControl.h"
#include "support/ProgramRun.h"

namespace qr {
namespace {

bool isRed(const QWidget* widget, QPalette::ColorRole role = QPalette::WindowText) {
    return widget->palette().color(role) == QColor(Qt::red);
}

// Types each character as a key press with its text (QTest's key clicks know ASCII only).
void type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

class HeaderDialog : public testing::Test, protected test::ProgramRun {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        context.setPermanentHeaderDialog(&permanent);
    }

    std::unique_ptr<TFormIGCKonfig> show(bool namesFromLogger = false) {
        context.state().namesFromLogger = namesFromLogger;
        auto dialog = std::make_unique<TFormIGCKonfig>(context);
        dialog->show();
        QApplication::processEvents();
        return dialog;
    }

    static QLineEdit* edit(QWidget& dialog, int number) {
        return dialog.findChild<QLineEdit*>(QString("Edit%1").arg(number));
    }
    static QLabel* label(QWidget& dialog, int number) {
        return dialog.findChild<QLabel*>(QString("Label%1").arg(number));
    }
    template <typename Widget = QWidget>
    static Widget* control(QWidget& dialog, const char* name) {
        return dialog.findChild<Widget*>(name);
    }
    static bool confirmShown(QWidget& dialog) {
        return control<QPushButton>(dialog, "Speichern")->isVisible();
    }

    // An existing folder for the path field, without its final '/'.
    QString flights() const { return folder_.path() + "/Flights"; }
    [[nodiscard]] ::testing::AssertionResult makeFlights() const {
        if (QDir().mkpath(flights())) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "cannot make " << flights().toStdString();
    }

    // All fields plausible, typed by hand where typing matters.
    [[nodiscard]] ::testing::AssertionResult fillPlausible(QWidget& dialog) {
        if (auto made = makeFlights(); !made) return made;
        edit(dialog, 1)->setText("Hans Muster");
        edit(dialog, 2)->setText("Alpha 5");
        edit(dialog, 3)->setText("12345");
        edit(dialog, 5)->setText("Hohe Wand");
        edit(dialog, 6)->setText("Flachland-Cup");
        edit(dialog, 7)->setText("HaMu");
        edit(dialog, 8)->setText(flights());
        return ::testing::AssertionSuccess();
    }

    SettingsStore& store() { return context.settings(); }
    QString stored(const char* name) { return store().readString("IGC", name, "<missing>"); }
    void storeValue(const char* name, const QString& value) {
        store().writeString("IGC", name, value);
    }

    TFormIGCKonfig permanent{context};

private:
    QTemporaryDir folder_;
};

TEST_F(HeaderDialog, BuiltWithTheControlsOfTheForm) {
    const auto dialog = show();
    EXPECT_EQ(dialog->objectName(), "FormIGCKonfig");
    EXPECT_EQ(dialog->windowTitle(), "Angaben zur IGC-Datei    Quendarix-reader");
    const char* const labels[] = {"Pilot",
                                  "Glider Typ",
                                  "Glider ID (Serien-Nr.)",
                                  "Class (Wettb. Klasse)",
                                  "Site (Fluggelände)",
                                  "Contest Bezeichnung",
                                  "Pilot ID",
                                  "Pfad zum Speichern der IGC-Datei"};
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(label(*dialog, i)->text(), QString::fromUtf8(labels[i - 1]));
        EXPECT_TRUE(label(*dialog, i)->font().bold());
        EXPECT_TRUE(edit(*dialog, i)->font().bold());
    }
    type(edit(*dialog, 7), "ABCDE");  // 4 letters as typed (a stored ID may be longer)
    EXPECT_EQ(edit(*dialog, 7)->text(), "ABCD");
    EXPECT_EQ(control<QPushButton>(*dialog, "Pfadseclect")->text(), "Durchsuchen");
    EXPECT_EQ(control<QPushButton>(*dialog, "Speichern")->text(), "IGC Datei speichern");
    EXPECT_EQ(control<QPushButton>(*dialog, "Abbrechen")->text(), "Abbrechen");
    EXPECT_EQ(control<QPushButton>(*dialog, "KonfSpeichern")->text(), "Konfiguration speichern");
    EXPECT_EQ(control<QPlainTextEdit>(*dialog, "Memo1")->toPlainText(),
              QString::fromUtf8("Hier bitte exakt 4 Buchstaben wählen, die an\n"
                                "den Pilotennamen erinnern sollten"));
    EXPECT_EQ(control<QPlainTextEdit>(*dialog, "Memo2")->toPlainText(),
              QString::fromUtf8("Erst wenn hier alles plausibel eingegeben ist, erscheint der "
                                "Button zum speichern der IGC-Datei\nMit <Konfiguration "
                                "speichern> werden  diese Angaben beim nächsten Mal automatisch "
                                "wieder\nvorgeschlagen"));
    const auto* memo3 = control<QPlainTextEdit>(*dialog, "Memo3");
    EXPECT_TRUE(memo3->font().bold());
    EXPECT_TRUE(memo3->isReadOnly());
    EXPECT_FALSE(memo3->isVisible());
    EXPECT_EQ(memo3->document()->blockCount(), 3);
    EXPECT_NE(control(*dialog, "UpDown1"), nullptr);
}

TEST_F(HeaderDialog, ShownInstanceTakesItsTextsFromThePermanentOne) {
    permanent.setWindowTitle("Caption");
    label(permanent, 5)->setText("Site");
    control<QPushButton>(permanent, "Abbrechen")->setText("Cancel");
    control<QPlainTextEdit>(permanent, "Memo1")->setPlainText("one\ntwo\nthree");
    edit(permanent, 5)->setText("not copied");
    const auto dialog = show();
    EXPECT_EQ(dialog->windowTitle(), "Caption");
    EXPECT_EQ(label(*dialog, 5)->text(), "Site");
    EXPECT_EQ(control<QPushButton>(*dialog, "Abbrechen")->text(), "Cancel");
    // As many lines as the shown memo has.
    EXPECT_EQ(control<QPlainTextEdit>(*dialog, "Memo1")->toPlainText(), "one\ntwo");
    EXPECT_EQ(edit(*dialog, 5)->text(), "");
}

TEST_F(HeaderDialog, NothingStoredProposesDefaultsAndConfirmsOnlyWhenAllFieldsPass) {
    const auto dialog = show();
    const QString home = QDir::homePath().endsWith('/') ? QDir::homePath() : QDir::homePath() + '/';
    const QString expected[] = {"", "", "", "Paraglider open", "", "DHV-OLC-2009", "", home};
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(edit(*dialog, i)->text(), expected[i - 1]) << i;
    EXPECT_EQ(context.state().igcHeader.competitionClass, "Paraglider open");
    EXPECT_EQ(context.state().igcHeader.saveDirectory, home.toStdString());
    for (int i : {1, 2, 3, 5, 7}) EXPECT_TRUE(isRed(label(*dialog, i))) << i;
    for (int i : {4, 6, 8}) EXPECT_FALSE(isRed(label(*dialog, i))) << i;
    EXPECT_TRUE(isRed(control(*dialog, "Memo2"), QPalette::Text));

    const std::pair<int, const char*> typing[] = {
        {1, "Hans Muster"}, {2, "Alpha 5"}, {3, "12"}, {5, "Hohe"}, {7, "HaMu"}};
    for (const auto& [field, typed] : typing) {
        EXPECT_FALSE(confirmShown(*dialog)) << "before Edit" << field;
        QTest::keyClicks(edit(*dialog, field), typed);
        EXPECT_FALSE(isRed(label(*dialog, field))) << field;
    }
    EXPECT_TRUE(confirmShown(*dialog));
    EXPECT_FALSE(isRed(control(*dialog, "Memo2"), QPalette::Text));

    // A site one character short takes the button away again.
    QTest::keyClick(edit(*dialog, 5), Qt::Key_Backspace);
    EXPECT_TRUE(isRed(label(*dialog, 5)));
    EXPECT_FALSE(confirmShown(*dialog));
}

TEST_F(HeaderDialog, NamesFromLoggerHidesThePilotAndGliderRows) {
    ASSERT_TRUE(makeFlights());
    storeValue("SITE", "Hohe Wand");
    storeValue("COMPID", "HaMu");
    storeValue("PFAD", flights() + "/");
    const auto dialog = show(true);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_FALSE(label(*dialog, i)->isVisible()) << i;
        EXPECT_FALSE(edit(*dialog, i)->isVisible()) << i;
    }
    EXPECT_TRUE(control(*dialog, "Memo3")->isVisible());
    EXPECT_TRUE(confirmShown(*dialog));  // empty pilot and glider fields do not count

    // The next instance without the flag shows the rows again.
    const auto next = show(false);
    EXPECT_TRUE(edit(*next, 1)->isVisible());
    EXPECT_FALSE(control(*next, "Memo3")->isVisible());
    EXPECT_FALSE(confirmShown(*next));
}

TEST_F(HeaderDialog, StoredValuesAreProposedAndTheClassMatchedExactly) {
    const std::pair<QString, QString> classes[] = {
        {"Paraglider Sport", "Paraglider open"},  // capital S matches no class
        {"Rigid Wing (FAI class 5)", "Rigid Wing (FAI class 5)"},
    };
    storeValue("PILOT", QString::fromUtf8("Jörg Müller"));
    storeValue("COMPID", "ABCD");
    storeValue("PFAD", "/nowhere/at/all/");
    for (const auto& [storedClass, shown] : classes) {
        storeValue("CLASS", storedClass);
        const auto dialog = show();
        EXPECT_EQ(edit(*dialog, 4)->text(), shown);
        EXPECT_EQ(context.state().igcHeader.competitionClass, shown.toStdString());
        EXPECT_EQ(edit(*dialog, 1)->text(), QString::fromUtf8("Jörg Müller"));
        EXPECT_EQ(context.state().igcHeader.pilotName, "J\xF6rg M\xFCller");  // Latin-1
        EXPECT_EQ(edit(*dialog, 7)->text(), "ABCD");
        EXPECT_EQ(edit(*dialog, 8)->text(), "/nowhere/at/all/");
        EXPECT_TRUE(isRed(label(*dialog, 8)));
    }
}

TEST_F(HeaderDialog, UpDownWrapsAndOverridesTypedClass) {
    const auto dialog = show();
    auto* upDown = control<UpDownControl>(*dialog, "UpDown1");
    QLineEdit* classEdit = edit(*dialog, 4);
    upDown->downButton()->click();  // down from 1
    EXPECT_EQ(upDown->position(), 7);
    EXPECT_EQ(classEdit->text(), "default");
    EXPECT_EQ(context.state().igcHeader.competitionClass, "default");
    upDown->upButton()->click();  // up from 7
    EXPECT_EQ(classEdit->text(), "Paraglider open");
    QTest::keyClick(classEdit, Qt::Key_Up);  // arrows in the edit step too
    EXPECT_EQ(classEdit->text(), "Paraglider sport");

    classEdit->setFocus();
    QTest::keyClicks(classEdit, "x");
    EXPECT_EQ(classEdit->text(), "Paraglider sport");
    classEdit->selectAll();
    QTest::keyClick(classEdit, Qt::Key_Delete);
    EXPECT_EQ(classEdit->text(), "Paraglider sport");
    EXPECT_FALSE(isRed(label(*dialog, 4)));
}

TEST_F(HeaderDialog, PilotIdKeepsItsLeadingLettersAsTyped) {
    const auto dialog = show();
    QLineEdit* pilotId = edit(*dialog, 7);
    const struct {
        const char* entered;
        bool pasted;
        const char* kept;
    } cases[] = {
        {"Ha1", false, "Ha"},  // a digit typed goes at once
        {"Ha1b", false, "Hab"},
        {"ABCDE", false, "ABCD"},  // at most 4 typed
        {"\xC3\xA4", false, ""},   // an umlaut
        {"hAmU", false, "hAmU"},   // the case as typed
        {"AB1CD", true, "AB"},     // a digit in third place
        {"\xC3\xA4"
         "BCD",
         true, ""},  // an umlaut first
    };
    for (const auto& c : cases) {
        pilotId->clear();
        const QString entered = QString::fromUtf8(c.entered);
        if (c.pasted)
            pilotId->insert(entered);
        else
            type(pilotId, entered);
        EXPECT_EQ(pilotId->text(), c.kept) << c.entered;
        EXPECT_EQ(context.state().igcHeader.pilotId, c.kept) << c.entered;
    }
}

TEST_F(HeaderDialog, KonfigurationSpeichernStoresAndStaysOpen) {
    const auto dialog = show();
    ASSERT_TRUE(fillPlausible(*dialog));
    control<QPushButton>(*dialog, "KonfSpeichern")->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(context.state().headerConfirmed);
    const std::pair<const char*, QString> values[] = {
        {"PILOT", "Hans Muster"},
        {"GLIDERTYPE", "Alpha 5"},
        {"GLIDERID", "12345"},
        {"COMPETITIONID", "Flachland-Cup"},
        {"CLASS", "Paraglider open"},
        {"SITE", "Hohe Wand"},
        {"COMPID", "HaMu"},
        {"PFAD", flights().left(flights().lastIndexOf('/') + 1)},  // the folder's parent
    };
    for (const auto& [name, value] : values) EXPECT_EQ(stored(name), value) << name;
    EXPECT_EQ(edit(*dialog, 8)->text(), stored("PFAD"));
}

TEST_F(HeaderDialog, KonfigurationSpeichernLeavesTheLoggersNamesAlone) {
    storeValue("PILOT", "Stored Pilot");
    const auto dialog = show(true);
    edit(*dialog, 1)->setText("Hidden Edit");  // not visible, still copied
    edit(*dialog, 5)->setText("Hohe Wand");
    control<QPushButton>(*dialog, "KonfSpeichern")->click();
    EXPECT_EQ(context.state().igcHeader.pilotName, "Hidden Edit");
    EXPECT_EQ(stored("PILOT"), "Stored Pilot");
    EXPECT_EQ(stored("GLIDERTYPE"), "<missing>");
    EXPECT_EQ(stored("GLIDERID"), "<missing>");
    EXPECT_EQ(stored("SITE"), "Hohe Wand");
}

TEST_F(HeaderDialog, ConfirmingSetsTheFlagAndStoresNothing) {
    const auto dialog = show();
    ASSERT_TRUE(fillPlausible(*dialog));
    ASSERT_TRUE(confirmShown(*dialog));
    auto* confirm = control<QPushButton>(*dialog, "Speichern");
    confirm->click();
    QApplication::processEvents();
    EXPECT_TRUE(context.state().headerConfirmed);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(confirm->isEnabled());
    const QString parent = flights().left(flights().lastIndexOf('/') + 1);
    EXPECT_EQ(edit(*dialog, 8)->text(), parent);
    // Edited but not stored: still what the writer gets.
    const IgcHeaderValues& values = context.state().igcHeader;
    EXPECT_EQ(values.pilotName, "Hans Muster");
    EXPECT_EQ(values.gliderId, "12345");
    EXPECT_EQ(values.competitionId, "Flachland-Cup");
    EXPECT_EQ(values.pilotId, "HaMu");
    EXPECT_EQ(values.saveDirectory, parent.toStdString());
    for (const char* name : {"PILOT", "SITE", "COMPID", "PFAD"})
        EXPECT_FALSE(store().contains("IGC", name)) << name;

    // The next showing proposes the stored values again and clears the flag.
    const auto next = show();
    EXPECT_FALSE(context.state().headerConfirmed);
    EXPECT_EQ(edit(*next, 1)->text(), "");
    EXPECT_EQ(context.state().igcHeader.pilotName, "");
}

TEST_F(HeaderDialog, CancellingOrClosingLeavesTheFlagClear) {
    for (const bool viaCloseBox : {false, true}) {
        context.state().headerConfirmed = true;  // left over from an earlier file
        const auto dialog = show();
        ASSERT_TRUE(fillPlausible(*dialog));
        if (viaCloseBox)
            dialog->close();
        else
            control<QPushButton>(*dialog, "Abbrechen")->click();
        QApplication::processEvents();
        EXPECT_FALSE(dialog->isVisible()) << viaCloseBox;
        EXPECT_FALSE(context.state().headerConfirmed) << viaCloseBox;
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        // The edited values still reached the shared values.
        EXPECT_EQ(context.state().igcHeader.site, "Hohe Wand");
    }
}

TEST_F(HeaderDialog, DirectoryChooserStartsInTheFieldsFolder) {
    ASSERT_TRUE(makeFlights());
    storeValue("PFAD", flights() + "/old.igc");
    const auto dialog = show();
    auto* browse = control<QPushButton>(*dialog, "Pfadseclect");

    prompts.directoryAnswer.reset();  // cancelled
    browse->click();
    EXPECT_EQ(prompts.lastDirectoryStart, flights() + "/");
    EXPECT_EQ(edit(*dialog, 8)->text(), flights() + "/old.igc");

    prompts.directoryAnswer = flights();
    browse->click();
    EXPECT_EQ(edit(*dialog, 8)->text(), flights() + "/");
    EXPECT_FALSE(isRed(label(*dialog, 8)));
    EXPECT_EQ(context.state().igcHeader.saveDirectory, (flights() + "/").toStdString());

    prompts.directoryAnswer = "/";  // the root already ends with the separator
    browse->click();
    EXPECT_EQ(edit(*dialog, 8)->text(), "/");
}

TEST_F(HeaderDialog, ShownModallyTheWayTheWriterDoes) {
    prompts.onModal = [this](QDialog& shown) {
        QTimer::singleShot(0, &shown, [this, &shown] {
            EXPECT_TRUE(fillPlausible(shown));
            control<QPushButton>(shown, "Speichern")->click();
        });
        return shown.exec();
    };
    context.state().namesFromLogger = false;
    TFormIGCKonfig dialog(context);
    EXPECT_EQ(context.prompts().execModal(dialog), QDialog::Accepted);
    EXPECT_TRUE(context.state().headerConfirmed);
    EXPECT_EQ(context.state().igcHeader.pilotId, "HaMu");
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(HeaderDialog, AStoredValueOfTheWrongTypeIsReported) {
    {
        QFile ini(config.iniPath());
        ASSERT_TRUE(QDir().mkpath(QFileInfo(ini).absolutePath()));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[IGC]\nSITE=a, b\n");
    }
    const auto dialog = show();
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_EQ(prompts.errors[0], QString::fromUtf8("Ungültiger Datentyp für 'SITE'"));
    EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
}  // namespace qr

namespace qr {
namespace {

// A save folder whose name lies outside Latin-1 is a folder like any other.
TEST_F(HeaderDialog, AFolderNamedOutsideLatin1IsPlausibleAndKeptAsTyped) {
    const QString folder = flights() + QString::fromUtf8(
                                           "/\xC5\x81\xC3\xB3"
                                           "d\xC5\xBA Fl\xC3\xBCge/");
    ASSERT_TRUE(QDir().mkpath(folder));
    storeValue("PFAD", folder);
    const auto dialog = show();
    ASSERT_TRUE(fillPlausible(*dialog));
    edit(*dialog, 8)->setText(folder);
    EXPECT_FALSE(isRed(label(*dialog, 8)));
    EXPECT_TRUE(confirmShown(*dialog));
    EXPECT_EQ(context.state().igcHeader.saveDirectory, folder.toStdString());
    control<QPushButton>(*dialog, "KonfSpeichern")->click();
    EXPECT_EQ(stored("PFAD"), folder);
    EXPECT_EQ(edit(*dialog, 8)->text(), folder);

    // The chooser's answer with such a name is shown and kept as it is.
    const QString chosen =
        flights() + QString::fromUtf8(
                        "/Ji\xC5\x99\xC3\xAD \xD0\x9F\xD0\xBE\xD0\xBB\xD1\x91\xD1\x82 "
                        "\xE9\xA3\x9E\xE8\xA1\x8C");
    ASSERT_TRUE(QDir().mkpath(chosen));
    prompts.directoryAnswer = chosen;
    control<QPushButton>(*dialog, "Pfadseclect")->click();
    EXPECT_EQ(edit(*dialog, 8)->text(), chosen + "/");
    EXPECT_FALSE(isRed(label(*dialog, 8)));
    EXPECT_EQ(context.state().igcHeader.saveDirectory, (chosen + "/").toStdString());
    control<QPushButton>(*dialog, "Pfadseclect")->click();
    EXPECT_EQ(prompts.lastDirectoryStart, chosen + "/");

    // A folder of that kind that does not exist is refused as before.
    edit(*dialog, 8)->setText(folder + QString::fromUtf8("fehlt\xC5\x82/"));
    EXPECT_TRUE(isRed(label(*dialog, 8)));
    EXPECT_FALSE(confirmShown(*dialog));
}

// A stored pilot ID is shown as stored, marked until the user shortens it; typing cannot
// make it longer.
TEST_F(HeaderDialog, AStoredPilotIdLongerThanFourIsShownWholeAndHoldsTheFileBack) {
    storeValue("COMPID", "HaMuXY");
    const auto dialog = show();
    QLineEdit* pilotId = edit(*dialog, 7);
    EXPECT_EQ(pilotId->text(), "HaMuXY");
    ASSERT_TRUE(makeFlights());
    const std::pair<int, QString> others[] = {{1, "Hans Muster"},   {2, "Alpha 5"},
                                              {3, "12345"},         {5, "Hohe Wand"},
                                              {6, "Flachland-Cup"}, {8, flights()}};
    for (const auto& [field, text] : others) edit(*dialog, field)->setText(text);
    EXPECT_EQ(pilotId->text(), "HaMuXY");
    EXPECT_EQ(context.state().igcHeader.pilotId, "HaMuXY");
    EXPECT_TRUE(isRed(label(*dialog, 7)));
    EXPECT_FALSE(confirmShown(*dialog));

    pilotId->end(false);
    type(pilotId, "Z");  // no longer than it is
    EXPECT_EQ(pilotId->text(), "HaMuXY");
    pilotId->backspace();
    EXPECT_TRUE(isRed(label(*dialog, 7)));
    pilotId->backspace();
    EXPECT_EQ(pilotId->text(), "HaMu");
    EXPECT_FALSE(isRed(label(*dialog, 7)));
    EXPECT_TRUE(confirmShown(*dialog));
    type(pilotId, "Z");  // the typing limit of 4 holds again
    EXPECT_EQ(pilotId->text(), "HaMu");
}

}  // namespace
}  // namespace qr
