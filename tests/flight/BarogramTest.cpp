// The barogram as the track list's tooltips show it.
#include "flight/Barogram.h"

#include <gtest/gtest.h>

#include <QColor>

#include "flight/BarogramFixtures.h"

namespace qr::flight {
namespace {

const QColor kOutline(40, 40, 40);

TEST(Barogram, SharpAtOneAndTwoDevicePixelsPerPixel) {
    const auto fixes = sampleFlight();
    const FlightFacts facts = flightFacts(fixes);
    for (const int ratio : {1, 2}) {
        const QImage image = drawBarogram(fixes, facts, ratio);
        ASSERT_EQ(image.size(), kBarogramSize * ratio);
        EXPECT_EQ(image.devicePixelRatio(), ratio);
        // The metre axis is a line of whole pixels in the outline colour, nothing smeared
        // into the pixels beside it.
        // Above the curve, right of the labels.
        const int y = 30 * ratio;
        int outline = 0;
        for (int x = 48 * ratio; x < 60 * ratio; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel == kOutline)
                ++outline;
            else
                EXPECT_GT(pixel.lightness(), 200) << "ratio " << ratio << " x " << x;
        }
        EXPECT_EQ(outline, ratio);
    }
}

TEST(Barogram, TrackWithoutAltitudesGetsItsAxesAndNoFixesNoImage) {
    std::vector<Fix> fixes = sampleFlight();
    for (Fix& fix : fixes) {
        fix.valid = false;
        fix.pressureAltitude = 0;
    }
    EXPECT_FALSE(drawBarogram(fixes, flightFacts(fixes), 1).isNull());
    EXPECT_TRUE(drawBarogram({}, FlightFacts{}, 1).isNull());
}

}  // namespace
}  // namespace qr::flight
