#include "flight/FlightFacts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "flight/GreatCircle.h"

namespace qr::flight {
namespace {

// A B record at 47°00.000'N + north thousandths of a minute, 11°00.000'E.
std::string b(const char* hhmmss, int north, int pressure, int gnss, char validity = 'A') {
    char line[64];
    std::snprintf(line, sizeof line, "B%s47%05dN01100000E%c%05d%05d", hhmmss, north, validity,
                  pressure, gnss);
    return line;
}

// Metres of a stretch of the meridian given in thousandths of a minute.
double meridianMetres(int thousandths) {
    return thousandths / 60000.0 * std::numbers::pi / 180.0 * kEarthRadiusMetres;
}

FlightFacts factsOf(const std::vector<std::string>& lines) {
    return flightFacts(fixesOf(lines));
}

TEST(GreatCircle, KnownDistances) {
    // A quarter of the equator, one degree of a meridian, and back and forth the same.
    EXPECT_NEAR(greatCircleMetres(0, 0, 0, 90), kEarthRadiusMetres * std::numbers::pi / 2, 1e-6);
    EXPECT_NEAR(greatCircleMetres(47, 11, 48, 11), 111194.93, 0.01);
    EXPECT_NEAR(greatCircleMetres(47.3, 11.5, 47.2, 11.4),
                greatCircleMetres(47.2, 11.4, 47.3, 11.5), 1e-9);
    EXPECT_DOUBLE_EQ(greatCircleMetres(-33.5, -70.5, -33.5, -70.5), 0);
}

// On the ground for 30 s (2 thousandths of a minute, 3.7 m, every 10 s), then 70 s in the
// air at 66 km/h northwards, then on the ground again.
const std::vector<std::string> kGroundRunFlight = {
    b("100000", 0, 1000, 1050),   b("100010", 2, 1000, 1050),   b("100020", 4, 1001, 1051),
    b("100030", 6, 1000, 1050),   b("100040", 106, 990, 1040),  b("100050", 206, 1010, 1060),
    b("100100", 306, 1040, 1090), b("100110", 406, 1060, 1110), b("100120", 506, 1050, 1100),
    b("100130", 606, 1030, 1080), b("100140", 706, 1000, 1050), b("100150", 708, 1000, 1050),
    b("100200", 710, 1000, 1050), b("100210", 712, 1000, 1050)};

TEST(FlightFacts, GroundRunBeforeTakeOffAndAfterLandingIsNotFlown) {
    const FlightFacts facts = factsOf(kGroundRunFlight);
    EXPECT_EQ(facts.fixes, 14u);
    EXPECT_EQ(facts.firstFixTime, 36000);
    EXPECT_EQ(facts.lastFixTime, 36130);
    EXPECT_TRUE(facts.movementSeen);
    EXPECT_EQ(facts.takeOffTime, 36030);  // the last fix standing still
    EXPECT_EQ(facts.landingTime, 36100);
    EXPECT_EQ(facts.duration(), 70);
    ASSERT_TRUE(facts.pressureAltitude && facts.gnssAltitude);
    EXPECT_EQ(facts.pressureAltitude->lowest, 990);
    EXPECT_EQ(facts.pressureAltitude->highest, 1060);
    EXPECT_EQ(facts.gnssAltitude->lowest, 1040);
    EXPECT_EQ(facts.gnssAltitude->highest, 1110);
    EXPECT_EQ(facts.source, AltitudeSource::Pressure);
    // 1000 990 1010 1040 1060 1050 1030 1000: one climb from 990 to 1060.
    EXPECT_EQ(facts.altitudeGain, 70);
    ASSERT_TRUE(facts.greatestClimb);
    EXPECT_DOUBLE_EQ(*facts.greatestClimb, 70.0 / 30);  // 10:00:40 to 10:01:10
    ASSERT_TRUE(facts.straightDistance && facts.largestDistanceFromTakeOff);
    EXPECT_NEAR(*facts.straightDistance, meridianMetres(700), 1e-6);
    EXPECT_NEAR(*facts.largestDistanceFromTakeOff, meridianMetres(700), 1e-6);
}

TEST(FlightFacts, LargestDistanceIsTheTurnNotTheLanding) {
    // Out 600 thousandths and back to 100 beyond the start, at 10 s a fix.
    std::vector<std::string> lines;
    const int north[] = {0, 100, 200, 300, 400, 500, 600, 500, 400, 300, 200, 100};
    char time[8];
    for (int k = 0; k < 12; ++k) {
        std::snprintf(time, sizeof time, "1200%02d", k * 5);
        lines.push_back(b(time, north[k], 800, 800));
    }
    const FlightFacts facts = factsOf(lines);
    EXPECT_EQ(facts.takeOffTime, 43200);
    EXPECT_EQ(facts.landingTime, 43255);
    EXPECT_NEAR(*facts.largestDistanceFromTakeOff, meridianMetres(600), 1e-6);
    EXPECT_NEAR(*facts.straightDistance, meridianMetres(100), 1e-6);
}

TEST(FlightFacts, NoBarometerUsesTheGnssAltitudeOfThreeDimensionalFixes) {
    const FlightFacts facts =
        factsOf({b("120000", 0, 0, 500), b("120010", 0, 0, 0, 'V'), b("120020", 0, 0, 520),
                 b("120030", 0, 0, 515), b("120040", 0, 0, 540)});
    EXPECT_FALSE(facts.pressureAltitude);
    ASSERT_TRUE(facts.gnssAltitude);
    EXPECT_EQ(facts.gnssAltitude->lowest, 500);  // not the 0 of the "V" fix
    EXPECT_EQ(facts.gnssAltitude->highest, 540);
    EXPECT_EQ(facts.source, AltitudeSource::Gnss);
    EXPECT_EQ(facts.altitude()->highest, 540);
    EXPECT_EQ(facts.altitudeGain, 40);  // the 5 m dip lies within the band
    ASSERT_TRUE(facts.greatestClimb);
    EXPECT_DOUBLE_EQ(*facts.greatestClimb, 1.0);  // 40 m in 40 s; 15 m in the first 30 s
    EXPECT_TRUE(facts.movementSeen);              // climbing at 1 m/s on the spot is flying
    EXPECT_EQ(facts.duration(), 40);
    EXPECT_DOUBLE_EQ(*facts.straightDistance, 0);
}

TEST(FlightFacts, WithoutAnyThreeDimensionalFixOnlyTimesAndPressureAreKnown) {
    const FlightFacts facts =
        factsOf({b("120000", 0, 700, 0, 'V'), b("120100", 9000, 760, 0, 'V')});
    EXPECT_FALSE(facts.gnssAltitude);
    EXPECT_EQ(facts.pressureAltitude->highest, 760);
    EXPECT_EQ(facts.duration(), 60);
    EXPECT_FALSE(facts.straightDistance);
    EXPECT_EQ(facts.source, AltitudeSource::Pressure);
    EXPECT_EQ(facts.altitudeGain, 60);
    EXPECT_DOUBLE_EQ(*facts.greatestClimb, 1.0);
}

TEST(FlightFacts, FlightAcrossMidnightUtc) {
    const FlightFacts facts =
        factsOf({b("235940", 0, 900, 900), b("235950", 100, 910, 910), b("000000", 200, 920, 920),
                 b("000010", 300, 930, 930), b("000020", 400, 940, 940)});
    EXPECT_EQ(facts.firstFixTime, 86380);
    EXPECT_EQ(facts.lastFixTime, 86420);
    EXPECT_TRUE(facts.movementSeen);
    EXPECT_EQ(facts.takeOffTime, 86380);
    EXPECT_EQ(facts.landingTime, 86420);
    EXPECT_EQ(facts.duration(), 40);
    EXPECT_EQ(facts.altitudeGain, 40);
    EXPECT_DOUBLE_EQ(*facts.greatestClimb, 1.0);
}

TEST(FlightFacts, OneFix) {
    const FlightFacts facts = factsOf({b("083000", 0, 1234, 1200)});
    EXPECT_EQ(facts.fixes, 1u);
    EXPECT_FALSE(facts.movementSeen);
    EXPECT_EQ(facts.takeOffTime, 30600);
    EXPECT_EQ(facts.duration(), 0);
    EXPECT_EQ(facts.pressureAltitude->lowest, 1234);
    EXPECT_EQ(facts.pressureAltitude->highest, 1234);
    EXPECT_EQ(facts.altitudeGain, 0);
    EXPECT_FALSE(facts.greatestClimb);
    EXPECT_DOUBLE_EQ(*facts.straightDistance, 0);
}

TEST(FlightFacts, EmptyTrack) {
    const FlightFacts facts = factsOf({"AXVN 001", "HFDTE081226"});
    EXPECT_TRUE(facts.empty());
    EXPECT_EQ(facts.duration(), 0);
    EXPECT_FALSE(facts.altitude());
    EXPECT_FALSE(facts.greatestClimb);
    EXPECT_FALSE(facts.straightDistance);
    EXPECT_EQ(facts.source, AltitudeSource::None);
}

TEST(FlightFacts, BrokenRecordsAndRepeatsArePassedOver) {
    std::vector<std::string> lines = kGroundRunFlight;
    // A letter in the pressure altitude of a record that would be the highest by far, and
    // a repeat of the landing fix's second that would be a descent of 900 m.
    lines.insert(lines.begin() + 6, "B1000554750000N01100000EA09x0009000");
    lines.insert(lines.begin() + 12, b("100140", 706, 100, 100));
    const FlightFacts facts = factsOf(lines);
    EXPECT_EQ(facts.fixes, 15u);  // the repeat is read, the broken record is not
    EXPECT_EQ(facts.pressureAltitude->highest, 1060);
    EXPECT_EQ(facts.pressureAltitude->lowest, 990);
    EXPECT_EQ(facts.landingTime, 36100);
    EXPECT_EQ(facts.altitudeGain, 70);
}

TEST(FlightFacts, HangingStillInTheWindIsFlyingTheInstrumentsNoiseIsNot) {
    // Still over the ground for 20 s with a metre or two of noise, then 60 s sinking at
    // 0.8 m/s on the spot, then still again.
    const int altitudes[] = {800, 801, 799, 800, 792, 784, 776, 768, 760, 752, 752, 753, 751, 752};
    std::vector<std::string> lines;
    char time[8];
    for (int k = 0; k < 14; ++k) {
        std::snprintf(time, sizeof time, "1500%02d", k * 4);
        lines.push_back(b(time, 0, altitudes[k], altitudes[k]));
    }
    // Fixes 4 s apart: each span of 10 s is three steps (12 s).
    const FlightFacts facts = factsOf(lines);
    EXPECT_TRUE(facts.movementSeen);
    // The first span that sinks fast enough starts at fix 1 (801 m to 792 m in 12 s); the
    // last pair of spans that does ends at fix 11 (760 m to 753 m in the second span).
    EXPECT_EQ(facts.takeOffTime, 54000 + 1 * 4);
    EXPECT_EQ(facts.landingTime, 54000 + 11 * 4);
    EXPECT_EQ(facts.altitudeGain, 0);
}

TEST(FlightFacts, AStrayFixOnTheGroundIsNoTakeOff) {
    std::vector<std::string> lines;
    char time[8];
    for (int k = 0; k < 10; ++k) {
        std::snprintf(time, sizeof time, "1400%02d", k * 5);
        lines.push_back(b(time, k == 5 ? 400 : 0, 600, 600));
    }
    const FlightFacts facts = factsOf(lines);
    EXPECT_FALSE(facts.movementSeen);
    EXPECT_EQ(facts.duration(), 45);
    EXPECT_NEAR(*facts.largestDistanceFromTakeOff, meridianMetres(400), 1e-6);
}

}  // namespace
}  // namespace qr::flight
