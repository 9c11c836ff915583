// "Fertig" in the main window: the header dialog, the file and what the window shows then.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "logger/TZelmor.h"
#include "support/FakePrompts.h"
#include "support/TempConfig.h"

namespace qr {
namespace {

// Three flights on 8 December 2026; the second carries the logger's own G record.
std::string memory() {
    std::vector<std::string> lines{"AQVD 001", "HFDTE081226", "HFPLTPILOT:Jane Doe",
                                   "B1015004807123N01131234EA0050000600"};
    for (int i = 0; i < 14; ++i) lines.push_back("B1016004807123N01131234EA0050000600");
    lines.insert(lines.end(),
                 {"AQVD 002", "HFDTE081226", "B1300004807123N01131234EA0050000600", "GABCDEF0123",
                  "AXQV 003", "HFDTE091226", "B0900004807123N01131234EA0050000600"});
    std::string answer;
    for (const auto& line : lines) answer += line + "\r\n";
    return answer;
}

class WriterWiringTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore().writeString("Ports", "COM1", "/nonexistent/qr-no-such-tty");
        window = std::make_unique<TZelmor>(context);
        window->setSigner([this](const std::string& path) {
            signedPaths.push_back(path);
            QFile file(QString::fromStdString(path));
            ASSERT_TRUE(file.open(QIODevice::Append));
            file.write("GTEST r\r\nGTEST s\r\n");
        });
        window->show();
        window->exchange().prepareCommand();
        window->exchange().setDownloadMode();
        window->exchange().receive(memory());
        window->Auswerten();
        get<QPushButton>("ButtonAuswertung")->click();
    }

    template <typename T>
    T* get(const char* name) {
        T* control = window->findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    void choose(int row) {
        auto* list = get<QListWidget>("CheckListBoxTrack");
        list->setCurrentRow(row);
        window->CheckListBoxTrackClickCheck();
    }

    // The dialog filled in and confirmed, as a pilot would; `afterConfirm` runs before the
    // file is written.
    void answerDialog(bool confirm, std::function<void()> afterConfirm = {}) {
        prompts.onModal = [=, this](QDialog& dialog) {
            dialog.show();  // loads the stored values, as a modal showing does
            const std::pair<const char*, QString> fields[] = {
                {"Edit1", "Hans Muster"},      {"Edit2", "Alpha 5"},      {"Edit3", "D-1234"},
                {"Edit5", "Hoher Hang"},       {"Edit6", "DHV-OLC-2009"}, {"Edit7", "HaMu"},
                {"Edit8", folder.path() + "/"}};
            for (const auto& [name, text] : fields)
                dialog.findChild<QLineEdit*>(name)->setText(text);
            auto* save = dialog.findChild<QPushButton*>("Speichern");
            EXPECT_TRUE(save->isVisible());
            (confirm ? save : dialog.findChild<QPushButton*>("Abbrechen"))->click();
            if (afterConfirm) afterConfirm();
            return dialog.result();
        };
    }

    QStringList filesInFolder() const {
        return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    }

    void expectWindowRestored() {
        EXPECT_FALSE(get<QListWidget>("CheckListBoxTrack")->isVisible());
        EXPECT_FALSE(get<QPushButton>("ButtonFertig")->isVisible());
        for (const char* name : {"ButtonOn", "ButtonOff", "ButtonAuswertung"})
            EXPECT_TRUE(get<QPushButton>(name)->isVisible()) << name;
        EXPECT_TRUE(get<QPlainTextEdit>("Memo1")->isVisible());
    }

    test::TempConfig config;
    test::FakePrompts prompts;
    AppContext context{prompts, "quendarix-reader"};
    std::unique_ptr<TZelmor> window;
    QTemporaryDir folder;
    std::vector<std::string> signedPaths;
};

TEST_F(WriterWiringTest, ConfirmedDialogWritesTheSignedFileAndSaysWhere) {
    choose(0);
    answerDialog(true);
    get<QPushButton>("ButtonFertig")->click();
    ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("\n").toStdString();
    const QString path = folder.path() + "/6C8HaMu1.igc";
    EXPECT_EQ(filesInFolder(), QStringList{"6C8HaMu1.igc"});
    ASSERT_EQ(signedPaths.size(), 1u);
    auto* label = get<QLabel>("Label1");
    EXPECT_EQ(label->text(), "igc-File geschrieben (signiert) " + path);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::red));
    expectWindowRestored();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.startsWith("AXVN  001\r\nHFDTE081226\r\nHFPLTPILOT:Jane Doe\r\n"));
    EXPECT_TRUE(content.endsWith("GTEST r\r\nGTEST s\r\n"));
    EXPECT_TRUE(context.state().namesFromLogger);
}

TEST_F(WriterWiringTest, TrackWithItsOwnGRecordIsNotSignedButReportedTheSame) {
    choose(1);
    answerDialog(true);
    get<QPushButton>("ButtonFertig")->click();
    EXPECT_TRUE(signedPaths.empty());
    EXPECT_EQ(get<QLabel>("Label1")->text(),
              "igc-File geschrieben (signiert) " + folder.path() + "/6C8HaMu1.igc");
}

TEST_F(WriterWiringTest, TheDownKeyAfterAClickWritesTheEntryBelow) {
    auto* list = get<QListWidget>("CheckListBoxTrack");
    const QRect first = list->visualItemRect(list->item(0));
    const QPoint at(first.right() - 10, first.center().y());
    QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &press);
    QApplication::sendEvent(list->viewport(), &release);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(list, &down);
    ASSERT_EQ(list->item(0)->checkState(), Qt::Unchecked);
    ASSERT_EQ(list->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(window->trackSelection().chosenIndex, 1);

    answerDialog(true);
    get<QPushButton>("ButtonFertig")->click();
    ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("\n").toStdString();
    // The second flight carries the logger's G record: the writer leaves it unsigned.
    EXPECT_TRUE(signedPaths.empty());
    QFile file(folder.path() + "/6C8HaMu1.igc");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("\r\nB1300004807123N01131234EA0050000600\r\n"));
    EXPECT_FALSE(content.contains("B101600"));
}

// A stored folder whose name lies outside Latin-1 gets the file, and the window names it
// as the user reads it.
TEST_F(WriterWiringTest, AStoredFolderNamedOutsideLatin1GetsTheFile) {
    const QString target = folder.path() + QString::fromUtf8(
                                               "/\xC5\x81\xC3\xB3"
                                               "d\xC5\xBA Fl\xC3\xBCge/");
    ASSERT_TRUE(QDir().mkpath(target));
    context.settings().writeString("IGC", "PFAD", target);
    choose(0);
    prompts.onModal = [&](QDialog& dialog) {
        dialog.show();
        const std::pair<const char*, QString> fields[] = {
            {"Edit1", "Hans Muster"}, {"Edit2", "Alpha 5"},      {"Edit3", "D-1234"},
            {"Edit5", "Hoher Hang"},  {"Edit6", "DHV-OLC-2009"}, {"Edit7", "HaMu"}};
        for (const auto& [name, text] : fields) dialog.findChild<QLineEdit*>(name)->setText(text);
        EXPECT_EQ(dialog.findChild<QLineEdit*>("Edit8")->text(), target);
        dialog.findChild<QPushButton*>("KonfSpeichern")->click();
        EXPECT_EQ(dialog.findChild<QLineEdit*>("Edit8")->text(), target);
        auto* save = dialog.findChild<QPushButton*>("Speichern");
        EXPECT_TRUE(save->isVisible());
        save->click();
        return dialog.result();
    };
    get<QPushButton>("ButtonFertig")->click();
    ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("\n").toStdString();
    EXPECT_EQ(context.settings().readString("IGC", "PFAD", ""), target);
    EXPECT_EQ(QDir(target).entryList(QDir::Files | QDir::Hidden), QStringList{"6C8HaMu1.igc"});
    EXPECT_EQ(get<QLabel>("Label1")->text(),
              "igc-File geschrieben (signiert) " + target + "6C8HaMu1.igc");
    ASSERT_EQ(signedPaths.size(), 1u);
    EXPECT_EQ(signedPaths[0].rfind(QFile::encodeName(target).toStdString(), 0), 0u);
}

TEST_F(WriterWiringTest, CancelledDialogWritesNothing) {
    choose(2);
    answerDialog(false);
    get<QPushButton>("ButtonFertig")->click();
    EXPECT_TRUE(filesInFolder().isEmpty());
    EXPECT_TRUE(prompts.errors.isEmpty());
    expectWindowRestored();
}

TEST_F(WriterWiringTest, FailedWriteShowsTheFileLayerErrorAndLeavesNothing) {
    choose(0);
    // The folder vanishes between the dialog and the write.
    answerDialog(true, [this] { ASSERT_TRUE(folder.remove()); });
    get<QPushButton>("ButtonFertig")->click();
    EXPECT_EQ(prompts.errors, QStringList{"Datei nicht gefunden"});
    EXPECT_FALSE(QDir(folder.path()).exists());
    expectWindowRestored();
    EXPECT_FALSE(get<QLabel>("Label1")->text().startsWith("igc-File geschrieben"));
    // The way back to the list works.
    get<QPushButton>("ButtonAuswertung")->click();
    EXPECT_EQ(get<QListWidget>("CheckListBoxTrack")->count(), 3);
}

}  // namespace
}  // namespace qr
