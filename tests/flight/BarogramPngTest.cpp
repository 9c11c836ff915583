// The barogram as a PNG, written as the command line writes it: without an application
// object of its own.
#include "flight/BarogramPng.h"

#include <gtest/gtest.h>

#include <QColor>
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
    ASSERT_TRUE(writeBarogramPng(sampleFlight(), path, error, 1)) << error;
    EXPECT_EQ(QImage(QString::fromStdString(path)).size(), QSize(400, 200));
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
