// The barogram as a PNG, written as the command line writes it: without an application
// object of its own.
#include "flight/BarogramPng.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <set>

#include "flight/BarogramFixtures.h"

namespace qr::flight {
namespace {

TEST(BarogramPng, WritesAReadablePictureOfTheFlight) {
    const QTemporaryDir dir;
    const std::string path = dir.filePath("flight.png").toStdString();
    std::string error;
    ASSERT_TRUE(writeBarogramPng(sampleFlight(), path, error)) << error;
    const QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(800, 400));
    // Not blank: the paper, the curve's blue, the take-off's green and the landing's red.
    std::set<QRgb> colours;
    bool green = false;
    bool red = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            colours.insert(pixel);
            green = green || pixel == QColor(40, 150, 60).rgb();
            red = red || pixel == QColor(200, 50, 40).rgb();
        }
    EXPECT_GT(colours.size(), 20u);
    EXPECT_TRUE(green);
    EXPECT_TRUE(red);
    // Twice in one process, at another scale.
    const std::string small = dir.filePath("small.png").toStdString();
    ASSERT_TRUE(writeBarogramPng(sampleFlight(), small, error, 1)) << error;
    EXPECT_EQ(QImage(QString::fromStdString(small)).size(), QSize(400, 200));
    // Only the two pictures are left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(BarogramPng, AFileThatIsThereStaysAsItIs) {
    const QTemporaryDir dir;
    const QString path = dir.filePath("taken.png");
    QFile taken(path);
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.write("mine");
    taken.close();
    std::string error;
    EXPECT_FALSE(writeBarogramPng(sampleFlight(), path.toStdString(), error));
    EXPECT_EQ(error, "Die Datei " + path.toStdString() + " gibt es schon.");
    ASSERT_TRUE(taken.open(QIODevice::ReadOnly));
    EXPECT_EQ(taken.readAll(), "mine");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(BarogramPng, NoFileForAnEmptyTrackOrAnUnwritablePath) {
    const QTemporaryDir dir;
    const QString path = dir.filePath("empty.png");
    std::string error;
    EXPECT_FALSE(writeBarogramPng({}, path.toStdString(), error));
    EXPECT_EQ(error, "Dieser Track hat keine Fixes.");
    EXPECT_FALSE(QFile::exists(path));

    const std::string nowhere = dir.filePath("no/such/folder/flight.png").toStdString();
    EXPECT_FALSE(writeBarogramPng(sampleFlight(), nowhere, error));
    EXPECT_NE(error.find(nowhere), std::string::npos) << error;
}

}  // namespace
}  // namespace qr::flight
