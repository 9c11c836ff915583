// The main window keeps every evaluated download in the archive; a folder that cannot take
// it is said in the error panel and stops nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "logger/TZelmor.h"
#include "support/FakePrompts.h"
#include "support/TempConfig.h"

namespace qr {
namespace {

std::string memory() {
    std::string answer = "AQVD 001\r\nHFDTE081226\r\n";
    for (int i = 0; i < 20; ++i) answer += "B1016004807123N01131234EA0050000600\r\n";
    return answer;
}

class WindowArchive : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore().writeString("Ports", "COM1", "/nonexistent/qr-no-such-tty");
        window = std::make_unique<TZelmor>(context);
        window->show();
    }

    void download() {
        window->exchange().prepareCommand();
        window->exchange().setDownloadMode();
        window->exchange().receive(memory());
        window->Auswerten();
    }

    QStringList kept() const {
        return QDir(config.archivePath()).entryList(QDir::Files | QDir::Hidden);
    }

    test::TempConfig config;
    test::FakePrompts prompts;
    AppContext context{prompts, "quendarix-reader"};
    std::unique_ptr<TZelmor> window;
};

TEST_F(WindowArchive, EachEvaluatedDownloadIsKeptAsReceived) {
    download();
    ASSERT_EQ(kept().size(), 1);
    EXPECT_TRUE(kept()[0].endsWith(".qvd"));
    QFile file(config.archivePath() + kept()[0]);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), memory());
    EXPECT_TRUE(window->findChild<QPushButton*>("ButtonAuswertung")->isVisible());
    download();
    EXPECT_EQ(kept().size(), 2);  // never replaced
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(WindowArchive, AFolderThatCannotTakeItIsSaidInTheErrorPanel) {
    QFile blocker(config.path() + "/data");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    blocker.close();
    download();
    EXPECT_TRUE(prompts.errors.isEmpty());
    EXPECT_TRUE(window->findChild<QPushButton*>("ButtonAuswertung")->isVisible());
    bool said = false;
    for (const QLabel* panel : window->findChildren<QLabel*>())
        said = said || panel->text().startsWith("Download nicht gespeichert in ");
    EXPECT_TRUE(said);
}

TEST_F(WindowArchive, APortThatCannotBeOpenedNamesTheDeviceTriedAndHowToMapOne) {
    window->findChild<QPushButton*>("ButtonBAT")->click();
    ASSERT_EQ(prompts.errors.size(), 1);
    const QString text = prompts.errors[0];
    EXPECT_TRUE(text.startsWith("Specified device not found (COM1")) << text.toStdString();
    EXPECT_TRUE(text.contains("\n\nVersuchtes Gerät: ")) << text.toStdString();
    EXPECT_TRUE(text.contains("(COM1)")) << text.toStdString();
}

}  // namespace
}  // namespace qr
