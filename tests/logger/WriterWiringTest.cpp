// "Fertig" in the main window: the header dialog, the file and what the window shows then.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "support/WindowDriver.h"

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

class WriterWiringTest : public ::testing::Test, protected test::MainWindowDriver {
protected:
    WriterWiringTest() : MainWindowDriver("quendarix-reader") {}

    void SetUp() override {
        showWithoutLogger();
        window->setSigner([this](const std::string& path) {
            signedPaths.push_back(path);
            test::appendTestSignature(path);
        });
        ASSERT_TRUE(openTrackList(memory()));
    }

    // The dialog filled in as a pilot would and confirmed or cancelled; `afterAnswer` runs
    // before the file is written.
    void answerDialog(bool confirm, std::function<void()> afterAnswer = {}) {
        answerHeaderDialog(test::plausibleHeader("Hans Muster", "HaMu", folder.path() + "/"),
                           confirm, std::move(afterAnswer));
    }

    QStringList filesInFolder() const {
        return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    }

    void expectWindowRestored() {
        EXPECT_FALSE(list()->isVisible());
        EXPECT_FALSE(button("ButtonFertig")->isVisible());
        for (const char* name : {"ButtonOn", "ButtonOff", "ButtonAuswertung"})
            EXPECT_TRUE(button(name)->isVisible()) << name;
        EXPECT_TRUE(get<QPlainTextEdit>("Memo1")->isVisible());
    }

    QTemporaryDir folder;
    std::vector<std::string> signedPaths;
};

TEST_F(WriterWiringTest, ConfirmedDialogWritesTheSignedFileAndSaysWhere) {
    chooseTrack(0);
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
    chooseTrack(1);
    answerDialog(true);
    get<QPushButton>("ButtonFertig")->click();
    EXPECT_TRUE(signedPaths.empty());
    EXPECT_EQ(get<QLabel>("Label1")->text(),
              "igc-File geschrieben (signiert) " + folder.path() + "/6C8HaMu1.igc");
}

TEST_F(WriterWiringTest, TheDownKeyAfterAClickWritesTheEntryBelow) {
    clickEntryText(0);
    pressKey(Qt::Key_Down);
    ASSERT_EQ(list()->item(0)->checkState(), Qt::Unchecked);
    ASSERT_EQ(list()->item(1)->checkState(), Qt::Checked);
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
    chooseTrack(0);
    prompts.onModal = [&](QDialog& dialog) {
        dialog.show();
        test::fillFields(dialog, test::plausibleHeader("Hans Muster", "HaMu"));
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
    chooseTrack(2);
    answerDialog(false);
    get<QPushButton>("ButtonFertig")->click();
    EXPECT_TRUE(filesInFolder().isEmpty());
    EXPECT_TRUE(prompts.errors.isEmpty());
    expectWindowRestored();
}

TEST_F(WriterWiringTest, FailedWriteShowsTheFileLayerErrorAndLeavesNothing) {
    chooseTrack(0);
    // The folder vanishes between the dialog and the write.
    answerDialog(true, [this] { EXPECT_TRUE(folder.remove()); });
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
