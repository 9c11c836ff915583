#pragma once
// A flight's facts in the words the pilot reads: German texts (UTF-8) with German numbers
// ("2.314 m", "4,56 km"), for the track list's tooltips and the command line's columns.
#include <string>
#include <vector>

#include "flight/FlightFacts.h"

namespace qr::flight {

// value rounded to decimals places, "." between thousands and "," before the decimals.
std::string germanNumber(double value, int decimals = 0);
// Hours and minutes, rounded to the minute: "2:31 h", "0:07 h".
std::string durationText(int seconds);
// The time of day of a Fix::time: "10:15:00" (past midnight as the next day's time).
std::string timeOfDayText(int time);

// One line per fact, "Dauer 2:31 h", "max. Höhe 2.314 m, min. Höhe 598 m (Druckhöhe)", …;
// for a track without fixes the one line kNoFixesText.
std::vector<std::string> factLines(const FlightFacts& facts);
inline constexpr const char* kNoFixesText = "Dieser Track hat keine Fixes.";

// Columns of a flight list: duration, highest altitude, altitude gain and the largest
// distance from take-off. The texts are "-" where a track does not show the fact.
std::vector<std::string> factColumnHeaders();
std::vector<std::string> factColumns(const FlightFacts& facts);

}  // namespace qr::flight
