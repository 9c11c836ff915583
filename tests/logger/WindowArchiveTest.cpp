// The main window keeps every evaluated download in the archive; a folder that cannot take
// it is said in the error panel and stops nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "support/WindowDriver.h"

namespace qr {
namespace {

std::string memory() {
    std::string answer = "AQVD 001\r\nHFDTE081226\r\n";
    for (int i = 0; i < 20; ++i) answer += "B1016004807123N01131234EA0050000600\r\n";
    return answer;
}

class WindowArchive : public ::testing::Test, protected test::MainWindowDriver {
protected:
    WindowArchive() : MainWindowDriver("quendarix-reader") {}

    void SetUp() override { showWithoutLogger(); }

    QStringList kept() const {
        return QDir(config.archivePath()).entryList(QDir::Files | QDir::Hidden);
    }
};

TEST_F(WindowArchive, EachEvaluatedDownloadIsKeptAsReceived) {
    evaluateDownload(memory());
    ASSERT_EQ(kept().size(), 1);
    EXPECT_TRUE(kept()[0].endsWith(".qvd"));
    QFile file(config.archivePath() + kept()[0]);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), memory());
    EXPECT_TRUE(button("ButtonAuswertung")->isVisible());
    evaluateDownload(memory());
    EXPECT_EQ(kept().size(), 2);  // never replaced
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(WindowArchive, AFolderThatCannotTakeItIsSaidInTheErrorPanel) {
    QFile blocker(config.path() + "/data");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    blocker.close();
    evaluateDownload(memory());
    EXPECT_TRUE(prompts.errors.isEmpty());
    EXPECT_TRUE(button("ButtonAuswertung")->isVisible());
    bool said = false;
    for (const QLabel* panel : window->findChildren<QLabel*>())
        said = said || panel->text().startsWith("Download nicht gespeichert in ");
    EXPECT_TRUE(said);
}

TEST_F(WindowArchive, APortThatCannotBeOpenedNamesTheDeviceTriedAndHowToMapOne) {
    button("ButtonBAT")->click();
    ASSERT_EQ(prompts.errors.size(), 1);
    const QString text = prompts.errors[0];
    EXPECT_TRUE(text.startsWith("Specified device not found (COM1")) << text.toStdString();
    EXPECT_TRUE(text.contains("\n\nVersuchtes Gerät: ")) << text.toStdString();
    EXPECT_TRUE(text.contains("(COM1)")) << text.toStdString();
}

}  // namespace
}  // namespace qr
