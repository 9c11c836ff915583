#include "flight/Fix.h"

#include <gtest/gtest.h>

namespace qr::flight {
namespace {

TEST(BRecord, FieldsOfAWellFormedRecord) {
    const auto fix = parseBRecord("B1102054716929N01131644EA0167401652extra");
    ASSERT_TRUE(fix);
    EXPECT_EQ(fix->time, 11 * 3600 + 2 * 60 + 5);
    EXPECT_DOUBLE_EQ(fix->latitude, 47 + 16.929 / 60);
    EXPECT_DOUBLE_EQ(fix->longitude, 11 + 31.644 / 60);
    EXPECT_TRUE(fix->valid);
    EXPECT_EQ(fix->pressureAltitude, 1674);
    EXPECT_EQ(fix->gnssAltitude, 1652);
}

TEST(BRecord, SouthWestNegativeAltitudeAndTwoDimensionalFix) {
    const auto fix = parseBRecord("B2359593345000S07030500WV-001200000");
    ASSERT_TRUE(fix);
    EXPECT_EQ(fix->time, 86399);
    EXPECT_DOUBLE_EQ(fix->latitude, -(33 + 45.0 / 60));
    EXPECT_DOUBLE_EQ(fix->longitude, -(70 + 30.5 / 60));
    EXPECT_FALSE(fix->valid);
    EXPECT_EQ(fix->pressureAltitude, -12);
    EXPECT_EQ(fix->gnssAltitude, 0);
}

TEST(BRecord, BrokenRecordsAreRefused) {
    for (const char* line : {
             "",
             "B1102054716929N01131644EA016740165",   // one character short
             "A1102054716929N01131644EA0167401652",  // not a B record
             "B2402054716929N01131644EA0167401652",  // hour 24
             "B1160054716929N01131644EA0167401652",  // minute 60
             "B1102054760000N01131644EA0167401652",  // 60 minutes of latitude
             "B1102059100000N01131644EA0167401652",  // latitude over 90 degrees
             "B1102054716929N18100000EA0167401652",  // longitude over 180 degrees
             "B1102054716929X01131644EA0167401652",  // no hemisphere
             "B1102054716929N01131644EX0167401652",  // validity neither A nor V
             "B11020547169 9N01131644EA0167401652",  // blank in a digit field
             "B1102054716929N01131644EA01-7401652",  // sign inside the altitude
         })
        EXPECT_FALSE(parseBRecord(line)) << line;
}

TEST(Fixes, BrokenRecordsAndOtherLinesArePassedOver) {
    const std::vector<std::string> lines = {"AXVN001",
                                            "HFDTE101226",
                                            "B1000004716929N01131644EA0100001000",
                                            "B10000147169x9N01131644EA0100001000",
                                            "LXVN comment",
                                            "B1000024716929N01131644EA0100201002"};
    const auto fixes = fixesOf(lines);
    ASSERT_EQ(fixes.size(), 2u);
    EXPECT_EQ(fixes[0].time, 36000);
    EXPECT_EQ(fixes[1].pressureAltitude, 1002);
}

TEST(Fixes, TimeCountsOnAcrossMidnightButSmallStepsBackStay) {
    const std::vector<std::string> lines = {
        "B2359584716929N01131644EA0100001000", "B2359574716929N01131644EA0100001000",
        "B0000014716929N01131644EA0100001000", "B0000034716929N01131644EA0100001000"};
    const auto fixes = fixesOf(lines);
    ASSERT_EQ(fixes.size(), 4u);
    EXPECT_EQ(fixes[0].time, 86398);
    EXPECT_EQ(fixes[1].time, 86397);  // a duplicate or late fix, not a new day
    EXPECT_EQ(fixes[2].time, 86401);
    EXPECT_EQ(fixes[3].time, 86403);
}

TEST(Fixes, IgcTextWithAnyLineEnds) {
    const std::string text =
        "AXVN001\r\nB1000004716929N01131644EA0100001000\r\nB1000014716929N01131644EA0100001000\n"
        "B1000024716929N01131644EA0100001000\rB1000034716929N01131644EA0100001000";
    const auto fixes = fixesOfIgcText(text);
    ASSERT_EQ(fixes.size(), 4u);
    EXPECT_EQ(fixes[3].time, 36003);
}

}  // namespace
}  // namespace qr::flight
