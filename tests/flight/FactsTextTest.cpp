#include "flight/FactsText.h"

#include <gtest/gtest.h>

namespace qr::flight {
namespace {

TEST(FactsText, GermanNumbers) {
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {2314, 0, "2.314"},     {598, 0, "598"},           {1000000, 0, "1.000.000"},
        {189.971, 2, "189,97"}, {118.734, 2, "118,73"},    {0.05, 2, "0,05"},
        {-12, 0, "-12"},        {-1234.56, 1, "-1.234,6"}, {-0.04, 1, "0,0"},
        {999.96, 1, "1.000,0"}, {3.2, 1, "3,2"},           {0, 0, "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(germanNumber(c.value, c.decimals), c.text) << c.value;
}

TEST(FactsText, DurationsAndTimes) {
    EXPECT_EQ(durationText(2 * 3600 + 31 * 60 + 10), "2:31 h");
    EXPECT_EQ(durationText(2 * 3600 + 31 * 60 + 30), "2:32 h");
    EXPECT_EQ(durationText(59 * 60 + 45), "1:00 h");
    EXPECT_EQ(durationText(0), "0:00 h");
    EXPECT_EQ(timeOfDayText(36000), "10:00:00");
    EXPECT_EQ(timeOfDayText(86401), "00:00:01");  // the next day
}

FlightFacts sampleFacts() {
    FlightFacts facts;
    facts.fixes = 9000;
    facts.movementSeen = true;
    facts.takeOffTime = 10 * 3600 + 15 * 60;
    facts.landingTime = facts.takeOffTime + 2 * 3600 + 31 * 60;
    facts.pressureAltitude = AltitudeRange{598, 2314};
    facts.gnssAltitude = AltitudeRange{610, 2290};
    facts.source = AltitudeSource::Pressure;
    facts.altitudeGain = 3456;
    facts.greatestClimb = 3.24;
    facts.straightDistance = 4561;
    facts.largestDistanceFromTakeOff = 12345;
    return facts;
}

TEST(FactsText, LinesOfAFlight) {
    const std::vector<std::string> expected = {
        "Dauer 2:31 h",
        "Start 10:15:00 UTC, Landung 12:46:00 UTC",
        "max. Höhe 2.314 m, min. Höhe 598 m (Druckhöhe)",
        "GPS-Höhe 610 bis 2.290 m",
        "Höhengewinn 3.456 m",
        "bestes Steigen 3,2 m/s (über 30 s)",
        "Strecke Start–Landung 4,56 km",
        "größte Entfernung vom Start 12,35 km",
    };
    EXPECT_EQ(factLines(sampleFacts()), expected);
    EXPECT_EQ(factColumns(sampleFacts()),
              (std::vector<std::string>{"2:31 h", "2.314 m", "3.456 m", "12,35 km"}));
    EXPECT_EQ(factColumnHeaders().size(), factColumns(sampleFacts()).size());
}

TEST(FactsText, LinesWithoutBarometerOrPositionAndWithoutFixes) {
    FlightFacts facts = sampleFacts();
    facts.movementSeen = false;
    facts.pressureAltitude.reset();
    facts.source = AltitudeSource::Gnss;
    facts.straightDistance.reset();
    facts.largestDistanceFromTakeOff.reset();
    facts.greatestClimb.reset();
    const std::vector<std::string> expected = {
        "Dauer 2:31 h",
        "Erster Fix 10:15:00 UTC, letzter Fix 12:46:00 UTC (kein Flug erkannt)",
        "max. Höhe 2.290 m, min. Höhe 610 m (GPS-Höhe, kein Barometer)",
        "Höhengewinn 3.456 m",
    };
    EXPECT_EQ(factLines(facts), expected);
    EXPECT_EQ(factColumns(facts), (std::vector<std::string>{"2:31 h", "2.290 m", "3.456 m", "-"}));
    EXPECT_EQ(factLines(FlightFacts{}), std::vector<std::string>{kNoFixesText});
    EXPECT_EQ(factColumns(FlightFacts{}), (std::vector<std::string>{"-", "-", "-", "-"}));
}

}  // namespace
}  // namespace qr::flight
